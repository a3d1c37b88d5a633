#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "skin/GraphComboBoxes.h"
#include "skin/GraphFrames.h"
#include "skin/GraphScrollers.h"
#include "skin/Resources.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBoxBrush = 0xFFF8F8F8;
constexpr uint32_t kDropBrush = 0xFFF0F0F0;
constexpr uint32_t kSelected = 0xFF0000C0;
constexpr uint32_t kText = 0xFF101010;
constexpr uint32_t kEditText = 0xFF202020;
constexpr uint32_t kSelectedText = 0xFFFFFFFE;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kYellow = 0xFFFFFF00;
constexpr uint32_t kGrey = 0xFF808080;

// A combo box of 60 x 16 at (10, 10): box frame indents 2, 1, 1, 1; an 8 x 8 drop button; rows of
// 12 with at most 4 shown, one pixel below the box, in a frame with indents of 1; a 10-pixel
// scroll bar. Glyphs are one dot at the pen's top-left, 3 pixels apart, on lines 10 high, so the
// text of a 12-pixel row starts one pixel below the row's top. Every item "aN" shows "N" in the box.
class ComboBoxTest : public ::testing::Test {
protected:
    ComboBoxTest() {
        bench.AddFont("Fonts\\F.fnt", u"a0123456789", 3);
        bench.AddXml("S\\Box.xml", R"(<Frame LeftIndent="2" TopIndent="1" RightIndent="1" BottomIndent="1"
            BrushType="Solid" BrushColor="0xFFF8F8F8" BorderType="Rect" OuterColor="0xFF808080"/>)");
        bench.AddXml("S\\Selected.xml", R"(<Frame LeftIndent="0" TopIndent="0" RightIndent="0" BottomIndent="0"
            BrushType="Solid" BrushColor="0xFF0000C0" BorderType="None"/>)");
        bench.AddXml("S\\Drop.xml", R"(<Frame LeftIndent="1" TopIndent="1" RightIndent="1" BottomIndent="1"
            BrushType="Solid" BrushColor="0xFFF0F0F0" BorderType="Rect" OuterColor="0xFF808080"/>)");
        bench.AddImage("B\\normal.bmp", 8, 8, kGreen);
        bench.AddImage("B\\pressed.bmp", 8, 8, kRed);
        bench.AddImage("B\\hot.bmp", 8, 8, kYellow);
        bench.AddImage("Bar\\подложка\\top.bmp", 10, 4, kGrey);
        bench.AddImage("Bar\\подложка\\middle.bmp", 10, 1, kWhite);
        bench.AddImage("Bar\\ползунок\\top.bmp", 10, 4, kRed);
        bench.AddImage("Bar\\ползунок\\middle.bmp", 10, 2, kRed);
        bench.AddImage("Bar\\ползунок\\hottop.bmp", 10, 4, kRed);
        bench.AddImage("Bar\\ползунок\\hotmiddle.bmp", 10, 2, kRed);
        bench.AddImage("Bar\\кнопка\\normal.bmp", 10, 10, kGrey);
        bench.AddImage("Bar\\кнопка\\pressed.bmp", 10, 10, kGrey);
        AddStyle("S\\Combo.xml", R"(TextAlign="Left")");
    }
    void AddStyle(const std::string& path, const std::string& attributes, const std::string& font = "Fonts\\F.fnt") {
        bench.AddXml(path, R"(<Style Frame="S\Box.xml" SelectedFrame="S\Selected.xml" ButtonFolder="B"
            DropDownFrame="S\Drop.xml" ScrollFolder="Bar" RowHeight="12" DropDownCount="4" DropDownIndent="1"
            Font=")" + font + R"(" TextColor="0xFF101010" SelectedTextColor="0xFFFFFFFE" EditTextColor="0xFF202020"
            TextLeftIndent="2" TextRightIndent="3" )" +
                               attributes + "/>");
    }
    static std::string Items(int count) {
        std::string items = "<Items>";
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            items += "<Item Name=\"i" + n + "\" Text=\"a" + n + "\" Short=\"" + n + "\" Data=\"" + std::to_string(i * 10) +
                     "\"/>";
        }
        return items + "</Items>";
    }
    TGraphComboBox& Show(int count, const std::string& style = "S\\Combo.xml", int32_t top = 10) {
        bench.Show(R"(<Screen><Combobox Name="combo" Left="10" Top=")" + std::to_string(top) +
                   R"(" Width="60" Height="16" Style=")" + style + "\">" + Items(count) + "</Combobox></Screen>");
        auto& combo = bench.Find<TGraphComboBox>("combo");
        combo.OnChange = [this](TCustomGraphControl&) { ++changes; };
        return combo;
    }
    // The container's y of the middle of the drop-down's visible row (opening downwards).
    static int32_t RowY(int32_t row) { return 27 + 1 + row * 12 + 6; }
    bool FrameShown(const TGraphComboBox& combo) {
        const TGraphFrame* frame = combo.DropDownFrame();
        return frame != nullptr && frame->Owner() == &bench.Container->Controls();
    }

    TControlBench bench;
    int changes = 0;
};

