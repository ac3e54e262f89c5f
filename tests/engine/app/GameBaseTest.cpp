#include "app/GameBase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestGame.h"
#include "app/BasicApplicationData.h"
#include "audio/SoundSystem.h"
#include "render/WinDibBitmap.h"
#include "testsupport/StubSoundSystem.h"

namespace {

std::string Str(const CommonString& s) { return s.GetData() != nullptr ? std::string(s.GetData()) : std::string(); }

TEST(GameBaseState, ConstructorValues) {
    CTestGame g;
    EXPECT_EQ(g.GetGamePtr(), &g) << "the root's game pointer is itself";
    EXPECT_TRUE(g.m_bBorderRedraw);
    EXPECT_TRUE(g.m_Paks.m_bSinglePak);
    EXPECT_TRUE(g.m_bGLRenderTarget);
    EXPECT_EQ(g.m_uFramePeriodMs, 30u);
    EXPECT_EQ(g.m_nFrameRate, 33);
    EXPECT_FALSE(g.m_bFixedStep);
    EXPECT_EQ(Str(g.m_InfoTexts[0]), " ");
    EXPECT_EQ(g.m_InfoTexts[1].Length(), 0);
    EXPECT_TRUE(g.m_b31Keys);
    EXPECT_EQ(g.m_nKeyRepeatDelay, 15);
    EXPECT_EQ(g.VolumeWheelDelta(), 5);
    EXPECT_EQ(g.m_nDefaultRotationMode, 1);
    EXPECT_EQ(g.m_RenderSwitches.m_nAlphaThreshold, 128);
    EXPECT_EQ(g.m_RenderSwitches.m_nTransparentR, 255);
    EXPECT_EQ(g.m_RenderSwitches.m_nTransparentG, 0);
    EXPECT_EQ(g.m_RenderSwitches.m_nTransparentB, 255);
    EXPECT_TRUE(g.m_RenderSwitches.m_bHardwareTextures);
    EXPECT_TRUE(g.m_RenderSwitches.m_bImmediateUpload);
    EXPECT_FALSE(g.m_RenderSwitches.m_bReleasePixelsAfterUpload);
    EXPECT_TRUE(g.m_Paks.m_bPakMode);
    EXPECT_EQ(g.m_Screen.m_nOrientationMode, 1);
    EXPECT_EQ(g.m_nRotationSpeed, 2048);
    EXPECT_EQ(g.m_Screen.m_CreatedBitmaps.growBy, 256);
    EXPECT_EQ(g.m_RenderSwitches.m_nRendererKind, kRendererSoftware);
}

TEST(GameBaseDefaults, HooksAnswerWithTheEngineDefaults) {
    CTestGame g;
    EXPECT_EQ(g.MapKeyToGameCode(3), -1);
    EXPECT_EQ(g.LoadGlobalConstants(320, 480), 0) << "the game must fill the constants";
    EXPECT_EQ(Str(g.LoadString(12)), "empty");
    EXPECT_EQ(g.GetModuleDirectory().Length(), 0);
    EXPECT_EQ(g.GetUIDirectory().Length(), 0);
    EXPECT_EQ(g.UILayout(), nullptr);
    EXPECT_EQ(g.GetDebugFont(), nullptr);
    EXPECT_EQ(g.OnMessage(nullptr, 1001, 0, 0), 0);
    EXPECT_EQ(g.GetLandscapeModePreference(), 1);
    int percent = 7;
    bool charging = true;
    EXPECT_FALSE(g.GetBatteryPercentage(percent, charging));
    EXPECT_EQ(percent, 0);
    EXPECT_FALSE(charging);

    DisplayProperties p{};
    g.m_nGameWidth = 320;
    g.m_nGameHeight = 568;
    g.GetDeviceScreenProperties(&p);
    EXPECT_EQ(p.width, 320);
    EXPECT_EQ(p.height, 568);
    EXPECT_EQ(p.bytesPerPixel, 2);
    EXPECT_EQ(p.bytesPerRow, 640);
    EXPECT_EQ(p.bitsPerPixel, 16);
    EXPECT_EQ(p.format, 2);

    g.SetFinished(kFinishGameEnds);
    EXPECT_TRUE(g.IsFinished());
    EXPECT_EQ(g.GetFinishCode(), kFinishGameEnds);
}

TEST(GameBaseDefaults, PreferredOrientationMode) {
    CTestGame g;
    g.SetPreffered_WM_OrientationMode(2);
    EXPECT_EQ(g.m_nDefaultRotationMode, 2);
    g.SetPreffered_WM_OrientationMode(0);
    EXPECT_EQ(g.m_nDefaultRotationMode, 0);
    g.m_bPreferredOrientationSupport = true;
    g.m_bAskForOrientation = true;
    // A touch screen is present, so asking stays on and mode 0 becomes 1.
    g.SetPreffered_WM_OrientationMode(0);
    EXPECT_EQ(g.m_nDefaultRotationMode, 1);
    EXPECT_TRUE(g.m_bAskForOrientation);
}

TEST(GameBaseServices, RandomValueDrawsOnlyForTwoOrMore) {
    CTestGame g;
    std::srand(7);
    const int first = std::rand();
    std::srand(7);
    EXPECT_EQ(g.RandomValue(1), 0);
    EXPECT_EQ(g.RandomValue(0), 0);
    EXPECT_EQ(g.RandomValue(-4), 0);
    EXPECT_EQ(std::rand(), first) << "no random number was consumed";

    const int ranges[] = {2, 10, 1000};
    std::srand(11);
    std::vector<int> expected;
    for (int n : ranges) expected.push_back(std::rand() % n);
    std::srand(11);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(g.RandomValue(ranges[i]), expected[i]);
}

struct TTwinCase {
    const char* imagesDir;
    const char* path;
    const char* expected;
    const char* why;
};

TEST(GameBaseServices, ImagePathForTheDoubleResolutionTwin) {
    const std::string longTail(300, 'x');
    const std::string longPath = "i_vga\\" + longTail;
    const std::string longTwin = "i_vga_2x\\" + longTail;
    const TTwinCase cases[] = {
        {"i_vga\\", "i_vga\\ui\\button", "i_vga_2x\\ui\\button", "path inside the images directory"},
        {"i_vga\\", "sounds\\ui\\button", "", "path outside it"},
        {"i_vga\\", "i_vga\\", "", "the directory itself is not longer"},
        {"i_vga\\", "i_vg", "", "shorter than the directory"},
        {"i_vga\\", "x\\i_vga\\b", "", "the directory must start the path"},
        {"", "i_vga\\b", "", "no images directory"},
        {"i_vga\\", longPath.c_str(), longTwin.c_str(), "long paths are not cut"},
    };
    for (const TTwinCase& c : cases) {
        SCOPED_TRACE(c.why);
        CTestGame g;
        g.m_ImagesDir = c.imagesDir;
        EXPECT_EQ(Str(g.GetImagePathFor2XImage(CommonString(c.path))), c.expected);
    }
}

TEST(GameBaseResolutions, DeclaredListAndBestChoice) {
    CTestGame g;
    EXPECT_EQ(g.GetNumSupportedResolutions(), 0);
    TBestResolution none = g.FindBestSupportedResolutionForScreenSize(720, 1280);
    EXPECT_EQ(none.width, 720);
    EXPECT_EQ(none.height, 1280);
    EXPECT_FALSE(none.fitted);

    g.DeclareSupportedResolution(320, 480);
    g.DeclareSupportedResolution(360, 640);
    g.DeclareSupportedResolution(480, 800);
    EXPECT_EQ(g.GetNumSupportedResolutions(), 3);
    EXPECT_TRUE(g.IsResolutionSupported(360, 640));
    EXPECT_FALSE(g.IsResolutionSupported(640, 360));
    EXPECT_EQ(g.GetSupportedResolutionProps(1).width, 360);
    EXPECT_EQ(g.GetSupportedResolutionProps(3).width, 0);
    EXPECT_EQ(g.GetSupportedResolutionProps(-1).height, 0);

    struct TCase {
        int sw, sh;
        int w, h;
        bool fitted;
        int fw, fh, ox, oy;
        const char* why;
    };
    const TCase cases[] = {
        {360, 640, 360, 640, false, 360, 640, 0, 0, "exact match"},
        {480, 854, 480, 800, false, 480, 800, 0, 27, "shares the width"},
        {720, 1280, 360, 640, false, 360, 640, 180, 320, "same aspect (360 x 1280 / 640 = 720)"},
        // 600 x 1000: 480 x 1000 / 800 = 600, so the aspect tier takes 480x800 unscaled.
        {600, 1000, 480, 800, false, 480, 800, 60, 100, "same aspect, found before fitting"},
        // 700 x 1000: 320x480 -> 666 x 1000 (margin 1000*34 = 34000); 360x640 -> 562 x 1000 (138000);
        // 480x800 -> 600 x 1000 (100000).
        {700, 1000, 320, 480, true, 666, 1000, 17, 0, "smallest margin after scaling"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        const TBestResolution r = g.FindBestSupportedResolutionForScreenSize(c.sw, c.sh);
        EXPECT_EQ(r.width, c.w);
        EXPECT_EQ(r.height, c.h);
        EXPECT_EQ(r.screenWidth, c.sw);
        EXPECT_EQ(r.screenHeight, c.sh);
        EXPECT_EQ(r.fitted, c.fitted);
        EXPECT_EQ(r.fittedWidth, c.fw);
        EXPECT_EQ(r.fittedHeight, c.fh);
        EXPECT_EQ(r.offsetX, c.ox);
        EXPECT_EQ(r.offsetY, c.oy);
    }
}

TEST(GameBaseResolutions, InGameSizeFromTheScreen) {
    struct TCase {
        int sw, sh, orientation;
        bool preset;
        int gw, gh;
        bool doubleRes;
        const char* why;
    };
    const TCase cases[] = {
        {720, 1280, 0, false, 320, 568, true, "portrait HD: 1280 x 320 / 720 = 568, short side 720"},
        {320, 480, 0, false, 320, 480, false, "small portrait screen"},
        {1280, 720, 1, false, 480, 270, true, "landscape: 720 x 480 / 1280 = 270"},
        {1280, 720, 1, true, 480, 270, false, "landscape with a preset leaves the switch alone"},
        {1280, 720, 0, true, 320, 568, true, "the preset only matters in landscape"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CTestGame g;
        g.m_Screen.m_nOrientationMode = c.orientation;
        if (c.preset) {
            g.m_bResolutionPresetFlag = true;
            g.m_nResolutionPresetValue = 5;
        }
        int gw = 0;
        int gh = 0;
        EXPECT_TRUE(g.SelectAndroidInGameResolution(c.sw, c.sh, gw, gh));
        EXPECT_EQ(gw, c.gw);
        EXPECT_EQ(gh, c.gh);
        EXPECT_EQ(g.m_RenderSwitches.m_bDoubleResolution, c.doubleRes);
    }
    CTestGame g;
    int gw = 0;
    int gh = 0;
    EXPECT_TRUE(g.SelectAndroidInGameResolution(0, 0, gw, gh)) << "no division by a zero side";
}

TEST(GameBaseResolutions, CurrentIdIsComputedOnceFromTheBackBuffer) {
    struct CIdGame : CTestGame {
        int GetResolutionId(int w, int h) override {
            ++calls;
            return w < 360 ? 18 : 22;
        }
        int calls = 0;
    } g;
    EXPECT_EQ(g.GetCurrentResolutionId(), 0) << "no back buffer yet";
    auto* back = new CWinDibBitmap(nullptr);
    ASSERT_EQ(back->Create(320, 480), 1);
    g.m_Screen.m_pBackBuffer = back;
    EXPECT_EQ(g.GetCurrentResolutionId(), 18);
    EXPECT_EQ(g.GetCurrentResolutionId(), 18);
    EXPECT_EQ(g.calls, 1);
}

std::vector<std::string> g_DeletedTemplates;

void RecordTemplateDeletion(TTemplate* t) { g_DeletedTemplates.push_back(reinterpret_cast<const char*>(t)); }

TEST(GameBaseServices, FlushCachedTemplatesDeletesLastFirst) {
    g_DeletedTemplates.clear();
    static char first[] = "first";
    static char second[] = "second";
    {
        CTestGame g;
        for (char* name : {first, second}) {
            auto* entry = new CachedTemplate();
            entry->name = CommonStringRS<247>(name);
            entry->pTemplate = reinterpret_cast<TTemplate*>(name);
            entry->pfnDeleteTemplate = RecordTemplateDeletion;
            ASSERT_EQ(g.m_TemplateCache.Add(entry), 1);
        }
        g.FlushCachedTemplates();
        EXPECT_EQ(g.m_TemplateCache.count, 0);
        EXPECT_EQ(g_DeletedTemplates, (std::vector<std::string>{"second", "first"}));

        auto* again = new CachedTemplate();
        again->pTemplate = reinterpret_cast<TTemplate*>(first);
        again->pfnDeleteTemplate = RecordTemplateDeletion;
        ASSERT_EQ(g.m_TemplateCache.Add(again), 1);
    }
    EXPECT_EQ(g_DeletedTemplates.size(), 3u) << "the destructor flushes the cache";
}

// Player data whose file read answers as configured.
class CFakeAppData : public CBasicApplicationData {
public:
    using CBasicApplicationData::ReadAppData;
    using CBasicApplicationData::WriteAppData;
    int ReadAppData(CGameBase*) override {
        // A failed read may leave half-read values behind.
        m_nEffectsVolume = 3;
        return readResult;
    }
    int WriteAppData(CGameBase*) override {
        ++writes;
        return writeResult;
    }
    int readResult = 1;
    int writeResult = 0;
    int writes = 0;
};

class CDataGame : public CTestGame {
public:
    bool CreateApplicationData() override {
        ++creates;
        if (!canCreate) return false;
        auto* data = new CFakeAppData();
        data->readResult = readResult;
        m_pAppData = data;
        return true;
    }
    bool canCreate = true;
    int readResult = 1;
    int creates = 0;
};

TEST(GameBaseAppData, StartUpLoadTakesDefaultsWhenTheFileIsUnreadable) {
    CDataGame bad;
    bad.readResult = 0;
    EXPECT_TRUE(bad.LoadOrCreateDefaultAppData());
    EXPECT_TRUE(bad.m_bAppDataCreatedFresh);
    EXPECT_EQ(bad.GetVolume(), 50) << "defaults again after the failed read";

    CDataGame good;
    good.m_bAppDataCreatedFresh = true;
    EXPECT_TRUE(good.LoadOrCreateDefaultAppData());
    EXPECT_FALSE(good.m_bAppDataCreatedFresh);
    EXPECT_EQ(good.GetVolume(), 3) << "what the read produced";
    EXPECT_TRUE(good.LoadOrCreateDefaultAppData());
    EXPECT_EQ(good.creates, 1) << "existing data is reused";

    CDataGame none;
    none.canCreate = false;
    EXPECT_FALSE(none.LoadOrCreateDefaultAppData());
    EXPECT_EQ(none.SaveAppData(), 0);
    EXPECT_FALSE(none.IsSoundOn());
    EXPECT_FALSE(none.IsMusicOn());

    auto* data = static_cast<CFakeAppData*>(good.m_pAppData);
    EXPECT_EQ(good.SaveAppData(), 0) << "a failed write is reported";
    data->writeResult = 1;
    EXPECT_EQ(good.SaveAppData(), 1);
    EXPECT_EQ(data->writes, 2);
}

class CVolumeSound : public CStubSoundSystem {
public:
    void SetVolume(int v) override { volume = v; }
    void SetMusicVolume(int v) override { music = v; }
    int volume = -1;
    int music = -1;
};

TEST(GameBaseAppData, SoundSettingsReadAndWriteThePlayerData) {
    struct TCase {
        bool sound, music, silence, muted;
        bool soundOn, musicOn;
    };
    const TCase cases[] = {
        {true, true, false, false, true, true},   {false, true, false, false, false, true},
        {true, false, false, false, true, false}, {true, true, true, false, false, false},
        {true, true, false, true, false, false},
    };
    for (const TCase& c : cases) {
        CDataGame g;
        ASSERT_TRUE(g.LoadOrCreateDefaultAppData());
        g.m_pAppData->m_bSoundOn = c.sound;
        g.m_pAppData->m_bMusicOn = c.music;
        g.m_pAppData->m_bSilence = c.silence;
        g.m_bMuted = c.muted;
        EXPECT_EQ(g.IsSoundOn(), c.soundOn);
        EXPECT_EQ(g.IsMusicOn(), c.musicOn);
    }

    CDataGame g;
    ASSERT_TRUE(g.LoadOrCreateDefaultAppData());
    g.SetVolume(70);
    g.SetMusicVolume(20);
    EXPECT_EQ(g.GetVolume(), 70);
    EXPECT_EQ(g.GetMusicVolume(), 20);
    auto* sound = new CVolumeSound();
    g.m_pSoundSystem = sound;
    g.SetVolume(80);
    g.SetMusicVolume(10);
    EXPECT_EQ(sound->volume, 80);
    EXPECT_EQ(sound->music, 10);
    EXPECT_EQ(g.GetVolume(), 80);
}

}  // namespace
