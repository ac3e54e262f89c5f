// The start-up loader on the real game object with the resource pak the build made: the order of
// its loading steps (each step's effect observed as it happens), the intro's timings with and
// without a tap, the 50 ms budget of a frame under the virtual clock, the start menu at the end,
// and a failing step that is told once and ends the game.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "audio/SoundManager.h"
#include "game/news/AdsEngine.h"
#include "game/screens/LoaderScreen.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/Clock.h"
#include "platform/Pcm.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/UILayout.h"

namespace {

#ifdef COBBLE_PAK
constexpr const char* kPak = COBBLE_PAK;
#else
constexpr const char* kPak = nullptr;
#endif

// The game on the built pak; a test may put a loader of its own in the loader's place.
class CLoaderGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(kPak); }
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Loader && makeLoader) return makeLoader(this);
        return CTheGame::NewScreen(kind, a, b);
    }
    std::function<XGameRoot*(CXElement*)> makeLoader;
};

// A loader whose steps cost what the test says, in virtual milliseconds, and note the screen
// update that ran them. Its step total is the test's.
class CTimedLoader : public CXLoaderScreen {
public:
    CTimedLoader(CXElement* parent, int steps, int costMs) : CXLoaderScreen(parent), m_Steps(steps), m_Cost(costMs) {}
    int OnInitElement() override {
        const int ok = CXLoaderScreen::OnInitElement();
        m_nTotalSteps = m_Steps;
        return ok;
    }
    void RunProcess() override {
        ++updates;
        CXLoaderScreen::RunProcess();
    }
    bool ProcessLoadingStep(int step) override {
        ran.emplace_back(updates, step);
        platform::ClockAdvanceUs(static_cast<std::int64_t>(m_Cost) * 1000);
        return true;
    }
    int updates = 0;
    std::vector<std::pair<int, int>> ran;  // (update, step)

private:
    int m_Steps;
    int m_Cost;
};

// The loader's game on the real pak, silent, over a headless GL surface of W x H pixels.
template <int W, int H>
class LoaderGameOn : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPak == nullptr) GTEST_SKIP() << "this build makes no resource pak";
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        for (int& id : g_cs_OGG_LoadedIndexes) id = -1;
    }
    void TearDown() override {
        platform::ClockUse(platform::ClockKind::Real);
        platform::PcmUseBackend(platform::PcmBackendKind::Auto);
    }

    mediatest::CHeadlessGl gl{W, H};
    CScratchSaveFolder saves;
    CLoaderGame game;
};

class LoaderScreen : public LoaderGameOn<32, 32> {
protected:
    // The game's start-up as the program runs it: the default display's logical size with
    // double-resolution images.
    void StartUp() {
        game.m_RenderSwitches.m_bDoubleResolution = true;
        ASSERT_TRUE(game.Init(320, 533));
    }
    CTimedLoader* Timed(int steps, int costMs) {
        game.makeLoader = [=](CXElement* parent) { return new CTimedLoader(parent, steps, costMs); };
        StartUp();
        return dynamic_cast<CTimedLoader*>(game.m_pLoaderScreen);
    }
};

