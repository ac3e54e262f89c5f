#pragma once
// The player's statistics (dlg_stats): per arena the rounds played, the best score, the best
// combo, the power-ups used and the coins gained, then the coins gained in all, the boost points
// earned and the experience level. The texts are written once; the coin and boost-point values
// are drawn by the dialog as an icon, a small "x" and the number, centred on anchor widgets, and
// appear in the second half of its fade-in.
//
// Depends on: ui (game dialog), the counter icons (IScreensHost), fonts, arenas and player data.
// Main thread only.

#include "core/Common.h"
#include "ui/GameDialog.h"

class CSpriteSet;

class CXStatsDialog : public XGameDialog {
public:
    using XGameDialog::XGameDialog;

    // The dialog, then the coin and boost icons (the game's "HudCoin" and "HudXP", both required)
    // and the texts.
    int OnInitWidget() override;
    // The first frame takes the anchors, once the template has placed the widgets.
    void RunProcess() override;
    void Draw() override;

    void UpdateStatsControls();
    void InitializePoints();
    // One icon, "x" and number group (DrawScoreValue, small) centred on (x, y); nothing at half
    // opacity or less, then alpha rising from 1 to 255 over the second half.
    void DrawCoinsValue(int value, int x, int y, bool boost);

    enum EAnchor { kArena1Coins, kArena2Coins, kArena3Coins, kCoinsGained, kBoostPoints, kAnchorCount };
    TVector2D m_Anchors[kAnchorCount] = {};  // FIXED_FLOAT
    bool m_bArenaUnlocked[3] = {true, true, true};
    bool m_bAnchorsReady = false;

private:
    CSpriteSet* m_pCoinIcon = nullptr;  // the game's; not owned
    CSpriteSet* m_pBoostIcon = nullptr;
};
