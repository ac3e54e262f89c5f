// The local high-score tables, one per arena, inside the player data: 30 entries each, best
// first, shared by every profile on the device. A new table holds 30 default entries the players
// must beat; an entry a player made is an own entry (default flag false).
//
// Depends on: core (strings, arrays, serializer). Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class IFile;

inline constexpr int kHighScoreEntries = 30;

class THighScoreTable {
public:
    THighScoreTable();
    THighScoreTable(const THighScoreTable&) = delete;
    THighScoreTable& operator=(const THighScoreTable&) = delete;
    virtual ~THighScoreTable() = default;

    // Empties the table, then appends 30 fillers: score 0, "-empty-", default flag true.
    void Reset();
    // The name, then exactly 30 entries (score, name, default flag); writing fills a shorter
    // table up with fillers first, reading resets it first. 1/0. The version is not used.
    int Serialize(IFile* file, bool writing, int version);

    int GetCount() const { return m_Scores.count; }
    // Appends one entry to all three lists or to none; false when memory runs out.
    bool Append(int score, const CommonString& name, bool isDefault);
    // Inserts one entry at index (0..count) in all three lists or in none; the table takes the
    // name in both cases (deleting it on failure).
    bool InsertAt(int index, int score, CommonString* name, bool isDefault);
    // Makes room for one more entry in each list without changing them, so that the next
    // InsertAt cannot fail for want of memory; false when it cannot.
    bool ReserveOne();
    // Removes entry index from all three lists.
    void RemoveAt(int index);

    CommonString m_Name;  // the arena: "arena1", "arena2" or "arena3"
    // Three parallel lists, entry 0 the best.
    CQuorvanArray<bool> m_IsDefault;  // true for default entries and fillers
    CQuorvanArray<int> m_Scores;
    CQuorvanObjPtrArray<CommonString*> m_Names;
};

// Appends a default entry when the table holds fewer than 30 (no sorting: callers add best
// first); a full table is left alone.
void AddHighScoreEntry(THighScoreTable* table, const CommonString& name, int score);
// A new table named "arena<i + 1>" with the 30 default entries of arena i (0, 1 or 2), whose
// scores are (i + 1) times the default factors; null when memory runs out.
THighScoreTable* CreateDefaultHighScoreTable(int i);
// The game-service leaderboard id of a table: "ARENA_1" to "ARENA_3" for "arena1" to "arena3",
// empty for any other name.
CommonString LevelNameToGC_LevelID(const CommonString& tableName);
