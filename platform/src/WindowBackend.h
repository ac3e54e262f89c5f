// The seam between the screen service and the thing that shows the window: headless (EGL's
// surfaceless platform and a pbuffer) or an X window. One file pair per backend.
#pragma once

#include <EGL/egl.h>

#include <memory>
#include <vector>

#include "platform/InputScript.h"
#include "platform/Settings.h"

namespace platform {

class IWindowBackend {
public:
    virtual ~IWindowBackend() = default;
    virtual const char* Name() const = 0;
    // Value for EGL_PLATFORM, chosen before the program's first eglGetDisplay.
    virtual const char* EglPlatformName() const = 0;
    // The window for frames of widthPx x heightPx (the display's size).
    virtual bool CreateWindow(int widthPx, int heightPx) = 0;
    // The frame takes another size (the shell sets the window's buffer size) before its first
    // surface is made: the window opens anew at the size that fits it. The size the first
    // surface is made at stays the frame's for good (the game sets its viewport once).
    virtual void ResizeWindow(int widthPx, int heightPx) = 0;
    // The device is held at angle degrees, having started at startAngle (quarter turns): a window
    // shows the frame turned by the difference, as the player holding the device sees it. Turns
    // change only how the window shows the frame, never the frame.
    virtual void TurnWindow(int angle, int startAngle) = 0;
    virtual void ShowWindow() = 0;
    virtual void DestroyWindow() = 0;
    virtual EGLint SurfaceType() const = 0;
    // The surface the game draws into, for frames of widthPx x heightPx.
    virtual EGLSurface CreateSurface(EGLDisplay display, EGLConfig config, int widthPx, int heightPx) = 0;
    // The game's GL context was just made current on the surface made last: a window that scales
    // its picture makes its frame target here (ScaledFrame.h).
    virtual void SurfaceCurrent(EGLDisplay) {}
    // The buffer swap of a frame, the game's context current.
    virtual EGLBoolean Present(EGLDisplay display, EGLSurface surface) { return eglSwapBuffers(display, surface); }
    // The game's context is still current and about to go with the surface: release what
    // SurfaceCurrent made.
    virtual void ReleaseGl(EGLDisplay) {}
    // Just before the buffer swap of a frame, with the GL context current. False when the window
    // is gone for good (its display went away): the swap must not be tried.
    virtual bool BeforeSwap() = 0;
    // Native input since the last call, already turned into script actions.
    virtual void PollInput(std::vector<TScriptLine>& out) = 0;
    // Waits up to timeoutMs (-1: no limit) for native input or a byte on wakeFd. Returns false
    // at once when no input can ever arrive.
    virtual bool WaitForInput(int timeoutMs, int wakeFd) = 0;
};

std::unique_ptr<IWindowBackend> CreateHeadlessWindowBackend();
// Null (with one "platform:" line) when the X display cannot be opened.
std::unique_ptr<IWindowBackend> CreateX11WindowBackend();

// The backend for the mode, falling back to headless when the X display is not there.
std::unique_ptr<IWindowBackend> CreateWindowBackend(DisplayMode mode);

}  // namespace platform
