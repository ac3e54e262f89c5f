// The yard screen's trade on the real pak: buying (the pending-purchase hand-off, exact prices, a
// creation that fails), selling (70 % back, points floored), the statue and basket achievements,
// the mini-quests and their banner, and the three ways out, each saving first.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "YardTestGame.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/farm/Chicken.h"
#include "game/farm/ComicForeground.h"
#include "game/farm/FarmDecorObject.h"
#include "game/progress/ResumeRecord.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "particles/RandomTables.h"
#include "ui/Text.h"

namespace {

constexpr const char* kShopBuy = "Sound_BB\\sfx_buy.wav";

// Every sprite set the game knows with its reference count, in the manager's order.
std::vector<std::pair<std::string, int>> SetReferences(CGameBase& game) {
    std::vector<std::pair<std::string, int>> counts;
    CSpriteSetManager* sets = game.GetSpriteSetManager();
    for (int i = 0; sets != nullptr && i < sets->GetNumSpriteSets(); ++i) {
        const CSpriteSet* set = sets->GetSpriteSetAt(i);
        counts.emplace_back(set->m_Name.GetDataConst(), set->GetRefCount());
    }
    return counts;
}
// The sets whose reference count differs from that snapshot, as "name: before -> now".
std::vector<std::string> ReferencesChangedSince(CGameBase& game,
                                                const std::vector<std::pair<std::string, int>>& before) {
    const auto now = SetReferences(game);
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < now.size() && i < before.size(); ++i)
        if (now[i] != before[i])
            changed.push_back(now[i].first + ": " + std::to_string(before[i].second) + " -> " +
                              std::to_string(now[i].second));
    if (now.size() != before.size()) changed.push_back("the number of sets");
    return changed;
}

TEST_F(YardTest, APendingPurchaseIsBoughtOnTheNextFrameAndTheNameEmptied) {
    Open();
    player->m_nCoins = 100;
    game.m_PendingPurchaseName = CommonString("bird2");
    const int before = BoughtCount();
    Frames(1);
    EXPECT_EQ(game.m_PendingPurchaseName.Length(), 0);
    EXPECT_EQ(BoughtCount(), before + 1);
    EXPECT_EQ(player->m_nCoins, 85) << "bird2 costs 15";
    EXPECT_EQ(Farm()->m_CategoryPoints[kCategoryBirds], 15);
    CFarmObject* bird = Farm()->m_Objects[Farm()->m_Objects.count - 1];
    EXPECT_EQ(bird->m_Id, "bird2");
    EXPECT_EQ(Yard()->m_pJustBought, bird) << "its burst runs";

    // A name this yard does not sell is dropped without a purchase.
    game.m_PendingPurchaseName = CommonString("bird10");
    Frames(1);
    EXPECT_EQ(game.m_PendingPurchaseName.Length(), 0);
    EXPECT_EQ(BoughtCount(), before + 1);
    EXPECT_EQ(player->m_nCoins, 85);
}

TEST_F(YardTest, BuyingPaysThePriceAndCountsItsPointsAndItsPurchase) {
    Open();
    // One object of each category, with its price from the yard's object file.
    const struct {
        const char* id;
        int category;
        int price;
    } rows[] = {{"bird1", kCategoryBirds, 30},
                {"sunflower", kCategoryPlants, 15},
                {"water_trough", kCategoryComfort, 12},
                {"signpost", kCategoryDecor, 8}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        int points[kFarmCategoryCount];
        for (int c = 0; c < kFarmCategoryCount; ++c) points[c] = Farm()->m_CategoryPoints[c];
        // Exactly the price: bought, nothing left.
        player->m_nCoins = row.price;
        Played();
        CFarmObject* object = Buy(row.id);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(player->m_nCoins, 0);
        for (int c = 0; c < kFarmCategoryCount; ++c)
            EXPECT_EQ(Farm()->m_CategoryPoints[c], points[c] + (c == row.category ? row.price : 0)) << c;
        EXPECT_EQ(player->GetNumFarmObjectPurchased(CommonString("yard1"), CommonString(row.id)), 1);
        EXPECT_EQ(Played(), std::vector<std::string>{kShopBuy});
        // The new object stands on the ground, away from the sides.
        EXPECT_GE(object->m_Position.x, 30 * 256);
        EXPECT_LE(object->m_Position.x, 610 * 256);
        EXPECT_GE(object->m_Position.y, 40 * 256);
        EXPECT_LE(object->m_Position.y, 309 * 256);

        // One coin short: nothing changes.
        player->m_nCoins = row.price - 1;
        const int count = Farm()->m_Objects.count;
        EXPECT_FALSE(Yard()->PurchaseFarmObject(Def(row.id)));
        EXPECT_EQ(player->m_nCoins, row.price - 1);
        EXPECT_EQ(Farm()->m_Objects.count, count);
        EXPECT_EQ(Farm()->m_CategoryPoints[row.category], points[row.category] + row.price);
        EXPECT_EQ(player->GetNumFarmObjectPurchased(CommonString("yard1"), CommonString(row.id)), 1);
        EXPECT_TRUE(Played().empty());
    }
}

