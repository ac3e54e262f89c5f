#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "FakeWeb.h"
#include "NewsTestGame.h"
#include "game/news/ServerTime.h"

namespace {

const char* const kTimeAddress = "http://www.hollowfen.example/cobblebrooks/time/time.php";

TEST(ServerTime, AnswersTheFetchedTimeOnceTheFetchHasEnded) {
    struct TCase {
        const char* answer;  // null: the address gives nothing
        bool valid;
        int time;
    } cases[] = {
        {"1767225600\n", true, 1767225600},
        {"1767225600", true, 1767225600},
        {"12ab", false, 0},
        {"", false, 0},
        {"99999999999", false, 0},  // past 32 bits
        {nullptr, false, 0},
    };
    for (const TCase& c : cases) {
        CFakeWeb web;
        if (c.answer != nullptr) web.Serve(kTimeAddress, std::string(c.answer));
        CNewsTestGame game;
        CHollowfenTime time(&game);
        EXPECT_EQ(time.GetTime(), 0);
        ASSERT_EQ(time.UpdateTime(), 0);
        ASSERT_TRUE(Eventually([&time] { return !time.IsUpdating(); })) << (c.answer ? c.answer : "null");
        EXPECT_EQ(time.IsValid(), c.valid) << (c.answer ? c.answer : "null");
        EXPECT_EQ(time.GetTime(), c.time) << (c.answer ? c.answer : "null");
        EXPECT_EQ(web.Requests(kTimeAddress), 1);
    }
}

TEST(ServerTime, ReadsZeroWhileAFetchRunsAndWaitsForItWhenDestroyed) {
    CFakeWeb web;
    web.Serve(kTimeAddress, std::string("42\n"));
    CNewsTestGame game;
    auto time = std::make_unique<CHollowfenTime>(&game);
    ASSERT_EQ(time->UpdateTime(), 0);
    ASSERT_TRUE(Eventually([&time] { return !time->IsUpdating(); }));
    EXPECT_EQ(time->GetTime(), 42);
    web.Hold();
    ASSERT_EQ(time->UpdateTime(), 0);
    web.WaitForHeldDownload();
    EXPECT_TRUE(time->IsUpdating());
    EXPECT_EQ(time->GetTime(), 0) << "nothing half-fetched is answered";
    std::thread release([&web] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        web.Release();
    });
    time.reset();
    release.join();
}

TEST(ServerTime, AFetchAskedForDuringAnotherAnswersNothingUntilItsOwnEnds) {
    CFakeWeb web;
    web.Serve(kTimeAddress, std::string("42\n"));
    web.Hold();
    CNewsTestGame game;
    CHollowfenTime time(&game);
    ASSERT_EQ(time.UpdateTime(), 0);
    web.WaitForHeldDownload();
    // The second request comes while the first fetch still runs; it has to wait for it.
    int second = -1;
    std::thread asker([&] { second = time.UpdateTime(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    web.ReleaseOne();
    web.WaitForHeldRequest(kTimeAddress, 2);
    asker.join();
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(time.IsUpdating()) << "the second fetch is running";
    EXPECT_EQ(time.GetTime(), 0) << "the first fetch's answer is not taken for the second's";
    web.Release();
    ASSERT_TRUE(Eventually([&time] { return !time.IsUpdating(); }));
    EXPECT_EQ(time.GetTime(), 42);
}

}  // namespace
