#include "platform/win32/Win32FormHost.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/win32/Win32ChildWindow.h"
#include "platform/win32/Win32Dpi.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {

namespace {

TScreenRect ScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

struct TEnumeration {
    HWND Self;
    const wchar_t* SkippedClass;
    std::vector<TScreenRect>* Windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto& enumeration = *reinterpret_cast<TEnumeration*>(parameter);
    if (window == enumeration.Self || IsWindowVisible(window) == FALSE || IsIconic(window) != FALSE) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpiW(className, enumeration.SkippedClass) == 0) return TRUE;  // our hint: nothing to snap to
    RECT rect{};
    if (GetWindowRect(window, &rect) == FALSE || rect.right <= rect.left || rect.bottom <= rect.top) return TRUE;
    enumeration.Windows->push_back(ScreenRect(rect));
    return TRUE;
}

}  // namespace

TWin32FormHost::TWin32FormHost(TWin32WindowHosts& hosts, TFormHostEvents& events, int32_t width, int32_t height)
    : Hosts_(hosts), Events_(events), LastWidth_(std::max(width, 0)), LastHeight_(std::max(height, 0)) {
    CreateHandle(WS_EX_APPWINDOW, hosts.FormClass(), WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                 LastWidth_, LastHeight_, nullptr);
    SetWindowTextW(Handle(), WideText(hosts.Title()).c_str());
}

TWin32FormHost::~TWin32FormHost() {
    Life_.End();
    for (TWin32ChildWindow* window : std::vector<TWin32ChildWindow*>(Windows_)) window->PlaceIn(nullptr);
    Windows_.clear();
    DestroyHandle();
}

int32_t TWin32FormHost::Dpi() const { return WindowDpi(Handle()); }

TScreenRect TWin32FormHost::Bounds() const {
    RECT rect{};
    if (Handle() != nullptr) GetWindowRect(Handle(), &rect);
    return ScreenRect(rect);
}

void TWin32FormHost::MoveTo(int32_t left, int32_t top) {
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TScreenRect TWin32FormHost::WorkArea() const { return ScreenRect(SystemWorkArea()); }

std::vector<TScreenRect> TWin32FormHost::OtherWindows() const {
    std::vector<TScreenRect> windows;
    TEnumeration enumeration{Handle(), Hosts_.HintClass(), &windows};
    // Top-level windows come in z-order, the topmost first.
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&enumeration));
    return windows;
}

void TWin32FormHost::SetShape(const std::vector<TScreenRect>& rectangles) {
    Shape_ = rectangles;
    if (Handle() == nullptr) return;
    std::vector<RECT> rects;
    rects.reserve(rectangles.size());
    for (const TScreenRect& r : rectangles) rects.push_back(RECT{r.Left, r.Top, r.Right, r.Bottom});
    SetWindowShape(Handle(), rects);
}

