// The high-score tables: the default entries, entering a score, the queries of the current
// player's entry and the table record.
#include "game/progress/HighScoreTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ProgressFakeGame.h"
#include "core/MemFile.h"
#include "testsupport/ByteBuilder.h"

namespace {

const CommonString kArena1("arena1");
const CommonString kPlayer("Ann");

// The table's scores, best first.
std::vector<int> Scores(const THighScoreTable& t) {
    return std::vector<int>(t.m_Scores.data, t.m_Scores.data + t.GetCount());
}

// The rows of the player's own entries.
std::vector<int> OwnRows(const THighScoreTable& t, const CommonString& player) {
    std::vector<int> rows;
    for (int i = 0; i < t.GetCount(); ++i)
        if (!t.m_IsDefault.data[i] && *t.m_Names.data[i] == player) rows.push_back(i);
    return rows;
}

int Enter(CApplicationData& data, int score, const CommonString& player = kPlayer) {
    return data.SetLevelHighScoreInfo(kArena1, player, score);
}

TEST(HighScoreTable, DefaultTablesScaleTheFactorsByTheirArena) {
    const int factors[30] = {100000, 80000, 70000, 60000, 50000, 45000, 40000, 35000, 30000, 25000,
                             20000,  15000, 14000, 13000, 12000, 11000, 10000, 9000,  8000,  7000,
                             6000,   5000,  4500,  4000,  3500,  3000,  2500,  2000,  1500,  1000};
    for (int arena = 0; arena < 3; ++arena) {
        THighScoreTable* t = CreateDefaultHighScoreTable(arena);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(Str(t->m_Name), "arena" + std::to_string(arena + 1));
        ASSERT_EQ(t->GetCount(), 30);
        for (int row = 0; row < 30; ++row) {
            EXPECT_EQ(t->m_Scores.data[row], (arena + 1) * factors[row]) << row;
            EXPECT_TRUE(t->m_IsDefault.data[row]);
            for (int other = 0; other < row; ++other)
                EXPECT_FALSE(*t->m_Names.data[other] == *t->m_Names.data[row]) << "names differ";
        }
        delete t;
    }
}

TEST(HighScoreTable, EnteringAScoreFindsItsRowOrNone) {
    struct TCase {
        const char* why;
        int score;
        int row;
        int last;  // the table's lowest score afterwards
    } cases[] = {
        {"below the lowest entry", 999, -1, 1000},
        {"just above the lowest", 1001, 29, 1001},
        {"equal to an entry: directly below it", 60000, 4, 1500},
        {"above the best", 100001, 0, 1500},
        {"equal to the best: below it", 100000, 1, 1500},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CProgressTestGame game;
        CApplicationData& data = game.Data();
        data.SetupDefaultHighScoreTables();
        EXPECT_EQ(Enter(data, c.score), c.row);
        const THighScoreTable& t = *data.GetHighScoreTable(kArena1);
        EXPECT_EQ(t.GetCount(), 30);
        EXPECT_EQ(t.m_Scores.data[29], c.last);
        if (c.row >= 0) {
            EXPECT_EQ(t.m_Scores.data[c.row], c.score);
            EXPECT_FALSE(t.m_IsDefault.data[c.row]);
        }
    }
}

TEST(HighScoreTable, OfTwoTablesWithOneNameTheLastIsFound) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();  // arena1, arena2, arena3
    THighScoreTable* second = CreateDefaultHighScoreTable(0);  // another "arena1", at index 3
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(data.m_HighScoreTables.Add(second));
    EXPECT_EQ(data.GetHighScoreTable(kArena1), second);
    EXPECT_EQ(data.GetHighScoreTableIndex(kArena1), 3);
    EXPECT_EQ(data.GetHighScoreTableIndex(CommonString("arena2")), 1) << "a single table is found where it is";
    EXPECT_EQ(Enter(data, 100001), 0);
    EXPECT_EQ(second->m_Scores.data[0], 100001) << "the score went into the last table";
    EXPECT_EQ(data.m_HighScoreTables.data[0]->m_Scores.data[0], 100000) << "the first stayed as it was";
}

TEST(HighScoreTable, APlayersOwnEntryIsReplacedOnlyByAHigherScore) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();
    ASSERT_EQ(Enter(data, 5000), 22) << "below the default 5000";
    const std::vector<int> before = Scores(*data.GetHighScoreTable(kArena1));
    EXPECT_EQ(Enter(data, 4000), -1);
    EXPECT_EQ(Enter(data, 5000), -1) << "as good is not better";
    EXPECT_EQ(Scores(*data.GetHighScoreTable(kArena1)), before);
    EXPECT_EQ(Enter(data, 6000), 21);
    const THighScoreTable& t = *data.GetHighScoreTable(kArena1);
    EXPECT_EQ(OwnRows(t, kPlayer), (std::vector<int>{21}));
    EXPECT_EQ(t.GetCount(), 30);
    EXPECT_EQ(Enter(data, 7000, CommonString("Bo")), 20) << "another player's entry is not hers";
}

