#include "ControlTestSupport.h"

#include <vector>

#include "core/MultiLanguageException.h"
#include "skin/GraphButtons.h"
#include "skin/GraphLabels.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kNormal = 0xFFE04010;
constexpr uint32_t kPressed = 0xFF0000FF;
// kNormal brightened by 146/128: E0 caps at FF, 40 -> 49, 10 -> 12.
constexpr uint32_t kGeneratedHot = 0xFFFF4912;
// kNormal at alpha 7F over white.
constexpr uint32_t kGeneratedDisabledOnWhite = 0xFFEF9F87;

// A button that counts its capture-lost steps.
class TCountingButton : public TGraphButton {
public:
    using TGraphButton::TGraphButton;
    void CaptureLost() override {
        ++CaptureLosses;
        TGraphButton::CaptureLost();
    }
    int CaptureLosses = 0;
};

class ButtonTest : public ::testing::Test {
protected:
    // An image given pixel by pixel, rows top first.
    void AddPixels(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
        bench.AddPixels(path, width, height, pixels);
    }
    // A folder with only the required images, width x height.
    void AddFolder(const std::string& folder, int32_t width, int32_t height, uint32_t normal = kNormal,
                   uint32_t pressed = kPressed) {
        bench.AddImage(folder + "\\normal.bmp", width, height, normal);
        bench.AddImage(folder + "\\pressed.bmp", width, height, pressed);
    }
    template <class T = TGraphButton, class... Args>
    T& AddButton(TCustomGraphControl* parent, Args&&... args) {
        auto button = std::make_unique<T>(bench.Context, std::forward<Args>(args)...);
        TGraphControls& list = parent != nullptr ? parent->Controls() : bench.Container->Controls();
        return *list.AddControl(std::move(button));
    }
    TCustomGraphControl& AddPanel(int32_t top = 0, int32_t height = TControlBench::kHeight) {
        auto panel = std::make_unique<TCustomGraphControl>(bench.Context);
        panel->SetBounds(0, top, TControlBench::kWidth, height);
        return *bench.Container->Controls().AddControl(std::move(panel));
    }
    TNotifyEvent Counter(int& clicks) {
        return [&clicks](TCustomGraphControl&) { ++clicks; };
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

TEST_F(ButtonTest, FourImagesPaintTheFourLooksAndTheMissingOnesAreGenerated) {
    AddFolder("B", 4, 3);
    auto& button =
        static_cast<TGraphButton&>(*bench.Show("<S><GraphButton Left=\"10\" Top=\"10\" Path=\"B\"/></S>"));
    EXPECT_EQ(button.Width(), 4);
    EXPECT_EQ(button.Height(), 3);
    EXPECT_EQ(button.HotImage().Row(2)[3], kGeneratedHot);
    EXPECT_EQ(button.DisabledImage().Row(0)[0], 0x7FE04010u);
    bench.Host().InvalidateAll();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(10, 10), kNormal);
    EXPECT_EQ(bench.Pixel(13, 12), kNormal);
    EXPECT_EQ(bench.Pixel(14, 10), kWhite);
    EXPECT_EQ(bench.Pixel(10, 13), kWhite);

    bench.Host().MoveMouse(11, 11);
    bench.Pump();
    EXPECT_EQ(button.State(), TButtonState::Hot);
    EXPECT_EQ(bench.Pixel(13, 12), kGeneratedHot);
    bench.Host().PressLeft(11, 11);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(10, 10), kPressed);
    bench.Host().ReleaseLeft(11, 11);
    button.SetEnabled(false);
    bench.Pump();
    EXPECT_EQ(button.State(), TButtonState::Hot);  // disabled keeps its state
    EXPECT_EQ(bench.Pixel(10, 10), kGeneratedDisabledOnWhite);

    // Images that the folder has are used as they are.
    AddFolder("C", 2, 2);
    bench.AddImage("C\\hot.bmp", 2, 2, 0xFF00FF00);
    bench.AddImage("C\\disabled.bmp", 2, 2, 0xFF123456);
    TGraphButton& own = AddButton(nullptr, 50, 50, "C");
    own.SetState(TButtonState::Hot);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(51, 51), 0xFF00FF00u);
    own.SetEnabled(false);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(50, 50), 0xFF123456u);
}

