// The group loader on the real game object: the built pak gives its template, a small pak laid
// over it gives the sets of the groups (a plain set, an atlas texture and a sub-set of it), and
// the farm's yards are made by the test. Weights, the cached objects of other yards, the message
// posted again, and a step that fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FileHost.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/UserProfile.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/StartMenu.h"
#include "platform/Pcm.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/Progress.h"
#include "ui/Text.h"

namespace {

using mediatest::ToBytes;

#ifdef COBBLE_PAK
constexpr const char* kPak = COBBLE_PAK;
#else
constexpr const char* kPak = nullptr;
#endif

// The round and the yard as bare screens: only their opening matters here.
class CBareRound : public CXGameplaySurvival {
public:
    using CXGameplaySurvival::CXGameplaySurvival;
    int OnInitElement() override { return 1; }
};
class CBareYard : public CXFarmWindow {
public:
    using CXFarmWindow::CXFarmWindow;
    int OnInitElement() override { return 1; }
};

class CBareStartMenu : public CXStartMenu2 {
public:
    using CXStartMenu2::CXStartMenu2;
    int OnInitElement() override { return 1; }
};

class CPakGame : public CTestTheGame {
public:
    CommonString GetCommonGamePackName() override { return CommonString(kPak); }
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Gameplay) return new CBareRound(this);
        if (kind == EScreen::Farm) return new CBareYard(this);
        if (kind == EScreen::StartMenu) return new CBareStartMenu(this);
        return CTheGame::NewScreen(kind, a, b);
    }
};

std::vector<std::string> g_Deleted;

// A cached yard object that notes its deletion.
class CCachedObject : public CFarmObject {
public:
    using CFarmObject::CFarmObject;
    ~CCachedObject() override { g_Deleted.emplace_back(m_Id.GetDataConst()); }
    void Draw(int) override {}
};

// Group sets in manager order: gameplay plain (1), gameplay atlas texture (5), gameplay sub-set of
// it (0), a farm set and a set of no group.
constexpr const char* kSets =
    "set = G_Plain\n file = \"grp\\plain\"\n group = gameplay\nend\n"
    "set = G_Atlas\n file = \"grp\\atlas\"\n atlas_data = \"grp\\atlas.txt\"\n group = gameplay\nend\n"
    "set = G_Sub\n atlas_texture = G_Atlas\n atlas_indexes = item%d, 0, 2\n group = gameplay\nend\n"
    "set = F_Plain\n file = \"grp\\plain\"\n group = farm\nend\n"
    "set = N_Plain\n file = \"grp\\plain\"\nend\n"
    // A group of one atlas sub-set (weight 0) and a group whose only image is not in the pak.
    "set = S_Sub\n atlas_texture = G_Atlas\n atlas_indexes = item%d, 1, 1\n group = subsets\nend\n"
    "set = B_Absent\n file = \"grp\\absent\"\n group = broken\nend\n";

class GroupSetLoader : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPak == nullptr) GTEST_SKIP() << "this build makes no resource pak";
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        g_Deleted.clear();
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        game.m_RenderSwitches.m_bDoubleResolution = true;
        ASSERT_TRUE(game.Init(320, 533));
        // The small pak is searched first, the built one after it.
        TPakSet& paks = game.Paks();
        paks.m_pOptionalPak = paks.m_pCommonPak;
        paks.m_pCommonPak = nullptr;
        mediatest::TImage atlas = mediatest::MakeImage(16, 8, {255, 0, 0, 255});
        mediatest::SetCommonPak(
            game, dir.Path("groups.pak"),
            {{"i_vga\\grp\\plain.png", mediatest::EncodePng(mediatest::MakeImage(4, 4, {0, 200, 0, 255}))},
             {"i_vga\\grp\\atlas.png", mediatest::EncodePng(atlas)},
             {"i_vga\\grp\\atlas.txt", ToBytes("2\nitem0\n0\n0\n8\n8\nitem1\n8\n0\n8\n8\n")}});
        ASSERT_EQ(AddSpriteSetsFromBytes(game.m_pSpriteSetManager, &game,
                                         {kSets, std::char_traits<char>::length(kSets)}, "groups.txt"),
                  1);

        game.m_pFarmManager = new CFarmManager(&game);
        AddYard("y0", {"bench", "fence", "tree"});
        AddYard("y1", {"well"});
        ASSERT_EQ(game.CreateNewUserProfile(), 0);
        game.GetCurrentProfile()->m_CurrentYard = CommonString("y0");
    }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    // A yard with one object in each category, in order.
    void AddYard(const char* id, const std::vector<const char*>& objects) {
        auto* yard = new YardDef;
        yard->id = id;
        for (size_t i = 0; i < objects.size(); ++i) {
            auto* def = new FarmObjectDef;
            def->id = objects[i];
            def->category = static_cast<int>(i % kFarmCategoryCount);
            ASSERT_TRUE(yard->objects[def->category].Add(def));
        }
        ASSERT_TRUE(game.m_pFarmManager->m_Yards.Add(yard));
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) game.RunProcess();
    }
    std::vector<std::string> CachedIds() const {
        std::vector<std::string> ids;
        for (int i = 0; i < game.m_FarmObjectCache.count; ++i)
            ids.emplace_back(game.m_FarmObjectCache.data[i]->m_Id.GetDataConst());
        return ids;
    }
    // The loader opened as the screen switch opens it for a message: caption, group, message.
    void OpenFor(int code) {
        const bool farm = code == MSG_RUN_FARM;
        ASSERT_TRUE(game.RunGroupSetLoader());
        game.m_pGroupSetLoader->SetCaptionText(farm ? "Loading Farm" : "Loading Game");
        game.m_pGroupSetLoader->SetGroupName(farm ? "farm" : "gameplay");
        game.m_pGroupSetLoader->SetupSavedMessage(nullptr, code, 0, 0, true);
    }

    mediatest::CHeadlessGl gl{32, 32};
    CScratchSaveFolder saves;
    CScratchDir dir;
    CPakGame game;
};

