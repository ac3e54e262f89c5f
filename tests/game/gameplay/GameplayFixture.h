#pragma once
// The fixture of the gameplay objects' suites, over a game object the suite chooses (the real
// CTheGame in GameplayTestGame.h, the stand-in of testsupport/FakeGameplayGame.h in
// GameplayFakeGame.h): a sprite-set manager holding the round's sets as small loaded strips (each
// frame its own colour, with its double-size twin as the game runs), a rotator whose draws are
// recorded instead of reaching a bitmap, two fonts, a software back buffer, random numbers
// scripted per test, and a fake play field.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/gameplay/Marble.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/GameFonts.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/DrawingTestGame.h"
#include "testsupport/FakePlayField.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"
#include "text/BitmapFont.h"

namespace gameplaytest {

// A game whose random numbers come from a list the test fills (0 once it runs dry); every range
// asked for is noted.
template <class Base>
class CScriptedRandomGame : public Base {
public:
    int RandomValue(int n) override {
        asked.push_back(n);
        if (randoms.empty()) return 0;
        const int v = randoms.front();
        randoms.pop_front();
        return v;
    }
    std::deque<int> randoms;
    std::vector<int> asked;
};

// One sprite set of the test pak.
struct TSetSpec {
    const char* name;
    int frames;
};

// The round's sets as the suites load them. The marble strips are shorter than the frame counts
// the drawing assumes for blue (64) and green (32), as a damaged or reworked pak could make them.
inline const std::vector<TSetSpec> kRoundSets = {
    {"Ball1", 12},        {"Ball2", 8},           {"Ball3", 16},
    {"Ball4", 32},        {"BONUS_BOMB", 8},      {"BONUS_8WAY", 5},
    {"Coin_Test", 16},    {"Flare", 1},           {"DangerCircle", 1},
    {"BombRange", 1},     {"ColorBombRed", 8},    {"ColorBombGreen", 8},
    {"ColorBombBlue", 8}, {"ColorBombYellow", 8}, {"ColorBombGreenYellow", 8},
};

// Extra members of a suite's pak (a texts table, say), beside the sets' strips.
using TPakMembers = std::vector<std::pair<std::string, mediatest::Bytes>>;

template <class Game>
class GameplayTestOn : public ::testing::Test {
protected:
    explicit GameplayTestOn(const std::vector<TSetSpec>& sets = kRoundSets, TPakMembers extra = {}) {
        EXPECT_TRUE(GiveDrawingServices(game, &recorder));
        auto* screen = new CWinDibBitmap(&game);
        EXPECT_EQ(screen->Create(320, 480), 1);
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = screen;
        game.SetGameSize(320, 480);
        smallFont = std::make_unique<CBitmapFontText>(&game);
        buttonFont = std::make_unique<CBitmapFontText>(&game);
        game.m_Fonts[kGameFontSmall] = smallFont.get();
        game.m_Fonts[kGameFontButton] = buttonFont.get();
        Mount(sets, std::move(extra));
        field.glow = Set("Flare")->GetFrame(0);
        field.danger = Set("DangerCircle")->GetFrame(0);
        field.bombRange = Set("BombRange")->GetFrame(0);
        field.coinSet = Set("Coin_Test");
        const std::pair<int, const char*> bombs[] = {{1, "ColorBombRed"},
                                                     {2, "ColorBombGreen"},
                                                     {4, "ColorBombBlue"},
                                                     {8, "ColorBombYellow"},
                                                     {10, "ColorBombGreenYellow"}};
        for (const auto& [mask, name] : bombs) field.colorBombSets[mask] = Set(name);
    }
    ~GameplayTestOn() override {
        field.marbles.RemoveAll();
        game.m_Fonts[kGameFontSmall] = game.m_Fonts[kGameFontButton] = nullptr;
    }

    // Writes a pak with a strip per set (frame i of each set its own colour, 2 x 2 pixels, with
    // its 4 x 4 twin) and the extra members, and declares and loads every set.
    void Mount(const std::vector<TSetSpec>& sets, TPakMembers members = {}) {
        for (const TSetSpec& set : sets) {
            mediatest::TImage strip = mediatest::MakeImage(2 * set.frames, 2, {0, 0, 0, 255});
            mediatest::TImage twin = mediatest::MakeImage(4 * set.frames, 4, {0, 0, 0, 255});
            for (int f = 0; f < set.frames; ++f) {
                const std::array<std::uint8_t, 4> c = {static_cast<std::uint8_t>(f * 7), 100, 200, 255};
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) {
                        twin.Set(4 * f + x, y, c);
                        strip.Set(2 * f + x / 2, y / 2, c);
                    }
            }
            members.emplace_back(std::string("i_vga\\t\\") + set.name + ".png", mediatest::EncodePng(strip));
            members.emplace_back(std::string("i_vga_2x\\t\\") + set.name + ".png", mediatest::EncodePng(twin));
        }
        mediatest::SetCommonPak(game, dir.Path("round.pak"), members);
        for (const TSetSpec& set : sets) {
            const std::string file = std::string("t\\") + set.name + ".png";
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle(set.name, file.c_str(), "", set.frames, set.frames,
                                                                   false, false),
                      1)
                << set.name;
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set.name), 1) << set.name;
        }
    }
    CSpriteSet* Set(const char* name) { return game.m_pSpriteSetManager->GetSpriteSetNamed(name); }

    // A marble of a colour, or a power-up of a kind, owned by the field's list.
    CMarble* AddMarble(int type, int xPx, int yPx) {
        CMarble* marble = CMarble::CreateForType(&game, &field, type);
        EXPECT_NE(marble, nullptr);
        marble->m_Position = TVector2D_16{xPx * 65536, yPx * 65536};
        EXPECT_EQ(field.marbles.AddOwned(marble), 1);
        return marble;
    }
    CMarblePowerup* AddPowerup(int kind, int xPx, int yPx) {
        return static_cast<CMarblePowerup*>(AddMarble(kPowerUpTypeBase + kind, xPx, yPx));
    }

    CScratchDir dir;
    CRecordingRotatorPath recorder;
    Game game;
    CFakePlayField field;
    std::unique_ptr<CBitmapFontText> smallFont, buttonFont;
};

}  // namespace gameplaytest
