// The quests screen on the real pak and its quests (Data\miniquests.txt): rows from the profile's
// quest states (locked, unlocked, completed), the purchase offer of an unlocked quest and the
// hand-off to the yard, the reward explanations filled safely from translators' formats, the
// rewards' texts worked out by hand, the tab it opens on, and the pictures loaded one row a frame.
//
// Pictures stay in build/<preset>/screens/quests/ to be looked at.
#include "game/screens/QuestsScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FarmScreensTestGame.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "game/screens/QuestRowParts.h"
#include "game/screens/QuestsScrollItem.h"
#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "ui/Image.h"
#include "ui/Text.h"

namespace {

using namespace farmscreens;
using shoptest::Count;

constexpr int kListTop = 86;
constexpr int kRowHeight = 72;
constexpr int kFirstRowTop = kListTop + 10;

class QuestsTest : public FarmScreensTest {
protected:
    // The screen as the yard opens it (its tab, back to the yard), settled and every row's
    // pictures loaded.
    CXQuestsScreen* Open(int tab = 0, int returnMessage = MSG_RUN_FARM) {
        EXPECT_TRUE(game.RunQuestsScreen(tab, returnMessage));
        Ticks(17 + 4);
        return game.m_pQuestsScreen;
    }
    CXQuestsScrollItemsDialog* List() { return game.m_pQuestsScreen->GetList(); }
    CXQuestsScrollItem* Row(int i) { return dynamic_cast<CXQuestsScrollItem*>(List()->GetChildPtrAt(i)); }
    CXQuestsScrollItem* RowOf(const char* id) { return List()->FindRow(id); }
    void TapRow(const char* id) {
        CXQuestsScrollItem* row = RowOf(id);
        ASSERT_NE(row, nullptr) << id;
        TapOn(row);
        Ticks(12);
    }
    XWidget* Dialog(const char* id) { return Child(game.m_pQuestsScreen, id); }
    std::string Caption(XWidget* dialog, const char* id) {
        auto* text = dialog != nullptr ? dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id)) : nullptr;
        return text != nullptr && text->GetCaption().Length() > 0 ? text->GetCaption().GetDataConst() : "<none>";
    }
    // The first yard's quests: feed (red) and frog (coins) completed, water unlocked with its
    // trough bought, orchard locked.
    void SeedFirstYard() {
        SetQuestState("yard1", "q1_feed", 2);
        Buy("yard1", "grain_feeder");
        Buy("yard1", "bird1");
        SetQuestState("yard1", "q1_water", 1);
        Buy("yard1", "water_trough");
        SetQuestState("yard1", "q1_frog", 2);
        Buy("yard1", "wooden_frog");
        Buy("yard1", "hay_bale");
    }
};

// ---- Worked by hand ----------------------------------------------------------------------------------

TEST(QuestRewards, TheCoinBonusIsWholePercentOfItsPerMille) {
    struct TCase {
        int perMille;
        const char* text;
    } cases[] = {
        {150, "+15%"},
        {155, "+15%"},
        {1, "+0%"},
        {999, "+99%"},
        {1000, "+100%"},
        // Through a double these came out one low.
        {290, "+29%"},
        {570, "+57%"},
        {580, "+58%"},
        {1130, "+113%"},
        {1140, "+114%"},
        {1150, "+115%"},
        {1160, "+116%"},
    };
    for (const auto& c : cases) EXPECT_STREQ(QuestCoinRewardText(c.perMille).GetDataConst(), c.text) << c.perMille;
}

TEST(QuestRewards, TheRewardedColourIsTheFirstOfGreenBlueYellowElseRed) {
    struct TCase {
        int red, green, blue, yellow;
        int colour;
    } cases[] = {{2, 0, 0, 0, 0}, {0, 2, 0, 0, 1}, {0, 0, 3, 0, 2}, {0, 0, 0, 4, 3},
                 {5, 0, 0, 1, 3}, {0, 1, 1, 1, 1}, {0, 0, 0, 0, 0}, {0, -2, 3, 0, 2}};
    for (const auto& c : cases) {
        MiniQuest quest;
        quest.extraScore[0] = c.red;
        quest.extraScore[1] = c.green;
        quest.extraScore[2] = c.blue;
        quest.extraScore[3] = c.yellow;
        EXPECT_EQ(QuestColourType(quest), c.colour) << c.red << c.green << c.blue << c.yellow;
    }
}

