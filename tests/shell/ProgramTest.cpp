// main's life with a test game object and real headless EGL.
#include "shell/Program.h"

#include <GLES/gl.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "ShellFixture.h"
#include "platform/Clock.h"
#include "platform/Navigator.h"
#include "platform/Screen.h"

namespace {

using platform::PushNavigatorEvent;
using platform::PushTouch;

class ProgramTest : public ShellTest {};

TEST_F(ProgramTest, ExitThenTouchInOneDrainStillDeliversTheTouchAndOneMoreCycle) {
    g_testGame.onInit = [](CTestGame&) {
        PushNavigatorEvent(NAVIGATOR_EXIT);
        PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 0, 0);
    };
    EXPECT_EQ(RunProgram(), 0);
    ASSERT_EQ(g_record.pointers.size(), 1u);
    EXPECT_EQ(g_record.pointers[0], (TPointerCall{0, 0, XPOINTER_PRESS, 0, false}));
    EXPECT_EQ(g_record.cycles, 1);
    EXPECT_TRUE(g_record.deleted);
    EXPECT_EQ(g_pGame, nullptr);

    // Shut-down order: events stop, the game goes (it saves), services, window, context.
    const std::vector<std::string> log = platform::TakeCallLog();
    const int stop = Find(log, "screen_stop_events");
    const int bps = Find(log, "bps_shutdown", stop);
    const int window = Find(log, "screen_destroy_window", bps);
    const int context = Find(log, "screen_destroy_context", window);
    EXPECT_GE(stop, 0);
    EXPECT_GT(bps, stop);
    EXPECT_GT(window, bps);
    EXPECT_GT(context, window);
    EXPECT_TRUE(g_record.windowAliveAtDeletion);
}

TEST_F(ProgramTest, SecondFingerGoesOnlyToTheMultiTouchEntry) {
    platform::UseSettings(Settings(320, 480));  // pixel scale 1
    g_testGame.onInit = [](CTestGame&) {
        PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 10, 20, 0);
        PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 30, 40, 1);
        PushTouch(SCREEN_EVENT_MTOUCH_MOVE, 31, 41, 1);
        PushTouch(SCREEN_EVENT_MTOUCH_RELEASE, 32, 42, 1);
        PushTouch(SCREEN_EVENT_MTOUCH_RELEASE, 11, 21, 0);
        PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<TPointerCall> expected = {
        {10, 20, XPOINTER_PRESS, 0, false},  {30, 40, XPOINTER_PRESS, 1, true},    {31, 41, XPOINTER_MOVE, 1, true},
        {32, 42, XPOINTER_RELEASE, 1, true}, {11, 21, XPOINTER_RELEASE, 0, false},
    };
    EXPECT_EQ(g_record.pointers, expected);
}

// Logical size, pixel scale and device size for a display, and where its far corner lands.
struct TScaleCase {
    const char* why;
    int displayW, displayH, orientationMode;
    int gameW, gameH, deviceW, deviceH;
    int cornerX, cornerY;  // the touch at (displayW - 1, displayH - 1), by hand
};

TEST_F(ProgramTest, TouchIsScaledByThePixelScaleAndTruncated) {
    const TScaleCase cases[] = {
        // 480 / 1280 = 0.375: 1279 * 0.375 = 479.625, 767 * 0.375 = 287.625
        {"landscape 1280x768", 1280, 768, 1, 480, 288, 1280, 768, 479, 287},
        // 1280 * 320 / 768 = 533; 533 / 1280 = 0.41640625: 767 -> 319.38, 1279 -> 532.58
        {"portrait 768x1280", 768, 1280, 0, 320, 533, 768, 1280, 319, 532},
        // a portrait game on a landscape display: 1280 * 320 / 720 = 568 (568.9 cut);
        // 568 / 1280 = 0.44375: 1279 -> 567.56, 719 -> 319.06
        {"portrait game on 1280x720", 1280, 720, 0, 320, 568, 720, 1280, 567, 319},
    };
    for (const TScaleCase& c : cases) {
        SCOPED_TRACE(c.why);
        ResetTestGame();
        platform::UseSettings(Settings(c.displayW, c.displayH));
        g_testGame.orientationMode = c.orientationMode;
        const int cx = c.displayW - 1, cy = c.displayH - 1;
        g_testGame.onInit = [cx, cy](CTestGame&) {
            PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, cx, cy);
            PushNavigatorEvent(NAVIGATOR_EXIT);
        };
        EXPECT_EQ(RunProgram(), 0);
        EXPECT_EQ(g_record.initW, c.gameW);
        EXPECT_EQ(g_record.initH, c.gameH);
        EXPECT_EQ(g_record.deviceWAtInit, c.deviceW);
        EXPECT_EQ(g_record.deviceHAtInit, c.deviceH);
        EXPECT_TRUE(g_record.doubleResolutionAtInit);
        EXPECT_EQ(g_record.preferFilterAtInit, GL_LINEAR);
        ASSERT_EQ(g_record.pointers.size(), 1u);
        EXPECT_EQ(g_record.pointers[0].x, c.cornerX);
        EXPECT_EQ(g_record.pointers[0].y, c.cornerY);
    }
}

