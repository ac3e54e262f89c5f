#pragma once
// The coin shop: a full-screen dialog ("dlg_addcoins") that lists the catalogue's products as rows
// of the shop's list in its coins-only kind, with the player's coins at the top right. A row shows
// the product's picture in a frame, its title and two description lines (a coin icon on the run
// of four blanks the first line keeps for it) and a buy button with the price or a text of its
// own. Only the buy button takes touches; a click on it reaches the screen that carries the shop
// as a click with the entry's name, and the screen answers it with AnswerCoinShopMessage.
//
// Depends on: the game dialog, the shop's list, the game's fonts, sprite sets and coin counter
// (the layers below), the coin-shop catalogue and purchases (IScreensHost). Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/GameDialog.h"
#include "ui/ScrollDialog.h"

class CGameBase;
class CXShopScrollItemsDialog;
class IDibBitmap;
class CSpriteSet;
class IScreensHost;
struct InAppPurchaseDef;

// The scales a text is drawn at so that it ends before a column's right edge: unsqueezed while
// left + width stays below right; else across (right - 1 - left) / width and down half as much
// less than 1 (16.16).
struct TSqueeze {
    bool squeezed = false;
    FIXED_FLOAT_16 scaleX = kFixed16One;
    FIXED_FLOAT_16 scaleY = kFixed16One;
};
TSqueeze SqueezeToColumn(int left, int right, int width);
// Where the last place of four blanks in a row begins in text (within a longer run, its last
// four); -1 for none or null.
int LastRunOfFourBlanks(const char* text);

// What a row of the shop's list (a coin pack or a farm object) draws with: its alpha (0..255),
// the game, the back buffer and the list's area.
struct TShopRowCanvas {
    int alpha = 0;
    CGameBase* game = nullptr;
    IDibBitmap* back = nullptr;
    TCoordRect2D area;
};
// False when the row has nothing to draw: it is transparent, or it lacks its list, its game or
// the back buffer.
bool GetShopRowCanvas(XWidget& row, TShopRowCanvas& canvas);
// Whether (x, y) lies on a button placed at `button` inside the row at `row` (both x, y, width,
// height; the button's place relative to the row's top left), edges inside.
bool OnRowButton(const TCoordRect2D& row, const TCoordRect2D& button, int x, int y);

// One product of the catalogue. Its widget id is the entry's name.
class CXAddCoinsScrollItem : public CXScrollItemBase {
public:
    // entry: not owned, the catalogue's.
    CXAddCoinsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                         InAppPurchaseDef* entry);
    ~CXAddCoinsScrollItem() override;

    // The button's set-up, the images ("iconframe2", the entry's picture when it names one,
    // "shop_coin_icon", "btn_normal"), the buy button's place, the localised texts and the coin
    // icon's place: 0 without the entry or when one of the images is missing.
    int OnInitWidget() override;
    // Only the widget's tick.
    void RunProcess() override;
    void Draw() override;
    // The buy button, moved by the row's position, edges inside.
    bool Contains(int x, int y) override;

    InAppPurchaseDef* GetEntry() const { return m_pEntry; }
    // Relative to the row: x, y, width, height.
    const TCoordRect2D& GetButtonRect() const { return m_ButtonRect; }
    const CommonString& GetTitle() const { return m_Title; }
    const CommonString& GetDescription() const { return m_Desc; }
    const CommonString& GetDescription2() const { return m_Desc2; }
    const CommonString& GetButtonText() const { return m_ButtonText; }
    // Where the coin icon goes in the first description line (pixels from its start); -1 when the
    // line keeps no run of four blanks for it.
    int GetCoinIconOffset() const { return m_nCoinIconOffset; }

private:
    void DrawTexts(int left, int right, int top, int alpha, TCoordRect2D& clip);
    void DrawBuyButton(int x, int y, int alpha, TCoordRect2D& clip);

    InAppPurchaseDef* m_pEntry;
    TCoordRect2D m_ButtonRect{0, 0, 0, 0};
    CSpriteSet* m_pButtons = nullptr;  // "btn_normal": frame 0 normal, 1 pressed
    IDibBitmap* m_pIconFrame = nullptr;
    IDibBitmap* m_pPicture = nullptr;  // null when the entry names none
    IDibBitmap* m_pCoinIcon = nullptr;
    CommonString m_Title;
    CommonString m_Desc;
    CommonString m_Desc2;
    int m_nCoinIconOffset = -1;
    CommonString m_ButtonText;
};

class CXAddCoinsFullScreenContainerDlg : public XGameDialog, public IScrollDialogContainer {
public:
    CXAddCoinsFullScreenContainerDlg(CXElement* parent, TTemplate* templ, TWidget* record,
                                     const WidgetContext* placement);
    ~CXAddCoinsFullScreenContainerDlg() override;

    // The dialog's update; then, when asked to, the list is built again from its top (the rows
    // made before a row that fails stay, laid out).
    void RunProcess() override;
    void Draw() override;
    int OnInitWidget() override;
    // The player's coins at the top right, at the dialog's opacity.
    void PostDraw() override;
    // "dlg_addcoins_scroll" becomes the shop's list in its coins-only kind (near its end when the
    // game asked for that with its pending add-coins flag, which it then clears).
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // Set by the screens that open the shop, so that its list shows from the top on its next
    // frame.
    void SetResetToTop(bool reset) { m_bResetToTop = reset; }
    bool IsResetToTop() const { return m_bResetToTop; }
    CXShopScrollItemsDialog* GetList() const;

private:
    bool m_bResetToTop = false;
};

// A click with that id on a screen that carries the coin shop: the catalogue entry of that name
// (the last of that name) has its purchase started, which shows the wait dialog, except
// "inapp_free_coins", which sells nothing. False when no entry has that name: the click is not
// the shop's.
bool AnswerCoinShopClick(IScreensHost* host, const char* id);
// What a screen that carries the coin shop does with the shop's messages: the dialog's 607 (its
// initialisation) sets it to show its list from the top on its next frame, and a click (600) is
// answered by AnswerCoinShopClick. 1 when the message was the shop's, else 0 (the screen's own).
int AnswerCoinShopMessage(IScreensHost* host, CXElement* sender, int code, XWPARAM wparam);
