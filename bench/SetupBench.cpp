// The setup's main job on the headless backend.
//
//   FirstWizardPage   the setup window made, its window document loaded and its welcome page
//                     shown, up to the first frame copied to the window (the skin start-up is
//                     pack_load_bench's); goal: under 50 ms
//   InstallCopy       the install's copy of a 200 MB tree of 2000 files (100 KB each, in 20
//                     folders) into a new install folder, progress reported per file
//   CopyWithCp        `cp -a` of the same tree: the yardstick (goal: the install within 1.5x)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "SkinBenchFixture.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "setup/FormSetup.h"
#include "setup/SetupModule.h"
#include "setup/SetupPages.h"
#include "skin/HintWindow.h"

namespace marlowen {
namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr size_t kFileSize = 100 * 1000;

TSkinBenchFixture& Fixture() {
    static TSkinBenchFixture fixture("XML\\Install\\Window.xml");
    return fixture;
}

void FirstWizardPage(benchmark::State& state) {
    TSkinBenchFixture& fixture = Fixture();
    TSetupModule module(fixture.Machine.Platform());
    TSetupModuleScope scope(module);
    THintWindowControl hint(fixture.Machine.Windows.HintPopup());
    for (auto _ : state) {
        auto form = std::make_unique<TFormSetup>(fixture.Context, hint);
        // The first step of the modal run comes once the window has nothing left to paint.
        fixture.Machine.Windows.Screen.ModalSteps.push_back([&] {
            auto& window = static_cast<THeadlessWindowHost&>(form->Container().Host());
            if (window.CopyCount() == 0) throw std::runtime_error("the page was never painted");
            state.PauseTiming();  // closing is not starting
            form->Host().Hide();
        });
        form->Execute(TFrameWelcome::Class());
        form.reset();
        fixture.Machine.Windows.Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstWizardPage)->Unit(benchmark::kMillisecond);

// A headless machine whose setup folder holds the tree.
class TCopyFixture {
public:
    TCopyFixture() : Root_(std::filesystem::temp_directory_path() / "marlowen-copy-bench") {
        std::filesystem::remove_all(Root_);
        std::filesystem::create_directories(Root_);
        Machine_ = std::make_unique<THeadlessPlatform>(Root_);
        const std::vector<uint8_t> bytes(kFileSize, 0x5A);
        for (int folder = 0; folder < kFolders; ++folder) {
            const std::string name = "C:\\Setup\\data" + std::to_string(folder);
            Machine_->Files.CreateFolder(name);
            for (int file = 0; file < kFilesPerFolder; ++file) {
                Machine_->Files.WriteFile(name + "\\file" + std::to_string(file) + ".bin", bytes);
            }
        }
    }
    ~TCopyFixture() {
        Machine_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Root_, ignored);
    }
    TCopyFixture(const TCopyFixture&) = delete;
    TCopyFixture& operator=(const TCopyFixture&) = delete;

    THeadlessPlatform& Machine() const { return *Machine_; }
    std::filesystem::path HostPath(const std::string& path) const { return Machine_->Files.HostPath(path); }

private:
    std::filesystem::path Root_;
    std::unique_ptr<THeadlessPlatform> Machine_;
};

TCopyFixture& CopyFixture() {
    static TCopyFixture fixture;
    return fixture;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFolders) * kFilesPerFolder *
                            static_cast<int64_t>(kFileSize));
}

void InstallCopy(benchmark::State& state) {
    TCopyFixture& fixture = CopyFixture();
    TSetupModule module(fixture.Machine().Platform());
    module.InstallFolder = "C:\\Installed";
    int64_t reports = 0;
    module.OnProgress = [&](const std::string&, int32_t) { ++reports; };
    for (auto _ : state) {
        module.CopyFiles();
        state.PauseTiming();
        std::filesystem::remove_all(fixture.HostPath(module.InstallFolder));
        state.ResumeTiming();
    }
    state.counters["reports"] = static_cast<double>(reports) / static_cast<double>(state.iterations());
    SetBytes(state);
}
BENCHMARK(InstallCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void CopyWithCp(benchmark::State& state) {
    TCopyFixture& fixture = CopyFixture();
    const std::filesystem::path to = fixture.HostPath("C:\\Copied");
    const std::string command = "cp -a '" + fixture.HostPath("C:\\Setup").string() + "' '" + to.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) throw std::runtime_error("cp failed");
        state.PauseTiming();
        std::filesystem::remove_all(to);
        state.ResumeTiming();
    }
    SetBytes(state);
}
BENCHMARK(CopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace marlowen

BENCHMARK_MAIN();
