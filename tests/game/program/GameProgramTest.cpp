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
#include "RunChecks.h"
#include "game/app/TheGame.h"
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
// start menu, the play screen, the first yard, the farm shop with its coin tab and the yard's
// quests ends the game by the menu's quit question; a second leg, after the first rank-up given to
// the same player, goes to the boosts and buys one. The screenshots the dump lines of both name
// are each written, listed on standard output and show the screen they are named for.
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
    for (const char* leg : {"/scripts/stroll.script", "/scripts/stroll_boosts.script"}) {
        std::ifstream script(std::string(COBBLE_SOURCE_DIR) + leg);
        ASSERT_TRUE(script.good()) << leg;
        for (std::string line; std::getline(script, line);) {
            std::istringstream words(line.substr(0, line.find('#')));
            std::string frame, what, file;
            if (words >> frame >> what >> file && what == "dump") named.push_back(file);
        }
    }
    ASSERT_NE(std::find(named.begin(), named.end(), "05_start_menu.png"), named.end());
    for (const std::string& name : named) {
        EXPECT_NE(listed.find((shots / name).string()), std::string::npos) << name << " listed:\n" << listed;
        EXPECT_TRUE(ReadPngFile((shots / name).string()).ok) << name;
    }
    CheckDumps(shots,
               {{"05_start_menu.png", 240, 1190, 530, 1230, White, 500, 1 << 30, "\"Welcome, Ada!\" on the plate"},
                {"05_start_menu.png", 0, 0, 768, 300, Sky, 60000, 1 << 30, "the sky of the menu"},
                {"25_quit_question.png", 0, 0, 768, 300, Sky, 0, 60000, "the menu dimmed under the question"},
                {"30_leaving.png", 0, 0, 768, 300, Sky, 0, 60000, "and again at the end of the boosts' leg"}},
               listed);
    // The stops of the game past the menu, in logical pixels: the play screen's title ("Choose an
    // arena") dimmed under its first hint and bright once it is closed and on the way back; the
    // yard's Buy button; the teal buy buttons of the shop's first row, a pouch of coins on the coin
    // tab and the hen on the birds' tab; the birds' bar filled by the hen; the quests' title.
    using runchecks::Logical;
    const auto orange = [](const std::vector<int>& p) { return p[0] > 200 && p[1] > 90 && p[1] < 190 && p[2] < 90; };
    const runchecks::TPixelCheck stops[] = {
        Logical("14_play_screen_hint.png", 37, 62, 283, 92, TitleYellow, 0, 300, "the title dimmed by the hint"),
        Logical("15_play_screen.png", 37, 62, 283, 92, TitleYellow, 3000, 1 << 30, "\"Choose an arena\""),
        Logical("16_yard.png", 60, 8, 140, 40, Green, 3000, 1 << 30, "the yard's Buy button"),
        Logical("16_yard.png", 200, 51, 250, 61, orange, 0, 40, "the birds' bar empty"),
        Logical("18_coin_tab.png", 130, 194, 300, 226, runchecks::Teal, 3000, 1 << 30, "the pouch's buy button"),
        Logical("20_shop_birds.png", 130, 194, 300, 226, runchecks::Teal, 3000, 1 << 30, "the hen's buy button"),
        Logical("22_hen_in_the_yard.png", 200, 51, 250, 61, orange, 400, 1 << 30, "the birds' bar filled by the hen"),
        Logical("23_quests.png", 55, 12, 230, 42, TitleYellow, 2000, 1 << 30, "\"Mini-quests\""),
        Logical("24_back_at_the_play_screen.png", 37, 62, 283, 92, TitleYellow, 3000, 1 << 30, "\"Choose an arena\""),
        // The second leg, after the rank-up: the boosts button shown; the boosts screen, its buy
        // buttons green while the point is there and all grey once it bought the combo's first
        // level, whose bar fills a quarter.
        Logical("26_boosts_unlocked.png", 14, 470, 106, 502, runchecks::ButtonBlue, 3000, 1 << 30, "the boosts button"),
        Logical("28_boosts.png", 110, 8, 210, 40, TitleYellow, 2000, 1 << 30, "\"Boosts\""),
        Logical("28_boosts.png", 236, 90, 316, 118, Green, 3000, 1 << 30, "the combo's buy button"),
        Logical("28_boosts.png", 64, 108, 100, 117, runchecks::ButtonBlue, 0, 300, "the combo's bar empty"),
        Logical("29_combo_bought.png", 236, 90, 316, 118, Green, 0, 100, "the combo's buy button greyed"),
        Logical("29_combo_bought.png", 236, 390, 316, 418, Green, 0, 100, "the fire ball's too"),
        Logical("29_combo_bought.png", 64, 108, 100, 117, runchecks::ButtonBlue, 500, 1 << 30, "the combo's bar"),
    };
    runchecks::ExpectPixels(shots, stops, 768, 1280, listed);
}

// The stroll's rank-up helper: the current player gets the experience of the second rank, one
// boost point and the mark that opens the boosts, once (a second run finds her past the first
// rank and changes nothing); a folder without readable player data is refused, named, and left
// as it was.
TEST(GameProgram, StrollRankUpGivesTheFirstRankUpOnceAndRefusesDamagedSaves) {
    const std::string helper =
        (std::filesystem::path(COBBLE_GAME_PATH).parent_path() / "cobblebrooks_stroll_rankup").string();
    CScratchDir dir;
    const std::filesystem::path saves = dir.root / "saves";
    WriteSeededPlayer(saves, [](TUserProfile& ada) { ada.m_nBoostPoints = 3; });
    if (::testing::Test::HasFatalFailure()) return;
    int status = -1;
    for (int run = 0; run < 2; ++run) {
        const std::string said = RunCommand("'" + helper + "' '" + saves.string() + "' 2>&1", &status);
        EXPECT_EQ(status, 0) << said;
    }
    CApplicationData data;
    runchecks::ReadSavedPlayerData(saves, data);
    if (::testing::Test::HasFatalFailure()) return;
    const TUserProfile& ada = *data.m_Profiles.data[0];
    EXPECT_EQ(CTheGame::GetXP_Points2Rank(ada.m_uExperiencePoints), 2);
    EXPECT_EQ(CTheGame::GetXP_Points2Rank(ada.m_uExperiencePoints - 1), 1) << "no more than the second rank needs";
    EXPECT_EQ(ada.m_nBoostPoints, 4);
    EXPECT_EQ(ada.m_nBoostPointsEarned, 1);
    EXPECT_TRUE(ada.m_bFirstRankUpSeen);
    EXPECT_FALSE(std::filesystem::exists(saves / "global.opt.tmp"));

    struct TBad {
        const char* why;
        const char* bytes;  // nullptr: no global.opt at all
    } bad[] = {{"no player data", nullptr}, {"a damaged global.opt", "not player data"}};
    for (const TBad& b : bad) {
        SCOPED_TRACE(b.why);
        const std::filesystem::path folder = dir.root / "bad";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        if (b.bytes != nullptr) std::ofstream(folder / "global.opt") << b.bytes;
        const std::string said = RunCommand("'" + helper + "' '" + folder.string() + "' 2>&1", &status);
        EXPECT_EQ(status, 1) << said;
        EXPECT_NE(said.find((folder / "global.opt").string()), std::string::npos) << said;
        if (b.bytes != nullptr) {
            std::ifstream in(folder / "global.opt");
            EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), b.bytes);
        }
    }
}

}  // namespace
