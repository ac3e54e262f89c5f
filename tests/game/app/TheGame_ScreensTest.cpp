// Screen switching on the real game object with screens built from a test template: the curtain's
// ticks, the deferral and dropping of switch messages, the group rules at the end of the curtain
// with a stub group loader, the input gate, the game messages and the screen runners.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RootOnlyScreens.h"
#include "audio/SoundManager.h"
#include "core/LocManager2.h"
#include "game/farm/FarmObject.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameRoot.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/LoaderScreen.h"
#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/StubSoundSystem.h"
#include "testsupport/TestTheGame.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/GameProgress.h"
#include "ui/GameStretchImage.h"
#include "ui/Image.h"
#include "ui/TemplateCache.h"

namespace {

using mediatest::ToBytes;

// Every screen's root, a modal dialog an action opens and one that is not modal.
constexpr const char* kTemplate =
    "root = root_START_MENU\nend\n"
    "root = root_play\nend\n"
    "root = root_about\nend\n"
    "root = root_ach\nend\n"
    "root = root_leaders\nend\n"
    "root = root_quests\nend\n"
    "root = root_upgrades\nend\n"
    "root = root_buy\nend\n"
    "root = root_yard\nend\n"
    "root = root_GAMEPLAY_NoAds\nend\n"
    "root = root_tutorial_NoAds\nend\n"
    "root = root_screen_loader\nend\n"
    "dialog = dlg_modal\nend\n"
    "action = acn_open_modal\n create = dlg_modal\nend\n";

std::vector<std::string> g_Log;

// A farm object for the cache: only its id matters here.
class CCachedObject : public CFarmObject {
public:
    using CFarmObject::CFarmObject;
    void Draw(int) override {}
};

// A play screen that logs its own updates and the touches it is given.
class CLoggedPlay : public CRootOnlyPlay {
public:
    using CRootOnlyPlay::CRootOnlyPlay;
    void RunProcess() override {
        g_Log.push_back("play update");
        CRootOnlyPlay::RunProcess();
    }
    int NotifyPointerEvent(int x, int y, int type) override {
        g_Log.push_back("play touch");
        return CRootOnlyPlay::NotifyPointerEvent(x, y, type);
    }
};

// The round's stand-in: logs what the game asks of it.
class CLoggedRound : public CRootOnlyRound {
public:
    using CRootOnlyRound::CRootOnlyRound;
    void OnNewGame() override { g_Log.push_back("new round"); }
    void Pause() override { g_Log.push_back("pause"); }
};

// A group loader that loads nothing and only keeps what it is given; its root needs no widgets.
class CStubGroupLoader : public CXGroupSetLoader {
public:
    using CXGroupSetLoader::CXGroupSetLoader;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_screen_loader"); }
    void SetCaptionText(const char* text) override { g_Log.push_back(std::string("caption ") + text); }
    void SetGroupName(const char* name) override { g_Log.push_back(std::string("group ") + name); }
    void RunProcess() override {}
};

// A start-up loader without its images, fonts and effects: only its opening matters here.
class CBareLoader : public CXLoaderScreen {
public:
    using CXLoaderScreen::CXLoaderScreen;
    int OnInitElement() override { return 1; }
};

// A start menu that notes, when it goes, whether the template it was built from was still cached.
class CCheckedStartMenu : public CRootOnlyStartMenu {
public:
    using CRootOnlyStartMenu::CRootOnlyStartMenu;
    ~CCheckedStartMenu() override {
        bool cached = false;
        const auto& cache = GetGamePtr()->TemplateCache();
        for (int i = 0; i < cache.count; ++i) cached = cached || cache.data[i]->pTemplate == GetTemplate();
        g_Log.push_back(cached ? "menu gone, template cached" : "menu gone, template flushed");
    }
};

// The credits with the live post-effect turned on, as a screen's constructor turns it on.
class CSunAbout : public CRootOnlyAbout {
public:
    explicit CSunAbout(CXElement* parent) : CRootOnlyAbout(parent) { m_bLivePostEffect = true; }
};

class CScreensGame : public CTestTheGame {
public:
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::About && sunOnAbout) return new CSunAbout(this);
        switch (kind) {
            case EScreen::Play:
                return new CLoggedPlay(this);
            case EScreen::Gameplay:
                return new CLoggedRound(this);
            case EScreen::Tutorial:
                return new CRootOnlyTutorial(this);
            case EScreen::GroupLoader:
                return groupLoaderFails ? nullptr : new CStubGroupLoader(this);
            case EScreen::StartMenu:
                return new CCheckedStartMenu(this);
            case EScreen::About:
                return new CRootOnlyAbout(this);
            case EScreen::Upgrades:
                return new CRootOnlyUpgrades(this);
            case EScreen::Achievements:
                return new CRootOnlyAch(this);
            case EScreen::Leaderboards:
                return new CRootOnlyLeaders(this, a);
            case EScreen::Farm:
                return new CRootOnlyYard(this);
            case EScreen::FarmShop:
                return new CRootOnlyFarmShop(this);
            case EScreen::Quests:
                return new CRootOnlyQuests(this, a, b);
            case EScreen::Loader:
                return new CBareLoader(this);
            default:
                return CTheGame::NewScreen(kind, a, b);
        }
    }
    bool groupLoaderFails = false;
    bool sunOnAbout = false;
};

