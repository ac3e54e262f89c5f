// The platform's event service: one process-wide queue that the screen, the navigator, the
// dialog and the payment stand-ins fill, read by the shell's main loop with bps_get_event.
//
// This is our own Linux stand-in for the phone's service layer. Backends: an X window (input
// from the mouse and keyboard) or headless (input from a script file and the in-process control
// API in platform/Control.h). Main thread only; SIGINT and SIGTERM are turned into a navigator
// exit event between bps_initialize and bps_shutdown, and a second such signal ends the process
// at once (for a shut-down that hangs).
#pragma once

struct bps_event_t;  // owned by the platform; valid until the next bps_get_event

enum : int { BPS_SUCCESS = 0, BPS_FAILURE = -1 };

// Starts the service (reads the input script, installs the signal handlers). BPS_SUCCESS or
// BPS_FAILURE.
[[nodiscard]] int bps_initialize();
// Drops every queued event and restores the signal handlers.
void bps_shutdown();

// Takes the next event into *event, or null when none arrives within timeoutMs (0 = never
// wait, -1 = wait until one arrives; headless, where nothing can arrive, a wait returns null at
// once). BPS_FAILURE when event is null or the service is not initialised.
[[nodiscard]] int bps_get_event(bps_event_t** event, int timeoutMs);

int bps_event_get_domain(bps_event_t* event);
unsigned int bps_event_get_code(bps_event_t* event);

// Keeping events across bps_get_event calls: a copy the caller owns (null for null), its
// release, and putting copies back at the head of the queue in the given order (the queue takes
// ownership). Lets a modal wait set aside the events that were not meant for it.
[[nodiscard]] bps_event_t* bps_event_copy(const bps_event_t* event);
void bps_event_destroy(bps_event_t* event);
void bps_requeue_events(bps_event_t* const* events, int count);
