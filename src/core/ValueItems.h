#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/TextIndex.h"
#include "core/Variant.h"

namespace marlowen {

// The declared type of a value item, stored as one byte.
enum class TValueKind : uint8_t {
    Variant = 0,  // the variant's own type stands
    String,
    WideString,
    Integer,
    Int64,
    Color,
    Double,
    Extended,
    DateTime,
    Boolean,
    Object,
    Class,
};

const char* ValueKindName(TValueKind kind);

// A named value. The name is fixed for the item's life (it keys the collection's index).
class TValueItem : public TCustomTextItem {
public:
    explicit TValueItem(std::string name) : TCustomTextItem(std::move(name)) {}
    TValueItem(std::string name, TVariant value);
    TValueItem(std::string name, std::u16string wideText);
    TValueItem(std::string name, const char16_t* wideText) : TValueItem(std::move(name), std::u16string(wideText)) {}
    // Each number type has its own constructor: otherwise an int would convert to bool, the
    // better match, and the item would become a Boolean.
    TValueItem(std::string name, bool value);
    TValueItem(std::string name, int32_t value);
    TValueItem(std::string name, int64_t value);
    TValueItem(std::string name, double value);
    TValueItem(std::string name, const char* text) : TValueItem(std::move(name), TVariant(text)) {}

    const std::string& Name() const { return Key(); }
    TValueKind Kind() const { return Kind_; }
    const TVariant& Value() const { return Value_; }

    void SetValue(TValueKind kind, TVariant value);
    void SetWideText(std::u16string text) { SetValue(TValueKind::WideString, TVariant(std::move(text))); }
    void SetBoolean(bool value) { SetValue(TValueKind::Boolean, TVariant(value)); }

private:
    TValueKind Kind_ = TValueKind::Variant;
    TVariant Value_;
};

// A small bag of named values looked up without regard to letter case; of equal names the one
// added last is found. Getters come in two forms: one raises EMultiLanguageException for a
// missing name, the other returns the caller's default.
class TValueItems : public TTextIndex<TValueItem> {
public:
    explicit TValueItems(int32_t bucketCount = 11) : TTextIndex<TValueItem>(bucketCount) {}

    // Called with the collection by SetWideText, SetBoolean, Assign and Merge.
    std::function<void(TValueItems&)> OnChange;

    std::string GetText(std::string_view name) const;
    std::string GetTextDef(std::string_view name, std::string_view def) const;
    std::u16string GetWideText(std::string_view name) const;
    std::u16string GetWideTextDef(std::string_view name, std::u16string_view def) const;
    int32_t GetInteger(std::string_view name) const;
    int32_t GetIntegerDef(std::string_view name, int32_t def) const;
    uint32_t GetColor(std::string_view name) const;
    uint32_t GetColorDef(std::string_view name, uint32_t def) const;
    bool GetBoolean(std::string_view name) const;
    bool GetBooleanDef(std::string_view name, bool def) const;

    void SetWideText(std::string_view name, std::u16string text);
    void SetBoolean(std::string_view name, bool value);

    // Clear, then copies of the source's items in order (OnChange after each).
    void Assign(const TValueItems& source);
    // Copies each source value into the item of that name; a missing name is added first, and
    // only those additions fire OnChange.
    void Merge(const TValueItems& source);

private:
    const TVariant& Require(std::string_view name) const;
    TValueItem& FindOrAdd(std::string_view name);
    void Changed();
};

}  // namespace marlowen
