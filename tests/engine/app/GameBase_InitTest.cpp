// The application object's numbered start-up, stage by stage, on a software back buffer and a
// pak written by the test. Every hook the stages call is recorded, so a failing stage also shows
// that nothing after it ran.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "audio/iPhoneSoundSystem.h"
#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"
#include "platform/Pcm.h"
#include "render/DibBitmap.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/StubGame.h"

namespace {

// Player data whose saved file is "readable" when the test says so, holding the stored
// orientation preference; its defaults carry the preference a test gives them.
class CInitTestData : public CBasicApplicationData {
public:
    CInitTestData(bool readable, int stored, int defaultOrientation)
        : m_bReadable(readable), m_nStored(stored), m_nDefaultOrientation(defaultOrientation) {}
    void SetDefaultApplicationData() override {
        CBasicApplicationData::SetDefaultApplicationData();
        m_nOrientationMode = m_nDefaultOrientation;
    }
    int Serialize(IFile*, bool) override { return 1; }
    int WriteAppData(IFile*) override { return 1; }
    int ReadAppData(IFile*) override { return 1; }
    int ReadAppData(CGameBase*) override {
        m_nOrientationMode = m_nStored;
        // A failed read may leave half a file behind; the start-up must not keep it.
        if (!m_bReadable) m_nEffectsVolume = 3;
        return m_bReadable ? 1 : 0;
    }
    int WriteAppData(CGameBase*) override { return 1; }
    bool m_bReadable;
    int m_nStored;
    int m_nDefaultOrientation;
};

class CInitGame : public CStubGame {
public:
    CInitGame() {
        m_Screen.m_nOrientationMode = 0;
        m_bGLRenderTarget = false;
    }
    bool Init(int w, int h) override { return CGameBase::Init(w, h); }
    bool CreateApplicationData() override {
        calls.push_back("data");
        if (!makeData) return false;
        m_pAppData = new CInitTestData(dataReadable, storedOrientation, defaultOrientation);
        return true;
    }
    int LoadGlobalConstants(int w, int h) override {
        calls.push_back("constants " + std::to_string(w) + "x" + std::to_string(h));
        return constants;
    }
    int GetVerticalBorderWidth() override { return borderWidth; }
    int InitLocalizationManger() override { return Record("localisation", localisation); }
    int InitUILayout() override { return Record("layout", layout); }
    bool ReLoadFonts() override { return Record("fonts", fonts) != 0; }
    int LoadWinMobileQuitButton() override { return Record("quit button", quitButton); }

    int Record(const char* name, int result) {
        calls.push_back(name);
        return result;
    }

    bool makeData = true;
    bool dataReadable = true;
    int storedOrientation = 0;
    int defaultOrientation = 0;
    int constants = 1;
    int borderWidth = 0;
    int localisation = 1, layout = 1, fonts = 1, quitButton = 1;
    std::vector<std::string> calls;
};

class GameBaseInitTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::Null);
        game.m_CommonPakName = WritePak("common.pak");
        game.m_ResolutionPakName = WritePak("resolution.pak");
    }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    std::string WritePak(const std::string& file) {
        pakwriter::TPakMember member;
        member.name = "Data\\readme.txt";
        member.data = {'o', 'k'};
        const std::string path = dir.Path(file);
        EXPECT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak({member})));
        return path;
    }

    CScratchDir dir;
    CInitGame game;
};

const std::vector<std::string> kEveryCall = {"data",  "constants 320x480", "localisation", "layout",
                                             "fonts", "quit button"};

TEST_F(GameBaseInitTest, EveryStageRunsInOrderAndTheSuccessClearsTheStage) {
    game.m_nFailingStage = 9;
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_EQ(game.m_nFailingStage, 0);
    EXPECT_EQ(game.calls, kEveryCall);
    EXPECT_EQ(game.m_nGameWidth, 320);
    EXPECT_EQ(game.m_nGameHeight, 480);
    EXPECT_EQ(game.m_nRotationMode, 0);
    EXPECT_FALSE(game.m_bAppDataCreatedFresh);

    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_Width, 320);
    EXPECT_EQ(back->m_Height, 480);
    EXPECT_EQ(back->GetAlphaBits(), nullptr) << "the back buffer has no alpha plane";
    EXPECT_EQ(game.m_Screen.m_pDrawTarget, back);
    EXPECT_EQ(game.m_pBlendBuffer, nullptr) << "only GL ES has a blend buffer";
    EXPECT_EQ(game.GetBlendBuffer(), back);
    EXPECT_EQ(game.m_pBorderBuffer1, nullptr);

    ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr);
    EXPECT_EQ(game.m_Paks.m_pResolutionPak, nullptr) << "one pak while the single-pak switch is on";
}

