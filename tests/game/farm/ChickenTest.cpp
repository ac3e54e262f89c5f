// Birds, the robot and the mower on their state machine, with seeded randoms: choosing states,
// visiting, walking, turning, edges, taps, drags, healing, icons, views and rectangles.
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "FarmObjectsFixture.h"
#include "game/farm/Robot.h"
#include "game/farm/YardCamera.h"
#include "core/QuorvanUtils.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

using namespace farmtest;

// Runs the creature's frames until the count of frames run reaches `until`.
void RunUntilFrame(CChicken* creature, int& frame, int until) {
    for (; frame < until; ++frame) creature->RunProcess();
}

// Runs the creature's frames while it stays in `state`, at most `limit` of them; answers how many ran.
int RunWhileInState(CChicken* creature, int state, int limit) {
    int frames = 0;
    for (; creature->m_nState == state && frames < limit; ++frames) creature->RunProcess();
    return frames;
}

class Chickens : public FarmObjectsTest {
protected:
    // The only object of the yard: a bird idle after an idle, with no turns pending, jumping upward
    // from the bottom of its bounce and facing right, the start of the jump tests.
    CChicken* LoneJumpingBird() {
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird("bird1", 320, 200);
        bird->m_nState = kChickenIdle;
        bird->m_nPreviousState = kChickenIdle;
        bird->m_nPendingTurns = 0;
        bird->m_bJumping = true;
        bird->m_BouncePhase = 0;
        bird->m_BounceSpeed = 3932;
        bird->m_Direction = TVector2D{256, 0};
        return bird;
    }

    // Seeds the randoms so that the next state a walking bird draws is not a walk, so that the
    // change shows.
    void DrawAStateThatIsNotAWalk() {
        for (unsigned seed = 1; seed < 200; ++seed) {
            auto* reference = static_cast<CChicken*>(farm->CreateFarmObject("bird2"));
            ASSERT_NE(reference, nullptr);
            reference->m_nState = kChickenWalk;
            game.SeedRandoms(seed);
            g_GameRandomTableIndex = 0;
            reference->ChangeState();
            const bool walks = reference->m_nState == kChickenWalk;
            delete reference;
            if (!walks) {
                game.SeedRandoms(seed);
                g_GameRandomTableIndex = 0;
                return;
            }
        }
        FAIL() << "every seed draws a walk";
    }
    CSpriteSet* Set(const char* name) { return game.m_pSpriteSetManager->GetSpriteSetNamed(name); }
    std::string Played(const char* id) {
        return std::string(game.GetSoundsDirectory().GetDataConst()) + "Birds\\" + id;
    }
};

// ---- Choosing ----------------------------------------------------------------------------------

TEST_F(Chickens, AfterAVisitOrTheWalkToTheFrontABirdWalksAndGivesItsSpotBack) {
    auto* trough = Add<CFarmDecorObject>("trough", 320, 160);
    CChicken* bird = Bird("bird1", 300, 150);
    std::set<int> drawn;
    for (int previous : {kChickenWalkToFront, kChickenVisit}) {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            bird->m_nState = kChickenIdle;
            bird->m_nPreviousState = previous;
            trough->m_pOccupants[1] = bird;
            bird->m_pDestination = trough;
            std::srand(seed);
            drawn.insert(std::rand() % 4);
            game.SeedRandoms(seed);
            bird->ChangeState();
            EXPECT_EQ(bird->m_nState, kChickenWalk) << "after " << previous << ", seed " << seed;
            EXPECT_EQ(bird->m_nPreviousState, kChickenIdle);
            if (previous == kChickenVisit) {
                EXPECT_EQ(trough->m_pOccupants[1], nullptr) << "the spot goes back first";
                EXPECT_EQ(bird->m_pDestination, nullptr);
            }
        }
    }
    EXPECT_EQ(drawn.size(), 4u) << "every choice the draw can make was overruled";
}

TEST_F(Chickens, ABirdChoosesEachStateWithTheDraw) {
    Add<CFarmDecorObject>("trough", 320, 160);
    CChicken* bird = Bird("bird2", 100, 100);
    CChicken* mower = Bird("lawn_mower", 500, 100);
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::srand(seed);
        const int draw = std::rand() % 4;
        for (CChicken* creature : {bird, mower}) {
            creature->FreeDestinationObject();
            creature->m_nState = kChickenIdle;
            creature->m_nPreviousState = kChickenIdle;
            game.SeedRandoms(seed);
            creature->ChangeState();
            // A machine walks on a 1 and idles otherwise.
            const int expected = creature == mower ? (draw == 1 ? kChickenWalk : kChickenIdle) : draw;
            EXPECT_EQ(creature->m_nState, expected) << "seed " << seed;
        }
    }
}

TEST_F(Chickens, ABusyPhotoStandIsNeverChosen) {
    auto* stand = Add<CComicForeground>("photostand01", 250, 200);
    CChicken* bird = Bird("bird1", 100, 100);
    struct TCase {
        bool yardOpen;
        int busy;
        int state;
    } cases[] = {
        {true, 1, kChickenIdle}, {true, 2970, kChickenIdle}, {true, 0, kChickenVisit}, {false, 0, kChickenVisit}};
    for (const TCase& c : cases) {
        bird->FreeDestinationObject();
        bird->m_nState = kChickenWalk;
        farm->SetYard(c.yardOpen ? &yard : nullptr);
        yard.m_nBusyCountdown = c.busy;
        bird->ChangeState(kChickenVisit, true, false);
        EXPECT_EQ(bird->m_nState, c.state) << "busy " << c.busy;
        EXPECT_EQ(stand->m_pOccupants[0], c.state == kChickenVisit ? bird : nullptr) << "busy " << c.busy;
        if (c.state == kChickenIdle) {
            EXPECT_EQ(bird->m_nIdleLook, 0) << "a visit that found nothing idles squashing";
            EXPECT_EQ(bird->m_nPreviousState, kChickenIdle);
        } else {
            const TVector2D hole = stand->GetSpotPointForChicken(bird);
            EXPECT_EQ(bird->m_DestinationPoint.x, hole.x) << "the face goes in the hole";
            EXPECT_EQ(bird->m_DestinationPoint.y, hole.y);
        }
    }
}

// ---- The machines ------------------------------------------------------------------------------

TEST_F(Chickens, MowerAndRobotWalkForGoodTurningEvery165To329Frames) {
    for (const char* id : {"lawn_mower", "robot"}) {
        game.SeedRandoms(11);
        CChicken* machine = Bird(id, 320, 160);
        machine->ChangeState(kChickenWalk, true, false);
        int resets = 0;
        for (int frame = 0; frame < 4000; ++frame) {
            const int before = machine->m_nTimer;
            const TVector2D heading = machine->m_Direction;
            const int pending = machine->m_nPendingTurns;
            machine->RunProcess();
            ASSERT_EQ(machine->m_nState, kChickenWalk) << id << " frame " << frame;
            if (pending == 0 && machine->m_nTimer > before) {
                ++resets;
                EXPECT_GE(machine->m_nTimer, 165) << id;
                EXPECT_LE(machine->m_nTimer, 329) << id;
                EXPECT_EQ(before, 1) << id << ": a turn when the timer runs out";
                const int turn = (HeadingAngle(machine->m_Direction) - HeadingAngle(heading) + 360) % 360;
                EXPECT_TRUE(turn == 45 || turn == 315) << id << " turned " << turn;
            }
        }
        EXPECT_GE(resets, 12) << id;
        // A tap changes nothing; a drop sets it walking again.
        machine->OnTap();
        EXPECT_EQ(machine->m_nState, kChickenWalk) << id;
        machine->OnBeginDragging();
        EXPECT_EQ(machine->m_nState, kChickenDragged) << id;
        machine->OnEndDragging();
        EXPECT_EQ(machine->m_nState, kChickenWalk) << id;
        EXPECT_EQ(machine->m_nTimer, 66) << id;
        farm->m_Objects.RemoveAll();
    }
    EXPECT_TRUE(sound->played.empty()) << "machines make no calls";
}

// When a machine's walk timer runs out, one draw of RandomValue(2) picks the side (non-zero: left,
// -45 degrees) and a second, RandomValue(165), the frames to the next turn after 165.
TEST_F(Chickens, AMachineTurnsTheWayItsDrawSaysWhenItsTimerRunsOut) {
    std::set<int> sides;
    for (const char* id : {"lawn_mower", "robot"}) {
        for (unsigned seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(std::string(id) + " seed " + std::to_string(seed));
            farm->m_Objects.RemoveAll();
            CChicken* machine = Bird(id, 320, 160);
            machine->m_nState = kChickenWalk;
            machine->m_nPendingTurns = 0;
            machine->m_nTimer = 1;
            machine->m_Direction = TVector2D{256, 0};
            game.SeedRandoms(seed);
            const int side = game.RandomValue(2);
            const int extra = game.RandomValue(165);
            sides.insert(side != 0 ? 1 : 0);
            game.SeedRandoms(seed);
            machine->RunProcess();
            EXPECT_EQ(machine->m_nState, kChickenWalk);
            EXPECT_EQ(HeadingAngle(machine->m_Direction), side != 0 ? 315 : 45);
            EXPECT_EQ(machine->m_nTimer, 165 + extra);
        }
    }
    EXPECT_EQ(sides.size(), 2u) << "both sides drawn";
}

