#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ControlTestSupport.h"
#include "core/MultiLanguageException.h"
#include "skin/GraphLists.h"
#include "skin/PaintContext.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kSelectedColour = 0xFFFF0000;
constexpr uint32_t kPageUp = 33, kPageDown = 34, kUp = 38, kDown = 40;

// Row n fills its rectangle with 0xFF000000 + n + 1, or red while selected.
uint32_t RowColour(int32_t tag) { return 0xFF000001u + static_cast<uint32_t>(tag); }

std::unique_ptr<TGraphRow> MakeRow(const TSkinContext& context, int32_t tag) {
    return std::make_unique<TGraphRow>(context, tag, [](TCustomGraphControl& sender, const TPaintContext& paint) {
        const auto& row = static_cast<TGraphRow&>(sender);
        paint.FillRect({0, 0, row.Width(), row.Height()}, row.Selected() ? kSelectedColour : RowColour(row.Tag));
    });
}

// A scroll bar reduced to what the list uses: it records what it is told and raises its change
// handler when its position changes.
class TFakeScrollBar : public TCustomGraphControl, public TScrollBarLink {
public:
    using TCustomGraphControl::TCustomGraphControl;

    TCustomGraphControl& BarControl() override { return *this; }
    int32_t Position() const override { return Position_; }
    void SetMax(int32_t max) override {
        Max = max;
        ++MaxCalls;
    }
    void SetPage(int32_t page) override { Page = page; }
    void SetPosition(int32_t position) override {
        position = std::max(0, position);
        if (position == Position_) return;
        Position_ = position;
        if (Change) Change();
    }
    void SetChangeHandler(std::function<void()> handler) override { Change = std::move(handler); }

    int32_t Max = -1;
    int32_t Page = -1;
    int32_t MaxCalls = 0;
    std::function<void()> Change;

private:
    int32_t Position_ = 0;
};

// A list view of `rows` rows at (20, 10), 30 wide, with slots 10 high, on the bench.
class GraphListTest : public ::testing::Test {
protected:
    TGraphListView& MakeList(int32_t rows, int32_t slots) {
        auto list = std::make_unique<TGraphListView>(Bench.Context, 20, 10, 30, slots * 10, 10);
        for (int32_t i = 0; i < rows; ++i) list->AddRow(MakeRow(Bench.Context, i));
        List = Bench.Container->Controls().AddControl(std::move(list));
        List->OnSelect = [this](TCustomGraphControl&) { ++Selects; };
        List->OnDblClick = [this](TCustomGraphControl&, int32_t index) { DblClicks += std::to_string(index) + " "; };
        Bench.Pump();
        return *List;
    }

    // The tag of the row each slot shows, "-" for none.
    static std::string Shown(const TCustomGraphList& list) {
        std::string shown;
        for (int32_t i = 0; i < list.SlotCount(); ++i) {
            const auto* row = dynamic_cast<const TGraphRow*>(list.Slot(i)->Row());
            shown += row != nullptr ? std::to_string(row->Tag) : "-";
        }
        return shown;
    }

    // The colour at the top-left of each slot of the list made by MakeList.
    std::string SlotColours(int32_t slots) {
        Bench.Pump();
        std::string colours;
        for (int32_t i = 0; i < slots; ++i) {
            const uint32_t pixel = Bench.Pixel(20, 10 + 10 * i);
            colours += pixel == kWhite ? "-" : pixel == kSelectedColour ? "*" : std::to_string(pixel - RowColour(0));
        }
        return colours;
    }

    TControlBench Bench;
    TGraphListView* List = nullptr;
    int32_t Selects = 0;
    std::string DblClicks;
};

TEST_F(GraphListTest, AShortListSitsAtTheTopBottomOrCentreOfItsSlots) {
    TGraphListView& list = MakeList(3, 5);
    EXPECT_EQ(SlotColours(5), "012--");
    list.SetVerticalAlignment(TVerticalAlignment::Bottom);
    EXPECT_EQ(SlotColours(5), "--012");
    EXPECT_EQ(list.TopIndex(), -2);
    list.SetVerticalAlignment(TVerticalAlignment::Center);  // (3 - 5) / 2 = -1
    EXPECT_EQ(SlotColours(5), "-012-");

    // A text view reads its alignment from the document and stacks its slots from the top.
    auto* view = static_cast<TGraphTextView*>(Bench.Show(
        R"(<Screen><TextView Left="100" Top="0" Width="30" Height="55" RowHeight="10" VerticalAlignment="bottom"/></Screen>)"));
    for (int32_t i = 0; i < 3; ++i) view->AddRow(MakeRow(Bench.Context, i));
    EXPECT_EQ(Shown(*view), "--012");
    EXPECT_EQ(view->Slot(4)->BoundsRect(), (TRect{0, 40, 30, 50}));
}

