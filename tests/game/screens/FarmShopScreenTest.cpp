// The farm shop on the real pak: its rows over seeded profiles and yards (what they list, the star
// preview and its bar, who can afford what, the icon's fit, the name's squeeze), the screen's
// remembered tabs and offsets, the hand-off of a confirmed purchase to the yard, the coin tab's
// purchase through the payment stand-in, and a screen missing a required part. Expected numbers
// are worked out by hand from the yards' thresholds and the art's stated sizes (row 120, buy
// button 186 x 40, bars 90 x 10 with 5 + 6 pixels of ends, icon frame 112).
//
// Pictures stay in build/<preset>/screens/farm-shop/ to be looked at.
#include "game/screens/FarmShopScreen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FarmScreensTestGame.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "game/widgets/InAppWaitDlg.h"
#include "game/screens/ShopScrollItem.h"
#include "game/screens/ShopScrollItemsDialog.h"
#include "render/DibBitmap.h"
#include "text/BitmapFont.h"
#include "ui/GameProgress.h"

namespace {

using namespace farmscreens;
using shoptest::Count;
using shoptest::Sum;

constexpr int kListTop = 90;  // the list under the tabs
constexpr int kRowStride = 128;
constexpr int kTopPosition = -(kListTop + 20) * 256;  // the list's top: its area less the 20-pixel edge

class FarmShopTest : public FarmScreensTest {
protected:
    CXFarmShopScreen* Open() {
        EXPECT_TRUE(game.RunFarmShopScreen());
        Ticks(17);
        return game.m_pFarmShopScreen;
    }
    CXShopScrollItemsDialog* List() { return game.m_pFarmShopScreen->GetList(); }
    CXShopScrollItem* Row(int i) { return dynamic_cast<CXShopScrollItem*>(List()->GetChildPtrAt(i)); }
    // A tap on a tab, then the list's cross-fade to its category.
    void ShowTab(const char* id) {
        TapOn(game.m_pFarmShopScreen->FindChildWithWidgetId(id));
        Ticks(14);
    }
    void TapButton(CXShopScrollItem* row) {
        ASSERT_NE(row, nullptr);
        const TCoordRect2D r = row->GetDrawingRect();
        const TCoordRect2D b = row->GetButtonRect();
        Tap(r.x + b.x + b.width / 2, r.y + b.y + b.height / 2);
    }
};

// ---- The preview, the thresholds and the icon's fit, worked by hand ----------------------------------

TEST(ShopPreview, PercentagesAndBarEndsForAPurchase) {
    // A 90-pixel bar: 79 pixels of fill from 5 pixels in.
    struct TCase {
        int points, price, threshold;
        const char* gain;
        const char* total;
        bool full;
        double current, potential;
        const char* why;
    } cases[] = {
        {0, 15, 30, "+50% ", "(50%)", false, 5, 44.5, "half the way"},
        {20, 10, 30, "+34% ", "(100%)", true, 57.6667, 84, "66% to 100%: the star is reached"},
        {25, 40, 30, "+133% ", "(100%)", true, 70.8333, 84, "past the star: capped at 100% and at the bar's end"},
        {45, 10, 30, "+33% ", "(100%)", true, 84, 84, "points already past the star stay inside the bar"},
        {99, 0, 100, "+0% ", "(99%)", false, 83.21, 83.21, "99% is not yet full"},
        {99, 1, 100, "+1% ", "(100%)", true, 83.21, 84, "100% is full"},
        {3, 2, 0, "+200% ", "(100%)", true, 84, 84, "a threshold of 0 counts as 1 point"},
        {3, 2, -5, "+200% ", "(100%)", true, 84, 84, "so does a negative one"},
        {0, 0, 100, "+0% ", "(0%)", false, 5, 5, "nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const TShopPreview p = ComputeShopPreview(c.points, c.price, c.threshold, 79, 5);
        EXPECT_STREQ(p.gainText.GetDataConst(), c.gain);
        EXPECT_STREQ(p.totalText.GetDataConst(), c.total);
        EXPECT_EQ(p.full, c.full);
        EXPECT_NEAR(p.currentEnd, c.current, 0.01);
        EXPECT_NEAR(p.potentialEnd, c.potential, 0.01);
    }
}

TEST(ShopPreview, TheNextStarsThresholdStopsAtTheThirdStar) {
    YardDef yard;
    const int stars[3][4] = {{30, 20, 0, 20}, {75, 50, 0, 50}, {150, 100, -4, 100}};
    for (int s = 0; s < 3; ++s)
        for (int c = 0; c < 4; ++c) yard.starThresholds[s][c] = stars[s][c];
    struct TCase {
        int category, stars, threshold;
        const char* why;
    } cases[] = {
        {0, 0, 30, "no star: the first star's"},  {1, 1, 50, "one star: the second's"},
        {0, 2, 150, "two stars: the third's"},    {0, 3, 150, "all three: still the third's"},
        {3, 9, 100, "a damaged count: the third's"}, {2, 0, 1, "a threshold of 0 counts as 1"},
        {2, 3, 1, "a negative one too"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShopStarThreshold(yard, c.category, c.stars), c.threshold) << c.why;
}

TEST(ShopPreview, TheIconFitsInto112PixelsAndIsNeverEnlarged) {
    struct TCase {
        int w, h;
        double scale, drawnW, drawnH, offsetX, offsetY;
        const char* why;
    } cases[] = {
        {96, 96, 1.0, 96, 96, 8, 8, "a creature icon keeps its size, centred"},
        {224, 112, 0.5, 112, 56, 0, 28, "twice too wide: halved"},
        {50, 300, 112.0 / 300, 18.6667, 112, 46.6667, 0, "too tall: fitted by its height"},
        {112, 112, 1.0, 112, 112, 0, 0, "exactly the frame"},
        {20, 10, 1.0, 20, 10, 46, 51, "small: never enlarged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const TShopIconFit fit = FitShopIcon(c.w, c.h, 112, 112);
        EXPECT_NEAR(fit.scale / 65536.0, c.scale, 1e-4);
        EXPECT_NEAR(fit.width / 256.0, c.drawnW, 0.01);
        EXPECT_NEAR(fit.height / 256.0, c.drawnH, 0.01);
        EXPECT_NEAR(fit.offsetX / 256.0, c.offsetX, 0.01);
        EXPECT_NEAR(fit.offsetY / 256.0, c.offsetY, 0.01);
    }
}

// ---- Rows --------------------------------------------------------------------------------------------

// A yard of its own for the row cases: the birds' thresholds are 40, 60 and 80 points for the
// three stars; a default bird that is never for sale, a long-named decor object and a kennel
// whose picture is wider than the icon frame.
class ShopRowsTest : public FarmShopTest {
protected:
    void SetUp() override {
        FarmShopTest::SetUp();
        if (IsSkipped()) return;
        yard = AddYard("test_yard", 40);
        yard->starThresholds[1][kCategoryBirds] = 60;
        yard->starThresholds[2][kCategoryBirds] = 80;
        AddObject(yard, kCategoryBirds, "ghost", "Ghost hen", 5, "icon_bird4", "", true);
        AddObject(yard, kCategoryBirds, "hen", "Hen", 30, "icon_bird1");
        AddObject(yard, kCategoryBirds, "chick", "Chick", 100, "icon_bird2");
        AddObject(yard, kCategoryBirds, "duck", "Duck", 50, "icon_bird3");
        AddObject(yard, kCategoryDecor, "mill", "Extraordinarily Magnificent Windmill", 5, "", "obj_windmill_toy");
        AddObject(yard, kCategoryDecor, "kennel", "Kennel", 5, "", "obj_doghouse2");
        AddObject(yard, kCategoryDecor, "yard_sun", "", 0, "", "yard_sun_day", true);
    }
    CXShopScrollItem* RowOf(const char* id) {
        for (int i = 0; i < List()->GetChildCount(); ++i)
            if (Row(i)->GetRecord()->name == id) return Row(i);
        return nullptr;
    }
    YardDef* yard = nullptr;
};

TEST_F(ShopRowsTest, EachRowPreviewsItsPurchaseForThePlayersCoinsPointsAndStars) {
    struct TCase {
        int coins, points, stars;
        const char* object;
        const char* gain;
        const char* total;
        bool full, affordable;
        const char* why;
    } cases[] = {
        {50, 10, 0, "hen", "+75% ", "(100%)", true, true, "25% to 100% of the first star's 40 points"},
        {50, 10, 0, "chick", "+250% ", "(100%)", true, false, "dearer than the coins: can't afford"},
        {50, 10, 0, "duck", "+125% ", "(100%)", true, true, "exactly the coins: affordable"},
        {49, 10, 0, "duck", "+125% ", "(100%)", true, false, "a coin short"},
        {50, 10, 1, "hen", "+50% ", "(66%)", false, true, "one star: the second star's 60 points"},
        {50, 10, 2, "hen", "+38% ", "(50%)", false, true, "two stars: the third star's 80 (12% to 50%)"},
        {50, 10, 3, "hen", "+38% ", "(50%)", false, true, "three stars: still the third star's"},
        {50, 0, 0, "hen", "+75% ", "(75%)", false, true, "an empty category"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        Player().m_nCoins = c.coins;
        Farm().m_CategoryPoints[kCategoryBirds] = c.points;
        Farm().m_nStars = c.stars;
        ASSERT_TRUE(game.RunFarmShopScreen());
        CXShopScrollItem* row = RowOf(c.object);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(row->GetGainText().GetDataConst(), c.gain);
        EXPECT_STREQ(row->GetTotalText().GetDataConst(), c.total);
        EXPECT_EQ(row->GetPreview().full, c.full);
        EXPECT_EQ(row->IsAffordable(), c.affordable);
    }
}

TEST_F(ShopRowsTest, DefaultObjectsAreNeverListed) {
    Open();
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"hen", "chick", "duck"}));
    ShowTab("tab_buy_decor");
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"mill", "kennel"}));
    // The pak's first yard: its background and sun are default objects, not for sale.
    Player().m_CurrentYard = "yard1";
    ASSERT_TRUE(game.RunFarmShopScreen());
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"wooden_frog", "picket_fence", "signpost", "balloon_red"}));
}

