#pragma once
// The round screen: one round of the marble game in one arena, from its start through spawning,
// movement, collisions, combos, levels and lost lives to game over, after which the round's
// results are written into the current profile. It owns the marbles (power-ups among them), the
// value records of the running effects, the floating texts and the drawing curve, and it is the
// play field the marbles and power-ups ask for their area, images and lists.
//
// The game object makes it for a new round (1002) or a resumed one (1006), and the gameplay
// tutorial derives from it. The class is split by facet:
//   GameplaySurvival.cpp           life cycle, the start of a round and the frame's order
//   GameplaySurvival_Flow.cpp      difficulty, spawning, movement and the collision pass
//   GameplaySurvival_Scoring.cpp   the delete pass, score, power-ups after a combo, effect records
//   GameplaySurvival_Lives.cpp     levels, lost lives and their pause, game over
//   GameplaySurvival_Commands.cpp  the screen's messages, pause, music and the rolling sound
//   GameplaySurvival_Input.cpp     the road of a touch, the finger's paths and their smoothing
//   GameplaySurvival_Dialogs.cpp   the purchases offered from the round statistics
//   GameplaySurvival_Draw.cpp      the field's drawing, the head-up display and its rolling values
//   GameplaySurvival_Record.cpp    the arena record of "saveresume.dat"
//
// Units: play-area coordinates FIXED_FLOAT pixels, marble motion 16.16, times in frames. All
// random choices go through the game's RandomValue, in a fixed order. Main thread only.

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/gameplay/BezierCurve.h"
#include "game/gameplay/Marble.h"
#include "game/gameplay/PlayField.h"
#include "game/progress/GameFonts.h"
#include "game/progress/RunningRound.h"
#include "game/widgets/EffectRecords.h"
#include "game/widgets/GameRoot.h"

struct Arena;
class CBitmapFontText;
class CJumpStringManager;
class CMarblePowerup;
class CQuorvanParticleSystemShape2;
class CSpriteSet;
class IDibBitmap;
class IFile;
class IGameplayHost;
class XDialog;
class XWidget;
class TUserProfile;

class CXGameplaySurvival : public XGameRoot, public IPlayField, public IRunningRound {
public:
    // Marbles move in this many substeps a frame.
    static constexpr int kSubsteps = 10;
    // The pause after a lost life: the frame its bursts begin.
    static constexpr int kPauseBurstFrame = 66;
    // Frames of slower spawning after a lost life.
    static constexpr int kEasingFrames = 495;
    // The first level's target and the highest one.
    static constexpr int kFirstLevelTarget = 20;
    static constexpr int kTopLevelTarget = 35;
    // The game-over clock (16.16) stops here, a whole number of danger pulses on.
    static constexpr FIXED_FLOAT_16 kGameOverClockCap = 16383 * 131072;

    // The fields of a round not yet started: lives 1, level 0 with target 20, spawn interval 30,
    // no pause, the displayed score to be set; the game's new high score is forgotten (-1).
    explicit CXGameplaySurvival(CXElement* parent);
    // Stops the rolling sound and every particle system; deletes the images, the floating texts,
    // the emission shape and the marbles.
    ~CXGameplaySurvival() override;

    // ---- Life cycle (GameplaySurvival.cpp) ---------------------------------------------------
    // Builds the screen: the arena, the template root, the play area, the images and sprites,
    // the floating texts and this arena's quest bonus. 1, or 0 at the first thing missing (the
    // arena, the root, an image, a required sprite, memory).
    int OnInitElement() override;
    // Starts a round: the boosts, the first marbles (arena 0), the start texts and the counters.
    virtual void OnNewGame();
    // One frame, in the round's order (see the source).
    void RunProcess() override;
    // The play area for the screen's size, before the ad strip is taken in.
    virtual TCoordRect2D SetupPlayRect();
    // The four head-up display texts of the template (each may be missing).
    void OnRootReloaded();

