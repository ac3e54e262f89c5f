#include "platform/ScaledFrame.h"

#include <GLES/glext.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "platform/Settings.h"

namespace platform {
namespace {

struct TFramebufferCalls {
    PFNGLGENFRAMEBUFFERSOESPROC gen = nullptr;
    PFNGLDELETEFRAMEBUFFERSOESPROC del = nullptr;
    PFNGLBINDFRAMEBUFFEROESPROC bind = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DOESPROC attach = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSOESPROC status = nullptr;
    bool ok() const { return gen && del && bind && attach && status; }
};

// The extension's entry points, when the current context offers the extension.
TFramebufferCalls FramebufferCalls() {
    TFramebufferCalls calls;
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr ||
        std::string_view(extensions).find("GL_OES_framebuffer_object") == std::string_view::npos)
        return calls;
    calls.gen = reinterpret_cast<PFNGLGENFRAMEBUFFERSOESPROC>(eglGetProcAddress("glGenFramebuffersOES"));
    calls.del = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSOESPROC>(eglGetProcAddress("glDeleteFramebuffersOES"));
    calls.bind = reinterpret_cast<PFNGLBINDFRAMEBUFFEROESPROC>(eglGetProcAddress("glBindFramebufferOES"));
    calls.attach = reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DOESPROC>(eglGetProcAddress("glFramebufferTexture2DOES"));
    calls.status =
        reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSOESPROC>(eglGetProcAddress("glCheckFramebufferStatusOES"));
    return calls;
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

int QuarterTurns(int quarterTurns) { return ((quarterTurns % 4) + 4) % 4; }

// A point of the turned frame (y down, continuous) as the point of the frame it shows. Turning
// clockwise moves the frame's left edge to the top: the turned frame's top-left corner shows
// the frame's bottom-left one.
void TurnedToFrame(int frameW, int frameH, int quarterTurns, double tx, double ty, double& fx, double& fy) {
    switch (QuarterTurns(quarterTurns)) {
        case 1:
            fx = ty;
            fy = frameH - tx;
            return;
        case 2:
            fx = frameW - tx;
            fy = frameH - ty;
            return;
        case 3:
            fx = frameW - ty;
            fy = tx;
            return;
        default:
            fx = tx;
            fy = ty;
            return;
    }
}

}  // namespace

TPictureRect FitPicture(int frameW, int frameH, int windowW, int windowH) {
    if (frameW <= 0 || frameH <= 0 || windowW <= 0 || windowH <= 0) return {};
    const double scale = std::min(static_cast<double>(windowW) / frameW, static_cast<double>(windowH) / frameH);
    TPictureRect r;
    r.w = std::clamp(static_cast<int>(std::lround(frameW * scale)), 1, windowW);
    r.h = std::clamp(static_cast<int>(std::lround(frameH * scale)), 1, windowH);
    r.x = (windowW - r.w) / 2;
    r.y = (windowH - r.h) / 2;
    return r;
}

void TurnedSize(int frameW, int frameH, int quarterTurns, int& turnedW, int& turnedH) {
    const bool across = QuarterTurns(quarterTurns) % 2 == 1;
    turnedW = across ? frameH : frameW;
    turnedH = across ? frameW : frameH;
}

void WindowToFrame(const TPictureRect& picture, int frameW, int frameH, int windowX, int windowY, int& frameX,
                   int& frameY, int quarterTurns) {
    if (picture.w <= 0 || picture.h <= 0) {
        frameX = windowX;
        frameY = windowY;
        return;
    }
    int turnedW = 0, turnedH = 0;
    TurnedSize(frameW, frameH, quarterTurns, turnedW, turnedH);
    // The centre of a window pixel, into the turned frame, then back through the turn; floor
    // keeps points beyond the picture's top or left edge negative.
    const double tx = (windowX - picture.x + 0.5) * turnedW / picture.w;
    const double ty = (windowY - picture.y + 0.5) * turnedH / picture.h;
    double fx = 0, fy = 0;
    TurnedToFrame(frameW, frameH, quarterTurns, tx, ty, fx, fy);
    frameX = static_cast<int>(std::floor(fx));
    frameY = static_cast<int>(std::floor(fy));
}

void FitWindowToWorkArea(int frameW, int frameH, int workW, int workH, int& windowW, int& windowH) {
    windowW = frameW;
    windowH = frameH;
    if (frameW <= 0 || frameH <= 0 || workW <= 0 || workH <= 0) return;
    const long maxW = std::max(1L, static_cast<long>(workW) * kWindowPercentOfWorkArea / 100);
    const long maxH = std::max(1L, static_cast<long>(workH) * kWindowPercentOfWorkArea / 100);
    if (frameW <= maxW && frameH <= maxH) return;
    // The side that runs out of room first decides; the other keeps the frame's proportions.
    if (static_cast<long>(frameW) * maxH <= static_cast<long>(frameH) * maxW) {
        windowH = static_cast<int>(maxH);
        windowW = std::max(1, static_cast<int>(static_cast<long>(frameW) * maxH / frameH));
    } else {
        windowW = static_cast<int>(maxW);
        windowH = std::max(1, static_cast<int>(static_cast<long>(frameH) * maxW / frameW));
    }
}

bool CScaledFrameTarget::Attach(EGLDisplay display, EGLConfig config, int frameW, int frameH) {
    const TFramebufferCalls fb = FramebufferCalls();
    DeleteTarget();
    if (!fb.ok() || frameW <= 0 || frameH <= 0) {
        Notice("the GL has no framebuffer objects; the window shows the game unscaled");
        return false;
    }
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    m_textureW = PowerOfTwoAtLeast(frameW);
    m_textureH = PowerOfTwoAtLeast(frameH);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_textureW, m_textureH, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // The renderer keeps its own record of the bound texture: it must stay true.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    fb.gen(1, &m_fbo);
    fb.bind(GL_FRAMEBUFFER_OES, m_fbo);
    fb.attach(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, m_texture, 0);
    if (fb.status(GL_FRAMEBUFFER_OES) != GL_FRAMEBUFFER_COMPLETE_OES) {
        Notice("the window's frame target is incomplete; the window shows the game unscaled");
        DeleteTarget();
        return false;
    }
    m_frameW = frameW;
    m_frameH = frameH;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (m_presenter == EGL_NO_CONTEXT) m_presenter = eglCreateContext(display, config, eglGetCurrentContext(), nullptr);
    if (m_presenter == EGL_NO_CONTEXT) {
        Notice("no context to present the window's frames; the window shows the game unscaled");
        DeleteTarget();
        return false;
    }
    return true;
}

void CScaledFrameTarget::DeleteTarget() {
    if (m_fbo != 0) {
        const TFramebufferCalls fb = FramebufferCalls();
        if (fb.ok()) {
            fb.bind(GL_FRAMEBUFFER_OES, 0);
            fb.del(1, &m_fbo);
        }
        m_fbo = 0;
    }
    if (m_texture != 0) glDeleteTextures(1, &m_texture);
    m_texture = 0;
    m_frameW = m_frameH = 0;
}

void CScaledFrameTarget::Release(EGLDisplay display) {
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) DeleteTarget();
    m_fbo = 0;
    m_texture = 0;
    if (m_presenter != EGL_NO_CONTEXT) eglDestroyContext(display, m_presenter);
    m_presenter = EGL_NO_CONTEXT;
}

