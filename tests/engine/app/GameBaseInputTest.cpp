#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestGame.h"
#include "render/WinDibBitmap.h"

namespace {

struct TSeen {
    int x, y, type;
};

// A screen that records the pointer events and keys it receives.
class CProbe : public CXElement {
public:
    CProbe(CXElement* parent, int x, int y, int w, int h) : CXElement(parent, nullptr) { SetPosition(x, y, w, h); }
    int NotifyPointerEvent(int x, int y, int type) override {
        seen.push_back({x, y, type});
        return 1;
    }
    int NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) override {
        multi.push_back({x, y, type});
        return 1;
    }
    int NotifyKeyEvent(int key, int type) override {
        keys.push_back({key, type, 0});
        return 1;
    }
    std::vector<TSeen> seen, multi, keys;
};

CWinDibBitmap* MakeBitmap(int w, int h) {
    auto* b = new CWinDibBitmap(nullptr);
    EXPECT_EQ(b->Create(w, h), 1);
    return b;
}

// A game of logical size w x h with a back buffer of the same size and one screen covering it.
struct TInputRig {
    CTestGame game;
    CProbe* screen;
    TInputRig(int w = 320, int h = 480, int backW = 320, int backH = 480) {
        game.m_nGameWidth = w;
        game.m_nGameHeight = h;
        game.m_Screen.m_pBackBuffer = MakeBitmap(backW, backH);
        screen = new CProbe(&game, 0, 0, 10000, 10000);
    }
    ~TInputRig() {
        game.RemoveChild(screen);
        delete screen;
    }
};

struct TTurnCase {
    const char* why;
    int rotationMode;
    int x, y;
    int expectX, expectY;
};

TEST(GameInput, PointerIsTurnedByTheRotationModeThenClamped) {
    // Logical 320 x 480; back buffer 480 x 320 for the turned modes so nothing is clamped.
    const TTurnCase cases[] = {
        {"mode 0 passes through", 0, 10, 20, 10, 20},
        {"mode 1: x' = h - 1 - y, y' = x", 1, 10, 20, 459, 10},
        {"mode 2: x' = y, y' = w - 1 - x", 2, 10, 20, 20, 309},
        {"press left of the screen clamps to 0", 0, -5, 700, 0, 479},
        {"far corner clamps to the last pixel", 0, 5000, 5000, 319, 479},
    };
    for (const TTurnCase& c : cases) {
        SCOPED_TRACE(c.why);
        const bool turned = c.rotationMode != 0;
        TInputRig rig(320, 480, turned ? 480 : 320, turned ? 320 : 480);
        rig.game.m_nRotationMode = c.rotationMode;
        EXPECT_EQ(rig.game.NotifyPointerEvent(c.x, c.y, XPOINTER_PRESS), 1);
        ASSERT_EQ(rig.screen->seen.size(), 1u);
        EXPECT_EQ(rig.screen->seen[0].x, c.expectX);
        EXPECT_EQ(rig.screen->seen[0].y, c.expectY);
    }
}

TEST(GameInput, TypeFourIsAcceptedAndDroppedAndPointerDownFollowsPressAndRelease) {
    TInputRig rig;
    EXPECT_EQ(rig.game.NotifyPointerEvent(5, 5, XPOINTER_IGNORED), 1);
    EXPECT_TRUE(rig.screen->seen.empty());
    rig.game.NotifyPointerEvent(5, 5, XPOINTER_PRESS);
    EXPECT_TRUE(rig.game.m_bPointerDown);
    rig.game.NotifyPointerEvent(6, 6, XPOINTER_MOVE);
    EXPECT_TRUE(rig.game.m_bPointerDown);
    rig.game.NotifyPointerEvent(6, 6, XPOINTER_RELEASE);
    EXPECT_FALSE(rig.game.m_bPointerDown);
}

