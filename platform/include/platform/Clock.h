// The clock seam: every wall-clock read and sleep of the shell and the game cycle goes through
// here, so a scripted run can use a virtual clock that moves only when someone sleeps.
#pragma once

#include <cstdint>
#include <ctime>

struct timeval;

namespace platform {

enum class ClockKind { Real, Virtual };

// Selects the clock for the whole process. The virtual clock starts at StartUs and advances
// only through ClockSleepUs / ClockAdvanceUs. Main thread only (set before the game starts).
void ClockUse(ClockKind kind, std::int64_t startUs = 1'000'000'000'000LL);
ClockKind ClockCurrentKind();

// Microseconds since the epoch on the selected clock.
std::int64_t ClockNowUs();

// Sleeps for us microseconds (real clock) or moves the virtual clock forward by us.
void ClockSleepUs(std::int64_t us);

// Moves the virtual clock by delta microseconds (may be negative, to test a clock that goes
// backwards). No effect on the real clock.
void ClockAdvanceUs(std::int64_t deltaUs);

// The three calls the shell makes, shaped like their libc namesakes.
int ClockGetTimeOfDay(timeval* tv);
int ClockUsleep(unsigned int us);
std::time_t ClockTime(std::time_t* out);

// Today's date in the local time zone on the selected clock: the year (4 digits), the month
// (1-12) and the day of the month (1-31). Any thread.
void ClockLocalDate(int& year, int& month, int& day);

}  // namespace platform
