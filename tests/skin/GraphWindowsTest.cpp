#include "ControlTestSupport.h"

#include <vector>

#include "platform/headless/HeadlessForms.h"
#include "skin/GraphButtons.h"
#include "skin/GraphLabels.h"
#include "skin/GraphMultiLine.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/Styles.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kBlack = 0xFF000000;

// A window of the bench's size: an active background with cut corners and the caption label and
// buttons, a passive background with a multi-line caption, an active foreground that covers the
// top-left 10 x 10 pixels; a black "Body" under the foreground, a lamp shown while the window is
// active, and a caption area.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        AddPixels("Corner.bmp", 2, 2, {0, kRed, kRed, kRed});
        AddPixels("Edge.bmp", 1, 1, {kRed});
        bench.AddImage("B\\normal.bmp", 10, 10, kBlack);
        bench.AddImage("B\\pressed.bmp", 10, 10, kBlack);
        const TFontImages& font = bench.AddFont("Fonts\\Dot.fnt", u"(Window)", 4);
        auto style = std::make_unique<TStyleItem>("default");  // the multi-line caption's
        style->SetFont(&font);
        style->SetColor(0xFF000001);
        bench.Resources.Styles().Add(std::move(style));
        AddStyle("Cut", 1, 1, 1, 1,
                 "BrushType=\"Solid\" BrushColor=\"0xFFFF0000\" BorderType=\"Tile\" LeftTop=\"Corner.bmp\" Top=\"Edge.bmp\" "
                 "Left=\"Edge.bmp\"");
        AddStyle("Blue", 0, 0, 0, 0, "BrushType=\"Solid\" BrushColor=\"0xFF0000FF\" BorderType=\"None\"");
        AddStyle("Green", 0, 0, 0, 0, "BrushType=\"Solid\" BrushColor=\"0xFF00FF00\" BorderType=\"None\"");
        AddStyle("Black", 0, 0, 0, 0, "BrushType=\"Solid\" BrushColor=\"0xFF000000\" BorderType=\"None\"");
        AddStyle("Fore", 0, 0, 190, 90, "BrushType=\"Solid\" BrushColor=\"0xFF00FF00\" BorderType=\"None\"");
        bench.AddXml("L\\Active.xml",
                     "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Cut.xml\">"
                     "<Label Name=\"LabelCaption\" Left=\"30\" Top=\"2\" Font=\"Fonts\\Dot.fnt\" TextColor=\"0xFF000001\"/>"
                     "<GraphButton Name=\"ButtonMinimize\" Left=\"170\" Top=\"2\" Path=\"B\"/>"
                     "<GraphButton Name=\"buttonclose\" Left=\"185\" Top=\"2\" Path=\"B\"/>"
                     "</Frame>");
        bench.AddXml("L\\Passive.xml",
                     "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Blue.xml\">"
                     "<Text Name=\"LabelCaption\" Left=\"30\" Top=\"2\" Width=\"100\" Height=\"10\" "
                     "Text=\"(%Caption%)\"/></Frame>");
        bench.AddXml("L\\Fore.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Fore.xml\"/>");
    }

    void AddPixels(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
        bench.AddPixels(path, width, height, pixels);
    }
    void AddStyle(const std::string& name, int left, int top, int right, int bottom, const std::string& attributes) {
        bench.AddXml("S\\" + name + ".xml", "<Frame LeftIndent=\"" + std::to_string(left) + "\" TopIndent=\"" +
                                       std::to_string(top) + "\" RightIndent=\"" + std::to_string(right) +
                                       "\" BottomIndent=\"" + std::to_string(bottom) + "\" " + attributes + "/>");
    }
    // Builds the window document given by its root's extra attributes and shows it.
    TGraphWindow& ShowWindow(const std::string& attributes = "") {
        bench.AddXml("W\\Main.xml",
                     "<Window Width=\"200\" Height=\"100\" ActiveBackground=\"L\\Active.xml\" "
                     "PassiveBackground=\"L\\Passive.xml\" ActiveForeground=\"L\\Fore.xml\" " +
                         attributes +
                         ">"
                         "<Frame Name=\"Body\" Width=\"20\" Height=\"20\" Style=\"S\\Black.xml\"/>"
                         "<If ActiveWindow=\"true\"><Frame Name=\"Lamp\" Left=\"50\" Top=\"50\" Width=\"5\" "
                         "Height=\"5\" Style=\"S\\Green.xml\"/></If>"
                         "<WinCaptionArea Name=\"Caption\" Left=\"20\" Top=\"0\" Width=\"100\" Height=\"15\"/>"
                         "</Window>");
        auto window = TCustomGraphControl::CreateFromDocument<TGraphWindow>(bench.Context, "W\\Main.xml");
        TGraphWindow& shown = *bench.Container->Controls().AddControl(std::move(window));
        bench.Pump();
        return shown;
    }
    std::string ErrorOf(const std::string& document) {
        bench.AddXml("W\\Bad.xml", document);
        try {
            TCustomGraphControl::CreateFromDocument<TGraphWindow>(bench.Context, "W\\Bad.xml");
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }

    TControlBench bench;
};

