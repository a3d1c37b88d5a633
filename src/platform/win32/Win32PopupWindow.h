#pragma once

#include <cstdint>
#include <vector>

#include "platform/PopupWindow.h"
#include "platform/win32/Win32ChildWindow.h"

namespace marlowen {

// A menu popup's window: WS_POPUP of a class with a drop shadow that saves what it covers,
// topmost, a tool window (no task bar button), never activated and never erased (its container
// paints every pixel). It is made hidden and owned by no window until shown.
class TWin32PopupWindow : public TWin32ChildWindow, public TPopupWindow {
public:
    TWin32PopupWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, int32_t width, int32_t height);

    bool CanFocus() const override { return false; }
    void SetFocus() override {}
    bool Focused() const override { return false; }
    bool FocusNextWindow(bool) override { return false; }

    // TPopupWindow
    TWindowHost& Host() override { return *this; }
    TScreenRect WorkArea() const override;
    TScreenRect Bounds() const override;
    // Owned by the application's hidden window (the window hosts' parking window), placed with
    // HWND_TOPMOST and SWP_NOACTIVATE, shown with SW_SHOWNOACTIVATE.
    void ShowAt(int32_t screenX, int32_t screenY) override;
    void Hide() override;
    void SetShape(const std::vector<TScreenRect>& rectangles) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace marlowen
