// The confirm-buy dialog in its three modes: the object's localised name, the price (or the sell
// price) grouped by commas in the message, translated formats filled safely, the player's coins
// in the cannot-buy dialog, an unknown object failing the dialog, and the icon fitted into
// 106 x 128 without being enlarged, drawn centred on its frame at the dialog's opacity.
#include "game/widgets/ConfirmBuyDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "../screens/ScreensTestGame.h"
#include "core/LocManager2.h"
#include "game/farm/FarmManager.h"
#include "game/screens/AddCoinsButton.h"
#include "sprites/SpriteSet.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace screenstest;

const char* const kTemplate =
    "dialog = dlg_confirm_buy\n size = 272 304\n"
    " child = txt_confirm_name\n end\n"
    " child = img_icon_frame\n  position = 40 46\n end\n"
    " child = txt_confirm2\n  position = 0 196\n end\n"
    "end\n"
    "dialog = dlg_confirm_sell\n size = 272 304\n"
    " child = txt_confirm_name\n end\n"
    " child = img_icon_frame\n  position = 40 46\n end\n"
    " child = txt_confirm2b\n  position = 0 196\n end\n"
    " child = btn_can_buy_addcoins\n  position = 106 222\n end\n"
    "end\n"
    "dialog = dlg_cant_buy\n size = 272 336\n"
    " child = txt_cant_buy_name\n end\n"
    " child = img_icon_frame\n  position = 40 46\n end\n"
    " child = txt_cant_buy2\n  position = 0 192\n end\n"
    " child = btn_can_buy_addcoins\n  position = 106 222\n end\n"
    "end\n"
    "dialog = dlg_no_children\n size = 100 100\nend\n"
    "text = txt_confirm_name\n caption = Object\nend\n"
    "text = txt_cant_buy_name\n caption = Object\nend\n"
    "image = img_icon_frame\n set = frame\nend\n"
    "text = txt_confirm2\n caption = \"Buy it for %s coins?\"\n txtid = ID_BUY\nend\n"
    "text = txt_confirm2b\n caption = \"Sell it for %s coins?\"\n txtid = ID_SELL\nend\n"
    "text = txt_cant_buy2\n caption = \"It costs %s coins.\"\n txtid = ID_CANT\nend\n"
    "button = btn_can_buy_addcoins\n set = coinbtn\nend\n";

// English, and a careless translation whose formats carry stray conversions.
const char* const kTexts =
    "Key,enUS,xxXX\n,English,Careless\n"
    "ID_HEN,Speckled Hen,Huhn %s %n\n"
    "ID_BUY,Buy it for %s coins?,Kaufen: %s%n %d %s 100%\n"
    "ID_SELL,Sell it for %s coins?,Preis %d: %s\n"
    "ID_CANT,It costs %s coins.,%s%s%s\n";

constexpr Colour kRed{255, 0, 0, 255};

