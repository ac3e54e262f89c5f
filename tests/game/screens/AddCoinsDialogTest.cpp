// The coin shop on the real pak, opened on a screen that carries it as the play screen will (its
// action, its list from the top, a click on a row answered as the shop's): which entries get rows,
// what a row shows and where it takes touches, where the list opens, and buying through the
// payment stand-in. Sizes come from the art's stated sizes (buy button 186 x 40, coin icon
// 16 x 16) and the texts from the game's text table.
//
// Pictures stay in build/<preset>/screens/coin-shop/ to be looked at.
#include "game/screens/AddCoinsDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ShopTestGame.h"
#include "core/Parser.h"
#include "game/app/TheGameOf.h"
#include "ui/WidgetMakers.h"
#include "game/widgets/InAppWaitDlg.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/ShopScrollItemsDialog.h"
#include "platform/Control.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSetManager.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

using namespace shoptest;

constexpr int kButtonW = 186, kButtonH = 40;
constexpr int kCoinIconW = 16;

// The screen that carries the shop: the play screen's answers on the credits screen's root,
// without the play screen's buttons (which need the arena table and the farm) and its sun.
class CShopHost : public CXPlayScreen {
public:
    explicit CShopHost(CXElement* parent) : CXPlayScreen(parent) { m_bLivePostEffect = false; }
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_about"); }
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (AnswerCoinShopMessage(TheGameOf(this), sender, code, wparam)) return 1;
        return CXPlayScreen::OnMessage(sender, code, wparam, lparam);
    }
};

class CoinShopTest : public ShopTest {
protected:
    explicit CoinShopTest(int w = 320, int h = 480) : ShopTest(w, h) {}
    void SetUp() override {
        ShopTest::SetUp();
        if (IsSkipped()) return;
        game.screenMaker = [](EScreen kind, CTheGame* g) -> XGameRoot* {
            return kind == EScreen::Play ? new CShopHost(g) : nullptr;
        };
    }
    // More catalogue entries after the real ones.
    void AddEntries(const std::string& text) {
        TParseInput input = ParseInputOf({text.data(), text.size()}, "extra");
        ASSERT_EQ(game.m_pPurchaseManager->ReadInAppPurchaseDefsFromInput(input), 1);
    }
    // The host with the shop open and built.
    CXAddCoinsFullScreenContainerDlg* OpenShop(int ticks = 12) {
        if (game.m_pPlayScreen == nullptr) {
            EXPECT_TRUE(game.RunPlayScreen());
            Ticks(17);
        }
        EXPECT_EQ(game.m_pPlayScreen->DoAction(CommonString("ui_main.txt"), CommonString("acn_addcoins_on")), 1);
        auto* shop = dynamic_cast<CXAddCoinsFullScreenContainerDlg*>(
            game.m_pPlayScreen->FindChildWithWidgetId("dlg_addcoins"));
        EXPECT_NE(shop, nullptr);
        Ticks(ticks);
        return shop;
    }
    std::vector<std::string> RowIds(CXAddCoinsFullScreenContainerDlg* shop) {
        std::vector<std::string> ids;
        CXShopScrollItemsDialog* list = shop->GetList();
        for (int i = 0; i < list->GetChildCount(); ++i)
            ids.push_back(static_cast<XWidget*>(list->GetChildPtrAt(i))->GetRecord()->name.GetDataConst());
        return ids;
    }
    CXAddCoinsScrollItem* Row(CXAddCoinsFullScreenContainerDlg* shop, int i) {
        return dynamic_cast<CXAddCoinsScrollItem*>(shop->GetList()->GetChildPtrAt(i));
    }
    XWidget* WaitDialog() { return game.m_pPlayScreen->FindChildWithWidgetId("dlg_InAppWait"); }
};

