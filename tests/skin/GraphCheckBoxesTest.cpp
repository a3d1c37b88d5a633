#include "skin/GraphCheckBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "core/Languages.h"
#include "skin/FontImages.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// The four required images of folder "Box", 4 x 4 (the normal unchecked one 5 x 4), one
// colour each, and what the missing ones become.
constexpr uint32_t kNormalChecked = 0xFF204060;
constexpr uint32_t kNormalUnchecked = 0xFF406020;
constexpr uint32_t kPressedChecked = 0xFF602040;
constexpr uint32_t kPressedUnchecked = 0xFF000080;
constexpr uint32_t kHotChecked = 0xFF24496D;    // kNormalChecked * 146 / 128
constexpr uint32_t kHotUnchecked = 0xFF496D24;  // kNormalUnchecked * 146 / 128
constexpr uint32_t kGreyChecked = 0xFF393939;   // (28 B + 151 G + 77 R) / 256 of kNormalChecked
constexpr uint32_t kGreyUnchecked = 0xFF4F4F4F;

constexpr uint32_t kTextColor = 0xFF0000FF;

enum Row { kNormal, kPressed, kHot, kDisabled };

class GraphCheckBoxesTest : public ::testing::Test {
protected:
    GraphCheckBoxesTest() {
        Bench.AddImage("Box\\normal_checked.bmp", 4, 4, kNormalChecked);
        Bench.AddImage("Box\\normal.bmp", 5, 4, kNormalUnchecked);
        Bench.AddImage("Box\\pressed_checked.bmp", 4, 4, kPressedChecked);
        Bench.AddImage("Box\\pressed.bmp", 4, 4, kPressedUnchecked);
        Bench.AddFont("Fonts\\Dot.fnt", u"abcdef", 3);
        Bench.AddXml("Styles\\Check.xml", R"(<Check CheckboxFolder="Box" Font="Fonts\Dot.fnt" TextColor="0xFF0000FF")"
                                            R"( TextIndent="3"/>)");
    }

    // Builds one element under the parent (a root of the container when none) and appends it.
    template <class T>
    T& Add(std::string_view xml, TCustomGraphControl* parent = nullptr) {
        Documents_.push_back(ParseXml(xml));
        const TXMLNode& node = *Documents_.back();
        auto control = Bench.Context.Elements.Lookup(node.Name())->Factory(parent, Bench.Context, node);
        TGraphControls& list = parent != nullptr ? parent->Controls() : Bench.Container->Controls();
        T& added = dynamic_cast<T&>(*list.AddControl(std::move(control)));
        Bench.Pump();
        return added;
    }
    // A plain control that holds others, at (x, y) of the container.
    TCustomGraphControl& Panel(int32_t x, int32_t y, int32_t width, int32_t height) {
        auto panel = std::make_unique<TCustomGraphControl>(Bench.Context);
        panel->SetBounds(x, y, width, height);
        return *Bench.Container->Controls().AddControl(std::move(panel));
    }
    // An image pixel by pixel (rows top first) as a pack item.
    void AddPixels(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
        TBitmap32 bitmap;
        bitmap.SetSize(width, height);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) bitmap.Row(y)[x] = pixels[static_cast<size_t>(y * width + x)];
        TMemStream stream;
        bitmap.SaveToPack(stream);
        stream.SetPosition(0);
        auto item = std::make_unique<TResourceItem>(path);
        item->LoadBody(stream);
        Bench.Resources.Add(std::move(item));
    }

    // The pixel at (x, y) of the container while the box at (bx, by) shows the row: the pointer
    // away, over it, pressed on it (released outside afterwards), or the box disabled.
    uint32_t Look(TGraphCheckBox& box, Row row, int32_t x, int32_t y) {
        const TPoint at = box.ClientToContainer(1, 1);
        uint32_t pixel = 0;
        switch (row) {
            case kNormal: Bench.Host().MoveMouse(199, 99); break;
            case kHot: Bench.Host().MoveMouse(at.X, at.Y); break;
            case kPressed: Bench.Host().PressLeft(at.X, at.Y); break;
            case kDisabled: box.SetEnabled(false); break;
        }
        Bench.Pump();
        pixel = Bench.Pixel(x, y);
        if (row == kPressed) Bench.Host().ReleaseLeft(199, 99);
        if (row == kDisabled) box.SetEnabled(true);
        Bench.Host().MoveMouse(199, 99);
        Bench.Pump();
        return pixel;
    }

    TControlBench Bench;
    int Clicks = 0;
    TNotifyEvent CountClicks = [this](TCustomGraphControl&) { ++Clicks; };

