// The real program driven by input scripts through the front end, headless on the default display:
// the buttons of screens the pak has no root for are pressed and the menu stays; the back key
// goes through the whole back-key table of the front-end screens; and a pak with a damaged
// start-menu image or template ends the run with the failure told, status 1 and the saves kept.
// The screenshots of the first two stay in build/<preset>/screens/front-end-missing-screens and
// front-end-back-key.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "ProgramRun.h"
#include "testsupport/PngRead.h"
#include "testsupport/ScratchDir.h"

namespace {

using namespace programrun;

// A fresh folder below the build for a run's screenshots, kept to be looked at.
fs::path ShotsFolder(const char* name) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / name;
    fs::remove_all(shots);
    fs::create_directories(shots);
    return shots;
}
std::string Tap(int frame, int x, int y) {
    const std::string at = std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(frame) + " touch down " + at + std::to_string(frame + 2) + " touch up " + at;
}

std::string Line(int frame, const std::string& what) { return std::to_string(frame) + " " + what + "\n"; }

// Where the menu's buttons lie on the 768 x 1280 display.
constexpr int kPlay[] = {384, 910}, kQuests[] = {134, 1032}, kScores[] = {384, 1032}, kAwards[] = {634, 1032};
constexpr int kOptions[] = {703, 55}, kQuit[] = {60, 55}, kPlate[] = {384, 1225}, kStats[] = {133, 1128};
constexpr int kQuitNo[] = {226, 725}, kQuitYes[] = {543, 723}, kCredits[] = {551, 752};

// "Welcome, Ada!" on the plate at the foot: the menu panel stands.
constexpr int kWelcome[] = {240, 1190, 530, 1230};

