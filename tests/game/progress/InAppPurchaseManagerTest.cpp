// The coin-shop catalogue read from a test pak, and purchases through the payment stand-in: what
// each outcome does to the current profile and which banner it queues.
#include "game/progress/InAppPurchaseManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ProgressTheGame.h"
#include "core/Parser.h"
#include "game/progress/AchievementsManager.h"
#include "platform/Bps.h"
#include "platform/Control.h"
#include "platform/Settings.h"
#include "shell/PaymentGlue.h"
#include "testsupport/GamePurchases.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"

namespace {

const char* const kCatalogue = R"(// the shop
name = before_any_entry
purchase = pouch
    name = ID_POUCH
    desc = ID_POUCH_DESC
    desc2 = ID_POUCH_DESC2
    price = "$0.99"
    sprite_id = iap_coins_s
    buttonText_id = ID_BUY
    apple_id = "com.other.pouch"
    android_id = pouch_android
    blackberry_id = "sku_pouch"
    coins = 2500
    purchase = not_a_new_entry
    colour = ignored
end
purchase = inapp_upgrade_points
    blackberry_id = sku_boost
    hide_from_list = 1
    hide_from_list = 0
end
purchase = pouch
    blackberry_id = sku_pouch
    coins = 10
    hide_from_list = 0
end
purchase = open_at_the_end
    hide_from_list = 2
    price = "$1"
)";

using TMessages = std::vector<std::pair<int, std::string>>;

TMessages Queued(const CAchievementsManager& a) {
    TMessages all;
    for (int i = 0; i < a.GetNumQueuedMessages(); ++i) all.emplace_back(a.GetQueuedType(i), Str(a.GetQueuedTitle(i)));
    return all;
}

class PurchaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::SetCommonPak(game, dir.Path("common.pak"), {{"Data\\addcoins.txt", mediatest::ToBytes(kCatalogue)}});
        game.m_pAchievementsManager = new CAchievementsManager(&game);
        ASSERT_EQ(game.m_pAchievementsManager->PostConstruct(), 1);
        game.m_pPurchaseManager = manager = new CInAppPurchaseManager(&game);
        ASSERT_EQ(manager->PostConstruct(), 1);
        player = game.AddPlayer("Ann");
        player->m_nCoins = 100;

        StartPlatform([](platform::TPlatformSettings&) {});
        g_pGame = &game;
    }
    // Starts the platform anew with the test's settings: headless, answers at the next drain.
    template <class F>
    void StartPlatform(F change) {
        bps_shutdown();
        platform::TPlatformSettings s;
        s.mode = platform::DisplayMode::Headless;
        s.clock = platform::ClockKind::Virtual;
        s.payDelayFrames = 0;
        change(s);
        platform::UseSettings(s);
        ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
        // A new platform session: the payment events are asked for again.
        if (manager != nullptr) manager->m_bPaymentEventsRequested = false;
    }
    void TearDown() override {
        bps_shutdown();
        g_pGame = nullptr;
        platform::UseSettings(platform::TPlatformSettings());
    }
    // Drains the answers the stand-in has ready, as the program's loop does; how many there were.
    int DeliverAnswers() { return gametest::DrainPaymentAnswers(); }
    TMessages Messages() const { return Queued(*game.m_pAchievementsManager); }

    CScratchDir dir;
    CProgressTestGame game;
    CInAppPurchaseManager* manager = nullptr;
    TUserProfile* player = nullptr;
};