// A walking bird with turns to make stands and turns: on frames whose timer is below 1 or a
// multiple of 3 it turns 45 degrees to its side (0 right, 1 left) and counts a turn off; the timer
// counts down every frame. Once the turns are made it walks on while its timer lasts, and when its
// timer drops below 1 it chooses its next state.
TEST_F(Chickens, AWalkingBirdMakesItsTurnsEveryThirdFrameThenWalksItsTimerOut) {
    for (const int side : {0, 1}) {
        SCOPED_TRACE(side);
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird("bird1", 320, 160);
        bird->m_nState = kChickenWalk;
        bird->m_Direction = TVector2D{256, 0};
        bird->AdjustSpriteSetFromDir();
        bird->m_nTurnSide = side;
        bird->m_nPendingTurns = 3;
        bird->m_nTimer = 7;
        const TVector2D start = bird->m_Position;
        // Timer before the frame -> turns made so far: 7, 6 (turn), 5, 4, 3 (turn), 2, 1, 0 (turn).
        const int turnsAfter[] = {0, 1, 1, 1, 2, 2, 2, 3};
        for (int f = 0; f < 8; ++f) {
            SCOPED_TRACE(f);
            if (f == 7) DrawAStateThatIsNotAWalk();
            bird->RunProcess();
            const int turns = turnsAfter[f];
            EXPECT_EQ(HeadingAngle(bird->m_Direction), (360 + (side == 0 ? 45 : -45) * turns) % 360);
            if (f < 7) {
                EXPECT_EQ(bird->m_nPendingTurns, 3 - turns);
                EXPECT_EQ(bird->m_nTimer, 6 - f);
                EXPECT_EQ(bird->m_nState, kChickenWalk);
                EXPECT_EQ(bird->m_Position.x, start.x) << "it stands while it turns";
                EXPECT_EQ(bird->m_Position.y, start.y);
            }
        }
        EXPECT_NE(bird->m_nState, kChickenWalk) << "the last turn with the timer out: the next state";

        // One turn left and time to spare: it walks on along its new heading, then chooses.
        farm->m_Objects.RemoveAll();
        bird = Bird("bird1", 320, 160);
        bird->m_nState = kChickenWalk;
        bird->m_Direction = TVector2D{256, 0};
        bird->m_nTurnSide = side;
        bird->m_nPendingTurns = 1;
        bird->m_nTimer = 6;
        bird->RunProcess();
        EXPECT_EQ(bird->m_nPendingTurns, 0);
        EXPECT_EQ(bird->m_nTimer, 5);
        EXPECT_EQ(bird->m_nState, kChickenWalk);
        const TVector2D turned = bird->m_Position;
        for (int f = 1; f <= 4; ++f) {
            bird->RunProcess();
            EXPECT_EQ(bird->m_nState, kChickenWalk) << f;
            EXPECT_EQ(bird->m_nTimer, 5 - f);
        }
        EXPECT_NE(bird->m_Position.y, turned.y) << "it walked on diagonally";
        EXPECT_EQ((bird->m_Position.y - turned.y) > 0, side == 0) << "right turns towards the viewer";
        DrawAStateThatIsNotAWalk();
        bird->RunProcess();
        EXPECT_NE(bird->m_nState, kChickenWalk) << "the timer dropped below 1";
    }
}

TEST_F(Chickens, TheRobotHealsTheLowerIndexBirdOnATieThenRests) {
    CChicken* a = Bird("bird1", 280, 200);
    CChicken* b = Bird("bird2", 320, 200);
    auto* robot = Add<CRobot>("robot", 300, 200);
    // Nobody wanders off: selected creatures keep their idle.
    for (CChicken* creature : {a, b, static_cast<CChicken*>(robot)}) creature->m_bSelected = true;
    robot->RunProcess();
    ASSERT_EQ(robot->m_nHealingCountdown, 66);
    EXPECT_EQ(a->m_nTimer, 82) << "the lower index wins a tie";
    EXPECT_EQ(a->m_Direction.x, 256) << "and faces the robot";
    EXPECT_EQ(a->m_Direction.y, 0);
    EXPECT_EQ(a->m_nState, kChickenIdle);
    EXPECT_NE(b->m_nTimer, 82);
    EXPECT_EQ(robot->m_nTimer, 82);
    EXPECT_EQ(robot->m_Direction.x, -256) << "the robot faces the bird";
    EXPECT_EQ(robot->m_nDirectionSet, 0);
    EXPECT_FALSE(robot->m_bMirrored);
    // 66 frames of healing, 165 of rest, then the next healing.
    int frames = 0;
    do {
        robot->RunProcess();
        ++frames;
    } while (robot->m_nHealingCountdown != 66 && frames < 1000);
    EXPECT_EQ(frames, 66 + 165 + 1);
    // A bird dropped during the rest ends it: the robot heals on the next frame.
    for (int i = 0; i < 66 + 40; ++i) robot->RunProcess();
    ASSERT_GT(robot->m_nHealingPause, 0);
    b->OnBeginDragging();
    b->OnEndDragging();
    EXPECT_EQ(robot->m_nHealingPause, 0);
    robot->RunProcess();
    EXPECT_EQ(robot->m_nHealingCountdown, 66);
}

TEST_F(Chickens, TheRobotLeavesDraggedAndFarBirds) {
    CChicken* far = Bird("bird1", 360, 200);   // 60 across
    CChicken* held = Bird("bird2", 310, 210);  // near, but in the player's hand
    auto* robot = Add<CRobot>("robot", 300, 200);
    held->OnBeginDragging();
    for (int i = 0; i < 5; ++i) robot->RunProcess();
    EXPECT_EQ(robot->m_nHealingCountdown, 0);
    far->m_Position.x = 350 * 256;  // exactly 50 across
    robot->RunProcess();
    EXPECT_EQ(robot->m_nHealingCountdown, 66);
}

// ---- Edges ---------------------------------------------------------------------------------------

TEST_F(Chickens, TheYardsEdgesTurnAWalkingBirdBack) {
    UseScreenWidth(1400);     // the screen's sides lie beyond the yard's
    game.m_nGameWidth = 320;  // the back buffer's width is the one that counts
    CChicken* bird = Bird("bird2", 0, 0);
    struct TCase {
        double x, y;
        int hx, hy;     // heading before
        double ex, ey;  // where it ends
        int sx, sy;     // signs of the heading after (0: that component is 0)
        const char* why;
    } cases[] = {
        {0.5, 100, -256, 0, 0, 100, 1, 0, "x 0 heading left"},
        {639.5, 100, 256, 0, 640, 100, -1, 0, "x 640 heading right"},
        {200, 328.5, 0, 256, 200, 329, 0, -1, "y 329 heading to the viewer"},
        {200, 0.5, 0, -256, 200, 0, 0, 1, "y 0 heading away"},
        {639.5, 328.5, 181, 181, 640, 329, -1, -1, "the near right corner"},
        {1, 100, -256, 0, 0, 100, -1, 0, "a step onto x 0 keeps heading left"},
        {639, 100, 256, 0, 640, 100, 1, 0, "a step onto x 640 keeps heading right"},
        {200, 1, 0, -256, 200, 0, 0, -1, "a step onto y 0 keeps heading away"},
        {200, 328, 0, 256, 200, 329, 0, 1, "a step onto y 329 keeps heading to the viewer"},
        {300, 100, 1024, 0, 301, 100, 1, 0, "a long heading still steps 1.0"},
        {300, 100, 0, -1024, 300, 99, 0, -1, "and along y"},
    };
    for (const TCase& c : cases) {
        bird->m_Position = TVector2D{static_cast<int>(c.x * 256), static_cast<int>(c.y * 256)};
        bird->m_Direction = TVector2D{c.hx, c.hy};
        bird->m_nState = kChickenWalk;
        bird->m_nPendingTurns = 0;
        bird->m_nTimer = 50;
        bird->RunProcess();
        EXPECT_EQ(bird->m_Position.x, static_cast<int>(c.ex * 256)) << c.why;
        EXPECT_EQ(bird->m_Position.y, static_cast<int>(c.ey * 256)) << c.why;
        const auto sign = [](int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); };
        EXPECT_EQ(sign(bird->m_Direction.x), c.sx) << c.why;
        EXPECT_EQ(sign(bird->m_Direction.y), c.sy) << c.why;
        const TDirectionView view = BirdViewOfAngle(HeadingAngle(bird->m_Direction));
        EXPECT_EQ(bird->m_nDirectionSet, view.set) << c.why << ": the view follows";
    }
}

// A walk step whose direction has no sprite set (none loaded, or an index past the sets) holds the
// walk cycle on its first frame.
// Bird 13's cycle leaves out its last frame, which makes no frames at all one fewer still.
TEST_F(Chickens, AWalkWithoutASetForItsViewStaysOnTheFirstFrame) {
    for (const char* id : {"bird2", "bird13"}) {
        CChicken* bird = Bird(id, 320, 160);
        for (int set : {-1, static_cast<int>(bird->m_SpriteSets.count), 99}) {
            bird->m_Direction = TVector2D{256, 0};
            bird->m_nState = kChickenWalk;
            bird->m_nPendingTurns = 0;
            bird->m_nTimer = 50;
            bird->m_nDirectionSet = set;
            bird->m_Frame = 3 * 256 + 10;
            bird->RunProcess();
            EXPECT_EQ(bird->m_Frame, 0) << id << " " << set;
        }
    }
}

