#include "render/GlesGlobals.h"

#include <cmath>
#include <cstring>

#include "render/GlesApi.h"

GLfixed g_GLES_Coords[kGlesBatchCapacity * 3];
GLfixed g_GLES_TexCoords[kGlesBatchCapacity * 2];
GLubyte g_GLES_Colors[kGlesBatchCapacity * 4];
GLushort g_GLES_Indexes[kGlesBatchCapacity];
std::int32_t g_GLES_NumVertexUsed = 0;
std::int32_t g_GLES_NumIndexesUsed = 0;

int g_GLES_BlendModeEnabled = 0;
GLenum g_GLES_BlendSourceFactor = 0;
GLenum g_GLES_BlendDestFactor = 0;
GLenum g_GLES_TextEnvironmentMode = GL_MODULATE;
std::uint32_t g_TextEnvironmentColorARGB = 0;
GLuint g_Current_texName = 0;
int g_GLES_ColorBufferUsed = 0;
int g_GLES_ColorBufferUsageChanged = 1;
int g_bRenderingMode2D = 1;
int g_bViewportSetUp = 0;
GLint g_prefer_GL_LINEAR = GL_LINEAR;
GLint g_prefer_GL_NEAREST = GL_NEAREST;

namespace {

void (*s_swapBuffers)() = nullptr;

// Makes room for `indexes` more indices and switches the colour array on for the batch. The
// check is made before appending, never after, so the batch cannot overflow.
void PrepareAppend() {
    if (g_GLES_NumIndexesUsed >= kGlesFlushAtIndexes || !g_GLES_ColorBufferUsed) {
        GLES_FlushBuffer();
        g_GLES_ColorBufferUsageChanged = g_GLES_ColorBufferUsed ? 0 : 1;
        g_GLES_ColorBufferUsed = 1;
    }
}

void CopyColors(int firstVertex, int vertices, const GLubyte* colors) {
    GLubyte* out = g_GLES_Colors + firstVertex * 4;
    if (colors)
        std::memcpy(out, colors, static_cast<std::size_t>(vertices) * 4);
    else
        std::memset(out, 255, static_cast<std::size_t>(vertices) * 4);
}

}  // namespace

int GLES_RenderQUAD(const GLfixed* xy, const GLfixed* uv, const GLubyte* colors) {
    PrepareAppend();
    const int n = g_GLES_NumVertexUsed;
    for (int i = 0; i < 4; ++i) {
        g_GLES_Coords[(n + i) * 3 + 0] = xy[i * 2];
        g_GLES_Coords[(n + i) * 3 + 1] = xy[i * 2 + 1];
        g_GLES_Coords[(n + i) * 3 + 2] = 0;
        g_GLES_TexCoords[(n + i) * 2 + 0] = uv[i * 2];
        g_GLES_TexCoords[(n + i) * 2 + 1] = uv[i * 2 + 1];
    }
    GLushort* idx = g_GLES_Indexes + g_GLES_NumIndexesUsed;
    const GLushort base = static_cast<GLushort>(n);
    idx[0] = base;
    idx[1] = static_cast<GLushort>(base + 1);
    idx[2] = static_cast<GLushort>(base + 2);
    idx[3] = base;
    idx[4] = static_cast<GLushort>(base + 2);
    idx[5] = static_cast<GLushort>(base + 3);
    CopyColors(n, 4, colors);
    g_GLES_NumVertexUsed += 4;
    g_GLES_NumIndexesUsed += 6;
    return g_GLES_NumVertexUsed;
}

int GLES_RenderTRIANGLE_3D(const GLfixed* xyz, const GLfixed* uv, const GLubyte* colors) {
    PrepareAppend();
    const int n = g_GLES_NumVertexUsed;
    std::memcpy(g_GLES_Coords + n * 3, xyz, sizeof(GLfixed) * 9);
    std::memcpy(g_GLES_TexCoords + n * 2, uv, sizeof(GLfixed) * 6);
    GLushort* idx = g_GLES_Indexes + g_GLES_NumIndexesUsed;
    for (int i = 0; i < 3; ++i) idx[i] = static_cast<GLushort>(n + i);
    CopyColors(n, 3, colors);
    g_GLES_NumVertexUsed += 3;
    g_GLES_NumIndexesUsed += 3;
    return g_GLES_NumVertexUsed;
}

void GLES_FlushBuffer() {
    if (g_GLES_NumIndexesUsed != 0)
        g_Gl.DrawElements(GL_TRIANGLES, g_GLES_NumIndexesUsed, GL_UNSIGNED_SHORT, g_GLES_Indexes);
    g_GLES_NumIndexesUsed = 0;
    g_GLES_NumVertexUsed = 0;
}

