#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "PlatformFixture.h"
#include "platform/Control.h"
#include "platform/Dialog.h"
#include "platform/EglSurface.h"
#include "platform/InputScript.h"
#include "platform/Navigator.h"
#include "platform/PaymentService.h"
#include "platform/Screen.h"

namespace platform {
namespace {

class EventQueueTest : public PlatformTest {
protected:
    void Start(const TPlatformSettings& s) {
        UseSettings(s);
        ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
        ASSERT_EQ(navigator_request_events(0), NAVIGATOR_SUCCESS);
        ASSERT_EQ(paymentservice_request_events(0), PAYMENTSERVICE_SUCCESS);
        ASSERT_EQ(dialog_request_events(0), DIALOG_SUCCESS);
    }
    void Start() { Start(Headless()); }
};

TEST_F(EventQueueTest, GetEventFailsBeforeInitialiseAndOnANullOut) {
    bps_event_t* ev = nullptr;
    EXPECT_EQ(bps_get_event(&ev, 0), BPS_FAILURE);
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    EXPECT_EQ(bps_get_event(nullptr, 0), BPS_FAILURE);
    EXPECT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    EXPECT_EQ(ev, nullptr);
    // Headless nothing can arrive, so even an endless wait comes back empty.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(bps_get_event(&ev, -1), BPS_SUCCESS);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ev, nullptr);
}

TEST_F(EventQueueTest, EventsOfDomainsNobodyAskedForAreDropped) {
    ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    PushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 1, 2);  // no screen_request_events
    PushNavigatorEvent(NAVIGATOR_EXIT);          // no navigator_request_events
    EXPECT_EQ(QueuedEventCount(), 0);
    ASSERT_EQ(navigator_request_events(0), NAVIGATOR_SUCCESS);
    PushNavigatorEvent(NAVIGATOR_EXIT);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(ev), navigator_get_domain());
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_EXIT);
}

TEST_F(EventQueueTest, CopiesPutBackGoToTheHeadInTheirOrder) {
    Start();
    PushNavigatorEvent(NAVIGATOR_SWIPE_DOWN);
    PushNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_THUMBNAIL);
    PushNavigatorEvent(NAVIGATOR_EXIT);
    bps_event_t* kept[2] = {bps_event_copy(Next()), bps_event_copy(Next())};
    bps_requeue_events(kept, 2);
    std::vector<unsigned> codes;
    while (bps_event_t* ev = Next()) codes.push_back(bps_event_get_code(ev));
    EXPECT_EQ(codes, (std::vector<unsigned>{NAVIGATOR_SWIPE_DOWN, NAVIGATOR_WINDOW_STATE, NAVIGATOR_EXIT}));
    EXPECT_EQ(bps_event_copy(nullptr), nullptr);
}

TEST_F(EventQueueTest, TerminationSignalBecomesOneNavigatorExit) {
    for (const int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        Start();
        std::raise(sig);
        bps_event_t* ev = Next();
        ASSERT_NE(ev, nullptr);
        EXPECT_EQ(bps_event_get_domain(ev), navigator_get_domain());
        EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_EXIT);
        EXPECT_EQ(Next(), nullptr);
    }
}

// The first signal asks for the shut-down with saves; when that hangs, the second must still
// end the process, whether or not the first was handled yet.
TEST_F(EventQueueTest, SecondTerminationSignalEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool firstHandled : {false, true}) {
        SCOPED_TRACE(firstHandled);
        EXPECT_EXIT(
            {
                Start();
                std::raise(SIGTERM);
                if (firstHandled) (void)Next();
                std::raise(SIGINT);
                std::_Exit(0);  // reached only when the second signal was swallowed
            },
            ::testing::KilledBySignal(SIGINT), "second termination signal");
    }
}

