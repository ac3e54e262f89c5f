// The play screen's arena and yard buttons. Each draws its own thumbnail (the frame of its
// template set that is its arena's or yard's index) at its centre, shrunk to 0.95 while pressed;
// while locked the locked plate and a padlock over it (a yard that is not found yet shows a
// question mark instead of the padlock); an arena's difficulty above it and a yard's number at
// its top left with its stars below. The first time a newly unlocked arena or yard is shown, its
// padlock opens and the lock fades away (and a yard's three stars appear one by one), and the
// profile entry that asked for it is removed.
//
// Depends on: ui (game button); the game object's sprite sets, fonts, rotator, sound manager,
// arena table, farm definitions and current profile (through the game's hosts). Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/GameButton.h"

class CBitmapFontText;
class CSpriteSet;
class IDibBitmap;
struct Arena;
struct YardDef;

// Timing of the unlock animation, in frames and steps per frame.
inline constexpr int kUnlockWaitFrames = 15;         // state 0 lasts until the counter exceeds this
inline constexpr double kUnlockLockFrameStep = 0.4;  // padlock frames per frame in state 1
inline constexpr int kUnlockFadeWaitFrames = 7;      // state 2 fades once the counter exceeds this
inline constexpr int kUnlockFadeStep = 8;            // alpha offset per frame while the lock fades
inline constexpr int kUnlockStarStep = 32;           // alpha offset per frame of a revealed star
inline constexpr int kYardStarCount = 3;

// The unlock animation's state: 0 wait, 1 the padlock opening, 2 the lock layer fading out, 3 the
// yard's stars appearing (yards only).
enum EUnlockState : int { kUnlockWait = 0, kUnlockOpening = 1, kUnlockFading = 2, kUnlockStars = 3 };

struct TUnlockAnimation {
    int counter = 0;  // frames waited in the current state
    int state = kUnlockWait;
    double lockFrame = 0.0;  // the padlock's frame, its whole part drawn
    int fade = 0;            // alpha offset of the lock layer, 0 down to -255
};

// What both buttons share: the thumbnail, the locked plate and padlock, and the padlock's part of
// the unlock animation.
class CXPlayScreenButtonBase : public XGameButton {
public:
    using XGameButton::XGameButton;

    IDibBitmap* GetImage() const { return m_pImage; }
    IDibBitmap* GetLockedImage() const { return m_pLockedImage; }
    bool IsLocked() const { return m_bLocked; }
    const TUnlockAnimation& GetUnlockAnimation() const { return m_Unlock; }

protected:
    // The frame `index` of the template's set as the thumbnail (the template's own frame stays
    // when the set has fewer frames): false when there is no such bitmap.
    bool TakeThumbnail(int index);
    // Frame 0 of "btn_play_arena_locked" and the "level_lock" set with at least one frame: false
    // when either is missing.
    bool TakeLockImages();
    // One frame of states 0 to 2: the wait, the padlock opening (with "PlayMenu_UnlockLevel") and
    // the lock layer fading. True on the frame the layer has faded away (fade -255).
    bool StepLockAnimation();
    // The button's centre plus half a pixel, 8.8.
    void DrawCentre(FIXED_FLOAT& x, FIXED_FLOAT& y);
    // The thumbnail, then (when locked or animating) the locked plate at the alpha offset a plus
    // the fade while animating, and the padlock's frame at the centre in whole pixels, or
    // `instead` in the padlock's place when given.
    void DrawThumbnailAndLock(FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT_16 scale, int a, bool animating,
                              IDibBitmap* instead);
    void PlaySound(const char* name);

    IDibBitmap* m_pImage = nullptr;        // a frame of the template's set; the set owns it
    IDibBitmap* m_pLockedImage = nullptr;  // frame 0 of "btn_play_arena_locked"
    bool m_bLocked = false;
    CSpriteSet* m_pLockSet = nullptr;  // "level_lock": the frames of a padlock opening
    TUnlockAnimation m_Unlock;
};

