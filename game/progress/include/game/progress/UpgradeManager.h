// The boosts: six permanent upgrades of the marble game bought with boost points. The table of
// the six (caption, one label and one price per level) is fixed in the program and its texts are
// shown as they stand; what a player owns (unspent points, one level per boost) lives in the
// current profile. The boosts screen buys, undoes and resets levels against this table; the
// gameplay copies the profile's levels when a round starts and reads some boosts' level counts.
//
// Depends on: core. Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;

// The boosts by type, in table order.
enum UpgradeType : int {
    kUpgradeCombo = 0,
    kUpgradeLife = 1,
    kUpgradeCoin = 2,
    kUpgradeRay = 3,
    kUpgradeColorBomb = 4,
    kUpgradeBomb = 5,
    kUpgradeTypeCount = 6,
};

// The boosts' ids by type: also the widget ids of their rows on the boosts screen and the names
// of their sprite sets.
extern const char* const g_strUpgradeTextIds[kUpgradeTypeCount];

class CUpgradeManager {
public:
    explicit CUpgradeManager(CGameBase* game);
    CUpgradeManager(const CUpgradeManager&) = delete;
    CUpgradeManager& operator=(const CUpgradeManager&) = delete;
    ~CUpgradeManager() = default;

    // Fills the table, boost by boost in type order; false only when memory runs out.
    bool PostConstruct();

    // The type whose id equals id exactly, trying type 0 first; -1 when none does.
    int GetUpgradeType(const CommonString& id) const;
    // Table reads; a type or level outside the table gives the empty text, 0 levels or cost 0.
    CommonString GetCaption(int type) const;
    CommonString GetLevelLabel(int type, int level) const;
    int GetNumLevels(int type) const;
    // Boost points for going from level - 1 to level (0 for level 0).
    int GetLevelCost(int type, int level) const;
    // The highest level of the fixed table for that type (its level count - 1); -1 for no type.
    // Readers of stored levels check them against it without a manager at hand.
    static int TableTopLevel(int type);

private:
    bool IsType(int type) const { return type >= 0 && type < kUpgradeTypeCount; }

    // Kept as every manager keeps its game; the fixed table needs nothing of it.
    [[maybe_unused]] CGameBase* m_pGame;
    CommonString m_Captions[kUpgradeTypeCount];
    CQuorvanObjPtrArray<CommonString*> m_LevelLabels[kUpgradeTypeCount];
    CQuorvanArray<int> m_LevelCosts[kUpgradeTypeCount];
};
