// CPU time per frame of the real program (its own code and the GL driver's, every thread) over
// scripted headless runs with the real pak and the virtual clock, as a share of the frame budget.
//
// Each scripted run names an input script that brings the game to a scene and a window of frames
// [from, to) in that scene. The program is run twice, once ending after `from` frames and once
// after `to` (in alternating order), each from fresh saves; the difference of the two runs' CPU
// times is the cost of the frames in the window alone, the start-up, the loading and the
// shut-down being the same in both. Each repetition gives one such figure; "ratio" is the median
// of the repetitions over the 33.3 ms budget of a 30 Hz frame (see RatioTimer.h).
//
// A scene is added as one more row of kRuns: a script and its window.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RatioTimer.h"

extern char** environ;

namespace {

constexpr double kFrameBudgetSeconds = 1.0 / 30.0;

struct TScriptedRun {
    const char* name;
    const char* script;  // the input script (display pixels of a 768 x 1280 display)
    int from, to;        // the frames measured
    double goal;         // the largest share of the budget accepted
    // A file of the saves and a text it holds once the script has reached its scene: a script
    // that misses a button would otherwise measure some other screen without a word.
    const char* savedFile;
    const char* savedText;
};

// The first start: intro, loading, the name entry of a first profile ("Ada" on the keyboard's
// second row, then OK under it); the start menu is up from frame 240 with its farm scene moving.
constexpr const char* kToStartMenu =
    "180 touch down 100 643\n182 touch up 100 643\n"
    "188 touch down 240 643\n190 touch up 240 643\n"
    "196 touch down 100 643\n198 touch up 100 643\n"
    "210 touch down 384 935\n212 touch up 384 935\n";

// From the start menu: Play, then on the play screen the first arena (through the arena hint),
// whose tutorial is skipped by its Play button at the top; the round runs from frame 520 on and
// is left alone (its marbles enter and bounce; the first life goes by frame 750).
constexpr const char* kToRound =
    "250 touch down 384 910\n252 touch up 384 910\n"
    "345 touch down 139 403\n347 touch up 139 403\n"
    "500 touch down 636 50\n502 touch up 636 50\n";

// From the start menu: Play, the arena hint closed, the first yard, which opens after the farm's
// sprite sets have loaded (by frame 510): the morning yard, empty, its clouds and flowers moving.
constexpr const char* kToYard =
    "250 touch down 384 910\n252 touch up 384 910\n"
    "325 touch down 622 530\n327 touch up 622 530\n"
    "365 touch down 103 826\n367 touch up 103 826\n";

const std::string kRoundScript = std::string(kToStartMenu) + kToRound;
const std::string kYardScript = std::string(kToStartMenu) + kToYard;

// The round and the yard are saved as the game in progress when the program ends in them.
const TScriptedRun kRuns[] = {
    {"start_menu", kToStartMenu, 300, 450, 0.4, "global.opt", "Ada"},
    {"round", kRoundScript.c_str(), 600, 750, 0.4, "saveresume.dat", "arena_arena1"},
    {"yard", kYardScript.c_str(), 560, 710, 0.4, "saveresume.dat", "yard_yard1"},
};

// The program's CPU time (user and system, every thread) for a run ending after `frames` frames;
// -2 when its saves do not show it reached its scene, -1 when it failed.
double RunProgramCpuSeconds(const std::filesystem::path& work, const TScriptedRun& run, int frames) {
    const std::filesystem::path saves = work / ("saves_" + std::to_string(frames));
    std::filesystem::remove_all(saves);
    std::filesystem::create_directories(saves);
    const std::string script = (work / "run.script").string();
    std::vector<std::string> env = {"COBBLE_DISPLAY=headless",
                                    "COBBLE_DISPLAY_SIZE=768x1280",
                                    "COBBLE_CLOCK=virtual",
                                    "COBBLE_SOUND=null",
                                    "COBBLE_FRAMES=" + std::to_string(frames),
                                    "COBBLE_SCRIPT=" + script,
                                    "COBBLE_DUMP_DIR=" + work.string(),
                                    "COBBLE_SAVE_DIR=" + saves.string()};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("COBBLE_", 0) != 0) env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = COBBLE_GAME_PATH;
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    std::ifstream saved(saves / run.savedFile, std::ios::binary);
    const std::string held((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    if (held.find(run.savedText) == std::string::npos) return -2;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_FrameCpu_of_Budget(benchmark::State& state, const TScriptedRun& run) {
    const std::filesystem::path work = std::filesystem::path(COBBLE_BINARY_DIR) / "bench-frames" / run.name;
    std::filesystem::create_directories(work);
    std::ofstream(work / "run.script") << run.script;
    std::vector<double> shares;
    double frameSeconds = 0;
    bool longFirst = false;
    for (auto _ : state) {
        for (int rep = 0; rep < bench::kRounds; ++rep) {
            double cpu[2] = {0, 0};
            for (int pass = 0; pass < 2; ++pass) {
                const bool isLong = (pass == 0) == longFirst;
                cpu[isLong ? 1 : 0] = RunProgramCpuSeconds(work, run, isLong ? run.to : run.from);
            }
            longFirst = !longFirst;
            if (cpu[0] == -2 || cpu[1] == -2) {
                state.SkipWithError("the script did not reach its scene (its saves lack what the scene saves)");
                return;
            }
            if (cpu[0] < 0 || cpu[1] < 0) {
                state.SkipWithError("the program failed (run it with the scripted run's settings to see why)");
                return;
            }
            const double perFrame = (cpu[1] - cpu[0]) / (run.to - run.from);
            frameSeconds += perFrame;
            shares.push_back(perFrame / kFrameBudgetSeconds);
        }
    }
    state.counters["frame_cpu_ms"] = frameSeconds / static_cast<double>(shares.size()) * 1000.0;
    bench::ReportRatios(state, shares, run.goal, bench::TimeKind::ProcessCpu);
}

const bool kRegistered = [] {
    for (const TScriptedRun& run : kRuns) {
        benchmark::RegisterBenchmark((std::string("BM_FrameCpu_of_Budget/") + run.name).c_str(), BM_FrameCpu_of_Budget,
                                     run)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
