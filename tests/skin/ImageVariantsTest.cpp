#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "skin/Bitmap32.h"
#include "skin/BoxFilter.h"
#include "skin/FontImages.h"
#include "skin/Image8.h"
#include "skin/PaintContext.h"
#include "skin/ScaledImage.h"
#include "skin/TextImage.h"

namespace marlowen {
namespace {

using testing::MakeGlyph;

std::shared_ptr<TBitmap32> Picture(int32_t width, int32_t height, uint32_t first) {
    auto bitmap = std::make_shared<TBitmap32>();
    bitmap->SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) bitmap->Row(y)[x] = first + static_cast<uint32_t>(y * width + x);
    return bitmap;
}

std::vector<uint32_t> PixelsOf(const TBitmap32& bitmap) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < bitmap.Height(); ++y) pixels.insert(pixels.end(), bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
    return pixels;
}

TDisplayScale At(int32_t percent) { return TDisplayScale::FromPercent(percent); }

TEST(ImageVariants, AVariantMustBeTheImagesSizeAtItsFactorRoundedEitherWay) {
    const auto base = Picture(13, 10, 0xFF000000);
    EXPECT_TRUE(base->FitsVariant(At(150), 19, 15));
    EXPECT_TRUE(base->FitsVariant(At(150), 20, 15));  // 19.5 may be rounded up
    EXPECT_FALSE(base->FitsVariant(At(150), 21, 15));
    EXPECT_FALSE(base->FitsVariant(At(150), 19, 16));  // 15 exactly: no rounding
    EXPECT_TRUE(base->FitsVariant(At(200), 26, 20));
    EXPECT_FALSE(base->FitsVariant(At(200), 27, 20));
    EXPECT_FALSE(base->FitsVariant(At(100), 13, 10));  // 100 % is the image itself
    EXPECT_FALSE(TBitmap32().FitsVariant(At(200), 0, 0));

    EXPECT_FALSE(base->AddVariant(At(200), Picture(25, 20, 0)));
    EXPECT_FALSE(base->AddVariant(At(200), nullptr));
    EXPECT_TRUE(base->Variants().empty());
    ASSERT_TRUE(base->AddVariant(At(200), Picture(26, 20, 0xFF000200)));
    ASSERT_TRUE(base->AddVariant(At(150), Picture(19, 15, 0xFF000150)));
    ASSERT_TRUE(base->AddVariant(At(200), Picture(26, 20, 0xFF000201)));  // replaces
    ASSERT_EQ(base->Variants().size(), 2u);
    EXPECT_EQ(base->Variants()[0].Factor, At(150));
    EXPECT_EQ(base->Variants()[1].Bitmap->Row(0)[0], 0xFF000201u);

    // A copy shares them; a change of size drops them.
    TBitmap32 copy;
    copy.Assign(*base);
    EXPECT_EQ(copy.Variants()[1].Bitmap, base->Variants()[1].Bitmap);
    copy.SetSize(13, 10);
    EXPECT_EQ(copy.Variants().size(), 2u);
    copy.SetSize(14, 10);
    EXPECT_TRUE(copy.Variants().empty());
}

TEST(ImageVariants, GeneratedImagesAreMadeFromEveryPictureOfTheirSource) {
    const auto base = Picture(2, 1, 0xFF000010);
    const auto variant = Picture(4, 2, 0xFF000020);
    ASSERT_TRUE(base->AddVariant(At(200), variant));

    TBitmap32 turned;
    turned.AssignTransformed(*base, 3);  // a quarter turn: 1 x 2, its variant 2 x 4
    ASSERT_EQ(turned.Variants().size(), 1u);
    const TBitmap32& turnedVariant = *turned.Variants()[0].Bitmap;
    ASSERT_EQ(turnedVariant.Width(), 2);
    ASSERT_EQ(turnedVariant.Height(), 4);
    EXPECT_EQ(turnedVariant.Row(0)[1], variant->Row(1)[3]);  // (x, y) goes to (y, W - 1 - x)
    TBitmap32 mirrored;
    mirrored.AssignTransformed(*base, 1);
    EXPECT_EQ(mirrored.Variants()[0].Bitmap->Row(1)[0], variant->Row(1)[3]);

    TBitmap32 grey;
    grey.Assign(*base);
    grey.ChangeWithVariants([](TBitmap32& b) { b.FillRect({0, 0, b.Width() - 1, b.Height() - 1}, 0xFF777777); });
    EXPECT_EQ(PixelsOf(grey), (std::vector<uint32_t>(2, 0xFF777777)));
    EXPECT_EQ(PixelsOf(*grey.Variants()[0].Bitmap), (std::vector<uint32_t>(8, 0xFF777777)));
    // The source's own variant is a shared picture and stays as it was.
    EXPECT_EQ(variant->Row(0)[0], 0xFF000020u);
}

