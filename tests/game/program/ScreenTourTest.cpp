// The screen tour: the real program, headless with the real pak, the virtual clock and an input
// script, visits every root record of the template, the start-up loader, and every dialog an
// action of the template creates. The list of stops is read from the template in the built pak
// (every root, every create step), so a record the tour does not visit fails it. On every stop
// the back key is pressed and what it did is held against the game's back-key table. The run must
// end through the quit question with status 0, no screen or widget may fail to build on the way,
// and the game's finished flag must never be raised. Each stop's picture is checked at a few
// places, and all of them are put together on one contact sheet.
//
// The same tour runs in a real X window under xvfb-run (ctest's game_program_x11).
//
// The pictures and the sheet stay in build/<preset>/screens/screen-tour/ (and screen-tour-x11/).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../news/NewsCacheBytes.h"
#include "ProgramRun.h"
#include "ScreenTour.h"
#include "core/CommonString.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/ImageFixtures.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"
#include "ui/Template.h"
#include "ui/TemplateReader.h"

// The stops are written with designated initializers: what a stop leaves out keeps its default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace programrun;
using screentour::EBack;
using screentour::TLook;
using screentour::TStop;
using screentour::TTour;

// ---------------------------------------------------------------- the stops the template asks for

// The template the program runs, read out of the built pak by Python's zip reader.
std::string TemplateText() {
    int status = -1;
    const std::string text = RunCommand(
        "python3 -c \"import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read("
        "'ui\\\\\\\\ui_iphone\\\\\\\\ui_main.txt').decode('latin-1'))\" '" +
            BuiltPak().string() + "'",
        &status);
    EXPECT_EQ(status, 0) << "the template cannot be read out of " << BuiltPak();
    return text;
}

// Every root record and every record a create step of an action names: the stops of the tour,
// with the start-up loader, which has no record.
std::set<std::string> StopsOfTheTemplate(const std::string& text) {
    std::set<std::string> stops = {"loader"};
    CTemplateReader reader;
    TTemplate* templ = reader.ReadTemplateFromBytes(std::span<const char>(text.data(), text.size()), "ui_main.txt");
    if (templ == nullptr) {
        ADD_FAILURE() << "the template does not read";
        return stops;
    }
    for (int i = 0; i < templ->widgets.count; ++i)
        if (templ->widgets.data[i]->kind == kWidgetRoot) stops.insert(templ->widgets.data[i]->name.GetDataConst());
    for (int i = 0; i < templ->actions.count; ++i) {
        const TAction* action = templ->actions.data[i];
        for (int k = 0; k < action->steps.count; ++k)
            if (action->steps.data[k]->type == kStepCreate) stops.insert(action->steps.data[k]->name.GetDataConst());
    }
    delete templ;
    return stops;
}

// ---------------------------------------------------------------- colours

bool Yellow(const std::vector<int>& p) { return p[0] > 200 && p[1] > 170 && p[2] < 90; }
bool PureYellow(const std::vector<int>& p) { return p[0] > 240 && p[1] > 240 && p[2] < 30; }
bool Light(const std::vector<int>& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }
bool GreenButton(const std::vector<int>& p) { return p[1] > 150 && p[0] < 150 && p[2] < 100; }
bool RedButton(const std::vector<int>& p) { return p[0] > 180 && p[1] < 100 && p[2] < 100; }
bool BlueButton(const std::vector<int>& p) { return p[2] > 180 && p[0] < 120; }
bool Teal(const std::vector<int>& p) { return p[0] < 120 && p[1] > 120 && p[2] > 120; }
bool SkyBlue(const std::vector<int>& p) { return p[2] > 150 && p[2] > p[0] + 40; }
bool Orange(const std::vector<int>& p) { return p[0] > 200 && p[1] > 110 && p[1] < 170 && p[2] < 80; }
// The wood of the menu's round icon buttons.
bool Wood(const std::vector<int>& p) {
    return p[0] >= 50 && p[0] <= 170 && p[0] > p[1] + 25 && p[1] > p[2] && p[2] < 90;
}

constexpr int kMany = 1 << 30;

// A title in the game's yellow over the rectangle, and a button's colour over another.
TLook Title(double x0, double y0, double x1, double y1, const char* what) {
    return {x0, y0, x1, y1, Yellow, 600, kMany, what};
}
TLook Button(double x0, double y0, double x1, double y1, bool (*test)(const std::vector<int>&), const char* what,
             int atLeast = 1500) {
    return {x0, y0, x1, y1, test, atLeast, kMany, what};
}

