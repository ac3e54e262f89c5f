// The farm's whole road in the real program, headless with the real pak, the virtual clock and an
// input script, from player data with coins to spend: the play screen, the first yard, the farm
// shop (one object of each category, a bird among them), moving, rotating and selling in the
// yard, the first star, the quests screen opened from the yard and a purchase confirmed there,
// back in the yard with it placed. The run ends with the navigator's exit; the saves (the player
// data and the yard's record) and a few pixels of the frames dumped on the way are checked. A
// second road takes the same visit, leaves the yard, comes back and ends the program with the yard
// open; a second run opens it again, and every opening shows what was saved before it.
//
// The yard places bought objects at random spots; a scripted run draws the same random numbers
// every time, so the objects the script touches stand where it expects them.
//
// The screenshots stay in build/<preset>/screens/farm-road/ and yard-road/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "RunChecks.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"

namespace {

using namespace programrun;

using runchecks::D;
using runchecks::Logical;
using runchecks::Teal;
using runchecks::TScript;

// The player the runs start from: "Ada", in the first yard with 400 coins, who has seen every hint
// (the hints are the business of other suites) but, where said, the yard's purchase hint.
void SeedPlayer(const fs::path& saves, bool purchaseHintSeen) {
    WriteSeededPlayer(saves, [purchaseHintSeen](TUserProfile& ada) {
        ada.m_nCoins = 400;
        ada.m_CurrentYard = "yard1";
        for (bool& seen : ada.m_HintFlags) seen = true;
        ada.m_HintFlags[kHintYardPurchase] = purchaseHintSeen;
    });
}

// Where things stand, in logical pixels: the menu's Play button, the play screen's first yard,
// the yard's Buy, quests, rotate and sell buttons, the shop's tabs and the buy buttons of its
// first and third rows, the Yes of the confirm dialogs (centred panels), a quest row.
constexpr double kPlay[] = {160, 379}, kFirstYard[] = {43, 344};
constexpr double kYardBuy[] = {100, 24}, kYardQuests[] = {26, 74}, kRotate[] = {242, 505}, kSell[] = {290, 505};
constexpr double kTabY = 69, kPlantsTab = 97, kComfortTab = 161, kDecorTab = 225;
constexpr double kRowButtonX = 217, kFirstRowButtonY = 210, kThirdRowButtonY = 466;
constexpr double kYes[] = {226, 380};
constexpr double kQuestRowX = 160, kThirdQuestRowY = 276;
// The objects the yard placed (the run draws the same random numbers every time): the frog
// statue, moved from there to kFrogTo, and the daisies.
constexpr double kFrogAt[] = {230, 350}, kFrogTo[] = {160, 400}, kDaisiesAt[] = {285, 356};

// A visit of the first yard from the start menu: the play screen, the yard, five trips to the shop
// (the hen of the birds; the daisies and the sunflower of the plants; the egg basket of comfort;
// the frog statue of decor), the first star, the frog mirrored and dragged, the daisies sold. The
// frame after it.
int Visit(TScript& s) {
    s.Tap(200, kPlay[0], kPlay[1]);
    s.Tap(270, kFirstYard[0], kFirstYard[1]);
    s.Dump(410, "01_yard.png");
    struct TTrip {
        double tabX;  // 0: the remembered tab
        double rowY;
        const char* dump;  // the shop as the row is chosen, and the confirmation
        const char* confirm;
    } trips[] = {
        {0, kFirstRowButtonY, "02_shop_birds.png", "03_confirm_hen.png"},
        {kPlantsTab, kFirstRowButtonY, nullptr, nullptr},
        {0, kThirdRowButtonY, "04_shop_plants_again.png", nullptr},
        {kComfortTab, kThirdRowButtonY, nullptr, nullptr},
        {kDecorTab, kFirstRowButtonY, "05_shop_decor.png", nullptr},
    };
    int f = 420;
    for (const TTrip& t : trips) {
        s.Tap(f, kYardBuy[0], kYardBuy[1]);
        f += 50;
        if (t.tabX > 0) {
            s.Tap(f, t.tabX, kTabY);
            f += 30;
        }
        if (t.dump != nullptr) s.Dump(f - 5, t.dump);
        s.Tap(f, kRowButtonX, t.rowY);
        f += 30;
        if (t.confirm != nullptr) s.Dump(f - 10, t.confirm);
        s.Tap(f, kYes[0], kYes[1]);
        f += 50;
    }
    // The bars fill to the first star's thresholds, and the star is awarded.
    f += 130;
    s.Dump(f - 5, "06_star.png");
    s.Tap(f, kFrogAt[0], kFrogAt[1]);
    s.Tap(f + 10, kRotate[0], kRotate[1]);
    s.Touch(f + 30, "down", kFrogAt[0], kFrogAt[1]);
    for (int k = 1; k <= 10; ++k)
        s.Touch(f + 30 + k, "move", kFrogAt[0] + (kFrogTo[0] - kFrogAt[0]) * k / 10,
                kFrogAt[1] + (kFrogTo[1] - kFrogAt[1]) * k / 10);
    s.Touch(f + 42, "up", kFrogTo[0], kFrogTo[1]);
    f += 60;
    s.Dump(f - 10, "07_frog_moved.png");
    s.Tap(f, kDaisiesAt[0], kDaisiesAt[1]);
    s.Tap(f + 10, kSell[0], kSell[1]);
    s.Dump(f + 35, "08_sell_question.png");
    s.Tap(f + 40, kYes[0], kYes[1]);
    return f + 80;
}

// The road: the visit, the quests opened from the yard and the frog's quest's hay bale bought
// there, the exit.
std::string Road() {
    TScript s;
    int f = Visit(s);
    s.Tap(f, kYardQuests[0], kYardQuests[1]);
    f += 60;
    s.Dump(f - 5, "09_quests.png");
    s.Tap(f, kQuestRowX, kThirdQuestRowY);
    f += 30;
    s.Dump(f - 5, "10_confirm_hay.png");
    s.Tap(f, kYes[0], kYes[1]);
    s.Dump(f + 80, "11_hay_placed.png");
    s.Line(f + 100, "nav exit");
    return s.text;
}

bool Gold(const std::vector<int>& p) { return p[0] > 200 && p[1] > 150 && p[2] < 110; }
bool Brown(const std::vector<int>& p) {
    return p[0] > 110 && p[0] < 210 && p[1] > 70 && p[1] < 160 && p[2] < 100 && p[0] > p[1] + 20;
}

void RunRoadAndCheck(const std::string& displaySettings, const char* folder) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / folder;
    fs::remove_all(shots);
    SeedPlayer(shots / "saves", true);
    if (::testing::Test::HasFatalFailure()) return;
    std::ofstream(shots / "road.script") << Road();

