// The finger on the round's field, as scripted press, move and release: which marble a press
// takes, where a moving finger lays its points, what a release hands over, how the points are
// smoothed (checked against the bisector construction worked out here with plain doubles), and a
// path that catches a marble of its colour. Also the head-up display's rolling score and bar.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "RoundTestGame.h"
#include "game/gameplay/MarblePowerup.h"
#include "render/DrawingHelpers.h"
#include "text/BitmapFont.h"

namespace gameplaytest {
namespace {

struct TTouch {
    int type;  // XPOINTER_PRESS, XPOINTER_MOVE, XPOINTER_RELEASE
    int x, y;
};

class RoundInputTest : public RoundTest {
protected:
    RoundInputTest() = default;
    explicit RoundInputTest(const char* templ) : RoundTest(RoundTextsCsv(), RoundScreenSets(), templ) {}

    void Play(const std::vector<TTouch>& script) {
        for (const TTouch& t : script) (void)screen->NotifyPointerEvent(t.x, t.y, t.type);
    }
    // A drag from (x0, y0) to (x1, y1) in one-pixel steps, then the release there.
    std::vector<TTouch> Swipe(int x0, int y0, int x1, int y1) {
        std::vector<TTouch> script{{XPOINTER_PRESS, x0, y0}};
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 1; i <= steps; ++i)
            script.push_back({XPOINTER_MOVE, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps});
        script.push_back({XPOINTER_RELEASE, x1, y1});
        return script;
    }
};

double Px(FIXED_FLOAT v) { return v / 256.0; }

// At each laid point from the third on (but the last) the two controls lie on the tangent: k from
// the point, k = 102/256 of the shorter leg, on the line perpendicular to the bisector of the
// turn, the one nearer the previous point closing the incoming segment.
template <typename TPoints>
void ExpectControlsOnTheTangents(const TPoints& laid, CMarble* m) {
    const int n = static_cast<int>(laid.size());
    for (int i = 2; i + 1 < n; ++i) {
        SCOPED_TRACE(i);
        const double p0x = laid[i - 1].first, p0y = laid[i - 1].second;
        const double p1x = laid[i].first, p1y = laid[i].second;
        const double p2x = laid[i + 1].first, p2y = laid[i + 1].second;
        const double l1 = std::hypot(p1x - p0x, p1y - p0y), l2 = std::hypot(p1x - p2x, p1y - p2y);
        double bx = (p1x - p0x) / l1 + (p1x - p2x) / l2, by = (p1y - p0y) / l1 + (p1y - p2y) / l2;
        const double bl = std::hypot(bx, by);
        const double k = std::min(l1, l2) * 102.0 / 256.0;
        double ax = p1x, ay = p1y, cx = p1x, cy = p1y;
        if (bl > 1e-6) {
            bx /= bl;
            by /= bl;
            ax = p1x + k * by, ay = p1y - k * bx;
            cx = p1x - k * by, cy = p1y + k * bx;
        }
        if (std::hypot(cx - p0x, cy - p0y) < std::hypot(ax - p0x, ay - p0y)) {
            std::swap(ax, cx);
            std::swap(ay, cy);
        }
        const BezierCurveElement* in = m->m_Path.GetSegment(i - 2);
        const BezierCurveElement* out = m->m_Path.GetSegment(i - 1);
        EXPECT_NEAR(Px(in->m_Points[2].x), ax, 1.0 / 128);
        EXPECT_NEAR(Px(in->m_Points[2].y), ay, 1.0 / 128);
        EXPECT_NEAR(Px(out->m_Points[1].x), cx, 1.0 / 128);
        EXPECT_NEAR(Px(out->m_Points[1].y), cy, 1.0 / 128);
    }
}

constexpr int kWhiteText = 10;  // a colour type past the marbles': no quest adds to it

TEST_F(RoundInputTest, APressAwayFromEveryMarbleTakesNone) {
    CMarble* a = Put(kMarbleRed, 100, 200);
    CMarble* b = Put(kMarbleBlue, 200, 300);
    const FIXED_FLOAT_16 speedA = a->m_nSpeed = 20000;
    // 40 pixels straight right of a is outside (40 x 40 is not below 1600); 30, 30 is 42.4 away.
    for (const TTouch press :
         {TTouch{XPOINTER_PRESS, 140, 200}, TTouch{XPOINTER_PRESS, 130, 230}, TTouch{XPOINTER_PRESS, 160, 260}}) {
        SCOPED_TRACE(std::to_string(press.x) + "," + std::to_string(press.y));
        Play({press, {XPOINTER_MOVE, 100, 200}, {XPOINTER_MOVE, 60, 150}, {XPOINTER_RELEASE, 60, 150}});
        EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
        EXPECT_EQ(screen->m_PathPoints.count, 0);
        EXPECT_EQ(screen->m_DrawingCurve.GetNumSegments(), 0);
        EXPECT_EQ(a->m_Path.GetNumSegments(), 0);
        EXPECT_EQ(b->m_Path.GetNumSegments(), 0);
        EXPECT_EQ(a->m_nSpeed, speedA);
        EXPECT_FALSE(a->m_bOnPath || b->m_bOnPath);
    }
}

TEST_F(RoundInputTest, APressTakesTheNearestMarbleWithin40Pixels) {
    CMarble* far = Put(kMarbleRed, 100, 200);
    CMarble* near = Put(kMarbleGreen, 130, 200);
    Play({{XPOINTER_PRESS, 118, 200}});  // 18 from the first, 12 from the second
    EXPECT_EQ(screen->m_pDraggedMarble, near);
    ASSERT_EQ(screen->m_PathPoints.count, 1);
    EXPECT_EQ(screen->m_PathPoints.data[0].x, 130 * 256) << "the path starts at the marble's centre";
    EXPECT_EQ(screen->m_PathPoints.data[0].y, 200 * 256);
    EXPECT_EQ(screen->m_DragStartPos.x, 118 * 256) << "the drag starts where the finger pressed";
    EXPECT_TRUE(near->m_bEntered);
    // The dragged marble stands still while the finger is down.
    near->m_nSpeed = 30000;
    const TVector2D_16 at = near->m_Position;
    screen->RunProcess();
    EXPECT_EQ(near->m_Position.x, at.x);
    EXPECT_EQ(near->m_Position.y, at.y);
    EXPECT_NE(far, nullptr);
    // A tie keeps the earlier marble of the list.
    Play({{XPOINTER_RELEASE, 118, 200}, {XPOINTER_PRESS, 115, 200}});
    EXPECT_EQ(screen->m_pDraggedMarble, far);
}

// The round's root with one head-up display button standing at (140, 230).
const char* TemplateWithAButton() {
    static const std::string t = [] {
        std::string text = kRoundTemplate;
        const std::string plain = "root = root_GAMEPLAY_NoAds\nend\n";
        text.replace(text.find(plain), plain.size(),
                     "root = root_GAMEPLAY_NoAds\n child = btn_hud_test\n  position = 140, 230\n end\nend\n"
                     "button = btn_hud_test\n set = HudCoin\nend\n");
        return text;
    }();
    return t.c_str();
}

class RoundHudInputTest : public RoundInputTest {
protected:
    RoundHudInputTest() : RoundInputTest(TemplateWithAButton()) {}
};

TEST_F(RoundHudInputTest, AButtonTakesATouchUnlessAMarbleIsDraggedOrTheTutorialPlays) {
    ASSERT_NE(screen->FindChildWithWidgetId("btn_hud_test"), nullptr);
    CMarble* under = Put(kMarbleRed, 145, 235);
    // Nothing dragged: the press on the button is used up, and the marble below stays free.
    EXPECT_EQ(screen->NotifyPointerEvent(141, 231, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
    (void)screen->NotifyPointerEvent(141, 231, XPOINTER_RELEASE);
    // A marble dragged from elsewhere: the finger passing over the button lays its point.
    screen->m_pDraggedMarble = nullptr;
    CMarble* held = Put(kMarbleGreen, 141, 300);
    Play({{XPOINTER_PRESS, 141, 300}});
    ASSERT_EQ(screen->m_pDraggedMarble, held);
    EXPECT_EQ(screen->NotifyPointerEvent(141, 231, XPOINTER_MOVE), 1);
    ASSERT_EQ(screen->m_PathPoints.count, 2);
    EXPECT_EQ(screen->m_PathPoints.data[1].y, 231 * 256);
    Play({{XPOINTER_RELEASE, 141, 231}});
    // The tutorial's own touches always reach the field.
    screen->m_nTutorialInput = 1;
    EXPECT_EQ(screen->NotifyPointerEvent(141, 231, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pDraggedMarble, under);
    screen->m_nTutorialInput = 0;
}

// A resumed round may hold laid points whose curve was lost: the next point starts the curve
// again from the turn it makes.
TEST_F(RoundInputTest, APointLaidAfterALostCurveStartsItAgain) {
    CMarble* m = Put(kMarbleBlue, 60, 300);
    screen->m_pDraggedMarble = m;
    for (int x : {60, 100, 140}) ASSERT_EQ(screen->m_PathPoints.Add(TVector2D{x * 256, 300 * 256}), 1);
    screen->m_LastPathPoint = TVector2D{140 * 256, 300 * 256};
    ASSERT_EQ(screen->m_DrawingCurve.GetNumSegments(), 0);
    Play({{XPOINTER_MOVE, 180, 300}});
    ASSERT_EQ(screen->m_PathPoints.count, 4);
    // A straight run: the control toward the new point is the turn point itself.
    ASSERT_EQ(screen->m_DrawingCurve.GetNumSegments(), 1);
    const BezierCurveElement* s = screen->m_DrawingCurve.GetSegment(0);
    const int xs[4] = {100, 140, 180, 180};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s->m_Points[i].x, xs[i] * 256) << i;
        EXPECT_EQ(s->m_Points[i].y, 300 * 256) << i;
    }
}

// A resumed round may hold a dragged marble that still carries segments of an older path.
TEST_F(RoundInputTest, AReleaseReplacesAnyPathTheHeldMarbleStillHad) {
    CMarble* m = Put(kMarbleBlue, 150, 250);
    Play({{XPOINTER_PRESS, 150, 250}});
    ASSERT_EQ(screen->m_pDraggedMarble, m);
    const TVector2D a{10 * 256, 10 * 256}, b{90 * 256, 90 * 256};
    ASSERT_EQ(m->m_Path.AddSpline(a, a, b, b), 1);
    Play({{XPOINTER_RELEASE, 180, 250}});
    ASSERT_EQ(m->m_Path.GetNumSegments(), 1);
    const BezierCurveElement* s = m->m_Path.GetSegment(0);
    EXPECT_EQ(s->m_Points[0].x, 150 * 256);
    EXPECT_EQ(s->m_Points[3].x, 180 * 256);
    EXPECT_EQ(s->m_Points[3].y, 250 * 256);
}

TEST_F(RoundInputTest, ATouchOfAnotherKindIsNotUsed) {
    CMarble* m = Put(kMarbleRed, 150, 250);
    EXPECT_EQ(screen->NotifyPointerEvent(150, 250, 7), 0);
    EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
    EXPECT_EQ(screen->m_PathPoints.count, 0);
    EXPECT_FALSE(m->m_bRemoved);
}

TEST_F(RoundInputTest, APressReachesAMarbleWhoseCentreIsUnder40PixelsAway) {
    // Offsets of the press from the centre (150, 250), with their squares against 1600.
    const struct {
        int dx, dy;
        bool taken;
    } cases[] = {{39, 7, true},     // 1570
                 {-39, -8, true},   // 1585
                 {24, 31, true},    // 1537
                 {39, 9, false},    // 1602
                 {-24, 32, false},  // 1600
                 {0, 40, false}};   // 1600
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_pDraggedMarble = nullptr;
        CMarble* m = Put(kMarbleRed, 150, 250);
        Play({{XPOINTER_PRESS, 150 + c.dx, 250 + c.dy}});
        EXPECT_EQ(screen->m_pDraggedMarble, c.taken ? m : nullptr) << c.dx << "," << c.dy;
        Play({{XPOINTER_RELEASE, 150 + c.dx, 250 + c.dy}});
    }
}

TEST_F(RoundInputTest, ATapLeavesAnEmptyPathAndTheFreeSpeed) {
    struct TRow {
        bool onPath;
        int dx, dy;  // the tap's offset from the centre
        const char* why;
    };
    for (const TRow row : {TRow{false, 0, 0, "a rolling marble tapped on its centre"},
                           TRow{false, 6, -5, "tapped 8 pixels off its centre"},
                           TRow{true, 0, 0, "a marble on a path loses it and its catch"}}) {
        SCOPED_TRACE(row.why);
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        CMarble* m = Put(kMarbleYellow, 150, 250);
        m->m_nSpeed = 123;
        if (row.onPath) {
            GivePath(m, 250, 250);
            m->m_nCollected = 2;
        }
        const int x = 150 + row.dx, y = 250 + row.dy;
        Play({{XPOINTER_PRESS, x, y}, {XPOINTER_RELEASE, x, y}});
        EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
        EXPECT_EQ(m->m_Path.GetNumSegments(), 0);
        EXPECT_FALSE(m->m_bOnPath);
        EXPECT_EQ(m->m_nCollected, 0);
        EXPECT_EQ(screen->m_nMarblesOnPath, 0);
        EXPECT_EQ(m->m_nSpeed, screen->Difficulty_GetBasicEnemySpeedOnCurrentLevel());
        EXPECT_EQ(m->m_nSpeed, 16384) << "0.25 pixels a frame on the first level";
    }
}

TEST_F(RoundInputTest, AShortSwipeGivesOneStraightSegment) {
    CMarble* m = Put(kMarbleBlue, 150, 250);
    // Pressed 5 pixels left of the centre, released 25 pixels right of it: too short for a
    // second point on the way, far enough from both the centre and the press.
    Play(Swipe(145, 250, 175, 262));
    ASSERT_EQ(m->m_Path.GetNumSegments(), 1);
    const BezierCurveElement* s = m->m_Path.GetSegment(0);
    const TVector2D expected[4] = {
        {150 * 256, 250 * 256}, {150 * 256, 250 * 256}, {175 * 256, 262 * 256}, {175 * 256, 262 * 256}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s->m_Points[i].x, expected[i].x) << i;
        EXPECT_EQ(s->m_Points[i].y, expected[i].y) << i;
    }
    EXPECT_TRUE(m->m_bOnPath);
    EXPECT_EQ(screen->m_nMarblesOnPath, 1);

