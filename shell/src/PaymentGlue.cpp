#include "shell/PaymentGlue.h"

#include <cstdio>

#include "app/GameBase.h"
#include "platform/Bps.h"
#include "platform/PaymentService.h"
#include "shell/BbUtil.h"

namespace {

IInAppPurchaseEvents* PurchaseTarget() {
    if (!g_pGame) return nullptr;
    auto* target = dynamic_cast<IInAppPurchaseEvents*>(g_pGame);
    return (target && target->HasPurchaseManager()) ? target : nullptr;
}

bool IsGrantingState(int state) {
    return state == PAYMENTSERVICE_ITEM_STATE_OWNED || state == PAYMENTSERVICE_ITEM_STATE_SUBSCRIBED ||
           state == PAYMENTSERVICE_ITEM_STATE_RENEWED;
}

void HandlePurchaseAnswer(IInAppPurchaseEvents& target, bps_event_t* event, int response) {
    int result = kPurchaseSuccess;
    if (response == FAILURE_RESPONSE) {
        result = TranslatePurchaseErrorId(paymentservice_event_get_error_id(event));
    } else if (response != SUCCESS_RESPONSE) {
        return;
    }
    const char* sku = paymentservice_event_get_digital_good_sku(event, 0);
    InAppPurchaseDef* item = sku ? target.FindAppDefBasedOnId(sku) : nullptr;
    if (item) target.InAppPurchaseFinished(item, result);
}

void HandleExistingPurchasesAnswer(IInAppPurchaseEvents& target, bps_event_t* event, int response) {
    if (response == SUCCESS_RESPONSE) {
        const int count = paymentservice_event_get_number_purchases(event);
        int owned = 0, granted = 0;
        for (int i = 0; i < count; ++i) {
            if (!IsGrantingState(paymentservice_event_get_item_state(event, i))) continue;
            ++owned;
            const char* sku = paymentservice_event_get_digital_good_sku(event, i);
            InAppPurchaseDef* item = sku ? target.FindAppDefBasedOnId(sku) : nullptr;
            // A consumable was used up when it was bought: granting it again would pay twice.
            if (item && !target.IsConsumable(item)) {
                target.InAppPurchaseFinished(item, kPurchaseSuccess);
                ++granted;
            }
        }
        // Nothing owned: nothing to restore. Owned, but nothing this shop grants again: nothing
        // was missing. Otherwise the owned items were granted again.
        if (owned == 0)
            target.InAppPurchaseFinished(nullptr, kRestoreNothingToRestore);
        else if (granted == 0)
            target.InAppPurchaseFinished(nullptr, kRestoreNoMissingPurchases);
        else
            target.InAppPurchaseFinished(nullptr, kRestoreCompleted);
        return;
    }
    if (response != FAILURE_RESPONSE) return;
    const int errorId = paymentservice_event_get_error_id(event);
    target.InAppPurchaseFinished(nullptr, TranslateExistingPurchasesErrorId(errorId));
    const char* text = paymentservice_event_get_error_text(event);
    std::fprintf(stderr, "Payment System error: ID: %d  Text: %s\n", errorId, text ? text : "N/A");
    DBG("Payment System error: ID: %d  Text: %s\n", errorId, text ? text : "N/A");
}

}  // namespace

int TranslatePurchaseErrorId(int errorId) {
    switch (errorId) {
        case 1:
            return kPurchaseCancelled;
        case 5:
            return kPurchaseSuccess;  // already bought: grant it like a success
        default:
            return kPurchaseError;
    }
}

int TranslateExistingPurchasesErrorId(int errorId) {
    switch (errorId) {
        case 1:
            return kPurchaseCancelled;
        case 2:
        case 3:
        case 4:
            return kRestoreError;
        case 5:
            return kPurchaseSuccess;
        default:
            return kPurchaseError;
    }
}

namespace {

// Asks for the payment events once; false while they cannot be had.
bool EnsurePaymentEvents(bool& eventsRequested) {
    if (!eventsRequested) {
        if (!BBInApp_InitPurchases()) return false;
        eventsRequested = true;
    }
    return true;
}

}  // namespace

bool PaymentTryToPurchase(bool& eventsRequested, const char* sku) {
    if (!EnsurePaymentEvents(eventsRequested)) return false;
    unsigned int requestId = 0;
    return BBInApp_RequestPurchase(sku, requestId);
}

bool PaymentTryToRestorePurchases(bool& eventsRequested) {
    if (!EnsurePaymentEvents(eventsRequested)) return false;
    unsigned int requestId = 0;
    return BBInApp_GetExistingPurchases(requestId);
}

void PaymentDeclareProducts(const std::vector<std::string>& skus) {
    std::vector<std::string> sold;
    for (const std::string& sku : skus)
        if (!sku.empty()) sold.push_back(sku);
    platform::SetPaymentProducts(std::move(sold));
}

void handlePaymentEvent(bps_event_t* event) {
    IInAppPurchaseEvents* target = PurchaseTarget();
    if (!target) return;
    const unsigned int code = bps_event_get_code(event);
    const int response = paymentservice_event_get_response_code(event);
    if (code == PURCHASE_RESPONSE)
        HandlePurchaseAnswer(*target, event, response);
    else if (code == GET_EXISTING_PURCHASES_RESPONSE)
        HandleExistingPurchasesAnswer(*target, event, response);
}