TEST_F(YardTest, ABoughtObjectStandsOnTheFoundSpotOrOnTheFallbackWhenNoneIsFree) {
    Open();
    // A free spot: the one the farm's search finds from the same random numbers (after those
    // the new object itself draws).
    game.SeedRandoms(23);
    delete Farm()->CreateFarmObject("signpost");
    FIXED_FLOAT x = 0, y = 0;
    ASSERT_TRUE(Farm()->FindGoodSpawnSpotForNewObject(x, y));
    ASSERT_FALSE(x == 320 * 256 && y == 164 * 256);
    game.SeedRandoms(23);
    player->m_nCoins = 1000;
    CFarmObject* object = Buy("signpost");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->m_Position.x, x);
    EXPECT_EQ(object->m_Position.y, y);

    // A yard crowded with objects 40 pixels apart: every place lies within 29 pixels of one,
    // and the new object stands on the middle of the ground, (320, 164).
    for (int gy = 40; gy <= 320; gy += 40)
        for (int gx = 20; gx <= 640; gx += 40) {
            CFarmObject* filler = Farm()->CreateFarmObject("signpost");
            ASSERT_NE(filler, nullptr);
            filler->m_Position = TVector2D{gx * 256, gy * 256};
            ASSERT_TRUE(Farm()->m_Objects.Add(filler));
        }
    ASSERT_FALSE(Farm()->FindGoodSpawnSpotForNewObject(x, y));
    CFarmObject* crowded = Buy("signpost");
    ASSERT_NE(crowded, nullptr);
    EXPECT_EQ(crowded->m_Position.x, 320 * 256);
    EXPECT_EQ(crowded->m_Position.y, 164 * 256);
}

TEST_F(YardTest, AnObjectThatCannotBeMadeIsNotPaidFor) {
    Open();
    // A decor object whose picture the pak does not have: the factory cannot make it.
    auto* broken = new FarmObjectDef;
    broken->id = CommonString("ghost_statue");
    broken->category = kCategoryDecor;
    broken->price = 10;
    broken->flags = kFarmFlagMovable;
    broken->sprite = CommonString("no_such_set");
    ASSERT_TRUE(Yard()->m_pYardDef->objects[kCategoryDecor].AddOwned(broken));
    player->m_nCoins = 50;
    const int count = Farm()->m_Objects.count;
    EXPECT_FALSE(Yard()->PurchaseFarmObject(broken));
    EXPECT_EQ(player->m_nCoins, 50);
    EXPECT_EQ(Farm()->m_Objects.count, count);
    EXPECT_EQ(Farm()->m_CategoryPoints[kCategoryDecor], 0);
    EXPECT_FALSE(player->IsFarmObjectPurchased(CommonString("yard1"), CommonString("ghost_statue")));
    EXPECT_EQ(Yard()->m_pJustBought, nullptr);
    EXPECT_TRUE(Played().empty());
}

// A yard whose object list cannot grow any more (its memory ran out) keeps no new object: the
// bird is not paid for and is freed at once, giving back the references its sprite sets took.
TEST_F(YardTest, AnObjectTheFullListCannotTakeIsNotPaidForAndIsFreed) {
    Open();
    CQuorvanObjPtrArray<CFarmObject*>& objects = Farm()->m_Objects;
    objects.growBy = INT_MAX;
    while (objects.count < objects.capacity) {
        CFarmObject* filler = Farm()->CreateFarmObject("signpost");
        ASSERT_NE(filler, nullptr);
        ASSERT_TRUE(objects.Add(filler));
    }
    int points[kFarmCategoryCount];
    for (int c = 0; c < kFarmCategoryCount; ++c) points[c] = Farm()->m_CategoryPoints[c];
    const auto references = SetReferences(game);
    const int count = objects.count;
    player->m_nCoins = 100;
    Played();
    EXPECT_FALSE(Yard()->PurchaseFarmObject(Def("bird2")));
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(objects.count, count);
    for (int c = 0; c < kFarmCategoryCount; ++c) EXPECT_EQ(Farm()->m_CategoryPoints[c], points[c]) << c;
    EXPECT_FALSE(player->IsFarmObjectPurchased(CommonString("yard1"), CommonString("bird2")));
    EXPECT_EQ(Yard()->m_pJustBought, nullptr);
    EXPECT_TRUE(Played().empty());
    EXPECT_EQ(ReferencesChangedSince(game, references), std::vector<std::string>{});
}

