#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "platform/Clock.h"
#include "platform/WebDownload.h"

namespace {

int g_calls = 0;

// Claims a size it was given no room for when the address says so.
int Overclaiming(const char* address, unsigned char* buffer, int capacity, int* size) {
    ++g_calls;
    if (std::strcmp(address, "http://over.example/") == 0) {
        *size = capacity + 1;
        return 1;
    }
    buffer[0] = 'x';
    *size = 1;
    return 1;
}

TEST(WebDownload, ThePlatformsOwnReturnsNothing) {
    unsigned char buffer[16];
    int size = 99;
    EXPECT_EQ(DownloadDataFromURL("http://www.hollowfen.example/news.txt", buffer, sizeof buffer, &size), 0);
    EXPECT_EQ(size, 0);
}

TEST(WebDownload, AnInstalledFunctionIsAskedWithinItsBounds) {
    const platform::WebDownloadFunction before = platform::SetWebDownloadFunction(&Overclaiming);
    unsigned char buffer[16];
    int size = 0;
    g_calls = 0;
    EXPECT_EQ(DownloadDataFromURL("http://fine.example/", buffer, sizeof buffer, &size), 1);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(DownloadDataFromURL("http://over.example/", buffer, sizeof buffer, &size), 0);
    EXPECT_EQ(size, 0) << "a size past the buffer is no download";
    EXPECT_EQ(DownloadDataFromURL(nullptr, buffer, sizeof buffer, &size), 0);
    EXPECT_EQ(DownloadDataFromURL("http://fine.example/", nullptr, 16, &size), 0);
    EXPECT_EQ(DownloadDataFromURL("http://fine.example/", buffer, 0, &size), 0);
    EXPECT_EQ(DownloadDataFromURL("http://fine.example/", buffer, 16, nullptr), 0);
    EXPECT_EQ(g_calls, 2) << "bad arguments never reach the function";
    EXPECT_EQ(platform::SetWebDownloadFunction(before), &Overclaiming);
}

TEST(Clock, LocalDateOfTheVirtualClock) {
    // Noon of 2026-03-04 UTC: the same date in every time zone within twelve hours of UTC.
    std::tm noon{};
    noon.tm_year = 2026 - 1900;
    noon.tm_mon = 2;
    noon.tm_mday = 4;
    noon.tm_hour = 12;
    const std::time_t at = timegm(&noon);
    platform::ClockUse(platform::ClockKind::Virtual, static_cast<std::int64_t>(at) * 1'000'000);
    int y = 0, m = 0, d = 0;
    platform::ClockLocalDate(y, m, d);
    platform::ClockUse(platform::ClockKind::Real);
    EXPECT_EQ(y, 2026);
    EXPECT_EQ(m, 3);
    EXPECT_EQ(d, 4);
}

}  // namespace