TEST(HighScoreTable, ADefaultEntryWithThePlayersNameIsNotHers) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();
    THighScoreTable& t = *data.GetHighScoreTable(kArena1);
    const CommonString defaultName = *t.m_Names.data[0];
    EXPECT_EQ(Enter(data, 1200, defaultName), 29);
    EXPECT_EQ(t.m_Scores.data[0], 100000) << "the default entry with that name stays";
}

TEST(HighScoreTable, EveryOlderOwnEntryGoesEvenWhenTwoFollowEachOther) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();
    THighScoreTable& t = *data.GetHighScoreTable(kArena1);
    // Two entries of hers in a row, as an older file may hold them.
    for (int row : {10, 11}) {
        *t.m_Names.data[row] = kPlayer;
        t.m_IsDefault.data[row] = false;
    }
    EXPECT_EQ(Enter(data, 90000), 1);
    EXPECT_EQ(OwnRows(t, kPlayer), (std::vector<int>{1}));
    EXPECT_EQ(t.GetCount(), 29) << "two gone, one entered";
}

TEST(HighScoreTable, AnEntryThatCannotBeMadeLeavesTheTableAsItWas) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();
    ASSERT_EQ(Enter(data, 5000), 22);
    THighScoreTable& t = *data.GetHighScoreTable(kArena1);
    const std::vector<int> before = Scores(t);
    // The names list is full and cannot grow.
    t.m_Names.capacity = t.m_Names.count;
    t.m_Names.growBy = INT_MAX;
    EXPECT_EQ(Enter(data, 65000), -1);
    EXPECT_EQ(Scores(t), before);
    EXPECT_EQ(t.m_IsDefault.count, 30);
    EXPECT_EQ(t.m_Names.count, 30);
    EXPECT_EQ(OwnRows(t, kPlayer), (std::vector<int>{22})) << "her older entry is kept";
}

TEST(HighScoreTable, QueriesOfTheCurrentPlayer) {
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    data.SetupDefaultHighScoreTables();
    const CommonString arena2("arena2");
    EXPECT_EQ(data.GetCurrentUserHighScoreInTable(kArena1), 0) << "no profile";
    EXPECT_EQ(data.GetCurrentUserIndexInHighScoreTable(kArena1), -1);
    game.AddPlayer("Ann");
    game.AddPlayer("Bo");
    ASSERT_EQ(Enter(data, 20500), 10);
    data.m_nCurrentProfile = 9;  // outside the list: the queries take the first profile
    EXPECT_EQ(data.GetCurrentUserHighScoreInTable(kArena1), 20500);
    EXPECT_EQ(data.m_nCurrentProfile, 0);
    EXPECT_EQ(data.GetCurrentUserIndexInHighScoreTable(kArena1), 10);
    EXPECT_EQ(data.GetCurrentUserHighScoreInTable(arena2), 0) << "no entry of hers";
    EXPECT_EQ(data.GetCurrentUserIndexInHighScoreTable(CommonString("arena7")), -1) << "no such table";
    EXPECT_EQ(Enter(data, 100, kPlayer), -1);
    int score = 1;
    EXPECT_EQ(data.SetLevelHighScoreInfo(CommonString("arena7"), kPlayer, score), -1);
    EXPECT_EQ(data.GetHighScoreTable(CommonString("arena7")), nullptr);
    EXPECT_EQ(data.GetHighScoreTableIndex(arena2), 1);
    EXPECT_TRUE(data.DoesHighScoreTableExist("arena3"));
    EXPECT_FALSE(data.DoesHighScoreTableExist("arena4"));
}

TEST(HighScoreTable, RecordsAlwaysHoldThirtyEntries) {
    THighScoreTable shortTable;
    shortTable.m_Name = "arena2";
    AddHighScoreEntry(&shortTable, CommonString("Top"), 500);
    CMemoryFile out;
    ASSERT_EQ(out.Create(4096), 1);
    ASSERT_EQ(shortTable.Serialize(&out, true, 2), 1);
    CByteBuilder expected;
    expected.Str("arena2").Int(500).Str("Top").Bool(true);
    for (int i = 1; i < 30; ++i) expected.Int(0).Str("-empty-").Bool(true);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    EXPECT_EQ(CByteBuilder::Bytes(bytes, bytes + out.GetCurPos()), expected.bytes);

    THighScoreTable back;
    out.Seek(0, FileSeek::Start);
    ASSERT_EQ(back.Serialize(&out, false, 2), 1);
    EXPECT_EQ(back.GetCount(), 30);
    EXPECT_TRUE(back.m_IsDefault.data[29]) << "fillers keep the default flag";
    EXPECT_EQ(Str(*back.m_Names.data[0]), "Top");

    THighScoreTable* full = CreateDefaultHighScoreTable(0);
    AddHighScoreEntry(full, CommonString("Late"), 1);
    EXPECT_EQ(full->GetCount(), 30) << "a full table takes no more";
    delete full;
}

TEST(HighScoreTable, LeaderboardIdsOfTheThreeArenas) {
    const char* const cases[][2] = {{"arena1", "ARENA_1"}, {"arena2", "ARENA_2"}, {"arena3", "ARENA_3"},
                                    {"arena4", ""},        {"Arena1", ""},        {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(Str(LevelNameToGC_LevelID(CommonString(c[0]))), c[1]) << c[0];
}

}  // namespace
