// Purchases through the payment stand-in, as the program makes them: the wait dialog on the open
// screen, the answer drained from the event loop, then for every result its banner (type, title,
// text), what changed in the profile, and who was told.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "RootOnlyScreens.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UserProfile.h"
#include "platform/Bps.h"
#include "platform/Control.h"
#include "platform/Settings.h"
#include "shell/PaymentGlue.h"
#include "testsupport/GamePurchases.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/TestTheGame.h"

namespace {

using gametest::TBanner;
using mediatest::ToBytes;

constexpr const char* kCatalogue =
    "purchase = pile\n blackberry_id = sku_pile\n coins = 1000\nend\n"
    "purchase = inapp_upgrade_points\n blackberry_id = sku_boost\nend\n"
    "purchase = garden_gnome\n blackberry_id = sku_gnome\nend\n";

constexpr const char* kTemplate =
    "root = root_play\nend\nroot = root_upgrades\nend\n"
    "dialog = dlg_InAppWait\nend\n"
    "action = \"acn_show_in_app_wait\"\n create = dlg_InAppWait\nend\n"
    "action = \"acn_hide_in_app_wait\"\n destroy = dlg_InAppWait\nend\n";

std::vector<std::string> g_Log;

// A screen that notes the purchase message 1017 it hears.
template <class W>
class TLogged : public W {
public:
    using W::W;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (code == MSG_PURCHASES_CHANGED) g_Log.push_back(std::string("1017 ") + XIdText(wparam));
        if (code == XMSG_ACTION_DONE && logActions) g_Log.push_back(XIdText(wparam));
        return W::OnMessage(sender, code, wparam, lparam);
    }
    bool logActions = false;  // the wait dialog's actions as the screen runs them
};

class CLoggedBoosts : public TLogged<CRootOnlyUpgrades> {
public:
    using TLogged<CRootOnlyUpgrades>::TLogged;
    void OnInAppPurchaseBoostPoints() override { g_Log.push_back("boosts screen keeps 40"); }
};

class CShopGame : public CTestTheGame {
public:
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Play) return new TLogged<CRootOnlyPlay>(this);
        if (kind == EScreen::Upgrades) return new CLoggedBoosts(this);
        return CTheGame::NewScreen(kind, a, b);
    }
};

class TheGamePurchases : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        g_Log.clear();
        mediatest::SetCommonPak(game, dir.Path("shop.pak"),
                                {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)},
                                 {"Data\\addcoins.txt", ToBytes(kCatalogue)},
                                 {"i_vga\\particles\\line_circle.png",
                                  mediatest::EncodePng(mediatest::MakeImage(8, 20, {255, 255, 255, 255}))}});
        ASSERT_NE(MakeGlTestScreen(&game, 320, 480), nullptr);
        game.m_pAchievementsManager = new CAchievementsManager(&game);
        ASSERT_EQ(game.m_pAchievementsManager->PostConstruct(), 1);
        game.m_pPurchaseManager = new CInAppPurchaseManager(&game);
        ASSERT_EQ(game.m_pPurchaseManager->PostConstruct(), 1);
        ASSERT_TRUE(game.CreateApplicationData());
        ASSERT_EQ(game.CreateNewUserProfile(), 0);
        player = game.GetCurrentProfile();
        player->m_nCoins = 100;
        g_pGame = &game;
        ASSERT_TRUE(game.RunPlayScreen());
        for (int i = 0; i < 16; ++i) game.RunProcess();
    }
    void TearDown() override {
        bps_shutdown();
        g_pGame = nullptr;
        platform::UseSettings(platform::TPlatformSettings());
    }
    // A fresh platform whose payment stand-in answers as `pay` says, at the next drain.
    void Platform(platform::TPayAnswerPlan pay, std::vector<std::string> owned = {}) {
        ASSERT_TRUE(gametest::StartPaymentPlatform(std::move(pay), std::move(owned)));
        game.m_pPurchaseManager->m_bPaymentEventsRequested = false;
    }
    // The program's loop: every answer the stand-in has ready.
    void DrainAnswers() { (void)gametest::DrainPaymentAnswers(); }
    // The banners queued since the first `from`.
    std::vector<TBanner> BannersFrom(int from) { return gametest::QueuedBanners(*game.m_pAchievementsManager, from); }
    int Queued() { return game.m_pAchievementsManager->GetNumQueuedMessages(); }
    XWidget* WaitDialog() { return game.m_pPlayScreen->FindChildWithWidgetId("dlg_InAppWait"); }
    InAppPurchaseDef* Entry(const char* name) { return game.m_pPurchaseManager->GetInAppPurchaseDef(name); }

    mediatest::CHeadlessGl gl{32, 32};
    CScratchDir dir;
    CShopGame game;
    TUserProfile* player = nullptr;
};

