// What the game object serves the widgets: the news engine, its sound manager, its rotator, the game's own
// widget classes for game dialogs and screen roots, and the shop's facts for the confirm-buy dialog.
#include "game/app/TheGame.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "game/screens/GameDialogWidgets.h"

CHollowfenNewsManager* CTheGame::GetNewsManager() { return m_pNewsManager; }

CSoundManager* CTheGame::GetSoundManager() { return m_pSoundManager; }

CQuorvanImageRotatorScaler* CTheGame::GetRotatorScaler() { return m_pRotatorScaler; }

std::span<const TWidgetMakerRow> CTheGame::GameDialogWidgetMakers() { return GameDialogGameRows(); }

std::span<const TWidgetMakerRow> CTheGame::ScreenWidgetMakers() { return ScreenGameRows(); }

bool CTheGame::FindShopItem(const CommonString& name, TShopItemFacts& out) {
    const FarmObjectDef* def = m_pFarmManager != nullptr ? m_pFarmManager->GetFarmObjectDef(name) : nullptr;
    if (def == nullptr) return false;
    out.nameId = def->nameId;
    out.name = def->name;
    out.price = def->price;
    out.sellPrice = CFarmManager::CalcDiscountedSellPrice(def);
    out.iconSprite = def->iconSprite;
    // Without a picture of its own, an object is drawn from the set named as it is.
    out.picture = def->sprite.Length() > 0 ? def->sprite : def->id;
    return true;
}