TEST_F(ComboBoxTest, ReadsItemsAndStyle) {
    TGraphComboBox& combo = Show(3);
    ASSERT_EQ(combo.ItemCount(), 3);
    EXPECT_EQ(combo.Items(1)->Name, "i1");
    EXPECT_EQ(combo.Items(1)->Text, u"a1");
    EXPECT_EQ(combo.Items(1)->ShortText, u"1");
    EXPECT_EQ(combo.Items(2)->Data, 20);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.GetSelectedItem(), nullptr);
    EXPECT_TRUE(combo.TabStop);
    EXPECT_EQ(combo.DropPosition(), TDropPosition::Down);
    EXPECT_EQ(combo.DropDownWidth(), 0);
    EXPECT_EQ(combo.TextAlign(), THorzAlignment::Left);

    bench.Show(R"(<Screen><Combobox Name="short" Left="0" Top="0" Width="60" Height="16" Style="S\Combo.xml">
        <Items><Anything Text="a7"/></Items></Combobox></Screen>)");
    auto& defaults = bench.Find<TGraphComboBox>("short");
    EXPECT_EQ(defaults.Items(0)->ShortText, u"a7");  // the short text defaults to the text
    EXPECT_EQ(defaults.Items(0)->Data, 0);
    EXPECT_EQ(defaults.Items(0)->Name, "");

    combo.SetItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetItemIndex(-5);
    EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(ComboBoxTest, BadStyleValuesRaiseTheirMessages) {
    AddStyle("S\\BadPosition.xml", R"(TextAlign="Left" DropPosition="Sideways")");
    AddStyle("S\\BadAlign.xml", R"(TextAlign="Middle")");
    AddStyle("S\\NoAlign.xml", "");
    try {
        Show(1, "S\\BadPosition.xml");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Invalid value DropPosition=\"Sideways\".");
    }
    try {
        Show(1, "S\\BadAlign.xml");
        FAIL();
    } catch (const EMultiLanguageException& e) {
        EXPECT_STREQ(e.what(), "Invalid value Alignment=\"Middle\".");
    }
    try {
        Show(1, "S\\NoAlign.xml");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Property TextAlign not found.");
    }
    bench.AddXml("S\\NoFont.xml", R"(<Style Frame="S\Box.xml" SelectedFrame="S\Selected.xml" DropDownFrame="S\Drop.xml"
        RowHeight="12" DropDownCount="4" DropDownIndent="1" Font="Fonts\None.fnt" TextColor="0xFF101010"
        TextLeftIndent="2" TextRightIndent="3" TextAlign="Left"/>)");
    bench.AddXml("S\\NoDropFrame.xml", R"(<Style Frame="S\Box.xml" SelectedFrame="S\Selected.xml"
        DropDownFrame="S\None.xml" RowHeight="12" DropDownCount="4" DropDownIndent="1" Font="Fonts\F.fnt"
        TextColor="0xFF101010" TextLeftIndent="2" TextRightIndent="3" TextAlign="Left"/>)");
    AddStyle("S\\NoScrollImages.xml", R"(TextAlign="Left" ScrollFolder="None")");
    EXPECT_THROW(Show(1, "S\\NoFont.xml"), EFontNotFound);
    EXPECT_THROW(Show(1, "S\\NoDropFrame.xml"), EXMLNotFound);
    EXPECT_THROW(Show(1, "S\\NoScrollImages.xml"), EImageNotFound);
    EXPECT_THROW(Show(1, "S\\Missing.xml"), EXMLNotFound);
    EXPECT_THROW(bench.Show(R"(<Screen><Combobox Left="0" Top="0" Width="60" Height="16"/></Screen>)"), Exception);
    EXPECT_THROW(bench.Show(R"(<Screen><Combobox Left="0" Top="0" Width="60" Height="16" Style="S\Combo.xml">
        <Items><Item Name="x"/></Items></Combobox></Screen>)"),
                 Exception);  // an item needs its text
}