    // Released within 10 pixels of the press point: no segment, the marble rolls free.
    CMarble* n = Put(kMarbleGreen, 60, 150);
    Play({{XPOINTER_PRESS, 72, 150}, {XPOINTER_RELEASE, 80, 150}});
    EXPECT_EQ(n->m_Path.GetNumSegments(), 0);
    EXPECT_FALSE(n->m_bOnPath);
}

TEST_F(RoundInputTest, EveryFingerPowerUpWithin40PixelsFires) {
    CMarblePowerup* first = screen->SpawnPowerUp(150, 250, kPowerUpCoin);
    CMarblePowerup* second = screen->SpawnPowerUp(170, 260, kPowerUpCoin);
    CMarblePowerup* beyond = screen->SpawnPowerUp(200, 250, kPowerUpCoin);  // 45 from the press
    CMarblePowerup* notByFinger = screen->SpawnPowerUp(150, 270, kPowerUpCoin);
    ASSERT_TRUE(first && second && beyond && notByFinger);
    notByFinger->m_bSetOffByFinger = false;
    CMarble* marble = Put(kMarbleRed, 130, 235);  // 29 from the press
    Play({{XPOINTER_PRESS, 155, 250}});
    EXPECT_TRUE(first->m_bRemoved);
    EXPECT_TRUE(second->m_bRemoved);
    EXPECT_FALSE(beyond->m_bRemoved);
    EXPECT_FALSE(notByFinger->m_bRemoved);
    // The power-up the finger cannot set off is a candidate like a marble: it lies nearer.
    EXPECT_EQ(screen->m_pDraggedMarble, notByFinger);
    EXPECT_NE(marble, nullptr);
}