TEST_F(ShopRowsTest, OnlyTheBuyButtonOfAnAffordableRowTakesATouch) {
    Player().m_nCoins = 50;
    Open();
    CXShopScrollItem* hen = RowOf("hen");
    CXShopScrollItem* chick = RowOf("chick");
    ASSERT_TRUE(hen != nullptr && chick != nullptr);
    // The button: 186 x 40 on the row's bottom, 10 pixels in from the right of the 320 column.
    EXPECT_EQ(hen->GetButtonRect().x, 124);
    EXPECT_EQ(hen->GetButtonRect().y, 80);
    const TCoordRect2D r = hen->GetDrawingRect();
    struct TCase {
        int dx, dy;
        bool inside;
        const char* why;
    } cases[] = {
        {124, 80, true, "the button's top left corner"}, {310, 120, true, "its bottom right corner"},
        {217, 100, true, "its middle"},                  {123, 100, false, "just left of it"},
        {217, 79, false, "just above it"},              {56, 58, false, "the icon"},
        {200, 10, false, "the name"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(hen->Contains(r.x + c.dx, r.y + c.dy), c.inside) << c.why;
        EXPECT_FALSE(chick->Contains(chick->GetDrawingRect().x + c.dx, chick->GetDrawingRect().y + c.dy))
            << "can't afford: " << c.why;
    }
    // A tap on the unaffordable button opens nothing; the affordable one asks for confirmation.
    TapButton(chick);
    Ticks(2);
    EXPECT_EQ(Child(game.m_pFarmShopScreen, "dlg_confirm_buy"), nullptr);
    TapButton(hen);
    Ticks(2);
    auto* confirm = dynamic_cast<CXConfirmBuyDialog*>(Child(game.m_pFarmShopScreen, "dlg_confirm_buy"));
    ASSERT_NE(confirm, nullptr);
    EXPECT_STREQ(confirm->GetObjectName().GetDataConst(), "hen");
    EXPECT_EQ(confirm->GetMode(), kConfirmBuy);
}

TEST_F(ShopRowsTest, AnUnaffordableRowSaysSoOnADimmedButton) {
    Player().m_nCoins = 50;
    Open();
    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "farm-shop", "cannot_afford.png");
    // Rows start 20 pixels into the list and follow every 128 pixels: hen, then chick.
    const int henTop = kListTop + 20, chickTop = henTop + kRowStride;
    const auto reddish = [](const shoptest::Pixel& p) { return p[0] > 200 && p[1] < 175 && p[2] < 175 && p[0] - p[1] > 60; };
    const auto white = [](const shoptest::Pixel& p) { return p[0] > 230 && p[1] > 230 && p[2] > 230; };
    EXPECT_GT(Count(frame, 130, chickTop + 82, 305, chickTop + 118, reddish), 100) << "\"Can't afford\" in red";
    EXPECT_EQ(Count(frame, 130, henTop + 82, 305, henTop + 118, reddish), 0);
    EXPECT_GT(Count(frame, 130, henTop + 82, 305, henTop + 118, white), 50) << "\"Buy\" in white";
    // Dimmed: the teal of the button shows through the background only faintly.
    const auto teal = [](const shoptest::Pixel& p) { return p[0] < 90 && p[1] > 70 && p[2] > 80 && p[2] > p[0] + 40; };
    EXPECT_GT(Count(frame, 130, henTop + 84, 305, henTop + 116, teal), 2000);
    EXPECT_LT(Count(frame, 130, chickTop + 84, 305, chickTop + 116, teal), 200);
    // The price ("Price:", just above the button) in the same colour.
    const int line = game.m_Fonts[kGameFontSmall]->GetCharHeight();
    const int priceTop = 80 - 1 - line;
    EXPECT_GT(Count(frame, 124, chickTop + priceTop, 168, chickTop + 79, reddish), 20);
    EXPECT_EQ(Count(frame, 124, henTop + priceTop, 168, henTop + 79, reddish), 0);
}

