// The hint overlays' shared protocol: the sets they need, the fade in to 220 and out to finished,
// the base's empty hit test and drawing, and the bobbing's turn at either bound.
#include "game/widgets/FocusedTutorial.h"

#include <gtest/gtest.h>

#include <memory>

#include "OverlayTestGame.h"
#include "game/widgets/FullScreenTutorial.h"
#include "game/widgets/TiledBGTutorial.h"

namespace {

using namespace overlaytest;

TEST(ProcessCyclicValueTest, StepsAndTurnsAtEitherBound) {
    const struct {
        const char* why;
        double value, speed, next, nextSpeed;
    } cases[] = {
        {"a step inside", 0.0, 0.5, 0.5, 0.5},
        {"reaching the top stops on it and turns", 1.75, 0.5, 2.0, -0.5},
        {"exactly on the top turns too", 1.5, 0.5, 2.0, -0.5},
        {"reaching the bottom stops on it and turns", -1.75, -0.5, -2.0, 0.5},
        {"a step down inside", 1.0, -0.5, 0.5, -0.5},
    };
    for (const auto& c : cases) {
        double value = c.value, speed = c.speed;
        ProcessCyclicValue(-2.0, value, speed, 2.0);
        EXPECT_DOUBLE_EQ(value, c.next) << c.why;
        EXPECT_DOUBLE_EQ(speed, c.nextSpeed) << c.why;
    }
    // A whole swing from the bottom comes back to it after 2 x 4 / 0.5 steps.
    double value = -2.0, speed = 0.5;
    for (int i = 0; i < 16; ++i) ProcessCyclicValue(-2.0, value, speed, 2.0);
    EXPECT_DOUBLE_EQ(value, -2.0);
    EXPECT_DOUBLE_EQ(speed, 0.5);
}

class FocusedTutorialTest : public OverlayTest {};

// Every overlay needs its sets and a text it can lay out; one that cannot is never shown.
enum class EVariant { Base, FullScreen, Tiled };
struct TSetupCase {
    const char* why;
    EVariant variant;
    const char* leftOut;  // a set not declared, or ""
    bool withFocus;
    const char* text;
    int result;
};

void PrintTo(const TSetupCase& c, std::ostream* os) { *os << c.why; }

class OverlaySetupTest : public OverlayTest, public ::testing::WithParamInterface<TSetupCase> {};

TEST_P(OverlaySetupTest, PostConstructNeedsTheSetsAndAText) {
    const TSetupCase& c = GetParam();
    if (!SetUpArt({c.leftOut})) GTEST_SKIP() << "no headless EGL / GLES1 here";
    XWidget* focus = c.withFocus ? MakeTarget(200, 20, 40, 40) : nullptr;
    std::unique_ptr<CFocusedTutorial> hint;
    if (c.variant == EVariant::Base) hint = std::make_unique<CFocusedTutorial>(&game, 3, 10, 10, c.text, focus);
    if (c.variant == EVariant::FullScreen)
        hint = std::make_unique<CFullScreenTutorial>(&game, 0, 160, 400, c.text, focus);
    if (c.variant == EVariant::Tiled)
        hint = std::make_unique<CTiledBGTutorial>(&game, 4, 0, 0, c.text, TCoordRect2D{40, 200, 240, 60}, focus);
    EXPECT_EQ(hint->PostConstruct(), c.result);
    EXPECT_EQ(hint->IsShown(), c.result == 1);
}

const TSetupCase kSetupCases[] = {
    {"base, everything there", EVariant::Base, "", false, "Tap here", 1},
    {"base without the arrow", EVariant::Base, "tutorial_arrow", false, "Tap here", 0},
    {"base without the close button", EVariant::Base, "tutorial_close", false, "Tap here", 0},
    {"full screen, everything there", EVariant::FullScreen, "tutorial_tiledbg", false, "Tap here", 1},
    {"full screen without the arrow", EVariant::FullScreen, "tutorial_arrow", false, "Tap here", 0},
    {"full screen without the close button", EVariant::FullScreen, "tutorial_close", false, "Tap here", 0},
    {"full screen without the spot", EVariant::FullScreen, "tutorial_focus", false, "Tap here", 0},
    {"full screen with nothing to say", EVariant::FullScreen, "", false, "", 0},
    {"tiled, everything there", EVariant::Tiled, "tutorial_focus", true, "Tap here", 1},
    {"tiled without the arrow", EVariant::Tiled, "tutorial_arrow", false, "Tap here", 0},
    {"tiled without the close button", EVariant::Tiled, "tutorial_close", false, "Tap here", 0},
    {"tiled without its tiles", EVariant::Tiled, "tutorial_tiledbg", false, "Tap here", 0},
    {"tiled pointing at a widget without the black arrow", EVariant::Tiled, "tutorial_black_arrow", true, "Tap", 0},
    {"tiled about no widget needs no black arrow", EVariant::Tiled, "tutorial_black_arrow", false, "Tap", 1},
    {"tiled with nothing to say", EVariant::Tiled, "", false, "", 0},
};
INSTANTIATE_TEST_SUITE_P(Cases, OverlaySetupTest, ::testing::ValuesIn(kSetupCases));

TEST_F(FocusedTutorialTest, DarkensTo220In22FramesAndClearsInAtMost7) {
    if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    const struct {
        int framesShown;                                      // before FadeOut
        int framesToClear;                                    // after it, until finished
    } cases[] = {{22, 7}, {40, 7}, {5, 2}, {1, 1}, {16, 5}};  // 160 reaches exactly 0 on its fifth
    for (const auto& c : cases) {
        SCOPED_TRACE(c.framesShown);
        CFocusedTutorial hint(&game, 3, 10, 10, "Tap here", nullptr);
        ASSERT_EQ(hint.PostConstruct(), 1);
        EXPECT_TRUE(hint.IsShown());
        EXPECT_EQ(hint.GetAlpha(), 0.0);
        for (int i = 1; i <= c.framesShown; ++i) {
            hint.RunProcess();
            ASSERT_EQ(hint.GetAlpha(), std::min(10.0 * i, 220.0)) << "frame " << i;
        }
        hint.FadeOut();
        EXPECT_FALSE(hint.IsShown());
        EXPECT_TRUE(hint.IsFading());
        Frames(hint, c.framesToClear - 1);
        EXPECT_FALSE(hint.IsFinished());
        EXPECT_GT(hint.GetAlpha(), 0.0);
        hint.RunProcess();
        EXPECT_TRUE(hint.IsFinished());
        EXPECT_EQ(hint.GetAlpha(), 0.0);
    }
}

TEST_F(FocusedTutorialTest, TheBaseHasNoButtonAndDrawsNothing) {
    if (!SetUpArt()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CFocusedTutorial hint(&game, 3, 100, 100, "Tap here", nullptr);
    ASSERT_EQ(hint.PostConstruct(), 1);
    Frames(hint, 30);
    for (int x : {-50, 0, 100, 400}) EXPECT_FALSE(hint.HitTestCloseButton(x, 100)) << x;
    const mediatest::TImage img = Drawn(hint, 90);
    EXPECT_TRUE(mediatest::FindBox(img, [](Colour p) { return !mediatest::Near(p, 90, 90, 90, 4); }).Empty());
}

}  // namespace
