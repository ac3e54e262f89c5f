// One player's profile: name, coins, scores, experience, boosts, achievements, hint and tutorial
// flags, the best score per level, the current arena and yard, the completed yards with their
// stars, the mini-quest states and farm objects bought per yard, and per-arena statistics. The
// player data (game/progress/ApplicationData.h) holds up to six and saves them in "global.opt";
// nearly every screen and manager reads or changes the current one.
//
// Depends on: core (strings, arrays, serializer). Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IFile;

inline constexpr int kProfileNameBytes = 11;
inline constexpr int kAchievementCount = 23;
inline constexpr int kHintFlagCount = 7;
inline constexpr int kProfileArenaCount = 3;
inline constexpr int kBoostCount = 6;

// Hint flags by the screen that shows them: the play screen 0 to 2, the yard 3 to 5, the boosts
// screen 6.
enum : int {
    kHintPlayArenaButton = 0,
    kHintPlayYardButton = 1,
    kHintPlayBoostsButton = 2,
    kHintYardPurchase = 3,
    kHintYardQuests = 4,
    kHintYardProgress = 5,
    kHintBoosts = 6,
};

// The best score of one level.
struct TUsersBestScoreOnLevelInfo {
    CommonString m_LevelName;
    int m_nScore = 0;

    void Reset();
    // Level name, then score. 1/0.
    int Serialize(IFile* file, bool writing, int version);
};

// The mini-quest progress and the farm objects bought in one yard.
struct MiniQuestStatesInfo {
    MiniQuestStatesInfo();

    CommonString m_YardId;
    CQuorvanObjPtrArray<CommonString*> m_Unlocked;   // quest ids
    CQuorvanObjPtrArray<CommonString*> m_Completed;  // quest ids
    CQuorvanObjPtrArray<CommonString*> m_Purchased;  // object names, one per copy bought

    void Reset();
    // Yard id, then the three lists, each a count and its strings; reading empties them first.
    int Serialize(IFile* file, bool writing, int version);
};

class TUserProfile {
public:
    // Empty lists and strings, no game pointer; the makers of a profile run Reset next.
    TUserProfile();
    TUserProfile(const TUserProfile&) = delete;
    TUserProfile& operator=(const TUserProfile&) = delete;
    virtual ~TUserProfile() = default;

    // The defaults of every field but the best scores, which stay as they are.
    void Reset();
    void SetGamePtr(CGameBase* game) { m_pGame = game; }

    // The whole record, tag "prfl" first; SerializeSessionParams is its middle part (arena and
    // yard, completed yards, mini-quest states, newly unlocked levels, the unlocked yard id).
    // 1/0; reading fails at a wrong tag, a damaged count or an early end, and a list stops at its
    // first failed item.
    int Serialize(IFile* file, bool writing, int version);
    int SerializeSessionParams(IFile* file, bool writing, int version);

    // The name, at most kProfileNameBytes characters.
    CommonString GetName() const;
    // Empty clears the field; up to 10 characters are copied with their terminator; a longer
    // name is cut to 11 characters, terminated by the reserved byte after the field.
    void SetName(const CommonString& name);

    // The best score of a level (searching from the last record): true and score set, or false.
    bool GetMyScoreOnLevel(const CommonString& level, int& score) const;
    // Raises the stored best score of the level when score is higher; appends a record for a
    // level without one.
    void UpdateMyScoreOnLevel(const CommonString& level, int score);

    // Stars of the first listed yard of that name; 0 when it is not listed.
    int GetNumStarsInCompletedYard(const CommonString& yard) const;
    // Keeps the larger of the stored and the new stars (searching from the last entry), or lists
    // the yard with its stars.
    void AddCompletedYardId(const CommonString& yard, int stars);
    // Appends a completed yard to both parallel lists, or to neither: false when memory runs out.
    bool AppendCompletedYard(const CommonString& yard, int stars);
    int GetNumCompletedYards() const { return m_CompletedYardNames.count; }

    // The yard's record (searching from the last), made and appended when missing; null only
    // when memory runs out.
    MiniQuestStatesInfo* GetMiniQuestStatesInfo(const CommonString& yard);
    // 2 completed, 1 unlocked, 0 locked (the yard's record is made when missing).
    int GetMiniQuestState(const CommonString& yard, const CommonString& quest);
    // Lists the quest as unlocked unless it is unlocked or completed already.
    void MiniQuestUnlocked(const CommonString& yard, const CommonString& quest);
    // Lists the quest as completed unless it is, then drops its last unlocked entry.
    void MiniQuestCompleted(const CommonString& yard, const CommonString& quest);
    // One more copy of the object bought in the yard (a sold object stays listed).
    void FarmObjectPurchased(const CommonString& yard, const CommonString& object);
    // Drops the last listed copy of the object; nothing when there is none.
    void FarmObjectRemoved(const CommonString& yard, const CommonString& object);
    int GetNumFarmObjectPurchased(const CommonString& yard, const CommonString& object);
    bool IsFarmObjectPurchased(const CommonString& yard, const CommonString& object);

    bool IsAchievementAwarded(int index) const;

    // ==== State, in the order of the record in memory ========================================
    char m_Name[kProfileNameBytes];
    char m_Reserved1;      // always 0: terminates an 11-character name
    char m_Reserved2;      // always 0
    int m_nStorageSlotId;  // save-resume records of this profile: 100 x slot + arena, 10000 + 100 x slot + yard
    int m_nTotalScore;     // sum of all round scores
    int m_nCoins;
    int m_nCoinTally;  // grows by a tenth of each round's coins; the round statistics count up to it
    int m_nClearBonuses;
    bool m_bSocialPromptAccepted;
    char m_AchievementFlags[kAchievementCount];  // non-zero once awarded
    bool m_bTutorialOn;
    bool m_HintFlags[kHintFlagCount];  // set once the player has gone through that hint
    CQuorvanObjPtrArray<TUsersBestScoreOnLevelInfo*> m_BestScores;
    CommonString m_CurrentArena;  // "arena1" to "arena3", empty until chosen
    CommonString m_CurrentYard;
    // Completed yards and their stars: two parallel lists, kept in step by AppendCompletedYard.
    CQuorvanObjPtrArray<CommonString*> m_CompletedYardNames;
    CQuorvanArray<int> m_CompletedYardStars;
    CQuorvanObjPtrArray<MiniQuestStatesInfo*> m_MiniQuestStates;
    CQuorvanObjPtrArray<CommonString*> m_NewlyUnlockedLevels;  // unlocks the play screen has yet to show
    CommonString m_NewlyUnlockedYard;                          // the yard whose unlock the play screen has yet to show
    bool m_bLikeRewardGiven;
    bool m_bFirstRankUpSeen;
    bool m_bScoresToSync;
    bool m_bAchievementsToSync;
    int m_nRoundsStarted;  // outside the tutorial, all arenas
    bool m_bCoinShopButtonShown;
    int m_RoundsPerArena[kProfileArenaCount];
    int m_CoinsPerArena[kProfileArenaCount];
    int m_MatchPerArena[kProfileArenaCount];
    int m_PowerUpsPerArena[kProfileArenaCount];
    int m_nBoostPointsEarned;  // one per rank gained, all time
    unsigned int m_uExperiencePoints;
    int m_nBoostPoints;                      // unspent
    signed char m_BoostLevels[kBoostCount];  // 0 .. levels - 1 of each boost
    CGameBase* m_pGame = nullptr;            // not saved
};
