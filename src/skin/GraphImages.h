#pragma once

#include <cstdint>
#include <string>

#include "skin/GraphControl.h"

namespace marlowen {

class TBitmap32;

// A picture from the packs with an opacity, an optional command that the shell opens on a click,
// and child controls described under its element. The control takes the picture's size.
class TCustomGraphImage : public TCustomGraphControl {
public:
    static constexpr int32_t kOpaque = 256;

    explicit TCustomGraphImage(const TSkinContext& context);

    // Common attributes, then "Image" (EImageNotFound when the pack lacks it), "Alpha",
    // "Transparent" and "Command"; then the children.
    void LoadFromXML(const TXMLNode& node) override;

    const TBitmap32* Image() const { return Image_; }
    // Takes the picture's size (0 x 0 without one) and repaints.
    void SetImage(const TBitmap32* image);
    int32_t Alpha() const { return Alpha_; }
    // Kept within 0...256 (256: the picture's own alpha).
    void SetAlpha(int32_t alpha);

    // A transparent image lets the mouse through.
    bool Transparent = false;
    // Opened by the shell ("open", hidden) on a mouse down, after OnLButtonDown.
    std::string Command;

    bool HitTest(int32_t, int32_t) override { return !Transparent; }

    // Assistive technology.
    // A picture is read only when the skin names it; unnamed ones are decoration.
    int32_t AccessibleRole() const override { return AccName.empty() ? 0 : AccRole::Graphic; }

protected:
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;

private:
    const TBitmap32* Image_ = nullptr;  // borrowed from the packs
    int32_t Alpha_ = kOpaque;
};

// The "Image" element: paints the picture at its top-left, every alpha scaled by Alpha / 256.
class TAlphaGraphImage : public TCustomGraphImage {
public:
    using TCustomGraphImage::TCustomGraphImage;

    void Paint(const TPaintContext& paint) override;
};

}  // namespace marlowen
