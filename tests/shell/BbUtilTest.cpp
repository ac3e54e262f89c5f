// The window and EGL set-up, presenting, turning, and the one-call services.
#include "shell/BbUtil.h"

#include <EGL/egl.h>

#include <cerrno>
#include <cstring>

#include "ShellFixture.h"
#include "platform/Dialog.h"
#include "platform/EglSurface.h"
#include "platform/Navigator.h"
#include "platform/PaymentService.h"
#include "render/DibBitmap.h"
#include "render/GlesGlobals.h"

namespace {

class BbUtilTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
    }
    void TearDown() override {
        bbutil_terminate();
        screen_destroy_context(ctx_);
        ::unsetenv("ORIENTATION");
        ShellTest::TearDown();
    }

    void UseDisplay(int w, int h) {
        platform::UseSettings(Settings(w, h));
        ASSERT_EQ(screen_create_context(&ctx_, 0), 0);
    }

    static std::pair<int, int> SurfaceSize() {
        EGLint w = 0, h = 0;
        eglQuerySurface(bbutil_state().egl_disp, bbutil_state().egl_surf, EGL_WIDTH, &w);
        eglQuerySurface(bbutil_state().egl_disp, bbutil_state().egl_surf, EGL_HEIGHT, &h);
        return {w, h};
    }

    static int WindowProperty(int property, int index = 0) {
        int v[2] = {0, 0};
        EXPECT_EQ(screen_get_window_property_iv(bbutil_state().screen_win, property, v), 0);
        return v[index];
    }

    screen_context_t ctx_ = nullptr;
};

struct TErrorText {
    EGLint code;
    const char* text;
};

TEST_F(BbUtilTest, EglErrorTextsByCode) {
    const TErrorText cases[] = {
        {0x3000, "function succeeded"},
        {0x3001, "EGL is not initialized, or could not be initialized, for the specified display"},
        {0x3003, "failed to allocate resources for the requested operation"},
        {0x3008, "an EGLDisplay argument does not name a valid EGLDisplay"},
        {0x300D, "an EGLSurface argument does not name a valid surface configured for rendering"},
        {0x300E, "a power management event has occurred"},
        {0x300F, "unknown error code"},
        {0x3010, "unknown error code"},
        {0x2FFF, "unknown error code"},
        {0, "unknown error code"},
    };
    for (const TErrorText& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(bbutil_egl_error_text(c.code), c.text);
    }
}

TEST_F(BbUtilTest, PerrorPrintsTheCallAndTheCurrentEglError) {
    eglMakeCurrent(reinterpret_cast<EGLDisplay>(0x1), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    ::testing::internal::CaptureStderr();
    bbutil_egl_perror("eglMakeCurrent");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "eglMakeCurrent: an EGLDisplay argument does not name a valid EGLDisplay\n");
}

// The starting angle, the buffer size it leads to and the window's rotation.
struct TOrientationCase {
    const char* why;
    const char* orientation;  // null: unset
    int displayW, displayH;
    int bufferW, bufferH, rotation;
};