// The burst over a bought object: 40 stars born on a ring of 5 pixels round the emitter, which
// stands at the middle of the object's height and scales with its depth from the buying frame on.
// The game's random table walks the ring's length a pixel at a time and the effect's own jitter
// is set aside, so that the birth points show.
TEST_F(YardTest, ThePurchaseBurstIsFortyStarsOnAFivePixelRingAtTheObjectsMiddle) {
    Open();
    CQuorvanParticleSystem2* burst = game.m_pParticleManager->GetParticleSystemNamed("ObjectBuy");
    ASSERT_NE(burst, nullptr);
    std::vector<std::int32_t> gameTable(std::begin(g_GameRandomTable), std::end(g_GameRandomTable));
    std::vector<std::int32_t> particleTable(std::begin(g_RandomTable), std::end(g_RandomTable));
    for (int i = 0; i < kGameRandomTableSize; ++i) g_GameRandomTable[i] = i;
    std::fill(std::begin(g_RandomTable), std::end(g_RandomTable), 0);
    const FIXED_FLOAT_16 jitter = burst->m_Info.m_RandomPos;
    burst->m_Info.m_RandomPos = 0;
    // The ring's 20 corners, one every 18 degrees from (5, 0), with the rotator's 8-bit sines.
    const CQuorvanImageRotatorScaler* rotator = game.m_pRotatorScaler;
    double cornerX[21], cornerY[21];
    for (int k = 0; k <= 20; ++k) {
        const int index = rotator->GetLookupIndex(k % 20 * 18 * 256);
        cornerX[k] = 5.0 * rotator->GetCos256()[index] / 256.0;
        cornerY[k] = 5.0 * rotator->GetSin256()[index] / 256.0;
    }
    for (const char* id : {"bird2", "water_trough"}) {
        SCOPED_TRACE(id);
        g_GameRandomTableIndex = g_RandomTableIndex = 0;
        burst->Stop(true);
        burst->m_DrawOffset = burst->m_ZoomCenter = TVector2D_16{7 * 65536, 9 * 65536};
        burst->m_bClip = false;
        player->m_nCoins = 1000;
        CFarmObject* object = Buy(id);
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(burst->GetNumActiveParticels(), 40);
        const CQuorvanParticle2* stars = burst->GetParticles();
        // Each chord of the 20-point ring passes 5 x cos 9 degrees = 4.94 pixels from the centre;
        // the points come from 8-bit sine tables.
        bool onFirstPoint = false;
        for (int i = 0; i < 40; ++i) {
            const double r = std::hypot(stars[i].x / 65536.0, stars[i].y / 65536.0);
            EXPECT_GE(r, 4.9) << i;
            EXPECT_LE(r, 5.03) << i;
            onFirstPoint = onFirstPoint || (stars[i].x == 5 * 65536 && stars[i].y == 0);
            // On the side between the two corners round its angle, to 1/500 pixel.
            const double x = stars[i].x / 65536.0, y = stars[i].y / 65536.0;
            const double degrees = std::fmod(std::atan2(y, x) * 180.0 / std::acos(-1.0) + 360.0, 360.0);
            const int side = std::min(19, static_cast<int>(degrees / 18.0));
            const double sx = cornerX[side + 1] - cornerX[side], sy = cornerY[side + 1] - cornerY[side];
            const double off = ((x - cornerX[side]) * sy - (y - cornerY[side]) * sx) / std::hypot(sx, sy);
            EXPECT_LT(std::fabs(off), 0.002) << i << " at " << degrees << " degrees";
        }
        EXPECT_TRUE(onFirstPoint) << "the ring starts at (5, 0) round (0, 0)";
        const long long halfHeight = object->m_Size.y / 2;
        ASSERT_GT(halfHeight, 0);
        const auto onTheObject = [&](const char* when) {
            SCOPED_TRACE(when);
            const FIXED_FLOAT_16 scale = WorldToScreenScale(object->m_Position);
            const TVector2D anchor = WorldToScreen(&game, object->m_Position);
            EXPECT_TRUE(burst->m_bZoom);
            EXPECT_EQ(burst->m_ZoomCenter.x, 0);
            EXPECT_EQ(burst->m_ZoomCenter.y, 0);
            EXPECT_EQ(burst->m_nZoomScale, scale);
            EXPECT_EQ(burst->m_DrawOffset.x, anchor.x * 256);
            EXPECT_EQ(burst->m_DrawOffset.y, anchor.y * 256 - scale * halfHeight / 256);
            EXPECT_TRUE(burst->m_bClip) << "cut to the screen";
        };
        onTheObject("on the buying frame");
        // It follows the object while its stars live: near at the left, then far at the right.
        object->m_Position = TVector2D{100 * 256, 300 * 256};
        Frames(1);
        onTheObject("moved near");
        object->m_Position = TVector2D{500 * 256, 20 * 256};
        Frames(1);
        onTheObject("moved far");
        // Emitted once: the next frames add no star.
        Frames(3);
        EXPECT_LE(burst->GetNumActiveParticels(), 40);
        EXPECT_TRUE(burst->IsStopped());
        EXPECT_TRUE(sound->looped.empty()) << "the buying sound plays once";
    }
    burst->m_Info.m_RandomPos = jitter;
    std::copy(gameTable.begin(), gameTable.end(), std::begin(g_GameRandomTable));
    std::copy(particleTable.begin(), particleTable.end(), std::begin(g_RandomTable));
}

