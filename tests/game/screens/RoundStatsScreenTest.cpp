// The round statistics on the real pak, over a round screen that has just ended: the quest list
// made from the profile's quest states (every yard's unlocked quests, or the placeholder alone,
// centred), the object a tap offers and the dialog it opens by price, the confirmed purchase
// handed to the yard (current yard, pending name, the farm opened), the coin shop from the
// cannot-buy dialog, and pictures through GL at sections 2, 5 and 8, read back pixel by pixel.
//
// Pictures stay in build/<preset>/screens/round-stats/ to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "FarmScreensTestGame.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/widgets/TiledBGTutorial.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/RoundStatsQuests.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/RandomTables.h"
#include "text/BitmapFont.h"
#include "game/progress/GameFonts.h"

namespace {

using namespace farmscreens;
using shoptest::Count;
using Pixel = shoptest::Pixel;

constexpr int kListTop = 294;
constexpr int kListBottom = 480 - 60;
constexpr int kRowHeight = 72;

class RoundStatsScreenTest : public FarmScreensTest {
protected:
    explicit RoundStatsScreenTest(int height = 480, int width = 320) : FarmScreensTest(width, height) {}
    void SetUp() override {
        FarmScreensTest::SetUp();
        if (IsSkipped()) return;
        // What "Loading Game" leaves loaded for a round.
        CSpriteSetManager& sets = *game.m_pSpriteSetManager;
        for (int i = 0; i < sets.GetNumSpriteSets(); ++i)
            if (CSpriteSet* set = sets.GetSpriteSetAt(i); set->m_GroupName == "gameplay") {
                ASSERT_EQ(set->AddReference(), 1) << set->m_Name.GetDataConst();
            }
        game.m_bGameplayGroupLoaded = true;
        ASSERT_EQ(game.m_pParticleManager->GetParticleSystemNamed("StarBlinks")->InitFromFile(), 1);
        Player().m_CurrentArena = "arena1";
    }

    // A round opened as the game opens it, ended with these results (the profile's coins and
    // experience already counting them), and its statistics opened as a press after game over
    // opens them, the curtain risen.
    CXRoundStatsDialog* OpenStats(int score = 12345, int pickedUp = 9, int coinsAfter = 120) {
        EXPECT_TRUE(game.RunGamePlaySurvival());
        CXGameplaySurvival* round = game.m_pGameplayScreen;
        if (round == nullptr) return nullptr;
        Ticks(17);
        round->m_bGameOver = true;
        round->m_nGameOverClock = 5 * 65536;
        round->m_nScore = score;
        round->m_nCoinsPickedUp = pickedUp;
        round->m_nCoinsFromScore = score / 1000;
        round->m_nRoundCoins = pickedUp + score / 1000;
        round->m_uExperienceBefore = 20000;
        Player().m_nCoins = coinsAfter;
        Player().m_uExperiencePoints = 20000 + static_cast<unsigned int>(score);
        Touch(XPOINTER_PRESS, 160, 300);
        Touch(XPOINTER_RELEASE, 160, 300);
        auto* stats = dynamic_cast<CXRoundStatsDialog*>(round->m_pRoundStatsDialog);
        EXPECT_NE(stats, nullptr) << "a press after game over opens the statistics";
        return stats;
    }
    // Frames until the dialog enters a section, then that many more (bounded).
    void RunTo(CXRoundStatsDialog* stats, int section, int framesAfter) {
        for (int n = 0; n < 600 && stats->GetSection() != section; ++n) game.RunProcess();
        ASSERT_EQ(stats->GetSection(), section);
        Ticks(framesAfter);
    }
    // The quests shown: the list built as section 8 builds it.
    CXRoundStatsQuestsScrollDialog* Quests(CXRoundStatsDialog* stats) {
        stats->ShowAll();
        Ticks(30);
        return stats->GetQuestList();
    }
    // The statistics opened and run until their quest list has settled (section 8 and 130
    // frames on): the frame then, and the list's first row.
    CXRoundStatsQuestsScrollItem* SettledFirstQuestRow(mediatest::TImage& frame) {
        CXRoundStatsDialog* stats = OpenStats();
        EXPECT_NE(stats, nullptr);
        if (stats == nullptr) return nullptr;
        RunTo(stats, 8, 130);
        frame = Frame();
        CXRoundStatsQuestsScrollDialog* list = stats->GetQuestList();
        return list != nullptr ? dynamic_cast<CXRoundStatsQuestsScrollItem*>(list->GetChildPtrAt(0)) : nullptr;
    }
    XWidget* Dialog(const char* id) { return Child(game.m_pGameplayScreen, id); }
    int Price(const char* id) { return Farm().GetFarmObjectDef(CommonString(id))->price; }
};

TEST_F(RoundStatsScreenTest, WithoutAQuestInProgressThePlaceholderStandsAloneInTheMiddle) {
    // A completed quest is no longer in progress.
    SetQuestState("yard1", "q1_feed", 2);
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    CXRoundStatsQuestsScrollDialog* list = Quests(stats);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsVisible());
    EXPECT_TRUE(list->IsPlaceholder());
    EXPECT_EQ(RowIds(list), (std::vector<std::string>{"id_dummy"}));
    const TCoordRect2D area = list->GetListArea();
    EXPECT_EQ(area.y, kListTop);
    EXPECT_EQ(area.y + area.height, kListBottom) << "60 pixels kept for the buttons";
    const TCoordRect2D row = static_cast<XWidget*>(list->GetChildPtrAt(0))->GetDrawingRect();
    EXPECT_EQ(row.y - area.y, area.y + area.height - (row.y + row.height)) << "centred";
    EXPECT_EQ(row.height, kRowHeight);
    // A tap on it offers nothing.
    Tap(160, row.y + row.height / 2);
    Ticks(12);
    EXPECT_EQ(Dialog("dlg_confirm_buy"), nullptr);
    EXPECT_EQ(Dialog("dlg_cant_buy"), nullptr);
    EXPECT_EQ(stats->GetChosenObject().Length(), 0);
}

