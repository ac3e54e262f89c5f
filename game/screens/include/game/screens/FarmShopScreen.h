#pragma once
// The farm shop: where the player chooses what to buy for the open yard. Five tabs: the yard's
// four object categories (birds, plants, comfort, decor) and the coin shop. A farm tab lists the
// yard's objects of that category (CXShopScrollItem rows) with a preview of how far each purchase
// brings the category towards the yard's next star; the yard's four bars stand at the top. A tap
// on an object's buy button asks for confirmation; confirming returns to the yard, which buys and
// places the object on its next frame (the object's id is left in the game object's pending
// purchase). The coin tab sells the coin-shop catalogue through the payment service.
//
// The game object keeps, between visits, each farm tab's scroll offset (whole pixels, -1000 for
// none) and the current farm tab (IScreensHost); the coin tab is never remembered. The yard
// screen forgets them (IFarmHost::ResetShopTabOffsets) when the player leaves the yard.
//
// Depends on: the screen root, the shop's list and rows, tabs, the confirm-buy dialog, the farm
// manager, the coin shop's answers, the profile and the coin counter (the layers' hosts). Main
// thread only.

#include "core/CommonString.h"
#include "game/widgets/GameRoot.h"
#include "ui/ScrollDialog.h"
#include "ui/TabControl.h"

class CXShopScrollItemsDialog;
class XGameProgress;
struct YardDef;

// A tab of the shop: a tab button with nothing of its own.
class CXShopTabControlButton : public CXTabBase {
public:
    using CXTabBase::CXTabBase;
};

// The shop's tabs ("dlg_buy_tab_control"): tab i is list category i (4 the coin shop).
class CXShopTabControl : public CXTabControlBase {
public:
    using CXTabControlBase::CXTabControlBase;
    CXTabBase* CreateTab(TWidget* record, const WidgetContext* placement) override;
};

class CXFarmShopScreen : public XGameRoot, public IScrollDialogContainer {
public:
    // The farm tabs, whose scroll offsets and choice the game object remembers.
    static constexpr int kFarmTabs = 4;
    // A remembered offset that is none.
    static constexpr int kNoOffset = -1000;

    explicit CXFarmShopScreen(CXElement* parent);
    ~CXFarmShopScreen() override;

    // Builds "root_buy" for the current profile's current yard, finds the tabs, the list and the
    // four bars (required; the coin text is not), writes the coins and opens the remembered farm
    // tab (the first when none) at its remembered offsets: 1, or 0 when the root, the yard, the
    // tabs, the list or a bar is missing.
    int OnInitElement() override;
    // The screen's update, then the coin text follows the player's coins.
    void RunProcess() override;
    void Draw() override;
    // The player's coins at the top right, at the screen's opacity.
    void PostDraw() override;
    // A tab activated (1012): the list fades to it, a farm tab is remembered. A click (600): close
    // (back to the yard), confirm (the pending purchase and back to the yard), an object's buy
    // button (asks for confirmation), a coin-shop row (starts its purchase). Everything else goes
    // to the dialog, the coin shop's answers first.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The tabs, the list (with this screen as its container) and the confirm dialog for the
    // selected object are the shop's own classes.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // The yard of the current profile's current yard id, kept: false when there is none.
    bool SetupYardDef();
    // The coin text shows the player's coins, grouped by commas; they are kept as shown.
    void UpdateCoinsText();
    // Writes each farm tab's scroll offset into the game object, in whole pixels (the shown tab
    // its live position, the others their kept ones).
    void RememberTabOffsets();
    // Sets each farm tab's kept position from the game object's offset, unless that is none; the
    // shown tab also moves there.
    void RestoreTabOffsets();

    CXShopScrollItemsDialog* GetList() const;
    CXTabControlBase* GetTabControl() const { return m_pTabControl; }
    XGameProgress* GetBar(int category) const;
    YardDef* GetYard() const { return m_pYard; }
    const CommonString& GetSelectedObject() const { return m_SelectedObject; }
    int GetCoinsShown() const { return m_nCoinsShown; }

private:
    // The list's current category when it shows a farm tab, else -1.
    int ShownFarmCategory() const;
    // A click on a buy button of the shown farm tab: true when the id is an object of that
    // category (it is then selected and the confirmation opens).
    bool AnswerFarmRowClick(const char* id);
    // Back to the yard, remembering the offsets.
    void ReturnToYard();

    XGameProgress* m_Bars[kFarmTabs] = {};  // children
    XWidget* m_pCoinsText = nullptr;        // a child, or null
    int m_nCoinsShown = -1;
    YardDef* m_pYard = nullptr;  // the farm manager's
    CommonString m_SelectedObject;
};