    // ---- Flow (GameplaySurvival_Flow.cpp) ----------------------------------------------------
    // Arena index x 5 + level, held at the largest int for a level near it.
    int GetDifficultyIndex() const;
    // Marbles cleared in the level over its target.
    float GetLevelProgress() const;
    // The free rolling speed and the top speed along a path (16.16 pixels a frame).
    FIXED_FLOAT_16 Difficulty_GetBasicEnemySpeedOnCurrentLevel() const;
    FIXED_FLOAT_16 Difficulty_GetRollingSpeedOnCurrentLevel() const;
    // The spawn timer, once a frame while the round plays.
    void Difficulty_RunProcessSpawnEnemies();
    // A marble of random colour beyond a random edge, at least 84 pixels from every marble; six
    // refused points spawn nothing.
    void SpawnEnemy();
    // A marble of random colour at a point (whole pixels).
    CMarble* SpawnEnemy(int x, int y);
    // A marble of a colour at a point, heading for the centre at the free speed; null when
    // memory runs out.
    CMarble* SpawnEnemy(int colour, int x, int y);
    // The ten substeps, each ending with a collision and a delete pass.
    void RunProcessMovementAndCollisions();
    // One collision pass: same colours join, different colours cost a life.
    void RunProcessEnemyCollisions();
    // The centre strictly inside the area narrowed by 14 pixels.
    bool IsMarbleFullyVisible(CMarble* marble);

    // ---- Scoring and effects (GameplaySurvival_Scoring.cpp) ----------------------------------
    // Removes every marble flagged removed, scoring and counting what it earns.
    void RunProcessDeleteObjects();
    // Adds points for a pop at (x, y) (whole pixels) and shows them; nothing in the tutorial.
    void AddScore(int points, int x, int y, int combo, int type, int delay);
    // A random power-up after a combo of more than 1, with a second coin by the boost's chance.
    void SpawnPowerUp(int x, int y, int combo, int type);
    // One power-up of a kind (0 bomb, 1 colour bomb, 2 coin, 3 ray) inside the area; null when
    // memory runs out.
    CMarblePowerup* SpawnPowerUp(int x, int y, int kind);
    void RunProcessExplosions();
    void RunProcessAnimations();
    void RunProcessLightRays();
    void RunProcessBombs();

    // ---- Levels and lives (GameplaySurvival_Lives.cpp) ---------------------------------------
    // The next level: its target, its text and its sound.
    void Difficulty_AdvanceLevel();
    void ShowNewLevelIntro();
    // The level as the player counts it (from 1), held at the largest int.
    int ShownLevelNumber() const;
    // Two marbles of different colours met (or a power-up was touched the wrong way).
    void OnWrongColour(CMarble* a, CMarble* b);
    // The round ends: the results go into the profile and the game object.
    void GameOver();
    // One frame of the pause after a lost life.
    void RunProcessLifeLostPause();
    // Achievement 22 once three marbles run on paths at the same time.
    void RunProcessCheckNumEggsMoving();
    // The marbles-on-a-path count, up and down.
    void RollingSoundCounterInc() { ++m_nMarblesOnPath; }
    void RollingSoundCounterDec() { --m_nMarblesOnPath; }
    // Takes a marble off its path flag, keeping the count in step.
    void LeavePath(CMarble* marble);

    // ---- Messages, pause and sound (GameplaySurvival_Commands.cpp) ---------------------------
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The pause panel (or, after game over, the statistics); nothing in the tutorial or while a
    // modal child is open.
    virtual void Pause();
    void UpdateGameplayMusic();
    // The rolling sound loops while a marble runs on a path and nothing stands in its way.
    void ProcessRollingSound();

    // ---- The round statistics' purchases (GameplaySurvival_Dialogs.cpp) ------------------------
    // The confirm and cannot-buy dialogs for the object the open round statistics chose; the
    // rest as every screen makes it.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // The two dialogs' buttons: confirming hands the chosen object to its yard (the current yard,
    // the pending purchase, the farm opened), the add-coins button opens the coin shop on the
    // play screen. True when the click was one of them.
    bool AnswerRoundStatsPurchase(XWPARAM wparam);

