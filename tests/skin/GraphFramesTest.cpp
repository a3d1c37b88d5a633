#include "ControlTestSupport.h"

#include <vector>

#include "core/Languages.h"
#include "skin/GraphButtons.h"
#include "skin/GraphFrames.h"
#include "skin/PaintContext.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kBlack = 0xFF000000;

class FrameTest : public ::testing::Test {
protected:
    // An image given pixel by pixel, rows top first.
    void AddPixels(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
        bench.AddPixels(path, width, height, pixels);
    }
    // A style document "S\<name>" with the indents 0 unless the attributes give them.
    void AddStyle(const std::string& name, const std::string& attributes, bool indents = true) {
        bench.AddXml("S\\" + name + ".xml", "<Frame " +
                                       std::string(indents ? "LeftIndent=\"0\" TopIndent=\"0\" RightIndent=\"0\" "
                                                             "BottomIndent=\"0\" "
                                                           : "") +
                                       attributes + "/>");
    }
    // The pixels of the container's rows top..top+height, columns left..left+width.
    std::vector<uint32_t> Block(int32_t left, int32_t top, int32_t width, int32_t height) {
        std::vector<uint32_t> pixels;
        for (int32_t y = top; y < top + height; ++y) {
            for (int32_t x = left; x < left + width; ++x) pixels.push_back(bench.Pixel(x, y));
        }
        return pixels;
    }
    // Compares pixel blocks row by row, naming the first row that differs.
    static ::testing::AssertionResult SameRows(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected,
                                              size_t width) {
        if (actual.size() != expected.size()) return ::testing::AssertionFailure() << "sizes differ";
        for (size_t i = 0; i < actual.size(); ++i) {
            if (actual[i] != expected[i]) {
                return ::testing::AssertionFailure() << "first difference at x " << i % width << ", y " << i / width
                                                     << ": " << std::hex << actual[i] << " instead of " << expected[i];
            }
        }
        return ::testing::AssertionSuccess();
    }
    std::string ErrorOf(std::string_view xml) {
        try {
            bench.Show(xml);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }

    TControlBench bench;
};

TEST_F(FrameTest, SolidBrushFillsInsideTheIndentsAndARectBorderDrawsItsSidesInOrder) {
    AddStyle("Rect", "BrushType=\"Solid\" BrushColor=\"0xFF0000FF\" BorderType=\"Rect\" OuterColor=\"0xFFFF0000\"",
             false);
    bench.AddXml("S\\Indented.xml",
                 "<Frame LeftIndent=\"2\" TopIndent=\"1\" RightIndent=\"1\" BottomIndent=\"2\" BrushType=\"solid\" "
                 "BrushColor=\"0xFF0000FF\" BorderType=\"RECT\" LeftOuterColor=\"0xFF000001\" "
                 "TopOuterColor=\"0xFF000002\" RightOuterColor=\"0xFF000003\" BottomOuterColor=\"0xFF000004\"/>");
    bench.Show(
        "<S><Frame Left=\"10\" Top=\"10\" Width=\"6\" Height=\"6\" Style=\"S\\Indented.xml\"/>"
        "<Frame Left=\"30\" Top=\"10\" Width=\"4\" Height=\"3\" Style=\"S\\Indented.xml\" TopOuterColor=\"0xFF00FF00\"/>"
        "</S>");
    const uint32_t l = 0xFF000001, t = 0xFF000002, r = 0xFF000003, b = 0xFF000004, f = kBlue, w = kWhite;
    // Left, then top, bottom and right over it; the brush from (2, 1) to (4, 3).
    EXPECT_TRUE(SameRows(Block(10, 10, 7, 6), std::vector<uint32_t>{
                                       t, t, t, t, t, r, w,  //
                                       l, w, f, f, f, r, w,  //
                                       l, w, f, f, f, r, w,  //
                                       l, w, f, f, f, r, w,  //
                                       l, w, w, w, w, r, w,  //
                                       b, b, b, b, b, r, w}, 7));
    // An override on the element changes its side only; indents wider than the frame leave no brush.
    EXPECT_EQ(Block(30, 10, 4, 3), (std::vector<uint32_t>{kGreen, kGreen, kGreen, r, l, w, w, r, b, b, b, r}));
}

TEST_F(FrameTest, OuterColorPaintsEverySideAndTheElementOverridesOneSideOrTheBrush) {
    AddStyle("Rect", "BrushType=\"Solid\" BrushColor=\"0x800000FF\" BorderType=\"Rect\" OuterColor=\"0xFFFF0000\"");
    bench.Show(
        "<S><Frame Width=\"3\" Height=\"3\" Style=\"S\\Rect.xml\"/>"
        "<Frame Left=\"10\" Width=\"3\" Height=\"3\" Style=\"S\\Rect.xml\" TopOuterColor=\"0xFF000000\"/>"
        "<Frame Left=\"20\" Width=\"3\" Height=\"3\" Style=\"S\\Rect.xml\" OuterColor=\"0xFF00FF00\" "
        "RightOuterColor=\"0xFF000000\" BrushColor=\"0xFF000000\"/></S>");
    // The brush blends: half blue over white.
    EXPECT_EQ(Block(0, 0, 3, 3), (std::vector<uint32_t>{kRed, kRed, kRed, kRed, 0xFF7F7FFF, kRed, kRed, kRed, kRed}));
    EXPECT_EQ(Block(10, 0, 3, 3), (std::vector<uint32_t>{kBlack, kBlack, kRed, kRed, 0xFF7F7FFF, kRed, kRed, kRed,
                                                         kRed}));
    EXPECT_EQ(Block(20, 0, 3, 3),
              (std::vector<uint32_t>{kGreen, kGreen, kBlack, kGreen, kBlack, kBlack, kGreen, kGreen, kBlack}));
}

TEST_F(FrameTest, DoubleRectDrawsTheInnerLinesOnePixelInside) {
    AddStyle("Double",
             "BrushType=\"None\" BorderType=\"DoubleRect\" OuterColor=\"0xFFFF0000\" InnerColor=\"0xFF00FF00\" "
             "BottomInnerColor=\"0xFF0000FF\"");
    bench.Show("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\Double.xml\" RightInnerColor=\"0xFF000000\"/></S>");
    const uint32_t o = kRed, i = kGreen, b = kBlue, k = kBlack, w = kWhite;
    EXPECT_EQ(Block(0, 0, 5, 5), (std::vector<uint32_t>{
                                     o, o, o, o, o,  //
                                     o, i, i, k, o,  //
                                     o, i, w, k, o,  //
                                     o, b, b, k, o,  //
                                     o, o, o, o, o}));
}

TEST_F(FrameTest, SideColoursAreRequiredWhenTheStyleGivesNoColourForAllSides) {
    AddStyle("NoSides", "BrushType=\"None\" BorderType=\"Rect\" TopOuterColor=\"0xFF000000\"");
    AddStyle("NoInner", "BrushType=\"None\" BorderType=\"DoubleRect\" OuterColor=\"0xFF000000\"");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\NoSides.xml\"/></S>"),
              "Property LeftOuterColor not found.");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\NoInner.xml\"/></S>"),
              "Property LeftInnerColor not found.");
}

