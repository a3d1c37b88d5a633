#include "core/FixedPoint.h"

#include <algorithm>
#include <limits>

namespace marlowen {

int32_t FixedPointDecimals(int64_t factor) {
    int32_t decimals = 0;
    for (; factor > 1; factor /= 10) ++decimals;
    return decimals;
}

bool IsFixedPointFactor(int64_t factor) {
    if (factor < 1) return false;
    while (factor % 10 == 0) factor /= 10;
    return factor == 1;
}

std::u16string FormatFixedPoint(int64_t value, int64_t factor, char16_t thousandSeparator, char16_t decimalSeparator) {
    const size_t decimals = static_cast<size_t>(FixedPointDecimals(factor));
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::u16string text;
    if (value < 0) text += u'-';
    if (digits.size() > decimals) {
        const size_t whole = digits.size() - decimals;
        for (size_t i = 0; i < whole; ++i) {
            if (thousandSeparator != 0 && i > 0 && (whole - i) % 3 == 0) text += thousandSeparator;
            text += static_cast<char16_t>(digits[i]);
        }
    } else {
        text += u'0';
    }
    if (decimals > 0) {
        text += decimalSeparator;
        if (digits.size() < decimals) text.append(decimals - digits.size(), u'0');
        const size_t shown = std::min(decimals, digits.size());
        for (size_t i = digits.size() - shown; i < digits.size(); ++i) text += static_cast<char16_t>(digits[i]);
    }
    return text.empty() ? u"0" : text;
}

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// At most 19 decimal digits as a number (below 10^19, so within 64 bits unsigned).
uint64_t DigitsValue(std::string_view digits) {
    uint64_t value = 0;
    for (char c : digits) value = value * 10 + static_cast<uint64_t>(c - '0');
    return value;
}

}  // namespace

namespace {

bool IsDecimalMark(char16_t c, char16_t decimalSeparator) { return c == u',' || c == u'.' || c == decimalSeparator; }

// The end of the entry's integer part (after spaces and a sign) when that is digits grouped by
// three with the separator, "1,234,567"; 0 when it is not.
size_t GroupedIntegerPartEnd(std::u16string_view text, char16_t separator) {
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    size_t group = 0;
    size_t separators = 0;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == separator); ++i) {
        if (text[i] != separator) {
            if (++group > 3) return 0;
            continue;
        }
        if (group == 0 || (separators > 0 && group != 3)) return 0;
        ++separators;
        group = 0;
    }
    return separators > 0 && group == 3 ? i : 0;
}

// How far from the start thousand separators group the entry's digits. A separator that is not
// "," or "." groups throughout. One that is may as well be the decimal mark the person typed: it
// groups only where it splits the integer part into threes and, since the edit's own text then
// always has a decimal part, only before one ("1,234.56"), so that "12,345" is 12.345 and "12,34"
// is 12.34. Without decimals (factor 1) a separator in those places can only group.
size_t GroupingEnd(std::u16string_view text, int64_t factor, char16_t thousandSeparator, char16_t decimalSeparator) {
    if (thousandSeparator == 0 || thousandSeparator == decimalSeparator) return 0;
    if (thousandSeparator != u',' && thousandSeparator != u'.') return text.size();
    const size_t end = GroupedIntegerPartEnd(text, thousandSeparator);
    if (end == 0 || factor == 1) return end;
    return end < text.size() && IsDecimalMark(text[end], decimalSeparator) ? end : 0;
}

}  // namespace

std::optional<int64_t> ParseFixedPoint(std::u16string_view text, int64_t factor, char16_t thousandSeparator,
                                       char16_t decimalSeparator) {
    if (!IsFixedPointFactor(factor)) return std::nullopt;
    const size_t groupingEnd = GroupingEnd(text, factor, thousandSeparator, decimalSeparator);
    std::u16string s;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (i < groupingEnd && c == thousandSeparator) continue;
        s += (c == u',' || c == u'.') ? decimalSeparator : c;
    }
    if (factor == 1 && s.find(decimalSeparator) != std::u16string::npos) return std::nullopt;

    size_t i = 0;
    size_t end = s.size();
    while (i < end && s[i] == u' ') ++i;
    while (end > i && s[end - 1] == u' ') --end;
    bool negative = false;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    std::string digits;
    int64_t fractionDigits = 0;
    bool anyDigit = false;
    for (; i < end && IsDigit(s[i]); ++i, anyDigit = true) digits += static_cast<char>(s[i]);
    if (i < end && s[i] == decimalSeparator) {
        for (++i; i < end && IsDigit(s[i]); ++i, ++fractionDigits, anyDigit = true) digits += static_cast<char>(s[i]);
    }
    if (!anyDigit) return std::nullopt;
    int64_t exponent = 0;
    if (i < end && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < end && (s[i] == u'+' || s[i] == u'-')) exponentNegative = s[i++] == u'-';
        bool anyExponentDigit = false;
        // Far beyond any 64-bit value either way; held there so the sums below cannot overflow.
        for (; i < end && IsDigit(s[i]); ++i, anyExponentDigit = true) {
            exponent = std::min<int64_t>(exponent * 10 + (s[i] - u'0'), 1000000);
        }
        if (!anyExponentDigit) return std::nullopt;
        if (exponentNegative) exponent = -exponent;
    }
    if (i != end) return std::nullopt;

    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.empty()) return 0;  // zero, with any sign
    if (negative) return std::nullopt;
    const int64_t limit = std::numeric_limits<int64_t>::max() - factor;
    // value x factor = digits x 10^shift
    const int64_t shift = exponent - fractionDigits + FixedPointDecimals(factor);
    if (shift >= 0) {
        if (static_cast<int64_t>(digits.size()) + shift > 19) return limit;
        uint64_t value = DigitsValue(digits);
        for (int64_t k = 0; k < shift; ++k) value *= 10;
        return value > static_cast<uint64_t>(limit) ? limit : static_cast<int64_t>(value);
    }
    const size_t cut = static_cast<size_t>(std::min<int64_t>(-shift, static_cast<int64_t>(digits.size())));
    const std::string_view whole = std::string_view(digits).substr(0, digits.size() - cut);
    const std::string_view rest = std::string_view(digits).substr(digits.size() - cut);
    const bool remainder = rest.find_first_not_of('0') != std::string_view::npos;
    if (whole.size() > 19) return limit;
    const uint64_t value = DigitsValue(whole);
    if (value > static_cast<uint64_t>(limit) || (value == static_cast<uint64_t>(limit) && remainder)) return limit;
    if (remainder) return std::nullopt;  // more decimals than the factor allows
    return static_cast<int64_t>(value);
}

}  // namespace marlowen
