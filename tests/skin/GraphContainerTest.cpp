#include "ControlTestSupport.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "skin/PaintContext.h"

namespace marlowen::testing {
namespace {

// A control that writes every hook it gets into a shared log ("Name:Hook x,y").
class TRecorder : public TCustomGraphControl {
public:
    TRecorder(const TSkinContext& context, std::vector<std::string>& log, std::string name, bool hit = true)
        : TCustomGraphControl(context), Log_(log), Hit_(hit) {
        SetName(std::move(name));
    }

    bool HitTest(int32_t, int32_t) override { return Hit_; }
    void DoLButtonDown(int32_t x, int32_t y, TShiftState) override { Note("down", x, y); }
    void DoLButtonUp(int32_t x, int32_t y, TShiftState) override { Note("up", x, y); }
    void DoMouseMove(int32_t x, int32_t y, TShiftState) override { Note("move", x, y); }
    void DoMouseWheel(int32_t distance, int32_t, int32_t, TShiftState) override {
        Log_.push_back(Name() + ":wheel " + std::to_string(distance));
    }
    void DoMouseEnter() override { Log_.push_back(Name() + ":enter"); }
    void DoMouseLeave() override { Log_.push_back(Name() + ":leave"); }
    void CaptureLost() override {
        Log_.push_back(Name() + ":lost");
        if (ThrowOnCaptureLost) throw std::runtime_error("capture hook failed");
    }

    bool ThrowOnCaptureLost = false;

private:
    void Note(const char* what, int32_t x, int32_t y) {
        Log_.push_back(Name() + ":" + what + " " + std::to_string(x) + "," + std::to_string(y));
    }

    std::vector<std::string>& Log_;
    bool Hit_;
};

class ContainerTest : public ::testing::Test {
protected:
    TRecorder* Add(const std::string& name, int32_t l, int32_t t, int32_t w, int32_t h, bool hit = true,
                   TCustomGraphControl* parent = nullptr) {
        auto control = std::make_unique<TRecorder>(bench.Context, log, name, hit);
        control->SetBounds(l, t, w, h);
        TGraphControls& list = parent != nullptr ? parent->Controls() : bench.Container->Controls();
        return list.AddControl(std::move(control));
    }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

