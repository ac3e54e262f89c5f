// The play screen's boosts button: a game button with a pulsing green badge over its top-right
// corner that shows the current player's unspent boost points. The badge is hidden while there
// are none, fades out as a modal dialog fades in over the screen, and moves and shrinks with the
// pressed button. The screen that holds the button answers its click (it opens the boosts
// screen).
//
// Depends on: ui (game button); the game object's sprite sets, rotator, small font and current
// profile (through the game's hosts). Main thread only.
#pragma once

#include "core/Common.h"
#include "game/progress/Bouncer.h"
#include "ui/GameButton.h"

class IDibBitmap;

// Where and how the badge is drawn in a frame.
struct TBadgePlacement {
    bool shown = false;        // a badge sprite, a back buffer and a player with points
    FIXED_FLOAT x = 0;         // centre, 24.8
    FIXED_FLOAT y = 0;         // centre, 24.8
    FIXED_FLOAT angle = 0;     // degrees in 24.8, 0 up to a full turn
    FIXED_FLOAT_16 scale = 0;  // of the sprite; 0 draws none
    float textScale = 0.0f;    // of the point count; 0 or less draws none
    int alpha = 255;           // 0..255
    int points = 0;
};

class CXPlayScreenUpgradesButton : public XGameButton {
public:
    // No badge sprite yet and the pulse at rest.
    CXPlayScreenUpgradesButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    ~CXPlayScreenUpgradesButton() override;

    // The button's initialisation, then frame 0 of "green_gem_notify" (0 when the set or its
    // frame is missing), and the badge pulse starts: 0.95 to 1.05 in steps of 0.005, from 1.0
    // rising.
    int OnInitWidget() override;
    // The widget's tick, then one step of the badge pulse.
    void RunProcess() override;
    // The game button, then the badge.
    void Draw() override;

    // The badge through the game's rotator and the point count in the small font over it.
    void DrawNotification();
    // Where the badge goes this frame (see above); not shown without sprite, player or points.
    TBadgePlacement BadgePlacement();

    const Bouncer& GetBadgePulse() const { return m_BadgePulse; }
    IDibBitmap* GetBadgeSprite() const { return m_pBadge; }

private:
    IDibBitmap* m_pBadge = nullptr;  // frame 0 of "green_gem_notify"; the set owns it
    Bouncer m_BadgePulse;
};
