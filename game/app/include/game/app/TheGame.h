// The game object: the one CGameBase of the program, root of the element tree and owner of every
// game-level service (the managers of progression, gameplay, farm and news, the style table, the
// sprite sets, particles and sounds) and of the open screen.
//
// Depends on: every engine area through CGameBase; the game's own areas (progress, gameplay,
// farm, screens, news) are owned here and reach back through the game pointer they keep.
// Threads: main thread only.
#pragma once

#include "app/GameBase.h"
#include "core/CommonString.h"
#include "shell/PaymentGlue.h"

class CBitmapFontText;
class CQuorvanImageRotatorScaler;
class CQuorvanParticleSystemManager2;
class CQuorvanStorage;
class CSoundManager;
class CSpriteSet;
class CSpriteSetManager;
class CUILayout;
class CHollowfenNewsManager;
class CAchievementsManager;
class CUpgradeManager;
class CFarmManager;
class CInAppPurchaseManager;
class CArenaManager;
class CMiniQuestManager;
class CAwardManager;
class CBirdSoundsManager;
class CAdsEngine;
class CXGameplaySurvival;
class CXStartMenu2;
class CXLoaderScreen;
class CXAboutScreen;
class CXPlayScreen;
class CXFarmWindow;
class CXFarmShopScreen;
class CXGroupSetLoader;
class CXAchScreen;
class CXLeadersScreen;
class CXQuestsScreen;
class CXUpgradesScreen;
class CApplicationData;
class TUserProfile;
class IRunningRound;

// The particle effects the game declares, in declaration order (their manager indexes).
inline constexpr int kGameParticleEffectCount = 13;
// The game fonts kept for the game's own drawing, in the order of their ids.
inline constexpr int kGameFontCount = 8;

class CTheGame : public CGameBase, public IInAppPurchaseEvents {
public:
    CTheGame();
    ~CTheGame() override;

    // ---- Player data and progression (TheGame_Progress.cpp) --------------------------------
    // Makes the player data and gives it the game pointer; false when it cannot be made.
    bool CreateApplicationData() override;
    // The player data, or null before it is made.
    CApplicationData* GetAppData() const;
    // The current profile, or null when there is none.
    TUserProfile* GetCurrentProfile() const;
    // The name of the farm's first yard, where a new profile starts; empty while the farm has none
    // (defined with the farm's part, TheGame_Farm.cpp).
    virtual CommonString GetFirstYardName();
    // The running round of the marble game, or null outside a round.
    virtual IRunningRound* GetRunningRound();
    // Whether the current screen is a screen root that is not fading in or out: award banners
    // are shown only then.
    virtual bool IsCurrentScreenSettled();

    // ---- Purchases, as the payment glue sees them (TheGame_Purchases.cpp) -------------------
    bool HasPurchaseManager() override;
    InAppPurchaseDef* FindAppDefBasedOnId(const char* sku) override;
    bool IsConsumable(InAppPurchaseDef* item) override;
    // Applies the outcome to the current profile and queues its banner.
    void InAppPurchaseFinished(InAppPurchaseDef* item, int result) override;

    // ---- What the widgets reach through the element host (TheGame_Widgets.cpp) -------------
    CSoundManager* GetSoundManager() override;
    CQuorvanImageRotatorScaler* GetRotatorScaler() override;
    // The game's own classes among the children of game dialogs (game/screens).
    std::span<const TWidgetMakerRow> GameDialogWidgetMakers() override;

    // ---- Directories and paks: each a new string below the module directory ----------------
    CommonString GetImagesDirectory() override;
    CommonString GetSoundsDirectory() override;
    CommonString GetSaveDirectory() override;
    CommonString GetUIDirectory() override;
    CommonString GetCommonGamePackName() override;
    CommonString GetResolutionSpecificGamePackName() override;
    virtual CommonString GetCommonUIDirectory();
    CommonString GetLevelsDirectory();

    // ---- Resolution ------------------------------------------------------------------------
    // 18 below 360 logical pixels of width, else 22.
    int GetResolutionId(int w, int h) override;
    int LoadGlobalConstants(int w, int h) override;

    // ---- Farm (TheGame_Farm.cpp) -----------------------------------------------------------
    // Makes the bird-sound table, reads it and adds its sounds to the sound manager, which must
    // exist; false (the start-up fails) when the table cannot be read or a sound added.
    bool CreateBirdSoundsManager();

    // ==== State (in the order of the game object's record) ====================================
    int m_ParticleEffectIndex[kGameParticleEffectCount];
    CommonString m_ImagesDirectory;                 // cache of GetImagesDirectory, worked out on the first call
    CBitmapFontText* m_Fonts[kGameFontCount] = {};  // not owned: the style table's font records own them

    // The open screen of each class; at most one screen is open at a time.
    CXGameplaySurvival* m_pGameplayScreen = nullptr;
    CXStartMenu2* m_pStartMenu = nullptr;
    CXGameplaySurvival* m_pTutorialScreen = nullptr;  // the gameplay object while the tutorial runs
    CXLoaderScreen* m_pLoaderScreen = nullptr;
    CXAboutScreen* m_pAboutScreen = nullptr;
    CXPlayScreen* m_pPlayScreen = nullptr;
    CXFarmWindow* m_pFarmWindow = nullptr;
    CXFarmShopScreen* m_pFarmShopScreen = nullptr;
    CXGroupSetLoader* m_pGroupSetLoader = nullptr;
    CXAchScreen* m_pAchScreen = nullptr;
    CXLeadersScreen* m_pLeadersScreen = nullptr;
    CXQuestsScreen* m_pQuestsScreen = nullptr;
    CXUpgradesScreen* m_pUpgradesScreen = nullptr;

    // Owned services, deleted by the destructor.
    CQuorvanImageRotatorScaler* m_pRotatorScaler = nullptr;
    CUILayout* m_pUILayout = nullptr;
    CQuorvanParticleSystemManager2* m_pParticleManager = nullptr;
    CSpriteSetManager* m_pSpriteSetManager = nullptr;
    CSoundManager* m_pSoundManager = nullptr;
    CHollowfenNewsManager* m_pNewsManager = nullptr;
    CAchievementsManager* m_pAchievementsManager = nullptr;
    CUpgradeManager* m_pUpgradeManager = nullptr;
    CFarmManager* m_pFarmManager = nullptr;
    CInAppPurchaseManager* m_pPurchaseManager = nullptr;
    CArenaManager* m_pArenaManager = nullptr;
    CMiniQuestManager* m_pMiniQuestManager = nullptr;
    CAwardManager* m_pAwardManager = nullptr;
    CBirdSoundsManager* m_pBirdSoundsManager = nullptr;
    CQuorvanStorage* m_pSaveResumeStorage = nullptr;
    CAdsEngine* m_pAdsEngine = nullptr;

    bool m_bGameplayGroupLoaded = false;
    bool m_bFarmGroupLoaded = false;
    CommonString m_CachedYardName;  // yard whose objects fill the farm object cache

    // Remembered scroll offsets of the farm shop's tabs; -1000 means none.
    int m_ShopTabOffsets[4] = {-1000, -1000, -1000, -1000};
    int m_nShopTabOffsetExtra = 0;

    // Looked up (not referenced) when the start menu opens.
    CSpriteSet* m_pHudCoinSet = nullptr;
    CSpriteSet* m_pHudXPSet = nullptr;
};
