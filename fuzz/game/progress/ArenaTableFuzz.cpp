// The arena table (Data\arenas.txt) from outside bytes, through the reader the arena manager uses.
// Whatever it accepts, every arena it keeps is found again by its id and index, and the unlock
// test runs over it.
#include <cstddef>
#include <cstdint>

#include "core/Parser.h"
#include "game/progress/ArenaManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CArenaManager arenas(nullptr);
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "arenas.txt");
    if (!arenas.ReadFromInput(input)) return 0;
    const char* const completed[] = {"yard1", "yard2"};
    for (int i = 0; i < arenas.GetNumArenas(); ++i) {
        Arena* arena = arenas.GetArenaAt(i);
        if (arena == nullptr) __builtin_trap();
        // The last arena with an id is the one its look-ups find.
        const int found = arenas.GetIndexOfArena(arena->id);
        if (arena->id.Length() > 0 && (found < i || arenas.GetArena(arena->id.GetDataConst()) == nullptr))
            __builtin_trap();
        (void)CArenaManager::IsArenaUnlockedFor(arena, completed);
    }
    if (arenas.GetArenaAt(arenas.GetNumArenas()) != nullptr || arenas.GetArenaAt(-1) != nullptr) __builtin_trap();
    return 0;
}
