// Throughput of Blit (non-premultiplied "over" with exact integer arithmetic) against pixman's
// OVER on the same pixels (premultiplied beforehand, outside the timed loop) and against memcpy,
// for a 1024 x 1024 source onto an opaque destination. Counted in Mpixel/s of source.
//
// Two sources: "random" gives every pixel an independent alpha 0..255 (almost every pixel takes
// the full blend); "sprite" looks like skin art: runs of transparent and opaque pixels with
// half-transparent edges between them.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/BitmapDraw.h"

namespace {

using namespace marlowen;

constexpr int32_t kSize = 1024;
constexpr double kPixels = double{kSize} * kSize;

// xorshift32: the same pixels on every machine.
class TRandom {
public:
    uint32_t Next() {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 17;
        State_ ^= State_ << 5;
        return State_;
    }

private:
    uint32_t State_ = 2463534242u;
};

enum TSource { kRandom = 0, kSprite = 1 };

void MakeSource(TBitmap32& source, TSource kind) {
    TRandom random;
    source.SetSize(kSize, kSize);
    for (int32_t y = 0; y < kSize; ++y) {
        uint32_t* row = source.Row(y);
        int32_t run = 0;
        uint32_t alpha = 0;
        for (int32_t x = 0; x < kSize; ++x) {
            const uint32_t colour = random.Next() & 0x00FFFFFF;
            if (kind == kRandom) {
                alpha = random.Next() >> 24;
            } else if (run-- <= 0) {
                // Runs of 4..67 transparent or opaque pixels, each ended by 1..4 edge pixels.
                const uint32_t r = random.Next();
                alpha = (r & 1) ? 255 : 0;
                run = 4 + static_cast<int32_t>((r >> 1) & 63);
            }
            const bool edge = kind == kSprite && run < static_cast<int32_t>(random.Next() & 3);
            row[x] = (edge ? (random.Next() >> 24) : alpha) << 24 | colour;
        }
    }
}

void MakeOpaque(TBitmap32& dest) {
    TRandom random;
    dest.SetSize(kSize, kSize);
    for (int32_t y = 0; y < kSize; ++y)
        for (int32_t x = 0; x < kSize; ++x) dest.Row(y)[x] = 0xFF000000 | (random.Next() & 0x00FFFFFF);
}

void ReportPixels(benchmark::State& state) {
    state.counters["Mpixel/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPixels / 1e6, benchmark::Counter::kIsRate);
}

void BM_Blit(benchmark::State& state) {
    TBitmap32 source, dest;
    MakeSource(source, static_cast<TSource>(state.range(0)));
    MakeOpaque(dest);
    for (auto _ : state) {
        Blit(source, 0, 0, dest, 0, 0, kSize, kSize);
        benchmark::DoNotOptimize(dest.Bits());
        benchmark::ClobberMemory();
    }
    ReportPixels(state);
}

void BM_PixmanOver(benchmark::State& state) {
    TBitmap32 source, dest;
    MakeSource(source, static_cast<TSource>(state.range(0)));
    MakeOpaque(dest);
    // pixman takes premultiplied colours: c * a / 255, rounded.
    std::vector<uint32_t> premultiplied(static_cast<size_t>(kSize) * kSize);
    for (int32_t y = 0; y < kSize; ++y) {
        for (int32_t x = 0; x < kSize; ++x) {
            const uint32_t p = source.Row(y)[x], a = p >> 24;
            uint32_t out = a << 24;
            for (int shift = 0; shift < 24; shift += 8) out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
            premultiplied[static_cast<size_t>(y) * kSize + x] = out;
        }
    }
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSize, kSize, premultiplied.data(), kSize * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSize, kSize, dest.Bits(), kSize * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kSize, kSize);
        benchmark::DoNotOptimize(dest.Bits());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    ReportPixels(state);
}

void BM_Memcpy(benchmark::State& state) {
    TBitmap32 source, dest;
    MakeSource(source, kRandom);
    MakeOpaque(dest);
    for (auto _ : state) {
        std::memcpy(dest.Bits(), source.Bits(), static_cast<size_t>(kSize) * kSize * 4);
        benchmark::DoNotOptimize(dest.Bits());
        benchmark::ClobberMemory();
    }
    ReportPixels(state);
}

}  // namespace

BENCHMARK(BM_Blit)->ArgName("sprite")->Arg(kRandom)->Arg(kSprite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanOver)->ArgName("sprite")->Arg(kRandom)->Arg(kSprite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