// A cycle of one frame (the robot's views) wraps like any other: the counter keeps the part of a
// frame it has walked and drops whole frames, though the frame shown stays the first.
TEST_F(Chickens, AOneFrameWalkCycleKeepsThePartOfAFrameItHasWalked) {
    const struct {
        FIXED_FLOAT speed;  // of the animation, frames per step (24.8)
        FIXED_FLOAT after[5];
    } cases[] = {{96, {96, 192, 32, 128, 224}}, {200, {200, 144, 88, 32, 232}}, {256, {0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        farm->m_Objects.RemoveAll();
        auto* robot = Add<CRobot>("robot", 320, 160);
        robot->m_nState = kChickenWalk;
        robot->m_nPendingTurns = 0;
        robot->m_nTimer = 50;
        robot->m_Direction = TVector2D{256, 0};
        robot->AdjustSpriteSetFromDir();
        ASSERT_EQ(robot->m_SpriteSets[robot->m_nDirectionSet]->GetNumFrames(), 1);
        robot->m_AnimationSpeed = c.speed;
        robot->m_Frame = 0;
        for (int step = 0; step < 5; ++step) {
            robot->RunProcess();
            EXPECT_EQ(robot->m_Frame, c.after[step]) << c.speed << " step " << step;
            EXPECT_EQ(robot->GetCurrentFrame(), robot->m_SpriteSets[robot->m_nDirectionSet]->GetFrame(0));
        }
    }
}

TEST_F(Chickens, TheScreensSidesTurnAWalkingBirdBack) {
    CChicken* bird = Bird("bird2", 0, 0);
    // At depth 160 the screen's 20-pixel margins lie near world x 107 and 533.
    struct TCase {
        double x;
        int hx, hy;
        int angle;  // heading after, degrees
        const char* why;
    } cases[] = {
        {100, -256, 0, 0, "left side, heading left: mirrored"},
        {100, 0, -256, 315, "left side, heading away: turns right"},
        {100, 0, 256, 45, "left side, heading to the viewer: turns left"},
        {540, 256, 0, 180, "right side, heading right: mirrored"},
        {540, 0, 256, 135, "right side, heading to the viewer: turns right"},
        {540, 0, -256, 225, "right side, heading away: turns left"},
        {320, -256, 0, 180, "the middle: nothing turns"},
    };
    for (const TCase& c : cases) {
        bird->m_Position = TVector2D{static_cast<int>(c.x * 256), 160 * 256};
        bird->m_Direction = TVector2D{c.hx, c.hy};
        bird->m_nState = kChickenWalk;
        bird->m_nPendingTurns = 0;
        bird->m_nTimer = 50;
        bird->RunProcess();
        EXPECT_EQ(HeadingAngle(bird->m_Direction), c.angle) << c.why;
    }
}

// On the near edge (depth scale 1.0) world and screen pixels match, the yard's x 320 at the
// screen's middle: on a 320-pixel screen the 20-pixel margins lie at world x 180 and 460. A step
// onto a margin keeps the heading; only a step past it turns the bird back, however little of the
// heading points outwards (a heading of (1, 256) steps 1/256 pixel across).
TEST_F(Chickens, TheScreensMarginsTurnABirdOnlyPastThem) {
    UseScreenWidth(320);
    CChicken* bird = Bird("bird2", 0, 0);
    const struct {
        FIXED_FLOAT x;  // after the step of 1.0
        int hx;
        int sign;    // of the heading's x after
        int hy = 0;  // the step ends on the near edge either way
    } cases[] = {{180 * 256, -256, -1},
                 {180 * 256 - 1, -256, 1},
                 {460 * 256, 256, 1},
                 {460 * 256 + 1, 256, -1},
                 {461 * 256, 256, -1},
                 {460 * 256 + 1, 1, -1, 256},
                 {180 * 256 - 1, -1, 1, 256}};
    for (const auto& c : cases) {
        bird->m_Position = TVector2D{c.x - c.hx, 329 * 256 - c.hy};
        bird->m_Direction = TVector2D{c.hx, c.hy};
        bird->m_nState = kChickenWalk;
        bird->m_nPendingTurns = 0;
        bird->m_nTimer = 50;
        bird->RunProcess();
        ASSERT_EQ(bird->m_Position.x, c.x) << c.hx;
        EXPECT_EQ(bird->m_Direction.x > 0 ? 1 : -1, c.sign) << c.x << " " << c.hx;
    }
}

// ---- Taps and drags ----------------------------------------------------------------------------------

TEST_F(Chickens, ATapBouncesOrSpinsABirdByTheTablesValue) {
    auto* feeder = Add<CFarmDecorObject>("feeder", 320, 200);
    CChicken* bird = Bird("bird1", 100, 100);
    struct TCase {
        int value, side;  // the table's next two values
        unsigned seed;
    } cases[] = {{4, 0, 5}, {17, 0, 6}, {9, 6, 7}, {30000, 3, 8}, {32767, 2, 9}};
    for (const TCase& c : cases) {
        g_GameRandomTable[40] = c.value;
        g_GameRandomTable[41] = c.side;
        g_GameRandomTableIndex = 40;
        bird->ChangeStateToVisitSpot(feeder);
        g_GameRandomTableIndex = 40;
        bird->m_Direction = TVector2D{-256, 0};
        bird->AdjustSpriteSetFromDir();
        sound->played.clear();
        std::srand(c.seed);
        const int pick = std::rand() % 2;
        game.SeedRandoms(c.seed);
        bird->OnTap();
        EXPECT_EQ(bird->m_pDestination, nullptr) << "the spot goes back";
        for (CChicken* occupant : feeder->m_pOccupants) EXPECT_NE(occupant, bird);
        if (c.value % 2 == 0) {
            EXPECT_EQ(bird->m_nState, kChickenIdle) << c.value;
            EXPECT_TRUE(bird->m_bTapBounce);
            EXPECT_EQ(bird->m_BounceSpeed, 7864);
            EXPECT_EQ(bird->m_BouncePhase, 0);
            EXPECT_EQ(bird->m_nTimer, 165);
            EXPECT_EQ(bird->m_nIdleLook, 0);
            EXPECT_EQ(bird->m_nDirectionSet, 3) << "it faces the viewer";
            EXPECT_EQ(bird->m_Frame, 4 * 256) << "bird 1 stands on frame 4";
            EXPECT_EQ(sound->played, std::vector<std::string>{Played(pick == 0 ? "tap_a.wav" : "tap_b.wav")});
            EXPECT_EQ(g_GameRandomTableIndex, 41);
        } else {
            EXPECT_EQ(bird->m_nState, kChickenSpin) << c.value;
            EXPECT_EQ(bird->m_nTimer, 8);
            EXPECT_EQ(bird->m_nTurnSide, c.side % 2);
            EXPECT_EQ(sound->played, std::vector<std::string>{Played("spin.wav")});
            EXPECT_EQ(g_GameRandomTableIndex, 42);
        }
    }
}

// The bob: an idle bird, a mower or a robot in any state and a jumping bird move the phase by the
// speed each frame (0.03 of the way a frame: 1966 of 65536); past 1.0 the phase stands at 1.0 and
// falls, below 0 it stands at 0 and rises again. A bird that walks, spins or is dragged stands
// still in it.
TEST_F(Chickens, TheBobRisesToOneAndFallsBackToZeroWhereItMoves) {
    const struct {
        const char* id;
        int state;
        bool jumping, bobs;
    } cases[] = {
        {"bird1", kChickenIdle, false, true},  {"bird1", kChickenWalk, false, false},
        {"bird1", kChickenSpin, false, false}, {"bird1", kChickenDragged, false, false},
        {"bird2", kChickenWalk, true, true},   {"lawn_mower", kChickenWalk, false, true},
        {"robot", kChickenWalk, false, true},  {"robot", kChickenIdle, false, true},
    };
    // Frames after the start at 0 rising: the phase and the sign of the speed.
    const struct {
        int frame, phase, sign;
    } points[] = {{1, 1966, 1},    {33, 33 * 1966, 1},          {34, 65536, -1}, {35, 65536 - 1966, -1},
                  {67, 65536 - 33 * 1966, -1}, {68, 0, 1}, {69, 1966, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " in state " + std::to_string(c.state));
        farm->m_Objects.RemoveAll();
        CChicken* creature = Bird(c.id, 320, 160);
        ASSERT_NE(creature, nullptr);
        creature->m_nState = c.state;
        creature->m_nPreviousState = kChickenIdle;
        creature->m_nTimer = 10000;
        creature->m_nPendingTurns = 0;
        creature->m_bJumping = c.jumping;
        creature->m_BouncePhase = 0;
        creature->m_BounceSpeed = 1966;
        int frame = 0;
        for (const auto& p : points) {
            RunUntilFrame(creature, frame, p.frame);
            EXPECT_EQ(creature->m_BouncePhase, c.bobs ? p.phase : 0) << "frame " << p.frame;
            EXPECT_EQ(creature->m_BounceSpeed, c.bobs ? p.sign * 1966 : 1966) << "frame " << p.frame;
        }
    }
}

// The phase turns only once it has passed an end: landing exactly on 1.0 or on 0 it goes on the
// same way for one more frame.
TEST_F(Chickens, TheBobTurnsOnlyPastItsEnds) {
    const struct {
        int start, speed;
        int phase1, speed1, phase2, speed2;
    } cases[] = {
        {65536 - 1966, 1966, 65536, 1966, 65536, -1966},
        {1966, -1966, 0, -1966, 0, 1966},
        {65536 - 1965, 1966, 65536, -1966, 65536 - 1966, -1966},
        {1965, -1966, 0, 1966, 1966, 1966},
    };
    CChicken* bird = Bird("bird1", 320, 160);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        bird->m_nState = kChickenIdle;
        bird->m_nTimer = 10000;
        bird->m_BouncePhase = c.start;
        bird->m_BounceSpeed = c.speed;
        bird->RunProcess();
        EXPECT_EQ(bird->m_BouncePhase, c.phase1);
        EXPECT_EQ(bird->m_BounceSpeed, c.speed1);
        bird->RunProcess();
        EXPECT_EQ(bird->m_BouncePhase, c.phase2);
        EXPECT_EQ(bird->m_BounceSpeed, c.speed2);
    }
}

// The bounce after a tap runs four times as fast (7864) and, back at 0, ends at the ordinary bob.
TEST_F(Chickens, TheTapBounceGoesUpAndDownOnceThenTheBobGoesOn) {
    CChicken* bird = Bird("bird1", 320, 160);
    bird->m_nState = kChickenIdle;
    bird->m_nTimer = 10000;
    bird->m_bTapBounce = true;
    bird->m_BouncePhase = 0;
    bird->m_BounceSpeed = 7864;
    const struct {
        int frame, phase, speed;
        bool tap;
    } points[] = {{1, 7864, 7864, true},           {8, 8 * 7864, 7864, true},
                  {9, 65536, -7864, true},         {10, 65536 - 7864, -7864, true},
                  {17, 65536 - 8 * 7864, -7864, true}, {18, 0, 1966, false},
                  {19, 1966, 1966, false}};
    int frame = 0;
    for (const auto& p : points) {
        RunUntilFrame(bird, frame, p.frame);
        EXPECT_EQ(bird->m_BouncePhase, p.phase) << "frame " << p.frame;
        EXPECT_EQ(bird->m_BounceSpeed, p.speed) << "frame " << p.frame;
        EXPECT_EQ(bird->m_bTapBounce, p.tap) << "frame " << p.frame;
    }
}

TEST_F(Chickens, ASpinTurnsEveryThirdFrameUntilTheBirdFacesTheViewer) {
    CChicken* bird = Bird("bird2", 320, 160);
    for (int side : {0, 1}) {
        for (int start : {0, 90, 135, 270}) {
            bird->m_Direction = HeadingOfAngle(start);
            bird->AdjustSpriteSetFromDir();
            bird->m_nState = kChickenSpin;
            bird->m_nTimer = 8;
            bird->m_nTurnSide = side;
            int frames = 0, turns = 0;
            std::vector<int> turnFrames;
            while (bird->m_nState == kChickenSpin && frames < 100) {
                const TVector2D before = bird->m_Direction;
                bird->RunProcess();
                ++frames;
                if (before.x != bird->m_Direction.x || before.y != bird->m_Direction.y) {
                    ++turns;
                    turnFrames.push_back(frames);
                }
            }
            for (std::size_t k = 0; k < turnFrames.size(); ++k)
                EXPECT_EQ(turnFrames[k], 2 + 3 * static_cast<int>(k)) << "turn " << k << " from " << start;
            EXPECT_EQ(bird->m_nPreviousState, kChickenSpin) << "idle after the spin";
            EXPECT_EQ(bird->m_nPendingTurns, 0) << "no turns drawn";
            // Turns at timer 6, 3 and 0 (frames 2, 5, 8), then every third frame; it stops once it
            // faces the viewer at a turn from the third on, going round again if it passed by.
            const int needed = ((side == 0 ? 90 - start : start - 90) + 720) % 360 / 45;
            const int expectedTurns = needed < 3 ? needed + 8 : needed;
            EXPECT_EQ(turns, expectedTurns) << "from " << start << " side " << side;
            EXPECT_EQ(frames, 3 * expectedTurns - 1) << "from " << start << " side " << side;
            EXPECT_EQ(bird->m_nState, kChickenIdle);
            EXPECT_EQ(HeadingAngle(bird->m_Direction), 90);
        }
    }
}

TEST_F(Chickens, ADraggedBirdFlapsAndTurnsToTheViewerThenWalksOff) {
    CChicken* bird = Bird("bird2", 320, 160);
    auto* robot = Add<CRobot>("robot", 500, 100);
    robot->m_nHealingPause = 100;
    bird->m_Direction = HeadingOfAngle(270);
    bird->AdjustSpriteSetFromDir();
    bird->m_bJumping = true;
    bird->OnBeginDragging();
    EXPECT_TRUE(bird->m_bDragging);
    EXPECT_FALSE(bird->m_bJumping);
    EXPECT_EQ(bird->m_nState, kChickenDragged);
    // 270 to 90 turning right: 315, 0, 45, 90 at frames 0, 3, 6, 9; two walk frames a frame.
    for (int frame = 0; frame < 12; ++frame) {
        bird->RunProcess();
        const int turns = std::min(frame / 3 + 1, 4);
        EXPECT_EQ(HeadingAngle(bird->m_Direction), (270 + 45 * turns) % 360) << frame;
        EXPECT_EQ(bird->m_Frame, ((frame + 1) * 2 % 8) * 256) << frame;
    }
    bird->OnEndDragging();
    EXPECT_FALSE(bird->m_bDragging);
    EXPECT_EQ(bird->m_nState, kChickenWalk);
    EXPECT_EQ(bird->m_nTimer, 66);
    EXPECT_EQ(robot->m_nHealingPause, 0) << "a dropped bird ends every robot's rest";
}

// ---- Visits --------------------------------------------------------------------------------------

TEST_F(Chickens, ABirdArrivesOnItsSpotAndDoesWhatTheSpotSays) {
    struct TCase {
        const char* object;
        const char* sound;  // null: none
        bool jumping;
        bool flash;
    } cases[] = {
        {"feeder", "eat", false, false},  {"trough", "drink.wav", false, false},  {"lamp", "what.wav", false, false},
        {"hay", "what.wav", true, false}, {"photostand01", nullptr, false, true}, {"radio", nullptr, false, false},
    };
    for (const TCase& c : cases) {
        farm->m_Objects.RemoveAll();
        yard = CFakeFarmYard{};
        auto* object = Add<CFarmDecorObject>(c.object, 320, 250);
        CChicken* bird = Bird("bird1", 90, 40);
        sound->played.clear();
        bird->ChangeStateToVisitSpot(object);
        ASSERT_EQ(bird->m_nState, kChickenVisit) << c.object;
        const TVector2D target = bird->m_DestinationPoint;
        int frames = 0;
        int tableReads = 0, tableValue = 0;
        while (bird->m_nState == kChickenVisit && frames < 1000) {
            const TVector2D before = bird->m_Position;
            const int index = g_GameRandomTableIndex;
            tableValue = g_GameRandomTable[index];
            game.SeedRandoms(1000 + frames);
            bird->RunProcess();
            tableReads = (g_GameRandomTableIndex - index + kGameRandomTableSize) % kGameRandomTableSize;
            ++frames;
            // Each step is one of the eight headings, at most the bird's speed along each axis.
            EXPECT_LE(std::abs(bird->m_Position.x - before.x), 384);
            EXPECT_LE(std::abs(bird->m_Position.y - before.y), 384);
        }
        EXPECT_EQ(bird->m_Position.x, target.x) << c.object;
        EXPECT_EQ(bird->m_Position.y, target.y) << c.object;
        EXPECT_EQ(bird->m_nState, kChickenIdle) << c.object;
        EXPECT_EQ(bird->m_nPreviousState, kChickenVisit) << c.object;
        EXPECT_EQ(bird->m_nIdleLook, 0) << c.object;
        EXPECT_EQ(bird->m_nPendingTurns, 0) << c.object;
        EXPECT_EQ(bird->m_bJumping, c.jumping) << c.object;
        // The arrival draws no turns: only the jumper reads the table, once, for its side.
        EXPECT_EQ(tableReads, c.jumping ? 1 : 0) << c.object;
        if (c.jumping || c.flash) {
            // Facing the viewer, which is where it stays for the picture or the jump.
            EXPECT_EQ(bird->m_Direction.x, 0) << c.object;
            EXPECT_EQ(bird->m_Direction.y, 256) << c.object;
            EXPECT_EQ(bird->m_nDirectionSet, 3) << c.object;
            EXPECT_FALSE(bird->m_bMirrored) << c.object;
        }
        EXPECT_EQ(yard.m_nFlashesShown, c.flash ? 1 : 0) << c.object;
        if (c.flash) {
            EXPECT_EQ(yard.m_pPhotoStand, object);
            EXPECT_EQ(yard.m_nBusyCountdown, 2970);
        }
        // The arrival's draws: the idle state's timer, the stay's, and for an ordinary spot the stay's
        // again, which is the one kept.
        game.SeedRandoms(1000 + frames - 1);
        (void)game.RandomValue(30);
        const int stay = 90 + game.RandomValue(60);
        const int stayAgain = 90 + game.RandomValue(60);
        if (c.jumping) {
            EXPECT_EQ(bird->m_nTimer, 102);
            EXPECT_EQ(bird->m_BounceSpeed, 3932);
            EXPECT_EQ(bird->m_BouncePhase, 0) << "the jump starts from the ground";
            EXPECT_EQ(bird->m_nTurnSide, tableValue % 2) << "the side from the table";
        } else {
            EXPECT_EQ(bird->m_nTimer, c.flash ? stay : stayAgain) << c.object;
        }
        if (c.sound == nullptr) {
            EXPECT_TRUE(sound->played.empty()) << c.object;
        } else {
            ASSERT_EQ(sound->played.size(), 1u) << c.object;
            EXPECT_NE(sound->played[0].find(c.sound), std::string::npos) << c.object << " played " << sound->played[0];
        }
        if (!c.jumping && !c.flash) {
            // It looks towards the spot's look point.
            const TVector2D look = object->GetSpotLookPoint();
            const double want = std::atan2(look.y - bird->m_Position.y, look.x - bird->m_Position.x) * 180 / 3.14159265;
            const int snapped = static_cast<int>(std::lround(want / 45.0)) * 45;
            EXPECT_EQ(HeadingAngle(bird->m_Direction), (snapped + 360) % 360) << c.object;
        }
    }
}

// A visiting bird that walks straight, along y above or below its spot or along x when that is the
// longer way, heads exactly along that axis and shows that view: set 3 towards the viewer, set 2
// away from it, set 0 sideways (mirrored when heading right).
TEST_F(Chickens, AVisitingBirdWalkingStraightFacesAlongItsAxis) {
    const struct {
        int tx, ty, hx, hy, set;
        bool mirrored;
    } cases[] = {{100, 120, 0, 256, 3, false},
                 {100, 80, 0, -256, 2, false},
                 {120, 105, 256, 0, 0, true},
                 {80, 95, -256, 0, 0, false}};
    for (const auto& c : cases) {
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird("bird2", 100, 100);
        bird->m_Direction = TVector2D{181, 181};
        bird->m_nState = kChickenVisit;
        bird->m_DestinationPoint = TVector2D{c.tx * 256, c.ty * 256};
        bird->m_Frame = 0;
        ASSERT_GT(bird->m_AnimationSpeed, 0);
        bird->RunProcess();
        EXPECT_EQ(bird->m_Frame, bird->m_AnimationSpeed) << "a walk step a frame";
        EXPECT_EQ(bird->m_Direction.x, c.hx) << c.tx << " " << c.ty;
        EXPECT_EQ(bird->m_Direction.y, c.hy) << c.tx << " " << c.ty;
        EXPECT_EQ(bird->m_nDirectionSet, c.set) << c.tx << " " << c.ty;
        EXPECT_EQ(bird->m_bMirrored, c.mirrored) << c.tx << " " << c.ty;
    }
}

TEST_F(Chickens, AVisitingBirdStepsStraightOrDiagonallyAndNeverPassesItsSpotsX) {
    // Bird 2 walks 1.0 a frame; a diagonal step is (181, 181), 256 / sqrt(2) rounded. Worked by
    // hand from the steps: straight along x while |dx| > |dy|, along y once dx is 0, diagonally
    // otherwise with x stopped on the target's, and onto the target once both are under a step.
    struct TPoint {
        int frame;
        FIXED_FLOAT x, y;
    };
    struct TCase {
        FIXED_FLOAT x0, y0, tx, ty;
        int frames;
        std::vector<TPoint> points;
        const char* why;
    } cases[] = {
        {25600,
         25600,
         25677,
         28160,
         11,
         {{1, 25677, 25781}, {2, 25677, 26037}, {10, 25677, 28085}},
         "0.3 pixel right and 10 down: the diagonal stops on the target's x, then straight down"},
        {51200,
         51200,
         51123,
         48640,
         11,
         {{1, 51123, 51019}, {2, 51123, 50763}, {10, 51123, 48715}},
         "the same up and to the left"},
        {25600,
         25600,
         28160,
         26112,
         11,
         {{1, 25856, 25600}, {8, 27648, 25600}, {9, 27829, 25781}, {10, 28010, 25962}},
         "10 right and 2 down: straight along x until |dx| = |dy|, then diagonally"},
        {25600,
         25600,
         25601,
         28160,
         11,
         {{1, 25601, 25781}, {2, 25601, 26037}, {10, 25601, 28085}},
         "1/256 pixel right is still a diagonal step"},
        {25600,
         25600,
         25856,
         25700,
         2,
         {{1, 25856, 25600}},
         "exactly a step right and less down: the step along x first, then onto the spot"},
        {25600,
         25600,
         25700,
         25856,
         2,
         {{1, 25700, 25781}},
         "exactly a step down and less right: a diagonal step first, then onto the spot"},
        {25600, 25600, 25600, 25856, 1, {}, "exactly a step straight down: onto the spot"},
    };
    for (const TCase& c : cases) {
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird("bird2", 0, 0);
        bird->m_Position = TVector2D{c.x0, c.y0};
        bird->m_nState = kChickenVisit;
        bird->m_DestinationPoint = TVector2D{c.tx, c.ty};
        const bool right = c.tx > c.x0;
        std::size_t next = 0;
        int frame = 0;
        while (bird->m_nState == kChickenVisit && frame < 100) {
            bird->RunProcess();
            ++frame;
            EXPECT_TRUE(right ? bird->m_Position.x <= c.tx : bird->m_Position.x >= c.tx)
                << c.why << ", frame " << frame;
            if (next < c.points.size() && c.points[next].frame == frame) {
                EXPECT_EQ(bird->m_Position.x, c.points[next].x) << c.why << ", frame " << frame;
                EXPECT_EQ(bird->m_Position.y, c.points[next].y) << c.why << ", frame " << frame;
                ++next;
            }
        }
        EXPECT_EQ(next, c.points.size()) << c.why;
        EXPECT_EQ(frame, c.frames) << c.why;
        EXPECT_EQ(bird->m_Position.x, c.tx) << c.why;
        EXPECT_EQ(bird->m_Position.y, c.ty) << c.why;
    }
}

TEST_F(Chickens, AJumpingBirdTurnsAndThrowsFeathersThenWalksOff) {
    auto* hay = Add<CFarmDecorObject>("hay", 320, 250);
    CChicken* bird = Bird("bird1", 100, 100);
    CQuorvanParticleSystem2* feathers = game.m_pParticleManager->GetParticleSystemNamed("ChickenJump");
    bird->ChangeStateToVisitSpot(hay);
    while (bird->m_nState == kChickenVisit) bird->RunProcess();
    ASSERT_TRUE(bird->m_bJumping);
    int frames = 0;
    while (bird->m_bJumping && frames < 500) {
        bird->RunProcess();
        ++frames;
    }
    // The timer runs from 102 down; on even values one feather flies.
    EXPECT_GE(feathers->GetNumActiveParticels(), 30);
    EXPECT_EQ(bird->m_nState, kChickenWalk) << "after the jump it walks off";
    EXPECT_EQ(hay->m_pOccupants[0], nullptr);
}

// A jumping bird lands when its bob comes down to 0 while its timer is below 2: the jump ends
// (bob back to 0 at 1966), the next state is drawn there and then, and that state's own update
// runs in the same frame. With the timer at 2 it bounces on; a timer that runs out in the air
// ends the jump through the idle update, whose change of state comes after the frame's update.
TEST_F(Chickens, AJumpingBirdLandsAtTheBottomOfItsBounceOnceItsTimerIsBelowTwo) {
    const struct {
        const char* why;
        int previous, timer, phase;
        bool landsInTheBounce, stillJumping;
    } cases[] = {
        {"timer 1 at the bottom, after a visit", kChickenVisit, 1, 1000, true, false},
        {"timer 0 at the bottom, after a visit", kChickenVisit, 0, 1000, true, false},
        {"timer 1 at the bottom, idling on", kChickenIdle, 1, 1000, true, false},
        {"timer 2 at the bottom: bounces on", kChickenVisit, 2, 1000, false, true},
        {"timer 1 in the air: the idle update ends it", kChickenVisit, 1, 30000, false, false},
    };
    const auto prepare = [](CChicken* bird, int previous, int timer) {
        bird->m_nState = kChickenIdle;
        bird->m_nPreviousState = previous;
        bird->m_pDestination = nullptr;
        bird->m_nPendingTurns = 0;
        bird->m_Direction = TVector2D{0, 256};
        bird->AdjustSpriteSetFromDir();
        bird->m_nTimer = timer;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird("bird1", 320, 160);
        CChicken* reference = Bird("bird1", 320, 160);
        // A draw of the next state that keeps an idling bird idle, so that only the landing can
        // end its jump.
        unsigned seed = 1;
        for (; seed < 200; ++seed) {
            prepare(reference, c.previous, 0);
            game.SeedRandoms(seed);
            g_GameRandomTableIndex = 0;
            reference->ChangeState();
            // An idle drawn as such (not a visit that found no spot, which ends a jump itself).
            if (c.previous != kChickenIdle || (reference->m_nState == kChickenIdle && reference->m_nIdleLook == 1)) break;
        }
        ASSERT_LT(seed, 200u);
        prepare(bird, c.previous, c.timer);
        bird->m_bJumping = true;
        bird->m_BouncePhase = c.phase;
        bird->m_BounceSpeed = -3932;
        game.SeedRandoms(seed);
        g_GameRandomTableIndex = 0;
        bird->RunProcess();
        EXPECT_EQ(bird->m_bJumping, c.stillJumping);
        if (c.stillJumping) {
            EXPECT_EQ(bird->m_nState, kChickenIdle);
            EXPECT_EQ(bird->m_BouncePhase, 0);
            EXPECT_EQ(bird->m_BounceSpeed, 3932) << "turned up again";
            EXPECT_EQ(bird->m_nTimer, c.timer - 1);
            continue;
        }
        EXPECT_EQ(bird->m_nState, reference->m_nState);
        if (c.landsInTheBounce) {
            EXPECT_EQ(bird->m_BouncePhase, 0);
            EXPECT_EQ(bird->m_BounceSpeed, 1966);
            EXPECT_EQ(bird->m_nTimer, reference->m_nTimer - 1) << "the new state ran a frame";
        } else {
            EXPECT_EQ(bird->m_nTimer, reference->m_nTimer) << "changed at the end of the frame";
        }
    }
}

TEST_F(Chickens, ABirdAtTheFrontRestsAndShowsItsLove) {
    CChicken* bird = Bird("bird2", 320, 300);
    CQuorvanParticleSystem2* hearts = game.m_pParticleManager->GetParticleSystemNamed("EmoLove");
    bird->m_Direction = HeadingOfAngle(180);
    bird->AdjustSpriteSetFromDir();
    bird->ChangeState(kChickenWalkToFront, false, false);
    const int frames = RunWhileInState(bird, kChickenWalkToFront, 200);
    // Turning right from 180 to 90 takes 6 turns, 3 frames apart; then 29 steps to 329.
    EXPECT_EQ(frames, 6 * 3 + 30);
    EXPECT_EQ(bird->m_Position.y, kYardDepth);
    EXPECT_EQ(bird->m_Direction.x, 0) << "stopped facing the viewer";
    EXPECT_EQ(bird->m_Direction.y, 256);
    EXPECT_EQ(bird->m_nDirectionSet, 3);
    EXPECT_EQ(bird->m_Frame, bird->m_nStandingFrame * 256) << "standing";
    EXPECT_EQ(bird->m_nPendingTurns, 0) << "no turns drawn for the stay";
    EXPECT_EQ(bird->m_nPreviousState, kChickenWalkToFront);
    EXPECT_GE(bird->m_nTimer, 90);
    const int timer = bird->m_nTimer;
    for (int i = 1; i < timer; ++i) {
        bird->RunProcess();
        ASSERT_EQ(HeadingAngle(bird->m_Direction), 90) << "it rests facing the viewer, frame " << i;
    }
    // One heart every 15 frames of the stay.
    EXPECT_EQ(hearts->GetNumActiveParticels(), (timer - 1) / 15);
}

// On its way to the front a bird walks its cycle a frame at a time, as any walk does.
TEST_F(Chickens, ABirdWalkingToTheFrontStepsItsWalkCycle) {
    CChicken* bird = Bird("bird2", 320, 200);
    bird->m_Direction = TVector2D{0, 256};
    bird->AdjustSpriteSetFromDir();
    bird->ChangeState(kChickenWalkToFront, false, false);
    ASSERT_GT(bird->m_AnimationSpeed, 0);
    ASSERT_NE(bird->m_SpriteSets[3], nullptr);
    const int frames = bird->m_SpriteSets[3]->GetNumFrames() - (bird->m_bSkipLastFrame ? 1 : 0);
    ASSERT_GT(frames, 2);
    for (int f = 1; f <= frames + 1; ++f) {
        const FIXED_FLOAT before = bird->m_Frame;
        bird->RunProcess();
        ASSERT_EQ(bird->m_nState, kChickenWalkToFront);
        EXPECT_EQ(bird->m_Frame, (before + bird->m_AnimationSpeed) % (frames * 256)) << f;
        EXPECT_EQ(bird->m_Position.y, 200 * 256 + f * bird->m_Speed) << f;
    }
}

// Stopped at the front edge, a bird stands on its own standing frame (bird 1 on frame 4, the birds
// from 13 on on frame 20, the others on 0), whatever frame its walk had got to.
TEST_F(Chickens, ABirdStoppedAtTheFrontStandsOnItsOwnStandingFrame) {
    const struct {
        const char* id;
        int standing;
    } cases[] = {{"bird1", 4}, {"bird2", 0}, {"bird13", 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        farm->m_Objects.RemoveAll();
        CChicken* bird = Bird(c.id, 320, 320);
        ASSERT_NE(bird, nullptr);
        bird->m_Direction = TVector2D{0, 256};
        bird->AdjustSpriteSetFromDir();
        bird->ChangeState(kChickenWalkToFront, false, false);
        (void)RunWhileInState(bird, kChickenWalkToFront, 100);
        ASSERT_EQ(bird->m_nState, kChickenIdle);
        EXPECT_EQ(bird->m_Position.y, kYardDepth);
        EXPECT_EQ(bird->m_Frame, c.standing * 256);
    }
}

TEST_F(Chickens, ABirdHoldsOneSpotAtATime) {
    auto* trough = Add<CFarmDecorObject>("trough", 200, 200);
    auto* feeder = Add<CFarmDecorObject>("feeder", 400, 200);
    CChicken* bird = Bird("bird1", 300, 100);
    // Selected on its way, it gives the spot back.
    bird->ChangeStateToVisitSpot(trough);
    bird->OnSelectStarted();
    for (CChicken* occupant : trough->m_pOccupants) EXPECT_NE(occupant, bird) << "selected";
    bird->OnSelectFinished();
    // Sent to another object, it gives the first spot back.
    bird->ChangeStateToVisitSpot(trough);
    bird->ChangeStateToVisitSpot(feeder);
    for (CChicken* occupant : trough->m_pOccupants) EXPECT_NE(occupant, bird) << "sent elsewhere";
    EXPECT_EQ(bird->m_pDestination, feeder);
    // Sold, it leaves no spot taken anywhere.
    bird->OnAboutToRemove();
    const auto held = [&] {
        int n = 0;
        for (CFarmObject* object : {static_cast<CFarmObject*>(trough), static_cast<CFarmObject*>(feeder)})
            for (CChicken* occupant : object->m_pOccupants) n += occupant == bird ? 1 : 0;
        return n;
    };
    EXPECT_EQ(held(), 0);
    // Drawn to visit again while it still holds a spot, it gives that one back before it takes
    // the next, wherever the search finds it.
    for (CFarmObject* first : {static_cast<CFarmObject*>(trough), static_cast<CFarmObject*>(feeder)}) {
        bird->ChangeStateToVisitSpot(first);
        ASSERT_EQ(held(), 1);
        bird->m_nState = kChickenWalk;
        bird->m_nPreviousState = kChickenIdle;
        bird->ChangeState(kChickenVisit, true, false);
        ASSERT_EQ(bird->m_nState, kChickenVisit);
        EXPECT_EQ(held(), 1) << "one spot at a time";
        ASSERT_NE(bird->m_pDestination, nullptr);
        bool holdsItsDestination = false;
        for (CChicken* occupant : bird->m_pDestination->m_pOccupants) holdsItsDestination |= occupant == bird;
        EXPECT_TRUE(holdsItsDestination);
        bird->FreeDestinationObject();
    }
}

// ---- Icons ---------------------------------------------------------------------------------------

TEST_F(Chickens, TheEmotionIconBySpotType) {
    CChicken* bird = Bird("bird1", 100, 100);
    CChicken* mower = Bird("lawn_mower", 200, 100);
    CChicken* robot = Bird("robot", 300, 100);
    struct TIcon {
        const char* set;  // null: none
        FIXED_FLOAT speed;
        bool pingPong, trail, inPhase;
    };
    const TIcon none{nullptr, 0, false, false, true};
    const TIcon question{"icons_question", 64, true, false, true};
    const TIcon music{"icons_music", 0, false, false, false};
    struct TCase {
        int type;
        TIcon birdIcon, robotIcon;
    } cases[] = {
        {kSpotEat, {"icons_eat", 77, false, true, true}, question},
        {kSpotDrink, {"icons_drink", 77, false, true, true}, question},
        {kSpotHeat, {"icons_heat", 256, false, false, true}, question},
        {kSpotSmile, {"icons_smile", 0, false, false, false}, question},
        {kSpotMusic, music, music},
        {kSpotQuestion, question, question},
        {kSpotPicture, none, question},
        {kSpotJumping, none, question},
        {kSpotNone, none, question},
    };
    for (const TCase& c : cases) {
        for (CChicken* creature : {bird, mower, robot}) {
            const TIcon& want = creature == robot ? c.robotIcon : c.birdIcon;
            creature->m_nEmotionAlpha = 99;
            creature->PrepareEmotionSetForSpotType(c.type);
            const char* who = creature == robot ? "robot" : (creature == mower ? "mower" : "bird");
            EXPECT_EQ(creature->m_pEmotionSet, want.set ? Set(want.set) : nullptr) << who << " type " << c.type;
            EXPECT_EQ(creature->m_EmotionFrameSpeed, want.speed) << who << " type " << c.type;
            EXPECT_EQ(creature->m_bEmotionPingPong, want.pingPong) << who << " type " << c.type;
            EXPECT_EQ(creature->m_bEmotionTrail, want.trail) << who << " type " << c.type;
            EXPECT_EQ(creature->m_bEmotionPulseInPhase, want.inPhase) << who << " type " << c.type;
            EXPECT_EQ(creature->m_EmotionFrame, 0);
            EXPECT_EQ(creature->m_nEmotionAlpha, 0);
        }
    }
}

// The idle icon's frames: the question icon runs forwards and back (speed 64, a quarter frame a
// frame), standing on its last frame when it passes the end and on 0 when it passes the start;
// the heat icon runs forwards at a frame a frame and wraps to 0.
TEST_F(Chickens, TheIconRunsForwardsAndBackOrWrapsAtItsEnd) {
    CChicken* bird = Bird("bird1", 320, 160);
    const auto idle = [&](int spotType) {
        bird->m_nState = kChickenIdle;
        bird->m_nPreviousState = kChickenIdle;
        bird->m_nTimer = 10000;
        bird->PrepareEmotionSetForSpotType(spotType);
    };
    idle(kSpotQuestion);
    ASSERT_NE(bird->m_pEmotionSet, nullptr);
    const int n = bird->m_pEmotionSet->GetNumFrames();
    ASSERT_EQ(n, 6);
    const struct {
        int frame, at, speed;
    } question[] = {{1, 64, 64},
                    {4 * n - 1, 64 * (4 * n - 1), 64},
                    {4 * n, (n - 1) * 256, -64},
                    {4 * n + 1, (n - 1) * 256 - 64, -64},
                    {4 * n + 4 * (n - 1), 0, -64},
                    {4 * n + 4 * (n - 1) + 1, 0, 64},
                    {4 * n + 4 * (n - 1) + 2, 64, 64}};
    int frame = 0;
    for (const auto& q : question) {
        RunUntilFrame(bird, frame, q.frame);
        EXPECT_EQ(bird->m_EmotionFrame, q.at) << "question, frame " << q.frame;
        EXPECT_EQ(bird->m_EmotionFrameSpeed, q.speed) << "question, frame " << q.frame;
    }
    idle(kSpotHeat);
    ASSERT_NE(bird->m_pEmotionSet, nullptr);
    const int h = bird->m_pEmotionSet->GetNumFrames();
    ASSERT_EQ(h, 8);
    frame = 0;
    for (const int f : {1, h - 1, h, h + 1, 2 * h}) {
        RunUntilFrame(bird, frame, f);
        EXPECT_EQ(bird->m_EmotionFrame, f % h * 256) << "heat, frame " << f;
        EXPECT_EQ(bird->m_EmotionFrameSpeed, 256);
    }
}

TEST_F(Chickens, TheTrailShowsThePreviousIconFrameAtAThirdOfTheAlpha) {
    CChicken* bird = Bird("bird1", 320, 200);
    bird->m_nState = kChickenIdle;
    bird->m_nPreviousState = kChickenVisit;
    bird->m_nIdleLook = 0;
    bird->PrepareEmotionSetForSpotType(kSpotEat);
    bird->m_nEmotionAlpha = 240;
    bird->m_BouncePhase = 0;
    CSpriteSet* icons = Set("icons_eat");
    const double k = CameraScale(200);
    // The icon's centre 1.4 k (24 + 2 - 12) pixels up, bobbing at 0.92 in phase at the bottom.
    const double y = ScreenY(200, kH) - (24 + 2 - 12) * 1.4 * k * 0.92;
    for (int current : {0, 2, 5}) {
        bird->m_EmotionFrame = current * 256;
        recorder.draws.clear();
        bird->Draw(kDrawBody);
        ASSERT_EQ(recorder.draws.size(), 2u) << current;
        EXPECT_EQ(recorder.draws[0].src, icons->GetFrame(current == 0 ? 5 : current - 1)) << current;
        EXPECT_EQ(recorder.draws[0].alphaOffset, 80 - 255);
        EXPECT_EQ(recorder.draws[1].src, icons->GetFrame(current));
        EXPECT_EQ(recorder.draws[1].alphaOffset, 240 - 255);
        for (const TRotatedDraw& d : recorder.draws) {
            EXPECT_NEAR(d.scale, 1.4 * k * 65536, 8);
            EXPECT_NEAR(d.x, ScreenX(320, 200, kW) * 256, 2);
            EXPECT_NEAR(d.y, y * 256, 3);
        }
    }
    // Without the trail, one frame; against the phase the icon rises to 1.08 at the bottom.
    bird->PrepareEmotionSetForSpotType(kSpotSmile);
    bird->m_nEmotionAlpha = 255;
    recorder.draws.clear();
    bird->Draw(kDrawBody);
    ASSERT_EQ(recorder.draws.size(), 1u);
    EXPECT_NEAR(recorder.draws[0].y, (ScreenY(200, kH) - 14 * 1.4 * k * 1.08) * 256, 3);
}

TEST_F(Chickens, TheIconFadesInAndOverTheLastTwentyFrames) {
    CChicken* bird = Bird("bird1", 320, 200);
    bird->m_nState = kChickenIdle;
    bird->m_nPreviousState = kChickenIdle;
    bird->PrepareEmotionSetForSpotType(kSpotQuestion);
    bird->m_nTimer = 45;
    int alpha = 0;
    for (int timer = 45; timer >= 2; --timer) {
        bird->RunProcess();
        alpha = timer <= 20 ? timer * 255 / 20 : std::min(255, alpha + 12);
        ASSERT_EQ(bird->m_nEmotionAlpha, alpha) << "timer " << timer;
    }
    // The question mark swings back and forth over its six frames.
    std::vector<int> frames;
    bird->m_nTimer = 1000;
    bird->m_EmotionFrame = 0;
    bird->m_EmotionFrameSpeed = 64;
    for (int i = 0; i < 60; ++i) {
        bird->RunProcess();
        frames.push_back(bird->m_EmotionFrame);
    }
    EXPECT_GE(*std::max_element(frames.begin(), frames.end()), 5 * 256);
    EXPECT_LT(*std::max_element(frames.begin(), frames.end()), 6 * 256);
    EXPECT_EQ(*std::min_element(frames.begin(), frames.end()), 0);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), 5 * 256), 2) << "it turns back on its last frame, twice";
}

