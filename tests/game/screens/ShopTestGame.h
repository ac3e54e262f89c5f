#pragma once
// The game on the real pak with what the boosts screen and the coin shop need, as the loader
// would leave it: the fonts, the "ui" sprite sets, the boost table, the achievements, the coin-shop
// catalogue and a player, on a screen of the size a suite asks for (320 x 480 unless it asks for
// another). Purchases go through the payment stand-in and the program's handler of its answers.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "FrontEndTestGame.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "platform/Bps.h"
#include "platform/Settings.h"
#include "render/DibBitmap.h"
#include "shell/PaymentGlue.h"
#include "testsupport/GamePurchases.h"
#include "ui/UILayout.h"

namespace shoptest {

using Pixel = std::array<std::uint8_t, 4>;
using gametest::TBanner;

inline int Count(const mediatest::TImage& img, int x0, int y0, int x1, int y1,
                 const std::function<bool(const Pixel&)>& test) {
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, img.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, img.width); ++x) n += test(img.At(x, y)) ? 1 : 0;
    return n;
}

// The sum of r + g + b over a rectangle.
inline long Sum(const mediatest::TImage& img, int x0, int y0, int x1, int y1) {
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Pixel p = img.At(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum;
}

class ShopTest : public FrontEndTest {
protected:
    explicit ShopTest(int w = 320, int h = 480) : m_nWidth(w), m_nHeight(h) {}
    TCoord2D ScreenSize() const override { return {m_nWidth, m_nHeight}; }
    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped()) return;
        LoadUiSprites();
        game.m_pUpgradeManager = new CUpgradeManager(&game);
        ASSERT_TRUE(game.m_pUpgradeManager->PostConstruct());
        game.m_pAchievementsManager = new CAchievementsManager(&game);
        ASSERT_EQ(game.m_pAchievementsManager->PostConstruct(), 1);
        game.m_pPurchaseManager = new CInAppPurchaseManager(&game);
        ASSERT_EQ(game.m_pPurchaseManager->PostConstruct(), 1);
        AddPlayer("Ada");
        g_pGame = &game;
    }
    void TearDown() override {
        bps_shutdown();
        g_pGame = nullptr;
        platform::UseSettings(platform::TPlatformSettings());
        FrontEndTest::TearDown();
    }

    TUserProfile& Player() { return *game.GetCurrentProfile(); }
    // A tap through the game's pointer entry, in logical pixels.
    void Tap(int x, int y) {
        game.NotifyPointerEvent(x, y, 1);
        game.NotifyPointerEvent(x, y, 2);
    }

    // A fresh platform whose payment stand-in answers as `pay` says at the next drain, and sells
    // what the catalogue offers, as the program starts it.
    void Platform(platform::TPayAnswerPlan pay) {
        ASSERT_TRUE(gametest::StartPaymentPlatform(std::move(pay)));
        game.m_pPurchaseManager->m_bPaymentEventsRequested = false;
        ASSERT_TRUE(game.m_pPurchaseManager->PostConstruct_OS_Specific());
    }
    void DrainAnswers() { (void)gametest::DrainPaymentAnswers(); }
    int Queued() { return game.m_pAchievementsManager->GetNumQueuedMessages(); }
    std::vector<TBanner> BannersFrom(int from) { return gametest::QueuedBanners(*game.m_pAchievementsManager, from); }

    int m_nWidth, m_nHeight;
};

}  // namespace shoptest
