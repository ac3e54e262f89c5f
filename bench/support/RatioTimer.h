#pragma once
// Side-by-side timing of our code against another library's on the same work, in one run.
// Each iteration runs both, in turn and in alternating order, so drift in the machine's load and
// the cache state each one leaves behind hit both alike. The iterations are cut into kRounds
// consecutive rounds, and each round gives a ratio of its own (our time over theirs in that round);
// the reported "ratio" is the median of the rounds, with "ratio_min" and "ratio_max" as their
// spread, so one burst of load on the machine moves one round, not the figure. The other counters
// are each side's mean time in microseconds and "goal" (the largest ratio we accept, 0 for a row
// shown for information); `make bench` gathers them into its closing table.
//
// Work done on the calling thread alone is timed in that thread's CPU time, which other
// programs on a busy machine do not inflate; work that waits on other threads or on a GPU asks
// for wall time (TimeKind::Wall); a whole program run as a child is timed in its CPU time over
// all its threads (TimeKind::ProcessCpu). Every row says which in its counter "timed_by" (the
// TimeKind's number), which the closing table prints; it is a name of its own because Google
// Benchmark writes "cpu_time" (its own measure) into every row.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace bench {

enum class TimeKind { ThreadCpu = 1, Wall = 2, ProcessCpu = 3 };

constexpr int kRounds = 7;

inline double Seconds(TimeKind kind) {
    if (kind == TimeKind::Wall) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    timespec t{};
    clock_gettime(kind == TimeKind::ProcessCpu ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The median of the values, which it reorders.
inline double Median(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Sets "ratio" (the median), "ratio_min", "ratio_max" and "rounds" from per-round ratios, and
// "timed_by" from the clock the rounds were timed on. A benchmark that measures a second figure
// of the same work gives it a part name: its counters are then "<part>_ratio", "<part>_ratio_min"
// and so on, and the closing table shows it as a row of its own, "<benchmark> [<part>]".
inline void ReportRatios(benchmark::State& state, std::vector<double> ratios, double goal, TimeKind timedBy,
                         const std::string& part = "") {
    const std::string p = part.empty() ? "" : part + "_";
    state.counters[p + "timed_by"] = static_cast<double>(static_cast<int>(timedBy));
    // (The library's first short runs, which only size the real one, may have fewer rounds; the
    // closing table marks a reported row with fewer than 5.)
    if (ratios.empty()) return;
    state.counters[p + "ratio_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters[p + "ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters[p + "rounds"] = static_cast<double>(ratios.size());
    state.counters[p + "ratio"] = Median(ratios);
    state.counters[p + "goal"] = goal;
}

// Per-round ratios of two sides' per-iteration times: the iterations cut into kRounds runs.
inline std::vector<double> RoundRatios(const std::vector<double>& ours, const std::vector<double>& theirs) {
    const std::size_t n = ours.size();
    const std::size_t rounds = std::min<std::size_t>(kRounds, n);
    std::vector<double> ratios;
    for (std::size_t r = 0; r < rounds; ++r) {
        double o = 0, t = 0;
        for (std::size_t i = r * n / rounds; i < (r + 1) * n / rounds; ++i) {
            o += ours[i];
            t += theirs[i];
        }
        if (t > 0) ratios.push_back(o / t);
    }
    return ratios;
}

template <class Ours, class Theirs>
void RunAgainst(benchmark::State& state, double goal, Ours&& ours, Theirs&& theirs,
                TimeKind kind = TimeKind::ThreadCpu) {
    std::vector<double> oursTimes, theirsTimes;
    bool oursFirst = true;
    for (auto _ : state) {
        double spent[2] = {0, 0};
        for (int pass = 0; pass < 2; ++pass) {
            const bool runOurs = (pass == 0) == oursFirst;
            const double t0 = Seconds(kind);
            if (runOurs) {
                ours();
            } else {
                theirs();
            }
            benchmark::ClobberMemory();
            spent[runOurs ? 0 : 1] = Seconds(kind) - t0;
        }
        oursTimes.push_back(spent[0]);
        theirsTimes.push_back(spent[1]);
        oursFirst = !oursFirst;
    }
    double oursSum = 0, theirsSum = 0;
    for (std::size_t i = 0; i < oursTimes.size(); ++i) {
        oursSum += oursTimes[i];
        theirsSum += theirsTimes[i];
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_us"] = oursSum / n * 1e6;
    state.counters["theirs_us"] = theirsSum / n * 1e6;
    ReportRatios(state, RoundRatios(oursTimes, theirsTimes), goal, kind);
}

// What a frame benchmark adds up: the seconds of its updates and of its drawing, the frames,
// and each round's mean frame as a share of the budget; and the same of the CPU time of the
// benchmark's own thread over the frame (the game's code and the GL driver's front end, which
// hands the rasterising to llvmpipe's own thread), an upper bound of what the game's code costs.
struct TFrameTotals {
    double update = 0, draw = 0, gameThread = 0;
    int frames = 0;
    std::vector<double> shares, gameThreadShares;
};

// Runs the benchmark's iterations as kRounds rounds of framesPerRound frames; frame(update, draw)
// adds one frame's wall seconds to both.
template <class Frame>
void RunFrameRounds(benchmark::State& state, Frame frame, int framesPerRound, double budgetSeconds,
                    TFrameTotals& totals) {
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            double u = 0, d = 0;
            const double c0 = Seconds(TimeKind::ThreadCpu);
            for (int i = 0; i < framesPerRound; ++i) frame(u, d);
            const double c = Seconds(TimeKind::ThreadCpu) - c0;
            totals.update += u;
            totals.draw += d;
            totals.gameThread += c;
            totals.frames += framesPerRound;
            totals.shares.push_back((u + d) / framesPerRound / budgetSeconds);
            totals.gameThreadShares.push_back(c / framesPerRound / budgetSeconds);
        }
    }
}

}  // namespace bench
