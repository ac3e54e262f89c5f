// The boosts screen and the coin shop in the real program, headless with the real pak, the
// virtual clock and an input script, from player data seeded past the unlocking of the boosts:
// the start menu, the play screen, its boosts button; on the boosts screen the boost-point hint
// is closed, 40 boost points are bought through the payment stand-in with the wait dialog turning
// meanwhile, boosts are bought, undone, bought again, reset and one bought once more; back on the
// play screen its coin counter opens the coin shop and a pack of coins is bought. The run ends
// with the navigator's exit; the saves and a few pixels of the frames dumped on the way are
// checked.
//
// The screenshots stay in build/<preset>/screens/shop-road/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "RunChecks.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"

namespace {

namespace fs = std::filesystem;
using namespace runchecks;

// The player the run starts from: 5 boost points, the second level of extra lives already bought,
// 30 coins; the boosts unlocked (the award the play screen shows the boosts button for) and the
// coin shop offered; every hint seen but the boosts screen's own.
constexpr int kSeedPoints = 5, kSeedLifeLevel = 1, kSeedCoins = 30;
constexpr int kBoostsUnlocked = 17;
enum { kCombo, kLife, kCoinBonus, kRayBomb, kColourBomb, kFireBall };

// Where things stand, in logical pixels of the 320 x 533 screen: the start menu's Play; the play
// screen's boosts button (at the bottom left) and its coin counter (at the top right); on the
// boosts screen the hint's close button, the back button, the buy-more button and, once it is gone,
// undo and reset moved right, the rows' buy buttons, the Yes of the reset question and the
// boost-point offer's Buy; the coin shop's first row's (the pouch's) buy button.
constexpr double kMenuPlay[] = {160, 379};
constexpr double kPlayBoosts[] = {60, 486}, kPlayCoins[] = {260, 22};
constexpr double kHintClose[] = {230, 50}, kBack[] = {26, 24}, kMore[] = {264, 512};
constexpr double kUndo[] = {102, 512}, kReset[] = {210, 512}, kResetYes[] = {226, 326}, kOfferBuy[] = {226, 334};
constexpr double kRowBuyX = 276;
constexpr double RowBuyY(int row) { return 63 + 60 * row + 42; }
constexpr double kPouchBuy[] = {217, 174};

std::string Road() {
    TScript s;
    s.Tap(200, kMenuPlay[0], kMenuPlay[1]);
    s.Dump(262, "01_play_screen.png");
    s.Tap(265, kPlayBoosts[0], kPlayBoosts[1]);
    s.Dump(330, "02_boosts_with_hint.png");
    s.Tap(335, kHintClose[0], kHintClose[1]);
    s.Dump(355, "03_boosts.png");
    s.Tap(360, kMore[0], kMore[1]);
    s.Dump(390, "04_boost_point_offer.png");
    s.Tap(395, kOfferBuy[0], kOfferBuy[1]);
    s.Dump(410, "05_wait_dialog.png");  // the stand-in answers 30 frames after the request
    s.Dump(445, "06_points_bought.png");
    s.Tap(450, kRowBuyX, RowBuyY(kCombo));
    s.Tap(460, kRowBuyX, RowBuyY(kLife));
    s.Tap(470, kRowBuyX, RowBuyY(kRayBomb));
    s.Dump(480, "07_boosts_bought.png");
    s.Tap(485, kUndo[0], kUndo[1]);
    s.Dump(495, "08_undone.png");
    s.Tap(500, kRowBuyX, RowBuyY(kFireBall));
    s.Tap(510, kRowBuyX, RowBuyY(kFireBall));
    s.Tap(520, kReset[0], kReset[1]);
    s.Dump(550, "09_reset_question.png");
    s.Tap(555, kResetYes[0], kResetYes[1]);
    s.Dump(575, "10_reset.png");
    s.Tap(580, kRowBuyX, RowBuyY(kLife));
    s.Dump(590, "11_life_again.png");
    s.Tap(595, kBack[0], kBack[1]);
    s.Dump(650, "12_back_on_the_play_screen.png");
    s.Tap(655, kPlayCoins[0], kPlayCoins[1]);
    s.Dump(700, "13_coin_shop.png");
    s.Tap(705, kPouchBuy[0], kPouchBuy[1]);
    s.Dump(720, "14_wait_for_the_pack.png");
    s.Dump(755, "15_coins_credited.png");
    s.Line(765, "nav exit");
    return s.text;
}

// The colour of the light spokes, as lit on a screen.
bool Bright(const std::vector<int>& p) { return p[0] > 225 && p[1] > 225 && p[2] > 225; }

TEST(ShopRoad, BoostsAndACoinPackBoughtInTheRealProgram) {
    const fs::path shots = fs::path(COBBLE_BINARY_DIR) / "screens" / "shop-road";
    fs::remove_all(shots);
    programrun::WriteSeededPlayer(shots / "saves", [](TUserProfile& ada) {
        ada.m_nBoostPoints = kSeedPoints;
        ada.m_BoostLevels[kLife] = kSeedLifeLevel;
        ada.m_nCoins = kSeedCoins;
        ada.m_AchievementFlags[kBoostsUnlocked] = 1;
        ada.m_bCoinShopButtonShown = true;
        for (bool& seen : ada.m_HintFlags) seen = true;
        ada.m_HintFlags[kHintBoosts] = false;
    });
    if (::testing::Test::HasFatalFailure()) return;
    const fs::path script = shots / "road.script";
    std::ofstream(script) << Road();

    int status = -1;
    const std::string output = programrun::RunHeadless(
        COBBLE_GAME_PATH, shots, shots / "saves",
        "COBBLE_FRAMES=3000 COBBLE_PAY=accept COBBLE_PAY_DELAY=30 COBBLE_SCRIPT='" + script.string() + "'", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("loading step"), std::string::npos) << output;

    // Logical pixels: the spinner turns about (160, 316); the buy-more button stood at
    // (216..312, 495..529), and reset moves to 162..258 when it goes; titles stand at the top.
    const TPixelCheck checks[] = {
        Logical("01_play_screen.png", 14, 470, 106, 502, ButtonBlue, 400, 1 << 30, "the boosts button"),
        Logical("03_boosts.png", 110, 8, 210, 40, TitleYellow, 300, 1 << 30, "\"Boosts\""),
        Logical("03_boosts.png", 262, 497, 310, 527, ButtonBlue, 400, 1 << 30, "the buy-more button"),
        Logical("04_boost_point_offer.png", 60, 170, 260, 200, TitleYellow, 300, 1 << 30, "\"Boost points\""),
        Logical("05_wait_dialog.png", 130, 286, 190, 346, Bright, 300, 1 << 30, "the spinner's spokes"),
        Logical("06_points_bought.png", 262, 497, 310, 527, ButtonBlue, 0, 100, "the buy-more button gone"),
        Logical("12_back_on_the_play_screen.png", 14, 470, 106, 502, ButtonBlue, 400, 1 << 30, "the boosts button"),
        Logical("13_coin_shop.png", 90, 8, 230, 44, TitleYellow, 300, 1 << 30, "\"Coin Shop\""),
        Logical("13_coin_shop.png", 130, 160, 300, 190, Teal, 1000, 1 << 30, "the pouch's buy button"),
        Logical("14_wait_for_the_pack.png", 130, 286, 190, 346, Bright, 300, 1 << 30, "the spinner over the shop"),
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
    EXPECT_GT(brightness("06_points_bought.png", 0, 440, 60, 480),
              2 * brightness("05_wait_dialog.png", 0, 440, 60, 480));
    EXPECT_GT(brightness("15_coins_credited.png", 120, 150, 300, 195),
              2 * brightness("14_wait_for_the_pack.png", 120, 150, 300, 195));
    // The boost-point hint over the rows on the first visit, darker than the rows it covers,
    // and gone once closed.
    EXPECT_GT(brightness("03_boosts.png", 40, 150, 60, 200),
              2 * brightness("02_boosts_with_hint.png", 40, 150, 60, 200));
    EXPECT_LT(brightness("03_boosts.png", 0, 280, 30, 320),
              brightness("02_boosts_with_hint.png", 0, 280, 30, 320) * 11 / 10)
        << "the hint's panel alone is dark";

    // The exit saved the player. Boost points, with the costs of the levels bought: 5 + 40 for
    // the pack; combo 1, lives 2 and ray bomb 1 (1 + 2 + 1) undone; fire ball 1 and 2 (1 + 2)
    // bought, then the reset refunds them and the seeded lives level 1 (3 + 1): 45 + 1 = 46; lives
    // level 1 bought again for 1: 45. Coins: 30 and the pouch's 150. The hint closed for good.
    CApplicationData data;
    ReadSavedPlayerData(shots / "saves", data);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(data.m_Profiles.count, 1);
    const TUserProfile& ada = *data.m_Profiles.data[0];
    EXPECT_EQ(ada.GetName(), "Ada");
    EXPECT_EQ(ada.m_nBoostPoints, 45);
    const int levels[kBoostCount] = {0, 1, 0, 0, 0, 0};
    for (int type = 0; type < kBoostCount; ++type) EXPECT_EQ(ada.m_BoostLevels[type], levels[type]) << type;
    EXPECT_EQ(ada.m_nCoins, 180);
    EXPECT_TRUE(ada.IsAchievementAwarded(kBoostsUnlocked));
    EXPECT_TRUE(ada.m_HintFlags[kHintBoosts]);
}

}  // namespace
