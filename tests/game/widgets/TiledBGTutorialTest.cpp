// The tiled hint with 16 x 16 tiles: the panel in whole tiles around the requested rectangle and
// its text, the close button in its corner, the black arrow towards a widget, and the nine-patch
// read back from the pixels.
#include "game/widgets/TiledBGTutorial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "OverlayTestGame.h"

namespace {

using namespace overlaytest;

// Three lines of the block font in a panel of 240: "aaaa...": each word 50 characters (200 px).
const std::string kThreeLines = std::string(50, 'a') + " " + std::string(50, 'b') + " " + std::string(50, 'c');

class TiledBGTutorialTest : public OverlayTest {
protected:
    void SetUp() override {
        if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    }
};

TEST_F(TiledBGTutorialTest, ThePanelGrowsByWholeTilesAndStaysCentredOnTheRequest) {
    const struct {
        int requested;  // width
        int width;      // of the panel
        int made;       // the text needs 40 pixels for its margins and some room
    } cases[] = {
        {0, 32, 0},     // two tiles at least, but no room for the text
        {40, 32, 0},    // half a tile short is close enough
        {41, 48, 1},    // more than half a tile short: one more
        {100, 96, 1},   //
        {105, 112, 1},  //
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requested);
        CTiledBGTutorial hint(&game, 3, 0, 0, "Hi", TCoordRect2D{100, 200, c.requested, 40}, nullptr);
        ASSERT_EQ(hint.PostConstruct(), c.made);
        const TCoordRect2D panel = hint.GetPanel();
        EXPECT_EQ(panel.width, c.width);
        if (!c.made) continue;
        EXPECT_EQ(panel.x, 100 + (c.requested - c.width) / 2);
        EXPECT_EQ(hint.GetMiddleTilesAcross(), c.width / kTile - 2);
        EXPECT_EQ(panel.height % kTile, 0);
        EXPECT_EQ(panel.y, 200 + (40 - panel.height) / 2) << "centred on the request's height too";
        // The text keeps 20 pixels from either side.
        EXPECT_EQ(hint.GetTextX(), (panel.x + 20) << 8);
        EXPECT_EQ(hint.GetTextWidth(), (c.width - 40) << 8);
    }
}

TEST_F(TiledBGTutorialTest, ThePanelGrowsDownUntilTheTextAndTheCloseButtonFit) {
    int heights[2] = {};
    const std::string texts[2] = {"One line", kThreeLines};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        CTiledBGTutorial hint(&game, 3, 0, 0, texts[i].c_str(), TCoordRect2D{20, 100, 280, 10}, nullptr);
        ASSERT_EQ(hint.PostConstruct(), 1);
        const TCoordRect2D panel = hint.GetPanel();
        EXPECT_EQ(hint.GetTextHeight(), (i == 0 ? 1 : 3) * kCellH << 8);
        heights[i] = panel.height;
        EXPECT_EQ(hint.GetMiddleTilesDown(), panel.height / kTile - 2);
        const double textTop = hint.GetTextY() / 256.0, textBottom = textTop + hint.GetTextHeight() / 256.0;
        EXPECT_GE(textTop, hint.GetCloseY() + kClose / 2) << "the text starts below the close button";
        EXPECT_LE(textBottom, panel.y + panel.height - kTile / 2) << "and ends inside the panel";
        EXPECT_GT(textBottom, panel.y + panel.height - kTile - kTile / 2) << "with no whole tile to spare";
    }
    EXPECT_GT(heights[1], heights[0]);
    EXPECT_EQ((heights[1] - heights[0]) % kTile, 0);
}

