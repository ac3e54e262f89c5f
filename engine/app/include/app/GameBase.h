// The engine application object: one per process, the root of the UI element tree and the owner
// of the engine's shared services. The engine areas below reach it only through the host
// interfaces they declare (IFileHost, IRenderHost, ISpriteHost, ISoundHost, IElementHost), which it
// implements; the game's own code may use it directly.
//
// Owns: the back buffer and the other screen bitmaps, the resource pak readers, the sound system,
// the localisation manager, the player data, the UI template cache and the declared resolutions.
// Offers the factories through which files, bitmaps and the sound system are made, the fixed-step
// frame cycle, the pointer and key entry with the pointer capture, and the screen-rotation
// animation. The game (CTheGame) derives from it and supplies the pure hooks.
//
// Depends on: core, render, text, sprites, particles, audio, ui (CXElement), platform (clock).
// Threads: main thread only; no field is locked. The facets are split by concern over
// GameBase.cpp (state and services), GameBase_Cycle.cpp, GameBase_Input.cpp,
// GameBase_Resolution.cpp, GameBase_AppData.cpp and the factory facets (_Files, _Paks, _Bitmaps,
// _Sound).
#pragma once

#include "audio/SoundHost.h"
#include "core/Common.h"
#include "core/CommonString.h"
#include "core/FileHost.h"
#include "core/QuorvanArray.h"
#include "render/RenderHost.h"
#include "sprites/SpriteHost.h"
#include "ui/ElementHost.h"
#include "ui/TemplateCache.h"
#include "ui/XElement.h"

class IFile;
class CMemoryFile;
class IDibBitmap;
class ISoundSystem;
class CBBZipFileReader;
class CLocManager2;
class CBasicApplicationData;
class CUILayout;
class CSpriteSetManager;
class CBitmapFontText;

// One declared logical resolution.
struct TResolutionProps {
    int width;
    int height;
};

// The answer of FindBestSupportedResolutionForScreenSize.
struct TBestResolution {
    int width;   // chosen logical width
    int height;  // chosen logical height
    int screenWidth;
    int screenHeight;
    int offsetX;  // where the fitted picture starts on the screen
    int offsetY;
    int fittedWidth;  // the chosen size scaled to the screen with its aspect kept
    int fittedHeight;
    bool fitted;  // true when the chosen size had to be scaled to fit
};

// Init stage numbers recorded in m_nFailingStage.
enum : int {
    kStageGlobalConstants = 1,
    kStagePlayerData = 2,
    kStageBackBuffer = 3,
    kStageBorderBuffers = 4,
    kStageCommonPakCreate = 7,  // the single-pak switch on
    kStageCommonPakOpen = 8,
    kStageBothPaksCommonCreate = 9,  // the single-pak switch off
    kStageBothPaksCommonOpen = 10,
    kStageResolutionPakCreate = 11,
    kStageResolutionPakOpen = 12,
    kStageLocalisation = 13,
    kStageUILayout = 14,
    kStageFonts = 15,
    kStageQuitButton = 16,
};

// Finish codes given to SetFinished.
enum : int { kFinishAbort = 0, kFinishGameEnds = 1, kFinishQuitButton = 2 };

// The back key's code for OnGraffitiChar; the game answers 0 when the back key leaves it.
inline constexpr int kBackKey = 8;

class CGameBase : public CXElement, public IElementHost {
public:
    static constexpr int kKeyCount = 32;

    CGameBase();
    ~CGameBase() override;

