// The whole program, as a user runs it: the demo program started headless with a script for a
// few hundred frames, its dumped frames checked pixel by pixel (everything in them is drawn
// through the engine's GL back buffer and presented by its draw cycle), ended by the scripted exit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "../../shell/demo/DemoLayout.h"
#include "testsupport/PngRead.h"

namespace {

namespace fs = std::filesystem;

using TPixel = std::vector<int>;

// The display is 640 x 960, so the portrait game is 320 x 480 logical pixels shown at exactly
// twice the size: logical pixel (x, y) covers physical pixels 2x..2x+1, 2y..2y+1.
constexpr int kDisplayW = 640, kDisplayH = 960, kScale = 2;

TPixel Rgb(int r, int g, int b) { return {r, g, b, 255}; }
TPixel Rgb(const demo::TColour& c) { return Rgb(c.r, c.g, c.b); }

// The demo's clear colour after `updates` updates, from its documented rule.
TPixel DemoColour(int updates) { return Rgb((5 * updates) % 256, (3 * updates) % 256, demo::kBackgroundBlue); }

// What the turned sprite shows at physical (x, y): its centre turned back by the angle gives
// the point in the sprite, whose quadrant gives the colour. Empty when the point lies within
// two physical pixels of a quadrant edge (sampling there would test the rasteriser's rounding).
TPixel SpriteColourAt(int x, int y, int updates) {
    const double kPi = 3.14159265358979323846;
    const double angle = ((updates * demo::kSpinDegreesPerUpdate) % 360) * kPi / 180.0;
    const double px = x + 0.5 - demo::kSpinCentreX * kScale;
    const double py = y + 0.5 - demo::kSpinCentreY * kScale;
    // Clockwise on the screen (y down) by angle; back by the inverse rotation.
    const double sx = px * std::cos(angle) + py * std::sin(angle);
    const double sy = -px * std::sin(angle) + py * std::cos(angle);
    const double half = demo::kSpriteSide * kScale / 2.0;
    const double margin = 2.0;
    if (std::abs(sx) < margin || std::abs(sy) < margin) return {};
    if (std::abs(std::abs(sx) - half) < margin || std::abs(std::abs(sy) - half) < margin) return {};
    if (std::abs(sx) > half || std::abs(sy) > half) return {-1};  // outside the sprite
    if (sy < 0) return sx < 0 ? Rgb(255, 0, 0) : Rgb(0, 255, 0);
    return sx < 0 ? Rgb(0, 0, 255) : Rgb(255, 255, 255);
}

// Checks one dumped frame against every element the demo draws after `updates` updates.
void CheckDemoFrame(const TPngPixels& png, int updates) {
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.width, kDisplayW);
    ASSERT_EQ(png.height, kDisplayH);
    const TPixel ground = DemoColour(updates);
    EXPECT_EQ(png.At(0, 0), ground);
    EXPECT_EQ(png.At(kDisplayW - 1, kDisplayH - 1), ground) << "the back buffer fills the whole surface";

    // The fill, edges included: the logical rectangle maps onto whole physical pixels.
    const demo::TRect f = demo::kFillRect;
    const int fx0 = f.x * kScale, fx1 = (f.x + f.w) * kScale - 1, fy0 = f.y * kScale, fy1 = (f.y + f.h) * kScale - 1;
    for (auto [x, y] : {std::pair{fx0, fy0}, {fx1, fy1}, {(fx0 + fx1) / 2, (fy0 + fy1) / 2}})
        EXPECT_EQ(png.At(x, y), Rgb(demo::kFillColour)) << x << "," << y;
    EXPECT_EQ(png.At(fx0 - 1, fy0), ground);
    EXPECT_EQ(png.At(fx1 + 1, fy1), ground);
    EXPECT_EQ(png.At(fx0, fy1 + 1), ground);

