#include <gtest/gtest.h>

#include <memory>

#include "FontTestSupport.h"
#include "skin/FontImages.h"
#include "skin/MultiLinesImage.h"
#include "skin/TextDraw.h"
#include "skin/TextImage.h"

namespace marlowen {
namespace {

using testing::MakeGlyph;
using testing::Painted;

// Each glyph is a single dot at its image's top-left: "a" sits on the run's top (top 8 = the run's
// ascent), "b" three rows lower and one column right; the space is 2 wide and invisible.
class TextDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        Font.SetLineMetrics(8, 2, 0);
        Font.AddSymbol(MakeGlyph(u"a", {0, 0, 0, 4, 10, 8, 2}, 1, 1));
        Font.AddSymbol(MakeGlyph(u"b", {0, 0, 1, 4, 10, 5, 2}, 1, 1));
        Font.AddSymbol(MakeGlyph(u" ", {0, 0, 0, 2, 10, 8, 2}));
        Bitmap.SetSize(32, 50);
    }

    TFontImages Font;
    TBitmap32 Bitmap;
    TTextImage Run;
};

TEST_F(TextDrawTest, GlyphsFollowThePenAndShareTheRunsBaseline) {
    Run.AddText("ab", Font, 0xFF0000AA);
    Run.AddText(" a", Font, 0xFF0000BB);
    DrawText(Bitmap, 1, 2, Run);
    EXPECT_EQ(Painted(Bitmap), "1,2 11,2 6,5");
    EXPECT_EQ(Bitmap.Row(5)[6], 0xFF0000AAu);
    EXPECT_EQ(Bitmap.Row(2)[11], 0xFF0000BBu);

    Bitmap.FillRect({0, 0, 31, 49}, 0);
    DrawTextClipped(Bitmap, 1, 2, {0, 0, 11, 50}, Run);
    EXPECT_EQ(Painted(Bitmap), "1,2 6,5");
    EXPECT_EQ(Bitmap.Row(2)[1], 0xFF0000AAu);

    Bitmap.FillRect({0, 0, 31, 49}, 0);
    DrawTextOneColour(Bitmap, 1, 2, 0xFF00CC00, {0, 0, 32, 5}, Run);
    EXPECT_EQ(Painted(Bitmap), "1,2 11,2");
    EXPECT_EQ(Bitmap.Row(2)[11], 0xFF00CC00u);

    // A run without "a" has a lower ascent: "b" then sits on its top.
    Bitmap.FillRect({0, 0, 31, 49}, 0);
    TTextImage low;
    low.AddText("b", Font, 0xFF0000AA);
    DrawText(Bitmap, 0, 0, low);
    EXPECT_EQ(Painted(Bitmap), "1,0");
}

TEST_F(TextDrawTest, JustifiedRunsShareTheExtraSpaceLeftToRight) {
    Run.AddText("a a a a", Font, 0xFF0000AA);  // 22 wide: 10 extra over 3 spaces is 3, 3, 4
    DrawTextJustified(Bitmap, 0, 0, {0, 0, 32, 50}, 32, Run);
    EXPECT_EQ(Painted(Bitmap), "0,0 9,0 18,0 28,0");

    for (int32_t width : {22, 5}) {  // no extra space: drawn as it is
        Bitmap.FillRect({0, 0, 31, 49}, 0);
        DrawTextJustified(Bitmap, 0, 0, {0, 0, 32, 50}, width, Run);
        EXPECT_EQ(Painted(Bitmap), "0,0 6,0 12,0 18,0") << width;
    }

    Bitmap.FillRect({0, 0, 31, 49}, 0);
    DrawTextJustified(Bitmap, 0, 0, {0, 0, 20, 50}, 32, Run);  // still clipped
    EXPECT_EQ(Painted(Bitmap), "0,0 9,0 18,0");

    Bitmap.FillRect({0, 0, 31, 49}, 0);
    TTextImage word;
    word.AddText("ab", Font, 0xFF0000AA);  // no spaces: drawn as it is
    DrawTextJustified(Bitmap, 0, 0, {0, 0, 32, 50}, 32, word);
    EXPECT_EQ(Painted(Bitmap), "0,0 5,3");
}

TEST_F(TextDrawTest, MultiLineAlignments) {
    TStyleList styles;
    auto style = [&](const char* name, TTextAlignment alignment) {
        auto item = std::make_unique<TStyleItem>(name);
        item->SetAlignment(alignment);
        styles.Add(std::move(item));
    };
    auto base = std::make_unique<TStyleItem>("default");
    base->SetFont(&Font);
    base->SetColor(0xFF0000AA);
    styles.Add(std::move(base));
    style("j", TTextAlignment::Justify);
    style("r", TTextAlignment::Right);
    style("c", TTextAlignment::Center);

    // Lines "a a" (justified, stretched: a justified last line follows), "a" (the paragraph's
    // last line, left), "a" (right) and "aa" (centred), each 10 high, in a 20 x 50 box at (2, 1).
    TMultiLinesImage lines;
    lines.SetText(u"<j>a a a<br><r>a<c>aa", 12, styles);
    ASSERT_EQ(lines.LineCount(), 4);
    ASSERT_EQ(lines.TotalHeight(), 40);

    DrawMultiLine(Bitmap, 2, 1, TVerticalAlignment::Top, lines, 50, 20);
    EXPECT_EQ(Painted(Bitmap), "2,1 18,1 2,11 18,21 8,31 12,31");

    Bitmap.FillRect({0, 0, 31, 49}, 0);
    DrawMultiLine(Bitmap, 2, 1, TVerticalAlignment::Bottom, lines, 48, 20);
    EXPECT_EQ(Painted(Bitmap), "2,9 18,9 2,19 18,29 8,39 12,39");

    // Too little height: the block overflows its box, which clips it. Centring truncates
    // toward zero: (35 - 40) div 2 = -2.
    Bitmap.FillRect({0, 0, 31, 49}, 0);
    DrawMultiLine(Bitmap, 2, 1, TVerticalAlignment::Center, lines, 35, 20);
    EXPECT_EQ(Painted(Bitmap), "2,9 18,19 8,29 12,29");

    // The last line of a text is never stretched, nor is a justified line before another alignment.
    Bitmap.FillRect({0, 0, 31, 49}, 0);
    lines.SetText(u"<j>a a<r>a", 100, styles);
    DrawMultiLine(Bitmap, 0, 0, TVerticalAlignment::Top, lines, 50, 20);
    EXPECT_EQ(Painted(Bitmap), "0,0 6,0 16,10");
}

}  // namespace
}  // namespace marlowen
