// The event record behind bps_event_t, shared by the services that make and read events.
#pragma once

#include <string>
#include <vector>

#include "platform/Control.h"

namespace platform {

// Domain numbers handed out by the *_get_domain calls.
enum : int {
    kScreenDomain = 1,
    kNavigatorDomain = 2,
    kDialogDomain = 3,
    kPaymentDomain = 4,
    kForeignDomain = 99,
};

}  // namespace platform

struct screen_event {
    int type = 0;
    int position[2] = {0, 0};
    bool hasPosition = false;
    int touchId = 0;
    bool hasTouchId = false;
    int keySym = 0;  // keyboard events only
};

struct bps_event_t {
    int domain = 0;
    unsigned int code = 0;
    screen_event screen;
    // Navigator: window state (-1 when none) and orientation angle.
    int windowState = -1;
    int angle = 0;
    // Dialog: the id of the dialog that closed.
    int dialogId = 0;
    // Payment answer.
    int response = 0;
    int errorId = 0;
    bool hasErrorText = false;
    std::string errorText;
    std::vector<platform::TPurchaseRecord> purchases;
};
