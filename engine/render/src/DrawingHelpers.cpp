#include "render/DrawingHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "TargetRect.h"
#include "render/DrawingUtils.h"
#include "render/GlesApi.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

int StoredWidth(IDibBitmap* b) {
    auto* s = dynamic_cast<CWinDibBitmap*>(b);
    return s ? s->GetStoredWidth() : b->m_BufferWidth;
}
int StoredHeight(IDibBitmap* b) {
    auto* s = dynamic_cast<CWinDibBitmap*>(b);
    return s ? s->GetStoredHeight() : b->m_BufferHeight;
}

FIXED_FLOAT_16 Mul16(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b) {
    return static_cast<FIXED_FLOAT_16>((static_cast<std::int64_t>(a) * b) >> 16);
}

// Two triangles over the four corners (top-left, top-right, bottom-right, bottom-left) with src's
// whole area as texture, mirrored by the flags. Sprites are measured by their buffer size: the
// stored size halved for a 2x image, in the same texels the texture data's coordinates count.
void DrawCornerQuad(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, const FIXED_FLOAT_16 cx[4],
                    const FIXED_FLOAT_16 cy[4], int flags, int r, int g, int b, int a) {
    const int W = src->m_BufferWidth, H = src->m_BufferHeight;
    FIXED_FLOAT_16 uL = 0, uR = W << 16, vT = 0, vB = H << 16;
    if (flags & 1) std::swap(uL, uR);
    if (flags & 2) std::swap(vT, vB);
    const FIXED_FLOAT_16 u[4] = {uL, uR, uR, uL};
    const FIXED_FLOAT_16 v[4] = {vT, vT, vB, vB};
    static const int kOrder[6] = {0, 1, 2, 0, 2, 3};
    QuorvanVertex tris[6];
    for (int i = 0; i < 6; ++i) {
        const int c = kOrder[i];
        tris[i].x = cx[c];
        tris[i].y = cy[c];
        tris[i].z = 0;
        tris[i].u = u[c];
        tris[i].v = v[c];
        tris[i].r = static_cast<std::uint8_t>(r);
        tris[i].g = static_cast<std::uint8_t>(g);
        tris[i].b = static_cast<std::uint8_t>(b);
        tris[i].a = static_cast<std::uint8_t>(a);
    }
    DrawTexturedTriangles_AbsoluteUV(game, dst, src, tris, 2, false);
}

}  // namespace

void BitBlt_Clipped(IDibBitmap* dst, IDibBitmap* src, int x, int y, int w, int h, int sx, int sy, int alphaOffset,
                    const TCoordRect2D& clip, int mode) {
    if (!dst || !src) return;
    if (w == 0) w = StoredWidth(src);
    if (h == 0) h = StoredHeight(src);
    const int vx0 = std::max(clip.x, x), vx1 = std::min(x + w, clip.x + clip.width);
    const int vy0 = std::max(clip.y, y), vy1 = std::min(y + h, clip.y + clip.height);
    if (vx0 > vx1 || vy0 > vy1) return;
    if (vx0 > x) {
        sx += vx0 - x;
        w -= vx0 - x;
        x = vx0;
    }
    if (vy0 > y) {
        sy += vy0 - y;
        h -= vy0 - y;
        y = vy0;
    }
    w = std::min(w, vx1 - vx0);
    h = std::min(h, vy1 - vy0);
    if (w <= 0 || h <= 0) return;
    if (mode == 1)
        src->BitBltAdditive(dst, x, y, w, h, sx, sy, alphaOffset);
    else if (mode == 2)
        src->BitBltMultiply(dst, 255, 255, 255, x, y, w, h, sx, sy, alphaOffset);
    else
        src->BitBlt(dst, x, y, w, h, sx, sy, alphaOffset);
}

void DrawQuad(IRenderHost* game, IDibBitmap* dst, int blendMode, int x0, int y0, int x1, int y1, int x2, int y2, int x3,
              int y3, const int colours[16]) {
    GLES_FlushBuffer();
    g_Gl.ShadeModel(GL_SMOOTH);
    if (!IsGlesRenderer(game) || !dst || dst != ScreenOf(game).m_pDrawTarget || !colours) return;
    Renderer_SetBlendMode(blendMode, dst);
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    const GLfixed xy[8] = {x0 << 8, y0 << 8, x1 << 8, y1 << 8, x2 << 8, y2 << 8, x3 << 8, y3 << 8};
    const GLfixed uv[8] = {};
    GLubyte c[16];
    for (int i = 0; i < 16; ++i) c[i] = static_cast<GLubyte>(colours[i]);
    GLES_RenderQUAD(xy, uv, c);
    GLES_FlushBuffer();
    g_Gl.ShadeModel(GL_FLAT);
}