void GLES_BlendMode(int enable, GLenum sourceFactor, GLenum destFactor) {
    if (!enable) {
        if (!g_GLES_BlendModeEnabled) return;
        GLES_FlushBuffer();
        g_Gl.Disable(GL_BLEND);
        g_GLES_BlendModeEnabled = 0;
        return;
    }
    if (g_GLES_BlendModeEnabled && g_GLES_BlendSourceFactor == sourceFactor && g_GLES_BlendDestFactor == destFactor)
        return;
    GLES_FlushBuffer();
    if (!g_GLES_BlendModeEnabled) g_Gl.Enable(GL_BLEND);
    g_Gl.BlendFunc(sourceFactor, destFactor);
    g_GLES_BlendModeEnabled = 1;
    g_GLES_BlendSourceFactor = sourceFactor;
    g_GLES_BlendDestFactor = destFactor;
}

void GLES_SetTextEnvironmentMode(GLenum mode) {
    if (g_GLES_TextEnvironmentMode == mode) return;
    GLES_FlushBuffer();
    g_Gl.TexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfixed>(mode));
    g_GLES_TextEnvironmentMode = mode;
}

void GLES_SetTextEnvironmentColor(GLfixed r, GLfixed g, GLfixed b, GLfixed a) {
    // For byte << 8 arguments the key is r | g << 8 | b << 16 | a << 24.
    const std::uint32_t key = static_cast<std::uint32_t>(g) | (static_cast<std::uint32_t>(r) >> 8) |
                              (static_cast<std::uint32_t>(b) << 8) | (static_cast<std::uint32_t>(a) << 16);
    if (key == g_TextEnvironmentColorARGB) return;
    GLES_FlushBuffer();
    const GLfixed color[4] = {r, g, b, a};
    g_Gl.TexEnvxv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, color);
    g_TextEnvironmentColorARGB = key;
}

void GLES_SelectTexture(GLuint name, GLint /*filter*/) {
    if (name == g_Current_texName) return;
    GLES_FlushBuffer();
    if (name != 0) {
        if (g_Current_texName == 0) g_Gl.Enable(GL_TEXTURE_2D);
        g_Gl.BindTexture(GL_TEXTURE_2D, name);
    } else {
        g_Gl.Disable(GL_TEXTURE_2D);
    }
    g_Current_texName = name;
}

void Renderer_SetBlendMode(int mode, IDibBitmap* /*bitmap*/) {
    switch (mode) {
        case Renderer_BlendMode_Normal:
            GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            GLES_SetTextEnvironmentMode(GL_MODULATE);
            GLES_SetTextEnvironmentColor(0, 0, 0, 0);
            break;
        case Renderer_BlendMode_Additive:
            GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE);
            GLES_SetTextEnvironmentMode(GL_MODULATE);
            GLES_SetTextEnvironmentColor(0, 0, 0, 0);
            break;
        case Renderer_BlendMode_TexEnvBlend:
            // The colour is left alone: the textured blit sets it to its own colour.
            GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            GLES_SetTextEnvironmentMode(GL_BLEND);
            break;
        case Renderer_BlendMode_Opaque:
            GLES_BlendMode(0, 0, 0);
            GLES_SetTextEnvironmentMode(GL_MODULATE);
            GLES_SetTextEnvironmentColor(0, 0, 0, 0);
            break;
        default:
            break;
    }
}

void GLES_SetupXY_UV_Pointers() {
    g_Gl.VertexPointer(3, GL_FIXED, 0, g_GLES_Coords);
    g_Gl.TexCoordPointer(2, GL_FIXED, 0, g_GLES_TexCoords);
    g_Gl.EnableClientState(GL_COLOR_ARRAY);
    g_Gl.ColorPointer(4, GL_UNSIGNED_BYTE, 0, g_GLES_Colors);
}

void GLES_RestoreCachingSupport() {
    // Each step forces a cache value that differs from the wanted one, so the GL call is issued
    // whatever the foreign code left behind.
    g_GLES_ColorBufferUsageChanged = 1;
    g_TextEnvironmentColorARGB = 255;
    GLES_SetTextEnvironmentColor(0, 0, 0, 0);
    g_GLES_TextEnvironmentMode = GL_BLEND;
    GLES_SetTextEnvironmentMode(GL_MODULATE);
    g_GLES_BlendModeEnabled = 0;
    g_GLES_BlendSourceFactor = GL_ONE;
    g_GLES_BlendDestFactor = GL_ZERO;
    GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    g_Current_texName = 1;
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    GLES_SetupXY_UV_Pointers();
}

float internal_scurve(float t) {
    float angle = t * 180.0f - 90.0f;
    if (angle >= 360.0f) angle -= 360.0f;
    if (angle < 0.0f) angle += 360.0f;
    const double s = std::sin(angle * 0.017453292);
    return static_cast<float>(static_cast<int>(s * 255.0) + 256) / 512.0f;
}

