// Drawing a system into a software bitmap: where particles land, which are skipped, blends,
// drawing offset, zoom and clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ParticleTestFixtures.h"

using namespace particle_test;

namespace {

struct TCanvas {
    explicit TCanvas(IRenderHost* game) : bitmap(game) {
        bitmap.Create(64, 64);
        bitmap.ClearBitmap(0, 0, 0);
    }
    std::uint16_t At(int x, int y) { return reinterpret_cast<std::uint16_t*>(bitmap.GetBits())[y * 64 + x]; }
    // Lit pixels and their bounding box.
    int Lit(int* minX = nullptr, int* maxX = nullptr) {
        int lit = 0, lo = 64, hi = -1;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (At(x, y) != 0) {
                    ++lit;
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            }
        }
        if (minX) *minX = lo;
        if (maxX) *maxX = hi;
        return lit;
    }
    CWinDibBitmap bitmap;
};

// One motionless particle of a 4 x 4 white sprite, born at (32, 32) by the first step.
std::unique_ptr<CQuorvanParticleSystem2> OneParticle(TParticleWorld& world, const std::string& extra) {
    auto system = MakeSystem(world,
                             "ParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\n"
                             "EmissionSpeed = 34\nColorEnd_A = 255\n" +
                                 extra);
    if (system == nullptr) return nullptr;
    FillParticleTableSequence();
    system->StartAt(I(32), I(32));
    system->RunProcess();
    return system;
}

}  // namespace

TEST(ParticleDraw, ParticleIsDrawnAtItsPosition) {
    TParticleWorld world;
    auto system = OneParticle(world, "");
    ASSERT_NE(system, nullptr);
    ASSERT_EQ(system->GetNumActiveParticels(), 1);
    TCanvas canvas(&world.game);
    system->Draw(&canvas.bitmap);
    int lo = 0, hi = 0;
    EXPECT_GT(canvas.Lit(&lo, &hi), 0);
    const std::uint16_t centre = canvas.At(32, 32);
    EXPECT_GE(Red5(centre), 28) << "white added onto black";
    EXPECT_GE(Green6(centre), 56);
    EXPECT_GE(Blue5(centre), 28);
    EXPECT_GE(lo, 29);
    EXPECT_LE(hi, 35);
}

TEST(ParticleDraw, AlphaUnderOneIsNotDrawnButLives) {
    struct TCase {
        const char* effect;
        const char* why;
    };
    const TCase cases[] = {
        {"ColorStart_A = 0\nColorEnd_A = 0\n", "alpha 0"},
        {"ColorStart_A = 0\nColorEnd_A = 1\n", "alpha rising but still below 1"},
        {"ColorStart_A = -20\nColorEnd_A = -20\n", "negative alpha"},
    };
    for (const TCase& c : cases) {
        TParticleWorld world;
        auto system = OneParticle(world, c.effect);
        ASSERT_NE(system, nullptr);
        system->RunProcess();
        EXPECT_EQ(system->GetNumActiveParticels(), 2) << c.why << ": still alive";
        TCanvas canvas(&world.game);
        system->Draw(&canvas.bitmap);
        EXPECT_EQ(canvas.Lit(), 0) << c.why;
    }
}

TEST(ParticleDraw, MultiplyBlendTintsWithTheParticleColour) {
    TParticleWorld world;
    auto system = OneParticle(world,
                              "AdditiveBlend = 0\nColorStart_G = 0\nColorEnd_G = 0\n"
                              "ColorStart_B = 0\nColorEnd_B = 0\n");
    ASSERT_NE(system, nullptr);
    TCanvas canvas(&world.game);
    system->Draw(&canvas.bitmap);
    const std::uint16_t centre = canvas.At(32, 32);
    EXPECT_GT(Red5(centre), 25);
    EXPECT_EQ(Green6(centre), 0);
    EXPECT_EQ(Blue5(centre), 0);
}