TEST(QuestRowParts, RectanglesIntersectWithTouchingEdgesCountingAsOverlap) {
    struct TCase {
        TRect2D a, b;
        bool overlap;
        TRect2D out;
        const char* why;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, true, {5, 5, 5, 5}, "overlapping corners"},
        {{0, 0, 100, 100}, {10, 20, 30, 40}, true, {10, 20, 30, 40}, "one inside the other"},
        {{0, 0, 10, 10}, {10, 0, 5, 10}, true, {10, 0, 0, 10}, "sharing an edge: width 0"},
        {{0, 0, 10, 10}, {0, 10, 10, 5}, true, {0, 10, 10, 0}, "sharing the bottom edge: height 0"},
        {{0, 0, 10, 10}, {20, 0, 5, 5}, false, {0, 0, 0, 5}, "apart across: that axis zero"},
        {{0, 0, 10, 10}, {2, 30, 4, 4}, false, {2, 0, 4, 0}, "apart down: that axis zero"},
        {{2000000000, 0, 1000000000, 8}, {2100000000, 0, 10, 8}, true, {2100000000, 0, 10, 8}, "far edges past int"},
    };
    for (const auto& c : cases) {
        TRect2D out{-1, -1, -1, -1};
        EXPECT_EQ(IntersectRects(c.a, c.b, out), c.overlap) << c.why;
        EXPECT_EQ(out.x, c.out.x) << c.why;
        EXPECT_EQ(out.y, c.out.y) << c.why;
        EXPECT_EQ(out.width, c.out.width) << c.why;
        EXPECT_EQ(out.height, c.out.height) << c.why;
    }
}