TEST_F(GraphListTest, TextViewSlotsFollowTheRowElements) {
    auto* view = static_cast<TGraphTextView*>(Bench.Show(R"(<Screen>
        <TextView Left="5" Top="0" Width="100" Height="50" RowHeight="10" RowWidth="20">
            <Rows><Row Left="0" Top="30"/><Other Top="99"/><Row Top="0"/></Rows>
        </TextView></Screen>)"));
    ASSERT_EQ(view->SlotCount(), 2);
    EXPECT_EQ(view->Slot(0)->BoundsRect(), (TRect{0, 30, 20, 40}));
    EXPECT_EQ(view->Slot(1)->BoundsRect(), (TRect{5, 0, 25, 10}));  // no Left: the view's
    view->AddRow(MakeRow(Bench.Context, 7));
    EXPECT_EQ(Shown(*view), "7-");
    EXPECT_EQ(view->Rows(0)->BoundsRect(), (TRect{0, 0, 20, 10}));
}

TEST_F(GraphListTest, RowHeightBelowOneIsRefused) {
    for (const char* height : {"0", "-5"}) {
        try {
            Bench.Show(std::string(R"(<Screen><TextView Width="30" Height="50" RowHeight=")") + height + "\"/></Screen>");
            FAIL() << "RowHeight=" << height << " loaded";
        } catch (const EMultiLanguageException& e) {
            EXPECT_EQ(e.Message(), std::string("Invalid value RowHeight=\"") + height + "\".");
        }
    }
    EXPECT_THROW(Bench.Show(R"(<Screen><TextView Width="30" Height="50"/></Screen>)"), EMultiLanguageException);
    EXPECT_THROW(TGraphListView(Bench.Context, 0, 0, 30, 50, 0), EMultiLanguageException);
}

TEST_F(GraphListTest, WheelMovesThreeRowsAStepWithinTheRows) {
    TGraphListView& list = MakeList(10, 4);
    std::string tops;
    for (int32_t delta : {-120, -120, -120, 120, 240}) {
        Bench.Host().Wheel(delta, 25, 15);
        tops += std::to_string(list.TopIndex()) + " ";
    }
    EXPECT_EQ(tops, "3 6 6 3 0 ");
}

TEST_F(GraphListTest, AScrolledListPaintsItsRowsFromTheTopIndex) {
    TGraphListView& list = MakeList(10, 4);
    list.SetTopIndex(5);
    EXPECT_EQ(SlotColours(4), "5678");
    list.SetSelected(6);
    EXPECT_EQ(SlotColours(4), "5*78");
    list.SetTopIndex(100);  // no further than the last page
    EXPECT_EQ(list.TopIndex(), 6);
    EXPECT_EQ(SlotColours(4), "*789");
    EXPECT_EQ(Bench.Pixel(49, 49), RowColour(9));
}

TEST_F(GraphListTest, UpdatesRebuildOnceAtTheEnd) {
    TGraphListView& list = MakeList(0, 3);
    TFakeScrollBar bar(Bench.Context);
    list.LinkScrollBar(&bar);
    const int32_t rebuilds = bar.MaxCalls;
    list.BeginUpdate();
    list.BeginUpdate();
    for (int32_t i = 0; i < 5; ++i) list.AddRow(MakeRow(Bench.Context, i));
    list.InsertRow(0, MakeRow(Bench.Context, 9));
    list.SetTopIndex(2);
    list.EndUpdate();
    EXPECT_EQ(Shown(list), "---");
    list.EndUpdate();
    EXPECT_EQ(bar.MaxCalls, rebuilds + 1);
    EXPECT_EQ(Shown(list), "123");
}

TEST_F(GraphListTest, ALinkedScrollBarFollowsAndLeadsTheList) {
    TGraphListView& list = MakeList(10, 4);
    auto bar = std::make_unique<TFakeScrollBar>(Bench.Context);
    list.LinkScrollBar(bar.get());
    EXPECT_EQ(bar->Max, 10);
    EXPECT_EQ(bar->Page, 4);
    Bench.Host().Wheel(-120, 25, 15);
    EXPECT_EQ(bar->Position(), 3);
    bar->SetPosition(5);
    EXPECT_EQ(list.TopIndex(), 5);
    EXPECT_EQ(Shown(list), "5678");

    // Either side may go first.
    bar.reset();
    list.SetTopIndex(1);
    EXPECT_EQ(Shown(list), "1234");
    TFakeScrollBar second(Bench.Context);
    list.LinkScrollBar(&second);
    Bench.Container->Controls().Clear();
    second.SetPosition(2);
}

TEST_F(GraphListTest, KeysMoveTheSelectionAndRaiseOnSelect) {
    TGraphListView& list = MakeList(10, 4);
    list.SetFocused(true);
    std::string trail;
    for (uint32_t key : {kDown, kDown, kPageDown, kPageDown, kPageDown, kPageDown, kUp, kPageUp, kPageUp, kUp}) {
        Selects = 0;
        EXPECT_TRUE(Bench.Host().KeyDown(key));
        trail += std::to_string(list.Selected()) + "/" + std::to_string(list.TopIndex()) + "/" +
                 std::to_string(Selects) + " ";
    }
    // Page Down raises OnSelect once more when it moved the selection.
    EXPECT_EQ(trail, "0/0/1 1/0/1 4/1/2 7/4/2 9/6/2 9/6/1 8/6/1 5/5/1 2/2/1 1/1/1 ");
    list.SetSelected(0);
    Selects = 0;
    EXPECT_TRUE(Bench.Host().KeyDown(kUp));
    EXPECT_EQ(Selects, 0);
    EXPECT_FALSE(Bench.Host().KeyDown('A'));
}

TEST_F(GraphListTest, ClickSelectsAndAQuickSecondClickIsADoubleClick) {
    TGraphListView& list = MakeList(10, 4);
    list.SetTopIndex(2);
    Bench.Host().Click(25, 25);  // slot 1
    EXPECT_EQ(list.Selected(), 3);
    EXPECT_TRUE(list.Focused());
    EXPECT_TRUE(static_cast<TGraphRow*>(list.Rows(3))->Selected());
    Bench.Advance(250);
    Bench.Host().Click(25, 25);
    EXPECT_EQ(DblClicks, "3 ");
    Bench.Advance(100);
    Bench.Host().Click(25, 25);  // the double click used the clicks up
    EXPECT_EQ(DblClicks, "3 ");
    Bench.Advance(350);
    Bench.Host().Click(25, 25);
    EXPECT_EQ(DblClicks, "3 ");
    EXPECT_EQ(Selects, 4);
    Bench.Advance(350);
    Bench.Host().Click(25, 15);  // quick clicks on two rows are no double click
    Bench.Advance(10);
    Bench.Host().Click(25, 25);
    EXPECT_EQ(DblClicks, "3 ");
    EXPECT_EQ(list.Selected(), 3);
}

TEST_F(GraphListTest, ClearEmptiesTheSlotsAndTheSelectionBeforeTheRowsGo) {
    TGraphListView& list = MakeList(5, 4);
    list.SetSelected(2);
    Bench.Host().MoveMouse(25, 35);  // the pointer rests on a row
    ASSERT_NE(Bench.Container->HoverControl(), nullptr);
    list.Clear();
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Shown(list), "----");
    EXPECT_EQ(Bench.Container->HoverControl(), nullptr);
    EXPECT_EQ(SlotColours(4), "----");
    Bench.Host().MoveMouse(26, 35);
    Bench.Host().Click(26, 35);
    EXPECT_EQ(Selects, 0);
}

