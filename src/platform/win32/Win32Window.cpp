#include "platform/win32/Win32Window.h"

namespace marlowen {

TWin32Window::~TWin32Window() { DestroyHandle(); }

void TWin32Window::CreateHandle(DWORD exStyle, const wchar_t* className, DWORD style, int32_t x, int32_t y,
                                int32_t width, int32_t height, HWND parent) {
    HWND window = CreateWindowExW(exStyle, className, L"", style, x, y, width, height, parent, nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (window == nullptr) RaiseLastError("CreateWindowEx");
    Ready_ = true;
}

void TWin32Window::DestroyHandle() {
    if (!Window_) return;
    Ready_ = false;
    SetWindowLongPtrW(Window_.Get(), GWLP_USERDATA, 0);
    Window_.Reset();
}

LRESULT TWin32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultMessage(message, wParam, lParam);
}

TWin32Window* TWin32Window::ObjectOf(HWND window) {
    if (window == nullptr || IsWindow(window) == FALSE) return nullptr;
    return reinterpret_cast<TWin32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK TWin32Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TWin32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->Window_.Reset(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<TWin32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->Window_.Release();
        self->Ready_ = false;
        self->HandleDestroyed();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!self->Ready_) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

}  // namespace marlowen
