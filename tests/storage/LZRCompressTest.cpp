#include <gtest/gtest.h>

#include <algorithm>

#include "CompressTestData.h"
#include "storage/LZRBCompress.h"
#include "storage/LZRDCompress.h"

namespace marlowen {
namespace {

using testing::Bytes;
using testing::Compress;
using testing::Decompress;
using testing::TBytes;

// The encoder exactly as its format was first written: a head table indexed by
// b0 + 256 × ((b1 + b2) mod 256) and a ring of 4096 chain nodes, the oldest node cut from its chain
// when reused; greedy matches, the older of equal lengths, the walk ending at 18 bytes. Slow and
// plain, it is the yardstick for the fast encoder's bytes.
TBytes ReferenceEncode(const TBytes& in, int flagBytes) {
    struct TNode {
        int32_t Position, Newer, Older, Index;
    };
    const auto n = static_cast<int32_t>(in.size());
    std::vector<int32_t> head(65536, -1);
    std::vector<TNode> ring(4096);
    int32_t nextNode = 0;
    int32_t usedNodes = 0;
    auto insert = [&](int32_t p) {
        const int32_t k = nextNode;
        nextNode = (nextNode + 1) % 4096;
        if (usedNodes == 4096) {
            TNode& old = ring[k];
            if (old.Newer >= 0) {
                ring[old.Newer].Older = -1;
            } else {
                head[old.Index] = -1;
            }
        } else {
            ++usedNodes;
        }
        const int32_t index = in[p] + 256 * ((in[p + 1] + in[p + 2]) % 256);
        ring[k] = TNode{p, -1, head[index], index};
        if (head[index] >= 0) ring[head[index]].Newer = k;
        head[index] = k;
    };

    TBytes out;
    size_t flagAt = 0;
    int usedBits = 8 * flagBytes;
    auto item = [&](bool literal) {
        if (usedBits == 8 * flagBytes) {
            flagAt = out.size();
            out.insert(out.end(), static_cast<size_t>(flagBytes), 0);
            usedBits = 0;
        }
        if (literal) out[flagAt + usedBits / 8] |= static_cast<uint8_t>(1 << (usedBits % 8));
        ++usedBits;
    };

    int32_t pos = 0;
    while (n - pos >= 3) {
        int32_t best = 2;
        int32_t bestPos = 0;
        const int32_t index = in[pos] + 256 * ((in[pos + 1] + in[pos + 2]) % 256);
        for (int32_t k = head[index]; k >= 0; k = ring[k].Older) {
            const int32_t p = ring[k].Position;
            if (in[p + 1] != in[pos + 1] || in[p + 2] != in[pos + 2]) continue;
            const int32_t limit = std::min(n - pos, 18);
            int32_t length = 3;
            while (length < limit && in[p + length] == in[pos + length]) ++length;
            if (length >= best) {
                best = length;
                bestPos = p;
            }
            if (best == 18) break;
        }
        if (best == 2) {
            item(true);
            out.push_back(in[pos]);
            insert(pos);
            ++pos;
        } else {
            item(false);
            const int32_t w = (pos - bestPos - 1) + ((best - 3) << 12);
            out.push_back(static_cast<uint8_t>(w));
            out.push_back(static_cast<uint8_t>(w >> 8));
            if (pos + best < n) {
                for (int32_t p = pos; p < pos + best; ++p) {
                    if (p + 3 <= n) insert(p);
                }
                pos += best;
            } else {
                pos += best;
                break;
            }
        }
    }
    while (pos < n) {
        item(true);
        out.push_back(in[pos++]);
    }
    return out;
}

TEST(LZRBCompressTest, KnownBlocks) {
    const TCompressAlgorithm& lzrb = LZRBCompress();
    EXPECT_EQ(Compress(lzrb, {}), TBytes{});
    EXPECT_EQ(Compress(lzrb, {0xAB}), (TBytes{0x01, 0xAB}));
    EXPECT_EQ(Compress(lzrb, Bytes("abcabcabc")), (TBytes{0x07, 'a', 'b', 'c', 0x02, 0x30}));
    // The oldest of equal candidates: the last 3 bytes copy from the very first.
    EXPECT_EQ(Compress(lzrb, TBytes(40, 'a')), (TBytes{0x01, 'a', 0x00, 0xF0, 0x00, 0xF0, 0x24, 0x00}));
    // Nine literals open a second group.
    EXPECT_EQ(Compress(lzrb, Bytes("abcdefghi")), (TBytes{0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x01, 'i'}));

    EXPECT_EQ(Decompress(lzrb, {0x07, 'a', 'b', 'c', 0x02, 0x30}, 9), Bytes("abcabcabc"));
    EXPECT_EQ(Decompress(lzrb, {0x01, 'a', 0x00, 0xF0, 0x00, 0xF0, 0x24, 0x00}, 40), TBytes(40, 'a'));
    // Decoding stops when the output is full; what follows is ignored.
    EXPECT_EQ(Decompress(lzrb, {0x03, 'x', 'y', 0xEE, 0xEE}, 2), Bytes("xy"));
    EXPECT_EQ(Decompress(lzrb, {}, 0), TBytes{});
}

TEST(LZRDCompressTest, KnownBlocks) {
    const TCompressAlgorithm& lzrd = LZRDCompress();
    EXPECT_EQ(Compress(lzrd, {}), TBytes{});
    EXPECT_EQ(Compress(lzrd, {0xAB}), (TBytes{0x01, 0x00, 0x00, 0x00, 0xAB}));
    EXPECT_EQ(Compress(lzrd, Bytes("abcabcabc")), (TBytes{0x07, 0, 0, 0, 'a', 'b', 'c', 0x02, 0x30}));
    EXPECT_EQ(Decompress(lzrd, {0x07, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 0x02, 0x30}, 9), Bytes("abcabcabc"));

    // 33 literals: a full word of ones, then a word with bit 0 only.
    TBytes data(33);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    TBytes expected{0xFF, 0xFF, 0xFF, 0xFF};
    expected.insert(expected.end(), data.begin(), data.end() - 1);
    expected.insert(expected.end(), {0x01, 0, 0, 0, data.back()});
    EXPECT_EQ(Compress(lzrd, data), expected);
}

// The fast encoder must give the reference's bytes on every kind of data and around every
// boundary, and both decoders must give the data back.
TEST(LZRCompressTest, MatchesReferenceAndRoundTrips) {
    struct TMethod {
        const TCompressAlgorithm& Algorithm;
        int FlagBytes;
    };
    const TMethod methods[] = {{LZRBCompress(), 1}, {LZRDCompress(), 4}};
    uint32_t seed = 1;
    for (const TMethod& method : methods) {
        for (testing::TDataKind kind : testing::kAllKinds) {
            for (size_t size : testing::kSizes) {
                const TBytes data = testing::MakeData(kind, size, seed++);
                const TBytes block = Compress(method.Algorithm, data);
                ASSERT_EQ(block, ReferenceEncode(data, method.FlagBytes))
                    << "flag bytes " << method.FlagBytes << ", kind " << static_cast<int>(kind) << ", size " << size;
                ASSERT_EQ(Decompress(method.Algorithm, block, size), data);
            }
        }
    }
}

TEST(LZRCompressTest, BoundHoldsForIncompressibleInput) {
    for (size_t size : testing::kSizes) {
        const TBytes data = testing::MakeData(testing::TDataKind::Random, size, 77);
        const auto n = static_cast<int32_t>(size);
        EXPECT_LE(Compress(LZRBCompress(), data).size(), size_t(LZRBCompress().MaxCompressedSize(n)));
        EXPECT_LE(Compress(LZRDCompress(), data).size(), size_t(LZRDCompress().MaxCompressedSize(n)));
    }
    // Bytes 0 to 255 repeat no 3 bytes: all literals, exactly the bound.
    TBytes distinct(256);
    for (int i = 0; i < 256; ++i) distinct[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(Compress(LZRBCompress(), distinct).size(), 256u + 32u);
    EXPECT_EQ(LZRBCompress().MaxCompressedSize(256), 288);
    EXPECT_EQ(Compress(LZRDCompress(), distinct).size(), 256u + 32u);
    EXPECT_EQ(LZRDCompress().MaxCompressedSize(257), 257 + 36);
}

TEST(LZRCompressTest, SizesOutsideThirtyTwoBitsRaise) {
    uint8_t byte = 0;
    EXPECT_THROW(LZRBCompress().MaxCompressedSize(-1), ECompressException);
    EXPECT_THROW(LZRBCompress().MaxCompressedSize(INT32_MAX), ECompressException);
    EXPECT_EQ(LZRBCompress().MaxCompressedSize(8 * 238609294), 9 * 238609294);
    EXPECT_THROW(LZRDCompress().Compress(&byte, -5, &byte), ECompressException);
    EXPECT_THROW(LZRBCompress().Decompress(&byte, 1, &byte, -1), ECompressException);
    EXPECT_THROW(LZRDCompress().Decompress(&byte, -1, &byte, 1), ECompressException);
}

// A block that does not decode to exactly the expected size raises the format error and never
// reaches outside its buffers.
TEST(LZRCompressTest, HostileBlocksRaise) {
    const TCompressAlgorithm& lzrb = LZRBCompress();
    try {
        Decompress(lzrb, {0x01, 'a', 0x00, 0xF0}, 10);  // 18 bytes where 9 are missing
        FAIL() << "no exception";
    } catch (const ECompressException& e) {
        EXPECT_STREQ(e.what(), "Неверный формат сжатых данных.");
    }
    // The failing match writes nothing.
    TBytes out(10, 0xEE);
    const TBytes tooLong{0x01, 'a', 0x00, 0xF0};
    EXPECT_THROW(lzrb.Decompress(tooLong.data(), 4, out.data(), 10), ECompressException);
    EXPECT_EQ(out, (TBytes{'a', 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));

    EXPECT_THROW(Decompress(lzrb, {0x00, 0x00, 0x00}, 3), ECompressException);              // before the start
    EXPECT_THROW(Decompress(lzrb, TBytes(40, 0), 200), ECompressException);                 // the same, fast path
    EXPECT_THROW(Decompress(LZRDCompress(), TBytes(80, 0), 600), ECompressException);
    EXPECT_THROW(Decompress(lzrb, {0x01, 'a', 0x01, 0x00}, 4), ECompressException);         // distance 2 of 1
    EXPECT_THROW(Decompress(lzrb, {0x01, 'a', 0x00}, 4), ECompressException);               // half a word
    EXPECT_THROW(Decompress(lzrb, {}, 1), ECompressException);                              // no flag
    EXPECT_THROW(Decompress(LZRDCompress(), {0x01, 0x00, 0x00}, 1), ECompressException);    // short flag word
    EXPECT_THROW(Decompress(LZRDCompress(), {0x01, 0, 0, 0, 'a'}, 2), ECompressException);  // cut short

    // Every truncation of a real block fails cleanly, on the fast path and on the tail.
    const TBytes data = testing::MakeData(testing::TDataKind::Text, 3000, 5);
    for (const TCompressAlgorithm* algorithm : {&lzrb, static_cast<const TCompressAlgorithm*>(&LZRDCompress())}) {
        const TBytes block = Compress(*algorithm, data);
        for (size_t cut = 0; cut < block.size(); cut += 7) {
            EXPECT_THROW(Decompress(*algorithm, TBytes(block.begin(), block.begin() + cut), data.size()),
                         ECompressException)
                << cut;
        }
    }
}

}  // namespace
}  // namespace marlowen
