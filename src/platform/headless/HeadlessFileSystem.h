#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace marlowen {

// Files under a root folder of the host: a path "C:\Program Files\x" names
// <root>/C/Program Files/x ("\" and "/" become "/", a drive's colon is dropped and its letter
// upper-cased; ".." never climbs above the root). A name starting with "." counts as hidden, a
// file without owner write permission as read-only.
//
// Attributes the host cannot hold live in a side table of this object: Hidden and System on any
// entry, and ReadOnly on folders (a host folder without write permission would refuse new files,
// which a read-only Windows folder does not). ReadOnly on a file is the host's write permission.
// A name starting with "." cannot lose its Hidden bit: SetAttributes refuses that.
//
// A file can be marked "in use" for tests (Lock): it cannot be deleted, replaced or be a copy's
// destination until unlocked; it can still be read. A write to it fails where it does on Windows,
// when the written bytes are to take its place.
//
// A host symbolic link stands for a Windows link (junction, symbolic link): it carries ReparsePoint
// (and Directory when it leads to a folder), reads and writes go through it, and DeleteFile or
// RemoveFolder remove the link alone. A folder without the owner's read or search permission exists
// but cannot be listed (FindFiles raises), whoever runs the tests.
class THeadlessFileSystem : public TFileSystem {
public:
    // The size of the pieces CopyFile moves between two progress calls.
    static constexpr size_t kCopyChunk = 64 * 1024;

    explicit THeadlessFileSystem(std::filesystem::path root);

    const std::filesystem::path& Root() const { return Root_; }
    // The host path a Windows path stands for.
    std::filesystem::path HostPath(const std::string& path) const;

    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override;
    std::vector<uint8_t> ReadFile(const std::string& path) const override;
    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    void CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    std::optional<uint32_t> GetAttributes(const std::string& path) const override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool CopyFile(const std::string& source, const std::string& destination, const TCopyProgress& progress) override;
    // "C:\Temp\", created when first asked for.
    std::string TempFolder() const override;
    // "C:\Windows\System32", created when first asked for (with "C:\Windows\Temp" beside it).
    std::string SystemFolder() const override;
    // The rights are kept in a side table (RightsOf); the host folder itself is an ordinary one.
    bool CreateNewFolder(const std::string& path, TFolderRights rights) override;
    // For tests: the rights CreateNewFolder gave the folder, none for a folder it did not make.
    std::optional<TFolderRights> RightsOf(const std::string& path) const;
    std::unique_ptr<THeldFolder> OpenHeldFolder(const std::string& path) override;
    std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) override;

    // For tests: called with the host path of each entry a held folder is about to open or
    // remove, so that a test can swap it (for a link, say) between a listing and its use.
    std::function<void(const std::filesystem::path& host)> BeforeHeldEntryUse;

    // For tests: marks the entry as in use by another process, or frees it again.
    void Lock(const std::string& path);
    void Unlock(const std::string& path);
    bool IsLocked(const std::string& path) const;

private:
    friend class THeadlessHeldFolder;
    static constexpr size_t kMaxName = 255;

    // The name of the hidden file a write goes to before it replaces `name`: "." + name + "." +
    // counter + ".tmp", the name cut so that the whole fits the host's 255-byte limit.
    static std::string TemporaryName(const std::string& name, uint32_t counter);

    // The side-table and lock key of a host path.
    static std::string KeyOf(const std::filesystem::path& host);
    // Reads the attributes of the entry at a host path (a link's are its target's, ReparsePoint added).
    uint32_t AttributesOf(const std::filesystem::path& host) const;
    // Moves the bytes in kCopyChunk pieces with progress calls; false when cancelled or failed.
    static bool CopyChunks(std::istream& in, const std::function<bool(const char*, size_t)>& write, int64_t size,
                           const TCopyProgress& progress);
    // What a copy gives its destination of the source's attributes (CopyFile's rule).
    void TakeCopiedAttributes(const std::filesystem::path& from, const std::filesystem::path& to);
    bool IsLockedHost(const std::filesystem::path& host) const { return Locked_.count(KeyOf(host)) != 0; }

    std::filesystem::path Root_;
    std::map<std::string, uint32_t> ExtraAttributes_;  // host key → Hidden, System, folder ReadOnly
    std::set<std::string> Locked_;                      // host keys
    std::map<std::string, TFolderRights> Rights_;       // host key → rights given when made
    uint32_t TemporaryCounter_ = 0;
};

// Whether `name` matches a mask of "*" and "?" wildcards, ignoring the case of ASCII letters.
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace marlowen
