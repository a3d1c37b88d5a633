#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Fixed-point numbers as people read and type them: value = number x factor, the factor a power
// of ten, in the region's thousand and decimal separators.
namespace marlowen {

// How often the factor divides by 10 while it is greater than 1 (100 gives 2, 1 gives 0).
int32_t FixedPointDecimals(int64_t factor);
// Whether the factor is 1, 10, 100, ...
bool IsFixedPointFactor(int64_t factor);
// The value as a number with `FixedPointDecimals(factor)` decimals after the decimal separator,
// the integer part grouped by three with the thousand separator (0 = no grouping):
// 123456789 with factor 100, ' ' and '.' gives "1 234 567.89"; 5 gives "0.05".
std::u16string FormatFixedPoint(int64_t value, int64_t factor, char16_t thousandSeparator, char16_t decimalSeparator);
// The value of an entry, or none when it is wrong. Thousand separators that group the digits
// are removed (one that is "," or "." only from an integer part grouped by three, and with
// decimals only before the decimal part: "1,234.56", not "12,34"), then every other "," and "."
// stands for the decimal separator; the rest must be a decimal number (spaces around it, a sign and an exponent
// allowed) that is not negative, has no more decimals than the factor allows and, with factor
// 1, no decimal separator at all. Numbers beyond the 64-bit range are held to 2^63 - 1 - factor.
// So FormatFixedPoint's text of any value the edit can hold reads back as that value.
std::optional<int64_t> ParseFixedPoint(std::u16string_view text, int64_t factor, char16_t thousandSeparator,
                                       char16_t decimalSeparator);

}  // namespace marlowen
