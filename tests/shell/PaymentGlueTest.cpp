// Payment answers to InAppPurchaseFinished calls, and the requests of the purchase manager.
#include "shell/PaymentGlue.h"

#include "ShellFixture.h"
#include "platform/Navigator.h"
#include "platform/PaymentService.h"
#include "shell/Program.h"

namespace {

using TFinished = std::vector<std::pair<std::string, int>>;

class PaymentGlueTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
        ASSERT_EQ(paymentservice_request_events(0), PAYMENTSERVICE_SUCCESS);
    }

    // Delivers one answer to the handler through the real queue.
    static void Deliver(const platform::TPaymentAnswer& answer) {
        platform::PushPaymentAnswer(answer);
        bps_event_t* ev = nullptr;
        ASSERT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
        ASSERT_NE(ev, nullptr);
        handlePaymentEvent(ev);
    }

    static platform::TPaymentAnswer Answer(unsigned code, int response, int errorId,
                                           std::vector<platform::TPurchaseRecord> items, const char* text = nullptr) {
        return {code, response, errorId, text != nullptr, text ? text : "", std::move(items)};
    }
};

TEST_F(PaymentGlueTest, ErrorIdTranslations) {
    // {error id, purchase answer, existing-purchases answer}
    const int table[][3] = {{1, 1, 1}, {2, 2, 3}, {3, 2, 3},  {4, 2, 3},   {5, 0, 0},
                            {0, 2, 2}, {6, 2, 2}, {-1, 2, 2}, {1000, 2, 2}};
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        EXPECT_EQ(TranslatePurchaseErrorId(row[0]), row[1]);
        EXPECT_EQ(TranslateExistingPurchasesErrorId(row[0]), row[2]);
    }
}

struct TAnswerCase {
    const char* why;
    platform::TPaymentAnswer answer;
    TFinished finished;
};

TEST_F(PaymentGlueTest, EachAnswerReachesTheGameAsItsResult) {
    using platform::TPurchaseRecord;
    const TAnswerCase cases[] = {
        {"purchase success grants the item",
         Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_5", 0}}),
         {{"coins_5", 0}}},
        {"cancelled by the user", Answer(PURCHASE_RESPONSE, FAILURE_RESPONSE, 1, {{"coins_5", 0}}), {{"coins_5", 1}}},
        {"already purchased is granted",
         Answer(PURCHASE_RESPONSE, FAILURE_RESPONSE, 5, {{"coins_1", 0}}),
         {{"coins_1", 0}}},
        {"service error", Answer(PURCHASE_RESPONSE, FAILURE_RESPONSE, 3, {{"coins_1", 0}}), {{"coins_1", 2}}},
        {"unknown error id", Answer(PURCHASE_RESPONSE, FAILURE_RESPONSE, 42, {{"coins_1", 0}}), {{"coins_1", 2}}},
        {"sku no shop item has", Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"gems_9", 0}}), {}},
        {"empty sku matches nothing", Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"", 0}}), {}},
        {"no sku at all", Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {}), {}},
        {"other response", Answer(PURCHASE_RESPONSE, 7, 0, {{"coins_1", 0}}), {}},
        {"other code", Answer(9, SUCCESS_RESPONSE, 0, {{"coins_1", 0}}), {}},
        {"restore grants owned items in list order, then completes",
         Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0,
                {{"boost_40", 4}, {"coins_1", 0}, {"coins_5", 1}}),
         {{"boost_40", 0}, {"coins_1", 0}, {"coins_5", 0}, {"-", 6}}},
        {"restore skips cancelled and refunded items",
         Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0,
                {{"coins_1", 2}, {"coins_5", 3}, {"boost_40", 0}}),
         {{"boost_40", 0}, {"-", 6}}},
        {"restore of an empty list", Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0, {}), {{"-", 4}}},
        {"restore with only unsold items",
         Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0, {{"gems_9", 0}}),
         {{"-", 5}}},
        {"restore cancelled", Answer(GET_EXISTING_PURCHASES_RESPONSE, FAILURE_RESPONSE, 1, {}), {{"-", 1}}},
        {"restore answered with error 5", Answer(GET_EXISTING_PURCHASES_RESPONSE, FAILURE_RESPONSE, 5, {}), {{"-", 0}}},
        {"restore with other response", Answer(GET_EXISTING_PURCHASES_RESPONSE, 3, 0, {{"coins_1", 0}}), {}},
    };
    g_pGame = CreateGameObject();
    for (const TAnswerCase& c : cases) {
        SCOPED_TRACE(c.why);
        g_record.purchases.clear();
        ::testing::internal::CaptureStderr();
        Deliver(c.answer);
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(g_record.purchases, c.finished);
    }
}

