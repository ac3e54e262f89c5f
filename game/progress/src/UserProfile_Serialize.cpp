// The profile's record in "global.opt" and the records nested in it.
#include <new>

#include "SaveFields.h"
#include "core/File.h"
#include "game/progress/UserProfile.h"

using savefields::SerializeFixedBytes;
using savefields::SerializeList;
using savefields::SerializeListCount;
using savefields::SerializeStringList;

namespace {

constexpr const char* kProfileTag = "prfl";
// Smallest stored sizes of list items: a text and an int; a yard id and three empty lists.
constexpr int kTextAndIntBytes = 8;
constexpr int kQuestStatesBytes = 16;

// The per-arena statistics: one count, then four blocks of count ints. Above the capacity the
// extra ints of each block are skipped; below it the missing ones read as zero.
void SerializeArenaStats(SerializeHelper2& h, int* const (&blocks)[4]) {
    const int count = savefields::SerializeFixedCount(h, kProfileArenaCount);
    if (count < 0) return;
    for (int* block : blocks) {
        for (int i = 0; i < count && i < kProfileArenaCount; ++i) h.Serialize(block[i]);
        if (!h.writing) savefields::FinishFixedRead(h, block, count, kProfileArenaCount, 4);
    }
}

}  // namespace

int TUsersBestScoreOnLevelInfo::Serialize(IFile* file, bool writing, int /*version*/) {
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_LevelName);
    h.Serialize(m_nScore);
    return h.Succeeded();
}

int MiniQuestStatesInfo::Serialize(IFile* file, bool writing, int /*version*/) {
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_YardId);
    if (!h.Succeeded()) return 0;
    for (CQuorvanObjPtrArray<CommonString*>* list : {&m_Unlocked, &m_Completed, &m_Purchased})
        if (!SerializeStringList(h, *list)) return 0;
    return h.Succeeded();
}

int TUserProfile::Serialize(IFile* file, bool writing, int version) {
    if (file == nullptr) return 0;
    SerializeHelper2 h{file, true, writing, 0};
    CommonString tag(kProfileTag);
    h.Serialize(tag);
    if (!h.Succeeded() || !tag.IsEqual(kProfileTag)) return 0;
    h.Serialize(m_Name, kProfileNameBytes);
    h.Serialize(m_Reserved1);
    h.Serialize(m_Reserved2);
    h.Serialize(m_nStorageSlotId);
    h.Serialize(m_nTotalScore);
    h.Serialize(m_nCoins);
    h.Serialize(m_nCoinTally);
    h.Serialize(m_nClearBonuses);
    h.Serialize(m_bSocialPromptAccepted);
    SerializeFixedBytes(h, m_AchievementFlags, kAchievementCount);
    h.Serialize(m_bScoresToSync);
    h.Serialize(m_bAchievementsToSync);
    h.Serialize(m_bTutorialOn);
    SerializeFixedBytes(h, m_HintFlags, kHintFlagCount);

    const auto bestScore = [&](TUsersBestScoreOnLevelInfo& best) {
        return best.Serialize(file, writing, version) != 0;
    };
    if (!SerializeList(h, m_BestScores, kTextAndIntBytes, bestScore)) return 0;
    if (!h.Succeeded() || !SerializeSessionParams(file, writing, version)) return 0;

    h.Serialize(m_bLikeRewardGiven);
    h.Serialize(m_nRoundsStarted);
    h.Serialize(m_bCoinShopButtonShown);
    h.Serialize(m_bFirstRankUpSeen);
    SerializeArenaStats(h, {m_RoundsPerArena, m_CoinsPerArena, m_MatchPerArena, m_PowerUpsPerArena});
    h.Serialize(m_nBoostPointsEarned);
    h.Serialize(m_uExperiencePoints);
    h.Serialize(m_nBoostPoints);
    SerializeFixedBytes(h, m_BoostLevels, kBoostCount);
    return h.Succeeded();
}

int TUserProfile::SerializeSessionParams(IFile* file, bool writing, int version) {
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_CurrentArena);
    h.Serialize(m_CurrentYard);

    // The two completed-yard lists move in step, so their one count fits both.
    int count = m_CompletedYardNames.count;
    if (!SerializeListCount(h, count, kTextAndIntBytes)) return 0;
    if (!writing) {
        m_CompletedYardNames.RemoveAll();
        m_CompletedYardStars.count = 0;
    }
    for (int i = 0; i < count; ++i) {
        if (!writing) {
            savefields::GrowBySize(m_CompletedYardNames);
            savefields::GrowBySize(m_CompletedYardStars);
            if (!AppendCompletedYard(CommonString(), 0)) return 0;
        }
        h.Serialize(*m_CompletedYardNames.data[i]);
        h.Serialize(m_CompletedYardStars.data[i]);
        if (!h.Succeeded()) return 0;
    }
    m_CompletedYardNames.growBy = m_CompletedYardStars.growBy = 1;

    const auto questStates = [&](MiniQuestStatesInfo& states) { return states.Serialize(file, writing, version) != 0; };
    if (!SerializeList(h, m_MiniQuestStates, kQuestStatesBytes, questStates)) return 0;

    if (!SerializeStringList(h, m_NewlyUnlockedLevels)) return 0;
    h.Serialize(m_NewlyUnlockedYard);
    return h.Succeeded();
}
