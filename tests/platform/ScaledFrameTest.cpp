// The desktop window's picture: where a frame lands in a window of another size, how a click
// maps back, the size a window opens at, and the frame target drawn into a smaller "window" (a
// pbuffer here) with real headless EGL.
#include "platform/ScaledFrame.h"

#include <EGL/egl.h>
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "PlatformFixture.h"
#include "platform/EglSurface.h"

namespace platform {
namespace {

struct TFitCase {
    int frameW, frameH, windowW, windowH;
    TPictureRect expected;
};

TEST(ScaledFrame, ThePictureIsTheLargestOfTheFramesShapeCentredInTheWindow) {
    // Worked by hand: scale = the smaller of the two ratios, sides rounded, the rest split.
    const TFitCase cases[] = {
        {768, 1280, 583, 972, {0, 0, 583, 972}},      // the window opened for a 1080p screen
        {768, 1280, 960, 540, {318, 0, 324, 540}},    // wide: bars left and right (540/1280)
        {768, 1280, 384, 1280, {0, 320, 384, 640}},   // narrow: bars above and below (scale 0.5)
        {768, 1280, 768, 1280, {0, 0, 768, 1280}},    // the frame's own size
        {320, 480, 1000, 1000, {166, 0, 667, 1000}},  // scaled up: 320 * 1000/480 = 666.7
        {768, 1280, 0, 500, {}},                      // a window of no size shows nothing
    };
    for (const TFitCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.windowW << "x" << c.windowH);
        EXPECT_EQ(FitPicture(c.frameW, c.frameH, c.windowW, c.windowH), c.expected);
    }
}

TEST(ScaledFrame, AClickMapsBackThroughTheSameScaleAndOnABarLiesOutsideTheFrame) {
    const TPictureRect picture = FitPicture(768, 1280, 960, 540);  // 318, 0, 324 x 540
    struct TCase {
        int wx, wy, fx, fy;
    } cases[] = {
        {318, 0, 1, 1},         // the picture's first pixel: its centre is 2.37 frame pixels wide
        {479, 269, 382, 638},   // the middle: (161.5 * 768/324, 269.5 * 1280/540)
        {641, 539, 766, 1278},  // the picture's last pixel
        {317, 100, -2, 238},    // one pixel into the left bar
        {642, 100, 769, 238},   // one pixel into the right bar
    };
    for (const TCase& c : cases) {
        int fx = 0, fy = 0;
        WindowToFrame(picture, 768, 1280, c.wx, c.wy, fx, fy);
        EXPECT_EQ(fx, c.fx) << c.wx << "," << c.wy;
        EXPECT_EQ(fy, c.fy) << c.wx << "," << c.wy;
    }
    // At the frame's own size every pixel is itself.
    const TPictureRect same = FitPicture(320, 480, 320, 480);
    for (const int p : {0, 1, 159, 319}) {
        int fx = -1, fy = -1;
        WindowToFrame(same, 320, 480, p, p, fx, fy);
        EXPECT_EQ(fx, p);
        EXPECT_EQ(fy, p);
    }
}

TEST(ScaledFrame, ATurnedFrameMapsAClickBackThroughTheTurn) {
    // The 768 x 1280 frame turned clockwise by a quarter shows 1280 x 768; the window's corners
    // show the frame's corners one place round: top-left shows the frame's bottom-left.
    struct TCase {
        int quarters, windowW, windowH, wx, wy, fx, fy;
    } cases[] = {
        {1, 1280, 768, 0, 0, 0, 1279},
        {1, 1280, 768, 1279, 0, 0, 0},
        {1, 1280, 768, 1279, 767, 767, 0},
        {1, 1280, 768, 0, 767, 767, 1279},
        {1, 1280, 768, 370, 384, 384, 909},  // Play (384, 910) shows at (1280 - 910, 384)
        {3, 1280, 768, 0, 0, 767, 0},
        {3, 1280, 768, 1279, 767, 0, 1279},
        {3, 1280, 768, 910, 384, 383, 910},  // ... and a quarter the other way at (910, 768 - 384)
        {-1, 1280, 768, 0, 0, 767, 0},       // a quarter back is three forward
        {2, 768, 1280, 0, 0, 767, 1279},
        {2, 768, 1280, 767, 1279, 0, 0},
        {5, 1280, 768, 0, 0, 0, 1279},   // five quarters are one
        {4, 768, 1280, 10, 20, 10, 20},  // a whole turn is none
        // Half the size, turned: the picture 640 x 384 at (0, 8) in a 640 x 400 window, a window
        // pixel two frame pixels wide; the bars above and below lie outside the frame.
        {1, 640, 400, 0, 8, 1, 1279},
        {1, 640, 400, 639, 391, 767, 1},
        {1, 640, 400, 100, 4, -7, 1079},
        {1, 640, 400, 100, 395, 775, 1079},
    };
    for (const TCase& c : cases) {
        int turnedW = 0, turnedH = 0;
        TurnedSize(768, 1280, c.quarters, turnedW, turnedH);
        const TPictureRect picture = FitPicture(turnedW, turnedH, c.windowW, c.windowH);
        int fx = 0, fy = 0;
        WindowToFrame(picture, 768, 1280, c.wx, c.wy, fx, fy, c.quarters);
        EXPECT_EQ(fx, c.fx) << c.quarters << ": " << c.wx << "," << c.wy;
        EXPECT_EQ(fy, c.fy) << c.quarters << ": " << c.wx << "," << c.wy;
    }
}

TEST(ScaledFrame, ANewWindowTakesAtMostNineTenthsOfTheWorkAreaAndIsNeverEnlarged) {
    struct TCase {
        int frameW, frameH, workW, workH, w, h;
    } cases[] = {
        {768, 1280, 1920, 1080, 583, 972},   // 972 = 0.9 * 1080 high, 768 * 972 / 1280 = 583.2 wide
        {768, 1280, 1920, 1050, 567, 945},   // a panel takes 30 px: 945 high, 567 wide
        {768, 1280, 3840, 2160, 768, 1280},  // room enough: its own size
        {1280, 768, 1366, 768, 1151, 691},   // a turned frame on a small screen: the height decides
        {1280, 768, 1000, 2000, 900, 540},   // ... and on a tall narrow one the width
        {768, 1280, 0, 0, 768, 1280},        // no work area known: its own size
    };
    for (const auto& c : cases) {
        int w = 0, h = 0;
        FitWindowToWorkArea(c.frameW, c.frameH, c.workW, c.workH, w, h);
        EXPECT_EQ(w, c.w) << c.workW << "x" << c.workH;
        EXPECT_EQ(h, c.h) << c.workW << "x" << c.workH;
    }
}

// Real GL: a game context whose frame is drawn into the target, and a "window" (a pbuffer) of
// another shape that the target is presented into.
class ScaledFrameTargetTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ::setenv("EGL_PLATFORM", "surfaceless", 1);
        display_ = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) GTEST_SKIP() << "no EGL";
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_ES_API));
        // The platform's own surface type (a pbuffer headless), asked for as the shell asks: it
        // keeps the GL driver loaded to the end, as leak checkers need.
        const EGLint attribs[] = {
            EGL_SURFACE_TYPE, EglSurfaceType(), EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
        EGLint n = 0;
        ASSERT_TRUE(eglChooseConfig(display_, attribs, &config_, 1, &n));
        if (n < 1) GTEST_SKIP() << "no pbuffer config";
        const EGLint size[] = {EGL_WIDTH, kWindowW, EGL_HEIGHT, kWindowH, EGL_NONE};
        window_ = eglCreatePbufferSurface(display_, config_, size);
        game_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
        reader_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
        ASSERT_NE(window_, EGL_NO_SURFACE);
        ASSERT_NE(game_, EGL_NO_CONTEXT);
        ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, game_));
    }
    void TearDown() override {
        if (display_ != EGL_NO_DISPLAY) {
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            for (EGLContext c : {game_, reader_})
                if (c != EGL_NO_CONTEXT) eglDestroyContext(display_, c);
            if (window_ != EGL_NO_SURFACE) eglDestroySurface(display_, window_);
            eglTerminate(display_);
        }
        PlatformTest::TearDown();
    }

    // The frame as the game draws it: the top half red, the bottom half blue (GL rows start at
    // the foot).
    static void DrawFrame() {
        glViewport(0, 0, kFrameW, kFrameH);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, kFrameH / 2, kFrameW, kFrameH / 2);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, 0, kFrameW, kFrameH / 2);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    // The same frame with its top-left quarter green, so that every turn and mirror differs.
    static void DrawMarkedFrame() {
        DrawFrame();
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, kFrameH / 2, kFrameW / 2, kFrameH / 2);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    // Reads w x h pixels from the bottom-left of what is current; rows top first.
    static std::vector<std::vector<int>> Read(int w, int h) {
        std::vector<unsigned char> bytes(static_cast<std::size_t>(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        std::vector<std::vector<int>> rows(h, std::vector<int>(w));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = &bytes[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4];
                rows[y][x] = p[0] > 128 ? 'R' : p[1] > 128 ? 'G' : p[2] > 128 ? 'B' : 0;
            }
        return rows;
    }

    static constexpr int kFrameW = 40, kFrameH = 80;
    static constexpr int kWindowW = 200, kWindowH = 100;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    EGLSurface window_ = EGL_NO_SURFACE;
    EGLContext game_ = EGL_NO_CONTEXT, reader_ = EGL_NO_CONTEXT;
};