TEST_F(ButtonTest, AtTwiceTheScaleTheLooksAndTheGeneratedOnesComeFromThePictureForIt) {
    AddFolder("V", 2, 1);
    // The normal look drawn for 200 %: 4 x 2 of kNormal's colour but half as red.
    auto sharp = std::make_shared<TBitmap32>();
    sharp->SetSize(4, 2);
    sharp->FillRect({0, 0, 3, 1}, 0xFF704010);
    ASSERT_TRUE(bench.Resources.Find("V\\normal.bmp")->Bitmap()->AddVariant(TDisplayScale::FromPercent(200), sharp));
    bench.Container->SetScale(TDisplayScale::FromPercent(200));
    TGraphButton& button = AddButton(nullptr, 10, 10, "V");
    ASSERT_EQ(button.HotImage().Variants().size(), 1u);
    EXPECT_EQ(button.HotImage().Variants()[0].Bitmap->Row(1)[3], 0xFF7F4912u);  // brightened by 146/128
    EXPECT_EQ(button.DisabledImage().Variants()[0].Bitmap->Row(0)[0], 0x7F704010u);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(20, 20), 0xFF704010u);
    EXPECT_EQ(bench.Pixel(23, 21), 0xFF704010u);
    button.SetState(TButtonState::Hot);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(23, 21), 0xFF7F4912u);
}

TEST_F(ButtonTest, TransformedButtonsOwnTurnedCopiesOfAllFourImages) {
    // 2 x 1: red then green; turned left it is 1 x 2 with green on top.
    AddPixels("T\\normal.bmp", 2, 1, {0xFFFF0000, 0xFF00FF00});
    AddPixels("T\\pressed.bmp", 2, 1, {0xFF0000FF, 0xFF000000});
    TGraphButton& turned = AddButton(nullptr, 0, 0, "T", TButtonStyle::Button, 0, TGraphButton::RotateLeft);
    EXPECT_EQ(turned.Width(), 1);
    EXPECT_EQ(turned.Height(), 2);
    EXPECT_EQ(turned.NormalImage().Row(0)[0], 0xFF00FF00u);
    EXPECT_EQ(turned.PressedImage().Row(1)[0], 0xFF0000FFu);
    EXPECT_EQ(turned.HotImage().Row(0)[0], 0xFF00FF00u);  // green 255 stays capped
    EXPECT_EQ(turned.DisabledImage().Row(1)[0], 0x7FFF0000u);
    TGraphButton& mirrored = AddButton(nullptr, 0, 10, "T", TButtonStyle::Button, 0, TGraphButton::MirrorLeftRight);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(0, 10), 0xFF00FF00u);
    EXPECT_EQ(bench.Pixel(1, 10), 0xFFFF0000u);
    EXPECT_EQ(mirrored.Width(), 2);
}

TEST_F(ButtonTest, HitTestFollowsTheNormalImagesAlphaWhereTheImageIsAligned) {
    AddPixels("H\\normal.bmp", 3, 1, {0xFF000000, 0x00000000, 0xFF000000});
    bench.AddImage("H\\pressed.bmp", 3, 1, kPressed);
    int clicks = 0;
    TGraphButton& button =
        AddButton(nullptr, 0, 0, "H", TButtonStyle::Button, 0, TGraphButton::NoTransform, Counter(clicks));
    bench.Host().Click(1, 0);
    EXPECT_EQ(clicks, 0);
    bench.Host().Click(2, 0);
    EXPECT_EQ(clicks, 1);
    button.HitTestByAlpha = false;
    bench.Host().Click(1, 0);
    EXPECT_EQ(clicks, 2);

    // Wider than its image, aligned to the end: the image and its hit pixels move by 4.
    button.HitTestByAlpha = true;
    button.SetWidth(7);
    button.SetImageAlignment(TImageAlignment::End, TImageAlignment::Start);
    button.SetState(TButtonState::Normal);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(4, 0), 0xFF000000u);
    EXPECT_EQ(bench.Pixel(0, 0), kWhite);
    EXPECT_TRUE(button.HitTest(6, 0));
    EXPECT_FALSE(button.HitTest(5, 0));
    EXPECT_FALSE(button.HitTest(0, 0));

    // An opacity scales the image's alpha: black at 127 over white.
    button.SetOpacity(128);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(4, 0), 0xFF808080u);
}