TEST(GameInput, CaptureGetsEveryEventClampedButNeverTheSecondFinger) {
    TInputRig rig;
    auto* button = new CProbe(rig.screen, 10, 10, 40, 20);
    rig.game.XSetCapture(button);
    EXPECT_EQ(rig.game.NotifyPointerEvent(900, -40, XPOINTER_MOVE), 1);
    ASSERT_EQ(button->seen.size(), 1u);
    EXPECT_EQ(button->seen[0].x, 319);
    EXPECT_EQ(button->seen[0].y, 0);
    EXPECT_TRUE(rig.screen->seen.empty()) << "the tree is bypassed while captured";

    // The second finger goes down the tree, untouched by turn, clamp or capture.
    rig.game.m_nRotationMode = 1;
    EXPECT_EQ(rig.game.NotifyMultiTouchPointerEvent(200, 300, XPOINTER_PRESS, 1), 1);
    EXPECT_EQ(button->multi.size(), 0u);
    ASSERT_EQ(rig.screen->multi.size(), 1u);
    EXPECT_EQ(rig.screen->multi[0].x, 200);
    EXPECT_EQ(rig.screen->multi[0].y, 300);

    rig.game.XReleaseCapture();
    EXPECT_EQ(rig.game.XGetCapture(), nullptr);
    rig.screen->RemoveChild(button);
    delete button;
}

TEST(GameInput, BordersAreTakenOffBeforeTheClamp) {
    TInputRig rig;
    rig.game.m_nVerticalBorderWidth = 16;
    rig.game.m_nHorizontalBorderHeight = 8;
    rig.game.NotifyPointerEvent(100, 100, XPOINTER_PRESS);
    rig.game.NotifyPointerEvent(5, 3, XPOINTER_MOVE);
    rig.game.m_nRotationMode = 2;  // turned: the two borders swap axes
    rig.game.NotifyPointerEvent(319 - 50, 100, XPOINTER_MOVE);
    ASSERT_EQ(rig.screen->seen.size(), 3u);
    EXPECT_EQ(rig.screen->seen[0].x, 84);
    EXPECT_EQ(rig.screen->seen[0].y, 92);
    EXPECT_EQ(rig.screen->seen[1].x, 0);
    EXPECT_EQ(rig.screen->seen[1].y, 0);
    // mode 2: x' = y = 100, y' = 319 - x = 50; then x' -= 8, y' -= 16.
    EXPECT_EQ(rig.screen->seen[2].x, 92);
    EXPECT_EQ(rig.screen->seen[2].y, 34);
}

TEST(GameInput, QuitButtonTakesItsGestureAndEndsTheGameOnRelease) {
    TInputRig rig;
    rig.game.m_pQuitButton = MakeBitmap(30, 20);
    rig.game.m_pQuitButtonPressed = MakeBitmap(30, 20);
    rig.game.m_bBorderRedraw = false;

    // Hit area: 290 <= x < 320 and 1 <= y <= 20.
    EXPECT_EQ(rig.game.NotifyPointerEvent(289, 5, XPOINTER_PRESS), 1);
    EXPECT_EQ(rig.screen->seen.size(), 1u) << "left of the button goes to the tree";
    rig.game.NotifyPointerEvent(289, 5, XPOINTER_RELEASE);
    EXPECT_EQ(rig.game.NotifyPointerEvent(300, 0, XPOINTER_PRESS), 1);
    EXPECT_EQ(rig.screen->seen.size(), 3u) << "row 0 is above the button";
    rig.game.NotifyPointerEvent(300, 0, XPOINTER_RELEASE);

    const size_t before = rig.screen->seen.size();
    EXPECT_EQ(rig.game.NotifyPointerEvent(319, 20, XPOINTER_PRESS), 1);
    EXPECT_TRUE(rig.game.m_bQuitButtonPressed);
    EXPECT_TRUE(rig.game.m_bBorderRedraw);
    EXPECT_EQ(rig.game.NotifyPointerEvent(100, 100, XPOINTER_MOVE), 1);
    EXPECT_EQ(rig.screen->seen.size(), before) << "moves are swallowed while it is pressed";
    EXPECT_FALSE(rig.game.IsFinished());
    EXPECT_EQ(rig.game.NotifyPointerEvent(295, 10, XPOINTER_RELEASE), 1);
    EXPECT_TRUE(rig.game.IsFinished());
    EXPECT_EQ(rig.game.GetFinishCode(), kFinishQuitButton);

    // A press on it released elsewhere just lets go.
    TInputRig other;
    other.game.m_pQuitButton = MakeBitmap(30, 20);
    other.game.m_pQuitButtonPressed = MakeBitmap(30, 20);
    other.game.NotifyPointerEvent(300, 5, XPOINTER_PRESS);
    other.game.m_bBorderRedraw = false;
    EXPECT_EQ(other.game.NotifyPointerEvent(10, 10, XPOINTER_RELEASE), 1);
    EXPECT_FALSE(other.game.m_bQuitButtonPressed);
    EXPECT_TRUE(other.game.m_bBorderRedraw);
    EXPECT_FALSE(other.game.IsFinished());
    EXPECT_TRUE(other.screen->seen.empty());
}

