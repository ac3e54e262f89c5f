#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/news/AdsEngine.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/TestTheGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// A game with a software back buffer of the given width, the rotator-scaler, and the ad pictures
// in its pak: each small one 20 x 10 pixels of one colour, each "_hd" one 40 x 20.
class Ads : public ::testing::Test {
protected:
    void Start(int width) {
        game.SetGameSize(width, 480);
        // Bitmaps stored as seen, so the back buffer's width is the screen's.
        game.m_Screen.m_nOrientationMode = 0;
        game.m_Screen.m_nOrientationAngle = 0;
        IDibBitmap* back = game.CreateBitmapObject();
        ASSERT_TRUE(back->Create(width, 480));
        back->ClearBitmap(0, 0, 0);
        game.m_Screen.m_pBackBuffer = back;
        game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 36000);
        ASSERT_TRUE(game.m_pRotatorScaler->Initialize());
        // A clear corner pixel gives each picture an alpha plane, as the ads are drawn blended.
        mediatest::TImage small = mediatest::MakeImage(20, 10, {200, 40, 40, 255});
        mediatest::TImage large = mediatest::MakeImage(40, 20, {40, 40, 200, 255});
        small.Set(0, 0, {0, 0, 0, 0});
        large.Set(0, 0, {0, 0, 0, 0});
        mediatest::SetCommonPak(game, dir.Path("common.pak"),
                                {{"i_vga\\ads\\ad_marshkite.png", mediatest::EncodePng(small)},
                                 {"i_vga\\ads\\ad_pebbler.png", mediatest::EncodePng(small)},
                                 {"i_vga\\ads\\ad_marshkite_hd.png", mediatest::EncodePng(large)},
                                 {"i_vga\\ads\\ad_pebbler_hd.png", mediatest::EncodePng(large)}});
    }
    // Red, green and blue of a back-buffer pixel (RGB565 widened to 8 bits).
    void Pixel(int x, int y, int rgb[3]) {
        IDibBitmap* back = game.m_Screen.m_pBackBuffer;
        const auto* pixels = reinterpret_cast<const std::uint16_t*>(back->GetBits());
        const std::uint16_t p = pixels[y * back->m_Width + x];
        rgb[0] = ((p >> 11) & 31) * 255 / 31;
        rgb[1] = ((p >> 5) & 63) * 255 / 63;
        rgb[2] = (p & 31) * 255 / 31;
    }
    CScratchDir dir;
    CTestTheGame game;
};

TEST_F(Ads, ARandomRowByTheGamesGenerator) {
    Start(320);
    const char* links[2] = {"http://store.hollowfen.example/marshkite", "http://store.hollowfen.example/pebbler"};
    for (unsigned seed : {1u, 2u, 3u, 11u}) {
        std::srand(seed);
        const int row = std::rand() % 2;
        game.SeedRandoms(seed);
        CAdsEngine ads(&game);
        EXPECT_EQ(Text(ads.m_Link), links[row]) << seed;
        ASSERT_NE(ads.m_pPicture, nullptr);
        EXPECT_EQ(ads.m_pPicture->m_Width, 20);
        EXPECT_FALSE(ads.IsAdVisible()) << "hidden until a screen shows it";
    }
}

TEST_F(Ads, TheLargeResolutionTakesTheHdColumns) {
    Start(360);
    for (unsigned seed : {1u, 2u, 3u, 11u}) {
        std::srand(seed);
        const int row = std::rand() % 2;
        game.SeedRandoms(seed);
        CAdsEngine ads(&game);
        EXPECT_EQ(Text(ads.m_Link),
                  row == 0 ? "http://store.hollowfen.example/marshkite" : "http://store.hollowfen.example/pebbler-hd");
        ASSERT_NE(ads.m_pPicture, nullptr);
        EXPECT_EQ(ads.m_pPicture->m_Width, 40);
    }
}