TEST_F(ProgramTest, PortraitAcceptsQuarterTurnsAndTurnsTheSurfaceBeforeDone) {
    // The exit comes at cycle 2, so the turns queued on cycle 1 are still handled.
    g_testGame.onInit = [](CTestGame&) {
        for (int angle : {0, 180, 90}) PushNavigatorEvent(NAVIGATOR_ORIENTATION_CHECK, angle);
    };
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle == 1) {
            PushNavigatorEvent(NAVIGATOR_ORIENTATION_CHECK, 270);
            PushNavigatorEvent(NAVIGATOR_ORIENTATION, 180);
        }
        if (cycle == 2) PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<std::string> log = platform::TakeCallLog();
    EXPECT_GE(Find(log, "navigator_orientation_check_response 0 0"), 0);
    EXPECT_GE(Find(log, "navigator_orientation_check_response 180 0"), 0);
    const int accept90 = Find(log, "navigator_orientation_check_response 90 1");
    ASSERT_GE(accept90, 0);
    // 0 -> 90: the surface is rebuilt with swapped sizes, then the window turns, then done.
    const int rebuild = Find(log, "surface_create 1280x768", accept90);
    const int turn90 = Find(log, "screen_set_window_property_iv 38 90", accept90);
    const int done90 = Find(log, "navigator_done_orientation 90", accept90);
    ASSERT_GE(rebuild, 0);
    EXPECT_GT(turn90, rebuild);
    EXPECT_GT(done90, turn90);
    // 90 -> 270 is a half turn: no rebuild, only the window's rotation.
    const int accept270 = Find(log, "navigator_orientation_check_response 270 1", done90);
    ASSERT_GE(accept270, 0);
    const int done270 = Find(log, "navigator_done_orientation 270", accept270);
    ASSERT_GE(done270, 0);
    EXPECT_EQ(Find(log, "surface_create", accept270), -1);
    const int turn270 = Find(log, "screen_set_window_property_iv 38 270", accept270);
    EXPECT_GT(turn270, accept270);
    EXPECT_LT(turn270, done270);
    // The refused 180 is still closed, without touching the window.
    const int done180 = Find(log, "navigator_done_orientation 180", accept90);
    ASSERT_GE(done180, 0);
    EXPECT_EQ(Find(log, "screen_set_window_property_iv 38 180"), -1);
}

TEST_F(ProgramTest, LandscapeGameAcceptsOnlyHalfTurns) {
    platform::UseSettings(Settings(1280, 768));
    g_testGame.orientationMode = 1;
    g_testGame.onInit = [](CTestGame&) {
        for (int angle : {0, 90, 180, 270}) PushNavigatorEvent(NAVIGATOR_ORIENTATION_CHECK, angle);
        PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<std::string> log = platform::TakeCallLog();
    EXPECT_GE(Find(log, "navigator_orientation_check_response 0 1"), 0);
    EXPECT_GE(Find(log, "navigator_orientation_check_response 90 0"), 0);
    EXPECT_GE(Find(log, "navigator_orientation_check_response 180 1"), 0);
    EXPECT_GE(Find(log, "navigator_orientation_check_response 270 0"), 0);
}

TEST_F(ProgramTest, WindowStatePausesTheRoundAndSoundButResumesOnlyTheSound) {
    g_testGame.withSound = true;
    g_testGame.onInit = [](CTestGame&) {
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_THUMBNAIL);
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_FULLSCREEN);
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_INVISIBLE);
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, 7);  // unknown state: nothing
        PushNavigatorEvent(NAVIGATOR_SWIPE_DOWN);
        PushNavigatorEvent(NAVIGATOR_LOW_MEMORY);  // not handled
        PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<std::string> expected = {"pause", "sound paused", "sound resumed",
                                               "pause", "sound paused", "pause"};
    EXPECT_EQ(g_record.events, expected);
}

TEST_F(ProgramTest, WindowStateWithoutSoundSystemStillPauses) {
    g_testGame.onInit = [](CTestGame&) {
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_THUMBNAIL);
        PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_FULLSCREEN);
        PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_record.events, (std::vector<std::string>{"pause"}));
}