struct TStageCase {
    const char* why;
    std::function<void(CInitGame&)> breakIt;
    int stage;  // the start-up's documented stage number, written out rather than taken from the code
    std::size_t callsMade;  // how many of kEveryCall happened
};

TEST_F(GameBaseInitTest, EachBrokenInputFailsWithItsStageAndStopsThere) {
    const TStageCase cases[] = {
        {"no player data can be made", [](CInitGame& g) { g.makeData = false; }, 2, 1},
        {"no constants for the size", [](CInitGame& g) { g.constants = 0; }, 1, 2},
        {"borders leave no picture", [](CInitGame& g) { g.borderWidth = 160; }, 3, 2},
        {"the common pak is missing", [](CInitGame& g) { g.m_CommonPakName += ".gone"; }, 8, 2},
        {"two paks, the common one missing",
         [](CInitGame& g) {
             g.m_Paks.m_bSinglePak = false;
             g.m_CommonPakName += ".gone";
         },
         10, 2},
        {"two paks, the resolution one missing",
         [](CInitGame& g) {
             g.m_Paks.m_bSinglePak = false;
             g.m_ResolutionPakName += ".gone";
         },
         12, 2},
        {"no localisation", [](CInitGame& g) { g.localisation = 0; }, 13, 3},
        {"no style table", [](CInitGame& g) { g.layout = 0; }, 14, 4},
        {"no fonts", [](CInitGame& g) { g.fonts = 0; }, 15, 5},
        {"no quit button", [](CInitGame& g) { g.quitButton = 0; }, 16, 6},
    };
    for (const TStageCase& c : cases) {
        SCOPED_TRACE(c.why);
        CInitGame g;
        g.m_CommonPakName = game.m_CommonPakName;
        g.m_ResolutionPakName = game.m_ResolutionPakName;
        c.breakIt(g);
        EXPECT_FALSE(g.Init(320, 480));
        EXPECT_EQ(g.m_nFailingStage, c.stage);
        EXPECT_EQ(g.calls, std::vector<std::string>(kEveryCall.begin(), kEveryCall.begin() + c.callsMade));
    }
}

TEST_F(GameBaseInitTest, TwoPaksOpenBothAndAPakThatIsNoZipFails) {
    game.m_Paks.m_bSinglePak = false;
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_NE(game.m_Paks.m_pCommonPak, nullptr);
    EXPECT_NE(game.m_Paks.m_pResolutionPak, nullptr);

    std::ofstream(dir.Path("text.pak")) << "this is not a zip archive\n";
    CInitGame broken;
    broken.m_CommonPakName = dir.Path("text.pak");
    EXPECT_FALSE(broken.Init(320, 480));
    EXPECT_EQ(broken.m_nFailingStage, kStageCommonPakOpen);
    EXPECT_EQ(broken.m_Paks.m_pCommonPak, nullptr) << "a pak that failed to open is not kept";
}

TEST_F(GameBaseInitTest, LoosePathsOpenNoPak) {
    game.m_Paks.m_bPakMode = false;
    game.m_CommonPakName += ".gone";
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_EQ(game.m_Paks.m_pCommonPak, nullptr);
}

TEST_F(GameBaseInitTest, UnreadablePlayerDataStartsFromTheDefaultsWithTheFreshFlag) {
    game.dataReadable = false;
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_TRUE(game.m_bAppDataCreatedFresh);
    EXPECT_EQ(game.m_pAppData->m_nEffectsVolume, 50) << "nothing of the failed read is kept";
}

TEST_F(GameBaseInitTest, SoundSystemTakesThePlayersSettings) {
    game.dataReadable = true;
    ASSERT_TRUE(game.Init(320, 480));
    auto* sound = dynamic_cast<CiPhoneSoundSystem*>(game.m_pSoundSystem);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetVolume(), 50);
    EXPECT_TRUE(sound->IsSoundOn());
    EXPECT_TRUE(sound->IsMusicOn());

    CInitGame silenced;
    silenced.m_CommonPakName = game.m_CommonPakName;
    silenced.m_bMuted = true;
    ASSERT_TRUE(silenced.Init(320, 480));
    auto* muted = dynamic_cast<CiPhoneSoundSystem*>(silenced.m_pSoundSystem);
    ASSERT_NE(muted, nullptr);
    EXPECT_FALSE(muted->IsSoundOn());
    EXPECT_FALSE(muted->IsMusicOn());
}