TEST_F(RoundStatsScreenTest, TheRowsAreEveryYardsUnlockedQuestsInOrderLoadedOneAFrame) {
    SetQuestState("yard1", "q1_water", 1);
    SetQuestState("yard1", "q1_feed", 1);
    SetQuestState("yard1", "q1_frog", 2);
    SetQuestState("yard2", "q2_warm", 1);
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    stats->ShowAll();
    CXRoundStatsQuestsScrollDialog* list = stats->GetQuestList();
    EXPECT_FALSE(list->IsPlaceholder());
    EXPECT_EQ(RowIds(list), (std::vector<std::string>{"q1_water", "q1_feed", "q2_warm"}));
    EXPECT_EQ(list->GetNextRowToLoad(), 0);
    for (int frame = 1; frame <= 3; ++frame) {
        game.RunProcess();
        for (int i = 0; i < 3; ++i) {
            auto* row = dynamic_cast<CXRoundStatsQuestsScrollItem*>(list->GetChildPtrAt(i));
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->IsGraphicsLoaded(), i < frame) << "frame " << frame << " row " << i;
        }
    }
    auto* warm = dynamic_cast<CXRoundStatsQuestsScrollItem*>(list->GetChildPtrAt(2));
    EXPECT_STREQ(warm->GetCaption().GetDataConst(), "in Apple Orchard");
    EXPECT_NE(warm->GetPicture(0).image, nullptr) << "the heat lamp's picture";
    EXPECT_NE(warm->GetPicture(1).image, nullptr);
}

// The quest list is built with the dialog but waits hidden until the quests' section.
TEST_F(RoundStatsScreenTest, TheQuestListWaitsHiddenUntilTheQuestsSection) {
    SetQuestState("yard1", "q1_water", 1);
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    CXRoundStatsQuestsScrollDialog* list = stats->GetQuestList();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->IsVisible());
    RunTo(stats, 7, 0);
    EXPECT_FALSE(list->IsVisible());
    RunTo(stats, 8, 0);
    EXPECT_TRUE(list->IsVisible());
}

// The rank's number, measured in "FontLifes" at 1.15 times its size, is centred on the meter's
// centre (260, 158) and raised: its top 8.5 above the centre less half its scaled height, both
// rounded to whole pixels.
TEST_F(RoundStatsScreenTest, TheRankNumberIsCentredOnTheMeterAndRaised) {
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    const CBitmapFontText* font = game.m_Fonts[kGameFontLifes];
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(stats->GetShownRank(), 1) << "20000 points before the round";
    const int width = font->Length2("1"), height = font->GetCharHeight();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    EXPECT_EQ(stats->GetRankLeft(), (260 - static_cast<int>(std::round(width * 0.575))) * 256);
    EXPECT_EQ(stats->GetRankTop(), (158 - 8 - static_cast<int>(std::round(height * 0.575))) * 256 - 128);
}

// Once the count-up has ended, ending it again changes nothing: the quest rows stay the rows that
// were built, with their pictures, and the list where it was scrolled.
TEST_F(RoundStatsScreenTest, EndingTheCountUpAgainKeepsTheQuestRowsAndTheirPlace) {
    SetQuestState("yard1", "q1_water", 1);
    SetQuestState("yard1", "q1_feed", 1);
    SetQuestState("yard2", "q2_warm", 1);
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    CXRoundStatsQuestsScrollDialog* list = Quests(stats);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetChildCount(), 3);
    const CXElement* rows[] = {list->GetChildPtrAt(0), list->GetChildPtrAt(1), list->GetChildPtrAt(2)};
    list->SetScrollPosition(list->GetScrollPosition() + 20 * 256);
    const FIXED_FLOAT position = list->GetScrollPosition();
    stats->ShowAll();
    ASSERT_EQ(list->GetChildCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->GetChildPtrAt(i), rows[i]) << i;
        auto* row = dynamic_cast<CXRoundStatsQuestsScrollItem*>(list->GetChildPtrAt(i));
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->IsGraphicsLoaded()) << i;
    }
    EXPECT_EQ(list->GetScrollPosition(), position);
}