void FillRectangleGradientV(IRenderHost*, IDibBitmap* dst, int x, int y, int w, int h, unsigned char r0,
                            unsigned char g0, unsigned char b0, unsigned char r1, unsigned char g1, unsigned char b1) {
    GLES_FlushBuffer();
    g_Gl.ShadeModel(GL_SMOOTH);
    if (dst) {
        TTargetRect rect = ToTargetRect(dst->GetOrientationMode(), dst->m_Width, dst->m_Height, x, y, w, h);
        if (ClipTargetRect(rect, StoredWidth(dst), StoredHeight(dst))) {
            // Both colours are opaque: blending would read every pixel under the rectangle only to
            // weigh it by zero.
            Renderer_SetBlendMode(Renderer_BlendMode_Opaque, dst);
            const GLubyte c[16] = {r0, g0, b0, 255, r0, g0, b0, 255, r1, g1, b1, 255, r1, g1, b1, 255};
            RenderTargetRect(rect, c);
            GLES_FlushBuffer();
            // Callers draw on in the normal blend mode this fill has always left behind.
            Renderer_SetBlendMode(Renderer_BlendMode_Normal, dst);
        }
    }
    GLES_FlushBuffer();
    g_Gl.ShadeModel(GL_FLAT);
}

void DrawShifted(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                 FIXED_FLOAT_16 anchorX, FIXED_FLOAT_16 anchorY, FIXED_FLOAT_16 top, FIXED_FLOAT_16 bottom, int flags,
                 int alpha) {
    if (!dst || !src) return;
    const FIXED_FLOAT_16 W = src->m_BufferWidth << 16, H = src->m_BufferHeight << 16;
    const FIXED_FLOAT_16 px = x - anchorX, py = y - anchorY;
    const FIXED_FLOAT_16 cx[4] = {px + top, px + top + W, px + bottom + W, px + bottom};
    const FIXED_FLOAT_16 cy[4] = {py, py, py + H, py + H};
    DrawCornerQuad(game, dst, src, cx, cy, flags, 255, 255, 255, alpha & 255);
}

void DrawStretched(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                   FIXED_FLOAT_16 anchorX, FIXED_FLOAT_16 anchorY, FIXED_FLOAT_16 kx, FIXED_FLOAT_16 ky, int flags,
                   int alpha, FIXED_FLOAT_16 s0, FIXED_FLOAT_16 s1, FIXED_FLOAT_16 s2, FIXED_FLOAT_16 s3, int r, int g,
                   int b) {
    if (!dst || !src) return;
    const FIXED_FLOAT_16 W = src->m_BufferWidth << 16, H = src->m_BufferHeight << 16;
    const FIXED_FLOAT_16 px = x - Mul16(kx, anchorX), py = y - Mul16(ky, anchorY);
    const FIXED_FLOAT_16 kW = Mul16(kx, W), kH = Mul16(ky, H);
    const FIXED_FLOAT_16 cx[4] = {px + Mul16(kx, s0), px + kW + Mul16(kx, s1), px + kW + Mul16(kx, s2),
                                  px + Mul16(kx, s3)};
    const FIXED_FLOAT_16 cy[4] = {py, py, py + kH, py + kH};
    DrawCornerQuad(game, dst, src, cx, cy, flags, r & 255, g & 255, b & 255, alpha & 255);
}

FIXED_FLOAT SCurve(FIXED_FLOAT t, CQuorvanImageRotatorScaler* rotator) {
    FIXED_FLOAT angle = ((t * 46080) >> 8) - 23040;
    if (angle < 0) angle += 92160;
    if (angle >= 92160) angle -= 92160;
    if (!rotator || !rotator->GetSin256()) return 0;
    return (rotator->GetSin256()[rotator->GetLookupIndex(angle)] + 256) >> 1;
}

FIXED_FLOAT_16 SCurve16(FIXED_FLOAT_16 t, CQuorvanImageRotatorScaler*) {
    std::int64_t angle = ((static_cast<std::int64_t>(t) * (180 * 65536)) >> 16) - 90 * 65536;
    const std::int64_t full = 360LL * 65536;
    angle %= full;  // the same as repeated subtraction or addition of a full turn
    if (angle < 0) angle += full;
    const double s = std::sin(static_cast<double>(angle) / 65536.0 * 0.017453292);
    return (static_cast<int>(s * 65535.0) + 65536) >> 1;
}

double GetSCurvedValue(IRenderHost*, double from, double value, double to) {
    if (to == from) return from;
    const double t = (value - from) / (to - from);
    const FIXED_FLOAT_16 t16 = static_cast<FIXED_FLOAT_16>(std::lround(t * 65536.0));
    return from + (to - from) * SCurve16(t16, nullptr) / 65536.0;
}

double atan2_degree_360(double y, double x) {
    double a = std::atan2(y, x) / 6.283185307 * 360.0;
    if (y < 0) a += 360.0;
    return a;
}