// The image is not cut to the button: narrower than its 4 x 3 image, the button still shows it
// whole, also where the alignment puts it before the button's left edge.
TEST_F(ButtonTest, AnImageLargerThanTheButtonShowsWhole) {
    AddFolder("W", 4, 3);
    TGraphButton& button = AddButton(nullptr, 10, 10, "W");
    button.SetBounds(10, 10, 2, 2);
    bench.Host().InvalidateAll();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(13, 12), kNormal);
    EXPECT_EQ(bench.Pixel(14, 12), kWhite);
    button.SetImageAlignment(TImageAlignment::End, TImageAlignment::Start);
    bench.Host().InvalidateAll();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(8, 10), kNormal);  // 2 - 4 to the left of the button
    EXPECT_EQ(bench.Pixel(11, 12), kNormal);
    EXPECT_EQ(bench.Pixel(12, 10), kWhite);
}

TEST_F(ButtonTest, PressAndReleaseInsideClicksOnceAndReleasingOutsideDoesNot) {
    AddFolder("B", 10, 10);
    int clicks = 0;
    auto& button = AddButton<TCountingButton>(nullptr, 10, 10, "B", TButtonStyle::Button, 0, TGraphButton::NoTransform,
                                              Counter(clicks));
    bench.Host().PressLeft(12, 12);
    EXPECT_EQ(button.State(), TButtonState::Pressed);
    EXPECT_TRUE(button.IsCaptured());
    bench.Host().MoveMouse(50, 50);  // held outside: normal, still captured
    EXPECT_EQ(button.State(), TButtonState::Normal);
    bench.Host().MoveMouse(15, 15);
    EXPECT_EQ(button.State(), TButtonState::Pressed);
    bench.Host().ReleaseLeft(15, 15);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.State(), TButtonState::Hot);
    EXPECT_FALSE(button.IsCaptured());
    EXPECT_EQ(button.CaptureLosses, 1);

    bench.Host().PressLeft(12, 12);
    bench.Host().ReleaseLeft(60, 60);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.State(), TButtonState::Normal);
    EXPECT_FALSE(button.MousePressed());
    EXPECT_EQ(button.CaptureLosses, 2);

    // A check button latches on a click inside and lets go on the next.
    button.SetStyle(TButtonStyle::CheckButton);
    bench.Host().Click(12, 12);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(button.State(), TButtonState::Down);
    bench.Host().PressLeft(12, 12);
    EXPECT_EQ(button.State(), TButtonState::Down);  // a latched button is not shown pressed
    bench.Host().ReleaseLeft(12, 12);
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(button.State(), TButtonState::Hot);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(button.CaptureLosses, 4);
}

TEST_F(ButtonTest, AFireButtonClicksOnPressWaitsTwoSlowFramesThenClicksEveryFrame) {
    AddFolder("F", 10, 10);
    int clicks = 0;
    auto& fire = AddButton<TCountingButton>(nullptr, 0, 0, "F", TButtonStyle::FireButton, 0, TGraphButton::NoTransform,
                                            Counter(clicks));
    bench.Host().PressLeft(5, 5);
    EXPECT_EQ(clicks, 1);
    bench.Advance(599);  // frames 1 and 2 of 300 ms each
    EXPECT_EQ(clicks, 1);
    bench.Advance(1);  // the first stage ends at 600: the 70 ms stage starts on frame 1
    EXPECT_EQ(clicks, 1);
    bench.Advance(79);  // the 20 ms timer sees frame 2 at 680
    EXPECT_EQ(clicks, 1);
    bench.Advance(1);
    EXPECT_EQ(clicks, 2);
    bench.Advance(620);  // at 1300: frames 3 ... 11 of the 70 ms stage
    EXPECT_EQ(clicks, 11);
    bench.Host().ReleaseLeft(5, 5);
    EXPECT_EQ(clicks, 11);  // releasing inside does not click
    EXPECT_FALSE(fire.Repeating());
    EXPECT_FALSE(fire.Animated());
    EXPECT_EQ(fire.State(), TButtonState::Hot);
    EXPECT_EQ(fire.CaptureLosses, 1);
    bench.Advance(1000);
    EXPECT_EQ(clicks, 11);

    // Held outside it stays silent; released outside it stops without a click.
    bench.Host().PressLeft(5, 5);
    bench.Host().MoveMouse(50, 50);
    bench.Advance(1000);
    EXPECT_EQ(clicks, 12);
    bench.Host().ReleaseLeft(50, 50);
    EXPECT_FALSE(fire.Repeating());
    bench.Advance(1000);
    EXPECT_EQ(clicks, 12);
}

