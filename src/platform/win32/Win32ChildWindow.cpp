#include "platform/win32/Win32ChildWindow.h"

#include <algorithm>
#include <vector>

#include "platform/win32/Win32FormHost.h"
#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {

TWin32ChildWindow::TWin32ChildWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, int32_t width,
                                     int32_t height)
    : Hosts_(hosts), Events_(events), Timer_(kContainerTimerId) {
    CreateHandle(0, hosts.ChildClass(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, std::max(width, 0),
                 std::max(height, 0), hosts.ParkingWindow());
    Timer_.SetWindow(Handle());
}

TWin32ChildWindow::TWin32ChildWindow(TWin32WindowHosts& hosts, TWindowHostEvents& events, DWORD exStyle,
                                     const wchar_t* className, DWORD style, int32_t width, int32_t height, HWND parent)
    : Hosts_(hosts), Events_(events), Timer_(kContainerTimerId) {
    CreateHandle(exStyle, className, style, 0, 0, std::max(width, 0), std::max(height, 0), parent);
    Timer_.SetWindow(Handle());
}

TWin32ChildWindow::~TWin32ChildWindow() {
    Accessible_.Disconnect();
    if (Form_ != nullptr) Form_->DetachWindow(*this);
    Timer_.Stop();
    if (HasCapture()) ::ReleaseCapture();  // the container is going: no notice to it
    DestroyHandle();
}

TFormHost* TWin32ChildWindow::Form() const { return Form_; }

void TWin32ChildWindow::SetAccessibleTree(TAccessibleTree* tree) { Accessible_.SetTree(Handle(), tree); }

void TWin32ChildWindow::NotifyAccessible(uint32_t event, int32_t id) { Accessible_.Notify(event, id); }

int32_t TWin32ChildWindow::ClientWidth() const {
    RECT client{};
    if (Handle() != nullptr) GetClientRect(Handle(), &client);
    return client.right - client.left;
}

int32_t TWin32ChildWindow::ClientHeight() const {
    RECT client{};
    if (Handle() != nullptr) GetClientRect(Handle(), &client);
    return client.bottom - client.top;
}

void TWin32ChildWindow::SetClientSize(int32_t width, int32_t height) {
    if (Handle() == nullptr) return;
    // A child window has no border: its window is its client area.
    SetWindowPos(Handle(), nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWin32ChildWindow::Visible() const { return Handle() != nullptr && IsWindowVisible(Handle()) != FALSE; }

void TWin32ChildWindow::CopyToWindow(const uint32_t* pixels, int32_t stride, int32_t left, int32_t top,
                                     int32_t width, int32_t height) {
    if (Handle() == nullptr || pixels == nullptr || width <= 0 || height <= 0 || stride < width) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -height;  // top-down: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const TWindowDC dc(Handle());
    if (dc.Get() == nullptr) return;
    SetDIBitsToDevice(dc.Get(), left, top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
}

void TWin32ChildWindow::PostRepaintMessage() {
    if (Handle() != nullptr) PostMessageW(Handle(), kRepaintMessage, 0, 0);
}

void TWin32ChildWindow::PostMouseMove(int32_t x, int32_t y) {
    if (Handle() == nullptr) return;
    // Posted messages are read before the input in the queue. Input that waits moves the hover
    // itself; a move posted ahead of it would reach a control that repaints on every move (an
    // edit selecting with the mouse, its button-up not read yet), whose repaint posts the next
    // move: the input would never be read.
    if ((HIWORD(GetQueueStatus(QS_INPUT)) & QS_INPUT) != 0) return;
    // No keys or buttons: the move only lets the hover follow a repaint.
    PostMessageW(Handle(), kPostedMouseMove, 0, MAKELPARAM(static_cast<int16_t>(x), static_cast<int16_t>(y)));
}

void TWin32ChildWindow::StartTimer(uint32_t intervalMs) { Timer_.Start(std::max<uint32_t>(intervalMs, 1)); }

void TWin32ChildWindow::StopTimer() { Timer_.Stop(); }

void TWin32ChildWindow::SetCapture() {
    if (Handle() != nullptr) ::SetCapture(Handle());
}

void TWin32ChildWindow::ReleaseCapture() {
    // WM_CAPTURECHANGED reaches the window from inside the call.
    if (HasCapture()) ::ReleaseCapture();
}

bool TWin32ChildWindow::HasCapture() const { return Handle() != nullptr && GetCapture() == Handle(); }

HCURSOR TWin32ChildWindow::SystemCursor(int16_t cursor) {
    const wchar_t* name = IDC_ARROW;
    switch (cursor) {
        case CursorId::IBeam: name = IDC_IBEAM; break;
        case CursorId::HandPoint: name = IDC_HAND; break;
        case CursorId::HSplit: name = IDC_SIZEWE; break;
        case CursorId::VSplit: name = IDC_SIZENS; break;
        default: break;
    }
    HCURSOR handle = LoadCursorW(nullptr, name);
    return handle != nullptr ? handle : LoadCursorW(nullptr, IDC_ARROW);
}

void TWin32ChildWindow::SetCursor(int16_t cursor) {
    Cursor_ = cursor;
    // The pointer over the window shows the new cursor at once; elsewhere WM_SETCURSOR picks it up.
    POINT pointer{};
    if (Handle() != nullptr && GetCursorPos(&pointer) && (WindowFromPoint(pointer) == Handle() || HasCapture())) {
        ::SetCursor(SystemCursor(cursor));
    }
}

void TWin32ChildWindow::PointerPosition(int32_t& screenX, int32_t& screenY) const {
    POINT pointer{};
    GetCursorPos(&pointer);
    screenX = pointer.x;
    screenY = pointer.y;
}

bool TWin32ChildWindow::IsWindowAt(int32_t screenX, int32_t screenY) const {
    return Handle() != nullptr && WindowFromPoint(POINT{screenX, screenY}) == Handle();
}

void TWin32ChildWindow::ClientToScreen(int32_t& x, int32_t& y) const {
    POINT point{x, y};
    if (Handle() != nullptr) ::ClientToScreen(Handle(), &point);
    x = point.x;
    y = point.y;
}

void TWin32ChildWindow::ScreenToClient(int32_t& x, int32_t& y) const {
    POINT point{x, y};
    if (Handle() != nullptr) ::ScreenToClient(Handle(), &point);
    x = point.x;
    y = point.y;
}

TShiftState TWin32ChildWindow::KeyboardShift() const {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ShiftState::Shift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ShiftState::Ctrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ShiftState::Alt;
    return shift;
}

bool TWin32ChildWindow::CanFocus() const {
    if (!Visible() || IsWindowEnabled(Handle()) == FALSE) return false;
    return Form_ == nullptr || Form_->Enabled();
}

void TWin32ChildWindow::SetFocus() {
    if (Handle() != nullptr) ::SetFocus(Handle());
}

bool TWin32ChildWindow::Focused() const { return Handle() != nullptr && GetFocus() == Handle(); }

bool TWin32ChildWindow::FocusNextWindow(bool forward) {
    if (Form_ == nullptr) return false;
    Form_->FocusNextWindow(*this, forward);
    return true;
}

void TWin32ChildWindow::PlaceIn(TWin32FormHost* form) {
    Form_ = form;
    if (Handle() == nullptr) return;
    SetParent(Handle(), form != nullptr ? form->Handle() : Hosts_.ParkingWindow());
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The user's double-click time and rectangle.
TDoubleClickTracker::TRule DoubleClickRule() {
    return {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK)};
}

}  // namespace

TShiftState TWin32ChildWindow::MouseShift(WPARAM keys) {
    TShiftState shift = 0;
    if ((keys & MK_SHIFT) != 0) shift |= ShiftState::Shift;
    if ((keys & MK_CONTROL) != 0) shift |= ShiftState::Ctrl;
    if ((keys & MK_LBUTTON) != 0) shift |= ShiftState::Left;
    if ((keys & MK_RBUTTON) != 0) shift |= ShiftState::Right;
    if ((keys & MK_MBUTTON) != 0) shift |= ShiftState::Middle;
    return shift;
}

void TWin32ChildWindow::PointerTaken() {
    if (!TrackingLeave_) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE | TME_CANCEL;
    track.hwndTrack = Handle();
    TrackMouseEvent(&track);
    TrackingLeave_ = false;
    Events_.HostMouseLeave();
}

void TWin32ChildWindow::HandleDestroyed() {
    Accessible_.Disconnect();
    Timer_.Forget();
    TrackingLeave_ = false;
}

void TWin32ChildWindow::TrackLeave() {
    if (TrackingLeave_) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = Handle();
    TrackingLeave_ = TrackMouseEvent(&track) != FALSE;
    Events_.HostMouseEnter();
}

bool TWin32ChildWindow::PointerOverWindow() const {
    // A disabled form (a modal box over it) takes no pointer.
    POINT point{};
    return IsWindowEnabled(GetAncestor(Handle(), GA_ROOT)) != FALSE && GetCursorPos(&point) != FALSE &&
           WindowFromPoint(point) == Handle();
}

LRESULT TWin32ChildWindow::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int32_t x = GET_X_LPARAM(lParam);
    const int32_t y = GET_Y_LPARAM(lParam);
    const TShiftState shift = MouseShift(wParam);
    switch (message) {
        case WM_MOUSEMOVE:
            TrackLeave();
            Events_.HostMouseMove(x, y, shift);
            break;
        case kPostedMouseMove:
            // It may be the first the window hears of the pointer (a page changed under it): the
            // leaving is tracked from it too, or the hover would stay after the pointer. Only when
            // the pointer is over this very window: over another one on top, the system would
            // report a leaving at once, whose repaint would post the next move, and so on; nor while
            // the form is disabled.
            if (PointerOverWindow()) TrackLeave();
            Events_.HostMouseMove(x, y, shift);
            break;
        case WM_LBUTTONDOWN: {
            // The press first, then the double click it completes. The press may free the
            // container and with it this window; the double click goes only to a window still here.
            const bool doubleClick = DoubleClick_.Press(x, y, static_cast<uint32_t>(GetMessageTime()), DoubleClickRule());
            TWindowHostEvents& events = Events_;
            const HWND window = Handle();
            events.HostLButtonDown(x, y, shift);
            if (doubleClick && ObjectOf(window) == this) events.HostLButtonDblClk(x, y, shift);
            break;
        }
        case WM_LBUTTONUP: Events_.HostLButtonUp(x, y, shift); break;
        case WM_LBUTTONDBLCLK: Events_.HostLButtonDblClk(x, y, shift); break;
        case WM_RBUTTONDOWN:
            DoubleClick_.Forget();
            Events_.HostRButtonDown(x, y, shift);
            break;
        case WM_RBUTTONUP: Events_.HostRButtonUp(x, y, shift); break;
        case WM_MOUSEWHEEL:
            // The wheel's point is on the screen; its key flags are the low word.
            Events_.HostMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), x, y, MouseShift(GET_KEYSTATE_WPARAM(wParam)));
            break;
        default: break;
    }
    return 0;
}

