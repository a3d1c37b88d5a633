#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marlowen {

class TPaintContext;
class TTextImage;

// Access keys: a letter or digit that, typed with Alt, acts on a control as a press would. Keys
// match without regard to letter case, Latin and Cyrillic alike.

// The character with its letter case folded (to lower case); others stay themselves.
constexpr char32_t FoldAccessKey(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;  // Ѐ..Џ, Ё among them
    return c;
}

// The key as a person reads it ("Alt+N"), from the key as the skin gives it; empty for none (0).
std::u16string AccessKeyShortcut(char32_t key);

// The glyph of the run where the key first shows, letter case ignored; -1 where it does not or
// for no key (0).
int32_t AccessKeyGlyph(const TTextImage& text, char32_t key);

// The key's cue: a one-pixel line in the glyph's colour just below the baseline, under the glyph
// of the run drawn at (x, y) where the key first shows; nothing where it does not.
void DrawAccessKeyCue(const TPaintContext& paint, const TTextImage& text, int32_t x, int32_t y, char32_t key);

}  // namespace marlowen
