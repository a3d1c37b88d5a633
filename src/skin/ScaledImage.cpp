#include "skin/ScaledImage.h"

#include "core/Exception.h"
#include "skin/Bitmap32.h"

namespace marlowen {

TScaledImage ChooseScaledImage(const TBitmap32& image, const TDisplayScale& scale) {
    const auto& variants = image.Variants();
    if (scale.IsIdentity() || variants.empty()) return {&image, TDisplayScale()};
    for (const TBitmapVariant& variant : variants) {
        if (!(variant.Factor < scale)) return {variant.Bitmap.get(), variant.Factor};
    }
    return {variants.back().Bitmap.get(), variants.back().Factor};
}

bool ParseVariantName(std::string_view name, std::string& baseName, TDisplayScale& factor) {
    const size_t dot = name.rfind('.');
    const size_t at = name.rfind('@', dot);
    if (dot == std::string_view::npos || at == std::string_view::npos || at == 0 || dot <= at + 2) return false;
    const std::string_view folderEnd = name.substr(0, at);
    if (folderEnd.back() == '\\') return false;  // "@2x.bmp" alone names no picture
    const std::string_view suffix = name.substr(at + 1, dot - at - 1);
    if (suffix.back() != 'x') return false;
    try {
        factor = TDisplayScale::Parse(std::string(suffix));
    } catch (const Exception&) {
        return false;
    }
    if (factor.IsIdentity() || factor.ToFactorString() != suffix) return false;
    baseName = std::string(name.substr(0, at)) + std::string(name.substr(dot));
    return true;
}

std::string VariantName(std::string_view baseName, const TDisplayScale& factor) {
    const size_t dot = baseName.rfind('.');
    const size_t cut = dot == std::string_view::npos || baseName.find('\\', dot) != std::string_view::npos
                           ? baseName.size()
                           : dot;
    return std::string(baseName.substr(0, cut)) + "@" + factor.ToFactorString() + std::string(baseName.substr(cut));
}

}  // namespace marlowen
