#include "ControlTestSupport.h"

#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "skin/GraphLabels.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kInk = 0xFF000000;
constexpr uint32_t kHot = 0xFFFF0000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// Dot glyphs 4 pixels apart: every character paints one pixel at its top-left, 2 pixels above
// the baseline of a 10-pixel line (ascent 8).
class LabelTest : public ::testing::Test {
protected:
    LabelTest() { bench.AddFont("Fonts\\Dot.fnt", u"abcdefghijklmnopqrstuvwxyz %!", 4); }

    TGraphTextLabel& ShowLabel(const std::string& attributes) {
        return static_cast<TGraphTextLabel&>(*bench.Show(
            "<Screen><Label Name=\"L\" Font=\"Fonts\\Dot.fnt\" TextColor=\"0xFF000000\" " + attributes + "/></Screen>"));
    }
    // The x of every ink dot on row y between x0 and x1.
    std::string InkOnRow(int32_t y, int32_t x0 = 0, int32_t x1 = TControlBench::kWidth) {
        std::string dots;
        for (int32_t x = x0; x < x1; ++x) {
            if (bench.Pixel(x, y) == kWhite || bench.Pixel(x, y) == 0) continue;
            dots += (dots.empty() ? "" : " ") + std::to_string(x);
        }
        return dots;
    }

    TControlBench bench;
};

TEST_F(LabelTest, AutoSizeMeasuresTheCaptionAndAlignmentPlacesIt) {
    TGraphTextLabel& label = ShowLabel("Left=\"10\" Top=\"20\" Caption=\"abc\"");
    EXPECT_EQ(label.Width(), 12);  // three 4-pixel advances
    EXPECT_EQ(label.Height(), 10);
    EXPECT_EQ(InkOnRow(20), "10 14 18");

    // Fixed size: right and bottom alignment move the text, the rest stays white.
    TGraphTextLabel& right = ShowLabel(
        "Left=\"0\" Top=\"40\" Width=\"30\" Height=\"20\" Caption=\"ab\" Alignment=\"right\" "
        "VerticalAlignment=\"Bottom\"");
    EXPECT_FALSE(right.AutoSize());
    EXPECT_EQ(InkOnRow(50, 0, 30), "22 26");
    TGraphTextLabel& centre = ShowLabel(
        "Left=\"0\" Top=\"70\" Width=\"31\" Height=\"13\" Caption=\"ab\" Alignment=\"Center\" "
        "VerticalAlignment=\"Center\"");
    (void)centre;
    EXPECT_EQ(InkOnRow(71, 0, 31), "11 15");  // (31 - 8) / 2 = 11, (13 - 10) / 2 = 1
}

// A text control hears the language registry its context hands it, not the process-wide one, and
// a registry that goes first leaves nothing behind for the control to reach (ASan would tell).
TEST_F(LabelTest, TextControlsFollowTheLanguagesOfTheirContextAndMayOutliveThem) {
    auto languages = std::make_unique<TLanguages>();
    languages->Add(std::make_unique<TLanguage>(u"eng", u"English"));
    const TSkinContext context{bench.Resources, bench.Context.Elements, bench.Context.Platform, *languages};
    const int32_t processWide = Languages->NotificationCount();
    auto label = std::make_unique<TGraphTextLabel>(context, nullptr, kInk, true);
    EXPECT_EQ(languages->NotificationCount(), 1);
    EXPECT_EQ(Languages->NotificationCount(), processWide);
    languages.reset();
    label.reset();
    EXPECT_EQ(Languages->NotificationCount(), processWide);
}

