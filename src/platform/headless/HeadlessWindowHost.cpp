#include "platform/headless/HeadlessWindowHost.h"

#include <algorithm>

#include "platform/headless/HeadlessApplication.h"
#include "platform/headless/HeadlessForms.h"

namespace marlowen {

THeadlessWindowHost::THeadlessWindowHost(THeadlessWindowHosts& hosts, TWindowHostEvents& events, int32_t width,
                                         int32_t height)
    : Hosts_(hosts), Events_(events), Width_(std::max(width, 0)), Height_(std::max(height, 0)) {
    Surface_.assign(static_cast<size_t>(Width_) * static_cast<size_t>(Height_), 0);
}

THeadlessWindowHost::~THeadlessWindowHost() {
    if (Form_ != nullptr) Form_->DetachHost(*this);
    Hosts_.Forget(this);
}

TFormHost* THeadlessWindowHost::Form() const { return Form_; }

void THeadlessWindowHost::SetClientSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width_ && height == Height_) return;
    std::vector<uint32_t> surface(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < std::min(height, Height_); ++y) {
        std::copy_n(Surface_.begin() + static_cast<ptrdiff_t>(y) * Width_, std::min(width, Width_),
                    surface.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    Surface_ = std::move(surface);
    Width_ = width;
    Height_ = height;
}

void THeadlessWindowHost::CopyToWindow(const uint32_t* pixels, int32_t stride, int32_t left, int32_t top,
                                       int32_t width, int32_t height) {
    ++CopyCount_;
    // Clip to the client area, keeping source and destination paired.
    int32_t sx = 0;
    int32_t sy = 0;
    if (left < 0) {
        sx = -left;
        width += left;
        left = 0;
    }
    if (top < 0) {
        sy = -top;
        height += top;
        top = 0;
    }
    width = std::min(width, Width_ - left);
    height = std::min(height, Height_ - top);
    if (width <= 0 || height <= 0 || pixels == nullptr) return;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* from = pixels + static_cast<ptrdiff_t>(sy + y) * stride + sx;
        std::copy_n(from, width, Surface_.begin() + static_cast<ptrdiff_t>(top + y) * Width_ + left);
    }
}

void THeadlessWindowHost::PostRepaintMessage() {
    ++PostCount_;
    Hosts_.Post({this, THeadlessWindowHosts::TMessageKind::Repaint, 0, 0});
}

void THeadlessWindowHost::PostMouseMove(int32_t x, int32_t y) {
    ++MouseMovePostCount_;
    Hosts_.Post({this, THeadlessWindowHosts::TMessageKind::MouseMove, x, y});
}

void THeadlessWindowHost::StartTimer(uint32_t intervalMs) {
    TimerInterval_ = std::max<uint32_t>(intervalMs, 1);
    TimerDue_ = Hosts_.Now() + TimerInterval_;
}

void THeadlessWindowHost::StopTimer() { TimerInterval_ = 0; }

void THeadlessWindowHost::SetCapture() { Hosts_.SetCaptureOwner(this); }

void THeadlessWindowHost::ReleaseCapture() {
    if (Hosts_.CaptureOwner_ == this) Hosts_.SetCaptureOwner(nullptr);
}

bool THeadlessWindowHost::HasCapture() const { return Hosts_.CaptureOwner_ == this; }

void THeadlessWindowHost::SetCursor(int16_t cursor) { Hosts_.Cursor_ = cursor; }

void THeadlessWindowHost::PointerPosition(int32_t& screenX, int32_t& screenY) const {
    screenX = Hosts_.PointerX_;
    screenY = Hosts_.PointerY_;
}

bool THeadlessWindowHost::IsWindowAt(int32_t screenX, int32_t screenY) const {
    return Hosts_.WindowAt(screenX, screenY) == this;
}

void THeadlessWindowHost::ClientToScreen(int32_t& x, int32_t& y) const {
    x += ScreenX_;
    y += ScreenY_;
}

void THeadlessWindowHost::ScreenToClient(int32_t& x, int32_t& y) const {
    x -= ScreenX_;
    y -= ScreenY_;
}

TShiftState THeadlessWindowHost::KeyboardShift() const { return Hosts_.KeyboardShift_; }

void THeadlessWindowHost::SetFocus() { Hosts_.FocusOwner_ = this; }

