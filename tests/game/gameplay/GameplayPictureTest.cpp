// The round's objects drawn headless through OpenGL ES from the real pak's sprite sets, as a
// player would see them: the four marbles, a marble running its drawn path with its trail and
// glow, a danger pair, every power-up kind with the bomb's range ring and the sparkles, and
// floating texts. The picture stays in build/<preset>/screens/gameplay-objects/ to be looked at;
// the test checks the colours a player tells the objects apart by.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/app/TheGame.h"
#include "game/widgets/JumpString.h"
#include "game/gameplay/MarblePowerup.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakePlayField.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/UILayout.h"

namespace {

constexpr FIXED_FLOAT_16 kPx = 65536;

class CRealPakGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(COBBLE_PAK); }
};

// The sets of the group the "Loading Game" loader loads before a round.
const char* const kRoundSets[] = {"Ball1",
                                  "Ball2",
                                  "Ball3",
                                  "Ball4",
                                  "BONUS_BOMB",
                                  "BONUS_8WAY",
                                  "ColorBombRed",
                                  "ColorBombGreen",
                                  "ColorBombRedGreen",
                                  "ColorBombBlue",
                                  "ColorBombRedBlue",
                                  "ColorBombGreenBlue",
                                  "ColorBombYellow",
                                  "ColorBombRedYellow",
                                  "ColorBombGreenYellow",
                                  "ColorBombBlueYellow",
                                  "Coin_Gold",
                                  "Coin_Ruby",
                                  "Coin_Diamond",
                                  "Dot",
                                  "Explosion",
                                  "Flare",
                                  "DangerCircle",
                                  "DragCircle",
                                  "DangerOffScreen",
                                  "BombRange"};

class GameplayPicture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        GiveTestDeviceTheScreenSize(&game, 320, 480);
        ASSERT_TRUE(game.Init(320, 480));
        game.SeedRandoms(28);
        for (int i = 0; i < game.m_pUILayout->GetFontCount(); ++i) ASSERT_EQ(game.LoadFont(i), 1) << i;
        ASSERT_EQ(game.ReLoadFontsLastStep(), 1);
        game.SafeDeleteChildren();
        ASSERT_TRUE(game.DefineSpriteSets_TheRest());
        for (const char* set : kRoundSets) ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set), 1) << set;
        field.glow = First("Flare");
        field.danger = First("DangerCircle");
        field.bombRange = First("BombRange");
        field.coinSet = Set("Coin_Gold");
        // The round's coin icon comes with the gameplay frame's images; the counters' coin stands in.
        ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef("HudCoin"), 1);
        field.coinIcon = First("HudCoin");
        const struct {
            int mask;
            const char* name;
        } bombs[] = {{1, "ColorBombRed"},        {2, "ColorBombGreen"},     {3, "ColorBombRedGreen"},
                     {4, "ColorBombBlue"},       {5, "ColorBombRedBlue"},   {6, "ColorBombGreenBlue"},
                     {8, "ColorBombYellow"},     {9, "ColorBombRedYellow"}, {10, "ColorBombGreenYellow"},
                     {12, "ColorBombBlueYellow"}};
        for (const auto& b : bombs) field.colorBombSets[b.mask] = Set(b.name);
        for (const char* name : {"ColorBomb", "XRayCenter"}) {
            CQuorvanParticleSystem2* system = game.m_pParticleManager->GetParticleSystemNamed(name);
            ASSERT_NE(system, nullptr) << name;
            ASSERT_EQ(system->InitFromFile(), 1) << name;
        }
        field.colorBombSparkles = game.m_pParticleManager->GetParticleSystemNamed("ColorBomb");
        field.eightWaySparkles = game.m_pParticleManager->GetParticleSystemNamed("XRayCenter");
    }
    void TearDown() override {
        field.marbles.RemoveAll();
        platform::PcmUseBackend(platform::PcmBackendKind::Auto);
    }

    CSpriteSet* Set(const char* name) { return game.m_pSpriteSetManager->GetSpriteSetNamed(name); }
    IDibBitmap* First(const char* name) { return Set(name) != nullptr ? Set(name)->GetFrame(0) : nullptr; }
    CMarble* Add(int type, int x, int y) {
        CMarble* marble = CMarble::CreateForType(&game, &field, type);
        marble->m_Position = TVector2D_16{x * kPx, y * kPx};
        marble->m_PrevPosition = marble->m_Position;
        marble->m_bEntered = true;
        EXPECT_EQ(field.marbles.AddOwned(marble), 1);
        return marble;
    }
    // Path dots every 10 pixels along a curve in the marble's colour: how the round shows a path
    // still ahead of its marble.
    void DrawPathDots(const BezierCurve& path, int type, FIXED_FLOAT from) {
        int r = 0, g = 0, b = 0;
        GetRGBColorBasedOnType(type, r, g, b);
        for (FIXED_FLOAT d = from; d <= path.Length(); d += 10 * 256) {
            const TVector2D p = path.GetPos(d, nullptr);
            game.m_pRotatorScaler->DrawRotatedBitmapMultiply(First("Dot"), game.m_Screen.m_pBackBuffer, p.x, p.y, 0,
                                                             58982, r, g, b, -64, 0);
        }
    }

    mediatest::CHeadlessGl gl{320, 480};
    CScratchSaveFolder saves;
    CRealPakGame game;
    CFakePlayField field;
};