TEST_F(LoaderScreen, StepsCreateTheManagersInTheirOrderThenLoadTheRest) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);  // a sound system, so music and effects load
    StartUp();
    ASSERT_NE(game.m_pSoundSystem, nullptr);
    CXLoaderScreen* loader = game.m_pLoaderScreen;
    ASSERT_NE(loader, nullptr);
    const int uiSets = game.m_pSpriteSetManager->GetNumSpriteSets();
    const int sounds = game.m_pSoundManager->GetNumSoundFX();
    const int effects = game.m_pParticleManager->GetNumParticleSystems();
    const int fonts = game.UILayout()->GetFontCount();
    ASSERT_GE(sounds, 7) << "the manager steps ride on the first six sound steps";
    EXPECT_EQ(loader->m_nTotalSteps, uiSets + sounds + 1 + fonts + effects);
    EXPECT_EQ(loader->m_PercentText, "Loading 0%");

    // Which managers exist after each of the first seven steps.
    auto managers = [&] {
        return std::vector<bool>{game.m_pAwardManager != nullptr,     game.m_pAchievementsManager != nullptr,
                                 game.m_pUpgradeManager != nullptr,   game.m_pFarmManager != nullptr,
                                 game.m_pPurchaseManager != nullptr,  game.m_pArenaManager != nullptr,
                                 game.m_pMiniQuestManager != nullptr, game.m_pNewsManager != nullptr,
                                 game.m_pAdsEngine != nullptr};
    };
    const std::vector<std::vector<bool>> after = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0},  // step 0: the music
        {1, 0, 0, 0, 0, 0, 0, 0, 0},  // the award manager
        {1, 1, 1, 0, 0, 0, 0, 0, 0},  // achievements and boosts
        {1, 1, 1, 1, 1, 0, 0, 0, 0},  // farm and purchases
        {1, 1, 1, 1, 1, 1, 1, 0, 0},  // arenas and mini-quests
        {1, 1, 1, 1, 1, 1, 1, 1, 0},  // news
        {1, 1, 1, 1, 1, 1, 1, 1, 1},  // local ads
    };
    EXPECT_EQ(managers(), std::vector<bool>(9, false)) << "nothing is created before the loading";
    for (int step = 0; step < 7; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_TRUE(loader->ProcessLoadingStep(step)) << loader->LastFailure().GetDataConst();
        EXPECT_EQ(managers(), after[step]);
        if (step == 0) {
            for (int id : g_cs_OGG_LoadedIndexes) EXPECT_GE(id, 0) << "every music track is a stream";
        }
        if (step == 1) {
            // The other description files were read; the total counts what they declared.
            const int allSets = game.m_pSpriteSetManager->GetNumSpriteSets();
            EXPECT_GE(allSets, uiSets);
            EXPECT_EQ(loader->m_nTotalSteps, allSets + sounds + 1 + fonts + effects) << "recounted";
        }
        if (step >= 1) {
            EXPECT_EQ(game.m_pSoundManager->GetSoundFX(step - 1)->refCount, 1);
        }
    }
    EXPECT_FALSE(game.m_pAdsEngine->IsAdVisible());

    const int sets = game.m_pSpriteSetManager->GetNumSpriteSets();
    for (int step = 7; step < loader->m_nTotalSteps; ++step)
        ASSERT_TRUE(loader->ProcessLoadingStep(step))
            << "step " << step << ": " << loader->LastFailure().GetDataConst();
    for (int i = 0; i < sounds; ++i) EXPECT_GE(game.m_pSoundManager->GetSoundFX(i)->soundId, 0) << "effect " << i;
    int uiLoaded = 0;
    for (int i = 0; i < sets; ++i) {
        const CSpriteSet* set = game.m_pSpriteSetManager->GetSpriteSetAt(i);
        const bool ui = set->m_GroupName == "ui";
        uiLoaded += ui ? 1 : 0;
        EXPECT_EQ(set->IsLoaded(), ui) << set->m_Name.GetDataConst() << " of group " << set->m_GroupName.GetDataConst();
    }
    EXPECT_GT(uiLoaded, 0);
    for (int i = 0; i < effects; ++i)
        EXPECT_NE(game.m_pParticleManager->GetParticleSystemAt(i)->GetSpriteSet(), nullptr) << "effect " << i;
    for (int i = 0; i < fonts; ++i) EXPECT_NE(game.UILayout()->GetFontAt(i)->font, nullptr) << "font " << i;
    for (CBitmapFontText* font : game.m_Fonts) EXPECT_NE(font, nullptr) << "the last step cached the named fonts";
    // The groups of the two halves of the game are the group loader's to load.
    EXPECT_EQ(game.m_FarmObjectCache.count, 0);
    EXPECT_FALSE(game.m_bGameplayGroupLoaded);
    EXPECT_FALSE(game.m_bFarmGroupLoaded);
}

