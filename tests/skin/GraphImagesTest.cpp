#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlTestSupport.h"
#include "core/Exception.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "platform/Shell.h"
#include "skin/GraphImages.h"
#include "skin/GraphMultiLine.h"
#include "skin/Styles.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// --- Image ---

TEST(GraphImageTest, PaintsWithItsOpacityAtItsOwnSize) {
    TControlBench bench;
    bench.AddImage("Images\\Black.bmp", 2, 2, kBlack);
    bench.Show(R"(<Screen>
        <Image Name="plain" Image="Images\Black.bmp" Left="3" Top="4" Width="50" Height="50"/>
        <Image Image="Images\Black.bmp" Left="10" Top="4" Alpha="128"/>
        <Image Image="Images\Black.bmp" Left="20" Top="4" Alpha="0"/>
        <Image Image="Images\Black.bmp" Left="30" Top="4" Alpha="9999"/>
    </Screen>)");
    const auto& plain = bench.Find<TAlphaGraphImage>("plain");
    EXPECT_EQ(plain.Width(), 2);  // the picture's size wins over the attributes
    EXPECT_EQ(plain.Height(), 2);
    EXPECT_EQ(bench.Pixel(3, 4), kBlack);
    EXPECT_EQ(bench.Pixel(4, 5), kBlack);
    EXPECT_EQ(bench.Pixel(5, 4), kWhite);
    EXPECT_EQ(bench.Pixel(10, 4), 0xFF808080u);  // alpha 255 * 128 / 256 = 127 over white
    EXPECT_EQ(bench.Pixel(20, 4), kWhite);
    EXPECT_EQ(bench.Pixel(30, 4), kBlack);  // kept at 256
}

TEST(GraphImageTest, BuildsItsChildrenAndRefusesAMissingPicture) {
    TControlBench bench;
    bench.AddImage("Images\\Black.bmp", 4, 4, kBlack);
    bench.AddImage("Images\\Red.bmp", 1, 1, 0xFFFF0000);
    bench.Show(R"(<Screen><Image Image="Images\Black.bmp" Left="10" Top="10">
        <Image Name="dot" Image="Images\Red.bmp" Left="1" Top="2"/>
    </Image></Screen>)");
    EXPECT_EQ(bench.Pixel(11, 12), 0xFFFF0000u);
    EXPECT_EQ(bench.Find("dot").ParentControl()->Width(), 4);
    EXPECT_THROW(bench.Show(R"(<Screen><Image Image="Images\None.bmp"/></Screen>)"), EImageNotFound);
}

TEST(GraphImageTest, ClickRaisesTheEventThenOpensTheCommandHidden) {
    TControlBench bench;
    bench.AddImage("Images\\Black.bmp", 5, 5, kBlack);
    bench.Show(R"(<Screen>
        <Image Name="link" Image="Images\Black.bmp" Left="0" Top="0" Command="http://example.com/page"/>
        <Image Name="glass" Image="Images\Black.bmp" Left="20" Top="0" Transparent="true" Command="http://example.com/x"/>
        <Image Name="gone" Image="Images\Black.bmp" Left="40" Top="0" Command="http://example.com/y"/>
    </Screen>)");
    const auto& started = bench.Machine.Shell.Started();
    size_t startsSeenByEvent = 99;
    bench.Find("link").OnLButtonDown = [&](TCustomGraphControl&, int32_t, int32_t, TShiftState) {
        startsSeenByEvent = started.size();
    };
    bench.Host().Click(2, 2);
    EXPECT_EQ(startsSeenByEvent, 0u);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].Verb, "open");
    EXPECT_EQ(started[0].File, "http://example.com/page");
    EXPECT_EQ(started[0].Parameters, "");
    EXPECT_EQ(started[0].Folder, "");
    EXPECT_EQ(started[0].ShowCommand, ShowCommand::Hide);
    EXPECT_FALSE(started[0].Hidden);

    // A transparent image lets the click through; one freed by its own event opens nothing.
    bench.Host().Click(22, 2);
    bench.Find("gone").OnLButtonDown = [&](TCustomGraphControl& sender, int32_t, int32_t, TShiftState) {
        bench.Container->Controls().Remove(&sender, true);
    };
    bench.Host().Click(42, 2);
    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(bench.Container->Controls().FindControl("gone"), nullptr);
}

// --- Text ---

// Dot glyphs 3 pixels apart on lines 10 high; the default style inks black.
class GraphMultiLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        const TFontImages& font =
            Bench.AddFont("Fonts\\Dot.fnt", u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789%, ", 3);
        AddStyle("default", &font, TTextAlignment::Left);
        AddStyle("right", nullptr, TTextAlignment::Right);
        AddStyle("centre", nullptr, TTextAlignment::Center);
        AddStyle("brick", nullptr, TTextAlignment::Justify);
    }

    void AddStyle(const char* name, const TFontImages* font, TTextAlignment alignment) {
        auto style = std::make_unique<TStyleItem>(name);
        style->SetFont(font);
        if (font != nullptr) style->SetColor(kBlack);
        if (alignment != TTextAlignment::Left) style->SetAlignment(alignment);
        Bench.Resources.Styles().Add(std::move(style));
    }

    // The black pixels of the rectangle (exclusive), as "x,y" rows top first.
    std::string Inked(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        std::string points;
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) {
                if (Bench.Pixel(x, y) != kBlack) continue;
                if (!points.empty()) points += ' ';
                points += std::to_string(x) + "," + std::to_string(y);
            }
        }
        return points;
    }

    std::u16string FirstLine(const char* name) {
        return Bench.Find<TGraphMultiLine>(name).Lines().Line(0).Text();
    }

    TControlBench Bench;
};