private:
    std::vector<std::unique_ptr<TXMLNode>> Documents_;
};

// --- the image table ---

TEST_F(GraphCheckBoxesTest, MissingImagesFallBackToCheckedBrightenedAndGreyCopies) {
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box"/>)");
    EXPECT_EQ(box.Width(), 5);  // the normal unchecked image's size
    EXPECT_EQ(box.Height(), 4);
    EXPECT_TRUE(box.Checked());

    const uint32_t expected[3][4] = {
        {kNormalChecked, kPressedChecked, kHotChecked, kGreyChecked},
        {kNormalUnchecked, kPressedUnchecked, kHotUnchecked, kGreyUnchecked},
        // No "_grayed" images: the checked ones of each row.
        {kNormalChecked, kPressedChecked, kHotChecked, kGreyChecked},
    };
    for (TCheckState state : {TCheckState::Checked, TCheckState::Unchecked, TCheckState::Grayed}) {
        box.SetCheckState(state);
        for (Row row : {kNormal, kPressed, kHot, kDisabled}) {
            EXPECT_EQ(Look(box, row, 11, 11), expected[static_cast<int>(state)][row])
                << "state " << static_cast<int>(state) << ", row " << row;
        }
    }
    EXPECT_EQ(box.CheckState(), TCheckState::Grayed);  // pressing and releasing outside toggled nothing
    EXPECT_EQ(Bench.Pixel(14, 11), kWhite);            // 4 x 4 checked image in a 5 wide box
}

TEST_F(GraphCheckBoxesTest, ImagesOfTheFolderAreUsedWhereTheyExist) {
    const char* rows[] = {"normal", "pressed", "hot", "disabled"};
    const char* suffixes[] = {"_checked", "", "_grayed"};
    uint32_t colours[3][4];
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row) {
            colours[column][row] = 0xFF000000u | static_cast<uint32_t>(column * 16 + row + 1);
            Bench.AddImage(std::string("Full\\") + rows[row] + suffixes[column] + ".bmp", 2, 2, colours[column][row]);
        }
    }
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="0" Top="0" Width="6" Height="6" Path="Full"/>)");
    for (TCheckState state : {TCheckState::Checked, TCheckState::Unchecked, TCheckState::Grayed}) {
        box.SetCheckState(state);
        for (Row row : {kNormal, kPressed, kHot, kDisabled}) {
            EXPECT_EQ(Look(box, row, 1, 1), colours[static_cast<int>(state)][row])
                << "state " << static_cast<int>(state) << ", row " << row;
        }
    }
}

TEST_F(GraphCheckBoxesTest, CreationFailsOnAMissingRequiredImageOrStyle) {
    Bench.AddImage("Half\\normal_checked.bmp", 2, 2, kBlack);
    Bench.AddImage("Half\\normal.bmp", 2, 2, kBlack);
    auto expectError = [this](std::string_view xml, const char* message) {
        try {
            Add<TCustomGraphControl>(xml);
            ADD_FAILURE() << "no error for " << xml;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    expectError(R"(<GraphCheckBox Left="0" Top="0" Path="Half"/>)",
                "В списке ресурсов не найдено изображение 'Half\\pressed_checked.bmp'.");
    expectError(R"(<Checkbox Style="Styles\Missing.xml" Left="0" Top="0" Caption="x"/>)",
                "В списке ресурсов не найден XML 'Styles\\Missing.xml'.");
    expectError(R"(<GraphRadioButton Left="0" Path="Box"/>)", "Property Top not found.");
    EXPECT_EQ(Bench.Container->Controls().Count(), 0);
}

TEST_F(GraphCheckBoxesTest, ImageAlignmentAndHitTestByAlpha) {
    // Every image 3 x 3 with a transparent top-left corner.
    const uint32_t c = 0xFF808080;
    const std::vector<uint32_t> pixels = {0, c, c, c, c, c, c, c, c};
    for (const char* name : {"normal_checked", "normal", "pressed_checked", "pressed"}) {
        AddPixels(std::string("Corner\\") + name + ".bmp", 3, 3, pixels);
    }
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="20" Top="20" Width="7" Height="6" Path="Corner"/>)");
    box.OnClick = CountClicks;
    box.HorzImageAlignment = TImageAlignment::Center;  // (7 - 3) / 2 = 2
    box.VertImageAlignment = TImageAlignment::End;     // 6 - 3 = 3
    box.Invalidate();
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(22, 23), kWhite);  // the transparent corner
    EXPECT_EQ(Bench.Pixel(23, 23), c);
    EXPECT_EQ(Bench.Pixel(24, 25), c);
    EXPECT_EQ(Bench.Pixel(25, 25), kWhite);

    Bench.Host().Click(22, 23);  // inside the rectangle, on a transparent pixel
    Bench.Host().Click(21, 25);  // inside the rectangle, beside the image
    EXPECT_EQ(Clicks, 0);
    Bench.Host().Click(23, 23);
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(box.Checked());
}

