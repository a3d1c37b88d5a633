#include "skin/HintWindow.h"

#include <algorithm>

#include "core/TaggedString.h"
#include "core/ValueItems.h"
#include "platform/HintPopup.h"
#include "skin/Geometry.h"
#include "skin/XMLNode.h"

namespace marlowen {

bool THintWindowControl::Showing() const { return Popup_.Showing(); }

void THintWindowControl::ShowHintText(const std::u16string& text, int32_t x, int32_t y) {
    Text_ = Translate(text);
    const int64_t maxWidth = std::max<int64_t>(int64_t{Popup_.WorkArea().Right} - x, 1);
    int32_t width = 0;
    int32_t height = 0;
    Popup_.MeasureText(Text_, static_cast<int32_t>(std::min<int64_t>(maxWidth, INT32_MAX)), width, height);
    const int64_t dx = int64_t{HorzIndent} + 1;
    const int64_t dy = int64_t{VertIndent} + 1;
    THintPicture picture;
    picture.Bounds = {SaturateInt32(x - dx), SaturateInt32(y - dy), SaturateInt32(int64_t{x} + width + dx),
                      SaturateInt32(int64_t{y} + height + dy)};
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
