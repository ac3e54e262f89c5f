// The thin layer between the program and the window, EGL and the one-call platform services:
// the window with its EGL context and surface, presenting, turning the surface, the modal alert,
// the browser, and the payment-service wrappers. Failures are printed on stderr with the failing
// call's name and returned; none ends the program here. Main thread only.
#pragma once

#include <EGL/egl.h>

#include "platform/Screen.h"

// The display's size in physical pixels, filled by bbutil_init_egl.
extern int g_screen_resolution[2];
// The window group; also named in every payment request.
extern const char* const g_window_group_name;

// The module's state, for tests and the GL presenter.
struct TBbUtilState {
    EGLDisplay egl_disp = EGL_NO_DISPLAY;
    EGLConfig egl_conf = nullptr;
    EGLContext egl_ctx = EGL_NO_CONTEXT;
    EGLSurface egl_surf = EGL_NO_SURFACE;
    screen_context_t screen_ctx = nullptr;
    screen_window_t screen_win = nullptr;
    screen_display_t screen_disp = nullptr;
    int initialized = 0;
};
const TBbUtilState& bbutil_state();

// Window, EGL display, context and surface for GL ES 1.1, exact 8-8-8 colour. 0 on success;
// 1 on failure, after the message and bbutil_terminate. The start angle is the environment's
// ORIENTATION (platform::ReadStartAngle: missing or not a number is 0, a number that is not a
// quarter turn fails). On success the renderer's GL state cache is reset for the new context
// and bbutil_swap becomes its buffer swap (GLES_SetSwapBuffersHook), so the engine's GL back
// buffer presents through it; bbutil_terminate removes the hook.
int bbutil_init_egl(screen_context_t ctx);
// Releases what exists; safe twice and after a partial bbutil_init_egl.
void bbutil_terminate();
// Presents the frame (counted, and dumped when the platform asks); a failed swap is printed and
// the next frame goes on.
void bbutil_swap();
// Turns the window to 0, 90, 180 or 270 degrees, rebuilding the surface with swapped sizes for
// a quarter turn. 0 on success, 1 on failure.
int bbutil_rotate_screen_surface(int angle);
// Prints "<msg>: <text of eglGetError()>".
void bbutil_egl_perror(const char* msg);
// The text for an EGL error code; codes outside 0x3000..0x300E give "unknown error code".
const char* bbutil_egl_error_text(EGLint code);

// Formats into 1024 bytes and shows a modal alert with one "OK" button until it closes. Events
// of other services that arrive meanwhile are kept and handled after it.
void DBG(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Hands the address to the browser; true when the navigator took it.
bool BBWeb_OpenURL(const char* url);
// clock() of the process (kept for the engine's interface; nothing paces by it).
long GetTickCount();
// The platform's download hook: no download on this platform. Sets length to 0, returns null.
char* DownloadDataFromURL(const char* url, const char* postData, int flags, int& length);

// Asks for the payment-service events and the live (not local test) connection; false, with
// the failure printed, when the events cannot be had.
bool BBInApp_InitPurchases();
// Requests a purchase of sku for this window group; false, with the failure printed, when the
// service refused it (no answer will come).
bool BBInApp_RequestPurchase(const char* sku, unsigned int& requestId);
// Requests the list of existing purchases (the service may refresh it from its server); false as
// above.
bool BBInApp_GetExistingPurchases(unsigned int& requestId);