TEST_F(EventQueueTest, ScriptLinesArriveWhenTheirFrameIsReached) {
    const std::string path = std::string(COBBLE_BINARY_DIR) + "/event_queue_test.script";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("0 nav swipe\n2 nav window invisible\n2 nav orientation 90\n", f);
    std::fclose(f);
    TPlatformSettings s = Headless();
    s.scriptPath = path;
    Start(s);
    std::remove(path.c_str());

    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_SWIPE_DOWN);
    EXPECT_EQ(Next(), nullptr);
    FramePresenting();
    EXPECT_EQ(Next(), nullptr) << "frame 2 lines must wait for the second frame";
    FramePresenting();
    ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_WINDOW_STATE);
    EXPECT_EQ(navigator_event_get_window_state(ev), NAVIGATOR_WINDOW_INVISIBLE);
    ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_ORIENTATION_CHECK);
    EXPECT_EQ(navigator_event_get_orientation_angle(ev), 90);
}

TEST_F(EventQueueTest, BadScriptFailsInitialiseWithItsLine) {
    const std::string path = std::string(COBBLE_BINARY_DIR) + "/event_queue_bad.script";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("0 nav exit\n1 nav fly\n", f);
    std::fclose(f);
    TPlatformSettings s = Headless();
    s.scriptPath = path;
    UseSettings(s);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(bps_initialize(), BPS_FAILURE);
    const std::string err = ::testing::internal::GetCapturedStderr();
    std::remove(path.c_str());
    EXPECT_NE(err.find(path + ":2:"), std::string::npos) << err;
}

TEST_F(EventQueueTest, FrameLimitQueuesTheExitAfterThatManyFrames) {
    TPlatformSettings s = Headless();
    s.frameLimit = 3;
    Start(s);
    FramePresenting();
    FramePresenting();
    EXPECT_EQ(Next(), nullptr);
    FramePresenting();
    EXPECT_EQ(PresentedFrameCount(), 3);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), NAVIGATOR_EXIT);
}

TEST_F(EventQueueTest, AcceptedOrientationCheckIsFollowedByTheTurn) {
    Start();
    PushNavigatorEvent(NAVIGATOR_ORIENTATION_CHECK, 180);
    PushNavigatorEvent(NAVIGATOR_ORIENTATION_CHECK, 90);
    bps_event_t* refused = Next();
    EXPECT_EQ(navigator_orientation_check_response(refused, false), NAVIGATOR_SUCCESS);
    bps_event_t* accepted = Next();
    EXPECT_EQ(navigator_orientation_check_response(accepted, true), NAVIGATOR_SUCCESS);
    bps_event_t* turn = Next();
    ASSERT_NE(turn, nullptr);
    EXPECT_EQ(bps_event_get_code(turn), NAVIGATOR_ORIENTATION);
    EXPECT_EQ(navigator_event_get_orientation_angle(turn), 90);
    EXPECT_EQ(navigator_done_orientation(turn), NAVIGATOR_SUCCESS);
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(TakeCallLog().back(), "navigator_done_orientation 90");
}

TEST_F(EventQueueTest, DialogClosesAtOnceAfterPrintingItsText) {
    Start();
    dialog_instance_t d = nullptr;
    ASSERT_EQ(dialog_create_alert(&d), DIALOG_SUCCESS);
    ASSERT_EQ(dialog_set_alert_message_text(d, "Hello there"), DIALOG_SUCCESS);
    ASSERT_EQ(dialog_add_button(d, "OK", true, nullptr, true), DIALOG_SUCCESS);
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(dialog_show(d), DIALOG_SUCCESS);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Hello there"), std::string::npos);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(ev), dialog_get_domain());
    EXPECT_EQ(dialog_event_get_dialog_instance(ev), d);
    EXPECT_EQ(dialog_destroy(d), DIALOG_SUCCESS);
    EXPECT_EQ(dialog_destroy(d), DIALOG_FAILURE);
    EXPECT_EQ(dialog_set_alert_message_text(d, "gone"), DIALOG_FAILURE);
}

TEST_F(EventQueueTest, PlannedFailureHitsOnlyTheNextCallOfThatName) {
    Start();
    FailNextCall("dialog_create_alert");
    dialog_instance_t d = nullptr;
    EXPECT_EQ(dialog_create_alert(&d), DIALOG_FAILURE);
    EXPECT_EQ(dialog_create_alert(&d), DIALOG_SUCCESS);
}

