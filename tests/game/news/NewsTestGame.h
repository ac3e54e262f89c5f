// The game object of the news suites: a test game whose save folder is a scratch directory, in the
// configuration the game runs in (double-resolution images, pixels released after upload).
#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <thread>

#include "testsupport/ScratchDir.h"
#include "testsupport/TestTheGame.h"

class CNewsTestGame : public CTestTheGame {
public:
    CNewsTestGame() {
        m_RenderSwitches.m_bDoubleResolution = true;
        m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        (void)Init(320, 480);
    }
    CommonString GetSaveDirectory() override { return CommonString((m_Dir.root.string() + "/").c_str()); }
    std::string SavePath(const std::string& leaf) const { return m_Dir.Path(leaf); }

    CScratchDir m_Dir;
};

// Today's local date from the C library, as year, month, day.
inline void Today(int* date) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    date[0] = local.tm_year + 1900;
    date[1] = local.tm_mon + 1;
    date[2] = local.tm_mday;
}

// Polls until the condition holds, for at most about ten seconds; whether it held.
inline bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 10000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}
