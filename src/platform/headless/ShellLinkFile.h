#pragma once

#include <cstdint>
#include <vector>

#include "platform/Shell.h"

namespace marlowen {

// The Shell Link (".lnk") binary format: a header, a link-target ID list for the target path,
// link info with the local base path, and Unicode string data (description, relative path,
// working folder, arguments, icon location). Standard tools read what this writes.
std::vector<uint8_t> WriteShellLinkFile(const TShellLinkData& link);

// Reads the fields back (tests, and tools that check links). Raises an Exception on bytes that
// are not a well-formed link; never reads outside the buffer.
TShellLinkData ReadShellLinkFile(const std::vector<uint8_t>& bytes);

}  // namespace marlowen
