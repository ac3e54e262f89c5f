// screen_*: the display, the one window and its properties, on top of the window backend.
#include <GLES/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "GlDriverPin.h"
#include "PlatformState.h"
#include "platform/Clock.h"
#include "platform/EglSurface.h"
#include "platform/Screen.h"

using platform::ConsumePlannedFailure;
using platform::LogCall;
using platform::State;

namespace {

int Fail(int err) {
    errno = err;
    return -1;
}

bool IsOurWindow(screen_window_t win) { return win && win == State().window.get(); }

// A window run that found no X server goes on headless, where nobody can close it: unless a
// frame limit was set, it ends as a bounded run does.
void BoundTheFallbackRun() {
    platform::TPlatformState& s = State();
    if (s.settings.mode != platform::DisplayMode::X11 || std::string_view(s.backend->Name()) != "headless" ||
        s.settings.frameLimit > 0)
        return;
    s.settings.frameLimit = platform::kBoundedRunFrames;
    std::fprintf(stderr, "platform: no window to close; the headless run ends after %d frames\n",
                 platform::kBoundedRunFrames);
}

}  // namespace

int screen_create_context(screen_context_t* ctx, int flags) {
    LogCall("screen_create_context");
    if (!ctx) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_create_context")) return -1;
    platform::TPlatformState& s = State();
    const platform::TPlatformSettings& settings = platform::CurrentSettings();
    // Mesa's software rasteriser (llvmpipe) draws on the calling thread instead of handing each
    // frame to worker threads, unless the user named a count: handing over and waiting cost
    // about a third more CPU than the drawing itself, and one thread still draws a frame well
    // inside its time. Read when the driver starts; other drivers ignore it.
    ::setenv("LP_NUM_THREADS", "0", 0);
    if (!s.backend) {
        s.backend = platform::CreateWindowBackend(settings.mode);
        // Mesa picks its platform once, at the first eglGetDisplay, from this variable.
        ::setenv("EGL_PLATFORM", s.backend->EglPlatformName(), 1);
        BoundTheFallbackRun();
    }
    s.display.sizePx[0] = settings.displayWidthPx;
    s.display.sizePx[1] = settings.displayHeightPx;
    s.display.mode.width = static_cast<unsigned int>(settings.displayWidthPx);
    s.display.mode.height = static_cast<unsigned int>(settings.displayHeightPx);
    s.display.mode.refresh = 60;
    if (settings.clock == platform::ClockKind::Virtual &&
        platform::ClockCurrentKind() != platform::ClockKind::Virtual) {
        platform::ClockUse(platform::ClockKind::Virtual);
    }
    s.context = std::make_unique<screen_context>();
    s.context->flags = flags;
    *ctx = s.context.get();
    return 0;
}

int screen_destroy_context(screen_context_t ctx) {
    LogCall("screen_destroy_context");
    platform::TPlatformState& s = State();
    if (!ctx || ctx != s.context.get()) return Fail(EINVAL);
    if (s.window) screen_destroy_window(s.window.get());
    s.context.reset();
    return 0;
}

int screen_request_events(screen_context_t ctx) {
    LogCall("screen_request_events");
    if (!ctx || ctx != State().context.get()) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_request_events")) return -1;
    State().screenEvents = true;
    return 0;
}

int screen_stop_events(screen_context_t ctx) {
    LogCall("screen_stop_events");
    if (!ctx || ctx != State().context.get()) return Fail(EINVAL);
    State().screenEvents = false;
    return 0;
}

int screen_get_domain() { return platform::kScreenDomain; }

screen_event_t screen_event_get_event(bps_event_t* event) {
    return (event && event->domain == platform::kScreenDomain) ? &event->screen : nullptr;
}

