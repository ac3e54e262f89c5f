// The play screen on the real pak over seeded profiles: locked arenas and yards and their
// conditions, the resume question and the rounds it starts, hidden yards, the boosts button and
// its unlock, the three first-run hints and the touches they let through, the unlock animations,
// the layout on taller screens, the coin counter, the pending start action and the coin shop's
// entries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "PlayScreenTestGame.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "core/QuorvanStorage.h"
#include "game/widgets/FullScreenTutorial.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/screens/AddCoinsDialog.h"
#include "render/DibBitmap.h"

namespace {

using mediatest::TImage;
using Colour = std::array<std::uint8_t, 4>;
using TPost = CRealPakGame::TPost;
using TCompleted = std::vector<std::pair<const char*, int>>;

// The template's button centres on a 480-line screen.
constexpr int kArenaX[] = {58, 160, 262};
constexpr int kArenaY = 142;
constexpr int kYardX[] = {43, 121, 199, 277};
constexpr int kYardY = 290;

class PlayScreenCases : public PlayScreenTest {
protected:
    void Seed(const TCompleted& completed) {
        for (const auto& [yard, stars] : completed) Completed(yard, stars);
    }
    // A kept round of the arena (by index) for the current player: its kind alone says so.
    void KeepRound(int arenaIndex) {
        CMemoryFile record;
        ASSERT_TRUE(record.Create(16));
        ASSERT_EQ(record.WriteInt(1), 4);
        const int id = 100 * player->m_nStorageSlotId + arenaIndex;
        ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, &record, CommonString("arena")), 1);
    }
    // A fresh profile in place of the current one (and without its kept rounds) for the next
    // case of a table, the hints seen.
    void NewPlayer() {
        game.SafeDeleteChildren();
        game.SR_DeleteResume(Data().m_nCurrentProfile);
        Data().RemoveUserProfile(Data().m_nCurrentProfile);
        AddPlayer("Row");
        player = game.GetCurrentProfile();
        HintsSeen(true, true, true);
    }
};

TEST_F(PlayScreenCases, ALockedArenaShowsItsConditionAndPostsNothing) {
    const struct {
        const char* why;
        TCompleted completed;
        int arena;
        const char* line3;
        const char* iconSet;
        int iconFrame;
        bool padlock;
    } cases[] = {
        {"the second arena waits for a star in the open first yard",
         {},
         1,
         "in Sunny Meadow to unlock it.",
         "btn_play_yards",
         0,
         false},
        {"the third arena waits for a star in the second yard, itself locked",
         {},
         2,
         "in Apple Orchard to unlock it.",
         "btn_play_arena_locked",
         0,
         true},
        {"once the second yard is open its picture shows",
         {{"yard1", 2}},
         2,
         "in Apple Orchard to unlock it.",
         "btn_play_yards",
         1,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        Seed(c.completed);
        ASSERT_NE(Open(), nullptr);
        Tap(kArenaX[c.arena], kArenaY);
        EXPECT_TRUE(game.posts.empty());
        CXLockedDialog* dialog = Locked("dlg_msg_arena_locked");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf("txt_unlock_line2"), "Collect a Star");
        EXPECT_EQ(TextOf("txt_unlock_line3"), c.line3);
        EXPECT_EQ(dialog->GetIcon(0), SetFrame(c.iconSet, c.iconFrame));
        EXPECT_EQ(dialog->IsIconLocked(0), c.padlock);
        EXPECT_EQ(dialog->GetStarsNeeded(), 1);
        EXPECT_FALSE(dialog->IsAllPrevious());
        EXPECT_TRUE(player->m_CurrentArena.Length() == 0) << "a locked arena is not chosen";
    }
}

