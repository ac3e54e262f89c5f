#pragma once
// The credits screen: a built-in credits text, word-wrapped and centred inside a clip area framed
// by two lines of the template, rolls up once from below the area and can then be dragged and
// flung, with springy ends and lines fading in the top and bottom fifths. Its close button returns
// to the start menu.
//
// Depends on: the screen root, the game's small font. Main thread only.

#include <memory>

#include "core/Common.h"
#include "game/widgets/GameRoot.h"

class CBitmapFontText;
class CQuorvanTextFormat;
class CSpriteSet;

// The credits the screen shows: plain text, one line per '\n'.
extern const char* const g_strCreditsText;

class CXAboutScreen : public XGameRoot {
public:
    // The clip area starts at (10, 80), screen width - 20 by screen height - 100.
    explicit CXAboutScreen(CXElement* parent);
    ~CXAboutScreen() override;

    // Builds the screen from "root_about", frames the clip area and wraps the text: 1, or 0 when
    // the root, the font or the text cannot be had.
    int OnInitElement() override;
    // The roll, or the drag, fling and springs.
    void RunProcess() override;
    // The panel the credits stand on, the dimmed clip area and the visible lines.
    void PreDraw() override;
    // The widgets first; what they leave drags the text.
    int NotifyPointerEvent(int x, int y, int type) override;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // Line height: the font's character height plus its line spacing, which is 1 while the
    // screen lives.
    int LineHeight() const;

    TCoordRect2D m_Clip;
    int m_nTextHeight = 0;
    bool m_bRolling = false;
    bool m_bDragging = false;
    int m_nLastY = 0;
    int m_nLastMove = 0;
    FIXED_FLOAT m_nPosition = 0;  // how far the text is scrolled up
    FIXED_FLOAT m_nMinimum = 0;
    FIXED_FLOAT m_nMaximum = 0;
    FIXED_FLOAT m_nSpeed = 0;
    FIXED_FLOAT m_nSpring = 0;

private:
    CBitmapFontText* Font() const;

    std::unique_ptr<CQuorvanTextFormat> m_pText;
    // The font whose line spacing the screen set to 1, and the spacing it had before; the
    // destructor puts it back.
    CBitmapFontText* m_pSpacedFont = nullptr;
    int m_nSavedLineSpacing = 0;
    CSpriteSet* m_pPanel = nullptr;  // the dialogs' panel tiles, referenced while the screen lives
};
