#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ControlTestSupport.h"
#include "skin/GraphTrackBars.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;

class TrackBarTest : public ::testing::Test {
protected:
    TGraphTrackBar& Show(int32_t width) {
        bench.AddImage("T\\normal.bmp", 10, 8, kBlue);
        bench.AddImage("T\\hot.bmp", 10, 8, kRed);
        bench.Show(R"(<Screen><GraphTrackBar Name="track" Left="20" Top="40" Width=")" + std::to_string(width) +
                   R"(" Height="50" SliderFolder="T"/></Screen>)");
        auto& track = bench.Find<TGraphTrackBar>("track");
        track.OnChange = [this](TGraphTrackBar&, double value) { values.push_back(value); };
        return track;
    }

    TControlBench bench;
    std::vector<double> values;
};

TEST_F(TrackBarTest, TheSliderStandsAtTheRoundedShareAndADragReportsEachNewValue) {
    auto& track = Show(110);
    EXPECT_EQ(track.Height(), 8);  // the slider's
    EXPECT_TRUE(track.TabStop);
    track.SetPosition(0.255);
    EXPECT_EQ(track.Slider()->Left(), 26);  // 100 * 0.255 rounded
    track.SetPosition(std::nan(""));
    EXPECT_EQ(track.Slider()->Left(), 0);
    track.SetPosition(1.5);
    EXPECT_EQ(track.Position(), 1.0);
    EXPECT_EQ(track.LastValue(), 1.5);
    EXPECT_EQ(track.Slider()->Left(), 100);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(125, 44), kBlue);

    bench.Host().MoveMouse(125, 44);
    bench.Host().PressLeft(125, 44);  // 5 pixels into the slider
    bench.Pump();
    EXPECT_EQ(bench.Pixel(125, 44), kRed);  // hot under the pointer
    bench.Host().MoveMouse(135, 44);  // beyond the end: still 1, but not the last value 1.5
    ASSERT_EQ(values.size(), 1U);
    EXPECT_EQ(values[0], 1.0);
    bench.Host().MoveMouse(85, 44);  // the grabbed point follows the pointer
    EXPECT_EQ(track.Slider()->Left(), 60);
    EXPECT_EQ(values.back(), 0.6);
    bench.Host().MoveMouse(95, 44 - 60);  // far above: the slider stays
    EXPECT_EQ(track.Slider()->Left(), 60);
    bench.Host().MoveMouse(95, 44 - 49);  // back within the band
    EXPECT_EQ(track.Slider()->Left(), 70);
    bench.Host().ReleaseLeft(95, 44);
    bench.Host().MoveMouse(40, 44);
    EXPECT_EQ(track.Slider()->Left(), 70);
    EXPECT_EQ(values.size(), 3U);
}

TEST_F(TrackBarTest, ASliderAsWideAsTheBarStaysAtZeroAndRaisesNothing) {
    auto& track = Show(10);
    bench.Host().PressLeft(25, 44);
    bench.Host().MoveMouse(45, 44);
    bench.Host().ReleaseLeft(45, 44);
    EXPECT_EQ(track.Slider()->Left(), 0);
    EXPECT_EQ(track.Position(), 0.0);
    EXPECT_TRUE(values.empty());
}

}  // namespace
}  // namespace marlowen
