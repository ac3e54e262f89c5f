// The farm's and the arenas' rules on the real player data: the current profile decides.
#include <gtest/gtest.h>

#include <string>

#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/UserProfile.h"
#include "testsupport/TestTheGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// A yard object that keeps the base class's Init.
class CPlainObject : public CFarmObject {
public:
    using CFarmObject::CFarmObject;
    void Draw(int) override {}
};

// Three yards: y0 always open, y1 shown after y0 with 1 star and unlocked by y0 with 2 stars, y2
// unlocked when every earlier yard has 2 stars. Two profiles; arena2 opens with y1.
class ProfileRules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(game.CreateApplicationData());
        game.m_pFarmManager = new CFarmManager(&game);
        farm = game.m_pFarmManager;
        YardDef* y0 = AddYard("y0");
        YardDef* y1 = AddYard("y1");
        y1->showAfter = "y0";
        y1->showStars = 1;
        y1->unlockAfter = "y0";
        y1->unlockStars = 2;
        YardDef* y2 = AddYard("y2");
        y2->unlockAfter = kUnlockAfterAllPrevious;
        y2->unlockStars = 2;
        AddObject(y0, "bench", 100, kFarmFlagMovable);
        AddObject(y0, "yard_bg", 0, kFarmFlagDefault);
        AddObject(y1, "tree", 20, 0)->spot = "eat";
        (void)y1->objects[kCategoryPlants][0]->spotPoints.Add(TVector2D{256, 0});
        data = game.GetAppData();
        ASSERT_EQ(data->AddUserProfile(), 0);
        ASSERT_EQ(data->AddUserProfile(), 1);
        first = data->m_Profiles[0];
        second = data->m_Profiles[1];
    }
    YardDef* AddYard(const char* id) {
        auto* yard = new YardDef;
        yard->id = id;
        EXPECT_TRUE(farm->m_Yards.Add(yard));
        return yard;
    }
    FarmObjectDef* AddObject(YardDef* yard, const char* id, int price, std::uint32_t flags) {
        auto* def = new FarmObjectDef;
        def->id = id;
        def->price = price;
        def->flags = flags;
        def->category = kCategoryPlants;
        EXPECT_TRUE(yard->objects[kCategoryPlants].Add(def));
        return def;
    }
    CTestTheGame game;
    CFarmManager* farm = nullptr;
    CApplicationData* data = nullptr;
    TUserProfile* first = nullptr;
    TUserProfile* second = nullptr;
};

TEST_F(ProfileRules, ANewProfileStartsInTheFirstYard) {
    EXPECT_EQ(Text(game.GetFirstYardName()), "y0");
    EXPECT_EQ(Text(first->m_CurrentYard), "y0");
    EXPECT_EQ(farm->GetCurrentYardDef(), farm->GetYardDef(0));
    farm->m_Yards.RemoveAll();
    EXPECT_EQ(Text(game.GetFirstYardName()), "") << "no yards, no first yard";
}

TEST_F(ProfileRules, VisibilityAndUnlockFollowTheCurrentProfile) {
    first->AddCompletedYardId(CommonString("y0"), 1);
    second->AddCompletedYardId(CommonString("y0"), 2);
    second->AddCompletedYardId(CommonString("y1"), 2);
    struct TCase {
        int current;
        const char* yard;
        bool visible, unlocked;
        const char* why;
    } cases[] = {
        {0, "y0", true, true, "no conditions"},
        {0, "y1", true, false, "shown at 1 star, locked below 2"},
        {0, "y2", true, false, "one yard completed, two stand before"},
        {1, "y1", true, true, "the second profile has 2 stars in y0"},
        {1, "y2", true, true, "every earlier yard with 2 stars"},
        {-1, "y1", false, false, "without a profile only the unconditional yards"},
        {-1, "y0", true, true, "the first yard needs no profile"},
    };
    for (const TCase& c : cases) {
        data->m_nCurrentProfile = c.current;
        YardDef* yard = farm->GetYardDef(CommonString(c.yard));
        EXPECT_EQ(farm->IsYardVisible(yard), c.visible) << c.why;
        EXPECT_EQ(farm->IsYardUnlocked(yard), c.unlocked) << c.why;
    }
}

TEST_F(ProfileRules, CanPurchaseAnyFarmObjectOnTheProfilesYards) {
    struct TCase {
        int current;
        int coins;
        bool can;
        const char* why;
    } cases[] = {
        {0, 19, false, "nothing that cheap"},
        {0, 50, false, "the tree stands in a yard the profile has not unlocked"},
        {0, 100, true, "the bench in the first yard"},
        {1, 20, true, "the second profile has unlocked the tree's yard"},
    };
    second->AddCompletedYardId(CommonString("y0"), 3);
    for (const TCase& c : cases) {
        data->m_nCurrentProfile = c.current;
        EXPECT_EQ(farm->CanPurchaseAnyFarmObject(c.coins), c.can) << c.why;
    }
}

TEST_F(ProfileRules, ArenasUnlockWithTheirYardAndFollowTheProfile) {
    CArenaManager arenas(&game);
    auto* open = new Arena;
    open->id = "arena1";
    auto* locked = new Arena;
    locked->id = "arena2";
    locked->unlockBy = "y1";
    ASSERT_TRUE(arenas.m_Arenas.Add(open));
    ASSERT_TRUE(arenas.m_Arenas.Add(locked));
    second->AddCompletedYardId(CommonString("y1"), 1);
    data->m_nCurrentProfile = 0;
    EXPECT_TRUE(arenas.IsArenaUnlocked("arena1"));
    EXPECT_FALSE(arenas.IsArenaUnlocked("arena2")) << "a fresh profile";
    data->m_nCurrentProfile = 1;
    EXPECT_TRUE(arenas.IsArenaUnlocked("arena2")) << "switching the profile re-evaluates";
    first->AddCompletedYardId(CommonString("y1"), 0);
    data->m_nCurrentProfile = 0;
    EXPECT_TRUE(arenas.IsArenaUnlocked(locked)) << "completed, whatever its stars";
    EXPECT_FALSE(arenas.IsArenaUnlocked("arena9"));
    EXPECT_FALSE(arenas.IsArenaUnlocked(static_cast<const Arena*>(nullptr)));
}

TEST_F(ProfileRules, AnObjectFindsItsDefinitionInTheCurrentYard) {
    CPlainObject bench(&game, "bench");
    ASSERT_TRUE(bench.Init(0));
    EXPECT_EQ(bench.m_pDef, farm->GetYardDef(0)->objects[kCategoryPlants][0]);
    EXPECT_EQ(bench.m_uFlags, kFarmFlagMovable);
    EXPECT_EQ(bench.m_nSpotType, 0);
    CPlainObject tree(&game, "tree");
    EXPECT_FALSE(tree.Init(0)) << "the tree belongs to another yard";
    first->m_CurrentYard = "y1";
    ASSERT_TRUE(tree.Init(0));
    EXPECT_EQ(tree.m_nSpotType, 1) << "an eating spot";
    CPlainObject nameless(&game, "");
    EXPECT_FALSE(nameless.Init(0));
    data->m_nCurrentProfile = -1;
    CPlainObject orphan(&game, "tree");
    EXPECT_FALSE(orphan.Init(0)) << "no profile, no current yard";
}

}  // namespace
