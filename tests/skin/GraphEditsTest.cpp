#include "ControlTestSupport.h"

#include <map>
#include <vector>

#include "skin/GraphEdits.h"

namespace marlowen::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kText = 0xFF101010;
constexpr uint32_t kWrong = 0xFFC00000;
constexpr uint32_t kCaret = 0xFF0000C0;
constexpr uint32_t kSelection = 0xFF00E000;
constexpr uint32_t kBrush = 0xFFF0F0F0;
constexpr uint32_t kBorder = 0xFF808080;

// The edit of most tests: at (10, 10), 30 x 12, text area inset 2 left and right and 1 above and
// below, so the text's top row (where the dot glyphs paint) is row 11 and its first pen position
// column 12; a glyph is 4 pixels wide. 26 pixels of text area take six glyphs and a bit.
constexpr int32_t kLeft = 10;
constexpr int32_t kTop = 10;
constexpr int32_t kWidth = 30;
constexpr int32_t kHeight = 12;
constexpr int32_t kRow = kTop + 1;

class EditTest : public ::testing::Test {
protected:
    EditTest() : font(bench.AddFont("Fonts\\F.fnt", u"abcdefghijklmnopqrstuvwxyz0123456789?,. ", 4)) {}

    TGraphEdit& AddEdit(int32_t left = kLeft, int32_t width = kWidth) {
        auto edit = std::make_unique<TGraphEdit>(bench.Context, left, kTop, width, kHeight, &font);
        edit->SetTextMargins(2, 1, 2, 1);
        edit->SetTextColor(kText);
        edit->SetWrongTextColor(kWrong);
        edit->CaretColor = kCaret;
        edit->SelectionColor = kSelection;
        edit->OnChange = [this](TCustomGraphControl&) { ++changes; };
        TGraphEdit& added = *bench.Container->Controls().AddControl(std::move(edit));
        bench.Pump();
        return added;
    }
    // A focused edit holding the text, its caret at the end and nothing selected.
    TGraphEdit& Focused(std::u16string_view text) {
        TGraphEdit& edit = AddEdit();
        edit.SetText(text);
        edit.SetFocused(true);
        edit.ClearSelection();
        bench.Pump();
        return edit;
    }
    void Type(std::u16string_view text) {
        for (char16_t c : text) bench.Host().CharPressed(c);
        bench.Pump();
    }
    bool Key(uint32_t key, TShiftState shift = 0) {
        const bool processed = bench.Host().KeyDown(key, shift);
        bench.Host().KeyUp(key, shift);
        bench.Pump();
        return processed;
    }
    // The window's pixels of a row from x0 to x1 (exclusive), one letter each: '.' white,
    // 't' text, 'w' wrong text, '|' caret, 's' selection, 'b' frame brush, 'o' frame border, '?'
    // anything else.
    std::string Row(int32_t y, int32_t x0 = kLeft, int32_t x1 = kLeft + kWidth) {
        static const std::map<uint32_t, char> letters{
            {kWhite, '.'}, {kText, 't'},  {kWrong, 'w'},  {kCaret, '|'},
            {kSelection, 's'}, {kBrush, 'b'}, {kBorder, 'o'}};
        std::string row;
        for (int32_t x = x0; x < x1; ++x) {
            const auto found = letters.find(bench.Pixel(x, y));
            row += found != letters.end() ? found->second : '?';
        }
        return row;
    }
    static std::string Dots(int32_t count, char letter = '.') { return std::string(static_cast<size_t>(count), letter); }
    // A glyph for "*" 6 pixels wide, so that masked text measures differently from the text.
    void AddStar() {
        TSymbolMetrics m;
        m.Advance = 6;
        m.Top = 8;
        m.Descent = 2;
        m.Height = 10;
        font.AddSymbol(MakeGlyph(u"*", m, 1, 1));
    }
    std::string ErrorOf(std::string_view xml) {
        try {
            bench.Show(xml);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }
    std::string Clipboard() { return bench.Machine.Clipboard.GetText(); }

    TControlBench bench;
    TFontImages& font;
    int changes = 0;
};

// --- typing ---

TEST_F(EditTest, TypedCharactersGoInAtTheCaretAndEachRaisesOnChange) {
    TGraphEdit& edit = Focused(u"");
    Type(u"abd");
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(Key(VirtualKey::Left));
    Type(u"c");
    EXPECT_EQ(edit.GetText(), u"abcd");
    EXPECT_EQ(edit.Caret(), 3);
    EXPECT_EQ(changes, 4);
    //           text starts at 12; glyphs at 12, 16, 20, 24; the caret after "abc" covers 23 and 24
    EXPECT_EQ(Row(kRow), "..t...t...t..||" + Dots(15));
    EXPECT_EQ(Row(kRow + 9), Dots(13) + "||" + Dots(15));
    EXPECT_EQ(Row(kRow + 10), Dots(kWidth));  // the bottom margin
}

TEST_F(EditTest, ControlCharactersOtherThanTheClipboardKeysAreLeftToOthers) {
    TGraphEdit& edit = Focused(u"ab");
    EXPECT_FALSE(bench.Host().CharPressed(13));
    EXPECT_FALSE(bench.Host().CharPressed(9));
    EXPECT_TRUE(bench.Host().CharPressed(3));
    EXPECT_EQ(edit.GetText(), u"ab");
    EXPECT_EQ(changes, 0);
}

TEST_F(EditTest, AFullEditTakesNoMoreCharactersButATypedCharacterReplacesASelection) {
    TGraphEdit& edit = Focused(u"abc");
    edit.MaxLength = 3;
    EXPECT_TRUE(bench.Host().CharPressed(u'x'));  // handled, though nothing goes in
    EXPECT_EQ(edit.GetText(), u"abc");
    EXPECT_EQ(changes, 0);
    edit.Select(1, 1);
    Type(u"x");
    EXPECT_EQ(edit.GetText(), u"axc");
    EXPECT_EQ(edit.Caret(), 2);
    EXPECT_EQ(edit.SelLength(), 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(EditTest, WrongContentTakesTheWrongColourAndSoDoesTextTypedWhileWrong) {
    TGraphEdit& edit = Focused(u"ab");
    edit.SetWrong(true);
    Type(u"c");
    bench.Pump();
    EXPECT_EQ(Row(kRow), "..w...w...w..||...............");
    edit.SetWrong(false);
    bench.Pump();
    EXPECT_EQ(Row(kRow), "..t...t...t..||...............");
}

// --- the caret and its blink clock ---

TEST_F(EditTest, TheCaretBlinksOnTheVirtualClockAndAnEditRestartsIt) {
    Focused(u"ab");
    const std::string on = "..t...t..||.....................";
    const std::string off = "..t...t.........................";
    EXPECT_EQ(Row(kRow), on.substr(0, kWidth));
    bench.Advance(590);  // frames 0 and 1
    EXPECT_EQ(Row(kRow), on.substr(0, kWidth));
    bench.Advance(20);  // frame 2
    EXPECT_EQ(Row(kRow), off.substr(0, kWidth));
    bench.Advance(300);  // frame 3
    EXPECT_EQ(Row(kRow), on.substr(0, kWidth));
    bench.Advance(300);
    bench.Advance(310);  // frame 5 again off
    EXPECT_EQ(Row(kRow), off.substr(0, kWidth));
    Type(u"c");  // restarts at frame 0: on at once
    EXPECT_EQ(Row(kRow), "..t...t...t..||...............");
}

TEST_F(EditTest, AnInactiveWindowOrAnotherFocusHidesCaretAndSelection) {
    TGraphEdit& edit = Focused(u"abc");
    edit.Select(0, 1);
    bench.Pump();
    EXPECT_EQ(Row(kRow + 1), "..sssss" + Dots(6) + "||" + Dots(15));
    edit.SetWindowActive(false);
    bench.Pump();
    EXPECT_EQ(Row(kRow + 1), Dots(kWidth));
    edit.SetWindowActive(true);
    edit.SetFocused(false);
    bench.Pump();
    EXPECT_EQ(Row(kRow + 1), Dots(kWidth));
    edit.HideSelection = false;
    edit.Invalidate();
    bench.Pump();
    EXPECT_EQ(Row(kRow + 1), "..sssss" + Dots(23));
}

// --- selection by keys ---

TEST_F(EditTest, ArrowsHomeAndEndMoveTheCaretAndShiftExtendsFromTheAnchor) {
    TGraphEdit& edit = Focused(u"abcdef");
    EXPECT_TRUE(Key(VirtualKey::Home));
    EXPECT_EQ(edit.Caret(), 0);
    EXPECT_TRUE(Key(VirtualKey::Left));  // nowhere to go
    EXPECT_EQ(edit.Caret(), 0);
    Key(VirtualKey::Right);
    Key(VirtualKey::Right);
    Key(VirtualKey::Right, ShiftState::Shift);
    Key(VirtualKey::Right, ShiftState::Shift);
    EXPECT_EQ(edit.SelStart(), 2);
    EXPECT_EQ(edit.SelLength(), 2);
    // From the selection's end back across its start: the start stays the anchor.
    for (int i = 0; i < 3; ++i) Key(VirtualKey::Left, ShiftState::Shift);
    EXPECT_EQ(edit.SelStart(), 1);
    EXPECT_EQ(edit.SelLength(), 1);
    EXPECT_EQ(edit.Caret(), 1);
    // Shift+Left from the start grows it to the left.
    Key(VirtualKey::Left, ShiftState::Shift);
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 2);
    // Shift+End from the start: the old end is the anchor.
    Key(VirtualKey::End, ShiftState::Shift);
    EXPECT_EQ(edit.SelStart(), 2);
    EXPECT_EQ(edit.SelLength(), 4);
    // Without Shift a move clears it.
    Key(VirtualKey::Left);
    EXPECT_EQ(edit.SelLength(), 0);
    EXPECT_EQ(edit.Caret(), 5);
    EXPECT_FALSE(Key(VirtualKey::Up));
}

TEST_F(EditTest, BackspaceTakesOnlyTheCharacterBeforeTheCaretAndDeleteTakesTheSelection) {
    TGraphEdit& edit = Focused(u"abcdef");
    edit.SetCaret(4);
    edit.Select(1, 2);
    EXPECT_TRUE(Key(VirtualKey::Backspace));
    EXPECT_EQ(edit.GetText(), u"abcef");
    EXPECT_EQ(edit.Caret(), 3);
    EXPECT_EQ(edit.SelLength(), 0);
    edit.Select(1, 2);
    EXPECT_TRUE(Key(VirtualKey::Delete));
    EXPECT_EQ(edit.GetText(), u"aef");
    EXPECT_EQ(edit.Caret(), 1);
    Key(VirtualKey::Delete);
    EXPECT_EQ(edit.GetText(), u"af");
    edit.SetCaret(0);
    Key(VirtualKey::Backspace);
    edit.SetCaret(2);
    Key(VirtualKey::Delete);
    EXPECT_EQ(edit.GetText(), u"af");
    EXPECT_EQ(changes, 3);  // the keys that changed nothing raised nothing
}

TEST_F(EditTest, AKeyDownHandlerThatKeepsTheKeyTakesItFromTheEdit) {
    TGraphEdit& edit = Focused(u"abc");
    edit.OnKeyDown = [](uint32_t key, bool, bool, bool& processed) { processed = key == VirtualKey::Home; };
    Key(VirtualKey::Home);
    EXPECT_EQ(edit.Caret(), 3);
    Key(VirtualKey::Left);
    EXPECT_EQ(edit.Caret(), 2);
}

TEST_F(EditTest, AChangeHandlerMayFreeTheEdit) {
    TGraphEdit& edit = Focused(u"abc");
    edit.OnChange = [this](TCustomGraphControl& sender) {
        bench.Container->Controls().Remove(&sender, true);
    };
    Key(VirtualKey::Backspace);
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
}

// --- the mouse ---

TEST_F(EditTest, AClickPlacesTheCaretAtTheNearestBoundaryTheLaterOnATie) {
    TGraphEdit& edit = AddEdit();
    edit.SetText(u"abcd");
    // Boundaries at 12, 16, 20, 24, 28 (window columns).
    bench.Host().Click(17, kRow);
    EXPECT_TRUE(edit.Focused());
    EXPECT_EQ(edit.Caret(), 1);
    EXPECT_EQ(edit.SelLength(), 0);  // the focus selected everything; the click cleared it
    bench.Host().Click(18, kRow);
    EXPECT_EQ(edit.Caret(), 2);  // 2 from either boundary
    bench.Host().Click(39, kRow);
    EXPECT_EQ(edit.Caret(), 4);
    bench.Host().Click(11, kRow, ShiftState::Shift);
    EXPECT_EQ(edit.Caret(), 0);
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 4);
}

TEST_F(EditTest, DraggingSelectsAndADoubleClickSelectsAll) {
    TGraphEdit& edit = AddEdit();
    edit.SetText(u"abcdef");
    bench.Host().PressLeft(20, kRow);
    bench.Host().MoveMouse(28, kRow + 3);
    EXPECT_EQ(edit.SelStart(), 2);
    EXPECT_EQ(edit.SelLength(), 2);
    bench.Host().MoveMouse(13, kRow + 3);  // back across the anchor
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 2);
    bench.Pump();
    const int32_t posts = bench.Host().PostCount();
    bench.Host().MoveMouse(13, kRow + 4);  // held on the same character: nothing to repaint
    bench.Pump();
    EXPECT_EQ(bench.Host().PostCount(), posts);
    bench.Host().ReleaseLeft(13, kRow + 3);
    EXPECT_FALSE(edit.IsCaptured());
    bench.Host().MoveMouse(30, kRow);
    EXPECT_EQ(edit.SelLength(), 2);  // no longer dragging
    bench.Host().DoubleClickLeft(30, kRow);
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 6);
    EXPECT_EQ(bench.Windows().Cursor(), CursorId::IBeam);
}

