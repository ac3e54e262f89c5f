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
// The experience rank curve: the number of ranks it spans, the points of the first rank-up and
// of the last (every rank after the curve costs the last again).
extern int g_XP_levels;
extern int g_XP_xp_for_first_level;
extern int g_XP_xp_for_last_level;
// The file names of music tracks 0 to 5, below the sounds directory.
extern const char* const g_cs_OGG_FileNames[6];
// The game fonts kept for the game's own drawing (m_Fonts), by the ids of their style records.
enum EGameFont : int {
    kGameFontSmall,      // "FontSmall"
    kGameFontBig,        // "FontBig"
    kGameFontDebug,      // "FontDebug"
    kGameFontButton,     // "FontButtonNormal"
    kGameFontScores,     // "FontScores"
    kGameFontCoins,      // "FontCoins"
    kGameFontLifes,      // "FontLifes"
    kGameFontVerySmall,  // "FontVerySmall"
    kGameFontCount
};

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

    // The sprite-set manager made by DefineSpriteSets_UI (null before).
    CSpriteSetManager* GetSpriteSetManager() override;

    // ---- Start-up and resource declarations (TheGame_Init.cpp) -----------------------------
    // The rotator, the engine's start-up, the UI sprite sets, the effects, the sound table and
    // the bird calls, the resume storage, then the loader screen: false at the first failing step
    // (one line on stderr names it). Saves at exit are made only after a completed start-up.
    bool Init(int width, int height) override;
    // SetFpsControl, then the resulting rate (16.16) to every particle system.
    void SetFpsControlCobblebrooks(int fps, bool a, bool b);
    // Portrait: 480 high with the screen's aspect when it is squarer than 2:3, else 320 wide; a
    // short side of 480 or more turns on double-resolution images. Landscape: the engine's rule.
    bool SelectAndroidInGameResolution(int w, int h, int& outW, int& outH) override;
    // A new sprite-set manager with the sets of "ui_sprites.txt" and "ui_sprites2.txt" below
    // the common UI directory; false unless both were read.
    bool DefineSpriteSets_UI();
    // The other four description files (game, chicken, shop, farm objects), in that order;
    // false at the first that cannot be read, or without a sprite-set manager.
    bool DefineSpriteSets_TheRest();
    // A new particle manager with the 13 effects; their indexes go to m_ParticleEffectIndex.
    bool DefineParticleSystems();
    // A new sound manager and its table "Data\sfx.txt".
    bool DefineSounds();
    // Loads the six music tracks as streams into g_cs_OGG_LoadedIndexes; false without a sound
    // system or at the first track that does not load.
    bool InitMusicStreams();
    // A new record storage on the save directory's "saveresume.dat", no check sum.
    bool InitSaveResumeStorage();
    // Looks the set up into slot (null when unknown) and takes a reference: the reference's
    // result, 0 for an unknown set.
    int AddSpriteSetRef(CSpriteSet*& slot, const char* name);
    // Drops the slot's reference, if any, and empties the slot.
    void ReleaseSpriteSetRef(CSpriteSet*& slot);
    // The four shop tab offsets to "none" (-1000), the value after them to 0.
    void ResetShopTabOffsets();

    // ---- Ranks and other shared services (TheGame_Services.cpp) -----------------------------
    // Points from rank - 1 to rank (rank 1 and below: 0; past the curve: the last level's).
    static int getXPdeltaForTheRank(int rank);
    // Total points a rank needs: 0 below rank 2. 64 bits: far ranks pass 32.
    static long long GetXP_Rank2Points(int rank);
    // The highest rank whose total is at most the points; never below 1.
    static int GetXP_Points2Rank(unsigned int points);
    // The ad publisher id: one for resolution id 22, another for every other.
    CommonString GetPublisherIdForAd() override;
    // No key is mapped: -1.
    int MapKeyToGameCode(int key) override;
    // A failed report (false) flags the current profile's scores, or achievements, to be
    // reported again; a success changes nothing.
    void GC_NotifyScoreReport(bool ok) override;
    void GC_NotifyAchievementReport(bool ok) override;
    // A new player profile: its index, or -1 when none can be added (six exist, or no data).
    int CreateNewUserProfile();
    // There is no mute icon: nothing is drawn and no touch is taken (0).
    void DrawMuteIcon();
    int NotifyPointerEventMuteIcon(int x, int y, int type);

    // ---- Fonts and the style table (TheGame_Fonts.cpp) -------------------------------------
    CUILayout* UILayout() override;
    // The cached "FontDebug"; null until the loader has loaded the fonts.
    CBitmapFontText* GetDebugFont() override;
    // A new style table read from the UI directory's "game_styles.txt": 1, 0 when it cannot be
    // read or made.
    int InitUILayout() override;
    // The localisation (made when missing, at the stored language, which falls back to the first
    // when the table lacks it), then font record 3 and the styles' fonts: false when any fails.
    bool ReLoadFonts() override;
    // Loads the font of style record i from the images directory (under the language "ruRU" its
    // own glyph image first): 1 also for an index outside the table or a loaded record; 0 without
    // a style table or when the font does not load.
    int LoadFont(int i);
    // Caches the eight game fonts (m_Fonts) with their space widths, then the styles' fonts: 0
    // without any font record or when a named record's font is not loaded.
    int ReLoadFontsLastStep();
    // Reloads every font when either language is "ruRU": 1 when nothing needed it or all loaded.
    int ReLoadAllFontsOnLanguageChanged(int oldIndex, int newIndex);
    // The loaded font of the first record with that id; null when none or not loaded.
    CBitmapFontText* GetFontById(const CommonString& id);

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

    // The id of the current language; empty without localisation.
    CommonString CurrentLanguageId();

    // Set when Init completed: a start-up that failed saves nothing at exit, so player data that
    // could not be read is never replaced by defaults.
    bool m_bInitCompleted = false;
};
