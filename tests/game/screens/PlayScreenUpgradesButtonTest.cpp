// The boosts button's badge: it needs its sprite, pulses from its first frame, shows only with
// unspent points, sits on the button's top-right corner but inside the screen, follows the
// pressed button, wobbles with the pulse and fades under a modal dialog. The draws are recorded
// as the rotator receives them; one suite reads the pixels back from OpenGL ES.
#include "game/screens/PlayScreenUpgradesButton.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ScreensTestGame.h"
#include "sprites/SpriteSet.h"
#include "ui/GameDialog.h"
#include "ui/Image.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace screenstest;

constexpr Colour kBlue{0, 0, 255, 255};
constexpr Colour kGreen{0, 255, 0, 255};
constexpr int kScreenW = 320;
constexpr int kScreenH = 480;
// A full turn in 24.8 degrees.
constexpr int kTurn = 360 * 256;

const char* const kTemplate =
    "button = btn_play_upgrades\n set = upg\nend\n"
    "image = img_cover\n size = 320 480\nend\n"
    "dialog = dlg_holder\n size = 200 100\n child = btn_play_upgrades\n end\nend\n";

class UpgradesButtonTest : public ScreensTest {
protected:
    // The button (80 x 40) and the badge (badgeW x 20), mounted; the badge set is declared only
    // when declareBadge is set.
    void SetUpButton(int badgeW, bool declareBadge = true) {
        AddImage("upg", Plain(80, 40, kBlue));
        AddImage("green_gem_notify", Plain(badgeW, 20, kGreen));
        if (!declareBadge) sets.pop_back();
        AddSmallFont(12);
        Mount();
        ReadTemplate(kTemplate);
    }
    CXPlayScreenUpgradesButton* Make(int x, int y) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        return static_cast<CXPlayScreenUpgradesButton*>(
            MakeAndInitWidget(MakeWidget<CXPlayScreenUpgradesButton>, &screen, templ.get(),
                              templ->GetWidget("btn_play_upgrades"), &placement));
    }
    IDibBitmap* Badge() { return game.m_pSpriteSetManager->GetSpriteSetNamed("green_gem_notify")->GetFrame(0); }
    // The rotated draws of the badge in one Draw of the button.
    std::vector<TRotatedDraw> BadgeDraws(CXPlayScreenUpgradesButton* button) {
        recorder.draws.clear();
        button->Draw();
        std::vector<TRotatedDraw> badge;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.src == Badge()) badge.push_back(d);
        return badge;
    }
    void TearDown() override { screen.DeleteAllChildren(); }

    // The play screen standing in for the button's parent.
    class CScreen : public CXElement {
    public:
        using CXElement::CXElement;
        void DeleteAllChildren() {
            while (GetChildCount() > 0) {
                CXElement* child = GetChildPtrAt(GetChildCount() - 1);
                RemoveChildAt(GetChildCount() - 1);
                delete child;
            }
        }
    };
    CScreen screen{nullptr, &game};
};

TEST_F(UpgradesButtonTest, NeedsItsBadgeSpriteAndStartsThePulseRising) {
    SetUpButton(24, false);
    EXPECT_EQ(Make(10, 10), nullptr) << "no \"green_gem_notify\": the button fails";
    EXPECT_EQ(screen.GetChildCount(), 0) << "and is removed";

    ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle("green_gem_notify", "green_gem_notify.png", "", 1, 1, false,
                                                           false),
              1);
    ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef("green_gem_notify"), 1);
    CXPlayScreenUpgradesButton* button = Make(10, 10);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetBadgeSprite(), Badge());
    const Bouncer& pulse = button->GetBadgePulse();
    EXPECT_TRUE(pulse.active);
    EXPECT_FLOAT_EQ(pulse.minimum, 0.95f);
    EXPECT_FLOAT_EQ(pulse.maximum, 1.05f);
    EXPECT_FLOAT_EQ(pulse.value, 1.0f);
    EXPECT_FLOAT_EQ(pulse.velocity, 0.005f);
    button->RunProcess();
    EXPECT_FLOAT_EQ(pulse.value, 1.005f) << "one step a frame";
    EXPECT_EQ(button->GetTickCounter(), 1) << "and the widget's own tick";
}

