// "Data\miniquests.txt" from outside bytes, through the reader the game uses; every quest it
// keeps must be found again by the look-ups.
#include <cstddef>
#include <cstdint>

#include "core/Parser.h"
#include "game/progress/MiniQuestManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CMiniQuestManager manager(nullptr);
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "miniquests.txt");
    if (!manager.ReadQuestDefsFromInput(input)) __builtin_trap();  // only memory can fail it
    for (int s = 0; s < manager.GetNumSets(); ++s) {
        const MiniQuestsSet* set = manager.GetSet(s);
        for (int q = 0; q < set->quests.count; ++q) {
            const MiniQuest* quest = set->quests.data[q];
            if (manager.GetMiniQuest(set->yardId, quest->id) == nullptr) __builtin_trap();
            if (quest->buy1.Length() > 0 && manager.FindMiniQuestContainingObject(set->yardId, quest->buy1) == nullptr)
                __builtin_trap();
        }
    }
    return 0;
}
