// The hint overlays with the game's own art and font, over the real start menu, drawn headless
// through OpenGL ES: a full-screen hint on the Play button and a tiled hint pointing at the
// options button. The pictures are kept in build/<preset>/screens/stats-and-hints/ and a few
// pixels of each are checked against the frame without the hint.
#include <gtest/gtest.h>

#include "../screens/FrontEndTestGame.h"
#include "game/widgets/FullScreenTutorial.h"
#include "game/widgets/TiledBGTutorial.h"
#include "game/screens/StartMenu.h"
#include "sprites/SpriteSetManager.h"

namespace {

using Colour = std::array<std::uint8_t, 4>;
using mediatest::TBox;

int Luma(Colour p) { return (p[0] * 3 + p[1] * 6 + p[2]) / 10; }

class TutorialOverlayPicturesTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped()) return;
        // The loader keeps the "ui" sets loaded; the hints take their frames from them.
        for (const char* set :
             {"tutorial_arrow", "tutorial_close", "tutorial_focus", "tutorial_tiledbg", "tutorial_black_arrow"})
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set), 1) << set;
        AddPlayer("Sam");
        ASSERT_TRUE(game.RunStartMenu());
        Ticks(40);  // the menu's curtain is up
        plain = Frame();
    }
    XWidget* MenuWidget(const char* id) { return game.m_pStartMenu->FindChildWithWidgetId(id); }
    // The menu with the hint drawn over it, after enough frames for every fade.
    template <class Hint>
    mediatest::TImage WithHint(Hint& hint) {
        for (int i = 0; i < 60; ++i) hint.RunProcess();
        game.m_Screen.m_pBackBuffer->HWBeginScene();
        game.Draw();
        hint.Draw(game.m_Screen.m_pBackBuffer);
        return gl->Read();
    }

    mediatest::TImage plain;
};

TEST_F(TutorialOverlayPicturesTest, FullScreenHintOnThePlayButton) {
    XWidget* play = MenuWidget("btn_Play");
    ASSERT_NE(play, nullptr);
    const TCoordRect2D r = play->GetDrawingRect();
    const int tx = r.x + r.width / 2, ty = r.y + r.height / 2;
    CFullScreenTutorial hint(&game, 0, tx, ty, "Tap Play to choose an arena and start a round.", play);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const mediatest::TImage frame = WithHint(hint);
    KeepPicture(frame, "stats-and-hints", "hint_full_screen.png");

    // The corners sink to about 35/255 of the menu; the target shows through the spot.
    for (const auto& [x, y] : {std::pair{5, 5}, {314, 5}, {5, 474}, {314, 474}})
        EXPECT_LE(Luma(frame.At(x, y)), Luma(plain.At(x, y)) * 40 / 255 + 4) << x << "," << y;
    EXPECT_NEAR(Luma(frame.At(tx, ty)), Luma(plain.At(tx, ty)), 6) << "the spot";
    // White text in its box, the red close disc at its centre, the white arrow between the
    // text and the target.
    const double textTop = hint.GetTextY() / 256.0, textBottom = textTop + hint.GetTextHeight() / 256.0;
    const auto isWhite = [](Colour p) { return p[0] > 220 && p[1] > 220 && p[2] > 220; };
    EXPECT_FALSE(
        mediatest::FindBoxIn(frame, 40, 280, isWhite, static_cast<int>(textTop) - 3, static_cast<int>(textBottom) + 3)
            .Empty());
    const auto isRed = [](Colour p) { return p[0] > 170 && p[1] < 90 && p[2] < 90; };
    const int cx = static_cast<int>(hint.GetCloseX()), cy = static_cast<int>(hint.GetCloseY());
    const TBox close = mediatest::FindBoxIn(frame, cx - 24, cx + 24, isRed, cy - 24, cy + 24);
    ASSERT_FALSE(close.Empty());
    EXPECT_NEAR(close.CentreX(), cx, 5);
    const TBox arrow =
        mediatest::FindBoxIn(frame, tx - 30, tx + 30, isWhite, static_cast<int>(textBottom) + 4, ty - 20);
    EXPECT_FALSE(arrow.Empty()) << "the arrow under the text";
}

TEST_F(TutorialOverlayPicturesTest, TiledHintPointingAtTheOptionsButton) {
    XWidget* options = MenuWidget("btn_sm_options");
    ASSERT_NE(options, nullptr);
    CTiledBGTutorial hint(&game, 6, 0, 0, "Sound, music and their volumes are under Options.",
                          TCoordRect2D{20, 110, 280, 80}, options);
    ASSERT_EQ(hint.PostConstruct(), 1);
    const mediatest::TImage frame = WithHint(hint);
    KeepPicture(frame, "stats-and-hints", "hint_tiled.png");

    // The panel darkens what it covers; outside it the menu is untouched.
    const TCoordRect2D panel = hint.GetPanel();
    const int px = panel.x + 12, py = panel.y + panel.height - 12;
    EXPECT_LT(Luma(frame.At(px, py)), 90) << "the dark panel";
    for (const auto& [x, y] : {std::pair{5, 300}, {160, 400}, {314, 474}})
        EXPECT_EQ(frame.At(x, y), plain.At(x, y)) << x << "," << y;
    const auto isWhite = [](Colour p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; };
    const int textTop = hint.GetTextY() >> 8, textBottom = textTop + (hint.GetTextHeight() >> 8);
    EXPECT_FALSE(
        mediatest::FindBoxIn(frame, panel.x + 20, panel.x + panel.width - 20, isWhite, textTop - 3, textBottom + 3)
            .Empty());
    const auto isRed = [](Colour p) { return p[0] > 170 && p[1] < 90 && p[2] < 90; };
    const int cx = static_cast<int>(hint.GetCloseX()), cy = static_cast<int>(hint.GetCloseY());
    EXPECT_FALSE(mediatest::FindBoxIn(frame, cx - 20, cx + 20, isRed, cy - 20, cy + 20).Empty()) << "the close disc";
    // The black arrow leaves the panel's top towards the button, up and to the right.
    const auto isBlack = [](Colour p) { return Luma(p) < 40; };
    const TBox arrow =
        mediatest::FindBoxIn(frame, static_cast<int>(hint.GetArrowX()) - 5, static_cast<int>(hint.GetArrowX()) + 40,
                             isBlack, panel.y - 40, panel.y - 2);
    ASSERT_FALSE(arrow.Empty());
    EXPECT_LT(arrow.top, panel.y - 15);
}

}  // namespace
