// What progression (player data, achievements and their banner, purchases) asks of the game object
// that owns it, beyond what every CGameBase serves (files and paks, localisation, sprite sets,
// sounds, the rotator, the player data). The game object implements it; a manager finds it behind
// the CGameBase it was given (ProgressHostOf), so a test hands in a stand-in of its own. What
// progression raises upward (a purchase's outcome) goes through here too: it never names a screen.
//
// Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "game/progress/GameFonts.h"

class CAchievementsManager;
class CAwardManager;
class CBitmapFontText;
class CGameBase;
class IRunningRound;
struct InAppPurchaseDef;

class IProgressHost {
public:
    // The yard a new profile starts in: the farm's first; empty while the farm has none.
    virtual CommonString GetFirstYardName() = 0;
    // The round of the marble game running now (the tutorial's too), or null outside a round.
    virtual IRunningRound* GetRunningRound() = 0;
    // Whether the current screen is settled (not fading in or out): banners are shown only then.
    virtual bool IsCurrentScreenSettled() = 0;
    // The achievements with their award queue; null before the loader has made them.
    virtual CAchievementsManager* GetAchievementsManager() = 0;
    // The award banner the queue shows its messages on; null before the loader has made it.
    virtual CAwardManager* GetAwardManager() = 0;
    // A font of the game's own drawing; null until the loader has loaded the fonts.
    virtual CBitmapFontText* GetGameFont(EGameFont font) = 0;
    // The outcome of a purchase (results in shell/PaymentGlue.h), raised by the purchase manager a
    // frame after the platform answered: the game object applies it and tells the screens.
    virtual void InAppPurchaseFinished(InAppPurchaseDef* item, int result) = 0;

protected:
    ~IProgressHost() = default;
};

// The progression host behind a game object: null for null or for a game that is not one.
IProgressHost* ProgressHostOf(CGameBase* game);
// That font of the game's own drawing behind a game object: null where ProgressHostOf is, or
// before the fonts are loaded.
CBitmapFontText* GameFontOf(CGameBase* game, EGameFont font);
