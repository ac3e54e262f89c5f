// The boosts screen on the real pak: buying, undoing and resetting against the boost table, what
// a row shows and where it takes touches, the buy-more button's end, and the screen as drawn.
// Expected prices and refunds come from the boost table as the game's design states it, and the
// sizes from the art's stated sizes (bar 150 x 14 with fill caps of 8, buy button 84 x 34, small
// button 96 wide).
//
// Pictures stay in build/<preset>/screens/boosts/ to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ShopTestGame.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/TiledBGTutorial.h"
#include "game/widgets/InAppWaitDlg.h"
#include "game/screens/UpgradesScreen.h"
#include "platform/Control.h"
#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "ui/TextMulti.h"

namespace {

using namespace shoptest;

// The boost table as designed: the price of each level from 1 up, by type.
const std::vector<int> kPrices[kUpgradeTypeCount] = {
    {1, 1, 1, 1}, {1, 2, 3}, {1, 1, 1, 1}, {1, 2, 2, 3}, {1, 2, 2, 3}, {1, 2, 2, 2, 3},
};
constexpr int kBarWidth = 150;
constexpr int kUsable = kBarWidth - 16;
constexpr int kButtonW = 84, kButtonH = 34;
constexpr int kSmallButtonW = 96;
// The list starts 48 down with 15 pixels of room: row i's top on a 480-high screen.
int RowTop(int i) { return 48 + 15 + 60 * i; }

bool Green(const Pixel& p) { return p[1] > 200 && p[0] < 140 && p[2] < 140; }
bool GemBlue(const Pixel& p) { return p[2] > 180 && p[0] < 120; }

class BoostsTest : public ShopTest {
protected:
    explicit BoostsTest(int w = 320, int h = 480) : ShopTest(w, h) {}
    void SetLevels(std::initializer_list<int> levels) {
        int type = 0;
        for (int level : levels) Player().m_BoostLevels[type++] = static_cast<signed char>(level);
    }
    std::vector<int> Levels() {
        return std::vector<int>(std::begin(Player().m_BoostLevels), std::end(Player().m_BoostLevels));
    }
    // The screen with its curtain risen.
    CXUpgradesScreen* Open() {
        EXPECT_TRUE(game.RunUpgradesScreen());
        Ticks(17);
        return game.m_pUpgradesScreen;
    }
    CXUpgradesScrollItem* Row(CXUpgradesScreen* screen, int type) {
        return dynamic_cast<CXUpgradesScrollItem*>(screen->GetList()->GetChildPtrAt(type));
    }
    int Click(CXUpgradesScreen* screen, const char* id) {
        return screen->OnMessage(screen, XMSG_CLICK, XIdParam(id), 0);
    }
};

struct TBuyCase {
    const char* why;
    int points;
    std::vector<int> levels;
    int type;
    bool bought;
    int pointsAfter;
    std::vector<int> levelsAfter;
};

TEST_F(BoostsTest, ABoostIsBoughtForItsNextLevelsPriceOrRefused) {
    const TBuyCase cases[] = {
        {"life 1 to 2 for 2 of 3 points", 3, {0, 1, 0, 0, 0, 0}, 1, true, 1, {0, 2, 0, 0, 0, 0}},
        {"life 2 to 3 costs 3: 1 point is short", 1, {0, 2, 0, 0, 0, 0}, 1, false, 1, {0, 2, 0, 0, 0, 0}},
        {"exactly the price is enough", 3, {0, 0, 0, 0, 0, 4}, 5, true, 0, {0, 0, 0, 0, 0, 5}},
        {"the top level is not bought", 9, {4, 0, 0, 0, 0, 0}, 0, false, 9, {4, 0, 0, 0, 0, 0}},
        {"a type below the table", 9, {0, 0, 0, 0, 0, 0}, -1, false, 9, {0, 0, 0, 0, 0, 0}},
        {"a type past the table", 9, {0, 0, 0, 0, 0, 0}, 6, false, 9, {0, 0, 0, 0, 0, 0}},
        {"a damaged level past the top", 9, {0, 7, 0, 0, 0, 0}, 1, false, 9, {0, 7, 0, 0, 0, 0}},
        {"a damaged level below 0 buys level 1", 9, {0, 0, 0, -3, 0, 0}, 3, true, 8, {0, 0, 0, 1, 0, 0}},
    };
    CXUpgradesScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    for (const TBuyCase& c : cases) {
        SCOPED_TRACE(c.why);
        Player().m_nBoostPoints = c.points;
        for (int t = 0; t < kUpgradeTypeCount; ++t) Player().m_BoostLevels[t] = static_cast<signed char>(c.levels[t]);
        EXPECT_EQ(screen->BuyUpgrade(c.type), c.bought);
        EXPECT_EQ(Player().m_nBoostPoints, c.pointsAfter);
        EXPECT_EQ(Levels(), c.levelsAfter);
    }
}

TEST_F(BoostsTest, EveryLevelOfEveryBoostCostsFortyPointsAndResetGivesThemAllBack) {
    CXUpgradesScreen* screen = Open();
    Player().m_nBoostPoints = 40;
    int bought = 0;
    while (true) {
        bool any = false;
        for (int t = 0; t < kUpgradeTypeCount; ++t) any = screen->BuyUpgrade(t) || any;
        if (!any) break;
        ++bought;
    }
    EXPECT_EQ(Player().m_nBoostPoints, 0);
    EXPECT_EQ(Levels(), (std::vector<int>{4, 3, 4, 4, 4, 5}));
    screen->ResetUpgrades();
    EXPECT_EQ(Player().m_nBoostPoints, 40);
    EXPECT_EQ(Levels(), (std::vector<int>(6, 0)));
}

struct TResetCase {
    const char* why;
    std::vector<int> levels;
    int refund;
};

TEST_F(BoostsTest, ResetRefundsEveryPointSpentOnLevels) {
    const TResetCase cases[] = {
        {"combo 4, life 3, bomb 5", {4, 3, 0, 0, 0, 5}, 4 + (1 + 2 + 3) + (1 + 2 + 2 + 2 + 3)},
        {"nothing bought", {0, 0, 0, 0, 0, 0}, 0},
        {"ray bomb 2, colour bomb 1", {0, 0, 0, 2, 1, 0}, (1 + 2) + 1},
        {"a damaged combo level 40 counts as the top", {40, 0, 0, 0, 0, 0}, 4},
        {"a damaged negative level refunds nothing", {0, -5, 0, 0, 0, 0}, 0},
    };
    CXUpgradesScreen* screen = Open();
    for (const TResetCase& c : cases) {
        SCOPED_TRACE(c.why);
        Player().m_nBoostPoints = 7;
        for (int t = 0; t < kUpgradeTypeCount; ++t) Player().m_BoostLevels[t] = static_cast<signed char>(c.levels[t]);
        screen->ResetUpgrades();
        EXPECT_EQ(Player().m_nBoostPoints, 7 + c.refund);
        EXPECT_EQ(Levels(), (std::vector<int>(6, 0)));
    }
    // The refund above agrees with the designed prices, level by level.
    int combo = 0;
    for (int p : kPrices[0]) combo += p;
    EXPECT_EQ(combo, 4);
}

TEST_F(BoostsTest, UndoGoesBackToTheOpeningStateButKeepsPointsBoughtMeanwhile) {
    Player().m_nBoostPoints = 5;
    SetLevels({1, 0, 2, 0, 0, 0});
    CXUpgradesScreen* screen = Open();
    ASSERT_TRUE(screen->BuyUpgrade(1));
    ASSERT_TRUE(screen->BuyUpgrade(0));
    screen->ResetUpgrades();
    EXPECT_EQ(Player().m_nBoostPoints, 5 - 1 - 1 + (1 + 1) + (1 + 1) + 1);
    EXPECT_EQ(Click(screen, "btn_upgrades_undo"), 1);
    EXPECT_EQ(Player().m_nBoostPoints, 5);
    EXPECT_EQ(Levels(), (std::vector<int>{1, 0, 2, 0, 0, 0}));
    Click(screen, "btn_upgrades_undo");
    EXPECT_EQ(Player().m_nBoostPoints, 5) << "an undo with nothing to undo changes nothing";

    // Forty points bought while the screen is open stay after an undo.
    ASSERT_TRUE(screen->BuyUpgrade(5));
    game.InAppPurchaseFinished(game.m_pPurchaseManager->GetUpgradePointsDef(), 0);
    EXPECT_EQ(Player().m_nBoostPoints, 5 - 1 + 40);
    Click(screen, "btn_upgrades_undo");
    EXPECT_EQ(Player().m_nBoostPoints, 45);
    EXPECT_EQ(Levels(), (std::vector<int>{1, 0, 2, 0, 0, 0}));
}

TEST_F(BoostsTest, TheCommandsBuyResetAndLeave) {
    Player().m_nBoostPoints = 3;
    SetLevels({0, 2, 0, 0, 0, 0});
    CXUpgradesScreen* screen = Open();
    EXPECT_EQ(Click(screen, "boost_combo"), 1);
    EXPECT_EQ(Levels()[0], 1);
    EXPECT_EQ(Click(screen, "boost_life"), 1) << "a refused purchase is still the screen's click";
    EXPECT_EQ(Levels()[1], 2);
    EXPECT_EQ(Player().m_nBoostPoints, 2);

    // Reset asks first; its yes resets and closes the question.
    Click(screen, "btn_upgrades_reset");
    ASSERT_NE(screen->FindChildWithWidgetId("dlg_reset_upgrades"), nullptr);
    Click(screen, "btn_reset_upgrades_yes");
    EXPECT_EQ(Player().m_nBoostPoints, 2 + 1 + (1 + 2));
    EXPECT_EQ(Levels(), (std::vector<int>(6, 0)));
    Ticks(10);
    EXPECT_EQ(screen->FindChildWithWidgetId("dlg_reset_upgrades"), nullptr);

    EXPECT_TRUE(game.posts.empty());
    EXPECT_EQ(Click(screen, "btn_boosts_menu"), 1);
    EXPECT_EQ(game.posts, (std::vector<CRealPakGame::TPost>{{MSG_RUN_PLAY_SCREEN, 0, 0}}));
}

struct TLookCase {
    const char* why;
    int type, level, points;
    bool top, affordable;
    int r, g, b;
    int fill, segment, buttonFrame, buttonAlphaOffset;
};

TEST_F(BoostsTest, EachRowShowsItsStateInColourBarAndButton) {
    const int combo = 4, life = 3;  // steps between levels of the two
    const TLookCase cases[] = {
        {"combo at 0, affordable", 0, 0, 1, false, true, 255, 255, 255, 8, kUsable / combo, 0, 0},
        {"combo at 2, short", 0, 2, 0, false, false, 255, 64, 64, 8 + 2 * kUsable / combo, 0, 1, -64},
        {"life at 1, affordable", 1, 1, 2, false, true, 255, 255, 255, 8 + kUsable / life, kUsable / life, 0, 0},
        {"life at 2, one short of 3", 1, 2, 2, false, false, 255, 64, 64, 8 + 2 * kUsable / life, 0, 1, -64},
        {"life at the top", 1, 3, 0, true, true, 64, 255, 64, kBarWidth, 0, 0, 0},
    };
    CXUpgradesScreen* screen = Open();
    for (const TLookCase& c : cases) {
        SCOPED_TRACE(c.why);
        Player().m_nBoostPoints = c.points;
        Player().m_BoostLevels[c.type] = static_cast<signed char>(c.level);
        Ticks(1);
        CXUpgradesScrollItem* row = Row(screen, c.type);
        const TUpgradeRowLook look = row->Look();
        EXPECT_TRUE(look.shown);
        EXPECT_EQ(look.atTop, c.top);
        EXPECT_EQ(look.affordable, c.affordable);
        EXPECT_EQ(look.r, c.r);
        EXPECT_EQ(look.g, c.g);
        EXPECT_EQ(look.b, c.b);
        EXPECT_EQ(look.fillWidth, c.fill);
        EXPECT_EQ(look.nextSegmentWidth, c.segment);
        EXPECT_EQ(look.button, !c.top);
        if (!c.top) {
            EXPECT_EQ(look.buttonFrame, c.buttonFrame);
            EXPECT_EQ(look.buttonAlphaOffset, c.buttonAlphaOffset);
            EXPECT_EQ(row->GetNextCost(), kPrices[c.type][c.level]);
        }
        EXPECT_EQ(look.glow, c.top) << "the bar art has its glow frame";
    }
}

TEST_F(BoostsTest, ATopRowShowsMaxInGreenAFullGlowingBarNoPriceAndNoTouchArea) {
    Player().m_nBoostPoints = 9;
    SetLevels({4, 0, 0, 0, 0, 0});
    CXUpgradesScreen* screen = Open();
    CXUpgradesScrollItem* top = Row(screen, 0);
    CXUpgradesScrollItem* open = Row(screen, 1);
    const TCoordRect2D button = top->GetButtonRect();
    EXPECT_EQ(button.x, 318 - kButtonW);
    EXPECT_EQ(button.y, 59 - kButtonH);
    EXPECT_EQ(button.width, kButtonW);
    const int cx = button.x + button.width / 2;
    const int cy0 = RowTop(0) + button.y + button.height / 2;
    const int cy1 = RowTop(1) + button.y + button.height / 2;
    EXPECT_FALSE(top->Contains(cx, cy0));
    EXPECT_TRUE(open->Contains(cx, cy1));

    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "boosts", "top_row.png");
    const auto inButton = [&](int row, const std::function<bool(const Pixel&)>& test) {
        return Count(frame, button.x, RowTop(row) + button.y, button.x + button.width, RowTop(row) + 59, test);
    };
    EXPECT_GT(inButton(0, Green), 40) << "\"Max.\"";
    EXPECT_EQ(inButton(0, GemBlue), 0) << "no price, no button";
    EXPECT_GT(inButton(1, GemBlue), 10) << "the next row's price shows its gem";
    EXPECT_EQ(inButton(1, Green) > 40, true) << "the affordable button is green";

