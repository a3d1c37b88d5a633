// The install wizard's welcome page (the setup window with its first page laid in, as the wizard
// shows it) at a display scale, on the headless window host.
//
//   FullRepaint/100   the whole window painted into the back buffer and copied to the window at
//                     100 % (600 x 400 pixels)
//   FullRepaint/150   the same at 150 % (900 x 600): images and glyphs resampled with the box filter
//   FullRepaint/200   the same at 200 % (1200 x 800): four times the pixels; goal: within 4.5 times
//                     the 100 % figure and under 2 ms
#include <benchmark/benchmark.h>

#include <memory>

#include "SkinBenchFixture.h"
#include "skin/GraphWindows.h"
#include "skin/Resources.h"

namespace marlowen {
namespace {

const char* const kWindow = "XML\\Install\\Window.xml";
const char* const kPage = "XML\\Install\\Welcome.xml";

TSkinBenchFixture& Fixture() {
    static TSkinBenchFixture fixture(kWindow);
    return fixture;
}

// The window document filling the container, the page beneath its foreground layers.
std::unique_ptr<TGraphContainer> ShowWelcome(TSkinBenchFixture& fixture, const TDisplayScale& scale) {
    auto container = std::make_unique<TGraphContainer>(fixture.Context, fixture.Width, fixture.Height);
    container->SetScale(scale);
    auto window = std::make_unique<TGraphWindow>(fixture.Context);
    window->LoadFromXML(*fixture.Document);
    TGraphWindow& shown = *container->Controls().AddControl(std::move(window));
    shown.SetBounds(0, 0, container->Width(), container->Height());
    const TXMLNode& page = fixture.Context.Resources.GetXML(kPage);
    const TGraphControlClassItem* entry = fixture.Context.Elements.Lookup(page.Name());
    if (entry != nullptr) {
        shown.Controls().AddControl(entry->Factory(&shown, fixture.Context, page))->SetBounds(0, 0, shown.Width(),
                                                                                             shown.Height());
    }
    shown.SetActive(true);
    fixture.Machine.Windows.Pump();
    return container;
}

void FullRepaint(benchmark::State& state) {
    TSkinBenchFixture& fixture = Fixture();
    auto container = ShowWelcome(fixture, TDisplayScale::FromPercent(static_cast<int32_t>(state.range(0))));
    const TRect page{0, 0, container->Width(), container->Height()};
    for (auto _ : state) {
        container->PaintRegion(page);
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(container->DeviceWidth()) * container->DeviceHeight();
    state.counters["pixels"] =
        benchmark::Counter(pixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FullRepaint)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace marlowen

BENCHMARK_MAIN();
