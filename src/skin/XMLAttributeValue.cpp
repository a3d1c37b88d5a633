#include "skin/XMLAttributeValue.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/StringHash.h"
#include "core/Utf.h"

namespace marlowen {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The magnitude of a run of digits in the base; none when empty, not all digits, or above limit.
std::optional<uint64_t> Magnitude(std::string_view digits, int base, uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int digit = base == 16 ? HexDigit(c) : (IsDigit(c) ? c - '0' : -1);
        if (digit < 0) return std::nullopt;
        if (value > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return value;
}

std::optional<TVariant> DecimalValue(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    // Canonical form only: "007", "-0" and "+1" stay text, so that every integer prints back as written.
    if (digits.empty() || (digits[0] == '0' && (digits.size() > 1 || negative))) return std::nullopt;
    const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX);
    const auto magnitude = Magnitude(digits, 10, limit);
    if (!magnitude) return std::nullopt;
    const int64_t value = negative ? static_cast<int64_t>(0 - *magnitude) : static_cast<int64_t>(*magnitude);
    if (value >= INT32_MIN && value <= INT32_MAX) return TVariant(static_cast<int32_t>(value));
    return TVariant(value);
}

std::optional<TVariant> HexValue(std::string_view text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
    const auto magnitude = Magnitude(text.substr(2), 16, static_cast<uint64_t>(INT64_MAX));
    if (!magnitude) return std::nullopt;
    if (*magnitude <= UINT32_MAX) return TVariant(static_cast<int32_t>(static_cast<uint32_t>(*magnitude)));
    return TVariant(static_cast<int64_t>(*magnitude));
}

}  // namespace

TVariant AttributeValue(std::string_view text) {
    if (auto value = DecimalValue(text)) return *value;
    if (auto value = HexValue(text)) return *value;
    if (TextEquals(text, "true")) return TVariant(true);
    if (TextEquals(text, "false")) return TVariant(false);
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return TVariant(std::string(text));
    }
    return TVariant(Utf8ToUtf16(text));
}

}  // namespace marlowen
