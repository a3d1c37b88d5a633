#include "storage/Ed25519.h"

#include <cstdlib>

#include "storage/Field25519.h"
#include "storage/Sha512.h"

namespace marlowen::Ed25519 {

namespace {

using Field25519::TBytes;
using Field25519::TElement;
using namespace Field25519;

// Exponents for the one-off derivations below, little-endian.
struct TExponent {
    uint8_t Bytes[32];
};

// Square and multiply: slow, so only for constants derived once.
TElement Pow(const TElement& base, const TExponent& exponent) {
    TElement result = Of(1);
    for (int bit = 255; bit >= 0; --bit) {
        result = Square(result);
        if ((exponent.Bytes[bit / 8] >> (bit % 8)) & 1) result = Mul(result, base);
    }
    return result;
}

struct TCurveConstants {
    TElement D;
    TElement TwiceD;
    TElement SqrtMinusOne;
};

// Derived from their definitions rather than typed in as digits.
TCurveConstants MakeCurveConstants() {
    TExponent pMinus1Over4{};  // 2^253 - 5
    pMinus1Over4.Bytes[0] = 0xfb;
    for (int i = 1; i < 31; ++i) pMinus1Over4.Bytes[i] = 0xff;
    pMinus1Over4.Bytes[31] = 0x1f;
    TCurveConstants constants;
    constants.D = Negate(Mul(Of(121665), Invert(Of(121666))));
    constants.TwiceD = Add(constants.D, constants.D);
    constants.SqrtMinusOne = Pow(Of(2), pMinus1Over4);
    return constants;
}

const TCurveConstants& Curve() {
    static const TCurveConstants constants = MakeCurveConstants();
    return constants;
}

// ---- Points ----
//
// Extended coordinates x = X/Z, y = Y/Z, x*y = T/Z; projective ones leave T out, which a doubling
// does not need. An addition or doubling first gives a "completed" point, x = X/Z and y = Y/T,
// which costs three multiplications to make projective and four to make extended. The addend of an
// addition is kept "cached" as (Y + X, Y - X, Z, 2dT), or with Z = 1 when it is fixed in advance.

struct TProjective {
    TElement X, Y, Z;
};

struct TPoint {
    TElement X, Y, Z, T;
};

struct TCompleted {
    TElement X, Y, Z, T;
};

struct TCached {
    TElement YPlusX, YMinusX, Z, TwiceDT;
};

struct TAffineCached {
    TElement YPlusX, YMinusX, TwiceDT;
};

TProjective ProjectiveIdentity() { return {Of(0), Of(1), Of(1)}; }
TAffineCached AffineIdentity() { return {Of(1), Of(1), Of(0)}; }

TProjective ToProjective(const TCompleted& p) { return {Mul(p.X, p.T), Mul(p.Y, p.Z), Mul(p.Z, p.T)}; }

TPoint ToExtended(const TCompleted& p) {
    return {Mul(p.X, p.T), Mul(p.Y, p.Z), Mul(p.Z, p.T), Mul(p.X, p.Y)};
}

TCached Cache(const TPoint& p) { return {Add(p.Y, p.X), Sub(p.Y, p.X), p.Z, Mul(p.T, Curve().TwiceD)}; }

// Four squarings; every point on the curve may be doubled.
TCompleted Double(const TElement& x, const TElement& y, const TElement& z) {
    const TElement xx = Square(x);
    const TElement yy = Square(y);
    const TElement zz = Square(z);
    TCompleted r;
    r.Y = Add(yy, xx);
    r.Z = Sub(yy, xx);
    r.X = Sub(Square(Add(x, y)), r.Y);
    r.T = Sub(Add(zz, zz), r.Z);
    return r;
}

TCompleted Double(const TProjective& p) { return Double(p.X, p.Y, p.Z); }
TCompleted Double(const TPoint& p) { return Double(p.X, p.Y, p.Z); }

// The unified addition formula; it is complete on this curve, so any two points may meet. The
// subtraction adds the negated point, (-x, y), whose cached form swaps Y + X and Y - X and
// negates 2dT.
TCompleted Combine(const TPoint& p, const TElement& sum, const TElement& difference, const TElement& twiceDT,
                   const TElement& twiceZ, bool subtract) {
    const TElement plus = Mul(Add(p.Y, p.X), subtract ? difference : sum);
    const TElement minus = Mul(Sub(p.Y, p.X), subtract ? sum : difference);
    const TElement tt = Mul(p.T, twiceDT);
    TCompleted r;
    r.X = Sub(plus, minus);
    r.Y = Add(plus, minus);
    r.Z = subtract ? Sub(twiceZ, tt) : Add(twiceZ, tt);
    r.T = subtract ? Add(twiceZ, tt) : Sub(twiceZ, tt);
    return r;
}

TCompleted AddCached(const TPoint& p, const TCached& q, bool subtract = false) {
    const TElement zz = Mul(p.Z, q.Z);
    return Combine(p, q.YPlusX, q.YMinusX, q.TwiceDT, Add(zz, zz), subtract);
}

TCompleted AddAffine(const TPoint& p, const TAffineCached& q, bool subtract = false) {
    return Combine(p, q.YPlusX, q.YMinusX, q.TwiceDT, Add(p.Z, p.Z), subtract);
}

TBytes Encode(const TProjective& p) {
    const TElement zInverse = Invert(p.Z);
    TBytes bytes = Pack(Mul(p.Y, zInverse));
    bytes[31] |= static_cast<uint8_t>(LowBit(Mul(p.X, zInverse)) << 7);
    return bytes;
}

// A point of order 1, 2, 4 or 8: [8]P is the identity, X = 0 and Y = Z. A key or R of such a
// point lets one signature hold for many messages or keys, so the careful verifiers refuse them.
bool HasSmallOrder(const TProjective& p) {
    const TProjective eight = ToProjective(Double(ToProjective(Double(ToProjective(Double(p))))));
    return IsZero(eight.X) && Equal(eight.Y, eight.Z);
}

// A root of u/v if there is one: x = u v^3 (u v^7)^((p-5)/8) squares to +-u/v.
bool SquareRootOfRatio(const TElement& u, const TElement& v, TElement& root) {
    const TElement v3 = Mul(Square(v), v);
    const TElement v7 = Mul(Square(v3), v);
    root = Mul(Mul(u, v3), PowPMinus5Over8(Mul(u, v7)));
    const TElement check = Mul(v, Square(root));
    if (Equal(check, u)) return true;
    if (!Equal(check, Negate(u))) return false;
    root = Mul(root, Curve().SqrtMinusOne);
    return true;
}

// Strict decoding: y must be below p, x must exist, and x = 0 must not carry the sign bit.
bool Decode(const uint8_t* bytes, TPoint& point) {
    const TElement y = Unpack(bytes);
    TBytes canonical = Pack(y);
    canonical[31] |= bytes[31] & 0x80;
    for (int i = 0; i < 32; ++i)
        if (canonical[i] != bytes[i]) return false;
    const int sign = bytes[31] >> 7;
    const TElement ySquared = Square(y);
    const TElement u = Sub(ySquared, Of(1));
    const TElement v = Add(Mul(ySquared, Curve().D), Of(1));
    TElement x;
    if (!SquareRootOfRatio(u, v, x)) return false;
    if (sign == 1 && IsZero(x)) return false;
    if (LowBit(x) != sign) x = Negate(x);
    point = {x, y, Of(1), Mul(x, y)};
    return true;
}

// The multiples 0..15 of the base point with Z = 1: all of them for the constant-time
// multiplication of signing, the odd ones for verifying.
using TBaseMultiples = std::array<TAffineCached, 16>;

TBaseMultiples MakeBaseMultiples() {
    TBytes encoding;  // y = 4/5 with an even x
    encoding.fill(0x66);
    encoding[0] = 0x58;
    TPoint base;
    Decode(encoding.data(), base);
    const TCached cachedBase = Cache(base);
    TBaseMultiples multiples;
    multiples[0] = AffineIdentity();
    TPoint multiple = base;
    for (size_t i = 1; i < multiples.size(); ++i) {
        if (i > 1) multiple = ToExtended(AddCached(multiple, cachedBase));
        const TElement zInverse = Invert(multiple.Z);
        const TElement x = Mul(multiple.X, zInverse), y = Mul(multiple.Y, zInverse);
        multiples[i] = {Add(y, x), Sub(y, x), Mul(Mul(x, y), Curve().TwiceD)};
    }
    return multiples;
}

const TBaseMultiples& BaseMultiples() {
    static const TBaseMultiples multiples = MakeBaseMultiples();
    return multiples;
}

// Reads every entry, so neither timing nor memory access depends on the index.
TAffineCached LookupBaseMultiple(unsigned index) {
    TAffineCached entry = AffineIdentity();
    for (unsigned i = 0; i < 16; ++i) {
        const uint32_t same = 1 - (((i ^ index) + 15) >> 4);  // 1 or 0, as both are below 16
        const TAffineCached& candidate = BaseMultiples()[i];
        Select(entry.YPlusX, candidate.YPlusX, same);
        Select(entry.YMinusX, candidate.YMinusX, same);
        Select(entry.TwiceDT, candidate.TwiceDT, same);
    }
    return entry;
}

// [scalar]B with four doublings and one addition per four bits whatever their value: the scalar
// may be secret.
TProjective MultiplyBase(const TBytes& scalar) {
    TProjective result = ProjectiveIdentity();
    for (int nibble = 63; nibble >= 0; --nibble) {
        for (int i = 0; i < 3; ++i) result = ToProjective(Double(result));
        const TPoint doubled = ToExtended(Double(result));
        const unsigned digit = (scalar[nibble / 2] >> (4 * (nibble % 2))) & 15;
        result = ToProjective(AddAffine(doubled, LookupBaseMultiple(digit)));
    }
    return result;
}

// The scalar as signed odd digits of at most 15 in magnitude, each followed by at least three
// zeros: about one addition per five bits instead of one per four, for public scalars.
using TDigits = std::array<int8_t, 256>;

TDigits SignedDigits(const TBytes& scalar) {
    TDigits digits;
    for (int i = 0; i < 256; ++i) digits[i] = static_cast<int8_t>((scalar[i / 8] >> (i % 8)) & 1);
    for (int i = 0; i < 256; ++i) {
        if (digits[i] == 0) continue;
        for (int b = 1; b <= 6 && i + b < 256; ++b) {
            if (digits[i + b] == 0) continue;
            const int shifted = digits[i + b] << b;
            if (digits[i] + shifted <= 15) {
                digits[i] = static_cast<int8_t>(digits[i] + shifted);
                digits[i + b] = 0;
            } else if (digits[i] - shifted >= -15) {
                digits[i] = static_cast<int8_t>(digits[i] - shifted);
                for (int k = i + b; k < 256; ++k) {  // carry the borrowed power of two upwards
                    if (digits[k] == 0) {
                        digits[k] = 1;
                        break;
                    }
                    digits[k] = 0;
                }
            } else {
                break;
            }
        }
    }
    return digits;
}

// [s]B - [k]A in variable time: every input is public.
TProjective MultiplyBaseMinusPoint(const TBytes& s, const TBytes& k, const TPoint& a) {
    std::array<TCached, 8> oddMultiples;  // A, 3A, ..., 15A
    const TCached twiceA = Cache(ToExtended(Double(a)));
    TPoint multiple = a;
    oddMultiples[0] = Cache(a);
    for (size_t i = 1; i < oddMultiples.size(); ++i) {
        multiple = ToExtended(AddCached(multiple, twiceA));
        oddMultiples[i] = Cache(multiple);
    }
    const TDigits sDigits = SignedDigits(s), kDigits = SignedDigits(k);
    int top = 255;
    while (top >= 0 && sDigits[top] == 0 && kDigits[top] == 0) --top;
    TProjective result = ProjectiveIdentity();
    for (int i = top; i >= 0; --i) {
        TCompleted sum = Double(result);
        if (kDigits[i] != 0) {
            sum = AddCached(ToExtended(sum), oddMultiples[std::abs(kDigits[i]) / 2], kDigits[i] > 0);
        }
        if (sDigits[i] != 0) sum = AddAffine(ToExtended(sum), BaseMultiples()[std::abs(sDigits[i])], sDigits[i] < 0);
        result = ToProjective(sum);
    }
    return result;
}

// ---- Scalars mod the group order L = 2^252 + c, c = 27742317777372353535851937790883648493 ----

constexpr uint32_t kOrder[8] = {0x5cf5d3ed, 0x5812631a, 0xa2f79cd6, 0x14def9de, 0, 0, 0, 0x10000000};

uint32_t Load32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

void Store32(uint32_t value, uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

void SubtractOrderIfNotBelow(uint32_t (&r)[8]) {
    uint32_t difference[8];
    uint32_t borrow = 0;
    for (int i = 0; i < 8; ++i) {
        const uint64_t wide = uint64_t{r[i]} - kOrder[i] - borrow;
        difference[i] = static_cast<uint32_t>(wide);
        borrow = static_cast<uint32_t>(wide >> 63);
    }
    const uint32_t keep = 0u - borrow;  // all ones when r was below L
    for (int i = 0; i < 8; ++i) r[i] = (r[i] & keep) | (difference[i] & ~keep);
}

// A 512-bit number is taken apart into 24 signed limbs of 21 bits (the top one of 29). A limb at
// 2^(252 + 21n) is worth -c times its value at 2^(21n), and -c has these six 21-bit digits.
constexpr int64_t kMinusC[6] = {666643, 470296, 654183, -997805, 136657, -683901};

using TScalarLimbs = int64_t[24];

// Floor division by 2^21; the bias keeps the shifted value non-negative, where >> is well defined.
int64_t FloorBy21Bits(int64_t x) {
    constexpr int64_t kBias = int64_t{1} << 62;
    return ((x + kBias) >> 21) - (kBias >> 21);
}

void FoldLimb(TScalarLimbs& s, int i) {
    for (int j = 0; j < 6; ++j) s[i - 12 + j] += s[i] * kMinusC[j];
    s[i] = 0;
}

// Carries limbs first..last into their neighbours, rounding to the nearest (limbs end within
// +-2^20) or downwards (limbs end within [0, 2^21)).
void CarryLimbs(TScalarLimbs& s, int first, int last, bool rounded) {
    for (int k = first; k <= last; ++k) {
        const int64_t carry = FloorBy21Bits(s[k] + (rounded ? int64_t{1} << 20 : 0));
        s[k + 1] += carry;
        s[k] -= carry * (int64_t{1} << 21);
    }
}

int64_t BitsAt(const uint8_t* bytes, int first, int count) {
    int64_t value = 0;
    for (int i = 0; i < count; ++i) value |= int64_t{(bytes[(first + i) / 8] >> ((first + i) % 8)) & 1} << i;
    return value;
}

// The value mod L, in constant time: the folds and carries fall where they fall whatever the limbs.
TBytes ReduceModOrder(const uint8_t (&wide)[64]) {
    TScalarLimbs s;
    for (int k = 0; k < 23; ++k) s[k] = BitsAt(wide, 21 * k, 21);
    s[23] = BitsAt(wide, 483, 29);
    for (int i = 23; i >= 18; --i) FoldLimb(s, i);
    CarryLimbs(s, 6, 16, true);
    for (int i = 17; i >= 12; --i) FoldLimb(s, i);
    CarryLimbs(s, 0, 11, true);
    FoldLimb(s, 12);
    CarryLimbs(s, 0, 11, false);
    FoldLimb(s, 12);
    CarryLimbs(s, 0, 10, false);
    // Twelve limbs in [0, 2^21) hold a value below 2^252 + 2^21 < 2L; one conditional subtraction
    // leaves it canonical.
    uint32_t r[8] = {};
    for (int k = 0; k < 12; ++k) {
        const uint64_t limb = static_cast<uint64_t>(s[k]);
        const int bit = 21 * k;
        r[bit / 32] |= static_cast<uint32_t>(limb << (bit % 32));
        if (bit % 32 > 11 && bit / 32 < 7) r[bit / 32 + 1] |= static_cast<uint32_t>(limb >> (32 - bit % 32));
    }
    SubtractOrderIfNotBelow(r);
    TBytes reduced;
    for (int i = 0; i < 8; ++i) Store32(r[i], reduced.data() + 4 * i);
    return reduced;
}

TBytes ReduceDigest(const TSha512::TDigest& digest) {
    uint8_t wide[64];
    for (int i = 0; i < 64; ++i) wide[i] = digest[i];
    return ReduceModOrder(wide);
}

// (a * b + c) mod L for 256-bit a, b and c.
TBytes MultiplyAddModOrder(const TBytes& a, const TBytes& b, const TBytes& c) {
    uint32_t x[8], y[8], product[16] = {};
    for (int i = 0; i < 8; ++i) {
        x[i] = Load32(a.data() + 4 * i);
        y[i] = Load32(b.data() + 4 * i);
    }
    for (int i = 0; i < 8; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < 8; ++j) {
            const uint64_t cell = uint64_t{product[i + j]} + uint64_t{x[i]} * y[j] + carry;
            product[i + j] = static_cast<uint32_t>(cell);
            carry = cell >> 32;
        }
        product[i + 8] = static_cast<uint32_t>(carry);
    }
    uint64_t carry = 0;
    for (int i = 0; i < 16; ++i) {
        const uint64_t cell = uint64_t{product[i]} + (i < 8 ? Load32(c.data() + 4 * i) : 0) + carry;
        product[i] = static_cast<uint32_t>(cell);
        carry = cell >> 32;
    }
    uint8_t wide[64];
    for (int i = 0; i < 16; ++i) Store32(product[i], wide + 4 * i);
    return ReduceModOrder(wide);
}

bool IsBelowOrder(const uint8_t* scalar) {
    for (int i = 31; i >= 0; --i) {
        const uint8_t limit = static_cast<uint8_t>(kOrder[i / 4] >> (8 * (i % 4)));
        if (scalar[i] != limit) return scalar[i] < limit;
    }
    return false;
}

// ---- The signature scheme ----

struct TExpandedSeed {
    TBytes Scalar;  // clamped: a multiple of 8 with bit 254 set
    TBytes Prefix;  // keys the nonce
};

TExpandedSeed Expand(const TSeed& seed) {
    const TSha512::TDigest digest = TSha512::Digest(seed.data(), seed.size());
    TExpandedSeed expanded;
    for (int i = 0; i < 32; ++i) {
        expanded.Scalar[i] = digest[i];
        expanded.Prefix[i] = digest[32 + i];
    }
    expanded.Scalar[0] &= 248;
    expanded.Scalar[31] &= 127;
    expanded.Scalar[31] |= 64;
    return expanded;
}

// k = SHA-512(R || A || M) mod L
TBytes Challenge(const uint8_t* encodedR, const TPublicKey& key, const uint8_t* message, size_t size) {
    TSha512 sha;
    sha.Update(encodedR, 32);
    sha.Update(key.data(), key.size());
    sha.Update(message, size);
    return ReduceDigest(sha.Final());
}

}  // namespace

TPublicKey PublicKeyOf(const TSeed& seed) { return Encode(MultiplyBase(Expand(seed).Scalar)); }

TSignature Sign(const TSeed& seed, const uint8_t* message, size_t size) {
    const TExpandedSeed expanded = Expand(seed);
    const TPublicKey key = Encode(MultiplyBase(expanded.Scalar));
    TSha512 nonceHash;
    nonceHash.Update(expanded.Prefix.data(), expanded.Prefix.size());
    nonceHash.Update(message, size);
    const TBytes nonce = ReduceDigest(nonceHash.Final());
    const TBytes encodedR = Encode(MultiplyBase(nonce));
    const TBytes s = MultiplyAddModOrder(Challenge(encodedR.data(), key, message, size), expanded.Scalar, nonce);
    TSignature signature;
    for (int i = 0; i < 32; ++i) {
        signature[i] = encodedR[i];
        signature[32 + i] = s[i];
    }
    return signature;
}

// R is not decoded: [s]B - [k]A is computed and encoded, and must give R's bytes exactly, which
// only a canonical encoding of a point can. That point is then R, and it must not be of small order.
bool Verify(const TPublicKey& key, const uint8_t* message, size_t size, const TSignature& signature) {
    const uint8_t* encodedR = signature.data();
    const uint8_t* encodedS = signature.data() + 32;
    if (!IsBelowOrder(encodedS)) return false;
    TPoint a;
    if (!Decode(key.data(), a) || HasSmallOrder(TProjective{a.X, a.Y, a.Z})) return false;
    TBytes s;
    for (int i = 0; i < 32; ++i) s[i] = encodedS[i];
    const TProjective r = MultiplyBaseMinusPoint(s, Challenge(encodedR, key, message, size), a);
    const TBytes encoded = Encode(r);
    for (int i = 0; i < 32; ++i)
        if (encoded[i] != encodedR[i]) return false;
    return !HasSmallOrder(r);
}

}  // namespace marlowen::Ed25519