LRESULT TWin32ChildWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            RECT area{};
            {
                const TPaintDC paint(Handle());
                area = paint.Area();
            }
            if (area.right > area.left && area.bottom > area.top) {
                Events_.HostPaint(area.left, area.top, area.right, area.bottom);
            }
            return 0;
        }
        case WM_ERASEBKGND: return 1;  // the container paints every pixel
        case kRepaintMessage: Events_.HostRepaintMessage(); return 0;
        case WM_TIMER:
            if (wParam == kContainerTimerId) Events_.HostTimer();
            return 0;
        case WM_MOUSEMOVE:
        case kPostedMouseMove:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEWHEEL: return MouseMessage(message, wParam, lParam);
        case WM_MOUSELEAVE:
            TrackingLeave_ = false;
            Events_.HostMouseLeave();
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != Handle()) Events_.HostCaptureChanged();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(SystemCursor(Cursor_));
                return TRUE;
            }
            break;
        // Keys with Alt (and F10) are the system's: its menu, the form's commands. They never reach
        // the controls.
        case WM_KEYDOWN:
            if (Events_.HostKeyDown(static_cast<uint32_t>(wParam), ((lParam >> 24) & 1) != 0, ((lParam >> 30) & 1) != 0)) {
                return 0;
            }
            break;
        case WM_KEYUP:
            if (Events_.HostKeyUp(static_cast<uint32_t>(wParam), ((lParam >> 24) & 1) != 0)) return 0;
            break;
        case WM_CHAR:
            if (Events_.HostCharPressed(static_cast<uint32_t>(wParam), LOWORD(lParam))) return 0;
            break;
        case WM_SYSKEYDOWN:
            // Alt alone shows the access keys; the system still gets it (its menu, Alt+F4).
            if (wParam == VK_MENU) Events_.HostKeyDown(VirtualKey::Alt, false, (lParam & (1 << 30)) != 0);
            break;
        case WM_SYSCHAR:
            // Alt with a character; what no control takes goes on to the system (Alt+Space, the beep).
            if (Events_.HostAccessKey(static_cast<uint32_t>(wParam))) return 0;
            break;
        case WM_GETOBJECT: {
            LRESULT answer = 0;
            if (Accessible_.AnswerGetObject(wParam, lParam, answer)) return answer;
            break;
        }
        case TWin32AccessibleServer::kActionMessage: Accessible_.PerformPostedAction(wParam, lParam); return 0;
        default: break;
    }
    return DefaultMessage(message, wParam, lParam);
}

}  // namespace marlowen