TEST_F(GameBaseInitTest, MissingSoundDeviceStillStartsSilent) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_EQ(game.m_pSoundSystem, nullptr);
    EXPECT_EQ(game.m_nFailingStage, 0);
}

TEST_F(GameBaseInitTest, BordersNarrowTheBackBufferAndGetTheirOwnBuffers) {
    game.borderWidth = 20;
    game.m_bGLRenderTarget = true;
    ASSERT_TRUE(game.Init(320, 480));
    EXPECT_FALSE(game.m_bGLRenderTarget) << "a bordered screen is drawn in software";
    EXPECT_EQ(game.m_RenderSwitches.m_nRendererKind, kRendererSoftware);
    EXPECT_EQ(game.m_Screen.m_pBackBuffer->m_Width, 280);
    EXPECT_EQ(game.m_Screen.m_pBackBuffer->m_Height, 480);
    ASSERT_NE(game.m_pBorderBuffer1, nullptr);
    EXPECT_EQ(game.m_pBorderBuffer1->m_Width, 20);
    EXPECT_EQ(game.m_pBorderBuffer1->m_Height, 480);
}

struct TRotationCase {
    const char* why;
    bool preferredSupport;
    int w, h;
    int stored;  // read from the file, or the defaults' value when the file is unreadable
    bool fresh;
    int mode;
    int storedAfter;
};

TEST_F(GameBaseInitTest, RotationModeFollowsTheStoredPreference) {
    const TRotationCase cases[] = {
        {"no support: always 0", false, 320, 480, 2, false, 0, 2},
        {"wide screen: 0", true, 480, 320, 2, false, 0, 2},
        {"unset preference: the default", true, 320, 480, -2, false, 1, -2},
        {"preference 0: the default, stored as unset", true, 320, 480, 0, false, 1, -2},
        {"fresh data: the default becomes the preference", true, 320, 480, 2, true, 1, 1},
        {"a stored preference is taken", true, 320, 480, 2, false, 2, 2},
    };
    for (const TRotationCase& c : cases) {
        SCOPED_TRACE(c.why);
        CInitGame g;
        g.m_CommonPakName = game.m_CommonPakName;
        g.m_bPreferredOrientationSupport = c.preferredSupport;
        g.storedOrientation = c.stored;
        g.defaultOrientation = c.fresh ? c.stored : 0;
        g.dataReadable = !c.fresh;
        ASSERT_TRUE(g.Init(c.w, c.h));
        EXPECT_EQ(g.m_nRotationMode, c.mode);
        EXPECT_EQ(g.m_pAppData->m_nOrientationMode, c.storedAfter);
        // A turned mode asks for the constants of the turned size.
        const std::string expected = c.mode == 0 ? "constants " + std::to_string(c.w) + "x" + std::to_string(c.h)
                                                 : "constants " + std::to_string(c.h) + "x" + std::to_string(c.w);
        EXPECT_EQ(g.calls[1], expected);
    }
}

TEST(GameBaseInitGl, GlBackBufferAndItsSoftwareBlendBuffer) {
    CGlesTestContext ctx(32, 32);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    CInitGame game;
    game.m_bGLRenderTarget = true;
    game.m_Paks.m_bPakMode = false;
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    ASSERT_TRUE(game.Init(64, 96));
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
    EXPECT_EQ(game.m_RenderSwitches.m_nRendererKind, kRendererGLES);
    EXPECT_NE(dynamic_cast<CWinDibBitmapOGLES*>(game.m_Screen.m_pBackBuffer), nullptr);
    ASSERT_NE(game.m_pBlendBuffer, nullptr);
    EXPECT_EQ(dynamic_cast<CWinDibBitmapOGLES*>(game.m_pBlendBuffer), nullptr) << "the blend buffer is software";
    EXPECT_EQ(game.m_pBlendBuffer->m_Width, 64);
    EXPECT_EQ(game.m_pBlendBuffer->m_Height, 96);
    EXPECT_EQ(game.m_pBlendBuffer->GetAlphaBits(), nullptr);
    EXPECT_EQ(game.GetBlendBuffer(), game.m_pBlendBuffer);
}

}  // namespace