TEST_F(BbUtilTest, StartAngleSwapsTheBufferWhenModeAndBufferDisagree) {
    const TOrientationCase cases[] = {
        {"unset means upright", nullptr, 768, 1280, 768, 1280, 0},
        {"not a number reads as 0", "sideways", 768, 1280, 768, 1280, 0},
        {"a number with a tail is not a number", "90abc", 768, 1280, 768, 1280, 0},
        {"half turn keeps the sizes", "180", 768, 1280, 768, 1280, 180},
        {"270 on a tall mode and tall buffer swaps", "270", 768, 1280, 1280, 768, 270},
        {"90 on a wide mode and wide buffer swaps", "90", 1280, 768, 768, 1280, 90},
    };
    for (const TOrientationCase& c : cases) {
        SCOPED_TRACE(c.why);
        bbutil_terminate();
        if (c.orientation)
            ::setenv("ORIENTATION", c.orientation, 1);
        else
            ::unsetenv("ORIENTATION");
        UseDisplay(c.displayW, c.displayH);
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(bbutil_init_egl(ctx_), 0);
        const std::string err = ::testing::internal::GetCapturedStderr();
        // Only a value that is not a number is reported, and by the variable's name.
        const bool number =
            !c.orientation || std::string(c.orientation).find_first_not_of("0123456789") == std::string::npos;
        EXPECT_EQ(err.empty(), number) << err;
        if (!number) {
            EXPECT_NE(err.find(std::string("ORIENTATION='") + c.orientation + "'"), std::string::npos) << err;
        }
        EXPECT_EQ(bbutil_state().initialized, 1);
        EXPECT_EQ(g_screen_resolution[0], c.displayW);
        EXPECT_EQ(g_screen_resolution[1], c.displayH);
        EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_BUFFER_SIZE, 0), c.bufferW);
        EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_BUFFER_SIZE, 1), c.bufferH);
        EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_ROTATION), c.rotation);
        EXPECT_EQ(SurfaceSize(), std::make_pair(c.bufferW, c.bufferH));
    }
}

TEST_F(BbUtilTest, UnexpectedStartAngleFailsAndReleasesEverything) {
    ::setenv("ORIENTATION", "45", 1);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(bbutil_init_egl(ctx_), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "platform: ORIENTATION='45' is not 0, 90, 180 or 270\n"
              "Navigator returned an unexpected orientation angle.\n");
    EXPECT_EQ(bbutil_state().egl_disp, EGL_NO_DISPLAY);
    EXPECT_EQ(bbutil_state().egl_ctx, EGL_NO_CONTEXT);
    EXPECT_EQ(bbutil_state().screen_win, nullptr);
    EXPECT_EQ(bbutil_state().initialized, 0);
}

TEST_F(BbUtilTest, ConfigIsExactlyEightBitsPerColour) {
    ASSERT_EQ(bbutil_init_egl(ctx_), 0);
    EGLint r = 0, g = 0, b = 0, type = 0;
    eglGetConfigAttrib(bbutil_state().egl_disp, bbutil_state().egl_conf, EGL_RED_SIZE, &r);
    eglGetConfigAttrib(bbutil_state().egl_disp, bbutil_state().egl_conf, EGL_GREEN_SIZE, &g);
    eglGetConfigAttrib(bbutil_state().egl_disp, bbutil_state().egl_conf, EGL_BLUE_SIZE, &b);
    eglGetConfigAttrib(bbutil_state().egl_disp, bbutil_state().egl_conf, EGL_SURFACE_TYPE, &type);
    EXPECT_EQ(r, 8);
    EXPECT_EQ(g, 8);
    EXPECT_EQ(b, 8);
    EXPECT_TRUE(type & platform::EglSurfaceType());
    EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_FORMAT), SCREEN_FORMAT_RGBX8888);
    EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_USAGE), 0x210);
    EXPECT_GE(Find(platform::TakeCallLog(), "screen_create_window_group main_app_group"), 0);
}

TEST_F(BbUtilTest, QuarterTurnRebuildsTheSurfaceAndHalfTurnOnlyRotates) {
    ASSERT_EQ(bbutil_init_egl(ctx_), 0);
    platform::TakeCallLog();
    EXPECT_EQ(bbutil_rotate_screen_surface(180), 0);
    std::vector<std::string> log = platform::TakeCallLog();
    EXPECT_EQ(Find(log, "surface_create"), -1);
    EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_ROTATION), 180);
    EXPECT_EQ(SurfaceSize(), std::make_pair(768, 1280));

    EXPECT_EQ(bbutil_rotate_screen_surface(90), 0);  // 90 - 180 = -90: a quarter turn
    log = platform::TakeCallLog();
    EXPECT_GE(Find(log, "screen_set_window_property_iv 42 1280x768"), 0);
    EXPECT_GE(Find(log, "surface_create 1280x768"), 0);
    EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_ROTATION), 90);
    // The new surface keeps the frame the game draws (it sets its viewport once): a surface of
    // the turned buffer's size would crop it.
    EXPECT_EQ(SurfaceSize(), std::make_pair(768, 1280));
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), bbutil_state().egl_surf);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(bbutil_rotate_screen_surface(45), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Invalid angle\n");
    EXPECT_EQ(WindowProperty(SCREEN_PROPERTY_ROTATION), 90);
}

