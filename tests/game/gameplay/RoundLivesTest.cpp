// The round's life cycle: the start of a round (boosted lives, the first marbles, the start
// texts, the counters), lost lives with their texts and the pause that follows, the tutorial's
// mercy, game over with what it writes into the profile and the game object, the press that
// opens the statistics, and the screen's pause panel and sliders.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "RoundTestGame.h"
#include "core/LocManager2.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/HighScoreTable.h"
#include "render/DrawingHelpers.h"
#include "testsupport/ScratchSaveFolder.h"

namespace gameplaytest {
namespace {

class RoundLivesTest : public RoundTest {
protected:
    // Two touching marbles of different colours and one more away from them.
    void WrongPairAndOneMore() {
        Put(0, 100, 200);
        Put(1, 120, 200);
        Put(2, 200, 400);
    }
    // Frames of the whole screen.
    void Frames(int n) {
        for (int i = 0; i < n; ++i) screen->RunProcess();
    }
};

TEST_F(RoundLivesTest, TheExtraLivesBoostAddsToTheOneLife) {
    for (const auto& [boost, lives] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{3, 4}}) {
        screen->m_nLives = 1;
        profile->m_BoostLevels[kUpgradeLife] = static_cast<signed char>(boost);
        screen->OnNewGame();
        EXPECT_EQ(screen->m_nLives, lives) << boost;
        EXPECT_EQ(screen->m_BoostLevels[kUpgradeLife], boost);
    }
}

TEST_F(RoundLivesTest, TheFirstArenaStartsWithAMarbleNearEachCorner) {
    game.randoms.assign({1, 2, 3, 0});
    screen->OnNewGame();
    ASSERT_EQ(screen->m_Marbles.count, 4);
    // The area spans x 12 .. 308 and y 66 .. 469; 60 pixels in from each corner, clockwise.
    const int expected[4][3] = {{72, 126, 1}, {248, 126, 2}, {248, 409, 3}, {72, 409, 0}};
    for (int i = 0; i < 4; ++i) {
        const CMarble* m = screen->m_Marbles.data[i];
        EXPECT_EQ(m->m_Position.x, expected[i][0] * 65536) << i;
        EXPECT_EQ(m->m_Position.y, expected[i][1] * 65536) << i;
        EXPECT_EQ(m->m_nColorType, expected[i][2]) << i;
    }
}

TEST_F(RoundLivesTest, EachArenaShowsItsStartTexts) {
    struct TCase {
        int arena;
        std::vector<std::string> texts;
        int marbles;
    };
    const TCase cases[] = {
        {0, {"Go!", "Level 1"}, 4},
        {1, {"Go!", "The Ruby!", "= 2 x ", "Level 1"}, 0},
        {2, {"Go!", "The Diamond!", "= 3 x ", "Level 1"}, 0},
    };
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        Arrange(c.arena);
        screen->m_pJumpStrings->ShowJumpString(CommonString("old"), CommonString("score"), 0, 0, 0, 0);
        screen->OnNewGame();
        EXPECT_EQ(Texts(), c.texts) << c.arena;
        EXPECT_EQ(screen->m_Marbles.count, c.marbles) << c.arena;
        EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[c.texts.size() - 1]->m_nDelay, 99) << "the first level waits";
    }
    // The arena's coins stand beside the factor.
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[2]->m_nLeftDecoration, 3);
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[2]->m_nRightDecoration, 1);
}