TEST_F(RoundStatsScreenTest, ATapOffersTheFirstMissingObjectAndTheDialogGoesByPrice) {
    const int feeder = Price("grain_feeder"), bird = Price("bird1");
    const struct {
        const char* why;
        bool firstBought, secondBought;
        int coins;
        const char* chosen;  // empty: nothing offered
        const char* dialog;  // null: none
    } cases[] = {
        {"nothing bought, enough coins", false, false, feeder, "grain_feeder", "dlg_confirm_buy"},
        {"nothing bought, a coin short", false, false, feeder - 1, "grain_feeder", "dlg_cant_buy"},
        {"the first bought: the second", true, false, bird, "bird1", "dlg_confirm_buy"},
        {"both bought: nothing", true, true, 5000, "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Player().m_MiniQuestStates.RemoveAll();
        SetQuestState("yard1", "q1_feed", 1);
        if (c.firstBought) Buy("yard1", "grain_feeder");
        if (c.secondBought) Buy("yard1", "bird1");
        CXRoundStatsDialog* stats = OpenStats(12345, 9, c.coins);
        ASSERT_NE(stats, nullptr);
        CXRoundStatsQuestsScrollDialog* list = Quests(stats);
        ASSERT_EQ(RowIds(list), (std::vector<std::string>{"q1_feed"}));
        TapOn(static_cast<XWidget*>(list->GetChildPtrAt(0)));
        Ticks(12);
        EXPECT_STREQ(stats->GetChosenObject().Length() > 0 ? stats->GetChosenObject().GetDataConst() : "", c.chosen);
        EXPECT_STREQ(stats->GetChosenYard().Length() > 0 ? stats->GetChosenYard().GetDataConst() : "",
                     c.chosen[0] != '\0' ? "yard1" : "");
        ExpectOfferDialog(game.m_pGameplayScreen, c.dialog, c.chosen);
        EXPECT_TRUE(Posts().empty());
        game.SafeDeleteChildren();
    }
}

TEST_F(RoundStatsScreenTest, AConfirmedPurchaseArrivesAtTheYardAsItsPendingPurchase) {
    // The quest lies in the second yard while the player stands in the first.
    Player().m_CurrentYard = "yard1";
    SetQuestState("yard2", "q2_warm", 1);
    CXRoundStatsDialog* stats = OpenStats(12345, 9, 500);
    ASSERT_NE(stats, nullptr);
    CXRoundStatsQuestsScrollDialog* list = Quests(stats);
    TapOn(static_cast<XWidget*>(list->GetChildPtrAt(0)));
    Ticks(12);
    XWidget* confirm = Dialog("dlg_confirm_buy");
    ASSERT_NE(confirm, nullptr);
    TapOn(confirm->FindChildWithWidgetId("btn_confirm_buy_yes"));
    EXPECT_STREQ(Player().m_CurrentYard.GetDataConst(), "yard2");
    EXPECT_STREQ(game.m_PendingPurchaseName.GetDataConst(), "heat_lamp");
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_FARM, 0, 0}}));
    EXPECT_EQ(Player().m_nCoins, 500) << "the yard pays when it buys";
}

TEST_F(RoundStatsScreenTest, TheCannotBuyDialogsCoinButtonOpensTheCoinShopOnThePlayScreen) {
    SetQuestState("yard1", "q1_feed", 1);
    CXRoundStatsDialog* stats = OpenStats(12345, 9, 0);
    ASSERT_NE(stats, nullptr);
    TapOn(static_cast<XWidget*>(Quests(stats)->GetChildPtrAt(0)));
    Ticks(12);
    XWidget* cannot = Dialog("dlg_cant_buy");
    ASSERT_NE(cannot, nullptr);
    TapOn(cannot->FindChildWithWidgetId("btn_can_buy_addcoins"));
    EXPECT_STREQ(game.m_PendingStartAction.GetDataConst(), "acn_addcoins_on");
    EXPECT_EQ(Posts(), (std::vector<CRealPakGame::TPost>{{MSG_RUN_PLAY_SCREEN, 0, 0}}));
    EXPECT_EQ(game.m_PendingPurchaseName.Length(), 0);
}

// ---- Pictures ------------------------------------------------------------------------------------