// The icon's alpha near the end of a stay: growing by 12 while more than 20 frames are left, then
// timer x 255 / 20 from the frame whose timer is 20 (a jump up to 255 from wherever the growth had
// got) down to the last frame, timer 1.
TEST_F(Chickens, TheIconsAlphaTakesTheFadeFromTheTwentiethFrameBeforeTheEnd) {
    CChicken* bird = Bird("bird1", 320, 200);
    bird->m_nState = kChickenIdle;
    bird->m_nPreviousState = kChickenIdle;
    bird->PrepareEmotionSetForSpotType(kSpotQuestion);
    ASSERT_EQ(bird->m_nEmotionAlpha, 0);
    bird->m_nTimer = 24;
    const int expected[] = {12, 24, 36, 48, 255, 242, 229, 216, 204, 191, 178, 165,
                            153, 140, 127, 114, 102, 89, 76, 63, 51, 38, 25, 12};
    for (int i = 0; i < 24; ++i) {
        const int timer = 24 - i;
        bird->RunProcess();
        EXPECT_EQ(bird->m_nEmotionAlpha, expected[i]) << "timer " << timer;
    }
}

// A bird that reaches its spot shows the spot's icon from nothing: unseen on the frame it arrives,
// then 12 more each frame.
TEST_F(Chickens, AnArrivingBirdsIconStartsUnseenAndGrowsTwelveAFrame) {
    for (const char* id : {"feeder", "trough", "lamp"}) {
        SCOPED_TRACE(id);
        farm->m_Objects.RemoveAll();
        auto* spot = Add<CFarmDecorObject>(id, 320, 250);
        CChicken* bird = Bird("bird1", 300, 240);
        bird->ChangeStateToVisitSpot(spot);
        ASSERT_EQ(bird->m_nState, kChickenVisit);
        (void)RunWhileInState(bird, kChickenVisit, 1000);
        ASSERT_EQ(bird->m_nState, kChickenIdle);
        ASSERT_NE(bird->m_pEmotionSet, nullptr);
        EXPECT_EQ(bird->m_nEmotionAlpha, 0) << "the frame it arrives";
        for (const int alpha : {12, 24, 36}) {
            bird->RunProcess();
            EXPECT_EQ(bird->m_nEmotionAlpha, alpha);
        }
    }
}

