#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/IntegerHash.h"
#include "core/NameHash.h"
#include "core/StringHash.h"

namespace marlowen {
namespace {

TEST(StringHash, UpperTableFoldsAsciiLettersOnly) {
    EXPECT_EQ(UpperTable[0], 0);
    EXPECT_EQ(UpperTable['a'], 'A');
    EXPECT_EQ(UpperTable['z'], 'Z');
    EXPECT_EQ(UpperTable['A'], 'A');
    EXPECT_EQ(UpperTable['{'], '{');
    EXPECT_EQ(UpperTable[0xD0], 0xD0);  // UTF-8 lead byte of Cyrillic letters
    EXPECT_EQ(UpperTable[0xE0], 0xE0);
}

TEST(StringHash, TextHashIgnoresLetterCase) {
    EXPECT_EQ(TextHash("A", 19), 65 % 19);
    EXPECT_EQ(TextHash("a", 19), 8);
    EXPECT_EQ(TextHash("", 19), 0);
    EXPECT_EQ(TextHash("Button", 10007), TextHash("BUTTON", 10007));
    // h = ror4(ror4(0) ^ 'A') ^ 'B' = 0x10000004 ^ 0x42
    EXPECT_EQ(TextHash("ab", 1000000007), int32_t((0x10000004u ^ 0x42u) % 1000000007u));
    // Rotation carries low nibbles to the top: 0xFF, then 0xF00000F0, then 0x0F0000F0.
    EXPECT_EQ(TextHash(std::string(3, '\xFF'), 0x7FFFFFFF), int32_t(0x0F0000F0u % 0x7FFFFFFFu));
}

TEST(StringHash, BinaryHashReadsLittleEndianWordsThenTailBytes) {
    EXPECT_EQ(BinaryHash("", 11), 0);
    EXPECT_EQ(BinaryHash("abcd", 0x7FFFFFFF), int32_t(0x64636261u % 0x7FFFFFFFu));
    // After the word: h = ror8(h) ^ 'e'.
    const uint32_t word = 0x64636261u;
    const uint32_t expected = ((word >> 8) | (word << 24)) ^ 'e';
    EXPECT_EQ(BinaryHash("abcde", 0x7FFFFFFF), int32_t(expected % 0x7FFFFFFFu));
    // Two words: h = ror3(w1) ^ w2.
    const uint32_t w2 = 0x68676665u;
    EXPECT_EQ(BinaryHash("abcdefgh", 0x7FFFFFFF), int32_t((((word >> 3) | (word << 29)) ^ w2) % 0x7FFFFFFFu));
    EXPECT_NE(BinaryHash("Button", 10007), BinaryHash("BUTTON", 10007));
}

TEST(StringHash, Equality) {
    EXPECT_TRUE(TextEquals("Width", "wIDTH"));
    EXPECT_FALSE(TextEquals("Width", "Widths"));
    EXPECT_FALSE(TextEquals("x-y", "x_y"));
    EXPECT_FALSE(TextEquals("Ж", "ж"));  // Cyrillic does not fold
    EXPECT_TRUE(BinaryEquals("ab", "ab"));
    EXPECT_FALSE(BinaryEquals("ab", "AB"));
}

TEST(NameHash, BucketsFromSecondAndLastCharacterClasses) {
    EXPECT_EQ(NameHashBucket("Ab"), NameHashBucket("aB"));
    EXPECT_EQ(NameHashBucket("Ab"), 0 + 37 * 1);
    EXPECT_EQ(NameHashBucket("x-y"), 0 + 37 * 24);   // '-' is class 0
    EXPECT_EQ(NameHashBucket("x_y"), 36 + 37 * 24);  // '_' is class 36
    EXPECT_EQ(NameHashBucket("Path9"), 0 + 37 * 35);
    EXPECT_EQ(NameHashBucket("z"), 25 + 37 * 25);

    int a = 1, b = 2;
    TNameHash<int> hash;
    hash.Add("Ab", &a);
    EXPECT_EQ(hash.Find("aB"), &a);
    hash.Add("AB", &b);
    EXPECT_EQ(hash.Find("ab"), &b);  // newest first
    EXPECT_EQ(hash.Find("x_y"), nullptr);
    EXPECT_EQ(hash.Find(""), nullptr);
    EXPECT_THROW(hash.Add("", &a), Exception);
    hash.Clear();
    EXPECT_EQ(hash.Find("Ab"), nullptr);
}

TEST(IntegerHash, NewestOfEqualKeysIsFound) {
    int a = 1, b = 2, c = 3;
    TIntegerHash<int> hash(1007);
    hash.Add(65, &a);
    hash.Add(65 + 1007, &b);  // same bucket, other key
    EXPECT_EQ(hash.Find(65), &a);
    EXPECT_EQ(hash.Find(65 + 1007), &b);
    hash.Add(65, &c);
    EXPECT_EQ(hash.Find(65), &c);
    EXPECT_EQ(hash.Find(0xFFFFFFFFu), nullptr);
    hash.Clear();
    EXPECT_EQ(hash.Find(65), nullptr);
}

}  // namespace
}  // namespace marlowen
