// The achievements: their localised records, the goal thresholds (strictly above, never in the
// tutorial), the order of awards and their messages.
#include "game/progress/AchievementsManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgressFakeGame.h"
#include "core/LocManager2.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"

namespace {

// The achievements' key prefixes and icons as the table gives them, in index order.
const char* const kPrefixes[23] = {"ID_S1_BronzeMedal", "ID_S1_SilverMedal", "ID_S1_GoldenMedal", "ID_S1_PlatinumMedal",
                                   "ID_S2_BronzeMedal", "ID_S2_SilverMedal", "ID_S2_GoldenMedal", "ID_S2_PlatinumMedal",
                                   "ID_S3_BronzeMedal", "ID_S3_SilverMedal", "ID_S3_GoldenMedal", "ID_S3_PlatinumMedal",
                                   "ID_GoldenHat",      "ID_GoldenHelmet",   "ID_GoldenCrown",    "ID_ClearBonuses",
                                   "ID_LuckyPass",      "ID_Boosts",         "ID_AchStatueFrog",  "ID_AchStatueCats",
                                   "ID_AchStatueDogs",  "ID_AchEggs",        "ID_AchShiva"};
const char* const kIcons[23] = {"Ach_Stage1Bronze", "Ach_Stage1Silver", "Ach_Stage1Gold", "Ach_Stage1Platinum",
                                "Ach_Stage2Bronze", "Ach_Stage2Silver", "Ach_Stage2Gold", "Ach_Stage2Platinum",
                                "Ach_Stage3Bronze", "Ach_Stage3Silver", "Ach_Stage3Gold", "Ach_Stage3Platinum",
                                "Ach_Hat100K",      "Ach_Helm250K",     "Ach_Crown500K",  "Ach_Clean",
                                "Ach_Lucky",        "Ach_Boost",        "Ach_StatueFrog", "Ach_StatueCats",
                                "Ach_StatueDogs",   "Ach_Eggs",         "Ach_Shiva"};
// The numbers the descriptions of 0 to 14 show.
const char* const kShownValues[15] = {"5,000",  "10,000", "15,000",  "25,000",  "10,000",
                                      "20,000", "30,000", "50,000",  "15,000",  "30,000",
                                      "45,000", "75,000", "100,000", "500,000", "1,000,000"};

// Two languages; every description holds one "%s" (kept as written where no value goes in).
std::string TextsCsv() {
    std::string csv = "Key,enUS,deDE\n,English,Deutsch\n";
    for (const char* prefix : kPrefixes) {
        const std::string p = prefix;
        csv += p + "Name,Name " + p + ",Titel " + p + "\n";
        csv += p + "Desc0,Score %s,Mehr als %s\n";
        csv += p + "Desc1,at least %s!,mindestens %s!\n";
    }
    return csv;
}

class AchievementsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::SetCommonPak(game, dir.Path("common.pak"), {{"Lang\\texts.csv", mediatest::ToBytes(TextsCsv())}});
        CLocManager2* loc = game.InitLocManager2(CommonString("Lang\\texts.csv"));
        loc->SetCurrentLanguage(0);
        game.m_pAchievementsManager = achievements = new CAchievementsManager(&game);
        ASSERT_EQ(achievements->PostConstruct(), 1);
        player = game.AddPlayer("Ann");
        game.round = &round;
    }
    std::vector<int> QueuedTypes() const {
        std::vector<int> types;
        for (int i = 0; i < achievements->GetNumQueuedMessages(); ++i) types.push_back(achievements->GetQueuedType(i));
        return types;
    }

    CScratchDir dir;
    CProgressTestGame game;
    CFakeRound round;
    CAchievementsManager* achievements = nullptr;
    TUserProfile* player = nullptr;
};