TEST_F(UpgradesButtonTest, TheBadgeShowsOnlyWhileThePlayerHasUnspentPoints) {
    SetUpButton(24);
    UseSoftScreen(kScreenW, kScreenH);
    CXPlayScreenUpgradesButton* button = Make(100, 50);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->BadgePlacement().shown) << "no player";
    EXPECT_TRUE(BadgeDraws(button).empty());
    TUserProfile* player = AddPlayer(0, 0);
    struct TCase {
        int points;
        bool shown;
    } cases[] = {{0, false}, {1, true}, {250, true}, {-3, false}};
    for (const TCase& c : cases) {
        player->m_nBoostPoints = c.points;
        EXPECT_EQ(button->BadgePlacement().shown, c.shown) << c.points;
        EXPECT_EQ(BadgeDraws(button).size(), c.shown ? 1u : 0u) << c.points;
    }
}

TEST_F(UpgradesButtonTest, TheBadgeSitsOnTheTopRightCornerAndFollowsThePressedButton) {
    SetUpButton(25);  // an odd width: half of it is 12.5 pixels
    UseSoftScreen(kScreenW, kScreenH);
    AddPlayer(0, 3);
    // Centres in 24.8, worked out by hand: the button's right edge - 2 and top + 2, or the screen
    // width less half the badge when that is further left; pressed, in by 80 x 13 and down by
    // 40 x 13 (half of 26/256 of the button's size).
    struct TCase {
        int x, y;
        bool pressed;
        int centreX, centreY;
        int scale;  // 0.9, or 230/256 x 0.9 while pressed, in 16.16
        const char* why;
    } cases[] = {
        {100, 50, false, 178 * 256, 52 * 256, 58982, "the button's corner"},
        {100, 50, true, 178 * 256 - 1040, 52 * 256 + 520, 52992, "moves in and shrinks with the pressed button"},
        {280, 10, false, 78720, 12 * 256, 58982, "the corner is off screen: half the badge inside the edge"},
        {280, 10, true, 78720 - 1040, 12 * 256 + 520, 52992, "off screen and pressed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CXPlayScreenUpgradesButton* button = Make(c.x, c.y);
        ASSERT_NE(button, nullptr);
        if (c.pressed) {
            button->NotifyPointerEvent(c.x + 40, c.y + 20, XPOINTER_PRESS);
            ASSERT_TRUE(button->IsPressed());
        }
        const std::vector<TRotatedDraw> draws = BadgeDraws(button);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].x, c.centreX);
        EXPECT_EQ(draws[0].y, c.centreY);
        EXPECT_EQ(draws[0].scale, c.scale);
        EXPECT_EQ(draws[0].angle, 0) << "the pulse starts half-way: no tilt";
        EXPECT_EQ(draws[0].alphaOffset, 0);
        if (c.pressed) button->NotifyPointerEvent(c.x + 40, c.y + 20, XPOINTER_RELEASE);
        SAFE_FREE_XELEMENT(button);
    }
}

TEST_F(UpgradesButtonTest, TheBadgeTiltsAndGrowsWithThePulse) {
    SetUpButton(24);
    UseSoftScreen(kScreenW, kScreenH);
    AddPlayer(0, 3);
    CXPlayScreenUpgradesButton* button = Make(100, 50);
    ASSERT_NE(button, nullptr);
    const auto runUntil = [&](bool rising) {
        for (int frame = 0; frame < 100 && (button->GetBadgePulse().velocity > 0) != rising; ++frame)
            button->RunProcess();
    };
    // At the top the pulse reads 1.05: 3 degrees clockwise, 0.945 of the size; at the bottom
    // 0.95: 3 degrees the other way (wrapped into a turn), 0.855.
    struct TTurn {
        bool turnsDown;
        int angle;
        int scale;
        float textScale;
    } turns[] = {{true, 768, 61932, 0.84f}, {false, kTurn - 768, 56033, 0.76f}};
    for (const TTurn& t : turns) {
        runUntil(!t.turnsDown);
        const TBadgePlacement badge = button->BadgePlacement();
        EXPECT_NEAR(badge.angle, t.angle, 1);
        EXPECT_NEAR(badge.scale, t.scale, 2);
        EXPECT_NEAR(badge.textScale, t.textScale, 1e-4);
        EXPECT_GE(badge.angle, 0);
        EXPECT_LT(badge.angle, kTurn);
    }
}

