#include "ControlTestSupport.h"

#include <memory>
#include <string>
#include <vector>

#include "skin/GraphButtons.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/Styles.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kNormal = 0xFFE04010;
constexpr uint32_t kPressed = 0xFF0000FF;
constexpr uint32_t kRing = 0xFF00FF00;
constexpr uint32_t kStyleRing = 0xFFFF00FF;

// A screen of buttons and boxes driven by the keyboard alone.
class KeyboardTest : public ::testing::Test {
protected:
    KeyboardTest() {
        Bench.AddImage("Btn\\normal.bmp", 20, 10, kNormal);
        Bench.AddImage("Btn\\pressed.bmp", 20, 10, kPressed);
        Bench.AddImage("Box\\normal_checked.bmp", 4, 4, kNormal);
        Bench.AddImage("Box\\normal.bmp", 4, 4, kNormal);
        Bench.AddImage("Box\\pressed_checked.bmp", 4, 4, kPressed);
        Bench.AddImage("Box\\pressed.bmp", 4, 4, kPressed);
    }

    TCustomGraphControl* Show(std::string_view xml) { return Bench.Show(xml); }
    template <class T = TCustomGraphControl>
    T& Find(std::string_view name) {
        return Bench.Find<T>(name);
    }
    // Counts the clicks of every button and box by name.
    void CountClicks(std::initializer_list<std::string_view> names) {
        for (std::string_view name : names) {
            TCustomGraphControl& c = Find(name);
            auto note = [this, n = std::string(name)](TCustomGraphControl&) { Clicks.push_back(n); };
            if (auto* button = dynamic_cast<TCustomGraphButton*>(&c)) button->OnClick = note;
            if (auto* box = dynamic_cast<TGraphCheckBox*>(&c)) box->OnClick = note;
        }
    }
    std::string Focused() {
        TCustomGraphControl* f = Bench.Container->FocusedControl();
        return f != nullptr ? f->Name() : "(none)";
    }
    void Tab(TShiftState shift = 0) { Bench.Host().PressKey(VirtualKey::Tab, shift); }

    TControlBench Bench;
    std::vector<std::string> Clicks;
};

constexpr std::string_view kPage =
    R"(<Page>)"
    R"(<GraphButton Name="A" Left="0" Top="0" Path="Btn"/>)"
    R"(<GraphButton Name="Decor" Left="30" Top="0" Path="Btn" TabStop="false"/>)"
    R"(<GraphButton Name="Off" Left="60" Top="0" Path="Btn" Enabled="false"/>)"
    R"(<GraphCheckBox Name="Box" Left="0" Top="20" Path="Box"/>)"
    R"(<GraphButton Name="Ok" Left="90" Top="40" Path="Btn" Default="true"/>)"
    R"(<GraphButton Name="Close" Left="120" Top="40" Path="Btn" Cancel="true"/>)"
    R"(</Page>)";

TEST_F(KeyboardTest, TabGoesRoundTheInputControlsInTreeOrder) {
    Show(kPage);
    const int32_t asked = Bench.Host().FocusNextWindowCount();
    std::vector<std::string> order;
    for (int i = 0; i < 5; ++i) {
        Tab();
        order.push_back(Focused());
    }
    // Buttons and boxes are stops by default; TabStop="false" and disabled ones are not.
    EXPECT_EQ(order, (std::vector<std::string>{"A", "Box", "Ok", "Close", "A"}));
    Tab(ShiftState::Shift);
    EXPECT_EQ(Focused(), "Close");
    // Wrapping stays within the page: the form is never asked for its next window.
    EXPECT_EQ(Bench.Host().FocusNextWindowCount(), asked);
}

TEST_F(KeyboardTest, WithoutWrapTabLeavesForTheFormsNextWindowAtTheEnd) {
    Show(kPage);
    Bench.Container->TabWrap = false;
    Find("Close").SetFocused(true);
    const int32_t asked = Bench.Host().FocusNextWindowCount();
    Tab();
    EXPECT_EQ(Bench.Host().FocusNextWindowCount(), asked + 1);
    // A lone window starts over at the first stop.
    EXPECT_EQ(Focused(), "A");
}

TEST_F(KeyboardTest, SpaceAndReturnPressTheFocusedButton) {
    Show(kPage);
    CountClicks({"A", "Ok", "Close", "Box"});
    auto& a = Find<TGraphButton>("A");
    a.SetFocused(true);
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Space));
    EXPECT_EQ(a.State(), TButtonState::Pressed);  // the pressed look while held
    EXPECT_TRUE(Clicks.empty());
    EXPECT_TRUE(Bench.Host().KeyUp(VirtualKey::Space));
    EXPECT_EQ(a.State(), TButtonState::Normal);
    // Return on a focused button presses that one, not the default.
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Return));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"A", "A"}));

    // Space held while the focus moves away clicks nothing.
    Clicks.clear();
    Bench.Host().KeyDown(VirtualKey::Space);
    Tab();
    Bench.Host().KeyUp(VirtualKey::Space);
    EXPECT_EQ(a.State(), TButtonState::Normal);
    EXPECT_EQ(Focused(), "Box");
    // Space toggles the focused box.
    Bench.Host().PressKey(VirtualKey::Space);
    EXPECT_FALSE(Find<TGraphCheckBox>("Box").Checked());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"Box"}));
}

