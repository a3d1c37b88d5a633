#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "core/Languages.h"
#include "../skin/ControlTestSupport.h"
#include "ScreenRender.h"
#include "core/StringHash.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/PaintContext.h"
#include "skin/SkinLibrary.h"
#include "TestFolders.h"

namespace marlowen::fstool {
namespace {

using marlowen::testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kHover = 0xFF0000FF;
constexpr uint32_t kPressed = 0xFFFF0000;
constexpr uint32_t kFocus = 0xFF00FF00;

// A test control that shows its state: its "Color" (grey by default), blue while the pointer is
// over it, red once pressed, a green 2 x 2 corner while focused, and its frame as the colour of
// its top-right pixel.
class TSwatch : public TCustomGraphControl {
public:
    using TCustomGraphControl::TCustomGraphControl;

    void LoadFromXML(const TXMLNode& node) override {
        TCustomGraphControl::LoadFromXML(node);
        Color = node.Attributes().GetColorDef("Color", 0xFF808080);
        CreateChildren(node);
    }
    void Paint(const TPaintContext& paint) override {
        paint.FillRect({0, 0, Width(), Height()}, Pressed ? kPressed : MouseInside() ? kHover : Color);
        if (Focused()) paint.FillRect({0, 0, 2, 2}, kFocus);
        if (Frame() != 0) paint.FillRect({Width() - 1, 0, Width(), 1}, 0xFF000000 | static_cast<uint32_t>(Frame()));
    }
    void DoLButtonDown(int32_t, int32_t, TShiftState) override {
        Pressed = true;
        CaptureMouse();
        Invalidate();
    }
    void DoMouseEnter() override { Invalidate(); }
    void DoMouseLeave() override { Invalidate(); }
    void DoFrameChanged() override { Invalidate(); }

    uint32_t Color = 0;
    bool Pressed = false;
};

class ScreenRenderTest : public ::testing::Test {
protected:
    ScreenRenderTest() : Context{Bench.Resources, Elements, Bench.Machine.Platform(), *Languages} {
        Elements.Register("Swatch", &CreateElementOf<TSwatch>);
        RegisterConditionElements(Elements);
    }

    TRenderedScreen Render(const std::string& xml, TScreenRequest request = {}) {
        Bench.AddXml("XML\\Screen.xml", xml);
        request.Document = "XML\\Screen.xml";
        return RenderScreen(Context, Bench.Machine.Windows, request);
    }
    std::string Failure(const std::string& xml, TScreenRequest request = {}) {
        try {
            Render(xml, std::move(request));
        } catch (const Exception& e) {
            return e.Message();
        }
        return "(no error)";
    }
    static uint32_t At(const TRenderedScreen& screen, int32_t x, int32_t y) {
        return screen.Pixels[static_cast<size_t>(y * screen.Width + x)];
    }