TEST_F(RoundLivesTest, ARoundStartCountsForTheProfileButNotInTheTutorial) {
    profile->m_nRoundsStarted = 4;
    screen->OnNewGame();
    EXPECT_EQ(profile->m_nRoundsStarted, 5);
    EXPECT_FALSE(profile->m_bCoinShopButtonShown);
    screen->OnNewGame();
    EXPECT_EQ(profile->m_nRoundsStarted, 6);
    EXPECT_TRUE(profile->m_bCoinShopButtonShown) << "from the sixth round on";
    EXPECT_EQ(profile->m_RoundsPerArena[0], 2);
    screen->m_Marbles.RemoveAll();
    screen->m_bTutorial = true;
    screen->OnNewGame();
    EXPECT_EQ(profile->m_nRoundsStarted, 6);
    EXPECT_EQ(screen->m_Marbles.count, 0);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(RoundLivesTest, ALostLifeSaysHowManyAreLeft) {
    struct TCase {
        int livesBefore;
        const char* text;
    };
    const TCase cases[] = {{4, "3 lives left"}, {3, "2 lives left"}, {2, "Last life!"}};
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nLives = c.livesBefore;
        screen->m_nPauseCounter = -1;
        screen->m_pJumpStrings->RemoveAll();
        screen->m_pJumpStrings->ShowJumpString(CommonString("10"), CommonString("score"), 0, 0, 0, 0);
        WrongPairAndOneMore();
        screen->RunProcessEnemyCollisions();
        EXPECT_EQ(screen->m_nLives, c.livesBefore - 1);
        ASSERT_EQ(Texts(), std::vector<std::string>{c.text}) << "earlier texts go";
        const CJumpString* text = screen->m_pJumpStrings->m_Texts.data[0];
        EXPECT_STREQ(text->m_pParams->style.GetDataConst(), "life_lost");
        EXPECT_EQ(text->m_nDelay, 15);
        EXPECT_EQ(text->m_Position.x, 160 * 65536);
        EXPECT_EQ(text->m_Position.y, 240 * 65536);
        EXPECT_FALSE(screen->m_bGameOver);
    }
    EXPECT_EQ(Played("SFX_LIFELOST"), 3);
}

TEST_F(RoundLivesTest, APathsMarbleLeavesItsPathWhenItCostsALife) {
    CMarble* a = Put(0, 100, 200);
    Put(1, 120, 200);
    GivePath(a, 300, 300);
    screen->m_nLives = 2;
    screen->RunProcessEnemyCollisions();
    EXPECT_FALSE(a->m_bOnPath);
    EXPECT_EQ(screen->m_nMarblesOnPath, 0);
    // The later marble of the pair, and both.
    for (bool both : {false, true}) {
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        screen->m_nPauseCounter = -1;
        screen->m_nLives = 3;
        CMarble* first = Put(0, 100, 200);
        CMarble* second = Put(1, 120, 200);
        GivePath(second, 300, 300);
        if (both) GivePath(first, 20, 100);
        screen->RunProcessEnemyCollisions();
        EXPECT_FALSE(second->m_bOnPath) << both;
        EXPECT_FALSE(first->m_bOnPath) << both;
        EXPECT_EQ(screen->m_nMarblesOnPath, 0) << both;
    }
}

TEST_F(RoundLivesTest, AWrongColourLeavesTheHaloOnThatPairOnly) {
    // A blue marble heading for the red one from 60 pixels above gets a halo first in the pass;
    // the wrong pair then takes every halo but its own.
    CMarble* c = Put(2, 100, 140);
    c->m_Direction = TVector2D_16{0, 65536};
    CMarble* a = Put(0, 100, 200);
    CMarble* b = Put(1, 120, 200);
    screen->m_nLives = 3;
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
    EXPECT_EQ(c->m_nDanger, 0);
    EXPECT_EQ(a->m_nDanger, 255);
    EXPECT_EQ(b->m_nDanger, 255);
}

TEST_F(RoundLivesTest, TheLevelStopsAtTheLargestNumber) {
    screen->m_nLevel = INT_MAX;
    screen->Difficulty_AdvanceLevel();
    EXPECT_EQ(screen->m_nLevel, INT_MAX);
    EXPECT_EQ(screen->m_nLevelTarget, 35);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Level 2147483647"});
}

TEST_F(RoundLivesTest, TheLevelTextStandsAtTheTextCentre) {
    screen->m_nLevel = 3;
    screen->Difficulty_AdvanceLevel();
    ASSERT_EQ(Texts(), std::vector<std::string>{"Level 5"});
    const CJumpString* text = screen->m_pJumpStrings->m_Texts.data[0];
    EXPECT_EQ(text->m_pParams->position.x, GC.m_nTextCenterX * 65536);
    EXPECT_EQ(text->m_pParams->position.y, GC.m_nTextCenterY * 65536);
    EXPECT_EQ(text->m_nDelay, 0) << "only the first level waits";
}

