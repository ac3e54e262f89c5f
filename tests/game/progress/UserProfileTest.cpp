// The profile list of the player data and the operations on one profile, as tables of the edge
// cases that matter.
#include "game/progress/UserProfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "ProgressFakeGame.h"

namespace {

CommonString S(const char* text) { return CommonString(text); }

TEST(ProfileList, ANewProfileIsResetWithTheLowestFreeSlotAndTheFirstYard) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    EXPECT_EQ(data.m_nCurrentProfile, -1);
    ASSERT_EQ(data.AddUserProfile(), 0);
    EXPECT_EQ(data.m_nCurrentProfile, 0) << "the first profile becomes current";
    const TUserProfile& p = *data.m_Profiles.data[0];
    EXPECT_TRUE(p.m_bTutorialOn);
    EXPECT_EQ(p.m_nStorageSlotId, 0);
    EXPECT_EQ(Str(p.m_CurrentYard), "yard1");
    EXPECT_EQ(p.m_CurrentArena.Length(), 0);
    EXPECT_EQ(p.m_pGame, &game);

    game.firstYard = "";
    ASSERT_EQ(data.AddUserProfile(), 1);
    EXPECT_EQ(data.m_Profiles.data[1]->m_CurrentYard.Length(), 0) << "a farm without yards";
    EXPECT_EQ(data.m_nCurrentProfile, 0) << "an existing current profile stays";
}

TEST(ProfileList, SixProfilesAtMostAndSlotsFillTheLowestGap) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    for (int i = 0; i < 6; ++i) ASSERT_EQ(data.AddUserProfile(), i);
    EXPECT_EQ(data.AddUserProfile(), -1) << "a seventh";
    EXPECT_EQ(data.m_Profiles.count, 6);

    // Slots 0 and 2 left: the next one gets 1.
    data.RemoveUserProfile(5);
    data.RemoveUserProfile(4);
    data.RemoveUserProfile(3);
    data.RemoveUserProfile(1);
    ASSERT_EQ(data.m_Profiles.count, 2);
    EXPECT_EQ(data.FindUnusedStorageSlotsId(), 1);
    EXPECT_EQ(data.m_Profiles.data[data.AddUserProfile()]->m_nStorageSlotId, 1);
    while (data.m_Profiles.count > 0) data.RemoveUserProfile(0);
    EXPECT_EQ(data.m_nCurrentProfile, -1) << "no profile left";
    EXPECT_EQ(data.m_Profiles.data[data.AddUserProfile()]->m_nStorageSlotId, 0);
}

