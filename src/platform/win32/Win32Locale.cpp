#include "platform/win32/Win32Locale.h"

#include <windows.h>

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

}  // namespace marlowen
