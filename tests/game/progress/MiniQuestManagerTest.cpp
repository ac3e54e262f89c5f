// Mini-quests: "Data\miniquests.txt" read from a test pak, the look-ups, the purchase rule, the
// bonus of an arena and the coins of a round.
#include "game/progress/MiniQuestManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ProgressFakeGame.h"
#include "core/Parser.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"

namespace {

CommonString S(const char* text) { return CommonString(text); }

// Two yards affecting arena1, one of them arena2 as well; a shared object; quoted names; keys at
// the wrong level; a set left open at the end of the file.
const char* const kQuests = R"(// mini-quests
buy1 = outside_any_block
quests_for_yard = "yard1"
    affect_arena = arena1
    affect_arena = "arena2"
    buy1 = set_level_key_ignored
    quest = q_feed
        buy1 = "grain_feeder"
        buy2 = bird1
        scale1 = 1.5
        extraScore = red, 2
        affect_arena = arena9
    end
    quests_for_yard = yard_inside_a_set
    quest = q_frog
        buy1 = wooden_frog
        buy2 = grain_feeder
        extraScore = color2 15
        extraScore = green,16
        decreaseScorePerCoin = 100
    end
    quest = q_odd
        buy1 = a
        buy2 = b
        extraScore = purple, 50
        extraScore = yellow 7
        scale2 = -0.25
    end
end
quests_for_yard = yard2
    affect_arena = arena1
    quest = q_music
        buy1 = radio
        buy2 = tulip_bed
        extraScore = color3, 3
        decreaseScorePerCoin = 150
)";

class MiniQuestTest : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::SetCommonPak(game, dir.Path("common.pak"), {{"Data\\miniquests.txt", mediatest::ToBytes(kQuests)}});
        ASSERT_TRUE(manager.PostConstruct());
        player = game.AddPlayer("Ann");
        ASSERT_NE(player, nullptr);
    }

    CScratchDir dir;
    CProgressTestGame game;
    CMiniQuestManager manager{&game};
    TUserProfile* player = nullptr;
};

TEST_F(MiniQuestTest, TheFileGivesSetsQuestsAndArenas) {
    ASSERT_EQ(manager.GetNumSets(), 2) << "a set line inside a set opens nothing";
    const MiniQuestsSet& yard1 = *manager.GetSet(0);
    EXPECT_EQ(Str(yard1.yardId), "yard1");
    ASSERT_EQ(yard1.affectedArenas.count, 2);
    EXPECT_EQ(Str(*yard1.affectedArenas.data[1]), "arena2");
    ASSERT_EQ(yard1.quests.count, 3);

    struct TQuest {
        const char* yard;
        const char* id;
        const char* buy1;
        const char* buy2;
        int scale1, scale2;
        int extra[4];
        int coins;
    } quests[] = {
        {"yard1", "q_feed", "grain_feeder", "bird1", 384, 256, {2, 0, 0, 0}, 0},
        {"yard1", "q_frog", "wooden_frog", "grain_feeder", 256, 256, {0, 16, 0, 0}, 100},
        {"yard1", "q_odd", "a", "b", 256, -64, {0, 0, 0, 7}, 0},
        {"yard2", "q_music", "radio", "tulip_bed", 256, 256, {0, 0, 3, 0}, 150},
    };
    for (const TQuest& q : quests) {
        SCOPED_TRACE(q.id);
        const MiniQuest* quest = manager.GetMiniQuest(S(q.yard), S(q.id));
        ASSERT_NE(quest, nullptr);
        EXPECT_EQ(Str(quest->buy1), q.buy1);
        EXPECT_EQ(Str(quest->buy2), q.buy2);
        EXPECT_EQ(quest->scale1, q.scale1);
        EXPECT_EQ(quest->scale2, q.scale2);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(quest->extraScore[c], q.extra[c]) << "colour " << c + 1;
        EXPECT_EQ(quest->decreaseScorePerCoin, q.coins);
    }
    EXPECT_EQ(manager.GetMiniQuest(S("yard2"), S("q_feed")), nullptr) << "quests are looked up within their yard";
    EXPECT_EQ(manager.GetMiniQuest(static_cast<const MiniQuestsSet*>(nullptr), S("q_feed")), nullptr);
    EXPECT_EQ(manager.GetNumArenaInfos(), 2) << "arena9 was named inside a quest";
}

TEST_F(MiniQuestTest, AMissingFileFailsTheStartUp) {
    mediatest::SetCommonPak(game, dir.Path("empty.pak"), {{"Data\\other.txt", mediatest::ToBytes("x")}});
    CMiniQuestManager none(&game);
    EXPECT_FALSE(none.PostConstruct());
}

