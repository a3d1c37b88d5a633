#pragma once

#include <cstdint>
#include <vector>

#include "platform/Shell.h"

namespace marlowen {

// The Shell Link (".lnk") binary format: a header, a link-target ID list for a target with a
// drive ("C:\..."), link info with the local base path (also in UTF-16 when it is not ASCII), and
// Unicode string data for the description, working folder and arguments when they are not empty
// and the icon location when IconIndex >= 0. Paths may be of any length: an ID list too long for
// its 16-bit size is left out, the link info still names the target. Standard tools and the
// Windows shell read what this writes. Raises when a text is too long for the format.
std::vector<uint8_t> WriteShellLinkFile(const TShellLinkData& link);

// Reads the fields back (tests, and tools that check links). Raises an Exception on bytes that
// are not a well-formed link; never reads outside the buffer.
TShellLinkData ReadShellLinkFile(const std::vector<uint8_t>& bytes);

}  // namespace marlowen
