#include "game/screens/ShopScrollItemsDialog.h"

#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/ShopScrollItem.h"

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
    IScreensHost* host = ScreensHostOf(this);
    const CInAppPurchaseManager* catalogue = host != nullptr ? host->GetPurchaseManager() : nullptr;
    if (catalogue == nullptr) return false;
    for (int i = 0; i < catalogue->GetNumDefs(); ++i) {
        InAppPurchaseDef* entry = catalogue->GetDef(i);
        if (!IsListedInCoinShop(entry)) continue;
        if (!AddScrollItem(entry->entryName, entry)) return false;
    }
    return true;
}

bool CXShopScrollItemsDialog::CreateScrollItemsShop() {
    const int category = m_nCurrentCategory;
    if (category < 0 || category >= GetNumCategories() || category >= kFarmCategoryCount) return false;
    CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
    YardDef* yard = farm != nullptr ? farm->GetCurrentYardDef() : nullptr;
    if (yard == nullptr) return false;
    const auto& objects = yard->objects[category];
    for (int i = 0; i < objects.count; ++i) {
        FarmObjectDef* def = objects.data[i];
        if (def == nullptr || (def->flags & kFarmFlagDefault) != 0) continue;
        if (!AddScrollItem(def->id, def)) return false;
    }
    return true;
}

CXScrollItemBase* CXShopScrollItemsDialog::CreateShopScrollItem(CXElement* parent, TTemplate* templ,
                                                                TWidget* record, const WidgetContext* placement,
                                                                void* data) {
    return new (std::nothrow)
        CXShopScrollItem(parent, templ, record, placement, static_cast<FarmObjectDef*>(data));
}

FIXED_FLOAT CXShopScrollItemsDialog::GetKeptPosition(int category) const {
    return category >= 0 && category < m_RememberedPositions.count ? m_RememberedPositions.data[category] : 0;
}

void CXShopScrollItemsDialog::SetKeptPosition(int category, FIXED_FLOAT position) {
    if (category >= 0 && category < m_RememberedPositions.count) m_RememberedPositions.data[category] = position;
}

CXScrollItemBase* CXShopScrollItemsDialog::CreateScrollItemObject(CXElement* parent, TTemplate* templ,
                                                                  TWidget* record, const WidgetContext* placement,
                                                                  void* data) {
    if (!ShowsCoinShop()) return CreateShopScrollItem(parent, templ, record, placement, data);
    return new (std::nothrow)
        CXAddCoinsScrollItem(parent, templ, record, placement, static_cast<InAppPurchaseDef*>(data));
}
