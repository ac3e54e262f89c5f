// The music's instruments: each renders one note (or chord, or drum hit) of a voice into its own
// buffer, from the onset to the end of its tail, before the sequencer mixes it in.
#pragma once

#include <cstdint>

#include "soundgen/Score.h"
#include "soundgen/Signal.h"

namespace soundgen {

// The note held for `heldSeconds`, tails included, at the voice's gain and the event's
// velocity. `seed` varies the noise of plucks and drums from hit to hit.
[[nodiscard]] Samples RenderNote(const TVoice& voice, const TNoteEvent& event, double heldSeconds, std::uint32_t seed);

}  // namespace soundgen
