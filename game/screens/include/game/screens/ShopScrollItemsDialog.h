#pragma once
// The shop's scrolling list: rows 120 pixels high with 8 between them, in five categories: 0 to 3
// the farm categories of the farm shop (birds, plants, comfort, decor) and 4 the coin shop. Its
// coins-only kind lists the coin shop whatever the category: the coin-shop dialog uses the list
// that way.
//
// The coin-shop rows (CXAddCoinsScrollItem) are the catalogue's entries in file order, less the
// hidden ones and the two that sell nothing ("inapp_free_coins", "inapp_facebook"); a row's id is
// its entry's name. The farm rows (CXShopScrollItem) are the objects of the player's current yard
// in the category, in file order, less its default objects; a row's id is the object's id.
//
// Depends on: the scroll list, the coin-shop catalogue (CInAppPurchaseManager) and the farm
// manager of the game object. Main thread only.

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
    // One row per object of the current category in the player's current yard, in file order,
    // default objects left out, named by the object's id: false for a category outside the list's
    // or the farm's, without the yard, or at the first row that fails.
    bool CreateScrollItemsShop();
    // The farm row for the object definition in data (a FarmObjectDef).
    CXScrollItemBase* CreateShopScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                           const WidgetContext* placement, void* data);

    // The position a category keeps while another is shown (24.8, as the list's position; the
    // shown category's is kept when the list leaves it). 0 for a category out of range.
    FIXED_FLOAT GetKeptPosition(int category) const;
    // Sets it; nothing for a category out of range.
    void SetKeptPosition(int category, FIXED_FLOAT position);

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
