#include "skin/FontImages.h"

#include <vector>

#include "skin/Bitmap32.h"
#include "skin/BitmapDraw.h"
#include "skin/Image8.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {

namespace {
// The fewest bytes a stored glyph takes: an empty text, seven one-byte integers, two booleans.
constexpr int32_t kMinStoredSymbol = 10;

// The exclusive rectangle of a w x h image at (x, y), held within the 32-bit range.
TRect ImageRect(int64_t x, int64_t y, int32_t w, int32_t h) {
    return {SaturateInt32(x), SaturateInt32(y), SaturateInt32(x + w), SaturateInt32(y + h)};
}
}  // namespace

TFontSymbol::TFontSymbol() = default;
TFontSymbol::~TFontSymbol() = default;

void TFontSymbol::SetMask(std::unique_ptr<TImage8> mask) { Mask_ = std::move(mask); }

void TFontSymbol::SetBitmap(std::unique_ptr<TBitmap32> bitmap) { Bitmap_ = std::move(bitmap); }

const TFontSymbol* TFontSymbol::VariantFor(const TDisplayScale& scale) const {
    for (const TVariant& variant : Variants_) {
        if (variant.Scale == scale) return variant.Symbol;
    }
    return nullptr;
}

void TFontSymbol::AddVariant(const TDisplayScale& scale, const TFontSymbol* symbol) {
    for (TVariant& variant : Variants_) {
        if (variant.Scale == scale) {
            variant.Symbol = symbol;
            return;
        }
    }
    if (symbol != nullptr) Variants_.push_back({scale, symbol});
}

void TFontSymbol::DrawSymbol(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent, int32_t y) const {
    const int32_t x0 = SaturateInt32(int64_t{penX} + XOffset());
    const int32_t y0 = SaturateInt32(int64_t{y} + ascent - Top());
    if (Mask_) DrawMask8(*Mask_, 0, 0, bitmap, x0, y0, Mask_->Width(), Mask_->Height(), colour);
    if (Bitmap_) Blit(*Bitmap_, 0, 0, bitmap, x0, y0, Bitmap_->Width(), Bitmap_->Height());
}

void TFontSymbol::DrawSymbolClipped(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent, int32_t y,
                                    const TRect& clip) const {
    const int64_t x0 = int64_t{penX} + XOffset();
    const int64_t y0 = int64_t{y} + ascent - Top();
    if (Mask_) {
        TRect r = ImageRect(x0, y0, Mask_->Width(), Mask_->Height());
        if (IntersectRect(r, clip)) {
            DrawMask8(*Mask_, SaturateInt32(r.Left - x0), SaturateInt32(r.Top - y0), bitmap, r.Left, r.Top,
                      r.Right - r.Left, r.Bottom - r.Top, colour);
        }
    }
    if (Bitmap_) {
        TRect r = ImageRect(x0, y0, Bitmap_->Width(), Bitmap_->Height());
        if (IntersectRect(r, clip)) {
            DrawMask32(*Bitmap_, SaturateInt32(r.Left - x0), SaturateInt32(r.Top - y0), bitmap, r.Left, r.Top,
                       r.Right - r.Left, r.Bottom - r.Top, colour);
        }
    }
}

void TFontSymbol::LoadFromPack(TCustomMemStream& stream) {
    std::u16string text = stream.ReadWideString();
    TSymbolMetrics m;
    for (int32_t* metric : {&m.Spare, &m.Overhang, &m.XOffset, &m.Advance, &m.Height, &m.Top, &m.Descent}) {
        *metric = stream.ReadInteger();
    }
    std::unique_ptr<TImage8> mask;
    if (stream.ReadBoolean()) {
        mask = std::make_unique<TImage8>();
        mask->LoadFromPack(stream);
    }
    std::unique_ptr<TBitmap32> image;
    if (stream.ReadBoolean()) {
        image = std::make_unique<TBitmap32>();
        image->LoadFromPack(stream);
    }
    SetText(std::move(text));
    SetMetrics(m);
    Mask_ = std::move(mask);
    Bitmap_ = std::move(image);
}

