// The farm's rules on the current player's profile.
#include <vector>

#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"

namespace {

// The current profile's completed yards in list order; empty without a profile.
std::vector<TCompletedYard> CompletedYardsOf(CGameBase* game) {
    std::vector<TCompletedYard> completed;
    const TUserProfile* profile = CurrentProfileOf(game);
    if (profile == nullptr) return completed;
    const int count = profile->GetNumCompletedYards();
    for (int i = 0; i < count && i < profile->m_CompletedYardStars.count; ++i)
        completed.push_back(
            TCompletedYard{profile->m_CompletedYardNames[i]->GetData(), profile->m_CompletedYardStars[i]});
    return completed;
}

}  // namespace

YardDef* CFarmManager::GetCurrentYardDef() {
    const TUserProfile* profile = CurrentProfileOf(m_pGame);
    return profile != nullptr ? GetYardDef(profile->m_CurrentYard) : nullptr;
}

bool CFarmManager::IsYardVisible(YardDef* yard) { return IsYardVisibleFor(yard, CompletedYardsOf(m_pGame)); }

bool CFarmManager::IsYardUnlocked(YardDef* yard) { return IsYardUnlockedFor(yard, CompletedYardsOf(m_pGame)); }

bool CFarmManager::CanPurchaseAnyFarmObject(int coins) {
    return CanPurchaseAnyFarmObjectFor(coins, CompletedYardsOf(m_pGame));
}