TEST_F(ButtonTest, AFireButtonThatLosesTheCaptureStopsAndIsNotLeftPressed) {
    AddFolder("F", 10, 10);
    int clicks = 0;
    auto& fire = AddButton<TCountingButton>(nullptr, 0, 0, "F", TButtonStyle::FireButton, 0, TGraphButton::NoTransform,
                                            Counter(clicks));
    auto& other = AddButton<TCountingButton>(nullptr, 50, 0, "F");
    bench.Host().PressLeft(5, 5);
    bench.Advance(700);
    EXPECT_EQ(clicks, 2);
    other.CaptureMouse();
    EXPECT_EQ(fire.CaptureLosses, 1);
    EXPECT_EQ(fire.State(), TButtonState::Normal);
    EXPECT_FALSE(fire.MousePressed());
    EXPECT_FALSE(fire.Repeating());
    bench.Advance(1000);
    EXPECT_EQ(clicks, 2);
    bench.Host().ReleaseLeft(5, 5);  // goes to the control that holds the capture now
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(fire.CaptureLosses, 1);
    other.ReleaseMouse();
    EXPECT_EQ(other.CaptureLosses, 1);
}

TEST_F(ButtonTest, LatchingARadioButtonReleasesOnlyItsGroupUnderTheSameParent) {
    AddFolder("R", 10, 10);
    TCustomGraphControl& first = AddPanel(0, 50);
    TCustomGraphControl& second = AddPanel(50, 50);
    int clicks = 0;
    auto& a = AddButton(&first, 0, 0, "R", TButtonStyle::RadioButton, 1, TGraphButton::NoTransform, Counter(clicks));
    auto& b = AddButton(&first, 20, 0, "R", TButtonStyle::RadioButton, 1);
    auto& otherGroup = AddButton(&first, 40, 0, "R", TButtonStyle::RadioButton, 2);
    auto& checkStyle = AddButton(&first, 60, 0, "R", TButtonStyle::CheckButton, 1);
    auto& otherParent = AddButton(&second, 0, 0, "R", TButtonStyle::RadioButton, 1);
    for (TGraphButton* button : {&b, &otherGroup, &checkStyle, &otherParent}) button->SetDown(true);

    bench.Host().Click(5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(a.State(), TButtonState::Down);
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.State(), TButtonState::Normal);
    EXPECT_TRUE(otherGroup.Down());
    EXPECT_TRUE(checkStyle.Down());
    EXPECT_TRUE(otherParent.Down());
    EXPECT_FALSE(a.IsCaptured());  // a radio press takes no capture

    bench.Host().Click(5, 5);  // already down: no click
    EXPECT_EQ(clicks, 1);
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    EXPECT_EQ(a.State(), TButtonState::Hot);  // the pointer is still over it
}

