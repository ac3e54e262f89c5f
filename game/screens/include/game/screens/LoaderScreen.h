#pragma once
// The first screen of the game: a short animated intro (the logo with its glow pulse, two flares
// sweeping across with star particles, the word "PRESENTS" uncovered behind them), then the
// loading of everything the start-up left out, a few steps per frame with the percentage at the
// bottom, and finally the start menu (game message 1001).
//
// Its loading steps are the start-up order of the game's own managers: the award, achievements,
// boosts, farm, purchase, arena, mini-quest, news and local-ads managers are created here and
// nowhere else. A step that fails is reported once on stderr (the step and what is missing) and
// asks the game to finish; the shell then ends the run through its normal shut-down.
//
// It has no template: it draws itself and takes every touch.
//
// Depends on: the screen root, the game object and its managers. Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "game/widgets/GameRoot.h"

class IDibBitmap;
class CQuorvanParticleSystemShape2;

class CXLoaderScreen : public XGameRoot {
public:
    // The parent is the game object.
    explicit CXLoaderScreen(CXElement* parent);
    // Deletes the emit shape, the flare and the logo.
    ~CXLoaderScreen() override;

    // The start-up font, the two images, the emit shape, the step count, the button font and the
    // star effect: 1, or 0 at the first that fails.
    int OnInitElement() override;
    // The intro tick (twice after a tap) and the loading steps of one frame.
    void RunProcess() override;
    void Draw() override;
    // Notes the tap and keeps every touch from what lies behind: 1.
    int NotifyPointerEvent(int x, int y, int type) override;

    // Runs one loading step: false when it fails (the failure is described by LastFailure).
    virtual bool ProcessLoadingStep(int step);
    // Total steps from the counts of sprite sets, sound effects, fonts and particle systems.
    void CalcTotalFrames();
    // percent = 100 x current step / total steps, clamped; the percent text follows it.
    void UpdateCurrentPercent();
    // What the last failed step was doing and what it missed ("sound effect 3 (sfx_x.wav)").
    const CommonString& LastFailure() const { return m_LastFailure; }

    // ==== State (public: the tests read the intro and loading counters) =====================
    int m_nTotalSteps = 0;
    int m_nSpriteSetCount = 0;
    int m_nParticleSystemCount = 0;
    int m_nSoundEffectCount = 0;
    int m_nCurrentStep = 0;
    int m_nPercent = 0;
    int m_nTextFade = 0;  // 8.8, 0 .. 65280
    CommonString m_PercentText;
    int m_nTextX = 0;
    FIXED_FLOAT_16 m_nTextScaleX = 32768;
    FIXED_FLOAT_16 m_nTextScaleY = 19661;
    bool m_bIntroRunning = true;
    IDibBitmap* m_pLogo = nullptr;                         // owned
    CQuorvanParticleSystemShape2* m_pEmitShape = nullptr;  // owned
    int m_nPulse = -65280;                                 // 8.8
    int m_nPulseStep = 2560;                               // 8.8
    int m_nIntroTick = 0;
    IDibBitmap* m_pFlare = nullptr;  // owned
    bool m_bSweepRunning = false;
    FIXED_FLOAT m_nSweepProgress = 0;  // 0 .. 256
    int m_nSweepSpeed = 3;
    int m_nMaskX = 0;  // 8.8
    bool m_bTapped = false;

private:
    enum class EAfterIntro { EndFrame, Repeat, Load };
    // The intro's share of a frame: its counters, the glow, the sweep and its stars, the
    // particles and the text fade. Says what the frame does next.
    EAfterIntro IntroTick();
    // The loading share: up to 50 ms of steps, or the start menu once all are done. False when
    // the frame ends with it (the start menu posted, or a step failed).
    bool RunLoadingSteps();
    // The first flare's position (8.8) for the current sweep progress.
    void FlarePosition(int& x1, int& y1) const;
    // One burst of star particles at an 8.8 point.
    void EmitStars(int x, int y);
    // A failed step: one report on stderr for each step that fails, then the finish request.
    void StepFailed(int step);
    bool SoundStep(int effect);
    bool ManagerStep(int step);

    CommonString m_LastFailure;
    int m_nReportedStep = -1;  // the last failed step told on stderr
    bool m_bRestDefined = false;
};