    TControlBench bench;
    std::vector<std::string> log;
};

TEST_F(ContainerTest, RepaintRequestsOfOneBurstBecomeOneMessageAndOneRegion) {
    bench.Pump();
    const int32_t posts = bench.Host().PostCount();
    const int32_t copies = bench.Host().CopyCount();
    bench.Container->InvalidateRect(10, 10, 20, 20);
    bench.Container->InvalidateRect(30, 5, 40, 15);
    EXPECT_EQ(bench.Host().PostCount(), posts + 1);
    EXPECT_EQ(bench.Container->DirtyRect(), (TRect{10, 5, 40, 20}));
    bench.Pump();
    EXPECT_EQ(bench.Host().CopyCount(), copies + 1);
    EXPECT_TRUE(bench.Container->DirtyEmpty());
    // Painted white exactly there.
    EXPECT_EQ(bench.Pixel(10, 5), 0xFFFFFFFFu);
    EXPECT_EQ(bench.Pixel(39, 19), 0xFFFFFFFFu);
    EXPECT_EQ(bench.Pixel(40, 19), 0u);
    EXPECT_EQ(bench.Pixel(9, 5), 0u);

    // While an update is open nothing is posted; closing it posts once.
    bench.Container->BeginUpdate();
    bench.Container->InvalidateRect(0, 0, 5, 5);
    EXPECT_EQ(bench.Host().PostCount(), posts + 1);
    bench.Container->EndUpdate();
    EXPECT_EQ(bench.Host().PostCount(), posts + 2);
}

TEST_F(ContainerTest, TheDirtyRegionStaysInsideTheClientArea) {
    TRecorder* far = Add("Far", 2000000000, 2000000000, 2000000000, 2000000000);
    TRecorder* huge = Add("Huge", -1000000, -1000000, 2000000000, 2000000000);
    (void)far;
    EXPECT_EQ(bench.Container->DirtyRect(), (TRect{0, 0, TControlBench::kWidth, TControlBench::kHeight}));
    bench.Pump();
    EXPECT_LE(bench.Container->BackBuffer().Width(), TControlBench::kWidth);
    EXPECT_LE(bench.Container->BackBuffer().Height(), TControlBench::kHeight);
    huge->SetLeft(1500000000);
    bench.Pump();
    EXPECT_LE(bench.Container->BackBuffer().Width(), TControlBench::kWidth);
}

TEST_F(ContainerTest, APaintThatFailsLeavesTheWindowAsItWas) {
    TRecorder* box = Add("Box", 0, 0, 10, 10);
    box->OnPaint = [](TCustomGraphControl&, const TPaintContext& paint) {
        paint.FillRect({0, 0, 10, 10}, 0xFF0000FF);
    };
    bench.Pump();
    ASSERT_EQ(bench.Pixel(5, 5), 0xFF0000FFu);
    box->OnPaint = [](TCustomGraphControl&, const TPaintContext&) { throw Exception("broken image"); };
    box->Invalidate();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(5, 5), 0xFF0000FFu);
    EXPECT_TRUE(bench.Container->DirtyEmpty());
}

TEST_F(ContainerTest, HitTestingFallsThroughControlsThatRefuseThePoint) {
    TRecorder* below = Add("Below", 0, 0, 50, 50);
    TRecorder* glass = Add("Glass", 0, 0, 50, 50, false);
    TRecorder* knob = Add("Knob", 10, 10, 10, 10, true, glass);
    EXPECT_EQ(bench.Container->ControlAt(30, 30), below);
    EXPECT_EQ(bench.Container->ControlAt(15, 15), knob);
    glass->SetVisible(false);
    EXPECT_EQ(bench.Container->ControlAt(15, 15), below);
    EXPECT_EQ(bench.Container->ControlAt(150, 15), nullptr);
}

TEST_F(ContainerTest, ButtonsGoToTheControlUnderThePointOrToTheContainer) {
    Add("A", 10, 10, 20, 20);
    std::vector<std::string> container;
    bench.Container->OnLButtonDown = [&](TCustomGraphContainer&, int32_t x, int32_t y, TShiftState) {
        container.push_back(std::to_string(x) + "," + std::to_string(y));
    };
    bench.Host().PressLeft(15, 17);
    bench.Host().PressLeft(100, 50);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:enter", "A:move 5,7", "A:down 5,7", "A:leave"}));
    EXPECT_EQ(container, (std::vector<std::string>{"100,50"}));
}

TEST_F(ContainerTest, TheCapturedControlGetsTheMouseEvenOutsideTheWindow) {
    TRecorder* a = Add("A", 10, 10, 20, 20);
    bench.Host().PressLeft(15, 15);
    a->CaptureMouse();
    EXPECT_TRUE(bench.Host().HasCapture());
    TakeLog();
    bench.Host().MoveMouse(300, -40);
    bench.Host().ReleaseLeft(300, -40);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:move 290,-50", "A:up 290,-50"}));
    a->ReleaseMouse();
    EXPECT_FALSE(bench.Host().HasCapture());
    // Released while the pointer is outside: the control hears it left, and loses the capture once.
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:lost"}));
}

TEST_F(ContainerTest, ACaptureTakenByAnotherControlIsLostExactlyOnce) {
    TRecorder* a = Add("A", 0, 0, 10, 10);
    TRecorder* b = Add("B", 20, 0, 10, 10);
    a->CaptureMouse();
    b->CaptureMouse();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:lost"}));
    EXPECT_EQ(bench.Container->CapturedControl(), b);
    b->ReleaseMouse();
    b->ReleaseMouse();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"B:lost"}));

    // Another window taking the capture tells the control, with a leave when the pointer is out.
    a->CaptureMouse();
    bench.Host().LeavePointer();
    TakeLog();
    TCustomGraphContainer other(bench.Context, 10, 10);
    other.Host().SetCapture();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:leave", "A:lost"}));
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
}

