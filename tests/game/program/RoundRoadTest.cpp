// The marble game's whole road in the real program, headless with the real pak, the virtual clock
// and an input script (the random numbers are the same on every such run, so the rounds are too).
//
// The first run starts from an empty save folder: the intro and the loading, the name entry, the
// start menu, the play screen, the first arena with its tutorial, skipped, a round played by a few
// swipes until marbles of two colours meet, its statistics counted up and left for the play screen,
// and back to the start menu to quit. The second starts from player data in which the first two
// yards have their stars, so the second and third arenas have just been unlocked, which the play
// screen shows: a round in each arena, each left alone until two marbles of different colours meet,
// its statistics read and left for the play screen; the third arena's round is first left through
// the pause menu and resumed from the play screen. Each run ends with status 0 and its saves; the
// frames dumped at every stop are checked at a few pixels. The first run is made once more in a
// real X window under xvfb-run.
//
// The screenshots stay in build/<preset>/screens/round-road/ (round-road-x11) and
// round-road-arenas/.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "RunChecks.h"
#include "core/MemFile.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/HighScoreTable.h"
#include "game/progress/UserProfile.h"

namespace {

namespace fs = std::filesystem;
using runchecks::Logical;
using runchecks::TPixelCheck;
using runchecks::TScript;

// Where things stand, in logical pixels of the 320 x 533 screen: the start menu's Play and quit
// buttons and the quit question's Yes; the play screen's back button and its arena buttons; the
// round's pause button and the pause panel's Menu. On this screen, taller than 480, the play
// screen's rows stand lower than their template places; the arena hint's close button stands
// below the third arena.
constexpr double kMenuPlay[] = {160, 379}, kMenuQuit[] = {25, 23}, kQuitYes[] = {226, 301};
constexpr double kPlayBack[] = {25, 23}, kArenaHintClose[] = {259, 221};
constexpr double kArena[3][2] = {{58, 168}, {160, 168}, {262, 168}};
constexpr double kPause[] = {25, 28}, kPauseMenu[] = {160, 354};

// Colours a player tells things apart by (r, g, b, a): the title's yellow, the padlocks' gold,
// and the floors of the three arenas, as drawn for them (a grass green, a red sandstone, a
// blue-violet stone).
bool Padlock(const std::vector<int>& p) { return p[0] > 200 && p[1] > 130 && p[2] < 90; }
bool Ruby(const std::vector<int>& p) { return p[0] > 200 && p[1] < 110 && p[2] > 80; }
bool Diamond(const std::vector<int>& p) { return p[0] > 120 && p[0] < 230 && p[1] > 200 && p[2] > 240; }
bool Grass(const std::vector<int>& p) { return p[1] > p[0] + 15 && p[1] > p[2] + 15; }
bool Sandstone(const std::vector<int>& p) { return p[0] > p[1] + 40 && p[0] > p[2] + 40; }
bool VioletStone(const std::vector<int>& p) { return p[2] > p[1] + 30 && p[2] > p[0] && p[0] > p[1]; }
bool Dark(const std::vector<int>& p) { return p[0] + p[1] + p[2] < 60; }

// The middle of an arena button (0 to 2), where its padlock or its emblem stands.
TPixelCheck ArenaMiddle(const char* dump, int arena, runchecks::TPixelTest test, int atLeast, int below,
                        const char* what) {
    const double x = kArena[arena][0], y = kArena[arena][1];
    return Logical(dump, x - 22, y - 18, x + 22, y + 22, std::move(test), atLeast, below, what);
}

// The floor below the field's middle, where the start texts do not stand: most of it shows the
// arena's ground (marbles cover some).
TPixelCheck Floor(const char* dump, runchecks::TPixelTest ground, const char* what) {
    return Logical(dump, 20, 430, 300, 520, std::move(ground), 40000, 1 << 30, what);
}

// A run of the program on a script in a fresh folder below the build; saves: the global.opt to
// start from (none: an empty save folder). Its output and status.
struct TRun {
    fs::path shots;
    std::string output;
    int status = -1;
};
TRun RunRoad(const std::string& displaySettings, const char* folder, const std::string& script,
             const std::vector<std::uint8_t>& saves) {
    TRun run;
    run.shots = fs::path(COBBLE_BINARY_DIR) / "screens" / folder;
    fs::remove_all(run.shots);
    fs::create_directories(run.shots / "saves");
    if (!saves.empty())
        std::ofstream(run.shots / "saves" / "global.opt", std::ios::binary)
            .write(reinterpret_cast<const char*>(saves.data()), static_cast<std::streamsize>(saves.size()));
    std::ofstream(run.shots / "road.script") << script;
    // The frame limit is only a guard: the script ends the run long before it.
    run.output =
        RunCommand("timeout 540 env " + displaySettings +
                       " COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual COBBLE_SOUND=null "
                       "COBBLE_FRAMES=6000 COBBLE_SCRIPT='" +
                       (run.shots / "road.script").string() + "' COBBLE_DUMP_DIR='" + run.shots.string() +
                       "' COBBLE_SAVE_DIR='" + (run.shots / "saves").string() + "' '" COBBLE_GAME_PATH "' 2>&1",
                   &run.status);
    return run;
}

// What no run may say: a loading step or a screen that failed, a window that was not opened.
void ExpectNothingFailed(const std::string& output) {
    for (const char* told : {"loading step", "could not be opened", "falling back to headless"})
        EXPECT_EQ(output.find(told), std::string::npos) << told << "\n" << output;
}

// The one profile of the player data a run saved, read into data; null (the test told why) when
// the data is missing or holds another number of profiles.
const TUserProfile* SavedProfile(const TRun& run, CApplicationData& data) {
    runchecks::ReadSavedPlayerData(run.shots / "saves", data);
    if (::testing::Test::HasFatalFailure()) return nullptr;
    EXPECT_EQ(data.m_Profiles.count, 1);
    return data.m_Profiles.count == 1 ? data.m_Profiles.data[0] : nullptr;
}

// The arena's high-score table holds the player's score once it beats the table's lowest row,
// and not below it (the full default table takes no lower score).
void ExpectInTableIfItBeatsItsLast(const CApplicationData& data, const char* arena, int score) {
    const THighScoreTable* table = data.GetHighScoreTable(CommonString(arena));
    ASSERT_NE(table, nullptr) << arena;
    ASSERT_GT(table->GetCount(), 0) << arena;
    int own = -1;
    for (int i = 0; i < table->GetCount(); ++i)
        if (!table->m_IsDefault.data[i] && *table->m_Names.data[i] == CommonString("Ada")) own = i;
    const int lowest = table->m_Scores.data[table->GetCount() - 1];
    if (own < 0) {
        EXPECT_LE(score, lowest) << arena << ": a score that beats the table's last row is entered";
        return;
    }
    EXPECT_EQ(table->m_Scores.data[own], score) << arena;
    if (own > 0) {
        EXPECT_GE(table->m_Scores.data[own - 1], score) << arena << ": in its place";
    }
}

// ---------------------------------------------------------------------------------------------
// The first run, from an empty save folder.

// The first run's road. A new player meets the play screen with the arena hint over it and presses
// the first arena through it; the tutorial opens and is skipped by its Play button; the round is
// played by a few swipes, each a path drawn from a marble to another of its colour with no marble
// of another colour near the way (the run draws the same random numbers every time, so the marbles
// stand where the swipes expect them), and left alone until marbles of two colours meet; a press
// opens the statistics, which count up; Continue leads to the play screen, its back button to the
// start menu, which is left through the quit question.
struct TSwipe {
    int frame;
    int x0, y0, x1, y1;  // display pixels: the marble the path starts on, the marble it ends on
};
const TSwipe kSwipes[] = {
    {600, 577, 337, 577, 1073}, {880, 80, 615, 272, 922},     {940, 647, 466, 695, 812},
    {1075, 224, 232, 323, 587}, {1180, 514, 1085, 389, 1190}, {1225, 254, 765, 696, 1022},
    {1270, 614, 417, 684, 561}, {1390, 191, 946, 537, 1187},  {1450, 350, 301, 654, 805},
};
constexpr int kFirstMenu = 250, kFirstArena = 345, kTutorialSkip = 500, kGameOver = 2250;
constexpr double kTutorialPlay[] = {265, 21}, kStatsContinue[] = {275, 500};

std::string FirstRoad() {
    TScript s;
    s.Dump(70, "01_intro.png");
    s.Dump(120, "02_loading.png");
    s.Dump(175, "03_name_entry.png");
    s.text += programrun::FirstStartAsAda();  // "Ada", confirmed at frame 210
    s.Dump(kFirstMenu - 5, "04_start_menu.png");
    s.Tap(kFirstMenu, kMenuPlay[0], kMenuPlay[1]);
    s.Dump(kFirstArena - 5, "05_play_screen_hint.png");
    s.Tap(kFirstArena, kArena[0][0], kArena[0][1]);
    s.Dump(kTutorialSkip - 5, "06_tutorial.png");
    s.Tap(kTutorialSkip, kTutorialPlay[0], kTutorialPlay[1]);
    s.Dump(kSwipes[0].frame - 5, "07_round.png");
    for (const TSwipe& w : kSwipes) {
        // The path is drawn in twelve even steps.
        constexpr int kSteps = 12;
        const auto at = [&w](int k) {
            return std::to_string(w.x0 + (w.x1 - w.x0) * k / kSteps) + " " +
                   std::to_string(w.y0 + (w.y1 - w.y0) * k / kSteps);
        };
        s.Line(w.frame, "touch down " + at(0));
        for (int k = 1; k <= kSteps; ++k) s.Line(w.frame + k, "touch move " + at(k));
        s.Line(w.frame + kSteps + 1, "touch up " + at(kSteps));
    }
    s.Dump(kSwipes[0].frame + 40, "08_first_pop.png");
    s.Dump(kGameOver + 30, "09_game_over.png");
    s.Tap(kGameOver + 40, 160, 300);
    s.Dump(kGameOver + 80, "10_statistics_counting.png");
    s.Dump(kGameOver + 300, "11_statistics_counted.png");
    s.Tap(kGameOver + 310, kStatsContinue[0], kStatsContinue[1]);
    s.Dump(kGameOver + 380, "12_play_screen_again.png");
    s.Tap(kGameOver + 390, kPlayBack[0], kPlayBack[1]);
    s.Dump(kGameOver + 440, "13_back_at_the_menu.png");
    s.Tap(kGameOver + 445, kMenuQuit[0], kMenuQuit[1]);
    s.Dump(kGameOver + 475, "14_quit_question.png");
    s.Tap(kGameOver + 480, kQuitYes[0], kQuitYes[1]);
    s.Dump(kGameOver + 525, "never.png");
    return s.text;
}

void RunFirstRoadAndCheck(const std::string& displaySettings, const char* folder) {
    const TRun run = RunRoad(displaySettings, folder, FirstRoad(), {});
    ASSERT_EQ(run.status, 0) << run.output;
    ExpectNothingFailed(run.output);
    EXPECT_FALSE(fs::exists(run.shots / "never.png")) << "Yes on the quit question ends the game";

    using runchecks::TitleYellow;
    using runchecks::White;
    const TPixelCheck checks[] = {
        {"01_intro.png", 150, 560, 320, 720, runchecks::Teal, 500, 1 << 30, "the logo's teal drop"},
        {"02_loading.png", 280, 1220, 490, 1260, White, 40, 1 << 30, "\"Loading n%\" at the bottom"},
        {"03_name_entry.png", 90, 270, 680, 330, TitleYellow, 800, 1 << 30, "\"Enter your name\""},
        {"04_start_menu.png", 240, 1190, 530, 1230, White, 500, 1 << 30, "\"Welcome, Ada!\" on its plate"},
        Logical("05_play_screen_hint.png", 80, 238, 240, 270, White, 1500, 1 << 30,
                "the arena hint's \"Touch Arena Button to start playing\""),
        Logical("05_play_screen_hint.png", 40, 60, 280, 95, TitleYellow, 0, 200, "the screen dimmed behind the hint"),
        ArenaMiddle("05_play_screen_hint.png", 1, Ruby, 0, 20, "no ruby on the locked second arena"),
        Logical("06_tutorial.png", 220, 8, 312, 34, runchecks::Green, 800, 1 << 30, "the tutorial's Play button"),
        Logical("06_tutorial.png", 15, 270, 215, 360, White, 1500, 1 << 30, "its lesson's text"),
        Floor("07_round.png", Grass, "the first arena's grass"),
        Logical("07_round.png", 0, 0, 320, 533, Dark, 0, 20000, "nothing left black"),
        Logical("09_game_over.png", 60, 200, 260, 250, runchecks::Red, 800, 1 << 30, "\"Game Over\""),
        Logical("10_statistics_counting.png", 60, 15, 260, 45, TitleYellow, 1500, 1 << 30, "\"Round results\""),
        Logical("10_statistics_counting.png", 240, 485, 312, 515, runchecks::Green, 0, 200, "no Continue yet"),
        Logical("11_statistics_counted.png", 2, 50, 140, 66, runchecks::Green, 300, 1 << 30, "the round's score"),
        Logical("11_statistics_counted.png", 240, 485, 312, 515, runchecks::Green, 1000, 1 << 30, "Continue"),
        Logical("12_play_screen_again.png", 40, 60, 280, 95, TitleYellow, 1500, 1 << 30, "\"Choose an arena\""),
        ArenaMiddle("12_play_screen_again.png", 1, Padlock, 500, 1 << 30, "the second arena still locked"),
        {"13_back_at_the_menu.png", 240, 1190, 530, 1230, White, 500, 1 << 30, "the start menu again"},
        {"14_quit_question.png", 400, 685, 685, 765, runchecks::Red, 3000, 1 << 30, "the quit question's Yes"},
    };
    runchecks::ExpectPixels(run.shots, checks, 768, 1280, run.output);

    CApplicationData data;
    const TUserProfile* saved = SavedProfile(run, data);
    if (saved == nullptr) return;
    const TUserProfile& ada = *saved;
    EXPECT_EQ(ada.GetName(), "Ada");
    // The round the swipes scored in: its score the profile's best in the first arena and all it
    // has scored; a coin for each thousand points, and the coins its power-ups gave, are the coins
    // the profile holds; the high-score table takes it once it beats its last row.
    EXPECT_EQ(ada.m_RoundsPerArena[0], 1);
    int best = -1;
    ASSERT_TRUE(ada.GetMyScoreOnLevel(CommonString("arena1"), best)) << "the round ended";
    EXPECT_GT(best, 0) << "the swipes scored";
    EXPECT_EQ(best, ada.m_nTotalScore);
    EXPECT_EQ(ada.m_nCoins, ada.m_CoinsPerArena[0]);
    EXPECT_GE(ada.m_nCoins, best / 1000);
    ExpectInTableIfItBeatsItsLast(data, "arena1", best);
}

TEST(RoundRoad, HeadlessFromAnEmptySaveFolderThroughARoundAndBack) {
    RunFirstRoadAndCheck("-u DISPLAY COBBLE_DISPLAY=headless", "round-road");
}

TEST(RoundRoadX11, TheFirstRunInARealWindowUnderXvfb) {
    if (const char* why = programrun::WhyNoXvfbWindow()) GTEST_SKIP() << why;
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    RunFirstRoadAndCheck("COBBLE_DISPLAY=x11", "round-road-x11");
}

// ---------------------------------------------------------------------------------------------
// The second run, from player data with the second and third arenas unlocked.

// "Ada", who has seen every hint and has the tutorial off, with the three stars of the first yard
// and the first star of the second: the yards whose first star opens the second and third arena. Both arenas are listed
// as newly unlocked, so the play screen shows their unlocking on its first visit.
std::vector<std::uint8_t> ArenasUnlockedPlayerData() {
    CApplicationData data;
    data.SetDefaultApplicationData();
    const int i = data.AddUserProfile();
    data.SetUserName(i, CommonString("Ada"));
    data.m_nCurrentProfile = i;
    TUserProfile& ada = *data.m_Profiles.data[i];
    ada.m_bTutorialOn = false;
    for (bool& seen : ada.m_HintFlags) seen = true;
    ada.AddCompletedYardId(CommonString("yard1"), 3);
    ada.AddCompletedYardId(CommonString("yard2"), 1);
    for (const char* arena : {"arena2", "arena3"}) (void)ada.m_NewlyUnlockedLevels.AddOwned(new CommonString(arena));
    CMemoryFile out;
    EXPECT_EQ(out.Create(1 << 16), 1);
    EXPECT_EQ(data.Serialize(&out, true), 1);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    return {bytes, bytes + out.GetCurPos()};
}

// The frames the round takes to begin after its arena is pressed (the first time the group loader
// loads the round's pictures first), and a bound on the frames until two marbles of different
// colours meet when no path is drawn.
constexpr int kFirstRoundStarts = 150, kRoundStarts = 60, kUntilMarblesMeet = 700;
// The resume question's Continue, and a spot of the statistics' title (over the round, the head-up
// display's score plate, which takes no press).
constexpr double kResumeContinue[] = {160, 272}, kNeutral[] = {160, 30};

// A round entered from the play screen at frame f and left through the pause menu: the round's
// floor and the pause panel are dumped. The frame the play screen stands again.
int RoundLeftThroughThePauseMenu(TScript& s, int f, int arena, int starts, const char* roundDump,
                                 const char* pauseDump) {
    s.Tap(f, kArena[arena][0], kArena[arena][1]);
    f += starts + 40;
    s.Dump(f, roundDump);
    s.Tap(f + 5, kPause[0], kPause[1]);
    s.Dump(f + 40, pauseDump);
    s.Tap(f + 45, kPauseMenu[0], kPauseMenu[1]);
    return f + 110;
}

// A round from frame f, already begun, left alone until marbles of two colours meet; presses on a
// spot that is no button open the statistics once it is over, Continue leaves them. The
// statistics are dumped; the frame the play screen stands again.
int RoundPlayedToItsEnd(TScript& s, int f, const char* statsDump) {
    for (int k = 0; k < 8; ++k) s.Tap(f + kUntilMarblesMeet + 40 * k, kNeutral[0], kNeutral[1]);
    f += kUntilMarblesMeet + 8 * 40 + 260;
    s.Dump(f, statsDump);
    s.Tap(f + 5, kStatsContinue[0], kStatsContinue[1]);
    return f + 70;
}

std::string ArenasRoad() {
    TScript s;
    s.Tap(200, kMenuPlay[0], kMenuPlay[1]);
    s.Dump(260, "01_play_screen_unlocking.png");
    s.Dump(330, "02_play_screen_unlocked.png");
    int f = RoundLeftThroughThePauseMenu(s, 340, 2, kFirstRoundStarts, "03_arena3.png", "04_paused.png");
    s.Dump(f - 5, "05_back_on_the_play_screen.png");
    s.Tap(f, kArena[2][0], kArena[2][1]);
    s.Dump(f + 40, "06_resume_question.png");
    s.Tap(f + 45, kResumeContinue[0], kResumeContinue[1]);
    s.Dump(f + 45 + kRoundStarts, "07_arena3_resumed.png");
    f = RoundPlayedToItsEnd(s, f + 45 + kRoundStarts, "08_arena3_statistics.png");
    s.Dump(f - 5, "09_play_screen.png");
    s.Tap(f, kArena[1][0], kArena[1][1]);
    s.Dump(f + kRoundStarts + 40, "10_arena2.png");
    f = RoundPlayedToItsEnd(s, f + kRoundStarts, "11_arena2_statistics.png");
    s.Tap(f, kArena[0][0], kArena[0][1]);
    s.Dump(f + kRoundStarts + 40, "12_arena1.png");
    f = RoundPlayedToItsEnd(s, f + kRoundStarts, "13_arena1_statistics.png");
    s.Dump(f - 5, "14_play_screen_at_the_end.png");
    s.Line(f, "nav exit");
    return s.text;
}

TEST(RoundRoad, ARoundInEachArenaAfterTheyWereUnlocked) {
    const TRun run =
        RunRoad("-u DISPLAY COBBLE_DISPLAY=headless", "round-road-arenas", ArenasRoad(), ArenasUnlockedPlayerData());
    ASSERT_EQ(run.status, 0) << run.output;
    ExpectNothingFailed(run.output);

    using runchecks::TitleYellow;
    const TPixelCheck checks[] = {
        ArenaMiddle("01_play_screen_unlocking.png", 1, Padlock, 500, 1 << 30, "the second arena's padlock, going"),
        ArenaMiddle("01_play_screen_unlocking.png", 2, Padlock, 500, 1 << 30, "the third arena's padlock, going"),
        ArenaMiddle("02_play_screen_unlocked.png", 1, Padlock, 0, 20, "no padlock left on the second arena"),
        ArenaMiddle("02_play_screen_unlocked.png", 2, Padlock, 0, 20, "nor on the third"),
        ArenaMiddle("02_play_screen_unlocked.png", 1, Ruby, 300, 1 << 30, "the second arena's ruby"),
        ArenaMiddle("02_play_screen_unlocked.png", 2, Diamond, 300, 1 << 30, "the third arena's diamond"),
        Floor("03_arena3.png", VioletStone, "the third arena's blue-violet stone"),
        Logical("04_paused.png", 110, 145, 210, 175, TitleYellow, 400, 1 << 30, "\"Paused\""),
        Logical("04_paused.png", 112, 340, 208, 368, runchecks::Red, 1500, 1 << 30, "the pause panel's Menu"),
        Logical("05_back_on_the_play_screen.png", 40, 60, 280, 95, TitleYellow, 1500, 1 << 30, "\"Choose an arena\""),
        Logical("06_resume_question.png", 100, 255, 220, 290, runchecks::Green, 1500, 1 << 30,
                "the resume question's Continue"),
        Floor("07_arena3_resumed.png", VioletStone, "the third arena's round resumed"),
        Logical("08_arena3_statistics.png", 60, 15, 260, 45, TitleYellow, 1500, 1 << 30, "\"Round results\""),
        Logical("08_arena3_statistics.png", 240, 485, 312, 515, runchecks::Green, 1000, 1 << 30, "their Continue"),
        Logical("09_play_screen.png", 40, 60, 280, 95, TitleYellow, 1500, 1 << 30, "the play screen after the round"),
        Floor("10_arena2.png", Sandstone, "the second arena's red sandstone"),
        Logical("11_arena2_statistics.png", 60, 15, 260, 45, TitleYellow, 1500, 1 << 30, "\"Round results\""),
        Floor("12_arena1.png", Grass, "the first arena's grass"),
        Logical("12_arena1.png", 0, 0, 320, 533, Dark, 0, 20000, "nothing left black on the field"),
        Logical("13_arena1_statistics.png", 60, 15, 260, 45, TitleYellow, 1500, 1 << 30, "\"Round results\""),
        Logical("14_play_screen_at_the_end.png", 40, 60, 280, 95, TitleYellow, 1500, 1 << 30,
                "the play screen after the last round"),
    };
    runchecks::ExpectPixels(run.shots, checks, 768, 1280, run.output);

    CApplicationData data;
    const TUserProfile* saved = SavedProfile(run, data);
    if (saved == nullptr) return;
    const TUserProfile& ada = *saved;
    EXPECT_EQ(ada.m_NewlyUnlockedLevels.count, 0) << "the unlocking is shown once";
    // One round started in each arena: the third arena's was resumed, not started again.
    for (int arena = 0; arena < 3; ++arena) EXPECT_EQ(ada.m_RoundsPerArena[arena], 1) << "arena " << arena + 1;
    EXPECT_EQ(ada.m_nRoundsStarted, 3);
    // Each round ended: its score is the profile's best in its arena, and the three make all the
    // profile has scored; the coins it has are those the arenas earned.
    int total = 0;
    for (const char* arena : {"arena1", "arena2", "arena3"}) {
        int best = -1;
        EXPECT_TRUE(ada.GetMyScoreOnLevel(CommonString(arena), best)) << arena << ": its round ended";
        total += best;
        ExpectInTableIfItBeatsItsLast(data, arena, best);
    }
    EXPECT_EQ(total, ada.m_nTotalScore);
    EXPECT_EQ(ada.m_nCoins, ada.m_CoinsPerArena[0] + ada.m_CoinsPerArena[1] + ada.m_CoinsPerArena[2]);
    // A finished round leaves no record to resume (a kept round's record holds its marbles, far
    // more than the file's few bytes without any).
    EXPECT_FALSE(fs::exists(run.shots / "saves" / "saveresume.dat") &&
                 fs::file_size(run.shots / "saves" / "saveresume.dat") > 64)
        << "a record is left after every round ended";
}

}  // namespace
