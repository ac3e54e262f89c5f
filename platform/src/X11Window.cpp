// X window backend: an Xlib window with an EGL window surface. The window opens scaled to fit the
// screen's work area (unless the display size was given) and shows the game's frames scaled to
// its size, with bars at the sides (ScaledFrame.h); pointer positions map back through the same
// scale. It shows the display as a player holding the device sees it: when the device is turned
// (F6, or a script's orientation line), the frame turns with it, the window opens anew at the
// turned frame's shape, and pointer positions map back through the turn; the game keeps drawing
// the same frame. The left mouse button is the first finger and the right button a second one;
// closing the window is the navigator's exit. Keys:
//   Esc   the back key             F2  swipe down (pause)        F3  window to thumbnail
//   F4    window invisible         F5  window full-screen again  F6  turn the device a quarter
//   letters, space, Backspace, Return: typed keys (the game uses them while a name is typed)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <png.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "WindowBackend.h"
#include "X11ShmPicture.h"
#include "platform/GamePaths.h"
#include "platform/Navigator.h"
#include "platform/ScaledFrame.h"
#include "platform/Screen.h"
#include "platform/Settings.h"

namespace platform {
namespace {

constexpr const char* kTitle = "Cobblebrooks";
constexpr const char* kIconPath = "app/native/icon.png";  // beside the program, as the pak is
// The smallest window: a quarter of the frame's size each way.
constexpr int kMinimumShare = 4;

// Xlib's own reaction to a broken connection is to print a line and exit(1), which would skip
// the saves of the normal shut-down. These two make it mark the window lost and return; from then
// on Xlib's calls on that display return at once.
int OnXIOError(Display*) { return 0; }

void OnXIOErrorExit(Display*, void* lost) { *static_cast<bool*>(lost) = true; }

// The program's icon as _NET_WM_ICON wants it: width, height, then one ARGB value a pixel, each in
// a long. Empty when the file is missing or unreadable (the window then has no icon).
std::vector<unsigned long> ReadIcon(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_BGRA;  // little-endian BGRA bytes are the ARGB value of a pixel
    std::vector<png_uint_32> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (image.width == 0 || image.width > 512 || image.height > 512 ||
        !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    std::vector<unsigned long> icon{image.width, image.height};
    icon.insert(icon.end(), pixels.begin(), pixels.end());
    return icon;
}

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
        frameW_ = widthPx;
        frameH_ = heightPx;
        OpeningSize(windowW_, windowH_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(windowW_),
                                      static_cast<unsigned>(windowH_), 0, BlackPixel(display_, screen),
                                      BlackPixel(display_, screen));
        if (!window_) return false;
        picture_.Use(display_, window_);
        DescribeWindow();
        XSelectInput(display_, window_,
                     ButtonPressMask | ButtonReleaseMask | Button1MotionMask | Button3MotionMask | KeyPressMask |
                         StructureNotifyMask);
        XSetWMProtocols(display_, window_, &deleteAtom_, 1);
        XFlush(display_);
        return true;
    }

    // The frame's size changed before its first surface (the start angle turned the buffer):
    // the window opens anew at the size that fits it.
    void ResizeWindow(int widthPx, int heightPx) override {
        if (!window_ || (widthPx == frameW_ && heightPx == frameH_)) return;
        frameW_ = widthPx;
        frameH_ = heightPx;
        ReopenAtFittingSize();
    }

    // The device turned: the frame shows turned with it, by the turn since the start. A turn
    // that changes the picture's shape opens the window anew at the size that fits the turned
    // frame; a half turn keeps its size. Without a frame target the window cannot turn its
    // picture and stays as it is.
    void TurnWindow(int angle, int startAngle) override {
        if (angle % 90 != 0 || startAngle % 90 != 0) return;
        angle_ = ((angle % 360) + 360) % 360;
        const int quarters = fixedSize_ ? 0 : (((angle - startAngle) / 90) % 4 + 4) % 4;
        if (quarters == quarters_) return;
        const bool reshaped = (quarters - quarters_) % 2 != 0;
        quarters_ = quarters;
        if (reshaped) ReopenAtFittingSize();
    }

    void ShowWindow() override {
        if (!window_) return;
        XMapRaised(display_, window_);
        XFlush(display_);
    }