TEST_F(FrameTest, GradientInterpolatesTheFourCornersOverTheBrushArea) {
    AddStyle("Gradient",
             "LeftIndent=\"1\" TopIndent=\"1\" RightIndent=\"1\" BottomIndent=\"1\" BrushType=\"Gradient\" "
             "GradientLeftTopColor=\"0xFF000000\" GradientRightTopColor=\"0xFF0000FE\" "
             "GradientLeftBottomColor=\"0xFFFE0000\" GradientRightBottomColor=\"0xFFFE00FE\" BorderType=\"None\"",
             false);
    bench.Show("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\Gradient.xml\"/></S>");
    const uint32_t w = kWhite;
    EXPECT_EQ(Block(0, 0, 5, 5), (std::vector<uint32_t>{
                                     w, w,          w,          w,          w,  //
                                     w, 0xFF000000, 0xFF00007F, 0xFF0000FE, w,  //
                                     w, 0xFF7F0000, 0xFF7F007F, 0xFF7F00FE, w,  //
                                     w, 0xFFFE0000, 0xFFFE007F, 0xFFFE00FE, w,  //
                                     w, w,          w,          w,          w}));
}

TEST_F(FrameTest, TileRepeatsFromTheTopLeftCuttingTheLastTilesAndScaleStretchesTheWholeImage) {
    const uint32_t a = 0xFF000001, b = 0xFF000002, c = 0xFF000003, d = 0xFF000004, w = kWhite;
    AddPixels("Tile.bmp", 2, 2, {a, b, c, d});
    AddPixels("Pair.bmp", 2, 1, {a, b});
    AddStyle("Tiled", "LeftIndent=\"1\" TopIndent=\"0\" RightIndent=\"0\" BottomIndent=\"1\" BrushType=\"Tile\" "
                      "Tile=\"Tile.bmp\" BorderType=\"None\"",
             false);
    AddStyle("Scaled", "BrushType=\"Scale\" Tile=\"Pair.bmp\" BorderType=\"None\"");
    bench.Show(
        "<S><Frame Width=\"6\" Height=\"4\" Style=\"S\\Tiled.xml\"/>"
        "<Frame Left=\"10\" Width=\"4\" Height=\"2\" Style=\"S\\Scaled.xml\"/></S>");
    EXPECT_EQ(Block(0, 0, 6, 4), (std::vector<uint32_t>{
                                     w, a, b, a, b, a,  //
                                     w, c, d, c, d, c,  //
                                     w, a, b, a, b, a,  //
                                     w, w, w, w, w, w}));
    EXPECT_EQ(Block(10, 0, 4, 2), (std::vector<uint32_t>{a, a, b, b, a, a, b, b}));
}

