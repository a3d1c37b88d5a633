#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/HeadlessFileSystem.h"
#include "skin/Bitmap32.h"
#include "skin/FontImages.h"
#include "skin/PackWriter.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"
#include "storage/StreamException.h"

namespace marlowen {
namespace {

namespace fs = std::filesystem;

// Packs are written under a fresh root and loaded from "C:\Packs" through the headless files.
class ResourcesTest : public ::testing::Test {
protected:
    ResourcesTest()
        : Root_(fs::temp_directory_path() / ("marlowen-packs-" + std::to_string(std::random_device{}()))),
          Files_(Root_) {}

    void SetUp() override {
        fs::create_directories(Root_ / "C" / "Packs");
        Resources_.SetXorMask(0);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(Root_, error);
    }

    std::string Host(const std::string& name) const { return (Root_ / "C" / "Packs" / name).string(); }
    void Save(const TPackWriter& writer, const std::string& name) const { writer.SaveToFile(Host(name)); }
    void SaveBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(Host(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // A pack whose item sequence is the stream's bytes as they are.
    void SaveSequence(const std::string& name, const TCustomMemStream& items) const {
        SaveBytes(name, CompressBlock(LZRBCompress(), items.Memory(), items.Size()));
    }
    void LoadAll(TResources& resources) const { resources.LoadPacks(Files_, "C:\\Packs"); }
    void LoadAll() { LoadAll(Resources_); }
    // The message of the error loading the folder raises.
    std::string LoadError(TResources& resources) const {
        try {
            LoadAll(resources);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "no error";
    }

    fs::path Root_;
    THeadlessFileSystem Files_;
    TResources Resources_;
};

std::unique_ptr<TXMLNode> Document(const std::string& root, int32_t version) {
    auto node = std::make_unique<TXMLNode>(root);
    node->Attributes().Add(std::make_unique<TXMLProperty>("Version", TVariant(version)));
    node->AddChild("default");
    return node;
}

void MakeBitmap(TBitmap32& bitmap, int32_t w, int32_t h, uint32_t colour) {
    bitmap.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) bitmap.Row(y)[x] = colour + static_cast<uint32_t>(y * w + x);
}

std::vector<uint8_t> FontBody() {
    TFontImages font;
    font.SetLineMetrics(8, 2, 1);
    auto symbol = std::make_unique<TFontSymbol>();
    symbol->SetText(u"A");
    symbol->SetMetrics({0, 0, 0, 7, 10, 8, 2});
    font.AddSymbol(std::move(symbol));
    TMemStream stream;
    font.Save(stream);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

TEST_F(ResourcesTest, EveryKindOfItemLoadsAndIsFoundByItsKind) {
    TPackWriter writer;
    TBitmap32 bitmap;
    MakeBitmap(bitmap, 3, 2, 0xFF000000);
    writer.AddBitmap("Images\\a.bmp", bitmap);
    writer.AddEmpty("readme.txt");
    writer.AddFontBody("Fonts\\Main.fnt", FontBody());
    TBitmap32 none;
    writer.AddBitmap("Images\\empty.bmp", none);  // width 0: no pixel data, the next item follows
    writer.AddXML("XML\\Global\\Styles.xml", *Document("Styles", 1));
    writer.AddSound("Sounds\\click.wav", {'R', 'I', 'F', 'F', 0});
    Save(writer, "main.fs");
    LoadAll();

    ASSERT_EQ(Resources_.Count(), 6);
    const TBitmap32& image = Resources_.GetImage("Images\\a.bmp");
    ASSERT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Row(1)[2], 0xFF000005u);
    EXPECT_EQ(Resources_.Find("readme.txt")->Kind(), TResourceKind::None);
    EXPECT_EQ(Resources_.Find("readme.txt")->Bitmap(), nullptr);
    const TFontImages& font = Resources_.GetFont("Fonts\\Main.fnt");
    EXPECT_EQ(font.LineHeight(), 10);
    ASSERT_EQ(font.SymbolCount(), 1);
    EXPECT_EQ(font.SymbolByChar('A')->Advance(), 7);
    EXPECT_EQ(Resources_.GetImage("Images\\empty.bmp").Width(), 0);
    const TXMLNode& styles = Resources_.GetXML("XML\\Global\\Styles.xml");
    EXPECT_EQ(styles.Name(), "Styles");
    EXPECT_NE(styles.FindChild("default"), nullptr);
    const TMemStream* sound = Resources_.Find("Sounds\\click.wav")->Sound();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Size(), 5);
    EXPECT_EQ(sound->Position(), 0);
    EXPECT_EQ(sound->Memory()[3], 'F');

    // Another kind under the name yields none.
    EXPECT_EQ(Resources_.FindImage("XML\\Global\\Styles.xml"), nullptr);
    EXPECT_EQ(Resources_.FindXML("Fonts\\Main.fnt"), nullptr);
    EXPECT_EQ(Resources_.FindFont("Images\\a.bmp"), nullptr);
}

TEST_F(ResourcesTest, VariantsAreAttachedToTheNewestItemOfTheirBaseName) {
    TPackWriter first;
    TBitmap32 bitmap;
    MakeBitmap(bitmap, 2, 1, 0xFF000000);
    first.AddBitmap("Images\\a.bmp", bitmap);
    first.AddBitmap("Images\\b.bmp", bitmap);
    MakeBitmap(bitmap, 4, 2, 0xFF000100);
    first.AddBitmap("Images\\a@2x.bmp", bitmap);
    first.AddBitmap("Images\\c@2x.bmp", bitmap);  // no "c.bmp": an image of its own
    MakeBitmap(bitmap, 3, 2, 0xFF000200);
    first.AddBitmap("Images\\b@2x.bmp", bitmap);  // not 4 x 2: unused for scaling
    first.AddFontBody("Fonts\\Main.fnt", FontBody());
    first.AddFontBody("Fonts\\Main@1.5x.fnt", FontBody());
    Save(first, "1.fs");
    TPackWriter second;
    MakeBitmap(bitmap, 2, 1, 0xFF000300);
    second.AddBitmap("Images\\a.bmp", bitmap);  // a new picture: the old variant is not its own
    MakeBitmap(bitmap, 3, 2, 0xFF000400);
    second.AddBitmap("Images\\b@1.5x.bmp", bitmap);  // a variant for the earlier pack's "b"
    Save(second, "2.fs");
    LoadAll();

    EXPECT_TRUE(Resources_.GetImage("Images\\a.bmp").Variants().empty());
    const TBitmap32* olderA = nullptr;
    for (const TResourceItem* item : Resources_.Items()) {
        if (item->Name() == "Images\\a.bmp" && item->Bitmap()->Row(0)[0] == 0xFF000000) olderA = item->Bitmap();
    }
    ASSERT_NE(olderA, nullptr);
    ASSERT_EQ(olderA->Variants().size(), 1u);
    EXPECT_EQ(olderA->Variants()[0].Bitmap.get(), Resources_.FindImage("Images\\a@2x.bmp"));
    const auto& b = Resources_.GetImage("Images\\b.bmp").Variants();
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].Factor, TDisplayScale::FromPercent(150));
    EXPECT_EQ(Resources_.GetImage("Images\\c@2x.bmp").Width(), 4);
    const TFontImages& font = Resources_.GetFont("Fonts\\Main.fnt");
    EXPECT_EQ(font.SymbolByChar('A')->VariantFor(TDisplayScale::FromPercent(150)),
              Resources_.GetFont("Fonts\\Main@1.5x.fnt").SymbolByChar('A'));
}

TEST_F(ResourcesTest, LookupErrorsNameThePath) {
    TPackWriter writer;
    writer.AddXML("a.xml", *Document("A", 1));
    Save(writer, "p.fs");
    LoadAll();
    const auto message = [](auto lookup) {
        try {
            lookup();
        } catch (const Exception& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { Resources_.GetImage("a.xml"); }), "В списке ресурсов не найдено изображение 'a.xml'.");
    EXPECT_EQ(message([&] { Resources_.GetFont("x\\y.fnt"); }), "В списке ресурсов не найден шрифт 'x\\y.fnt'.");
    EXPECT_EQ(message([&] { Resources_.GetXML("A.xml"); }), "В списке ресурсов не найден XML 'A.xml'.");
    EXPECT_THROW(Resources_.GetImage("a.xml"), EImageNotFound);
    EXPECT_THROW(Resources_.GetFont("a.xml"), EFontNotFound);
    EXPECT_THROW(Resources_.GetXML("missing.xml"), EXMLNotFound);
}

TEST_F(ResourcesTest, NamesMatchExactlyAndTheLastLoadedWins) {
    TPackWriter first;
    TBitmap32 small, large;
    MakeBitmap(small, 1, 1, 0xFF000000);
    MakeBitmap(large, 2, 2, 0xFF000000);
    first.AddBitmap("a.bmp", small);
    first.AddBitmap("a.BMP", large);
    first.AddXML("XML\\Global\\Styles.xml", *Document("Styles", 1));
    first.AddXML("XML\\Global\\Skins.xml", *Document("Skins", 1));
    first.AddXML("XML\\Global\\Skins.xml", *Document("Skins", 2));  // shadowed within the pack
    Save(first, "1.fs");
    TPackWriter second;
    second.AddXML("XML\\Global\\Styles.xml", *Document("Styles", 2));
    Save(second, "2.fs");
    LoadAll();

    EXPECT_EQ(Resources_.Count(), 6);  // shadowed items stay registered
    EXPECT_EQ(Resources_.GetImage("a.bmp").Width(), 1);
    EXPECT_EQ(Resources_.GetImage("a.BMP").Width(), 2);
    EXPECT_EQ(Resources_.FindImage("A.bmp"), nullptr);
    EXPECT_EQ(Resources_.FindXML("XML/Global/Styles.xml"), nullptr);
    EXPECT_EQ(Resources_.GetXML("XML\\Global\\Styles.xml").Attributes().GetInteger("Version"), 2);
    EXPECT_EQ(Resources_.GetXML("XML\\Global\\Skins.xml").Attributes().GetInteger("Version"), 2);
    EXPECT_EQ(Resources_.First()->Name(), "a.bmp");  // load order kept
}

TEST_F(ResourcesTest, OnlyPackFilesOfTheFolderAreLoaded) {
    TPackWriter writer;
    writer.AddEmpty("one");
    Save(writer, "a.fs");
    Save(writer, "b.fsx");
    Save(writer, "c.txt");
    fs::create_directories(Root_ / "C" / "Packs" / "folder.fs");
    SaveBytes("empty.fs", {});  // an empty file is an empty pack
    LoadAll();
    EXPECT_EQ(Resources_.Count(), 1);

    TResources none;
    none.SetXorMask(0);
    none.LoadPacks(Files_, "C:\\Nowhere");
    EXPECT_EQ(none.Count(), 0);
    EXPECT_THROW(none.LoadPack(Files_, "C:\\Packs\\missing.fs"), Exception);
}

TEST_F(ResourcesTest, PackBytesAndMasking) {
    TPackWriter writer;
    writer.AddEmpty("a");
    EXPECT_EQ(writer.PackImage(), (std::vector<uint8_t>{3, 0, 0, 0, 7, 6, 1, 'a'}));
    EXPECT_EQ(writer.PackImage(0x04030201),
              (std::vector<uint8_t>{3 ^ 1, 0 ^ 2, 0 ^ 3, 0 ^ 4, 7 ^ 1, 6 ^ 2, 1 ^ 3, 'a' ^ 4}));
    std::vector<uint8_t> odd = {0, 0, 0, 0, 0, 0, 0};  // the tail takes the mask's low bytes in turn
    XorMaskBytes(odd.data(), odd.size(), 0xA1B2C3D4);
    EXPECT_EQ(odd, (std::vector<uint8_t>{0xD4, 0xC3, 0xB2, 0xA1, 0xD4, 0xC3, 0xB2}));

    TResources masked;
    EXPECT_NE(masked.XorMask(), 0u);
    EXPECT_EQ(masked.XorMask(), TResources::kDefaultXorMask);
    masked.LoadPackImage(writer.PackImage(TResources::kDefaultXorMask));
    EXPECT_NE(masked.Find("a"), nullptr);
    EXPECT_THROW(masked.LoadPackImage(writer.PackImage()), Exception);  // an unmasked pack does not load
}

TEST_F(ResourcesTest, ShortAndMalformedPacksRaiseCompressErrors) {
    for (const std::vector<uint8_t>& image : std::vector<std::vector<uint8_t>>{
             {1}, {1, 0}, {1, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF, 1}, {50, 0, 0, 0, 0xFF, 'a'}}) {
        EXPECT_THROW(Resources_.LoadPackImage(image), ECompressException) << image.size();
    }
    Resources_.LoadPackImage({});
    Resources_.LoadPackImage({0, 0, 0, 0});
    EXPECT_EQ(Resources_.Count(), 0);
}

TEST_F(ResourcesTest, ItemErrorsCarryTheItemName) {
    TPackWriter writer;
    writer.AddEmpty("first.txt");
    writer.AddXML("doc.xml", *Document("Doc", 1));
    const TTypedStream& full = writer.Items();

    // Cut inside the XML body: the first item stays, the failing one is discarded.
    TTypedStream cut;
    cut.WriteBuffer(full.Memory(), full.Size() - 3);
    SaveSequence("cut.fs", cut);
    EXPECT_EQ(LoadError(Resources_), "Выход за пределы потока TTypedStream при попытке чтения данных.\r\n'doc.xml'");
    EXPECT_EQ(Resources_.Count(), 1);
    EXPECT_EQ(Resources_.First()->Name(), "first.txt");

    // A wrong tag: the bitmap's width is a string.
    TTypedStream wrong;
    wrong.WriteString("x.bmp");
    wrong.WriteString("wide");
    SaveSequence("cut.fs", wrong);
    TResources second;
    second.SetXorMask(0);
    EXPECT_EQ(LoadError(second), "TTypedStream: Unexpected data type.\r\n'x.bmp'");
    EXPECT_EQ(second.Count(), 0);

    // A name cut short: no name was read.
    TTypedStream name;
    name.WriteBuffer("\x06\x05" "ab", 4);
    SaveSequence("cut.fs", name);
    TResources third;
    third.SetXorMask(0);
    EXPECT_EQ(LoadError(third), "Выход за пределы потока TTypedStream при попытке чтения данных.\r\n''");
}

TEST_F(ResourcesTest, EveryTruncationOfAPackFailsCleanly) {
    TPackWriter writer;
    TBitmap32 bitmap;
    MakeBitmap(bitmap, 2, 2, 0x80000000);
    writer.AddBitmap("b.bmp", bitmap);
    writer.AddFontBody("f.fnt", FontBody());
    writer.AddXML("d.xml", *Document("D", 7));
    writer.AddSound("s.wav", {1, 2, 3});
    const TTypedStream& items = writer.Items();
    int32_t loaded = 0;
    for (int32_t size = 0; size < items.Size(); ++size) {
        TResources resources;
        resources.SetXorMask(0);
        try {
            resources.LoadPackImage(CompressBlock(LZRBCompress(), items.Memory(), size));
            ++loaded;  // a cut between two items: the whole items before it
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find("\r\n'"), std::string::npos) << size;
        }
    }
    EXPECT_EQ(loaded, 4);
}

TEST_F(ResourcesTest, WriterRefusesNamesOfAnotherKind) {
    TPackWriter writer;
    TBitmap32 bitmap;
    EXPECT_THROW(writer.AddBitmap("a.png", bitmap), Exception);
    EXPECT_THROW(writer.AddEmpty("b.XML"), Exception);
    EXPECT_THROW(writer.AddSound("c", {}), Exception);
    EXPECT_THROW(writer.AddXML("xml", TXMLNode("A")), Exception);
    EXPECT_EQ(writer.Count(), 0);
    EXPECT_EQ(writer.Items().Size(), 0);
    EXPECT_EQ(ResourceKindOf(""), TResourceKind::None);
    EXPECT_EQ(ResourceKindOf(".Wav"), TResourceKind::Sound);
}

}  // namespace
}  // namespace marlowen
