// The real game program, run as a player runs it but headless: with the real resource pak beside
// it and the virtual clock it gets through the start-up to the loader screen's first frames, and
// the scripted exit ends it through the normal shut-down, which saves the player data.
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

TEST(GameProgram, StartsToTheLoaderAndLeavesWithItsSaves) {
    CScratchDir dir;
    const std::filesystem::path saves = dir.root / "saves";
    // timeout: a program that stops presenting never reaches its scripted exit.
    const std::string command =
        "timeout 120 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 "
        "COBBLE_CLOCK=virtual COBBLE_SOUND=null COBBLE_FRAMES=3 COBBLE_DUMP_EVERY=1 "
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

    // The exit saved the player data, and it reads back.
    std::ifstream in(saves / "global.opt", std::ios::binary);
    ASSERT_TRUE(in.good()) << "no global.opt in " << saves;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData data;
    EXPECT_EQ(data.ReadAppDataFromBytes(bytes, "global.opt"), 1);
}

}  // namespace