TEST_F(WindowTest, TheActiveAndPassiveLooksExchangeTheLayersAndTellEveryControl) {
    TGraphWindow& window = ShowWindow();
    EXPECT_EQ(window.Controls().Last(), window.ActiveForeground());  // over every control
    EXPECT_EQ(bench.Pixel(5, 5), kGreen);
    EXPECT_EQ(bench.Pixel(15, 15), kBlack);
    EXPECT_EQ(bench.Pixel(100, 50), kRed);
    EXPECT_EQ(bench.Pixel(52, 52), kGreen);  // the lamp

    window.SetActive(false);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(5, 5), kBlack);
    EXPECT_EQ(bench.Pixel(100, 50), kBlue);
    EXPECT_EQ(bench.Pixel(52, 52), kBlue);  // the lamp is gone
    EXPECT_FALSE(bench.Find("Lamp").ParentsShowing());
    for (TCustomGraphControl* c = &window; c != nullptr; c = c->NextInTree()) EXPECT_FALSE(c->WindowActive());
    for (TGraphWindowFrame* layer : {window.ActiveBackground(), window.ActiveForeground()}) EXPECT_FALSE(layer->Visible());
    EXPECT_TRUE(window.PassiveBackground()->Visible());

    window.SetActive(true);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(5, 5), kGreen);
    EXPECT_EQ(bench.Pixel(100, 50), kRed);
    EXPECT_TRUE(bench.Find("Lamp").ParentsShowing());
    EXPECT_TRUE(bench.Find("Body").WindowActive());
}

TEST_F(WindowTest, TheLayersTakeTheWindowsSizeAndFollowIt) {
    TGraphWindow& window = ShowWindow("Left=\"3\" Top=\"4\"");
    EXPECT_EQ(window.Left(), 3);
    EXPECT_EQ(window.Top(), 4);
    window.SetBounds(0, 0, 150, 80);
    for (TGraphWindowFrame* layer : {window.ActiveBackground(), window.PassiveBackground(), window.ActiveForeground()}) {
        EXPECT_EQ(layer->Width(), 150);
        EXPECT_EQ(layer->Height(), 80);
    }
    EXPECT_EQ(window.PassiveForeground(), nullptr);
}

TEST_F(WindowTest, TheCaptionGoesToTheCaptionLabelOfEveryLayer) {
    TGraphWindow& window = ShowWindow("Caption=\"[rus]Окно[eng]Window\"");
    auto& label = static_cast<TGraphTextLabel&>(*window.ActiveBackground()->LabelCaption());
    auto& text = static_cast<TGraphMultiLine&>(*window.PassiveBackground()->LabelCaption());
    EXPECT_EQ(label.Caption(), u"[rus]Окно[eng]Window");
    EXPECT_EQ(text.ExpandedText(), u"(Window)");
    window.SetWindowCaption(u"Wind");
    EXPECT_EQ(label.Caption(), u"Wind");
    EXPECT_EQ(text.ExpandedText(), u"(Wind)");
    EXPECT_EQ(window.ActiveForeground()->LabelCaption(), nullptr);
}