TEST_F(MiniQuestTest, TheQuestDefinedLastHoldsASharedObject) {
    EXPECT_EQ(Str(manager.FindMiniQuestContainingObject(S("yard1"), S("grain_feeder"))->id), "q_frog");
    EXPECT_EQ(Str(manager.FindMiniQuestContainingObject(S("yard1"), S("bird1"))->id), "q_feed");
    EXPECT_EQ(manager.FindMiniQuestContainingObject(S("yard2"), S("bird1")), nullptr);
    EXPECT_EQ(manager.FindMiniQuestContainingObject(S("yard1"), S("")), nullptr);
}

TEST_F(MiniQuestTest, APurchaseUnlocksThenCompletesOneQuest) {
    player->m_CurrentYard = "yard1";
    const CommonString yard("yard1");
    struct TBuy {
        const char* object;
        bool completedNow;
        int feed, frog;  // states afterwards
    } buys[] = {
        {"bird1", false, 1, 0},          // one object of q_feed: unlocked
        {"bird1", false, 1, 0},          // again: still unlocked
        {"grain_feeder", false, 1, 1},   // shared: only q_frog, defined last, moves
        {"wooden_frog", true, 1, 2},     // q_frog's other object is owned: completed
        {"wooden_frog", false, 1, 2},    // a completed quest stays as it is
        {"unknown_thing", false, 1, 2},  // in no quest
    };
    for (const TBuy& b : buys) {
        SCOPED_TRACE(b.object);
        player->FarmObjectPurchased(yard, S(b.object));
        EXPECT_EQ(manager.CheckMiniQuests(player, S(b.object)), b.completedNow);
        EXPECT_EQ(player->GetMiniQuestState(yard, S("q_feed")), b.feed);
        EXPECT_EQ(player->GetMiniQuestState(yard, S("q_frog")), b.frog);
    }
    EXPECT_FALSE(manager.CheckMiniQuests(nullptr, S("bird1")));
}

TEST_F(MiniQuestTest, EitherObjectAloneUnlocksAndTheOtherCompletes) {
    // q_music of yard2: radio (its first object) and tulip_bed (its second), bought in both orders
    // by two players.
    const CommonString yard("yard2"), quest("q_music");
    const char* const orders[2][2] = {{"radio", "tulip_bed"}, {"tulip_bed", "radio"}};
    for (const auto& order : orders) {
        SCOPED_TRACE(order[0]);
        TUserProfile* buyer = game.AddPlayer(order[0]);
        ASSERT_NE(buyer, nullptr);
        buyer->m_CurrentYard = "yard2";
        buyer->FarmObjectPurchased(yard, S(order[0]));
        EXPECT_FALSE(manager.CheckMiniQuests(buyer, S(order[0]))) << "one object alone completes nothing";
        EXPECT_EQ(buyer->GetMiniQuestState(yard, quest), 1);
        buyer->FarmObjectPurchased(yard, S(order[1]));
        EXPECT_TRUE(manager.CheckMiniQuests(buyer, S(order[1])));
        EXPECT_EQ(buyer->GetMiniQuestState(yard, quest), 2);
    }
}

TEST_F(MiniQuestTest, TheBonusOfAnArenaSumsTheCompletedQuestsOfItsYards) {
    player->MiniQuestCompleted(S("yard1"), S("q_feed"));
    player->MiniQuestCompleted(S("yard1"), S("q_frog"));
    player->MiniQuestCompleted(S("yard1"), S("q_gone"));  // no longer defined: skipped
    player->MiniQuestUnlocked(S("yard1"), S("q_odd"));    // only unlocked: no bonus
    player->MiniQuestCompleted(S("yard2"), S("q_music"));
    struct TArena {
        const char* arena;
        int extra[4];
        int coins;
    } arenas[] = {
        {"arena1", {2, 16, 3, 0}, 250},  // both yards add up
        {"arena2", {2, 16, 0, 0}, 100},  // yard1 counts in both its arenas
        {"arena3", {0, 0, 0, 0}, 0},     // no yard affects it
    };
    EXPECT_EQ(manager.GetCurrentArenaBonus(), nullptr);
    for (const TArena& a : arenas) {
        SCOPED_TRACE(a.arena);
        player->m_CurrentArena = a.arena;
        manager.RecalcMiniQuestResultsForCurrentArena();
        const MiniQuest* bonus = manager.GetCurrentArenaBonus();
        ASSERT_NE(bonus, nullptr);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(bonus->extraScore[c], a.extra[c]) << c;
        EXPECT_EQ(bonus->decreaseScorePerCoin, a.coins);
        EXPECT_EQ(bonus->scale1, 256);
        EXPECT_EQ(bonus->scale2, 256);
        EXPECT_EQ(bonus->id.Length(), 0);
    }
}

