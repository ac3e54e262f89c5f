// CBitmapFontText: scaled and rotated text on OpenGL ES, glyph by glyph as textured quads.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include <GLES/gl.h>

#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/GlesApi.h"
#include "render/GlesGlobals.h"
#include "render/RenderHost.h"
#include "text/BitmapFont.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::int32_t RoundToFixed(double value) { return static_cast<std::int32_t>(std::lround(value)); }

// Offsets of the effect copies in units of the scale, with their shade and alpha.
struct TEffectPass {
    int dx, dy;
};
constexpr TEffectPass kShadow[] = {{1, 1}};
constexpr TEffectPass kDiagonals[] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
constexpr TEffectPass kGlow[] = {{2, -2}, {-2, -2}, {-2, 2}, {2, 2}, {2, 0}, {0, -2}, {0, 2}, {-2, 0}};
constexpr TEffectPass kRing[] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}, {1, 0}, {0, -1}, {0, 1}, {-1, 0}};

}  // namespace

void RotatePointInternal_CBitmapFontText(FIXED_FLOAT_16 cx, FIXED_FLOAT_16 cy, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                                         FIXED_FLOAT_16 angle, FIXED_FLOAT_16& outX, FIXED_FLOAT_16& outY) {
    const double a = (static_cast<double>(angle) / 65536.0) * kPi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double fx = static_cast<double>(x), fy = static_cast<double>(y);
    outX = RoundToFixed(static_cast<double>(cx) + (fx * c - fy * s));
    outY = RoundToFixed(static_cast<double>(cy) + (fx * s + fy * c));
}

void CBitmapFontText::TextOutF(IDibBitmap* dst, const char* text, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                               FIXED_FLOAT_16 scaleX, FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle, unsigned char r,
                               unsigned char g, unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    if (!IsGles() || text == nullptr || dst == nullptr) {
        return;
    }
    if (clip != nullptr) {
        GLES_FlushBuffer();
        g_Gl.Enable(GL_SCISSOR_TEST);
        long long left = clip->x, top = clip->y, width = clip->width, height = clip->height;
        const TScreenState& screen = m_pGame->Screen();
        const TRenderSwitches& switches = m_pGame->RenderSwitches();
        const int screenH = screen.m_pBackBuffer != nullptr ? screen.m_pBackBuffer->m_Height : dst->m_Height;
        long long bottom = static_cast<long long>(screenH) - top - height;
        if ((switches.m_bDoubleResolution || switches.m_bScreenScaling) && dst->m_Width > 0 && dst->m_Height > 0) {
            left = left * screen.m_nDeviceWidth / dst->m_Width;
            width = width * screen.m_nDeviceWidth / dst->m_Width;
            bottom = bottom * screen.m_nDeviceHeight / dst->m_Height;
            height = height * screen.m_nDeviceHeight / dst->m_Height;
        }
        g_Gl.Scissor(static_cast<GLint>(left), static_cast<GLint>(bottom), static_cast<GLsizei>(width < 0 ? 0 : width),
                     static_cast<GLsizei>(height < 0 ? 0 : height));
    }

    const TEffectPass* passes = nullptr;
    int count = 0;
    unsigned char shade = 0;
    unsigned char passAlpha = alpha;
    switch (effect) {
        case kTextEffectShadow:
            passes = kShadow, count = 1;
            break;
        case kTextEffectBorder:
            passes = kDiagonals, count = 4;
            break;
        case kTextEffectGlow:
            passes = kGlow, count = 8, passAlpha = static_cast<unsigned char>(alpha < 224 ? 0 : alpha - 224);
            break;
        case kTextEffectWhiteBorder:
            passes = kDiagonals, count = 4, shade = 255, passAlpha = static_cast<unsigned char>(alpha / 2);
            break;
        case kTextEffectBorder2:
            passes = kRing, count = 8, passAlpha = static_cast<unsigned char>(alpha / 2);
            break;
        case kTextEffectWhiteBorder2:
            passes = kRing, count = 8, shade = 255, passAlpha = static_cast<unsigned char>(alpha / 2);
            break;
        default:
            break;
    }
    for (int i = 0; i < count; ++i) {
        TextOutF(dst, text, x + passes[i].dx * scaleX, y + passes[i].dy * scaleY, scaleX, scaleY, angle, shade, shade,
                 shade, kTextEffectNone, passAlpha, nullptr);
    }
    DrawTextOutFPass(dst, text, x, y, scaleX, scaleY, angle, r, g, b, alpha);

    if (clip != nullptr) {
        GLES_FlushBuffer();
        g_Gl.Disable(GL_SCISSOR_TEST);
    }
}

