#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Exception.h"
#include "skin/Bitmap32.h"
#include "skin/BoxFilter.h"
#include "skin/DisplayScale.h"
#include "skin/Image8.h"
#include "skin/PaintContext.h"

namespace marlowen {
namespace {

const int32_t kProductPercents[] = {100, 125, 150, 175, 200, 250, 300};

TEST(DisplayScale, ReadsPercentagesAndFactorsAndRefusesTheRest) {
    EXPECT_EQ(TDisplayScale::Parse("150%"), TDisplayScale::FromPercent(150));
    EXPECT_EQ(TDisplayScale::Parse("150"), TDisplayScale::FromPercent(150));
    EXPECT_EQ(TDisplayScale::Parse("1.5x"), TDisplayScale::FromPercent(150));
    EXPECT_EQ(TDisplayScale::Parse("1.25X"), TDisplayScale::FromPercent(125));
    EXPECT_EQ(TDisplayScale::Parse("2x"), TDisplayScale::FromPercent(200));
    EXPECT_EQ(TDisplayScale::Parse("4.00x"), TDisplayScale::FromPercent(400));
    const TDisplayScale s = TDisplayScale::Parse("175%");
    EXPECT_EQ(s.Num(), 7);
    EXPECT_EQ(s.Den(), 4);
    EXPECT_EQ(s.ToString(), "175%");
    EXPECT_TRUE(TDisplayScale().IsIdentity());
    for (const char* bad : {"", "%", "x", "99%", "401%", "0.5x", "1.333x", "1.5", "150 %", "-150%", "1e2", "abc",
                            "150%%", "1..5x", "99999999999999999999%"}) {
        EXPECT_THROW(TDisplayScale::Parse(bad), Exception) << bad;
    }
    EXPECT_THROW(TDisplayScale::FromPercent(99), Exception);
    EXPECT_THROW(TDisplayScale::FromPercent(401), Exception);
}

TEST(DisplayScale, UnitsAndPixelsMapBackAndForthAtEveryProductScale) {
    for (int32_t percent : kProductPercents) {
        const TDisplayScale s = TDisplayScale::FromPercent(percent);
        for (int64_t u = -700; u <= 700; ++u) {
            const int64_t exact = u * percent;
            // floor(u * percent / 100), also below zero
            const int64_t floor = exact >= 0 ? exact / 100 : -((-exact + 99) / 100);
            ASSERT_EQ(s.Device(u), floor) << percent << "% u=" << u;
            ASSERT_GT(s.Device(u + 1), s.Device(u)) << percent << "% u=" << u;
            ASSERT_EQ(s.Unit(s.Device(u)), u) << percent << "% u=" << u;
            for (int32_t d = s.Device(u); d < s.Device(u + 1); ++d) ASSERT_EQ(s.Unit(d), u) << percent << "% d=" << d;
        }
    }
    const TDisplayScale s150 = TDisplayScale::FromPercent(150);
    EXPECT_EQ(s150.Device(-1), -2);
    EXPECT_EQ(s150.Device(3), 4);
    EXPECT_EQ(s150.DeviceLength(1, 1), 2);
    EXPECT_EQ(s150.DeviceLength(2, 1), 1);
}

TEST(DisplayScale, RectanglesMapEdgeByEdgeAndExtremesSaturate) {
    const TDisplayScale s = TDisplayScale::FromPercent(150);
    EXPECT_EQ(s.DeviceRect({1, 1, 3, 4}), (TRect{1, 1, 4, 6}));
    // The units whose pixels a device rectangle touches: pixel 1..2 belong to unit 1, pixel 4 to unit 3.
    EXPECT_EQ(s.UnitRectCovering({1, 0, 5, 1}), (TRect{1, 0, 4, 1}));
    const TRect empty = s.UnitRectCovering({5, 5, 5, 9});
    EXPECT_TRUE(empty.Right <= empty.Left);
    const TDisplayScale s400 = TDisplayScale::FromPercent(400);
    EXPECT_EQ(s400.Device(INT32_MAX), INT32_MAX);
    EXPECT_EQ(s400.Device(INT32_MIN), INT32_MIN);
    EXPECT_EQ(s400.Unit(INT32_MIN), INT32_MIN / 4);
    EXPECT_EQ(s400.Unit(INT32_MAX), INT32_MAX / 4);
    EXPECT_EQ(s400.Device(int64_t{1} << 62), INT32_MAX);
}

std::unique_ptr<TBitmap32> Image(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
    auto b = std::make_unique<TBitmap32>();
    b->SetSize(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) b->Row(y)[x] = pixels[static_cast<size_t>(y * width + x)];
    }
    return b;
}

std::vector<uint32_t> All(const TBitmap32& b) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < b.Height(); ++y) out.insert(out.end(), b.Row(y), b.Row(y) + b.Width());
    return out;
}