void TFontSymbol::SaveToPack(TCustomMemStream& stream) const {
    stream.WriteWideString(Text());
    const TSymbolMetrics& m = Metrics();
    for (int32_t metric : {m.Spare, m.Overhang, m.XOffset, m.Advance, m.Height, m.Top, m.Descent}) {
        stream.WriteInteger(metric);
    }
    stream.WriteBoolean(Mask_ != nullptr);
    if (Mask_) Mask_->SaveToPack(stream);
    stream.WriteBoolean(Bitmap_ != nullptr);
    if (Bitmap_) Bitmap_->SaveToPack(stream);
}

TFontImages::TFontImages() : ByChar_(kHashBuckets) {}
TFontImages::~TFontImages() = default;

int32_t TFontImages::LineHeight() const { return SaturateInt32(int64_t{Ascent_} + Descent_); }

void TFontImages::SetLineMetrics(int32_t ascent, int32_t descent, int32_t leading) {
    Ascent_ = ascent;
    Descent_ = descent;
    Leading_ = leading;
}

const TFontSymbol* TFontImages::AddSymbol(std::unique_ptr<TFontSymbol> symbol) {
    const TFontSymbol* added = Symbols_.Add(std::move(symbol));
    Index(added);
    return added;
}

void TFontImages::Index(const TFontSymbol* symbol) {
    if (symbol->Text().empty()) return;
    const uint32_t code = symbol->Text()[0];
    ByChar_.Add(code, symbol);
    if (code < 128) ByByte_[code] = symbol;
    // Character 31 follows the newest space until the font has a glyph of its own for it.
    if (code == 32 && (ByByte_[31] == nullptr || ByByte_[31]->Text()[0] == 32)) {
        ByChar_.Add(31, symbol);
        ByByte_[31] = symbol;
    }
}

void TFontImages::Clear() {
    Symbols_.Clear();
    ByChar_.Clear();
    ByByte_.fill(nullptr);
}

const TFontSymbol* TFontImages::SymbolByChar(uint32_t code) const {
    return code < 128 ? ByByte_[code] : ByChar_.Find(code);
}

void TFontImages::AddVariant(const TDisplayScale& scale, const TFontImages& variant) {
    if (scale.IsIdentity() || &variant == this) return;
    for (int32_t i = 0; i < Symbols_.Count(); ++i) {
        TFontSymbol* symbol = Symbols_.Items(i);
        if (symbol->Text().empty()) continue;
        const TFontSymbol* scaled = variant.SymbolByChar(symbol->Text()[0]);
        // Only a glyph of the very same text stands for this one.
        symbol->AddVariant(scale, scaled != nullptr && scaled->Text() == symbol->Text() ? scaled : nullptr);
    }
}

void TFontImages::Load(TCustomMemStream& stream) {
    const int32_t ascent = stream.ReadInteger();
    const int32_t descent = stream.ReadInteger();
    const int32_t leading = stream.ReadInteger();
    const int32_t count = stream.ReadInteger();
    if (count < 0) throw EStreamException::UnexpectedDataType(stream.ClassName());
    if (count > (int64_t{stream.Size()} - stream.Position()) / kMinStoredSymbol) {
        throw EStreamException::ReadOverrun(stream.ClassName());
    }
    std::vector<std::unique_ptr<TFontSymbol>> symbols;
    symbols.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        auto symbol = std::make_unique<TFontSymbol>();
        symbol->LoadFromPack(stream);
        symbols.push_back(std::move(symbol));
    }
    Clear();
    SetLineMetrics(ascent, descent, leading);
    for (auto& symbol : symbols) AddSymbol(std::move(symbol));
}

void TFontImages::Save(TCustomMemStream& stream) const {
    stream.WriteInteger(Ascent_);
    stream.WriteInteger(Descent_);
    stream.WriteInteger(Leading_);
    stream.WriteInteger(Symbols_.Count());
    for (const TFontSymbol* symbol : Symbols_) symbol->SaveToPack(stream);
}

}  // namespace marlowen
