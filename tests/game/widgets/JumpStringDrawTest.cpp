// Floating texts as a player sees them: drawn headless through OpenGL ES with block fonts, whose
// glyphs cover exactly their measured cells, so where a text lands, how large, in which colour
// and how opaque is read straight off the pixels. Also the coin decorations beside a stage
// description, which only a round's texts carry.
#include <gtest/gtest.h>

#include "../screens/ScreensTestGame.h"
#include "game/widgets/JumpString.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakePlayField.h"

namespace {

using screenstest::Colour;
using screenstest::kBlockFontSpacing;

constexpr FIXED_FLOAT_16 kPx = 65536;
constexpr int kCellW = 4, kCellH = 8;
constexpr Colour kIconColour{255, 0, 255, 255};  // the round's coin icon
constexpr Colour kCoinColour{255, 128, 0, 255};  // the first frame of the arena's coin set
constexpr Colour kSecondFrame{0, 0, 255, 255};   // its second frame, never a decoration

class JumpStringDraw : public screenstest::ScreensTest {
protected:
    bool SetUpArt() {
        if (!UseGl(320, 480)) return false;
        AddImage("round_coin_icon", screenstest::Plain(6, 6, kIconColour));
        mediatest::TImage coins = mediatest::MakeImage(12, 6, kCoinColour);
        for (int y = 0; y < 6; ++y)
            for (int x = 6; x < 12; ++x) coins.Set(x, y, kSecondFrame);
        AddSheet("arena_coins", coins, 2, 2);  // two frames side by side
        AddBlockFont("block_button", kCellW, kCellH, kGameFontButton);
        AddBlockFont("block_small", kCellW, kCellH, kGameFontSmall);
        Mount();
        if (HasFatalFailure()) return false;
        field.coinIcon = game.m_pSpriteSetManager->GetSpriteSetNamed("round_coin_icon")->GetFrame(0);
        field.coinSet = game.m_pSpriteSetManager->GetSpriteSetNamed("arena_coins");
        return true;
    }
    mediatest::TImage Drawn(CJumpStringManager& texts) {
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        texts.Draw(game.m_Screen.m_pBackBuffer, 0, 0);
        return gl->Read();
    }

    CFakePlayField field;
};

bool Black(Colour p) { return mediatest::Near(p, 0, 0, 0, 8); }

TEST_F(JumpStringDraw, ATextIsCentredOnItsPointAtItsScaleInItsColour) {
    if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CJumpStringManager texts(&game, nullptr);
    // "clear" grows to 1.5 in 14 frames, rising a pixel a frame, in the colour of its type.
    ASSERT_EQ(texts.ShowJumpString(CommonString("888"), CommonString("clear"), 2, 160 * kPx, 250 * kPx, 0), 1);
    for (int frame = 0; frame < 14; ++frame) texts.RunProcess();
    const CJumpString& text = *texts.m_Texts.data[0];
    ASSERT_EQ(text.m_nState, kJumpHold);
    ASSERT_EQ(text.m_nScaleX, 98304);
    const mediatest::TImage img = Drawn(texts);
    // Measured by hand: three cells of 4 with 2 of spacing after each, 18 pixels, 27 at 1.5;
    // 8 high, 12 at 1.5. Centred on (160, 236): x 146.5 .. 173.5, y 230 .. 242. The glyphs are
    // 6 pixels wide, 3 apart: 146.5 .. 152.5, 155.5 .. 161.5, 164.5 .. 170.5.
    const int glyphX[3] = {149, 158, 167};
    for (int x : glyphX)
        for (int y : {231, 236, 241}) EXPECT_TRUE(mediatest::Near(img.At(x, y), 0, 255, 255, 24)) << x << "," << y;
    for (int y : {231, 236, 241}) {
        EXPECT_TRUE(Black(img.At(145, y))) << "left of the text, row " << y;
        EXPECT_TRUE(Black(img.At(154, y))) << "the spacing after the first glyph, row " << y;
        EXPECT_TRUE(Black(img.At(172, y))) << "the spacing after the last glyph, row " << y;
    }
    for (int x : glyphX) {
        EXPECT_TRUE(Black(img.At(x, 228))) << "above the text, column " << x;
        EXPECT_TRUE(Black(img.At(x, 243))) << "below the text, column " << x;
    }
}

TEST_F(JumpStringDraw, ALevelTextShowsAtItsPeakAlpha) {
    if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CJumpStringManager texts(&game, nullptr);
    ASSERT_EQ(texts.ShowJumpString(CommonString("8"), CommonString("level"), 0, 160 * kPx, 240 * kPx, 0), 1);
    for (int frame = 0; frame < 11; ++frame) texts.RunProcess();
    ASSERT_EQ(texts.m_Texts.data[0]->m_nAlpha, 150);
    const mediatest::TImage img = Drawn(texts);
    // White at 150 of 255 over black, in the middle of the one glyph (scales near 2).
    EXPECT_TRUE(mediatest::Near(img.At(157, 240), 150, 150, 150, 12));
    EXPECT_TRUE(Black(img.At(140, 240)));
    EXPECT_TRUE(Black(img.At(157, 220)));
}

TEST_F(JumpStringDraw, AStageDescriptionOfTheRoundHasTheCoinsBesideIt) {
    if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    const auto found = [](const mediatest::TImage& img, int x0, int x1, int y, Colour c) {
        for (int x = x0; x <= x1; ++x)
            if (mediatest::Near(img.At(x, y), c[0], c[1], c[2], 40)) return true;
        return false;
    };
    for (bool inRound : {true, false}) {
        CJumpStringManager texts(&game, inRound ? &field : nullptr);
        ASSERT_EQ(texts.ShowJumpString(CommonString("88"), CommonString("stage_desc"), 1, 160 * kPx, 200 * kPx, 0), 1);
        for (int frame = 0; frame < 20; ++frame) texts.RunProcess();
        const CJumpString& text = *texts.m_Texts.data[0];
        ASSERT_EQ(text.m_nState, kJumpSettle);
        const mediatest::TImage img = Drawn(texts);
        // The text's edges, measured from its font and scale; the coins lie within a few pixels
        // outside them, level with its middle.
        const double width = (2 * (kCellW + kBlockFontSpacing)) * (text.m_nScaleX / 65536.0);
        const int left = static_cast<int>(160 - width / 2), right = static_cast<int>(160 + width / 2);
        EXPECT_EQ(found(img, left - 12, left - 1, 200, kCoinColour), inRound) << "the arena's coin on the left";
        EXPECT_EQ(found(img, right, right + 12, 200, kIconColour), inRound) << "the round's coin icon on the right";
        EXPECT_FALSE(found(img, 0, 319, 200, kSecondFrame)) << "only the coin set's first frame";
        EXPECT_TRUE(mediatest::Near(img.At(left + 2, 200), 200, 200, 200, 24)) << "the text itself, light grey";
    }
}

}  // namespace