TEST_F(AchievementsTest, RecordsCarryTheLocalisedTextsWithTheirGoalValues) {
    ASSERT_EQ(achievements->GetNumInfos(), 23);
    for (int i = 0; i < 23; ++i) {
        SCOPED_TRACE(i);
        const TAchievementInfo& info = *achievements->GetInfo(i);
        EXPECT_EQ(info.index, i);
        EXPECT_EQ(Str(info.name), std::string("Name ") + kPrefixes[i]);
        EXPECT_EQ(Str(info.icon), kIcons[i]);
        const std::string value = i < 15 ? kShownValues[i] : "%s";
        EXPECT_EQ(Str(info.desc0), "Score " + value);
        EXPECT_EQ(Str(info.desc1), "at least " + value + "!");
    }
    EXPECT_EQ(achievements->GetInfo(23), nullptr);
}

TEST_F(AchievementsTest, ALanguageChangeRebuildsTheTextsAndKeepsTheFlags) {
    player->m_AchievementFlags[3] = 1;
    game.m_pLocManager->SetCurrentLanguage(1);
    ASSERT_EQ(achievements->InitArrayOfAchievementInfos(), 1);
    ASSERT_EQ(achievements->GetNumInfos(), 23);
    EXPECT_EQ(Str(achievements->GetInfo(14)->name), "Titel ID_GoldenCrown");
    EXPECT_EQ(Str(achievements->GetInfo(14)->desc0), "Mehr als 1,000,000");
    EXPECT_TRUE(player->IsAchievementAwarded(3));
}

TEST_F(AchievementsTest, GoalsAreStrictlyAboveTheirThresholds) {
    struct TGoal {
        const char* why;
        int index;
        const char* arena;
        int roundScore, totalScore, clearBonuses;
        bool reached;
    } goals[] = {
        {"5000 in arena1 is above 4999", 0, "arena1", 5000, 0, 0, true},
        {"4999 is not", 0, "arena1", 4999, 0, 0, false},
        {"another arena's round", 0, "arena2", 90000, 0, 0, false},
        {"arena2 silver", 5, "arena2", 20000, 0, 0, true},
        {"arena3 platinum just short", 11, "arena3", 74999, 0, 0, false},
        {"arena3 platinum", 11, "arena3", 75000, 0, 0, true},
        {"total 100000", 12, "arena1", 0, 100000, 0, true},
        {"total 99999", 12, "arena1", 0, 99999, 0, false},
        {"total 1000000", 14, "arena1", 0, 1000000, 0, true},
        {"total 999999", 14, "arena1", 0, 999999, 0, false},
        {"25 clear bonuses", 15, "arena1", 0, 0, 25, true},
        {"24 clear bonuses", 15, "arena1", 0, 0, 24, false},
        {"no goal test above 15", 16, "arena1", 99999999, 99999999, 99, false},
        {"negative index", -1, "arena1", 99999999, 99999999, 99, false},
    };
    for (const TGoal& g : goals) {
        SCOPED_TRACE(g.why);
        player->m_CurrentArena = g.arena;
        round.score = g.roundScore;
        player->m_nTotalScore = g.totalScore;
        player->m_nClearBonuses = g.clearBonuses;
        round.tutorial = false;
        EXPECT_EQ(achievements->CheckAchievementGoalReached(g.index), g.reached);
        round.tutorial = true;
        EXPECT_FALSE(achievements->CheckAchievementGoalReached(g.index)) << "never in the tutorial";
    }
    game.round = nullptr;
    EXPECT_FALSE(achievements->CheckAchievementGoalReached(12)) << "never outside a round";
}

TEST_F(AchievementsTest, OneScoreAdditionAwardsEveryGoalPassedInOrderOnce) {
    player->m_CurrentArena = "arena2";
    round.score = 9000;
    const auto addScore = [&] {
        for (int i : {4, 5, 6, 7, 12, 13, 14}) achievements->CheckAchievementProgress(i);
    };
    addScore();
    EXPECT_TRUE(QueuedTypes().empty());
    round.score = 30000;
    addScore();
    addScore();
    EXPECT_EQ(QueuedTypes(), (std::vector<int>{1004, 1005, 1006}));
    for (int i = 4; i <= 6; ++i) EXPECT_TRUE(player->IsAchievementAwarded(i));
    EXPECT_FALSE(player->IsAchievementAwarded(7));
    EXPECT_EQ(Str(achievements->GetQueuedTitle(0)), "Name ID_S2_BronzeMedal");
    EXPECT_EQ(achievements->GetQueuedText(0).Length(), 0);
}