TEST_F(RoundLivesTest, WithoutTextsOrTranslationsLevelsAndLivesGoOnSilently) {
    CLocManager2* loc = game.m_pLocManager;
    for (bool noTexts : {true, false}) {
        SCOPED_TRACE(noTexts ? "no floating texts" : "no translations");
        screen->m_Marbles.RemoveAll();
        screen->m_nPauseCounter = -1;
        screen->m_nLives = 3;
        CJumpStringManager* texts = screen->m_pJumpStrings;
        if (noTexts)
            screen->m_pJumpStrings = nullptr;
        else
            game.m_pLocManager = nullptr;
        screen->Difficulty_AdvanceLevel();
        Put(0, 100, 200);
        Put(1, 120, 200);
        screen->RunProcessEnemyCollisions();
        screen->m_pJumpStrings = texts;
        game.m_pLocManager = loc;
        EXPECT_EQ(screen->m_nLives, 2);
        EXPECT_TRUE(Texts().empty());
    }
}

TEST_F(RoundLivesTest, TheTutorialsWrongColourSetsTwoLivesAndClearsTheTexts) {
    screen->m_bTutorial = true;
    screen->m_nLives = 5;
    screen->m_pJumpStrings->ShowJumpString(CommonString("old"), CommonString("score"), 0, 0, 0, 0);
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Wrong colour!"});
}

TEST_F(RoundLivesTest, GameOverPulsesTheHaloAndForgetsANearMiss) {
    screen->m_nLives = 1;
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    ASSERT_TRUE(screen->m_bGameOver);
    for (int frame = 0; frame < 6; ++frame) {
        const FIXED_FLOAT_16 clock = screen->m_nGameOverClock;
        screen->m_bNearMiss = true;
        screen->RunProcess();
        EXPECT_FALSE(screen->m_bNearMiss);
        EXPECT_EQ(screen->m_Marbles.data[0]->m_nDanger, 1 + static_cast<int>((254LL * SCurve16(clock, nullptr)) >> 16))
            << frame;
        EXPECT_EQ(screen->m_Marbles.data[2]->m_nDanger, 0) << "the marble without a halo keeps none";
        EXPECT_EQ(screen->m_nGameOverClock, clock + 6554);
    }
    // At its cap the clock stays.
    const FIXED_FLOAT_16 cap = 16383 * 131072;
    screen->m_nGameOverClock = cap;
    screen->RunProcess();
    EXPECT_EQ(screen->m_nGameOverClock, cap);
}

TEST_F(RoundLivesTest, GameOverStillEndsWithoutQuestsProfileOrArena) {
    struct TCase {
        const char* why;
        bool noQuests, noProfile, noArena;
        int coinsAfter;
    };
    const TCase cases[] = {{"no quest manager: a coin a thousand points", true, false, false, 125},
                           {"no current player: nothing is written", false, true, false, 100},
                           {"no arena: no table to enter", false, false, true, 125}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        Arrange(0);
        profile->m_nCoins = 100;
        screen->m_nScore = 25000;
        CMiniQuestManager* quests = game.m_pMiniQuestManager;
        const int current = game.GetAppData()->m_nCurrentProfile;
        Arena* arena = screen->m_pArena;
        if (c.noQuests) game.m_pMiniQuestManager = nullptr;
        if (c.noProfile) game.GetAppData()->m_nCurrentProfile = -1;
        if (c.noArena) screen->m_pArena = nullptr;
        game.m_nNewHighScoreRow = -1;
        screen->GameOver();
        game.m_pMiniQuestManager = quests;
        game.GetAppData()->m_nCurrentProfile = current;
        screen->m_pArena = arena;
        EXPECT_TRUE(screen->m_bGameOver);
        EXPECT_EQ(screen->m_nCoinsFromScore, 25);
        EXPECT_EQ(profile->m_nCoins, c.coinsAfter);
        if (c.noArena || c.noProfile) {
            EXPECT_EQ(game.m_nNewHighScoreRow, -1);
        }
    }
}

TEST_F(RoundLivesTest, ExperienceMayReachTheLargestCountAndABestScoreTheTopRow) {
    profile->m_uExperiencePoints = UINT_MAX - 100;
    screen->m_nScore = 100;
    screen->GameOver();
    EXPECT_EQ(profile->m_uExperiencePoints, UINT_MAX);
    game.GetAppData()->SetDefaultApplicationData();
    screen->m_nScore = 2000000000;
    screen->GameOver();
    EXPECT_EQ(game.m_nNewHighScoreRow, 0) << "the best score of the table";
}

