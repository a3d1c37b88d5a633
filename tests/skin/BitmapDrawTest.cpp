#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "skin/BitmapDraw.h"
#include "skin/PixelBlend.h"

namespace marlowen {
namespace {

void Fill(TBitmap32& bitmap, int32_t w, int32_t h, const std::vector<uint32_t>& pixels) {
    bitmap.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) bitmap.Row(y)[x] = pixels[static_cast<size_t>(y * w + x)];
}

std::vector<uint32_t> Pixels(const TBitmap32& bitmap) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Row(y)[x]);
    return pixels;
}

// Pixels whose alphas are often 0 and 255, so that every path of the blend is taken.
void FillRandom(TBitmap32& bitmap, int32_t w, int32_t h, std::mt19937& random) {
    bitmap.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint32_t p = random();
            if (p % 5 == 0) p &= 0x00FFFFFF;
            else if (p % 5 == 1) p |= 0xFF000000;
            bitmap.Row(y)[x] = p;
        }
    }
}

// The blend rules by their plain formula: one division per channel.
uint32_t ReferenceOver(uint32_t dst, uint32_t whole, uint32_t a) {
    if (a == 255) return whole;
    if (a == 0) return dst;
    const uint32_t d = dst >> 24, n = a + d - a * d / 255;
    uint32_t out = n << 24;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((n - a) * ((dst >> shift) & 0xFF) + a * ((whole >> shift) & 0xFF)) / n << shift;
    return out;
}

TEST(BitmapKernels, DivisionTricksAreExactOverTheirRanges) {
    for (uint32_t x = 0; x <= 65025; ++x) {
        ASSERT_EQ(pixel::Div255(x), x / 255) << x;
        ASSERT_EQ((x * pixel::kDiv255Multiplier) >> pixel::kDiv255Shift, x / 255) << x;
        for (uint32_t other : {0u, 65025u, x}) {
            ASSERT_EQ(pixel::Div255Pair(x << 16 | other), (x / 255) << 16 | other / 255) << x << " " << other;
            ASSERT_EQ(pixel::Div255Pair(other << 16 | x), (other / 255) << 16 | x / 255) << x << " " << other;
        }
    }
    for (uint32_t n = 1; n <= 255; ++n)
        for (uint32_t x = 0; x <= 255 * n; ++x) ASSERT_EQ(pixel::DivSmall(x, n), x / n) << x << "/" << n;
}

TEST(BitmapKernels, BlendsMatchThePlainFormula) {
    // Over an opaque pixel: every alpha and every pair of channel values.
    for (uint32_t a = 0; a <= 255; ++a) {
        for (uint32_t dc = 0; dc <= 255; ++dc) {
            const uint32_t dst = 0xFF000000 | dc << 16 | (255 - dc) << 8 | (dc ^ 0x5A);
            for (uint32_t sc = 0; sc <= 255; ++sc) {
                const uint32_t src = (sc ^ 0x33) << 16 | sc << 8 | (255 - sc);
                const uint32_t expected = a == 255 ? (src | 0xFF000000) : a == 0 ? dst : ReferenceOver(dst, src, a);
                ASSERT_EQ(pixel::LerpOpaque(dst, src, a), expected) << a << " " << dc << " " << sc;
            }
        }
    }
    // Any alpha pair, sample channels.
    const uint32_t channels[] = {0, 1, 77, 128, 254, 255};
    for (uint32_t a = 1; a <= 254; ++a) {
        for (uint32_t d = 0; d <= 255; ++d) {
            for (uint32_t dc : channels) {
                for (uint32_t sc : channels) {
                    const uint32_t dst = d << 24 | dc << 16 | sc << 8 | dc, src = a << 24 | sc << 16 | dc << 8 | sc;
                    ASSERT_EQ(pixel::BlendOver(dst, src, a), ReferenceOver(dst, src, a)) << a << " " << d;
                    ASSERT_EQ(pixel::Over(dst, src, a), ReferenceOver(dst, src, a)) << a << " " << d;
                }
            }
        }
    }
}

TEST(BitmapDraw, BlitBlendsHalfTransparentRed) {
    TBitmap32 source, dest;
    Fill(source, 1, 1, {0x80FF0000});
    Fill(dest, 2, 1, {0xFF000000, 0x00000000});
    Blit(source, 0, 0, dest, 0, 0, 1, 1);
    Blit(source, 0, 0, dest, 1, 0, 1, 1);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xFF800000, 0x80FF0000}));
}

