// The GL bitmap: which blits go through GL and with which blend and alpha, the software fallback,
// the texture life cycle with released RAM planes, atlas views and the screen fills.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "render/GlesGlobals.h"
#include "render/ImageLoaders.h"
#include "render/TextureData.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/PixelPlanes.h"

namespace {

constexpr int kScreen = 64;

class GlBitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
        game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
        screen = game.MakeScreen(kScreen, kScreen);
    }
    void TearDown() override { GLES_ResetStateCache(); }

    std::unique_ptr<CWinDibBitmapOGLES> Solid(int w, int h, int r, int g, int b, int alpha = -1) {
        auto bmp = std::make_unique<CWinDibBitmapOGLES>(&game);
        EXPECT_EQ(bmp->SetBits(Plane<std::uint16_t>(static_cast<std::size_t>(w) * h, Rgb565(r, g, b)), w, h), 1);
        if (alpha >= 0) {
            EXPECT_EQ(bmp->SetAlphaBits(Plane<std::uint8_t>(static_cast<std::size_t>(w) * h, alpha), w, h), 1);
        }
        return bmp;
    }

    CGlesTestContext ctx{kScreen, kScreen};
    CGlTestGame game;
    CWinDibBitmapOGLES* screen = nullptr;
};

struct TOffsetCase {
    bool withAlpha;
    int offset;
    bool blending;
    int vertexAlpha;
    const char* why;
};

TEST_F(GlBitmapTest, BitBltBlendAndAlphaFollowTheOffsetRule) {
    const TOffsetCase cases[] = {
        {false, 0, false, 255, "no alpha plane, offset 0: opaque"},
        {false, -1, true, 254, "negative offset blends"},
        {false, -255, true, 0, "offset -255 is alpha 0, still submitted"},
        {false, 10, false, 255, "positive offsets clamp at 255"},
        {true, 0, true, 255, "an alpha plane always blends"},
    };
    for (const TOffsetCase& c : cases) {
        auto bmp = Solid(8, 8, 255, 0, 0, c.withAlpha ? 255 : -1);
        GLES_FlushBuffer();
        bmp->BitBlt(screen, 4, 4, 0, 0, 0, 0, c.offset);
        ASSERT_EQ(g_GLES_NumIndexesUsed, 6) << c.why;
        EXPECT_EQ(g_GLES_BlendModeEnabled != 0, c.blending) << c.why;
        EXPECT_EQ(g_GLES_Colors[3], c.vertexAlpha) << c.why;
        GLES_FlushBuffer();
    }
}

struct TGlBlitCase {
    const char* why;
    bool withAlpha;
    void (*draw)(CWinDibBitmapOGLES* src, IDibBitmap* screen);
    bool blending;
    GLenum destFactor;  // checked when blending
    GLenum envMode;
    int r, g, b, a;  // vertex colour
};