// Without the burst's effect (a pak that lacks it) an object is still bought, with its sound, and
// the frames after it run.
TEST_F(YardTest, WithoutTheBurstEffectAnObjectIsStillBought) {
    Open();
    CQuorvanParticleSystem2* burst = game.m_pParticleManager->GetParticleSystemNamed("ObjectBuy");
    ASSERT_NE(burst, nullptr);
    burst->SetName("NoBurst");
    player->m_nCoins = 100;
    Played();
    CFarmObject* bird = Buy("bird2");
    EXPECT_NE(bird, nullptr);
    EXPECT_EQ(player->m_nCoins, 85);
    EXPECT_EQ(Played(), std::vector<std::string>{kShopBuy});
    Frames(3);
    EXPECT_EQ(burst->GetNumActiveParticels(), 0);
    burst->SetName("ObjectBuy");
}

// A missing definition or yard definition buys nothing, and a missing object sells nothing. A
// definition whose category lies outside the four (made in code: the object files know only the
// four) is bought and sold but counts no points anywhere.
TEST_F(YardTest, APurchaseWithoutItsPiecesIsRefusedAndAStrayCategoryCountsNoPoints) {
    Open();
    player->m_nCoins = 100;
    const int count = Farm()->m_Objects.count;
    EXPECT_FALSE(Yard()->PurchaseFarmObject(nullptr));
    FarmObjectDef* bird = Def("bird2");
    ASSERT_NE(bird, nullptr);
    YardDef* yardDef = Yard()->m_pYardDef;
    Yard()->m_pYardDef = nullptr;
    EXPECT_FALSE(Yard()->PurchaseFarmObject(bird));
    Yard()->m_pYardDef = yardDef;
    Yard()->SellFarmObject(nullptr);
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(Farm()->m_Objects.count, count);
    EXPECT_TRUE(Played().empty());

    for (int category : {-1, kFarmCategoryCount}) {
        SCOPED_TRACE(category);
        FarmObjectDef* stray = Def("signpost");
        ASSERT_NE(stray, nullptr);
        stray->category = category;
        int points[kFarmCategoryCount];
        for (int c = 0; c < kFarmCategoryCount; ++c) points[c] = Farm()->m_CategoryPoints[c];
        Farm()->m_nStars = 20;  // a count a stray subtraction would show
        const int stars = Farm()->m_nStars;
        player->m_nCoins = 100;
        ASSERT_TRUE(Yard()->PurchaseFarmObject(stray));
        EXPECT_EQ(player->m_nCoins, 100 - stray->price);
        for (int c = 0; c < kFarmCategoryCount; ++c) EXPECT_EQ(Farm()->m_CategoryPoints[c], points[c]) << c;
        // The fields around the points stay as they were.
        EXPECT_EQ(Farm()->m_nStars, stars);
        EXPECT_EQ(Farm()->m_pDefBeingRead, nullptr);
        // Sold again: the coins come back, and still no points change.
        Yard()->m_pSelection = Farm()->m_Objects[Farm()->m_Objects.count - 1];
        ASSERT_EQ(Yard()->m_pSelection->m_pDef, stray);
        Click("btn_confirm_buy_yes");
        EXPECT_GT(player->m_nCoins, 100 - stray->price);
        for (int c = 0; c < kFarmCategoryCount; ++c) EXPECT_EQ(Farm()->m_CategoryPoints[c], points[c]) << c;
        EXPECT_EQ(Farm()->m_nStars, stars);
        EXPECT_EQ(Farm()->m_pDefBeingRead, nullptr);
        stray->category = kCategoryDecor;
    }
}

