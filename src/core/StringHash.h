#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlowen {

// The 8-bit upper-case table. UTF-8 is the system code page, so only ASCII letters fold; every
// byte of a multi-byte character stays itself. Entry 0 is 0.
extern const std::array<uint8_t, 256> UpperTable;

// The text with its ASCII letters upper-cased through UpperTable.
std::string UpperCase(std::string_view text);

// Hash of text without regard to letter case, in 0 .. bucketCount - 1 (0 for the empty string).
int32_t TextHash(std::string_view text, int32_t bucketCount);
// Hash of the exact bytes, in 0 .. bucketCount - 1 (0 for the empty string).
int32_t BinaryHash(std::string_view bytes, int32_t bucketCount);

bool TextEquals(std::string_view a, std::string_view b);
bool BinaryEquals(std::string_view a, std::string_view b);

}  // namespace marlowen
