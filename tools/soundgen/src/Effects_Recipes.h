// The bird calls' recipes, defined in Effects_Birds.cpp and listed in the table of Effects.cpp.
#pragma once

#include "soundgen/Signal.h"

namespace soundgen::recipes {

Samples Cluck1();
Samples Cluck2();
Samples Cluck3();
Samples CluckQuestion();
Samples Peep1();
Samples Peep2();
Samples Crow();
Samples Quack1();
Samples Quack2();
Samples Honk();
Samples Gobble();
Samples Coo();
Samples Squawk();
Samples Hoot();
Samples Chirp();
Samples Trumpet();
Samples Whee();

}  // namespace soundgen::recipes
