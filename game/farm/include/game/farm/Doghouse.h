// The doghouse (CDoghouse): a kennel with a dog in its door whose eyelids blink now and then;
// sometimes the dog dozes, one eye shut, opening them for a moment from time to time. Made by
// the farm manager's factory for "doghouse" (variant 1) and "doghouse2" (variant 2), each with
// its own eyelid sets and face position. Main thread only.
#pragma once

#include "game/farm/FarmDecorObject.h"

class CDoghouse : public CFarmDecorObject {
public:
    // Kind 6; variant 1 or 2.
    CDoghouse(CGameBase* game, const char* id, int variant);

    // The decor part, then the two eyelid sets of the variant: both must exist, take a
    // reference and have a frame.
    [[nodiscard]] bool Init(int argument) override;
    // The decor, then the eyelids (whatever the passes).
    void Draw(int passes) override;
    // The decor, then the blink and doze timers and the lids.
    void RunProcess() override;

    // ==== State =================================================================================
    CSpriteSet* m_pLeftEye = nullptr;  // eyelid frames from open (0) to shut
    CSpriteSet* m_pRightEye = nullptr;
    int m_nDozing = 0;      // 1: one eye stays shut and the other opens briefly
    double m_dLid = 0;      // the current eyelid frame
    int m_nLastFrame = 0;   // the left set's last frame: shut
    bool m_bPhase = false;  // true while blinking (awake) or peeking (dozing)
    int m_nTimer = 0;       // frames left of the phase
    int m_nVariant = 1;
    double m_dEyeOffsetX = 0;  // where the face sits left of and above the anchor, pixels
    double m_dEyeOffsetY = 0;
};