TEST(ParticleDraw, OffsetZoomAndClip) {
    TParticleWorld world;
    auto system = OneParticle(world, "");
    ASSERT_NE(system, nullptr);
    struct TCase {
        TVector2D_16 offset;
        bool zoom;
        TCoordRect2D clip;
        bool clipOn;
        int centreX;
        int centreY;
        bool drawn;
        const char* why;
    };
    const TCase cases[] = {
        {{I(10), I(-4)}, false, {}, false, 42, 28, true, "offset moves the drawing"},
        {{0, 0}, true, {}, false, 16, 16, true, "zoom 0.5 about the origin halves the position"},
        {{0, 0}, false, {0, 0, 20, 20}, true, 32, 32, false, "clip rectangle away from the particle"},
        {{0, 0}, false, {33, 33, 10, 10}, true, 32, 32, true, "clip rectangle touching its circle"},
        {{I(30), 0}, false, {0, 0, 20, 64}, true, 62, 32, false, "clip is compared where it is drawn"},
        {{0, 0}, true, {28, 28, 10, 10}, true, 16, 16, true, "the zoom takes the clip rectangle along"},
        {{0, 0}, true, {12, 12, 8, 8}, true, 16, 16, false, "a rectangle around the zoomed spot is zoomed away"},
    };
    for (const TCase& c : cases) {
        system->m_DrawOffset = c.offset;
        system->m_bZoom = c.zoom;
        system->m_ZoomCenter = TVector2D_16{};
        system->m_nZoomScale = F(0.5);
        system->m_bClip = c.clipOn;
        system->m_ClipRect = c.clip;
        TCanvas canvas(&world.game);
        system->Draw(&canvas.bitmap);
        EXPECT_EQ(canvas.At(c.centreX, c.centreY) != 0, c.drawn) << c.why;
        EXPECT_EQ(canvas.Lit() != 0, c.drawn) << c.why;
    }
    system->m_bClip = false;
    system->m_bZoom = true;
    system->m_nZoomScale = 0;
    TCanvas canvas(&world.game);
    system->Draw(&canvas.bitmap);
    EXPECT_EQ(canvas.Lit(), 0) << "a zoom of 0 draws nothing";
}

TEST(ParticleDraw, NothingWithoutSpritesOrParticles) {
    TParticleWorld world;
    CQuorvanParticleSystem2 bare(&world.game, &world.rotator);
    TCanvas canvas(&world.game);
    bare.Draw(&canvas.bitmap);
    bare.Start();
    bare.RunProcess();
    EXPECT_EQ(bare.GetNumActiveParticels(), 0) << "no sprites: no update";
    bare.Draw(nullptr);
    EXPECT_EQ(canvas.Lit(), 0);
}

TEST(ParticleDraw, SpriteTurnsWithSpinOrAlongItsVelocity) {
    // A white 8 x 2 sprite drawn at (32, 32): wide when unturned, tall when turned a quarter.
    struct TCase {
        const char* effect;
        int steps;
        bool tall;
        const char* why;
    };
    const TCase cases[] = {
        {"ParticleSpinStart = 0\nParticleSpinEnd = 0\n", 10, false, "no spin"},
        // 297.3 degrees per second for 10 steps of 1984/65536 s: 90 degrees.
        {"ParticleSpinStart = 297.3\nParticleSpinEnd = 297.3\n", 10, true, "a quarter turn of spin"},
        // The sprite's length follows the velocity whatever the spin.
        {"DirectionalParticles = 1\nDirection = 0\nSpread = 0\nParticleSpeedMin = 0.01\n"
         "ParticleSpeedMax = 0.01\nParticleSpinStart = 297.3\nParticleSpinEnd = 297.3\n",
         10, true, "moving along x"},
        {"DirectionalParticles = 1\nDirection = 90\nSpread = 0\nParticleSpeedMin = 0.01\n"
         "ParticleSpeedMax = 0.01\nParticleSpinStart = 297.3\nParticleSpinEnd = 297.3\n",
         10, false, "moving along y"},
    };
    for (const TCase& c : cases) {
        TParticleWorld world;
        auto system = MakeSystem(world, std::string("ParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\n"
                                                    "EmissionSpeed = 0\nColorEnd_A = 255\nParticleLifeMin = 10\n"
                                                    "ParticleLifeMax = 10\n") +
                                            c.effect);
        ASSERT_NE(system, nullptr) << c.why;
        CSpriteSet* wide = MakeSpriteSet(&world.game, 1, 8, 2);
        CSpriteSet* square = system->m_Info.m_pSpriteSet;
        system->m_Info.m_pSpriteSet = wide;
        delete square;
        FillParticleTableSequence();
        system->StartAt(I(32), I(32));
        system->EmitNewParticles(1);
        for (int step = 0; step < c.steps; ++step) system->RunProcess();
        ASSERT_EQ(system->GetNumActiveParticels(), 1) << c.why;

        TCanvas canvas(&world.game);
        system->Draw(&canvas.bitmap);
        int minX = 64, maxX = -1, minY = 64, maxY = -1;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (canvas.At(x, y) == 0) continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
        ASSERT_GE(maxX, 0) << c.why << ": drawn";
        const int width = maxX - minX + 1;
        const int height = maxY - minY + 1;
        EXPECT_EQ(height > width, c.tall) << c.why << ": " << width << " x " << height;
        EXPECT_GE(std::max(width, height), 7) << c.why;
        EXPECT_LE(std::min(width, height), 4) << c.why;
    }
}

