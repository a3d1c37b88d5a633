#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/headless/HeadlessSystemColors.h"
#include "skin/Bitmap32.h"
#include "skin/Image8.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {
namespace {

void Fill(TBitmap32& bitmap, int32_t w, int32_t h, const std::vector<uint32_t>& pixels) {
    bitmap.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) bitmap.Row(y)[x] = pixels[static_cast<size_t>(y * w + x)];
}

std::vector<uint32_t> Pixels(const TBitmap32& bitmap) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Row(y)[x]);
    return pixels;
}

TEST(Bitmap32, ZeroSideKeepsStorageAndHidesEveryPixel) {
    TBitmap32 bitmap;
    bitmap.SetSize(5, 5);
    uint32_t* bits = bitmap.Bits();
    bitmap.FillRect({0, 0, 4, 4}, 0xFF102030);

    bitmap.SetSize(0, 10);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 10);
    EXPECT_EQ(bitmap.Bits(), bits);
    bitmap.FillRect({0, 0, 9, 9}, 0);
    bitmap.GradientRect(0, 0, 10, 10, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000);
    EXPECT_TRUE(bitmap.RegionFromAlpha().empty());
    EXPECT_EQ(bits[24], 0xFF102030u);

    bitmap.SetSize(-3, 4);  // a negative side counts as 0
    EXPECT_EQ(bitmap.Width(), 0);
    bitmap.SetSize(3, 2);
    EXPECT_EQ(Pixels(bitmap), std::vector<uint32_t>(6, 0));

    EXPECT_THROW(bitmap.SetSize(65536, 65536), EBitmapException);
    EXPECT_EQ(bitmap.Width(), 3);
}

TEST(Bitmap32, PackRoundTripAndStoredLayout) {
    TBitmap32 bitmap;
    Fill(bitmap, 2, 2, {0x80FF0000, 0x01020304, 0xFFFFFFFF, 0x00000000});
    TMemStream stream;
    bitmap.SaveToPack(stream);
    const uint8_t rows[] = {0, 0, 255, 128, 4, 3, 2, 1, 255, 255, 255, 255, 0, 0, 0, 0};
    ASSERT_GE(stream.Size(), 16);
    EXPECT_EQ(std::memcmp(stream.Memory() + stream.Size() - 16, rows, 16), 0);

    stream.SetPosition(0);
    TBitmap32 loaded;
    loaded.LoadFromPack(stream);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(loaded.Width(), 2);
    EXPECT_EQ(Pixels(loaded), Pixels(bitmap));

    TMemStream empty;  // a zero side: no pixel data follows
    empty.WriteInteger(0);
    empty.WriteInteger(7);
    empty.SetPosition(0);
    loaded.LoadFromPack(empty);
    EXPECT_TRUE(empty.AtEnd());
    EXPECT_EQ(loaded.Width(), 0);
    EXPECT_EQ(loaded.Height(), 7);
}

