#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/HeldFolder.h"

namespace marlowen {

class THeadlessFileSystem;

// A folder of the headless file system held by a host directory descriptor opened without
// following a link. Every entry is reached relative to that descriptor (openat, unlinkat,
// renameat), so a folder renamed or swapped for a link after it was opened changes nothing: the
// descriptor still names the folder that was opened. (On a Windows host, where only the unit
// tests use this backend, entries are reached by host path with the same decisions.) Locks, the side table of attributes and
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
    using TWrite = std::function<bool(const char* bytes, size_t count)>;
    using TFill = std::function<bool(const TWrite& write)>;
    // Writes through a new file beside `name`, renamed over it; false when a step failed.
    bool ReplaceWith(const std::string& name, const TFill& fill) const;
    // Whether `name` is free or an entry a write may replace (not a folder, not read-only).
    bool Replaceable(const std::string& name) const;

    THeadlessFileSystem& Files_;
    std::string Path_;
    std::filesystem::path Host_;
    int Descriptor_;
};

// A headless file read whole and held open: Delete removes its name only while the name still
// leads to the very file that was read.
class THeadlessHeldFile : public THeldFile {
public:
    static std::unique_ptr<THeadlessHeldFile> Open(const std::string& path, const std::filesystem::path& host);
    ~THeadlessHeldFile() override;

    const std::vector<uint8_t>& Bytes() const override { return Bytes_; }
    bool Delete() override;

private:
    // What tells the file at `host` from another one put in its place ("" when there is none).
    static std::string IdentityOf(const std::filesystem::path& host);

    std::filesystem::path Host_;
    std::FILE* File_ = nullptr;
    std::string Identity_;
    std::vector<uint8_t> Bytes_;
};

}  // namespace marlowen
