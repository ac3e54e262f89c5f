#pragma once
// An X client of the tests that drive a real window of the program: finding the window by its
// title and sending it what a user and a window manager would (clicks, keys, a close). Header
// only; the test program links X11.
//
// Include it last: Xlib's macros (None, Bool, Status) would break headers after it.

#include <X11/Xlib.h>

#include <cstring>

namespace xtest {

// The first window below parent (itself included) whose title is name; 0 when none is.
inline Window FindWindowNamed(Display* display, Window parent, const char* name) {
    char* title = nullptr;
    if (XFetchName(display, parent, &title) && title) {
        const bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match) return parent;
    }
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) found = FindWindowNamed(display, children[i], name);
    if (children) XFree(children);
    return found;
}

// A press or release (type ButtonPress / ButtonRelease) of the button at window pixel (x, y).
inline void SendButton(Display* display, Window window, int type, int x, int y, unsigned int button = Button1) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xbutton.type = type;
    ev.xbutton.display = display;
    ev.xbutton.window = window;
    ev.xbutton.root = DefaultRootWindow(display);
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    ev.xbutton.button = button;
    ev.xbutton.same_screen = True;
    XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
}

// A key press; state holds the modifiers held with it (ShiftMask, ControlMask...).
inline void SendKey(Display* display, Window window, KeySym key, unsigned int state = 0) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xkey.type = KeyPress;
    ev.xkey.display = display;
    ev.xkey.window = window;
    ev.xkey.root = DefaultRootWindow(display);
    ev.xkey.keycode = XKeysymToKeycode(display, key);
    ev.xkey.state = state;
    ev.xkey.same_screen = True;
    XSendEvent(display, window, True, KeyPressMask, &ev);
}

// What a window manager sends when the user closes the window.
inline void SendClose(Display* display, Window window) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &ev);
}

}  // namespace xtest
