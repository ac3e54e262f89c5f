// The value records of the effects running in a round: what a popped marble leaves (an
// explosion), what power-ups set off (animations, rays, bombs). They are plain records kept by
// value in the gameplay screen's four growable arrays; the screen runs and draws them, the
// power-ups append them (game/gameplay/MarblePowerup.h), and the round record saves three of the
// four kinds (animations are not saved). The yard screen keeps animations of its own as well.
//
// Units as named per field. Main thread only.
#pragma once

#include "core/Common.h"

class CSpriteSet;
class IDibBitmap;
struct SerializeHelper2;

// A popped marble's burst: drawn growing to the middle of its clock and fading after it.
struct CExplosion {
    // The clock value of a finished explosion.
    static constexpr FIXED_FLOAT kFinished = -256;

    TVector2D position;                // centre, FIXED_FLOAT
    FIXED_FLOAT clock = 0;             // 0 at creation, +14.0 a frame; kFinished when done
    int red = 0, green = 0, blue = 0;  // 0 .. 255: the colour of the popped marble
    FIXED_FLOAT angle = 0;             // degrees; starts at the popped marble's glow angle

    // What a record read from a save starts as before its fields are read over: finished, white.
    static CExplosion ForReading();
    // The saved fields in order: position x, y, clock, red, green, blue, angle (7 ints).
    void Serialize(SerializeHelper2& h);
};

// Kinds of an animation.
enum : int {
    kAnimationPlain = 0,  // a sprite or image moving, scaling and fading from start to end
    kAnimationRing = 1,   // a bomb's blast ring, which also emits a ring of particles
};

// A moving, scaling, fading sprite or image over a clock (not saved with the round).
struct CAnimation {
    // The clock value of a finished animation.
    static constexpr FIXED_FLOAT kFinished = -256;

    CSpriteSet* spriteSet = nullptr;  // not owned; may be null
    IDibBitmap* image = nullptr;      // not owned; drawn when there is no sprite set
    FIXED_FLOAT frame = 0;            // current frame in 24.8
    FIXED_FLOAT frameStep = 0;        // frames advanced per frame, 24.8
    FIXED_FLOAT clock = 0;            // +1.0 a frame; kFinished when done
    FIXED_FLOAT duration = 0;         // frames, 24.8
    TVector2D start;                  // FIXED_FLOAT points
    TVector2D end;
    FIXED_FLOAT_16 startScale = 0;
    FIXED_FLOAT_16 endScale = 0;
    FIXED_FLOAT_16 startAlpha = 0;  // 0 .. 255.0 in 16.16
    FIXED_FLOAT_16 endAlpha = 0;
    int hold = 0;  // drawn only while 0 or below
    int kind = kAnimationPlain;
    float ringRadius = 0;  // pixels, for kAnimationRing
};

// A ray of the 8-way bomb, moving by its step every substep.
struct CRay {
    TVector2D_16 position;
    TVector2D_16 step;

    // The saved fields in order: position x, y, step x, y (4 ints).
    void Serialize(SerializeHelper2& h);
};

// A bomb's blast, growing over its duration and catching what it reaches.
struct CBomb {
    TVector2D_16 centre;
    int counter = 0;         // frames run, at most the duration
    int duration = 0;        // frames
    FIXED_FLOAT radius = 0;  // full radius in pixels, 24.8

    // The saved fields in order: centre x, y, counter, duration, radius (5 ints).
    void Serialize(SerializeHelper2& h);
};