TEST(QuestRowParts, AnObjectsPictureIsFittedInto60PixelsTimesTheQuestsScale) {
    struct TCase {
        int w, h, questScale;
        FIXED_FLOAT_16 scale;
        const char* why;
    } cases[] = {
        {96, 96, 256, 40960, "a creature icon: 0.625"},
        {120, 60, 256, 32768, "wide: by its width, 0.5"},
        {56, 96, 256, 40960, "tall: by its height, 0.625"},
        {30, 30, 256, 131072, "small: enlarged to 2.0"},
        {96, 96, 512, 81920, "the quest's scale of 2.0 doubles it"},
        {96, 96, 128, 20480, "and 0.5 halves it"},
        {0, 10, 256, 65536, "no size: 1.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(QuestPictureScale(c.w, c.h, c.questScale), c.scale) << c.why;
}

// ---- Rows --------------------------------------------------------------------------------------------

TEST_F(QuestsTest, RowsFollowTheProfilesQuestStates) {
    SeedFirstYard();
    Open();
    struct TCase {
        const char* id;
        int state;
        bool first, second;
        const char* number;
    } cases[] = {
        {"q1_feed", kQuestCompleted, true, true, "1."},
        {"q1_water", kQuestUnlocked, true, false, "2."},
        {"q1_frog", kQuestCompleted, true, true, "3."},
        {"q1_orchard", kQuestLocked, false, false, "4."},
    };
    ASSERT_EQ(RowIds(List()), (std::vector<std::string>{"q1_feed", "q1_water", "q1_frog", "q1_orchard"}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CXQuestsScrollItem* row = RowOf(c.id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->GetState(), c.state);
        EXPECT_EQ(row->IsFirstBought(), c.first);
        EXPECT_EQ(row->IsSecondBought(), c.second);
        EXPECT_STREQ(row->GetRowNumber().GetDataConst(), c.number);
        EXPECT_TRUE(row->IsGraphicsLoaded());
        // A locked quest shows no objects and takes no touch.
        const bool locked = c.state == kQuestLocked;
        EXPECT_EQ(row->GetPicture(0).image == nullptr, locked);
        EXPECT_EQ(row->GetPicture(1).image == nullptr, locked);
        const TCoordRect2D r = row->GetDrawingRect();
        EXPECT_EQ(row->Contains(r.x + r.width / 2, r.y + r.height / 2), !locked);
    }
    // The rewards as the rows show them: red's extra points, the coin bonus and the arena.
    EXPECT_STREQ(RowOf("q1_feed")->GetScoreReward().GetDataConst(), "+2 points");
    EXPECT_EQ(RowOf("q1_feed")->GetColourType(), 0);
    EXPECT_STREQ(RowOf("q1_frog")->GetCoinReward().GetDataConst(), "+10%");
    EXPECT_STREQ(RowOf("q1_frog")->GetCoinRewardCaption().GetDataConst(), "more coins");
    EXPECT_STREQ(RowOf("q1_feed")->GetArenaCaption().GetDataConst(), "in Clover Field");
    // A bird's picture is its 96-pixel icon fitted into 60.
    EXPECT_EQ(RowOf("q1_feed")->GetPicture(1).scale, 40960);
}

TEST_F(QuestsTest, ALockedRowShowsThreeNeutralFramesAndTheOthersTheirState) {
    SeedFirstYard();
    Open();
    CSpriteSet* frames = game.m_pSpriteSetManager->GetSpriteSetNamed("miniquest_frames");
    CSpriteSet* result = game.m_pSpriteSetManager->GetSpriteSetNamed("miniquest_frame_result");
    IDibBitmap* neutral = frames->GetFrame(0);
    IDibBitmap* missing = frames->GetFrame(1);
    IDibBitmap* bought = frames->GetFrame(2);
    IDibBitmap* gold = result->GetFrame(0);
    struct TFrame {
        IDibBitmap* image;
        int alphaOffset;
    };
    struct TCase {
        const char* id;
        TFrame first, second, result;
    } cases[] = {
        {"q1_orchard", {neutral, -128}, {neutral, -128}, {neutral, -128}},  // locked
        {"q1_water", {bought, -64}, {missing, -64}, {neutral, -128}},       // the trough bought
        {"q1_feed", {bought, -64}, {bought, -64}, {gold, -64}},             // completed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const TFrame expected[3] = {c.first, c.second, c.result};
        const bool result[3] = {false, false, true}, second[3] = {false, true, false};
        for (int k = 0; k < 3; ++k) {
            int offset = 0;
            EXPECT_EQ(RowOf(c.id)->FrameImage(result[k], second[k], offset), expected[k].image) << k;
            EXPECT_EQ(offset, expected[k].alphaOffset) << k;
        }
    }
    // Drawn: a completed quest lies on a light band that rises over 16 frames; the same row
    // unlocked has none.
    Ticks(16);
    const mediatest::TImage completed = Frame();
    EXPECT_EQ(RowOf("q1_feed")->GetHighlightAlpha(), 64);
    Player().Reset();
    Player().m_CurrentYard = "yard1";
    SetQuestState("yard1", "q1_feed", 1);
    Open();
    Ticks(16);
    const mediatest::TImage unlocked = Frame();
    // Right of the reward, above the medal: 10 x 30 pixels of the row's background.
    const auto band = [&](const mediatest::TImage& f) {
        return shoptest::Sum(f, 308, kFirstRowTop + 4, 318, kFirstRowTop + 34);
    };
    EXPECT_GT(band(completed), band(unlocked) + 10 * 30 * 3 * 12) << "lighter by over 12 a channel";
}

// A tick marks each object already bought, at its own object: bottom right of the object's frame
// (57 + a quarter of the tick's width right of the row's left, its bottom 70 below the row's
// top), 80 pixels further right for the second object. The tick's pixels are taken from the
// tick drawn alone on black and on white, where both agree (it covers them fully).
TEST_F(QuestsTest, ATickMarksEachBoughtObjectAndNoOther) {
    SetQuestState("yard1", "q1_feed", 1);
    Buy("yard1", "bird1");  // q1_feed's second object only
    SetQuestState("yard1", "q1_water", 1);
    Buy("yard1", "water_trough");  // q1_water's first object only
    SetQuestState("yard1", "q1_frog", 1);  // neither
    Open();
    Ticks(16);
    const mediatest::TImage frame = Frame();

    IDibBitmap* tick = game.m_pSpriteSetManager->GetSpriteSetNamed("miniquest_obj_tick")->GetFrame(0);
    ASSERT_NE(tick, nullptr);
    const std::vector<TInk> ink = OpaqueInk(tick);
    ASSERT_GT(ink.size(), 100u) << "the tick covers most of its 20 x 20";
    const auto matching = [&](int x, int y) { return MatchingInk(frame, ink, x, y); };
    const struct {
        const char* id;
        bool bought[2];
    } cases[] = {{"q1_feed", {false, true}}, {"q1_water", {true, false}}, {"q1_frog", {false, false}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const TCoordRect2D r = RowOf(c.id)->GetDrawingRect();
        for (int k = 0; k < 2; ++k) {
            const int n = matching(r.x + 57 + 80 * k + tick->m_Width / 4, r.y + 70 - tick->m_Height);
            if (c.bought[k])
                EXPECT_GT(n, static_cast<int>(ink.size()) * 9 / 10) << "object " << k + 1 << " ticked";
            else
                EXPECT_LT(n, static_cast<int>(ink.size()) / 4) << "object " << k + 1 << " not ticked";
        }
    }
}

TEST_F(QuestsTest, AnUnlockedQuestOffersItsFirstMissingObject) {
    struct TCase {
        bool trough, daisies;
        int coins;
        const char* chosen;
        const char* dialog;
        const char* why;
    } cases[] = {
        {false, false, 100, "water_trough", "dlg_confirm_buy", "nothing bought: the trough (12 coins)"},
        {true, false, 100, "daisy_patch", "dlg_confirm_buy", "the trough bought: the daisies (5)"},
        {false, false, 12, "water_trough", "dlg_confirm_buy", "exactly the price"},
        {false, false, 11, "water_trough", "dlg_cant_buy", "a coin short: cannot buy"},
        {true, false, 4, "daisy_patch", "dlg_cant_buy", "the daisies, a coin short"},
        {true, true, 100, "", nullptr, "both bought, not completed: nothing"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TUserProfile& player = Player();
        player.Reset();
        player.m_CurrentYard = "yard1";
        player.m_nCoins = c.coins;
        SetQuestState("yard1", "q1_water", 1);
        if (c.trough) Buy("yard1", "water_trough");
        if (c.daisies) Buy("yard1", "daisy_patch");
        Open();
        TapRow("q1_water");
        EXPECT_STREQ(game.m_pQuestsScreen->GetChosenObject().GetDataConst()
                         ? game.m_pQuestsScreen->GetChosenObject().GetDataConst()
                         : "",
                     c.chosen);
        ExpectOfferDialog(game.m_pQuestsScreen, c.dialog, c.chosen);
        EXPECT_TRUE(Posts().empty());
    }
}

TEST_F(QuestsTest, TappingALockedQuestDoesNothing) {
    Player().m_nCoins = 500;
    Open();
    TapRow("q1_orchard");
    EXPECT_EQ(Dialog("dlg_confirm_buy"), nullptr);
    EXPECT_EQ(Dialog("dlg_cant_buy"), nullptr);
    EXPECT_EQ(game.m_pQuestsScreen->GetChosenObject().Length(), 0);
}

TEST_F(QuestsTest, AConfirmedPurchaseOpensTheTabsYardWithTheObjectPending) {
    Player().m_nCoins = 100;
    SetQuestState("yard2", "q2_warm", 1);
    Open(0, MSG_RUN_START_MENU);
    TapOn(game.m_pQuestsScreen->FindChildWithWidgetId("tab_quests_2"));
    Ticks(14 + 2);
    ASSERT_EQ(List()->GetCurrentCategory(), 1);
    TapRow("q2_warm");
    XWidget* confirm = Dialog("dlg_confirm_buy");
    ASSERT_NE(confirm, nullptr);
    TapOn(confirm->FindChildWithWidgetId("btn_confirm_buy_yes"));
    EXPECT_STREQ(Player().m_CurrentYard.GetDataConst(), "yard2");
    EXPECT_STREQ(game.m_PendingPurchaseName.GetDataConst(), "heat_lamp");
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_FARM, 0, 0}}));
    EXPECT_EQ(Player().m_nCoins, 100) << "the yard pays when it buys";
}

TEST_F(QuestsTest, CancelClosesTheOfferAndTheAddCoinsButtonOpensTheCoinShop) {
    Player().m_nCoins = 3;
    SetQuestState("yard1", "q1_water", 1);
    Open();
    TapRow("q1_water");
    XWidget* cannot = Dialog("dlg_cant_buy");
    ASSERT_NE(cannot, nullptr);
    TapOn(cannot->FindChildWithWidgetId("btn_cant_buy_close"));
    Ticks(12);
    EXPECT_EQ(Dialog("dlg_cant_buy"), nullptr);
    EXPECT_TRUE(Posts().empty());
    TapRow("q1_water");
    TapOn(Dialog("dlg_cant_buy")->FindChildWithWidgetId("btn_can_buy_addcoins"));
    EXPECT_STREQ(game.m_PendingStartAction.GetDataConst(), "acn_addcoins_on");
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_PLAY_SCREEN, 0, 0}}));
    EXPECT_STREQ(Player().m_CurrentYard.GetDataConst(), "yard1");
}

