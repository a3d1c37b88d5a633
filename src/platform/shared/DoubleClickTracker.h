#pragma once

#include <cstdint>

namespace marlowen {

// Tells which presses of the left button complete a double click, as the system would: the second
// press within the double-click time of the first and within the double-click rectangle centred
// on it. A press that completes one starts nothing, so a third quick press is a single press again.
// The windows keep the system from making double-click messages of their own (it would turn the
// second press into one, and every control but the edits would lose it); the hosts report both the
// press and, from this, the double click.
class TDoubleClickTracker {
public:
    struct TRule {
        uint32_t TimeMs = 500;
        int32_t Width = 4;   // the rectangle's size, centred on the first press
        int32_t Height = 4;
    };

    // A press at (x, y) at the given time of a millisecond clock that may wrap around; true when it
    // completes a double click.
    bool Press(int32_t x, int32_t y, uint32_t timeMs, const TRule& rule) {
        const bool completes = Pending_ && timeMs - Time_ <= rule.TimeMs && Near(X_, x, rule.Width) &&
                               Near(Y_, y, rule.Height);
        Pending_ = !completes;
        X_ = x;
        Y_ = y;
        Time_ = timeMs;
        return completes;
    }

    // The press no longer counts (the window lost the capture, another button came between).
    void Forget() { Pending_ = false; }

private:
    static bool Near(int32_t first, int32_t second, int32_t size) {
        const int64_t distance = int64_t{second} - first;
        return 2 * distance <= size && -2 * distance <= size;
    }

    bool Pending_ = false;
    int32_t X_ = 0;
    int32_t Y_ = 0;
    uint32_t Time_ = 0;
};

}  // namespace marlowen
