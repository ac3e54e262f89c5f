#pragma once
// The round statistics' quest list ("dlg_roundstats_scroll"): one row per mini-quest the player
// has unlocked and not completed, in every yard (yard order, then the order of the profile's
// unlocked list): the quest's two objects in their frames (a tick on each one bought), "+", "=",
// an empty result frame and the yard's picture with "in <yard>". A tap on a row offers the first
// object still missing: the round screen opens the confirmation when the player can pay for it,
// else the cannot-buy dialog, and on confirmation hands the purchase to the yard. Without a quest
// in progress one placeholder row, centred in the list, invites the player to buy objects; taps
// on it do nothing. The rows' object pictures load one row per frame.
//
// Depends on: the scroll list, the round statistics dialog (its chosen object), the mini-quest
// and farm managers, the profile's quest states and purchases, the game's sprite sets and fonts,
// the quest rows' shared parts (QuestRowParts.h). Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "game/screens/QuestRowParts.h"
#include "ui/ScrollDialog.h"

class CSpriteSet;
class CXRoundStatsDialog;
class IDibBitmap;
struct MiniQuest;
struct MiniQuestsSet;

class CXRoundStatsQuestsScrollDialog : public CXScrollDialogBase {
public:
    static constexpr int kRowHeight = 72;
    // The room kept below the list for the dialog's buttons, pixels.
    static constexpr int kButtonsRoom = 60;

    // dialog: the round statistics, which holds the chosen object (also the list's container).
    CXRoundStatsQuestsScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                                   CXRoundStatsDialog* dialog);
    ~CXRoundStatsQuestsScrollDialog() override;

    // The list, then its height down to 60 pixels above the screen's bottom.
    int OnInitWidget() override;
    // The list's update, then the pictures of the next row not yet loaded.
    void RunProcess() override;
    // A tap on a quest row offers its first missing object; taps on the placeholder are dropped.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // With exactly one row: the room that centres it in the list; otherwise 1.
    int GetVerticalEdgesOffset() override;
    int GetScrollItemHeight(int /*category*/) override { return kRowHeight; }
    int GetScrollItemBorderSize() override { return 0; }
    // A quest row for data = TQuestRowData, the placeholder row for null data.
    CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, void* data) override;
    // One row per unlocked quest of every yard, or the placeholder: false when a row fails.
    bool CreateScrollItems() override;

    // The object a tap on the row offers (the first not bought), or empty when both are.
    static CommonString ObjectToOffer(const MiniQuest& quest, bool firstBought, bool secondBought);

    bool IsPlaceholder() const { return m_bPlaceholder; }
    int GetNextRowToLoad() const { return m_nNextRowToLoad; }

    // What a quest row is made from.
    struct TQuestRowData {
        MiniQuestsSet* set;
        MiniQuest* quest;
    };

private:
    CXRoundStatsDialog* m_pDialog;
    int m_nNextRowToLoad = 0;
    bool m_bPlaceholder = false;
};

class CXRoundStatsQuestsScrollItem : public CXScrollItemBase {
public:
    // set, quest: the mini-quest manager's, not owned.
    CXRoundStatsQuestsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                                 MiniQuestsSet* set, MiniQuest* quest);
    // Gives back the objects' pictures.
    ~CXRoundStatsQuestsScrollItem() override;

    // The button, the bought flags, the tick, the frames, the yard's picture and the caption:
    // 0 without the set or the quest, or when an image or the yard's picture is missing.
    int OnInitWidget() override;
    // The objects' pictures, when the yard is defined (the row then counts as loaded).
    void LoadGraphics();
    void Draw() override;
    // Inside its rectangle.
    bool Contains(int x, int y) override;
    // The result frame (result), else the first or second object's frame, clipped.
    void DrawFrame(bool result, bool second, TCoordRect2D& clip);
    // The frame image DrawFrame draws and its alpha offset at full opacity.
    IDibBitmap* FrameImage(bool result, bool second, int& alphaOffset) const;

    MiniQuestsSet* GetSet() const { return m_pSet; }
    MiniQuest* GetQuest() const { return m_pQuest; }
    bool IsGraphicsLoaded() const { return m_bGraphicsLoaded; }
    bool IsFirstBought() const { return m_bFirstBought; }
    bool IsSecondBought() const { return m_bSecondBought; }
    const TQuestObjectPicture& GetPicture(int i) const { return m_Pictures[i & 1]; }
    IDibBitmap* GetYardImage() const { return m_pYardImage; }
    const CommonString& GetCaption() const { return m_Caption; }

private:
    MiniQuestsSet* m_pSet;
    MiniQuest* m_pQuest;
    int m_nQuestPresent = 0;
    bool m_bGraphicsLoaded = false;
    bool m_bFirstBought = false;
    bool m_bSecondBought = false;
    TQuestObjectPicture m_Pictures[2];
    IDibBitmap* m_pTick = nullptr;       // first sprite of "miniquest_obj_tick"
    CSpriteSet* m_pFrames = nullptr;     // "miniquest_frames": 0 neutral, 1 not bought, 2 bought
    IDibBitmap* m_pYardImage = nullptr;  // the yard's frame of "btn_play_yards"
    CommonString m_Caption;              // "in " and the yard's name
};

// The placeholder row: "You have no current Quests" and an invitation to buy, centred.
class CXRoundStatsNullQuestItem : public CXScrollItemBase {
public:
    using CXScrollItemBase::CXScrollItemBase;
    // The button, then the frame image (required).
    int OnInitWidget() override;
    void Draw() override;
    // Takes no touch.
    bool Contains(int /*x*/, int /*y*/) override { return false; }

private:
    IDibBitmap* m_pFrame = nullptr;  // first sprite of "miniquest_frames"
};
