// The scenario player of the gameplay tutorial: a script of steps run one after another, at most
// one a frame, and the on-screen elements the steps create (the demonstrating hand and the text
// boxes). Every step is blocking: the step after it runs in a later frame at the earliest.
//
// A scenario is built completely (AddStep...) before its first RunProcess and never rewound.
// Steps that act on the play field reach it through the game object's running-tutorial pointer
// (IGameplayHost::GetTutorialScreen), never through a pointer of their own; without a tutorial screen
// each step waits or ends as its kind says. Marbles are taken by their index in the screen's
// list afresh on every run, since the round may delete a marble between two frames.
//
// Units: positions and hand speeds FIXED_FLOAT pixels; marble velocities FIXED_FLOAT pixels a
// frame. Main thread only.
#pragma once

#include <memory>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CBitmapFontText;
class CGameBase;
class CMarble;
class CQuorvanTextFormat;
class CScenario;
class CXGameplayTutorial;
class IDibBitmap;

// A hand or a text box, owned by the scenario and drawn over the play field.
class CScenarioElement {
public:
    enum EKind { kFinger = 0, kTextBox = 1 };
    // Full alpha and the fade per frame.
    static constexpr FIXED_FLOAT kOpaque = 255 * 256;
    static constexpr FIXED_FLOAT kFadeStep = 32 * 256;

    CScenarioElement(CGameBase* game, CScenario* scenario, int kind, int id, FIXED_FLOAT x, FIXED_FLOAT y);
    CScenarioElement(const CScenarioElement&) = delete;
    CScenarioElement& operator=(const CScenarioElement&) = delete;
    virtual ~CScenarioElement() = default;

    // Alpha towards 255.0 while visible, towards 0 otherwise, by 32.0 a frame.
    virtual void RunProcess();
    virtual void Draw(IDibBitmap* dst);

    CGameBase* m_pGame;
    CScenario* m_pScenario;
    int m_nKind;
    int m_nId;
    FIXED_FLOAT m_X;
    FIXED_FLOAT m_Y;
    int m_nVisible = 1;
    FIXED_FLOAT m_Alpha = 0;
};

// The demonstrating hand, pressing or raised; drawn by the tutorial screen.
class CScenarioElementFinger : public CScenarioElement {
public:
    CScenarioElementFinger(CGameBase* game, CScenario* scenario, FIXED_FLOAT x, FIXED_FLOAT y);
    // Nothing without a tutorial screen or at alpha 0.
    void Draw(IDibBitmap* dst) override;

    bool m_bPressed = false;
};

// Lines of text broken to a width, left-aligned, in one colour.
class CScenarioElementTextBox : public CScenarioElement {
public:
    CScenarioElementTextBox(CGameBase* game, CScenario* scenario, int id, int x, int y, int width,
                            CBitmapFontText* font, const char* text, int r, int g, int b);
    ~CScenarioElementTextBox() override;
    // Breaks the text into lines of the width in the font: 1, or 0 when it cannot (no font, no
    // text, no memory).
    [[nodiscard]] int PostConstruct();
    void Draw(IDibBitmap* dst) override;

    int m_nWidth;
    CBitmapFontText* m_pFont;  // the game's; not owned
    CommonString m_Text;
    int m_nRed = 255;
    int m_nGreen = 255;
    int m_nBlue = 255;
    std::unique_ptr<CQuorvanTextFormat> m_pFormat;
};

// One step of a script. The base is done on its first run.
class CScenarioStep {
public:
    CScenarioStep(CGameBase* game, CScenario* scenario) : m_pGame(game), m_pScenario(scenario) {}
    CScenarioStep(const CScenarioStep&) = delete;
    CScenarioStep& operator=(const CScenarioStep&) = delete;
    virtual ~CScenarioStep() = default;

    virtual void RunProcess() { m_bDone = true; }

    CGameBase* m_pGame;
    CScenario* m_pScenario;
    bool m_bBlocking = true;
    bool m_bDone = false;

protected:
    // The running tutorial screen of the game object, or null.
    CXGameplayTutorial* Screen() const;
};

