#include <gtest/gtest.h>

#include "CompressTestData.h"
#include "storage/MaxLZCompress.h"

namespace marlowen {
namespace {

using testing::TBytes;

int32_t Estimate(const TBytes& data) {
    return MaxLZCompress().Compress(data.data(), static_cast<int32_t>(data.size()), nullptr);
}

TEST(MaxLZCompressTest, CostsOfTheFixedCodes) {
    EXPECT_EQ(TMaxLZCompress::SymbolBits(0), 8);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(143), 8);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(144), 9);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(255), 9);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(256), 7);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(279), 7);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(280), 8);
    EXPECT_EQ(TMaxLZCompress::SymbolBits(287), 8);
    for (int32_t symbol : {-1, 288}) {
        try {
            TMaxLZCompress::SymbolBits(symbol);
            FAIL() << symbol;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Неверный код символа.");
        }
    }

    EXPECT_EQ(TMaxLZCompress::MatchBits(3, 1), 7 + 0 + 5 + 0);
    EXPECT_EQ(TMaxLZCompress::MatchBits(13, 5), 7 + 1 + 5 + 1);        // symbol 266, distance code 4
    EXPECT_EQ(TMaxLZCompress::MatchBits(99, 4096), 7 + 4 + 5 + 10);    // symbol 279, distance code 23
    EXPECT_EQ(TMaxLZCompress::MatchBits(260, 4097), 8 + 5 + 5 + 11);   // symbol 285, distance code 24
    EXPECT_EQ(TMaxLZCompress::MatchBits(4612, 98305), 8 + 12 + 5 + 32);  // symbol 287, distance code 31
}

TEST(MaxLZCompressTest, Estimates) {
    EXPECT_EQ(Estimate({}), 1);
    EXPECT_EQ(Estimate({'a'}), 2);
    // A literal, then one match of 99 bytes at distance 1: 8 + 16 bits.
    EXPECT_EQ(Estimate(TBytes(100, 'a')), 4);
    // No 3 bytes repeat in 0..255: 144 literals of 8 bits and 112 of 9.
    TBytes distinct(256);
    for (int i = 0; i < 256; ++i) distinct[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(Estimate(distinct), (144 * 8 + 112 * 9) / 8 + 1);
    // Three bytes left: no match is sought ("abc" twice, then "abc" as literals).
    EXPECT_EQ(Estimate(testing::Bytes("abcXabc")), 7 + 1);

    for (size_t size : {size_t{1000}, size_t{20000}}) {
        const TBytes random = testing::MakeData(testing::TDataKind::Random, size, 3);
        EXPECT_LE(Estimate(random), MaxLZCompress().MaxCompressedSize(static_cast<int32_t>(size)));
        EXPECT_LT(Estimate(testing::MakeData(testing::TDataKind::Text, size, 3)), static_cast<int32_t>(size) / 2);
    }
    EXPECT_EQ(MaxLZCompress().MaxCompressedSize(10), 20);
    EXPECT_THROW(MaxLZCompress().MaxCompressedSize(1 << 30), ECompressException);
    uint8_t byte = 1;
    MaxLZCompress().Decompress(&byte, 1, &byte, 1);
    EXPECT_EQ(byte, 1);
}

}  // namespace
}  // namespace marlowen
