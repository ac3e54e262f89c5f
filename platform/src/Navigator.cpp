// The navigator stand-in: records every call; an accepted orientation check is followed by the
// orientation event itself, as the device's navigator does.
#include <cstdio>
#include <string>

#include "PlatformState.h"
#include "platform/Navigator.h"

using platform::ConsumePlannedFailure;
using platform::LogCall;
using platform::State;

namespace {

bool IsNavigatorEvent(bps_event_t* event, unsigned int code) {
    return event && event->domain == platform::kNavigatorDomain && event->code == code;
}

}  // namespace

int navigator_request_events(int flags) {
    LogCall("navigator_request_events " + std::to_string(flags));
    if (ConsumePlannedFailure("navigator_request_events")) return NAVIGATOR_FAILURE;
    State().navigatorEvents = true;
    return NAVIGATOR_SUCCESS;
}

int navigator_stop_events(int) {
    LogCall("navigator_stop_events");
    State().navigatorEvents = false;
    return NAVIGATOR_SUCCESS;
}

int navigator_rotation_lock(bool locked) {
    LogCall(std::string("navigator_rotation_lock ") + (locked ? "1" : "0"));
    if (ConsumePlannedFailure("navigator_rotation_lock")) return NAVIGATOR_FAILURE;
    return NAVIGATOR_SUCCESS;
}

int navigator_get_domain() { return platform::kNavigatorDomain; }

navigator_window_state_t navigator_event_get_window_state(bps_event_t* event) {
    if (!IsNavigatorEvent(event, NAVIGATOR_WINDOW_STATE)) return static_cast<navigator_window_state_t>(-1);
    return static_cast<navigator_window_state_t>(event->windowState);
}

int navigator_event_get_orientation_angle(bps_event_t* event) {
    if (!IsNavigatorEvent(event, NAVIGATOR_ORIENTATION_CHECK) && !IsNavigatorEvent(event, NAVIGATOR_ORIENTATION))
        return -1;
    return event->angle;
}

int navigator_orientation_check_response(bps_event_t* event, bool willRotate) {
    if (!IsNavigatorEvent(event, NAVIGATOR_ORIENTATION_CHECK)) return NAVIGATOR_FAILURE;
    LogCall("navigator_orientation_check_response " + std::to_string(event->angle) + " " + (willRotate ? "1" : "0"));
    if (willRotate) {
        auto turn = std::make_unique<bps_event_t>();
        turn->domain = platform::kNavigatorDomain;
        turn->code = NAVIGATOR_ORIENTATION;
        turn->angle = event->angle;
        platform::Enqueue(std::move(turn));
    }
    return NAVIGATOR_SUCCESS;
}

int navigator_done_orientation(bps_event_t* event) {
    if (!IsNavigatorEvent(event, NAVIGATOR_ORIENTATION)) return NAVIGATOR_FAILURE;
    LogCall("navigator_done_orientation " + std::to_string(event->angle));
    return NAVIGATOR_SUCCESS;
}

int navigator_invoke(const char* uri, char** err) {
    if (err) *err = nullptr;
    LogCall(std::string("navigator_invoke ") + (uri ? uri : "(null)"));
    if (!uri || !*uri || ConsumePlannedFailure("navigator_invoke")) return NAVIGATOR_FAILURE;
    std::fprintf(stderr, "[browser] %s\n", uri);
    return NAVIGATOR_SUCCESS;
}
