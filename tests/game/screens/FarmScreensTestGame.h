#pragma once
// The farm shop's and the quests screen's suites: the shop's game on the real pak (fonts, "ui"
// sets, coin-shop catalogue, a player) with the farm as the loader and the "Loading Farm" group
// loader leave it: the farm manager with the pak's yards, the mini-quests, the arenas and the
// "farm" sprite sets loaded. The player stands in the first yard. Deferred game messages are
// recorded, not delivered (CRealPakGame::posts).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ShopTestGame.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/Widget.h"
#include "ui/XElement.h"

namespace farmscreens {

class FarmScreensTest : public shoptest::ShopTest {
protected:
    explicit FarmScreensTest(int w = 320, int h = 480) : ShopTest(w, h) {}
    void SetUp() override {
        ShopTest::SetUp();
        if (IsSkipped()) return;
        game.m_pFarmManager = new CFarmManager(&game);
        ASSERT_TRUE(game.m_pFarmManager->PostConstruct());
        game.m_pMiniQuestManager = new CMiniQuestManager(&game);
        ASSERT_TRUE(game.m_pMiniQuestManager->PostConstruct());
        game.m_pArenaManager = new CArenaManager(&game);
        ASSERT_TRUE(game.m_pArenaManager->PostConstruct());
        // The loader declares the other sprite files; the farm's group loader loads its sets.
        ASSERT_TRUE(game.DefineSpriteSets_TheRest());
        CSpriteSetManager& sets = *game.m_pSpriteSetManager;
        for (int i = 0; i < sets.GetNumSpriteSets(); ++i)
            if (CSpriteSet* set = sets.GetSpriteSetAt(i); set->m_GroupName == "farm") {
                ASSERT_EQ(set->AddReference(), 1) << set->m_Name.GetDataConst();
            }
        game.m_bFarmGroupLoaded = true;
        Player().m_CurrentYard = "yard1";
    }

    CFarmManager& Farm() { return *game.m_pFarmManager; }
    YardDef* Yard(const char* id) { return Farm().GetYardDef(CommonString(id)); }
    // A yard of the farm made for a case: its id, star thresholds (the same for every star and
    // category unless given per star) and no objects yet; it becomes the player's current yard.
    YardDef* AddYard(const char* id, int threshold) {
        auto* yard = new YardDef;
        yard->id = id;
        yard->name = id;
        for (auto& star : yard->starThresholds)
            for (int& t : star) t = threshold;
        EXPECT_TRUE(Farm().m_Yards.Add(yard));
        Player().m_CurrentYard = id;
        return yard;
    }
    FarmObjectDef* AddObject(YardDef* yard, int category, const char* id, const char* name, int price,
                             const char* iconSprite, const char* sprite = "", bool isDefault = false) {
        auto* def = new FarmObjectDef;
        def->id = id;
        def->name = name;
        def->price = price;
        def->category = category;
        def->iconSprite = iconSprite;
        def->sprite = sprite;
        if (isDefault) def->flags |= kFarmFlagDefault;
        EXPECT_TRUE(yard->objects[category].Add(def));
        return def;
    }
    // A quest of the player's profile moved on: unlocked or completed, the objects bought.
    void SetQuestState(const char* yard, const char* quest, int state) {
        if (state >= 1) Player().MiniQuestUnlocked(CommonString(yard), CommonString(quest));
        if (state >= 2) Player().MiniQuestCompleted(CommonString(yard), CommonString(quest));
    }
    void Buy(const char* yard, const char* object) {
        Player().FarmObjectPurchased(CommonString(yard), CommonString(object));
    }

    // The ids of a list's rows in order.
    static std::vector<std::string> RowIds(CXElement* list) {
        std::vector<std::string> ids;
        for (int i = 0; list != nullptr && i < list->GetChildCount(); ++i)
            ids.push_back(static_cast<XWidget*>(list->GetChildPtrAt(i))->GetRecord()->name.GetDataConst());
        return ids;
    }
    // The newest direct child of the screen with that id, or null.
    static XWidget* Child(CXElement* screen, const char* id) {
        for (int i = screen != nullptr ? screen->GetChildCount() - 1 : -1; i >= 0; --i) {
            auto* w = dynamic_cast<XWidget*>(screen->GetChildPtrAt(i));
            if (w != nullptr && w->GetRecord() != nullptr && w->GetRecord()->name == id) return w;
        }
        return nullptr;
    }
    // Of the confirm and cannot-buy dialogs, only the one named (null: neither) is open on the
    // screen, in its mode and for that object.
    static void ExpectOfferDialog(CXElement* screen, const char* dialogId, const char* object) {
        for (const char* id : {"dlg_confirm_buy", "dlg_cant_buy"}) {
            auto* dialog = dynamic_cast<CXConfirmBuyDialog*>(Child(screen, id));
            const bool expected = dialogId != nullptr && std::string(dialogId) == id;
            EXPECT_EQ(dialog != nullptr, expected) << id;
            if (dialog != nullptr) {
                EXPECT_STREQ(dialog->GetObjectName().GetDataConst(), object);
                EXPECT_EQ(dialog->GetMode(), std::string(id) == "dlg_cant_buy" ? kCannotBuy : kConfirmBuy);
            }
        }
    }
    // A tap at the centre of a widget's drawing rectangle.
    void TapOn(XWidget* widget) {
        ASSERT_NE(widget, nullptr);
        const TCoordRect2D r = widget->GetDrawingRect();
        Tap(r.x + r.width / 2, r.y + r.height / 2);
    }
    std::vector<CRealPakGame::TPost> Posts() const { return game.posts; }
    // The pixels that a sprite's image covers fully, with their colour: the image drawn alone at
    // (40, 40) on black and on white, where both agree. It draws over the back buffer: read the
    // frame under test first.
    struct TInk {
        int dx, dy;
        shoptest::Pixel colour;
    };
    std::vector<TInk> OpaqueInk(IDibBitmap* image) {
        IDibBitmap* back = game.Screen().m_pBackBuffer;
        const TCoordRect2D all{0, 0, back->m_Width, back->m_Height};
        const auto alone = [&](unsigned char grey) {
            back->ClearBitmap(grey, grey, grey);
            BitBlt_Clipped(back, image, 40, 40, 0, 0, 0, 0, 0, all, 0);
            return gl->Read();
        };
        const mediatest::TImage onBlack = alone(0), onWhite = alone(255);
        std::vector<TInk> ink;
        for (int dy = 0; dy < image->m_Height; ++dy)
            for (int dx = 0; dx < image->m_Width; ++dx) {
                const shoptest::Pixel a = onBlack.At(40 + dx, 40 + dy), b = onWhite.At(40 + dx, 40 + dy);
                if (std::abs(a[0] - b[0]) <= 2 && std::abs(a[1] - b[1]) <= 2 && std::abs(a[2] - b[2]) <= 2)
                    ink.push_back({dx, dy, a});
            }
        return ink;
    }
    // How many of those pixels stand in the frame with the image's top left at (x, y).
    static int MatchingInk(const mediatest::TImage& frame, const std::vector<TInk>& ink, int x, int y) {
        int n = 0;
        for (const TInk& p : ink) {
            const shoptest::Pixel f = frame.At(x + p.dx, y + p.dy);
            bool same = true;
            for (int ch = 0; ch < 3; ++ch) same = same && std::abs(f[ch] - p.colour[ch]) <= 6;
            n += same ? 1 : 0;
        }
        return n;
    }
};

}  // namespace farmscreens