TEST_F(PurchaseTest, TheCatalogueKeepsFileOrderAndEveryField) {
    ASSERT_EQ(manager->GetNumDefs(), 4);
    const InAppPurchaseDef& pouch = *manager->GetDef(0);
    EXPECT_EQ(Str(pouch.entryName), "pouch");
    EXPECT_EQ(Str(pouch.name), "ID_POUCH");
    EXPECT_EQ(Str(pouch.desc), "ID_POUCH_DESC");
    EXPECT_EQ(Str(pouch.desc2), "ID_POUCH_DESC2");
    EXPECT_EQ(Str(pouch.price), "$0.99") << "quotes removed";
    EXPECT_EQ(Str(pouch.sprite_id), "iap_coins_s");
    EXPECT_EQ(Str(pouch.buttonText_id), "ID_BUY");
    EXPECT_EQ(Str(pouch.apple_id), "com.other.pouch");
    EXPECT_EQ(Str(pouch.android_id), "pouch_android");
    EXPECT_EQ(Str(pouch.blackberry_id), "sku_pouch");
    EXPECT_EQ(pouch.coins, 2500);
    EXPECT_FALSE(pouch.hide_from_list);

    const InAppPurchaseDef* boost = manager->GetUpgradePointsDef();
    ASSERT_EQ(boost, manager->GetDef(1));
    EXPECT_EQ(boost->coins, 0) << "no coins line";
    EXPECT_TRUE(boost->hide_from_list) << "once hidden it stays hidden";
    EXPECT_FALSE(manager->GetDef(2)->hide_from_list);
    EXPECT_TRUE(manager->GetDef(3)->hide_from_list) << "2 hides too";
    EXPECT_EQ(Str(manager->GetDef(3)->price), "$1") << "an entry open at the end keeps what it read";

    EXPECT_EQ(manager->GetInAppPurchaseDef("pouch"), manager->GetDef(2)) << "a repeated name finds the later";
    EXPECT_EQ(manager->FindAppDefBasedOnId("sku_pouch"), manager->GetDef(0)) << "a repeated SKU finds the first";
    EXPECT_EQ(manager->GetInAppPurchaseDef("not_a_new_entry"), nullptr);
    EXPECT_EQ(manager->FindAppDefBasedOnId(""), nullptr);
    EXPECT_EQ(manager->FindAppDefBasedOnId("sku_other"), nullptr);
    EXPECT_TRUE(manager->IsConsumable(manager->GetDef(0)));
    EXPECT_TRUE(manager->IsConsumable(boost));
    EXPECT_FALSE(manager->IsConsumable(manager->GetDef(3)));
}

TEST_F(PurchaseTest, AnEmptyCatalogueReadsAndAMissingOneFails) {
    TParseInput empty;
    CInAppPurchaseManager none(nullptr);
    EXPECT_EQ(none.ReadInAppPurchaseDefsFromInput(empty), 1);
    EXPECT_EQ(none.GetNumDefs(), 0);
    EXPECT_EQ(none.GetUpgradePointsDef(), nullptr);

    mediatest::SetCommonPak(game, dir.Path("other.pak"), {{"Data\\other.txt", mediatest::ToBytes("x")}});
    CInAppPurchaseManager missing(&game);
    EXPECT_EQ(missing.PostConstruct(), 0);
}

TEST_F(PurchaseTest, ACoinPackAddsItsCoinsWithACommaBanner) {
    ASSERT_TRUE(manager->TryToPurchase(manager->GetDef(0)));
    EXPECT_EQ(DeliverAnswers(), 1);
    EXPECT_EQ(player->m_nCoins, 2600);
    EXPECT_EQ(Messages(), (TMessages{{kAwardCoins, "2,500 Coins added!"}}));
}

TEST_F(PurchaseTest, BoostPointsAddFortyAndUnlockTheBoostsOnce) {
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(manager->TryToPurchase(manager->GetUpgradePointsDef()));
        EXPECT_EQ(DeliverAnswers(), 1);
    }
    EXPECT_EQ(player->m_nBoostPoints, 80);
    EXPECT_TRUE(player->IsAchievementAwarded(17));
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(Messages(), (TMessages{{kAwardAchievement + 17, ""},
                                     {kAwardBoostPoints, "40 Boost Points added!"},
                                     {kAwardBoostPoints, "40 Boost Points added!"}}));
}

