#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/PopupWindow.h"
#include "platform/WindowHost.h"
#include "platform/headless/HeadlessForms.h"

namespace marlowen {

class THeadlessApplication;
class THeadlessFormHost;
class THeadlessWindowHosts;

// An off-screen window: a surface of client size that CopyToWindow writes, a place on a virtual
// screen, and injectors that deliver mouse and keyboard input as the system would. Messages that
// the window posts wait in its collection's queue until Pump.
class THeadlessWindowHost : public TWindowHost {
public:
    THeadlessWindowHost(THeadlessWindowHosts& hosts, TWindowHostEvents& events, int32_t width, int32_t height);
    ~THeadlessWindowHost() override;

    // TWindowHost
    int32_t ClientWidth() const override { return Width_; }
    int32_t ClientHeight() const override { return Height_; }
    void SetClientSize(int32_t width, int32_t height) override;
    bool Visible() const override { return Visible_; }
    void CopyToWindow(const uint32_t* pixels, int32_t stride, int32_t left, int32_t top, int32_t width,
                      int32_t height) override;
    void PostRepaintMessage() override;
    void PostMouseMove(int32_t x, int32_t y) override;
    void StartTimer(uint32_t intervalMs) override;
    void StopTimer() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    bool HasCapture() const override;
    void SetCursor(int16_t cursor) override;
    void PointerPosition(int32_t& screenX, int32_t& screenY) const override;
    bool IsWindowAt(int32_t screenX, int32_t screenY) const override;
    void ClientToScreen(int32_t& x, int32_t& y) const override;
    void ScreenToClient(int32_t& x, int32_t& y) const override;
    TShiftState KeyboardShift() const override;
    bool CanFocus() const override { return Visible_; }
    void SetFocus() override;
    bool Focused() const override;
    bool FocusNextWindow(bool forward) override;
    TFormHost* Form() const override;
    void SetAccessibleTree(TAccessibleTree* tree) override { AccessibleTree_ = tree; }
    void NotifyAccessible(uint32_t event, int32_t id) override { AccessibleEvents_.push_back({event, id}); }

    // An event raised for assistive technology, in the order raised.
    struct TAccessibleEvent {
        uint32_t Event = 0;
        int32_t Id = 0;
        bool operator==(const TAccessibleEvent& other) const { return Event == other.Event && Id == other.Id; }
    };
    // The tree set for assistive technology (none unset) and the events raised so far.
    TAccessibleTree* AccessibleTree() const { return AccessibleTree_; }
    const std::vector<TAccessibleEvent>& AccessibleEvents() const { return AccessibleEvents_; }
    void ClearAccessibleEvents() { AccessibleEvents_.clear(); }

    // The form that holds the window (THeadlessFormHost::AttachHost sets it).
    void SetForm(THeadlessFormHost* form) { Form_ = form; }

    // The window's place on the virtual screen and whether it shows.
    void SetScreenOrigin(int32_t x, int32_t y);
    void SetVisible(bool visible) { Visible_ = visible; }
    // The system asks for the whole client area to be painted (as when a window appears).
    void InvalidateAll();

    // What the window shows: Width x Height pixels, top row first; 0 before anything was copied.
    const std::vector<uint32_t>& Surface() const { return Surface_; }
    uint32_t Pixel(int32_t x, int32_t y) const;

    // Input as a person gives it, in client coordinates. A press, release or wheel at a point
    // where the pointer is not moves it there first. Input goes to the window that holds the
    // capture when another does. Moving in from outside announces the entry first; LeavePointer
    // moves the pointer off every window.
    void MoveMouse(int32_t x, int32_t y, TShiftState shift = 0);
    void PressLeft(int32_t x, int32_t y, TShiftState shift = 0);
    void ReleaseLeft(int32_t x, int32_t y, TShiftState shift = 0);
    void DoubleClickLeft(int32_t x, int32_t y, TShiftState shift = 0);
    void PressRight(int32_t x, int32_t y, TShiftState shift = 0);
    void ReleaseRight(int32_t x, int32_t y, TShiftState shift = 0);
    // Move, press and release at one point.
    void Click(int32_t x, int32_t y, TShiftState shift = 0);
    void Wheel(int32_t delta, int32_t x, int32_t y, TShiftState shift = 0);
    void LeavePointer();
    // Keys, with Shift, Ctrl and Alt held as given for the duration of the call. Each returns
    // what the window answered (processed).
    bool KeyDown(uint32_t virtualKey, TShiftState shift = 0, bool repeated = false);
    bool KeyUp(uint32_t virtualKey, TShiftState shift = 0);
    bool CharPressed(uint32_t charCode, int32_t repeatCount = 1);
    // A character typed with Alt held.
    bool AccessKey(uint32_t charCode);
    // Down and up.
    void PressKey(uint32_t virtualKey, TShiftState shift = 0);