TEST(Bitmap32, HostileStoredSizesRaiseBeforeAllocating) {
    struct TCase {
        int32_t W, H, Bytes;
        bool Overrun;
    } cases[] = {
        {INT32_MAX, INT32_MAX, 64, true},  // would overflow 32 bits and exhaust memory
        {0x40000000, 4, 64, true},         // W * 4 overflows 32 bits
        {2, 2, 15, true},                  // one byte short
        {-1, 1, 4, false},
        {1, -5, 4, false},
    };
    for (const TCase& c : cases) {
        TMemStream stream;
        stream.WriteInteger(c.W);
        stream.WriteInteger(c.H);
        stream.WriteBuffer(std::vector<uint8_t>(static_cast<size_t>(c.Bytes), 0xAB).data(), c.Bytes);
        stream.SetPosition(0);
        TBitmap32 bitmap;
        bitmap.SetSize(1, 1);
        bitmap.Row(0)[0] = 0x12345678;
        try {
            bitmap.LoadFromPack(stream);
            ADD_FAILURE() << c.W << "x" << c.H;
        } catch (const EStreamException& e) {
            const std::string expected = c.Overrun ? EStreamException::ReadOverrun("TMemStream").Message()
                                                   : EStreamException::UnexpectedDataType("TMemStream").Message();
            EXPECT_EQ(e.Message(), expected) << c.W << "x" << c.H;
        }
        EXPECT_EQ(bitmap.Width(), 1);
        EXPECT_EQ(bitmap.Row(0)[0], 0x12345678u);

        stream.SetPosition(0);  // a mask needs a quarter of the bytes
        TImage8 mask;
        if (c.W < 0 || c.H < 0 || int64_t{c.W} * c.H > c.Bytes) {
            EXPECT_THROW(mask.LoadFromPack(stream), EStreamException);
            EXPECT_EQ(mask.Width(), 0);
        } else {
            mask.LoadFromPack(stream);
            EXPECT_EQ(mask.Row(c.H - 1)[c.W - 1], 0xAB);
        }
    }
}

TEST(Image8, PackRoundTrip) {
    TImage8 mask, loaded;
    mask.SetSize(3, 2);
    for (int i = 0; i < 6; ++i) mask.Bits()[i] = static_cast<uint8_t>(i * 50);
    TMemStream stream;
    mask.SaveToPack(stream);
    stream.SetPosition(0);
    loaded.LoadFromPack(stream);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(std::vector<uint8_t>(loaded.Bits(), loaded.Bits() + 6), (std::vector<uint8_t>{0, 50, 100, 150, 200, 250}));
}

TEST(Bitmap32, TransformModes) {
    // a b c
    // d e f
    TBitmap32 source;
    Fill(source, 3, 2, {0xA, 0xB, 0xC, 0xD, 0xE, 0xF});
    TBitmap32 result;
    result.AssignTransformed(source, 0);
    EXPECT_EQ(Pixels(result), (std::vector<uint32_t>{0xA, 0xB, 0xC, 0xD, 0xE, 0xF}));
    result.AssignTransformed(source, 1);
    EXPECT_EQ(Pixels(result), (std::vector<uint32_t>{0xC, 0xB, 0xA, 0xF, 0xE, 0xD}));
    result.AssignTransformed(source, 2);
    EXPECT_EQ(Pixels(result), (std::vector<uint32_t>{0xD, 0xE, 0xF, 0xA, 0xB, 0xC}));
    result.AssignTransformed(source, 3);
    ASSERT_EQ(result.Width(), 2);
    ASSERT_EQ(result.Height(), 3);
    EXPECT_EQ(Pixels(result), (std::vector<uint32_t>{0xC, 0xF, 0xB, 0xE, 0xA, 0xD}));
    EXPECT_EQ(result.Row(2)[0], source.Row(0)[0]);  // bottom-left is the source's top-left
    result.AssignTransformed(source, 4);
    EXPECT_EQ(result.Width(), 2);

    source.Transform(3);  // in place
    EXPECT_EQ(Pixels(source), Pixels(result));
    source.Transform(-1);
    EXPECT_EQ(Pixels(source), Pixels(result));
}