// A tap while the icon fades out starts a new stay: the icon grows back 12 a frame from where the
// fade had got to (76 at timer 6) and stops at 255, also when a step would take it to 256.
TEST_F(Chickens, ATappedBirdsFadingIconGrowsBackAndStopsAt255) {
    CChicken* bird = Bird("bird1", 320, 200);
    bird->m_nState = kChickenIdle;
    bird->m_nPreviousState = kChickenVisit;
    bird->m_nIdleLook = 0;
    bird->m_nPendingTurns = 0;
    bird->PrepareEmotionSetForSpotType(kSpotEat);
    bird->m_nTimer = 6;
    bird->RunProcess();
    ASSERT_EQ(bird->m_nEmotionAlpha, 76);
    g_GameRandomTable[40] = 4;  // even: the tap bounces the bird
    g_GameRandomTableIndex = 40;
    bird->OnTap();
    ASSERT_EQ(bird->m_nState, kChickenIdle);
    ASSERT_EQ(bird->m_nTimer, 165);
    const struct {
        int frame, alpha;
    } points[] = {{1, 88}, {2, 100}, {14, 244}, {15, 255}, {16, 255}, {20, 255}};
    int frame = 0;
    for (const auto& p : points) {
        RunUntilFrame(bird, frame, p.frame);
        EXPECT_EQ(bird->m_nEmotionAlpha, p.alpha) << "frame " << p.frame;
        // The icon is drawn last, at that alpha.
        recorder.draws.clear();
        bird->Draw(kDrawBody);
        ASSERT_FALSE(recorder.draws.empty()) << "frame " << p.frame;
        EXPECT_EQ(recorder.draws.back().alphaOffset, p.alpha - 255) << "frame " << p.frame;
    }
}

