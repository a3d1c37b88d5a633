#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FontTestSupport.h"
#include "core/Utf.h"
#include "skin/FontImages.h"
#include "skin/MultiLinesImage.h"

namespace marlowen {
namespace {

using testing::AddDotGlyphs;

// Letters are 5 wide and the space 2; the default font's lines are 10 high, the big font's 16.
class MultiLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Font.SetLineMetrics(8, 2, 0);
        AddDotGlyphs(Font, u"abcdefghij", 5);
        AddDotGlyphs(Font, u" ", 2);
        Big.SetLineMetrics(12, 4, 0);
        AddDotGlyphs(Big, u"abcdefghij", 5);
        AddStyle("default", &Font, 0xFF000001, true, TTextAlignment::Left);
        AddStyle("big", &Big, 0, false, TTextAlignment::Left);
        AddStyle("red", nullptr, 0xFFFF0000, true, TTextAlignment::Left);
        AddStyle("centre", nullptr, 0, false, TTextAlignment::Center);
        AddStyle("brick", nullptr, 0, false, TTextAlignment::Justify);
    }

    void AddStyle(const char* name, const TFontImages* font, uint32_t colour, bool hasColour,
                  TTextAlignment alignment) {
        auto style = std::make_unique<TStyleItem>(name);
        style->SetFont(font);
        if (hasColour) style->SetColor(colour);
        if (alignment != TTextAlignment::Left) style->SetAlignment(alignment);
        Styles.Add(std::move(style));
    }

    // The lines as "text/alignment|text/alignment|...".
    std::string Layout(std::u16string_view text, int32_t widthLimit) {
        Lines.SetText(text, widthLimit, Styles);
        std::string layout;
        for (int32_t i = 0; i < Lines.LineCount(); ++i) {
            if (i > 0) layout += '|';
            layout += Utf16ToUtf8(Lines.Line(i).Text()) + "/" +
                      std::to_string(static_cast<int>(Lines.Line(i).Alignment()));
        }
        return layout;
    }

    TFontImages Font, Big;
    TStyleList Styles;
    TMultiLinesImage Lines;
};

TEST_F(MultiLinesTest, WrapsAtTheLastSpaceThatFits) {
    EXPECT_EQ(Layout(u"ab cd", 15), "ab/0|cd/0");  // the breaking space goes
    EXPECT_EQ(Layout(u"ab cd", 22), "ab cd/0");    // exactly as wide as the limit
    EXPECT_EQ(Layout(u"abcdef", 12), "abcdef/0");  // a word wider than the limit stays whole
    EXPECT_EQ(Layout(u"ab abcdef ab", 12), "ab/0|abcdef/0|ab/0");
    // A space that does not fit wraps the word before it; it stays breakable on the new line,
    // so the next word can still wrap (and a second space collapses into it).
    EXPECT_EQ(Layout(u"ab cd ef gh", 22), "ab/0|cd/0|ef gh/0");
    EXPECT_EQ(Layout(u"ab cd efgh", 22), "ab/0|cd/0|efgh/0");
    EXPECT_EQ(Layout(u"ab cd  ef", 22), "ab/0|cd ef/0");
    EXPECT_EQ(Lines.WidthLimit(), 22);
    EXPECT_EQ(Lines.Line(0).Colour(0), 0xFF000001u);
}

TEST_F(MultiLinesTest, SpacesCollapse) {
    EXPECT_EQ(Layout(u"  a   c ", 100), "a c /0");
    EXPECT_EQ(Layout(u"a<br>  b", 100), "a/0|b/0");
    EXPECT_EQ(Layout(u"   ", 100), "/0");
}

TEST_F(MultiLinesTest, TagsSwitchStylesAndBreakLines) {
    // An alignment change starts a new line; a tag naming no style changes nothing.
    EXPECT_EQ(Layout(u"ab<centre>cd</centre>e<nothing>f", 100), "ab/0|cdef/2");
    // A colour-only style keeps the font and alignment.
    Layout(u"a<red>b<>c", 100);
    ASSERT_EQ(Lines.LineCount(), 1);
    EXPECT_EQ(Lines.Line(0).Colour(0), 0xFF000001u);
    EXPECT_EQ(Lines.Line(0).Colour(1), 0xFFFF0000u);
    EXPECT_EQ(Lines.Line(0).Colour(2), 0xFFFF0000u);
    EXPECT_EQ(Lines.Line(0).Symbol(1), Font.SymbolByChar(u'b'));
    // A tag left open runs to the end of the text.
    EXPECT_EQ(Layout(u"ab<centre", 100), "ab/0");
}

TEST_F(MultiLinesTest, BreaksAndLineHeights) {
    EXPECT_EQ(Layout(u"ab<BR>", 100), "ab/0|/0");
    EXPECT_EQ(Lines.TotalHeight(), 20);  // the empty last line still counts

    // Each line's minimum height is that of the font current when it started.
    EXPECT_EQ(Layout(u"a<big>b<br>c", 100), "ab/0|c/0");
    EXPECT_EQ(Lines.Line(0).MinLineHeight(), 10);
    EXPECT_EQ(Lines.Line(1).MinLineHeight(), 16);
    EXPECT_EQ(Lines.Line(1).Symbol(0), Big.SymbolByChar(u'c'));
    EXPECT_EQ(Lines.TotalHeight(), 26);

    // A justified paragraph ended by a break marks its last line.
    EXPECT_EQ(Layout(u"<brick>ab cd ef gh ij<br>ab", 25), "ab cd/3|ef gh/3|ij/4|ab/3");
    EXPECT_EQ(Layout(u"<brick>ab<centre><br>", 22), "ab/3|/2|/2");
}

TEST_F(MultiLinesTest, StyleListProblems) {
    TStyleList none;
    EXPECT_THROW(Lines.SetText(u"a", 10, none), EStyleNotFound);

    // A default style without a font lays out empty lines instead of failing.
    TStyleList fontless;
    fontless.Add(std::make_unique<TStyleItem>("default"));
    Lines.SetText(u"ab<br>c", 10, fontless);
    EXPECT_EQ(Lines.LineCount(), 2);
    EXPECT_EQ(Lines.TotalHeight(), 0);
}

}  // namespace
}  // namespace marlowen