// --- mouse and space bar ---

TEST_F(GraphCheckBoxesTest, MouseClickTogglesWhereItIsReleased) {
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box"/>)");
    box.OnClick = CountClicks;
    Bench.Host().PressLeft(11, 11);
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Pressed);
    EXPECT_TRUE(box.IsCaptured());
    Bench.Host().ReleaseLeft(11, 11);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Hot);
    EXPECT_EQ(Clicks, 1);

    // Released outside: nothing.
    Bench.Host().PressLeft(11, 11);
    Bench.Host().MoveMouse(50, 50);
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal);
    Bench.Host().MoveMouse(12, 12);
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Pressed);
    Bench.Host().ReleaseLeft(50, 50);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal);
    EXPECT_FALSE(box.IsCaptured());
    EXPECT_EQ(Clicks, 1);
}

TEST_F(GraphCheckBoxesTest, LosingTheCaptureEndsThePress) {
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box"/>)");
    auto& other = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="30" Top="10" Path="Box"/>)");
    box.OnClick = CountClicks;
    other.OnClick = CountClicks;
    Bench.Host().PressLeft(11, 11);
    other.CaptureMouse();
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal);
    other.ReleaseMouse();
    Bench.Host().ReleaseLeft(11, 11);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(other.Checked());
    EXPECT_EQ(Clicks, 0);
}

TEST_F(GraphCheckBoxesTest, SpaceBarPressesAndTogglesTheFocusedBox) {
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box" TabStop="true"/>)");
    box.OnClick = CountClicks;
    box.SetFocused(true);
    EXPECT_FALSE(Bench.Host().KeyDown(VirtualKey::Return));
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Space));
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Pressed);
    Bench.Host().MoveMouse(50, 50);  // the state stays pressed wherever the pointer is
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Pressed);
    EXPECT_TRUE(Bench.Host().KeyUp(VirtualKey::Space));
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal);
    EXPECT_EQ(Clicks, 1);

    // A handler that takes the key leaves the box alone.
    box.OnKeyDown = [](uint32_t, bool, bool, bool&) {};
    EXPECT_TRUE(Bench.Host().KeyDown(VirtualKey::Space));
    EXPECT_TRUE(Bench.Host().KeyUp(VirtualKey::Space));
    EXPECT_EQ(Clicks, 1);
    box.OnKeyDown = nullptr;

    // Losing the focus while the space bar is down cancels the press.
    auto& other = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="30" Top="10" Path="Box"/>)");
    Bench.Host().KeyDown(VirtualKey::Space);
    other.SetFocused(true);
    EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal);
    box.SetFocused(true);
    Bench.Host().KeyUp(VirtualKey::Space);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(GraphCheckBoxesTest, OnePressTogglesOnceHoweverSpaceAndMouseInterleave) {
    auto& box = Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box"/>)");
    box.OnClick = CountClicks;
    box.SetFocused(true);
    THeadlessWindowHost& host = Bench.Host();
    const std::vector<std::vector<char>> orders = {
        {'s', 'm', 'M', 'S'},  // s/S space down/up, m/M mouse down/up
        {'s', 'm', 'S', 'M'},
        {'m', 's', 'S', 'M'},
        {'m', 's', 'M', 'S'},
    };
    for (const auto& order : orders) {
        const bool before = box.Checked();
        Clicks = 0;
        for (char step : order) {
            switch (step) {
                case 's': host.KeyDown(VirtualKey::Space); break;
                case 'S': host.KeyUp(VirtualKey::Space); break;
                case 'm': host.PressLeft(11, 11); break;
                case 'M': host.ReleaseLeft(11, 11); break;
            }
        }
        const std::string name(order.begin(), order.end());
        EXPECT_EQ(Clicks, 1) << name;
        EXPECT_NE(box.Checked(), before) << name;
        EXPECT_FALSE(box.IsCaptured()) << name;
        host.MoveMouse(50, 50);
        EXPECT_EQ(box.VisualState(), TCheckBoxVisualState::Normal) << name;
    }
}

