// The real program in an X window on a 1920 x 1080 screen (ctest's game_program_window runs it
// under xvfb-run): the first start's name is typed on the keyboard (letters, a Backspace,
// Return); the window opens whole within nine tenths of the screen's height with its names,
// minimum size and icon; resized to about half, it shows the picture scaled between bars and a
// click on the scaled globe button lands on it; F6 turns the device a quarter at a time, and at
// each angle the window stands at the turned shape with the picture turned in it, a click on the
// turned Play button lands on it, and the fourth turn stands it upright at its first size again;
// closing the window ends the game with status 0 and the typed name saved. The frames reach the
// server through shared memory (the pictures checked here are the ones put that way). Play shows
// because its screen's root is in the pak, and the play screen it opens is the real one.
//
// What the window showed is kept in build/<preset>/screens/window-x11-1080p/.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"
#include "platform/FrameDump.h"
#include "testsupport/ScratchDir.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

#include "testsupport/XTestClient.h"

namespace {

using namespace programrun;
using TPixel = std::vector<int>;

// The window's picture as the X server shows it, rows top first.
struct TCapture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    TPixel At(int x, int y) const {
        const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    int Count(int x0, int y0, int x1, int y1, const std::function<bool(const TPixel&)>& test) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += test(At(x, y)) ? 1 : 0;
        return n;
    }
};

TCapture Capture(Display* display, Window window) {
    TCapture c;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return c;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return c;
    c.width = a.width;
    c.height = a.height;
    c.rgba.resize(static_cast<std::size_t>(c.width) * c.height * 4);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const unsigned long v = XGetPixel(image, x, y);
            std::uint8_t* p = &c.rgba[(static_cast<std::size_t>(y) * c.width + x) * 4];
            p[0] = static_cast<std::uint8_t>((v & image->red_mask) >> __builtin_ctzl(image->red_mask));
            p[1] = static_cast<std::uint8_t>((v & image->green_mask) >> __builtin_ctzl(image->green_mask));
            p[2] = static_cast<std::uint8_t>((v & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
            p[3] = 255;
        }
    XDestroyImage(image);
    return c;
}

void Click(Display* display, Window window, int x, int y) {
    for (const int type : {ButtonPress, ButtonRelease}) {
        xtest::SendButton(display, window, type, x, y);
        XFlush(display);
        // A press and its release in different frames, as a finger gives them.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
}

// Tries until it holds or the seconds are up.
bool WaitFor(const std::function<bool()>& done, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<long> LongProperty(Display* display, Window window, const char* name, Atom type) {
    Atom got = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False, type, &got, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && format == 32)
        out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (data != nullptr) XFree(data);
    return out;
}

std::string TextProperty(Display* display, Window window, const char* name) {
    Atom got = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 256, False,
                           XInternAtom(display, "UTF8_STRING", False), &got, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && format == 8)
        out.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr) XFree(data);
    return out;
}

bool WoodBrown(const TPixel& p) { return p[0] > p[2] + 20 && p[0] < 160 && p[1] < 120; }

// The window on the 1080p screen at each quarter turn of the device: upright 583 x 972 (the
// display at 972 / 1280), turned 1280 x 768 (the display at its own size).
struct TTurnedWindow {
    int quarters;  // clockwise
    int width() const { return quarters % 2 ? 1280 : 583; }
    int height() const { return quarters % 2 ? 768 : 972; }
    // A display point as the window shows it: turned clockwise, the display's left edge runs
    // along the window's top; worked out here by hand, apart from the program's own mapping.
    void Shown(double x, double y, double& wx, double& wy) const {
        const double s = 972.0 / 1280;
        switch (quarters) {
            case 1:
                wx = 1280 - y, wy = x;
                return;
            case 2:
                wx = 583 - x * s, wy = 972 - y * s;
                return;
            case 3:
                wx = y, wy = 768 - x;
                return;
            default:
                wx = x * s, wy = y * s;
                return;
        }
    }
    // The share of a display rectangle's window pixels that pass the test.
    double Share(const TCapture& c, int x0, int y0, int x1, int y1,
                 const std::function<bool(const TPixel&)>& test) const {
        double ax = 0, ay = 0, bx = 0, by = 0;
        Shown(x0, y0, ax, ay);
        Shown(x1, y1, bx, by);
        const int wx0 = static_cast<int>(std::min(ax, bx)), wx1 = static_cast<int>(std::max(ax, bx));
        const int wy0 = static_cast<int>(std::min(ay, by)), wy1 = static_cast<int>(std::max(ay, by));
        if (wx1 <= wx0 || wy1 <= wy0 || wx1 > c.width || wy1 > c.height) return 0;
        return static_cast<double>(c.Count(wx0, wy0, wx1, wy1, test)) / ((wx1 - wx0) * (wy1 - wy0));
    }
};

