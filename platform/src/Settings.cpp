#include "platform/Settings.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "PlatformState.h"
#include "WholeNumber.h"
#include "platform/GamePaths.h"

namespace platform {
namespace {

// The settings' verbosity, for Notice on any thread (the news workers download).
std::atomic<bool> g_verbose{false};

void Complain(const char* name, const char* value, const char* expected) {
    std::fprintf(stderr, "platform: %s='%s' is not %s; using the default\n", name, value, expected);
}

// Whole-text decimal in [lo, hi]; false on anything else.
bool ParseInt(std::string_view text, long lo, long hi, int& out) { return ParseWholeNumber(text, 12, lo, hi, out); }

void ReadInt(const char* name, long lo, long hi, int& field) {
    const char* v = std::getenv(name);
    if (!v) return;
    if (!ParseInt(v, lo, hi, field)) Complain(name, v, "a whole number in range");
}

void ReadPay(const char* v, TPayAnswerPlan& plan) {
    const std::string_view text(v);
    if (text == "accept") {
        plan = {PayOutcome::Accept, 0, {}};
    } else if (text == "cancel") {
        plan = {PayOutcome::Cancel, 0, {}};
    } else if (text.starts_with("fail:")) {
        std::string_view rest = text.substr(5);
        const std::size_t colon = rest.find(':');
        int id = 0;
        if (!ParseInt(rest.substr(0, colon), -1000000, 1000000, id)) {
            Complain("COBBLE_PAY", v, "accept, cancel or fail:<error id>[:<text>]");
            return;
        }
        plan = {PayOutcome::Fail, id, colon == std::string_view::npos ? "" : std::string(rest.substr(colon + 1))};
    } else {
        Complain("COBBLE_PAY", v, "accept, cancel or fail:<error id>[:<text>]");
    }
}

}  // namespace

TPlatformSettings ReadPlatformSettings() {
    TPlatformSettings s;
    const char* display = std::getenv("DISPLAY");
    s.mode = (display && *display) ? DisplayMode::X11 : DisplayMode::Headless;
    if (const char* v = std::getenv("COBBLE_DISPLAY")) {
        const std::string_view mode(v);
        if (mode == "headless")
            s.mode = DisplayMode::Headless;
        else if (mode == "x11")
            s.mode = DisplayMode::X11;
        else if (mode != "auto")
            Complain("COBBLE_DISPLAY", v, "auto, headless or x11");
    }
    if (const char* v = std::getenv("COBBLE_DISPLAY_SIZE")) {
        const std::string_view size(v);
        const std::size_t x = size.find('x');
        int w = 0, h = 0;
        if (x != std::string_view::npos && ParseInt(size.substr(0, x), 16, 8192, w) &&
            ParseInt(size.substr(x + 1), 16, 8192, h)) {
            s.displayWidthPx = w;
            s.displayHeightPx = h;
            s.displaySizeGiven = true;
        } else {
            Complain("COBBLE_DISPLAY_SIZE", v, "<width>x<height> (16 to 8192)");
        }
    }
    if (const char* v = std::getenv("COBBLE_SCRIPT")) s.scriptPath = v;
    if (const char* v = std::getenv("COBBLE_FRAMES"); v && !ParseInt(v, 0, 100000000, s.frameLimit)) {
        // Someone asked for a bounded run: an unreadable count must not turn it into an endless one.
        std::fprintf(stderr, "platform: COBBLE_FRAMES='%s' is not a whole number from 0; ending after %d frames\n", v,
                     kBoundedRunFrames);
        s.frameLimit = kBoundedRunFrames;
    }
    if (const char* v = std::getenv("COBBLE_DUMP_DIR")) s.dumpDir = v;
    ReadInt("COBBLE_DUMP_EVERY", 0, 100000000, s.dumpEveryFrames);
    if (const char* v = std::getenv("COBBLE_CLOCK")) {
        const std::string_view clock(v);
        if (clock == "virtual")
            s.clock = ClockKind::Virtual;
        else if (clock == "real")
            s.clock = ClockKind::Real;
        else
            Complain("COBBLE_CLOCK", v, "real or virtual");
    }
    ReadInt("COBBLE_SEED", 0, 2147483647, s.randomSeed);
    if (const char* v = std::getenv("COBBLE_PAY")) ReadPay(v, s.pay);
    ReadInt("COBBLE_PAY_DELAY", 0, 100000, s.payDelayFrames);
    if (const char* v = std::getenv("COBBLE_PAY_OWNED")) {
        std::string_view list(v);
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            const std::string_view sku = list.substr(0, comma);
            if (!sku.empty()) s.ownedSkus.emplace_back(sku);
            if (comma == std::string_view::npos) break;
            list.remove_prefix(comma + 1);
        }
    }
    s.saveDir = DefaultSaveDirectory(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (const char* v = std::getenv("COBBLE_SAVE_DIR"); v != nullptr && v[0] != '\0') s.saveDir = v;
    if (const char* v = std::getenv("COBBLE_VERBOSE")) {
        const std::string_view level(v);
        if (level == "1")
            s.verbose = true;
        else if (level != "0")
            Complain("COBBLE_VERBOSE", v, "0 or 1");
    }
    return s;
}

const TPlatformSettings& CurrentSettings() {
    TPlatformState& st = State();
    if (!st.settingsChosen) {
        st.settings = ReadPlatformSettings();
        st.settingsChosen = true;
        g_verbose = st.settings.verbose;
    }
    return st.settings;
}

void UseSettings(const TPlatformSettings& settings) {
    TPlatformState& st = State();
    st.settings = settings;
    st.settingsChosen = true;
    g_verbose = settings.verbose;
    ResetState();
}

bool FixedRandomSeed(unsigned int& seed) {
    // A virtual-clock run without a seed of its own takes the C library's starting seed.
    constexpr unsigned int kVirtualClockSeed = 1;
    const TPlatformSettings& s = CurrentSettings();
    if (s.randomSeed >= 0) {
        seed = static_cast<unsigned int>(s.randomSeed);
        return true;
    }
    if (s.clock != ClockKind::Virtual) return false;
    seed = kVirtualClockSeed;
    return true;
}

void Notice(const char* format, ...) {
    if (!g_verbose) return;
    std::va_list args;
    va_start(args, format);
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "platform: %s\n", line);
}

const char* GetEnvironmentText(const char* name) { return name ? std::getenv(name) : nullptr; }

int ReadStartAngle() {
    const char* v = std::getenv("ORIENTATION");
    if (!v) return 0;
    int angle = 0;
    if (!ParseInt(v, -100000, 100000, angle)) {
        Complain("ORIENTATION", v, "a whole number");
        return 0;
    }
    if (angle % 90 != 0 || angle < 0 || angle > 270)
        std::fprintf(stderr, "platform: ORIENTATION='%s' is not 0, 90, 180 or 270\n", v);
    return angle;
}

}  // namespace platform
