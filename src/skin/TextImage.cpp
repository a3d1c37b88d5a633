#include "skin/TextImage.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/Utf.h"
#include "skin/FontImages.h"

namespace marlowen {

namespace {
[[noreturn]] void IndexError() { throw Exception("TTextImage: Выход индекса за пределы строки."); }
}  // namespace

const TTextSymbol* TTextImage::Symbol(int32_t index) const {
    if (index < 0 || index >= Count()) IndexError();
    return Glyphs_[static_cast<size_t>(index)].Symbol;
}

uint32_t TTextImage::Colour(int32_t index) const {
    if (index < 0 || index >= Count()) IndexError();
    return Glyphs_[static_cast<size_t>(index)].Colour;
}

void TTextImage::EndUpdate() {
    if (UpdateCount_ <= 0) return;
    if (--UpdateCount_ == 0 && OnChange) OnChange(*this);
}

void TTextImage::Changed() {
    if (UpdateCount_ == 0 && OnChange) OnChange(*this);
}

template <class F>
void TTextImage::Batch(F&& change) {
    ++UpdateCount_;
    try {
        change();
    } catch (...) {
        --UpdateCount_;
        throw;
    }
    EndUpdate();
}

void TTextImage::Add(const TTextSymbol* symbol, uint32_t colour) {
    if (symbol == nullptr) return;
    Glyphs_.push_back({symbol, colour});
    Changed();
}

void TTextImage::AddText(std::string_view text, const TFontImages& font, uint32_t colour) {
    AddWideText(Utf8ToUtf16(text), font, colour);
}

void TTextImage::AddWideText(std::u16string_view text, const TFontImages& font, uint32_t colour) {
    Batch([&] {
        for (size_t pos = 0; pos < text.size();) {
            if (const TTextSymbol* symbol = font.SymbolByChar(NextChar(text, pos))) Add(symbol, colour);
        }
    });
}

void TTextImage::InsertText(int32_t index, std::string_view text, uint32_t colour, const TFontImages& font) {
    index = std::max(index, 0);
    if (index >= Count()) {
        AddText(text, font, colour);
        return;
    }
    const std::u16string wide = Utf8ToUtf16(text);
    const TTextSymbol* unknown = font.SymbolByChar(u'?');
    std::vector<TGlyph> inserted;
    for (size_t pos = 0; pos < wide.size();) {
        const TTextSymbol* symbol = font.SymbolByChar(NextChar(wide, pos));
        if (symbol == nullptr) symbol = unknown;  // a font without "?" skips the character instead
        if (symbol != nullptr) inserted.push_back({symbol, colour});
    }
    Batch([&] { Glyphs_.insert(Glyphs_.begin() + index, inserted.begin(), inserted.end()); });
}

void TTextImage::ClipRange(int32_t index, int32_t count, size_t& first, size_t& last) const {
    // Both ends lie within [0, Count()]: a range starting past the end is empty at the end.
    const int64_t from = std::clamp<int64_t>(index, 0, Count());
    const int64_t to = std::min<int64_t>(int64_t{index} + std::max(count, 0), Count());
    first = static_cast<size_t>(from);
    last = static_cast<size_t>(std::max(from, to));
}

void TTextImage::Delete(int32_t index, int32_t count) {
    size_t first, last;
    ClipRange(index, count, first, last);
    Glyphs_.erase(Glyphs_.begin() + static_cast<ptrdiff_t>(first), Glyphs_.begin() + static_cast<ptrdiff_t>(last));
    Changed();
}

void TTextImage::SetColours(int32_t index, int32_t count, uint32_t colour) {
    size_t first, last;
    ClipRange(index, count, first, last);
    for (size_t i = first; i < last; ++i) Glyphs_[i].Colour = colour;
}

int32_t TTextImage::AdvanceOf(int32_t index, int32_t count) const {
    size_t first, last;
    ClipRange(index, count, first, last);
    int64_t sum = 0;
    for (size_t i = first; i < last; ++i) sum += Glyphs_[i].Symbol->Advance();
    return SaturateInt32(sum);
}

TTextMetrics TTextImage::Measure() const {
    int64_t advanceSum = 0;
    int32_t top = 0, descent = 0, height = 0;
    for (const TGlyph& glyph : Glyphs_) {
        advanceSum += glyph.Symbol->Advance();
        top = std::max(top, glyph.Symbol->Top());
        descent = std::max(descent, glyph.Symbol->Descent());
        height = std::max(height, glyph.Symbol->Height());
    }
    TTextMetrics m;
    m.AdvanceSum = SaturateInt32(advanceSum);
    m.Ascent = top;
    m.Height = std::max(SaturateInt32(int64_t{top} + descent), height);
    m.Width = Glyphs_.empty() ? 0 : SaturateInt32(advanceSum + Glyphs_.back().Symbol->Overhang());
    return m;
}

int32_t TTextImage::LineHeight() const { return std::max(MinLineHeight_, Measure().Height); }

std::u16string TTextImage::Text() const { return TextRange(0, Count()); }

std::u16string TTextImage::TextRange(int32_t index, int32_t count) const {
    size_t first, last;
    ClipRange(index, count, first, last);
    std::u16string text;
    for (size_t i = first; i < last; ++i) text += Glyphs_[i].Symbol->Text();
    return text;
}

}  // namespace marlowen
