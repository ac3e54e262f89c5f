// A whole visit of the yard in the real program, headless with the real pak and the virtual clock,
// by the test road of YardRoadMain.cpp (the farm shop's stand-in hands over the purchases): a
// player with 1,000 coins opens yard 1 from the play screen (the group loader loads the farm),
// buys one object of each category and two birds through the pending-purchase hand-off, earns a
// star, drags the tree and mirrors it, sells the signpost, leaves by the back button and opens
// the yard again; the program ends with the yard open and starts again. Every opening of the
// yard must show what was saved before it; the saves and a few pixels are checked.
//
// The screenshots stay in build/<preset>/screens/yard-road/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "RunChecks.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/PngRead.h"

namespace {

namespace fs = std::filesystem;
using namespace runchecks;

constexpr const char* kShop = "bird1,sunflower,water_trough,signpost,bird2,apple_tree,grain_feeder,wooden_frog";

// The steps of the first run: the yard button of the play screen, eight trips to the shop, the
// drag, the mirror and the sale, the back button, the yard button again.
const char* const kFirstSteps =
    "330:click:btn_play_yard_1;430:click:btn_BuyItem;480:click:btn_BuyItem;530:click:btn_BuyItem;580:click:btn_BuyItem;"
    "630:click:btn_BuyItem;680:click:btn_BuyItem;730:click:btn_BuyItem;780:click:btn_BuyItem;"
    "860:drag:apple_tree:400,150;870:tap:apple_tree;875:click:btn_RotateItem;890:tap:signpost;"
    "895:click:btn_SellItem;930:click:btn_confirm_buy_yes;1050:click:btn_CloseShop;1100:click:btn_play_yard_1";
const char* const kSecondSteps = "330:click:btn_play_yard_1";

// The start menu's Play button (display pixels), the dumps and the exit of each run.
const char* const kFirstScript =
    "255 touch down 384 910\n257 touch up 384 910\n420 dump 01_yard_first_visit.png\n850 dump 02_bought.png\n"
    "1010 dump 03_star.png\n1040 dump 04_before_leaving.png\n1098 dump 05_play_screen.png\n1180 dump 06_reopened.png\n"
    "1200 nav exit\n";
const char* const kSecondScript =
    "255 touch down 384 910\n257 touch up 384 910\n420 dump 07_after_restart.png\n450 nav exit\n";

// The yard lines of a run's output: ("opened" or "saved", the state after the word).
std::vector<std::pair<std::string, std::string>> YardLines(const std::string& output) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(output);
    std::string line;
    for (const std::string prefix = "road: yard "; std::getline(in, line);) {
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string rest = line.substr(prefix.size());
        const auto space = rest.find(' ');
        lines.emplace_back(rest.substr(0, space), rest.substr(space + 1));
    }
    return lines;
}

// Every opening shows the state the save before it wrote.
void ExpectEachOpeningAsSaved(const std::vector<std::pair<std::string, std::string>>& lines, const char* run) {
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i].first == "opened" && lines[i - 1].first == "saved") {
            EXPECT_EQ(lines[i].second, lines[i - 1].second) << run << ", opening " << i;
        }
}

// The objects of a state line: id -> "x,y" and the mirror mark.
std::map<std::string, std::string> Objects(const std::string& state) {
    std::map<std::string, std::string> objects;
    std::istringstream in(state.substr(state.find(" objects ") + 9));
    std::string item;
    while (in >> item) objects[item.substr(0, item.find('@'))] = item.substr(item.find('@') + 1);
    return objects;
}

// The screen rectangle (display pixels) around an object's anchor at world (x, y), 24.8, on the
// 320 x 533 logical screen, from the camera's definition.
struct TBox {
    int x0, y0, x1, y1;
};
TBox AroundAnchor(double wx, double wy, double halfWidth, double height) {
    const double x = wx / 256.0, y = wy / 256.0;
    const double t = 1.0 / (1.0 - y / 658.0) - 1.0, s = 0.5 + 0.5 * t;
    const double sx = 160 + s * (x - 320), sy = 533 - 314 + 329 * t;
    return {D(sx - halfWidth * s), D(sy - height * s), D(sx + halfWidth * s), D(sy)};
}

double Difference(const TPngPixels& a, const TPngPixels& b, const TBox& box) {
    double sum = 0;
    int n = 0;
    for (int y = std::max(0, box.y0); y < std::min(a.height, box.y1); ++y)
        for (int x = std::max(0, box.x0); x < std::min(a.width, box.x1); ++x, ++n)
            for (int c = 0; c < 3; ++c) sum += std::abs(a.At(x, y)[c] - b.At(x, y)[c]);
    return n > 0 ? sum / n : 0.0;
}

bool Gold(const std::vector<int>& p) { return p[0] > 200 && p[1] > 150 && p[2] < 110; }

