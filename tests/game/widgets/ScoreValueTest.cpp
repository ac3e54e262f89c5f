// Score values: the comma grouping of both formatters over one table, and where DrawScoreValue
// puts the caption, the icon, the "x" and the number, read back from the pixels of a headless
// OpenGL ES screen. The texts are drawn with block fonts (every glyph a solid cell), so each text
// covers exactly its measured width; the icons are plain squares.
#include "game/widgets/ScoreValue.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "../screens/ScreensTestGame.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSetManager.h"

namespace {

using namespace screenstest;

TEST(FormatWithCommasTest, BothFormattersGroupTheDigitsOnly) {
    const struct {
        int value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1234567, "1,234,567"},
        {1000000, "1,000,000"},
        {-123, "-123"},  // the sign makes a fourth character, yet no comma: not "-,123"
        {-1234, "-1,234"},
        {-123456, "-123,456"},  // not "-,123,456"
        {INT_MAX, "2,147,483,647"},
        {INT_MIN, "-2,147,483,648"},  // its magnitude does not fit an int
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(FormatWithCommas(c.value).GetDataConst()), c.text) << c.value;
        EXPECT_EQ(std::string(FormatWithCommasFast(c.value).GetData()), c.text) << c.value;
    }
}

constexpr Colour kBlue{0, 0, 255, 255};
constexpr Colour kGreen{0, 255, 0, 255};
constexpr int kScreenW = 320;
constexpr int kScreenH = 160;
constexpr int kIcon = 16;  // icon side in pixels
constexpr int kSpacing = kBlockFontSpacing;
// The two block fonts: the small one 4 x 8, the button font 6 x 12.
constexpr int kSmallW = 4, kSmallH = 8, kButtonW = 6, kButtonH = 12;

bool IsInk(Colour p) { return p[0] > 200 && p[1] < 60 && p[2] < 60; }
bool IsBlue(Colour p) { return p[2] > 200 && p[0] < 60 && p[1] < 60; }

class ScoreValueTest : public ScreensTest {
protected:
    void SetUp() override {
        if (!UseGl(kScreenW, kScreenH)) GTEST_SKIP() << "no headless EGL / GLES1 here";
        AddImage("coin", Plain(kIcon, kIcon, kBlue));
        AddImage("xp", Plain(kIcon, kIcon, kGreen));
        AddBlockFont("block_small", kSmallW, kSmallH, kGameFontSmall);
        AddBlockFont("block_button", kButtonW, kButtonH, kGameFontButton);
        Mount();
        coin = game.m_pSpriteSetManager->GetSpriteSetNamed("coin");
        xp = game.m_pSpriteSetManager->GetSpriteSetNamed("xp");
        ASSERT_NE(coin, nullptr);
    }
    // One draw on a cleared screen, read back.
    template <class Draw>
    mediatest::TImage Drawn(Draw draw) {
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        draw();
        return gl->Read();
    }

    CSpriteSet* coin = nullptr;
    CSpriteSet* xp = nullptr;
};

// The layout of one size, in pixels at scale 1: the caption's gap to x, x to the number, x to
// the sign (at the sign's scale, 0.8), the rise of the texts and of the sign above y.
struct TLayoutCase {
    const char* why;
    bool small, icon;
    float scale;
    int captionGap, valueGap, signGap, textRise, signRise;
};

TEST_F(ScoreValueTest, CaptionIconSignAndNumberStandWhereTheLayoutPutsThem) {
    const TLayoutCase cases[] = {
        {"large with icon", false, true, 1.0f, 25, 41, 31, 20, 23},
        {"small with icon", true, true, 1.0f, 21, 27, 21, 10, 10},
        {"small with icon, doubled", true, true, 2.0f, 21, 27, 21, 10, 10},
        {"large without icon, doubled: 5 and 10 times the scale", false, false, 2.0f, 5, 10, 0, 20, 0},
        {"small without icon: 2 and 4", true, false, 1.0f, 2, 4, 0, 10, 0},
    };
    constexpr double x = 160, y = 80;
    for (const TLayoutCase& c : cases) {
        SCOPED_TRACE(c.why);
        const double s = c.scale, sign = 0.8 * s;
        const int cw = c.small ? kSmallW : kButtonW, ch = c.small ? kSmallH : kButtonH;
        FIXED_FLOAT_16 result = -1;
        const mediatest::TImage img = Drawn([&] {
            result = DrawScoreValue(&game, coin, c.icon, static_cast<float>(x), static_cast<float>(y), c.scale,
                                    CommonString("AB"), 12345, 255, 255, 0, 0, c.small, false);
        });
        const double top = y - c.textRise * s, bottom = top + ch * s;
        // "AB": two cells with one spacing between them, ending at the caption gap (its own
        // trailing spacing counted in its width).
        const double captionRight = x - (c.captionGap + kSpacing) * s;
        ExpectSpan(FindBoxIn(img, 0, static_cast<int>(x) - 1, IsInk), captionRight - (2 * cw + kSpacing) * s,
                   captionRight, top, bottom, "the caption");
        // "12,345": six cells and five spacings from the value gap on.
        const double valueLeft = x + c.valueGap * s;
        ExpectSpan(FindBoxIn(img, FirstPixel(valueLeft), kScreenW, IsInk), valueLeft,
                   valueLeft + (6 * cw + 5 * kSpacing) * s, top, bottom, "the number");
        if (c.icon) {
            ExpectSpan(FindBox(img, IsBlue), x - kIcon / 2 * s, x + kIcon / 2 * s, y - kIcon / 2 * s, y + kIcon / 2 * s,
                       "the icon");
            const double signLeft = x + c.signGap * sign, signTop = y - c.signRise * sign;
            ExpectSpan(FindBoxIn(img, static_cast<int>(x + kIcon / 2 * s), FirstPixel(valueLeft) - 1, IsInk), signLeft,
                       signLeft + cw * sign, signTop, signTop + ch * sign, "the sign");
            EXPECT_NEAR(result / 65536.0, signLeft + (cw + kSpacing) * sign / 2, 1e-3) << "the middle of the x";
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(FindBox(img, IsBlue).Empty()) << "no icon";
            EXPECT_TRUE(FindBoxIn(img, FirstPixel(captionRight), FirstPixel(valueLeft) - 1, IsInk).Empty())
                << "nothing between the caption and the number";
        }
    }
}

