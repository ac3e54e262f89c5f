#include "game/progress/UserProfile.h"

#include <cstring>
#include <new>

#include "SaveFields.h"

using savefields::DeleteAt;
using savefields::FindLast;

namespace {

// Appends a copy of text; false when memory runs out.
bool AppendText(CQuorvanObjPtrArray<CommonString*>& list, const CommonString& text) {
    auto* copy = new (std::nothrow) CommonString(text);
    if (copy == nullptr) return false;
    if (!list.Add(copy)) {
        delete copy;
        return false;
    }
    return true;
}

}  // namespace

void TUsersBestScoreOnLevelInfo::Reset() {
    m_LevelName = CommonString();
    m_nScore = 0;
}

MiniQuestStatesInfo::MiniQuestStatesInfo() = default;

void MiniQuestStatesInfo::Reset() {
    m_YardId = CommonString();
    m_Unlocked.RemoveAll();
    m_Completed.RemoveAll();
    m_Purchased.RemoveAll();
}

TUserProfile::TUserProfile() { Reset(); }

void TUserProfile::Reset() {
    std::memset(m_Name, 0, sizeof m_Name);
    m_Reserved1 = 0;
    m_Reserved2 = 0;
    m_nStorageSlotId = -1;
    m_nTotalScore = 0;
    m_nCoins = 0;
    m_nCoinTally = 0;
    m_nClearBonuses = 0;
    m_bSocialPromptAccepted = false;
    std::memset(m_AchievementFlags, 0, sizeof m_AchievementFlags);
    m_bTutorialOn = true;
    for (bool& flag : m_HintFlags) flag = false;
    m_CurrentArena = CommonString();
    m_CurrentYard = CommonString();
    m_CompletedYardNames.RemoveAll();
    m_CompletedYardStars.count = 0;
    m_MiniQuestStates.RemoveAll();
    m_NewlyUnlockedLevels.RemoveAll();
    m_NewlyUnlockedYard = CommonString();
    m_bLikeRewardGiven = false;
    m_bFirstRankUpSeen = false;
    m_bScoresToSync = false;
    m_bAchievementsToSync = false;
    m_nRoundsStarted = 0;
    m_bCoinShopButtonShown = false;
    for (int i = 0; i < kProfileArenaCount; ++i) {
        m_RoundsPerArena[i] = 0;
        m_CoinsPerArena[i] = 0;
        m_MatchPerArena[i] = 0;
        m_PowerUpsPerArena[i] = 0;
    }
    m_nBoostPointsEarned = 0;
    m_uExperiencePoints = 0;
    m_nBoostPoints = 0;
    std::memset(m_BoostLevels, 0, sizeof m_BoostLevels);
}

CommonString TUserProfile::GetName() const {
    char text[kProfileNameBytes + 1] = {};
    // The field need not hold a terminator: an 11-character name ends at the field's end.
    std::memcpy(text, m_Name, kProfileNameBytes);
    return CommonString(text);
}

void TUserProfile::SetName(const CommonString& name) {
    const int length = name.Length();
    if (length == 0) {
        std::memset(m_Name, 0, sizeof m_Name);
        return;
    }
    if (length < kProfileNameBytes) {
        std::memcpy(m_Name, name.GetData(), static_cast<std::size_t>(length) + 1);
        return;
    }
    std::memcpy(m_Name, name.GetData(), kProfileNameBytes);
    m_Reserved1 = 0;
}

bool TUserProfile::GetMyScoreOnLevel(const CommonString& level, int& score) const {
    for (int i = m_BestScores.count - 1; i >= 0; --i) {
        if (m_BestScores.data[i]->m_LevelName == level) {
            score = m_BestScores.data[i]->m_nScore;
            return true;
        }
    }
    return false;
}

void TUserProfile::UpdateMyScoreOnLevel(const CommonString& level, int score) {
    for (int i = m_BestScores.count - 1; i >= 0; --i) {
        TUsersBestScoreOnLevelInfo* record = m_BestScores.data[i];
        if (record->m_LevelName == level) {
            if (score > record->m_nScore) record->m_nScore = score;
            return;
        }
    }
    auto* record = new (std::nothrow) TUsersBestScoreOnLevelInfo();
    if (record == nullptr) return;
    record->m_LevelName = level;
    record->m_nScore = score;
    if (!m_BestScores.Add(record)) delete record;
}