TEST_F(GroupSetLoader, TheGameplayGroupLoadsByWeightAndTheRoundOpens) {
    OpenFor(MSG_RUN_NEW_GAME);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    auto* caption = dynamic_cast<XText*>(loader->FindChildWithWidgetId("txt_screen_loader"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->GetCaption(), "Loading Game");
    EXPECT_EQ(loader->m_nTotalSteps, 3);
    EXPECT_EQ(loader->m_nWeightedTotal, 6) << "1 + 5 + 0";
    EXPECT_EQ(loader->m_nPercent, 0);

    Ticks(16);  // its curtain rises
    std::vector<int> percents;
    std::vector<std::string> texts;
    for (int frame = 0; frame < 2; ++frame) {
        Ticks(1);
        percents.push_back(loader->m_nPercent);
        texts.emplace_back(loader->m_pProgressText->GetCaption().GetDataConst());
        EXPECT_EQ(loader->m_pProgressBar->GetProgress(), loader->m_nPercent * 256 / 100);
    }
    // The plain set alone in the first frame (1 of 6), the atlas texture and its sub-set in the
    // next (5 and 0 more).
    EXPECT_EQ(percents, (std::vector<int>{16, 100}));
    EXPECT_EQ(texts, (std::vector<std::string>{"16%", "100%"}));
    for (const char* name : {"G_Plain", "G_Atlas", "G_Sub"})
        EXPECT_TRUE(game.m_pSpriteSetManager->GetSpriteSetNamed(name)->IsLoaded()) << name;
    for (const char* name : {"F_Plain", "N_Plain"})
        EXPECT_FALSE(game.m_pSpriteSetManager->GetSpriteSetNamed(name)->IsLoaded()) << name;
    EXPECT_TRUE(game.m_bGameplayGroupLoaded);
    EXPECT_EQ(loader->GetSavedMessage().code, MSG_RUN_NEW_GAME) << "posted again, parked for the curtain";

    Ticks(17);
    EXPECT_EQ(game.m_pGroupSetLoader, nullptr);
    EXPECT_NE(game.m_pGameplayScreen, nullptr) << "the round opened";
    EXPECT_FALSE(game.IsFinished());
}

TEST_F(GroupSetLoader, TheProgressTextIsADesignersFormatFilledInSafely) {
    OpenFor(MSG_RUN_NEW_GAME);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(loader->m_ProgressFormat, "%d%%") << "the template's own text";
    // A conversion the loader has no value for is shown as it stands, never handed to printf.
    loader->m_ProgressFormat = CommonString("%n%s %d%% done");
    loader->UpdateCurrentPercent();
    EXPECT_EQ(loader->m_pProgressText->GetCaption(), "%n%s %d% done") << "%s takes the number, %d is left";
    loader->m_ProgressFormat = CommonString("%n %d%% done");
    loader->UpdateCurrentPercent();
    EXPECT_EQ(loader->m_pProgressText->GetCaption(), "%n 0% done");
}

TEST_F(GroupSetLoader, AnotherYardKeepsItsCachedObjectsAndDropsTheRest) {
    // The farm's sets are loaded for y1; the cache holds y1's well and y0's fence.
    game.m_bFarmGroupLoaded = true;
    game.m_CachedYardName = CommonString("y1");
    ASSERT_TRUE(game.m_FarmObjectCache.Add(new CCachedObject(&game, "well")));
    ASSERT_TRUE(game.m_FarmObjectCache.Add(new CCachedObject(&game, "fence")));
    OpenFor(MSG_RUN_FARM);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(loader->m_nSpriteSetSteps, 0) << "the farm's sets stay loaded between yards";
    EXPECT_EQ(g_Deleted, std::vector<std::string>{"well"});
    EXPECT_EQ(CachedIds(), std::vector<std::string>{"fence"});
    ASSERT_EQ(loader->m_ObjectDefs.count, 2);
    EXPECT_EQ(loader->m_ObjectDefs.data[0]->id, "bench");
    EXPECT_EQ(loader->m_ObjectDefs.data[1]->id, "tree");
    EXPECT_EQ(loader->m_nWeightedTotal, 2);
}

TEST_F(GroupSetLoader, NothingToLoadPostsTheMessageAtItsFirstUpdate) {
    game.m_bFarmGroupLoaded = true;
    game.m_CachedYardName = CommonString("y1");
    for (const char* id : {"tree", "bench", "fence"})
        ASSERT_TRUE(game.m_FarmObjectCache.Add(new CCachedObject(&game, id)));
    OpenFor(MSG_RUN_FARM);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(loader->m_nTotalSteps, 0);
    EXPECT_EQ(CachedIds(), (std::vector<std::string>{"bench", "fence", "tree"})) << "in the yard's order";
    Ticks(17);
    EXPECT_EQ(loader->GetSavedMessage().code, MSG_RUN_FARM);
    EXPECT_TRUE(loader->IsEffectOut());
    EXPECT_EQ(loader->m_pProgressBar->GetProgress(), 0) << "the bar keeps what it showed";
    EXPECT_EQ(game.m_CachedYardName, "y0");
    Ticks(17);
    EXPECT_NE(game.m_pFarmWindow, nullptr);
}

TEST_F(GroupSetLoader, AGroupOfAtlasSubSetsOnlyWeighsNothingAndIsCompleteAtOnce) {
    ASSERT_TRUE(game.RunGroupSetLoader());
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    loader->SetGroupName("subsets");
    loader->SetupSavedMessage(nullptr, MSG_RUN_NEW_GAME, 0, 0, true);
    EXPECT_EQ(loader->m_nTotalSteps, 1);
    EXPECT_EQ(loader->m_nWeightedTotal, 0) << "a sub-set weighs nothing";
    Ticks(17);  // the curtain, then the one step
    EXPECT_TRUE(game.m_pSpriteSetManager->GetSpriteSetNamed("S_Sub")->IsLoaded());
    EXPECT_EQ(loader->m_nPercent, 100);
    EXPECT_EQ(loader->m_pProgressText->GetCaption(), "100%");
    EXPECT_EQ(loader->m_pProgressBar->GetProgress(), 256);
    EXPECT_EQ(loader->GetSavedMessage().code, MSG_RUN_NEW_GAME) << "posted again: the group is done";
}

TEST_F(GroupSetLoader, ThePercentStaysWithinNoughtAndAHundred) {
    ASSERT_TRUE(game.RunGroupSetLoader());
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    const struct {
        int progress, total, percent;
        const char* why;
    } cases[] = {
        {7, 6, 100, "more progress than the total (116 unclamped)"},
        {-3, 6, 0, "progress below nothing"},
        {5, 6, 83, "integer division: 500 / 6"},
        {6, 6, 100, "done"},
        {3, 0, 100, "nothing to weigh"},
        {3, -2, 100, "a total below 1"},
    };
    for (const auto& c : cases) {
        loader->m_nWeightedProgress = c.progress;
        loader->m_nWeightedTotal = c.total;
        loader->UpdateCurrentPercent();
        EXPECT_EQ(loader->m_nPercent, c.percent) << c.why;
        EXPECT_EQ(loader->m_pProgressBar->GetProgress(), c.percent * 256 / 100) << c.why;
    }
}

TEST_F(GroupSetLoader, ASetThatCannotBeLoadedFailsItsStep) {
    ASSERT_TRUE(game.RunGroupSetLoader());
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    loader->SetGroupName("broken");
    loader->SetupSavedMessage(nullptr, MSG_RUN_NEW_GAME, 0, 0, true);
    ASSERT_EQ(loader->m_nTotalSteps, 1);
    Ticks(16);
    testing::internal::CaptureStderr();
    Ticks(2);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loader->m_nCurrentStep, 0) << "the failed step is not counted";
    EXPECT_EQ(loader->m_nWeightedProgress, 0);
    EXPECT_NE(told.find("sprite set B_Absent"), std::string::npos) << told;
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(game.GetFinishCode(), kFinishGameEnds);
    EXPECT_FALSE(game.m_bGameplayGroupLoaded);
}

