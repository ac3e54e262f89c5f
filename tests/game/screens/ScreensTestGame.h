#pragma once
// The game object of the screens suites: a real CTheGame with a sprite-set manager, a rotator, a
// player and a test pak of images (each a one-frame sprite set, loaded, with its double-size twin
// as the game runs), and templates read from text. Rotated draws go to a recording path, which
// keeps exactly what the widgets asked for; a suite that reads pixels back switches to a headless
// OpenGL ES screen with the real path instead.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/RecordingRotatorPath.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/TestTheGame.h"
#include "text/BitmapFont.h"
#include "ui/TemplateReader.h"

namespace screenstest {

using Colour = std::array<std::uint8_t, 4>;

using ::CRecordingRotatorPath;

using CScreensTestGame = CTestTheGame;

// A w x h picture of one colour.
inline mediatest::TImage Plain(int w, int h, Colour colour) { return mediatest::MakeImage(w, h, colour); }

class ScreensTest : public ::testing::Test {
protected:
    ScreensTest() {
        game.m_RenderSwitches.m_bDoubleResolution = true;
        // Portrait, as the game's window always is: bitmaps are stored as seen.
        game.m_Screen.m_nOrientationMode = 0;
        game.m_Screen.m_nOrientationAngle = 0;
        game.m_pSpriteSetManager = new CSpriteSetManager(&game, 40);
        game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 36000);
        EXPECT_EQ(game.m_pRotatorScaler->Initialize(), 1);
        game.m_pRotatorScaler->SetHardwarePath(&recorder);
    }
    ~ScreensTest() override { game.m_Fonts[0] = nullptr; }

    // Switches to a headless OpenGL ES screen of w x h with the real rotated-draw path and pixels
    // released after upload; false where this machine has no EGL (the test then skips). Call
    // before Mount.
    bool UseGl(int w, int h) {
        gl = std::make_unique<mediatest::CHeadlessGl>(w, h);
        if (!gl->IsValid()) return false;
        game.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        mediatest::MakeGlScreenOn(game, w, h);
        glPath = std::make_unique<CGlesRotatorPath>(&game, game.m_pRotatorScaler);
        game.m_pRotatorScaler->SetHardwarePath(glPath.get());
        return true;
    }
    // A w x h software back buffer, for suites that only record draws.
    void UseSoftScreen(int w, int h) {
        auto* screen = new CWinDibBitmap(&game);
        ASSERT_EQ(screen->Create(w, h), 1);
        delete game.m_Screen.m_pBackBuffer;
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = screen;
        game.m_nGameWidth = w;
        game.m_nGameHeight = h;
    }

    // An image set of one frame, w x h as drawn (its twin twice the size is what loads).
    void AddImage(const std::string& set, const mediatest::TImage& picture) {
        mediatest::TImage twin = mediatest::MakeImage(picture.width * 2, picture.height * 2, {0, 0, 0, 0});
        for (int y = 0; y < twin.height; ++y)
            for (int x = 0; x < twin.width; ++x) twin.Set(x, y, picture.At(x / 2, y / 2));
        members.emplace_back("i_vga\\" + set + ".png", mediatest::EncodePng(picture));
        members.emplace_back("i_vga_2x\\" + set + ".png", mediatest::EncodePng(twin));
        sets.push_back(set);
    }
    // The game's small font, DejaVu Sans baked at size.
    void AddSmallFont(int size) {
        for (auto& member : fonttest::FontMembers(fonttest::Bake(size), "i_vga\\small", fontbaker::EForm::RgbaPng))
            members.push_back(std::move(member));
        wantFont = true;
    }
    // Writes the pak, declares and loads every image set and the font.
    void Mount() {
        mediatest::SetCommonPak(game, dir.Path("screens.pak"), members);
        for (const std::string& set : sets) {
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle(set.c_str(), (set + ".png").c_str(), "", 1, 1, false,
                                                                   false),
                      1)
                << set;
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set.c_str()), 1) << set;
        }
        if (wantFont) {
            font = std::make_unique<CBitmapFontText>(&game);
            ASSERT_EQ(font->LoadFont("i_vga\\small.jpg"), 1);
            game.m_Fonts[0] = font.get();
        }
    }
    // A new current player with that many coins and unspent boost points.
    TUserProfile* AddPlayer(int coins, int boostPoints) {
        if (game.GetAppData() == nullptr) {
            EXPECT_TRUE(game.CreateApplicationData());
        }
        CApplicationData& data = *game.GetAppData();
        const int i = data.AddUserProfile();
        EXPECT_GE(i, 0);
        data.m_nCurrentProfile = i;
        TUserProfile* player = data.m_Profiles.data[i];
        player->m_nCoins = coins;
        player->m_nBoostPoints = boostPoints;
        return player;
    }
    // The template of these records.
    void ReadTemplate(const std::string& text) {
        CTemplateReader reader;
        templ.reset(reader.ReadTemplateFromBytes({text.data(), text.size()}, "screens.txt"));
        ASSERT_NE(templ, nullptr);
    }

    std::unique_ptr<mediatest::CHeadlessGl> gl;  // before the game, which draws into it to the end
    CScratchDir dir;
    CScreensTestGame game;
    CRecordingRotatorPath recorder;
    std::unique_ptr<CGlesRotatorPath> glPath;
    std::unique_ptr<CBitmapFontText> font;
    std::unique_ptr<TTemplate> templ;
    std::vector<std::pair<std::string, mediatest::Bytes>> members;
    std::vector<std::string> sets;
    bool wantFont = false;
};

using mediatest::FindBox;
using mediatest::TBox;

}  // namespace screenstest
