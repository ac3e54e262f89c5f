// The alert-dialog stand-in. The dialog prints its message to stderr when shown and closes at
// once with a dialog-domain event, so nothing ever blocks headless. Every call is recorded.
#pragma once

struct bps_event_t;

typedef struct dialog_instance* dialog_instance_t;

enum : int { DIALOG_SUCCESS = 0, DIALOG_FAILURE = -1 };
enum : unsigned int { DIALOG_RESPONSE = 1 };

int dialog_request_events(int flags);
int dialog_get_domain();
int dialog_create_alert(dialog_instance_t* dialog);
int dialog_set_alert_message_text(dialog_instance_t dialog, const char* text);
int dialog_add_button(dialog_instance_t dialog, const char* label, bool enabled, void* context, bool visible);
int dialog_show(dialog_instance_t dialog);
int dialog_destroy(dialog_instance_t dialog);
// The dialog that a DIALOG_RESPONSE event closes.
dialog_instance_t dialog_event_get_dialog_instance(bps_event_t* event);
