#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "game/progress/ArenaManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/FakeProgressGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// A game whose common pak holds one Data\arenas.txt.
class ArenaTable : public ::testing::Test {
protected:
    void Mount(const std::string& arenas) {
        // A pak file of its own for each table.
        mediatest::SetCommonPak(game, dir.Path("common" + std::to_string(serial++) + ".pak"),
                                {{"Data\\arenas.txt", mediatest::ToBytes(arenas)}});
    }
    CScratchDir dir;
    CFakeProgressGame game;
    int serial = 0;
};

TEST_F(ArenaTable, ReadsEveryKeyAndKeepsDefaultsForMissingOnes) {
    Mount(
        "// the three arenas\n"
        "arena = arena1\n"
        "  name = \"Green Hill\"\n"
        "  bg = gameplay\\bg_1\n"
        "  icon_sprite = icon_arena1\n"
        "  coin_sprite = \"Coins1\"\n"
        "  coin_money = 3\n"
        "end\n"
        "arena: \"arena2\"\n"
        "  unlock_by = yard2\n"
        "end\n");
    CArenaManager arenas(&game);
    ASSERT_TRUE(arenas.PostConstruct());
    ASSERT_EQ(arenas.GetNumArenas(), 2);
    const Arena* first = arenas.GetArenaAt(0);
    EXPECT_EQ(Text(first->id), "arena1");
    EXPECT_EQ(Text(first->name), "Green Hill");
    EXPECT_EQ(Text(first->bg), "gameplay\\bg_1");
    EXPECT_EQ(Text(first->iconSprite), "icon_arena1");
    EXPECT_EQ(Text(first->coinSprite), "Coins1");
    EXPECT_EQ(first->coinMoney, 3);
    EXPECT_EQ(Text(first->unlockBy), "");
    const Arena* second = arenas.GetArenaAt(1);
    EXPECT_EQ(Text(second->id), "arena2");
    EXPECT_EQ(Text(second->name), "");
    EXPECT_EQ(Text(second->bg), "");
    EXPECT_EQ(second->coinMoney, 1);
    EXPECT_EQ(Text(second->unlockBy), "yard2");
}

TEST_F(ArenaTable, CoinMoneyValues) {
    struct TCase {
        const char* line;
        int coins;
        const char* why;
    } cases[] = {
        {"", 1, "no coin_money line keeps the default"},
        {"coin_money = -5", -5, "negative values are kept"},
        {"coin_money = abc", 0, "letters read as 0"},
        {"coin_money = \"7\"", 0, "quotes are not removed before the number is read"},
        {"coin_money = 2\ncoin_money = 9", 9, "a later line overwrites"},
        {"coin_money = 4294967298", INT_MAX, "past an int: not wrapped into 2"},
        {"coin_money = -99999999999", INT_MIN, "below an int: not wrapped"},
    };
    for (const TCase& c : cases) {
        Mount(std::string("arena = a\n") + c.line + "\nend\n");
        CArenaManager arenas(&game);
        ASSERT_TRUE(arenas.PostConstruct()) << c.why;
        ASSERT_EQ(arenas.GetNumArenas(), 1) << c.why;
        EXPECT_EQ(arenas.GetArenaAt(0)->coinMoney, c.coins) << c.why;
    }
}

TEST_F(ArenaTable, BlockRules) {
    Mount(
        "name = stray\n"  // before any block: ignored
        "arena = first\n"
        "arena = second\n"  // inside a block: neither closes nor opens one
        "name = First\n"
        "end\n"
        "end\n"  // an end outside a block does nothing
        "arena = third\n"
        "name = Left open\n");  // never closed: stays in the table
    CArenaManager arenas(&game);
    ASSERT_TRUE(arenas.PostConstruct());
    ASSERT_EQ(arenas.GetNumArenas(), 2);
    EXPECT_EQ(Text(arenas.GetArenaAt(0)->id), "first");
    EXPECT_EQ(Text(arenas.GetArenaAt(0)->name), "First");
    EXPECT_EQ(Text(arenas.GetArenaAt(1)->id), "third");
    EXPECT_EQ(Text(arenas.GetArenaAt(1)->name), "Left open");
}

TEST_F(ArenaTable, LookupsSearchFromTheLastRecord) {
    Mount("arena = a\nname = one\nend\narena = b\nend\narena = a\nname = two\nend\narena = \"\"\nend\n");
    CArenaManager arenas(&game);
    ASSERT_TRUE(arenas.PostConstruct());
    ASSERT_EQ(arenas.GetNumArenas(), 4);
    ASSERT_NE(arenas.GetArena("a"), nullptr);
    EXPECT_EQ(Text(arenas.GetArena("a")->name), "two");
    EXPECT_EQ(arenas.GetIndexOfArena(CommonString("a")), 2);
    EXPECT_EQ(arenas.GetIndexOfArena(CommonString("b")), 1);
    EXPECT_EQ(arenas.GetArena("missing"), nullptr);
    EXPECT_EQ(arenas.GetIndexOfArena(CommonString("missing")), -1);
    // The fourth record's id is empty: it matches nothing, not even an empty search text.
    EXPECT_EQ(arenas.GetArena(""), nullptr);
    EXPECT_EQ(arenas.GetIndexOfArena(CommonString("")), -1);
    EXPECT_EQ(arenas.GetArena(nullptr), nullptr);
}

TEST_F(ArenaTable, MissingFileFailsWithAnEmptyTable) {
    Mount("arena = a\nend\n");
    CArenaManager arenas(&game);
    ASSERT_TRUE(arenas.PostConstruct());
    mediatest::SetCommonPak(game, dir.Path("other.pak"), {{"Data\\other.txt", mediatest::ToBytes("x")}});
    EXPECT_FALSE(arenas.PostConstruct());
    EXPECT_EQ(arenas.GetNumArenas(), 0);
}