TEST(BoxFilter, AWholeFactorReplicatesEveryByte) {
    // Alpha 0 with a colour stays as it is: replication copies pixels.
    const auto source = Image(2, 2, {0xFF102030, 0x00ABCDEF, 0x80FF0000, 0xFF00FF00});
    TBitmap32 out;
    TBoxFilter({0, 0, 2, 2}, 4, 4, {0, 0, 4, 4}).Resample(*source, out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0xFF102030, 0xFF102030, 0x00ABCDEF, 0x00ABCDEF,  //
                                               0xFF102030, 0xFF102030, 0x00ABCDEF, 0x00ABCDEF,  //
                                               0x80FF0000, 0x80FF0000, 0xFF00FF00, 0xFF00FF00,  //
                                               0x80FF0000, 0x80FF0000, 0xFF00FF00, 0xFF00FF00}));
    // Only the visible part is made, the same pixels as the whole.
    TBoxFilter({0, 0, 2, 2}, 4, 4, {1, 1, 3, 3}).Resample(*source, out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0xFF102030, 0x00ABCDEF, 0x80FF0000, 0xFF00FF00}));
}

TEST(BoxFilter, OneAndAHalfAveragesPremultipliedSoTransparencyDoesNotDarken) {
    TBitmap32 out;
    // Opaque red beside transparent black: the middle is half-transparent red, not dark red.
    TBoxFilter({0, 0, 2, 1}, 3, 1, {0, 0, 3, 1}).Resample(*Image(2, 1, {0xFFFF0000, 0x00000000}), out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0xFFFF0000, 0x80FF0000, 0x00000000}));
    // Two opaque colours: the rounded mean per channel.
    TBoxFilter({0, 0, 2, 1}, 3, 1, {0, 0, 3, 1}).Resample(*Image(2, 1, {0xFF000000, 0xFF0A0B01}), out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0xFF000000, 0xFF050601, 0xFF0A0B01}));
    // The centre of a 2 x 2 image at 150 % takes a quarter of each pixel; the colours weigh by alpha.
    TBoxFilter({0, 0, 2, 2}, 3, 3, {1, 1, 2, 2})
        .Resample(*Image(2, 2, {0xFFFF0000, 0xFF0000FF, 0x00000000, 0x00000000}), out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0x80800080}));
    // A source part: only its pixels count.
    TBoxFilter({1, 0, 2, 1}, 2, 1, {0, 0, 2, 1}).Resample(*Image(2, 1, {0xFF000000, 0xFF204060}), out);
    EXPECT_EQ(All(out), (std::vector<uint32_t>{0xFF204060, 0xFF204060}));
}

TEST(BoxFilter, MasksAverageByArea) {
    TImage8 mask;
    mask.SetSize(2, 1);
    mask.Row(0)[0] = 255;
    mask.Row(0)[1] = 0;
    TImage8 out;
    TBoxFilter({0, 0, 2, 1}, 3, 1, {0, 0, 3, 1}).Resample(mask, out);
    ASSERT_EQ(out.Width(), 3);
    EXPECT_EQ(out.Row(0)[0], 255);
    EXPECT_EQ(out.Row(0)[1], 128);
    EXPECT_EQ(out.Row(0)[2], 0);
    // Shrinking: 3 pixels into 2, each destination pixel takes 1.5 source pixels.
    mask.SetSize(3, 1);
    mask.Row(0)[0] = 90;
    mask.Row(0)[1] = 30;
    mask.Row(0)[2] = 0;
    TBoxFilter({0, 0, 3, 1}, 2, 1, {0, 0, 2, 1}).Resample(mask, out);
    EXPECT_EQ(out.Row(0)[0], 70);  // (2 * 90 + 30) / 3
    EXPECT_EQ(out.Row(0)[1], 10);  // (30 + 2 * 0) / 3
}