TEST_F(ShopRowsTest, TheTotalTurnsGreenOnceThePurchaseReachesTheStar) {
    // The percentages stand right of the bar (x 216 on): "(75%)" in yellow for an empty category,
    // "(100%)" in green once the hen would reach the first star's 40 points.
    const int top = kListTop + 20;
    const int line = 80 - 1 - game.m_Fonts[kGameFontSmall]->GetCharHeight();  // the price's top
    const auto yellow = [](const shoptest::Pixel& p) { return p[0] > 200 && p[1] > 200 && p[2] < 170; };
    const auto green = [](const shoptest::Pixel& p) { return p[1] > 200 && p[0] < 180 && p[2] < 180; };
    struct TCase {
        int points;
        bool full;
    } cases[] = {{0, false}, {10, true}};
    for (const auto& c : cases) {
        Player().m_nCoins = 50;
        Farm().m_CategoryPoints[kCategoryBirds] = c.points;
        Open();
        ASSERT_EQ(RowOf("hen")->GetPreview().full, c.full);
        const mediatest::TImage frame = Frame();
        const int yellowCount = Count(frame, 216, top + line - 22, 320, top + line, yellow);
        const int greenCount = Count(frame, 216, top + line - 22, 320, top + line, green);
        EXPECT_GT(c.full ? greenCount : yellowCount, 15) << c.points;
        EXPECT_LT(c.full ? yellowCount : greenCount, 3) << c.points;
    }
}

