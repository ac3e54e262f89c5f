#pragma once
// The game's purchases in tests, as the program makes them: a platform session whose payment
// stand-in answers as planned, every answer it has ready handed to the payment glue, and the
// award banners they queued.

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/progress/AchievementsManager.h"
#include "platform/Bps.h"
#include "platform/Settings.h"
#include "shell/PaymentGlue.h"

namespace gametest {

// A fresh platform session: headless on the virtual clock, whose payment stand-in answers at the
// next drain as `pay` plans and reports `owned` to a restore. False when it cannot start.
inline bool StartPaymentPlatform(platform::TPayAnswerPlan pay, std::vector<std::string> owned = {}) {
    bps_shutdown();
    platform::TPlatformSettings s;
    s.mode = platform::DisplayMode::Headless;
    s.clock = platform::ClockKind::Virtual;
    s.payDelayFrames = 0;
    s.pay = std::move(pay);
    s.ownedSkus = std::move(owned);
    platform::UseSettings(s);
    return bps_initialize() == BPS_SUCCESS;
}

using TBanner = std::tuple<int, std::string, std::string>;  // type, title, text

// Hands every answer the stand-in has ready to the glue; how many there were.
inline int DrainPaymentAnswers() {
    int delivered = 0;
    bps_event_t* event = nullptr;
    while (bps_get_event(&event, 0) == BPS_SUCCESS && event != nullptr) {
        handlePaymentEvent(event);
        ++delivered;
    }
    return delivered;
}

// The banners queued from the queue's index `from` on.
inline std::vector<TBanner> QueuedBanners(const CAchievementsManager& awards, int from) {
    std::vector<TBanner> all;
    for (int i = from; i < awards.GetNumQueuedMessages(); ++i) {
        const char* title = awards.GetQueuedTitle(i).GetDataConst();
        const char* text = awards.GetQueuedText(i).GetDataConst();
        all.emplace_back(awards.GetQueuedType(i), title != nullptr ? title : "", text != nullptr ? text : "");
    }
    return all;
}

}  // namespace gametest
