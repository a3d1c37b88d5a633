#include "core/ValueItems.h"

#include "core/MultiLanguageException.h"
#include "core/Utf.h"

namespace marlowen {

namespace {
constexpr const char* kKindNames[] = {"Variant", "String", "WideString", "Integer",  "Int64",  "Color",
                                      "Double",  "Extended", "DateTime", "Boolean", "Object", "Class"};
}  // namespace

const char* ValueKindName(TValueKind kind) {
    const auto index = static_cast<size_t>(kind);
    return index < std::size(kKindNames) ? kKindNames[index] : "Unknown";
}

TValueItem::TValueItem(std::string name, TVariant value) : TCustomTextItem(std::move(name)), Value_(std::move(value)) {}

TValueItem::TValueItem(std::string name, std::u16string wideText) : TCustomTextItem(std::move(name)) {
    SetWideText(std::move(wideText));
}

TValueItem::TValueItem(std::string name, bool value) : TCustomTextItem(std::move(name)) { SetBoolean(value); }

TValueItem::TValueItem(std::string name, int32_t value) : TCustomTextItem(std::move(name)) {
    SetValue(TValueKind::Integer, TVariant(value));
}

TValueItem::TValueItem(std::string name, int64_t value) : TCustomTextItem(std::move(name)) {
    SetValue(TValueKind::Int64, TVariant(value));
}

TValueItem::TValueItem(std::string name, double value) : TCustomTextItem(std::move(name)) {
    SetValue(TValueKind::Double, TVariant(value));
}

void TValueItem::SetValue(TValueKind kind, TVariant value) {
    Kind_ = kind;
    Value_ = std::move(value);
}

const TVariant& TValueItems::Require(std::string_view name) const {
    const TValueItem* item = Find(name);
    if (item == nullptr) {
        throw EMultiLanguageException::CreateFmt(u"[rus]Не найдено свойство %s.[eng]Property %s not found.",
                                                 {Utf8ToUtf16(name)});
    }
    return item->Value();
}

std::string TValueItems::GetText(std::string_view name) const { return Require(name).ToString(); }

std::string TValueItems::GetTextDef(std::string_view name, std::string_view def) const {
    const TValueItem* item = Find(name);
    return item != nullptr ? item->Value().ToString() : std::string(def);
}

std::u16string TValueItems::GetWideText(std::string_view name) const { return Require(name).ToWideString(); }

std::u16string TValueItems::GetWideTextDef(std::string_view name, std::u16string_view def) const {
    const TValueItem* item = Find(name);
    return item != nullptr ? item->Value().ToWideString() : std::u16string(def);
}

int32_t TValueItems::GetInteger(std::string_view name) const { return Require(name).ToInteger(); }

int32_t TValueItems::GetIntegerDef(std::string_view name, int32_t def) const {
    const TValueItem* item = Find(name);
    return item != nullptr ? item->Value().ToInteger() : def;
}

uint32_t TValueItems::GetColor(std::string_view name) const { return static_cast<uint32_t>(GetInteger(name)); }

uint32_t TValueItems::GetColorDef(std::string_view name, uint32_t def) const {
    return static_cast<uint32_t>(GetIntegerDef(name, static_cast<int32_t>(def)));
}

bool TValueItems::GetBoolean(std::string_view name) const { return Require(name).ToBoolean(); }

bool TValueItems::GetBooleanDef(std::string_view name, bool def) const {
    const TValueItem* item = Find(name);
    return item != nullptr ? item->Value().ToBoolean() : def;
}

TValueItem& TValueItems::FindOrAdd(std::string_view name) {
    TValueItem* item = Find(name);
    return item != nullptr ? *item : *Add(std::make_unique<TValueItem>(std::string(name)));
}

void TValueItems::Changed() {
    if (OnChange) OnChange(*this);
}

void TValueItems::SetWideText(std::string_view name, std::u16string text) {
    FindOrAdd(name).SetWideText(std::move(text));
    Changed();
}

void TValueItems::SetBoolean(std::string_view name, bool value) {
    FindOrAdd(name).SetBoolean(value);
    Changed();
}

void TValueItems::Assign(const TValueItems& source) {
    if (&source == this) return;
    Clear();
    for (const TValueItem* item : source.Items()) {
        Add(std::make_unique<TValueItem>(item->Name()))->SetValue(item->Kind(), item->Value());
        Changed();
    }
}

void TValueItems::Merge(const TValueItems& source) {
    if (&source == this) return;
    for (const TValueItem* item : source.Items()) {
        TValueItem* target = Find(item->Name());
        if (target == nullptr) {
            target = Add(std::make_unique<TValueItem>(item->Name()));
            Changed();
        }
        target->SetValue(item->Kind(), item->Value());
    }
}

}  // namespace marlowen
