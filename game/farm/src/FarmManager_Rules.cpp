// Which yards a profile sees and may open, and whether it can buy anything at all.
#include "game/farm/FarmManager.h"

namespace {

// The first entry of the completed list for that yard id, or null.
const TCompletedYard* FindCompleted(std::span<const TCompletedYard> completed, const CommonString& id) {
    for (const TCompletedYard& entry : completed)
        if (id.IsEqual(entry.id)) return &entry;
    return nullptr;
}

}  // namespace

bool CFarmManager::IsYardVisibleFor(const YardDef* yard, std::span<const TCompletedYard> completed) {
    if (yard == nullptr) return false;
    if (yard->showAfter.Length() == 0) return true;
    const TCompletedYard* entry = FindCompleted(completed, yard->showAfter);
    return entry != nullptr && entry->stars >= yard->showStars;
}

bool CFarmManager::IsYardUnlockedFor(const YardDef* yard, std::span<const TCompletedYard> completed) {
    if (yard == nullptr) return false;
    if (yard->unlockAfter.Length() == 0) return true;
    if (!yard->unlockAfter.IsEqual(kUnlockAfterAllPrevious)) {
        const TCompletedYard* entry = FindCompleted(completed, yard->unlockAfter);
        return entry != nullptr && entry->stars >= yard->unlockStars;
    }
    const int index = GetYardIndex(yard->id);
    // Fewer yards completed than stand before this one.
    if (index > static_cast<int>(completed.size())) return false;
    for (const TCompletedYard& entry : completed) {
        if (yard->id.IsEqual(entry.id)) continue;
        // A completed yard the table no longer has takes index -1: it stands before every yard.
        const int before = GetYardIndex(CommonString(entry.id));
        if (before < index && entry.stars < yard->unlockStars) return false;
    }
    return true;
}

bool CFarmManager::CanPurchaseAnyFarmObjectFor(int coins, std::span<const TCompletedYard> completed) {
    for (int y = 0; y < m_Yards.count; ++y) {
        const YardDef* yard = m_Yards[y];
        if (!IsYardUnlockedFor(yard, completed)) continue;
        for (const auto& list : yard->objects) {
            for (int i = list.count - 1; i >= 0; --i) {
                const FarmObjectDef* def = list[i];
                if ((def->flags & kFarmFlagDefault) == 0 && def->price > 0 && def->price <= coins) return true;
            }
        }
    }
    return false;
}
