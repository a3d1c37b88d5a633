// The contract of the window hosts (a container's window and the form around it), run against the
// headless backend everywhere and against the real one on Windows (under Wine with a display).
// A backend that drifts from the other fails here.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Application.h"
#include "platform/FormHost.h"
#include "platform/PopupWindow.h"
#include "platform/WindowHost.h"
#include "platform/headless/HeadlessApplication.h"
#include "platform/headless/HeadlessWindowHost.h"

#ifdef _WIN32
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32ChildWindow.h"
#include "platform/win32/Win32Gdi.h"
#include "platform/win32/Win32WindowHosts.h"
#endif

namespace marlowen {
namespace {

using TLog = std::vector<std::string>;

bool Contains(const TLog& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

size_t CountOf(const TLog& log, const std::string& entry) {
    return static_cast<size_t>(std::count(log.begin(), log.end(), entry));
}

// The log less the system's own paint requests (a real system may send them at any time).
TLog WithoutPaints(const TLog& log) {
    TLog kept;
    for (const std::string& entry : log) {
        if (entry.rfind("paint ", 0) != 0) kept.push_back(entry);
    }
    return kept;
}

// What a container would hear from its window, as text.
class TRecordingWindow : public TWindowHostEvents {
public:
    explicit TRecordingWindow(TLog& log, std::string name = "") : Log_(log), Name_(std::move(name)) {}

    void HostPaint(int32_t l, int32_t t, int32_t r, int32_t b) override {
        Add("paint " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " + std::to_string(b));
    }
    void HostRepaintMessage() override { Add("repaint"); }
    void HostTimer() override { Add("timer"); }
    void HostLButtonDown(int32_t, int32_t, TShiftState) override { Add("ldown"); }
    void HostLButtonUp(int32_t, int32_t, TShiftState) override { Add("lup"); }
    void HostLButtonDblClk(int32_t, int32_t, TShiftState) override { Add("ldbl"); }
    void HostRButtonDown(int32_t, int32_t, TShiftState) override { Add("rdown"); }
    void HostRButtonUp(int32_t, int32_t, TShiftState) override { Add("rup"); }
    void HostMouseMove(int32_t x, int32_t y, TShiftState) override {
        Add("move " + std::to_string(x) + " " + std::to_string(y));
    }
    void HostMouseWheel(int32_t, int32_t, int32_t, TShiftState) override { Add("wheel"); }
    void HostMouseEnter() override {}
    void HostMouseLeave() override {}
    void HostCaptureChanged() override { Add("capture-changed"); }
    bool HostKeyDown(uint32_t, bool, bool) override { return false; }
    bool HostKeyUp(uint32_t, bool) override { return false; }
    bool HostCharPressed(uint32_t, int32_t) override { return false; }

private:
    void Add(const std::string& entry) { Log_.push_back(Name_.empty() ? entry : Name_ + " " + entry); }

    TLog& Log_;
    std::string Name_;
};

// What a skinned form would hear from its window; a handler may be set for posted messages.
class TRecordingForm : public TFormHostEvents {
public:
    explicit TRecordingForm(TLog& log) : Log_(log) {}

    void FormActivation(TFormActivation state) override {
        Log_.push_back(state == TFormActivation::Inactive ? "inactive" : "active");
    }
    void FormHidden() override { Log_.push_back("hidden"); }
    void FormCloseRequest() override { Log_.push_back("close"); }
    void FormResized() override { Log_.push_back("resized"); }
    void FormMessage(uint32_t message) override {
        Log_.push_back("message " + std::to_string(message - kUserMessage));
        if (OnMessage) OnMessage();
    }

    std::function<void()> OnMessage;

private:
    TLog& Log_;
};

class THeadlessDriver {
public:
    static constexpr const char* kName = "Headless";

    TWindowHosts& Windows() { return Hosts_; }
    const TApplication& Application() const { return Application_; }
    void Pump() { Hosts_.Screen.DeliverMessages(); }
    void Wait(uint32_t milliseconds) { Hosts_.AdvanceClock(milliseconds); }
    void RequestPaint(TWindowHost& window) { static_cast<THeadlessWindowHost&>(window).InvalidateAll(); }
    // The colour shown at a client point, 0xRRGGBB.
    uint32_t Pixel(TWindowHost& window, int32_t x, int32_t y) {
        return static_cast<THeadlessWindowHost&>(window).Pixel(x, y) & 0xFFFFFFu;
    }

private:
    THeadlessApplication Application_;
    THeadlessWindowHosts Hosts_{Application_};
};

#ifdef _WIN32
class TWin32Driver {
public:
    static constexpr const char* kName = "Win32";

    TWindowHosts& Windows() { return Hosts_; }
    const TApplication& Application() const { return Application_; }
    void Pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Wait(uint32_t milliseconds) {
        const DWORD start = GetTickCount();
        do {
            Pump();
            Sleep(2);
        } while (GetTickCount() - start < milliseconds);
        Pump();
    }
    void RequestPaint(TWindowHost& window) {
        InvalidateRect(static_cast<TWin32ChildWindow&>(window).Handle(), nullptr, FALSE);
    }
    uint32_t Pixel(TWindowHost& window, int32_t x, int32_t y) {
        GdiFlush();
        const TWindowDC dc(static_cast<TWin32ChildWindow&>(window).Handle());
        const COLORREF color = GetPixel(dc.Get(), x, y);
        return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
    }

private:
    TWin32Application Application_;
    TWin32WindowHosts Hosts_{Application_};
};
#endif

// A shown 60 x 40 form at (100, 80) holding one 60 x 40 container window.
template <class TDriver>
class WindowHostContract : public ::testing::Test {
protected:
    static constexpr int32_t kLeft = 100;
    static constexpr int32_t kTop = 80;
    static constexpr int32_t kWidth = 60;
    static constexpr int32_t kHeight = 40;

    void SetUp() override {
        Form = Driver.Windows().CreateForm(FormEvents, kWidth, kHeight);
        Window = Driver.Windows().CreateHost(WindowEvents, kWidth, kHeight);
        Form->AttachWindow(*Window);
        Form->MoveTo(kLeft, kTop);
        Form->Show();
        Driver.Pump();
        Log.clear();
        FormLog.clear();
    }

    void TearDown() override {
        Window.reset();
        Form.reset();
    }

    TDriver Driver;
    TLog Log;
    TLog FormLog;
    TRecordingWindow WindowEvents{Log};
    TRecordingForm FormEvents{FormLog};
    std::unique_ptr<TFormHost> Form;
    std::unique_ptr<TWindowHost> Window;
};

#ifdef _WIN32
using TDrivers = ::testing::Types<THeadlessDriver, TWin32Driver>;
#else
using TDrivers = ::testing::Types<THeadlessDriver>;
#endif

class TDriverNames {
public:
    template <class T>
    static std::string GetName(int) {
        return T::kName;
    }
};

TYPED_TEST_SUITE(WindowHostContract, TDrivers, TDriverNames);

TYPED_TEST(WindowHostContract, PaintRequestsNameTheAreaAndCopiesLandClippedWithTheirStride) {
    this->Driver.RequestPaint(*this->Window);
    this->Driver.Pump();
    EXPECT_TRUE(Contains(this->Log, "paint 0 0 60 40"));

    // A 4 x 3 block out of rows 8 pixels apart: each pixel names its place, the padding is red.
    std::vector<uint32_t> pixels(8 * 3, 0xFFFF0000u);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) pixels[static_cast<size_t>(y * 8 + x)] = 0xFF000000u | (0x10u * x) << 8 | (0x20u * y);
    }
    std::vector<uint32_t> white(60 * 40, 0xFFFFFFFFu);
    this->Window->CopyToWindow(white.data(), 60, 0, 0, 60, 40);
    this->Window->CopyToWindow(pixels.data(), 8, 10, 5, 4, 3);
    // Partly beyond the right and bottom edges: what fits lands, nothing else is touched.
    this->Window->CopyToWindow(pixels.data(), 8, 58, 38, 4, 3);

    auto& driver = this->Driver;
    TWindowHost& window = *this->Window;
    EXPECT_EQ(driver.Pixel(window, 10, 5), 0x000000u);
    EXPECT_EQ(driver.Pixel(window, 13, 5), 0x003000u);
    EXPECT_EQ(driver.Pixel(window, 13, 7), 0x003040u);
    EXPECT_EQ(driver.Pixel(window, 14, 5), 0xFFFFFFu) << "the stride's padding must not be copied";
    EXPECT_EQ(driver.Pixel(window, 10, 8), 0xFFFFFFu);
    EXPECT_EQ(driver.Pixel(window, 9, 5), 0xFFFFFFu);
    EXPECT_EQ(driver.Pixel(window, 59, 39), 0x001020u);
    EXPECT_EQ(driver.Pixel(window, 57, 39), 0xFFFFFFu);
}

TYPED_TEST(WindowHostContract, PostedMessagesArriveInTheirOrderAndOnlyWhenPumped) {
    this->Window->PostRepaintMessage();
    this->Window->PostMouseMove(3, 4);
    this->Window->PostRepaintMessage();
    this->Form->PostMessage(kUserMessage + 7);
    EXPECT_TRUE(this->Log.empty()) << "posting delivers nothing by itself";

    this->Driver.Pump();
    EXPECT_EQ(WithoutPaints(this->Log), (TLog{"repaint", "move 3 4", "repaint"}));
    EXPECT_EQ(this->FormLog, (TLog{"message 7"}));
}

TYPED_TEST(WindowHostContract, CaptureChangesAreHeardBeforeTheCallReturns) {
    TLog otherLog;
    TRecordingWindow otherEvents(otherLog);
    auto other = this->Driver.Windows().CreateHost(otherEvents, 10, 10);
    this->Form->AttachWindow(*other);
    TWindowHost& window = *this->Window;

    window.SetCapture();
    EXPECT_TRUE(window.HasCapture());
    EXPECT_TRUE(this->Log.empty()) << "taking the capture is no change for the taker";

    other->SetCapture();  // taken away by another window
    EXPECT_FALSE(window.HasCapture());
    EXPECT_TRUE(other->HasCapture());
    EXPECT_EQ(this->Log, TLog{"capture-changed"});

    window.ReleaseCapture();  // not held: nothing happens, the other keeps it
    EXPECT_TRUE(other->HasCapture());
    EXPECT_TRUE(otherLog.empty());

    other->ReleaseCapture();
    EXPECT_FALSE(other->HasCapture());
    EXPECT_EQ(otherLog, TLog{"capture-changed"});
    EXPECT_EQ(this->Log.size(), 1u);
}

TYPED_TEST(WindowHostContract, TheTimerTicksUntilStoppedAndARestartKeepsOneTimer) {
    this->Window->StartTimer(kContainerTimerMs);
    this->Window->StartTimer(kContainerTimerMs);
    this->Driver.Wait(150);
    const size_t ticks = CountOf(this->Log, "timer");
    EXPECT_GE(ticks, 2u);
    EXPECT_LE(ticks, 8u) << "two timers seem to run";

    this->Window->StopTimer();
    this->Driver.Pump();
    this->Log.clear();
    this->Driver.Wait(80);
    EXPECT_EQ(CountOf(this->Log, "timer"), 0u);
}

TYPED_TEST(WindowHostContract, TheShapeDecidesWhichScreenPointsAreTheWindows) {
    TWindowHost& window = *this->Window;
    const int32_t left = this->kLeft;
    const int32_t top = this->kTop;
    EXPECT_TRUE(window.IsWindowAt(left + 50, top + 30));

    // Two rectangles that meet at a corner.
    this->Form->SetShape({{0, 0, 20, 20}, {20, 20, 40, 40}});
    this->Driver.Pump();
    EXPECT_TRUE(window.IsWindowAt(left + 5, top + 5));
    EXPECT_TRUE(window.IsWindowAt(left + 39, top + 39));
    EXPECT_FALSE(window.IsWindowAt(left + 25, top + 5));
    EXPECT_FALSE(window.IsWindowAt(left + 50, top + 30));

    this->Form->SetShape({});
    this->Driver.Pump();
    EXPECT_TRUE(window.IsWindowAt(left + 50, top + 30)) << "no rectangle removes the shape";
}

TYPED_TEST(WindowHostContract, APopupShowsOnTopWhereItIsPutKeepsToItsShapeAndLeavesTheFocus) {
    TWindowHost& window = *this->Window;
    const int32_t left = this->kLeft;
    const int32_t top = this->kTop;
    TLog popupLog;
    TRecordingWindow popupEvents(popupLog);
    std::unique_ptr<TPopupWindow> popup = this->Driver.Windows().CreatePopup(popupEvents, 30, 20);
    TWindowHost& host = popup->Host();
    this->Driver.Pump();
    EXPECT_FALSE(host.Visible()) << "a popup is made hidden";
    EXPECT_FALSE(host.CanFocus());
    window.SetFocus();

    popup->ShowAt(left + 10, top + 10);
    this->Driver.Pump();
    EXPECT_TRUE(host.Visible());
    EXPECT_EQ(popup->Bounds(), (TScreenRect{left + 10, top + 10, left + 40, top + 30}));
    EXPECT_TRUE(Contains(popupLog, "paint 0 0 30 20")) << "a popup that appears is painted";
    EXPECT_TRUE(host.IsWindowAt(left + 15, top + 15));
    EXPECT_FALSE(window.IsWindowAt(left + 15, top + 15)) << "the popup lies above the form";
    EXPECT_TRUE(window.Focused()) << "showing a popup takes no focus";
    int32_t x = 0;
    int32_t y = 0;
    host.ClientToScreen(x, y);
    EXPECT_EQ(x, left + 10);
    EXPECT_EQ(y, top + 10);

    // Only its left half stays: the form shows through the rest.
    popup->SetShape({{0, 0, 15, 20}});
    this->Driver.Pump();
    EXPECT_TRUE(host.IsWindowAt(left + 12, top + 15));
    EXPECT_TRUE(window.IsWindowAt(left + 30, top + 15));

    popup->Hide();
    this->Driver.Pump();
    EXPECT_FALSE(host.Visible());
    EXPECT_TRUE(window.IsWindowAt(left + 12, top + 15));
    const TScreenRect work = popup->WorkArea();
    EXPECT_GT(work.Width(), 0);
    EXPECT_GT(work.Height(), 0);
}

TYPED_TEST(WindowHostContract, TheWindowFollowsTheFormOnTheScreen) {
    TWindowHost& window = *this->Window;
    EXPECT_EQ(this->Form->Bounds(), (TScreenRect{100, 80, 160, 120}));
    int32_t x = 0;
    int32_t y = 0;
    window.ClientToScreen(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 80);

    this->Form->MoveTo(130, 95);
    x = 7;
    y = -3;
    window.ClientToScreen(x, y);
    EXPECT_EQ(x, 137);
    EXPECT_EQ(y, 92);
    window.ScreenToClient(x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, -3);
    EXPECT_TRUE(this->FormLog.empty()) << "a move is no resize";

    this->Form->SetBounds({140, 90, 220, 150});
    EXPECT_EQ(this->Form->Bounds(), (TScreenRect{140, 90, 220, 150}));
    EXPECT_EQ(this->FormLog, TLog{"resized"});
    window.SetClientSize(80, 60);
    EXPECT_EQ(window.ClientWidth(), 80);
    EXPECT_EQ(window.ClientHeight(), 60);
}

TYPED_TEST(WindowHostContract, FocusBelongsToOneWindowAtATime) {
    TLog otherLog;
    TRecordingWindow otherEvents(otherLog);
    auto other = this->Driver.Windows().CreateHost(otherEvents, 10, 10);
    this->Form->AttachWindow(*other);
    this->Form->BringToFront();
    this->Driver.Pump();

    ASSERT_TRUE(this->Window->CanFocus());
    this->Window->SetFocus();
    EXPECT_TRUE(this->Window->Focused());
    other->SetFocus();
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(this->Window->Focused());
    EXPECT_EQ(this->Window->Form(), this->Form.get());
}

TYPED_TEST(WindowHostContract, HidingClosingAndTheSystemMenuReachTheForm) {
    const std::vector<uint32_t> before = this->Form->SystemMenu();
    ASSERT_NE(std::find(before.begin(), before.end(), SystemCommand::Maximize), before.end());
    this->Form->RemoveSystemMenuItem(SystemCommand::Maximize);
    const std::vector<uint32_t> after = this->Form->SystemMenu();
    EXPECT_EQ(std::find(after.begin(), after.end(), SystemCommand::Maximize), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), SystemCommand::Close), after.end());

