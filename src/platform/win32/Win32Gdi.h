#pragma once

#include <vector>

#include <cstdint>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handle.h"

namespace marlowen {

struct TWindowTraits {
    using THandle = HWND;
    static HWND Empty() { return nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};

// Any GDI object made by a Create… call: bitmaps, regions, fonts, brushes.
struct TGdiObjectTraits {
    using THandle = HGDIOBJ;
    static HGDIOBJ Empty() { return nullptr; }
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};

using TWindowHandle = TUniqueHandle<TWindowTraits>;
using TGdiObject = TUniqueHandle<TGdiObjectTraits>;

// A window's device context for one scope (GetDC … ReleaseDC); the screen's with no window.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : Window_(window), DC_(GetDC(window)) {}
    ~TWindowDC() {
        if (DC_ != nullptr) ReleaseDC(Window_, DC_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;

    HDC Get() const { return DC_; }

private:
    HWND Window_;
    HDC DC_;
};

// The painting of one WM_PAINT (BeginPaint … EndPaint): the window is validated when it goes.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : Window_(window), DC_(BeginPaint(window, &Paint_)) {}
    ~TPaintDC() { EndPaint(Window_, &Paint_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Get() const { return DC_; }
    const RECT& Area() const { return Paint_.rcPaint; }

private:
    HWND Window_;
    PAINTSTRUCT Paint_{};
    HDC DC_;
};

// A GDI object selected into a device context for one scope.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : DC_(dc), Previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~TSelectObject() {
        if (Previous_ != nullptr) SelectObject(DC_, Previous_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC DC_;
    HGDIOBJ Previous_;
};

// A window timer (SetTimer … KillTimer). Starting it again restarts it with the new interval.
class TWindowTimer {
public:
    explicit TWindowTimer(UINT_PTR id) : Id_(id) {}
    ~TWindowTimer() { Stop(); }
    TWindowTimer(const TWindowTimer&) = delete;
    TWindowTimer& operator=(const TWindowTimer&) = delete;

    // Raises with the system's message when no timer is left.
    void Start(uint32_t intervalMs);
    void Stop();
    bool Running() const { return Running_; }
    // The window whose WM_TIMER it is; set once the window is made.
    void SetWindow(HWND window) { Window_ = window; }
    // The window went away (its timers with it).
    void Forget() {
        Running_ = false;
        Window_ = nullptr;
    }

private:
    HWND Window_ = nullptr;
    UINT_PTR Id_;
    bool Running_ = false;
};

// Raises an Exception with the system's message for the calling thread's last error, after `what`.
[[noreturn]] void RaiseLastError(const std::string& what);

// A registered window class of this module, unregistered when it goes. A class that another
// owner registered already is used as it is (every class here has the same window procedure),
// and left to that owner.
class TWindowClass {
public:
    TWindowClass(const wchar_t* name, UINT style, WNDPROC procedure);
    ~TWindowClass();
    TWindowClass(const TWindowClass&) = delete;
    TWindowClass& operator=(const TWindowClass&) = delete;

    const wchar_t* Name() const { return Name_; }

private:
    const wchar_t* Name_;
    bool Registered_ = false;
};

// The desktop without the task bars.
RECT SystemWorkArea();

// Clips the window to the union of the rectangles (client coordinates; empty ones are skipped)
// and redraws it; no rectangle at all removes the clip. Raises when the region cannot be made.
void SetWindowShape(HWND window, const std::vector<RECT>& rectangles);

}  // namespace marlowen
