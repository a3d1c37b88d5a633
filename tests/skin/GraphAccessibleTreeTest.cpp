#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphButtons.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/GraphEdits.h"
#include "skin/GraphImages.h"
#include "skin/GraphLabels.h"
#include "skin/GraphProgressBar.h"

namespace marlowen {
namespace {

using testing::TControlBench;
constexpr int32_t kClient = TAccessibleTree::kClient;
constexpr int32_t kNone = TAccessibleTree::kNone;

// A page as the wizard builds one: a panel without a role holding a title, a labelled edit, a
// password, a check box, two image buttons (one hidden), pictures named and unnamed, a bar.
class AccessibleTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const TFontImages& font = Bench.AddFont("F.fnt", u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ", 4);
        Bench.AddImage("B\\normal.bmp", 20, 10, 0xFF0000FF);
        Bench.AddImage("B\\pressed.bmp", 20, 10, 0xFF00FF00);
        for (const char* image : {"normal_checked", "normal", "pressed_checked", "pressed"}) {
            Bench.AddImage(std::string("Box\\") + image + ".bmp", 6, 6, 0xFF000000);
        }
        auto panel = std::make_unique<TCustomGraphControl>(Bench.Context);
        panel->SetBounds(10, 5, 180, 90);
        Panel = Bench.Container->Controls().AddControl(std::move(panel));

        Title = Add(std::make_unique<TGraphTextLabel>(Bench.Context, &font, 0xFF000000, true));
        Title->SetCaption(u"[rus]Папка[eng]Folder");
        Title->LabelFor = "editfolder";  // letter case does not matter
        Edit = Add(std::make_unique<TGraphEdit>(Bench.Context, 0, 12, 80, 12, &font));
        Edit->SetName("EditFolder");
        Edit->SetText(u"Apps");
        Password = Add(std::make_unique<TGraphEdit>(Bench.Context, 0, 26, 80, 12, &font));
        Password->SetPasswordChar(u'*');
        Password->SetText(u"secret");
        Box = Add(std::make_unique<TGraphCheckBox>(Bench.Context, 0, 40, 0, 0, "Box"));
        Box->AccName = u"[rus]Ярлык[eng]Desktop shortcut";
        Box->TabStop = true;
        Box->SetChecked(false);
        Next = Add(std::make_unique<TGraphButton>(Bench.Context, 100, 60, "B", TButtonStyle::Button, 0,
                                                  TGraphButton::NoTransform, [this](TCustomGraphControl&) { ++Clicks; }));
        Next->Hint = u"[rus]Далее[eng]Next";
        Back = Add(std::make_unique<TGraphButton>(Bench.Context, 60, 60, "B", TButtonStyle::Button, 0,
                                                  TGraphButton::NoTransform, nullptr));
        Back->Hint = u"[eng]Back";
        Back->SetEnabled(false);
        Hidden = Add(std::make_unique<TGraphButton>(Bench.Context, 130, 60, "B", TButtonStyle::Button, 0,
                                                    TGraphButton::NoTransform, nullptr));
        Hidden->SetVisible(false);
        auto decoration = std::make_unique<TCustomGraphImage>(Bench.Context);
        decoration->SetBounds(150, 0, 20, 20);
        Add(std::move(decoration));
        auto logo = std::make_unique<TCustomGraphImage>(Bench.Context);
        logo->SetBounds(150, 30, 20, 20);
        logo->AccName = u"[eng]Logo";
        Add(std::move(logo));
        Bar = Add(std::make_unique<TGraphProgressBar>(Bench.Context));
        Bar->SetBounds(0, 80, 100, 6);
        Bar->SetPosition(37);
        Bench.Pump();
    }

    template <class T>
    T* Add(std::unique_ptr<T> control) {
        return Panel->Controls().AddControl(std::move(control));
    }
    TGraphAccessibleTree& Tree() { return Bench.Container->Accessible(); }
    TAccessibleDescription Describe(int32_t id) {
        TAccessibleDescription description;
        EXPECT_TRUE(Tree().Describe(id, description)) << id;
        return description;
    }
    // "role:name" of each child of the client, as a reader lists the page.
    std::string Listing() {
        std::string listing;
        for (int32_t id : Tree().Children(kClient)) {
            const TAccessibleDescription d = Describe(id);
            listing += std::to_string(d.Role) + ":" + d.Name + " ";
        }
        return listing;
    }

