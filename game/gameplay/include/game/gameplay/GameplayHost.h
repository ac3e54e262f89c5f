// What the round (its screen, the tutorial, the marbles, the tutorial's scenario) asks of the game
// object that owns it, beyond what every CGameBase serves (images, sprite sets, sounds, the
// rotator, localisation, random values, messages) and what progression serves (the profile, the
// player data, achievements, fonts: game/progress/ProgressHost.h). The game object implements it;
// the round finds it behind its CGameBase (GameplayHostOf), so a test hands in a stand-in of its
// own. The round's ways out to other screens are host calls or game messages: it names no screen.
//
// Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "ui/XElement.h"

class CAdsEngine;
class CArenaManager;
class CGameBase;
class CMiniQuestManager;
class CQuorvanParticleSystemManager2;
class CUpgradeManager;
class CXGameplayTutorial;
class XWidget;

class IGameplayHost {
public:
    // The game's particle effects (null before the start-up), and the manager's index of the one
    // the game declared at that place of its list (-1 outside it).
    virtual CQuorvanParticleSystemManager2* GetParticleManager() = 0;
    virtual int GetParticleEffectIndex(int effect) = 0;
    // The mini-quests (the arena's score bonus), the arena table, the boosts' level tables: null
    // before the loader has made them. The ad banner the round keeps hidden: null without ads.
    virtual CMiniQuestManager* GetMiniQuestManager() = 0;
    virtual CArenaManager* GetArenaManager() = 0;
    virtual CUpgradeManager* GetUpgradeManager() = 0;
    virtual CAdsEngine* GetAdsEngine() = 0;
    // Keeps the game in progress (the running round's record), then the player data.
    virtual void SaveResumeThenAppData() = 0;
    // Deletes the kept round of that arena of the profile at that index (a finished round).
    virtual void SR_DeleteResume_Arena(int profileIndex, const CommonString& arenaName) = 0;
    // The experience rank those points reach; never below 1.
    virtual int RankOfExperience(unsigned int points) = 0;
    // The new high score the leaderboards open on: forgotten when a round is made, noted when one
    // ends (a row below 0 keeps the row noted before; the table is the arena's).
    virtual void ForgetNewHighScore() = 0;
    virtual void NoteNewHighScore(int row, int table) = 0;
    // The tutorial screen while it exists (its scenario's steps reach it here), else null.
    virtual void SetTutorialScreen(CXGameplayTutorial* screen) = 0;
    virtual CXGameplayTutorial* GetTutorialScreen() = 0;
    // The round's ways out, each a deferred switch: to the yard, which buys that object on its next
    // frame; to the play screen, which opens the coin shop as it opens.
    virtual void OpenYardToBuy(const CommonString& object) = 0;
    virtual void OpenCoinShopOnPlayScreen() = 0;
    // What the screens answer on the round's behalf: the coin shop opened over it (1 when the
    // message was the shop's), the sound panel's two sliders (false for another id), and their
    // stored volumes shown when the panel opens.
    virtual int AnswerCoinShopMessage(CXElement* sender, int code, XWPARAM wparam) = 0;
    virtual bool ApplyVolumeSlider(XWidget* dialog, int code, const char* id, int value, int& tickCooldown) = 0;
    virtual void ShowStoredVolumes(XWidget* dialog) = 0;

protected:
    ~IGameplayHost() = default;
};

// The gameplay host behind a game object: null for null or for a game that is not one.
IGameplayHost* GameplayHostOf(CGameBase* game);
// The boosts' level tables behind a game object: null where GameplayHostOf is, or before the
// loader has made them.
CUpgradeManager* UpgradeManagerOf(CGameBase* game);