// The payment stand-in: what each outcome answers, and when.
struct TPayCase {
    const char* why;
    TPayAnswerPlan plan;
    int response, errorId;
    const char* errorText;  // null: no text
};

TEST_F(EventQueueTest, PurchaseIsAnsweredAfterTheDelayWithThePlannedOutcome) {
    const TPayCase cases[] = {
        {"accept", {PayOutcome::Accept, 0, ""}, SUCCESS_RESPONSE, 0, nullptr},
        {"cancel",
         {PayOutcome::Cancel, 0, ""},
         FAILURE_RESPONSE,
         PAYMENTSERVICE_ERROR_USER_CANCELLED,
         "Purchase cancelled by the user"},
        {"fail with text", {PayOutcome::Fail, 4, "No network"}, FAILURE_RESPONSE, 4, "No network"},
        {"fail without text", {PayOutcome::Fail, 7, ""}, FAILURE_RESPONSE, 7, nullptr},
    };
    for (const TPayCase& c : cases) {
        SCOPED_TRACE(c.why);
        TPlatformSettings s = Headless();
        s.pay = c.plan;
        s.payDelayFrames = 2;
        Start(s);
        unsigned int id = 0;
        ASSERT_EQ(paymentservice_purchase_request(nullptr, "coins_500", nullptr, nullptr, nullptr, nullptr,
                                                  "main_app_group", &id),
                  PAYMENTSERVICE_SUCCESS);
        EXPECT_GT(id, 0u);
        FramePresenting();
        EXPECT_EQ(Next(), nullptr);
        FramePresenting();
        bps_event_t* ev = Next();
        ASSERT_NE(ev, nullptr);
        EXPECT_EQ(bps_event_get_domain(ev), paymentservice_get_domain());
        EXPECT_EQ(bps_event_get_code(ev), PURCHASE_RESPONSE);
        EXPECT_EQ(paymentservice_event_get_response_code(ev), c.response);
        EXPECT_STREQ(paymentservice_event_get_digital_good_sku(ev, 0), "coins_500");
        if (c.response == FAILURE_RESPONSE) {
            EXPECT_EQ(paymentservice_event_get_error_id(ev), c.errorId);
        }
        if (c.errorText) {
            EXPECT_STREQ(paymentservice_event_get_error_text(ev), c.errorText);
        } else {
            EXPECT_EQ(paymentservice_event_get_error_text(ev), nullptr);
        }
        EXPECT_EQ(paymentservice_event_get_digital_good_sku(ev, 1), nullptr);
        EXPECT_EQ(paymentservice_event_get_item_state(ev, -1), -1);
    }
}

TEST_F(EventQueueTest, PayNextOverridesTheSettingsForOneRequestOnly) {
    TPlatformSettings s = Headless();
    s.payDelayFrames = 0;
    Start(s);
    TScriptLine plan;
    plan.action = ScriptAction::PayNext;
    plan.value = static_cast<int>(PayOutcome::Fail);
    plan.errorId = 3;
    plan.text = "busy";
    ApplyScriptLine(plan);
    unsigned int id = 0;
    ASSERT_EQ(paymentservice_purchase_request(nullptr, "a", nullptr, nullptr, nullptr, nullptr, "g", &id),
              PAYMENTSERVICE_SUCCESS);
    ASSERT_EQ(paymentservice_purchase_request(nullptr, "b", nullptr, nullptr, nullptr, nullptr, "g", &id),
              PAYMENTSERVICE_SUCCESS);
    bps_event_t* first = Next();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(paymentservice_event_get_response_code(first), FAILURE_RESPONSE);
    EXPECT_EQ(paymentservice_event_get_error_id(first), 3);
    EXPECT_STREQ(paymentservice_event_get_error_text(first), "busy");
    bps_event_t* second = Next();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(paymentservice_event_get_response_code(second), SUCCESS_RESPONSE);
    EXPECT_STREQ(paymentservice_event_get_digital_good_sku(second, 0), "b");
}

