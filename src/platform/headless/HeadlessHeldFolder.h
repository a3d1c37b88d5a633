#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/HeldFolder.h"

namespace marlowen {

class THeadlessFileSystem;

// A folder of the headless file system held by a host directory descriptor opened without
// following a link. Every entry is reached relative to that descriptor (openat, unlinkat,
// renameat), so a folder renamed or swapped for a link after it was opened changes nothing: the
// descriptor still names the folder that was opened. Locks, the side table of attributes and
// read-only files behave as in THeadlessFileSystem, keyed by the path the folder was opened at.
class THeadlessHeldFolder : public THeldFolder {
public:
    // Nullptr when `host` is missing, a file or a link.
    static std::unique_ptr<THeadlessHeldFolder> Open(THeadlessFileSystem& files, const std::string& path,
                                                     const std::filesystem::path& host);
    ~THeadlessHeldFolder() override;

    const std::string& Path() const override { return Path_; }
    std::vector<TFileEntry> List() const override;
    std::unique_ptr<THeldFolder> OpenFolder(const std::string& name, bool create) const override;
    bool DeleteEntry(const std::string& name) const override;
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const override;
    bool CopyFileInto(const std::string& source, const std::string& name, const TCopyProgress& progress) const override;

private:
    THeadlessHeldFolder(THeadlessFileSystem& files, std::string path, std::filesystem::path host, int descriptor);

    // Raises unless `name` is one entry name; tells the file system's test hook of the use.
    std::filesystem::path Entry(const std::string& name) const;
    // Writes through a new file beside `name`, renamed over it; false when a step failed.
    bool ReplaceWith(const std::string& name, const std::function<bool(int descriptor)>& fill) const;

    THeadlessFileSystem& Files_;
    std::string Path_;
    std::filesystem::path Host_;
    int Descriptor_;
};

// A headless file read whole and held by its descriptor: Delete removes its name only while the
// name still leads to the very file that was read.
class THeadlessHeldFile : public THeldFile {
public:
    static std::unique_ptr<THeadlessHeldFile> Open(const std::string& path, const std::filesystem::path& host);
    ~THeadlessHeldFile() override;

    const std::vector<uint8_t>& Bytes() const override { return Bytes_; }
    bool Delete() override;

private:
    std::filesystem::path Host_;
    int Descriptor_ = -1;
    std::vector<uint8_t> Bytes_;
};

}  // namespace marlowen
