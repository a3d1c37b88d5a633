#include "InputFile.h"

#include "storage/MemStream.h"

namespace marlowen::fstool {

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    TMemStream stream;
    stream.LoadFromFile(path);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

}  // namespace marlowen::fstool
