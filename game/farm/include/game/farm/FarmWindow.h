// CXFarmWindow: the yard screen, where the player looks after the current profile's current yard.
// The yard's objects live in the farm manager's object list; the screen runs, draws, selects,
// drags, rotates, buys and sells them there, places the purchase another screen hands over
// (the game object's pending purchase name), awards a star when the four bars (CXFarmProgress)
// fill, queues the unlocks that star brings, shows three first-visit hints, keeps the quests
// button's badge, and saves the yard as its record of "saveresume.dat" before it leaves.
//
// Facets: FarmWindow.cpp (life cycle and frame), FarmWindow_Trade.cpp (buying, selling, quests,
// achievements, the leaving buttons), FarmWindow_Stars.cpp (stars, unlocks, the badge),
// FarmWindow_Hints.cpp, FarmWindow_View.cpp (sky, sun and clouds), FarmWindow_Draw.cpp (the
// objects, animations, stars and badge), FarmWindow_Touch.cpp, FarmWindow_Record.cpp.
//
// The game object opens it on message 1009 once the "farm" sprite sets are loaded and keeps it in
// m_pFarmWindow; the screen hands itself to the farm manager as the objects' yard (IFarmYard)
// while it is open. Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/farm/FarmYard.h"
#include "game/widgets/EffectRecords.h"
#include "game/widgets/GameRoot.h"

class CFarmObject;
class CGameBase;
class CJumpStringManager;
class CSpriteSet;
class CTiledBGTutorial;
class CXFarmProgress;
class IDibBitmap;
class IFarmHost;
class IFile;
class XWidget;
struct FarmObjectDef;
struct MiniQuestStatesInfo;
struct YardDef;

// Clouds over the yard, frames of a star's countdown, the unlock banners' wait, a tap ring.
inline constexpr int kYardCloudCount = 8;
inline constexpr int kStarCountdownFrames = 11;
inline constexpr int kUnlockMessageDelayFrames = 132;
inline constexpr int kTapRingFrames = 22;
// A finger that moves this far (pixels, on either axis) from its press drags or is no tap.
inline constexpr int kDragStartPx = 15;

// The sun's tint for a cover of the sun by clouds (1.0 a sun wholly covered once): red, green,
// blue each 0..255; white when uncovered, orange when covered.
struct TSunTint {
    int r = 255, g = 255, b = 255;
};
[[nodiscard]] TSunTint SunTintForCover(double cover);

class CXFarmWindow : public XGameRoot, public IFarmYard {
public:
    // Everything empty; the badge blinks by 24 a frame.
    explicit CXFarmWindow(CXElement* parent);
    // Stops the particles, gives the objects' yard back to the farm manager (null) and frees what
    // the screen owns; the yard's objects stay in the farm manager.
    ~CXFarmWindow() override;

    // Rebuilds the yard (defaults, then its record), the widgets, images, clouds and hints: 1, or
    // 0 when the yard, the template root, a bar or an image is missing.
    int OnInitElement() override;
    void RunProcess() override;
    void Draw() override;
    int NotifyPointerEvent(int x, int y, int type) override;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // "dlg_confirm_sell" while an object is selected becomes the sell dialog for it.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // ---- The objects' yard (IFarmYard) ----------------------------------------------------------
    int GetCameraFlashCounter() override { return m_nCameraFlashCounter; }
    void ShowCameraFlash() override;
    void StopCameraFlash() override;
    CFarmObject* GetPhotoStand() override { return m_pPhotoStand; }
    void SetPhotoStand(CFarmObject* stand, int busyFrames) override;
    int GetPhotoStandBusyCountdown() override { return m_nPhotoStandBusyCountdown; }
    IDibBitmap* GetSelectionImage() override { return m_pSelectionImage; }
    CSpriteSet* GetDecorSelectionSet() override { return m_pDecorSelectionSet; }

    // ---- The yard (FarmWindow.cpp) --------------------------------------------------------------
    // The yard of the profile's current yard id and its quest states: the yard, or null.
    YardDef* SetupYardDef();
    // Deletes every object of the yard; points and stars 0.
    void ResetUsersYard();
    // The yard's default objects, each category's from the last to the first: false when one
    // cannot be made or kept.
    bool AddDefaultFarmPurchases();
    // The coin label and the sell and rotate buttons after a change.
    void UpdateUIOnCoinsAmountChanged();
    void UpdateUIOnSelectionChanged();
    // The yard music when music is on, else silence.
    void UpdateMusic();