// Text of the rows: the green of the score and total rows, the white of the coin rows.
bool IsRowGreen(const Pixel& p) { return p[1] > 150 && p[0] < 90 && p[2] < 90; }
// White text, perhaps still fading in over the dark background.
bool IsWhite(const Pixel& p) { return p[0] > 140 && std::abs(p[0] - p[1]) < 16 && std::abs(p[1] - p[2]) < 16; }
// The meter's shield: its blue body.
bool IsShieldBlue(const Pixel& p) { return p[2] > 90 && p[2] > p[0] + 40 && p[2] > p[1] + 10; }
// The quest frames' orange (not bought) and the placeholder's grey text.
bool IsFrameOrange(const Pixel& p) { return p[0] > 150 && p[1] > 90 && p[1] < 200 && p[2] < 90; }
bool IsPlaceholderGrey(const Pixel& p) {
    return p[0] > 120 && std::abs(p[0] - p[1]) < 12 && std::abs(p[1] - p[2]) < 12;
}

// Where the rows' texts lie: the band above each row's y (texts rise 16 pixels at scale 0.8).
int RowBandCount(const mediatest::TImage& img, int rowY, bool (*test)(const Pixel&)) {
    return Count(img, 40, rowY - 18, 300, rowY + 2, test);
}

TEST_F(RoundStatsScreenTest, PicturesAtSectionsTwoFiveAndEightWithQuestsAndWithThePlaceholder) {
    SetQuestState("yard1", "q1_feed", 1);
    SetQuestState("yard2", "q2_warm", 1);
    Buy("yard1", "grain_feeder");
    Player().m_nBoostPoints = 1;
    CXRoundStatsDialog* stats = OpenStats(12345, 9, 120);
    ASSERT_NE(stats, nullptr);

    RunTo(stats, 2, 18);
    mediatest::TImage img = Frame();
    KeepPicture(img, "round-stats", "01_section2.png");
    EXPECT_GT(RowBandCount(img, 65, IsRowGreen), 40) << "the round score in green";
    EXPECT_GT(RowBandCount(img, 115, IsWhite), 40) << "the coins picked up counting";
    EXPECT_EQ(RowBandCount(img, 145, IsWhite), 0) << "no score bonus yet";
    EXPECT_EQ(RowBandCount(img, 205, IsRowGreen), 0) << "no total yet";
    EXPECT_EQ(Count(img, 214, 104, 306, 212, IsShieldBlue), 0) << "no meter yet";

    RunTo(stats, 5, 18);
    img = Frame();
    KeepPicture(img, "round-stats", "02_section5.png");
    for (int y : {115, 145, 175}) EXPECT_GT(RowBandCount(img, y, IsWhite), 40) << y;
    EXPECT_GT(RowBandCount(img, 205, IsRowGreen), 40) << "the coin total counting";
    EXPECT_EQ(Count(img, 214, 104, 306, 212, IsShieldBlue), 0) << "no meter yet";
    EXPECT_EQ(Count(img, 0, kListTop, 320, kListBottom, IsFrameOrange), 0) << "no quests yet";

    RunTo(stats, 8, 130);
    img = Frame();
    KeepPicture(img, "round-stats", "03_section8_quests.png");
    EXPECT_GT(Count(img, 214, 104, 306, 212, IsShieldBlue), 1500) << "the meter's shield";
    // The first row's first object is bought (green frame), the second not (orange frame).
    EXPECT_GT(Count(img, 87, kListTop + 8, 143, kListTop + 64, IsFrameOrange), 100) << "the first row's open frame";
    EXPECT_GT(Count(img, 200, kListTop, 320, kListTop + 72, [](const Pixel& p) { return p[0] + p[1] + p[2] > 200; }),
              300)
        << "the yard's picture";
    EXPECT_EQ(Count(img, 0, kListBottom + 2, 320, 480, IsFrameOrange), 0) << "nothing of the list over the buttons";
    EXPECT_TRUE(stats->FindChildWithWidgetId("btn_failed_continue")->IsVisible());
}

