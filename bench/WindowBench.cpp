// A skinned window of the default skin (its sample window: caption, close button, an edit, a
// button and a check box) on the headless window host.
//
//   OpenWindow              a form made, its window document loaded, shown and pumped until the
//                           first frame is copied to the window; goal: under 50 ms
//   RepaintWithActiveEdit   the whole window repainted while its edit has the focus (the caret
//                           drawn) and copied to the window
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "SkinBenchFixture.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/FormGraphWindow.h"
#include "skin/GraphEdits.h"
#include "skin/HintWindow.h"

namespace marlowen {
namespace {

const char* const kDocument = "XML\\Gallery\\Window.xml";

TSkinBenchFixture& Fixture() {
    static TSkinBenchFixture fixture(kDocument);
    return fixture;
}

THeadlessWindowHost& WindowOf(const TFormGraphWindow& form) {
    return static_cast<THeadlessWindowHost&>(form.Container().Host());
}

void OpenWindow(benchmark::State& state) {
    TSkinBenchFixture& fixture = Fixture();
    THintWindowControl hint(fixture.Machine.Windows.HintPopup());
    for (auto _ : state) {
        auto form = std::make_unique<TFormGraphWindow>(fixture.Context, hint);
        form->LoadSkin(kDocument);
        form->Host().Show();
        fixture.Machine.Windows.Pump();
        if (WindowOf(*form).CopyCount() == 0) throw std::runtime_error("the window was never painted");
        state.PauseTiming();  // closing is not opening
        form.reset();
        fixture.Machine.Windows.Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond);

void RepaintWithActiveEdit(benchmark::State& state) {
    TSkinBenchFixture& fixture = Fixture();
    THintWindowControl hint(fixture.Machine.Windows.HintPopup());
    TFormGraphWindow form(fixture.Context, hint);
    form.LoadSkin(kDocument);
    form.Host().BringToFront();
    auto* edit = dynamic_cast<TGraphEdit*>(form.Container().Controls().FindControl("Folder"));
    if (edit == nullptr) throw std::runtime_error("the window holds no edit named Folder");
    edit->SetFocused(true);
    fixture.Machine.Windows.Pump();
    const TRect whole{0, 0, form.Container().Width(), form.Container().Height()};
    for (auto _ : state) {
        form.Container().PaintRegion(whole);
        benchmark::ClobberMemory();
    }
    state.counters["focused"] = edit->Focused() ? 1 : 0;
}
BENCHMARK(RepaintWithActiveEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace marlowen

BENCHMARK_MAIN();
