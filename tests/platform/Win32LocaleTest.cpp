#include <gtest/gtest.h>

#include "core/Languages.h"
#include "platform/win32/Win32Locale.h"

namespace marlowen {
namespace {

// The real system answers with a signature; whichever it is, the built-in table follows the rule.
TEST(Win32Locale, SystemSignatureDecidesTheCurrentLanguage) {
    TWin32Locale locale;
    const TFontSignature signature = locale.SystemFontSignature();
    EXPECT_NE(signature.UnicodeSubsets[0] | signature.CodePages[0], 0u);
    const bool cyrillic = (signature.UnicodeSubsets[0] & (1u << 9)) && (signature.CodePages[0] & (1u << 2));
    EXPECT_EQ(TLanguages::CreateBuiltIn(locale.SupportsCyrillic())->CurrentLanguage()->Code(), cyrillic ? u"rus" : u"eng");
}

// Whatever the region, the decimal separator is a character and differs from the grouping one.
TEST(Win32Locale, NumberSeparatorsComeFromTheUserRegion) {
    TWin32Locale locale;
    EXPECT_NE(locale.DecimalSeparator(), 0);
    EXPECT_NE(locale.DecimalSeparator(), locale.ThousandSeparator());
}

}  // namespace
}  // namespace marlowen
