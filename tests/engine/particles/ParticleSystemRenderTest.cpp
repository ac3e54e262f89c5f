// One effect drawn on the OpenGL ES screen over several frames, headless (Mesa surfaceless EGL,
// llvmpipe): particles appear where the emitter is and are gone once their lives end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ParticleTestFixtures.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemSharedSpriteStorage.h"
#include "particles/RandomTables.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "testsupport/GlSpriteTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/ImageFixtures.h"

namespace {

class ParticleRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
        game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
        screen = game.MakeScreen(64, 64);
        ASSERT_EQ(rotator.Initialize(), 1);
        rotator.SetHardwarePath(&path);
    }
    void TearDown() override { GLES_ResetStateCache(); }

    // A loaded one-frame set holding a white, opaque 4 x 4 GL bitmap.
    CSpriteSet* WhiteSpriteSet() {
        auto* frame = new CWinDibBitmapOGLES(&game);
        auto* pixels = static_cast<std::uint16_t*>(std::malloc(4 * 4 * 2));
        auto* alpha = static_cast<unsigned char*>(std::malloc(4 * 4));
        for (int i = 0; i < 16; ++i) pixels[i] = 0xFFFF;
        std::memset(alpha, 255, 16);
        game.m_RenderSwitches.m_bImmediateUpload = false;
        frame->SetBits(reinterpret_cast<unsigned char*>(pixels), 4, 4);
        frame->SetAlphaBits(alpha, 4, 4);
        game.m_RenderSwitches.m_bImmediateUpload = true;
        EXPECT_EQ(frame->HWUpdateTexture(), 1);
        auto* set = new CSpriteSet();
        set->DefineSpriteSetSingle(&game, CommonString("white.png"), CommonString("white.png"), 1, 1);
        set->m_Frames = new IDibBitmap* [1] { frame };
        set->m_nNumFrames = 1;
        set->m_nRefCount = 1;
        return set;
    }

    // Lit pixels of the frame and whether all of them lie within `radius` of (cx, cy).
    int LitPixels(int cx, int cy, int radius, bool* allNear) {
        const auto frame = ctx.ReadFrame();
        int lit = 0;
        *allNear = true;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * 64 + x) * 4];
                if (p[0] > 16 || p[1] > 16 || p[2] > 16) {
                    ++lit;
                    if (std::abs(x - cx) > radius || std::abs(y - cy) > radius) *allNear = false;
                }
            }
        }
        return lit;
    }

    CGlesTestContext ctx{64, 64};
    CGlSpriteTestGame game;
    CWinDibBitmapOGLES* screen = nullptr;
    CQuorvanImageRotatorScaler rotator{&game, 1440};
    CGlesRotatorPath path{&game, &rotator};
};

}  // namespace

TEST_F(ParticleRenderTest, ParticlesAppearAtTheEmitterAndVanishAfterTheirLife) {
    CQuorvanParticleSystem2 system(&game, &rotator);
    // Motionless, unfading sprites for 0.2 s each, emitted for 0.1 s.
    const std::string effect =
        "EmissionSpeed = 34\nSystemLifetime = 0.1\nParticleLifeMin = 0.2\nParticleLifeMax = 0.2\n"
        "ParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\nColorEnd_A = 255\n";
    system.ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "render.pfd");
    system.m_Info.m_pSpriteSet = WhiteSpriteSet();
    ASSERT_EQ(system.OnSettingsChanged(), 1);
    game.SeedRandoms(5);
    CreatePS2RandomsTable(&game);
    CreateGameRandomsTable(&game);

    system.StartAt(20 << 16, 30 << 16);
    int litFrames = 0;
    int emptyFrames = 0;
    for (int frame = 0; frame < 16; ++frame) {
        if (frame == 5) {
            // Moving the emitter with its particles moves the picture with it.
            system.SetPosition(40 << 16, 30 << 16, true);
        }
        screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
        system.RunProcess();
        system.Draw(screen);
        GLES_FlushBuffer();
        bool allNear = false;
        const int cx = frame < 5 ? 20 : 40;
        const int lit = LitPixels(cx, 30, 3, &allNear);
        if (system.GetNumActiveParticels() > 0) {
            ++litFrames;
            EXPECT_GT(lit, 0) << "frame " << frame;
            EXPECT_TRUE(allNear) << "frame " << frame << ": drawn only around the emitter";
            const auto centre = ctx.Pixel(cx, 30);
            EXPECT_GT(centre[0], 200) << "frame " << frame;
        } else {
            ++emptyFrames;
            EXPECT_EQ(lit, 0) << "frame " << frame << ": nothing once every life ended";
        }
    }
    EXPECT_GE(litFrames, 5);
    EXPECT_GE(emptyFrames, 3);
    EXPECT_TRUE(system.IsStopped());
}

