#pragma once
// The tutorial's suites: the round's test game with the tutorial screen in place of the round
// (built from a small root with its buttons, check box and caption, without its images), the
// hand's two sets, and a log of the pointer events that reach the screen.

#include <gtest/gtest.h>

#include <vector>

#include "RoundTestGame.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/gameplay/Scenario.h"

namespace gameplaytest {

// The tutorial's root with every widget the screen looks for, drawn from the test pak's sets.
inline constexpr const char* kTutorialTemplate =
    "root = root_GAMEPLAY_NoAds\nend\n"
    "root = root_tutorial_NoAds\n"
    " child = btn_tutorial_back\n  position = 4, 2\n"
    " child = txt_tutorial_cap\n  position = 120, 8\n"
    " child = btn_tutorial_skip\n  position = 216, 2\n"
    " child = btn_tutorial_prev\n  position = 6, 432\n"
    " child = chk_tutorial_dontshow\n  position = 120, 440\n"
    " child = btn_tutorial_next\n  position = 270, 432\n"
    " end\nend\n"
    "button = btn_tutorial_back\n set = BombRange\nend\n"
    "text = txt_tutorial_cap\n caption = \"How to play\"\nend\n"
    "button = btn_tutorial_skip\n set = Flare\n caption = \"Play!\"\nend\n"
    "button = btn_tutorial_prev\n set = BombRange\nend\n"
    "button = btn_tutorial_next\n set = BombRange\nend\n"
    "checkBox = chk_tutorial_dontshow\n set = Flare\n set_checked = DangerCircle\nend\n";

inline std::vector<TSetSpec> TutorialSets() {
    std::vector<TSetSpec> sets = RoundScreenSets();
    sets.push_back({"TouchPoint", 1});
    sets.push_back({"FingerUp", 1});
    return sets;
}

// A pointer event as the screen received it, with the tutorial input flag of that moment.
struct TPointerEvent {
    int x, y, type, tutorialInput;
    bool operator==(const TPointerEvent&) const = default;
};

class CLoggingTutorial : public CXGameplayTutorial {
public:
    using CXGameplayTutorial::CXGameplayTutorial;
    int NotifyPointerEvent(int x, int y, int type) override {
        events.push_back({x, y, type, m_nTutorialInput});
        return CXGameplayTutorial::NotifyPointerEvent(x, y, type);
    }
    std::vector<TPointerEvent> events;
};

class TutorialTest : public RoundTest {
protected:
    explicit TutorialTest(const std::string& texts = RoundTextsCsv())
        : RoundTest(texts, TutorialSets(), kTutorialTemplate) {
        game.SafeDeleteChildren();
        tutorial = new CLoggingTutorial(&game);
        game.m_pGameplayScreen = tutorial;  // the game deletes it
        screen = tutorial;
        EXPECT_EQ(game.m_pTutorialScreen, tutorial);
        EXPECT_EQ(tutorial->InitRoot(CommonString("ui_main.txt"), "root_tutorial_NoAds"), 1);
        Arrange(0);
        // What the screen's initialisation finds of its root.
        tutorial->m_pSkipButton = tutorial->FindChildWithWidgetId("btn_tutorial_skip");
        tutorial->m_pCaption = tutorial->FindChildWithWidgetId("txt_tutorial_cap");
    }

    // The hand's frame as the test pak holds it.
    IDibBitmap* HandFrame() { return Set("FingerUp")->GetFrame(0); }
    IDibBitmap* TouchFrame() { return Set("TouchPoint")->GetFrame(0); }

    CLoggingTutorial* tutorial = nullptr;
};

}  // namespace gameplaytest