TEST_F(CoinShopTest, OnlyListedEntriesGetRowsInCatalogueOrder) {
    AddEntries(
        "purchase = hidden_pack\n coins = 9\n hide_from_list = 2\nend\n"
        "purchase = inapp_free_coins\n coins = 9\nend\n"
        "purchase = inapp_facebook\n coins = 9\nend\n"
        "purchase = shown_pack\n price = \"$1\"\n hide_from_list = 0\nend\n");
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(shop->GetList()->IsCoinsOnly());
    EXPECT_EQ(RowIds(shop), (std::vector<std::string>{"coins_pouch", "coins_sack", "coins_chest", "coins_treasure",
                                                      "shown_pack"}));
    KeepPicture(Frame(), "coin-shop", "rows.png");
}

TEST_F(CoinShopTest, ARowShowsItsTextsAndItsPriceOrItsOwnButtonText) {
    AddEntries("purchase = worded_pack\n name = ID_IAP_POUCH_NAME\n price = \"$3\"\n buttonText_id = ID_UI_BUY\nend\n");
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    CXAddCoinsScrollItem* pouch = Row(shop, 0);
    CXAddCoinsScrollItem* worded = Row(shop, 4);
    ASSERT_TRUE(pouch != nullptr && worded != nullptr);
    EXPECT_STREQ(pouch->GetButtonText().GetDataConst(), "$0.99");
    EXPECT_STREQ(worded->GetButtonText().GetDataConst(), "Buy");
    EXPECT_STREQ(pouch->GetTitle().GetDataConst(), "Pouch of coins");
    EXPECT_STREQ(pouch->GetDescription().GetDataConst(), "Adds 150    to your purse");
    EXPECT_STREQ(pouch->GetDescription2().GetDataConst(), "Enough for a new bird!");
    EXPECT_EQ(worded->GetDescription().Length(), 0);
    EXPECT_EQ(worded->GetCoinIconOffset(), -1) << "no blanks kept for the icon: no icon";
}

struct TRunCase {
    const char* text;
    int place;
};

TEST(CoinShopText, TheCoinIconGoesOnTheLastFourBlanksThatFollowOneAnother) {
    const TRunCase cases[] = {
        {"Adds 150    to your purse", 8}, {"a    b    c", 6}, {"x      y", 3}, {"    lead", 0},
        {"tail    ", 4},                  {"a   b", -1},      {"", -1},         {nullptr, -1},
    };
    for (const TRunCase& c : cases) EXPECT_EQ(LastRunOfFourBlanks(c.text), c.place) << (c.text ? c.text : "null");
}

TEST_F(CoinShopTest, TheCoinIconIsCentredOnThoseBlanks) {
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    CBitmapFontText* small = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(small, nullptr);
    const int expected = small->Length2("Adds 150") + (small->Length2("    ") - kCoinIconW) / 2;
    EXPECT_EQ(Row(shop, 0)->GetCoinIconOffset(), expected);
    const int chest = small->Length2("Adds 1,500") + (small->Length2("    ") - kCoinIconW) / 2;
    EXPECT_EQ(Row(shop, 2)->GetCoinIconOffset(), chest);
}

struct TSqueezeCase {
    const char* why;
    int left, right, width;
    bool squeezed;
    double across, down;
};

TEST(CoinShopText, ATextTooWideForItsColumnIsSqueezedToEndBeforeItsEdge) {
    const TSqueezeCase cases[] = {
        {"300 in a column of 100", 0, 100, 300, true, 99.0 / 300, 1 - (1 - 99.0 / 300) / 2},
        {"fits with a pixel to spare", 10, 110, 99, false, 1, 1},
        {"ends on the edge", 10, 110, 100, true, 0.99, 0.995},
        {"twice too wide", 124, 320, 392, true, 195.0 / 392, 1 - (1 - 195.0 / 392) / 2},
    };
    for (const TSqueezeCase& c : cases) {
        SCOPED_TRACE(c.why);
        const TSqueeze s = SqueezeToColumn(c.left, c.right, c.width);
        EXPECT_EQ(s.squeezed, c.squeezed);
        EXPECT_NEAR(s.scaleX / 65536.0, c.across, 1.0 / 65536);
        EXPECT_NEAR(s.scaleY / 65536.0, c.down, 1.0 / 65536);
    }
    EXPECT_NEAR(SqueezeToColumn(0, 100, 300).scaleY / 65536.0, 0.665, 0.001);
}