    void DestroyWindow() override {
        picture_.Release(lost_);
        picture_.Use(nullptr, 0);
        if (!window_ || lost_) return;
        XDestroyWindow(display_, window_);
        XFlush(display_);
        window_ = 0;
    }

    EGLint SurfaceType() const override { return EGL_WINDOW_BIT; }

    EGLSurface CreateSurface(EGLDisplay display, EGLConfig config, int, int) override {
        if (!window_) return EGL_NO_SURFACE;
        config_ = config;
        return eglCreateWindowSurface(display, config, static_cast<EGLNativeWindowType>(window_), nullptr);
    }

    void SurfaceCurrent(EGLDisplay display) override {
        // Without a frame target the game draws straight into the window, which must then keep
        // the frame's size.
        if (!target_.Attach(display, config_, frameW_, frameH_)) FixWindowSize();
    }

    EGLBoolean Present(EGLDisplay display, EGLSurface surface) override {
        // Through shared memory where the server offers it: the driver's own swap sends every
        // pixel down the connection (X11ShmPicture.h).
        return target_.Present(display, surface, windowW_, windowH_, quarters_,
                               picture_.Usable() ? &picture_ : nullptr);
    }

    void ReleaseGl(EGLDisplay display) override { target_.Release(display); }

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

    void ReopenAtFittingSize() {
        if (!window_) return;
        OpeningSize(windowW_, windowH_);
        SetSizeHints();
        XResizeWindow(display_, window_, static_cast<unsigned>(windowW_), static_cast<unsigned>(windowH_));
        XFlush(display_);
    }

    // The frame as the window shows it, turned with the device.
    void ShownFrame(int& w, int& h) const { TurnedSize(frameW_, frameH_, quarters_, w, h); }

    // The size a new window takes: the display size that was asked for as it stands (turned with
    // the device), else that frame scaled down to fit the screen's work area.
    void OpeningSize(int& w, int& h) const {
        int shownW = 0, shownH = 0;
        ShownFrame(shownW, shownH);
        if (CurrentSettings().displaySizeGiven) {
            w = shownW;
            h = shownH;
            return;
        }
        int workW = 0, workH = 0;
        WorkArea(workW, workH);
        FitWindowToWorkArea(shownW, shownH, workW, workH, w, h);
    }

    // The work area of the first desktop as the window manager publishes it, else the screen.
    void WorkArea(int& w, int& h) const {
        const int screen = DefaultScreen(display_);
        w = DisplayWidth(display_, screen);
        h = DisplayHeight(display_, screen);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom workArea = XInternAtom(display_, "_NET_WORKAREA", True);
        if (workArea == None || XGetWindowProperty(display_, RootWindow(display_, screen), workArea, 0, 4, False,
                                                   XA_CARDINAL, &type, &format, &count, &after, &data) != Success)
            return;
        if (data != nullptr && format == 32 && count >= 4) {
            const auto* area = reinterpret_cast<const long*>(data);
            if (area[2] > 0 && area[3] > 0) {
                w = static_cast<int>(area[2]);
                h = static_cast<int>(area[3]);
            }
        }
        if (data != nullptr) XFree(data);
    }