TEST_F(ShopRowsTest, RowsShowTheirPriceTheCountOwnedAndTheirName) {
    Buy("test_yard", "hen");
    Buy("test_yard", "hen");
    Buy("yard1", "duck");  // another yard's purchase does not count here
    yard->objects[kCategoryBirds].data[3]->nameId = "ID_UI_TAB_BIRDS";
    yard->objects[kCategoryBirds].data[2]->price = 1234567;
    Open();
    struct TCase {
        const char* id;
        const char* price;
        const char* owned;
        const char* name;
    } cases[] = {
        {"hen", "Price:    x 30", "2", "Hen"},
        {"chick", "Price:    x 1,234,567", "0", "Chick"},
        {"duck", "Price:    x 50", "0", "Birds"},  // a name id wins over the plain name
    };
    for (const TCase& c : cases) {
        CXShopScrollItem* row = RowOf(c.id);
        ASSERT_NE(row, nullptr) << c.id;
        EXPECT_STREQ(row->GetPriceText().GetDataConst(), c.price) << c.id;
        EXPECT_STREQ(row->GetOwnedText().GetDataConst(), c.owned) << c.id;
        EXPECT_STREQ(row->GetName().GetDataConst(), c.name) << c.id;
    }
}

TEST_F(ShopRowsTest, IconsFitTheirFrameAndALongNameIsSqueezedToItsColumn) {
    game.m_nShopCurrentTab = kCategoryDecor;
    Open();
    // The kennel's picture is 128 x 96: fitted into 112 by its width, centred in the frame.
    const TShopIconFit kennel = RowOf("kennel")->GetIconFit();
    EXPECT_NEAR(kennel.scale / 65536.0, 112.0 / 128.0, 1e-4);
    EXPECT_NEAR(kennel.offsetY / 256.0, (112 - 84) / 2.0, 0.01);
    // The mill's name, wider than the column from x 124 to the row's end, ends before x 319.
    const mediatest::TImage frame = Frame();
    KeepPicture(frame, "farm-shop", "long_name.png");
    const int top = kListTop + 20;
    const auto bright = [](const shoptest::Pixel& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; };
    EXPECT_GT(Count(frame, 124, top, 160, top + 26, bright), 20) << "the name starts at the column";
    EXPECT_GT(Count(frame, 280, top, 318, top + 26, bright), 10) << "and runs to its end";
    EXPECT_EQ(Count(frame, 319, top, 320, top + 26, bright), 0) << "squeezed to end before the edge";
    // The pak's creature icons are 96 pixels and keep their size; the apple tree (110 x 140) is
    // fitted by its height.
    Player().m_CurrentYard = "yard1";
    game.m_nShopCurrentTab = kCategoryBirds;
    ASSERT_TRUE(game.RunFarmShopScreen());
    EXPECT_EQ(Row(0)->GetIconFit().scale, kFixed16One);
    EXPECT_EQ(Row(0)->GetIconFit().width, 96 * 256);
    game.m_nShopCurrentTab = kCategoryPlants;
    ASSERT_TRUE(game.RunFarmShopScreen());
    CXShopScrollItem* tree = RowOf("apple_tree");
    ASSERT_NE(tree, nullptr);
    EXPECT_NEAR(tree->GetIconFit().scale / 65536.0, 0.8, 1e-4);
    EXPECT_NEAR(tree->GetIconFit().offsetX / 256.0, 12.0, 0.01);
}

