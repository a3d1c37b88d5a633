#include "ControlTestSupport.h"

#include <vector>

#include "core/MultiLanguageException.h"
#include "skin/PaintContext.h"

namespace marlowen::testing {
namespace {

std::unique_ptr<TCustomGraphControl> Box(TControlBench& bench, int32_t l, int32_t t, int32_t w, int32_t h,
                                         const std::string& name = "") {
    auto box = std::make_unique<TCustomGraphControl>(bench.Context);
    box->SetBounds(l, t, w, h);
    box->SetName(name);
    return box;
}

TEST(GraphControl, PaintsThroughTheContainerInItsOwnCoordinates) {
    TControlBench bench;
    auto parent = Box(bench, 10, 20, 30, 30);
    auto* child = parent->Controls().AddControl(Box(bench, 5, 6, 5, 5));
    child->OnPaint = [](TCustomGraphControl& self, const TPaintContext& paint) {
        paint.FillRect({0, 0, self.Width(), self.Height()}, 0xFF112233);
    };
    bench.Container->Controls().AddControl(std::move(parent));
    bench.Pump();
    EXPECT_EQ(bench.Pixel(15, 26), 0xFF112233u);
    EXPECT_EQ(bench.Pixel(19, 30), 0xFF112233u);
    EXPECT_EQ(bench.Pixel(20, 30), 0xFFFFFFFFu);
    EXPECT_EQ(bench.Pixel(14, 26), 0xFFFFFFFFu);
}

TEST(GraphControl, MovesAndResizesInvalidateTheCoveredSpanInContainerCoordinates) {
    TControlBench bench;
    auto* parent = bench.Container->Controls().AddControl(Box(bench, 100, 50, 80, 40));
    auto* child = parent->Controls().AddControl(Box(bench, 10, 5, 20, 10));
    bench.Pump();
    child->SetLeft(30);
    EXPECT_EQ(bench.Container->DirtyRect(), (TRect{110, 55, 150, 65}));  // x 10, width 40, shifted
    bench.Pump();
    child->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(bench.Container->DirtyRect(), (TRect{100, 50, 150, 65}));
    bench.Pump();

    // Inside a hidden parent nothing asks for paint: not moving, not showing.
    parent->SetVisible(false);
    bench.Pump();
    const int32_t posts = bench.Host().PostCount();
    child->SetLeft(40);
    child->SetVisible(false);
    child->SetVisible(true);
    EXPECT_EQ(bench.Host().PostCount(), posts);
    EXPECT_TRUE(bench.Container->DirtyEmpty());
}

TEST(GraphControl, AnchoredChildrenFollowTheirParentsSize) {
    TControlBench bench;
    auto parent = Box(bench, 0, 0, 100, 50);
    auto* stretch = parent->Controls().AddControl(Box(bench, 10, 10, 20, 20));
    stretch->AnchorRight = true;
    stretch->AnchorBottom = true;
    auto* follow = parent->Controls().AddControl(Box(bench, 10, 10, 20, 20));
    follow->AnchorLeft = false;
    follow->AnchorRight = true;
    follow->AnchorTop = false;
    follow->AnchorBottom = true;
    auto* grandchild = stretch->Controls().AddControl(Box(bench, 0, 0, 5, 5));
    grandchild->AnchorRight = true;
    auto* still = parent->Controls().AddControl(Box(bench, 10, 10, 20, 20));

    parent->SetBounds(0, 0, 110, 55);
    EXPECT_EQ(stretch->BoundsRect(), (TRect{10, 10, 40, 35}));
    EXPECT_EQ(follow->BoundsRect(), (TRect{20, 15, 40, 35}));
    EXPECT_EQ(grandchild->Width(), 15);  // the cascade reaches grandchildren
    EXPECT_EQ(still->BoundsRect(), (TRect{10, 10, 30, 30}));
}

class AnimationTest : public ::testing::Test {
protected:
    TCustomGraphControl& Animated() {
        auto* control = bench.Container->Controls().AddControl(Box(bench, 0, 0, 10, 10));
        control->OnFrameChanged = [this](TCustomGraphControl& self) { frames.push_back(self.Frame()); };
        control->OnAnimationLoop = [this](TCustomGraphControl&) { ++loops; };
        return *control;
    }