TEST(ImageVariants, TheNearestVariantAtOrAboveTheScaleIsChosenElseTheLargest) {
    const auto base = Picture(4, 4, 0xFF000000);
    const auto at150 = Picture(6, 6, 0xFF001500);
    const auto at200 = Picture(8, 8, 0xFF002000);
    EXPECT_EQ(ChooseScaledImage(*base, At(200)).Bitmap, base.get());  // none: the image itself
    base->AddVariant(At(200), at200);
    base->AddVariant(At(150), at150);
    const auto chosen = [&](int32_t percent) { return ChooseScaledImage(*base, At(percent)); };
    EXPECT_EQ(chosen(100).Bitmap, base.get());
    EXPECT_EQ(chosen(100).Factor, At(100));
    EXPECT_EQ(chosen(125).Bitmap, at150.get());
    EXPECT_EQ(chosen(150).Bitmap, at150.get());
    EXPECT_EQ(chosen(150).Factor, At(150));
    EXPECT_EQ(chosen(175).Bitmap, at200.get());
    EXPECT_EQ(chosen(200).Bitmap, at200.get());
    EXPECT_EQ(chosen(300).Bitmap, at200.get());
    EXPECT_EQ(chosen(300).Factor, At(200));
}

TEST(ImageVariants, VariantNamesCarryACanonicalFactorBeforeTheExtension) {
    std::string base;
    TDisplayScale factor;
    ASSERT_TRUE(ParseVariantName("Images\\Install\\Next@2x.bmp", base, factor));
    EXPECT_EQ(base, "Images\\Install\\Next.bmp");
    EXPECT_EQ(factor, At(200));
    ASSERT_TRUE(ParseVariantName("Fonts\\Regular@1.25x.fnt", base, factor));
    EXPECT_EQ(base, "Fonts\\Regular.fnt");
    EXPECT_EQ(factor, At(125));
    for (const char* name : {"Next.bmp", "Next@2x", "Next@1x.bmp", "Next@5x.bmp", "Next@2.0x.bmp", "Next@2X.bmp",
                             "Next@150%.bmp", "Next@x.bmp", "Images\\@2x.bmp", "@2x.bmp", "Next@1.333x.bmp",
                             "Next@-2x.bmp", "Next@2x\\a.bmp"}) {
        EXPECT_FALSE(ParseVariantName(name, base, factor)) << name;
    }
    for (int32_t percent : {125, 150, 175, 200, 250, 300, 400}) {
        const std::string name = VariantName("Images\\a.b\\Next.bmp", At(percent));
        ASSERT_TRUE(ParseVariantName(name, base, factor)) << name;
        EXPECT_EQ(base, "Images\\a.b\\Next.bmp");
        EXPECT_EQ(factor, At(percent));
    }
    EXPECT_EQ(VariantName("Images\\Next.bmp", At(150)), "Images\\Next@1.5x.bmp");
    EXPECT_EQ(VariantName("Images\\Next.bmp", At(175)), "Images\\Next@1.75x.bmp");
}

