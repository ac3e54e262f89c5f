// The yard screen as a player sees it, drawn headless through OpenGL ES on the real pak: each of
// the four yards with things bought and birds about, a selected bird and a selected decor, the
// hint, the sell dialog and a star arriving. The pictures are kept below the build's
// screens/yard folder to be looked at; the test checks a few pixels of what the code draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "YardTestGame.h"
#include "game/widgets/TiledBGTutorial.h"

namespace {

class YardPictureTest : public YardTest {
protected:
    // Buys each object and puts it at its world point (pixels).
    void Furnish(std::initializer_list<std::tuple<const char*, int, int>> things) {
        player->m_nCoins = 100000;
        for (const auto& [id, x, y] : things) {
            CFarmObject* object = Buy(id);
            ASSERT_NE(object, nullptr) << id;
            object->m_Position = TVector2D{x * 256, y * 256};
        }
    }
    static int Diff(const mediatest::TImage& a, const mediatest::TImage& b, int x, int y) {
        const auto p = a.At(x, y), q = b.At(x, y);
        return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
    }
};

TEST_F(YardPictureTest, EachYardWithItsThings) {
    const struct {
        const char* yard;
        std::initializer_list<std::tuple<const char*, int, int>> things;
    } scenes[] = {
        {"yard1",
         {{"apple_tree", 470, 40},
          {"sunflower", 180, 60},
          {"picket_fence", 320, 20},
          {"grain_feeder", 300, 150},
          {"water_trough", 450, 220},
          {"hay_bale", 190, 250},
          {"balloon_red", 440, 300},
          {"wooden_frog", 220, 305},
          {"bird1", 330, 190},
          {"bird2", 250, 215},
          {"bird3", 380, 260}}},
        {"yard2",
         {{"pear_tree", 170, 30},
          {"photostand01", 420, 70},
          {"radio", 350, 195},
          {"corn_feeder", 230, 250},
          {"robot", 280, 230},
          {"bird4", 390, 150},
          {"bird5", 200, 200}}},
        {"yard3",
         {{"willow_tree", 150, 40},
          {"doghouse", 450, 80},
          {"drinking_fountain", 320, 150},
          {"trampoline", 250, 260},
          {"lawn_mower", 420, 220},
          {"bird7", 190, 210},
          {"bird8", 360, 250}}},
        {"yard4",
         {{"cherry_tree", 460, 30},
          {"campfire", 360, 190},
          {"gramophone", 240, 240},
          {"lantern_post", 500, 150},
          {"bird10", 300, 230},
          {"bird11", 400, 280}}},
    };
    for (const auto& scene : scenes) {
        SCOPED_TRACE(scene.yard);
        Open(scene.yard);
        Furnish(scene.things);
        Frames(40);
        const mediatest::TImage frame = Frame();
        KeepPicture(frame, "yard", std::string(scene.yard) + ".png");
        // The sky's top row is the yard's top colour, as far as the clouds and the sun let it be:
        // the left edge, under no cloud, at (0, 0).
        const YardDef* def = Yard()->m_pYardDef;
        const auto sky = frame.At(2, 1);
        EXPECT_NEAR(sky[0], def->skyTop[0], 24);
        EXPECT_NEAR(sky[1], def->skyTop[1], 24);
        EXPECT_NEAR(sky[2], def->skyTop[2], 24);
    }
}

TEST_F(YardPictureTest, ASelectedBirdTheHintAndTheSellDialog) {
    player->m_HintFlags[kHintYardPurchase] = false;
    player->m_nCoins = 100;
    Open();
    Furnish({{"apple_tree", 470, 40}, {"grain_feeder", 300, 150}, {"bird1", 200, 240}, {"bird2", 330, 200}});
    CFarmObject* hen = Farm()->GetFarmObject("bird1");
    const TCoord2D c = CentreOnScreen(hen);
    Frames(2);
    const mediatest::TImage before = Frame();
    Tap(c.x, c.y);
    ASSERT_EQ(Yard()->m_pSelection, hen);
    Frames(25);
    const mediatest::TImage hint = Frame();
    KeepPicture(hint, "yard", "hint_and_selected_bird.png");
    ASSERT_NE(Yard()->m_pHint, nullptr);
    // The hint's panel darkens the sky under it.
    const TCoordRect2D panel = static_cast<CTiledBGTutorial*>(Yard()->m_pHint)->GetPanel();
    const int px = panel.x + panel.width / 2, py = panel.y + 6;
    EXPECT_GT(Diff(before, hint, px, py), 60);
    // The sell button is shown for the bird at the bottom right.
    XWidget* sell = Yard()->FindChildWithWidgetId("btn_SellItem");
    ASSERT_TRUE(sell->IsVisible());
    const TCoordRect2D s = sell->GetDrawingRect();
    EXPECT_GT(Diff(before, hint, s.x + s.width / 2, s.y + s.height / 2), 60);

    Yard()->m_pHint->FadeOut();
    Frames(20);
    ASSERT_EQ(Click("btn_SellItem"), 1);
    Frames(20);
    ASSERT_NE(Yard()->FindChildWithWidgetId("dlg_confirm_sell"), nullptr);
    KeepPicture(Frame(), "yard", "sell_dialog.png");
}

TEST_F(YardPictureTest, AStarArrivesOverTheBars) {
    Open();
    Furnish({{"apple_tree", 470, 40}, {"bird1", 200, 240}, {"water_trough", 380, 200}, {"picket_fence", 330, 30}});
    for (int c = 0; c < kFarmCategoryCount; ++c) Farm()->m_CategoryPoints[c] = Yard()->m_pYardDef->starThresholds[0][c];
    Frames(79 + 11 + 10);
    ASSERT_EQ(Farm()->m_nStars, 1);
    KeepPicture(Frame(), "yard", "star_arriving.png");
    Frames(30);
    KeepPicture(Frame(), "yard", "star_gained.png");
}

}  // namespace
