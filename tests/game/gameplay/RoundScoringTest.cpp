// The round's scoring: points by level, combo, combo boost, quest colour and arena (worked out by
// hand from the rules), the delete pass with its clear bonus, level advance, coins and statistics,
// the power-ups a combo brings with the second coin's chance, and the effect records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "RoundTestGame.h"
#include "game/gameplay/MarblePowerup.h"

namespace gameplaytest {
namespace {

class RoundScoringTest : public RoundTest {
protected:
    // A marble that leaves in the next delete pass.
    CMarble* Leaving(int colour, int x, int y) {
        CMarble* m = Put(colour, x, y);
        m->m_bRemoved = true;
        return m;
    }
};

TEST_F(RoundScoringTest, PointsFollowLevelComboBoostQuestAndArena) {
    struct TCase {
        int arena, level, combo, comboBoost;
        bool redQuest;
        int points, type;
        int total;
        const char* why;
    };
    const TCase cases[] = {
        {0, 0, 0, 0, false, 10, 0, 10, "a single pop on level 0"},
        {0, 4, 3, 2, false, 10, 1, 84, "(10 + 4) x 4 x 1.5"},
        {1, 0, 0, 0, false, 10, 2, 20, "arena2 counts twice"},
        {2, 0, 0, 0, false, 10, 3, 30, "arena3 three times"},
        {0, 25, 0, 0, false, 10, 0, 30, "the level adds at most 20"},
        {0, 0, 2, 1, false, 10, 0, 38, "30 x 1.25 rounds half up"},
        {0, 0, 2, 4, false, 10, 0, 60, "boost 4 doubles"},
        {0, 0, 2, 3, false, 10, 0, 53, "30 x 1.75 = 52.5 rounds half up"},
        {0, 0, 1, 4, false, 10, 0, 20, "a combo of 1 takes no boost"},
        {0, 0, 2, 5, false, 10, 0, 30, "a level past the table counts once"},
        {0, 0, 0, 0, true, 10, 0, 15, "the red quest adds 5 to red"},
        {0, 0, 0, 0, true, 10, 1, 10, "and nothing to green"},
        {0, 0, 2, 0, true, 10, 0, 45, "(10 + 5) x 3"},
        {0, 0, 0, 0, true, 100, 10, 100, "the clear bonus's white takes no quest"},
    };
    for (const TCase& c : cases) {
        Arrange(c.arena);
        if (c.redQuest) profile->MiniQuestCompleted(CommonString("yard1"), CommonString("q_red"));
        game.m_pMiniQuestManager->RecalcMiniQuestResultsForCurrentArena();
        screen->m_nLevel = c.level;
        screen->m_BoostLevels[kUpgradeCombo] = static_cast<std::uint8_t>(c.comboBoost);
        screen->m_nScore = 1000;
        screen->m_pJumpStrings->RemoveAll();
        screen->AddScore(c.points, 100, 200, c.combo, c.type, 4);
        EXPECT_EQ(screen->m_nScore, 1000 + c.total) << c.why;
        ASSERT_EQ(Texts(), std::vector<std::string>{std::to_string(c.total)}) << c.why;
        const CJumpString* text = screen->m_pJumpStrings->m_Texts.data[0];
        EXPECT_EQ(text->m_nDelay, 4);
        EXPECT_STREQ(text->m_pParams->style.GetDataConst(), "score");
        profile->m_MiniQuestStates.RemoveAll();
    }
}

TEST_F(RoundScoringTest, AQuestForYellowAddsToYellowMarbles) {
    const std::string text =
        "quests_for_yard = yard2\n affect_arena = arena1\n quest = q_yellow\n  buy1 = e\n  buy2 = f\n"
        "  extraScore = yellow, 3\n end\nend\n";
    TParseInput quests = ParseInputOf(std::span<const char>(text.data(), text.size()), "quests");
    ASSERT_TRUE(game.m_pMiniQuestManager->ReadQuestDefsFromInput(quests));
    profile->MiniQuestCompleted(CommonString("yard2"), CommonString("q_yellow"));
    game.m_pMiniQuestManager->RecalcMiniQuestResultsForCurrentArena();
    for (const auto& [type, total] : {std::pair{3, 13}, std::pair{2, 10}}) {
        screen->m_nScore = 0;
        screen->AddScore(10, 100, 100, 0, type, 0);
        EXPECT_EQ(screen->m_nScore, total) << type;
    }
}

TEST_F(RoundScoringTest, AQuestsSmallestExtraCountsAndANegativeOneTakesNothing) {
    const std::string text =
        "quests_for_yard = yard2\n affect_arena = arena1\n quest = q_one\n  buy1 = e\n  buy2 = f\n"
        "  extraScore = green, 1\n end\nend\n"
        "quests_for_yard = yard3\n affect_arena = arena1\n quest = q_minus\n  buy1 = g\n  buy2 = h\n"
        "  extraScore = green, -4\n end\nend\n";
    TParseInput quests = ParseInputOf(std::span<const char>(text.data(), text.size()), "quests");
    ASSERT_TRUE(game.m_pMiniQuestManager->ReadQuestDefsFromInput(quests));
    const struct {
        const char *yard, *quest;
        int total;
    } cases[] = {{"yard2", "q_one", 11}, {"yard3", "q_minus", 10}};
    for (const auto& c : cases) {
        profile->m_MiniQuestStates.RemoveAll();
        profile->MiniQuestCompleted(CommonString(c.yard), CommonString(c.quest));
        game.m_pMiniQuestManager->RecalcMiniQuestResultsForCurrentArena();
        screen->m_nScore = 0;
        screen->AddScore(10, 100, 100, 0, 1, 0);
        EXPECT_EQ(screen->m_nScore, c.total) << c.quest;
    }
}

TEST_F(RoundScoringTest, AScoreCountsWithoutAQuestManager) {
    CMiniQuestManager* quests = game.m_pMiniQuestManager;
    game.m_pMiniQuestManager = nullptr;
    screen->AddScore(10, 100, 100, 0, 0, 0);
    game.m_pMiniQuestManager = quests;
    EXPECT_EQ(screen->m_nScore, 10);
}

TEST_F(RoundScoringTest, TheScoreTextStaysInsideTheArea) {
    // The area: x 12 .. 308, y 66 .. 469.
    const struct {
        int x, y, shownX, shownY;
    } cases[] = {{0, 1000, 12, 469}, {1000, -50, 308, 66}, {200, 300, 200, 300}};
    for (const auto& c : cases) {
        screen->m_pJumpStrings->RemoveAll();
        screen->AddScore(10, c.x, c.y, 0, 0, 0);
        const CJumpString* text = screen->m_pJumpStrings->m_Texts.data[0];
        EXPECT_EQ(text->m_Position.x, c.shownX * 65536) << c.x << "," << c.y;
        EXPECT_EQ(text->m_Position.y, c.shownY * 65536) << c.x << "," << c.y;
    }
}

TEST_F(RoundScoringTest, TheSecondCoinLandsInsideTheAreaAboveAndBelow) {
    // Within an eighth of the area's height (50 pixels) of the combo, held 14 pixels inside.
    screen->m_BoostLevels[kUpgradeCoin] = 4;
    const struct { int y, yDraw, targetY; } cases[] = {{70, 0, 80}, {460, 99, 455}, {250, 30, 230}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        game.randoms.assign({2, 0, c.yDraw});
        screen->SpawnPowerUp(160, c.y, 2, 0);
        ASSERT_EQ(screen->m_Marbles.count, 2);
        EXPECT_EQ(static_cast<CMarblePowerup*>(screen->m_Marbles.data[1])->m_HopTarget.y, c.targetY * 65536) << c.y;
    }
}

TEST_F(RoundScoringTest, TheTutorialScoresNothing) {
    screen->m_bTutorial = true;
    screen->AddScore(10, 100, 100, 0, 0, 0);
    EXPECT_EQ(screen->m_nScore, 0);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(RoundScoringTest, AMarbleCaughtByABombIsWorthTwentyPlusTheLevel) {
    Put(3, 200, 400);  // no clear bonus
    screen->m_nLevel = 3;
    CMarble* caught = Leaving(0, 100, 100);
    caught->m_nScoreFactor = 2;
    CMarble* collector = Leaving(1, 150, 100);
    collector->m_nScoreFactor = 2;
    collector->m_nCollected = 1;
    screen->RunProcessDeleteObjects();
    // 20 + 3 for the caught marble; (10 + 3) x 2 for the one that had collected.
    EXPECT_EQ(screen->m_nScore, 23 + 26);
    EXPECT_EQ(screen->m_nCleared, 2);
}

TEST_F(RoundScoringTest, APopSoonOnItsPathShowsItsPointsLater) {
    Put(3, 200, 400);
    CMarble* m = Leaving(0, 100, 100);
    m->m_nPathFrames = 10;
    CMarble* slow = Leaving(0, 120, 100);
    slow->m_nPathFrames = 11;
    screen->RunProcessDeleteObjects();
    ASSERT_EQ(screen->m_pJumpStrings->m_Texts.count, 2);
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_nDelay, 10);
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[1]->m_nDelay, 0);
    // From the first frame on its path; a marble that never ran one shows at once.
    for (const auto& [frames, delay] : {std::pair{1, 10}, std::pair{0, 0}}) {
        screen->m_pJumpStrings->RemoveAll();
        Leaving(0, 100, 100)->m_nPathFrames = frames;
        screen->RunProcessDeleteObjects();
        ASSERT_EQ(screen->m_pJumpStrings->m_Texts.count, 1);
        EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_nDelay, delay) << frames;
    }
}