// The screens draw on a software back buffer of kScreenW x kScreenH; only the suite that reads GL
// pixels needs EGL.
constexpr int kScreenW = 320, kScreenH = 480;

class TheGameScreens : public ::testing::Test {
protected:
    void SetUp() override {
        g_Log.clear();
        mediatest::SetCommonPak(game, dir.Path("ui.pak"),
                                {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)},
                                 {"Lang\\texts.csv", ToBytes("Key,enUS,deDE\n,English,Deutsch\n")}});
        auto* screen = new CWinDibBitmap(&game);
        ASSERT_EQ(screen->Create(kScreenW, kScreenH), 1);
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = screen;
        game.SetGameSize(kScreenW, kScreenH);
    }
    // Frames of the game's own update.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) game.RunProcess();
    }
    // Opens the play screen and lets its curtain rise.
    void SettledPlayScreen() {
        ASSERT_TRUE(game.RunPlayScreen());
        Ticks(16);
        ASSERT_FALSE(game.m_pPlayScreen->IsTransitionRunning());
        g_Log.clear();
    }

    // Made only by the suite that reads GL pixels; it outlives the game's GL bitmaps.
    std::unique_ptr<mediatest::CHeadlessGl> gl;
    CScratchDir dir;
    CScreensGame game;
};

// The same game on a headless OpenGL ES screen, for what only GL pixels show.
class TheGameScreensGl : public TheGameScreens {
protected:
    void SetUp() override {
        gl = std::make_unique<mediatest::CHeadlessGl>(kScreenW, kScreenH);
        if (!gl->IsValid()) GTEST_SKIP() << "no headless EGL context";
        TheGameScreens::SetUp();
        SafeDelete(game.m_Screen.m_pBackBuffer);
        game.m_Screen.m_pDrawTarget = nullptr;
        ASSERT_NE(MakeGlTestScreen(&game, kScreenW, kScreenH), nullptr);
    }
};

TEST_F(TheGameScreens, ANewScreenRisesInSixteenTicksBeforeItsOwnUpdateRuns) {
    ASSERT_TRUE(game.RunPlayScreen());
    XGameRoot* play = game.m_pPlayScreen;
    EXPECT_EQ(game.GetActiveObjectPtr(), play);
    for (int tick = 1; tick <= 16; ++tick) {
        ASSERT_TRUE(play->IsEffectIn()) << tick;
        game.RunProcess();
        EXPECT_EQ(play->GetEffectProgress(), 16 * tick);
    }
    EXPECT_FALSE(play->IsEffectIn());
    EXPECT_TRUE(g_Log.empty()) << "the screen's own update waits for its curtain";
    game.RunProcess();
    EXPECT_EQ(g_Log, std::vector<std::string>{"play update"});
}

TEST_F(TheGameScreens, ADeferredSwitchFallsForSixteenTicksAndArrivesOnTheSeventeenth) {
    SettledPlayScreen();
    XGameRoot* play = game.m_pPlayScreen;
    EXPECT_EQ(game.SendMessage(nullptr, MSG_RUN_ABOUT, 0, 0, true), 1);
    EXPECT_EQ(play->GetSavedMessage().code, MSG_RUN_ABOUT) << "parked in the topmost screen root";
    const int expected[16] = {16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255};
    for (int tick = 0; tick < 16; ++tick) {
        game.RunProcess();
        ASSERT_EQ(game.m_pPlayScreen, play);
        EXPECT_EQ(play->GetEffectProgress(), expected[tick]) << tick;
        EXPECT_TRUE(play->IsEffectOut());
    }
    // The delivery tick deletes the screen that held the message; nothing of it is used after.
    game.RunProcess();
    EXPECT_EQ(game.m_pPlayScreen, nullptr);
    ASSERT_NE(game.m_pAboutScreen, nullptr);
    EXPECT_EQ(game.GetChildCount(), 1);
    EXPECT_TRUE(game.m_pAboutScreen->IsEffectIn());
    EXPECT_EQ(game.m_pAboutScreen->GetEffectProgress(), 0) << "its curtain starts rising next frame";
    EXPECT_TRUE(g_Log.empty()) << "the old screen never ran while its curtain fell";
}

