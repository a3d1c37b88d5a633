#include "skin/Bitmap32.h"

#include <algorithm>
#include <new>
#include <utility>

#include "skin/PixelBlend.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {

namespace {
constexpr int64_t kMaxPixelBytes = INT32_MAX;

// Steps t(h) = base + h * diff div d (truncated toward zero) along h = h0, h0 + 1, ... without a
// division per step: the quotient and remainder of h * |diff| by d advance by those of |diff|.
class TExactRamp {
public:
    TExactRamp(int32_t from, int32_t to, int64_t d, int64_t h0) : Base_(from), D_(static_cast<uint32_t>(d)) {
        const int32_t diff = to - from;
        Negative_ = diff < 0;
        const uint32_t magnitude = static_cast<uint32_t>(Negative_ ? -diff : diff);
        const int64_t product = h0 * magnitude;
        Quot_ = static_cast<uint32_t>(product / d);
        Rem_ = static_cast<uint32_t>(product % d);
        StepQ_ = static_cast<uint32_t>(magnitude / d);
        StepR_ = static_cast<uint32_t>(magnitude % d);
    }
    int32_t Value() const { return Negative_ ? Base_ - static_cast<int32_t>(Quot_) : Base_ + static_cast<int32_t>(Quot_); }
    void Next() {
        Quot_ += StepQ_;
        Rem_ += StepR_;  // both below d <= 2^31, so no wrap
        if (Rem_ >= D_) {
            Rem_ -= D_;
            ++Quot_;
        }
    }

private:
    int32_t Base_;
    uint32_t D_;
    bool Negative_;
    uint32_t Quot_, Rem_, StepQ_, StepR_;
};

int32_t Channel(uint32_t colour, int shift) { return static_cast<int32_t>((colour >> shift) & 0xFFu); }

// from + v * (to - from) div d for one channel; v <= d, so the result stays within 0..255.
int32_t Interpolate(int32_t from, int32_t to, int64_t v, int64_t d) {
    return static_cast<int32_t>(from + v * (to - from) / d);
}
}  // namespace

void TBitmap32::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width_ && height == Height_) return;
    Variants_.clear();
    if (width != 0 && height != 0) {
        const int64_t count = int64_t{width} * height;
        if (count > kMaxPixelBytes / 4) throw EBitmapException::OutOfMemory(width, height);
        std::vector<uint32_t> pixels;
        try {
            pixels.assign(static_cast<size_t>(count), 0);
            if (Rows_.size() < static_cast<size_t>(height)) Rows_.resize(static_cast<size_t>(height));
        } catch (const std::bad_alloc&) {
            throw EBitmapException::OutOfMemory(width, height);
        }
        Pixels_.swap(pixels);
        for (int32_t y = 0; y < height; ++y) Rows_[static_cast<size_t>(y)] = Pixels_.data() + int64_t{y} * width;
    }
    Width_ = width;
    Height_ = height;
}

void TBitmap32::LoadFromPack(TCustomMemStream& stream) {
    const int32_t width = stream.ReadInteger();
    const int32_t height = stream.ReadInteger();
    if (width < 0 || height < 0) throw EStreamException::UnexpectedDataType(stream.ClassName());
    if (width == 0 || height == 0) {
        SetSize(width, height);
        return;
    }
    // The rows must all be there before anything is allocated (W x H < 2^62: no overflow).
    const int64_t count = int64_t{width} * height;
    if (count > (int64_t{stream.Size()} - stream.Position()) / 4) throw EStreamException::ReadOverrun(stream.ClassName());
    SetSize(width, height);
    stream.ReadBuffer(Pixels_.data(), static_cast<int32_t>(count * 4));
}

void TBitmap32::SaveToPack(TCustomMemStream& stream) const {
    stream.WriteInteger(Width_);
    stream.WriteInteger(Height_);
    if (Width_ > 0 && Height_ > 0) stream.WriteBuffer(Pixels_.data(), Width_ * Height_ * 4);
}

void TBitmap32::Assign(const TBitmap32& source) {
    if (&source == this) return;
    SetSize(source.Width_, source.Height_);
    if (Width_ > 0 && Height_ > 0) std::copy(source.Pixels_.begin(), source.Pixels_.end(), Pixels_.begin());
    Variants_ = source.Variants_;
}

void TBitmap32::AssignTransformed(const TBitmap32& source, int32_t mode) {
    if (mode < 0 || mode > 3) return;
    if (&source == this) {
        if (mode == 0) return;
        TBitmap32 result;
        result.AssignTransformed(*this, mode);
        Swap(result);
        return;
    }
    if (mode == 0) {
        Assign(source);
        return;
    }
    const int32_t w = source.Width_, h = source.Height_;
    if (mode == 3) SetSize(h, w); else SetSize(w, h);
    if (w == 0 || h == 0) return;
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* s = source.Row(y);
        switch (mode) {
        case 1: std::reverse_copy(s, s + w, Row(y)); break;
        case 2: std::copy(s, s + w, Row(h - 1 - y)); break;
        default:
            for (int32_t x = 0; x < w; ++x) Row(w - 1 - x)[y] = s[x];
            break;
        }
    }
    std::vector<TBitmapVariant> variants;
    for (const TBitmapVariant& variant : source.Variants_) {
        auto turned = std::make_shared<TBitmap32>();
        turned->AssignTransformed(*variant.Bitmap, mode);
        variants.push_back({variant.Factor, std::move(turned)});
    }
    Variants_ = std::move(variants);
}