namespace {

struct TViewportSize {
    int w, h;
    bool turned;
};

TViewportSize ViewportSize(const TGlesProjection& p) {
    if (!p.turnedScreen) return {p.storedWidth, p.storedHeight, false};
    const int small = p.storedWidth < p.storedHeight ? p.storedWidth : p.storedHeight;
    const int large = p.storedWidth < p.storedHeight ? p.storedHeight : p.storedWidth;
    return {small, large, true};
}

void SetViewportOnce(const TGlesProjection& p, const TViewportSize& vp) {
    if (g_bViewportSetUp) return;
    if (p.physicalViewport)
        g_Gl.Viewport(0, 0, p.physicalWidth, p.physicalHeight);
    else
        g_Gl.Viewport(0, 0, vp.w, vp.h);
    g_bViewportSetUp = 1;
}

GLfixed DegreesFixed(double degrees) { return static_cast<GLfixed>(degrees * 65536.0); }

// Sets the viewport (once) and starts a fresh projection matrix. A landscape game on a turned
// screen is first turned by -90 degrees; true then, and the caller adds its own turn after.
bool BeginProjectionMatrix(const TGlesProjection& p) {
    const TViewportSize vp = ViewportSize(p);
    SetViewportOnce(p, vp);
    const bool turnedLandscape = p.logicalHeight < p.logicalWidth && vp.turned;
    g_Gl.MatrixMode(GL_PROJECTION);
    g_Gl.LoadIdentity();
    if (turnedLandscape) g_Gl.Rotatex(DegreesFixed(-90.0), 0, 0, 0x10000);
    return turnedLandscape;
}

}  // namespace

void GLES_ApplyProjection2D(const TGlesProjection& p) {
    g_bRenderingMode2D = 1;
    GLES_FlushBuffer();
    g_Gl.Hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    g_Gl.Enable(GL_CULL_FACE);
    g_Gl.FrontFace(GL_CCW);
    g_Gl.CullFace(GL_FRONT);
    const bool turnedLandscape = BeginProjectionMatrix(p);
    const int W = p.logicalWidth, H = p.logicalHeight;
    g_Gl.Orthox(0, W << 8, H << 8, 0, 0, 0x10000);
    if (turnedLandscape) {
        g_Gl.Translatex(W << 7, H << 7, 0);
        const float eased = internal_scurve((static_cast<float>(p.rotationAngle >> 8) + 90.0f) / 180.0f);
        g_Gl.Rotatex(DegreesFixed(eased * 180.0), 0, 0, 0x10000);
        g_Gl.Translatex(-(W << 7), -(H << 7), 0);
    }
    g_Gl.MatrixMode(GL_MODELVIEW);
    g_Gl.LoadIdentity();
}

void GLES_ApplyProjection3D(const TGlesProjection& p) {
    g_bRenderingMode2D = 0;
    GLES_FlushBuffer();
    g_Gl.Hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    const bool turnedLandscape = BeginProjectionMatrix(p);
    const int W = p.logicalWidth, H = p.logicalHeight;
    const double t = std::tan(0.26179916666666664);
    const double a = H != 0 ? static_cast<double>(W) / H : 1.0;
    g_Gl.Frustumx(DegreesFixed(-t * a), DegreesFixed(t * a), DegreesFixed(-t), DegreesFixed(t), 0x10000,
                  1000 * 0x10000);
    if (turnedLandscape) g_Gl.Rotatex(DegreesFixed(-(p.rotationAngle / 256.0) - 90.0), 0, 0, 0x10000);
    g_Gl.MatrixMode(GL_MODELVIEW);
    g_Gl.LoadIdentity();
    g_Gl.Rotatex(DegreesFixed(-180.0), 0, 0, 0x10000);
    g_Gl.Rotatex(DegreesFixed(-180.0), 0, 0x10000, 0);
    g_Gl.Translatex(-(W << 7), -(H << 7), 0);
    g_Gl.Translatex(0, 0, static_cast<GLfixed>((H << 7) / t));
}

void GLES_RenderToScreenOrSwapBuffers() {
    if (s_swapBuffers) s_swapBuffers();
}

void GLES_SetSwapBuffersHook(void (*swap)()) { s_swapBuffers = swap; }

void GLES_ResetStateCache() {
    g_GLES_NumVertexUsed = 0;
    g_GLES_NumIndexesUsed = 0;
    g_GLES_BlendModeEnabled = 0;
    g_GLES_BlendSourceFactor = 0;
    g_GLES_BlendDestFactor = 0;
    g_GLES_TextEnvironmentMode = GL_MODULATE;
    g_TextEnvironmentColorARGB = 0;
    g_Current_texName = 0;
    g_GLES_ColorBufferUsed = 0;
    g_GLES_ColorBufferUsageChanged = 1;
    g_bRenderingMode2D = 1;
    g_bViewportSetUp = 0;
}