TEST_F(PurchaseTest, CancelledAndFailedPurchasesOnlyShowTheirBanner) {
    StartPlatform([](platform::TPlatformSettings& s) { s.pay = {platform::PayOutcome::Cancel, 0, ""}; });
    ASSERT_TRUE(manager->TryToPurchase(manager->GetDef(0)));
    EXPECT_EQ(DeliverAnswers(), 1);
    StartPlatform([](platform::TPlatformSettings& s) { s.pay = {platform::PayOutcome::Fail, 3, "busy"}; });
    ASSERT_TRUE(manager->TryToPurchase(manager->GetDef(0)));
    EXPECT_EQ(DeliverAnswers(), 1);
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(Messages(), (TMessages{{kAwardPurchaseFailed, "In-App Purchase Cancelled!"},
                                     {kAwardPurchaseFailed, "In-App Purchase Error!"}}));
}

TEST_F(PurchaseTest, ARequestThatCannotBeMadeFinishesWithAnErrorOnTheNextFrame) {
    struct TRefusal {
        const char* call;
    } refusals[] = {{"paymentservice_request_events"}, {"paymentservice_purchase_request"}};
    for (const TRefusal& r : refusals) {
        SCOPED_TRACE(r.call);
        platform::FailNextCall(r.call);
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(manager->TryToPurchase(manager->GetDef(0)));
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(game.m_pAchievementsManager->GetNumQueuedMessages(), 0) << "nothing before the next frame";
        manager->RunProcess();
        EXPECT_EQ(DeliverAnswers(), 0) << "no answer will ever come";
        EXPECT_EQ(Messages(), (TMessages{{kAwardPurchaseFailed, "In-App Purchase Error!"}}));
        EXPECT_EQ(player->m_nCoins, 100);
        delete game.m_pAchievementsManager;
        game.m_pAchievementsManager = new CAchievementsManager(&game);
    }
    manager->RunProcess();
    EXPECT_EQ(game.m_pAchievementsManager->GetNumQueuedMessages(), 0) << "each refusal finishes once";
}

TEST_F(PurchaseTest, ThePaymentStandInSellsWhatTheCatalogueOffers) {
    // The program declares the catalogue when it reads it, on a running platform.
    ASSERT_TRUE(manager->PostConstruct_OS_Specific());
    ASSERT_TRUE(manager->TryToPurchase(manager->GetDef(0)));
    EXPECT_EQ(DeliverAnswers(), 1);
    EXPECT_EQ(player->m_nCoins, 100 + 2500);
    // An entry whose SKU changed after the catalogue was declared is not sold.
    manager->GetDef(2)->blackberry_id = "sku_renamed";
    ASSERT_TRUE(manager->TryToPurchase(manager->GetDef(2)));
    EXPECT_EQ(DeliverAnswers(), 1);
    EXPECT_EQ(player->m_nCoins, 100 + 2500);
    EXPECT_EQ(Messages(),
              (TMessages{{kAwardCoins, "2,500 Coins added!"}, {kAwardPurchaseFailed, "In-App Purchase Error!"}}));
}

TEST_F(PurchaseTest, ARestoreNeverCreditsACoinPackAgain) {
    StartPlatform([](platform::TPlatformSettings& s) { s.ownedSkus = {"sku_pouch", "sku_boost"}; });
    ASSERT_TRUE(manager->TryToRestorePurchases());
    EXPECT_EQ(DeliverAnswers(), 1);
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(player->m_nBoostPoints, 0);
    // Nothing was granted again: the restore reports that nothing was missing.
    EXPECT_EQ(Messages(), (TMessages{{kAwardInfo, "There are No Missing"}}));
}

TEST_F(PurchaseTest, WithoutACurrentProfileAPurchaseCreditsNothing) {
    game.Data().m_nCurrentProfile = -1;
    for (InAppPurchaseDef* def : {manager->GetDef(0), manager->GetUpgradePointsDef()}) {
        EXPECT_EQ(manager->ApplyPurchaseResult(def, kPurchaseSuccess), EPurchaseCredit::kNothing);
    }
    EXPECT_FALSE(manager->CreditUpgradePoints());
    EXPECT_EQ(player->m_nCoins, 100);
    EXPECT_EQ(player->m_nBoostPoints, 0);
    EXPECT_FALSE(player->IsAchievementAwarded(17));
    EXPECT_EQ(game.m_pAchievementsManager->GetNumQueuedMessages(), 0);
    EXPECT_EQ(manager->ApplyPurchaseResult(nullptr, kPurchaseSuccess), EPurchaseCredit::kNothing);
}

}  // namespace