TEST_F(RoundInputTest, APressPassesOverWhatIsAlreadyLeaving) {
    // A bomb already set off and a marble already flagged removed lie nearest to the press.
    CMarblePowerup* spent = screen->SpawnPowerUp(150, 250, kPowerUpBomb);
    ASSERT_NE(spent, nullptr);
    spent->Activate();
    ASSERT_EQ(screen->m_Animations.count, 1);
    ASSERT_EQ(screen->m_Bombs.count, 1);
    CMarble* leaving = Put(kMarbleRed, 152, 250);
    leaving->m_bRemoved = true;
    CMarble* other = Put(kMarbleGreen, 175, 250);
    Play({{XPOINTER_PRESS, 151, 250}});
    EXPECT_EQ(screen->m_Animations.count, 1) << "no second blast";
    EXPECT_EQ(screen->m_Bombs.count, 1);
    EXPECT_EQ(screen->m_pDraggedMarble, other);
}

TEST_F(RoundInputTest, ATouchDuringThePauseAfterALostLifeChangesNothing) {
    CMarble* runner = Put(kMarbleRed, 150, 250);
    GivePath(runner, 250, 250);
    runner->m_nCollected = 2;
    CMarble* free = Put(kMarbleGreen, 100, 350);
    free->m_bEntered = false;
    CMarblePowerup* coin = screen->SpawnPowerUp(100, 150, kPowerUpCoin);
    const TVector2D finger{7 * 256, 9 * 256};
    for (const TTouch touch :
         {TTouch{XPOINTER_PRESS, 150, 250}, TTouch{XPOINTER_PRESS, 100, 350}, TTouch{XPOINTER_PRESS, 100, 150},
          TTouch{XPOINTER_MOVE, 200, 300}, TTouch{XPOINTER_RELEASE, 200, 300}}) {
        SCOPED_TRACE(std::to_string(touch.type) + " at " + std::to_string(touch.x) + "," + std::to_string(touch.y));
        screen->m_nPauseCounter = 10;
        screen->m_FingerPos = finger;
        EXPECT_EQ(screen->NotifyPointerEvent(touch.x, touch.y, touch.type), 1);
        EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
        EXPECT_EQ(screen->m_FingerPos.x, finger.x);
        EXPECT_EQ(screen->m_FingerPos.y, finger.y);
        EXPECT_EQ(screen->m_PathPoints.count, 0);
        EXPECT_EQ(runner->m_Path.GetNumSegments(), 1);
        EXPECT_TRUE(runner->m_bOnPath);
        EXPECT_EQ(runner->m_nCollected, 2);
        EXPECT_EQ(screen->m_nMarblesOnPath, 1);
        EXPECT_FALSE(free->m_bEntered);
        EXPECT_FALSE(coin->m_bRemoved);
    }
}