    TControlBench Bench;
    TCustomGraphControl* Panel = nullptr;
    TGraphTextLabel* Title = nullptr;
    TGraphEdit* Edit = nullptr;
    TGraphEdit* Password = nullptr;
    TGraphCheckBox* Box = nullptr;
    TGraphButton* Next = nullptr;
    TGraphButton* Back = nullptr;
    TGraphButton* Hidden = nullptr;
    TGraphProgressBar* Bar = nullptr;
    int Clicks = 0;
};

TEST_F(AccessibleTreeTest, ThePageReadsInTreeOrderWithRolesNamesAndValuesAndWithoutDecoration) {
    Languages->SelectLanguage(u"eng");
    // The panel has no role: its children stand in its place. Hidden and unnamed pictures are left out.
    EXPECT_EQ(Listing(), "41:Folder 42:Folder 42: 44:Desktop shortcut 43:Next 43:Back 40:Logo 48: ");
    const std::vector<int32_t> children = Tree().Children(kClient);
    ASSERT_EQ(children.size(), 8u);
    EXPECT_EQ(Describe(children[1]).Value, "Apps");
    const TAccessibleDescription password = Describe(children[2]);
    EXPECT_EQ(password.Value, "") << "a password is never told";
    EXPECT_NE(password.State & AccState::Protected, 0u);
    EXPECT_EQ(Describe(children[7]).Value, "37%");
    for (int32_t id : children) EXPECT_EQ(Tree().Parent(id), kClient);
    EXPECT_TRUE(Tree().Children(children[4]).empty()) << "a button's parts are the button";

    // Bounds in container coordinates; names follow the language.
    const TAccessibleDescription next = Describe(children[4]);
    EXPECT_EQ((std::vector<int32_t>{next.Left, next.Top, next.Width, next.Height}), (std::vector<int32_t>{110, 65, 20, 10}));
    EXPECT_EQ(next.DefaultAction, "Press");
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(Describe(children[4]).Name, "Далее");
    EXPECT_EQ(Describe(children[0]).Name, "Папка");
    Languages->SelectLanguage(u"eng");
}

// A reader tells the access keys: the control's own, else the one of the label that names it.
TEST_F(AccessibleTreeTest, AccessKeysAreToldAsKeyboardShortcuts) {
    Next->AccessKey = u"[rus]д[eng]n";
    Title->AccessKey = u"[rus]П[eng]F";
    const std::vector<int32_t> children = Tree().Children(kClient);
    Languages->SelectLanguage(u"eng");
    EXPECT_EQ(Describe(children[4]).KeyboardShortcut, "Alt+N");
    EXPECT_EQ(Describe(children[1]).KeyboardShortcut, "Alt+F") << "the edit, through its label";
    EXPECT_EQ(Describe(children[5]).KeyboardShortcut, "");
    Languages->SelectLanguage(u"rus");
    EXPECT_EQ(Describe(children[4]).KeyboardShortcut, "Alt+Д");
    EXPECT_EQ(Describe(children[1]).KeyboardShortcut, "Alt+П");
    Languages->SelectLanguage(u"eng");
}

TEST_F(AccessibleTreeTest, StatesFollowTheControls) {
    const std::vector<int32_t> children = Tree().Children(kClient);
    const int32_t box = children[3], next = children[4], back = children[5];
    EXPECT_EQ(Describe(back).State & AccState::Unavailable, AccState::Unavailable);
    EXPECT_EQ(Describe(next).State & AccState::Unavailable, 0u);
    EXPECT_EQ(Describe(box).State & (AccState::Checked | AccState::Focusable), AccState::Focusable);
    Box->SetChecked(true);
    EXPECT_NE(Describe(box).State & AccState::Checked, 0u);
    EXPECT_EQ(Describe(box).DefaultAction, "Uncheck");

    // Focus: none while the window lacks it; then the node of the focused control.
    Box->SetFocused(true);
    EXPECT_EQ(Tree().Focus(), box);
    EXPECT_NE(Describe(box).State & AccState::Focused, 0u);
    Box->SetFocused(false);
    EXPECT_EQ(Tree().Focus(), kClient);

    // A control hidden after a reader took its node says so.
    Next->SetVisible(false);
    EXPECT_NE(Describe(next).State & AccState::Invisible, 0u);
    Panel->SetEnabled(false);
    EXPECT_NE(Describe(box).State & AccState::Unavailable, 0u) << "a disabled parent makes its children unavailable";
}

// Readers follow the page through events: the focus, a check box's state, an edit's value, a
// label's name, each naming the control's node; the window is the one that serves the tree.
TEST_F(AccessibleTreeTest, ChangesReachTheReadersAsEventsOnTheNodes) {
    EXPECT_EQ(Bench.Host().AccessibleTree(), &Tree());
    const std::vector<int32_t> children = Tree().Children(kClient);
    Bench.Host().ClearAccessibleEvents();
    Box->SetFocused(true);
    Box->SetChecked(true);
    Edit->SetText(u"Games");
    Title->SetCaption(u"[eng]Target");
    Back->SetEnabled(true);
    std::vector<std::pair<uint32_t, int32_t>> events;
    for (const auto& event : Bench.Host().AccessibleEvents()) events.emplace_back(event.Event, event.Id);
    const std::vector<std::pair<uint32_t, int32_t>> expected{{AccEvent::Focus, children[3]},
                                                             {AccEvent::StateChange, children[3]},
                                                             {AccEvent::ValueChange, children[1]},
                                                             {AccEvent::NameChange, children[0]},
                                                             {AccEvent::StateChange, children[5]}};
    EXPECT_EQ(events, expected);
}

TEST_F(AccessibleTreeTest, HitTestsFindTheTopmostNodeAndTheClientAroundIt) {
    const std::vector<int32_t> children = Tree().Children(kClient);
    EXPECT_EQ(Tree().HitTest(115, 70), children[4]);  // Next
    EXPECT_EQ(Tree().HitTest(145, 70), kClient) << "the hidden button is not there";
    EXPECT_EQ(Tree().HitTest(165, 10), kClient) << "decoration is not there";
    EXPECT_EQ(Tree().HitTest(165, 40), children[6]);
    EXPECT_EQ(Tree().HitTest(-1, 5), kNone);
    EXPECT_EQ(Tree().HitTest(TControlBench::kWidth, 5), kNone);
}

TEST_F(AccessibleTreeTest, DefaultActionsRunFromTheMessageLoopAndNeverOnWhatIsGone) {
    const std::vector<int32_t> children = Tree().Children(kClient);
    const int32_t box = children[3], next = children[4], back = children[5];
    EXPECT_TRUE(Tree().DoDefaultAction(next));
    EXPECT_TRUE(Tree().DoDefaultAction(box));
    EXPECT_FALSE(Tree().DoDefaultAction(back)) << "unavailable";
    EXPECT_FALSE(Tree().DoDefaultAction(children[0])) << "a label has no action";
    EXPECT_EQ(Clicks, 0) << "not inside the client's call";
    Bench.Pump();
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Box->Checked());

    // Asked for, then freed before the loop runs: nothing happens, and the node is gone for good.
    EXPECT_TRUE(Tree().DoDefaultAction(next));
    Panel->Controls().Remove(Next, true);
    Bench.Pump();
    EXPECT_EQ(Clicks, 1);
    TAccessibleDescription gone;
    EXPECT_FALSE(Tree().Describe(next, gone));
    EXPECT_EQ(Tree().Parent(next), kNone);
    EXPECT_TRUE(Tree().Children(next).empty());
    EXPECT_FALSE(Tree().DoDefaultAction(next));
    EXPECT_FALSE(Tree().Describe(-5, gone));
    EXPECT_FALSE(Tree().Describe(1 << 30, gone));

    // A control made where the freed one lived gets a number of its own.
    auto again = std::make_unique<TGraphButton>(Bench.Context, 100, 60, "B", TButtonStyle::Button, 0,
                                                TGraphButton::NoTransform, nullptr);
    TGraphButton* added = Panel->Controls().AddControl(std::move(again));
    const int32_t id = Tree().NodeOf(added);
    EXPECT_NE(id, next);
    EXPECT_GT(id, 0);
}

}  // namespace
}  // namespace marlowen
