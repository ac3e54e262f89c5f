// Emission shapes: segment lengths, circles, editing, random points and the flow walk, and
// shapes too short to walk.
#include <gtest/gtest.h>

#include <cmath>

#include "ParticleTestFixtures.h"
#include "particles/ParticleSystemShape.h"

using namespace particle_test;

namespace {

TVector2D_16 P(double x, double y) { return TVector2D_16{F(x), F(y)}; }

// A 10 x 10 square walked clockwise on the screen from the origin.
void AddSquare(CQuorvanParticleSystemShape2& shape) {
    ASSERT_EQ(shape.AddSegment(P(0, 0), P(10, 0)), 1);
    ASSERT_EQ(shape.AddSegment(P(10, 0), P(10, 10)), 1);
    ASSERT_EQ(shape.AddSegment(P(10, 10), P(0, 10)), 1);
    ASSERT_EQ(shape.AddSegment(P(0, 10), P(0, 0)), 1);
}

}  // namespace

TEST(ParticleShape, SegmentLengths) {
    struct TCase {
        double dx;
        double dy;
        const char* why;
    };
    const TCase cases[] = {
        {3, 4, "3-4-5"},
        {-10, 10, "diagonal"},
        {0.5, 0, "sub-pixel"},
        {181, 0, "at the scaling threshold"},
        {300, -400, "beyond it: scaled by 128 while squaring"},
        {0, 0, "empty"},
    };
    for (const TCase& c : cases) {
        const double expected = std::hypot(c.dx, c.dy);
        // Scaling drops up to 7 low bits of each coordinate: allow that much.
        EXPECT_NEAR(ParticleVectorLength(F(c.dx), F(c.dy)) / 65536.0, expected, 0.02) << c.why;
    }
    EXPECT_EQ(ParticleVectorLength(F(3), F(4)), F(5));
}

TEST(ParticleShape, CircleOfFourPoints) {
    TParticleWorld world;
    CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
    shape.AddCircle(F(10), 4, 0, 0);
    ASSERT_EQ(shape.GetNumSegments(), 4);
    const TVector2D_16 points[] = {P(10, 0), P(0, 10), P(-10, 0), P(0, -10)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(shape.GetSegmentStart(i).x, points[i].x) << i;
        EXPECT_EQ(shape.GetSegmentStart(i).y, points[i].y) << i;
        EXPECT_EQ(shape.GetSegmentEnd(i).x, points[(i + 1) % 4].x) << i;
        EXPECT_EQ(shape.GetSegmentEnd(i).y, points[(i + 1) % 4].y) << i;
        EXPECT_NEAR(shape.GetSegmentLength(i) / 65536.0, std::sqrt(200.0), 1e-4) << i;
    }
    EXPECT_NEAR(shape.GetTotalLength() / 65536.0, 4 * std::sqrt(200.0), 4e-4);

    CQuorvanParticleSystemShape2 moved(&world.game, &world.rotator);
    moved.AddCircle(F(5), 3, F(20), F(-2));  // 120-degree steps around (20, -2)
    ASSERT_EQ(moved.GetNumSegments(), 3);
    EXPECT_NEAR(moved.GetSegmentStart(1).x / 65536.0, 20 + 5 * std::cos(2.0943951), 0.05);
    EXPECT_NEAR(moved.GetSegmentStart(1).y / 65536.0, -2 + 5 * std::sin(2.0943951), 0.05);
    moved.AddCircle(F(5), 0, 0, 0);
    EXPECT_EQ(moved.GetNumSegments(), 3) << "no points: nothing added";
}

TEST(ParticleShape, FlowWalksOneDeltaAtATimeAroundTheShape) {
    TParticleWorld world;
    CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
    AddSquare(shape);
    shape.m_bFlow = 1;
    shape.SetEmitDelta(F(5));
    const TVector2D_16 expected[] = {P(0, 0),  P(5, 0), P(10, 0), P(10, 5), P(10, 10), P(5, 10),
                                     P(0, 10), P(0, 5), P(0, 0),  P(5, 0),  P(10, 0)};
    for (int i = 0; i < 11; ++i) {
        const TVector2D_16 p = shape.GetNextEmitPointFlow();
        EXPECT_EQ(p.x, expected[i].x) << "point " << i;
        EXPECT_EQ(p.y, expected[i].y) << "point " << i;
    }
    shape.ResetEmitPoint(F(12.5));
    const TVector2D_16 p = shape.GetNextEmitPointFlow();
    EXPECT_EQ(p.x, F(10));
    EXPECT_EQ(p.y, F(2.5));
    shape.ResetEmitPoint(F(40 * 300 + 25));  // 300 rounds on: still on the third side
    const TVector2D_16 q = shape.GetNextEmitPointFlow();
    EXPECT_EQ(q.x, F(5));
    EXPECT_EQ(q.y, F(10));
}

