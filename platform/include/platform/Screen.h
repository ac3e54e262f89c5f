// The windowing service: one display, one window, and the touch events of that window.
// Property numbers and event types are the ones the shell reads; backends are headless (the
// default when DISPLAY is unset) and an X window. Every call returns 0 on success and -1 with
// errno set on failure, like the system calls it stands in for. Main thread only.
#pragma once

struct bps_event_t;

typedef struct screen_context* screen_context_t;
typedef struct screen_window* screen_window_t;
typedef struct screen_display* screen_display_t;
typedef struct screen_event* screen_event_t;

// What the display-mode pointer property points at: its first two fields are the mode's size.
struct screen_display_mode_t {
    unsigned int width;
    unsigned int height;
    unsigned int refresh;
};

enum : int {
    SCREEN_PROPERTY_BUFFER_SIZE = 5,
    SCREEN_PROPERTY_DISPLAY = 11,
    SCREEN_PROPERTY_FORMAT = 14,
    SCREEN_PROPERTY_USAGE = 48,
    SCREEN_PROPERTY_ROTATION = 38,
    SCREEN_PROPERTY_SIZE = 40,
    SCREEN_PROPERTY_SOURCE_POSITION = 41,
    SCREEN_PROPERTY_SOURCE_SIZE = 42,
    SCREEN_PROPERTY_TYPE = 47,
    SCREEN_PROPERTY_TOUCH_ID = 73,
    SCREEN_PROPERTY_KEY_SYM = 65,
    SCREEN_PROPERTY_MODE = 90,
};

enum : int {
    SCREEN_EVENT_NONE = 0,
    SCREEN_EVENT_KEYBOARD = 6,  // one key pressed; SCREEN_PROPERTY_KEY_SYM says which
    SCREEN_EVENT_MTOUCH_TOUCH = 100,
    SCREEN_EVENT_MTOUCH_MOVE = 101,
    SCREEN_EVENT_MTOUCH_RELEASE = 102,
};

// The keys a keyboard event can carry: the back key (Esc in the window, "key back" in a script),
// and typed keys: letters and the blank by their own character codes ('a'..'z', 'A'..'Z', ' '),
// Backspace and Return.
enum : int { KEYCODE_BACK = 0xF01B, KEYCODE_BACKSPACE = 0xF008, KEYCODE_RETURN = 0xF00D };

enum : int { SCREEN_FORMAT_RGBX8888 = 9 };
enum : int { SCREEN_USAGE_OPENGL_ES1 = 0x10, SCREEN_USAGE_ROTATION = 0x200 };

int screen_create_context(screen_context_t* ctx, int flags);
int screen_destroy_context(screen_context_t ctx);
// Screen events go to the bps queue only after this call and until screen_stop_events.
int screen_request_events(screen_context_t ctx);
int screen_stop_events(screen_context_t ctx);
int screen_get_domain();

// The screen event inside a bps event of the screen domain; null for any other event.
screen_event_t screen_event_get_event(bps_event_t* event);
// SCREEN_PROPERTY_TYPE, SCREEN_PROPERTY_TOUCH_ID, SCREEN_PROPERTY_KEY_SYM (one int) or
// SCREEN_PROPERTY_SOURCE_POSITION (two ints); -1 when the event does not carry the property.
int screen_get_event_property_iv(screen_event_t event, int property, int* values);

int screen_create_window(screen_window_t* win, screen_context_t ctx);
int screen_create_window_group(screen_window_t win, const char* name);
int screen_destroy_window(screen_window_t win);
int screen_create_window_buffers(screen_window_t win, int count);
// Integer window properties: FORMAT, USAGE, BUFFER_SIZE and SOURCE_SIZE (two ints), ROTATION.
int screen_set_window_property_iv(screen_window_t win, int property, const int* values);
int screen_get_window_property_iv(screen_window_t win, int property, int* values);
// SCREEN_PROPERTY_DISPLAY: the window's display.
int screen_get_window_property_pv(screen_window_t win, int property, void** values);
// SCREEN_PROPERTY_SIZE (two ints) / SCREEN_PROPERTY_MODE (a screen_display_mode_t*).
int screen_get_display_property_iv(screen_display_t disp, int property, int* values);
int screen_get_display_property_pv(screen_display_t disp, int property, void** values);