// The start menu in display pixels, whichever way it is turned: the quit button's wood at the
// top-left, the sky along the top, Play (green) in the middle, the welcome (white) at the foot.
bool ShowsTheMenu(const TCapture& c, const TTurnedWindow& w) {
    return c.width == w.width() && c.height == w.height() && w.Share(c, 16, 16, 84, 84, WoodBrown) > 0.2 &&
           w.Share(c, 158, 0, 606, 79, Sky) > 0.35 && w.Share(c, 150, 860, 615, 960, Green) > 0.1 &&
           w.Share(c, 240, 1189, 529, 1230, White) > 0.015 && w.Share(c, 150, 1189, 615, 1230, Sky) < 0.9;
}

bool g_attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
    g_attachFailed = true;
    return 0;
}

// Whether this client and the server can share a memory segment at all: a container without
// SysV shared memory, or a server elsewhere, leaves the window only the slow way, and then the
// game saying so is right.
bool ServerAttachesSharedMemory(Display* display) {
    if (!XShmQueryExtension(display)) return false;
    XShmSegmentInfo segment{};
    segment.shmid = shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
    if (segment.shmid < 0) return false;
    segment.shmaddr = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    bool attached = false;
    if (segment.shmaddr != reinterpret_cast<char*>(-1)) {
        XSync(display, False);
        g_attachFailed = false;
        XErrorHandler previous = XSetErrorHandler(NoteAttachError);
        attached = XShmAttach(display, &segment) != 0;
        XSync(display, False);
        attached = attached && !g_attachFailed;
        if (attached) XShmDetach(display, &segment);
        XSync(display, False);
        XSetErrorHandler(previous);
        shmdt(segment.shmaddr);
    }
    shmctl(segment.shmid, IPC_RMID, nullptr);
    return attached;
}

void Save(const TCapture& c, const fs::path& path) {
    EXPECT_TRUE(platform::WriteRgbaPng(path.string(), c.width, c.height, c.rgba)) << path;
}