TEST_F(WindowTest, TheWindowButtonsRunTheFormsCallbacksAndMinimizeFollowsCanMinimize) {
    TGraphWindow& window = ShowWindow();
    int minimized = 0;
    int closed = 0;
    window.OnMinimize = [&] { ++minimized; };
    window.OnClose = [&] { ++closed; };
    EXPECT_EQ(window.ActiveBackground()->ButtonClose(), &bench.Find("ButtonClose"));
    bench.Host().Click(175, 5);
    bench.Host().Click(190, 5);
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(window.PassiveBackground()->ButtonClose(), nullptr);

    bench.Container->Controls().Clear();
    TGraphWindow& fixed = ShowWindow("CanMinimize=\"false\"");
    EXPECT_FALSE(fixed.ActiveBackground()->ButtonMinimize()->Visible());
    EXPECT_TRUE(fixed.ActiveBackground()->ButtonClose()->Visible());
}

TEST_F(WindowTest, AClosingCallbackMayFreeTheWindow) {
    TGraphWindow& window = ShowWindow();
    window.OnClose = [this] { bench.Container->Controls().Clear(); };
    bench.Host().Click(190, 5);
    EXPECT_EQ(bench.Container->Controls().First(), nullptr);
}

TEST_F(WindowTest, TheShapeIsWhatTheActiveBackgroundCoversAndTheFormTakesIt) {
    TGraphWindow& window = ShowWindow();
    window.SetActive(false);  // the shape does not depend on the look
    const std::vector<TRect> shape = window.ShapeRectangles();
    ASSERT_EQ(shape.size(), 100u);
    EXPECT_EQ(shape.front(), (TRect{1, 0, 199, 1}));
    EXPECT_EQ(shape[1], (TRect{0, 1, 200, 2}));
    EXPECT_EQ(shape.back(), (TRect{1, 99, 199, 100}));

    THeadlessScreen screen;
    THeadlessFormHost form(screen, {300, 200, 500, 300});
    form.AttachHost(bench.Host());
    window.ApplyShape();
    ASSERT_EQ(form.Shape().size(), 100u);
    EXPECT_EQ(form.Shape()[0], (TScreenRect{1, 0, 199, 1}));
    // Clicks on the cut corners reach whatever lies below.
    EXPECT_EQ(bench.Windows().WindowAt(300, 200), nullptr);
    EXPECT_EQ(bench.Windows().WindowAt(499, 299), nullptr);
    EXPECT_EQ(bench.Windows().WindowAt(301, 200), &bench.Host());
}

TEST_F(WindowTest, AWindowDocumentNeedsItsSizeAndBothBackgrounds) {
    EXPECT_EQ(ErrorOf("<Window Width=\"10\" Height=\"10\" ActiveBackground=\"L\\Active.xml\"/>"),
              "Property PassiveBackground not found.");
    EXPECT_EQ(ErrorOf("<Window Height=\"10\" ActiveBackground=\"L\\Active.xml\" PassiveBackground=\"L\\Active.xml\"/>"),
              "Property Width not found.");
    EXPECT_EQ(ErrorOf("<Window Width=\"10\" Height=\"10\" ActiveBackground=\"L\\Active.xml\" "
                      "PassiveBackground=\"L\\None.xml\"/>"),
              "В списке ресурсов не найден XML 'L\\None.xml'.");
    bench.AddXml("L\\Loop.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Blue.xml\"><ExternalFrame XML=\"L\\Loop.xml\"/></Frame>");
    EXPECT_EQ(ErrorOf("<Window Width=\"10\" Height=\"10\" ActiveBackground=\"L\\Loop.xml\" "
                      "PassiveBackground=\"L\\Active.xml\"/>"),
              "Документ L\\Loop.xml включает сам себя: L\\Loop.xml -> L\\Loop.xml.");
}

// --- dragging by the caption area ---

