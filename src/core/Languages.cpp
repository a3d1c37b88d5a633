#include "core/Languages.h"

#include <utility>
#include <vector>

#include "core/MultiLanguageException.h"

namespace marlowen {

TLanguages* Languages = nullptr;

namespace {

uint32_t Fold(uintptr_t value) {
    if constexpr (sizeof(uintptr_t) > 4) {
        return static_cast<uint32_t>(value) ^ static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32);
    } else {
        return static_cast<uint32_t>(value);
    }
}

}  // namespace

TLanguageNotificationItem::TLanguageNotificationItem(TLanguageCallback callback, void* target)
    : TCustomInt64Item(KeyOf(callback, target)), Callback_(callback), Target_(target) {}

int64_t TLanguageNotificationItem::KeyOf(TLanguageCallback callback, const void* target) {
    // On a 32-bit system the pair packs exactly; on a 64-bit one each pointer is folded, and a
    // lookup compares the whole pair.
    const uint64_t entry = Fold(reinterpret_cast<uintptr_t>(callback));
    const uint64_t object = Fold(reinterpret_cast<uintptr_t>(target));
    return static_cast<int64_t>(entry | (object << 32));
}

TLanguages::TLanguages() = default;

TLanguages::~TLanguages() {
    Notify(TLanguageNotify::Destroying);
    if (Languages == this) Languages = nullptr;
}

std::unique_ptr<TLanguages> TLanguages::CreateBuiltIn(bool supportsCyrillic) {
    static const std::pair<const char16_t*, const char16_t*> kBuiltIn[] = {
        {u"rus", u"Русский"},  {u"eng", u"English"},  {u"fra", u"Français"},  {u"ger", u"Deutsch"},
        {u"ita", u"Italiano"}, {u"spa", u"Español"}, {u"alb", u"Олбанскей"}, {u"chi", u"Китайский"},
    };
    auto languages = std::make_unique<TLanguages>();
    for (const auto& [code, name] : kBuiltIn) languages->Add(std::make_unique<TLanguage>(code, name));
    languages->SetDefaultLanguage(languages->FindByCode(u"eng"));
    languages->SetCurrentLanguage(languages->FindByCode(supportsCyrillic ? u"rus" : u"eng"));
    return languages;
}

TLanguage* TLanguages::Add(std::unique_ptr<TLanguage> language) {
    TLanguage* added = Languages_.Add(std::move(language));
    if (CurrentLanguage_ == nullptr) CurrentLanguage_ = added;
    return added;
}

TLanguage* TLanguages::FindByCode(std::u16string_view code) const {
    for (TLanguage* language : Languages_) {
        if (language->Code() == code) return language;
    }
    return nullptr;
}

TLanguage* TLanguages::GetByCode(std::u16string_view code) const {
    TLanguage* language = FindByCode(code);
    if (language == nullptr) {
        throw EMultiLanguageException::Create(u"[rus]Искомый язык не определён.[eng]Language not found.");
    }
    return language;
}

void TLanguages::SetCurrentLanguage(TLanguage* language) {
    if (language == CurrentLanguage_) return;
    CurrentLanguage_ = language;
    Notify(TLanguageNotify::Changed);
}

void TLanguages::SelectLanguage(std::u16string_view code) { SetCurrentLanguage(GetByCode(code)); }

void TLanguages::SetDefaultLanguage(TLanguage* language) {
    if (language == DefaultLanguage_) return;
    DefaultLanguage_ = language;
    Notify(TLanguageNotify::Changed);
}

TLanguageNotificationItem* TLanguages::FindNotification(TLanguageCallback callback, const void* target) const {
    return Notifications_.FindWhere(TLanguageNotificationItem::KeyOf(callback, target),
                                    [&](const TLanguageNotificationItem& item) {
                                        return item.Callback() == callback && item.Target() == target;
                                    });
}

void TLanguages::RegisterNotification(TLanguageCallback callback, void* target) {
    if (FindNotification(callback, target) != nullptr) {
        throw EMultiLanguageException::Create(
            u"[rus]Уведомление о смене языка уже зарегистрировано.[eng]Notification already registered.");
    }
    Notifications_.Add(std::make_unique<TLanguageNotificationItem>(callback, target));
}

void TLanguages::UnregisterNotification(TLanguageCallback callback, void* target) {
    Notifications_.Remove(FindNotification(callback, target), true);
}

void TLanguages::Notify(TLanguageNotify flag) {
    // Subscribers may unsubscribe themselves or others while being told: each one is looked up
    // again before it is called.
    std::vector<std::pair<TLanguageCallback, void*>> subscribers;
    subscribers.reserve(static_cast<size_t>(Notifications_.Count()));
    for (const TLanguageNotificationItem* item : Notifications_.Items()) {
        subscribers.emplace_back(item->Callback(), item->Target());
    }
    for (const auto& [callback, target] : subscribers) {
        if (FindNotification(callback, target) != nullptr) callback(target, *this, flag);
    }
}

void UnregisterLanguageNotification(TLanguageCallback callback, void* target) {
    if (Languages != nullptr) Languages->UnregisterNotification(callback, target);
}

}  // namespace marlowen
