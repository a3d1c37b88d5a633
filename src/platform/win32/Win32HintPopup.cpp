#include "platform/win32/Win32HintPopup.h"

#include <algorithm>
#include <string>

#include "platform/win32/Win32Dpi.h"
#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {

namespace {

constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | DT_TOP;

std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

class TWin32HintPopup::TWindow : public TWin32Window {
public:
    TWindow(TWin32HintPopup& popup, const TScreenRect& bounds) : Popup_(popup) {
        CreateHandle(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, popup.Hosts_.HintClass(), WS_POPUP,
                     bounds.Left, bounds.Top, std::max(bounds.Width(), 0), std::max(bounds.Height(), 0), nullptr);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_PAINT: {
                const TPaintDC paint(Handle());
                Popup_.Paint(paint.Get());
                return 0;
            }
            case WM_ERASEBKGND: return 1;
            case WM_NCHITTEST: return HTTRANSPARENT;
            case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
            default: break;
        }
        return DefaultMessage(message, wParam, lParam);
    }

private:
    TWin32HintPopup& Popup_;
};

TWin32HintPopup::TWin32HintPopup(TWin32WindowHosts& hosts) : Hosts_(hosts) {}

TWin32HintPopup::~TWin32HintPopup() = default;

HWND TWin32HintPopup::Handle() const { return Window_ != nullptr ? Window_->Handle() : nullptr; }

bool TWin32HintPopup::Showing() const { return Handle() != nullptr; }

TScreenRect TWin32HintPopup::WorkArea() const {
    const RECT area = SystemWorkArea();
    return {area.left, area.top, area.right, area.bottom};
}

COLORREF TWin32HintPopup::ColorOf(uint32_t color) {
    if ((color & 0xFF000000u) != 0) return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

int32_t TWin32HintPopup::DpiAt(int32_t x, int32_t y) const { return PointDpi(x, y); }

HFONT TWin32HintPopup::Font(int32_t dpi) const {
    if (!Font_ || FontDpi_ != dpi) {
        Font_.Reset(nullptr);
        FontDpi_ = dpi;
        NONCLIENTMETRICSW metrics{};
        if (NonClientMetricsForDpi(dpi, metrics)) Font_.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
    }
    return Font_ ? static_cast<HFONT>(Font_.Get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TWin32HintPopup::MeasureText(const std::u16string& text, int32_t maxWidth, int32_t dpi, int32_t& width,
                                  int32_t& height) const {
    width = 0;
    height = 0;
    if (text.empty()) return;
    const TWindowDC dc(nullptr);
    if (dc.Get() == nullptr) return;
    const TSelectObject font(dc.Get(), Font(dpi));
    RECT rect{0, 0, std::max(maxWidth, 1), 0};
    const std::wstring wide = WideOf(text);
    DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &rect, kTextFormat | DT_CALCRECT);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

void TWin32HintPopup::Show(const THintPicture& picture) {
    Picture_ = picture;
    const TScreenRect& b = picture.Bounds;
    if (Window_ == nullptr) Window_ = std::make_unique<TWindow>(*this, b);
    SetWindowPos(Handle(), HWND_TOPMOST, b.Left, b.Top, std::max(b.Width(), 0), std::max(b.Height(), 0),
                 SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void TWin32HintPopup::Hide() { Window_.reset(); }

void TWin32HintPopup::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(Handle(), &client);
    const TGdiObject back(CreateSolidBrush(ColorOf(Picture_.BackColor)));
    const TGdiObject border(CreateSolidBrush(ColorOf(Picture_.BorderColor)));
    FillRect(dc, &client, static_cast<HBRUSH>(back.Get()));
    RECT edge = client;
    for (int32_t ring = 0; ring < Picture_.BorderWidth && edge.right > edge.left && edge.bottom > edge.top; ++ring) {
        FrameRect(dc, &edge, static_cast<HBRUSH>(border.Get()));
        InflateRect(&edge, -1, -1);
    }
    const TSelectObject font(dc, Font(Picture_.Dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(Picture_.TextColor));
    const TScreenRect& t = Picture_.TextRect;
    RECT textRect{t.Left, t.Top, t.Right, t.Bottom};
    const std::wstring wide = WideOf(Picture_.Text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &textRect, kTextFormat);
}

}  // namespace marlowen
