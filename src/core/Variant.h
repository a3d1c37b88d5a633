#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "core/Exception.h"

namespace marlowen {

// A point in time: days since 1899-12-30, the fraction being the time of day.
struct TDateTime {
    double Days = 0;
    bool operator==(const TDateTime& other) const { return Days == other.Days; }
};

enum class TVarType : uint8_t { Empty, Null, Integer, Int64, Boolean, Double, Date, String, WideString };

const char* VarTypeName(TVarType type);

// Raised when a variant cannot be converted to the requested type.
class EVariantError : public Exception {
public:
    EVariantError(TVarType from, const char* to);
};

// A value of one of the variant types: empty, null, 32- or 64-bit integer, boolean, double,
// date, 8-bit (UTF-8) string or wide (UTF-16) string. Conversions follow the usual variant rules:
// numbers give their decimal text, texts holding numbers give the numbers, empty gives 0, "" or
// false, and null converts to nothing but text (the empty text).
class TVariant {
public:
    TVariant() = default;
    TVariant(int32_t value) : Value_(value) {}
    TVariant(int64_t value) : Value_(value) {}
    TVariant(bool value) : Value_(value) {}
    TVariant(double value) : Value_(value) {}
    TVariant(TDateTime value) : Value_(value) {}
    TVariant(std::string value) : Value_(std::move(value)) {}
    TVariant(const char* value) : Value_(std::string(value)) {}
    TVariant(std::u16string value) : Value_(std::move(value)) {}
    TVariant(const char16_t* value) : Value_(std::u16string(value)) {}

    static TVariant Null();

    TVarType Type() const { return static_cast<TVarType>(Value_.index()); }
    bool IsEmpty() const { return Type() == TVarType::Empty; }
    bool IsNull() const { return Type() == TVarType::Null; }

    std::string ToString() const;
    std::u16string ToWideString() const;
    int32_t ToInteger() const;
    int64_t ToInt64() const;
    bool ToBoolean() const;
    double ToDouble() const;
    TDateTime ToDateTime() const;

    // Same type and same value.
    bool operator==(const TVariant& other) const { return Value_ == other.Value_; }
    bool operator!=(const TVariant& other) const { return !(*this == other); }

private:
    struct TNull {
        bool operator==(const TNull&) const { return true; }
    };
    using TStorage = std::variant<std::monostate, TNull, int32_t, int64_t, bool, double, TDateTime,
                                  std::string, std::u16string>;

    explicit TVariant(TStorage value) : Value_(std::move(value)) {}

    TStorage Value_;
};

}  // namespace marlowen