TEST(ProfileList, TheCurrentIndexFollowsItsPlayerWhenOthersAreRemoved) {
    struct TCase {
        const char* why;
        int profiles, current, removed;
        int currentAfter;
    } cases[] = {
        {"an earlier profile goes", 3, 2, 0, 1},    {"a later profile goes", 3, 0, 2, 0},
        {"the current, last one goes", 3, 2, 2, 1}, {"the only profile goes", 1, 0, 0, -1},
        {"out of range: nothing", 2, 1, 5, 1},      {"negative: nothing", 2, 1, -1, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CProgressTestGame game;
        CApplicationData& data = game.Data();
        for (int i = 0; i < c.profiles; ++i) data.SetUserName(data.AddUserProfile(), CommonString('A' + i));
        data.m_nCurrentProfile = c.current;
        const std::string player = Str(data.GetUserName(c.current));
        data.RemoveUserProfile(c.removed);
        EXPECT_EQ(data.m_nCurrentProfile, c.currentAfter);
        if (c.removed != c.current && c.currentAfter >= 0) {
            EXPECT_EQ(Str(data.GetUserName(c.currentAfter)), player);
        }
    }
}

TEST(ProfileList, NamesAreElevenBytesTerminatedByTheReservedByte) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    ASSERT_EQ(data.AddUserProfile(), 0);
    TUserProfile& p = *data.m_Profiles.data[0];
    struct TCase {
        const char* name;
        const char* stored;  // the 11 bytes of the field
        const char* read;
    } cases[] = {
        {"Longername1", "Longername1", "Longername1"},
        {"Ann", "Ann\0ername1", "Ann"},  // bytes after the terminator keep their content
        {"Muchlongername", "Muchlongern", "Muchlongern"},
        {"", "\0\0\0\0\0\0\0\0\0\0", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        data.SetUserName(0, S(c.name));
        EXPECT_EQ(std::memcmp(p.m_Name, c.stored, 11), 0);
        EXPECT_EQ(p.m_Reserved1, 0);
        EXPECT_EQ(Str(data.GetUserName(0)), c.read);
    }
    data.SetUserName(3, S("nobody"));
    EXPECT_EQ(data.GetUserName(3).Length(), 0);
    EXPECT_EQ(data.GetUserName(-1).Length(), 0);
}

TEST(Profile, BestScoresKeepTheHighestPerLevel) {
    TUserProfile p;
    int score = -1;
    EXPECT_FALSE(p.GetMyScoreOnLevel(S("arena1"), score));
    EXPECT_EQ(score, -1);
    p.UpdateMyScoreOnLevel(S("arena1"), 500);
    p.UpdateMyScoreOnLevel(S("arena1"), 300);
    p.UpdateMyScoreOnLevel(S("arena2"), 40);
    p.UpdateMyScoreOnLevel(S("arena2"), 41);
    ASSERT_TRUE(p.GetMyScoreOnLevel(S("arena1"), score));
    EXPECT_EQ(score, 500);
    ASSERT_TRUE(p.GetMyScoreOnLevel(S("arena2"), score));
    EXPECT_EQ(score, 41);
    EXPECT_EQ(p.m_BestScores.count, 2);
}

TEST(Profile, CompletedYardsKeepTheMostStarsInStepWithTheirNames) {
    TUserProfile p;
    p.AddCompletedYardId(S("yard1"), 2);
    p.AddCompletedYardId(S("yard1"), 1);
    p.AddCompletedYardId(S("yard2"), 1);
    p.AddCompletedYardId(S("yard2"), 3);
    EXPECT_EQ(p.GetNumStarsInCompletedYard(S("yard1")), 2) << "fewer stars keep the stored ones";
    EXPECT_EQ(p.GetNumStarsInCompletedYard(S("yard2")), 3);
    EXPECT_EQ(p.GetNumStarsInCompletedYard(S("yard9")), 0);
    EXPECT_EQ(p.GetNumCompletedYards(), 2);

    // The stars list cannot grow: neither list takes the yard.
    p.m_CompletedYardStars.growBy = INT_MAX;
    p.m_CompletedYardStars.capacity = p.m_CompletedYardStars.count;
    EXPECT_FALSE(p.AppendCompletedYard(S("yard3"), 1));
    EXPECT_EQ(p.m_CompletedYardNames.count, 2);
    EXPECT_EQ(p.m_CompletedYardStars.count, 2);
}

TEST(Profile, QuestStatesMoveFromLockedToUnlockedToCompletedOnly) {
    TUserProfile p;
    const CommonString yard("yard1"), quest("q1_feed");
    struct TStep {
        const char* why;
        int op;  // 1 unlock, 2 complete
        int state;
        int unlocked, completed;
    } steps[] = {
        {"unlocked", 1, 1, 1, 0},
        {"unlocked twice", 1, 1, 1, 0},
        {"completed from unlocked", 2, 2, 0, 1},
        {"unlocking a completed quest changes nothing", 1, 2, 0, 1},
        {"completed twice", 2, 2, 0, 1},
    };
    EXPECT_EQ(p.GetMiniQuestState(yard, quest), 0);
    EXPECT_EQ(p.m_MiniQuestStates.count, 1) << "the yard's record is made by the query";
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.why);
        if (s.op == 1)
            p.MiniQuestUnlocked(yard, quest);
        else
            p.MiniQuestCompleted(yard, quest);
        EXPECT_EQ(p.GetMiniQuestState(yard, quest), s.state);
        EXPECT_EQ(p.GetMiniQuestStatesInfo(yard)->m_Unlocked.count, s.unlocked);
        EXPECT_EQ(p.GetMiniQuestStatesInfo(yard)->m_Completed.count, s.completed);
    }
    EXPECT_EQ(p.GetMiniQuestState(S("yard2"), quest), 0) << "states are per yard";
}

TEST(Profile, FarmObjectsCountEveryCopyBought) {
    TUserProfile p;
    const CommonString yard("yard1"), radio("radio");
    p.FarmObjectPurchased(yard, radio);
    p.FarmObjectPurchased(yard, radio);
    p.FarmObjectPurchased(yard, S("swing"));
    p.FarmObjectRemoved(yard, radio);
    EXPECT_EQ(p.GetNumFarmObjectPurchased(yard, radio), 1);
    EXPECT_TRUE(p.IsFarmObjectPurchased(yard, radio));
    p.FarmObjectRemoved(yard, radio);
    p.FarmObjectRemoved(yard, radio);
    EXPECT_EQ(p.GetNumFarmObjectPurchased(yard, radio), 0) << "removing an absent object does nothing";
    EXPECT_TRUE(p.IsFarmObjectPurchased(yard, S("swing")));
    EXPECT_FALSE(p.IsFarmObjectPurchased(S("yard2"), S("swing")));
}

}  // namespace
