// The gameplay tutorial screen: its play area, the three lesson scripts against their table, the
// curtain between lessons and the repeat after the last, the buttons and the don't-show box, the
// empty field of a new lesson, the skip button's pulse and the demonstrating hand's geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <typeinfo>
#include <vector>

#include "TutorialTestGame.h"
#include "render/DibBitmap.h"
#include "testsupport/ScratchSaveFolder.h"
#include "ui/XElement.h"

namespace gameplaytest {
namespace {

constexpr FIXED_FLOAT kPx = 256;

class TutorialScreenTest : public TutorialTest {
protected:
    int Click(const char* id) { return tutorial->OnMessage(tutorial, XMSG_CLICK, XIdParam(id), 0); }
    bool Saved() const { return std::filesystem::exists(saves.Path("global.opt")); }
    // Lets the screen's curtain rise, so that it takes a switch again.
    void Settle() {
        tutorial->SetupSavedMessage(nullptr, 0, 0, 0, false);
        tutorial->StartEffectIn();
        while (tutorial->IsTransitionRunning()) (void)tutorial->RunEffectProgress();
    }
    // The steps of the running lesson, by kind.
    std::vector<std::string> StepKinds() {
        std::vector<std::string> kinds;
        const CScenario* s = tutorial->m_pScenario.get();
        for (int i = 0; s != nullptr && i < s->m_Steps.count; ++i) {
            const CScenarioStep& step = *s->m_Steps.data[i];
            const auto& t = typeid(step);
            kinds.push_back(t == typeid(CScenarioStepDelay)                ? "delay"
                            : t == typeid(CScenarioStepSpawnMarble)        ? "spawn"
                            : t == typeid(CScenarioStepMarblesVisible)     ? "visible"
                            : t == typeid(CScenarioStepShowFinger)         ? "show hand"
                            : t == typeid(CScenarioStepHideFinger)         ? "hide hand"
                            : t == typeid(CScenarioStepShowTextBox)        ? "text"
                            : t == typeid(CScenarioStepMoveFingerToMarble) ? "to marble"
                            : t == typeid(CScenarioStepFingerDownOnMarble) ? "press on"
                            : t == typeid(CScenarioStepTouchEvent)         ? "touch"
                            : t == typeid(CScenarioStepMoveFinger)         ? "move hand"
                                                                           : "?");
        }
        return kinds;
    }
    template <class T>
    T* Step(int i) {
        return dynamic_cast<T*>(tutorial->m_pScenario->m_Steps.data[i]);
    }
    // An empty script: it reports finished on its first frame.
    void FinishLesson() { tutorial->m_pScenario = std::make_unique<CScenario>(&game); }

