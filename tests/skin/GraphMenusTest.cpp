#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "core/Exception.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphMenus.h"
#include "skin/PopupMenu.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// Items of 40 x 20 that show a blue block while selected; popups with indents of 2 and 3 around
// a grey background. The bar is 200 x 20 at the container's top-left, which lies at the screen's
// top-left:
//   File (0..40): Open, Recent (One, Two), Gone (disabled), Save
//   Edit (40..80): Cut, Copy
//   Help (80..120)
// File's popup shows at (0, 20), 60 x 86; its items are 56 wide at x 2, y 23, 43, 63, 83 of the
// screen; Recent's popup shows at (58, 43).
class MenuTest : public ::testing::Test {
protected:
    MenuTest() {
        bench.AddImage("M\\sel.bmp", 40, 20, kBlue);
        bench.AddImage("M\\back.bmp", 10, 10, kGrey);
        bench.AddXml("M\\Item.xml", R"(<Item Width="40" Height="20" MinWidth="40">
              <If Selected="true"><Image Image="M\sel.bmp"/></If></Item>)");
        bench.AddXml("M\\Popup.xml", R"(<Popup MinWidth="60" LeftIndent="2" TopIndent="3" RightIndent="2"
              BottomIndent="3" Width="10" Height="10"><Image Image="M\back.bmp"/></Popup>)");
        AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml" DefaultPopup="M\Popup.xml"><Items>
              <File><Open/><Recent><One/><Two/></Recent><Gone Enabled="false"/><Save/></File>
              <Edit><Cut/><Copy/></Edit>
              <Help/>
            </Items></Menu>)");
    }

    void AddStructure(std::string_view text) { bench.AddXml("M\\Menu.xml", text); }

    TGraphMenu& ShowMenu() {
        bench.Show(R"(<Screen><Menu Name="menu" Left="0" Top="0" Width="200" Height="20"
              Structure="M\Menu.xml"/></Screen>)");
        auto& menu = bench.Find<TGraphMenu>("menu");
        menu.OnActivate = [this](TCustomGraphControl&) { ++activations; };
        menu.OnDeactivate = [this](TCustomGraphControl&) { ++deactivations; };
        return menu;
    }
    TCustomMenuItem& Item(TGraphMenu& menu, std::string_view name) {
        TCustomMenuItem* item = menu.FindItem(name);
        if (item == nullptr) throw std::runtime_error("no item " + std::string(name));
        return *item;
    }
    THeadlessPopupWindow* PopupOf(TCustomMenuItem& item) {
        if (item.Popup() == nullptr) return nullptr;
        return dynamic_cast<THeadlessPopupWindow*>(&item.Popup()->Container().Host());
    }
    // Opens File with a press and lets the popup paint.
    TGraphMenu& OpenFile() {
        TGraphMenu& menu = ShowMenu();
        bench.Host().PressLeft(10, 10);
        bench.Host().ReleaseLeft(10, 10);
        bench.Pump();
        return menu;
    }
    void Move(int32_t x, int32_t y) { bench.Host().MoveMouse(x, y); }

    TControlBench bench;
    int activations = 0;
    int deactivations = 0;
};

TEST_F(MenuTest, LaysOutTheTopRowAndAlignsIt) {
    TGraphMenu& menu = ShowMenu();
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_EQ(Item(menu, "File").X, 0);
    EXPECT_EQ(Item(menu, "Edit").X, 40);
    EXPECT_EQ(Item(menu, "Help").X, 80);
    EXPECT_EQ(Item(menu, "Help").Height, 20);
    menu.SetAlignment(TGraphMenu::TAlignment::Center);
    EXPECT_EQ(Item(menu, "File").X, 40);  // (200 - 120) / 2
    menu.SetAlignment(TGraphMenu::TAlignment::Right);
    EXPECT_EQ(Item(menu, "Help").X, 160);
    // A hidden item takes no room.
    Item(menu, "Edit").Visible = false;
    menu.SetAlignment(TGraphMenu::TAlignment::Left);
    EXPECT_EQ(Item(menu, "Help").X, 40);
}

