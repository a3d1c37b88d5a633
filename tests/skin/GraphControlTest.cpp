#include "ControlTestSupport.h"

#include "skin/PaintContext.h"

namespace marlowen::testing {
namespace {

TEST(GraphControl, PaintsThroughTheContainer) {
    TControlBench bench;
    auto box = std::make_unique<TCustomGraphControl>(bench.Context);
    box->SetBounds(10, 20, 5, 5);
    box->OnPaint = [](TCustomGraphControl& self, const TPaintContext& paint) {
        paint.FillRect({0, 0, self.Width(), self.Height()}, 0xFF112233);
    };
    bench.Container->Controls().AddControl(std::move(box));
    bench.Pump();
    EXPECT_EQ(bench.Pixel(10, 20), 0xFF112233u);
    EXPECT_EQ(bench.Pixel(14, 24), 0xFF112233u);
    EXPECT_EQ(bench.Pixel(15, 24), 0u);
}

}  // namespace
}  // namespace marlowen::testing
