#include "ControlTestSupport.h"

#include "skin/GraphConditions.h"

namespace marlowen::testing {
namespace {

class ConditionsTest : public ::testing::Test {
protected:
    // Hands {name = value, ...} to the whole tree, as a window's activation or page code does.
    void Hand(std::initializer_list<std::pair<const char*, TVariant>> values) {
        TValueItems items;
        for (const auto& [name, value] : values) items.Add(std::make_unique<TValueItem>(name, value));
        bench.Container->Controls().BroadcastConditions(&items);
    }
    // Condition blocks carry no name (every attribute is a test): they are found by position.
    static TCustomGraphControl& Nth(const TGraphControls& list, int index) {
        TCustomGraphControl* control = list.First();
        while (index-- > 0) control = control->NextControl();
        return *control;
    }
    bool Shown(int index) { return Nth(bench.Container->Controls(), index).Visible(); }

    TControlBench bench;
};

TEST_F(ConditionsTest, IfNeedsAllIfAnyOneAndIfNotNoneOfTheTestedValues) {
    bench.Show(
        "<Screen>"
        "<If Game=\"Holdem\" Players=\"2\"/>"
        "<IfAny Game=\"Holdem\" Players=\"2\"/>"
        "<IfNot Game=\"Holdem\" Players=\"2\"/>"
        "<If Sound=\"true\"/>"
        "</Screen>");
    Hand({{"Game", TVariant("holdem")}, {"Players", TVariant(int32_t{3})}});
    EXPECT_FALSE(Shown(0));
    EXPECT_TRUE(Shown(1));  // the text compares without regard to letter case
    EXPECT_FALSE(Shown(2));
    EXPECT_TRUE(Shown(3));  // nothing it tests was handed: it stays as loaded

    Hand({{"Players", TVariant(int32_t{2})}});  // merged with what came before
    EXPECT_TRUE(Shown(0));
    Hand({{"Game", TVariant("Stud")}, {"Players", TVariant(int32_t{9})}});
    EXPECT_FALSE(Shown(1));
    EXPECT_TRUE(Shown(2));
}

TEST_F(ConditionsTest, BooleanConditionsFollowTheWindowsActivation) {
    bench.Show(
        "<Screen><If ActiveWindow=\"true\"/><IfNot ActiveWindow=\"true\"/></Screen>");
    Hand({{"ActiveWindow", TVariant(true)}});
    EXPECT_TRUE(Shown(0));
    EXPECT_FALSE(Shown(1));
    Hand({{"ActiveWindow", TVariant(false)}});
    EXPECT_FALSE(Shown(0));
    EXPECT_TRUE(Shown(1));
}

TEST_F(ConditionsTest, SetConditionsHandsItsValuesToWhatItHoldsAtOnceAndOnEveryChange) {
    bench.Show(
        "<Screen><SetConditions Name=\"Game\" Kind=\"Omaha\">"
        "<If Kind=\"omaha\"/><If Kind=\"Stud\"/>"
        "</SetConditions></Screen>");
    auto& set = bench.Find<TSetConditionsControl>("Game");
    TCustomGraphControl& omaha = Nth(set.Controls(), 0);
    TCustomGraphControl& stud = Nth(set.Controls(), 1);
    EXPECT_TRUE(omaha.Visible());
    EXPECT_FALSE(stud.Visible());
    EXPECT_EQ(set.Width(), 0);  // a root takes no parent's size
    set.Conditions().SetWideText("Kind", u"Stud");
    EXPECT_FALSE(omaha.Visible());
    EXPECT_TRUE(stud.Visible());
}

TEST_F(ConditionsTest, ANestedSetConditionsDecidesForWhatItHolds) {
    bench.Show(
        "<Screen><SetConditions Name=\"Outer\" Kind=\"Omaha\" Players=\"2\">"
        "<If Kind=\"Omaha\"/>"
        "<SetConditions Name=\"Inner\" Kind=\"Stud\"><If Kind=\"Stud\" Players=\"2\"/><If Kind=\"Omaha\"/>"
        "</SetConditions></SetConditions></Screen>");
    auto& outer = bench.Find<TSetConditionsControl>("Outer");
    auto& inner = bench.Find<TSetConditionsControl>("Inner");
    TCustomGraphControl& outside = Nth(outer.Controls(), 0);
    TCustomGraphControl& stud = Nth(inner.Controls(), 0);  // the outer Players reaches it
    TCustomGraphControl& omaha = Nth(inner.Controls(), 1);
    EXPECT_TRUE(outside.Visible());
    EXPECT_TRUE(stud.Visible());
    EXPECT_FALSE(omaha.Visible());
    outer.Conditions().SetWideText("Players", u"3");  // a change of the outer block keeps the inner Kind
    EXPECT_FALSE(stud.Visible());
    EXPECT_FALSE(omaha.Visible());
}

TEST_F(ConditionsTest, ConditionBlocksTakeTheirParentsSizeAndFollowIt) {
    TCustomGraphControl* animator = bench.Show(
        "<Screen><Animator Width=\"60\" Height=\"40\"><Frames><Frame0>"
        "<If A=\"1\"><SetConditions Name=\"Deep\"/></If>"
        "</Frame0></Frames></Animator></Screen>");
    auto& inner = *animator->Controls().First();
    EXPECT_EQ(inner.BoundsRect(), (TRect{0, 0, 60, 40}));
    EXPECT_EQ(bench.Find("Deep").BoundsRect(), (TRect{0, 0, 60, 40}));
    animator->SetBounds(0, 0, 80, 50);
    EXPECT_EQ(bench.Find("Deep").BoundsRect(), (TRect{0, 0, 80, 50}));
    EXPECT_EQ(bench.Container->ControlAt(5, 5), nullptr);
}

class SwitchTest : public ConditionsTest {
protected:
    TGraphSwitch& ShowSwitch(const std::string& state) {
        return static_cast<TGraphSwitch&>(*bench.Show(
            "<Screen><Switch Name=\"Pages\" Width=\"50\" Height=\"50\"" + state +
            "><Welcome><SetConditions Name=\"W1\"/><SetConditions Name=\"W2\"/></Welcome>"
            "<Summary><If Mode=\"Full\"/></Summary></Switch></Screen>"));
    }
};

TEST_F(SwitchTest, ShowsItsFirstStateAndRebuildsOnEveryChange) {
    TGraphSwitch& pages = ShowSwitch("");
    EXPECT_EQ(pages.State(), "Welcome");
    EXPECT_EQ(pages.Controls().Count(), 2);
    std::vector<std::string> changes;
    pages.OnChange = [&](TGraphSwitch& sender) { changes.push_back(sender.State()); };

    pages.SelectState("Nowhere");
    EXPECT_EQ(pages.Controls().Count(), 0);
    pages.SelectState("Welcome");
    EXPECT_EQ(pages.Controls().Count(), 2);
    pages.SelectState("Welcome");
    EXPECT_EQ(changes, (std::vector<std::string>{"Nowhere", "Welcome"}));

    // Values handed to the switch reach the controls of later states.
    Hand({{"Mode", TVariant("Short")}});
    pages.SelectState("Summary");
    EXPECT_FALSE(pages.Controls().First()->Visible());
}

TEST_F(SwitchTest, AStateAttributeChoosesTheFirstState) {
    TGraphSwitch& pages = ShowSwitch(" State=\"Summary\"");
    ASSERT_EQ(pages.Controls().Count(), 1);
    EXPECT_NE(dynamic_cast<TIfControl*>(pages.Controls().First()), nullptr);
}

TEST_F(SwitchTest, AControlOfAStateMaySwitchTheStateFromItsOwnHandler) {
    TGraphSwitch& pages = ShowSwitch("");
    auto button = std::make_unique<TCustomGraphControl>(bench.Context);
    button->SetBounds(0, 0, 10, 10);
    TCustomGraphControl& w1 = *pages.Controls().AddControl(std::move(button));
    w1.OnLButtonDown = [&](TCustomGraphControl& self, int32_t, int32_t, TShiftState) {
        pages.SelectState("Summary");
        // The control is gone now; the event must end without touching it.
        (void)self;
    };
    bench.Host().Click(5, 5);
    EXPECT_EQ(pages.State(), "Summary");
    bench.Pump();
}

TEST_F(ConditionsTest, SkinCaseBuildsItsFirstCase) {
    TCustomGraphControl* skin = bench.Show(
        "<Screen><SkinCase Name=\"Skin\"><Ocean><SetConditions Name=\"Blue\"/></Ocean>"
        "<Graphite><SetConditions Name=\"Grey\"/></Graphite></SkinCase></Screen>");
    auto& cases = static_cast<TGraphSkinCase&>(*skin);
    EXPECT_EQ(cases.Case(), "Ocean");
    EXPECT_EQ(cases.Controls().First()->Name(), "Blue");
    cases.SetCase("Graphite");
    EXPECT_EQ(cases.Controls().First()->Name(), "Grey");
}

TEST_F(ConditionsTest, UnknownElementsAreSkippedWithEverythingInsideThem) {
    TCustomGraphControl* root = bench.Show(
        "<Screen><SetConditions Name=\"Root\"><Gadget><SetConditions Name=\"Lost\"/></Gadget>"
        "<setconditions Name=\"Kept\"/></SetConditions></Screen>");
    EXPECT_EQ(root->Controls().Count(), 1);
    EXPECT_EQ(root->Controls().First()->Name(), "Kept");
}

}  // namespace
}  // namespace marlowen::testing
