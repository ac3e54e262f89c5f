// The statistics dialog opened from the start menu on the real pak: what it writes for an open and
// for locked arenas, where it anchors its drawn values, and when those appear.
#include <gtest/gtest.h>

#include <string>

#include "FrontEndTestGame.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/StartMenu.h"
#include "game/screens/StatsDialog.h"
#include "ui/Text.h"

namespace {

using Colour = std::array<std::uint8_t, 4>;

std::string TextOf(XWidget* dialog, const char* id) {
    auto* text = dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id));
    if (text == nullptr) return "(missing)";
    return text->GetCaption().Length() > 0 ? text->GetCaption().GetDataConst() : "";
}

class StatsDialogTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped()) return;
        game.m_pArenaManager = new CArenaManager(&game);
        ASSERT_EQ(game.m_pArenaManager->ReadFile(CommonString("Data\\arenas.txt")), 1);
        AddPlayer("Sam");
        TUserProfile* p = game.GetCurrentProfile();
        const int rounds[3] = {1234, 5, 6}, combos[3] = {17, 2, 3}, powerUps[3] = {40, 1, 1}, coins[3] = {12345, 7, 8};
        for (int n = 0; n < 3; ++n) {
            p->m_RoundsPerArena[n] = rounds[n];
            p->m_MatchPerArena[n] = combos[n];
            p->m_PowerUpsPerArena[n] = powerUps[n];
            p->m_CoinsPerArena[n] = coins[n];
        }
        int score = 98765;
        ASSERT_GE(Data().SetLevelHighScoreInfo(CommonString("arena1"), CommonString("Sam"), score), 0);
    }
    CXStatsDialog* Open() {
        EXPECT_TRUE(game.RunStartMenu());
        CXStartMenu2* menu = game.m_pStartMenu;
        EXPECT_EQ(menu->DoAction(CommonString("ui_main.txt"), CommonString("acn_show_stats")), 1);
        return dynamic_cast<CXStatsDialog*>(menu->FindChildWithWidgetId("dlg_stats"));
    }
};

TEST_F(StatsDialogTest, OnlyTheFirstArenaIsOpenAtFirst) {
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    struct TRow {
        const char* id;
        const char* text;
    };
    const TRow rows[] = {
        {"txt_stats_rounds_1_val", "1,234"}, {"txt_stats_rounds_2_val", "-"},    {"txt_stats_rounds_3_val", "-"},
        {"txt_stats_score_1_val", "98,765"}, {"txt_stats_score_2_val", "-"},     {"txt_stats_match_1_val", "17"},
        {"txt_stats_match_3_val", "-"},      {"txt_stats_powerups_1_val", "40"}, {"txt_stats_powerups_2_val", "-"},
        {"txt_stats_xp_level_val", "1"},
    };
    for (const TRow& row : rows) EXPECT_EQ(TextOf(stats, row.id), row.text) << row.id;
    EXPECT_FALSE(stats->FindChildWithWidgetId("txt_stats_score1_locked")->IsVisible());
    EXPECT_TRUE(stats->FindChildWithWidgetId("txt_stats_score2_locked")->IsVisible());
    EXPECT_TRUE(stats->FindChildWithWidgetId("txt_stats_score3_locked")->IsVisible());
    EXPECT_FALSE(stats->FindChildWithWidgetId("img_stats_dummy_gained")->IsVisible()) << "anchors only";
    EXPECT_EQ(stats->m_bArenaUnlocked[0], true);
    EXPECT_EQ(stats->m_bArenaUnlocked[1], false);
}

TEST_F(StatsDialogTest, ACompletedYardOpensItsArena) {
    game.GetCurrentProfile()->AddCompletedYardId(CommonString("yard1"), 1);
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(TextOf(stats, "txt_stats_rounds_2_val"), "5");
    EXPECT_EQ(TextOf(stats, "txt_stats_rounds_3_val"), "-");
    EXPECT_FALSE(stats->FindChildWithWidgetId("txt_stats_score2_locked")->IsVisible());
}

TEST_F(StatsDialogTest, TheAnchorsAreTakenOnTheFirstFrameAtTheCentresOfTheirWidgets) {
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    EXPECT_FALSE(stats->m_bAnchorsReady);
    stats->RunProcess();
    ASSERT_TRUE(stats->m_bAnchorsReady);
    const TCoordRect2D gained = stats->FindChildWithWidgetId("img_stats_dummy_gained")->GetDrawingRect();
    EXPECT_EQ(stats->m_Anchors[CXStatsDialog::kCoinsGained].x, (gained.x + gained.width / 2) << 8);
    EXPECT_EQ(stats->m_Anchors[CXStatsDialog::kCoinsGained].y, (gained.y + gained.height / 2) << 8);
    const TCoordRect2D arena2 = stats->FindChildWithWidgetId("txt_stats_score2_locked")->GetDrawingRect();
    EXPECT_EQ(stats->m_Anchors[CXStatsDialog::kArena2Coins].x, (arena2.x + arena2.width / 2) << 8);
}

TEST_F(StatsDialogTest, WithoutTheCounterIconsTheDialogIsNotMade) {
    EXPECT_TRUE(game.RunStartMenu());
    CXStartMenu2* menu = game.m_pStartMenu;
    game.m_pHudXPSet = nullptr;
    (void)menu->DoAction(CommonString("ui_main.txt"), CommonString("acn_show_stats"));
    EXPECT_EQ(menu->FindChildWithWidgetId("dlg_stats"), nullptr);
}

TEST_F(StatsDialogTest, PictureOfTheDialogOverTheStartMenu) {
    // The loader loads the "ui" sets before the menu opens; the counter icons are two of them.
    for (const char* set : {"HudCoin", "HudXP"}) ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set), 1) << set;
    game.GetCurrentProfile()->m_nBoostPointsEarned = 3;
    CXStatsDialog* stats = Open();
    ASSERT_NE(stats, nullptr);
    Ticks(60);  // the menu's curtain and the dialog's fade-in are over
    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "stats-and-hints", "stats_dialog.png");

    // Around each anchor: the coin's gold (or the boost diamond's blue) left of the middle, the
    // white number right of it; the locked arenas show only their caption.
    const auto isGold = [](Colour p) { return p[0] > 200 && p[1] > 110 && p[1] < 230 && p[2] < 90; };
    const auto isDiamond = [](Colour p) { return p[2] > 200 && p[0] < 140; };
    const auto isWhite = [](Colour p) { return p[0] > 220 && p[1] > 220 && p[2] > 220; };
    const auto around = [&](int anchor, auto test, int fromX, int toX) {
        const int x = stats->m_Anchors[anchor].x >> 8, y = stats->m_Anchors[anchor].y >> 8;
        return mediatest::FindBoxIn(frame, x + fromX, x + toX, test, y - 12, y + 12);
    };
    for (int anchor : {CXStatsDialog::kArena1Coins, CXStatsDialog::kCoinsGained}) {
        SCOPED_TRACE(anchor);
        EXPECT_FALSE(around(anchor, isGold, -45, -10).Empty()) << "the coin";
        EXPECT_FALSE(around(anchor, isWhite, 0, 45).Empty()) << "the number";
    }
    EXPECT_FALSE(around(CXStatsDialog::kBoostPoints, isDiamond, -30, 0).Empty()) << "the boost icon";
    for (int anchor : {CXStatsDialog::kArena2Coins, CXStatsDialog::kArena3Coins})
        EXPECT_TRUE(around(anchor, isGold, -30, 30).Empty()) << "no coins on locked arena " << anchor + 1;
}

}  // namespace
