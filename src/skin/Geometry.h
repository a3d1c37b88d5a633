#pragma once

#include <algorithm>
#include <cstdint>

namespace marlowen {

// Sums of positions and extents are taken in 64 bits and held within the 32-bit range, so that no
// font or control, however hostile or far off, can overflow a width or a position.
inline int32_t SaturateInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// A rectangle by its edges. Whether Right and Bottom belong to it is each operation's contract:
// the pixel operations take them inclusive, window regions and IntersectRect exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

inline bool operator==(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}
inline bool operator!=(const TRect& a, const TRect& b) { return !(a == b); }
inline bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
inline bool operator!=(const TPoint& a, const TPoint& b) { return !(a == b); }

// Exclusive rectangles: when r is not empty (Left < Right and Top < Bottom), shrinks it to its
// overlap with clip and reports whether that is non-empty; an empty r reports false unchanged.
inline bool IntersectRect(TRect& r, const TRect& clip) {
    if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
    if (clip.Left > r.Left) r.Left = clip.Left;
    if (clip.Top > r.Top) r.Top = clip.Top;
    if (clip.Right < r.Right) r.Right = clip.Right;
    if (clip.Bottom < r.Bottom) r.Bottom = clip.Bottom;
    return r.Left < r.Right && r.Top < r.Bottom;
}

}  // namespace marlowen