    // Counters: repaint messages posted, repaint messages delivered, copies to the window,
    // mouse moves posted.
    int32_t PostCount() const { return PostCount_; }
    int32_t RepaintCount() const { return RepaintCount_; }
    int32_t CopyCount() const { return CopyCount_; }
    int32_t MouseMovePostCount() const { return MouseMovePostCount_; }
    // How often the other windows of the form were asked to take the focus, and the last way.
    int32_t FocusNextWindowCount() const { return FocusNextWindowCount_; }
    bool LastFocusNextForward() const { return LastFocusNextForward_; }

    TWindowHostEvents& Events() { return Events_; }
    bool TimerRunning() const { return TimerInterval_ != 0; }
    uint32_t TimerInterval() const { return TimerInterval_; }

protected:
    // Brings the window to the top of the z-order.
    void Raise();
    // Whether a screen point inside the window's rectangle is the window's: a shaped form lets
    // the points outside its shape through to what lies below.
    virtual bool Covers(int32_t screenX, int32_t screenY) const;

private:
    friend class THeadlessWindowHosts;

    THeadlessWindowHost& Target();
    // A move to the point unless the pointer is there already (as the system sends no move then).
    void MoveTo(int32_t x, int32_t y, TShiftState shift);
    // A mouse message at the pointer to the window that takes it (the capture's, else this).
    void DeliverAtPointer(void (TWindowHostEvents::*message)(int32_t, int32_t, TShiftState), TShiftState shift);
    void TrackPointer(int32_t x, int32_t y);

    THeadlessWindowHosts& Hosts_;
    TWindowHostEvents& Events_;
    THeadlessFormHost* Form_ = nullptr;
    int32_t Width_;
    int32_t Height_;
    int32_t ScreenX_ = 0;
    int32_t ScreenY_ = 0;
    bool Visible_ = true;
    bool PointerInside_ = false;
    std::vector<uint32_t> Surface_;
    uint32_t TimerInterval_ = 0;
    uint32_t TimerDue_ = 0;
    bool RepaintQueued_ = false;
    int32_t PostCount_ = 0;
    int32_t RepaintCount_ = 0;
    int32_t CopyCount_ = 0;
    int32_t MouseMovePostCount_ = 0;
    int32_t FocusNextWindowCount_ = 0;
    bool LastFocusNextForward_ = true;
    TAccessibleTree* AccessibleTree_ = nullptr;
    std::vector<TAccessibleEvent> AccessibleEvents_;
};

// A pop-up window on the virtual screen: made hidden, shown on top of every window at a screen
// point, with the shape it was given. What it shows is its surface, like any window's.
class THeadlessPopupWindow : public THeadlessWindowHost, public TPopupWindow {
public:
    THeadlessPopupWindow(THeadlessWindowHosts& hosts, const THeadlessScreen& screen, TWindowHostEvents& events,
                         int32_t width, int32_t height);

    // A popup is never activated: it takes no focus.
    bool CanFocus() const override { return false; }
    void SetFocus() override {}
    bool Focused() const override { return false; }
    bool FocusNextWindow(bool) override { return false; }

    // TPopupWindow
    TWindowHost& Host() override { return *this; }
    TScreenRect WorkArea() const override;
    TScreenRect Bounds() const override;
    void ShowAt(int32_t screenX, int32_t screenY) override;
    void Hide() override;
    void SetShape(const std::vector<TScreenRect>& rectangles) override { Shape_ = rectangles; }