struct TPurchaseCase {
    const char* why;
    platform::TPayAnswerPlan pay;
    const char* entry;
    std::vector<TBanner> banners;
    int coins;
};

TEST_F(TheGamePurchases, EachAnswerToAPurchaseGivesItsBannerAndChange) {
    using platform::PayOutcome;
    const TPurchaseCase cases[] = {
        {"a coin pack", {PayOutcome::Accept, 0, {}}, "pile", {{kAwardCoins, "1,000 Coins added!", ""}}, 1100},
        {"cancelled",
         {PayOutcome::Cancel, 0, {}},
         "pile",
         {{kAwardPurchaseFailed, "In-App Purchase Cancelled!", ""}},
         100},
        {"refused by the service",
         {PayOutcome::Fail, 7, "Server down"},
         "pile",
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}},
         100},
        {"the service's cancel id",
         {PayOutcome::Fail, 1, {}},
         "pile",
         {{kAwardPurchaseFailed, "In-App Purchase Cancelled!", ""}},
         100},
        {"bought before: granted again",
         {PayOutcome::Fail, 5, {}},
         "pile",
         {{kAwardCoins, "1,000 Coins added!", ""}},
         1100},
    };
    for (const TPurchaseCase& c : cases) {
        SCOPED_TRACE(c.why);
        Platform(c.pay);
        player->m_nCoins = 100;
        const int from = Queued();
        game.InAppPurchaseCalled(Entry(c.entry));
        ASSERT_NE(WaitDialog(), nullptr) << "the wait dialog shows while the service answers";
        DrainAnswers();
        EXPECT_EQ(BannersFrom(from), c.banners);
        EXPECT_EQ(player->m_nCoins, c.coins);
        EXPECT_TRUE(WaitDialog() == nullptr || WaitDialog()->IsDestroyPending()) << "the answer takes it down";
        game.RunProcess();
        EXPECT_EQ(WaitDialog(), nullptr);
        EXPECT_TRUE(g_Log.empty()) << "coin packs and failures send no 1017";
    }
}

TEST_F(TheGamePurchases, BoostPointsReachTheProfileTheBoostsScreenAndTheOpenScreen) {
    Platform({platform::PayOutcome::Accept, 0, {}});
    const int from = Queued();
    game.InAppPurchaseCalled(Entry("inapp_upgrade_points"));
    DrainAnswers();
    EXPECT_EQ(player->m_nBoostPoints, 40);
    EXPECT_TRUE(player->IsAchievementAwarded(17));
    const std::vector<TBanner> banners = BannersFrom(from);
    ASSERT_FALSE(banners.empty());
    EXPECT_EQ(banners.back(), (TBanner{kAwardBoostPoints, "40 Boost Points added!", ""}));
    EXPECT_EQ(g_Log, std::vector<std::string>{"1017 inapp_upgrade_points"});

    g_Log.clear();
    ASSERT_TRUE(game.RunUpgradesScreen());
    for (int i = 0; i < 16; ++i) game.RunProcess();
    game.InAppPurchaseCalled(Entry("inapp_upgrade_points"));
    DrainAnswers();
    EXPECT_EQ(player->m_nBoostPoints, 80);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"boosts screen keeps 40", "1017 inapp_upgrade_points"}));
}

struct TRestoreCase {
    const char* why;
    platform::TPayAnswerPlan pay;
    std::vector<std::string> owned;
    std::vector<TBanner> banners;
};

TEST_F(TheGamePurchases, EachAnswerToARestoreGivesItsBanner) {
    using platform::PayOutcome;
    const TRestoreCase cases[] = {
        {"nothing owned", {PayOutcome::Accept, 0, {}}, {}, {{kAwardPurchaseFailed, "No Purchases to Restore!", ""}}},
        {"only used-up packs owned",
         {PayOutcome::Accept, 0, {}},
         {"sku_pile"},
         {{kAwardInfo, "There are No Missing", "In-App Purchases on this Device!"}}},
        {"a lasting item owned",
         {PayOutcome::Accept, 0, {}},
         {"sku_gnome"},
         {{kAwardCoins, "0 Coins added!", ""}, {kAwardInfo, "Restore Transactions", "successfully completed!"}}},
        {"the service fails", {PayOutcome::Fail, 2, {}}, {}, {{kAwardPurchaseFailed, "Restore Purchases Error!", ""}}},
    };
    for (const TRestoreCase& c : cases) {
        SCOPED_TRACE(c.why);
        Platform(c.pay, c.owned);
        const int from = Queued();
        game.InAppPurchasesRestoreCalled();
        ASSERT_NE(WaitDialog(), nullptr);
        DrainAnswers();
        EXPECT_EQ(BannersFrom(from), c.banners);
        game.RunProcess();
        EXPECT_EQ(WaitDialog(), nullptr);
        EXPECT_EQ(player->m_nCoins, 100) << "a restore never gives a coin pack again";
    }
}

