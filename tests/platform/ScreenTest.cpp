// The screen service and the EGL seam, with real headless EGL.
#include <EGL/egl.h>
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "PlatformFixture.h"
#include "platform/Control.h"
#include "platform/EglSurface.h"
#include "platform/InputScript.h"
#include "platform/Screen.h"
#include "testsupport/PngRead.h"

namespace platform {
namespace {

class ScreenTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        TPlatformSettings s = Headless();
        s.displayWidthPx = 64;
        s.displayHeightPx = 48;
        s.dumpDir = COBBLE_BINARY_DIR;
        UseSettings(s);
        ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
        ASSERT_EQ(screen_create_window(&win_, ctx_), 0);
    }
    void TearDown() override {
        if (display_ != EGL_NO_DISPLAY) {
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
            if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
            eglTerminate(display_);
        }
        screen_destroy_context(ctx_);
        PlatformTest::TearDown();
    }

    // A current GL context on the window's surface, as the shell makes it.
    void MakeCurrentSurface() {
        display_ = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        ASSERT_NE(display_, EGL_NO_DISPLAY);
        ASSERT_TRUE(eglInitialize(display_, nullptr, nullptr));
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_ES_API));
        const EGLint attribs[] = {
            EGL_SURFACE_TYPE, EglSurfaceType(), EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint n = 0;
        ASSERT_TRUE(eglChooseConfig(display_, attribs, &config, 1, &n));
        ASSERT_GT(n, 0);
        context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
        ASSERT_NE(context_, EGL_NO_CONTEXT);
        surface_ = EglCreateSurface(display_, config, win_);
        ASSERT_NE(surface_, EGL_NO_SURFACE);
        ASSERT_TRUE(eglMakeCurrent(display_, surface_, surface_, context_));
    }

    // The top half red, the bottom half blue: shows which way up a dump is.
    static void DrawTopRedBottomBlue(int w, int h) {
        glViewport(0, 0, w, h);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, h / 2, w, h - h / 2);  // GL rows count from the bottom
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    screen_context_t ctx_ = nullptr;
    screen_window_t win_ = nullptr;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLSurface surface_ = EGL_NO_SURFACE;
};

struct TFallbackCase {
    const char* why;
    DisplayMode mode;
    int frameLimit;
    int expectedLimit;
    bool reported;
};