TEST_F(RoundInputTest, AnOpenPanelTakesRealTouchesButNotTheTutorialsOwn) {
    screen->Pause();
    ASSERT_NE(screen->FindModalChild(), nullptr);
    CMarble* m = Put(kMarbleRed, 150, 250);
    for (int tutorialInput : {0, 1}) {
        screen->m_nTutorialInput = tutorialInput;
        screen->m_pDraggedMarble = nullptr;
        EXPECT_EQ(screen->NotifyPointerEvent(150, 250, XPOINTER_PRESS), 1);
        EXPECT_EQ(screen->m_pDraggedMarble, tutorialInput ? m : nullptr) << tutorialInput;
    }
    screen->m_nTutorialInput = 0;
}

TEST_F(RoundInputTest, APressOpensTheStatisticsFromAGameOverClockOfFour) {
    screen->m_bGameOver = true;
    screen->m_nGameOverClock = 4 * 65536 - 1;
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pRoundStatsDialog, nullptr);
    screen->m_nGameOverClock = 4 * 65536;
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    EXPECT_NE(screen->m_pRoundStatsDialog, nullptr);
}

TEST_F(RoundInputTest, APressMakesTheMarbleTheFingersFromThatMoment) {
    // A marble on a path, not yet entered, pressed 10 pixels off its centre.
    CMarble* m = Put(kMarbleRed, 150, 250);
    GivePath(m, 300, 250);
    m->m_nPathDistance = 50 * 65536;
    m->m_bEntered = false;
    EXPECT_EQ(screen->NotifyPointerEvent(160, 250, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pDraggedMarble, m);
    EXPECT_EQ(screen->m_FingerPos.x, 150 * 256) << "the finger stands on the marble's centre";
    EXPECT_EQ(screen->m_FingerPos.y, 250 * 256);
    EXPECT_EQ(m->m_Path.GetNumSegments(), 0);
    EXPECT_EQ(m->m_nPathDistance, 0);
    EXPECT_TRUE(m->m_bEntered);
    EXPECT_EQ(screen->NotifyPointerEvent(160, 250, XPOINTER_RELEASE), 1) << "a release is used too";
    // A press away from every marble lets go of the one held and keeps the finger where it is.
    screen->m_pDraggedMarble = m;
    EXPECT_EQ(screen->NotifyPointerEvent(40, 420, XPOINTER_PRESS), 1);
    EXPECT_EQ(screen->m_pDraggedMarble, nullptr);
    EXPECT_EQ(screen->m_FingerPos.x, 40 * 256);
    EXPECT_EQ(screen->m_FingerPos.y, 420 * 256);
}

TEST_F(RoundInputTest, TheReleaseLaysItsOwnPointBeyondTenPixels) {
    // Pressed on the centre (150, 250), moved to (200, 250): the second point.
    struct TCase {
        int releaseX, releaseY;
        int points;
        const char* why;
    };
    const TCase cases[] = {{230, 250, 3, "released 30 pixels on, without a move there"},
                           {210, 250, 2, "exactly 10 pixels from the last point: not laid"},
                           {211, 250, 3, "11 pixels: laid"},
                           {210, 251, 3, "10 across and 1 down, a square of 101: laid"},
                           {209, 254, 2, "9 across and 4 down, a square of 97: not laid"}};
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        Put(kMarbleRed, 150, 250);
        Play({{XPOINTER_PRESS, 150, 250}, {XPOINTER_MOVE, 200, 250}, {XPOINTER_RELEASE, c.releaseX, c.releaseY}});
        ASSERT_EQ(screen->m_PathPoints.count, c.points) << c.why;
        EXPECT_EQ(screen->m_PathPoints.data[c.points - 1].x, (c.points == 3 ? c.releaseX : 200) * 256) << c.why;
    }
}

