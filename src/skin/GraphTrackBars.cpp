#include "skin/GraphTrackBars.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/ValueItems.h"
#include "skin/Bitmap32.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

// --- TTrackSlider ---

TTrackSlider::TTrackSlider(const TSkinContext& context, TGraphTrackBar& bar, const std::string& folder)
    : TCustomGraphControl(context),
      Bar_(bar),
      Normal_(&context.Resources.GetImage(folder + "\\normal.bmp")),
      Hot_(&context.Resources.GetImage(folder + "\\hot.bmp")) {
    SetBoundsDirect(0, 0, Normal_->Width(), Normal_->Height());
}

void TTrackSlider::Paint(const TPaintContext& paint) {
    paint.Draw(MouseInside() ? *Hot_ : *Normal_, 0, 0);
    TCustomGraphControl::Paint(paint);
}

void TTrackSlider::DoLButtonDown(int32_t x, int32_t y, TShiftState /*shift*/) {
    Grab_ = {x, y};
    Dragging_ = true;
    CaptureMouse();
}

void TTrackSlider::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    Dragging_ = false;
    ReleaseMouse();
}

void TTrackSlider::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (!Dragging_) return;
    if (std::abs(int64_t{y} - Grab_.Y) >= kDragBand) return;
    const int64_t left = int64_t{Left()} + x - Grab_.X;
    Bar_.SliderDragged(static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)));
}

void TTrackSlider::DoMouseEnter() {
    Invalidate();
}

void TTrackSlider::DoMouseLeave() {
    Invalidate();
}

// --- TGraphTrackBar ---

TGraphTrackBar::TGraphTrackBar(const TSkinContext& context) : TCustomGraphControl(context) { TabStop = true; }

void TGraphTrackBar::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const std::string folder = node.Attributes().GetText("SliderFolder");
    Slider_ = Controls().AddControl(std::make_unique<TTrackSlider>(Context(), *this, folder));
    SetBoundsDirect(Left(), Top(), Width(), Slider_->Height());
    SetPosition(Position_);
}

int32_t TGraphTrackBar::FreeWidth() const {
    return Slider_ == nullptr ? 0 : std::max(Width() - Slider_->Width(), 0);
}

void TGraphTrackBar::SetPosition(double value) {
    LastValue_ = value;
    Position_ = std::isnan(value) || value < 0 ? 0.0 : std::min(value, 1.0);
    if (Slider_ != nullptr) Slider_->SetLeft(static_cast<int32_t>(std::lround(FreeWidth() * Position_)));
}

void TGraphTrackBar::SliderDragged(int32_t left) {
    const int32_t free = FreeWidth();
    if (free == 0) return;  // the slider fills the bar: there is nothing to choose
    const double value = static_cast<double>(std::clamp(left, 0, free)) / free;
    if (value == LastValue_) return;
    SetPosition(value);
    RaiseEvent(OnChange, *this, value);
}

void TGraphTrackBar::DoResized() {
    if (Slider_ != nullptr) Slider_->SetLeft(static_cast<int32_t>(std::lround(FreeWidth() * Position_)));
}

}  // namespace marlowen