int TUserProfile::GetNumStarsInCompletedYard(const CommonString& yard) const {
    for (int i = 0; i < m_CompletedYardNames.count; ++i)
        if (*m_CompletedYardNames.data[i] == yard) return m_CompletedYardStars.data[i];
    return 0;
}

void TUserProfile::AddCompletedYardId(const CommonString& yard, int stars) {
    const int i = FindLast(m_CompletedYardNames, yard);
    if (i >= 0) {
        if (stars > m_CompletedYardStars.data[i]) m_CompletedYardStars.data[i] = stars;
        return;
    }
    (void)AppendCompletedYard(yard, stars);
}

bool TUserProfile::AppendCompletedYard(const CommonString& yard, int stars) {
    if (!AppendText(m_CompletedYardNames, yard)) return false;
    if (!m_CompletedYardStars.Add(stars)) {
        DeleteAt(m_CompletedYardNames, m_CompletedYardNames.count - 1);
        return false;
    }
    return true;
}

MiniQuestStatesInfo* TUserProfile::GetMiniQuestStatesInfo(const CommonString& yard) {
    for (int i = m_MiniQuestStates.count - 1; i >= 0; --i)
        if (m_MiniQuestStates.data[i]->m_YardId == yard) return m_MiniQuestStates.data[i];
    auto* info = new (std::nothrow) MiniQuestStatesInfo();
    if (info == nullptr) return nullptr;
    info->m_YardId = yard;
    if (!m_MiniQuestStates.Add(info)) {
        delete info;
        return nullptr;
    }
    return info;
}

int TUserProfile::GetMiniQuestState(const CommonString& yard, const CommonString& quest) {
    MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard);
    if (info == nullptr) return 0;
    if (FindLast(info->m_Completed, quest) >= 0) return 2;
    return FindLast(info->m_Unlocked, quest) >= 0 ? 1 : 0;
}

void TUserProfile::MiniQuestUnlocked(const CommonString& yard, const CommonString& quest) {
    MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard);
    if (info == nullptr || FindLast(info->m_Unlocked, quest) >= 0 || FindLast(info->m_Completed, quest) >= 0) return;
    (void)AppendText(info->m_Unlocked, quest);
}

void TUserProfile::MiniQuestCompleted(const CommonString& yard, const CommonString& quest) {
    MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard);
    if (info == nullptr) return;
    if (FindLast(info->m_Completed, quest) < 0 && !AppendText(info->m_Completed, quest)) return;
    const int unlocked = FindLast(info->m_Unlocked, quest);
    if (unlocked >= 0) DeleteAt(info->m_Unlocked, unlocked);
}

void TUserProfile::FarmObjectPurchased(const CommonString& yard, const CommonString& object) {
    if (MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard)) (void)AppendText(info->m_Purchased, object);
}

void TUserProfile::FarmObjectRemoved(const CommonString& yard, const CommonString& object) {
    MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard);
    if (info == nullptr) return;
    const int i = FindLast(info->m_Purchased, object);
    if (i >= 0) DeleteAt(info->m_Purchased, i);
}

int TUserProfile::GetNumFarmObjectPurchased(const CommonString& yard, const CommonString& object) {
    MiniQuestStatesInfo* info = GetMiniQuestStatesInfo(yard);
    if (info == nullptr) return 0;
    int count = 0;
    for (int i = 0; i < info->m_Purchased.count; ++i)
        if (*info->m_Purchased.data[i] == object) ++count;
    return count;
}

bool TUserProfile::IsFarmObjectPurchased(const CommonString& yard, const CommonString& object) {
    return GetNumFarmObjectPurchased(yard, object) > 0;
}

bool TUserProfile::IsAchievementAwarded(int index) const {
    return index >= 0 && index < kAchievementCount && m_AchievementFlags[index] != 0;
}
