#include <gtest/gtest.h>

#include <cstdint>

#include "core/FixedPoint.h"

namespace marlowen {
namespace {

TEST(FixedPoint, FormattingGroupsTheIntegerPartAndPadsTheDecimals) {
    EXPECT_EQ(FormatFixedPoint(123456789, 100, u' ', u'.'), u"1 234 567.89");
    EXPECT_EQ(FormatFixedPoint(5, 100, u' ', u'.'), u"0.05");
    EXPECT_EQ(FormatFixedPoint(0, 100, 0, u','), u"0,00");
    EXPECT_EQ(FormatFixedPoint(100000, 1000, u'.', u','), u"100,000");
    EXPECT_EQ(FormatFixedPoint(1234567, 1, u',', u'.'), u"1,234,567");
    EXPECT_EQ(FormatFixedPoint(123456, 1, 0, u'.'), u"123456");
    EXPECT_EQ(FormatFixedPoint(-123456, 10, u' ', u'.'), u"-12 345.6");
    EXPECT_EQ(FormatFixedPoint(INT64_MIN, 1, 0, u'.'), u"-9223372036854775808");
    EXPECT_EQ(FixedPointDecimals(1000), 3);
    EXPECT_EQ(FixedPointDecimals(1), 0);
    EXPECT_TRUE(IsFixedPointFactor(1));
    EXPECT_TRUE(IsFixedPointFactor(1000000000));
    EXPECT_FALSE(IsFixedPointFactor(0));
    EXPECT_FALSE(IsFixedPointFactor(-10));
    EXPECT_FALSE(IsFixedPointFactor(250));
}

TEST(FixedPoint, EntriesWithMoreDecimalsThanTheFactorAllowsAreWrong) {
    EXPECT_EQ(ParseFixedPoint(u"12,345", 100, u' ', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"12.345", 100, u' ', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"12,34", 100, u' ', u'.'), 1234);
    EXPECT_EQ(ParseFixedPoint(u"12.340", 100, u' ', u'.'), 1234);  // a trailing zero is no decimal
    EXPECT_EQ(ParseFixedPoint(u"12.3", 100, u' ', u'.'), 1230);
    EXPECT_EQ(ParseFixedPoint(u".5", 100, u' ', u'.'), 50);
    EXPECT_EQ(ParseFixedPoint(u"7.", 100, u' ', u'.'), 700);
    EXPECT_EQ(ParseFixedPoint(u"1.5e1", 1, u' ', u'.'), std::nullopt);  // factor 1: no separator at all
    EXPECT_EQ(ParseFixedPoint(u"15", 1, u' ', u'.'), 15);
    EXPECT_EQ(ParseFixedPoint(u"1,5", 1, 0, u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"1.25e1", 10, 0, u'.'), 125);
    EXPECT_EQ(ParseFixedPoint(u"125e-3", 100, 0, u'.'), std::nullopt);
}

TEST(FixedPoint, EmptyNegativeAndUnreadableEntriesAreWrong) {
    for (const std::u16string_view text : {u"", u"  ", u"-1", u"-0.01", u"1.2.3", u"12a", u"e5", u"1e", u".", u"+"}) {
        EXPECT_EQ(ParseFixedPoint(text, 100, 0, u'.'), std::nullopt) << std::string(text.begin(), text.end());
    }
    EXPECT_EQ(ParseFixedPoint(u"-0", 100, 0, u'.'), 0);
    EXPECT_EQ(ParseFixedPoint(u" +3 ", 100, 0, u'.'), 300);
}

TEST(FixedPoint, HugeEntriesAreHeldBelowTheSixtyFourBitLimit) {
    const int64_t limit = INT64_MAX - 100;
    EXPECT_EQ(ParseFixedPoint(u"99999999999999999999", 100, 0, u'.'), limit);
    EXPECT_EQ(ParseFixedPoint(u"1e999999999999", 100, 0, u'.'), limit);
    EXPECT_EQ(ParseFixedPoint(u"92233720368547757.08", 100, 0, u'.'), limit);
    EXPECT_EQ(ParseFixedPoint(u"92233720368547757.07", 100, 0, u'.'), limit);
    EXPECT_EQ(ParseFixedPoint(u"92233720368547757.06", 100, 0, u'.'), limit - 1);
    EXPECT_EQ(ParseFixedPoint(u"1e-999999999999", 100, 0, u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"0e-99", 100, 0, u'.'), 0);
}

// Grouping goes before the decimal separator is mapped, so the edit's own text reads back
// whatever the separators are.
TEST(FixedPoint, FormattedTextReadsBackWithAnySeparators) {
    const struct {
        char16_t Thousand;
        char16_t Decimal;
    } separators[] = {{u',', u'.'}, {u'.', u','}, {u' ', u','}, {0, u'.'}, {0x00A0, u','}, {u'\'', u'.'}};
    for (const auto& s : separators) {
        for (const int64_t factor : {1, 10, 100, 1000}) {
            for (const int64_t value : {int64_t{0}, int64_t{5}, int64_t{1234}, int64_t{123456789},
                                        INT64_MAX - factor}) {
                const std::u16string text = FormatFixedPoint(value, factor, s.Thousand, s.Decimal);
                EXPECT_EQ(ParseFixedPoint(text, factor, s.Thousand, s.Decimal), value)
                    << std::string(text.begin(), text.end()) << " factor " << factor;
            }
        }
    }
    EXPECT_EQ(ParseFixedPoint(u"1,234.56", 100, u',', u'.'), 123456);
    EXPECT_EQ(ParseFixedPoint(u"1.234,56", 100, u'.', u','), 123456);
    EXPECT_EQ(ParseFixedPoint(u"1.234.567", 1, u'.', u','), 1234567);
    EXPECT_EQ(ParseFixedPoint(u"1,234,567.8", 10, u',', u'.'), 12345678);
}

// A thousand separator that is "," or "." groups only digits by three before the decimal part;
// anywhere else it is the decimal mark the person typed.
TEST(FixedPoint, ACommaOrFullStopGroupsOnlyThreesBeforeTheDecimals) {
    EXPECT_EQ(ParseFixedPoint(u"12,34", 100, u',', u'.'), 1234);
    EXPECT_EQ(ParseFixedPoint(u"12.34", 100, u'.', u','), 1234);
    EXPECT_EQ(ParseFixedPoint(u" 1,234. ", 100, u',', u'.'), 123400);
    EXPECT_EQ(ParseFixedPoint(u"12,345", 100, u',', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"1.234", 100, u'.', u','), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"12,34.5", 100, u',', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"1234,567.5", 100, u',', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u",234.5", 100, u',', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"1,234.5,6", 100, u',', u'.'), std::nullopt);  // none after the decimals
    EXPECT_EQ(ParseFixedPoint(u"12,345", 1, u',', u'.'), 12345);
    EXPECT_EQ(ParseFixedPoint(u"12,34", 1, u',', u'.'), std::nullopt);
    EXPECT_EQ(ParseFixedPoint(u"1 23 4,5", 100, u' ', u','), 123450);  // a space groups anywhere
    // A "," the grouping does not claim still stands for the decimal separator.
    EXPECT_EQ(ParseFixedPoint(u"1 234,5", 100, u' ', u'.'), 123450);
    // Equal separators: the decimal one wins.
    EXPECT_EQ(ParseFixedPoint(u"12.5", 10, u'.', u'.'), 125);
}

}  // namespace
}  // namespace marlowen
