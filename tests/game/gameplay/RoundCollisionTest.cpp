// The round's collision pass: marbles of one colour join, a marble on a path collects, power-ups
// take part only as their flags say, different colours cost a life, the danger halo follows the
// distance of a closing pair, and the near-miss achievement waits for an escape.
#include <gtest/gtest.h>

#include "RoundTestGame.h"
#include "game/gameplay/MarblePowerup.h"

namespace gameplaytest {
namespace {

class RoundCollisionTest : public RoundTest {
protected:
    RoundCollisionTest() { screen->m_nLives = 3; }
    // A still marble 20 pixels right of another one, the pair touching.
    std::pair<CMarble*, CMarble*> TouchingPair(int colourA, int colourB) {
        return {Put(colourA, 100, 200), Put(colourB, 120, 200)};
    }
};

TEST_F(RoundCollisionTest, TwoFreeMarblesOfOneColourBothGo) {
    auto [a, b] = TouchingPair(2, 2);
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(a->m_bRemoved);
    EXPECT_TRUE(b->m_bRemoved);
    EXPECT_EQ(screen->m_nLives, 3);
    EXPECT_EQ(Played("SFX_BALL_EXPLODE1"), 1);
}

TEST_F(RoundCollisionTest, TwoMarblesOfOneColourOnPathsBothPop) {
    auto [a, b] = TouchingPair(0, 0);
    GivePath(a, 300, 300);
    GivePath(b, 300, 100);
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(a->m_bRemoved);
    EXPECT_TRUE(b->m_bRemoved);
    EXPECT_EQ(a->m_nCollected, 0);
    EXPECT_EQ(b->m_nCollected, 0);
}

TEST_F(RoundCollisionTest, AMarbleOnAPathCollectsAFreeOne) {
    auto [free, runner] = TouchingPair(3, 3);
    GivePath(runner, 300, 300);
    runner->m_nPathFrames = 9;
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(free->m_bRemoved);
    EXPECT_FALSE(runner->m_bRemoved);
    EXPECT_EQ(runner->m_nCollected, 1);
    EXPECT_EQ(runner->m_nPathFrames, 1);
    EXPECT_EQ(Played("SFX_BALL_EXPLODE1"), 1) << "once for the pair";
}

TEST_F(RoundCollisionTest, ClosingMarblesOfOneColourMeetOnlyWhenTheyTouch) {
    // 50 pixels apart and heading for each other: no halo for one colour, and no joining yet.
    CMarble* a = Put(1, 100, 200);
    CMarble* b = Put(1, 150, 200);
    a->m_Direction = TVector2D_16{65536, 0};
    b->m_Direction = TVector2D_16{-65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_FALSE(a->m_bRemoved);
    EXPECT_FALSE(b->m_bRemoved);
    EXPECT_EQ(a->m_nDanger, 0);
    b->m_Position.x = 127 * 65536;
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(a->m_bRemoved) << "27 pixels apart they touch";
}

TEST_F(RoundCollisionTest, DifferentColoursCostALife) {
    auto [a, b] = TouchingPair(0, 1);
    screen->m_pDraggedMarble = nullptr;
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
    EXPECT_EQ(screen->m_nPauseCounter, 0);
    EXPECT_EQ(a->m_nDanger, 255);
    EXPECT_EQ(b->m_nDanger, 255);
    EXPECT_EQ(Played("SFX_WRONG_BALL"), 1);
    EXPECT_EQ(Played("SFX_LIFELOST"), 1);
    EXPECT_FALSE(screen->IsInPlay());
}

TEST_F(RoundCollisionTest, MarblesOutsideTheAreaAndNotHeadingInNeverMeet) {
    CMarble* a = Put(0, -60, 200);
    CMarble* b = Put(1, -50, 200);
    a->m_Direction = b->m_Direction = TVector2D_16{-65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 3);
}

TEST_F(RoundCollisionTest, APowerUpTakesPartOnlyAsItsFlagsSay) {
    struct TCase {
        int kind;
        bool collides, byMarble, onPath;
        bool activated;
        int livesAfter;
        const char* why;
    };
    const TCase cases[] = {
        {kPowerUpCoin, true, true, true, true, 3, "a marble on a path sets a coin off"},
        {kPowerUpCoin, true, true, false, false, 3, "a free marble leaves it lying"},
        {kPowerUpCoin, true, false, true, false, 2, "without its touch flag the touch is a wrong colour"},
        {kPowerUpBomb, false, true, true, false, 3, "a power-up that does not collide takes no part"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_Animations.count = 0;
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        screen->m_nMarblesOnPath = 0;
        CMarble* marble = Put(2, 100, 200);
        if (c.onPath) GivePath(marble, 300, 300);
        auto* powerUp = screen->SpawnPowerUp(120, 200, c.kind);
        powerUp->m_bCollides = c.collides;
        powerUp->m_bSetOffByMarble = c.byMarble;
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(powerUp->m_bRemoved, c.activated) << c.why;
        EXPECT_EQ(screen->m_Animations.count, c.activated ? 1 : 0) << c.why;
        EXPECT_EQ(screen->m_nLives, c.livesAfter) << c.why;
    }
}

TEST_F(RoundCollisionTest, TwoPowerUpsNeverMeet) {
    screen->SpawnPowerUp(100, 200, kPowerUpCoin)->m_bSetOffByMarble = false;
    screen->SpawnPowerUp(110, 200, kPowerUpCoin)->m_bSetOffByMarble = false;
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 3);
    EXPECT_TRUE(screen->IsInPlay());
}

TEST_F(RoundCollisionTest, TheDangerHaloFollowsTheDistanceOfAClosingPair) {
    struct TCase {
        int distance;
        bool closing;
        int danger;
    };
    // 255 up to 28 pixels, then 255 - (d - 28) x 255 / 56 down to 84 pixels, where it stops.
    const TCase cases[] = {{29, true, 251}, {40, true, 201}, {56, true, 128},
                           {83, true, 5},   {84, true, 0},   {40, false, 0}};
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        CMarble* a = Put(0, 100, 200);
        CMarble* b = Put(1, 100 + c.distance, 200);
        a->m_Direction = TVector2D_16{c.closing ? 65536 : -65536, 0};
        b->m_Direction = TVector2D_16{-65536, 0};
        if (!c.closing) b->m_Direction.x = 65536;
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(a->m_nDanger, c.danger) << c.distance;
        EXPECT_EQ(b->m_nDanger, c.danger) << c.distance;
    }
    // A third marble keeps the highest level it is given.
    screen->m_Marbles.RemoveAll();
    CMarble* middle = Put(0, 100, 200);
    CMarble* near = Put(1, 140, 200);
    CMarble* far = Put(2, 100, 270);
    middle->m_Direction = TVector2D_16{46341, 46341};
    near->m_Direction = TVector2D_16{-65536, 0};
    far->m_Direction = TVector2D_16{0, -65536};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(middle->m_nDanger, 201);
    EXPECT_EQ(far->m_nDanger, 255 - (70 - 28) * 255 / 56);
}

TEST_F(RoundCollisionTest, TheNearMissAchievementComesAfterAnEscape) {
    struct TStep {
        int distance;
        bool awardedAfter;
    };
    const struct {
        std::vector<TStep> steps;
        const char* why;
    } cases[] = {
        {{{30, false}, {35, true}}, "30 pixels, then more than 34"},
        {{{31, false}, {35, false}}, "never within 30"},
        {{{30, false}, {34, false}, {35, true}}, "34 is not yet away"},
    };
    for (const auto& c : cases) {
        profile->m_AchievementFlags[16] = 0;
        screen->m_bNearMiss = false;
        screen->m_Marbles.RemoveAll();
        CMarble* a = Put(0, 100, 200);
        CMarble* b = Put(1, 100, 200);
        for (const TStep& step : c.steps) {
            b->m_Position.x = (100 + step.distance) * 65536;
            screen->RunProcessEnemyCollisions();
            EXPECT_EQ(profile->IsAchievementAwarded(16), step.awardedAfter) << c.why << ", at " << step.distance;
        }
        (void)a;
    }
}

TEST_F(RoundCollisionTest, TheTutorialNeverGivesTheNearMiss) {
    screen->m_bTutorial = true;
    CMarble* b = Put(1, 130, 200);
    Put(0, 100, 200);
    screen->RunProcessEnemyCollisions();
    b->m_Position.x = 140 * 65536;
    screen->RunProcessEnemyCollisions();
    EXPECT_FALSE(profile->IsAchievementAwarded(16));
}

}  // namespace
}  // namespace gameplaytest
