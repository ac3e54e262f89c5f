#pragma once
// The game started against the real resource pak, as the program starts it, with the fonts and
// the title sparkles the loader would have loaded: the front-end screens are then built from the
// real templates and art. Saves go to a scratch folder; no sound device is opened.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
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
    // The GL pbuffer is the size of a screen whose pixels a suite reads back; 32 x 32 otherwise.
    explicit FrontEndTest(int glWidth = 32, int glHeight = 32) : gl(glWidth, glHeight) {}
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(game.Init(320, 480));
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

    // The "ui" sprite sets, as the loader screen loads them.
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

    mediatest::CHeadlessGl gl;
    CScratchSaveFolder saves;
    CRealPakGame game;
};