TEST_F(Ads, DrawsAtItsPlaceAndLightsUpWhilePressed) {
    Start(320);
    CAdsEngine ads(&game);
    ads.SetAdPosition(100, 200, 2.0f);  // 40 x 20 pixels from (100, 200)
    int rgb[3];
    ads.DrawAd();
    Pixel(110, 205, rgb);
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0) << "hidden: nothing drawn";
    ads.ShowAd(true);
    ads.DrawAd();
    Pixel(110, 205, rgb);
    EXPECT_NEAR(rgb[0], 200, 12);
    EXPECT_NEAR(rgb[1], 40, 12);
    Pixel(137, 217, rgb);
    EXPECT_NEAR(rgb[0], 200, 12) << "scaled to twice its size";
    Pixel(141, 205, rgb);
    EXPECT_EQ(rgb[0], 0) << "nothing right of the ad";

    EXPECT_EQ(ads.NotifyPointerEvent(120, 210, 1), 1);
    ads.DrawAd();
    Pixel(110, 205, rgb);
    // The picture added on top at half strength: (200, 40, 40) + (100, 20, 20).
    EXPECT_EQ(rgb[0], 255) << "red saturates";
    EXPECT_NEAR(rgb[1], 60, 8);
    EXPECT_EQ(ads.NotifyPointerEvent(300, 400, 3), 1);
    ads.DrawAd();
    Pixel(110, 205, rgb);
    EXPECT_NEAR(rgb[1], 40, 8) << "no highlight while the finger is off the ad";
}

TEST_F(Ads, TouchesOnTheAdAreConsumed) {
    Start(320);
    CAdsEngine ads(&game);
    ads.SetAdPosition(0, 0, 1.0f);  // 20 x 10
    EXPECT_EQ(ads.NotifyPointerEvent(5, 5, 1), 0) << "hidden: no touch is the ad's";
    ads.ShowAd(true);
    struct TStep {
        int x, y, type, consumed;
        bool pressed, inside;
        const char* why;
    } steps[] = {
        {50, 50, 1, 0, false, false, "a press outside"},
        {5, 5, 2, 0, false, false, "a release inside after an outside press is no tap"},
        {5, 5, 1, 1, true, true, "a press on the ad"},
        {50, 50, 3, 1, true, false, "moving away"},
        {6, 6, 3, 1, true, true, "and back: pressed again"},
        {50, 5, 2, 1, false, false, "a release outside opens nothing"},
        {5, 5, 1, 1, true, true, "a second press"},
        {5, 5, 2, 1, false, false, "a release inside is a tap"},
        {5, 5, 4, 0, false, false, "other event types"},
    };
    for (const TStep& s : steps) {
        EXPECT_EQ(ads.NotifyPointerEvent(s.x, s.y, s.type), s.consumed) << s.why;
        EXPECT_EQ(ads.m_bPressed, s.pressed) << s.why;
        EXPECT_EQ(ads.m_bPressedInside, s.inside) << s.why;
        if (s.type == 2 && s.consumed == 1 && s.x == 50) {
            EXPECT_EQ(Text(ads.m_TappedAddress), "") << s.why;
        }
    }
    EXPECT_EQ(Text(ads.m_TappedAddress), Text(ads.m_Link));

    ads.OnAdReceived(true);
    EXPECT_EQ(ads.NotifyPointerEvent(5, 5, 1), 0) << "a network ad hides the local one";
    ads.OnAdReceived(false);
    EXPECT_EQ(ads.NotifyPointerEvent(5, 5, 1), 1);
}

TEST_F(Ads, WithoutItsPictureTheAdDoesNothing) {
    game.SetGameSize(320, 480);
    IDibBitmap* back = game.CreateBitmapObject();
    ASSERT_TRUE(back->Create(320, 480));
    game.m_Screen.m_pBackBuffer = back;
    mediatest::SetCommonPak(game, dir.Path("empty.pak"), {{"i_vga\\other.png", mediatest::Bytes{1}}});
    CAdsEngine ads(&game);
    EXPECT_EQ(ads.m_pPicture, nullptr);
    ads.ShowAd(true);
    EXPECT_EQ(ads.NotifyPointerEvent(0, 0, 1), 0);
    ads.DrawAd();  // no picture, no rotator: nothing to draw with and nothing drawn
}

}  // namespace
