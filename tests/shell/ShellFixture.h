// Each shell test starts from a fresh headless platform (virtual clock, small portrait
// display) and a fresh test game configuration.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestGame.h"
#include "app/GameBase.h"
#include "platform/Bps.h"
#include "platform/Control.h"
#include "platform/Settings.h"
#include "shell/BbUtil.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("ORIENTATION");
        ResetTestGame();
        platform::UseSettings(Settings(768, 1280));
    }
    void TearDown() override {
        // Start-up failures before Init leave the game object alive, as on the device.
        delete g_pGame;
        g_pGame = nullptr;
        bbutil_terminate();
        platform::UseSettings(Settings(768, 1280));
    }

    static platform::TPlatformSettings Settings(int w, int h) {
        platform::TPlatformSettings s;
        s.mode = platform::DisplayMode::Headless;
        s.displayWidthPx = w;
        s.displayHeightPx = h;
        s.clock = platform::ClockKind::Virtual;
        s.payDelayFrames = 1;
        s.frameLimit = 500;  // a safety net: a run that misses its own exit still ends, and fails
        return s;
    }

    // Index of the first log line starting with prefix at or after from; -1 when none.
    static int Find(const std::vector<std::string>& log, const std::string& prefix, int from = 0) {
        for (int i = std::max(from, 0); i < static_cast<int>(log.size()); ++i) {
            if (log[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) return i;
        }
        return -1;
    }
};
