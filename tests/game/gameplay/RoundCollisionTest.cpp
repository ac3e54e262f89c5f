// The round's collision pass: marbles of one colour join, a marble on a path collects, power-ups
// take part only as their flags say, different colours cost a life, the danger halo follows the
// distance of a closing pair, and the near-miss achievement waits for an escape.
#include <gtest/gtest.h>

#include "RoundTestGame.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/HighScoreTable.h"

namespace gameplaytest {
namespace {

class RoundCollisionTest : public RoundTest {
protected:
    RoundCollisionTest() { screen->m_nLives = 3; }
    // An empty field in play with three lives, for the next row of a table.
    void StartAgain() {
        screen->m_Marbles.RemoveAll();
        screen->m_Animations.count = 0;
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        screen->m_nMarblesOnPath = 0;
    }
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
        StartAgain();
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

TEST_F(RoundCollisionTest, TwoWrongPairsInOneFrameCostOneLifeAndEndTheRoundOnce) {
    struct TCase {
        int lives;
        int livesAfter;
        bool gameOver;
    };
    const TCase cases[] = {{3, 2, false}, {1, 0, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.lives);
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = c.lives;
        screen->m_bGameOver = false;
        screen->m_nPauseCounter = -1;
        screen->m_nScore = 25000;
        profile->m_nCoins = 100;
        profile->m_uExperiencePoints = 1000;
        profile->m_nTotalScore = 0;
        game.GetAppData()->SetDefaultApplicationData();
        game.GetAppData()->m_bSoundOn = true;
        sound->played.clear();
        // Two pairs of different colours, each touching, far from each other.
        Put(0, 100, 150);
        Put(1, 120, 150);
        Put(2, 100, 350);
        Put(3, 120, 350);
        screen->RunProcessMovementAndCollisions();
        EXPECT_EQ(screen->m_nLives, c.livesAfter);
        EXPECT_EQ(screen->m_bGameOver, c.gameOver);
        EXPECT_EQ(Played("SFX_WRONG_BALL"), 1) << "the pass ends at the first wrong pair";
        EXPECT_EQ(Played("SFX_GAMEOVER"), c.gameOver ? 1 : 0);
        EXPECT_EQ(Played("SFX_LIFELOST"), c.gameOver ? 0 : 1);
        // 25,000 points pay 25 coins and 25,000 experience, once.
        EXPECT_EQ(profile->m_nCoins, c.gameOver ? 125 : 100);
        EXPECT_EQ(profile->m_uExperiencePoints, c.gameOver ? 26000u : 1000u);
        EXPECT_EQ(profile->m_nTotalScore, c.gameOver ? 25000 : 0);
        const CApplicationData& data = *game.GetAppData();
        const int table = data.GetHighScoreTableIndex(CommonString("arena1"));
        ASSERT_GE(table, 0);
        const THighScoreTable* scores = data.m_HighScoreTables.data[table];
        int rows = 0;
        for (int i = 0; i < scores->GetCount(); ++i)
            rows += scores->m_Scores.data[i] == 25000 && scores->m_Names.data[i]->IsEqual("Ann") ? 1 : 0;
        EXPECT_EQ(rows, c.gameOver ? 1 : 0) << "one high-score row";
    }
}

TEST_F(RoundCollisionTest, EveryPassStartsFromNoDanger) {
    CMarble* a = Put(0, 100, 200);
    CMarble* b = Put(1, 140, 200);
    CMarble* alone = Put(2, 250, 400);
    alone->m_nDanger = 77;
    a->m_Direction = TVector2D_16{65536, 0};
    b->m_Direction = TVector2D_16{-65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(a->m_nDanger, 201);
    EXPECT_EQ(alone->m_nDanger, 0) << "a marble in no pair has no halo";
    // The pair turns apart: the next pass leaves no halo on either.
    a->m_Direction = TVector2D_16{-65536, 0};
    b->m_Direction = TVector2D_16{65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(a->m_nDanger, 0);
    EXPECT_EQ(b->m_nDanger, 0);
}

TEST_F(RoundCollisionTest, BothMarblesOfAPairMustBeInOrHeadingIn) {
    // The area's left edge widened by 14 pixels is x -2: a marble at x -5 is outside, and heading
    // left its arrow stays outside; heading right its arrow lies 37 pixels in.
    struct TCase {
        bool outsideFirst;
        int outsideDx;
        int livesAfter;
        const char* why;
    };
    const TCase cases[] = {
        {false, -65536, 3, "the later marble leaves the area"},
        {true, -65536, 3, "the earlier marble leaves the area"},
        {false, 65536, 2, "the later marble heads in"},
        {true, 65536, 2, "the earlier marble heads in"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        CMarble* outside = nullptr;
        if (c.outsideFirst) outside = Put(0, -5, 200);
        Put(1, 18, 200);  // inside, 23 pixels away
        if (!c.outsideFirst) outside = Put(0, -5, 200);
        outside->m_Direction = TVector2D_16{c.outsideDx, 0};
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_nLives, c.livesAfter) << c.why;
    }
}

TEST_F(RoundCollisionTest, ContactAndHaloStartStrictlyInsideTheirDistances) {
    // Distances in 16.16 pixels: contact below 28 pixels, a halo below 84.
    struct TCase {
        int distance;
        int livesAfter;
        int danger;
    };
    const TCase cases[] = {
        {28 * 65536, 3, 255},
        {28 * 65536 - 655, 2, 255},
        {84 * 65536, 3, 0},
        {84 * 65536 - 328, 3, 5},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        CMarble* a = Put(0, 100, 200);
        CMarble* b = Put(1, 100, 200);
        b->m_Position.x += c.distance;
        a->m_Direction = TVector2D_16{65536, 0};
        b->m_Direction = TVector2D_16{-65536, 0};
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_nLives, c.livesAfter) << c.distance;
        EXPECT_EQ(b->m_nDanger, c.danger) << c.distance;
    }
}

TEST_F(RoundCollisionTest, TheNearMissLimitsAreInclusiveAndStrictToTheUnit) {
    // 30 pixels or less sets the flag; more than 34 afterwards earns it. In 16.16 pixels.
    const struct {
        int first, second;
        bool awarded;
        const char* why;
    } cases[] = {
        {30 * 65536 + 656, 40 * 65536, false, "30.01 is not near"},
        {30 * 65536, 34 * 65536 + 656, true, "34.01 is away"},
    };
    for (const auto& c : cases) {
        profile->m_AchievementFlags[16] = 0;
        screen->m_bNearMiss = false;
        screen->m_Marbles.RemoveAll();
        Put(0, 100, 200);
        CMarble* b = Put(1, 100, 200);
        b->m_Position.x = 100 * 65536 + c.first;
        screen->RunProcessEnemyCollisions();
        b->m_Position.x = 100 * 65536 + c.second;
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(profile->IsAchievementAwarded(16), c.awarded) << c.why;
    }
}

TEST_F(RoundCollisionTest, PowerUpsAnywhereInTheListTakePartOnlyAsTheirFlagsSay) {
    // A: a bomb that does not collide, first in the list, beside a marble; then a wrong pair.
    // B: a coin that collides and a second coin, then a marble on a path touching the first.
    // C: a wrong pair with a bomb that does not collide between them in the list.
    {
        screen->SpawnPowerUp(100, 150, kPowerUpBomb);
        Put(0, 115, 150);
        Put(1, 100, 300);
        Put(2, 120, 300);
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_nLives, 2) << "A: the bomb is passed over, the wrong pair still meets";
    }
    {
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        CMarblePowerup* first = screen->SpawnPowerUp(100, 150, kPowerUpCoin);
        CMarblePowerup* second = screen->SpawnPowerUp(250, 400, kPowerUpCoin);
        CMarble* runner = Put(0, 115, 150);
        GivePath(runner, 300, 150);
        screen->RunProcessEnemyCollisions();
        EXPECT_TRUE(first->m_bRemoved) << "B: set off though another power-up follows it";
        EXPECT_FALSE(second->m_bRemoved);
        EXPECT_EQ(screen->m_nLives, 3);
    }
    {
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        Put(0, 100, 300);
        screen->SpawnPowerUp(250, 150, kPowerUpBomb);
        Put(1, 120, 300);
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_nLives, 2) << "C: the bomb between them changes nothing";
    }
    {
        // D: a bomb that does not collide, first in the list, under a marble on a path.
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = 3;
        screen->m_nPauseCounter = -1;
        CMarblePowerup* bomb = screen->SpawnPowerUp(100, 150, kPowerUpBomb);
        CMarble* runner = Put(0, 115, 150);
        GivePath(runner, 300, 150);
        screen->RunProcessEnemyCollisions();
        EXPECT_FALSE(bomb->m_bRemoved) << "D: a bomb is set off by the finger only";
        EXPECT_EQ(screen->m_nLives, 3);
    }
}

TEST_F(RoundCollisionTest, APowerUpNeverRaisesAHalo) {
    // A colliding coin 40 pixels from a marble heading for it: no danger for either.
    CMarblePowerup* coin = screen->SpawnPowerUp(140, 200, kPowerUpCoin);
    CMarble* marble = Put(0, 100, 200);
    marble->m_Direction = TVector2D_16{65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(marble->m_nDanger, 0);
    EXPECT_EQ(coin->m_nDanger, 0);
}

TEST_F(RoundCollisionTest, ContactIsMeasuredOnBothAxesToAFractionOfAPixel) {
    // 27.997 pixels apart, one above the other: they touch.
    CMarble* a = Put(0, 100, 300);
    CMarble* b = Put(1, 100, 300);
    b->m_Position.y = 328 * 65536 - 197;
    a->m_Direction = b->m_Direction = TVector2D_16{65536, 0};
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
}

TEST_F(RoundCollisionTest, ClosingIsOneWholeStepOfBothDirectionsOnBothAxes) {
    // Pairs of different colours 40 pixels apart, with the halo they raise: 201 when one step
    // along both directions brings them nearer, 0 when it keeps or widens the gap.
    struct TCase {
        int ax, ay, bx, by;
        TVector2D_16 da, db;
        int danger;
        const char* why;
    };
    const TVector2D_16 right{65536, 0}, left{-65536, 0}, down{0, 65536}, up{0, -65536};
    const TCase cases[] = {
        {100, 200, 140, 200, right, right, 0, "side by side moving right, the first behind"},
        {140, 200, 100, 200, right, right, 0, "side by side moving right, the first ahead"},
        {100, 200, 100, 240, down, down, 0, "one above the other moving down, the first above"},
        {100, 240, 100, 200, down, down, 0, "one above the other moving down, the first below"},
        {100, 200, 100, 240, down, up, 201, "heading for each other down the screen"},
        {100, 200, 100, 240, up, down, 0, "moving apart down the screen"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        CMarble* a = Put(0, c.ax, c.ay);
        CMarble* b = Put(1, c.bx, c.by);
        a->m_Direction = c.da;
        b->m_Direction = c.db;
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(a->m_nDanger, c.danger) << c.why;
        EXPECT_EQ(b->m_nDanger, c.danger) << c.why;
    }
    // Nearer than the touching distance but outside the area and leaving it: full danger, no
    // contact.
    screen->m_Marbles.RemoveAll();
    CMarble* a = Put(0, -60, 200);
    CMarble* b = Put(1, -40, 200);
    a->m_Direction = right;
    b->m_Direction = left;
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(a->m_nDanger, 255);
    EXPECT_EQ(screen->m_nLives, 3);
}

TEST_F(RoundCollisionTest, AMarbleThatJoinsItsColourStillMeetsTheOthersItTouches) {
    Put(0, 100, 200);
    Put(0, 120, 200);
    Put(1, 80, 200);
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
    EXPECT_EQ(Played("SFX_BALL_EXPLODE1"), 1);
}

TEST_F(RoundCollisionTest, AMarbleThatTouchesAPowerUpStillMeetsTheOthersItTouches) {
    // The marble first in the list touches a coin 20 pixels to its right and a marble of another
    // colour 20 pixels to its left; the coin and that marble lie 40 pixels apart.
    const struct {
        bool onPath;
        bool coinSetOff;
        const char* why;
    } cases[] = {
        {true, true, "a marble on a path sets the coin off and still meets the wrong colour"},
        {false, false, "a free marble leaves the coin lying and still meets the wrong colour"},
    };
    for (const auto& c : cases) {
        StartAgain();
        CMarble* marble = Put(0, 100, 200);
        if (c.onPath) GivePath(marble, 300, 300);
        CMarblePowerup* coin = screen->SpawnPowerUp(120, 200, kPowerUpCoin);
        coin->m_bCollides = coin->m_bSetOffByMarble = true;
        Put(1, 80, 200);
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(coin->m_bRemoved, c.coinSetOff) << c.why;
        EXPECT_EQ(screen->m_nLives, 2) << c.why;
        EXPECT_EQ(Played("SFX_WRONG_BALL"), 1) << c.why;
        sound->played.clear();
    }
}

TEST_F(RoundCollisionTest, OnceTheNearMissIsEarnedThePassNoLongerWatchesForIt) {
    // The achievement is held already: a pair 30 pixels apart sets no flag, and a flag left set
    // brings no second banner when the pair is 40 pixels apart.
    const struct {
        bool flagBefore;
        int distance;
    } cases[] = {{false, 30}, {true, 40}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        profile->m_AchievementFlags[16] = 1;
        screen->m_bNearMiss = c.flagBefore;
        const int banners = QueuedAchievementBanners();
        Put(0, 100, 200);
        Put(1, 100 + c.distance, 200);
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_bNearMiss, c.flagBefore) << c.distance;
        EXPECT_EQ(QueuedAchievementBanners(), banners) << c.distance;
        EXPECT_TRUE(profile->IsAchievementAwarded(16));
    }
    // The same two passes without the achievement: the flag is set, then the banner comes.
    profile->m_AchievementFlags[16] = 0;
    screen->m_bNearMiss = false;
    screen->m_Marbles.RemoveAll();
    const int banners = QueuedAchievementBanners();
    Put(0, 100, 200);
    CMarble* b = Put(1, 130, 200);
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(screen->m_bNearMiss);
    b->m_Position.x = 140 * 65536;
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(QueuedAchievementBanners(), banners + 1);
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
