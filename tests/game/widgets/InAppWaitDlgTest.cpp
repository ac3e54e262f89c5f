// The purchase wait dialog's spinner, as the rotator receives its draws: twelve spokes turned
// about a point below each spoke, the leading one 30 degrees on every second frame and the others
// fading behind it, each with a shadow first. The spokes' places are worked out here from the
// geometry (a spoke of height h turns about a point 1.59375 h below its top, drawn at 0.8).
#include "game/widgets/InAppWaitDlg.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../screens/ScreensTestGame.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace screenstest;

constexpr int kTurn = 360 * 256;
constexpr int kSpokeW = 8, kSpokeH = 20;

const char* const kTemplate = "dialog = dlg_InAppWait\nend\n";

class WaitDialogTest : public ScreensTest {
protected:
    void SetUp() override {
        UseSoftScreen(320, 480);
        AddImage("particles\\line_circle", Plain(kSpokeW, kSpokeH, {255, 255, 255, 255}));
        Mount();
        ReadTemplate(kTemplate);
    }
    void TearDown() override { screen.DeleteAll(); }
    CXInAppWaitDlg* Make() {
        WidgetContext placement;
        return static_cast<CXInAppWaitDlg*>(MakeAndInitWidget(MakeWidget<CXInAppWaitDlg>, &screen, templ.get(),
                                                              templ->GetWidget("dlg_InAppWait"), &placement));
    }
    std::vector<TRotatedDraw> Draws(CXInAppWaitDlg* dialog) {
        recorder.draws.clear();
        dialog->Draw();
        std::vector<TRotatedDraw> spokes;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.src == dialog->GetSpokeImage()) spokes.push_back(d);
        return spokes;
    }

    class CScreen : public CXElement {
    public:
        using CXElement::CXElement;
        void DeleteAll() {
            while (GetChildCount() > 0) {
                CXElement* child = GetChildPtrAt(GetChildCount() - 1);
                RemoveChildAt(GetChildCount() - 1);
                delete child;
            }
        }
    };
    CScreen screen{nullptr, &game};
};

TEST_F(WaitDialogTest, TheSpinnerTurnsThirtyDegreesEverySecondFrame) {
    CXInAppWaitDlg* dialog = Make();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetAngle(), 0);
    const int expected[] = {0, 7680, 7680, 15360, 15360, 23040};
    for (int frame = 0; frame < 6; ++frame) {
        dialog->RunProcess();
        EXPECT_EQ(dialog->GetAngle(), expected[frame]) << "frame " << frame + 1;
    }
    for (int frame = 6; frame < 24; ++frame) dialog->RunProcess();
    EXPECT_EQ(dialog->GetAngle(), 0) << "twelve steps make a full turn";
}

TEST_F(WaitDialogTest, TwelveSpokesEachAShadowThenItselfFadingBehindTheLeader) {
    CXInAppWaitDlg* dialog = Make();
    ASSERT_NE(dialog, nullptr);
    for (int frame = 0; frame < 4; ++frame) dialog->RunProcess();  // the leader at 60 degrees
    const std::vector<TRotatedDraw> draws = Draws(dialog);
    ASSERT_EQ(draws.size(), 24u);
    // The dialog has no size of its own: it covers the 320 x 480 screen, and the spinner turns
    // 50 pixels below its middle.
    const double pivotX = 320 / 2.0;
    const double pivotY = 480 / 2.0 + 50;
    // The spoke's centre lies 1.09375 h from the pivot towards the spoke's top, at 0.8.
    const double reach = (1.59375 - 0.5) * kSpokeH * 0.8;
    for (int k = 0; k < 12; ++k) {
        SCOPED_TRACE(k);
        const TRotatedDraw& shadow = draws[2 * k];
        const TRotatedDraw& spoke = draws[2 * k + 1];
        const int angle = ((60 - 30 * k) % 360 + 360) % 360;
        EXPECT_EQ(spoke.angle, angle * 256);
        EXPECT_EQ(shadow.angle, angle * 256);
        EXPECT_EQ(spoke.alphaOffset, -21 * k);
        EXPECT_EQ(shadow.alphaOffset, -21 * k);
        EXPECT_EQ(shadow.kind, TRotatedDraw::kMultiply);
        EXPECT_EQ(shadow.r + shadow.g + shadow.b, 0) << "a black shadow";
        EXPECT_EQ(spoke.kind, k == 0 ? TRotatedDraw::kPlain : TRotatedDraw::kTransparent);
        EXPECT_EQ(spoke.scale, 0xCCCD);
        const double a = angle * M_PI / 180.0;
        EXPECT_NEAR(spoke.x / 256.0, pivotX + reach * std::sin(a), 0.05);
        EXPECT_NEAR(spoke.y / 256.0, pivotY - reach * std::cos(a), 0.05);
        EXPECT_NEAR(shadow.x / 256.0, spoke.x / 256.0 + 2, 0.02);
        EXPECT_NEAR(shadow.y / 256.0, spoke.y / 256.0 + 2, 0.02);
    }
    EXPECT_EQ(draws.back().alphaOffset, -231);
}

TEST_F(WaitDialogTest, AFadingDialogFadesItsSpokesToNothingAndDrawsNoneWhenClear) {
    CXInAppWaitDlg* dialog = Make();
    ASSERT_NE(dialog, nullptr);
    dialog->ApplyOpacity(128 << 8);
    const std::vector<TRotatedDraw> draws = Draws(dialog);
    ASSERT_EQ(draws.size(), 24u);
    const int expected[12] = {-127, -148, -169, -190, -211, -232, -253, -255, -255, -255, -255, -255};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(draws[2 * k + 1].alphaOffset, expected[k]) << k;
    dialog->ApplyOpacity(0);
    EXPECT_TRUE(Draws(dialog).empty());
}

TEST_F(WaitDialogTest, WithoutItsSpokeImageTheDialogIsNotMade) {
    sets.clear();
    members.clear();
    Mount();
    EXPECT_EQ(Make(), nullptr);
    EXPECT_EQ(screen.GetChildCount(), 0);
}

}  // namespace