// Bonus values come from a data file: sums that reach the ends of the int range stay exact, sums
// past them stop there.
TEST_F(MiniQuestTest, BonusSumsStopAtTheEndsOfTheIntRange) {
    const std::string text = R"(quests_for_yard = ya
affect_arena = edge
quest = a
extraScore = red 2147483000
extraScore = green 1
extraScore = blue -2147483000
extraScore = yellow -2147483000
decreaseScorePerCoin = 2000000000
end
end
quests_for_yard = yb
affect_arena = edge
quest = b
extraScore = red 647
extraScore = green 2147483647
extraScore = blue -649
extraScore = yellow -648
decreaseScorePerCoin = 147483647
end
quest = c
decreaseScorePerCoin = 1
end
end
)";
    TParseInput input;
    input.bytes = text.data();
    input.size = static_cast<int>(text.size());
    input.name = "quests";
    CMiniQuestManager edges(&game);
    ASSERT_TRUE(edges.ReadQuestDefsFromInput(input));
    player->m_CurrentArena = "edge";
    player->MiniQuestCompleted(S("ya"), S("a"));
    player->MiniQuestCompleted(S("yb"), S("b"));
    edges.RecalcMiniQuestResultsForCurrentArena();
    const MiniQuest* bonus = edges.GetCurrentArenaBonus();
    ASSERT_NE(bonus, nullptr);
    EXPECT_EQ(bonus->extraScore[0], 2147483647) << "2147483000 + 647 is the largest int";
    EXPECT_EQ(bonus->extraScore[1], 2147483647) << "1 + 2147483647 stops at the largest int";
    EXPECT_EQ(bonus->extraScore[2], -2147483647 - 1) << "-2147483000 - 649 stops at the smallest int";
    EXPECT_EQ(bonus->extraScore[3], -2147483647 - 1) << "-2147483000 - 648 is the smallest int";
    EXPECT_EQ(bonus->decreaseScorePerCoin, 2147483647) << "2000000000 + 147483647 is the largest int";

    player->MiniQuestCompleted(S("yb"), S("c"));
    edges.RecalcMiniQuestResultsForCurrentArena();
    EXPECT_EQ(edges.GetCurrentArenaBonus()->decreaseScorePerCoin, 2147483647) << "one more stops there";
    EXPECT_EQ(CMiniQuestManager::CalcRoundCoins(2147483647, edges.GetCurrentArenaBonus()), 2147483647)
        << "2147483 + 2147483 x 2147483647 / 1000 coins stop at the largest int";
}

TEST(MiniQuestCoins, ARoundsCoinsAreAThousandthOfItsScorePlusTheBonus) {
    MiniQuest bonus;
    struct TCase {
        int score;
        int perMille;  // -1000: no bonus record
        int coins;
    } cases[] = {
        {12345, 250, 15},  // 12 + 12 x 250 / 1000
        {12345, 0, 12},
        {999, 500, 0},
        {12345, -100, 12},  // a negative bonus counts as none
        {12345, -1000, 12},
        {1999, 499, 1},  // 1 + 1 x 499 / 1000
        {2000000000, 1000, 4000000},
    };
    for (const TCase& c : cases) {
        bonus.decreaseScorePerCoin = c.perMille;
        const MiniQuest* record = c.perMille == -1000 ? nullptr : &bonus;
        EXPECT_EQ(CMiniQuestManager::CalcRoundCoins(c.score, record), c.coins) << c.score << " at " << c.perMille;
    }
}

TEST(MiniQuestReader, ExtraScoreWordsAndSeparators) {
    struct TCase {
        const char* value;
        int colour;  // 0..3, -1 none
        int points;
    } cases[] = {
        {"color2 15", 1, 15}, {"color2,15", 1, 15}, {"green, 15", 1, 15}, {"red 1", 0, 1},
        {"color1 4", 0, 4},   {"blue 9", 2, 9},     {"color4 8", 3, 8},   {"yellow,-3", 3, -3},
        {"Red 5", -1, 0},     {"colour2 5", -1, 0}, {"green", 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string text =
            std::string("quests_for_yard = y\nquest = q\nextraScore = ") + c.value + "\nend\nend\n";
        TParseInput input;
        input.bytes = text.data();
        input.size = static_cast<int>(text.size());
        input.name = "quests";
        CMiniQuestManager manager(nullptr);
        ASSERT_TRUE(manager.ReadQuestDefsFromInput(input));
        const MiniQuest* q = manager.GetMiniQuest(S("y"), S("q"));
        ASSERT_NE(q, nullptr);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(q->extraScore[k], k == c.colour ? c.points : 0) << k;
    }
}

}  // namespace