void CBitmapFontText::DrawTextOutFPass(IDibBitmap* dst, const char* text, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                                       FIXED_FLOAT_16 scaleX, FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle,
                                       unsigned char r, unsigned char g, unsigned char b, unsigned char alpha) {
    // 16.16 positions; kept in 64 bits and given up once outside the 16.16 range, which damaged
    // metrics or a large scale can reach.
    auto inRange = [](long long v) { return v > INT_MIN && v < INT_MAX; };
    long long px = x;
    long long py = static_cast<long long>(y) + (m_nHeightAdjustment / 2) * 65536LL;
    for (const char* p = text; *p != '\0' && inRange(px) && inRange(py); ++p) {
        if (*p == ' ') {
            px += static_cast<long long>(m_nSpaceWidth) * scaleX;
            continue;
        }
        const TVector2D_16 move = DrawCharF(dst, *p, static_cast<FIXED_FLOAT_16>(px), static_cast<FIXED_FLOAT_16>(py),
                                            scaleX, scaleY, angle, r, g, b, alpha, nullptr);
        px += static_cast<long long>(move.x) + static_cast<long long>(m_nLetterSpacing) * scaleX;
        py += move.y;
    }
}

TVector2D_16 CBitmapFontText::DrawCharF(IDibBitmap* dst, char c, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                                        FIXED_FLOAT_16 scaleX, FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle,
                                        unsigned char r, unsigned char g, unsigned char b, unsigned char alpha,
                                        TCoordRect2D* /*clip*/) {
    TVector2D_16 move;
    if (!IsGles() || m_pGlyphImage == nullptr || dst == nullptr) {
        return move;
    }
    const unsigned char code = static_cast<unsigned char>(c);
    const TGlyphRect& rect = m_GlyphRects[code];
    const int lead = m_ABC[code].A >> 2;
    const long long step = (static_cast<long long>(m_Advances[code]) + lead) * scaleX;
    RotatePointInternal_CBitmapFontText(
        0, 0, static_cast<FIXED_FLOAT_16>(std::clamp<long long>(step, INT_MIN, INT_MAX)), 0, angle, move.x, move.y);
    // A rectangle reaching past the glyph image (damaged metrics) is cut to it.
    const long long w = std::min<long long>(static_cast<long long>(rect.right) - rect.left, m_nImageWidth - rect.left);
    const long long h = std::min<long long>(static_cast<long long>(rect.bottom) - rect.top, m_nImageHeight - rect.top);
    if (w <= 0 || h <= 0 || alpha == 0) {
        return move;
    }
    // Half sizes are kept exact in 16.16 (not halved in whole pixels), so an unscaled, unturned
    // glyph lands on whole pixels with one texel per pixel.
    const double sx = scaleX / 65536.0, sy = scaleY / 65536.0;
    const double halfW = static_cast<double>(w) * 32768.0 * sx;
    const double halfH = static_cast<double>(h) * 32768.0 * sy;
    FIXED_FLOAT_16 cx = 0, cy = 0;
    RotatePointInternal_CBitmapFontText(
        x, y, RoundToFixed((lead * 65536.0 + static_cast<double>(w) * 32768.0) * sx),
        RoundToFixed((static_cast<double>(h) * 32768.0 - (m_nVerticalInset >> 2) * 65536.0) * sy), angle, cx, cy);
    const double a = (angle / 65536.0) * kPi / 180.0;
    const long long cosA = std::llround(std::cos(a) * 65535.0);
    const long long sinA = std::llround(std::sin(a) * 65535.0);
    const double corner[4][2] = {{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}};
    const std::int32_t u0 = rect.left * 65536, v0 = rect.top * 65536;
    const std::int32_t u1 = static_cast<std::int32_t>(rect.left + w) * 65536;
    const std::int32_t v1 = static_cast<std::int32_t>(rect.top + h) * 65536;
    const std::int32_t uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    QuorvanVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        const long long dx = std::llround(corner[i][0]);
        const long long dy = std::llround(corner[i][1]);
        quad[i].x = static_cast<std::int32_t>(cx + (dx * cosA - dy * sinA) / 65535);
        quad[i].y = static_cast<std::int32_t>(cy + (dx * sinA + dy * cosA) / 65535);
        quad[i].z = 0;
        quad[i].u = uv[i][0];
        quad[i].v = uv[i][1];
        quad[i].r = r;
        quad[i].g = g;
        quad[i].b = b;
        quad[i].a = alpha;
    }
    // Clockwise on screen: top-left, top-right, bottom-right, then top-left, bottom-right,
    // bottom-left.
    QuorvanVertex triangles[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, m_pGlyphImage);
    DrawTexturedTriangles_AbsoluteUV(m_pGame, dst, m_pGlyphImage, triangles, 2, false);
    return move;
}
