// Every platform test starts from a fresh, headless platform with default settings.
#pragma once

#include <gtest/gtest.h>

#include "platform/Bps.h"
#include "platform/Settings.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { platform::UseSettings(Headless()); }
    void TearDown() override { platform::UseSettings(Headless()); }

    static platform::TPlatformSettings Headless() {
        platform::TPlatformSettings s;
        s.mode = platform::DisplayMode::Headless;
        return s;
    }

    // Takes the next event; fails the test when the call itself fails.
    static bps_event_t* Next() {
        bps_event_t* ev = nullptr;
        EXPECT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
        return ev;
    }
};