TEST_F(GroupSetLoader, WithoutASavedMessageTheStartMenuIsPosted) {
    ASSERT_TRUE(game.RunGroupSetLoader());
    game.m_pGroupSetLoader->SetGroupName("gameplay");
    Ticks(18);  // the curtain rises, the three sets load
    ASSERT_NE(game.m_pGroupSetLoader, nullptr);
    EXPECT_TRUE(game.m_bGameplayGroupLoaded);
    Ticks(17);  // the curtain falls over the loader and the posted message opens its screen
    EXPECT_EQ(game.m_pGroupSetLoader, nullptr);
    EXPECT_NE(game.m_pStartMenu, nullptr) << "1001 opens the start menu";
    EXPECT_EQ(game.m_pGameplayScreen, nullptr);
}

// Each object made is a step of weight 1 beside the farm's one plain set: the bar reads 1 of 4
// after the set's frame and moves a quarter for every object until it is full. Making an object
// takes its class; a build whose farm object classes are not written yet cannot, and the test
// says so and stops there.
TEST_F(GroupSetLoader, EachObjectMadeMovesTheBarAQuarter) {
    auto* yard = new YardDef;
    yard->id = "y2";
    for (const char* id : {"bench2", "fence2", "tree2"}) {
        auto* def = new FarmObjectDef;
        def->id = id;
        def->sprite = "F_Plain";
        def->category = kFarmCategoryCount - 1;
        ASSERT_TRUE(yard->objects[def->category].Add(def));
    }
    ASSERT_TRUE(game.m_pFarmManager->m_Yards.Add(yard));
    game.GetCurrentProfile()->m_CurrentYard = CommonString("y2");
    CFarmObject* probe = game.m_pFarmManager->CreateFarmObject("bench2");
    if (probe == nullptr) GTEST_SKIP() << "this build has no class for the yard's decor objects";
    delete probe;

    OpenFor(MSG_RUN_FARM);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    ASSERT_EQ(loader->m_nTotalSteps, 4);
    ASSERT_EQ(loader->m_nWeightedTotal, 4) << "the set's 1 and one for each object";
    Ticks(16);
    std::vector<int> percents;
    for (int frame = 0; frame < 8 && loader->m_nCurrentStep < loader->m_nTotalSteps; ++frame) {
        Ticks(1);
        percents.push_back(loader->m_nPercent);
        EXPECT_EQ(loader->m_nPercent, 100 * loader->m_nCurrentStep / 4) << "frame " << frame;
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 25) << "the set alone in the first frame";
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(CachedIds(), (std::vector<std::string>{"bench2", "fence2", "tree2"}));
    EXPECT_TRUE(game.m_bFarmGroupLoaded) << "the next yard keeps the farm's sets";
    EXPECT_EQ(game.m_CachedYardName, "y2") << "the yard the cache was filled for";
    EXPECT_FALSE(game.IsFinished());
}

TEST_F(GroupSetLoader, AStepThatFailsIsToldEndsTheGameAndIsNotCounted) {
    // "bench" has no object class in this build, so its object cannot be made.
    OpenFor(MSG_RUN_FARM);
    CXGroupSetLoader* loader = game.m_pGroupSetLoader;
    ASSERT_NE(loader, nullptr);
    ASSERT_EQ(loader->m_nSpriteSetSteps, 1) << "F_Plain";
    Ticks(16);
    testing::internal::CaptureStderr();
    Ticks(3);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loader->m_nCurrentStep, 1) << "the set loaded, the object did not";
    EXPECT_NE(told.find("farm object bench"), std::string::npos) << told;
    EXPECT_EQ(told.find("failed"), told.rfind("failed")) << "told once: " << told;
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(game.GetFinishCode(), kFinishGameEnds);
}

}  // namespace
