// The 23 achievements and the queue of award messages. The manager keeps one record per
// achievement (localised name, two localised description lines, icon sprite set), tests the goals
// measured during a round, and awards: it flags the achievement in the current profile and queues
// an award message. The queue holds every short notice (achievements, completed mini-quests,
// coins or boost points added, purchase failures) and shows them one at a time on the award
// banner (game/progress/AwardManager.h), at most one every 132 frames and only over a settled
// screen.
//
// Depends on: core (localisation), the player data, the engine's sound manager, and the game
// object through IProgressHost (its running round, its banner, whether its screen is settled). Threads: main thread
// only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CLocManager2;
class CGameBase;
class IProgressHost;

inline constexpr int kNumAchievements = 23;

// The type of an award message; it also picks the banner's icon frame in "AchAwarded".
enum AwardMessageType : int {
    kAwardQuestCompleted = 2,
    kAwardInfo = 3,  // restore outcomes
    kAwardCoins = 4,
    kAwardLikeCoins = 5,
    kAwardUnlocked = 7,
    kAwardPurchaseFailed = 9,
    kAwardBoostPoints = 10,
    kAwardAchievement = 1000,  // + the achievement's index
};

// Frames of the award queue.
inline constexpr int kAwardDelayLong = 66;      // a first message of type 1 or 2 waits this long
inline constexpr int kAwardDelayShort = 33;     // and one of type 3 or 4 this long
inline constexpr int kAwardDelayBetween = 132;  // from one shown message to the next

struct TAchievementInfo {
    int index = 0;
    CommonString name;
    CommonString desc0;
    CommonString desc1;
    CommonString icon;  // sprite set whose first frame is the icon
};

class CAchievementsManager {
public:
    explicit CAchievementsManager(CGameBase* game);
    CAchievementsManager(const CAchievementsManager&) = delete;
    CAchievementsManager& operator=(const CAchievementsManager&) = delete;
    // Deletes the records and every queued message.
    ~CAchievementsManager();

    // InitArrayOfAchievementInfos: 1, or 0 when memory runs out.
    int PostConstruct();
    // Rebuilds the 23 records in the current language (also after a language change): 1/0.
    int InitArrayOfAchievementInfos();
    // Appends a record; 0 when the list cannot grow.
    int AddInfo(int index, const char* name, const char* desc0, const char* desc1, const char* icon);
    int GetNumInfos() const { return m_Infos.count; }
    // The record of an index, or null.
    const TAchievementInfo* GetInfo(int index) const;

    // The goal test of achievements 0 to 15 during a round (never in the tutorial or outside a
    // round): the round score in the row's arena, the total score or the clear bonuses above the
    // row's threshold.
    bool CheckAchievementGoalReached(int index);
    // Awards the achievement when a round is running (not the tutorial), it is not yet awarded
    // and its goal is reached.
    void CheckAchievementProgress(int index);
    // Flags the achievement in the current profile and queues its banner (type 1000 + index, the
    // name as title). Without a current profile or for an index outside 0..22: nothing.
    void AwardAchievement(int index);
    // The farm's statues and basket (achievements 18 to 21), each awarded once: true when one was
    // awarded now.
    bool AwardFarmObjectAchievement(const CommonString& objectName);
    // Reports an award to a platform game service; there is none on this platform.
    void PostGC_Achievement(int index);

    // The localised text of key with its first "%s" replaced by value written with thousands
    // commas ("%%" gives "%"; any other '%' sequence stays as written).
    static CommonString LoadStrAndFormat(CLocManager2* loc, const CommonString& key, int value);

    // ---- Award queue ---------------------------------------------------------------------------
    // Appends a message; into an empty queue, types 1 and 2 wait 66 frames and 3 and 4 wait 33.
    void PlaceAwardedMessageToQueue(int type, const CommonString& title, const CommonString& text);
    void PlaceAwardedMessageToQueue(int type, const CommonString& title);
    // Per frame, after the banner's own step: with a current profile, once the delay has run out
    // and the banner is idle over a settled screen, shows the head message with its sound and
    // waits 132 frames.
    void ProcessAwardedMessagesQueue();
    int GetNumQueuedMessages() const { return m_QueueTypes.count; }
    // Queued message i (0 the head): its type, title and text; the caller checks i.
    int GetQueuedType(int i) const { return m_QueueTypes.data[i]; }
    const CommonString& GetQueuedTitle(int i) const { return *m_QueueTitles.data[i]; }
    const CommonString& GetQueuedText(int i) const { return *m_QueueTexts.data[i]; }
    int GetQueueDelay() const { return m_nQueueDelay; }

private:
    void RemoveQueueHead();

    CGameBase* m_pGame;
    IProgressHost* m_pHost;  // the game object behind m_pGame, or null
    CQuorvanObjPtrArray<TAchievementInfo*> m_Infos;
    int m_nQueueDelay = 0;
    CQuorvanArray<int> m_QueueTypes;
    CQuorvanObjPtrArray<CommonString*> m_QueueTitles;
    CQuorvanObjPtrArray<CommonString*> m_QueueTexts;
};