TEST_F(RoundScoringTest, APoppedMarblesPointsStandWhereItWas) {
    Put(3, 200, 400);
    Leaving(0, 100, 150);
    screen->RunProcessDeleteObjects();
    ASSERT_EQ(screen->m_pJumpStrings->m_Texts.count, 1);
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_pParams->position.x, 100 * 65536);
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_pParams->position.y, 150 * 65536);
}

TEST_F(RoundScoringTest, ALeavingMarbleOnAPathLeavesItsPath) {
    Put(3, 200, 400);
    CMarble* m = Put(0, 100, 150);
    GivePath(m, 300, 150);
    ASSERT_EQ(screen->m_nMarblesOnPath, 1);
    m->m_bRemoved = true;
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nMarblesOnPath, 0);
}

TEST_F(RoundScoringTest, OrdinaryMarblesStayFromThePausesFirstFrameToItsBursts) {
    const struct {
        int pause;
        bool gameOver;
        bool leaves;
    } cases[] = {{-1, false, true}, {0, false, false}, {65, false, false}, {66, false, true}, {-1, true, false}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nPauseCounter = c.pause;
        screen->m_bGameOver = c.gameOver;
        // Leaving marbles at both ends of the list, one that stays between them.
        Leaving(1, 60, 150);
        Put(3, 200, 400);
        Leaving(0, 100, 150);
        screen->RunProcessDeleteObjects();
        EXPECT_EQ(screen->m_Marbles.count, c.leaves ? 1 : 3) << c.pause << " " << c.gameOver;
    }
}

TEST_F(RoundScoringTest, APowerUpWithItsLastFrameOfLifeStillPays) {
    Put(3, 200, 400);
    CMarblePowerup* coin = screen->SpawnPowerUp(100, 150, kPowerUpCoin);
    coin->m_nLife = 1;
    coin->Activate();
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nCoinsPickedUp, 1);
    EXPECT_EQ(screen->m_Explosions.count, 1);
}

TEST_F(RoundScoringTest, ExplosionsLastNineteenFrames) {
    Put(3, 200, 400);
    Leaving(2, 100, 130)->m_nGlowAngle = 77;
    screen->RunProcessDeleteObjects();
    ASSERT_EQ(screen->m_Explosions.count, 1);
    const CExplosion e = screen->m_Explosions.data[0];
    EXPECT_EQ(e.position.x, 100 * 256);
    EXPECT_EQ(e.position.y, 130 * 256);
    EXPECT_EQ(e.clock, 0);
    EXPECT_EQ(e.red, 0);
    EXPECT_EQ(e.green, 255);
    EXPECT_EQ(e.blue, 255);
    EXPECT_EQ(e.angle, 77);
    // The clock runs 14.0 a frame: 14, 28, ... 252.0 after the 18th, and past 255.0 it ends.
    int frames = 0;
    while (screen->m_Explosions.count > 0 && frames < 100) {
        screen->RunProcessExplosions();
        ++frames;
        if (screen->m_Explosions.count > 0) {
            EXPECT_EQ(screen->m_Explosions.data[0].clock, 14 * 256 * frames) << "frame " << frames;
        }
    }
    EXPECT_EQ(frames, 19);
}

