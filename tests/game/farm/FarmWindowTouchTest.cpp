// The yard's touches on the real pak, through the game object as the platform delivers them:
// which object a finger picks, what a tap and a drag are, where a drag stops, a bird dropped at a
// full feeder, and a yard that ignores touches under a dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "YardTestGame.h"
#include "core/QuorvanUtils.h"
#include "game/farm/Chicken.h"

namespace {

// A 360-pixel wide screen: its sides reach past the yard's at the far edge, where a drag stops.
class YardTouchTest : public YardTest {
protected:
    TCoord2D ScreenSize() const override { return {360, 480}; }
    void SetUp() override {
        YardTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Open();
        player->m_nCoins = 10000;
    }
    // A bought object moved to a world point (pixels).
    CFarmObject* Place(const char* id, int x, int y) {
        CFarmObject* object = Buy(id);
        EXPECT_NE(object, nullptr) << id;
        if (object != nullptr) object->m_Position = TVector2D{x * 256, y * 256};
        return object;
    }
    bool Shown(const char* id) {
        XWidget* w = Yard()->FindChildWithWidgetId(id);
        return w != nullptr && w->IsVisible();
    }
};

TEST_F(YardTouchTest, BirdsWinOverDecorAndTheNearerCentreWins) {
    CFarmObject* tree = Place("apple_tree", 300, 200);
    CFarmObject* hen = Place("bird1", 300, 200);
    // The hen a little behind the tree, its rectangle over the tree's centre: a touch on the tree's
    // centre is nearer the tree's centre than the hen's, and still picks the hen.
    const TRect2D t = tree->GetObjectRect();
    const int tx = (t.x + t.width / 2) >> 8, ty = (t.y + t.height / 2) >> 8;
    bool covered = false;
    for (int depth = 200; depth > 0 && !covered; --depth) {
        hen->m_Position.y = depth * 256;
        const TRect2D h = hen->GetObjectRect();
        covered = PtInRect(tx, ty, &h) && CentreOnScreen(hen).y != ty;
    }
    ASSERT_TRUE(covered);
    EXPECT_EQ(Yard()->HitTestObjectToSelectAt(tx, ty), hen);
    // Without the hen there, the tree.
    hen->m_Position = TVector2D{600 * 256, 320 * 256};
    EXPECT_EQ(Yard()->HitTestObjectToSelectAt(tx, ty), tree);
    // Of two decor objects the nearer centre: a fence in front of the tree's foot.
    CFarmObject* fence = Place("picket_fence", 300, 205);
    const TCoord2D f = CentreOnScreen(fence);
    const TRect2D fr = fence->GetObjectRect();
    ASSERT_TRUE(PtInRect(f.x, f.y, &t));
    ASSERT_TRUE(PtInRect(f.x, f.y, &fr));
    EXPECT_EQ(Yard()->HitTestObjectToSelectAt(f.x, f.y), fence);
    EXPECT_EQ(Yard()->HitTestObjectToSelectAt(tx, ty), tree);
    // Nothing there: none.
    EXPECT_EQ(Yard()->HitTestObjectToSelectAt(5, 300), nullptr);
}

TEST_F(YardTouchTest, OfTwoBirdsTheNearerCentreWinsAndATieGoesToTheLaterOne) {
    CFarmObject* first = Place("bird1", 300, 230);
    CFarmObject* second = Place("bird1", 300, 230);
    for (int side : {1, -1}) {
        SCOPED_TRACE(side);
        // Apart so that the middle between their centres (24.8) is a whole pixel.
        bool even = false;
        int middle = 0;
        for (int dx = 10 * 256; dx < 40 * 256 && !even; ++dx) {
            second->m_Position.x = 300 * 256 + side * dx;
            const TRect2D ra = first->GetObjectRect(), rb = second->GetObjectRect();
            const int sum = (ra.x + ra.width / 2) + (rb.x + rb.width / 2);
            even = sum % 512 == 0;
            middle = sum / 512;
        }
        ASSERT_TRUE(even);
        const TCoord2D a = CentreOnScreen(first), b = CentreOnScreen(second);
        ASSERT_EQ(a.y, b.y);
        EXPECT_EQ(Yard()->HitTestObjectToSelectAt(a.x + side, a.y), first);
        EXPECT_EQ(Yard()->HitTestObjectToSelectAt(b.x - side, a.y), second);
        EXPECT_EQ(Yard()->HitTestObjectToSelectAt(middle, a.y), second) << "a tie: the later one";
    }
}

TEST_F(YardTouchTest, FourteenPixelsKeepATapAndFifteenDrag) {
    CFarmObject* hen = Place("bird1", 200, 250);
    const TCoord2D c = CentreOnScreen(hen);
    for (int d : {14, 15}) {
        SCOPED_TRACE(d);
        const TVector2D before = hen->m_Position;
        Yard()->m_Animations.count = 0;
        Touch(XPOINTER_PRESS, c.x, c.y);
        EXPECT_EQ(Yard()->m_pSelection, hen);
        Touch(XPOINTER_MOVE, c.x + d, c.y);
        EXPECT_EQ(Yard()->m_bDragging, d == 15);
        Touch(XPOINTER_MOVE, c.x + d, c.y - d);
        Touch(XPOINTER_RELEASE, c.x + d, c.y - d);
        EXPECT_EQ(Yard()->m_Animations.count, d == 14 ? 1 : 0) << "a tap leaves a ring";
        EXPECT_EQ(hen->m_Position.x == before.x && hen->m_Position.y == before.y, d == 14);
        EXPECT_EQ(Yard()->m_pSelection, hen) << "the selection stays after the finger lifts";
        hen->m_Position = before;
    }
    // With nothing under the finger, 15 pixels cancel the ring; 14 do not.
    for (int d : {14, 15}) {
        Yard()->m_Animations.count = 0;
        Touch(XPOINTER_PRESS, 30, 300);
        Touch(XPOINTER_MOVE, 30, 300 - d);
        Touch(XPOINTER_RELEASE, 30, 300 - d);
        EXPECT_EQ(Yard()->m_Animations.count, d == 14 ? 1 : 0) << d;
    }
}

TEST_F(YardTouchTest, APressOnEmptyGroundMeasuresTheNextMoveFromItself) {
    CFarmObject* hen = Place("bird1", 200, 250);
    const TCoord2D c = CentreOnScreen(hen);
    Tap(c.x, c.y);
    ASSERT_EQ(Yard()->m_pSelection, hen);
    // Far from the hen's press, on empty ground: a small wobble is still a tap.
    Yard()->m_Animations.count = 0;
    Touch(XPOINTER_PRESS, 280, 300);
    Touch(XPOINTER_MOVE, 285, 302);
    Touch(XPOINTER_RELEASE, 285, 302);
    EXPECT_EQ(Yard()->m_Animations.count, 1);
}

TEST_F(YardTouchTest, ATapOnEmptyGroundClearsTheSelectionAndShowsARing) {
    CFarmObject* tree = Place("apple_tree", 250, 200);
    const TCoord2D c = CentreOnScreen(tree);
    Tap(c.x, c.y);
    ASSERT_EQ(Yard()->m_pSelection, tree);
    EXPECT_TRUE(Shown("btn_SellItem"));
    EXPECT_TRUE(Shown("btn_RotateItem"));
    Yard()->m_Animations.count = 0;
    Tap(20, 440);
    EXPECT_EQ(Yard()->m_pSelection, nullptr);
    EXPECT_FALSE(Shown("btn_SellItem"));
    EXPECT_FALSE(Shown("btn_RotateItem"));
    ASSERT_EQ(Yard()->m_Animations.count, 1);
    EXPECT_EQ(Yard()->m_Animations[0].start.x, 20 * 256);
    EXPECT_EQ(Yard()->m_Animations[0].start.y, 440 * 256);
    // A bird can be sold but not rotated by the button.
    CFarmObject* hen = Place("bird2", 250, 280);
    const TCoord2D h = CentreOnScreen(hen);
    Tap(h.x, h.y);
    ASSERT_EQ(Yard()->m_pSelection, hen);
    EXPECT_TRUE(Shown("btn_SellItem"));
    EXPECT_FALSE(Shown("btn_RotateItem"));
}

TEST_F(YardTouchTest, ADragStopsAtTheYardsSidesItsFrontAndItsTopForTheObject) {
    CFarmObject* tree = Place("apple_tree", 320, 200);
    const FIXED_FLOAT top = Yard()->CalcDragAreaTop(tree);
    // The tree's top limit: its height at the far edge's half scale, as a depth.
    EXPECT_EQ(top, static_cast<FIXED_FLOAT>(std::floor(0.5 * tree->m_Size.y + 0.5)));
    ASSERT_GT(top, 0);
    // The bottom row of the screen lies 314 rows below the far edge: t = 314 / 329.
    const double t = 314.0 / 329.0;
    const FIXED_FLOAT bottomDepth = static_cast<FIXED_FLOAT>(std::lround((1 - 1 / (t + 1)) * 658 * 256));
    const struct {
        const char* where;
        int x, y;            // the finger's last point
        FIXED_FLOAT wx, wy;  // the world point it stops at; -1: not looked at
    } rows[] = {
        // At the far edge a 360-pixel row spans world x -40 to 680.
        {"up and left, off the screen", -400, -500, 0, top},
        {"up and right, off the screen", 1000, -500, kYardWidth, top},
        {"below the screen", 180, 2000, -1, bottomDepth},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        tree->m_Position = TVector2D{320 * 256, 200 * 256};
        const TCoord2D from = CentreOnScreen(tree);
        const TCoord2D anchor = AnchorOnScreen(tree);
        Touch(XPOINTER_PRESS, from.x, from.y);
        Touch(XPOINTER_MOVE, from.x + 20, from.y + 20);
        ASSERT_TRUE(Yard()->m_bDragging);
        // The finger keeps its grab on the tree: the tree's anchor goes where the finger less it is.
        Touch(XPOINTER_MOVE, row.x + (from.x - anchor.x), row.y + (from.y - anchor.y));
        if (row.wx >= 0) {
            EXPECT_EQ(tree->m_Position.x, row.wx);
        }
        EXPECT_NEAR(tree->m_Position.y, row.wy, 1);
        Touch(XPOINTER_RELEASE, row.x, row.y);
        EXPECT_FALSE(Yard()->m_bDragging);
        EXPECT_GE(tree->m_Position.x, 0);
        EXPECT_LE(tree->m_Position.x, kYardWidth);
        EXPECT_GE(tree->m_Position.y, top);
        EXPECT_LE(tree->m_Position.y, kYardDepth);
    }
}

TEST_F(YardTouchTest, ABirdDroppedAtAFullFeederTakesTheSpotOfTheBirdFarthestFromIts) {
    CFarmObject* feeder = Place("grain_feeder", 320, 200);
    // Three birds hold the feeder's three spots, the second one farthest from its spot point.
    CChicken* guests[3];
    for (int i = 0; i < 3; ++i) {
        guests[i] = static_cast<CChicken*>(Place("bird2", 320, 200));
        const TVector2D spot = feeder->GetSpotPoint(i);
        guests[i]->m_Position = TVector2D{spot.x + (i == 1 ? 40 * 256 : 256), spot.y};
        guests[i]->m_nState = kChickenVisit;
        guests[i]->m_pDestination = feeder;
        feeder->m_pOccupants[i] = guests[i];
    }
    ASSERT_EQ(feeder->FindFreeSpot(), -1);
    auto* hen = static_cast<CChicken*>(Place("bird1", 500, 300));
    // Dragged to just below the feeder and dropped.
    const TCoord2D from = CentreOnScreen(hen);
    const TVector2D target =
        WorldToScreen(&game, TVector2D{feeder->m_Position.x + 10 * 256, feeder->m_Position.y + 15 * 256});
    Touch(XPOINTER_PRESS, from.x, from.y);
    Touch(XPOINTER_MOVE, from.x - 20, from.y);
    const TCoord2D grab = {from.x - (AnchorOnScreen(hen).x), from.y - (AnchorOnScreen(hen).y)};
    Touch(XPOINTER_MOVE, (target.x >> 8) + grab.x, (target.y >> 8) + grab.y);
    Touch(XPOINTER_RELEASE, (target.x >> 8) + grab.x, (target.y >> 8) + grab.y);
    EXPECT_EQ(feeder->m_pOccupants[1], hen);
    EXPECT_EQ(hen->m_pDestination, feeder);
    EXPECT_EQ(hen->m_nState, kChickenVisit);
    EXPECT_EQ(guests[1]->m_pDestination, nullptr);
    EXPECT_EQ(guests[1]->m_nState, kChickenWalk) << "the evicted bird walks off";
    EXPECT_EQ(feeder->m_pOccupants[0], guests[0]);
    EXPECT_EQ(feeder->m_pOccupants[2], guests[2]);
}

TEST_F(YardTouchTest, NothingHappensUnderADialog) {
    // The hen near the bottom, clear of the dialog's panel and buttons.
    CFarmObject* hen = Place("bird1", 400, 320);
    CFarmObject* tree = Place("apple_tree", 250, 150);
    Yard()->m_pSelection = tree;
    ASSERT_EQ(Yard()->DoAction(CommonString("ui_main.txt"), CommonString("acn_sell_confirm_on")), 1);
    ASSERT_NE(Yard()->FindModalChild(), nullptr);
    const TVector2D before = hen->m_Position;
    const TCoord2D c = CentreOnScreen(hen);
    Yard()->m_Animations.count = 0;
    Touch(XPOINTER_PRESS, c.x, c.y);
    Touch(XPOINTER_MOVE, c.x + 40, c.y + 10);
    Touch(XPOINTER_RELEASE, c.x + 40, c.y + 10);
    EXPECT_EQ(Yard()->m_pSelection, tree);
    EXPECT_EQ(hen->m_Position.x, before.x);
    EXPECT_EQ(hen->m_Position.y, before.y);
    EXPECT_EQ(Yard()->m_Animations.count, 0);
}

}  // namespace
