// Time of one headless frame of the demo program (event drain, one fixed-step update, a full
// GL clear and the present), including the program's start-up and shut-down spread over the run.
// "of_budget" is that time as a fraction of the game's 30 ms frame period.
#include <benchmark/benchmark.h>

#include <chrono>

#include "DemoGame.h"
#include "platform/Settings.h"
#include "shell/Program.h"

CGameBase* CreateGameObject() { return new CDemoGame(); }

namespace {

constexpr double kFrameBudgetSeconds = 0.030;

void BM_DemoHeadlessFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    constexpr int kFrames = 300;
    double seconds = 0.0;
    for (auto _ : state) {
        platform::TPlatformSettings s;
        s.mode = platform::DisplayMode::Headless;
        s.displayWidthPx = width;
        s.displayHeightPx = height;
        s.clock = platform::ClockKind::Virtual;  // the fixed step's sleeps cost nothing
        s.frameLimit = kFrames;
        platform::UseSettings(s);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(RunProgram());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // The exit comes after kFrames frames and one more cycle runs.
    const double frameSeconds = seconds / (static_cast<double>(state.iterations()) * (kFrames + 1));
    state.counters["frame_ms"] = frameSeconds * 1000.0;
    state.counters["of_budget"] = frameSeconds / kFrameBudgetSeconds;
}
BENCHMARK(BM_DemoHeadlessFrame)->Args({768, 1280})->Args({320, 480})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
