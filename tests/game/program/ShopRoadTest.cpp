// The boosts screen and the coin shop in the real program, headless with the real pak, the
// virtual clock and an input script, reached by the test road of ShopRoadMain.cpp (the start menu
// standing in for the play screen): a first profile is named, 40 boost points are bought through
// the payment stand-in with the wait dialog turning meanwhile (after the boost-point hint is
// closed), boosts are bought, undone, bought again and reset, the screen is left; then the coin shop opens by a cannot-buy dialog's road and
// a pack of coins is bought. The run ends with the navigator's exit; the saves and a few pixels of
// the frames dumped on the way are checked.
//
// The screenshots stay in build/<preset>/screens/shop-road/.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "RunChecks.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"

namespace {

using runchecks::D;

struct TStep {
    int frame;
    std::string line;
};

std::vector<TStep> Steps() {
    std::vector<TStep> s;
    auto tap = [&](int frame, int x, int y) {
        const std::string at = std::to_string(D(x)) + " " + std::to_string(D(y));
        s.push_back({frame, "touch down " + at});
        s.push_back({frame + 2, "touch up " + at});
    };
    auto dump = [&](int frame, const char* name) { s.push_back({frame, std::string("dump ") + name}); };
    // A first profile, "Ada", as on a first visit (display pixels of the name entry's keys).
    s.push_back({180, "touch down 103 643"});
    s.push_back({182, "touch up 103 643"});
    s.push_back({188, "touch down 243 643"});
    s.push_back({190, "touch up 243 643"});
    s.push_back({196, "touch down 103 643"});
    s.push_back({198, "touch up 103 643"});
    s.push_back({210, "touch down 384 936"});
    s.push_back({212, "touch up 384 936"});
    s.push_back({255, "touch down 384 910"});  // Play: the boosts screen
    s.push_back({257, "touch up 384 910"});
    dump(320, "01_boosts_with_hint.png");
    tap(325, 230, 50);  // the hint's close button
    dump(345, "02_boosts.png");
    tap(350, 264, 512);  // Get more
    dump(380, "03_boost_point_offer.png");
    tap(385, 226, 334);  // Buy
    dump(400, "04_wait_dialog.png");
    dump(435, "05_points_bought.png");
    const int buyX = 276;
    const auto rowButtonY = [](int row) { return 63 + 60 * row + 42; };
    tap(440, buyX, rowButtonY(0));  // combo 0 -> 1
    tap(450, buyX, rowButtonY(1));  // life 0 -> 1
    tap(460, buyX, rowButtonY(3));  // ray bomb 0 -> 1
    dump(470, "06_boosts_bought.png");
    tap(475, 102, 512);  // Undo, moved right once the buy-more button went
    dump(485, "07_undone.png");
    tap(490, buyX, rowButtonY(5));  // fire ball 0 -> 1
    tap(500, buyX, rowButtonY(5));  // fire ball 1 -> 2
    tap(510, 210, 512);             // Reset, moved right too
    dump(540, "08_reset_question.png");
    tap(545, 226, 326);  // Reset (yes)
    dump(565, "09_reset.png");
    tap(570, 26, 24);  // back
    dump(615, "10_back_at_the_menu.png");
    // Frame 625: the cannot-buy road opens the coin shop (COBBLE_ROAD_SHOP_FRAME) on the boosts
    // screen, which shows no hint any more.
    dump(675, "11_coin_shop.png");
    tap(685, 217, 174);  // the pouch's buy button
    dump(700, "12_wait_for_the_pack.png");
    dump(735, "13_coins_credited.png");
    s.push_back({745, "nav exit"});
    return s;
}

std::string Script() {
    std::string text = "# boosts and the coin shop, by the test road\n";
    for (const TStep& step : Steps()) text += std::to_string(step.frame) + " " + step.line + "\n";
    return text;
}

using namespace runchecks;

// The colours of the boosts screen's blue buttons and of the light spokes, as lit on a screen.
bool ButtonBlue(const std::vector<int>& p) { return p[2] > 150 && p[0] < 90 && p[1] > 60 && p[1] < 170; }
bool Bright(const std::vector<int>& p) { return p[0] > 225 && p[1] > 225 && p[2] > 225; }

// A check of a rectangle of logical pixels.
TPixelCheck Logical(const char* dump, int x0, int y0, int x1, int y1, TPixelTest test, int atLeast, int below,
                    const char* what) {
    return {dump, D(x0), D(y0), D(x1), D(y1), std::move(test), atLeast, below, what};
}

TEST(ShopRoad, BoostsAndACoinPackBoughtInTheRealProgram) {
    const std::filesystem::path shots = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / "shop-road";
    std::filesystem::remove_all(shots);
    std::filesystem::create_directories(shots / "saves");
    const std::filesystem::path script = shots / "road.script";
    std::ofstream(script) << Script();

    const std::string command =
        "timeout 240 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual "
        "COBBLE_SOUND=null COBBLE_FRAMES=3000 COBBLE_PAY=accept COBBLE_PAY_DELAY=30 COBBLE_ROAD_SHOP_FRAME=625 "
        "COBBLE_SCRIPT='" +
        script.string() + "' COBBLE_DUMP_DIR='" + shots.string() + "' COBBLE_SAVE_DIR='" + (shots / "saves").string() +
        "' '" COBBLE_ROAD_PATH "' 2>&1";
    int status = -1;
    const std::string output = RunCommand(command, &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("loading step"), std::string::npos) << output;

    // Logical pixels: the spinner turns about (160, 316); the buy-more button stood at
    // (216..312, 495..529), and reset moves to 162..258 when it goes; titles stand at the top.
    const TPixelCheck checks[] = {
        Logical("02_boosts.png", 110, 8, 210, 40, TitleYellow, 300, 1 << 30, "\"Boosts\""),
        Logical("02_boosts.png", 262, 497, 310, 527, ButtonBlue, 400, 1 << 30, "the buy-more button"),
        Logical("03_boost_point_offer.png", 60, 170, 260, 200, TitleYellow, 300, 1 << 30, "\"Boost points\""),
        Logical("04_wait_dialog.png", 130, 286, 190, 346, Bright, 300, 1 << 30, "the spinner's spokes"),
        Logical("05_points_bought.png", 262, 497, 310, 527, ButtonBlue, 0, 100, "the buy-more button gone"),
        Logical("11_coin_shop.png", 90, 8, 230, 44, TitleYellow, 300, 1 << 30, "\"Coin Shop\""),
        Logical("11_coin_shop.png", 130, 160, 300, 190, Teal, 1000, 1 << 30, "the pouch's buy button"),
        Logical("12_wait_for_the_pack.png", 130, 286, 190, 346, Bright, 300, 1 << 30, "the spinner over the shop"),
    };
    ExpectPixels(shots, checks, 768, 1280, output);

    // The wait dialog gone once each answer came: the screen it dimmed is bright again.
    const auto brightness = [&](const char* dump, int x0, int y0, int x1, int y1) {
        const TPngPixels png = ReadPngFile((shots / dump).string());
        EXPECT_TRUE(png.ok) << dump;
        long sum = 0;
        for (int y = D(y0); png.ok && y < D(y1); ++y)
            for (int x = D(x0); x < D(x1); ++x) sum += png.At(x, y)[0] + png.At(x, y)[1] + png.At(x, y)[2];
        return sum;
    };
    EXPECT_GT(brightness("05_points_bought.png", 0, 440, 60, 480),
              2 * brightness("04_wait_dialog.png", 0, 440, 60, 480));
    EXPECT_GT(brightness("13_coins_credited.png", 120, 150, 300, 195),
              2 * brightness("12_wait_for_the_pack.png", 120, 150, 300, 195));
    // The boost-point hint over the rows on the first visit, darker than the rows it covers,
    // and gone once closed.
    EXPECT_GT(brightness("02_boosts.png", 40, 150, 60, 200), 2 * brightness("01_boosts_with_hint.png", 40, 150, 60, 200));
    EXPECT_LT(brightness("02_boosts.png", 0, 280, 30, 320), brightness("01_boosts_with_hint.png", 0, 280, 30, 320) * 11 / 10)
        << "the hint's panel alone is dark";

    // The exit saved the player: 40 boost points bought, all refunded by the reset; the pouch's
    // 150 coins; the achievement for buying boost points.
    CApplicationData data;
    ReadSavedPlayerData(shots / "saves", data);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(data.m_Profiles.count, 1);
    const TUserProfile& ada = *data.m_Profiles.data[0];
    EXPECT_EQ(ada.GetName(), "Ada");
    EXPECT_EQ(ada.m_nBoostPoints, 40);
    for (int level : ada.m_BoostLevels) EXPECT_EQ(level, 0);
    EXPECT_EQ(ada.m_nCoins, 150);
    EXPECT_TRUE(ada.IsAchievementAwarded(17));
}

}  // namespace