TEST_F(RoundInputTest, AShortStrokeNeedsMoreThanTenPixelsFromThePress) {
    // Centre (150, 250), pressed at 155: released at 165 (15 from the centre, 10 from the press)
    // gives no segment; at 166 one.
    // (165, 251) is 10 across and 1 down from the press: a square of 101, more than 100.
    const struct { int releaseX, releaseY, segments; } cases[] = {{165, 250, 0}, {166, 250, 1}, {165, 251, 1}};
    for (const auto& c : cases) {
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        CMarble* m = Put(kMarbleRed, 150, 250);
        Play({{XPOINTER_PRESS, 155, 250}, {XPOINTER_RELEASE, c.releaseX, c.releaseY}});
        EXPECT_EQ(screen->m_PathPoints.count, 2) << c.releaseX << "," << c.releaseY;
        EXPECT_EQ(m->m_Path.GetNumSegments(), c.segments) << c.releaseX << "," << c.releaseY;
    }
}

TEST_F(RoundInputTest, PointsAreLaidEvery40PixelsAndSmoothedThroughTheBisector) {
    CMarble* m = Put(kMarbleRed, 60, 400);
    // A finger that goes up, then turns right, then down-right, in one-pixel steps.
    std::vector<TTouch> script{{XPOINTER_PRESS, 60, 400}};
    std::vector<std::pair<int, int>> trail;
    int x = 60, y = 400;
    const auto walk = [&](int dx, int dy, int n) {
        for (int i = 0; i < n; ++i) {
            x += dx;
            y += dy;
            script.push_back({XPOINTER_MOVE, x, y});
            trail.emplace_back(x, y);
        }
    };
    walk(0, -1, 130);
    walk(1, 0, 100);
    walk(1, 1, 90);
    script.push_back({XPOINTER_RELEASE, x, y});
    Play(script);

    // The points, worked out from the trail: the centre, then each position the finger reaches
    // 40 pixels (squared 1600 or more) from the last one, then the release point.
    std::vector<std::pair<double, double>> laid{{60, 400}};
    for (const auto& [tx, ty] : trail) {
        const double dx = tx - laid.back().first, dy = ty - laid.back().second;
        if (dx * dx + dy * dy >= 1600) laid.emplace_back(tx, ty);
    }
    {
        const double dx = x - laid.back().first, dy = y - laid.back().second;
        if (dx * dx + dy * dy > 100) laid.emplace_back(x, y);
    }
    ASSERT_EQ(screen->m_PathPoints.count, static_cast<int>(laid.size()));
    for (std::size_t i = 0; i < laid.size(); ++i) {
        EXPECT_EQ(Px(screen->m_PathPoints.data[i].x), laid[i].first) << i;
        EXPECT_EQ(Px(screen->m_PathPoints.data[i].y), laid[i].second) << i;
    }

    // One segment per point after the second: the first runs from the centre to the third point
    // with the second as its control, each later one from point i - 1 to point i.
    const int n = static_cast<int>(laid.size());
    ASSERT_EQ(m->m_Path.GetNumSegments(), n - 2);
    for (int sIndex = 0; sIndex < n - 2; ++sIndex) {
        const BezierCurveElement* s = m->m_Path.GetSegment(sIndex);
        const int from = sIndex == 0 ? 0 : sIndex + 1, to = sIndex + 2;
        EXPECT_EQ(Px(s->m_Points[0].x), laid[from].first) << sIndex;
        EXPECT_EQ(Px(s->m_Points[0].y), laid[from].second) << sIndex;
        EXPECT_EQ(Px(s->m_Points[3].x), laid[to].first) << sIndex;
        EXPECT_EQ(Px(s->m_Points[3].y), laid[to].second) << sIndex;
    }
    EXPECT_EQ(Px(m->m_Path.GetSegment(0)->m_Points[1].x), laid[1].first);
    EXPECT_EQ(Px(m->m_Path.GetSegment(0)->m_Points[1].y), laid[1].second);
    ExpectControlsOnTheTangents(laid, m);
}