    // ---- Buying and selling (FarmWindow_Trade.cpp) ---------------------------------------------
    // Buys the object for its price and places it: false, with nothing changed, when the coins
    // fall short or the object cannot be made.
    bool PurchaseFarmObject(FarmObjectDef* def);
    // Pays 70 % of the price back and takes the object out of the yard; the caller deletes it.
    void SellFarmObject(CFarmObject* object);
    // After a purchase of that object: a quest it belongs to unlocks or completes (true).
    bool CheckMiniQuests(const CommonString& name);
    // The statue or basket achievement of that object, once (true when awarded now).
    bool CheckAchievements(const CommonString& name);
    void ShowMiniQuestCompletedBanner();
    // Keeps the purchase burst on the object just bought, scaled with its depth.
    void RunProcess_AdjustParSysForJustPurchasedObject();

    // ---- Stars and unlocks (FarmWindow_Stars.cpp) -----------------------------------------------
    // Starts, runs and ends a star's countdown; run each frame without a dialog open.
    void CheckStars();
    // After a star: the arena and yard it unlocked, as messages queued 132 frames later.
    void CheckUnlockedLevels();
    void EnumCurrentlyUnlockedYards(CQuorvanObjPtrArray<CommonString*>* list);
    void EnumCurrentlyUnlockedArenas(CQuorvanObjPtrArray<CommonString*>* list);
    void ProcessNewStarUnlockedMessages();
    // Whether every category has the points of the next star and every bar has caught up.
    bool AreNextStarThresholdsMet();
    void ShowNewStar();
    void RunProcessNewStar();
    // The quests badge's count change: it shrinks away, takes the new count and grows back.
    void RunProcessBadgeBlink();

    // ---- Hints (FarmWindow_Hints.cpp) -----------------------------------------------------------
    void UpdatePurchaseTutorialAvailability();
    void UpdateQuestsTutorialAvailability();
    void UpdateProgressTutorialAvailability();
    bool RunFarmPurchaseTutorial();
    bool RunFarmQuestsTutorial();
    bool RunFarmProgressTutorial();
    // Starts the hint due this frame, at most one a visit.
    void ScheduleHints();

    // ---- The view (FarmWindow_View.cpp, FarmWindow_Draw.cpp) ----------------------------------
    // The sun's centre, 24.8 pixels.
    TVector2D GetSunPosition();
    // How much of the sun the clouds cover (1.0 a whole sun), with the covering clouds' indices
    // and the share of each cloud's core that lies on the sun.
    double GetPercentageSunCoveredByClouds(CQuorvanArray<int>& cloudIndices, CQuorvanArray<double>& ratios);
    // A cloud's place and drift: off the left edge, or anywhere across; the higher, the faster.
    void GetRandomCloudPos(bool offscreen, TVector2D& position, TVector2D& speed);
    void RunProcessClouds();
    void DrawSkyAndBackground();
    void DrawSunAndClouds();
    void DrawChickenAndDecorSorted();
    void RunProcessAnimations();
    void DrawAnimations();
    void DrawCameraFlash();
    void DrawStars();
    void DrawMiniQuestsNotification();
    // A ring that grows and fades where the finger lifted (screen pixels).
    void AddTapRing(int x, int y);

    // ---- Touch (FarmWindow_Touch.cpp) -----------------------------------------------------------
    // The object a touch at (x, y) selects: birds first, then the nearest rectangle centre.
    CFarmObject* HitTestObjectToSelectAt(int x, int y);
    // The smallest world depth a dragged object may take, so that its picture stays on the ground.
    FIXED_FLOAT CalcDragAreaTop(CFarmObject* object);
    void MoveObjectToScreenPosition(CFarmObject* object, TVector2D screen);

    // ---- The record (FarmWindow_Record.cpp) -----------------------------------------------------
    // The yard's body after the record header; true when it moved whole.
    virtual bool SaveResume(IFile* file, int version);
    virtual bool LoadResume(IFile* file, int version);
    bool Serialize(IFile* file, bool save, int version);
    void ResolveObjectPointers() {}
    // Step 3 of the opening: the profile's record of this yard, read back. A record of another
    // kind or yard, or one whose body fails, is named, kept aside with the file and dropped from
    // the storage, and the yard opens fresh.
    void ResumeYardFromRecord();
    // Saves the yard's record, then the player data (before a leaving button posts).
    void SaveYardAndPlayerData();

