// The frame update of a round with 60 marbles on the field, six of them running on paths, on the
// real pak in software: the screen's RunProcess, whose ten movement substeps each end with a
// collision pass over every pair and a delete pass, with the effects and particles of a frame.
// "of_budget" is the mean time of one update as a fraction of the game's frame budget (33.3 ms at
// 30 updates a second). The field is set up again, outside the timing, whenever the round has
// changed it (a pop, a lost life).
//
// BM_RoundFullFrameGl_of_Budget: a whole frame, RunProcess and Draw headless through GL (finished
// with glFinish, so the rasterising counts) at the program's own display size (768 x 1280, the
// game at its logical 320 x 533 with double-resolution images, GameDisplay.h), with the same 60
// marbles, power-ups of every kind and bursts running, a marble being dragged with its path on
// show. A frame is timed in the CPU time of the whole process (the game's thread and llvmpipe's
// rasterising thread), as the real program's frames are (FrameCostBench.cpp): on a busy machine
// the wall time of a frame is mostly the waiting of those threads for a core. "ratio" is the
// median share of the budget over seven rounds of 30 frames (goal 0.4), "update_ms" and
// "draw_ms" where it goes, the drawing split into the floor, frame and head-up display and the
// field over them; and "game_thread_ratio", the game thread's own CPU time as a share of the
// budget (goal 0.1): the game's code with GL's front end, an upper bound of the game code's cost.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GameDisplay.h"
#include "HeadlessGl.h"
#include "RatioTimer.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/MarblePowerup.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/Pcm.h"
#include "platform/Settings.h"
#include "render/GlesGlobals.h"
#include "testsupport/SeededRound.h"

namespace {

constexpr double kFrameBudgetSeconds = 1.0 / 30.0;
constexpr int kMarbles = 60;
constexpr int kRunners = 6;
// The whole frame's share of the budget, and the game thread's (GL's front end included).
constexpr double kFrameGoal = 0.4, kGameCodeGoal = 0.1;

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
// The field of the frame benchmark with a power-up of each kind, bursts running and a marble being
// given a path by the finger.
void FillFieldWithEffects(CXGameplaySurvival& round, CSeededRoundGame& game) {
    FillField(round, game);
    const TRect2D area = round.GetPlayRect();
    const int left = area.x >> 8, top = area.y >> 8;
    for (int kind = 0; kind < kPowerUpKindCount; ++kind)
        (void)round.SpawnPowerUp(left + 40 + 60 * kind, top + 60, kind);
    round.m_Explosions.count = 0;
    for (int i = 0; i < 8; ++i)
        (void)round.m_Explosions.Add(
            CExplosion{{(left + 30 + 30 * i) * 256, (top + 200) * 256}, (i * 30) * 256, 255, 200 - 20 * i, 40, 0});
    CMarble* m = round.m_Marbles.data[1];
    const int x = m->m_Position.x >> 16, y = m->m_Position.y >> 16;
    (void)round.NotifyPointerEvent(x, y, XPOINTER_PRESS);
    for (int k = 1; k <= 120; ++k) (void)round.NotifyPointerEvent(x + k, y + k / 2, XPOINTER_MOVE);
}

void BM_RoundFullFrameGl_of_Budget(benchmark::State& state) {
    const auto gl = bench::StartHeadlessGl(state, bench::kDisplayW, bench::kDisplayH);
    if (!gl) return;
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    const std::filesystem::path saves = std::filesystem::temp_directory_path() / "cobble_round_gl_bench";
    std::filesystem::create_directories(saves);
    platform::TPlatformSettings settings = platform::CurrentSettings();
    settings.saveDir = saves.string() + "/";
    platform::UseSettings(settings);
    {
        CSeededRoundGame game(COBBLE_PAK, 7);
        const auto [w, h] = bench::SizeForDisplay(game, bench::kDisplayW, bench::kDisplayH);
        if (!StartSeededRound(game, 0, true, w, h)) {
            state.SkipWithError("the round did not open");
            return;
        }
        CXGameplaySurvival& round = *game.m_pGameplayScreen;
        FillFieldWithEffects(round, game);
        int filled = 1;
        const auto frame = [&](double& update, double& draw) {
            if (round.m_Marbles.count < kMarbles || !round.IsInPlay()) {
                FillFieldWithEffects(round, game);
                ++filled;
            }
            const double t0 = bench::Seconds(bench::TimeKind::ProcessCpu);
            round.RunProcess();
            const double t1 = bench::Seconds(bench::TimeKind::ProcessCpu);
            game.DoDrawCycle();
            GLES_FlushBuffer();
            glFinish();
            update += t1 - t0;
            draw += bench::Seconds(bench::TimeKind::ProcessCpu) - t1;
        };
        double update = 0, draw = 0;
        for (int i = 0; i < 30; ++i) frame(update, draw);
        bench::TFrameTotals totals;
        bench::RunFrameRounds(state, frame, 30, kFrameBudgetSeconds, totals);
        int live = 0;
        for (int i = 0; i < game.m_pParticleManager->GetNumParticleSystems(); ++i)
            live += game.m_pParticleManager->GetParticleSystemAt(i)->GetNumActiveParticels();
        // Where the drawing goes: the floor, frame and head-up display (the field emptied), and the
        // field over them.
        const auto drawOnly = [&] {
            constexpr int kDrawFrames = 60;
            double sum = 0;
            for (int i = 0; i < kDrawFrames; ++i) {
                const double t0 = bench::Seconds(bench::TimeKind::ProcessCpu);
                game.DoDrawCycle();
                GLES_FlushBuffer();
                glFinish();
                sum += bench::Seconds(bench::TimeKind::ProcessCpu) - t0;
            }
            return sum / kDrawFrames;
        };
        double bare = 0;
        {
            round.m_pDraggedMarble = nullptr;
            round.m_Marbles.RemoveAll();
            round.m_nMarblesOnPath = 0;
            round.m_Explosions.count = round.m_Animations.count = 0;
            game.m_pParticleManager->StopAll(true);
            bare = drawOnly();
        }
        state.counters["draw_floor_frame_hud_ms"] = bare * 1000.0;
        state.counters["draw_field_ms"] = totals.draw / totals.frames * 1000.0 - bare * 1000.0;
        state.counters["marbles"] = kMarbles + kPowerUpKindCount;
        state.counters["live_particles"] = live;
        state.counters["fields"] = filled;
        state.counters["update_ms"] = totals.update / totals.frames * 1000.0;
        state.counters["draw_ms"] = totals.draw / totals.frames * 1000.0;
        // The game thread's own share: the rest of the frame is the software rasteriser.
        state.counters["game_thread_cpu_ms"] = totals.gameThread / totals.frames * 1000.0;
        bench::ReportRatios(state, totals.shares, kFrameGoal, bench::TimeKind::ProcessCpu);
        bench::ReportRatios(state, totals.gameThreadShares, kGameCodeGoal, bench::TimeKind::ThreadCpu, "game_thread");
    }
    std::filesystem::remove_all(saves);
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}
BENCHMARK(BM_RoundFullFrameGl_of_Budget)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK(BM_RoundFrameWith60Marbles)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
