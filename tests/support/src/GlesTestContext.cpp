#include "testsupport/GlesTestContext.h"

#include <EGL/eglext.h>

#include "render/GlesGlobals.h"

namespace {

// One display for the whole process, never terminated: terminating unloads Mesa's driver, and
// LeakSanitizer can then no longer tell the driver's lifetime allocations by their module.
EGLDisplay SharedDisplay() {
    static EGLDisplay display = [] {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay) return EGL_NO_DISPLAY;
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor)) return EGL_NO_DISPLAY;
        return d;
    }();
    return display;
}

}  // namespace

CGlesTestContext::CGlesTestContext(int w, int h) : m_W(w), m_H(h) {
    m_Display = SharedDisplay();
    if (m_Display == EGL_NO_DISPLAY) return;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_ES_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    8,
                                    EGL_NONE};
    EGLConfig config{};
    EGLint count = 0;
    if (!eglChooseConfig(m_Display, configAttribs, &config, 1, &count) || count < 1) return;
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint contextAttribs[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    m_Context = eglCreateContext(m_Display, config, EGL_NO_CONTEXT, contextAttribs);
    if (m_Context == EGL_NO_CONTEXT) return;
    const EGLint surfaceAttribs[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    m_Surface = eglCreatePbufferSurface(m_Display, config, surfaceAttribs);
    if (m_Surface == EGL_NO_SURFACE) return;
    m_Valid = eglMakeCurrent(m_Display, m_Surface, m_Surface, m_Context) == EGL_TRUE;
}

CGlesTestContext::~CGlesTestContext() {
    if (m_Display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_Surface != EGL_NO_SURFACE) eglDestroySurface(m_Display, m_Surface);
    if (m_Context != EGL_NO_CONTEXT) eglDestroyContext(m_Display, m_Context);
}

void CGlesTestContext::BeginScene(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    GLES_ResetStateCache();
    TGlesProjection p;
    p.storedWidth = p.logicalWidth = m_W;
    p.storedHeight = p.logicalHeight = m_H;
    GLES_ApplyProjection2D(p);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    GLES_BlendMode(0, 0, 0);
    GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GLES_SetupXY_UV_Pointers();
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::array<std::uint8_t, 4> CGlesTestContext::Pixel(int x, int y) const {
    std::array<std::uint8_t, 4> p{};
    glReadPixels(x, m_H - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

std::vector<std::uint8_t> CGlesTestContext::ReadFrame() const {
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(m_W) * m_H * 4);
    glReadPixels(0, 0, m_W, m_H, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<std::uint8_t> out(raw.size());
    for (int y = 0; y < m_H; ++y)
        std::copy(raw.begin() + static_cast<long>(m_H - 1 - y) * m_W * 4,
                  raw.begin() + static_cast<long>(m_H - y) * m_W * 4, out.begin() + static_cast<long>(y) * m_W * 4);
    return out;
}

namespace {

struct TCounts {
    int drawElements = 0, indexTotal = 0, blendFunc = 0, enable = 0, disable = 0, bindTexture = 0, texEnv = 0,
        texImage = 0, compressed = 0, viewport = 0, total = 0;
};
TCounts g_Counts;
TGlesApi g_Real;

}  // namespace

CGlesCallCounter::CGlesCallCounter() : m_Saved(g_Gl) {
    g_Real = m_Saved;
    g_Counts = {};
    g_Gl.DrawElements = [](GLenum mode, GLsizei count, GLenum type, const void* indices) {
        ++g_Counts.drawElements;
        g_Counts.indexTotal += count;
        ++g_Counts.total;
        g_Real.DrawElements(mode, count, type, indices);
    };
    g_Gl.BlendFunc = [](GLenum s, GLenum d) {
        ++g_Counts.blendFunc;
        ++g_Counts.total;
        g_Real.BlendFunc(s, d);
    };
    g_Gl.Enable = [](GLenum c) {
        ++g_Counts.enable;
        ++g_Counts.total;
        g_Real.Enable(c);
    };
    g_Gl.Disable = [](GLenum c) {
        ++g_Counts.disable;
        ++g_Counts.total;
        g_Real.Disable(c);
    };
    g_Gl.BindTexture = [](GLenum t, GLuint n) {
        ++g_Counts.bindTexture;
        ++g_Counts.total;
        g_Real.BindTexture(t, n);
    };
    g_Gl.TexEnvx = [](GLenum t, GLenum p, GLfixed v) {
        ++g_Counts.texEnv;
        ++g_Counts.total;
        g_Real.TexEnvx(t, p, v);
    };
    g_Gl.TexEnvxv = [](GLenum t, GLenum p, const GLfixed* v) {
        ++g_Counts.texEnv;
        ++g_Counts.total;
        g_Real.TexEnvxv(t, p, v);
    };
    g_Gl.TexImage2D = [](GLenum t, GLint l, GLint i, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum ty,
                         const void* p) {
        ++g_Counts.texImage;
        ++g_Counts.total;
        g_Real.TexImage2D(t, l, i, w, h, b, f, ty, p);
    };
    g_Gl.CompressedTexImage2D = [](GLenum t, GLint l, GLenum f, GLsizei w, GLsizei h, GLint b, GLsizei s,
                                   const void* d) {
        ++g_Counts.compressed;
        ++g_Counts.total;
        g_Real.CompressedTexImage2D(t, l, f, w, h, b, s, d);
    };
    g_Gl.Viewport = [](GLint x, GLint y, GLsizei w, GLsizei h) {
        ++g_Counts.viewport;
        ++g_Counts.total;
        g_Real.Viewport(x, y, w, h);
    };
}

CGlesCallCounter::~CGlesCallCounter() { g_Gl = m_Saved; }

void CGlesCallCounter::Reset() { g_Counts = {}; }
int CGlesCallCounter::drawElements() const { return g_Counts.drawElements; }
int CGlesCallCounter::drawElementsIndexTotal() const { return g_Counts.indexTotal; }
int CGlesCallCounter::blendFunc() const { return g_Counts.blendFunc; }
int CGlesCallCounter::enable() const { return g_Counts.enable; }
int CGlesCallCounter::disable() const { return g_Counts.disable; }
int CGlesCallCounter::bindTexture() const { return g_Counts.bindTexture; }
int CGlesCallCounter::texEnv() const { return g_Counts.texEnv; }
int CGlesCallCounter::texImage() const { return g_Counts.texImage; }
int CGlesCallCounter::compressedTexImage() const { return g_Counts.compressed; }
int CGlesCallCounter::viewport() const { return g_Counts.viewport; }
int CGlesCallCounter::total() const { return g_Counts.total; }

namespace {

decltype(TGlesApi::TexImage2D) g_RecordedTexImage = nullptr;
std::vector<CTexImageRecorder::TUpload> g_Uploads;

}  // namespace

CTexImageRecorder::CTexImageRecorder() : m_Saved(g_Gl.TexImage2D) {
    g_RecordedTexImage = m_Saved;
    g_Uploads.clear();
    g_Gl.TexImage2D = [](GLenum t, GLint l, GLint i, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum ty,
                         const void* p) {
        g_Uploads.push_back({f, ty});
        g_RecordedTexImage(t, l, i, w, h, b, f, ty, p);
    };
}

CTexImageRecorder::~CTexImageRecorder() {
    g_Gl.TexImage2D = m_Saved;
    g_Uploads.clear();
}

const std::vector<CTexImageRecorder::TUpload>& CTexImageRecorder::Uploads() const { return g_Uploads; }