class CaptionAreaTest : public WindowTest {
protected:
    CaptionAreaTest() : form(screen, {100, 100, 300, 200}) {
        form.AttachHost(bench.Host());
        ShowWindow();
        area = &bench.Find<TWinCaptionArea>("Caption");
        area->OnMoved = [this](TCustomGraphControl&) { ++moves; };
    }
    // Presses at (25, 5) of the window, moves the pointer by (dx, dy) on the screen, releases.
    void Drag(int32_t dx, int32_t dy) {
        bench.Host().PressLeft(25, 5);
        int32_t x = form.Bounds().Left + 25 + dx;
        int32_t y = form.Bounds().Top + 5 + dy;
        bench.Host().ScreenToClient(x, y);
        bench.Host().MoveMouse(x, y, ShiftState::Left);
        x = bench.Windows().PointerX();
        y = bench.Windows().PointerY();
        bench.Host().ScreenToClient(x, y);
        bench.Host().ReleaseLeft(x, y);
    }
    TPoint At() const { return {form.Bounds().Left, form.Bounds().Top}; }

    THeadlessScreen screen;
    THeadlessFormHost form;
    TWinCaptionArea* area = nullptr;
    int moves = 0;
};

TEST_F(CaptionAreaTest, DraggingMovesTheFormAndReleasingEndsIt) {
    Drag(37, 21);
    EXPECT_EQ(At(), (TPoint{137, 121}));
    EXPECT_EQ(form.Bounds().Right, 337);
    EXPECT_EQ(moves, 1);
    EXPECT_FALSE(area->Dragging());
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
    bench.Host().MoveMouse(60, 10);
    EXPECT_EQ(At(), (TPoint{137, 121}));
}

TEST_F(CaptionAreaTest, AtADisplayScaleTheFormFollowsThePointerInDevicePixels) {
    bench.Container->SetScale(TDisplayScale::FromPercent(200));
    area->ScreenSnap = false;
    // The press lands on unit (25, 5) of the window; 40 pixels right and 20 down are 20 and 10 units.
    bench.Host().PressLeft(50, 10);
    int32_t x = form.Bounds().Left + 50 + 40;
    int32_t y = form.Bounds().Top + 10 + 20;
    bench.Host().ScreenToClient(x, y);
    bench.Host().MoveMouse(x, y, ShiftState::Left);
    EXPECT_EQ(At(), (TPoint{140, 120}));
}

TEST_F(CaptionAreaTest, TheRightEdgeSnapsToTheWorkAreaWithinTenPixelsButNotEleven) {
    // The right edge dropped 10 pixels left of the work area's (1024 wide): it snaps.
    Drag(1024 - 10 - 300, 0);
    EXPECT_EQ(At(), (TPoint{824, 100}));
    Drag(-824 + 100, 0);
    EXPECT_EQ(At(), (TPoint{100, 100}));
    Drag(1024 - 11 - 300, 0);
    EXPECT_EQ(At(), (TPoint{813, 100}));
    // The bottom edge likewise, at 738 (our height is 100).
    Drag(0, 638 - 7 - 100);
    EXPECT_EQ(At(), (TPoint{813, 638}));
}

TEST_F(CaptionAreaTest, EdgesSnapToOtherVisibleWindowsIndependentlyInXAndY) {
    screen.ForeignWindows.push_back({500, 300, 600, 400});
    screen.ForeignWindows.push_back({2000, 300, 2100, 400});  // off the work area: ignored
    THeadlessFormHost hidden(screen, {700, 100, 705, 105});
    hidden.SetVisible(false);
    // Our left edge 4 pixels right of its right edge, our top 30 pixels below its bottom.
    Drag(604 - 100, 430 - 100);
    EXPECT_EQ(At(), (TPoint{600, 430}));
    // Our right edge 6 pixels left of its left edge (our width 200), our bottom 8 below its top.
    Drag(294 - 600, 208 - 430);
    EXPECT_EQ(At(), (TPoint{300, 200}));
    // Our top 9 below its bottom.
    Drag(0, 409 - 200);
    EXPECT_EQ(At(), (TPoint{300, 400}));
    // The hidden form offers nothing (its left - 200 = 500 is 3 away).
    Drag(503 - 300, 0);
    EXPECT_EQ(At(), (TPoint{503, 400}));
}

