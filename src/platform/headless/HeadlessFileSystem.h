#pragma once

#include <filesystem>

#include "platform/FileSystem.h"

namespace marlowen {

// Files under a root folder of the host: a path "C:\Program Files\x" names
// <root>/C/Program Files/x ("\" becomes "/", a drive's colon is dropped). A name starting with
// "." counts as hidden, a file without write permission as read-only. Listings are sorted by
// name, so that they are the same on every run.
class THeadlessFileSystem : public TFileSystem {
public:
    explicit THeadlessFileSystem(std::filesystem::path root);

    const std::filesystem::path& Root() const { return Root_; }
    // The host path a Windows path stands for.
    std::filesystem::path HostPath(const std::string& path) const;

    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override;
    std::vector<uint8_t> ReadFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;

private:
    std::filesystem::path Root_;
};

// Whether `name` matches a mask of "*" and "?" wildcards, ignoring the case of ASCII letters.
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace marlowen
