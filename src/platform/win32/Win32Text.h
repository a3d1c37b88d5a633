#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marlowen {

// UTF-8 ↔ the wide strings of the W functions (wchar_t is UTF-16 on Windows).
std::wstring WideText(std::string_view text);
std::string Utf8Text(std::wstring_view text);

// The system's text for an error code or HRESULT, without the trailing line break; a code the
// system has no text for gives "Error 0x…".
std::string SystemErrorMessage(uint32_t code);

}  // namespace marlowen
