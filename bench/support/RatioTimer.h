#pragma once
// Side-by-side timing of our code against another library's on the same work, in one run.
// Each iteration runs both, in turn and in alternating order, so drift in the machine's load and
// the cache state each one leaves behind hit both alike. The counters are each side's mean time
// in microseconds, "ratio" (ours over theirs: below 1 we are faster) and "goal" (the largest
// ratio we accept, 0 for a row shown for information); `make bench` gathers ratio and goal into
// its closing table.
#include <benchmark/benchmark.h>

#include <chrono>

namespace bench {

template <class Ours, class Theirs>
void RunAgainst(benchmark::State& state, double goal, Ours&& ours, Theirs&& theirs) {
    using Clock = std::chrono::steady_clock;
    double oursSeconds = 0, theirsSeconds = 0;
    bool oursFirst = true;
    for (auto _ : state) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool runOurs = (pass == 0) == oursFirst;
            const auto t0 = Clock::now();
            if (runOurs) {
                ours();
            } else {
                theirs();
            }
            benchmark::ClobberMemory();
            const double s = std::chrono::duration<double>(Clock::now() - t0).count();
            (runOurs ? oursSeconds : theirsSeconds) += s;
        }
        oursFirst = !oursFirst;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_us"] = oursSeconds / n * 1e6;
    state.counters["theirs_us"] = theirsSeconds / n * 1e6;
    state.counters["ratio"] = theirsSeconds > 0 ? oursSeconds / theirsSeconds : 0;
    state.counters["goal"] = goal;
}

}  // namespace bench
