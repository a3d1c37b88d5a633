#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "PngSource.h"
#include "PngWriter.h"
#include "core/Exception.h"
#include "skin/Bitmap32.h"
#include "storage/FileIo.h"

namespace marlowen::fstool {
namespace {

namespace fs = std::filesystem;

// 3 x 2 pixels in a buffer 4 pixels wide: opaque colours, a half-transparent and a clear pixel;
// the fourth column lies outside the image and must not be written.
const std::vector<uint32_t> kPixels = {
    0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xDEADBEEF,  //
    0x80123456, 0x00ABCDEF, 0xFFFFFFFF, 0xDEADBEEF,
};

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

class PngWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() /
                 ("png-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    // Writes the pixels and reads them back through the pack builder's reader.
    void RoundTrip(TPngChannels channels, TBitmap32& bitmap) {
        const std::string path = (Folder / "image.png").string();
        SavePngFile(path, kPixels.data(), 3, 2, 4, channels);
        LoadPngSource(path, bitmap);
    }

    fs::path Folder;
};

TEST_F(PngWriterTest, HeaderNamesSizeAndColourType) {
    const std::vector<uint8_t> rgb = EncodePng(kPixels.data(), 3, 2, 4, TPngChannels::Rgb);
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(rgb.size(), 33u);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 8), signature);
    EXPECT_EQ(std::string(rgb.begin() + 12, rgb.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian32(rgb, 16), 3u);
    EXPECT_EQ(BigEndian32(rgb, 20), 2u);
    EXPECT_EQ(rgb[24], 8);  // bits per channel
    EXPECT_EQ(rgb[25], 2);  // RGB
    EXPECT_EQ(EncodePng(kPixels.data(), 3, 2, 4, TPngChannels::Rgba)[25], 6);  // RGBA
    EXPECT_EQ(EncodePng(kPixels.data(), 3, 2, 4, TPngChannels::Rgb), rgb) << "the same pixels give the same bytes";
}

TEST_F(PngWriterTest, RgbaKeepsEveryChannelExactly) {
    TBitmap32 bitmap;
    RoundTrip(TPngChannels::Rgba, bitmap);
    ASSERT_EQ(bitmap.Width(), 3);
    ASSERT_EQ(bitmap.Height(), 2);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(bitmap.Row(y)[x], kPixels[y * 4 + x]) << x << "," << y;
    }
}

TEST_F(PngWriterTest, RgbDropsAlphaAndKeepsColour) {
    TBitmap32 bitmap;
    RoundTrip(TPngChannels::Rgb, bitmap);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(bitmap.Row(y)[x], 0xFF000000 | (kPixels[y * 4 + x] & 0xFFFFFF)) << x << "," << y;
        }
    }
}

TEST_F(PngWriterTest, RefusesEmptyImagesAndKeepsTheOldFile) {
    const std::string path = (Folder / "kept.png").string();
    SaveFileReplacing(path, "old", 3);
    EXPECT_THROW(SavePngFile(path, kPixels.data(), 0, 2, 4, TPngChannels::Rgb), Exception);
    EXPECT_THROW(SavePngFile(path, kPixels.data(), 3, 0, 4, TPngChannels::Rgb), Exception);
    EXPECT_THROW(SavePngFile(path, kPixels.data(), 3, 2, 2, TPngChannels::Rgb), Exception) << "stride below width";
    EXPECT_EQ(fs::file_size(path), 3u);
}

}  // namespace
}  // namespace marlowen::fstool
