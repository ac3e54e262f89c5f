// The whole program, as a user runs it: the demo program started headless with a script for a
// few hundred frames, its dumped frames checked pixel by pixel, ended by the scripted exit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../platform/PngRead.h"

namespace {

namespace fs = std::filesystem;

// The demo's clear colour after `updates` updates, from its documented rule.
std::vector<int> DemoColour(int updates) { return {(5 * updates) % 256, (3 * updates) % 256, 200, 255}; }

TEST(DemoProgram, ScriptedHeadlessRunDumpsTheExpectedFramesAndExitsCleanly) {
  const fs::path dir = fs::path(COBBLE_BINARY_DIR) / "demo_program_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  {
    std::ofstream script(dir / "run.script");
    script << "# press in the middle of a 384x640 display, release on frame 3\n"
              "0 touch down 192 320\n"
              "2 dump f002.png\n"
              "3 touch up 192 320\n"
              "150 dump f150.png\n"
              "299 dump f299.png\n"
              "300 nav exit\n"
              "300 dump f300.png\n"
              "301 dump f301.png\n";
  }
  const std::string command = "env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=384x640 "
                              "COBBLE_CLOCK=virtual COBBLE_SCRIPT='" + (dir / "run.script").string() +
                              "' COBBLE_DUMP_DIR='" + dir.string() + "' '" COBBLE_DEMO_PATH "'";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // 301 frames: the exit arrives before frame 300 is drawn and one more cycle still runs.
  std::printf("demo: %.2f ms per headless frame (384x640, 301 frames)\n", seconds * 1000.0 / 301.0);

  // With the virtual clock every cycle is exactly one update, so frame f shows f + 1 updates.
  const TPngPixels f2 = ReadPngFile((dir / "f002.png").string());
  ASSERT_TRUE(f2.ok);
  ASSERT_EQ(f2.width, 384);
  ASSERT_EQ(f2.height, 640);
  EXPECT_EQ(f2.At(10, 10), DemoColour(3));
  EXPECT_EQ(f2.At(383, 639), DemoColour(3));
  // The finger is down: the touch went in through the pixel scale and came back as a mark under it.
  EXPECT_EQ(f2.At(192, 320), (std::vector<int>{255, 255, 255, 255}));

  for (int frame : {150, 299, 300}) {
    SCOPED_TRACE(frame);
    char name[16];
    std::snprintf(name, sizeof name, "f%03d.png", frame);
    const TPngPixels png = ReadPngFile((dir / name).string());
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.At(0, 0), DemoColour(frame + 1));
    EXPECT_EQ(png.At(192, 320), DemoColour(frame + 1)) << "released on frame 3: no mark";
  }
  EXPECT_FALSE(fs::exists(dir / "f301.png")) << "the program ran past the exit";
  fs::remove_all(dir);
}

TEST(DemoProgram, BadScriptEndsTheProgramAtOnceWithTheLine) {
  const fs::path dir = fs::path(COBBLE_BINARY_DIR) / "demo_program_bad";
  fs::create_directories(dir);
  {
    std::ofstream script(dir / "bad.script");
    script << "0 touch down 1 2\n1 nav exit please\n";
  }
  const std::string out = (dir / "stderr.txt").string();
  const std::string command = "env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_SCRIPT='" +
                              (dir / "bad.script").string() + "' '" COBBLE_DEMO_PATH "' 2>'" + out + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream in(out);
  const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(err.find("bad.script:2:"), std::string::npos) << err;
  fs::remove_all(dir);
}

}  // namespace
