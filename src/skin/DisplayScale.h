#pragma once

#include <cstdint>
#include <string>

#include "skin/Geometry.h"

namespace marlowen {

// How many device pixels one skin unit takes: the exact fraction num / den, made from a whole
// percentage from 100 to 400 (the product uses 100, 125, 150, 175, 200, 250 and 300).
//
// One rule maps units to device pixels, for positions and edges alike:
//     Device(u) = floor(u * num / den)            (also for negative u; 64-bit intermediates)
// A rectangle maps its four edges independently, so two rectangles that share an edge in units
// share it in device pixels too: neighbours meet with no gap and no overlap at every scale, and
// unit u covers the device pixels [Device(u), Device(u + 1)).
//
// Input maps back with the inverse, the unit whose device span holds device pixel d:
//     Unit(d) = floor(((d + 1) * den - 1) / num)  (num >= den, so every unit spans a pixel or more)
// so Unit(Device(u)) == u, and every d in [Device(u), Device(u + 1)) gives u.
class TDisplayScale {
public:
    static constexpr int32_t kMinPercent = 100;
    static constexpr int32_t kMaxPercent = 400;

    // 100 %: every operation keeps the pixels of the unscaled code.
    TDisplayScale() = default;
    // Refuses (Exception) a percentage outside 100..400.
    static TDisplayScale FromPercent(int32_t percent);
    // The scale of a display of `dpi` dots per inch (96 at 100 %), held to 100..400 %: what the
    // system reports is never refused.
    static TDisplayScale FromDpi(int32_t dpi);
    // "150%", "150" or a factor "1.5x" / "2x" that names a whole percentage from 100 to 400;
    // anything else is refused with an Exception that says what is accepted.
    static TDisplayScale Parse(const std::string& text);

    int32_t Num() const { return Num_; }
    int32_t Den() const { return Den_; }
    int32_t Percent() const { return Num_ * 100 / Den_; }
    bool IsIdentity() const { return Num_ == Den_; }
    // "150%".
    std::string ToString() const;
    // "1.5x", "2x", "1.25x": how a variant drawn for the scale is named ("name@1.5x.bmp").
    std::string ToFactorString() const;

    int32_t Device(int64_t units) const;
    int32_t Unit(int64_t device) const;
    // A length that starts at unit `from`: Device(from + length) - Device(from).
    int32_t DeviceLength(int64_t from, int64_t length) const;
    // The units that cover `device` pixels from 0: Unit(device - 1) + 1 (a length of no pixels
    // stays as it is).
    int32_t UnitsCovering(int64_t device) const;
    // Edges mapped one by one (exclusive rectangles stay exclusive).
    TRect DeviceRect(const TRect& units) const;
    // The units whose pixels reach into the device rectangle (exclusive); an empty rectangle
    // maps to an empty one.
    TRect UnitRectCovering(const TRect& device) const;

    friend bool operator==(const TDisplayScale& a, const TDisplayScale& b) {
        return a.Num_ == b.Num_ && a.Den_ == b.Den_;
    }
    friend bool operator!=(const TDisplayScale& a, const TDisplayScale& b) { return !(a == b); }
    friend bool operator<(const TDisplayScale& a, const TDisplayScale& b) {
        return int64_t{a.Num_} * b.Den_ < int64_t{b.Num_} * a.Den_;
    }

private:
    TDisplayScale(int32_t num, int32_t den) : Num_(num), Den_(den) {}

    int32_t Num_ = 1;
    int32_t Den_ = 1;
};

}  // namespace marlowen