// ---------------------------------------------------------------- the route

// Where things stand on the screen, in logical pixels.
namespace at {
constexpr double kOptions[] = {294, 24}, kPlate[] = {160, 511}, kStats[] = {56, 470}, kNews[] = {238, 19};
constexpr double kQuests[] = {56, 430}, kScores[] = {160, 430}, kAwards[] = {264, 430}, kPlay[] = {160, 379};
constexpr double kQuitNo[] = {94, 302};
constexpr double kLanguage[] = {90, 314}, kCredits[] = {230, 314};
constexpr double kEdit1[] = {238, 164}, kDelete1[] = {276, 164}, kNameOk[] = {230, 390};
constexpr double kQuestRowX = 160, kQuestRowY[] = {132, 204, 276, 348};
constexpr double kArena1[] = {58, 142}, kArena2[] = {160, 142}, kArena3[] = {262, 142};
constexpr double kYard1[] = {43, 290}, kYard2[] = {121, 290}, kCoinShop[] = {260, 22}, kBoosts[] = {74, 489};
constexpr double kPouch[] = {216, 173};
constexpr double kBoostsReset[] = {160, 512}, kBoostsMore[] = {264, 512};
constexpr double kYardBuy[] = {100, 24}, kSell[] = {290, 505}, kPlantsTab[] = {97, 69}, kFirstRowBuy[] = {217, 210};
constexpr double kYes[] = {226, 380};
constexpr double kPauseSound[] = {160, 258}, kSoundOk[] = {160, 342};
constexpr double kDaisies[] = {242, 298};
constexpr double kResumeNew[] = {160, 322}, kTutorialBack[] = {26, 22};
constexpr double kReviewStar[] = {294, 471}, kReviewNo[] = {94, 310}, kReviewYes[] = {226, 310};
}  // namespace at

// Frames a round left alone runs before it is over (the field fills up).
constexpr int kRoundOverFrames = 900;

const char* const kMenu = "root_START_MENU dlg_StartMenuRoot";
const char* const kQuestsScreen = "root_quests dlg_quests_tab_control dlg_quests_scroll";
const char* const kShopScreen = "root_buy dlg_buy_tab_control dlg_buy_scroll_items";

