#include "platform/Control.h"

#include "PlatformState.h"

namespace platform {

void PushTouch(int type, int x, int y, int touchId, bool hasPosition) {
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = kScreenDomain;
    ev->screen.type = type;
    ev->screen.position[0] = x;
    ev->screen.position[1] = y;
    ev->screen.hasPosition = hasPosition;
    ev->screen.touchId = touchId;
    ev->screen.hasTouchId = true;
    Enqueue(std::move(ev));
}

void PushKey(int keySym) { ApplyInput(MakeScriptLine(ScriptAction::Key, keySym)); }

void PushNavigatorEvent(unsigned int code, int value) {
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = kNavigatorDomain;
    ev->code = code;
    ev->windowState = value;
    ev->angle = value;
    Enqueue(std::move(ev));
}

void ApplyScriptLine(const TScriptLine& line) { ApplyInput(line); }

void PushForeignEvent() {
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = kForeignDomain;
    Enqueue(std::move(ev));
}

void PushPaymentAnswer(const TPaymentAnswer& answer) {
    auto ev = std::make_unique<bps_event_t>();
    ev->domain = kPaymentDomain;
    ev->code = answer.code;
    ev->response = answer.response;
    ev->errorId = answer.errorId;
    ev->hasErrorText = answer.hasErrorText;
    ev->errorText = answer.errorText;
    ev->purchases = answer.purchases;
    Enqueue(std::move(ev));
}

std::vector<std::string> TakeCallLog() {
    std::vector<std::string> out = std::move(State().log);
    State().log.clear();
    return out;
}

void FailNextCall(std::string_view callName) { State().failNext.emplace_back(callName); }

}  // namespace platform