    // The full bar: its right end is filled on the top row and empty at level 0.
    const int barX = 2 + 56 + 4, barY = RowTop(0) + 60 - 14 - 1;
    const long topEnd = Sum(frame, barX + kBarWidth - 20, barY + 3, barX + kBarWidth - 10, barY + 11);
    const long emptyEnd = Sum(frame, barX + kBarWidth - 20, barY + 60 + 3, barX + kBarWidth - 10, barY + 60 + 11);
    EXPECT_GT(topEnd, emptyEnd + 10 * 8 * 100);

    // The glow pulses: brighter at its top than at its bottom.
    top->GlowPulse().value = 0.0f;
    const long dim = Sum(Frame(), barX, barY, barX + kBarWidth, barY + 14);
    top->GlowPulse().value = 255.0f;
    const long lit = Sum(Frame(), barX, barY, barX + kBarWidth, barY + 14);
    EXPECT_GT(lit, dim + kBarWidth * 14 * 20);
}

TEST_F(BoostsTest, OnlyTheBuyButtonOfAnAffordableRowTakesATouch) {
    Player().m_nBoostPoints = 1;
    SetLevels({0, 0, 0, 0, 0, 0});
    CXUpgradesScreen* screen = Open();
    CXUpgradesScrollItem* row = Row(screen, 2);
    const TCoordRect2D b = row->GetButtonRect();
    const int top = RowTop(2);
    struct TPoint {
        int x, y;
        bool in;
    } points[] = {
        {b.x, top + b.y, true},
        {b.x + b.width, top + b.y + b.height, true},
        {b.x - 1, top + b.y + 5, false},
        {b.x + b.width + 1, top + b.y + 5, false},
        {b.x + 5, top + b.y - 1, false},
        {b.x + 5, top + b.y + b.height + 1, false},
        {100, top + 30, false},
    };
    for (const TPoint& p : points) EXPECT_EQ(row->Contains(p.x, p.y), p.in) << p.x << "," << p.y;

    // A tap on the caption buys nothing; a tap on the button buys, and the next, now short of
    // points, takes no touch.
    Tap(100, top + 20);
    EXPECT_EQ(Levels()[2], 0);
    Tap(b.x + 10, top + b.y + 10);
    EXPECT_EQ(Levels()[2], 1);
    EXPECT_EQ(Player().m_nBoostPoints, 0);
    Ticks(1);
    EXPECT_FALSE(row->Contains(b.x + 10, top + b.y + 10));
}

