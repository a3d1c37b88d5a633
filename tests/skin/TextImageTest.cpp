#include <gtest/gtest.h>

#include "FontTestSupport.h"
#include "skin/FontImages.h"
#include "skin/TextImage.h"

namespace marlowen {
namespace {

using testing::AddDotGlyphs;
using testing::MakeGlyph;

class TextImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddDotGlyphs(Font, u"ac? Жx", 5);
        Text.OnChange = [this](TTextImage& sender) {
            EXPECT_EQ(&sender, &Text);
            ++Changes;
        };
    }

    std::u16string Colours() const {
        std::u16string colours;
        for (int32_t i = 0; i < Text.Count(); ++i) colours += static_cast<char16_t>(u'0' + Text.Colour(i));
        return colours;
    }

    TFontImages Font;
    TTextImage Text;
    int Changes = 0;
};

TEST_F(TextImageTest, MissingCharactersAreSkippedWhenAddedAndQueriedWhenInserted) {
    Text.AddText("abc", Font, 1);
    EXPECT_EQ(Text.Text(), u"ac");
    EXPECT_EQ(Changes, 1);

    Text.InsertText(0, "abc", 2, Font);
    EXPECT_EQ(Text.Text(), u"a?cac");
    EXPECT_EQ(Text.Symbol(1), Font.SymbolByChar(u'?'));
    EXPECT_EQ(Colours(), u"22211");
    EXPECT_EQ(Changes, 2);

    // A negative index counts as 0; at or past the end the text is appended, skipping.
    Text.InsertText(-5, "x", 3, Font);
    Text.InsertText(Text.Count(), "bx", 4, Font);
    EXPECT_EQ(Text.Text(), u"xa?cacx");
    EXPECT_EQ(Colours(), u"3222114");
    EXPECT_EQ(Changes, 4);
}

TEST_F(TextImageTest, EightBitTextIsTakenPerUtf8Character) {
    Text.AddText("aЖ\xF0\x9F\x98\x80x", Font, 1);  // a 2-byte and a 4-byte character
    EXPECT_EQ(Text.Text(), u"aЖx");
    Text.InsertText(1, "Ж\xF0\x9F\x98\x80\xC3", 2, Font);  // one "?" per character, and per bad byte
    EXPECT_EQ(Text.Text(), u"aЖ??Жx");
    Text.AddWideText(u"Жb\U0001F600a", Font, 3);
    EXPECT_EQ(Text.Text(), u"aЖ??ЖxЖa");
    EXPECT_EQ(Changes, 3);
}

TEST_F(TextImageTest, EventsAndUpdateNesting) {
    Text.Add(Font.SymbolByChar(u'a'), 1);
    Text.Add(nullptr, 1);  // ignored
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Text.Count(), 1);

    Text.BeginUpdate();
    Text.BeginUpdate();
    Text.AddText("ac", Font, 1);
    Text.Delete(0, 1);
    Text.EndUpdate();
    EXPECT_EQ(Changes, 1);
    Text.EndUpdate();
    EXPECT_EQ(Changes, 2);
    Text.EndUpdate();  // unpaired: nothing
    EXPECT_EQ(Changes, 2);

    Text.SetColours(0, 9, 7);
    Text.Clear();
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Text.Count(), 0);

    Text.AddText("", Font, 1);  // one event for the call, even when it adds nothing
    Text.Delete(3, 2);
    EXPECT_EQ(Changes, 4);

    Text.OnChange = nullptr;
    Text.AddText("a", Font, 1);
}

TEST_F(TextImageTest, IndexErrorsAndClippedRanges) {
    Text.AddText("acxa", Font, 1);
    for (int32_t bad : {-1, 4}) {
        try {
            Text.Symbol(bad);
            FAIL() << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "TTextImage: Выход индекса за пределы строки.");
        }
        EXPECT_THROW(Text.Colour(bad), Exception);
    }

    EXPECT_EQ(Text.TextRange(-2, 4), u"ac");
    EXPECT_EQ(Text.TextRange(3, 100), u"a");
    EXPECT_EQ(Text.TextRange(4, 1), u"");
    EXPECT_EQ(Text.TextRange(1, -3), u"");
    EXPECT_EQ(Text.TextRange(1, INT32_MAX), u"cxa");
    EXPECT_EQ(Text.AdvanceOf(-1, 3), 10);
    EXPECT_EQ(Text.AdvanceOf(2, 0), 0);

    Text.SetColours(-1, 2, 5);
    Text.SetColours(3, 9, 6);
    EXPECT_EQ(Colours(), u"5116");
    Text.Delete(-1, 2);
    EXPECT_EQ(Text.Text(), u"cxa");
    Text.Delete(2, INT32_MAX);
    EXPECT_EQ(Text.Text(), u"cx");
    EXPECT_EQ(Colours(), u"11");
    // Ranges starting past the end are empty (no iterator beyond the run is ever formed).
    Text.Delete(5, 1);
    Text.Delete(INT32_MAX, INT32_MAX);
    Text.SetColours(7, 2, 9);
    EXPECT_EQ(Text.AdvanceOf(9, 1), 0);
    EXPECT_EQ(Text.Text(), u"cx");
    EXPECT_EQ(Colours(), u"11");
}

TEST_F(TextImageTest, MeasureAndLineHeight) {
    TTextMetrics empty = Text.Measure();
    EXPECT_EQ(empty.AdvanceSum, 0);
    EXPECT_EQ(empty.Width, 0);
    EXPECT_EQ(empty.Height, 0);
    EXPECT_EQ(empty.Ascent, 0);
    Text.SetMinLineHeight(7);
    EXPECT_EQ(Text.LineHeight(), 7);

    TFontImages font;
    font.AddSymbol(MakeGlyph(u"T", {0, 2, 0, 6, 9, 7, 1}));   // tall
    font.AddSymbol(MakeGlyph(u"g", {0, 3, 0, 5, 4, 4, 3}));   // deep
    font.AddSymbol(MakeGlyph(u"h", {0, 0, 0, 4, 14, 2, 0}));  // a height above top + descent
    Text.AddText("Tg", font, 1);
    TTextMetrics m = Text.Measure();
    EXPECT_EQ(m.AdvanceSum, 11);
    EXPECT_EQ(m.Ascent, 7);
    EXPECT_EQ(m.Height, 10);  // largest top + largest descent
    EXPECT_EQ(m.Width, 14);   // plus the overhang of the last glyph only
    EXPECT_EQ(Text.Width(), 14);
    EXPECT_EQ(Text.LineHeight(), 10);
    Text.AddText("h", font, 1);
    EXPECT_EQ(Text.Measure().Height, 14);
    EXPECT_EQ(Text.Width(), 15);

    // Hostile metrics saturate instead of overflowing.
    TFontImages wide;
    wide.AddSymbol(MakeGlyph(u"w", {0, INT32_MAX, 0, INT32_MAX, 0, INT32_MAX, INT32_MAX}));
    TTextImage run;
    run.AddText("ww", wide, 1);
    EXPECT_EQ(run.Measure().AdvanceSum, INT32_MAX);
    EXPECT_EQ(run.Width(), INT32_MAX);
    EXPECT_EQ(run.LineHeight(), INT32_MAX);
}

}  // namespace
}  // namespace marlowen