TEST_F(LoaderScreen, FramesRunToOneHundredPercentAndOpenTheStartMenu) {
    StartUp();
    CXLoaderScreen* loader = game.m_pLoaderScreen;
    ASSERT_NE(loader, nullptr);
    const int textX = loader->m_nTextX;
    bool sawSixty = false;
    int frames = 0;
    // Bounded: a step that failed would be retried for ever.
    while (game.m_pStartMenu == nullptr && frames < 2000 && !game.IsFinished()) {
        game.RunProcess();
        game.Draw();
        if (game.m_pLoaderScreen != nullptr) {
            sawSixty = sawSixty || game.m_nFrameRate == 60;
            EXPECT_EQ(game.m_pLoaderScreen->m_nTextX, textX) << "the text grows from the same left edge";
        }
        ++frames;
    }
    EXPECT_FALSE(game.IsFinished()) << loader->LastFailure().GetDataConst();
    ASSERT_NE(game.m_pStartMenu, nullptr) << "no start menu after " << frames << " frames";
    EXPECT_EQ(game.m_pLoaderScreen, nullptr) << "the loader went with the switch";
    EXPECT_TRUE(sawSixty) << "the loading runs at 60 frames a second";
    EXPECT_EQ(game.m_nFrameRate, 30) << "and the menu at 30 again";
    for (CBitmapFontText* font : game.m_Fonts) EXPECT_NE(font, nullptr);
}

struct TIntroCase {
    int tapBeforeUpdate;  // 0: no tap
    int stepZeroUpdate;
    const char* why;
};

TEST_F(LoaderScreen, IntroTimingsAndTheTapThatDoublesThem) {
    // Without a tap the intro tick equals the update: the sweep starts at tick 10 and moves 3 of
    // 256 a tick, so it ends in update 9 + ceil(257 / 3) = 95; the fade gains 10.0 of 255.0 a tick
    // from that same update, so it is full 25 updates later, in update 120, where step 0 runs.
    // A tap from the first update on runs two ticks an update from update 2: tick 120 falls in
    // update 61.
    const TIntroCase cases[] = {
        {0, 120, "no tap"},
        {1, 61, "a tap before the intro"},
        {121, 120, "a tap during the loading changes nothing"},
    };
    for (const TIntroCase& c : cases) {
        SCOPED_TRACE(c.why);
        CLoaderGame fresh;
        fresh.makeLoader = [](CXElement* parent) { return new CTimedLoader(parent, 4, 0); };
        fresh.m_RenderSwitches.m_bDoubleResolution = true;
        ASSERT_TRUE(fresh.Init(320, 533));
        auto* loader = dynamic_cast<CTimedLoader*>(fresh.m_pLoaderScreen);
        ASSERT_NE(loader, nullptr);
        int sweepStart = 0, introEnd = 0, fadeFull = 0;
        for (int update = 1; update <= 130; ++update) {
            if (update == c.tapBeforeUpdate) (void)loader->NotifyPointerEvent(5, 5, XPOINTER_PRESS);
            loader->RunProcess();
            if (sweepStart == 0 && loader->m_bSweepRunning) sweepStart = update;
            if (introEnd == 0 && !loader->m_bIntroRunning) introEnd = update;
            if (fadeFull == 0 && loader->m_nTextFade == 65280) fadeFull = update;
            if (!loader->m_bIntroRunning && loader->m_nTextFade < 65280 && loader->m_nCurrentStep == 0) {
                EXPECT_EQ(loader->m_PercentText, "Loading 0%") << "the text fades in at 0 percent";
            }
        }
        ASSERT_FALSE(loader->ran.empty());
        EXPECT_EQ(loader->ran.front(), std::make_pair(c.stepZeroUpdate, 0));
        EXPECT_EQ(fadeFull, c.stepZeroUpdate);
        if (c.tapBeforeUpdate == 0 || c.tapBeforeUpdate > 120) {
            EXPECT_EQ(sweepStart, 10);
            EXPECT_EQ(introEnd, 95);
        }
    }
}