TEST(BitmapDraw, BlitClipsBothStartsByTheLargerOverhang) {
    std::mt19937 random(7);
    TBitmap32 source, dest, before;
    FillRandom(source, 37, 23, random);
    FillRandom(dest, 31, 19, random);
    before.Assign(dest);
    // x: overhang 1 -> source 4.., dest 0..30; y: overhang 2 -> source 0.., dest 6..18.
    Blit(source, 3, -2, dest, -1, 4, 40, 30);
    for (int32_t y = 0; y < 19; ++y) {
        for (int32_t x = 0; x < 31; ++x) {
            uint32_t expected = before.Row(y)[x];
            if (y >= 6) {
                const uint32_t s = source.Row(y - 6)[x + 4];
                expected = ReferenceOver(expected, s, s >> 24);
            }
            ASSERT_EQ(dest.Row(y)[x], expected) << x << "," << y;
        }
    }
    before.Assign(dest);
    Blit(source, 0, 0, dest, 31, 0, 5, 5);  // past the right edge
    Blit(source, 0, 0, dest, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    Draw(dest, -37, 0, source);
    EXPECT_EQ(Pixels(dest), Pixels(before));
}

TEST(BitmapDraw, BlitOverOpaqueMatchesThePlainFormula) {
    // Every source alpha over opaque pixels, in runs that are wholly transparent, wholly opaque or
    // mixed, with a few non-opaque destination pixels and a width that leaves a ragged end.
    std::mt19937 random(11);
    TBitmap32 source, dest, before;
    const int32_t w = 259, h = 40;
    source.SetSize(w, h);
    dest.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t alpha = y == 0 ? 0 : y == 1 ? 255 : y == 2 ? ((x / 4) % 3 == 0 ? 0 : 255) : (x * 3 + y) & 255;
            source.Row(y)[x] = alpha << 24 | (random() & 0xFFFFFF);
            dest.Row(y)[x] = (y == 3 && x % 9 == 0 ? (random() & 0xFF000000) : 0xFF000000) | (random() & 0xFFFFFF);
        }
    }
    before.Assign(dest);
    Blit(source, 0, 0, dest, 0, 0, w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t s = source.Row(y)[x];
            ASSERT_EQ(dest.Row(y)[x], ReferenceOver(before.Row(y)[x], s, s >> 24)) << x << "," << y;
        }
    }
}

TEST(BitmapDraw, BlitOpacityScalesTheSourceAlpha) {
    TBitmap32 source, dest;
    Fill(source, 2, 1, {0xFF0000FF, 0xFF000000});
    Fill(dest, 2, 1, {0xFF000000, 0xFFFFFFFF});
    BlitOpacity(source, 0, 0, dest, 0, 0, 2, 1, 0);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF}));
    BlitOpacity(source, 0, 0, dest, 0, 0, 1, 1, 128);  // alpha 127: blue 127 * 255 div 255
    EXPECT_EQ(dest.Row(0)[0], 0xFF00007Fu);
    BlitOpacity(source, 1, 0, dest, 1, 0, 1, 1, 255);  // alpha 254 blends, never copies
    EXPECT_EQ(dest.Row(0)[1], 0xFF010101u);
    BlitOpacity(source, 0, 0, dest, 0, 0, 2, 1, 256);
    EXPECT_EQ(Pixels(dest), Pixels(source));
}

TEST(BitmapDraw, MasksTintWithTheColour) {
    TImage8 mask;
    mask.SetSize(3, 1);
    mask.Row(0)[0] = 255;
    mask.Row(0)[1] = 128;
    TBitmap32 dest;
    Fill(dest, 3, 1, {0xFF000000, 0xFF000000, 0xFF000000});
    DrawMask8(mask, 0, 0, dest, 0, 0, 3, 1, 0x00FFFFFF);  // colour alpha 0: nothing
    EXPECT_EQ(Pixels(dest), std::vector<uint32_t>(3, 0xFF000000));
    DrawMask8(mask, 0, 0, dest, 0, 0, 3, 1, 0xFF123456);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xFF123456, 0xFF091A2B, 0xFF000000}));
    Fill(dest, 1, 1, {0});
    DrawMask8(mask, 0, 0, dest, 0, 0, 1, 1, 0x7F123456);  // 255 * 128 >> 8 = 127
    EXPECT_EQ(dest.Row(0)[0], 0x7F123456u);

    TBitmap32 source;
    Fill(source, 3, 1, {0xFFABCDEF, 0x80ABCDEF, 0x00ABCDEF});
    Fill(dest, 3, 1, {0, 0, 0x40000000});
    DrawMask32(source, 0, 0, dest, 0, 0, 3, 1, 0x80123456);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0x80123456, 0x40123456, 0x40000000}));
    DrawMask32(source, 0, 0, dest, 0, 0, 3, 1, 0xFFFFFFFF);
    EXPECT_EQ(dest.Row(0)[0], 0xFFFFFFFFu);
}

