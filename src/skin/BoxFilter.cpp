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
    axis.Start.reserve(static_cast<size_t>(to - from) + 1);
    for (int64_t k = from; k < to; ++k) {
        axis.Start.push_back(static_cast<uint32_t>(axis.Taps.size()));
        const int64_t begin = k * s;
        const int64_t end = begin + s;
        for (int64_t j = begin / d; j * d < end; ++j) {
            const int64_t overlap = std::min(end, (j + 1) * d) - std::max(begin, j * d);
            axis.Taps.push_back({static_cast<int32_t>(sourceStart + j), static_cast<uint32_t>(overlap)});
        }
    }
    axis.Start.push_back(static_cast<uint32_t>(axis.Taps.size()));
    return axis;
}

TBoxFilter::TBoxFilter(const TRect& source, int32_t destWidth, int32_t destHeight, const TRect& visible)
    : X_(MakeAxis(source.Left, source.Right - source.Left, destWidth, visible.Left, visible.Right)),
      Y_(MakeAxis(source.Top, source.Bottom - source.Top, destHeight, visible.Top, visible.Bottom)) {}

uint32_t TBoxFilter::MixPixel(const TBitmap32& source, int32_t x, int32_t y) const {
    uint64_t a = 0, r = 0, g = 0, b = 0;
    for (uint32_t ty = Y_.Start[y]; ty < Y_.Start[y + 1]; ++ty) {
        const uint32_t* row = source.Row(Y_.Taps[ty].Source);
        const uint64_t wy = Y_.Taps[ty].Weight;
        for (uint32_t tx = X_.Start[x]; tx < X_.Start[x + 1]; ++tx) {
            const uint32_t p = row[X_.Taps[tx].Source];
            const uint64_t wa = wy * X_.Taps[tx].Weight * (p >> 24);
            a += wa;
            r += wa * ((p >> 16) & 0xFF);
            g += wa * ((p >> 8) & 0xFF);
            b += wa * (p & 0xFF);
        }
    }
    if (a == 0) return 0;
    const uint64_t total = uint64_t{X_.Total} * Y_.Total;
    const uint64_t alpha = (a + total / 2) / total;
    const uint64_t half = a / 2;
    return static_cast<uint32_t>(alpha << 24 | ((r + half) / a) << 16 | ((g + half) / a) << 8 | ((b + half) / a));
}

void TBoxFilter::Resample(const TBitmap32& source, TBitmap32& out) const {
    const int32_t w = X_.Count();
    const int32_t h = Y_.Count();
    out.SetSize(w, h);
    if (w <= 0 || h <= 0 || out.Width() != w || out.Height() != h) return;
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* d = out.Row(y);
        const bool singleRow = Y_.Single(y);
        // Rows inside the same source row come out alike: copied (every row at 200 % but the first).
        if (y > 0 && singleRow && Y_.Single(y - 1) && Y_.First(y).Source == Y_.First(y - 1).Source) {
            std::memcpy(d, out.Row(y - 1), sizeof(uint32_t) * static_cast<size_t>(w));
            continue;
        }
        const uint32_t* s = singleRow ? source.Row(Y_.First(y).Source) : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            d[x] = singleRow && X_.Single(x) ? s[X_.First(x).Source] : MixPixel(source, x, y);
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
        for (int32_t x = 0; x < w; ++x) {
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
