#include "platform/Settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace platform {
namespace {

const char* const kVariables[] = {
    "DISPLAY",          "COBBLE_DISPLAY",    "COBBLE_DISPLAY_SIZE", "COBBLE_SCRIPT", "COBBLE_FRAMES",
    "COBBLE_DUMP_DIR",  "COBBLE_DUMP_EVERY", "COBBLE_CLOCK",        "COBBLE_PAY",    "COBBLE_PAY_DELAY",
    "COBBLE_PAY_OWNED", "ORIENTATION",       "COBBLE_SAVE_DIR",     "XDG_DATA_HOME", "HOME",
    "COBBLE_VERBOSE"};

// Clears every variable the settings read, and puts the old values back afterwards.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            const char* v = ::getenv(name);
            saved_.emplace_back(name, v ? std::string(v) : std::string("\x01"));
            ::unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value == "\x01")
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(SettingsTest, DefaultsWithAnEmptyEnvironment) {
    const TPlatformSettings s = ReadPlatformSettings();
    EXPECT_EQ(s.mode, DisplayMode::Headless);
    EXPECT_EQ(s.displayWidthPx, 768);
    EXPECT_EQ(s.displayHeightPx, 1280);
    EXPECT_TRUE(s.scriptPath.empty());
    EXPECT_EQ(s.frameLimit, 0);
    EXPECT_EQ(s.clock, ClockKind::Real);
    EXPECT_EQ(s.pay.outcome, PayOutcome::Accept);
    EXPECT_EQ(s.payDelayFrames, 2);
    EXPECT_TRUE(s.ownedSkus.empty());
    EXPECT_EQ(s.saveDir, "data/") << "without a home the saves stay in the working directory";
    EXPECT_FALSE(s.displaySizeGiven) << "the window may then fit the screen";
    EXPECT_FALSE(s.verbose);
}

TEST_F(SettingsTest, ModeFollowsDisplayUnlessForced) {
    ::setenv("DISPLAY", ":99", 1);
    EXPECT_EQ(ReadPlatformSettings().mode, DisplayMode::X11);
    ::setenv("COBBLE_DISPLAY", "headless", 1);
    EXPECT_EQ(ReadPlatformSettings().mode, DisplayMode::Headless);
    ::unsetenv("DISPLAY");
    ::setenv("COBBLE_DISPLAY", "x11", 1);
    EXPECT_EQ(ReadPlatformSettings().mode, DisplayMode::X11);
}

TEST_F(SettingsTest, ReadsEveryValue) {
    ::setenv("COBBLE_DISPLAY_SIZE", "1280x768", 1);
    ::setenv("COBBLE_SCRIPT", "/tmp/in.script", 1);
    ::setenv("COBBLE_FRAMES", "300", 1);
    ::setenv("COBBLE_DUMP_DIR", "/tmp/shots", 1);
    ::setenv("COBBLE_DUMP_EVERY", "30", 1);
    ::setenv("COBBLE_CLOCK", "virtual", 1);
    ::setenv("COBBLE_PAY", "fail:3:Server down: try later", 1);
    ::setenv("COBBLE_PAY_DELAY", "0", 1);
    ::setenv("COBBLE_PAY_OWNED", "coins_1,,boost_40,", 1);
    ::setenv("COBBLE_SAVE_DIR", "/tmp/saves", 1);
    ::setenv("COBBLE_VERBOSE", "1", 1);
    const TPlatformSettings s = ReadPlatformSettings();
    EXPECT_TRUE(s.displaySizeGiven);
    EXPECT_TRUE(s.verbose);
    EXPECT_EQ(s.displayWidthPx, 1280);
    EXPECT_EQ(s.displayHeightPx, 768);
    EXPECT_EQ(s.scriptPath, "/tmp/in.script");
    EXPECT_EQ(s.frameLimit, 300);
    EXPECT_EQ(s.dumpDir, "/tmp/shots");
    EXPECT_EQ(s.dumpEveryFrames, 30);
    EXPECT_EQ(s.clock, ClockKind::Virtual);
    EXPECT_EQ(s.pay.outcome, PayOutcome::Fail);
    EXPECT_EQ(s.pay.errorId, 3);
    EXPECT_EQ(s.pay.errorText, "Server down: try later");
    EXPECT_EQ(s.payDelayFrames, 0);
    EXPECT_EQ(s.ownedSkus, (std::vector<std::string>{"coins_1", "boost_40"}));
    EXPECT_EQ(s.saveDir, "/tmp/saves");
}

