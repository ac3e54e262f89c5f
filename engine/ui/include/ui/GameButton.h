#pragma once
// The game's buttons. XGameButton draws its background frame at its natural size centred on the
// button (frame 0 idle; while pressed frame 2, or 1 with two frames), or, as a one-state button,
// frame 0 shrunk to 0.9 while pressed; its caption shrinks about its centre while pressed. It
// plays "SFX_BUTTON_PRESSED" through the game's sound manager when it reports a press (601), and
// may hit-test its element rectangle instead of its frame. XRectButton always does.
//
// Depends on: ui (button); the sound manager and the image rotator through IElementHost. Main
// thread only.

#include "ui/Button.h"

class XGameButton : public XButton {
public:
    XGameButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // Background (one-state or by pressed state), then the caption; nothing below opacity 1.
    void Draw() override;
    // The element rectangle with the rectangle-hit flag (edges inside), else the button's frame.
    bool Contains(int x, int y) override;
    // A press (601) first plays the press sound when the flag is set; then the message goes out.
    int SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) override;

    // Frame 0, 2 or 1 by the pressed state and the set's frame count, centred, natural size.
    void DrawButtonBackground2States();
    // Frame 0 through the rotator, centred, scaled 0.9 while pressed.
    void DrawButtonBackground1State();
    // The caption centred; while pressed (and nothing above fades) drawn at 0.9 about its centre.
    void DrawButtonText2();

    void SetOneState(bool oneState) { m_bOneState = oneState; }
    void SetRectHit(bool rectHit) { m_bRectHit = rectHit; }
    void SetPressSound(bool pressSound) { m_bPressSound = pressSound; }
    bool IsOneState() const { return m_bOneState; }
    bool HasRectHit() const { return m_bRectHit; }
    bool HasPressSound() const { return m_bPressSound; }

protected:
    // Pointer input of a list row: a press reports 601, a move presses while inside, a release
    // reports 600; the capture is left to the list. 0 when disabled, hidden or fading.
    int NotifyPointerEventAsRow(int x, int y, int type);

    bool m_bOneState = false;
    bool m_bRectHit = false;
    bool m_bPressSound = true;
};

class XRectButton : public XGameButton {
public:
    using XGameButton::XGameButton;
    // The element rectangle, edges inside.
    bool Contains(int x, int y) override { return CXElement::Contains(x, y); }
};