    // ---- Input (GameplaySurvival_Input.cpp) --------------------------------------------------
    // A touch: an open dialog or a head-up display button takes it first; on the field a press
    // near a marble starts a path (and sets off the power-ups the finger may set off), a move
    // lays a point every 40 pixels and a release hands the smoothed path to the marble.
    int NotifyPointerEvent(int x, int y, int type) override;
    // Turns the last three path points into the next segment of the drawing curve, its tangent
    // at the middle point bisecting the turn there.
    void SmoothLastSegment();

    // ---- Head-up display values (GameplaySurvival_Draw.cpp) ----------------------------------
    // Rolls the displayed score toward the score and rebuilds the score text and its tail's x.
    void ProcessScore();
    // Moves the progress bar's shown fill toward its target (and through a level-up).
    void ProcessVisibleLevelProgress();
    // Characters of "%d" of the value, the sign included.
    static int CalcNumberOfDigits(int value);

    // ---- Drawing (GameplaySurvival_Draw.cpp) -------------------------------------------------
    void Draw() override;
    void DrawLevelBg();
    void DrawPowerupsBottomLayer();
    void DrawCurrentPath();
    // The dots of a marble's path: hidden behind it, faint ahead of it.
    void DrawPath(BezierCurve* path, CMarble* marble);
    void DrawLevelBgBorders();
    void DrawScore(IDibBitmap* dst);

    // ---- The arena record (GameplaySurvival_Record.cpp) --------------------------------------
    // The round's body after the record header, written and read back: true on success.
    virtual bool SaveResume(IFile* file, int version);
    virtual bool LoadResume(IFile* file, int version);
    // The body, both directions: 1, or 0 when a field did not move whole or a stored value is
    // one the round cannot run with (the version is not used).
    int Serialize(IFile* file, bool writing, int version);
    // Links the dragged marble by the identity the record stored (null when none matches).
    void ResolveObjectPointers();
    // After a successful resume: 1.
    virtual int OnResumedGame() { return 1; }

    // ---- IPlayField --------------------------------------------------------------------------
    TRect2D GetPlayRect() override { return m_PlayRect; }
    bool IsMarbleInPlayRect(CMarble* marble) override;
    bool IsMarbleArrowInPlayRect(CMarble* marble) override;
    IDibBitmap* GetGlowImage() override { return m_pFlareSprite; }
    IDibBitmap* GetDangerImage() override { return m_pDangerSprite; }
    IDibBitmap* GetBombRangeImage() override { return m_pBombRangeSprite; }
    IDibBitmap* GetCoinIconImage() override { return m_Images[kImageCoins]; }
    CSpriteSet* GetArenaCoinSet() override { return m_pCoinSet; }
    CSpriteSet* GetColorBombSet(int colourMask) override;
    int GetBoostLevel(int type) override;
    int GetBoostTopLevel(int type) override;
    CQuorvanObjPtrArray<CMarble*>& Marbles() override { return m_Marbles; }
    CQuorvanArray<CExplosion>& Explosions() override { return m_Explosions; }
    CQuorvanArray<CAnimation>& Animations() override { return m_Animations; }
    CQuorvanArray<CRay>& Rays() override { return m_Rays; }
    CQuorvanArray<CBomb>& Bombs() override { return m_Bombs; }
    CQuorvanParticleSystem2* GetColorBombSparkles() override;
    CQuorvanParticleSystem2* GetEightWaySparkles() override;

    // ---- IRunningRound -----------------------------------------------------------------------
    int GetRoundScore() override { return m_nScore; }
    bool IsTutorialRound() override { return m_bTutorial; }
    // The round always uses its layout without the ad strip.
    bool IsAdStripShown() override { return false; }
    CXElement* GetRoundScreen() override { return this; }

