// The frame update of a round with 60 marbles on the field, six of them running on paths, on the
// real pak in software: the screen's RunProcess, whose ten movement substeps each end with a
// collision pass over every pair and a delete pass, with the effects and particles of a frame.
// "of_budget" is the mean time of one update as a fraction of the game's frame budget (33.3 ms at
// 30 updates a second). The field is set up again, outside the timing, whenever the round has
// changed it (a pop, a lost life).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/gameplay/GameplaySurvival.h"
#include "platform/Pcm.h"
#include "platform/Settings.h"
#include "testsupport/SeededRound.h"

namespace {

constexpr double kFrameBudgetSeconds = 1.0 / 30.0;
constexpr int kMarbles = 60;
constexpr int kRunners = 6;

// 60 marbles on a 6 x 10 grid of the area, colours in turn, heading every way at the level's
// speed; every tenth one runs a path across the field.
void FillField(CXGameplaySurvival& round, CSeededRoundGame& game) {
    round.m_Marbles.RemoveAll();
    round.m_nMarblesOnPath = 0;
    round.m_nPauseCounter = -1;
    round.m_nLives = 1000;
    const TRect2D area = round.GetPlayRect();
    const int left = area.x >> 8, top = area.y >> 8, w = area.width >> 8, h = area.height >> 8;
    for (int i = 0; i < kMarbles; ++i) {
        const int x = left + 24 + (i % 6) * (w - 48) / 5, y = top + 20 + (i / 6) * (h - 40) / 9;
        CMarble* m = round.SpawnEnemy(i % 4, x, y);
        if (m == nullptr) continue;
        m->m_bEntered = true;
        m->m_Direction = TVector2D_16{(game.RandomValue(3) - 1) * 46341, (game.RandomValue(2) * 2 - 1) * 46341};
        if (i % (kMarbles / kRunners) == 0) {
            const TVector2D from{x * 256, y * 256}, to{(left + w - x + left) * 256, (top + h - y + top) * 256};
            (void)m->m_Path.AddSpline(from, from, to, to);
            m->m_bOnPath = true;
            round.RollingSoundCounterInc();
        }
    }
}

void BM_RoundFrameWith60Marbles(benchmark::State& state) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    const std::filesystem::path saves = std::filesystem::temp_directory_path() / "cobble_round_bench";
    std::filesystem::create_directories(saves);
    platform::TPlatformSettings settings = platform::CurrentSettings();
    settings.saveDir = saves.string() + "/";
    platform::UseSettings(settings);
    double seconds = 0;
    int filled = 0;
    {
        // The game saves its player data when it goes: before its folder does.
        CSeededRoundGame game(COBBLE_PAK, 7);
        if (!StartSeededRound(game, 0)) {
            state.SkipWithError("the round did not open");
            return;
        }
        CXGameplaySurvival& round = *game.m_pGameplayScreen;
        for (auto _ : state) {
            if (round.m_Marbles.count != kMarbles || !round.IsInPlay() || round.m_nMarblesOnPath < kRunners - 1) {
                state.PauseTiming();
                FillField(round, game);
                ++filled;
                state.ResumeTiming();
            }
            const auto start = std::chrono::steady_clock::now();
            round.RunProcess();
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    const double frame = seconds / static_cast<double>(state.iterations());
    state.counters["frame_ms"] = frame * 1000.0;
    state.counters["of_budget"] = frame / kFrameBudgetSeconds;
    state.counters["fields"] = filled;
    std::filesystem::remove_all(saves);
}
BENCHMARK(BM_RoundFrameWith60Marbles)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
