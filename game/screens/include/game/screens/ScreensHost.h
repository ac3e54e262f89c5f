// What the screens (front end, shops, quests, boosts, leaders, round statistics, player dialogs)
// ask of the game object beyond CGameBase and the lower areas' hosts (IProgressHost, INewsHost,
// IWidgetsHost, IGameplayHost, IFarmHost). The game object implements it; a screen finds it
// behind its element (ScreensHostOf), so a test hands in a stand-in of its own. A screen that
// wants another screen sends a game message; the loaders have their own host (LoaderHost.h).
//
// Threads: main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"

class CGameBase;
class CInAppPurchaseManager;
class CSpriteSet;
class CXElement;
struct InAppPurchaseDef;

// The farm shop's memory between visits, held by the game object: the farm tab it opens on (0..3)
// and each farm tab's scroll offset (whole pixels, -1000 for none).
struct TShopTabsKept {
    int& tab;
    int (&offsets)[4];
};

class IScreensHost {
public:
    // ---- the round's statistics, the play screen, the start menu
    // The new high score the round noted (IGameplayHost): its row (-1 for none), its arena's table.
    virtual int NewHighScoreRow() = 0;
    virtual int NewHighScoreTable() = 0;
    // The boost points' icon ("HudXP"); null until the start menu has first opened.
    virtual CSpriteSet* GetBoostPointsIcon() = 0;
    // The "ui_main.txt" action the play screen runs once as it opens, now taken (then empty).
    virtual CommonString TakePendingStartAction() = 0;
    // The purchases' catalogue (null before the loader); the like reward, then the social page.
    virtual CInAppPurchaseManager* GetPurchaseManager() = 0;
    virtual void LikeOnFacebook(InAppPurchaseDef* item) = 0;
    // Whether the current profile has a round of that arena kept.
    virtual bool SR_IsResumeAvailable_Arena(const CommonString& arenaName) = 0;
    // A new player profile: its index, or -1 when none can be added.
    virtual int CreateNewUserProfile() = 0;

    // ---- the shops, quests, upgrades, leaders, player dialogs
    // Buys the catalogue's entry: the wait dialog shows until the payment service has answered.
    virtual void InAppPurchaseCalled(InAppPurchaseDef* item) = 0;
    // Whether the coin shop's list is to open near its end, now taken (then false).
    virtual bool TakePendingAddCoins() = 0;
    // What the farm shop keeps between visits: its farm tab and each farm tab's scroll offset.
    virtual TShopTabsKept KeptShopTabs() = 0;
    // The coins' icon ("HudCoin"); null until the start menu has first opened. The counters of the
    // coins (IFarmHost::DrawNumCoins) and of the unspent boost points, drawn the same way.
    virtual CSpriteSet* GetCoinsIcon() = 0;
    virtual FIXED_FLOAT_16 DrawNumUpgradePoints(int a) = 0;
    // Deletes every kept round and yard of the profile at that index.
    virtual void SR_DeleteResume(int profileIndex) = 0;

protected:
    ~IScreensHost() = default;
};

// The screens' host behind an element: null for null or an element under another kind of host.
IScreensHost* ScreensHostOf(const CXElement* element);
// The game object behind an element when it serves the screens (ScreensHostOf is not null), else
// null: the one check a screen makes before it reaches the game's hosts.
CGameBase* ScreensGameOf(const CXElement* element);
