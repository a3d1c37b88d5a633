#pragma once

#include <cstdint>
#include <vector>

#include "skin/Geometry.h"

namespace marlowen {

class TBitmap32;
class TImage8;

// The one resampling filter of scaled drawing: each destination pixel is the area-weighted
// average of the source pixels its footprint covers (a box filter), in exact integers, so every
// machine gives the same bytes.
//
// Along an axis a source span of S pixels is laid over D destination pixels; with g = gcd(S, D),
// source pixel j covers [j D/g, (j + 1) D/g) and destination pixel k covers [k S/g, (k + 1) S/g),
// and k takes from each j the length of their overlap as its weight (the weights of k sum to S/g).
// The weight of a source pixel for a destination pixel is the product of its two axis weights,
// W the sum of them all. Colours are averaged premultiplied, so a transparent pixel adds nothing
// to the colour of its neighbours (edges do not darken):
//     A = sum w a,   alpha = (A + W/2) div W,   channel = (sum w a c + A/2) div A   (0 when A = 0)
// A destination pixel that lies inside one source pixel takes that pixel's four bytes unchanged:
// at a whole factor (200 %, 300 %) the filter is exact pixel replication. At 150 % a row of two
// pixels p, q becomes p, (p + q)/2 (premultiplied, rounded), q.
class TBoxFilter {
public:
    // Lays the source rectangle (exclusive, inside the source) over a destination of
    // destWidth x destHeight pixels, of which only the part `visible` (exclusive, relative to the
    // destination's top-left and inside it) is computed.
    TBoxFilter(const TRect& source, int32_t destWidth, int32_t destHeight, const TRect& visible);

    // The size of the computed (visible) part.
    int32_t Width() const { return X_.Count(); }
    int32_t Height() const { return Y_.Count(); }
    // The visible part of the destination, resampled from `source` into `out` (sized to it).
    void Resample(const TBitmap32& source, TBitmap32& out) const;
    // Row y of the visible part into out[0, Width()).
    void ResampleRow(const TBitmap32& source, int32_t y, uint32_t* out) const;
    // At a whole factor across (each source pixel covers `factor` destination columns): the
    // factor, else 0; then computed column i takes source column
    // ReplicatedStart() + (ReplicatedPhase() + i) div factor.
    int32_t ReplicatedFactor() const { return X_.Total == 1 ? X_.Factor : 0; }
    int32_t ReplicatedStart() const { return X_.SourceStart; }
    int32_t ReplicatedPhase() const { return X_.From; }
    // The source row of row y when it lies inside one, else -1.
    int32_t InsideRow(int32_t y) const { return Y_.Inside[y]; }
    // Whether row y comes out as row y - 1 did: both lie inside the same source row.
    bool RepeatsRow(int32_t y) const {
        return y > 0 && Y_.Single(y) && Y_.Single(y - 1) && Y_.First(y).Source == Y_.First(y - 1).Source;
    }
    // The same for an 8-bit mask: value = (sum w m + W/2) div W.
    void Resample(const TImage8& source, TImage8& out) const;

private:
    // One source pixel's share of one destination pixel.
    struct TTap {
        int32_t Source;
        uint32_t Weight;
    };
    // The taps of each computed destination pixel of one axis: pixel i has Taps[Start[i]] up to
    // Taps[Start[i + 1]] (exclusive); each pixel's weights sum to Total.
    struct TAxis {
        std::vector<TTap> Taps;
        std::vector<uint32_t> Start;
        // Per pixel: the one source pixel it lies inside, or -1 when it mixes several.
        std::vector<int32_t> Inside;
        uint32_t Total = 1;
        int32_t Factor = 1;       // a source pixel's length in the common measure
        int32_t SourceStart = 0;  // the first source pixel of the span
        int32_t From = 0;         // the first computed destination pixel
        int32_t Count() const { return static_cast<int32_t>(Start.size()) - 1; }
        bool Single(int32_t i) const { return Start[i + 1] - Start[i] == 1; }
        const TTap& First(int32_t i) const { return Taps[Start[i]]; }
    };
    static TAxis MakeAxis(int32_t sourceStart, int32_t sourceLength, int32_t destLength, int32_t from, int32_t to);

    // Whether every pixel under destination pixel (x, y) is the same one (given in `pixel`).
    bool Uniform(const TBitmap32& source, int32_t x, int32_t y, uint32_t& pixel) const;
    // Accumulates in 32 bits when the weights are small enough (most scales), else in 64.
    template <class TSum>
    uint32_t MixPixel(const TBitmap32& source, int32_t x, int32_t y) const;

    TAxis X_;
    TAxis Y_;
    bool Narrow_ = false;
};

}  // namespace marlowen