// An idling bird makes its pending turns on the frames whose timer is a multiple of 3 and counts
// its timer down, choosing its next state on the frame it drops below 1; a selected or dragged
// bird does neither.
TEST_F(Chickens, AnIdlingBirdTurnsEveryThirdFrameUnlessHeldAndChoosesWhenItsTimeIsUp) {
    const struct {
        const char* why;
        bool selected, dragging;
    } cases[] = {{"free", false, false}, {"selected", true, false}, {"dragged", false, true}};
    for (const int side : {0, 1}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (side == 0 ? ", right" : ", left"));
            farm->m_Objects.RemoveAll();
            CChicken* bird = Bird("bird1", 320, 200);
            bird->m_nState = kChickenIdle;
            bird->m_nPreviousState = kChickenIdle;
            bird->m_bSelected = c.selected;
            bird->m_bDragging = c.dragging;
            bird->m_nTurnSide = side;
            bird->m_nPendingTurns = 3;
            bird->m_Direction = TVector2D{256, 0};
            bird->m_nTimer = 12;
            const bool held = c.selected || c.dragging;
            int turns = 0;
            for (int timer = 12; timer >= 2; --timer) {
                SCOPED_TRACE(timer);
                bird->RunProcess();
                if (!held && timer % 3 == 0 && turns < 3) ++turns;  // 12, 9, 6: then none are left
                EXPECT_EQ(bird->m_nPendingTurns, 3 - turns);
                EXPECT_EQ(HeadingAngle(bird->m_Direction), (360 + (side == 0 ? 45 : -45) * turns) % 360);
                EXPECT_EQ(bird->m_nTimer, held ? 12 : timer - 1);
                EXPECT_EQ(bird->m_nState, kChickenIdle);
            }
            if (held) continue;
            // The last frame: a draw that makes it walk (no turn at timer 1).
            unsigned seed = 1;
            for (; seed < 200; ++seed) {
                auto* reference = static_cast<CChicken*>(farm->CreateFarmObject("bird2"));
                ASSERT_NE(reference, nullptr);
                reference->m_nState = kChickenIdle;
                reference->m_nPreviousState = kChickenIdle;
                game.SeedRandoms(seed);
                g_GameRandomTableIndex = 0;
                reference->ChangeState();
                const bool walks = reference->m_nState == kChickenWalk;
                delete reference;
                if (walks) break;
            }
            ASSERT_LT(seed, 200u);
            game.SeedRandoms(seed);
            g_GameRandomTableIndex = 0;
            bird->RunProcess();
            EXPECT_EQ(bird->m_nState, kChickenWalk) << "the timer dropped below 1";
        }
    }
    // Turns still pending near the end: the last comes at timer 3, none at 2 or 1.
    farm->m_Objects.RemoveAll();
    CChicken* bird = Bird("bird1", 320, 200);
    bird->m_nState = kChickenIdle;
    bird->m_nPreviousState = kChickenIdle;
    bird->m_nTurnSide = 0;
    bird->m_nPendingTurns = 5;
    bird->m_Direction = TVector2D{256, 0};
    bird->m_nTimer = 4;
    for (const int turned : {0, 45, 45, 45}) {
        bird->RunProcess();
        EXPECT_EQ(HeadingAngle(bird->m_Direction), turned);
    }
}

