// The yard's stars on the real pak: when a star comes (the thresholds met and every bar caught
// up, 11 frames on), that points sold during its countdown take it back, that there are never
// more than three, and the unlocks a star brings, queued on the 132nd frame from the star's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "YardTestGame.h"
#include "app/GlobalConstants.h"
#include "game/widgets/JumpString.h"

namespace {

// The bars' fill travel: the pb_farm_* full images are 90 pixels wide, 5 inset and a 6-pixel end.
constexpr int kBarLength = 90 - 11;

class YardStarsTest : public YardTest {
protected:
    // Every category at the points the yard's star n (1..3) asks.
    void PointsForStar(int n) {
        for (int c = 0; c < kFarmCategoryCount; ++c)
            Farm()->m_CategoryPoints[c] = Yard()->m_pYardDef->starThresholds[n - 1][c];
    }
};

TEST_F(YardStarsTest, AStarComesElevenFramesAfterTheBarsHaveFilled) {
    Open();
    PointsForStar(1);
    // The bars fill one pixel a frame from empty: full on frame 79; the countdown then runs 11.
    Frames(kBarLength + 10);
    EXPECT_EQ(Farm()->m_nStars, 0);
    EXPECT_EQ(Yard()->m_nStarCountdown, 1);
    Played();
    Frames(1);
    EXPECT_EQ(Farm()->m_nStars, 1);
    EXPECT_EQ(player->GetNumStarsInCompletedYard(CommonString("yard1")), 1);
    EXPECT_EQ(Played(), std::vector<std::string>{"Sound_BB\\sfx_star.wav"});
    EXPECT_TRUE(Yard()->m_bNewStarActive);
    ASSERT_EQ(Yard()->m_pJumpStrings->m_Texts.count, 1);
    const CJumpString* text = Yard()->m_pJumpStrings->m_Texts[0];
    EXPECT_EQ(text->m_Text, "Star gained!");
    EXPECT_EQ(text->m_pParams->style, "new_star");
    EXPECT_EQ(text->m_Position.x, GC.m_nTextCenterX << 16);
    EXPECT_EQ(text->m_Position.y, (GC.m_nTextCenterY + 20) << 16);
}

TEST_F(YardStarsTest, OneCategoryShortGivesNoStar) {
    Open();
    for (int short_ = 0; short_ < kFarmCategoryCount; ++short_) {
        SCOPED_TRACE(short_);
        PointsForStar(1);
        Farm()->m_CategoryPoints[short_] -= 1;
        Frames(kBarLength + 30);
        EXPECT_EQ(Farm()->m_nStars, 0);
        EXPECT_EQ(Yard()->m_nStarCountdown, 0);
    }
}

TEST_F(YardStarsTest, PointsSoldDuringTheCountdownTakeTheStarBack) {
    Open();
    player->m_nCoins = 1000;
    CFarmObject* fence = Buy("picket_fence");
    ASSERT_NE(fence, nullptr);
    PointsForStar(1);
    Frames(kBarLength + 3);
    ASSERT_GT(Yard()->m_nStarCountdown, 0);
    // The fence is sold: decor drops 6 points below its threshold. The bar shrinks one pixel a
    // frame, but only after the countdown has run out.
    Yard()->m_pSelection = fence;
    Click("btn_confirm_buy_yes");
    Frames(20);
    EXPECT_EQ(Farm()->m_nStars, 0);
    EXPECT_EQ(player->GetNumStarsInCompletedYard(CommonString("yard1")), 0);
    EXPECT_FALSE(Yard()->m_bNewStarActive);
    // Bought back, the star comes after the bar has filled again and a new countdown.
    ASSERT_NE(Buy("picket_fence"), nullptr);
    Frames(40);
    EXPECT_EQ(Farm()->m_nStars, 1);
}

TEST_F(YardStarsTest, ThereAreNeverMoreThanThreeStars) {
    Open();
    PointsForStar(3);
    for (int c = 0; c < kFarmCategoryCount; ++c) Farm()->m_CategoryPoints[c] += 500;
    Frames(2000);
    EXPECT_EQ(Farm()->m_nStars, 3);
    EXPECT_EQ(player->GetNumStarsInCompletedYard(CommonString("yard1")), 3);
    EXPECT_EQ(Yard()->m_nStarCountdown, 0);
    // With three, nothing more starts.
    Frames(50);
    EXPECT_EQ(Farm()->m_nStars, 3);
    EXPECT_EQ(Yard()->m_nStarCountdown, 0);
}

TEST_F(YardStarsTest, TwoUnlocksOfOneStarQueueTwoMessages132FramesLater) {
    // The first star of yard 1 lists it as completed, which unlocks the second arena; with yard 2
    // asking for one star of yard 1 instead of two, the same star unlocks it too.
    YardDefOf("yard2")->unlockStars = 1;
    Open();
    PointsForStar(1);
    Frames(kBarLength + 11);
    ASSERT_EQ(Farm()->m_nStars, 1);
    // The star's own frame counts down once already.
    EXPECT_EQ(Yard()->m_nUnlockMessageDelay, 131);
    ASSERT_EQ(player->m_NewlyUnlockedLevels.count, 1);
    EXPECT_EQ(*player->m_NewlyUnlockedLevels[0], "arena2");
    EXPECT_EQ(player->m_NewlyUnlockedYard, "yard2");
    const auto unlocks = [&] {
        std::vector<std::string> texts;
        for (int i = 0; i < game.m_pAchievementsManager->GetNumQueuedMessages(); ++i)
            if (game.m_pAchievementsManager->GetQueuedType(i) == kAwardUnlocked)
                texts.emplace_back(game.m_pAchievementsManager->GetQueuedTitle(i).GetDataConst());
        return texts;
    };
    Frames(130);
    EXPECT_TRUE(unlocks().empty());
    Frames(1);
    EXPECT_EQ(unlocks(), (std::vector<std::string>{"Ruby Canyon unlocked!", "Apple Orchard unlocked!"}));
    // The remembered lists now hold them: the next star unlocks nothing more.
    PointsForStar(2);
    Frames(300);
    ASSERT_EQ(Farm()->m_nStars, 2);
    EXPECT_EQ(unlocks().size(), 2u);
    EXPECT_EQ(player->m_NewlyUnlockedLevels.count, 1);
}

TEST_F(YardStarsTest, TheNewStarArrivesInEighteenFramesAndPulsesFiveTimes) {
    Open();
    Yard()->ShowNewStar();
    int arriving = 0;
    while (Yard()->m_bNewStarActive && !Yard()->m_bNewStarPulsing) {
        Yard()->RunProcessNewStar();
        ++arriving;
    }
    EXPECT_EQ(arriving, 18) << "48 / 1.25^18 is the first at 1.0 or below";
    EXPECT_DOUBLE_EQ(Yard()->m_dNewStarShownScale, 1.0);
    EXPECT_DOUBLE_EQ(Yard()->m_dNewStarAlpha, 255.0);
    int frames = 0, pulses = 1;
    double shown = Yard()->m_dNewStarShownScale;
    while (Yard()->m_bNewStarActive && frames < 1000) {
        Yard()->RunProcessNewStar();
        ++frames;
        // Each pulse starts over at its full size.
        if (Yard()->m_bNewStarActive && Yard()->m_dNewStarShownScale < shown) ++pulses;
        shown = Yard()->m_dNewStarShownScale;
    }
    EXPECT_EQ(frames, 5 * 16);
    EXPECT_EQ(pulses, 5);
}

}  // namespace
