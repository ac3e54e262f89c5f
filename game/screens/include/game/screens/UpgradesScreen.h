#pragma once
// The boosts screen: where the player spends boost points on the six boosts. One row per boost in
// a list that stands still (icon in a nest, caption with the current and next level, a progress
// bar and a buy button with the price); undo puts back every purchase made since the screen
// opened, reset refunds every level in full, and "More" offers the coin shop's boost-point
// pack. The current player's unspent points are drawn at the top right. On every visit until the
// player closes it, a hint explains where boost points come from.
//
// Boost points and levels live in the current profile and change at once; nothing here saves the
// player data (the game saves it on its own occasions).
//
// Depends on: the screen root, the scroll list, the boost table (CUpgradeManager), the game
// object's profile, sprite sets, rotator, fonts and purchases. Main thread only.

#include "core/Common.h"
#include "game/progress/Bouncer.h"
#include "game/progress/UpgradeManager.h"
#include "game/widgets/GameRoot.h"
#include "ui/GameDialog.h"
#include "ui/ScrollDialog.h"

class CFocusedTutorial;
class CSpriteSet;
class CXUpgradesScreen;
class IDibBitmap;
class XWidget;

// What a boost row shows in one frame: worked out by CXUpgradesScrollItem::Look, drawn by Draw.
struct TUpgradeRowLook {
    bool shown = false;  // opacity above 0 and the row not wholly outside the list's band
    int alpha = 0;       // the row's opacity, 0..255
    int left = 0;        // the central column of at most 320 pixels the content stays in
    int right = 0;
    int r = 255, g = 255, b = 255;  // green at the top level, white when affordable, else red
    bool atTop = false;
    bool affordable = false;
    int fillWidth = 0;              // pixels of the bar's fill drawn from its left edge
    int nextSegmentWidth = 0;       // the next level's highlighted part after the fill; 0: none
    int highlightAlphaOffset = -255;
    bool glow = false;  // the top level's pulsing glow over the full bar
    int glowAlphaOffset = -255;
    bool button = false;  // the buy button and its price (not at the top level)
    int buttonFrame = 0;  // 0 affordable, 1 not
    int buttonAlphaOffset = -255;
    FIXED_FLOAT_16 buttonScale = kFixed16One;
    float priceScale = 0.9f;
    int buttonCentreX = 0;  // pixels
    int buttonCentreY = 0;
};

// One boost's row; its widget id is the boost's id, so a click on its buy button reaches the
// screen as a click with that id.
class CXUpgradesScrollItem : public CXScrollItemBase {
public:
    CXUpgradesScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                         int type);
    ~CXUpgradesScrollItem() override;

    // The button's set-up, the level from the profile, the buy button's place from frame 0 of
    // "btn_buy_boost" (right-aligned at 318 and bottom-aligned at 59 in the row) and both pulses
    // started; 0 for a type outside the table or without that frame.
    int OnInitWidget() override;
    // The widget's tick; the cached level follows the profile; one step of each pulse.
    void RunProcess() override;
    void Draw() override;
    // Only the buy button of an affordable row below the top level, edges inside, where it is
    // drawn (in the central column).
    bool Contains(int x, int y) override;

    // Level, next cost and top flag from the profile (a damaged level past the table reads as
    // the top level).
    void UpdateUpgradeLevel();
    // At the top level, or enough points for the next.
    bool CanAfford();
    // The highlight pulse starts again from its low end, rising.
    void RestartHighlight();
    TUpgradeRowLook Look();

    int GetType() const { return m_nType; }
    int GetCachedLevel() const { return m_nLevel; }
    int GetNextCost() const { return m_nNextCost; }
    bool IsAtTop() const { return m_bAtTop; }
    // The buy button's rectangle relative to the row's column: x, y, width, height.
    const TCoordRect2D& GetButtonRect() const { return m_ButtonRect; }
    Bouncer& GlowPulse() { return m_GlowPulse; }
    Bouncer& HighlightPulse() { return m_HighlightPulse; }

private:
    CXUpgradesScreen* Screen() const;
    void DrawTexts(const TUpgradeRowLook& look, int textX, const TCoordRect2D& clip);
    void DrawBar(const TUpgradeRowLook& look, int barX);
    void DrawButton(const TUpgradeRowLook& look);

    int m_nType;
    int m_nLevel = 0;
    int m_nNextCost = 0;
    bool m_bAtTop = false;
    TCoordRect2D m_ButtonRect{0, 0, 0, 0};
    Bouncer m_GlowPulse;
    Bouncer m_HighlightPulse;
};

// The list of the six rows. It stands still (no dragging) and keeps 40 pixels free below itself
// for the screen's buttons; each boost's icon breathes on a phase of its own.
class CXUpgradesScrollDlg : public CXScrollDialogBase {
public:
    CXUpgradesScrollDlg(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                        IScrollDialogContainer* container);
    ~CXUpgradesScrollDlg() override;