    TControlBench bench;
    std::vector<int32_t> frames;
    int loops = 0;
};

TEST_F(AnimationTest, ARepeatCountOfOnePlaysTheRangeOnceAndStaysOnTheLastFrame) {
    TCustomGraphControl& control = Animated();
    control.Animate(2, 5, 0, 1, 100);
    EXPECT_EQ(control.Frame(), 2);
    bench.Advance(1000);
    EXPECT_EQ(frames, (std::vector<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(control.Frame(), 5);
    EXPECT_FALSE(control.Animated());
    EXPECT_EQ(loops, 1);
}

TEST_F(AnimationTest, AFallingRangeStartsAtItsFirstFrameAndLoopsForEver) {
    TCustomGraphControl& control = Animated();
    control.Animate(5, 2, 3, 0, 100);
    bench.Advance(590);
    EXPECT_EQ(frames, (std::vector<int32_t>{5, 4, 3, 2, 5, 4}));
    EXPECT_TRUE(control.Animated());
    EXPECT_EQ(loops, 1);
}

TEST_F(AnimationTest, ASingleFrameNeedsNoFrameTimeAndARangeDoes) {
    TCustomGraphControl& control = Animated();
    control.Animate(3, 3, 0, 0, 0);
    EXPECT_EQ(control.Frame(), 3);
    EXPECT_FALSE(control.Animated());
    try {
        control.Animate(1, 4, 0, 1, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TCustomGraphControl.Animate: значение FrameTime должно быть отлично от нуля.");
    }
}

TEST_F(AnimationTest, AControlFreedByItsOwnFrameChangeEndsTheStepSafely) {
    TCustomGraphControl& doomed = Animated();
    TCustomGraphControl& other = Animated();
    doomed.OnFrameChanged = [this](TCustomGraphControl& self) {
        if (self.Frame() == 2) bench.Container->Controls().Remove(&self, true);
    };
    doomed.Animate(1, 3, 0, 0, 20);
    other.Animate(1, 3, 0, 0, 20);
    bench.Advance(100);
    EXPECT_EQ(bench.Container->Controls().Count(), 1);
    EXPECT_TRUE(other.Animated());
}

TEST(GraphControlXml, SharedAttributesAndTheirErrors) {
    TControlBench bench;
    auto load = [&](const std::string& xml) {
        auto node = ParseXml(xml);
        TCustomGraphControl control(bench.Context);
        control.LoadFromXML(*node);
        return std::make_tuple(control.Cursor(), control.Frame(), control.Animated(), control.Width());
    };
    EXPECT_EQ(std::get<0>(load("<X Cursor=\"handpoint\"/>")), CursorId::HandPoint);
    EXPECT_EQ(std::get<0>(load("<X Cursor=\"VSPLIT\"/>")), CursorId::VSplit);
    auto message = [&](const std::string& xml) {
        try {
            load(xml);
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("<X Cursor=\"Hand\"/>"), "Invalid button value Cursor=\"Hand\".");
    EXPECT_EQ(message("<X Animated=\"true\" LastFrame=\"3\"/>"), "Property FirstFrame not found.");
    EXPECT_EQ(message("<X Animated=\"true\"/>"), "Property LastFrame not found.");
    EXPECT_EQ(message("<X FrameTime=\"-5\" Animated=\"true\" FirstFrame=\"0\" LastFrame=\"3\"/>"),
              "Invalid value FrameTime=\"-5\".");
    // Where nothing animates a negative time is kept, not refused.
    EXPECT_EQ(message("<X FrameTime=\"-5\"/>"), "no error");
    EXPECT_EQ(message("<X FrameTime=\"-5\" Animated=\"true\" FirstFrame=\"2\" LastFrame=\"2\"/>"), "no error");
    // The start frame defaults below the range and is raised to the first frame.
    const auto animated = load("<X Width=\"7\" Animated=\"true\" FirstFrame=\"4\" LastFrame=\"6\" FrameTime=\"10\"/>");
    EXPECT_EQ(std::get<1>(animated), 4);
    EXPECT_TRUE(std::get<2>(animated));
    EXPECT_EQ(std::get<3>(animated), 7);
}

TEST(GraphControlTree, FindControlSearchesTheSubtreeInDocumentOrder) {
    TControlBench bench;
    auto* frame = bench.Container->Controls().AddControl(Box(bench, 0, 0, 50, 50, "Frame"));
    auto* hidden = frame->Controls().AddControl(Box(bench, 0, 0, 10, 10, "Hidden"));
    hidden->Controls().AddControl(Box(bench, 0, 0, 5, 5, "ButtonNext"));
    hidden->SetVisible(false);
    auto* second = frame->Controls().AddControl(Box(bench, 0, 0, 10, 10, "ButtonNext"));
    bench.Container->Controls().AddControl(Box(bench, 0, 0, 10, 10, "Later"));

    EXPECT_EQ(bench.Container->Controls().FindControl("buttonnext")->ParentControl(), hidden);
    EXPECT_EQ(bench.Container->Controls().FindControlByClass<TCustomGraphControl>(), frame);
    EXPECT_EQ(bench.Container->Controls().FindControlByClass<TGraphAnimator>(), nullptr);
    EXPECT_EQ(bench.Container->Controls().FindControl("ButtonNext", true), second);
    // A child list searches its own subtree only.
    EXPECT_EQ(frame->Controls().FindControl("Later"), nullptr);
    EXPECT_EQ(hidden->Controls().FindControl("ButtonNext", false)->ParentControl(), hidden);
    try {
        bench.Container->Controls().GetControl("ButtonFinish");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TCustomGraphControl 'ButtonFinish' not found.");
    }
}

TEST(GraphAnimator, ShowsTheControlsOfTheCurrentFrameOnly) {
    TControlBench bench;
    TCustomGraphControl* animator = bench.Show(
        "<Screen><Animator Width=\"50\" Height=\"50\" Animated=\"true\" FirstFrame=\"1\" LastFrame=\"3\" "
        "FrameTime=\"100\" RepeatCount=\"0\"><Frames>"
        "<Frame1><SetConditions Name=\"One\"/></Frame1>"
        "<Frame3><SetConditions Name=\"Three\"/><SetConditions Name=\"Three\"/></Frame3>"
        "</Frames></Animator></Screen>");
    ASSERT_NE(animator, nullptr);
    EXPECT_EQ(animator->Controls().Count(), 1);
    EXPECT_EQ(animator->Controls().First()->Name(), "One");
    EXPECT_EQ(bench.Container->ControlAt(5, 5), nullptr);  // the animator lets the mouse through
    bench.Advance(100);
    EXPECT_EQ(animator->Frame(), 2);
    EXPECT_EQ(animator->Controls().Count(), 0);
    bench.Advance(100);
    EXPECT_EQ(animator->Controls().Count(), 2);
    bench.Advance(100);
    EXPECT_EQ(animator->Controls().First()->Name(), "One");
}

}  // namespace
}  // namespace marlowen::testing
