#include <gtest/gtest.h>

#include <vector>

#include "FontTestSupport.h"
#include "skin/FontImages.h"
#include "storage/MemStream.h"
#include "storage/StreamException.h"

namespace marlowen {
namespace {

using testing::AddDotGlyphs;
using testing::MakeGlyph;
using testing::Painted;

std::vector<uint8_t> Bytes(const TCustomMemStream& stream) {
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

// "A" with a 2 x 1 mask and "Ж" with a 1 x 1 colour image.
void BuildSmallFont(TFontImages& font) {
    font.SetLineMetrics(10, 3, 0);
    auto a = MakeGlyph(u"A", {0, 1, -1, 6, 10, 8, 2});
    auto mask = std::make_unique<TImage8>();
    mask->SetSize(2, 1);
    mask->Row(0)[0] = 0x80;
    mask->Row(0)[1] = 0xFF;
    a->SetMask(std::move(mask));
    font.AddSymbol(std::move(a));
    auto zhe = MakeGlyph(u"Ж", {7, 0, 0, 5, 0, 0, 0});
    auto image = std::make_unique<TBitmap32>();
    image->SetSize(1, 1);
    image->Row(0)[0] = 0x11223344;
    zhe->SetBitmap(std::move(image));
    font.AddSymbol(std::move(zhe));
}

const std::vector<uint8_t> kSmallFontBytes = {
    0x01, 0x0A, 0x01, 0x03, 0x00,                          // ascent, descent, leading
    0x01, 0x02,                                            // two glyphs
    0x23, 0x01, 0x41, 0x00,                                // "A"
    0x00, 0x01, 0x01, 0x27, 0x01, 0x01, 0x06, 0x01, 0x0A,  // spare, overhang, x offset -1, advance, height
    0x01, 0x08, 0x01, 0x02,                                // top, descent
    0x09, 0x01, 0x02, 0x01, 0x01, 0x80, 0xFF,              // a 2 x 1 mask
    0x0A,                                                  // no image
    0x23, 0x01, 0x16, 0x04,                                // "Ж"
    0x01, 0x07, 0x00, 0x00, 0x01, 0x05, 0x00, 0x00, 0x00,  // spare 7, advance 5
    0x0A,                                                  // no mask
    0x09, 0x01, 0x01, 0x01, 0x01, 0x44, 0x33, 0x22, 0x11,  // a 1 x 1 image, B G R A
};

TEST(FontImages, StoredFormIsExactAndLoadsBack) {
    TFontImages font;
    BuildSmallFont(font);
    TMemStream stream;
    font.Save(stream);
    EXPECT_EQ(Bytes(stream), kSmallFontBytes);

    stream.SetPosition(0);
    TFontImages loaded;
    AddDotGlyphs(loaded, u"xyz", 3);  // replaced by the load
    loaded.Load(stream);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(loaded.LineHeight(), 13);
    ASSERT_EQ(loaded.SymbolCount(), 2);
    EXPECT_EQ(loaded.SymbolByChar(u'x'), nullptr);
    const TFontSymbol* a = loaded.SymbolByByte('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->XOffset(), -1);
    EXPECT_EQ(a->Overhang(), 1);
    ASSERT_NE(a->Mask(), nullptr);
    EXPECT_EQ(a->Mask()->Row(0)[0], 0x80);
    EXPECT_EQ(a->Bitmap(), nullptr);
    const TFontSymbol* zhe = loaded.SymbolByChar(u'Ж');
    ASSERT_NE(zhe, nullptr);
    EXPECT_EQ(zhe->Metrics().Spare, 7);
    EXPECT_EQ(zhe->Bitmap()->Row(0)[0], 0x11223344u);

    TMemStream again;
    loaded.Save(again);
    EXPECT_EQ(Bytes(again), kSmallFontBytes);
}

TEST(FontImages, LookupByCharacterAndByByte) {
    TFontImages font;
    AddDotGlyphs(font, u"a Я", 4);
    const TFontSymbol* first = font.SymbolByChar(u'a');
    auto newer = MakeGlyph(u"ab", {0, 0, 0, 9, 0, 0, 0});  // keyed by its first character
    const TFontSymbol* second = font.AddSymbol(std::move(newer));
    font.AddSymbol(MakeGlyph(u"", {}));  // kept, but found by no code

    EXPECT_NE(first, second);
    EXPECT_EQ(font.SymbolByChar(u'a'), second);  // the newest of equal keys wins
    EXPECT_EQ(font.SymbolByByte('a'), second);
    EXPECT_EQ(font.SymbolCount(), 5);
    EXPECT_EQ(font.SymbolByChar(0), nullptr);
    EXPECT_EQ(font.SymbolByChar(u'Я')->Text(), u"Я");
    EXPECT_EQ(font.SymbolByChar(u'Я' + 1007), nullptr);  // same bucket, other key
    // UTF-8 bytes of multi-byte characters have no glyph of their own.
    for (int byte = 128; byte < 256; ++byte) EXPECT_EQ(font.SymbolByByte(static_cast<uint8_t>(byte)), nullptr);
}

TEST(FontImages, CharacterThirtyOneFollowsTheSpaceUnlessTheFontHasIt) {
    TFontImages font;
    AddDotGlyphs(font, u" ", 4);
    EXPECT_EQ(font.SymbolByByte(31), font.SymbolByChar(u' '));
    EXPECT_EQ(font.SymbolByChar(31), font.SymbolByChar(u' '));
    AddDotGlyphs(font, u" ", 5);  // the newest space
    EXPECT_EQ(font.SymbolByByte(31)->Advance(), 5);

    TFontImages own;
    AddDotGlyphs(own, u"\x1f", 7);
    AddDotGlyphs(own, u" ", 4);
    EXPECT_EQ(own.SymbolByByte(31)->Advance(), 7);
    EXPECT_EQ(own.SymbolByChar(31)->Advance(), 7);

    // Loading applies the same rule.
    TMemStream stream;
    font.Save(stream);
    stream.SetPosition(0);
    TFontImages loaded;
    loaded.Load(stream);
    EXPECT_EQ(loaded.SymbolByByte(31), loaded.SymbolByChar(u' '));
}

TEST(FontImages, HostileStoredFontsRaiseAndLeaveTheFontAlone) {
    TFontImages font;
    AddDotGlyphs(font, u"q", 3);
    font.SetLineMetrics(1, 2, 3);
    auto expectUnchanged = [&] {
        EXPECT_EQ(font.SymbolCount(), 1);
        EXPECT_NE(font.SymbolByChar(u'q'), nullptr);
        EXPECT_EQ(font.LineHeight(), 3);
    };

    TMemStream negative;
    for (int32_t v : {10, 3, 0, -1}) negative.WriteInteger(v);
    negative.SetPosition(0);
    EXPECT_THROW(font.Load(negative), EStreamException);
    expectUnchanged();

    // A count that the bytes left cannot hold is refused before anything is read.
    TMemStream huge;
    for (int32_t v : {10, 3, 0, 2000000000}) huge.WriteInteger(v);
    for (int i = 0; i < 50; ++i) huge.WriteByte(0);
    huge.SetPosition(0);
    try {
        font.Load(huge);
        FAIL();
    } catch (const EStreamException& e) {
        EXPECT_EQ(e.Message(), EStreamException::ReadOverrun("TMemStream").Message());
    }
    expectUnchanged();

    // Cut short inside the second glyph, and a glyph whose mask claims more bytes than remain.
    for (size_t cut : {kSmallFontBytes.size() - 3, size_t{30}}) {
        TMemStream shortStream;
        shortStream.WriteBuffer(kSmallFontBytes.data(), static_cast<int32_t>(cut));
        shortStream.SetPosition(0);
        EXPECT_THROW(font.Load(shortStream), EStreamException) << cut;
        expectUnchanged();
    }
    std::vector<uint8_t> bigMask = kSmallFontBytes;
    bigMask[26] = 0xFF;  // a mask 255 wide, with two bytes left
    TMemStream mask;
    mask.WriteBuffer(bigMask.data(), static_cast<int32_t>(bigMask.size()));
    mask.SetPosition(0);
    EXPECT_THROW(font.Load(mask), EStreamException);
    expectUnchanged();
}

TEST(FontSymbol, DrawsTheMaskAndImageRelativeToPenAndBaseline) {
    // A 2 x 2 mask drawn at (pen + x offset, y + ascent - top); a 1 x 1 red image on top of it.
    auto glyph = MakeGlyph(u"g", {0, 0, 1, 4, 0, 3, 0}, 2, 2);
    auto image = std::make_unique<TBitmap32>();
    image->SetSize(1, 1);
    image->Row(0)[0] = 0xFFFF0000;
    glyph->SetBitmap(std::move(image));

    TBitmap32 bitmap;
    bitmap.SetSize(8, 8);
    glyph->DrawSymbol(bitmap, 2, 0xFF00FF00, 5, 1);  // top-left (3, 3)
    EXPECT_EQ(Painted(bitmap), "3,3 4,3 3,4 4,4");
    EXPECT_EQ(bitmap.Row(3)[3], 0xFFFF0000u);  // the image keeps its colours
    EXPECT_EQ(bitmap.Row(3)[4], 0xFF00FF00u);

    // Clipped to (4, 0, 8, 4): only (4, 3) of the mask; the image's pixel is cut away.
    bitmap.FillRect({0, 0, 7, 7}, 0);
    glyph->DrawSymbolClipped(bitmap, 2, 0xFF00FF00, 5, 1, {4, 0, 8, 4});
    EXPECT_EQ(Painted(bitmap), "4,3");

    // Clipped but not cut: the image is painted in the text colour through its alpha.
    bitmap.FillRect({0, 0, 7, 7}, 0);
    glyph->DrawSymbolClipped(bitmap, 2, 0xFF0000FF, 5, 1, {0, 0, 8, 8});
    EXPECT_EQ(Painted(bitmap), "3,3 4,3 3,4 4,4");
    EXPECT_EQ(bitmap.Row(3)[3], 0xFF0000FFu);

    // Extreme positions clip instead of overflowing.
    bitmap.FillRect({0, 0, 7, 7}, 0);
    glyph->DrawSymbolClipped(bitmap, INT32_MAX, 0xFF0000FF, INT32_MIN, INT32_MAX, {0, 0, 8, 8});
    glyph->DrawSymbol(bitmap, INT32_MAX, 0xFF0000FF, INT32_MAX, 0);
    EXPECT_EQ(Painted(bitmap), "");
}

}  // namespace
}  // namespace marlowen
