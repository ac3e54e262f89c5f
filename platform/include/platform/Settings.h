// The platform's settings, read once from the environment (documented in README.md, "Platform
// settings") or set by a test through UseSettings. Bad values are reported on stderr with the
// variable's name and replaced by the default; they never stop the program.
#pragma once

#include <string>
#include <vector>

#include "platform/Clock.h"

namespace platform {

enum class DisplayMode { Headless, X11 };

// What the payment stand-in answers.
enum class PayOutcome { Accept, Cancel, Fail };

struct TPayAnswerPlan {
    PayOutcome outcome = PayOutcome::Accept;
    int errorId = 0;        // Fail only
    std::string errorText;  // Fail only; empty = the answer carries no text
};

struct TPlatformSettings {
    DisplayMode mode = DisplayMode::Headless;
    int displayWidthPx = 768;
    int displayHeightPx = 1280;
    bool displaySizeGiven = false;  // COBBLE_DISPLAY_SIZE set: the window opens at that size
    std::string scriptPath;         // empty: no input script
    int frameLimit = 0;       // > 0: navigator exit after this many presented frames (bad value: kBoundedRunFrames)
    std::string dumpDir;      // where frame dumps go (script "dump" names are relative to it)
    int dumpEveryFrames = 0;  // > 0: dump every Nth frame as frame_NNNNN.png
    ClockKind clock = ClockKind::Real;
    int randomSeed = -1;                 // COBBLE_SEED, 0 or more: the seed of rand(); -1 none given
    TPayAnswerPlan pay;                  // default answer to every payment request
    int payDelayFrames = 2;              // frames between a request and its answer
    std::vector<std::string> ownedSkus;  // what an existing-purchases request reports as owned
    std::string saveDir = "data/";       // the folder the game's saves go in (GamePaths.h)
    bool verbose = false;                // COBBLE_VERBOSE=1: the stand-ins' expected notices too
};

// The length of a bounded run: what `make run` runs headless, and what an unreadable
// COBBLE_FRAMES becomes.
inline constexpr int kBoundedRunFrames = 90;

// Reads every COBBLE_* variable (and DISPLAY for the default mode, XDG_DATA_HOME and HOME for
// the default save folder).
TPlatformSettings ReadPlatformSettings();

// The settings in force: the ones given to UseSettings, else read from the environment once.
const TPlatformSettings& CurrentSettings();

// Replaces the settings and resets the whole platform (queue, call log, window, frame count).
// For tests and tools; call it before screen_create_context.
void UseSettings(const TPlatformSettings& settings);

// Whether this run fixes the seed of rand(), and with what: COBBLE_SEED when given, else 1 under
// the virtual clock, so that a scripted run (its rounds and its frames) repeats exactly. False
// for a run on the real clock without a seed, which seeds from the time.
[[nodiscard]] bool FixedRandomSeed(unsigned int& seed);

// One "platform:" line on stderr for a notice that is expected on this machine (no web access,
// a window run that went on headless...): printed only in verbose runs (COBBLE_VERBOSE=1). Any
// thread; printf-style.
void Notice(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The environment's text for name, or null when unset. The only way outside platform/ to read
// the environment.
const char* GetEnvironmentText(const char* name);

// The navigator's starting angle from ORIENTATION, read when called: 0 when unset, and 0 with
// a "platform:" line naming the variable when it is not a whole number. Any other number is
// returned as it is; one that is not 0, 90, 180 or 270 is also reported, for the caller to refuse.
int ReadStartAngle();

}  // namespace platform