class ConfirmBuyTest : public ScreensTest {
protected:
    void SetUp() override { Prepare(); }
    // The pictures, texts, template and farm objects of the suite.
    void Prepare() {
        // Each object's picture and icon, sized for the fitting rule.
        AddImage("frame", Plain(121, 141, {40, 40, 40, 255}));
        AddImage("coinbtn", Plain(120, 40, {0, 0, 128, 255}));
        AddImage("hen_icon", Plain(150, 150, kRed));
        AddImage("hen_big", Plain(300, 300, kRed));
        AddImage("pond_pic", Plain(212, 100, kRed));
        AddImage("tower_pic", Plain(53, 200, kRed));
        AddImage("shed", Plain(159, 100, kRed));
        AddImage("gnome_pic", Plain(50, 60, kRed));
        members.emplace_back("Lang\\texts.csv", mediatest::ToBytes(kTexts));
        Mount();
        ReadTemplate(kTemplate);
        game.InitLocManager2(CommonString("Lang\\texts.csv"))->SetCurrentLanguage(0);

        game.m_pFarmManager = new CFarmManager(&game);
        auto* yard = new YardDef;
        yard->id = "y1";
        ASSERT_TRUE(game.m_pFarmManager->m_Yards.Add(yard));
        AddObject(yard, "hen", "ID_HEN", "Hen", 1234567, "hen_icon", "hen_big");
        AddObject(yard, "pond", "", "Pond", 1000, "", "pond_pic");
        AddObject(yard, "tower", "", "Tower", 10, "", "tower_pic");
        AddObject(yard, "shed", "", "Shed", 999, "", "");
        AddObject(yard, "gnome", "", "", 5, "missing_icon", "gnome_pic");
        AddObject(yard, "ghost", "", "Ghost", 1, "", "no_such_set");
    }
    void AddObject(YardDef* yard, const char* id, const char* nameId, const char* name, int price, const char* icon,
                   const char* sprite) {
        auto* def = new FarmObjectDef;
        def->id = id;
        def->nameId = nameId;
        def->name = name;
        def->price = price;
        def->iconSprite = icon;
        def->sprite = sprite;
        def->category = kCategoryDecor;
        ASSERT_TRUE(yard->objects[kCategoryDecor].Add(def));
    }
    // The dialog of that record for the object, as a screen's factory makes it.
    CXConfirmBuyDialog* Make(const char* record, const char* object, int x = 0, int y = 0) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        const int mode = ConfirmBuyModeOf(record);
        return static_cast<CXConfirmBuyDialog*>(InitOrFreeWidget(
            new CXConfirmBuyDialog(&game, templ.get(), templ->GetWidget(record), &placement, object, mode)));
    }
    static std::string Caption(XWidget* dialog, const char* id) {
        auto* text = dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id));
        if (text == nullptr) return "<missing>";
        const char* caption = text->GetCaption().GetDataConst();
        return caption != nullptr ? caption : "";
    }
    IDibBitmap* Frame0(const char* set) { return game.m_pSpriteSetManager->GetSpriteSetNamed(set)->GetFrame(0); }
};

TEST_F(ConfirmBuyTest, TheRecordIdNamesTheMode) {
    struct TCase {
        const char* id;
        int mode;
    } cases[] = {{"dlg_confirm_buy", kConfirmBuy},
                 {"dlg_confirm_sell", kConfirmSell},
                 {"dlg_cant_buy", kCannotBuy},
                 {"dlg_confirm_buy2", -1},
                 {"", -1},
                 {nullptr, -1}};
    for (const TCase& c : cases) EXPECT_EQ(ConfirmBuyModeOf(c.id), c.mode) << (c.id ? c.id : "null");
}

TEST_F(ConfirmBuyTest, EachModeShowsTheNameAndItsPriceGroupedByCommas) {
    struct TCase {
        const char* record;
        const char* object;
        const char* nameId;
        const char* name;
        const char* messageId;
        const char* message;
    } cases[] = {
        {"dlg_confirm_buy", "hen", "txt_confirm_name", "Speckled Hen", "txt_confirm2", "Buy it for 1,234,567 coins?"},
        // 70 % of 1,234,567 is 864,196.9.
        {"dlg_confirm_sell", "hen", "txt_confirm_name", "Speckled Hen", "txt_confirm2b", "Sell it for 864,197 coins?"},
        {"dlg_cant_buy", "hen", "txt_cant_buy_name", "Speckled Hen", "txt_cant_buy2", "It costs 1,234,567 coins."},
        {"dlg_confirm_buy", "pond", "txt_confirm_name", "Pond", "txt_confirm2", "Buy it for 1,000 coins?"},
        {"dlg_confirm_sell", "pond", "txt_confirm_name", "Pond", "txt_confirm2b", "Sell it for 700 coins?"},
        {"dlg_confirm_buy", "gnome", "txt_confirm_name", "", "txt_confirm2", "Buy it for 5 coins?"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.record) + " " + c.object);
        CXConfirmBuyDialog* dialog = Make(c.record, c.object);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetMode(), ConfirmBuyModeOf(c.record));
        EXPECT_EQ(std::string(dialog->GetObjectName().GetDataConst()), c.object);
        ASSERT_TRUE(dialog->IsObjectKnown());
        EXPECT_EQ(Caption(dialog, c.nameId), c.name);
        EXPECT_EQ(Caption(dialog, c.messageId), c.message);
        SAFE_FREE_XELEMENT(dialog);
    }
}

