// The real program, played through a player's first visit by an input script with the real pak
// and the virtual clock (FrontEndTour.h): headless, and in a real X window under xvfb-run. The
// run must end at the quit confirmation with status 0 and its saves; the frames dumped on the
// way are checked at a few pixels, and the saved player data holds the new profile and the
// volumes the sliders were moved to.
//
// The screenshots stay in build/<preset>/screens/front-end-tour (and front-end-tour-x11).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FrontEndTour.h"
#include "ProgramRun.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"

namespace {

using namespace programrun;

bool Teal(const std::vector<int>& p) { return p[0] < 120 && p[1] > 120 && p[2] > 120; }
bool PureYellow(const std::vector<int>& p) { return p[0] > 240 && p[1] > 240 && p[2] < 30; }

// Runs the tour with the display settings given; the screenshots go to a fresh folder below the
// build. Checks everything a player would have seen and kept.
void RunTourAndCheck(const std::string& displaySettings, const std::string& folderName) {
    const std::filesystem::path shots = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / folderName;
    std::filesystem::remove_all(shots);
    std::filesystem::create_directories(shots / "saves");
    const std::filesystem::path script = shots / "tour.script";
    std::ofstream(script) << tour::Script();

    // The frame limit is only a guard: the quit confirmation ends the run long before it.
    const std::string command = "timeout 480 env " + displaySettings +
                                " COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual COBBLE_SOUND=null "
                                "COBBLE_FRAMES=3000 COBBLE_SCRIPT='" +
                                script.string() + "' COBBLE_DUMP_DIR='" + shots.string() + "' COBBLE_SAVE_DIR='" +
                                (shots / "saves").string() + "' '" COBBLE_GAME_PATH "' 2>&1";
    int status = -1;
    const std::string output = RunCommand(command, &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("loading step"), std::string::npos) << output;
    EXPECT_EQ(output.find("falling back to headless"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(shots / "13_after_quit.png")) << "Yes on the quit question ends the game";

    const std::vector<TPixelCheck> checks = {
        {"01_intro.png", 150, 560, 320, 720, Teal, 500, 1 << 30, "the logo's teal drop"},
        {"02_loading.png", 280, 1220, 490, 1260, White, 40, 1 << 30, "\"Loading n%\" at the bottom"},
        {"03_name_entry.png", 90, 270, 680, 330, TitleYellow, 800, 1 << 30, "\"Enter your name\""},
        {"03_name_entry.png", 240, 895, 525, 980, Green, 0, 50, "no OK while the name is empty"},
        {"04_name_typed.png", 240, 895, 525, 980, Green, 3000, 1 << 30, "OK once a name is typed"},
        {"04_name_typed.png", 310, 370, 460, 430, White, 300, 1 << 30, "the name typed"},
        {"05_start_menu.png", 240, 1190, 530, 1230, White, 500, 1 << 30, "\"Welcome, Ada!\" on its plate"},
        {"06_options.png", 240, 260, 530, 320, TitleYellow, 800, 1 << 30, "\"Options\""},
        {"08_players.png", 55, 360, 530, 430, PureYellow, 8000, 1 << 30, "Ada's row highlighted"},
        {"09_stats.png", 220, 250, 550, 305, TitleYellow, 800, 1 << 30, "\"Statistics\""},
        {"10_about.png", 30, 150, 740, 700, White, 0, 1500, "the credits rolling in from below"},
        {"11_about_scrolled.png", 30, 150, 740, 700, White, 4000, 1 << 30, "the credits dragged up"},
        {"12_quit_confirmation.png", 400, 685, 685, 765, Red, 3000, 1 << 30, "the quit question's Yes"},
    };
    CheckDumps(shots, checks, output);

    // The quit saved the player data: the profile named through the keys, and both volumes.
    std::ifstream in(shots / "saves" / "global.opt", std::ios::binary);
    ASSERT_TRUE(in.good()) << "no global.opt";
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData data;
    ASSERT_EQ(data.ReadAppDataFromBytes(bytes, "global.opt"), 1);
    ASSERT_EQ(data.m_Profiles.count, 1);
    EXPECT_EQ(data.m_Profiles.data[0]->GetName(), "Ada");
    EXPECT_EQ(data.m_nCurrentProfile, 0);
    EXPECT_GE(data.m_nMusicVolume, 80) << "the music slider went to the right";
    EXPECT_LE(data.m_nEffectsVolume, 20) << "the sound slider went to the left";
}

TEST(FrontEndTour, HeadlessFromTheIntroToTheQuitConfirmation) {
    RunTourAndCheck("-u DISPLAY COBBLE_DISPLAY=headless", "front-end-tour");
}

TEST(FrontEndTourX11, TheSameVisitInARealWindowUnderXvfb) {
    if (const char* why = programrun::WhyNoXvfbWindow()) GTEST_SKIP() << why;
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    RunTourAndCheck("COBBLE_DISPLAY=x11", "front-end-tour-x11");
}

}  // namespace
