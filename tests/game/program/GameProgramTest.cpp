// The real game program, run as a player runs it but headless: with the real resource pak beside
// it and the virtual clock it gets through the start-up into the loader's intro, and the scripted
// exit ends it through the normal shut-down, which saves the player data. Beside a pak that lacks
// a file the loader needs, the run ends at the loader with the failure told and its saves made.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/progress/ApplicationData.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"
#include "testsupport/ScratchDir.h"

namespace {

// The program's environment for a headless run with the virtual clock and a sink for sound.
std::string HeadlessRun(const std::filesystem::path& dumps, const std::filesystem::path& saves,
                        const std::string& program, const std::string& extra) {
    // timeout: a program that stops presenting never reaches its scripted exit.
    return "timeout 120 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual "
           "COBBLE_SOUND=null " +
           extra + " COBBLE_DUMP_DIR='" + dumps.string() + "' COBBLE_SAVE_DIR='" + saves.string() + "' '" + program +
           "' 2>&1";
}

// Pixels in the rectangle that pass the test.
template <class Pred>
int CountPixels(const TPngPixels& png, int x0, int y0, int x1, int y1, Pred pred) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += pred(png.At(x, y)) ? 1 : 0;
    return n;
}

TEST(GameProgram, StartsToTheLoaderAndLeavesWithItsSaves) {
    CScratchDir dir;
    const std::filesystem::path saves = dir.root / "saves";
    // timeout: a program that stops presenting never reaches its scripted exit.
    const std::string command =
        "timeout 120 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 "
        "COBBLE_CLOCK=virtual COBBLE_SOUND=null COBBLE_FRAMES=80 COBBLE_DUMP_EVERY=1 "
        "COBBLE_DUMP_DIR='" +
        dir.root.string() + "' COBBLE_SAVE_DIR='" + saves.string() + "' '" COBBLE_GAME_PATH "' 2>&1";
    int status = -1;
    const std::string output = RunCommand(command, &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("start-up failed"), std::string::npos) << output;

    // The first frame after the start-up is the loader's: drawn over the whole display.
    const TPngPixels first = ReadPngFile((dir.root / "frame_00001.png").string());
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.width, 768);
    EXPECT_EQ(first.height, 1280);
    EXPECT_EQ(first.At(0, 0), (std::vector<int>{0, 0, 0, 255})) << "the loader's black background";

    // Mid-intro the logo stands at the centre: its teal drop left of the middle, in no other
    // colour the intro draws (stars and flares are gold and white, the word orange).
    const TPngPixels intro = ReadPngFile((dir.root / "frame_00070.png").string());
    ASSERT_TRUE(intro.ok);
    const int teal = CountPixels(intro, 150, 560, 320, 720,
                                 [](const std::vector<int>& p) { return p[0] < 120 && p[1] > 120 && p[2] > 120; });
    EXPECT_GT(teal, 500) << "the logo is drawn (rotated images reach the GL back buffer)";

    // The exit saved the player data, and it reads back.
    std::ifstream in(saves / "global.opt", std::ios::binary);
    ASSERT_TRUE(in.good()) << "no global.opt in " << saves;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData data;
    EXPECT_EQ(data.ReadAppDataFromBytes(bytes, "global.opt"), 1);
}

TEST(GameProgram, ALoadingStepThatFailsIsToldAndTheRunEndsWithItsSavesAndStatusOne) {
    // The program beside a pak without one effect file, which only the loader screen reads.
    CScratchDir dir;
    const std::filesystem::path program = dir.root / "cobblebrooks";
    const std::filesystem::path assets = dir.root / "app" / "native" / "assets";
    std::filesystem::create_directories(assets);
    std::filesystem::copy_file(COBBLE_GAME_PATH, program);
    const std::filesystem::path pak =
        std::filesystem::path(COBBLE_GAME_PATH).parent_path() / "app" / "native" / "assets" / "_game_bb.pak";
    int status = -1;
    const std::string copied = RunCommand(
        "python3 -c \"import sys, zipfile\n"
        "src = zipfile.ZipFile(sys.argv[1])\n"
        "with zipfile.ZipFile(sys.argv[2], 'w') as dst:\n"
        "    for info in src.infolist():\n"
        "        if info.filename != sys.argv[3]: dst.writestr(info, src.read(info))\n\" '" +
            pak.string() + "' '" + (assets / "_game_bb.pak").string() + "' 'Effects\\MarbleTrace.pfd' 2>&1",
        &status);
    ASSERT_EQ(status, 0) << copied;

    const std::filesystem::path saves = dir.root / "saves";
    const std::string output =
        RunCommand(HeadlessRun(dir.root, saves, program.string(), "COBBLE_FRAMES=2000 COBBLE_DUMP_EVERY=500"), &status);
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("start-up loader: loading step"), std::string::npos) << output;
    EXPECT_NE(output.find("Effects\\MarbleTrace.pfd"), std::string::npos) << output;
    EXPECT_EQ(output.find("loading step"), output.rfind("loading step")) << "told once: " << output;
    EXPECT_TRUE(std::filesystem::exists(saves / "global.opt")) << "the normal shut-down saved the player data";
    EXPECT_TRUE(std::filesystem::exists(dir.root / "frame_00000.png"));
    EXPECT_FALSE(std::filesystem::exists(dir.root / "frame_01000.png")) << "it ended at the loader, not at the limit";
}

}  // namespace
