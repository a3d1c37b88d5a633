// A skinned screen as the setup shows it: the default skin's control gallery, a 562 x 294 page of
// about 40 controls, built from the packs the build made and shown in a container on the headless
// window host.
//
//   FullRepaint   the whole page painted into the back buffer and copied to the window (the
//                 cost of every repaint that covers the window); goal: under 2 ms a frame
//   HitTest1000   1000 fixed points of the page through the container's hit test (the time per
//                 iteration in microseconds is the time per point in nanoseconds)
//   BuildTree     the page's control tree built from its document (and freed, untimed)
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "SkinBenchFixture.h"

namespace marlowen {
namespace {

const char* const kDocument = "XML\\Gallery\\Controls.xml";

using TScreenFixture = TSkinBenchFixture;

TScreenFixture& Fixture() {
    static TScreenFixture fixture(kDocument);
    return fixture;
}

void FullRepaint(benchmark::State& state) {
    TScreenFixture& fixture = Fixture();
    auto container = fixture.ShowPage();
    const TRect page{0, 0, fixture.Width, fixture.Height};
    for (auto _ : state) {
        container->PaintRegion(page);
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(fixture.Width) * fixture.Height;
    state.counters["controls"] = static_cast<double>(TScreenFixture::CountControls(*container));
    // Shown with SI prefixes: "1.2G/s" is 1200 Mpixel/s.
    state.counters["pixels"] =
        benchmark::Counter(pixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMicrosecond);

void HitTest1000(benchmark::State& state) {
    TScreenFixture& fixture = Fixture();
    auto container = fixture.ShowPage();
    // The same points on every run (xorshift32), spread over the whole page.
    std::vector<TPoint> points;
    uint32_t seed = 2463534242u;
    for (int i = 0; i < 1000; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        points.push_back({static_cast<int32_t>(seed % static_cast<uint32_t>(fixture.Width)),
                          static_cast<int32_t>((seed >> 16) % static_cast<uint32_t>(fixture.Height))});
    }
    int64_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const TPoint& point : points) hits += container->ControlAt(point.X, point.Y) != nullptr ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(HitTest1000)->Unit(benchmark::kMicrosecond);

void BuildTree(benchmark::State& state) {
    TScreenFixture& fixture = Fixture();
    TGraphContainer container(fixture.Context, fixture.Width, fixture.Height);
    int64_t controls = 0;
    for (auto _ : state) {
        fstool::BuildScreen(container, *fixture.Document);
        state.PauseTiming();
        controls = TScreenFixture::CountControls(container);
        container.Controls().Clear();
        fixture.Machine.Windows.Pump();
        state.ResumeTiming();
    }
    state.counters["controls"] = static_cast<double>(controls);
}
BENCHMARK(BuildTree)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace marlowen

BENCHMARK_MAIN();