TEST_F(CoinShopTest, TheBuyButtonEndsTenPixelsInFromTheRightAndAloneTakesTouches) {
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    CXAddCoinsScrollItem* row = Row(shop, 1);
    const TCoordRect2D b = row->GetButtonRect();
    EXPECT_EQ(b.x, 320 - 10 - kButtonW);
    EXPECT_EQ(b.y, 122 - kButtonH);
    EXPECT_EQ(b.width, kButtonW);
    const TCoordRect2D r = row->GetDrawingRect();
    EXPECT_TRUE(row->Contains(r.x + b.x, r.y + b.y));
    EXPECT_TRUE(row->Contains(r.x + b.x + b.width, r.y + b.y + b.height));
    EXPECT_FALSE(row->Contains(r.x + b.x - 1, r.y + b.y + 4));
    EXPECT_FALSE(row->Contains(r.x + b.x + 4, r.y + b.y - 1));
    EXPECT_FALSE(row->Contains(r.x + 40, r.y + 40)) << "the picture";
}

TEST_F(CoinShopTest, TheListOpensAtItsTopAgainAfterAScroll) {
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    CXShopScrollItemsDialog* list = shop->GetList();
    const FIXED_FLOAT top = list->GetTopLimit();
    EXPECT_EQ(list->GetScrollPosition(), top);
    // Row 0 starts 20 pixels below the list's top, the next a row and a gap further.
    EXPECT_EQ(Row(shop, 0)->GetDrawingRect().y, list->GetListArea().y + 20);
    EXPECT_EQ(Row(shop, 1)->GetDrawingRect().y, list->GetListArea().y + 20 + 128);

    // Dragged up between the rows' buttons, then let go: the list stays down.
    const int x = 60;
    game.NotifyPointerEvent(x, 400, 1);
    for (int y = 380; y >= 240; y -= 20) game.NotifyPointerEvent(x, y, 3);
    game.NotifyPointerEvent(x, 240, 2);
    Ticks(40);
    ASSERT_GT(list->GetScrollPosition(), top);

    shop->SheduleDestroyWithEffect(0, 0);
    Ticks(2);
    ASSERT_EQ(game.m_pPlayScreen->FindChildWithWidgetId("dlg_addcoins"), nullptr);
    CXAddCoinsFullScreenContainerDlg* again = OpenShop();
    EXPECT_EQ(again->GetList()->GetScrollPosition(), again->GetList()->GetTopLimit());
}

TEST_F(CoinShopTest, ThePendingAddCoinsFlagOpensTheListNearItsEndOnce) {
    game.m_bPendingAddCoins = true;
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop(1);
    EXPECT_FALSE(game.m_bPendingAddCoins);
    CXShopScrollItemsDialog* list = shop->GetList();
    // Four rows of 120 with gaps of 8 and 20 pixels of room: shorter than the list, so its end
    // is its top, and 26 pixels and two rows above it lies above the top.
    const TCoordRect2D area = list->GetListArea();
    const int content = 4 * 120 + 3 * 8;
    const FIXED_FLOAT top = (-area.y - 20) * 256;
    const FIXED_FLOAT end = std::max((content + 20 - area.y - area.height) * 256, top);
    EXPECT_EQ(list->GetTopLimit(), top);
    EXPECT_EQ(list->GetBottomLimit(), end);
    EXPECT_EQ(list->GetScrollPosition(), end - 26 * 256 - 2 * 120 * 256);
    // From there it springs back to its top.
    Ticks(60);
    EXPECT_EQ(list->GetScrollPosition(), top);

    // The next opening is a plain one again.
    shop->SheduleDestroyWithEffect(0, 0);
    Ticks(2);
    EXPECT_EQ(OpenShop(1)->GetList()->GetScrollPosition(), top);
}

