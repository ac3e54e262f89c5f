// The two places where EGL set-up depends on the backend. The headless backend's surfaceless
// EGL platform has no window configs and no native window, so the caller asks here for the
// surface type to put in its config request and for the surface itself; the rest of the EGL
// sequence is the same on every backend.
#pragma once

#include <EGL/egl.h>

#include "platform/Screen.h"

namespace platform {

// EGL_WINDOW_BIT for the X window, EGL_PBUFFER_BIT headless.
EGLint EglSurfaceType();

// A window surface on the X window, or headless a pbuffer of the window's buffer size.
// EGL_NO_SURFACE on failure (the EGL error stays set for the caller's message).
EGLSurface EglCreateSurface(EGLDisplay display, EGLConfig config, screen_window_t win);

// Called right after the game's context was made current on a surface from EglCreateSurface: the
// window's scaled frame target is made here (platform/ScaledFrame.h).
void EglSurfaceCurrent(EGLDisplay display);

// The buffer swap of a frame (after FramePresenting). In a window the frame is first drawn
// scaled to the window's size. The result is eglSwapBuffers'.
EGLBoolean EglPresent(EGLDisplay display, EGLSurface surface);

// True when the current GL context draws on the CPU (Mesa's llvmpipe or softpipe, the renderers of
// machines without a GPU), false for a GPU's driver or without a current context.
bool GlDrawsOnCpu();

// Before the game's context and its surface are destroyed, with the context still current.
void EglReleasing(EGLDisplay display);

// Called by the presenter just before each buffer swap: counts the frame, writes the frame
// dumps that are due, and releases the script input and payment answers planned for the next
// frame. Needs the GL context current. When the window's display has gone away it sends the
// navigator's exit (once), and the presenter must skip the swap (see DisplayLost).
void FramePresenting();

// True once the window's display went away: nothing can be presented any more, and the run is
// ending through the navigator's exit.
bool DisplayLost();

// Frames presented since the platform was last reset.
int PresentedFrameCount();

}  // namespace platform
