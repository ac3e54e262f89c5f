// The achievement records, their goals and awarding.
#include "game/progress/AchievementsManager.h"

#include <new>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/RunningRound.h"
#include "game/progress/UserProfile.h"
#include "render/DrawingHelpers.h"

namespace {

struct TAchievementRow {
    const char* icon;
    const char* keyPrefix;
    const char* arena;  // rows 0 to 11: the arena of the round score
    int threshold;      // goals are "above the threshold"; descriptions show threshold + 1
};

constexpr TAchievementRow kAchievements[kNumAchievements] = {
    {"Ach_Stage1Bronze", "ID_S1_BronzeMedal", "arena1", 4999},
    {"Ach_Stage1Silver", "ID_S1_SilverMedal", "arena1", 9999},
    {"Ach_Stage1Gold", "ID_S1_GoldenMedal", "arena1", 14999},
    {"Ach_Stage1Platinum", "ID_S1_PlatinumMedal", "arena1", 24999},
    {"Ach_Stage2Bronze", "ID_S2_BronzeMedal", "arena2", 9999},
    {"Ach_Stage2Silver", "ID_S2_SilverMedal", "arena2", 19999},
    {"Ach_Stage2Gold", "ID_S2_GoldenMedal", "arena2", 29999},
    {"Ach_Stage2Platinum", "ID_S2_PlatinumMedal", "arena2", 49999},
    {"Ach_Stage3Bronze", "ID_S3_BronzeMedal", "arena3", 14999},
    {"Ach_Stage3Silver", "ID_S3_SilverMedal", "arena3", 29999},
    {"Ach_Stage3Gold", "ID_S3_GoldenMedal", "arena3", 44999},
    {"Ach_Stage3Platinum", "ID_S3_PlatinumMedal", "arena3", 74999},
    {"Ach_Hat100K", "ID_GoldenHat", nullptr, 99999},
    {"Ach_Helm250K", "ID_GoldenHelmet", nullptr, 499999},
    {"Ach_Crown500K", "ID_GoldenCrown", nullptr, 999999},
    {"Ach_Clean", "ID_ClearBonuses", nullptr, 24},
    {"Ach_Lucky", "ID_LuckyPass", nullptr, 0},
    {"Ach_Boost", "ID_Boosts", nullptr, 0},
    {"Ach_StatueFrog", "ID_AchStatueFrog", nullptr, 0},
    {"Ach_StatueCats", "ID_AchStatueCats", nullptr, 0},
    {"Ach_StatueDogs", "ID_AchStatueDogs", nullptr, 0},
    {"Ach_Eggs", "ID_AchEggs", nullptr, 0},
    {"Ach_Shiva", "ID_AchShiva", nullptr, 0},
};

// Achievements whose descriptions carry their goal value, and those with a goal test.
constexpr int kLastValueAchievement = 14;
constexpr int kLastTestedAchievement = 15;
constexpr int kFirstTotalScoreAchievement = 12;

// The farm objects of achievements 18 to 21.
constexpr const char* kFarmObjectAchievements[] = {"wooden_frog", "wooden_kittens", "wooden_dogs", "new_basket2"};
constexpr int kFirstFarmObjectAchievement = 18;

CommonString Localised(CLocManager2* loc, const CommonString& key) {
    return loc != nullptr ? loc->LoadString(key.GetDataConst()) : CommonString();
}

}  // namespace

CAchievementsManager::CAchievementsManager(CGameBase* game) : m_pGame(game), m_pHost(ProgressHostOf(game)) {}

CAchievementsManager::~CAchievementsManager() = default;

int CAchievementsManager::PostConstruct() { return InitArrayOfAchievementInfos(); }

