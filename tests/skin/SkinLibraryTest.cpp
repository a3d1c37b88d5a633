#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/MultiLanguageException.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessRegistry.h"
#include "skin/FontImages.h"
#include "skin/PackWriter.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"
#include "skin/XMLNode.h"
#include "storage/MemStream.h"

namespace marlowen {
namespace {

namespace fs = std::filesystem;
constexpr auto HKLM = TRegistryRoot::LocalMachine;
constexpr auto HKCU = TRegistryRoot::CurrentUser;

std::vector<uint8_t> FontBody() {
    TFontImages font;
    font.SetLineMetrics(10, 3, 0);
    TMemStream stream;
    font.Save(stream);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

// A setup folder with one pack holding the three global documents, and a registry.
class SkinLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        Root_ = fs::temp_directory_path() /
                ("marlowen-skin-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Root_);
        fs::create_directories(Root_ / "C" / "Setup");
        Files_ = std::make_unique<THeadlessFileSystem>(Root_);

        Styles_.AddChild("default").Attributes().Add(std::make_unique<TXMLProperty>("Font", TVariant("Fonts\\Main.fnt")));
        TXMLNode& title = Styles_.AddChild("Title");
        title.Attributes().Add(std::make_unique<TXMLProperty>("Color", TVariant(int64_t{0xFF102030})));
        title.Attributes().Add(std::make_unique<TXMLProperty>("Alignment", TVariant("center")));
        Styles_.AddChild("Body").Attributes().Add(std::make_unique<TXMLProperty>("Alignment", TVariant("Brick")));
        Skins_.AddChild("Green");
        Skins_.AddChild("Blue");
        for (const char* name : {"Holdem", "Omaha"}) {
            TXMLNode& game = Games_.AddChild(name);
            game.Attributes().Add(std::make_unique<TXMLProperty>("Condition", TVariant(std::string("Is") + name)));
            game.Attributes().Add(std::make_unique<TXMLProperty>("MenuItem", TVariant("mi" + std::string(name))));
            game.Attributes().Add(std::make_unique<TXMLProperty>("Caption", TVariant(u"Игра")));
            game.Attributes().Add(std::make_unique<TXMLProperty>("MaxPlayersCount", TVariant(10)));
        }
    }
    void TearDown() override { fs::remove_all(Root_); }

    void WritePack(const std::string& name = "Default.fs") {
        TPackWriter pack;
        pack.AddFontBody("Fonts\\Main.fnt", FontBody());
        pack.AddXML("XML\\Global\\Styles.xml", Styles_);
        pack.AddXML("XML\\Global\\Skins.xml", Skins_);
        pack.AddXML("XML\\Global\\Games.xml", Games_);
        pack.SaveToFile((Root_ / "C" / "Setup" / name).u8string());
    }

    void StartUp(TSkinLibrary& library) { library.Start(*Files_, Registry_, "C:\\Setup"); }

    std::string StoredSkin() {
        auto key = Registry_.OpenKey(HKCU, TSkinLibrary::kSettingsKey, RegistryAccess::Read, false);
        return key ? key->ReadString("CurrentSkin").value_or("<none>") : "<no key>";
    }

    void SetBoolean(TRegistryRoot root, bool value) {
        Registry_.OpenKey(root, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteBoolean("EnableAutoUpdate", value);
    }

    fs::path Root_;
    std::unique_ptr<THeadlessFileSystem> Files_;
    THeadlessRegistry Registry_;
    TXMLNode Styles_{"Styles"}, Skins_{"Skins"}, Games_{"Games"};
};

TEST_F(SkinLibrary, StartUpReadsStylesSkinsAndGames) {
    WritePack();
    {
        TSkinLibrary library;
        StartUp(library);
        const TStyleList& styles = library.Resources().Styles();
        EXPECT_EQ(styles.Default().Font(), library.Resources().FindFont("Fonts\\Main.fnt"));
        EXPECT_FALSE(styles.Default().HasColor());
        const TStyleItem& title = styles.Get("Title");
        EXPECT_EQ(title.Font(), nullptr);
        EXPECT_EQ(title.Color(), 0xFF102030u);
        EXPECT_EQ(title.Alignment(), TTextAlignment::Center);
        EXPECT_EQ(styles.Get("Body").Alignment(), TTextAlignment::Justify);
        EXPECT_FALSE(styles.Get("Body").HasColor());
        EXPECT_THROW(styles.Get("title"), EStyleNotFound);  // style names are exact

        EXPECT_EQ(library.CurrentSkin()->Name(), "Green");
        ASSERT_EQ(library.Games().size(), 2u);
        EXPECT_EQ(library.Games()[1].Condition, "IsOmaha");
        EXPECT_EQ(library.Games()[1].Caption, "Игра");
        EXPECT_EQ(library.Games()[0].MaxPlayersCount, 10);
        EXPECT_TRUE(library.EnableAutoUpdate());
    }
    EXPECT_EQ(StoredSkin(), "Green");  // written back at shutdown
}

TEST_F(SkinLibrary, StoredSkinIsFoundOrReplacedByTheFirst) {
    WritePack();
    Registry_.OpenKey(HKCU, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteString("CurrentSkin", "BLUE");
    {
        TSkinLibrary library;
        StartUp(library);
        EXPECT_EQ(library.CurrentSkin()->Name(), "Blue");
    }
    EXPECT_EQ(StoredSkin(), "Blue");
    Registry_.OpenKey(HKCU, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteString("CurrentSkin", "Gone");
    {
        TSkinLibrary library;
        StartUp(library);
        EXPECT_EQ(library.CurrentSkin()->Name(), "Green");
    }
    EXPECT_EQ(StoredSkin(), "Green");
    Registry_.OpenKey(HKCU, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteInteger("CurrentSkin", 2);
    {
        TSkinLibrary library;
        EXPECT_NO_THROW(StartUp(library));  // a number where the name belongs: none stored
        EXPECT_EQ(library.CurrentSkin()->Name(), "Green");
    }
    EXPECT_EQ(StoredSkin(), "Green");
}

TEST_F(SkinLibrary, AutomaticUpdatePreference) {
    WritePack();
    const auto startedFlag = [&] {
        TSkinLibrary library;
        StartUp(library);
        return library.EnableAutoUpdate();
    };
    EXPECT_TRUE(startedFlag());  // both absent
    SetBoolean(HKLM, false);
    EXPECT_FALSE(startedFlag());  // the machine's value, the user has none
    SetBoolean(HKCU, true);
    EXPECT_TRUE(startedFlag());  // the user's value wins
    SetBoolean(HKCU, false);
    SetBoolean(HKLM, true);
    EXPECT_FALSE(startedFlag());

    // A value of the wrong type counts as absent, wherever it is.
    Registry_.OpenKey(HKCU, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteString("EnableAutoUpdate", "0");
    SetBoolean(HKLM, false);
    EXPECT_FALSE(startedFlag());  // the machine's value stands
    Registry_.OpenKey(HKLM, TSkinLibrary::kSettingsKey, RegistryAccess::ReadWrite, true)->WriteString("EnableAutoUpdate", "0");
    EXPECT_TRUE(startedFlag());  // neither counts: the default
}

TEST_F(SkinLibrary, FailuresOfTheStartUp) {
    {
        TSkinLibrary library;  // no pack beside the executable
        try {
            StartUp(library);
            FAIL();
        } catch (const EXMLNotFound& e) {
            EXPECT_STREQ(e.what(), "В списке ресурсов не найден XML 'XML\\Global\\Styles.xml'.");
        }
    }
    Styles_.AddChild("Odd").Attributes().Add(std::make_unique<TXMLProperty>("Alignment", TVariant("Justify")));
    WritePack();
    {
        TSkinLibrary library;
        try {
            StartUp(library);
            FAIL();
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Неверное описание св-ва Alignment: Justify");
        }
    }
    Styles_.Nodes().Remove(Styles_.Nodes().LastNode(), true);
    Games_.Nodes().LastNode()->Attributes().Remove(Games_.Nodes().LastNode()->Attributes().Find("MaxPlayersCount"), true);
    WritePack();
    {
        TSkinLibrary library;
        try {
            StartUp(library);
            FAIL();
        } catch (const EMultiLanguageException& e) {
            EXPECT_STREQ(e.what(), "Property MaxPlayersCount not found.");
        }
    }
}

TEST_F(SkinLibrary, MissingFontOfAStyle) {
    Styles_.AddChild("Broken").Attributes().Add(std::make_unique<TXMLProperty>("Font", TVariant("Fonts\\None.fnt")));
    WritePack();
    TSkinLibrary library;
    EXPECT_THROW(StartUp(library), EFontNotFound);
}

}  // namespace
}  // namespace marlowen