// The yard's caption ("in " and the yard's name, at 0.8 of "FontSmall") is centred under the yard's
// picture, 270 pixels from the row's left, unless that would carry it past the row's end: then
// it ends 3 pixels before the row's right edge. Its top is the row's bottom + 3 less 0.8 of a
// line. A short name and the first yard's own, which reaches past the end, each on the first row.
TEST_F(RoundStatsScreenTest, TheYardsCaptionIsCentredUnderItsPictureButEndsInsideTheRow) {
    const struct {
        const char* name;
        bool clamped;
    } cases[] = {{"Barn", false}, {"Sunny Meadow", true}};
    CBitmapFontText* font = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(font, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Yard("yard1")->name = c.name;
        SetQuestState("yard1", "q1_feed", 1);
        mediatest::TImage img;
        CXRoundStatsQuestsScrollItem* row = nullptr;
        ASSERT_NO_FATAL_FAILURE(row = SettledFirstQuestRow(img));
        ASSERT_NE(row, nullptr);
        const std::string caption = std::string("in ") + c.name;
        ASSERT_EQ(row->GetCaption().GetDataConst(), caption);
        const TCoordRect2D r = row->GetDrawingRect();
        const double width = font->Length2(caption.c_str()) * 0.8;
        const double right = r.x + r.width - 3.0;
        ASSERT_EQ(r.x + 270 + width / 2 > right, c.clamped) << "the case's name is " << width << " pixels";
        const double centre = c.clamped ? right - width / 2 : r.x + 270.0;
        const int bottom = r.y + r.height;
        const int top = static_cast<int>(bottom + 3 - font->GetCharHeight() * 0.8);
        const auto white = [](const Pixel& p) { return p[0] > 235 && p[1] > 235 && p[2] > 235; };
        const mediatest::TBox ink = mediatest::FindBoxIn(img, 150, 319, white, top + 1, bottom + 2);
        ASSERT_FALSE(ink.Empty());
        EXPECT_NEAR(ink.left, centre - width / 2, 3);
        EXPECT_NEAR(ink.right + 1, centre + width / 2, 3);
        EXPECT_LE(ink.right, right);
    }
}

// A tick marks each object of a quest row already bought, at its own object: 35 + a quarter of
// the tick's width right of the row's left, its bottom 66 below the row's top, 80 pixels further
// right for the second object. The list's first row, for each object bought alone.
TEST_F(RoundStatsScreenTest, ATickMarksTheBoughtObjectOfAQuestRow) {
    const struct {
        const char* bought;
        bool ticked[2];
    } cases[] = {{"grain_feeder", {true, false}}, {"bird1", {false, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bought);
        Player().Reset();
        Player().m_CurrentYard = "yard1";
        Player().m_CurrentArena = "arena1";
        SetQuestState("yard1", "q1_feed", 1);
        Buy("yard1", c.bought);
        mediatest::TImage img;
        CXRoundStatsQuestsScrollItem* row = nullptr;
        ASSERT_NO_FATAL_FAILURE(row = SettledFirstQuestRow(img));
        ASSERT_NE(row, nullptr);
        ASSERT_TRUE(row->IsGraphicsLoaded());
        IDibBitmap* tick = game.m_pSpriteSetManager->GetSpriteSetNamed("miniquest_obj_tick")->GetFrame(0);
        ASSERT_NE(tick, nullptr);
        const std::vector<TInk> ink = OpaqueInk(tick);
        ASSERT_GT(ink.size(), 100u);
        const TCoordRect2D r = row->GetDrawingRect();
        for (int k = 0; k < 2; ++k) {
            const int n = MatchingInk(img, ink, r.x + 35 + 80 * k + tick->m_Width / 4, r.y + 66 - tick->m_Height);
            if (c.ticked[k])
                EXPECT_GT(n, static_cast<int>(ink.size()) * 9 / 10) << "object " << k + 1 << " ticked";
            else
                EXPECT_LT(n, static_cast<int>(ink.size()) / 4) << "object " << k + 1 << " not ticked";
        }
    }
}

TEST_F(RoundStatsScreenTest, PictureAtSectionEightWithThePlaceholder) {
    CXRoundStatsDialog* stats = OpenStats(0, 0, 30);
    ASSERT_NE(stats, nullptr);
    RunTo(stats, 8, 40);
    const mediatest::TImage img = Frame();
    KeepPicture(img, "round-stats", "04_section8_placeholder.png");
    EXPECT_EQ(Count(img, 0, kListTop, 320, kListBottom, IsFrameOrange), 0) << "no quest frames";
    // The four lines, centred across the screen around the list's middle.
    const int grey = Count(img, 0, kListTop, 320, kListBottom, IsPlaceholderGrey);
    EXPECT_GT(grey, 400);
    const int left = Count(img, 0, kListTop, 160, kListBottom, IsPlaceholderGrey);
    EXPECT_NEAR(left, grey - left, grey / 5) << "as much text left of the middle as right of it";
    EXPECT_GT(Count(img, 214, 104, 306, 212, IsShieldBlue), 1500);
}

}  // namespace