TEST_F(TheGameScreens, SwitchesAskedForDuringACurtainAreDropped) {
    ASSERT_TRUE(game.RunPlayScreen());
    // While the curtain rises.
    EXPECT_EQ(game.SendMessage(nullptr, MSG_RUN_ABOUT, 0, 0, true), 1);
    EXPECT_EQ(game.m_pPlayScreen->GetSavedMessage().code, 0);
    Ticks(16);
    // While it falls, the first switch stands.
    ASSERT_EQ(game.SendMessage(nullptr, MSG_RUN_ACHIEVEMENTS, 0, 0, true), 1);
    Ticks(3);
    EXPECT_EQ(game.SendMessage(nullptr, MSG_RUN_ABOUT, 0, 0, true), 1);
    EXPECT_EQ(game.m_pPlayScreen->GetSavedMessage().code, MSG_RUN_ACHIEVEMENTS);
    Ticks(14);
    EXPECT_NE(game.m_pAchScreen, nullptr);
    EXPECT_EQ(game.m_pAboutScreen, nullptr);
}

TEST_F(TheGameScreens, TouchesDuringACurtainReachNoScreen) {
    ASSERT_TRUE(game.RunPlayScreen());
    EXPECT_EQ(game.NotifyPointerEvent(100, 100, XPOINTER_PRESS), 1);
    EXPECT_EQ(game.NotifyMultiTouchPointerEvent(100, 100, XPOINTER_PRESS, 1), 1);
    EXPECT_TRUE(g_Log.empty()) << "the rising curtain takes the touch";
    Ticks(16);
    (void)game.NotifyPointerEvent(100, 100, XPOINTER_PRESS);
    EXPECT_EQ(g_Log, std::vector<std::string>{"play touch"});
}

TEST_F(TheGameScreens, WithoutAScreenRootADeferredMessageIsSentAtOnce) {
    EXPECT_EQ(game.GetChildCount(), 0);
    EXPECT_EQ(game.SendMessage(&game, MSG_RUN_ABOUT, 0, 0, true), 1);
    EXPECT_NE(game.m_pAboutScreen, nullptr);
}

// The end of the curtain for the messages that need a sprite-set group.
struct TGroupCase {
    int code;
    bool gameplayLoaded, farmLoaded;
    const char* cachedYard;
    std::vector<std::string> log;  // what the delivery did
    const char* why;
};

