#include <gtest/gtest.h>

#include "core/Exception.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "core/TaggedString.h"

namespace marlowen {
namespace {

const TLanguage kEnglish(u"eng", u"English");
const TLanguage kRussian(u"rus", u"Русский");

std::u16string For(const TLanguage& language, std::u16string_view text) {
    return TranslateFor(text, language).Text;
}

void ExpectFormatError(std::u16string_view text, const TLanguage& language) {
    try {
        TranslateFor(text, language);
        FAIL() << "no error";
    } catch (const EMultiLanguageException&) {
        FAIL() << "wrong class";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Неверный формат многоязычной строки.");
    }
}

// Makes a language current for one test and restores English afterwards.
class TaggedString : public ::testing::Test {
protected:
    void TearDown() override {
        Languages->SelectLanguage(u"eng");
        Languages->SetDefaultLanguage(Languages->FindByCode(u"eng"));
    }
};

TEST(TranslateFor, SectionsAndUntaggedTexts) {
    EXPECT_EQ(For(kEnglish, u"[eng]"), u"");
    EXPECT_TRUE(TranslateFor(u"[eng]", kEnglish).Found);
    EXPECT_EQ(For(kEnglish, u"Setup"), u"Setup");
    EXPECT_FALSE(TranslateFor(u"Setup", kEnglish).Found);
    EXPECT_FALSE(TranslateFor(u"", kEnglish).Found);
    EXPECT_EQ(For(kEnglish, u"[rus]А[eng]B"), u"B");
    EXPECT_EQ(For(kRussian, u"[rus]А[eng]B"), u"А");
    EXPECT_EQ(For(kEnglish, u"[eng]first[eng]second"), u"first");
    EXPECT_FALSE(TranslateFor(u"[en]x", kEnglish).Found);
    EXPECT_FALSE(TranslateFor(u"[ENG]x", kEnglish).Found);
    EXPECT_FALSE(TranslateFor(u"[english]x", kEnglish).Found);
}

TEST(TranslateFor, Escapes) {
    EXPECT_EQ(For(kEnglish, u"[eng]a#91;b#93;"), u"a[b]");
    EXPECT_EQ(For(kEnglish, u"[eng]#35;1"), u"#1");
    EXPECT_EQ(For(kEnglish, u"[eng]#65601;"), u"A");  // 65601 wraps to 65
    EXPECT_EQ(For(kEnglish, u"[eng]#;"), std::u16string(1, u'\0'));
    EXPECT_EQ(For(kEnglish, u"[rus]x#65[eng]y"), u"y");  // the bad escape is skipped unread
}

TEST(TranslateFor, EscapedTextComesOutAsItWentIn) {
    const std::u16string plain = u"disk #1 [full] 100%";
    EXPECT_EQ(EscapeTagged(plain), u"disk #35;1 #91;full] 100%");
    EXPECT_EQ(For(kEnglish, u"[rus]x[eng]" + EscapeTagged(plain)), plain);
}

TEST(TranslateFor, MalformedStrings) {
    ExpectFormatError(u"[eng]x#65", kEnglish);
    ExpectFormatError(u"[eng]x#", kEnglish);
    ExpectFormatError(u"[eng", kEnglish);
    ExpectFormatError(u"[", kEnglish);
    ExpectFormatError(u"[rus]x[eng", kEnglish);
    EXPECT_EQ(For(kRussian, u"[rus]x[eng"), u"x");
    ExpectFormatError(u"[ru", kEnglish);   // no "]" after a mismatching code
    ExpectFormatError(u"[xyz", kEnglish);
}

TEST_F(TaggedString, TranslateFallsBackToTheDefaultLanguage) {
    Languages->SelectLanguage(u"ger");
    EXPECT_EQ(Translate(u"[rus]А[eng]B"), u"B");
    EXPECT_EQ(Translate(u"Setup"), u"Setup");
    Languages->SetDefaultLanguage(nullptr);
    EXPECT_EQ(Translate(u"[rus]А[eng]B"), u"");
}

TEST_F(TaggedString, TranslateWithoutCurrentLanguageRaises) {
    TLanguages* saved = Languages;
    TLanguages empty;
    Languages = &empty;
    try {
        Translate(u"x");
        Languages = saved;
        FAIL();
    } catch (const Exception& e) {
        Languages = saved;
        EXPECT_STREQ(e.what(), "Не определён текущий язык.");
    }
}

TEST_F(TaggedString, FormatTagged) {
    EXPECT_EQ(FormatTagged(u"%s of %s", {u"x"}), u"x of ");
    EXPECT_EQ(FormatTagged(u"50%%", {}), u"50%");
    EXPECT_EQ(FormatTagged(u"a%db", {u"x"}), u"ab");
    EXPECT_EQ(FormatTagged(u"%S and %s", {u"1", u"2", u"3"}), u"1 and 2");
    EXPECT_EQ(FormatTagged(u"[rus]Ответ: %s[eng]Answer: %s", {u"[rus]да[eng]yes"}), u"Answer: yes");
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(FormatTagged(u"[rus]Ответ: %s[eng]Answer: %s", {u"[rus]да[eng]yes"}), u"Ответ: да");
    Languages->SelectLanguage(u"eng");
    try {
        FormatTagged(u"100%", {});
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Invalid format string.");
    }
    // The buffer grows past twice the template's length.
    const std::u16string big(1000, u'x');
    EXPECT_EQ(FormatTagged(u"%s%s%s", {big, big, big}).size(), 3000u);
}

TEST_F(TaggedString, ExceptionsResolveTheirTemplate) {
    const auto plain = EMultiLanguageException::Create(u"[rus]Ошибка[eng]Error");
    EXPECT_STREQ(plain.what(), "Error");
    EXPECT_EQ(plain.Template(), u"[rus]Ошибка[eng]Error");
    EXPECT_EQ(plain.Language(), Languages->FindByCode(u"eng"));
    EXPECT_TRUE(plain.Args().empty());

    Languages->SelectLanguage(u"rus");
    const auto formatted = EMultiLanguageException::CreateFmt(u"[rus]Нет %s[eng]No %s", {u"файла"});
    EXPECT_STREQ(formatted.what(), "Нет файла");
    EXPECT_EQ(formatted.Args(), std::vector<std::u16string>{u"файла"});
    EXPECT_EQ(formatted.Language(), Languages->FindByCode(u"rus"));
}

}  // namespace
}  // namespace marlowen