TEST_F(ComboBoxTest, PaintsTheBoxWithButtonAndHighlight) {
    AddStyle("S\\Plain.xml", R"(TextAlign="Left")");
    TGraphComboBox& combo = Show(3, "S\\Plain.xml");
    combo.SetItemIndex(1);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(61, 11), kGreen);  // the button: right indent 1, top indent 1
    EXPECT_EQ(bench.Pixel(68, 18), kGreen);
    EXPECT_EQ(bench.Pixel(60, 11), kBoxBrush);
    EXPECT_EQ(bench.Pixel(14, 13), kEditText);  // the short text, left indents 2 + 2, row 2 + 1 down
    EXPECT_EQ(bench.Pixel(17, 13), kBoxBrush);  // "1" only

    bench.Host().MoveMouse(20, 15);
    bench.Pump();
    EXPECT_EQ(combo.ButtonState(), TButtonState::Hot);
    EXPECT_EQ(bench.Pixel(61, 11), kYellow);
    bench.Host().MoveMouse(150, 90);
    bench.Pump();
    EXPECT_EQ(combo.ButtonState(), TButtonState::Normal);

    combo.SetFocused(true);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(12, 12), kSelected);  // the highlight covers the item's rectangle
    EXPECT_EQ(bench.Pixel(60, 23), kSelected);
    EXPECT_EQ(bench.Pixel(61, 18), kGreen);
    EXPECT_EQ(bench.Pixel(12, 24), kBoxBrush);
    EXPECT_EQ(bench.Pixel(14, 13), kSelectedText);

    combo.SetEnabled(false);  // the disabled image: normal at half alpha
    bench.Pump();
    EXPECT_NE(bench.Pixel(61, 11), kGreen);
}

TEST_F(ComboBoxTest, TextsFollowTheLanguage) {
    bench.Show(R"(<Screen><Combobox Name="combo" Left="10" Top="10" Width="60" Height="16" Style="S\Combo.xml">
        <Items><Item Text="a" Short="[rus]00[eng]0"/></Items></Combobox></Screen>)");
    bench.Find<TGraphComboBox>("combo").SetItemIndex(0);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(14, 13), kEditText);
    EXPECT_EQ(bench.Pixel(17, 13), kBoxBrush);
    Languages->SelectLanguage(u"rus");
    bench.Pump();
    EXPECT_EQ(bench.Pixel(17, 13), kEditText);
    Languages->SelectLanguage(u"eng");
    bench.Pump();
    EXPECT_EQ(bench.Pixel(17, 13), kBoxBrush);
}

TEST_F(ComboBoxTest, AlignsTextWithHalvesTowardZero) {
    AddStyle("S\\Right.xml", R"(TextAlign="Right")");
    AddStyle("S\\Center.xml", R"(TextAlign="Center")");
    bench.Show(R"(<Screen>
        <Combobox Name="right" Left="10" Top="10" Width="60" Height="16" Style="S\Right.xml">
            <Items><Item Text="a" Short="12"/></Items></Combobox>
        <Combobox Name="odd" Left="10" Top="30" Width="60" Height="16" Style="S\Center.xml">
            <Items><Item Text="a" Short="1"/></Items></Combobox>
        <Combobox Name="wide" Left="10" Top="50" Width="60" Height="16" Style="S\Center.xml">
            <Items><Item Text="a" Short="012345678901234"/></Items></Combobox>
    </Screen>)");
    for (const char* name : {"right", "odd", "wide"}) bench.Find<TGraphComboBox>(name).SetItemIndex(0);
    bench.Pump();
    // The item's rectangle: x 12 to 61 (49 wide).
    // Right: 12 + 49 - 3 - 6 = 52.
    EXPECT_EQ(bench.Pixel(52, 13), kEditText);
    EXPECT_EQ(bench.Pixel(55, 13), kEditText);
    EXPECT_EQ(bench.Pixel(51, 13), kBoxBrush);
    // Centre: 12 + 2 + (49 - 2 - 3 - 3) / 2 = 14 + 20.
    EXPECT_EQ(bench.Pixel(34, 33), kEditText);
    EXPECT_EQ(bench.Pixel(35, 33), kBoxBrush);
    // Wider than the room: (44 - 45) / 2 is 0, so the text starts at 14, not 13; clipped at 61.
    EXPECT_EQ(bench.Pixel(14, 53), kEditText);
    EXPECT_EQ(bench.Pixel(13, 53), kBoxBrush);
    EXPECT_EQ(bench.Pixel(56, 53), kEditText);
}

