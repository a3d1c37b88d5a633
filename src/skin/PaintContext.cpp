#include "skin/PaintContext.h"

#include <algorithm>

#include "skin/Bitmap32.h"
#include "skin/BitmapDraw.h"
#include "skin/TextImage.h"

namespace marlowen {

TPaintContext TPaintContext::ClippedTo(const TRect& local) const {
    TRect clip{local.Left + X_, local.Top + Y_, local.Right + X_, local.Bottom + Y_};
    if (!IntersectRect(clip, Clip_)) clip = TRect{0, 0, 0, 0};
    return {Target_, X_, Y_, clip};
}

TRect TPaintContext::LocalClip() const {
    return {Clip_.Left - X_, Clip_.Top - Y_, Clip_.Right - X_, Clip_.Bottom - Y_};
}

bool TPaintContext::Intersects(const TRect& local) const {
    TRect target;
    return ToTarget(local, target);
}

bool TPaintContext::ToTarget(const TRect& local, TRect& target) const {
    target = TRect{local.Left + X_, local.Top + Y_, local.Right + X_, local.Bottom + Y_};
    return IntersectRect(target, Clip_);
}

void TPaintContext::Draw(const TBitmap32& image, int32_t x, int32_t y, int32_t opacity) const {
    DrawPart(image, 0, 0, x, y, image.Width(), image.Height(), opacity);
}

void TPaintContext::DrawPart(const TBitmap32& image, int32_t sx, int32_t sy, int32_t x, int32_t y, int32_t width,
                             int32_t height, int32_t opacity) const {
    TRect target;
    if (!ToTarget({x, y, x + width, y + height}, target)) return;
    // Move the source start by as much as the clip cut off the destination start.
    sx += target.Left - (x + X_);
    sy += target.Top - (y + Y_);
    const int32_t w = target.Right - target.Left;
    const int32_t h = target.Bottom - target.Top;
    if (opacity >= 256) {
        Blit(image, sx, sy, Target_, target.Left, target.Top, w, h);
    } else {
        BlitOpacity(image, sx, sy, Target_, target.Left, target.Top, w, h, opacity);
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
    const TRect dest{SaturateInt32(int64_t{local.Left} + X_), SaturateInt32(int64_t{local.Top} + Y_),
                     SaturateInt32(int64_t{local.Right} + X_ - 1), SaturateInt32(int64_t{local.Bottom} + Y_ - 1)};
    marlowen::StretchDraw(image, {0, 0, image.Width() - 1, image.Height() - 1}, Target_, dest,
                          {Clip_.Left, Clip_.Top, Clip_.Right - 1, Clip_.Bottom - 1});
}

void TPaintContext::GradientRect(const TRect& local, uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft,
                                 uint32_t bottomRight) const {
    if (!Intersects(local)) return;
    const int64_t width = int64_t{local.Right} - local.Left;
    const int64_t height = int64_t{local.Bottom} - local.Top;
    if (width > INT32_MAX || height > INT32_MAX) return;
    Target_.GradientRect(local.Left + X_, local.Top + Y_, static_cast<int32_t>(width), static_cast<int32_t>(height),
                         topLeft, topRight, bottomLeft, bottomRight,
                         {Clip_.Left, Clip_.Top, Clip_.Right - 1, Clip_.Bottom - 1});
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
    // The outline keeps its dot phase wherever the clip cuts it, so it is drawn whole into the
    // target only when it lies inside the clip; otherwise pixel by pixel.
    const int32_t left = local.Left + X_;
    const int32_t top = local.Top + Y_;
    const int32_t right = local.Right - 1 + X_;
    const int32_t bottom = local.Bottom - 1 + Y_;
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

void TPaintContext::DrawText(const TTextImage& text, int32_t x, int32_t y) const {
    DrawTextClipped(Target_, x + X_, y + Y_, Clip_, text);
}

void TPaintContext::DrawTextOneColour(const TTextImage& text, int32_t x, int32_t y, uint32_t colour) const {
    marlowen::DrawTextOneColour(Target_, x + X_, y + Y_, colour, Clip_, text);
}

void TPaintContext::DrawTextJustified(const TTextImage& text, int32_t x, int32_t y, int32_t width) const {
    marlowen::DrawTextJustified(Target_, x + X_, y + Y_, Clip_, width, text);
}

}  // namespace marlowen