TEST_F(LoaderScreen, OnceLoadingRunsATapStillDoublesTheUpdateButNeverTheLoading) {
    platform::ClockUse(platform::ClockKind::Virtual);
    CTimedLoader* loader = Timed(40, 20);
    ASSERT_NE(loader, nullptr);
    while (loader->ran.empty() && loader->updates < 200) loader->RunProcess();
    ASSERT_EQ(loader->ran.size(), 1u) << "step 0 ran alone in its frame";
    const auto frame = [&] {
        const int tick = loader->m_nIntroTick;
        const size_t steps = loader->ran.size();
        loader->RunProcess();
        return std::make_pair(loader->m_nIntroTick - tick, static_cast<int>(loader->ran.size() - steps));
    };
    // (intro ticks, loading steps) of one frame: 20 ms steps fill 60 ms with 3. The intro tick
    // runs with the base update, so two ticks are the doubled second update.
    EXPECT_EQ(frame(), std::make_pair(1, 3)) << "no tap yet";
    (void)loader->NotifyPointerEvent(5, 5, XPOINTER_PRESS);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame(), std::make_pair(2, 3)) << "tapped, frame " << i;
}

struct TBudgetCase {
    int costMs;
    std::vector<int> stepsPerFrame;  // of the frames that load
    const char* why;
};

TEST_F(LoaderScreen, StepsOfAFrameStopOnceFiftyMillisecondsHavePassed) {
    platform::ClockUse(platform::ClockKind::Virtual);
    const TBudgetCase cases[] = {
        {20, {1, 3, 3, 3}, "20 ms steps: 20, 40, 60 > 50 after the third"},
        {60, {1, 1, 1, 1}, "a slow step runs whole and alone"},
        {25, {1, 3, 3, 3}, "exactly 50 ms is not above the budget"},
        {0, {1, 9}, "free steps: step 0 alone, then everything"},
    };
    for (const TBudgetCase& c : cases) {
        SCOPED_TRACE(c.why);
        CLoaderGame fresh;
        fresh.makeLoader = [&](CXElement* parent) { return new CTimedLoader(parent, 10, c.costMs); };
        fresh.m_RenderSwitches.m_bDoubleResolution = true;
        ASSERT_TRUE(fresh.Init(320, 533));
        auto* loader = dynamic_cast<CTimedLoader*>(fresh.m_pLoaderScreen);
        ASSERT_NE(loader, nullptr);
        (void)loader->NotifyPointerEvent(1, 1, XPOINTER_PRESS);  // a shorter intro; the loading is the same
        std::vector<int> perFrame;
        for (int update = 0; update < 200 && perFrame.size() < c.stepsPerFrame.size(); ++update) {
            const size_t before = loader->ran.size();
            loader->RunProcess();
            if (loader->ran.size() > before) perFrame.push_back(static_cast<int>(loader->ran.size() - before));
        }
        EXPECT_EQ(perFrame, c.stepsPerFrame);
        for (size_t i = 0; i < loader->ran.size(); ++i) EXPECT_EQ(loader->ran[i].second, static_cast<int>(i));
    }
}

TEST_F(LoaderScreen, TheLastStepPostsTheStartMenuEveryFrameUntilItOpens) {
    CTimedLoader* loader = Timed(2, 0);
    ASSERT_NE(loader, nullptr);
    (void)loader->NotifyPointerEvent(1, 1, XPOINTER_PRESS);
    while (loader->m_nCurrentStep < 2 && loader->updates < 200) loader->RunProcess();
    ASSERT_EQ(loader->m_nCurrentStep, 2);
    EXPECT_EQ(loader->m_nPercent, 100);
    EXPECT_EQ(loader->m_PercentText, "Loading 100%");
    loader->RunProcess();
    EXPECT_EQ(loader->GetSavedMessage().code, MSG_RUN_START_MENU) << "1001, parked while the curtain falls";
    EXPECT_TRUE(loader->IsEffectOut());
}

