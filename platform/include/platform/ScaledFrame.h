// The desktop window's picture: the game draws its frames at the display size it was given,
// whatever the window's size; the window shows each frame scaled to fit inside it, centred, with
// black bars on the two sides left over, and maps pointer positions back through the same scale.
// When the device is turned the window shows the frame turned with it, by whole quarter turns
// clockwise, and pointer positions map back through the turn as well.
//
// The frame target lives in the game's GL context (a texture-backed framebuffer object bound in
// place of the window), so the game, its frame dumps and its scissor boxes keep working in frame
// pixels. Presenting draws that texture into the window from a second context that shares it, so
// the game's GL state (and the renderer's cache of it) is never touched.
//
// Main thread only, with an EGL display that is initialised.
#pragma once

#include <EGL/egl.h>
#include <GLES/gl.h>

namespace platform {

struct TPictureRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const TPictureRect&) const = default;
};

// The largest rectangle with the frame's proportions that fits the window, centred; each side is
// rounded to the nearest pixel. An empty window or frame gives an empty rectangle.
TPictureRect FitPicture(int frameW, int frameH, int windowW, int windowH);

// The frame's size once turned by quarterTurns quarter turns (any whole number; odd ones swap the
// sides).
void TurnedSize(int frameW, int frameH, int quarterTurns, int& turnedW, int& turnedH);

// A window pixel as a frame pixel, through the picture rectangle of the frame turned clockwise by
// quarterTurns (the picture has the turned frame's shape; rounded down; a point on a bar lies
// outside the frame, which the game clamps).
void WindowToFrame(const TPictureRect& picture, int frameW, int frameH, int windowX, int windowY, int& frameX,
                   int& frameY, int quarterTurns = 0);

// The share of the screen's work area a new window may take at most, in each direction.
inline constexpr int kWindowPercentOfWorkArea = 90;

// The size a window opens at for a frame on a screen whose work area is workW x workH: the frame
// scaled down (sides rounded down) to at most kWindowPercentOfWorkArea of the work area's height
// and width, never up.
void FitWindowToWorkArea(int frameW, int frameH, int workW, int workH, int& windowW, int& windowH);

// A window that puts the picture on the screen itself instead of the surface's buffer swap.
class IPictureSink {
public:
    virtual ~IPictureSink() = default;
    // Called with the presenting context current and the picture just drawn into the surface's
    // back buffer, widthPx x heightPx from its lower-left corner. False when it could not be
    // shown: the buffer swap shows it then.
    virtual bool ShowDrawnPicture(int widthPx, int heightPx) = 0;
};

class CScaledFrameTarget {
public:
    CScaledFrameTarget() = default;
    CScaledFrameTarget(const CScaledFrameTarget&) = delete;
    CScaledFrameTarget& operator=(const CScaledFrameTarget&) = delete;

    // With the game's context current on the window surface: makes (or remakes, for a new size)
    // the frame target and binds it as the game's framebuffer, and makes the presenting context
    // once. False when the GL lacks framebuffer objects or the target cannot be completed: the
    // game then draws into the window itself, unscaled.
    bool Attach(EGLDisplay display, EGLConfig config, int frameW, int frameH);
    bool IsAttached() const { return m_fbo != 0; }

    // The buffer swap of a frame: the frame target, turned clockwise by quarterTurns, drawn into
    // the window (windowW x windowH pixels) by the presenting context, then shown by the sink if
    // one is given and it can, else by eglSwapBuffers, then the game's context current again.
    // Without a target it is only the swap.
    EGLBoolean Present(EGLDisplay display, EGLSurface surface, int windowW, int windowH, int quarterTurns = 0,
                       IPictureSink* sink = nullptr);

    // With the game's context still current, before it and the surface go: deletes the target
    // and the presenting context.
    void Release(EGLDisplay display);

private:
    void DeleteTarget();
    void Draw(int windowW, int windowH, int quarterTurns) const;

    EGLContext m_presenter = EGL_NO_CONTEXT;
    GLuint m_fbo = 0;
    GLuint m_texture = 0;
    int m_frameW = 0, m_frameH = 0;
    int m_textureW = 0, m_textureH = 0;  // powers of two holding the frame in their lower-left part
};

}  // namespace platform
