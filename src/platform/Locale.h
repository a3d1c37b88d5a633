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
};

}  // namespace marlowen
