#include "skin/HintWindow.h"

#include <algorithm>

#include "core/TaggedString.h"
#include "core/ValueItems.h"
#include "platform/HintPopup.h"
#include "skin/DisplayScale.h"
#include "skin/Geometry.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// The window rectangle at (left, top), moved back into the work area where it passes its right
// or bottom edge (a pointer near the edge, or text that cannot wrap narrow enough), then where it
// passes its left or top edge.
TScreenRect InsideWorkArea(int64_t left, int64_t top, int64_t width, int64_t height, const TScreenRect& work) {
    if (left + width > work.Right) left = int64_t{work.Right} - width;
    if (top + height > work.Bottom) top = int64_t{work.Bottom} - height;
    left = std::max<int64_t>(left, work.Left);
    top = std::max<int64_t>(top, work.Top);
    return {SaturateInt32(left), SaturateInt32(top), SaturateInt32(left + width), SaturateInt32(top + height)};
}

}  // namespace

bool THintWindowControl::Showing() const { return Popup_.Showing(); }

void THintWindowControl::ShowHintText(const std::u16string& text, int32_t x, int32_t y) {
    Text_ = Translate(text);
    const TScreenRect work = Popup_.WorkArea();
    // Indents and border are skin units, mapped to the pixels of the display the hint shows on.
    const int32_t dpi = Popup_.DpiAt(x, y);
    const TDisplayScale scale = TDisplayScale::FromDpi(dpi);
    const int32_t border = scale.Device(1);
    const int64_t dx = int64_t{scale.Device(HorzIndent)} + border;
    const int64_t dy = int64_t{scale.Device(VertIndent)} + border;
    // The text wraps so that the window's right edge, border and indent included, stays inside.
    const int64_t maxWidth = std::max<int64_t>(int64_t{work.Right} - x - dx, 1);
    int32_t width = 0;
    int32_t height = 0;
    Popup_.MeasureText(Text_, static_cast<int32_t>(std::min<int64_t>(maxWidth, INT32_MAX)), dpi, width, height);
    THintPicture picture;
    picture.Dpi = dpi;
    picture.BorderWidth = border;
    picture.Bounds = InsideWorkArea(x - dx, y - dy, width + 2 * dx, height + 2 * dy, work);
    picture.BackColor = BackColor;
    picture.BorderColor = BorderColor;
    picture.Text = Text_;
    picture.TextColor = TextColor;
    picture.TextRect = {SaturateInt32(dx), SaturateInt32(dy), SaturateInt32(dx + width), SaturateInt32(dy + height)};
    Popup_.Show(picture);
}

void THintWindowControl::Hide() { Popup_.Hide(); }

void THintWindowControl::ApplyHintStyle(const TXMLNode& style) {
    const TValueItems& s = style.Attributes();
    const uint32_t back = s.GetColor("BackColor");
    const uint32_t border = s.GetColor("BorderColor");
    const uint32_t text = s.GetColor("TextColor");
    const int32_t horz = s.GetInteger("HorzIndent");
    const int32_t vert = s.GetInteger("VertIndent");
    BackColor = back;
    BorderColor = border;
    TextColor = text;
    HorzIndent = horz;
    VertIndent = vert;
}

}  // namespace marlowen