// Items advance by their minimum width but keep their own width: a wide item may overlap the next.
TEST_F(MenuTest, TheTopRowKeepsEachItemsWidth) {
    AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml" DefaultPopup="M\Popup.xml"><Items>
          <File MinWidth="30"><Open/></File><Help/></Items></Menu>)");
    TGraphMenu& menu = ShowMenu();
    EXPECT_EQ(Item(menu, "File").Width, 40);
    EXPECT_EQ(Item(menu, "Help").X, 30);
    Item(menu, "Help").MinWidth = 25;
    menu.SetAlignment(TGraphMenu::TAlignment::Right);
    EXPECT_EQ(Item(menu, "Help").X, 175);  // 200 - 55 + 30
    EXPECT_EQ(Item(menu, "Help").Width, 40);
}

TEST_F(MenuTest, PassiveMenuHighlightsTheItemUnderThePointer) {
    TGraphMenu& menu = ShowMenu();
    Move(50, 10);
    bench.Pump();
    EXPECT_TRUE(Item(menu, "Edit").Selected());
    EXPECT_EQ(bench.Pixel(50, 10), kBlue);
    EXPECT_EQ(bench.Pixel(10, 10), kWhite);
    bench.Host().LeavePointer();
    bench.Pump();
    EXPECT_FALSE(Item(menu, "Edit").Selected());
    EXPECT_EQ(bench.Pixel(50, 10), kWhite);
    EXPECT_EQ(activations, 0);
}

TEST_F(MenuTest, PressOpensThePopupBelowTheItemAndHoldsTheMouse) {
    TGraphMenu& menu = OpenFile();
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Active);
    EXPECT_EQ(bench.Container->ActiveMenu(), &menu);
    EXPECT_EQ(bench.Container->CapturedControl(), &menu);
    EXPECT_EQ(activations, 1);
    TCustomMenuItem& file = Item(menu, "File");
    ASSERT_TRUE(file.Expanded());
    EXPECT_EQ(menu.DeepestExpanded(), &file);
    THeadlessPopupWindow* popup = PopupOf(file);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->Bounds(), (TScreenRect{0, 20, 60, 106}));
    // Background at the top-left, the items below it; the shape is what is painted.
    EXPECT_EQ(popup->Pixel(0, 0), kGrey);
    EXPECT_FALSE(popup->Shape().empty());
    EXPECT_EQ(Item(menu, "Open").Y, 3);
    EXPECT_EQ(Item(menu, "Save").Y, 63);
    EXPECT_EQ(menu.ItemAt(10, 30), &Item(menu, "Open"));
    EXPECT_EQ(menu.ItemAt(10, 90), &Item(menu, "Save"));
    EXPECT_EQ(menu.ItemAt(59, 90), nullptr);  // the right indent
}

TEST_F(MenuTest, PopupItemsAreAsWideAsTheWidestOrTheMinimumWidth) {
    TGraphMenu& menu = OpenFile();
    for (const char* name : {"Open", "Recent", "Gone", "Save"}) EXPECT_EQ(Item(menu, name).Width, 56) << name;
    Move(50, 10);  // Edit opens at once
    TCustomMenuItem& edit = Item(menu, "Edit");
    ASSERT_TRUE(edit.Expanded());
    EXPECT_EQ(PopupOf(edit)->Bounds(), (TScreenRect{40, 20, 100, 66}));
    menu.Collapse(edit);
    Item(menu, "Cut").MinWidth = 70;
    menu.Expand(edit);
    EXPECT_EQ(Item(menu, "Copy").Width, 70);
    EXPECT_EQ(PopupOf(edit)->Bounds().Width(), 74);
}