TEST(GameKeys, LocksRepeatsAndDoublePresses) {
    TInputRig rig;
    CTestGame& g = rig.game;
    EXPECT_EQ(g.NotifyKeyEvent(32, 1), 0);
    EXPECT_EQ(g.NotifyKeyEvent(-1, 1), 0);

    EXPECT_EQ(g.NotifyKeyEvent(3, 1), 1);
    EXPECT_EQ(g.NotifyKeyEvent(3, 1), 1);
    ASSERT_EQ(rig.screen->keys.size(), 1u) << "a key pressed twice without a release is delivered once";
    g.NotifyKeyEvent(3, 0);
    ASSERT_EQ(rig.screen->keys.size(), 2u);
    EXPECT_EQ(rig.screen->keys[1].y, 0);

    g.LockKey(4);
    g.LockKey(7);
    EXPECT_TRUE(g.IsKeyLocked(7));
    EXPECT_EQ(g.NotifyKeyEvent(4, 1), 1);
    EXPECT_TRUE(g.IsKeyLocked(4)) << "a press keeps the locks";
    EXPECT_EQ(g.NotifyKeyEvent(4, 0), 1);
    EXPECT_FALSE(g.IsKeyLocked(4));
    EXPECT_FALSE(g.IsKeyLocked(7)) << "releasing a locked key clears every lock";
    EXPECT_EQ(rig.screen->keys.size(), 2u) << "locked keys never reach the tree";

    g.LockKey(9);
    g.InitUI();
    EXPECT_FALSE(g.IsKeyLocked(9));
    g.XSetCapture(rig.screen);
    g.InitUI();
    EXPECT_EQ(g.XGetCapture(), nullptr);
}

struct TRepeatCase {
    const char* why;
    int key;
    bool keys31;
    bool locked;
    int steps;
    int repeats;
};

TEST(GameKeys, AutoRepeatEveryFifteenUpdates) {
    const TRepeatCase cases[] = {
        {"one repeat at the 15th step", 2, true, false, 15, 1},
        {"not before", 2, true, false, 14, 0},
        {"two repeats in 30 steps", 2, true, false, 30, 2},
        {"key 0 never repeats", 0, true, false, 30, 0},
        {"key 10 with the 31-key switch", 10, true, false, 15, 1},
        {"key 10 without it", 10, false, false, 15, 0},
        {"key 4 without it", 4, false, false, 15, 1},
        {"a locked key does not repeat", 2, true, true, 30, 0},
    };
    for (const TRepeatCase& c : cases) {
        SCOPED_TRACE(c.why);
        TInputRig rig;
        CTestGame& g = rig.game;
        g.m_bKeyRepeat = true;
        g.m_b31Keys = c.keys31;
        g.NotifyKeyEvent(c.key, 1);
        if (c.locked) g.LockKey(c.key);
        rig.screen->keys.clear();
        for (int i = 0; i < c.steps; ++i) g.RunProcess();
        EXPECT_EQ(static_cast<int>(rig.screen->keys.size()), c.repeats);
        for (const TSeen& k : rig.screen->keys) {
            EXPECT_EQ(k.x, c.key);
            EXPECT_EQ(k.y, 1);
        }
    }

    // The repeat switch off: RunProcess repeats nothing.
    TInputRig rig;
    rig.game.NotifyKeyEvent(2, 1);
    rig.screen->keys.clear();
    for (int i = 0; i < 30; ++i) rig.game.RunProcess();
    EXPECT_TRUE(rig.screen->keys.empty());
}

