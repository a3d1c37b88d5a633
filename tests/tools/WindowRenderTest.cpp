#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "../skin/ControlTestSupport.h"
#include "ScreenRender.h"

namespace marlowen::fstool {
namespace {

using marlowen::testing::TControlBench;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;

// A 6 x 4 window whose active background leaves its top row out of the shape, a passive
// background that covers everything, and a lamp that shows while the form is active.
class WindowRenderTest : public ::testing::Test {
protected:
    WindowRenderTest() {
        Style("Active", "TopIndent=\"1\"", "0xFFFF0000");
        Style("Passive", "TopIndent=\"0\"", "0xFF0000FF");
        Style("Lamp", "TopIndent=\"0\"", "0xFF00FF00");
        Bench.AddXml("L\\Active.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Active.xml\"/>");
        Bench.AddXml("L\\Passive.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Passive.xml\"/>");
        Bench.AddXml("XML\\Window.xml",
                     "<Window Left=\"300\" Top=\"200\" Width=\"6\" Height=\"4\" ActiveBackground=\"L\\Active.xml\" "
                     "PassiveBackground=\"L\\Passive.xml\">"
                     "<If ActiveWindow=\"true\"><Frame Left=\"4\" Top=\"2\" Width=\"1\" Height=\"1\" "
                     "Style=\"S\\Lamp.xml\"/></If></Window>");
        Bench.AddXml("XML\\Screen.xml", "<Screen Width=\"6\" Height=\"4\"/>");
    }
    void Style(const std::string& name, const std::string& top, const std::string& colour) {
        Bench.AddXml("S\\" + name + ".xml", "<Frame LeftIndent=\"0\" " + top +
                                                " RightIndent=\"0\" BottomIndent=\"0\" BrushType=\"Solid\" "
                                                "BrushColor=\"" + colour + "\" BorderType=\"None\"/>");
    }
    TRenderedScreen Render(const std::string& document, bool passive = false) {
        TScreenRequest request;
        request.Document = document;
        request.Passive = passive;
        return RenderScreen(Bench.Context, Bench.Machine.Windows, request);
    }
    static uint32_t At(const TRenderedScreen& screen, int32_t x, int32_t y) {
        return screen.Pixels[static_cast<size_t>(y * screen.Width + x)];
    }

    TControlBench Bench;
};

TEST_F(WindowRenderTest, AnActiveWindowShowsItsActiveLayersAndIsCutToItsShape) {
    const TRenderedScreen screen = Render("XML\\Window.xml");
    EXPECT_TRUE(screen.Shaped);
    ASSERT_EQ(screen.Width, 6);
    ASSERT_EQ(screen.Height, 4);
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(At(screen, x, 0), 0u);  // outside the shape
    EXPECT_EQ(At(screen, 0, 1), kRed);  // the window fills the client area wherever its document puts it
    EXPECT_EQ(At(screen, 5, 3), kRed);
    EXPECT_EQ(At(screen, 4, 2), kGreen);
}

TEST_F(WindowRenderTest, APassiveWindowShowsItsPassiveLayersWithinTheActiveShape) {
    const TRenderedScreen screen = Render("XML\\Window.xml", true);
    EXPECT_TRUE(screen.Shaped);
    EXPECT_EQ(At(screen, 3, 0), 0u);  // the shape is the active background's
    EXPECT_EQ(At(screen, 3, 1), kBlue);
    EXPECT_EQ(At(screen, 4, 2), kBlue);  // "ActiveWindow" is false: the lamp is hidden
}

TEST_F(WindowRenderTest, OtherDocumentsAreNotShapedAndHaveNoPassiveLook) {
    EXPECT_FALSE(Render("XML\\Screen.xml").Shaped);
    try {
        Render("XML\\Screen.xml", true);
        FAIL() << "rendered";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "the passive look needs a window document (a root with \"ActiveBackground\")");
    }
}

TEST_F(WindowRenderTest, APageLiesOverTheWindowBeneathItsForegroundAndTakesTheTextsPageCodeWouldGive) {
    Style("Clear", "TopIndent=\"0\"", "0x00000000");
    Bench.AddXml("L\\Fore.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Clear.xml\">"
                                "<Frame Left=\"0\" Top=\"3\" Width=\"1\" Height=\"1\" Style=\"S\\Lamp.xml\"/></Frame>");
    Bench.AddXml("XML\\Layered.xml", "<Window Width=\"6\" Height=\"4\" ActiveBackground=\"L\\Active.xml\" "
                                     "PassiveBackground=\"L\\Passive.xml\" ActiveForeground=\"L\\Fore.xml\"/>");
    Bench.AddXml("XML\\Page.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Passive.xml\">"
                                  "<ProgressBar Name=\"Bar\" Left=\"1\" Top=\"2\" Width=\"4\" Height=\"1\" "
                                  "Visible=\"false\" FillColor=\"0xFFFF0000\"/></Frame>");
    TScreenRequest request;
    request.Document = "XML\\Layered.xml";
    request.Page = "XML\\Page.xml";
    request.Texts = {{"bar", "50"}};
    const TRenderedScreen screen = RenderScreen(Bench.Context, Bench.Machine.Windows, request);
    EXPECT_EQ(At(screen, 0, 0), 0u);      // still the window's shape
    EXPECT_EQ(At(screen, 5, 1), kBlue);   // the page fills the window
    EXPECT_EQ(At(screen, 0, 3), kGreen);  // the foreground stays over it
    EXPECT_EQ(At(screen, 2, 2), kRed);    // shown, half full
    EXPECT_EQ(At(screen, 3, 2), kBlue);

    request.Texts = {{"bar", "half"}};
    EXPECT_THROW(RenderScreen(Bench.Context, Bench.Machine.Windows, request), Exception);
    request.Document = "XML\\Screen.xml";
    request.Texts.clear();
    EXPECT_THROW(RenderScreen(Bench.Context, Bench.Machine.Windows, request), Exception);
}

}  // namespace
}  // namespace marlowen::fstool
