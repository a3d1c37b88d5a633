#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/DisplayScale.h"

// Font sources of the skins: a ".font" description names a scalable font file, a pixel size and
// the characters to carry; BuildFontItemBody rasterises it (with FreeType, native builds only)
// into the body of a ".fnt" pack item, exactly what TFontImages::Load reads.
//
// The description is UTF-8 text, one setting per line, "name = value"; blank lines and lines
// starting with "#" are ignored; names are matched ignoring letter case:
//
//   file = DejaVuSans.ttf         the font file; a relative path is taken relative to the
//                                 description's folder (required, once)
//   size = 13                     pixels per em, 1 to 256 (required, once)
//   characters = ascii cyrillic   what to carry, any number of words; the line may repeat:
//                                   ascii     U+0020 to U+007E
//                                   latin1    U+00A0 to U+00FF
//                                   cyrillic  U+0401, U+0410 to U+044F, U+0451
//                                   U+XXXX or U+XXXX-U+YYYY   one code point or a range
//                                   "text"    every character of the quoted text
//   hinting = light               FreeType's hinting: normal, light (the default) or none
//   scales = 150% 200%            display scales above 100 % to render the font for as well
//                                 ("1.5x" works too); the line may repeat
//
// The font always carries the space and "?", and only characters of the 16-bit range. Glyphs are
// anti-aliased 8-bit masks. The line metrics are the face's ascender and descender in whole
// pixels (rounded up) and what its line spacing adds to them; every mask spans at least the line
// (its top is the font's ascent), so that all runs of one font share their baseline. A file that
// cannot be read, a face without a glyph for a wanted character and a malformed line raise an
// Exception naming the file, the character or the line.
namespace marlowen::fstool {

// Only native builds rasterise (FreeType); callers test MARLOWEN_FSTOOL_HAS_FONTS.
#ifndef _WIN32
#define MARLOWEN_FSTOOL_HAS_FONTS 1
// The ".fnt" item body of the description file at descriptionPath, rasterised at its size times
// the scale (FreeType's own rendering at that size, not a resampled 100 % font).
std::vector<uint8_t> BuildFontItemBody(const std::string& descriptionPath, const TDisplayScale& scale = {});
// The scales the description asks for besides 100 %, smallest first.
std::vector<TDisplayScale> FontSourceScales(const std::string& descriptionPath);
#endif

}  // namespace marlowen::fstool