// --- scrolling ---

TEST_F(EditTest, ALongTextScrollsToKeepTheCaretInsideTheTextArea) {
    TGraphEdit& edit = AddEdit();
    edit.SetText(u"abcdefghij");  // 40 pixels in 26
    EXPECT_EQ(edit.Scroll(), 0);
    edit.SetFocused(true);  // caret to the end: it lands at 26 - 2
    bench.Pump();
    EXPECT_EQ(edit.Scroll(), -16);
    edit.ClearSelection();
    bench.Pump();
    // Glyphs at 12 - 16 + 4k: those left of 12 and right of 37 are cut off.
    EXPECT_EQ(Row(kRow), "..t...t...t...t...t...t..||...");
    Key(VirtualKey::Home);
    EXPECT_EQ(edit.Scroll(), 0);
    EXPECT_EQ(Row(kRow), ".||...t...t...t...t...t...t...");
    Key(VirtualKey::End);
    EXPECT_LT(edit.Scroll(), 0);
    edit.SetFocused(false);  // leaving scrolls back to the start
    EXPECT_EQ(edit.Scroll(), 0);
    bench.Pump();
    EXPECT_EQ(Row(kRow), "..t...t...t...t...t...t...t...");
}

// --- the clipboard ---

TEST_F(EditTest, CopyCutAndPasteGoThroughThePlatformClipboard) {
    TGraphEdit& edit = Focused(u"abcdef");
    edit.Select(1, 3);
    EXPECT_TRUE(bench.Host().CharPressed(3));
    EXPECT_EQ(Clipboard(), "bcd");
    EXPECT_EQ(changes, 0);
    edit.SetCaret(5);
    edit.Select(0, 2);
    bench.Host().CharPressed(24);
    EXPECT_EQ(Clipboard(), "ab");
    EXPECT_EQ(edit.GetText(), u"cdef");
    EXPECT_EQ(edit.Caret(), 4);  // kept its index, then held to the new length
    EXPECT_EQ(changes, 1);
    bench.Machine.Clipboard.SetText("xy");
    edit.SetCaret(1);
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"cxydef");
    EXPECT_EQ(edit.Caret(), 3);
    edit.Select(0, 3);
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"xydef");
    EXPECT_EQ(edit.Caret(), 2);
    EXPECT_EQ(edit.SelLength(), 0);
    EXPECT_EQ(changes, 3);
}

