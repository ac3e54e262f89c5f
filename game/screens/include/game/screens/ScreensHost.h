// What the screens (the front end, the shops, the quests, the boosts, the leaderboards, the round's
// statistics and the player dialogs) ask of the game object above them, beyond what every CGameBase
// serves (sprite sets, sounds, the rotator, localisation, random values, messages) and what the
// layers below serve: progression (the profile, the player data, achievements, the game's fonts:
// game/progress/ProgressHost.h), the yard (the farm, the arenas, the coin counter:
// game/farm/FarmHost.h) and the round (the boosts' tables, the ways to the yard and the coin shop:
// game/gameplay/GameplayHost.h). The game object implements it; a screen finds it behind its
// element host (ScreensHostOf), and under a host that does not implement it (a test's) does
// without. A screen that wants another screen sends a game message (game/widgets/GameMessages.h).
//
// Threads: main thread only.
#pragma once

#include "core/Common.h"

class CInAppPurchaseManager;
class CSpriteSet;
class CXElement;
struct InAppPurchaseDef;

class IScreensHost {
public:
    // ---- the shops, quests, upgrades, leaders, player dialogs
    // The catalogue of the coin shop and the boost-point packs; null before the loader has made
    // it. Buying an entry shows the wait dialog until the payment service has answered.
    virtual CInAppPurchaseManager* GetPurchaseManager() = 0;
    virtual void InAppPurchaseCalled(InAppPurchaseDef* item) = 0;
    // Whether the coin shop's list is to open near its end; asking clears it.
    virtual bool TakePendingAddCoins() = 0;
    // The farm shop's tab kept for its next visit (0..3), and each farm tab's kept scroll offset
    // (pixels; -1000 for none).
    virtual int GetShopTab() = 0;
    virtual void KeepShopTab(int tab) = 0;
    virtual int GetShopTabOffset(int tab) = 0;
    virtual void KeepShopTabOffset(int tab, int offset) = 0;
    // The HUD's coin and boost-point icons; null before the loader has taken them.
    virtual CSpriteSet* GetHudCoinSet() = 0;
    virtual CSpriteSet* GetHudXPSet() = 0;
    // Draws the current profile's unspent boost points at the top right of the back buffer with
    // alpha a; the x of the middle of the "x" sign (16.16), or 0 without a profile.
    virtual FIXED_FLOAT_16 DrawNumUpgradePoints(int a) = 0;
    // The last new high score, which the leaderboards open on: its row (-1 for none) and its
    // table (the arena's index; -1 before any).
    virtual int NewHighScoreRow() = 0;
    virtual int NewHighScoreTable() = 0;
    // A new player profile: its index, or -1 when none can be added (six exist, or no data).
    virtual int CreateNewUserProfile() = 0;
    // Deletes every kept game (rounds and yards) of the profile at that index.
    virtual void SR_DeleteResume(int profileIndex) = 0;

protected:
    ~IScreensHost() = default;
};

// The screens' host behind an element: null for null or under a host that is not one.
IScreensHost* ScreensHostOf(const CXElement* element);
