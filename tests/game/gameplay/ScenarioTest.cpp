// The scenario player: one step a frame, the hand's moves and fades, the touch steps' events on
// the tutorial screen, text boxes, marble spawning and waiting, a script that cannot grow, and a
// hand heading for a marble that the round deletes on the way.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>

#include "RefusedAllocation.h"
#include "TutorialTestGame.h"
#include "text/QuorvanTextFormat.h"

namespace gameplaytest {
namespace {

constexpr FIXED_FLOAT kPx = 256;

class ScenarioTest : public TutorialTest {
protected:
    ScenarioTest() : scenario(std::make_unique<CScenario>(&game)) {}

    // Runs frames of the scenario alone; true once it reports finished.
    bool Frames(int n) {
        for (int i = 0; i < n; ++i) scenario->RunProcess();
        return scenario->IsFinished();
    }
    CScenarioElementFinger* Hand() { return scenario->LastFinger(); }
    std::vector<int> ElementIds(int kind) {
        std::vector<int> ids;
        for (int i = 0; i < scenario->m_Elements.count; ++i)
            if (scenario->m_Elements.data[i]->m_nKind == kind) ids.push_back(scenario->m_Elements.data[i]->m_nId);
        return ids;
    }
    // The recorded draws of the hand's frame since the last call.
    std::vector<TRotatedDraw> HandDraws() {
        std::vector<TRotatedDraw> out;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.src == HandFrame()) out.push_back(d);
        recorder.draws.clear();
        return out;
    }