    // The frame limit is only a guard: the navigator's exit ends the run long before it.
    int status = -1;
    const std::string output = RunCommand(
        "timeout 540 env " + displaySettings +
            " COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual COBBLE_SOUND=null COBBLE_FRAMES=4000 COBBLE_SCRIPT='" +
            (shots / "road.script").string() + "' COBBLE_DUMP_DIR='" + shots.string() + "' COBBLE_SAVE_DIR='" +
            (shots / "saves").string() + "' '" COBBLE_GAME_PATH "' 2>&1",
        &status);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("loading step"), std::string::npos) << output;
    EXPECT_EQ(output.find("could not be opened"), std::string::npos) << output;
    EXPECT_EQ(output.find("falling back to headless"), std::string::npos) << output;

    using runchecks::White;
    const runchecks::TPixelCheck checks[] = {
        Logical("01_yard.png", 60, 8, 140, 40, runchecks::Green, 2000, 1 << 30, "the yard's Buy button"),
        Logical("01_yard.png", 180, 100, 240, 125, Gold, 0, 60, "no star yet"),
        Logical("02_shop_birds.png", 124, 112, 190, 132, White, 150, 1 << 30, "\"Hen\" on the first row"),
        Logical("02_shop_birds.png", 130, 194, 300, 226, Teal, 3000, 1 << 30, "its Buy button"),
        Logical("03_confirm_hen.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the confirmation's Yes"),
        Logical("05_shop_decor.png", 130, 194, 300, 226, Teal, 3000, 1 << 30, "the frog's Buy button"),
        Logical("06_star.png", 178, 106, 194, 122, Gold, 100, 1 << 30, "the first star, earned"),
        Logical("06_star.png", 222, 106, 238, 122, Gold, 0, 40, "the second star, not yet"),
        Logical("06_star.png", 215, 338, 245, 365, Brown, 150, 1 << 30, "the frog where the yard put it"),
        Logical("07_frog_moved.png", 215, 338, 245, 365, Brown, 0, 60, "the frog gone from there"),
        Logical("07_frog_moved.png", 145, 388, 175, 415, Brown, 150, 1 << 30, "and standing where it was dragged"),
        Logical("08_sell_question.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the sale's Yes"),
        Logical("09_quests.png", 107, 252, 158, 300, Gold, 300, 1 << 30, "the hay bale offered by the frog's quest"),
        Logical("10_confirm_hay.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the confirmation's Yes"),
        Logical("07_frog_moved.png", 187, 283, 223, 307, Gold, 0, 40, "no hay bale before"),
        Logical("11_hay_placed.png", 187, 283, 223, 307, Gold, 400, 1 << 30, "the hay bale placed in the yard"),
    };
    runchecks::ExpectPixels(shots, checks, 768, 1280, output);

    // The player data the exit saved: 400 coins less the hen (30), the daisies (5), the sunflower
    // (15), the basket (20), the frog (25) and the hay bale (18), plus 4 for the daisies (70 % of
    // 5, rounded); the first yard's star; the purchases; the frog's quest completed by the hay
    // bale, the hen's and the daisies' unlocked; the frog statue's award; the unlocked arena.
    CApplicationData data;
    runchecks::ReadSavedPlayerData(shots / "saves", data);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(data.m_Profiles.count, 1);
    TUserProfile& ada = *data.m_Profiles.data[0];
    const CommonString yard("yard1");
    EXPECT_EQ(ada.m_nCoins, 400 - 30 - 5 - 15 - 20 - 25 - 18 + 4);
    EXPECT_EQ(ada.GetNumStarsInCompletedYard(yard), 1);
    EXPECT_STREQ(ada.m_CurrentYard.GetDataConst(), "yard1");
    for (const char* id : {"bird1", "sunflower", "new_basket2", "wooden_frog", "hay_bale"})
        EXPECT_EQ(ada.GetNumFarmObjectPurchased(yard, CommonString(id)), 1) << id;
    EXPECT_EQ(ada.GetNumFarmObjectPurchased(yard, CommonString("daisy_patch")), 0) << "sold";
    EXPECT_EQ(ada.GetMiniQuestState(yard, CommonString("q1_frog")), 2);
    EXPECT_EQ(ada.GetMiniQuestState(yard, CommonString("q1_feed")), 1);
    EXPECT_EQ(ada.GetMiniQuestState(yard, CommonString("q1_water")), 1);
    EXPECT_TRUE(ada.IsAchievementAwarded(18)) << "the frog statue";
    ASSERT_EQ(ada.m_NewlyUnlockedLevels.count, 1);
    EXPECT_STREQ(ada.m_NewlyUnlockedLevels.data[0]->GetDataConst(), "arena2");

    // The yard's record of the game in progress, written at the exit with the yard open: the
    // objects of the yard by their ids, the sold daisies not among them.
    std::ifstream in(shots / "saves" / "saveresume.dat", std::ios::binary);
    ASSERT_TRUE(in.good()) << "no saveresume.dat";
    const std::string record((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* id : {"yard1", "bird1", "sunflower", "new_basket2", "wooden_frog", "hay_bale"})
        EXPECT_NE(record.find(id), std::string::npos) << id;
    EXPECT_EQ(record.find("daisy_patch"), std::string::npos) << "sold";
}