// The text is centred by its own height (10), not by the font's line (16 here): the box's row of
// 12 shows the glyphs one pixel down, as with a font whose line is as high as its glyphs.
TEST_F(ComboBoxTest, CentresTheTextByItsOwnHeight) {
    bench.AddFont("Fonts\\Tall.fnt", u"a0123456789", 3, 12, 4);
    AddStyle("S\\Tall.xml", R"(TextAlign="Left")", "Fonts\\Tall.fnt");
    TGraphComboBox& combo = Show(3, "S\\Tall.xml");
    combo.SetItemIndex(1);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(14, 12), kBoxBrush);
    EXPECT_EQ(bench.Pixel(14, 13), kEditText);
    EXPECT_EQ(bench.Pixel(14, 14), kBoxBrush);
}

TEST_F(ComboBoxTest, OpensBelowWithScrollBarAndChoosesWithTheMouse) {
    AddStyle("S\\Plain.xml", R"(TextAlign="Left")");
    TGraphComboBox& combo = Show(10, "S\\Plain.xml");
    combo.Hint = u"hint";
    EXPECT_TRUE(combo.HasHint());
    bench.Host().PressLeft(20, 15);
    bench.Pump();
    ASSERT_TRUE(combo.Dropped());
    EXPECT_TRUE(combo.Focused());
    EXPECT_TRUE(combo.IsCaptured());
    EXPECT_EQ(combo.ButtonState(), TButtonState::Pressed);
    EXPECT_EQ(bench.Pixel(61, 11), kRed);
    ASSERT_TRUE(FrameShown(combo));
    EXPECT_EQ(bench.Container->Controls().Last(), combo.DropDownFrame());  // painted above everything
    const TGraphFrame& frame = *combo.DropDownFrame();
    EXPECT_EQ(frame.BoundsRect(), (TRect{10, 27, 70, 77}));  // 4 rows of 12 and the indents
    const TGraphListView& list = *combo.ListView();
    EXPECT_EQ(list.BoundsRect(), (TRect{1, 1, 49, 49}));  // narrowed by the bar
    EXPECT_EQ(list.SlotCount(), 4);
    EXPECT_EQ(list.Slot(3)->BoundsRect(), (TRect{0, 36, 48, 48}));  // rows as narrow as the list
    EXPECT_EQ(list.RowCount(), 10);
    EXPECT_TRUE(combo.ScrollBar()->Visible());
    EXPECT_EQ(combo.ScrollBar()->BoundsRect(), (TRect{49, 1, 59, 49}));
    EXPECT_EQ(combo.ScrollBar()->Max(), 10);
    EXPECT_EQ(combo.ScrollBar()->Page(), 4);
    EXPECT_FALSE(combo.HasHint());

    bench.Host().ReleaseLeft(20, 15);  // released on the box: stays open
    bench.Pump();
    EXPECT_TRUE(combo.Dropped());
    EXPECT_EQ(combo.ButtonState(), TButtonState::Normal);

    bench.Host().MoveMouse(20, RowY(2));
    bench.Pump();
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_EQ(bench.Pixel(12, 28 + 24), kSelected);  // the hovered row is highlighted
    EXPECT_EQ(bench.Pixel(13, 28 + 24 + 1), kSelectedText);
    EXPECT_EQ(bench.Pixel(13, 28 + 12 + 1), kText);  // the others in the text colour
    EXPECT_EQ(bench.Pixel(12, 28 + 12), kDropBrush);
    EXPECT_EQ(changes, 0);

    bench.Host().Click(20, RowY(2));
    bench.Pump();
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(FrameShown(combo));
    EXPECT_FALSE(combo.IsCaptured());
    EXPECT_EQ(bench.Pixel(20, 50), kWhite);  // the drop-down's place is repainted
    EXPECT_EQ(bench.Pixel(14, 13), kSelectedText);  // focused and closed: highlighted

    // Choosing the same item again still reports it.
    bench.Host().Click(20, 15);
    bench.Host().Click(20, RowY(2));
    bench.Pump();
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(changes, 2);
}

