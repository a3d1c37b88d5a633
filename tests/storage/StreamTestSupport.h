#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/MemStream.h"

namespace marlowen {

using TBytes = std::vector<uint8_t>;

inline TBytes Content(const TCustomMemStream& stream) {
    return TBytes(stream.Memory(), stream.Memory() + stream.Size());
}

// A stream holding the bytes, position 0.
template <class TStreamClass>
void Fill(TStreamClass& stream, const TBytes& bytes) {
    stream.Clear();
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
}

// A fresh empty folder under the system's temporary folder, removed with the object.
class TTempFolder {
public:
    explicit TTempFolder(const std::string& name)
        : Path_(std::filesystem::temp_directory_path() / ("marlowen-" + name)) {
        std::filesystem::remove_all(Path_);
        std::filesystem::create_directories(Path_);
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path_, ignored);
    }
    const std::filesystem::path& Path() const { return Path_; }
    // A UTF-8 path text of an entry inside.
    std::string File(const std::string& name) const { return Path_.u8string() + "/" + name; }

private:
    std::filesystem::path Path_;
};

}  // namespace marlowen