TEST_F(RoundLivesTest, ThePauseForgetsANearMissEveryFrame) {
    Put(2, 200, 400);
    screen->m_nPauseCounter = 5;
    screen->m_bNearMiss = true;
    screen->RunProcessLifeLostPause();
    EXPECT_FALSE(screen->m_bNearMiss);
}

TEST_F(RoundLivesTest, TheClearBonusGoesOnWithoutTextsOrTranslations) {
    CLocManager2* loc = game.m_pLocManager;
    for (bool noTexts : {true, false}) {
        SCOPED_TRACE(noTexts ? "no floating texts" : "no translations");
        screen->m_Marbles.RemoveAll();
        screen->m_nScore = 0;
        CJumpStringManager* texts = screen->m_pJumpStrings;
        if (noTexts)
            screen->m_pJumpStrings = nullptr;
        else
            game.m_pLocManager = nullptr;
        Put(0, 100, 100)->m_bRemoved = true;
        screen->RunProcessDeleteObjects();
        screen->m_pJumpStrings = texts;
        game.m_pLocManager = loc;
        EXPECT_EQ(screen->m_nScore, 110);
        if (!noTexts) {
            EXPECT_EQ(Texts(), (std::vector<std::string>{"10", "100"})) << "the points, not the words";
        }
        screen->m_pJumpStrings->RemoveAll();
    }
}

TEST_F(RoundLivesTest, ThePauseAfterALostLifeLetsGoOfTheDraggedMarble) {
    CMarble* m = Put(2, 200, 400);
    screen->m_nPauseCounter = 5;
    screen->m_pDraggedMarble = m;
    screen->RunProcessLifeLostPause();
    EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
}

TEST_F(RoundLivesTest, ThePauseAfterALostLifePulsesThenBurstsTheFieldThenPlays) {
    screen->m_nLives = 3;
    WrongPairAndOneMore();
    Frames(1);
    ASSERT_EQ(screen->m_nPauseCounter, 0);
    // The danger halo of the pair pulses, 1 + 254 x S(0.1 x frame), every 20 frames.
    const int pulse[] = {7, 25, 53, 88, 128, 167, 202, 230, 248, 254, 248};
    for (int frame = 1; frame <= 11; ++frame) {
        Frames(1);
        EXPECT_EQ(screen->m_Marbles.data[0]->m_nDanger, pulse[frame - 1]) << frame;
        EXPECT_EQ(screen->m_Marbles.data[1]->m_nDanger, pulse[frame - 1]) << frame;
        EXPECT_EQ(screen->m_Marbles.data[2]->m_nDanger, 0);
    }
    EXPECT_FALSE(screen->NotifyPointerEvent(100, 200, XPOINTER_PRESS) == 0) << "a touch is taken and does nothing";
    Frames(54);
    ASSERT_EQ(screen->m_nPauseCounter, 65);
    EXPECT_EQ(screen->m_Marbles.count, 3) << "nothing leaves before frame 66";
    Frames(1);
    EXPECT_EQ(screen->m_nEasingCounter, 495);
    EXPECT_TRUE(screen->m_Marbles.data[0]->m_bRemoved) << "delay 0";
    EXPECT_TRUE(screen->m_Marbles.data[1]->m_bRemoved) << "delay 1";
    EXPECT_FALSE(screen->m_Marbles.data[2]->m_bRemoved) << "delay 2";
    Frames(1);
    EXPECT_EQ(screen->m_Marbles.count, 1);
    EXPECT_EQ(screen->m_nPauseCounter, 67);
    Frames(1);
    EXPECT_EQ(screen->m_Marbles.count, 0);
    EXPECT_EQ(screen->m_nPauseCounter, -1);
    EXPECT_EQ(screen->m_nScore, 0) << "bursts score nothing";
    EXPECT_EQ(screen->m_nCleared, 0);
    EXPECT_EQ(profile->m_nClearBonuses, 0);
    EXPECT_EQ(screen->m_Explosions.count, 3) << "one burst each";
    ASSERT_EQ(Texts(), (std::vector<std::string>{"2 lives left", "Get ready!"}));
    EXPECT_EQ(screen->m_pJumpStrings->m_Texts.data[1]->m_nDelay, 15);
    // Play again: the spawn timer runs, easing counts down.
    Frames(1);
    EXPECT_EQ(screen->m_nEasingCounter, 494);
}

