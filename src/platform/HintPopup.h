#pragma once

#include <cstdint>
#include <string>

#include "platform/FormHost.h"

namespace marlowen {

// What the hint popup shows. Colours are GUI colours: 0x00BBGGRR, or a system-colour reference
// (high byte not 0, the index in the low byte) that the backend resolves.
struct THintPicture {
    // The popup's rectangle on the screen.
    TScreenRect Bounds;
    // The client area filled with BackColor inside a border of BorderColor, BorderWidth pixels.
    uint32_t BackColor = 0;
    uint32_t BorderColor = 0;
    int32_t BorderWidth = 1;
    // The text, word-wrapped without prefix processing, in TextColor inside TextRect (client
    // coordinates of the popup).
    std::u16string Text;
    uint32_t TextColor = 0;
    TScreenRect TextRect;
    // The dots per inch the text is drawn for: the hint font at that display's scale.
    int32_t Dpi = kDefaultDpi;
};

// The program's hint popup: a border-less pop-up window with a drop shadow, topmost, never
// activated, drawing its text with the system's hint font.
class THintPopup {
public:
    virtual ~THintPopup() = default;

    // The desktop without the task bars.
    virtual TScreenRect WorkArea() const = 0;
    // The dots per inch of the display at a screen point (kDefaultDpi at 100 %).
    virtual int32_t DpiAt(int32_t x, int32_t y) const = 0;
    // The extent of the text in the hint font for a display of `dpi`, word-wrapped at maxWidth
    // pixels.
    virtual void MeasureText(const std::u16string& text, int32_t maxWidth, int32_t dpi, int32_t& width,
                             int32_t& height) const = 0;
    // Makes the popup window when there is none, places it and shows it without activation.
    virtual void Show(const THintPicture& picture) = 0;
    // Releases the popup window; nothing when none is shown.
    virtual void Hide() = 0;
    virtual bool Showing() const = 0;
};

}  // namespace marlowen