// A jumping bird turns to its side on the frames whose timer is a multiple of 3 and throws a
// feather on those whose timer is even.
TEST_F(Chickens, AJumpingBirdTurnsEveryThirdFrameAndThrowsAFeatherEverySecond) {
    CQuorvanParticleSystem2* feathers = game.m_pParticleManager->GetParticleSystemNamed("ChickenJump");
    ASSERT_NE(feathers, nullptr);
    for (const int side : {0, 1}) {
        SCOPED_TRACE(side);
        feathers->Stop(true);
        CChicken* bird = LoneJumpingBird();
        bird->m_nTurnSide = side;
        bird->m_nTimer = 12;
        int turns = 0, thrown = 0;
        for (int timer = 12; timer >= 1; --timer) {
            SCOPED_TRACE(timer);
            bird->RunProcess();
            if (timer % 3 == 0) ++turns;
            if (timer % 2 == 0) ++thrown;
            EXPECT_EQ(HeadingAngle(bird->m_Direction), (360 + (side == 0 ? 45 : -45) * turns) % 360);
            EXPECT_EQ(feathers->GetNumActiveParticels(), thrown);
            if (timer > 1) {
                EXPECT_TRUE(bird->m_bJumping);  // the last frame draws the next state
            }
        }
    }
}

// The newest particle of an effect: where it was born, in whole 1/256 pixels (24.8).
TVector2D NewestParticle(const CQuorvanParticleSystem2* system) {
    const int n = system->GetNumActiveParticels();
    if (n <= 0) return TVector2D{-1, -1};
    const CQuorvanParticle2& p = system->GetParticles()[n - 1];
    return TVector2D{static_cast<FIXED_FLOAT>(p.x >> 8), static_cast<FIXED_FLOAT>(p.y >> 8)};
}

// A robot that heals throws a cross every 15 frames of its idle (timer 75, 60, 45, 30) while its
// healing lasts (66 frames), born at its screen position raised by 45 x its depth scale; the
// effect stops emitting after each one.
TEST_F(Chickens, AHealingRobotThrowsACrossEveryFifteenFramesAboveItself) {
    CQuorvanParticleSystem2* crosses = game.m_pParticleManager->GetParticleSystemNamed("RobotHeal");
    ASSERT_NE(crosses, nullptr);
    crosses->Stop(true);
    const std::int32_t jitter = crosses->m_Info.m_RandomPos;
    crosses->m_Info.m_RandomPos = 0;
    auto* robot = Add<CRobot>("robot", 300, 200);
    robot->m_nState = kChickenIdle;
    robot->m_nPreviousState = kChickenIdle;
    robot->m_nPendingTurns = 0;
    robot->m_nTimer = 82;
    robot->m_nHealingCountdown = 66;
    std::vector<int> thrown;
    for (int f = 1; f <= 80; ++f) {
        const int before = crosses->GetNumActiveParticels();
        robot->RunProcess();
        if (crosses->GetNumActiveParticels() > before) {
            thrown.push_back(f);
            const TVector2D screen = WorldToScreen(&game, robot->m_Position);
            const FIXED_FLOAT raise =
                static_cast<FIXED_FLOAT>((45LL * 256 * WorldToScreenScale(robot->m_Position)) >> 16);
            const TVector2D born = NewestParticle(crosses);
            EXPECT_EQ(born.x, screen.x) << f;
            EXPECT_EQ(born.y, screen.y - raise) << f;
            // Stopped after its one cross: a frame of its own adds none.
            EXPECT_TRUE(crosses->IsStopped()) << f;
            const int after = crosses->GetNumActiveParticels();
            crosses->RunProcess();
            EXPECT_LE(crosses->GetNumActiveParticels(), after) << f;
        }
    }
    EXPECT_EQ(thrown, (std::vector<int>{7, 22, 37, 52}));
    crosses->m_Info.m_RandomPos = jitter;
}

// A jumping bird's feather is born at its screen position raised by 60 x S(bounce phase).
TEST_F(Chickens, AJumpingBirdsFeatherIsBornAtTheHeightOfItsJump) {
    CQuorvanParticleSystem2* feathers = game.m_pParticleManager->GetParticleSystemNamed("ChickenJump");
    ASSERT_NE(feathers, nullptr);
    const std::int32_t jitter = feathers->m_Info.m_RandomPos;
    feathers->m_Info.m_RandomPos = 0;
    for (const int phase : {0, 16384, 32768, 50000}) {
        SCOPED_TRACE(phase);
        feathers->Stop(true);
        CChicken* bird = LoneJumpingBird();
        bird->m_BouncePhase = phase - 3932;  // the frame's bob brings it to the phase
        bird->m_nTimer = 40;
        bird->RunProcess();
        ASSERT_EQ(bird->m_BouncePhase, phase);
        ASSERT_EQ(feathers->GetNumActiveParticels(), 1);
        const TVector2D screen = WorldToScreen(&game, bird->m_Position);
        const FIXED_FLOAT raise = static_cast<FIXED_FLOAT>((60LL * SCurve16(phase, nullptr)) >> 8);
        const TVector2D born = NewestParticle(feathers);
        EXPECT_EQ(born.x, screen.x);
        EXPECT_EQ(born.y, screen.y - raise);
        EXPECT_TRUE(feathers->IsStopped()) << "one feather, then stopped";
    }
    feathers->m_Info.m_RandomPos = jitter;
    // A game without its particle effects: the jump goes on, throwing nothing.
    CQuorvanParticleSystemManager2* particles = game.m_pParticleManager;
    game.m_pParticleManager = nullptr;
    CChicken* bird = LoneJumpingBird();
    bird->m_nTimer = 13;
    bird->RunProcess();  // timer 13: nothing
    bird->RunProcess();  // timer 12: a turn and a feather's frame
    EXPECT_TRUE(bird->m_bJumping);
    EXPECT_EQ(HeadingAngle(bird->m_Direction), 45);
    game.m_pParticleManager = particles;
}

// ---- Views and rectangles ------------------------------------------------------------------------