TEST_F(BoostsTest, ABuyRestartsEveryHighlightAndTheIconsBreatheOnTheirOwnPhases) {
    Player().m_nBoostPoints = 3;
    CXUpgradesScreen* screen = Open();
    for (int t = 0; t < kUpgradeTypeCount; ++t) {
        const Bouncer& h = Row(screen, t)->HighlightPulse();
        EXPECT_EQ(h.minimum, 32.0f);
        EXPECT_EQ(h.maximum, 192.0f);
        const Bouncer& g = Row(screen, t)->GlowPulse();
        EXPECT_EQ(g.minimum, 0.0f);
        EXPECT_EQ(g.maximum, 255.0f);
    }
    ASSERT_TRUE(screen->BuyUpgrade(4));
    for (int t = 0; t < kUpgradeTypeCount; ++t) {
        const Bouncer& h = Row(screen, t)->HighlightPulse();
        EXPECT_EQ(h.value, 32.0f) << t;
        EXPECT_GT(h.velocity, 0.0f) << t;
    }
    // A phase moves on by 2621 a frame and wraps below 2.0 (131072).
    CXUpgradesScrollDlg* list = screen->GetList();
    std::vector<FIXED_FLOAT_16> before;
    for (int t = 0; t < kUpgradeTypeCount; ++t) {
        before.push_back(list->GetIconPhase(t));
        EXPECT_GE(before.back(), 0);
        EXPECT_LT(before.back(), 131072);
    }
    list->RunProcess();
    for (int t = 0; t < kUpgradeTypeCount; ++t) {
        FIXED_FLOAT_16 expected = before[t] + 2621;
        if (expected > 131071) expected -= 131072;
        EXPECT_EQ(list->GetIconPhase(t), expected) << t;
    }
}

