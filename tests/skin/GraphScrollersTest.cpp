#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "skin/GraphButtons.h"
#include "skin/GraphLists.h"
#include "skin/GraphScrollers.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;

// A 10-pixel-thick skin: grey track caps of 4 over a white middle; blue thumb caps of 4 whose
// outer row is transparent, red when hot; one shared arrow, green on its upper half, red below.
class ScrollerTest : public ::testing::Test {
protected:
    ScrollerTest() {
        bench.AddImage("S\\подложка\\top.bmp", 10, 4, kGrey);
        bench.AddImage("S\\подложка\\middle.bmp", 10, 1, kWhite);
        bench.AddPixels("S\\ползунок\\top.bmp", 10, 4, Cap(kBlue));
        bench.AddImage("S\\ползунок\\middle.bmp", 10, 2, kBlue);
        bench.AddPixels("S\\ползунок\\hottop.bmp", 10, 4, Cap(kRed));
        bench.AddImage("S\\ползунок\\hotmiddle.bmp", 10, 2, kRed);
        std::vector<uint32_t> arrow(100, kGreen);
        std::fill(arrow.begin() + 50, arrow.end(), kRed);
        bench.AddPixels("S\\кнопка\\normal.bmp", 10, 10, arrow);
        bench.AddPixels("S\\кнопка\\pressed.bmp", 10, 10, arrow);
    }
    static std::vector<uint32_t> Cap(uint32_t colour) {
        std::vector<uint32_t> pixels(40, colour);
        std::fill(pixels.begin(), pixels.begin() + 10, kClear);
        return pixels;
    }
    TScrollBarV& ShowVertical(int32_t size = 100) {
        bench.Show(R"(<Screen><ScrollBarV Name="bar" X="0" Y="0" Size=")" + std::to_string(size) +
                   R"(" Path="S"/></Screen>)");
        auto& bar = bench.Find<TScrollBarV>("bar");
        bar.OnChange = [this](TCustomGraphControl&) { ++changes; };
        return bar;
    }

    TControlBench bench;
    int changes = 0;
};

