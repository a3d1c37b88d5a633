#pragma once

#include <cstdint>

#include "platform/WindowHost.h"
#include "platform/shared/DoubleClickTracker.h"
#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Window.h"

namespace marlowen {

class TWin32FormHost;
class TWin32WindowHosts;

// The child window that one graph container lives in. Until a form takes it (AttachWindow) it
// lies hidden in the collection's parking window. Painting goes straight to the window's device
// context from the container's top-down buffer; WM_PAINT only tells the container what to draw.
class TWin32ChildWindow : public TWin32Window, public TWindowHost {
public:
    // A private message: a mouse move the container posted to itself (no real pointer motion, so
    // it neither announces entering nor asks for the leave notice).
    static constexpr UINT kPostedMouseMove = kRepaintMessage + 1;

    TWin32ChildWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, int32_t width, int32_t height);
    ~TWin32ChildWindow() override;

    // TWindowHost
    int32_t ClientWidth() const override;
    int32_t ClientHeight() const override;
    void SetClientSize(int32_t width, int32_t height) override;
    bool Visible() const override;
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
    bool CanFocus() const override;
    void SetFocus() override;
    bool Focused() const override;
    bool FocusNextWindow(bool forward) override;
    TFormHost* Form() const override;
    void SetAccessibleTree(TAccessibleTree* tree) override;
    void NotifyAccessible(uint32_t event, int32_t id) override;

    // Moves the window into the form's client area at its top-left (none: back to the parking
    // window).
    void PlaceIn(TWin32FormHost* form);
    // The form lost the activation to another window (a dialog, a message box): the pointer is
    // no longer this window's, whether or not the system reports its leaving (it need not while
    // the form is disabled). The next move over the window enters it again.
    void PointerTaken();
    bool TimerRunning() const { return Timer_.Running(); }

    // The system cursor for a cursor identifier (the arrow for one it does not know).
    static HCURSOR SystemCursor(int16_t cursor);
    // Shift state of a mouse message's key flags.
    static TShiftState MouseShift(WPARAM keys);

protected:
    // A window of another kind (a pop-up) that serves its container in the same way.
    TWin32ChildWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, DWORD exStyle, const wchar_t* className,
                      DWORD style, int32_t width, int32_t height, HWND parent);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void HandleDestroyed() override;
    TWin32WindowHosts& Hosts() const { return Hosts_; }

private:
    LRESULT MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Asks the system for the pointer's leaving (once until it comes) and enters.
    void TrackLeave();
    bool PointerOverWindow() const;

    TWin32WindowHosts& Hosts_;
    TWindowHostEvents& Events_;
    TWin32FormHost* Form_ = nullptr;
    TWindowTimer Timer_;
    int16_t Cursor_ = CursorId::Default;
    bool TrackingLeave_ = false;
    TDoubleClickTracker DoubleClick_;
    TWin32AccessibleServer Accessible_;
};

}  // namespace marlowen
