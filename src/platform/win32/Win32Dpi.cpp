#include "platform/win32/Win32Dpi.h"

#include "platform/FormHost.h"

namespace marlowen {

namespace {

// user32's function of that name, or null where this system has none.
template <class TFunction>
TFunction User32Function(const char* name) {
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int32_t ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

void ScaleFont(LOGFONTW& font, int32_t from, int32_t to) { font.lfHeight = MulDiv(font.lfHeight, to, from); }

}  // namespace

int32_t WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int32_t>(dpi);
    }
    return ScreenDpi();
}

int32_t PointDpi(int32_t x, int32_t y) {
    const HWND under = WindowFromPoint(POINT{x, y});
    return WindowDpi(under != nullptr ? GetAncestor(under, GA_ROOT) : nullptr);
}

bool NonClientMetricsForDpi(int32_t dpi, NONCLIENTMETRICSW& metrics) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof(metrics);
    static const auto forDpi = User32Function<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
    if (forDpi != nullptr && dpi > 0 &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)) != FALSE) {
        return true;
    }
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) == FALSE) return false;
    const int32_t system = ScreenDpi();
    if (dpi > 0 && dpi != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            ScaleFont(*font, system, dpi);
        }
    }
    return true;
}

}  // namespace marlowen