TEST_F(ComboBoxTest, FourItemsNeedNoScrollBarAndNoItemsGiveAnEmptyFrame) {
    TGraphComboBox& combo = Show(4, "S\\Combo.xml");
    combo.DropDown();
    ASSERT_TRUE(combo.Dropped());
    EXPECT_FALSE(combo.ScrollBar()->Visible());
    EXPECT_EQ(combo.ListView()->BoundsRect(), (TRect{1, 1, 59, 49}));
    EXPECT_EQ(combo.ListView()->ScrollBar(), nullptr);
    combo.CloseUp();
    EXPECT_FALSE(combo.Dropped());

    combo.ClearItems();
    combo.DropDown();
    bench.Pump();
    ASSERT_TRUE(combo.Dropped());
    EXPECT_EQ(combo.DropDownFrame()->BoundsRect(), (TRect{10, 27, 70, 29}));
    EXPECT_EQ(combo.ListView()->SlotCount(), 0);
    EXPECT_EQ(combo.ListView()->RowCount(), 0);
    EXPECT_EQ(bench.Pixel(30, 27), kGrey);  // the frame's border, two lines
    EXPECT_EQ(bench.Pixel(30, 28), kGrey);
    EXPECT_EQ(bench.Pixel(30, 29), kWhite);
    bench.Host().Click(30, 28);  // nothing to choose: the press outside the list closes
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(changes, 0);
}

TEST_F(ComboBoxTest, ClickAfterScrollingByKeysPicksTheVisibleRow) {
    TGraphComboBox& combo = Show(10);
    combo.SetFocused(true);
    bench.Host().PressKey(VirtualKey::Return);
    ASSERT_TRUE(combo.Dropped());
    TGraphListView& list = *combo.ListView();
    EXPECT_EQ(list.Selected(), -1);
    for (int i = 0; i < 9; ++i) bench.Host().PressKey(VirtualKey::Down);
    EXPECT_EQ(list.Selected(), 8);
    EXPECT_EQ(list.TopIndex(), 5);
    for (int i = 0; i < 3; ++i) bench.Host().PressKey(VirtualKey::Up);
    EXPECT_EQ(list.Selected(), 5);
    EXPECT_EQ(list.TopIndex(), 5);
    EXPECT_EQ(combo.ScrollBar()->Position(), 5);
    EXPECT_EQ(changes, 0);  // moving in the open list chooses nothing yet

    bench.Host().Click(20, RowY(0));
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 5);
    EXPECT_EQ(changes, 1);

    // Reopened, the list shows the chosen item selected.
    combo.DropDown();
    EXPECT_EQ(combo.ListView()->Selected(), 5);
    bench.Host().Wheel(120, 20, RowY(1));  // the wheel scrolls the open list
    EXPECT_EQ(combo.ListView()->TopIndex(), 2);
    bench.Host().Wheel(-240, 20, RowY(1));
    EXPECT_EQ(combo.ListView()->TopIndex(), 6);
}