TEST_F(ProgramTest, FailedInitDeletesTheGameBeforeTheWindowGoes) {
    g_testGame.initResult = false;
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_TRUE(g_record.initCalled);
    EXPECT_TRUE(g_record.deleted);
    EXPECT_TRUE(g_record.windowAliveAtDeletion);
    EXPECT_EQ(g_pGame, nullptr);
    EXPECT_EQ(g_record.cycles, 0);
    const std::vector<std::string> log = platform::TakeCallLog();
    EXPECT_GE(Find(log, "screen_destroy_window"), 0);
    EXPECT_GE(Find(log, "screen_destroy_context"), 0);
    EXPECT_EQ(bbutil_state().initialized, 0);
}

struct TStartFailure {
    const char* call;
    const char* message;
};

TEST_F(ProgramTest, StartUpFailuresPrintTheirMessageAndTearDownWithoutInit) {
    const TStartFailure cases[] = {
        {"screen_create_window", "bbutil_init_egl failed\n"},
        {"screen_request_events", "screen_request_events failed\n"},
        {"navigator_request_events", "navigator_request_events failed\n"},
        {"navigator_rotation_lock", "navigator_rotation_lock failed\n"},
        {"bps_initialize", "bps_initialize failed\n"},
    };
    for (const TStartFailure& c : cases) {
        SCOPED_TRACE(c.call);
        ResetTestGame();
        platform::UseSettings(Settings(768, 1280));
        platform::FailNextCall(c.call);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunProgram(), 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(g_record.initCalled);
        EXPECT_EQ(bbutil_state().egl_disp, EGL_NO_DISPLAY);
        EXPECT_EQ(bbutil_state().screen_win, nullptr);
        const std::vector<std::string> log = platform::TakeCallLog();
        EXPECT_GE(Find(log, "screen_destroy_context"), 0);
        EXPECT_EQ(Find(log, "bps_shutdown"), -1);
        delete g_pGame;
        g_pGame = nullptr;
    }
}

TEST_F(ProgramTest, NoGameObjectEndsBeforeTheWindowIsMade) {
    g_testGame.create = false;
    EXPECT_EQ(RunProgram(), 1);
    const std::vector<std::string> log = platform::TakeCallLog();
    EXPECT_EQ(Find(log, "screen_create_window"), -1);
    EXPECT_GE(Find(log, "screen_destroy_context"), 0);
}

TEST_F(ProgramTest, FinishedGameEndsTheLoopThroughTheNormalShutDown) {
    g_testGame.onCycle = [](CTestGame& game, int cycle) {
        if (cycle == 3) game.SetFinished(kFinishGameEnds);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_record.cycles, 3);
    EXPECT_TRUE(g_record.deleted);
    EXPECT_GE(Find(platform::TakeCallLog(), "bps_shutdown"), 0);
}

TEST_F(ProgramTest, AFailedRunEndsThroughTheNormalShutDownWithTheFailureStatus) {
    g_testGame.onCycle = [](CTestGame& game, int cycle) {
        if (cycle != 2) return;
        game.SetRunFailed();
        game.SetFinished(kFinishGameEnds);
    };
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_EQ(g_record.cycles, 2);
    EXPECT_TRUE(g_record.deleted) << "the game still went through its shut-down, with its saves";
    EXPECT_GE(Find(platform::TakeCallLog(), "bps_shutdown"), 0);
}

TEST_F(ProgramTest, FailedEventServiceLeavesThroughTheNormalShutDown) {
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle == 2) platform::FailNextCall("bps_get_event");
    };
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgram(), 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("rc == BPS_SUCCESS"), std::string::npos);
    EXPECT_EQ(g_record.cycles, 2);
    EXPECT_TRUE(g_record.deleted);
    EXPECT_GE(Find(platform::TakeCallLog(), "bps_shutdown"), 0);
}

TEST_F(ProgramTest, UnreadableTouchesAndForeignEventsAreDropped) {
    g_testGame.onInit = [](CTestGame&) {
        PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 5, 5, 0, /*hasPosition=*/false);
        PushTouch(SCREEN_EVENT_NONE, 5, 5);
        platform::PushForeignEvent();
        PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_TRUE(g_record.pointers.empty());
    EXPECT_EQ(g_record.cycles, 1);
}

// The first draws of rand() after srand(seed), by the C library itself.
std::vector<int> DrawsAfter(unsigned int seed) {
    std::srand(seed);
    std::vector<int> draws;
    for (int i = 0; i < 6; ++i) draws.push_back(std::rand() % 1000);
    return draws;
}