TEST_F(GraphCheckBoxesTest, ABoxFreedByItsOwnClickHandlerIsSafe) {
    const int32_t subscriptions = Languages->NotificationCount();
    auto freeOnClick = [](TCustomGraphControl& sender) { delete &sender; };
    Add<TGraphCheckBox>(R"(<GraphCheckBox Left="10" Top="10" Path="Box"/>)").OnClick = freeOnClick;
    Bench.Host().Click(11, 11);
    auto& keyed = Add<TGraphRadioButton>(R"(<GraphRadioButton Left="10" Top="10" Path="Box"/>)");
    keyed.OnClick = freeOnClick;
    keyed.SetFocused(true);
    Bench.Host().KeyDown(VirtualKey::Space);
    Bench.Host().KeyUp(VirtualKey::Space);
    Add<TGraphTextRadioButton>(R"(<RadioButton Style="Styles\Check.xml" Left="10" Top="10" Caption="a"/>)").OnClick =
        freeOnClick;
    Bench.Host().Click(11, 11);
    Bench.Pump();
    EXPECT_EQ(Bench.Container->Controls().Count(), 0);
    EXPECT_EQ(Languages->NotificationCount(), subscriptions);
}

// --- radio buttons ---

TEST_F(GraphCheckBoxesTest, RadioButtonsStartUncheckedUnlessTheDocumentChecksThem) {
    EXPECT_TRUE(Add<TGraphCheckBox>(R"(<GraphCheckBox Left="0" Top="0" Path="Box"/>)").Checked());
    EXPECT_TRUE(
        Add<TGraphTextCheckBox>(R"(<Checkbox Style="Styles\Check.xml" Left="0" Top="0" Caption="a"/>)").Checked());
    EXPECT_FALSE(Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="0" Path="Box"/>)").Checked());
    EXPECT_TRUE(
        Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="0" Path="Box" Checked="true"/>)").Checked());
    EXPECT_FALSE(
        Add<TGraphTextRadioButton>(R"(<RadioButton Style="Styles\Check.xml" Left="0" Top="0" Caption="a"/>)").Checked());
}

TEST_F(GraphCheckBoxesTest, CheckingARadioButtonUnchecksItsGroupUnderTheSameParentOnly) {
    TCustomGraphControl& panel = Panel(0, 0, 200, 40);
    TCustomGraphControl& otherPanel = Panel(0, 50, 200, 40);
    auto& a = Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="0" Path="Box"/>)", &panel);
    auto& b = Add<TGraphRadioButton>(R"(<GraphRadioButton Left="10" Top="0" Path="Box" Checked="true"/>)", &panel);
    auto& otherGroup =
        Add<TGraphRadioButton>(R"(<GraphRadioButton Left="20" Top="0" Path="Box" Group="1" Checked="true"/>)", &panel);
    auto& otherClass = Add<TGraphTextRadioButton>(
        R"(<RadioButton Style="Styles\Check.xml" Left="40" Top="0" Caption="a" Checked="true"/>)", &panel);
    auto& otherParent =
        Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="0" Path="Box" Checked="true"/>)", &otherPanel);
    a.OnClick = CountClicks;

    Bench.Host().Click(1, 1);
    EXPECT_TRUE(a.Checked());
    EXPECT_FALSE(b.Checked());
    EXPECT_TRUE(otherGroup.Checked());
    EXPECT_TRUE(otherClass.Checked());
    EXPECT_TRUE(otherParent.Checked());
    EXPECT_EQ(Clicks, 1);

    // The same from code, and among captioned ones.
    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    auto& t =
        Add<TGraphTextRadioButton>(R"(<RadioButton Style="Styles\Check.xml" Left="40" Top="20" Caption="a"/>)", &panel);
    t.SetChecked(true);
    EXPECT_FALSE(otherClass.Checked());
    EXPECT_TRUE(b.Checked());
}