TEST_F(MenuTest, MovingAcrossOpenTopItemsSwitchesPopupsAtOnce) {
    TGraphMenu& menu = OpenFile();
    Move(50, 10);
    EXPECT_FALSE(Item(menu, "File").Expanded());
    EXPECT_TRUE(Item(menu, "Edit").Expanded());
    EXPECT_TRUE(Item(menu, "Edit").Selected());
    EXPECT_FALSE(Item(menu, "File").Selected());
    EXPECT_EQ(bench.Windows().VisiblePopups().size(), 1U);
    // The one shown is Edit's (the freed File popup's memory may be reused, so compare places).
    EXPECT_EQ(bench.Windows().VisiblePopups()[0], PopupOf(Item(menu, "Edit")));
    EXPECT_EQ(bench.Windows().VisiblePopups()[0]->Bounds().Left, 40);
    // A top item without children only takes the highlight; the open popup closes later.
    Move(90, 10);
    EXPECT_TRUE(Item(menu, "Help").Selected());
    EXPECT_TRUE(Item(menu, "Edit").Expanded());
    bench.Advance(400);
    EXPECT_FALSE(Item(menu, "Edit").Expanded());
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Active);
}

TEST_F(MenuTest, SubmenuOpensAndClosesAfterTheDelayAndMovingBackCancels) {
    TGraphMenu& menu = OpenFile();
    TCustomMenuItem& recent = Item(menu, "Recent");
    Move(10, 50);
    bench.Advance(250);
    EXPECT_FALSE(recent.Expanded());
    bench.Advance(100);
    ASSERT_TRUE(recent.Expanded());
    EXPECT_EQ(menu.DeepestExpanded(), &recent);
    EXPECT_EQ(PopupOf(recent)->Bounds().Left, 58);
    EXPECT_EQ(PopupOf(recent)->Bounds().Top, 43);
    EXPECT_EQ(menu.ItemAt(70, 50), &Item(menu, "One"));

    // Leaving for a sibling asks for the close; coming back within the delay cancels it.
    Move(10, 30);
    bench.Advance(200);
    EXPECT_TRUE(recent.Expanded());
    Move(10, 51);
    EXPECT_TRUE(menu.Tasks().empty() || menu.Tasks().front().Item.Get() != &recent ||
                menu.Tasks().front().Kind != TGraphMenu::TTaskKind::Collapse);
    bench.Advance(600);
    EXPECT_TRUE(recent.Expanded());

    // Resting on a sibling closes it after the delay.
    Move(10, 90);
    bench.Advance(250);
    EXPECT_TRUE(recent.Expanded());
    bench.Advance(100);
    EXPECT_FALSE(recent.Expanded());
    EXPECT_EQ(menu.DeepestExpanded(), &Item(menu, "File"));

    // Closing a popup closes those below it, and the deepest open item follows.
    bench.Advance(400);
    Move(10, 50);
    bench.Advance(400);
    ASSERT_TRUE(recent.Expanded());
    ASSERT_EQ(menu.DeepestExpanded(), &recent);
    menu.Collapse(Item(menu, "File"));
    EXPECT_FALSE(recent.Expanded());
    EXPECT_EQ(PopupOf(recent), nullptr);
    EXPECT_EQ(menu.DeepestExpanded(), nullptr);
}

TEST_F(MenuTest, TaskRequestsCancelOppositeOnesAndRunOnePerFrame) {
    TGraphMenu& menu = OpenFile();
    TCustomMenuItem& recent = Item(menu, "Recent");
    TCustomMenuItem& edit = Item(menu, "Edit");
    menu.RequestTask(TGraphMenu::TTaskKind::Expand, recent);
    menu.RequestTask(TGraphMenu::TTaskKind::Expand, recent);
    EXPECT_EQ(menu.Tasks().size(), 1U);
    menu.RequestTask(TGraphMenu::TTaskKind::Collapse, recent);
    EXPECT_TRUE(menu.Tasks().empty());
    // Two due tasks: the first runs on one frame, the second on the next.
    menu.RequestTask(TGraphMenu::TTaskKind::Expand, recent, 0);
    menu.RequestTask(TGraphMenu::TTaskKind::Collapse, Item(menu, "File"), 0);
    bench.Advance(60);
    EXPECT_TRUE(recent.Expanded());
    EXPECT_EQ(menu.Tasks().size(), 1U);
    bench.Advance(50);
    EXPECT_FALSE(Item(menu, "File").Expanded());
    EXPECT_FALSE(recent.Expanded());
    (void)edit;
}

