#pragma once
// The start menu's news button: a rectangle-hit button with its caption and, while there are
// fresh news items, a badge beside the caption with their number blinking on it (16 frames on, 16
// off). The screen root's factory makes it for btn_startmenu_news; the start menu sets its count.
//
// Depends on: ui (game buttons), sprites (the badge's set), the game's fonts. Main thread only.

#include "ui/GameButton.h"

class CSpriteSet;
class IDibBitmap;

class CXNewsButton : public XRectButton {
public:
    using XRectButton::XRectButton;
    // Gives back the badge's sprite set.
    ~CXNewsButton() override;

    // The button, then the badge from the sprite set "news_alert" when it has frames; count 0.
    int OnInitWidget() override;
    void RunProcess() override;
    // The caption centred (darker and a pixel lower right while pressed), then the badge.
    void Draw() override;

    void SetNumFreshNews(int count) { m_nFreshCount = count; }
    int GetNumFreshNews() const { return m_nFreshCount; }

private:
    int m_nFreshCount = 0;
    int m_nBlink = 0;
    CSpriteSet* m_pBadgeSet = nullptr;  // referenced
    IDibBitmap* m_pBadge = nullptr;     // its first frame
};
