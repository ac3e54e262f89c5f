#include "game/farm/FarmManager.h"

#include <cstdint>
#include <limits>

#include "app/GameBase.h"
#include "game/farm/FarmObject.h"
#include "game/farm/YardCamera.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"

CFarmManager::CFarmManager(CGameBase* game) : m_pGame(game) { m_Objects.growBy = 10; }

// The objects go first: they point into the definitions.
CFarmManager::~CFarmManager() {
    m_Objects.RemoveAll();
    m_Yards.RemoveAll();
}

YardDef* CFarmManager::GetYardDef(int index) {
    if (index < 0 || index >= m_Yards.count) return nullptr;
    return m_Yards[index];
}

YardDef* CFarmManager::GetYardDef(CommonString id) { return GetYardDef(GetYardIndex(id)); }

int CFarmManager::GetYardIndex(CommonString id) {
    for (int i = m_Yards.count - 1; i >= 0; --i)
        if (m_Yards[i]->id.IsEqual(id.GetData())) return i;
    return -1;
}

FarmObjectDef* CFarmManager::GetFarmObjectDef(YardDef* yard, CommonString id) {
    if (yard == nullptr) return nullptr;
    for (auto& list : yard->objects)
        for (int i = list.count - 1; i >= 0; --i)
            if (list[i]->id.IsEqual(id.GetData())) return list[i];
    return nullptr;
}

FarmObjectDef* CFarmManager::GetFarmObjectDef(CommonString id) {
    for (int i = 0; i < m_Yards.count; ++i)
        if (FarmObjectDef* def = GetFarmObjectDef(m_Yards[i], id)) return def;
    return nullptr;
}

CFarmObject* CFarmManager::GetFarmObject(const char* id) {
    for (int i = m_Objects.count - 1; i >= 0; --i)
        if (m_Objects[i]->m_pDef != nullptr && m_Objects[i]->m_pDef->id.IsEqual(id)) return m_Objects[i];
    return nullptr;
}

int CFarmManager::CalcDiscountedSellPrice(const FarmObjectDef* def) {
    if (def == nullptr) return 0;
    return static_cast<int>(0.5f + 0.7f * static_cast<float>(def->price));
}

bool CFarmManager::FindGoodSpawnSpotForNewObject(FIXED_FLOAT& x, FIXED_FLOAT& y) {
    constexpr int kAttempts = 46;
    constexpr FIXED_FLOAT kScreenMargin = 30 * 256;
    // About 56.6 pixels, as a squared distance in 24.8.
    constexpr std::int64_t kMinSquaredDistance = 3200 * 256;
    const IDibBitmap* back = m_pGame ? m_pGame->m_Screen.m_pBackBuffer : nullptr;
    const int screenWidth = back ? back->m_Width : (m_pGame ? m_pGame->m_nGameWidth : 0);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // Two statements: x draws its random value before y.
        x = (m_pGame->RandomValue(580) + 30) * 256;
        y = (m_pGame->RandomValue(269) + 40) * 256;
        const TVector2D screen = WorldToScreen(m_pGame, TVector2D{x, y});
        if (screen.x < kScreenMargin || screen.x > (screenWidth - 30) * 256) continue;
        if (m_Objects.count == 0) return true;
        // 64-bit squares: a dx of 256 pixels is already 2^32 in 24.8 squared.
        std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
        for (int i = 0; i < m_Objects.count; ++i) {
            const std::int64_t dx = static_cast<std::int64_t>(m_Objects[i]->m_Position.x) - x;
            const std::int64_t dy = static_cast<std::int64_t>(m_Objects[i]->m_Position.y) - y;
            const std::int64_t squared = dx * dx / 256 + dy * dy / 256;
            if (squared < nearest) nearest = squared;
        }
        if (nearest >= kMinSquaredDistance) return true;
    }
    return false;
}

bool CFarmManager::AreFarmObjectsClose(CFarmObject* a, CFarmObject* b, FIXED_FLOAT threshold, FIXED_FLOAT& distance) {
    const FIXED_FLOAT_16 s = WorldToScreenScale(a->m_Position);
    distance = GetDistanceBetweenRects(a->GetObjectRect(), b->GetObjectRect());
    return distance <= static_cast<std::int64_t>(threshold) * (s / 256) / 256;
}

CFarmObject* CFarmManager::FindAvailableSpotToVisit(CFarmObject* bird) {
    constexpr FIXED_FLOAT kNearToBird = 100 * 256;
    FIXED_FLOAT best = 1000 * 256;
    CFarmObject* nearest = nullptr;
    CQuorvanArray<CFarmObject*> candidates;
    for (int i = m_Objects.count - 1; i >= 0; --i) {
        CFarmObject* object = m_Objects[i];
        const int kind = object->m_nKind;
        if (kind != kFarmObjectDecor && kind != kFarmObjectPhotoStand && kind != kFarmObjectDoghouse) continue;
        if (!object->IsAvailailableSpotToVisit(bird != nullptr)) continue;
        if (bird != nullptr) {
            FIXED_FLOAT distance = 0;
            if (AreFarmObjectsClose(bird, object, kNearToBird, distance) && distance <= best) {
                nearest = object;
                best = distance;
            }
        } else if (!candidates.Add(object)) {
            break;  // out of memory: choose among those found so far
        }
    }
    if (bird != nullptr) return nearest;
    if (candidates.count == 0) return nullptr;
    if (candidates.count == 1) return candidates[0];
    return candidates[NextGameRandom() % candidates.count];
}