TEST_F(KeyboardTest, ReturnAndEscapePressTheDefaultAndCancelButtons) {
    Show(kPage);
    CountClicks({"A", "Ok", "Close", "Box"});
    int closeRequests = 0;
    Bench.Container->OnCloseRequest = [&](TCustomGraphContainer&) { ++closeRequests; };
    // With no focus at all, and with the focus on a box that does not take Return.
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Return));
    Find("Box").SetFocused(true);
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Return));
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Escape));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"Ok", "Ok", "Close"}));
    EXPECT_EQ(closeRequests, 0);

    // Hidden or disabled marked buttons do nothing; Escape then asks for the close.
    Clicks.clear();
    Find("Ok").SetVisible(false);
    Find("Close").SetEnabled(false);
    EXPECT_FALSE(Bench.Host().KeyDown(VirtualKey::Return));
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Escape));
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(closeRequests, 1);
    // Without a close handler Escape is left to the window.
    Bench.Container->OnCloseRequest = nullptr;
    EXPECT_FALSE(Bench.Host().KeyDown(VirtualKey::Escape));
}

TEST_F(KeyboardTest, ArrowsSelectTheNeighbourInARadioGroup) {
    Show(R"(<Page>)"
         R"(<GraphRadioButton Name="R1" Left="0" Top="0" Path="Box" Group="1" Checked="true"/>)"
         R"(<GraphRadioButton Name="R2" Left="10" Top="0" Path="Box" Group="1"/>)"
         R"(<GraphRadioButton Name="Other" Left="20" Top="0" Path="Box" Group="2"/>)"
         R"(<GraphRadioButton Name="R3" Left="30" Top="0" Path="Box" Group="1"/>)"
         R"(</Page>)");
    CountClicks({"R1", "R2", "R3", "Other"});
    Find("R1").SetFocused(true);
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Down));
    EXPECT_EQ(Focused(), "R2");
    EXPECT_TRUE(Find<TGraphCheckBox>("R2").Checked());
    EXPECT_FALSE(Find<TGraphCheckBox>("R1").Checked());
    Bench.Host().KeyDown(VirtualKey::Right);  // passes over the other group
    EXPECT_EQ(Focused(), "R3");
    Bench.Host().KeyDown(VirtualKey::Right);  // round to the first
    EXPECT_EQ(Focused(), "R1");
    Bench.Host().KeyDown(VirtualKey::Up);
    EXPECT_EQ(Focused(), "R3");
    EXPECT_EQ(Clicks, (std::vector<std::string>{"R2", "R3", "R1", "R3"}));
    EXPECT_FALSE(Find<TGraphCheckBox>("Other").Checked());
}

TEST_F(KeyboardTest, ARadioGroupIsOneTabStopItsCheckedButtonOrItsFirst) {
    Show(R"(<Page>)"
         R"(<GraphButton Name="A" Left="0" Top="20" Path="Btn"/>)"
         R"(<GraphRadioButton Name="R1" Left="0" Top="0" Path="Box" Group="1"/>)"
         R"(<GraphRadioButton Name="R2" Left="10" Top="0" Path="Box" Group="1" Checked="true"/>)"
         R"(<GraphRadioButton Name="R3" Left="20" Top="0" Path="Box" Group="1"/>)"
         R"(<GraphRadioButton Name="Alone" Left="30" Top="0" Path="Box" Group="2"/>)"
         R"(<GraphButton Name="Ok" Left="30" Top="20" Path="Btn"/>)"
         R"(</Page>)");
    Find("A").SetFocused(true);
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        Tab();
        order.push_back(Focused());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"R2", "Alone", "Ok", "A"}));
    Tab(ShiftState::Shift);
    Tab(ShiftState::Shift);
    Tab(ShiftState::Shift);
    EXPECT_EQ(Focused(), "R2") << "Shift+Tab comes back to the checked one";

    // With none checked, the first of the group is its stop; a disabled first passes it on.
    Find<TGraphCheckBox>("R2").SetChecked(false);
    Find("A").SetFocused(true);
    Tab();
    EXPECT_EQ(Focused(), "R1");
    Find("R1").SetEnabled(false);
    Find("A").SetFocused(true);
    Tab();
    EXPECT_EQ(Focused(), "R2");
}