TEST(GameWindowX11, FitsA1080pScreenScalesWhenResizedAndMapsClicksBack) {
    if (std::getenv("COBBLE_UNDER_XVFB_1080") == nullptr)
        GTEST_SKIP() << "runs under xvfb-run on a 1920 x 1080 screen, as ctest's game_program_window";
    Display* client = XOpenDisplay(nullptr);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(DisplayWidth(client, DefaultScreen(client)), 1920);
    ASSERT_EQ(DisplayHeight(client, DefaultScreen(client)), 1080);
    const bool sharedMemory = ServerAttachesSharedMemory(client);

    CScratchDir dir;
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / "window-x11-1080p";
    fs::remove_all(shots);
    fs::create_directories(shots);
    // The program the build made, beside its pak and its window icon.
    const fs::path program = COBBLE_GAME_PATH;
    // The name entry stands by frame 180 (FirstStartAsAda); the name is typed in the window.
    std::ofstream(dir.root / "run.script") << "180 dump entry.png\n";

    // No display size: the window fits the screen. The timeout guards a window nobody closes.
    const fs::path out = dir.root / "out.txt";
    const std::string command =
        "exec timeout 240 env COBBLE_DISPLAY=x11 COBBLE_CLOCK=virtual COBBLE_SOUND=null COBBLE_VERBOSE=1 "
        "COBBLE_SCRIPT='" +
        dir.Path("run.script") + "' COBBLE_DUMP_DIR='" + shots.string() + "' COBBLE_SAVE_DIR='" + dir.Path("saves") +
        "' '" + program.string() + "' >'" + out.string() + "' 2>&1";
    // The program in the background; whatever way the test leaves, it does not outlive it.
    struct TChild {
        pid_t pid = -1;
        int status = -1;
        bool reaped = false;
        ~TChild() {
            if (pid > 0 && !reaped) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, &status, 0);
            }
        }
    } child;
    child.pid = ::fork();
    if (child.pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(child.pid, 0);

    ASSERT_TRUE(WaitFor([&] { return fs::exists(shots / "entry.png"); }, 90)) << Slurp(out);
    // Xlib's error handler would end the test on a window that went away meanwhile.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    Window window = 0;
    ASSERT_TRUE(WaitFor(
        [&] { return (window = xtest::FindWindowNamed(client, DefaultRootWindow(client), "Cobblebrooks")); }, 10));

    // "Adax", one Backspace, Return: the entry's own shift makes the first letter a capital.
    for (const KeySym key : {XK_a, XK_d, XK_a, XK_x, XK_BackSpace, XK_Return}) {
        xtest::SendKey(client, window, key);
        XFlush(client);
    }
    TCapture whole;
    const TTurnedWindow upright{0};
    const bool menu = WaitFor(
        [&] {
            whole = Capture(client, window);
            return ShowsTheMenu(whole, upright);
        },
        30);
    Save(whole, shots / "window_whole.png");
    ASSERT_TRUE(menu) << "Return on the typed name did not open the menu";

    // Nine tenths of 1080 high, the display's 768 x 1280 kept in proportion: 583 x 972.
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(client, window, &a));
    EXPECT_EQ(a.width, 583);
    EXPECT_EQ(a.height, 972);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(client, window, &hint));
    EXPECT_STREQ(hint.res_name, "cobblebrooks");
    EXPECT_STREQ(hint.res_class, "Cobblebrooks");
    XFree(hint.res_name);
    XFree(hint.res_class);
    EXPECT_EQ(TextProperty(client, window, "_NET_WM_NAME"), "Cobblebrooks");
    XSizeHints sizes{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(client, window, &sizes, &supplied));
    EXPECT_TRUE(sizes.flags & PMinSize);
    EXPECT_EQ(sizes.min_width, 192);
    EXPECT_EQ(sizes.min_height, 320);
    const std::vector<long> icon = LongProperty(client, window, "_NET_WM_ICON", XA_CARDINAL);
    ASSERT_GE(icon.size(), 2u);
    EXPECT_EQ(icon[0], 96);
    EXPECT_EQ(icon[1], 96);
    EXPECT_EQ(icon.size(), 2u + 96 * 96);

    // The whole picture: the quit button's wood in the top-left corner, the sky at the top, the
    // welcome at the foot and Play (green) where it belongs, scaled by 972 / 1280.
    ASSERT_EQ(whole.width, 583);
    EXPECT_GT(whole.Count(12, 12, 64, 64, WoodBrown), 600) << "the quit button at the top-left";
    EXPECT_GT(whole.Count(120, 0, 460, 60, Sky), 8000) << "the sky along the top";
    EXPECT_GT(whole.Count(182, 903, 402, 934, White), 150) << "the welcome at the foot";
    EXPECT_GT(whole.Count(114, 653, 467, 729, Green), 3000) << "Play in the middle";
    EXPECT_LT(whole.Count(0, 0, 4, 972, Black), 200) << "no bar at the left";

    // About half the screen, wider than the picture: bars left and right, the picture 324 x 540
    // at x 318 (540 / 1280 of the display).
    XResizeWindow(client, window, 960, 540);
    XFlush(client);
    TCapture half;
    const bool scaled = WaitFor(
        [&] {
            half = Capture(client, window);
            return half.width == 960 && half.Count(0, 0, 310, 540, Black) == 310 * 540 &&
                   half.Count(318, 0, 642, 40, Sky) > 5000;
        },
        15);
    Save(half, shots / "window_half.png");
    ASSERT_TRUE(scaled) << "the picture never stood scaled between two bars";
    EXPECT_EQ(half.Count(650, 0, 960, 540, Black), 310 * 540) << "the right bar";
    EXPECT_GT(half.Count(419, 502, 542, 519, White), 30) << "the welcome, scaled";
    EXPECT_GT(half.Count(381, 363, 577, 405, Green), 1500) << "Play, scaled";

    // The globe (display 494, 1130) at 318 + 494 * 324 / 768, 1130 * 540 / 1280: its page opens.
    Click(client, window, 526, 477);
    EXPECT_TRUE(WaitFor(
        [&] { return Slurp(out).find("[browser] https://social.cobblebrooks.example/") != std::string::npos; }, 10))
        << Slurp(out);
    // F6 turns the device a quarter clockwise. The window opens anew at the turned shape with the
    // menu turned in it; the game accepts the turn and rebuilds its surface.
    const auto turn = [&](const std::function<bool(const TCapture&)>& shows, const char* name) {
        xtest::SendKey(client, window, XK_F6);
        XFlush(client);
        TCapture shot;
        const bool turned = WaitFor(
            [&] {
                shot = Capture(client, window);
                return shows(shot);
            },
            15);
        Save(shot, shots / name);
        return turned;
    };
    const TTurnedWindow quarter{1}, upsideDown{2}, threeQuarters{3};
    ASSERT_TRUE(turn([&](const TCapture& c) { return ShowsTheMenu(c, quarter); }, "window_turned_90.png"))
        << "the menu never stood turned a quarter in a 1280 x 768 window";
    // Play (display 384, 910) stands at (1280 - 910, 384): the play screen opens with its
    // first-run hint, which darkens all but the first arena's button, whose meadow shows.
    const auto meadow = [](const TCapture& c, const TTurnedWindow& w) {
        return c.width == w.width() && c.height == w.height() && w.Share(c, 52, 332, 223, 483, Green) > 0.17 &&
               w.Share(c, 300, 332, 700, 483, Green) < 0.05;
    };
    Click(client, window, 370, 384);
    TCapture play;
    const bool opened = WaitFor(
        [&] {
            play = Capture(client, window);
            return meadow(play, quarter);
        },
        15);
    Save(play, shots / "window_play_turned_90.png");
    EXPECT_TRUE(opened) << "the click on the turned Play did not open its screen";
    // The game refuses 180 and 270's half turn from 90 needs no new surface; the device turns
    // all the same, and the fourth quarter stands the window upright at its first size.
    EXPECT_TRUE(turn([&](const TCapture& c) { return meadow(c, upsideDown); }, "window_turned_180.png"));
    EXPECT_TRUE(turn([&](const TCapture& c) { return meadow(c, threeQuarters); }, "window_turned_270.png"));
    EXPECT_TRUE(turn([&](const TCapture& c) { return meadow(c, upright); }, "window_turned_back.png"));
    XWindowAttributes back;
    ASSERT_TRUE(XGetWindowAttributes(client, window, &back));
    EXPECT_EQ(back.width, 583);
    EXPECT_EQ(back.height, 972);

    // Closing the window is the navigator's exit: the game ends with its saves and status 0.
    xtest::SendClose(client, window);
    XFlush(client);
    child.reaped = WaitFor([&] { return ::waitpid(child.pid, &child.status, WNOHANG) == child.pid; }, 20);
    XCloseDisplay(client);
    ASSERT_TRUE(child.reaped) << "closing the window did not end the game";
    ASSERT_TRUE(WIFEXITED(child.status));
    EXPECT_EQ(WEXITSTATUS(child.status), 0) << Slurp(out);
    EXPECT_EQ(Slurp(out).find("could not be opened"), std::string::npos) << Slurp(out);
    // A server on this machine takes the frames through shared memory, not down the connection
    // (the notice that says otherwise is printed with COBBLE_VERBOSE=1). Where this test itself
    // cannot share a segment with the server, the slow way is all there is.
    if (sharedMemory) {
        EXPECT_EQ(Slurp(out).find("frames go the slow way"), std::string::npos) << Slurp(out);
    } else {
        std::cerr << "no shared memory between clients and this X server: the window's frames go down the connection\n";
    }
    EXPECT_EQ(ReadSaved(dir.root / "saves").firstName, "Ada") << "the name typed in the window";
}

}  // namespace