TEST_F(EditTest, ClipboardKeysRespectCanCopyAndCanPaste) {
    TGraphEdit& edit = Focused(u"abc");
    bench.Machine.Clipboard.SetText("old");
    edit.CanCopy = false;
    edit.CanPaste = false;
    edit.SelectAll();
    bench.Host().CharPressed(3);
    bench.Host().CharPressed(24);
    bench.Host().CharPressed(22);
    EXPECT_EQ(Clipboard(), "old");
    EXPECT_EQ(edit.GetText(), u"abc");
    EXPECT_EQ(changes, 0);
}

TEST_F(EditTest, PastingIntoALimitedEditTakesOnlyWhatFits) {
    TGraphEdit& edit = Focused(u"abcdefgh");
    edit.MaxLength = 10;
    edit.Select(2, 3);
    bench.Machine.Clipboard.SetText("0123456789");
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"ab01234fgh");
    EXPECT_EQ(edit.Caret(), 7);
    // Characters, not bytes, are counted.
    edit.SetText(u"abcdefgh");
    edit.SetCaret(8);
    edit.SetCaret(0);
    bench.Machine.Clipboard.SetText("яzq");
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"?zabcdefgh");  // the font's "?" stands for what it lacks
}

TEST_F(EditTest, PastingIntoATextLongerThanTheLimitPastesNothing) {
    TGraphEdit& edit = Focused(u"abcdefgh");
    edit.MaxLength = 5;  // the text was set by code and is longer
    bench.Machine.Clipboard.SetText("xyz");
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"abcdefgh");
    EXPECT_EQ(changes, 0);
    edit.Select(0, 2);  // still 6 left: no room
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"abcdefgh");
    edit.Select(0, 4);  // 4 left: room for one
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"xefgh");
}