TEST_F(LoaderScreen, AFailingStepIsToldOnceWithWhatItMissedAndEndsTheGame) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    StartUp();
    CXLoaderScreen* loader = game.m_pLoaderScreen;
    ASSERT_NE(loader, nullptr);
    // An effect whose file the pak does not have, at the end of the table.
    SoundFXData* missing = game.m_pSoundManager->AddSoundFX(CommonString("SFX_Missing"));
    ASSERT_NE(missing, nullptr);
    missing->file = CommonString("no_such_sound.wav");
    loader->CalcTotalFrames();
    const int failing = game.m_pSoundManager->GetNumSoundFX();  // the step of the last effect
    for (int step = 0; step < failing; ++step) ASSERT_TRUE(loader->ProcessLoadingStep(step));
    loader->m_nCurrentStep = failing;
    loader->m_bIntroRunning = false;
    loader->m_nTextFade = 65280;
    loader->m_nIntroTick = 200;

    testing::internal::CaptureStderr();
    loader->RunProcess();
    loader->RunProcess();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("loading step " + std::to_string(failing)), std::string::npos) << told;
    EXPECT_NE(told.find("no_such_sound.wav"), std::string::npos) << told;
    EXPECT_EQ(told.find("failed"), told.rfind("failed")) << "the retry is not told again: " << told;
    EXPECT_EQ(loader->m_nCurrentStep, failing) << "the failed step is not counted";
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(game.GetFinishCode(), kFinishGameEnds);
}

// Where the percent text stands: across, centred for its half width at the text of 0 percent;
// down, at 20 pixels above the bottom, 0.3 of the font's height tall. Read from the frame on a
// 320 x 480 screen, once the intro has ended and the text has faded in.
class LoaderScreenPicture : public LoaderGameOn<320, 480> {};

TEST_F(LoaderScreenPicture, ThePercentTextStandsCentredAtTheBottom) {
    // Many slow steps: the text stays at 0 percent while it is read.
    game.makeLoader = [](CXElement* parent) { return new CTimedLoader(parent, 1000, 60); };
    ASSERT_TRUE(game.Init(320, 480));
    auto* loader = dynamic_cast<CTimedLoader*>(game.m_pLoaderScreen);
    ASSERT_NE(loader, nullptr);
    for (int update = 1; update <= 120; ++update) loader->RunProcess();  // step 0 runs in the 120th
    ASSERT_FALSE(loader->m_bIntroRunning);
    ASSERT_EQ(loader->m_nTextFade, 65280);
    ASSERT_EQ(loader->m_PercentText, "Loading 0%");
    CBitmapFontText* font = game.m_Fonts[kGameFontButton];
    ASSERT_NE(font, nullptr);
    const int length = font->Length2("Loading 0%");
    const int left = (320 - length / 2) / 2;
    game.DoDrawCycle();
    const mediatest::TImage frame = gl.Read();
    const auto white = [](const std::array<std::uint8_t, 4>& p) { return p[0] > 160 && p[1] > 160 && p[2] > 160; };
    // The text's ink in the bottom 60 lines (the stars of the sweep have faded by now).
    const mediatest::TBox box = mediatest::FindBoxIn(frame, 0, 319, white, 420, 479);
    ASSERT_FALSE(box.Empty());
    EXPECT_NEAR(box.left, left, 3) << "the text starts at (320 - " << length << " / 2) / 2";
    EXPECT_NEAR(box.right + 1, left + length / 2, 4) << "half its width";
    EXPECT_GE(box.top, 480 - 20 - 1) << "its top 20 lines above the bottom";
    EXPECT_LE(box.top, 480 - 20 + 3);
    EXPECT_LE(box.bottom, 480 - 20 + font->GetCharHeight() * 3 / 10 + 1) << "0.3 of the font's height";
}

}  // namespace
