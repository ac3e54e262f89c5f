// The real game program, run as a player runs it but headless: with the real resource pak beside
// it and the virtual clock it gets through the start-up into the loader's intro, and the scripted
// exit ends it through the normal shut-down, which saves the player data. Beside a pak that lacks
// a file the loader needs, the run ends at the loader with the failure told and its saves made.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"
#include "testsupport/ScratchDir.h"

namespace {

using namespace programrun;

TEST(GameProgram, StartsToTheLoaderAndLeavesWithItsSaves) {
    CScratchDir dir;
    const std::filesystem::path saves = dir.root / "saves";
    int status = -1;
    const std::string output =
        RunHeadless(COBBLE_GAME_PATH, dir.root, saves, "COBBLE_FRAMES=80 COBBLE_DUMP_EVERY=1", &status);
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
    EXPECT_TRUE(ReadSaved(saves).ok);
}

TEST(GameProgram, ALoadingStepThatFailsIsToldAndTheRunEndsWithItsSavesAndStatusOne) {
    // The program beside a pak without one effect file, which only the loader screen reads.
    CScratchDir dir;
    const std::filesystem::path program = ProgramBesideChangedPak(dir.root, "--remove 'Effects\\MarbleTrace.pfd'");
    ASSERT_FALSE(program.empty());
    const std::filesystem::path saves = dir.root / "saves";
    int status = -1;
    const std::string output =
        RunHeadless(program, dir.root, saves, "COBBLE_FRAMES=2000 COBBLE_DUMP_EVERY=500", &status);
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("start-up loader: loading step"), std::string::npos) << output;
    EXPECT_NE(output.find("Effects\\MarbleTrace.pfd"), std::string::npos) << output;
    EXPECT_EQ(output.find("loading step"), output.rfind("loading step")) << "told once: " << output;
    EXPECT_TRUE(std::filesystem::exists(saves / "global.opt")) << "the normal shut-down saved the player data";
    EXPECT_TRUE(std::filesystem::exists(dir.root / "frame_00000.png"));
    EXPECT_FALSE(std::filesystem::exists(dir.root / "frame_01000.png")) << "it ended at the loader, not at the limit";
}

// What `make run` does without a display, with this build's program and no save folder named
// (its saves then go to a throwaway folder): the stroll of scripts/stroll.script through the
// start menu ends the game by its quit question, and the screenshots its dump lines name are
// each written and listed on standard output.
TEST(GameProgram, MakeRunsHeadlessStrollListsTheStartMenuScreenshotsItWrote) {
    CScratchDir dir;
    const std::filesystem::path shots = dir.root / "shots";
    int status = -1;
    const std::string listed = RunCommand(
        "cd '" COBBLE_SOURCE_DIR "' && timeout 300 env -u DISPLAY -u COBBLE_SAVE_DIR COBBLE_GAME_BIN='" COBBLE_GAME_PATH
        "' COBBLE_DUMP_DIR='" +
            shots.string() + "' scripts/run.sh 2>'" + dir.Path("stderr.txt") + "'",
        &status);
    EXPECT_EQ(status, 0) << listed;
    // A first visit is no fault: nothing is told of the news cache not there yet, nor of the web.
    std::ifstream err(dir.Path("stderr.txt"));
    const std::string told((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    for (const char* word : {"fopen", "news.fed", "no web access", "failed", "could not"})
        EXPECT_EQ(told.find(word), std::string::npos) << told;

    std::vector<std::string> named;
    std::ifstream script(COBBLE_SOURCE_DIR "/scripts/stroll.script");
    for (std::string line; std::getline(script, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string frame, what, file;
        if (words >> frame >> what >> file && what == "dump") named.push_back(file);
    }
    ASSERT_NE(std::find(named.begin(), named.end(), "05_start_menu.png"), named.end());
    for (const std::string& name : named) {
        EXPECT_NE(listed.find((shots / name).string()), std::string::npos) << name << " listed:\n" << listed;
        EXPECT_TRUE(ReadPngFile((shots / name).string()).ok) << name;
    }
    CheckDumps(shots,
               {{"05_start_menu.png", 240, 1190, 530, 1230, White, 500, 1 << 30, "\"Welcome, Ada!\" on the plate"},
                {"05_start_menu.png", 0, 0, 768, 300, Sky, 60000, 1 << 30, "the sky of the menu"}},
               listed);
}

}  // namespace
