// The one state object of the platform stand-ins. Main thread only, except the signal flag,
// which the SIGINT/SIGTERM handler sets.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Event.h"
#include "WindowBackend.h"
#include "platform/InputScript.h"
#include "platform/Screen.h"
#include "platform/Settings.h"

struct screen_context {
    int flags = 0;
};

struct screen_display {
    int sizePx[2] = {0, 0};
    screen_display_mode_t mode{};
};

struct screen_window {
    int format = 0;
    int usage = 0;
    int bufferSize[2] = {0, 0};
    int sourceSize[2] = {0, 0};
    int rotation = 0;
    int startRotation = 0;  // the rotation when the buffers were made: the device's starting angle
    int bufferCount = 0;
    // The frame the game draws: the buffer size until the first surface is made, then fixed (the
    // game sets its viewport once, so a turned buffer would only crop its frames).
    int frameSize[2] = {0, 0};
    bool surfaceMade = false;
    std::string group;
};

struct dialog_instance {
    int id = 0;
    std::string text;
    int buttons = 0;
};

namespace platform {

struct TPendingEvent {
    int dueFrame = 0;
    std::unique_ptr<bps_event_t> event;
};

struct TPlatformState {
    // Settings
    TPlatformSettings settings;
    bool settingsChosen = false;

    // Event queue: who asked for events, what waits, and the event last handed out.
    bool bpsReady = false;
    bool screenEvents = false, navigatorEvents = false, dialogEvents = false, paymentEvents = false;
    std::deque<std::unique_ptr<bps_event_t>> queue;
    std::unique_ptr<bps_event_t> current;
    std::vector<TPendingEvent> pending;  // payment answers waiting for their frame

    // Call log and planned failures
    std::vector<std::string> log;
    std::vector<std::string> failNext;

    // Screen
    std::unique_ptr<screen_context> context;
    screen_display display;
    std::unique_ptr<screen_window> window;
    std::unique_ptr<IWindowBackend> backend;
    bool displayLost = false;  // the backend's display went away; the exit has been sent

    // Frames, script and dumps
    int presented = 0;
    std::vector<TScriptLine> script;
    std::size_t scriptNext = 0;
    std::vector<std::string> pendingDumps;

    // Payment and dialog stand-ins
    std::deque<TPayAnswerPlan> nextPayPlans;
    std::vector<std::string> paymentProducts;  // empty: every SKU sells
    unsigned int lastRequestId = 0;
    std::vector<std::unique_ptr<dialog_instance>> dialogs;
    int lastDialogId = 0;
};

TPlatformState& State();

// Drops everything except the settings (tests start each case from here).
void ResetState();

void LogCall(std::string line);
// True (and errno = EIO) when a failure was planned for this call; the plan is used up.
bool ConsumePlannedFailure(std::string_view callName);

// Appends an event when its domain's events were requested; otherwise drops it.
void Enqueue(std::unique_ptr<bps_event_t> event);

// Turns one input action (from the X window, the script or the control API) into events or
// stand-in state.
void ApplyInput(const TScriptLine& input);

}  // namespace platform