TEST_F(PlayScreenCases, AKeptRoundIsOfferedAndEachChoiceStartsItsRound) {
    const struct {
        const char* why;
        int arena;
        bool tutorial;
        bool kept;
        const char* choice;  // in the resume question; null when none is asked
        int post;
    } cases[] = {
        {"the first arena with the tutorial on starts the tutorial", 0, true, false, nullptr, 1005},
        {"the first arena with the tutorial off starts a round", 0, false, false, nullptr, 1002},
        {"the tutorial belongs to the first arena only", 1, true, false, nullptr, 1002},
        {"a kept round: continue resumes it", 1, true, true, "btn_play_resume", 1006},
        {"a kept round: a new one in the second arena", 1, true, true, "btn_play_new", 1002},
        {"a kept round: a new one in the first arena is the tutorial", 0, true, true, "btn_play_new", 1005},
    };
    const char* const arenaIds[] = {"arena1", "arena2", "arena3"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        player->m_HintFlags[kHintPlayArenaButton] = false;
        Completed("yard1", 1);
        player->m_bTutorialOn = c.tutorial;
        if (c.kept) KeepRound(c.arena);
        ASSERT_NE(Open(), nullptr);
        Tap(kArenaX[c.arena], kArenaY);
        EXPECT_STREQ(player->m_CurrentArena.GetDataConst(), arenaIds[c.arena]);
        EXPECT_TRUE(player->m_HintFlags[kHintPlayArenaButton]) << "the arena hint is done with";
        if (c.choice != nullptr) {
            EXPECT_TRUE(game.posts.empty()) << "the question comes first";
            ASSERT_NE(Find("dlg_resume"), nullptr);
            Ticks(20);
            EXPECT_EQ(Click(c.choice), 1);
        } else {
            EXPECT_EQ(Find("dlg_resume"), nullptr);
        }
        EXPECT_EQ(game.posts, (std::vector<TPost>{{c.post, 0, 0}}));
    }
}

