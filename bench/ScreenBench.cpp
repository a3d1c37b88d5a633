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
#include <filesystem>
#include <memory>
#include <vector>

#include "ScreenRender.h"
#include "core/CoreLibrary.h"
#include "core/Languages.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/GraphContainer.h"
#include "skin/GraphElementRegistry.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"
#include "skin/XMLNode.h"

namespace marlowen {
namespace {

const char* const kDocument = "XML\\Gallery\\Controls.xml";

// The setup's start-up once for the whole program: languages, the default skin's packs, and a
// headless machine in a scratch folder.
class TScreenFixture {
public:
    TScreenFixture()
        : Scratch_(std::filesystem::temp_directory_path() / "marlowen-screen-bench"),
          Machine(MakeScratch(Scratch_)),
          Core_(Machine.Locale.SupportsCyrillic()),
          Packs_(MARLOWEN_DIST_DIR),
          Context{Skin_.Resources(), TGraphElementRegistry::Standard(), Machine.Platform()} {
        Languages->SelectLanguage(u"eng");
        Skin_.Start(Packs_, Machine.Registry, "");
        Document = &Skin_.Resources().GetXML(kDocument);
        fstool::DocumentScreenSize(*Document, Width, Height);
    }
    ~TScreenFixture() {
        std::error_code ignored;
        std::filesystem::remove_all(Scratch_, ignored);
    }

    // A container on a new window with the page built and painted once.
    std::unique_ptr<TGraphContainer> ShowPage() {
        auto container = std::make_unique<TGraphContainer>(Context, Width, Height);
        fstool::BuildScreen(*container, *Document);
        Machine.Windows.Pump();
        return container;
    }

    static int64_t CountControls(const TGraphContainer& container) {
        int64_t count = 0;
        for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) ++count;
        return count;
    }

private:
    static std::filesystem::path MakeScratch(const std::filesystem::path& path) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }

    std::filesystem::path Scratch_;

public:
    THeadlessPlatform Machine;

private:
    TCoreLibrary Core_;
    THeadlessFileSystem Packs_;
    TSkinLibrary Skin_;

public:
    TSkinContext Context;
    const TXMLNode* Document = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
};

TScreenFixture& Fixture() {
    static TScreenFixture fixture;
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
