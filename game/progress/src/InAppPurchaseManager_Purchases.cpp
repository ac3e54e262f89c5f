// The platform half of the purchases and what a purchase's outcome does to the current profile.
#include <string>
#include <vector>

#include "app/GameBase.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "render/DrawingHelpers.h"
#include "shell/PaymentGlue.h"

namespace {

constexpr int kBoostsUnlockedAchievement = 17;

}  // namespace

// The payment stand-in sells what the catalogue offers, so the two cannot drift apart.
bool CInAppPurchaseManager::PostConstruct_OS_Specific() {
    std::vector<std::string> skus;
    for (int i = 0; i < m_Defs.count; ++i)
        if (const InAppPurchaseDef* def = m_Defs.data[i]; def != nullptr && def->blackberry_id.Length() > 0)
            skus.emplace_back(def->blackberry_id.GetDataConst());
    PaymentDeclareProducts(skus);
    return true;
}

void CInAppPurchaseManager::Destroy_OS_Specific() { m_PendingFinishes.count = 0; }

bool CInAppPurchaseManager::TryToPurchase(InAppPurchaseDef* def) {
    if (def == nullptr) return false;
    if (PaymentTryToPurchase(m_bPaymentEventsRequested, def->blackberry_id.GetDataConst())) return true;
    (void)m_PendingFinishes.Add({def, kPurchaseError});
    return false;
}

bool CInAppPurchaseManager::TryToRestorePurchases() {
    if (PaymentTryToRestorePurchases(m_bPaymentEventsRequested)) return true;
    (void)m_PendingFinishes.Add({nullptr, kRestoreError});
    return false;
}

void CInAppPurchaseManager::RunProcess() {
    // Delivered a frame after the request, as any answer is: by then the caller has put up its
    // wait dialog, which the finish takes down again.
    if (m_PendingFinishes.count == 0 || m_pHost == nullptr) return;
    const TPendingFinish finish = m_PendingFinishes.data[0];
    m_PendingFinishes.RemoveAt(0);
    m_pHost->InAppPurchaseFinished(finish.def, finish.result);
}

void CInAppPurchaseManager::QueueBanner(int type, const CommonString& title) {
    if (CAchievementsManager* achievements = m_pHost != nullptr ? m_pHost->GetAchievementsManager() : nullptr)
        achievements->PlaceAwardedMessageToQueue(type, title);
}

bool CInAppPurchaseManager::CreditUpgradePoints() {
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (m_pUpgradePointsDef == nullptr || profile == nullptr) return false;
    profile->m_nBoostPoints += kBoostPointsPerPurchase;
    CommonString text;
    text.Format("%d Boost Points added!", kBoostPointsPerPurchase);
    QueueBanner(kAwardBoostPoints, text);
    return true;
}

EPurchaseCredit CInAppPurchaseManager::ApplyPurchaseResult(InAppPurchaseDef* def, int result) {
    if (result == kPurchaseCancelled || result == kPurchaseError) {
        QueueBanner(kAwardPurchaseFailed, CommonString(result == kPurchaseCancelled ? "In-App Purchase Cancelled!"
                                                                                    : "In-App Purchase Error!"));
        return EPurchaseCredit::kNothing;
    }
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (result != kPurchaseSuccess || def == nullptr || profile == nullptr) return EPurchaseCredit::kNothing;
    if (def == m_pUpgradePointsDef) {
        CAchievementsManager* achievements = m_pHost != nullptr ? m_pHost->GetAchievementsManager() : nullptr;
        if (achievements != nullptr && !profile->IsAchievementAwarded(kBoostsUnlockedAchievement))
            achievements->AwardAchievement(kBoostsUnlockedAchievement);
        return CreditUpgradePoints() ? EPurchaseCredit::kBoostPoints : EPurchaseCredit::kNothing;
    }
    profile->m_nCoins += def->coins;
    QueueBanner(kAwardCoins, FormatWithCommas(def->coins) + CommonString(" Coins added!"));
    return EPurchaseCredit::kCoins;
}
