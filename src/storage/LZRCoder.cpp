#include "storage/LZRCoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "storage/CompressAlgorithm.h"

namespace marlowen::lzr {

namespace {

constexpr int32_t kWindow = 4096;  // distances 1 to 4096
constexpr int32_t kMinMatch = 3;
constexpr int32_t kMaxMatch = 18;
constexpr int kMaxHashBits = 14;

[[noreturn]] void FormatError() { throw ECompressException(); }

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Number of equal leading bytes given the XOR of two 8-byte loads (not zero).
int32_t EqualBytes(uint64_t difference) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_clzll(difference) >> 3;
#else
    return __builtin_ctzll(difference) >> 3;
#endif
}

// Length of the common prefix of the bytes at a and at b, at most limit. Reads no byte past
// b + limit (a lies before b).
int32_t MatchLength(const uint8_t* a, const uint8_t* b, int32_t limit) {
    if (limit == kMaxMatch) {
        // Three overlapping 8-byte loads cover bytes 0 to 17 exactly.
        if (uint64_t x = Load64(a) ^ Load64(b)) return EqualBytes(x);
        if (uint64_t x = Load64(a + 8) ^ Load64(b + 8)) return 8 + EqualBytes(x);
        if (uint64_t x = Load64(a + 10) ^ Load64(b + 10)) return 10 + EqualBytes(x);
        return kMaxMatch;
    }
    int32_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

uint32_t Hash3(const uint8_t* p, int shift) {
    const uint32_t key = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    return (key * 2654435761u) >> shift;
}

template <int FlagBytes>
uint32_t LoadFlags(const uint8_t* p) {
    if constexpr (FlagBytes == 1) {
        return p[0];
    } else {
        return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    }
}

template <int FlagBytes>
void StoreFlags(uint8_t* p, uint32_t flags) {
    for (int i = 0; i < FlagBytes; ++i) p[i] = static_cast<uint8_t>(flags >> (8 * i));
}

// Appends groups of items: a flag word reserved lazily before its first item, then the items.
template <int FlagBytes>
class TGroupWriter {
public:
    explicit TGroupWriter(uint8_t* out) : Out_(out) {}

    void Literal(uint8_t b) {
        Open();
        Flags_ |= uint32_t{1} << Used_++;
        *Out_++ = b;
    }

    void Match(int32_t distance, int32_t length) {
        Open();
        ++Used_;
        const uint32_t w = static_cast<uint32_t>(distance - 1) | (static_cast<uint32_t>(length - kMinMatch) << 12);
        Out_[0] = static_cast<uint8_t>(w);
        Out_[1] = static_cast<uint8_t>(w >> 8);
        Out_ += 2;
    }

    // Stores the last flag word; returns the end of the output.
    uint8_t* Finish() {
        if (FlagAt_ != nullptr) StoreFlags<FlagBytes>(FlagAt_, Flags_);
        return Out_;
    }

private:
    static constexpr int kItems = 8 * FlagBytes;

    void Open() {
        if (Used_ < kItems) return;
        if (FlagAt_ != nullptr) StoreFlags<FlagBytes>(FlagAt_, Flags_);
        FlagAt_ = Out_;
        Out_ += FlagBytes;
        Flags_ = 0;
        Used_ = 0;
    }

    uint8_t* Out_;
    uint8_t* FlagAt_ = nullptr;
    uint32_t Flags_ = 0;
    int Used_ = kItems;
};

// The parse: at each position the longest match (up to 18 bytes, never past the end) among the
// earlier positions at most 4096 back that share its first 3 bytes. Of equal lengths the oldest
// wins, except that the search ends at the first (newest) match of the full 18 bytes.
//
// Chains are linked through the ring `prev`, indexed by position modulo the window; every
// position before the current one is inserted, so a link is valid for as long as its position
// is inside the window, and the walk ends at the first position outside it. Chain heads are
// hashed, so a chain may hold other 3-byte keys; MatchLength rejects them (fewer than 3 bytes).
//
// Runs of one byte value would make chains of every position in them (zeros of transparent
// pixels, of padding), so a chain entry that opens a run is taken with the rest of the run in one
// step: within a run the match lengths follow from where the run ends.
template <int FlagBytes>
int32_t EncodeBlock(const uint8_t* src, int32_t n, uint8_t* dst) {
    TGroupWriter<FlagBytes> writer(dst);
    int32_t pos = 0;
    if (n >= kMinMatch) {
        int hashBits = 8;
        while (hashBits < kMaxHashBits && (int32_t{1} << hashBits) < 2 * std::min(n, kWindow)) ++hashBits;
        const int shift = 32 - hashBits;
        uint32_t head[int32_t{1} << kMaxHashBits];  // position + 1; 0 for none
        uint32_t prev[kWindow];                     // written before it is read
        int32_t runStart[kWindow];                  // where the run of equal bytes through p starts
        std::fill_n(head, int32_t{1} << hashBits, 0u);

        // Positions are inserted in order, each right after the one before it.
        auto insert = [&](int32_t p) {
            const uint32_t h = Hash3(src + p, shift);
            prev[p & (kWindow - 1)] = head[h];
            head[h] = static_cast<uint32_t>(p) + 1;
            runStart[p & (kWindow - 1)] = p > 0 && src[p - 1] == src[p] ? runStart[(p - 1) & (kWindow - 1)] : p;
        };

        while (n - pos >= kMinMatch) {
            const uint8_t* cur = src + pos;
            const int32_t limit = std::min(n - pos, kMaxMatch);
            const int32_t oldest = pos - kWindow;
            const uint8_t b = cur[0];
            // Leading bytes equal to the first, when there are at least 3 (else 0).
            int32_t run = 0;
            if (cur[1] == b && cur[2] == b) {
                run = kMinMatch;
                while (run < limit && cur[run] == b) ++run;
            }
            int32_t best = kMinMatch - 1;
            int32_t bestPos = 0;
            for (uint32_t link = head[Hash3(cur, shift)]; link != 0;) {
                const int32_t p = static_cast<int32_t>(link - 1);
                if (p < oldest) break;
                const uint8_t* candidate = src + p;
                if (run != 0 && candidate[0] == b && candidate[1] == b && candidate[2] == b) {
                    // p is the newest position of a run of b; the chain goes on through every
                    // older position of the run down to `first`. With r(q) the bytes from q to
                    // the run's end, a candidate q matches min(r(q), run) bytes, unless r(q)
                    // equals the current run, when the bytes after both runs decide.
                    const int32_t first = std::max(runStart[p & (kWindow - 1)], oldest);
                    int32_t end = p + kMinMatch;  // exact when below p + 19; more makes no difference
                    const int32_t endLimit = std::min(n, p + kMaxMatch + 1);
                    while (end < endLimit && src[end] == b) ++end;
                    int32_t length = run;
                    int32_t at = first;  // the oldest of the longest, or the newest of 18 bytes
                    if (run == limit) {
                        length = std::min(end - first, limit);
                        if (length == kMaxMatch) at = std::min(p, end - kMaxMatch);
                    } else if (const int32_t even = end - run; even < first) {
                        length = end - first;
                    } else if (even <= p) {
                        const int32_t more = MatchLength(src + end, cur + run, limit - run);
                        if (more > 0) {
                            length = run + more;
                            at = even;
                        }
                    }
                    if (length >= best) {
                        best = length;
                        bestPos = at;
                        if (best == kMaxMatch) break;
                    }
                    if (first == oldest) break;
                    link = prev[first & (kWindow - 1)];
                    continue;
                }
                // A candidate shorter than the best so far differs at or before byte best - 1.
                if (candidate[best - 1] == cur[best - 1]) {
                    const int32_t length = MatchLength(candidate, cur, limit);
                    if (length >= best && length >= kMinMatch) {
                        best = length;
                        bestPos = p;
                        if (best == kMaxMatch) break;
                    }
                }
                link = prev[p & (kWindow - 1)];
            }

            if (best < kMinMatch) {
                writer.Literal(*cur);
                insert(pos);
                ++pos;
                continue;
            }
            writer.Match(pos - bestPos, best);
            if (pos + best >= n) {
                pos += best;
                break;
            }
            const int32_t end = std::min(pos + best, n - (kMinMatch - 1));
            for (int32_t p = pos; p < end; ++p) insert(p);
            pos += best;
        }
    }
    while (pos < n) writer.Literal(src[pos++]);
    return static_cast<int32_t>(writer.Finish() - dst);
}

// Copies a match of at most 18 bytes that starts d bytes back; may write up to 24 bytes, so the
// caller leaves that much room.
inline void CopyMatchFast(uint8_t* out, size_t d, size_t length) {
    const uint8_t* from = out - d;
    if (d >= 8) {
        // Each 8-byte chunk reads only bytes already written.
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        std::memcpy(out + 16, from + 16, 8);
    } else if (d == 1) {
        std::memset(out, *from, length);
    } else {
        for (size_t i = 0; i < length; ++i) out[i] = from[i];
    }
}

template <int FlagBytes>
void DecodeBlock(const uint8_t* src, int32_t srcSize, uint8_t* dst, int32_t dstSize) {
    constexpr int kItems = 8 * FlagBytes;
    const uint8_t* in = src;
    const uint8_t* const inEnd = src + srcSize;
    uint8_t* out = dst;
    uint8_t* const outEnd = dst + dstSize;

    // Whole groups without bounds checks while both buffers have room for the largest group
    // (all matches), plus the slack of CopyMatchFast.
    constexpr ptrdiff_t kGroupIn = FlagBytes + 2 * kItems;
    constexpr ptrdiff_t kGroupOut = kMaxMatch * kItems + 8;
    while (inEnd - in >= kGroupIn && outEnd - out >= kGroupOut) {
        const uint8_t* const group = in;
        in += FlagBytes;
        for (int byte = 0; byte < FlagBytes; ++byte) {
            uint32_t flags = group[byte];
            if (flags == 0xFF) {
                std::memcpy(out, in, 8);
                out += 8;
                in += 8;
                continue;
            }
            for (int k = 0; k < 8; ++k, flags >>= 1) {
                if (flags & 1) {
                    *out++ = *in++;
                    continue;
                }
                const uint32_t w = in[0] | (uint32_t{in[1]} << 8);
                in += 2;
                const size_t d = (w & 4095) + 1;
                if (d > static_cast<size_t>(out - dst)) FormatError();
                const size_t length = (w >> 12) + kMinMatch;
                CopyMatchFast(out, d, length);
                out += length;
            }
        }
    }

    // The tail, item by item with every check.
    uint32_t flags = 0;
    int left = 0;
    while (out < outEnd) {
        if (left == 0) {
            if (inEnd - in < FlagBytes) FormatError();
            flags = LoadFlags<FlagBytes>(in);
            in += FlagBytes;
            left = kItems;
        }
        if (flags & 1) {
            if (in == inEnd) FormatError();
            *out++ = *in++;
        } else {
            if (inEnd - in < 2) FormatError();
            const uint32_t w = in[0] | (uint32_t{in[1]} << 8);
            const ptrdiff_t d = static_cast<ptrdiff_t>(w & 4095) + 1;
            const ptrdiff_t length = static_cast<ptrdiff_t>(w >> 12) + kMinMatch;
            if (length > outEnd - out || d > out - dst) FormatError();
            in += 2;
            for (ptrdiff_t i = 0; i < length; ++i) out[i] = out[i - d];
            out += length;
        }
        flags >>= 1;
        --left;
    }
}

}  // namespace

int32_t Encode(const uint8_t* source, int32_t size, uint8_t* destination, int flagBytes) {
    return flagBytes == 1 ? EncodeBlock<1>(source, size, destination) : EncodeBlock<4>(source, size, destination);
}

void Decode(const uint8_t* source, int32_t sourceSize, uint8_t* destination, int32_t destinationSize,
            int flagBytes) {
    if (flagBytes == 1) {
        DecodeBlock<1>(source, sourceSize, destination, destinationSize);
    } else {
        DecodeBlock<4>(source, sourceSize, destination, destinationSize);
    }
}

}  // namespace marlowen::lzr