TEST_F(RoundInputTest, LongLegsAndTurnsEveryWayAreSmoothedThroughTheBisectorToo) {
    // Points laid by single jumps of the finger: legs over 181 pixels (measured on coordinates
    // divided by 128), and turns to the left, down and back, so that the control nearer the
    // previous point lies on either side.
    const std::vector<std::vector<std::pair<int, int>>> paths = {
        {{60, 440}, {60, 150}, {290, 150}, {100, 330}, {250, 430}},
        {{290, 80}, {200, 80}, {150, 140}, {90, 150}, {40, 300}, {240, 320}},
        {{30, 100}, {280, 110}, {40, 400}, {290, 440}},
        // Level legs into turns up and down: the two controls then stand equally high above
        // and below the previous point, and only their distance across tells them apart.
        {{60, 300}, {100, 300}, {140, 300}, {170, 270}, {200, 240}},
        {{260, 200}, {220, 200}, {180, 200}, {150, 230}, {120, 260}},
        // A finger that doubles back along its own line: both controls stand equally far from
        // the previous point, and the one the turn's own side gives (above) closes the segment.
        {{60, 300}, {160, 300}, {260, 300}, {180, 300}, {120, 250}},
    };
    for (const auto& laid : paths) {
        SCOPED_TRACE(laid.size());
        screen->m_Marbles.RemoveAll();
        screen->m_nMarblesOnPath = 0;
        CMarble* m = Put(kMarbleRed, laid[0].first, laid[0].second);
        std::vector<TTouch> script{{XPOINTER_PRESS, laid[0].first, laid[0].second}};
        for (std::size_t i = 1; i < laid.size(); ++i) script.push_back({XPOINTER_MOVE, laid[i].first, laid[i].second});
        Play(script);
        // The curve still being drawn is measured as it stands too.
        for (int i = 0; i < screen->m_DrawingCurve.GetNumSegments(); ++i) {
            const BezierCurveElement* segment = screen->m_DrawingCurve.GetSegment(i);
            BezierCurve fresh;
            ASSERT_EQ(
                fresh.AddSpline(segment->m_Points[0], segment->m_Points[1], segment->m_Points[2], segment->m_Points[3]),
                1);
            EXPECT_EQ(segment->GetLength(), fresh.Length()) << "drawing " << i;
        }
        Play({{XPOINTER_RELEASE, laid.back().first, laid.back().second}});
        const int n = static_cast<int>(laid.size());
        ASSERT_EQ(screen->m_PathPoints.count, n);
        ASSERT_EQ(m->m_Path.GetNumSegments(), n - 2);
        // The first segment's first control is the second point, whatever turn it makes there.
        EXPECT_EQ(Px(m->m_Path.GetSegment(0)->m_Points[1].x), laid[1].first);
        EXPECT_EQ(Px(m->m_Path.GetSegment(0)->m_Points[1].y), laid[1].second);
        ExpectControlsOnTheTangents(laid, m);
        // Every segment, the ones whose second control moved included, is measured as it now
        // stands.
        for (int i = 0; i < m->m_Path.GetNumSegments(); ++i) {
            const BezierCurveElement* segment = m->m_Path.GetSegment(i);
            BezierCurve fresh;
            ASSERT_EQ(
                fresh.AddSpline(segment->m_Points[0], segment->m_Points[1], segment->m_Points[2], segment->m_Points[3]),
                1);
            EXPECT_EQ(segment->GetLength(), fresh.Length()) << i;
        }
    }
}

// A straight diagonal swipe whose points are not evenly spaced: the legs of a turn cancel only up
// to rounding, and that rounding must not become a sideways tangent.
TEST_F(RoundInputTest, AStraightSwipeKeepsItsControlsOnTheLine) {
    CMarble* m = Put(kMarbleGreen, 40, 440);
    // Moves that jump along the diagonal by uneven steps.
    std::vector<TTouch> script{{XPOINTER_PRESS, 40, 440}};
    int x = 40, y = 440;
    for (int step : {29, 31, 47, 29, 53, 31, 37, 41}) {
        x += step;
        y -= step;
        script.push_back({XPOINTER_MOVE, x, y});
    }
    script.push_back({XPOINTER_RELEASE, x, y});
    Play(script);
    ASSERT_GE(m->m_Path.GetNumSegments(), 3);
    for (int i = 0; i < m->m_Path.GetNumSegments(); ++i)
        for (const TVector2D& p : m->m_Path.GetSegment(i)->m_Points) {
            // Distance from the line x + y = 480.
            const double off = std::fabs(Px(p.x) + Px(p.y) - 480.0) / std::sqrt(2.0);
            EXPECT_LT(off, 0.01) << "segment " << i;
        }
}

TEST_F(RoundInputTest, AMarbleGivenAPathCatchesOneOfItsColourAndPops) {
    CMarble* runner = Put(kMarbleRed, 60, 300);
    CMarble* target = Put(kMarbleRed, 180, 300);
    Put(kMarbleBlue, 150, 420);
    Play(Swipe(60, 300, 230, 300));
    ASSERT_TRUE(runner->m_bOnPath);
    const int scoreBefore = screen->m_nScore;
    bool caught = false;
    for (int i = 0; i < 600 && screen->m_Marbles.count > 1; ++i) {
        screen->RunProcess();
        caught = caught || runner->m_nCollected >= 1 || screen->m_Marbles.count < 3;
    }
    EXPECT_TRUE(caught);
    ASSERT_EQ(screen->m_Marbles.count, 1) << "both reds popped, the blue stays";
    EXPECT_EQ(screen->m_Marbles.data[0]->m_nColorType, kMarbleBlue);
    EXPECT_GT(screen->m_nScore, scoreBefore);
    EXPECT_EQ(screen->m_nMarblesOnPath, 0);
    EXPECT_NE(target, nullptr);
}