TEST_F(LabelTest, ShadowIsDrawnBelowAndRightAndTheTextIsClippedToTheLabel) {
    ShowLabel("Left=\"0\" Top=\"0\" Caption=\"a\" Shadow=\"true\" ShadowColor=\"0xFF00FF00\"");
    EXPECT_EQ(bench.Pixel(0, 0), kInk);
    EXPECT_EQ(bench.Pixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(bench.Find<TGraphTextLabel>("L").Width(), 5);  // one more for the shadow

    // Text wider than a fixed-size label is cut at its right edge.
    ShowLabel("Left=\"100\" Top=\"50\" Width=\"6\" Height=\"10\" Caption=\"abc\"");
    EXPECT_EQ(InkOnRow(50, 100, 120), "100 104");
}

TEST_F(LabelTest, MaskTakesTheCaptionOnceAndKeepsDoubledPercentSigns) {
    TGraphTextLabel& label = ShowLabel("Left=\"0\" Top=\"0\" Caption=\"ab\" Mask=\"%s %% %s %d!\"");
    EXPECT_EQ(label.Text().Text(), u"ab %  !");
}

TEST_F(LabelTest, CentredAutoSizeKeepsItsCentreAcrossALanguageChange) {
    TGraphTextLabel& label = ShowLabel(
        "Left=\"50\" Top=\"0\" Width=\"40\" Alignment=\"Center\" Caption=\"[rus]abcdefgh[eng]ab\"");
    // Width is present, Height is not: auto-size is on and Width seeds the first placement.
    EXPECT_TRUE(label.AutoSize());
    EXPECT_EQ(label.Left(), 50 + 20 - 4);
    EXPECT_EQ(label.Width(), 8);
    const int32_t centre = label.Left() + label.Width() / 2;
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(label.Width(), 32);
    EXPECT_EQ(label.Left() + label.Width() / 2, centre);
    Languages->SelectLanguage(u"eng");
    EXPECT_EQ(label.Width(), 8);
    EXPECT_EQ(label.Left() + label.Width() / 2, centre);
}

TEST_F(LabelTest, AFailingTextChangedHandlerLeavesTheLabelRepainting) {
    TGraphTextLabel& label = ShowLabel("Left=\"10\" Top=\"20\" Caption=\"a\"");
    label.OnTextChanged = [](TCustomGraphControl&) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(label.SetCaption(u"ab"), std::runtime_error);
    bench.Pump();
    EXPECT_EQ(InkOnRow(20), "10 14");  // laid out, auto-sized and painted all the same
    label.OnTextChanged = nullptr;
    label.SetCaption(u"abc");
    bench.Pump();
    EXPECT_EQ(InkOnRow(20), "10 14 18");
}

TEST_F(LabelTest, HoverSwitchesToTheHotColourAndAClickOpensTheCommand) {
    TGraphTextLabel& label = ShowLabel(
        "Left=\"0\" Top=\"0\" Caption=\"ab\" HotTextColor=\"0xFFFF0000\" Transparent=\"false\" "
        "Cursor=\"HandPoint\" Command=\"https://example.org/\"");
    bench.Host().MoveMouse(2, 2);
    bench.Pump();
    EXPECT_TRUE(label.Hot());
    EXPECT_EQ(bench.Pixel(0, 0), kHot);
    EXPECT_EQ(bench.Windows().Cursor(), CursorId::HandPoint);
    bench.Host().PressLeft(2, 2);
    ASSERT_EQ(bench.Machine.Shell.Started().size(), 1u);
    EXPECT_EQ(bench.Machine.Shell.Started()[0].Verb, "open");
    EXPECT_EQ(bench.Machine.Shell.Started()[0].File, "https://example.org/");
    EXPECT_EQ(bench.Machine.Shell.Started()[0].ShowCommand, 0);
    bench.Host().LeavePointer();
    bench.Pump();
    EXPECT_FALSE(label.Hot());
    EXPECT_EQ(bench.Pixel(0, 0), kInk);

    // A click handler takes the place of the command.
    int clicks = 0;
    label.OnClick = [&](TCustomGraphControl&) { ++clicks; };
    bench.Host().PressLeft(2, 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bench.Machine.Shell.Started().size(), 1u);
}

TEST_F(LabelTest, LabelsAreTransparentToTheMouseByDefault) {
    ShowLabel("Left=\"0\" Top=\"0\" Caption=\"ab\"");
    EXPECT_EQ(bench.Container->ControlAt(1, 1), nullptr);
}

TEST_F(LabelTest, BadAttributesAreRefusedWithTheirMessages) {
    EXPECT_THROW(ShowLabel("Left=\"0\" Top=\"0\" Alignment=\"Middle\""), EMultiLanguageException);
    try {
        ShowLabel("Left=\"0\" Top=\"0\" VerticalAlignment=\"Middle\"");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Invalid value VerticalAlignment=\"Middle\".");
    }
    try {
        bench.Show("<Screen><Label Left=\"0\" Font=\"Fonts\\Dot.fnt\" TextColor=\"0\"/></Screen>");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Property Top not found.");
    }
    EXPECT_THROW(ShowLabel("Left=\"0\" Top=\"0\" Font=\"Fonts\\None.fnt\""), EFontNotFound);
}

}  // namespace
}  // namespace marlowen::testing
