#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "platform/headless/HeadlessLocale.h"

namespace marlowen {
namespace {

// Records every call in one shared log, as "<name>:<flag>".
struct TListener {
    TListener(std::string name, std::vector<std::string>* log) : Name(std::move(name)), Log(log) {}
    void Changed(TLanguages&, TLanguageNotify flag) { Log->push_back(Name + ":" + std::to_string(int(flag))); }
    std::string Name;
    std::vector<std::string>* Log;
};

TEST(Languages, BuiltInTableAndTheDefaultRule) {
    auto latin = TLanguages::CreateBuiltIn(false);
    ASSERT_EQ(latin->Count(), 8);
    EXPECT_EQ(latin->Items(0)->Code(), u"rus");
    EXPECT_EQ(latin->Items(6)->Name(), u"Олбанскей");
    EXPECT_EQ(latin->Items(7)->Code(), u"chi");
    EXPECT_EQ(latin->CurrentLanguage()->Code(), u"eng");
    EXPECT_EQ(latin->DefaultLanguage()->Code(), u"eng");

    auto cyrillic = TLanguages::CreateBuiltIn(true);
    EXPECT_EQ(cyrillic->CurrentLanguage()->Code(), u"rus");
    EXPECT_EQ(cyrillic->DefaultLanguage()->Code(), u"eng");
}

TEST(Languages, ALocaleSupportsCyrillicOnlyWithLettersAndCodePage) {
    THeadlessLocale locale;
    EXPECT_FALSE(locale.SupportsCyrillic());
    locale.SetSignature(THeadlessLocale::CyrillicSignature());
    EXPECT_TRUE(locale.SupportsCyrillic());

    // Both bits are needed: Cyrillic letters without code page 1251 do not count.
    TFontSignature lettersOnly = THeadlessLocale::CyrillicSignature();
    lettersOnly.CodePages[0] = 0;
    locale.SetSignature(lettersOnly);
    EXPECT_FALSE(locale.SupportsCyrillic());
}

TEST(Languages, FirstAddedBecomesCurrentAndCodesMatchExactly) {
    TLanguages languages;
    EXPECT_EQ(languages.CurrentLanguage(), nullptr);
    TLanguage* first = languages.Add(std::make_unique<TLanguage>(u"eng", u"English"));
    languages.Add(std::make_unique<TLanguage>(u"ENG", u"Shouting"));
    TLanguage* duplicate = languages.Add(std::make_unique<TLanguage>(u"eng", u"Again"));
    EXPECT_EQ(languages.CurrentLanguage(), first);
    EXPECT_EQ(languages.FindByCode(u"eng"), first);
    EXPECT_NE(languages.FindByCode(u"eng"), duplicate);
    EXPECT_EQ(languages.FindByCode(u"en"), nullptr);
    try {
        languages.SelectLanguage(u"xxx");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Language not found.");  // resolved by the process-wide registry
    }
    EXPECT_EQ(languages.CurrentLanguage(), first);
}

TEST(Languages, NotificationsInRegistrationOrder) {
    std::vector<std::string> log;
    TListener a("a", &log), b("b", &log);
    {
        auto languages = TLanguages::CreateBuiltIn(false);
        languages->RegisterNotification<&TListener::Changed>(&a);
        languages->RegisterNotification<&TListener::Changed>(&b);
        languages->SelectLanguage(u"ger");
        languages->SelectLanguage(u"ger");  // the same again: nothing
        languages->SetDefaultLanguage(languages->FindByCode(u"fra"));
        languages->SetDefaultLanguage(languages->FindByCode(u"fra"));
        EXPECT_EQ(log, (std::vector<std::string>{"a:0", "b:0", "a:0", "b:0"}));
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:1"}));
}

TEST(Languages, RegistrationIsByCallbackAndTargetPair) {
    std::vector<std::string> log;
    TListener a("a", &log), b("b", &log);
    TLanguages languages;
    languages.Add(std::make_unique<TLanguage>(u"eng", u"English"));
    languages.Add(std::make_unique<TLanguage>(u"rus", u"Русский"));
    languages.RegisterNotification<&TListener::Changed>(&a);
    try {
        languages.RegisterNotification<&TListener::Changed>(&a);
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Notification already registered.");
    }
    EXPECT_EQ(languages.NotificationCount(), 1);

    languages.UnregisterNotification<&TListener::Changed>(&b);  // never registered: ignored
    languages.UnregisterNotification<&TListener::Changed>(&a);
    languages.SelectLanguage(u"rus");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(languages.NotificationCount(), 0);
}

TEST(Languages, SubscribersMayUnsubscribeOthersWhileBeingTold) {
    struct TGreedy {
        TListener* Victim;
        std::vector<std::string>* Log;
        void Changed(TLanguages& sender, TLanguageNotify) {
            Log->push_back("greedy");
            sender.UnregisterNotification<&TListener::Changed>(Victim);
        }
    };
    std::vector<std::string> log;
    TListener victim("victim", &log);
    TGreedy greedy{&victim, &log};
    TLanguages languages;
    languages.Add(std::make_unique<TLanguage>(u"eng", u"English"));
    languages.Add(std::make_unique<TLanguage>(u"rus", u"Русский"));
    languages.RegisterNotification<&TGreedy::Changed>(&greedy);
    languages.RegisterNotification<&TListener::Changed>(&victim);
    languages.SelectLanguage(u"rus");
    EXPECT_EQ(log, (std::vector<std::string>{"greedy"}));
}

TEST(Languages, UnregisteringFromAnAbsentRegistryDoesNothing) {
    TLanguages* saved = Languages;
    Languages = nullptr;
    UnregisterLanguageNotification([](void*, TLanguages&, TLanguageNotify) {}, nullptr);
    Languages = saved;
}

}  // namespace
}  // namespace marlowen
