#pragma once

#include <cstdint>
#include <functional>

#include "skin/GraphControl.h"

namespace marlowen {

class TBitmap32;
class TGraphTrackBar;

using TTrackChangeEvent = std::function<void(TGraphTrackBar& sender, double value)>;

// The draggable slider of a track bar: its normal image, the hot one while the pointer is over
// it. A drag follows the pointer sideways only while it stays within 50 pixels of the grab
// point's height.
class TTrackSlider : public TCustomGraphControl {
public:
    static constexpr int32_t kDragBand = 50;

    // Raises EImageNotFound for a missing "normal.bmp" or "hot.bmp" of the folder.
    TTrackSlider(const TSkinContext& context, TGraphTrackBar& bar, const std::string& folder);

    bool Dragging() const { return Dragging_; }

    void Paint(const TPaintContext& paint) override;
    void CaptureLost() override { Dragging_ = false; }

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;

private:
    TGraphTrackBar& Bar_;
    const TBitmap32* Normal_;  // borrowed from the packs
    const TBitmap32* Hot_;
    TPoint Grab_;
    bool Dragging_ = false;
};

// "GraphTrackBar": a horizontal track (painted by what lies beneath) with a slider that sets a
// fraction from 0 to 1. Its height is the slider's.
class TGraphTrackBar : public TCustomGraphControl {
public:
    explicit TGraphTrackBar(const TSkinContext& context);

    // The shared attributes, then "SliderFolder" (required).
    void LoadFromXML(const TXMLNode& node) override;

    double Position() const { return Position_; }
    // The value exactly as last set or dragged to.
    double LastValue() const { return LastValue_; }
    TTrackSlider* Slider() const { return Slider_; }
    // The position is the value held within 0..1 (0 for not a number); the slider stands at that
    // share of the free width, rounded.
    void SetPosition(double value);
    // Called by the slider: a drag to this left edge. Raises OnChange when the value it stands
    // for differs from the last value; nothing when the slider fills the whole bar.
    void SliderDragged(int32_t left);

    TTrackChangeEvent OnChange;

    bool HitTest(int32_t, int32_t) override { return false; }

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::Slider; }
    void Describe(TAccessibleDescription& description) const override;

protected:
    void DoResized() override;

private:
    int32_t FreeWidth() const;

    TTrackSlider* Slider_ = nullptr;  // a child, freed with the bar
    double Position_ = 0;
    double LastValue_ = 0;
};

}  // namespace marlowen