TEST_F(AchievementsTest, TotalScoreGoalsWaitForAScoreAdditionOfALaterRound) {
    player->m_nTotalScore = 150000;  // raised at game over, outside any round
    game.round = nullptr;
    achievements->CheckAchievementProgress(12);
    EXPECT_FALSE(player->IsAchievementAwarded(12));
    game.round = &round;
    round.tutorial = true;
    achievements->CheckAchievementProgress(12);
    EXPECT_FALSE(player->IsAchievementAwarded(12)) << "not in the tutorial";
    round.tutorial = false;
    achievements->CheckAchievementProgress(12);
    EXPECT_TRUE(player->IsAchievementAwarded(12));
    achievements->CheckAchievementProgress(23);
    achievements->CheckAchievementProgress(-1);
    EXPECT_EQ(QueuedTypes(), (std::vector<int>{1012}));
}

TEST_F(AchievementsTest, AwardsNeedAProfileAndAKnownIndex) {
    achievements->AwardAchievement(23);
    achievements->AwardAchievement(-1);
    game.Data().m_nCurrentProfile = -1;
    achievements->AwardAchievement(16);
    EXPECT_TRUE(QueuedTypes().empty());
    EXPECT_FALSE(player->IsAchievementAwarded(16));
    EXPECT_FALSE(achievements->AwardFarmObjectAchievement(CommonString("wooden_frog")));
    game.Data().m_nCurrentProfile = 0;
    achievements->AwardAchievement(16);
    achievements->AwardAchievement(16);
    EXPECT_EQ(QueuedTypes(), (std::vector<int>{1016, 1016})) << "a direct award does not test the flag";
}

TEST_F(AchievementsTest, FarmStatuesAndTheBasketAreAwardedOnceEach) {
    struct TBuy {
        const char* object;
        bool awarded;
    } buys[] = {{"wooden_frog", true}, {"wooden_frog", false}, {"wooden_kittens", true}, {"wooden_dogs", true},
                {"new_basket2", true}, {"new_basket2", false}, {"wooden_rabbit", false}};
    for (const TBuy& b : buys)
        EXPECT_EQ(achievements->AwardFarmObjectAchievement(CommonString(b.object)), b.awarded) << b.object;
    EXPECT_EQ(QueuedTypes(), (std::vector<int>{1018, 1019, 1020, 1021})) << "no repeated banner";
}

TEST_F(AchievementsTest, DescriptionsFillOnlyTheirOneValue) {
    struct TFormat {
        const char* text;
        int value;
        const char* shown;
    } formats[] = {
        {"%s", 1000000, "1,000,000"},      {"a %s b %s", 5000, "a 5,000 b %s"},
        {"100%% of %s", 25, "100% of 25"}, {"%d %n %", 7, "%d %n %"},
        {"%s", -1234, "-1,234"},
    };
    for (const TFormat& f : formats) {
        const std::string csv = std::string("Key,enUS\n,English\nID_F,") + f.text + "\n";
        mediatest::SetCommonPak(game, dir.Path("f.pak"), {{"Lang\\texts.csv", mediatest::ToBytes(csv)}});
        game.InitLocManager2(CommonString("Lang\\texts.csv"))->SetCurrentLanguage(0);
        EXPECT_EQ(Str(CAchievementsManager::LoadStrAndFormat(game.m_pLocManager, CommonString("ID_F"), f.value)),
                  f.shown)
            << f.text;
    }
    EXPECT_EQ(CAchievementsManager::LoadStrAndFormat(game.m_pLocManager, CommonString("ID_NONE"), 5).Length(), 0);
    EXPECT_EQ(CAchievementsManager::LoadStrAndFormat(nullptr, CommonString("ID_F"), 5).Length(), 0);
}

}  // namespace
