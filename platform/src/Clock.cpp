#include "platform/Clock.h"

#include <sys/time.h>
#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

// Read from the audio thread's pacing too, hence atomics.
std::atomic<ClockKind> g_kind{ClockKind::Real};
std::atomic<std::int64_t> g_virtualUs{0};

std::int64_t RealNowUs() {
    timeval tv{};
    ::gettimeofday(&tv, nullptr);
    return static_cast<std::int64_t>(tv.tv_sec) * 1'000'000 + tv.tv_usec;
}

}  // namespace

void ClockUse(ClockKind kind, std::int64_t startUs) {
    g_virtualUs.store(startUs);
    g_kind.store(kind);
}

ClockKind ClockCurrentKind() { return g_kind.load(); }

std::int64_t ClockNowUs() { return g_kind.load() == ClockKind::Virtual ? g_virtualUs.load() : RealNowUs(); }

void ClockSleepUs(std::int64_t us) {
    if (us <= 0) return;
    if (g_kind.load() == ClockKind::Virtual) {
        g_virtualUs.fetch_add(us);
        return;
    }
    ::usleep(static_cast<useconds_t>(us));
}

void ClockAdvanceUs(std::int64_t deltaUs) {
    if (g_kind.load() == ClockKind::Virtual) g_virtualUs.fetch_add(deltaUs);
}

int ClockGetTimeOfDay(timeval* tv) {
    if (!tv) return -1;
    const std::int64_t now = ClockNowUs();
    tv->tv_sec = static_cast<time_t>(now / 1'000'000);
    tv->tv_usec = static_cast<suseconds_t>(now % 1'000'000);
    return 0;
}

int ClockUsleep(unsigned int us) {
    ClockSleepUs(us);
    return 0;
}

std::time_t ClockTime(std::time_t* out) {
    const std::time_t now = static_cast<std::time_t>(ClockNowUs() / 1'000'000);
    if (out) *out = now;
    return now;
}

void ClockLocalDate(int& year, int& month, int& day) {
    const std::time_t now = static_cast<std::time_t>(ClockNowUs() / 1'000'000);
    std::tm local{};
    // localtime_r: the news workers ask for the date too, and localtime's buffer is shared.
    if (localtime_r(&now, &local) == nullptr) {
        year = month = day = 0;
        return;
    }
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
}

}  // namespace platform