TEST_F(MenuTest, TaskOfAFreedItemNeverRuns) {
    TGraphMenu& menu = OpenFile();
    TCustomMenuItem& recent = Item(menu, "Recent");
    Move(10, 50);  // asks for Recent's expansion
    ASSERT_FALSE(menu.Tasks().empty());
    Item(menu, "File").Items().Remove(&recent, true);
    bench.Advance(400);
    EXPECT_EQ(menu.FindItem("Recent"), nullptr);
    EXPECT_EQ(menu.DeepestExpanded(), &Item(menu, "File"));
}

TEST_F(MenuTest, PopupIsKeptInsideTheWorkArea) {
    bench.Windows().Screen.WorkArea = TScreenRect{0, 0, 1024, 100};
    TGraphMenu& menu = OpenFile();
    THeadlessPopupWindow* popup = PopupOf(Item(menu, "File"));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Bounds().Bottom, 100);
    EXPECT_EQ(popup->Bounds().Top, 14);
    const TScreenRect work{10, 10, 300, 200};
    EXPECT_EQ(TFormPopupMenu::Placed(280, 20, 60, 50, work).X, 240);   // right edge
    EXPECT_EQ(TFormPopupMenu::Placed(0, 180, 60, 50, work).Y, 150);    // bottom edge
    EXPECT_EQ(TFormPopupMenu::Placed(0, 0, 60, 50, work).X, 10);       // left and top edges
    EXPECT_EQ(TFormPopupMenu::Placed(0, 0, 60, 500, work).Y, 10);      // taller than the area
}

TEST_F(MenuTest, PopupWithoutAlignmentMayLeaveTheWorkArea) {
    bench.AddXml("M\\Popup.xml", R"(<Popup AlignToScreen="false" MinWidth="60"/>)");
    bench.AddXml("M\\Item.xml", R"(<Item Width="40" Height="20" MinWidth="40"/>)");
    bench.Windows().Screen.WorkArea = TScreenRect{0, 0, 1024, 50};
    TGraphMenu& menu = OpenFile();
    THeadlessPopupWindow* popup = PopupOf(Item(menu, "File"));
    EXPECT_EQ(popup->Bounds().Top, 20);
    // Nothing is painted in it, so nothing of it shows: the bar below stays reachable.
    EXPECT_FALSE(popup->Host().IsWindowAt(10, 30));
}

TEST_F(MenuTest, OpenPopupsLieAboveTheBar) {
    bench.AddXml("M\\Item.xml", R"(<Item Width="40" Height="20" MinWidth="40" OffsetPopUpY="-15"/>)");
    TGraphMenu& menu = ShowMenu();
    bench.Host().Click(10, 2);
    ASSERT_TRUE(Item(menu, "File").Expanded());
    // File's popup now starts at y 5 and covers Edit's left part.
    EXPECT_EQ(menu.ItemAt(50, 10), &Item(menu, "Open"));
    EXPECT_EQ(menu.ItemAt(70, 10), &Item(menu, "Edit"));
}

TEST_F(MenuTest, DisabledClickRaisesNothingAndStaysActive) {
    TGraphMenu& menu = OpenFile();
    int clicks = 0;
    Item(menu, "Gone").OnClick = [&](TCustomMenuItem&) { ++clicks; };
    Move(10, 70);
    EXPECT_FALSE(Item(menu, "Gone").Selected());
    bench.Host().Click(10, 70);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Active);
    EXPECT_TRUE(Item(menu, "File").Expanded());
}

