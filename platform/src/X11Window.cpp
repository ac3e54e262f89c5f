// X window backend: an Xlib window with an EGL window surface. The left mouse button is the
// first finger and the right button a second one; Esc or closing the window is the navigator's
// exit; keys give the other navigator events:
//   s / Down   swipe down        b  window to thumbnail     h  window invisible
//   f          window full-screen                         r  ask to turn by 90 degrees
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "WindowBackend.h"
#include "platform/Navigator.h"
#include "platform/Screen.h"

namespace platform {
namespace {

// Xlib's own reaction to a broken connection is to print a line and exit(1), which would skip
// the saves of the normal shut-down. These two make it mark the window lost and return; from then
// on Xlib's calls on that display return at once.
int OnXIOError(Display*) { return 0; }

void OnXIOErrorExit(Display*, void* lost) { *static_cast<bool*>(lost) = true; }

class CX11Window final : public IWindowBackend {
public:
    explicit CX11Window(Display* display) : display_(display) {
        XSetIOErrorHandler(OnXIOError);
        XSetIOErrorExitHandler(display_, OnXIOErrorExit, &lost_);
        deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    }
    ~CX11Window() override {
        DestroyWindow();
        XCloseDisplay(display_);
    }

    const char* Name() const override { return "x11"; }
    const char* EglPlatformName() const override { return "x11"; }

    bool CreateWindow(int widthPx, int heightPx) override {
        if (window_) return true;
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(widthPx),
                                      static_cast<unsigned>(heightPx), 0, BlackPixel(display_, screen),
                                      BlackPixel(display_, screen));
        if (!window_) return false;
        XStoreName(display_, window_, "Cobblebrooks");
        XSelectInput(display_, window_,
                     ButtonPressMask | ButtonReleaseMask | Button1MotionMask | Button3MotionMask | KeyPressMask |
                         StructureNotifyMask);
        XSetWMProtocols(display_, window_, &deleteAtom_, 1);
        XFlush(display_);
        return true;
    }

    void ResizeWindow(int widthPx, int heightPx) override {
        if (!window_) return;
        XResizeWindow(display_, window_, static_cast<unsigned>(widthPx), static_cast<unsigned>(heightPx));
        XFlush(display_);
    }

    void ShowWindow() override {
        if (!window_) return;
        XMapRaised(display_, window_);
        XFlush(display_);
    }

    void DestroyWindow() override {
        if (!window_ || lost_) return;
        XDestroyWindow(display_, window_);
        XFlush(display_);
        window_ = 0;
    }

    EGLint SurfaceType() const override { return EGL_WINDOW_BIT; }

    EGLSurface CreateSurface(EGLDisplay display, EGLConfig config, int, int) override {
        if (!window_) return EGL_NO_SURFACE;
        return eglCreateWindowSurface(display, config, static_cast<EGLNativeWindowType>(window_), nullptr);
    }

    // The window surface's swap does the work; it must not start on a connection that is gone,
    // because the driver's swap can wait for an answer from the server for ever.
    bool BeforeSwap() override { return !Lost(); }

    void PollInput(std::vector<TScriptLine>& out) override {
        while (!Lost() && XPending(display_) > 0) {
            XEvent ev;
            XNextEvent(display_, &ev);
            Translate(ev, out);
        }
    }

    bool WaitForInput(int timeoutMs, int wakeFd) override {
        if (Lost()) return false;
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        return ::poll(fds, wakeFd >= 0 ? 2 : 1, timeoutMs) > 0;
    }

private:
    // A peek at the socket tells a closed connection (end of stream, or a reset) from a quiet
    // one without taking bytes that Xlib has not read yet.
    bool Lost() {
        if (lost_) return true;
        char byte = 0;
        const ssize_t n = ::recv(ConnectionNumber(display_), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) lost_ = true;
        return lost_;
    }

    static int FingerOf(unsigned int button) {
        if (button == Button1) return 0;
        if (button == Button3) return 1;
        return -1;
    }

    static TScriptLine Touch(int type, int x, int y, int id) {
        TScriptLine line;
        line.action = ScriptAction::Touch;
        line.touchType = type;
        line.x = x;
        line.y = y;
        line.touchId = id;
        return line;
    }

    void Translate(const XEvent& ev, std::vector<TScriptLine>& out) {
        switch (ev.type) {
            case ButtonPress:
            case ButtonRelease: {
                const int id = FingerOf(ev.xbutton.button);
                if (id < 0) return;
                const int type = ev.type == ButtonPress ? SCREEN_EVENT_MTOUCH_TOUCH : SCREEN_EVENT_MTOUCH_RELEASE;
                out.push_back(Touch(type, ev.xbutton.x, ev.xbutton.y, id));
                return;
            }
            case MotionNotify:
                if (ev.xmotion.state & Button1Mask)
                    out.push_back(Touch(SCREEN_EVENT_MTOUCH_MOVE, ev.xmotion.x, ev.xmotion.y, 0));
                if (ev.xmotion.state & Button3Mask)
                    out.push_back(Touch(SCREEN_EVENT_MTOUCH_MOVE, ev.xmotion.x, ev.xmotion.y, 1));
                return;
            case KeyPress:
                TranslateKey(XLookupKeysym(const_cast<XKeyEvent*>(&ev.xkey), 0), out);
                return;
            case ClientMessage:
                if (static_cast<Atom>(ev.xclient.data.l[0]) == deleteAtom_)
                    out.push_back(MakeScriptLine(ScriptAction::NavExit));
                return;
            default:
                return;
        }
    }

    void TranslateKey(KeySym key, std::vector<TScriptLine>& out) {
        TScriptLine line;
        switch (key) {
            case XK_Escape:
                line.action = ScriptAction::NavExit;
                break;
            case XK_s:
            case XK_Down:
                line.action = ScriptAction::NavSwipe;
                break;
            case XK_b:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_THUMBNAIL);
                break;
            case XK_h:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_INVISIBLE);
                break;
            case XK_f:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_FULLSCREEN);
                break;
            case XK_r:
                angle_ = (angle_ + 90) % 360;
                line = MakeScriptLine(ScriptAction::NavOrientation, angle_);
                break;
            default:
                return;
        }
        out.push_back(line);
    }

    Display* display_;
    Window window_ = 0;
    Atom deleteAtom_ = 0;
    int angle_ = 0;
    bool lost_ = false;  // the connection to the X server broke; nothing more is sent on it
};

}  // namespace

std::unique_ptr<IWindowBackend> CreateX11WindowBackend() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "platform: cannot open the X display\n");
        return nullptr;
    }
    return std::make_unique<CX11Window>(display);
}

}  // namespace platform
