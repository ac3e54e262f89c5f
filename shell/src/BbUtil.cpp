// The window, the EGL display, context and surface, presenting, and turning the surface.
#include "shell/BbUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/EglSurface.h"
#include "platform/Settings.h"
#include "render/GlesGlobals.h"

int g_screen_resolution[2] = {0, 0};
const char* const g_window_group_name = "main_app_group";

namespace {

TBbUtilState g_bb;

constexpr const char* kEglErrorTexts[] = {
    "function succeeded",
    "EGL is not initialized, or could not be initialized, for the specified display",
    "cannot access a requested resource",
    "failed to allocate resources for the requested operation",
    "an unrecognized attribute or attribute value was passed in an attribute list",
    "an EGLConfig argument does not name a valid EGLConfig",
    "an EGLContext argument does not name a valid EGLContext",
    "the current surface of the calling thread is no longer valid",
    "an EGLDisplay argument does not name a valid EGLDisplay",
    "arguments are inconsistent",
    "an EGLNativePixmapType argument does not refer to a valid native pixmap",
    "an EGLNativeWindowType argument does not refer to a valid native window",
    "one or more argument values are invalid",
    "an EGLSurface argument does not name a valid surface configured for rendering",
    "a power management event has occurred",
    "unknown error code",
};
static_assert(std::size(kEglErrorTexts) == 16, "one text per code 0x3000..0x300E plus the fallback");

constexpr int kWindowUsage = SCREEN_USAGE_OPENGL_ES1 | SCREEN_USAGE_ROTATION;  // 0x210

void ScreenPerror(const char* call) { std::fprintf(stderr, "%s: %s\n", call, std::strerror(errno)); }

int FailInit() {
    bbutil_terminate();
    return 1;
}

// The first config with exactly 8 bits of red, green and blue, preferring one without alpha
// (it matches the X window's 24-bit visual); exact sizes keep dumped frames reproducible
// whatever deeper configs the driver lists first.
bool ChooseExactConfig(EGLDisplay display, EGLConfig& chosen) {
    const EGLint attribs[] = {
        EGL_SURFACE_TYPE, platform::EglSurfaceType(), EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(display, attribs, configs, 64, &count) || count <= 0) return false;
    int best = -1;
    for (int i = 0; i < count; ++i) {
        EGLint r = 0, g = 0, b = 0, a = 0;
        eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &r);
        eglGetConfigAttrib(display, configs[i], EGL_GREEN_SIZE, &g);
        eglGetConfigAttrib(display, configs[i], EGL_BLUE_SIZE, &b);
        eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &a);
        if (r != 8 || g != 8 || b != 8) continue;
        if (a == 0) {
            best = i;
            break;
        }
        if (best < 0) best = i;
    }
    if (best < 0) return false;
    chosen = configs[best];
    return true;
}

}  // namespace

const TBbUtilState& bbutil_state() { return g_bb; }

const char* bbutil_egl_error_text(EGLint code) {
    const long index = static_cast<long>(code) - 0x3000;
    if (index < 0 || index > 14) return kEglErrorTexts[15];
    return kEglErrorTexts[index];
}

void bbutil_egl_perror(const char* msg) { std::fprintf(stderr, "%s: %s\n", msg, bbutil_egl_error_text(eglGetError())); }

