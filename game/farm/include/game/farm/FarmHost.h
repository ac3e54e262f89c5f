// What the yard (its screen, its objects and the widgets on it) asks of the game object that owns
// the farm, beyond what every CGameBase serves (files and images, sprite sets, sounds, the rotator,
// the random values, the screen, messages) and what progression serves (the current profile,
// achievements, the game's fonts: game/progress/ProgressHost.h). The game object implements it; the
// yard finds it behind the CGameBase it was given (FarmHostOf), so a test hands in a stand-in of its
// own. The yard's ways out to other screens are host calls too: it never names a screen.
//
// Threads: main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"

class CArenaManager;
class CBirdSoundsManager;
class CFarmManager;
class CGameBase;
class CMiniQuestManager;
class CQuorvanParticleSystemManager2;
class CQuorvanStorage;
class CXElement;

class IFarmHost {
public:
    // The yards, the objects' definitions and the open yard's objects; null before the loader.
    virtual CFarmManager* GetFarmManager() = 0;
    // The birds' calls; null before the start-up has read them.
    virtual CBirdSoundsManager* GetBirdSoundsManager() = 0;
    // The game's particle effects (purchase burst, decor, mower); null before the start-up.
    virtual CQuorvanParticleSystemManager2* GetParticleManager() = 0;
    // The yards' mini-quests; null before the loader has made them.
    virtual CMiniQuestManager* GetMiniQuestManager() = 0;
    // The arena table, whose unlocks a new star announces; null before the loader has made it.
    virtual CArenaManager* GetArenaManager() = 0;
    // The storage of the games in progress ("saveresume.dat"); null when it could not be opened.
    virtual CQuorvanStorage* GetSaveResumeStorage() = 0;
    // The id of the current profile's record of that yard in that storage; -1 without player data,
    // a profile, or a yard the farm knows.
    virtual int GetYardRecordId(const CommonString& yard) = 0;
    // Keeps the game in progress (the open yard's record), then the player data.
    virtual void SaveResumeThenAppData() = 0;
    // The farm object another screen handed over to be bought here, now taken (then empty).
    virtual CommonString TakePendingPurchaseName() = 0;
    // The farm shop forgets its tabs' scroll offsets (the player leaves the yard for the menus).
    virtual void ResetShopTabOffsets() = 0;
    // Draws the current profile's coins at the top right of the back buffer with alpha a at that
    // scale; the x of the middle of the "x" sign (16.16), or 0 without a profile.
    virtual FIXED_FLOAT_16 DrawNumCoins(int a, float scale) = 0;
    // The yard's ways out, each a switch the screen's curtain carries out: to the play screen, to
    // the farm shop, to the quests of the yard at that index (which come back to the yard).
    virtual void OpenPlayScreen() = 0;
    virtual void OpenFarmShop() = 0;
    virtual void OpenYardQuests(int yardIndex) = 0;

protected:
    ~IFarmHost() = default;
};

// The farm host behind a game object: null for null or for a game that is not one.
IFarmHost* FarmHostOf(CGameBase* game);
// The farm behind a game object, and its arena table: null where FarmHostOf is, or before the
// loader has made them.
CFarmManager* FarmManagerOf(CGameBase* game);
CArenaManager* ArenaManagerOf(CGameBase* game);
// The game object behind an element of the yard's screen as the engine's application object: null
// for null or an element under another kind of host (a test's).
CGameBase* GameBaseOf(const CXElement* element);