TEST_F(YardTest, SellingPaysSeventyPercentRoundedAndFloorsThePoints) {
    Open();
    // Prices of yard 1 and 70 % of them to the nearest coin, worked out by hand.
    const struct {
        const char* id;
        int category;
        int pointsBefore;
        int paid;
        int pointsAfter;
    } rows[] = {
        {"daisy_patch", kCategoryPlants, 100, 4, 95},  // 3.5 rounds up
        {"bird2", kCategoryBirds, 15, 11, 0},          // 10.5 rounds up
        {"wooden_frog", kCategoryDecor, 25, 18, 0},    // 17.5
        {"grain_feeder", kCategoryComfort, 5, 8, 0},   // 8.4; 5 - 12 is floored at 0
        {"bird3", kCategoryBirds, 50, 32, 5},          // 31.5
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        player->m_nCoins = 1000;
        const auto references = SetReferences(game);
        CFarmObject* object = Buy(row.id);
        ASSERT_NE(object, nullptr);
        const bool bird = dynamic_cast<CChicken*>(object) != nullptr;
        Farm()->m_CategoryPoints[row.category] = row.pointsBefore;
        player->m_nCoins = 7;
        Played();
        Yard()->m_pSelection = object;
        const int count = Farm()->m_Objects.count;
        Click("btn_confirm_buy_yes");
        EXPECT_EQ(player->m_nCoins, 7 + row.paid);
        EXPECT_EQ(Farm()->m_CategoryPoints[row.category], row.pointsAfter);
        EXPECT_EQ(Farm()->m_Objects.count, count - 1);
        EXPECT_EQ(Farm()->GetFarmObject(row.id), nullptr);
        EXPECT_EQ(Yard()->m_pSelection, nullptr);
        EXPECT_FALSE(player->IsFarmObjectPurchased(CommonString("yard1"), CommonString(row.id)));
        EXPECT_EQ(Played(), std::vector<std::string>{"Sound_BB\\sfx_sell.wav"});
        // The sold object is freed: a bird gives back every reference its sets took (a decor
        // object's stay with the farm group).
        if (bird) {
            EXPECT_EQ(ReferencesChangedSince(game, references), std::vector<std::string>{});
        }
    }
    // With nothing selected, the yes button sells nothing.
    player->m_nCoins = 7;
    Click("btn_confirm_buy_yes");
    EXPECT_EQ(player->m_nCoins, 7);
}

// A sold object sends away the bird on its way to it (the bird would otherwise keep the deleted
// object as its destination: ASan sees the frames after), wherever the object stands in the
// yard's list.
TEST_F(YardTest, SellingAnObjectSendsTheBirdOnItsWayThereAwayWhereverItIsListed) {
    Open();
    for (const char* place : {"first", "middle", "last"}) {
        SCOPED_TRACE(place);
        player->m_nCoins = 1000;
        auto* bird = dynamic_cast<CChicken*>(Buy("bird2"));
        ASSERT_NE(bird, nullptr);
        CFarmObject* trough = Buy("water_trough");
        ASSERT_NE(trough, nullptr);
        CQuorvanObjPtrArray<CFarmObject*>& objects = Farm()->m_Objects;
        ASSERT_GE(objects.count, 3);
        const int index = std::string(place) == "first"    ? 0
                          : std::string(place) == "middle" ? objects.count / 2
                                                           : objects.count - 1;
        std::swap(objects.data[index], objects.data[objects.count - 1]);
        ASSERT_EQ(objects[index], trough);
        bird->m_Position = TVector2D{40 * 256, 40 * 256};
        trough->m_Position = TVector2D{500 * 256, 250 * 256};
        bird->ChangeStateToVisitSpot(trough);
        ASSERT_EQ(bird->m_pDestination, trough);
        Frames(2);
        ASSERT_EQ(bird->m_nState, kChickenVisit) << "on its way";
        const int count = objects.count;
        Yard()->m_pSelection = trough;
        Click("btn_confirm_buy_yes");
        EXPECT_EQ(objects.count, count - 1);
        for (int i = 0; i < objects.count; ++i) EXPECT_NE(objects[i], trough) << i;
        EXPECT_EQ(bird->m_pDestination, nullptr);
        EXPECT_EQ(bird->m_nState, kChickenIdle);
        Frames(30);
        EXPECT_EQ(bird->m_pDestination == nullptr, bird->m_nState != kChickenVisit);
    }
}