TEST_F(ScreenTest, WindowRunWithoutAnXServerFallsBackToABoundedHeadlessRun) {
    const TFallbackCase cases[] = {
        {"no limit set: the bounded run's", DisplayMode::X11, 0, 90, true},
        {"a limit set stays", DisplayMode::X11, 500, 500, false},
        {"asked for headless: no limit stays none", DisplayMode::Headless, 0, 0, false},
    };
    const char* old = std::getenv("DISPLAY");
    const std::string oldDisplay = old ? old : "";
    ::setenv("DISPLAY", ":9999", 1);  // no server answers there
    for (const TFallbackCase& c : cases) {
        SCOPED_TRACE(c.why);
        TPlatformSettings s = Headless();
        s.mode = c.mode;
        s.frameLimit = c.frameLimit;
        UseSettings(s);
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(CurrentSettings().frameLimit, c.expectedLimit);
        EXPECT_EQ(err.find("the headless run ends after 90 frames") != std::string::npos, c.reported) << err;
        screen_destroy_context(ctx_);
    }
    if (old)
        ::setenv("DISPLAY", oldDisplay.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

TEST_F(ScreenTest, DisplayAndWindowPropertiesRoundTrip) {
    screen_display_t disp = nullptr;
    ASSERT_EQ(screen_get_window_property_pv(win_, SCREEN_PROPERTY_DISPLAY, reinterpret_cast<void**>(&disp)), 0);
    int size[2] = {0, 0};
    ASSERT_EQ(screen_get_display_property_iv(disp, SCREEN_PROPERTY_SIZE, size), 0);
    EXPECT_EQ(size[0], 64);
    EXPECT_EQ(size[1], 48);
    screen_display_mode_t* mode = nullptr;
    ASSERT_EQ(screen_get_display_property_pv(disp, SCREEN_PROPERTY_MODE, reinterpret_cast<void**>(&mode)), 0);
    EXPECT_EQ(mode->width, 64u);
    EXPECT_EQ(mode->height, 48u);

    const int buffer[2] = {48, 64};
    ASSERT_EQ(screen_set_window_property_iv(win_, SCREEN_PROPERTY_BUFFER_SIZE, buffer), 0);
    const int rotation = 270;
    ASSERT_EQ(screen_set_window_property_iv(win_, SCREEN_PROPERTY_ROTATION, &rotation), 0);
    int got[2] = {0, 0};
    ASSERT_EQ(screen_get_window_property_iv(win_, SCREEN_PROPERTY_BUFFER_SIZE, got), 0);
    EXPECT_EQ(got[0], 48);
    EXPECT_EQ(got[1], 64);
    ASSERT_EQ(screen_get_window_property_iv(win_, SCREEN_PROPERTY_ROTATION, got), 0);
    EXPECT_EQ(got[0], 270);

    const int badAngle = 45;
    EXPECT_EQ(screen_set_window_property_iv(win_, SCREEN_PROPERTY_ROTATION, &badAngle), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(screen_get_window_property_iv(win_, 9999, got), -1);
    FailNextCall("screen_set_window_property_iv");
    EXPECT_EQ(screen_set_window_property_iv(win_, SCREEN_PROPERTY_ROTATION, &rotation), -1);
    EXPECT_EQ(errno, EIO);
    screen_window_t second = nullptr;
    EXPECT_EQ(screen_create_window(&second, ctx_), -1) << "one window per process";
}

TEST_F(ScreenTest, TouchEventCarriesTypePositionAndTouchId) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    ASSERT_EQ(screen_request_events(ctx_), 0);
    PushTouch(SCREEN_EVENT_MTOUCH_MOVE, 12, 34, 1);
    PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 5, 6, 0, /*hasPosition=*/false);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(ev), screen_get_domain());
    screen_event_t se = screen_event_get_event(ev);
    int type = 0, pos[2] = {0, 0}, id = -1;
    ASSERT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_TYPE, &type), 0);
    ASSERT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_SOURCE_POSITION, pos), 0);
    ASSERT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_TOUCH_ID, &id), 0);
    EXPECT_EQ(type, SCREEN_EVENT_MTOUCH_MOVE);
    EXPECT_EQ(pos[0], 12);
    EXPECT_EQ(pos[1], 34);
    EXPECT_EQ(id, 1);
    ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(screen_get_event_property_iv(screen_event_get_event(ev), SCREEN_PROPERTY_SOURCE_POSITION, pos), -1);
    // After screen_stop_events nothing more arrives.
    ASSERT_EQ(screen_stop_events(ctx_), 0);
    PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 1, 1);
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(ScreenTest, TheBackKeyIsAKeyboardEventWithItsSymAndNoPosition) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    ASSERT_EQ(screen_request_events(ctx_), 0);
    PushKey(KEYCODE_BACK);
    PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 5, 6);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(ev), screen_get_domain());
    screen_event_t se = screen_event_get_event(ev);
    int type = 0, sym = 0, pos[2] = {0, 0};
    ASSERT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_TYPE, &type), 0);
    ASSERT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_KEY_SYM, &sym), 0);
    EXPECT_EQ(type, SCREEN_EVENT_KEYBOARD);
    EXPECT_EQ(sym, KEYCODE_BACK);
    EXPECT_EQ(screen_get_event_property_iv(se, SCREEN_PROPERTY_SOURCE_POSITION, pos), -1);
    // A touch carries no key.
    ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(screen_get_event_property_iv(screen_event_get_event(ev), SCREEN_PROPERTY_KEY_SYM, &sym), -1);
}