class CXPlayScreenArenaButton : public CXPlayScreenButtonBase {
public:
    // arena: the arena table's record, not owned (null fails the set-up).
    CXPlayScreenArenaButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                            Arena* arena);

    // The button, the lock state, the unlock entries of the profile (consumed), the thumbnail,
    // the lock images when locked or unlocking, and the caption: 0 when any of them is missing.
    int OnInitWidget() override;
    // The widget's tick, then one frame of the unlock animation while it runs.
    void RunProcess() override;
    void Draw() override;
    // Whether the arena is open to the current profile.
    bool IsUnlocked();

    Arena* GetArena() const { return m_pArena; }
    bool IsUnlocking() const { return m_bUnlocking; }
    const CommonString& GetCaption() const { return m_Caption; }
    // From the button's centre to the caption's top-left, 8.8.
    FIXED_FLOAT GetCaptionOffsetX() const { return m_nCaptionOffsetX; }
    FIXED_FLOAT GetCaptionOffsetY() const { return m_nCaptionOffsetY; }

private:
    Arena* m_pArena;
    CommonString m_Caption;  // "Easy", "Medium" or "Hard"
    FIXED_FLOAT m_nCaptionOffsetX = 0;
    FIXED_FLOAT m_nCaptionOffsetY = 0;
    CBitmapFontText* m_pCaptionFont = nullptr;  // "FontButtonNormal"; the style table's
    FIXED_FLOAT_16 m_nCaptionScale = 49152;     // 0.75
    bool m_bUnlocking = false;
};

class CXPlayScreenYardButton : public CXPlayScreenButtonBase {
public:
    // yard: the farm's definition, not owned (null fails the set-up).
    CXPlayScreenYardButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                           YardDef* yard);
    // Deletes the question image.
    ~CXPlayScreenYardButton() override;

    // The button, visibility, lock state and stars, the thumbnail, the profile's unlock entry
    // (consumed), the question image for a hidden yard, the lock images when locked or just
    // unlocked, the number and the star set: 0 when any of them is missing.
    int OnInitWidget() override;
    void RunProcess() override;
    void Draw() override;
    // A hidden yard is never hit; else the game button's test.
    bool Contains(int x, int y) override;
    // Whether the yard may be opened by the current profile.
    bool IsUnlocked();
    // The three stars centred at (x, y) (8.8, their centres' row) drawn at the alpha offset a.
    void DrawStars(FIXED_FLOAT x, FIXED_FLOAT y, int a);

    YardDef* GetYard() const { return m_pYard; }
    int GetStars() const { return m_nStars; }
    bool IsYardVisible() const { return m_bVisible; }
    bool IsJustUnlocked() const { return m_bJustUnlocked; }
    IDibBitmap* GetQuestionImage() const { return m_pQuestionImage; }
    const CommonString& GetNumber() const { return m_Number; }
    FIXED_FLOAT GetNumberOffsetX() const { return m_nNumberOffsetX; }
    FIXED_FLOAT GetNumberOffsetY() const { return m_nNumberOffsetY; }
    int GetStarAlpha() const { return m_nStarAlpha; }
    int GetStarIndex() const { return m_nStarIndex; }

private:
    YardDef* m_pYard;
    int m_nStars = 0;
    bool m_bVisible = false;
    CommonString m_Number;  // "1." to "4."
    FIXED_FLOAT m_nNumberOffsetX = 0;
    FIXED_FLOAT m_nNumberOffsetY = 0;
    CBitmapFontText* m_pNumberFont = nullptr;  // the game's "FontVerySmall"
    FIXED_FLOAT_16 m_nNumberScale = 72090;     // 1.1
    CSpriteSet* m_pStarSet = nullptr;          // "yard_star": 0 empty, 1 full
    IDibBitmap* m_pQuestionImage = nullptr;    // owned; only for a hidden yard
    bool m_bJustUnlocked = false;
    int m_nStarAlpha = 0;
    int m_nStarIndex = 0;
};