TEST_F(ProgramTest, AScriptedRunDrawsTheSameRandomValuesEveryTime) {
    const struct {
        const char* why;
        platform::ClockKind clock;
        int seed;  // -1: none given
    } cases[] = {
        {"the virtual clock fixes the seed at 1", platform::ClockKind::Virtual, -1},
        {"a given seed", platform::ClockKind::Real, 77},
        {"a given seed under the virtual clock", platform::ClockKind::Virtual, 9001},
        {"a real-clock run without one draws from the time", platform::ClockKind::Real, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ResetTestGame();
        platform::TPlatformSettings s = Settings(320, 480);
        s.clock = c.clock;
        s.randomSeed = c.seed;
        platform::UseSettings(s);
        std::vector<int> draws;
        g_testGame.onInit = [&draws](CTestGame& game) {
            for (int i = 0; i < 6; ++i) draws.push_back(game.RandomValue(1000));
            PushNavigatorEvent(NAVIGATOR_EXIT);
        };
        // Somebody drew before the program started: it must not matter.
        std::srand(31337);
        (void)std::rand();
        // The time of the platform's clock (the process's clock stays virtual once a run chose it).
        const std::time_t before = platform::ClockTime(nullptr);
        ASSERT_EQ(RunProgram(), 0);
        const std::time_t after = platform::ClockTime(nullptr);
        if (c.clock == platform::ClockKind::Virtual || c.seed >= 0) {
            EXPECT_EQ(draws, DrawsAfter(c.seed >= 0 ? static_cast<unsigned int>(c.seed) : 1u));
            continue;
        }
        bool fromTheTime = false;
        for (std::time_t t = before; t <= after && !fromTheTime; ++t)
            fromTheTime = draws == DrawsAfter(static_cast<unsigned int>(t));
        EXPECT_TRUE(fromTheTime);
    }
}

TEST_F(ProgramTest, TheBackKeyGoesToTheGameWhichSaysWhenItLeaves) {
    // A press the game takes, then the one it answers 0 to (the second back on its quit
    // question): the run ends there, as on the navigator's exit.
    g_testGame.backKeyAnswers = {1, 0};
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle == 2) platform::PushKey(KEYCODE_BACK);
        if (cycle == 4) {
            platform::PushKey(KEYCODE_BACK);
            platform::PushKey(KEYCODE_BACK);
        }
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_record.events, (std::vector<std::string>{"key 8", "key 8", "key 8"}))
        << "the drain goes on after the leaving press, as after an exit";
    EXPECT_EQ(g_record.cycles, 5) << "one more cycle after the press that leaves, none after the first";
    EXPECT_TRUE(g_record.deleted);
}

TEST_F(ProgramTest, TypedKeysReachTheTypedKeyHandlerAsTheCharactersTheyType) {
    // The game answers 0 to its back key, so a typed key taken for the back key would end the
    // run at once.
    g_testGame.backKeyAnswers = {0};
    SetTypedKeyHandler([](int character) { g_record.events.push_back("typed " + std::to_string(character)); });
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle != 2) return;
        for (const int key :
             {int{'a'}, int{'Z'}, int{' '}, int{KEYCODE_BACKSPACE}, int{KEYCODE_RETURN}, int{'1'}, 0xF009, int{'['}})
            platform::PushKey(key);
        platform::PushKey(KEYCODE_BACK);
    };
    EXPECT_EQ(RunProgram(), 0);
    SetTypedKeyHandler(nullptr);
    // Backspace and Return as '\b' and '\r'; the digit, Tab and the bracket are no typed keys.
    // The game's own key entry hears only the back key.
    EXPECT_EQ(g_record.events,
              (std::vector<std::string>{"typed 97", "typed 90", "typed 32", "typed 8", "typed 13", "key 8"}));
    EXPECT_EQ(g_record.cycles, 3) << "only the back key ended the run";

    // Without a handler typed keys are dropped.
    ResetTestGame();
    platform::UseSettings(Settings(320, 480));
    g_testGame.backKeyAnswers = {0};
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle != 2) return;
        platform::PushKey('a');
        platform::PushKey(KEYCODE_BACK);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_record.events, (std::vector<std::string>{"key 8"}));
}

TEST_F(ProgramTest, ScriptedFrameLimitEndsTheRun) {
    platform::TPlatformSettings s = Settings(320, 480);
    s.frameLimit = 5;
    platform::UseSettings(s);
    EXPECT_EQ(RunProgram(), 0);
    // The exit arrives after 5 presented frames; one more cycle runs after it.
    EXPECT_EQ(g_record.cycles, 6);
}

}  // namespace
