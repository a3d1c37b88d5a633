#include "skin/MultiLinesImage.h"

#include <algorithm>
#include <memory>

#include "core/Utf.h"
#include "skin/FontImages.h"

namespace marlowen {

namespace {
constexpr char32_t kLineBreak = 13;

bool IsBreakTag(std::u16string_view name) {
    return name.size() == 2 && (name[0] | 0x20) == u'b' && (name[1] | 0x20) == u'r';
}
}  // namespace

TMultiLinesImage::TMultiLinesImage() : Style_("") {}

int32_t TMultiLinesImage::TotalHeight() const {
    int64_t total = 0;
    for (const TTextImage* line : Lines_) total += line->LineHeight();
    return SaturateInt32(total);
}

void TMultiLinesImage::SetText(std::u16string_view text, int32_t widthLimit, const TStyleList& styles) {
    Style_.AssignStyle(styles.Default());
    LastSpace_ = -1;
    Lines_.Clear();
    Line_ = nullptr;
    WidthLimit_ = widthLimit;
    Styles_ = &styles;
    NewLine();
    for (size_t pos = 0; pos < text.size();) {
        if (text[pos] == u'<') {
            const size_t end = std::min(text.find(u'>', pos + 1), text.size());
            AddTag(text.substr(pos + 1, end - pos - 1));
            pos = end + 1;
        } else {
            AddChar(NextChar(text, pos));
        }
    }
}

void TMultiLinesImage::NewLine() {
    auto line = std::make_unique<TTextImage>();
    line->SetMinLineHeight(Style_.Font() != nullptr ? Style_.Font()->LineHeight() : 0);
    line->SetAlignment(Style_.Alignment());
    Line_ = Lines_.Add(std::move(line));
}

void TMultiLinesImage::AddTag(std::u16string_view name) {
    if (IsBreakTag(name)) {
        AddChar(kLineBreak);
        return;
    }
    const TStyleItem* style = Styles_->Find(Utf16ToUtf8(name));
    if (style == nullptr) return;
    if (style->Font() != nullptr) Style_.SetFont(style->Font());
    if (style->HasColor()) Style_.SetColor(style->Color());
    if (style->HasAlignment()) Style_.SetAlignment(style->Alignment());
}

bool TMultiLinesImage::AppendChar(TTextImage& line, char32_t ch) {
    const TTextSymbol* symbol = Style_.Font() != nullptr ? Style_.Font()->SymbolByChar(ch) : nullptr;
    if (symbol == nullptr) return false;
    line.Add(symbol, Style_.Color());
    return true;
}

void TMultiLinesImage::AddChar(char32_t ch) {
    // Runs of spaces collapse, and a line starts with its first non-space.
    if (ch == u' ' && Line_->Count() == LastSpace_ + 1) return;

    const TTextAlignment alignment = Style_.Alignment();
    if (alignment == PrevAlignment_ || Line_->Count() == 0) {
        Line_->SetAlignment(alignment);
    } else {
        NewLine();
        LastSpace_ = -1;
    }

    if (ch == kLineBreak) {
        if (Line_->Alignment() == TTextAlignment::Justify) Line_->SetAlignment(TTextAlignment::JustifyLastLine);
        NewLine();
        LastSpace_ = -1;
        return;
    }

    const TTextSymbol* symbol = Style_.Font() != nullptr ? Style_.Font()->SymbolByChar(ch) : nullptr;
    const int64_t advance = symbol != nullptr ? symbol->Advance() : 0;
    if (WidthLimit_ >= Line_->Width() + advance || LastSpace_ == -1) {
        if (AppendChar(*Line_, ch) && ch == u' ') LastSpace_ = Line_->Count() - 1;
    } else {
        // Wrap: the word after the last space moves to a new line, and the space goes.
        TTextImage& old = *Line_;
        NewLine();
        for (int32_t i = LastSpace_ + 1; i < old.Count(); ++i) Line_->Add(old.Symbol(i), old.Colour(i));
        const bool added = AppendChar(*Line_, ch);
        old.Delete(LastSpace_, old.Count() - LastSpace_);
        // A space that arrives at the wrap stays breakable, so the next word can still wrap.
        LastSpace_ = added && ch == u' ' ? Line_->Count() - 1 : -1;
    }
    PrevAlignment_ = alignment;
}

}  // namespace marlowen
