#pragma once
// The achievements and leaderboards screens on the real pak, with the managers the loader would
// have made (achievements, arenas) and a current player; touches go through the game object as
// the platform delivers them, so the list's pointer capture is the real one.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "FrontEndTestGame.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ArenaManager.h"
#include "game/screens/AchScreen.h"
#include "game/screens/LeadersScreen.h"

// How many pixels in columns [x0, x1) and rows [y0, y1) pass the test.
inline int Count(const mediatest::TImage& img, int x0, int y0, int x1, int y1,
                 bool (*test)(const std::array<std::uint8_t, 4>&)) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += test(img.At(x, y)) ? 1 : 0;
    return n;
}

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
