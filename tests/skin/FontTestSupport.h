#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/Bitmap32.h"
#include "skin/FontImages.h"
#include "skin/Image8.h"

// Small synthetic fonts for the text tests.
namespace marlowen::testing {

// A glyph for text with the given metrics and, when w and h are not 0, a w x h mask of full
// coverage.
inline std::unique_ptr<TFontSymbol> MakeGlyph(std::u16string text, const TSymbolMetrics& m, int32_t w = 0,
                                              int32_t h = 0) {
    auto glyph = std::make_unique<TFontSymbol>();
    glyph->SetText(std::move(text));
    glyph->SetMetrics(m);
    if (w > 0 && h > 0) {
        auto mask = std::make_unique<TImage8>();
        mask->SetSize(w, h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) mask->Row(y)[x] = 255;
        glyph->SetMask(std::move(mask));
    }
    return glyph;
}

// Glyphs for each character: `advance` wide, top 8, descent 2, height 10, and a single dot of
// full coverage at the image's top-left (so that a painted pixel shows where a glyph went).
// Spaces get no mask.
inline void AddDotGlyphs(TFontImages& font, std::u16string_view chars, int32_t advance) {
    for (char16_t ch : chars) {
        TSymbolMetrics m;
        m.Advance = advance;
        m.Top = 8;
        m.Descent = 2;
        m.Height = 10;
        font.AddSymbol(MakeGlyph(std::u16string(1, ch), m, ch == u' ' ? 0 : 1, ch == u' ' ? 0 : 1));
    }
}

// The coordinates of every pixel that is not 0, rows top first: "x,y x,y ...".
inline std::string Painted(const TBitmap32& bitmap) {
    std::string points;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        for (int32_t x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.Row(y)[x] == 0) continue;
            if (!points.empty()) points += ' ';
            points += std::to_string(x) + "," + std::to_string(y);
        }
    }
    return points;
}

}  // namespace marlowen::testing
