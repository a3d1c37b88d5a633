#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/IntegerHash.h"
#include "core/ObjectList.h"
#include "skin/DisplayScale.h"
#include "skin/Geometry.h"

namespace marlowen {

class TBitmap32;
class TCustomMemStream;
class TImage8;

// The metrics of one glyph, in pixels.
struct TSymbolMetrics {
    int32_t Spare = 0;     // stored with the font, read by nothing
    int32_t Overhang = 0;  // added after the last glyph of a run to get the run's width
    int32_t XOffset = 0;   // the image starts this far right of the pen
    int32_t Advance = 0;   // how far the pen moves after the glyph
    int32_t Height = 0;    // full height: a lower bound for the line height
    int32_t Top = 0;       // from the image's top down to the baseline
    int32_t Descent = 0;   // from the baseline down to the glyph's bottom
};

// An abstract glyph: a text (normally one character) with its metrics, drawn at a pen position.
class TTextSymbol {
public:
    TTextSymbol() = default;
    TTextSymbol(const TTextSymbol&) = delete;
    TTextSymbol& operator=(const TTextSymbol&) = delete;
    virtual ~TTextSymbol() = default;

    const std::u16string& Text() const { return Text_; }
    void SetText(std::u16string text) { Text_ = std::move(text); }
    const TSymbolMetrics& Metrics() const { return Metrics_; }
    void SetMetrics(const TSymbolMetrics& metrics) { Metrics_ = metrics; }

    int32_t Overhang() const { return Metrics_.Overhang; }
    int32_t XOffset() const { return Metrics_.XOffset; }
    int32_t Advance() const { return Metrics_.Advance; }
    int32_t Height() const { return Metrics_.Height; }
    int32_t Top() const { return Metrics_.Top; }
    int32_t Descent() const { return Metrics_.Descent; }

    // Draws the glyph for a run whose top is at y and whose baseline lies at y + ascent: the
    // image's top-left is (penX + XOffset, y + ascent - Top).
    virtual void DrawSymbol(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent,
                            int32_t y) const = 0;
    // The same, cut to the clip rectangle (right- and bottom-exclusive).
    virtual void DrawSymbolClipped(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent, int32_t y,
                                   const TRect& clip) const = 0;

private:
    std::u16string Text_;
    TSymbolMetrics Metrics_;
};

// A glyph of a bitmap font: an optional 8-bit mask painted in the text colour and an optional
// 32-bit image with its own colours, both owned. Unclipped, the image keeps its colours; clipped,
// it is painted through its alpha in the text colour.
class TFontSymbol : public TTextSymbol {
public:
    TFontSymbol();
    ~TFontSymbol() override;

    const TImage8* Mask() const { return Mask_.get(); }
    void SetMask(std::unique_ptr<TImage8> mask);
    const TBitmap32* Bitmap() const { return Bitmap_.get(); }
    void SetBitmap(std::unique_ptr<TBitmap32> bitmap);

    void DrawSymbol(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent, int32_t y) const override;
    void DrawSymbolClipped(TBitmap32& bitmap, int32_t penX, uint32_t colour, int32_t ascent, int32_t y,
                           const TRect& clip) const override;

    // The same character rendered for a display scale (by a font made for it, see
    // TFontImages::AddVariant), or null: text is laid out with this glyph's metrics in skin units
    // and drawn with the variant's image at the scale.
    const TFontSymbol* VariantFor(const TDisplayScale& scale) const;
    void AddVariant(const TDisplayScale& scale, const TFontSymbol* symbol);

    // The stored form: typed wide-string text, the seven metrics as typed integers (spare,
    // overhang, x offset, advance, height, top, descent), a typed boolean and the mask when it
    // has one, a typed boolean and the image when it has one.
    void LoadFromPack(TCustomMemStream& stream);
    void SaveToPack(TCustomMemStream& stream) const;

private:
    struct TVariant {
        TDisplayScale Scale;
        const TFontSymbol* Symbol;
    };

    std::unique_ptr<TImage8> Mask_;
    std::unique_ptr<TBitmap32> Bitmap_;
    std::vector<TVariant> Variants_;  // not owned: glyphs of the variant fonts
};

// A bitmap font: line metrics and an owned list of glyphs, found by character code through a
// hash (1007 buckets, keyed by the first UTF-16 unit of a glyph's text; of equal keys the glyph
// added last wins) and, for the 8-bit characters 0 to 127, through a byte table. With UTF-8 as
// the 8-bit code page, bytes 128 to 255 start or continue multi-byte characters, have no entry,
// and 8-bit text is looked up per decoded character instead.
class TFontImages {
public:
    static constexpr int32_t kHashBuckets = 1007;

    TFontImages();
    TFontImages(const TFontImages&) = delete;
    TFontImages& operator=(const TFontImages&) = delete;
    ~TFontImages();

    // The sum of ascent and descent is the line height; leading is stored and read by nothing.
    int32_t Ascent() const { return Ascent_; }
    int32_t Descent() const { return Descent_; }
    int32_t Leading() const { return Leading_; }
    int32_t LineHeight() const;
    void SetLineMetrics(int32_t ascent, int32_t descent, int32_t leading);

    int32_t SymbolCount() const { return Symbols_.Count(); }
    const TFontSymbol* Symbols(int32_t index) const { return Symbols_.Items(index); }

    // Appends and indexes a glyph (a glyph with an empty text is kept but found by no code). The
    // first space also serves character 31 while the font has no glyph of its own for it.
    const TFontSymbol* AddSymbol(std::unique_ptr<TFontSymbol> symbol);
    // Drops every glyph; the line metrics stay.
    void Clear();

    // The glyph of a character code (UTF-16 unit or code point), or null.
    const TFontSymbol* SymbolByChar(uint32_t code) const;
    // The glyph of an 8-bit character, or null; always null for bytes 128 to 255.
    const TFontSymbol* SymbolByByte(uint8_t byte) const { return ByByte_[byte]; }

    // Takes `variant`, the same font rendered for a display scale above 100 % (a pack's
    // "Regular@2x.fnt" beside "Regular.fnt"): each glyph of this font gets the variant's glyph of
    // the same character as its picture at that scale. The variant must outlive this font (both
    // live in one resource registry); a character it lacks keeps being resampled.
    void AddVariant(const TDisplayScale& scale, const TFontImages& variant);

    // The stored form of a font: three typed integers (ascent, descent, leading), the typed
    // glyph count, then each glyph in its stored form. The glyphs are replaced only when the
    // whole font has been read; a cut-short, mistagged or hostile stream raises the stream's
    // error and leaves the font as it was.
    void Load(TCustomMemStream& stream);
    void Save(TCustomMemStream& stream) const;

private:
    void Index(const TFontSymbol* symbol);

    int32_t Ascent_ = 0;
    int32_t Descent_ = 0;
    int32_t Leading_ = 0;
    TObjectList<TFontSymbol> Symbols_;
    TIntegerHash<const TFontSymbol> ByChar_;
    std::array<const TFontSymbol*, 256> ByByte_{};
};

}  // namespace marlowen
