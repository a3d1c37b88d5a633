#include "skin/AccessKey.h"

#include <string>

#include "skin/PaintContext.h"
#include "skin/TextImage.h"

namespace marlowen {

std::u16string AccessKeyShortcut(char32_t key) {
    if (key == 0) return {};
    char32_t upper = key;
    if ((key >= U'a' && key <= U'z') || (key >= 0x0430 && key <= 0x044F)) upper = key - 0x20;
    if (key >= 0x0450 && key <= 0x045F) upper = key - 0x50;
    std::u16string text = u"Alt+";
    if (upper > 0xFFFF) {
        text += static_cast<char16_t>(0xD800 + ((upper - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((upper - 0x10000) & 0x3FF));
    } else {
        text += static_cast<char16_t>(upper);
    }
    return text;
}

int32_t AccessKeyGlyph(const TTextImage& text, char32_t key) {
    if (key == 0) return -1;
    const char32_t folded = FoldAccessKey(key);
    const std::u16string chars = text.Text();
    size_t at = 0;
    for (int32_t glyph = 0; at < chars.size(); ++glyph) {
        if (FoldAccessKey(NextChar(chars, at)) == folded) return glyph;
    }
    return -1;
}

void DrawAccessKeyCue(const TPaintContext& paint, const TTextImage& text, int32_t x, int32_t y, char32_t key) {
    const int32_t glyph = AccessKeyGlyph(text, key);
    if (glyph < 0 || glyph >= text.Count()) return;
    const int32_t left = x + text.AdvanceOf(0, glyph);
    const int32_t width = text.AdvanceOf(glyph, 1);
    const int32_t line = y + text.Measure().Ascent + 1;
    paint.FillRect({left, line, left + width, line + 1}, text.Colour(glyph));
}

}  // namespace marlowen
