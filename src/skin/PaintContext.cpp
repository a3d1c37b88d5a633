#include "skin/PaintContext.h"

#include <algorithm>

#include "skin/Bitmap32.h"
#include "skin/BitmapDraw.h"
#include "skin/BoxFilter.h"
#include "skin/FontImages.h"
#include "skin/Image8.h"
#include "skin/ScaledImage.h"
#include "skin/TextImage.h"

namespace marlowen {

namespace {

// The exclusive rectangle cut to the clip and to the bitmap; false when nothing is left.
bool VisiblePart(TRect& r, const TRect& clip, const TBitmap32& target) {
    return IntersectRect(r, clip) && IntersectRect(r, TRect{0, 0, target.Width(), target.Height()});
}

// The visible part relative to the rectangle's own top-left.
TRect RelativeTo(const TRect& part, const TRect& whole) {
    return {part.Left - whole.Left, part.Top - whole.Top, part.Right - whole.Left, part.Bottom - whole.Top};
}

// Cuts a part [s, s + length) of a source axis to [0, size), moving the destination start d along.
bool CutToSource(int32_t& s, int32_t& d, int32_t& length, int32_t size) {
    int64_t start = s, dest = d, len = length;
    if (start < 0) {
        dest -= start;
        len += start;
        start = 0;
    }
    len = std::min<int64_t>(len, int64_t{size} - start);
    if (len <= 0 || dest > INT32_MAX) return false;
    s = static_cast<int32_t>(start);
    d = static_cast<int32_t>(dest);
    length = static_cast<int32_t>(len);
    return true;
}

}  // namespace

int32_t TPaintContext::ScaledX() const { return SaturateInt32(int64_t{BaseX_} + Scale_.Device(UnitX_)); }

int32_t TPaintContext::ScaledY() const { return SaturateInt32(int64_t{BaseY_} + Scale_.Device(UnitY_)); }

TRect TPaintContext::ToDevice(const TRect& local) const {
    if (Scale_.IsIdentity()) {
        const int32_t x = X(), y = Y();
        return {SaturateInt32(int64_t{local.Left} + x), SaturateInt32(int64_t{local.Top} + y),
                SaturateInt32(int64_t{local.Right} + x), SaturateInt32(int64_t{local.Bottom} + y)};
    }
    auto mapX = [&](int32_t x) { return SaturateInt32(int64_t{BaseX_} + Scale_.Device(int64_t{UnitX_} + x)); };
    auto mapY = [&](int32_t y) { return SaturateInt32(int64_t{BaseY_} + Scale_.Device(int64_t{UnitY_} + y)); };
    return {mapX(local.Left), mapY(local.Top), mapX(local.Right), mapY(local.Bottom)};
}

TPaintContext TPaintContext::ClippedTo(const TRect& local) const {
    TRect clip = ToDevice(local);
    if (!IntersectRect(clip, Clip_)) clip = TRect{0, 0, 0, 0};
    return {Target_, Scale_, BaseX_, BaseY_, UnitX_, UnitY_, clip};
}

TRect TPaintContext::LocalClip() const {
    if (Scale_.IsIdentity()) {
        const int32_t x = X(), y = Y();
        return {Clip_.Left - x, Clip_.Top - y, Clip_.Right - x, Clip_.Bottom - y};
    }
    const TRect units = Scale_.UnitRectCovering({SaturateInt32(int64_t{Clip_.Left} - BaseX_),
                                                 SaturateInt32(int64_t{Clip_.Top} - BaseY_),
                                                 SaturateInt32(int64_t{Clip_.Right} - BaseX_),
                                                 SaturateInt32(int64_t{Clip_.Bottom} - BaseY_)});
    return {SaturateInt32(int64_t{units.Left} - UnitX_), SaturateInt32(int64_t{units.Top} - UnitY_),
            SaturateInt32(int64_t{units.Right} - UnitX_), SaturateInt32(int64_t{units.Bottom} - UnitY_)};
}

bool TPaintContext::Intersects(const TRect& local) const {
    TRect target;
    return ToTarget(local, target);
}

bool TPaintContext::ToTarget(const TRect& local, TRect& target) const {
    target = ToDevice(local);
    return IntersectRect(target, Clip_);
}

void TPaintContext::Draw(const TBitmap32& image, int32_t x, int32_t y, int32_t opacity) const {
    DrawPart(image, 0, 0, x, y, image.Width(), image.Height(), opacity);
}

void TPaintContext::DrawPart(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y, int32_t width,
                             int32_t height, int32_t opacity) const {
    if (!Scale_.IsIdentity()) return DrawPartScaled(image, sx, sy, x, y, width, height, opacity);
    TRect target;
    if (!ToTarget({x, y, x + width, y + height}, target)) return;
    // Move the source start by as much as the clip cut off the destination start.
    sx += target.Left - (x + X());
    sy += target.Top - (y + Y());
    const int32_t w = target.Right - target.Left;
    const int32_t h = target.Bottom - target.Top;
    if (opacity >= 256) {
        Blit(image, sx, sy, Target_, target.Left, target.Top, w, h);
    } else {
        BlitOpacity(image, sx, sy, Target_, target.Left, target.Top, w, h, opacity);
    }
}

void TPaintContext::DrawPartScaled(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y,
                                   int32_t width, int32_t height, int32_t opacity) const {
    if (opacity < 1) return;
    // The part is cut to the image in units first, so that what lies outside it draws nothing.
    if (!CutToSource(sx, x, width, image.Width()) || !CutToSource(sy, y, height, image.Height())) return;
    const TRect dest = ToDevice({x, y, SaturateInt32(int64_t{x} + width), SaturateInt32(int64_t{y} + height)});
    TRect visible = dest;
    if (!VisiblePart(visible, Clip_, Target_)) return;
    const TScaledImage source = ChooseScaledImage(image, Scale_);
    const TDisplayScale& f = source.Factor;
    const TRect part{f.Device(sx), f.Device(sy), f.Device(int64_t{sx} + width), f.Device(int64_t{sy} + height)};
    // A picture made for exactly this scale covers its rectangle pixel for pixel: blended as it is.
    if (part.Right - part.Left == dest.Right - dest.Left && part.Bottom - part.Top == dest.Bottom - dest.Top &&
        part.Right <= source.Bitmap->Width() && part.Bottom <= source.Bitmap->Height()) {
        const int32_t fromX = part.Left + visible.Left - dest.Left;
        const int32_t fromY = part.Top + visible.Top - dest.Top;
        const int32_t w = visible.Right - visible.Left;
        const int32_t h = visible.Bottom - visible.Top;
        if (opacity >= 256) {
            Blit(*source.Bitmap, fromX, fromY, Target_, visible.Left, visible.Top, w, h);
        } else {
            BlitOpacity(*source.Bitmap, fromX, fromY, Target_, visible.Left, visible.Top, w, h, opacity);
        }
        return;
    }
    // Row by row through one row of pixels: a row that repeats the previous one is blended again
    // without being made again.
    const TBoxFilter filter(part, dest.Right - dest.Left, dest.Bottom - dest.Top, RelativeTo(visible, dest));
    const int32_t w = filter.Width();
    TBitmap32 row;
    row.SetSize(w, 1);
    if (row.Width() != w) return;
    const bool doubled = opacity >= 256 && filter.ReplicatedFactor() == 2;
    for (int32_t y = 0; y < filter.Height(); ++y) {
        // At twice the width the pixels are blended straight from the source row.
        if (doubled && filter.InsideRow(y) >= 0) {
            BlitDoubled(source.Bitmap->Row(filter.InsideRow(y)) + filter.ReplicatedStart(), filter.ReplicatedPhase(),
                        Target_.Row(visible.Top + y) + visible.Left, w);
            continue;
        }
        if (!filter.RepeatsRow(y)) filter.ResampleRow(*source.Bitmap, y, row.Row(0));
        if (opacity >= 256) {
            Blit(row, 0, 0, Target_, visible.Left, visible.Top + y, w, 1);
        } else {
            BlitOpacity(row, 0, 0, Target_, visible.Left, visible.Top + y, w, 1, opacity);
        }
    }
}

void TPaintContext::TileDraw(const TBitmap32& tile, const TRect& local) const {
    const int64_t tw = tile.Width();
    const int64_t th = tile.Height();
    if (tw <= 0 || th <= 0) return;
    TRect visible = LocalClip();
    if (!IntersectRect(visible, local)) return;
    // Only the tiles that reach into the clip are drawn.
    const int64_t firstX = local.Left + (int64_t{visible.Left} - local.Left) / tw * tw;
    const int64_t firstY = local.Top + (int64_t{visible.Top} - local.Top) / th * th;
    for (int64_t ty = firstY; ty < visible.Bottom; ty += th) {
        const auto h = static_cast<int32_t>(std::min<int64_t>(th, local.Bottom - ty));
        for (int64_t tx = firstX; tx < visible.Right; tx += tw) {
            const auto w = static_cast<int32_t>(std::min<int64_t>(tw, local.Right - tx));
            DrawPart(tile, 0, 0, static_cast<int32_t>(tx), static_cast<int32_t>(ty), w, h);
        }
    }
}

void TPaintContext::StretchDraw(const TBitmap32& image, const TRect& local) const {
    if (image.Width() <= 0 || image.Height() <= 0 || !Intersects(local)) return;
    if (Scale_.IsIdentity()) {
        const int32_t x = X(), y = Y();
        const TRect dest{SaturateInt32(int64_t{local.Left} + x), SaturateInt32(int64_t{local.Top} + y),
                         SaturateInt32(int64_t{local.Right} + x - 1), SaturateInt32(int64_t{local.Bottom} + y - 1)};
        marlowen::StretchDraw(image, {0, 0, image.Width() - 1, image.Height() - 1}, Target_, dest,
                              {Clip_.Left, Clip_.Top, Clip_.Right - 1, Clip_.Bottom - 1});
        return;
    }
    const TRect dest = ToDevice(local);
    TRect visible = dest;
    if (!VisiblePart(visible, Clip_, Target_)) return;
    const TScaledImage source = ChooseScaledImage(image, Scale_);
    TBitmap32 resampled;
    TBoxFilter({0, 0, source.Bitmap->Width(), source.Bitmap->Height()}, dest.Right - dest.Left,
               dest.Bottom - dest.Top, RelativeTo(visible, dest))
        .Resample(*source.Bitmap, resampled);
    for (int32_t row = 0; row < resampled.Height(); ++row) {
        std::copy_n(resampled.Row(row), resampled.Width(), Target_.Row(visible.Top + row) + visible.Left);
    }
}

void TPaintContext::GradientRect(const TRect& local, uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft,
                                 uint32_t bottomRight) const {
    if (!Intersects(local)) return;
    const TRect dest = ToDevice(local);
    const int64_t width = int64_t{dest.Right} - dest.Left;
    const int64_t height = int64_t{dest.Bottom} - dest.Top;
    if (width > INT32_MAX || height > INT32_MAX) return;
    Target_.GradientRect(dest.Left, dest.Top, static_cast<int32_t>(width), static_cast<int32_t>(height), topLeft,
                         topRight, bottomLeft, bottomRight, {Clip_.Left, Clip_.Top, Clip_.Right - 1, Clip_.Bottom - 1});
}

void TPaintContext::FillRect(const TRect& local, uint32_t colour) const {
    TRect target;
    if (ToTarget(local, target)) Target_.FillRect({target.Left, target.Top, target.Right - 1, target.Bottom - 1}, colour);
}

void TPaintContext::BlendRect(const TRect& local, uint32_t colour) const {
    TRect target;
    if (ToTarget(local, target)) Target_.BlendRect({target.Left, target.Top, target.Right - 1, target.Bottom - 1}, colour);
}

void TPaintContext::DottedFrame(const TRect& local, uint32_t colour) const {
    if (local.Right <= local.Left || local.Bottom <= local.Top) return;
    if (!Scale_.IsIdentity()) return DottedFrameScaled(local, colour);
    // The outline keeps its dot phase wherever the clip cuts it, so it is drawn whole into the
    // target only when it lies inside the clip; otherwise pixel by pixel.
    const int32_t left = local.Left + X();
    const int32_t top = local.Top + Y();
    const int32_t right = local.Right - 1 + X();
    const int32_t bottom = local.Bottom - 1 + Y();
    auto plot = [&](int32_t px, int32_t py) {
        if (px < Clip_.Left || py < Clip_.Top || px >= Clip_.Right || py >= Clip_.Bottom) return;
        if (px < 0 || py < 0 || px >= Target_.Width() || py >= Target_.Height()) return;
        if (((px - left) + (py - top)) % 2 == 0) Target_.Row(py)[px] = colour;
    };
    for (int32_t px = left; px <= right; ++px) {
        plot(px, top);
        plot(px, bottom);
    }
    for (int32_t py = top + 1; py < bottom; ++py) {
        plot(left, py);
        plot(right, py);
    }
}

void TPaintContext::DottedFrameScaled(const TRect& local, uint32_t colour) const {
    // The dots of the 100 % outline, each one unit pixel filled at its mapped place; only the
    // part of the outline inside the clip is walked.
    const TRect visible = LocalClip();
    const int64_t left = local.Left, top = local.Top, right = int64_t{local.Right} - 1, bottom = int64_t{local.Bottom} - 1;
    auto dot = [&](int64_t px, int64_t py) {
        if (((px - left) + (py - top)) % 2 != 0) return;
        FillRect({static_cast<int32_t>(px), static_cast<int32_t>(py), static_cast<int32_t>(px + 1),
                  static_cast<int32_t>(py + 1)},
                 colour);
    };
    const int64_t x0 = std::max<int64_t>(left, visible.Left), x1 = std::min<int64_t>(right, int64_t{visible.Right} - 1);
    for (int64_t px = x0; px <= x1; ++px) {
        dot(px, top);
        if (bottom != top) dot(px, bottom);
    }
    const int64_t y0 = std::max<int64_t>(top + 1, visible.Top), y1 = std::min<int64_t>(bottom - 1, int64_t{visible.Bottom} - 1);
    for (int64_t py = y0; py <= y1; ++py) {
        dot(left, py);
        if (right != left) dot(right, py);
    }
}

void TPaintContext::DrawGlyph(const TTextSymbol& symbol, int32_t penX, int32_t y, int32_t ascent,
                              uint32_t colour) const {
    const auto* glyph = dynamic_cast<const TFontSymbol*>(&symbol);
    if (glyph == nullptr) return;
    if (const TFontSymbol* scaled = glyph->VariantFor(Scale_)) return DrawGlyphVariant(*scaled, penX, y + ascent, colour);
    const int64_t gx = int64_t{penX} + glyph->XOffset();
    const int64_t gy = int64_t{y} + ascent - glyph->Top();
    // The glyph's image at its mapped rectangle, resampled; painted in the text colour as the
    // clipped 100 % glyph is (a mask through its values, an image through its alpha).
    auto place = [&](int32_t width, int32_t height, TRect& dest, TRect& visible) {
        dest = ToDevice({SaturateInt32(gx), SaturateInt32(gy), SaturateInt32(gx + width), SaturateInt32(gy + height)});
        visible = dest;
        return width > 0 && height > 0 && VisiblePart(visible, Clip_, Target_);
    };
    TRect dest, visible;
    if (const TImage8* mask = glyph->Mask(); mask != nullptr && place(mask->Width(), mask->Height(), dest, visible)) {
        TImage8 resampled;
        TBoxFilter({0, 0, mask->Width(), mask->Height()}, dest.Right - dest.Left, dest.Bottom - dest.Top,
                   RelativeTo(visible, dest))
            .Resample(*mask, resampled);
        DrawMask8(resampled, 0, 0, Target_, visible.Left, visible.Top, resampled.Width(), resampled.Height(), colour);
    }
    if (const TBitmap32* image = glyph->Bitmap(); image != nullptr && place(image->Width(), image->Height(), dest, visible)) {
        TBitmap32 resampled;
        TBoxFilter({0, 0, image->Width(), image->Height()}, dest.Right - dest.Left, dest.Bottom - dest.Top,
                   RelativeTo(visible, dest))
            .Resample(*image, resampled);
        DrawMask32(resampled, 0, 0, Target_, visible.Left, visible.Top, resampled.Width(), resampled.Height(), colour);
    }
}

void TPaintContext::DrawGlyphVariant(const TFontSymbol& glyph, int32_t penX, int32_t baseline, uint32_t colour) const {
    // The pen and the baseline are mapped from units; the variant's image sits at its own
    // offsets from them, in device pixels, unresampled.
    const TRect pen = ToDevice({penX, baseline, penX, baseline});
    const int64_t left = int64_t{pen.Left} + glyph.XOffset();
    const int64_t top = int64_t{pen.Top} - glyph.Top();
    auto draw = [&](int32_t width, int32_t height, auto&& blit) {
        const TRect dest{SaturateInt32(left), SaturateInt32(top), SaturateInt32(left + width), SaturateInt32(top + height)};
        TRect visible = dest;
        if (width > 0 && height > 0 && VisiblePart(visible, Clip_, Target_)) blit(dest, visible);
    };
    if (const TImage8* mask = glyph.Mask()) {
        draw(mask->Width(), mask->Height(), [&](const TRect& dest, const TRect& visible) {
            DrawMask8(*mask, visible.Left - dest.Left, visible.Top - dest.Top, Target_, visible.Left, visible.Top,
                      visible.Right - visible.Left, visible.Bottom - visible.Top, colour);
        });
    }
    if (const TBitmap32* image = glyph.Bitmap()) {
        draw(image->Width(), image->Height(), [&](const TRect& dest, const TRect& visible) {
            DrawMask32(*image, visible.Left - dest.Left, visible.Top - dest.Top, Target_, visible.Left, visible.Top,
                       visible.Right - visible.Left, visible.Bottom - visible.Top, colour);
        });
    }
}

void TPaintContext::DrawText(const TTextImage& text, int32_t x, int32_t y) const {
    if (Scale_.IsIdentity()) return DrawTextClipped(Target_, x + X(), y + Y(), Clip_, text);
    const int32_t ascent = text.Measure().Ascent;
    LayOutText(x, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t colour) {
        DrawGlyph(symbol, pen, y, ascent, colour);
    });
}

void TPaintContext::DrawTextOneColour(const TTextImage& text, int32_t x, int32_t y, uint32_t colour) const {
    if (Scale_.IsIdentity()) return marlowen::DrawTextOneColour(Target_, x + X(), y + Y(), colour, Clip_, text);
    const int32_t ascent = text.Measure().Ascent;
    LayOutText(x, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t) {
        DrawGlyph(symbol, pen, y, ascent, colour);
    });
}

void TPaintContext::DrawTextJustified(const TTextImage& text, int32_t x, int32_t y, int32_t width) const {
    if (Scale_.IsIdentity()) return marlowen::DrawTextJustified(Target_, x + X(), y + Y(), Clip_, width, text);
    const int32_t ascent = text.Measure().Ascent;
    LayOutTextJustified(x, width, text, [&](const TTextSymbol& symbol, int32_t pen, uint32_t colour) {
        DrawGlyph(symbol, pen, y, ascent, colour);
    });
}

}  // namespace marlowen
