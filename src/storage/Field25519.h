#pragma once

#include <array>
#include <cstdint>

// Arithmetic modulo p = 2^255 - 19, the field under the Ed25519 curve.
//
// An element is held in unsigned limbs of mixed width that may run a little above their width
// between operations; Pack gives the one canonical value. Where the compiler has 128-bit integers
// (64-bit hosts) the limbs are five of 51 bits; elsewhere, and on i686, they are ten of alternately
// 26 and 25 bits ("radix 2^25.5"), multiplied 32 x 32 -> 64. Both compute the same values; a build
// may ask for the 32-bit limbs with MARLOWEN_FIELD25519_LIMBS32 to test them on a 64-bit host.
namespace marlowen::Field25519 {

#if defined(__SIZEOF_INT128__) && !defined(MARLOWEN_FIELD25519_LIMBS32)
using TLimb = uint64_t;
__extension__ typedef unsigned __int128 TWide;  // a GNU extension, hence the marker
constexpr int kLimbs = 5;
constexpr int LimbBits(int) { return 51; }
#else
using TLimb = uint32_t;
using TWide = uint64_t;
constexpr int kLimbs = 10;
constexpr int LimbBits(int k) { return k % 2 == 0 ? 26 : 25; }
#endif

// With limbs of 25.5 bits, two odd limbs sit half a bit above their product's limb, so their
// product counts twice there; with equal widths no pair does.
constexpr bool ProductDoubles(int i, int j) { return kLimbs == 10 && i % 2 == 1 && j % 2 == 1; }

constexpr TLimb LimbMask(int k) { return (TLimb{1} << LimbBits(k)) - 1; }

struct TElement {
    TLimb Limb[kLimbs];
};

using TBytes = std::array<uint8_t, 32>;

inline TElement Of(uint32_t small) {
    TElement f{};
    f.Limb[0] = small;
    return f;
}

// One pass of carries: every limb but the lowest ends within its width, and the lowest a little
// above it, because what leaves the top re-enters at the bottom times 19 (2^255 = 19 mod p).
inline void Carry(TElement& f) {
    TLimb carry = 0;
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) {
        f.Limb[k] += carry;
        carry = f.Limb[k] >> LimbBits(k);
        f.Limb[k] &= LimbMask(k);
    }
    f.Limb[0] += 19 * carry;
}

inline TElement Add(const TElement& f, const TElement& g) {
    TElement h;
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) h.Limb[k] = f.Limb[k] + g.Limb[k];
    Carry(h);
    return h;
}

// f + 4p - g, so that no limb goes below zero for any carried g.
inline TElement Sub(const TElement& f, const TElement& g) {
    TElement h;
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) {
        const TLimb fourP = 4 * (k == 0 ? LimbMask(0) - 18 : LimbMask(k));
        h.Limb[k] = f.Limb[k] + fourP - g.Limb[k];
    }
    Carry(h);
    return h;
}

inline TElement Negate(const TElement& f) { return Sub(Of(0), f); }

// Carries the wide column sums of a product down to limbs.
inline TElement Narrow(TWide (&column)[kLimbs]) {
    TElement h;
#pragma GCC unroll 10
    for (int k = 0; k + 1 < kLimbs; ++k) {
        column[k + 1] += column[k] >> LimbBits(k);
        h.Limb[k] = static_cast<TLimb>(column[k]) & LimbMask(k);
    }
    const TWide top = column[kLimbs - 1] >> LimbBits(kLimbs - 1);
    h.Limb[kLimbs - 1] = static_cast<TLimb>(column[kLimbs - 1]) & LimbMask(kLimbs - 1);
    const TWide low = TWide{h.Limb[0]} + 19 * top;
    h.Limb[0] = static_cast<TLimb>(low) & LimbMask(0);
    h.Limb[1] += static_cast<TLimb>(low >> LimbBits(0));
    return h;
}

// Limb products fall into column (i + j) mod kLimbs; a column that wraps past the top counts
// 19 times. The factors are split so that each stays within a limb's type.
inline TElement Mul(const TElement& f, const TElement& g) {
    TLimb f2[kLimbs], g19[kLimbs];
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) {
        f2[k] = 2 * f.Limb[k];
        g19[k] = 19 * g.Limb[k];
    }
    TWide column[kLimbs] = {};
#pragma GCC unroll 10
    for (int i = 0; i < kLimbs; ++i) {
#pragma GCC unroll 10
        for (int j = 0; j < kLimbs; ++j) {
            const TLimb left = ProductDoubles(i, j) ? f2[i] : f.Limb[i];
            const TLimb right = i + j >= kLimbs ? g19[j] : g.Limb[j];
            column[(i + j) % kLimbs] += TWide{left} * right;
        }
    }
    return Narrow(column);
}

// Each cross product appears twice in a square, so it is computed once and doubled.
inline TElement Square(const TElement& f) {
    TLimb f2[kLimbs], f4[kLimbs], f19[kLimbs];
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) {
        f2[k] = 2 * f.Limb[k];
        f4[k] = 4 * f.Limb[k];
        f19[k] = 19 * f.Limb[k];
    }
    TWide column[kLimbs] = {};