TEST_F(TiledBGTutorialTest, TheCloseButtonSitsInTheTopRightCornerAndTakesPressesWithin40Pixels) {
    CTiledBGTutorial hint(&game, 3, 0, 0, "Hi", TCoordRect2D{100, 200, 100, 40}, nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const TCoordRect2D panel = hint.GetPanel();
    // A quarter and a half tile in from the right, a half and a quarter down from the top.
    const int cx = panel.x + panel.width - 4 - 8, cy = panel.y + 8 + 4;
    EXPECT_EQ(hint.GetCloseX(), cx);
    EXPECT_EQ(hint.GetCloseY(), cy);
    const struct {
        int dx, dy;
        bool hit;
    } cases[] = {{40, 0, true}, {41, 0, false}, {0, -40, true}, {0, -41, false}, {-40, 40, true}, {-41, 40, false}};
    for (const auto& c : cases) EXPECT_EQ(hint.HitTestCloseButton(cx + c.dx, cy + c.dy), c.hit) << c.dx << "," << c.dy;
}

TEST_F(TiledBGTutorialTest, TheBlackArrowPointsFromThePanelTowardsTheWidget) {
    XWidget* target = MakeTarget(200, 20, 40, 40);
    ASSERT_NE(target, nullptr);
    const TCoordRect2D r = target->GetDrawingRect();
    ASSERT_EQ(r.x, 200);
    // Panel: 192 wide (the request of 200 is half a tile short at most), at x 64.
    const struct {
        int kind;
        double arrowX;
    } cases[] = {{4, 64 + 192 / 4.0}, {6, 64 + 4 * 192 / 5.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CTiledBGTutorial hint(&game, c.kind, 0, 0, "Hi", TCoordRect2D{60, 200, 200, 60}, target);
        ASSERT_EQ(hint.PostConstruct(), 1);
        const TCoordRect2D panel = hint.GetPanel();
        ASSERT_EQ(panel.x, 64);
        EXPECT_NEAR(hint.GetArrowX(), c.arrowX, 1.0);
        EXPECT_EQ(hint.GetArrowY(), panel.y + 16);
        // The compass bearing from the arrow to the widget's middle (220, 40), y running down.
        const double bearing = std::atan2(220 - hint.GetArrowX(), -(40 - hint.GetArrowY())) * 180.0 / std::numbers::pi;
        EXPECT_NEAR(hint.GetArrowAngle() / 256.0, bearing < 0 ? bearing + 360 : bearing, 1.0 / 256);

        Frames(hint, 22);
        const mediatest::TImage img = Drawn(hint);
        const TBox tip = mediatest::FindBox(img, [](Colour p) { return Shows(p, kBlackArrowTip, 220); });
        const TBox tail = mediatest::FindBox(img, [](Colour p) { return Shows(p, kBlackArrowTail, 220); });
        ASSERT_FALSE(tip.Empty());
        ASSERT_FALSE(tail.Empty());
        EXPECT_LT(tip.CentreY(), tail.CentreY()) << "up, out of the panel's top towards the widget";
        EXPECT_LT(tip.top, panel.y);
        EXPECT_EQ(tip.CentreX() < tail.CentreX(), hint.GetArrowX() > 220) << "and leaning towards it";
    }
}

// How far (px, py) lies from the segment (ax, ay)-(bx, by), worked out in the test's own way.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double ux = bx - ax, uy = by - ay;
    double t = ((px - ax) * ux + (py - ay) * uy) / (ux * ux + uy * uy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(px - ax - t * ux, py - ay - t * uy);
}

TEST_F(TiledBGTutorialTest, AnArrowThatWouldCrossTheCloseButtonStartsFurtherLeft) {
    // A widget up and to the right of the panel's right part: from four fifths across, the arrow
    // would run over the close button in the corner.
    XWidget* target = MakeTarget(300, 150, 20, 20);
    ASSERT_NE(target, nullptr);
    CTiledBGTutorial hint(&game, 6, 0, 0, "Hi", TCoordRect2D{60, 200, 200, 60}, target);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const TCoordRect2D panel = hint.GetPanel();
    ASSERT_EQ(panel.x, 64);
    const double ay = hint.GetArrowY(), cx = hint.GetCloseX(), cy = hint.GetCloseY();
    EXPECT_EQ(ay, panel.y + 16);
    // The arrow reaches its length (16) and its bob (up to 4) from its foot towards (310, 160);
    // it passes clear when its line keeps half the close disc and half the arrow (16 + 4) away.
    const auto distance = [&](double ax) {
        const double along = std::hypot(310 - ax, 160 - ay);
        return SegmentDistance(cx, cy, ax, ay, ax + (310 - ax) * 20 / along, ay + (160 - ay) * 20 / along);
    };
    const double fourFifths = 64 + 4 * 192 / 5.0;
    ASSERT_LT(distance(fourFifths), 20) << "the case needs an arrow that would cross the button";
    const double ax = hint.GetArrowX();
    EXPECT_LT(ax, fourFifths);
    EXPECT_GE(distance(ax), 20);
    EXPECT_LT(distance(ax + 1), 20) << "and moved no further than that";
    const double bearing = std::atan2(310 - ax, -(160 - ay)) * 180.0 / std::numbers::pi;
    EXPECT_NEAR(hint.GetArrowAngle() / 256.0, bearing < 0 ? bearing + 360 : bearing, 1.0 / 256) << "still aimed";
}

TEST_F(TiledBGTutorialTest, TheNinePatchRepeatsItsEdgesAndCentreOverTheMiddleTiles) {
    // 80 wide: five tiles across (three middle ones); three lines of two words in the 40 pixels
    // between the margins make it four or more tiles down.
    CTiledBGTutorial hint(&game, 3, 0, 0, "ab ab ab ab ab ab", TCoordRect2D{100, 200, 80, 64}, nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const TCoordRect2D panel = hint.GetPanel();
    ASSERT_EQ(hint.GetTextHeight(), 3 * kCellH << 8);
    EXPECT_TRUE(FindBox(Drawn(hint), [](Colour p) { return p[0] || p[1] || p[2]; }).Empty()) << "alpha 0 draws nothing";
    Frames(hint, 22);
    const mediatest::TImage img = Drawn(hint);
    ASSERT_EQ(panel.width, 80);
    ASSERT_EQ(hint.GetMiddleTilesAcross(), 3);
    const int rows = hint.GetMiddleTilesDown() + 2;
    // The tile (column, row) of the grid shows frame: corners, edges and centre by place.
    const auto frameAt = [&](int column, int row) {
        const int gx = column == 0 ? 0 : column == 4 ? 2 : 1;
        const int gy = row == 0 ? 0 : row == rows - 1 ? 2 : 1;
        return gy * 3 + gx;
    };
    // Every tile's middle but where the close button or the text covers it.
    const double closeX = hint.GetCloseX(), closeY = hint.GetCloseY();
    const double textTop = hint.GetTextY() / 256.0 - 3, textBottom = textTop + hint.GetTextHeight() / 256.0 + 6;
    int checked = 0;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 5; ++column) {
            const int x = panel.x + column * kTile + kTile / 2, y = panel.y + row * kTile + kTile / 2;
            const bool underClose = std::abs(x - closeX) <= kClose / 2 + 1 && std::abs(y - closeY) <= kClose / 2 + 1;
            const bool underText = y >= textTop && y <= textBottom && x >= panel.x + 17 && x <= panel.x + 63;
            if (underClose || underText) continue;
            EXPECT_TRUE(Shows(img.At(x, y), kTileColours[frameAt(column, row)], 220, 8)) << column << "," << row;
            ++checked;
        }
    EXPECT_GE(checked, 10);
    // Nothing outside the panel but the close button's overhang.
    const TBox all = FindBox(img, [](Colour p) { return p[0] || p[1] || p[2]; });
    EXPECT_EQ(all.left, panel.x);
    EXPECT_EQ(all.bottom, panel.y + panel.height - 1);
    EXPECT_LE(all.right, closeX + kClose / 2);

    hint.FadeOut();
    Frames(hint, 7);
    ASSERT_TRUE(hint.IsFinished());
    EXPECT_TRUE(FindBox(Drawn(hint), [](Colour p) { return p[0] || p[1] || p[2]; }).Empty()) << "finished";
}

}  // namespace
