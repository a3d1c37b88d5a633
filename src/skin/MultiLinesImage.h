#pragma once

#include <cstdint>
#include <string_view>

#include "core/ObjectList.h"
#include "skin/Styles.h"
#include "skin/TextImage.h"

namespace marlowen {

// The laid-out lines of a rich text. The text carries tags in angle brackets: "<br>" (any letter
// case) breaks the line; any other tag that names a style of the style list switches to that
// style's font, colour and alignment, each only where the style sets it; a tag naming no style
// (a closing tag, say) changes nothing. Runs of spaces collapse to one and leading spaces of a
// line are dropped; lines wrap at the last space that keeps them within the width limit (the
// breaking space is removed; a word wider than the limit keeps a line of its own); a change of
// alignment starts a new line. Each line's minimum height is the line height of the font current
// when it started; the last line of a justified paragraph ended by "<br>" is marked
// JustifyLastLine.
class TMultiLinesImage {
public:
    TMultiLinesImage();
    TMultiLinesImage(const TMultiLinesImage&) = delete;
    TMultiLinesImage& operator=(const TMultiLinesImage&) = delete;

    // Lays the text out anew, starting from the style "default" (EStyleNotFound without one).
    // The style list is borrowed and must outlive the call.
    void SetText(std::u16string_view text, int32_t widthLimit, const TStyleList& styles);

    int32_t LineCount() const { return Lines_.Count(); }
    const TTextImage& Line(int32_t index) const { return *Lines_.Items(index); }
    int32_t WidthLimit() const { return WidthLimit_; }
    // The sum of the lines' LineHeight.
    int32_t TotalHeight() const;

private:
    void NewLine();
    void AddTag(std::u16string_view name);
    void AddChar(char32_t ch);
    // Appends the current font's glyph of ch to the line; false when the font has none.
    bool AppendChar(TTextImage& line, char32_t ch);

    TObjectList<TTextImage> Lines_;
    const TStyleList* Styles_ = nullptr;
    TTextImage* Line_ = nullptr;
    TStyleItem Style_;
    int32_t WidthLimit_ = 0;
    TTextAlignment PrevAlignment_ = TTextAlignment::Left;
    int32_t LastSpace_ = -1;  // index of the last breakable space of the current line
};

}  // namespace marlowen
