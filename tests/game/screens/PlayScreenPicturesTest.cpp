// Pictures of the play screen on the real pak, kept in build/<preset>/screens/play-screen/ for a
// person to look at, each checked at a few pixels.
#include <gtest/gtest.h>

#include "PlayScreenTestGame.h"

namespace {

using mediatest::TImage;

TEST_F(PlayScreenTest, PictureOfAFirstVisit) {
    HintsSeen(true, false, false);
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    Ticks(30);
    KeepPicture(Frame(), "play-screen", "01_first_visit.png");
}

TEST_F(PlayScreenTest, PictureOfAFarAlongPlayer) {
    HintsSeen(true, true, true);
    Completed("yard1", 3);
    Completed("yard2", 2);
    Completed("yard3", 1);
    player->m_AchievementFlags[kBoostsUnlockedAchievement] = 1;
    player->m_bCoinShopButtonShown = true;
    player->m_nCoins = 1234;
    player->m_nBoostPoints = 3;
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    Ticks(30);
    KeepPicture(Frame(), "play-screen", "02_far_along.png");
    Click("btn_play_yard_4");
    Ticks(30);
    KeepPicture(Frame(), "play-screen", "03_locked_yard.png");
}

}  // namespace
