#pragma once

#include <cstdint>
#include <vector>

namespace marlowen {

// A rectangle of whole pixels by its edges, right- and bottom-exclusive.
struct TScreenRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

inline bool operator==(const TScreenRect& a, const TScreenRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}
inline bool operator!=(const TScreenRect& a, const TScreenRect& b) { return !(a == b); }

class TApplication;
class TWindowHost;

// System menu commands (the Windows values).
namespace SystemCommand {
constexpr uint32_t Size = 0xF000;
constexpr uint32_t Move = 0xF010;
constexpr uint32_t Minimize = 0xF020;
constexpr uint32_t Maximize = 0xF030;
constexpr uint32_t Close = 0xF060;
constexpr uint32_t Restore = 0xF120;
}  // namespace SystemCommand

// The first user-defined message number (WM_USER).
constexpr uint32_t kUserMessage = 0x0400;

// The dots per inch of a display at 100 % (USER_DEFAULT_SCREEN_DPI).
constexpr int32_t kDefaultDpi = 96;

// How a form became active or inactive (WM_ACTIVATE's state).
enum class TFormActivation : uint8_t { Inactive, Active, ClickActive };

// What a top-level form delivers to the object that lives in it. The Win32 host calls these from
// its window procedure: WM_ACTIVATE, WM_SHOWWINDOW (hidden), WM_CLOSE, WM_SIZE and posted
// messages of the user range.
class TFormHostEvents {
public:
    virtual ~TFormHostEvents() = default;

    virtual void FormActivation(TFormActivation state) = 0;
    // The form was hidden.
    virtual void FormHidden() = 0;
    // The form is asked to close (Close, the system menu, Alt+F4). The object decides what
    // closing means: it hides the form or frees it (and with it the host) as its last action.
    virtual void FormCloseRequest() = 0;
    // The form's size changed.
    virtual void FormResized() = 0;
    // A posted message of the user range (kUserMessage and above) arrived.
    virtual void FormMessage(uint32_t message) = 0;
    // The form moved to a display of another scale (WM_DPICHANGED): the new dots per inch and
    // the rectangle the system suggests. The object resizes its contents and places the form;
    // doing nothing leaves it where and as it is.
    virtual void FormDpiChanged(int32_t /*dpi*/, const TScreenRect& /*suggested*/) {}
};

// The border-less top-level form that holds the windows of graph containers: what the skin's
// window controls ask of it (dragging by the caption area, snapping to the screen and to other
// windows, the window shape).
class TFormHost {
public:
    virtual ~TFormHost() = default;

    // The form's rectangle on the screen.
    virtual TScreenRect Bounds() const = 0;
    // The dots per inch of the display the form is on (kDefaultDpi at 100 %).
    virtual int32_t Dpi() const { return kDefaultDpi; }
    // Moves the form's top-left to the screen point, keeping its size.
    virtual void MoveTo(int32_t left, int32_t top) = 0;
    // The desktop without the task bars.
    virtual TScreenRect WorkArea() const = 0;
    // The rectangles of the other visible top-level windows on the screen (this form left out),
    // topmost first.
    virtual std::vector<TScreenRect> OtherWindows() const = 0;
    // Clips the form to the union of the rectangles (in the form's own coordinates) and redraws
    // it; no rectangle at all removes the shape, so the whole form shows.
    virtual void SetShape(const std::vector<TScreenRect>& rectangles) = 0;

    // --- what a skinned form asks of its own window (optional for hosts that only drag) ---
    // Places and sizes the form (SetWindowPos); a size change delivers FormResized.
    virtual void SetBounds(const TScreenRect& bounds) { MoveTo(bounds.Left, bounds.Top); }
    virtual bool Maximized() const { return false; }
    // Puts the container's window into the form's client area, filling it.
    virtual void AttachWindow(TWindowHost& /*window*/) {}
    virtual void Show() {}
    // Hides the form (ShowWindow SW_HIDE); delivers FormHidden.
    virtual void Hide() {}
    virtual bool Visible() const { return true; }
    // Asks the form to close (WM_CLOSE); delivers FormCloseRequest.
    virtual void Close() {}
    // Posts SC_MINIMIZE to the form (the form minimises when the message arrives).
    virtual void Minimize() {}
    virtual bool Minimized() const { return false; }
    // Brings the form to the front and gives it the focus (SetForegroundWindow, SetFocus); it
    // then becomes active.
    virtual void BringToFront() {}
    // Whether the form takes input (EnableWindow); a disabled form passes it to nothing inside.
    virtual void SetEnabled(bool /*enabled*/) {}
    virtual bool Enabled() const { return true; }
    // The form's system menu, by command, and removing an item of it (GetSystemMenu, DeleteMenu).
    virtual std::vector<uint32_t> SystemMenu() const { return {}; }
    virtual void RemoveSystemMenuItem(uint32_t /*command*/) {}
    // The form that owns this one (stays below it, minimises with it); none: unowned.
    virtual void SetOwner(TFormHost* /*owner*/) {}
    // Posts a message of the user range to the form itself (PostMessage).
    virtual void PostMessage(uint32_t /*message*/) {}

    // Shows the form and runs the program's messages until the form is hidden (closed, or freed
    // by its own handler) or the application is told to terminate; then returns. Other forms keep
    // working meanwhile (message boxes, the folder dialog).
    virtual void RunModal(const TApplication& application) = 0;
};

}  // namespace marlowen