    this->Form->Close();
    EXPECT_TRUE(Contains(this->FormLog, "close"));
    EXPECT_TRUE(this->Form->Visible()) << "the form's object decides what closing means";

    this->Form->Hide();
    EXPECT_FALSE(this->Form->Visible());
    EXPECT_EQ(CountOf(this->FormLog, "hidden"), 1u);
    this->Form->Hide();
    EXPECT_EQ(CountOf(this->FormLog, "hidden"), 1u) << "hiding a hidden form is no news";
}

TYPED_TEST(WindowHostContract, AModalRunEndsWhenAHandlerHidesOrFreesItsForm) {
    this->FormEvents.OnMessage = [this] { this->Form->Hide(); };
    this->Form->PostMessage(kUserMessage + 1);
    this->Form->RunModal(this->Driver.Application());
    EXPECT_FALSE(this->Form->Visible());
    EXPECT_TRUE(Contains(this->FormLog, "message 1"));

    // Freed by its own handler in the middle of the run: the run must notice, not touch it.
    this->Window.reset();
    this->FormEvents.OnMessage = [this] { this->Form.reset(); };
    this->Form->PostMessage(kUserMessage + 2);
    this->Form->RunModal(this->Driver.Application());
    EXPECT_TRUE(this->Form == nullptr);
}

}  // namespace
}  // namespace marlowen
