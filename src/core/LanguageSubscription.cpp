#include "core/LanguageSubscription.h"

namespace marlowen {

TLanguageSubscription::TLanguageSubscription(TLanguages& languages, TLanguageCallback forward, void* target)
    : Languages_(&languages), Forward_(forward), Target_(target) {
    Languages_->RegisterNotification(&Relay, this);
}

// The registry knows a subscription by its address: a moved one subscribes again where it now is.
void TLanguageSubscription::TakeOver(TLanguageSubscription& other) noexcept {
    if (other.Languages_ == nullptr) return;
    TLanguages& languages = *other.Languages_;
    const TLanguageCallback forward = other.Forward_;
    void* const target = other.Target_;
    other.End();
    Languages_ = &languages;
    Forward_ = forward;
    Target_ = target;
    languages.RegisterNotification(&Relay, this);
}

TLanguageSubscription::TLanguageSubscription(TLanguageSubscription&& other) noexcept { TakeOver(other); }

TLanguageSubscription& TLanguageSubscription::operator=(TLanguageSubscription&& other) noexcept {
    if (this != &other) {
        End();
        TakeOver(other);
    }
    return *this;
}

void TLanguageSubscription::End() noexcept {
    if (Languages_ == nullptr) return;
    Languages_->UnregisterNotification(&Relay, this);
    Languages_ = nullptr;
}

void TLanguageSubscription::Relay(void* subscription, TLanguages& sender, TLanguageNotify flag) {
    auto* self = static_cast<TLanguageSubscription*>(subscription);
    const TLanguageCallback forward = self->Forward_;
    void* const target = self->Target_;
    // A registry that goes is left at once: nothing can reach it through this subscription later,
    // even while the subscriber is being told.
    if (flag == TLanguageNotify::Destroying) self->End();
    forward(target, sender, flag);
}

}  // namespace marlowen
