#pragma once
// The start menu: the screen the game opens after loading and whenever a screen returns to the
// menu. Under the menu's widgets it draws a farm scene (sky, drifting clouds, a turning sun, the
// title popping in with sparkles, two birds with hats and a chicken that react to taps, swaying
// bushes); it plays the menu music, runs the first-run name entry and carries out the menu's
// commands: the other screens, the options (volumes and tutorial switch), players, news, the web
// pages and the quit confirmation.
//
// Depends on: the screen root, the game object and its managers, the player dialogs. Main thread
// only.

#include "core/Common.h"
#include "core/QuorvanArray.h"
#include "game/progress/Bouncer.h"
#include "game/widgets/GameRoot.h"

class CQuorvanParticleSystem2;
class CQuorvanParticleSystemShape2;
class CXNewsButton;
class IDibBitmap;

// The web pages the menu opens (fictional addresses on a reserved domain): the catalogue, the
// two social pages, and the game's store page where the review question sends the player.
inline constexpr const char* kMoreGamesUrl = "https://games.hollowfen.example/";
inline constexpr const char* kCommunityPageUrl = "https://social.cobblebrooks.example/";
inline constexpr const char* kSecondSocialPageUrl = "https://chat.hollowfen.example/cobblebrooks";
inline constexpr const char* kReviewPageUrl = "https://store.hollowfen.example/cobblebrooks/review";

class CXStartMenu2 : public XGameRoot {
public:
    // The scene's starting state; the game's last new high score is forgotten (-1).
    explicit CXStartMenu2(CXElement* parent);
    // Releases the images and clouds, stops the sparkles and freezes the news threads.
    ~CXStartMenu2() override;

    // Builds the screen from "root_START_MENU", loads the scene and runs the first-run checks: 1,
    // or 0 when the root, an image or the sparkle effect is missing.
    int OnInitElement() override;
    void RunProcess() override;
    void Draw() override;
    // The menu panel first (only its children are hit), then the tap zones of the scene.
    int NotifyPointerEvent(int x, int y, int type) override;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // A cloud's start: fromLeft enters at x = -60, else anywhere across the screen; the higher
    // the cloud, the faster it moves.
    void GetRandomCloudPos(bool fromLeft, TVector2D& pos, TVector2D& vel);
    // The menu track when music is on, else silence at once.
    void UpdateGameplayMusic();
    // Each opens the name entry for a current profile without a name, or for a profile it makes
    // when there is none: 1 when it did.
    int CheckIfCurrentUserNameEmpty();
    int CheckIfNoUserProfiles();
    // The welcome text with the current player's name.
    void UpdateChangePlayerText();
    // Whether the templates hold the record a screen is built from, so that it can open.
    bool HasScreenRoot(const char* root);
    // Hides every menu button whose screen has no root in the template: a button never leads
    // to a screen that cannot open. A screen's button shows by itself once its root is added.
    void HideButtonsOfMissingScreens();
    void DrawClouds();

    // ---- The scene's state, read by tests -----------------------------------------------------
    enum EBouncer { kLeftBird, kRightBird, kChicken, kLeftBush, kRightBush, kBouncerCount };
    Bouncer m_Bouncers[kBouncerCount];
    bool m_bLeftBirdTapped = false;
    bool m_bRightBirdTapped = false;
    bool m_bChickenJumping = false;
    TRect2D m_LeftBirdZone = {};
    TRect2D m_RightBirdZone = {};
    TRect2D m_ChickenZone = {};
    FIXED_FLOAT m_nSunAngle = 0;
    double m_dTitleScale = 0.0;
    FIXED_FLOAT m_nTitleX = 0;
    FIXED_FLOAT m_nTitleY = 0;
    int m_nSoundCooldown = 0;
    CQuorvanArray<TVector2D> m_CloudPos;  // FIXED_FLOAT pixels
    CQuorvanArray<TVector2D> m_CloudVel;
    CQuorvanArray<FIXED_FLOAT_16> m_CloudPhase;
    CQuorvanArray<FIXED_FLOAT_16> m_CloudPhaseSpeed;
    CQuorvanParticleSystem2* m_pTitleSparkles = nullptr;  // the particle manager's
    CXNewsButton* m_pNewsButton = nullptr;                // a child; looked up again when null

private:
    enum EImage {
        kBackground,
        kSun,
        kLeftBushImage,
        kRightBushImage,
        kTitle,
        kEggs,
        kLeftBirdImage,
        kRightBirdImage,
        kLeftHat,
        kRightHat,
        kChickenEgg,
        kChickenImage,
        kBirdShadow,
        kImageCount
    };

    bool LoadScene();
    bool MakeTitleSparkles();
    void PlaceTapZones();
    void StepBirdsAndChicken();
    void StepClouds();
    void RefreshNewsButton();
    // The panel of menu buttons, when it is the topmost modal child.
    bool PassToMenuPanel(int x, int y, int type, int& result);
    int TapScene(int x, int y);
    int OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam);
    void OnSlider(int code, const char* id, int value);
    void ResetOptionsTuners();
    void ShowNameEntry(bool newProfile, bool hideCancel);
    void DrawBird(IDibBitmap* back, int birdImage, int hatImage, const Bouncer& bouncer, bool tapped, int cx,
                  int bottom, int hatX, int hatLift);

    IDibBitmap* m_Images[kImageCount] = {};  // owned
    CQuorvanObjPtrArray<IDibBitmap*> m_Clouds;
    CQuorvanParticleSystemShape2* m_pSparkleShape = nullptr;  // owned
};
