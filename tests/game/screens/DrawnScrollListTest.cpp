// The two self-drawn lists (achievements and leaderboards) driven by scripted pointer sequences
// through the game object, checked offset by offset per update: a tap against a drag at the
// 10-pixel threshold, a pull past either end at half rate, the outward speed halving and the spring
// back by a sixth of the distance (1 to 15 pixels an update), a fling slowing by a pixel an update,
// and the scroll bar shrinking by half the overshoot and fading by 32. The expected offsets were
// worked out by hand from those rules (in 1/256 pixel) and are written as numbers.
#include <gtest/gtest.h>

#include <string>

#include "ScoreScreensTest.h"

namespace {

constexpr int kX = 160;

struct TListCase {
    const char* name;
    int barHeight;    // the bar at rest: the area's height times its share of the range
    int barYHalfway;  // the bar's top 230 pixels down the range
    int barYAtEnd;
};

// Achievements: area 382 high, 23 rows of 83: range 1527 + 8 pixels, bar 382 x 382 / 1535 = 95.
// Leaderboards: area 324 high, 30 rows of 31: range 606 + 8, bar 324 x 324 / 614 = 170.
const TListCase kLists[] = {
    {"achievements", 95, 43, 287},
    {"leaderboards", 170, 57, 154},
};

class DrawnScrollListTest : public ScoreScreensTest {
protected:
    CXDrawnScrollList* Open(const TListCase& c) {
        const bool ach = std::string(c.name) == "achievements";
        CXDrawnScrollList* list = nullptr;
        if (ach) {
            CXAchScreen* screen = OpenAch();
            list = screen != nullptr ? screen->m_pScrollDialog : nullptr;
        } else {
            CXLeadersScreen* screen = OpenLeaders();
            list = screen != nullptr ? screen->m_pScrollDialog : nullptr;
        }
        return list;
    }
    // A point well inside the list's area.
    static int Y(const CXDrawnScrollList* list, int dy) { return list->GetVisibleRect().y + dy; }
    static int FromMin(const CXDrawnScrollList* list) { return list->GetOffset() - list->GetMinimum(); }
    static int FromMax(const CXDrawnScrollList* list) { return list->GetOffset() - list->GetMaximum(); }
};

TEST_F(DrawnScrollListTest, AMoveUnderTenPixelsFromThePressStartsNoDrag) {
    struct TMove {
        int dx, dy;
        bool drag;
        const char* why;
    };
    const TMove moves[] = {
        {0, 9, false, "81 squared pixels"},
        {6, 7, false, "85 squared pixels, slanted"},
        {0, 10, true, "100 squared pixels"},
        {-8, -6, true, "100 squared pixels, slanted"},
    };
    for (const TListCase& c : kLists) {
        for (const TMove& m : moves) {
            CXDrawnScrollList* list = Open(c);
            ASSERT_NE(list, nullptr) << c.name;
            Touch(XPOINTER_PRESS, kX, Y(list, 100));
            EXPECT_EQ(game.XGetCapture(), list) << c.name << ": the list holds the finger";
            Touch(XPOINTER_MOVE, kX + m.dx, Y(list, 100) + m.dy);
            EXPECT_EQ(list->IsDragging(), m.drag) << c.name << ": " << m.why;
            EXPECT_EQ(FromMin(list), 0) << c.name << ": the move that starts a drag scrolls nothing";
            Touch(XPOINTER_MOVE, kX + m.dx, Y(list, 100) + m.dy + 5);
            EXPECT_EQ(FromMin(list), m.drag ? -5 * 256 : 0) << c.name << ": " << m.why;
            Touch(XPOINTER_RELEASE, kX + m.dx, Y(list, 100) + m.dy + 5);
            EXPECT_EQ(game.XGetCapture(), nullptr) << c.name;
            EXPECT_EQ(list->GetSpeed(), m.drag ? -5 * 256 : 0) << c.name << ": " << m.why;
        }
    }
}

TEST_F(DrawnScrollListTest, APullPastTheTopMovesAtHalfRateAndSpringsBack) {
    // Halving the -10 pixel speed until it is under a pixel, then a sixth of the distance a tick
    // (at least a pixel), stopping exactly on the minimum.
    const int fromMin[] = {-19200, -19840, -20160, -20320, -20320, -16934, -14112, -11760, -9800,
                           -8167,  -6806,  -5672,  -4727,  -3940,  -3284,  -2737,  -2281,  -1901,
                           -1585,  -1321,  -1065,  -809,   -553,   -297,   -41,    0};
    for (const TListCase& c : kLists) {
        CXDrawnScrollList* list = Open(c);
        ASSERT_NE(list, nullptr) << c.name;
        // Pulled down past the top, then up a little and down again.
        Touch(XPOINTER_PRESS, kX, Y(list, 100));
        Touch(XPOINTER_MOVE, kX, Y(list, 110));
        Touch(XPOINTER_MOVE, kX, Y(list, 170));  // 60 down from the limit: full rate
        EXPECT_EQ(FromMin(list), -60 * 256) << c.name;
        Touch(XPOINTER_MOVE, kX, Y(list, 190));  // past the limit: half rate
        EXPECT_EQ(FromMin(list), -70 * 256) << c.name;
        Touch(XPOINTER_MOVE, kX, Y(list, 188));  // back towards it: full rate
        EXPECT_EQ(FromMin(list), -68 * 256) << c.name;
        Touch(XPOINTER_MOVE, kX, Y(list, 192));
        EXPECT_EQ(FromMin(list), -70 * 256) << c.name;
        Touch(XPOINTER_RELEASE, kX, Y(list, 192));
        ASSERT_EQ(list->GetSpeed(), -2 * 256) << c.name;
        Touch(XPOINTER_PRESS, kX, Y(list, 100));
        EXPECT_EQ(FromMin(list), 0) << c.name << ": a finger on an overshoot cuts it back to the limit";
        Touch(XPOINTER_RELEASE, kX, Y(list, 100));
        EXPECT_EQ(list->GetSpeed(), 0) << c.name << ": a tap leaves no speed";

        // The same pull let go at once: the outward speed of 10 pixels.
        Drag(kX, {Y(list, 100), Y(list, 110), Y(list, 170), Y(list, 190)});
        ASSERT_EQ(FromMin(list), -70 * 256) << c.name;
        ASSERT_EQ(list->GetSpeed(), -10 * 256) << c.name;
        for (int tick = 0; tick < static_cast<int>(std::size(fromMin)); ++tick) {
            Ticks(1);
            EXPECT_EQ(FromMin(list), fromMin[tick]) << c.name << " " << tick;
            const TScrollBar& bar = list->GetScrollBar();
            if (fromMin[tick] != 0) {
                EXPECT_EQ(bar.alpha, 255) << c.name << " " << tick << ": shown while past the end";
                // Shrunk by half the overshoot, stuck to the top.
                EXPECT_EQ(bar.height, std::max(1, c.barHeight + fromMin[tick] / 512)) << c.name << " " << tick;
                EXPECT_EQ(bar.y, 0) << c.name << " " << tick;
            }
        }
        EXPECT_EQ(list->GetSpeed(), 0) << c.name;
        // The bar fades over 8 updates once the list rests, the first being the one it stopped on.
        EXPECT_EQ(list->GetScrollBar().alpha, 223) << c.name;
        EXPECT_EQ(list->GetScrollBar().height, c.barHeight) << c.name;
        for (int tick = 2; tick <= 9; ++tick) {
            Ticks(1);
            EXPECT_EQ(list->GetScrollBar().alpha, std::max(0, 255 - 32 * tick)) << c.name << " " << tick;
        }
    }
}

TEST_F(DrawnScrollListTest, APullPastTheBottomMovesAtHalfRateAndSpringsBack) {
    const int fromMax[] = {19200, 19840, 20160, 20320, 20320, 16934, 14112, 11760, 9800, 8167, 6806, 5672, 4727,
                           3940,  3284,  2737,  2281,  1901,  1585,  1321,  1065,  809,  553,  297,  41,   0};
    for (const TListCase& c : kLists) {
        CXDrawnScrollList* list = Open(c);
        ASSERT_NE(list, nullptr) << c.name;
        list->SetOffset(list->GetMaximum());
        Touch(XPOINTER_PRESS, kX, Y(list, 250));
        Touch(XPOINTER_MOVE, kX, Y(list, 240));
        Touch(XPOINTER_MOVE, kX, Y(list, 180));  // 60 up from the end: full rate
        EXPECT_EQ(FromMax(list), 60 * 256) << c.name;
        Touch(XPOINTER_MOVE, kX, Y(list, 160));  // past the end: half rate
        EXPECT_EQ(FromMax(list), 70 * 256) << c.name;
        Touch(XPOINTER_RELEASE, kX, Y(list, 160));
        EXPECT_EQ(list->GetSpeed(), 10 * 256) << c.name;
        for (int tick = 0; tick < static_cast<int>(std::size(fromMax)); ++tick) {
            Ticks(1);
            EXPECT_EQ(FromMax(list), fromMax[tick]) << c.name << " " << tick;
            if (fromMax[tick] != 0) {
                const TScrollBar& bar = list->GetScrollBar();
                const int height = std::max(1, c.barHeight - fromMax[tick] / 512);
                EXPECT_EQ(bar.height, height) << c.name << " " << tick;
                EXPECT_EQ(bar.y, list->GetVisibleRect().height - height) << c.name << ": stuck to the bottom";
            }
        }
    }
}

TEST_F(DrawnScrollListTest, AFlingSlowsByAPixelPerUpdate) {
    // 8, 7, ..., 1 pixels, then rest: 36 pixels on from 28.
    const int fromMin[] = {36, 43, 49, 54, 58, 61, 63, 64, 64, 64};
    for (const TListCase& c : kLists) {
        CXDrawnScrollList* list = Open(c);
        ASSERT_NE(list, nullptr) << c.name;
        Drag(kX, {Y(list, 250), Y(list, 240), Y(list, 220), Y(list, 212)});
        EXPECT_EQ(FromMin(list), 28 * 256) << c.name;
        EXPECT_EQ(list->GetSpeed(), 8 * 256) << c.name << ": the last move, as a speed";
        for (int tick = 0; tick < static_cast<int>(std::size(fromMin)); ++tick) {
            Ticks(1);
            EXPECT_EQ(FromMin(list), fromMin[tick] * 256) << c.name << " " << tick;
            EXPECT_EQ(list->GetScrollBar().alpha, tick < 7 ? 255 : 255 - 32 * (tick - 6)) << c.name << " " << tick;
        }
        // Flung back down inside the range: 8 pixels with the finger, then 8, 7 and 6 more.
        Drag(kX, {Y(list, 250), Y(list, 262), Y(list, 270)});
        Ticks(3);
        EXPECT_EQ(FromMin(list), (64 - 8 - 8 - 7 - 6) * 256) << c.name;
    }
}

TEST_F(DrawnScrollListTest, SpringsRunOneToFifteenPixelsAnUpdate) {
    struct TSpring {
        int fromLimit;  // pixels past the minimum (negative) or the maximum (positive)
        int firstStep;  // 1/256 pixels moved back on the first update
        const char* why;
    };
    const TSpring springs[] = {
        {-100, 3840, "a sixth of 100 is over 15: 15"},
        {-3, 256, "a sixth of 3 is under 1: 1"},
        {-60, 2560, "a sixth of 60: 10"},
        {100, -3840, "past the end: 15 back"},
        {3, -256, "past the end: at least 1"},
        {-7, 298, "a sixth of 7 pixels, in 1/256"},
    };
    for (const TListCase& c : kLists) {
        CXDrawnScrollList* list = Open(c);
        ASSERT_NE(list, nullptr) << c.name;
        for (const TSpring& s : springs) {
            const FIXED_FLOAT limit = s.fromLimit < 0 ? list->GetMinimum() : list->GetMaximum();
            list->SetOffset(limit + s.fromLimit * 256);
            Ticks(1);
            EXPECT_EQ(list->GetOffset() - (limit + s.fromLimit * 256), s.firstStep) << c.name << ": " << s.why;
            Ticks(120);
            EXPECT_EQ(list->GetOffset(), limit) << c.name << ": " << s.why;
            EXPECT_EQ(list->GetSpeed(), 0) << c.name << ": " << s.why;
        }
    }
}

TEST_F(DrawnScrollListTest, TheBarSlidesOverTheRange) {
    for (const TListCase& c : kLists) {
        CXDrawnScrollList* list = Open(c);
        ASSERT_NE(list, nullptr) << c.name;
        const struct {
            FIXED_FLOAT offset;
            int y;
        } points[] = {{list->GetMinimum(), 0},
                      {list->GetMinimum() + 230 * 256, c.barYHalfway},
                      {list->GetMaximum(), c.barYAtEnd}};
        for (const auto& p : points) {
            list->SetOffset(p.offset);
            Ticks(1);
            const TScrollBar& bar = list->GetScrollBar();
            EXPECT_EQ(bar.x, 312) << c.name;
            EXPECT_EQ(bar.width, 6) << c.name;
            EXPECT_EQ(bar.height, c.barHeight) << c.name;
            EXPECT_EQ(bar.y, p.y) << c.name;
        }
    }
}

}  // namespace
