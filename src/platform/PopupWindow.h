#pragma once

#include <cstdint>
#include <vector>

#include "platform/FormHost.h"
#include "platform/WindowHost.h"

namespace marlowen {

// A border-less pop-up window of its own (not a child of a form) in which one graph container
// lives: topmost, never activated, with a drop shadow, shown only where its shape says. It is
// made hidden; the container paints into it as into any window of graph controls. It takes no
// keyboard focus; whoever shows it keeps the mouse capture and reads the pointer by screen
// points. The window is its own host: Host() is this very object seen as a window of graph
// controls, and freeing it through either face frees the window.
class TPopupWindow {
public:
    virtual ~TPopupWindow() = default;

    virtual TWindowHost& Host() = 0;
    // The desktop without the task bars.
    virtual TScreenRect WorkArea() const = 0;
    // The window's rectangle on the screen.
    virtual TScreenRect Bounds() const = 0;
    // Puts the window's top-left at the screen point, on top of every other window, and shows
    // it without activating it (the active window stays active).
    virtual void ShowAt(int32_t screenX, int32_t screenY) = 0;
    // Hides the window; nothing when hidden.
    virtual void Hide() = 0;
    // Clips the window to the union of the rectangles (client coordinates); none: the whole
    // window shows.
    virtual void SetShape(const std::vector<TScreenRect>& rectangles) = 0;
};

}  // namespace marlowen
