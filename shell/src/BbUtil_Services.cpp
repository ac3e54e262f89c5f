// The one-call platform services beside the window: the modal alert, the browser, the clock
// hook, the download hook and the payment-service wrappers.
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/Bps.h"
#include "platform/Dialog.h"
#include "platform/Navigator.h"
#include "platform/PaymentService.h"
#include "shell/BbUtil.h"

namespace {

// Waits for the alert to close. Events of other services taken meanwhile are set aside and put
// back at the head of the queue afterwards, so a payment answer or the exit is never lost.
void WaitForDialogClose() {
    std::vector<bps_event_t*> kept;
    for (;;) {
        bps_event_t* event = nullptr;
        if (bps_get_event(&event, -1) != BPS_SUCCESS || !event) break;  // nothing more can come
        if (bps_event_get_domain(event) == dialog_get_domain()) break;
        kept.push_back(bps_event_copy(event));
    }
    bps_requeue_events(kept.data(), static_cast<int>(kept.size()));
}

}  // namespace

void DBG(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    dialog_request_events(0);
    dialog_instance_t alert = nullptr;
    if (dialog_create_alert(&alert) != DIALOG_SUCCESS) {
        std::fprintf(stderr, "Failed to create alert dialog.");
        return;
    }
    if (dialog_set_alert_message_text(alert, text) != DIALOG_SUCCESS) {
        std::fprintf(stderr, "Failed to set alert dialog message text.");
        dialog_destroy(alert);
        return;
    }
    if (dialog_add_button(alert, "OK", true, nullptr, true) != DIALOG_SUCCESS) {
        std::fprintf(stderr, "Failed to add button to alert dialog.");
        dialog_destroy(alert);
        return;
    }
    if (dialog_show(alert) != DIALOG_SUCCESS) {
        std::fprintf(stderr, "Failed to show alert dialog.");
        dialog_destroy(alert);
        return;
    }
    WaitForDialogClose();
    dialog_destroy(alert);
}

bool BBWeb_OpenURL(const char* url) { return navigator_invoke(url, nullptr) == NAVIGATOR_SUCCESS; }

long GetTickCount() { return static_cast<long>(std::clock()); }

char* DownloadDataFromURL(const char*, const char*, int, int& length) {
    length = 0;
    return nullptr;
}

bool BBInApp_InitPurchases() {
    if (paymentservice_request_events(0) != PAYMENTSERVICE_SUCCESS) {
        std::fprintf(stderr, "paymentservice_request_events failed\n");
        return false;
    }
    paymentservice_set_connection_mode(false);
    return true;
}

bool BBInApp_RequestPurchase(const char* sku, unsigned int& requestId) {
    if (paymentservice_purchase_request(nullptr, sku, nullptr, nullptr, nullptr, nullptr, g_window_group_name,
                                        &requestId) != PAYMENTSERVICE_SUCCESS) {
        std::fprintf(stderr, "Error: RequestPurchase failed.\n");
        return false;
    }
    return true;
}

bool BBInApp_GetExistingPurchases(unsigned int& requestId) {
    if (paymentservice_get_existing_purchases_request(true, g_window_group_name, &requestId) !=
        PAYMENTSERVICE_SUCCESS) {
        std::fprintf(stderr, "Error: GetExistingPurchases failed.\n");
        return false;
    }
    return true;
}
