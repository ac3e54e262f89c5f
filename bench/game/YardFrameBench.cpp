// One frame of the yard screen (its update and its drawing) on the real pak, headless through
// OpenGL ES (llvmpipe held to one thread) at the program's own display size (768 x 1280, the game
// at its logical 320 x 533 with double-resolution images, GameDisplay.h), with 40 bought objects in
// the evening yard: 15 birds and 25 others, four campfires among them whose flames run as particle
// effects. The frame's CPU time over the whole process (the game's thread and llvmpipe's; the
// drawing finished with glFinish, so the rasterising counts) is measured against the 33.3 ms
// budget of the game's 30 frames a second: "ratio" is the median of the rounds' shares
// (RatioTimer.h; goal 0.4), "update_ms" and "draw_ms" the two halves' mean times, and
// "game_thread_ratio" the game thread's own CPU time as a share (goal 0.1): the game's code with
// GL's front end, the rest being llvmpipe rasterising on its own thread.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GameDisplay.h"
#include "HeadlessGl.h"
#include "RatioTimer.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "platform/Pcm.h"
#include "platform/Settings.h"
#include "render/GlesGlobals.h"
#include "testsupport/LoadedGame.h"
#include "ui/UILayout.h"

namespace {

constexpr double kFrameBudgetSeconds = 1.0 / 30.0;
// The whole frame's share of the budget, and the game thread's (GL's front end included).
constexpr double kFrameGoal = 0.4, kGameCodeGoal = 0.1;

class CBenchGame : public CTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(COBBLE_PAK); }
};

// The evening yard's things: 15 birds, then 25 plants, comfort and decor.
const char* const kBirds[] = {"bird10", "bird11", "bird12"};
const char* const kOthers[] = {"campfire",      "campfire",      "campfire",      "campfire",    "lantern_post",
                               "lantern_post",  "cherry_tree",   "cherry_tree",   "corn_stalks", "corn_stalks",
                               "lavender",      "lavender",      "mushroom_ring", "big_feeder",  "big_feeder",
                               "gramophone",    "doghouse2",     "photostand02",  "weathervane", "weathervane",
                               "balloon_bunch", "balloon_bunch", "lavender",      "corn_stalks", "mushroom_ring"};
static_assert(sizeof kOthers / sizeof kOthers[0] == 25, "25 objects besides the birds");

// The game as the loaders leave it before the yard opens, with the yard open and furnished; null
// (with the benchmark marked failed) when a step fails.
std::unique_ptr<CBenchGame> OpenFurnishedYard(benchmark::State& state) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    platform::TPlatformSettings settings = platform::CurrentSettings();
    // Fresh saves on every run: the profiles of earlier runs would fill the player list.
    const std::filesystem::path saves = std::filesystem::path(COBBLE_BINARY_DIR) / "bench-yard-saves";
    std::filesystem::remove_all(saves);
    settings.saveDir = saves.string() + "/";
    platform::UseSettings(settings);
    auto game = std::make_unique<CBenchGame>();
    const auto fail = [&](const char* what) {
        state.SkipWithError(what);
        return nullptr;
    };
    const auto [w, h] = bench::SizeForDisplay(*game, bench::kDisplayW, bench::kDisplayH);
    if (!game->Init(w, h)) return fail("the game's start-up");
    for (int i = 0; i < game->m_pUILayout->GetFontCount(); ++i)
        if (game->LoadFont(i) != 1) return fail("a font");
    if (game->ReLoadFontsLastStep() != 1) return fail("the fonts");
    game->SafeDeleteChildren();
    if (!game->DefineSpriteSets_TheRest()) return fail("the sprite descriptions");
    if (loadedgame::LoadSpriteGroups(*game, {"ui", "farm"}) != nullptr) return fail("a sprite set");
    if (loadedgame::ReadParticleEffects(*game) != nullptr) return fail("an effect");
    if (loadedgame::MakeLoaderManagers(*game) != nullptr) return fail("the managers");
    const int player = game->CreateNewUserProfile();
    if (player < 0) return fail("a player");
    game->GetAppData()->m_nCurrentProfile = player;
    TUserProfile* profile = game->GetCurrentProfile();
    profile->m_CurrentYard = CommonString("yard4");
    for (bool& seen : profile->m_HintFlags) seen = true;
    profile->m_nCoins = 1000000;
    game->SeedRandoms(5);
    if (!game->RunFarmWindowScreen()) return fail("the yard");
    CXFarmWindow* yard = game->m_pFarmWindow;
    for (int i = 0; i < 40 && yard->IsTransitionRunning(); ++i) game->RunProcess();
    for (int i = 0; i < 40; ++i) {
        const char* id = i < 15 ? kBirds[i % 3] : kOthers[i - 15];
        FarmObjectDef* def = game->m_pFarmManager->GetFarmObjectDef(yard->m_pYardDef, CommonString(id));
        if (!yard->PurchaseFarmObject(def)) return fail(id);
    }
    return game;
}

void BM_YardFrame_of_Budget(benchmark::State& state) {
    const auto gl = bench::StartHeadlessGl(state, bench::kDisplayW, bench::kDisplayH);
    if (!gl) return;
    const std::unique_ptr<CBenchGame> game = OpenFurnishedYard(state);
    if (!game) return;
    CXFarmWindow* yard = game->m_pFarmWindow;
    const auto frame = [&](double& update, double& draw) {
        const double t0 = bench::Seconds(bench::TimeKind::ProcessCpu);
        yard->RunProcess();
        const double t1 = bench::Seconds(bench::TimeKind::ProcessCpu);
        // The draw cycle as the program runs it: the scene begun (the 2D projection over the
        // display) before the game draws the yard.
        game->DoDrawCycle();
        GLES_FlushBuffer();
        glFinish();
        update += t1 - t0;
        draw += bench::Seconds(bench::TimeKind::ProcessCpu) - t1;
    };
    double update = 0, draw = 0;
    // The burst of the last purchase dies down and the campfires' flames reach their full count.
    for (int i = 0; i < 90; ++i) frame(update, draw);
    bench::TFrameTotals totals;
    bench::RunFrameRounds(state, frame, 30, kFrameBudgetSeconds, totals);
    int live = 0;
    for (int i = 0; i < game->m_pParticleManager->GetNumParticleSystems(); ++i)
        live += game->m_pParticleManager->GetParticleSystemAt(i)->GetNumActiveParticels();
    state.counters["objects"] = game->m_pFarmManager->m_Objects.count;
    state.counters["live_particles"] = live;
    state.counters["update_ms"] = totals.update / totals.frames * 1000.0;
    state.counters["draw_ms"] = totals.draw / totals.frames * 1000.0;
    state.counters["game_thread_cpu_ms"] = totals.gameThread / totals.frames * 1000.0;
    bench::ReportRatios(state, totals.shares, kFrameGoal, bench::TimeKind::ProcessCpu);
    bench::ReportRatios(state, totals.gameThreadShares, kGameCodeGoal, bench::TimeKind::ThreadCpu, "game_thread");
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

BENCHMARK(BM_YardFrame_of_Budget)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