TEST_F(ScaledFrameTargetTest, TheFrameIsShownScaledBetweenBarsAndStaysTheGamesToReadBack) {
    CScaledFrameTarget target;
    ASSERT_TRUE(target.Attach(display_, config_, kFrameW, kFrameH));
    DrawFrame();
    ASSERT_TRUE(target.Present(display_, window_, kWindowW, kWindowH));
    EXPECT_EQ(eglGetCurrentContext(), game_) << "the game's context is current again";

    // The game still reads its own frame, at its own size (the frame dumps).
    const auto frame = Read(kFrameW, kFrameH);
    EXPECT_EQ(frame[0][0], 'R');
    EXPECT_EQ(frame[kFrameH - 1][kFrameW - 1], 'B');

    // The window: the picture 50 x 100 at x 75 (scale 1.25), black bars on both sides.
    ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, reader_));
    const auto shown = Read(kWindowW, kWindowH);
    for (const int y : {0, 30, 49}) {
        EXPECT_EQ(shown[y][74], 0) << "left bar, row " << y;
        EXPECT_EQ(shown[y][75], 'R') << "picture's left edge, row " << y;
        EXPECT_EQ(shown[y][124], 'R') << "picture's right edge, row " << y;
        EXPECT_EQ(shown[y][125], 0) << "right bar, row " << y;
    }
    for (const int y : {51, 80, 99}) {
        EXPECT_EQ(shown[y][0], 0);
        EXPECT_EQ(shown[y][100], 'B') << "row " << y;
        EXPECT_EQ(shown[y][199], 0);
    }
    ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, game_));
    target.Release(display_);
    EXPECT_FALSE(target.IsAttached());
}