TEST_F(PaymentGlueTest, RestoreNeverGrantsAConsumableAgain) {
    g_testGame.consumableSkus = {"coins_1", "coins_5"};
    g_pGame = CreateGameObject();
    Deliver(Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_1", 0}, {"boost_40", 0}}));
    EXPECT_EQ(g_record.purchases, (TFinished{{"boost_40", 0}, {"-", 6}}));

    g_record.purchases.clear();
    Deliver(Answer(GET_EXISTING_PURCHASES_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_1", 0}, {"coins_5", 4}}));
    EXPECT_EQ(g_record.purchases, (TFinished{{"-", 5}})) << "only consumables owned: nothing is missing";

    g_record.purchases.clear();
    Deliver(Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_5", 0}}));
    EXPECT_EQ(g_record.purchases, (TFinished{{"coins_5", 0}})) << "a purchase grants a consumable as always";
}

TEST_F(PaymentGlueTest, RestoreFailureReportsTheCodeAndShowsTheServiceText) {
    g_pGame = CreateGameObject();
    ::testing::internal::CaptureStderr();
    Deliver(Answer(GET_EXISTING_PURCHASES_RESPONSE, FAILURE_RESPONSE, 3, {}, "Server busy"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(g_record.purchases, (TFinished{{"-", 3}}));
    EXPECT_NE(err.find("Payment System error: ID: 3  Text: Server busy\n"), std::string::npos) << err;
    const std::vector<std::string> log = platform::TakeCallLog();
    const int shown = Find(log, "dialog_set_alert_message_text Payment System error: ID: 3  Text: Server busy");
    EXPECT_GE(shown, 0);
    EXPECT_GE(Find(log, "dialog_show", shown), 0);

    g_record.purchases.clear();
    ::testing::internal::CaptureStderr();
    Deliver(Answer(GET_EXISTING_PURCHASES_RESPONSE, FAILURE_RESPONSE, 2, {}));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("ID: 2  Text: N/A"), std::string::npos);
    EXPECT_EQ(g_record.purchases, (TFinished{{"-", 3}}));
}

TEST_F(PaymentGlueTest, AnswersAreDroppedWithoutGameOrPurchaseManager) {
    Deliver(Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_1", 0}}));  // no game object
    g_testGame.hasPurchaseManager = false;
    g_pGame = CreateGameObject();
    Deliver(Answer(PURCHASE_RESPONSE, SUCCESS_RESPONSE, 0, {{"coins_1", 0}}));
    Deliver(Answer(GET_EXISTING_PURCHASES_RESPONSE, FAILURE_RESPONSE, 3, {}, "x"));
    EXPECT_TRUE(g_record.purchases.empty());
    EXPECT_EQ(Find(platform::TakeCallLog(), "dialog_show"), -1);
}

TEST_F(PaymentGlueTest, FirstRequestAsksForEventsOnceThenOnlyRequests) {
    bool requested = false;
    platform::TakeCallLog();
    EXPECT_TRUE(PaymentTryToPurchase(requested, "coins_5"));
    EXPECT_TRUE(requested);
    EXPECT_TRUE(PaymentTryToRestorePurchases(requested));
    EXPECT_TRUE(PaymentTryToPurchase(requested, "boost_40"));
    const std::vector<std::string> log = platform::TakeCallLog();
    const std::vector<std::string> expected = {
        "paymentservice_request_events 0",
        "paymentservice_set_connection_mode 0",
        "paymentservice_purchase_request coins_5 main_app_group",
        "paymentservice_get_existing_purchases_request 1 main_app_group",
        "paymentservice_purchase_request boost_40 main_app_group",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(PaymentGlueTest, FailedEventRequestSendsNothingAndIsTriedAgainNextTime) {
    bool requested = false;
    platform::FailNextCall("paymentservice_request_events");
    platform::TakeCallLog();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(PaymentTryToPurchase(requested, "coins_5")) << "no request went out";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "paymentservice_request_events failed\n");
    EXPECT_FALSE(requested);
    EXPECT_EQ(Find(platform::TakeCallLog(), "paymentservice_purchase_request"), -1);
    EXPECT_TRUE(PaymentTryToRestorePurchases(requested));
    EXPECT_TRUE(requested);
    EXPECT_GE(Find(platform::TakeCallLog(), "paymentservice_get_existing_purchases_request"), 0);
}

TEST_F(PaymentGlueTest, RefusedRequestsArePrinted) {
    bool requested = true;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(PaymentTryToPurchase(requested, ""));
    platform::FailNextCall("paymentservice_get_existing_purchases_request");
    EXPECT_FALSE(PaymentTryToRestorePurchases(requested));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: RequestPurchase failed.\nError: GetExistingPurchases failed.\n");
}

TEST_F(PaymentGlueTest, PurchaseInARunningProgramIsAnsweredFramesLater) {
    platform::TPlatformSettings s = Settings(320, 480);
    s.payDelayFrames = 3;
    s.pay = {platform::PayOutcome::Cancel, 0, ""};
    platform::UseSettings(s);
    static bool requested;
    requested = false;
    static int answeredAtCycle;
    answeredAtCycle = 0;
    g_testGame.onCycle = [](CTestGame&, int cycle) {
        if (cycle == 1) {
            EXPECT_TRUE(PaymentTryToPurchase(requested, "coins_1"));
        }
        if (!g_record.purchases.empty() && answeredAtCycle == 0) answeredAtCycle = cycle;
        if (cycle == 10) platform::PushNavigatorEvent(NAVIGATOR_EXIT);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_record.purchases, (TFinished{{"coins_1", 1}}));
    // Requested during cycle 1 (frame 0 not yet presented): due after 3 presented frames, so
    // handled in the drain before cycle 4.
    EXPECT_EQ(answeredAtCycle, 4);
}

}  // namespace