TEST_F(TheGameScreens, GroupRulesAtTheEndOfTheCurtain) {
    const std::vector<std::string> gameLoader = {"caption Loading Game", "group gameplay"};
    const std::vector<std::string> farmLoader = {"caption Loading Farm", "group farm"};
    const TGroupCase cases[] = {
        {MSG_RUN_NEW_GAME, false, true, "yard1", gameLoader, "a round without its sets loads them first"},
        {MSG_RUN_NEW_GAME, true, true, "yard1", {"new round"}, "a round with its sets opens at once"},
        {MSG_RUN_TUTORIAL, false, false, "", gameLoader, "the tutorial is a round"},
        {MSG_RESUME_ARENA, false, false, "", gameLoader, "so is a resumed round"},
        {MSG_RUN_FARM, true, true, "yard1", {}, "the farm with its sets for this yard opens at once"},
        {MSG_RUN_FARM, false, true, "yard2", farmLoader, "another yard's objects: the loader runs"},
        {MSG_RUN_FARM, false, false, "yard1", farmLoader, "the farm without its sets"},
        {MSG_RUN_ABOUT, false, false, "", {}, "other screens need no group"},
    };
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_EQ(game.CreateNewUserProfile(), 0);
    game.GetCurrentProfile()->m_CurrentYard = CommonString("yard1");
    mediatest::SetCommonPak(
        game, dir.Path("groups.pak"),
        {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)},
         {"ui\\ui_sprites.txt",
          ToBytes(
              "set = Barn\n file = \"sprites\\Barn\"\n group = farm\nend\nset = Marble\n file = \"sprites\\Marble\"\n "
              "group = gameplay\nend\n")},
         {"ui\\ui_sprites2.txt", ToBytes("// none\n")},
         {"i_vga\\sprites\\Barn.png", mediatest::EncodePng(mediatest::MakeImage(2, 2, {9, 9, 9, 255}))},
         {"i_vga\\sprites\\Marble.png", mediatest::EncodePng(mediatest::MakeImage(2, 2, {9, 9, 9, 255}))}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    CSpriteSet* barn = game.m_pSpriteSetManager->GetSpriteSetNamed("Barn");
    CSpriteSet* marble = game.m_pSpriteSetManager->GetSpriteSetNamed("Marble");
    for (const TGroupCase& c : cases) {
        SCOPED_TRACE(c.why);
        game.m_bGameplayGroupLoaded = c.gameplayLoaded;
        game.m_bFarmGroupLoaded = c.farmLoaded;
        game.m_CachedYardName = CommonString(c.cachedYard);
        ASSERT_EQ(barn->AddReference(), 1);
        ASSERT_EQ(marble->AddReference(), 1);
        (void)game.m_FarmObjectCache.Add(new CCachedObject(&game, "fence"));
        SettledPlayScreen();
        ASSERT_EQ(game.SendMessage(nullptr, c.code, 0, 0, true), 1);
        Ticks(17);
        EXPECT_EQ(g_Log, c.log);
        const bool round = c.code == MSG_RUN_NEW_GAME || c.code == MSG_RUN_TUTORIAL || c.code == MSG_RESUME_ARENA;
        if (round) {
            EXPECT_EQ(barn->GetRefCount(), 0) << "entering a round releases the farm's sets";
            EXPECT_EQ(game.m_FarmObjectCache.count, 0);
            EXPECT_FALSE(game.m_bFarmGroupLoaded);
            EXPECT_EQ(game.m_CachedYardName.Length(), 0);
        }
        if (c.code == MSG_RUN_FARM) {
            EXPECT_EQ(marble->GetRefCount(), 0) << "entering the farm releases the round's sets";
            EXPECT_FALSE(game.m_bGameplayGroupLoaded);
        }
        const bool loader = c.log == gameLoader || c.log == farmLoader;
        if (loader) {
            ASSERT_NE(game.m_pGroupSetLoader, nullptr);
            EXPECT_EQ(game.m_pGroupSetLoader->GetSavedMessage().code, c.code) << "the message waits in the loader";
        }
        // Leave no references behind for the next row.
        while (barn->GetRefCount() > 0) barn->ReleaseReference();
        while (marble->GetRefCount() > 0) marble->ReleaseReference();
        game.ClearFarmObjectCache();
    }
}

TEST_F(TheGameScreens, WhileTheGroupLoaderIsOpenItsMessageIsDeliveredAtOnce) {
    ASSERT_TRUE(game.RunGroupSetLoader());
    Ticks(16);
    ASSERT_EQ(game.SendMessage(nullptr, MSG_RUN_NEW_GAME, 0, 0, true), 1);
    Ticks(17);
    EXPECT_EQ(g_Log, std::vector<std::string>{"new round"}) << "no second loader, whatever the flags say";
    EXPECT_NE(game.m_pGameplayScreen, nullptr);
}

TEST_F(TheGameScreens, AGroupLoaderThatCannotOpenEndsTheGame) {
    game.groupLoaderFails = true;
    SettledPlayScreen();
    ASSERT_EQ(game.SendMessage(nullptr, MSG_RUN_NEW_GAME, 0, 0, true), 1);
    ::testing::internal::CaptureStderr();
    Ticks(17);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(game.GetFinishCode(), kFinishAbort);
    EXPECT_TRUE(game.HasRunFailed()) << "the run did not do what was asked";
    EXPECT_EQ(err,
              "game: the group loader for gameplay: the screen (no root) could not be opened: there is no memory "
              "for it\n");
    EXPECT_EQ(game.GetChildCount(), 0);
}

