// The game's effect sounds, one recipe per file name ("sfx_pop.wav", "cluck1.wav", ...). Every
// sound comes out DC-free at its recipe's peak level (at most -3 dBFS) with 5 ms fades at both
// ends, except loops, which are made periodic instead so their wrap is seamless.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "soundgen/Signal.h"

namespace soundgen {

struct TEffectInfo {
    std::string name;
    double peakDb = -6.0;
    bool loop = false;
};

// Makes the sound of an effect file; false when no recipe has that name.
[[nodiscard]] bool MakeEffect(std::string_view fileName, Samples& out);
// Every recipe, in table order.
[[nodiscard]] std::vector<TEffectInfo> ListEffects();

}  // namespace soundgen