TEST_F(ComboBoxTest, OpensUpwardsEndingIndentBelowTheBoxTop) {
    AddStyle("S\\Up.xml", R"(TextAlign="Left" DropPosition="up" DropDownWidth="80")");
    TGraphComboBox& combo = Show(3, "S\\Up.xml", 60);
    bench.Host().PressLeft(20, 65);
    ASSERT_TRUE(combo.Dropped());
    const TGraphFrame& frame = *combo.DropDownFrame();
    EXPECT_EQ(frame.BoundsRect(), (TRect{10, 61 - 38, 90, 61}));  // bottom = the box's top + indent
    EXPECT_EQ(combo.ListView()->Width(), 78);
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_TRUE(combo.BoxToList(1, -36, x, y));  // container (11, 24): the list's first pixel
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(combo.BoxToList(1, -37, x, y));
    EXPECT_FALSE(combo.BoxToList(79, -30, x, y));
    EXPECT_TRUE(combo.BoxToList(78, -1, x, y));
    EXPECT_EQ(y, 35);
    bench.Host().ReleaseLeft(20, 65);
    bench.Host().Click(20, 24 + 12 + 6);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(ComboBoxTest, KeysOpenChooseAndReportOnlyChanges) {
    TGraphComboBox& combo = Show(5);
    combo.SetItemIndex(3);
    combo.SetFocused(true);
    bench.Host().PressKey(VirtualKey::Return);
    ASSERT_TRUE(combo.Dropped());
    EXPECT_EQ(combo.ListView()->Selected(), 3);
    bench.Host().PressKey(VirtualKey::Return);  // the same row taken again: no change
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 3);
    EXPECT_EQ(changes, 0);

    bench.Host().PressKey(VirtualKey::Return);
    bench.Host().PressKey(VirtualKey::Down);
    bench.Host().PressKey(VirtualKey::Return);
    EXPECT_EQ(combo.ItemIndex(), 4);
    EXPECT_EQ(changes, 1);

    bench.Host().PressKey(VirtualKey::Return);
    bench.Host().PressKey(VirtualKey::Up);
    bench.Host().PressKey(VirtualKey::Escape);  // closes without taking the row
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 4);
    EXPECT_EQ(changes, 1);

    // Closed: Up and Down step through the items within their ends.
    bench.Host().PressKey(VirtualKey::Down);
    EXPECT_EQ(combo.ItemIndex(), 4);
    EXPECT_EQ(changes, 1);
    bench.Host().PressKey(VirtualKey::Up);
    EXPECT_EQ(combo.ItemIndex(), 3);
    EXPECT_EQ(changes, 2);
    combo.SetItemIndex(0);
    bench.Host().PressKey(VirtualKey::Up);
    EXPECT_EQ(combo.ItemIndex(), 0);
    EXPECT_EQ(changes, 2);
    bench.Host().PressKey(VirtualKey::Escape);
    EXPECT_EQ(changes, 2);
}

TEST_F(ComboBoxTest, PressOutsideCaptureLossAndFocusLossClose) {
    bench.Show(R"(<Screen><Frame Name="other" Left="150" Top="80" Width="20" Height="10" Style="S\Box.xml"/></Screen>)");
    TGraphComboBox& combo = Show(10);
    combo.SetItemIndex(1);
    auto& other = bench.Find("other");
    other.TabStop = true;

    bench.Host().Click(20, 15);
    ASSERT_TRUE(combo.Dropped());
    bench.Host().PressLeft(160, 85);  // outside the list
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(FrameShown(combo));
    bench.Host().ReleaseLeft(160, 85);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 0);

    bench.Host().Click(20, 15);
    ASSERT_TRUE(combo.Dropped());
    other.CaptureMouse();  // another control takes the capture
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(FrameShown(combo));
    EXPECT_EQ(combo.ButtonState(), TButtonState::Hot);  // the pointer is still over the box
    other.ReleaseMouse();

    combo.DropDown();
    ASSERT_TRUE(combo.Dropped());
    other.SetFocused(true);
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(combo.IsCaptured());

    bench.Host().PressRight(20, 15);  // a right press only focuses
    EXPECT_TRUE(combo.Focused());
    EXPECT_FALSE(combo.Dropped());
    combo.Hint = u"hint";
    EXPECT_TRUE(combo.HasHint());

    combo.DropDown();  // disabled or hidden, the box would not get the input that closes it
    combo.SetEnabled(false);
    EXPECT_FALSE(combo.Dropped());
    combo.SetEnabled(true);
    combo.DropDown();
    combo.SetVisible(false);
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(FrameShown(combo));
}