TEST_F(ShopRowsTest, TheBarsFillStopsAtTheBarsInnerEdge) {
    // Points past the threshold (all three stars earned and more bought): the drawn fill must
    // end with the bar, its cap included, 90 pixels from the bar's left.
    Player().m_nCoins = 500;
    Farm().m_CategoryPoints[kCategoryBirds] = 300;
    Farm().m_nStars = 3;
    Open();
    CXShopScrollItem* hen = RowOf("hen");
    EXPECT_NEAR(hen->GetPreview().currentEnd, 84, 0.01);
    EXPECT_NEAR(hen->GetPreview().potentialEnd, 84, 0.01);
    const mediatest::TImage frame = Frame();
    const int top = kListTop + 20;
    // The bar: its bottom at the price's top (the button's top less 1, less the small font's
    // line), 90 x 10 from x 124; the percentages follow 2 pixels after it.
    const int barBottom = top + 80 - 1 - game.m_Fonts[kGameFontSmall]->GetCharHeight();
    const auto orange = [](const shoptest::Pixel& p) { return p[0] > 180 && p[1] > 60 && p[1] < 200 && p[2] < 90; };
    EXPECT_GT(Count(frame, 200, barBottom - 9, 214, barBottom - 1, orange), 30) << "filled to the end";
    EXPECT_EQ(Count(frame, 214, barBottom - 10, 216, barBottom, orange), 0) << "and no further";
}

