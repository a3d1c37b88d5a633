#include "skin/TextDraw.h"

#include "skin/FontImages.h"
#include "skin/MultiLinesImage.h"
#include "skin/TextImage.h"

namespace marlowen {

namespace {
// Calls draw(symbol, pen x, colour) for each glyph of the run from x.
template <class F>
void EachGlyph(int32_t x, const TTextImage& text, F&& draw) {
    int64_t pen = x;
    for (int32_t i = 0; i < text.Count(); ++i) {
        const TTextSymbol* symbol = text.Symbol(i);
        draw(*symbol, SaturateInt32(pen), text.Colour(i));
        pen += symbol->Advance();
    }
}

bool IsSpace(const TTextSymbol& symbol) { return symbol.Text() == u" "; }
}  // namespace

void DrawText(TBitmap32& bitmap, int32_t x, int32_t y, const TTextImage& text) {
    const int32_t ascent = text.Measure().Ascent;
    EachGlyph(x, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t colour) {
        symbol.DrawSymbol(bitmap, pen, colour, ascent, y);
    });
}

void DrawTextClipped(TBitmap32& bitmap, int32_t x, int32_t y, const TRect& clip, const TTextImage& text) {
    const int32_t ascent = text.Measure().Ascent;
    EachGlyph(x, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t colour) {
        symbol.DrawSymbolClipped(bitmap, pen, colour, ascent, y, clip);
    });
}

void DrawTextOneColour(TBitmap32& bitmap, int32_t x, int32_t y, uint32_t colour, const TRect& clip,
                       const TTextImage& text) {
    const int32_t ascent = text.Measure().Ascent;
    EachGlyph(x, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t) {
        symbol.DrawSymbolClipped(bitmap, pen, colour, ascent, y, clip);
    });
}

void LayOutText(int32_t x, const TTextImage& text, const TGlyphPlacement& place) {
    EachGlyph(x, text, place);
}

void LayOutTextJustified(int32_t x, int32_t width, const TTextImage& text, const TGlyphPlacement& place) {
    const TTextMetrics m = text.Measure();
    int64_t extra = int64_t{width} - m.AdvanceSum;
    int64_t spaces = 0;
    for (int32_t i = 0; i < text.Count(); ++i) spaces += IsSpace(*text.Symbol(i));
    if (extra <= 0 || spaces == 0) return LayOutText(x, text, place);
    int64_t pen = x, shift = 0;
    for (int32_t i = 0; i < text.Count(); ++i) {
        const TTextSymbol& symbol = *text.Symbol(i);
        if (IsSpace(symbol)) {
            const int64_t share = extra / spaces;
            shift += share;
            extra -= share;
            --spaces;
        }
        place(symbol, SaturateInt32(pen + shift), text.Colour(i));
        pen += symbol.Advance();
    }
}

void DrawTextJustified(TBitmap32& bitmap, int32_t x, int32_t y, const TRect& clip, int32_t width,
                       const TTextImage& text) {
    const int32_t ascent = text.Measure().Ascent;
    LayOutTextJustified(x, width, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t colour) {
        symbol.DrawSymbolClipped(bitmap, pen, colour, ascent, y, clip);
    });
}

void DrawMultiLine(TBitmap32& bitmap, int32_t x, int32_t y, TVerticalAlignment alignment,
                   const TMultiLinesImage& lines, int32_t height, int32_t width) {
    int64_t offset = 0;
    if (alignment == TVerticalAlignment::Bottom) offset = int64_t{height} - lines.TotalHeight();
    if (alignment == TVerticalAlignment::Center) offset = (int64_t{height} - lines.TotalHeight()) / 2;
    const TRect clip{x, y, SaturateInt32(int64_t{x} + width), SaturateInt32(int64_t{y} + height)};
    for (int32_t i = 0; i < lines.LineCount(); ++i) {
        const TTextImage& line = lines.Line(i);
        int64_t lineX = x;
        if (line.Alignment() == TTextAlignment::Right) lineX += int64_t{width} - line.Width();
        if (line.Alignment() == TTextAlignment::Center) lineX += (int64_t{width} - line.Width()) / 2;
        const int32_t lineY = SaturateInt32(y + offset);
        const bool stretched = line.Alignment() == TTextAlignment::Justify && i + 1 < lines.LineCount() &&
                               (lines.Line(i + 1).Alignment() == TTextAlignment::Justify ||
                                lines.Line(i + 1).Alignment() == TTextAlignment::JustifyLastLine);
        if (stretched) {
            DrawTextJustified(bitmap, SaturateInt32(lineX), lineY, clip, width, line);
        } else {
            DrawTextClipped(bitmap, SaturateInt32(lineX), lineY, clip, line);
        }
        offset += line.LineHeight();
    }
}

}  // namespace marlowen
