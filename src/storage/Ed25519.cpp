#include "storage/Ed25519.h"

#include "storage/Sha512.h"

namespace marlowen::Ed25519 {

namespace {

using TBytes = std::array<uint8_t, 32>;

// ---- The field of integers mod p = 2^255 - 19 ----

// Sixteen 16-bit limbs held in signed 64-bit words: a product of sums of limbs fits with room to
// spare, so no 128-bit arithmetic is needed and 32-bit and 64-bit builds compute alike. Limbs may
// run a little negative or above 2^16 between operations; Pack gives the one canonical value.
struct TField {
    int64_t Limb[16];
};

constexpr int64_t kLimbBase = 65536;
constexpr TField kPrime = {{0xffed, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff,
                            0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0x7fff}};

// Exponents for Pow, little-endian: each is a low byte, thirty 0xff bytes and a high byte.
struct TExponent {
    uint8_t Bytes[32];
};

constexpr TExponent AllOnesBetween(uint8_t low, uint8_t high) {
    TExponent exponent{};
    exponent.Bytes[0] = low;
    for (int i = 1; i < 31; ++i) exponent.Bytes[i] = 0xff;
    exponent.Bytes[31] = high;
    return exponent;
}

constexpr TExponent kPMinus2 = AllOnesBetween(0xeb, 0x7f);
constexpr TExponent kPMinus5Over8 = AllOnesBetween(0xfd, 0x0f);
constexpr TExponent kPMinus1Over4 = AllOnesBetween(0xfb, 0x1f);

TField FieldOf(int64_t small) {
    TField f{};
    f.Limb[0] = small;
    return f;
}

// Floor division by 2^16. The bias keeps the shifted value non-negative, where >> is well defined.
int64_t FloorByBase(int64_t x) {
    constexpr int64_t kBias = int64_t{1} << 62;
    return ((x + kBias) >> 16) - (kBias >> 16);
}

// Moves each limb's excess to the next one; what leaves the top re-enters at the bottom times 38,
// because 2^256 = 38 (mod p).
void Carry(TField& f) {
    for (int i = 0; i < 16; ++i) {
        const int64_t carry = FloorByBase(f.Limb[i]);
        f.Limb[i] -= carry * kLimbBase;
        if (i < 15)
            f.Limb[i + 1] += carry;
        else
            f.Limb[0] += 38 * carry;
    }
}

TField Add(const TField& a, const TField& b) {
    TField sum;
    for (int i = 0; i < 16; ++i) sum.Limb[i] = a.Limb[i] + b.Limb[i];
    return sum;
}

TField Sub(const TField& a, const TField& b) {
    TField difference;
    for (int i = 0; i < 16; ++i) difference.Limb[i] = a.Limb[i] - b.Limb[i];
    return difference;
}

TField Negate(const TField& a) { return Sub(FieldOf(0), a); }

// Folds a 31-limb product back to 16 limbs.
TField Fold(const int64_t (&wide)[31]) {
    TField f;
    for (int i = 0; i < 16; ++i) f.Limb[i] = wide[i] + (i < 15 ? 38 * wide[i + 16] : 0);
    Carry(f);
    Carry(f);
    return f;
}

TField Mul(const TField& a, const TField& b) {
    int64_t wide[31] = {};
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) wide[i + j] += a.Limb[i] * b.Limb[j];
    return Fold(wide);
}

// Each cross product appears twice in a square, so it is computed once.
TField Square(const TField& a) {
    int64_t wide[31] = {};
    for (int i = 0; i < 16; ++i) {
        wide[2 * i] += a.Limb[i] * a.Limb[i];
        for (int j = i + 1; j < 16; ++j) wide[i + j] += 2 * a.Limb[i] * a.Limb[j];
    }
    return Fold(wide);
}

// The exponent is a public constant, so branching on its bits reveals nothing.
TField Pow(const TField& base, const TExponent& exponent) {
    TField result = FieldOf(1);
    for (int bit = 255; bit >= 0; --bit) {
        result = Square(result);
        if ((exponent.Bytes[bit / 8] >> (bit % 8)) & 1) result = Mul(result, base);
    }
    return result;
}

TField Invert(const TField& a) { return Pow(a, kPMinus2); }

// a becomes b when pick is 1 and stays when it is 0, without a branch on secret bits.
void Select(TField& a, const TField& b, int64_t pick) {
    for (int i = 0; i < 16; ++i) a.Limb[i] += (b.Limb[i] - a.Limb[i]) * pick;
}

// Subtracts p once if that does not go below zero; the limbs must already be in [0, 2^16).
void SubtractPrimeIfNotBelow(TField& f) {
    TField reduced;
    int64_t borrow = 0;
    for (int i = 0; i < 16; ++i) {
        reduced.Limb[i] = f.Limb[i] - kPrime.Limb[i] + borrow;
        borrow = FloorByBase(reduced.Limb[i]);
        reduced.Limb[i] -= borrow * kLimbBase;
    }
    Select(f, reduced, borrow + 1);
}

// The canonical little-endian encoding of the value mod p.
TBytes Pack(const TField& a) {
    TField f = a;
    // Three passes settle every limb into [0, 2^16), leaving a value below 2^256 < 3p.
    Carry(f);
    Carry(f);
    Carry(f);
    SubtractPrimeIfNotBelow(f);
    SubtractPrimeIfNotBelow(f);
    TBytes bytes;
    for (int i = 0; i < 16; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(f.Limb[i] & 0xff);
        bytes[2 * i + 1] = static_cast<uint8_t>(f.Limb[i] >> 8);
    }
    return bytes;
}

// Reads 255 bits; the top bit belongs to the point encoding, not to the number.
TField Unpack(const uint8_t* bytes) {
    TField f;
    for (int i = 0; i < 16; ++i) f.Limb[i] = int64_t{bytes[2 * i]} | int64_t{bytes[2 * i + 1]} << 8;
    f.Limb[15] &= 0x7fff;
    return f;
}

bool Equal(const TField& a, const TField& b) { return Pack(a) == Pack(b); }

int LowBit(const TField& a) { return Pack(a)[0] & 1; }

struct TCurveConstants {
    TField D;
    TField TwiceD;
    TField SqrtMinusOne;
};

// Derived from their definitions rather than typed in as digits.
TCurveConstants MakeCurveConstants() {
    TCurveConstants constants;
    constants.D = Mul(FieldOf(-121665), Invert(FieldOf(121666)));
    constants.TwiceD = Add(constants.D, constants.D);
    constants.SqrtMinusOne = Pow(FieldOf(2), kPMinus1Over4);
    return constants;
}

const TCurveConstants& Curve() {
    static const TCurveConstants constants = MakeCurveConstants();
    return constants;
}

// ---- Points in extended coordinates: x = X/Z, y = Y/Z, x*y = T/Z ----

struct TPoint {
    TField X, Y, Z, T;
};

TPoint Identity() { return {FieldOf(0), FieldOf(1), FieldOf(1), FieldOf(0)}; }

// The unified addition formula; it is complete on this curve, so any two points may meet.
TPoint AddPoints(const TPoint& p, const TPoint& q) {
    const TField a = Mul(Sub(p.Y, p.X), Sub(q.Y, q.X));
    const TField b = Mul(Add(p.Y, p.X), Add(q.Y, q.X));
    const TField c = Mul(Mul(p.T, q.T), Curve().TwiceD);
    const TField zz = Mul(p.Z, q.Z);
    const TField d = Add(zz, zz);
    const TField e = Sub(b, a), f = Sub(d, c), g = Add(d, c), h = Add(b, a);
    return {Mul(e, f), Mul(g, h), Mul(f, g), Mul(e, h)};
}

// Fewer multiplications than AddPoints(p, p), and doublings dominate a scalar multiplication.
TPoint DoublePoint(const TPoint& p) {
    const TField a = Square(p.X);
    const TField b = Square(p.Y);
    const TField zz = Square(p.Z);
    const TField c = Add(zz, zz);
    const TField h = Add(a, b);
    const TField e = Sub(h, Square(Add(p.X, p.Y)));
    const TField g = Sub(a, b);
    const TField f = Add(c, g);
    return {Mul(e, f), Mul(g, h), Mul(f, g), Mul(e, h)};
}

void SelectPoint(TPoint& a, const TPoint& b, int64_t pick) {
    Select(a.X, b.X, pick);
    Select(a.Y, b.Y, pick);
    Select(a.Z, b.Z, pick);
    Select(a.T, b.T, pick);
}

// The multiples 0..15 of a point, for four bits of scalar at a time.
using TMultiples = std::array<TPoint, 16>;

TMultiples MultiplesOf(const TPoint& point) {
    TMultiples multiples;
    multiples[0] = Identity();
    multiples[1] = point;
    for (int i = 2; i < 16; ++i)
        multiples[i] = i % 2 == 0 ? DoublePoint(multiples[i / 2]) : AddPoints(multiples[i - 1], point);
    return multiples;
}

// Reads every entry, so neither timing nor memory access depends on the index.
TPoint Lookup(const TMultiples& multiples, unsigned index) {
    TPoint entry = Identity();
    for (unsigned i = 0; i < 16; ++i) {
        const unsigned differs = ((i ^ index) + 15) >> 4;  // 0 or 1, as both are below 16
        SelectPoint(entry, multiples[i], 1 - static_cast<int64_t>(differs));
    }
    return entry;
}

// Four doublings and one addition per four bits whatever their value: the scalar may be secret.
TPoint ScalarMultiply(const TBytes& scalar, const TPoint& point) {
    const TMultiples multiples = MultiplesOf(point);
    TPoint result = Identity();
    for (int nibble = 63; nibble >= 0; --nibble) {
        for (int i = 0; i < 4; ++i) result = DoublePoint(result);
        result = AddPoints(result, Lookup(multiples, (scalar[nibble / 2] >> (4 * (nibble % 2))) & 15));
    }
    return result;
}

TBytes Encode(const TPoint& point) {
    const TField zInverse = Invert(point.Z);
    TBytes bytes = Pack(Mul(point.Y, zInverse));
    bytes[31] |= static_cast<uint8_t>(LowBit(Mul(point.X, zInverse)) << 7);
    return bytes;
}

// A root of u/v if there is one: x = u v^3 (u v^7)^((p-5)/8) squares to +-u/v.
bool SquareRootOfRatio(const TField& u, const TField& v, TField& root) {
    const TField v3 = Mul(Square(v), v);
    const TField v7 = Mul(Square(v3), v);
    root = Mul(Mul(u, v3), Pow(Mul(u, v7), kPMinus5Over8));
    const TField check = Mul(v, Square(root));
    if (Equal(check, u)) return true;
    if (!Equal(check, Negate(u))) return false;
    root = Mul(root, Curve().SqrtMinusOne);
    return true;
}

// Strict decoding: y must be below p, x must exist, and x = 0 must not carry the sign bit.
bool Decode(const uint8_t* bytes, TPoint& point) {
    const TField y = Unpack(bytes);
    TBytes canonical = Pack(y);
    canonical[31] |= bytes[31] & 0x80;
    for (int i = 0; i < 32; ++i)
        if (canonical[i] != bytes[i]) return false;
    const int sign = bytes[31] >> 7;
    const TField ySquared = Square(y);
    const TField u = Sub(ySquared, FieldOf(1));
    const TField v = Add(Mul(ySquared, Curve().D), FieldOf(1));
    TField x;
    if (!SquareRootOfRatio(u, v, x)) return false;
    if (sign == 1 && Equal(x, FieldOf(0))) return false;
    if (LowBit(x) != sign) x = Negate(x);
    point = {x, y, FieldOf(1), Mul(x, y)};
    return true;
}

const TPoint& BasePoint() {
    // y = 4/5 with an even x.
    static const TPoint base = [] {
        TBytes encoding;
        encoding.fill(0x66);
        encoding[0] = 0x58;
        TPoint point = Identity();
        Decode(encoding.data(), point);
        return point;
    }();
    return base;
}

// ---- Scalars mod the group order L = 2^252 + 27742317777372353535851937790883648493 ----

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

// Bit by bit from the top, keeping the remainder below L: slow, but plainly right and branch-free.
TBytes ReduceModOrder(const uint8_t (&wide)[64]) {
    uint32_t r[8] = {};
    for (int bit = 511; bit >= 0; --bit) {
        for (int i = 7; i > 0; --i) r[i] = r[i] << 1 | r[i - 1] >> 31;
        r[0] = r[0] << 1 | ((wide[bit / 8] >> (bit % 8)) & 1);
        SubtractOrderIfNotBelow(r);
    }
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

TPublicKey PublicKeyOf(const TSeed& seed) { return Encode(ScalarMultiply(Expand(seed).Scalar, BasePoint())); }

TSignature Sign(const TSeed& seed, const uint8_t* message, size_t size) {
    const TExpandedSeed expanded = Expand(seed);
    const TPublicKey key = Encode(ScalarMultiply(expanded.Scalar, BasePoint()));
    TSha512 nonceHash;
    nonceHash.Update(expanded.Prefix.data(), expanded.Prefix.size());
    nonceHash.Update(message, size);
    const TBytes nonce = ReduceDigest(nonceHash.Final());
    const TBytes encodedR = Encode(ScalarMultiply(nonce, BasePoint()));
    const TBytes s = MultiplyAddModOrder(Challenge(encodedR.data(), key, message, size), expanded.Scalar, nonce);
    TSignature signature;
    for (int i = 0; i < 32; ++i) {
        signature[i] = encodedR[i];
        signature[32 + i] = s[i];
    }
    return signature;
}

namespace {

// A point of order 1, 2, 4 or 8: [8]P is the identity. A key or R of such a point lets one
// signature hold for many messages or keys, so the careful verifiers refuse them.
bool HasSmallOrder(const TPoint& point) {
    const TPoint eight = DoublePoint(DoublePoint(DoublePoint(point)));
    return Encode(eight) == Encode(Identity());
}

}  // namespace

bool Verify(const TPublicKey& key, const uint8_t* message, size_t size, const TSignature& signature) {
    const uint8_t* encodedR = signature.data();
    const uint8_t* encodedS = signature.data() + 32;
    if (!IsBelowOrder(encodedS)) return false;
    TPoint a, r;
    if (!Decode(key.data(), a) || !Decode(encodedR, r)) return false;
    if (HasSmallOrder(a) || HasSmallOrder(r)) return false;
    TBytes s;
    for (int i = 0; i < 32; ++i) s[i] = encodedS[i];
    const TBytes k = Challenge(encodedR, key, message, size);
    return Encode(ScalarMultiply(s, BasePoint())) == Encode(AddPoints(r, ScalarMultiply(k, a)));
}

}  // namespace marlowen::Ed25519
