#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace marlowen {

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

// Called during a copy with the file's size and the bytes done so far; returning true cancels.
using TCopyProgress = std::function<bool(int64_t fileSize, int64_t bytesDone)>;

// Files and folders. Paths are 8-bit (UTF-8) Windows paths with "\" between the parts; failures
// raise an Exception whose message names the path, unless an operation says it returns false.
class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // The entries of `folder` whose names match `mask` ("*" and "?" wildcards), without "." and
    // "..", in the order the system returns them, with all attributes (callers filter with
    // PassesFindFilter). A folder that does not exist has no entries; one that exists but cannot
    // be listed (access denied, a failure part way) raises, so that no entry is skipped silently.
    virtual std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const = 0;

    // The whole file. Other processes may read it meanwhile but not write it.
    virtual std::vector<uint8_t> ReadFile(const std::string& path) const = 0;
    // Creates or replaces the file with exactly these bytes. The bytes are written beside the
    // file and then take its place, so a failure leaves the old file (or none) as it was.
    virtual void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;

    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;

    // Creates the folder with all missing parents; an existing folder is fine.
    virtual void CreateFolder(const std::string& path) = 0;
    // False when the file could not be deleted (missing, in use, read-only, ...). A link to a
    // file is deleted as a link.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Removes an empty folder, or a link to a folder (whatever the folder holds); false when it
    // did not go.
    virtual bool RemoveFolder(const std::string& path) = 0;

    // The attribute bits, or none when the entry does not exist.
    virtual std::optional<uint32_t> GetAttributes(const std::string& path) const = 0;
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;

    // Copies a file, replacing an existing destination; `progress` (may be empty) is called as the
    // bytes go and may cancel. False when the copy failed or was cancelled.
    virtual bool CopyFile(const std::string& source, const std::string& destination,
                          const TCopyProgress& progress) = 0;

    // The temporary folder, ending with "\".
    virtual std::string TempFolder() const = 0;
};

}  // namespace marlowen
