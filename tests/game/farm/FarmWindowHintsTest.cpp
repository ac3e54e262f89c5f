// The yard's three first-visit hints on the real pak: the purchase hint at once when the player
// can buy something, the progress hint on the 100th frame once the purchase hint was seen, the
// quests hint the same way once quests exist; at most one a visit; closing one marks it seen.
#include <gtest/gtest.h>

#include <cmath>

#include "YardTestGame.h"
#include "game/widgets/TiledBGTutorial.h"

namespace {

class YardHintsTest : public YardTest {
protected:
    void Seen(bool purchase, bool quests, bool progress) {
        player->m_HintFlags[kHintYardPurchase] = purchase;
        player->m_HintFlags[kHintYardQuests] = quests;
        player->m_HintFlags[kHintYardProgress] = progress;
    }
    int HintKind() { return Yard()->m_pHint != nullptr ? Yard()->m_pHint->GetKind() : -1; }
    // Presses the hint's close button through the game and lets it fade away.
    void CloseHint() {
        const int x = static_cast<int>(std::lround(Yard()->m_pHint->GetCloseX()));
        const int y = static_cast<int>(std::lround(Yard()->m_pHint->GetCloseY()));
        Tap(x, y);
        Frames(20);
    }
};

TEST_F(YardHintsTest, ThePurchaseHintShowsAtOnceOnAFirstVisitWithCoinsToBuy) {
    Seen(false, false, false);
    const struct {
        int coins;
        bool shown;
    } rows[] = {{100, true}, {5, true}, {4, false}, {0, false}};  // the cheapest object costs 5
    for (const auto& row : rows) {
        SCOPED_TRACE(row.coins);
        player->m_nCoins = row.coins;
        Open();
        Frames(1);
        EXPECT_EQ(HintKind(), row.shown ? kHintYardPurchase : -1);
        Frames(150);
        EXPECT_EQ(HintKind(), row.shown ? kHintYardPurchase : -1) << "nothing else waits behind it";
    }
}

TEST_F(YardHintsTest, ClosingTheHintMarksItSeenAndNoOtherFollowsInTheVisit) {
    Seen(false, false, false);
    player->m_nCoins = 100;
    Open();
    Frames(1);
    ASSERT_EQ(HintKind(), kHintYardPurchase);
    XWidget* buy = Yard()->FindChildWithWidgetId("btn_BuyItem");
    const TCoordRect2D b = buy->GetDrawingRect();
    const TCoordRect2D panel = static_cast<CTiledBGTutorial*>(Yard()->m_pHint)->GetPanel();
    EXPECT_GT(panel.y, b.y + b.height / 2) << "below the button";
    CloseHint();
    EXPECT_TRUE(player->m_HintFlags[kHintYardPurchase]);
    EXPECT_EQ(Yard()->m_pHint, nullptr);
    // The progress hint would be due now, but a visit shows one hint.
    Frames(200);
    EXPECT_EQ(HintKind(), -1);
    // The next visit shows it on its 100th frame.
    Open();
    Frames(99);
    EXPECT_EQ(HintKind(), -1);
    Frames(1);
    EXPECT_EQ(HintKind(), kHintYardProgress);
}

TEST_F(YardHintsTest, TheQuestsHintWaitsForQuestsAndTheOtherTwo) {
    Seen(true, false, true);
    player->m_nCoins = 100;
    Open();
    Frames(200);
    EXPECT_EQ(HintKind(), -1) << "no quest unlocked yet";
    // The grain feeder unlocks a quest.
    game.m_PendingPurchaseName = CommonString("grain_feeder");
    Frames(1);
    EXPECT_TRUE(Yard()->m_bQuestsHintAvailable);
    Frames(99);
    EXPECT_EQ(HintKind(), -1);
    Frames(1);
    EXPECT_EQ(HintKind(), kHintYardQuests);
    // The quests button marks it seen as it leaves.
    ASSERT_EQ(Click("btn_shop_quests"), 1);
    EXPECT_TRUE(player->m_HintFlags[kHintYardQuests]);
}

TEST_F(YardHintsTest, APurchaseOnAFirstVisitMakesTheProgressHintDue) {
    // The purchase hint was seen on the way to the shop; the first purchase comes back.
    Seen(true, false, false);
    player->m_nCoins = 100;
    game.m_PendingPurchaseName = CommonString("bird2");
    Open();
    Frames(1);
    EXPECT_EQ(game.m_PendingPurchaseName.Length(), 0);
    EXPECT_TRUE(Yard()->m_bProgressHintAvailable);
    // Counted from the frame after the purchase.
    Frames(99);
    EXPECT_EQ(HintKind(), -1);
    Frames(1);
    EXPECT_EQ(HintKind(), kHintYardProgress);
}

TEST_F(YardHintsTest, ThePurchaseHintIsMarkedSeenByTheBuyButtonToo) {
    Seen(false, false, false);
    player->m_nCoins = 100;
    Open();
    Frames(1);
    ASSERT_EQ(HintKind(), kHintYardPurchase);
    ASSERT_EQ(Click("btn_BuyItem"), 1);
    EXPECT_TRUE(player->m_HintFlags[kHintYardPurchase]);
    EXPECT_FALSE(player->m_HintFlags[kHintYardProgress]);
}

// The way from a hint's arrow to its button, in steps of a pixel: where it first enters the
// rectangle, or false when it never does.
bool WayCrosses(double fromX, double fromY, const TCoordRect2D& to, const TCoordRect2D& other) {
    const double toX = to.x + to.width / 2.0, toY = to.y + to.height / 2.0;
    const int steps = static_cast<int>(std::hypot(toX - fromX, toY - fromY)) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double x = fromX + (toX - fromX) * i / steps, y = fromY + (toY - fromY) * i / steps;
        if (x >= other.x && x < other.x + other.width && y >= other.y && y < other.y + other.height) return true;
    }
    return false;
}

TEST_F(YardHintsTest, EachHintsArrowHasAClearWayToItsOwnButton) {
    // The purchase hint points at Buy past the quests button, the quests hint at the quests
    // button past Buy; each arrow turns to its own button's centre.
    Seen(false, false, false);
    player->m_nCoins = 100;
    Open();
    Frames(1);
    ASSERT_EQ(HintKind(), kHintYardPurchase);
    const TCoordRect2D buy = Yard()->FindChildWithWidgetId("btn_BuyItem")->GetDrawingRect();
    const TCoordRect2D quests = Yard()->FindChildWithWidgetId("btn_shop_quests")->GetDrawingRect();
    const CFocusedTutorial* hint = Yard()->m_pHint;
    EXPECT_TRUE(WayCrosses(hint->GetArrowX(), hint->GetArrowY(), buy, buy)) << "the way ends on Buy";
    EXPECT_FALSE(WayCrosses(hint->GetArrowX(), hint->GetArrowY(), buy, quests)) << "the purchase hint passes Quests";

    Seen(true, false, true);
    Open();
    game.m_PendingPurchaseName = CommonString("grain_feeder");
    Frames(101);
    ASSERT_EQ(HintKind(), kHintYardQuests);
    hint = Yard()->m_pHint;
    EXPECT_TRUE(WayCrosses(hint->GetArrowX(), hint->GetArrowY(), quests, quests)) << "the way ends on Quests";
    EXPECT_FALSE(WayCrosses(hint->GetArrowX(), hint->GetArrowY(), quests, buy)) << "the quests hint passes Buy";
}

}  // namespace