TEST_F(CaptionAreaTest, TheCandidatesStartAtTheScreensOriginAndIgnoreOffersLeftOfTheWorkArea) {
    screen.WorkArea = {40, 0, 1024, 738};
    screen.ForeignWindows.push_back({0, 300, 60, 400});  // offers -200 (left of 40: ignored) and 60
    Drag(-195 - 100, 0);
    EXPECT_EQ(At(), (TPoint{-195, 100}));
    Drag(8 + 195, 0);
    EXPECT_EQ(At(), (TPoint{0, 100}));
    Drag(11, 0);
    EXPECT_EQ(At(), (TPoint{11, 100}));
}

TEST_F(CaptionAreaTest, WithoutScreenSnapOrOutsideAFormTheAreaMovesFreelyOrNotAtAll) {
    area->ScreenSnap = false;
    Drag(1024 - 5 - 300, 0);
    EXPECT_EQ(At(), (TPoint{819, 100}));
    form.DetachHost(bench.Host());
    Drag(-100, 0);
    EXPECT_EQ(At(), (TPoint{819, 100}));
    EXPECT_EQ(moves, 1);
}

TEST_F(CaptionAreaTest, LosingTheCaptureEndsTheDrag) {
    bench.Host().PressLeft(25, 5);
    EXPECT_TRUE(area->Dragging());
    bench.Container->SetCapturedControl(nullptr);
    EXPECT_FALSE(area->Dragging());
    bench.Host().MoveMouse(60, 40, ShiftState::Left);
    EXPECT_EQ(At(), (TPoint{100, 100}));
}

TEST(CaptionAreaXml, ReadsScreenSnapAndSnapBuffer) {
    TControlBench bench;
    auto& area = static_cast<TWinCaptionArea&>(*bench.Show(
        "<S><WinCaptionArea Width=\"5\" Height=\"5\" ScreenSnap=\"false\" SnapBuffer=\"3\" Cursor=\"HandPoint\"/></S>"));
    EXPECT_FALSE(area.ScreenSnap);
    EXPECT_EQ(area.SnapBuffer, 3);
    EXPECT_EQ(area.Cursor(), CursorId::HandPoint);
}

// --- the hint window ---

TEST(HintWindow, ShowsTheResolvedTextWrappedWithinTheWorkAreaInsideItsIndentsAndBorder) {
    THeadlessScreen screen;
    screen.WorkArea = {0, 0, 400, 300};
    THeadlessHintPopup popup(screen);
    THintWindowControl hint(popup);
    EXPECT_EQ(hint.BackColor, 0xFF000018u);  // the system's tooltip colours until a style comes

    hint.ShowHintText(u"[rus]Подсказка[eng]Select the folder", 100, 50);
    ASSERT_TRUE(popup.Showing());
    const THintPicture& shown = popup.Picture();
    EXPECT_EQ(shown.Text, u"Select the folder");
    // 17 characters of 6 pixels in one line, 13 high, grown by indent 1 and the border.
    EXPECT_EQ(shown.Bounds, (TScreenRect{98, 48, 102 + 102, 50 + 13 + 2}));
    EXPECT_EQ(shown.TextRect, (TScreenRect{2, 2, 104, 15}));

    // Near the right edge: 60 pixels left, 58 of them for the text, so it breaks into lines and
    // the window ends at the edge, not past it.
    hint.ShowHintText(u"Select the folder", 340, 50);
    EXPECT_EQ(THeadlessHintPopup::WrapLines(shown.Text, 58),
              (std::vector<std::u16string>{u"Select", u"the", u"folder"}));
    EXPECT_EQ(popup.Picture().Bounds, (TScreenRect{338, 48, 340 + 36 + 2, 50 + 39 + 2}));
    EXPECT_EQ(popup.ShowCount(), 2);

    hint.Hide();
    EXPECT_FALSE(popup.Showing());
    hint.Hide();
    EXPECT_EQ(popup.HideCount(), 1);
}

