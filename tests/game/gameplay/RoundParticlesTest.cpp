// The round's particle trails and rings with effects of their own: the trail a marble leaves
// along its path (four particles a frame in its colour, between where it stood and where it
// stands), the white trail of a ray (one particle every fifth substep), and the ring a bomb's
// blast emits (thirty particles on a circle that grows with the blast, round a centre that
// moves from its start to its end).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RoundTestGame.h"
#include "core/MemFile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/RandomTables.h"

namespace gameplaytest {
namespace {

class RoundParticlesTest : public RoundTest {
protected:
    RoundParticlesTest() {
        game.m_pParticleManager = new CQuorvanParticleSystemManager2(&game, game.m_pRotatorScaler, 4);
        trail = AddSystem("trail", 0);
        ring = AddSystem("ring", 2);
    }
    // The sprites are the suite's set, not the effects' own: they are given back before the
    // effects go.
    ~RoundParticlesTest() override {
        for (CQuorvanParticleSystem2* system : {trail, ring}) system->m_Info.m_pSpriteSet = nullptr;
        SafeDelete(game.m_pParticleManager);
    }
    CQuorvanParticleSystem2* AddSystem(const char* name, int effect) { return AddParticleEffect(name, effect); }
    static double Px(FIXED_FLOAT_16 v) { return v / 65536.0; }

    // A blast ring of that radius moving from (100, 200) to (140, 220) over two frames, added.
    void AddRing(float radius) {
        CAnimation a;
        a.kind = kAnimationRing;
        a.start = TVector2D{100 * 256, 200 * 256};
        a.end = TVector2D{140 * 256, 220 * 256};
        a.duration = 2 * 256;
        a.ringRadius = radius;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
    }
    // A shared random table filled for a test from its start, given back with its index after.
    template <int N>
    class FilledTable {
    public:
        FilledTable(std::int32_t (&table)[N], int& index, std::int32_t (*value)(int))
            : m_Table(table), m_Index(index), m_nKeptIndex(index) {
            std::memcpy(m_Kept, table, sizeof m_Kept);
            for (int i = 0; i < N; ++i) table[i] = value(i);
            index = 0;
        }
        ~FilledTable() {
            std::memcpy(m_Table, m_Kept, sizeof m_Kept);
            m_Index = m_nKeptIndex;
        }
        FilledTable(const FilledTable&) = delete;
        FilledTable& operator=(const FilledTable&) = delete;

    private:
        std::int32_t (&m_Table)[N];
        int& m_Index;
        int m_nKeptIndex;
        std::int32_t m_Kept[N] = {};
    };
    // Emission points spread round a shape: the shared game table (left zero in the suites, which
    // puts every point at a shape's start) filled with a fixed spread.
    class SpreadRandoms : public FilledTable<kGameRandomTableSize> {
    public:
        SpreadRandoms()
            : FilledTable(g_GameRandomTable, g_GameRandomTableIndex, [](int i) { return (i * 7919 + 13) % 32768; }) {}
    };
    // Every particle born halfway along its emitter's move: the particles' shared table (zero in
    // the suites, which puts every birth at the move's start) filled with 128.
    class HalfwayBirths : public FilledTable<kParticleRandomTableSize> {
    public:
        HalfwayBirths() : FilledTable(g_RandomTable, g_RandomTableIndex, [](int) { return std::int32_t{128}; }) {}
    };

    // How far a point at `degrees` from the centre lies on a regular polygon of 20 corners, one
    // every 18 degrees from 0, round a circle of radius r.
    static double OnTwentyCorners(double degrees, double r) {
        const double within = std::fmod(std::fmod(degrees, 18.0) + 18.0, 18.0);
        const double rad = 3.14159265358979323846 / 180.0;
        return r * std::cos(9.0 * rad) / std::cos((within - 9.0) * rad);
    }
    // Runs the animations once and checks the 30 new ring particles lie on the twenty corners'
    // figure round (cx, cy) of radius r; returns how many there are now.
    int ExpectRing(int before, double cx, double cy, double r) {
        screen->RunProcessAnimations();
        EXPECT_EQ(ring->GetNumActiveParticels(), before + 30);
        double lowest = 360, highest = -360;
        for (int i = before; i < ring->GetNumActiveParticels(); ++i) {
            const CQuorvanParticle2& p = ring->GetParticles()[i];
            const double dx = Px(p.x) - cx, dy = Px(p.y) - cy;
            const double degrees = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
            EXPECT_NEAR(std::hypot(dx, dy), OnTwentyCorners(degrees, r), 0.3) << i << " at " << degrees;
            lowest = std::min(lowest, degrees);
            highest = std::max(highest, degrees);
        }
        EXPECT_GT(highest - lowest, 180.0) << "spread round the ring";
        return ring->GetNumActiveParticels();
    }

