#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "FarmTestObject.h"
#include "game/farm/YardCamera.h"
#include "testsupport/FakeFarmGame.h"

namespace {

// The camera in double precision, written from the projection's definition: t grows from 0 at the
// far edge to 1 at the near edge, the scale is 0.5 + t / 2, the far edge lies at H - 314.
double T(double depth) { return 1.0 / (1.0 - depth / 658.0) - 1.0; }

// The screen x keeps 8 fraction bits of the depth scale: the 16.16 scale (rounded) shifted right
// by 8 multiplies the distance from the centre line.
double ScreenX(double x, double depth, int width) {
    const double scale16 = std::round((0.5 + 0.5 * T(depth)) * 65536.0);
    const double s = std::floor(scale16 / 256.0) / 256.0;
    return s * (x - 320) + width / 2;
}

TEST(YardCamera, ScaleAtTheEdgesAndBetween) {
    EXPECT_EQ(WorldToScreenScale(TVector2D{0, 0}), 32768);
    EXPECT_EQ(WorldToScreenScale(TVector2D{0, 329 * 256}), 65536);
    for (int depth = 0; depth <= 329; depth += 7) {
        const double expected = (0.5 + 0.5 * T(depth)) * 65536.0;
        EXPECT_NEAR(WorldToScreenScale(TVector2D{123 * 256, depth * 256}), expected, 1.0) << depth;
    }
}

TEST(YardCamera, WorldToScreenAgainstTheProjection) {
    CFakeFarmGame game;
    game.SetGameSize(360, 640);
    // The centre line stays at the screen's centre; the edges sit at H - 314 and H + 15.
    for (int depth : {0, 100, 329}) EXPECT_EQ(WorldToScreen(&game, TVector2D{320 * 256, depth * 256}).x, 180 * 256);
    EXPECT_EQ(WorldToScreen(&game, TVector2D{0, 0}).y, (640 - 314) * 256);
    EXPECT_EQ(WorldToScreen(&game, TVector2D{0, 329 * 256}).y, (640 + 15) * 256);
    for (int x = 0; x <= 640; x += 80) {
        for (int depth = 0; depth <= 329; depth += 47) {
            const double sx = ScreenX(x, depth, 360);
            const double sy = 640 - 314 + 329 * T(depth);
            const TVector2D s = WorldToScreen(&game, TVector2D{x * 256, depth * 256});
            EXPECT_NEAR(s.x, sx * 256, 2.0) << x << "," << depth;
            EXPECT_NEAR(s.y, sy * 256, 2.0) << x << "," << depth;
        }
    }
}

TEST(YardCamera, ScreenToWorldUndoesWorldToScreen) {
    CFakeFarmGame game;
    game.SetGameSize(320, 480);
    for (int x = 0; x <= 640 * 256; x += 9973) {
        for (int y = 0; y <= 329 * 256; y += 3331) {
            const TVector2D back = ScreenToWorld(&game, WorldToScreen(&game, TVector2D{x, y}));
            EXPECT_LE(std::abs(back.y - y), 1) << x << "," << y;
            // The way there drops the scale's low 8 fraction bits (at most 1/256 of the distance
            // from the centre line, doubled back at the far edge's scale of 0.5); the way back
            // does not put them back.
            EXPECT_LE(std::abs(back.x - x), std::abs(x - 320 * 256) / 128 + 1) << x << "," << y;
            EXPECT_EQ(ScreenToWorld(&game, WorldToScreen(&game, TVector2D{320 * 256, y})).x, 320 * 256);
        }
    }
    // Screen points invert exactly up to the last fraction bit both ways.
    for (int sx = 0; sx <= 320 * 256; sx += 7919) {
        for (int sy = (480 - 314) * 256; sy <= (480 + 15) * 256; sy += 4001) {
            const TVector2D world = ScreenToWorld(&game, TVector2D{sx, sy});
            const double t = (sy / 256.0 - (480 - 314)) / 329.0;
            EXPECT_NEAR(world.x, ((sx / 256.0 - 160) / (0.5 + 0.5 * t) + 320) * 256, 1.0) << sx << "," << sy;
            EXPECT_NEAR(world.y, (1 - 1 / (t + 1)) * 658 * 256, 1.0) << sx << "," << sy;
        }
    }
}

// On a screen 643 rows or more high (a 1080 x 2400 phone: 320 x 711) the rows above the far edge
// reach 329 rows above it, where the inverse would divide by zero, and beyond, where it would put a
// dragged object in front of the yard. Every row above the far edge is the far edge.
TEST(YardCamera, RowsAboveTheFarEdgeMapOntoItOnTallScreens) {
    CFakeFarmGame game;
    for (int height : {480, 643, 711, 1024}) {
        game.SetGameSize(320, height);
        const int farRow = height - 314;
        for (int row : {0, height - 643, height - 643 + 1, farRow / 2, farRow - 1, farRow}) {
            if (row < 0) continue;
            for (int column : {0, 100, 160, 320}) {
                const TVector2D world = ScreenToWorld(&game, TVector2D{column * 256, row * 256});
                EXPECT_EQ(world.y, 0) << height << " row " << row;
                // At the far edge the scale is one half: x spreads twice as far from the centre line.
                EXPECT_EQ(world.x, (2 * (column - 160) + 320) * 256) << height << " row " << row;
            }
        }
        // Just below the far edge the yard goes on as before.
        const double t = 1.0 / 329.0;
        EXPECT_NEAR(ScreenToWorld(&game, TVector2D{160 * 256, (farRow + 1) * 256}).y, (1 - 1 / (t + 1)) * 658 * 256,
                    1.0);
    }
}

TEST(YardCamera, DepthOrderPutsFartherObjectsFirst) {
    CFakeFarmGame game;
    const int depths[] = {300, 10, 150, 10, 0, 329};
    std::vector<CTestFarmObject*> owned;
    std::vector<CFarmObject*> order;
    for (int d : depths) {
        owned.push_back(new CTestFarmObject(&game, kFarmObjectDecor, 0, d * 256));
        order.push_back(owned.back());
    }
    std::qsort(order.data(), order.size(), sizeof(CFarmObject*), CompareFunc);
    const int sorted[] = {0, 10, 10, 150, 300, 329};
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i]->m_Position.y, sorted[i] * 256);
    CFarmObject* a = owned[1];
    CFarmObject* b = owned[3];
    EXPECT_EQ(CompareFunc(&a, &b), 0) << "equal depths compare equal";
    for (CTestFarmObject* o : owned) delete o;
}

}  // namespace