// After a sale the sell button goes with the selection, and the burst's object is forgotten only
// when it is the one sold. (The yard's template has no coins label to update.)
TEST_F(YardTest, ASaleHidesTheSellButtonAndForgetsOnlyItsOwnBurst) {
    Open();
    ASSERT_NE(Yard()->m_pSellButton, nullptr);
    player->m_nCoins = 12372;
    CFarmObject* bird = Buy("bird2");
    CFarmObject* trough = Buy("water_trough");
    ASSERT_NE(bird, nullptr);
    ASSERT_NE(trough, nullptr);
    ASSERT_EQ(Yard()->m_pJustBought, trough);
    const struct {
        CFarmObject* sold;
        int coins;  // 12372 - 15 - 12, then 70 % of each price back
        CFarmObject* burstAfter;
    } sales[] = {{bird, 12356, trough}, {trough, 12364, nullptr}};
    for (const auto& sale : sales) {
        Yard()->m_pSelection = sale.sold;
        Yard()->m_pSellButton->Show();
        Click("btn_confirm_buy_yes");
        EXPECT_EQ(player->m_nCoins, sale.coins);
        EXPECT_FALSE(Yard()->m_pSellButton->IsVisible());
        EXPECT_EQ(Yard()->m_pJustBought, sale.burstAfter);
    }
}

// The rotate button turns the selected object over, and does nothing without one.
TEST_F(YardTest, TheRotateButtonTurnsTheSelectedObjectOver) {
    Open();
    player->m_nCoins = 100;
    auto* frog = dynamic_cast<CFarmDecorObject*>(Buy("wooden_frog"));
    ASSERT_NE(frog, nullptr);
    ASSERT_TRUE(frog->CanRotate());
    Yard()->m_pSelection = nullptr;
    EXPECT_EQ(Click("btn_RotateItem"), 1);
    EXPECT_EQ(frog->m_nRotated, 0);
    Yard()->m_pSelection = frog;
    for (int rotated : {1, 0, 1}) {
        EXPECT_EQ(Click("btn_RotateItem"), 1);
        EXPECT_EQ(frog->m_nRotated, rotated);
    }
}

TEST_F(YardTest, TheSellButtonAsksWithTheSelectedObjectsSellPrice) {
    Open();
    player->m_nCoins = 100;
    CFarmObject* frog = Buy("wooden_frog");
    ASSERT_NE(frog, nullptr);
    Yard()->m_pSelection = frog;
    ASSERT_EQ(Yard()->DoAction(CommonString("ui_main.txt"), CommonString("acn_sell_confirm_on")), 1);
    auto* dialog = dynamic_cast<CXConfirmBuyDialog*>(Yard()->FindChildWithWidgetId("dlg_confirm_sell"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetMode(), kConfirmSell);
    EXPECT_EQ(dialog->GetObjectName(), "wooden_frog");
    auto* text = dynamic_cast<XText*>(dialog->FindChildWithWidgetId("txt_confirm2b"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text->GetCaption().GetDataConst()), "Sell it for 18 coins?");
}

TEST_F(YardTest, SellingThePhotoStandWhileItsFlashRunsStopsTheFlash) {
    Open("yard2");
    player->m_nCoins = 100;
    CFarmObject* stand = Buy("photostand01");
    ASSERT_NE(stand, nullptr);
    ASSERT_EQ(stand->m_nKind, kFarmObjectPhotoStand);
    Yard()->ShowCameraFlash();
    Yard()->SetPhotoStand(stand, kPhotoStandBusyFrames);
    Frames(3);
    EXPECT_EQ(Yard()->GetCameraFlashCounter(), kCameraFlashFrames - 3);
    Yard()->m_pSelection = stand;
    Click("btn_confirm_buy_yes");
    EXPECT_EQ(Yard()->GetCameraFlashCounter(), 0);
    EXPECT_EQ(Yard()->GetPhotoStand(), nullptr);
    EXPECT_EQ(Farm()->GetFarmObject("photostand01"), nullptr);
}

TEST_F(YardTest, TheCameraFlashRunsOutBeforeTheStandsBusyTimeRunsDown) {
    Open("yard2");
    player->m_nCoins = 100;
    CFarmObject* stand = Buy("photostand01");
    ASSERT_NE(stand, nullptr);
    Yard()->ShowCameraFlash();
    Yard()->SetPhotoStand(stand, 100);
    Frames(kCameraFlashFrames - 1);
    EXPECT_EQ(Yard()->GetCameraFlashCounter(), 1);
    EXPECT_EQ(Yard()->GetPhotoStand(), stand);
    EXPECT_EQ(Yard()->GetPhotoStandBusyCountdown(), 100) << "busy time waits for the flash";
    Frames(1);
    EXPECT_EQ(Yard()->GetCameraFlashCounter(), 0);
    EXPECT_EQ(Yard()->GetPhotoStand(), nullptr);
    Frames(10);
    EXPECT_EQ(Yard()->GetPhotoStandBusyCountdown(), 90);
}

TEST_F(YardTest, EachStatueAndTheBasketAreAwardedOnce) {
    const struct {
        const char* yard;
        const char* object;
        int achievement;
    } rows[] = {{"yard1", "wooden_frog", 18},
                {"yard2", "wooden_kittens", 19},
                {"yard3", "wooden_dogs", 20},
                {"yard1", "new_basket2", 21}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.object);
        Open(row.yard);
        player->m_nCoins = 1000;
        const int queued = game.m_pAchievementsManager->GetNumQueuedMessages();
        ASSERT_NE(Buy(row.object), nullptr);
        EXPECT_TRUE(player->IsAchievementAwarded(row.achievement));
        ASSERT_EQ(game.m_pAchievementsManager->GetNumQueuedMessages(), queued + 1);
        EXPECT_EQ(game.m_pAchievementsManager->GetQueuedType(queued), kAwardAchievement + row.achievement);
        // A second one changes nothing.
        ASSERT_NE(Buy(row.object), nullptr);
        EXPECT_EQ(game.m_pAchievementsManager->GetNumQueuedMessages(), queued + 1);
    }
    for (int other = 0; other < 18; ++other) EXPECT_FALSE(player->IsAchievementAwarded(other)) << other;
}