TEST_F(ScaledFrameTargetTest, ANewFrameSizeReplacesTheTarget) {
    CScaledFrameTarget target;
    ASSERT_TRUE(target.Attach(display_, config_, kFrameH, kFrameW));  // turned first
    ASSERT_TRUE(target.Attach(display_, config_, kFrameW, kFrameH));
    DrawFrame();
    ASSERT_TRUE(target.Present(display_, window_, kWindowW, kWindowH));
    ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, reader_));
    const auto shown = Read(kWindowW, kWindowH);
    EXPECT_EQ(shown[10][74], 0) << "the tall frame's bars, not the wide one's";
    EXPECT_EQ(shown[10][75], 'R');
    ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, game_));
    target.Release(display_);
}

TEST_F(ScaledFrameTargetTest, ATurnedFrameIsShownTurnedClockwiseByWholeQuarters) {
    CScaledFrameTarget target;
    ASSERT_TRUE(target.Attach(display_, config_, kFrameW, kFrameH));
    // Green top-left, red top-right, blue below. Each case: the turn and what four points of the
    // 200 x 100 window show, worked by hand (a quarter turn fills it at 2.5 times; a half turn
    // stands 50 x 100 at x 75 between bars).
    struct TCase {
        int quarters;
        char topLeft, topRight, bottomLeft, bottomRight;  // at (50|87, 25|75) and (150|112, ...)
    } cases[] = {
        {0, 'G', 'R', 'B', 'B'},
        {1, 'B', 'G', 'B', 'R'},  // the frame's top at the right, its left edge at the top
        {2, 'B', 'B', 'R', 'G'},  // upside down
        {3, 'R', 'B', 'G', 'B'},  // the frame's top at the left
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.quarters);
        DrawMarkedFrame();
        ASSERT_TRUE(target.Present(display_, window_, kWindowW, kWindowH, c.quarters));
        ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, reader_));
        const auto shown = Read(kWindowW, kWindowH);
        const bool half = c.quarters % 2 == 0;
        const int left = half ? 87 : 50, right = half ? 112 : 150;
        EXPECT_EQ(shown[25][left], c.topLeft);
        EXPECT_EQ(shown[25][right], c.topRight);
        EXPECT_EQ(shown[75][left], c.bottomLeft);
        EXPECT_EQ(shown[75][right], c.bottomRight);
        if (half) {
            EXPECT_EQ(shown[50][74], 0) << "left bar";
            EXPECT_EQ(shown[50][125], 0) << "right bar";
        } else {
            // No bars: the picture's edges reach the window's.
            EXPECT_NE(shown[5][0], 0);
            EXPECT_NE(shown[94][199], 0);
        }
        ASSERT_TRUE(eglMakeCurrent(display_, window_, window_, game_));
    }
    target.Release(display_);
}

}  // namespace
}  // namespace platform