// --- the password character ---

TEST_F(EditTest, APasswordEditShowsTheMaskAndRefusesCopyAndCutButPastes) {
    AddStar();
    TGraphEdit& edit = Focused(u"abc");
    edit.SetPasswordChar(u'*');
    bench.Pump();
    EXPECT_EQ(Row(kRow), "..t.....t.....t....||" + Dots(9));
    edit.SelectAll();
    bench.Machine.Clipboard.SetText("old");
    bench.Host().CharPressed(3);
    bench.Host().CharPressed(24);
    EXPECT_EQ(Clipboard(), "old");
    EXPECT_EQ(edit.GetText(), u"abc");
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"old");
    // The mouse measures the mask: 23 is nearest to the boundary after two masked glyphs (24).
    bench.Host().Click(23, kRow);
    EXPECT_EQ(edit.Caret(), 2);
}

// --- the selection stays inside the text ---

TEST_F(EditTest, SelectAndSetTextKeepTheSelectionInsideTheText) {
    TGraphEdit& edit = Focused(u"abcdef");
    edit.SelectAll();
    edit.SetText(u"ab");
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 2);
    EXPECT_EQ(edit.Caret(), 2);
    bench.Pump();
    // The selection ends at the text's end (column 20), not where the old text ended.
    EXPECT_EQ(Row(kRow + 1), "..sssssss||" + Dots(19));
    edit.Select(5, 3);
    EXPECT_EQ(edit.SelStart(), 2);
    EXPECT_EQ(edit.SelLength(), 0);
    edit.Select(-3, 9);
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(edit.SelLength(), 2);
    edit.Select(1, -4);
    EXPECT_EQ(edit.SelLength(), 0);
    edit.SetText(u"");
    EXPECT_EQ(edit.Caret(), 0);
    Key(VirtualKey::Backspace);
    Key(VirtualKey::Delete, ShiftState::Shift);
    EXPECT_EQ(changes, 0);
}