TEST_F(YardTest, AQuestUnlocksOnItsFirstObjectAndCompletesOnTheSecondWithItsBannerAfterTheStar) {
    Open();
    player->m_nCoins = 1000;
    const CommonString yard("yard1"), quest("q1_feed");
    // q1_feed asks for the grain feeder and the hen.
    ASSERT_NE(Buy("grain_feeder"), nullptr);
    EXPECT_EQ(player->GetMiniQuestState(yard, quest), 1);
    EXPECT_FALSE(Yard()->m_bQuestCompleted) << "no banner for an unlock";
    Frames(1);
    EXPECT_TRUE(QueuedTypes().empty());

    // Every category at its first star's points: the bars fill (79 pixels at 1 a frame) and the
    // star's countdown of 11 frames starts; the hen is bought during it.
    const int* star1 = Yard()->m_pYardDef->starThresholds[0];
    for (int c = 0; c < kFarmCategoryCount; ++c) Farm()->m_CategoryPoints[c] = star1[c];
    Frames(80);
    ASSERT_EQ(Yard()->m_nStarCountdown, 10);
    ASSERT_NE(Buy("bird1"), nullptr);
    EXPECT_EQ(player->GetMiniQuestState(yard, quest), 2);
    EXPECT_TRUE(Yard()->m_bQuestCompleted);
    int frames = 0;
    while (QueuedTypes().empty() && frames < 400) {
        Frames(1);
        ++frames;
    }
    ASSERT_EQ(QueuedTypes(), std::vector<int>{kAwardQuestCompleted});
    EXPECT_EQ(std::string(game.m_pAchievementsManager->GetQueuedTitle(0).GetDataConst()), "Mini-quest completed!");
    EXPECT_EQ(Farm()->m_nStars, 1);
    // The rest of the countdown, the star's arrival in 18 frames and its five pulses of 16.
    EXPECT_EQ(frames, 10 + 18 + 5 * 16);
    EXPECT_FALSE(Yard()->m_bNewStarActive);
    EXPECT_FALSE(Yard()->m_bQuestCompleted);
}

