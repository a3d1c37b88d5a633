#pragma once

#include <cstdint>

#include "skin/DisplayScale.h"
#include "skin/Geometry.h"
#include "skin/TextDraw.h"

namespace marlowen {

class TBitmap32;
class TMultiLinesImage;
class TTextImage;
class TFontSymbol;
class TTextSymbol;

// Where a control paints: the target bitmap, the point of the target at which the control's
// top-left lies (the origin), and the part of the target that may change (the clip, in target
// coordinates). Controls draw in their own coordinates through these operations; every
// rectangle they pass is right- and bottom-exclusive, and the conversion to the inclusive
// rectangles of the pixel operations happens here and nowhere else.
//
// At a display scale the target and the clip are device pixels while controls keep passing skin
// units. The context knows the device pixel of the container's unit (0, 0) (the base) and its
// own origin in units; a local edge x lands on base + Device(origin + x) (TDisplayScale), so the
// shared edge of two neighbours is one device column whatever their positions. At 100 % every
// operation is the unscaled one, pixel for pixel. At other scales:
// - images (Draw, DrawPart, each tile of TileDraw, StretchDraw) are resampled onto their mapped
//   rectangle with TBoxFilter and then blended (copied, for StretchDraw) as at 100 %; the source
//   comes from ChooseScaledImage;
// - fills, blends and gradients cover their mapped rectangles; a one-unit line or dot (the dotted
//   frame) becomes the mapped unit pixel, Device(u + 1) - Device(u) device pixels thick, as a
//   fill of that unit would;
// - text is laid out in units as at 100 % (line breaks never change with the scale); a glyph with
//   a variant rendered for exactly the scale (TFontSymbol::VariantFor) is drawn from it at the
//   mapped pen and baseline, any other glyph's image is resampled onto its mapped rectangle
//   (DrawGlyph).
class TPaintContext {
public:
    // At 100 %, with the origin in target pixels.
    TPaintContext(TBitmap32& target, int32_t originX, int32_t originY, const TRect& clip)
        : Target_(target), UnitX_(originX), UnitY_(originY), Clip_(clip) {}
    // At a scale: the container's unit (0, 0) lies at device pixel (baseX, baseY) of the
    // target, the context's origin at unit (unitX, unitY) of the container; the clip is in
    // device pixels.
    TPaintContext(TBitmap32& target, const TDisplayScale& scale, int32_t baseX, int32_t baseY, int32_t unitX,
                  int32_t unitY, const TRect& clip)
        : Target_(target), Scale_(scale), BaseX_(baseX), BaseY_(baseY), UnitX_(unitX), UnitY_(unitY), Clip_(clip) {}

    TBitmap32& Target() const { return Target_; }
    const TDisplayScale& Scale() const { return Scale_; }
    // The target pixel of the local (0, 0).
    int32_t X() const { return Scale_.IsIdentity() ? BaseX_ + UnitX_ : ScaledX(); }
    int32_t Y() const { return Scale_.IsIdentity() ? BaseY_ + UnitY_ : ScaledY(); }
    const TRect& Clip() const { return Clip_; }

    // The context of something at (dx, dy) of this one, with the same clip.
    TPaintContext Offset(int32_t dx, int32_t dy) const {
        return {Target_, Scale_, BaseX_, BaseY_, UnitX_ + dx, UnitY_ + dy, Clip_};
    }
    // The same origin, the clip narrowed to the local rectangle.
    TPaintContext ClippedTo(const TRect& local) const;
    // The clip in local coordinates (at a scale: every unit whose pixels reach into it).
    TRect LocalClip() const;
    // Whether the local rectangle reaches into the clip.
    bool Intersects(const TRect& local) const;
    // The local exclusive rectangle in target pixels (not clipped).
    TRect ToDevice(const TRect& local) const;

    // The whole image with its top-left at (x, y), blended by its alpha; with an opacity below
    // 256 every alpha is scaled by it first.
    void Draw(const TBitmap32& image, int32_t x, int32_t y, int32_t opacity = 256) const;
    // Part of an image: width x height pixels from (sx, sy) to (x, y).
    void DrawPart(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t opacity = 256) const;
    // Copies of the tile over the local rectangle from its top-left, blended, the last ones cut;
    // a tile without pixels draws nothing.
    void TileDraw(const TBitmap32& tile, const TRect& local) const;
    // The whole image stretched onto the local rectangle, whole pixels copied without blending
    // (at 100 % nearest neighbour; at other scales the box filter onto the mapped rectangle).
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
    int32_t ScaledX() const;
    int32_t ScaledY() const;
    // The local exclusive rectangle in target coordinates, cut to the clip; false when empty.
    bool ToTarget(const TRect& local, TRect& target) const;
    // DrawPart at a scale other than 100 %.
    void DrawPartScaled(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y, int32_t width,
                        int32_t height, int32_t opacity) const;
    void DottedFrameScaled(const TRect& local, uint32_t colour) const;
    // One glyph of a run whose top is at local y and whose baseline lies ascent below it, at a
    // scale other than 100 %: the only place that decides where a scaled glyph's pixels come from.
    void DrawGlyph(const TTextSymbol& symbol, int32_t penX, int32_t y, int32_t ascent, uint32_t colour) const;
    void DrawGlyphVariant(const TFontSymbol& glyph, int32_t penX, int32_t baseline, uint32_t colour) const;

    TBitmap32& Target_;
    TDisplayScale Scale_;
    int32_t BaseX_ = 0;
    int32_t BaseY_ = 0;
    int32_t UnitX_;
    int32_t UnitY_;
    TRect Clip_;
};

}  // namespace marlowen
