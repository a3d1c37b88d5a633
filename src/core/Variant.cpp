#include "core/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

#include "core/StringHash.h"
#include "core/Utf.h"

namespace marlowen {

namespace {

constexpr const char* kTypeNames[] = {"Empty", "Null",   "Integer", "Int64",     "Boolean",
                                      "Double", "Date", "String",  "WideString"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Decimal with an optional sign, or hexadecimal after "$", "0x" or "0X" (up to 16 digits).
std::optional<int64_t> ParseInteger(std::string_view text) {
    text = Trim(text);
    int base = 10;
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (base == 10 && magnitude > (negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX})) return std::nullopt;
    const auto value = static_cast<int64_t>(magnitude);
    return negative ? static_cast<int64_t>(0 - magnitude) : value;
}

// Whether an integer text is written in hexadecimal (the form ParseInteger accepts).
bool IsHexadecimal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    return (!text.empty() && text.front() == '$') ||
           (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
}

std::optional<double> ParseDouble(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string DoubleText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Days since 1899-12-30 to "yyyy-mm-dd" and, unless it is midnight, " hh:nn:ss". As usual for
// such dates, the whole part counts days (also before the base) and the fraction's magnitude is
// the time of day: -1.25 is 1899-12-29 06:00.
std::string DateText(TDateTime date) {
    if (!std::isfinite(date.Days) || std::fabs(date.Days) > 3.0e6) return DoubleText(date.Days);
    const double whole = std::trunc(date.Days);
    int64_t seconds = std::llround(std::fabs(date.Days - whole) * 86400.0);
    int64_t days = static_cast<int64_t>(whole) - 25569 + 719468;  // shift to 0000-03-01
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld", static_cast<long long>(year),
                               static_cast<long long>(month), static_cast<long long>(day));
    if (seconds != 0) {
        length += std::snprintf(buffer + length, sizeof buffer - length, " %02lld:%02lld:%02lld",
                                static_cast<long long>(seconds / 3600),
                                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    }
    return std::string(buffer, static_cast<size_t>(length));
}

int64_t RoundToInt64(double value, TVarType from) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
        throw EVariantError(from, "Int64");
    }
    return static_cast<int64_t>(rounded);
}

}  // namespace

const char* VarTypeName(TVarType type) { return kTypeNames[static_cast<int>(type)]; }

EVariantError::EVariantError(TVarType from, const char* to)
    : Exception(std::string("Невозможно преобразовать вариант типа (") + VarTypeName(from) + ") в тип (" +
                to + ").") {}

TVariant TVariant::Null() { return TVariant(TStorage(TNull{})); }

std::string TVariant::ToString() const {
    switch (Type()) {
        case TVarType::Empty:
        case TVarType::Null: return {};
        case TVarType::Integer: return std::to_string(std::get<int32_t>(Value_));
        case TVarType::Int64: return std::to_string(std::get<int64_t>(Value_));
        case TVarType::Boolean: return std::get<bool>(Value_) ? "True" : "False";
        case TVarType::Double: return DoubleText(std::get<double>(Value_));
        case TVarType::Date: return DateText(std::get<TDateTime>(Value_));
        case TVarType::String: return std::get<std::string>(Value_);
        case TVarType::WideString: return Utf16ToUtf8(std::get<std::u16string>(Value_));
    }
    return {};
}

std::u16string TVariant::ToWideString() const {
    if (Type() == TVarType::WideString) return std::get<std::u16string>(Value_);
    return Utf8ToUtf16(ToString());
}

int64_t TVariant::ToInt64() const {
    switch (Type()) {
        case TVarType::Empty: return 0;
        case TVarType::Null: throw EVariantError(Type(), "Int64");
        case TVarType::Integer: return std::get<int32_t>(Value_);
        case TVarType::Int64: return std::get<int64_t>(Value_);
        case TVarType::Boolean: return std::get<bool>(Value_) ? -1 : 0;
        case TVarType::Double: return RoundToInt64(std::get<double>(Value_), Type());
        case TVarType::Date: return RoundToInt64(std::get<TDateTime>(Value_).Days, Type());
        case TVarType::String:
        case TVarType::WideString: {
            const std::string text = ToString();
            if (const auto value = ParseInteger(text)) return *value;
            if (const auto value = ParseDouble(text)) return RoundToInt64(*value, Type());
            throw EVariantError(Type(), "Int64");
        }
    }
    return 0;
}

int32_t TVariant::ToInteger() const {
    // 32-bit patterns up to 0xFFFFFFFF wrap around, as colours written in hexadecimal need; a
    // decimal number (text or floating point) must fit the signed range.
    const int64_t value = ToInt64();
    bool pattern = Type() == TVarType::Int64;
    if (Type() == TVarType::String || Type() == TVarType::WideString) pattern = IsHexadecimal(ToString());
    const int64_t highest = pattern ? int64_t{UINT32_MAX} : int64_t{INT32_MAX};
    if (value < INT32_MIN || value > highest) throw EVariantError(Type(), "Integer");
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

bool TVariant::ToBoolean() const {
    switch (Type()) {
        case TVarType::Empty: return false;
        case TVarType::Boolean: return std::get<bool>(Value_);
        case TVarType::Double: return std::get<double>(Value_) != 0;
        case TVarType::Date: return std::get<TDateTime>(Value_).Days != 0;
        case TVarType::String:
        case TVarType::WideString: {
            const std::string text = ToString();
            if (TextEquals(Trim(text), "true")) return true;
            if (TextEquals(Trim(text), "false")) return false;
            if (const auto value = ParseDouble(text)) return *value != 0;
            if (const auto value = ParseInteger(text)) return *value != 0;
            throw EVariantError(Type(), "Boolean");
        }
        case TVarType::Null: throw EVariantError(Type(), "Boolean");
        default: return ToInt64() != 0;
    }
}

double TVariant::ToDouble() const {
    switch (Type()) {
        case TVarType::Empty: return 0;
        case TVarType::Null: throw EVariantError(Type(), "Double");
        case TVarType::Double: return std::get<double>(Value_);
        case TVarType::Date: return std::get<TDateTime>(Value_).Days;
        case TVarType::String:
        case TVarType::WideString: {
            const std::string text = ToString();
            if (const auto value = ParseInteger(text)) return static_cast<double>(*value);
            if (const auto value = ParseDouble(text)) return *value;
            throw EVariantError(Type(), "Double");
        }
        default: return static_cast<double>(ToInt64());
    }
}

TDateTime TVariant::ToDateTime() const {
    if (Type() == TVarType::Date) return std::get<TDateTime>(Value_);
    try {
        return TDateTime{ToDouble()};
    } catch (const EVariantError&) {
        throw EVariantError(Type(), "Date");
    }
}

}  // namespace marlowen