TEST_F(SettingsTest, SaveFolderDefaultsToTheUsersDataFolder) {
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(ReadPlatformSettings().saveDir, "/home/ann/.local/share/cobblebrooks/data/");
    ::setenv("XDG_DATA_HOME", "/srv/share", 1);
    EXPECT_EQ(ReadPlatformSettings().saveDir, "/srv/share/cobblebrooks/data/");
    ::setenv("COBBLE_SAVE_DIR", "", 1);
    EXPECT_EQ(ReadPlatformSettings().saveDir, "/srv/share/cobblebrooks/data/") << "an empty setting is no setting";
}

struct TBadValue {
    const char* name;
    const char* value;
};

TEST_F(SettingsTest, BadValuesAreReportedAndLeaveTheDefault) {
    const TBadValue cases[] = {
        {"COBBLE_DISPLAY_SIZE", "big"},  {"COBBLE_DISPLAY_SIZE", "0x480"},
        {"COBBLE_DISPLAY_SIZE", "640x"}, {"COBBLE_CLOCK", "fast"},
        {"COBBLE_PAY", "maybe"},         {"COBBLE_PAY", "fail:x"},
        {"COBBLE_DISPLAY", "wayland"},   {"COBBLE_PAY_DELAY", "99999999999999"},
        {"COBBLE_VERBOSE", "yes"},       {"COBBLE_VERBOSE", "2"},
    };
    const TPlatformSettings defaults = ReadPlatformSettings();
    for (const TBadValue& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        ::setenv(c.name, c.value, 1);
        ::testing::internal::CaptureStderr();
        const TPlatformSettings s = ReadPlatformSettings();
        const std::string err = ::testing::internal::GetCapturedStderr();
        ::unsetenv(c.name);
        EXPECT_NE(err.find(c.name), std::string::npos) << err;
        EXPECT_EQ(s.displayWidthPx, defaults.displayWidthPx);
        EXPECT_EQ(s.displayHeightPx, defaults.displayHeightPx);
        EXPECT_EQ(s.frameLimit, defaults.frameLimit);
        EXPECT_EQ(s.clock, defaults.clock);
        EXPECT_EQ(s.pay.outcome, defaults.pay.outcome);
        EXPECT_EQ(s.mode, defaults.mode);
        EXPECT_EQ(s.payDelayFrames, defaults.payDelayFrames);
        EXPECT_EQ(s.displaySizeGiven, defaults.displaySizeGiven) << "a size that cannot be read was not given";
        EXPECT_EQ(s.verbose, defaults.verbose);
    }
}

TEST_F(SettingsTest, ExpectedNoticesArePrintedOnlyInAVerboseRun) {
    for (const bool verbose : {false, true}) {
        TPlatformSettings s;
        s.verbose = verbose;
        UseSettings(s);
        ::testing::internal::CaptureStderr();
        Notice("no web access, %s", "downloads return nothing");
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, verbose ? "platform: no web access, downloads return nothing\n" : "") << verbose;
    }
    UseSettings(TPlatformSettings{});
}

