#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FontSource.h"
#include "skin/FontImages.h"
#include "skin/Image8.h"
#include "storage/MemStream.h"

namespace marlowen::fstool {
namespace {

namespace fs = std::filesystem;

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FontSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() /
                 ("fonts-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = Folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    void Load(const std::vector<uint8_t>& body, TFontImages& font) {
        TMemStream stream;
        stream.WriteBuffer(body.data(), static_cast<int32_t>(body.size()));
        stream.SetPosition(0);
        font.Load(stream);
        EXPECT_TRUE(stream.AtEnd());
    }

    // The message of the Exception that building the description raises.
    std::string Failure(const std::string& path) {
        try {
            BuildFontItemBody(path);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "(no error)";
    }

    fs::path Folder;
};

bool RowIsEmpty(const TImage8& mask, int32_t y) {
    for (int32_t x = 0; x < mask.Width(); ++x)
        if (mask.Row(y)[x] != 0) return false;
    return true;
}

TEST_F(FontSourceTest, RasterisesAsciiAndCyrillicFromDejaVu) {
    const std::string path = Write("Sans.font", std::string("# body text\nfile = ") + kDejaVu +
                                                    "\nsize = 13\n\ncharacters = ascii cyrillic\n");
    const std::vector<uint8_t> body = BuildFontItemBody(path);
    EXPECT_EQ(BuildFontItemBody(path), body);  // deterministic

    TFontImages font;
    Load(body, font);
    EXPECT_EQ(font.SymbolCount(), 95 + 66);
    EXPECT_GE(font.Ascent(), 12);
    EXPECT_LE(font.Ascent(), 14);
    EXPECT_GE(font.Descent(), 3);
    EXPECT_LE(font.Descent(), 5);
    EXPECT_GE(font.Leading(), 0);

    for (char16_t ch : {u'?', u'A', u'g', u'Ж', u'ё', u'я'}) {
        const TFontSymbol* glyph = font.SymbolByChar(ch);
        ASSERT_NE(glyph, nullptr) << static_cast<int>(ch);
        ASSERT_NE(glyph->Mask(), nullptr);
        // Every ordinary glyph spans the whole line, with its top at the font's ascent.
        EXPECT_EQ(glyph->Top(), font.Ascent());
        EXPECT_EQ(glyph->Descent(), font.Descent());
        EXPECT_EQ(glyph->Height(), font.LineHeight());
        EXPECT_EQ(glyph->Mask()->Height(), font.LineHeight());
        EXPECT_GT(glyph->Advance(), 3);
        EXPECT_LE(glyph->Advance(), 16);
        EXPECT_EQ(glyph->Bitmap(), nullptr);
    }
    // "A" stands on the baseline: ink in the row above it, none below; "g" goes below it.
    const TImage8& a = *font.SymbolByChar(u'A')->Mask();
    EXPECT_FALSE(RowIsEmpty(a, font.Ascent() - 1));
    EXPECT_TRUE(RowIsEmpty(a, font.Ascent()));
    EXPECT_TRUE(RowIsEmpty(a, 0));  // room for accents above the capitals
    EXPECT_FALSE(RowIsEmpty(*font.SymbolByChar(u'g')->Mask(), font.Ascent() + 1));
    bool solid = false;
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x) solid = solid || a.Row(y)[x] == 255;
    EXPECT_TRUE(solid);

    const TFontSymbol* space = font.SymbolByChar(u' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->Mask(), nullptr);
    EXPECT_GT(space->Advance(), 0);
    EXPECT_EQ(font.SymbolByByte(31), space);
    EXPECT_GT(font.SymbolByChar(u'W')->Advance(), font.SymbolByChar(u'i')->Advance());
}

TEST_F(FontSourceTest, CharacterListsAndRelativePaths) {
    fs::copy_file(kDejaVu, Folder / "Face.ttf");
    fs::create_directories(Folder / "sub");
    const std::string path = Write("sub/Small.font",
                                   "  FILE=../Face.ttf  \r\n"
                                   "Size = 9\r\n"
                                   "characters = \"Ёж ж\" U+00E9\n"
                                   "characters = u+0030-U+0032\n"
                                   "hinting = none\n");
    TFontImages font;
    Load(BuildFontItemBody(path), font);
    // Ё, ж, the space, é, 0, 1, 2, and "?" that every font carries.
    EXPECT_EQ(font.SymbolCount(), 8);
    for (char16_t ch : {u'Ё', u'ж', u' ', u'é', u'0', u'2', u'?'}) EXPECT_NE(font.SymbolByChar(ch), nullptr) << ch;
    EXPECT_EQ(font.SymbolByChar(u'3'), nullptr);

    TFontImages minimal;
    Load(BuildFontItemBody(Write("Min.font", "file = Face.ttf\nsize = 5\n")), minimal);
    EXPECT_EQ(minimal.SymbolCount(), 2);
}

TEST_F(FontSourceTest, ErrorsNameTheFileTheCharacterOrTheLine) {
    const std::string missing = Write("Missing.font", "file = NoSuchFace.ttf\nsize = 12\n");
    EXPECT_NE(Failure(missing).find("NoSuchFace.ttf"), std::string::npos) << Failure(missing);

    const std::string cjk = Write("Cjk.font", std::string("file = ") + kDejaVu + "\nsize = 12\ncharacters = U+4E00\n");
    EXPECT_NE(Failure(cjk).find("no glyph for U+4E00"), std::string::npos) << Failure(cjk);

    const std::string notFont = Write("NotFont.font", "file = NotFont.font\nsize = 12\n");
    EXPECT_NE(Failure(notFont).find("is not a font"), std::string::npos) << Failure(notFont);

    struct TCase {
        const char* Text;
        const char* Expected;
    };
    const TCase cases[] = {
        {"file = x.ttf\ncolour = red\n", "Bad.font:2: unknown setting \"colour\""},
        {"file = x.ttf\nsize = 0\n", "Bad.font:2: \"size\" needs a whole number of pixels from 1 to 256"},
        {"file = x.ttf\nsize = 12\ncharacters = greek\n", "Bad.font:3: unknown characters \"greek\""},
        {"file = x.ttf\nsize = 12\ncharacters = U+0041-U+0040\n",
         "Bad.font:3: the range U+0041 \"A\"-U+0040 \"@\" runs backwards"},
        {"file = x.ttf\nsize = 12\ncharacters = U+1F600\n",
         "Bad.font:3: character U+1F600 lies outside the 16-bit range"},
        {"file = x.ttf\nfile = y.ttf\n", "Bad.font:2: \"file\" given twice"},
        {"size = 12\n", "Bad.font: no \"file\" setting"},
    };
    for (const TCase& c : cases) {
        const std::string message = Failure(Write("Bad.font", c.Text));
        EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
    }
    EXPECT_NE(Failure((Folder / "Absent.font").string()).find("Absent.font"), std::string::npos);
}

}  // namespace
}  // namespace marlowen::fstool