TEST(FrontEndScript, PressingTheButtonsOfScreensWithoutARootLeavesTheMenuStanding) {
    CScratchDir dir;
    const fs::path shots = ShotsFolder("front-end-missing-screens");
    const fs::path program =
        ProgramBesideChangedPak(dir.root, "--drop-roots root_play,root_quests,root_leaders,root_ach");
    ASSERT_FALSE(program.empty());
    std::string script = FirstStartAsAda() + Line(250, "dump menu.png");
    const struct {
        const int* at;
        const char* dump;
    } presses[] = {{kPlay, "after_play.png"},
                   {kQuests, "after_quests.png"},
                   {kScores, "after_scores.png"},
                   {kAwards, "after_awards.png"}};
    int frame = 260;
    for (const auto& p : presses) {
        script += Tap(frame, p.at[0], p.at[1]) + Line(frame + 40, std::string("dump ") + p.dump);
        frame += 45;
    }
    script += Tap(frame, kQuit[0], kQuit[1]) + Tap(frame + 35, kQuitYes[0], kQuitYes[1]) +
              Line(frame + 80, "dump after_quit.png");
    std::ofstream(dir.root / "run.script") << script;

    int status = -1;
    const std::string output =
        RunHeadless(program, shots, dir.root / "saves",
                    "COBBLE_FRAMES=3000 COBBLE_SCRIPT='" + dir.Path("run.script") + "'", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("could not be opened"), std::string::npos) << output;
    // A first start is no fault: the news cache that is not there yet and the web this machine
    // does not reach are expected, and said nothing of.
    EXPECT_EQ(output.find("fopen"), std::string::npos) << output;
    EXPECT_EQ(output.find("news.fed"), std::string::npos) << output;
    EXPECT_EQ(output.find("no web access"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(shots / "after_quit.png")) << "Yes on the quit question ends the game";

    std::vector<TPixelCheck> checks;
    for (const char* dump :
         {"menu.png", "after_play.png", "after_quests.png", "after_scores.png", "after_awards.png"}) {
        checks.push_back({dump, kWelcome[0], kWelcome[1], kWelcome[2], kWelcome[3], White, 500, 1 << 30,
                          "the menu panel with its welcome"});
        checks.push_back({dump, 0, 0, 768, 300, Sky, 60000, 1 << 30, "the sky of the scene, no curtain"});
        checks.push_back({dump, 0, 0, 768, 1280, Black, 0, 768 * 1280 / 20, "nothing black"});
        checks.push_back({dump, 150, 860, 615, 960, Green, 0, 100, "no Play button"});
    }
    CheckDumps(shots, checks, output);
    const TSaved saved = ReadSaved(dir.root / "saves");
    EXPECT_EQ(saved.firstName, "Ada");
}

TEST(FrontEndScript, TheBackKeyWalksTheFrontEndsBackKeyTable) {
    CScratchDir dir;
    const fs::path shots = ShotsFolder("front-end-back-key");
    const std::string script = Tap(180, 103, 643) + Tap(188, 243, 643) + Tap(196, 103, 643) +  // "Ada"
                               Line(204, "key back") +                            // the name entry: one letter goes
                               Line(206, "dump name.png") + Tap(210, 384, 936) +  // OK
                               Line(250, "dump menu.png") +                       //
                               Line(255, "key back") +                            // the menu panel: the quit question
                               Line(290, "dump question.png") + Tap(295, kQuitNo[0], kQuitNo[1]) +  // No
                               Line(330, "dump after_no.png") +                                     //
                               Tap(335, kOptions[0], kOptions[1]) +
                               Line(370, "key back") +                // the options: back to the panel
                               Line(405, "dump after_options.png") +  //
                               Tap(410, kPlate[0], kPlate[1]) + Line(445, "key back") +  // the players
                               Line(480, "dump after_players.png") +                     //
                               Tap(485, kStats[0], kStats[1]) + Line(520, "key back") +  // the statistics
                               Line(555, "dump after_stats.png") +                       //
                               Tap(560, kOptions[0], kOptions[1]) + Tap(595, kCredits[0], kCredits[1]) +  // the credits
                               Line(700, "dump credits.png") + Line(705, "key back") +  // ... close to the menu
                               Line(780, "dump after_credits.png") +                    //
                               Line(785, "key back") + Line(820, "key back") +  // a second back on the question leaves
                               Line(860, "dump never.png");
    std::ofstream(dir.root / "run.script") << script;

    int status = -1;
    const std::string output =
        RunHeadless(COBBLE_GAME_PATH, shots, dir.root / "saves",
                    "COBBLE_FRAMES=3000 COBBLE_SCRIPT='" + dir.Path("run.script") + "'", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_FALSE(fs::exists(shots / "never.png")) << "the second back on the quit question leaves the game";

    const auto welcome = [](const char* dump, const char* what) {
        return TPixelCheck{dump, kWelcome[0], kWelcome[1], kWelcome[2], kWelcome[3], White, 500, 1 << 30, what};
    };
    // An open dialog dims the screen: the sky over the title is bright only without one.
    const auto noDialog = [](const char* dump) {
        return TPixelCheck{dump, 100, 0, 660, 110, Sky, 30000, 1 << 30, "no dialog left open"};
    };
    const auto noQuestion = [](const char* dump) {
        return TPixelCheck{dump, 400, 685, 685, 765, Red, 0, 200, "no quit question"};
    };
    CheckDumps(shots,
               {
                   {"name.png", 310, 370, 460, 430, White, 300, 1 << 30, "the name still being typed"},
                   welcome("menu.png", "the menu"),
                   {"question.png", 400, 685, 685, 765, Red, 3000, 1 << 30, "the quit question's Yes"},
                   welcome("after_no.png", "No: back on the menu"),
                   noQuestion("after_no.png"),
                   noDialog("after_no.png"),
                   welcome("after_options.png", "the options closed"),
                   noDialog("after_options.png"),
                   welcome("after_players.png", "the players closed"),
                   noDialog("after_players.png"),
                   welcome("after_stats.png", "the statistics closed"),
                   noDialog("after_stats.png"),
                   {"credits.png", 230, 20, 540, 120, TitleYellow, 800, 1 << 30, "the credits' title"},
                   welcome("after_credits.png", "the credits left for the menu"),
                   noQuestion("after_credits.png"),
                   noDialog("after_credits.png"),
               },
               output);
    // "Ada" lost its last letter to the back key, and the leaving back saved it.
    EXPECT_EQ(ReadSaved(dir.root / "saves").firstName, "Ad");
}

// A saves folder with the player "Ada", made once by the real program for the tests below and
// removed when the test program ends. The name is typed by the script's key lines, as a keyboard
// types it: "adax", a Backspace, Return (the entry's shift makes the first letter a capital).
const fs::path& AdaSaves() {
    struct TFolder {
        fs::path saves = fs::temp_directory_path() / ("cobble_front_end_ada_" + std::to_string(::getpid())) / "saves";
        ~TFolder() {
            std::error_code ec;
            fs::remove_all(saves.parent_path(), ec);
        }
    };
    static const TFolder folder;
    static const bool made = [] {
        const fs::path root = folder.saves.parent_path();
        fs::remove_all(root);
        fs::create_directories(folder.saves);
        std::ofstream(root / "ada.script")
            << Line(180, "key a") + Line(182, "key d") + Line(184, "key a") + Line(186, "key x") +
                   Line(188, "key backspace") + Line(190, "key return") + Line(255, "key back") + Line(290, "key back");
        int status = -1;
        const std::string output =
            RunHeadless(COBBLE_GAME_PATH, root, folder.saves,
                        "COBBLE_FRAMES=2000 COBBLE_SCRIPT='" + (root / "ada.script").string() + "'", &status);
        EXPECT_EQ(status, 0) << output;
        return status == 0;
    }();
    (void)made;
    return folder.saves;
}

struct TDamage {
    const char* what;
    const char* pakedit;  // pakedit.py's options
    std::vector<const char*> told;
};

TEST(FrontEndScript, ADamagedStartMenuImageOrTemplateIsToldAndTheRunEndsWithStatusOneAndItsSaves) {
    ASSERT_EQ(ReadSaved(AdaSaves()).firstName, "Ada");
    const TDamage cases[] = {
        {"a damaged title image",
         "--garble 'i_vga\\ui\\startmenu\\menu_title.png'",
         {"game: message 1001: the screen root_START_MENU could not be opened: the image ",
          "menu_title cannot be loaded"}},
        {"a template cut before the start menu",
         "--cut-template-at 'root = \"root_START_MENU\"'",
         {"game: message 1001: the screen root_START_MENU could not be opened: ui_main.txt has no root record "
          "root_START_MENU"}},
        {"no template",
         "--remove 'ui\\ui_iphone\\ui_main.txt'",
         {"game: message 1001: the screen root_START_MENU could not be opened: ui_main.txt cannot be read"}},
    };
    for (const TDamage& c : cases) {
        SCOPED_TRACE(c.what);
        CScratchDir dir;
        const fs::path program = ProgramBesideChangedPak(dir.root, c.pakedit);
        ASSERT_FALSE(program.empty());
        fs::copy(AdaSaves(), dir.root / "saves");
        int status = -1;
        const std::string output =
            RunHeadless(program, dir.root, dir.root / "saves", "COBBLE_FRAMES=3000 COBBLE_DUMP_EVERY=500", &status);
        EXPECT_EQ(status, 1) << output;
        for (const char* told : c.told) EXPECT_NE(output.find(told), std::string::npos) << output;
        EXPECT_EQ(output.find("could not be opened"), output.rfind("could not be opened")) << "told once: " << output;
        EXPECT_FALSE(fs::exists(dir.root / "frame_01000.png")) << "it ended at once, not at the frame limit";
        const TSaved saved = ReadSaved(dir.root / "saves");
        EXPECT_EQ(saved.profiles, 1);
        EXPECT_EQ(saved.firstName, "Ada") << "the player's data is kept";
    }
}

}  // namespace
