// The gameplay tutorial: the round screen in its tutorial mode (no score, no timed spawning, no
// lost lives, no game over, no round texts, nothing written to the profile) playing three
// scripted lessons with the scenario player on the real play field: Match (a path from a red
// marble to another red one), WrongColor (a red path onto a green marble) and Combos (one path
// through two other reds). A demonstrating hand presses, drags and lets go; text boxes explain.
//
// Real touches reach the screen's buttons but never the play field: only a scenario step's
// event, sent while the tutorial input flag is set, goes through the round's pointer handling.
// Lessons change behind a black curtain over the play area that darkens by 32 a frame, then
// lifts on the new lesson. The skip button (CXGameplayTutorialPlayButton) pulsates once all
// three lessons have been shown. Skip, or next on the last lesson, saves the player data and
// starts a real round (1002); back opens the play screen (1008).
//
// While the screen exists the game object's running-tutorial pointer names it; the scenario
// steps reach the screen only through that pointer.
//
// Depends on: the round screen, the scenario player, the game object (fonts, sets, profile,
// messages), ui (game button, check box). Main thread only.
#pragma once

#include <memory>

#include "core/Common.h"
#include "game/gameplay/GameplaySurvival.h"
#include "ui/GameButton.h"

class CScenario;

// The skip button: a game button that can pulsate (its frame glowing, its caption swelling).
class CXGameplayTutorialPlayButton : public XGameButton {
public:
    static constexpr float kStep = 0.01f;
    static constexpr float kMinimum = 0.95f;
    static constexpr float kMaximum = 1.15f;

    CXGameplayTutorialPlayButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // The button's own set-up, then the pulsation when it was asked for before.
    int OnInitWidget() override;
    // The widget's frame, then one step of the pulse while pulsating.
    void RunProcess() override;
    // While pulsating: the frame, its additive glow and the swelling caption; else a game button.
    void Draw() override;

    // Starts the pulse from 1.0 upwards.
    void StartPulsating();
    // The caption's scale: the pulse eased along a sine between the bounds.
    float EasedScale() const;

    bool m_bActive = false;
    float m_fScale = 0;
    float m_fStep = 0;
    float m_fStepSize = 0;
    float m_fMinimum = 0;
    float m_fMaximum = 1.0f;
    bool m_bPulsating = false;
    bool m_bPulsateOnInit = false;
};

class CXGameplayTutorial : public CXGameplaySurvival {
public:
    enum ELesson { kLessonMatch = 0, kLessonWrongColor = 1, kLessonCombos = 2, kLessonCount = 3 };
    // The curtain's step a frame and its full alpha.
    static constexpr int kCurtainStep = 32;
    static constexpr int kOpaque = 255;
    // The play area of the tutorial, before the round's ad-strip shift: top and bottom margin.
    static constexpr int kPlayTopPx = 92;
    static constexpr int kPlayHeightLessPx = 147;
    // The lesson text boxes: width, left inset, the lesson text's drop below the play area's top.
    static constexpr int kTextWidthPx = 190;
    static constexpr int kTextInsetPx = 15;
    static constexpr int kTextDropPx = 250;

    // The round screen with its tutorial flag set; names itself the game's running tutorial.
    explicit CXGameplayTutorial(CXElement* parent);
    // Deletes the scenario; the game's running-tutorial pointer is cleared when it names this.
    ~CXGameplayTutorial() override;

    // The round's screen (from "root_tutorial_NoAds"), then the skip button, the check box (ticked
    // when the profile's tutorial switch is off), the caption, and the first lesson. 1, or 0 when
    // the round's screen cannot be built.
    int OnInitElement() override;
    // The round in tutorial mode, the lesson, then the curtain.
    void RunProcess() override;
    // The round, the caption again above the field, the lesson's hand and texts, the curtain.
    void Draw() override;
    // A scenario step's event (tutorial input set) goes to the round's field; a real touch only to
    // the widgets.
    int NotifyPointerEvent(int x, int y, int type) override;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The skip button is made as a CXGameplayTutorialPlayButton; every other widget as the round's.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // The round's rectangle with top 92 and height H - 147.
    TCoordRect2D SetupPlayRect() override;

    // Saves the player data and starts a real round.
    void FinishTutorial();
    // Starts the curtain towards a lesson (0 to 2; others do nothing).
    void FadeToScenario(int lesson);
    // Empties the field and builds a lesson's script (1 WrongColor, 2 Combos, other values
    // Match); 3 and above are ignored.
    void SetCurrentScenario(int lesson);
    // The skip button pulsates from now on (once).
    void PulsateSkipButton();
    // The demonstrating hand at (x, y): pressing with its fingertip on the point, or raised over
    // its shadow; alpha 0 .. 255.
    void DrawFingerAt(IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, bool pressed, int alpha = kOpaque);

    // ==== State ================================================================================
    std::unique_ptr<CScenario> m_pScenario;
    int m_nCurrentLesson = 0;
    XWidget* m_pSkipButton = nullptr;  // the template's, not owned
    int m_nNextLesson = 0;
    bool m_bSwitching = false;
    int m_nLessonAlpha = kOpaque;
    XWidget* m_pCaption = nullptr;  // the template's, not owned
    bool m_bSkipPulsates = false;
    int m_nMatchBuilds = 0;

private:
    // The three scripts over the play area, into a new scenario: false when it could not be made.
    bool BuildScenario(int lesson);
};