TEST_F(FrameTest, ATileImageWithoutPixelsIsSkipped) {
    bench.AddImage("Flat.bmp", 3, 0, kRed);
    bench.AddImage("Thin.bmp", 0, 3, kRed);
    AddStyle("Flat", "BrushType=\"Tile\" Tile=\"Flat.bmp\" BorderType=\"Tile\" Top=\"Flat.bmp\" Left=\"Thin.bmp\"");
    AddStyle("Thin", "BrushType=\"Scale\" Tile=\"Thin.bmp\" BorderType=\"None\"");
    bench.Show(
        "<S><Frame Width=\"6\" Height=\"4\" Style=\"S\\Flat.xml\"/>"
        "<Frame Left=\"10\" Width=\"6\" Height=\"4\" Style=\"S\\Thin.xml\"/></S>");
    EXPECT_EQ(Block(0, 0, 16, 4), std::vector<uint32_t>(64, kWhite));
}

TEST_F(FrameTest, ATileBorderMakesTheMissingImagesByMirroringTheGivenOnes) {
    const uint32_t a = 0xFF000001, b = 0xFF000002, c = 0xFF000003, d = 0xFF000004;
    const uint32_t t1 = 0xFF000011, t2 = 0xFF000012, l1 = 0xFF000021, l2 = 0xFF000022, f = kBlue;
    AddPixels("LT.bmp", 2, 2, {a, b, c, d});
    AddPixels("T.bmp", 1, 2, {t1, t2});
    AddPixels("L.bmp", 2, 1, {l1, l2});
    AddStyle("Tiles", "BrushType=\"Solid\" BrushColor=\"0xFF0000FF\" BorderType=\"Tile\" LeftTop=\"LT.bmp\" Top=\"T.bmp\" "
                      "Left=\"L.bmp\"");
    bench.Show("<S><Frame Width=\"6\" Height=\"5\" Style=\"S\\Tiles.xml\"/></S>");
    EXPECT_EQ(Block(0, 0, 6, 5), (std::vector<uint32_t>{
                                     a,  b,  t1, t1, b,  a,   //
                                     c,  d,  t2, t2, d,  c,   //
                                     l1, l2, f,  f,  l2, l1,  //
                                     c,  d,  t2, t2, d,  c,   //
                                     a,  b,  t1, t1, b,  a}));
}