class ScaledPaint : public ::testing::Test {
protected:
    static constexpr uint32_t kWhite = 0xFFFFFFFF;
    ScaledPaint() {
        Target.SetSize(12, 6);
        Target.FillRect({0, 0, 11, 5}, kWhite);
    }
    TPaintContext At(int32_t percent, const TRect& clip = {0, 0, 12, 6}) {
        return TPaintContext(Target, TDisplayScale::FromPercent(percent), 0, 0, 0, 0, clip);
    }
    std::vector<uint32_t> Row(int32_t y) { return {Target.Row(y), Target.Row(y) + Target.Width()}; }
    TBitmap32 Target;
};

TEST_F(ScaledPaint, NeighboursShareTheirMappedEdgeThroughOffsets) {
    // Three 1-unit wide children at 150 %: 2, 1 and 2 device pixels, no gap, no overlap.
    const TPaintContext paint = At(150);
    paint.Offset(1, 0).FillRect({0, 0, 1, 1}, 0xFF000001);
    paint.Offset(2, 0).FillRect({0, 0, 1, 1}, 0xFF000002);
    paint.Offset(3, 0).FillRect({0, 0, 1, 1}, 0xFF000003);
    EXPECT_EQ(Row(0), (std::vector<uint32_t>{kWhite, 0xFF000001, 0xFF000001, 0xFF000002, 0xFF000003, 0xFF000003,
                                             kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}));
    EXPECT_EQ(paint.Offset(2, 0).X(), 3);
    EXPECT_EQ(paint.Offset(2, 0).LocalClip(), (TRect{-2, 0, 6, 4}));
}

TEST_F(ScaledPaint, ImagesTilesAndStretchesCoverTheirMappedRectangles) {
    const auto image = Image(2, 1, {0xFFFF0000, 0xFF0000FF});
    At(200).Draw(*image, 1, 0);
    EXPECT_EQ(Row(1), (std::vector<uint32_t>{kWhite, kWhite, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, kWhite,
                                             kWhite, kWhite, kWhite, kWhite, kWhite}));
    EXPECT_EQ(Row(0), Row(1));
    EXPECT_EQ(Target.Row(2)[2], kWhite);
    // A part beyond the image draws only the image's pixels.
    At(200).DrawPart(*image, 1, 0, 0, 2, 3, 1);
    EXPECT_EQ(Target.Row(4)[0], 0xFF0000FF);
    EXPECT_EQ(Target.Row(4)[1], 0xFF0000FF);
    EXPECT_EQ(Target.Row(4)[2], kWhite);
    // Tiles of one unit at 150 % alternate 1 and 2 pixels, each tile resampled onto its own span.
    At(150, {0, 5, 12, 6}).TileDraw(*Image(1, 1, {0xFF00FF00}), {0, 3, 8, 4});
    EXPECT_EQ(Row(5), (std::vector<uint32_t>(12, 0xFF00FF00)));
    // A stretch copies the resampled pixels (alpha too) without blending.
    Target.FillRect({0, 0, 11, 5}, kWhite);
    At(150, {0, 0, 12, 1}).StretchDraw(*Image(1, 1, {0x40102030}), {0, 0, 2, 2});
    EXPECT_EQ(Target.Row(0)[0], 0x40102030u);
    EXPECT_EQ(Target.Row(0)[2], 0x40102030u);
    EXPECT_EQ(Target.Row(0)[3], kWhite);
}

TEST_F(ScaledPaint, DottedFrameDotsAreMappedUnitPixels) {
    At(200).DottedFrame({0, 0, 3, 2}, 0xFF000000);
    // Unit dots at (0,0), (2,0), (1,1): each a 2 x 2 block.
    const uint32_t k = 0xFF000000;
    EXPECT_EQ(Row(0), (std::vector<uint32_t>{k, k, kWhite, kWhite, k, k, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}));
    EXPECT_EQ(Row(1), Row(0));
    EXPECT_EQ(Row(2), (std::vector<uint32_t>{kWhite, kWhite, k, k, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite,
                                             kWhite}));
}

}  // namespace
}  // namespace marlowen