TEST_F(ConfirmBuyTest, WithoutLocalisationThePlainNameAndTheTemplatesCaptionStand) {
    delete game.m_pLocManager;
    game.m_pLocManager = nullptr;
    CXConfirmBuyDialog* dialog = Make("dlg_confirm_buy", "hen");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Caption(dialog, "txt_confirm_name"), "Hen");
    EXPECT_EQ(Caption(dialog, "txt_confirm2"), "Buy it for 1,234,567 coins?");
    SAFE_FREE_XELEMENT(dialog);
}

TEST_F(ConfirmBuyTest, TranslatedFormatsTakeOnlyThePriceAndKeepEverythingElseAsText) {
    game.m_pLocManager->SetCurrentLanguage(1);
    struct TCase {
        const char* record;
        const char* nameId;
        const char* messageId;
        const char* message;
    } cases[] = {
        // The first %s takes the price; the stray conversions stay as they stand.
        {"dlg_confirm_buy", "txt_confirm_name", "txt_confirm2", "Kaufen: 1,234,567%n %d %s 100%"},
        // A %d does not take the price text; it is used up and nothing is left for the %s.
        {"dlg_confirm_sell", "txt_confirm_name", "txt_confirm2b", "Preis %d: %s"},
        {"dlg_cant_buy", "txt_cant_buy_name", "txt_cant_buy2", "1,234,567%s%s"},
    };
    for (const TCase& c : cases) {
        CXConfirmBuyDialog* dialog = Make(c.record, "hen");
        ASSERT_NE(dialog, nullptr) << c.record;
        EXPECT_EQ(Caption(dialog, c.messageId), c.message) << c.record;
        EXPECT_EQ(Caption(dialog, c.nameId), "Huhn %s %n") << "the name is shown, not used as a format";
        SAFE_FREE_XELEMENT(dialog);
    }
}

TEST_F(ConfirmBuyTest, AnObjectTheFarmDoesNotKnowFailsTheDialog) {
    EXPECT_EQ(Make("dlg_confirm_buy", "unicorn"), nullptr);
    EXPECT_EQ(game.GetChildCount(), 0) << "removed and deleted";
    delete game.m_pFarmManager;
    game.m_pFarmManager = nullptr;
    EXPECT_EQ(Make("dlg_confirm_buy", "hen"), nullptr) << "no farm manager: no object";
}

TEST_F(ConfirmBuyTest, TheCannotBuyDialogShowsThePlayersCoinsOnItsAddCoinsButton) {
    CXConfirmBuyDialog* dialog = Make("dlg_cant_buy", "hen");
    ASSERT_NE(dialog, nullptr);
    auto* coins = dynamic_cast<CXAddCoinsButton*>(dialog->FindChildWithWidgetId("btn_can_buy_addcoins"));
    ASSERT_NE(coins, nullptr) << "the game dialog's factory makes the add-coins button";
    EXPECT_EQ(coins->GetCaption().Length(), 0) << "no player: the caption stays as it was";
    AddPlayer(1234567, 0);
    dialog->UpdateCurrentCoinsAmount();
    EXPECT_EQ(std::string(coins->GetCaption().GetDataConst()), "1,234,567");
    SAFE_FREE_XELEMENT(dialog);

    // Made with a player, the coins are there from the start; another mode leaves them alone.
    dialog = Make("dlg_cant_buy", "pond");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(
        std::string(
            dynamic_cast<XButton*>(dialog->FindChildWithWidgetId("btn_can_buy_addcoins"))->GetCaption().GetDataConst()),
        "1,234,567");
    SAFE_FREE_XELEMENT(dialog);
    dialog = Make("dlg_confirm_sell", "pond");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dynamic_cast<XButton*>(dialog->FindChildWithWidgetId("btn_can_buy_addcoins"))->GetCaption().Length(), 0);
    SAFE_FREE_XELEMENT(dialog);
}