TEST_F(FrameTest, EachBrushPaintedThroughAClipChangesOnlyTheClipAndMatchesTheWholePaintThere) {
    AddPixels("Tile.bmp", 2, 3, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006});
    AddStyle("Gradient", "BrushType=\"Gradient\" GradientLeftTopColor=\"0xFF000000\" "
                         "GradientRightTopColor=\"0xFF0000FF\" GradientLeftBottomColor=\"0xFFFF0000\" "
                         "GradientRightBottomColor=\"0xFF00FF00\" BorderType=\"Rect\" OuterColor=\"0xFF123456\"");
    AddStyle("Tile", "BrushType=\"Tile\" Tile=\"Tile.bmp\" BorderType=\"Tile\" LeftTop=\"Tile.bmp\" Top=\"Tile.bmp\"");
    AddStyle("Scale", "BrushType=\"Scale\" Tile=\"Tile.bmp\" BorderType=\"None\"");
    for (const char* style : {"S\\Gradient.xml", "S\\Tile.xml", "S\\Scale.xml"}) {
        TGraphFrame frame(bench.Context, 0, 0, 9, 7, style);
        TBitmap32 whole;
        whole.SetSize(11, 9);
        frame.Paint(TPaintContext(whole, 1, 1, {0, 0, 11, 9}));
        TBitmap32 part;
        part.SetSize(11, 9);
        part.FillRect({0, 0, 10, 8}, 0xFFABCDEF);
        const TRect clip{3, 2, 8, 6};
        frame.Paint(TPaintContext(part, 1, 1, clip));
        for (int32_t y = 0; y < 9; ++y) {
            for (int32_t x = 0; x < 11; ++x) {
                const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
                EXPECT_EQ(part.Row(y)[x], inside ? whole.Row(y)[x] : 0xFFABCDEFu) << style << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(FrameTest, ABadStyleFailsWithItsMessage) {
    AddStyle("Brush", "BrushType=\"Hatch\" BorderType=\"None\"");
    AddStyle("Border", "BrushType=\"None\" BorderType=\"Round\"");
    AddStyle("Image", "BrushType=\"Tile\" Tile=\"Missing.bmp\" BorderType=\"None\"");
    AddStyle("NoIndent", "BrushType=\"None\" BorderType=\"None\"", false);
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\Brush.xml\"/></S>"),
              "Неизвестный тип заливки BrushType=\"Hatch\".");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\Border.xml\"/></S>"),
              "Неизвестный тип рамки BorderType=\"Round\".");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\Image.xml\"/></S>"),
              "В списке ресурсов не найдено изображение 'Missing.bmp'.");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\NoIndent.xml\"/></S>"),
              "Property LeftIndent not found.");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Height=\"5\" Style=\"S\\None.xml\"/></S>"),
              "В списке ресурсов не найден XML 'S\\None.xml'.");
    EXPECT_EQ(ErrorOf("<S><Frame Width=\"5\" Style=\"S\\Brush.xml\"/></S>"), "Property Height not found.");
}

TEST_F(FrameTest, ATransparentFrameLetsTheMouseThroughButItsChildrenStillTakeIt) {
    AddStyle("Plain", "BrushType=\"None\" BorderType=\"None\"");
    bench.Show(
        "<S><Frame Name=\"Below\" Width=\"50\" Height=\"50\" Style=\"S\\Plain.xml\"/>"
        "<Frame Name=\"Glass\" Width=\"50\" Height=\"50\" Style=\"S\\Plain.xml\" Transparent=\"true\">"
        "<Frame Name=\"Child\" Left=\"10\" Top=\"10\" Width=\"10\" Height=\"10\" Style=\"S\\Plain.xml\"/>"
        "<Unknown><Frame Name=\"Lost\" Width=\"50\" Height=\"50\" Style=\"S\\Plain.xml\"/></Unknown>"
        "</Frame></S>");
    EXPECT_EQ(bench.Container->ControlAt(5, 5), &bench.Find("Below"));
    EXPECT_EQ(bench.Container->ControlAt(15, 15), &bench.Find("Child"));
    EXPECT_EQ(bench.Container->Controls().FindControl("Lost"), nullptr);
}

// --- ExternalFrame and Include ---

class IncludeTest : public FrameTest {
protected:
    IncludeTest() {
        AddStyle("Red", "BrushType=\"Solid\" BrushColor=\"0xFFFF0000\" BorderType=\"None\"");
        AddStyle("Blue", "BrushType=\"Solid\" BrushColor=\"0xFF0000FF\" BorderType=\"None\"");
        bench.AddXml("X\\Panel.xml",
                     "<Frame Name=\"Panel\" Left=\"5\" Top=\"6\" Width=\"20\" Height=\"10\" Style=\"S\\Red.xml\">"
                     "<Frame Name=\"Inner\" Left=\"2\" Top=\"2\" Width=\"3\" Height=\"3\" Style=\"S\\Blue.xml\"/>"
                     "</Frame>");
    }
};

