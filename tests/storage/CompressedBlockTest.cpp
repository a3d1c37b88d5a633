#include <gtest/gtest.h>

#include "CompressTestData.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"
#include "storage/LZWBCompress.h"

namespace marlowen {
namespace {

using testing::Bytes;
using testing::TBytes;

TEST(CompressedBlockTest, Methods) {
    EXPECT_EQ(FindCompressMethod("lzrb"), TCompressMethod::LZRB);
    EXPECT_EQ(FindCompressMethod("LZRD"), TCompressMethod::LZRD);
    EXPECT_EQ(FindCompressMethod("LzWb"), TCompressMethod::LZWB);
    EXPECT_EQ(FindCompressMethod("lzr"), std::nullopt);
    EXPECT_EQ(FindCompressMethod("maxlz"), std::nullopt);
    try {
        GetCompressMethod("zip");
        FAIL() << "no exception";
    } catch (const ECompressException& e) {
        EXPECT_STREQ(e.what(), "Неизвестный метод сжатия \"zip\".");
    }
    EXPECT_STREQ(CompressMethodName(TCompressMethod::LZWB), "lzwb");
    EXPECT_EQ(&GetCompressAlgorithm(TCompressMethod::LZRB), &LZRBCompress());
    EXPECT_EQ(&GetCompressAlgorithm(TCompressMethod::LZWB), &LZWBCompress());
}

TEST(CompressedBlockTest, Layout) {
    EXPECT_EQ(CompressBlock(TCompressMethod::LZRB, Bytes("abcabcabc")),
              (TBytes{9, 0, 0, 0, 0x07, 'a', 'b', 'c', 0x02, 0x30}));
    EXPECT_EQ(CompressBlock(TCompressMethod::LZWB, Bytes("ABABABA")), (TBytes{7, 0, 0, 0, 65, 66, 240, 16, 240, 18}));
    EXPECT_EQ(CompressBlock(TCompressMethod::LZRD, TBytes{}), (TBytes{0, 0, 0, 0}));
    const TBytes big(70000, 'z');
    const TBytes block = CompressBlock(TCompressMethod::LZRB, big);
    EXPECT_EQ(TBytes(block.begin(), block.begin() + 4), (TBytes{0x70, 0x11, 0x01, 0x00}));

    EXPECT_EQ(DecompressBlock(TCompressMethod::LZRB, TBytes{}), TBytes{});
    EXPECT_EQ(DecompressBlock(TCompressMethod::LZRB, TBytes{0, 0, 0, 0}), TBytes{});
    EXPECT_EQ(DecompressBlock(TCompressMethod::LZRB, TBytes{2, 0, 0, 0, 0x03, 'x', 'y', 0xAA}), Bytes("xy"));
}

TEST(CompressedBlockTest, RoundTrips) {
    for (TCompressMethod method : {TCompressMethod::LZRB, TCompressMethod::LZRD, TCompressMethod::LZWB}) {
        for (size_t size : {size_t{0}, size_t{1}, size_t{100}, size_t{5000}}) {
            const TBytes data = testing::MakeData(testing::TDataKind::Text, size, 9);
            EXPECT_EQ(DecompressBlock(method, CompressBlock(method, data)), data) << CompressMethodName(method);
        }
    }
}

// A hostile header must not make the reader allocate what the block cannot hold.
TEST(CompressedBlockTest, HostileHeadersRaise) {
    const TCompressAlgorithm& lzrb = LZRBCompress();
    for (const TBytes& block : {TBytes{1}, TBytes{1, 0, 0}, TBytes{0xFF, 0xFF, 0xFF, 0xFF, 0x01, 'a'},
                                TBytes{0xFF, 0xFF, 0xFF, 0x7F, 0x01, 'a'}, TBytes{1, 0, 0, 0},
                                TBytes{19, 0, 0, 0, 0x00, 0x00}}) {
        EXPECT_THROW(DecompressBlock(TCompressMethod::LZRB, block), ECompressException);
    }
    // 9 bytes per block byte is the most LZRB can give; LZWB can give far more.
    const TBytes header{18, 0, 0, 0, 0x00, 0x00};
    EXPECT_EQ(BlockUncompressedSize(lzrb, header.data(), 6), 18);
    const TBytes claim{0x40, 0x1F, 0x00, 0x00, 1, 2, 3, 4};  // 8000 from 4 bytes
    EXPECT_THROW(BlockUncompressedSize(lzrb, claim.data(), 8), ECompressException);
    EXPECT_EQ(BlockUncompressedSize(LZWBCompress(), claim.data(), 8), 8000);
    const TBytes tooMuch{0x00, 0x00, 0x01, 0x00, 1, 2, 3, 4};  // 65536 from 4 bytes
    EXPECT_THROW(BlockUncompressedSize(LZWBCompress(), tooMuch.data(), 8), ECompressException);
    EXPECT_THROW(DecompressBlock(TCompressMethod::LZWB, claim), ECompressException);
}

}  // namespace
}  // namespace marlowen
