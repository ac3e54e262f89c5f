#include "particles/RandomTables.h"

#include <cstdlib>

#include "core/FileHost.h"

std::int32_t g_RandomTable[kParticleRandomTableSize];
int g_RandomTableIndex = 0;
std::int32_t g_GameRandomTable[kGameRandomTableSize];
int g_GameRandomTableIndex = 0;

namespace {

// The phone's generator gave 0..32767; glibc's gives 31 bits. Reducing to 15 bits keeps the
// tables' ranges (g_RandomTable 0..255 after the shift) those the particle code was tuned for.
std::int32_t Next15BitRandom(IFileHost* game) {
    return game != nullptr ? game->RandomValue(32768) : (std::rand() & 0x7FFF);
}

}  // namespace

void CreatePS2RandomsTable(IFileHost* game) {
    for (std::int32_t& entry : g_RandomTable) {
        entry = Next15BitRandom(game) >> 7;
    }
    g_RandomTableIndex = 0;
}

void CreateGameRandomsTable(IFileHost* game) {
    for (std::int32_t& entry : g_GameRandomTable) {
        entry = Next15BitRandom(game);
    }
    g_GameRandomTableIndex = 0;
}