    // The list's update, then each icon phase moves on by 0.04, wrapping below 2.0.
    void RunProcess() override;
    // The list's set-up, then each icon phase starts at a random value from 0 to 255/256.
    int OnInitWidget() override;
    int GetVerticalEdgesOffset() override { return 15; }
    int GetScrollItemHeight(int /*category*/) override { return 60; }
    int GetScrollItemBorderSize() override { return 0; }
    // A boost row; data carries the boost type.
    CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, void* data) override;
    // One row per boost in type order, named by the boost's id; false at the first that fails.
    bool CreateScrollItems() override;

    // 16.16, in [0, 2).
    FIXED_FLOAT_16 GetIconPhase(int type) const;
    // The screen holding the list (its container), or null.
    CXUpgradesScreen* Screen() const;

private:
    FIXED_FLOAT_16 m_IconPhases[kUpgradeTypeCount] = {};
};

// The dialog that offers the boost-point pack: its template's hidden text widget only marks the
// place where the pack ("x 40" with the boost-point icon) is drawn.
class CXUpgradePointsAddDialog : public XGameDialog {
public:
    using XGameDialog::XGameDialog;
    ~CXUpgradePointsAddDialog() override;

    // The dialog's set-up, then "txt_upgrade_coins_add_x" is hidden; 0 when it is missing.
    int OnInitWidget() override;
    // The pack over the hidden text's centre while the dialog shows.
    void PostDraw() override;

private:
    XWidget* m_pAnchor = nullptr;  // a child
};

class CXUpgradesScreen : public XGameRoot, public IScrollDialogContainer {
public:
    // The boost points of one pack of the coin shop's boost-point entry.
    static constexpr int kPackPoints = 40;

    explicit CXUpgradesScreen(CXElement* parent);
    // Deletes the hint.
    ~CXUpgradesScreen() override;

    // Builds "root_upgrades", takes the boosts' sprites (each boost's set with two frames, the
    // nest, the arrow, the buy button and three frames of the bar), keeps the undo point, fills
    // the list and finds its buttons: 1, or 0 when any of these is missing.
    int OnInitElement() override;
    // The screen's update, then the hint: driven while shown and deleted once faded out; started
    // once per visit when no dialog is open and the player has not closed it before.
    void RunProcess() override;
    void Draw() override;
    // A press on the hint's close button closes it for good; every event then goes on as usual.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The screen's commands (back, undo, reset, buying boost points, a boost's buy button) and
    // the boost-point purchase (1017).
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The unspent points at the top right, then the hint.
    void PostDraw() override;
    // The list and the boost-point dialog are the screen's own classes.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // The undo point: the profile's points and levels now.
    void StoreUpgrades();
    // Raises the boost one level when the player can pay for it: false for a type outside the
    // table, at the top level (a damaged level past it included) or short of points.
    bool BuyUpgrade(int type);
    // Points and levels back to the undo point.
    void UndoUpgrades();
    // Every level back to 0 with every point spent on it refunded (a damaged level counts as the
    // top level).
    void ResetUpgrades();
    // Starts the purchase of the coin shop's boost-point pack (the wait dialog shows meanwhile).
    void BuyUpgradeCoinsInAppPurchase();
    // Points bought while the screen is open: the undo point keeps them too.
    virtual void OnInAppPurchaseBoostPoints();
    // Once boost points were bought the buy-more button goes and undo and reset close up.
    void RearrangeForNoBuyButton();
    // Shows the boost-point hint pointing at "img_upgrades_dummy10": false without that widget
    // or when the hint cannot be built.
    bool RunBoostPointsTutorial();

    // ---- For the rows and tests -----------------------------------------------------------------
    IDibBitmap* GetBoostIcon(int type, int frame) const;
    IDibBitmap* GetNest() const { return m_pNest; }
    IDibBitmap* GetArrow() const { return m_pArrow; }
    CSpriteSet* GetBuyButtonSet() const { return m_pBuyButtonSet; }
    CSpriteSet* GetProgressSet() const { return m_pProgressSet; }
    CXUpgradesScrollDlg* GetList() const { return m_pList; }
    int GetUndoPoints() const { return m_nUndoPoints; }
    int GetUndoLevel(int type) const;
    CFocusedTutorial* GetHint() const { return m_pHint; }
    bool IsHintStarted() const { return m_bHintStarted; }

private:
    // Every row restarts its highlight from the low end.
    void RestartRowHighlights();
    void DeleteHint();

    CXUpgradesScrollDlg* m_pList = nullptr;  // a child
    IDibBitmap* m_BoostIcons[kUpgradeTypeCount][2] = {};
    IDibBitmap* m_pNest = nullptr;
    CSpriteSet* m_pBuyButtonSet = nullptr;
    CSpriteSet* m_pProgressSet = nullptr;
    IDibBitmap* m_pArrow = nullptr;
    int m_nUndoPoints = 0;
    signed char m_UndoLevels[kUpgradeTypeCount] = {};
    XWidget* m_pUndoButton = nullptr;  // children, or null
    XWidget* m_pResetButton = nullptr;
    XWidget* m_pMoreButton = nullptr;
    CFocusedTutorial* m_pHint = nullptr;  // owned
    bool m_bHintStarted = false;
};
