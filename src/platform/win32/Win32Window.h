#pragma once

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Gdi.h"

namespace marlowen {

// One window of this program and the object its messages go to. The object owns the window:
// freeing the object destroys the window, and a window destroyed otherwise (with its parent)
// leaves the object without one. Messages reach HandleMessage only once the window is made,
// never while it is being made or destroyed. HandleMessage may free the object (a form closing
// for good): nothing touches the object after it returns.
class TWin32Window {
public:
    TWin32Window() = default;
    virtual ~TWin32Window();
    TWin32Window(const TWin32Window&) = delete;
    TWin32Window& operator=(const TWin32Window&) = delete;

    // None once the window is gone.
    HWND Handle() const { return Window_.Get(); }

protected:
    // Makes the window; raises with the system's message when it cannot be made.
    void CreateHandle(DWORD exStyle, const wchar_t* className, DWORD style, int32_t x, int32_t y, int32_t width,
                      int32_t height, HWND parent);
    // Destroys the window now (its messages stop first).
    void DestroyHandle();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window was destroyed by someone else (its parent went).
    virtual void HandleDestroyed() {}

    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(Window_.Get(), message, wParam, lParam);
    }

public:
    // The window procedure of every class whose windows belong to a TWin32Window.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The object of a window that is still there (none for a destroyed one): a handler that may
    // have freed its object asks this of the handle it kept, and touches nothing if it is gone.
    static TWin32Window* ObjectOf(HWND window);

private:
    TWindowHandle Window_;
    bool Ready_ = false;
};

}  // namespace marlowen
