// 20 particle systems of 500 live particles each, simulated and drawn once per frame, measured
// against the frame budget of the game's 30 updates per second (33.3 ms):
// - simulation: one fixed step of every system (CQuorvanParticleSystemManager2::RunProcess);
// - drawing on the GL screen (llvmpipe with one thread, LP_NUM_THREADS=1, set before GL starts,
//   finished with glFinish so the rasterising is counted);
// - drawing into a software back buffer of the same size (the software renderer).
// Each reports budget_percent: the mean time per frame as a percentage of 33.3 ms.
// - the same live particles drawn by SDL2's GLES2 renderer (one rotated, scaled, tinted additive
//   copy each) against our GL drawing, alternately on two headless contexts (RatioTimer.h).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "HeadlessGl.h"
#include "RatioTimer.h"
#include "SdlGlesScene.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/RandomTables.h"
#include "render/GlesGlobals.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "render/WinDibBitmapOGLES.h"
#include "sprites/SpriteSet.h"
#include "testsupport/GlSpriteTestGame.h"
#include "testsupport/GlesTestContext.h"

namespace {

constexpr int kScreenW = 320;
constexpr int kScreenH = 480;
constexpr int kSystems = 20;
constexpr int kParticlesPerSystem = 500;
constexpr double kFrameBudgetSeconds = 1.0 / 30.0;

// A busy effect: every per-particle path of the update is taken (radial and tangential
// acceleration with its square root, gravity, spin, size, colour and a middle age).
const char* const kEffect =
    "EmissionSpeed = 900\nParticleLifeMin = 0.8\nParticleLifeMax = 1.2\nParticleSpeedMin = 20\n"
    "ParticleSpeedMax = 60\nParticleGravityMin = 5\nParticleGravityMax = 20\n"
    "ParticleRadialAccMin = -10\nParticleRadialAccMax = 30\nParticleTangAccMin = 5\n"
    "ParticleTangAccMax = 15\nParticleSizeStart = 1.5\nParticleSizeEnd = 0.5\n"
    "ParticleSpinStart = 90\nParticleSpinEnd = 180\nColorStart_G = 180\nColorEnd_B = 40\n"
    "ColorMiddleAge = 0.3\nMaxParticles = 500\n";

IDibBitmap* SpriteFrame(CGlSpriteTestGame* game, bool gl) {
    const int n = 8;
    auto* pixels = static_cast<std::uint16_t*>(std::malloc(n * n * 2));
    auto* alpha = static_cast<unsigned char*>(std::malloc(n * n));
    for (int i = 0; i < n * n; ++i) {
        pixels[i] = 0xFFFF;
        const int dx = i % n - n / 2, dy = i / n - n / 2;
        alpha[i] = static_cast<unsigned char>(dx * dx + dy * dy < 16 ? 255 : 0);
    }
    IDibBitmap* frame =
        gl ? static_cast<IDibBitmap*>(new CWinDibBitmapOGLES(game)) : static_cast<IDibBitmap*>(new CWinDibBitmap(game));
    game->m_RenderSwitches.m_bImmediateUpload = false;
    frame->SetBits(reinterpret_cast<unsigned char*>(pixels), n, n);
    frame->SetAlphaBits(alpha, n, n);
    game->m_RenderSwitches.m_bImmediateUpload = true;
    if (gl) frame->HWUpdateTexture();
    return frame;
}

// The 20 systems, spread over the screen and run until each holds 500 particles.
class CScene {
public:
    CScene(CGlSpriteTestGame& game, bool gl)
        : rotator(&game, 1440), path(&game, &rotator), manager(&game, &rotator, 20) {
        (void)rotator.Initialize();
        if (gl) rotator.SetHardwarePath(&path);
        std::srand(2026);
        CreatePS2RandomsTable(&game);
        CreateGameRandomsTable(&game);
        const std::string effect(kEffect);
        for (int i = 0; i < kSystems; ++i) {
            auto* system = new CQuorvanParticleSystem2(&game, &rotator);
            system->ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "bench.pfd");
            auto* set = new CSpriteSet();
            set->DefineSpriteSetSingle(&game, CommonString("b.png"), CommonString("b.png"), 1, 1);
            set->m_Frames = new IDibBitmap* [1] { SpriteFrame(&game, gl) };
            set->m_nNumFrames = 1;
            set->m_nRefCount = 1;
            system->m_Info.m_pSpriteSet = set;
            (void)system->OnSettingsChanged();
            system->StartAt((40 + (i % 5) * 60) << 16, (60 + (i / 5) * 110) << 16);
            if (manager.AddParticleSystem("bench", system) == 0) delete system;
        }
        for (int step = 0; step < 60; ++step) manager.RunProcess();
    }
    int LiveParticles() const {
        int live = 0;
        for (int i = 0; i < manager.GetNumParticleSystems(); ++i)
            live += manager.GetParticleSystemAt(i)->GetNumActiveParticels();
        return live;
    }

    CQuorvanImageRotatorScaler rotator;
    CGlesRotatorPath path;
    CQuorvanParticleSystemManager2 manager;
};

void ReportBudget(benchmark::State& state, double seconds, int live) {
    const double perFrame = seconds / static_cast<double>(state.iterations());
    state.counters["budget_percent"] = perFrame / kFrameBudgetSeconds * 100.0;
    state.counters["live_particles"] = live;
}