// ---- The screen ----------------------------------------------------------------------------------

TEST_F(FarmShopTest, TheYardsShopMessageOpensTheShopOnTheFirstYard) {
    ASSERT_EQ(game.OnMessage(nullptr, MSG_RUN_FARM_SHOP, 0, 0), 1);
    ASSERT_NE(game.m_pFarmShopScreen, nullptr);
    EXPECT_EQ(game.m_pFarmShopScreen->GetYard(), Yard("yard1"));
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"bird1", "bird2", "bird3"}));
    for (int i = 0; i < CXFarmShopScreen::kFarmTabs; ++i) EXPECT_NE(game.m_pFarmShopScreen->GetBar(i), nullptr);
}

TEST_F(FarmShopTest, TheRememberedTabAndOffsetsAreRestoredOnTheNextVisit) {
    struct TCase {
        int tab;
        int offsets[4];
        int shownTab;
        const char* why;
    } cases[] = {
        {2, {-1000, -1000, 37, -1000}, 2, "the comfort tab at 37 pixels"},
        {0, {-1000, 12, -1000, 64}, 0, "birds, the others kept for later"},
        {4, {-1000, -1000, -1000, -1000}, 0, "the coin tab is never remembered: birds"},
        {-1, {-1000, -1000, -1000, -1000}, 0, "a tab outside the shop: birds"},
        {3, {-1000, -1000, -1000, -1000}, 3, "decor at its top"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        game.m_nShopCurrentTab = c.tab;
        for (int i = 0; i < 4; ++i) game.m_ShopTabOffsets[i] = c.offsets[i];
        ASSERT_TRUE(game.RunFarmShopScreen());
        CXShopScrollItemsDialog* list = List();
        EXPECT_EQ(list->GetCurrentCategory(), c.shownTab);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(game.m_pFarmShopScreen->GetTabControl()->GetTab(i)->IsActive(), i == c.shownTab);
        for (int i = 0; i < 4; ++i) {
            // -1000 leaves the list's own start: its top, 20 pixels above the list area.
            const FIXED_FLOAT expected = c.offsets[i] == -1000 ? kTopPosition : c.offsets[i] * 256;
            EXPECT_EQ(i == c.shownTab ? list->GetScrollPosition() : list->GetKeptPosition(i), expected) << i;
        }
        // The rows stand where the position says: the first row 20 pixels below the list's top,
        // moved up by the offset.
        const int shownOffset = c.offsets[c.shownTab];
        const int firstRowY = shownOffset == -1000 ? kListTop + 20 : -shownOffset;
        EXPECT_EQ(Row(0)->GetDrawingRect().y, firstRowY);
    }
}

TEST_F(FarmShopTest, LeavingRemembersEachFarmTabsOffsetAndTheLastFarmTab) {
    Player().m_CurrentYard = "yard1";
    Open();
    ShowTab("tab_buy_decor");
    // Four decor rows are taller than the list: a drag moves it up.
    Drag(60, {400, 380, 340, 300});
    Ticks(40);
    const FIXED_FLOAT decor = List()->GetScrollPosition();
    EXPECT_GT(decor, kTopPosition + 50 * 256);
    EXPECT_LE(decor, List()->GetBottomLimit());
    ShowTab("tab_buy_comfort");
    ShowTab("tab_buy_coins");
    EXPECT_TRUE(List()->ShowsCoinShop());
    TapOn(game.m_pFarmShopScreen->FindChildWithWidgetId("btn_buy_close"));
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_FARM, 0, 0}}));
    EXPECT_EQ(game.m_nShopCurrentTab, kCategoryComfort) << "the coin tab is not remembered";
    const int top = kTopPosition / 256;
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryBirds], top);
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryPlants], top) << "a tab never shown keeps the list's top";
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryComfort], top);
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryDecor], decor / 256);

    // The next visit opens on comfort, and decor comes back where it was left.
    Open();
    EXPECT_EQ(List()->GetCurrentCategory(), kCategoryComfort);
    ShowTab("tab_buy_decor");
    EXPECT_EQ(List()->GetScrollPosition(), decor / 256 * 256) << "in whole pixels";
    // Leaving the yard forgets it all.
    game.ResetShopTabOffsets();
    Open();
    EXPECT_EQ(List()->GetCurrentCategory(), kCategoryBirds);
}