TEST_F(BoostsTest, BoughtBoostPointsTakeTheBuyMoreButtonAwayAndCloseUpUndoAndReset) {
    CXUpgradesScreen* screen = Open();
    XWidget* more = screen->FindChildWithWidgetId("btn_upgrades_more");
    XWidget* undo = screen->FindChildWithWidgetId("btn_upgrades_undo");
    XWidget* reset = screen->FindChildWithWidgetId("btn_upgrades_reset");
    ASSERT_TRUE(more != nullptr && undo != nullptr && reset != nullptr);
    const int undoX = undo->GetDrawingRect().x, resetX = reset->GetDrawingRect().x;
    EXPECT_EQ(screen->OnMessage(&game, MSG_PURCHASES_CHANGED, XIdParam("coins_pouch"), 0), 0)
        << "another product is not the screen's";
    EXPECT_TRUE(more->IsVisible());
    EXPECT_EQ(screen->OnMessage(&game, MSG_PURCHASES_CHANGED, XIdParam("inapp_upgrade_points"), 0), 1);
    EXPECT_FALSE(more->IsVisible());
    EXPECT_EQ(undo->GetDrawingRect().x, undoX + kSmallButtonW / 2 - 2);
    EXPECT_EQ(reset->GetDrawingRect().x, resetX + kSmallButtonW / 2 + 2);
    screen->RearrangeForNoBuyButton();
    EXPECT_EQ(undo->GetDrawingRect().x, undoX + kSmallButtonW / 2 - 2) << "only once";
}

