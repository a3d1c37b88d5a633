#include "storage/MaxLZCompress.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace marlowen {

namespace {

constexpr int32_t kMinMatch = 3;
constexpr int32_t kMaxMatch = 4612;
constexpr int32_t kMinIndexed = 5;  // a position enters the chains only with this many bytes left
constexpr int32_t kMinSearched = 4;  // and a match is sought only with this many

// Length symbol 256 + s for the first s whose threshold exceeds the length (else 287).
constexpr int32_t kLengthThresholds[] = {4,  5,  6,  7,  8,  9,  10, 11,  12,  13,  15,  17,  19,  21,  25, 29,
                                         33, 37, 45, 53, 61, 69, 85, 101, 117, 133, 165, 197, 229, 261, 517};
constexpr int32_t kLengthExtraBits[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                        2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 8, 12};
// Distance code: the first whose threshold exceeds the distance (else 31).
constexpr int32_t kDistanceThresholds[] = {2,    3,    4,    5,    7,     9,     13,    17,    25,    33,   49,
                                           65,   97,   129,  193,  257,   385,   513,   769,   1025,  1537, 2049,
                                           3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 98305};
constexpr int32_t kDistanceExtraBits[] = {0, 0, 0, 0, 1, 1, 2, 2, 3,  3,  4,  4,  5,  5,  6,  6,
                                          7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 16, 32};
constexpr int32_t kDistanceCodeBits = 5;

static_assert(std::size(kLengthThresholds) == 31 && std::size(kLengthExtraBits) == 32);
static_assert(std::size(kDistanceThresholds) == 31 && std::size(kDistanceExtraBits) == 32);

int32_t Key(const uint8_t* p) { return (int32_t{p[0]} << 16) | (int32_t{p[1]} << 8) | p[2]; }

int32_t CommonLength(const uint8_t* a, const uint8_t* b, int32_t limit) {
    int32_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

int32_t TMaxLZCompress::SymbolBits(int32_t symbol) {
    if (symbol >= 0 && symbol <= 143) return 8;
    if (symbol >= 144 && symbol <= 255) return 9;
    if (symbol >= 256 && symbol <= 279) return 7;
    if (symbol >= 280 && symbol <= 287) return 8;
    throw Exception("Неверный код символа.");
}

int32_t TMaxLZCompress::MatchBits(int32_t length, int32_t distance) {
    const auto lengthSlot = static_cast<int32_t>(
        std::upper_bound(std::begin(kLengthThresholds), std::end(kLengthThresholds), length) -
        std::begin(kLengthThresholds));
    const auto distanceCode = static_cast<int32_t>(
        std::upper_bound(std::begin(kDistanceThresholds), std::end(kDistanceThresholds), distance) -
        std::begin(kDistanceThresholds));
    return SymbolBits(256 + lengthSlot) + kLengthExtraBits[lengthSlot] + kDistanceCodeBits +
           kDistanceExtraBits[distanceCode];
}

// Greedy: at each position the candidate of the largest saving (8 bits per byte covered less the
// match's cost), newest first and the first of equal savings kept, if that saving is positive.
// Chains link every indexed position to the previous one of the same 3 bytes; the heads are
// hashed, so a chain may pass positions of other keys, which are skipped.
int32_t TMaxLZCompress::Compress(const uint8_t* source, int32_t sourceSize, uint8_t* /*destination*/) const {
    MaxCompressedSize(sourceSize);  // raises for a size without a 32-bit bound
    const int32_t n = sourceSize;
    int64_t bits = 0;
    if (n > 0) {
        int hashBits = 10;
        while (hashBits < 22 && (int32_t{1} << hashBits) < n) ++hashBits;
        std::vector<int32_t> head(size_t{1} << hashBits, -1);
        std::vector<int32_t> prev(static_cast<size_t>(n));
        auto slotOf = [&](int32_t key) { return (static_cast<uint32_t>(key) * 2654435761u) >> (32 - hashBits); };
        auto insert = [&](int32_t p) {
            if (n - p < kMinIndexed) return;
            const uint32_t slot = slotOf(Key(source + p));
            prev[p] = head[slot];
            head[slot] = p;
        };

        int32_t pos = 0;
        while (pos < n) {
            int32_t bestSaving = 0;
            int32_t bestLength = 0;
            int32_t bestBits = 0;
            if (n - pos >= kMinSearched) {
                const uint8_t* cur = source + pos;
                const int32_t limit = std::min(n - pos, kMaxMatch);
                const int32_t key = Key(cur);
                for (int32_t p = head[slotOf(key)]; p >= 0; p = prev[p]) {
                    if (Key(source + p) != key) continue;
                    const int32_t length = kMinMatch + CommonLength(source + p + kMinMatch, cur + kMinMatch,
                                                                    limit - kMinMatch);
                    const int32_t cost = MatchBits(length, pos - p);
                    const int32_t saving = 8 * length - cost;
                    if (saving > bestSaving) {
                        bestSaving = saving;
                        bestLength = length;
                        bestBits = cost;
                    }
                    if (length == limit) break;
                }
            }
            if (bestSaving > 0) {
                bits += bestBits;
                for (int32_t p = pos; p < pos + bestLength; ++p) insert(p);
                pos += bestLength;
            } else {
                bits += SymbolBits(source[pos]);
                insert(pos);
                ++pos;
            }
        }
    }
    return static_cast<int32_t>(bits / 8 + 1);
}

void TMaxLZCompress::Decompress(const uint8_t* /*source*/, int32_t /*sourceSize*/, uint8_t* /*destination*/,
                                int32_t /*destinationSize*/) const {}

int32_t TMaxLZCompress::MaxCompressedSize(int32_t n) const {
    CheckSize(n);
    return CheckedBound(2 * int64_t{n});
}

int64_t TMaxLZCompress::MaxDecompressedSize(int32_t n) const {
    CheckSize(n);
    return INT32_MAX;
}

TMaxLZCompress& MaxLZCompress() {
    static TMaxLZCompress instance;
    return instance;
}

}  // namespace marlowen