TEST_F(TheGameScreens, AScreenThatCannotOpenIsToldOnceWithItsRootAndWhyAndTheRunEndsAsFailed) {
    struct TCase {
        const char* why;
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> members;
        const char* told;
    } cases[] = {
        {"no such root",
         {{"ui\\ui_iphone\\ui_main.txt", ToBytes("root = root_about\nend\n")}},
         "game: message 1008: the screen root_play could not be opened: ui_main.txt has no root record root_play\n"},
        {"no template",
         {{"Lang\\texts.csv", ToBytes("Key,enUS\n,English\n")}},
         "game: message 1008: the screen root_play could not be opened: ui_main.txt cannot be read\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CScreensGame failing;
        mediatest::SetCommonPak(failing, dir.Path("failing.pak"), c.members);
        ASSERT_NE(MakeGlTestScreen(&failing, 320, 480), nullptr);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(failing.OnMessage(nullptr, MSG_RUN_PLAY_SCREEN, 0, 0), 1);
        // A second screen that fails on the way out is not told again.
        EXPECT_EQ(failing.OnMessage(nullptr, MSG_RUN_PLAY_SCREEN, 0, 0), 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, c.told);
        EXPECT_EQ(failing.m_pPlayScreen, nullptr);
        EXPECT_EQ(failing.GetChildCount(), 0);
        EXPECT_TRUE(failing.IsFinished()) << "a black screen for ever is no way to end";
        EXPECT_EQ(failing.GetFinishCode(), kFinishGameEnds);
        EXPECT_TRUE(failing.HasRunFailed());
    }
}

TEST_F(TheGameScreens, AScreenThatCannotBeBuiltIsRemovedAndItsSlotEmptied) {
    mediatest::SetCommonPak(game, dir.Path("noabout.pak"),
                            {{"ui\\ui_iphone\\ui_main.txt", ToBytes("root = root_play\nend\n")}});
    ASSERT_TRUE(game.RunPlayScreen());
    EXPECT_FALSE(game.RunAboutScreen()) << "its root record is missing";
    EXPECT_EQ(game.m_pAboutScreen, nullptr);
    EXPECT_EQ(game.m_pPlayScreen, nullptr) << "the screen before was deleted first";
    EXPECT_EQ(game.GetChildCount(), 0);
    EXPECT_EQ(game.GetActiveObjectPtr(), nullptr);
}

TEST_F(TheGameScreens, GameMessagesOpenTheirScreensWithTheirArguments) {
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RUN_LEADERBOARDS, MSG_RUN_PLAY_SCREEN, 0), 1);
    ASSERT_NE(game.m_pLeadersScreen, nullptr);
    EXPECT_EQ(game.m_pLeadersScreen->m_nReturnMessage, MSG_RUN_PLAY_SCREEN);
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RUN_QUESTS, 2, MSG_RUN_FARM), 1);
    EXPECT_EQ(game.m_pLeadersScreen, nullptr);
    ASSERT_NE(game.m_pQuestsScreen, nullptr);
    EXPECT_EQ(game.m_pQuestsScreen->m_nFirstTab, 2);
    EXPECT_EQ(game.m_pQuestsScreen->m_nReturnMessage, MSG_RUN_FARM);
    const struct {
        int code;
        std::function<bool()> open;
    } rows[] = {
        {MSG_RUN_PLAY_SCREEN, [&] { return game.m_pPlayScreen != nullptr; }},
        {MSG_RUN_ABOUT, [&] { return game.m_pAboutScreen != nullptr; }},
        {MSG_RUN_FARM_SHOP, [&] { return game.m_pFarmShopScreen != nullptr; }},
        {MSG_RUN_FARM, [&] { return game.m_pFarmWindow != nullptr; }},
        {MSG_RUN_ACHIEVEMENTS, [&] { return game.m_pAchScreen != nullptr; }},
        {MSG_RUN_UPGRADES, [&] { return game.m_pUpgradesScreen != nullptr; }},
        {MSG_RUN_LOADER, [&] { return game.m_pLoaderScreen != nullptr; }},
        {MSG_RUN_START_MENU, [&] { return game.m_pStartMenu != nullptr; }},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(game.OnMessage(nullptr, row.code, 0, 0), 1) << row.code;
        EXPECT_TRUE(row.open()) << row.code;
        EXPECT_EQ(game.GetChildCount(), 1) << "one screen at a time";
    }
    EXPECT_EQ(game.OnMessage(nullptr, XMSG_CLICK, 0, 0), 1) << "a click reaching the game is taken";
    EXPECT_EQ(game.OnMessage(nullptr, MSG_PURCHASES_CHANGED, 0, 0), 0) << "the engine object's answer";
}

TEST_F(TheGameScreens, ANewRoundStartsAndTheTutorialSharesTheRoundSlot) {
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RUN_NEW_GAME, 0, 0), 1);
    EXPECT_EQ(g_Log, std::vector<std::string>{"new round"});
    EXPECT_EQ(game.m_pTutorialScreen, nullptr);
    game.Pause();
    EXPECT_EQ(g_Log.back(), "pause");
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RUN_TUTORIAL, 0, 0), 1);
    ASSERT_NE(game.m_pGameplayScreen, nullptr);
    EXPECT_EQ(game.m_pTutorialScreen, game.m_pGameplayScreen);
    EXPECT_TRUE(game.m_pGameplayScreen->m_bTutorial);
    game.SafeDeleteChildren();
    EXPECT_EQ(game.m_pTutorialScreen, nullptr);
}

TEST_F(TheGameScreens, AResumeWithoutARecordStartsANewRound) {
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_EQ(game.CreateNewUserProfile(), 0);
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RESUME_ARENA, 0, 0), 1);
    EXPECT_EQ(g_Log, std::vector<std::string>{"new round"});
}