// Leaving from a farm tab keeps where the player left that tab, not where it stood when it was
// shown: decor is dragged, left for the birds, shown again (back where it was) and dragged on,
// then the shop is closed on it.
TEST_F(FarmShopTest, LeavingFromAFarmTabKeepsItsLivePosition) {
    Player().m_CurrentYard = "yard1";
    Open();
    ShowTab("tab_buy_decor");
    Drag(60, {400, 385, 370, 360, 358});
    Ticks(40);
    const FIXED_FLOAT first = List()->GetScrollPosition();
    ASSERT_GT(first, kTopPosition + 20 * 256);
    ShowTab("tab_buy_birds");
    EXPECT_EQ(List()->GetScrollPosition(), kTopPosition) << "the birds at their top";
    ShowTab("tab_buy_decor");
    EXPECT_EQ(List()->GetScrollPosition(), first) << "decor back where it was left";
    Drag(60, {400, 385, 370, 360, 358});
    Ticks(40);
    const FIXED_FLOAT second = List()->GetScrollPosition();
    ASSERT_GT(second, first + 10 * 256) << "dragged on";
    ASSERT_LE(second, List()->GetBottomLimit());
    TapOn(game.m_pFarmShopScreen->FindChildWithWidgetId("btn_buy_close"));
    EXPECT_EQ(game.m_nShopCurrentTab, kCategoryDecor);
    const int top = kTopPosition / 256;
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryBirds], top);
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryPlants], top);
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryComfort], top);
    EXPECT_EQ(game.m_ShopTabOffsets[kCategoryDecor], second / 256) << "the live position, in whole pixels";
    // And the next visit opens there.
    Open();
    EXPECT_EQ(List()->GetCurrentCategory(), kCategoryDecor);
    EXPECT_EQ(List()->GetScrollPosition(), second / 256 * 256);
}

TEST_F(FarmShopTest, AConfirmedPurchaseIsLeftForTheYardWhichOpensNext) {
    Player().m_nCoins = 100;
    Open();
    TapButton(Row(1));  // bird2, the chick
    Ticks(12);
    auto* confirm = dynamic_cast<CXConfirmBuyDialog*>(Child(game.m_pFarmShopScreen, "dlg_confirm_buy"));
    ASSERT_NE(confirm, nullptr);
    EXPECT_STREQ(confirm->GetObjectName().GetDataConst(), "bird2");
    // Cancel closes the question and leaves nothing pending.
    TapOn(confirm->FindChildWithWidgetId("btn_confirm_buy_no"));
    Ticks(12);
    EXPECT_EQ(Child(game.m_pFarmShopScreen, "dlg_confirm_buy"), nullptr);
    EXPECT_EQ(game.m_PendingPurchaseName.Length(), 0);
    EXPECT_TRUE(Posts().empty());

    ShowTab("tab_buy_plants");
    TapButton(Row(1));  // the round bush
    Ticks(12);
    confirm = dynamic_cast<CXConfirmBuyDialog*>(Child(game.m_pFarmShopScreen, "dlg_confirm_buy"));
    ASSERT_NE(confirm, nullptr);
    TapOn(confirm->FindChildWithWidgetId("btn_confirm_buy_yes"));
    EXPECT_STREQ(game.m_PendingPurchaseName.GetDataConst(), "round_bush");
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_FARM, 0, 0}}));
    EXPECT_EQ(Player().m_nCoins, 100) << "the yard pays, not the shop";
    EXPECT_EQ(game.m_nShopCurrentTab, kCategoryPlants);
}

