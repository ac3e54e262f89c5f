// Which yards a profile sees and may open, what can be bought, sell prices and the factory's
// choice of class.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "testsupport/FakeFarmGame.h"

namespace {

class FarmRules : public ::testing::Test {
protected:
    YardDef* AddYard(const char* id) {
        auto* yard = new YardDef;
        yard->id = id;
        EXPECT_TRUE(farm.m_Yards.Add(yard));
        return yard;
    }
    void AddObject(YardDef* yard, int category, const char* id, int price, bool isDefault) {
        auto* def = new FarmObjectDef;
        def->id = id;
        def->category = category;
        def->price = price;
        if (isDefault) def->flags |= kFarmFlagDefault;
        EXPECT_TRUE(yard->objects[category].Add(def));
    }
    CFakeFarmGame game;
    CFarmManager farm{&game};
};

using Completed = std::vector<TCompletedYard>;

TEST_F(FarmRules, Visibility) {
    YardDef* always = AddYard("y0");
    YardDef* afterY0 = AddYard("y1");
    afterY0->showAfter = "y0";
    afterY0->showStars = 2;
    struct TCase {
        const YardDef* yard;
        Completed completed;
        bool visible;
        const char* why;
    } cases[] = {
        {always, {}, true, "no show_after: always shown"},
        {afterY0, {}, false, "the yard it waits for is not completed"},
        {afterY0, {{"y0", 1}}, false, "too few stars"},
        {afterY0, {{"y0", 2}}, true, "enough stars"},
        {afterY0, {{"y0", 1}, {"y0", 3}}, false, "only the first entry of that yard counts"},
        {afterY0, {{"y5", 3}, {"y0", 3}}, true, "other yards are passed over"},
    };
    for (const TCase& c : cases) EXPECT_EQ(farm.IsYardVisibleFor(c.yard, c.completed), c.visible) << c.why;
}

TEST_F(FarmRules, UnlockByNamedYard) {
    YardDef* free = AddYard("y0");
    YardDef* twoStars = AddYard("y1");
    twoStars->unlockAfter = "y0";
    twoStars->unlockStars = 2;
    YardDef* anyStars = AddYard("y2");
    anyStars->unlockAfter = "y1";
    anyStars->unlockStars = 0;  // "unlock_after = y1" without a count
    struct TCase {
        const YardDef* yard;
        Completed completed;
        bool unlocked;
        const char* why;
    } cases[] = {
        {free, {}, true, "no unlock_after: unlocked"},
        {twoStars, {}, false, "nothing completed"},
        {twoStars, {{"y0", 1}}, false, "one star short"},
        {twoStars, {{"y0", 2}}, true, "enough stars"},
        {anyStars, {{"y1", 0}}, true, "no count: any entry of the yard unlocks"},
        {anyStars, {{"y0", 3}}, false, "a different yard does not unlock"},
    };
    for (const TCase& c : cases) EXPECT_EQ(farm.IsYardUnlockedFor(c.yard, c.completed), c.unlocked) << c.why;
}

TEST_F(FarmRules, UnlockAfterAllPrevious) {
    YardDef* y0 = AddYard("y0");
    AddYard("y1");
    YardDef* y2 = AddYard("y2");
    for (YardDef* y : {y0, y2}) {
        y->unlockAfter = kUnlockAfterAllPrevious;
        y->unlockStars = 2;
    }
    struct TCase {
        const YardDef* yard;
        Completed completed;
        bool unlocked;
        const char* why;
    } cases[] = {
        {y0, {}, true, "the first yard is always unlocked"},
        {y2, {}, false, "nothing completed"},
        {y2, {{"y0", 3}}, false, "fewer completed yards than stand before it"},
        {y2, {{"y0", 2}, {"y1", 3}}, true, "both earlier yards with enough stars"},
        {y2, {{"y0", 1}, {"y1", 3}}, false, "yard 0 has one star"},
        {y2, {{"y1", 3}, {"y2", 0}}, true, "its own entry counts towards the number of completed yards"},
        {y2, {{"y0", 2}, {"y1", 2}, {"y2", 0}}, true, "its own entry is passed over"},
        {y2, {{"y0", 2}, {"gone", 0}, {"y1", 2}}, false,
         "a yard the table no longer has (index -1) stands before every yard, with too few stars"},
        {y2, {{"y0", 2}, {"gone", 2}, {"y1", 2}}, true, "the same yard with enough stars"},
        {y0, {{"gone", 0}}, false, "it stands before the first yard too"},
    };
    for (const TCase& c : cases) EXPECT_EQ(farm.IsYardUnlockedFor(c.yard, c.completed), c.unlocked) << c.why;
}

TEST_F(FarmRules, CanPurchaseAnyFarmObject) {
    YardDef* open = AddYard("open");
    YardDef* locked = AddYard("locked");
    locked->unlockAfter = "open";
    AddObject(open, kCategoryDecor, "yard_bg", 0, true);
    AddObject(open, kCategoryDecor, "fountain", 300, false);
    AddObject(open, kCategoryPlants, "gift", 0, false);
    AddObject(open, kCategoryBirds, "statue", 50, true);  // default objects are never bought
    AddObject(locked, kCategoryPlants, "bush", 20, false);
    struct TCase {
        int coins;
        Completed completed;
        bool can;
        const char* why;
    } cases[] = {
        {299, {}, false, "one coin short of the fountain; free and default objects do not count"},
        {300, {}, true, "exactly the price"},
        {100, {}, false, "the bush stands in a locked yard"},
        {100, {{"open", 1}}, true, "the bush's yard is unlocked"},
        {0, {{"open", 1}}, false, "no coins"},
    };
    for (const TCase& c : cases) EXPECT_EQ(farm.CanPurchaseAnyFarmObjectFor(c.coins, c.completed), c.can) << c.why;
}

TEST(FarmSellPrice, SeventyPercentToTheNearestCoin) {
    EXPECT_EQ(CFarmManager::CalcDiscountedSellPrice(nullptr), 0);
    FarmObjectDef def;
    const int hand[][2] = {{0, 0}, {1, 1}, {10, 7}, {15, 11}, {25, 18}, {35, 25}, {1234567, 864197}};
    for (const auto& [price, sell] : hand) {
        def.price = price;
        EXPECT_EQ(CFarmManager::CalcDiscountedSellPrice(&def), sell) << price;
    }
    // 7p/10 rounded half up, in integers: (7p + 5) / 10.
    for (int price = 0; price <= 20000; ++price) {
        def.price = price;
        ASSERT_EQ(CFarmManager::CalcDiscountedSellPrice(&def), (7 * price + 5) / 10) << price;
    }
}

TEST(FarmFactory, IdsPickTheirClass) {
    struct TCase {
        const char* id;
        int kind, argument, variant;
    } cases[] = {
        {"bird1", kFarmObjectChicken, 1, 0},
        {"bird20", kFarmObjectChicken, 20, 0},
        {"bird21", kFarmObjectDecor, 0, 0},
        {"bird0", kFarmObjectDecor, 0, 0},
        {"bird07", kFarmObjectDecor, 0, 0},
        {"Bird3", kFarmObjectDecor, 0, 0},
        {"robot", kFarmObjectRobot, 0, 0},
        {"lawn_mower", kFarmObjectLawnmower, 0, 0},
        {"doghouse", kFarmObjectDoghouse, 0, 1},
        {"doghouse2", kFarmObjectDoghouse, 0, 2},
        {"doghouse3", kFarmObjectDecor, 0, 0},
        {"photostand01", kFarmObjectPhotoStand, 0, 0},
        {"photostand02", kFarmObjectPhotoStand, 0, 0},
        {"fountain", kFarmObjectDecor, 0, 0},
    };
    for (const TCase& c : cases) {
        const TFarmObjectClass got = ClassifyFarmObjectId(c.id);
        EXPECT_EQ(got.kind, c.kind) << c.id;
        EXPECT_EQ(got.initArgument, c.argument) << c.id;
        EXPECT_EQ(got.variant, c.variant) << c.id;
    }
}

TEST(FarmFactory, WithoutTheGamesFarmAndYardNothingIsMade) {
    // Every class finds its definition in the current yard of the game's own farm manager: a
    // manager standing alone, in a game with no profile, makes nothing.
    CFakeFarmGame game;
    CFarmManager farm(&game);
    for (const char* id : {"bird3", "robot", "lawn_mower", "doghouse", "photostand01", "fountain"})
        EXPECT_EQ(farm.CreateFarmObject(id), nullptr) << id;
}

}  // namespace
