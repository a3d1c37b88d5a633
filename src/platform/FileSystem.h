#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/StringHash.h"

namespace marlowen {

class THeldFile;
class THeldFolder;

// File attribute bits, with the values the Windows API uses.
namespace FileAttribute {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
// A link (junction, symbolic link): DeleteFile and RemoveFolder remove the link itself and never
// touch what it points to.
constexpr uint32_t ReparsePoint = 0x400;
}  // namespace FileAttribute

struct TFileEntry {
    std::string Name;  // the entry's own name, without its folder
    uint32_t Attributes = 0;
    int64_t Size = 0;
};

// Whether an entry passes a find filter as the setup's listings use it: an entry that is hidden,
// system or a directory is listed only when the filter holds that bit (0x30, directory and
// archive, lists ordinary, read-only and archive files and folders but no hidden or system ones).
inline bool PassesFindFilter(uint32_t attributes, uint32_t filter) {
    constexpr uint32_t kSpecial = FileAttribute::Hidden | FileAttribute::System | FileAttribute::Directory;
    return (attributes & kSpecial & ~filter) == 0;
}

// The order of a listing: names compared without regard to the case of ASCII letters (folded to
// upper case, so "_" sorts after the letters), other characters by their UTF-8 bytes, which is their
// code point order; names that differ only in case by their exact bytes.
inline bool ListsBefore(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const uint8_t x = UpperTable[static_cast<uint8_t>(a[i])], y = UpperTable[static_cast<uint8_t>(b[i])];
        if (x != y) return x < y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

inline void SortListing(std::vector<TFileEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const TFileEntry& a, const TFileEntry& b) { return ListsBefore(a.Name, b.Name); });
}

// Who may change a folder CreateNewFolder makes, and what it holds. Both restricted kinds are
// protected: nothing of the parent's rights is inherited, and what is made inside takes the
// folder's own.
enum class TFolderRights {
    Inherited,     // whatever the parent passes on
    ProgramFiles,  // administrators and the system: full control; users: read and run, nothing more
    AdminsOnly,    // administrators and the system alone; nobody else may even read
};

// Called during a copy with the file's size and the bytes done so far; returning true cancels.
using TCopyProgress = std::function<bool(int64_t fileSize, int64_t bytesDone)>;

// Files and folders. Paths are 8-bit (UTF-8) Windows paths with "\" between the parts ("/" counts
// as "\", a doubled separator as one), of any length; failures raise an Exception whose message
// names the path, unless an operation says it returns false. "In use" means open in another
// process that lets others read the file but not write or delete it.
class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // The entries of `folder` whose names match `mask` ("*" and "?" wildcards, the case of ASCII
    // letters ignored; "X.*" also takes names without an extension), without "." and "..", with all
    // attributes (callers filter with PassesFindFilter), sorted by ListsBefore on every system,
    // whatever order the system itself keeps. A folder that does not exist has no entries; one that
    // exists but cannot be listed (access denied, a failure part way) raises, so that no entry is
    // skipped silently.
    virtual std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const = 0;

    // The whole file; a file in use by another process can still be read.
    virtual std::vector<uint8_t> ReadFile(const std::string& path) const = 0;
    // Creates or replaces the file with exactly these bytes. The bytes are written to a new file
    // beside it (its name within the 255 characters a name may hold, whatever the target's length),
    // which then takes the file's place. A failure at any step, the last one included (the file is
    // in use), leaves the old file (or none) as it was and nothing beside it. A read-only file is
    // not replaced.
    virtual void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;

    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;

    // Creates the folder with all missing parents; an existing folder is fine.
    virtual void CreateFolder(const std::string& path) = 0;
    // False when the file could not be deleted (missing, in use, read-only, a folder, ...). A link
    // to a file is deleted as a link.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Removes an empty folder, or a link to a folder (whatever the folder holds); false when it
    // did not go.
    virtual bool RemoveFolder(const std::string& path) = 0;

    // The attribute bits, or none when the entry does not exist. ReadOnly, Hidden and System read
    // back as set; a new or copied file is an archive, and some file systems keep every file one.
    virtual std::optional<uint32_t> GetAttributes(const std::string& path) const = 0;
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;

    // Copies a file with its attributes, replacing an existing destination that is neither
    // read-only nor in use; `progress` (may be empty) is called as the bytes go and may cancel.
    // False when the copy failed or was cancelled; a cancelled copy leaves no destination, and an
    // exception raised by `progress` cancels it and reaches the caller.
    virtual bool CopyFile(const std::string& source, const std::string& destination,
                          const TCopyProgress& progress) = 0;

    // The temporary folder, ending with "\".
    virtual std::string TempFolder() const = 0;
    // The system's own program folder ("C:\Windows\System32"), without a final "\".
    virtual std::string SystemFolder() const = 0;

    // Makes the one folder `path` (its parent must exist) with the rights given, set as it is
    // made, so that nobody sees it with others. False when an entry of that name exists already
    // (whatever it is); raises an ESystemFileError for any other failure.
    virtual bool CreateNewFolder(const std::string& path, TFolderRights rights) = 0;

    // The folder at `path` held open (see THeldFolder). The folder itself is not a link: nullptr
    // when it is one, a file or missing. Raises when it is there but cannot be opened.
    virtual std::unique_ptr<THeldFolder> OpenHeldFolder(const std::string& path) = 0;
    // Reads the whole file as ReadFile does and holds it for a later Delete (see THeldFile).
    virtual std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) = 0;
};

}  // namespace marlowen
