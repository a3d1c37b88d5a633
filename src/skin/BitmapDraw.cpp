#include "skin/BitmapDraw.h"

#include <algorithm>

#include "skin/PixelBlend.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define MARLOWEN_BLIT_SSE2 1
#include <emmintrin.h>
#endif

namespace marlowen {

namespace {

// A copy after clipping; every field fits both bitmaps.
struct TCopyArea {
    int32_t Sx, Sy, Dx, Dy, Width, Height;
};

// Clips one axis of a copy; false when nothing is left.
bool ClipAxis(int64_t& s, int64_t& d, int64_t& length, int64_t sourceSize, int64_t destSize) {
    const int64_t overhang = std::max<int64_t>({0, -s, -d});
    s += overhang;
    d += overhang;
    length -= overhang;
    length = std::min({length, sourceSize - s, destSize - d});
    return length > 0;
}

bool ClipCopy(int32_t sourceWidth, int32_t sourceHeight, const TBitmap32& dest, int64_t sx, int64_t sy,
              int64_t dx, int64_t dy, int64_t width, int64_t height, TCopyArea& area) {
    if (!ClipAxis(sx, dx, width, sourceWidth, dest.Width()) || !ClipAxis(sy, dy, height, sourceHeight, dest.Height())) {
        return false;
    }
    area = {static_cast<int32_t>(sx), static_cast<int32_t>(sy), static_cast<int32_t>(dx),
            static_cast<int32_t>(dy), static_cast<int32_t>(width), static_cast<int32_t>(height)};
    return true;
}

// Blit of count pixels within a row, one at a time.
inline void BlitPixels(uint32_t* d, const uint32_t* s, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t sp = s[i];
        const uint32_t a = sp >> 24;
        if (a == 0) continue;
        if (a == 255) {
            d[i] = sp;
            continue;
        }
        const uint32_t dp = d[i];
        const uint32_t da = dp >> 24;
        if (da == 255) d[i] = pixel::LerpOpaque(dp, sp, a);
        else if (da == 0) d[i] = sp;  // n = a: the source colour, alpha a
        else d[i] = pixel::BlendOver(dp, sp, a);
    }
}

#ifdef MARLOWEN_BLIT_SSE2
// SSE2 code inside a build that may not assume it (i686): chosen at run time.
#define MARLOWEN_SSE2 __attribute__((target("sse2"), always_inline)) inline

// ((255 - a) d + a s) div 255 in 16-bit lanes holding 0..255.
MARLOWEN_SSE2 __m128i LerpLanes(__m128i d, __m128i s, __m128i a) {
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(d, _mm_xor_si128(a, _mm_set1_epi16(255))), _mm_mullo_epi16(s, a));
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<int16_t>(pixel::kDiv255Multiplier))),
                          pixel::kDiv255Shift - 16);
}

// The alpha lane of each of two unpacked pixels, copied to all four of its lanes.
MARLOWEN_SSE2 __m128i BroadcastAlpha(__m128i p) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// Four pixels at a time where they are all transparent, all opaque, or lie over four opaque
// pixels; the rest one at a time. Over an opaque pixel the composition is
// ((255 - a) dst + a src) div 255 per channel for every a (0 keeps dst, 255 gives src), in 16-bit
// lanes: both products and their sum stay within 65025, where x div 255 is the high half of
// x * kDiv255Multiplier shifted.
MARLOWEN_SSE2 void BlitFour(uint32_t* d, const uint32_t* s, __m128i sp) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int32_t>(pixel::kAlphaMask));
    const __m128i sa = _mm_and_si128(sp, alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF) return;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), sp);
        return;
    }
    const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dp, alphaMask), alphaMask)) != 0xFFFF) {
        BlitPixels(d, s, 4);
        return;
    }
    const __m128i sLo = _mm_unpacklo_epi8(sp, zero), sHi = _mm_unpackhi_epi8(sp, zero);
    const __m128i lo = LerpLanes(_mm_unpacklo_epi8(dp, zero), sLo, BroadcastAlpha(sLo));
    const __m128i hi = LerpLanes(_mm_unpackhi_epi8(dp, zero), sHi, BroadcastAlpha(sHi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(_mm_packus_epi16(lo, hi), alphaMask));
}

__attribute__((target("sse2"))) void BlitRowsSse2(const TBitmap32& source, TBitmap32& dest, const TCopyArea& c) {
    for (int32_t row = 0; row < c.Height; ++row) {
        const uint32_t* s = source.Row(c.Sy + row) + c.Sx;
        uint32_t* d = dest.Row(c.Dy + row) + c.Dx;
        int32_t i = 0;
        for (; i + 4 <= c.Width; i += 4) BlitFour(d + i, s + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        BlitPixels(d + i, s + i, c.Width - i);
    }
}

// Destination pixel i takes s[i div 2]: two source pixels, each twice, per step.
__attribute__((target("sse2"))) void BlitDoubledSse2(const uint32_t* s, uint32_t* d, int32_t count) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, s += 2) {
        const __m128i pair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
        const __m128i doubled = _mm_unpacklo_epi32(pair, pair);
        const uint32_t four[4] = {s[0], s[0], s[1], s[1]};
        BlitFour(d + i, four, doubled);
    }
    for (int32_t k = 0; i < count; ++i, ++k) BlitPixels(d + i, s + k / 2, 1);
}