void BM_Particles_Simulate(benchmark::State& state) {
    CGlSpriteTestGame game;
    CScene scene(game, false);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        scene.manager.RunProcess();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReportBudget(state, seconds, scene.LiveParticles());
}

void BM_Particles_DrawGl(benchmark::State& state) {
    const auto ctx = bench::StartHeadlessGl(state, kScreenW, kScreenH);
    if (!ctx) return;
    CGlSpriteTestGame game;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    CWinDibBitmapOGLES* screen = game.MakeScreen(kScreenW, kScreenH);
    CScene scene(game, true);
    double seconds = 0;
    for (auto _ : state) {
        screen->FillRectangle(0, 0, kScreenW, kScreenH, 0, 0, 0);
        GLES_FlushBuffer();
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        scene.manager.DrawTheRest(screen);
        GLES_FlushBuffer();
        glFinish();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReportBudget(state, seconds, scene.LiveParticles());
}

// SDL draws each live particle of every system as our GL path does: the 8 x 8 sprite centred on
// the particle, scaled by its size, turned by spin x age, tinted by its colour, added.
void DrawParticlesWithSdl(const CScene& scene, const bench::CSdlGlesScene& sdl) {
    for (int s = 0; s < scene.manager.GetNumParticleSystems(); ++s) {
        const CQuorvanParticleSystem2* system = scene.manager.GetParticleSystemAt(s);
        const CQuorvanParticle2* particles = system->GetParticles();
        for (int i = 0; i < system->GetNumActiveParticels(); ++i) {
            const CQuorvanParticle2& p = particles[i];
            const int alpha = p.alpha >> 16;
            if (alpha <= 0) continue;
            const float size = 8.0f * static_cast<float>(p.size) / 65536.0f;
            const SDL_FRect to{static_cast<float>(p.x) / 65536.0f - size / 2,
                               static_cast<float>(p.y) / 65536.0f - size / 2, size, size};
            const double angle = static_cast<double>(p.spin) / 65536.0 * (static_cast<double>(p.age) / 65536.0);
            SDL_SetTextureColorMod(sdl.Texture(), static_cast<Uint8>(std::clamp(p.red >> 16, 0, 255)),
                                   static_cast<Uint8>(std::clamp(p.green >> 16, 0, 255)),
                                   static_cast<Uint8>(std::clamp(p.blue >> 16, 0, 255)));
            SDL_SetTextureAlphaMod(sdl.Texture(), static_cast<Uint8>(std::min(alpha, 255)));
            SDL_RenderCopyExF(sdl.Renderer(), sdl.Texture(), nullptr, &to, angle, nullptr, SDL_FLIP_NONE);
        }
    }
}

void BM_Particles_DrawGl_vs_SDL2(benchmark::State& state) {
    const auto ctx = bench::StartHeadlessGl(state, kScreenW, kScreenH);
    if (!ctx) return;
    const bench::TEglCurrent ours;
    CGlSpriteTestGame game;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    CWinDibBitmapOGLES* screen = game.MakeScreen(kScreenW, kScreenH);
    CScene scene(game, true);
    // The SDL twin of the sprite frame: white, a disc of radius 4.
    std::vector<std::uint16_t> white(64, 0xFFFF);
    std::vector<unsigned char> disc(64);
    for (int i = 0; i < 64; ++i) {
        const int dx = i % 8 - 4, dy = i / 8 - 4;
        disc[static_cast<std::size_t>(i)] = static_cast<unsigned char>(dx * dx + dy * dy < 16 ? 255 : 0);
    }
    bench::CSdlGlesScene sdl;
    const bool sdlStarted = sdl.Start(kScreenW, kScreenH, bench::Argb8888(white.data(), disc.data(), 64), 8, 8);
    if (!sdlStarted) {
        state.SkipWithError("SDL's GLES2 renderer did not start");
        return;
    }
    SDL_SetTextureBlendMode(sdl.Texture(), SDL_BLENDMODE_ADD);
    ours.MakeCurrent();
    bench::RunAgainst(
        state, 1.0,
        [&] {
            ours.MakeCurrent();
            screen->FillRectangle(0, 0, kScreenW, kScreenH, 0, 0, 0);
            scene.manager.DrawTheRest(screen);
            GLES_FlushBuffer();
            glFinish();
        },
        [&] {
            sdl.MakeCurrent();
            SDL_SetRenderDrawColor(sdl.Renderer(), 0, 0, 0, 255);
            SDL_RenderClear(sdl.Renderer());
            DrawParticlesWithSdl(scene, sdl);
            sdl.Finish();
        },
        bench::TimeKind::Wall);  // llvmpipe rasterises on threads of its own
    ours.MakeCurrent();
    state.counters["live_particles"] = scene.LiveParticles();
}

void BM_Particles_DrawSoftware(benchmark::State& state) {
    CGlSpriteTestGame game;
    CWinDibBitmap screen(&game);
    screen.Create(kScreenW, kScreenH);
    CScene scene(game, false);
    double seconds = 0;
    for (auto _ : state) {
        screen.ClearBitmap(0, 0, 0);
        const auto start = std::chrono::steady_clock::now();
        scene.manager.DrawTheRest(&screen);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReportBudget(state, seconds, scene.LiveParticles());
}

}  // namespace

BENCHMARK(BM_Particles_Simulate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Particles_DrawGl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Particles_DrawSoftware)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Particles_DrawGl_vs_SDL2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