TEST_F(GraphCheckBoxesTest, ClickingACheckedRadioButtonKeepsItChecked) {
    auto& image = Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="0" Path="Box" Checked="true"/>)");
    auto& uncheckable =
        Add<TGraphRadioButton>(R"(<GraphRadioButton Left="0" Top="20" Path="Box" Checked="true" CanUncheck="true"/>)");
    auto& text = Add<TGraphTextRadioButton>(
        R"(<RadioButton Style="Styles\Check.xml" Left="0" Top="40" Caption="a" Checked="true" Group="1"/>)");
    auto& fixed = Add<TGraphTextRadioButton>(
        R"(<RadioButton Style="Styles\Check.xml" Left="0" Top="60" Caption="a" Checked="true" Group="2")"
        R"( CanUncheck="false"/>)");
    int imageClicks = 0, uncheckableClicks = 0, textClicks = 0, fixedClicks = 0;
    image.OnClick = [&](TCustomGraphControl&) { ++imageClicks; };
    uncheckable.OnClick = [&](TCustomGraphControl&) { ++uncheckableClicks; };
    text.OnClick = [&](TCustomGraphControl&) { ++textClicks; };
    fixed.OnClick = [&](TCustomGraphControl&) { ++fixedClicks; };
    for (int32_t y : {1, 21, 41, 61}) Bench.Host().Click(1, y);
    EXPECT_EQ(imageClicks, 0);
    EXPECT_EQ(uncheckableClicks, 1);
    EXPECT_EQ(textClicks, 1);
    EXPECT_EQ(fixedClicks, 0);
    for (TGraphCheckBox* box : std::vector<TGraphCheckBox*>{&image, &uncheckable, &text, &fixed}) {
        EXPECT_TRUE(box->Checked());
    }
    EXPECT_EQ(fixed.VisualState(), TCheckBoxVisualState::Hot);

    // The space bar released over a checked button that raises nothing leaves it unpressed.
    image.SetFocused(true);
    Bench.Host().KeyDown(VirtualKey::Space);
    Bench.Host().KeyUp(VirtualKey::Space);
    EXPECT_EQ(image.VisualState(), TCheckBoxVisualState::Normal);
    EXPECT_EQ(imageClicks, 0);
}

// --- captioned boxes ---

// Selects a language for the scope of a test and returns to English after it.
class TLanguageScope {
public:
    explicit TLanguageScope(std::u16string_view code) { Languages->SelectLanguage(code); }
    ~TLanguageScope() { Languages->SelectLanguage(u"eng"); }
};