TEST_F(PlayScreenCases, YardsOpenHideOrTellTheirCondition) {
    const char* const kPlate = "btn_play_arena_locked";
    const struct {
        const char* why;
        TCompleted completed;
        int yard;
        bool visible;
        int post;           // 0: none
        const char* line2;  // null: no locked dialog
        const char* line3;
        bool allPrevious;
        struct {
            const char* set;
            int frame;
            bool padlock;
        } icons[3];
    } cases[] = {
        {"the first yard opens the farm", {}, 0, true, 1009, nullptr, nullptr, false, {}},
        {"a hidden yard takes no touch", {}, 1, false, 0, nullptr, nullptr, false, {}},
        {"a shown yard that is still locked tells its condition",
         {{"yard1", 1}},
         1,
         true,
         0,
         "Collect 2 Stars",
         "in Sunny Meadow to unlock it.",
         false,
         {{"btn_play_yards", 0, false}}},
        {"the last yard asks for every yard before it, each under a padlock while locked",
         {{"yard1", 2}, {"yard2", 1}, {"yard3", 1}},
         3,
         true,
         0,
         "Collect 2 Stars",
         "in all previous Yards to unlock it.",
         true,
         {{"btn_play_yards", 0, false}, {"btn_play_yards", 1, false}, {kPlate, 0, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        Seed(c.completed);
        CXPlayScreen* screen = Open();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->m_YardButtons.count, 4);
        CXPlayScreenYardButton* button = screen->m_YardButtons[c.yard];
        EXPECT_EQ(button->IsYardVisible(), c.visible);
        EXPECT_EQ(button->GetQuestionImage() != nullptr, !c.visible) << "the question mark, only when hidden";
        EXPECT_EQ(button->Contains(kYardX[c.yard], kYardY), c.visible);
        Tap(kYardX[c.yard], kYardY);
        if (c.post != 0) {
            EXPECT_EQ(game.posts, (std::vector<TPost>{{c.post, 0, 0}}));
            EXPECT_STREQ(player->m_CurrentYard.GetDataConst(), "yard1");
        } else {
            EXPECT_TRUE(game.posts.empty());
        }
        CXLockedDialog* dialog = Locked("dlg_msg_yard_locked");
        if (c.line2 == nullptr) {
            EXPECT_EQ(dialog, nullptr);
            continue;
        }
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf("txt_unlock_line2"), c.line2);
        EXPECT_EQ(TextOf("txt_unlock_line3"), c.line3);
        EXPECT_EQ(dialog->GetStarsNeeded(), 2);
        EXPECT_EQ(dialog->IsAllPrevious(), c.allPrevious);
        for (int i = 0; i < (c.allPrevious ? 3 : 1); ++i) {
            EXPECT_EQ(dialog->GetIcon(i), SetFrame(c.icons[i].set, c.icons[i].frame)) << i;
            EXPECT_EQ(dialog->IsIconLocked(i), c.icons[i].padlock) << i;
        }
    }
}

TEST_F(PlayScreenCases, TheBoostsButtonWaitsForTheAchievementTheVisitAfterTheFirstRankUpAwards) {
    const struct {
        const char* why;
        bool held;
        bool rankedUp;
        bool shown;
    } cases[] = {
        {"no rank-up yet: hidden", false, false, false},
        {"the visit after the first rank-up awards it and shows the button", false, true, true},
        {"held already: shown", true, false, true},
        {"held already and a rank-up flag: shown, nothing awarded twice", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        player->m_AchievementFlags[kBoostsUnlockedAchievement] = c.held ? 1 : 0;
        player->m_bFirstRankUpSeen = c.rankedUp;
        CXPlayScreen* screen = Open();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Find("btn_play_upgrades")->IsVisible(), c.shown);
        EXPECT_EQ(player->IsAchievementAwarded(kBoostsUnlockedAchievement), c.shown);
        EXPECT_FALSE(player->m_bFirstRankUpSeen) << "the rank-up is dealt with once";
        // The next visit keeps what this one decided.
        screen = Open();
        EXPECT_EQ(Find("btn_play_upgrades")->IsVisible(), c.shown);
    }
    EXPECT_EQ(Click("btn_play_upgrades"), 1);
    EXPECT_EQ(game.posts, (std::vector<TPost>{{1018, 0, 0}}));
    EXPECT_TRUE(player->m_HintFlags[kHintPlayBoostsButton]);
}

TEST_F(PlayScreenCases, OneHintAtATimeAndNoneDuringAnUnlock) {
    const struct {
        const char* why;
        bool arena, yard, boosts;  // hints seen
        int coins;
        bool boostsOpen;
        bool unlocking;  // the second arena was just unlocked
        int kind;        // -1: no hint
    } cases[] = {
        {"a first visit points at the first arena", false, false, false, 0, false, false, 0},
        {"nothing due", true, false, false, 0, false, false, -1},
        {"coins that buy something point at the first yard", true, false, false, 500, false, false, 1},
        {"due together, the boosts hint takes the yard's place", true, false, false, 500, true, false, 2},
        {"the boosts hint alone", true, true, false, 0, true, false, 2},
        {"every hint seen", true, true, true, 500, true, false, -1},
        {"a visit with an unlock animation shows none", false, false, false, 500, true, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        HintsSeen(c.arena, c.yard, c.boosts);
        player->m_nCoins = c.coins;
        player->m_AchievementFlags[kBoostsUnlockedAchievement] = c.boostsOpen ? 1 : 0;
        if (c.unlocking) {
            Completed("yard1", 1);
            ASSERT_TRUE(player->m_NewlyUnlockedLevels.AddOwned(new CommonString("arena2")));
        }
        CXPlayScreen* screen = Open();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->m_pHint, nullptr) << "not while the curtain rises";
        Ticks(1);
        if (c.kind < 0) {
            // Not even once the animation is over.
            Ticks(120);
            EXPECT_EQ(screen->m_pHint, nullptr);
            continue;
        }
        ASSERT_NE(screen->m_pHint, nullptr);
        EXPECT_EQ(screen->m_pHint->GetKind(), c.kind);
        const char* const targets[] = {"btn_play_arena_1", "btn_play_yard_1", "btn_play_upgrades"};
        EXPECT_EQ(screen->m_pHint->GetFocusWidget(), Find(targets[c.kind]));
        EXPECT_TRUE(screen->m_bHintShown);
    }
}

TEST_F(PlayScreenCases, AHintLetsOnlyItsTargetAndItsCloseButtonBeTouched) {
    NewPlayer();
    HintsSeen(false, true, true);
    Completed("yard1", 1);
    player->m_bTutorialOn = false;
    CXPlayScreen* screen = Open();
    Ticks(1);
    ASSERT_NE(screen->m_pHint, nullptr);
    // The open second arena and the first yard would switch the screen: both are swallowed.
    Tap(kArenaX[1], kArenaY);
    Tap(kYardX[0], kYardY);
    EXPECT_TRUE(game.posts.empty());
    EXPECT_EQ(Find("dlg_resume"), nullptr);

    // The close button fades the hint out and marks it seen; no other hint follows in this visit.
    Ticks(30);
    const int cx = static_cast<int>(screen->m_pHint->GetCloseX());
    const int cy = static_cast<int>(screen->m_pHint->GetCloseY());
    Tap(cx, cy);
    EXPECT_TRUE(player->m_HintFlags[kHintPlayArenaButton]);
    EXPECT_TRUE(screen->m_pHint->IsFading());
    Ticks(20);
    EXPECT_EQ(screen->m_pHint, nullptr);
    EXPECT_TRUE(game.posts.empty());

    // Its target works while the hint is up.
    player->m_HintFlags[kHintPlayArenaButton] = false;
    screen = Open();
    Ticks(1);
    ASSERT_NE(screen->m_pHint, nullptr);
    Tap(kArenaX[0], kArenaY);
    EXPECT_EQ(game.posts, (std::vector<TPost>{{1002, 0, 0}}));
}

// Each hint's close button marks that hint seen and no other: the arena's, the yard's and the
// boosts' flags are the profile's three separate records.
TEST_F(PlayScreenCases, ClosingAHintMarksOnlyItsOwnKindSeen) {
    const struct {
        const char* why;
        bool arena, yard, boosts;  // seen before the visit
        int coins;
        bool boostsOpen;
        int kind;
        std::array<bool, 3> after;  // arena, yard, boosts
    } cases[] = {
        {"the arena hint", false, false, false, 0, false, 0, {true, false, false}},
        {"the yard hint", true, false, true, 500, false, 1, {true, true, true}},
        {"the yard hint, boosts not yet seen", true, false, false, 500, false, 1, {true, true, false}},
        {"the boosts hint", true, true, false, 0, true, 2, {true, true, true}},
        {"the boosts hint, the yard's not yet seen", true, false, false, 0, true, 2, {true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NewPlayer();
        HintsSeen(c.arena, c.yard, c.boosts);
        player->m_nCoins = c.coins;
        player->m_AchievementFlags[kBoostsUnlockedAchievement] = c.boostsOpen ? 1 : 0;
        CXPlayScreen* screen = Open();
        ASSERT_NE(screen, nullptr);
        Ticks(1);
        ASSERT_NE(screen->m_pHint, nullptr);
        ASSERT_EQ(screen->m_pHint->GetKind(), c.kind);
        Ticks(30);
        Tap(static_cast<int>(screen->m_pHint->GetCloseX()), static_cast<int>(screen->m_pHint->GetCloseY()));
        EXPECT_TRUE(screen->m_pHint->IsFading());
        const std::array<bool, 3> flags = {player->m_HintFlags[kHintPlayArenaButton],
                                           player->m_HintFlags[kHintPlayYardButton],
                                           player->m_HintFlags[kHintPlayBoostsButton]};
        EXPECT_EQ(flags, c.after);
        EXPECT_TRUE(game.posts.empty()) << "the close button opens nothing";
    }
}

// The unlock animation as a player sees it, frame by frame: 16 frames of waiting, the padlock's
// frames at 0.4 a frame up to the last (5), 7 frames still, then the lock layer fading by 8 a frame
// to -255. Gives, for each frame after the first, the state, the padlock frame and the fade.
struct TUnlockFrame {
    int state, lockFrame, fade;
};
std::vector<TUnlockFrame> ExpectedLockTimeline() {
    std::vector<TUnlockFrame> frames;
    for (int i = 1; i <= 15; ++i) frames.push_back({0, 0, 0});
    frames.push_back({1, 0, 0});
    for (int k = 1; 4 * k < 50; ++k) frames.push_back({1, 4 * k / 10, 0});
    frames.push_back({2, 5, 0});
    for (int i = 1; i <= 7; ++i) frames.push_back({2, 5, 0});
    for (int j = 1; 8 * j < 255; ++j) frames.push_back({2, 5, -8 * j});
    frames.push_back({2, 5, -255});
    return frames;
}

TEST_F(PlayScreenCases, AnArenaUnlockPlaysOnceAndTakesItsEntryFromTheProfile) {
    NewPlayer();
    Completed("yard1", 1);
    for (const char* id : {"arena2", "arena3", "arena2"})
        ASSERT_TRUE(player->m_NewlyUnlockedLevels.AddOwned(new CommonString(id)));
    CXPlayScreen* screen = Open();
    CXPlayScreenArenaButton* button = screen->m_ArenaButtons[1];
    ASSERT_TRUE(button->IsUnlocking());
    EXPECT_FALSE(screen->m_ArenaButtons[2]->IsUnlocking()) << "the third arena is still locked";
    ASSERT_EQ(player->m_NewlyUnlockedLevels.count, 1);
    EXPECT_STREQ(player->m_NewlyUnlockedLevels[0]->GetDataConst(), "arena3");
    (void)Played();

    const std::vector<TUnlockFrame> expected = ExpectedLockTimeline();
    for (std::size_t f = 0; f < expected.size(); ++f) {
        Ticks(1);
        const TUnlockAnimation& u = button->GetUnlockAnimation();
        ASSERT_EQ(u.state, expected[f].state) << "frame " << f + 1;
        EXPECT_EQ(static_cast<int>(u.lockFrame), expected[f].lockFrame) << "frame " << f + 1;
        EXPECT_EQ(u.fade, expected[f].fade) << "frame " << f + 1;
        EXPECT_EQ(button->IsUnlocking(), f + 1 < expected.size()) << "frame " << f + 1;
    }
    EXPECT_EQ(Played(), (std::vector<std::string>{"Sound_BB\\sfx_unlock.wav"}));
    Ticks(10);
    EXPECT_FALSE(button->IsUnlocking());

    screen = Open();
    EXPECT_FALSE(screen->m_ArenaButtons[1]->IsUnlocking()) << "shown once";
    EXPECT_FALSE(screen->m_bUnlockAnimation);
}

TEST_F(PlayScreenCases, AYardUnlockOpensItsLockThenRevealsThreeStars) {
    NewPlayer();
    Completed("yard1", 2);
    player->m_NewlyUnlockedYard = CommonString("yard2");
    CXPlayScreen* screen = Open();
    CXPlayScreenYardButton* button = screen->m_YardButtons[1];
    ASSERT_TRUE(button->IsJustUnlocked());
    EXPECT_TRUE(screen->m_bUnlockAnimation);
    EXPECT_EQ(player->m_NewlyUnlockedYard.Length(), 0) << "taken from the profile at once";
    (void)Played();

    const std::vector<TUnlockFrame> lock = ExpectedLockTimeline();
    Ticks(static_cast<int>(lock.size()) - 1);
    EXPECT_EQ(button->GetUnlockAnimation().fade, -8 * 31);
    Ticks(1);
    ASSERT_EQ(button->GetUnlockAnimation().state, kUnlockStars);
    EXPECT_EQ(button->GetStarIndex(), 0);
    EXPECT_EQ(button->GetStarAlpha(), -255);
    // Each star rises by 32 a frame from -255; the eighth step shows it whole and moves on.
    for (int star = 0; star < 3; ++star) {
        for (int k = 1; k <= 7; ++k) {
            Ticks(1);
            ASSERT_EQ(button->GetStarIndex(), star);
            ASSERT_EQ(button->GetStarAlpha(), -255 + 32 * k) << "star " << star << " frame " << k;
        }
        Ticks(1);
        EXPECT_EQ(button->IsJustUnlocked(), star < 2) << "star " << star;
    }
    const std::vector<std::string> star = {"Sound_BB\\sfx_star_ping.wav"};
    std::vector<std::string> expected = {"Sound_BB\\sfx_unlock.wav"};
    for (int i = 0; i < 3; ++i) expected.push_back(star[0]);
    EXPECT_EQ(Played(), expected);
    EXPECT_FALSE(Open()->m_YardButtons[1]->IsJustUnlocked()) << "shown once";
}

TEST_F(PlayScreenCases, TheCoinCounterAndItsPlusShowOnlyWithTheCoinShopOffered) {
    const auto isGreen = [](Colour p) { return p[1] > 120 && p[0] < 110 && p[2] < 110 && p[1] > p[0] + 40; };
    const auto isGold = [](Colour p) { return p[0] > 200 && p[1] > 120 && p[1] < 230 && p[2] < 90; };
    for (bool offered : {false, true}) {
        SCOPED_TRACE(offered ? "offered" : "not offered");
        NewPlayer();
        player->m_bCoinShopButtonShown = offered;
        player->m_nCoins = 250;
        CXPlayScreen* screen = Open();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Find("btn_play_addcoins")->IsVisible(), offered);
        const TImage frame = Frame();
        // The counter ends 10 pixels from the right edge at y 22, the plus below it at y 42.
        EXPECT_EQ(!mediatest::FindBoxIn(frame, 200, 319, isGold, 8, 34).Empty(), offered) << "the coin";
        const mediatest::TBox plus = mediatest::FindBoxIn(frame, 200, 319, isGreen, 33, 52);
        EXPECT_EQ(!plus.Empty(), offered) << "the plus";
        if (offered) {
            EXPECT_NEAR(plus.CentreY(), 42.0, 2.0);
        }
        Tap(260, 22);
        EXPECT_EQ(Find("dlg_addcoins") != nullptr, offered) << "the counter opens the coin shop";
    }
}

TEST_F(PlayScreenCases, APendingStartActionRunsOnceWithTheCoinShopShownAtOnce) {
    NewPlayer();
    HintsSeen(false, false, false);
    game.m_PendingStartAction = CommonString("acn_addcoins_on");
    game.m_nNewHighScoreRow = 4;
    ASSERT_TRUE(game.RunPlayScreen());
    EXPECT_EQ(game.m_nNewHighScoreRow, -1);
    auto* shop = dynamic_cast<CXAddCoinsFullScreenContainerDlg*>(Find("dlg_addcoins"));
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->GetOwnOpacity(), kOpacityFull) << "shown without fading in";
    EXPECT_TRUE(shop->IsResetToTop()) << "its list starts from the top";
    EXPECT_EQ(game.m_PendingStartAction.Length(), 0);
    Ticks(30);
    EXPECT_EQ(game.m_pPlayScreen->m_pHint, nullptr) << "no hint over the coin shop";
    EXPECT_EQ(Open()->FindChildWithWidgetId("dlg_addcoins"), nullptr) << "the next visit opens plainly";
}

TEST_F(PlayScreenCases, TheCoinShopsEntriesBuyGiveOrDoNothing) {
    NewPlayer();
    const std::string catalogue =
        "purchase = coins_pouch\n blackberry_id = sku_pouch\n coins = 150\nend\n"
        "purchase = inapp_facebook\n blackberry_id = sku_like\n coins = 50\nend\n"
        "purchase = inapp_free_coins\n blackberry_id = sku_free\n coins = 20\nend\n";
    game.m_pPurchaseManager = new CInAppPurchaseManager(&game);
    TParseInput input = ParseInputOf({catalogue.data(), catalogue.size()}, "catalogue");
    ASSERT_EQ(game.m_pPurchaseManager->ReadInAppPurchaseDefsFromInput(input), 1);
    player->m_nCoins = 10;
    ASSERT_NE(Open(), nullptr);

    EXPECT_EQ(Click("inapp_free_coins"), 1);
    EXPECT_EQ(Find("dlg_InAppWait"), nullptr);
    EXPECT_EQ(player->m_nCoins, 10) << "the free coins sell nothing";
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Click("inapp_facebook"), 1);
    EXPECT_EQ(player->m_nCoins, 60) << "the like reward, once";
    EXPECT_EQ(Find("dlg_InAppWait"), nullptr);
    EXPECT_EQ(Click("coins_pouch"), 1);
    EXPECT_NE(Find("dlg_InAppWait"), nullptr) << "a purchase waits for the store";
    EXPECT_TRUE(game.posts.empty());
    EXPECT_EQ(Click("btn_arenas_menu"), 1);
    EXPECT_EQ(game.posts, (std::vector<TPost>{{1001, 0, 0}}));
}