    // The last shape given (empty: none); how often the window was shown.
    const std::vector<TScreenRect>& Shape() const { return Shape_; }
    int32_t ShowCount() const { return ShowCount_; }

protected:
    bool Covers(int32_t screenX, int32_t screenY) const override;

private:
    const THeadlessScreen& Screen_;
    std::vector<TScreenRect> Shape_;
    int32_t ShowCount_ = 0;
};

// The windows of one headless GUI: one message queue for all of them, timers on the
// application's virtual clock, the pointer, the capture, the focus and the cursor.
class THeadlessWindowHosts : public TWindowHosts {
public:
    explicit THeadlessWindowHosts(THeadlessApplication& application);
    ~THeadlessWindowHosts() override;

    std::unique_ptr<TWindowHost> CreateHost(TWindowHostEvents& events, int32_t width, int32_t height) override;
    // A hidden form on Screen at (0, 0).
    std::unique_ptr<TFormHost> CreateForm(TFormHostEvents& events, int32_t width, int32_t height) override;

    THeadlessHintPopup& HintPopup() override { return Hint; }
    std::unique_ptr<TPopupWindow> CreatePopup(TWindowHostEvents& events, int32_t width, int32_t height) override;

    // The virtual screen the forms live on, and the hint popup shown on it.
    THeadlessScreen Screen;
    THeadlessHintPopup Hint{Screen};

    // The windows alive, oldest first; the newest is on top.
    const std::vector<THeadlessWindowHost*>& Hosts() const { return Hosts_; }
    THeadlessWindowHost* LastHost() const { return Hosts_.empty() ? nullptr : Hosts_.back(); }
    // The pop-up windows that show, bottom first.
    std::vector<THeadlessPopupWindow*> VisiblePopups() const;

    // Delivers queued messages, first in first out, until the queue is empty (at most `limit`,
    // so a window that posts for ever cannot hang a test); returns how many were delivered.
    int32_t Pump(int32_t limit = 100000);
    // Moves the virtual clock forward, delivering every timer that falls due on the way at its
    // own time, and pumping the queue before and after each.
    void AdvanceClock(uint32_t milliseconds);
    uint32_t Now() const;

    // The pointer on the virtual screen.
    int32_t PointerX() const { return PointerX_; }
    int32_t PointerY() const { return PointerY_; }
    void SetPointer(int32_t screenX, int32_t screenY);
    // Makes IsWindowAt answer as if `host` (none: no window of ours) were under every point,
    // until ClearWindowUnderPointer.
    void SetWindowUnderPointer(THeadlessWindowHost* host);
    void ClearWindowUnderPointer();
    THeadlessWindowHost* WindowAt(int32_t screenX, int32_t screenY) const;

    THeadlessWindowHost* CaptureOwner() const { return CaptureOwner_; }
    THeadlessWindowHost* FocusOwner() const { return FocusOwner_; }
    int16_t Cursor() const { return Cursor_; }
    TShiftState KeyboardShift() const { return KeyboardShift_; }
    void SetKeyboardShift(TShiftState shift) { KeyboardShift_ = shift; }

private:
    friend class THeadlessWindowHost;

    enum class TMessageKind : uint8_t { Repaint, MouseMove, Paint };
    struct TMessage {
        THeadlessWindowHost* Host;
        TMessageKind Kind;
        int32_t X;
        int32_t Y;
    };

    void Post(const TMessage& message) { Queue_.push_back(message); }
    void Deliver(const TMessage& message);
    void Forget(THeadlessWindowHost* host);
    void SetCaptureOwner(THeadlessWindowHost* host);
    THeadlessWindowHost* NextTimer(uint32_t until) const;

    THeadlessApplication& Application_;
    std::vector<THeadlessWindowHost*> Hosts_;
    std::deque<TMessage> Queue_;
    int32_t PointerX_ = -1000000;
    int32_t PointerY_ = -1000000;
    bool UnderPointerSet_ = false;
    THeadlessWindowHost* UnderPointer_ = nullptr;
    THeadlessWindowHost* CaptureOwner_ = nullptr;
    THeadlessWindowHost* FocusOwner_ = nullptr;
    int16_t Cursor_ = 0;
    TShiftState KeyboardShift_ = 0;
};

}  // namespace marlowen