TEST_F(GraphCheckBoxesTest, AutoSizeKeepsTheEdgeOrCentreOfItsAlignmentAcrossLanguages) {
    // Box 4 wide, indent 3, glyphs 3 wide: width = 4 + 3 + 3 n + 1; 20 in English, 14 in Russian.
    auto& left = Add<TGraphTextCheckBox>(
        R"(<Checkbox Style="Styles\Check.xml" Left="100" Top="0" Width="30" Caption="[rus]ab[eng]abcd"/>)");
    auto& right = Add<TGraphTextCheckBox>(
        R"(<Checkbox Style="Styles\Check.xml" Left="100" Top="20" Width="30" Alignment="Right")"
        R"( Caption="[rus]ab[eng]abcd"/>)");
    auto& center = Add<TGraphTextCheckBox>(
        R"(<Checkbox Style="Styles\Check.xml" Left="100" Top="40" Width="30" Alignment="center")"
        R"( Caption="[rus]ab[eng]abcd"/>)");
    auto& fixed = Add<TGraphTextCheckBox>(
        R"(<Checkbox Style="Styles\Check.xml" Left="100" Top="60" Width="30" AutoSize="false")"
        R"( Caption="[rus]ab[eng]abcd"/>)");
    auto bounds = [](const TCustomGraphControl& c) {
        return std::to_string(c.Left()) + "+" + std::to_string(c.Width());
    };
    EXPECT_EQ(bounds(left), "100+20");
    EXPECT_EQ(bounds(right), "110+20");   // right edge 130
    EXPECT_EQ(bounds(center), "105+20");  // centre 115
    EXPECT_EQ(bounds(fixed), "100+30");
    EXPECT_EQ(left.Height(), 4);  // the normal unchecked image's height
    {
        TLanguageScope russian(u"rus");
        EXPECT_EQ(bounds(left), "100+14");
        EXPECT_EQ(bounds(right), "116+14");
        EXPECT_EQ(bounds(center), "108+14");
        EXPECT_EQ(bounds(fixed), "100+30");
        EXPECT_EQ(left.Text().Text(), u"ab");
    }
    EXPECT_EQ(bounds(left), "100+20");
    EXPECT_EQ(bounds(right), "110+20");
    EXPECT_EQ(bounds(center), "105+20");
    EXPECT_EQ(left.Text().Text(), u"abcd");
}

TEST_F(GraphCheckBoxesTest, CaptionIsCentredBesideTheBoxWithAFocusRectangle) {
    // Height 14: box image (4 x 4) at y 5, text (10 high) at y 2, glyph dots at x 7 and 10.
    auto& box = Add<TGraphTextCheckBox>(
        R"(<Checkbox Style="Styles\Check.xml" Left="0" Top="0" Height="14" Caption="ab" TabStop="true"/>)");
    EXPECT_EQ(box.Width(), 4 + 3 + 6 + 1);
    EXPECT_EQ(Bench.Pixel(0, 4), kWhite);
    EXPECT_EQ(Bench.Pixel(0, 5), kNormalChecked);
    EXPECT_EQ(Bench.Pixel(3, 8), kNormalChecked);
    EXPECT_EQ(Bench.Pixel(3, 9), kWhite);
    EXPECT_EQ(Bench.Pixel(7, 2), kTextColor);
    EXPECT_EQ(Bench.Pixel(10, 2), kTextColor);
    EXPECT_EQ(Bench.Pixel(6, 2), kWhite);

    // Focused by a click: no outline until the keyboard is used.
    Bench.Host().Click(1, 1);  // the corner outside the box image still hits
    EXPECT_TRUE(box.Focused());
    EXPECT_FALSE(box.Checked());
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(6, 2), kWhite);
    // Then: a dotted outline from (6, 2) to (13, 13), every other pixel from its corner.
    Bench.Container->SetFocusCuesShown(true);
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(6, 2), kBlack);
    EXPECT_EQ(Bench.Pixel(7, 2), kTextColor);  // odd places keep what lies below
    EXPECT_EQ(Bench.Pixel(8, 2), kBlack);
    EXPECT_EQ(Bench.Pixel(10, 2), kBlack);
    EXPECT_EQ(Bench.Pixel(12, 2), kBlack);
    EXPECT_EQ(Bench.Pixel(13, 3), kBlack);
    EXPECT_EQ(Bench.Pixel(13, 2), kWhite);
    EXPECT_EQ(Bench.Pixel(6, 4), kBlack);
    EXPECT_EQ(Bench.Pixel(6, 5), kWhite);
    EXPECT_EQ(Bench.Pixel(7, 13), kBlack);
    EXPECT_EQ(Bench.Pixel(13, 13), kBlack);
    EXPECT_EQ(Bench.Pixel(5, 2), kWhite);
    EXPECT_EQ(Bench.Pixel(7, 12), kWhite);
    EXPECT_EQ(Bench.Pixel(8, 4), kWhite);

    box.SetFocused(false);
    Bench.Pump();
    EXPECT_EQ(Bench.Pixel(6, 2), kWhite);
    EXPECT_EQ(Bench.Pixel(13, 13), kWhite);
}

}  // namespace
}  // namespace marlowen::testing
