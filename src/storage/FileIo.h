#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/Exception.h"

namespace marlowen {

// A file could not be opened, read, written or replaced. The message names the path.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// The file-system path of an 8-bit (UTF-8) path text, so that any characters work on Windows too.
std::filesystem::path FilePath(const std::string& path);

// Creates or replaces the file with exactly `size` bytes. The bytes go to a temporary file beside
// the target, which then replaces it: on failure the target is untouched (or absent if it was) and
// the temporary is removed; raises EFileError.
void SaveFileReplacing(const std::string& path, const void* data, size_t size);

}  // namespace marlowen