TEST_F(ContainerTest, ALentCaptureComesBackOrIsLostByBoth) {
    TRecorder* holder = Add("A", 0, 0, 10, 10);
    TRecorder* borrower = Add("B", 20, 0, 10, 10);
    TRecorder* third = Add("C", 40, 0, 10, 10);
    holder->CaptureMouse();
    bench.Container->LendCapture(*borrower);
    EXPECT_EQ(bench.Container->CapturedControl(), borrower);
    borrower->ReleaseMouse();  // back to the holder, which heard nothing
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"B:lost"}));
    EXPECT_EQ(bench.Container->CapturedControl(), holder);
    EXPECT_TRUE(bench.Host().HasCapture());

    bench.Container->LendCapture(*borrower);
    third->CaptureMouse();  // a third control ends the loan: both lose
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"B:lost", "A:lost"}));
    third->ReleaseMouse();
    TakeLog();

    holder->CaptureMouse();
    bench.Container->LendCapture(*borrower);
    bench.Host().LeavePointer();
    TakeLog();
    TCustomGraphContainer other(bench.Context, 10, 10);
    other.Host().SetCapture();  // the window loses it: both hear, nothing is left captured
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"B:leave", "B:lost", "A:lost"}));
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
}

TEST_F(ContainerTest, RemovingAControlClearsEveryReferenceEvenWhenItsHookRaises) {
    TRecorder* frame = Add("Frame", 0, 0, 100, 100);
    TRecorder* inner = Add("Inner", 10, 10, 10, 10, true, frame);
    inner->ThrowOnCaptureLost = true;
    inner->Hint = u"tip";
    bench.Container->HintDelay = 0;
    bench.Host().MoveMouse(15, 15);
    inner->CaptureMouse();
    inner->TabStop = true;
    inner->SetFocused(true);
    EXPECT_TRUE(bench.Container->HintShown());
    bench.Container->Controls().Remove(frame, true);
    EXPECT_EQ(bench.Container->HoverControl(), nullptr);
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
    EXPECT_EQ(bench.Container->FocusedControl(), nullptr);
    EXPECT_EQ(bench.Container->HintControl(), nullptr);
    EXPECT_FALSE(bench.Container->HintShown());
    EXPECT_FALSE(bench.Host().HasCapture());
    bench.Host().MoveMouse(16, 16);  // nothing dangles
    bench.Pump();
}

TEST_F(ContainerTest, ADisabledControlIsHoveredButNotNotified) {
    TRecorder* off = Add("Off", 0, 0, 50, 50);
    off->SetEnabled(false);
    off->SetCursor(CursorId::HandPoint);
    int containerMoves = 0;
    bench.Container->OnMouseMove = [&](TCustomGraphContainer&, int32_t, int32_t, TShiftState) { ++containerMoves; };
    bench.Host().MoveMouse(5, 5);
    bench.Host().PressLeft(5, 5);
    bench.Host().ReleaseLeft(5, 5);
    EXPECT_EQ(bench.Container->HoverControl(), off);
    EXPECT_EQ(bench.Windows().Cursor(), CursorId::HandPoint);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Off:enter"}));
    EXPECT_EQ(containerMoves, 0);
    bench.Host().MoveMouse(100, 5);
    EXPECT_EQ(containerMoves, 1);
    EXPECT_EQ(bench.Windows().Cursor(), CursorId::Default);
}

TEST_F(ContainerTest, TheWheelArrivesInNotches) {
    Add("A", 0, 0, 50, 50);
    bench.Host().Wheel(-240, 5, 5);
    bench.Host().Wheel(119, 5, 5);
    const std::vector<std::string> expected{"A:enter", "A:move 5,5", "A:wheel -2", "A:wheel 0"};
    EXPECT_EQ(TakeLog(), expected);
}

TEST_F(ContainerTest, TabWalksTheTabStopsInTreeOrderAndLeavesAtTheEnd) {
    TRecorder* a = Add("A", 0, 0, 10, 10);
    TRecorder* frame = Add("Frame", 0, 0, 10, 10);
    TRecorder* b = Add("B", 0, 0, 10, 10, true, frame);
    TRecorder* skipped = Add("Skipped", 0, 0, 10, 10);
    TRecorder* c = Add("C", 0, 0, 10, 10);
    a->TabStop = b->TabStop = c->TabStop = skipped->TabStop = true;
    skipped->SetEnabled(false);
    bench.Container->TabWrap = false;  // the screen asks for the form's window order

    EXPECT_EQ(bench.Container->FindNextControl(c, true, true), nullptr);  // no wrap-around
    EXPECT_EQ(bench.Container->FindNextControl(nullptr, false, true), c);
    bench.Host().PressKey(VirtualKey::Tab);
    EXPECT_EQ(bench.Container->FocusedControl(), a);
    bench.Host().PressKey(VirtualKey::Tab);
    EXPECT_EQ(bench.Container->FocusedControl(), b);
    bench.Host().PressKey(VirtualKey::Tab);
    EXPECT_EQ(bench.Container->FocusedControl(), c);
    bench.Host().PressKey(VirtualKey::Tab, ShiftState::Shift);
    EXPECT_EQ(bench.Container->FocusedControl(), b);
    bench.Host().PressKey(VirtualKey::Tab);
    // From the last tab stop the form is asked to move on; a lone window starts over.
    const int32_t asked = bench.Host().FocusNextWindowCount();
    bench.Host().PressKey(VirtualKey::Tab);
    EXPECT_EQ(bench.Host().FocusNextWindowCount(), asked + 1);
    EXPECT_TRUE(bench.Host().LastFocusNextForward());
    EXPECT_EQ(bench.Container->FocusedControl(), a);
    EXPECT_TRUE(a->Focused());
    EXPECT_FALSE(c->Focused());

    // Hiding the focused control takes the focus away without an exit.
    int exits = 0;
    a->OnExit = [&](TCustomGraphControl&) { ++exits; };
    a->SetVisible(false);
    EXPECT_EQ(bench.Container->FocusedControl(), nullptr);
    EXPECT_FALSE(a->Focused());
    EXPECT_EQ(exits, 0);
}

