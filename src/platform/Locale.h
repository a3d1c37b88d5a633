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
    // The user's regional number separators: the decimal separator, and the thousand separator
    // (0 when the region groups no digits).
    virtual char16_t DecimalSeparator() const = 0;
    virtual char16_t ThousandSeparator() const = 0;
};

}  // namespace marlowen