    std::unique_ptr<CScenario> scenario;
};

TEST_F(ScenarioTest, EveryStepTakesAFrameOfItsOwnAndTheEmptyFrameFinishes) {
    const struct {
        const char* why;
        std::function<void(CScenario&)> build;
        int frames;  // the first frame after which the scenario is finished
    } cases[] = {
        {"empty", [](CScenario&) {}, 1},
        {"delay 0: one run, then the empty frame", [](CScenario& s) { s.AddStepDelay(0); }, 2},
        {"delay 3: four runs, then the empty frame", [](CScenario& s) { s.AddStepDelay(3); }, 5},
        {"three steps done at once still take a frame each",
         [&](CScenario& s) {
             s.AddStepShowFinger(10 * kPx, 10 * kPx, false);
             s.AddStepShowTextBox(1, 20, 30, 190, smallFont.get(), "A few words", 255, 255, 255);
             s.AddStepDestroyTextBox(1);
         },
         4},
        {"two delays",
         [](CScenario& s) {
             s.AddStepDelay(2);
             s.AddStepDelay(1);
         },
         6},
    };
    for (const auto& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        c.build(*scenario);
        EXPECT_FALSE(Frames(c.frames - 1)) << c.why;
        EXPECT_TRUE(Frames(1)) << c.why;
    }

    // One step a frame: the hand comes on the first frame, the box on the second, and goes on the
    // third.
    scenario = std::make_unique<CScenario>(&game);
    scenario->AddStepShowFinger(10 * kPx, 10 * kPx, false);
    scenario->AddStepShowTextBox(1, 20, 30, 190, smallFont.get(), "A few words", 255, 255, 255);
    scenario->AddStepDestroyTextBox(1);
    const int counts[] = {1, 2, 1};
    for (int expected : counts) {
        (void)Frames(1);
        EXPECT_EQ(scenario->m_Elements.count, expected);
    }
}

TEST_F(ScenarioTest, AStepThatCannotBeAppendedLeavesTheScriptUnbuilt) {
    scenario->AddStepDelay(1);
    EXPECT_TRUE(scenario->IsBuilt());
    scenario->m_Steps.growBy = INT_MAX;
    scenario->m_Steps.capacity = scenario->m_Steps.count;
    scenario->AddStepShowFinger(0, 0, false);
    EXPECT_FALSE(scenario->IsBuilt());
    EXPECT_EQ(scenario->m_Steps.count, 1) << "the step was dropped";
}

TEST_F(ScenarioTest, AMoveToAMarbleThatIsNotThereEndsAtOnceAndTheHandStays) {
    Put(kMarbleRed, 200, 300);
    Put(kMarbleRed, 100, 300);
    scenario->AddStepShowFinger(100 * kPx, 120 * kPx, false);
    scenario->AddStepMoveFingerToMarble(2, true);
    scenario->AddStepMoveFingerToMarble(-1, false);
    scenario->AddStepDelay(5);
    (void)Frames(3);
    EXPECT_EQ(Hand()->m_X, 100 * kPx);
    EXPECT_EQ(Hand()->m_Y, 120 * kPx);
    EXPECT_TRUE(scenario->m_Steps.data[1]->m_bDone);
    EXPECT_TRUE(scenario->m_Steps.data[2]->m_bDone);
    EXPECT_TRUE(tutorial->events.empty()) << "a drag that ends at once sends nothing";
    EXPECT_FALSE(scenario->m_Steps.data[3]->m_bDone) << "the delay runs on the fourth frame";
}

TEST_F(ScenarioTest, TheHandReachesAMarbleSixPixelsARunAndDragsTheFingerAlong) {
    Put(kMarbleRed, 200, 300);
    scenario->AddStepShowFinger(140 * kPx, 220 * kPx, false);
    scenario->AddStepMoveFingerToMarble(0, true);
    (void)Frames(1);
    // 100 pixels away: 16 steps of 6 leave 4, the 17th run lands on the centre.
    int runs = 0;
    while (!scenario->m_Steps.data[1]->m_bDone && runs < 40) {
        (void)Frames(1);
        ++runs;
    }
    EXPECT_EQ(runs, 17);
    EXPECT_EQ(Hand()->m_X, 200 * kPx);
    EXPECT_EQ(Hand()->m_Y, 300 * kPx);
    ASSERT_EQ(tutorial->events.size(), 17u) << "a move on every run";
    // The first step along (60, 80) / 100 x 6 = (3.6, 4.8) from (140, 220), in whole pixels.
    EXPECT_EQ(tutorial->events.front(), (TPointerEvent{143, 224, XPOINTER_MOVE, 1}));
    EXPECT_EQ(tutorial->events[8], (TPointerEvent{140 + 9 * 36 / 10, 220 + 9 * 48 / 10, XPOINTER_MOVE, 1}));
    EXPECT_EQ(tutorial->events.back(), (TPointerEvent{200, 300, XPOINTER_MOVE, 1}));
    EXPECT_EQ(tutorial->m_nTutorialInput, 0) << "set only while the event is sent";
}

TEST_F(ScenarioTest, TouchStepsSendTheirEventsAndMoveTheHand) {
    CMarble* marble = Put(kMarbleGreen, 150, 250);
    marble->m_Position.x += 49152;  // 150.75 pixels: the press lands on whole pixels
    scenario->AddStepShowFinger(120 * kPx, 130 * kPx, false);
    scenario->AddStepTouchEvent(300 * kPx, 310 * kPx, XPOINTER_PRESS);
    scenario->AddStepTouchEvent(CScenarioStepTouchEvent::kAtFinger, CScenarioStepTouchEvent::kAtFinger,
                                XPOINTER_RELEASE);
    scenario->AddStepTouchEvent(50 * kPx, 60 * kPx, 7);
    scenario->AddStepFingerDownOnMarble(0);
    scenario->AddStepFingerDownOnMarble(1);
    const struct {
        const char* why;
        std::vector<TPointerEvent> events;
        int handX, handY;
        bool pressed;
    } frames[] = {
        {"the hand appears", {}, 120, 130, false},
        {"a press moves the hand there", {{300, 310, XPOINTER_PRESS, 1}}, 300, 310, true},
        {"a release at (-1, -1) is at the hand, lifted",
         {{300, 310, XPOINTER_PRESS, 1}, {300, 310, XPOINTER_RELEASE, 1}},
         300,
         310,
         false},
        {"an unknown type does nothing",
         {{300, 310, XPOINTER_PRESS, 1}, {300, 310, XPOINTER_RELEASE, 1}},
         300,
         310,
         false},
        {"a press on a marble's whole-pixel centre",
         {{300, 310, XPOINTER_PRESS, 1}, {300, 310, XPOINTER_RELEASE, 1}, {150, 250, XPOINTER_PRESS, 1}},
         150,
         250,
         true},
        {"no marble at that index: nothing",
         {{300, 310, XPOINTER_PRESS, 1}, {300, 310, XPOINTER_RELEASE, 1}, {150, 250, XPOINTER_PRESS, 1}},
         150,
         250,
         true},
    };
    for (const auto& f : frames) {
        (void)Frames(1);
        EXPECT_EQ(tutorial->events, f.events) << f.why;
        EXPECT_EQ(Hand()->m_X, f.handX * kPx) << f.why;
        EXPECT_EQ(Hand()->m_Y, f.handY * kPx) << f.why;
        EXPECT_EQ(Hand()->m_bPressed, f.pressed) << f.why;
    }
    EXPECT_TRUE(Frames(1));

    // Without a hand the event goes to the given point.
    scenario = std::make_unique<CScenario>(&game);
    tutorial->events.clear();
    scenario->AddStepTouchEvent(70 * kPx, 80 * kPx, XPOINTER_MOVE);
    (void)Frames(1);
    EXPECT_EQ(tutorial->events, (std::vector<TPointerEvent>{{70, 80, XPOINTER_MOVE, 1}}));
}

TEST_F(ScenarioTest, EveryTouchButTheReleaseShowsTheHandPressed) {
    struct TCase {
        int type;
        bool pressedBefore, pressedAfter;
    };
    const TCase cases[] = {{XPOINTER_PRESS, false, true},
                           {XPOINTER_MOVE, false, true},
                           {XPOINTER_RELEASE, true, false},
                           {XPOINTER_MOVE, true, true}};
    for (const TCase& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        scenario->AddStepShowFinger(120 * kPx, 130 * kPx, false);
        scenario->AddStepTouchEvent(CScenarioStepTouchEvent::kAtFinger, CScenarioStepTouchEvent::kAtFinger, c.type);
        (void)Frames(1);
        Hand()->m_bPressed = c.pressedBefore;
        tutorial->m_nTutorialInput = 0;
        (void)Frames(1);
        EXPECT_EQ(Hand()->m_bPressed, c.pressedAfter) << "type " << c.type;
        EXPECT_EQ(tutorial->m_nTutorialInput, 0) << "real touches reach the buttons again";
    }
}

TEST_F(ScenarioTest, AHandMoveEndsOnTheRunThatBringsItWithinItsSpeed) {
    // Straight to the right: the run that finds the target at most one speed away lands on it.
    struct TCase {
        int dxPx;
        FIXED_FLOAT speed;
        int runs;
    };
    const TCase cases[] = {{10, 5 * kPx, 2}, {10, 10 * kPx, 1}, {11, 5 * kPx, 3}, {10, 5 * kPx - 1, 3}, {0, kPx, 1}};
    for (const TCase& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
        scenario->AddStepMoveFinger(c.dxPx * kPx, 0, c.speed);
        (void)Frames(1);
        int runs = 0;
        while (!scenario->m_Steps.data[1]->m_bDone && runs < 10) {
            (void)Frames(1);
            ++runs;
        }
        EXPECT_EQ(runs, c.runs) << c.dxPx << " pixels at " << c.speed;
        EXPECT_EQ(Hand()->m_X, (100 + c.dxPx) * kPx);
        EXPECT_EQ(Hand()->m_Y, 100 * kPx);
    }
}

TEST_F(ScenarioTest, AHandSixPixelsFromItsMarbleLandsOnItInOneRun) {
    // 6 pixels (1536) lands at once; 1538 units take a step of 6 pixels first (1537 measures
    // just below itself through the 24.8 square root).
    struct TCase {
        FIXED_FLOAT handX;
        int runs;
    };
    const TCase cases[] = {{194 * kPx, 1}, {194 * kPx - 2, 2}, {200 * kPx, 1}};
    for (const TCase& c : cases) {
        screen->m_Marbles.RemoveAll();
        Put(kMarbleRed, 200, 300);
        scenario = std::make_unique<CScenario>(&game);
        scenario->AddStepShowFinger(c.handX, 300 * kPx, false);
        scenario->AddStepMoveFingerToMarble(0, false);
        (void)Frames(1);
        int runs = 0;
        while (!scenario->m_Steps.data[1]->m_bDone && runs < 10) {
            (void)Frames(1);
            ++runs;
        }
        EXPECT_EQ(runs, c.runs) << c.handX;
        EXPECT_EQ(Hand()->m_X, 200 * kPx);
    }
}

TEST_F(ScenarioTest, StepsThatNeedTheScreenWaitOrEndWithoutIt) {
    game.m_pTutorialScreen = nullptr;
    scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
    scenario->AddStepTouchEvent(5 * kPx, 5 * kPx, XPOINTER_PRESS);
    scenario->AddStepMoveFinger(10 * kPx, 0, kPx);
    scenario->AddStepSpawnMarble(kMarbleRed, 100 * kPx, 200 * kPx, 51, 26);
    scenario->AddStepMarblesVisible();
    (void)Frames(13);
    EXPECT_TRUE(tutorial->events.empty());
    EXPECT_EQ(Hand()->m_X, 100 * kPx) << "the move ended at once";
    EXPECT_TRUE(scenario->m_Steps.data[2]->m_bDone);
    EXPECT_FALSE(scenario->m_Steps.data[3]->m_bDone) << "the spawn waits for a screen";
    EXPECT_EQ(screen->m_Marbles.count, 0);
    EXPECT_EQ(recorder.draws.size(), 0u);
    scenario->Draw(game.m_Screen.m_pBackBuffer);
    EXPECT_TRUE(HandDraws().empty()) << "no hand is drawn without the screen";

    game.m_pTutorialScreen = tutorial;
    (void)Frames(1);
    ASSERT_EQ(screen->m_Marbles.count, 1);
    const CMarble* marble = screen->m_Marbles.data[0];
    EXPECT_EQ(marble->m_Position.x, 100 * 65536);
    EXPECT_EQ(marble->m_Position.y, 200 * 65536);
    // (51, 26) / 256 pixels a frame, as 16.16: its length and its unit direction.
    const double length = std::hypot(51.0 * 256, 26.0 * 256);
    EXPECT_NEAR(marble->m_nSpeed, length, 1.0);
    EXPECT_NEAR(marble->m_Direction.x, 51.0 * 256 * 65536 / length, 1.0);
    EXPECT_NEAR(marble->m_Direction.y, 26.0 * 256 * 65536 / length, 1.0);
}

TEST_F(ScenarioTest, WaitingForMarblesEndsOnceEveryOneIsFullyInside) {
    // The area is 12..308 x 66..469: fully inside means more than 14 pixels in from each edge.
    CMarble* high = Put(kMarbleRed, 150, 80);
    Put(kMarbleBlue, 150, 300);
    scenario->AddStepMarblesVisible();
    (void)Frames(3);
    EXPECT_FALSE(scenario->m_Steps.data[0]->m_bDone) << "80 is 14 below the top: on the edge";
    high->m_Position.y = 81 * 65536;
    (void)Frames(1);
    EXPECT_TRUE(scenario->m_Steps.data[0]->m_bDone);

    // No marbles: done at once.
    scenario = std::make_unique<CScenario>(&game);
    screen->m_Marbles.RemoveAll();
    scenario->AddStepMarblesVisible();
    (void)Frames(1);
    EXPECT_TRUE(scenario->m_Steps.data[0]->m_bDone);
}

TEST_F(ScenarioTest, TheHandMovesByAnOffsetAtItsSpeed) {
    scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
    scenario->AddStepMoveFinger(60 * kPx, 40 * kPx, 5 * kPx);
    (void)Frames(1);
    // 72.1 pixels at 5 a run: 14 runs leave 2.1, the 15th lands.
    int runs = 0;
    while (!scenario->m_Steps.data[1]->m_bDone && runs < 40) {
        (void)Frames(1);
        ++runs;
        if (runs == 7) {
            // Seven runs along the unit direction (60, 40) / 72.11.
            EXPECT_NEAR(Hand()->m_X / 256.0, 100 + 7 * 5 * 60 / std::hypot(60.0, 40.0), 0.05);
            EXPECT_NEAR(Hand()->m_Y / 256.0, 100 + 7 * 5 * 40 / std::hypot(60.0, 40.0), 0.05);
        }
    }
    EXPECT_EQ(runs, 15);
    EXPECT_EQ(Hand()->m_X, 160 * kPx);
    EXPECT_EQ(Hand()->m_Y, 140 * kPx);
}

TEST_F(ScenarioTest, TextBoxesThatCannotBeLaidOutAreSkippedAndRemovingIsByLastId) {
    const struct {
        const char* why;
        CBitmapFontText* font;
        const char* text;
        bool shown;
        std::size_t refused;  // the size of a nothrow allocation that fails, as when memory runs out
    } cases[] = {
        {"a text in the font", smallFont.get(), "Draw a path", true, 0},
        {"no font", nullptr, "Draw a path", false, 0},
        {"no text", smallFont.get(), "", false, 0},
        {"the box cannot be made", smallFont.get(), "Draw a path", false, sizeof(CScenarioElementTextBox)},
        {"its layout cannot be made", smallFont.get(), "Draw a path", false, sizeof(CQuorvanTextFormat)},
    };
    for (const auto& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        scenario->AddStepShowTextBox(1, 20, 30, 190, c.font, c.text, 255, 128, 64);
        scenario->AddStepShowFinger(0, 0, false);
        {
            const CRefusedAllocation refusal(c.refused);
            (void)Frames(1);
            EXPECT_FALSE(refusal.Pending()) << c.why;
        }
        EXPECT_EQ(scenario->m_Elements.count, c.shown ? 1 : 0) << c.why;
        if (c.shown) {
            // Placed at (20, 30) in whole pixels, laid out left-aligned in its width of 190.
            const auto* box = static_cast<const CScenarioElementTextBox*>(scenario->m_Elements.data[0]);
            EXPECT_EQ(box->m_X, 20 * kPx);
            EXPECT_EQ(box->m_Y, 30 * kPx);
            ASSERT_NE(box->m_pFormat, nullptr);
            EXPECT_EQ(box->m_pFormat->m_nAlignment, 0);
            EXPECT_EQ(box->m_pFormat->m_nWidth, 190);
        }
        (void)Frames(1);
        EXPECT_NE(Hand(), nullptr) << c.why << ": the script goes on";
    }

    scenario = std::make_unique<CScenario>(&game);
    for (int id : {1, 2, 1, 3}) scenario->AddStepShowTextBox(id, 20, 30 * id, 190, smallFont.get(), "x", 0, 0, 0);
    scenario->AddStepShowFinger(0, 0, false);
    (void)Frames(5);
    CScenarioElement* firstOne = scenario->m_Elements.data[0];
    scenario->DestroyTextBox(9);
    EXPECT_EQ(ElementIds(CScenarioElement::kTextBox), (std::vector<int>{1, 2, 1, 3})) << "an unknown id: nothing";
    scenario->AddStepDestroyTextBox(1);
    (void)Frames(1);
    EXPECT_EQ(ElementIds(CScenarioElement::kTextBox), (std::vector<int>{1, 2, 3})) << "the last box with id 1 went";
    EXPECT_EQ(scenario->m_Elements.data[0], firstOne);
    EXPECT_EQ(scenario->m_Elements.data[3], Hand()) << "the others keep their order";
}

TEST_F(ScenarioTest, AHiddenHandFadesOutBeforeTheNextStepAndIsNotDrawnAtZero) {
    scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
    scenario->AddStepDelay(8);
    scenario->AddStepHideFinger();
    scenario->AddStepDelay(0);
    // Shown at alpha 0, then 32 a frame up to 255: drawn from the second frame.
    (void)Frames(1);
    EXPECT_EQ(Hand()->m_Alpha, 32 * 256);
    (void)Frames(9);
    EXPECT_EQ(Hand()->m_Alpha, 255 * 256);
    ASSERT_FALSE(scenario->m_Steps.data[2]->m_bDone);
    // The hide step takes 16 and the hand's own fade 32 a frame: 255 - 48 k.
    const int alphas[] = {207, 159, 111, 63, 15, 0};
    for (int k = 0; k < 6; ++k) {
        EXPECT_FALSE(scenario->m_Steps.data[2]->m_bDone) << k;
        (void)Frames(1);
        EXPECT_EQ(Hand()->m_Alpha, alphas[k] * 256) << k;
        EXPECT_FALSE(scenario->m_Steps.data[3]->m_bDone) << "the next step waits, frame " << k;
        recorder.draws.clear();
        scenario->Draw(game.m_Screen.m_pBackBuffer);
        const std::vector<TRotatedDraw> draws = HandDraws();
        if (alphas[k] > 0) {
            ASSERT_EQ(draws.size(), 2u) << "shadow and hand, frame " << k;
            EXPECT_EQ(draws[1].alphaOffset, alphas[k] - 255) << k;
        } else {
            EXPECT_TRUE(draws.empty()) << "not drawn at alpha 0";
        }
    }
    EXPECT_TRUE(scenario->m_Steps.data[2]->m_bDone);
    (void)Frames(1);
    EXPECT_TRUE(scenario->m_Steps.data[3]->m_bDone);

    // Hiding without a hand ends at once.
    scenario = std::make_unique<CScenario>(&game);
    scenario->AddStepHideFinger();
    (void)Frames(1);
    EXPECT_TRUE(scenario->m_Steps.data[0]->m_bDone);
}

// The round deletes two reds that touch while the hand is on its way to one of them: the step
// takes the marble by its index on every run and ends once it is gone, never touching the freed
// marble (the sanitizers watch this).
TEST_F(ScenarioTest, AMarbleAlreadyLeavingIsNotThereForTheHand) {
    // Flagged removed, it goes with the round's next delete pass: a move to it ends at once, and a
    // press on it is not made.
    CMarble* leaving = Put(kMarbleRed, 200, 300);
    leaving->m_bRemoved = true;
    scenario->AddStepShowFinger(100 * kPx, 120 * kPx, false);
    scenario->AddStepMoveFingerToMarble(0, true);
    scenario->AddStepFingerDownOnMarble(0);
    (void)Frames(3);
    EXPECT_TRUE(scenario->m_Steps.data[1]->m_bDone);
    EXPECT_EQ(Hand()->m_X, 100 * kPx);
    EXPECT_EQ(Hand()->m_Y, 120 * kPx);
    EXPECT_TRUE(tutorial->events.empty());
}

TEST_F(ScenarioTest, TheHandIsFoundBehindLaterTextBoxesAndTheFirstBoxCanGo) {
    scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
    scenario->AddStepShowTextBox(5, 20, 30, 190, smallFont.get(), "first", 255, 255, 255);
    scenario->AddStepShowTextBox(6, 20, 60, 190, smallFont.get(), "second", 255, 255, 255);
    scenario->AddStepMoveFinger(10 * kPx, 0, 20 * kPx);
    scenario->AddStepDestroyTextBox(5);
    (void)Frames(5);
    EXPECT_EQ(Hand()->m_X, 110 * kPx) << "the hand, the first element, moved";
    EXPECT_EQ(ElementIds(CScenarioElement::kTextBox), std::vector<int>{6});
}

TEST_F(ScenarioTest, HidingEndsOnTheRunThatBringsTheHandToZeroOrBelow) {
    // Alpha in 256ths: a run of the hiding lowers it by 16.0 first, then checks.
    const struct {
        FIXED_FLOAT alpha;
        int runs;
    } cases[] = {{16 * 256, 1}, {16 * 256 - 1, 1}, {16 * 256 + 1, 2}};
    for (const auto& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
        scenario->AddStepHideFinger();
        (void)Frames(1);
        Hand()->m_Alpha = c.alpha;
        for (int run = 1; run <= c.runs; ++run) {
            (void)Frames(1);
            EXPECT_EQ(scenario->m_Steps.data[1]->m_bDone, run == c.runs) << c.alpha << " run " << run;
        }
        EXPECT_EQ(Hand()->m_Alpha, 0) << c.alpha;
    }
}

TEST_F(ScenarioTest, WaitingForMarblesWithoutTheScreenWaits) {
    game.m_pTutorialScreen = nullptr;
    scenario->AddStepMarblesVisible();
    (void)Frames(3);
    EXPECT_FALSE(scenario->m_Steps.data[0]->m_bDone);
    game.m_pTutorialScreen = tutorial;
    (void)Frames(1);
    EXPECT_TRUE(scenario->m_Steps.data[0]->m_bDone) << "an empty field is fully inside";
}

TEST_F(ScenarioTest, ABoxThatIsTheFirstElementCanGo) {
    scenario->AddStepShowTextBox(7, 20, 30, 190, smallFont.get(), "only", 255, 255, 255);
    scenario->AddStepShowFinger(100 * kPx, 100 * kPx, false);
    scenario->AddStepDestroyTextBox(7);
    (void)Frames(3);
    EXPECT_TRUE(ElementIds(CScenarioElement::kTextBox).empty());
    ASSERT_EQ(scenario->m_Elements.count, 1);
    EXPECT_EQ(scenario->m_Elements.data[0], Hand());
}

TEST_F(ScenarioTest, AMarbleDeletedWhileTheHandHeadsForItEndsTheMove) {
    CMarble* left = Put(kMarbleRed, 100, 200);
    CMarble* right = Put(kMarbleRed, 220, 200);
    left->m_Direction = {65536, 0};
    right->m_Direction = {-65536, 0};
    left->m_nSpeed = right->m_nSpeed = 65536;  // a pixel a frame each: they touch within 45 frames
    auto* s = new CScenario(&game);
    s->AddStepShowFinger(30 * kPx, 440 * kPx, false);
    s->AddStepMoveFingerToMarble(1, false);
    s->AddStepDelay(200);
    tutorial->m_pScenario.reset(s);
    int frame = 0, goneAt = -1;
    for (; frame < 80 && !s->m_Steps.data[1]->m_bDone; ++frame) {
        tutorial->RunProcess();
        if (goneAt < 0 && screen->m_Marbles.count < 2) goneAt = frame;
    }
    ASSERT_GE(goneAt, 10) << "the hand was on its way when the pair went";
    EXPECT_EQ(screen->m_Marbles.count, 0) << "both reds were deleted";
    EXPECT_LE(frame - 1, goneAt) << "the move ended in the frame the marble went";
    const double covered = std::hypot(s->LastFinger()->m_X / 256.0 - 30, s->LastFinger()->m_Y / 256.0 - 440);
    // 6 pixels a run towards a moving marble, never landing on it.
    EXPECT_LE(covered, 6.0 * (frame - 2) + 0.01);
    EXPECT_GT(covered, 6.0 * (frame - 2) - 3.0);
    EXPECT_EQ(tutorial->m_nLives, 1) << "one colour: no life lost";
}

// The round's delete pass removes a marble by moving the later ones down, and the old last slot
// keeps its pointer: an index equal to the shortened count finds no marble, neither for a move nor
// for a press.
TEST_F(ScenarioTest, AnIndexAtTheShortenedCountFindsNoMarble) {
    Put(kMarbleRed, 100, 300);
    CMarble* middle = Put(kMarbleRed, 150, 300);
    Put(kMarbleBlue, 200, 300);
    ASSERT_EQ(screen->m_Marbles.RemoveAt(1), 1);
    delete middle;
    ASSERT_EQ(screen->m_Marbles.count, 2);
    scenario->AddStepShowFinger(100 * kPx, 120 * kPx, false);
    scenario->AddStepMoveFingerToMarble(2, true);
    scenario->AddStepFingerDownOnMarble(2);
    (void)Frames(3);
    EXPECT_TRUE(scenario->m_Steps.data[1]->m_bDone);
    EXPECT_TRUE(scenario->m_Steps.data[2]->m_bDone);
    EXPECT_EQ(Hand()->m_X, 100 * kPx);
    EXPECT_EQ(Hand()->m_Y, 120 * kPx);
    EXPECT_TRUE(tutorial->events.empty());
}

// A marble the screen's full list cannot take is not there: the spawn ends without one and the
// script goes on.
TEST_F(ScenarioTest, ASpawnTheListCannotTakeEndsWithoutAMarble) {
    screen->m_Marbles.growBy = INT_MAX;
    screen->m_Marbles.capacity = screen->m_Marbles.count;
    scenario->AddStepSpawnMarble(kMarbleRed, 100 * kPx, 200 * kPx, 51, 26);
    scenario->AddStepShowFinger(10 * kPx, 10 * kPx, false);
    (void)Frames(2);
    EXPECT_TRUE(scenario->m_Steps.data[0]->m_bDone);
    EXPECT_EQ(screen->m_Marbles.count, 0);
    EXPECT_NE(Hand(), nullptr) << "the script went on";
}

// Only a point at (-1.0, -1.0) means the hand: one coordinate at -1.0 is a point like any other,
// and the hand goes there.
TEST_F(ScenarioTest, OnlyBothCoordinatesAtMinusOneMeanTheHand) {
    const struct {
        FIXED_FLOAT x, y;
        TPointerEvent event;
    } cases[] = {
        {CScenarioStepTouchEvent::kAtFinger, 310 * kPx, {-1, 310, XPOINTER_PRESS, 1}},
        {300 * kPx, CScenarioStepTouchEvent::kAtFinger, {300, -1, XPOINTER_PRESS, 1}},
        {CScenarioStepTouchEvent::kAtFinger, CScenarioStepTouchEvent::kAtFinger, {120, 130, XPOINTER_PRESS, 1}},
    };
    for (const auto& c : cases) {
        scenario = std::make_unique<CScenario>(&game);
        tutorial->events.clear();
        scenario->AddStepShowFinger(120 * kPx, 130 * kPx, false);
        scenario->AddStepTouchEvent(c.x, c.y, XPOINTER_PRESS);
        (void)Frames(2);
        EXPECT_EQ(tutorial->events, std::vector<TPointerEvent>{c.event}) << c.x << ", " << c.y;
        EXPECT_EQ(Hand()->m_X, c.event.x * kPx) << c.x << ", " << c.y;
        EXPECT_EQ(Hand()->m_Y, c.event.y * kPx) << c.x << ", " << c.y;
    }
}

}  // namespace
}  // namespace gameplaytest
