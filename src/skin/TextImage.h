#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/Styles.h"

namespace marlowen {

class TFontImages;
class TTextSymbol;

// The character at text[pos] (a surrogate pair as one code point, an unpaired surrogate as
// itself); pos moves past it.
inline char32_t NextChar(std::u16string_view text, size_t& pos) {
    const char32_t c = text[pos++];
    if (c >= 0xD800 && c <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
        return 0x10000 + ((c - 0xD800) << 10) + (text[pos++] - 0xDC00);
    }
    return c;
}

// What Measure reports of a run.
struct TTextMetrics {
    int32_t AdvanceSum = 0;  // the sum of the advances
    int32_t Ascent = 0;      // the largest top: the baseline lies this far below the run's top
    int32_t Height = 0;      // max(largest top + largest descent, largest height)
    int32_t Width = 0;       // the advance sum plus the overhang of the last glyph
};

// One run of text: references to glyphs owned by fonts, each with its own colour. OnChange
// follows every change of the glyphs (Add, AddText, AddWideText, InsertText, Delete) unless held
// back between BeginUpdate and EndUpdate; Clear and SetColours fire nothing.
//
// 8-bit text is UTF-8 and is taken per character, not per byte.
class TTextImage {
public:
    TTextImage() = default;
    TTextImage(const TTextImage&) = delete;
    TTextImage& operator=(const TTextImage&) = delete;

    std::function<void(TTextImage&)> OnChange;

    int32_t MinLineHeight() const { return MinLineHeight_; }
    void SetMinLineHeight(int32_t height) { MinLineHeight_ = height; }
    // Used by multi-line layout.
    TTextAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TTextAlignment alignment) { Alignment_ = alignment; }

    int32_t Count() const { return static_cast<int32_t>(Glyphs_.size()); }
    // 0 <= index < Count, or Exception "TTextImage: Выход индекса за пределы строки."
    const TTextSymbol* Symbol(int32_t index) const;
    uint32_t Colour(int32_t index) const;

    void BeginUpdate() { ++UpdateCount_; }
    // Fires OnChange when the count returns to 0; an unpaired call does nothing.
    void EndUpdate();

    // Empties the run.
    void Clear() { Glyphs_.clear(); }
    // A null symbol is ignored.
    void Add(const TTextSymbol* symbol, uint32_t colour);
    // Appends the font's glyph of each character; characters without one are skipped.
    void AddText(std::string_view text, const TFontImages& font, uint32_t colour);
    void AddWideText(std::u16string_view text, const TFontImages& font, uint32_t colour);
    // Inserts one glyph per character at index (a negative index counts as 0), the font's "?"
    // for a character it lacks; at or past the end it appends like AddText instead.
    void InsertText(int32_t index, std::string_view text, uint32_t colour, const TFontImages& font);
    // Removes the glyphs from index to index + count - 1, clipped to the run.
    void Delete(int32_t index, int32_t count);
    // Recolours a range, clipped to the run.
    void SetColours(int32_t index, int32_t count, uint32_t colour);

    // The sum of the advances of a range clipped to the run (0 when empty).
    int32_t AdvanceOf(int32_t index, int32_t count) const;
    TTextMetrics Measure() const;
    int32_t Width() const { return Measure().Width; }
    // The larger of the minimum line height and the measured height.
    int32_t LineHeight() const;

    // The glyphs' texts concatenated; TextRange of a range clipped to the run.
    std::u16string Text() const;
    std::u16string TextRange(int32_t index, int32_t count) const;

private:
    struct TGlyph {
        const TTextSymbol* Symbol;
        uint32_t Colour;
    };

    // The clipped range [first, last) of (index, count).
    void ClipRange(int32_t index, int32_t count, size_t& first, size_t& last) const;
    void Changed();
    // Runs change with OnChange held back, then fires it once.
    template <class F>
    void Batch(F&& change);

    int32_t MinLineHeight_ = 0;
    TTextAlignment Alignment_ = TTextAlignment::Left;
    std::vector<TGlyph> Glyphs_;
    int32_t UpdateCount_ = 0;
};

}  // namespace marlowen
