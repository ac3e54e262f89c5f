#include "game/screens/ShopScrollItemsDialog.h"

#include <new>

#include "game/app/TheGameOf.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/screens/AddCoinsDialog.h"

bool IsListedInCoinShop(const InAppPurchaseDef* entry) {
    return entry != nullptr && !entry->hide_from_list && entry->entryName != "inapp_free_coins" &&
           entry->entryName != "inapp_facebook";
}

CXShopScrollItemsDialog::CXShopScrollItemsDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                                 const WidgetContext* placement, IScrollDialogContainer* container)
    : CXScrollDialogBase(parent, templ, record, placement, container) {}

CXShopScrollItemsDialog::~CXShopScrollItemsDialog() = default;

bool CXShopScrollItemsDialog::CreateScrollItems() {
    if (ShowsCoinShop()) return CreateScrollItemsAddCoins();
    return CreateScrollItemsShop();
}

bool CXShopScrollItemsDialog::CreateScrollItemsAddCoins() {
    CTheGame* game = TheGameOf(this);
    const CInAppPurchaseManager* catalogue = game != nullptr ? game->m_pPurchaseManager : nullptr;
    if (catalogue == nullptr) return false;
    for (int i = 0; i < catalogue->GetNumDefs(); ++i) {
        InAppPurchaseDef* entry = catalogue->GetDef(i);
        if (!IsListedInCoinShop(entry)) continue;
        if (!AddScrollItem(entry->entryName, entry)) return false;
    }
    return true;
}

bool CXShopScrollItemsDialog::CreateScrollItemsShop() { return false; }

CXScrollItemBase* CXShopScrollItemsDialog::CreateShopScrollItem(CXElement* /*parent*/, TTemplate* /*templ*/,
                                                                TWidget* /*record*/,
                                                                const WidgetContext* /*placement*/, void* /*data*/) {
    return nullptr;
}

CXScrollItemBase* CXShopScrollItemsDialog::CreateScrollItemObject(CXElement* parent, TTemplate* templ,
                                                                  TWidget* record, const WidgetContext* placement,
                                                                  void* data) {
    if (!ShowsCoinShop()) return CreateShopScrollItem(parent, templ, record, placement, data);
    return new (std::nothrow)
        CXAddCoinsScrollItem(parent, templ, record, placement, static_cast<InAppPurchaseDef*>(data));
}
