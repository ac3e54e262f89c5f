#pragma once
// The start menu's news widgets. The news button: a rectangle-hit button with its caption and,
// while there are fresh news items, a badge beside the caption with their number blinking on it
// (16 frames on, 16 off). The news dialog: the current item's picture slideshow with its
// cross-fades (or a line saying why there is none, or that it is loading), the steps to the next
// and the previous item, and a tap on the picture, which opens the item's link in the browser. The factories make
// them for btn_startmenu_news and dlg_news; the start menu sets the count and announces each
// opening of the dialog to the news engine. Without a news engine both do nothing news-related.
//
// Depends on: ui (game buttons and dialogs), sprites (the badge's set), the game's fonts
// (game/progress/ProgressHost.h), the news engine through INewsHost (game/news/NewsHost.h). Main thread only.

#include "ui/GameButton.h"
#include "ui/GameDialog.h"

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

class CXNewsDialog : public XGameDialog {
public:
    // The loading dots' counter: 64 a slideshow tick, back to 0 at 153600; / 256 mod 4 dots.
    static constexpr int kLoadingStep = 64;
    static constexpr int kLoadingWrap = 153600;

    using XGameDialog::XGameDialog;

    // The dialog, then no press and the picture's placeholder img_news_dummy (null without one).
    int OnInitWidget() override;
    // btn_news_next and btn_news_prev step through the items (1); the rest is the dialog's.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The dialog; then, fully shown, one slideshow tick and the loading dots move on.
    void RunProcess() override;
    // A press on the picture and its release over it open the item's link; everything else is
    // the dialog's.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The dialog, then what the engine has: no news, a connection error, loading, or the pictures.
    void Draw() override;

    int GetLoadingCounter() const { return m_nLoadingCounter; }
    bool IsPicturePressed() const { return m_bPressed; }
    bool IsPressedInside() const { return m_bPressedInside; }
    // Where the last picture was drawn (FIXED_FLOAT).
    const TCoordRect2D& GetPictureRect() const { return m_PictureRect; }
    // The centre the dialog draws around, in pixels.
    TCoord2D GetContentCentre();
    // How wide a line of the no-news and connection-error messages may be: the panel less its
    // margins. A wider line is wrapped.
    int GetMessageWidth();

private:
    bool PictureContains(int x, int y) const;
    void DrawCentredLine(const char* text, int y, unsigned char r, unsigned char g, unsigned char b, int alpha);
    // A headline in the headline colour over two white lines, as one block centred on centreY;
    // when either line is too wide for the panel, their words are wrapped to it.
    void DrawMessage(const char* headline, const char* first, const char* second, int centreY, int alpha);
    void DrawLayer(IDibBitmap* picture, const TCoord2D& centre, int alpha);

    int m_nLoadingCounter = 0;
    bool m_bPressedInside = false;
    bool m_bPressed = false;
    TCoordRect2D m_PictureRect{0, 0, 0, 0};
    XWidget* m_pPicturePlaceholder = nullptr;  // a child
};