    TControlBench Bench;
    TGraphElementRegistry Elements;
    TSkinContext Context;
};

// Two swatches side by side on a 40 x 20 screen: A at x 0..9, B at x 20..29.
const char* const kTwo =
    "<Screen Width=\"40\" Height=\"20\">"
    "<Swatch Name=\"A\" Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" TabStop=\"true\"/>"
    "<Swatch Name=\"B\" Left=\"20\" Top=\"0\" Width=\"10\" Height=\"10\" TabStop=\"true\"/>"
    "<Swatch Name=\"C\" Left=\"0\" Top=\"12\" Width=\"10\" Height=\"8\"/>"
    "</Screen>";

TEST_F(ScreenRenderTest, AnUnknownRootLendsItsSizeAndItsKnownChildrenBecomeRoots) {
    const TRenderedScreen screen = Render(
        "<Screen Width=\"60\" Height=\"30\">"
        "<Swatch Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" Color=\"0xFF112233\"/>"
        "<Panel><Swatch Left=\"30\" Top=\"0\" Width=\"10\" Height=\"10\" Color=\"0xFF445566\"/></Panel>"
        "<Swatch Left=\"15\" Top=\"5\" Width=\"10\" Height=\"10\" Color=\"0xFF778899\"/>"
        "</Screen>");
    ASSERT_EQ(screen.Width, 60);
    ASSERT_EQ(screen.Height, 30);
    ASSERT_EQ(screen.Pixels.size(), 60u * 30u);
    EXPECT_EQ(At(screen, 5, 5), 0xFF112233u);
    EXPECT_EQ(At(screen, 20, 8), 0xFF778899u);
    EXPECT_EQ(At(screen, 35, 5), kWhite) << "an unknown element is skipped with everything below it";
    EXPECT_EQ(At(screen, 59, 29), kWhite);
}

TEST_F(ScreenRenderTest, AKnownRootIsTheScreensOneControl) {
    const TRenderedScreen screen = Render(
        "<Swatch Left=\"0\" Top=\"0\" Width=\"30\" Height=\"20\" Color=\"0xFF101010\">"
        "<Swatch Left=\"5\" Top=\"5\" Width=\"4\" Height=\"4\" Color=\"0xFF202020\"/></Swatch>");
    EXPECT_EQ(screen.Width, 30);
    EXPECT_EQ(screen.Height, 20);
    EXPECT_EQ(At(screen, 1, 1), 0xFF101010u);
    EXPECT_EQ(At(screen, 6, 6), 0xFF202020u);
}

TEST_F(ScreenRenderTest, SizeComesFromTheRequestThenTheRootThenTheSetupWindow) {
    EXPECT_EQ(Render("<Screen/>").Width, kDefaultScreenWidth);
    EXPECT_EQ(Render("<Screen Width=\"50\"/>").Height, kDefaultScreenHeight);
    TScreenRequest request;
    request.Width = 100;
    request.Height = 7;
    const TRenderedScreen asked = Render("<Screen Width=\"50\" Height=\"60\"/>", request);
    EXPECT_EQ(asked.Width, 100);
    EXPECT_EQ(asked.Height, 7);
    EXPECT_EQ(Failure("<Screen Width=\"0\"/>"), "the document's Width 0 is outside 1..4096");
    EXPECT_EQ(Failure("<Screen Height=\"5000\"/>"), "the document's Height 5000 is outside 1..4096");
}

TEST_F(ScreenRenderTest, HoverAndPressReachTheNamedControlIgnoringCase) {
    TScreenRequest hover;
    hover.Hover = "b";
    const TRenderedScreen hovered = Render(kTwo, hover);
    EXPECT_EQ(At(hovered, 5, 5), 0xFF808080u);
    EXPECT_EQ(At(hovered, 25, 5), kHover);

    TScreenRequest press;
    press.Press = "A";
    const TRenderedScreen pressed = Render(kTwo, press);
    EXPECT_EQ(At(pressed, 5, 5), kPressed);
    EXPECT_EQ(At(pressed, 25, 5), 0xFF808080u);
}

TEST_F(ScreenRenderTest, ThePointerFindsAPartOfTheControlThatTakesTheMouse) {
    // D's middle lies under E, a later sibling; only D's left part is D's own.
    TScreenRequest hover;
    hover.Hover = "D";
    const TRenderedScreen screen = Render(
        "<Screen Width=\"40\" Height=\"20\">"
        "<Swatch Name=\"D\" Left=\"0\" Top=\"0\" Width=\"20\" Height=\"20\"/>"
        "<Swatch Name=\"E\" Left=\"5\" Top=\"0\" Width=\"20\" Height=\"20\"/>"
        "</Screen>",
        hover);
    EXPECT_EQ(At(screen, 2, 10), kHover);
    EXPECT_EQ(At(screen, 15, 10), 0xFF808080u) << "E stays as it was";
}

TEST_F(ScreenRenderTest, FocusGoesByTabOrDirectlyToAControlTabDoesNotReach) {
    // The corner's inner pixel: the outermost ones carry the focus rectangle (black: the
    // packs define no default style).
    TScreenRequest second;
    second.Focus = "B";
    const TRenderedScreen byTab = Render(kTwo, second);
    EXPECT_EQ(At(byTab, 21, 1), kFocus);
    EXPECT_EQ(At(byTab, 20, 0), 0xFF000000u);
    EXPECT_NE(At(byTab, 1, 1), kFocus);

    TScreenRequest direct;
    direct.Focus = "C";
    const TRenderedScreen given = Render(kTwo, direct);
    EXPECT_EQ(At(given, 1, 13), kFocus);
    EXPECT_EQ(At(given, 0, 12), 0xFF000000u) << "a control focused directly shows the rectangle too";
    EXPECT_NE(At(given, 1, 1), kFocus);
    EXPECT_NE(At(given, 21, 1), kFocus);
}

TEST_F(ScreenRenderTest, ConditionsReachEveryConditionBlockAsText) {
    const char* panel =
        "<Screen Width=\"40\" Height=\"10\">"
        "<Swatch Left=\"0\" Top=\"0\" Width=\"40\" Height=\"10\" Color=\"0xFFFFFFFF\">"
        "<If Mode=\"dark\"><Swatch Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" Color=\"0xFF000000\"/></If>"
        "<IfNot Mode=\"dark\"><Swatch Left=\"20\" Top=\"0\" Width=\"10\" Height=\"10\" Color=\"0xFFEEEEEE\"/></IfNot>"
        "</Swatch></Screen>";
    const TRenderedScreen none = Render(panel);
    EXPECT_EQ(At(none, 5, 5), 0xFF000000u) << "no value: both stay visible";
    EXPECT_EQ(At(none, 25, 5), 0xFFEEEEEEu);

    TScreenRequest dark;
    dark.Conditions = {{"Mode", "DARK"}};
    const TRenderedScreen darkScreen = Render(panel, dark);
    EXPECT_EQ(At(darkScreen, 5, 5), 0xFF000000u);
    EXPECT_EQ(At(darkScreen, 25, 5), kWhite);

    TScreenRequest light;
    light.Conditions = {{"Other", "x"}, {"Mode", "light"}};
    const TRenderedScreen lightScreen = Render(panel, light);
    EXPECT_EQ(At(lightScreen, 5, 5), kWhite);
    EXPECT_EQ(At(lightScreen, 25, 5), 0xFFEEEEEEu);
}

TEST_F(ScreenRenderTest, TheClockRunsUntilAnimationsEndWithinTheLimit) {
    const uint32_t start = Bench.Machine.Application.TickCount();
    const TRenderedScreen played = Render(
        "<Screen Width=\"10\" Height=\"10\"><Swatch Width=\"10\" Height=\"10\" Animated=\"true\" FirstFrame=\"1\" "
        "LastFrame=\"5\" RepeatCount=\"1\" FrameTime=\"40\"/></Screen>");
    EXPECT_EQ(At(played, 9, 0), 0xFF000005u) << "the last frame stays";
    const uint32_t afterPlay = Bench.Machine.Application.TickCount();
    EXPECT_LT(afterPlay - start, 1000u);

    Render("<Screen Width=\"10\" Height=\"10\"><Swatch Width=\"10\" Height=\"10\" Animated=\"true\" FirstFrame=\"1\" "
           "LastFrame=\"5\" RepeatCount=\"0\" FrameTime=\"40\"/></Screen>");
    const uint32_t endless = Bench.Machine.Application.TickCount() - afterPlay;
    EXPECT_GE(endless, kSettleLimitMs);
    EXPECT_LT(endless, kSettleLimitMs + 100);
}

TEST_F(ScreenRenderTest, ErrorsAreTheSystemsOwnMessages) {
    TScreenRequest missing;
    missing.Document = "XML\\Nowhere.xml";
    try {
        RenderScreen(Context, Bench.Machine.Windows, missing);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "В списке ресурсов не найден XML 'XML\\Nowhere.xml'.");
    }
    TScreenRequest unknown;
    unknown.Press = "Nope";
    EXPECT_EQ(Failure(kTwo, unknown), "TCustomGraphControl 'Nope' not found.");
    EXPECT_EQ(Failure("<Screen><Swatch Animated=\"true\" FirstFrame=\"1\"/></Screen>"),
              "Property LastFrame not found.");
}

// The default skin's gallery, from the packs the build made: it names every control kind, builds
// into a page of about 40 controls, and its states show.
class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef MARLOWEN_HAS_DIST
        GTEST_SKIP() << "this build packs no skin";
#else
        Packs = std::make_unique<THeadlessFileSystem>(testing::DistributionFolder());
        Library.Start(*Packs, Bench.Machine.Registry, "");
        Context = std::make_unique<TSkinContext>(
            TSkinContext{Library.Resources(), TGraphElementRegistry::Standard(), Bench.Machine.Platform(), *Languages});
#endif
    }

    TRenderedScreen Render(TScreenRequest request) {
        request.Document = kGallery;
        return RenderScreen(*Context, Bench.Machine.Windows, request);
    }
    // How many pixels of the rectangle differ between two renders.
    static int32_t Differences(const TRenderedScreen& a, const TRenderedScreen& b, const TRect& rect) {
        int32_t count = 0;
        for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
            for (int32_t x = rect.Left; x < rect.Right; ++x) count += At(a, x, y) != At(b, x, y) ? 1 : 0;
        }
        return count;
    }
    static uint32_t At(const TRenderedScreen& screen, int32_t x, int32_t y) {
        return screen.Pixels[static_cast<size_t>(y * screen.Width + x)];
    }

    static constexpr const char* kGallery = "XML\\Gallery\\Controls.xml";
    TControlBench Bench;
    std::unique_ptr<THeadlessFileSystem> Packs;
    TSkinLibrary Library;
    std::unique_ptr<TSkinContext> Context;
};