TEST(Bitmap32, PerPixelOperations) {
    TBitmap32 bitmap;
    bitmap.SetSize(3, 1);
    bitmap.FillRect({-5, -5, 1, 9}, 0x00ABCDEF);  // clipped; alpha 0 stored as given
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0x00ABCDEF, 0x00ABCDEF, 0}));

    Fill(bitmap, 3, 1, {0xFF000000, 0x00000000, 0x80204060});
    bitmap.BlendRect({0, 0, 2, 0}, 0x80FF0000);
    // Opaque: red (127*0 + 128*255) div 255; transparent: the colour; d = 128: n = 192,
    // red (64*32 + 128*255) div 192 = 180, green 64*64 div 192 = 21, blue 64*96 div 192 = 32.
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFF800000, 0x80FF0000, 0xC0B41520}));
    bitmap.BlendRect({0, 0, 2, 0}, 0x00FFFFFF);
    EXPECT_EQ(bitmap.Row(0)[0], 0xFF800000u);
    bitmap.BlendRect({1, 0, 1, 0}, 0xFF123456);
    EXPECT_EQ(bitmap.Row(0)[1], 0xFF123456u);

    Fill(bitmap, 3, 1, {0xFFC86432, 0x80FF0000, 0x01FFFFFF});
    bitmap.Brighten({0, 0, 2, 0}, 192);
    EXPECT_EQ(bitmap.Row(0)[0], 0xFFFF964Bu);  // 200 -> 255, 100 -> 150, 50 -> 75
    bitmap.Brighten({0, 0, 2, 0}, 128);
    EXPECT_EQ(bitmap.Row(0)[0], 0xFFFF964Bu);
    bitmap.Brighten({0, 0, 0, 0}, -7);  // counts as 0
    EXPECT_EQ(bitmap.Row(0)[0], 0xFF000000u);

    bitmap.Grayscale({1, 0, 1, 0});
    EXPECT_EQ(bitmap.Row(0)[1], 0x804C4C4Cu);  // 255 * 77 >> 8 = 76

    bitmap.SetAlpha({1, 0, 2, 0}, 0x40);
    EXPECT_EQ(bitmap.Row(0)[2], 0x40FFFFFFu);
    Fill(bitmap, 3, 1, {0xFF000000, 0x80000000, 0x01000000});
    bitmap.ScaleAlpha({0, 0, 2, 0}, 128);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0x7F000000, 0x40000000, 0}));
    bitmap.ScaleAlpha({0, 0, 2, 0}, 1000);  // held within 0..255
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFF000000, 0xFA000000, 0}));
    bitmap.ScaleAlpha({0, 0, 2, 0}, -1);
    EXPECT_EQ(Pixels(bitmap), std::vector<uint32_t>(3, 0));
}

// The gradient by its plain formula, one division per channel and pixel.
uint32_t GradientReference(int64_t h, int64_t v, int64_t w, int64_t ht, const uint32_t corners[4], uint32_t dst) {
    const int64_t dh = w > 1 ? w - 1 : 1, dv = ht > 1 ? ht - 1 : 1;
    uint32_t c[4];
    for (int ch = 0; ch < 4; ++ch) {
        const auto at = [&](int i) { return static_cast<int64_t>((corners[i] >> (8 * ch)) & 0xFF); };
        const int64_t left = at(0) + v * (at(2) - at(0)) / dv, right = at(1) + v * (at(3) - at(1)) / dv;
        c[ch] = static_cast<uint32_t>(left + h * (right - left) / dh);
    }
    const uint32_t a = c[3], d = dst >> 24, n = a + d - a * d / 255;
    if (n == 0) return dst;
    uint32_t out = n << 24;
    for (int ch = 0; ch < 3; ++ch)
        out |= ((n - a) * ((dst >> (8 * ch)) & 0xFF) + a * c[ch]) / n << (8 * ch);
    return out;
}

