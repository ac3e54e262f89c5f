// The real X window: the program opens it, a synthetic click from another X client arrives as
// the first finger, the function keys give the navigator's events, letters, space, Backspace and
// Return reach the program's typed-key handler (with Ctrl or Alt held, nothing), and Esc is the
// back key, which ends the program when the game says it leaves.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "TestGame.h"
#include "platform/Control.h"
#include "platform/Settings.h"
#include "shell/BbUtil.h"
#include "shell/Program.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/keysym.h>

#include "testsupport/XTestClient.h"

namespace {

// An X server of the test's own, so that it can be taken away mid-run: Xvfb on a display
// number it picks itself and reports through a pipe.
class CPrivateXServer {
public:
    ~CPrivateXServer() { Kill(); }

    bool Start() {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (pid_ > 0 && ::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.empty()) return false;
        name_ = ":" + number;
        return true;
    }

    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// A fresh test game and an X window run of that display size. The frame limit is a safety net
// (several seconds at the tests' pace): each run ends long before it.
void UseWindowSettings(int widthPx, int heightPx) {
    ResetTestGame();
    platform::TPlatformSettings s;
    s.mode = platform::DisplayMode::X11;
    s.displayWidthPx = widthPx;
    s.displayHeightPx = heightPx;
    s.frameLimit = 2000;
    platform::UseSettings(s);
}

using xtest::FindWindowNamed;
using xtest::SendButton;
using xtest::SendKey;

TEST(X11Window, OpensTakesSyntheticClicksAndKeysAndEscapeIsTheBackKey) {
    if (!std::getenv("COBBLE_UNDER_XVFB")) GTEST_SKIP() << "runs only under xvfb-run";
    UseWindowSettings(320, 480);      // pixel scale 1: what is clicked is what arrives
    g_testGame.backKeyAnswers = {0};  // the game leaves at the first back key
    SetTypedKeyHandler([](int character) { g_record.events.push_back("typed " + std::to_string(character)); });

    Display* client = XOpenDisplay(nullptr);
    ASSERT_NE(client, nullptr);
    bool windowFound = false;
    bool keysSent = false;
    g_testGame.onCycle = [&](CTestGame&, int cycle) {
        // Gives the X server time to map the window and deliver events on a slow machine.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (cycle < 3) return;
        const Window w = FindWindowNamed(client, DefaultRootWindow(client), "Cobblebrooks");
        if (!w) return;  // not mapped yet: try next frame
        if (!windowFound) {
            windowFound = true;
            SendButton(client, w, ButtonPress, 100, 200);
            SendButton(client, w, ButtonRelease, 101, 201);
            SendButton(client, w, ButtonPress, 50, 60, Button3);  // the second finger
            SendButton(client, w, ButtonRelease, 50, 60, Button3);
            XFlush(client);
        } else if (g_record.pointers.size() >= 4 && !keysSent) {
            keysSent = true;
            // Typed keys go to the game as what they type (it decides what they do), whatever
            // the Shift; shortcuts and keys that type nothing do not.
            for (KeySym key : {XK_s, XK_z, XK_space, XK_BackSpace, XK_Return, XK_1, XK_Tab}) SendKey(client, w, key);
            SendKey(client, w, XK_a, ShiftMask);
            SendKey(client, w, XK_q, ControlMask);
            SendKey(client, w, XK_x, Mod1Mask);
            SendKey(client, w, XK_F2);  // swipe down: pause
            SendKey(client, w, XK_F3);  // to thumbnail: pause again
            SendKey(client, w, XK_Escape);
            XFlush(client);
        }
    };
    EXPECT_EQ(RunProgram(), 0);
    SetTypedKeyHandler(nullptr);
    XCloseDisplay(client);

    EXPECT_TRUE(windowFound);
    const std::vector<TPointerCall> expected = {
        {100, 200, 1, 0, false}, {101, 201, 2, 0, false}, {50, 60, 1, 1, true}, {50, 60, 2, 1, true}};
    EXPECT_EQ(g_record.pointers, expected);
    EXPECT_EQ(g_record.events, (std::vector<std::string>{"typed 115", "typed 122", "typed 32", "typed 8", "typed 13",
                                                         "typed 97", "pause", "pause", "key 8"}));
    EXPECT_LT(g_record.cycles, 2000) << "Esc did not end the run";
    EXPECT_TRUE(g_record.deleted);
}

TEST(X11Window, ClosingTheWindowIsTheNavigatorExit) {
    if (!std::getenv("COBBLE_UNDER_XVFB")) GTEST_SKIP() << "runs only under xvfb-run";
    UseWindowSettings(200, 300);

    Display* client = XOpenDisplay(nullptr);
    ASSERT_NE(client, nullptr);
    bool closeSent = false;
    g_testGame.onCycle = [&](CTestGame&, int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const Window w = FindWindowNamed(client, DefaultRootWindow(client), "Cobblebrooks");
        if (!w || closeSent) return;
        xtest::SendClose(client, w);
        XFlush(client);
        closeSent = true;
    };
    EXPECT_EQ(RunProgram(), 0);
    XCloseDisplay(client);
    EXPECT_TRUE(closeSent);
    EXPECT_LT(g_record.cycles, 2000) << "closing did not end the run";
    EXPECT_TRUE(g_record.deleted);
}

TEST(X11Window, LostDisplayEndsTheRunThroughTheNormalShutDown) {
    if (!std::getenv("COBBLE_UNDER_XVFB")) GTEST_SKIP() << "runs only under xvfb-run";
    CPrivateXServer server;
    ASSERT_TRUE(server.Start());
    const std::string oldDisplay = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    ::setenv("DISPLAY", server.Name().c_str(), 1);
    UseWindowSettings(200, 300);
    g_testGame.onCycle = [&](CTestGame&, int cycle) {
        if (cycle == 5) server.Kill();
    };
    ::testing::internal::CaptureStderr();
    const int status = RunProgram();
    const std::string err = ::testing::internal::GetCapturedStderr();
    ::setenv("DISPLAY", oldDisplay.c_str(), 1);
    EXPECT_EQ(status, 1) << err;
    EXPECT_TRUE(g_record.deleted) << "the game object saves as it is deleted";
    EXPECT_LT(g_record.cycles, 10) << err;
    EXPECT_NE(err.find("the X display went away"), std::string::npos) << err;
}

}  // namespace