    // ---- CXElement overrides --------------------------------------------------------------
    // The engine's own update: one rotation step, then key repeat, then the focused screen.
    void RunProcess() override;
    // Key entry with locks and "no second press"; keys of 32 and above give 0.
    int NotifyKeyEvent(int key, int pressed) override;
    // Pointer entry of the first finger: turn, quit button, borders, clamp, capture, tree.
    int NotifyPointerEvent(int x, int y, int type) override;
    // Top of every message climb: 0.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // ---- Virtual operations of the application object, in slot order ----------------------
    // The numbered start-up for a logical screen of w x h: player data, rotation, borders,
    // per-resolution constants, back buffer, paks, sound (none is no failure), localisation, UI,
    // style table, fonts, quit button. False at the first failing step, whose number is kept in
    // m_nFailingStage; what was built stays for the destructor. The game wraps it.
    virtual bool Init(int w, int h);
    // One pass of the fixed-step cycle; always true.
    virtual bool RunGameCycle();
    virtual void Pause() = 0;
    virtual int MapKeyToGameCode(int key);
    virtual int SaveResume();
    virtual int LoadResume();
    // 1 when the game filled GC for this size; 0 fails Init.
    virtual int LoadGlobalConstants(int w, int h);
    virtual int LoadWinMobileQuitButton();
    virtual int UseVGAonWM();
    virtual void SetPreffered_WM_OrientationMode(int mode);
    virtual int InitLocalizationManger();
    virtual CommonString LoadString(int id);
    virtual int ChangeLanguage(int language);
    virtual int GetNumLanguagesSupported();
    CUILayout* UILayout() override;
    CLocManager2* GetLocManager() override { return m_pLocManager; }
    // m_InfoTexts: version, build date, shop link, second shop link.
    CommonString GetInfoText(EInfoText which) override { return m_InfoTexts[static_cast<int>(which)]; }
    CSpriteSetManager* GetSpriteSetManager() override;
    virtual int AppSettingsLandscapeModeFlipped();
    // The game makes its player data and stores it in m_pAppData; false when it cannot.
    virtual bool CreateApplicationData() = 0;
    virtual int UseFlippedMode();
    virtual int InitDeviceSoundSettigns();
    // Sound flag on, silence off, not muted (false without player data).
    bool IsSoundOn() override;
    bool IsMusicOn() override;
    virtual int GetVolume();
    virtual int GetMusicVolume();
    // Stores the volume in the player data, then tells the sound system when there is one.
    virtual void SetVolume(int volume);
    virtual void SetMusicVolume(int volume);
    virtual bool ReLoadFonts() = 0;
    virtual int InitUILayout();
    // Base of all resource paths: empty here, resource paths are relative.
    CommonString GetModuleDirectory() override;
    CommonString GetImagesDirectory() override = 0;
    CommonString GetSoundsDirectory() override = 0;
    virtual CommonString GetSaveDirectory() = 0;
    virtual CommonString GetCommonGamePackName() = 0;
    virtual CommonString GetResolutionSpecificGamePackName() = 0;
    virtual void CreateDirectory(CommonString path);
    // Makes the player data when missing, resets it and reads the saved file; data that could
    // not be loaded gives defaults and sets m_bAppDataCreatedFresh. Why it could not is kept in
    // m_eAppDataLoad: a file that is there but cannot be read is never saved over in this run; a
    // damaged one is kept aside by the first save. False only when the data cannot be made.
    virtual bool LoadOrCreateDefaultAppData();
    // Writes the player data to the save directory: 1 when it was saved, 0 when there is none or
    // any step of the save failed (the previous file then stays as it was). Nothing is written
    // while the file found at start-up could not be read; a damaged file is first kept aside
    // under a numbered name (CBasicApplicationData::SetAsideAppDataFile), and when that fails
    // nothing is written either.
    virtual int SaveAppData();
    CommonString GetUIDirectory() override;
    CQuorvanArray<CachedTemplate*>& TemplateCache() override { return m_TemplateCache; }
    // None here: the game object owns its sound manager and rotator and answers with them.
    CSoundManager* GetSoundManager() override { return nullptr; }
    CQuorvanImageRotatorScaler* GetRotatorScaler() override { return nullptr; }
    // No game classes here: game dialogs make the framework's widgets.
    std::span<const TWidgetMakerRow> GameDialogWidgetMakers() override { return {}; }
    // Counts the widgets whose set-up failed and keeps the id of the last (ui/ElementHost.h).
    void NoteWidgetInitFailed(const CommonString& id) override;
    int GetWidgetInitFailures() const { return m_nWidgetInitFailures; }
    const CommonString& GetLastFailedWidget() const { return m_LastFailedWidget; }
    virtual void NotifyLandscapeModePreference(int mode);
    virtual int GetLandscapeModePreference();
    virtual int OnGraffitiChar(int c);
    virtual int OnCallMenu();
    virtual int GetResolutionId(int w, int h);
    // Cached; computed once from the back buffer's size when it exists.
    virtual int GetCurrentResolutionId();
    virtual int GetVerticalBorderWidth();
    virtual int GetHorizontalBorderHeight();
    virtual void GC_NotifyScoreReport(bool ok);
    virtual void GC_NotifyAchievementReport(bool ok);
    virtual CBitmapFontText* GetDebugFont();
    // Picks the logical game size for a physical screen (always true); may turn on double resolution.
    virtual bool SelectAndroidInGameResolution(int screenW, int screenH, int& gameW, int& gameH);
    // The screen's shorter and longer side: true; false, with the game size set to the portrait
    // base 320 x 480, for a screen without a size.
    static bool ScreenSidesOrBaseSize(int w, int h, int& shortSide, int& longSide, int& gameW, int& gameH);
    virtual void OnAdReceived(bool received);
    virtual CommonString GetPublisherIdForAd();
    virtual void SetNumTapjoyCoins(int coins);
    virtual void OnBillingResult(int result, CommonString text);
    // Draws the element tree into the back buffer; the game overrides it.
    void Draw() override;