TEST_F(SettingsTest, UnreadableFrameCountBoundsTheRunInsteadOfLiftingTheLimit) {
    for (const char* value : {"-1", "12abc", "", "99999999999999", "ninety"}) {
        SCOPED_TRACE(value);
        ::setenv("COBBLE_FRAMES", value, 1);
        ::testing::internal::CaptureStderr();
        const TPlatformSettings s = ReadPlatformSettings();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(s.frameLimit, 90);
        EXPECT_NE(err.find(std::string("COBBLE_FRAMES='") + value + "'"), std::string::npos) << err;
        EXPECT_NE(err.find("90 frames"), std::string::npos) << err;
    }
    ::setenv("COBBLE_FRAMES", "0", 1);  // 0 is a real value: no limit, without a word
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadPlatformSettings().frameLimit, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

struct TAngleCase {
    const char* value;  // null: unset
    int angle;
    const char* message;  // part of the stderr line; null: nothing printed
};

TEST_F(SettingsTest, StartAngleIsAWholeNumberNamedInItsMessages) {
    const TAngleCase cases[] = {
        {nullptr, 0, nullptr},
        {"270", 270, nullptr},
        {"0", 0, nullptr},
        {"sideways", 0, "ORIENTATION='sideways' is not a whole number"},
        {"90abc", 0, "ORIENTATION='90abc' is not a whole number"},  // atoi would read 90
        {"", 0, "ORIENTATION='' is not a whole number"},
        {"45", 45, "ORIENTATION='45' is not 0, 90, 180 or 270"},
        {"360", 360, "ORIENTATION='360' is not 0, 90, 180 or 270"},
        {"-90", -90, "ORIENTATION='-90' is not 0, 90, 180 or 270"},
    };
    for (const TAngleCase& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            ::setenv("ORIENTATION", c.value, 1);
        else
            ::unsetenv("ORIENTATION");
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadStartAngle(), c.angle);
        const std::string err = ::testing::internal::GetCapturedStderr();
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
        } else {
            EXPECT_EQ(err, "");
        }
    }
    ::unsetenv("ORIENTATION");
}

TEST_F(SettingsTest, EnvironmentTextIsNullWhenUnset) {
    ::unsetenv("ORIENTATION");
    EXPECT_EQ(GetEnvironmentText("ORIENTATION"), nullptr);
    ::setenv("ORIENTATION", "90", 1);
    EXPECT_STREQ(GetEnvironmentText("ORIENTATION"), "90");
    ::unsetenv("ORIENTATION");
}

TEST_F(SettingsTest, ARandomSeedIsFixedWhenGivenOrUnderTheVirtualClock) {
    const struct {
        const char* why;
        const char* seed;  // null: unset
        ClockKind clock;
        bool fixed;
        unsigned int expected;
        bool complaint;
    } cases[] = {
        {"a real-clock run draws from the time", nullptr, ClockKind::Real, false, 0, false},
        {"a virtual-clock run starts from 1", nullptr, ClockKind::Virtual, true, 1, false},
        {"a given seed on the real clock", "4242", ClockKind::Real, true, 4242, false},
        {"a given seed wins over the virtual clock's", "0", ClockKind::Virtual, true, 0, false},
        {"the largest seed", "2147483647", ClockKind::Real, true, 2147483647u, false},
        {"a negative seed is no seed", "-5", ClockKind::Real, false, 0, true},
        {"words are no seed", "lucky", ClockKind::Virtual, true, 1, true},
        {"too large is no seed", "2147483648", ClockKind::Real, false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.seed != nullptr)
            ::setenv("COBBLE_SEED", c.seed, 1);
        else
            ::unsetenv("COBBLE_SEED");
        ::testing::internal::CaptureStderr();
        TPlatformSettings s = ReadPlatformSettings();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("COBBLE_SEED") != std::string::npos, c.complaint) << err;
        s.clock = c.clock;
        UseSettings(s);
        unsigned int seed = 12345;
        EXPECT_EQ(FixedRandomSeed(seed), c.fixed);
        if (c.fixed) {
            EXPECT_EQ(seed, c.expected);
        }
    }
    ::unsetenv("COBBLE_SEED");
    UseSettings(TPlatformSettings());
}

}  // namespace
}  // namespace platform
