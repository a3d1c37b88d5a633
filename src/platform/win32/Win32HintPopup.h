#pragma once

#include <memory>

#include "platform/HintPopup.h"
#include "platform/win32/Win32Window.h"

namespace marlowen {

class TWin32WindowHosts;

// The program's hint popup: a WS_POPUP window of a class with a drop shadow, topmost, a tool
// window (no task bar button) that is never activated and lets the mouse through. It exists only
// while shown. The text uses the system's status font (the hint font of the desktop) at the
// scale of the display the hint shows on.
class TWin32HintPopup : public THintPopup {
public:
    explicit TWin32HintPopup(TWin32WindowHosts& hosts);
    ~TWin32HintPopup() override;

    TScreenRect WorkArea() const override;
    int32_t DpiAt(int32_t x, int32_t y) const override;
    void MeasureText(const std::u16string& text, int32_t maxWidth, int32_t dpi, int32_t& width,
                     int32_t& height) const override;
    void Show(const THintPicture& picture) override;
    void Hide() override;
    bool Showing() const override;

    // The popup window while shown; none otherwise.
    HWND Handle() const;
    const THintPicture& Picture() const { return Picture_; }

    // A GUI colour (0x00BBGGRR or a system-colour reference) as a COLORREF.
    static COLORREF ColorOf(uint32_t color);

private:
    class TWindow;
    // The status font for a display of `dpi`; made once per DPI asked for last.
    HFONT Font(int32_t dpi) const;
    void Paint(HDC dc) const;

    TWin32WindowHosts& Hosts_;
    std::unique_ptr<TWindow> Window_;
    THintPicture Picture_;
    mutable TGdiObject Font_;
    mutable int32_t FontDpi_ = 0;
};

}  // namespace marlowen