TEST_F(QuestsTest, OkPostsTheMessageTheScreenWasOpenedWith) {
    for (int message : {MSG_RUN_START_MENU, MSG_RUN_FARM}) {
        game.posts.clear();
        Open(0, message);
        TapOn(game.m_pQuestsScreen->FindChildWithWidgetId("btn_quests_ok"));
        EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{message, 0, 0}}));
    }
}

TEST_F(QuestsTest, ACompletedQuestExplainsItsRewardWithTheColourAndTheArenas) {
    struct TCase {
        const char* yard;
        const char* quest;
        const char* dialog;
        const char* text;
        const char* expected;
        int egg;  // the marble's frame, -1 for the coin explanation
    } cases[] = {
        {"yard1", "q1_feed", "dlg_quest_explain_eggs", "txt_quest_explain",
         "Every Red marble you pop scores extra points in Clover Field.", 0},
        {"yard1", "q1_orchard", "dlg_quest_explain_eggs", "txt_quest_explain",
         "Every Yellow marble you pop scores extra points in Clover Field.", 3},
        {"yard1", "q1_frog", "dlg_quest_explain_coins", "txtm_quest_explain_coin",
         "You earn more coins after every round in Clover Field.", -1},
        {"yard4", "q4_photo", "dlg_quest_explain_coins", "txtm_quest_explain_coin",
         "You earn more coins after every round in all arenas.", -1},
        {"yard4", "q4_dance", "dlg_quest_explain_eggs", "txt_quest_explain",
         "Every Green marble you pop scores extra points in all arenas.", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quest);
        SetQuestState(c.yard, c.quest, 2);
        Open(std::string(c.yard) == "yard4" ? 3 : 0);
        TapRow(c.quest);
        XWidget* dialog = Dialog(c.dialog);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Caption(dialog, c.text), c.expected);
        if (c.egg >= 0) {
            auto* egg = dynamic_cast<XImage*>(dialog->FindChildWithWidgetId("img_quest_explain_egg"));
            ASSERT_NE(egg, nullptr);
            EXPECT_EQ(egg->Image().frame, c.egg);
        }
        if (std::string(c.quest) == "q1_feed") KeepPicture(Frame(), "quests", "2_score_explained.png");
        if (std::string(c.quest) == "q4_photo") KeepPicture(Frame(), "quests", "3_coins_explained.png");
        // OK closes it.
        TapOn(dialog->FindChildWithWidgetId("btn_quest_explain_ok"));
        Ticks(12);
        EXPECT_EQ(Dialog(c.dialog), nullptr);
        EXPECT_TRUE(Posts().empty());
    }
}