// Counts frames down by one a run; done on the run that finds them below 1 (frames + 1 runs).
class CScenarioStepDelay : public CScenarioStep {
public:
    CScenarioStepDelay(CGameBase* game, CScenario* scenario, int frames)
        : CScenarioStep(game, scenario), m_nFrames(frames) {}
    void RunProcess() override;

    int m_nFrames;
};

// Appends a hand at a point, visible, alpha 0.
class CScenarioStepShowFinger : public CScenarioStep {
public:
    CScenarioStepShowFinger(CGameBase* game, CScenario* scenario, FIXED_FLOAT x, FIXED_FLOAT y)
        : CScenarioStep(game, scenario), m_X(x), m_Y(y) {}
    void RunProcess() override;

    FIXED_FLOAT m_X;
    FIXED_FLOAT m_Y;
};

// Hides the last hand and waits until it has faded out (16.0 a run on top of its own fade).
class CScenarioStepHideFinger : public CScenarioStep {
public:
    static constexpr FIXED_FLOAT kExtraFade = 16 * 256;
    using CScenarioStep::CScenarioStep;
    void RunProcess() override;

    bool m_bStarted = false;
    CScenarioElementFinger* m_pFinger = nullptr;  // the scenario's, which keeps its hands to the end
};

// A marble of a colour at a point, moving by (vx, vy) pixels a frame; waits for a screen.
class CScenarioStepSpawnMarble : public CScenarioStep {
public:
    CScenarioStepSpawnMarble(CGameBase* game, CScenario* scenario, int colour, FIXED_FLOAT x, FIXED_FLOAT y,
                             FIXED_FLOAT vx, FIXED_FLOAT vy)
        : CScenarioStep(game, scenario), m_nColour(colour), m_X(x), m_Y(y), m_VX(vx), m_VY(vy) {}
    void RunProcess() override;

    int m_nColour;
    FIXED_FLOAT m_X, m_Y, m_VX, m_VY;
};

// Waits until every marble of the screen is fully visible (or there are none).
class CScenarioStepMarblesVisible : public CScenarioStep {
public:
    using CScenarioStep::CScenarioStep;
    void RunProcess() override;
};

// Moves the last hand by (dx, dy) at a speed in pixels a run.
class CScenarioStepMoveFinger : public CScenarioStep {
public:
    CScenarioStepMoveFinger(CGameBase* game, CScenario* scenario, FIXED_FLOAT dx, FIXED_FLOAT dy, FIXED_FLOAT speed)
        : CScenarioStep(game, scenario), m_DX(dx), m_DY(dy), m_Speed(speed) {}
    void RunProcess() override;

    FIXED_FLOAT m_DX, m_DY, m_Speed;
    bool m_bStarted = false;
    CScenarioElementFinger* m_pFinger = nullptr;
    FIXED_FLOAT m_TargetX = 0, m_TargetY = 0;
};

// Moves the last hand onto a marble of the screen by 6 pixels a run; with drag, every run then
// moves the finger there on the play field (a move event). The marble is taken by its index
// afresh on each run: once it is gone (deleted, or flagged for deletion) the step ends.
class CScenarioStepMoveFingerToMarble : public CScenarioStep {
public:
    static constexpr FIXED_FLOAT kStep = 1536;         // 6 pixels
    static constexpr FIXED_FLOAT kArriveAbove = 1537;  // a distance of this or more takes a step
    CScenarioStepMoveFingerToMarble(CGameBase* game, CScenario* scenario, int index, bool drag)
        : CScenarioStep(game, scenario), m_nIndex(index), m_bDrag(drag) {}
    void RunProcess() override;

    int m_nIndex;
    bool m_bDrag;
    bool m_bStarted = false;
    CScenarioElementFinger* m_pFinger = nullptr;
};

// A pointer event on the play field (1 press, 3 move, 2 release) at a point, or at the hand
// when the point is (-1.0, -1.0); the hand goes there and shows pressed but after a release.
class CScenarioStepTouchEvent : public CScenarioStep {
public:
    static constexpr FIXED_FLOAT kAtFinger = -256;  // -1.0
    CScenarioStepTouchEvent(CGameBase* game, CScenario* scenario, FIXED_FLOAT x, FIXED_FLOAT y, int type)
        : CScenarioStep(game, scenario), m_X(x), m_Y(y), m_nType(type) {}
    void RunProcess() override;