TEST_F(ButtonTest, AHotButtonComesLastAndKeepsTheCaptureWhenMovedWhilePressed) {
    bench.AddImage("A\\normal.bmp", 10, 10, 0xFF0000AA);
    bench.AddImage("A\\pressed.bmp", 10, 10, 0xFF0000BB);
    bench.AddImage("B\\normal.bmp", 10, 10, 0xFF00AA00);
    bench.AddImage("B\\pressed.bmp", 10, 10, 0xFF00BB00);
    TCustomGraphControl& panel = AddPanel();
    int clicks = 0;
    auto& a = AddButton<TCountingButton>(&panel, 0, 0, "A", TButtonStyle::Button, 0, TGraphButton::NoTransform,
                                         Counter(clicks));
    auto& b = AddButton(&panel, 5, 0, "B");
    bench.Pump();
    EXPECT_EQ(bench.Pixel(7, 5), 0xFF00AA00u);  // b overlaps a

    bench.Host().MoveMouse(2, 5);
    bench.Pump();
    EXPECT_EQ(panel.Controls().Last(), &a);
    EXPECT_EQ(bench.Pixel(7, 5), a.HotImage().Row(0)[0]);

    bench.Host().PressLeft(2, 5);
    b.SetState(TButtonState::Hot);  // b comes last while a holds the capture
    b.SetState(TButtonState::Normal);
    EXPECT_EQ(panel.Controls().Last(), &b);
    bench.Host().MoveMouse(100, 50);
    bench.Host().MoveMouse(7, 5);  // back over a: pressed, and last again
    bench.Pump();
    EXPECT_EQ(a.State(), TButtonState::Pressed);
    EXPECT_EQ(panel.Controls().Last(), &a);
    EXPECT_TRUE(a.IsCaptured());
    EXPECT_EQ(a.CaptureLosses, 0);
    EXPECT_EQ(bench.Pixel(7, 5), 0xFF0000BBu);
    bench.Host().ReleaseLeft(7, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(a.CaptureLosses, 1);
}

TEST_F(ButtonTest, AButtonFreedByItsOwnClickHandlerIsSafe) {
    AddFolder("B", 10, 10);
    auto freeSender = [](TCustomGraphControl& sender) { delete &sender; };
    int alive = 0;
    auto count = [&alive](TCustomGraphControl& sender) {
        ++alive;
        if (alive == 3) delete &sender;
    };
    AddButton(nullptr, 0, 0, "B", TButtonStyle::Button, 0, TGraphButton::NoTransform, freeSender);
    AddButton(nullptr, 20, 0, "B", TButtonStyle::RadioButton, 0, TGraphButton::NoTransform, freeSender);
    AddButton(nullptr, 40, 0, "B", TButtonStyle::CheckButton, 0, TGraphButton::NoTransform, freeSender);
    AddButton(nullptr, 60, 0, "B", TButtonStyle::FireButton, 0, TGraphButton::NoTransform, count);
    bench.Host().Click(5, 5);
    bench.Host().Click(25, 5);
    bench.Host().Click(45, 5);
    bench.Host().PressLeft(65, 5);  // the third click comes from the timer and frees it
    bench.Advance(1000);
    EXPECT_EQ(alive, 3);
    bench.Host().ReleaseLeft(65, 5);
    bench.Pump();
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
}

// A handler of OnFrameChanged may free its button wherever a frame starts: on the fire button's
// press, when its repeat stage begins, and when an animate button starts its hot frames.
TEST_F(ButtonTest, AButtonFreedByItsOwnFrameChangeIsSafe) {
    AddFolder("B", 10, 10);
    int clicks = 0;
    TGraphButton& pressed = AddButton(nullptr, 0, 0, "B", TButtonStyle::FireButton, 0, TGraphButton::NoTransform,
                                      Counter(clicks));
    pressed.OnFrameChanged = [](TCustomGraphControl& sender) { delete &sender; };
    bench.Host().PressLeft(5, 5);
    bench.Host().ReleaseLeft(5, 5);
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_EQ(clicks, 1);  // the press clicks before the frame's handler runs

    TGraphButton& repeating = AddButton(nullptr, 0, 0, "B", TButtonStyle::FireButton, 0, TGraphButton::NoTransform,
                                        Counter(clicks));
    int firstFrames = 0;
    repeating.OnFrameChanged = [&firstFrames](TCustomGraphControl& sender) {
        if (sender.Frame() == 1 && ++firstFrames == 2) delete &sender;  // the repeat stage's start
    };
    bench.Host().PressLeft(5, 5);
    bench.Advance(1000);
    EXPECT_EQ(firstFrames, 2);
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_EQ(clicks, 2);  // and this press only
    bench.Host().ReleaseLeft(5, 5);

    bench.AddImage("B\\hot1.bmp", 10, 10, kNormal);
    bench.AddImage("B\\hot2.bmp", 10, 10, kPressed);
    auto& hovered = AddButton<TAnimateButton>(nullptr, 0, 0, "B");
    hovered.OnFrameChanged = [](TCustomGraphControl& sender) { delete &sender; };
    bench.Host().MoveMouse(5, 5);
    bench.Pump();
    EXPECT_EQ(bench.Container->Controls().Count(), 0);

    // Released before its hot frames played out, the button jumps to the last one: that frame's
    // handler runs once the release is over, after its click, and frees the button.
    auto& released = AddButton<TAnimateButton>(nullptr, 0, 20, "B");
    int releasedClicks = 0;
    released.OnClick = [&releasedClicks](TCustomGraphControl&) { ++releasedClicks; };
    bench.Host().MoveMouse(5, 25);
    bench.Host().PressLeft(5, 25);
    released.OnFrameChanged = [](TCustomGraphControl& sender) { delete &sender; };
    bench.Host().ReleaseLeft(5, 25);
    bench.Pump();
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_EQ(releasedClicks, 1);

    // A check button released up again takes its hot look (its frames start) and then settles
    // its state from the pointer: the handler that frees it waits for that.
    auto& checked = AddButton<TAnimateButton>(nullptr, 0, 40, "B");
    checked.SetStyle(TButtonStyle::CheckButton);
    checked.SetDown(true);
    bench.Host().MoveMouse(5, 45);
    bench.Host().PressLeft(5, 45);
    std::vector<int32_t> frames;
    checked.OnFrameChanged = [&frames](TCustomGraphControl& sender) {
        frames.push_back(sender.Frame());
        delete &sender;
    };
    bench.Host().ReleaseLeft(5, 45);
    bench.Pump();
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_EQ(frames, std::vector<int32_t>{2});  // straight to the last hot frame
}

TEST_F(ButtonTest, DocumentErrorsNameTheMissingImageTheBadStyleAndTheMissingAttribute) {
    bench.AddImage("N\\normal.bmp", 2, 2, kNormal);
    EXPECT_EQ(ErrorOf("<S><GraphButton Left=\"0\" Top=\"0\" Path=\"N\"/></S>"),
              "В списке ресурсов не найдено изображение 'N\\pressed.bmp'.");
    AddFolder("B", 2, 2);
    EXPECT_EQ(ErrorOf("<S><GraphButton Left=\"0\" Top=\"0\" Path=\"B\" Style=\"Fire\"/></S>"),
              "Invalid button value Style=\"Fire\".");
    EXPECT_EQ(ErrorOf("<S><GraphButton Left=\"0\" Top=\"0\"/></S>"), "Property Path not found.");
    EXPECT_EQ(ErrorOf("<S><AnimateButton Left=\"0\" Top=\"0\" Path=\"B\"/></S>"),
              "В списке ресурсов не найдено изображение 'B\\hot1.bmp'.");
    auto* button = static_cast<TGraphButton*>(
        bench.Show("<S><GraphButton Left=\"1\" Top=\"2\" Path=\"B\" Style=\"radiobutton\" Group=\"7\"/></S>"));
    EXPECT_EQ(button->Style(), TButtonStyle::RadioButton);
    EXPECT_EQ(button->Group(), 7);
}

TEST_F(ButtonTest, AnAnimateButtonPlaysItsHotFramesOnceAndLetsThemPlayOutWhenLeft) {
    AddFolder("A", 4, 4, 0xFF402010);
    bench.AddImage("A\\hot1.bmp", 4, 4, 0xFF000001);
    bench.AddImage("A\\hot2.bmp", 4, 4, 0xFF000002);
    bench.AddImage("A\\hot3.bmp", 4, 4, 0xFF000003);
    auto& button = static_cast<TAnimateButton&>(*bench.Show("<S><AnimateButton Left=\"0\" Top=\"0\" Path=\"A\"/></S>"));
    EXPECT_EQ(button.HotFrameCount(), 3);
    EXPECT_EQ(button.FrameTime(), 80);
    bench.Host().MoveMouse(1, 1);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000001u);
    bench.Advance(80);
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000002u);
    bench.Advance(160);  // the last frame stays
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000003u);
    EXPECT_FALSE(button.Animated());

    bench.Host().PressLeft(1, 1);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(0, 0), kPressed);
    bench.Host().ReleaseLeft(1, 1);  // back to hot: straight to the last frame
    bench.Pump();
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000003u);

    // Left in the middle of the frames: they play out, then the normal image shows.
    bench.Host().MoveMouse(100, 50);
    bench.Advance(240);
    bench.Host().MoveMouse(1, 1);
    bench.Advance(80);
    bench.Host().MoveMouse(100, 50);
    bench.Pump();
    EXPECT_EQ(button.State(), TButtonState::Normal);
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000002u);
    bench.Advance(80);
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF000003u);
    bench.Advance(80);
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF402010u);

    // Disabled without a disabled image: a grey copy, (28 * 10h + 151 * 20h + 77 * 40h) >> 8 = 27h.
    button.SetEnabled(false);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(0, 0), 0xFF272727u);
}

