// The game object: the one CGameBase of the program, root of the element tree and owner of every
// game-level service (the managers of progression, gameplay, farm and news, the style table, the
// sprite sets, particles and sounds) and of the open screen.
//
// Depends on: every engine area through CGameBase; the game's own areas (progress, news, widgets,
// gameplay, farm, screens) are owned here. Progression reaches back only through the host
// interface it declares (IProgressHost), the news widgets and the shared widgets through theirs
// (INewsHost, IWidgetsHost); the game object implements them. The others still reach back
// through the game pointer they keep.
// Threads: main thread only.
#pragma once

#include "app/GameBase.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/farm/FarmHost.h"
#include "game/gameplay/GameplayHost.h"
#include "game/news/NewsHost.h"
#include "game/progress/ExperienceRanks.h"
#include "game/progress/GameFonts.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/LoaderHost.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "game/widgets/WidgetsHost.h"
#include "shell/PaymentGlue.h"

class CBitmapFontText;
class CQuorvanImageRotatorScaler;
class IRotatorHardwarePath;
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
class CXGameplayTutorial;
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
class CFarmObject;
class XDialog;
class XGameRoot;
class IFile;
class CApplicationData;
class TUserProfile;
class IRunningRound;

// The particle effects the game declares, in declaration order (their manager indexes).
inline constexpr int kGameParticleEffectCount = 13;
// The screen classes the game object opens, one slot each.
enum class EScreen {
    Gameplay,
    Tutorial,
    StartMenu,
    Loader,
    About,
    Play,
    Farm,
    FarmShop,
    GroupLoader,
    Achievements,
    Leaderboards,
    Quests,
    Upgrades,
};

