// The skin start-up over the default skin's packs: what the user waits for before the first
// window, in milliseconds.

#include <benchmark/benchmark.h>

#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessRegistry.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"

namespace marlowen {
namespace {

void SkinStartUp(benchmark::State& state) {
    THeadlessFileSystem files(MARLOWEN_DIST_DIR);
    THeadlessRegistry registry;
    int64_t items = 0;
    for (auto _ : state) {
        TSkinLibrary library;
        library.Start(files, registry, "");
        items = library.Resources().Count();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(SkinStartUp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marlowen

BENCHMARK_MAIN();