TEST_F(GraphListTest, EachRowHasOneOwnerTheSlotShowingItOrTheList) {
    TGraphListView& list = MakeList(6, 3);
    TCustomGraphControl* second = list.Rows(1);
    EXPECT_EQ(second->ParentControl(), list.Slot(1));
    EXPECT_EQ(list.Rows(4)->ParentControl(), nullptr);  // parked
    list.SetTopIndex(1);  // the same row moves to the slot above
    EXPECT_EQ(list.Rows(1), second);
    EXPECT_EQ(second->ParentControl(), list.Slot(0));
    EXPECT_EQ(Shown(list), "123");

    // A shown row freed by someone else goes with its slot's child list; the list forgets it.
    list.Slot(1)->Controls().Remove(list.Slot(1)->Row(), true);
    list.Rebuild();
    EXPECT_EQ(list.RowCount(), 5);
    EXPECT_EQ(Shown(list), "134");
    EXPECT_EQ(SlotColours(3), "134");

    // Freeing the list frees parked and shown rows once each (the sanitizers watch).
    Bench.Container->Controls().Remove(&list, true);
    EXPECT_EQ(Bench.Container->Controls().Count(), 0);
}

TEST_F(GraphListTest, HandlersMayFreeTheirRowOrList) {
    TGraphListView& list = MakeList(5, 4);
    // The rows go in the selection handler of a click and of Page Down.
    list.OnSelect = [&](TCustomGraphControl&) { list.Clear(); };
    Bench.Host().Click(25, 15);
    EXPECT_EQ(list.RowCount(), 0);
    for (int32_t i = 0; i < 5; ++i) list.AddRow(MakeRow(Bench.Context, i));
    list.SetFocused(true);
    EXPECT_TRUE(Bench.Host().KeyDown(kPageDown));
    EXPECT_EQ(list.RowCount(), 0);

    // The list goes in the double-click handler, then another in its Page Down selection.
    for (int32_t i = 0; i < 5; ++i) list.AddRow(MakeRow(Bench.Context, i));
    list.OnSelect = nullptr;
    list.OnDblClick = [&](TCustomGraphControl& sender, int32_t) { Bench.Container->Controls().Remove(&sender, true); };
    Bench.Host().Click(25, 15);
    Bench.Host().Click(25, 15);
    EXPECT_EQ(Bench.Container->Controls().Count(), 0);

    TGraphListView& other = MakeList(5, 4);
    other.OnSelect = [&](TCustomGraphControl& sender) { Bench.Container->Controls().Remove(&sender, true); };
    other.SetFocused(true);
    EXPECT_TRUE(Bench.Host().KeyDown(kPageDown));
    EXPECT_EQ(Bench.Container->Controls().Count(), 0);
}

}  // namespace
}  // namespace marlowen
