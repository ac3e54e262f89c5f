#pragma once
// The game started against the real resource pak, as the program starts it, with the fonts and
// the title sparkles the loader would have loaded: the front-end screens are then built from the
// real templates and art. Saves go to a scratch folder; no sound device is opened. The screen is
// a headless GL surface of the game's size (320 x 480 unless a suite asks for another), so a
// suite can read back what a player would see and keep it as a picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/UILayout.h"

class CRealPakGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(COBBLE_PAK); }
    // A suite's own class for a screen kind, when it gives one.
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (screenMaker)
            if (XGameRoot* screen = screenMaker(kind, this)) return screen;
        return CTestTheGame::NewScreen(kind, a, b);
    }
    std::function<XGameRoot*(EScreen, CTheGame*)> screenMaker;
    // The game's message posts, newest last; nothing is delivered.
    int SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) override {
        if (deferred && code >= MSG_RUN_START_MENU && code <= MSG_RUN_UPGRADES) {
            posts.push_back({code, static_cast<int>(wparam), lparam});
            return 1;
        }
        return CTestTheGame::SendMessage(target, code, wparam, lparam, deferred);
    }
    struct TPost {
        int code, wparam, lparam;
        bool operator==(const TPost&) const = default;
    };
    std::vector<TPost> posts;
};

class FrontEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        const TCoord2D size = ScreenSize();
        gl = std::make_unique<mediatest::CHeadlessGl>(size.x, size.y);
        if (!gl->IsValid()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(game.Init(size.x, size.y));
        // What the loader screen loads before the menu opens.
        for (int i = 0; i < game.m_pUILayout->GetFontCount(); ++i) ASSERT_EQ(game.LoadFont(i), 1) << i;
        ASSERT_EQ(game.ReLoadFontsLastStep(), 1);
        ASSERT_EQ(game.m_pParticleManager->GetParticleSystemNamed("StartMenuLogo")->InitFromFile(), 1);
        game.SafeDeleteChildren();
    }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    CApplicationData& Data() { return *game.GetAppData(); }
    // A profile with that name, made current.
    int AddPlayer(const char* name) {
        const int i = Data().AddUserProfile();
        Data().SetUserName(i, CommonString(name));
        Data().m_nCurrentProfile = i;
        return i;
    }
    std::string Name(int i) {
        const CommonString name = Data().GetUserName(i);
        return name.Length() > 0 ? name.GetDataConst() : "";
    }
    // Frames of the game's own update.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) game.RunProcess();
    }
    // Lays a template made from our ui_main.txt, changed by edit, over the built pak (which still
    // gives everything else), and forgets the templates read so far. A later overlay replaces it.
    void OverlayTemplate(const std::function<void(std::string&)>& edit) {
        std::ifstream in(std::string(COBBLE_SOURCE_DIR) + "/content/ui/ui_main.txt");
        std::stringstream text;
        text << in.rdbuf();
        std::string t = text.str();
        edit(t);
        TPakSet& paks = game.Paks();
        // A second overlay replaces the first: the built pak stays behind both.
        if (paks.m_pOptionalPak == nullptr) {
            paks.m_pOptionalPak = paks.m_pCommonPak;
            paks.m_pCommonPak = nullptr;
        }
        mediatest::SetCommonPak(game, saves.Path("overlay.pak"),
                                {{"ui\\ui_iphone\\ui_main.txt", mediatest::ToBytes(t)}});
        game.FlushCachedTemplates();
    }
    // A touch as the platform delivers it, through the game object (and its pointer capture).
    void Touch(int type, int x, int y) { (void)game.NotifyPointerEvent(x, y, type); }
    // A finger put down, moved through the points given (y only, x fixed) and lifted at the last.
    void Drag(int x, std::initializer_list<int> ys) {
        const int* y = ys.begin();
        Touch(XPOINTER_PRESS, x, *y);
        for (++y; y != ys.end(); ++y) Touch(XPOINTER_MOVE, x, *y);
        Touch(XPOINTER_RELEASE, x, *(ys.end() - 1));
    }
    // The screen's size in logical pixels; a suite overrides it for a taller screen.
    virtual TCoord2D ScreenSize() const { return {320, 480}; }
    // Draws the game as its draw cycle does and reads the frame back, rows from the top.
    mediatest::TImage Frame() {
        game.DoDrawCycle();
        return gl->Read();
    }
    // Keeps a frame as build/<preset>/screens/<folder>/<name> for a person to look at.
    static void KeepPicture(const mediatest::TImage& frame, const std::string& folder, const std::string& name) {
        const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / folder;
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(platform::WriteRgbaPng((dir / name).string(), frame.width, frame.height, frame.rgba)) << name;
    }

    // The "ui" sprite sets, as the loader screen loads them, and the counters' icons.
    void LoadUiSprites() {
        CSpriteSetManager& sets = *game.m_pSpriteSetManager;
        for (int i = 0; i < sets.GetNumSpriteSets(); ++i) {
            CSpriteSet* set = sets.GetSpriteSetAt(i);
            if (set->m_GroupName == "ui") {
                ASSERT_EQ(set->AddReference(), 1) << i;
            }
        }
        game.m_pHudCoinSet = sets.GetSpriteSetNamed("HudCoin");
        game.m_pHudXPSet = sets.GetSpriteSetNamed("HudXP");
    }

    std::unique_ptr<mediatest::CHeadlessGl> gl;  // before the game, which draws into it to the end
    CScratchSaveFolder saves;
    CRealPakGame game;
};
