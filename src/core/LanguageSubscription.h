#pragma once

#include "core/Languages.h"

namespace marlowen {

// A subscriber's hold on a registry's language notifications: it ends when the subscription goes
// or is moved from, and a registry that goes first ends it as it tells the subscriber. So neither
// side can call the other once it is gone, and no subscriber has to remember which registry it
// subscribed to, or whether that one is still there. Move-only.
class TLanguageSubscription {
public:
    TLanguageSubscription() = default;
    // (target->*Method)(sender, flag) on every notification, Destroying included.
    template <auto Method, class T>
    static TLanguageSubscription To(TLanguages& languages, T* target) {
        return TLanguageSubscription(languages, &Thunk<Method, T>, target);
    }

    TLanguageSubscription(TLanguageSubscription&& other) noexcept;
    TLanguageSubscription& operator=(TLanguageSubscription&& other) noexcept;
    TLanguageSubscription(const TLanguageSubscription&) = delete;
    TLanguageSubscription& operator=(const TLanguageSubscription&) = delete;
    ~TLanguageSubscription() { End(); }

    // Subscribed to a registry that is still there.
    bool Active() const { return Languages_ != nullptr; }
    void End() noexcept;

private:
    TLanguageSubscription(TLanguages& languages, TLanguageCallback forward, void* target);

    template <auto Method, class T>
    static void Thunk(void* target, TLanguages& sender, TLanguageNotify flag) {
        (static_cast<T*>(target)->*Method)(sender, flag);
    }
    // What the registry calls: this subscription, which passes the notification on.
    static void Relay(void* subscription, TLanguages& sender, TLanguageNotify flag);
    void TakeOver(TLanguageSubscription& other) noexcept;

    TLanguages* Languages_ = nullptr;
    TLanguageCallback Forward_ = nullptr;
    void* Target_ = nullptr;
};

}  // namespace marlowen