    // ---- Small questions ---------------------------------------------------------------------
    // Neither over nor in the pause after a lost life.
    bool IsInPlay() const { return !m_bGameOver && m_nPauseCounter == -1; }
    // The current profile, or null.
    TUserProfile* Profile() const;
    // The game object as the round's host (game/gameplay/GameplayHost.h); null under a game that
    // is not one.
    IGameplayHost* Host() const;
    // A font of the game's own drawing; null before the loader or under a game without them.
    CBitmapFontText* GameFont(EGameFont font) const;
    // The game's particle effect at that place of its list; null before the start-up.
    CQuorvanParticleSystem2* ParticleEffect(int effect) const;

    // ==== State ================================================================================
    // The frame and display images, in the order they are loaded.
    enum EImage {
        kImageTop,
        kImageBottom,
        kImageLeft,
        kImageRight,
        kImageNails,
        kImageLives,
        kImageCoins,
        kImageProgressEmpty,
        kImageProgressFull,
        kImageSideShadows,
        kImageTopShadow,
        kImageLeftShadow,
        kImageCount
    };

    bool m_bTutorial = false;                // no scoring, timed spawning, lost lives, game over or profile writes
    IDibBitmap* m_pBackground = nullptr;     // owned: the arena's
    IDibBitmap* m_Images[kImageCount] = {};  // owned
    IDibBitmap* m_pDotSprite = nullptr;      // first sprites of their sets, not owned
    IDibBitmap* m_pExplosionSprite = nullptr;
    IDibBitmap* m_pFlareSprite = nullptr;
    IDibBitmap* m_pDangerSprite = nullptr;
    IDibBitmap* m_pDragCircleSprite = nullptr;
    IDibBitmap* m_pDangerOffScreenSprite = nullptr;
    CSpriteSet* m_pCoinSet = nullptr;  // the arena's coin set
    TRect2D m_PlayRect;
    CQuorvanArray<CExplosion> m_Explosions;
    CQuorvanArray<CAnimation> m_Animations;
    CQuorvanArray<CRay> m_Rays;
    CQuorvanArray<CBomb> m_Bombs;
    CQuorvanObjPtrArray<CMarble*> m_Marbles;                   // owned, power-ups among them
    CQuorvanParticleSystemShape2* m_pParticleShape = nullptr;  // owned
    Arena* m_pArena = nullptr;                                 // the arena table's
    int m_nArenaIndex = 0;                                     // 1 "arena2", 2 "arena3", else 0

    int m_nScore = 0;
    int m_nLives = 1;
    bool m_bGameOver = false;
    FIXED_FLOAT_16 m_nGameOverClock = 0;  // +0.1 a frame after game over, held below its cap
    int m_nCoinsPickedUp = 0;
    int m_nCoinsFromScore = 0;
    int m_nRoundCoins = 0;       // both together
    int m_nRoundCoinsTenth = 0;  // a tenth of them

    CQuorvanArray<TVector2D> m_PathPoints;  // the finger's points, FIXED_FLOAT
    TVector2D m_LastPathPoint;
    TVector2D m_FingerPos;
    TVector2D m_DragStartPos;
    BezierCurve m_DrawingCurve;
    CMarble* m_pDraggedMarble = nullptr;           // one of the marbles, or null
    CJumpStringManager* m_pJumpStrings = nullptr;  // owned

    int m_nLevel = 0;
    int m_nLevelTarget = kFirstLevelTarget;
    int m_nCleared = 0;        // marbles cleared in this level
    int m_nEasingCounter = 0;  // frames of easing left

    // The progress bar: the delete pass sets the fill it heads for; the head-up display moves the
    // shown fill after it.
    int m_nTargetFill = 0;
    int m_nShownFill = 0;
    bool m_bLevelUpFill = false;
    bool m_bLevelUpHold = false;
    int m_nFullFillWidth = 0;  // the full bar's image width - 20
    int m_nFillLeftOffset = 10;
    int m_nHoldCounter = 0;