TEST(ParticleDraw, AdditiveAddsOntoTheBackgroundMultiplyCoversIt) {
    // An opaque white sprite tinted (200, 0, 0) over grey (96, 96, 96): added, the red channel
    // saturates and the grey stays in green and blue; multiplied and blended normally, the
    // sprite's tinted colour replaces the grey.
    struct TCase {
        int additive;
        int red;
        int green;
        int blue;
        const char* why;
    };
    const TCase cases[] = {
        {1, 255, 96, 96, "additive"},
        {0, 200, 0, 0, "multiply"},
    };
    for (const TCase& c : cases) {
        TParticleWorld world;
        auto system = OneParticle(world,
                                  "ColorStart_R = 200\nColorEnd_R = 200\nColorStart_G = 0\n"
                                  "ColorEnd_G = 0\nColorStart_B = 0\nColorEnd_B = 0\nAdditiveBlend = " +
                                      std::to_string(c.additive) + "\n");
        ASSERT_NE(system, nullptr) << c.why;
        TCanvas canvas(&world.game);
        canvas.bitmap.ClearBitmap(96, 96, 96);
        system->Draw(&canvas.bitmap);
        const std::uint16_t centre = canvas.At(32, 32);
        // RGB565 keeps 5 or 6 bits of each channel: compare at that precision, one step apart.
        EXPECT_NEAR(Red5(centre), c.red >> 3, 1) << c.why;
        EXPECT_NEAR(Green6(centre), c.green >> 2, 1) << c.why;
        EXPECT_NEAR(Blue5(centre), c.blue >> 3, 1) << c.why;
        EXPECT_EQ(canvas.At(5, 5), canvas.At(60, 60)) << c.why << ": the rest stays grey";
    }
}

TEST(ParticleDraw, FastDrawChangesNothing) {
    // The same effect with and without FastDraw, from the same random draws: the same particles
    // and the same picture.
    TParticleWorld world;
    const std::string effect =
        "ParticleSpinStart = 40\nParticleSpinEnd = 200\nParticleSizeEnd = 2\n"
        "ColorEnd_G = 30\nEmissionSpeed = 200\n";
    std::vector<std::uint16_t> pictures[2];
    std::vector<CQuorvanParticle2> particles[2];
    for (int fast = 0; fast < 2; ++fast) {
        auto system = MakeSystem(world, effect + "FastDraw = " + std::to_string(fast) + "\n");
        ASSERT_NE(system, nullptr);
        ASSERT_EQ(system->m_Info.m_FastDraw, fast);
        FillParticleTableSequence();
        system->StartAt(I(32), I(32));
        for (int step = 0; step < 12; ++step) system->RunProcess();
        TCanvas canvas(&world.game);
        system->Draw(&canvas.bitmap);
        const auto* bits = reinterpret_cast<const std::uint16_t*>(canvas.bitmap.GetBits());
        pictures[fast].assign(bits, bits + 64 * 64);
        particles[fast].assign(system->GetParticles(), system->GetParticles() + system->GetNumActiveParticels());
    }
    ASSERT_FALSE(particles[0].empty());
    ASSERT_EQ(particles[0].size(), particles[1].size());
    for (std::size_t k = 0; k < particles[0].size(); ++k) {
        EXPECT_EQ(particles[0][k].x, particles[1][k].x) << k;
        EXPECT_EQ(particles[0][k].y, particles[1][k].y) << k;
        EXPECT_EQ(particles[0][k].size, particles[1][k].size) << k;
        EXPECT_EQ(particles[0][k].alpha, particles[1][k].alpha) << k;
    }
    EXPECT_GT(std::count_if(pictures[0].begin(), pictures[0].end(), [](std::uint16_t p) { return p != 0; }), 0);
    EXPECT_TRUE(pictures[0] == pictures[1]);
}
