#pragma once

#include <cstdint>

#include "skin/Geometry.h"
#include "skin/TextDraw.h"

namespace marlowen {

class TBitmap32;
class TMultiLinesImage;
class TTextImage;

// Where a control paints: the target bitmap, the point of the target at which the control's
// top-left lies (the origin), and the part of the target that may change (the clip, in target
// coordinates). Controls draw in their own coordinates through these operations; every
// rectangle they pass is right- and bottom-exclusive, and the conversion to the inclusive
// rectangles of the pixel operations happens here and nowhere else.
class TPaintContext {
public:
    TPaintContext(TBitmap32& target, int32_t originX, int32_t originY, const TRect& clip)
        : Target_(target), X_(originX), Y_(originY), Clip_(clip) {}

    TBitmap32& Target() const { return Target_; }
    int32_t X() const { return X_; }
    int32_t Y() const { return Y_; }
    const TRect& Clip() const { return Clip_; }

    // The context of something at (dx, dy) of this one, with the same clip.
    TPaintContext Offset(int32_t dx, int32_t dy) const { return {Target_, X_ + dx, Y_ + dy, Clip_}; }
    // The same origin, the clip narrowed to the local rectangle.
    TPaintContext ClippedTo(const TRect& local) const;
    // The clip in local coordinates.
    TRect LocalClip() const;
    // Whether the local rectangle reaches into the clip.
    bool Intersects(const TRect& local) const;

    // The whole image with its top-left at (x, y), blended by its alpha; with an opacity below
    // 256 every alpha is scaled by it first.
    void Draw(const TBitmap32& image, int32_t x, int32_t y, int32_t opacity = 256) const;
    // Part of an image: width x height pixels from (sx, sy) to (x, y).
    void DrawPart(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t opacity = 256) const;
    // Copies of the tile over the local rectangle from its top-left, blended, the last ones cut;
    // a tile without pixels draws nothing.
    void TileDraw(const TBitmap32& tile, const TRect& local) const;
    // The whole image stretched onto the local rectangle (nearest neighbour, whole pixels copied
    // without blending).
    void StretchDraw(const TBitmap32& image, const TRect& local) const;
    // The four-corner gradient over the local rectangle, each pixel blended with its own alpha.
    void GradientRect(const TRect& local, uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft,
                      uint32_t bottomRight) const;
    void FillRect(const TRect& local, uint32_t colour) const;
    void BlendRect(const TRect& local, uint32_t colour) const;
    // The one-pixel dotted outline of the local rectangle.
    void DottedFrame(const TRect& local, uint32_t colour) const;
    // A text run with its top-left at (x, y), each glyph in its own colour, or all in one.
    void DrawText(const TTextImage& text, int32_t x, int32_t y) const;
    void DrawTextOneColour(const TTextImage& text, int32_t x, int32_t y, uint32_t colour) const;
    void DrawTextJustified(const TTextImage& text, int32_t x, int32_t y, int32_t width) const;

private:
    // The local exclusive rectangle in target coordinates, cut to the clip; false when empty.
    bool ToTarget(const TRect& local, TRect& target) const;

    TBitmap32& Target_;
    int32_t X_;
    int32_t Y_;
    TRect Clip_;
};

}  // namespace marlowen