    // The gradient: each channel runs linearly from the top colour to the bottom one across the
    // rectangle's physical rows, sampled at pixel centres.
    const demo::TRect g = demo::kGradientRect;
    const int gx = (g.x + g.w / 2) * kScale, gy0 = g.y * kScale, gRows = g.h * kScale;
    for (int row = 0; row < gRows; row += 17) {
        const double t = (row + 0.5) / gRows;
        const TPixel got = png.At(gx, gy0 + row);
        const int want[3] = {
            static_cast<int>(demo::kGradientTop.r + t * (demo::kGradientBottom.r - demo::kGradientTop.r)),
            static_cast<int>(demo::kGradientTop.g + t * (demo::kGradientBottom.g - demo::kGradientTop.g)),
            static_cast<int>(demo::kGradientTop.b + t * (demo::kGradientBottom.b - demo::kGradientTop.b))};
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 2) << "gradient row " << row << " channel " << c;
    }
    EXPECT_EQ(png.At(gx, gy0 - 1), ground);
    EXPECT_EQ(png.At(gx, gy0 + gRows), ground);

    // The lines are one physical pixel wide on one side or the other of the logical pixel edge.
    const TPixel line = Rgb(demo::kLineColour);
    for (int lx : {demo::kLineX0 + 10, (demo::kLineX0 + demo::kLineX1) / 2, demo::kLineX1 - 10}) {
        const int x = lx * kScale, y = demo::kLineY * kScale;
        EXPECT_TRUE(png.At(x, y - 1) == line || png.At(x, y) == line) << "across line at x " << x;
        EXPECT_EQ(png.At(x, y - 4), ground);
        EXPECT_EQ(png.At(x, y + 3), ground);
    }
    for (int ly : {demo::kLineY0 + 10, demo::kLineY1 - 10}) {
        const int x = demo::kLineX * kScale, y = ly * kScale;
        EXPECT_TRUE(png.At(x - 1, y) == line || png.At(x, y) == line) << "down line at y " << y;
        EXPECT_EQ(png.At(x - 4, y), ground);
        EXPECT_EQ(png.At(x + 3, y), ground);
    }
    EXPECT_EQ(png.At((demo::kLineX1 + 10) * kScale, demo::kLineY * kScale), ground) << "the line ends";

    // The sprite, turned about its centre: a grid of samples over the square that holds it.
    const int reach = demo::kSpriteSide * kScale;  // beyond the turned sprite's half-diagonal
    int checked = 0;
    for (int dy = -reach; dy <= reach; dy += 5) {
        for (int dx = -reach; dx <= reach; dx += 5) {
            const int x = demo::kSpinCentreX * kScale + dx, y = demo::kSpinCentreY * kScale + dy;
            const TPixel want = SpriteColourAt(x, y, updates);
            if (want.empty()) continue;
            ++checked;
            EXPECT_EQ(png.At(x, y), want.size() == 1 ? ground : want) << "sprite at " << x << "," << y;
        }
    }
    EXPECT_GT(checked, 200) << "the sample grid covers the sprite";
}

TEST(DemoProgram, ScriptedHeadlessRunDrawsThroughTheGlBackBufferAndExitsCleanly) {
    const fs::path dir = fs::path(COBBLE_BINARY_DIR) / "demo_program_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    // Physical (200, 840) is logical (100, 420) with the touch scale of one half.
    const int touchX = 200, touchY = 840;
    {
        std::ofstream script(dir / "run.script");
        script << "0 touch down " << touchX << " " << touchY << "\n"
               << "2 dump f002.png\n"
                  "3 touch up 200 840\n"
                  "29 dump f029.png\n"
                  "150 dump f150.png\n"
                  "299 dump f299.png\n"
                  "300 nav exit\n"
                  "300 dump f300.png\n"
                  "301 dump f301.png\n";
    }
    // timeout: a program that stops presenting never reaches its scripted exit.
    const std::string command =
        "timeout 60 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=640x960 "
        "COBBLE_CLOCK=virtual COBBLE_SCRIPT='" +
        (dir / "run.script").string() + "' COBBLE_DUMP_DIR='" + dir.string() + "' '" COBBLE_DEMO_PATH "'";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // 301 frames: the exit arrives before frame 300 is drawn and one more cycle still runs.
    std::printf("demo: %.2f ms per headless frame (640x960, 301 frames)\n", seconds * 1000.0 / 301.0);

    // With the virtual clock every cycle is exactly one update, so frame f shows f + 1 updates.
    const TPngPixels f2 = ReadPngFile((dir / "f002.png").string());
    {
        SCOPED_TRACE("frame 2");
        CheckDemoFrame(f2, 3);
    }
    // The finger is down: the touch went in through the pixel scale and came back as a mark of
    // 24 logical (48 physical) pixels centred under it.
    const int half = demo::kMarkSide * kScale / 2;
    EXPECT_EQ(f2.At(touchX, touchY), Rgb(255, 255, 255));
    EXPECT_EQ(f2.At(touchX - half, touchY - half), Rgb(255, 255, 255));
    EXPECT_EQ(f2.At(touchX + half - 1, touchY + half - 1), Rgb(255, 255, 255));
    EXPECT_EQ(f2.At(touchX - half - 1, touchY), DemoColour(3));
    EXPECT_EQ(f2.At(touchX, touchY + half), DemoColour(3));

    // Frame 29 shows the sprite a quarter turn on (30 updates of 3 degrees): red at top right.
    for (int frame : {29, 150, 299, 300}) {
        SCOPED_TRACE(frame);
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.png", frame);
        const TPngPixels png = ReadPngFile((dir / name).string());
        CheckDemoFrame(png, frame + 1);
        EXPECT_EQ(png.At(touchX, touchY), DemoColour(frame + 1)) << "released on frame 3: no mark";
    }
    const TPngPixels f29 = ReadPngFile((dir / "f029.png").string());
    const int cx = demo::kSpinCentreX * kScale, cy = demo::kSpinCentreY * kScale, q = demo::kSpriteSide * kScale / 4;
    EXPECT_EQ(f29.At(cx + q, cy - q), Rgb(255, 0, 0)) << "top-left quadrant turned to the top right";
    EXPECT_EQ(f29.At(cx - q, cy + q), Rgb(255, 255, 255)) << "bottom-right quadrant turned to the bottom left";
    EXPECT_FALSE(fs::exists(dir / "f301.png")) << "the program ran past the exit";
    fs::remove_all(dir);
}

