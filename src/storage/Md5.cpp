#include "storage/Md5.h"

#include <algorithm>
#include <cstring>

namespace marlowen {

namespace {

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                             5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                             4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                             6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

TMd5::TMd5() { Reset(); }

void TMd5::Reset() {
    State_[0] = 0x67452301;
    State_[1] = 0xefcdab89;
    State_[2] = 0x98badcfe;
    State_[3] = 0x10325476;
    Length_ = 0;
}

void TMd5::Transform(const uint8_t* block) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = uint32_t{block[4 * i]} | uint32_t{block[4 * i + 1]} << 8 | uint32_t{block[4 * i + 2]} << 16 |
               uint32_t{block[4 * i + 3]} << 24;
    }
    uint32_t a = State_[0], b = State_[1], c = State_[2], d = State_[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = b + RotateLeft(a + f + kSines[i] + m[g], kShifts[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    State_[0] += a;
    State_[1] += b;
    State_[2] += c;
    State_[3] += d;
}

void TMd5::Update(const void* bytes, size_t count) {
    if (count == 0) return;
    const auto* input = static_cast<const uint8_t*>(bytes);
    size_t used = static_cast<size_t>(Length_ % 64);
    Length_ += count;
    if (used > 0) {
        const size_t take = std::min(count, 64 - used);
        std::memcpy(Buffer_ + used, input, take);
        used += take;
        input += take;
        count -= take;
        if (used < 64) return;
        Transform(Buffer_);
    }
    for (; count >= 64; input += 64, count -= 64) Transform(input);
    if (count > 0) std::memcpy(Buffer_, input, count);
}

TMd5::TDigest TMd5::Final() {
    const uint64_t bits = Length_ * 8;
    uint8_t padding[72] = {0x80};
    const size_t used = static_cast<size_t>(Length_ % 64);
    const size_t padLength = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i) padding[padLength + i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(padding, padLength + 8);
    TDigest digest;
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(State_[i / 4] >> (8 * (i % 4)));
    Reset();
    return digest;
}

std::string TMd5::HexDigest(const void* bytes, size_t count) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    TMd5 md5;
    md5.Update(bytes, count);
    std::string text;
    for (uint8_t byte : md5.Final()) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

}  // namespace marlowen