// --- framed edits from documents ---

// The edit of EditTest built from an "Edit" element: a frame with indents of 1, a solid brush and
// a one-pixel border; the style adds 1 to each horizontal indent, and the font's 10-pixel line
// is centred in the 12 pixels.
class FramedEditTest : public EditTest {
protected:
    FramedEditTest() {
        bench.AddXml("S\\EditFrame.xml",
                     "<Frame LeftIndent=\"1\" TopIndent=\"1\" RightIndent=\"1\" BottomIndent=\"1\" BrushType=\"Solid\" "
                     "BrushColor=\"0xFFF0F0F0\" BorderType=\"Rect\" OuterColor=\"0xFF808080\"/>");
        AddEditStyle("S\\Edit.xml", "WrongTextColor=\"0xFFC00000\" ");
    }
    void AddEditStyle(const std::string& path, const std::string& extra) {
        bench.AddXml(path, "<Style Font=\"Fonts\\F.fnt\" Frame=\"S\\EditFrame.xml\" TextColor=\"0xFF101010\" " + extra +
                               "SelectionColor=\"0xFF00E000\" CursorColor=\"0xFF0000C0\" LeftIndent=\"1\" "
                               "RightIndent=\"1\"/>");
    }
    template <class T = TGraphFramedEdit>
    T& ShowEdit(const std::string& attributes, const std::string& element = "Edit") {
        bench.Show("<S><" + element +
                   " Left=\"10\" Top=\"10\" Width=\"30\" Height=\"12\" Style=\"S\\Edit.xml\" Name=\"E\" " +
                   attributes + "/></S>");
        T& edit = bench.Find<T>("E");
        edit.OnChange = [this](TCustomGraphControl&) { ++changes; };
        return edit;
    }
    TGraphFramedEditFixedPoint& ShowNumber(const std::string& attributes) {
        return ShowEdit<TGraphFramedEditFixedPoint>(attributes, "EditFixedPoint");
    }
};