// `make run` where no run may go on for ever: a DISPLAY that names no X server, or a frame count
// that cannot be read, still gives the bounded headless stroll (scripts/stroll.script), whose
// screenshots up to the end of the run are written and listed on stdout.
struct TRunCase {
    const char* why;
    const char* environment;
    const char* lastShot;  // the last screenshot of the stroll the bounded run reaches
    const char* notYet;    // the stroll's next one, which it does not
    const char* message;
};

TEST(DemoProgram, MakeRunFallsBackToTheBoundedHeadlessStroll) {
    const fs::path dir = fs::path(COBBLE_BINARY_DIR) / "demo_program_run";
    const TRunCase cases[] = {
        {"DISPLAY names no X server", "DISPLAY=:9999 COBBLE_FRAMES=130", "02_loading.png", "03_name_entry.png",
         "no X server answers on DISPLAY=:9999"},
        {"an unreadable frame count", "COBBLE_FRAMES=lots", "01_intro.png", "02_loading.png", "COBBLE_FRAMES='lots'"},
    };
    for (const TRunCase& c : cases) {
        SCOPED_TRACE(c.why);
        fs::remove_all(dir);
        const std::string out = (dir.parent_path() / "demo_program_run.out").string();
        const std::string err = (dir.parent_path() / "demo_program_run.txt").string();
        const std::string command = "cd '" COBBLE_SOURCE_DIR "' && timeout 60 env -u DISPLAY " +
                                    std::string(c.environment) +
                                    " COBBLE_GAME_BIN='" COBBLE_DEMO_PATH "' COBBLE_DUMP_DIR='" + dir.string() +
                                    "' scripts/run.sh >'" + out + "' 2>'" + err + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "124 is the timeout: the run did not end";
        auto slurp = [](const std::string& path) {
            std::ifstream in(path);
            return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        };
        const std::string said = slurp(out), complained = slurp(err);
        EXPECT_NE(complained.find(c.message), std::string::npos) << complained;
        EXPECT_TRUE(ReadPngFile((dir / c.lastShot).string()).ok) << c.lastShot;
        EXPECT_FALSE(fs::exists(dir / c.notYet)) << c.notYet;
        EXPECT_NE(said.find((dir / c.lastShot).string()), std::string::npos) << "listed: " << said;
        EXPECT_EQ(said.find(c.notYet), std::string::npos) << "only what was written is listed: " << said;
        std::remove(out.c_str());
        std::remove(err.c_str());
    }
    fs::remove_all(dir);
}

// A start-up that fails for a setting: what the user is told, and a failing exit status.
struct TFailedStart {
    const char* why;
    const char* environment;  // shell words; '@' stands for the bad script's path
    const char* message;
};

TEST(DemoProgram, FailedStartUpEndsAtOnceWithTheReasonAndAFailingStatus) {
    const fs::path dir = fs::path(COBBLE_BINARY_DIR) / "demo_program_bad";
    fs::create_directories(dir);
    {
        std::ofstream script(dir / "bad.script");
        script << "0 touch down 1 2\n1 nav exit please\n";
    }
    const TFailedStart cases[] = {
        {"a bad script line", "COBBLE_SCRIPT=@", "bad.script:2:"},
        {"a missing script", "COBBLE_SCRIPT=/nonexistent/run.script", "/nonexistent/run.script: cannot open"},
        {"a script that is a folder", "COBBLE_SCRIPT=/", "/: cannot read the input script"},
        {"an endless script", "COBBLE_SCRIPT=/dev/zero", "/dev/zero: the input script is larger than"},
        {"an angle that is no quarter turn", "ORIENTATION=45", "ORIENTATION='45'"},
    };
    for (const TFailedStart& c : cases) {
        SCOPED_TRACE(c.why);
        std::string environment = c.environment;
        if (const std::size_t at = environment.find('@'); at != std::string::npos)
            environment.replace(at, 1, "'" + (dir / "bad.script").string() + "'");
        const std::string out = (dir / "stderr.txt").string();
        // timeout: a start-up that does not fail runs until the frame bound.
        const std::string command =
            "timeout 60 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_CLOCK=virtual "
            "COBBLE_FRAMES=20 " +
            environment + " '" COBBLE_DEMO_PATH "' 2>'" + out + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        std::ifstream in(out);
        const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
    fs::remove_all(dir);
}

}  // namespace