TEST_F(MenuTest, LeafClickClosesEverythingAndRaisesOnClick) {
    TGraphMenu& menu = OpenFile();
    std::string clicked;
    TGraphMenu::TState stateInHandler = TGraphMenu::TState::Active;
    Item(menu, "Two").OnClick = [&](TCustomMenuItem& item) {
        clicked = item.Name;
        stateInHandler = menu.State();
    };
    Move(10, 50);
    bench.Advance(350);
    ASSERT_TRUE(Item(menu, "Recent").Expanded());
    bench.Host().Click(70, 70);  // Two
    EXPECT_EQ(clicked, "Two");
    EXPECT_EQ(stateInHandler, TGraphMenu::TState::Passive);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());
    EXPECT_EQ(bench.Container->ActiveMenu(), nullptr);
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
    EXPECT_EQ(menu.DeepestExpanded(), nullptr);
    EXPECT_EQ(deactivations, 1);
}

TEST_F(MenuTest, EscapeRightClickOutsidePressAndCaptureLossReturnToPassive) {
    TGraphMenu& menu = OpenFile();
    bench.Host().PressKey(VirtualKey::Escape);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());

    bench.Host().PressLeft(10, 10);
    bench.Host().PressRight(30, 60);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());

    bench.Host().PressLeft(10, 10);
    bench.Host().PressLeft(150, 90);  // on nothing
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);

    bench.Host().PressLeft(10, 10);
    bench.Host().ReleaseCapture();  // another window takes the mouse
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());
    EXPECT_EQ(activations, 4);
    EXPECT_EQ(deactivations, 4);
}

TEST_F(MenuTest, HidingOrDisablingAnActiveMenuClosesItsPopups) {
    TGraphMenu& menu = OpenFile();
    menu.SetVisible(false);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());
    EXPECT_EQ(bench.Container->CapturedControl(), nullptr);
    menu.SetVisible(true);
    bench.Host().PressLeft(10, 10);
    ASSERT_EQ(menu.State(), TGraphMenu::TState::Active);
    menu.SetEnabled(false);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());
}

TEST_F(MenuTest, LeavingTheBarWithNothingOpenEndsTheActiveState) {
    TGraphMenu& menu = ShowMenu();
    bench.Host().PressLeft(90, 10);  // Help has no popup
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Active);
    Move(150, 60);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
}

TEST_F(MenuTest, HandlerThatFreesTheMenuIsSafe) {
    TGraphMenu& menu = OpenFile();
    Item(menu, "Open").OnClick = [this](TCustomMenuItem&) { bench.Container->Controls().Clear(); };
    bench.Host().Click(10, 30);
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());

    TGraphMenu& again = ShowMenu();
    again.OnDeactivate = [this](TCustomGraphControl&) { bench.Container->Controls().Clear(); };
    bench.Host().PressLeft(10, 10);
    bench.Host().PressKey(VirtualKey::Escape);
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    bench.Advance(100);
}

// The name of the item the keys act on, "-" for none.
std::string KeyName(const TGraphMenu& menu) {
    const TCustomMenuItem* item = menu.KeyItem();
    return item != nullptr ? item->Name : "-";
}