TEST_F(IncludeTest, AnExternalFrameIsTheFrameOfItsDocumentWhateverItsOwnAttributesSay) {
    auto* frame = bench.Show("<S><ExternalFrame XML=\"X\\Panel.xml\" Name=\"Other\" Left=\"90\"/></S>");
    ASSERT_NE(dynamic_cast<TGraphExternalFrame*>(frame), nullptr);
    EXPECT_EQ(frame->Name(), "Panel");
    EXPECT_EQ(frame->Left(), 5);
    EXPECT_EQ(bench.Pixel(5, 6), kRed);
    EXPECT_EQ(bench.Pixel(7, 8), kBlue);
    EXPECT_EQ(&bench.Find("Inner"), frame->Controls().First());
}

TEST_F(IncludeTest, AnIncludeBuildsTheRootsClassAndItsOwnAttributesWin) {
    bench.Show(
        "<S><Include XML=\"X\\Panel.xml\" Name=\"First\" Left=\"40\" Hint=\"[eng]here\"/>"
        "<Include XML=\"X\\Panel.xml\" Top=\"30\"/></S>");
    auto& first = bench.Find<TGraphFrame>("First");
    EXPECT_EQ(typeid(first), typeid(TGraphFrame));
    EXPECT_EQ(first.Left(), 40);
    EXPECT_EQ(first.Top(), 6);
    EXPECT_EQ(first.Hint, u"[eng]here");
    auto& second = bench.Find<TGraphFrame>("Panel");
    EXPECT_EQ(second.Left(), 5);
    EXPECT_EQ(second.Top(), 30);
    EXPECT_EQ(bench.Pixel(42, 8), kBlue);
    EXPECT_EQ(bench.Pixel(7, 32), kBlue);
    EXPECT_EQ(bench.Pixel(5, 8), kWhite);  // nothing remains at the document's own place
}

TEST_F(IncludeTest, AnIncludedButtonTakesThePlaceOfTheInclude) {
    bench.AddFont("Fonts\\Dot.fnt", u"ab", 4);
    bench.AddImage("Buttons\\Plain\\normal.bmp", 20, 14, kWhite);
    bench.AddImage("Buttons\\Plain\\pressed.bmp", 20, 14, kWhite);
    bench.AddXml("XML\\Styles\\Button.xml",
                 "<Button Font=\"Fonts\\Dot.fnt\" ButtonFolder=\"Buttons\\Plain\" NormalTextColor=\"0xFF000001\" "
                 "HotTextColor=\"0xFF000002\" PressedTextColor=\"0xFF000003\" DisabledTextColor=\"0xFF000004\"/>");
    bench.AddXml("X\\OK.xml", "<Button Name=\"OK\" Style=\"XML\\Styles\\Button.xml\" Left=\"0\" Top=\"0\" Caption=\"ab\"/>");
    bench.Show("<S><Include XML=\"X\\OK.xml\" Left=\"50\" Top=\"60\"/></S>");
    auto& button = bench.Find<TGraphTextButton>("OK");
    EXPECT_EQ(button.Left(), 50);
    EXPECT_EQ(button.Top(), 60);
    EXPECT_EQ(bench.Container->ControlAt(55, 65), &button);
}

TEST_F(IncludeTest, AnIncludeOfAnUnknownRootOrAMissingDocumentFails) {
    bench.AddXml("X\\Bogus.xml", "<Bogus Width=\"1\"/>");
    EXPECT_EQ(ErrorOf("<S><Include XML=\"X\\Bogus.xml\"/></S>"), "Неизвестный класс графического элемента Bogus.");
    EXPECT_EQ(ErrorOf("<S><Include XML=\"X\\None.xml\"/></S>"), "В списке ресурсов не найден XML 'X\\None.xml'.");
    EXPECT_EQ(ErrorOf("<S><Include/></S>"), "Property XML not found.");
}

