#include "skin/GraphMultiLine.h"

#include <utility>

#include "core/Exception.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "skin/FontImages.h"
#include "skin/GraphLabels.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// A wrapped line of a justified paragraph is stretched; the paragraph's last line (ended by a
// line break) and the text's last line are not.
bool Stretched(const TMultiLinesImage& lines, int32_t index) {
    if (lines.Line(index).Alignment() != TTextAlignment::Justify || index + 1 >= lines.LineCount()) return false;
    const TTextAlignment next = lines.Line(index + 1).Alignment();
    return next == TTextAlignment::Justify || next == TTextAlignment::JustifyLastLine;
}

}  // namespace

TGraphMultiLine::TGraphMultiLine(const TSkinContext& context) : TCustomGraphControl(context) {
    LanguageSubscription_ = TLanguageSubscription::To<&TGraphMultiLine::LanguageChanged>(Context().Languages, this);
}

void TGraphMultiLine::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    Node_ = &node;
    Text_ = a.GetWideTextDef("Text", u"");
    VerticalAlignment_ = VertAlignmentFromName(a.GetTextDef("VerticalAlignment", "Top"));
    Relayout();
}

void TGraphMultiLine::SetText(std::u16string text) {
    Text_ = std::move(text);
    Relayout();
}

void TGraphMultiLine::SetVerticalAlignment(TVerticalAlignment alignment) {
    if (alignment == VerticalAlignment_) return;
    VerticalAlignment_ = alignment;
    Invalidate();
}

void TGraphMultiLine::SetVariable(std::string_view name, std::u16string text) {
    Variables_.SetWideText(name, std::move(text));
}

void TGraphMultiLine::LanguageChanged(TLanguages& /*sender*/, TLanguageNotify flag) {
    if (flag == TLanguageNotify::Changed) Relayout();
}

std::u16string TGraphMultiLine::VariableValue(std::u16string_view name) const {
    const std::string key = Utf16ToUtf8(name);
    if (const TValueItem* set = Variables_.Find(key)) return Translate(set->Value().ToWideString());
    const TValueItem* attribute = Node_ != nullptr ? Node_->Attributes().Find(key) : nullptr;
    return Translate(attribute != nullptr ? attribute->Value().ToWideString() : std::u16string(name));
}

std::u16string TGraphMultiLine::ExpandedText() const {
    const std::u16string text = Translate(Text_);
    std::u16string result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t percent = text.find(u'%', pos);
        if (percent == std::u16string::npos) {
            result.append(text, pos, std::u16string::npos);
            break;
        }
        result.append(text, pos, percent - pos);
        // "%%" and a "%" that ends the text stand for one percent sign.
        if (percent + 1 == text.size() || text[percent + 1] == u'%') {
            result += u'%';
            pos = percent + 2;
            continue;
        }
        const size_t close = text.find(u'%', percent + 1);
        if (close == std::u16string::npos) throw Exception("% не закрыт");
        result += VariableValue(std::u16string_view(text).substr(percent + 1, close - percent - 1));
        pos = close + 1;
    }
    return result;
}

void TGraphMultiLine::Relayout() {
    Lines_.SetText(ExpandedText(), Width(), Context().Resources.Styles());
    Invalidate();
}

void TGraphMultiLine::Paint(const TPaintContext& paint) {
    const TPaintContext inside = paint.ClippedTo({0, 0, Width(), Height()});
    int64_t y = 0;
    if (VerticalAlignment_ == TVerticalAlignment::Bottom) y = int64_t{Height()} - Lines_.TotalHeight();
    if (VerticalAlignment_ == TVerticalAlignment::Center) y = (int64_t{Height()} - Lines_.TotalHeight()) / 2;
    for (int32_t i = 0; i < Lines_.LineCount(); ++i) {
        const TTextImage& line = Lines_.Line(i);
        int64_t x = 0;
        if (line.Alignment() == TTextAlignment::Right) x = int64_t{Width()} - line.Width();
        if (line.Alignment() == TTextAlignment::Center) x = (int64_t{Width()} - line.Width()) / 2;
        if (Stretched(Lines_, i)) {
            inside.DrawTextJustified(line, SaturateInt32(x), SaturateInt32(y), Width());
        } else {
            inside.DrawText(line, SaturateInt32(x), SaturateInt32(y));
        }
        y += line.LineHeight();
    }
}

}  // namespace marlowen
