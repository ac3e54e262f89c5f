// In-process control of the platform stand-ins, for tests and tools: push the same events that
// the X window or the input script would, read the log of every platform call made, and make a
// chosen call fail. Main thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/InputScript.h"

namespace platform {

// A touch of finger touchId at physical display pixels (x, y); type is one of the
// SCREEN_EVENT_MTOUCH_* values. hasPosition false makes an event whose position cannot be read.
void PushTouch(int type, int x, int y, int touchId = 0, bool hasPosition = true);
// A key press (KEYCODE_BACK), as the window's Esc or a script's "key back" gives it.
void PushKey(int keySym);
// NAVIGATOR_EXIT, NAVIGATOR_SWIPE_DOWN, NAVIGATOR_WINDOW_STATE (value = state),
// NAVIGATOR_ORIENTATION_CHECK or NAVIGATOR_ORIENTATION (value = angle).
void PushNavigatorEvent(unsigned int code, int value = 0);
// Runs one script line now, as if its frame had come.
void ApplyScriptLine(const TScriptLine& line);
// An event of a domain that no service of the program asked for.
void PushForeignEvent();

struct TPurchaseRecord {
    std::string sku;
    int itemState = 0;
};

struct TPaymentAnswer {
    unsigned int code = 0;  // PURCHASE_RESPONSE or GET_EXISTING_PURCHASES_RESPONSE
    int response = 0;       // SUCCESS_RESPONSE or FAILURE_RESPONSE (or anything else)
    int errorId = 0;
    bool hasErrorText = false;
    std::string errorText;
    std::vector<TPurchaseRecord> purchases;
};
void PushPaymentAnswer(const TPaymentAnswer& answer);

// Every platform call since the last TakeCallLog, oldest first, as "name arg arg ...".
std::vector<std::string> TakeCallLog();

// The next call of that name (e.g. "screen_request_events", "screen_create_window") fails
// once, with errno EIO.
void FailNextCall(std::string_view callName);

// Events waiting in the queue (not counting one already taken).
int QueuedEventCount();

}  // namespace platform