TEST_F(CoinShopTest, ARowWhoseSpriteIsMissingEndsTheListThereWithTheRowsBeforeItLaidOut) {
    CSpriteSet* sack = game.m_pSpriteSetManager->GetSpriteSetNamed("iap_coins_m");
    ASSERT_NE(sack, nullptr);
    sack->m_uNameHash ^= 1;  // hidden from look-ups by name
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    sack->m_uNameHash ^= 1;
    EXPECT_EQ(RowIds(shop), (std::vector<std::string>{"coins_pouch"}));
    CXShopScrollItemsDialog* list = shop->GetList();
    EXPECT_EQ(Row(shop, 0)->GetDrawingRect().y, list->GetListArea().y + 20);
    EXPECT_EQ(Row(shop, 0)->GetDrawingRect().height, 120);
}

TEST_F(CoinShopTest, TheShopShowsThePlayersCoinsAndItsRowsAsDrawn) {
    Player().m_nCoins = 1234;
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "coin-shop", "shop.png");
    const auto gold = [](const Pixel& p) { return p[0] > 200 && p[1] > 150 && p[2] < 110; };
    CBitmapFontText* title = game.m_Fonts[kGameFontButton];
    CBitmapFontText* small = game.m_Fonts[kGameFontSmall];
    // The coin icon stands on the first description line (raised 5 pixels above its place under
    // the title, as a second line follows), on the blanks kept for it; on a line too wide for
    // its column, squeezed with the line.
    // The coin icon drawn alone at (40, 40) on black: where its gold lies within its 16 x 16.
    IDibBitmap* back = shop->GetBackBuffer();
    IDibBitmap* icon = game.m_pSpriteSetManager->GetSpriteSetNamed("shop_coin_icon")->GetFrame(0);
    ASSERT_EQ(icon->m_Height, 16);
    back->ClearBitmap(0, 0, 0);
    BitBlt_Clipped(back, icon, 40, 40, 0, 0, 0, 0, 0, TCoordRect2D{0, 0, 320, 480}, 0);
    const mediatest::TBox alone = mediatest::FindBoxIn(gl->Read(), 30, 70, gold, 30, 70);
    ASSERT_FALSE(alone.Empty());
    for (int i : {0, 2}) {
        SCOPED_TRACE(i);
        CXAddCoinsScrollItem* row = Row(shop, i);
        const TCoordRect2D r = row->GetDrawingRect();
        const int left = r.x + row->GetButtonRect().x;
        const int lineWidth = small->Length2(row->GetDescription().GetDataConst());
        const double squeeze = left + lineWidth < r.x + r.width ? 1.0 : (r.x + r.width - 1.0 - left) / lineWidth;
        const int iconX = left + static_cast<int>(row->GetCoinIconOffset() * squeeze);
        const int iconY = r.y + 2 + title->GetCharHeight() - 5 + (small->GetCharHeight() - 16) / 2;
        EXPECT_GT(Count(frame, iconX, iconY, iconX + 16, iconY + 16, gold), 50);
        EXPECT_LT(Count(frame, iconX - 30, iconY, iconX - 14, iconY + 16, gold), 10) << "nothing left of it";
        EXPECT_LT(Count(frame, iconX, iconY + 16, iconX + 16, iconY + 21, gold), 10) << "nor below its line";
        // Its gold stands in the row where the icon's own gold stands in the icon drawn alone.
        const mediatest::TBox coin = mediatest::FindBoxIn(frame, iconX - 2, iconX + 17, gold, r.y, r.y + r.height - 1);
        ASSERT_FALSE(coin.Empty());
        EXPECT_EQ(coin.top, iconY + alone.top - 40);
        EXPECT_EQ(coin.bottom, iconY + alone.bottom - 40);
    }
    EXPECT_GT(small->Length2("Adds 1,500    to your purse"), 320 - 10 - 186) << "the chest's line is squeezed";
    // The player's coins at the top right: the counter's gold coin left of the number.
    EXPECT_GT(Count(frame, 320 - 110, 8, 320, 36, gold), 40);
    // Each button, with its price in orange.
    const auto orange = [](const Pixel& p) { return p[0] > 200 && p[1] > 60 && p[1] < 140 && p[2] < 60; };
    CXAddCoinsScrollItem* row = Row(shop, 0);
    const TCoordRect2D r = row->GetDrawingRect();
    const TCoordRect2D b = row->GetButtonRect();
    EXPECT_GT(Count(frame, r.x + b.x, r.y + b.y, r.x + b.x + b.width, r.y + b.y + b.height, orange), 30);
}

