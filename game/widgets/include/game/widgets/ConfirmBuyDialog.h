// The confirm-buy dialog: asks the player to confirm buying or selling a farm object, or says
// that it cannot be bought, with the object's localised name, a message with the price grouped
// by commas, and the object's icon fitted into 106 x 128 pixels (never enlarged) over the
// dialog's icon frame. The cannot-buy dialog also shows the player's coins on its add-coins
// button. The dialog decides nothing: its buttons report their clicks to the screen that made it,
// which buys or sells.
//
// Screens make it from their own factories, in the mode its record's id names (ConfirmBuyModeOf):
// "dlg_confirm_buy" to buy, "dlg_confirm_sell" to sell the selected object, "dlg_cant_buy" when
// the player is short of coins.
//
// Depends on: ui (game dialog, text widgets, buttons); the game's sprite sets, localisation,
// rotator and current profile; the shop's facts of the object through IWidgetsHost::FindShopItem.
// Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "game/widgets/WidgetsHost.h"
#include "ui/GameDialog.h"

class IDibBitmap;

// The dialog's modes.
enum EConfirmBuyMode : int { kConfirmBuy = 0, kConfirmSell = 1, kCannotBuy = 2 };

// The mode of the dialog record with that id: buy for "dlg_confirm_buy", sell for
// "dlg_confirm_sell", cannot buy for "dlg_cant_buy"; -1 for any other id or null (a screen's
// factory then makes the record its usual way).
[[nodiscard]] int ConfirmBuyModeOf(const char* recordId);

// The icon scale (16.16) that fits a picture into 106 x 128 without enlarging it: the smaller of
// 106 / width and 128 / height, at most 1.0, rounded half away from zero. 1.0 for a size of 0.
[[nodiscard]] FIXED_FLOAT_16 FitConfirmBuyIcon(int width, int height);

class CXConfirmBuyDialog : public XGameDialog {
public:
    // objectName: the farm object's definition id, copied; mode: EConfirmBuyMode.
    CXConfirmBuyDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                       const char* objectName, int mode);
    ~CXConfirmBuyDialog() override;

    // The dialog's build, then the name and message texts, the icon and the coins: 0 when the
    // build fails or the shop knows no object of that name.
    int OnInitWidget() override;
    // The game dialog, then the icon centred on the child "img_icon_frame" (when there is one) at
    // the dialog's opacity.
    void Draw() override;

    // In cannot-buy mode, the current player's coins (grouped by commas) as the caption of
    // "btn_can_buy_addcoins"; nothing in the other modes, without that child or without a player.
    void UpdateCurrentCoinsAmount();

    int GetMode() const { return m_nMode; }
    const CommonString& GetObjectName() const { return m_ObjectName; }
    // Whether the shop knew the object when the dialog was built, and what it told of it.
    bool IsObjectKnown() const { return m_bKnown; }
    const TShopItemFacts& GetItem() const { return m_Item; }
    IDibBitmap* GetIcon() const { return m_pIcon; }
    FIXED_FLOAT_16 GetIconScale() const { return m_nIconScale; }

private:
    // Frame 0 of the named set when it exists and has one, else null.
    IDibBitmap* FindIcon(const CommonString& setName);
    void FillNameText();
    void FillMessageText();
    void ChooseIcon();

    int m_nMode;
    CommonString m_ObjectName;
    bool m_bKnown = false;
    TShopItemFacts m_Item;
    IDibBitmap* m_pIcon = nullptr;          // frame 0 of a sprite set; the set owns it
    FIXED_FLOAT_16 m_nIconScale = kFixed16One;
};