TEST_F(RoundLivesTest, TheTutorialNeverTakesALifeNorWritesTheProfile) {
    screen->m_bTutorial = true;
    screen->m_nLives = 2;
    profile->m_nCoins = 40;
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    EXPECT_EQ(screen->m_nLives, 2);
    EXPECT_EQ(screen->m_nPauseCounter, 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Wrong colour!"});
    EXPECT_EQ(Played("SFX_LIFELOST"), 0);
    EXPECT_EQ(Played("SFX_WRONG_BALL"), 1);
    Frames(69);
    EXPECT_EQ(screen->m_nPauseCounter, -1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Wrong colour!"}) << "no \"Get ready\" in the tutorial";
    // Pops, coins and statistics change nothing of the profile.
    Put(0, 100, 100)->m_bRemoved = true;
    screen->SpawnPowerUp(200, 200, kPowerUpCoin)->Activate();
    screen->RunProcessDeleteObjects();
    EXPECT_EQ(screen->m_nScore, 0);
    EXPECT_EQ(screen->m_nCleared, 0);
    EXPECT_EQ(profile->m_nCoins, 40);
    EXPECT_EQ(profile->m_nClearBonuses, 0);
    EXPECT_EQ(profile->m_nRoundsStarted, 0);
}

TEST_F(RoundLivesTest, LosingTheLastLifeEndsTheRound) {
    screen->m_nLives = 1;
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    EXPECT_TRUE(screen->m_bGameOver);
    EXPECT_EQ(screen->m_nGameOverClock, 65536);
    EXPECT_EQ(Played("SFX_GAMEOVER"), 1);
    EXPECT_EQ(Played("SFX_LIFELOST"), 0);
    EXPECT_EQ(screen->m_nPauseCounter, -1);
    // The field stands still: marbles keep their places and their removed flags are taken back.
    screen->m_Marbles.data[2]->m_bRemoved = true;
    Frames(5);
    EXPECT_EQ(screen->m_Marbles.count, 3);
    EXPECT_EQ(screen->m_nGameOverClock, 65536 + 5 * 6554);
}

TEST_F(RoundLivesTest, GameOverPaysTheRoundsCoins) {
    struct TCase {
        int score, pickedUp;
        bool coinQuest;
        int fromScore, round, tenth;
        const char* why;
    };
    const TCase cases[] = {
        {999, 2, false, 0, 2, 0, "999 points earn no coins"},
        {25000, 3, true, 27, 30, 3, "25 + 25 x 100 / 1000"},
        {25000, 0, false, 25, 25, 2, "one coin a thousand points"},
        {1999, 0, true, 1, 1, 0, "1 + 1 x 100 / 1000 rounds down"},
        {19000, 0, false, 19, 19, 1, "the tally takes a tenth, rounded down"},
        {60000, 30, false, 60, 90, 9, "a tenth of the coins from score and picked up"},
    };
    for (const TCase& c : cases) {
        Arrange(0);
        profile->m_MiniQuestStates.RemoveAll();
        if (c.coinQuest) profile->MiniQuestCompleted(CommonString("yard1"), CommonString("q_coins"));
        game.m_pMiniQuestManager->RecalcMiniQuestResultsForCurrentArena();
        profile->m_nCoins = 100;
        profile->m_CoinsPerArena[0] = 10;
        profile->m_nCoinTally = 1;
        profile->m_nTotalScore = 5;
        screen->m_nScore = c.score;
        screen->m_nCoinsPickedUp = c.pickedUp;
        screen->GameOver();
        EXPECT_EQ(screen->m_nCoinsFromScore, c.fromScore) << c.why;
        EXPECT_EQ(screen->m_nRoundCoins, c.round) << c.why;
        EXPECT_EQ(screen->m_nRoundCoinsTenth, c.tenth) << c.why;
        EXPECT_EQ(profile->m_nCoins, 100 + c.fromScore) << c.why << ": picked-up coins were paid as they came";
        EXPECT_EQ(profile->m_CoinsPerArena[0], 10 + c.fromScore) << c.why;
        EXPECT_EQ(profile->m_nCoinTally, 1 + c.tenth) << c.why;
        EXPECT_EQ(profile->m_nTotalScore, 5 + c.score) << c.why;
    }
}

TEST_F(RoundLivesTest, GameOverAddsTheScoreAsExperienceAndRanks) {
    struct TCase {
        unsigned int before;
        int score;
        unsigned int after;
        int ranksGained;
        bool firstRankUp;
        const char* why;
    };
    // Rank 2 takes 30,000 points, rank 3 62,822.
    const TCase cases[] = {
        {0, 29999, 29999, 0, false, "still rank 1"},
        {500, 0, 500, 0, false, "a round of no points adds no experience"},
        {0, 30000, 30000, 1, true, "the first rank-up"},
        {0, 62822, 62822, 2, true, "two at once"},
        {30000, 40000, 70000, 1, false, "from rank 2"},
        {UINT_MAX - 10, 100, UINT_MAX - 10, 0, false, "a sum past the range stays where it was"},
    };
    for (const TCase& c : cases) {
        profile->m_uExperiencePoints = c.before;
        profile->m_nBoostPoints = 2;
        profile->m_nBoostPointsEarned = 7;
        profile->m_bFirstRankUpSeen = false;
        screen->m_nScore = c.score;
        screen->GameOver();
        EXPECT_EQ(screen->m_uExperienceBefore, c.before) << c.why;
        EXPECT_EQ(profile->m_uExperiencePoints, c.after) << c.why;
        EXPECT_EQ(profile->m_nBoostPoints, 2 + c.ranksGained) << c.why;
        EXPECT_EQ(profile->m_nBoostPointsEarned, 7 + c.ranksGained) << c.why;
        EXPECT_EQ(profile->m_bFirstRankUpSeen, c.firstRankUp) << c.why;
    }
}

TEST_F(RoundLivesTest, GameOverEntersTheHighScoreAndDeletesTheKeptRound) {
    CScratchSaveFolder saves;
    ASSERT_TRUE(game.InitSaveResumeStorage());
    const int id = game.SR_GetRecordId_OfArena(game.GetAppData()->m_nCurrentProfile, CommonString("arena1"));
    ASSERT_GE(id, 0);
    IMemFile* record = game.CreateMemoryFileObject();
    ASSERT_EQ(record->Create(16), 1);
    ASSERT_EQ(record->WriteInt(1), 4);
    ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, record, CommonString("arena_arena1")), 1);
    delete record;
    ASSERT_EQ(game.m_pSaveResumeStorage->IsRecordEmpty(id), 0);

    game.GetAppData()->SetDefaultApplicationData();
    const int table = game.GetAppData()->GetHighScoreTableIndex(CommonString("arena1"));
    ASSERT_GE(table, 0);
    screen->m_nScore = 25000;
    screen->GameOver();
    EXPECT_EQ(game.m_nNewHighScoreTable, table);
    const int row = game.m_nNewHighScoreRow;
    const THighScoreTable* scores = game.GetAppData()->m_HighScoreTables.data[table];
    ASSERT_GE(row, 0);
    ASSERT_LT(row, scores->GetCount());
    EXPECT_EQ(scores->m_Scores.data[row], 25000);
    EXPECT_STREQ(scores->m_Names.data[row]->GetDataConst(), "Ann");
    for (int i = 0; i < scores->GetCount(); ++i)
        EXPECT_TRUE(i < row ? scores->m_Scores.data[i] >= 25000 : scores->m_Scores.data[i] <= 25000) << i;
    int best = 0;
    EXPECT_TRUE(profile->GetMyScoreOnLevel(CommonString("arena1"), best));
    EXPECT_EQ(best, 25000);
    EXPECT_EQ(game.m_pSaveResumeStorage->IsRecordEmpty(id), 1) << "a finished round is never resumed";
}

