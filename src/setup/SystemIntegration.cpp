#include "setup/SystemIntegration.h"

#include <iterator>
#include <memory>
#include <optional>

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/SafePath.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

namespace marlowen {

namespace {

constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Two entries spell the key with a lower-case "f"; the registry matches either way, the text is kept.
constexpr const char* kShellFoldersLowerKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

constexpr const char* kNoRegistryEntry = "Невозможно получить запись из реестра Windows";

// The setup's listings: directories and archive files, nothing hidden or system.
constexpr uint32_t kFindFilter = FileAttribute::Directory | FileAttribute::Archive;

struct TSpecialFolderEntry {
    TRegistryRoot Root;
    const char* Key;
    const char* Value;
};

constexpr TSpecialFolderEntry kSpecialFolders[] = {
    {TRegistryRoot::LocalMachine, kShellFoldersKey, "Common Desktop"},
    {TRegistryRoot::LocalMachine, kShellFoldersKey, "Common Start Menu"},
    {TRegistryRoot::LocalMachine, kShellFoldersKey, "Common Programs"},
    {TRegistryRoot::LocalMachine, kShellFoldersKey, "Common Startup"},
    {TRegistryRoot::CurrentUser, kShellFoldersKey, "Desktop"},
    {TRegistryRoot::CurrentUser, kShellFoldersKey, "Start Menu"},
    {TRegistryRoot::CurrentUser, kShellFoldersKey, "Programs"},
    {TRegistryRoot::CurrentUser, kShellFoldersKey, "Startup"},
    {TRegistryRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir"},
    {TRegistryRoot::CurrentUser, kShellFoldersLowerKey, "AppData"},
    {TRegistryRoot::LocalMachine, kShellFoldersLowerKey, "Common AppData"},
    {TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal"},
};

std::string ReadStringOrEmpty(const TRegistryKey& key, const std::string& name) {
    return key.ReadString(name).value_or(std::string());
}

}  // namespace


std::vector<TFileEntry> ListFolder(const TFileSystem& files, const std::string& folder) {
    if (!files.FolderExists(folder)) throw Exception("Folder not found: " + folder);
    std::vector<TFileEntry> entries;
    for (TFileEntry& entry : files.FindFiles(folder, "*.*")) {
        if (entry.Name == "." || entry.Name == "..") continue;
        if (PassesFindFilter(entry.Attributes, kFindFilter)) entries.push_back(std::move(entry));
    }
    return entries;
}

std::string GetSpecialFolder(TPlatform& platform, int32_t index) {
    if (index == SpecialFolder::Temporary) return platform.Files.TempFolder();
    if (index < 0 || index >= static_cast<int32_t>(std::size(kSpecialFolders))) {
        throw Exception(kNoRegistryEntry);
    }
    const TSpecialFolderEntry& entry = kSpecialFolders[index];
    const auto key =
        platform.Registry.OpenKeyOrRaise(entry.Root, entry.Key, RegistryAccess::Read, false, kNoRegistryEntry);
    return ReadStringOrEmpty(*key, entry.Value);
}

bool IsAdministrator(TRegistry& registry) {
    return registry.OpenKey(TRegistryRoot::LocalMachine, kCurrentVersionKey, RegistryAccess::ReadWrite, false) !=
           nullptr;
}

void WriteUninstallInfo(TRegistry& registry, const std::string& keyName, const std::string& installFolder,
                        const std::string& exePath, const std::string& programGroup,
                        const std::string& uninstallCommand, const std::string& displayName) {
    {
        const auto key = registry.OpenKeyOrRaise(TRegistryRoot::LocalMachine, kUninstallKey + keyName,
                                                 RegistryAccess::ReadWrite, true);
        key->WriteString("", exePath);
        key->WriteString("DisplayName", displayName);
        key->WriteString("UninstallString", uninstallCommand);
        key->WriteString("Program group", programGroup);
        key->WriteString("Install folder", installFolder);
    }
    const auto key = registry.OpenKeyOrRaise(TRegistryRoot::LocalMachine, kAppPathsKey + ExtractFileName(exePath),
                                             RegistryAccess::ReadWrite, true);
    key->WriteString("", exePath);
    key->WriteString("Path", ExtractFilePath(exePath));
}

bool ReadUninstallInfo(TRegistry& registry, const std::string& keyName, TUninstallInfo& info) {
    const auto key = registry.OpenKey(TRegistryRoot::LocalMachine, kUninstallKey + keyName, RegistryAccess::Read,
                                      false);
    if (!key) {
        info.DisplayName.clear();
        info.UninstallString.clear();
        info.ProgramGroup.clear();
        info.DefaultValue.clear();
        return false;
    }
    info.DisplayName = ReadStringOrEmpty(*key, "DisplayName");
    info.UninstallString = ReadStringOrEmpty(*key, "UninstallString");
    info.ProgramGroup = ReadStringOrEmpty(*key, "Program group");
    info.InstallFolder = ReadStringOrEmpty(*key, "Install folder");
    info.DefaultValue = ReadStringOrEmpty(*key, "");
    return true;
}

void DeleteUninstallInfo(TRegistry& registry, const std::string& keyName) {
    std::string exePath;
    {
        const auto key = registry.OpenKey(TRegistryRoot::LocalMachine, kUninstallKey + keyName,
                                          RegistryAccess::ReadWrite, false);
        if (!key) return;
        try {
            exePath = ReadStringOrEmpty(*key, "");
        } catch (const Exception&) {
            // A default value of another type names no App Paths entry; the entry still goes.
        }
    }
    registry.DeleteKey(TRegistryRoot::LocalMachine, kUninstallKey + keyName);
    const std::string exeName = ExtractFileName(exePath);
    // Without a file name the path would be the App Paths key itself, which is not ours.
    if (!exeName.empty()) registry.DeleteKey(TRegistryRoot::LocalMachine, kAppPathsKey + exeName);
}

void CreateShellLink(TPlatform& platform, const std::string& linkFile, const std::string& target,
                     const std::string& workingFolder, int32_t iconIndex, const std::string& arguments,
                     const std::string& description) {
    TShellLinkData link;
    link.Arguments = arguments;
    link.Description = description;
    link.Target = target;
    link.WorkingFolder = workingFolder;
    link.IconIndex = iconIndex < 0 ? -1 : iconIndex;
    const std::string targetFolder = ExtractFilePath(target);
    if (!targetFolder.empty()) platform.Files.CreateFolder(targetFolder);
    platform.Shell.SaveShellLink(linkFile, link);
}

namespace {

bool IsLink(uint32_t attributes) { return (attributes & FileAttribute::ReparsePoint) != 0; }

// Removes a link itself; what it leads to belongs to someone else.
void RemoveLink(TFileSystem& files, const std::string& path, uint32_t attributes) {
    try {
        if ((attributes & FileAttribute::Directory) != 0) {
            files.RemoveFolder(path);
        } else {
            files.DeleteFile(path);
        }
    } catch (const Exception&) {
    }
}

// What the held folder holds goes, links as links: each entry is opened again without following
// a link before anything is decided, so a folder swapped for a link after the listing is removed
// as that link, and a folder being emptied stays held, so nothing can be swapped in above it.
void DeleteHeldContents(const THeldFolder& folder) {
    std::vector<TFileEntry> entries;
    try {
        entries = folder.List();
    } catch (const Exception&) {
        return;  // nothing to list: only the folder itself may still go
    }
    for (const TFileEntry& entry : entries) {
        if (!PassesFindFilter(entry.Attributes, kFindFilter)) continue;
        try {
            if (const auto sub = folder.OpenFolder(entry.Name, false)) DeleteHeldContents(*sub);
            folder.DeleteEntry(entry.Name);
        } catch (const Exception&) {
        }
    }
}

}  // namespace

void DeleteFolderTree(TFileSystem& files, const std::string& path) {
    // Every call below receives this one spelling of the folder, checked as it is passed.
    const std::optional<TSafePath> safe = TSafePath::FromAbsolute(path);
    if (!safe || safe->Parts().empty()) return;
    const std::string& folder = safe->Text();
    try {
        const std::optional<uint32_t> attributes = files.GetAttributes(folder);
        if (!attributes) return;
        if (IsLink(*attributes)) {
            RemoveLink(files, folder, *attributes);
            return;
        }
        if (const auto held = files.OpenHeldFolder(folder)) DeleteHeldContents(*held);
        files.RemoveFolder(folder);
    } catch (const Exception&) {
    }
}

namespace {

// The platform's progress routine over the setup's: `cancelled` tells whether the copy was stopped.
TCopyProgress CancellingProgress(const TProgressRoutine& progress, bool& cancelled) {
    return [&progress, &cancelled](int64_t fileSize, int64_t bytesDone) {
        bool cancel = false;
        if (progress) progress(cancel, fileSize, bytesDone);
        if (cancel) cancelled = true;
        return cancelled;
    };
}

}  // namespace

bool CopyFileWithProgress(TFileSystem& files, const std::string& source, const std::string& destination,
                          const TProgressRoutine& progress) {
    bool cancelled = false;
    return files.CopyFile(source, destination, CancellingProgress(progress, cancelled)) && !cancelled;
}

bool CopyFileWithProgress(const THeldFolder& folder, const std::string& source, const std::string& name,
                          const TProgressRoutine& progress) {
    bool cancelled = false;
    return folder.CopyFileInto(source, name, CancellingProgress(progress, cancelled)) && !cancelled;
}

}  // namespace marlowen
