// The creatures' timings and speeds, shared by the files of CChicken (private to game/farm).
// Timers count frames of the 30-frame game cycle.
#pragma once

#include "core/Common.h"

namespace creature {

// The bob's speed in 16.16 phase per frame: normally, during a tap's bounce, while jumping.
inline constexpr FIXED_FLOAT_16 kBobSpeed = 1966;
inline constexpr FIXED_FLOAT_16 kTapBounceSpeed = 7864;
inline constexpr FIXED_FLOAT_16 kJumpSpeed = 3932;

// A freshly made creature idles this long before it first chooses.
inline constexpr int kFirstIdleFrames = 30;
// Idling lasts kIdleFrames plus up to kIdleRandom; a walk kWalkFrames plus up to kWalkRandom.
inline constexpr int kIdleFrames = 30;
inline constexpr int kIdleRandom = 30;
inline constexpr int kWalkFrames = 60;
inline constexpr int kWalkRandom = 60;
// A dropped creature walks off for this long; a tapped bird bounces or spins for these.
inline constexpr int kDropWalkFrames = 66;
inline constexpr int kTapBounceFrames = 165;
inline constexpr int kTapSpinFrames = 8;
inline constexpr int kSelectedFrames = 165;

// After arriving at a spot the creature stays kStayFrames plus up to kStayRandom; a jump lasts
// kJumpFrames.
inline constexpr int kStayFrames = 90;
inline constexpr int kStayRandom = 60;
inline constexpr int kJumpFrames = 102;
// A mower or robot turns every kMachineTurnFrames plus up to kMachineTurnRandom while walking.
inline constexpr int kMachineTurnFrames = 165;
inline constexpr int kMachineTurnRandom = 165;
// Creatures keep this many screen pixels away from the screen's sides.
inline constexpr FIXED_FLOAT kScreenMargin = 20 * 256;
// The emotion icon fades over the idle's last kEmotionFadeFrames and grows kEmotionFadeIn a frame.
inline constexpr int kEmotionFadeFrames = 20;
inline constexpr int kEmotionFadeIn = 12;
// Love hearts and healing crosses rise every kEffectEveryFrames from this far above the feet.
inline constexpr int kEffectEveryFrames = 15;
inline constexpr int kEffectRaise = 45;
inline constexpr int kJumpRaise = 60;

}  // namespace creature
