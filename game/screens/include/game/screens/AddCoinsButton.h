// The add-coins button: a game button that shows a coin amount as "x" and a number beside the
// coin picture of its image, in the game's small font, white. While pressed both texts shrink to
// 0.9 towards the button's centre with its image; while the button or a dialog above it fades
// they are drawn unscaled. Whoever shows the button sets the number as its caption.
//
// Depends on: ui (game button); the game's small font (game/progress, its host). Main thread only.
#pragma once

#include "ui/GameButton.h"

// Where the button's two texts go, in pixels from its drawing rectangle's top-left.
struct TAddCoinsTextLayout {
    float signX = 0.0f;          // the "x": always 36
    float signY = 0.0f;          // the "x": two pixels above the number
    float numberX = 0.0f;        // after the "x" and a gap
    float textY = 0.0f;          // the number: centred in the button's height
    float pressedSignDx = 0.0f;  // towards the centre while pressed
    float pressedNumberDx = 0.0f;
    float pressedDy = 0.0f;
    float pressedScale = 1.0f;
};

class CXAddCoinsButton : public XGameButton {
public:
    CXAddCoinsButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    ~CXAddCoinsButton() override;

    // The button's initialisation, then the small font in white without effect and the layout of
    // the texts from the button's size; 0 when the button's own initialisation fails.
    int OnInitWidget() override;
    // Nothing below opacity 1; else the two-state background, then the texts.
    void Draw() override;
    // The "x" and the caption; nothing without a caption or a font.
    void DrawButtonAddCoinsText();

    const TAddCoinsTextLayout& GetTextLayout() const { return m_Layout; }

private:
    TAddCoinsTextLayout m_Layout;
};