EGLBoolean CScaledFrameTarget::Present(EGLDisplay display, EGLSurface surface, int windowW, int windowH,
                                       int quarterTurns, IPictureSink* sink) {
    if (m_fbo == 0 || m_presenter == EGL_NO_CONTEXT) return eglSwapBuffers(display, surface);
    const EGLContext game = eglGetCurrentContext();
    // Making the presenter current finishes the game's commands for the shared texture.
    if (!eglMakeCurrent(display, surface, surface, m_presenter)) return EGL_FALSE;
    Draw(windowW, windowH, quarterTurns);
    const EGLBoolean swapped =
        sink != nullptr && sink->ShowDrawnPicture(windowW, windowH) ? EGL_TRUE : eglSwapBuffers(display, surface);
    if (!eglMakeCurrent(display, surface, surface, game)) return EGL_FALSE;
    return swapped;
}

void CScaledFrameTarget::Draw(int windowW, int windowH, int quarterTurns) const {
    int turnedW = 0, turnedH = 0;
    TurnedSize(m_frameW, m_frameH, quarterTurns, turnedW, turnedH);
    const TPictureRect r = FitPicture(turnedW, turnedH, windowW, windowH);
    glViewport(0, 0, windowW, windowH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (r.w <= 0 || r.h <= 0) return;
    // Normalised device coordinates of the picture; GL's y runs upwards from the window's foot.
    const GLfloat x0 = 2.0f * r.x / windowW - 1.0f, x1 = 2.0f * (r.x + r.w) / windowW - 1.0f;
    const GLfloat y1 = 1.0f - 2.0f * r.y / windowH, y0 = 1.0f - 2.0f * (r.y + r.h) / windowH;
    const GLfloat xy[] = {x0, y0, x1, y0, x0, y1, x1, y1};
    // Each corner of the picture (bottom-left, bottom-right, top-left, top-right) shows the
    // frame's point that the turn brings there; the texture's rows start at the frame's foot.
    const double corners[4][2] = {{0, 1.0 * turnedH}, {1.0 * turnedW, 1.0 * turnedH}, {0, 0}, {1.0 * turnedW, 0}};
    GLfloat uv[8];
    for (int i = 0; i < 4; ++i) {
        double fx = 0, fy = 0;
        TurnedToFrame(m_frameW, m_frameH, quarterTurns, corners[i][0], corners[i][1], fx, fy);
        uv[2 * i] = static_cast<GLfloat>(fx / m_textureW);
        uv[2 * i + 1] = static_cast<GLfloat>((m_frameH - fy) / m_textureH);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, xy);
    glTexCoordPointer(2, GL_FLOAT, 0, uv);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

}  // namespace platform