namespace {

// A listed coin pack with one line added through `extra`.
std::string Pack(const char* name, const std::string& extra = "") {
    return std::string("purchase = ") + name + "\n  name = ID_" + name + "\n  price = \"$0.99\"\n" +
           "  blackberry_id = sku_" + name + "\n  coins = 150\n" + extra + "end\n";
}

const char* const kBoosts = "purchase = inapp_upgrade_points\n  blackberry_id = sku_boost\n  hide_from_list = 1\nend\n";

TEST(PurchaseCheck, TheCatalogueMustHoldWhatTheShopsSellWithBoundedCoins) {
    std::string sixtyFour = kBoosts, sixtyFive = kBoosts;
    for (int i = 0; i < 63; ++i) sixtyFour += Pack(("p" + std::to_string(i)).c_str());
    sixtyFive = sixtyFour + Pack("more");
    struct TCase {
        std::string table;
        const char* failure;  // empty: the table passes
        const char* why;
    } cases[] = {
        {Pack("pouch") + kBoosts, "", "a pack and the boost points"},
        {sixtyFour, "", "64 entries"},
        {Pack("pouch", "  coins = 1000000\n") + Pack("free", "  coins = 0\n") + kBoosts, "",
         "0 and 1,000,000 coins are the edges"},
        {Pack("hidden", "  hide_from_list = 1\n  name = \"\"\n  price = \"\"\n") + kBoosts, "",
         "a hidden entry needs no title or price"},
        {"", "Data\\addcoins.txt: no purchase record", "an empty table"},
        {"\x89PNG\r\n\x1a\n this is no picture ", "Data\\addcoins.txt: no purchase record", "garbage"},
        {Pack("pouch") + Pack("sack"), "Data\\addcoins.txt: no purchase inapp_upgrade_points, which the boosts",
         "a table cut before its last entry"},
        {kBoosts + Pack("pouch") + "purchase = sack\n  name = ID_SACK\n",
         "Data\\addcoins.txt: the file ends inside the record of the purchase sack (no \"end\"): it is cut short",
         "a table cut inside an entry"},
        {sixtyFive, "Data\\addcoins.txt: 65 purchase records, more than the 64 a table may have", "too many"},
        {Pack("pouch", "  coins = 1000001\n") + kBoosts,
         "Data\\addcoins.txt: the purchase pouch gives 1000001 coins, outside 0 to 1000000", "past the bound"},
        {Pack("pouch", "  coins = -1\n") + kBoosts, "Data\\addcoins.txt: the purchase pouch gives -1 coins",
         "negative"},
        {Pack("pouch", "  coins = 4294967446\n") + kBoosts,
         "Data\\addcoins.txt: the purchase pouch gives 2147483647 coins", "a number that would wrap into 150"},
        {Pack("pouch", "  price = \"\"\n") + kBoosts,
         "Data\\addcoins.txt: the listed purchase pouch has no title (name) or no price", "no price"},
        {"purchase = \"\"\n  blackberry_id = x\nend\n" + std::string(kBoosts),
         "Data\\addcoins.txt: purchase record 1 has no name", "no name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TParseInput input;
        input.bytes = c.table.data();
        input.size = static_cast<int>(c.table.size());
        input.name = "addcoins";
        CInAppPurchaseManager manager(nullptr);
        ASSERT_EQ(manager.ReadInAppPurchaseDefsFromInput(input), 1);
        CommonString failure;
        EXPECT_EQ(manager.CheckTable(failure), c.failure[0] == '\0');
        EXPECT_EQ(Str(failure).substr(0, std::strlen(c.failure)), c.failure);
    }
}

}  // namespace
