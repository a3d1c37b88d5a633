#pragma once

#include <cstdint>

#include "skin/Bitmap32.h"
#include "skin/Geometry.h"
#include "skin/Image8.h"

// Copies between bitmaps. All of them blend per pixel by an effective alpha a: 255 stores the
// whole source value (all four bytes), 0 leaves the pixel, anything else composes the source
// colour over the pixel (alpha n = a + d - (a d) div 255, each channel ((n - a) dst + a src) div n).
//
// Clipping of the rectangle copies: the end is limited to both bitmaps; a negative start (in the
// source or the destination) moves both starts forward by the larger overhang, so the same pixels
// stay paired. A source drawn onto itself with overlapping areas is walked row by row from the top.
namespace marlowen {

// Copies width x height pixels from (sx, sy) to (dx, dy), blending by the source alpha.
void Blit(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
          int32_t width, int32_t height);
// Blit with the source alpha scaled: opacity below 1 draws nothing, 256 or more is Blit, else the
// effective alpha is (source alpha * opacity) >> 8.
void BlitOpacity(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
                 int32_t width, int32_t height, int32_t opacity);
// Blit of the whole source to (x, y).
void Draw(TBitmap32& dest, int32_t x, int32_t y, const TBitmap32& source);
// Covers the width x height area at (x, y) with copies of the tile, column by column from the left
// and top down within a column; the last tile of a row or column is cut. An empty tile draws nothing.
void TileDraw(TBitmap32& dest, const TBitmap32& tile, int32_t x, int32_t y, int32_t width, int32_t height);
// A border of eight images around the width x height area at (x, y), the inside left untouched:
// corners at the area's corners, the top edge (as high as the top-left corner) and the bottom edge
// (as high as its image) tiled between their corners, the right and left edges (as wide as their
// images) tiled between theirs. Drawn top-left, top, top-right, right, bottom-right, bottom,
// bottom-left, left.
void DrawFrame(TBitmap32& dest, int32_t x, int32_t y, int32_t width, int32_t height, const TBitmap32& topLeft,
               const TBitmap32& top, const TBitmap32& topRight, const TBitmap32& right,
               const TBitmap32& bottomRight, const TBitmap32& bottom, const TBitmap32& bottomLeft,
               const TBitmap32& left);
// Nearest-neighbour scaling of the inclusive source rectangle (clipped to the source) onto the
// inclusive destination rectangle, copying whole pixels without blending, only inside the visible
// rectangle (inclusive; also clipped to the destination bitmap and rectangle). Destination column k
// of the rectangle takes source column Left + ((2k + 1) * source width) div (2 * destination width);
// rows alike.
void StretchDraw(const TBitmap32& source, const TRect& sourceRect, TBitmap32& dest, const TRect& destRect,
                 const TRect& visible);
// Blit of one row of a picture at twice its width: destination pixel i (0 <= i < count) takes
// sourceRow[(first + i) div 2], blended as Blit blends; the caller keeps those columns inside
// the source row.
void BlitDoubled(const uint32_t* sourceRow, int32_t first, uint32_t* destRow, int32_t count);
// Tints with colour through an 8-bit mask: effective alpha (mask * (colour alpha + 1)) >> 8.
void DrawMask8(const TImage8& mask, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
               int32_t width, int32_t height, uint32_t colour);
// Tints with colour through a bitmap's alpha (its colours are ignored): effective alpha
// (source alpha * colour alpha) div 255.
void DrawMask32(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
                int32_t width, int32_t height, uint32_t colour);

}  // namespace marlowen
