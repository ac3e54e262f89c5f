#pragma once
// The game object of the screens suites: a real CTheGame with a sprite-set manager, a rotator, a
// player and a test pak of images (each a one-frame sprite set, loaded, with its double-size twin
// as the game runs), and templates read from text. Rotated draws go to a recording path, which
// keeps exactly what the widgets asked for; a suite that reads pixels back switches to a headless
// OpenGL ES screen with the real path instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
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
#include "testsupport/BlockFont.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/TestTheGame.h"
#include "text/BitmapFont.h"
#include "ui/TemplateReader.h"

namespace screenstest {

using Colour = std::array<std::uint8_t, 4>;

// Keeps every rotated draw and takes it, so nothing reaches a bitmap.
class CRecordingRotatorPath : public IRotatorHardwarePath {
public:
    bool Draw(const TRotatedDraw& draw) override {
        draws.push_back(draw);
        return true;
    }
    std::vector<TRotatedDraw> draws;
};

using CScreensTestGame = CTestTheGame;

// The letter spacing of the block fonts: a text's measured width counts it after every character.
inline constexpr int kBlockFontSpacing = 2;

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
    ~ScreensTest() override {
        for (CBitmapFontText*& font : game.m_Fonts) font = nullptr;
    }

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
        sets.push_back({set, 1, 1});
    }
    // A set of that many frames cut from one picture in that many rows, as a description's
    // `file = "...", frames, rows` line declares it.
    void AddSheet(const std::string& set, const mediatest::TImage& picture, int frames, int rows) {
        AddImage(set, picture);
        sets.back() = {set, frames, rows};
    }
    // The game's small font, DejaVu Sans baked at size.
    void AddSmallFont(int size) {
        for (auto& member : fonttest::FontMembers(fonttest::Bake(size), "i_vga\\small", fontbaker::EForm::RgbaPng))
            members.push_back(std::move(member));
        wantFont = true;
    }
    // A block font (fonttest::BlockFontMembers) of cellW x cellH under "i_vga\\" + name, loaded
    // by Mount into the game's font slot with letter spacing 2; the test empties the slot.
    void AddBlockFont(const std::string& name, int cellW, int cellH, EGameFont slot) {
        for (auto& member : fonttest::BlockFontMembers("i_vga\\" + name, cellW, cellH))
            members.push_back(std::move(member));
        blockFontNames.push_back({name, slot});
    }
    // Writes the pak, declares and loads every image set and the font.
    void Mount() {
        mediatest::SetCommonPak(game, dir.Path("screens.pak"), members);
        for (const TSetEntry& entry : sets) {
            const std::string& set = entry.name;
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle(set.c_str(), (set + ".png").c_str(), "", entry.frames,
                                                                   entry.rows, false, false),
                      1)
                << set;
            ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetRef(set.c_str()), 1) << set;
        }
        if (wantFont) {
            font = std::make_unique<CBitmapFontText>(&game);
            ASSERT_EQ(font->LoadFont("i_vga\\small.jpg"), 1);
            game.m_Fonts[0] = font.get();
        }
        for (const auto& [name, slot] : blockFontNames) {
            auto block = std::make_unique<CBitmapFontText>(&game);
            ASSERT_EQ(block->LoadFont(("i_vga\\" + name + ".jpg").c_str()), 1) << name;
            block->m_nLetterSpacing = kBlockFontSpacing;
            game.m_Fonts[slot] = block.get();
            blockFonts.push_back(std::move(block));
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
    std::vector<std::unique_ptr<CBitmapFontText>> blockFonts;
    std::vector<std::pair<std::string, EGameFont>> blockFontNames;
    std::unique_ptr<TTemplate> templ;
    std::vector<std::pair<std::string, mediatest::Bytes>> members;
    struct TSetEntry {
        std::string name;
        int frames, rows;
    };
    std::vector<TSetEntry> sets;
    bool wantFont = false;
};

using mediatest::FindBox;
using mediatest::TBox;

// The first and last pixel columns (or rows) a span [from, to) covers under GL's pixel-centre
// rule.
inline int FirstPixel(double from) { return static_cast<int>(std::ceil(from - 0.5)); }
inline int LastPixel(double to) { return static_cast<int>(std::ceil(to - 0.5)) - 1; }

using mediatest::FindBoxIn;

// Expects the box to cover exactly the pixels of [left, right) x [top, bottom).
inline void ExpectSpan(const TBox& box, double left, double right, double top, double bottom, const std::string& what) {
    ASSERT_FALSE(box.Empty()) << what << " is drawn";
    EXPECT_EQ(box.left, FirstPixel(left)) << what;
    EXPECT_EQ(box.right, LastPixel(right)) << what;
    EXPECT_EQ(box.top, FirstPixel(top)) << what;
    EXPECT_EQ(box.bottom, LastPixel(bottom)) << what;
}

}  // namespace screenstest
