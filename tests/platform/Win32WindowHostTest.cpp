// What only the real window host does: the system's messages mapped onto a container's events,
// and the hint popup's window. The shared behaviour is in WindowHostContractTest.cpp.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FormHost.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32ChildWindow.h"
#include "platform/win32/Win32FormHost.h"
#include "platform/win32/Win32HintPopup.h"
#include "platform/win32/Win32PopupWindow.h"
#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {
namespace {

// Every event with its arguments, as text.
class TDetailedEvents : public TWindowHostEvents {
public:
    std::vector<std::string> Log;
    bool Processed = true;

    void HostPaint(int32_t, int32_t, int32_t, int32_t) override {}
    void HostRepaintMessage() override {}
    void HostTimer() override {}
    void HostLButtonDown(int32_t x, int32_t y, TShiftState s) override { Mouse("ldown", x, y, s); }
    void HostLButtonUp(int32_t x, int32_t y, TShiftState s) override { Mouse("lup", x, y, s); }
    void HostLButtonDblClk(int32_t x, int32_t y, TShiftState s) override { Mouse("ldbl", x, y, s); }
    void HostRButtonDown(int32_t x, int32_t y, TShiftState s) override { Mouse("rdown", x, y, s); }
    void HostRButtonUp(int32_t x, int32_t y, TShiftState s) override { Mouse("rup", x, y, s); }
    void HostMouseMove(int32_t x, int32_t y, TShiftState s) override { Mouse("move", x, y, s); }
    void HostMouseWheel(int32_t delta, int32_t x, int32_t y, TShiftState s) override {
        Mouse("wheel " + std::to_string(delta), x, y, s);
    }
    void HostMouseEnter() override { Log.push_back("enter"); }
    void HostMouseLeave() override { Log.push_back("leave"); }
    void HostCaptureChanged() override { Log.push_back("capture-changed"); }
    bool HostKeyDown(uint32_t key, bool extended, bool repeated) override {
        Log.push_back("keydown " + std::to_string(key) + (extended ? " ext" : "") + (repeated ? " rep" : ""));
        return Processed;
    }
    bool HostKeyUp(uint32_t key, bool extended) override {
        Log.push_back("keyup " + std::to_string(key) + (extended ? " ext" : ""));
        return Processed;
    }
    bool HostCharPressed(uint32_t code, int32_t repeat) override {
        Log.push_back("char " + std::to_string(code) + " x" + std::to_string(repeat));
        return Processed;
    }

private:
    void Mouse(const std::string& name, int32_t x, int32_t y, TShiftState shift) {
        Log.push_back(name + " " + std::to_string(x) + " " + std::to_string(y) + " s" + std::to_string(shift));
    }
};

class Win32WindowHost : public ::testing::Test {
protected:
    TWin32Application Application;
    TWin32WindowHosts Hosts{Application};
};

TEST_F(Win32WindowHost, MessagesMapOntoTheContainersEventsExactly) {
    TDetailedEvents events;
    auto host = Hosts.CreateHost(events, 50, 30);
    HWND window = static_cast<TWin32ChildWindow&>(*host).Handle();
    ASSERT_NE(window, nullptr);

    // Client coordinates are signed; the key flags become the shift state (no Alt from them).
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 7));
    SendMessageW(window, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(4, 5));
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(1, 2));
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8, 9));
    // The wheel's point is on the screen, its delta signed in the high word.
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), MAKELPARAM(600, 400));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"ldown -3 7 s9", "lup 4 5 s4", "ldbl 1 2 s40", "rdown 8 9 s16",
                                                    "wheel -240 600 400 s4"}));

    // Keys: the extended bit (24) and the previous-state bit (30); a character's repeat count.
    events.Log.clear();
    SendMessageW(window, WM_KEYDOWN, VK_DELETE, static_cast<LPARAM>((1u << 24) | (1u << 30) | 1u));
    SendMessageW(window, WM_KEYUP, VK_LEFT, static_cast<LPARAM>(0xC0000001u));
    SendMessageW(window, WM_CHAR, 'a', 3);
    EXPECT_EQ(events.Log, (std::vector<std::string>{"keydown 46 ext rep", "keyup 37", "char 97 x3"}));
}

class TQuietForm : public TFormHostEvents {
public:
    void FormActivation(TFormActivation) override {}
    void FormHidden() override {}
    void FormCloseRequest() override {}
    void FormResized() override {}
    void FormMessage(uint32_t) override {}
};

// The classes make no double-click messages: a quick second press is a press like the first, and
// the double click it completes follows it. Before, the second press of a double click on a check
// box or a scroll arrow reached it as a double click only, and counted once.
TEST_F(Win32WindowHost, TheSecondPressOfADoubleClickIsAPressToo) {
    TDetailedEvents events;
    auto host = Hosts.CreateHost(events, 50, 30);
    HWND window = static_cast<TWin32ChildWindow&>(*host).Handle();
    EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE) & CS_DBLCLKS, 0u);
    TQuietForm formEvents;
    auto form = Hosts.CreateForm(formEvents, 80, 60);
    EXPECT_EQ(GetClassLongPtrW(static_cast<TWin32FormHost&>(*form).Handle(), GCL_STYLE) & CS_DBLCLKS, 0u);

    for (int press = 0; press < 3; ++press) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 12));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 12));
    }
    // Far from the press before it: no double click.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 12));
    // A right press between two left ones breaks them apart.
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 12));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 12));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"ldown 10 12 s8", "lup 10 12 s0", "ldown 10 12 s8", "ldbl 10 12 s8",
                                                    "lup 10 12 s0", "ldown 10 12 s8", "lup 10 12 s0",
                                                    "ldown 40 12 s8", "rdown 40 12 s16", "ldown 40 12 s8"}));
}