TEST_F(ScrollerTest, ThumbFollowsPageAndPositionAndIsHitOnlyWhereOpaque) {
    auto& bar = ShowVertical();
    EXPECT_EQ(bar.Width(), 10);  // the arrow's thickness
    const TCustomScroller& scroller = bar.Scroller();
    EXPECT_EQ(scroller.TrackLength(), 100);
    EXPECT_EQ(scroller.ThumbLength(), 10);  // page 10 of 100
    bar.SetPosition(45);
    bench.Pump();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(scroller.ThumbOffset(), 45);  // 90 * 45 / 90
    EXPECT_EQ(bench.Pixel(5, 45), kWhite);  // the cap's transparent outer row shows the track
    EXPECT_EQ(bench.Pixel(5, 46), kBlue);
    EXPECT_EQ(bench.Pixel(5, 53), kBlue);
    EXPECT_EQ(bench.Pixel(5, 54), kWhite);  // the bottom cap is the top one upside down
    EXPECT_FALSE(scroller.OnThumb(5, 45));
    EXPECT_TRUE(scroller.OnThumb(5, 46));
    EXPECT_TRUE(scroller.OnThumb(5, 53));
    // The hit span ends one pixel past the painted thumb: the bottom cap, painted at 51 to 54, is
    // tested at 52 to 55, so its transparent outer row is missed at 55.
    EXPECT_TRUE(scroller.OnThumb(5, 54));
    EXPECT_FALSE(scroller.OnThumb(5, 55));
    EXPECT_TRUE(scroller.OnThumb(5, 51));  // the middle reaches to length - cap
    EXPECT_FALSE(scroller.OnThumb(10, 46));  // beside the cap image
    // The arrows paint over the track's ends; the shared one is turned for the second.
    EXPECT_EQ(bench.Pixel(5, 2), kGreen);
    EXPECT_EQ(bench.Pixel(5, 7), kRed);
    EXPECT_EQ(bench.Pixel(5, 92), kRed);
    EXPECT_EQ(bench.Pixel(5, 97), kGreen);

    bench.Host().MoveMouse(5, 50);
    bench.Pump();
    EXPECT_TRUE(scroller.Hot());
    EXPECT_EQ(bench.Pixel(5, 50), kRed);

    bar.SetPage(20);  // 20 pixels; the position stays within 0..80
    EXPECT_EQ(scroller.ThumbLength(), 20);
    EXPECT_EQ(scroller.ThumbOffset(), 45);  // 80 * 45 / 80
    bar.SetPage(60);  // would end beyond Max: the position moves back
    EXPECT_EQ(bar.Position(), 40);
    bar.SetPage(500);  // the whole range: no thumb, the arrows off, the position back to 0
    bench.Pump();
    EXPECT_EQ(bar.Page(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(bar.FirstButton().Enabled());
    EXPECT_FALSE(bar.SecondButton().Enabled());
    EXPECT_FALSE(scroller.OnThumb(5, 5));
    EXPECT_EQ(bench.Pixel(5, 50), kWhite);
    bar.SetMax(300);
    EXPECT_TRUE(bar.FirstButton().Enabled());
}

TEST_F(ScrollerTest, HoldingTheTrackPagesAtOnceAfterTheDelayThenEveryIntervalUntilTheThumbArrives) {
    auto& bar = ShowVertical();
    bench.Host().PressLeft(5, 85);
    EXPECT_EQ(bar.Position(), 10);
    bench.Advance(980);
    EXPECT_EQ(bar.Position(), 10);
    bench.Advance(20);  // two 500 ms frames
    EXPECT_EQ(bar.Position(), 20);
    bench.Advance(60);  // two 30 ms frames
    EXPECT_EQ(bar.Position(), 30);
    bench.Advance(1000);
    EXPECT_EQ(bar.Position(), 80);  // thumb 80..89 under the pointer: paging stops there
    EXPECT_EQ(changes, 8);
    bench.Host().ReleaseLeft(5, 85);
    EXPECT_FALSE(bar.Scroller().Animated());
    EXPECT_FALSE(bar.Scroller().Pressed());

    // Above the thumb pages back; releasing ends the repeat.
    bench.Host().PressLeft(5, 30);
    EXPECT_EQ(bar.Position(), 70);
    bench.Host().ReleaseLeft(5, 30);
    bench.Advance(2000);
    EXPECT_EQ(bar.Position(), 70);
    // The arrows step by one, the second down.
    bench.Host().PressLeft(5, 95);
    bench.Host().ReleaseLeft(5, 95);
    EXPECT_EQ(bar.Position(), 71);
    bench.Host().PressLeft(5, 5);
    bench.Host().ReleaseLeft(5, 5);
    EXPECT_EQ(bar.Position(), 70);
}

TEST_F(ScrollerTest, DraggingTheThumbMovesByTheGrabbedPointAndClampsAtTheEnds) {
    auto& bar = ShowVertical();
    bar.SetPosition(45);  // thumb 45..54
    bench.Host().PressLeft(5, 50);  // grabbed 5 pixels into the thumb
    EXPECT_TRUE(bar.Scroller().Dragging());
    EXPECT_FALSE(bar.Scroller().Animated());  // a drag never pages
    bench.Host().MoveMouse(5, 66);
    EXPECT_EQ(bar.Position(), 61);  // (66 - 5) * 90 / 90
    bench.Host().MoveMouse(5, 400);
    EXPECT_EQ(bar.Position(), 90);  // max - page
    bench.Host().MoveMouse(5, -50);
    EXPECT_EQ(bar.Position(), 0);
    bench.Host().MoveMouse(5, 30);
    bench.Host().ReleaseLeft(5, 30);
    EXPECT_EQ(bar.Position(), 25);
    EXPECT_FALSE(bar.Scroller().Dragging());
    bench.Host().MoveMouse(5, 80);
    EXPECT_EQ(bar.Position(), 25);
}

TEST_F(ScrollerTest, SeparateArrowFoldersAreUsedAsDrawn) {
    for (const char* state : {"normal", "pressed"}) {
        bench.AddImage(std::string("S\\кнопка вверх\\") + state + ".bmp", 10, 12, kBlue);
        bench.AddImage(std::string("S\\кнопка вниз\\") + state + ".bmp", 10, 12, kGreen);
    }
    auto& bar = ShowVertical();
    EXPECT_EQ(bar.FirstButton().Height(), 12);
    EXPECT_EQ(bench.Pixel(5, 11), kBlue);
    EXPECT_EQ(bench.Pixel(5, 88), kGreen);
    EXPECT_EQ(bench.Pixel(5, 99), kGreen);
}

TEST_F(ScrollerTest, AThumbAsLongAsTheTrackNeitherDividesByZeroNorReadsOutsideItsCaps) {
    auto* scroller = bench.Container->Controls().AddControl(std::make_unique<TScrollerV>(bench.Context, "S"));
    scroller->SetBounds(20, 0, 10, 6);  // shorter than the two caps
    EXPECT_EQ(scroller->ThumbLength(), 6);
    EXPECT_EQ(scroller->ThumbOffset(), 0);
    // Both caps' opaque rows: the top one's at 1 to 3, the bottom one's at 4 and 5.
    for (int32_t y = -1; y <= 7; ++y) EXPECT_EQ(scroller->OnThumb(5, y), y >= 1 && y <= 5) << y;
    bench.Host().PressLeft(25, 2);
    EXPECT_TRUE(scroller->Dragging());
    bench.Host().MoveMouse(25, 90);
    EXPECT_EQ(scroller->Position(), 0);
    bench.Host().ReleaseLeft(25, 90);
}

TEST_F(ScrollerTest, AHorizontalBarTurnsEveryImageAndMirrorsTheSharedSecondArrow) {
    bench.Show(R"(<Screen><ScrollBarH Name="bar" X="0" Y="50" Size="100" Path="S" Position="45"/></Screen>)");
    auto& bar = bench.Find<TScrollBarH>("bar");
    EXPECT_EQ(bar.Height(), 10);
    EXPECT_EQ(bar.Position(), 45);
    EXPECT_EQ(bench.Pixel(45, 55), kWhite);
    EXPECT_EQ(bench.Pixel(46, 55), kBlue);
    EXPECT_EQ(bench.Pixel(54, 55), kWhite);
    EXPECT_EQ(bench.Pixel(2, 55), kGreen);
    EXPECT_EQ(bench.Pixel(7, 55), kRed);
    EXPECT_EQ(bench.Pixel(92, 55), kRed);
    EXPECT_EQ(bench.Pixel(97, 55), kGreen);
    bench.Host().PressLeft(50, 55);
    bench.Host().MoveMouse(60, 55);
    bench.Host().ReleaseLeft(60, 55);
    EXPECT_EQ(bar.Position(), 55);
}

TEST_F(ScrollerTest, ALinkedListAndItsBarMoveTogether) {
    auto& bar = ShowVertical();
    auto list = std::make_unique<TGraphListView>(bench.Context, 40, 0, 50, 40, 10);  // four slots
    for (int32_t i = 0; i < 12; ++i) list->AddRow(std::make_unique<TCustomGraphControl>(bench.Context));
    auto& view = *bench.Container->Controls().AddControl(std::move(list));
    view.LinkScrollBar(&bar);
    EXPECT_EQ(bar.Max(), 12);
    EXPECT_EQ(bar.Page(), 4);
    EXPECT_TRUE(bar.SecondButton().Enabled());
    bench.Host().PressLeft(5, 95);  // the down arrow
    bench.Host().ReleaseLeft(5, 95);
    EXPECT_EQ(view.TopIndex(), 1);
    bench.Host().PressLeft(5, 80);  // the track below the thumb: one page
    bench.Host().ReleaseLeft(5, 80);
    EXPECT_EQ(view.TopIndex(), 5);
    view.SetTopIndex(8);
    EXPECT_EQ(bar.Position(), 8);
    EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace marlowen
