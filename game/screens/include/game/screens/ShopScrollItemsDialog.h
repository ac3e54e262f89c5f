#pragma once
// The shop's scrolling list: rows 120 pixels high with 8 between them, in five categories: 0 to 3
// the farm categories of the farm shop (birds, plants, comfort, decor) and 4 the coin shop. Its
// coins-only kind lists the coin shop whatever the category: the coin-shop dialog uses the list
// that way.
//
// The coin-shop rows (CXAddCoinsScrollItem) are the catalogue's entries in file order, less the
// hidden ones and the two that sell nothing ("inapp_free_coins", "inapp_facebook"); a row's id is
// its entry's name. The farm rows belong to the farm shop screen, which makes them through
// CreateScrollItemsShop and CreateShopScrollItem.
//
// Depends on: the scroll list, the coin-shop catalogue (CInAppPurchaseManager) of the game
// object. Main thread only.

#include "ui/ScrollDialog.h"

struct InAppPurchaseDef;

class CXShopScrollItemsDialog : public CXScrollDialogBase {
public:
    static constexpr int kCoinShopCategory = 4;

    CXShopScrollItemsDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                            IScrollDialogContainer* container);
    ~CXShopScrollItemsDialog() override;

    int GetScrollItemHeight(int /*category*/) override { return 120; }
    int GetScrollItemBorderSize() override { return 8; }
    int GetVerticalEdgesOffset() override { return 20; }
    // The coin-shop rows in the coins-only kind or in category 4, else the farm rows of the
    // category; false when a row fails (the rows made before it stay).
    bool CreateScrollItems() override;
    // A coin-shop row for an entry (data an InAppPurchaseDef) while the list shows the coin shop,
    // else the farm row the farm shop makes (CreateShopScrollItem).
    CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, void* data) override;

    // One row per listed catalogue entry, named by the entry; false at the first that fails.
    bool CreateScrollItemsAddCoins();
    // The farm rows of the current category, written with the farm shop's rows: until then there
    // are none (false).
    bool CreateScrollItemsShop();
    // One farm row for the object definition in data, likewise: null until then.
    CXScrollItemBase* CreateShopScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                                   const WidgetContext* placement, void* data);

    // Whether the list shows the coin shop now.
    bool ShowsCoinShop() const { return m_bCoinsOnly || m_nCurrentCategory == kCoinShopCategory; }
    void SetCoinsOnly(bool coinsOnly) { m_bCoinsOnly = coinsOnly; }
    bool IsCoinsOnly() const { return m_bCoinsOnly; }

private:
    bool m_bCoinsOnly = false;
};

// Whether the entry gets a row in the coin shop: not hidden, and not one of the two entries that
// sell nothing. False for null.
bool IsListedInCoinShop(const InAppPurchaseDef* entry);