// The bar of an open list is part of it: its arrows and track scroll the list, which stays open,
// and afterwards the box has the mouse again (a press outside still closes it).
TEST_F(ComboBoxTest, TheScrollBarOfAnOpenListScrollsItAndKeepsItOpen) {
    bench.Show(R"(<Screen><Frame Name="other" Left="150" Top="80" Width="20" Height="10" Style="S\Box.xml"/></Screen>)");
    TGraphComboBox& combo = Show(10);
    bench.Host().Click(20, 15);
    ASSERT_TRUE(combo.Dropped());
    const TGraphListView& list = *combo.ListView();
    // The bar stands at x 59..68 of the container, its lower arrow at y 66..75.
    bench.Host().PressLeft(64, 70);
    EXPECT_TRUE(combo.Dropped());
    EXPECT_EQ(list.TopIndex(), 1);  // a FireButton scrolls on the press
    EXPECT_FALSE(combo.IsCaptured());
    bench.Host().ReleaseLeft(64, 70);
    EXPECT_TRUE(combo.Dropped());
    EXPECT_TRUE(combo.IsCaptured());
    bench.Host().Click(64, 60);  // the track below the thumb pages
    EXPECT_TRUE(combo.Dropped());
    EXPECT_EQ(list.TopIndex(), 5);
    EXPECT_TRUE(combo.IsCaptured());

    bench.Host().Click(20, RowY(0));  // the first visible row is item 5
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 5);
    EXPECT_EQ(changes, 1);

    // Another control taking the capture while the bar has it closes the list.
    bench.Host().Click(20, 15);
    ASSERT_TRUE(combo.Dropped());
    bench.Host().PressLeft(64, 70);
    bench.Find("other").CaptureMouse();
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(FrameShown(combo));
    bench.Find("other").ReleaseMouse();
    bench.Host().ReleaseLeft(64, 70);
    EXPECT_FALSE(combo.IsCaptured());
}

TEST_F(ComboBoxTest, RowsChooseWhenTheyReceiveTheInputThemselves) {
    TGraphComboBox& combo = Show(10);
    combo.DropDown();
    TGraphListView& list = *combo.ListView();
    list.SetTopIndex(3);
    auto* row = dynamic_cast<TGraphComboBoxRow*>(list.Slot(1)->Row());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Tag, 4);
    row->MouseMove(2, 2, 0);
    EXPECT_EQ(list.Selected(), 4);
    row->LButtonDown(2, 2, 0);  // no choice and no focus change on the press
    EXPECT_TRUE(combo.Dropped());
    row->LButtonUp(2, 2, 0);
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), 4);
}

TEST_F(ComboBoxTest, ChangingItemsClosesAndKeepsTheIndexInRange) {
    TGraphComboBox& combo = Show(10);
    combo.SetItemIndex(9);
    combo.DropDown();
    combo.DeleteItem(9);
    EXPECT_FALSE(combo.Dropped());
    EXPECT_FALSE(FrameShown(combo));
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.GetSelectedItem(), nullptr);
    combo.SetItemIndex(5);
    combo.DeleteItem(0);
    EXPECT_EQ(combo.ItemIndex(), 4);  // follows its item
    EXPECT_EQ(combo.GetSelectedItem()->Text, u"a5");
    combo.AddItem(std::make_unique<TGraphComboBoxItem>("n", u"a", u"a"));
    EXPECT_EQ(combo.ItemCount(), 9);
    combo.DropDown();
    combo.ClearItems();
    EXPECT_FALSE(combo.Dropped());
    EXPECT_EQ(combo.ItemIndex(), -1);
    bench.Pump();
}

TEST_F(ComboBoxTest, FreedWhileOpenTakesItsDropDownAlong) {
    TGraphComboBox& combo = Show(10);
    combo.DropDown();
    ASSERT_TRUE(FrameShown(combo));
    const int32_t roots = bench.Container->Controls().Count();
    bench.Container->Controls().Remove(&combo, true);
    EXPECT_EQ(bench.Container->Controls().Count(), roots - 2);
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
    bench.Host().InvalidateAll();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(20, 50), kWhite);
    bench.Host().Click(20, 50);

    // Freed with the whole screen while open (the container's list frees both).
    Show(10).DropDown();
}

TEST_F(ComboBoxTest, FreedInsideItsOwnChangeHandler) {
    for (const bool byKey : {false, true}) {
        TGraphComboBox& combo = Show(10);
        int freed = 0;
        combo.OnChange = [&](TCustomGraphControl& sender) {
            ++freed;
            bench.Container->Controls().Remove(&sender, true);
        };
        combo.SetFocused(true);
        combo.DropDown();
        if (byKey) {
            bench.Host().PressKey(VirtualKey::Down);
            bench.Host().PressKey(VirtualKey::Return);
        } else {
            bench.Host().Click(20, RowY(1));
        }
        EXPECT_EQ(freed, 1);
        EXPECT_EQ(bench.Container->Controls().FindControl("combo"), nullptr);
        bench.Pump();
    }
}

}  // namespace
}  // namespace marlowen