// Where a partial start-up stops, what it prints, and whether a window had been made.
struct TPartialInit {
    const char* failingCall;
    const char* message;
    bool windowMade;
};

TEST_F(BbUtilTest, TerminateAfterAPartialInitReleasesOnlyWhatExists) {
    const std::string io = std::strerror(EIO);
    const TPartialInit cases[] = {
        {"screen_create_window", "screen_create_window: ", false},
        {"screen_create_window_group", "screen_create_window_group: ", true},
        {"screen_set_window_property_iv", "screen_set_window_property_iv(SCREEN_PROPERTY_FORMAT): ", true},
        {"screen_get_window_property_pv", "screen_get_window_property_pv: ", true},
        {"screen_get_display_property_iv", "screen_get_display_property_iv: ", true},
        {"screen_get_display_property_pv", "screen_get_display_property_pv: ", true},
        {"screen_get_window_property_iv", "screen_get_window_property_iv: ", true},
        {"screen_create_window_buffers", "screen_create_window_buffers: ", true},
    };
    for (const TPartialInit& c : cases) {
        SCOPED_TRACE(c.failingCall);
        UseDisplay(768, 1280);
        platform::FailNextCall(c.failingCall);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(bbutil_init_egl(ctx_), 1);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(c.message) + io + "\n");
        const std::vector<std::string> log = platform::TakeCallLog();
        EXPECT_EQ(Find(log, "screen_destroy_window") >= 0, c.windowMade);
        EXPECT_EQ(bbutil_state().egl_disp, EGL_NO_DISPLAY);
        EXPECT_EQ(bbutil_state().egl_ctx, EGL_NO_CONTEXT);
        EXPECT_EQ(bbutil_state().egl_surf, EGL_NO_SURFACE);
        EXPECT_EQ(bbutil_state().screen_win, nullptr);
        EXPECT_EQ(bbutil_state().initialized, 0);
        bbutil_terminate();  // twice is harmless
        EXPECT_EQ(Find(platform::TakeCallLog(), "screen_destroy_window"), -1);
    }
}

TEST_F(BbUtilTest, SwapPresentsOneFrameEach) {
    ASSERT_EQ(bbutil_init_egl(ctx_), 0);
    const int before = platform::PresentedFrameCount();
    bbutil_swap();
    bbutil_swap();
    EXPECT_EQ(platform::PresentedFrameCount(), before + 2);
}

TEST_F(BbUtilTest, EngineBackBufferPresentsThroughTheSwapOnlyWhileTheWindowExists) {
    const int start = platform::PresentedFrameCount();
    GLES_RenderToScreenOrSwapBuffers();
    EXPECT_EQ(platform::PresentedFrameCount(), start) << "no window yet: nothing to present into";

    // What an earlier context left in the renderer's cache must not survive the new one.
    g_bViewportSetUp = 1;
    g_Current_texName = 7;
    ASSERT_EQ(bbutil_init_egl(ctx_), 0);
    EXPECT_EQ(g_bViewportSetUp, 0);
    EXPECT_EQ(g_Current_texName, 0u);
    {
        CTestGame game(g_testGame);
        IDibBitmap* screen = OGLES_CreateScreenTarget(&game, 64, 32);
        ASSERT_NE(screen, nullptr);
        screen->HWBeginScene();
        screen->FillRectangle(0, 0, 64, 32, 10, 20, 30);
        screen->DrawToDeviceScreen();
        EXPECT_EQ(platform::PresentedFrameCount(), start + 1) << "the back buffer presents through bbutil_swap";
    }
    bbutil_terminate();
    GLES_RenderToScreenOrSwapBuffers();
    EXPECT_EQ(platform::PresentedFrameCount(), start + 1) << "terminate removes the swap";
}

