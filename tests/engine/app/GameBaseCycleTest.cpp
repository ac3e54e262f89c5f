#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "TestGame.h"
#include "platform/Clock.h"

namespace {

// 1e9 ms: far from the 32-bit wrap, so the cycle's unsigned arithmetic sees plain numbers.
constexpr std::int64_t kStartUs = 1'000'000'000'000LL;

class GameCycle : public ::testing::Test {
protected:
    void SetUp() override { platform::ClockUse(platform::ClockKind::Virtual, kStartUs); }
    void TearDown() override { platform::ClockUse(platform::ClockKind::Real); }

    static unsigned NowMs() { return static_cast<unsigned>(platform::ClockNowUs() / 1000); }

    CTestGame game;
};

struct TPeriodCase {
    int fps;
    unsigned periodMs;
    int storedRate;
    const char* why;
};

TEST_F(GameCycle, FramePeriodFollowsTheRateRules) {
    const TPeriodCase cases[] = {
        {60, 15, 60, "60 fps runs at 15 ms"},
        {64, 15, 64, "top of the 60 band"},
        {65, 15, 65, "1000 / 65 = 15 by division"},
        {59, 16, 59, "below the 60 band: 1000 / 59"},
        {33, 30, 33, "inside the 30 band"},
        {30, 30, 30, "bottom of the 30 band"},
        {34, 30, 34, "top of the 30 band"},
        {35, 28, 35, "above the 30 band: 1000 / 35"},
        {25, 40, 25, "plain division"},
        {1, 1000, 1, "one update a second"},
        {0, 1000, 1, "zero would divide by zero: treated as 1"},
        {-7, 1000, 1, "negative rate treated as 1"},
    };
    for (const TPeriodCase& c : cases) {
        SCOPED_TRACE(c.why);
        platform::ClockAdvanceUs(12'345);
        game.SetFpsControl(c.fps, false, true);
        EXPECT_EQ(game.m_uFramePeriodMs, c.periodMs);
        EXPECT_EQ(game.m_nFrameRate, c.storedRate);
        EXPECT_TRUE(game.m_bFixedStep);
        EXPECT_EQ(game.m_uLastTickMs, NowMs()) << "the clock restarts";
    }
}

struct TCycleCase {
    const char* why;
    std::int64_t elapsedMs;  // clock movement between SetFpsControl and the cycle
    int updates;             // RunProcess calls in the cycle
    std::int64_t sleptMs;    // how far the cycle's own sleep moved the clock
    std::int64_t lastTickFromStartMs;
};

TEST_F(GameCycle, OnePassUpdatesCatchesUpAndDrawsOnce) {
    const TCycleCase cases[] = {
        {"early: one update, sleep the rest", 10, 1, 20, 30},
        {"exactly one period: on time", 30, 1, 0, 30},
        {"late by two periods: two catch-up updates", 95, 3, 0, 90},
        {"very late: six catch-ups, the rest dropped", 1000, 7, 0, 990},
        {"late by just under a period: no catch-up", 59, 1, 0, 30},
        // The cap's boundary: up to six periods behind everything is caught up; beyond, the
        // updates of the periods past six are dropped but their time is consumed.
        {"five periods behind", 180, 6, 0, 180},
        {"six periods behind: all six caught up", 215, 7, 0, 210},
        {"seven periods behind: six caught up, one dropped", 240, 7, 0, 240},
        {"just under eight periods: still one dropped", 269, 7, 0, 240},
        {"eight periods behind: two dropped", 270, 7, 0, 270},
    };
    for (const TCycleCase& c : cases) {
        SCOPED_TRACE(c.why);
        CTestGame g;
        g.SetFpsControl(33, false, true);
        const unsigned start = g.m_uLastTickMs;
        platform::ClockAdvanceUs(c.elapsedMs * 1000);
        const std::int64_t before = platform::ClockNowUs();
        EXPECT_TRUE(g.RunGameCycle());
        EXPECT_EQ(g.m_nProcessCalls, c.updates);
        EXPECT_EQ(g.m_nDrawCalls, 1);
        EXPECT_EQ(platform::ClockNowUs() - before, c.sleptMs * 1000);
        EXPECT_EQ(g.m_uLastTickMs - start, static_cast<unsigned>(c.lastTickFromStartMs));
        EXPECT_EQ(g.m_nCatchUpCount, 0);
        EXPECT_EQ(g.m_nUpdateCount, c.updates);
        EXPECT_EQ(g.m_nDrawCount, 1);
    }
}

// A sleep that a signal cuts short comes back before the period is over: the pass only draws,
// and the tick stays where it was for the next pass to measure from. This needs a real sleep
// and a real signal.
TEST(GameCycleRealClock, SleepCutShortByASignalOnlyDraws) {
    platform::ClockUse(platform::ClockKind::Real);
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0;  // no restart: the sleep returns with EINTR
    struct sigaction old {};
    ASSERT_EQ(::sigaction(SIGALRM, &quiet, &old), 0);

    CTestGame game;
    game.SetFpsControl(1, false, true);  // a period of one second, of which 50 ms pass
    const unsigned tick = game.m_uLastTickMs;
    itimerval timer{};
    timer.it_value.tv_usec = 50'000;
    ASSERT_EQ(::setitimer(ITIMER_REAL, &timer, nullptr), 0);
    const auto start = std::chrono::steady_clock::now();
    game.RunGameCycle();
    const auto took = std::chrono::steady_clock::now() - start;
    timer = itimerval{};
    ::setitimer(ITIMER_REAL, &timer, nullptr);
    ::sigaction(SIGALRM, &old, nullptr);

    ASSERT_LT(took, std::chrono::milliseconds(900)) << "the signal did not cut the sleep short";
    EXPECT_EQ(game.m_nProcessCalls, 1) << "no catch-up from an early wake";
    EXPECT_EQ(game.m_nDrawCalls, 1);
    EXPECT_EQ(game.m_uLastTickMs, tick);
    EXPECT_EQ(game.m_nCatchUpCount, 0);
}

TEST_F(GameCycle, BackwardClockRestartsFromTheReadingAndSleepsOnePeriod) {
    game.SetFpsControl(33, false, true);
    platform::ClockAdvanceUs(-50'000);
    const unsigned back = NowMs();
    game.RunGameCycle();
    EXPECT_EQ(game.m_nProcessCalls, 1);
    EXPECT_EQ(game.m_nDrawCalls, 1);
    EXPECT_EQ(NowMs() - back, 30u) << "a full period of sleep";
    EXPECT_EQ(game.m_uLastTickMs, back + 30u);
}

TEST_F(GameCycle, FixedStepOffRunsOneUpdateAndOneDrawWithoutCounting) {
    game.SetFpsControl(33, false, false);
    const std::int64_t before = platform::ClockNowUs();
    platform::ClockAdvanceUs(5'000'000);
    game.RunGameCycle();
    game.RunGameCycle();
    EXPECT_EQ(game.m_nProcessCalls, 2);
    EXPECT_EQ(game.m_nDrawCalls, 2);
    EXPECT_EQ(platform::ClockNowUs() - before, 5'000'000) << "no sleep";
    EXPECT_EQ(game.m_nUpdateCount, 0);
    EXPECT_EQ(game.m_nDrawCount, 0);
}

TEST_F(GameCycle, StatisticsTextAfterAHundredUpdates) {
    game.m_bShowStatistics = true;
    game.SetFpsControl(33, false, true);
    for (int i = 0; i < 100; ++i) game.RunGameCycle();
    // Cycle k reads the clock at start + 30 (k - 1) ms; at the 100th, 100 updates and 99 draws
    // over 2970 ms: 100 / 2970 x 1000 = 33.67, 99 / 2970 x 1000 = 33.33.
    EXPECT_STREQ(game.m_StatisticsText.GetData(), "Run-33.67/Draw-33.33");
    EXPECT_EQ(game.m_nUpdateCount, 0);
    EXPECT_EQ(game.m_nDrawCount, 1);
    EXPECT_EQ(game.m_nProcessCalls, 100);
}

TEST_F(GameCycle, SteadyRunKeepsTheUpdateRate) {
    // Whole-run check: 60 fps (15 ms) for 3 s of virtual time gives 200 updates and 200 draws,
    // whatever the clock position was at the start.
    game.SetFpsControl(60, false, true);
    const std::int64_t start = platform::ClockNowUs();
    while (platform::ClockNowUs() - start < 3'000'000) game.RunGameCycle();
    EXPECT_EQ(game.m_nProcessCalls, 200);
    EXPECT_EQ(game.m_nDrawCalls, 200);
}

}  // namespace