TEST_F(QuestsTest, AnExplanationsTranslatedFormatIsFilledSafely) {
    // A careless translation: a stray %n, a %d where the code gives texts, a %s too many and a
    // bare percent sign. Only the %s take the colour and the arenas; the rest stays as written.
    OverlayTemplate([](std::string& t) {
        const std::string from =
            "    caption = \"Every %s marble you pop scores extra points %s.\"\n    txtid = ID_UI_QUEST_EXPLAIN_EGGS\n";
        const std::size_t at = t.find(from);
        ASSERT_NE(at, std::string::npos);
        t.replace(at, from.size(), "    caption = \"%s%n marble %s %d %s 100%\"\n");
    });
    SetQuestState("yard1", "q1_feed", 2);
    Open();
    TapRow("q1_feed");
    EXPECT_EQ(Caption(Dialog("dlg_quest_explain_eggs"), "txt_quest_explain"),
              "Red%n marble in Clover Field %d %s 100%");
}

TEST_F(QuestsTest, TheArenaCaptionNamesOneArenaOrAllOfThem) {
    struct TCase {
        std::vector<const char*> arenas;
        const char* caption;
    } cases[] = {
        {{"arena1"}, "in Clover Field"},
        {{"arena2"}, "in Ruby Canyon"},
        {{"arena1", "arena3"}, "in all arenas"},
        {{"nowhere"}, ""},
        {{}, ""},
    };
    MiniQuestsSet* set = game.m_pMiniQuestManager->GetSet(0);
    for (const auto& c : cases) {
        set->affectedArenas.RemoveAll();
        for (const char* arena : c.arenas) ASSERT_TRUE(set->affectedArenas.Add(new CommonString(arena)));
        SetQuestState("yard1", "q1_water", 1);
        Open();
        EXPECT_STREQ(RowOf("q1_water")->GetArenaCaption().GetDataConst()
                         ? RowOf("q1_water")->GetArenaCaption().GetDataConst()
                         : "",
                     c.caption);
    }
}