namespace {

// Each counted row starts with 60 sparks born on the outline of its band, 20 pixels high round the
// row's y: the score row from x 40 to 180 round y 65, the picked-up coins from 55 to 195 round 115
// (half the 320-pixel width plus the row's own offsets). The game's random table walks the outline
// a pixel at a time and the effect's own jitter is set aside, so that the birth points show.
TEST_F(RoundStatsScreenTest, EachCountedRowStartsWithSixtySparksOnItsBandsOutline) {
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    CQuorvanParticleSystem2* sparkle = game.m_pParticleManager->GetParticleSystemNamed("StarBlinks");
    ASSERT_NE(sparkle, nullptr);
    std::vector<std::int32_t> gameTable(std::begin(g_GameRandomTable), std::end(g_GameRandomTable));
    for (int i = 0; i < kGameRandomTableSize; ++i) g_GameRandomTable[i] = i * 7;
    g_GameRandomTableIndex = 0;
    const FIXED_FLOAT_16 jitter = sparkle->m_Info.m_RandomPos;
    sparkle->m_Info.m_RandomPos = 0;
    // Sparks left from before: the first row's start clears them.
    sparkle->StartAt(0, 0);
    sparkle->EmitNewParticles(25);
    sparkle->Stop(false);
    ASSERT_EQ(sparkle->GetNumActiveParticels(), 25);
    const struct {
        int section;
        double left, right, y;
    } rows[] = {{1, 40, 180, 65}, {2, 55, 195, 115}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.section);
        RunTo(stats, row.section, 0);
        const int count = sparkle->GetNumActiveParticels();
        ASSERT_GE(count, 60);
        if (row.section == 1) {
            EXPECT_EQ(count, 60) << "the first row's sparks alone";
        }
        const CQuorvanParticle2* sparks = sparkle->GetParticles();
        for (int i = count - 60; i < count; ++i) {
            const double x = sparks[i].x / 65536.0, y = sparks[i].y / 65536.0;
            EXPECT_GE(x, row.left - 0.01) << i;
            EXPECT_LE(x, row.right + 0.01) << i;
            EXPECT_GE(y, row.y - 10.01) << i;
            EXPECT_LE(y, row.y + 10.01) << i;
            const double fromSide = std::min(std::abs(x - row.left), std::abs(x - row.right));
            const double fromTopOrBottom = std::min(std::abs(y - row.y + 10), std::abs(y - row.y - 10));
            EXPECT_LT(std::min(fromSide, fromTopOrBottom), 0.01) << i << " at " << x << ", " << y;
        }
    }
    sparkle->m_Info.m_RandomPos = jitter;
    std::copy(gameTable.begin(), gameTable.end(), std::begin(g_GameRandomTable));
}

TEST_F(RoundStatsScreenTest, TheGiftCoinsHintOpensCentredAndItsCloseButtonEndsIt) {
    CXRoundStatsDialog* stats = OpenStats();
    ASSERT_NE(stats, nullptr);
    stats->ShowAll();
    Ticks(30);
    EXPECT_EQ(stats->OnMessage(stats, XMSG_CLICK, XIdParam("btn_stats_facebook_why"), 0), 1);
    CTiledBGTutorial* hint = stats->GetTutorial();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->GetKind(), 8);
    EXPECT_TRUE(hint->IsShown());
    const TCoordRect2D panel = hint->GetPanel();
    EXPECT_NEAR(panel.x + panel.width / 2.0, 160, 1.0) << "centred across the screen";
    Ticks(30);
    const mediatest::TImage img = Frame();
    KeepPicture(img, "round-stats", "05_gift_coins_hint.png");
    // A press on its close button fades it out (the press itself, taken), and a finished hint is
    // gone.
    const int cx = static_cast<int>(hint->GetCloseX()), cy = static_cast<int>(hint->GetCloseY());
    EXPECT_EQ(stats->NotifyPointerEvent(cx, cy, XPOINTER_PRESS), 1);
    EXPECT_TRUE(stats->GetTutorial() == nullptr || !stats->GetTutorial()->IsShown());
    EXPECT_EQ(stats->NotifyPointerEvent(cx, cy, XPOINTER_RELEASE), 1);
    EXPECT_EQ(stats->GetSection(), 8);
    Ticks(10);
    EXPECT_EQ(stats->GetTutorial(), nullptr);
    // The button opens it again, and a second click of it, the hint open, fades it out.
    EXPECT_EQ(stats->OnMessage(stats, XMSG_CLICK, XIdParam("btn_stats_facebook_why"), 0), 1);
    ASSERT_NE(stats->GetTutorial(), nullptr);
    Ticks(30);
    ASSERT_TRUE(stats->GetTutorial()->IsShown());
    EXPECT_EQ(stats->OnMessage(stats, XMSG_CLICK, XIdParam("btn_stats_facebook_why"), 0), 1);
    EXPECT_TRUE(stats->GetTutorial() == nullptr || !stats->GetTutorial()->IsShown());
    Ticks(10);
    EXPECT_EQ(stats->GetTutorial(), nullptr);
}

}  // namespace