bool HasSse2() {
#ifdef __SSE2__
    return true;
#else
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return has;
#endif
}
#undef MARLOWEN_SSE2
#endif

void BlitArea(const TBitmap32& source, TBitmap32& dest, const TCopyArea& c) {
#ifdef MARLOWEN_BLIT_SSE2
    // A bitmap drawn onto itself keeps the pixel-by-pixel order.
    if (&source != &dest && HasSse2()) return BlitRowsSse2(source, dest, c);
#endif
    for (int32_t row = 0; row < c.Height; ++row) BlitPixels(dest.Row(c.Dy + row) + c.Dx, source.Row(c.Sy + row) + c.Sx, c.Width);
}

void BlitImpl(const TBitmap32& source, int64_t sx, int64_t sy, TBitmap32& dest, int64_t dx, int64_t dy,
              int64_t width, int64_t height) {
    TCopyArea c;
    if (ClipCopy(source.Width(), source.Height(), dest, sx, sy, dx, dy, width, height, c)) BlitArea(source, dest, c);
}

void TileDrawImpl(TBitmap32& dest, const TBitmap32& tile, int64_t x, int64_t y, int64_t width, int64_t height) {
    const int64_t tw = tile.Width(), th = tile.Height();
    if (tw <= 0 || th <= 0 || width <= 0 || height <= 0) return;
    // Tiles that end left of or above the destination draw nothing: start at the first that can reach it.
    const int64_t cx0 = x < 0 ? -x / tw * tw : 0;
    const int64_t cy0 = y < 0 ? -y / th * th : 0;
    for (int64_t cx = cx0; cx < width && x + cx < dest.Width(); cx += tw) {
        const int64_t w = std::min(tw, width - cx);
        for (int64_t cy = cy0; cy < height && y + cy < dest.Height(); cy += th) {
            BlitImpl(tile, 0, 0, dest, x + cx, y + cy, w, std::min(th, height - cy));
        }
    }
}

// Inclusive rectangle r narrowed to [0, w - 1] x [0, h - 1] and to clip; false when empty.
bool ClipInclusive(TRect& r, int32_t w, int32_t h) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, w - 1);
    r.Bottom = std::min(r.Bottom, h - 1);
    return r.Left <= r.Right && r.Top <= r.Bottom;
}

}  // namespace

void Blit(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
          int32_t width, int32_t height) {
    BlitImpl(source, sx, sy, dest, dx, dy, width, height);
}

void BlitOpacity(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
                 int32_t width, int32_t height, int32_t opacity) {
    if (opacity < 1) return;
    if (opacity >= 256) return BlitImpl(source, sx, sy, dest, dx, dy, width, height);
    TCopyArea c;
    if (!ClipCopy(source.Width(), source.Height(), dest, sx, sy, dx, dy, width, height, c)) return;
    const uint32_t o = static_cast<uint32_t>(opacity);
    for (int32_t row = 0; row < c.Height; ++row) {
        const uint32_t* s = source.Row(c.Sy + row) + c.Sx;
        uint32_t* d = dest.Row(c.Dy + row) + c.Dx;
        for (int32_t i = 0; i < c.Width; ++i) {
            const uint32_t a = ((s[i] >> 24) * o) >> 8;
            if (a != 0) d[i] = pixel::Over(d[i], s[i], a);
        }
    }
}

void BlitDoubled(const uint32_t* sourceRow, int32_t first, uint32_t* destRow, int32_t count) {
    if (first < 0 || count <= 0) return;
    const uint32_t* s = sourceRow + first / 2;
    if (first % 2 != 0) {
        BlitPixels(destRow++, s++, 1);
        --count;
    }
#ifdef MARLOWEN_BLIT_SSE2
    if (HasSse2()) return BlitDoubledSse2(s, destRow, count);
#endif
    for (int32_t i = 0; i < count; ++i) BlitPixels(destRow + i, s + i / 2, 1);
}

void Draw(TBitmap32& dest, int32_t x, int32_t y, const TBitmap32& source) {
    BlitImpl(source, 0, 0, dest, x, y, source.Width(), source.Height());
}

void TileDraw(TBitmap32& dest, const TBitmap32& tile, int32_t x, int32_t y, int32_t width, int32_t height) {
    TileDrawImpl(dest, tile, x, y, width, height);
}

