#pragma once

#include <cstdint>
#include <functional>

#include "skin/Geometry.h"

// Painting text runs into a bitmap. (x, y) is the run's top-left; its baseline lies at y plus the
// run's ascent (its largest glyph top). Clip rectangles are right- and bottom-exclusive.
namespace marlowen {

class TBitmap32;
class TMultiLinesImage;
class TTextImage;
class TTextSymbol;

enum class TVerticalAlignment : uint8_t { Top = 0, Bottom = 1, Center = 2 };

// Where the glyphs of a run go: place(glyph, pen x, its colour) for each glyph in drawing order.
using TGlyphPlacement = std::function<void(const TTextSymbol& symbol, int32_t penX, uint32_t colour)>;
// The pen starts at x and moves by the advances.
void LayOutText(int32_t x, const TTextImage& text, const TGlyphPlacement& place);
// The pens of DrawTextJustified (below) for a run stretched to width.
void LayOutTextJustified(int32_t x, int32_t width, const TTextImage& text, const TGlyphPlacement& place);

// Each glyph in its own colour, the pen moving by the advances.
void DrawText(TBitmap32& bitmap, int32_t x, int32_t y, const TTextImage& text);
void DrawTextClipped(TBitmap32& bitmap, int32_t x, int32_t y, const TRect& clip, const TTextImage& text);
// Every glyph in the given colour.
void DrawTextOneColour(TBitmap32& bitmap, int32_t x, int32_t y, uint32_t colour, const TRect& clip,
                       const TTextImage& text);
// Stretches the run to width by widening its spaces: at each space the running shift grows by the
// remaining extra div the remaining spaces (so later gaps take the remainder), and every glyph
// from that space on is drawn shifted by it. A run already as wide, or without spaces, is drawn
// as it is.
void DrawTextJustified(TBitmap32& bitmap, int32_t x, int32_t y, const TRect& clip, int32_t width,
                       const TTextImage& text);
// The lines within the width x height box at (x, y), clipped to it: placed top, bottom or centred
// as a block, each line left, right or centred in the width; a justified line is stretched when
// a justified line (or the last one of its paragraph) follows it.
void DrawMultiLine(TBitmap32& bitmap, int32_t x, int32_t y, TVerticalAlignment alignment,
                   const TMultiLinesImage& lines, int32_t height, int32_t width);

}  // namespace marlowen