TEST(ParticleShape, RandomPointsFollowTheGameTable) {
    TParticleWorld world;
    CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
    AddSquare(shape);
    // A value v lands at v mod 40 pixels along the square.
    struct TCase {
        int value;
        double x;
        double y;
    };
    const TCase cases[] = {{0, 0, 0}, {7, 7, 0}, {10, 10, 0}, {15, 10, 5}, {39, 0, 1}, {40 + 22, 8, 10}};
    for (const TCase& c : cases) {
        g_GameRandomTable[0] = c.value;
        g_GameRandomTableIndex = 0;
        const TVector2D_16 p = shape.GetNextEmitPointRandom();
        // The fraction along a segment is taken in 1/4096 steps: allow a hundredth of a pixel.
        EXPECT_NEAR(p.x / 65536.0, c.x, 0.01) << c.value;
        EXPECT_NEAR(p.y / 65536.0, c.y, 0.01) << c.value;
    }
}

TEST(ParticleShape, RandomPointOfOneSegmentLiesOnIt) {
    TParticleWorld world;
    world.game.SeedRandoms(99);
    CreateGameRandomsTable(&world.game);
    CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
    ASSERT_EQ(shape.AddSegment(P(-3, 2), P(27, 17)), 1);  // y = 2 + (x + 3) / 2
    for (int i = 0; i < 200; ++i) {
        const TVector2D_16 p = shape.GetNextEmitPointRandom();
        const double x = p.x / 65536.0, y = p.y / 65536.0;
        EXPECT_GE(x, -3.0);
        EXPECT_LE(x, 27.0);
        EXPECT_NEAR(y, 2 + (x + 3) / 2, 0.01);
    }
}

TEST(ParticleShape, EditingKeepsOrderAndTotal) {
    TParticleWorld world;
    CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
    AddSquare(shape);
    ASSERT_EQ(shape.AddSegment(P(0, 0), P(3, 4)), 1);
    EXPECT_EQ(shape.GetTotalLength(), F(45));
    shape.RemoveSegment(1);
    ASSERT_EQ(shape.GetNumSegments(), 4);
    EXPECT_EQ(shape.GetTotalLength(), F(35));
    EXPECT_EQ(shape.GetSegmentStart(0).x, F(0));
    EXPECT_EQ(shape.GetSegmentStart(1).x, F(10)) << "the old third segment moved down";
    EXPECT_EQ(shape.GetSegmentStart(1).y, F(10));
    EXPECT_EQ(shape.GetSegmentEnd(3).x, F(3));
    shape.SetSegment(3, P(0, 0), P(0, 20));
    EXPECT_EQ(shape.GetTotalLength(), F(50));
    shape.RemoveSegment(9);
    shape.SetSegment(-1, P(0, 0), P(1, 1));
    EXPECT_EQ(shape.GetNumSegments(), 4);
    EXPECT_EQ(shape.GetTotalLength(), F(50));
}

TEST(ParticleShape, ShapesTooShortToWalkGiveTheFirstPoint) {
    struct TCase {
        double segments[2][4];
        int count;
        double x;
        double y;
        const char* why;
    };
    const TCase cases[] = {
        {{{3, 4, 3.5, 4}, {0, 0, 0, 0}}, 1, 3, 4, "total under one pixel"},
        {{{2, 2, 2, 2}, {5, 5, 5, 5}}, 2, 2, 2, "every segment empty"},
        {{{0, 0, 0, 0}, {0, 0, 0, 0}}, 0, 0, 0, "no segments at all"},
    };
    TParticleWorld world;
    for (const TCase& c : cases) {
        CQuorvanParticleSystemShape2 shape(&world.game, &world.rotator);
        for (int i = 0; i < c.count; ++i) {
            ASSERT_EQ(shape.AddSegment(P(c.segments[i][0], c.segments[i][1]), P(c.segments[i][2], c.segments[i][3])),
                      1);
        }
        for (int i = 0; i < 3; ++i) {
            const TVector2D_16 random = shape.GetNextEmitPointRandom();
            const TVector2D_16 flow = shape.GetNextEmitPointFlow();
            EXPECT_EQ(random.x, F(c.x)) << c.why;
            EXPECT_EQ(random.y, F(c.y)) << c.why;
            EXPECT_EQ(flow.x, F(c.x)) << c.why;
            EXPECT_EQ(flow.y, F(c.y)) << c.why;
        }
    }
}

TEST(ParticleShape, SystemEmitsFromItsShape) {
    TParticleWorld world;
    auto system = MakeSystem(world,
                             "ParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\n"
                             "ParticleLifeMin = 100\nParticleLifeMax = 100\nEmissionSpeed = 330\n");
    ASSERT_NE(system, nullptr);
    auto* shape = new CQuorvanParticleSystemShape2(&world.game, &world.rotator);
    AddSquare(*shape);
    shape->m_bFlow = 1;
    shape->SetEmitDelta(F(5));
    EXPECT_EQ(system->SetEmitShape(shape), 1);
    FillParticleTableSequence();
    system->StartAt(I(100), I(200));
    system->RunProcess();
    ASSERT_EQ(system->GetNumActiveParticels(), 9);
    const double along[9][2] = {{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}, {0, 5}, {0, 0}};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(system->GetParticles()[k].x, F(100 + along[k][0])) << k;
        EXPECT_EQ(system->GetParticles()[k].y, F(200 + along[k][1])) << k;
    }
    system.reset();  // the shape stays the caller's
    EXPECT_EQ(shape->GetNumSegments(), 4);
    delete shape;
}