// The whole visit. Legs whose stop the template lacks are left out (`has`).
TTour Route(const std::set<std::string>& records, double height, double scale) {
    const auto has = [&](const char* id) { return records.count(id) > 0; };
    TTour t;
    t.height = height;
    t.scale = scale;
    // The start-up loader, which ignores the back key, and the start menu.
    t.f = 70;
    t.Stop({.id = "loader",
            .state = "loader",
            .back = EBack::Stays,
            .looks = {{62, 233, 133, 300, Teal, 200, kMany, "the logo's teal drop"}},
            .dark = true},
           180);
    t.Stop({.id = "root_START_MENU",
            .state = kMenu,
            .after = std::string(kMenu) + " dlg_QuitConfirm",
            .looks = {{0, 0, 320, 120, SkyBlue, 20000, kMany, "the sky over the menu"},
                      Button(60, 353, 260, 405, GreenButton, "Play"),
                      Button(8, 413, 104, 447, BlueButton, "Quests, shown"),
                      Button(112, 413, 208, 447, BlueButton, "Scores, shown"),
                      Button(216, 413, 312, 447, BlueButton, "Awards, shown"),
                      {104, 493, 216, 514, Light, 300, kMany, "\"Welcome, Ada!\""},
                      {272, 451, 316, 491, Wood, 0, 60, "no review star before the fifth round"}}},
           30);
    // The back key asked the quit question; No leaves it (its back key ends the tour).
    t.TapMid(at::kQuitNo[0], at::kQuitNo[1], 40);

    // The start menu's dialogs.
    t.Tap(at::kOptions[0], at::kOptions[1], 35);
    t.Stop({.id = "dlg_options",
            .state = "root_START_MENU dlg_options",
            .after = kMenu,
            .looks = {Title(103, 102, 217, 136, "\"Options\"")}},
           40);
    t.Tap(at::kOptions[0], at::kOptions[1], 35);
    t.TapMid(at::kLanguage[0], at::kLanguage[1], 35);
    t.Stop({.id = "dlg_lang",
            .state = "root_START_MENU dlg_lang",
            .after = "root_START_MENU dlg_options",
            .looks = {Title(87, 150, 234, 184, "\"Language\"")}},
           40);
    t.Back(40);  // the options again, back to the menu
    t.TapBottom(at::kPlate[0], at::kPlate[1], 35);
    t.Stop({.id = "dlg_Players",
            .state = "root_START_MENU dlg_Players",
            .after = kMenu,
            .looks = {Title(106, 114, 215, 148, "\"Players\""),
                      {21, 147, 217, 181, PureYellow, 3000, kMany, "Ada's row, highlighted"}}},
           40);
    t.TapBottom(at::kPlate[0], at::kPlate[1], 35);
    t.TapMid(at::kDelete1[0], at::kDelete1[1], 35);
    t.Stop({.id = "dlg_remove_user",
            .state = "root_START_MENU dlg_remove_user",
            .after = "root_START_MENU dlg_Players",
            .looks = {{141, 204, 180, 228, Light, 150, kMany, "\"Ada\" to be removed"}}},
           40);
    t.TapMid(at::kEdit1[0], at::kEdit1[1], 35);
    // The back key on the name takes its last letter; OK keeps the rest.
    t.Stop({.id = "dlg_EnterName",
            .state = "root_START_MENU dlg_EnterName",
            .back = EBack::Stays,
            .looks = {Title(38, 124, 283, 158, "\"Enter your name\""),
                      {132, 154, 189, 188, Light, 200, kMany, "\"Ada\" being edited"}}},
           30);
    t.TapMid(at::kNameOk[0], at::kNameOk[1], 40);  // back to the players
    t.Back(40);
    t.TapBottom(at::kStats[0], at::kStats[1], 35);
    t.Stop({.id = "dlg_stats",
            .state = "root_START_MENU dlg_stats",
            .after = kMenu,
            .looks = {Title(92, 98, 228, 132, "\"Statistics\"")}},
           40);
    if (has("dlg_news")) {
        t.Tap(at::kNews[0], at::kNews[1], 35);
        t.Stop({.id = "dlg_news",
                .state = "root_START_MENU dlg_news",
                .after = kMenu,
                .looks = {Title(121, 104, 200, 129, "\"News\""),
                          {100, 184, 220, 264, Orange, 15000, kMany, "the news item's picture"}}},
               40);
    }
    t.Tap(at::kOptions[0], at::kOptions[1], 35);
    t.TapMid(at::kCredits[0], at::kCredits[1], 80);
    t.Stop(
        {.id = "root_about", .state = "root_about", .after = kMenu, .looks = {Title(100, 8, 220, 50, "\"Credits\"")}},
        80);

    // The two score screens and the quests, from the menu.
    t.TapBottom(at::kAwards[0], at::kAwards[1], 80);
    t.Stop({.id = "root_ach",
            .state = "root_ach dlg_ach_scroll",
            .after = kMenu,
            .looks = {Title(106, 8, 215, 42, "\"Awards\""), Button(98, 485, 222, 525, GreenButton, "OK")}},
           80);
    t.TapBottom(at::kScores[0], at::kScores[1], 80);
    t.Stop({.id = "root_leaders",
            .state = "root_leaders dlg_leader_tab_control dlg_leader_scroll",
            .after = kMenu,
            .looks = {Title(75, 8, 246, 42, "\"High scores\""), Button(98, 485, 222, 525, GreenButton, "OK")}},
           80);
    t.TapBottom(at::kQuests[0], at::kQuests[1], 80);
    t.Stop({.id = "root_quests",
            .state = kQuestsScreen,
            .after = kMenu,
            .looks = {Title(56, 10, 228, 44, "\"Mini-quests\"")}},
           80);
    // Back there for its dialogs: a completed quest explains its reward (eggs, coins), an open
    // one offers its next object, or says it cannot be afforded.
    t.TapBottom(at::kQuests[0], at::kQuests[1], 80);
    const struct {
        int row;
        const char* id;
        std::vector<TLook> looks;
    } questDialogs[] = {
        {0,
         "dlg_quest_explain_eggs",
         {Title(70, 166, 251, 200, "\"Score bonus\""), Button(98, 322, 222, 362, GreenButton, "OK")}},
        {2,
         "dlg_quest_explain_coins",
         {Title(79, 166, 242, 200, "\"Coin bonus\""), {148, 202, 172, 226, Yellow, 150, kMany, "a coin"}}},
        {1,
         "dlg_confirm_buy",
         {Title(58, 126, 262, 160, "\"Water Trough\""), Button(164, 360, 288, 400, GreenButton, "Yes")}},
        {3, "dlg_cant_buy", {Title(80, 110, 240, 144, "\"Apple Tree\""), Button(98, 378, 222, 418, GreenButton, "OK")}},
    };
    for (const auto& q : questDialogs) {
        if (!has(q.id)) continue;
        t.Tap(at::kQuestRowX, at::kQuestRowY[q.row], 35);
        t.Stop({.id = q.id, .state = std::string(kQuestsScreen) + " " + q.id, .after = kQuestsScreen, .looks = q.looks},
               40);
    }
    t.Back(80);

    // The play screen and what opens over it.
    t.TapBottom(at::kPlay[0], at::kPlay[1], 80);
    t.Stop({.id = "root_play",
            .state = "root_play",
            .after = kMenu,
            .looks = {Title(37, 48, 283, 82, "\"Choose an arena\""), Button(12, 469, 136, 509, BlueButton, "Boosts")}},
           80);
    t.TapBottom(at::kPlay[0], at::kPlay[1], 80);
    t.Tap(at::kArena3[0], at::kArena3[1], 35);
    t.Stop({.id = "dlg_msg_arena_locked",
            .state = "root_play dlg_msg_arena_locked",
            .after = "root_play",
            .looks = {Title(108, 156, 212, 190, "\"Locked\"")}},
           40);
    t.Tap(at::kYard2[0], at::kYard2[1], 35);
    t.Stop({.id = "dlg_msg_yard_locked",
            .state = "root_play dlg_msg_yard_locked",
            .after = "root_play",
            .looks = {Title(108, 156, 212, 190, "\"Locked\"")}},
           40);
    t.Tap(at::kCoinShop[0], at::kCoinShop[1], 40);
    // A purchase waits for the payment service (its answer is held back by the run's settings):
    // the wait dialog ignores the back key; the purchase is then cancelled.
    t.Line(t.f - 5, "pay next cancel");
    t.Tap(at::kPouch[0], at::kPouch[1], 10);
    t.Stop({.id = "dlg_InAppWait",
            .state = "root_play dlg_addcoins dlg_InAppWait",
            .back = EBack::Stays,
            .looks = {{60, 240, 260, 270, Light, 300, kMany, "\"Contacting the store...\""}},
            .dark = true},
           80);
    t.Stop({.id = "dlg_addcoins",
            .state = "root_play dlg_addcoins",
            .after = "root_play",
            .looks = {{125, 79, 270, 94, Light, 400, kMany, "\"Pouch of coins\""}}},
           40);

    // The boosts and their two questions.
    t.TapBottom(at::kBoosts[0], at::kBoosts[1], 80);
    t.Stop({.id = "root_upgrades",
            .state = "root_upgrades dlg_upgrades_scroll",
            .after = "root_play",
            .looks = {Title(111, 12, 209, 46, "\"Boosts\"")}},
           80);
    t.TapBottom(at::kBoosts[0], at::kBoosts[1], 80);
    t.TapBottom(at::kBoostsReset[0], at::kBoostsReset[1], 35);
    t.Stop({.id = "dlg_reset_upgrades",
            .state = "root_upgrades dlg_upgrades_scroll dlg_reset_upgrades",
            .after = "root_upgrades dlg_upgrades_scroll",
            .looks = {Button(32, 306, 156, 346, BlueButton, "No"), Button(164, 306, 288, 346, RedButton, "Reset")}},
           40);
    t.TapBottom(at::kBoostsMore[0], at::kBoostsMore[1], 35);
    t.Stop({.id = "dlg_upgrade_coins_add",
            .state = "root_upgrades dlg_upgrades_scroll dlg_upgrade_coins_add",
            .after = "root_upgrades dlg_upgrades_scroll",
            .looks = {Title(60, 150, 260, 200, "\"Boost points\"")}},
           40);
    t.Back(80);  // to the play screen

    // The farm: the group loader on the way in (which ignores the back key), the yard, the shop
    // and its confirmation, a purchase, and the sale's question.
    t.Tap(at::kYard1[0], at::kYard1[1], 40);
    t.Stop({.id = "root_screen_loader",
            .state = "root_screen_loader",
            .back = EBack::Stays,
            .afterDelay = 4,
            .looks = {Title(55, 260, 266, 294, "\"Loading the farm\"")}},
           80);
    t.Stop({.id = "root_yard",
            .state = "root_yard",
            .after = "root_play",
            .looks = {Button(52, 4, 148, 44, GreenButton, "Buy")}},
           80);
    t.Tap(at::kYard1[0], at::kYard1[1], 100);
    t.Tap(at::kYardBuy[0], at::kYardBuy[1], 80);
    t.Stop({.id = "root_buy",
            .state = kShopScreen,
            .after = "root_yard",
            .looks = {{124, 112, 190, 132, Light, 150, kMany, "\"Hen\" on the first row"},
                      {130, 194, 300, 226, Teal, 3000, kMany, "its Buy button"}}},
           80);
    t.Tap(at::kYardBuy[0], at::kYardBuy[1], 80);
    t.Tap(at::kPlantsTab[0], at::kPlantsTab[1], 30);
    t.Tap(at::kFirstRowBuy[0], at::kFirstRowBuy[1], 35);
    t.Stop({.id = "dlg_confirm_buy",
            .state = std::string(kShopScreen) + " dlg_confirm_buy",
            .after = kShopScreen,
            .looks = {Button(164, 360, 288, 400, GreenButton, "Yes")}},
           40);
    t.Tap(at::kFirstRowBuy[0], at::kFirstRowBuy[1], 35);
    t.TapMid(at::kYes[0], at::kYes[1], 100);  // the daisies, placed in the yard
    t.TapBottom(at::kDaisies[0], at::kDaisies[1], 20);  // the yard stands on the bottom edge
    t.TapBottom(at::kSell[0], at::kSell[1], 35);
    t.Stop({.id = "dlg_confirm_sell",
            .state = "root_yard dlg_confirm_sell",
            .after = "root_yard",
            .looks = {Button(164, 360, 288, 400, GreenButton, "Yes")}},
           40);
    t.Back(80);  // to the play screen

    // A round in the second arena: the back key pauses it; the sound settings over the pause,
    // which ignore the back key; the pause's own back key leaves for the play screen and keeps
    // the round, which the arena then offers to resume.
    t.Tap(at::kArena2[0], at::kArena2[1], 250);
    t.Stop({.id = "root_GAMEPLAY_NoAds",
            .state = "root_GAMEPLAY_NoAds",
            .after = "root_GAMEPLAY_NoAds dlg_pause",
            .looks = {Button(4, 10, 48, 50, Light, "the pause button", 100),
                      Button(283, 8, 308, 31, RedButton, "the lives' heart", 100)}},
           40);
    t.TapMid(at::kPauseSound[0], at::kPauseSound[1], 35);
    t.Stop({.id = "dlg_pause_sound",
            .state = "root_GAMEPLAY_NoAds dlg_pause_sound",
            .back = EBack::Stays,
            .looks = {Title(113, 166, 207, 200, "\"Sound\""), Button(98, 322, 222, 362, GreenButton, "OK")}},
           30);
    t.TapMid(at::kSoundOk[0], at::kSoundOk[1], 35);
    t.Stop({.id = "dlg_pause",
            .state = "root_GAMEPLAY_NoAds dlg_pause",
            .after = "root_play",
            .looks = {Title(106, 150, 214, 184, "\"Paused\""), Button(98, 334, 222, 374, RedButton, "Menu")}},
           80);
    t.Tap(at::kArena2[0], at::kArena2[1], 35);
    t.Stop({.id = "dlg_resume",
            .state = "root_play dlg_resume",
            .after = "root_play",
            .looks = {{67, 195, 253, 235, Light, 500, kMany, "\"Continue your last round?\""},
                      Button(100, 254, 219, 287, GreenButton, "Continue"),
                      Button(100, 304, 219, 337, BlueButton, "New round")}},
           40);

    // A new round in place of the kept one, played by nobody until the field fills up and the
    // round is over; the back key then opens its statistics, whose own back key leaves for the
    // play screen.
    if (has("dlg_level_failed2")) {
        t.Tap(at::kArena2[0], at::kArena2[1], 35);
        t.TapMid(at::kResumeNew[0], at::kResumeNew[1], kRoundOverFrames);
        t.Back(150);
        t.Stop(
            {.id = "dlg_level_failed2",
             .state = "root_GAMEPLAY_NoAds dlg_level_failed2",
             .after = "root_play",
             .looks = {Title(58, 19, 262, 44, "\"Round results\""), Button(6, 486, 77, 513, BlueButton, "Farm", 800)}},
            80);
    }
    // The tutorial opens for the first arena while the player has it on; it ignores the back key,
    // and its own back button leaves for the play screen.
    if (has("root_tutorial_NoAds")) {
        t.Tap(at::kArena1[0], at::kArena1[1], 100);
        t.Stop({.id = "root_tutorial_NoAds",
                .state = "root_tutorial_NoAds",
                .back = EBack::Stays,
                .looks = {Button(219, 4, 312, 37, GreenButton, "Play!")}},
               30);
        t.Tap(at::kTutorialBack[0], at::kTutorialBack[1], 80);
    }

    t.Back(70);  // back on the start menu

    // Five rounds started: the star asks for a review. The back key closes the question, and so
    // do No and Yes, which opens the game's store page first.
    if (has("dlg_review")) {
        t.Stop({.id = "root_START_MENU",
                .state = kMenu,
                .after = std::string(kMenu) + " dlg_QuitConfirm",
                .looks = {{272, 451, 316, 491, Wood, 600, kMany, "the review star, from the fifth round"}}},
               30);
        t.TapMid(at::kQuitNo[0], at::kQuitNo[1], 40);
        t.TapBottom(at::kReviewStar[0], at::kReviewStar[1], 35);
        t.Stop({.id = "dlg_review",
                .state = "root_START_MENU dlg_review",
                .after = kMenu,
                .looks = {{40, 200, 280, 224, Light, 600, kMany, "\"Enjoying Cobblebrooks?\""},
                          Button(32, 290, 156, 330, BlueButton, "No"),
                          Button(164, 290, 288, 330, GreenButton, "Rate it")}},
               40);
        t.Expect(kMenu);
        t.TapBottom(at::kReviewStar[0], at::kReviewStar[1], 35);
        t.Expect("root_START_MENU dlg_review");
        t.TapMid(at::kReviewNo[0], at::kReviewNo[1], 40);
        t.Expect(kMenu);
        t.TapBottom(at::kReviewStar[0], at::kReviewStar[1], 35);
        t.Expect("root_START_MENU dlg_review");
        t.TapMid(at::kReviewYes[0], at::kReviewYes[1], 40);
        t.Expect(kMenu);
    }
    return t;
}