namespace {

// The gift-coins hint asks for a box 319 wide and 1 high at y 132, centred across the screen; the
// hint's panel, whole tiles, is centred on that box. Opening it again while it is open changes
// nothing. On a screen of odd width the box's odd width centres it exactly; a box one pixel wider
// or narrower would stand half a pixel off and be rounded a pixel aside.
class RoundStatsWideScreenTest : public RoundStatsScreenTest {
protected:
    RoundStatsWideScreenTest() : RoundStatsScreenTest(480, 400) {}
};

class RoundStatsOddWidthScreenTest : public RoundStatsScreenTest {
protected:
    RoundStatsOddWidthScreenTest() : RoundStatsScreenTest(480, 401) {}
};

void ExpectTheGiftCoinsHintOnItsBox(CXRoundStatsDialog* stats, int width) {
    SCOPED_TRACE(width);
    ASSERT_NE(stats, nullptr);
    stats->ShowAll();
    stats->RunGiftCoinsTutorial();
    CTiledBGTutorial* hint = stats->GetTutorial();
    ASSERT_NE(hint, nullptr);
    const TCoordRect2D panel = hint->GetPanel();
    EXPECT_EQ(panel.x, (width - 319) / 2 + (319 - panel.width) / 2);
    EXPECT_EQ(panel.y, 132 + (1 - panel.height) / 2);
    stats->RunGiftCoinsTutorial();
    EXPECT_EQ(stats->GetTutorial(), hint) << "the open hint stays";
}

TEST_F(RoundStatsScreenTest, TheGiftCoinsHintIsCentredOnItsBox) { ExpectTheGiftCoinsHintOnItsBox(OpenStats(), 320); }

TEST_F(RoundStatsWideScreenTest, TheGiftCoinsHintIsCentredOnItsBox) { ExpectTheGiftCoinsHintOnItsBox(OpenStats(), 400); }

TEST_F(RoundStatsOddWidthScreenTest, TheGiftCoinsHintIsCentredOnItsBox) {
    ExpectTheGiftCoinsHintOnItsBox(OpenStats(), 401);
}

TEST_F(RoundStatsScreenTest, WithUnspentPointsTheCaughtUpBarDimsToAboutAThird) {
    // The same meter twice, caught up inside rank 1 (about five sixths full), without and with a
    // boost point to spend; the badge stands right of the bar's left end, which is compared.
    long bright[2] = {};
    for (int points = 0; points < 2; ++points) {
        Player().m_nBoostPoints = points;
        CXRoundStatsDialog* stats = OpenStats(5000, 0, 30);
        ASSERT_NE(stats, nullptr);
        RunTo(stats, 8, 80);
        ASSERT_TRUE(stats->IsXPMeterProgressDone());
        ASSERT_EQ(stats->GetBadgeAlpha(), 255 * 256) << "it rises with or without points";
        const int left = stats->GetBarLeft() >> 8, top = stats->GetBarTop() >> 8;
        const mediatest::TImage img = Frame();
        if (points == 1) KeepPicture(img, "round-stats", "06_meter_badge.png");
        bright[points] = shoptest::Sum(img, left + 1, top + 1, left + 5, top + 9);
        game.SafeDeleteChildren();
    }
    // The shield's slot behind the bar is dark: the strip is nearly all bar.
    ASSERT_GT(bright[0], 4 * 8 * 150);
    EXPECT_NEAR(static_cast<double>(bright[1]) / bright[0], (255.0 - 255 * 179 / 256) / 255.0, 0.12);
}

TEST_F(RoundStatsScreenTest, DuringARankUpBurstTheRankAndTheBarBlink) {
    // 20,000 points before and 30,200 after: the meter crosses into rank 2 (30,000) and its three
    // bursts run. Through each burst the rank and the bar are drawn only on the timer's second
    // half, the bar then twice (the second time added), so brighter than it stands.
    CXRoundStatsDialog* stats = OpenStats(10200, 0, 30);
    ASSERT_NE(stats, nullptr);
    RunTo(stats, 8, 0);
    const int left = stats->GetBarLeft() >> 8, top = stats->GetBarTop() >> 8;
    // The bar as it stands, most of rank 1 filled, before the crossing.
    long barSteady = 0;
    for (int n = 0; n < 200 && stats->GetBurstsLeft() == 0; ++n) {
        if (barSteady == 0 && stats->GetShownXP() >= 27000)
            barSteady = shoptest::Sum(Frame(), left + 1, top + 1, left + 5, top + 9);
        game.RunProcess();
    }
    ASSERT_EQ(stats->GetBurstsLeft(), 3);
    ASSERT_GT(barSteady, 0);
    const int cx = stats->GetMeterCentreX() >> 8, cy = stats->GetMeterCentreY() >> 8;
    long barOn = LONG_MAX, barOff = 0, rankOn = LONG_MAX, rankOff = 0;
    int onFrames = 0, offFrames = 0;
    for (int n = 0; n < 60 && stats->GetBurstsLeft() > 0; ++n) {
        const mediatest::TImage img = Frame();
        const long bar = shoptest::Sum(img, left + 1, top + 1, left + 5, top + 9);
        const long rank = shoptest::Sum(img, cx - 6, cy - 16, cx + 6, cy - 4);
        if (stats->GetBurstTimer() <= 6) {
            if (onFrames == 0) KeepPicture(img, "round-stats", "07_rank_up_burst.png");
            barOn = std::min(barOn, bar);
            rankOn = std::min(rankOn, rank);
            ++onFrames;
        } else {
            barOff = std::max(barOff, bar);
            rankOff = std::max(rankOff, rank);
            ++offFrames;
        }
        game.RunProcess();
    }
    ASSERT_EQ(stats->GetBurstsLeft(), 0);
    ASSERT_GT(onFrames, 0);
    ASSERT_GT(offFrames, 0);
    EXPECT_GT(barOn, barSteady) << "added on top of itself";
    EXPECT_LT(barOff, barSteady / 4) << "off between its flashes";
    EXPECT_GT(rankOn, rankOff + 12 * 100) << "the rank shows only on the flashes";
}

}  // namespace

