#include "platform/win32/Win32Gdi.h"

#include <algorithm>

#include "core/Exception.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

void TWindowTimer::Start(uint32_t intervalMs) {
    if (Window_ == nullptr) return;
    // SetTimer with an identifier in use replaces that timer.
    if (SetTimer(Window_, Id_, intervalMs, nullptr) == 0) RaiseLastError("SetTimer");
    Running_ = true;
}

void TWindowTimer::Stop() {
    if (!Running_) return;
    KillTimer(Window_, Id_);
    Running_ = false;
}

void RaiseLastError(const std::string& what) {
    const DWORD code = GetLastError();
    throw Exception(what + ": " + SystemErrorMessage(code));
}

TWindowClass::TWindowClass(const wchar_t* name, UINT style, WNDPROC procedure) : Name_(name) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) != 0) {
        Registered_ = true;
    } else if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        RaiseLastError("RegisterClassEx");
    }
}

TWindowClass::~TWindowClass() {
    if (Registered_) UnregisterClassW(Name_, GetModuleHandleW(nullptr));
}

RECT SystemWorkArea() {
    RECT area{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) == FALSE) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

void SetWindowShape(HWND window, const std::vector<RECT>& rectangles) {
    std::vector<RECT> rects;
    rects.reserve(rectangles.size());
    RECT bound{0, 0, 0, 0};
    for (const RECT& rect : rectangles) {
        if (rect.right <= rect.left || rect.bottom <= rect.top) continue;
        if (rects.empty()) {
            bound = rect;
        } else {
            UnionRect(&bound, &bound, &rect);
        }
        rects.push_back(rect);
    }
    if (rectangles.empty()) {
        SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->rcBound = bound;
    std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    TGdiObject region(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data())));
    if (!region) RaiseLastError("ExtCreateRegion");
    // The window owns the region once it is set.
    if (SetWindowRgn(window, static_cast<HRGN>(region.Get()), TRUE) == 0) RaiseLastError("SetWindowRgn");
    region.Release();
}

}  // namespace marlowen