int bbutil_init_egl(screen_context_t ctx) {
    g_bb.screen_ctx = ctx;

    g_bb.egl_disp = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (g_bb.egl_disp == EGL_NO_DISPLAY) {
        bbutil_egl_perror("eglGetDisplay");
        return FailInit();
    }
    if (!eglInitialize(g_bb.egl_disp, nullptr, nullptr)) {
        bbutil_egl_perror("eglInitialize");
        return FailInit();
    }
    if (!eglBindAPI(EGL_OPENGL_ES_API)) {
        bbutil_egl_perror("eglBindApi");
        return FailInit();
    }
    if (!ChooseExactConfig(g_bb.egl_disp, g_bb.egl_conf)) return FailInit();
    g_bb.egl_ctx = eglCreateContext(g_bb.egl_disp, g_bb.egl_conf, EGL_NO_CONTEXT, nullptr);
    if (g_bb.egl_ctx == EGL_NO_CONTEXT) {
        bbutil_egl_perror("eglCreateContext");
        return FailInit();
    }

    if (screen_create_window(&g_bb.screen_win, ctx) != 0) {
        g_bb.screen_win = nullptr;
        ScreenPerror("screen_create_window");
        return FailInit();
    }
    if (screen_create_window_group(g_bb.screen_win, g_window_group_name) != 0) {
        ScreenPerror("screen_create_window_group");
        return FailInit();
    }
    const int format = SCREEN_FORMAT_RGBX8888;
    if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_FORMAT, &format) != 0) {
        ScreenPerror("screen_set_window_property_iv(SCREEN_PROPERTY_FORMAT)");
        return FailInit();
    }
    if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_USAGE, &kWindowUsage) != 0) {
        ScreenPerror("screen_set_window_property_iv(SCREEN_PROPERTY_USAGE)");
        return FailInit();
    }

    if (screen_get_window_property_pv(g_bb.screen_win, SCREEN_PROPERTY_DISPLAY,
                                      reinterpret_cast<void**>(&g_bb.screen_disp)) != 0) {
        ScreenPerror("screen_get_window_property_pv");
        return FailInit();
    }
    if (screen_get_display_property_iv(g_bb.screen_disp, SCREEN_PROPERTY_SIZE, g_screen_resolution) != 0) {
        ScreenPerror("screen_get_display_property_iv");
        return FailInit();
    }
    screen_display_mode_t* mode = nullptr;
    if (screen_get_display_property_pv(g_bb.screen_disp, SCREEN_PROPERTY_MODE, reinterpret_cast<void**>(&mode)) != 0 ||
        !mode) {
        ScreenPerror("screen_get_display_property_pv");
        return FailInit();
    }
    int size[2] = {0, 0};
    if (screen_get_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_BUFFER_SIZE, size) != 0) {
        ScreenPerror("screen_get_window_property_iv");
        return FailInit();
    }

    const int angle = platform::ReadStartAngle();
    const bool modeWide = mode->width > mode->height;
    const bool modeTall = mode->width < mode->height;
    const bool bufferWide = size[0] > size[1];
    const bool bufferTall = size[1] > size[0];
    if (angle == 0 || angle == 180) {
        if ((modeWide && bufferTall) || (modeTall && bufferWide)) std::swap(size[0], size[1]);
    } else if (angle == 90 || angle == 270) {
        if ((modeWide && bufferWide) || (modeTall && bufferTall)) std::swap(size[0], size[1]);
    } else {
        std::fprintf(stderr, "Navigator returned an unexpected orientation angle.\n");
        return FailInit();
    }

    if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_BUFFER_SIZE, size) != 0) {
        ScreenPerror("screen_set_window_property_iv");
        return FailInit();
    }
    if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_ROTATION, &angle) != 0) {
        ScreenPerror("screen_set_window_property_iv");
        return FailInit();
    }
    if (screen_create_window_buffers(g_bb.screen_win, 2) != 0) {
        ScreenPerror("screen_create_window_buffers");
        return FailInit();
    }

    g_bb.egl_surf = platform::EglCreateSurface(g_bb.egl_disp, g_bb.egl_conf, g_bb.screen_win);
    if (g_bb.egl_surf == EGL_NO_SURFACE) {
        bbutil_egl_perror("eglCreateWindowSurface");
        return FailInit();
    }
    if (!eglMakeCurrent(g_bb.egl_disp, g_bb.egl_surf, g_bb.egl_surf, g_bb.egl_ctx)) {
        bbutil_egl_perror("eglMakeCurrent");
        return FailInit();
    }
    platform::EglSurfaceCurrent(g_bb.egl_disp);
    if (!eglSwapInterval(g_bb.egl_disp, 1)) {
        bbutil_egl_perror("eglSwapInterval");
        return FailInit();
    }
    // A new context starts with GL's defaults: the renderer's cache must not remember an older
    // one. The engine's back buffer presents through bbutil_swap from now on.
    GLES_ResetStateCache();
    GLES_SetSwapBuffersHook(bbutil_swap);
    g_bb.initialized = 1;
    return 0;
}

