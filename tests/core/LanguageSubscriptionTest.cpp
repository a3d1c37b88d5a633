#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/LanguageSubscription.h"

namespace marlowen {
namespace {

struct TSubscriber {
    std::vector<std::string> Log;
    void Changed(TLanguages&, TLanguageNotify flag) {
        Log.push_back(flag == TLanguageNotify::Changed ? "changed" : "destroying");
    }
};

std::unique_ptr<TLanguages> TwoLanguages() {
    auto languages = std::make_unique<TLanguages>();
    languages->Add(std::make_unique<TLanguage>(u"eng", u"English"));
    languages->Add(std::make_unique<TLanguage>(u"rus", u"Русский"));
    return languages;
}

TEST(LanguageSubscription, ASubscriptionHearsUntilItGoesOrIsMovedFrom) {
    auto languages = TwoLanguages();
    TSubscriber subscriber;
    {
        auto first = TLanguageSubscription::To<&TSubscriber::Changed>(*languages, &subscriber);
        EXPECT_TRUE(first.Active());
        languages->SelectLanguage(u"rus");
        TLanguageSubscription moved(std::move(first));
        EXPECT_FALSE(first.Active());
        EXPECT_TRUE(moved.Active());
        EXPECT_EQ(languages->NotificationCount(), 1) << "the moved-from one no longer counts";
        languages->SelectLanguage(u"eng");
        TLanguageSubscription assigned;
        assigned = std::move(moved);
        languages->SelectLanguage(u"rus");
        EXPECT_EQ(languages->NotificationCount(), 1);
    }
    EXPECT_EQ(languages->NotificationCount(), 0);
    languages->SelectLanguage(u"eng");
    EXPECT_EQ(subscriber.Log, (std::vector<std::string>{"changed", "changed", "changed"}));
}

// A registry that goes first tells its subscribers and ends their subscriptions: a subscription
// that outlives it does not reach it any more (under ASan, ending it would be a use after free).
TEST(LanguageSubscription, ARegistryThatGoesFirstEndsItsSubscriptions) {
    auto languages = TwoLanguages();
    TSubscriber subscriber;
    auto subscription = TLanguageSubscription::To<&TSubscriber::Changed>(*languages, &subscriber);
    languages.reset();
    EXPECT_EQ(subscriber.Log, (std::vector<std::string>{"destroying"}));
    EXPECT_FALSE(subscription.Active());
    subscription.End();
    TLanguageSubscription moved(std::move(subscription));
    EXPECT_FALSE(moved.Active());
}

// A subscriber told the registry goes may free another subscriber: that one is not told later.
TEST(LanguageSubscription, ASubscriptionFreedWhileTheRegistryGoesIsNotCalled) {
    auto languages = TwoLanguages();
    struct TOwner {
        std::unique_ptr<TSubscriber> Other = std::make_unique<TSubscriber>();
        std::unique_ptr<TLanguageSubscription> OtherSubscription;
        void Changed(TLanguages&, TLanguageNotify) {
            OtherSubscription.reset();
            Other.reset();
        }
    } owner;
    auto first = TLanguageSubscription::To<&TOwner::Changed>(*languages, &owner);
    owner.OtherSubscription = std::make_unique<TLanguageSubscription>(
        TLanguageSubscription::To<&TSubscriber::Changed>(*languages, owner.Other.get()));
    languages.reset();
    EXPECT_EQ(owner.Other, nullptr);
}

}  // namespace
}  // namespace marlowen