bool THeadlessWindowHost::Focused() const { return Hosts_.FocusOwner_ == this; }

bool THeadlessWindowHost::FocusNextWindow(bool forward) {
    ++FocusNextWindowCount_;
    LastFocusNextForward_ = forward;
    // A lone window has no form around it: the focus leaves for no other window.
    return false;
}

void THeadlessWindowHost::SetScreenOrigin(int32_t x, int32_t y) {
    ScreenX_ = x;
    ScreenY_ = y;
}

void THeadlessWindowHost::InvalidateAll() { Hosts_.Post({this, THeadlessWindowHosts::TMessageKind::Paint, 0, 0}); }

uint32_t THeadlessWindowHost::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return 0;
    return Surface_[static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x)];
}

THeadlessWindowHost& THeadlessWindowHost::Target() {
    THeadlessWindowHost* owner = Hosts_.CaptureOwner_;
    return owner != nullptr ? *owner : *this;
}

// Moves the pointer to the client point and announces entering and leaving as TrackMouseEvent
// would for the window under it.
void THeadlessWindowHost::TrackPointer(int32_t x, int32_t y) {
    int32_t sx = x;
    int32_t sy = y;
    ClientToScreen(sx, sy);
    Hosts_.SetPointer(sx, sy);
}

void THeadlessWindowHost::MoveMouse(int32_t x, int32_t y, TShiftState shift) {
    TrackPointer(x, y);
    if (Hosts_.CaptureOwner_ == nullptr && !PointerInside_) return;  // moved onto no window of ours
    DeliverAtPointer(&TWindowHostEvents::HostMouseMove, shift);
}

void THeadlessWindowHost::MoveTo(int32_t x, int32_t y, TShiftState shift) {
    int32_t sx = x;
    int32_t sy = y;
    ClientToScreen(sx, sy);
    if (sx != Hosts_.PointerX_ || sy != Hosts_.PointerY_) MoveMouse(x, y, shift);
}

void THeadlessWindowHost::PressLeft(int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift);
    DeliverAtPointer(&TWindowHostEvents::HostLButtonDown, shift | ShiftState::Left);
}

void THeadlessWindowHost::ReleaseLeft(int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift | ShiftState::Left);
    DeliverAtPointer(&TWindowHostEvents::HostLButtonUp, shift);
}

void THeadlessWindowHost::DoubleClickLeft(int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift);
    DeliverAtPointer(&TWindowHostEvents::HostLButtonDblClk, shift | ShiftState::Left);
}

void THeadlessWindowHost::PressRight(int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift);
    DeliverAtPointer(&TWindowHostEvents::HostRButtonDown, shift | ShiftState::Right);
}

void THeadlessWindowHost::ReleaseRight(int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift | ShiftState::Right);
    DeliverAtPointer(&TWindowHostEvents::HostRButtonUp, shift);
}

void THeadlessWindowHost::DeliverAtPointer(void (TWindowHostEvents::*message)(int32_t, int32_t, TShiftState),
                                           TShiftState shift) {
    THeadlessWindowHost& target = Target();
    int32_t x = Hosts_.PointerX_;
    int32_t y = Hosts_.PointerY_;
    target.ScreenToClient(x, y);
    (target.Events_.*message)(x, y, shift);
}

void THeadlessWindowHost::Click(int32_t x, int32_t y, TShiftState shift) {
    PressLeft(x, y, shift);
    ReleaseLeft(x, y, shift);
}

void THeadlessWindowHost::Wheel(int32_t delta, int32_t x, int32_t y, TShiftState shift) {
    MoveTo(x, y, shift);
    Target().Events_.HostMouseWheel(delta, Hosts_.PointerX_, Hosts_.PointerY_, shift);
}

void THeadlessWindowHost::LeavePointer() { Hosts_.SetPointer(-1000000, -1000000); }

bool THeadlessWindowHost::KeyDown(uint32_t virtualKey, TShiftState shift, bool repeated) {
    Hosts_.KeyboardShift_ = shift;
    const bool processed = Events_.HostKeyDown(virtualKey, false, repeated);
    Hosts_.KeyboardShift_ = 0;
    return processed;
}

bool THeadlessWindowHost::KeyUp(uint32_t virtualKey, TShiftState shift) {
    Hosts_.KeyboardShift_ = shift;
    const bool processed = Events_.HostKeyUp(virtualKey, false);
    Hosts_.KeyboardShift_ = 0;
    return processed;
}