TEST(FarmRoad, HeadlessFromThePlayScreenThroughShopYardAndQuests) {
    RunRoadAndCheck("-u DISPLAY COBBLE_DISPLAY=headless", "farm-road");
}

// The same visit kept across leaving the yard and ending the program: the first run ends its visit
// by the yard's back button, opens the yard again from the play screen and ends with the yard open;
// the second run opens it once more. The purchase hint is still to be seen on the first visit.
constexpr double kYardBack[] = {25, 23};
constexpr int kYardOpens = 140;  // frames from the yard button to a yard standing open

std::string FirstYardRun() {
    TScript s;
    s.Dump(305, "00_loading_the_farm.png");
    int f = Visit(s);
    s.Dump(f + 10, "09_before_leaving.png");
    s.Tap(f + 15, kYardBack[0], kYardBack[1]);
    s.Dump(f + 75, "10_play_screen.png");
    s.Tap(f + 80, kFirstYard[0], kFirstYard[1]);
    s.Dump(f + 80 + kYardOpens, "11_reopened.png");
    s.Line(f + 90 + kYardOpens, "nav exit");
    return s.text;
}

std::string SecondYardRun() {
    TScript s;
    s.Tap(200, kPlay[0], kPlay[1]);
    s.Tap(270, kFirstYard[0], kFirstYard[1]);
    s.Dump(270 + kYardOpens, "12_after_restart.png");
    s.Line(280 + kYardOpens, "nav exit");
    return s.text;
}