class TextButtonTest : public ButtonTest {
protected:
    TextButtonTest() {
        bench.AddFont("Fonts\\Dot.fnt", u"ab", 4);
        AddFolder("Buttons\\Plain", 20, 14, kWhite, kWhite);
        bench.AddXml("XML\\Styles\\Button.xml",
                     "<Button Font=\"Fonts\\Dot.fnt\" ButtonFolder=\"Buttons\\Plain\" NormalTextColor=\"0xFF000001\" "
                     "HotTextColor=\"0xFF000002\" PressedTextColor=\"0xFF000003\" DisabledTextColor=\"0xFF000004\" "
                     "HorzPressedOffset=\"1\" VertPressedOffset=\"2\"/>");
    }
};

TEST_F(TextButtonTest, TheCaptionIsCentredAndFollowsTheStateInColourAndPlace) {
    int clicks = 0;
    auto& button = static_cast<TGraphTextButton&>(*bench.Show(
        "<S><Button Name=\"OK\" Style=\"XML\\Styles\\Button.xml\" Left=\"10\" Top=\"10\" "
        "Caption=\"[rus]ba[eng]ab\"/></S>"));
    button.OnClick = Counter(clicks);
    // 20 x 14 with "ab" (8 x 10): dots at x 10 + 6 and 10 + 10, y 10 + 2.
    EXPECT_EQ(bench.Pixel(16, 12), 0xFF000001u);
    EXPECT_EQ(bench.Pixel(20, 12), 0xFF000001u);
    bench.Host().MoveMouse(12, 12);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(16, 12), 0xFF000002u);
    bench.Host().PressLeft(12, 12);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(16, 12), kWhite);
    EXPECT_EQ(bench.Pixel(17, 14), 0xFF000003u);  // moved by (1, 2)
    bench.Host().ReleaseLeft(12, 12);
    bench.Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bench.Pixel(16, 12), 0xFF000002u);
    button.SetEnabled(false);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(16, 12), 0xFF000004u);
    EXPECT_EQ(button.Label().Text().Width(), 8);
    // The caption lets the mouse through to the button.
    EXPECT_EQ(bench.Container->ControlAt(16, 12), &button);
}

