// Effect files and the set-up of a particle system: keys, defaults, conversions, files on disk,
// sprites made from the settings and shared through the storage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "ParticleTestFixtures.h"
#include "core/MemFile.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemSharedSpriteStorage.h"
#include "particles/ParticlesConfig.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/ImageFixtures.h"

using namespace particle_test;

namespace {

// A memory file holding the text, as the game hands effect files over.
CMemoryFile* MemoryFileOf(const std::string& text) {
    auto* file = new CMemoryFile();
    void* block = std::malloc(text.size() + 1);
    std::memcpy(block, text.data(), text.size());
    file->Attach(block, static_cast<int>(text.size()));
    return file;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(ParticleSettings, ThreeKeyFileGivesEveryDefault) {
    TParticleWorld world;
    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    CMemoryFile* file =
        MemoryFileOf("ParticleSprites = spark.png\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n");
    CSpriteSet* set = MakeSpriteSet(&world.game, 1, 4, 4);
    system.m_Info.m_GridEffect = 1;  // left from an earlier effect: Init clears it
    ASSERT_EQ(system.Init(file, set, 0), 1);
    EXPECT_FALSE(file->IsOpened()) << "Init closes the file it read";
    delete file;

    const CQuorvanParticleSystemInfo2& s = system.m_Info;
    EXPECT_EQ(system.GetSpriteSet(), set);
    EXPECT_STREQ(s.m_ParticleSprites.GetDataConst(), "spark.png");
    struct TDefault {
        const char* key;
        std::int32_t actual;
        std::int32_t expected;
    };
    const TDefault defaults[] = {
        {"AdditiveBlend", s.m_AdditiveBlend, 1},
        {"FastDraw", s.m_FastDraw, 0},
        {"EmissionSpeed", s.m_EmissionSpeed, 150},
        {"SystemLifetime", s.m_SystemLifetime, -65536},
        {"ParticleLifeMin", s.m_ParticleLifeMin, 65536},
        {"ParticleLifeMax", s.m_ParticleLifeMax, 65536},
        {"Direction", s.m_Direction, 0},
        {"Spread", s.m_Spread, 360 * 65536},
        {"DirectionIsRelative", s.m_DirectionIsRelative, 0},
        {"ParticleSpeedMin", s.m_ParticleSpeedMin, 40 * 65536},
        {"ParticleSpeedMax", s.m_ParticleSpeedMax, 50 * 65536},
        {"ParticleGravityMin", s.m_ParticleGravityMin, 0},
        {"ParticleGravityMax", s.m_ParticleGravityMax, 0},
        {"ParticleRadialAccMin", s.m_ParticleRadialAccMin, 0},
        {"ParticleRadialAccMax", s.m_ParticleRadialAccMax, 0},
        {"ParticleTangAccMin", s.m_ParticleTangAccMin, 0},
        {"ParticleTangAccMax", s.m_ParticleTangAccMax, 0},
        {"ParticleSizeStart", s.m_ParticleSizeStart, 65536},
        {"ParticleSizeEnd", s.m_ParticleSizeEnd, 65536},
        {"ParticleSizeVar", s.m_ParticleSizeVar, 0},
        {"ParticleSpinStart", s.m_ParticleSpinStart, 0},
        {"ParticleSpinEnd", s.m_ParticleSpinEnd, 0},
        {"ParticleSpinVar", s.m_ParticleSpinVar, 0},
        {"ColorStart_A", s.m_ColorStart_A, 255 * 65536},
        {"ColorStart_R", s.m_ColorStart_R, 255 * 65536},
        {"ColorStart_G", s.m_ColorStart_G, 255 * 65536},
        {"ColorStart_B", s.m_ColorStart_B, 255 * 65536},
        {"ColorEnd_A", s.m_ColorEnd_A, 0},
        {"ColorEnd_R", s.m_ColorEnd_R, 255 * 65536},
        {"ColorEnd_G", s.m_ColorEnd_G, 255 * 65536},
        {"ColorEnd_B", s.m_ColorEnd_B, 255 * 65536},
        {"ParticleColorVar", s.m_ParticleColorVar, 0},
        {"ParticleAlphaVar", s.m_ParticleAlphaVar, 0},
        {"ParticleNumSprites", s.m_ParticleNumSprites, 1},
        {"ParticleNumSpritesPerRow", s.m_ParticleNumSpritesPerRow, 1},
        {"GridEffect", s.m_GridEffect, 0},
        {"AnimateEffect", s.m_AnimateEffect, 0},
        {"AnimateLooped", s.m_AnimateLooped, 0},
        {"AnimateRandom", s.m_AnimateRandom, 0},
        {"AnimateSpeed", s.m_AnimateSpeed, 19661},
        {"DirectionalParticles", s.m_DirectionalParticles, 0},
        {"ColorMiddle_A", s.m_ColorMiddle_A, 255 * 65536},
        {"ColorMiddleAge", s.m_ColorMiddleAge, 0},
        {"RandomPos", s.m_RandomPos, 4},
        {"MaxParticles", system.GetMaxParticles(), 500},
        {"buffer capacity", system.GetBufferCapacity(), 500},
    };
    for (const TDefault& d : defaults) {
        EXPECT_EQ(d.actual, d.expected) << d.key;
    }
    EXPECT_EQ(system.GetFPS(), 33 * 65536);
    EXPECT_EQ(system.GetFrameStep(), 1984);

    // And it behaves so: endless, white particles born opaque and fading to 0 over one second
    // at 40 to 50 px/s, spread round the full circle.
    FillParticleTableSequence();
    system.StartAt(I(50), I(50));
    for (int step = 0; step < 200; ++step) system.RunProcess();
    EXPECT_FALSE(system.IsStopped());
    ASSERT_GT(system.GetNumActiveParticels(), 0);
    bool left = false, right = false, up = false, down = false;
    for (int i = 0; i < system.GetNumActiveParticels(); ++i) {
        const CQuorvanParticle2& p = system.GetParticles()[i];
        EXPECT_EQ(p.life, 65536);
        EXPECT_EQ(p.red >> 16, 255);
        EXPECT_EQ(p.alphaDelta, -255 * 65536);
        const double speedPerSecond = std::hypot(p.vx / 65536.0, p.vy / 65536.0) * 33.0;
        EXPECT_GE(speedPerSecond, 39.5);
        EXPECT_LE(speedPerSecond, 50.5);
        left |= p.vx < -I(1) / 4;
        right |= p.vx > I(1) / 4;
        up |= p.vy < -I(1) / 4;
        down |= p.vy > I(1) / 4;
    }
    EXPECT_TRUE(left && right && up && down) << "default spread covers every direction";
}

TEST(ParticleSettings, KeyConversions) {
    TParticleWorld world;
    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    const std::string effect =
        "AnimateSpeed = 1\n"  // stored three-fold
        "FastDraw = 1\n"
        "ColorEnd_A = 12\n"  // a whole number as 16.16
        "ParticleLifeMin = 0.5\n"
        "AdditiveBlend = 0\n"
        "DirectionIsRelative = 7\n"  // a flag is any value above 0
        "GridEffect = -1\n"          // and nothing at or below it
        "Spread: 90\n"               // ':' also separates
        "spread = 5\n"               // names are case-sensitive
        "Unknown = 3\n"
        "ParticleSprites = \"dir/strip.png\"\n";
    system.ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "conv.pfd");
    const CQuorvanParticleSystemInfo2& s = system.m_Info;
    EXPECT_EQ(s.m_AnimateSpeed, 3 * 65536);
    EXPECT_EQ(s.m_FastDraw, 1);
    EXPECT_EQ(s.m_ColorEnd_A, 12 * 65536);
    EXPECT_EQ(s.m_ParticleLifeMin, 32768);
    EXPECT_EQ(s.m_AdditiveBlend, 0);
    EXPECT_EQ(s.m_DirectionIsRelative, 1);
    EXPECT_EQ(s.m_GridEffect, 0);
    EXPECT_EQ(s.m_Spread, 90 * 65536);
    EXPECT_STREQ(s.m_ParticleSprites.GetDataConst(), "dir/strip.png");
}

TEST(ParticleSettings, SetFpsFrameSteps) {
    struct TCase {
        double fps;
        FIXED_FLOAT_16 step;
        const char* why;
    };
    const TCase cases[] = {
        {33.0, 1984, "default rate"},
        {30.0, 2176, "game rate"},
        {60.0, 1088, "loader rate"},
    };
    TParticleWorld world;
    for (const TCase& c : cases) {
        CQuorvanParticleSystem2 system(&world.game, &world.rotator);
        system.SetFPS(F(c.fps));
        // 1/fps seconds as (2^20 / (fps >> 8)) x 16, computed here in plain integers.
        const int expected = (1048576 / (F(c.fps) >> 8)) * 16;
        EXPECT_EQ(expected, c.step) << c.why;
        EXPECT_EQ(system.GetFrameStep(), c.step) << c.why;
        EXPECT_EQ(system.GetFPS(), F(c.fps)) << c.why;
    }
    // A rate too small to divide by keeps the previous one.
    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    system.SetFPS(F(30.0));
    system.SetFPS(100);
    system.SetFPS(0);
    system.SetFPS(-F(30.0));
    EXPECT_EQ(system.GetFrameStep(), 2176);
}

TEST(ParticleSettings, MaxParticlesIsClampedAndResizesTheBuffer) {
    struct TCase {
        const char* value;
        int expected;
        const char* why;
    };
    const TCase cases[] = {
        {"20", 20, "ordinary"},
        {"999999", kParticleMaxParticlesLimit, "absurd sizes are capped"},
        {"-5", 0, "negative is none"},
        {"0", 0, "zero is allowed"},
    };
    TParticleWorld world;
    for (const TCase& c : cases) {
        const std::string effect = std::string("MaxParticles = ") + c.value + "\nEmissionSpeed = 5000\n";
        auto system = MakeSystem(world, effect);
        ASSERT_NE(system, nullptr) << c.why;
        EXPECT_EQ(system->GetMaxParticles(), c.expected) << c.why;
        EXPECT_EQ(system->GetBufferCapacity(), c.expected) << c.why;
        system->Start();
        for (int step = 0; step < 5; ++step) system->RunProcess();
        // Five steps owe 5 x 5000 x 1984 / 65536 = 756 births, none of which dies yet.
        const int owed = static_cast<int>(5LL * 5000 * 1984 / 65536);
        EXPECT_EQ(system->GetNumActiveParticels(), std::min(c.expected, owed)) << c.why << ": emission stops when full";
    }
}

TEST(ParticleSettings, ResizingKeepsTheFirstRecords) {
    TParticleWorld world;
    auto system = MakeSystem(world, "MaxParticles = 10\nEmissionSpeed = 330\nRandomPos = 0\n");
    ASSERT_NE(system, nullptr);
    FillParticleTableSequence();
    system->StartAt(I(7), I(9));
    system->RunProcess();  // 330 x 1984 / 65536 = 9.99: nine particles
    ASSERT_EQ(system->GetNumActiveParticels(), 9);
    const CQuorvanParticle2 third = system->GetParticles()[2];
    system->SetEffectProperty("MaxParticles", "4");
    ASSERT_EQ(system->OnSettingsChanged(), 1);
    EXPECT_EQ(system->GetBufferCapacity(), 4);
    EXPECT_EQ(system->GetNumActiveParticels(), 4);
    EXPECT_EQ(std::memcmp(&system->GetParticles()[2], &third, sizeof third), 0);
}

TEST(ParticleSettings, InitFromFileReadsTheEffectAndLoadsItsStrip) {
    const auto dir = TestDir("init_from_file");
    WriteFile((dir / "strip.png").string(), MakeSolidPng(16, 8, 255, 255, 255));
    WriteText(dir / "Effects_spark.pfd",
              "// sparkle\nParticleSprites = strip.png\nParticleNumSprites = 2\n"
              "ParticleNumSpritesPerRow = 2\nEmissionSpeed = 60\nSystemLifetime = -1\n");
    TParticleWorld world;
    world.game.m_Dir = dir.string() + "/";
    world.game.m_SpriteSwitches.m_bTextureAtlasMode = false;

    CQuorvanParticleSystem2 missing(&world.game, &world.rotator);
    EXPECT_EQ(missing.InitFromFile(), 0) << "no file named";
    missing.DefineFile("Effects_none.pfd");
    EXPECT_EQ(missing.InitFromFile(), 0) << "file absent";
    EXPECT_EQ(missing.m_Info.m_EmissionSpeed, 150) << "defaults kept";

    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    EXPECT_EQ(system.DefineFile("Effects_spark.pfd"), 1);
    ASSERT_EQ(system.InitFromFile(), 1);
    EXPECT_TRUE(system.IsStopped()) << "loaded systems wait for Start";
    EXPECT_EQ(system.m_Info.m_EmissionSpeed, 60);
    ASSERT_NE(system.GetSpriteSet(), nullptr);
    ASSERT_EQ(system.GetSpriteSet()->GetNumFrames(), 2);
    ASSERT_NE(system.GetSpriteSet()->GetFrame(1), nullptr);
    EXPECT_EQ(system.GetSpriteSet()->GetFrame(1)->m_Width, 8);
    EXPECT_EQ(system.GetSpriteSet()->GetFrame(1)->m_Height, 8);

    // A strip that cannot be loaded leaves the system without sprites, inert.
    WriteText(dir / "Effects_bad.pfd", "ParticleSprites = nothere.png\n");
    CQuorvanParticleSystem2 bad(&world.game, &world.rotator);
    bad.DefineFile("Effects_bad.pfd");
    EXPECT_EQ(bad.InitFromFile(), 0);
    EXPECT_EQ(bad.GetSpriteSet(), nullptr);
    bad.Start();
    bad.RunProcess();
    EXPECT_EQ(bad.GetNumActiveParticels(), 0);
}

TEST(ParticleSettings, SharedStorageGivesOneSetPerStripAndCounts) {
    const auto dir = TestDir("storage");
    WriteFile((dir / "strip.png").string(), MakeSolidPng(16, 8, 255, 255, 255));
    WriteText(dir / "a.pfd", "ParticleSprites = strip.png\nParticleNumSprites = 2\nParticleNumSpritesPerRow = 2\n");
    WriteText(dir / "b.pfd",
              "ParticleSprites = strip.png\nParticleNumSprites = 2\nParticleNumSpritesPerRow = 2\nEmissionSpeed = 9\n");
    WriteText(dir / "c.pfd", "ParticleSprites = strip.png\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n");
    TParticleWorld world;
    world.game.m_Dir = dir.string() + "/";
    world.game.m_SpriteSwitches.m_bTextureAtlasMode = false;

    CQuorvanParticleSystemManager2 manager(&world.game, &world.rotator, 20);
    ASSERT_EQ(manager.AddParticleSystemDefenition("a", "a.pfd"), 1);
    ASSERT_EQ(manager.AddParticleSystemDefenition("b", "b.pfd"), 1);
    ASSERT_EQ(manager.AddParticleSystemDefenition("c", "c.pfd"), 1);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(manager.GetParticleSystemAt(i)->InitFromFile(), 1) << i;

    CSpriteSet* a = manager.GetParticleSystemAt(0)->GetSpriteSet();
    CSpriteSet* b = manager.GetParticleSystemAt(1)->GetSpriteSet();
    CSpriteSet* c = manager.GetParticleSystemAt(2)->GetSpriteSet();
    EXPECT_EQ(a, b) << "same strip, same frame counts: one set";
    EXPECT_NE(a, c) << "other frame counts: another set";
    EXPECT_EQ(a->GetRefCount(), 2);
    EXPECT_EQ(a->m_force_atlas, 1);
    CSpriteSetManager* sets = manager.GetSharedStorage()->GetManager();
    ASSERT_EQ(sets->GetNumSpriteSets(), 2);
    EXPECT_TRUE(sets->GetSpriteSetAt(0)->m_Name == "set_0");
    EXPECT_TRUE(sets->GetSpriteSetAt(1)->m_Name == "set_1");

    manager.DeleteParticleSystem(0);
    EXPECT_EQ(a->GetRefCount(), 1) << "a deleted system gives its reference back";
    EXPECT_EQ(sets->GetNumSpriteSets(), 2) << "the storage keeps the set";
}

TEST(ParticleSettings, InitFromRecordCopiesSettings) {
    TParticleWorld world;
    CQuorvanParticleSystemInfo2 info;
    info.m_EmissionSpeed = 33;
    info.m_SystemLifetime = I(2);
    info.m_pSpriteSet = MakeSpriteSet(&world.game, 1, 4, 4);
    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    ASSERT_EQ(system.Init(&info, F(30.0)), 1);
    EXPECT_EQ(system.m_Info.m_EmissionSpeed, 33);
    EXPECT_EQ(system.GetFrameStep(), 2176);
    EXPECT_TRUE(system.IsStopped()) << "a limited lifetime waits for Start";
    EXPECT_EQ(info.m_pSpriteSet->GetRefCount(), 2) << "the system took its reference";
    // Without a storage the set passes to the system, which deletes it.
}

TEST(ParticleSettings, AnEffectWithoutSpritesFailsInit) {
    TParticleWorld world;
    CQuorvanParticleSystem2 system(&world.game, &world.rotator);
    CMemoryFile* file = MemoryFileOf("EmissionSpeed = 10\nParticleNumSprites = 0\n");
    EXPECT_EQ(system.Init(file, nullptr, 0), 0);
    delete file;
    EXPECT_EQ(system.m_Info.m_EmissionSpeed, 10) << "settings are kept";
    EXPECT_EQ(system.GetSpriteSet(), nullptr);
}

namespace {

// A system whose particle buffer cannot be had once `failing` is set.
class CNoMemoryParticleSystem : public CQuorvanParticleSystem2 {
public:
    using CQuorvanParticleSystem2::CQuorvanParticleSystem2;
    bool failing = false;

protected:
    CQuorvanParticle2* AllocateParticles(int count) override {
        return failing ? nullptr : CQuorvanParticleSystem2::AllocateParticles(count);
    }
};

}  // namespace

TEST(ParticleSettings, BufferAllocationFailureFailsTheSetUp) {
    TParticleWorld world;
    CNoMemoryParticleSystem system(&world.game, &world.rotator);
    CMemoryFile* file = MemoryFileOf("MaxParticles = 8\nEmissionSpeed = 330\nRandomPos = 0\n");
    ASSERT_EQ(system.Init(file, MakeSpriteSet(&world.game, 1, 4, 4), 0), 1);
    delete file;
    ASSERT_EQ(system.GetBufferCapacity(), 8);
    FillParticleTableSequence();
    system.StartAt(I(3), I(4));
    system.RunProcess();
    ASSERT_EQ(system.GetNumActiveParticels(), 8);
    system.Stop(false);

    system.failing = true;
    file = MemoryFileOf("MaxParticles = 5000\n");
    EXPECT_EQ(system.Init(file, system.GetSpriteSet(), 0), 0) << "no buffer: the set-up fails";
    delete file;
    EXPECT_EQ(system.GetBufferCapacity(), 8) << "the old buffer is kept";
    EXPECT_EQ(system.GetNumActiveParticels(), 8);
    EXPECT_EQ(system.GetParticles()[7].x, I(3));
    system.Start();
    system.RunProcess();
    EXPECT_EQ(system.GetNumActiveParticels(), 8) << "and emission stays within it";
}