namespace {

// The statistics at the 480 rows of the smallest screen and at the 533 of the game's own display
// (768 x 1280), with three quests in progress: the list ends above the buttons, the buttons stand
// at the bottom of the screen, whole, and every row wholly in the list shows its yard's caption.
class RoundStatsHeightTest : public RoundStatsScreenTest, public ::testing::WithParamInterface<int> {
protected:
    RoundStatsHeightTest() : RoundStatsScreenTest(GetParam()) {}
};

TEST_P(RoundStatsHeightTest, NoQuestRowStandsUnderAButtonAndNothingIsClipped) {
    const int height = GetParam();
    SetQuestState("yard1", "q1_feed", 1);
    SetQuestState("yard1", "q1_water", 1);
    SetQuestState("yard2", "q2_warm", 1);
    CXRoundStatsDialog* stats = OpenStats(12345, 9, 120);
    ASSERT_NE(stats, nullptr);
    RunTo(stats, 8, 130);
    CXRoundStatsQuestsScrollDialog* list = stats->GetQuestList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(RowIds(list), (std::vector<std::string>{"q1_feed", "q1_water", "q2_warm"}));
    const TCoordRect2D area = list->GetListArea();
    EXPECT_EQ(area.y, kListTop);
    const int areaBottom = area.y + area.height;

    int buttonsTop = height, shown = 0;
    for (const char* id : {"btn_failed_farm", "btn_leaderboards", "btn_LF_Replay", "btn_failed_continue"}) {
        XWidget* button = stats->FindChildWithWidgetId(id);
        ASSERT_NE(button, nullptr) << id;
        if (!button->IsVisible()) continue;
        ++shown;
        const TCoordRect2D r = button->GetDrawingRect();
        EXPECT_GE(r.x, 0) << id;
        EXPECT_LE(r.x + r.width, 320) << id;
        EXPECT_LE(r.y + r.height, height) << id << ": whole on the screen";
        EXPECT_GE(r.y + r.height, height - 16) << id << ": at the bottom, no empty band below";
        EXPECT_GE(r.y, areaBottom) << id << ": below the list";
        buttonsTop = std::min(buttonsTop, r.y);
    }
    EXPECT_GE(shown, 3) << "Farm, Scores and Continue at least";
    EXPECT_GE(areaBottom - area.y, kRowHeight + 40) << "room for a row and more";

    const mediatest::TImage img = Frame();
    KeepPicture(img, "round-stats", "07_three_quests_" + std::to_string(height) + ".png");
    EXPECT_EQ(Count(img, 0, buttonsTop, 320, height, IsFrameOrange), 0) << "nothing of the list under the buttons";
    int whole = 0;
    for (int i = 0; i < list->GetChildCount(); ++i) {
        const TCoordRect2D row = static_cast<XWidget*>(list->GetChildPtrAt(i))->GetDrawingRect();
        SCOPED_TRACE("row " + std::to_string(i));
        // The part of the row in view never reaches under a button.
        if (row.y < areaBottom) {
            EXPECT_LE(std::min(row.y + row.height, areaBottom), buttonsTop);
        }
        if (row.y < area.y || row.y + row.height > areaBottom) continue;
        ++whole;
        // Its frames, and the yard's caption along its bottom right.
        EXPECT_GT(Count(img, 87, row.y + 8, 143, row.y + 64, IsFrameOrange), 100) << "the second object's frame";
        EXPECT_GT(Count(img, 215, row.y + row.height - 16, 320, row.y + row.height + 2, IsWhite), 20)
            << "the yard's caption";
    }
    EXPECT_GE(whole, (areaBottom - area.y - 2) / kRowHeight);
}

INSTANTIATE_TEST_SUITE_P(SmallestAndOwnDisplay, RoundStatsHeightTest, ::testing::Values(480, 533));

}  // namespace
