#pragma once

#include <cstdint>

// Inline pixel kernels shared by the bitmap operations. Every division they do is an exact
// integer division replaced by a multiply and shift over a proven operand range (the unit tests
// check those ranges exhaustively), so the results are the truncated quotients bit for bit.
namespace marlowen::pixel {

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kColourMask = 0x00FFFFFFu;

// x div 255 for 0 <= x <= 65534.
inline uint32_t Div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// x div 255 = (x * kDiv255Multiplier) >> kDiv255Shift for 0 <= x <= 65535 (the vector form).
constexpr uint32_t kDiv255Multiplier = 0x8081;
constexpr int kDiv255Shift = 23;

// Div255 of two 16-bit lanes at once (bits 0-15 and 16-31), each lane 0..65025.
inline uint32_t Div255Pair(uint32_t x) {
    return ((x + 0x00010001u + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// ceil(2^24 / n) for n = 1..255 (entry 0 unused): x div n = (x * r) >> 24 for 0 <= x <= 255 n,
// and the product stays below 2^32.
struct TReciprocals {
    uint32_t Values[256];
    constexpr TReciprocals() : Values{} {
        for (uint32_t n = 1; n < 256; ++n) Values[n] = ((1u << 24) + n - 1) / n;
    }
};
inline constexpr TReciprocals kReciprocals{};

// x div n for 1 <= n <= 255 and 0 <= x <= 255 n.
inline uint32_t DivSmall(uint32_t x, uint32_t n) { return (x * kReciprocals.Values[n]) >> 24; }

// Blends the colour of src (its alpha byte ignored) with alpha a (0..255) over an opaque dst:
// the composed alpha is 255, each channel ((255 - a) dst + a src) div 255. For a = 0 this is dst
// and for a = 255 the colour of src, so it serves every alpha over an opaque pixel.
inline uint32_t LerpOpaque(uint32_t dst, uint32_t src, uint32_t a) {
    const uint32_t na = 255 - a;
    const uint32_t rb = Div255Pair((dst & 0x00FF00FFu) * na + (src & 0x00FF00FFu) * a);
    const uint32_t g = Div255(((dst >> 8) & 0xFFu) * na + ((src >> 8) & 0xFFu) * a);
    return kAlphaMask | rb | g << 8;
}

// The general "over" composition of src's colour with alpha a (0..255) onto dst of any alpha d:
// n = a + d - (a d) div 255; when n > 0 the alpha becomes n and each channel
// ((n - a) dst + a src) div n; n = 0 leaves dst.
inline uint32_t BlendOver(uint32_t dst, uint32_t src, uint32_t a) {
    const uint32_t d = dst >> 24;
    const uint32_t n = a + d - Div255(a * d);
    if (n == 0) return dst;
    const uint32_t na = n - a;
    const uint32_t r = kReciprocals.Values[n];
    const uint32_t b = ((na * (dst & 0xFFu) + a * (src & 0xFFu)) * r) >> 24;
    const uint32_t g = ((na * ((dst >> 8) & 0xFFu) + a * ((src >> 8) & 0xFFu)) * r) >> 24;
    const uint32_t rr = ((na * ((dst >> 16) & 0xFFu) + a * ((src >> 16) & 0xFFu)) * r) >> 24;
    return n << 24 | rr << 16 | g << 8 | b;
}

// The blend rules of the copies and masks for an effective alpha a: 255 stores whole (the full
// source value), 0 leaves dst, anything else composes src's colour with alpha a. Opaque and fully
// transparent destinations take exact shortcuts of the same formula.
inline uint32_t Over(uint32_t dst, uint32_t whole, uint32_t a) {
    if (a == 255) return whole;
    if (a == 0) return dst;
    const uint32_t d = dst >> 24;
    if (d == 255) return LerpOpaque(dst, whole, a);
    if (d == 0) return (whole & kColourMask) | a << 24;
    return BlendOver(dst, whole, a);
}

}  // namespace marlowen::pixel