void CollectKinds(const TXMLNode& node, std::set<std::string>& kinds) {
    if (TGraphElementRegistry::Standard().Lookup(node.Name()) != nullptr) kinds.insert(UpperCase(node.Name()));
    for (const TXMLNode* child : node.Nodes().Nodes()) CollectKinds(*child, kinds);
}

TEST_F(GalleryTest, NamesEveryControlKindAndBuildsAFullPage) {
    std::set<std::string> kinds;
    CollectKinds(Library.Resources().GetXML(kGallery), kinds);
    for (const char* kind : {"Button", "GraphButton", "AnimateButton", "Checkbox", "RadioButton", "GraphCheckBox",
                             "GraphRadioButton", "Label", "Image", "Text", "TextView", "Animator", "SetConditions",
                             "If", "IfNot", "Switch", "SkinCase"}) {
        EXPECT_EQ(kinds.count(UpperCase(kind)), 1u) << kind;
    }
    TGraphContainer container(*Context, 562, 294);
    BuildScreen(container, Library.Resources().GetXML(kGallery));
    int32_t count = 0;
    for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) ++count;
    EXPECT_GE(count, 40);
}

// A skin author learns the vocabulary from the gallery: together its pages (and the install screens
// for what only they use) hold every element the framework registers, and each page builds.
TEST_F(GalleryTest, ThePagesTogetherShowEveryRegisteredElement) {
    std::set<std::string> kinds;
    for (const char* document :
         {kGallery, "XML\\Gallery\\Window.xml", "XML\\Gallery\\Scrolling.xml", "XML\\Gallery\\Cards.xml",
          "XML\\Gallery\\Frames.xml", "XML\\Gallery\\Choices.xml", "XML\\Gallery\\Menu.xml",
          "XML\\Install\\Directory.xml"}) {
        const TXMLNode& root = Library.Resources().GetXML(document);
        CollectKinds(root, kinds);
        TGraphContainer container(*Context, 600, 400);
        EXPECT_NO_THROW(BuildScreen(container, root)) << document;
    }
    for (const TGraphControlClassItem* entry : TItemRange<TGraphControlClassItem>(TGraphElementRegistry::Standard().First())) {
        EXPECT_EQ(kinds.count(UpperCase(entry->ElementName())), 1u) << entry->ElementName() << " is on no gallery page";
    }
}