TEST_F(MenuTest, TheKeyboardWalksTheTopRowAndThePopupsAndClicksALeaf) {
    TGraphMenu& menu = ShowMenu();
    std::vector<std::string> clicked;
    for (const char* name : {"Cut", "Help", "Two"}) {
        Item(menu, name).OnClick = [&clicked](TCustomMenuItem& item) { clicked.push_back(item.Name); };
    }
    auto key = [this](uint32_t k) { bench.Host().PressKey(k); };

    key(VirtualKey::Tab);
    ASSERT_EQ(bench.Container->FocusedControl(), &menu) << "the menu is a tab stop";
    EXPECT_EQ(KeyName(menu), "File");
    bench.Pump();
    EXPECT_EQ(bench.Host().Pixel(0, 0), 0xFF000000u) << "the focus ring on the item";
    EXPECT_EQ(bench.Host().Pixel(5, 5), kBlue) << "the item shows as selected";
    std::string walk;
    for (uint32_t k : {VirtualKey::Right, VirtualKey::Right, VirtualKey::Right, VirtualKey::Left}) {
        key(k);
        walk += KeyName(menu) + " ";
    }
    EXPECT_EQ(walk, "Edit Help File Help ") << "round the row, passive";
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);

    key(VirtualKey::Right);
    key(VirtualKey::Down);
    ASSERT_EQ(menu.State(), TGraphMenu::TState::Active);
    EXPECT_TRUE(Item(menu, "File").Expanded());
    walk.clear();
    for (uint32_t k : {VirtualKey::Down, VirtualKey::Down, VirtualKey::Down, VirtualKey::Up, VirtualKey::Up}) {
        key(k);
        walk += KeyName(menu) + " ";
    }
    EXPECT_EQ(walk, "Recent Save Open Save Recent ") << "the disabled item is passed over";
    key(VirtualKey::Right);
    EXPECT_TRUE(Item(menu, "Recent").Expanded());
    EXPECT_EQ(KeyName(menu), "One");
    key(VirtualKey::Down);
    key(VirtualKey::Left);
    EXPECT_FALSE(Item(menu, "Recent").Expanded());
    EXPECT_EQ(KeyName(menu), "Recent");
    key(VirtualKey::Left);  // from the first popup: the previous top item, which has none
    EXPECT_FALSE(Item(menu, "File").Expanded());
    EXPECT_EQ(KeyName(menu), "Help");
    key(VirtualKey::Right);
    EXPECT_EQ(KeyName(menu), "Open");
    key(VirtualKey::Right);  // from a leaf: on to the next top item's popup
    EXPECT_TRUE(Item(menu, "Edit").Expanded());
    EXPECT_FALSE(Item(menu, "File").Expanded());
    EXPECT_EQ(KeyName(menu), "Cut");
    key(VirtualKey::Return);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    EXPECT_TRUE(bench.Windows().VisiblePopups().empty());
    EXPECT_EQ(bench.Container->FocusedControl(), &menu) << "the focus stays";

    key(VirtualKey::Up);  // opens at the last item
    EXPECT_EQ(KeyName(menu), "Copy");
    key(VirtualKey::Escape);
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    key(VirtualKey::Right);
    key(VirtualKey::Space);  // a top item without children is clicked
    EXPECT_EQ(clicked, (std::vector<std::string>{"Cut", "Help"}));
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(deactivations, 2);

    menu.SetFocused(false);
    EXPECT_EQ(KeyName(menu), "-") << "leaving the focus clears the highlight";
    key(VirtualKey::Tab);
    EXPECT_EQ(KeyName(menu), "File") << "coming back starts at the first item";
}

