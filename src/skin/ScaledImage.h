#pragma once

#include "skin/DisplayScale.h"

namespace marlowen {

class TBitmap32;

// The bitmap a scaled paint resamples for an image, and how many of its pixels make one skin
// unit (Factor.Device(u) is the bitmap column of unit column u).
struct TScaledImage {
    const TBitmap32* Bitmap = nullptr;
    TDisplayScale Factor;
};

// The one place that picks an image's source for a display scale. An image may later come with
// variants drawn for higher scales (name@1.5x, name@2x) and this is where one of them will be
// chosen; for now every image is its own source at one pixel per unit.
inline TScaledImage ChooseScaledImage(const TBitmap32& image, const TDisplayScale& /*scale*/) {
    return {&image, TDisplayScale()};
}

}  // namespace marlowen
