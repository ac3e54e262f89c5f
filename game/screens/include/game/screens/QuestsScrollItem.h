#pragma once
// One row of the quests screen: a mini-quest of one yard. A locked quest shows three neutral
// frames and takes no touch. An unlocked quest shows its two objects in their frames (a tick on
// each one bought), "+" and "=" and an empty result frame; a tap offers to buy the first object
// still missing. A completed quest shows its reward in the result frame (the marble colour and
// its extra points, or the coin bonus), the arenas it counts in and a medal, on a light band; a
// tap explains the reward. The objects' pictures are loaded by the list, one row per frame.
//
// Depends on: the scroll list's row, the mini-quest records and the profile's quest states, the
// farm and arena managers, the game object's sprite sets, localisation and fonts. Main thread
// only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "game/screens/QuestRowParts.h"
#include "ui/ScrollDialog.h"

class CSpriteSet;
class IDibBitmap;
struct MiniQuest;
struct MiniQuestsSet;

// The quest states a row shows.
enum EQuestRowState : int { kQuestLocked = 0, kQuestUnlocked = 1, kQuestCompleted = 2 };

// The coin bonus of a quest as its row shows it, "+<d x 100 / 1000>%": whole percent of a
// per-mille bonus, computed in integers (290 is +29%, 155 is +15%).
CommonString QuestCoinRewardText(int decreaseScorePerCoin);
// The colour a score quest rewards: 1 green when its green extra score is above 0, else 2 blue,
// else 3 yellow, else 0 red.
int QuestColourType(const MiniQuest& quest);

class CXQuestsScrollItem : public CXScrollItemBase {
public:
    // set, quest: not owned, the mini-quest manager's.
    CXQuestsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                       MiniQuestsSet* set, MiniQuest* quest);
    // Gives back the objects' pictures.
    ~CXQuestsScrollItem() override;

    // The button's set-up, the quest's state, its reward texts and images, the arena caption, the
    // bought flags and the frames: 0 without the set or the quest, or when a required image is
    // missing (the medal of a completed quest, the tick, the two frame sets).
    int OnInitWidget() override;
    // The row number, and unless the quest is locked the objects' pictures (when the yard is
    // defined: the row then counts as loaded).
    void LoadGraphics();
    // The widget's tick; the completed band's highlight rises to 64 over 16 frames.
    void RunProcess() override;
    void Draw() override;
    // Any row but a locked one, inside its rectangle.
    bool Contains(int x, int y) override;
    // The result frame (result), else the first or second object's frame, centred in the row.
    void DrawFrame(bool result, bool second, TCoordRect2D& clip);
    // The image DrawFrame draws and its alpha offset: the result frame of a completed quest
    // (faint by 64), else the neutral frame (faint by 128); an object's frame neutral while the
    // quest is locked (faint by 128), else the bought or not-bought frame (faint by 64).
    IDibBitmap* FrameImage(bool result, bool second, int& alphaOffset) const;

    MiniQuestsSet* GetSet() const { return m_pSet; }
    MiniQuest* GetQuest() const { return m_pQuest; }
    int GetState() const { return m_nState; }
    bool IsCoinQuest() const;
    bool IsGraphicsLoaded() const { return m_bGraphicsLoaded; }
    bool IsFirstBought() const { return m_bFirstBought; }
    bool IsSecondBought() const { return m_bSecondBought; }
    int GetColourType() const { return m_nColourType; }
    const TQuestObjectPicture& GetPicture(int i) const { return m_Pictures[i & 1]; }
    const CommonString& GetScoreReward() const { return m_ScoreReward; }
    const CommonString& GetCoinReward() const { return m_CoinReward; }
    const CommonString& GetCoinRewardCaption() const { return m_CoinRewardCaption; }
    const CommonString& GetArenaCaption() const { return m_ArenaCaption; }
    const CommonString& GetRowNumber() const { return m_RowNumber; }
    int GetHighlightAlpha() const { return m_nHighlightAlpha; }

private:
    void DrawObjects(TCoordRect2D& clip);
    void DrawReward(TCoordRect2D& clip);

    MiniQuestsSet* m_pSet;
    MiniQuest* m_pQuest;
    int m_nState = kQuestLocked;
    bool m_bGraphicsLoaded = false;
    bool m_bFirstBought = false;
    bool m_bSecondBought = false;
    IDibBitmap* m_pMedal = nullptr;  // first sprite of "miniquest_medal"; completed quests only
    TQuestObjectPicture m_Pictures[2];
    IDibBitmap* m_pCoinIcon = nullptr;   // first sprite of "HudCoin"; coin quests
    IDibBitmap* m_pColourBall = nullptr;  // a frame of "miniquest_balls"; score quests
    int m_nColourType = 0;
    CommonString m_ScoreReward;
    CommonString m_CoinReward;
    CommonString m_CoinRewardCaption;
    CommonString m_ArenaCaption;
    CommonString m_RowNumber;
    IDibBitmap* m_pTick = nullptr;       // first sprite of "miniquest_obj_tick"
    CSpriteSet* m_pFrames = nullptr;     // "miniquest_frames": 0 neutral, 1 not bought, 2 bought
    CSpriteSet* m_pResultFrames = nullptr;  // "miniquest_frame_result"
    int m_nRowGap = 0;
    int m_nHighlightAlpha = 0;
};
