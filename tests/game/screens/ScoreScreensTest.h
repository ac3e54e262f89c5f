#pragma once
// The achievements and leaderboards screens on the real pak, with the managers the loader would
// have made (achievements, arenas) and a current player; touches go through the game object as
// the platform delivers them, so the list's pointer capture is the real one.

#include <gtest/gtest.h>

#include "FrontEndTestGame.h"
#include "game/gameplay/ArenaManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/screens/AchScreen.h"
#include "game/screens/LeadersScreen.h"

class ScoreScreensTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        game.m_pAchievementsManager = new CAchievementsManager(&game);
        ASSERT_EQ(game.m_pAchievementsManager->PostConstruct(), 1);
        game.m_pArenaManager = new CArenaManager(&game);
        ASSERT_EQ(game.m_pArenaManager->ReadFile(CommonString("Data\\arenas.txt")), 1);
        AddPlayer("Sam");
    }
    // Opens the screen as the game does and lets its curtain rise.
    CXAchScreen* OpenAch() {
        EXPECT_TRUE(game.RunAchScreen());
        Ticks(16);
        return game.m_pAchScreen;
    }
    CXLeadersScreen* OpenLeaders(int returnMessage = MSG_RUN_START_MENU) {
        EXPECT_TRUE(game.RunLeadersScreen(returnMessage));
        Ticks(16);
        return game.m_pLeadersScreen;
    }
};
