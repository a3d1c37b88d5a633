#pragma once

#include <string>
#include <string_view>

namespace marlowen {

// UTF-8 is this program's 8-bit code page: every conversion between 8-bit and wide (UTF-16) text
// goes through these two functions. Malformed input never fails: each invalid UTF-8 sequence and
// each unpaired surrogate becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Length in bytes of the UTF-8 character starting with `lead` (1 for bytes that cannot start one).
int Utf8SequenceLength(unsigned char lead);

}  // namespace marlowen