// Alt with a letter acts on the control whose access key it is: a button is pressed, a box is
// toggled and focused, a label focuses what it names. Keys follow the language and ignore case.
TEST_F(KeyboardTest, AltWithAnAccessKeyActsOnItsControl) {
    constexpr uint32_t kText = 0xFF102030;
    Bench.AddFont("F.fnt", u"Go far", 4);
    Show(R"(<Page>)"
         R"(<GraphButton Name="Next" Left="0" Top="0" Path="Btn" AccessKey="[rus]Д[eng]N"/>)"
         R"(<GraphButton Name="Off" Left="30" Top="0" Path="Btn" AccessKey="x" Enabled="false"/>)"
         R"(<GraphCheckBox Name="Box" Left="0" Top="20" Path="Box" AccessKey="b"/>)"
         R"(<Label Name="Caption" Left="0" Top="50" Font="F.fnt" TextColor="0xFF102030" Caption="Go far")"
         R"( LabelFor="next" AccessKey="F"/>)"
         R"(</Page>)");
    CountClicks({"Next", "Off", "Box"});
    Languages->SelectLanguage(u"eng");
    const uint32_t before = Bench.Pixel(13, 59);
    const bool wasChecked = Find<TGraphCheckBox>("Box").Checked();
    EXPECT_FALSE(Bench.Container->FocusCuesShown());
    Bench.Host().PressKey(VirtualKey::Alt);
    EXPECT_TRUE(Bench.Container->FocusCuesShown()) << "Alt alone shows the keys";
    EXPECT_TRUE(Bench.Host().AccessKey(U'n'));
    EXPECT_TRUE(Bench.Host().AccessKey(U'B'));
    EXPECT_EQ(Focused(), "Box");
    EXPECT_NE(Find<TGraphCheckBox>("Box").Checked(), wasChecked);
    EXPECT_FALSE(Bench.Host().AccessKey(U'x')) << "a disabled control has no key; the system beeps";
    EXPECT_FALSE(Bench.Host().AccessKey(U'q'));
    EXPECT_TRUE(Bench.Host().AccessKey(U'f'));
    EXPECT_EQ(Focused(), "Next") << "the label's key focuses the control it names, without pressing it";
    Languages->SelectLanguage(u"rus");
    EXPECT_TRUE(Bench.Host().AccessKey(0x0434));  // д
    EXPECT_FALSE(Bench.Host().AccessKey(U'n'));
    Languages->SelectLanguage(u"eng");
    EXPECT_EQ(Clicks, (std::vector<std::string>{"Next", "Box", "Next"}));

    // Once keys are in use the captions show their keys: a line under the "f" of "Go far"
    // (glyph 3, 4 pixels wide), one pixel below the baseline.
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(13, 59), kText);
    EXPECT_EQ(Bench.Pixel(12, 59), kText);
    EXPECT_EQ(Bench.Pixel(15, 59), kText);
    EXPECT_NE(Bench.Pixel(16, 59), kText);
    EXPECT_NE(Bench.Pixel(11, 59), kText);
    EXPECT_NE(before, kText) << "no line before";
}

TEST_F(KeyboardTest, TheFocusRingShowsAfterTabNotAfterAMouseClick) {
    Show(R"(<Page>)"
         R"(<GraphButton Name="A" Left="10" Top="10" Path="Btn" FocusColor="0xFF00FF00"/>)"
         R"(<GraphButton Name="B" Left="50" Top="10" Path="Btn"/>)"
         R"(</Page>)");
    EXPECT_FALSE(Bench.Container->FocusCuesShown());
    Bench.Host().Click(15, 15);
    Bench.Host().MoveMouse(150, 80);  // off the buttons: their normal look
    Bench.Pump();
    EXPECT_EQ(Focused(), "A");  // a click focuses the button...
    EXPECT_EQ(Bench.Pixel(10, 10), kNormal);  // ...but shows no ring

    Tab(ShiftState::Shift);  // to B and back
    Tab();
    Bench.Pump();
    EXPECT_TRUE(Bench.Container->FocusCuesShown());
    // A 1-pixel ring on the button's outermost pixels, its own colour.
    for (auto [x, y] : {std::pair{10, 10}, {29, 10}, {10, 19}, {29, 19}, {20, 10}, {10, 15}, {29, 15}, {20, 19}}) {
        EXPECT_EQ(Bench.Pixel(x, y), kRing) << x << "," << y;
    }
    EXPECT_EQ(Bench.Pixel(11, 11), kNormal);
    EXPECT_EQ(Bench.Pixel(30, 15), kWhite);
    // B had the ring a moment ago: its repaint took it away.
    EXPECT_EQ(Bench.Pixel(50, 10), kNormal);

    // A control without a colour of its own takes the default style's.
    auto style = std::make_unique<TStyleItem>("default");
    style->SetFocusColor(kStyleRing);
    Bench.Resources.Styles().Add(std::move(style));
    Tab();
    Bench.Pump();
    EXPECT_EQ(Focused(), "B");
    EXPECT_EQ(Bench.Pixel(50, 10), kStyleRing);
    EXPECT_EQ(Bench.Pixel(10, 10), kNormal);

    // Turning the cues off repaints the focused control without its ring.
    Bench.Container->SetFocusCuesShown(false);
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(50, 10), kNormal);
}

}  // namespace
}  // namespace marlowen::testing