    CScratchSaveFolder saves;
};

TEST_F(TutorialScreenTest, ThePlayAreaStartsBelowTheButtonsAndEndsAboveThem) {
    const TCoordRect2D rect = tutorial->SetupPlayRect();
    EXPECT_EQ(rect.x, 12) << "the round's side margin";
    EXPECT_EQ(rect.width, 320 - 2 * 12);
    EXPECT_EQ(rect.y, 92);
    EXPECT_EQ(rect.height, 480 - 147);
}

// The game names the tutorial while it exists, whoever deletes it; its steps then find none.
TEST_F(TutorialScreenTest, TheGamesRunningTutorialIsTheScreenWhileItExists) {
    EXPECT_EQ(game.m_pTutorialScreen, tutorial);
    auto* second = new CXGameplayTutorial(&game);
    EXPECT_EQ(game.m_pTutorialScreen, second) << "the newest tutorial";
    SAFE_FREE_XELEMENT(second);
    EXPECT_EQ(game.m_pTutorialScreen, nullptr);
    game.m_pTutorialScreen = tutorial;
    game.m_pGameplayScreen = nullptr;
    CXGameplayTutorial* gone = tutorial;
    SAFE_FREE_XELEMENT(gone);
    tutorial = nullptr;
    screen = nullptr;
    EXPECT_EQ(game.m_pTutorialScreen, nullptr);

    // A scenario left over finds no screen: its spawn waits, its touch ends without an event.
    CScenario orphan(&game);
    orphan.AddStepSpawnMarble(kMarbleRed, 100 * kPx, 100 * kPx, 0, 0);
    for (int i = 0; i < 3; ++i) orphan.RunProcess();
    EXPECT_FALSE(orphan.m_Steps.data[0]->m_bDone);
}

// The table of the three lessons, step by step, over the fixture's area (12, 66, 296, 403).
TEST_F(TutorialScreenTest, TheLessonsFollowTheirScripts) {
    const std::vector<std::string> match = {"delay", "spawn",     "spawn",     "visible", "show hand", "text",
                                            "text",  "to marble", "press on",  "delay",   "to marble", "touch",
                                            "delay", "move hand", "hide hand", "delay"};
    const std::vector<std::string> wrong = {"spawn", "delay", "spawn",     "spawn",     "visible", "show hand",
                                            "text",  "text",  "to marble", "press on",  "delay",   "to marble",
                                            "touch", "delay", "move hand", "hide hand", "delay"};
    const std::vector<std::string> combos = {"delay",     "spawn", "spawn",     "spawn",     "visible",   "show hand",
                                             "text",      "text",  "to marble", "press on",  "delay",     "to marble",
                                             "to marble", "touch", "delay",     "move hand", "hide hand", "delay"};
    // X = L - 20 + W / 2 + W / 4 = 12 - 20 + 148 + 74; the middle T + H / 2 = 66 + 201.5.
    const FIXED_FLOAT X = 214 * kPx, top = 66 * kPx, bottom = 469 * kPx, middle = 66 * kPx + 403 * kPx / 2;
    struct TSpawn {
        int step, colour;
        FIXED_FLOAT x, y, vx, vy;
    };
    const struct {
        int lesson;
        const std::vector<std::string>& kinds;
        std::vector<TSpawn> spawns;
        int firstHandStep;
        int pageStep;
        const char* page;
    } lessons[] = {
        {0, match, {{1, 0, X - 28 * kPx, top, 0, 102}, {2, 0, X + 28 * kPx, bottom, 0, -101}}, 4, 6, "1 / 3"},
        {1,
         wrong,
         {{0, 1, X, middle, 0, 0}, {2, 0, X - 28 * kPx, top, 0, 102}, {3, 0, X + 28 * kPx, bottom, 0, -101}},
         5,
         7,
         "2 / 3"},
        {2,
         combos,
         {{1, 0, X - 28 * kPx, top, 0, 102}, {2, 0, X + 28 * kPx, bottom, 0, -101}, {3, 0, 32 * kPx, 76 * kPx, 51, 26}},
         5,
         7,
         "3 / 3"},
    };
    for (const auto& l : lessons) {
        tutorial->SetCurrentScenario(l.lesson);
        ASSERT_NE(tutorial->m_pScenario, nullptr) << l.lesson;
        EXPECT_EQ(tutorial->m_nCurrentLesson, l.lesson);
        EXPECT_EQ(StepKinds(), l.kinds) << l.lesson;
        for (const TSpawn& s : l.spawns) {
            const auto* spawn = Step<CScenarioStepSpawnMarble>(s.step);
            ASSERT_NE(spawn, nullptr) << l.lesson << " step " << s.step;
            EXPECT_EQ(spawn->m_nColour, s.colour) << l.lesson << " step " << s.step;
            EXPECT_EQ(spawn->m_X, s.x) << l.lesson << " step " << s.step;
            EXPECT_EQ(spawn->m_Y, s.y) << l.lesson << " step " << s.step;
            EXPECT_EQ(spawn->m_VX, s.vx) << l.lesson << " step " << s.step;
            EXPECT_EQ(spawn->m_VY, s.vy) << l.lesson << " step " << s.step;
        }
        const auto* hand = Step<CScenarioStepShowFinger>(l.firstHandStep);
        ASSERT_NE(hand, nullptr);
        EXPECT_EQ(hand->m_X, X);
        EXPECT_EQ(hand->m_Y, middle);
        const auto* text = Step<CScenarioStepShowTextBox>(l.pageStep - 1);
        const auto* page = Step<CScenarioStepShowTextBox>(l.pageStep);
        ASSERT_NE(text, nullptr);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(text->m_nX, 27);
        EXPECT_EQ(text->m_nY, 66 + 250);
        EXPECT_EQ(text->m_nWidth, 190);
        EXPECT_EQ(text->m_nRed + text->m_nGreen + text->m_nBlue, 3 * 255) << "white";
        EXPECT_EQ(page->m_nY, 66 + 248 - smallFont->GetCharHeight());
        EXPECT_STREQ(page->m_Text.GetDataConst(), l.page);
        EXPECT_EQ((std::vector<int>{page->m_nRed, page->m_nGreen, page->m_nBlue}), (std::vector<int>{255, 128, 64}));
        // Press on marble 1, drag to marble 0 (and 2), let go at the hand, leave by (60, 40) at 5.
        const int to = l.pageStep + 1;
        EXPECT_EQ(Step<CScenarioStepMoveFingerToMarble>(to)->m_nIndex, 1);
        EXPECT_FALSE(Step<CScenarioStepMoveFingerToMarble>(to)->m_bDrag);
        EXPECT_EQ(Step<CScenarioStepFingerDownOnMarble>(to + 1)->m_nIndex, 1);
        EXPECT_EQ(Step<CScenarioStepDelay>(to + 2)->m_nFrames, 8);
        EXPECT_EQ(Step<CScenarioStepMoveFingerToMarble>(to + 3)->m_nIndex, 0);
        EXPECT_TRUE(Step<CScenarioStepMoveFingerToMarble>(to + 3)->m_bDrag);
        const int release = static_cast<int>(l.kinds.size()) - 5;
        const auto* letGo = Step<CScenarioStepTouchEvent>(release);
        EXPECT_EQ(letGo->m_X, -256);
        EXPECT_EQ(letGo->m_Y, -256);
        EXPECT_EQ(letGo->m_nType, XPOINTER_RELEASE);
        const auto* away = Step<CScenarioStepMoveFinger>(release + 2);
        EXPECT_EQ((std::vector<FIXED_FLOAT>{away->m_DX, away->m_DY, away->m_Speed}),
                  (std::vector<FIXED_FLOAT>{60 * kPx, 40 * kPx, 5 * kPx}));
        EXPECT_EQ(Step<CScenarioStepDelay>(static_cast<int>(l.kinds.size()) - 1)->m_nFrames, 99);
    }
    tutorial->SetCurrentScenario(2);
    EXPECT_EQ(Step<CScenarioStepMoveFingerToMarble>(12)->m_nIndex, 2) << "the combo drags on through marble 2";
    EXPECT_EQ(Step<CScenarioStepDelay>(0)->m_nFrames, 11);
    tutorial->SetCurrentScenario(1);
    EXPECT_EQ(Step<CScenarioStepDelay>(1)->m_nFrames, 11);
}

// The lessons with their texts in the translation table.
class TutorialLessonTextsTest : public TutorialTest {
protected:
    TutorialLessonTextsTest()
        : TutorialTest(
              RoundTextsCsv() +
              "ID_TutorialText1,Match two\nID_TutorialText2,Never two colours\nID_TutorialText3,Three in a row\n") {}
};

TEST_F(TutorialLessonTextsTest, EachLessonShowsItsOwnText) {
    const struct {
        int lesson;
        int textStep;
        const char* text;
    } cases[] = {{0, 5, "Match two"}, {1, 6, "Never two colours"}, {2, 6, "Three in a row"}};
    for (const auto& c : cases) {
        tutorial->SetCurrentScenario(c.lesson);
        ASSERT_NE(tutorial->m_pScenario, nullptr);
        const auto* box = dynamic_cast<CScenarioStepShowTextBox*>(tutorial->m_pScenario->m_Steps.data[c.textStep]);
        ASSERT_NE(box, nullptr) << c.lesson;
        EXPECT_EQ(box->m_nId, 1) << c.lesson;
        EXPECT_STREQ(box->m_Text.GetDataConst(), c.text) << c.lesson;
    }
}

TEST_F(TutorialScreenTest, ALessonSwitchStopsThePathSound) {
    for (int lesson : {1, 0, 2}) {
        sound->stopped.clear();
        tutorial->SetCurrentScenario(lesson);
        EXPECT_EQ(Stopped("SFX_PATH_MOVE"), 1) << lesson;
    }
    sound->stopped.clear();
    tutorial->SetCurrentScenario(3);
    EXPECT_EQ(Stopped("SFX_PATH_MOVE"), 0) << "a lesson beyond the last changes nothing";
}

TEST_F(TutorialScreenTest, MatchOpensAfter11FramesTheFirstTimeAnd99Afterwards) {
    const int expected[] = {11, 99, 99};
    for (int delay : expected) {
        tutorial->SetCurrentScenario(0);
        EXPECT_EQ(Step<CScenarioStepDelay>(0)->m_nFrames, delay);
    }
    EXPECT_EQ(tutorial->m_nMatchBuilds, 3);
}

TEST_F(TutorialScreenTest, ANewLessonStartsOnAnEmptyFieldAndLessonsBeyondTheLastAreIgnored) {
    CMarble* a = Put(kMarbleRed, 100, 200);
    Put(kMarbleGreen, 200, 200);
    a->m_bOnPath = true;
    screen->RollingSoundCounterInc();
    tutorial->m_pDraggedMarble = a;
    tutorial->m_nPauseCounter = 30;  // a wrong colour's pause under way
    tutorial->SetCurrentScenario(2);
    EXPECT_EQ(tutorial->m_Marbles.count, 0);
    EXPECT_EQ(tutorial->m_pDraggedMarble, nullptr);
    EXPECT_EQ(tutorial->m_nMarblesOnPath, 0);
    EXPECT_EQ(tutorial->m_nPauseCounter, -1) << "its marbles would burst at the pause's frame 66";
    const CScenario* built = tutorial->m_pScenario.get();
    tutorial->SetCurrentScenario(3);
    EXPECT_EQ(tutorial->m_nCurrentLesson, 2);
    EXPECT_EQ(tutorial->m_pScenario.get(), built);

    // The new lesson's marbles come in and move while the pause is over.
    tutorial->m_pScenario = std::make_unique<CScenario>(&game);
    tutorial->m_pScenario->AddStepSpawnMarble(kMarbleRed, 150 * kPx, 300 * kPx, 0, 102);
    tutorial->m_pScenario->AddStepDelay(100);
    for (int i = 0; i < 70; ++i) tutorial->RunProcess();
    ASSERT_EQ(tutorial->m_Marbles.count, 1) << "no burst";
    EXPECT_GT(tutorial->m_Marbles.data[0]->m_Position.y, 300 * 65536 + 60 * 102 * 256);
}

// The curtain darkens by 32 a frame, the next lesson is built under it at full darkness, and it
// lifts by 32 a frame; after the last lesson the first repeats and the skip button pulsates.
TEST_F(TutorialScreenTest, FinishedLessonsChangeBehindTheCurtain) {
    const struct {
        int from, to;
        bool pulsates;
    } rows[] = {{0, 1, false}, {1, 2, false}, {2, 0, true}};
    tutorial->SetCurrentScenario(0);  // the first lesson, as the screen opens on it
    for (const auto& r : rows) {
        tutorial->m_nCurrentLesson = r.from;
        FinishLesson();
        const CScenario* finished = tutorial->m_pScenario.get();
        for (int k = 1; k <= 7; ++k) {
            tutorial->RunProcess();
            EXPECT_EQ(tutorial->m_nLessonAlpha, 255 - 32 * k) << r.from << " frame " << k;
            EXPECT_EQ(tutorial->m_nCurrentLesson, r.from);
        }
        EXPECT_EQ(tutorial->m_pScenario.get(), finished) << "the old lesson stays under the curtain";
        tutorial->RunProcess();
        EXPECT_EQ(tutorial->m_nLessonAlpha, 0);
        EXPECT_EQ(tutorial->m_nCurrentLesson, r.to);
        EXPECT_FALSE(tutorial->m_bSwitching);
        EXPECT_EQ(tutorial->m_bSkipPulsates, r.pulsates);
        if (r.to == 0) {
            EXPECT_EQ(Step<CScenarioStepDelay>(0)->m_nFrames, 99) << "the repeat opens with the long delay";
        }
        for (int k = 1; k <= 8; ++k) {
            tutorial->RunProcess();
            EXPECT_EQ(tutorial->m_nLessonAlpha, std::min(32 * k, 255)) << r.to << " frame " << k;
        }
    }
    auto* skip = dynamic_cast<CXGameplayTutorialPlayButton*>(tutorial->m_pSkipButton);
    ASSERT_NE(skip, nullptr);
    EXPECT_TRUE(skip->m_bPulsating);
}

TEST_F(TutorialScreenTest, ButtonsMoveBetweenLessonsAndLeave) {
    const struct {
        const char* id;
        int lesson;
        int message;  // posted behind the curtain, 0 for none
        bool saves;
        bool switching;
        int next;
    } cases[] = {
        {"btn_tutorial_prev", 0, 0, false, false, 0},
        {"btn_tutorial_prev", 2, 0, false, true, 1},
        {"btn_tutorial_next", 0, 0, false, true, 1},
        {"btn_tutorial_next", 1, 0, false, true, 2},
        {"btn_tutorial_next", 2, MSG_RUN_NEW_GAME, true, false, 0},
        {"btn_tutorial_skip", 1, MSG_RUN_NEW_GAME, true, false, 0},
        {"btn_tutorial_back", 1, MSG_RUN_PLAY_SCREEN, false, false, 0},
    };
    for (const auto& c : cases) {
        Settle();
        std::filesystem::remove(saves.Path("global.opt"));
        tutorial->m_nCurrentLesson = c.lesson;
        tutorial->m_bSwitching = false;
        tutorial->m_nNextLesson = 0;
        EXPECT_EQ(Click(c.id), 1) << c.id;
        EXPECT_EQ(tutorial->GetSavedMessage().code, c.message) << c.id << " on " << c.lesson;
        EXPECT_EQ(tutorial->IsEffectOut(), c.message != 0) << c.id;
        EXPECT_EQ(Saved(), c.saves) << c.id;
        EXPECT_EQ(tutorial->m_bSwitching, c.switching) << c.id << " on " << c.lesson;
        EXPECT_EQ(tutorial->m_nNextLesson, c.next) << c.id << " on " << c.lesson;
    }
}

TEST_F(TutorialScreenTest, TheDontShowBoxSetsTheProfilesSwitchAtOnce) {
    profile->m_bTutorialOn = true;
    EXPECT_EQ(tutorial->OnMessage(tutorial, XMSG_CHECK_TOGGLED, XIdParam("chk_tutorial_dontshow"), 1), 1);
    EXPECT_FALSE(profile->m_bTutorialOn);
    EXPECT_EQ(tutorial->OnMessage(tutorial, XMSG_CHECK_TOGGLED, XIdParam("chk_tutorial_dontshow"), 0), 1);
    EXPECT_TRUE(profile->m_bTutorialOn);
    EXPECT_FALSE(Saved()) << "written when the tutorial is left for a round";
}

TEST_F(TutorialScreenTest, RealTouchesReachTheButtonsButNotTheField) {
    auto* next = dynamic_cast<XWidget*>(tutorial->FindChildWithWidgetId("btn_tutorial_next"));
    ASSERT_NE(next, nullptr);
    const TCoordRect2D at = next->GetPosition();
    CMarble* marble = Put(kMarbleRed, 150, 250);
    // A press, a move and a release on the marble: no drag.
    for (int type : {XPOINTER_PRESS, XPOINTER_MOVE, XPOINTER_RELEASE})
        (void)tutorial->NotifyPointerEvent(150, 250, type);
    EXPECT_EQ(tutorial->m_pDraggedMarble, nullptr);
    EXPECT_EQ(marble->m_Path.GetNumSegments(), 0);
    EXPECT_EQ(tutorial->m_PathPoints.count, 0);
    // The next button takes a press and a release on it.
    tutorial->m_nCurrentLesson = 0;
    (void)tutorial->NotifyPointerEvent(at.x + 1, at.y + 1, XPOINTER_PRESS);
    (void)tutorial->NotifyPointerEvent(at.x + 1, at.y + 1, XPOINTER_RELEASE);
    EXPECT_TRUE(tutorial->m_bSwitching);
    EXPECT_EQ(tutorial->m_nNextLesson, 1);
}

TEST_F(TutorialScreenTest, TheSkipButtonPulsatesBetweenItsBoundsAndGlowsWithIt) {
    auto* skip = dynamic_cast<CXGameplayTutorialPlayButton*>(tutorial->m_pSkipButton);
    ASSERT_NE(skip, nullptr);
    EXPECT_FALSE(skip->m_bPulsating);
    tutorial->PulsateSkipButton();
    EXPECT_TRUE(skip->m_bPulsating);
    EXPECT_FLOAT_EQ(skip->m_fScale, 1.0f);
    tutorial->PulsateSkipButton();
    EXPECT_FLOAT_EQ(skip->m_fScale, 1.0f) << "once only";

    std::vector<float> scales;
    for (int i = 0; i < 130; ++i) {
        skip->RunProcess();
        scales.push_back(skip->m_fScale);
    }
    int turnsAtTop = 0, turnsAtBottom = 0;
    for (std::size_t i = 0; i < scales.size(); ++i) {
        EXPECT_GE(scales[i], 0.95f) << i;
        EXPECT_LE(scales[i], 1.15f) << i;
        if (i == 0 || i + 1 == scales.size()) continue;
        const float before = scales[i] - scales[i - 1], after = scales[i + 1] - scales[i];
        if (before > 0 && after < 0) {
            EXPECT_EQ(scales[i], 1.15f) << "turns only at the top bound, frame " << i;
            ++turnsAtTop;
        }
        if (before < 0 && after > 0) {
            EXPECT_EQ(scales[i], 0.95f) << "turns only at the bottom bound, frame " << i;
            ++turnsAtBottom;
        }
    }
    // From 1.0 up 0.15 (16 frames), then 0.2 down and up again: a turn every 20 frames or so.
    EXPECT_EQ(turnsAtTop, 3);
    EXPECT_EQ(turnsAtBottom, 3);
    EXPECT_EQ(scales[15], 1.15f) << "1.0 + 16 x 0.01 passes the top on the 16th frame";

    // The caption's scale eases along a sine: the bounds and the middle stay, a quarter moves.
    const struct {
        float scale, eased;
    } ease[] = {{0.95f, 0.95f}, {1.05f, 1.05f}, {1.15f, 1.15f}, {1.0f, 1.05f - 0.1f * std::sqrt(0.5f)}};
    for (const auto& e : ease) {
        skip->m_fScale = e.scale;
        EXPECT_NEAR(skip->EasedScale(), e.eased, 1e-5) << e.scale;
    }
    // The glow: nothing at the bottom of the pulse, the whole frame again at the top.
    for (const auto& [scale, glow] : std::vector<std::pair<float, int>>{{0.95f, -255}, {1.15f, 0}}) {
        skip->m_fScale = scale;
        recorder.draws.clear();
        skip->Draw();
        int additive = 0;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.kind == TRotatedDraw::kAdditive) {
                EXPECT_NEAR(d.alphaOffset, glow, 1) << scale;
                ++additive;
            }
        EXPECT_EQ(additive, 1) << scale;
    }
}

TEST_F(TutorialScreenTest, TheHandPressesWithItsFingertipAndFloatsOverItsShadow) {
    // The test pak's frames are 2 x 2: the hand's centre stands (w/2 - 30, h/2 - 20) from the
    // point when pressing, (w/2 - 20, h/2 - 30) when raised, its shadow (w/2 - 20, h/2).
    ASSERT_EQ(HandFrame()->m_Width, 2);
    ASSERT_EQ(HandFrame()->m_Height, 2);
    const FIXED_FLOAT x = 150 * kPx + 128, y = 260 * kPx;
    const struct {
        bool pressed;
        std::vector<std::tuple<IDibBitmap*, TRotatedDraw::Kind, FIXED_FLOAT, FIXED_FLOAT, int>> draws;
    } cases[] = {
        {true,
         {{TouchFrame(), TRotatedDraw::kTransparent, x, y, 0},
          {HandFrame(), TRotatedDraw::kTransparent, x + (1 - 30) * kPx, y + (1 - 20) * kPx, 0}}},
        {false,
         {{HandFrame(), TRotatedDraw::kMultiply, x + (1 - 20) * kPx, y + 1 * kPx, -128},
          {HandFrame(), TRotatedDraw::kTransparent, x + (1 - 20) * kPx, y + (1 - 30) * kPx, 0}}},
    };
    for (const auto& c : cases) {
        recorder.draws.clear();
        tutorial->DrawFingerAt(game.m_Screen.m_pBackBuffer, x, y, c.pressed);
        ASSERT_EQ(recorder.draws.size(), c.draws.size()) << c.pressed;
        for (std::size_t i = 0; i < c.draws.size(); ++i) {
            const TRotatedDraw& d = recorder.draws[i];
            const auto& [src, kind, dx, dy, alpha] = c.draws[i];
            EXPECT_EQ(d.src, src) << c.pressed << " " << i;
            EXPECT_EQ(d.kind, kind) << c.pressed << " " << i;
            EXPECT_EQ(d.x, dx) << c.pressed << " " << i;
            EXPECT_EQ(d.y, dy) << c.pressed << " " << i;
            EXPECT_EQ(d.alphaOffset, alpha) << c.pressed << " " << i;
            EXPECT_EQ(d.angle, 0);
            EXPECT_EQ(d.scale, kFixed16One);
            if (kind == TRotatedDraw::kMultiply) {
                EXPECT_EQ(d.r + d.g + d.b, 0) << "a black shadow";
            }
        }
    }
}

// The curtain on the software back buffer: over the play area only, as dark as the lesson is
// faded.
TEST_F(TutorialScreenTest, TheCurtainCoversThePlayAreaOnly) {
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    const auto pixel = [&](int x, int y) {
        const auto* bits = reinterpret_cast<const std::uint16_t*>(back->GetBits());
        return bits[y * back->m_Width + x];
    };
    const auto red = [](std::uint16_t p) { return (p >> 11) * 255 / 31; };
    const struct {
        int lessonAlpha;
        int insideRed;  // of a white pixel: 255 x lesson alpha / 256, within a step of 565
    } cases[] = {{255, 255}, {127, 127}, {0, 0}};
    for (const auto& c : cases) {
        back->ClearBitmap(255, 255, 255);
        tutorial->m_nLessonAlpha = c.lessonAlpha;
        tutorial->Draw();
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{13, 67}, {160, 260}, {307, 468}})
            EXPECT_NEAR(red(pixel(x, y)), c.insideRed, 12) << c.lessonAlpha << " at " << x << "," << y;
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{11, 260}, {160, 65}, {308, 300}, {160, 469}})
            EXPECT_EQ(red(pixel(x, y)), 255) << c.lessonAlpha << " outside at " << x << "," << y;
    }
}

}  // namespace
}  // namespace gameplaytest
