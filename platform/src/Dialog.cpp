// The alert-dialog stand-in: prints the alert and closes it at once, so a modal wait on it
// never blocks (there is nobody to press its button headless).
#include <algorithm>
#include <cstdio>
#include <string>

#include "PlatformState.h"
#include "platform/Dialog.h"

using platform::ConsumePlannedFailure;
using platform::LogCall;
using platform::State;

namespace {

bool IsLive(dialog_instance_t dialog) {
    const auto& dialogs = State().dialogs;
    return dialog && std::any_of(dialogs.begin(), dialogs.end(), [dialog](const auto& d) { return d.get() == dialog; });
}

}  // namespace

int dialog_request_events(int flags) {
    LogCall("dialog_request_events " + std::to_string(flags));
    if (ConsumePlannedFailure("dialog_request_events")) return DIALOG_FAILURE;
    State().dialogEvents = true;
    return DIALOG_SUCCESS;
}

int dialog_get_domain() { return platform::kDialogDomain; }

int dialog_create_alert(dialog_instance_t* dialog) {
    LogCall("dialog_create_alert");
    if (!dialog || ConsumePlannedFailure("dialog_create_alert")) return DIALOG_FAILURE;
    platform::TPlatformState& s = State();
    auto d = std::make_unique<dialog_instance>();
    d->id = ++s.lastDialogId;
    *dialog = d.get();
    s.dialogs.push_back(std::move(d));
    return DIALOG_SUCCESS;
}

int dialog_set_alert_message_text(dialog_instance_t dialog, const char* text) {
    LogCall(std::string("dialog_set_alert_message_text ") + (text ? text : "(null)"));
    if (!IsLive(dialog) || !text || ConsumePlannedFailure("dialog_set_alert_message_text")) return DIALOG_FAILURE;
    dialog->text = text;
    return DIALOG_SUCCESS;
}

int dialog_add_button(dialog_instance_t dialog, const char* label, bool, void*, bool) {
    LogCall(std::string("dialog_add_button ") + (label ? label : "(null)"));
    if (!IsLive(dialog) || !label || ConsumePlannedFailure("dialog_add_button")) return DIALOG_FAILURE;
    ++dialog->buttons;
    return DIALOG_SUCCESS;
}

int dialog_show(dialog_instance_t dialog) {
    LogCall("dialog_show");
    if (!IsLive(dialog) || ConsumePlannedFailure("dialog_show")) return DIALOG_FAILURE;
    std::fprintf(stderr, "[alert] %s\n", dialog->text.c_str());
    auto closed = std::make_unique<bps_event_t>();
    closed->domain = platform::kDialogDomain;
    closed->code = DIALOG_RESPONSE;
    closed->dialogId = dialog->id;
    platform::Enqueue(std::move(closed));
    return DIALOG_SUCCESS;
}

int dialog_destroy(dialog_instance_t dialog) {
    LogCall("dialog_destroy");
    auto& dialogs = State().dialogs;
    auto it = std::find_if(dialogs.begin(), dialogs.end(), [dialog](const auto& d) { return d.get() == dialog; });
    if (it == dialogs.end()) return DIALOG_FAILURE;
    dialogs.erase(it);
    return DIALOG_SUCCESS;
}

dialog_instance_t dialog_event_get_dialog_instance(bps_event_t* event) {
    if (!event || event->domain != platform::kDialogDomain) return nullptr;
    for (const auto& d : State().dialogs) {
        if (d->id == event->dialogId) return d.get();
    }
    return nullptr;
}