namespace {

// A set of one quest for a yard, with one line added to the quest through `extra`.
std::string QuestSet(const char* yard, const std::string& extra = "") {
    return std::string("quests_for_yard = ") + yard + "\n  affect_arena = arena1\n  quest = q_" + yard +
           "\n    buy1 = a\n    buy2 = b\n    extraScore = red, 2\n" + extra + "  end\nend\n";
}

TEST(MiniQuestCheck, TheTableMustGiveEveryYardItsSetWithBoundedQuests) {
    std::string sixtyFour, sixtyFive;
    for (int i = 0; i < 64; ++i)
        sixtyFour += "  quest = q" + std::to_string(i) + "\n    buy1 = a\n    buy2 = b\n  end\n";
    sixtyFive = sixtyFour + "  quest = more\n    buy1 = a\n    buy2 = b\n  end\n";
    std::string sixtyFiveSets = QuestSet("y1") + QuestSet("y2");
    for (int i = 3; i <= 65; ++i) sixtyFiveSets += QuestSet("y1");
    struct TCase {
        std::string table;
        const char* failure;  // empty: the table passes
        const char* why;
    } cases[] = {
        {QuestSet("y1") + QuestSet("y2"), "", "one set a yard, in order"},
        {QuestSet("y1") + QuestSet("y2") + QuestSet("y1"), "", "a further set for a known yard"},
        {"quests_for_yard = y1\n" + sixtyFour + "end\n" + QuestSet("y2"), "", "64 quests in a set"},
        {QuestSet("y1", "    decreaseScorePerCoin = 10000\n    extraScore = blue 10000\n") + QuestSet("y2"), "",
         "bonuses of 10,000 are the edge"},
        {"", "Data\\miniquests.txt: set 1 is not the quests of the yard y1", "an empty table"},
        {"\x89PNG\r\n\x1a\n this is no picture ", "Data\\miniquests.txt: set 1 is not the quests of the yard y1",
         "garbage"},
        {QuestSet("y1"), "Data\\miniquests.txt: set 2 is not the quests of the yard y2", "a table cut after a set"},
        {QuestSet("y2") + QuestSet("y1"), "Data\\miniquests.txt: set 1 is not the quests of the yard y1",
         "sets out of the yards' order"},
        {QuestSet("y1") + "quests_for_yard = y2\n  quest = q\n    buy1 = a\n",
         "Data\\miniquests.txt: the quest q of the yard y2 lacks an object to buy", "a table cut inside a quest"},
        {QuestSet("y1") + QuestSet("y2") + QuestSet("y9"),
         "Data\\miniquests.txt: set 3 names the yard y9, which Data\\yards.txt does not have", "an unknown yard"},
        {sixtyFiveSets, "Data\\miniquests.txt: 65 quest sets, more than the 64 a table may have", "too many sets"},
        {"quests_for_yard = y1\n" + sixtyFive + "end\n" + QuestSet("y2"),
         "Data\\miniquests.txt: the yard y1 has 65 quests, more than 64", "too many quests"},
        {QuestSet("y1") + "quests_for_yard = y2\n  quest = \"\"\n    buy1 = a\n    buy2 = b\n  end\nend\n",
         "Data\\miniquests.txt: quest 1 of the yard y2 has no id", "a quest without an id"},
        {QuestSet("y1", "    decreaseScorePerCoin = 10001\n") + QuestSet("y2"),
         "Data\\miniquests.txt: the quest q_y1 of the yard y1 gives a bonus of 10001, outside 0 to 10000",
         "a coin bonus past the bound"},
        {QuestSet("y1") + QuestSet("y2", "    extraScore = yellow, -1\n"),
         "Data\\miniquests.txt: the quest q_y2 of the yard y2 gives a bonus of -1", "a negative colour bonus"},
        {QuestSet("y1", "    decreaseScorePerCoin = 4294967396\n") + QuestSet("y2"),
         "Data\\miniquests.txt: the quest q_y1 of the yard y1 gives a bonus of 2147483647",
         "a number that would wrap into 100"},
        {QuestSet("y1", "    extraScore = green 99999999999\n") + QuestSet("y2"),
         "Data\\miniquests.txt: the quest q_y1 of the yard y1 gives a bonus of 2147483647",
         "a colour bonus past an int"},
    };
    const char* const yards[] = {"y1", "y2"};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TParseInput input;
        input.bytes = c.table.data();
        input.size = static_cast<int>(c.table.size());
        input.name = "quests";
        CMiniQuestManager manager(nullptr);
        ASSERT_TRUE(manager.ReadQuestDefsFromInput(input));
        CommonString failure;
        EXPECT_EQ(manager.CheckTable(failure, yards), c.failure[0] == '\0');
        const std::string told = failure.GetDataConst() != nullptr ? failure.GetDataConst() : "";
        EXPECT_EQ(told.substr(0, std::strlen(c.failure)), c.failure);
    }
}

}  // namespace
