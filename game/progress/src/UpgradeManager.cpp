#include "game/progress/UpgradeManager.h"

#include <new>

const char* const g_strUpgradeTextIds[kUpgradeTypeCount] = {
    "boost_combo", "boost_life", "boost_coin1", "boost_xray", "boost_color_bomb", "boost_bomb",
};

namespace {

struct TBoostRow {
    const char* caption;
    int levels;
    const char* labels[6];
    int costs[6];
};

// The boosts, literal texts shown as they stand.
constexpr TBoostRow kBoostTable[kUpgradeTypeCount] = {
    {"Combo Extra Score:", 5, {"None", "25%", "50%", "75%", "100%"}, {0, 1, 1, 1, 1}},
    {"Extra Lifes:", 4, {"None", "1", "2", "3"}, {0, 1, 2, 3}},
    {"Double Coin Bonus Chance:", 5, {"0%", "25%", "50%", "75%", "100%"}, {0, 1, 1, 1, 1}},
    {"Ray Bomb:", 5, {"4 Rays", "6 Rays", "8 Rays", "10 Rays", "12 Rays"}, {0, 1, 2, 2, 3}},
    {"2-color Bomb Chance:", 5, {"0%", "25%", "50%", "75%", "100%"}, {0, 1, 2, 2, 3}},
    {"Fire Ball Extra Range:", 6, {"0%", "10%", "20%", "30%", "40%", "50%"}, {0, 1, 2, 2, 2, 3}},
};

}  // namespace

CUpgradeManager::CUpgradeManager(CGameBase* game) : m_pGame(game) {}

bool CUpgradeManager::PostConstruct() {
    for (int type = 0; type < kUpgradeTypeCount; ++type) {
        const TBoostRow& row = kBoostTable[type];
        m_Captions[type] = row.caption;
        for (int level = 0; level < row.levels; ++level) {
            auto* label = new (std::nothrow) CommonString(row.labels[level]);
            if (label == nullptr) return false;
            if (!m_LevelLabels[type].Add(label)) {
                delete label;
                return false;
            }
        }
        for (int level = 0; level < row.levels; ++level)
            if (!m_LevelCosts[type].Add(row.costs[level])) return false;
    }
    return true;
}

int CUpgradeManager::GetUpgradeType(const CommonString& id) const {
    for (int type = 0; type < kUpgradeTypeCount; ++type)
        if (id.IsEqual(g_strUpgradeTextIds[type])) return type;
    return -1;
}

CommonString CUpgradeManager::GetCaption(int type) const { return IsType(type) ? m_Captions[type] : CommonString(); }

CommonString CUpgradeManager::GetLevelLabel(int type, int level) const {
    if (!IsType(type) || level < 0 || level >= m_LevelLabels[type].count) return CommonString();
    return *m_LevelLabels[type].data[level];
}

int CUpgradeManager::GetNumLevels(int type) const { return IsType(type) ? m_LevelLabels[type].count : 0; }

int CUpgradeManager::TableTopLevel(int type) {
    return type >= 0 && type < kUpgradeTypeCount ? kBoostTable[type].levels - 1 : -1;
}

int CUpgradeManager::GetLevelCost(int type, int level) const {
    if (!IsType(type) || level < 0 || level >= m_LevelCosts[type].count) return 0;
    return m_LevelCosts[type].data[level];
}
