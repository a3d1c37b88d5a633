#include "skin/GraphProgressBar.h"

#include <algorithm>

#include "core/ValueItems.h"
#include "skin/Bitmap32.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

TGraphProgressBar::TGraphProgressBar(const TSkinContext& context) : TCustomGraphControl(context) {}

void TGraphProgressBar::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    const TResources& resources = Context().Resources;
    if (a.Find("FrameImage") != nullptr) FrameImage_ = &resources.GetImage(a.GetText("FrameImage"));
    if (a.Find("FillImage") != nullptr) FillImage_ = &resources.GetImage(a.GetText("FillImage"));
    const int32_t width = a.GetIntegerDef("Width", FrameImage_ != nullptr ? FrameImage_->Width() : 0);
    const int32_t height = a.GetIntegerDef("Height", FrameImage_ != nullptr ? FrameImage_->Height() : 0);
    SetBoundsDirect(Left(), Top(), width, height);
    Max_ = std::max(a.GetIntegerDef("Max", kDefaultMax), 1);
    Position_ = std::clamp(a.GetIntegerDef("Position", 0), 0, Max_);
    Indent_ = std::max(a.GetIntegerDef("Indent", 0), 0);
    FillCap_ = std::max(a.GetIntegerDef("FillCap", 0), 0);
    FrameColor = a.GetColorDef("FrameColor", 0);
    BackColor = a.GetColorDef("BackColor", 0);
    FillColor = a.GetColorDef("FillColor", 0);
}

int32_t TGraphProgressBar::InnerWidth() const { return std::max(Width() - 2 * Indent_, 0); }

int32_t TGraphProgressBar::FillWidth() const {
    return static_cast<int32_t>(int64_t{InnerWidth()} * Position_ / Max_);
}

void TGraphProgressBar::SetPosition(int32_t position) {
    position = std::clamp(position, 0, Max_);
    if (position == Position_) return;
    const int32_t before = FillWidth();
    const int64_t percent = Max_ > 0 ? int64_t{Position_} * 100 / Max_ : 0;
    Position_ = position;
    if (FillWidth() != before) Invalidate();
    // Readers hear whole percents, not every step of a long copy.
    if (Max_ > 0 && int64_t{Position_} * 100 / Max_ != percent) NotifyAccessible(AccEvent::ValueChange);
}

void TGraphProgressBar::Paint(const TPaintContext& paint) {
    const int32_t w = Width();
    const int32_t h = Height();
    if (FrameImage_ != nullptr) {
        paint.Draw(*FrameImage_, 0, 0);
    } else {
        if ((BackColor >> 24) != 0) paint.BlendRect({0, 0, w, h}, BackColor);
        if ((FrameColor >> 24) != 0 && w > 1 && h > 1) {
            paint.BlendRect({0, 0, w, 1}, FrameColor);
            paint.BlendRect({0, h - 1, w, h}, FrameColor);
            paint.BlendRect({0, 1, 1, h - 1}, FrameColor);
            paint.BlendRect({w - 1, 1, w, h - 1}, FrameColor);
        }
    }
    const int32_t filled = FillWidth();
    if (filled > 0) PaintFill(paint.ClippedTo({Indent_, Indent_, Indent_ + filled, h - Indent_}), filled);
}

void TGraphProgressBar::PaintFill(const TPaintContext& paint, int32_t width) const {
    const int32_t height = std::max(Height() - 2 * Indent_, 0);
    if (FillImage_ == nullptr) {
        if ((FillColor >> 24) != 0) paint.BlendRect({Indent_, Indent_, Indent_ + width, Indent_ + height}, FillColor);
        return;
    }
    const TBitmap32& fill = *FillImage_;
    const int32_t cap = std::min(FillCap_, fill.Width());
    if (cap == 0 || width < 2 * cap) {
        paint.DrawPart(fill, 0, 0, Indent_, Indent_, std::min(width, fill.Width()), height);
        return;
    }
    // The body up to the cap, then the image's own end, so a part filled looks closed.
    paint.DrawPart(fill, 0, 0, Indent_, Indent_, std::min(width - cap, fill.Width() - cap), height);
    paint.DrawPart(fill, fill.Width() - cap, 0, Indent_ + width - cap, Indent_, cap, height);
}

}  // namespace marlowen
