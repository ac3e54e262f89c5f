// The statistics line of the draw cycle, drawn with a baked DejaVu font through OpenGL ES on a
// headless surfaceless context (llvmpipe) and read back pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "render/GlesGlobals.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/StubGame.h"
#include "text/BitmapFont.h"

using namespace mediatest;
using namespace fonttest;

namespace {

constexpr int kW = 240;
constexpr int kH = 120;

// A game on the GL renderer with a w x h screen, bitmaps stored as seen, and a 16-pixel DejaVu
// font baked into its common pak.
class GameBaseStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        game.m_Screen.m_nOrientationMode = 0;
        game.m_Screen.m_nOrientationAngle = 0;
        screen = MakeGlTestScreen(&game, kW, kH);
        ASSERT_NE(screen, nullptr);
        SetCommonPak(game, dir.Path("common.pak"), FontMembers(Bake(16), "Images\\sans", fontbaker::EForm::RgbaPng));
        font = std::make_unique<CBitmapFontText>(&game);
        ASSERT_EQ(font->LoadFont("Images\\sans.jpg"), 1);
    }
    void TearDown() override { GLES_ResetStateCache(); }
    void Clear(std::uint8_t r, std::uint8_t g, std::uint8_t b) { screen->FillRectangle(0, 0, kW, kH, r, g, b); }

    CHeadlessGl gl{kW, kH};
    CScratchDir dir;
    CStubGame game;
    CWinDibBitmapOGLES* screen = nullptr;
    std::unique_ptr<CBitmapFontText> font;
};

TEST_F(GameBaseStatisticsTest, StatisticsLineIsDrawnWhiteAndBorderedAtTwoThirty) {
    Clear(0, 0, 120);
    game.m_StatisticsText = "Run-33.33/Draw-33.33";
    game.DrawStatistics(font.get());
    const TImage frame = gl.Read();
    int white = 0, dark = 0, before = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const auto p = frame.At(x, y);
            const bool isWhite = Near(p, 255, 255, 255, 8), isDark = Near(p, 0, 0, 0, 8);
            if (y >= 29 && y < 30 + font->GetCharHeight() + 1) {
                white += isWhite;
                dark += isDark;
            } else if (y < 28) {
                before += !Near(p, 0, 0, 120, 0);
            }
        }
    }
    EXPECT_GT(white, 30);
    EXPECT_GT(dark, 10) << "the black border";
    EXPECT_EQ(before, 0) << "nothing above the line";
    EXPECT_TRUE(Near(frame.At(0, 35), 0, 0, 120, 0)) << "it starts at x 2 (less the border)";
}

}  // namespace