TEST_F(GlBitmapTest, EachBlitPicksItsBlendModeAndVertexColour) {
    const TGlBlitCase cases[] = {
        {"BitBlt of an opaque bitmap", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBlt(d, 0, 0, 0, 0, 0, 0, 0); }, false, 0, GL_MODULATE, 255,
         255, 255, 255},
        {"BitBlt with an alpha plane", true,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBlt(d, 0, 0, 0, 0, 0, 0, 0); }, true, GL_ONE_MINUS_SRC_ALPHA,
         GL_MODULATE, 255, 255, 255, 255},
        {"BitBltAdditive", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBltAdditive(d, 0, 0, 0, 0, 0, 0, -55); }, true, GL_ONE,
         GL_MODULATE, 255, 255, 255, 200},
        {"BitBltMultiply of an opaque bitmap", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBltMultiply(d, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0); }, false, 0,
         GL_MODULATE, 10, 20, 30, 255},
        {"BitBltMultiply faded", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBltMultiply(d, 10, 20, 30, 0, 0, 0, 0, 0, 0, -5); }, true,
         GL_ONE_MINUS_SRC_ALPHA, GL_MODULATE, 10, 20, 30, 250},
        {"BitBltMultiplyAdditive", true,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->BitBltMultiplyAdditive(d, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0); },
         true, GL_ONE, GL_MODULATE, 10, 20, 30, 255},
        {"FillAlphaNoStretch through an alpha plane", true,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->FillAlphaNoStretch(d, 1, 2, 3, 0, 0, 0, 0, 0, 0); }, true,
         GL_ONE_MINUS_SRC_ALPHA, GL_BLEND, 1, 2, 3, 255},
        {"FillAlphaNoStretch of an opaque bitmap", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->FillAlphaNoStretch(d, 1, 2, 3, 0, 0, 0, 0, 0, 0); }, false, 0,
         GL_MODULATE, 1, 2, 3, 255},
        {"FillAlphaNoStretch of an opaque bitmap, faded", false,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->FillAlphaNoStretch(d, 1, 2, 3, 0, 0, 0, 0, 0, -1); }, true,
         GL_ONE_MINUS_SRC_ALPHA, GL_BLEND, 1, 2, 3, 254},
        {"FillAlphaNoStretchAdditive", true,
         [](CWinDibBitmapOGLES* s, IDibBitmap* d) { s->FillAlphaNoStretchAdditive(d, 1, 2, 3, 0, 0, 0, 0, 0, -100); },
         true, GL_ONE, GL_MODULATE, 1, 2, 3, 155},
    };
    for (const TGlBlitCase& c : cases) {
        auto bmp = Solid(8, 8, 255, 255, 255, c.withAlpha ? 255 : -1);
        GLES_FlushBuffer();
        c.draw(bmp.get(), screen);
        ASSERT_EQ(g_GLES_NumIndexesUsed, 6) << c.why;
        EXPECT_EQ(g_GLES_BlendModeEnabled != 0, c.blending) << c.why;
        if (c.blending) {
            EXPECT_EQ(g_GLES_BlendDestFactor, c.destFactor) << c.why;
        }
        EXPECT_EQ(g_GLES_TextEnvironmentMode, c.envMode) << c.why;
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(g_GLES_Colors[v * 4 + 0], c.r) << c.why;
            EXPECT_EQ(g_GLES_Colors[v * 4 + 1], c.g) << c.why;
            EXPECT_EQ(g_GLES_Colors[v * 4 + 2], c.b) << c.why;
            EXPECT_EQ(g_GLES_Colors[v * 4 + 3], c.a) << c.why;
        }
        if (c.envMode == GL_BLEND) {
            EXPECT_EQ(g_TextEnvironmentColorARGB, static_cast<std::uint32_t>(c.r | c.g << 8 | c.b << 16 | c.a << 24))
                << c.why;
        }
        GLES_FlushBuffer();
    }
}