// ---- The head-up display's values ---------------------------------------------------------------

TEST_F(RoundInputTest, TheScoreTextSplitsItsLastThreeCharacters) {
    struct TRow {
        int score;
        const char* head;
        const char* tail;
    };
    for (const TRow row : {TRow{12345, "12,", "345"}, TRow{999, "", "999"}, TRow{0, "", "0"}, TRow{1000, "1,", "000"},
                           TRow{1234567, "1,234,", "567"}}) {
        SCOPED_TRACE(row.score);
        screen->m_nScore = row.score;
        screen->m_nDisplayedScore = -1;
        screen->ProcessScore();
        EXPECT_STREQ(screen->m_ScoreHead.GetDataConst() != nullptr ? screen->m_ScoreHead.GetDataConst() : "", row.head);
        EXPECT_STREQ(screen->m_ScoreTail.GetDataConst(), row.tail);
    }
}

TEST_F(RoundInputTest, TheTailStandsWhereEveryDigitWouldBeAsWideAsNine) {
    // The score font's widths of "9" and "," (odd, so the halves round downwards).
    CBitmapFontText font(&game);
    for (int c = 0; c < 256; ++c) font.SetABCWidth(c, 0, 11, 0);
    font.SetABCWidth('9', 0, 13, 0);
    font.SetABCWidth(',', 0, 5, 0);
    game.m_Fonts[kGameFontScores] = &font;
    const int w9 = font.Length2("9"), wc = font.Length2(",");
    ASSERT_GT(w9, 0);
    int value = 0;
    for (int n = 1; n <= 9; ++n) {
        value = value * 10 + n;  // 1, 12, 123, ... 123456789
        SCOPED_TRACE(value);
        screen->m_nScore = value;
        screen->m_nDisplayedScore = -1;
        screen->ProcessScore();
        const int c = (n - 1) / 3;
        const int expected =
            n > 3 ? 189 + ((n - 3) * w9 + c * wc) - static_cast<int>(std::floor(((n - 3) * w9 + c * wc + 3 * w9) / 2.0))
                  : 189 - static_cast<int>(std::floor(n * w9 / 2.0));
        EXPECT_EQ(screen->m_nScoreTailX, expected);
    }
    game.m_Fonts[kGameFontScores] = nullptr;
}

TEST_F(RoundInputTest, TheDisplayedScoreRollsByAnEighthAndEndsExactly) {
    screen->m_nScore = 100;
    screen->m_nDisplayedScore = -1;
    screen->ProcessScore();
    EXPECT_EQ(screen->m_nDisplayedScore, 100) << "the first update jumps";
    struct TRow {
        int from, to;
    };
    // 105 to 100: an eighth of -5 is -1, held to -2 (98, 96, then 100 exactly).
    for (const TRow row : {TRow{100, 900}, TRow{900, 905}, TRow{905, 100}, TRow{100, 101}, TRow{101, 100},
                           TRow{100, 105}, TRow{105, 100}}) {
        SCOPED_TRACE(std::to_string(row.from) + " to " + std::to_string(row.to));
        // The roll before ended with its step back at 0 by itself.
        ASSERT_EQ(screen->m_nScoreRollStep, 0);
        screen->m_nDisplayedScore = row.from;
        screen->m_nScore = row.to;
        // The step is taken once from the difference (an arithmetic eighth, at least 2 either
        // way) and kept until the score changes.
        const int difference = row.to - row.from;
        int step = difference >> 3;
        if (difference > 0) step = std::max(step, 2);
        if (difference < 0) step = std::min(step, -2);
        int expected = row.from;
        for (int frame = 0; frame < 500 && expected != row.to; ++frame) {
            expected = std::abs(row.to - expected) > std::abs(step) ? expected + step : row.to;
            screen->ProcessScore();
            ASSERT_EQ(screen->m_nDisplayedScore, expected) << "frame " << frame;
        }
        EXPECT_EQ(screen->m_nDisplayedScore, row.to);
        EXPECT_EQ(screen->m_nScoreRollStep, 0);
    }
}

// Points added while an earlier amount is still rolling: AddScore restarts the roll, so the step
// is taken again from the whole difference and the display catches up within nine frames. Level
// 0 of the first arena, no combo and a white text: each amount is added as it is.
// A lesson keeps no score: its display is left as it stands.
TEST_F(RoundInputTest, ALessonLeavesTheScoreDisplayAlone) {
    screen->m_bTutorial = true;
    screen->m_nScore = 1234;
    screen->m_nDisplayedScore = -1;
    screen->m_nScoreTailX = 7;
    screen->ProcessScore();
    EXPECT_EQ(screen->m_nDisplayedScore, -1);
    EXPECT_EQ(screen->m_nScoreTailX, 7);
    EXPECT_EQ(screen->m_ScoreTail.GetDataConst() == nullptr ? std::string() : screen->m_ScoreTail.GetDataConst(), "");
    screen->m_bTutorial = false;
}