TEST_F(UpgradesButtonTest, TheBadgeFadesAsAModalDialogFadesInOverTheScreen) {
    SetUpButton(24);
    UseSoftScreen(kScreenW, kScreenH);
    AddPlayer(0, 3);
    CXPlayScreenUpgradesButton* button = Make(100, 50);
    ASSERT_NE(button, nullptr);
    XWidget* cover =
        MakeAndInitWidget(MakeWidget<XImage>, &screen, templ.get(), templ->GetWidget("img_cover"), nullptr);
    ASSERT_NE(cover, nullptr);
    struct TCase {
        bool modal, visible;
        int opacity;  // the cover's, 0..255
        int alpha;    // the badge's
    } cases[] = {
        {false, true, 255, 255}, {true, true, 0, 255},    {true, true, 128, 127},
        {true, true, 255, 0},    {true, false, 255, 255},
    };
    for (const TCase& c : cases) {
        cover->SetModal(c.modal);
        if (c.visible)
            cover->Show();
        else
            cover->Hide();
        cover->ApplyOpacity(c.opacity * 256);
        const std::vector<TRotatedDraw> draws = BadgeDraws(button);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].alphaOffset, c.alpha - 255) << c.modal << " " << c.visible << " " << c.opacity;
    }
}

TEST_F(UpgradesButtonTest, InsideAGameDialogTheRecordIsAPlainButton) {
    // The play screen makes its badge itself, as a child of the screen: a dialog has no badge.
    SetUpButton(24);
    XWidget* dialog =
        MakeAndInitWidget(MakeWidget<XGameDialog>, &screen, templ.get(), templ->GetWidget("dlg_holder"), nullptr);
    ASSERT_NE(dialog, nullptr);
    XWidget* button = dialog->FindChildWithWidgetId("btn_play_upgrades");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(dynamic_cast<CXPlayScreenUpgradesButton*>(button), nullptr);
}

// ---- Pixels ------------------------------------------------------------------------------------

bool IsGreen(Colour p) { return mediatest::Near(p, 0, 255, 0, 40); }
bool IsWhite(Colour p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }

TEST_F(UpgradesButtonTest, TheBadgeAndItsCountOnAnOpenGlScreen) {
    constexpr int kW = 240;
    constexpr int kH = 120;
    if (!UseGl(kW, kH)) GTEST_SKIP() << "no headless EGL / GLES1 here";
    SetUpButton(24);
    TUserProfile* player = AddPlayer(0, 7);
    CXPlayScreenUpgradesButton* button = Make(100, 40);
    ASSERT_NE(button, nullptr);
    const auto drawn = [&]() {
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        button->Draw();
        return gl->Read();
    };

    // Centred on (178, 42), 0.9 of 24 pixels; the count sits on it in white.
    mediatest::TImage frame = drawn();
    const TBox badge = FindBox(frame, IsGreen);
    ASSERT_FALSE(badge.Empty());
    EXPECT_NEAR(badge.CentreX(), 178.0, 1.0);
    EXPECT_NEAR(badge.CentreY(), 42.0, 1.0);
    EXPECT_NEAR(badge.Width(), 0.9 * 24, 1.5);
    const TBox count = FindBox(frame, IsWhite);
    ASSERT_FALSE(count.Empty()) << "the count is drawn";
    EXPECT_GE(count.left, badge.left);
    EXPECT_LE(count.right, badge.right);
    EXPECT_NEAR(count.CentreX(), 178.0 + 1.0, 2.0) << "centred on the badge, a pixel to the right";

    // Pressed: in by 80 x 13 / 256 and down by 40 x 13 / 256 pixels, and smaller.
    button->NotifyPointerEvent(140, 60, XPOINTER_PRESS);
    const TBox pressed = FindBox(drawn(), IsGreen);
    button->NotifyPointerEvent(140, 60, XPOINTER_RELEASE);
    EXPECT_NEAR(pressed.CentreX(), 178.0 - 80 * 13 / 256.0, 1.0);
    EXPECT_NEAR(pressed.CentreY(), 42.0 + 40 * 13 / 256.0, 1.0);
    EXPECT_NEAR(pressed.Width(), 230.0 / 256 * 0.9 * 24, 1.5);

    player->m_nBoostPoints = 0;
    frame = drawn();
    EXPECT_TRUE(FindBox(frame, IsGreen).Empty()) << "no points, no badge";
    EXPECT_TRUE(FindBox(frame, IsWhite).Empty());
}

}  // namespace