    // ---- Factories (each defined in its own facet file) ------------------------------------
    // A new, unopened disk file; the caller deletes it.
    IFile* CreateFileObject() override;
    // A new, empty memory file; null when it cannot be made.
    CMemoryFile* CreateMemoryFileObject() override;
    // A new bitmap for the current renderer; null when tracking is on and the list cannot grow.
    IDibBitmap* CreateBitmapObject() override;
    // A new device sound system; null when there is none.
    ISoundSystem* CreateSoundSystemObject();
    // Replaces the optional pak reader with one opened on path; null (and none kept) on failure.
    CBBZipFileReader* InitOptionalGamePack(CommonString path);

    // ---- Services -----------------------------------------------------------------------
    // The records the engine areas read and the sound system, as their host interfaces hand
    // them out.
    TPakSet& Paks() override { return m_Paks; }
    TRenderSwitches& RenderSwitches() override { return m_RenderSwitches; }
    TScreenState& Screen() override { return m_Screen; }
    TSpriteSwitches& SpriteSwitches() override { return m_SpriteSwitches; }
    ISoundSystem* GetSoundSystem() override { return m_pSoundSystem; }
    // The blend buffer on GL ES, else the back buffer.
    IDibBitmap* GetBlendBuffer() override;
    void GetDeviceScreenProperties(DisplayProperties* props) override;
    // 0 when n < 2 (no random number is drawn), else rand() % n.
    int RandomValue(int n) override;
    // Seeds rand() from the clock once per process object.
    void InitRandoms();
    // Seeds rand() with a fixed value and counts as seeded, so InitRandoms leaves it: tests and
    // replays get the same random tables (and particle simulation) on every run.
    void SeedRandoms(unsigned int seed);
    // Replaces the localisation manager by one reading the table at `language` (a path); null,
    // and no manager kept, when the table cannot be read.
    CLocManager2* InitLocManager2(CommonString language);
    // Deletes every cached template, last first, leaving the cache empty.
    void FlushCachedTemplates();
    // images dir less its last character + "_2x\" + the path past the images dir; empty when the
    // path does not start with the images directory or is not longer than it.
    CommonString GetImagePathFor2XImage(CommonString path) override;
    void DeclareSupportedResolution(int w, int h);
    int GetNumSupportedResolutions();
    bool IsResolutionSupported(int w, int h);
    // Entry i, or {0, 0} out of range.
    TResolutionProps GetSupportedResolutionProps(int i);
    TBestResolution FindBestSupportedResolutionForScreenSize(int w, int h);
    int VolumeWheelDelta();
    bool IsDeviceStableWithSoundSystem();
    // No battery information on this platform: false with both outputs 0.
    bool GetBatteryPercentage(int& percent, bool& charging);
    CommonString _GetSaveDirectory(CommonString a, CommonString b);
    CommonString _GetSaveDirectory2(CommonString a, CommonString b);
    void CreateSaveDirectory(CommonString path);
    // The game's save folder "data/" (and paths below it) where this machine keeps the saves
    // (platform/GamePaths.h); other paths unchanged.
    static CommonString ResolveSavePath(const CommonString& path);
    void SystemResetInactivityTime();
    void DrawAutoRotateBorders();

