// The locked dialog: what unlocks an arena or a yard that is still locked. The play screen makes
// it from "dlg_msg_arena_locked" or "dlg_msg_yard_locked", shows it through its template action
// and hands it the locked record. It fills its two condition lines (how many stars, in which yard)
// and draws the yard to complete, or the three yards before it fanned out, each with a padlock
// while that yard is itself locked, over a row of three stars of which the required ones pulse.
//
// Depends on: ui (game dialog); the game's sprite sets and rotator, the farm's definitions
// (game/farm, its host). Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/GameDialog.h"

class CSpriteSet;
class IDibBitmap;
struct Arena;
struct YardDef;

// The pulse of the required stars: its step per frame (one rise takes 16 frames) and its top.
inline constexpr int kLockedPulseStep = 16;
inline constexpr int kLockedGlowFull = 65280;  // 255.0 in 8.8

class CXLockedDialog : public XGameDialog {
public:
    CXLockedDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // The dialog, then the icons' anchor ("img_unlock_dummy", hidden; without it the dialog's own
    // position), the star set "yard_star" and the padlock (frame 0 of "level_lock"): 0 when either
    // of the last two is missing.
    int OnInitWidget() override;
    // The dialog's update, then one step of the pulse.
    void RunProcess() override;
    void Draw() override;

    // The arena's condition: its unlock_by yard with one star.
    void SetupUnlockCondition(Arena* arena);
    // The yard's condition: its unlock_after yard (or every earlier one) with its unlock stars.
    void SetupUnlockCondition(YardDef* yard);
    // "txt_unlock_line2" with the stars ("a Star", "3 Stars") and "txt_unlock_line3" with the
    // yard's name ("all previous Yards" for "all_previous"), each filled into its template text;
    // runs before the icons, which read the all-previous flag it sets.
    void SetupUnlockConditionText(const CommonString& id, int stars);
    // The icons: the yard's thumbnail without a padlock when it is unlocked, else the locked
    // plate with one (for "all_previous" the first three yards, each so). Nothing changes without
    // the sets "btn_play_yards" and "btn_play_arena_locked".
    void SetupUnlockConditionIcons(const CommonString& id);

    // Where the icons are centred, in 8.8 screen pixels: the anchor's centre, or the dialog's
    // position without an anchor, plus half a pixel.
    TVector2D IconCentre();
    IDibBitmap* GetIcon(int i) const { return m_Icons[i]; }
    bool IsIconLocked(int i) const { return m_IconLocked[i]; }
    int GetStarsNeeded() const { return m_nStarsNeeded; }
    int GetPulse() const { return m_nPulse; }
    int GetPulseStep() const { return m_nPulseStep; }
    FIXED_FLOAT GetGlow() const { return m_nGlow; }
    bool IsAllPrevious() const { return m_bAllPrevious; }
    // The full stars' alpha offset at the dialog's opacity and the pulse's glow.
    int FullStarAlphaOffset();

private:
    // The text's template caption (localised) filled with value, then laid out again.
    void FillLine(const char* id, const CommonString& value);

    XWidget* m_pAnchor = nullptr;  // "img_unlock_dummy", a hidden child; null without one
    IDibBitmap* m_Icons[3] = {};   // frames of the sets; not owned
    bool m_IconLocked[3] = {};
    CSpriteSet* m_pStarSet = nullptr;  // "yard_star": 0 empty, 1 full
    IDibBitmap* m_pPadlock = nullptr;  // frame 0 of "level_lock"
    int m_nStarsNeeded = 1;
    int m_nPulse = 0;  // 0..255
    int m_nPulseStep = kLockedPulseStep;
    FIXED_FLOAT m_nGlow = 0;  // the eased pulse, 0..65280
    bool m_bAllPrevious = false;
};