TEST_F(RoundInputTest, AddedPointsRestartTheRollSoTheDisplayCatchesUpQuickly) {
    struct TAdd {
        int points, framesAfter;  // the frames the display runs before the next amount
    };
    struct TRow {
        std::vector<TAdd> adds;
        int step;    // the roll step the last amount starts, worked out by hand
        int frames;  // frames from the last amount until the display shows the score
    };
    const TRow rows[] = {
        // 0 -> 10 (step 2, shown 2), then 1000: 998 left, an eighth is 124, 8 steps and the rest.
        {{{10, 1}, {990, 0}}, 124, 9},
        // 100 rolls by 12 (shown 24); 5100: 5076 left, step 634, 8 x 634 = 5072, then the last 4.
        {{{100, 2}, {5000, 0}}, 634, 9},
        // A small amount while a large one rolls: 1010 - 125 = 885 left, step 110.
        {{{1000, 1}, {10, 0}}, 110, 9},
        // 1000 from rest: step 125, seven steps to 875, the eighth frame takes the score.
        {{{1000, 0}}, 125, 8},
        // 17: an eighth is 2; eight steps to 16, the ninth frame the last point.
        {{{17, 0}}, 2, 9},
        // 2: no more than the step left, the first frame takes it.
        {{{2, 0}}, 2, 1},
        // 10, 10, then 100,000 (shown 4): 100,016 left, step 12,502, exactly 8 steps.
        {{{10, 1}, {10, 1}, {100000, 0}}, 12502, 8},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE("row with last step " + std::to_string(row.step));
        screen->m_nScore = 0;
        screen->m_nDisplayedScore = 0;
        screen->m_nScoreRollStep = 0;
        int total = 0;
        for (const TAdd& add : row.adds) {
            screen->AddScore(add.points, 160, 240, 0, kWhiteText, 0);
            total += add.points;
            for (int f = 0; f < add.framesAfter; ++f) screen->ProcessScore();
        }
        ASSERT_EQ(screen->m_nScore, total);
        ASSERT_NE(screen->m_nDisplayedScore, total);
        int frames = 0;
        while (screen->m_nDisplayedScore != total && frames < 1000) {
            const int before = screen->m_nDisplayedScore;
            screen->ProcessScore();
            // The first frame moves by the new step, or takes the score when no more is left.
            if (frames == 0) {
                EXPECT_EQ(screen->m_nDisplayedScore - before, std::min(row.step, total - before));
            }
            ++frames;
        }
        EXPECT_EQ(frames, row.frames);
        EXPECT_EQ(screen->m_nDisplayedScore, total);
        EXPECT_EQ(screen->m_nScoreRollStep, 0);
    }
}

// When a level-up's hold ends, the bar aims at the new level's share of its full width, cut to a
// whole pixel; a level without a target aims at nothing.
TEST_F(RoundInputTest, AfterALevelUpTheBarAimsAtTheNewLevelsShare) {
    struct TRow {
        int cleared, target, fill;
    };
    for (const TRow row : {TRow{3, 21, 23}, TRow{1, 1, 166}, TRow{2, 3, 110}, TRow{0, 5, 0}, TRow{4, 0, 0}}) {
        SCOPED_TRACE(std::to_string(row.cleared) + " of " + std::to_string(row.target));
        screen->m_nFullFillWidth = 166;
        screen->m_nShownFill = screen->m_nTargetFill = 166;
        screen->m_bLevelUpFill = screen->m_bLevelUpHold = true;
        screen->m_nHoldCounter = 1;
        screen->m_nCleared = row.cleared;
        screen->m_nLevelTarget = row.target;
        screen->ProcessVisibleLevelProgress();
        EXPECT_FALSE(screen->m_bLevelUpFill);
        EXPECT_EQ(screen->m_nTargetFill, row.fill);
    }
}

TEST_F(RoundInputTest, TheBarClimbsFallsAndHoldsALevelUp) {
    screen->m_nFullFillWidth = 166;
    screen->m_nShownFill = 0;
    screen->m_nTargetFill = 10;
    const int up[] = {4, 8, 10, 10};
    for (int expected : up) {
        screen->ProcessVisibleLevelProgress();
        EXPECT_EQ(screen->m_nShownFill, expected);
    }
    screen->m_nTargetFill = 0;
    for (int expected : {2, 0, 0}) {
        screen->ProcessVisibleLevelProgress();
        EXPECT_EQ(screen->m_nShownFill, expected);
    }
    // A level-up: the bar fills to the full width, holds 24 frames, then shows the new level's
    // share (3 of 21 cleared: 166 x 3 / 21 = 23.7, cut to 23).
    screen->m_nShownFill = 150;
    screen->m_nTargetFill = 166;
    screen->m_bLevelUpFill = true;
    screen->m_nCleared = 3;
    screen->m_nLevelTarget = 21;
    for (int expected : {154, 158, 162, 166}) {
        screen->ProcessVisibleLevelProgress();
        EXPECT_EQ(screen->m_nShownFill, expected);
    }
    EXPECT_TRUE(screen->m_bLevelUpHold);
    for (int frame = 1; frame < 24; ++frame) {
        screen->ProcessVisibleLevelProgress();
        EXPECT_TRUE(screen->m_bLevelUpHold) << frame;
        EXPECT_EQ(screen->m_nShownFill, 166);
    }
    screen->ProcessVisibleLevelProgress();
    EXPECT_FALSE(screen->m_bLevelUpHold);
    EXPECT_FALSE(screen->m_bLevelUpFill);
    EXPECT_EQ(screen->m_nTargetFill, 23);
    screen->ProcessVisibleLevelProgress();
    EXPECT_EQ(screen->m_nShownFill, 158) << "then down by 8 a frame";
}

}  // namespace
}  // namespace gameplaytest