// ---------------------------------------------------------------- the watcher's report

struct TReport {
    std::map<int, std::string> states;  // from each frame on
    std::vector<std::string> failedWidgets;
    bool ended = false;
    int endFrame = -1;
    int finished = -1, finishCode = -1;

    std::string StateAt(int frame) const {
        auto it = states.upper_bound(frame);
        if (it == states.begin()) return "(before the first frame)";
        return std::prev(it)->second;
    }
    // Every screen and dialog that stood at some frame.
    std::set<std::string> Seen() const {
        std::set<std::string> seen;
        for (const auto& [frame, state] : states) {
            std::istringstream words(state);
            std::string word;
            while (words >> word) seen.insert(word);
        }
        return seen;
    }
};

TReport ReadReport(const std::string& output) {
    TReport r;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("tour: ", 0) != 0) continue;
        std::istringstream words(line.substr(6));
        std::string first;
        words >> first;
        if (first == "end") {
            std::string word;
            words >> r.endFrame >> word >> r.finished >> r.finishCode;
            r.ended = true;
            continue;
        }
        const int frame = std::atoi(first.c_str());
        std::string rest;
        std::getline(words, rest);
        if (rest.size() > 1) rest.erase(0, 1);
        if (rest.rfind("widget ", 0) == 0) {
            r.failedWidgets.push_back(rest);
            continue;
        }
        r.states[frame] = rest;
    }
    return r;
}

