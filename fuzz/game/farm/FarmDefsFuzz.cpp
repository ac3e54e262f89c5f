// The yard table and a yard's object file from outside bytes, through the readers the farm
// manager uses: the bytes are read as a yard table, then as the object file of a yard.
#include <cstddef>
#include <cstdint>

#include "core/Parser.h"
#include "game/farm/FarmManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CFarmManager farm(nullptr);
    TParseInput yards = ParseInputOf({reinterpret_cast<const char*>(data), size}, "yards.txt");
    if (!farm.ReadYardsDefFromInput(yards)) return 0;
    YardDef scratch;
    farm.m_pYardBeingRead = farm.GetNumYards() > 0 ? farm.GetYardDef(0) : &scratch;
    TParseInput objects = yards;
    objects.cursor = 0;
    objects.lineStart = -1;
    objects.name = "objects.txt";
    const bool read = farm.ReadObjectDefsFromInput(objects);
    farm.m_pYardBeingRead = nullptr;
    if (!read) return 0;
    // Every definition read is found again by its id in its own yard.
    for (int y = 0; y < farm.GetNumYards(); ++y) {
        YardDef* yard = farm.GetYardDef(y);
        for (auto& list : yard->objects)
            for (int i = 0; i < list.count; ++i)
                if (list[i]->id.Length() > 0 && farm.GetFarmObjectDef(yard, list[i]->id) == nullptr) __builtin_trap();
    }
    for (auto& list : scratch.objects)
        for (int i = 0; i < list.count; ++i)
            if (list[i]->category < 0 || list[i]->category > 3) __builtin_trap();
    return 0;
}
