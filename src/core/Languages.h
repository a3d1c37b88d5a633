#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/Int64Index.h"
#include "core/ObjectList.h"

namespace marlowen {

class TLanguages;

// One language: the code that opens its sections in tagged strings, and its display name.
class TLanguage {
public:
    TLanguage(std::u16string code, std::u16string name) : Code_(std::move(code)), Name_(std::move(name)) {}

    const std::u16string& Code() const { return Code_; }
    const std::u16string& Name() const { return Name_; }

private:
    std::u16string Code_;
    std::u16string Name_;
};

enum class TLanguageNotify : int32_t {
    Changed = 0,     // the current or the default language changed
    Destroying = 1,  // the registry is being destroyed
};

// A subscriber: a plain function and the object it is called for. The pair is the identity of
// a subscription.
using TLanguageCallback = void (*)(void* target, TLanguages& sender, TLanguageNotify flag);

// One subscription, keyed by the pair packed into 64 bits (function low, object high).
class TLanguageNotificationItem : public TCustomInt64Item {
public:
    TLanguageNotificationItem(TLanguageCallback callback, void* target);

    static int64_t KeyOf(TLanguageCallback callback, const void* target);

    TLanguageCallback Callback() const { return Callback_; }
    void* Target() const { return Target_; }

private:
    TLanguageCallback Callback_;
    void* Target_;
};

// The registry of languages: which one is current and which one is the fall-back, and who wants
// to hear when either changes.
class TLanguages {
public:
    TLanguages();
    TLanguages(const TLanguages&) = delete;
    TLanguages& operator=(const TLanguages&) = delete;
    // Tells every subscriber (Destroying) before the subscriptions and languages go.
    ~TLanguages();

    // The built-in table; "rus" becomes current when the system supports Cyrillic, else "eng";
    // "eng" is the default.
    static std::unique_ptr<TLanguages> CreateBuiltIn(bool supportsCyrillic);

    int32_t Count() const { return Languages_.Count(); }
    TLanguage* Items(int32_t index) const { return Languages_.Items(index); }

    // Appends and owns; the first language added becomes current, without notification.
    TLanguage* Add(std::unique_ptr<TLanguage> language);
    TLanguage* FindByCode(std::u16string_view code) const;
    TLanguage* GetByCode(std::u16string_view code) const;

    TLanguage* CurrentLanguage() const { return CurrentLanguage_; }
    TLanguage* DefaultLanguage() const { return DefaultLanguage_; }
    void SetCurrentLanguage(TLanguage* language);
    void SelectLanguage(std::u16string_view code);
    void SetDefaultLanguage(TLanguage* language);

    void RegisterNotification(TLanguageCallback callback, void* target);
    void UnregisterNotification(TLanguageCallback callback, void* target);

    // Subscribes a member function: Languages->RegisterNotification<&TLabel::LanguageChanged>(this).
    template <auto Method, class T>
    void RegisterNotification(T* target) {
        RegisterNotification(&Thunk<Method, T>, target);
    }
    template <auto Method, class T>
    void UnregisterNotification(T* target) {
        UnregisterNotification(&Thunk<Method, T>, target);
    }

    int32_t NotificationCount() const { return Notifications_.Count(); }

private:
    template <auto Method, class T>
    static void Thunk(void* target, TLanguages& sender, TLanguageNotify flag) {
        (static_cast<T*>(target)->*Method)(sender, flag);
    }

    TLanguageNotificationItem* FindNotification(TLanguageCallback callback, const void* target) const;
    void Notify(TLanguageNotify flag);

    TObjectList<TLanguage> Languages_;
    TInt64Index<TLanguageNotificationItem> Notifications_{10007};
    TLanguage* CurrentLanguage_ = nullptr;
    TLanguage* DefaultLanguage_ = nullptr;
};

// The process-wide registry, made by the library start-up (TCoreLibrary); none before and after.
extern TLanguages* Languages;

// Unsubscribes from the process-wide registry; does nothing when there is none.
void UnregisterLanguageNotification(TLanguageCallback callback, void* target);

}  // namespace marlowen