TEST_F(ParticleRenderTest, BlendModeFollowsTheEffect) {
    // An opaque white sprite tinted (200, 0, 0) over grey (96, 96, 96): added, red saturates
    // and the grey stays in green and blue; multiplied, the tinted sprite covers the grey.
    struct TCase {
        int additive;
        int red;
        int green;
        int blue;
        const char* why;
    };
    const TCase cases[] = {
        {1, 255, 96, 96, "additive"},
        {0, 200, 0, 0, "multiply"},
        {1, 255, 96, 96, "additive again after a normal system"},
    };
    particle_test::FillParticleTable(0);  // births take the start of each range
    for (const TCase& c : cases) {
        CQuorvanParticleSystem2 system(&game, &rotator);
        const std::string effect =
            "EmissionSpeed = 0\nParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\nColorEnd_A = 255\n"
            "ColorStart_R = 200\nColorEnd_R = 200\nColorStart_G = 0\nColorEnd_G = 0\nColorStart_B = 0\n"
            "ColorEnd_B = 0\nAdditiveBlend = " +
            std::to_string(c.additive) + "\n";
        system.ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "blend.pfd");
        system.m_Info.m_pSpriteSet = WhiteSpriteSet();
        ASSERT_EQ(system.OnSettingsChanged(), 1);
        system.StartAt(32 << 16, 32 << 16);
        system.EmitNewParticles(1);
        screen->FillRectangle(0, 0, 64, 64, 96, 96, 96);
        system.Draw(screen);
        GLES_FlushBuffer();
        const auto centre = ctx.Pixel(32, 32);
        // The screen is RGB565-precise: allow a few levels.
        EXPECT_NEAR(centre[0], c.red, 8) << c.why;
        EXPECT_NEAR(centre[1], c.green, 8) << c.why;
        EXPECT_NEAR(centre[2], c.blue, 8) << c.why;
        const auto corner = ctx.Pixel(4, 4);
        EXPECT_NEAR(corner[0], 96, 8) << c.why << ": the rest stays grey";
    }
}

TEST_F(ParticleRenderTest, EachFrameOfATwoXStripFromTheSharedStorageIsDrawn) {
    // Only the 2x twin of the strip exists: four cells of 16 x 16 stored texels, 8 x 8 in the
    // layout, red, green, blue and yellow. The storage cuts it as views of one texture.
    const auto dir = particle_test::TestDir("two_x_strip");
    const std::uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* c = colours[x / 16];
            rgba.insert(rgba.end(), {c[0], c[1], c[2], 255});
        }
    game.m_Paks.m_bPakMode = false;
    game.m_ImagesDir = (dir / "Images").string() + "/";
    WriteFile((dir / "Images_2x\\strip.png").string(), MakePng(64, 16, rgba, 2 /* RGB */));

    CQuorvanParticleSystemSharedSpriteStorage2 storage(&game);
    CQuorvanParticleSystem2 system(&game, &rotator);
    system.UseSpriteSetStorage(&storage);
    // A grid effect lays one batch out as the strip's picture; motionless, opaque, untinted.
    const std::string effect =
        "ParticleSprites = strip.png\nParticleNumSprites = 4\nParticleNumSpritesPerRow = 4\nGridEffect = 1\n"
        "EmissionSpeed = 0\nParticleSpeedMin = 0\nParticleSpeedMax = 0\nColorEnd_A = 255\nAdditiveBlend = 0\n";
    system.ReadEffectSettings(effect.data(), static_cast<int>(effect.size()), "grid.pfd");
    ASSERT_EQ(system.OnSpritesChanged(), 1);
    ASSERT_EQ(system.OnSettingsChanged(), 1);
    CSpriteSet* set = system.GetSpriteSet();
    ASSERT_NE(set, nullptr);
    ASSERT_NE(set->m_pForcedAtlasSource, nullptr) << "the storage forces the atlas";
    ASSERT_EQ(set->GetNumFrames(), 4);
    particle_test::FillParticleTable(0);
    system.StartAt(32 << 16, 32 << 16);
    system.EmitNewParticles(4);
    ASSERT_EQ(system.GetNumActiveParticels(), 4);
    screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
    system.Draw(screen);
    GLES_FlushBuffer();
    // Cells 8 wide centred on 32: the strip's picture spans x = 16 to 48 around y = 32.
    for (int i = 0; i < 4; ++i) {
        for (const int dx : {-3, 0, 2}) {
            const auto p = ctx.Pixel(20 + 8 * i + dx, 32);
            EXPECT_NEAR(p[0], colours[i][0], 8) << "cell " << i << " at " << dx;
            EXPECT_NEAR(p[1], colours[i][1], 8) << "cell " << i << " at " << dx;
            EXPECT_NEAR(p[2], colours[i][2], 8) << "cell " << i << " at " << dx;
        }
    }
    EXPECT_EQ(ctx.Pixel(14, 32)[0], 0) << "nothing left of the strip";
    EXPECT_EQ(ctx.Pixel(49, 32)[0], 0) << "nor right of it";
}
