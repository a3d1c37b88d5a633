#pragma once

#include <array>
#include <cstdint>

namespace marlowen {

// The font signature of the system's default locale: Unicode-subset bits (128) and code-page
// bits (64), as 32-bit words with the lowest bit first.
struct TFontSignature {
    std::array<uint32_t, 4> UnicodeSubsets{};
    std::array<uint32_t, 2> CodePages{};
};

// What the program asks of the system's locale.
class TLocale {
public:
    virtual ~TLocale() = default;
    virtual TFontSignature SystemFontSignature() const = 0;
    // Whether the system shows Russian: its signature holds both the Cyrillic letters and code
    // page 1251.
    bool SupportsCyrillic() const {
        constexpr uint32_t kCyrillicSubset = 1u << 9;
        constexpr uint32_t kCodePage1251 = 1u << 2;
        const TFontSignature signature = SystemFontSignature();
        return (signature.UnicodeSubsets[0] & kCyrillicSubset) != 0 && (signature.CodePages[0] & kCodePage1251) != 0;
    }
    // The user's regional number separators: the decimal separator, and the thousand separator
    // (0 when the region groups no digits).
    virtual char16_t DecimalSeparator() const = 0;
    virtual char16_t ThousandSeparator() const = 0;
};

}  // namespace marlowen
