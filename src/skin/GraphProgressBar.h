#pragma once

#include <cstdint>

#include "skin/GraphControl.h"

namespace marlowen {

class TBitmap32;

// "ProgressBar": a bar that fills from the left as its position goes from 0 to Max. Drawn from
// images or, without them, from colours: the frame (FrameImage at the top-left, else BackColor
// inside a one-pixel FrameColor outline), then the filled part inside Indent pixels on every side
// (the left part of FillImage, whose last FillCap columns close the filled part, else FillColor).
// A colour of alpha 0 draws nothing. The bar never takes the mouse.
class TGraphProgressBar : public TCustomGraphControl {
public:
    static constexpr int32_t kDefaultMax = 100;

    explicit TGraphProgressBar(const TSkinContext& context);

    // The shared attributes (a missing "Width" or "Height" is the frame image's), "Max" (100, at
    // least 1), "Position" (0), "Indent" (0), "FrameImage", "FillImage", "FillCap" (0),
    // "FrameColor", "BackColor" and "FillColor" (ARGB; 0: none).
    void LoadFromXML(const TXMLNode& node) override;

    int32_t Max() const { return Max_; }
    int32_t Position() const { return Position_; }
    // Kept within 0..Max; repaints when the filled width changes.
    void SetPosition(int32_t position);
    // The filled width: the inner width times Position / Max, rounded down.
    int32_t FillWidth() const;

    uint32_t FrameColor = 0;
    uint32_t BackColor = 0;
    uint32_t FillColor = 0;

    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t, int32_t) override { return false; }

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::ProgressBar; }
    void Describe(TAccessibleDescription& description) const override;

private:
    int32_t InnerWidth() const;
    void PaintFill(const TPaintContext& paint, int32_t width) const;

    int32_t Max_ = kDefaultMax;
    int32_t Position_ = 0;
    int32_t Indent_ = 0;
    int32_t FillCap_ = 0;
    const TBitmap32* FrameImage_ = nullptr;  // borrowed from the packs
    const TBitmap32* FillImage_ = nullptr;
};

}  // namespace marlowen
