// The farm's whole road in the real program, headless with the real pak, the virtual clock and an
// input script, from player data with coins to spend: the play screen, the first yard, the farm
// shop (one object of each category, a bird among them), moving, rotating and selling in the
// yard, the first star, the quests screen opened from the yard and a purchase confirmed there,
// back in the yard with it placed. The run ends with the navigator's exit; the saves (the player
// data and the yard's record) and a few pixels of the frames dumped on the way are checked.
//
// The yard places bought objects at random spots; a scripted run draws the same random numbers
// every time, so the objects the script touches stand where it expects them.
//
// The screenshots stay in build/<preset>/screens/farm-road/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "RunChecks.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"

namespace {

using namespace programrun;

// Logical pixels of the 320 x 533 screen of a 768 x 1280 display, as display pixels.
int D(double logical) { return static_cast<int>(logical * 2.4 + 0.5); }

// The player data the run starts from: one player, "Ada", in the first yard with 400 coins, who
// has seen every hint (the hints are the business of other suites).
std::vector<std::uint8_t> SeededPlayerData() {
    return PlayerDataOfAda([](TUserProfile& ada) {
        ada.m_nCoins = 400;
        ada.m_CurrentYard = "yard1";
    });
}

struct TScript {
    std::string text;
    void Line(int frame, const std::string& what) { text += std::to_string(frame) + " " + what + "\n"; }
    void Touch(int frame, const char* kind, double x, double y) {
        Line(frame, std::string("touch ") + kind + " " + std::to_string(D(x)) + " " + std::to_string(D(y)));
    }
    void Tap(int frame, double x, double y) {
        Touch(frame, "down", x, y);
        Touch(frame + 2, "up", x, y);
    }
    void Dump(int frame, const char* name) { Line(frame, std::string("dump ") + name); }
};

// Where things stand, in logical pixels: the menu's Play button, the play screen's first yard,
// the yard's Buy, quests, rotate and sell buttons, the shop's tabs and the buy buttons of its
// first and third rows, the Yes of the confirm dialogs (centred panels), a quest row.
constexpr double kPlay[] = {160, 379}, kFirstYard[] = {43, 344};
constexpr double kYardBuy[] = {54, 70}, kYardQuests[] = {76, 24}, kRotate[] = {242, 505}, kSell[] = {290, 505};
constexpr double kTabY = 69, kPlantsTab = 97, kComfortTab = 161, kDecorTab = 225;
constexpr double kRowButtonX = 217, kFirstRowButtonY = 210, kThirdRowButtonY = 466;
constexpr double kYes[] = {226, 380};
constexpr double kQuestRowX = 160, kThirdQuestRowY = 276;
// The objects the yard placed (the run draws the same random numbers every time): the frog
// statue, moved from there to kFrogTo, and the daisies.
constexpr double kFrogAt[] = {230, 350}, kFrogTo[] = {160, 400}, kDaisiesAt[] = {285, 356};

// The road: the play screen, the first yard, five trips to the shop (the hen of the birds; the
// daisies and the sunflower of the plants; the egg basket of comfort; the frog statue of decor),
// the first star, the frog mirrored and dragged, the daisies sold, the quests opened from the yard
// and the frog's quest's hay bale bought there, the exit.
std::string Road() {
    TScript s;
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
    f += 80;
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
bool Teal(const std::vector<int>& p) { return p[0] < 120 && p[1] > 120 && p[2] > 120; }
bool Brown(const std::vector<int>& p) {
    return p[0] > 110 && p[0] < 210 && p[1] > 70 && p[1] < 160 && p[2] < 100 && p[0] > p[1] + 20;
}

// A logical rectangle as display pixels.
runchecks::TPixelCheck At(const char* dump, double x0, double y0, double x1, double y1, runchecks::TPixelTest test,
                          int atLeast, int below, const char* what) {
    return {dump, D(x0), D(y0), D(x1), D(y1), std::move(test), atLeast, below, what};
}

void RunRoadAndCheck(const std::string& displaySettings, const char* folder) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / folder;
    fs::remove_all(shots);
    fs::create_directories(shots / "saves");
    const std::vector<std::uint8_t> opt = SeededPlayerData();
    std::ofstream(shots / "saves" / "global.opt", std::ios::binary)
        .write(reinterpret_cast<const char*>(opt.data()), static_cast<std::streamsize>(opt.size()));
    std::ofstream(shots / "road.script") << Road();

    // The frame limit is only a guard: the navigator's exit ends the run long before it.
    int status = -1;
    const std::string output = RunCommand(
        "timeout 300 env " + displaySettings +
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
        At("01_yard.png", 10, 54, 98, 86, runchecks::Green, 2000, 1 << 30, "the yard's Buy button"),
        At("01_yard.png", 180, 100, 240, 125, Gold, 0, 60, "no star yet"),
        At("02_shop_birds.png", 124, 112, 190, 132, White, 150, 1 << 30, "\"Hen\" on the first row"),
        At("02_shop_birds.png", 130, 194, 300, 226, Teal, 3000, 1 << 30, "its Buy button"),
        At("03_confirm_hen.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the confirmation's Yes"),
        At("05_shop_decor.png", 130, 194, 300, 226, Teal, 3000, 1 << 30, "the frog's Buy button"),
        At("06_star.png", 178, 106, 194, 122, Gold, 100, 1 << 30, "the first star, earned"),
        At("06_star.png", 222, 106, 238, 122, Gold, 0, 40, "the second star, not yet"),
        At("06_star.png", 215, 338, 245, 365, Brown, 150, 1 << 30, "the frog where the yard put it"),
        At("07_frog_moved.png", 215, 338, 245, 365, Brown, 0, 60, "the frog gone from there"),
        At("07_frog_moved.png", 145, 388, 175, 415, Brown, 150, 1 << 30, "and standing where it was dragged"),
        At("08_sell_question.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the sale's Yes"),
        At("09_quests.png", 107, 252, 158, 300, Gold, 300, 1 << 30, "the hay bale offered by the frog's quest"),
        At("10_confirm_hay.png", 168, 364, 284, 396, runchecks::Green, 3000, 1 << 30, "the confirmation's Yes"),
        At("07_frog_moved.png", 187, 283, 223, 307, Gold, 0, 40, "no hay bale before"),
        At("11_hay_placed.png", 187, 283, 223, 307, Gold, 400, 1 << 30, "the hay bale placed in the yard"),
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

TEST(FarmRoadX11, TheSameRoadInARealWindowUnderXvfb) {
    if (std::getenv("COBBLE_NO_XVFB") != nullptr)
        GTEST_SKIP() << "xvfb-run is not installed (scripts/deps.sh installs it): the real X window is not tested";
    if (std::getenv("COBBLE_UNDER_XVFB") == nullptr) GTEST_SKIP() << "runs under xvfb-run, as ctest's game_program_x11";
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    RunRoadAndCheck("COBBLE_DISPLAY=x11", "farm-road-x11");
}

}  // namespace