TEST(ArenaUnlock, UnlockByNamesACompletedYard) {
    Arena always;
    Arena byYard2;
    byYard2.unlockBy = "yard2";
    struct TCase {
        const Arena* arena;
        std::vector<const char*> completed;
        bool unlocked;
        const char* why;
    } cases[] = {
        {&always, {}, true, "no unlock_by: unlocked for a fresh profile"},
        {&byYard2, {}, false, "a fresh profile has completed nothing"},
        {&byYard2, {"yard1"}, false, "another yard does not count"},
        {&byYard2, {"yard1", "yard2"}, true, "found anywhere in the list"},
        {&byYard2, {"yard2", "yard3"}, true, "found at the front"},
        {nullptr, {"yard2"}, false, "no arena"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CArenaManager::IsArenaUnlockedFor(c.arena, c.completed), c.unlocked) << c.why;
}

}  // namespace

namespace {

// One arena block as the game ships them, with one line changed through `extra` (a later line
// overwrites an earlier one).
std::string Block(const char* id, const std::string& extra = "") {
    return std::string("arena = ") + id + "\n  name = Field\n  bg = \"ui\\gameplay\\bg\"\n  coin_sprite = Coin_Gold\n" +
           "  coin_money = 2\n" + extra + "end\n";
}

TEST_F(ArenaTable, TheCheckRefusesATableTheGameCannotRunWithAndNamesTheMember) {
    const std::string three = Block("arena1") + Block("arena2", "  unlock_by = yard1\n") + Block("arena3");
    std::string seventeen = three;
    for (int i = 4; i <= 17; ++i) seventeen += Block(("extra" + std::to_string(i)).c_str());
    std::string sixteen = three;
    for (int i = 4; i <= 16; ++i) sixteen += Block(("extra" + std::to_string(i)).c_str());
    struct TCase {
        std::string table;
        const char* failure;  // empty: the table passes
        const char* why;
    } cases[] = {
        {three, "", "the three numbered arenas"},
        {sixteen, "", "sixteen records are allowed"},
        {Block("arena1") + Block("arena2", "  coin_money = 1\n") + Block("arena3", "  coin_money = 1000\n"), "",
         "1 and 1,000 coins are the edges"},
        {"", "Data\\arenas.txt: no record for the arena arena1", "an empty table"},
        {"\x89PNG\r\n\x1a\n this is no table \x01\x02=\xff\n", "Data\\arenas.txt: no record for the arena arena1",
         "garbage"},
        {Block("arena1") + Block("arena2") + "arena = arena3\n  name = Cave\n",
         "Data\\arenas.txt: the file ends inside the record of the arena arena3 (no \"end\"): it is cut short",
         "a table cut inside the last block"},
        {Block("arena1") + Block("arena2") + Block("arena3") + "arena = ",
         "Data\\arenas.txt: the file ends inside the record of the arena ? (no \"end\")",
         "a table cut inside a record's name, all three arenas read"},
        {Block("arena1") + Block("arena2"), "Data\\arenas.txt: no record for the arena arena3",
         "a table cut after a block"},
        {Block("arena1") + Block("arena2", "  coin_sprite = \"\"\n") + Block("arena3"),
         "Data\\arenas.txt: the arena arena2 has no coin sprite set (coin_sprite)", "no coin sprite set"},
        {Block("arena1", "  coin_money = 0\n") + Block("arena2") + Block("arena3"),
         "Data\\arenas.txt: the arena arena1 gives 0 coins a coin power-up (coin_money), outside 1 to 1000",
         "no coins"},
        {Block("arena1") + Block("arena2") + Block("arena3", "  coin_money = 1001\n"),
         "Data\\arenas.txt: the arena arena3 gives 1001 coins", "past the bound"},
        {Block("arena1") + Block("arena2") + Block("arena3", "  coin_money = 99999999999\n"),
         "Data\\arenas.txt: the arena arena3 gives 2147483647 coins",
         "a number past an int is not wrapped into a small one"},
        {Block("arena1") + Block("arena2") + Block("arena3", "  coin_money = 4294967298\n"),
         "Data\\arenas.txt: the arena arena3 gives 2147483647 coins", "a number that would wrap into 2"},
        {Block("arena1") + Block("arena2") + Block("arena3", "  coin_money = -5\n"),
         "Data\\arenas.txt: the arena arena3 gives -5 coins", "negative"},
        {seventeen, "Data\\arenas.txt: 17 arena records, more than the 16 a table may have", "too many"},
        {Block("arena1") + Block("arena2", "  unlock_by = yard9\n") + Block("arena3"),
         "Data\\arenas.txt: the arena arena2 is unlocked by the yard yard9, which Data\\yards.txt does not have",
         "an unknown yard would keep the arena locked for ever"},
    };
    const char* const yards[] = {"yard1", "yard2"};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        Mount(c.table);
        CArenaManager arenas(&game);
        ASSERT_TRUE(arenas.PostConstruct());
        CommonString failure;
        const bool passed = arenas.CheckTable(failure, yards);
        EXPECT_EQ(passed, c.failure[0] == '\0');
        EXPECT_EQ(Text(failure).substr(0, std::strlen(c.failure)), c.failure);
    }
    // Without the yard table the unlock yards are not checked.
    Mount(Block("arena1") + Block("arena2", "  unlock_by = yard9\n") + Block("arena3"));
    CArenaManager arenas(&game);
    ASSERT_TRUE(arenas.PostConstruct());
    CommonString failure;
    EXPECT_TRUE(arenas.CheckTable(failure));
}

}  // namespace
