#include "PngSource.h"

#include <png.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "core/Exception.h"
#include "skin/Bitmap32.h"
#include "storage/MemStream.h"

namespace marlowen::fstool {

namespace {

// Frees the decoder's state on every way out.
class TPngImage {
public:
    TPngImage() {
        std::memset(&Image, 0, sizeof Image);
        Image.version = PNG_IMAGE_VERSION;
    }
    ~TPngImage() { png_image_free(&Image); }
    TPngImage(const TPngImage&) = delete;
    TPngImage& operator=(const TPngImage&) = delete;

    png_image Image;
};

}  // namespace

void LoadPngSource(const std::string& path, TBitmap32& bitmap) {
    TMemStream file;
    try {
        file.LoadFromFile(path);
    } catch (const Exception& e) {
        throw Exception(path + ": cannot read the image (" + e.Message() + ")");
    }
    TPngImage png;
    if (!png_image_begin_read_from_memory(&png.Image, file.Memory(), static_cast<size_t>(file.Size()))) {
        throw Exception(path + ": not a PNG image (" + png.Image.message + ")");
    }
    // 8-bit sRGB with alpha comes out straight, in the bitmap's memory order B, G, R, A.
    png.Image.format = PNG_FORMAT_BGRA;
    if (uint64_t{png.Image.width} * png.Image.height * 4 > INT32_MAX) {
        throw Exception(path + ": the image is too large");
    }
    TBitmap32 image;
    image.SetSize(static_cast<int32_t>(png.Image.width), static_cast<int32_t>(png.Image.height));
    if (!png_image_finish_read(&png.Image, nullptr, image.Bits(), image.Stride(), nullptr)) {
        throw Exception(path + ": damaged PNG image (" + png.Image.message + ")");
    }
    bitmap.Assign(image);
}

}  // namespace marlowen::fstool