TEST(YardRoad, AVisitOfTheYardIsKeptAcrossLeavingItAndEndingTheProgram) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / "yard-road";
    fs::remove_all(shots);
    fs::create_directories(shots / "saves");
    const fs::path road = COBBLE_YARD_ROAD_PATH;
    const auto run = [&](const char* name, const char* script, const char* steps, int* status) {
        const fs::path file = shots / (std::string(name) + ".script");
        std::ofstream(file) << script;
        return programrun::RunHeadless(road, shots, shots / "saves",
                                       std::string("COBBLE_FRAMES=3000 COBBLE_ROAD_COINS=1000 COBBLE_ROAD_SHOP=") +
                                           kShop + " COBBLE_ROAD_STEPS='" + steps + "' COBBLE_SCRIPT='" +
                                           file.string() + "'",
                                       status);
    };
    int status = -1;
    const std::string first = run("first", kFirstScript, kFirstSteps, &status);
    ASSERT_EQ(status, 0) << first;
    const std::string second = run("second", kSecondScript, kSecondSteps, &status);
    ASSERT_EQ(status, 0) << second;
    EXPECT_EQ(first.find("road: no "), std::string::npos) << first;
    EXPECT_LT(first.find("road: the group loader opens"), first.find("road: yard opened")) << first;

    const auto lines = YardLines(first), again = YardLines(second);
    // Eight purchases, the back button and the exit save; the first visit, eight returns from the
    // shop and the return from the play screen open; the second run opens once and saves at exit.
    ASSERT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.first == "saved"; }), 10) << first;
    ASSERT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.first == "opened"; }), 10)
        << first;
    ExpectEachOpeningAsSaved(lines, "first run");
    ASSERT_EQ(again.size(), 2u) << second;
    EXPECT_EQ(again[0].first, "opened");
    EXPECT_EQ(again[0].second, lines.back().second) << "the program ended with the yard open";
    ExpectEachOpeningAsSaved(again, "second run");

    // What the visit made: one star; 45 points of birds (30 + 15), 50 of plants (15 + 35), 24 of
    // comfort (12 + 12), 25 of decor (8 + 25, then 8 back for the signpost); 1,000 coins less
    // 152 spent plus 6 for the signpost (70 % of 8, rounded).
    const std::string& state = again[0].second;
    EXPECT_NE(state.find("yard1 stars 1 points 45 50 24 25 coins 854 objects"), std::string::npos) << state;
    const auto objects = Objects(state);
    for (const char* id : {"yard_bg", "yard_sun", "bird1", "bird2", "sunflower", "water_trough", "apple_tree",
                           "grain_feeder", "wooden_frog"})
        EXPECT_EQ(objects.count(id), 1u) << id << " in " << state;
    EXPECT_EQ(objects.count("signpost"), 0u) << "sold";
    EXPECT_EQ(objects.size(), 9u) << state;
    // The tree where it was dragged (within the camera's rounding), mirrored.
    const std::string& tree = objects.at("apple_tree");
    ASSERT_EQ(tree.back(), 'r') << tree;
    const int tx = std::stoi(tree), ty = std::stoi(tree.substr(tree.find(',') + 1));
    EXPECT_NEAR(tx, 400 * 256, 3 * 256);
    EXPECT_NEAR(ty, 150 * 256, 3 * 256);

    // The player data: the coins, the star, the purchases of the yard, the purchase hint marked
    // seen by the buy button.
    CApplicationData data;
    ReadSavedPlayerData(shots / "saves", data);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(data.m_Profiles.count, 1);
    TUserProfile& ada = *data.m_Profiles.data[0];
    EXPECT_EQ(ada.GetName(), "Ada");
    EXPECT_EQ(ada.m_nCoins, 854);
    EXPECT_EQ(ada.GetNumStarsInCompletedYard(CommonString("yard1")), 1);
    EXPECT_TRUE(ada.m_HintFlags[kHintYardPurchase]);
    for (const char* id : {"bird1", "bird2", "sunflower", "water_trough", "apple_tree", "grain_feeder", "wooden_frog"})
        EXPECT_EQ(ada.GetNumFarmObjectPurchased(CommonString("yard1"), CommonString(id)), 1) << id;
    EXPECT_FALSE(ada.IsFarmObjectPurchased(CommonString("yard1"), CommonString("signpost")));
    // The star unlocked the second arena; the play screen showed it on the way back and took it
    // off the list.
    EXPECT_EQ(ada.m_NewlyUnlockedLevels.count, 0);
    EXPECT_TRUE(ada.IsAchievementAwarded(18)) << "the frog statue";

    // Pixels: the buy button and the bars' board on the first visit; the star earned in the first
    // slot under the bars (slots 0.796875 of the 28-pixel star apart around the decor bar's middle,
    // x 209, y 115); the trough drawn where the record puts it, before leaving, after coming back
    // and after the restart, and not before it was bought.
    const TPixelCheck checks[] = {
        {"01_yard_first_visit.png", D(10), D(56), D(98), D(84), Green, 1500, 1 << 30, "the buy button"},
        {"03_star.png", D(180), D(108), D(194), D(122), Gold, 150, 1 << 30, "the first star, earned"},
        {"03_star.png", D(224), D(108), D(238), D(122), Gold, 0, 40, "the second star, not earned"},
    };
    ExpectPixels(shots, checks, 768, 1280, first + second);
    const std::string& trough = objects.at("water_trough");
    const TBox box = AroundAnchor(std::stoi(trough), std::stoi(trough.substr(trough.find(',') + 1)), 24, 18);
    const TPngPixels none = ReadPngFile((shots / "01_yard_first_visit.png").string());
    const TPngPixels before = ReadPngFile((shots / "04_before_leaving.png").string());
    const TPngPixels back = ReadPngFile((shots / "06_reopened.png").string());
    const TPngPixels restarted = ReadPngFile((shots / "07_after_restart.png").string());
    ASSERT_TRUE(none.ok && before.ok && back.ok && restarted.ok);
    EXPECT_GT(Difference(none, before, box), 60.0) << "the trough stands on the grass";
    EXPECT_LT(Difference(before, back, box), 25.0) << "the same trough after coming back";
    EXPECT_LT(Difference(before, restarted, box), 25.0) << "and after the restart";
}

}  // namespace