TEST_F(FramedEditTest, AnEditElementPaintsItsFrameBehindTheIndentedText) {
    TGraphFramedEdit& edit = ShowEdit("");
    edit.SetText(u"ab");
    bench.Pump();
    EXPECT_EQ(Row(kTop), Dots(kWidth, 'o'));
    EXPECT_EQ(Row(kRow), "obt" + Dots(3, 'b') + "t" + Dots(22, 'b') + "o");
    EXPECT_EQ(Row(kTop + kHeight - 1), Dots(kWidth, 'o'));
    edit.SetFocused(true);  // everything selected, the caret at the end
    bench.Pump();
    EXPECT_EQ(Row(kRow + 1), "ob" + Dots(7, 's') + "||" + Dots(18, 'b') + "o");
}

TEST_F(FramedEditTest, TheElementSetsLimitPasswordAndClipboardPermissions) {
    AddStar();
    TGraphFramedEdit& edit = ShowEdit("MaxLenght=\"3\" PasswordChar=\"*\" CanPaste=\"false\"");
    edit.SetFocused(true);
    bench.Machine.Clipboard.SetText("xyz");
    Type(u"abcd");
    bench.Host().CharPressed(22);
    EXPECT_EQ(edit.GetText(), u"abc");
    EXPECT_EQ(Row(kRow), "obt" + Dots(5, 'b') + "t" + Dots(5, 'b') + "t" + Dots(4, 'b') + "||" + Dots(8, 'b') + "o");
}