TEST_F(RoundScoringTest, AnExplosionEndsOnceItsClockPasses255) {
    // A kept round may hold an explosion at any clock: one that steps onto 255.0 exactly is still
    // shown for that frame, one that steps 1/256 past it is gone at once.
    const struct {
        FIXED_FLOAT clock;
        int frames;
    } cases[] = {{241 * 256, 2}, {241 * 256 + 1, 1}};
    for (const auto& c : cases) {
        screen->m_Explosions.count = 0;
        ASSERT_EQ(screen->m_Explosions.Add(CExplosion{{100 * 256, 100 * 256}, c.clock, 255, 0, 0, 0}), 1);
        int frames = 0;
        while (screen->m_Explosions.count > 0 && frames < 10) {
            screen->RunProcessExplosions();
            ++frames;
        }
        EXPECT_EQ(frames, c.frames) << c.clock;
    }
}

TEST_F(RoundScoringTest, TheClearBonusComesWhenTheLastMarbleInTheAreaLeaves) {
    struct TCase {
        int leavingType;
        int stayX;  // 0: nothing stays
        int pause;
        bool tutorial;
        bool bonus;
        const char* why;
    };
    const TCase cases[] = {
        {0, 0, -1, false, true, "the field is empty"},
        {0, -40, -1, false, true, "a marble still outside does not count"},
        {0, 100, -1, false, false, "a marble stays inside"},
        {kPowerUpTypeBase + kPowerUpBomb, 0, -1, false, false, "only a power-up left"},
        {0, 0, 70, false, false, "bursts of the pause after a lost life"},
        {0, 0, -1, true, false, "never in the tutorial"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nScore = 0;
        screen->m_nPauseCounter = c.pause;
        screen->m_bTutorial = c.tutorial;
        profile->m_nClearBonuses = 0;
        sound->played.clear();
        if (c.stayX != 0) Put(1, c.stayX, 300);
        if (c.leavingType < kPowerUpTypeBase) {
            CMarble* m = Leaving(c.leavingType, 160, 250);
            m->m_bEffective = c.pause < 0;
        } else {
            screen->SpawnPowerUp(160, 250, c.leavingType - kPowerUpTypeBase)->m_bRemoved = true;
        }
        screen->RunProcessDeleteObjects();
        EXPECT_EQ(profile->m_nClearBonuses, c.bonus ? 1 : 0) << c.why;
        EXPECT_EQ(Played("SFX_CLEARBONUS"), c.bonus ? 1 : 0) << c.why;
        if (c.bonus) {
            EXPECT_EQ(screen->m_nScore, 10 + 100) << c.why;
        }
    }
}

TEST_F(RoundScoringTest, TheLevelAdvancesInThePassThatReachesItsTarget) {
    Put(3, 200, 400);
    screen->m_nCleared = 5;
    Leaving(0, 100, 100);
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nTargetFill, 166 * 6 / 20);
    screen->m_nCleared = 19;
    Leaving(0, 100, 100);
    screen->m_pJumpStrings->RemoveAll();
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nLevel, 1);
    EXPECT_EQ(screen->m_nCleared, 0);
    EXPECT_EQ(screen->m_nLevelTarget, 21);
    EXPECT_TRUE(screen->m_bLevelUpFill);
    EXPECT_FALSE(screen->m_bLevelUpHold);
    EXPECT_EQ(screen->m_nTargetFill, 166) << "the bar fills before the new level's drops";
    EXPECT_EQ(Played("SFX_GainGameplayLevel"), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"10", "Level 2"}));
    // While the bar fills, later pops do not move its target.
    screen->m_nCleared = 3;
    Leaving(0, 100, 100);
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nTargetFill, 166);
}

TEST_F(RoundScoringTest, ReachingTheTargetEndsAHoldStillShowing) {
    Put(3, 200, 400);
    screen->m_nCleared = 19;
    screen->m_bLevelUpHold = true;  // the last level's full bar still held
    Leaving(0, 100, 100);
    screen->RunProcessDeleteObjects();
    EXPECT_FALSE(screen->m_bLevelUpHold);
    EXPECT_TRUE(screen->m_bLevelUpFill);
}

TEST_F(RoundScoringTest, LevelTargetsRunFromTwentyToThirtyFive) {
    std::vector<int> targets{screen->m_nLevelTarget};
    for (int i = 0; i < 18; ++i) {
        screen->Difficulty_AdvanceLevel();
        targets.push_back(screen->m_nLevelTarget);
    }
    EXPECT_EQ(targets, (std::vector<int>{20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 35, 35, 35}));
    EXPECT_EQ(screen->m_nLevel, 18);
}

TEST_F(RoundScoringTest, ACoinPaysTheArenasValueAndIsNoPowerUpStatistic) {
    struct TCase {
        int coinMoney;
        int paid;
        const char* text;
    };
    const TCase cases[] = {{1, 1, "+1"}, {3, 3, "+3"}, {-5, 0, "+0"}};
    for (const TCase& c : cases) {
        screen->m_pArena->coinMoney = c.coinMoney;
        screen->m_nCoinsPickedUp = 0;
        profile->m_nCoins = 50;
        profile->m_CoinsPerArena[0] = 7;
        profile->m_PowerUpsPerArena[0] = 0;
        screen->m_pJumpStrings->RemoveAll();
        Put(3, 200, 400);
        screen->SpawnPowerUp(100, 150, kPowerUpCoin)->Activate();
        screen->RunProcessDeleteObjects();
        EXPECT_EQ(screen->m_nCoinsPickedUp, c.paid);
        EXPECT_EQ(profile->m_nCoins, 50 + c.paid);
        EXPECT_EQ(profile->m_CoinsPerArena[0], 7 + c.paid);
        EXPECT_EQ(profile->m_PowerUpsPerArena[0], 0);
        ASSERT_EQ(Texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_Position.y, 130 * 65536) << "20 pixels above the coin";
        EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_Position.x, 100 * 65536);
        EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[0]->m_nDelay, 0) << "shown at once";
        screen->m_Marbles.RemoveAll();
    }
}