int FormatWithCommasInto(int n, char (&out)[kCommasTextSize]) {
    // The digits are written backwards from the magnitude, so the sign never lands among them.
    // Widened first: the magnitude of INT_MIN does not fit an int.
    long long magnitude = n < 0 ? -static_cast<long long>(n) : n;
    char reversed[kCommasTextSize];
    int length = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) reversed[length++] = ',';
        reversed[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude > 0);
    if (n < 0) reversed[length++] = '-';
    for (int i = 0; i < length; ++i) out[i] = reversed[length - 1 - i];
    out[length] = '\0';
    return length;
}

CommonString FormatWithCommas(int n) {
    char text[kCommasTextSize];
    FormatWithCommasInto(n, text);
    return CommonString(text);
}

FIXED_FLOAT GetDistanceBetweenRects(const TRect2D& a, const TRect2D& b) {
    const bool above = a.y + a.height<b.y, below = a.y> b.y + b.height;
    const bool left = a.x + a.width<b.x, right = a.x> b.x + b.width;
    const bool overlapV = !above && !below, overlapH = !left && !right;
    const int gapY = above ? b.y - (a.y + a.height) : (below ? a.y - (b.y + b.height) : 0);
    const int gapX = right ? a.x - (b.x + b.width) : (left ? b.x - (a.x + a.width) : 0);
    if (overlapH) return overlapV ? 0 : gapY;
    if (overlapV) return gapX;
    std::int64_t dx = gapX, dy = gapY;
    if (std::llabs(dx) + std::llabs(dy) < 46337) {
        const double d = std::sqrt(static_cast<double>((dx * dx >> 8) + (dy * dy >> 8)) / 256.0);
        return static_cast<FIXED_FLOAT>(std::lround(d * 256.0));
    }
    dx /= 128;
    dy /= 128;
    const double d = std::sqrt(static_cast<double>((dx * dx >> 8) + (dy * dy >> 8)) / 256.0);
    return static_cast<FIXED_FLOAT>(std::lround(d * 256.0) * 128);
}

namespace {

// The two vertices of a GL line, kept apart from the batch arrays.
GLfixed g_LineCoords[6];
GLubyte g_LineColours[8];

void DrawGlLine(int x0, int y0, int x1, int y1, int r, int g, int b, int a0, int a1) {
    const GLfixed xyz[6] = {x0 << 8, y0 << 8, 0, x1 << 8, y1 << 8, 0};
    const GLubyte c[8] = {static_cast<GLubyte>(r),  static_cast<GLubyte>(g), static_cast<GLubyte>(b),
                          static_cast<GLubyte>(a0), static_cast<GLubyte>(r), static_cast<GLubyte>(g),
                          static_cast<GLubyte>(b),  static_cast<GLubyte>(a1)};
    std::copy(xyz, xyz + 6, g_LineCoords);
    std::copy(c, c + 8, g_LineColours);
    static const GLubyte kIndices[2] = {0, 1};
    g_Gl.EnableClientState(GL_COLOR_ARRAY);
    g_Gl.EnableClientState(GL_VERTEX_ARRAY);
    g_Gl.ColorPointer(4, GL_UNSIGNED_BYTE, 0, g_LineColours);
    g_Gl.VertexPointer(3, GL_FIXED, 0, g_LineCoords);
    g_Gl.DrawElements(GL_LINES, 2, GL_UNSIGNED_BYTE, kIndices);
}

}  // namespace

void DebugDrawLine_Start(IRenderHost* game) {
    if (!IsGlesRenderer(game)) return;
    GLES_FlushBuffer();
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);
    g_Gl.EnableClientState(GL_COLOR_ARRAY);
    g_Gl.EnableClientState(GL_VERTEX_ARRAY);
}

void DebugDrawLine(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alphaStart,
                   int alphaEnd) {
    if (!IsGlesRenderer(game)) return;
    DrawGlLine(x0, y0, x1, y1, r & 255, g & 255, b & 255, alphaStart & 255, alphaEnd & 255);
}

void DebugDrawLine_End(IRenderHost* game) {
    if (!IsGlesRenderer(game)) return;
    GLES_RestoreCachingSupport();
}

int GLES_DrawLine_AA(IRenderHost*, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0, int alpha1) {
    GLES_FlushBuffer();
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);
    const bool smooth = (alpha0 & 255) != (alpha1 & 255);
    if (smooth) g_Gl.ShadeModel(GL_SMOOTH);
    DrawGlLine(x0, y0, x1, y1, r & 255, g & 255, b & 255, alpha0 & 255, alpha1 & 255);
    if (smooth) g_Gl.ShadeModel(GL_FLAT);
    GLES_RestoreCachingSupport();
    return 1;
}
