#include "skin/BoxFilter.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "skin/Bitmap32.h"
#include "skin/Image8.h"

namespace marlowen {

TBoxFilter::TAxis TBoxFilter::MakeAxis(int32_t sourceStart, int32_t sourceLength, int32_t destLength, int32_t from,
                                       int32_t to) {
    TAxis axis;
    const int64_t g = std::gcd<int64_t>(sourceLength, destLength);
    const int64_t s = sourceLength / g;  // destination pixel length in the common measure
    const int64_t d = destLength / g;    // source pixel length in the common measure
    axis.Total = static_cast<uint32_t>(s);
    axis.Factor = static_cast<int32_t>(d);
    axis.SourceStart = sourceStart;
    axis.From = from;
    const auto count = static_cast<size_t>(std::max(to - from, 0));
    axis.Start.reserve(count + 1);
    axis.Inside.reserve(count);
    axis.Taps.reserve(count * static_cast<size_t>(s / d + 2));
    // The first source pixel under destination pixel k only moves forward with k: one division.
    int64_t first = int64_t{from} * s / d;
    for (int64_t k = from; k < to; ++k) {
        const auto start = static_cast<uint32_t>(axis.Taps.size());
        axis.Start.push_back(start);
        const int64_t begin = k * s;
        const int64_t end = begin + s;
        while ((first + 1) * d <= begin) ++first;
        for (int64_t j = first; j * d < end; ++j) {
            const int64_t overlap = std::min(end, (j + 1) * d) - std::max(begin, j * d);
            axis.Taps.push_back({static_cast<int32_t>(sourceStart + j), static_cast<uint32_t>(overlap)});
        }
        axis.Inside.push_back(axis.Taps.size() - start == 1 ? axis.Taps[start].Source : -1);
    }
    axis.Start.push_back(static_cast<uint32_t>(axis.Taps.size()));
    return axis;
}

TBoxFilter::TBoxFilter(const TRect& source, int32_t destWidth, int32_t destHeight, const TRect& visible)
    : X_(MakeAxis(source.Left, source.Right - source.Left, destWidth, visible.Left, visible.Right)),
      Y_(MakeAxis(source.Top, source.Bottom - source.Top, destHeight, visible.Top, visible.Bottom)),
      // sum w a c <= W * 255 * 255 must fit: W up to 66051.
      Narrow_(uint64_t{X_.Total} * Y_.Total <= 66051) {}

bool TBoxFilter::Uniform(const TBitmap32& source, int32_t x, int32_t y, uint32_t& pixel) const {
    pixel = source.Row(Y_.First(y).Source)[X_.First(x).Source];
    for (uint32_t ty = Y_.Start[y]; ty < Y_.Start[y + 1]; ++ty) {
        const uint32_t* row = source.Row(Y_.Taps[ty].Source);
        for (uint32_t tx = X_.Start[x]; tx < X_.Start[x + 1]; ++tx) {
            if (row[X_.Taps[tx].Source] != pixel) return false;
        }
    }
    return true;
}

template <class TSum>
uint32_t TBoxFilter::MixPixel(const TBitmap32& source, int32_t x, int32_t y) const {
    // Equal pixels average to themselves (A = W a: the sums give back a and every c exactly).
    uint32_t same = 0;
    if (Uniform(source, x, y, same)) return (same >> 24) != 0 ? same : 0;
    TSum a = 0, r = 0, g = 0, b = 0;
    for (uint32_t ty = Y_.Start[y]; ty < Y_.Start[y + 1]; ++ty) {
        const uint32_t* row = source.Row(Y_.Taps[ty].Source);
        const TSum wy = Y_.Taps[ty].Weight;
        for (uint32_t tx = X_.Start[x]; tx < X_.Start[x + 1]; ++tx) {
            const uint32_t p = row[X_.Taps[tx].Source];
            const TSum wa = wy * X_.Taps[tx].Weight * (p >> 24);
            a += wa;
            r += wa * ((p >> 16) & 0xFF);
            g += wa * ((p >> 8) & 0xFF);
            b += wa * (p & 0xFF);
        }
    }
    if (a == 0) return 0;
    const TSum total = static_cast<TSum>(X_.Total) * Y_.Total;
    const TSum alpha = (a + total / 2) / total;
    const TSum half = a / 2;
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>((r + half) / a) << 16 |
           static_cast<uint32_t>((g + half) / a) << 8 | static_cast<uint32_t>((b + half) / a);
}

void TBoxFilter::ResampleRow(const TBitmap32& source, int32_t y, uint32_t* d) const {
    const int32_t w = X_.Count();
    if (Y_.Single(y) && X_.Total == 1) {
        // A whole factor across: each source pixel repeated, run by run.
        const uint32_t* s = source.Row(Y_.First(y).Source) + X_.SourceStart + X_.From / X_.Factor;
        int32_t run = X_.Factor - X_.From % X_.Factor;
        for (int32_t x = 0; x < w; ++s, run = X_.Factor) {
            const uint32_t p = *s;
            for (const int32_t end = std::min(x + run, w); x < end; ++x) d[x] = p;
        }
        return;
    }
    if (Y_.Single(y)) {
        const uint32_t* s = source.Row(Y_.First(y).Source);
        const int32_t* inside = X_.Inside.data();
        for (int32_t x = 0; x < w; ++x) {
            if (inside[x] >= 0) {
                d[x] = s[inside[x]];
            } else {
                d[x] = Narrow_ ? MixPixel<uint32_t>(source, x, y) : MixPixel<uint64_t>(source, x, y);
            }
        }
        return;
    }
    for (int32_t x = 0; x < w; ++x) d[x] = Narrow_ ? MixPixel<uint32_t>(source, x, y) : MixPixel<uint64_t>(source, x, y);
}

void TBoxFilter::Resample(const TBitmap32& source, TBitmap32& out) const {
    const int32_t w = X_.Count();
    const int32_t h = Y_.Count();
    out.SetSize(w, h);
    if (w <= 0 || h <= 0 || out.Width() != w || out.Height() != h) return;
    for (int32_t y = 0; y < h; ++y) {
        // Rows inside the same source row come out alike: copied (every row at 200 % but the first).
        if (RepeatsRow(y)) {
            std::memcpy(out.Row(y), out.Row(y - 1), sizeof(uint32_t) * static_cast<size_t>(w));
        } else {
            ResampleRow(source, y, out.Row(y));
        }
    }
}

void TBoxFilter::Resample(const TImage8& source, TImage8& out) const {
    const int32_t w = X_.Count();
    const int32_t h = Y_.Count();
    out.SetSize(w, h);
    if (w <= 0 || h <= 0 || out.Width() != w || out.Height() != h) return;
    const uint64_t total = uint64_t{X_.Total} * Y_.Total;
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* d = out.Row(y);
        if (RepeatsRow(y)) {
            std::memcpy(d, out.Row(y - 1), static_cast<size_t>(w));
            continue;
        }
        const uint8_t* inside = Y_.Single(y) ? source.Row(Y_.First(y).Source) : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            if (inside != nullptr && X_.Inside[x] >= 0) {
                d[x] = inside[X_.Inside[x]];
                continue;
            }
            uint64_t sum = 0;
            for (uint32_t ty = Y_.Start[y]; ty < Y_.Start[y + 1]; ++ty) {
                const uint8_t* row = source.Row(Y_.Taps[ty].Source);
                uint64_t across = 0;
                for (uint32_t tx = X_.Start[x]; tx < X_.Start[x + 1]; ++tx) {
                    across += uint64_t{X_.Taps[tx].Weight} * row[X_.Taps[tx].Source];
                }
                sum += across * Y_.Taps[ty].Weight;
            }
            d[x] = static_cast<uint8_t>((sum + total / 2) / total);
        }
    }
}

}  // namespace marlowen