class VariantPaint : public ::testing::Test {
protected:
    static constexpr uint32_t kWhite = 0xFFFFFFFF;
    VariantPaint() : Base(Picture(2, 1, 0xFF100000)), Variant(Picture(4, 2, 0xFF200000)) {
        Base->AddVariant(At(200), Variant);
    }
    TBitmap32& Paint(int32_t percent, const std::function<void(const TPaintContext&)>& draw) {
        const TDisplayScale scale = At(percent);
        Target.SetSize(scale.Device(2), scale.Device(1));
        Target.FillRect({0, 0, Target.Width() - 1, Target.Height() - 1}, kWhite);
        draw(TPaintContext(Target, scale, 0, 0, 0, 0, {0, 0, Target.Width(), Target.Height()}));
        return Target;
    }
    // The variant resampled onto width x height with the box filter.
    std::vector<uint32_t> Filtered(int32_t width, int32_t height) const {
        TBitmap32 out;
        TBoxFilter({0, 0, 4, 2}, width, height, {0, 0, width, height}).Resample(*Variant, out);
        return PixelsOf(out);
    }
    std::shared_ptr<TBitmap32> Base;
    std::shared_ptr<TBitmap32> Variant;
    TBitmap32 Target;
};

TEST_F(VariantPaint, AVariantForTheScaleIsDrawnAsItIsAndOthersAreFilteredFromTheNearest) {
    const auto draw = [this](const TPaintContext& paint) { paint.Draw(*Base, 0, 0); };
    EXPECT_EQ(PixelsOf(Paint(200, draw)), PixelsOf(*Variant));
    EXPECT_EQ(PixelsOf(Paint(150, draw)), Filtered(3, 1));  // down from 200 %, not up from 100 %
    EXPECT_EQ(PixelsOf(Paint(300, draw)), Filtered(6, 3));  // up from the largest
    EXPECT_EQ(PixelsOf(Paint(100, draw)), PixelsOf(*Base));
    // A part takes the variant's pixels of its units.
    Paint(200, [this](const TPaintContext& paint) { paint.DrawPart(*Base, 1, 0, 0, 0, 1, 1); });
    EXPECT_EQ(Target.Row(0)[0], Variant->Row(0)[2]);
    EXPECT_EQ(Target.Row(1)[1], Variant->Row(1)[3]);
    EXPECT_EQ(Target.Row(0)[2], kWhite);
    // A stretch onto the image's own size at 200 % is the variant too.
    Paint(200, [this](const TPaintContext& paint) { paint.StretchDraw(*Base, {0, 0, 2, 1}); });
    EXPECT_EQ(PixelsOf(Target), PixelsOf(*Variant));
}

TEST(FontVariants, AGlyphForTheScaleIsDrawnAtTheMappedPenAndBaselineWithItsOwnImage) {
    // 100 %: "AB", 3 units apart, images of 2 x 3 with the baseline 3 below the top.
    TFontImages font;
    font.SetLineMetrics(3, 0, 0);
    font.AddSymbol(MakeGlyph(u"A", {0, 0, 0, 3, 3, 3, 0}, 2, 3));
    font.AddSymbol(MakeGlyph(u"B", {0, 0, 0, 3, 3, 3, 0}, 2, 3));
    // 200 %: only "A", an image of 3 x 5 one pixel right of the pen, 5 above the baseline.
    TFontImages large;
    large.SetLineMetrics(6, 0, 0);
    auto a = MakeGlyph(u"A", {0, 0, 1, 6, 6, 5, 0}, 3, 5);
    large.AddSymbol(std::move(a));
    font.AddVariant(At(200), large);
    EXPECT_EQ(font.SymbolByChar('A')->VariantFor(At(200)), large.SymbolByChar('A'));
    EXPECT_EQ(font.SymbolByChar('A')->VariantFor(At(150)), nullptr);
    EXPECT_EQ(font.SymbolByChar('B')->VariantFor(At(200)), nullptr);

    TTextImage text;
    text.AddText("AB", font, 0xFF000000);
    TBitmap32 target;
    target.SetSize(14, 8);
    TPaintContext(target, At(200), 0, 0, 0, 0, {0, 0, 14, 8}).DrawText(text, 1, 1);
    // The pen of "A" is unit 1 (pixel 2), the baseline unit 4 (pixel 8): the variant's image
    // covers x 3..5, y 3..7. "B" has no variant: its 100 % image doubled from unit (4, 1).
    std::string expected;
    for (int32_t y = 2; y <= 7; ++y) {
        for (int32_t x = 0; x < 14; ++x) {
            if ((x >= 3 && x <= 5 && y >= 3) || (x >= 8 && x <= 11)) expected += (expected.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(y);
        }
    }
    EXPECT_EQ(testing::Painted(target), expected);
}

}  // namespace
}  // namespace marlowen