TEST_F(TextButtonTest, TheStyleDocumentIsRequiredAndGivesTheButtonStyle) {
    EXPECT_EQ(ErrorOf("<S><Button Style=\"XML\\Styles\\None.xml\" Left=\"0\" Top=\"0\" Caption=\"a\"/></S>"),
              "В списке ресурсов не найден XML 'XML\\Styles\\None.xml'.");
    EXPECT_EQ(ErrorOf("<S><Button Style=\"XML\\Styles\\Button.xml\" Left=\"0\" Top=\"0\"/></S>"),
              "Property Caption not found.");
    bench.AddXml("XML\\Styles\\Toggle.xml",
                 "<Toggle Font=\"Fonts\\Dot.fnt\" ButtonFolder=\"Buttons\\Plain\" Style=\"CheckButton\" "
                 "NormalTextColor=\"0xFF000001\" HotTextColor=\"0xFF000002\" PressedTextColor=\"0xFF000003\" "
                 "DisabledTextColor=\"0xFF000004\"/>");
    auto& toggle = static_cast<TGraphTextButton&>(*bench.Show(
        "<S><Button Style=\"XML\\Styles\\Toggle.xml\" Left=\"0\" Top=\"0\" Width=\"30\" Caption=\"ab\"/></S>"));
    EXPECT_EQ(toggle.Style(), TButtonStyle::CheckButton);
    EXPECT_EQ(toggle.Label().Width(), 30);  // the caption spans the size the document gives
    toggle.SetDown(true);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(11, 2), 0xFF000003u);  // (30 - 8) / 2 = 11, no pressed offset
}

}  // namespace
}  // namespace marlowen::testing
