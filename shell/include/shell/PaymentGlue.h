// The platform half of the coin shop: starting a purchase or a restore, and turning the payment
// service's answers into InAppPurchaseFinished calls on the game object. Answers are matched to
// shop items by SKU only. Main thread only.
#pragma once

#include <string>
#include <vector>

struct bps_event_t;
struct InAppPurchaseDef;  // a coin-shop catalogue entry (player data)

// Results handed to InAppPurchaseFinished.
enum : int {
    kPurchaseSuccess = 0,
    kPurchaseCancelled = 1,
    kPurchaseError = 2,
    kRestoreError = 3,
    kRestoreNothingToRestore = 4,
    kRestoreNoMissingPurchases = 5,
    kRestoreCompleted = 6,
};

// What the game object offers the payment glue. The game object implements it beside
// CGameBase; a game object without it hears no payment answers.
class IInAppPurchaseEvents {
public:
    virtual ~IInAppPurchaseEvents() = default;
    // False while the game has no purchase manager: answers are then dropped.
    virtual bool HasPurchaseManager() = 0;
    // The first catalogue entry whose SKU equals sku exactly; null when none (an empty SKU
    // matches nothing).
    virtual InAppPurchaseDef* FindAppDefBasedOnId(const char* sku) = 0;
    // A consumable item is used up when it is granted (a coin pack): a restore never grants it
    // again, since the player already has what it gave.
    virtual bool IsConsumable(InAppPurchaseDef* item) = 0;
    // item may be null (restore outcomes).
    virtual void InAppPurchaseFinished(InAppPurchaseDef* item, int result) = 0;
};

// Translations of the service's error ids.
int TranslatePurchaseErrorId(int errorId);
int TranslateExistingPurchasesErrorId(int errorId);

// The purchase manager's TryToPurchase / TryToRestorePurchases: on first use asks for the
// payment events (eventsRequested remembers it; on failure nothing is requested), then sends
// the request. The request id is dropped. False when no request went out, so no answer will
// come: the caller finishes the exchange itself.
[[nodiscard]] bool PaymentTryToPurchase(bool& eventsRequested, const char* sku);
[[nodiscard]] bool PaymentTryToRestorePurchases(bool& eventsRequested);

// Tells the payment service the catalogue's products by SKU (empty SKUs left out). The store of
// a device knows them already; the stand-in of this platform sells only these.
void PaymentDeclareProducts(const std::vector<std::string>& skus);

// A payment-service answer from the event loop.
void handlePaymentEvent(bps_event_t* event);