TEST_F(TheGameScreens, ALanguageChangeDeletesTheScreensBeforeFlushingTheirTemplates) {
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_NE(game.InitLocManager2(CommonString("Lang\\texts.csv")), nullptr);
    ASSERT_TRUE(game.RunStartMenu());
    ASSERT_EQ(game.TemplateCache().count, 1);
    EXPECT_EQ(game.OnMessage(nullptr, MSG_LANGUAGE_CHANGED, 0, 1), 1);
    ASSERT_FALSE(g_Log.empty());
    EXPECT_EQ(g_Log.front(), "menu gone, template cached");
    EXPECT_EQ(game.GetAppData()->m_nLanguageIndex, 1);
    EXPECT_EQ(game.m_pLocManager->GetCurrentLanguage(), 1);
    ASSERT_NE(game.m_pStartMenu, nullptr) << "the start menu opens again";
    EXPECT_EQ(game.TemplateCache().count, 1) << "read again for the new language";
}

TEST_F(TheGameScreens, TheStartMenuLooksUpTheCounterIconsEvenWhenItFailsToBuild) {
    mediatest::SetCommonPak(game, dir.Path("menu.pak"),
                            {{"ui\\ui_iphone\\ui_main.txt", ToBytes("root = root_play\nend\n")},
                             {"ui\\ui_sprites.txt", ToBytes("set = HudCoin\n file = \"a\"\nend\nset = HudXP\n file = "
                                                            "\"b\"\nend\n")},
                             {"ui\\ui_sprites2.txt", ToBytes("// none\n")}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    EXPECT_FALSE(game.RunStartMenu());
    EXPECT_EQ(game.m_pHudCoinSet, game.m_pSpriteSetManager->GetSpriteSetNamed("HudCoin"));
    EXPECT_EQ(game.m_pHudXPSet, game.m_pSpriteSetManager->GetSpriteSetNamed("HudXP"));
    EXPECT_EQ(game.m_pStartMenu, nullptr);
}

// The colour a row of the curtain leaves: each channel moves toward black by the alpha,
// c + (a x (0 - c) >> 8) with an arithmetic shift.
std::uint16_t Darkened(std::uint16_t p, int a) {
    auto ch = [a](int c) {
        const int d = -a * c;
        return c + (d >= 0 ? d / 256 : -((-d + 255) / 256));
    };
    return static_cast<std::uint16_t>(ch(p >> 11) << 11 | ch((p >> 5) & 63) << 5 | ch(p & 31));
}

// Bright, and different in every column and row, so a darkened pixel shows small alphas.
std::uint16_t Ground(int x, int y) {
    return static_cast<std::uint16_t>((31 - x % 5) << 11 | (63 - (x + y) % 7) << 5 | (31 - y % 3));
}

TEST_F(TheGameScreens, CurtainRowsFallingAndRisingOnASoftwareScreen) {
    ASSERT_TRUE(game.RunAboutScreen());
    XGameRoot* about = game.m_pAboutScreen;
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    auto* bits = reinterpret_cast<std::uint16_t*>(back->GetBits());
    for (bool out : {true, false}) {
        for (int ticks = 0; ticks <= 16; ++ticks) {
            if (out)
                about->StartEffectOut();
            else
                about->StartEffectIn();
            for (int i = 0; i < ticks; ++i) (void)about->RunEffectProgress();
            if (!about->IsTransitionRunning()) continue;  // the rising curtain has gone
            const int p = about->GetEffectProgress();
            for (int y = 0; y < kScreenH; ++y)
                for (int x = 0; x < kScreenW; ++x) bits[y * kScreenW + x] = Ground(x, y);
            about->DrawEffectProgress();
            // Falling: black above a soft edge 200 rows high whose lower end is at p x (H + 200) /
            // 255, opaque at its top. Rising: a soft edge 255 rows high, clear at its top, whose
            // lower end is at p x (H + 255) / 255, with black below.
            const int band = out ? 200 : 255;
            const int bottom = p * (kScreenH + band) / 255, top = bottom - band;
            const int alphaTop = out ? 255 : 0, alphaBottom = 255 - alphaTop;
            int bad = 0;
            for (int y = 0; y < kScreenH; ++y) {
                // A row in the edge takes the ramp's alpha at the row's centre, cut to a whole
                // value toward the alpha of the edge's top.
                const double ramp = alphaTop + (alphaBottom - alphaTop) * (y + 0.5 - top) / band;
                const int alpha = out ? static_cast<int>(std::ceil(ramp)) : static_cast<int>(std::floor(ramp));
                for (int x = 0; x < kScreenW; ++x) {
                    std::uint16_t want = Ground(x, y);
                    if (y < top)
                        want = out ? 0 : want;
                    else if (y >= bottom)
                        want = out ? want : 0;
                    else
                        want = Darkened(want, alpha);
                    if (bits[y * kScreenW + x] != want && ++bad <= 3)
                        ADD_FAILURE() << (out ? "falling" : "rising") << " at progress " << p << ": (" << x << ", " << y
                                      << ") is " << bits[y * kScreenW + x] << ", expected " << want << " (edge " << top
                                      << " to " << bottom << ", alpha " << alpha << ")";
                }
            }
        }
    }
}

TEST_F(TheGameScreens, EachTransitionPlaysItsSoundOnce) {
    ASSERT_TRUE(game.CreateApplicationData());  // sound on
    auto* sound = new CEffectRecordingSoundSystem();
    game.m_pSoundSystem = sound;
    game.m_pSoundManager = new CSoundManager(&game);
    for (const char* name : {"SFX_SCREEN_TRANSITION", "SFX_SCREEN_TRANSITION2"}) {
        SoundFXData* entry = game.m_pSoundManager->AddSoundFX(CommonString(name));
        entry->file = CommonString(name) + CommonString(".wav");
        ASSERT_TRUE(game.m_pSoundManager->AddReference(entry));
    }
    const std::string dir = game.GetSoundsDirectory().GetDataConst();
    const std::string falling = dir + "SFX_SCREEN_TRANSITION.wav", rising = dir + "SFX_SCREEN_TRANSITION2.wav";
    ASSERT_TRUE(game.RunPlayScreen());
    EXPECT_TRUE(sound->played.empty()) << "the rising curtain sounds on its first step";
    Ticks(1);
    EXPECT_EQ(sound->played, std::vector<std::string>{rising});
    Ticks(15);
    EXPECT_EQ(sound->played, std::vector<std::string>{rising}) << "once for the whole rise";
    ASSERT_EQ(game.SendMessage(nullptr, MSG_RUN_ABOUT, 0, 0, true), 1);
    EXPECT_EQ(sound->played, (std::vector<std::string>{rising, falling})) << "the fall sounds as it starts";
    Ticks(17);
    ASSERT_NE(game.m_pAboutScreen, nullptr);
    Ticks(30);
    EXPECT_EQ(sound->played, (std::vector<std::string>{rising, falling, rising})) << "and the next screen rises";
}

// The live post-effect's sun: loaded in true colour whatever the game's switch says, the switch
// left as it was; 64 (a quarter of a degree) a tick, and back to 0 at 360 degrees.
TEST_F(TheGameScreens, TheLivePostEffectLoadsInTrueColourAndTurns) {
    game.m_RenderSwitches.m_bDoubleResolution = true;
    mediatest::SetCommonPak(game, dir.Path("sun.pak"),
                            {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)},
                             {"i_vga\\ui\\startmenu\\menu_sun2.png",
                              mediatest::EncodePng(mediatest::MakeImage(8, 8, {250, 200, 40, 128}))}});
    game.sunOnAbout = true;
    for (bool switchBefore : {false, true}) {
        SCOPED_TRACE(switchBefore ? "true colour on" : "true colour off");
        game.m_RenderSwitches.m_bTrueColorImages = switchBefore;
        ASSERT_TRUE(game.RunAboutScreen());
        XGameRoot* about = game.m_pAboutScreen;
        EXPECT_EQ(game.m_RenderSwitches.m_bTrueColorImages, switchBefore) << "the switch is put back";
        Ticks(16);  // the curtain rises; the screen's own update waits for it
        EXPECT_EQ(about->GetLivePostEffectAngle(), 0);
        int ticks = 0;
        for (int until : {1, 2, 1439, 1440, 1441}) {
            Ticks(until - ticks);
            ticks = until;
            EXPECT_EQ(about->GetLivePostEffectAngle(), 64 * ticks % 92160) << ticks << " ticks";
        }
    }
    // The image itself: 24 bits a pixel, as only the true-colour switch loads it.
    game.m_RenderSwitches.m_bTrueColorImages = false;
    ASSERT_TRUE(game.RunAboutScreen());
    const IDibBitmap* sun = game.m_pAboutScreen->GetLivePostEffectImage();
    ASSERT_NE(sun, nullptr);
    EXPECT_EQ(static_cast<const CWinDibBitmap*>(sun)->GetBytesPerPixel(), 3);
    EXPECT_EQ(sun->m_Width, 8);

    // Without its image the screen cannot be built.
    mediatest::SetCommonPak(game, dir.Path("nosun.pak"), {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)}});
    EXPECT_FALSE(game.RunAboutScreen());
    EXPECT_EQ(game.m_pAboutScreen, nullptr);
}