TEST_F(GlBitmapTest, TintedBlitsOnTheScreen) {
    screen->FillRectangle(0, 0, kScreen, kScreen, 100, 100, 100);
    auto white = Solid(8, 8, 255, 255, 255);
    white->BitBltMultiply(screen, 255, 128, 0, 0, 0, 0, 0, 0, 0, 0);
    auto grey = Solid(8, 8, 200, 200, 200, 255);
    // Additive, tinted: 200 x (0, 100/255, 0) added to the background.
    grey->BitBltMultiplyAdditive(screen, 0, 100, 0, 20, 0, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    const auto tinted = ctx.Pixel(3, 3);
    EXPECT_NEAR(tinted[0], 255, 2);
    EXPECT_NEAR(tinted[1], 128, 3);
    EXPECT_NEAR(tinted[2], 0, 2);
    const auto added = ctx.Pixel(23, 3);
    EXPECT_NEAR(added[0], 100, 3);
    EXPECT_NEAR(added[1], 100 + 200 * 100 / 255, 4);
    EXPECT_NEAR(added[2], 100, 3);
}

TEST_F(GlBitmapTest, DrawIntoAnotherBitmapTakesTheSoftwarePath) {
    // The destination's RAM pixels are read back: they must outlive its upload.
    game.m_RenderSwitches.m_bReleasePixelsAfterUpload = false;
    auto src = Solid(4, 4, 255, 255, 255);
    auto dst = Solid(8, 8, 0, 0, 0);
    GLES_FlushBuffer();
    CGlesCallCounter calls;
    src->BitBlt(dst.get(), 2, 2, 0, 0, 0, 0, 0);
    src->Draw(dst.get(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(calls.total(), 0);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 0);
    std::uint16_t p;
    std::memcpy(&p, dst->GetBits() + (3 * 8 + 3) * 2, 2);
    EXPECT_EQ(p, 0xFFFF) << "RAM pixels changed by the software blit";
}

TEST_F(GlBitmapTest, ReleasedPlanesAreNotUploadedAgainUntilNewPixelsCome) {
    auto bmp = Solid(8, 8, 0, 255, 0, 200);
    CGlesCallCounter calls;
    bmp->HWReleasePixelDataInRAM();
    EXPECT_NE(bmp->GetBits(), nullptr) << "a placeholder stands in";
    EXPECT_EQ(bmp->PixelsForDrawing(), nullptr) << "software readers see no plane";
    EXPECT_EQ(bmp->AlphaForDrawing(), nullptr);
    EXPECT_EQ(bmp->GetAlphaBits()[0], 255);
    EXPECT_EQ(bmp->HWUpdateTexture(), 1);
    EXPECT_EQ(calls.texImage(), 0);
    ASSERT_EQ(bmp->SetBits(Plane<std::uint16_t>(64, Rgb565(0, 0, 255)), 8, 8), 1);
    EXPECT_EQ(calls.texImage(), 0) << "the alpha plane is still a placeholder";
    ASSERT_EQ(bmp->SetAlphaBits(Plane<std::uint8_t>(64, 255), 8, 8), 1);
    EXPECT_EQ(calls.texImage(), 1) << "both planes real again: uploaded";
}

TEST_F(GlBitmapTest, SharedAlphaPlaneSurvivesTheReleaseOfOneFrame) {
    // As a sprite set with one common alpha loads: each frame's pixels wait in RAM until the
    // shared plane is set, then one upload takes both and releases the frame's own pixels.
    std::vector<std::uint8_t> shared(64, 128);
    auto frameWithSharedAlpha = [&](int r, int g, int b) {
        auto frame = std::make_unique<CWinDibBitmapOGLES>(&game);
        game.m_RenderSwitches.m_bImmediateUpload = false;
        EXPECT_EQ(frame->SetBits(Plane<std::uint16_t>(64, Rgb565(r, g, b)), 8, 8), 1);
        game.m_RenderSwitches.m_bImmediateUpload = true;
        frame->SetExternalAlpha(shared.data());
        EXPECT_EQ(frame->HWUpdateTexture(), 1);
        return frame;
    };
    auto frame = frameWithSharedAlpha(10, 20, 30);
    EXPECT_EQ(frame->TextureData().FormatKind(), 2) << "uploaded with an alpha plane";
    EXPECT_FALSE(frame->ArePixelsValid()) << "its own pixels were released";
    EXPECT_EQ(frame->GetAlphaBits(), shared.data());
    EXPECT_TRUE(frame->IsAlphaValid());
    EXPECT_EQ(shared[63], 128);
    auto second = frameWithSharedAlpha(30, 20, 10);
    EXPECT_EQ(second->TextureData().FormatKind(), 2) << "a later frame still uploads with the shared alpha";
}

TEST_F(GlBitmapTest, AtlasViewDrawsItsRegion) {
    // 64 x 64 atlas: top-left quadrant red, top-right green, bottom half blue.
    auto* px = static_cast<std::uint16_t*>(std::malloc(64 * 64 * 2));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            px[y * 64 + x] = y >= 32 ? Rgb565(0, 0, 255) : (x < 32 ? Rgb565(255, 0, 0) : Rgb565(0, 255, 0));
    CWinDibBitmapOGLES atlas(&game);
    ASSERT_EQ(atlas.SetBits(reinterpret_cast<unsigned char*>(px), 64, 64), 1);
    ASSERT_EQ(atlas.SetAlphaBits(Plane<std::uint8_t>(64 * 64, 255), 64, 64), 1);
    CWinDibBitmapOGLES view(&game);
    ASSERT_EQ(view.HWInitFromTextureAtlas(&atlas, 32, 0, 32, 32), 1);
    EXPECT_EQ(view.m_Width, 32);
    EXPECT_EQ(view.GetAlphaBits()[0], 255) << "one-byte alpha placeholder";
    EXPECT_FALSE(view.IsAlphaValid());
    EXPECT_TRUE(view.TextureData().IsAtlasView());
    view.Draw(screen, 0, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    auto p = ctx.Pixel(5, 5);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 255);
    p = ctx.Pixel(40, 5);
    EXPECT_EQ(p[1], 0) << "only the view's 32 columns";
    CWinDibBitmapOGLES noTextures(&game);
    EXPECT_EQ(view.HWInitFromTextureAtlas(&noTextures, 0, 0, 8, 8), 0);
}

TEST_F(GlBitmapTest, DrawIgnoresFlipFlagsOnTheGlPath) {
    auto* px = static_cast<std::uint16_t*>(std::malloc(8 * 8 * 2));
    for (int i = 0; i < 64; ++i) px[i] = (i % 8) < 4 ? Rgb565(255, 0, 0) : Rgb565(0, 0, 255);
    CWinDibBitmapOGLES bmp(&game);
    ASSERT_EQ(bmp.SetBits(reinterpret_cast<unsigned char*>(px), 8, 8), 1);
    bmp.Draw(screen, 0, 0, 0, 0, kFlipHorizontal | kFlipVertical, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(1, 1)[0], 255);
    EXPECT_EQ(ctx.Pixel(6, 6)[2], 255);
}

TEST_F(GlBitmapTest, ScreenFillsAndAlphaShapes) {
    screen->FillRectangle(0, 0, kScreen, kScreen, 100, 100, 100);
    screen->FillRectangle(10, 10, 5, 5, 255, 0, 0);
    // A glyph-like shape: alpha 255 on its left half.
    auto glyph = std::make_unique<CWinDibBitmapOGLES>(&game);
    unsigned char* shape = Plane<std::uint8_t>(64, 0);
    for (int y = 0; y < 8; ++y) std::memset(shape + y * 8, 255, 4);
    game.m_RenderSwitches.m_bImmediateUpload = false;
    ASSERT_EQ(glyph->SetBits(Plane<std::uint16_t>(64, Rgb565(0, 0, 0)), 8, 8), 1);
    ASSERT_EQ(glyph->SetAlphaBits(shape, 8, 8), 1);
    game.m_RenderSwitches.m_bImmediateUpload = true;
    ASSERT_EQ(glyph->HWUpdateTexture(), 1);
    glyph->FillAlphaNoStretch(screen, 0, 255, 0, 30, 30, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(12, 12)[0], 255);
    EXPECT_EQ(ctx.Pixel(15, 12)[0], 100) << "fill is w wide, end exclusive";
    EXPECT_EQ(ctx.Pixel(31, 31)[1], 255) << "opaque part of the shape takes the colour";
    EXPECT_EQ(ctx.Pixel(31, 31)[0], 0);
    EXPECT_EQ(ctx.Pixel(36, 31)[1], 100) << "transparent part keeps the background";
    screen->AddBrightness(50);
    GLES_FlushBuffer();
    // Additive white at alpha 50: every channel gains 255 x 50 / 255.
    EXPECT_NEAR(ctx.Pixel(40, 40)[0], 150, 1);
    EXPECT_NEAR(ctx.Pixel(12, 12)[0], 255, 0) << "saturates";
}

// On a turned screen the seen rectangle (10, 20, 5 x 3) lands transposed: mode 1 takes it to
// stored columns 20..22 near the bottom (rows 48..52 of 64), mode 2 to columns 40..42 near the
// right and rows 10..14. Probes sit inside both the drawn quad and the mapped pixels.
TEST_F(GlBitmapTest, ScreenFillFollowsTheTurnedOrientation) {
    struct Case {
        int mode;
        int insideX, insideY;    // stored pixel the fill must cover
        int outsideX, outsideY;  // the same seen spot left untransposed
    };
    const Case cases[] = {{kOrientationTurned1, 21, 50, 12, 21}, {kOrientationTurned2, 41, 12, 12, 21}};
    for (const Case& c : cases) {
        screen->SetOrientaionMode(kOrientationNormal);
        screen->FillRectangle(0, 0, kScreen, kScreen, 100, 100, 100);
        screen->SetOrientaionMode(c.mode);
        screen->FillRectangle(10, 20, 5, 3, 255, 0, 0);
        GLES_FlushBuffer();
        EXPECT_EQ(ctx.Pixel(c.insideX, c.insideY)[0], 255) << "mode " << c.mode;
        EXPECT_EQ(ctx.Pixel(c.outsideX, c.outsideY)[0], 100) << "mode " << c.mode;
    }
    screen->SetOrientaionMode(kOrientationNormal);
}

int g_Swaps = 0;

TEST_F(GlBitmapTest, PresentingFlushesAndSwaps) {
    GLES_SetSwapBuffersHook([] { ++g_Swaps; });
    auto bmp = Solid(4, 4, 255, 255, 255);
    bmp->BitBlt(screen, 0, 0, 0, 0, 0, 0, 0);
    CGlesCallCounter calls;
    screen->DrawToDeviceScreen();
    EXPECT_EQ(calls.drawElements(), 1);
    EXPECT_EQ(g_Swaps, 1);
    GLES_SetSwapBuffersHook(nullptr);
}

}  // namespace

namespace {

TEST(GlBitmapFactoryTest, GameMakesGlBitmapsOnlyForTheGlRenderer) {
    CGlTestGame game;
    std::unique_ptr<IDibBitmap> soft(game.CreateBitmapObject());
    EXPECT_EQ(dynamic_cast<CWinDibBitmapOGLES*>(soft.get()), nullptr);
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    std::unique_ptr<IDibBitmap> gl(game.CreateBitmapObject());
    EXPECT_NE(dynamic_cast<CWinDibBitmapOGLES*>(gl.get()), nullptr);
    EXPECT_NE(gl->GetHWResource(), nullptr);
}

}  // namespace

namespace {

TEST(GlPvrLoadTest, PvrBitmapHasItsSizeButNoReadablePlanes) {
    CGlesTestContext ctx(8, 8);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    GLES_ResetStateCache();
    const auto dir = std::filesystem::temp_directory_path() / ("cobble_pvr_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string base = (dir / "sky").string();
    {
        std::ofstream d(base + ".txt");
        d << "BorderSize = 0\nFullWidth = 64\nFullHeight = 32\nNumTilesX = 1\nNumTilesY = 1\nSubTextureSize = 64\nBPP "
             "= 4\n";
        // 64 x 64 at 4 bpp, one level: 16 x 16 blocks of 8 bytes.
        std::vector<char> tile(52 + 2048, 0);
        const std::uint32_t words[] = {52, 64, 64, 0, 0x8000 | 25, 2048, 0, 0, 0, 0, 0xFF};
        std::memcpy(tile.data(), words, sizeof words);
        std::memcpy(tile.data() + 44, "PVR!", 4);
        std::ofstream t(base + "_0001.pvr", std::ios::binary);
        t.write(tile.data(), static_cast<std::streamsize>(tile.size()));
    }
    CGlTestGame game;
    game.m_Paks.m_bPakMode = false;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    CGlesCallCounter calls;
    std::unique_ptr<IDibBitmap> b(ImageLoad_PVR(&game, (base + ".txt").c_str()));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(calls.compressedTexImage(), 1);
    EXPECT_EQ(b->m_Width, 64);
    EXPECT_EQ(b->m_Height, 32);
    auto* gl = dynamic_cast<CWinDibBitmapOGLES*>(b.get());
    ASSERT_NE(gl, nullptr);
    EXPECT_EQ(gl->PixelsForDrawing(), nullptr) << "the placeholder is no image for software readers";
    EXPECT_EQ(gl->AlphaForDrawing(), nullptr);
    EXPECT_TRUE(game.m_RenderSwitches.m_bHardwareTextures) << "the switch is left on";
    EXPECT_EQ(ImageLoad_PVR(&game, (base + "_missing.txt").c_str()), nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

TEST_F(GlBitmapTest, DoubleResolutionImageDrawsAtItsLogicalSize) {
    game.m_RenderSwitches.m_bDoubleResolution = true;  // after the screen: its viewport is already set
    auto* px = static_cast<std::uint16_t*>(std::malloc(16 * 16 * 2));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            px[y * 16 + x] = y < 8 ? (x < 8 ? Rgb565(255, 0, 0) : Rgb565(0, 255, 0)) : Rgb565(0, 0, 255);
    CWinDibBitmapOGLES bmp(&game);
    bmp.Set2xImage(true);
    ASSERT_EQ(bmp.SetBits(reinterpret_cast<unsigned char*>(px), 16, 16), 1);
    EXPECT_EQ(bmp.m_Width, 8);
    EXPECT_EQ(bmp.TextureData().LogicalWidth(), 8);
    bmp.Draw(screen, 0, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(1, 1)[0], 255);
    EXPECT_EQ(ctx.Pixel(6, 1)[1], 255) << "the whole 16 texels squeezed into 8 pixels";
    EXPECT_EQ(ctx.Pixel(2, 6)[2], 255);
    const auto outside = ctx.Pixel(9, 1);
    EXPECT_EQ(outside[0] + outside[1] + outside[2], 0);
    // An atlas view into a 2x atlas works in logical pixels as well.
    CWinDibBitmapOGLES view(&game);
    ASSERT_EQ(view.HWInitFromTextureAtlas(&bmp, 8, 0, 8, 8), 1);
    EXPECT_EQ(view.m_Width, 4);
    view.Draw(screen, 20, 20, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(21, 21)[1], 255) << "the green quarter";
    EXPECT_EQ(ctx.Pixel(21, 21)[0], 0);
    EXPECT_EQ(ctx.Pixel(25, 21)[1], 0) << "four logical pixels wide";
}

}  // namespace

namespace {

TEST_F(GlBitmapTest, DrawingPastTheScreenEdgeKeepsTheVisiblePart) {
    auto* px = static_cast<std::uint16_t*>(std::malloc(8 * 8 * 2));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) px[y * 8 + x] = (x >= 4 && y >= 4) ? Rgb565(0, 255, 0) : Rgb565(255, 0, 0);
    CWinDibBitmapOGLES bmp(&game);
    ASSERT_EQ(bmp.SetBits(reinterpret_cast<unsigned char*>(px), 8, 8), 1);
    bmp.Draw(screen, -4, -4, 0, 0, 0, 0);
    bmp.Draw(screen, kScreen - 2, 30, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(0, 0)[1], 255) << "only the bottom-right quarter is on screen";
    EXPECT_EQ(ctx.Pixel(3, 3)[1], 255);
    EXPECT_EQ(ctx.Pixel(4, 4)[1], 0);
    EXPECT_EQ(ctx.Pixel(kScreen - 1, 30)[0], 255) << "the left two columns at the right edge";
    CGlesCallCounter calls;
    bmp.Draw(screen, kScreen + 1, 0, 0, 0, 0, 0);
    bmp.Draw(screen, 0, -9, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(calls.drawElements(), 0) << "wholly outside: nothing is submitted";
}

}  // namespace

namespace {

TEST_F(GlBitmapTest, TextureMapModeRepeatsASingleTileTexture) {
    auto* px = static_cast<std::uint16_t*>(std::malloc(8 * 8 * 2));
    for (int i = 0; i < 64; ++i) px[i] = (i % 8) < 4 ? Rgb565(255, 0, 0) : Rgb565(0, 0, 255);
    CWinDibBitmapOGLES tile(&game);
    ASSERT_EQ(tile.SetBits(reinterpret_cast<unsigned char*>(px), 8, 8), 1);
    Renderer_SetTextureMapMode(Renderer_TextureMapMode_Repeat, Renderer_TextureMapMode_Repeat, &tile);
    // Twice the texture's width in u over 16 pixels: two copies side by side.
    auto V = [](int x, int y, int u, int v) {
        return QuorvanVertex{.x = x << 16, .y = y << 16, .u = u << 16, .v = v << 16};
    };
    const QuorvanVertex tris[6] = {V(0, 0, 0, 0), V(16, 0, 16, 0), V(16, 8, 16, 8),
                                   V(0, 0, 0, 0), V(16, 8, 16, 8), V(0, 8, 0, 8)};
    Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
    tile.TextureData().BltTriangles_AbsoluteUV_Fast(screen, tris, 2, false);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(9, 2)[0], 255) << "the second copy starts red";
    EXPECT_EQ(ctx.Pixel(13, 2)[2], 255);
    int s = 0, t = 0;
    tile.TextureData().GetTextureMapMode(s, t);
    EXPECT_EQ(s, Renderer_TextureMapMode_Repeat);
    // A texture of two tiles is left alone.
    CWinDibBitmapOGLES wide(&game);
    ASSERT_EQ(wide.SetBits(Plane<std::uint16_t>(1100 * 2, 0), 1100, 2), 1);
    ASSERT_EQ(wide.TextureData().TileCount(), 2);
    CGlesCallCounter calls;
    Renderer_SetTextureMapMode(Renderer_TextureMapMode_Repeat, Renderer_TextureMapMode_Repeat, &wide);
    EXPECT_EQ(calls.total(), 0);
}

}  // namespace
