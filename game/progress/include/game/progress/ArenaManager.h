// CArenaManager: the arena table of Data\arenas.txt, the three arenas of the marble game as plain
// records. The game object owns the one manager; the loader creates it and calls PostConstruct,
// every other user reaches it through the game object. Main thread only.
#pragma once

#include <span>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IFile;
struct TParseInput;

// One arena, as its block of the table gives it.
struct Arena {
    CommonString id;          // the block's `arena` value, key of every look-up
    CommonString name;        // shown name
    CommonString bg;          // gameplay background, below the images directory
    CommonString iconSprite;  // icon sprite name
    CommonString coinSprite;  // sprite set of the coin power-up's coins
    int coinMoney = 1;        // coins one coin power-up gives
    CommonString unlockBy;    // yard whose completion unlocks the arena; empty: always unlocked
};

class CArenaManager {
public:
    explicit CArenaManager(CGameBase* game);
    CArenaManager(const CArenaManager&) = delete;
    CArenaManager& operator=(const CArenaManager&) = delete;
    virtual ~CArenaManager() = default;

    // Empties the table, then reads the module directory's Data\arenas.txt; false when it cannot
    // be opened (the table stays empty) or memory runs out.
    [[nodiscard]] bool PostConstruct();
    // The table at a path in the paks: 1, or 0 when it cannot be opened or memory runs out.
    [[nodiscard]] int ReadFile(CommonString path);
    // The table from an open file or from bytes in memory (the entry the tests and the fuzz
    // target share): 1 at the end of the input, 0 when memory runs out (records read so far stay).
    [[nodiscard]] int ReadFile(IFile* file);
    [[nodiscard]] int ReadFromInput(TParseInput& input);

    // Whether the table read is one the game can run with: read to the end of its last record
    // (not cut short inside one); at most 16 records; the arenas
    // "arena1", "arena2" and "arena3" the game numbers, each with a background, a coin sprite set
    // and 1 to 1,000 coins per coin power-up; and, when `yardIds` is not empty, an unlock_by that
    // is empty or one of them. Else false with the member and what is wrong with it in `failure`.
    [[nodiscard]] bool CheckTable(CommonString& failure, std::span<const char* const> yardIds = {}) const;

    int GetNumArenas() const { return m_Arenas.count; }
    // Null outside 0..count-1.
    Arena* GetArenaAt(int index);
    // The last arena with that id; null when none (an empty id matches nothing).
    Arena* GetArena(const char* id);
    // Index of the last arena with that id, or -1: the arena index of the round formulas and the
    // saved-round record ids.
    int GetIndexOfArena(CommonString id);
    // Whether an arena is unlocked for the current profile: an empty unlock_by always is, else its
    // yard must stand in the profile's completed yards. False for null or an unknown id.
    bool IsArenaUnlocked(const Arena* arena);
    bool IsArenaUnlocked(const char* id);
    // The same for a profile whose completed yards have these ids (in the profile's list order).
    static bool IsArenaUnlockedFor(const Arena* arena, std::span<const char* const> completedYardIds);

    // ==== State =================================================================================
    CGameBase* m_pGame;
    CQuorvanObjPtrArray<Arena*> m_Arenas;  // file order; owned
    Arena* m_pArenaBeingRead = nullptr;    // only while a file is read
    CommonString m_OpenAtEnd;              // the arena whose record the last read ended inside

private:
    template <class Source>
    int ReadLines(Source& source);
    bool ReadLine(const CommonStringRS<50>& line);
};