struct TRotationCase {
    const char* why;
    int fps;
    int mode;
    int steps;
};

TEST(GameRotation, AnimationStepCounts) {
    // 90 degrees = 23040. At 60 fps steps of 1024 (4 degrees): ceil(23040 / 1024) = 23.
    // At 30 fps steps of 2048 (8 degrees): ceil(23040 / 2048) = 12.
    const TRotationCase cases[] = {
        {"60 fps to +90", 60, 2, 23},
        {"30 fps to +90", 30, 2, 12},
        {"60 fps to -90", 60, 1, 23},
        {"33 fps to -90", 33, 1, 12},
    };
    for (const TRotationCase& c : cases) {
        SCOPED_TRACE(c.why);
        CTestGame g;
        g.SetFpsControl(c.fps, false, false);
        g.SetIPhoneOrientation(0, true);
        EXPECT_FALSE(g.IsIPhoneRotationInProcess());
        g.SetIPhoneOrientation(c.mode, false);
        EXPECT_TRUE(g.IsIPhoneRotationInProcess());
        const int target = c.mode == 2 ? kRotationAngle90 : -kRotationAngle90;
        int steps = 0;
        while (g.m_Screen.m_nOrientationAngle != target && steps < 100) {
            g.ProcessIPhoneRotation();
            ++steps;
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(g.m_Screen.m_nRotationCounter, 3);
        g.ProcessIPhoneRotation();
        EXPECT_EQ(g.m_Screen.m_nOrientationAngle, target) << "at rest it stays";
        EXPECT_TRUE(g.IsIPhoneRotationInProcess()) << "until the projection counts the counter down";
        g.m_Screen.m_nRotationCounter = 0;
        EXPECT_FALSE(g.IsIPhoneRotationInProcess());
    }

    CTestGame g;
    EXPECT_EQ(g.m_Screen.m_nOrientationMode, 1);
    EXPECT_EQ(g.m_Screen.m_nOrientationAngle, -kRotationAngle90);
    g.SetIPhoneOrientation(2, true);
    EXPECT_EQ(g.m_Screen.m_nOrientationAngle, kRotationAngle90);
    EXPECT_EQ(g.m_Screen.m_nRotationCounter, 3);
    g.SetIPhoneOrientation(7, false);
    g.m_Screen.m_nRotationCounter = 0;
    EXPECT_TRUE(g.IsIPhoneRotationInProcess()) << "an unknown mode counts as rotating";
    g.SetIPhoneOrientation(0, false);
    g.ProcessIPhoneRotation();
    EXPECT_EQ(g.m_Screen.m_nOrientationAngle, kRotationAngle90) << "mode 0 does not animate";
}

// A back buffer that counts presents and records what was drawn into it.
class CCountingBitmap : public CWinDibBitmap {
public:
    CCountingBitmap() : CWinDibBitmap(nullptr) {}
    void DrawToDeviceScreen() override { ++presents; }
    int presents = 0;
};

TEST(GameDraw, DrawCyclePresentsOnceWithTheQuitButtonOnTop) {
    CTestGame g;
    auto* back = new CCountingBitmap();
    ASSERT_EQ(back->Create(40, 10), 1);
    back->ClearBitmap(0, 0, 0);
    g.m_Screen.m_pBackBuffer = back;
    g.m_pQuitButton = MakeBitmap(4, 2);
    g.m_pQuitButton->ClearBitmap(255, 255, 255);
    g.m_pQuitButtonPressed = MakeBitmap(4, 2);
    g.m_pQuitButtonPressed->ClearBitmap(255, 0, 0);
    g.DoDrawCycle();
    EXPECT_EQ(g.m_nDrawCalls, 1);
    EXPECT_EQ(back->presents, 1);
    const auto* px = reinterpret_cast<const std::uint16_t*>(back->GetBits());
    EXPECT_EQ(px[36], 0xFFFF) << "quit button at x = width - its width, y = 0";
    EXPECT_EQ(px[35], 0x0000);
    EXPECT_EQ(px[40 + 39], 0xFFFF);
    EXPECT_EQ(px[2 * 40 + 39], 0x0000);

    g.m_bQuitButtonPressed = true;
    g.DoDrawCycle();
    EXPECT_EQ(px[36], 0xF800) << "the pressed image while pressed";
}

TEST(GameDraw, StatisticsLineOnlyWithFixedStepStatisticsAndAFont) {
    struct CStatsGame : CTestGame {
        CBitmapFontText* GetDebugFont() override { return font; }
        void DrawStatistics(CBitmapFontText* f) override {
            EXPECT_EQ(f, font);
            ++drawn;
        }
        CBitmapFontText* font = nullptr;
        int drawn = 0;
    };
    // Any non-null pointer stands for a loaded font; it is only passed through.
    static char fontStandIn;
    for (int mask = 0; mask < 8; ++mask) {
        CStatsGame g;
        g.m_bFixedStep = (mask & 1) != 0;
        g.m_bShowStatistics = (mask & 2) != 0;
        if (mask & 4) g.font = reinterpret_cast<CBitmapFontText*>(&fontStandIn);
        g.DoDrawCycle();
        EXPECT_EQ(g.drawn, mask == 7 ? 1 : 0) << mask;
    }
}

std::uint16_t PixelAt(IDibBitmap* b, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(b->GetBits())[y * b->m_BufferWidth + x];
}

TEST(GameDraw, BorderBuffersAndTheirImages) {
    CTestGame g;
    g.SetIPhoneOrientation(0, true);  // as the game does: bitmaps made for the game are upright
    g.m_nVerticalBorderWidth = 8;
    ASSERT_TRUE(g.CreateBorderDoubleBufferWnds(40, 30, 8, 0));
    for (IDibBitmap* b : {g.m_pBorderBuffer1, g.m_pBorderBuffer2}) {
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->m_Width, 8) << "border width";
        EXPECT_EQ(b->m_Height, 30) << "a border size of 0 takes the screen's";
        EXPECT_EQ(b->GetAlphaBits(), nullptr);
        EXPECT_EQ(PixelAt(b, 3, 3), 0u);
    }
    g.m_pBorderBitmap1 = MakeBitmap(4, 2);
    g.m_pBorderBitmap1->ClearBitmap(255, 255, 255);
    g.m_pBorderBitmap = MakeBitmap(2, 4);
    g.m_pBorderBitmap->ClearBitmap(255, 0, 0);
    g.m_pQuitButton = MakeBitmap(3, 3);
    g.m_pQuitButton->ClearBitmap(0, 0, 255);
    g.m_pQuitButtonPressed = MakeBitmap(3, 3);

    g.m_bBorderRedraw = false;
    g.DrawBordersToDeviceScreen();
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer1, 2, 29), 0u) << "nothing without the redraw flag";

    g.m_bBorderRedraw = true;
    g.DrawBordersToDeviceScreen();
    // First buffer: its own image centred across (x 2..5) and on the bottom edge (y 28..29).
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer1, 2, 29), 0xFFFF);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer1, 5, 28), 0xFFFF);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer1, 1, 29), 0u);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer1, 2, 27), 0u);
    // Second buffer has no own image: the common one at its left edge, centred in height (13..16).
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 0, 13), 0xF800);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 1, 16), 0xF800);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 0, 12), 0u);
    // With a vertical border the quit button goes to the second buffer's top right corner.
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 5, 0), 0x001F);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 7, 2), 0x001F);
    EXPECT_EQ(PixelAt(g.m_pBorderBuffer2, 4, 0), 0u);
}

}  // namespace
