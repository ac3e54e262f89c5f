// The game object's side of the coin shop: starting a purchase or a restore for a screen, the
// outcome of each exchange (the profile changed through the purchase manager, a banner for every
// outcome), and the social-network like reward. The catalogue also answers the payment glue's
// look-ups from here.
#include "game/app/TheGame.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameRoot.h"
#include "game/screens/UpgradesScreen.h"
#include "shell/BbUtil.h"

namespace {

// The banners of the restore outcomes; purchases themselves are reported by the purchase
// manager when it applies them.
struct TRestoreBanner {
    int result;
    int type;
    const char* title;
    const char* text;  // null: a banner with a title only
};
constexpr TRestoreBanner kRestoreBanners[] = {
    {kRestoreError, kAwardPurchaseFailed, "Restore Purchases Error!", nullptr},
    {kRestoreNothingToRestore, kAwardPurchaseFailed, "No Purchases to Restore!", nullptr},
    {kRestoreNoMissingPurchases, kAwardInfo, "There are No Missing", "In-App Purchases on this Device!"},
    {kRestoreCompleted, kAwardInfo, "Restore Transactions", "successfully completed!"},
};

// Where a like of the game is made; fictional, as the game has no page of its own.
constexpr const char* kSocialPageUrl = "https://social.cobblebrooks.example/";

constexpr const char* kTemplateFile = "ui_main.txt";
constexpr const char* kWaitDialog = "dlg_InAppWait";

}  // namespace

bool CTheGame::HasPurchaseManager() { return m_pPurchaseManager != nullptr; }

InAppPurchaseDef* CTheGame::FindAppDefBasedOnId(const char* sku) {
    return m_pPurchaseManager != nullptr ? m_pPurchaseManager->FindAppDefBasedOnId(sku) : nullptr;
}

bool CTheGame::IsConsumable(InAppPurchaseDef* item) {
    return m_pPurchaseManager == nullptr || m_pPurchaseManager->IsConsumable(item);
}

// The wait dialog goes up before the request: an answer that comes back within the request takes
// it down again, rather than finding nothing to take down and leaving it over the screen.
void CTheGame::InAppPurchaseCalled(InAppPurchaseDef* item) {
    ShowWaitDialog();
    // Nothing can be asked for: the purchase fails at once, and no answer is waited for.
    if (m_pPurchaseManager == nullptr || item == nullptr) {
        InAppPurchaseFinished(item, kPurchaseError);
        return;
    }
    (void)m_pPurchaseManager->TryToPurchase(item);
}

void CTheGame::InAppPurchasesRestoreCalled() {
    ShowWaitDialog();
    if (m_pPurchaseManager != nullptr) (void)m_pPurchaseManager->TryToRestorePurchases();
}

void CTheGame::InAppPurchasesRestoreFinished() { HideWaitDialog(); }

void CTheGame::InAppPurchaseFinished(InAppPurchaseDef* item, int result) {
    HideWaitDialog();
    for (const TRestoreBanner& banner : kRestoreBanners) {
        if (banner.result != result) continue;
        if (m_pAchievementsManager == nullptr) return;
        if (banner.text != nullptr)
            m_pAchievementsManager->PlaceAwardedMessageToQueue(banner.type, CommonString(banner.title),
                                                               CommonString(banner.text));
        else
            m_pAchievementsManager->PlaceAwardedMessageToQueue(banner.type, CommonString(banner.title));
        return;
    }
    if (m_pPurchaseManager == nullptr) return;
    if (m_pPurchaseManager->ApplyPurchaseResult(item, result) == EPurchaseCredit::kBoostPoints)
        OnBoostPointsPurchased(item);
}

void CTheGame::OnBillingResult(int result, CommonString productId) {
    if (result > 0) {
        InAppPurchaseFinished(nullptr, result);
    } else if (result == 0) {
        // A product the catalogue does not know credits nothing; its banner-less finish still
        // takes the wait dialog down.
        InAppPurchaseFinished(FindAppDefBasedOnId(productId.GetDataConst()), kPurchaseSuccess);
    }
}

void CTheGame::LikeOnFacebook(InAppPurchaseDef* item) {
    TUserProfile* profile = GetCurrentProfile();
    if (profile != nullptr && item != nullptr && !profile->m_bLikeRewardGiven) {
        profile->m_nCoins += item->coins;
        profile->m_bLikeRewardGiven = true;
        profile->m_bCoinShopButtonShown = true;
        if (m_pAchievementsManager != nullptr) {
            CommonString text;
            text.Format("%d Coins added!", item->coins);
            m_pAchievementsManager->PlaceAwardedMessageToQueue(kAwardLikeCoins, text);
        }
    }
    (void)BBWeb_OpenURL(kSocialPageUrl);
}

void CTheGame::OnBoostPointsPurchased(InAppPurchaseDef* item) {
    if (m_pUpgradesScreen != nullptr) m_pUpgradesScreen->OnInAppPurchaseBoostPoints();
    // The open screen refreshes its purchase buttons at once.
    if (CXElement* active = GetActiveObjectPtr())
        (void)SendMessage(active, MSG_PURCHASES_CHANGED, XIdParam(item->entryName.GetDataConst()), 0, false);
}

void CTheGame::ShowWaitDialog() {
    XGameRoot* root = AsGameRoot(GetActiveObjectPtr());
    if (root != nullptr && root->FindChildWithWidgetId(kWaitDialog) == nullptr)
        (void)root->DoAction(CommonString(kTemplateFile), CommonString("acn_show_in_app_wait"));
}

void CTheGame::HideWaitDialog() {
    XGameRoot* root = AsGameRoot(GetActiveObjectPtr());
    if (root != nullptr && root->FindChildWithWidgetId(kWaitDialog) != nullptr)
        (void)root->DoAction(CommonString(kTemplateFile), CommonString("acn_hide_in_app_wait"));
}