TEST_F(ConfirmBuyTest, TheIconIsFittedInto106By128AndNeverEnlarged) {
    struct TCase {
        const char* object;
        const char* set;  // whose frame 0 is the icon; null for none
        int scale;        // 16.16
        const char* why;
    } cases[] = {
        {"hen", "hen_icon", 65536, "a shop icon is drawn as it is, even when large"},
        {"pond", "pond_pic", 32768, "212 wide: half, keeping the aspect"},
        {"tower", "tower_pic", 41943, "200 high: 128/200 = 0.64"},
        {"shed", "shed", 43691, "no sprite named: the id's set; 106/159 x 65536 = 43690.67 rounds up"},
        {"gnome", "gnome_pic", 65536, "a missing icon set falls back to the picture; a small one keeps its size"},
        {"ghost", nullptr, 65536, "no such set: no icon"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CXConfirmBuyDialog* dialog = Make("dlg_confirm_buy", c.object);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetIcon(), c.set != nullptr ? Frame0(c.set) : nullptr);
        EXPECT_EQ(dialog->GetIconScale(), c.scale);
        SAFE_FREE_XELEMENT(dialog);
    }
    EXPECT_EQ(FitConfirmBuyIcon(0, 50), 65536) << "a picture without a size is left alone";
}

TEST_F(ConfirmBuyTest, TheIconIsDrawnOnItsFrameAtTheDialogsOpacity) {
    UseSoftScreen(320, 480);
    struct TCase {
        int x, y;     // the dialog's position
        int opacity;  // 0..255
    } cases[] = {{0, 0, 255}, {24, 88, 255}, {0, 0, 128}, {0, 0, 0}};
    for (const TCase& c : cases) {
        CXConfirmBuyDialog* dialog = Make("dlg_confirm_buy", "pond", c.x, c.y);
        ASSERT_NE(dialog, nullptr);
        dialog->ApplyOpacity(c.opacity * 256);
        recorder.draws.clear();
        dialog->Draw();
        ASSERT_EQ(recorder.draws.size(), 1u);
        const TRotatedDraw& d = recorder.draws[0];
        EXPECT_EQ(d.src, Frame0("pond_pic"));
        // The frame (121 x 141) at (40, 46) inside the dialog: its centre keeps the half pixel.
        EXPECT_EQ(d.x, (c.x + 40) * 256 + 121 * 128);
        EXPECT_EQ(d.y, (c.y + 46) * 256 + 141 * 128);
        EXPECT_EQ(d.angle, 0);
        EXPECT_EQ(d.scale, 32768);
        EXPECT_EQ(d.alphaOffset, c.opacity - 255) << c.opacity;
        SAFE_FREE_XELEMENT(dialog);
    }
    // A dialog without an icon frame draws no icon.
    auto* bare = static_cast<CXConfirmBuyDialog*>(InitOrFreeWidget(
        new CXConfirmBuyDialog(&game, templ.get(), templ->GetWidget("dlg_no_children"), nullptr, "pond", kConfirmBuy)));
    ASSERT_NE(bare, nullptr);
    EXPECT_NE(bare->GetIcon(), nullptr);
    recorder.draws.clear();
    bare->Draw();
    EXPECT_TRUE(recorder.draws.empty());
    SAFE_FREE_XELEMENT(bare);
}

bool IsRed(Colour p) { return mediatest::Near(p, 255, 0, 0, 40); }

// The same objects with their pictures loaded as textures of an OpenGL ES screen.
class ConfirmBuyGlTest : public ConfirmBuyTest {
protected:
    void SetUp() override {
        if (!UseGl(320, 300)) GTEST_SKIP() << "no headless EGL / GLES1 here";
        Prepare();
    }
};

TEST_F(ConfirmBuyGlTest, FittedIconsAreCentredOnTheirFrame) {
    struct TCase {
        const char* object;
        int width, height;  // as drawn
    } cases[] = {{"pond", 106, 50}, {"tower", 34, 128}, {"gnome", 50, 60}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.object);
        CXConfirmBuyDialog* dialog = Make("dlg_confirm_buy", c.object);
        ASSERT_NE(dialog, nullptr);
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        dialog->Draw();
        const TBox icon = FindBox(gl->Read(), IsRed);
        ASSERT_FALSE(icon.Empty());
        EXPECT_NEAR(icon.Width(), c.width, 1.5);
        EXPECT_NEAR(icon.Height(), c.height, 1.5);
        EXPECT_NEAR(icon.CentreX(), 40 + 60.5, 1.0);
        EXPECT_NEAR(icon.CentreY(), 46 + 70.5, 1.0);
        SAFE_FREE_XELEMENT(dialog);
    }
}

}  // namespace
