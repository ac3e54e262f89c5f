// Turns a score into a track: every note rendered by its instrument at its step (with a little
// deterministic human timing and velocity), the voices mixed with their sends into one shared
// room, then either folded into a seamless loop or faded out after its tail.
#pragma once

#include "soundgen/Score.h"
#include "soundgen/Signal.h"

namespace soundgen {

// A looping track is exactly StepToSample(totalSteps) long and its last sample runs on into its
// first; a one-shot lasts that plus the tail, fading to 0 over the tail. The peak sits at the
// score's level. The same score always gives the same samples.
[[nodiscard]] Samples RenderScore(const TScore& score);
// The length RenderScore gives the score, in samples.
[[nodiscard]] std::size_t TrackLength(const TScore& score);

}  // namespace soundgen