struct TShopPurchaseCase {
    const char* why;
    platform::TPayAnswerPlan pay;
    bool refuseRequest;
    int coins;
    std::vector<TBanner> banners;
};

TEST_F(CoinShopTest, BuyingAPackThroughThePaymentStandIn) {
    using platform::PayOutcome;
    const TShopPurchaseCase cases[] = {
        {"accepted", {PayOutcome::Accept, 0, {}}, false, 100 + 500, {{kAwardCoins, "500 Coins added!", ""}}},
        {"cancelled", {PayOutcome::Cancel, 0, {}}, false, 100, {{kAwardPurchaseFailed, "In-App Purchase Cancelled!", ""}}},
        {"failed", {PayOutcome::Fail, 4, "No network"}, false, 100, {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
        {"the request cannot be made", {PayOutcome::Accept, 0, {}}, true, 100,
         {{kAwardPurchaseFailed, "In-App Purchase Error!", ""}}},
    };
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    for (const TShopPurchaseCase& c : cases) {
        SCOPED_TRACE(c.why);
        Platform(c.pay);
        Player().m_nCoins = 100;
        const int from = Queued();
        if (c.refuseRequest) platform::FailNextCall("paymentservice_purchase_request");
        CXAddCoinsScrollItem* sack = Row(shop, 1);
        const TCoordRect2D r = sack->GetDrawingRect();
        const TCoordRect2D b = sack->GetButtonRect();
        ::testing::internal::CaptureStderr();
        Tap(r.x + b.x + b.width / 2, r.y + b.y + b.height / 2);
        ::testing::internal::GetCapturedStderr();
        ASSERT_NE(WaitDialog(), nullptr) << "the wait dialog shows while the service answers";
        EXPECT_NE(dynamic_cast<CXInAppWaitDlg*>(WaitDialog()), nullptr);
        DrainAnswers();
        Ticks(12);
        EXPECT_EQ(Player().m_nCoins, c.coins);
        EXPECT_EQ(BannersFrom(from), c.banners);
        EXPECT_EQ(WaitDialog(), nullptr) << "and is gone once the answer came";
    }
}

TEST_F(CoinShopTest, TheFreeCoinsEntrySellsNothingAndAnUnknownIdIsNotTheShops) {
    AddEntries("purchase = inapp_free_coins\n coins = 50\n blackberry_id = free\nend\n");
    ASSERT_TRUE(game.RunPlayScreen());
    Ticks(17);
    Player().m_nCoins = 100;
    EXPECT_TRUE(AnswerCoinShopClick(&game, "inapp_free_coins"));
    EXPECT_EQ(WaitDialog(), nullptr);
    EXPECT_FALSE(AnswerCoinShopClick(&game, "btn_addcoins_close"));
    EXPECT_FALSE(AnswerCoinShopClick(&game, nullptr));
    EXPECT_EQ(Player().m_nCoins, 100);
}

class WideCoinShopTest : public CoinShopTest {
protected:
    WideCoinShopTest() : CoinShopTest(480, 480) {}
};

TEST_F(WideCoinShopTest, TheButtonsKeepToTheCentralColumn) {
    CXAddCoinsFullScreenContainerDlg* shop = OpenShop();
    const TCoordRect2D b = Row(shop, 0)->GetButtonRect();
    EXPECT_EQ(b.x + b.width, 80 + 320 - 10) << "ten pixels in from the column's right edge";
    KeepPicture(Frame(), "coin-shop", "wide.png");
}

}  // namespace