TEST_F(FarmShopTest, AScreenMissingARequiredPartDoesNotOpen) {
    struct TCase {
        const char* line;
        const char* why;
    } cases[] = {
        {"    child = \"dlg_buy_tab_control\"\n        position = 0, 52\n", "no tabs"},
        {"    child = \"dlg_buy_scroll_items\"\n        position = 0, 90\n", "no list"},
        {"    child = \"pb_birds\"\n        position = 96, 2\n", "no birds bar"},
        {"    child = \"pb_decor\"\n        position = 96, 38\n", "no decor bar"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        OverlayTemplate([&](std::string& t) {
            const std::size_t at = t.find(c.line, t.find("root = \"root_buy\""));
            ASSERT_NE(at, std::string::npos);
            t.erase(at, std::string(c.line).size());
        });
        EXPECT_FALSE(game.RunFarmShopScreen());
        EXPECT_EQ(game.m_pFarmShopScreen, nullptr);
    }
    // A player whose current yard the farm does not know.
    OverlayTemplate([](std::string&) {});
    Player().m_CurrentYard = "nowhere";
    EXPECT_FALSE(game.RunFarmShopScreen());
    Player().m_CurrentYard = "yard2";
    EXPECT_TRUE(game.RunFarmShopScreen());
}

TEST_F(FarmShopTest, ACoinPackBoughtOnTheCoinTab) {
    Open();
    ShowTab("tab_buy_coins");
    // The farm shop's list of five categories, its fifth the coin shop's rows.
    EXPECT_EQ(List()->GetNumCategories(), 5);
    EXPECT_FALSE(List()->IsCoinsOnly());
    ASSERT_EQ(RowIds(List()), (std::vector<std::string>{"coins_pouch", "coins_sack", "coins_chest", "coins_treasure"}));
    Platform({platform::PayOutcome::Accept, 0, {}});
    Player().m_nCoins = 7;
    auto* chest = dynamic_cast<CXAddCoinsScrollItem*>(List()->GetChildPtrAt(2));
    ASSERT_NE(chest, nullptr);
    const TCoordRect2D b = chest->GetButtonRect();
    // The chest's button is below the screen: the list is dragged up first.
    Drag(60, {400, 350, 300, 250, 200});
    Ticks(40);
    const TCoordRect2D moved = chest->GetDrawingRect();
    ASSERT_LT(moved.y + b.y + b.height, 480);
    Tap(moved.x + b.x + b.width / 2, moved.y + b.y + b.height / 2);
    EXPECT_NE(dynamic_cast<CXInAppWaitDlg*>(game.m_pFarmShopScreen->FindChildWithWidgetId("dlg_InAppWait")), nullptr)
        << "the wait dialog shows while the store answers";
    DrainAnswers();
    Ticks(12);
    EXPECT_EQ(Player().m_nCoins, 7 + 1500);
    EXPECT_EQ(game.m_pFarmShopScreen->FindChildWithWidgetId("dlg_InAppWait"), nullptr);
    EXPECT_EQ(game.m_pFarmShopScreen->GetCoinsShown(), 7 + 1500) << "the shop's coins follow";
    EXPECT_TRUE(Posts().empty()) << "the shop stays open";
}

TEST_F(FarmShopTest, PicturesOfEveryTab) {
    Player().m_nCoins = 260;
    Farm().m_CategoryPoints[0] = 30;
    Farm().m_CategoryPoints[1] = 12;
    Farm().m_nStars = 1;
    Buy("yard1", "bird1");
    Buy("yard1", "bird1");
    Buy("yard1", "daisy_patch");
    Open();
    KeepPicture(Frame(), "farm-shop", "1_birds.png");
    const char* tabs[] = {"tab_buy_plants", "tab_buy_comfort", "tab_buy_decor", "tab_buy_coins"};
    const char* names[] = {"2_plants.png", "3_comfort.png", "4_decor.png", "5_coins.png"};
    for (int i = 0; i < 4; ++i) {
        ShowTab(tabs[i]);
        KeepPicture(Frame(), "farm-shop", names[i]);
    }
}

}  // namespace