    // ---- Frame cycle ---------------------------------------------------------------------
    // fps below 1 counts as 1. Period 1000/fps ms, 30 for 30..34, 15 for 60..64. Restarts the
    // clock so time spent before the call is not caught up.
    void SetFpsControl(int fps, bool unused, bool fixedStep);
    // Draws one frame (Draw, quit button, statistics hook, present, borders).
    void DoDrawCycle();
    // Millisecond clock of the cycle, 32 bits wrapping, read through the platform clock.
    static unsigned int GetTickCountMs();

    // ---- Pointer capture, keys, finish -------------------------------------------------------
    void XSetCapture(CXElement* element) override { m_pCapture = element; }
    void XReleaseCapture() override { m_pCapture = nullptr; }
    CXElement* XGetCapture() const override { return m_pCapture; }
    void ProcessPressedKeys();
    void LockKey(int key) override;
    void UnLockKey(int key) override;
    bool IsKeyLocked(int key) override;
    void UnLockKeys() override;
    void ClearKeyStates();
    void ClearKeyPressedStates();
    // No capture target and no key locks.
    void InitUI();
    // Stores the code and raises the finished flag; the shell's loop ends on IsFinished().
    void SetFinished(int code);
    bool IsFinished() const { return m_bFinished; }
    int GetFinishCode() const { return m_nFinishCode; }
    // Marks the run as failed (something its loading needs is missing): the program still ends
    // through its normal shut-down, but with the failure status.
    void SetRunFailed() { m_bRunFailed = true; }
    bool HasRunFailed() const { return m_bRunFailed; }
    int LastKeyCodeIsSmartphoneDigit();
    bool LastKeyCodeIsSmartphoneYes() override;
    bool LastKeyCodeIsSmartphoneNo() override;
    bool LastKeyCodeIsSmartphoneBackSpace();

    // ---- Screen rotation animation -----------------------------------------------------------
    // mode 0 portrait, 1 towards -90 degrees, 2 towards +90; immediate jumps to the target.
    void SetIPhoneOrientation(int mode, bool immediate);
    bool IsIPhoneRotationInProcess() { return m_Screen.IsRotationInProcess(); }
    void ProcessIPhoneRotation();

    // ---- Quit button and borders ---------------------------------------------------------------
    void DrawQuitButton();
    void DrawBorderBitmapsToDoubleBuffers();
    void DrawBordersToDeviceScreen();
    // Two software border buffers of bw x bh (w or h where a size is 0 or below), cleared black.
    bool CreateBorderDoubleBufferWnds(int w, int h, int bw, int bh);
    // Builds the back buffer (the GL render target unless there are borders, else or on failure a
    // software bitmap) of w x h less the borders, without alpha, and on GL ES the blend buffer;
    // makes it the draw target. False when it cannot be made or sized.
    bool CreateDoubleBufferWnd(int w, int h, int bw, int bh);
    // GL ES only: a software bitmap of the back buffer's size without alpha (none when it cannot
    // be made).
    void CreateBlendBuffer();

    // ---- Hooks filled in by later work -----------------------------------------------------
    // Draws the statistics text into the back buffer (white, bordered, at x 2, y 30); called by
    // DoDrawCycle only when the fixed-step and statistics switches are on and GetDebugFont()
    // gives a font.
    virtual void DrawStatistics(CBitmapFontText* font);