// The software rasteriser's thread count: none of its own (it draws on the calling thread)
// unless the user named a count, which stays.
TEST_F(ScreenTest, SoftwareRasteriserThreadsAreNoneUnlessTheUserNamesACount) {
    struct TCase {
        const char* why;
        const char* before;  // nullptr: unset
        const char* after;
    };
    const TCase cases[] = {
        {"unset: drawn on the calling thread", nullptr, "0"},
        {"the user's count stays", "3", "3"},
        {"the user's 8 stays", "8", "8"},
    };
    const char* old = std::getenv("LP_NUM_THREADS");
    const std::string saved = old ? old : "";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        screen_destroy_context(ctx_);
        if (c.before)
            ::setenv("LP_NUM_THREADS", c.before, 1);
        else
            ::unsetenv("LP_NUM_THREADS");
        ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
        const char* now = std::getenv("LP_NUM_THREADS");
        ASSERT_NE(now, nullptr);
        EXPECT_STREQ(now, c.after);
    }
    if (old)
        ::setenv("LP_NUM_THREADS", saved.c_str(), 1);
    else
        ::unsetenv("LP_NUM_THREADS");
}

// The driver follows it: with no count named, a frame drawn and finished leaves no rasteriser
// thread in the process (Mesa names them "llvmpipe-N").
TEST_F(ScreenTest, SoftwareRasteriserDrawsWithoutThreadsOfItsOwn) {
    if (std::getenv("LP_NUM_THREADS") != nullptr && std::string(std::getenv("LP_NUM_THREADS")) != "0")
        GTEST_SKIP() << "the user named a thread count";
    MakeCurrentSurface();
    if (!GlDrawsOnCpu()) GTEST_SKIP() << "the GL does not draw on the CPU";
    DrawTopRedBottomBlue(64, 48);
    glFinish();
    int rasterisers = 0, threads = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        ++threads;
        rasterisers += name.rfind("llvmpipe", 0) == 0;
    }
    EXPECT_GE(threads, 1) << "the process's threads were read";
    EXPECT_EQ(rasterisers, 0);
}

TEST_F(ScreenTest, HeadlessSurfaceIsAPbufferOfTheBufferSize) {
    EXPECT_EQ(EglSurfaceType(), EGL_PBUFFER_BIT);
    const int buffer[2] = {48, 64};
    ASSERT_EQ(screen_set_window_property_iv(win_, SCREEN_PROPERTY_BUFFER_SIZE, buffer), 0);
    MakeCurrentSurface();
    EGLint w = 0, h = 0;
    eglQuerySurface(display_, surface_, EGL_WIDTH, &w);
    eglQuerySurface(display_, surface_, EGL_HEIGHT, &h);
    EXPECT_EQ(w, 48);
    EXPECT_EQ(h, 64);
}

TEST_F(ScreenTest, ScriptedDumpWritesThatFrameTheRightWayUp) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    MakeCurrentSurface();
    TScriptLine dump;
    dump.action = ScriptAction::Dump;
    dump.text = "screen_test_dump.png";
    ApplyScriptLine(dump);
    DrawTopRedBottomBlue(64, 48);
    FramePresenting();
    const std::string path = std::string(COBBLE_BINARY_DIR) + "/screen_test_dump.png";
    const TPngPixels png = ReadPngFile(path);
    std::remove(path.c_str());
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.width, 64);
    ASSERT_EQ(png.height, 48);
    EXPECT_EQ(png.At(0, 0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(png.At(63, 23), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(png.At(0, 24), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(png.At(63, 47), (std::vector<int>{0, 0, 255, 255}));
    // A dump is for one frame only.
    FramePresenting();
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

TEST_F(ScreenTest, DumpEveryNthFrameNamesFilesByFrame) {
    TPlatformSettings s = CurrentSettings();
    s.dumpEveryFrames = 2;
    UseSettings(s);
    ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
    ASSERT_EQ(screen_create_window(&win_, ctx_), 0);
    MakeCurrentSurface();
    for (int frame = 0; frame < 3; ++frame) {
        DrawTopRedBottomBlue(64, 48);
        FramePresenting();
    }
    const std::string dir = std::string(COBBLE_BINARY_DIR) + "/";
    for (const char* name : {"frame_00000.png", "frame_00002.png"}) {
        EXPECT_TRUE(ReadPngFile(dir + name).ok) << name;
        std::remove((dir + name).c_str());
    }
    EXPECT_FALSE(ReadPngFile(dir + "frame_00001.png").ok);
}

}  // namespace
}  // namespace platform
