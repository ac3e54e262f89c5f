// Pictures of the play screen on the real pak, kept in build/<preset>/screens/play-screen/ for a
// person to look at, each checked at a few places: the first-run hint's darkness around its spot,
// the stars earned under each yard, the padlock of a locked yard, the boosts button, and the
// fanned icons of the locked dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "PlayScreenTestGame.h"
#include "render/DibBitmap.h"
#include "text/BitmapFont.h"

namespace {

using mediatest::FindBoxIn;
using mediatest::TImage;
using Colour = std::array<std::uint8_t, 4>;

bool Gold(Colour p) { return p[0] > 200 && p[1] > 140 && p[1] < 235 && p[2] < 110; }
bool Dark(Colour p) { return p[0] < 70 && p[1] < 70 && p[2] < 70; }
bool Bright(Colour p) { return p[0] + p[1] + p[2] > 300; }
bool Blue(Colour p) { return p[2] > 150 && p[0] < 120 && p[2] > p[1] + 30; }

// The template's yard centres (y 290); a yard's stars are 28 x 230/256 pixels apart on its
// bottom edge.
constexpr int kYardX[] = {43, 121, 199, 277};
constexpr double kStarPitch = 28 * 230 / 256.0;
// A full star's pure gold (no blue at all, unlike the meadow's yellow flowers), counted over the
// lower half of the star, just below the thumbnail.
bool StarGold(Colour p) { return p[0] > 220 && p[1] > 120 && p[1] < 215 && p[2] < 40; }
bool StarIsFull(const TImage& frame, int yard, int star) {
    const int x = static_cast<int>(kYardX[yard] + 0.5 + (star - 1) * kStarPitch);
    int gold = 0;
    for (int y = 329; y <= 332; ++y)
        for (int dx = -3; dx <= 3; ++dx) gold += StarGold(frame.At(x + dx, y)) ? 1 : 0;
    return gold >= 8;
}

TEST_F(PlayScreenTest, PictureOfAFirstVisitWithItsHint) {
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    Ticks(40);
    ASSERT_NE(screen->m_pHint, nullptr);
    const TImage frame = Frame();
    KeepPicture(frame, "play-screen", "01_first_visit.png");
    // The meadow is darkened, the first arena under the spot is not.
    EXPECT_TRUE(Dark(frame.At(160, 440)));
    EXPECT_TRUE(Dark(frame.At(262, 142))) << "the third arena";
    EXPECT_FALSE(FindBoxIn(frame, 40, 76, Bright, 124, 160).Empty()) << "the first arena, lit";
}

TEST_F(PlayScreenTest, PictureOfAFarAlongPlayer) {
    HintsSeen(true, true, true);
    Completed("yard1", 3);
    Completed("yard2", 2);
    Completed("yard3", 1);
    player->m_AchievementFlags[kBoostsUnlockedAchievement] = 1;
    player->m_bCoinShopButtonShown = true;
    player->m_nCoins = 1234;
    player->m_nBoostPoints = 3;
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    Ticks(30);
    const TImage frame = Frame();
    KeepPicture(frame, "play-screen", "02_far_along.png");
    const struct { int yard, stars; } earned[] = {{0, 3}, {1, 2}, {2, 1}};
    for (const auto& e : earned)
        for (int star = 0; star < 3; ++star)
            EXPECT_EQ(StarIsFull(frame, e.yard, star), star < e.stars) << "yard " << e.yard + 1 << " star " << star;
    EXPECT_FALSE(FindBoxIn(frame, 269, 285, Gold, 282, 300).Empty()) << "the last yard's padlock";
    EXPECT_TRUE(FindBoxIn(frame, 191, 207, Gold, 282, 300).Empty()) << "no padlock on an open yard";
    EXPECT_FALSE(FindBoxIn(frame, 20, 120, Blue, 420, 452).Empty()) << "the boosts button";

    Click("btn_play_yard_4");
    Ticks(30);
    const TImage locked = Frame();
    KeepPicture(locked, "play-screen", "03_locked_yard.png");
    // The yards before the last fan out beside the middle icon: bright pictures left and right
    // of it, beyond its 76-pixel width.
    EXPECT_FALSE(FindBoxIn(locked, 70, 118, Bright, 210, 260).Empty()) << "the icon on the left";
    EXPECT_FALSE(FindBoxIn(locked, 202, 250, Bright, 210, 260).Empty()) << "the icon on the right";
}

// The coin counter drawn alone over white, as over a cloud: its white digits are edged in dark,
// so the number still shows as a dark-edged shape the width of its text, from the first digit's
// left edge to the right end 10 pixels from the screen's edge. Plain white glyphs would vanish.
TEST_F(PlayScreenTest, TheWhiteCoinCountStaysReadableOverACloud) {
    player->m_bCoinShopButtonShown = true;
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    ASSERT_NE(game.m_pHudCoinSet, nullptr);
    CBitmapFontText* font = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(font, nullptr);
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    const auto darkEdge = [](Colour p) { return p[0] + p[1] + p[2] < 3 * 110; };
    const auto white = [](Colour p) { return p[0] > 235 && p[1] > 235 && p[2] > 235; };
    for (int coins : {7, 1234, 987654}) {
        player->m_nCoins = coins;
        back->HWBeginScene();
        back->FillRectangle(0, 0, back->m_Width, back->m_Height, 255, 255, 255);
        (void)game.DrawNumCoins(255, 1.0f);
        const TImage frame = gl->Read();
        if (coins == 1234) KeepPicture(frame, "play-screen", "07_coins_over_white.png");
        const std::string digits = coins == 7 ? "7" : coins == 1234 ? "1,234" : "987,654";
        const int right = 320 - 10;
        const int left = right - font->Length2(digits.c_str());
        // The number's own columns: right of the "x" sign, which ends 4 pixels before it.
        const mediatest::TBox edge = FindBoxIn(frame, left - 2, 319, darkEdge, 0, 48);
        ASSERT_FALSE(edge.Empty()) << coins << ": no dark edge: white on white";
        EXPECT_NEAR(edge.left, left - 1, 2) << coins;
        EXPECT_NEAR(edge.right, right, 3) << coins;
        EXPECT_GE(edge.Height(), 10) << coins;
        // Dark edges and white ink in each third of the number: every digit is edged.
        const int third = std::max(1, (right - left) / 3);
        for (int x0 = left; x0 + third <= right; x0 += third) {
            EXPECT_FALSE(FindBoxIn(frame, x0, x0 + third - 1, darkEdge, edge.top, edge.bottom).Empty())
                << coins << " " << x0;
            EXPECT_FALSE(FindBoxIn(frame, x0, x0 + third - 1, white, edge.top + 2, edge.bottom - 2).Empty())
                << coins << " " << x0;
        }
    }
}

}  // namespace
