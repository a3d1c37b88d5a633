#include "platform/win32/Win32Text.h"

#include "platform/win32/Win32Api.h"

#include <cstdio>

#include "core/Utf.h"

namespace marlowen {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

std::wstring WideText(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string Utf8Text(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string SystemErrorMessage(uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (!text.empty()) return Utf8Text(text);
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "Error 0x%08lX", static_cast<unsigned long>(code));
    return fallback;
}

}  // namespace marlowen
