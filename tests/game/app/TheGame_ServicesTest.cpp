// The rank curve and the small shared services of the game object.
#include <gtest/gtest.h>

#include <string>

#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "render/WinDibBitmap.h"
#include "testsupport/TestTheGame.h"

namespace {

// Totals and deltas of the curve computed apart from the game, with 60-digit decimals: with
// x = ln(1000000 / 30000) / 39 and k = 30000 / (e^x - 1), the delta of rank r is
// trunc(e^((r-1)x) k) - trunc(e^((r-2)x) k) up to rank 41, then 1000000 each.
struct TRankRow {
    int rank;
    int delta;
    long long total;
};
constexpr TRankRow kCurve[] = {
    {0, 0, 0},
    {1, 0, 0},
    {2, 30000, 30000},
    {3, 32822, 62822},
    {10, 61589, 397370},
    {20, 151352, 1441265},
    {30, 371938, 4006567},
    {40, 914012, 10310624},
    {41, 1000000, 11310624},
    {42, 1000000, 12310624},
    {44, 1000000, 14310624},
};

TEST(TheGameRanks, DeltasAndTotalsFollowTheCurve) {
    for (const TRankRow& row : kCurve) {
        EXPECT_EQ(CTheGame::getXPdeltaForTheRank(row.rank), row.delta) << "rank " << row.rank;
        EXPECT_EQ(CTheGame::GetXP_Rank2Points(row.rank), row.total) << "rank " << row.rank;
    }
}

TEST(TheGameRanks, PointsGiveTheHighestRankTheyReach) {
    const struct {
        unsigned int points;
        int rank;
    } cases[] = {
        {0, 1},
        {29999, 1},
        {30000, 2},
        {62821, 2},
        {62822, 3},
        {11310623, 40},
        {11310624, 41},
        {12310623, 41},
        {12310624, 42},
        // Far past the curve the totals leave 32 bits; the largest total still maps to a rank.
        {4294967295u, 41 + 4283},
    };
    for (const auto& c : cases) EXPECT_EQ(CTheGame::GetXP_Points2Rank(c.points), c.rank) << c.points << " points";
}

TEST(TheGameServices, PublisherIdFollowsTheResolutionId) {
    const struct {
        int width;
        const char* id;
    } cases[] = {{320, "7e3b90c4d2f1a58"}, {360, "7e3b90c4d2f16c9"}};
    for (const auto& c : cases) {
        CTestTheGame game;
        game.m_Screen.m_pBackBuffer = new CWinDibBitmap(&game);
        ASSERT_TRUE(game.m_Screen.m_pBackBuffer->Create(c.width, 480));
        const CommonString id = game.GetPublisherIdForAd();
        EXPECT_STREQ(id.GetDataConst(), c.id) << c.width;
    }
}

TEST(TheGameServices, NoKeyMappingAndNoMuteIcon) {
    CTestTheGame game;
    for (int key : {0, 5, 8, 31}) EXPECT_EQ(game.MapKeyToGameCode(key), -1);
    EXPECT_EQ(game.NotifyPointerEventMuteIcon(10, 10, 1), 0);
}

TEST(TheGameServices, FailedReportsFlagTheCurrentProfile) {
    CTestTheGame game;
    game.GC_NotifyScoreReport(false);  // no player data: nothing to flag
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_EQ(game.CreateNewUserProfile(), 0);
    TUserProfile* profile = game.GetCurrentProfile();
    ASSERT_NE(profile, nullptr);
    game.GC_NotifyScoreReport(true);
    game.GC_NotifyAchievementReport(true);
    EXPECT_FALSE(profile->m_bScoresToSync);
    EXPECT_FALSE(profile->m_bAchievementsToSync);
    game.GC_NotifyScoreReport(false);
    EXPECT_TRUE(profile->m_bScoresToSync);
    EXPECT_FALSE(profile->m_bAchievementsToSync);
    game.GC_NotifyAchievementReport(false);
    EXPECT_TRUE(profile->m_bAchievementsToSync);
}

TEST(TheGameServices, ProfilesAreAddedUpToSix) {
    CTestTheGame game;
    EXPECT_EQ(game.CreateNewUserProfile(), -1) << "no player data";
    ASSERT_TRUE(game.CreateApplicationData());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(game.CreateNewUserProfile(), i);
    EXPECT_EQ(game.CreateNewUserProfile(), -1);
}

}  // namespace
