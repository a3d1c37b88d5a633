#pragma once

#include <string_view>

#include "core/Variant.h"

namespace marlowen {

// The typed value of an attribute's text, by these rules, first match wins:
//   - a decimal integer written without superfluous signs or leading zeros ("0", "-12", "300"):
//     a 32-bit integer, or a 64-bit one beyond that range;
//   - "0x" or "0X" and hexadecimal digits: up to 0xFFFFFFFF a 32-bit integer holding that bit
//     pattern (so colours such as 0xFF102030 read back unchanged), beyond it a 64-bit integer;
//   - "true" or "false", in any letter case: a boolean;
//   - text of ASCII characters only (the empty text too): an 8-bit string;
//   - any other text: a wide string.
// Integers too large for 64 bits stay text.
TVariant AttributeValue(std::string_view text);

}  // namespace marlowen