int CAchievementsManager::InitArrayOfAchievementInfos() {
    m_Infos.RemoveAll();
    CLocManager2* loc = m_pGame != nullptr ? m_pGame->m_pLocManager : nullptr;
    for (int i = 0; i < kNumAchievements; ++i) {
        const TAchievementRow& row = kAchievements[i];
        const CommonString prefix(row.keyPrefix);
        const CommonString name = Localised(loc, prefix + CommonString("Name"));
        CommonString desc0, desc1;
        if (i <= kLastValueAchievement) {
            desc0 = LoadStrAndFormat(loc, prefix + CommonString("Desc0"), row.threshold + 1);
            desc1 = LoadStrAndFormat(loc, prefix + CommonString("Desc1"), row.threshold + 1);
        } else {
            desc0 = Localised(loc, prefix + CommonString("Desc0"));
            desc1 = Localised(loc, prefix + CommonString("Desc1"));
        }
        if (!AddInfo(i, name.GetDataConst(), desc0.GetDataConst(), desc1.GetDataConst(), row.icon)) return 0;
    }
    return 1;
}

int CAchievementsManager::AddInfo(int index, const char* name, const char* desc0, const char* desc1, const char* icon) {
    auto* info = new (std::nothrow) TAchievementInfo();
    if (info == nullptr) return 0;
    info->index = index;
    info->name = name;
    info->desc0 = desc0;
    info->desc1 = desc1;
    info->icon = icon;
    if (!m_Infos.Add(info)) {
        delete info;
        return 0;
    }
    return 1;
}

const TAchievementInfo* CAchievementsManager::GetInfo(int index) const {
    return index >= 0 && index < m_Infos.count ? m_Infos.data[index] : nullptr;
}

bool CAchievementsManager::CheckAchievementGoalReached(int index) {
    IRunningRound* round = m_pHost != nullptr ? m_pHost->GetRunningRound() : nullptr;
    if (round == nullptr || round->IsTutorialRound()) return false;
    if (index < 0 || index > kLastTestedAchievement) return false;
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (profile == nullptr) return false;
    const TAchievementRow& row = kAchievements[index];
    if (index < kFirstTotalScoreAchievement)
        return profile->m_CurrentArena.IsEqual(row.arena) && round->GetRoundScore() > row.threshold;
    if (index <= kLastValueAchievement) return profile->m_nTotalScore > row.threshold;
    return profile->m_nClearBonuses > row.threshold;
}

void CAchievementsManager::CheckAchievementProgress(int index) {
    IRunningRound* round = m_pHost != nullptr ? m_pHost->GetRunningRound() : nullptr;
    if (round == nullptr || round->IsTutorialRound()) return;
    if (index < 0 || index >= kNumAchievements) return;
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (profile == nullptr || profile->IsAchievementAwarded(index)) return;
    if (CheckAchievementGoalReached(index)) AwardAchievement(index);
}

void CAchievementsManager::AwardAchievement(int index) {
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (profile == nullptr || index < 0 || index >= kNumAchievements) return;
    profile->m_AchievementFlags[index] = 1;
    PostGC_Achievement(index);
    const TAchievementInfo* info = GetInfo(index);
    PlaceAwardedMessageToQueue(kAwardAchievement + index, info != nullptr ? info->name : CommonString());
}

bool CAchievementsManager::AwardFarmObjectAchievement(const CommonString& objectName) {
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (profile == nullptr) return false;
    for (int k = 0; k < 4; ++k) {
        const int index = kFirstFarmObjectAchievement + k;
        // Tested first, as every other caller does: a second statue bought brings no second banner.
        if (objectName.IsEqual(kFarmObjectAchievements[k]) && !profile->IsAchievementAwarded(index)) {
            AwardAchievement(index);
            return true;
        }
    }
    return false;
}

void CAchievementsManager::PostGC_Achievement(int /*index*/) {}

CommonString CAchievementsManager::LoadStrAndFormat(CLocManager2* loc, const CommonString& key, int value) {
    // The text comes from a translator's table: it is filled in, never handed to printf.
    return SafeFormat(Localised(loc, key).GetDataConst(), {FormatWithCommas(value)});
}