#pragma GCC unroll 10
    for (int i = 0; i < kLimbs; ++i) {
#pragma GCC unroll 10
        for (int j = i; j < kLimbs; ++j) {
            const int factor = (i == j ? 1 : 2) * (ProductDoubles(i, j) ? 2 : 1);
            const TLimb left = factor == 4 ? f4[i] : factor == 2 ? f2[i] : f.Limb[i];
            const TLimb right = i + j >= kLimbs ? f19[j] : f.Limb[j];
            column[(i + j) % kLimbs] += TWide{left} * right;
        }
    }
    return Narrow(column);
}

inline TElement SquareTimes(TElement f, int times) {
    for (int i = 0; i < times; ++i) f = Square(f);
    return f;
}

// f becomes g where pick is 1 and stays where it is 0, without a branch on secret bits.
inline void Select(TElement& f, const TElement& g, uint32_t pick) {
    const TLimb mask = TLimb{0} - pick;
#pragma GCC unroll 10
    for (int k = 0; k < kLimbs; ++k) f.Limb[k] ^= (f.Limb[k] ^ g.Limb[k]) & mask;
}

// The canonical little-endian encoding of the value mod p.
inline TBytes Pack(const TElement& f) {
    TElement h = f;
    Carry(h);
    Carry(h);
    // h is now below 2p; q = 1 exactly when h + 19 reaches 2^255, that is when h >= p.
    TLimb q = 19;
    for (int k = 0; k < kLimbs; ++k) q = (h.Limb[k] + q) >> LimbBits(k);
    h.Limb[0] += 19 * q;
    TLimb carry = 0;
    for (int k = 0; k < kLimbs; ++k) {
        h.Limb[k] += carry;
        carry = h.Limb[k] >> LimbBits(k);
        h.Limb[k] &= LimbMask(k);
    }
    TBytes bytes{};
    uint64_t pending = 0;
    int pendingBits = 0, at = 0;
    for (int k = 0; k < kLimbs; ++k) {
        pending |= uint64_t{h.Limb[k]} << pendingBits;
        for (pendingBits += LimbBits(k); pendingBits >= 8; pendingBits -= 8, pending >>= 8)
            bytes[at++] = static_cast<uint8_t>(pending);
    }
    bytes[at] = static_cast<uint8_t>(pending);  // the last 7 bits
    return bytes;
}

// Reads 255 bits; the top bit belongs to the point encoding, not to the number.
inline TElement Unpack(const uint8_t* bytes) {
    TElement f;
    uint64_t pending = 0;
    int pendingBits = 0, at = 0;
    for (int k = 0; k < kLimbs; ++k) {
        for (; pendingBits < LimbBits(k); pendingBits += 8) {
            const uint8_t byte = at == 31 ? bytes[31] & 0x7f : bytes[at];
            pending |= uint64_t{byte} << pendingBits;
            ++at;
        }
        f.Limb[k] = static_cast<TLimb>(pending & LimbMask(k));
        pending >>= LimbBits(k);
        pendingBits -= LimbBits(k);
    }
    return f;
}

inline bool Equal(const TElement& f, const TElement& g) { return Pack(f) == Pack(g); }
inline bool IsZero(const TElement& f) { return Pack(f) == TBytes{}; }
inline int LowBit(const TElement& f) { return Pack(f)[0] & 1; }

// z^(2^250 - 1) and z^11, the common start of the two exponentiations below.
inline TElement TwoTo250MinusOne(const TElement& z, TElement& z11) {
    const TElement z2 = Square(z);
    const TElement z9 = Mul(SquareTimes(z2, 2), z);
    z11 = Mul(z9, z2);
    const TElement z5 = Mul(Square(z11), z9);  // 2^5 - 1
    const TElement z10 = Mul(SquareTimes(z5, 5), z5);
    const TElement z20 = Mul(SquareTimes(z10, 10), z10);
    const TElement z40 = Mul(SquareTimes(z20, 20), z20);
    const TElement z50 = Mul(SquareTimes(z40, 10), z10);
    const TElement z100 = Mul(SquareTimes(z50, 50), z50);
    const TElement z200 = Mul(SquareTimes(z100, 100), z100);
    return Mul(SquareTimes(z200, 50), z50);
}

// z^(p - 2) = 1/z (0 for 0).
inline TElement Invert(const TElement& z) {
    TElement z11;
    const TElement z250 = TwoTo250MinusOne(z, z11);
    return Mul(SquareTimes(z250, 5), z11);
}

// z^((p - 5) / 8) = z^(2^252 - 3), the heart of a square root.
inline TElement PowPMinus5Over8(const TElement& z) {
    TElement z11;
    const TElement z250 = TwoTo250MinusOne(z, z11);
    return Mul(SquareTimes(z250, 2), z);
}

}  // namespace marlowen::Field25519
