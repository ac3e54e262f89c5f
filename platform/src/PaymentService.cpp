// The payment-service stand-in: every request is answered a few presented frames later, with
// the outcome planned by a "pay next" script line or, failing that, the settings.
#include <algorithm>
#include <string>

#include "PlatformState.h"
#include "platform/PaymentService.h"

using platform::ConsumePlannedFailure;
using platform::LogCall;
using platform::State;

namespace {

platform::TPayAnswerPlan TakePlan() {
    platform::TPlatformState& s = State();
    if (s.nextPayPlans.empty()) return s.settings.pay;
    platform::TPayAnswerPlan plan = std::move(s.nextPayPlans.front());
    s.nextPayPlans.pop_front();
    return plan;
}

// Fills the outcome fields; the purchases list is the caller's.
void ApplyPlan(const platform::TPayAnswerPlan& plan, bps_event_t& ev) {
    switch (plan.outcome) {
        case platform::PayOutcome::Accept:
            ev.response = SUCCESS_RESPONSE;
            return;
        case platform::PayOutcome::Cancel:
            ev.response = FAILURE_RESPONSE;
            ev.errorId = PAYMENTSERVICE_ERROR_USER_CANCELLED;
            ev.hasErrorText = true;
            ev.errorText = "Purchase cancelled by the user";
            return;
        case platform::PayOutcome::Fail:
            ev.response = FAILURE_RESPONSE;
            ev.errorId = plan.errorId;
            ev.hasErrorText = !plan.errorText.empty();
            ev.errorText = plan.errorText;
            return;
    }
}

unsigned int PlanAnswer(std::unique_ptr<bps_event_t> ev) {
    platform::TPlatformState& s = State();
    s.pending.push_back({s.presented + s.settings.payDelayFrames, std::move(ev)});
    return ++s.lastRequestId;
}

bool Sells(const char* sku) {
    const std::vector<std::string>& products = State().paymentProducts;
    return products.empty() || std::find(products.begin(), products.end(), sku) != products.end();
}

bps_event_t* PaymentAnswer(bps_event_t* event) {
    return (event && event->domain == platform::kPaymentDomain) ? event : nullptr;
}

}  // namespace

int paymentservice_request_events(int flags) {
    LogCall("paymentservice_request_events " + std::to_string(flags));
    if (ConsumePlannedFailure("paymentservice_request_events")) return PAYMENTSERVICE_FAILURE;
    State().paymentEvents = true;
    return PAYMENTSERVICE_SUCCESS;
}

int paymentservice_get_domain() { return platform::kPaymentDomain; }

int paymentservice_set_connection_mode(bool localMode) {
    LogCall(std::string("paymentservice_set_connection_mode ") + (localMode ? "1" : "0"));
    return PAYMENTSERVICE_SUCCESS;
}

int paymentservice_purchase_request(const char*, const char* digitalGoodSku, const char*, const char*, const char*,
                                    const char*, const char* groupId, unsigned int* requestId) {
    LogCall(std::string("paymentservice_purchase_request ") + (digitalGoodSku ? digitalGoodSku : "(null)") + " " +
            (groupId ? groupId : "(null)"));
    if (!digitalGoodSku || !*digitalGoodSku || !groupId || !requestId ||
        ConsumePlannedFailure("paymentservice_purchase_request"))
        return PAYMENTSERVICE_FAILURE;
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = platform::kPaymentDomain;
    ev->code = PURCHASE_RESPONSE;
    if (Sells(digitalGoodSku)) {
        ApplyPlan(TakePlan(), *ev);
    } else {
        ev->response = FAILURE_RESPONSE;
        ev->errorId = PAYMENTSERVICE_ERROR_PAYMENT_SERVICE;
        ev->hasErrorText = true;
        ev->errorText = std::string("No such digital good: ") + digitalGoodSku;
    }
    ev->purchases.push_back({digitalGoodSku, PAYMENTSERVICE_ITEM_STATE_OWNED});
    *requestId = PlanAnswer(std::move(ev));
    return PAYMENTSERVICE_SUCCESS;
}

int paymentservice_get_existing_purchases_request(bool allowRefresh, const char* groupId, unsigned int* requestId) {
    LogCall(std::string("paymentservice_get_existing_purchases_request ") + (allowRefresh ? "1" : "0") + " " +
            (groupId ? groupId : "(null)"));
    if (!groupId || !requestId || ConsumePlannedFailure("paymentservice_get_existing_purchases_request"))
        return PAYMENTSERVICE_FAILURE;
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = platform::kPaymentDomain;
    ev->code = GET_EXISTING_PURCHASES_RESPONSE;
    ApplyPlan(TakePlan(), *ev);
    if (ev->response == SUCCESS_RESPONSE) {
        for (const std::string& sku : State().settings.ownedSkus)
            ev->purchases.push_back({sku, PAYMENTSERVICE_ITEM_STATE_OWNED});
    }
    *requestId = PlanAnswer(std::move(ev));
    return PAYMENTSERVICE_SUCCESS;
}

int paymentservice_event_get_response_code(bps_event_t* event) {
    bps_event_t* ev = PaymentAnswer(event);
    return ev ? ev->response : -1;
}

int paymentservice_event_get_error_id(bps_event_t* event) {
    bps_event_t* ev = PaymentAnswer(event);
    return ev ? ev->errorId : -1;
}

const char* paymentservice_event_get_error_text(bps_event_t* event) {
    bps_event_t* ev = PaymentAnswer(event);
    return (ev && ev->hasErrorText) ? ev->errorText.c_str() : nullptr;
}

int paymentservice_event_get_number_purchases(bps_event_t* event) {
    bps_event_t* ev = PaymentAnswer(event);
    return ev ? static_cast<int>(ev->purchases.size()) : -1;
}

const char* paymentservice_event_get_digital_good_sku(bps_event_t* event, int index) {
    bps_event_t* ev = PaymentAnswer(event);
    if (!ev || index < 0 || index >= static_cast<int>(ev->purchases.size())) return nullptr;
    return ev->purchases[static_cast<std::size_t>(index)].sku.c_str();
}

int paymentservice_event_get_item_state(bps_event_t* event, int index) {
    bps_event_t* ev = PaymentAnswer(event);
    if (!ev || index < 0 || index >= static_cast<int>(ev->purchases.size())) return -1;
    return ev->purchases[static_cast<std::size_t>(index)].itemState;
}

void platform::SetPaymentProducts(std::vector<std::string> skus) {
    State().paymentProducts = std::move(skus);
}
