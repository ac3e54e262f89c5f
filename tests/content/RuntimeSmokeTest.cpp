// The game itself on the built pak: it loads to 100 % within a bound of frames, opens the start
// menu, and then every screen whose root the pak's template has, each reached through its game
// message and the screen switch as a player reaches it. No screen may fail to build and the game
// may never ask to finish. A screen of the content phase the pak is built for, or of an earlier
// one, must have its root; screens of later phases may have none yet and are passed over.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/app/TheGame.h"
#include "game/progress/UserProfile.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/LoaderScreen.h"
#include "platform/Pcm.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/Template.h"
#include "ui/TemplateCache.h"

namespace {

// The loader makes about 180 steps, a few a frame after a 120-update intro; far more frames than
// that mean a step is retried for ever.
constexpr int kLoadingFrameBound = 1500;
// A screen switch takes two curtains of 16 ticks, and a group loader's own steps.
constexpr int kSwitchFrameBound = 120;

class CSmokeGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(COBBLE_PAK); }
};

struct TScreenRow {
    char phase;  // the content phase that brings the root
    const char* root;
    int code, wparam, lparam;
    std::function<bool(CTheGame&)> open;
    // What the player chose on the way there, if anything.
    std::function<void(CTheGame&)> choose = nullptr;
};

TEST(RuntimeSmoke, LoadsToTheStartMenuAndOpensEveryScreenThePakHas) {
    mediatest::CHeadlessGl gl{32, 32};
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
    CScratchSaveFolder saves;
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    CSmokeGame game;
    game.m_RenderSwitches.m_bDoubleResolution = true;
    ASSERT_TRUE(game.Init(320, 533));

    int frames = 0;
    int lastPercent = 0;
    while (game.m_pStartMenu == nullptr && frames < kLoadingFrameBound && !game.IsFinished()) {
        if (game.m_pLoaderScreen != nullptr) lastPercent = game.m_pLoaderScreen->m_nPercent;
        game.RunProcess();
        game.Draw();
        ++frames;
    }
    ASSERT_FALSE(game.IsFinished()) << "a loading step failed (its report is on stderr)";
    EXPECT_EQ(lastPercent, 100);
    ASSERT_NE(game.m_pStartMenu, nullptr) << "no start menu within " << kLoadingFrameBound << " frames";

    TTemplate* ui = nullptr;
    for (int i = 0; i < game.TemplateCache().count; ++i) {
        const CachedTemplate* cached = game.TemplateCache().data[i];
        if (std::strstr(cached->name.GetData(), "ui_main.txt") != nullptr) ui = cached->pTemplate;
    }
    ASSERT_NE(ui, nullptr) << "the start menu was built from ui_main.txt";

    const auto chooseFirstArena = [](CTheGame& g) {
        if (TUserProfile* profile = g.GetCurrentProfile()) profile->m_CurrentArena = "arena1";
    };
    const TScreenRow rows[] = {
        {'A', "root_about", MSG_RUN_ABOUT, 0, 0, [](CTheGame& g) { return g.m_pAboutScreen != nullptr; }},
        {'B', "root_play", MSG_RUN_PLAY_SCREEN, 0, 0, [](CTheGame& g) { return g.m_pPlayScreen != nullptr; }},
        {'D', "root_ach", MSG_RUN_ACHIEVEMENTS, 0, 0, [](CTheGame& g) { return g.m_pAchScreen != nullptr; }},
        {'D', "root_leaders", MSG_RUN_LEADERBOARDS, MSG_RUN_START_MENU, 0,
         [](CTheGame& g) { return g.m_pLeadersScreen != nullptr; }},
        {'C', "root_quests", MSG_RUN_QUESTS, 0, MSG_RUN_START_MENU,
         [](CTheGame& g) { return g.m_pQuestsScreen != nullptr; }},
        {'A', "root_upgrades", MSG_RUN_UPGRADES, 0, 0, [](CTheGame& g) { return g.m_pUpgradesScreen != nullptr; }},
        {'C', "root_buy", MSG_RUN_FARM_SHOP, 0, 0, [](CTheGame& g) { return g.m_pFarmShopScreen != nullptr; }},
        // The play screen's arena button picks the arena a round, or the tutorial, is played in.
        {'B', "root_GAMEPLAY_NoAds", MSG_RUN_NEW_GAME, 0, 0, [](CTheGame& g) { return g.m_pGameplayScreen != nullptr; },
         chooseFirstArena},
        {'B', "root_tutorial_NoAds", MSG_RUN_TUTORIAL, 0, 0, [](CTheGame& g) { return g.m_pTutorialScreen != nullptr; },
         chooseFirstArena},
        {'C', "root_yard", MSG_RUN_FARM, 0, 0, [](CTheGame& g) { return g.m_pFarmWindow != nullptr; }},
        {'A', "root_START_MENU", MSG_RUN_START_MENU, 0, 0, [](CTheGame& g) { return g.m_pStartMenu != nullptr; }},
    };
    std::string passedOver;
    for (const TScreenRow& row : rows) {
        if (ui->GetWidget(row.root) == nullptr) {
            EXPECT_GT(row.phase, COBBLE_CONTENT_PHASE) << row.root << " belongs to phase " << row.phase
                                                       << ", and the pak is built for phase " << COBBLE_CONTENT_PHASE;
            passedOver += std::string(" ") + row.root;
            continue;
        }
        SCOPED_TRACE(row.root);
        // A switch asked for while a curtain runs is dropped, as a second tap would be.
        for (int i = 0; i < kSwitchFrameBound && !game.IsCurrentScreenSettled(); ++i) {
            game.RunProcess();
            game.Draw();
        }
        if (row.choose) row.choose(game);
        ASSERT_EQ(game.SendMessage(&game, row.code, row.wparam, row.lparam, true), 1);
        int waited = 0;
        while (!row.open(game) && waited < kSwitchFrameBound && !game.IsFinished()) {
            game.RunProcess();
            game.Draw();
            ++waited;
        }
        EXPECT_TRUE(row.open(game)) << "its screen did not build";
        ASSERT_FALSE(game.IsFinished());
        // Its curtain rises and it runs a few frames of its own.
        for (int i = 0; i < 30; ++i) {
            game.RunProcess();
            game.Draw();
        }
        ASSERT_FALSE(game.IsFinished());
    }
    RecordProperty("passed_over", passedOver);
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

}  // namespace