TEST_F(BbUtilTest, AlertKeepsTheEventsThatArriveWhileItWaits) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    ASSERT_EQ(navigator_request_events(0), NAVIGATOR_SUCCESS);
    ASSERT_EQ(paymentservice_request_events(0), PAYMENTSERVICE_SUCCESS);
    platform::PushNavigatorEvent(NAVIGATOR_EXIT);
    platform::PushPaymentAnswer({PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, false, "", {{"coins_1", 0}}});
    platform::TakeCallLog();
    ::testing::internal::CaptureStderr();
    DBG("Value %d of %s", 42, "many");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Value 42 of many"), std::string::npos);

    const std::vector<std::string> log = platform::TakeCallLog();
    const int request = Find(log, "dialog_request_events 0");
    const int text = Find(log, "dialog_set_alert_message_text Value 42 of many", request);
    const int button = Find(log, "dialog_add_button OK", text);
    const int show = Find(log, "dialog_show", button);
    const int destroy = Find(log, "dialog_destroy", show);
    EXPECT_GE(request, 0);
    EXPECT_GT(destroy, show);

    bps_event_t* ev = nullptr;
    ASSERT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_EXIT);
    ASSERT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(ev), paymentservice_get_domain());
    EXPECT_STREQ(paymentservice_event_get_digital_good_sku(ev, 0), "coins_1");
    ASSERT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    EXPECT_EQ(ev, nullptr);
}

TEST_F(BbUtilTest, AlertTextIsCutAt1023Characters) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    const std::string longText(2000, 'x');
    platform::TakeCallLog();
    ::testing::internal::CaptureStderr();
    DBG("%s", longText.c_str());
    ::testing::internal::GetCapturedStderr();
    const std::vector<std::string> log = platform::TakeCallLog();
    const int text = Find(log, "dialog_set_alert_message_text ");
    ASSERT_GE(text, 0);
    EXPECT_EQ(log[static_cast<std::size_t>(text)], "dialog_set_alert_message_text " + std::string(1023, 'x'));
}

struct TAlertFailure {
    const char* call;
    const char* message;
    bool destroyed;
};

TEST_F(BbUtilTest, AlertFailuresPrintWithoutALineEndAndGiveUp) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    const TAlertFailure cases[] = {
        {"dialog_create_alert", "Failed to create alert dialog.", false},
        {"dialog_set_alert_message_text", "Failed to set alert dialog message text.", true},
        {"dialog_add_button", "Failed to add button to alert dialog.", true},
        {"dialog_show", "Failed to show alert dialog.", true},
    };
    for (const TAlertFailure& c : cases) {
        SCOPED_TRACE(c.call);
        platform::FailNextCall(c.call);
        platform::TakeCallLog();
        ::testing::internal::CaptureStderr();
        DBG("hello");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message);
        EXPECT_EQ(Find(platform::TakeCallLog(), "dialog_destroy") >= 0, c.destroyed);
    }
}

TEST_F(BbUtilTest, BrowserAndDownloadHooks) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(BBWeb_OpenURL("https://example.invalid/news"));
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(BBWeb_OpenURL(""));
    EXPECT_GE(Find(platform::TakeCallLog(), "navigator_invoke https://example.invalid/news"), 0);
    int length = 77;
    EXPECT_EQ(DownloadDataFromURL("https://example.invalid/feed", nullptr, 0, length), nullptr);
    EXPECT_EQ(length, 0);
}

}  // namespace
