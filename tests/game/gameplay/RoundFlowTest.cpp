// The round's marble flow: speeds and spawn intervals by the difficulty index (expected values
// worked out by hand from the rules in single precision), where edge spawns land in the order the
// random numbers are drawn, the play-area tests on their edges, and movement along a path.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "RefusedAllocation.h"
#include "RoundTestGame.h"
#include "game/gameplay/MarblePowerup.h"

namespace gameplaytest {
namespace {

class RoundFlowTest : public RoundTest {};

// Sets the difficulty: arena index x 5 + level is the index.
void SetLevel(CXGameplaySurvival* s, int arena, int level, int cleared, int target, bool easing) {
    s->m_nArenaIndex = arena;
    s->m_nLevel = level;
    s->m_nCleared = cleared;
    s->m_nLevelTarget = target;
    s->m_nEasingCounter = easing ? 100 : 0;
}

struct TSpeedCase {
    int arena, level, cleared, target;
    bool easing;
    FIXED_FLOAT_16 expected;
    const char* why;
};

TEST_F(RoundFlowTest, FreeSpeedRisesWithTheIndexAndWithinTheLevel) {
    const TSpeedCase cases[] = {
        {0, 0, 0, 20, false, 16384, "index 0 starts at 0.25"},
        {0, 0, 20, 20, false, 16384, "and ends at 0.25"},
        {1, 0, 10, 20, false, 26870, "index 5 half way: 0.37 + 0.04 = 0.41"},
        {2, 0, 0, 20, false, 37356, "index 10 starts at 0.65 - 0.08"},
        {2, 0, 0, 20, true, 32113, "easing starts at s - 0.16 = 0.49"},
        {2, 14, 0, 35, false, 73400, "index 24 starts at 1.2 - 0.08"},
        {2, 14, 35, 35, false, 78643, "and reaches the cap 1.2"},
        {2, 20, 35, 35, false, 78643, "the cap holds past index 24"},
        {0, 3, 25, 34, false, 22861, "single precision: 22860 in double"},
    };
    for (const TSpeedCase& c : cases) {
        SetLevel(screen, c.arena, c.level, c.cleared, c.target, c.easing);
        EXPECT_EQ(screen->Difficulty_GetBasicEnemySpeedOnCurrentLevel(), c.expected) << c.why;
    }
}

TEST_F(RoundFlowTest, PathSpeedJumpsByTwentyPastTwenty) {
    const struct {
        int arena, level;
        FIXED_FLOAT_16 expected;
    } cases[] = {{0, 0, 8 * 65536}, {0, 1, 557056}, {2, 13, 1277952}, {2, 14, 20 * 65536}, {2, 15, 2654208}};
    for (const auto& c : cases) {
        SetLevel(screen, c.arena, c.level, 0, 20, false);
        EXPECT_EQ(screen->Difficulty_GetRollingSpeedOnCurrentLevel(), c.expected) << c.arena << " " << c.level;
    }
}

TEST_F(RoundFlowTest, SpawnIntervalFollowsTheBaseAndTheLevelsProgress) {
    const struct {
        int arena, level, cleared, target;
        bool easing;
        int expected;
        const char* why;
    } cases[] = {
        {0, 1, 0, 21, true, 30, "easing at index 1: the base is 30, not 27"},
        {1, 0, 0, 20, true, 30, "easing at index 5 counts as index 3: base 21, level start 30"},
        {2, 0, 0, 20, false, 30, "index 10 at the level's start"},
        {2, 0, 10, 20, false, 15, "index 10 half way: 1 + 29 / 2"},
        {2, 0, 20, 20, false, 1, "index 10 at the end: the base 1"},
        {0, 3, 5, 20, false, 27, "index 3 a quarter in: 21 + 9 x 0.75"},
        {1, 4, 7, 21, false, 20, "single precision: 21 in double"},
    };
    for (const auto& c : cases) {
        SetLevel(screen, c.arena, c.level, c.cleared, c.target, c.easing);
        game.randoms.assign(40, 0);
        screen->Difficulty_RunProcessSpawnEnemies();
        EXPECT_EQ(screen->m_nSpawnInterval, c.expected) << c.why;
        EXPECT_EQ(screen->m_nEasingCounter, c.easing ? 99 : 0) << "easing counts down once a frame";
    }
}

// A level near the largest int (only reachable by playing, a stored one is refused far below it)
// holds the difficulty index at that int instead of wrapping it to a negative one.
TEST_F(RoundFlowTest, TheDifficultyIndexStopsAtTheLargestInt) {
    const struct {
        int arena, level, expected;
    } cases[] = {{0, 0, 0},
                 {2, 3, 13},
                 {2, INT_MAX - 11, INT_MAX - 1},
                 {2, INT_MAX - 10, INT_MAX},
                 {1, INT_MAX - 4, INT_MAX},
                 {2, INT_MAX, INT_MAX}};
    for (const auto& c : cases) {
        SetLevel(screen, c.arena, c.level, 0, 20, false);
        EXPECT_EQ(screen->GetDifficultyIndex(), c.expected) << c.arena << " " << c.level;
    }
    // At the top the speeds stay at their caps and the spawn interval at its floor.
    SetLevel(screen, 2, INT_MAX, 35, 35, false);
    EXPECT_EQ(screen->Difficulty_GetBasicEnemySpeedOnCurrentLevel(), 78643) << "the cap 1.2";
    EXPECT_EQ(screen->Difficulty_GetRollingSpeedOnCurrentLevel(), INT_MAX);
    game.randoms.assign(40, 0);
    screen->Difficulty_RunProcessSpawnEnemies();
    EXPECT_EQ(screen->m_nSpawnInterval, 1);
}

TEST_F(RoundFlowTest, ALevelStartsWithAMarbleEvery31Frames) {
    SetLevel(screen, 0, 0, 0, 20, false);
    int spawned = 0, lastFrame = 0;
    std::vector<int> gaps;
    for (int frame = 1; frame <= 93; ++frame) {
        // Every spawn draws the edge, two coordinates and the colour.
        game.randoms.assign({0, 10 + 100 * spawned, 0, 1});
        const int before = screen->m_Marbles.count;
        screen->Difficulty_RunProcessSpawnEnemies();
        if (screen->m_Marbles.count == before) continue;
        gaps.push_back(frame - lastFrame);
        lastFrame = frame;
        ++spawned;
    }
    EXPECT_EQ(gaps, (std::vector<int>{31, 31, 31}));
}

TEST_F(RoundFlowTest, EdgeSpawnsDrawTheEdgeThenAlongItThenAcrossItThenTheColour) {
    const struct {
        std::vector<int> randoms;
        int x, y;
        std::vector<int> ranges;
    } cases[] = {
        {{0, 50, 7, 1}, 50, -21, {4, 320, 20, 4}},    {{1, 10, 0, 0}, 10, 494, {4, 320, 20, 4}},
        {{1, 10, 7, 2}, 10, 501, {4, 320, 20, 4}},    {{2, 100, 5, 3}, -19, 100, {4, 480, 20, 4}},
        {{3, 200, 19, 2}, 353, 200, {4, 480, 20, 4}},
    };
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        game.randoms.assign(c.randoms.begin(), c.randoms.end());
        game.asked.clear();
        screen->SpawnEnemy();
        ASSERT_EQ(screen->m_Marbles.count, 1);
        const CMarble* m = screen->m_Marbles.data[0];
        EXPECT_EQ(m->m_Position.x, c.x * 65536);
        EXPECT_EQ(m->m_Position.y, c.y * 65536);
        EXPECT_EQ(m->m_nColorType, c.randoms[3]);
        EXPECT_EQ(game.asked, c.ranges);
    }
}

// A marble or a power-up that cannot be made (memory has run out) is left out: nothing is added,
// and the next one comes as usual.
TEST_F(RoundFlowTest, WhatCannotBeMadeIsLeftOutAndTheNextComesAsUsual) {
    {
        const CRefusedAllocation refusal(sizeof(CMarble));
        EXPECT_EQ(screen->SpawnEnemy(2, 100, 200), nullptr);
        EXPECT_EQ(screen->m_Marbles.count, 0);
        EXPECT_FALSE(refusal.Pending()) << "the marble's allocation was the one refused";
    }
    {
        game.randoms.assign({0, 50, 7, 1});
        const CRefusedAllocation refusal(sizeof(CMarble));
        screen->SpawnEnemy();
        EXPECT_EQ(screen->m_Marbles.count, 0) << "an edge spawn without memory";
        EXPECT_FALSE(refusal.Pending());
    }
    {
        const CRefusedAllocation refusal(sizeof(CMarblePowerup));
        EXPECT_EQ(screen->SpawnPowerUp(100, 200, kPowerUpBomb), nullptr);
        EXPECT_EQ(screen->m_Marbles.count, 0) << "a power-up without memory";
        EXPECT_FALSE(refusal.Pending());
    }

    game.randoms.assign({0, 50, 7, 1});
    screen->SpawnEnemy();
    ASSERT_EQ(screen->m_Marbles.count, 1);
    EXPECT_EQ(screen->m_Marbles.data[0]->m_Position.x, 50 * 65536);
    EXPECT_EQ(screen->m_Marbles.data[0]->m_Position.y, -21 * 65536);
    CMarblePowerup* bomb = screen->SpawnPowerUp(100, 200, kPowerUpBomb);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(screen->m_Marbles.count, 2);
    EXPECT_EQ(bomb->m_Position.x, 100 * 65536);
    EXPECT_EQ(bomb->m_Position.y, 200 * 65536);
}

TEST_F(RoundFlowTest, ANewMarbleHeadsForTheCentreAtTheFreeSpeed) {
    CMarble* outside = screen->SpawnEnemy(2, -19, 100);
    // The centre is (160, 267): the vector (179, 167) pixels, over 181 so measured divided by 128.
    const double length = std::hypot(179.0, 167.0);
    EXPECT_EQ(outside->m_Direction.x, static_cast<int>(179.0 * 65536.0 / length));
    EXPECT_EQ(outside->m_Direction.y, static_cast<int>(167.0 * 65536.0 / length));
    EXPECT_EQ(outside->m_nSpeed, 16384);
    CMarble* atCentre = screen->SpawnEnemy(1, 160, 267);
    EXPECT_EQ(atCentre->m_Direction.x, 0) << "no direction to normalise";
    EXPECT_EQ(atCentre->m_Direction.y, 0);
    EXPECT_EQ(atCentre->m_nEntryIndicator, 0);
}

TEST_F(RoundFlowTest, AnEdgePointCloserThan84PixelsToAMarbleIsDrawnAgain) {
    Put(0, 100, -100);
    // (100, -21) lies 79 pixels from it and is refused; (16, -14) lies (84, 86) away.
    game.randoms.assign({0, 100, 7, 0, 16, 0, 2});
    screen->SpawnEnemy();
    ASSERT_EQ(screen->m_Marbles.count, 2);
    EXPECT_EQ(screen->m_Marbles.data[1]->m_Position.x, 16 * 65536);
    EXPECT_EQ(screen->m_Marbles.data[1]->m_Position.y, -14 * 65536);
    EXPECT_EQ(screen->m_Marbles.data[1]->m_nColorType, 2);
}

TEST_F(RoundFlowTest, EightyFourPixelsAwayIsFarEnoughAndEightyThreeIsNot) {
    const struct {
        int markY;
        int spawnedX;
    } cases[] = {{-98, 100}, {-97, 300}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        Put(0, 100, c.markY);
        // (100, -14) first, then (300, -14).
        game.randoms.assign({0, 100, 0, 0, 300, 0, 3});
        screen->SpawnEnemy();
        ASSERT_EQ(screen->m_Marbles.count, 2);
        EXPECT_EQ(screen->m_Marbles.data[1]->m_Position.x, c.spawnedX * 65536) << c.markY;
    }
}

TEST_F(RoundFlowTest, TheClearanceIsMeasuredSquaredInWholePixels) {
    // (10, 83) pixels away is 83.6 pixels: refused; (10, 84) is 84.6: taken.
    const struct {
        int markY;
        int spawnedX;
    } cases[] = {{-97, 300}, {-98, 100}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        Put(0, 110, c.markY);
        game.randoms.assign({0, 100, 0, 0, 300, 0, 3});
        screen->SpawnEnemy();
        ASSERT_EQ(screen->m_Marbles.count, 2);
        EXPECT_EQ(screen->m_Marbles.data[1]->m_Position.x, c.spawnedX * 65536) << c.markY;
    }
}

TEST_F(RoundFlowTest, NothingSpawnsWithoutAScreenToSpawnAround) {
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    game.m_Screen.m_pBackBuffer = nullptr;
    game.randoms.assign({0, 100, 0, 0});
    screen->SpawnEnemy();
    game.m_Screen.m_pBackBuffer = back;
    EXPECT_EQ(screen->m_Marbles.count, 0);
}

TEST_F(RoundFlowTest, InsideALevelTheSpawnIntervalShowsItsBase) {
    // interval = base + (30 - base) x (1 - q), q = cleared / target held to 0..1; base =
    // 30 - 3 i, at least 1, with i the index (2 less while easing), 30 for i below 0.
    struct TCase {
        int arena, level, cleared, target, easing;
        int expected, easingAfter;
        const char* why;
    };
    const TCase cases[] = {
        {0, 3, 10, 20, 0, 25, 0, "index 3 half way: 21 + 9 / 2"},
        {1, 0, 10, 20, 1, 25, 0, "the last frame of easing still counts index 5 as 3"},
        {1, 0, 10, 20, 0, 22, 0, "without easing index 5 half way: 15 + 15 / 2"},
        {0, 1, 10, 20, 100, 30, 99, "easing below index 0: base 30"},
        {2, 0, 16, 31, 0, 15, 0, "index 10: base 1, 1 + 29 x 15 / 31"},
        {0, 3, 25, 20, 0, 21, 0, "more cleared than the target counts as the end"},
    };
    for (const TCase& c : cases) {
        SetLevel(screen, c.arena, c.level, c.cleared, c.target, false);
        screen->m_nEasingCounter = c.easing;
        screen->m_nSpawnCounter = 0;
        screen->Difficulty_RunProcessSpawnEnemies();
        EXPECT_EQ(screen->m_nSpawnInterval, c.expected) << c.why;
        EXPECT_EQ(screen->m_nEasingCounter, c.easingAfter) << c.why;
    }
}

TEST_F(RoundFlowTest, TheFreeSpeedAtTheEdgesOfEasingAndOfTheTarget) {
    const struct {
        int cleared, target, easing;
        FIXED_FLOAT_16 expected;
        const char* why;
    } cases[] = {
        {0, 20, 1, 32113, "the last easing frame starts at s - 0.16"},
        {5, 0, 0, 37356, "no target: no progress, the level's start"},
        {1, 1, 0, 42598, "a target of one cleared: the full 0.65"},
    };
    for (const auto& c : cases) {
        SetLevel(screen, 2, 0, c.cleared, c.target, false);
        screen->m_nEasingCounter = c.easing;
        EXPECT_EQ(screen->Difficulty_GetBasicEnemySpeedOnCurrentLevel(), c.expected) << c.why;
    }
}

TEST_F(RoundFlowTest, SixRefusalsSpawnNothingAndTheCounterStartsAgain) {
    Put(0, 100, -20);
    SetLevel(screen, 0, 0, 0, 20, false);
    screen->m_nSpawnCounter = 30;  // the next frame is due
    game.randoms.clear();
    for (int i = 0; i < 7; ++i) game.randoms.insert(game.randoms.end(), {0, 100, 0});
    game.asked.clear();
    screen->Difficulty_RunProcessSpawnEnemies();
    EXPECT_EQ(screen->m_Marbles.count, 1);
    EXPECT_EQ(screen->m_nSpawnCounter, 0);
    EXPECT_EQ(game.asked.size(), 18u) << "six candidates of three draws";
}

TEST_F(RoundFlowTest, AreaTestsAreStrictOnTheirEdges) {
    // The area: x 12 .. 308, y 66 .. 469.
    const struct {
        int x, y;
        bool in, fully;
    } cases[] = {
        {-2, 200, false, false}, {-1, 200, true, false}, {322, 200, false, false}, {321, 200, true, false},
        {160, 52, false, false}, {160, 53, true, false}, {160, 483, false, false}, {160, 482, true, false},
        {26, 200, true, false},  {27, 200, true, true},  {294, 200, true, false},  {293, 200, true, true},
        {160, 80, true, false},  {160, 81, true, true},  {160, 455, true, false},  {160, 454, true, true},
    };
    for (const auto& c : cases) {
        CMarble* m = Put(0, c.x, c.y);
        EXPECT_EQ(screen->IsMarbleInPlayRect(m), c.in) << c.x << "," << c.y;
        EXPECT_EQ(screen->IsMarbleFullyVisible(m), c.fully) << c.x << "," << c.y;
    }
}

TEST_F(RoundFlowTest, AMarbleOutsideCountsWhenItsArrowPointsIn) {
    // 42 pixels ahead must lie strictly inside the area itself (x above 12).
    const struct {
        int x, dx;
        bool in;
    } cases[] = {{-25, 65536, true}, {-25, -65536, false}, {-29, 65536, true}, {-30, 65536, false}, {-25, 0, false}};
    for (const auto& c : cases) {
        CMarble* m = Put(0, c.x, 200);
        m->m_Direction = TVector2D_16{c.dx, 0};
        EXPECT_EQ(screen->IsMarbleArrowInPlayRect(m), c.in) << c.x << " " << c.dx;
    }
}

TEST_F(RoundFlowTest, AMarbleOutsideComesInAtTheCurrentSpeed) {
    SetLevel(screen, 2, 0, 0, 20, false);
    CMarble* m = screen->SpawnEnemy(0, -30, 200);
    m->m_nSpeed = 5 * 65536;
    m->m_Direction = TVector2D_16{65536, 0};
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(m->m_nSpeed, 37356);
    // Ten substeps of a tenth of the speed each.
    EXPECT_EQ(m->m_Position.x, -30 * 65536 + 10 * (37356 / 10));
}

TEST_F(RoundFlowTest, AMarbleRunsItsPathAtThePathSpeedAndRollsOnFromItsEnd) {
    CMarble* m = Put(1, 60, 200);
    m->m_nSpeed = 16384;
    GivePath(m, 260, 200);  // 200 pixels straight to the right
    // Its first frame: the speed grows by R / 4 / 10 after each substep's distance.
    screen->RunProcessMovementAndCollisions();
    const FIXED_FLOAT_16 step = 8 * 65536 / 4 / 10;
    std::int64_t distance = 0, speed = 16384;
    for (int i = 0; i < 10; ++i) {
        distance += speed / 10;
        speed = speed < 8 * 65536 ? speed + step : 8 * 65536;
    }
    EXPECT_EQ(m->m_nPathDistance, distance);
    EXPECT_EQ(m->m_nSpeed, speed);
    EXPECT_EQ(m->m_nPathFrames, 1);
    // The roll grows once a frame, by the speed the last substep reached (not the ninth's).
    EXPECT_FLOAT_EQ(m->m_fRollDistance, static_cast<float>(speed) / 65536.0f);
    EXPECT_EQ(m->m_Position.y, 200 * 65536);
    EXPECT_TRUE(m->m_bOnPath);
    for (int frame = 0; frame < 40 && m->m_Path.GetNumSegments() > 0; ++frame)
        screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(m->m_Path.GetNumSegments(), 0) << "the path ran out";
    EXPECT_FALSE(m->m_bOnPath);
    EXPECT_EQ(screen->m_nMarblesOnPath, 0);
    EXPECT_FALSE(m->m_bRemoved) << "it caught nothing";
    EXPECT_EQ(m->m_nPathFrames, 0);
    EXPECT_EQ(m->m_nSpeed, 16384) << "the free speed again";
    EXPECT_EQ(m->m_Direction.x, 65536) << "along the path's last stretch";
    EXPECT_EQ(m->m_Direction.y, 0);
}

TEST_F(RoundFlowTest, AMarbleOnAPathOutsideTheAreaKeepsItsPathSpeed) {
    // Outside the area (x below -2) the path speed still grows by R / 4 / 10 a substep from 5.
    CMarble* m = Put(1, -40, 200);
    m->m_nSpeed = 5 * 65536;
    GivePath(m, 200, 200);
    screen->RunProcessMovementAndCollisions();
    std::int64_t distance = 0, speed = 5 * 65536;
    for (int i = 0; i < 10; ++i) {
        distance += speed / 10;
        speed = speed < 8 * 65536 ? speed + 8 * 65536 / 4 / 10 : 8 * 65536;
    }
    EXPECT_FALSE(screen->IsMarbleInPlayRect(m));
    EXPECT_EQ(m->m_nSpeed, speed);
    EXPECT_EQ(m->m_nPathDistance, distance);
}

TEST_F(RoundFlowTest, TheLeavingDirectionIsTheChordOfThePathsLastFivePixels) {
    // 90 pixels to the right, then 3 down: 5 pixels before the end lies 2 pixels left of the
    // corner, so the marble leaves along (2, 3); 4 pixels would give (1, 3), 6 pixels (3, 3).
    CMarble* m = Put(1, 60, 200);
    const TVector2D p0{60 * 256, 200 * 256}, corner{150 * 256, 200 * 256}, end{150 * 256, 203 * 256};
    ASSERT_EQ(m->m_Path.AddSpline(p0, TVector2D{90 * 256, 200 * 256}, TVector2D{120 * 256, 200 * 256}, corner), 1);
    ASSERT_EQ(m->m_Path.AddSpline(corner, TVector2D{150 * 256, 201 * 256}, TVector2D{150 * 256, 202 * 256}, end), 1);
    m->m_bOnPath = true;
    screen->RollingSoundCounterInc();
    for (int frame = 0; frame < 30 && m->m_Path.GetNumSegments() > 0; ++frame)
        screen->RunProcessMovementAndCollisions();
    ASSERT_EQ(m->m_Path.GetNumSegments(), 0);
    const double length = std::hypot(2.0, 3.0);
    EXPECT_NEAR(m->m_Direction.x, 2.0 / length * 65536.0, 600.0);
    EXPECT_NEAR(m->m_Direction.y, 3.0 / length * 65536.0, 600.0);
    // Exactly: the chord from the path's own point 5 pixels before its end (the curve's
    // measuring and lookup are pinned by the curve's suite) to its end point.
    BezierCurve reference;
    ASSERT_EQ(reference.AddSpline(p0, TVector2D{90 * 256, 200 * 256}, TVector2D{120 * 256, 200 * 256}, corner), 1);
    ASSERT_EQ(reference.AddSpline(corner, TVector2D{150 * 256, 201 * 256}, TVector2D{150 * 256, 202 * 256}, end), 1);
    const TVector2D before = reference.GetPos(reference.Length() - 5 * 256, nullptr);
    const double dx = end.x - before.x, dy = end.y - before.y;
    EXPECT_NEAR(m->m_Direction.x, dx / std::hypot(dx, dy) * 65536.0, 2.0);
    EXPECT_NEAR(m->m_Direction.y, dy / std::hypot(dx, dy) * 65536.0, 2.0);
}

TEST_F(RoundFlowTest, TheLastFivePixelsAreMeasuredToTheUnit) {
    // The point 5 pixels before the end falls in a stretch measured in 3-pixel pieces, where a
    // point is found to 3/256 pixel: a stretch 5/256 pixel longer or shorter leaves along
    // another chord.
    CMarble* m = Put(1, 60, 200);
    const TVector2D p0{60 * 256, 200 * 256}, a{120 * 256, 200 * 256}, b{150 * 256, 200 * 256},
        end{150 * 256, 203 * 256};
    BezierCurve reference;
    for (BezierCurve* curve : {&m->m_Path, &reference}) {
        ASSERT_EQ(curve->AddSpline(p0, TVector2D{80 * 256, 200 * 256}, TVector2D{100 * 256, 200 * 256}, a), 1);
        ASSERT_EQ(curve->AddSpline(a, TVector2D{130 * 256, 200 * 256}, TVector2D{140 * 256, 200 * 256}, b), 1);
        ASSERT_EQ(curve->AddSpline(b, TVector2D{150 * 256, 201 * 256}, TVector2D{150 * 256, 202 * 256}, end), 1);
    }
    m->m_bOnPath = true;
    screen->RollingSoundCounterInc();
    for (int frame = 0; frame < 30 && m->m_Path.GetNumSegments() > 0; ++frame)
        screen->RunProcessMovementAndCollisions();
    ASSERT_EQ(m->m_Path.GetNumSegments(), 0);
    const auto chord = [&](FIXED_FLOAT back) {
        const TVector2D before = reference.GetPos(reference.Length() - back, nullptr);
        const double dx = end.x - before.x, dy = end.y - before.y;
        return std::pair{dx / std::hypot(dx, dy) * 65536.0, dy / std::hypot(dx, dy) * 65536.0};
    };
    const auto [x5, y5] = chord(5 * 256);
    for (FIXED_FLOAT other : {5 * 255, 5 * 257}) {
        const auto [x, y] = chord(other);
        ASSERT_GT(std::abs(x - x5), 20.0) << other;
    }
    EXPECT_NEAR(m->m_Direction.x, x5, 2.0);
    EXPECT_NEAR(m->m_Direction.y, y5, 2.0);
}

TEST_F(RoundFlowTest, TheLeavingDirectionOfACurvedPathFollowsItsLastFivePixels) {
    // A hook that turns sharply at its end: the chord over the last 5 pixels points elsewhere
    // than the end's tangent (straight left) and than the chord over the last 10 pixels.
    CMarble* m = Put(1, 60, 150);
    const TVector2D p0{60 * 256, 150 * 256}, p1{200 * 256, 150 * 256}, p2{200 * 256, 190 * 256},
        p3{180 * 256, 190 * 256};
    ASSERT_EQ(m->m_Path.AddSpline(p0, p1, p2, p3), 1);
    m->m_bOnPath = true;
    screen->RollingSoundCounterInc();
    // The reference: the curve's own points some pixels before its end (its measuring is pinned
    // by the curve's suite), and the unit chord from there to the end point.
    BezierCurve reference;
    ASSERT_EQ(reference.AddSpline(p0, p1, p2, p3), 1);
    const auto chord = [&](int px) {
        const TVector2D before = reference.GetPos(reference.Length() - px * 256, nullptr);
        const double dx = p3.x - before.x, dy = p3.y - before.y;
        const double length = std::hypot(dx, dy);
        return std::pair{dx / length * 65536.0, dy / length * 65536.0};
    };
    const auto [x5, y5] = chord(5);
    const auto [x10, y10] = chord(10);
    ASSERT_GT(std::abs(x10 - x5) + std::abs(y10 - y5), 400.0);
    ASSERT_GT(std::abs(-65536.0 - x5) + std::abs(y5), 400.0);
    for (int frame = 0; frame < 40 && m->m_Path.GetNumSegments() > 0; ++frame)
        screen->RunProcessMovementAndCollisions();
    ASSERT_EQ(m->m_Path.GetNumSegments(), 0);
    EXPECT_NEAR(m->m_Direction.x, x5, 2.0);
    EXPECT_NEAR(m->m_Direction.y, y5, 2.0);
}

TEST_F(RoundFlowTest, ThePreviousPositionIsWhereTheMarbleStoodWhenTheFrameBegan) {
    CMarble* m = Put(1, 60, 200);
    m->m_nSpeed = 8 * 65536;
    GivePath(m, 260, 200);
    std::vector<TVector2D_16> starts;
    for (int frame = 0; frame < 3; ++frame) {
        starts.push_back(m->m_Position);
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(m->m_PrevPosition.x, starts.back().x) << frame;
        EXPECT_EQ(m->m_PrevPosition.y, starts.back().y) << frame;
        EXPECT_GT(m->m_Position.x, m->m_PrevPosition.x + 7 * 65536) << "a frame moves it 8 pixels on";
    }
}

TEST_F(RoundFlowTest, ALoneCatchPopsWithASoundOnlyAfterMoreThanSevenFrames) {
    const struct { int collected, pathFrames, sounds; } cases[] = {{1, 7, 0}, {1, 8, 1}, {2, 8, 0}, {1, 30, 1}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        sound->played.clear();
        Put(3, 200, 400);
        CMarble* m = Put(1, 60, 200);
        m->m_nSpeed = 8 * 65536;
        GivePath(m, 62, 200);
        m->m_nCollected = c.collected;
        m->m_nPathFrames = c.pathFrames;
        screen->RunProcessMovementAndCollisions();
        int ordinary = 0;
        for (int i = 0; i < screen->m_Marbles.count; ++i) ordinary += screen->m_Marbles.data[i]->IsPowerUp() ? 0 : 1;
        EXPECT_EQ(ordinary, 1) << "popped at the end of its path (a combo leaves a power-up)";
        EXPECT_EQ(Played("SFX_BALL_EXPLODE1"), c.sounds) << c.collected << " after " << c.pathFrames;
    }
}

TEST_F(RoundFlowTest, AMarblesOwnFrameRunsOnceAFrame) {
    // Outside and not entered, the entry indicator climbs by 20.0 a frame; a marble set off with
    // a delay of 3 frames goes on the third.
    CMarble* outside = screen->SpawnEnemy(0, -60, 200);
    outside->m_nSpeed = 0;
    CMarble* timed = Put(2, 200, 400);
    timed->ActivateWithDelay(3);
    Put(3, 100, 100);  // keeps the field from being cleared
    const int indicator = outside->m_nEntryIndicator;
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(outside->m_nEntryIndicator, indicator + 20 * 256);
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(outside->m_nEntryIndicator, indicator + 40 * 256);
    EXPECT_EQ(outside->m_nSpeed, 0) << "a marble standing outside is not set rolling";
    EXPECT_EQ(outside->m_Position.x, -60 * 65536);
    EXPECT_EQ(screen->m_Marbles.count, 3);
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(screen->m_Marbles.count, 2) << "gone on its third frame";
}

TEST_F(RoundFlowTest, AMarblesOwnFrameRunsInTheLastSubstepBeforeItsMove) {
    // Index 0: 0.25 pixels a frame, 1638/65536 a substep. The area widened by 14 pixels begins
    // at x -2: a centre at -130816/65536 or more is in. A marble heading in that crosses during
    // the ninth substep has entered when its own frame runs, and its entry indicator falls by
    // 3.0; one that crosses during the tenth is still outside then, and it rises by 20.0.
    SetLevel(screen, 0, 0, 0, 20, false);
    const struct {
        int substepsToCross;
        FIXED_FLOAT indicatorAfter;
    } cases[] = {{9, 97 * 256}, {10, 120 * 256}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        Put(3, 200, 400);  // keeps the field from being cleared
        CMarble* m = screen->SpawnEnemy(0, -3, 200);
        m->m_Position.x = -130816 - c.substepsToCross * 1638;
        m->m_Direction = TVector2D_16{65536, 0};
        m->m_nEntryIndicator = 100 * 256;
        ASSERT_FALSE(m->m_bEntered);
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(m->m_Position.x, -130816 + (10 - c.substepsToCross) * 1638) << c.substepsToCross;
        EXPECT_TRUE(m->m_bEntered) << c.substepsToCross;
        EXPECT_EQ(m->m_nEntryIndicator, c.indicatorAfter) << c.substepsToCross;
    }
}

// Level 4 of the first arena: a path speed of 10 pixels a frame, one pixel a substep. Straight
// paths with controls on their thirds measure exactly.
class RoundPathTest : public RoundTest {
protected:
    RoundPathTest() { SetLevel(screen, 0, 4, 0, 20, false); }
    CMarble* OnStraightPath(int x0, int y0, int x1, int y1, FIXED_FLOAT_16 speed) {
        CMarble* m = Put(1, x0, y0);
        m->m_nSpeed = speed;
        const int dx = (x1 - x0) / 3, dy = (y1 - y0) / 3;
        EXPECT_EQ(
            m->m_Path.AddSpline(TVector2D{x0 * 256, y0 * 256}, TVector2D{(x0 + dx) * 256, (y0 + dy) * 256},
                                TVector2D{(x0 + 2 * dx) * 256, (y0 + 2 * dy) * 256}, TVector2D{x1 * 256, y1 * 256}),
            1);
        m->m_bOnPath = true;
        screen->RollingSoundCounterInc();
        return m;
    }
};

TEST_F(RoundPathTest, AMarbleStandsOnItsPathsPointAndRollsByItsSpeed) {
    // 180 pixels in pieces of 18, 8 already run: the frame ends on the first piece's end.
    CMarble* m = OnStraightPath(60, 200, 240, 200, 10 * 65536);
    m->m_nPathDistance = 8 * 65536;
    m->m_fRollDistance = 3.0f;
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(m->m_nPathDistance, 18 * 65536);
    EXPECT_EQ(m->m_Position.x, 78 * 65536);
    EXPECT_EQ(m->m_Position.y, 200 * 65536);
    EXPECT_EQ(m->m_Direction.x, 65536);
    EXPECT_EQ(m->m_Direction.y, 0);
    EXPECT_FLOAT_EQ(m->m_fRollDistance, 13.0f) << "once a frame, by the speed";
    EXPECT_EQ(m->m_nPathFrames, 1);
    // Up the screen too: 300 pixels in pieces of 30, 20 already run.
    CMarble* up = OnStraightPath(100, 400, 100, 100, 10 * 65536);
    up->m_nPathDistance = 20 * 65536;
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(up->m_Position.x, 100 * 65536);
    EXPECT_EQ(up->m_Position.y, 370 * 65536);
    EXPECT_EQ(up->m_Direction.y, -65536);
}

TEST_F(RoundPathTest, APathSpeedAboveTheTopIsHeldAtIt) {
    const struct {
        FIXED_FLOAT_16 start;
        FIXED_FLOAT_16 distance;
    } cases[] = {{10 * 65536, 10 * 65536}, {20 * 65536, 2 * 65536 + 9 * 65536}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        CMarble* m = OnStraightPath(60, 200, 240, 200, c.start);
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(m->m_nSpeed, 10 * 65536) << c.start;
        EXPECT_EQ(m->m_nPathDistance, c.distance) << c.start;
    }
}

TEST_F(RoundPathTest, APathEndsInTheSubstepThatReachesItsLength) {
    // 30 pixels at one a substep: the thirtieth substep, the last of the third frame, ends it.
    CMarble* m = OnStraightPath(60, 200, 90, 200, 10 * 65536);
    Put(3, 200, 400);
    screen->RunProcessMovementAndCollisions();
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(m->m_Path.GetNumSegments(), 1);
    screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(m->m_Path.GetNumSegments(), 0);
    EXPECT_FALSE(m->m_bOnPath);
    EXPECT_EQ(m->m_Position.x, 90 * 65536 + screen->Difficulty_GetBasicEnemySpeedOnCurrentLevel() / 10)
        << "from its end a tenth of a frame at the free speed";
    EXPECT_EQ(m->m_Position.y, 200 * 65536);
}

TEST_F(RoundPathTest, PointsLeftOfOrAboveTheScreenDoNotMoveTheMarble) {
    // 30 pixels from 21 beyond the left (or top) edge, one pixel already run: the first frame's
    // points all lie beyond the edge and the marble waits; the second frame ends on the edge
    // itself (0, a piece's end), where it stands.
    const struct {
        int x0, y0, x1, y1;
        int edgeX, edgeY;
    } cases[] = {{-21, 200, 9, 200, 0, 200}, {100, -21, 100, 9, 100, 0}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        CMarble* m = OnStraightPath(c.x0, c.y0, c.x1, c.y1, 10 * 65536);
        m->m_nPathDistance = 65536;
        const TVector2D_16 direction = m->m_Direction;
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(m->m_nPathDistance, 11 * 65536);
        EXPECT_EQ(m->m_Position.x, c.x0 * 65536) << c.x0 << "," << c.y0;
        EXPECT_EQ(m->m_Position.y, c.y0 * 65536) << c.x0 << "," << c.y0;
        EXPECT_EQ(m->m_Direction.x, direction.x);
        EXPECT_EQ(m->m_Direction.y, direction.y);
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(m->m_Position.x, c.edgeX * 65536) << c.x0 << "," << c.y0;
        EXPECT_EQ(m->m_Position.y, c.edgeY * 65536) << c.x0 << "," << c.y0;
    }
}

TEST_F(RoundFlowTest, APathThatCaughtAMarblePopsAtItsEnd) {
    Put(3, 200, 400);  // keeps the field from being cleared
    CMarble* m = Put(1, 60, 200);
    GivePath(m, 100, 200);
    m->m_nCollected = 1;
    for (int frame = 0; frame < 20 && screen->m_Marbles.count > 1; ++frame) screen->RunProcessMovementAndCollisions();
    EXPECT_EQ(screen->m_Marbles.count, 1) << "popped at the end of its path";
    EXPECT_EQ(screen->m_nMarblesOnPath, 0);
    EXPECT_EQ(screen->m_nScore, 20) << "(10 + 0) x (1 + 1)";
}

}  // namespace
}  // namespace gameplaytest