    int m_nSpawnInterval = 30;
    int m_nSpawnCounter = 0;
    XWidget* m_pScoreText = nullptr;  // head-up display texts of the template, not owned
    XWidget* m_pCoinsText = nullptr;
    XWidget* m_pLevelText = nullptr;
    XWidget* m_pLivesText = nullptr;
    int m_nPauseCounter = -1;  // -1 in play; 0 .. 66 and on during the pause after a lost life
    int m_nDragHighlightAlpha = 180;
    bool m_bNearMiss = false;
    int m_nSampleSoundTimer = 0;
    int m_nMarblesOnPath = 0;  // marbles whose on-path flag is set
    bool m_bPathSoundPlaying = false;
    XDialog* m_pRoundStatsDialog = nullptr;  // "dlg_level_failed2" once open
    std::uint8_t m_BoostLevels[6] = {};      // the profile's, copied at the start of the round
    std::uint8_t m_nTutorialInput = 0;       // set: touches go straight to the field
    IDibBitmap* m_pBombRangeSprite = nullptr;
    CSpriteSet* m_ColorBombSets[16] = {};  // by colour mask; six stay null
    // The round has run its first frame (outside the tutorial, its music has started).
    bool m_bRoundStarted = false;
    bool m_bIntroPlayed = false;
    int m_nMusicDelay = 0;
    unsigned int m_uExperienceBefore = 0;  // the profile's experience before this round's score

    // The score as the head-up display shows it: -1 jumps to the score on the next update.
    int m_nDisplayedScore = -1;
    int m_nScoreRollStep = 0;
    CommonString m_ScoreHead;  // all but the last three characters of the text, or empty
    CommonString m_ScoreTail;  // the last three characters (the whole text up to 999)
    int m_nScoreTailX = 0;
    // The dragged marble's saved identity between reading a record and linking it.
    std::uint32_t m_uDraggedMarbleId = 0;

protected:
    void PlaySound(const char* name);
    void StopSound(const char* name);
    // Posts a game message to the game object, deferred behind the screen's curtain.
    void PostGameMessage(int code);

private:
    bool LoadImages();
    bool TakeSprites();
    // Effects, the delete pass, particles and floating texts: what runs in every state.
    void RunProcessEffects();
    // Game over: the danger halo pulses and the clock runs.
    void RunProcessGameOver();
    // The marble on its path in one substep; false when it stays on it.
    void RunMarbleOnPath(CMarble* marble, int substep);
    // Every ordinary marble in or heading into the area, not yet leaving, whose centre lies
    // closer than the reach (squared pixels) is caught with score factor 2 (bombs and rays).
    void CatchMarbles(TVector2D_16 centre, double reachSq);
    // The path trail's particles along a move, in a colour type's colour.
    void EmitTrail(TVector2D_16 from, TVector2D_16 to, int colourType, int particles);
    // Sets (and shows) the pulse of the danger halo at a point of the ease curve.
    void PulseDanger(FIXED_FLOAT_16 t);
    // A text of the localisation at a point (whole pixels), or at the text centre.
    void ShowLocalisedText(const char* key, const char* style, int colourType, int x, int y, int delay);
    void ShowCentreText(const char* key, const char* style, int delay);
    void ShowLostLifeText();
    void AwardAchievement(int index);
    void CheckAchievementProgress(int index);
    // Runs "acn_stats_on" and keeps the statistics dialog when it opened.
    void OpenRoundStats();
    void DrawExplosions();
    void DrawAnimations();
    void DrawMarbles();
    void DrawEntryArrows();
    void DrawHud(IDibBitmap* dst);
    void DrawGameOverTexts(IDibBitmap* dst);
    // The field's touches during play.
    void OnFieldPress(int x, int y);
    void OnFieldMove(int x, int y);
    void OnFieldRelease(int x, int y);
    // Appends a laid point and smooths the curve up to it.
    void LayPathPoint(TVector2D point);
    // Moves everything the record stores up by dy pixels (a record laid out with the ad strip).
    void ShiftStoredPositions(int dy);
    // Whether the counts and values a record just gave are ones a round can hold.
    bool HoldsRoundValues() const;
};