    // The names a desktop shows (title, class for its task bar, the UTF-8 name), the size hints
    // and the icon.
    void DescribeWindow() {
        XStoreName(display_, window_, kTitle);
        XClassHint* classHint = XAllocClassHint();
        if (classHint != nullptr) {
            std::string name = "cobblebrooks", className = kTitle;
            classHint->res_name = name.data();
            classHint->res_class = className.data();
            XSetClassHint(display_, window_, classHint);
            XFree(classHint);
        }
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(kTitle), static_cast<int>(std::string(kTitle).size()));
        SetSizeHints();
        const std::vector<unsigned long> icon = ReadIcon(ResolveResourcePath(kIconPath));
        if (!icon.empty())
            XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                            static_cast<int>(icon.size()));
        else
            Notice("%s: no window icon", kIconPath);
    }

    void SetSizeHints() {
        XSizeHints* hints = XAllocSizeHints();
        if (hints == nullptr) return;
        int shownW = 0, shownH = 0;
        ShownFrame(shownW, shownH);
        hints->flags = PMinSize;
        hints->min_width = std::max(1, shownW / kMinimumShare);
        hints->min_height = std::max(1, shownH / kMinimumShare);
        if (fixedSize_) {
            hints->flags |= PMaxSize;
            hints->min_width = hints->max_width = frameW_;
            hints->min_height = hints->max_height = frameH_;
        }
        XSetWMNormalHints(display_, window_, hints);
        XFree(hints);
    }

    void FixWindowSize() {
        fixedSize_ = true;
        quarters_ = 0;  // the game's own drawing cannot be turned
        windowW_ = frameW_;
        windowH_ = frameH_;
        SetSizeHints();
        XResizeWindow(display_, window_, static_cast<unsigned>(frameW_), static_cast<unsigned>(frameH_));
        XFlush(display_);
    }

    static int FingerOf(unsigned int button) {
        if (button == Button1) return 0;
        if (button == Button3) return 1;
        return -1;
    }

    TScriptLine Touch(int type, int x, int y, int id) const {
        TScriptLine line;
        line.action = ScriptAction::Touch;
        line.touchType = type;
        int shownW = 0, shownH = 0;
        ShownFrame(shownW, shownH);
        WindowToFrame(FitPicture(shownW, shownH, windowW_, windowH_), frameW_, frameH_, x, y, line.x, line.y,
                      quarters_);
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
            case ConfigureNotify:
                if (ev.xconfigure.window == window_ && ev.xconfigure.width > 0 && ev.xconfigure.height > 0) {
                    windowW_ = ev.xconfigure.width;
                    windowH_ = ev.xconfigure.height;
                }
                return;
            case KeyPress:
                // With Ctrl or Alt held a key is a desktop shortcut, never typing.
                TranslateKey(XLookupKeysym(const_cast<XKeyEvent*>(&ev.xkey), 0),
                             (ev.xkey.state & (ControlMask | Mod1Mask)) == 0, out);
                return;
            case ClientMessage:
                if (static_cast<Atom>(ev.xclient.data.l[0]) == deleteAtom_)
                    out.push_back(MakeScriptLine(ScriptAction::NavExit));
                return;
            default:
                return;
        }
    }

    // The typed key a key stands for (KEYCODE_* or the character), 0 for none.
    static int TypedKeyOf(KeySym key) {
        if (key >= XK_a && key <= XK_z) return static_cast<int>('a' + (key - XK_a));
        if (key == XK_space) return ' ';
        if (key == XK_BackSpace) return KEYCODE_BACKSPACE;
        if (key == XK_Return || key == XK_KP_Enter) return KEYCODE_RETURN;
        return 0;
    }

    void TranslateKey(KeySym key, bool plain, std::vector<TScriptLine>& out) {
        if (const int typed = TypedKeyOf(key); typed != 0) {
            if (plain) out.push_back(MakeScriptLine(ScriptAction::Key, typed));
            return;
        }
        TScriptLine line;
        switch (key) {
            case XK_Escape:
                line = MakeScriptLine(ScriptAction::Key, KEYCODE_BACK);
                break;
            case XK_F2:
                line.action = ScriptAction::NavSwipe;
                break;
            case XK_F3:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_THUMBNAIL);
                break;
            case XK_F4:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_INVISIBLE);
                break;
            case XK_F5:
                line = MakeScriptLine(ScriptAction::NavWindow, NAVIGATOR_WINDOW_FULLSCREEN);
                break;
            case XK_F6:
                // The window turns when the navigator hears of it (TurnWindow).
                line = MakeScriptLine(ScriptAction::NavOrientation, (angle_ + 90) % 360);
                break;
            default:
                return;
        }
        out.push_back(line);
    }

    Display* display_;
    Window window_ = 0;
    Atom deleteAtom_ = 0;
    int angle_ = 0;                  // the device's angle, degrees
    int quarters_ = 0;               // its turn since the start in clockwise quarters: how the window shows the frame
    bool lost_ = false;              // the connection to the X server broke; nothing more is sent on it
    int frameW_ = 0, frameH_ = 0;    // the frame the game draws (fixed once drawn, never turned)
    int windowW_ = 0, windowH_ = 0;  // the window as it stands on the screen
    bool fixedSize_ = false;         // no frame target: the window keeps the frame's size
    EGLConfig config_ = nullptr;
    CScaledFrameTarget target_;
    CX11ShmPicture picture_;
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