TEST_F(TheGameScreensGl, CurtainPixelsFallingAndRising) {
    ASSERT_TRUE(game.RunAboutScreen());
    XGameRoot* about = game.m_pAboutScreen;
    // The grey of a row, over a white screen.
    const auto frameAfter = [&](int ticks, bool out) {
        if (out)
            about->StartEffectOut();
        else
            about->StartEffectIn();
        for (int i = 0; i < ticks; ++i) (void)about->RunEffectProgress();
        game.m_Screen.m_pBackBuffer->HWBeginScene();
        game.m_Screen.m_pBackBuffer->FillRectangle(0, 0, 320, 480, 255, 255, 255);
        about->DrawEffectProgress();
        return gl->Read();
    };
    const auto grey = [](const mediatest::TImage& img, int y) { return static_cast<int>(img.At(160, y)[0]); };

    // The grey of row y in a soft edge from top to bottom that is opaque at one end: the white
    // screen shows in proportion to the row centre's distance from the opaque end.
    const auto edgeGrey = [](int y, int top, int bottom, bool opaqueAtTop) {
        const double t = std::clamp((y + 0.5 - top) / (bottom - top), 0.0, 1.0);
        return 255.0 * (opaqueAtTop ? t : 1.0 - t);
    };
    const struct {
        int ticks;
        bool out;
        int top, bottom;  // the soft edge
        const char* why;
    } frames[] = {
        {8, true, 141, 341, "falling at 128: black down to 141, a soft edge to 341"},
        {4, true, -30, 170, "falling at 64: the edge's top still above the screen"},
        {14, true, 397, 597, "falling at 224: the edge's foot below the screen"},
        {8, false, 113, 368, "rising at 128: the screen down to 113, a soft edge to 368, black below"},
        {3, false, -117, 138, "rising at 48: the edge's top above the screen"},
        {14, false, 390, 645, "rising at 224: the edge's foot below the screen"},
    };
    for (const auto& f : frames) {
        const mediatest::TImage img = frameAfter(f.ticks, f.out);
        const int length = f.bottom - f.top;
        for (int y : {f.top - 40, f.top + 2, f.top + length / 4, f.top + length / 2, f.top + 3 * length / 4,
                      f.bottom - 3, f.bottom + 40}) {
            if (y < 0 || y >= kScreenH) continue;
            EXPECT_NEAR(grey(img, y), edgeGrey(y, f.top, f.bottom, f.out), 4) << f.why << ": row " << y;
        }
    }
    // Black all over on the tick the message goes out and on the next screen's first frame.
    mediatest::TImage img = frameAfter(16, true);
    for (int y : {0, 240, 479}) EXPECT_EQ(grey(img, y), 0) << y;
    img = frameAfter(0, false);
    for (int y : {0, 240, 479}) EXPECT_EQ(grey(img, y), 0) << y;
}

