// What the marbles, the power-ups and the floating texts ask of the round they run in: the play
// rectangle and its two area tests, the images and sprite sets the round has loaded for them, the
// round's boost levels, the marble list, the four effect lists they append to, and the two
// particle systems their sparkles go to. The gameplay screen implements it; tests use a fake
// (tests/support/include/testsupport/FakePlayField.h). The game's own services (sprite-set
// manager, rotator, back buffer, sounds, random numbers, fonts) come from the game object each
// object keeps.
//
// Threads: main thread only. Every pointer handed out stays owned by the round.
#pragma once

#include "core/Common.h"
#include "core/QuorvanArray.h"
#include "game/widgets/JumpString.h"

class CMarble;
class CSpriteSet;
class IDibBitmap;
class CQuorvanParticleSystem2;
struct CExplosion;
struct CAnimation;
struct CRay;
struct CBomb;

class IPlayField : public IJumpStringArea {
public:
    // ---- The area (and, from IJumpStringArea, the play rectangle and the coin pictures) ------
    // The marble's centre lies strictly inside the rectangle widened by 14 pixels on every side.
    virtual bool IsMarbleInPlayRect(CMarble* marble) = 0;
    // IsMarbleInPlayRect, or the point 42 pixels ahead along its direction lies strictly inside
    // the rectangle itself.
    virtual bool IsMarbleArrowInPlayRect(CMarble* marble) = 0;

    // ---- Images and sets the round holds (null when missing: whatever needs one is not drawn)
    virtual IDibBitmap* GetGlowImage() = 0;       // first sprite of "Flare": the combo glow ring
    virtual IDibBitmap* GetDangerImage() = 0;     // first sprite of "DangerCircle"
    virtual IDibBitmap* GetBombRangeImage() = 0;  // first sprite of "BombRange", radius 128 pixels
    // The colour-bomb set of a colour mask (bit 0 red, 1 green, 2 blue, 3 yellow); null for the
    // masks without a set and outside 0 .. 15.
    virtual CSpriteSet* GetColorBombSet(int colourMask) = 0;

    // ---- The round ---------------------------------------------------------------------------
    // The round's level of a boost (UpgradeType, game/progress/UpgradeManager.h); 0 outside.
    virtual int GetBoostLevel(int type) = 0;
    // The top level of a boost: its number of levels in the boost table less one (below 1 when
    // the table has no levels for it).
    virtual int GetBoostTopLevel(int type) = 0;
    // The marbles of the round, power-ups among them, in list order.
    virtual CQuorvanObjPtrArray<CMarble*>& Marbles() = 0;
    // The four effect lists; power-ups append to them.
    virtual CQuorvanArray<CExplosion>& Explosions() = 0;
    virtual CQuorvanArray<CAnimation>& Animations() = 0;
    virtual CQuorvanArray<CRay>& Rays() = 0;
    virtual CQuorvanArray<CBomb>& Bombs() = 0;
    // The sparkles of a lying colour bomb (the game's particle system "ColorBomb") and of an 8-way
    // bomb ("XRayCenter"); null when missing.
    virtual CQuorvanParticleSystem2* GetColorBombSparkles() = 0;
    virtual CQuorvanParticleSystem2* GetEightWaySparkles() = 0;

protected:
    // Play fields are never deleted through this interface.
    ~IPlayField() = default;
};
