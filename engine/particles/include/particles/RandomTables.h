#pragma once
// The two precomputed random tables shared by the particle systems and the game code, so that
// emission costs no call to the system generator. Both are filled once at start-up (by the
// loader screen) after the game seeded the generator; a test seeds the generator (the application
// object's SeedRandoms) and sees the same tables, hence the same simulation, on every run.
// Main thread only; the tables and their read indexes take no lock.

#include <cstdint>

class IFileHost;

inline constexpr int kParticleRandomTableSize = 512;  // g_RandomTable entries
inline constexpr int kGameRandomTableSize = 1024;     // g_GameRandomTable entries

// 0..255 each; a draw r is used by the particles as the fraction r/256.
extern std::int32_t g_RandomTable[kParticleRandomTableSize];
extern int g_RandomTableIndex;  // next entry to read, wraps at 512
// 0..32767 each (the phone generator's range), read modulo some count by their users.
extern std::int32_t g_GameRandomTable[kGameRandomTableSize];
extern int g_GameRandomTableIndex;  // next entry to read, wraps at 1024

// Fills g_RandomTable from the game's generator (each value 0..32767 shifted right 7) and
// resets its read index to 0. A null game reads the C generator directly.
void CreatePS2RandomsTable(IFileHost* game);
// Fills g_GameRandomTable with values 0..32767 from the game's generator and resets its index.
void CreateGameRandomsTable(IFileHost* game);

// The entry at the read index; the index advances by one, wrapping.
inline std::int32_t NextParticleRandom() {
    const std::int32_t value = g_RandomTable[g_RandomTableIndex];
    g_RandomTableIndex = (g_RandomTableIndex + 1) & (kParticleRandomTableSize - 1);
    return value;
}
inline std::int32_t NextGameRandom() {
    const std::int32_t value = g_GameRandomTable[g_GameRandomTableIndex];
    g_GameRandomTableIndex = (g_GameRandomTableIndex + 1) & (kGameRandomTableSize - 1);
    return value;
}