TEST_F(TheGamePurchases, StoreResultsByCodeAndProductId) {
    int from = Queued();
    game.OnBillingResult(2, CommonString());
    EXPECT_EQ(BannersFrom(from), (std::vector<TBanner>{{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}));
    from = Queued();
    game.OnBillingResult(-1, CommonString("sku_pile"));
    game.OnBillingResult(0, CommonString("sku_unknown"));
    EXPECT_EQ(Queued(), from) << "a negative code and an unknown product change nothing";
    EXPECT_EQ(player->m_nCoins, 100);
    game.OnBillingResult(0, CommonString("sku_pile"));
    EXPECT_EQ(player->m_nCoins, 1100);

    // A result the game does not know only takes the wait dialog down.
    game.ShowWaitDialog();
    ASSERT_NE(WaitDialog(), nullptr);
    from = Queued();
    game.OnBillingResult(9, CommonString("sku_pile"));
    EXPECT_EQ(Queued(), from);
    EXPECT_EQ(player->m_nCoins, 1100);
    game.RunProcess();
    EXPECT_EQ(WaitDialog(), nullptr);
}

TEST_F(TheGamePurchases, TheLikeRewardIsGivenOncePerProfileAndThePageAlwaysOpens) {
    (void)platform::TakeCallLog();
    const int from = Queued();
    game.LikeOnFacebook(Entry("pile"));
    game.LikeOnFacebook(Entry("pile"));
    EXPECT_EQ(player->m_nCoins, 1100);
    EXPECT_TRUE(player->m_bLikeRewardGiven);
    EXPECT_TRUE(player->m_bCoinShopButtonShown);
    EXPECT_EQ(BannersFrom(from), (std::vector<TBanner>{{kAwardLikeCoins, "1000 Coins added!", ""}}));
    const std::vector<std::string> calls = platform::TakeCallLog();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "navigator_invoke https://social.cobblebrooks.example/"), 2);
}

struct TWaitCase {
    const char* why;
    std::function<void()> start;
    std::vector<std::string> logAtOnce;  // the actions run by the purchase call itself
    std::vector<TBanner> banners;
};

TEST_F(TheGamePurchases, TheWaitDialogGoesUpAndDownInThatOrderAlsoWhenTheAnswerComesAtOnce) {
    const TWaitCase cases[] = {
        {"no entry to ask for: it fails inside the call",
         [this] { game.InAppPurchaseCalled(nullptr); },
         {"acn_show_in_app_wait", "acn_hide_in_app_wait"},
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
        {"the stand-in refuses the request: it fails on the next frame",
         [this] {
             platform::FailNextCall("paymentservice_purchase_request");
             game.InAppPurchaseCalled(Entry("pile"));
         },
         {"acn_show_in_app_wait"},
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
        {"an answer from the service",
         [this] {
             game.InAppPurchaseCalled(Entry("pile"));
             DrainAnswers();
         },
         {"acn_show_in_app_wait", "acn_hide_in_app_wait"},
         {{kAwardCoins, "1,000 Coins added!", ""}}},
    };
    auto* play = dynamic_cast<TLogged<CRootOnlyPlay>*>(game.m_pPlayScreen);
    ASSERT_NE(play, nullptr);
    play->logActions = true;
    for (const TWaitCase& c : cases) {
        SCOPED_TRACE(c.why);
        Platform({platform::PayOutcome::Accept, 0, {}});
        g_Log.clear();
        const int from = Queued();
        ::testing::internal::CaptureStderr();
        c.start();
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(g_Log, c.logAtOnce);
        for (int i = 0; i < 10; ++i) game.RunProcess();
        EXPECT_EQ(g_Log, (std::vector<std::string>{"acn_show_in_app_wait", "acn_hide_in_app_wait"}));
        EXPECT_EQ(WaitDialog(), nullptr) << "no wait dialog is left over the screen";
        EXPECT_EQ(BannersFrom(from), c.banners);
    }
}

TEST_F(TheGamePurchases, WithoutAPurchaseManagerAPurchaseTakesItsWaitDialogDownAtOnce) {
    delete game.m_pPurchaseManager;
    game.m_pPurchaseManager = nullptr;
    game.InAppPurchaseCalled(nullptr);
    for (int i = 0; i < 10; ++i) game.RunProcess();
    EXPECT_EQ(WaitDialog(), nullptr);
}

}  // namespace
