#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "platform/SystemColors.h"
#include "skin/DisplayScale.h"
#include "skin/Geometry.h"

namespace marlowen {

class TBitmap32;
class TCustomMemStream;

// A picture of an image drawn for a higher display scale: Factor.Device(u) is the variant's
// column (and row) of the image's unit u. Variants are shared, never changed once made.
struct TBitmapVariant {
    TDisplayScale Factor;
    std::shared_ptr<const TBitmap32> Bitmap;
};

// Errors of bitmap storage.
class EBitmapException : public Exception {
public:
    using Exception::Exception;

    // The pixels of a w x h bitmap would pass 2^31 - 1 bytes, or cannot be allocated.
    static EBitmapException OutOfMemory(int32_t w, int32_t h) {
        return EBitmapException("Недостаточно памяти для изображения " + std::to_string(w) + "x" +
                                std::to_string(h) + ".");
    }
};

// A surface of 32-bit pixels 0xAARRGGBB, not premultiplied (in memory: blue, green, red, alpha
// on our little-endian targets). Alpha 255 is opaque, 0 fully transparent.
//
// Rows are reached through a row table, top row first. Our storage is always top-down, so the
// bottom-up flag is false and the stride is +Width * 4; users that walk memory directly go by
// Stride() all the same.
//
// Rectangles given to the pixel operations are inclusive (Right and Bottom belong to them) and are
// clipped to the bitmap; what is empty after clipping does nothing.
//
// An image may carry variants drawn for higher display scales (a pack's "name@2x.bmp" beside
// "name.bmp"), ordered by factor. The pixel operations change this surface only; a change that
// must reach every variant goes through ChangeWithVariants. A change of size drops them.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(const TBitmap32&) = delete;
    TBitmap32& operator=(const TBitmap32&) = delete;

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    bool BottomUp() const { return false; }
    int32_t RowLength() const { return Width_ * 4; }
    int32_t Stride() const { return Width_ * 4; }
    // The lowest-addressed pixel; null before the first real size.
    uint32_t* Bits() { return Pixels_.empty() ? nullptr : Pixels_.data(); }
    const uint32_t* Bits() const { return Pixels_.empty() ? nullptr : Pixels_.data(); }
    // Row y (0 <= y < Height) of a bitmap whose two sides are both non-zero.
    uint32_t* Row(int32_t y) { return Rows_[static_cast<size_t>(y)]; }
    const uint32_t* Row(int32_t y) const { return Rows_[static_cast<size_t>(y)]; }

    // Nothing when unchanged. Otherwise stores the size; when both sides are non-zero the storage
    // is reallocated (all pixels 0) and the row table rebuilt; a zero side keeps the old storage,
    // and every operation then sees no pixel. A negative side counts as 0. Raises
    // EBitmapException beyond 2^31 - 1 bytes of pixels or when memory runs out.
    void SetSize(int32_t width, int32_t height);
    void SetWidth(int32_t width) { SetSize(width, Height_); }
    void SetHeight(int32_t height) { SetSize(Width_, height); }

    // The stored form: typed integer width, typed integer height, then (when both are non-zero)
    // the rows top first, 4 bytes B, G, R, A per pixel. A negative size raises the stream's
    // UnexpectedDataType, rows that are not all there its ReadOverrun; the bitmap then keeps its
    // size and pixels.
    void LoadFromPack(TCustomMemStream& stream);
    void SaveToPack(TCustomMemStream& stream) const;

    // Takes the source's size, pixels and variants.
    void Assign(const TBitmap32& source);
    // Mode 0 copy, 1 mirror left-right, 2 flip top-bottom, 3 quarter turn anticlockwise (the
    // result is H wide and W high; (x, y) goes to (y, W - 1 - x)); other modes do nothing. The
    // source may be this bitmap. Each variant is transformed alike.
    void AssignTransformed(const TBitmap32& source, int32_t mode);

    // The variants, smallest factor first.
    const std::vector<TBitmapVariant>& Variants() const { return Variants_; }
    // Whether a picture of width x height fits this image as its variant at the factor: the
    // factor is above 100 % and each side is the image's side at the factor, rounded either way
    // (13 pixels at 150 % may be 19 or 20).
    bool FitsVariant(const TDisplayScale& factor, int32_t width, int32_t height) const {
        return IsVariantSize(Width_, Height_, factor, width, height);
    }
    static bool IsVariantSize(int32_t baseWidth, int32_t baseHeight, const TDisplayScale& factor, int32_t width,
                              int32_t height);
    // Adds (or, at a factor already held, replaces) a variant; false, changing nothing, when it
    // does not fit or has no pixels.
    bool AddVariant(const TDisplayScale& factor, std::shared_ptr<const TBitmap32> bitmap);
    void ClearVariants() { Variants_.clear(); }
    // Applies the change to this surface and to a copy of each variant, which then replaces it:
    // how a generated image (hot, disabled) is made from every picture of its source.
    void ChangeWithVariants(const std::function<void(TBitmap32&)>& change);
    void Transform(int32_t mode) { AssignTransformed(*this, mode); }

    // Every pixel := colour, all four bytes.
    void FillRect(const TRect& rect, uint32_t colour);
    // Blends the colour with its own alpha: 0 does nothing, 255 is FillRect.
    void BlendRect(const TRect& rect, uint32_t colour);
    // Alpha bytes := value; colours untouched.
    void SetAlpha(const TRect& rect, uint8_t value);
    // alpha := (alpha * factor) div 256, held within 0..255 (factors above 256 or below 0).
    void ScaleAlpha(const TRect& rect, int32_t factor);
    // Each colour channel: (factor * c) >> 7 while factor * c < 32768, else 255; 128 keeps the
    // pixel. A negative factor counts as 0. Alpha untouched.
    void Brighten(const TRect& rect, int32_t factor);
    // Colour channels := (28 blue + 151 green + 77 red) >> 8; alpha untouched.
    void Grayscale(const TRect& rect);
    // Interpolates the four corner colours of the width x height area at (x, y) per channel,
    // alpha included (down the edges, then across; offsets count from the area's corner even
    // where clipped), and blends each result with its own alpha into the pixel.
    void GradientRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t topLeft,
                      uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight);
    // The same, changing only the pixels inside `visible` (inclusive).
    void GradientRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t topLeft,
                      uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight, const TRect& visible);
    // The one-pixel outline, written (no blending) where (x - Left) + (y - Top) is even. An edge
    // that lies outside the bitmap is not drawn at all.
    void DottedFrame(const TRect& rect, uint32_t colour);

    // One-row rectangles, right- and bottom-exclusive, covering every maximal run of pixels with
    // non-zero alpha, rows top first; empty when there is no such pixel.
    std::vector<TRect> RegionFromAlpha() const;

private:
    bool ClipRect(const TRect& rect, TRect& clipped) const;
    void Swap(TBitmap32& other);

    int32_t Width_ = 0;
    int32_t Height_ = 0;
    std::vector<uint32_t> Pixels_;
    std::vector<uint32_t*> Rows_;  // top row first; its capacity only grows
    std::vector<TBitmapVariant> Variants_;
};

// A GUI colour as a pixel: 0x00BBGGRR becomes 0xFFRRGGBB; a system-colour reference (high byte
// not 0) is first resolved by its low byte to the system's current colour.
uint32_t ColorToARGB(uint32_t colour, const TSystemColors& systemColors);

}  // namespace marlowen
