// The data-table readers against hand-written files, the raw value check and the format
// signatures.
#include <gtest/gtest.h>

#include "contentcheck/DataTables.h"

namespace {

using namespace contentcheck;

TEST(DataTablesTest, ArenasTakeTheirKeysAndSkipLinesOutsideBlocks) {
    const auto arenas = ReadArenas(
        "name = ignored outside a block\n"
        "arena = \"arena1\"\n"
        "    name = \"Clover Field\"\n"
        "    bg = \"ui\\gameplay\\arena1_bg\"   // a comment\n"
        "    coin_sprite = Coin_Gold\n"
        "    arena = not_a_second_one\n"
        "end\n"
        "arena = arena2\n"
        "    coin_money = 2\n"
        "    unlock_by = yard1\n"
        "end\n",
        "arenas");
    ASSERT_EQ(arenas.size(), 2u);
    EXPECT_EQ(arenas[0].id, "arena1");
    EXPECT_EQ(arenas[0].name, "Clover Field");
    EXPECT_EQ(arenas[0].bg, "ui\\gameplay\\arena1_bg");
    EXPECT_EQ(arenas[0].coinSprite, "Coin_Gold");
    EXPECT_EQ(arenas[0].coinMoney, 1) << "the default";
    EXPECT_EQ(arenas[0].line, 2);
    EXPECT_EQ(arenas[1].coinMoney, 2);
    EXPECT_EQ(arenas[1].unlockBy, "yard1");
}

TEST(DataTablesTest, YardsCountThePartsOfShowAndUnlock) {
    const auto yards = ReadYards(
        "yard = yard2\n"
        "    file = \"yard2_objects.txt\"\n"
        "    show_after = yard1, 1\n"
        "    unlock_after = yard1\n"
        "end\n"
        "yard = yard4\n"
        "    unlock_after = all_previous, 2\n"
        "end\n",
        "yards");
    ASSERT_EQ(yards.size(), 2u);
    EXPECT_EQ(yards[0].file, "yard2_objects.txt");
    EXPECT_EQ(yards[0].showAfter, "yard1");
    EXPECT_EQ(yards[0].showStars, 1);
    EXPECT_EQ(yards[0].showParts, 2);
    EXPECT_EQ(yards[0].unlockParts, 1) << "no star count given";
    EXPECT_EQ(yards[1].unlockAfter, "all_previous");
    EXPECT_EQ(yards[1].unlockStars, 2);
}

TEST(DataTablesTest, ObjectsKeepCategoryFlagsAndSprites) {
    const auto defs = ReadObjectDefs(
        "object = nothing\n"
        "    price = 99\n"
        "decor = yard_bg\n"
        "    default = 1\n"
        "    sprite = yard1_bg\n"
        "end\n"
        "comfort = campfire\n"
        "    price = 60\n"
        "    flag = movable\n"
        "    flag = ground\n"
        "    effects_name = campfire\n"
        "    spot = heat\n"
        "end\n"
        "bird = bird1\n"
        "    icon_sprite = icon_bird1\n"
        "end\n",
        "objects");
    ASSERT_EQ(defs.size(), 3u) << "\"object\" defines nothing";
    EXPECT_TRUE(defs[0].isDefault);
    EXPECT_FALSE(defs[0].movable);
    EXPECT_EQ(defs[0].sprite, "yard1_bg");
    EXPECT_EQ(defs[1].category, EObjectCategory::Comfort);
    EXPECT_EQ(defs[1].price, 60);
    EXPECT_TRUE(defs[1].movable);
    EXPECT_EQ(defs[1].effectsName, "campfire");
    EXPECT_EQ(defs[2].category, EObjectCategory::Bird);
    EXPECT_EQ(defs[2].iconSprite, "icon_bird1");
}

TEST(DataTablesTest, QuestSetsNestQuestsAndCloseInnermostFirst) {
    const auto sets = ReadQuestSets(
        "quests_for_yard = yard1\n"
        "    affect_arena = arena1\n"
        "    affect_arena = arena2\n"
        "    quest = q1\n"
        "        buy1 = grain_feeder\n"
        "        buy2 = bird1\n"
        "        extraScore = purple, 2\n"
        "    end\n"
        "    quests_for_yard = ignored_while_open\n"
        "    quest = q2\n"
        "        extraScore = color3, 2\n"
        "    end\n"
        "end\n"
        "quests_for_yard = yard2\n"
        "end\n",
        "quests");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].arenas, (std::vector<std::string>{"arena1", "arena2"}));
    ASSERT_EQ(sets[0].quests.size(), 2u);
    EXPECT_EQ(sets[0].quests[0].buy1, "grain_feeder");
    EXPECT_EQ(sets[0].quests[0].buy2, "bird1");
    EXPECT_TRUE(sets[0].quests[0].badColour);
    EXPECT_FALSE(sets[0].quests[1].badColour);
    EXPECT_EQ(sets[1].yard, "yard2");
}

TEST(DataTablesTest, PurchasesAndBirdSounds) {
    const auto entries = ReadPurchases(
        "purchase = coins_pouch\n"
        "    desc = ID_DESC\n"
        "    price = \"$0.99\"\n"
        "    blackberry_id = \"sku_1\"\n"
        "    coins = 150\n"
        "    hide_from_list = 0\n"
        "end\n",
        "shop");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].price, "$0.99");
    EXPECT_EQ(entries[0].sku, "sku_1");
    EXPECT_EQ(entries[0].coins, 150);
    EXPECT_FALSE(entries[0].hidden);

    const auto birds = ReadBirdSounds("bird = bird1\n eat = a.wav\n tap = b.wav\n hoot = c.wav\nend\n", "birds");
    ASSERT_EQ(birds.size(), 1u);
    EXPECT_EQ(birds[0].ids, (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST(DataTablesTest, ValueSyntaxFindsCutCommentsAndUnquotedSeparators) {
    const auto faults = CheckValueSyntax(
        "name = \"fine: quoted\"\n"
        "url = \"http://example\"\n"
        "note = a // comment: with = signs\n"
        "time = 10:30\r\n"
        "key: value\n");
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].line, 2);
    EXPECT_NE(faults[0].why.find("\"//\" inside double quotes"), std::string::npos);
    EXPECT_EQ(faults[1].line, 4);
    EXPECT_NE(faults[1].why.find("':'"), std::string::npos);
}

TEST(DataTablesTest, FormatSignatureListsConversionsInOrder) {
    struct TCase {
        const char* text;
        const char* signature;
    };
    const TCase cases[] = {
        {"Loading", "-"},           {"Level %d", "%d"}, {"%d%%", "%d%%"}, {"Every %s marble %s.", "%s%s"},
        {"%-5.2f and %ld", "%f%d"}, {"100%", "%"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatSignature(c.text), c.signature) << c.text;
}

}  // namespace
