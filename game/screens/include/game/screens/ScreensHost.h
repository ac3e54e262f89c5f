// What the screens (the front end and the screens that compose rounds, yards and player data) ask
// of the game object, beyond what every CGameBase serves (sprite sets, sounds, the rotator, the
// style table, random values, messages, saving the player data) and what the areas below them
// serve through their hosts (IProgressHost, INewsHost, IWidgetsHost, IGameplayHost, IFarmHost).
// The game object implements it; a screen finds it behind its element (ScreensHostOf), so a test
// hands in a stand-in of its own. A screen that wants another screen sends a game message.
//
// Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/progress/GameFonts.h"

class CBitmapFontText;
class CFarmObject;
class CGameBase;
class CInAppPurchaseManager;
class CSpriteSet;
class CXElement;
struct FarmObjectDef;
struct InAppPurchaseDef;
struct YardDef;

class IScreensHost {
public:
    // ---- the round's statistics, the play screen, the start menu, the loader
    // The new high score the round noted (IGameplayHost::NoteNewHighScore): its row, -1 for none,
    // and the arena table it is in.
    virtual int NewHighScoreRow() = 0;
    virtual int NewHighScoreTable() = 0;
    // The boost points' icon ("HudXP"); null until the start menu has first opened.
    virtual CSpriteSet* GetBoostPointsIcon() = 0;
    // The "ui_main.txt" action the play screen runs once as it opens, now taken (then empty).
    virtual CommonString TakePendingStartAction() = 0;
    // The purchases' catalogue (null before the loader has made it), and the like reward of its
    // entry (once per profile), then the game's social page.
    virtual CInAppPurchaseManager* GetPurchaseManager() = 0;
    virtual void LikeOnFacebook(InAppPurchaseDef* item) = 0;
    // Whether the current profile has a round of that arena kept.
    virtual bool SR_IsResumeAvailable_Arena(const CommonString& arenaName) = 0;
    // A new player profile: its index, or -1 when none can be added.
    virtual int CreateNewUserProfile() = 0;
    // The loader's steps: the frame rate (passed on to the particles), the other sprite-set files
    // (the one that failed named in failedFile), the music, one font record, the game's named
    // fonts after the last record (0 or false each on failure), and the font the loader writes
    // with kept as the game's font of that kind before the others are loaded.
    virtual void SetFpsControlCobblebrooks(int fps, bool a, bool b) = 0;
    virtual bool DefineSpriteSets_TheRest(CommonString* failedFile) = 0;
    virtual bool InitMusicStreams() = 0;
    virtual int LoadFont(int record) = 0;
    virtual int ReLoadFontsLastStep() = 0;
    virtual void KeepGameFont(EGameFont kind, CBitmapFontText* font) = 0;
    // Makes the managers of the loader's step 1 to 6 that are not made yet (the award banner; the
    // achievements and boosts; the farm and purchases; arenas and mini-quests; news; ads): false,
    // with what failed in failure and that manager not kept, when one cannot be made or checked.
    virtual bool MakeStartUpManagers(int step, CommonString& failure) = 0;
    // The group loader: whether the farm's sets are loaded; keeps of the farm object cache only
    // one object of each of that yard's definitions and lists the definitions it lacks, in the
    // yard's order; keeps a made object (deleted when the cache cannot grow); notes a group
    // ("gameplay", or "farm" for the current profile's yard) as loaded.
    virtual bool IsFarmGroupLoaded() = 0;
    virtual void KeepCachedObjectsOf(const YardDef& yard, CQuorvanArray<FarmObjectDef*>& missing) = 0;
    virtual void CacheFarmObject(CFarmObject* object) = 0;
    virtual void NoteGroupLoaded(const CommonString& group) = 0;

protected:
    ~IScreensHost() = default;
};

// The screens' host behind an element: null for null or an element under another kind of host.
IScreensHost* ScreensHostOf(const CXElement* element);
// The game object behind an element when it serves the screens (ScreensHostOf is not null), else
// null: the one check a screen makes before it reaches the game's hosts.
CGameBase* ScreensGameOf(const CXElement* element);
