// CMarblePowerup: a special marble that lies in the play area for a limited time and, when set
// off, acts on the round: the bomb clears a circle, the colour bomb every marble of one or two
// colours, the coin pays the arena's coin value, the 8-way bomb fires rays. It shares the marble
// list, movement, saving and removal of CMarble; this class adds the kinds, the life with its
// blinking end, the hop a coin arrives on, the drawing, and the effect records Activate appends
// to the play field's lists. The gameplay screen decides when one is set off and runs the records.
//
// Units as in CMarble. Main thread only.
#pragma once

#include "game/gameplay/Marble.h"

class CQuorvanParticleSystem2;
class CQuorvanParticleSystemShape2;

// Power-up kinds; the marble's colour type is kPowerUpTypeBase + kind.
enum : int {
    kPowerUpBomb = 0,
    kPowerUpColorBomb = 1,
    kPowerUpCoin = 2,
    kPowerUpEightWay = 3,
    kPowerUpKindCount = 4,
};

class CMarblePowerup : public CMarble {
public:
    // Frames a power-up lies before it disappears; the last kBlinkFrames of them it blinks.
    static constexpr int kLifeFrames = 990;
    static constexpr int kBlinkFrames = 144;

    CMarblePowerup(CGameBase* game, IPlayField* field);
    // Deletes the particle shape.
    ~CMarblePowerup() override;

    // ---- CMarble -----------------------------------------------------------------------------
    // The fading-in or blinking sprite, its shadow on the ground and, when it spins, its glow.
    void Draw() override;
    // A power-up has no danger halo.
    void DrawDanger() override {}
    // The marble's countdown, then the ray turn, the life and blink, the glow turn, the hop and
    // the sparkles.
    void RunProcess() override;
    // The marble's record and the power-up's fields. Reading starts a fresh life, refuses a
    // colour bomb whose colours lie outside 0 .. 3, and takes the colour-bomb set of the colours
    // read.
    int Serialize(IFile* file, bool writing) override;
    // Sets the power-up off: flags it removed, appends its records to the play field's lists
    // (a record a list cannot take is skipped) and plays its sound.
    void Activate() override;
    // The marble's Offset, and the hop's three points.
    void Offset(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) override;

    // ---- Plain operations --------------------------------------------------------------------
    // Colour type 100 + kind, and what the kind is made of (sprite, frame step, scale, flags,
    // colours, ray angle, particle shape). A colour bomb draws its colours from the game's
    // random numbers, the chance of a second one growing with the round's colour-bomb boost.
    void SetPowerUpType(int kind);
    // The bomb's blast radius in pixels: the base radius times 1 with no bomb boost, 1.5 at its
    // top level and 1 + 0.5 L / M between. A boost table without levels counts as no boost.
    float GetRadius() const;
    // The bomb-range ring, additive yellow at radius pixels, fading with the blink; nothing below
    // an alpha of 1.
    void DrawBombCircle(int alpha, float radius);
    // Sends the power-up on a hop from its position to target: the hop's highest lift and its
    // first step per frame, both 16.16 pixels.
    void StartHop(TVector2D_16 target, FIXED_FLOAT_16 height, FIXED_FLOAT_16 firstStep);
    int GetKind() const { return m_nColorType - kPowerUpTypeBase; }
    // The colour mask of a colour bomb: bit c for each of its colours.
    int GetColorMask() const;

    // ==== State (declaration order, after the marble's) =========================================
    FIXED_FLOAT m_nFrameStep = 0;  // frames advanced per draw; 0 shows the rolling frame
    FIXED_FLOAT m_nFrame = 0;
    bool m_bFlagOne = false;  // saved and restored; no use of its own here
    bool m_bCollides = false;
    bool m_bSetOffByMarble = true;
    bool m_bSetOffByFinger = true;
    bool m_bShadow = false;
    bool m_bSpins = true;
    FIXED_FLOAT m_nBaseRadius = 0;  // pixels, 24.8
    int m_nFirstColor = 0;
    FIXED_FLOAT m_nRayAngle = 0;  // degrees
    int m_nLife = kLifeFrames;
    int m_nBlinkAlpha = 0;  // -255 .. 0
    int m_nBlinkStep = 0;
    bool m_bHopping = false;
    TVector2D_16 m_HopPoint;  // on the ground line of the hop
    TVector2D_16 m_HopStart;
    TVector2D_16 m_HopTarget;
    FIXED_FLOAT_16 m_nHopLift = 0;
    FIXED_FLOAT_16 m_nHopHeight = 0;
    FIXED_FLOAT_16 m_nHopStep = 0;
    bool m_bTwoColors = false;
    int m_nSecondColor = 0;
    CQuorvanParticleSystemShape2* m_pParticleShape = nullptr;  // owned

private:
    void RunLife();
    void RunHop();
    void EmitSparkles();
    void ChooseColorBombColors();
    void TakeColorBombSprite();
    // Alpha offset of this draw: fading in over the first 16 frames of life, else the blink.
    int DrawAlphaOffset() const;
    // What Activate appends, by kind.
    void ActivateBomb();
    void ActivateColorBomb();
    void ActivateCoin();
    void ActivateEightWay();
};