// The pixels of a picture that are black, or all of them when it cannot be read.
int DarkPixels(const fs::path& picture) {
    const TPngPixels png = ReadPngFile(picture.string());
    if (!png.ok) return 1 << 30;
    int n = 0;
    for (std::size_t i = 0; i + 3 < png.rgba.size(); i += 4)
        n += png.rgba[i] < 16 && png.rgba[i + 1] < 16 && png.rgba[i + 2] < 16 ? 1 : 0;
    return n;
}

// ---------------------------------------------------------------- the contact sheet

// Every stop's picture at a quarter of its size, in rows of eight, in the order of the tour, on a
// dark ground; a missing picture leaves its place dark. Written as one PNG.
void WriteContactSheet(const fs::path& folder, const std::vector<TStop>& stops, const fs::path& sheet, int displayWidth,
                       int displayHeight) {
    constexpr int kCols = 8, kGap = 8;
    const int kW = displayWidth / 4, kH = displayHeight / 4;
    const int rows = (static_cast<int>(stops.size()) + kCols - 1) / kCols;
    const int width = kCols * (kW + kGap) + kGap, height = rows * (kH + kGap) + kGap;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4, 40);
    for (std::size_t i = 0; i < rgba.size(); i += 4) rgba[i + 3] = 255;
    for (std::size_t n = 0; n < stops.size(); ++n) {
        const TPngPixels png = ReadPngFile((folder / stops[n].dump).string());
        if (!png.ok) continue;
        const int ox = kGap + static_cast<int>(n % kCols) * (kW + kGap);
        const int oy = kGap + static_cast<int>(n / kCols) * (kH + kGap);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                // The mean of the 4 x 4 block the tile's pixel stands for.
                int sum[3] = {0, 0, 0};
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx) {
                        const int px = std::min(png.width - 1, x * 4 + dx), py = std::min(png.height - 1, y * 4 + dy);
                        const std::uint8_t* p = &png.rgba[(static_cast<std::size_t>(py) * png.width + px) * 4];
                        for (int c = 0; c < 3; ++c) sum[c] += p[c];
                    }
                std::uint8_t* out = &rgba[(static_cast<std::size_t>(oy + y) * width + ox + x) * 4];
                for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(sum[c] / 16);
            }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    EXPECT_NE(png_image_write_to_file(&image, sheet.string().c_str(), 0, rgba.data(), 0, nullptr), 0)
        << "the contact sheet cannot be written to " << sheet;
}