void TBitmap32::Swap(TBitmap32& other) {
    std::swap(Width_, other.Width_);
    std::swap(Height_, other.Height_);
    Pixels_.swap(other.Pixels_);
    Rows_.swap(other.Rows_);
    Variants_.swap(other.Variants_);
}

bool TBitmap32::IsVariantSize(int32_t baseWidth, int32_t baseHeight, const TDisplayScale& factor, int32_t width,
                              int32_t height) {
    if (!(TDisplayScale() < factor) || baseWidth <= 0 || baseHeight <= 0) return false;
    const auto fits = [&factor](int32_t side, int32_t length) {
        const int32_t low = factor.Device(side);
        const int32_t high = int64_t{side} * factor.Num() % factor.Den() == 0 ? low : low + 1;
        return length == low || length == high;
    };
    return fits(baseWidth, width) && fits(baseHeight, height);
}

bool TBitmap32::AddVariant(const TDisplayScale& factor, std::shared_ptr<const TBitmap32> bitmap) {
    if (bitmap == nullptr || !FitsVariant(factor, bitmap->Width(), bitmap->Height())) return false;
    const auto at = std::lower_bound(Variants_.begin(), Variants_.end(), factor,
                                     [](const TBitmapVariant& v, const TDisplayScale& f) { return v.Factor < f; });
    if (at != Variants_.end() && at->Factor == factor) {
        at->Bitmap = std::move(bitmap);
    } else {
        Variants_.insert(at, TBitmapVariant{factor, std::move(bitmap)});
    }
    return true;
}

void TBitmap32::ChangeWithVariants(const std::function<void(TBitmap32&)>& change) {
    change(*this);
    for (TBitmapVariant& variant : Variants_) {
        auto copy = std::make_shared<TBitmap32>();
        copy->Assign(*variant.Bitmap);
        change(*copy);
        variant.Bitmap = std::move(copy);
    }
}

bool TBitmap32::ClipRect(const TRect& rect, TRect& clipped) const {
    if (Width_ <= 0 || Height_ <= 0) return false;
    clipped.Left = std::max(rect.Left, 0);
    clipped.Top = std::max(rect.Top, 0);
    clipped.Right = std::min(rect.Right, Width_ - 1);
    clipped.Bottom = std::min(rect.Bottom, Height_ - 1);
    return clipped.Left <= clipped.Right && clipped.Top <= clipped.Bottom;
}

void TBitmap32::FillRect(const TRect& rect, uint32_t colour) {
    TRect r;
    if (!ClipRect(rect, r)) return;
    for (int32_t y = r.Top; y <= r.Bottom; ++y) std::fill(Row(y) + r.Left, Row(y) + r.Right + 1, colour);
}

void TBitmap32::BlendRect(const TRect& rect, uint32_t colour) {
    const uint32_t a = colour >> 24;
    if (a == 0) return;
    if (a == 255) return FillRect(rect, colour);
    TRect r;
    if (!ClipRect(rect, r)) return;
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) {
            const uint32_t d = p[x] >> 24;
            if (d == 255) p[x] = pixel::LerpOpaque(p[x], colour, a);
            else p[x] = pixel::BlendOver(p[x], colour, a);
        }
    }
}

void TBitmap32::SetAlpha(const TRect& rect, uint8_t value) {
    TRect r;
    if (!ClipRect(rect, r)) return;
    const uint32_t alpha = uint32_t{value} << 24;
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) p[x] = (p[x] & pixel::kColourMask) | alpha;
    }
}

void TBitmap32::ScaleAlpha(const TRect& rect, int32_t factor) {
    TRect r;
    if (!ClipRect(rect, r)) return;
    uint32_t table[256];
    for (int32_t a = 0; a < 256; ++a) {
        table[a] = static_cast<uint32_t>(std::clamp<int64_t>(int64_t{a} * factor / 256, 0, 255)) << 24;
    }
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) p[x] = (p[x] & pixel::kColourMask) | table[p[x] >> 24];
    }
}

void TBitmap32::Brighten(const TRect& rect, int32_t factor) {
    TRect r;
    if (!ClipRect(rect, r)) return;
    const int64_t f = std::max(factor, 0);
    uint32_t table[256];
    for (int64_t c = 0; c < 256; ++c) table[c] = f * c < 32768 ? static_cast<uint32_t>((f * c) >> 7) : 255;
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) {
            const uint32_t v = p[x];
            p[x] = (v & pixel::kAlphaMask) | table[(v >> 16) & 0xFF] << 16 | table[(v >> 8) & 0xFF] << 8 | table[v & 0xFF];
        }
    }
}