bool Reddish(std::array<std::uint8_t, 4> p) { return p[0] > p[1] + 60 && p[0] > p[2] + 60; }
bool Greenish(std::array<std::uint8_t, 4> p) { return p[1] > p[0] + 40 && p[1] > p[2] + 30; }
bool Bluish(std::array<std::uint8_t, 4> p) { return p[2] > p[0] + 80 && p[2] > p[1] + 10; }
bool Yellowish(std::array<std::uint8_t, 4> p) { return p[0] > p[2] + 90 && p[1] > p[2] + 90 && p[0] > 180; }
bool Golden(std::array<std::uint8_t, 4> p) { return p[0] > 170 && p[1] > 100 && p[1] < p[0] && p[2] < 90; }
bool Dark(std::array<std::uint8_t, 4> p) { return p[0] + p[1] + p[2] < 200; }

TEST_F(GameplayPicture, TheRoundsObjectsFromTheRealSets) {
    IDibBitmap* screen = game.m_Screen.m_pBackBuffer;
    ASSERT_NE(screen, nullptr);
    screen->HWBeginScene();
    FillRectangleGradientV(&game, screen, 0, 0, 320, 480, 0x8B, 0xC3, 0x4A, 0x4E, 0x7D, 0x2B);

    // The four colours in a row, rolled to different frames.
    const int colours[4] = {kMarbleRed, kMarbleGreen, kMarbleBlue, kMarbleYellow};
    for (int i = 0; i < 4; ++i) {
        CMarble* m = Add(colours[i], 55 + 70 * i, 60);
        m->m_Direction = {0, 65536};
        m->m_fRollDistance = 3.0f * i;
    }
    // A red marble on its drawn path, with two caught: its trail and its glow ring.
    CMarble* runner = Add(kMarbleRed, 0, 0);
    ASSERT_EQ(runner->m_Path.AddSpline({40 * 256, 330 * 256}, {60 * 256, 250 * 256}, {150 * 256, 240 * 256},
                                       {170 * 256, 170 * 256}),
              1);
    ASSERT_EQ(runner->m_Path.AddSpline({170 * 256, 170 * 256}, {185 * 256, 120 * 256}, {260 * 256, 130 * 256},
                                       {290 * 256, 180 * 256}),
              1);
    runner->m_bOnPath = true;
    runner->m_nCollected = 2;
    runner->m_nPathDistance = 150 * kPx;
    const TVector2D at = runner->m_Path.GetPos(150 * 256, nullptr), before = runner->m_Path.GetPos(138 * 256, nullptr);
    runner->m_Position = {at.x << 8, at.y << 8};
    runner->m_PrevPosition = {before.x << 8, before.y << 8};
    runner->m_Direction = {(at.x - before.x) * 65536 / (12 * 256), (at.y - before.y) * 65536 / (12 * 256)};
    runner->m_nGlowAngle = 30 * 256;
    // A green and a yellow marble closing in on each other: both glow red with danger.
    CMarble* near1 = Add(kMarbleGreen, 230, 290);
    CMarble* near2 = Add(kMarbleYellow, 262, 300);
    near1->m_nDanger = near2->m_nDanger = 200;
    near1->m_Direction = {65536, 0};
    near2->m_Direction = {-65536, 0};

    // The power-ups, opaque (past their fade-in).
    CMarblePowerup* bomb = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpBomb, 60, 400));
    field.boostLevels[kUpgradeColorBomb] = field.topLevels[kUpgradeColorBomb];
    CMarblePowerup* twoColours = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpColorBomb, 130, 400));
    field.boostLevels[kUpgradeColorBomb] = 0;
    CMarblePowerup* oneColour = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpColorBomb, 130, 450));
    CMarblePowerup* coin = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpCoin, 200, 400));
    field.boostLevels[kUpgradeRay] = 3;
    CMarblePowerup* rays = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpEightWay, 270, 400));
    CMarblePowerup* hopping = static_cast<CMarblePowerup*>(Add(kPowerUpTypeBase + kPowerUpCoin, 40, 300));
    hopping->StartHop({110 * kPx, 330 * kPx}, 30 * kPx, 3 * kPx);
    for (CMarblePowerup* p : {bomb, twoColours, oneColour, coin, rays, hopping}) p->m_nLife = 700;
    for (int frame = 0; frame < 8; ++frame) {
        for (CMarblePowerup* p : {bomb, twoColours, oneColour, coin, rays, hopping}) p->RunProcess();
        field.colorBombSparkles->RunProcess();
        field.eightWaySparkles->RunProcess();
    }

    // In the round's order: range rings, shadows, paths, halos, marbles, sparkles, texts.
    bomb->DrawBombCircle(32, bomb->GetRadius() / 3);
    for (int i = 0; i < field.marbles.count; ++i) field.marbles.data[i]->DrawMarbleShadow();
    DrawPathDots(runner->m_Path, kMarbleRed, runner->m_nPathDistance >> 8);
    for (int i = 0; i < field.marbles.count; ++i) field.marbles.data[i]->DrawDanger();
    // The shapes the round tints: a blue marble just popped, the ring under a dragged marble and
    // the arrows of a marble about to come in from the left.
    CQuorvanImageRotatorScaler* rotator = game.m_pRotatorScaler;
    rotator->DrawRotatedBitmapAdditive(First("Explosion"), screen, 100 * 256, 130 * 256, 20 * 256, 65536, 0, 255, 255,
                                       -40, 0);
    rotator->DrawRotatedBitmapMultiply(First("DragCircle"), screen, 60 * 256, 190 * 256, 0, 45875, 255, 255, 0, -75, 0);
    Add(kMarbleYellow, 60, 190);
    for (int i = 0; i < 4; ++i)
        rotator->DrawRotatedBitmapMultiply(First("DangerOffScreen"), screen, (24 + 10 * i) * 256, 240 * 256, 0,
                                           16384 - 1966 * i, 0, 255, 255, 0, 0);
    for (int i = 0; i < field.marbles.count; ++i) field.marbles.data[i]->Draw();
    field.colorBombSparkles->Draw(screen);
    field.eightWaySparkles->Draw(screen);
    CJumpStringManager texts(&game, &field);
    ASSERT_EQ(texts.ShowJumpString(CommonString("+84"), CommonString("score"), kMarbleRed, 190 * kPx, 205 * kPx, 0), 1);
    ASSERT_EQ(texts.ShowJumpString(CommonString("Level 3"), CommonString("level"), 0, 160 * kPx, 240 * kPx, 0), 1);
    ASSERT_EQ(texts.ShowJumpString(CommonString("+2"), CommonString("coin"), 0, 200 * kPx, 360 * kPx, 0), 1);
    ASSERT_EQ(texts.ShowJumpString(CommonString("= 2 x "), CommonString("stage_desc"), 1, 230 * kPx, 112 * kPx, 0), 1);
    for (int frame = 0; frame < 16; ++frame) texts.RunProcess();
    texts.Draw(screen, 0, 0);

    const mediatest::TImage frame = gl.Read();
    const std::filesystem::path folder = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / "gameplay-objects";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(
        platform::WriteRgbaPng((folder / "gameplay_objects.png").string(), frame.width, frame.height, frame.rgba));

    // What tells the objects apart at a glance.
    EXPECT_TRUE(Reddish(frame.At(55, 62)));
    EXPECT_TRUE(Greenish(frame.At(125, 62)));
    EXPECT_TRUE(Bluish(frame.At(195, 62)));
    EXPECT_TRUE(Yellowish(frame.At(265, 62)));
    EXPECT_TRUE(Reddish(frame.At(at.x >> 8, (at.y >> 8) + 2))) << "the marble on its path";
    EXPECT_TRUE(Dark(frame.At(57, 404))) << "the bomb";
    EXPECT_TRUE(Golden(frame.At(200, 402))) << "the coin";
    const auto at8 = frame.At(270, 400);
    EXPECT_TRUE(at8[0] > 200 && at8[1] > 180) << "the 8-way bomb's white-gold core";
    const TVector2D ahead = runner->m_Path.GetPos(200 * 256, nullptr);
    EXPECT_TRUE(Reddish(frame.At(ahead.x >> 8, ahead.y >> 8))) << "a path dot ahead of the marble";
}

}  // namespace