// On a display at 200 % the indents and the border are twice as many pixels and the text is
// measured in the hint font for that display.
TEST(HintWindow, TakesTheScaleOfTheDisplayItShowsOn) {
    THeadlessScreen screen;
    screen.WorkArea = {0, 0, 800, 600};
    screen.Dpi = 192;
    THeadlessHintPopup popup(screen);
    THintWindowControl hint(popup);
    hint.ShowHintText(u"Select", 100, 50);
    const THintPicture& shown = popup.Picture();
    EXPECT_EQ(shown.Dpi, 192);
    EXPECT_EQ(shown.BorderWidth, 2);
    // 6 characters of 12 pixels, a line of 26, grown by 2 pixels of indent and 2 of border.
    EXPECT_EQ(shown.TextRect, (TScreenRect{4, 4, 4 + 72, 4 + 26}));
    EXPECT_EQ(shown.Bounds, (TScreenRect{96, 46, 96 + 72 + 8, 46 + 26 + 8}));
    screen.Dpi = 144;
    hint.ShowHintText(u"Select", 100, 50);
    EXPECT_EQ(popup.Picture().BorderWidth, 1);
    EXPECT_EQ(popup.Picture().TextRect, (TScreenRect{2, 2, 2 + 54, 2 + 19}));
}

// Where the text cannot wrap narrow enough, or the point lies near the bottom, the window moves
// back into the work area.
TEST(HintWindow, StaysInsideTheWorkArea) {
    THeadlessScreen screen;
    screen.WorkArea = {20, 10, 400, 300};
    THeadlessHintPopup popup(screen);
    THintWindowControl hint(popup);
    hint.ShowHintText(u"Select the folder", 395, 50);  // one word a line, 36 wide
    EXPECT_EQ(popup.Picture().Bounds, (TScreenRect{400 - 40, 48, 400, 50 + 39 + 2}));
    EXPECT_EQ(popup.Picture().TextRect, (TScreenRect{2, 2, 38, 41}));
    hint.ShowHintText(u"ab", 30, 290);
    EXPECT_EQ(popup.Picture().Bounds, (TScreenRect{28, 300 - 17, 28 + 16, 300}));
    hint.ShowHintText(u"ab", 0, 0);
    EXPECT_EQ(popup.Picture().Bounds, (TScreenRect{20, 10, 36, 27}));
}

TEST(HintWindow, TakesItsLookFromTheHintStyle) {
    THeadlessScreen screen;
    THeadlessHintPopup popup(screen);
    THintWindowControl hint(popup);
    auto style = ParseXml(
        "<Hint BackColor=\"0x00E0FFFF\" BorderColor=\"0\" TextColor=\"0x00102030\" HorzIndent=\"3\" VertIndent=\"2\"/>");
    hint.ApplyHintStyle(*style);
    hint.ShowHintText(u"ab", 10, 10);
    const THintPicture& shown = popup.Picture();
    EXPECT_EQ(shown.BackColor, 0x00E0FFFFu);
    EXPECT_EQ(shown.BorderColor, 0u);
    EXPECT_EQ(shown.TextColor, 0x00102030u);
    EXPECT_EQ(shown.Bounds, (TScreenRect{6, 7, 10 + 12 + 4, 10 + 13 + 3}));
    EXPECT_EQ(shown.TextRect, (TScreenRect{4, 3, 16, 16}));

    // A style without one of its values changes nothing.
    auto partial = ParseXml("<Hint BackColor=\"1\" BorderColor=\"1\" TextColor=\"1\" HorzIndent=\"1\"/>");
    try {
        hint.ApplyHintStyle(*partial);
        FAIL() << "applied";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Property VertIndent not found.");
    }
    EXPECT_EQ(hint.BackColor, 0x00E0FFFFu);
    EXPECT_EQ(hint.HorzIndent, 3);
}

}  // namespace
}  // namespace marlowen::testing