TEST_F(RoundScoringTest, ACoinWithoutAnArenaPaysNothing) {
    screen->m_pArena = nullptr;
    profile->m_nCoins = 50;
    Put(3, 200, 400);
    screen->SpawnPowerUp(100, 150, kPowerUpCoin)->Activate();
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nCoinsPickedUp, 0);
    EXPECT_EQ(profile->m_nCoins, 50);
    EXPECT_EQ(Texts(), std::vector<std::string>{"+0"});
}

TEST_F(RoundScoringTest, OtherPowerUpsAndCombosFillTheArenasStatistics) {
    Put(3, 200, 400);
    screen->SpawnPowerUp(100, 150, kPowerUpBomb)->m_bRemoved = true;
    Leaving(0, 60, 100)->m_nCollected = 4;
    game.randoms.assign({0});  // the combo's power-up: a bomb
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(profile->m_PowerUpsPerArena[0], 1);
    EXPECT_EQ(profile->m_MatchPerArena[0], 4);
    EXPECT_EQ(screen->m_Marbles.count, 2) << "the marble that stays and the combo's bomb";
}

TEST_F(RoundScoringTest, APowerUpWhoseLifeRanOutLeavesWithoutEffect) {
    Put(3, 200, 400);
    for (int kind : {kPowerUpBomb, kPowerUpCoin}) {
        CMarblePowerup* p = screen->SpawnPowerUp(100, 150, kind);
        p->m_nLife = 0;
        p->RunProcess();
        ASSERT_TRUE(p->m_bRemoved);
    }
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_Explosions.count, 0);
    EXPECT_EQ(screen->m_nCoinsPickedUp, 0);
    EXPECT_EQ(profile->m_PowerUpsPerArena[0], 0);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(RoundScoringTest, APowerUpSetOffWithLifeLeftBursts) {
    Put(3, 200, 400);
    screen->SpawnPowerUp(100, 150, kPowerUpBomb)->m_bRemoved = true;
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_Explosions.count, 1);
}

TEST_F(RoundScoringTest, ACombosPowerUpComesOnlyForMoreThanOne) {
    for (int combo : {0, 1}) {
        screen->SpawnPowerUp(100, 100, combo, 0);
        EXPECT_EQ(screen->m_Marbles.count, 0) << combo;
    }
    game.randoms.assign({3});
    screen->SpawnPowerUp(100, 100, 2, 0);
    ASSERT_EQ(screen->m_Marbles.count, 1);
    EXPECT_EQ(screen->m_Marbles.data[0]->m_nColorType, kPowerUpTypeBase + kPowerUpEightWay);
    EXPECT_EQ(Played("SFX_SPAWN_BONUS"), 1);
    // Placed 14 pixels inside the area.
    CMarblePowerup* edge = screen->SpawnPowerUp(0, 1000, kPowerUpBomb);
    EXPECT_EQ(edge->m_Position.x, 26 * 65536);
    EXPECT_EQ(edge->m_Position.y, 455 * 65536);
    EXPECT_EQ(edge->m_nSpeed, 0);
    CMarblePowerup* corner = screen->SpawnPowerUp(1000, -50, kPowerUpBomb);
    EXPECT_EQ(corner->m_Position.x, 294 * 65536);
    EXPECT_EQ(corner->m_Position.y, 80 * 65536);
}