    // ==== State (declaration order; initial values from the constructor) ========================
    bool m_bPointerDown = false;
    bool m_bBorderRedraw = true;  // borders and quit button are redrawn at the end of a draw cycle
    TPakSet m_Paks;               // the pak readers (owned) and the pak switches
    int m_nGameWidth = 0;
    int m_nGameHeight = 0;
    ISoundSystem* m_pSoundSystem = nullptr;  // null when there is no sound
    TScreenState m_Screen;                   // back buffer (owned), draw target, orientation, created bitmaps
    IDibBitmap* m_pBorderBuffer1 = nullptr;
    IDibBitmap* m_pBorderBuffer2 = nullptr;
    IDibBitmap* m_pBlendBuffer = nullptr;  // GL ES only: a software bitmap of the back buffer's size
    int m_nVerticalBorderWidth = 0;
    int m_nHorizontalBorderHeight = 0;
    TRenderSwitches m_RenderSwitches;  // renderer kind and the switches of bitmaps and textures
    bool m_bGLRenderTarget = true;
    bool m_bPreferredOrientationSupport = false;
    bool m_bAskForOrientation = false;

    // Frame control.
    unsigned int m_uFramePeriodMs = 30;
    int m_nFrameRate = 33;
    bool m_bFixedStep = false;
    int m_nUpdateCount = 0;
    int m_nDrawCount = 0;
    int m_nCatchUpCount = 0;
    unsigned int m_uLastTickMs = 0;    // the clock reading the next update belongs to
    unsigned int m_uStatsStartMs = 0;  // 0 = statistics not started
    bool m_bShowStatistics = false;

    // Texts of the text-info widget: version, build date, shop link, second shop link.
    CommonString m_InfoTexts[4];
    IDibBitmap* m_pBorderBitmap = nullptr;  // common border image
    IDibBitmap* m_pBorderBitmap1 = nullptr;
    IDibBitmap* m_pBorderBitmap2 = nullptr;
    int m_nCurrentResolutionId = 0;
    int m_KeyState[kKeyCount] = {};
    int m_KeyRepeat[kKeyCount] = {};
    int m_KeyLock[kKeyCount] = {};
    bool m_bKeyRepeat = false;
    bool m_b31Keys = true;       // repeat keys 1..31 instead of 1..4
    int m_nKeyRepeatDelay = 15;  // updates
    CommonString m_StatisticsText;
    bool m_bRandomSeeded = false;
    int m_nRotationMode = 0;  // how pointer coordinates are turned: 0, 1 or 2
    CLocManager2* m_pLocManager = nullptr;
    CXElement* m_pCapture = nullptr;
    int m_nVolumeWheelDelta = 5;
    IDibBitmap* m_pQuitButton = nullptr;
    IDibBitmap* m_pQuitButtonPressed = nullptr;
    bool m_bQuitButtonPressed = false;
    bool m_bAppDataCreatedFresh = false;
    // How the start-up load of the player data went (EAppDataLoad in app/BasicApplicationData.h):
    // kCannotRead blocks every save of this run; kDamaged makes the first save keep the file aside.
    int m_eAppDataLoad = 0;
    bool m_bMuted = false;
    CBasicApplicationData* m_pAppData = nullptr;
    int m_nDefaultRotationMode = 1;
    int m_nFailingStage = 0;
    // The pak that stopped the start-up (stages 8, 10 and 12): its path and what is wrong with it,
    // in words that follow the path ("is missing", "is truncated: ..."); empty otherwise.
    CommonString m_FailedPakPath;
    CommonString m_FailedPakReason;
    CQuorvanObjPtrArray<TResolutionProps*> m_Resolutions;
    int m_nRotationSpeed = 2048;  // 8 degrees per step
    CQuorvanArray<CachedTemplate*> m_TemplateCache;

    int m_nFinishCode = 0;
    bool m_bFinished = false;
    int m_nWidgetInitFailures = 0;
    CommonString m_LastFailedWidget;
    bool m_bRunFailed = false;
    TSpriteSwitches m_SpriteSwitches;
    // Preset for SelectAndroidInGameResolution's landscape branch; nothing changes them.
    bool m_bResolutionPresetFlag = false;
    int m_nResolutionPresetValue = -1;

private:
    // Init's steps that take more than a line: the failing stage, the rotation mode chosen from
    // the player's stored preference, and the sound system.
    bool FailInit(int stage);
    int ChooseRotationMode(int w, int h);
    void InitSound();
};

// The one application object, read by the platform layer and the shell.
extern CGameBase* g_pGame;