TEST(Bitmap32, GradientMatchesThePlainFormulaWhenClipped) {
    const uint32_t corners[4] = {0xFF00FF10, 0x20FF0080, 0x00102030, 0xC0FFFFFF};
    const struct {
        int32_t X, Y, W, H;
    } areas[] = {{-7, -3, 29, 17}, {2, 1, 1, 1}, {0, 0, 40, 1}, {3, -100, 1, 120}, {-1000, 5, 3000, 3}};
    for (const auto& area : areas) {
        TBitmap32 bitmap;
        bitmap.SetSize(23, 13);
        for (int32_t y = 0; y < 13; ++y)
            for (int32_t x = 0; x < 23; ++x) bitmap.Row(y)[x] = static_cast<uint32_t>(x * 11 + y * 20) << 24 | 0x336699;
        TBitmap32 before;
        before.Assign(bitmap);
        bitmap.GradientRect(area.X, area.Y, area.W, area.H, corners[0], corners[1], corners[2], corners[3]);
        for (int32_t y = 0; y < 13; ++y) {
            for (int32_t x = 0; x < 23; ++x) {
                const bool inside = x >= area.X && x < area.X + area.W && y >= area.Y && y < area.Y + area.H;
                const uint32_t expected = inside ? GradientReference(x - area.X, y - area.Y, area.W, area.H, corners,
                                                                     before.Row(y)[x])
                                                 : before.Row(y)[x];
                ASSERT_EQ(bitmap.Row(y)[x], expected) << x << "," << y << " in " << area.X << "," << area.Y;
            }
        }
    }
}

TEST(Bitmap32, DottedFrameDrawsEvenOutlinePixelsOfVisibleEdges) {
    TBitmap32 bitmap;
    bitmap.SetSize(5, 4);
    bitmap.DottedFrame({0, 0, 3, 2}, 0x00FFFFFF);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0x00FFFFFF, 0, 0x00FFFFFF, 0, 0,  //
                                                     0, 0, 0, 0x00FFFFFF, 0,           //
                                                     0x00FFFFFF, 0, 0x00FFFFFF, 0, 0,  //
                                                     0, 0, 0, 0, 0}));
    // Left and top edges lie outside: only the right column and bottom row, parity from (-1, -1).
    bitmap.SetSize(3, 3);
    bitmap.FillRect({0, 0, 2, 2}, 0);
    bitmap.DottedFrame({-1, -1, 2, 2}, 7);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0, 0, 7, 0, 0, 0, 7, 0, 7}));
    bitmap.DottedFrame({2, 2, 1, 1}, 9);  // empty rectangle
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0, 0, 7, 0, 0, 0, 7, 0, 7}));
}

TEST(Bitmap32, RegionFromAlphaGivesOneRowRuns) {
    TBitmap32 bitmap;
    Fill(bitmap, 5, 2, {0x01000000, 0xFF000000, 0, 0x80000000, 0x10000000,  //
                        0, 0, 0, 0, 0x00FFFFFF});
    const std::vector<TRect> region = bitmap.RegionFromAlpha();
    EXPECT_EQ(region, (std::vector<TRect>{{0, 0, 2, 1}, {3, 0, 5, 1}}));
    bitmap.SetAlpha({0, 0, 4, 1}, 0);
    EXPECT_TRUE(bitmap.RegionFromAlpha().empty());
}

TEST(Bitmap32, ColorToARGB) {
    THeadlessSystemColors system;
    system.SetSystemColor(15, 0x00332211);
    EXPECT_EQ(ColorToARGB(0x00563412, system), 0xFF123456u);
    EXPECT_EQ(ColorToARGB(0x8000000F, system), 0xFF112233u);  // system colour 15
    EXPECT_EQ(ColorToARGB(0xFF0000FF, system), 0xFF000000u);  // unknown index: black
}

TEST(Geometry, IntersectRectIsExclusive) {
    TRect r{0, 0, 10, 10};
    EXPECT_TRUE(IntersectRect(r, {5, -5, 20, 6}));
    EXPECT_EQ(r, (TRect{5, 0, 10, 6}));
    EXPECT_FALSE(IntersectRect(r, {10, 0, 20, 6}));  // touching edges do not overlap
    EXPECT_EQ(r, (TRect{10, 0, 10, 6}));
    TRect empty{3, 3, 3, 9};
    EXPECT_FALSE(IntersectRect(empty, {0, 0, 10, 10}));
    EXPECT_EQ(empty, (TRect{3, 3, 3, 9}));
}

}  // namespace
}  // namespace marlowen