TEST_F(ContainerTest, KeysGoToTheFocusedControlThenToTheContainer) {
    TRecorder* a = Add("A", 0, 0, 10, 10);
    a->TabStop = true;
    a->SetFocused(true);
    std::vector<uint32_t> control;
    std::vector<uint32_t> container;
    a->OnKeyDown = [&](uint32_t key, bool, bool, bool& processed) {
        control.push_back(key);
        processed = key == 'A';
    };
    bench.Container->OnKeyDown = [&](uint32_t key, bool, bool, bool& processed) {
        container.push_back(key);
        processed = key == 'B';
    };
    EXPECT_TRUE(bench.Host().KeyDown('A'));
    EXPECT_TRUE(bench.Host().KeyDown('B'));
    EXPECT_FALSE(bench.Host().KeyDown('C'));
    EXPECT_EQ(control, (std::vector<uint32_t>{'A', 'B', 'C'}));
    EXPECT_EQ(container, (std::vector<uint32_t>{'B', 'C'}));
}

class HintTest : public ContainerTest {
protected:
    HintTest() {
        bench.Container->OnShowHint = [this](TCustomGraphContainer&, TCustomGraphControl& control, int32_t, int32_t) {
            hints.push_back("show " + control.Name() + " at " + std::to_string(bench.Machine.Application.TickCount()));
        };
        bench.Container->OnHideHint = [this](TCustomGraphContainer&) {
            hints.push_back("hide at " + std::to_string(bench.Machine.Application.TickCount()));
        };
        one = Add("One", 0, 0, 20, 20);
        two = Add("Two", 30, 0, 20, 20);
        one->Hint = u"first";
        two->Hint = u"second";
    }
    ~HintTest() override { bench.Container->OnHideHint = nullptr; }

    std::vector<std::string> hints;
    TRecorder* one = nullptr;
    TRecorder* two = nullptr;
};

TEST_F(HintTest, AHintAppearsOnTheFirstTickAfterTheDelayEvenWhenTheClockStartsAtZero) {
    ASSERT_EQ(bench.Machine.Application.TickCount(), 0u);
    bench.Host().MoveMouse(5, 5);
    bench.Advance(499);
    EXPECT_TRUE(hints.empty());
    bench.Advance(40);
    EXPECT_EQ(hints, (std::vector<std::string>{"show One at 500"}));
    // Moving to another control with a hint switches at once; the shown hint times out.
    bench.Host().MoveMouse(35, 5);
    bench.Advance(4020);
    EXPECT_EQ(hints, (std::vector<std::string>{"show One at 500", "hide at 539", "show Two at 539", "hide at 4540"}));
}

TEST_F(HintTest, AHintTimeOfZeroKeepsTheHintUntilThePointerLeaves) {
    bench.Container->HintTime = 0;
    bench.Container->HintDelay = 0;
    bench.Host().MoveMouse(5, 5);
    bench.Advance(60000);
    EXPECT_EQ(hints, (std::vector<std::string>{"show One at 0"}));
    bench.Host().MoveMouse(25, 5);
    EXPECT_EQ(hints, (std::vector<std::string>{"show One at 0", "hide at 60000"}));
}

}  // namespace
}  // namespace marlowen::testing