TEST(BitmapDraw, TileDrawCutsTheLastTiles) {
    TBitmap32 tile, dest;
    Fill(tile, 2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    dest.SetSize(5, 4);
    TileDraw(dest, tile, -1, 1, 5, 3);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0, 0, 0, 0, 0,                                        //
                                                   0xFF000002, 0xFF000001, 0xFF000002, 0xFF000001, 0,  //
                                                   0xFF000004, 0xFF000003, 0xFF000004, 0xFF000003, 0,  //
                                                   0xFF000002, 0xFF000001, 0xFF000002, 0xFF000001, 0}));
    // An area starting far to the left reaches the bitmap without walking every tile before it.
    dest.SetSize(3, 1);
    TileDraw(dest, tile, -2000000001, 0, INT32_MAX, 1);
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xFF000002, 0xFF000001, 0xFF000002}));
    TBitmap32 empty;
    empty.SetSize(0, 2);
    TileDraw(dest, empty, 0, 0, 3, 1);
    EXPECT_EQ(dest.Row(0)[0], 0xFF000002u);
}

TEST(BitmapDraw, DrawFramePlacesTheEightPieces) {
    TBitmap32 pieces[8];
    const int32_t sizes[8][2] = {{2, 2}, {1, 1}, {3, 1}, {1, 1}, {2, 2}, {1, 1}, {1, 3}, {2, 1}};
    for (uint32_t i = 0; i < 8; ++i) {
        pieces[i].SetSize(sizes[i][0], sizes[i][1]);
        pieces[i].FillRect({0, 0, 9, 9}, 0xFF000000 | (i + 1));
    }
    TBitmap32 dest;
    dest.SetSize(8, 7);
    DrawFrame(dest, 0, 0, 8, 7, pieces[0], pieces[1], pieces[2], pieces[3], pieces[4], pieces[5], pieces[6],
              pieces[7]);
    const int expected[7][8] = {{1, 1, 2, 2, 2, 3, 3, 3}, {1, 1, 2, 2, 2, 0, 0, 4}, {8, 8, 0, 0, 0, 0, 0, 4},
                                {8, 8, 0, 0, 0, 0, 0, 4}, {7, 0, 0, 0, 0, 0, 0, 4}, {7, 0, 0, 0, 0, 0, 5, 5},
                                {7, 6, 6, 6, 6, 6, 5, 5}};
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(dest.Row(y)[x] & 0xFF, static_cast<uint32_t>(expected[y][x])) << x << "," << y;
}

TEST(BitmapDraw, StretchDrawPicksNearestPixels) {
    TBitmap32 source, dest;
    Fill(source, 2, 1, {0xA, 0xB});
    dest.SetSize(4, 1);
    StretchDraw(source, {0, 0, 1, 0}, dest, {0, 0, 3, 0}, {0, 0, 3, 0});
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xA, 0xA, 0xB, 0xB}));
    StretchDraw(source, {0, 0, 1, 0}, dest, {0, 0, 2, 0}, {0, 0, 9, 9});
    EXPECT_EQ(Pixels(dest), (std::vector<uint32_t>{0xA, 0xB, 0xB, 0xB}));

    // Clipped source, destination rectangle partly off the bitmap, a visible window inside it.
    std::mt19937 random(3);
    FillRandom(source, 7, 5, random);
    dest.SetSize(14, 6);
    dest.FillRect({0, 0, 13, 5}, 0x11111111);
    StretchDraw(source, {-2, 1, 5, 9}, dest, {-3, 2, 15, 6}, {1, 0, 12, 5});
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 14; ++x) {
            uint32_t expected = 0x11111111;
            if (x >= 1 && x <= 12 && y >= 2 && y <= 5)  // source (0, 1)-(5, 4): 6 x 4 onto 19 x 5
                expected = source.Row(1 + (2 * (y - 2) + 1) * 4 / 10)[(2 * (x + 3) + 1) * 6 / 38];
            ASSERT_EQ(dest.Row(y)[x], expected) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace marlowen
