#include "platform/win32/Win32PopupWindow.h"

#include <algorithm>

#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {

TWin32PopupWindow::TWin32PopupWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, int32_t width,
                                     int32_t height)
    : TWin32ChildWindow(hosts, events, WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, hosts.PopupClass(),
                        WS_POPUP, width, height, nullptr) {}

TScreenRect TWin32PopupWindow::WorkArea() const {
    const RECT area = SystemWorkArea();
    return {area.left, area.top, area.right, area.bottom};
}

TScreenRect TWin32PopupWindow::Bounds() const {
    RECT rect{};
    if (Handle() != nullptr) GetWindowRect(Handle(), &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void TWin32PopupWindow::ShowAt(int32_t screenX, int32_t screenY) {
    if (Handle() == nullptr) return;
    // Owned by the application's hidden window, not by whichever window is active: that may be
    // another popup, a message box or nothing, and an owner that goes takes its popups with it.
    SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Hosts().ParkingWindow()));
    SetWindowPos(Handle(), HWND_TOPMOST, screenX, screenY, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TWin32PopupWindow::Hide() {
    if (Handle() != nullptr && IsWindowVisible(Handle()) != FALSE) ShowWindow(Handle(), SW_HIDE);
}

void TWin32PopupWindow::SetShape(const std::vector<TScreenRect>& rectangles) {
    if (Handle() == nullptr) return;
    std::vector<RECT> rects;
    rects.reserve(rectangles.size());
    for (const TScreenRect& r : rectangles) rects.push_back(RECT{r.Left, r.Top, r.Right, r.Bottom});
    SetWindowShape(Handle(), rects);
}

LRESULT TWin32PopupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A click on the popup must not take the activation from the program's window.
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return TWin32ChildWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace marlowen