int screen_get_event_property_iv(screen_event_t event, int property, int* values) {
    if (!event || !values) return Fail(EINVAL);
    switch (property) {
        case SCREEN_PROPERTY_TYPE:
            values[0] = event->type;
            return 0;
        case SCREEN_PROPERTY_SOURCE_POSITION:
            if (!event->hasPosition) return Fail(EINVAL);
            values[0] = event->position[0];
            values[1] = event->position[1];
            return 0;
        case SCREEN_PROPERTY_TOUCH_ID:
            if (!event->hasTouchId) return Fail(EINVAL);
            values[0] = event->touchId;
            return 0;
        case SCREEN_PROPERTY_KEY_SYM:
            if (event->type != SCREEN_EVENT_KEYBOARD) return Fail(EINVAL);
            values[0] = event->keySym;
            return 0;
        default:
            return Fail(EINVAL);
    }
}

int screen_create_window(screen_window_t* win, screen_context_t ctx) {
    LogCall("screen_create_window");
    platform::TPlatformState& s = State();
    if (!win || !ctx || ctx != s.context.get()) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_create_window")) return -1;
    if (s.window) return Fail(EBUSY);  // one window per process
    if (!s.backend->CreateWindow(s.display.sizePx[0], s.display.sizePx[1])) return Fail(ENODEV);
    s.window = std::make_unique<screen_window>();
    s.window->bufferSize[0] = s.window->sourceSize[0] = s.window->frameSize[0] = s.display.sizePx[0];
    s.window->bufferSize[1] = s.window->sourceSize[1] = s.window->frameSize[1] = s.display.sizePx[1];
    *win = s.window.get();
    return 0;
}

int screen_create_window_group(screen_window_t win, const char* name) {
    LogCall(std::string("screen_create_window_group ") + (name ? name : "(null)"));
    if (!IsOurWindow(win) || !name || !*name) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_create_window_group")) return -1;
    win->group = name;
    return 0;
}

int screen_destroy_window(screen_window_t win) {
    LogCall("screen_destroy_window");
    platform::TPlatformState& s = State();
    if (!IsOurWindow(win)) return Fail(EINVAL);
    s.backend->DestroyWindow();
    s.window.reset();
    return 0;
}

int screen_create_window_buffers(screen_window_t win, int count) {
    LogCall("screen_create_window_buffers " + std::to_string(count));
    if (!IsOurWindow(win) || count < 1) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_create_window_buffers")) return -1;
    win->bufferCount = count;
    // The device is held at the window's first rotation, the angle the program started at.
    win->startRotation = win->rotation;
    State().backend->TurnWindow(win->rotation, win->startRotation);
    State().backend->ShowWindow();
    return 0;
}

int screen_set_window_property_iv(screen_window_t win, int property, const int* values) {
    if (!IsOurWindow(win) || !values) return Fail(EINVAL);
    std::string line = "screen_set_window_property_iv ";
    line.append(std::to_string(property)).append(" ").append(std::to_string(values[0]));
    const bool pair = property == SCREEN_PROPERTY_BUFFER_SIZE || property == SCREEN_PROPERTY_SOURCE_SIZE;
    if (pair) line.append("x").append(std::to_string(values[1]));
    LogCall(line);
    if (ConsumePlannedFailure("screen_set_window_property_iv")) return -1;
    switch (property) {
        case SCREEN_PROPERTY_FORMAT:
            win->format = values[0];
            return 0;
        case SCREEN_PROPERTY_USAGE:
            win->usage = values[0];
            return 0;
        case SCREEN_PROPERTY_ROTATION:
            if (values[0] % 90 != 0 || values[0] < 0 || values[0] > 270) return Fail(EINVAL);
            win->rotation = values[0];
            return 0;
        case SCREEN_PROPERTY_BUFFER_SIZE:
            if (values[0] <= 0 || values[1] <= 0) return Fail(EINVAL);
            win->bufferSize[0] = values[0];
            win->bufferSize[1] = values[1];
            if (!win->surfaceMade) {
                win->frameSize[0] = values[0];
                win->frameSize[1] = values[1];
                State().backend->ResizeWindow(values[0], values[1]);
            }
            return 0;
        case SCREEN_PROPERTY_SOURCE_SIZE:
            if (values[0] <= 0 || values[1] <= 0) return Fail(EINVAL);
            win->sourceSize[0] = values[0];
            win->sourceSize[1] = values[1];
            return 0;
        default:
            return Fail(EINVAL);
    }
}