TEST_F(GraphMultiLineTest, ExpandsVariablesAndPercentSigns) {
    Bench.Show(R"(<Screen>
        <Text Name="prize" Width="200" Height="10" Text="%Who% got 100%% of %Prize% x%count%" Who="Ann" Count="5"/>
        <Text Name="end" Width="200" Height="10" Text="100%"/>
    </Screen>)");
    EXPECT_EQ(FirstLine("prize"), u"Ann got 100% of Prize x5");
    EXPECT_EQ(FirstLine("end"), u"100%");

    auto& prize = Bench.Find<TGraphMultiLine>("prize");
    prize.SetVariable("who", u"[rus]Борис[eng]Bob");
    EXPECT_EQ(FirstLine("prize"), u"Ann got 100% of Prize x5");  // stored, shown at the next layout
    prize.Relayout();
    EXPECT_EQ(FirstLine("prize"), u"Bob got 100% of Prize x5");
}

TEST_F(GraphMultiLineTest, APercentSignWithoutItsPartnerIsRefused) {
    try {
        Bench.Show(R"(<Screen><Text Width="50" Height="10" Text="50% off"/></Screen>)");
        FAIL() << "loaded";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "% не закрыт");
    }
    auto& text = *Bench.Show(R"(<Screen><Text Width="50" Height="10" Text="ok"/></Screen>)");
    EXPECT_THROW(static_cast<TGraphMultiLine&>(text).SetText(u"a %b"), Exception);
}

TEST_F(GraphMultiLineTest, PlacesTheBlockByVerticalAlignment) {
    // Two lines of 10 pixels (a block of 20) in boxes 40 high; the last box is 15 high, so its
    // centred block starts at (15 - 20) / 2 = -2 (toward zero), the first line cut off.
    Bench.Show(R"(<Screen>
        <Text Left="0" Width="30" Height="40" Text="ab<br>c"/>
        <Text Left="40" Width="30" Height="40" Text="ab<br>c" VerticalAlignment="bottom"/>
        <Text Left="80" Width="30" Height="40" Text="ab<br>c" VerticalAlignment="Center"/>
        <Text Left="120" Width="30" Height="15" Text="ab<br>c" VerticalAlignment="Center"/>
    </Screen>)");
    EXPECT_EQ(Inked(0, 0, 160, 100), "0,0 3,0 120,8 0,10 80,10 83,10 40,20 43,20 80,20 40,30");
    EXPECT_THROW(Bench.Show(R"(<Screen><Text VerticalAlignment="Middle"/></Screen>)"), EMultiLanguageException);
}

TEST_F(GraphMultiLineTest, AlignsAndJustifiesEachLine) {
    // Lines 30 wide: a right line, a centred one, then two justified paragraphs. A wrapped
    // justified line spreads its spaces (3 extra pixels: +0 +1 +1 +1); the last line of a
    // paragraph and of the text stay left.
    Bench.Show(R"(<Screen>
        <Text Left="0" Top="0" Width="30" Height="60"
              Text="<right>ab<centre>cd<brick>a b c d e f g<br>a b c d e f"/>
    </Screen>)");
    EXPECT_EQ(Inked(0, 0, 30, 10), "24,0 27,0");
    EXPECT_EQ(Inked(0, 10, 30, 20), "12,10 15,10");
    EXPECT_EQ(Inked(0, 20, 30, 30), "0,20 6,20 13,20 20,20 27,20");
    EXPECT_EQ(Inked(0, 30, 30, 40), "0,30 6,30");
    EXPECT_EQ(Inked(0, 40, 30, 50), "0,40 6,40 13,40 20,40 27,40");
    EXPECT_EQ(Inked(0, 50, 30, 60), "0,50");
    EXPECT_EQ(Bench.Container->ControlAt(1, 1), nullptr);  // the text never takes the mouse
}

TEST_F(GraphMultiLineTest, FollowsTheLanguageUntilFreed) {
    struct TEnglishAgain {
        ~TEnglishAgain() { Languages->SelectLanguage(u"eng"); }
    } englishAgain;
    const int32_t subscribers = Languages->NotificationCount();
    Bench.Show(R"(<Screen><Text Name="t" Width="50" Height="10" Text="[rus]ab[eng]cd"/></Screen>)");
    EXPECT_EQ(Languages->NotificationCount(), subscribers + 1);
    EXPECT_EQ(FirstLine("t"), u"cd");
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(FirstLine("t"), u"ab");
    Bench.Container->Controls().Clear();
    EXPECT_EQ(Languages->NotificationCount(), subscribers);
    Languages->SelectLanguage(u"eng");  // nothing left to tell (the sanitizer watches)
}

}  // namespace
}  // namespace marlowen
