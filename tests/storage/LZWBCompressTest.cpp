#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "CompressTestData.h"
#include "storage/LZWBCompress.h"

namespace marlowen {
namespace {

using testing::Bytes;
using testing::Compress;
using testing::Decompress;
using testing::TBytes;

struct TReference {
    std::vector<uint32_t> Codes;
    int Resets = 0;
};

// Plain LZW over a map of strings, with the reset after code 4335 has been given out.
TReference ReferenceCodes(const TBytes& in) {
    TReference result;
    if (in.empty()) return result;
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> dictionary;
    uint32_t next = 256;
    uint32_t current = in[0];
    for (size_t i = 1; i < in.size(); ++i) {
        const auto found = dictionary.find({current, in[i]});
        if (found != dictionary.end()) {
            current = found->second;
            continue;
        }
        result.Codes.push_back(current);
        if (next - 1 == 4335) {
            dictionary.clear();
            next = 256;
            ++result.Resets;
        } else {
            dictionary[{current, in[i]}] = next++;
        }
        current = in[i];
    }
    result.Codes.push_back(current);
    return result;
}

TBytes CodeBytes(const std::vector<uint32_t>& codes) {
    TBytes out;
    for (uint32_t code : codes) {
        if (code < 240) {
            out.push_back(static_cast<uint8_t>(code));
        } else {
            out.push_back(static_cast<uint8_t>(240 + ((code - 240) >> 8)));
            out.push_back(static_cast<uint8_t>(code - 240));
        }
    }
    return out;
}

TEST(LZWBCompressTest, KnownBlocks) {
    const TCompressAlgorithm& lzwb = LZWBCompress();
    EXPECT_EQ(Compress(lzwb, Bytes("ABABABA")), (TBytes{65, 66, 240, 16, 240, 18}));
    EXPECT_EQ(Decompress(lzwb, {65, 66, 240, 16, 240, 18}, 7), Bytes("ABABABA"));
    EXPECT_EQ(Compress(lzwb, {}), TBytes{});
    EXPECT_EQ(Decompress(lzwb, {}, 0), TBytes{});
    EXPECT_EQ(Compress(lzwb, {0xF5}), (TBytes{240, 5}));
    EXPECT_EQ(Compress(lzwb, TBytes(6, 'x')), (TBytes{'x', 240, 16, 240, 17}));  // x, xx, xxx
    // The highest code has the two-byte form 255, 255.
    EXPECT_EQ(CodeBytes({4335}), (TBytes{255, 255}));
}

// Long inputs fill the dictionary several times; the encoder must agree with the plain one on
// every code, including those after each reset, and the decoder must follow.
TEST(LZWBCompressTest, MatchesReferenceAcrossResets) {
    const TCompressAlgorithm& lzwb = LZWBCompress();
    int resets = 0;
    uint32_t seed = 100;
    for (testing::TDataKind kind : testing::kAllKinds) {
        for (size_t size : testing::kSizes) {
            const TBytes data = testing::MakeData(kind, size, seed++);
            const TReference reference = ReferenceCodes(data);
            resets += reference.Resets;
            const TBytes block = Compress(lzwb, data);
            ASSERT_EQ(block, CodeBytes(reference.Codes)) << "kind " << static_cast<int>(kind) << ", size " << size;
            ASSERT_LE(block.size(), size_t(lzwb.MaxCompressedSize(static_cast<int32_t>(size))));
            ASSERT_EQ(Decompress(lzwb, block, size), data);
        }
    }
    EXPECT_GE(resets, 10);
}

// A run of one byte value makes the strings a, aa, aaa, ...: code k - 2 + 256 holds k bytes, and
// each new code is written first as the next undefined one. The 4081st string takes the last code,
// 4335; writing it resets the dictionary, so the codes that follow are a single byte, then 256.
TEST(LZWBCompressTest, RestartsCodesAfterTheLastOne) {
    const size_t full = 4081 * 4082 / 2;
    const TBytes data(full + 3, 'a');
    const TReference reference = ReferenceCodes(data);
    ASSERT_EQ(reference.Resets, 1);
    ASSERT_EQ(reference.Codes.size(), 4083u);
    EXPECT_EQ(reference.Codes[4079], 4334u);
    EXPECT_EQ(reference.Codes[4080], 4335u);
    EXPECT_EQ(reference.Codes[4081], uint32_t{'a'});
    EXPECT_EQ(reference.Codes[4082], 256u);
    const TBytes block = Compress(LZWBCompress(), data);
    EXPECT_EQ(block, CodeBytes(reference.Codes));
    const TBytes tail{255, 255, 'a', 240, 16};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), block.end() - 5));
    EXPECT_EQ(Decompress(LZWBCompress(), block, data.size()), data);
}

TEST(LZWBCompressTest, HostileBlocksRaise) {
    const TCompressAlgorithm& lzwb = LZWBCompress();
    EXPECT_THROW(Decompress(lzwb, {240, 16}, 2), ECompressException);       // no previous string
    EXPECT_THROW(Decompress(lzwb, {'a', 240, 17}, 3), ECompressException);  // beyond the next code
    EXPECT_THROW(Decompress(lzwb, {'a', 255}, 3), ECompressException);      // half a code
    EXPECT_THROW(Decompress(lzwb, {'a'}, 2), ECompressException);           // cut short
    EXPECT_THROW(Decompress(lzwb, {}, 1), ECompressException);
    EXPECT_THROW(Decompress(lzwb, {'a', 'b', 240, 16}, 3), ECompressException);  // "ab" into one byte
    EXPECT_THROW(Decompress(lzwb, {'a', 240, 16}, 2), ECompressException);       // "aa" into one byte
    EXPECT_EQ(Decompress(lzwb, {'a', 'b', 'c'}, 2), Bytes("ab"));                // the rest is ignored
    EXPECT_THROW(lzwb.Decompress(nullptr, 0, nullptr, -1), ECompressException);
}

}  // namespace
}  // namespace marlowen