TEST_F(RoundLivesTest, APressOpensTheStatisticsOnlyThirtyFramesAfterGameOver) {
    screen->m_nLives = 1;
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    ASSERT_TRUE(screen->m_bGameOver);
    Frames(29);
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pRoundStatsDialog, nullptr) << "clock 3.9: too early";
    Frames(1);
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_MOVE), 1);
    EXPECT_EQ(screen->m_pRoundStatsDialog, nullptr) << "only a press";
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    ASSERT_NE(screen->m_pRoundStatsDialog, nullptr);
    EXPECT_EQ(screen->m_pRoundStatsDialog, screen->FindChildWithWidgetId("dlg_level_failed2"));
}

TEST_F(RoundLivesTest, TheGameOverClockStopsInsteadOfWrapping) {
    screen->m_nLives = 1;
    WrongPairAndOneMore();
    screen->RunProcessEnemyCollisions();
    // Hours of idling later.
    screen->m_nGameOverClock = INT_MAX - 10000;
    Frames(3);
    EXPECT_GT(screen->m_nGameOverClock, 4 * 65536);
    EXPECT_LE(screen->m_nGameOverClock, INT_MAX);
    const int danger = screen->m_Marbles.data[0]->m_nDanger;
    EXPECT_GE(danger, 1);
    EXPECT_LE(danger, 255);
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    EXPECT_NE(screen->m_pRoundStatsDialog, nullptr) << "a press still opens the statistics";
}