void DrawFrame(TBitmap32& dest, int32_t x, int32_t y, int32_t width, int32_t height, const TBitmap32& topLeft,
               const TBitmap32& top, const TBitmap32& topRight, const TBitmap32& right,
               const TBitmap32& bottomRight, const TBitmap32& bottom, const TBitmap32& bottomLeft,
               const TBitmap32& left) {
    // 64-bit positions: a frame far outside still clips instead of wrapping around.
    const int64_t x0 = x, y0 = y, x1 = x0 + width, y1 = y0 + height;
    BlitImpl(topLeft, 0, 0, dest, x0, y0, topLeft.Width(), topLeft.Height());
    TileDrawImpl(dest, top, x0 + topLeft.Width(), y0, x1 - topRight.Width() - (x0 + topLeft.Width()),
                 topLeft.Height());
    BlitImpl(topRight, 0, 0, dest, x1 - topRight.Width(), y0, topRight.Width(), topRight.Height());
    TileDrawImpl(dest, right, x1 - right.Width(), y0 + topRight.Height(), right.Width(),
                 y1 - bottomRight.Height() - (y0 + topRight.Height()));
    BlitImpl(bottomRight, 0, 0, dest, x1 - bottomRight.Width(), y1 - bottomRight.Height(), bottomRight.Width(),
             bottomRight.Height());
    TileDrawImpl(dest, bottom, x0 + bottomLeft.Width(), y1 - bottom.Height(),
                 x1 - bottomRight.Width() - (x0 + bottomLeft.Width()), bottom.Height());
    BlitImpl(bottomLeft, 0, 0, dest, x0, y1 - bottomLeft.Height(), bottomLeft.Width(), bottomLeft.Height());
    TileDrawImpl(dest, left, x0, y0 + topLeft.Height(), left.Width(),
                 y1 - bottomLeft.Height() - (y0 + topLeft.Height()));
}

void StretchDraw(const TBitmap32& source, const TRect& sourceRect, TBitmap32& dest, const TRect& destRect,
                 const TRect& visible) {
    TRect s = sourceRect;
    if (!ClipInclusive(s, source.Width(), source.Height())) return;
    if (destRect.Left > destRect.Right || destRect.Top > destRect.Bottom) return;
    TRect v{std::max(visible.Left, destRect.Left), std::max(visible.Top, destRect.Top),
            std::min(visible.Right, destRect.Right), std::min(visible.Bottom, destRect.Bottom)};
    if (!ClipInclusive(v, dest.Width(), dest.Height())) return;
    const int64_t sw = int64_t{s.Right} - s.Left + 1, sh = int64_t{s.Bottom} - s.Top + 1;
    const int64_t dw2 = 2 * (int64_t{destRect.Right} - destRect.Left + 1);
    const int64_t dh2 = 2 * (int64_t{destRect.Bottom} - destRect.Top + 1);
    // Column map stepped exactly: ((2k + 1) sw) div dw2 advances by 2 sw / dw2 per column.
    const int64_t k0 = int64_t{v.Left} - destRect.Left;
    const int64_t stepQ = 2 * sw / dw2, stepR = 2 * sw % dw2;
    for (int32_t y = v.Top; y <= v.Bottom; ++y) {
        const int64_t k = int64_t{y} - destRect.Top;
        const uint32_t* src = source.Row(static_cast<int32_t>(s.Top + (2 * k + 1) * sh / dh2)) + s.Left;
        uint32_t* d = dest.Row(y);
        int64_t q = (2 * k0 + 1) * sw / dw2, r = (2 * k0 + 1) * sw % dw2;
        for (int32_t x = v.Left; x <= v.Right; ++x) {
            d[x] = src[q];
            q += stepQ;
            r += stepR;
            if (r >= dw2) {
                r -= dw2;
                ++q;
            }
        }
    }
}

void DrawMask8(const TImage8& mask, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
               int32_t width, int32_t height, uint32_t colour) {
    const uint32_t ca1 = (colour >> 24) + 1;
    if (ca1 == 1) return;  // every effective alpha would be 0
    TCopyArea c;
    if (!ClipCopy(mask.Width(), mask.Height(), dest, sx, sy, dx, dy, width, height, c)) return;
    for (int32_t row = 0; row < c.Height; ++row) {
        const uint8_t* m = mask.Row(c.Sy + row) + c.Sx;
        uint32_t* d = dest.Row(c.Dy + row) + c.Dx;
        for (int32_t i = 0; i < c.Width; ++i) {
            const uint32_t a = (m[i] * ca1) >> 8;
            if (a != 0) d[i] = pixel::Over(d[i], colour, a);
        }
    }
}

void DrawMask32(const TBitmap32& source, int32_t sx, int32_t sy, TBitmap32& dest, int32_t dx, int32_t dy,
                int32_t width, int32_t height, uint32_t colour) {
    const uint32_t ca = colour >> 24;
    if (ca == 0) return;
    TCopyArea c;
    if (!ClipCopy(source.Width(), source.Height(), dest, sx, sy, dx, dy, width, height, c)) return;
    for (int32_t row = 0; row < c.Height; ++row) {
        const uint32_t* s = source.Row(c.Sy + row) + c.Sx;
        uint32_t* d = dest.Row(c.Dy + row) + c.Dx;
        for (int32_t i = 0; i < c.Width; ++i) {
            const uint32_t a = pixel::Div255((s[i] >> 24) * ca);
            if (a != 0) d[i] = pixel::Over(d[i], colour, a);
        }
    }
}

}  // namespace marlowen
