// The bird-sound table (Data\bird_sounds.txt) from outside bytes, through the reader the bird
// sounds manager uses. Whatever it accepts, each bird is found by its name and the distinct
// sound ids are distinct.
#include <cstddef>
#include <cstdint>

#include "core/Parser.h"
#include "game/farm/BirdSoundsManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CBirdSoundsManager sounds(nullptr);
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "bird_sounds.txt");
    if (!sounds.ReadDataFromInput(input)) return 0;
    for (int i = 0; i < sounds.GetNumBirds(); ++i) {
        TBirdSounds* bird = sounds.m_Birds[i];
        if (bird == nullptr || sounds.GetSoundsForBird(bird->name) == nullptr) __builtin_trap();
    }
    const int ids = sounds.GetNumSoundIds();
    if (ids > 4096) return 0;  // the pairwise check below stays quick
    for (int i = 0; i < ids; ++i)
        for (int j = i + 1; j < ids; ++j)
            if (sounds.GetSoundId(i).IsEqual(sounds.GetSoundId(j).GetDataConst())) __builtin_trap();
    (void)sounds.AddBirdSoundsToSoundManager();
    return 0;
}
