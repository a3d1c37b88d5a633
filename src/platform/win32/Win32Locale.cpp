#include "platform/win32/Win32Locale.h"

#include "platform/win32/Win32Api.h"

namespace marlowen {

TFontSignature TWin32Locale::SystemFontSignature() const {
    // LOCALE_FONTSIGNATURE yields the 32-byte LOCALESIGNATURE in 16 wide characters.
    WCHAR buffer[16] = {};
    TFontSignature signature;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_FONTSIGNATURE, buffer, 16) == 0) return signature;
    const auto word = [&](int index) {
        return static_cast<uint32_t>(buffer[2 * index]) | (static_cast<uint32_t>(buffer[2 * index + 1]) << 16);
    };
    for (int i = 0; i < 4; ++i) signature.UnicodeSubsets[i] = word(i);
    // LOCALESIGNATURE: lsUsb[4], then lsCsbDefault[2], then lsCsbSupported[2].
    signature.CodePages[0] = word(4);
    signature.CodePages[1] = word(5);
    return signature;
}

namespace {

// The first character of a user-locale text; `fallback` when Windows has none to give.
char16_t FirstCharOf(LCTYPE type, char16_t fallback) {
    WCHAR buffer[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 8) == 0) return fallback;
    return static_cast<char16_t>(buffer[0]);
}

}  // namespace

char16_t TWin32Locale::DecimalSeparator() const {
    const char16_t separator = FirstCharOf(LOCALE_SDECIMAL, u'.');
    return separator != 0 ? separator : u'.';
}

// An empty grouping text leaves 0: no grouping.
char16_t TWin32Locale::ThousandSeparator() const { return FirstCharOf(LOCALE_STHOUSAND, u','); }

}  // namespace marlowen