// ---- The screen ---------------------------------------------------------------------------------------

TEST_F(QuestsTest, OpeningOnAYardsTabShowsItsQuestsAtOnce) {
    ASSERT_EQ(game.OnMessage(nullptr, MSG_RUN_QUESTS, 3, MSG_RUN_FARM), 1);
    CXQuestsScreen* screen = game.m_pQuestsScreen;
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->m_nReturnMessage, MSG_RUN_FARM);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(screen->m_pTabControl->GetTab(i)->IsActive(), i == 3);
    EXPECT_EQ(List()->GetCurrentCategory(), 3);
    EXPECT_FALSE(List()->IsCategoryFading());
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"q4_fire", "q4_dance", "q4_photo", "q4_lights"}));
    // Another tab cross-fades to its yard's quests.
    Ticks(17);
    TapOn(screen->FindChildWithWidgetId("tab_quests_1"));
    Ticks(1);
    EXPECT_TRUE(List()->IsCategoryFading());
    Ticks(14);
    EXPECT_EQ(RowIds(List()), (std::vector<std::string>{"q1_feed", "q1_water", "q1_frog", "q1_orchard"}));
}

TEST_F(QuestsTest, TheObjectsPicturesLoadOneRowAFrame) {
    for (const char* quest : {"q1_feed", "q1_water", "q1_frog", "q1_orchard"}) SetQuestState("yard1", quest, 1);
    ASSERT_TRUE(game.RunQuestsScreen(0, MSG_RUN_FARM));
    const auto loaded = [&] {
        int n = 0;
        for (int i = 0; i < List()->GetChildCount(); ++i) n += Row(i)->IsGraphicsLoaded() ? 1 : 0;
        return n;
    };
    std::vector<int> counts;
    for (int tick = 0; tick < 24; ++tick) {
        counts.push_back(loaded());
        game.RunProcess();
    }
    // Nothing while the screen fades in; then one row a frame, in order, until all four are in.
    EXPECT_EQ(counts.front(), 0);
    for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_LE(counts[i] - counts[i - 1], 1) << i;
    EXPECT_EQ(counts.back(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Row(i)->GetPicture(0).image != nullptr, true) << i;
}

TEST_F(QuestsTest, AScreenWithoutItsTabsOrListDoesNotOpen) {
    for (const char* line : {"    child = \"dlg_quests_tab_control\"\n        position = 0, 48\n",
                             "    child = \"dlg_quests_scroll\"\n        position = 0, 86\n"}) {
        OverlayTemplate([&](std::string& t) {
            const std::size_t at = t.find(line, t.find("root = \"root_quests\""));
            ASSERT_NE(at, std::string::npos);
            t.erase(at, std::string(line).size());
        });
        EXPECT_FALSE(game.RunQuestsScreen(0, MSG_RUN_FARM)) << line;
        EXPECT_EQ(game.m_pQuestsScreen, nullptr);
    }
}

TEST_F(QuestsTest, PicturesOfLockedUnlockedAndCompletedQuests) {
    Player().m_nCoins = 120;
    SeedFirstYard();
    Open();
    KeepPicture(Frame(), "quests", "1_meadow.png");
    SetQuestState("yard4", "q4_photo", 2);
    SetQuestState("yard4", "q4_fire", 1);
    Buy("yard4", "bird10");
    Open(3);
    KeepPicture(Frame(), "quests", "4_barn.png");
}

}  // namespace