// Headings are 256-long vectors (24.8): a vector scaled to that length and rounded, the one of a
// whole angle, and the angle of one. Expected values worked out by hand.
TEST_F(Chickens, HeadingsAreUnitVectorsOfTheirAngles) {
    const struct {
        TVector2D in, out;
        const char* why;
    } normalized[] = {
        {{0, 0}, {0, 0}, "no heading stays none"},
        {{512, 0}, {256, 0}, "along x"},
        {{1, 0}, {256, 0}, "the shortest along x"},
        {{0, 1}, {0, 256}, "the shortest along y"},
        {{0, -300}, {0, -256}, "along y"},
        {{3 * 256, 4 * 256}, {154, 205}, "3-4-5: 153.6 and 204.8"},
        {{1, 1}, {181, 181}, "a diagonal: 181.02"},
        {{256, 1}, {256, 1}, "nearly along x"},
        {{-40000, 30000}, {-205, 154}, "a long one"},
        {{30000, -40000}, {154, -205}, "a long one the other way"},
        {{46336, 0}, {256, 0}, "on the long vectors' edge"},
    };
    for (const auto& c : normalized) {
        const TVector2D v = NormalizeHeading(c.in);
        EXPECT_EQ(v.x, c.out.x) << c.why;
        EXPECT_EQ(v.y, c.out.y) << c.why;
    }
    const struct {
        int degrees;
        TVector2D heading;
    } angles[] = {{0, {256, 0}},    {30, {222, 128}}, {45, {181, 181}},   {90, {0, 256}},
                  {180, {-256, 0}}, {270, {0, -256}}, {315, {181, -181}}, {-45, {181, -181}}};
    for (const auto& c : angles) {
        const TVector2D v = HeadingOfAngle(c.degrees);
        EXPECT_EQ(v.x, c.heading.x) << c.degrees;
        EXPECT_EQ(v.y, c.heading.y) << c.degrees;
        EXPECT_EQ(HeadingAngle(c.heading), (c.degrees + 360) % 360) << c.degrees;
    }
}

// Looking at a point turns the heading to the nearest multiple of 45 degrees, a remainder of 23 or
// more going up; a point less than a pixel ahead on both axes (taken unsigned) keeps the heading.
TEST_F(Chickens, LookingAtAPointSnapsToTheNearestEighthTurn) {
    CChicken* bird = Bird("bird2", 320, 160);
    // A point at a given angle as the yard's arctangent table measures it, 100 pixels away in x.
    const auto pointAt = [&](int degrees) {
        for (int dy = 0; dy < 300 * 256; ++dy)
            if (fast_atan2(100 * 256, dy) == degrees) return TVector2D{100 * 256, dy};
        ADD_FAILURE() << "no point at " << degrees;
        return TVector2D{};
    };
    const struct {
        int measured, faced;
    } angles[] = {{0, 0}, {22, 0}, {23, 45}, {24, 45}, {44, 45}, {67, 45}, {68, 90}};
    for (const auto& c : angles) {
        bird->m_Direction = HeadingOfAngle(180);
        const TVector2D d = pointAt(c.measured);
        bird->LookAt(TVector2D{bird->m_Position.x + d.x, bird->m_Position.y + d.y});
        EXPECT_EQ(HeadingAngle(bird->m_Direction), c.faced) << c.measured;
        const TDirectionView view = BirdViewOfAngle(c.faced);
        EXPECT_EQ(bird->m_nDirectionSet, view.set) << c.measured;
        EXPECT_EQ(bird->m_bMirrored, view.mirrored) << c.measured;
    }
    const struct {
        FIXED_FLOAT dx, dy;
        bool keeps;
    } near[] = {{0, 0, true},   {255, 255, true}, {256, 0, false},   {0, 256, false},
                {-1, 0, false}, {0, -1, false},   {255, -256, false}};
    for (const auto& c : near) {
        bird->m_Direction = HeadingOfAngle(135);
        bird->LookAt(TVector2D{bird->m_Position.x + c.dx, bird->m_Position.y + c.dy});
        EXPECT_EQ(HeadingAngle(bird->m_Direction) == 135, c.keeps) << c.dx << " " << c.dy;
    }
}

TEST_F(Chickens, TheViewOfEachAngle) {
    struct TCase {
        int angle;
        TDirectionView bird, robot;
    } cases[] = {
        {0, {0, true}, {0, true}},     {9, {0, true}, {0, true}},     {10, {5, true}, {7, false}},
        {79, {5, true}, {7, false}},   {80, {3, false}, {3, false}},  {109, {3, false}, {3, false}},
        {110, {5, false}, {5, false}}, {169, {5, false}, {5, false}}, {170, {0, false}, {0, false}},
        {189, {0, false}, {0, false}}, {190, {4, false}, {4, false}}, {259, {4, false}, {4, false}},
        {260, {2, false}, {2, false}}, {279, {2, false}, {2, false}}, {280, {4, true}, {6, false}},
        {350, {4, true}, {6, false}},  {351, {0, true}, {0, true}},   {359, {0, true}, {0, true}},
        {360, {0, true}, {0, true}},   {369, {0, true}, {0, true}},   {370, {5, true}, {7, false}},
        {-1, {0, true}, {0, true}},    {-80, {4, true}, {6, false}},  {-350, {5, true}, {7, false}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(BirdViewOfAngle(c.angle).set, c.bird.set) << c.angle;
        EXPECT_EQ(BirdViewOfAngle(c.angle).mirrored, c.bird.mirrored) << c.angle;
        EXPECT_EQ(RobotViewOfAngle(c.angle).set, c.robot.set) << c.angle;
        EXPECT_EQ(RobotViewOfAngle(c.angle).mirrored, c.robot.mirrored) << c.angle;
    }
}

TEST_F(Chickens, EachCreatureDrawsTheViewOfItsHeading) {
    struct TKind {
        const char* id;
        const char* base;
        const char* views[8];  // by heading 0, 45, ..., 315 degrees
        bool mirrored[8];
    } kinds[] = {
        {"bird2",
         "Chicken2",
         {"_L", "_LB", "_B", "_LB", "_L", "_LT", "_T", "_LT"},
         {true, true, false, false, false, false, false, true}},
        {"lawn_mower",
         "lawnmower",
         {"_left", "_left_down", "_down", "_left_down", "_left", "_left_up", "_up", "_left_up"},
         {true, true, false, false, false, false, false, true}},
        {"robot",
         "robot",
         {"_left", "_right_down", "_down", "_left_down", "_left", "_left_up", "_up", "_right_up"},
         {true, false, false, false, false, false, false, false}},
    };
    for (const TKind& kind : kinds) {
        CChicken* creature = Bird(kind.id, 320, 200);
        creature->m_nState = kChickenWalk;  // a bird walking is drawn plainly, turned by 0
        for (int i = 0; i < 8; ++i) {
            creature->m_Direction = HeadingOfAngle(45 * i);
            ASSERT_EQ(HeadingAngle(creature->m_Direction), 45 * i);
            creature->AdjustSpriteSetFromDir();
            const std::string set = std::string(kind.base) + kind.views[i];
            EXPECT_EQ(creature->GetCurrentFrame(), Set(set.c_str())->GetFrame(creature->m_Frame >> 8))
                << kind.id << " " << 45 * i;
            EXPECT_EQ(creature->m_bMirrored, kind.mirrored[i]) << kind.id << " " << 45 * i;
            if (creature->IsMachine()) continue;
            recorder.draws.clear();
            creature->Draw(kDrawBody);
            ASSERT_EQ(recorder.draws.size(), 1u) << kind.id << " " << 45 * i;
            EXPECT_EQ(recorder.draws[0].src, creature->GetCurrentFrame());
            EXPECT_EQ(recorder.draws[0].flags, kind.mirrored[i] ? 1 : 0) << kind.id << " " << 45 * i;
        }
    }
}

TEST_F(Chickens, TheRectangleOfABird) {
    CChicken* bird = Bird("bird2", 0, 0);
    const double places[][2] = {{320, 0}, {100, 120}, {600, 329}};
    for (const auto& p : places) {
        bird->m_Position = TVector2D{static_cast<int>(p[0] * 256), static_cast<int>(p[1] * 256)};
        const double k = CameraScale(p[1]);
        const double sx = ScreenX(p[0], p[1], kW), sy = ScreenY(p[1], kH);
        const double w = farmyard::kBirdW, h = farmyard::kBirdH;
        const TRect2D r = bird->GetObjectRect();
        EXPECT_NEAR(r.x, (sx - w * k / 2 - 15 * k) * 256, 3) << p[0] << "," << p[1];
        EXPECT_NEAR(r.y, (sy - h * k) * 256, 3) << p[0] << "," << p[1];
        EXPECT_NEAR(r.width, (w * k + 30 * k) * 256, 3) << p[0] << "," << p[1];
        EXPECT_NEAR(r.height, (h * k + 30 * k) * 256, 3) << p[0] << "," << p[1];
    }
}

TEST_F(Chickens, EachBirdsTuning) {
    struct TCase {
        const char* id;
        int standing, anchor;
        FIXED_FLOAT speed;
        int walkFrames;  // frames of the walk cycle
    } cases[] = {{"bird1", 4, 12, 384, 8}, {"bird2", 0, 12, 256, 8}, {"bird13", 20, 13, 256, 21}};
    for (const TCase& c : cases) {
        CChicken* bird = Bird(c.id, 320, 160);
        EXPECT_EQ(bird->m_Frame, c.standing * 256) << c.id;
        EXPECT_EQ(bird->m_AnchorHeight, c.anchor << 16) << c.id;
        EXPECT_EQ(bird->m_Speed, c.speed) << c.id;
        EXPECT_EQ(bird->m_nTimer, 30) << c.id;
        EXPECT_EQ(bird->m_nDirectionSet, 3) << c.id;
        // A walk cycle comes back to its start after its frame count (less a skipped last one).
        bird->m_nState = kChickenWalk;
        bird->m_nPendingTurns = 0;
        bird->m_nTimer = 1000;
        bird->m_Frame = 0;
        std::set<int> seen;
        for (int i = 0; i < c.walkFrames; ++i) {
            seen.insert(bird->m_Frame >> 8);
            bird->RunProcess();
        }
        EXPECT_EQ(bird->m_Frame, 0) << c.id;
        EXPECT_EQ(static_cast<int>(seen.size()), c.walkFrames) << c.id;
    }
    auto* mower = Bird("lawn_mower", 320, 160);
    EXPECT_EQ(mower->m_nBirdNumber, 100);
    EXPECT_EQ(mower->m_DrawScale, 52429);
    EXPECT_EQ(mower->m_SelectionScale, 91750);
    EXPECT_EQ(Bird("robot", 100, 100)->m_nBirdNumber, 101);
}

}  // namespace