bool THeadlessWindowHost::CharPressed(uint32_t charCode, int32_t repeatCount) {
    return Events_.HostCharPressed(charCode, repeatCount);
}

bool THeadlessWindowHost::AccessKey(uint32_t charCode) {
    Hosts_.KeyboardShift_ = ShiftState::Alt;
    const bool processed = Events_.HostAccessKey(charCode);
    Hosts_.KeyboardShift_ = 0;
    return processed;
}

void THeadlessWindowHost::PressKey(uint32_t virtualKey, TShiftState shift) {
    KeyDown(virtualKey, shift);
    KeyUp(virtualKey, shift);
}

void THeadlessWindowHost::Raise() {
    auto& hosts = Hosts_.Hosts_;
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
    hosts.push_back(this);
}

bool THeadlessWindowHost::Covers(int32_t screenX, int32_t screenY) const {
    return Form_ == nullptr || Form_->Covers(screenX, screenY);
}

// --- pop-up windows ---

THeadlessPopupWindow::THeadlessPopupWindow(THeadlessWindowHosts& hosts, const THeadlessScreen& screen,
                                           TWindowHostEvents& events, int32_t width, int32_t height)
    : THeadlessWindowHost(hosts, events, width, height), Screen_(screen) {
    SetVisible(false);
}

TScreenRect THeadlessPopupWindow::WorkArea() const { return Screen_.WorkArea; }

TScreenRect THeadlessPopupWindow::Bounds() const {
    int32_t x = 0;
    int32_t y = 0;
    ClientToScreen(x, y);
    return {x, y, x + ClientWidth(), y + ClientHeight()};
}

void THeadlessPopupWindow::ShowAt(int32_t screenX, int32_t screenY) {
    SetScreenOrigin(screenX, screenY);
    Raise();
    ++ShowCount_;
    if (!Visible()) {
        SetVisible(true);
        InvalidateAll();
    }
}

void THeadlessPopupWindow::Hide() { SetVisible(false); }

bool THeadlessPopupWindow::Covers(int32_t screenX, int32_t screenY) const {
    if (Shape_.empty()) return true;
    int32_t x = screenX;
    int32_t y = screenY;
    ScreenToClient(x, y);
    return std::any_of(Shape_.begin(), Shape_.end(), [&](const TScreenRect& r) {
        return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    });
}

// --- the collection ---

THeadlessWindowHosts::THeadlessWindowHosts(THeadlessApplication& application) : Application_(application) {
    Screen.PumpWindows = [this] { Pump(); };
}

THeadlessWindowHosts::~THeadlessWindowHosts() = default;

std::unique_ptr<TFormHost> THeadlessWindowHosts::CreateForm(TFormHostEvents& events, int32_t width, int32_t height) {
    return std::make_unique<THeadlessFormHost>(Screen, TScreenRect{0, 0, std::max(width, 0), std::max(height, 0)}, &events);
}

std::unique_ptr<TWindowHost> THeadlessWindowHosts::CreateHost(TWindowHostEvents& events, int32_t width,
                                                              int32_t height) {
    auto host = std::make_unique<THeadlessWindowHost>(*this, events, width, height);
    Hosts_.push_back(host.get());
    return host;
}

std::unique_ptr<TPopupWindow> THeadlessWindowHosts::CreatePopup(TWindowHostEvents& events, int32_t width,
                                                                int32_t height) {
    auto popup = std::make_unique<THeadlessPopupWindow>(*this, Screen, events, width, height);
    Hosts_.push_back(popup.get());
    return popup;
}

std::vector<THeadlessPopupWindow*> THeadlessWindowHosts::VisiblePopups() const {
    std::vector<THeadlessPopupWindow*> popups;
    for (THeadlessWindowHost* host : Hosts_) {
        auto* popup = dynamic_cast<THeadlessPopupWindow*>(host);
        if (popup != nullptr && popup->Visible()) popups.push_back(popup);
    }
    return popups;
}

uint32_t THeadlessWindowHosts::Now() const { return Application_.TickCount(); }