class CTheGame : public CGameBase,
                 public IInAppPurchaseEvents,
                 public IProgressHost,
                 public INewsHost,
                 public IWidgetsHost,
                 public IFarmHost,
                 public IGameplayHost,
                 public IScreensHost,
                 public ILoaderHost {
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
    // What progression asks of its owner (game/progress/ProgressHost.h). The first yard is the
    // farm's (TheGame_Farm.cpp); the screen is settled when it is a screen root that is not fading
    // in or out (TheGame_Screens.cpp); the purchase's outcome is under Purchases below.
    CommonString GetFirstYardName() override;
    IRunningRound* GetRunningRound() override;
    bool IsCurrentScreenSettled() override;
    CAchievementsManager* GetAchievementsManager() override;
    CAwardManager* GetAwardManager() override;
    CBitmapFontText* GetGameFont(EGameFont font) override;

    // ---- Purchases (TheGame_Purchases.cpp) ---------------------------------------------------
    // The payment glue's look-ups in the catalogue.
    bool HasPurchaseManager() override;
    InAppPurchaseDef* FindAppDefBasedOnId(const char* sku) override;
    bool IsConsumable(InAppPurchaseDef* item) override;
    // Shows the wait dialog on the current screen, then asks the payment service for the entry,
    // or for the purchases made before. Without an entry or a purchase manager the purchase
    // fails at once (result 2), which takes the dialog down again.
    void InAppPurchaseCalled(InAppPurchaseDef* item) override;
    void InAppPurchasesRestoreCalled();
    // Takes the wait dialog down.
    void InAppPurchasesRestoreFinished();
    // The outcome of one exchange (results in shell/PaymentGlue.h): the wait dialog goes, the
    // purchase is applied to the current profile, every outcome queues its banner, and boost
    // points also reach an open boosts screen and message 1017 the current screen.
    void InAppPurchaseFinished(InAppPurchaseDef* item, int result) override;
    // A store result: above 0 an outcome without an entry, 0 the entry of that product id,
    // negative nothing.
    void OnBillingResult(int result, CommonString productId) override;
    // The like reward (the entry's coins, once per profile, with its banner), then the game's
    // social page in the browser.
    void LikeOnFacebook(InAppPurchaseDef* item) override;
    // The wait dialog of "ui_main.txt" on the current screen root: shown when it has none, taken
    // down when it has one.
    void ShowWaitDialog();
    void HideWaitDialog();

    // ---- What the widgets reach through the element host (TheGame_Widgets.cpp) -------------
    // The news engine, for the news widgets (game/news/NewsHost.h).
    CHollowfenNewsManager* GetNewsManager() override;
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
    // exist; false (the start-up fails) when the table cannot be read, is not one the game can
    // start with, or a sound cannot be added. `failure`, when given, then names the member and
    // what is wrong with it.
    bool CreateBirdSoundsManager(CommonString* failure = nullptr);

    // The sprite-set manager made by DefineSpriteSets_UI (null before).
    CSpriteSetManager* GetSpriteSetManager() override;

    // ---- What the shared widgets ask (game/widgets/WidgetsHost.h) ----------------------------
    // The screen roots' rows (game/screens/GameDialogWidgets.h) and the shop's facts of a farm
    // object (TheGame_Widgets.cpp); the parked screen switch (TheGame_ScreenSwitch.cpp).
    std::span<const TWidgetMakerRow> ScreenWidgetMakers() override;
    void DeliverScreenSwitch(CXElement* sender, const TSavedMessage& message) override;
    bool FindShopItem(const CommonString& name, TShopItemFacts& out) override;

    // ---- What the yard asks of its owner (game/farm/FarmHost.h; TheGame_Farm.cpp) -----------
    // The owned managers and storage as they are; the record id is SR_GetRecordId_OfYard's for the
    // current profile. Saving, the shop's tab offsets and the coins are declared where they live.
    CFarmManager* GetFarmManager() override;
    CBirdSoundsManager* GetBirdSoundsManager() override;
    CQuorvanParticleSystemManager2* GetParticleManager() override;
    CMiniQuestManager* GetMiniQuestManager() override;
    CArenaManager* GetArenaManager() override;
    CQuorvanStorage* GetSaveResumeStorage() override;
    int GetYardRecordId(const CommonString& yard) override;
    CommonString TakePendingPurchaseName() override;
    // Messages 1008, 1010 and 1016 (that yard's quests, returning with 1009), deferred.
    void OpenPlayScreen() override;
    void OpenFarmShop() override;
    void OpenYardQuests(int yardIndex) override;

    // ---- What the round asks of its owner (game/gameplay/GameplayHost.h; TheGame_Gameplay.cpp) --
    // The particle manager, the mini-quests, the arenas and the saving are the yard's calls above;
    // the kept round is deleted under The game in progress below. The effect index is
    // m_ParticleEffectIndex's, the rank GetXP_Points2Rank's, the high score the pair of notes
    // below, the tutorial screen m_pTutorialScreen. The ways out are messages 1009 and 1008,
    // deferred, after the pending purchase or start action; the coin shop's and the sliders'
    // answers are the screens' (AddCoinsDialog.h, VolumeSliders.h).
    int GetParticleEffectIndex(int effect) override;
    CUpgradeManager* GetUpgradeManager() override;
    CAdsEngine* GetAdsEngine() override;
    int RankOfExperience(unsigned int points) override;
    void ForgetNewHighScore() override;
    void NoteNewHighScore(int row, int table) override;
    void SetTutorialScreen(CXGameplayTutorial* screen) override;
    CXGameplayTutorial* GetTutorialScreen() override;
    void OpenYardToBuy(const CommonString& object) override;
    void OpenCoinShopOnPlayScreen() override;
    int AnswerCoinShopMessage(CXElement* sender, int code, XWPARAM wparam) override;
    bool ApplyVolumeSlider(XWidget* dialog, int code, const char* id, int value, int& tickCooldown) override;
    void ShowStoredVolumes(XWidget* dialog) override;

    // ---- What the screens ask of their owner (game/screens/ScreensHost.h; TheGame_Screens.cpp) ---
    // The round's statistics, the play screen and the start menu. The like reward, the kept
    // round and the new profile are declared where they live; the rest reads the state below.
    int NewHighScoreRow() override;
    int NewHighScoreTable() override;
    CSpriteSet* GetBoostPointsIcon() override;
    CommonString TakePendingStartAction() override;
    CInAppPurchaseManager* GetPurchaseManager() override;

    // ---- What the loaders ask of their owner (game/screens/LoaderHost.h; TheGame_Screens.cpp) ---
    // The frame rate, the sprite sets, the music and the fonts are declared where they live; the
    // rest makes the managers or fills the state below.
    void KeepGameFont(EGameFont kind, CBitmapFontText* font) override;
    bool MakeStartUpManagers(int step, CommonString& failure) override;
    bool IsFarmGroupLoaded() override;
    void KeepCachedObjectsOf(const YardDef& yard, CQuorvanArray<FarmObjectDef*>& missing) override;
    void CacheFarmObject(CFarmObject* object) override;
    void NoteGroupLoaded(const CommonString& group) override;

    // ---- What the shops, quests, boosts, leaders and player dialogs ask (ScreensHost.h) -------
    // (TheGame_Screens.cpp) Buying, the boost points' counter and the deleting of a profile's kept
    // games are declared where they live; the rest reads or fills the state below.
    bool TakePendingAddCoins() override;
    TShopTabsKept KeptShopTabs() override;
    CSpriteSet* GetCoinsIcon() override;

    // ---- Start-up and resource declarations (TheGame_Init.cpp) -----------------------------
    // The rotator, the engine's start-up, the UI sprite sets, the effects, the sound table and
    // the bird calls, the resume storage, then the loader screen: false at the first failing step
    // (one line on stderr names it). Saves at exit are made only after a completed start-up.
    bool Init(int width, int height) override;
    // SetFpsControl, then the resulting rate (16.16) to every particle system.
    void SetFpsControlCobblebrooks(int fps, bool a, bool b) override;
    // Portrait: 480 high with the screen's aspect when it is squarer than 2:3, else 320 wide; a
    // short side of 480 or more turns on double-resolution images. Landscape: the engine's rule.
    bool SelectAndroidInGameResolution(int w, int h, int& outW, int& outH) override;
    // A new sprite-set manager with the sets of "ui_sprites.txt" and "ui_sprites2.txt" below
    // the common UI directory; false unless both were read (the first that was not is named in
    // failedFile when given).
    bool DefineSpriteSets_UI(CommonString* failedFile = nullptr);
    // The other four description files (game, chicken, shop, farm objects), in that order;
    // false at the first that cannot be read (named in failedFile when given), or without a
    // sprite-set manager.
    bool DefineSpriteSets_TheRest(CommonString* failedFile = nullptr) override;
    // A new particle manager with the 13 effects; their indexes go to m_ParticleEffectIndex.
    bool DefineParticleSystems();
    // A new sound manager and its table "Data\sfx.txt"; false when the table cannot be read or
    // is refused by its check (`failure`, when given, then names the member and what is wrong).
    bool DefineSounds(CommonString* failure = nullptr);
    // Loads the six music tracks as streams into g_cs_OGG_LoadedIndexes; false without a sound
    // system or at the first track that does not load.
    bool InitMusicStreams() override;
    // A new record storage on the save directory's "saveresume.dat", no check sum.
    bool InitSaveResumeStorage();
    // Looks the set up into slot (null when unknown) and takes a reference: the reference's
    // result, 0 for an unknown set.
    int AddSpriteSetRef(CSpriteSet*& slot, const char* name);
    // Drops the slot's reference, if any, and empties the slot.
    void ReleaseSpriteSetRef(CSpriteSet*& slot);
    // The four farm shop tabs' offsets to "none" (-1000), the shop's current tab to the first.
    void ResetShopTabOffsets() override;

    // ---- Ranks and other shared services (TheGame_Services.cpp) -----------------------------
    // The experience rank curve's XPDeltaForRank, XPRankToPoints and XPPointsToRank
    // (game/progress/ExperienceRanks.h).
    static int getXPdeltaForTheRank(int rank);
    static long long GetXP_Rank2Points(int rank);
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
    int CreateNewUserProfile() override;
    // Passes the flag on to the ads engine when there is one.
    void OnAdReceived(bool received) override;
    // The back key (code 8) on the open screen or dialog: presses its close or menu button, goes
    // back, pauses the round or asks whether to quit; 1, or 0 when the quit question was already
    // open (the player data is saved first). Every other code: 0.
    int OnGraffitiChar(int code) override;
    // A key a desktop keyboard typed (the program's typed-key handler, shell/Program.h): a letter
    // of either case, ' ', '\b' (Backspace) or '\r' (Return). While the name entry is open it
    // presses the button of the entry's own keyboard that a finger would (the letter's key,
    // btn_Space, btn_BkSpace, or btn_NameOk when OK shows), so the entry's shift decides the case;
    // elsewhere, or while the entry fades, nothing. 1 for those characters, 0 for any other.
    int OnTypedKey(int character);
    // The current profile's coins (with the "HudCoin" icon, at the given scale), or its unspent
    // boost points ("HudXP", scale 1), right-aligned at the top right of the back buffer (its
    // width - 10, y 22), small, with alpha a. The x of the middle of the "x" sign (16.16), or 0
    // without a profile (nothing drawn).
    FIXED_FLOAT_16 DrawNumCoins(int a, float scale) override;
    FIXED_FLOAT_16 DrawNumUpgradePoints(int a) override;
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
    int LoadFont(int i) override;
    // Caches the eight game fonts (m_Fonts) with their space widths, then the styles' fonts: 0
    // without any font record or when a named record's font is not loaded.
    int ReLoadFontsLastStep() override;
    // Reloads every font when either language is "ruRU": 1 when nothing needed it or all loaded.
    int ReLoadAllFontsOnLanguageChanged(int oldIndex, int newIndex);
    // The loaded font of the first record with that id; null when none or not loaded.
    CBitmapFontText* GetFontById(const CommonString& id);

    // ---- Screens and game messages (TheGame_Screens.cpp) ------------------------------------
    // The screen's transition first; its own update only when none runs. Then the ads, the award
    // banner, the award queue and the purchases.
    void RunProcess() override;
    // The visible screens (through their curtain while one runs), the award banner, the ads.
    void Draw() override;
    int NotifyKeyEvent(int key, int type) override;
    // The ads first; while a screen's curtain runs every touch is dropped (1).
    int NotifyPointerEvent(int x, int y, int type) override;
    int NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) override;
    // Deferred: parked in the topmost screen root, whose curtain then falls (dropped while a
    // curtain runs); 1. Otherwise, or without a screen root, sent at once.
    int SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) override;
    // The game messages (1 each); 600 is taken; anything else goes to the engine object.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // Pauses a running round.
    void Pause() override;

    // The screen runners: each deletes every open screen, then opens its own; true when it is open.
    bool RunStartMenu();
    bool RunGamePlaySurvival();
    bool RunLoader();
    bool RunAboutScreen();
    bool RunGameplayTutorial();
    bool RunPlayScreen();
    bool RunFarmWindowScreen();
    bool RunFarmShopScreen();
    bool RunGroupSetLoader();
    bool RunAchScreen();
    bool RunLeadersScreen(int returnMessage);
    bool RunQuestsScreen(int firstTab, int returnMessage);
    bool RunUpgradesScreen();
    // Deletes every open screen and empties every slot.
    void SafeDeleteChildren();
    // A screen that could not be opened (asked for by asker: "message 1008", "the group
    // loader"): told once on stderr with its root and what failed, and the run ends as a failed
    // one, through the normal shut-down with the saves.
    void ReportScreenFailure(const CommonString& asker);
    // "the screen <root> could not be opened: <why>", of the last screen a runner could not build.
    CommonString FailedScreenText() const;
    // The root and the reason of the last screen a runner could not build.
    CommonString m_FailedScreenRoot;
    CommonString m_FailedScreenWhy;
    // What a game step of the engine's start-up (the style table, the text table) found wrong,
    // naming the member; empty when nothing did. Init tells it when the start-up fails.
    CommonString m_StartUpFailure;
    // The screen of that kind, constructed under the game object and not yet initialised: a must
    // be the leaderboards' return message or the quests' first tab, b the quests' return message.
    // Null when memory runs out. The one place that names the screen classes; a test may hand out
    // a subclass of the kind's class.
    virtual XGameRoot* NewScreen(EScreen kind, int a, int b);

    // Deletes every object of the farm object cache.
    void ClearFarmObjectCache();
    // The index of the first cached farm object of that definition id, or -1.
    int IsObjectWithNameAlreadyCached(const char* name);
    // The gameplay screen's round statistics dialog; null when no round screen is open.
    XDialog* GetRoundStatsDialog();

    // ---- The game in progress (TheGame_Resume.cpp) -----------------------------------------
    // SR_SaveResume; 1.
    int SaveResume() override;
    // Keeps the game in progress, then the player data, in that order: the player's coins are
    // only ever saved as spent when what they bought is already in its yard's record. A record
    // that could not be saved in this run keeps the player data from being saved for the rest
    // of the run (told on stderr): the previous player data, with the coins unspent, stays.
    void SaveResumeThenAppData() override;
    // The player data, unless a record could not be saved in this run (see above); 0 then.
    int SaveAppData() override;
    // Keeps the running arena round, or else the open yard, as its record of "saveresume.dat":
    // 1 also when there is nothing to keep, 0 when the record could not be made or saved (the
    // previous record then stays).
    int SR_SaveResume();
    // The body behind the header: the gameplay screen's, else the yard's, else nothing (1).
    int SR_SaveResume(IFile* file, int version);
    // The record ids of the profile at that index for an arena or yard; -1 when the profile, the
    // table or the arena or yard is unknown.
    int SR_GetRecordId_OfArena(int profileIndex, const CommonString& arenaName);
    int SR_GetRecordId_OfYard(int profileIndex, const CommonString& yardName);
    // Whether the current profile has a round of that arena kept.
    bool SR_IsResumeAvailable_Arena(const CommonString& arenaName) override;
    // Opens the current profile's kept round of that arena: false without a record, when the
    // record is not a round's, or when it cannot be restored.
    bool SR_LoadResume_Arena(const CommonString& arenaName);
    // Restores an arena round from a record: the header must read whole, with version 1 and an
    // arena the table knows, before the profile's current arena changes and the round opens. A
    // yard record is true with nothing done (the yard screen reads its own).
    bool SR_LoadResume(IFile* record);
    // Deletes the records of the first three arenas and of every yard of a profile.
    void SR_DeleteResume(int profileIndex) override;
    void SR_DeleteResume_Arena(int profileIndex, const CommonString& arenaName) override;

    // ==== State (in the order of the game object's record) ====================================
    int m_ParticleEffectIndex[kGameParticleEffectCount];
    CommonString m_ImagesDirectory;                 // cache of GetImagesDirectory, worked out on the first call
    CBitmapFontText* m_Fonts[kGameFontCount] = {};  // not owned: the style table's font records own them

    // The open screen of each class; at most one screen is open at a time.
    CXGameplaySurvival* m_pGameplayScreen = nullptr;
    CXStartMenu2* m_pStartMenu = nullptr;
    CXGameplayTutorial* m_pTutorialScreen = nullptr;  // the tutorial screen while it exists, else null
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
    IRotatorHardwarePath* m_pRotatorPath = nullptr;  // the rotator's GL ES path; goes after the rotator
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
    CommonString m_CachedYardName;                        // yard whose objects fill the farm object cache
    CQuorvanObjPtrArray<CFarmObject*> m_FarmObjectCache;  // made by the group loader; owned

    // Notes one screen leaves for another.
    CommonString m_PendingPurchaseName;  // the farm object the yard screen buys on its next frame
    CommonString m_PendingStartAction;   // a "ui_main.txt" action the play screen runs once on opening
    bool m_bPendingAddCoins = false;     // the coin shop's list opens near its end; cleared when it does
    CommonString m_FarmObjectToShow;     // the farm object to show on entering the farm
    int m_nNewHighScoreRow = -1;         // the row of the last new high score, -1 for none
    int m_nNewHighScoreTable = -1;       // the arena index of that score's table

    // Remembered scroll offsets of the farm shop's four farm tabs (whole pixels, -1000 means none),
    // and its current farm tab.
    int m_ShopTabOffsets[4] = {-1000, -1000, -1000, -1000};
    int m_nShopCurrentTab = 0;

    // Looked up (not referenced) when the start menu opens.
    CSpriteSet* m_pHudCoinSet = nullptr;
    CSpriteSet* m_pHudXPSet = nullptr;

    // The id of the current language; empty without localisation.
    CommonString CurrentLanguageId();
    // A bought pack of boost points: the boosts screen keeps it, the current screen hears 1017.
    void OnBoostPointsPurchased(InAppPurchaseDef* item);
    // The profile at that index of the player data, or null.
    TUserProfile* ProfileAt(int index) const;
    // Message 1007: the screens go, then the language, the achievement texts, the fonts and the
    // templates change, and the start menu opens.
    void ChangeLanguageAndRestart(int oldIndex, int newIndex);
    // The screen runners' one creation routine: every open screen goes, the kind's screen is made
    // into the slot and built; false (slot empty) when either fails.
    template <class W>
    bool RunXWidget(W*& slot, EScreen kind, int a = 0, int b = 0);

    // Set when Init completed: a start-up that failed saves nothing at exit, so player data that
    // could not be read is never replaced by defaults.
    bool m_bInitCompleted = false;
    // Set when a record of the game in progress could not be saved: the player data is no longer
    // saved in this run, so it never holds a purchase its yard's record lacks.
    bool m_bResumeSaveFailed = false;
    // Why the last SR_LoadResume refused its record as damaged; empty when it did not.
    const char* m_pResumeRefusal = nullptr;
};
