#include "skin/DisplayScale.h"

#include <algorithm>
#include <numeric>

#include "core/Exception.h"

namespace marlowen {

namespace {

// Positions beyond any bitmap or control: held here so that no product below can overflow.
constexpr int64_t kLimit = int64_t{1} << 40;

int64_t Held(int64_t value) { return std::clamp(value, -kLimit, kLimit); }

// Division rounded toward minus infinity (d > 0).
int64_t FloorDiv(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

[[noreturn]] void Refuse(const std::string& text) {
    throw Exception("Unknown display scale \"" + text + "\": give a percentage from 100 to 400 (\"150%\") or a " +
                    "factor (\"1.5x\").");
}

// Digits only, at most `limit` of them; -1 when there are none or others.
int64_t ParseDigits(const std::string& digits, size_t limit) {
    if (digits.empty() || digits.size() > limit) return -1;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "1.5" as hundredths (150); -1 when it is not a factor with at most two decimals.
int64_t ParseFactorHundredths(const std::string& factor) {
    const size_t dot = factor.find('.');
    const int64_t whole = ParseDigits(factor.substr(0, dot), 3);
    if (whole < 0) return -1;
    if (dot == std::string::npos) return whole * 100;
    std::string fraction = factor.substr(dot + 1);
    // Zeros past the second decimal name the same percentage ("1.250x").
    while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
    if (fraction.empty() || fraction.size() > 2) return -1;
    if (fraction.size() == 1) fraction += '0';
    const int64_t hundredths = ParseDigits(fraction, 2);
    return hundredths < 0 ? -1 : whole * 100 + hundredths;
}

}  // namespace

TDisplayScale TDisplayScale::FromPercent(int32_t percent) {
    if (percent < kMinPercent || percent > kMaxPercent) Refuse(std::to_string(percent) + "%");
    const int32_t g = std::gcd(percent, 100);
    return {percent / g, 100 / g};
}

TDisplayScale TDisplayScale::FromDpi(int32_t dpi) {
    constexpr int32_t kDpiAt100 = 96;
    const int32_t held = std::clamp(dpi, kDpiAt100 * kMinPercent / 100, kDpiAt100 * kMaxPercent / 100);
    const int32_t g = std::gcd(held, kDpiAt100);
    return {held / g, kDpiAt100 / g};
}

TDisplayScale TDisplayScale::Parse(const std::string& text) {
    int64_t percent = -1;
    if (!text.empty() && (text.back() == 'x' || text.back() == 'X')) {
        percent = ParseFactorHundredths(text.substr(0, text.size() - 1));
    } else if (!text.empty() && text.back() == '%') {
        percent = ParseDigits(text.substr(0, text.size() - 1), 3);
    } else {
        percent = ParseDigits(text, 3);
    }
    if (percent < kMinPercent || percent > kMaxPercent) Refuse(text);
    return FromPercent(static_cast<int32_t>(percent));
}

std::string TDisplayScale::ToString() const { return std::to_string(Percent()) + "%"; }

std::string TDisplayScale::ToFactorString() const {
    const int32_t percent = Percent();
    std::string text = std::to_string(percent / 100);
    if (const int32_t hundredths = percent % 100; hundredths != 0) {
        text += '.' + std::to_string(hundredths / 10);
        if (hundredths % 10 != 0) text += std::to_string(hundredths % 10);
    }
    return text + "x";
}

int32_t TDisplayScale::Device(int64_t units) const {
    if (IsIdentity()) return SaturateInt32(units);
    return SaturateInt32(FloorDiv(Held(units) * Num_, Den_));
}

int32_t TDisplayScale::Unit(int64_t device) const {
    if (IsIdentity()) return SaturateInt32(device);
    return SaturateInt32(FloorDiv((Held(device) + 1) * Den_ - 1, Num_));
}

int32_t TDisplayScale::DeviceLength(int64_t from, int64_t length) const {
    return SaturateInt32(int64_t{Device(from + length)} - Device(from));
}

int32_t TDisplayScale::UnitsCovering(int64_t device) const {
    if (device <= 0 || IsIdentity()) return SaturateInt32(device);
    return SaturateInt32(int64_t{Unit(device - 1)} + 1);
}

TRect TDisplayScale::DeviceRect(const TRect& units) const {
    return {Device(units.Left), Device(units.Top), Device(units.Right), Device(units.Bottom)};
}

TRect TDisplayScale::UnitRectCovering(const TRect& device) const {
    if (device.Right <= device.Left || device.Bottom <= device.Top) return {device.Left, device.Top, device.Left, device.Top};
    return {Unit(device.Left), Unit(device.Top), SaturateInt32(int64_t{Unit(int64_t{device.Right} - 1)} + 1),
            SaturateInt32(int64_t{Unit(int64_t{device.Bottom} - 1)} + 1)};
}

}  // namespace marlowen
