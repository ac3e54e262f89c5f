#include "PlatformState.h"

#include <cerrno>

#include "platform/Bps.h"
#include "platform/Navigator.h"
#include "platform/Screen.h"

namespace platform {

TPlatformState& State() {
    static TPlatformState state;
    return state;
}

void ResetState() {
    TPlatformState& s = State();
    TPlatformSettings keep = s.settings;
    const bool chosen = s.settingsChosen;
    if (s.bpsReady) bps_shutdown();  // gives the signal handlers back
    if (s.backend) s.backend->DestroyWindow();
    s = TPlatformState{};
    s.settings = std::move(keep);
    s.settingsChosen = chosen;
}

void LogCall(std::string line) { State().log.push_back(std::move(line)); }

bool ConsumePlannedFailure(std::string_view callName) {
    auto& plans = State().failNext;
    for (auto it = plans.begin(); it != plans.end(); ++it) {
        if (*it == callName) {
            plans.erase(it);
            errno = EIO;
            return true;
        }
    }
    return false;
}

void Enqueue(std::unique_ptr<bps_event_t> event) {
    TPlatformState& s = State();
    bool wanted = false;
    switch (event->domain) {
        case kScreenDomain:
            wanted = s.screenEvents;
            break;
        case kNavigatorDomain:
            wanted = s.navigatorEvents;
            break;
        case kDialogDomain:
            wanted = s.dialogEvents;
            break;
        case kPaymentDomain:
            wanted = s.paymentEvents;
            break;
        default:
            wanted = true;
            break;  // foreign domains: the program must drop them itself
    }
    if (wanted) s.queue.push_back(std::move(event));
}

namespace {

std::unique_ptr<bps_event_t> NavigatorEvent(unsigned int code) {
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = kNavigatorDomain;
    ev->code = code;
    return ev;
}

}  // namespace

void ApplyInput(const TScriptLine& input) {
    TPlatformState& s = State();
    switch (input.action) {
        case ScriptAction::Touch: {
            auto ev = std::make_unique<bps_event_t>();
            ev->domain = kScreenDomain;
            ev->screen.type = input.touchType;
            ev->screen.position[0] = input.x;
            ev->screen.position[1] = input.y;
            ev->screen.hasPosition = true;
            ev->screen.touchId = input.touchId;
            ev->screen.hasTouchId = true;
            Enqueue(std::move(ev));
            break;
        }
        case ScriptAction::NavExit:
            Enqueue(NavigatorEvent(NAVIGATOR_EXIT));
            break;
        case ScriptAction::NavSwipe:
            Enqueue(NavigatorEvent(NAVIGATOR_SWIPE_DOWN));
            break;
        case ScriptAction::NavWindow: {
            auto ev = NavigatorEvent(NAVIGATOR_WINDOW_STATE);
            ev->windowState = input.value;
            Enqueue(std::move(ev));
            break;
        }
        case ScriptAction::NavOrientation: {
            // The device turns whether or not the program turns its window with it.
            if (s.backend && s.window && input.value % 90 == 0)
                s.backend->TurnWindow(((input.value % 360) + 360) % 360, s.window->startRotation);
            auto ev = NavigatorEvent(NAVIGATOR_ORIENTATION_CHECK);
            ev->angle = input.value;
            Enqueue(std::move(ev));
            break;
        }
        case ScriptAction::PayNext: {
            TPayAnswerPlan plan;
            plan.outcome = static_cast<PayOutcome>(input.value);
            plan.errorId = input.errorId;
            plan.errorText = input.text;
            s.nextPayPlans.push_back(std::move(plan));
            break;
        }
        case ScriptAction::Key: {
            auto ev = std::make_unique<bps_event_t>();
            ev->domain = kScreenDomain;
            ev->screen.type = SCREEN_EVENT_KEYBOARD;
            ev->screen.keySym = input.value;
            Enqueue(std::move(ev));
            break;
        }
        case ScriptAction::Dump:
            s.pendingDumps.push_back(input.text);
            break;
    }
}

}  // namespace platform