TEST_F(MenuTest, ReadersSeeTheBarItsItemsTheOpenPopupAndTheFocusedItem) {
    TGraphMenu& menu = ShowMenu();
    TGraphAccessibleTree& tree = bench.Container->Accessible();
    auto describe = [&tree](int32_t id) {
        TAccessibleDescription d;
        EXPECT_TRUE(tree.Describe(id, d)) << id;
        return d;
    };
    auto names = [&](int32_t id) {
        std::string listing;
        for (int32_t child : tree.Children(id)) listing += describe(child).Name + " ";
        return listing;
    };
    const std::vector<int32_t> top = tree.Children(TAccessibleTree::kClient);
    ASSERT_EQ(top.size(), 1u);
    const int32_t bar = top[0];
    EXPECT_EQ(describe(bar).Role, AccRole::MenuBar);
    EXPECT_EQ(names(bar), "File Edit Help ");
    const std::vector<int32_t> items = tree.Children(bar);
    const TAccessibleDescription file = describe(items[0]);
    EXPECT_EQ(file.Role, AccRole::MenuItem);
    EXPECT_NE(file.State & AccState::HasPopup, 0u);
    EXPECT_EQ(file.DefaultAction, "Open");
    EXPECT_EQ(describe(items[2]).DefaultAction, "Execute");
    EXPECT_EQ(tree.Parent(items[1]), bar);
    EXPECT_EQ(names(items[0]), "") << "a closed popup shows nothing";
    EXPECT_EQ(tree.HitTest(50, 10), items[1]);

    // A reader opens File: the action waits for the message loop, then the popup's items are
    // children of File and the focus is on its first item.
    bench.Host().ClearAccessibleEvents();
    EXPECT_TRUE(tree.DoDefaultAction(items[0]));
    EXPECT_EQ(menu.State(), TGraphMenu::TState::Passive);
    bench.Pump();
    ASSERT_EQ(menu.State(), TGraphMenu::TState::Active);
    EXPECT_EQ(names(items[0]), "Open Recent Gone Save ");
    const std::vector<int32_t> fileItems = tree.Children(items[0]);
    EXPECT_EQ(tree.Parent(fileItems[0]), items[0]);
    EXPECT_EQ(tree.Focus(), fileItems[0]);
    const TAccessibleDescription open = describe(fileItems[0]);
    EXPECT_NE(open.State & AccState::Focused, 0u);
    EXPECT_EQ((std::vector<int32_t>{open.Left, open.Top, open.Width, open.Height}), (std::vector<int32_t>{2, 23, 56, 20}))
        << "the popup's place, in the window's coordinates";
    EXPECT_NE(describe(fileItems[2]).State & AccState::Unavailable, 0u);
    EXPECT_FALSE(tree.DoDefaultAction(fileItems[2])) << "a disabled item has no action";
    std::vector<std::pair<uint32_t, int32_t>> events;
    for (const auto& event : bench.Host().AccessibleEvents()) events.emplace_back(event.Event, event.Id);
    const std::vector<std::pair<uint32_t, int32_t>> expected{{AccEvent::MenuStart, bar},
                                                             {AccEvent::Focus, items[0]},
                                                             {AccEvent::MenuPopupStart, items[0]},
                                                             {AccEvent::Focus, fileItems[0]}};
    EXPECT_EQ(events, expected);

    // A leaf's action closes the menu and clicks it; a menu freed by the click leaves its items gone.
    Item(menu, "Save").OnClick = [this](TCustomMenuItem&) { bench.Container->Controls().Clear(); };
    EXPECT_TRUE(tree.DoDefaultAction(fileItems[3]));
    bench.Pump();
    EXPECT_EQ(bench.Container->Controls().Count(), 0);
    TAccessibleDescription gone;
    EXPECT_FALSE(tree.Describe(fileItems[3], gone));
    EXPECT_FALSE(tree.Describe(items[0], gone));
    EXPECT_TRUE(tree.Children(items[0]).empty());
    EXPECT_FALSE(tree.DoDefaultAction(items[1]));
}

TEST_F(MenuTest, StructureErrorsAndDefaults) {
    AddStructure(R"(<Menu><Items><File/></Items></Menu>)");
    EXPECT_THROW(
        try { ShowMenu(); } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Не задан шаблон элемента меню.");
            throw;
        },
        Exception);

    AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml"><Items><File><Open/></File></Items></Menu>)");
    EXPECT_THROW(
        try { ShowMenu(); } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Не задан шаблон окна меню.");
            throw;
        },
        Exception);

    // Without "Items" the menu is empty: nothing opens and nothing fails.
    AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml"/>)");
    TGraphMenu& empty = ShowMenu();
    EXPECT_EQ(empty.Items().Count(), 0);
    bench.Host().Click(10, 10);
    EXPECT_EQ(empty.State(), TGraphMenu::TState::Passive);
}

