#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace marlowen {

class TFileSystem;
class THeldFolder;
class TRegistry;
struct TPlatform;

// The well-known folders GetSpecialFolder knows, by their numbers.
namespace SpecialFolder {
constexpr int32_t CommonDesktop = 0;
constexpr int32_t CommonStartMenu = 1;
constexpr int32_t CommonPrograms = 2;
constexpr int32_t CommonStartup = 3;
constexpr int32_t Desktop = 4;
constexpr int32_t StartMenu = 5;
constexpr int32_t Programs = 6;
constexpr int32_t Startup = 7;
constexpr int32_t ProgramFiles = 8;
constexpr int32_t AppData = 9;
constexpr int32_t CommonAppData = 10;
constexpr int32_t Personal = 11;
constexpr int32_t Temporary = 12;
}  // namespace SpecialFolder

// The folder of a special-folder number. 0..11 read the registry: a key that cannot be opened
// raises "Невозможно получить запись из реестра Windows", a missing value gives "". 12 is the
// temporary folder, ending with "\".
std::string GetSpecialFolder(TPlatform& platform, int32_t index);

// True when the local machine's "Software\Microsoft\Windows\CurrentVersion" opens for writing.
bool IsAdministrator(TRegistry& registry);

// What an uninstall entry holds.
struct TUninstallInfo {
    std::string DisplayName;
    std::string UninstallString;
    std::string ProgramGroup;
    std::string InstallFolder;
    std::string DefaultValue;  // the product executable's full path
};

// Writes the uninstall entry under `keyName` and the App Paths entry of the executable; a key
// that cannot be opened raises "Нет доступа к реестру Windows".
void WriteUninstallInfo(TRegistry& registry, const std::string& keyName, const std::string& installFolder,
                        const std::string& exePath, const std::string& programGroup,
                        const std::string& uninstallCommand, const std::string& displayName);
// Reads the uninstall entry; false when it does not exist, in which case every field but
// InstallFolder is emptied and InstallFolder keeps what the caller put there.
bool ReadUninstallInfo(TRegistry& registry, const std::string& keyName, TUninstallInfo& info);
// Removes the uninstall entry and the App Paths entry it names; never raises for what is missing.
void DeleteUninstallInfo(TRegistry& registry, const std::string& keyName);

// Writes a shell link; creates the target's folder (not the link's) with its parents first.
// iconIndex < 0 sets no icon location. Failures raise the platform's error.
void CreateShellLink(TPlatform& platform, const std::string& linkFile, const std::string& target,
                     const std::string& workingFolder, int32_t iconIndex, const std::string& arguments,
                     const std::string& description);

// Deletes the folder with everything listed in it (hidden and system entries are not listed and
// stay, and so do their folders). A link (junction, symbolic link) inside it, or the folder itself
// when it is one, is removed as a link: nothing it leads to is deleted, even when a folder is
// swapped for a link while the tree is deleted (see THeldFolder). A folder the path guard refuses
// (TSafePath) or a drive's root is left alone. Never raises.
void DeleteFolderTree(TFileSystem& files, const std::string& folder);

// Progress of one file copy: (cancel, file size, bytes done); setting cancel aborts the copy.
using TProgressRoutine = std::function<void(bool& cancel, int64_t fileSize, int64_t bytesDone)>;

// Copies a file over an existing destination, reporting progress. Returns whether the copy
// succeeded (false also when it was cancelled); callers decide what a failure means.
bool CopyFileWithProgress(TFileSystem& files, const std::string& source, const std::string& destination,
                          const TProgressRoutine& progress);
// The same into the entry `name` of a held folder (never through a link of that name).
bool CopyFileWithProgress(const THeldFolder& folder, const std::string& source, const std::string& name,
                          const TProgressRoutine& progress);

}  // namespace marlowen

namespace marlowen {

// Every entry of `folder` the setup's listings see (filter directory | archive: no hidden or
// system entries); "." and ".." are never among them. Raises when the folder cannot be listed.
std::vector<TFileEntry> ListFolder(const TFileSystem& files, const std::string& folder);

}  // namespace marlowen