// The ids of the yard's objects in the order a yard record holds them: each of the given ids
// found in the record's bytes, by where it stands.
std::vector<std::string> IdsInRecord(const std::string& record, std::initializer_list<const char*> ids) {
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const char* id : ids)
        for (std::size_t at = record.find(id); at != std::string::npos; at = record.find(id, at + 1))
            found.emplace_back(at, id);
    std::sort(found.begin(), found.end());
    std::vector<std::string> order;
    for (const auto& [at, id] : found) order.push_back(id);
    return order;
}

// The mean difference of two frames over a logical rectangle, per channel.
double Difference(const TPngPixels& a, const TPngPixels& b, double x0, double y0, double x1, double y1) {
    double sum = 0;
    int n = 0;
    for (int y = D(y0); y < D(y1); ++y)
        for (int x = D(x0); x < D(x1); ++x, ++n)
            for (int c = 0; c < 3; ++c) sum += std::abs(a.At(x, y)[c] - b.At(x, y)[c]);
    return n > 0 ? sum / n : 0.0;
}

TEST(FarmRoad, AVisitOfTheYardIsKeptAcrossLeavingItAndEndingTheProgram) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / "yard-road";
    fs::remove_all(shots);
    SeedPlayer(shots / "saves", false);
    if (::testing::Test::HasFatalFailure()) return;
    const auto run = [&](const char* name, const std::string& script, int* status) {
        const fs::path file = shots / (std::string(name) + ".script");
        std::ofstream(file) << script;
        return RunHeadless(COBBLE_GAME_PATH, shots, shots / "saves",
                           "COBBLE_FRAMES=4000 COBBLE_SCRIPT='" + file.string() + "'", status);
    };
    int status = -1;
    const std::string first = run("first", FirstYardRun(), &status);
    ASSERT_EQ(status, 0) << first;
    fs::copy_file(shots / "saves" / "saveresume.dat", shots / "first_saveresume.dat");
    fs::copy_file(shots / "saves" / "global.opt", shots / "first_global.opt");
    const std::string second = run("second", SecondYardRun(), &status);
    ASSERT_EQ(status, 0) << second;
    for (const std::string* output : {&first, &second})
        for (const char* told : {"loading step", "damaged", "could not"})
            EXPECT_EQ(output->find(told), std::string::npos) << told << "\n" << *output;

    // The frames: the farm's loader before the yard, the buy button on the first visit, the star earned; the frog where
    // it was dragged, before leaving, after coming back and after the restart, and not where the yard first put it; the
    // play screen between.
    using runchecks::Green;
    const runchecks::TPixelCheck checks[] = {
        Logical("00_loading_the_farm.png", 60, 262, 262, 292, runchecks::TitleYellow, 300, 1 << 30,
                "the group loader's \"Loading Farm\" before the yard opens"),
        Logical("01_yard.png", 60, 8, 140, 40, Green, 1500, 1 << 30, "the yard's Buy button"),
        Logical("06_star.png", 178, 106, 194, 122, Gold, 100, 1 << 30, "the first star, earned"),
        Logical("06_star.png", 222, 106, 238, 122, Gold, 0, 40, "the second star, not yet"),
        Logical("10_play_screen.png", 14, 0, 306, 80, runchecks::TitleYellow, 300, 1 << 30, "\"Choose an arena\""),
        Logical("09_before_leaving.png", 145, 388, 175, 415, Brown, 150, 1 << 30, "the frog where it was dragged"),
        Logical("11_reopened.png", 145, 388, 175, 415, Brown, 150, 1 << 30, "the frog, after coming back"),
        Logical("12_after_restart.png", 145, 388, 175, 415, Brown, 150, 1 << 30, "the frog, after the restart"),
        Logical("12_after_restart.png", 215, 338, 245, 365, Brown, 0, 60, "not where the yard first put it"),
        Logical("11_reopened.png", 178, 106, 194, 122, Gold, 100, 1 << 30, "the star, after coming back"),
        Logical("12_after_restart.png", 178, 106, 194, 122, Gold, 100, 1 << 30, "the star, after the restart"),
    };
    runchecks::ExpectPixels(shots, checks, 768, 1280, first + second);
    // The mirrored frog drawn alike after coming back and after the restart, and unlike the grass
    // the first visit showed there.
    const TPngPixels none = ReadPngFile((shots / "01_yard.png").string());
    const TPngPixels before = ReadPngFile((shots / "09_before_leaving.png").string());
    const TPngPixels back = ReadPngFile((shots / "11_reopened.png").string());
    const TPngPixels restarted = ReadPngFile((shots / "12_after_restart.png").string());
    ASSERT_TRUE(none.ok && before.ok && back.ok && restarted.ok);
    const double frog[] = {kFrogTo[0] - 20, kFrogTo[1] - 25, kFrogTo[0] + 20, kFrogTo[1] + 12};
    EXPECT_GT(Difference(none, before, frog[0], frog[1], frog[2], frog[3]), 40.0) << "the frog stands on the grass";
    EXPECT_LT(Difference(before, back, frog[0], frog[1], frog[2], frog[3]), 20.0) << "the same frog after coming back";
    EXPECT_LT(Difference(before, restarted, frog[0], frog[1], frog[2], frog[3]), 20.0) << "and after the restart";

    // The player data after each run, alike: 400 coins less the hen (30), the daisies (5), the
    // sunflower (15), the basket (20) and the frog (25), plus 4 for the daisies (70 % of 5,
    // rounded); the first yard's star; the purchases; the purchase hint seen by the buy button;
    // the frog statue's award; the arena the star unlocked shown by the play screen on the way
    // back and taken off the list.
    for (const fs::path& file : {shots / "first_global.opt", shots / "saves" / "global.opt"}) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        CApplicationData data;
        ASSERT_EQ(data.ReadAppDataFromBytes(bytes, "global.opt"), 1);
        ASSERT_EQ(data.m_Profiles.count, 1);
        TUserProfile& ada = *data.m_Profiles.data[0];
        const CommonString yard("yard1");
        EXPECT_EQ(ada.m_nCoins, 400 - 30 - 5 - 15 - 20 - 25 + 4);
        EXPECT_EQ(ada.GetNumStarsInCompletedYard(yard), 1);
        EXPECT_STREQ(ada.m_CurrentYard.GetDataConst(), "yard1");
        EXPECT_TRUE(ada.m_HintFlags[kHintYardPurchase]);
        for (const char* id : {"bird1", "sunflower", "new_basket2", "wooden_frog"})
            EXPECT_EQ(ada.GetNumFarmObjectPurchased(yard, CommonString(id)), 1) << id;
        EXPECT_FALSE(ada.IsFarmObjectPurchased(yard, CommonString("daisy_patch"))) << "sold";
        EXPECT_TRUE(ada.IsAchievementAwarded(18)) << "the frog statue";
        EXPECT_EQ(ada.m_NewlyUnlockedLevels.count, 0);
    }

    // The yard's record, written at each exit with the yard open: the same objects in the same
    // order after the restart as before it, the sold daisies not among them.
    const auto read = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        EXPECT_TRUE(in.good()) << file;
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string firstRecord = read(shots / "first_saveresume.dat"),
                      after = read(shots / "saves" / "saveresume.dat");
    const auto ids = {"yard1", "bird1", "sunflower", "new_basket2", "wooden_frog", "daisy_patch"};
    const std::vector<std::string> kept = IdsInRecord(firstRecord, ids);
    for (const char* id : {"yard1", "bird1", "sunflower", "new_basket2", "wooden_frog"})
        EXPECT_NE(std::find(kept.begin(), kept.end(), id), kept.end()) << id;
    EXPECT_EQ(std::find(kept.begin(), kept.end(), "daisy_patch"), kept.end()) << "sold";
    EXPECT_EQ(IdsInRecord(after, ids), kept);
}

TEST(FarmRoadX11, TheSameRoadInARealWindowUnderXvfb) {
    if (const char* why = programrun::WhyNoXvfbWindow()) GTEST_SKIP() << why;
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    RunRoadAndCheck("COBBLE_DISPLAY=x11", "farm-road-x11");
}

}  // namespace
