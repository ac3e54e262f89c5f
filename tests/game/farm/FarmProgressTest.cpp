// The yard's four bars on the real pak: their percentage and fill at and around the thresholds,
// a threshold of 0, the fill one pixel a frame, frozen under a dialog, the first frame jumping,
// the drop after a star, and their captions and text colours.
#include <gtest/gtest.h>

#include <string>

#include "YardTestGame.h"

namespace {

// The bars' fill travel: the pb_farm_* full images are 90 pixels wide, 5 inset and a 6-pixel end.
constexpr double kBarLength = 90 - 11;

class FarmProgressTest : public YardTest {
protected:
    CXFarmProgress* Bar(int category) { return Yard()->m_pProgress[category]; }
    std::string Label(int category) { return Bar(category)->GetLabel().GetDataConst(); }
};

TEST_F(FarmProgressTest, ThePercentageAndTheFillAroundTheThreshold) {
    // Thresholds 97, 161 and 167 are some of those where points x (100 / T) falls just short of
    // 100 at the threshold itself; the percentages are (points x 100) / T worked out by hand.
    const struct {
        int threshold, points;
        const char* label;
        double fill;  // pixels
    } rows[] = {
        {97, 97, "100%", kBarLength},
        {161, 161, "100%", kBarLength},
        {167, 167, "100%", kBarLength},
        {97, 96, "98%", kBarLength * 96 / 97},
        {161, 160, "99%", kBarLength * 160 / 161},
        {3, 1, "33%", kBarLength / 3},
        {3, 2, "66%", kBarLength * 2 / 3},
        {30, 45, "100%", kBarLength},
        {30, 0, "0%", 0},
        {0, 1, "100%", kBarLength},  // a threshold of 0 counts as 1
        {0, 0, "0%", 0},
        {-5, 1, "100%", kBarLength},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.threshold) + " " + std::to_string(row.points));
        YardDefOf("yard1")->starThresholds[0][kCategoryComfort] = row.threshold;
        Open();
        Farm()->m_CategoryPoints[kCategoryComfort] = row.points;
        Bar(kCategoryComfort)->Update();
        EXPECT_EQ(Label(kCategoryComfort), row.label);
        EXPECT_NEAR(Bar(kCategoryComfort)->GetTargetLength(), row.fill, 1e-9);
    }
}

TEST_F(FarmProgressTest, TheFirstFrameJumpsAndThenTheBarMovesOnePixelAFrame) {
    Open();
    player->m_nCoins = 1000;
    ASSERT_NE(Buy("apple_tree"), nullptr);  // 35 plants points, threshold 20
    ASSERT_NE(Buy("daisy_patch"), nullptr);
    // A fresh visit: the bars start where the points are.
    ASSERT_EQ(Click("btn_CloseShop"), 1);
    Open();
    EXPECT_DOUBLE_EQ(Bar(kCategoryPlants)->GetShownLength(), kBarLength);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), 0.0);
    // Bought now: the bar moves a pixel a frame until it reaches the target.
    ASSERT_NE(Buy("bird2"), nullptr);  // 15 of 30
    const double target = kBarLength * 15 / 30;
    for (int frame = 1; frame <= 39; ++frame) {
        Frames(1);
        ASSERT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), frame) << frame;
        ASSERT_EQ(Bar(kCategoryBirds)->GetFillWidth(), frame + 5) << frame;
    }
    Frames(1);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), target);
    Frames(5);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), target);
    // Sold: it shrinks a pixel a frame.
    Yard()->m_pSelection = Farm()->GetFarmObject("bird2");
    Click("btn_confirm_buy_yes");
    Frames(3);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), target - 3);
}

TEST_F(FarmProgressTest, BarsDoNotMoveUnderADialog) {
    Open();
    player->m_nCoins = 1000;
    CFarmObject* hen = Buy("bird1");
    ASSERT_NE(hen, nullptr);
    Yard()->m_pSelection = hen;
    ASSERT_EQ(Yard()->DoAction(CommonString("ui_main.txt"), CommonString("acn_sell_confirm_on")), 1);
    ASSERT_NE(Yard()->FindModalChild(), nullptr);
    Frames(30);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), 0.0);
    EXPECT_EQ(Farm()->m_nStars, 0);
    ASSERT_EQ(Click("btn_confirm_buy_no"), 1);
    Frames(40);
    ASSERT_EQ(Yard()->FindModalChild(), nullptr);
    EXPECT_GT(Bar(kCategoryBirds)->GetShownLength(), 0.0);
}

TEST_F(FarmProgressTest, AfterAStarTheBarDropsToTheNextThresholdsShare) {
    Open();
    const int* star1 = Yard()->m_pYardDef->starThresholds[0];
    const int* star2 = Yard()->m_pYardDef->starThresholds[1];
    for (int c = 0; c < kFarmCategoryCount; ++c) Farm()->m_CategoryPoints[c] = star1[c];
    Frames(79 + 11);
    ASSERT_EQ(Farm()->m_nStars, 1);
    // The next frame takes the second star's thresholds: 30 of 75 birds' points.
    Frames(1);
    const double share = kBarLength * star1[kCategoryBirds] / star2[kCategoryBirds];
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetTargetLength(), share);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), kBarLength - 1);
    EXPECT_EQ(Label(kCategoryBirds), "40%");
    Frames(60);
    EXPECT_DOUBLE_EQ(Bar(kCategoryBirds)->GetShownLength(), share);
}

TEST_F(FarmProgressTest, CaptionsAndTheirColourWithAndWithoutASun) {
    Open();
    const char* captions[] = {"Birds", "Plants", "Comfort", "Decor"};
    for (int c = 0; c < kFarmCategoryCount; ++c) {
        EXPECT_EQ(std::string(Bar(c)->GetCaption().GetDataConst()), captions[c]);
        EXPECT_EQ(Bar(c)->GetCategory(), c);
        EXPECT_EQ(Bar(c)->GetTextRed(), 32);
        EXPECT_EQ(Bar(c)->GetTextGreen(), 32);
        EXPECT_EQ(Bar(c)->GetTextBlue(), 32);
    }
    ASSERT_NE(Yard()->m_pSunImage, nullptr);
    // A yard whose sun is not a default object has no sun: white text over its sky.
    FarmObjectDef* sun = Farm()->GetFarmObjectDef(YardDefOf("yard1"), CommonString("yard_sun"));
    ASSERT_NE(sun, nullptr);
    sun->flags &= ~kFarmFlagDefault;
    Open();
    EXPECT_EQ(Yard()->m_pSunImage, nullptr);
    for (int c = 0; c < kFarmCategoryCount; ++c) {
        EXPECT_EQ(Bar(c)->GetTextRed(), 255);
        EXPECT_EQ(Bar(c)->GetTextGreen(), 255);
        EXPECT_EQ(Bar(c)->GetTextBlue(), 255);
    }
}

}  // namespace
