#pragma once

#include <cstdint>
#include <vector>

namespace marlowen {

// A rectangle of whole pixels by its edges, right- and bottom-exclusive.
struct TScreenRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

inline bool operator==(const TScreenRect& a, const TScreenRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}
inline bool operator!=(const TScreenRect& a, const TScreenRect& b) { return !(a == b); }

// The border-less top-level form that holds the windows of graph containers: what the skin's
// window controls ask of it (dragging by the caption area, snapping to the screen and to other
// windows, the window shape).
class TFormHost {
public:
    virtual ~TFormHost() = default;

    // The form's rectangle on the screen.
    virtual TScreenRect Bounds() const = 0;
    // Moves the form's top-left to the screen point, keeping its size.
    virtual void MoveTo(int32_t left, int32_t top) = 0;
    // The desktop without the task bars.
    virtual TScreenRect WorkArea() const = 0;
    // The rectangles of the other visible top-level windows on the screen (this form left out),
    // topmost first.
    virtual std::vector<TScreenRect> OtherWindows() const = 0;
    // Clips the form to the union of the rectangles (in the form's own coordinates) and redraws
    // it; no rectangle at all removes the shape, so the whole form shows.
    virtual void SetShape(const std::vector<TScreenRect>& rectangles) = 0;
};

}  // namespace marlowen
