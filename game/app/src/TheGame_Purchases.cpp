// The game object as the payment glue's partner: the catalogue answers its look-ups, and an answer
// is applied through the purchase manager.
#include "game/app/TheGame.h"
#include "game/progress/InAppPurchaseManager.h"

bool CTheGame::HasPurchaseManager() { return m_pPurchaseManager != nullptr; }

InAppPurchaseDef* CTheGame::FindAppDefBasedOnId(const char* sku) {
    return m_pPurchaseManager != nullptr ? m_pPurchaseManager->FindAppDefBasedOnId(sku) : nullptr;
}

bool CTheGame::IsConsumable(InAppPurchaseDef* item) {
    return m_pPurchaseManager == nullptr || m_pPurchaseManager->IsConsumable(item);
}

void CTheGame::InAppPurchaseFinished(InAppPurchaseDef* item, int result) {
    if (m_pPurchaseManager != nullptr) (void)m_pPurchaseManager->ApplyPurchaseResult(item, result);
}