TEST_F(IncludeTest, ADocumentThatIncludesItselfIsRefusedAndOthersStillBuild) {
    bench.AddXml("X\\Self.xml", "<Frame Width=\"5\" Height=\"5\" Style=\"S\\Red.xml\"><Include XML=\"X\\Self.xml\"/></Frame>");
    bench.AddXml("X\\A.xml", "<Frame Width=\"5\" Height=\"5\" Style=\"S\\Red.xml\"><ExternalFrame XML=\"X\\B.xml\"/></Frame>");
    bench.AddXml("X\\B.xml", "<Frame Width=\"5\" Height=\"5\" Style=\"S\\Red.xml\"><Include XML=\"X\\A.xml\"/></Frame>");
    EXPECT_EQ(ErrorOf("<S><Include XML=\"X\\Self.xml\"/></S>"),
              "Документ X\\Self.xml включает сам себя: X\\Self.xml -> X\\Self.xml.");
    EXPECT_EQ(ErrorOf("<S><ExternalFrame XML=\"X\\A.xml\"/></S>"),
              "Документ X\\A.xml включает сам себя: X\\A.xml -> X\\B.xml -> X\\A.xml.");
    // One document at several places, side by side, is no cycle.
    bench.AddXml("X\\Twice.xml",
                 "<Frame Width=\"50\" Height=\"50\" Style=\"S\\Blue.xml\"><Include XML=\"X\\Panel.xml\" Name=\"P1\"/>"
                 "<Include XML=\"X\\Panel.xml\" Name=\"P2\"/><ExternalFrame XML=\"X\\Panel.xml\"/></Frame>");
    bench.Show("<S><Include XML=\"X\\Twice.xml\"/></S>");
    EXPECT_NE(bench.Container->Controls().FindControl("P2"), nullptr);
}

// --- limits on what documents build ---

// Documents "X\<stem><level>.xml" for the levels first..last: each a frame that includes the next
// level `times` times, the last an empty frame.
void AddChain(TControlBench& bench, const std::string& stem, int first, int last, int times) {
    for (int level = first; level <= last; ++level) {
        std::string xml = "<Frame Width=\"5\" Height=\"5\" Style=\"S\\Red.xml\">";
        if (level < last) {
            for (int i = 0; i < times; ++i) xml += "<Include XML=\"X\\" + stem + std::to_string(level + 1) + ".xml\"/>";
        }
        bench.AddXml("X\\" + stem + std::to_string(level) + ".xml", xml + "</Frame>");
    }
}

TEST_F(IncludeTest, DocumentsNestAtMostThirtyTwoDeep) {
    AddChain(bench, "N", 0, 32, 1);
    bench.Show("<S><Include XML=\"X\\N1.xml\" Name=\"Deep\"/></S>");  // 32 documents
    EXPECT_EQ(bench.Find("Deep").Controls().Count(), 1);
    EXPECT_EQ(ErrorOf("<S><Include XML=\"X\\N0.xml\"/></S>"),
              "Document X\\N32.xml: documents nested deeper than 32.");
    EXPECT_EQ(bench.Context.Build.DocumentDepth(), 0);
}

TEST_F(IncludeTest, ADocumentThatDoublesAtEveryLevelIsRefusedAtTheControlLimit) {
    // 2^31 frames asked for; the product's limit stops the build long before.
    AddChain(bench, "D", 0, 30, 2);
    const int32_t before = bench.Context.Build.ControlCount();
    EXPECT_EQ(ErrorOf("<S><Include XML=\"X\\D0.xml\"/></S>"), "Document X\\D0.xml: more than 100000 controls.");
    // The half-built tree is gone and counted out: the next document builds.
    EXPECT_EQ(bench.Context.Build.ControlCount(), before);
    EXPECT_EQ(bench.Context.Build.DocumentDepth(), 0);
    bench.Show("<S><Include XML=\"X\\D29.xml\" Name=\"Small\"/></S>");
    EXPECT_EQ(bench.Find("Small").Controls().Count(), 2);
}

TEST_F(IncludeTest, ATreeUpToTheControlLimitBuilds) {
    const auto frames = [](int count) {
        std::string xml = "<S><Frame Width=\"9\" Height=\"9\" Style=\"S\\Red.xml\">";
        for (int i = 1; i < count; ++i) xml += "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Blue.xml\"/>";
        return xml + "</Frame></S>";
    };
    TSkinBuild& build = bench.Context.Build;
    build.SetMaxControls(build.ControlCount() + 50);
    const std::string limit = std::to_string(build.MaxControls());
    EXPECT_EQ(ErrorOf(frames(51)), "More than " + limit + " controls.");
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(ErrorOf(frames(51)), "Графических элементов больше " + limit + ".");
    Languages->SelectLanguage(u"eng");
    bench.Show(frames(50));
    EXPECT_EQ(build.ControlCount(), build.MaxControls());
}

}  // namespace
}  // namespace marlowen::testing
