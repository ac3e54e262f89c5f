// The navigator stand-in: the system's exit, window-state, swipe-down and orientation events,
// and the browser hand-off. Every call is recorded in the call log (platform/Control.h).
// Orientation: the navigator first sends an orientation check; when the program accepts it, an
// orientation event for the same angle follows, which the program closes with
// navigator_done_orientation. Main thread only.
#pragma once

struct bps_event_t;

enum : int { NAVIGATOR_SUCCESS = 0, NAVIGATOR_FAILURE = -1 };

enum : unsigned int {
    NAVIGATOR_INVOKE = 1,
    NAVIGATOR_EXIT = 2,
    NAVIGATOR_WINDOW_STATE = 3,
    NAVIGATOR_SWIPE_DOWN = 4,
    NAVIGATOR_SWIPE_START = 5,
    NAVIGATOR_LOW_MEMORY = 6,
    NAVIGATOR_ORIENTATION_CHECK = 7,
    NAVIGATOR_ORIENTATION = 8,
};

enum navigator_window_state_t : int {
    NAVIGATOR_WINDOW_FULLSCREEN = 0,
    NAVIGATOR_WINDOW_THUMBNAIL = 1,
    NAVIGATOR_WINDOW_INVISIBLE = 2,
};

int navigator_request_events(int flags);
int navigator_stop_events(int flags);
int navigator_rotation_lock(bool locked);
int navigator_get_domain();

// -1 when the event is not a window-state / orientation event.
navigator_window_state_t navigator_event_get_window_state(bps_event_t* event);
int navigator_event_get_orientation_angle(bps_event_t* event);

// Answers an orientation check; an acceptance queues the orientation event.
int navigator_orientation_check_response(bps_event_t* event, bool willRotate);
int navigator_done_orientation(bps_event_t* event);

// Hands a web address to the browser (here: printed to stderr). *err, when given, is set to
// null: this stand-in never fails on a non-empty address.
int navigator_invoke(const char* uri, char** err);