void TWin32FormHost::SetBounds(const TScreenRect& bounds) {
    SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, std::max(bounds.Width(), 0), std::max(bounds.Height(), 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWin32FormHost::Maximized() const { return Handle() != nullptr && IsZoomed(Handle()) != FALSE; }

void TWin32FormHost::AttachWindow(TWindowHost& window) {
    auto& child = static_cast<TWin32ChildWindow&>(window);
    if (auto* previous = static_cast<TWin32FormHost*>(child.Form()); previous != nullptr && previous != this) {
        previous->DetachWindow(child);
    }
    if (std::find(Windows_.begin(), Windows_.end(), &child) == Windows_.end()) Windows_.push_back(&child);
    child.PlaceIn(this);
}

void TWin32FormHost::DetachWindow(TWin32ChildWindow& window) {
    const auto it = std::find(Windows_.begin(), Windows_.end(), &window);
    if (it == Windows_.end()) return;
    Windows_.erase(it);
    window.PlaceIn(nullptr);
}

void TWin32FormHost::Show() {
    if (Handle() != nullptr) ShowWindow(Handle(), SW_SHOW);
}

void TWin32FormHost::Hide() {
    if (!Visible()) return;
    // Hiding the active form deactivates it first (WM_ACTIVATE comes from inside the call).
    const TWeakRef<TWin32FormHost> self(this);
    ShowWindow(Handle(), SW_HIDE);
    if (self.Get() != nullptr) Events_.FormHidden();
}

bool TWin32FormHost::Visible() const { return Handle() != nullptr && IsWindowVisible(Handle()) != FALSE; }

void TWin32FormHost::Close() {
    if (Handle() != nullptr) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TWin32FormHost::Minimize() {
    if (Handle() != nullptr) PostMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

bool TWin32FormHost::Minimized() const { return Handle() != nullptr && IsIconic(Handle()) != FALSE; }

void TWin32FormHost::BringToFront() {
    if (Handle() == nullptr) return;
    ShowWindow(Handle(), IsIconic(Handle()) != FALSE ? SW_RESTORE : SW_SHOW);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle());
    if (GetActiveWindow() == Handle()) {
        const HWND focus = GetFocus();
        if (focus != Handle() && IsChild(Handle(), focus) == FALSE) FocusFirstWindow();
    }
}

void TWin32FormHost::SetEnabled(bool enabled) {
    if (Handle() != nullptr) EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

bool TWin32FormHost::Enabled() const { return Handle() != nullptr && IsWindowEnabled(Handle()) != FALSE; }

std::vector<uint32_t> TWin32FormHost::SystemMenu() const {
    std::vector<uint32_t> commands;
    HMENU menu = Handle() != nullptr ? GetSystemMenu(Handle(), FALSE) : nullptr;
    if (menu == nullptr) return commands;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1)) commands.push_back(id);  // not separators or submenus
    }
    return commands;
}

void TWin32FormHost::RemoveSystemMenuItem(uint32_t command) {
    HMENU menu = Handle() != nullptr ? GetSystemMenu(Handle(), FALSE) : nullptr;
    if (menu != nullptr) DeleteMenu(menu, command, MF_BYCOMMAND);
}

void TWin32FormHost::SetOwner(TFormHost* owner) {
    if (Handle() == nullptr) return;
    HWND ownerWindow = owner != nullptr ? static_cast<TWin32FormHost*>(owner)->Handle() : nullptr;
    SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
}

void TWin32FormHost::PostMessage(uint32_t message) {
    if (Handle() != nullptr) PostMessageW(Handle(), message, 0, 0);
}

void TWin32FormHost::RunModal(const TApplication& application) {
    const TWeakRef<TWin32FormHost> self(this);
    BringToFront();
    // The form may be freed by a handler of its own: the token is asked before the form.
    const auto running = [&] { return self.Get() != nullptr && Visible() && !application.Terminated(); };
    MSG message{};
    while (running()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // WM_QUIT ends this loop and, posted again, the program's own.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void TWin32FormHost::FocusFirstWindow() {
    for (TWin32ChildWindow* window : Windows_) {
        if (window->CanFocus()) {
            window->SetFocus();
            return;
        }
    }
}

void TWin32FormHost::FocusNextWindow(TWin32ChildWindow& from, bool forward) {
    std::vector<TWin32ChildWindow*> candidates;
    for (TWin32ChildWindow* window : Windows_) {
        if (window == &from || window->CanFocus()) candidates.push_back(window);
    }
    const auto it = std::find(candidates.begin(), candidates.end(), &from);
    if (it == candidates.end() || candidates.size() < 2) return;
    const size_t index = static_cast<size_t>(it - candidates.begin());
    const size_t count = candidates.size();
    candidates[forward ? (index + 1) % count : (index + count - 1) % count]->SetFocus();
}

void TWin32FormHost::DropPointer() {
    const TWeakRef<TWin32FormHost> self(this);
    const std::vector<TWin32ChildWindow*> windows = Windows_;
    for (TWin32ChildWindow* window : windows) {
        if (self.Get() == nullptr) return;
        if (std::find(Windows_.begin(), Windows_.end(), window) != Windows_.end()) window->PointerTaken();
    }
}

LRESULT TWin32FormHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER && message < 0xC000) {
        Events_.FormMessage(message);  // may free the form
        return 0;
    }
    switch (message) {
        case WM_ACTIVATE: {
            const WORD state = LOWORD(wParam);
            const TWeakRef<TWin32FormHost> self(this);
            Events_.FormActivation(state == WA_INACTIVE    ? TFormActivation::Inactive
                                   : state == WA_CLICKACTIVE ? TFormActivation::ClickActive
                                                             : TFormActivation::Active);
            // Hover looks and hints go with the activation (another window over the form).
            if (self.Get() != nullptr && state == WA_INACTIVE) DropPointer();
            // The focus stays inside an active form (the default would put it on the form).
            if (self.Get() != nullptr && state != WA_INACTIVE && HIWORD(wParam) == 0) {
                const HWND focus = GetFocus();
                if (focus != Handle() && IsChild(Handle(), focus) == FALSE) FocusFirstWindow();
            }
            return 0;
        }
        case WM_ENABLE:
            // A disabled form (a modal dialog or box over it, a busy page) takes no pointer.
            if (wParam == FALSE) DropPointer();
            return 0;
        case WM_SETFOCUS: FocusFirstWindow(); return 0;
        case WM_CLOSE: Events_.FormCloseRequest(); return 0;  // may free the form
        case WM_SIZE: {
            if (wParam == SIZE_MINIMIZED) break;
            const int32_t width = LOWORD(lParam);
            const int32_t height = HIWORD(lParam);
            if (width == LastWidth_ && height == LastHeight_) break;
            LastWidth_ = width;
            LastHeight_ = height;
            Events_.FormResized();
            return 0;
        }
        case WM_ERASEBKGND: return 1;  // the container windows cover the form
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested == nullptr) return 0;
            Events_.FormDpiChanged(static_cast<int32_t>(LOWORD(wParam)),
                                   TScreenRect{suggested->left, suggested->top, suggested->right, suggested->bottom});
            return 0;
        }
        default: break;
    }
    return DefaultMessage(message, wParam, lParam);
}

}  // namespace marlowen