// ---------------------------------------------------------------- the run

// The save folder the tour starts from: the player data, and a news cache of today with one
// item (so the news button shows and nothing is fetched).
void PrepareSaves(const fs::path& saves) {
    WriteSeededPlayer(saves, screentour::SeedAda);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CCacheBytes cache;
    cache.Int(1).Int(local.tm_year + 1900).Int(local.tm_mon + 1).Int(local.tm_mday).Int(1);
    cache.Item(1, "www.example.org/spring-fair", 0, "news_1_0.jpg");
    WriteBytes((saves / "news.fed").string(), cache.bytes);
    WriteFile((saves / "news_1_0.jpg").string(), MakeSolidJpeg(120, 80, 230, 140, 40));
}

// The tour on a display of that size (portrait, 320 logical pixels wide). On the default display
// every stop's looks are checked too; on another one the states, the back keys and that no stop is
// a black screen, and its pictures are there to be looked at.
void RunTourAndCheck(const std::string& displaySettings, const char* folderName, int displayWidth = 768,
                     int displayHeight = 1280) {
    const double logicalHeight = displayHeight * 320 / displayWidth;
    const double scale = displayWidth / 320.0;
    const bool routeDisplay = logicalHeight == screentour::kRouteHeight;
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / folderName;
    fs::remove_all(shots);
    fs::create_directories(shots);
    PrepareSaves(shots / "saves");
    if (::testing::Test::HasFatalFailure()) return;

    const std::set<std::string> records = StopsOfTheTemplate(TemplateText());
    TTour tour = Route(records, logicalHeight, scale);
    // The tour closes where it began: the quit question, whose back key leaves the game.
    tour.Back(35);
    tour.Stop({.id = "dlg_QuitConfirm",
               .state = std::string(kMenu) + " dlg_QuitConfirm",
               .back = EBack::Leaves,
               .looks = {Button(164, 282, 288, 322, RedButton, "Yes")}},
              100);
    tour.Line(tour.f, "dump never.png");
    std::ofstream(shots / "tour.script") << tour.text;

    int status = -1;
    const std::string output =
        RunCommand("timeout 840 env " + displaySettings + " COBBLE_DISPLAY_SIZE=" + std::to_string(displayWidth) + "x" +
                       std::to_string(displayHeight) +
                       " COBBLE_CLOCK=virtual COBBLE_SOUND=null COBBLE_PAY_DELAY=60 "
                       "COBBLE_FRAMES=" +
                       std::to_string(tour.f + 500) + " COBBLE_SCRIPT='" + (shots / "tour.script").string() +
                       "' COBBLE_DUMP_DIR='" + shots.string() + "' COBBLE_SAVE_DIR='" + (shots / "saves").string() +
                       "' '" + COBBLE_TOUR_PATH "' 2>&1",
                   &status);
    std::ofstream(shots / "tour.log") << output;
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("could not be opened"), std::string::npos) << output;
    EXPECT_EQ(output.find("loading step"), std::string::npos) << output;
    const TReport report = ReadReport(output);
    EXPECT_TRUE(report.failedWidgets.empty()) << "a widget failed its set-up:\n" << output;
    ASSERT_TRUE(report.ended) << output;
    EXPECT_EQ(report.finished, 0) << "the finished flag was raised, code " << report.finishCode;

    // Every record of the template was a stop of the tour, and stood on the screen.
    std::set<std::string> visited;
    for (const TStop& stop : tour.stops) visited.insert(stop.id);
    const std::set<std::string> seen = report.Seen();
    for (const std::string& record : records) {
        EXPECT_TRUE(visited.count(record) > 0) << record << " is no stop of the tour";
        EXPECT_TRUE(seen.count(record) > 0) << record << " never stood on the screen";
    }

    // Each stop stood when it was dumped, and the back key did there what the table says.
    for (const TStop& stop : tour.stops) {
        SCOPED_TRACE(stop.dump);
        EXPECT_EQ(report.StateAt(stop.dumpFrame), stop.state) << "at frame " << stop.dumpFrame;
        switch (stop.back) {
            case EBack::Becomes:
                EXPECT_EQ(report.StateAt(stop.backFrame + stop.afterDelay), stop.after)
                    << "the back key at frame " << stop.backFrame;
                break;
            case EBack::Stays:
                EXPECT_EQ(report.StateAt(stop.backFrame + stop.afterDelay), stop.state)
                    << "the back key at frame " << stop.backFrame << " changed nothing";
                break;
            case EBack::Leaves:
                EXPECT_GT(report.endFrame, stop.backFrame);
                EXPECT_LT(report.endFrame, stop.backFrame + 10) << "the back key on the quit question leaves";
                break;
        }
    }
    EXPECT_FALSE(fs::exists(shots / "never.png")) << "the game went on after the quit question's back key";
    for (const auto& [frame, state] : tour.expects) EXPECT_EQ(report.StateAt(frame), state) << "at frame " << frame;
    if (records.count("dlg_review") > 0) {
        // Yes on the review question, once, opened the store page in the browser.
        const std::string page = "[browser] https://store.hollowfen.example/cobblebrooks/review";
        const std::size_t first = output.find(page);
        EXPECT_NE(first, std::string::npos) << output;
        if (first != std::string::npos) {
            EXPECT_EQ(output.find(page, first + 1), std::string::npos) << "once";
        }
    }

    // What each stop showed.
    std::vector<TPixelCheck> checks;
    for (const TStop& stop : tour.stops) {
        // Never a black screen: at most a third of the picture is black.
        if (!stop.dark) {
            EXPECT_LT(DarkPixels(shots / stop.dump), displayWidth * displayHeight / 3)
                << stop.dump << " is a black screen";
        }
        if (!routeDisplay) continue;
        for (const TLook& look : stop.looks)
            checks.push_back({stop.dump.c_str(), screentour::D(look.x0), screentour::D(look.y0), screentour::D(look.x1),
                              screentour::D(look.y1), look.test, look.atLeast, look.below, look.what});
    }
    CheckDumps(shots, checks, output);

    WriteContactSheet(shots, tour.stops, shots / "contact_sheet.png", displayWidth, displayHeight);

    // The back key on the name took its last letter, and OK kept the rest.
    EXPECT_EQ(ReadSaved(shots / "saves").firstName, "Ad");
}

TEST(ScreenTour, EveryScreenAndDialogHeadlessWithTheBackKeyOnEach) {
    RunTourAndCheck("-u DISPLAY COBBLE_DISPLAY=headless", "screen-tour");
}

// The same tour on a phone of another shape, 720 x 1280 (320 x 568 logical): a run of its own
// for looking at the screens laid out for a taller display, not part of the regular suite (it
// runs as long as the tour above). COBBLE_TOUR_720=1 runs it; its pictures stay in
// screens/screen-tour-720/.
TEST(ScreenTour, EveryScreenAt720x1280WhenAskedFor) {
    const char* asked = std::getenv("COBBLE_TOUR_720");
    if (asked == nullptr || std::string(asked) != "1") GTEST_SKIP() << "COBBLE_TOUR_720=1 runs it";
    RunTourAndCheck("-u DISPLAY COBBLE_DISPLAY=headless", "screen-tour-720", 720, 1280);
}

TEST(ScreenTourX11, TheSameTourInARealWindowUnderXvfb) {
    if (const char* why = WhyNoXvfbWindow()) GTEST_SKIP() << why;
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    RunTourAndCheck("COBBLE_DISPLAY=x11", "screen-tour-x11");
}

}  // namespace