int screen_get_window_property_iv(screen_window_t win, int property, int* values) {
    if (!IsOurWindow(win) || !values) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_get_window_property_iv")) return -1;
    switch (property) {
        case SCREEN_PROPERTY_FORMAT:
            values[0] = win->format;
            return 0;
        case SCREEN_PROPERTY_USAGE:
            values[0] = win->usage;
            return 0;
        case SCREEN_PROPERTY_ROTATION:
            values[0] = win->rotation;
            return 0;
        case SCREEN_PROPERTY_BUFFER_SIZE:
            values[0] = win->bufferSize[0];
            values[1] = win->bufferSize[1];
            return 0;
        case SCREEN_PROPERTY_SOURCE_SIZE:
            values[0] = win->sourceSize[0];
            values[1] = win->sourceSize[1];
            return 0;
        default:
            return Fail(EINVAL);
    }
}

int screen_get_window_property_pv(screen_window_t win, int property, void** values) {
    if (!IsOurWindow(win) || !values || property != SCREEN_PROPERTY_DISPLAY) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_get_window_property_pv")) return -1;
    values[0] = &State().display;
    return 0;
}

int screen_get_display_property_iv(screen_display_t disp, int property, int* values) {
    if (disp != &State().display || !values || property != SCREEN_PROPERTY_SIZE) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_get_display_property_iv")) return -1;
    values[0] = disp->sizePx[0];
    values[1] = disp->sizePx[1];
    return 0;
}

int screen_get_display_property_pv(screen_display_t disp, int property, void** values) {
    if (disp != &State().display || !values || property != SCREEN_PROPERTY_MODE) return Fail(EINVAL);
    if (ConsumePlannedFailure("screen_get_display_property_pv")) return -1;
    values[0] = &disp->mode;
    return 0;
}

namespace platform {

EGLint EglSurfaceType() {
    PinLoadedGlDrivers();  // asked for the config request, after eglInitialize
    TPlatformState& s = State();
    if (!s.backend) s.backend = CreateWindowBackend(CurrentSettings().mode);
    return s.backend->SurfaceType();
}

EGLSurface EglCreateSurface(EGLDisplay display, EGLConfig config, screen_window_t win) {
    if (!IsOurWindow(win)) return EGL_NO_SURFACE;
    const int w = win->bufferSize[0], h = win->bufferSize[1];
    LogCall("surface_create " + std::to_string(w) + "x" + std::to_string(h));
    PinLoadedGlDrivers();  // the driver is loaded by now: eglInitialize came first
    // The game draws its first frame's size whatever the turns (its viewport is set once): a
    // surface of a turned buffer's size would crop its frames.
    win->surfaceMade = true;
    return State().backend->CreateSurface(display, config, win->frameSize[0], win->frameSize[1]);
}

void EglSurfaceCurrent(EGLDisplay display) {
    if (TPlatformState& s = State(); s.backend) s.backend->SurfaceCurrent(display);
}

EGLBoolean EglPresent(EGLDisplay display, EGLSurface surface) {
    TPlatformState& s = State();
    return s.backend ? s.backend->Present(display, surface) : eglSwapBuffers(display, surface);
}

bool GlDrawsOnCpu() {
    if (eglGetCurrentContext() == EGL_NO_CONTEXT) return false;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr) return false;
    const std::string_view name(renderer);
    return name.find("llvmpipe") != std::string_view::npos || name.find("softpipe") != std::string_view::npos;
}

void EglReleasing(EGLDisplay display) {
    if (TPlatformState& s = State(); s.backend) s.backend->ReleaseGl(display);
}

}  // namespace platform