TEST_F(BoostsTest, TheBoostPointDialogHidesItsAnchorAndDrawsThePackOnIt) {
    CXUpgradesScreen* screen = Open();
    Click(screen, "btn_upgrades_more");
    auto* dialog = dynamic_cast<CXUpgradePointsAddDialog*>(screen->FindChildWithWidgetId("dlg_upgrade_coins_add"));
    ASSERT_NE(dialog, nullptr);
    XWidget* anchor = dialog->FindChildWithWidgetId("txt_upgrade_coins_add_x");
    ASSERT_NE(anchor, nullptr);
    EXPECT_FALSE(anchor->IsVisible());
    Ticks(12);
    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "boosts", "boost_point_dialog.png");
    // The pack's gem stands on the anchor's centre (the icon is centred on it).
    const TCoordRect2D r = anchor->GetDrawingRect();
    const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    EXPECT_GT(Count(frame, cx - 12, cy - 12, cx + 12, cy + 12, GemBlue), 30);
    Click(screen, "btn_upgrade_coins_add_no");
    Ticks(10);
    EXPECT_EQ(screen->FindChildWithWidgetId("dlg_upgrade_coins_add"), nullptr);
}

struct TPointsPurchaseCase {
    const char* why;
    platform::TPayAnswerPlan pay;
    bool refuseRequest;
    int points;
    bool achievement;
    std::vector<TBanner> banners;
};

