#pragma once

#include <cstdint>
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
}  // namespace FileAttribute

struct TFileEntry {
    std::string Name;  // the entry's own name, without its folder
    uint32_t Attributes = 0;
    int64_t Size = 0;
};

// Files and folders. Paths are 8-bit (UTF-8) Windows paths with "\" between the parts; every
// failure raises an Exception whose message names the path.
class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // The entries of `folder` whose names match `mask` ("*" and "?" wildcards), without "." and
    // "..", in the order the system returns them. A folder that does not exist has no entries.
    virtual std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const = 0;

    // The whole file. Other processes may read it meanwhile but not write it.
    virtual std::vector<uint8_t> ReadFile(const std::string& path) const = 0;

    virtual bool FileExists(const std::string& path) const = 0;
};

}  // namespace marlowen