    CQuorvanParticleSystem2* trail = nullptr;
    CQuorvanParticleSystem2* ring = nullptr;
};

TEST_F(RoundParticlesTest, AMarbleOnItsPathLeavesFourParticlesOfItsColourAFrame) {
    // Green, then red and yellow after it: each trail takes all three of its marble's components.
    const struct {
        int colour;
        int red, green, blue;
    } cases[] = {{1, 0, 255, 0}, {0, 255, 0, 0}, {3, 255, 255, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        trail->Stop(true);
        CMarble* m = Put(c.colour, 60, 200);
        m->m_nSpeed = 8 * 65536;
        GivePath(m, 260, 200);
        screen->RunProcessMovementAndCollisions();
        const double from = 60.0, to = Px(m->m_Position.x);
        ASSERT_GT(to, 67.0);
        ASSERT_EQ(trail->GetNumActiveParticels(), 4);
        for (int i = 0; i < 4; ++i) {
            const CQuorvanParticle2& p = trail->GetParticles()[i];
            EXPECT_EQ(p.red, c.red * 65536) << i;
            EXPECT_EQ(p.green, c.green * 65536) << i;
            EXPECT_EQ(p.blue, c.blue * 65536) << i;
            EXPECT_GE(Px(p.x), from - 0.01) << i;
            EXPECT_LE(Px(p.x), to + 0.01) << i;
            EXPECT_NEAR(Px(p.y), 200.0, 0.01) << i;
        }
        EXPECT_EQ(ring->GetNumActiveParticels(), 0);
        EXPECT_TRUE(trail->IsStopped()) << "it emits only when told";
        // The next frame adds four more.
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(trail->GetNumActiveParticels(), 8);
    }
}

TEST_F(RoundParticlesTest, ARayLeavesAWhiteParticleEveryFifthSubstep) {
    HalfwayBirths halfway;
    CRay r;
    r.position = TVector2D_16{100 * 65536, 200 * 65536};
    r.step = TVector2D_16{65536, 0};
    ASSERT_EQ(screen->m_Rays.Add(r), 1);
    screen->RunProcessLightRays();
    ASSERT_EQ(trail->GetNumActiveParticels(), 4);
    EXPECT_TRUE(trail->IsStopped());
    for (int i = 0; i < 4; ++i) {
        const CQuorvanParticle2& p = trail->GetParticles()[i];
        EXPECT_EQ(p.red, 255 * 65536) << i;
        EXPECT_EQ(p.green, 255 * 65536) << i;
        EXPECT_EQ(p.blue, 255 * 65536) << i;
        EXPECT_NEAR(Px(p.y), 200.0, 0.01);
    }
    // Halfway along the moves of substeps 0, 5, 10 and 15: from 100 to 101, 105 to 106, ...
    std::vector<double> xs;
    for (int i = 0; i < 4; ++i) xs.push_back(Px(trail->GetParticles()[i].x));
    std::sort(xs.begin(), xs.end());
    const double expected[] = {100.5, 105.5, 110.5, 115.5};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(xs[static_cast<std::size_t>(i)], expected[i], 0.01) << i;
}

TEST_F(RoundParticlesTest, ABlastsRingGrowsWithItsClockRoundACentreThatMoves) {
    ASSERT_NO_FATAL_FAILURE(AddRing(40.0f));
    // Clock 1.0 of 2.0: radius 20 round (120, 210); then clock 2.0: radius 40 round (140, 220).
    const struct { double cx, cy, r; } steps[] = {{120, 210, 20}, {140, 220, 40}};
    int before = 0;
    for (const auto& s : steps) {
        screen->RunProcessAnimations();
        ASSERT_EQ(ring->GetNumActiveParticels(), before + 30);
        for (int i = before; i < before + 30; ++i) {
            const CQuorvanParticle2& p = ring->GetParticles()[i];
            EXPECT_NEAR(std::hypot(Px(p.x) - s.cx, Px(p.y) - s.cy), s.r, 0.05) << i;
        }
        before += 30;
    }
    EXPECT_FALSE(ring->IsStopped() && ring->GetNumActiveParticels() == 0);
}

// With the shared random tables at zero every particle is born at the figure's first corner: the
// full radius to the right of the centre, to the 1/65536 of a pixel.
TEST_F(RoundParticlesTest, ABlastsRingParticlesAreBornExactlyAtItsFirstCorner) {
    ASSERT_NO_FATAL_FAILURE(AddRing(40.0f));
    // Clock 1.0 of 2.0: radius 20 round (120, 210); then clock 2.0: radius 40 round (140, 220).
    const struct { int x, y; } corners[] = {{120 + 20, 210}, {140 + 40, 220}};
    int before = 0;
    for (const auto& corner : corners) {
        screen->RunProcessAnimations();
        ASSERT_EQ(ring->GetNumActiveParticels(), before + 30);
        for (int i = before; i < before + 30; ++i) {
            EXPECT_EQ(ring->GetParticles()[i].x, corner.x * 65536) << i;
            EXPECT_EQ(ring->GetParticles()[i].y, corner.y * 65536) << i;
        }
        before += 30;
    }
}

TEST_F(RoundParticlesTest, ABlastsRingIsATwentyCorneredFigureRoundItsMovingCentre) {
    SpreadRandoms spread;
    ASSERT_NO_FATAL_FAILURE(AddRing(100.0f));
    // Clock 1.0 of 2.0: radius 50 round (120, 210); then clock 2.0: radius 100 round (140, 220).
    const int after = ExpectRing(0, 120, 210, 50);
    // The ring emits only when told: stopped, and its shape handed back, between frames.
    EXPECT_TRUE(ring->IsStopped());
    EXPECT_EQ(ring->m_Info.m_pEmitShape, nullptr);
    ExpectRing(after, 140, 220, 100);
    EXPECT_TRUE(ring->IsStopped());
    EXPECT_EQ(ring->m_Info.m_pEmitShape, nullptr);
}

TEST_F(RoundParticlesTest, ARingPastItsDurationStaysAtItsEndAndFullSize) {
    SpreadRandoms spread;
    const struct {
        FIXED_FLOAT duration;
        const char* why;
    } cases[] = {{256 + 128, "clock 2.0 of 1.5 counts as 1.5"}, {0, "no duration: at once at the end"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        screen->m_Animations.count = 0;
        CAnimation a;
        a.kind = kAnimationRing;
        a.start = TVector2D{100 * 256, 200 * 256};
        a.end = TVector2D{160 * 256, 260 * 256};
        a.duration = c.duration;
        a.ringRadius = 60.0f;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
        const int before = ring->GetNumActiveParticels();
        if (c.duration > 256) screen->RunProcessAnimations();  // clock 1.0
        ExpectRing(ring->GetNumActiveParticels(), 160, 260, 60);
        EXPECT_EQ(screen->m_Animations.count, 0);
        EXPECT_GT(ring->GetNumActiveParticels(), before);
    }
}

TEST_F(RoundParticlesTest, OnlyARingAnimationEmitsParticles) {
    CAnimation a;
    a.start = a.end = TVector2D{100 * 256, 200 * 256};
    a.duration = 2 * 256;
    a.ringRadius = 40.0f;
    ASSERT_EQ(screen->m_Animations.Add(a), 1);
    screen->RunProcessAnimations();
    screen->RunProcessAnimations();
    EXPECT_EQ(ring->GetNumActiveParticels(), 0);
    EXPECT_EQ(trail->GetNumActiveParticels(), 0);
}

}  // namespace
}  // namespace gameplaytest
