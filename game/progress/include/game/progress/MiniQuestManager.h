// Mini-quests: buy two named farm objects in one yard. Buying the first unlocks a quest, buying
// both completes it, and a completed quest gives a bonus in the arenas its yard affects: extra
// points for every scored marble of one colour, or extra coins after a round. The manager reads
// the definitions from "Data\miniquests.txt" at start-up, answers look-ups by yard and object,
// applies a purchase to a profile's quest states, and sums the bonuses of the current arena when
// a round starts. The quest states themselves live in each profile.
//
// Depends on: core (parser, memory files), the player data for the current profile.
// Threads: main thread only.
#pragma once

#include <span>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IFile;
class TUserProfile;
struct TParseInput;

// One quest, or the summed bonus of an arena.
struct MiniQuest {
    CommonString id;    // looked up within its yard
    CommonString buy1;  // the two farm objects to buy
    CommonString buy2;
    FIXED_FLOAT scale1 = 256;  // read and kept
    FIXED_FLOAT scale2 = 256;
    int extraScore[4] = {};        // points added to every scoring event of colour 1 (red) .. 4 (yellow)
    int decreaseScorePerCoin = 0;  // coin bonus in thousandths of the round's coins
};

// The quests of one yard.
struct MiniQuestsSet {
    MiniQuestsSet();
    CommonString yardId;
    CQuorvanObjPtrArray<CommonString*> affectedArenas;
    CQuorvanObjPtrArray<MiniQuest*> quests;  // in file order
};

// The quest sets of the yards that affect one arena (the sets belong to the manager).
struct AffectedArenaInfo {
    CommonString arenaName;
    CQuorvanArray<MiniQuestsSet*> sets;
};

class CMiniQuestManager {
public:
    explicit CMiniQuestManager(CGameBase* game);
    CMiniQuestManager(const CMiniQuestManager&) = delete;
    CMiniQuestManager& operator=(const CMiniQuestManager&) = delete;
    ~CMiniQuestManager();

    // Reads the module directory's "Data\miniquests.txt"; false when it cannot be opened or an
    // allocation fails.
    bool PostConstruct();
    // Opens the path (from the paks) and reads it; false when it cannot be opened.
    bool ReadQuestDefsFromFile(CommonString path);
    // The block reader over an open file; true at its end, false when an allocation fails (what
    // was read before stays). A file that ends inside a block keeps what it read.
    bool ReadQuestDefsFromFile(IFile* file);
    // The same over a whole file in memory: what the file reader, the tests and the fuzz target
    // share.
    bool ReadQuestDefsFromInput(TParseInput& input);

    // Whether the table read is one the game can run with: a set for each of `yardIds`, in
    // their order (the quests tab takes set i for yard i), further sets only for those yards,
    // at most 64 sets of at most 64 quests; every quest with an id, two objects to buy and
    // bonuses of 0 to 10,000. Else false with the member and what is wrong with it in `failure`.
    [[nodiscard]] bool CheckTable(CommonString& failure, std::span<const char* const> yardIds) const;
    // Over the sets of the yard, last set and last quest first: the first quest with the object as
    // buy1 or buy2; null for an empty object name or none.
    MiniQuest* FindMiniQuestContainingObject(const CommonString& yard, const CommonString& object) const;
    // The quest of that id in the set (searching from the last); null for a null set or none.
    MiniQuest* GetMiniQuest(const MiniQuestsSet* set, const CommonString& id) const;
    // The same over every set of the yard, last set first.
    MiniQuest* GetMiniQuest(const CommonString& yard, const CommonString& id) const;
    // The arena's record (searching from the last), made empty and appended when missing; null
    // only when memory runs out.
    AffectedArenaInfo* GetAffectedArenaInfo(const CommonString& arena);

    // Rebuilds the bonus of the current profile's current arena: the sums over the completed
    // quests of every yard affecting it (all zero when none, scales 256). Without a current
    // profile the bonus is all zero.
    void RecalcMiniQuestResultsForCurrentArena();
    // The bonus of the current arena; null before the first recalculation.
    const MiniQuest* GetCurrentArenaBonus() const { return m_pCurrentBonus; }

    // A farm object bought in the profile's current yard: the quest holding it (the one defined
    // last) completes when the profile owns its other object too, else unlocks; it never goes
    // back. True when a quest was completed now (the yard shows its banner).
    bool CheckMiniQuests(TUserProfile* profile, const CommonString& object) const;

    // The coins of a round: base + base x d / 1000 with base = score / 1000 and d the bonus's
    // coin thousandths (0 when negative or without a bonus), all in integer division.
    static int CalcRoundCoins(int score, const MiniQuest* bonus);

    int GetNumSets() const { return m_Sets.count; }
    MiniQuestsSet* GetSet(int i) const { return i >= 0 && i < m_Sets.count ? m_Sets.data[i] : nullptr; }
    int GetNumArenaInfos() const { return m_Arenas.count; }

private:
    template <class Source>
    bool ReadQuestLines(Source& source);
    // One logical line; false when an allocation fails.
    bool ReadQuestLine(const CommonStringRS<50>& line);
    bool ReadSetLine(const CommonStringRS<50>& key, const CommonStringRS<50>& value);
    void ReadQuestProperty(const CommonStringRS<50>& key, const CommonStringRS<50>& value);

    CGameBase* m_pGame;
    CQuorvanObjPtrArray<MiniQuestsSet*> m_Sets;
    CQuorvanObjPtrArray<AffectedArenaInfo*> m_Arenas;
    MiniQuest* m_pCurrentBonus = nullptr;  // owned
    MiniQuestsSet* m_pReadingSet = nullptr;
    MiniQuest* m_pReadingQuest = nullptr;
};
