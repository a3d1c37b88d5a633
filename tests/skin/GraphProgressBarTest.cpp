#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "skin/GraphProgressBar.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;

TEST(GraphProgressBarTest, ColoursFillTheInnerWidthRoundedDownAndOnlyARealChangeRepaints) {
    TControlBench bench;
    bench.Show(R"(<Screen>
        <ProgressBar Name="bar" Left="10" Top="10" Width="13" Height="5" Max="3" Position="9" Indent="1"
                     FrameColor="0xFF808080" BackColor="0xFFFFFFFF" FillColor="0xFF0000FF"/>
    </Screen>)");
    auto& bar = bench.Find<TGraphProgressBar>("bar");
    EXPECT_EQ(bar.Position(), 3);  // kept within 0..Max
    EXPECT_EQ(bar.FillWidth(), 11);
    EXPECT_EQ(bench.Pixel(10, 10), kGrey);
    EXPECT_EQ(bench.Pixel(11, 11), kBlue);
    EXPECT_EQ(bench.Pixel(21, 13), kBlue);
    EXPECT_EQ(bench.Pixel(22, 13), kGrey);

    bar.SetPosition(2);  // 11 * 2 / 3 = 7.33: seven columns
    bench.Pump();
    EXPECT_EQ(bar.FillWidth(), 7);
    EXPECT_EQ(bench.Pixel(17, 12), kBlue);
    EXPECT_EQ(bench.Pixel(18, 12), kWhite);
    EXPECT_EQ(bench.Pixel(10, 12), kGrey);  // the outline stays

    bar.SetPosition(-5);
    bench.Pump();
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bench.Pixel(11, 12), kWhite);
    EXPECT_FALSE(bar.HitTest(1, 1));
}

TEST(GraphProgressBarTest, ImagesShowTheFilledPartClosedByTheFillsOwnEnd) {
    TControlBench bench;
    bench.AddXml("S\\Green.xml", "<Frame LeftIndent=\"0\" TopIndent=\"0\" RightIndent=\"0\" BottomIndent=\"0\" "
                                 "BrushType=\"Solid\" BrushColor=\"0xFF00FF00\" BorderType=\"None\"/>");
    bench.AddImage("Images\\Track.bmp", 10, 2, kWhite);
    // The fill: blue body, its last two columns red (the round end of a real skin).
    std::vector<uint32_t> fill(20, kBlue);
    for (int32_t y = 0; y < 2; ++y) fill[static_cast<size_t>(y * 10 + 8)] = fill[static_cast<size_t>(y * 10 + 9)] = kRed;
    bench.AddPixels("Images\\Fill.bmp", 10, 2, fill);
    bench.Show(R"(<Screen>
        <Frame Left="0" Top="0" Width="200" Height="100" Style="S\Green.xml"/>
        <ProgressBar Name="bar" Left="20" Top="20" Position="50" FillCap="2"
                     FrameImage="Images\Track.bmp" FillImage="Images\Fill.bmp"/>
    </Screen>)");
    auto& bar = bench.Find<TGraphProgressBar>("bar");
    EXPECT_EQ(bar.Width(), 10);  // the frame image's size
    EXPECT_EQ(bar.Height(), 2);
    // Half of ten: three body columns, then the two end columns.
    EXPECT_EQ(bench.Pixel(22, 21), kBlue);
    EXPECT_EQ(bench.Pixel(23, 21), kRed);
    EXPECT_EQ(bench.Pixel(24, 21), kRed);
    EXPECT_EQ(bench.Pixel(25, 21), kWhite);
    // Less than two ends' worth: the image's left part only, cut.
    bar.SetPosition(30);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(22, 20), kBlue);
    EXPECT_EQ(bench.Pixel(23, 20), kWhite);
    EXPECT_EQ(bench.Pixel(19, 20), kGreen);
}

}  // namespace
}  // namespace marlowen
