#pragma once

#include <cstdint>
#include <string>
#include <vector>

// PNG images written by the tool (native builds: libpng).
namespace marlowen::fstool {

// What a written image keeps of the 32-bit ARGB pixels: the colour only (a window shows no
// alpha), or the colour with its straight alpha.
enum class TPngChannels : uint8_t { Rgb, Rgba };

// The PNG file image of width x height ARGB pixels whose rows lie `stride` pixels apart, top row
// first: 8 bits per channel, no interlacing, no ancillary chunks besides what libpng writes for
// sRGB. The same pixels always give the same bytes. Raises Exception for an empty or oversized
// image and when the encoder fails.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                               TPngChannels channels);

// Encodes the pixels and writes them to the file; the file is only replaced once the whole image
// was encoded and written.
void SavePngFile(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                 TPngChannels channels);

}  // namespace marlowen::fstool
