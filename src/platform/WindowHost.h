#pragma once

#include <cstdint>
#include <memory>

namespace marlowen {

class TAccessibleTree;
class TFormHost;
class TFormHostEvents;
class THintPopup;
class TPopupWindow;

// Keys and buttons held during an input event, as a set of bits.
namespace ShiftState {
constexpr uint8_t Shift = 0x01;
constexpr uint8_t Alt = 0x02;
constexpr uint8_t Ctrl = 0x04;
constexpr uint8_t Left = 0x08;
constexpr uint8_t Right = 0x10;
constexpr uint8_t Middle = 0x20;
}  // namespace ShiftState
using TShiftState = uint8_t;

// Mouse cursors by the identifiers the GUI library gives them.
namespace CursorId {
constexpr int16_t Default = 0;
constexpr int16_t IBeam = -4;
constexpr int16_t HandPoint = -21;
constexpr int16_t HSplit = -14;
constexpr int16_t VSplit = -15;
}  // namespace CursorId

// Virtual key codes the controls react to (the Windows values).
namespace VirtualKey {
constexpr uint32_t Backspace = 8;
constexpr uint32_t Tab = 9;
constexpr uint32_t Return = 13;
constexpr uint32_t Alt = 18;  // the Alt key itself (VK_MENU)
constexpr uint32_t Escape = 27;
constexpr uint32_t Space = 32;
constexpr uint32_t PageUp = 33;
constexpr uint32_t PageDown = 34;
constexpr uint32_t End = 35;
constexpr uint32_t Home = 36;
constexpr uint32_t Left = 37;
constexpr uint32_t Up = 38;
constexpr uint32_t Right = 39;
constexpr uint32_t Down = 40;
constexpr uint32_t Delete = 46;
}  // namespace VirtualKey

// What a window delivers to the object that lives in it (a graph container). Coordinates are
// client coordinates of the window unless named otherwise. The Win32 host calls these from its
// window procedure: WM_PAINT, the private repaint message, WM_TIMER, the mouse and key messages,
// WM_CAPTURECHANGED (synchronously, from inside ReleaseCapture or SetCapture of another window)
// and the leave notice that TrackMouseEvent asks for.
class TWindowHostEvents {
public:
    virtual ~TWindowHostEvents() = default;

    // The system asks for the area (right- and bottom-exclusive) to be drawn again.
    virtual void HostPaint(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // The private repaint message that the window posted to itself arrived.
    virtual void HostRepaintMessage() = 0;
    // The 20 ms timer fired.
    virtual void HostTimer() = 0;

    virtual void HostLButtonDown(int32_t x, int32_t y, TShiftState shift) = 0;
    virtual void HostLButtonUp(int32_t x, int32_t y, TShiftState shift) = 0;
    virtual void HostLButtonDblClk(int32_t x, int32_t y, TShiftState shift) = 0;
    virtual void HostRButtonDown(int32_t x, int32_t y, TShiftState shift) = 0;
    virtual void HostRButtonUp(int32_t x, int32_t y, TShiftState shift) = 0;
    virtual void HostMouseMove(int32_t x, int32_t y, TShiftState shift) = 0;
    // The raw wheel delta (120 a notch) and the pointer in screen coordinates.
    virtual void HostMouseWheel(int32_t delta, int32_t screenX, int32_t screenY, TShiftState shift) = 0;
    virtual void HostMouseEnter() = 0;
    virtual void HostMouseLeave() = 0;
    // The window lost the mouse capture (released, or taken by another window).
    virtual void HostCaptureChanged() = 0;

    // Each returns whether the key was processed (the window procedure then answers 0).
    virtual bool HostKeyDown(uint32_t virtualKey, bool extended, bool repeated) = 0;
    virtual bool HostKeyUp(uint32_t virtualKey, bool extended) = 0;
    virtual bool HostCharPressed(uint32_t charCode, int32_t repeatCount) = 0;
    // A character typed with Alt held (an access key); false leaves it to the system.
    virtual bool HostAccessKey(uint32_t /*charCode*/) { return false; }
};

// The child window in which one graph container lives: what the container asks of it.
class TWindowHost {
public:
    virtual ~TWindowHost() = default;