TEST_F(RoundScoringTest, TheDoubleCoinBoostBringsASecondCoinByItsChance) {
    struct TCase {
        int level;
        bool withBoostTable;
        std::vector<int> randoms;
        int coins;
        std::vector<int> asked;
        const char* why;
    };
    // The shipped table's top level of the double coin is 4. The second coin's target: x 12 +
    // RandomValue(296), y 250 - 50 + RandomValue(100).
    const TCase cases[] = {
        {0, true, {2}, 1, {4}, "no boost, no second coin"},
        {4, true, {2, 10, 50}, 2, {4, 296, 100}, "the top level always gives one"},
        {2, true, {2, 501}, 1, {4, 1000}, "2 of 4 is 500 per mille: 501 misses"},
        {2, true, {2, 500, 10, 50}, 2, {4, 1000, 296, 100}, "500 hits"},
        {2, false, {2}, 1, {4}, "a table without levels: no second coin and no division"},
        {1, true, {2, 250, 10, 50}, 2, {4, 1000, 296, 100}, "level 1 of 4 is 250 per mille: 250 hits"},
        {1, true, {2, 251}, 1, {4, 1000}, "and 251 misses"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_BoostLevels[kUpgradeCoin] = static_cast<std::uint8_t>(c.level);
        CUpgradeManager* table = game.m_pUpgradeManager;
        if (!c.withBoostTable) game.m_pUpgradeManager = nullptr;
        game.randoms.assign(c.randoms.begin(), c.randoms.end());
        game.asked.clear();
        screen->SpawnPowerUp(160, 250, 3, 0);
        game.m_pUpgradeManager = table;
        EXPECT_EQ(screen->m_Marbles.count, c.coins) << c.why;
        EXPECT_EQ(game.asked, c.asked) << c.why;
    }
}

TEST_F(RoundScoringTest, TheSecondCoinHopsToAPointAtLeast41PixelsAway) {
    screen->m_BoostLevels[kUpgradeCoin] = 4;
    // Targets 162 and 152 lie too near x 160 and are drawn again; 212 is taken.
    game.randoms.assign({2, 150, 140, 200, 0});
    screen->SpawnPowerUp(160, 250, 2, 0);
    ASSERT_EQ(screen->m_Marbles.count, 2);
    EXPECT_EQ(game.asked, (std::vector<int>{4, 296, 296, 296, 100}));
    auto* second = static_cast<CMarblePowerup*>(screen->m_Marbles.data[1]);
    EXPECT_TRUE(second->m_bHopping);
    EXPECT_EQ(second->m_HopTarget.x, 212 * 65536);
    EXPECT_EQ(second->m_HopTarget.y, 200 * 65536);
    // The flight is hypot(52, 50) = 72.1 pixels: its arc is held to 50, its step is a 24th.
    EXPECT_EQ(second->m_nHopHeight, 50 * 65536);
    EXPECT_NEAR(second->m_nHopStep, std::hypot(52.0, 50.0) / 24.0 * 65536.0, 1.0);
    // A flight of 45 pixels keeps its own height, between 10 and 50.
    screen->m_Marbles.RemoveAll();
    game.randoms.assign({2, 193, 50});
    screen->SpawnPowerUp(160, 250, 2, 0);
    second = static_cast<CMarblePowerup*>(screen->m_Marbles.data[1]);
    EXPECT_EQ(second->m_HopTarget.x, 205 * 65536);
    EXPECT_EQ(second->m_HopTarget.y, 250 * 65536);
    EXPECT_EQ(second->m_nHopHeight, 45 * 65536);
}

TEST_F(RoundScoringTest, ABombsBlastGrowsAndCatchesEachMarbleOnce) {
    CMarble* near = Put(0, 120, 200);    // 20 pixels from the centre
    CMarble* edge = Put(1, 163, 200);    // 63: inside 50 + 14 at the end
    CMarble* far = Put(2, 165, 200);     // 65: never
    CMarble* before = Put(3, 100, 210);  // already leaving, with its own factor
    before->m_bRemoved = true;
    auto* coin = screen->SpawnPowerUp(110, 200, kPowerUpCoin);
    CBomb bomb;
    bomb.centre = TVector2D_16{100 * 65536, 200 * 65536};
    bomb.duration = 15;
    bomb.radius = 50 * 256;
    ASSERT_EQ(screen->m_Bombs.Add(bomb), 1);
    screen->RunProcessBombs();
    EXPECT_FALSE(near->m_bRemoved) << "3.3 + 14 pixels after the first frame";
    screen->RunProcessBombs();
    EXPECT_TRUE(near->m_bRemoved) << "6.7 + 14 after the second";
    EXPECT_EQ(near->m_nScoreFactor, 2);
    for (int i = 0; i < 13; ++i) screen->RunProcessBombs();
    EXPECT_TRUE(edge->m_bRemoved);
    EXPECT_FALSE(far->m_bRemoved);
    EXPECT_EQ(before->m_nScoreFactor, 1);
    EXPECT_FALSE(coin->m_bRemoved) << "power-ups are never caught";
    EXPECT_EQ(screen->m_Bombs.count, 0) << "gone after its 15 frames";
}

TEST_F(RoundScoringTest, ARayCatchesWhatItPassesAndLeavesTheArea) {
    CMarble* onLine = Put(0, 130, 200);
    CMarble* offLine = Put(1, 115, 222);  // 22 pixels off the ray's line: not caught
    CMarble* near = Put(2, 115, 221);
    CRay ray;
    ray.position = TVector2D_16{100 * 65536, 200 * 65536};
    ray.step = TVector2D_16{65536, 0};
    ASSERT_EQ(screen->m_Rays.Add(ray), 1);
    screen->RunProcessLightRays();
    EXPECT_EQ(screen->m_Rays.data[0].position.x, 120 * 65536) << "20 substeps of a pixel";
    EXPECT_TRUE(onLine->m_bRemoved);
    EXPECT_EQ(onLine->m_nScoreFactor, 2);
    EXPECT_TRUE(near->m_bRemoved);
    EXPECT_FALSE(offLine->m_bRemoved);
    // The area ends at x 308; 14 pixels beyond it the ray goes.
    screen->m_Rays.data[0].position.x = 300 * 65536;
    screen->RunProcessLightRays();
    EXPECT_EQ(screen->m_Rays.count, 1) << "at 320";
    screen->RunProcessLightRays();
    EXPECT_EQ(screen->m_Rays.count, 0);
}

TEST_F(RoundScoringTest, ADraggedMarbleThatLeavesIsLetGo) {
    Put(3, 200, 400);
    for (bool removed : {false, true}) {
        SCOPED_TRACE(removed);
        CMarble* dragged = Put(0, 100, 100);
        screen->m_pDraggedMarble = dragged;
        screen->m_PathPoints.count = 0;
        ASSERT_EQ(screen->m_PathPoints.Add(TVector2D{100 * 256, 100 * 256}), 1);
        screen->m_DrawingCurve.Reset();
        const TVector2D a{100 * 256, 100 * 256}, b{150 * 256, 100 * 256};
        ASSERT_EQ(screen->m_DrawingCurve.AddSpline(a, a, b, b), 1);
        dragged->m_bRemoved = removed;
        screen->RunProcessDeleteObjects();
        EXPECT_EQ(screen->m_pDraggedMarble, removed ? nullptr : dragged);
        EXPECT_EQ(screen->m_PathPoints.count, removed ? 0 : 1);
        EXPECT_EQ(screen->m_DrawingCurve.GetNumSegments(), removed ? 0 : 1);
        if (!removed) dragged->m_bRemoved = true;
        screen->m_pDraggedMarble = nullptr;
        screen->RunProcessDeleteObjects();
    }
}

TEST_F(RoundScoringTest, AComboBringsAPowerUpOnlyInPlay) {
    struct TCase {
        int collected;
        int pause;
        int powerUps;
        const char* why;
    };
    const TCase cases[] = {
        {2, -1, 1, "a combo of two in play"},
        {1, -1, 0, "one caught is no combo"},
        {2, 70, 0, "the bursts of the pause after a lost life"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nPauseCounter = c.pause;
        Put(3, 200, 400);
        Leaving(0, 100, 100)->m_nCollected = c.collected;
        game.randoms.assign({0});
        game.asked.clear();
        screen->RunProcessDeleteObjects();
        int powerUps = 0;
        for (int i = 0; i < screen->m_Marbles.count; ++i) powerUps += screen->m_Marbles.data[i]->IsPowerUp() ? 1 : 0;
        EXPECT_EQ(powerUps, c.powerUps) << c.why;
        EXPECT_EQ(game.asked.size(), static_cast<std::size_t>(c.powerUps)) << c.why << ": no kind is drawn";
    }
}

TEST_F(RoundScoringTest, APowerUpLyingInTheAreaLeavesTheClearBonusDue) {
    screen->SpawnPowerUp(160, 300, kPowerUpBomb);
    Leaving(0, 100, 100);
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(profile->m_nClearBonuses, 1);
    EXPECT_EQ(Played("SFX_CLEARBONUS"), 1);
    EXPECT_EQ(screen->m_nScore, 10 + 100);
}

TEST_F(RoundScoringTest, EachArenaChecksItsOwnFourScoreAchievements) {
    // The thresholds: arena1 4,999 9,999 14,999 24,999; arena2 9,999 19,999 29,999 49,999;
    // arena3 14,999 29,999 44,999 74,999. A pop of 10 counts 1, 2 and 3 times by the arena.
    struct TCase {
        int arena;
        int scoreBefore;
        std::vector<int> earned;
    };
    const TCase cases[] = {
        {0, 9990, {0, 1}},          {1, 19980, {4, 5}},       {2, 44970, {8, 9, 10}},
        {2, 74970, {8, 9, 10, 11}}, {1, 49980, {4, 5, 6, 7}},
    };
    for (const TCase& c : cases) {
        for (char& flag : profile->m_AchievementFlags) flag = 0;
        Arrange(c.arena);
        screen->m_nScore = c.scoreBefore;
        screen->AddScore(10, 100, 100, 0, 0, 0);
        std::vector<int> earned;
        for (int i = 0; i < 12; ++i)
            if (profile->IsAchievementAwarded(i)) earned.push_back(i);
        EXPECT_EQ(earned, c.earned) << "arena " << c.arena << " from " << c.scoreBefore;
    }
}

TEST_F(RoundScoringTest, BombsAndRaysCatchOnlyMarblesInOrHeadingIntoTheArea) {
    // Just left of the area (its widened edge is x -2): heading left the marble stays outside,
    // heading right its arrow lies inside.
    for (bool ray : {false, true}) {
        SCOPED_TRACE(ray ? "ray" : "bomb");
        screen->m_Marbles.RemoveAll();
        CMarble* leaving = Put(0, -5, 200);
        leaving->m_Direction = TVector2D_16{-65536, 0};
        CMarble* coming = Put(1, -5, 215);
        coming->m_Direction = TVector2D_16{65536, 0};
        CMarble* inside = Put(2, 20, 220);
        if (ray) {
            // Along y 207 to the right from x -1, just inside the widened area.
            CRay r;
            r.position = TVector2D_16{-1 * 65536, 207 * 65536};
            r.step = TVector2D_16{65536, 0};
            ASSERT_EQ(screen->m_Rays.Add(r), 1);
            screen->RunProcessLightRays();
            screen->m_Rays.count = 0;
        } else {
            CBomb bomb;
            bomb.centre = TVector2D_16{5 * 65536, 215 * 65536};
            bomb.duration = 1;
            bomb.radius = 30 * 256;
            ASSERT_EQ(screen->m_Bombs.Add(bomb), 1);
            screen->RunProcessBombs();
        }
        EXPECT_FALSE(leaving->m_bRemoved);
        EXPECT_TRUE(coming->m_bRemoved);
        EXPECT_TRUE(inside->m_bRemoved);
    }
}

TEST_F(RoundScoringTest, ARayCatchesMarblesCloserThan22PixelsOnly) {
    // The ray runs along y 200 through x 110; each marble stands off its line by so many
    // 65536ths of a pixel.
    // 65536ths of a pixel; a second ray runs down along x 160 through y 210, the marbles off its
    // line across.
    const struct {
        int offset;
        bool caught;
    } cases[] = {{22 * 65536 - 1, true}, {22 * 65536 - 655, true}, {22 * 65536, false}, {22 * 65536 + 1, false}};
    for (bool across : {false, true}) {
        for (const auto& c : cases) {
            screen->m_Marbles.RemoveAll();
            CMarble* m = across ? Put(0, 160, 210) : Put(0, 110, 200);
            CRay r;
            if (across) {
                m->m_Position.x = 160 * 65536 + c.offset;
                r.position = TVector2D_16{160 * 65536, 200 * 65536};
                r.step = TVector2D_16{0, 65536};
            } else {
                m->m_Position.y = 200 * 65536 + c.offset;
                r.position = TVector2D_16{100 * 65536, 200 * 65536};
                r.step = TVector2D_16{65536, 0};
            }
            screen->m_Rays.count = 0;
            ASSERT_EQ(screen->m_Rays.Add(r), 1);
            screen->RunProcessLightRays();
            EXPECT_EQ(m->m_bRemoved, c.caught) << c.offset << (across ? " across" : " along");
        }
    }
}

TEST_F(RoundScoringTest, AFullBlastReachesItsRadiusAnd14PixelsToTheFraction) {
    // A bomb of radius 50 at (100, 200) whose last frame has come: the reach is 64 pixels; the
    // marbles stand right of it by so many 65536ths.
    const struct {
        int offset;
        bool caught;
    } cases[] = {{64 * 65536 - 1, true}, {64 * 65536 - 6554, true}, {64 * 65536, false}, {64 * 65536 + 6554, false}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        CMarble* m = Put(0, 164, 200);
        m->m_Position.x = 100 * 65536 + c.offset;
        CBomb bomb;
        bomb.centre = TVector2D_16{100 * 65536, 200 * 65536};
        bomb.counter = 14;
        bomb.duration = 15;
        bomb.radius = 50 * 256;
        screen->m_Bombs.count = 0;
        ASSERT_EQ(screen->m_Bombs.Add(bomb), 1);
        screen->RunProcessBombs();
        EXPECT_EQ(m->m_bRemoved, c.caught) << c.offset;
        EXPECT_EQ(screen->m_Bombs.count, 0);
    }
}

TEST_F(RoundScoringTest, ABombWithoutADurationBlastsAtItsFullRadiusAtOnce) {
    // Also from a damaged record whose counter is below zero: 10 + 14 pixels, no further.
    for (int counter : {0, -3}) {
        screen->m_Marbles.RemoveAll();
        CMarble* in = Put(0, 123, 200);
        CMarble* out = Put(1, 160, 200);
        CBomb bomb;
        bomb.centre = TVector2D_16{100 * 65536, 200 * 65536};
        bomb.counter = counter;
        bomb.duration = 0;
        bomb.radius = 10 * 256;
        screen->m_Bombs.count = 0;
        ASSERT_EQ(screen->m_Bombs.Add(bomb), 1);
        screen->RunProcessBombs();
        EXPECT_TRUE(in->m_bRemoved) << counter;
        EXPECT_FALSE(out->m_bRemoved) << counter;
    }
}

TEST_F(RoundScoringTest, ABlastGrowsFromNothingAtCounterZero) {
    // A one-frame bomb whose counter a damaged record left at -1 steps to 0 of 1: its blast has
    // no radius yet and reaches 14 pixels, no further.
    for (const auto& [dx, caught] : {std::pair{13, true}, std::pair{20, false}}) {
        screen->m_Marbles.RemoveAll();
        CMarble* m = Put(0, 100 + dx, 200);
        CBomb bomb;
        bomb.centre = TVector2D_16{100 * 65536, 200 * 65536};
        bomb.counter = -1;
        bomb.duration = 1;
        bomb.radius = 10 * 256;
        screen->m_Bombs.count = 0;
        ASSERT_EQ(screen->m_Bombs.Add(bomb), 1);
        screen->RunProcessBombs();
        EXPECT_EQ(m->m_bRemoved, caught) << dx;
    }
}

TEST_F(RoundScoringTest, ARayGoesWhereItLeavesTheWidenedAreaOnEverySide) {
    // The area widened by 14 pixels: x -2 .. 322, y 52 .. 483, its edges outside. A frame moves
    // a ray 20 pixels.
    struct TCase {
        int x, y, dx, dy;
        bool kept;
        int inside256 = 0;  // 256ths of a pixel moved back inside, against the step
    };
    const TCase cases[] = {
        {160, 73, 0, -1, true},    {160, 72, 0, -1, false},   {160, 462, 0, 1, true},    {160, 463, 0, 1, false},
        {19, 200, -1, 0, true},    {18, 200, -1, 0, false},   {301, 200, 1, 0, true},    {302, 200, 1, 0, false},
        {160, 72, 0, -1, true, 5}, {160, 463, 0, 1, true, 5}, {18, 200, -1, 0, true, 5}, {302, 200, 1, 0, true, 5},
    };
    for (const TCase& c : cases) {
        screen->m_Rays.count = 0;
        CRay r;
        r.position = TVector2D_16{c.x * 65536 - c.dx * c.inside256 * 256, c.y * 65536 - c.dy * c.inside256 * 256};
        r.step = TVector2D_16{c.dx * 65536, c.dy * 65536};
        ASSERT_EQ(screen->m_Rays.Add(r), 1);
        screen->RunProcessLightRays();
        EXPECT_EQ(screen->m_Rays.count, c.kept ? 1 : 0)
            << c.x << "," << c.y << " by " << c.dx << "," << c.dy << " and " << c.inside256 << "/256";
    }
}

TEST_F(RoundScoringTest, EachPowerUpSoundsItsOwnEffectWhenSetOff) {
    const struct {
        int kind;
        const char* sound;
    } cases[] = {{kPowerUpBomb, "SFX_POWERUP_BOMB"},
                 {kPowerUpColorBomb, "SFX_POWERUP_COLORBOMB"},
                 {kPowerUpCoin, "SFX_POWERUP_COIN"},
                 {kPowerUpEightWay, "SFX_8_WAY_BOMB"}};
    const char* const all[] = {"SFX_POWERUP_BOMB", "SFX_POWERUP_COLORBOMB", "SFX_POWERUP_COIN", "SFX_8_WAY_BOMB"};
    for (const auto& c : cases) {
        sound->played.clear();
        CMarblePowerup* p = screen->SpawnPowerUp(160, 250, c.kind);
        ASSERT_NE(p, nullptr);
        p->Activate();
        for (const char* name : all)
            EXPECT_EQ(Played(name), std::string(name) == c.sound ? 1 : 0) << c.sound << " " << name;
        screen->m_Marbles.RemoveAll();
    }
}

TEST_F(RoundScoringTest, TheClearBonusTextsStandWhiteAtTheirPlacesAndCountTowardsItsAchievement) {
    profile->m_nClearBonuses = 24;
    Leaving(0, 100, 100);
    screen->RunProcessDeleteObjects();
    ASSERT_EQ(Texts(), (std::vector<std::string>{"10", "100", "Clear bonus!"}));
    const CJumpString* points = screen->m_pJumpStrings->m_Texts.data[1];
    const CJumpString* words = screen->m_pJumpStrings->m_Texts.data[2];
    EXPECT_EQ(points->m_pParams->position.x, GC.m_nTextCenterX * 65536);
    EXPECT_EQ(points->m_pParams->position.y, 270 * 65536);
    EXPECT_EQ(words->m_pParams->position.x, GC.m_nTextCenterX * 65536);
    EXPECT_EQ(words->m_pParams->position.y, 220 * 65536);
    EXPECT_STREQ(words->m_pParams->style.GetDataConst(), "clear");
    EXPECT_EQ(points->m_nDelay, 0);
    EXPECT_EQ(words->m_nDelay, 0);
    for (const CJumpString* t : {points, words})
        EXPECT_EQ((std::vector<int>{t->m_pParams->red, t->m_pParams->green, t->m_pParams->blue}),
                  (std::vector<int>{255, 255, 255}))
            << "white";
    // The 25th clear bonus earns achievement 15, and no other.
    EXPECT_EQ(profile->m_nClearBonuses, 25);
    std::vector<int> earned;
    for (int i = 0; i < 24; ++i)
        if (profile->IsAchievementAwarded(i)) earned.push_back(i);
    EXPECT_EQ(earned, std::vector<int>{15});
}

TEST_F(RoundScoringTest, EveryScoreChecksTheThreeTotalScoreAchievements) {
    // 99,999, 499,999 and 999,999 points in all: achievements 12, 13 and 14.
    const struct {
        int total;
        std::vector<int> earned;
    } cases[] = {{100000, {12}}, {500000, {12, 13}}, {1000000, {12, 13, 14}}, {99999, {}}};
    for (const auto& c : cases) {
        for (char& flag : profile->m_AchievementFlags) flag = 0;
        profile->m_nTotalScore = c.total;
        screen->m_nScore = 0;
        screen->AddScore(10, 100, 100, 0, 0, 0);
        std::vector<int> earned;
        for (int i = 0; i < 24; ++i)
            if (profile->IsAchievementAwarded(i)) earned.push_back(i);
        EXPECT_EQ(earned, c.earned) << c.total;
    }
}

TEST_F(RoundScoringTest, TheSecondCoinIsDrawnAgainTenTimesAtMostAndFlies41PixelsOrMore) {
    screen->m_BoostLevels[kUpgradeCoin] = 4;
    struct TCase {
        std::vector<int> randoms;
        int draws;  // of the target's x
        int targetX;
        const char* why;
    };
    // x 160: a draw of d gives x 12 + d.
    const TCase cases[] = {
        {{2, 189, 50}, 1, 201, "41 pixels away is far enough"},
        {{2, 188, 189, 50}, 2, 201, "40 is not"},
        {{2, 148, 148, 148, 148, 148, 148, 148, 148, 148, 148, 148, 50}, 11, 160, "ten more draws, then it stays"},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        game.randoms.assign(c.randoms.begin(), c.randoms.end());
        game.asked.clear();
        screen->SpawnPowerUp(160, 250, 2, 0);
        ASSERT_EQ(screen->m_Marbles.count, 2) << c.why;
        EXPECT_EQ(std::count(game.asked.begin(), game.asked.end(), 296), c.draws) << c.why;
        const auto* second = static_cast<CMarblePowerup*>(screen->m_Marbles.data[1]);
        EXPECT_EQ(second->m_HopTarget.x, c.targetX * 65536) << c.why;
        if (c.targetX == 160) {
            // No flight at all: the arc keeps its lowest height of 10 pixels.
            EXPECT_EQ(second->m_nHopHeight, 10 * 65536) << c.why;
        }
    }
}

TEST_F(RoundScoringTest, AnimationFramesRunBackwardsAndAnimationsWithoutSetsOrParticlesStillEnd) {
    // A step of minus one frame from frames 1 and 0 of the 16 of the coin set.
    for (const auto& [from, to] : {std::pair{256, 0}, std::pair{0, 15 * 256}}) {
        screen->m_Animations.count = 0;
        CAnimation a;
        a.spriteSet = Set("Coin_Test");
        a.frame = from;
        a.frameStep = -256;
        a.duration = 3 * 256;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
        screen->RunProcessAnimations();
        EXPECT_EQ(screen->m_Animations.data[0].frame, to) << from;
    }
    // A set of one frame still steps by fractions of it: 100/256 a frame wraps past 1.0.
    screen->m_Animations.count = 0;
    CAnimation single;
    single.spriteSet = Set("Flare");
    single.frameStep = 100;
    single.duration = 5 * 256;
    ASSERT_EQ(screen->m_Animations.Add(single), 1);
    std::vector<int> frames;
    for (int i = 0; i < 3; ++i) {
        screen->RunProcessAnimations();
        frames.push_back(screen->m_Animations.data[0].frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{100, 200, 44}));
    // No set, and a ring with no particle systems to emit with: the clocks run to the end.
    screen->m_Animations.count = 0;
    CAnimation plain;
    plain.duration = 2 * 256;
    CAnimation ring = plain;
    ring.kind = kAnimationRing;
    ring.ringRadius = 40.0f;
    ASSERT_EQ(screen->m_Animations.Add(plain), 1);
    ASSERT_EQ(screen->m_Animations.Add(ring), 1);
    ASSERT_EQ(game.m_pParticleManager, nullptr);
    screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.data[0].clock, 256);
    EXPECT_EQ(screen->m_Animations.data[1].clock, 256);
    for (int i = 0; i < 2; ++i) screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.count, 0);
}