TEST_F(RoundLivesTest, ThePausePanelHoldsTheRound) {
    screen->Pause();
    XWidget* panel = screen->FindChildWithWidgetId("dlg_pause");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(screen->FindModalChild(), panel);
    CMarble* m = Put(0, 100, 100);
    m->m_nSpeed = 65536;
    m->m_Direction = TVector2D_16{65536, 0};
    screen->m_nSpawnCounter = 100;
    Frames(3);
    EXPECT_EQ(m->m_Position.x, 100 * 65536) << "no movement";
    EXPECT_EQ(screen->m_nSpawnCounter, 100) << "no spawning";
    EXPECT_FALSE(screen->m_bRoundStarted) << "not even its first frame";
}

TEST_F(RoundLivesTest, PauseAfterGameOverOpensTheStatisticsAndTheTutorialNeverPauses) {
    screen->m_bTutorial = true;
    screen->Pause();
    EXPECT_EQ(screen->FindModalChild(), nullptr);
    screen->m_bTutorial = false;
    screen->m_bGameOver = true;
    screen->Pause();
    EXPECT_NE(screen->m_pRoundStatsDialog, nullptr);
    EXPECT_EQ(screen->FindChildWithWidgetId("dlg_pause"), nullptr);
}

TEST_F(RoundLivesTest, ThreeMarblesOnPathsAtOnceEarnTheirAchievement) {
    CMarble* runners[3] = {Put(0, 60, 100), Put(1, 60, 200), Put(2, 60, 300)};
    GivePath(runners[0], 200, 100);
    GivePath(runners[1], 200, 200);
    screen->RunProcessCheckNumEggsMoving();
    EXPECT_FALSE(profile->IsAchievementAwarded(22)) << "two are not enough";
    GivePath(runners[2], 200, 300);
    runners[2]->m_bRemoved = true;
    screen->RunProcessCheckNumEggsMoving();
    EXPECT_FALSE(profile->IsAchievementAwarded(22)) << "one of them is leaving";
    runners[2]->m_bRemoved = false;
    screen->RunProcessCheckNumEggsMoving();
    EXPECT_TRUE(profile->IsAchievementAwarded(22));
    EXPECT_EQ(QueuedAchievementBanners(), 1);
    screen->RunProcessCheckNumEggsMoving();
    EXPECT_EQ(QueuedAchievementBanners(), 1) << "awarded once";
}

TEST_F(RoundLivesTest, TheScreenDoesNotBuildWithoutItsArenaOrItsImages) {
    for (const char* arena : {"nowhere", "arena1"}) {
        profile->m_CurrentArena = arena;
        auto* other = new CXGameplaySurvival(&game);
        // The suite's pak holds neither an arena called "nowhere" nor the frame's images.
        EXPECT_EQ(other->OnInitElement(), 0) << arena;
        SAFE_FREE_XELEMENT(other);
    }
}

// Translations are data: a stray conversion in one is shown as it stands, never read as a value.
class RoundHostileTextsTest : public RoundTest {
protected:
    RoundHostileTextsTest() : RoundTest(RoundTextsCsv("Level %d %n%s", "%d lives left%s%n")) {}
};

TEST_F(RoundHostileTextsTest, TheLevelAndLivesTextsAreFilledInNotUsedAsFormats) {
    screen->m_nLevel = 1;
    screen->ShowNewLevelIntro();
    screen->m_nLives = 4;
    Put(0, 100, 200);
    Put(1, 120, 200);
    screen->RunProcessEnemyCollisions();
    screen->m_nLevel = 2;
    screen->ShowNewLevelIntro();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"3 lives left%s%n", "Level 3 %n%s"}));
}

}  // namespace
}  // namespace gameplaytest
