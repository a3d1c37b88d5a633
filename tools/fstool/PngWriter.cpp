#include "PngWriter.h"

#include <png.h>

#include <cstring>

#include "core/Exception.h"
#include "storage/FileIo.h"

namespace marlowen::fstool {

namespace {

constexpr int32_t kMaxSide = 65535;

// Frees the encoder's state on every way out.
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

// The pixels as bytes in the order R, G, B (, A), rows packed; the byte order of the 32-bit
// values in memory does not matter.
std::vector<uint8_t> ChannelBytes(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                                  size_t channelCount) {
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * channelCount);
    uint8_t* out = bytes.data();
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t argb = row[x];
            *out++ = static_cast<uint8_t>(argb >> 16);
            *out++ = static_cast<uint8_t>(argb >> 8);
            *out++ = static_cast<uint8_t>(argb);
            if (channelCount == 4) *out++ = static_cast<uint8_t>(argb >> 24);
        }
    }
    return bytes;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                               TPngChannels channels) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || stride < width) {
        throw Exception("PNG: cannot write an image of " + std::to_string(width) + "x" + std::to_string(height) +
                        " pixels");
    }
    const size_t channelCount = channels == TPngChannels::Rgba ? 4 : 3;
    const std::vector<uint8_t> bytes = ChannelBytes(pixels, width, height, stride, channelCount);

    TPngImage png;
    png.Image.width = static_cast<png_uint_32>(width);
    png.Image.height = static_cast<png_uint_32>(height);
    png.Image.format = channels == TPngChannels::Rgba ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // The first call measures, the second writes into a buffer of that size.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png.Image, nullptr, &size, 0, bytes.data(), 0, nullptr)) {
        throw Exception(std::string("PNG: ") + png.Image.message);
    }
    std::vector<uint8_t> file(size);
    if (!png_image_write_to_memory(&png.Image, file.data(), &size, 0, bytes.data(), 0, nullptr)) {
        throw Exception(std::string("PNG: ") + png.Image.message);
    }
    file.resize(size);
    return file;
}

void SavePngFile(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                 TPngChannels channels) {
    const std::vector<uint8_t> file = EncodePng(pixels, width, height, stride, channels);
    SaveFileReplacing(path, file.data(), file.size());
}

}  // namespace marlowen::fstool
