// The full-screen hint on a 320 x 480 screen: where its text, arrow and close button go for
// targets above and below the middle, the spot's glide, the text's late fade-in, the darkness
// around the spot and the arrow turned to the target, read back from the pixels.
#include "game/widgets/FullScreenTutorial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "OverlayTestGame.h"

namespace {

using namespace overlaytest;

// Degrees that turn an upright image from (x0, y0) towards (x1, y1) on a screen whose y runs
// down: the compass bearing, 0 up and 90 right.
double Bearing(double x0, double y0, double x1, double y1) {
    double degrees = std::atan2(x1 - x0, -(y1 - y0)) * 180.0 / std::numbers::pi;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

class FullScreenTutorialTest : public OverlayTest {
protected:
    void SetUp() override {
        if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    }
};

TEST_F(FullScreenTutorialTest, TheTextStandsAwayFromTheTargetAndTheArrowPointsAtIt) {
    // One line of text 8 pixels high, in a box 3/4 of the screen wide and centred: 40 .. 280.
    const struct {
        const char* why;
        int x, y;
        double textTop, arrowY;
    } cases[] = {
        {"below the middle: text above, arrow under it", 160, 400, 0.75 * 400 - 1.5 * 8, 0.75 * 400 - 12 + 8 + 4},
        {"off to the side below", 300, 400, 288, 300},
        {"above the middle: text below, arrow over it", 160, 100, 100 + 380 / 4.0 - 4, 100 + 95 - 4 - 4},
        {"off to the side above", 20, 100, 191, 187},
        {"on the middle counts as above", 160, 240, 240 + 60 - 4, 240 + 56 - 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CFullScreenTutorial hint(&game, 0, c.x, c.y, "Tap here", nullptr);
        ASSERT_EQ(hint.PostConstruct(), 1);
        EXPECT_EQ(hint.GetTextX(), 40 << 8);
        EXPECT_EQ(hint.GetTextWidth(), 240 << 8);
        EXPECT_EQ(hint.GetTextHeight(), kCellH << 8);
        EXPECT_NEAR(hint.GetTextY() / 256.0, c.textTop, 1.0 / 256);
        EXPECT_DOUBLE_EQ(hint.GetArrowX(), 160.0) << "under the middle of the text";
        EXPECT_NEAR(hint.GetArrowY(), c.arrowY, 1e-9);
        EXPECT_NEAR(hint.GetArrowAngle() / 256.0, Bearing(160, c.arrowY, c.x, c.y), 1.0 / 256);
        // The close button: 20 pixels in from the text's right end, half its width above it.
        EXPECT_DOUBLE_EQ(hint.GetCloseX(), 260.0);
        EXPECT_NEAR(hint.GetCloseY(), c.textTop - kClose / 2, 1.0 / 256);
    }
}

TEST_F(FullScreenTutorialTest, TheCloseButtonTakesPressesUpTo40PixelsFromItsCentre) {
    CFullScreenTutorial hint(&game, 0, 160, 400, "Tap here", nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const int cx = 260, cy = 288 - kClose / 2;
    ASSERT_EQ(hint.GetCloseX(), cx);
    ASSERT_EQ(hint.GetCloseY(), cy);
    const struct {
        int dx, dy;
        bool hit;
    } cases[] = {{0, 0, true},  {40, 0, true},   {41, 0, false}, {-40, 0, true},   {-41, 0, false},
                 {0, 40, true}, {0, -41, false}, {40, 40, true}, {-40, -40, true}, {40, 41, false}};
    for (const auto& c : cases) EXPECT_EQ(hint.HitTestCloseButton(cx + c.dx, cy + c.dy), c.hit) << c.dx << "," << c.dy;
    Frames(hint, 40);
    EXPECT_TRUE(hint.HitTestCloseButton(cx + 40, cy)) << "the unmoved centre, whatever the bobbing";
}

TEST_F(FullScreenTutorialTest, TheSpotGlidesOntoTheTargetIn24Frames) {
    // Starts: the middle for kind 0, three quarters across and down for 1, low and left for 2.
    const struct {
        int kind;
        double startX, startY;
    } starts[] = {{0, 160, 240}, {1, 240, 360}, {2, 128, 360}};
    for (const auto& s : starts) {
        SCOPED_TRACE(s.kind);
        const int tx = 100, ty = 120;
        CFullScreenTutorial hint(&game, s.kind, tx, ty, "Tap here", nullptr);
        ASSERT_EQ(hint.PostConstruct(), 1);
        EXPECT_DOUBLE_EQ(hint.GetSpotX(), s.startX);
        EXPECT_DOUBLE_EQ(hint.GetSpotShownY(), s.startY);
        // x in even steps; y eased, (1 - cos(pi t)) / 2 of the way at t of the frames.
        for (int frame = 1; frame <= 30; ++frame) {
            hint.RunProcess();
            const double t = std::min(frame / 24.0, 1.0);
            ASSERT_NEAR(hint.GetSpotX(), s.startX + (tx - s.startX) * t, 1e-6) << "frame " << frame;
            ASSERT_NEAR(hint.GetSpotShownY(), s.startY + (ty - s.startY) * (1 - std::cos(std::numbers::pi * t)) / 2,
                        0.01)
                << "frame " << frame;
        }
        EXPECT_EQ(hint.GetSpotX(), tx);
        EXPECT_NEAR(hint.GetSpotShownY(), ty, 0.01) << "the ease curve's own precision";
    }
}

TEST_F(FullScreenTutorialTest, TheScreenDarkensAroundTheSpotAndTheArrowPointsDownAtATargetBelow) {
    CFullScreenTutorial hint(&game, 0, 160, 400, "Tap here", nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    // The text comes in 26 frames after the overlay: nothing but the darkness before.
    Frames(hint, 25);
    EXPECT_EQ(hint.GetTextAlpha(), -5.0);
    mediatest::TImage img = Drawn(hint, 255);
    const auto isWhite = [](Colour p) { return mediatest::Near(p, 255, 255, 255, 4); };
    const auto lit = [](Colour p) { return p[0] > 60 || p[1] > 60 || p[2] > 60; };
    EXPECT_EQ(mediatest::FindBox(img, lit).Width(), 20) << "only the spot's 20-pixel hole is light";
    Frames(hint, 26);
    EXPECT_EQ(hint.GetTextAlpha(), 255.0);

    img = Drawn(hint, 255);
    // White under alpha 220 of black: 35. The spot's black frame at the same alpha matches it.
    const int dark = 255 - 220;
    for (const auto& [x, y] : {std::pair{2, 2}, {317, 477}, {160, 385}, {145, 400}, {300, 400}, {160, 470}})
        EXPECT_TRUE(mediatest::Near(img.At(x, y), dark, dark, dark, 6)) << x << "," << y;
    const TBox hole = mediatest::FindBoxIn(img, 100, 220, isWhite, 340, 460);
    EXPECT_NEAR(hole.CentreX(), 160, 0.5);
    EXPECT_NEAR(hole.CentreY(), 400, 0.5);
    EXPECT_EQ(hole.Width(), 20);

    // The arrow's foot half a line under the text, turned half round: its tip below its tail,
    // towards the target.
    const TBox tip = mediatest::FindBox(img, [](Colour p) { return Shows(p, kArrowTip); });
    const TBox tail = mediatest::FindBox(img, [](Colour p) { return Shows(p, kArrowTail); });
    ASSERT_FALSE(tip.Empty());
    ASSERT_FALSE(tail.Empty());
    EXPECT_GT(tip.CentreY(), tail.CentreY() + 5) << "pointing down";
    EXPECT_NEAR(tip.CentreX(), 160, 1.5);
    EXPECT_GE(tail.top, 288 + kCellH + kCellH / 2 - 3) << "below the text, give or take the bobbing";
    EXPECT_LT(tip.bottom, 400 - 10) << "above the target";
    // The text: white block ink inside its box, give or take the bobbing.
    const TBox text = mediatest::FindBoxIn(img, 0, 319, isWhite, 250, 330);
    ASSERT_FALSE(text.Empty());
    EXPECT_NEAR(text.top, 288, 3);
    EXPECT_NEAR(text.CentreX(), 160, 4);
    const TBox close = mediatest::FindBox(img, [](Colour p) { return Shows(p, kCloseColour); });
    EXPECT_NEAR(close.CentreX(), 260, 4);
    EXPECT_NEAR(close.CentreY(), 272, 2);
}

TEST_F(FullScreenTutorialTest, AboveTheMiddleTheArrowPointsUpAndAFinishedHintDrawsNothing) {
    CFullScreenTutorial hint(&game, 1, 160, 100, "Tap here", nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    Frames(hint, 60);
    mediatest::TImage img = Drawn(hint);
    const TBox tip = mediatest::FindBox(img, [](Colour p) { return Shows(p, kArrowTip); });
    const TBox tail = mediatest::FindBox(img, [](Colour p) { return Shows(p, kArrowTail); });
    EXPECT_LT(tip.CentreY(), tail.CentreY() - 5) << "pointing up";
    EXPECT_GT(tip.top, 100) << "below the target";

    hint.FadeOut();
    Frames(hint, 3);
    // 220 - 3 x 32 = 124: the close button at that alpha, shrunk to 0.8 of its size.
    img = Drawn(hint);
    const TBox fading = mediatest::FindBox(img, [](Colour p) { return Shows(p, kCloseColour, 124, 30); });
    ASSERT_FALSE(fading.Empty());
    EXPECT_NEAR(fading.Width(), 0.8 * kClose, 2.0);
    Frames(hint, 4);
    ASSERT_TRUE(hint.IsFinished());
    img = Drawn(hint, 255);
    EXPECT_TRUE(mediatest::FindBox(img, [](Colour p) { return !mediatest::Near(p, 255, 255, 255, 2); }).Empty());
}

TEST_F(FullScreenTutorialTest, TheCloseButtonBobsAroundItsCentre) {
    CFullScreenTutorial hint(&game, 0, 160, 400, "Tap here", nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    Frames(hint, 51);
    double lowX = 1e9, highX = -1e9;
    for (int frame = 0; frame < 40; ++frame) {
        hint.RunProcess();
        const TBox close = mediatest::FindBox(Drawn(hint), [](Colour p) { return Shows(p, kCloseColour); });
        ASSERT_FALSE(close.Empty());
        lowX = std::min(lowX, close.CentreX());
        highX = std::max(highX, close.CentreX());
        // Kind 0 moves it across by 1.1 times the second value (amplitude 2) and down by 0.4
        // times the first (amplitude 3).
        ASSERT_NEAR(close.CentreY(), 272, 2.0) << frame;
    }
    EXPECT_GT(highX - lowX, 2.0) << "it moves";
    EXPECT_LT(highX - lowX, 2 * 1.1 * 2.0 + 1.5) << "no further than the bobbing";
}

}  // namespace