TEST_F(ScoreValueTest, RightAlignedTheNumberEndsAtXAndTheRestMovesWithIt) {
    constexpr double x = 300, y = 80;
    const mediatest::TImage img = Drawn([&] {
        DrawScoreValue(&game, coin, true, static_cast<float>(x), static_cast<float>(y), 1.0f, CommonString("AB"), 12345,
                       255, 255, 0, 0, true, true);
    });
    // The number's width counts its trailing spacing, so its last cell ends one spacing short.
    const double width = 6 * (kSmallW + kSpacing);
    const double anchor = x - (width + 27);
    ExpectSpan(FindBoxIn(img, static_cast<int>(anchor) + 27, kScreenW, IsInk), x - width, x - kSpacing, y - 10,
               y - 10 + kSmallH, "the number");
    ExpectSpan(FindBox(img, IsBlue), anchor - 8, anchor + 8, y - 8, y + 8, "the icon");
    const TBox caption = FindBoxIn(img, 0, static_cast<int>(anchor) - 1, IsInk);
    EXPECT_EQ(caption.right, LastPixel(anchor - 21 - kSpacing)) << "the caption moved with the icon";
}

TEST_F(ScoreValueTest, TheCountersStandAtTheTopRightWithTheirIconsAndAlpha) {
    TUserProfile* player = AddPlayer(12345, 7);
    game.m_pHudCoinSet = coin;
    game.m_pHudXPSet = xp;
    // The number ends 10 pixels in from the screen's right edge; the icon's middle is at y 22.
    constexpr double right = kScreenW - 10, y = 22;
    const struct {
        const char* why;
        bool coins;
        float scale;
        int alpha;
        int digits;       // characters of the number as shown
        int iconChannel;  // 1 green (HudXP), 2 blue (HudCoin)
    } cases[] = {
        {"coins, 12,345", true, 1.0f, 255, 6, 2},
        {"coins at twice the size", true, 2.0f, 255, 6, 2},
        {"coins at half alpha", true, 1.0f, 128, 6, 2},
        {"boost points, 7, always at scale 1", false, 1.0f, 255, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        FIXED_FLOAT_16 middle = 0;
        const mediatest::TImage img =
            Drawn([&] { middle = c.coins ? game.DrawNumCoins(c.alpha, c.scale) : game.DrawNumUpgradePoints(c.alpha); });
        // Over black, white text and a pure icon colour come out at the alpha's level.
        const int level = c.alpha;
        const auto isText = [level](Colour p) { return mediatest::Near(p, level, level, level, 40); };
        const auto isIcon = [&](Colour p) {
            return std::abs(p[c.iconChannel] - level) <= 40 && p[0] < 40 && p[3 - c.iconChannel] < 40;
        };
        const double s = c.scale, width = c.digits * (kSmallW + kSpacing);
        const double anchor = right - (width + 27) * s;
        ExpectSpan(FindBox(img, isIcon), anchor - 8 * s, anchor + 8 * s, y - 8 * s, y + 8 * s, "the icon");
        ExpectSpan(FindBoxIn(img, FirstPixel(anchor + 27 * s), kScreenW, isText), right - width * s,
                   right - kSpacing * s, y - 10 * s, y - 10 * s + kSmallH * s, "the number");
        EXPECT_NEAR(middle / 65536.0, anchor + 21 * 0.8 * s + (kSmallW + kSpacing) * 0.8 * s / 2, 1e-3);
    }

    game.GetAppData()->m_nCurrentProfile = -1;
    FIXED_FLOAT_16 middle = -1;
    const mediatest::TImage img = Drawn([&] { middle = game.DrawNumCoins(255, 1.0f); });
    EXPECT_EQ(middle, 0);
    EXPECT_TRUE(FindBox(img, [](Colour p) { return p[0] > 0 || p[1] > 0 || p[2] > 0; }).Empty()) << "no profile";
    (void)player;
}

}  // namespace