TEST_F(EventQueueTest, OnlyTheDeclaredProductsSellOnceACatalogueIsDeclared) {
    TPlatformSettings s = Headless();
    s.payDelayFrames = 0;
    Start(s);
    SetPaymentProducts({"coins_150", "boost_40"});
    struct TSale {
        const char* sku;
        int response;
    } sales[] = {{"coins_150", SUCCESS_RESPONSE}, {"coins_999", FAILURE_RESPONSE}, {"boost_40", SUCCESS_RESPONSE}};
    unsigned int id = 0;
    for (const TSale& sale : sales) {
        ASSERT_EQ(paymentservice_purchase_request(nullptr, sale.sku, nullptr, nullptr, nullptr, nullptr, "g", &id),
                  PAYMENTSERVICE_SUCCESS)
            << "the request goes out: the service answers it";
        bps_event_t* ev = Next();
        ASSERT_NE(ev, nullptr) << sale.sku;
        EXPECT_EQ(paymentservice_event_get_response_code(ev), sale.response) << sale.sku;
        EXPECT_STREQ(paymentservice_event_get_digital_good_sku(ev, 0), sale.sku);
        if (sale.response == FAILURE_RESPONSE) {
            EXPECT_EQ(paymentservice_event_get_error_id(ev), PAYMENTSERVICE_ERROR_PAYMENT_SERVICE);
            EXPECT_STREQ(paymentservice_event_get_error_text(ev), "No such digital good: coins_999");
        }
    }
    // A fresh start forgets the catalogue: everything sells until one is declared again.
    Start(s);
    ASSERT_EQ(paymentservice_purchase_request(nullptr, "coins_999", nullptr, nullptr, nullptr, nullptr, "g", &id),
              PAYMENTSERVICE_SUCCESS);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(paymentservice_event_get_response_code(ev), SUCCESS_RESPONSE);
}

TEST_F(EventQueueTest, ExistingPurchasesListTheOwnedSkusInOrder) {
    TPlatformSettings s = Headless();
    s.payDelayFrames = 0;
    s.ownedSkus = {"coins_1", "boost_40"};
    Start(s);
    unsigned int id = 0;
    ASSERT_EQ(paymentservice_get_existing_purchases_request(true, "main_app_group", &id), PAYMENTSERVICE_SUCCESS);
    bps_event_t* ev = Next();
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(bps_event_get_code(ev), GET_EXISTING_PURCHASES_RESPONSE);
    EXPECT_EQ(paymentservice_event_get_response_code(ev), SUCCESS_RESPONSE);
    ASSERT_EQ(paymentservice_event_get_number_purchases(ev), 2);
    EXPECT_STREQ(paymentservice_event_get_digital_good_sku(ev, 0), "coins_1");
    EXPECT_STREQ(paymentservice_event_get_digital_good_sku(ev, 1), "boost_40");
    EXPECT_EQ(paymentservice_event_get_item_state(ev, 1), PAYMENTSERVICE_ITEM_STATE_OWNED);
}

TEST_F(EventQueueTest, RefusedRequestsAreNeverAnswered) {
    TPlatformSettings s = Headless();
    s.payDelayFrames = 0;
    Start(s);
    unsigned int id = 0;
    EXPECT_EQ(paymentservice_purchase_request(nullptr, "", nullptr, nullptr, nullptr, nullptr, "g", &id),
              PAYMENTSERVICE_FAILURE);
    EXPECT_EQ(paymentservice_purchase_request(nullptr, "a", nullptr, nullptr, nullptr, nullptr, nullptr, &id),
              PAYMENTSERVICE_FAILURE);
    EXPECT_EQ(paymentservice_get_existing_purchases_request(true, nullptr, &id), PAYMENTSERVICE_FAILURE);
    FailNextCall("paymentservice_purchase_request");
    EXPECT_EQ(paymentservice_purchase_request(nullptr, "a", nullptr, nullptr, nullptr, nullptr, "g", &id),
              PAYMENTSERVICE_FAILURE);
    FramePresenting();
    EXPECT_EQ(Next(), nullptr);
}

}  // namespace
}  // namespace platform
