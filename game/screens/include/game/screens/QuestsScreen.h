#pragma once
// The quests screen: every yard's mini-quests, one tab per yard (tab i is the farm's yard i and
// the mini-quest manager's set i, which the content keeps in one order). A tap on an unlocked
// quest offers to buy its first missing object (or says the player is short of coins); confirming
// makes that yard the current one and opens it with the object pending, and the yard buys it on
// its next frame. A tap on a completed quest explains its reward. The OK button posts the message
// the screen was opened with: the start menu opens it on the first tab and returns to itself, the
// yard on its own tab and returns to the yard.
//
// Depends on: the screen root, the scroll list and tabs, the confirm-buy dialog, the farm and
// mini-quest managers, the game object's profile and coin counter. Main thread only.

#include "core/CommonString.h"
#include "game/widgets/GameRoot.h"
#include "ui/ScrollDialog.h"
#include "ui/TabControl.h"

class CXQuestsScrollItem;
struct MiniQuest;
struct MiniQuestsSet;

// A tab of the quests screen: a tab button with nothing of its own.
class CXQuestsTabControlButton : public CXTabBase {
public:
    using CXTabBase::CXTabBase;
};

// The quests screen's tabs ("dlg_quests_tab_control").
class CXQuestsTabControl : public CXTabControlBase {
public:
    using CXTabControlBase::CXTabControlBase;
    CXTabBase* CreateTab(TWidget* record, const WidgetContext* placement) override;
};

// The list of one yard's quests: rows 72 pixels high without gaps, whose objects' pictures load
// one row per frame.
class CXQuestsScrollItemsDialog : public CXScrollDialogBase {
public:
    using CXScrollDialogBase::CXScrollDialogBase;
    ~CXQuestsScrollItemsDialog() override;

    // The list's update, then the pictures of the next row not yet loaded.
    void RunProcess() override;
    int GetVerticalEdgesOffset() override { return 10; }
    int GetScrollItemHeight(int /*category*/) override { return 72; }
    int GetScrollItemBorderSize() override { return 0; }
    // A quest row; data is a TQuestRowData.
    CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, void* data) override;
    // One row per quest of the set of the current category, in file order, named by the quest's
    // id: false for a category without a set, a null quest or a row that fails.
    bool CreateScrollItems() override;

    // The row with that widget id, or null.
    CXQuestsScrollItem* FindRow(const char* id);
    int GetNextRowToLoad() const { return m_nNextRowToLoad; }

    // What a row is made from.
    struct TQuestRowData {
        MiniQuestsSet* set;
        MiniQuest* quest;
    };

private:
    int m_nNextRowToLoad = 0;
};

class CXQuestsScreen : public XGameRoot, public IScrollDialogContainer {
public:
    // firstTab: the tab (and yard) shown first; returnMessage: the game message its OK button
    // posts.
    CXQuestsScreen(CXElement* parent, int firstTab, int returnMessage);
    ~CXQuestsScreen() override;

    // Builds "root_quests", finds the tabs and the list (both required) and shows the first tab
    // at once: 1, or 0 when the root, the tabs or the list is missing.
    int OnInitElement() override;
    // A tab activated (1012): the list cross-fades to it. A click (600): OK, confirm, cancel, the
    // cannot-buy dialog's add-coins button, or a row (by its state: explain, offer, nothing).
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The player's coins at the top right.
    void PostDraw() override;
    // The tabs, the list, and the confirm and cannot-buy dialogs for the chosen object are the
    // screen's own classes.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // A tap on an unlocked row: the first object not bought becomes the chosen one and the
    // confirmation opens when the player can pay for it, else the cannot-buy dialog; nothing
    // when both are bought.
    void OfferPurchase(CXQuestsScrollItem& row);
    // A tap on a completed row: the explanation of its reward, filled with the colour and the
    // arenas.
    void ExplainReward(CXQuestsScrollItem& row);

    CXQuestsScrollItemsDialog* GetList() const;
    const CommonString& GetChosenObject() const { return m_ChosenObject; }

    int m_nFirstTab;
    int m_nReturnMessage;

private:
    CommonString m_ChosenObject;
};
