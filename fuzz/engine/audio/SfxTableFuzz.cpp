// The effect table file from outside bytes, through the same reader the game uses.
#include <cstddef>
#include <cstdint>

#include "audio/SoundManager.h"
#include "core/Parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CSoundManager manager(nullptr);
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "sfx.txt");
    manager.ReadSfxFromInput(input);
    for (int i = 0; i < manager.GetNumSoundFX(); ++i) {
        SoundFXData* entry = manager.GetSoundFX(i);
        if (manager.FindSoundFX(entry->name) == nullptr && entry->name.Length() > 0) __builtin_trap();
    }
    return 0;
}