// What the mini-quest check answers for each object bought in turn (q1_feed: the grain feeder and
// the hen, bird1): true only when a quest moved on, and the banner only for the completion.
TEST_F(YardTest, TheMiniQuestCheckAnswersWhetherAQuestMovedOn) {
    Open();
    const CommonString yard("yard1"), quest("q1_feed");
    const struct {
        const char* bought;
        bool answer;
        int state;
        bool banner;
        const char* why;
    } steps[] = {
        {"signpost", false, 0, false, "in no quest"},
        {"grain_feeder", true, 1, false, "the first object unlocks"},
        {"grain_feeder", false, 1, false, "a second one changes nothing"},
        {"bird1", true, 2, true, "the second object completes"},
        {"bird1", false, 2, false, "and again changes nothing"},
        {"grain_feeder", false, 2, false, "nor does the first one"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        Yard()->m_bQuestCompleted = false;
        player->FarmObjectPurchased(yard, CommonString(step.bought));
        EXPECT_EQ(Yard()->CheckMiniQuests(CommonString(step.bought)), step.answer);
        EXPECT_EQ(player->GetMiniQuestState(yard, quest), step.state);
        EXPECT_EQ(Yard()->m_bQuestCompleted, step.banner);
    }
    // Without the quest list or the yard's definition there is nothing to check (nor to crash on).
    CMiniQuestManager* quests = game.m_pMiniQuestManager;
    game.m_pMiniQuestManager = nullptr;
    EXPECT_FALSE(Yard()->CheckMiniQuests(CommonString("grain_feeder")));
    game.m_pMiniQuestManager = quests;
    YardDef* yardDef = Yard()->m_pYardDef;
    Yard()->m_pYardDef = nullptr;
    EXPECT_FALSE(Yard()->CheckMiniQuests(CommonString("grain_feeder")));
    Yard()->m_pYardDef = yardDef;
    // Nor a banner without the award queue.
    CAchievementsManager* awards = game.m_pAchievementsManager;
    game.m_pAchievementsManager = nullptr;
    Yard()->ShowMiniQuestCompletedBanner();
    game.m_pAchievementsManager = awards;
    EXPECT_TRUE(QueuedTypes().empty());
}

TEST_F(YardTest, EachWayOutSavesTheYardAndThePlayerBeforeItPosts) {
    const struct {
        const char* button;
        TPost post;
        int hint;          // the hint flag the button marks seen, or -1
        bool forgetsShop;  // the farm shop's remembered tab and offsets go
    } rows[] = {{"btn_CloseShop", {MSG_RUN_PLAY_SCREEN, 0, 0}, -1, true},
                {"btn_BuyItem", {MSG_RUN_FARM_SHOP, 0, 0}, kHintYardPurchase, false},
                {"btn_shop_quests", {MSG_RUN_QUESTS, 0, MSG_RUN_FARM}, kHintYardQuests, false}};
    const std::string resume = saves.Path("saveresume.dat"), data = saves.Path("global.opt");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        std::remove(resume.c_str());
        std::remove(data.c_str());
        Open();
        if (row.hint >= 0) player->m_HintFlags[row.hint] = false;
        player->m_nCoins = 100;
        CFarmObject* hen = Buy("bird1");
        ASSERT_NE(hen, nullptr);
        hen->m_Position = TVector2D{123 * 256, 234 * 256};
        const int remembered[4] = {12, 34, -1000, 56};
        std::copy(std::begin(remembered), std::end(remembered), std::begin(game.m_ShopTabOffsets));
        game.m_nShopCurrentTab = 2;
        ASSERT_EQ(Click(row.button), 1);
        ASSERT_EQ(game.posts, std::vector<TPost>{row.post});
        const std::vector<int> offsets(std::begin(game.m_ShopTabOffsets), std::end(game.m_ShopTabOffsets));
        if (row.forgetsShop) {
            EXPECT_EQ(offsets, std::vector<int>(4, -1000));
            EXPECT_EQ(game.m_nShopCurrentTab, 0);
        } else {
            EXPECT_EQ(offsets, std::vector<int>(std::begin(remembered), std::end(remembered)));
            EXPECT_EQ(game.m_nShopCurrentTab, 2);
        }
        if (row.hint >= 0) {
            EXPECT_TRUE(player->m_HintFlags[row.hint]);
        }
        // Both files hold the state at the click.
        ASSERT_TRUE(std::filesystem::exists(data));
        ASSERT_TRUE(std::filesystem::exists(resume));
        const int id = game.SR_GetRecordId_OfYard(game.GetAppData()->m_nCurrentProfile, CommonString("yard1"));
        IMemFile* record = game.m_pSaveResumeStorage->ReadRecord(id);
        ASSERT_NE(record, nullptr);
        TResumeHeader header;
        EXPECT_TRUE(ReadResumeHeader(record, header));
        EXPECT_EQ(header.kind, kResumeKindYard);
        EXPECT_EQ(header.name, "yard1");
        // The body after the header: stars, the four points, then one object.
        int stars = -1, points = 0, birds = 0, count = 0;
        EXPECT_EQ(record->ReadInt(&stars), 4);
        EXPECT_EQ(record->ReadInt(&points), 4);
        EXPECT_EQ(record->ReadInt(&birds), 4);
        record->Seek(12, FileSeek::Current);
        EXPECT_EQ(record->ReadInt(&count), 4);
        EXPECT_EQ(stars, 0);
        EXPECT_EQ(points, 4);
        EXPECT_EQ(birds, 30);
        EXPECT_EQ(count, 1);
        (void)record->Close();
        delete record;
    }
}

}  // namespace