TEST_F(RoundScoringTest, AnAnimationWhoseSetCouldNotLoadKeepsItsFrameAndEnds) {
    // A set whose strip is missing from the pak is known by name but has no frame to step
    // through: the animation's clock runs and it ends, its frame left where it was.
    ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle("Coin_Lost", "t\\Coin_Lost.png", "", 16, 16, false, false),
              1);
    EXPECT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef("Coin_Lost"), 0);
    ASSERT_NE(Set("Coin_Lost"), nullptr);
    ASSERT_EQ(Set("Coin_Lost")->GetNumFrames(), 0);
    CAnimation a;
    a.spriteSet = Set("Coin_Lost");
    a.frame = 5 * 256;
    a.frameStep = 256;
    a.duration = 2 * 256;
    ASSERT_EQ(screen->m_Animations.Add(a), 1);
    for (int clock : {256, 512}) {
        screen->RunProcessAnimations();
        ASSERT_EQ(screen->m_Animations.count, 1);
        EXPECT_EQ(screen->m_Animations.data[0].clock, clock);
        EXPECT_EQ(screen->m_Animations.data[0].frame, 5 * 256);
    }
    screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.count, 0);
}

TEST_F(RoundScoringTest, AnimationsRunTheirClockAndFramesAndEnd) {
    CAnimation a;
    a.spriteSet = Set("Coin_Test");  // 16 frames
    a.frame = 15 * 256;
    a.frameStep = 512;
    a.duration = 3 * 256;
    ASSERT_EQ(screen->m_Animations.Add(a), 1);
    screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.data[0].frame, 256) << "17 wraps to 1";
    EXPECT_EQ(screen->m_Animations.data[0].clock, 256);
    screen->RunProcessAnimations();
    screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.count, 1) << "at its duration it still runs";
    screen->RunProcessAnimations();
    EXPECT_EQ(screen->m_Animations.count, 0);
}

}  // namespace
}  // namespace gameplaytest
