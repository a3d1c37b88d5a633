#pragma once

#include <cstdint>

namespace marlowen {

// Where an image (or a text) lies inside a control's rectangle along one axis.
enum class TImageAlignment : uint8_t { Start = 0, End = 1, Center = 2 };

// The offset along one axis: 0, extent - image extent, or half of that (toward zero).
inline int32_t ImageAlignOffset(TImageAlignment alignment, int32_t extent, int32_t imageExtent) {
    switch (alignment) {
        case TImageAlignment::End: return extent - imageExtent;
        case TImageAlignment::Center: return (extent - imageExtent) / 2;
        case TImageAlignment::Start: break;
    }
    return 0;
}

}  // namespace marlowen
