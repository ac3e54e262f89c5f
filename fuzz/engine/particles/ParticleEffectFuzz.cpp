// Feeds arbitrary bytes to the effect-file reader, then runs and draws the system they describe
// for a few steps, so settings no shipped effect uses (huge rates, negative lives, zero frame
// counts, absurd sizes) go through the whole simulation under the sanitizers.
// The first byte picks the emission source by its value mod 3: 0 the emitter, 1 a random shape
// point, 2 the flow along a shape; with bit 4 set the file is read the game's own way, as a
// memory file handed to Init with a strip of 1 to 8 frames (bits 5 to 7) whatever the file
// says. The rest is the effect file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/MemFile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"
#include "particles/ParticlesConfig.h"
#include "particles/RandomTables.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "testsupport/FakeSpriteHost.h"

namespace {

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

// Bitmaps stored as seen, on an unturned screen.
class CFuzzGame : public CFakeSpriteHost {
public:
    CFuzzGame() {
        m_Screen.m_nOrientationMode = 0;
        m_Screen.m_nOrientationAngle = 0;
        m_ImagesDir = "img/";
    }
};

IDibBitmap* White(IRenderHost* game, int w, int h) {
    auto* bitmap = new CWinDibBitmap(game);
    bitmap->Create(w, h);
    bitmap->ClearBitmap(255, 255, 255);
    return bitmap;
}

// A loaded strip of `frames` small white frames with one reference.
CSpriteSet* MakeSet(ISpriteHost* game, int frames) {
    auto* set = new CSpriteSet();
    set->DefineSpriteSetSingle(game, CommonString("f.png"), CommonString("f.png"), frames, frames);
    set->m_Frames = new IDibBitmap*[frames];
    for (int i = 0; i < frames; ++i) set->m_Frames[i] = White(game, 3 + i % 3, 4);
    set->m_nNumFrames = frames;
    set->m_nRefCount = 1;
    return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static CFuzzGame game;
    static CQuorvanImageRotatorScaler rotator(&game, 1440);
    static bool ready = false;
    if (!ready) {
        FUZZ_CHECK(rotator.Initialize() == 1);
        std::srand(1);
        CreatePS2RandomsTable(&game);
        CreateGameRandomsTable(&game);
        ready = true;
    }
    g_RandomTableIndex = 0;
    g_GameRandomTableIndex = 0;

    CQuorvanParticleSystem2 system(&game, &rotator);
    const int textSize = static_cast<int>(size - 1);
    if ((data[0] & 0x10) != 0) {
        void* block = std::malloc(size);
        FUZZ_CHECK(block != nullptr);
        std::memcpy(block, data + 1, size - 1);
        CMemoryFile file;
        FUZZ_CHECK(file.Attach(block, textSize) == 1);
        // With the strip given, only a particle buffer that cannot be had fails the set-up.
        if (system.Init(&file, MakeSet(&game, 1 + (data[0] >> 5)), 0) == 0) return 0;
        FUZZ_CHECK(file.IsOpened() == 0);
        FUZZ_CHECK(system.GetMaxParticles() >= 0 && system.GetMaxParticles() <= kParticleMaxParticlesLimit);
        FUZZ_CHECK(system.GetBufferCapacity() == system.GetMaxParticles());
    } else {
        system.ReadEffectSettings(reinterpret_cast<const char*>(data + 1), textSize, "fuzz.pfd");
        FUZZ_CHECK(system.GetMaxParticles() >= 0 && system.GetMaxParticles() <= kParticleMaxParticlesLimit);
        if (system.OnSettingsChanged() == 0) return 0;
        FUZZ_CHECK(system.GetBufferCapacity() == system.GetMaxParticles());
        // The strip's real frame count, as a loaded set would have it (bounded to keep runs quick).
        int frames = system.m_Info.m_ParticleNumSprites;
        frames = frames < 1 ? 1 : (frames > 16 ? 16 : frames);
        system.m_Info.m_pSpriteSet = MakeSet(&game, frames);
    }

    CQuorvanParticleSystemShape2 shape(&game, &rotator);
    if (data[0] % 3 != 0) {
        shape.AddCircle(6 << 16, 5, 0, 0);
        (void)shape.AddSegment(TVector2D_16{0, 0}, TVector2D_16{3 << 16, -(2 << 16)});
        shape.m_bFlow = data[0] % 3 == 2 ? 1 : 0;
        shape.SetEmitDelta(data[0] << 12);
        system.SetEmitShape(&shape);
    }

    CWinDibBitmap canvas(&game);
    canvas.Create(32, 32);
    system.StartAt(16 << 16, 16 << 16);
    for (int step = 0; step < 6; ++step) {
        system.SetPosition((16 + step) << 16, (16 - step) << 16, false);
        system.RunProcess();
        FUZZ_CHECK(system.GetNumActiveParticels() >= 0 && system.GetNumActiveParticels() <= system.GetBufferCapacity());
        system.Draw(&canvas);
    }
    system.RunMinimalProcess();
    system.EmitNewParticles(3);
    system.Draw(&canvas);
    system.SetEmitShape(nullptr);
    return 0;
}
