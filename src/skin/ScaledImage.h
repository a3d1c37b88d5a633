#pragma once

#include <string>
#include <string_view>

#include "skin/DisplayScale.h"

namespace marlowen {

class TBitmap32;

// The bitmap a scaled paint resamples for an image, and how many of its pixels make one skin
// unit (Factor.Device(u) is the bitmap column of unit column u).
struct TScaledImage {
    const TBitmap32* Bitmap = nullptr;
    TDisplayScale Factor;
};

// The one place that picks an image's source for a display scale: of the image's variants the
// one of the smallest factor at or above the scale; when every variant lies below it, the
// largest; without variants the image itself at one pixel per unit. Whatever is chosen is then
// resampled onto the mapped rectangle with the box filter (TBoxFilter), which leaves a variant
// made for exactly the scale as it is.
TScaledImage ChooseScaledImage(const TBitmap32& image, const TDisplayScale& scale);

// The variant a pack item's name declares: "Images\Next@1.5x.bmp" is the picture of
// "Images\Next.bmp" for 150 %. The factor is "@", a factor of a whole percentage above 100 up to
// 400 ("1.25x", "2x"), right before the extension; false for any other name.
bool ParseVariantName(std::string_view name, std::string& baseName, TDisplayScale& factor);

// "Images\Next.bmp" at 200 %: "Images\Next@2x.bmp".
std::string VariantName(std::string_view baseName, const TDisplayScale& factor);

}  // namespace marlowen