TEST_F(TheGameScreens, ChildrenOfAScreenTakeTheGameClassesByKindAndId) {
    mediatest::SetCommonPak(game, dir.Path("kinds.pak"),
                            {{"ui\\ui_iphone\\ui_main.txt",
                              ToBytes("root = root_about\n"
                                      " child = btn_any\n end\n child = dlg_news\n end\n child = dlg_other\n end\n"
                                      " child = pb_loading\n end\n child = img_bg\n end\n child = img_plain\n end\n"
                                      "end\n"
                                      "button = btn_any\nend\ndialog = dlg_news\nend\ndialog = dlg_other\nend\n"
                                      "progress = pb_loading\nend\nimage = img_bg\nend\nimage = img_plain\nend\n")}});
    ASSERT_TRUE(game.RunAboutScreen());
    XGameRoot* about = game.m_pAboutScreen;
    EXPECT_NE(dynamic_cast<XGameButton*>(about->FindChildWithWidgetId("btn_any")), nullptr);
    EXPECT_NE(dynamic_cast<XGameDialog*>(about->FindChildWithWidgetId("dlg_news")), nullptr);
    EXPECT_NE(dynamic_cast<XGameDialog*>(about->FindChildWithWidgetId("dlg_other")), nullptr);
    EXPECT_NE(dynamic_cast<XGameProgress*>(about->FindChildWithWidgetId("pb_loading")), nullptr);
    EXPECT_NE(dynamic_cast<XGameStretchImage*>(about->FindChildWithWidgetId("img_bg")), nullptr);
    XWidget* plain = about->FindChildWithWidgetId("img_plain");
    EXPECT_NE(dynamic_cast<XImage*>(plain), nullptr);
    EXPECT_EQ(dynamic_cast<XGameStretchImage*>(plain), nullptr) << "only the two backgrounds stretch";
}

}  // namespace