TEST_F(BoostsTest, BuyingBoostPointsThroughThePaymentStandIn) {
    using platform::PayOutcome;
    const TPointsPurchaseCase cases[] = {
        {"accepted", {PayOutcome::Accept, 0, {}}, false, 3 + 40, true,
         {{kAwardAchievement + 17, "", ""}, {kAwardBoostPoints, "40 Boost Points added!", ""}}},
        {"cancelled", {PayOutcome::Cancel, 0, {}}, false, 3, false,
         {{kAwardPurchaseFailed, "In-App Purchase Cancelled!", ""}}},
        {"failed", {PayOutcome::Fail, 2, "busy"}, false, 3, false,
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
        {"the request cannot be made", {PayOutcome::Accept, 0, {}}, true, 3, false,
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
    };
    for (const TPointsPurchaseCase& c : cases) {
        SCOPED_TRACE(c.why);
        Platform(c.pay);
        Player().m_nBoostPoints = 3;
        Player().m_AchievementFlags[17] = 0;
        CXUpgradesScreen* screen = Open();
        const int from = Queued();
        Click(screen, "btn_upgrades_more");
        Ticks(10);
        if (c.refuseRequest) platform::FailNextCall("paymentservice_purchase_request");
        ::testing::internal::CaptureStderr();
        Click(screen, "btn_upgrade_coins_add_yes");
        ::testing::internal::GetCapturedStderr();
        XWidget* wait = screen->FindChildWithWidgetId("dlg_InAppWait");
        ASSERT_NE(dynamic_cast<CXInAppWaitDlg*>(wait), nullptr) << "the wait dialog shows while the service answers";
        DrainAnswers();
        Ticks(12);
        EXPECT_EQ(screen->FindChildWithWidgetId("dlg_InAppWait"), nullptr) << "and is gone with the answer";
        EXPECT_EQ(screen->FindChildWithWidgetId("dlg_upgrade_coins_add"), nullptr) << "the offer closed";
        EXPECT_EQ(Player().m_nBoostPoints, c.points);
        EXPECT_EQ(Player().IsAchievementAwarded(17), c.achievement);
        std::vector<TBanner> banners = BannersFrom(from);
        for (TBanner& b : banners) std::get<1>(b) = std::get<0>(b) == kAwardAchievement + 17 ? "" : std::get<1>(b);
        for (TBanner& b : banners) std::get<2>(b) = std::get<0>(b) == kAwardAchievement + 17 ? "" : std::get<2>(b);
        EXPECT_EQ(banners, c.banners);
        EXPECT_EQ(screen->FindChildWithWidgetId("btn_upgrades_more")->IsVisible(), !c.achievement)
            << "bought points take the buy-more button away";
        Click(screen, "btn_upgrades_undo");
        EXPECT_EQ(Player().m_nBoostPoints, c.points) << "an undo keeps bought points";
    }
}

TEST_F(BoostsTest, TheScreenDoesNotOpenWithoutItsSprites) {
    for (const char* name : {"boost_combo", "boost_bomb", "boost_nest", "upgrade_arrow", "btn_buy_boost",
                             "upgrades_progress", "ScrollerEdge"}) {
        SCOPED_TRACE(name);
        // The set is hidden from look-ups by name for this case.
        CSpriteSet* set = game.m_pSpriteSetManager->GetSpriteSetNamed(name);
        ASSERT_NE(set, nullptr);
        set->m_uNameHash ^= 1;
        EXPECT_FALSE(game.RunUpgradesScreen());
        EXPECT_EQ(game.m_pUpgradesScreen, nullptr);
        EXPECT_EQ(game.GetChildCount(), 0);
        set->m_uNameHash ^= 1;
    }
    EXPECT_TRUE(game.RunUpgradesScreen()) << "with every set it opens";
}

TEST_F(BoostsTest, TheHintReturnsEachVisitUntilClosedThenNeverForThatPlayer) {
    CXUpgradesScreen* screen = Open();
    CFocusedTutorial* hint = screen->GetHint();
    ASSERT_NE(hint, nullptr) << "on the first frame after the curtain";
    EXPECT_EQ(hint->GetKind(), 6);
    EXPECT_EQ(hint->GetFocusWidget(), screen->FindChildWithWidgetId("img_upgrades_dummy10"));
    EXPECT_TRUE(hint->IsShown());

    // Left open, it is there again on the next visit.
    screen = Open();
    ASSERT_NE(screen->GetHint(), nullptr);
    Ticks(30);
    KeepPicture(Frame(), "boosts", "hint.png");

    // A press elsewhere goes on to the screen: the buy button under the hint still buys.
    Player().m_nBoostPoints = 1;
    Ticks(1);
    const TCoordRect2D b = Row(screen, 2)->GetButtonRect();
    Tap(b.x + 10, RowTop(2) + b.y + 10);
    EXPECT_EQ(Levels()[2], 1);
    EXPECT_TRUE(screen->GetHint()->IsShown());

    // Its close button closes it for good.
    hint = screen->GetHint();
    Tap(static_cast<int>(hint->GetCloseX()), static_cast<int>(hint->GetCloseY()));
    EXPECT_FALSE(hint->IsShown());
    EXPECT_TRUE(Player().m_HintFlags[6]);
    Ticks(10);
    EXPECT_EQ(screen->GetHint(), nullptr) << "deleted once faded out";
    screen = Open();
    Ticks(5);
    EXPECT_EQ(screen->GetHint(), nullptr);
    EXPECT_FALSE(screen->IsHintStarted());
}

TEST_F(BoostsTest, TheHintWaitsForAnOpenDialogAndPointsAtTheCounter) {
    ASSERT_TRUE(game.RunUpgradesScreen());
    CXUpgradesScreen* screen = game.m_pUpgradesScreen;
    EXPECT_EQ(screen->DoAction(CommonString("ui_main.txt"), CommonString("acn_reset_upgrades_on")), 1);
    Ticks(40);
    EXPECT_EQ(screen->GetHint(), nullptr) << "not over a dialog";
    EXPECT_FALSE(screen->IsHintStarted());
    Click(screen, "btn_reset_upgrades_no");
    Ticks(12);
    CFocusedTutorial* hint = screen->GetHint();
    ASSERT_NE(hint, nullptr);
    // The text box is two thirds of the screen wide and 100 high, centred less 20 pixels on this
    // 320-wide screen, 64 below the anchor's middle; the panel is centred on it.
    const TCoordRect2D anchor = screen->FindChildWithWidgetId("img_upgrades_dummy10")->GetDrawingRect();
    const double boxX = (320 - 213) / 2 - 20, boxY = anchor.y + anchor.height / 2 + 64;
    const TCoordRect2D panel = static_cast<CTiledBGTutorial*>(hint)->GetPanel();
    EXPECT_NEAR(panel.x + panel.width / 2.0, boxX + 213 / 2.0, 1.0);
    EXPECT_NEAR(panel.y + panel.height / 2.0, boxY + 50, 8.0);
}

TEST_F(BoostsTest, WithoutItsAnchorTheHintIsNotShownThisVisit) {
    ASSERT_TRUE(game.RunUpgradesScreen());
    CXUpgradesScreen* screen = game.m_pUpgradesScreen;
    XWidget* anchor = screen->FindChildWithWidgetId("img_upgrades_dummy10");
    ASSERT_NE(anchor, nullptr);
    screen->RemoveWidget(CommonString("img_upgrades_dummy10"));
    delete anchor;
    EXPECT_FALSE(screen->RunBoostPointsTutorial());
    Ticks(20);
    EXPECT_EQ(screen->GetHint(), nullptr);
    EXPECT_TRUE(screen->IsHintStarted()) << "tried once this visit";
}

TEST_F(BoostsTest, Pictures) {
    Player().m_nBoostPoints = 3;
    SetLevels({4, 1, 0, 2, 0, 5});
    Open();
    Ticks(30);
    KeepPicture(Frame(), "boosts", "rows.png");
}

// On a screen wider than 320 pixels the rows keep to the central 320.
class WideBoostsTest : public BoostsTest {
protected:
    WideBoostsTest() : BoostsTest(480, 480) {}
};

TEST_F(WideBoostsTest, RowsKeepToTheCentralColumnAndTakeTouchesWhereTheButtonIs) {
    Player().m_nBoostPoints = 5;
    CXUpgradesScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    CXUpgradesScrollItem* row = Row(screen, 0);
    const TUpgradeRowLook look = row->Look();
    EXPECT_EQ(look.left, 80);
    EXPECT_EQ(look.right, 400);
    const TCoordRect2D b = row->GetButtonRect();
    EXPECT_EQ(look.buttonCentreX, 80 + b.x + b.width / 2);
    const int y = RowTop(0) + b.y + 5;
    EXPECT_TRUE(row->Contains(80 + b.x + 2, y)) << "where the button is drawn";
    EXPECT_FALSE(row->Contains(b.x + 2, y)) << "not where it would be in a column at the left";

    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "boosts", "wide.png");
    // Nothing of the rows lies outside the column but the separators, which run from x = 0.
    const int top = RowTop(1);
    EXPECT_GT(Sum(frame, 0, top, 60, top + 1), Sum(frame, 0, top + 3, 60, top + 4) + 60 * 40);
    EXPECT_EQ(Count(frame, 400, RowTop(0) + 20, 480, RowTop(0) + 55, GemBlue), 0) << "no button right of the column";
    EXPECT_GT(Count(frame, 80 + b.x, RowTop(0) + b.y, 80 + b.x + b.width, RowTop(0) + 59, GemBlue), 10);
}

}  // namespace