void TBitmap32::Grayscale(const TRect& rect) {
    TRect r;
    if (!ClipRect(rect, r)) return;
    for (int32_t y = r.Top; y <= r.Bottom; ++y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) {
            const uint32_t v = p[x];
            const uint32_t g = ((v & 0xFF) * 28 + ((v >> 8) & 0xFF) * 151 + ((v >> 16) & 0xFF) * 77) >> 8;
            p[x] = (v & pixel::kAlphaMask) | g << 16 | g << 8 | g;
        }
    }
}

void TBitmap32::GradientRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t topLeft,
                             uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
    GradientRect(x, y, width, height, topLeft, topRight, bottomLeft, bottomRight, TRect{0, 0, INT32_MAX, INT32_MAX});
}

void TBitmap32::GradientRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t topLeft,
                             uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight, const TRect& visible) {
    if (width <= 0 || height <= 0) return;
    TRect r;
    const TRect area{std::max(x, visible.Left), std::max(y, visible.Top),
                     static_cast<int32_t>(std::min<int64_t>(int64_t{x} + width - 1, visible.Right)),
                     static_cast<int32_t>(std::min<int64_t>(int64_t{y} + height - 1, visible.Bottom))};
    if (!ClipRect(area, r)) return;
    const int64_t dv = height > 1 ? height - 1 : 1;
    const int64_t dh = width > 1 ? width - 1 : 1;
    const int64_t h0 = int64_t{r.Left} - x;
    for (int32_t row = r.Top; row <= r.Bottom; ++row) {
        const int64_t v = int64_t{row} - y;
        // Channel order within a ramp set: blue, green, red, alpha.
        TExactRamp ramps[4] = {
            {Interpolate(Channel(topLeft, 0), Channel(bottomLeft, 0), v, dv),
             Interpolate(Channel(topRight, 0), Channel(bottomRight, 0), v, dv), dh, h0},
            {Interpolate(Channel(topLeft, 8), Channel(bottomLeft, 8), v, dv),
             Interpolate(Channel(topRight, 8), Channel(bottomRight, 8), v, dv), dh, h0},
            {Interpolate(Channel(topLeft, 16), Channel(bottomLeft, 16), v, dv),
             Interpolate(Channel(topRight, 16), Channel(bottomRight, 16), v, dv), dh, h0},
            {Interpolate(Channel(topLeft, 24), Channel(bottomLeft, 24), v, dv),
             Interpolate(Channel(topRight, 24), Channel(bottomRight, 24), v, dv), dh, h0},
        };
        uint32_t* p = Row(row);
        for (int32_t col = r.Left; col <= r.Right; ++col) {
            const uint32_t colour = static_cast<uint32_t>(ramps[2].Value()) << 16 |
                                    static_cast<uint32_t>(ramps[1].Value()) << 8 |
                                    static_cast<uint32_t>(ramps[0].Value());
            p[col] = pixel::BlendOver(p[col], colour, static_cast<uint32_t>(ramps[3].Value()));
            for (TExactRamp& ramp : ramps) ramp.Next();
        }
    }
}

void TBitmap32::DottedFrame(const TRect& rect, uint32_t colour) {
    if (rect.Left > rect.Right || rect.Top > rect.Bottom) return;
    TRect r;
    if (!ClipRect(rect, r)) return;
    // Parity of (x - Left) + (y - Top), in unsigned arithmetic so that no difference overflows.
    const auto even = [&](int32_t x, int32_t y) {
        return ((static_cast<uint32_t>(x) - static_cast<uint32_t>(rect.Left) + static_cast<uint32_t>(y) -
                 static_cast<uint32_t>(rect.Top)) & 1u) == 0;
    };
    const auto horizontal = [&](int32_t y) {
        uint32_t* p = Row(y);
        for (int32_t x = r.Left; x <= r.Right; ++x) if (even(x, y)) p[x] = colour;
    };
    const auto vertical = [&](int32_t x) {
        for (int32_t y = r.Top; y <= r.Bottom; ++y) if (even(x, y)) Row(y)[x] = colour;
    };
    if (rect.Top == r.Top) horizontal(r.Top);
    if (rect.Bottom == r.Bottom) horizontal(r.Bottom);
    if (rect.Left == r.Left) vertical(r.Left);
    if (rect.Right == r.Right) vertical(r.Right);
}

std::vector<TRect> TBitmap32::RegionFromAlpha() const {
    std::vector<TRect> rects;
    if (Width_ <= 0 || Height_ <= 0) return rects;
    for (int32_t y = 0; y < Height_; ++y) {
        const uint32_t* p = Row(y);
        int32_t x = 0;
        while (x < Width_) {
            while (x < Width_ && (p[x] >> 24) == 0) ++x;
            if (x == Width_) break;
            const int32_t start = x;
            while (x < Width_ && (p[x] >> 24) != 0) ++x;
            rects.push_back(TRect{start, y, x, y + 1});
        }
    }
    return rects;
}

uint32_t ColorToARGB(uint32_t colour, const TSystemColors& systemColors) {
    if ((colour >> 24) != 0) colour = systemColors.SystemColor(static_cast<int32_t>(colour & 0xFF));
    return pixel::kAlphaMask | (colour & 0xFF) << 16 | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace marlowen