TEST_F(FramedEditTest, BadAttributesAndIncompleteStylesAreReported) {
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" Style=\"S\\Edit.xml\" PasswordChar=\"\"/></S>"),
              "Invalid value PasswordChar=\"\".");
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" Style=\"S\\Edit.xml\" PasswordChar=\"ab\"/></S>"),
              "Invalid value PasswordChar=\"ab\".");
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Style=\"S\\Edit.xml\"/></S>"),
              "Property Height not found.");
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\"/></S>"), "Property Style not found.");
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" Style=\"S\\None.xml\"/></S>"),
              "В списке ресурсов не найден XML 'S\\None.xml'.");
    bench.AddXml("S\\NoCaret.xml", "<Style Font=\"Fonts\\F.fnt\" Frame=\"S\\EditFrame.xml\" TextColor=\"0xFF101010\" "
                                   "SelectionColor=\"0xFF00E000\" LeftIndent=\"1\" RightIndent=\"1\"/>");
    EXPECT_EQ(ErrorOf("<S><Edit Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" Style=\"S\\NoCaret.xml\"/></S>"),
              "Property CursorColor not found.");
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
}

TEST_F(FramedEditTest, WithoutAWrongColourWrongContentKeepsTheTextColour) {
    AddEditStyle("S\\Plain.xml", "");
    bench.Show("<S><Edit Left=\"10\" Top=\"10\" Width=\"30\" Height=\"12\" Style=\"S\\Plain.xml\" Name=\"E\"/></S>");
    TGraphFramedEdit& edit = bench.Find<TGraphFramedEdit>("E");
    edit.SetText(u"a");
    edit.SetWrong(true);
    bench.Pump();
    EXPECT_EQ(Row(kRow), "obt" + Dots(26, 'b') + "o");
}

// --- the fixed-point edit ---

TEST_F(FramedEditTest, ANumberEditTakesDigitsChecksEachChangeAndFormatsOnLeaving) {
    TGraphFramedEditFixedPoint& edit = ShowNumber("ThousandSeparator=\" \" DecimalSeparator=\".\"");
    edit.SetFocused(true);
    EXPECT_FALSE(bench.Host().CharPressed(u'a'));
    EXPECT_FALSE(bench.Host().CharPressed(u' '));
    Type(u"12345,6");
    EXPECT_EQ(edit.GetText(), u"12345,6");
    EXPECT_EQ(edit.Value(), 1234560);
    EXPECT_FALSE(edit.Wrong());
    EXPECT_EQ(changes, 7);
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"12 345.60");
    EXPECT_EQ(changes, 7);  // setting the text raises nothing
}

TEST_F(FramedEditTest, AWrongEntryShowsInTheWrongColourAndKeepsTheLastValue) {
    TGraphFramedEditFixedPoint& edit = ShowNumber("ThousandSeparator=\"\"");
    edit.SetFocused(true);
    Type(u"7,12");
    EXPECT_EQ(edit.Value(), 712);
    Type(u"5");
    EXPECT_TRUE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 712);
    EXPECT_EQ(changes, 5);  // OnChange follows the wrong entry too
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"7,125");  // not reformatted
    bench.Pump();
    EXPECT_EQ(Row(kRow), "obwbbbwbbbwbbbwbbbw" + Dots(10, 'b') + "o");
    // An empty edit is wrong too, keeps the value and stays empty on leaving.
    edit.SetFocused(true);
    Key(VirtualKey::Delete);
    EXPECT_EQ(edit.GetText(), u"");
    EXPECT_TRUE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 712);
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"");
}

TEST_F(FramedEditTest, SeparatorsComeFromTheRegionUnlessTheElementGivesThem) {
    bench.Machine.Locale.SetSeparators(u',', u'.');
    TGraphFramedEditFixedPoint& edit = ShowNumber("");
    edit.SetFocused(true);
    Type(u"1234,5");
    EXPECT_EQ(edit.Value(), 123450);
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"1.234,50");
    // Its own text reads back: the grouping goes before "." is taken for the decimal separator.
    edit.SetFocused(true);  // everything selected: step off the selection to the end
    Key(VirtualKey::Left);
    Key(VirtualKey::End);
    Type(u"1");
    EXPECT_TRUE(edit.Wrong());
    Key(VirtualKey::Backspace);
    EXPECT_FALSE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 123450);
}