    FIXED_FLOAT m_X, m_Y;
    int m_nType;

protected:
    // Sends the event at (x, y) through the screen's tutorial input, moving the hand along.
    void Touch(CXGameplayTutorial* screen, FIXED_FLOAT x, FIXED_FLOAT y, int type);
};

// A press at the whole-pixel centre of the screen's marble at an index.
class CScenarioStepFingerDownOnMarble : public CScenarioStepTouchEvent {
public:
    CScenarioStepFingerDownOnMarble(CGameBase* game, CScenario* scenario, int index)
        : CScenarioStepTouchEvent(game, scenario, 0, 0, 1), m_nIndex(index) {}
    void RunProcess() override;

    int m_nIndex;
};

// Shows a text box; one that cannot be laid out is dropped and the script goes on.
class CScenarioStepShowTextBox : public CScenarioStep {
public:
    CScenarioStepShowTextBox(CGameBase* game, CScenario* scenario, int id, int x, int y, int width,
                             CBitmapFontText* font, const char* text, int r, int g, int b)
        : CScenarioStep(game, scenario),
          m_nId(id),
          m_nX(x),
          m_nY(y),
          m_nWidth(width),
          m_pFont(font),
          m_Text(text),
          m_nRed(r),
          m_nGreen(g),
          m_nBlue(b) {}
    void RunProcess() override;

    int m_nId, m_nX, m_nY, m_nWidth;
    CBitmapFontText* m_pFont;
    CommonString m_Text;
    int m_nRed, m_nGreen, m_nBlue;
};

// Removes the last text box with an id (found or not).
class CScenarioStepDestroyTextBox : public CScenarioStep {
public:
    CScenarioStepDestroyTextBox(CGameBase* game, CScenario* scenario, int id)
        : CScenarioStep(game, scenario), m_nId(id) {}
    void RunProcess() override;

    int m_nId;
};

class CScenario {
public:
    explicit CScenario(CGameBase* game);
    CScenario(const CScenario&) = delete;
    CScenario& operator=(const CScenario&) = delete;
    // The elements go first, then the steps.
    ~CScenario();

    int PostConstruct() { return 1; }
    // Runs the first step not yet done (if any), then every element's fade; a frame that finds no
    // step to run finishes the scenario.
    void RunProcess();
    // Every element, in list order.
    void Draw(IDibBitmap* dst);
    void OnScenarioFinished() { m_bFinished = true; }

    // ---- Building: each appends one step; when the list cannot grow the step is dropped and the
    // scenario is no longer built (unusable). -------------------------------------------------
    void AddStepDelay(int frames);
    void AddStepShowFinger(FIXED_FLOAT x, FIXED_FLOAT y, bool unused);
    void AddStepHideFinger();
    void AddStepSpawnMarble(int colour, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT vx, FIXED_FLOAT vy);
    void AddStepMarblesVisible();
    void AddStepMoveFinger(FIXED_FLOAT dx, FIXED_FLOAT dy, FIXED_FLOAT speed);
    void AddStepMoveFingerToMarble(int index, bool drag);
    void AddStepTouchEvent(FIXED_FLOAT x, FIXED_FLOAT y, int type);
    void AddStepFingerDownOnMarble(int index);
    void AddStepShowTextBox(int id, int x, int y, int width, CBitmapFontText* font, const char* text, int r, int g,
                            int b);
    void AddStepDestroyTextBox(int id);

    // ---- For the steps ---------------------------------------------------------------------
    // The last hand of the element list, or null.
    CScenarioElementFinger* LastFinger();
    // Appends an element, owning it: false (the element deleted) when the list cannot grow.
    bool AddElement(CScenarioElement* element);
    // Removes and deletes the last text box with that id; the others keep their order.
    void DestroyTextBox(int id);

    bool IsFinished() const { return m_bFinished; }
    bool IsBuilt() const { return m_bBuilt; }

    CGameBase* m_pGame;
    bool m_bFinished = false;
    CQuorvanObjPtrArray<CScenarioStep*> m_Steps;
    CQuorvanObjPtrArray<CScenarioElement*> m_Elements;
    bool m_bBuilt = true;

private:
    void AddStep(CScenarioStep* step);
};