// Alt with a key, and F10, belong to the system (its menu opens on Alt+Space): a focused check box
// toggled on Alt+Space before.
TEST_F(Win32WindowHost, SystemKeysNeverReachTheControls) {
    TDetailedEvents events;
    auto host = Hosts.CreateHost(events, 50, 30);
    HWND window = static_cast<TWin32ChildWindow&>(*host).Handle();
    constexpr LPARAM kAltHeld = static_cast<LPARAM>(1u << 29) | 1;
    SendMessageW(window, WM_SYSKEYDOWN, VK_SPACE, kAltHeld);
    SendMessageW(window, WM_SYSKEYUP, VK_SPACE, static_cast<LPARAM>(0xE0000001u));
    SendMessageW(window, WM_SYSKEYDOWN, VK_F10, 1);
    SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(events.Log, (std::vector<std::string>{"keydown 32"}));
}


// A modal dialog or box disables the form under it, and the system tells a disabled window
// nothing of the pointer leaving: without being told here, a hovered button kept its hover look
// and its hint after the dialog was gone and the pointer elsewhere.
TEST_F(Win32WindowHost, ADisabledFormLetsThePointerGoAndTheNextMoveEntersAgain) {
    TDetailedEvents events;
    TQuietForm formEvents;
    auto form = Hosts.CreateForm(formEvents, 80, 60);
    auto host = Hosts.CreateHost(events, 50, 30);
    form->AttachWindow(*host);
    const HWND window = static_cast<TWin32ChildWindow&>(*host).Handle();

    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    form->SetEnabled(false);
    EXPECT_EQ(events.Log, (std::vector<std::string>{"enter", "move 5 6 s0", "leave"}));
    form->SetEnabled(true);
    events.Log.clear();
    form->SetEnabled(false);
    EXPECT_TRUE(events.Log.empty()) << "a pointer that is gone leaves once";
    form->SetEnabled(true);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(7, 8));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"enter", "move 7 8 s0"}));
}

TEST_F(Win32WindowHost, TheHintPopupIsATopmostShadowedToolWindowThatNeverActivates) {
    TWin32HintPopup& hint = static_cast<TWin32HintPopup&>(Hosts.HintPopup());
    EXPECT_FALSE(hint.Showing());
    const HWND active = GetActiveWindow();

    THintPicture picture;
    picture.Bounds = {50, 60, 250, 90};
    picture.Text = u"Browse for a folder";
    picture.TextRect = {4, 2, 196, 28};
    hint.Show(picture);
    ASSERT_TRUE(hint.Showing());
    const HWND window = hint.Handle();
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    EXPECT_NE(GetClassLongPtrW(window, GCL_STYLE) & CS_DROPSHADOW, 0u);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetActiveWindow(), active) << "showing a hint must not take the activation";
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.bottom, 90);

    // Shown again elsewhere: the same window moves.
    picture.Bounds = {70, 80, 170, 100};
    hint.Show(picture);
    EXPECT_EQ(hint.Handle(), window);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.right, 170);

    hint.Hide();
    EXPECT_FALSE(hint.Showing());
    EXPECT_FALSE(IsWindow(window));
    hint.Hide();  // nothing to hide
}

// A menu popup is owned by the application's hidden window whatever window is active: owned by
// the active one, it went with a message box that happened to be active.
TEST_F(Win32WindowHost, APopupIsOwnedByTheApplicationWindow) {
    TDetailedEvents events;
    TQuietForm formEvents;
    auto form = Hosts.CreateForm(formEvents, 80, 60);
    const HWND formWindow = static_cast<TWin32FormHost&>(*form).Handle();
    ShowWindow(formWindow, SW_SHOW);
    SetActiveWindow(formWindow);
    auto popup = Hosts.CreatePopup(events, 40, 20);
    popup->ShowAt(100, 100);
    const HWND popupWindow = static_cast<TWin32PopupWindow&>(*popup).Handle();
    EXPECT_EQ(GetWindow(popupWindow, GW_OWNER), Hosts.ParkingWindow());
    EXPECT_NE(GetWindow(popupWindow, GW_OWNER), formWindow);
    popup->Hide();
}

TEST_F(Win32WindowHost, HintTextIsMeasuredWrappedAtTheWidthGivenInTheFontOfTheDisplay) {
    THintPopup& hint = Hosts.HintPopup();
    const std::u16string text = u"A long hint that cannot fit on one narrow line of text";
    const int32_t dpi = hint.DpiAt(0, 0);
    EXPECT_GE(dpi, 96);
    int32_t wide = 0, wideHeight = 0, narrow = 0, narrowHeight = 0;
    hint.MeasureText(text, 2000, dpi, wide, wideHeight);
    hint.MeasureText(text, 120, dpi, narrow, narrowHeight);
    EXPECT_GT(wideHeight, 0);
    EXPECT_LE(narrow, 120);
    EXPECT_GE(narrowHeight, 3 * wideHeight) << "wrapping at 120 pixels takes several lines";
    // The font for a display of twice the DPI: about twice the line and the width.
    int32_t doubled = 0, doubledHeight = 0;
    hint.MeasureText(text, 4000, 2 * dpi, doubled, doubledHeight);
    EXPECT_GE(doubledHeight, 2 * wideHeight - 2);
    EXPECT_GE(doubled, 2 * wide - wide / 8);
    int32_t width = -1, height = -1;
    hint.MeasureText(u"", 100, dpi, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

}  // namespace
}  // namespace marlowen
