#pragma once

#include <string>

namespace marlowen {
class TBitmap32;
}

// PNG images of the skin sources (native builds: libpng).
namespace marlowen::fstool {

// Reads the PNG file into the bitmap as 8-bit straight (not premultiplied) ARGB: images without
// alpha come out opaque, palettes and grey levels expanded, 16-bit channels reduced. Raises
// Exception naming the file when it is missing, unreadable or not a PNG image.
void LoadPngSource(const std::string& path, TBitmap32& bitmap);

}  // namespace marlowen::fstool
