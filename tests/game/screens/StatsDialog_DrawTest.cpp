// The statistics dialog's drawn values on a headless OpenGL ES screen: coins per open arena, the
// coins gained in all (locked arenas included) and the boost points earned, each an icon, an "x"
// and the number centred on its anchor widget, appearing over the second half of the fade-in.
// Block fonts and plain icons make every place exact.
#include <gtest/gtest.h>

#include <string>

#include "ScreensTestGame.h"
#include "game/screens/StatsDialog.h"
#include "sprites/SpriteSetManager.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace screenstest;

// Five 80 x 20 anchors without pictures: the three arenas' coins in a row, the gained and the
// current values below.
const char* const kTemplate =
    "dialog = dlg_stats\n size = 320 200\n"
    " child = txt_stats_score1_locked\n  position = 0 10\n end\n"
    " child = txt_stats_score2_locked\n  position = 100 10\n end\n"
    " child = txt_stats_score3_locked\n  position = 200 10\n end\n"
    " child = img_stats_dummy_gained\n  position = 60 70\n end\n"
    " child = img_stats_dummy_current\n  position = 60 130\n end\n"
    "end\n"
    "image = txt_stats_score1_locked\n size = 80 20\nend\n"
    "image = txt_stats_score2_locked\n size = 80 20\nend\n"
    "image = txt_stats_score3_locked\n size = 80 20\nend\n"
    "image = img_stats_dummy_gained\n size = 80 20\nend\n"
    "image = img_stats_dummy_current\n size = 80 20\nend\n";

constexpr int kScreenW = 320, kScreenH = 200;
constexpr int kIcon = 16, kCellW = 4, kCellH = 8;
constexpr Colour kBlue{0, 0, 255, 255};
constexpr Colour kGreen{0, 255, 0, 255};

class StatsDialogDrawTest : public ScreensTest {
protected:
    void SetUp() override {
        if (!UseGl(kScreenW, kScreenH)) GTEST_SKIP() << "no headless EGL / GLES1 here";
        AddImage("coin", Plain(kIcon, kIcon, kBlue));
        AddImage("xp", Plain(kIcon, kIcon, kGreen));
        AddBlockFont("block_small", kCellW, kCellH, kGameFontSmall);
        Mount();
        ReadTemplate(kTemplate);
        game.m_pHudCoinSet = game.m_pSpriteSetManager->GetSpriteSetNamed("coin");
        game.m_pHudXPSet = game.m_pSpriteSetManager->GetSpriteSetNamed("xp");
        // No arena table: only the first arena counts as open.
        TUserProfile* player = AddPlayer(0, 0);
        const int coins[3] = {12345, 87655, 0};
        for (int n = 0; n < 3; ++n) player->m_CoinsPerArena[n] = coins[n];
        player->m_nBoostPointsEarned = 42;
    }
    CXStatsDialog* Open() {
        WidgetContext placement;
        auto* stats = static_cast<CXStatsDialog*>(
            InitOrFreeWidget(new CXStatsDialog(&game, templ.get(), templ->GetWidget("dlg_stats"), &placement)));
        if (stats != nullptr) stats->RunProcess();  // the anchors are taken on the first frame
        opened = stats;
        return stats;
    }
    // The dialog goes before the game, which deletes only its screens.
    void TearDown() override { SAFE_FREE_XELEMENT(opened); }
    mediatest::TImage Drawn(CXStatsDialog* stats) {
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        stats->Draw();
        return gl->Read();
    }

    CXStatsDialog* opened = nullptr;
};

bool IsLit(Colour p) { return p[0] > 0 || p[1] > 0 || p[2] > 0; }

// One group centred on the anchor (ax, ay): the icon's middle moved left by half the group's
// width (half the icon, the 27 pixels to the number, the number with its spacing), in whole
// pixels, and the number 27 pixels right of it.
void ExpectGroup(const mediatest::TImage& img, int ax, int ay, const char* number, int level, int iconChannel) {
    SCOPED_TRACE(number);
    const int numberWidth = static_cast<int>(std::string(number).size()) * (kCellW + kBlockFontSpacing);
    const int iconX = ax - (-kIcon / 2 + 27 + numberWidth) / 2;
    const auto isIcon = [&](Colour p) {
        return std::abs(p[iconChannel] - level) <= 40 && p[0] < 40 && p[3 - iconChannel] < 40;
    };
    const auto isText = [&](Colour p) { return mediatest::Near(p, level, level, level, 40); };
    ExpectSpan(FindBoxIn(img, ax - 60, ax + 60, isIcon, ay - 20, ay + 20), iconX - 8, iconX + 8, ay - 8, ay + 8,
               "icon");
    ExpectSpan(FindBoxIn(img, iconX + 27, ax + 60, isText, ay - 20, ay + 20), iconX + 27,
               iconX + 27 + numberWidth - kBlockFontSpacing, ay - 10, ay - 10 + kCellH, "number");
    const TBox sign = FindBoxIn(img, iconX + 8, iconX + 26, isText, ay - 20, ay + 20);
    EXPECT_FALSE(sign.Empty()) << "the x between them";
    // The whole group, sign and trailing spacing aside, is centred on the anchor.
    const TBox all = FindBoxIn(img, ax - 60, ax + 60, IsLit, ay - 20, ay + 20);
    EXPECT_NEAR((all.left + all.right + 1 + kBlockFontSpacing) / 2.0, ax, 1.0);
}

TEST_F(StatsDialogDrawTest, OpenArenasTheTotalAndTheBoostPointsAreDrawnCentredOnTheirAnchors) {
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    const mediatest::TImage img = Drawn(stats);
    // Anchors at the middles of the 80 x 20 widgets.
    ExpectGroup(img, 40, 20, "12,345", 255, 2);
    EXPECT_TRUE(FindBoxIn(img, 100, 319, IsLit, 0, 40).Empty()) << "arenas 2 and 3 are locked: nothing on them";
    ExpectGroup(img, 100, 80, "100,000", 255, 2);  // 12,345 + 87,655 + 0: the locked arenas count too
    ExpectGroup(img, 100, 140, "42", 255, 1);
}

TEST_F(StatsDialogDrawTest, TheValuesComeInOverTheSecondHalfOfTheFadeIn) {
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    const struct {
        int opacity;  // 0..255
        int level;    // the alpha the values take, 2 x opacity - 255; -1 for nothing drawn
    } cases[] = {{0, -1}, {100, -1}, {127, -1}, {191, 127}, {255, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opacity);
        stats->ApplyOpacity(c.opacity << 8);
        const mediatest::TImage img = Drawn(stats);
        if (c.level < 0) {
            EXPECT_TRUE(FindBox(img, IsLit).Empty()) << "nothing during the first half";
            continue;
        }
        ExpectGroup(img, 40, 20, "12,345", c.level, 2);
    }
}

}  // namespace