    // ==== State, read by tests (declaration order) =============================================
    YardDef* m_pYardDef = nullptr;                            // the farm manager's
    CQuorvanObjPtrArray<CFarmObject*>* m_pObjects = nullptr;  // the farm manager's list; not owned
    MiniQuestStatesInfo* m_pQuestStates = nullptr;            // the profile's
    XWidget* m_pCoinsLabel = nullptr;
    XWidget* m_pSellButton = nullptr;
    XWidget* m_pRotateButton = nullptr;
    CXFarmProgress* m_pProgress[4] = {};       // pb_birds, pb_plants, pb_comfort, pb_decor
    IDibBitmap* m_pBackgroundImage = nullptr;  // frames of the default objects' sets; not owned
    IDibBitmap* m_pSunImage = nullptr;
    IDibBitmap* m_pSelectionImage = nullptr;  // owned
    IDibBitmap* m_pTapImage = nullptr;        // owned
    IDibBitmap* m_pBadgeImage = nullptr;      // frame of "red_circle_notify"
    int m_nBadgeX = 0, m_nBadgeY = 0;
    CSpriteSet* m_pStarSet = nullptr;  // "yard_star": 0 empty, 1 full; looked up
    CSpriteSet* m_pDecorSelectionSet = nullptr;
    CQuorvanObjPtrArray<IDibBitmap*> m_Clouds;
    CQuorvanArray<TVector2D> m_CloudPositions;  // 24.8 pixels
    CQuorvanArray<TVector2D> m_CloudSpeeds;
    FIXED_FLOAT m_nSunAngle = 0;
    CQuorvanArray<CAnimation> m_Animations;  // tap rings
    // Touch.
    CFarmObject* m_pSelection = nullptr;
    TVector2D m_PressPoint;  // 24.8 screen pixels of the last press
    TVector2D m_GrabOffset;
    bool m_bDragging = false;
    bool m_bTap = false;
    // Stars.
    int m_nStarCountdown = 0;
    bool m_bNewStarActive = false;
    bool m_bNewStarPulsing = false;
    double m_dNewStarScale = 0, m_dNewStarShownScale = 0, m_dNewStarStartScale = 0, m_dNewStarGrowth = 0;
    double m_dNewStarAlpha = 0;
    int m_nNewStarPulses = 0;
    // Camera flash and photo stand.
    int m_nCameraFlashCounter = 0;
    CFarmObject* m_pPhotoStand = nullptr;
    int m_nPhotoStandBusyCountdown = 0;
    // Hints.
    CTiledBGTutorial* m_pHint = nullptr;  // owned
    bool m_bHintShown = false;
    bool m_bPurchaseHintAvailable = false;
    bool m_bQuestsHintAvailable = false;
    bool m_bProgressHintAvailable = false;
    int m_nQuestsHintDelay = 0;
    int m_nProgressHintDelay = 0;
    CJumpStringManager* m_pJumpStrings = nullptr;  // owned
    // Unlocks and quests.
    CQuorvanObjPtrArray<CommonString*> m_UnlockMessages;
    int m_nUnlockMessageDelay = 0;
    bool m_bQuestCompleted = false;
    CQuorvanObjPtrArray<CommonString*> m_UnlockedArenas;
    CQuorvanObjPtrArray<CommonString*> m_UnlockedYards;
    CFarmObject* m_pJustBought = nullptr;
    int m_nBadgeCount = 0;
    int m_nBadgeBlinkAlpha = 0;
    int m_nBadgeBlinkStep = 0;
    int m_nBadgeBlinkMagnitude = 24;

private:
    // The game object behind the screen as the yard's host; null under a host that is not one.
    IFarmHost* FarmHost() const;
    // Each steps of OnInitElement that can fail, in order.
    bool FindWidgets();
    bool LoadImages();
    bool LoadClouds();
    // One frame of the camera flash and the photo stand's busy countdown.
    void RunProcessCameraFlash();
    void RunProcessPendingPurchase();
    // Messages of the buttons (600).
    int OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam, const char* id);
    void SellSelectedObject();
    // Touch phases.
    void OnPress(int x, int y);
    void OnMove(int x, int y);
    void OnRelease(int x, int y);
    void DropNearSpot(CFarmObject* creature);
    int UnlockedQuestCount() const;
};