TEST_F(FramedEditTest, TheDefaultSeparatorsReadTheirOwnGroupedText) {
    TGraphFramedEditFixedPoint& edit = ShowNumber("DecimalSeparator=\"\"");  // empty: the regional "."
    edit.SetFocused(true);
    Type(u"1,234.5");  // grouped as the region writes it
    EXPECT_FALSE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 123450);
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"1,234.50");
}

TEST_F(FramedEditTest, TheDefaultRegionTakesACommaForTheDecimalSeparator) {
    TGraphFramedEditFixedPoint& edit = ShowNumber("");  // the region's "," and "."
    edit.SetFocused(true);
    Type(u"12,34");
    EXPECT_FALSE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 1234);
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"12.34");
    edit.SetText(u"");
    edit.SetFocused(true);
    Type(u"12,345");  // three decimals, not twelve thousand
    EXPECT_TRUE(edit.Wrong());
    EXPECT_EQ(edit.Value(), 1234);
}

TEST_F(FramedEditTest, OtherRegionsReadTheirOwnTextAndEitherDecimalMark) {
    const struct {
        char16_t Decimal;
        char16_t Thousand;
        std::u16string Grouped;
    } regions[] = {{u',', u' ', u"1 234,50"}, {u',', u'.', u"1.234,50"}};  // Russian, German (the font's letters)
    for (const auto& region : regions) {
        bench.Machine.Locale.SetSeparators(region.Decimal, region.Thousand);
        TGraphFramedEditFixedPoint& edit = ShowNumber("");
        edit.SetFocused(true);
        Type(u"12.34");
        EXPECT_EQ(edit.Value(), 1234);
        edit.SetText(u"");
        Type(u"1234,5");
        edit.SetFocused(false);
        EXPECT_EQ(edit.GetText(), region.Grouped);
        edit.SetFocused(true);  // everything selected: step off the selection to the end
        Key(VirtualKey::Left);
        Key(VirtualKey::End);
        Type(u"1");
        EXPECT_TRUE(edit.Wrong());
        Key(VirtualKey::Backspace);  // the grouped text again
        EXPECT_FALSE(edit.Wrong());
        EXPECT_EQ(edit.Value(), 123450);
        bench.Container->Controls().Remove(&edit, true);
    }
}

TEST_F(FramedEditTest, FactorOneTakesNoSeparatorButReadsItsGroupedText) {
    TGraphFramedEditFixedPoint& edit = ShowNumber("Factor=\"1\"");
    edit.SetFocused(true);
    EXPECT_FALSE(bench.Host().CharPressed(u','));
    EXPECT_FALSE(bench.Host().CharPressed(u'.'));
    Type(u"1000");
    edit.SetFocused(false);
    EXPECT_EQ(edit.GetText(), u"1,000");
    edit.SetFocused(true);
    Key(VirtualKey::End);
    Key(VirtualKey::Backspace);
    EXPECT_TRUE(edit.Wrong());  // "1,00" is no grouping: a decimal mark
    EXPECT_EQ(edit.Value(), 1000);
    Type(u"0");
    EXPECT_FALSE(edit.Wrong());
    edit.SetText(u"1.5");
    Key(VirtualKey::End);
    Type(u"0");
    EXPECT_TRUE(edit.Wrong());
}

TEST_F(FramedEditTest, AFactorThatIsNotAPowerOfTenIsRefused) {
    for (const char* factor : {"0", "-100", "250", "3"}) {
        EXPECT_EQ(ErrorOf(std::string("<S><EditFixedPoint Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" "
                                      "Style=\"S\\Edit.xml\" Factor=\"") +
                          factor + "\"/></S>"),
                  std::string("Invalid value Factor=\"") + factor + "\".");
    }
    EXPECT_EQ(ErrorOf("<S><EditFixedPoint Left=\"0\" Top=\"0\" Width=\"30\" Height=\"12\" Style=\"S\\Edit.xml\" "
                      "Factor=\"1000\"/></S>"),
              "no error");
}

}  // namespace
}  // namespace marlowen::testing
