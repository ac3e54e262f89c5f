// Fixtures shared by the particle suites: a software-rendered game object, a rotator, sprite
// sets built in memory (no image files), and ways to pin the random tables.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "particles/ParticleSystem.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "testsupport/FakeSpriteHost.h"

namespace particle_test {

constexpr FIXED_FLOAT_16 F(double v) { return static_cast<FIXED_FLOAT_16>(v * 65536.0); }
constexpr FIXED_FLOAT_16 I(int v) { return v * 65536; }

class CParticleTestGame : public CFakeSpriteHost {
public:
    CParticleTestGame() {
        m_Screen.m_nOrientationMode = 0;
        m_Screen.m_nOrientationAngle = 0;
        m_Paks.m_bPakMode = false;  // resources from the disk, under m_Dir
    }
    CommonString GetModuleDirectory() override { return CommonString(m_Dir.c_str()); }
    CommonString GetImagesDirectory() override { return CommonString(m_Dir.c_str()); }

    std::string m_Dir;  // with a trailing '/', or empty
};

// A game and an initialised rotator (360 x 4 entries, the game's table size).
struct TParticleWorld {
    TParticleWorld() : rotator(&game, 1440) { (void)rotator.Initialize(); }
    CParticleTestGame game;
    CQuorvanImageRotatorScaler rotator;
};

// A white, opaque software bitmap.
inline IDibBitmap* MakeWhiteBitmap(IRenderHost* game, int w, int h) {
    auto* bitmap = new CWinDibBitmap(game);
    bitmap->Create(w, h);
    bitmap->ClearBitmap(255, 255, 255);
    return bitmap;
}

// A loaded Single set of `frames` white w x h frames, made in memory with one reference, the
// way a loaded strip looks to its users.
inline CSpriteSet* MakeSpriteSet(ISpriteHost* game, int frames, int w, int h) {
    auto* set = new CSpriteSet();
    set->DefineSpriteSetSingle(game, CommonString("mem.png"), CommonString("mem.png"), frames, frames);
    set->m_Frames = new IDibBitmap*[frames];
    for (int i = 0; i < frames; ++i) {
        set->m_Frames[i] = MakeWhiteBitmap(game, w, h);
    }
    set->m_nNumFrames = frames;
    set->m_nRefCount = 1;
    return set;
}

// Every entry of the particle table set to r (and the read index to 0).
inline void FillParticleTable(int r) {
    for (auto& entry : g_RandomTable) entry = r;
    g_RandomTableIndex = 0;
}

// Entry j = j mod 256: a known sequence whose draws a test can follow by index.
inline void FillParticleTableSequence() {
    for (int j = 0; j < kParticleRandomTableSize; ++j) g_RandomTable[j] = j % 256;
    g_RandomTableIndex = 0;
}

// A system configured from effect-file text with a sprite set of `frames` frames; started at
// (x, y) when start is true.
inline std::unique_ptr<CQuorvanParticleSystem2> MakeSystem(TParticleWorld& world, const std::string& effect,
                                                           int frames = 1, int frameSize = 4) {
    auto system = std::make_unique<CQuorvanParticleSystem2>(&world.game, &world.rotator);
    system->ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "test.pfd");
    system->m_Info.m_pSpriteSet = MakeSpriteSet(&world.game, frames, frameSize, frameSize);
    if (system->OnSettingsChanged() == 0) {
        return nullptr;
    }
    return system;
}

// A fresh directory under the build tree for files a test writes.
inline std::filesystem::path TestDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "particle_test_files" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace particle_test
