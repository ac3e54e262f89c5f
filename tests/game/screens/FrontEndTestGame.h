#pragma once
// The game started against the real resource pak, as the program starts it, with the fonts and
// the title sparkles the loader would have loaded: the front-end screens are then built from the
// real templates and art. Saves go to a scratch folder; no sound device is opened.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/UILayout.h"

class CRealPakGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(COBBLE_PAK); }
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
    // One frame of the game's drawing, read back from the GL screen (rows from the top).
    mediatest::TImage DrawFrame() {
        game.m_Screen.m_pBackBuffer->HWBeginScene();
        game.Draw();
        return gl.Read();
    }
    // Keeps a frame as build/<preset>/screens/<folder>/<name> for people to look at.
    static void SavePicture(const mediatest::TImage& frame, const std::string& folder, const std::string& name) {
        const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / folder;
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(platform::WriteRgbaPng((dir / name).string(), frame.width, frame.height, frame.rgba)) << name;
    }

    // As large as the game's screen, so that suites can read whole frames back.
    mediatest::CHeadlessGl gl{320, 480};
    CScratchSaveFolder saves;
    CRealPakGame game;
};