void bbutil_terminate() {
    // Nothing to present into once the surface is gone.
    GLES_SetSwapBuffersHook(nullptr);
    if (g_bb.egl_disp != EGL_NO_DISPLAY) {
        platform::EglReleasing(g_bb.egl_disp);
        eglMakeCurrent(g_bb.egl_disp, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (g_bb.egl_surf != EGL_NO_SURFACE) {
            eglDestroySurface(g_bb.egl_disp, g_bb.egl_surf);
            g_bb.egl_surf = EGL_NO_SURFACE;
        }
        if (g_bb.egl_ctx != EGL_NO_CONTEXT) {
            eglDestroyContext(g_bb.egl_disp, g_bb.egl_ctx);
            g_bb.egl_ctx = EGL_NO_CONTEXT;
        }
        if (g_bb.screen_win) {
            screen_destroy_window(g_bb.screen_win);
            g_bb.screen_win = nullptr;
        }
        eglTerminate(g_bb.egl_disp);
        g_bb.egl_disp = EGL_NO_DISPLAY;
    }
    eglReleaseThread();
    g_bb.initialized = 0;
}

void bbutil_swap() {
    platform::FramePresenting();
    if (platform::DisplayLost()) return;  // the swap would wait for a server that is gone
    if (!platform::EglPresent(g_bb.egl_disp, g_bb.egl_surf)) bbutil_egl_perror("eglSwapBuffers");
}

int bbutil_rotate_screen_surface(int angle) {
    if (angle != 0 && angle != 90 && angle != 180 && angle != 270) {
        std::fprintf(stderr, "Invalid angle\n");
        return 1;
    }
    int rotation = 0;
    if (screen_get_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_ROTATION, &rotation) != 0) {
        ScreenPerror("screen_get_window_property_iv(SCREEN_PROPERTY_ROTATION)");
        return 1;
    }
    int size[2] = {0, 0};
    if (screen_get_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_BUFFER_SIZE, size) != 0) {
        ScreenPerror("screen_get_window_property_iv(SCREEN_PROPERTY_BUFFER_SIZE)");
        return 1;
    }
    const int turn = angle - rotation;
    if (turn == 90 || turn == -90 || turn == 270 || turn == -270) {
        std::swap(size[0], size[1]);
        if (!eglMakeCurrent(g_bb.egl_disp, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT)) {
            bbutil_egl_perror("eglMakeCurrent");
            return 1;
        }
        if (!eglDestroySurface(g_bb.egl_disp, g_bb.egl_surf)) {
            bbutil_egl_perror("eglDestroySurface");
            return 1;
        }
        g_bb.egl_surf = EGL_NO_SURFACE;
        if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_SOURCE_SIZE, size) != 0) {
            ScreenPerror("screen_set_window_property_iv");
            return 1;
        }
        if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_BUFFER_SIZE, size) != 0) {
            ScreenPerror("screen_set_window_property_iv");
            return 1;
        }
        g_bb.egl_surf = platform::EglCreateSurface(g_bb.egl_disp, g_bb.egl_conf, g_bb.screen_win);
        if (g_bb.egl_surf == EGL_NO_SURFACE) {
            bbutil_egl_perror("eglCreateWindowSurface");
            return 1;
        }
        if (!eglMakeCurrent(g_bb.egl_disp, g_bb.egl_surf, g_bb.egl_surf, g_bb.egl_ctx)) {
            bbutil_egl_perror("eglMakeCurrent");
            return 1;
        }
        platform::EglSurfaceCurrent(g_bb.egl_disp);
        if (!eglSwapInterval(g_bb.egl_disp, 1)) {
            bbutil_egl_perror("eglSwapInterval");
            return 1;
        }
    }
    if (screen_set_window_property_iv(g_bb.screen_win, SCREEN_PROPERTY_ROTATION, &angle) != 0) {
        ScreenPerror("screen_set_window_property_iv");
        return 1;
    }
    return 0;
}
