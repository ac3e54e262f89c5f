// The draw cycle of the application object on the GL renderer, on headless EGL: every frame
// it composes is presented as drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/PixelPlanes.h"
#include "testsupport/StubGame.h"

namespace {

constexpr int kScreen = 64;

// A game on the GL renderer with bitmaps stored as seen, whose frame is a grey background and a
// red 8 x 8 sprite moving 4 pixels per frame.
class CMovingSpriteGame : public CStubGame {
public:
    CMovingSpriteGame() { m_Screen.m_nOrientationMode = 0; }
    CWinDibBitmapOGLES* MakeScreen(int w, int h) { return MakeGlTestScreen(this, w, h); }
    void Draw() override {
        m_Screen.m_pBackBuffer->FillRectangle(0, 0, kScreen, kScreen, 64, 64, 64);
        sprite->BitBlt(m_Screen.m_pBackBuffer, 4 * frame, 10, 0, 0, 0, 0, 0);
        ++frame;
    }
    std::unique_ptr<CWinDibBitmapOGLES> sprite;
    int frame = 0;
};

std::vector<std::vector<std::uint8_t>> g_Presented;
CGlesTestContext* g_PresentingContext = nullptr;

TEST(GlFrameCycleTest, DrawCyclePresentsEachFrameAsComposedOnTheCpu) {
    CGlesTestContext ctx(kScreen, kScreen);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    CMovingSpriteGame game;
    ASSERT_NE(game.MakeScreen(kScreen, kScreen), nullptr);
    EXPECT_EQ(game.m_RenderSwitches.m_nRendererKind, kRendererGLES);
    EXPECT_EQ(game.m_Screen.m_pDrawTarget, game.m_Screen.m_pBackBuffer);
    EXPECT_EQ(game.m_Screen.m_pBackBuffer->GetAlphaBits(), nullptr);
    game.sprite = std::make_unique<CWinDibBitmapOGLES>(&game);
    ASSERT_EQ(game.sprite->SetBits(Plane<std::uint16_t>(64, Rgb565(255, 0, 0)), 8, 8), 1);
    g_Presented.clear();
    g_PresentingContext = &ctx;
    GLES_SetSwapBuffersHook([] { g_Presented.push_back(g_PresentingContext->ReadFrame()); });
    for (int i = 0; i < 3; ++i) game.DoDrawCycle();
    GLES_SetSwapBuffersHook(nullptr);
    ASSERT_EQ(g_Presented.size(), 3u);
    for (int f = 0; f < 3; ++f) {
        std::vector<std::uint8_t> expected(kScreen * kScreen * 4);
        for (int y = 0; y < kScreen; ++y)
            for (int x = 0; x < kScreen; ++x) {
                const bool sprite = x >= 4 * f && x < 4 * f + 8 && y >= 10 && y < 18;
                // The background comes from GL vertex colours (no 565 texels): exactly 64.
                std::uint8_t* p = &expected[(y * kScreen + x) * 4];
                p[0] = sprite ? 255 : 64;
                p[1] = sprite ? 0 : 64;
                p[2] = sprite ? 0 : 64;
                p[3] = 255;
            }
        EXPECT_EQ(g_Presented[f], expected) << "frame " << f;
    }
    GLES_ResetStateCache();
}

}  // namespace