void THeadlessWindowHosts::Forget(THeadlessWindowHost* host) {
    Hosts_.erase(std::remove(Hosts_.begin(), Hosts_.end(), host), Hosts_.end());
    Queue_.erase(std::remove_if(Queue_.begin(), Queue_.end(), [host](const TMessage& m) { return m.Host == host; }),
                 Queue_.end());
    if (CaptureOwner_ == host) CaptureOwner_ = nullptr;
    if (FocusOwner_ == host) FocusOwner_ = nullptr;
    if (UnderPointer_ == host) UnderPointer_ = nullptr;
}

void THeadlessWindowHosts::SetCaptureOwner(THeadlessWindowHost* host) {
    THeadlessWindowHost* previous = CaptureOwner_;
    CaptureOwner_ = host;
    // The window that loses the capture hears of it before the call returns, as with
    // WM_CAPTURECHANGED.
    if (previous != nullptr && previous != host) previous->Events_.HostCaptureChanged();
}

void THeadlessWindowHosts::SetPointer(int32_t screenX, int32_t screenY) {
    PointerX_ = screenX;
    PointerY_ = screenY;
    // Leaving and entering follow the window under the pointer.
    THeadlessWindowHost* under = WindowAt(screenX, screenY);
    for (THeadlessWindowHost* host : std::vector<THeadlessWindowHost*>(Hosts_)) {
        if (host != under && host->PointerInside_) {
            host->PointerInside_ = false;
            host->Events_.HostMouseLeave();
        }
    }
    if (under != nullptr && !under->PointerInside_) {
        under->PointerInside_ = true;
        under->Events_.HostMouseEnter();
    }
}

void THeadlessWindowHosts::SetWindowUnderPointer(THeadlessWindowHost* host) {
    UnderPointerSet_ = true;
    UnderPointer_ = host;
}

void THeadlessWindowHosts::ClearWindowUnderPointer() {
    UnderPointerSet_ = false;
    UnderPointer_ = nullptr;
}

THeadlessWindowHost* THeadlessWindowHosts::WindowAt(int32_t screenX, int32_t screenY) const {
    if (UnderPointerSet_) return UnderPointer_;
    for (auto it = Hosts_.rbegin(); it != Hosts_.rend(); ++it) {
        const THeadlessWindowHost* host = *it;
        if (host->Visible_ && screenX >= host->ScreenX_ && screenY >= host->ScreenY_ &&
            screenX < host->ScreenX_ + host->Width_ && screenY < host->ScreenY_ + host->Height_ &&
            host->Covers(screenX, screenY)) {
            return *it;
        }
    }
    return nullptr;
}

void THeadlessWindowHosts::Deliver(const TMessage& message) {
    THeadlessWindowHost& host = *message.Host;
    switch (message.Kind) {
        case TMessageKind::Repaint:
            ++host.RepaintCount_;
            host.Events_.HostRepaintMessage();
            break;
        case TMessageKind::MouseMove: host.Events_.HostMouseMove(message.X, message.Y, 0); break;
        case TMessageKind::Paint: host.Events_.HostPaint(0, 0, host.Width_, host.Height_); break;
    }
}

int32_t THeadlessWindowHosts::Pump(int32_t limit) {
    int32_t delivered = 0;
    while (!Queue_.empty() && delivered < limit) {
        const TMessage message = Queue_.front();
        Queue_.pop_front();
        Deliver(message);
        ++delivered;
    }
    return delivered;
}

THeadlessWindowHost* THeadlessWindowHosts::NextTimer(uint32_t until) const {
    THeadlessWindowHost* next = nullptr;
    const uint32_t now = Now();
    for (THeadlessWindowHost* host : Hosts_) {
        if (host->TimerInterval_ == 0) continue;
        const uint32_t wait = host->TimerDue_ - now;  // wraps like the tick count
        if (wait > until - now) continue;
        if (next == nullptr || wait < next->TimerDue_ - now) next = host;
    }
    return next;
}

void THeadlessWindowHosts::AdvanceClock(uint32_t milliseconds) {
    const uint32_t until = Now() + milliseconds;
    Pump();
    while (THeadlessWindowHost* host = NextTimer(until)) {
        Application_.AdvanceClock(host->TimerDue_ - Now());
        host->TimerDue_ += host->TimerInterval_;
        host->Events_.HostTimer();
        Pump();
    }
    Application_.AdvanceClock(until - Now());
    Pump();
}

}  // namespace marlowen