TEST_F(GalleryTest, HoverPressAndConditionsChangeOnlyTheirPlaces) {
    const TRenderedScreen normal = Render({});
    ASSERT_EQ(normal.Width, 562);
    ASSERT_EQ(normal.Height, 294);
    const TRect install{26, 110, 170, 140};
    const TRect next{450, 257, 546, 287};
    const TRect status{44, 255, 340, 275};

    TScreenRequest hover;
    hover.Hover = "Install";
    const TRenderedScreen hovered = Render(hover);
    EXPECT_GT(Differences(normal, hovered, install), 1000);
    EXPECT_EQ(Differences(normal, hovered, next), 0);

    TScreenRequest press;
    press.Press = "Next";
    const TRenderedScreen pressed = Render(press);
    EXPECT_GT(Differences(normal, pressed, next), 1000);
    EXPECT_EQ(Differences(normal, pressed, install), 0);

    TScreenRequest update;
    update.Conditions = {{"Job", "Update"}};
    const TRenderedScreen updating = Render(update);
    EXPECT_GT(Differences(normal, updating, status), 0);
    EXPECT_EQ(Differences(normal, updating, install), 0);
}

TEST_F(GalleryTest, TheChoicesPageShowsAChosenItemAndDropsDownOnAPress) {
    TScreenRequest request;
    request.Document = "XML\\Gallery\\Choices.xml";
    request.Texts = {{"Edition", "STANDARD"}};
    const TRenderedScreen chosen = RenderScreen(*Context, Bench.Machine.Windows, request);
    request.Texts.clear();
    const TRenderedScreen empty = RenderScreen(*Context, Bench.Machine.Windows, request);
    const TRect box{208, 98, 360, 126};
    const TRect below{208, 128, 360, 250};
    EXPECT_GT(Differences(empty, chosen, box), 50);
    EXPECT_EQ(Differences(empty, chosen, below), 0);

    request.Texts = {{"Edition", "standard"}};
    request.Press = "Edition";
    const TRenderedScreen dropped = RenderScreen(*Context, Bench.Machine.Windows, request);
    EXPECT_GT(Differences(chosen, dropped, below), 5000);  // the drop-down over the card
    EXPECT_GT(Differences(chosen, dropped, box), 0);        // the button held down

    request.Texts = {{"Edition", "none"}};
    try {
        RenderScreen(*Context, Bench.Machine.Windows, request);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "--text Edition: the combo box has no item \"none\"");
    }
}

TEST_F(GalleryTest, PressingATopMenuItemShowsItsPopupOverThePage) {
    TScreenRequest plain;
    plain.Document = "XML\\Gallery\\Menu.xml";
    const TRenderedScreen normal = RenderScreen(*Context, Bench.Machine.Windows, plain);
    TScreenRequest press = plain;
    press.Press = "mainmenu/FILE";
    const TRenderedScreen open = RenderScreen(*Context, Bench.Machine.Windows, press);
    ASSERT_EQ(open.Width, normal.Width);
    // The popup hangs below the bar on the left; the bar's right end stays as it was.
    EXPECT_GT(Differences(normal, open, TRect{20, 90, 200, 260}), 3000);
    EXPECT_EQ(Differences(normal, open, TRect{300, 0, 440, 72}), 0);
    EXPECT_TRUE(Bench.Machine.Windows.VisiblePopups().size() <= 1U);

    press.Press = "MainMenu/Nope";
    try {
        RenderScreen(*Context, Bench.Machine.Windows, press);
        ADD_FAILURE() << "an unknown menu item must fail";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "menu item 'Nope' not found in 'MainMenu'");
    }
}

}  // namespace
}  // namespace marlowen::fstool