TEST_F(MenuTest, AnItemTemplateHoldingAMenuOfItselfIsRefused) {
    bench.AddXml("M\\Loop.xml", R"(<Item Width="40" Height="20" MinWidth="40">
          <Menu Width="40" Height="20" Structure="M\Menu.xml"/></Item>)");
    AddStructure(R"(<Menu DefaultItemTemplate="M\Loop.xml"><Items><File/></Items></Menu>)");
    EXPECT_THROW(
        try { ShowMenu(); } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Документ M\\Loop.xml включает сам себя: M\\Loop.xml -> M\\Loop.xml.");
            throw;
        },
        Exception);
    EXPECT_EQ(bench.Context.Build.ControlCount(), 0);
}

TEST_F(MenuTest, TemplatesComeFromTheItemItsParentItsLevelOrTheDefaults) {
    bench.AddXml("M\\Wide.xml", R"(<Item Width="70" Height="25" MinWidth="70"/>)");
    bench.AddXml("M\\Narrow.xml", R"(<Item Width="30" Height="15" MinWidth="30"/>)");
    AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml" DefaultPopup="M\Popup.xml">
          <Levels><Level2 ItemTemplate="M\Narrow.xml"/></Levels>
          <Items>
            <A><A1/><A2 Template="M\Wide.xml"/></A>
            <B ChildsTemplate="M\Wide.xml"><B1/><B2 MinWidth="90" Height="30"/></B>
            <C Template="M\Wide.xml" Tag="7" Checked="true" Visible="false"/>
          </Items></Menu>)");
    TGraphMenu& menu = ShowMenu();
    EXPECT_EQ(Item(menu, "A").MinWidth, 40);   // the default
    EXPECT_EQ(Item(menu, "A1").MinWidth, 30);  // its level's
    EXPECT_EQ(Item(menu, "A2").MinWidth, 70);  // its own
    EXPECT_EQ(Item(menu, "B1").MinWidth, 70);  // its parent's for its children
    EXPECT_EQ(Item(menu, "B2").MinWidth, 90);  // its own size over the template's
    EXPECT_EQ(Item(menu, "B2").Height, 30);
    const TCustomMenuItem& c = Item(menu, "C");
    EXPECT_EQ(c.Tag, 7);
    EXPECT_TRUE(c.Checked);
    EXPECT_FALSE(c.Visible);
    EXPECT_EQ(Item(menu, "B").X, 40);  // C is hidden: the row ends after B
}

TEST_F(MenuTest, ItemShowsItsCaptionAndImagesThroughNamedControls) {
    bench.AddImage("M\\icon.bmp", 4, 4, kBlue);
    bench.AddXml("M\\Item.xml", R"(<Item Width="40" Height="20" MinWidth="40"><Image Name="Image"/>
          <If Disabled="true"><Image Name="DisabledImage" Left="10"/></If></Item>)");
    AddStructure(R"(<Menu DefaultItemTemplate="M\Item.xml" DefaultPopup="M\Popup.xml"><Items>
          <File Image="M\icon.bmp"/><Edit Image="M\icon.bmp" Enabled="false"/></Items></Menu>)");
    TGraphMenu& menu = ShowMenu();
    bench.Pump();
    EXPECT_EQ(bench.Pixel(1, 1), kBlue);
    EXPECT_EQ(bench.Pixel(11, 1), kWhite);
    EXPECT_EQ(bench.Pixel(51, 1), kBlue);  // the disabled image defaults to the normal one
    auto& edit = static_cast<TXMLMenuItem&>(Item(menu, "Edit"));
    EXPECT_EQ(edit.DisabledImage, edit.Image);
    EXPECT_EQ(edit.ExpandedImage, edit.Image);
}

}  // namespace
}  // namespace marlowen