    virtual int32_t ClientWidth() const = 0;
    virtual int32_t ClientHeight() const = 0;
    virtual void SetClientSize(int32_t width, int32_t height) = 0;
    virtual bool Visible() const = 0;

    // Copies width x height pixels (0xAARRGGBB) of a top-down buffer whose rows lie `stride`
    // pixels apart, starting at `pixels`, to (left, top) of the window (SetDIBitsToDevice).
    virtual void CopyToWindow(const uint32_t* pixels, int32_t stride, int32_t left, int32_t top, int32_t width,
                              int32_t height) = 0;
    // Posts the private repaint message (2024) to the window itself.
    virtual void PostRepaintMessage() = 0;
    // Posts a mouse move at the client point (so hover state follows a repaint).
    virtual void PostMouseMove(int32_t x, int32_t y) = 0;
    // The window timer of the given interval; starting it again restarts it.
    virtual void StartTimer(uint32_t intervalMs) = 0;
    virtual void StopTimer() = 0;

    // SetCapture, ReleaseCapture and whether this window holds the capture. Releasing (or losing
    // the capture to another window) delivers HostCaptureChanged before the call returns.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;

    virtual void SetCursor(int16_t cursor) = 0;
    // The pointer in screen coordinates; whether the window under a screen point is this one;
    // client to screen.
    virtual void PointerPosition(int32_t& screenX, int32_t& screenY) const = 0;
    virtual bool IsWindowAt(int32_t screenX, int32_t screenY) const = 0;
    virtual void ClientToScreen(int32_t& x, int32_t& y) const = 0;
    virtual void ScreenToClient(int32_t& x, int32_t& y) const = 0;
    // Which of Shift, Ctrl and Alt are held now (key messages do not carry them, mouse messages
    // not Alt).
    virtual TShiftState KeyboardShift() const = 0;

    // Keyboard focus of the window, and whether its top-level form can take it.
    virtual bool CanFocus() const = 0;
    virtual void SetFocus() = 0;
    virtual bool Focused() const = 0;
    // Asks the top-level form to move the focus to its next (or previous) window; false when
    // there is no form around the window.
    virtual bool FocusNextWindow(bool forward) = 0;

    // The top-level form that holds the window; none while it lies in no form (a backend
    // without forms answers none, and dragging or shaping a window then does nothing).
    virtual TFormHost* Form() const { return nullptr; }

    // The tree the window serves to assistive technology for its client area (borrowed; none:
    // the system's own answer). Whoever sets it unsets it before the tree goes.
    virtual void SetAccessibleTree(TAccessibleTree* /*tree*/) {}
    // Tells assistive technology that something happened to a node of that tree (an AccEvent
    // value; the node's id, or TAccessibleTree::kClient).
    virtual void NotifyAccessible(uint32_t /*event*/, int32_t /*id*/) {}
};

// Makes the windows of graph containers.
class TWindowHosts {
public:
    virtual ~TWindowHosts() = default;
    // A new child window of the given client size that delivers its messages to `events`, which
    // outlives it.
    virtual std::unique_ptr<TWindowHost> CreateHost(TWindowHostEvents& events, int32_t width, int32_t height) = 0;
    // A new, hidden, border-less top-level form of the given client size (placed by the system)
    // that delivers its messages to `events`, which outlives it.
    virtual std::unique_ptr<TFormHost> CreateForm(TFormHostEvents& events, int32_t width, int32_t height) = 0;
    // The program's one hint popup, living as long as this object.
    virtual THintPopup& HintPopup() = 0;
    // A new, hidden pop-up window of the given client size that delivers its messages to
    // `events`, which outlives it.
    virtual std::unique_ptr<TPopupWindow> CreatePopup(TWindowHostEvents& events, int32_t width, int32_t height) = 0;
};

// The message number of the private repaint message (the user message base + 1000).
constexpr uint32_t kRepaintMessage = 0x0400 + 1000;
// The container's timer: identifier and interval.
constexpr uint32_t kContainerTimerId = 1;
constexpr uint32_t kContainerTimerMs = 20;

}  // namespace marlowen
