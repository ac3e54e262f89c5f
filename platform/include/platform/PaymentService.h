// The payment-service stand-in. A purchase or existing-purchases request is recorded and
// answered a configurable number of presented frames later with the configured outcome
// (accepted, cancelled or failed; see platform/Settings.h and the "pay" script line). A purchase
// of a product the stand-in does not sell is answered with a payment-service error.
#pragma once

#include <string>
#include <vector>

struct bps_event_t;

enum : int { PAYMENTSERVICE_SUCCESS = 0, PAYMENTSERVICE_FAILURE = -1 };

// Event codes of the payment domain.
enum : unsigned int {
    PURCHASE_RESPONSE = 0,
    GET_EXISTING_PURCHASES_RESPONSE = 1,
};

// Response codes carried by an answer.
enum : int { SUCCESS_RESPONSE = 0, FAILURE_RESPONSE = 1 };

// Error ids of a failed answer.
enum : int {
    PAYMENTSERVICE_ERROR_USER_CANCELLED = 1,
    PAYMENTSERVICE_ERROR_SYSTEM_BUSY = 2,
    PAYMENTSERVICE_ERROR_PAYMENT_SERVICE = 3,
    PAYMENTSERVICE_ERROR_NETWORK = 4,
    PAYMENTSERVICE_ERROR_ALREADY_PURCHASED = 5,
};

// Item states in an existing-purchases answer.
enum : int {
    PAYMENTSERVICE_ITEM_STATE_OWNED = 0,
    PAYMENTSERVICE_ITEM_STATE_SUBSCRIBED = 1,
    PAYMENTSERVICE_ITEM_STATE_CANCELLED = 2,
    PAYMENTSERVICE_ITEM_STATE_REFUNDED = 3,
    PAYMENTSERVICE_ITEM_STATE_RENEWED = 4,
};

int paymentservice_request_events(int flags);
int paymentservice_get_domain();
// localMode true: the service's local test mode. Recorded only.
int paymentservice_set_connection_mode(bool localMode);

// Fails (PAYMENTSERVICE_FAILURE, no answer planned) on an empty SKU or a null window group.
int paymentservice_purchase_request(const char* digitalGoodId, const char* digitalGoodSku, const char* digitalGoodName,
                                    const char* metadata, const char* appName, const char* appIcon, const char* groupId,
                                    unsigned int* requestId);
int paymentservice_get_existing_purchases_request(bool allowRefresh, const char* groupId, unsigned int* requestId);

int paymentservice_event_get_response_code(bps_event_t* event);
int paymentservice_event_get_error_id(bps_event_t* event);
// Null when the answer has no error text.
const char* paymentservice_event_get_error_text(bps_event_t* event);
int paymentservice_event_get_number_purchases(bps_event_t* event);
// Null when index is out of range.
const char* paymentservice_event_get_digital_good_sku(bps_event_t* event, int index);
// -1 when index is out of range.
int paymentservice_event_get_item_state(bps_event_t* event, int index);

namespace platform {

// The products the stand-in sells, by SKU (a device's store knows them; the program declares
// its catalogue when it reads it). Empty, as after a reset: every SKU sells.
void SetPaymentProducts(std::vector<std::string> skus);

}  // namespace platform