// ---- Taller screens ----------------------------------------------------------------------------

struct TLayoutCase {
    const char* why;
    int height;
    bool boosts;
    int titleDy, arenaDy, yardDy;
};

class PlayScreenLayout : public PlayScreenCases, public ::testing::WithParamInterface<TLayoutCase> {
protected:
    TCoord2D ScreenSize() const override { return {320, GetParam().height}; }
};

TEST_P(PlayScreenLayout, TheGroupsSpreadOverTheExtraHeight) {
    const TLayoutCase& c = GetParam();
    HintsSeen(true, true, true);
    player->m_AchievementFlags[kBoostsUnlockedAchievement] = c.boosts ? 1 : 0;
    CXPlayScreen* screen = Open();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(Find("btn_play_upgrades")->IsVisible(), c.boosts);
    for (int i = 0; i < 3; ++i) {
        const TCoord2D centre = screen->m_ArenaButtons[i]->CalcCenter();
        EXPECT_EQ(centre.x, kArenaX[i]);
        EXPECT_EQ(centre.y, kArenaY + c.arenaDy) << "arena " << i + 1;
    }
    for (int i = 0; i < 4; ++i) {
        const TCoord2D centre = screen->m_YardButtons[i]->CalcCenter();
        EXPECT_EQ(centre.x, kYardX[i]);
        EXPECT_EQ(centre.y, kYardY + c.yardDy) << "yard " << i + 1;
    }
    // The template's tops: the arena title at 48 and its line at 80, the yard line at 206 and its
    // title at 214.
    EXPECT_EQ(Find("txt_select_arena")->GetDrawingRect().y, 48 + c.titleDy);
    EXPECT_EQ(Find("img_hz_line_2")->GetDrawingRect().y, 80 + c.titleDy);
    EXPECT_EQ(Find("img_hzline1")->GetDrawingRect().y, 206 + c.yardDy);
    EXPECT_EQ(Find("txt_select_yard")->GetDrawingRect().y, 214 + c.yardDy);
    if (c.height == 568) KeepPicture(Frame(), "play-screen", c.boosts ? "04_568_boosts.png" : "05_568.png");
}

INSTANTIATE_TEST_SUITE_P(
    Heights, PlayScreenLayout,
    ::testing::Values(TLayoutCase{"480 lines: nothing moves", 480, false, 0, 0, 0},
                      TLayoutCase{"480 lines with boosts", 480, true, 0, 0, 0},
                      TLayoutCase{"one line more is too little to move", 481, false, 0, 0, 0},
                      TLayoutCase{"two lines more move the yards by 2, the arenas by 1", 482, false, 0, 1, 2},
                      TLayoutCase{"568 without boosts: 22, 44 and 88", 568, false, 22, 44, 88},
                      TLayoutCase{"568 with the boosts button at 504: 6, 12 and 24", 568, true, 6, 12, 24}),
    [](const ::testing::TestParamInfo<TLayoutCase>& info) {
        return "H" + std::to_string(info.param.height) + (info.param.boosts ? "Boosts" : "");
    });

}  // namespace
