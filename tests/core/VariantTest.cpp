#include <gtest/gtest.h>

#include "core/Variant.h"

namespace marlowen {
namespace {

TEST(Variant, NumbersAndTexts) {
    EXPECT_EQ(TVariant(5).ToString(), "5");
    EXPECT_EQ(TVariant(int64_t{-9000000000}).ToString(), "-9000000000");
    EXPECT_EQ(TVariant("42").ToInteger(), 42);
    EXPECT_EQ(TVariant(u" -7 ").ToInteger(), -7);
    EXPECT_EQ(TVariant("0x10").ToInteger(), 16);
    EXPECT_EQ(TVariant("$FF").ToInteger(), 255);
    EXPECT_EQ(TVariant(2.5).ToInteger(), 2);  // to nearest, ties to even
    EXPECT_EQ(TVariant("3.5").ToInteger(), 4);
    EXPECT_EQ(TVariant(0.25).ToString(), "0.25");
    EXPECT_DOUBLE_EQ(TVariant("1e3").ToDouble(), 1000.0);
    EXPECT_EQ(TVariant(u"Привет").ToString(), "Привет");
    EXPECT_EQ(TVariant("Привет").ToWideString(), u"Привет");
}

TEST(Variant, ThirtyTwoBitPatternsWrapForColours) {
    EXPECT_EQ(TVariant("0xFF000000").ToInteger(), static_cast<int32_t>(0xFF000000u));
    EXPECT_EQ(TVariant(int64_t{0xFFFFFFFF}).ToInteger(), -1);
    EXPECT_THROW(TVariant(int64_t{0x100000000}).ToInteger(), EVariantError);
    EXPECT_THROW(TVariant("99999999999").ToInteger(), EVariantError);
    // Only bit patterns wrap: a decimal number beyond the signed range is an error, not a
    // negative number.
    EXPECT_EQ(TVariant(" $FFFFFFFF").ToInteger(), -1);
    EXPECT_EQ(TVariant("2147483647").ToInteger(), INT32_MAX);
    EXPECT_EQ(TVariant(u"-2147483648").ToInteger(), INT32_MIN);
    EXPECT_THROW(TVariant("3000000000").ToInteger(), EVariantError);
    EXPECT_THROW(TVariant(u"2147483648").ToInteger(), EVariantError);
    EXPECT_THROW(TVariant(3.0e9).ToInteger(), EVariantError);
    EXPECT_EQ(TVariant("3000000000").ToInt64(), 3000000000);
    EXPECT_THROW(TVariant("99999999999999999999").ToInt64(), EVariantError);
}

TEST(Variant, Booleans) {
    EXPECT_TRUE(TVariant("TRUE").ToBoolean());
    EXPECT_FALSE(TVariant(u"false").ToBoolean());
    EXPECT_TRUE(TVariant(7).ToBoolean());
    EXPECT_FALSE(TVariant().ToBoolean());
    EXPECT_EQ(TVariant(true).ToString(), "True");
    EXPECT_EQ(TVariant(true).ToInteger(), -1);
    EXPECT_THROW(TVariant("maybe").ToBoolean(), EVariantError);
}

TEST(Variant, EmptyNullAndDates) {
    EXPECT_EQ(TVariant().ToString(), "");
    EXPECT_EQ(TVariant().ToInteger(), 0);
    EXPECT_EQ(TVariant::Null().ToString(), "");
    EXPECT_THROW(TVariant::Null().ToInteger(), EVariantError);
    EXPECT_THROW(TVariant("abc").ToInteger(), EVariantError);
    EXPECT_THROW(TVariant("").ToInteger(), EVariantError);
    try {
        TVariant("abc").ToDouble();
        FAIL();
    } catch (const EVariantError& e) {
        EXPECT_STREQ(e.what(), "Невозможно преобразовать вариант типа (String) в тип (Double).");
    }
    EXPECT_EQ(TVariant(TDateTime{0}).ToString(), "1899-12-30");
    EXPECT_EQ(TVariant(TDateTime{45000.5}).ToString(), "2023-03-15 12:00:00");
    EXPECT_EQ(TVariant(TDateTime{-1.25}).ToString(), "1899-12-29 06:00:00");
    EXPECT_NE(TVariant(1), TVariant(int64_t{1}));  // equality includes the type
    EXPECT_EQ(TVariant("x"), TVariant(std::string("x")));
}

}  // namespace
}  // namespace marlowen
