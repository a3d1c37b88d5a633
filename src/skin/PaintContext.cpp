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
