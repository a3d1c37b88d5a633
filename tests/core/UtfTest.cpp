#include <gtest/gtest.h>

#include "core/Utf.h"

namespace marlowen {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string wide = u"Setup Установка 中文 \U0001F0A1 €";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(wide)), wide);
    EXPECT_EQ(Utf16ToUtf8(u"Да"), "Да");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F0A1"), "\xF0\x9F\x82\xA1");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xD0"), u"\uFFFD");              // truncated at the end
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");    // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82" "A"), u"\uFFFD\uFFFDA");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // unpaired
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'\xDC00', u'a'}), "\xEF\xBF\xBD" "a");
}

}  // namespace
}  // namespace marlowen
