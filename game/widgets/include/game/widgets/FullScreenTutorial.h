// The full-screen hint: the whole screen darkened but for a round spot ("tutorial_focus") that
// glides from a start point onto the target, the text above or below the target with the white
// arrow ("tutorial_arrow") pointing at it, and the close button; arrow, text and button bob.
// Used by the play screen's first-run hints (kinds 0 to 2). See FocusedTutorial.h for the
// host's part. Main thread only.
#pragma once

#include "game/widgets/FocusedTutorial.h"

class CFullScreenTutorial : public CFocusedTutorial {
public:
    // (x, y): the target point in screen pixels.
    CFullScreenTutorial(CGameBase* game, int kind, int x, int y, const char* text, XWidget* focus);

    // The fade, the spot's glide, the text's own fade-in and the bobbing.
    void RunProcess() override;
    // The spot and the darkness around it, then the text, the arrow and the close button.
    void Draw(IDibBitmap* dst) override;
    bool HitTestCloseButton(int x, int y) override;

    // Where the spot's middle is drawn (its y eased between start and target).
    double GetSpotX() const { return m_dSpotX; }
    double GetSpotShownY() const { return m_dSpotShownY; }
    double GetTextAlpha() const { return m_dTextAlpha; }

protected:
    // "tutorial_focus", the spot's start and glide, the text box, the arrow and the close button:
    // false without the spot's set or when the text cannot be broken into lines.
    bool LayOut() override;

private:
    // One axis of the glide: a step until within one step of the target, then on it.
    static void Glide(double& value, double step, double target);

    IDibBitmap* m_pFocusImage = nullptr;  // frame of the sprite set; not owned
    double m_dSpotStartX = 0, m_dSpotStartY = 0;
    double m_dSpotX = 0, m_dSpotY = 0;
    double m_dSpotShownY = 0;
    double m_dSpotStepX = 0, m_dSpotStepY = 0;
    double m_dBob[2] = {};
    double m_dBobSpeed[2] = {};
    double m_dBobAmplitude[2] = {};
    double m_dBobShown[2] = {};
};
