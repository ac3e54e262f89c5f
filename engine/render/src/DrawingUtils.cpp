#include "render/DrawingUtils.h"

#include <algorithm>
#include <cstring>

#include "Pixel565.h"
#include "render/GlesApi.h"
#include "render/GlesGlobals.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

QuorvanVertex g_globalQuorvanVertex_2_3[6];

namespace {

CWinDibBitmap* Soft(IDibBitmap* b) { return dynamic_cast<CWinDibBitmap*>(b); }

// The planes a software path may read; null when absent or only a placeholder.
unsigned char* DrawablePixels(IDibBitmap* b) {
    CWinDibBitmap* s = Soft(b);
    return s ? s->PixelsForDrawing() : b->GetBits();
}
unsigned char* DrawableAlpha(IDibBitmap* b) {
    CWinDibBitmap* s = Soft(b);
    return s ? s->AlphaForDrawing() : b->GetAlphaBits();
}

bool Is16Bit(IDibBitmap* b) { return b->GetBitsPerPixel() <= 16; }

// The fills' rectangle rule: a negative extent is turned round, then clipped to dst's size.
bool FillSpan(IDibBitmap* dst, int x, int y, int w, int h, int& x0, int& y0, int& x1, int& y1) {
    x0 = x;
    x1 = x + w;
    if (w < 0) {
        x0 = x + w + 1;
        x1 = x + 1;
    }
    y0 = y;
    y1 = y + h;
    if (h < 0) {
        y0 = y + h + 1;
        y1 = y + 1;
    }
    const int W = dst->m_Width, H = dst->m_Height;
    if (x0 > W || y0 > H || x1 < 0 || y1 < 0) return false;
    x0 = std::clamp(x0, 0, W);
    x1 = std::clamp(x1, 0, W);
    y0 = std::clamp(y0, 0, H);
    y1 = std::clamp(y1, 0, H);
    return x1 > x0 && y1 > y0;
}

void UntexturedQuad(int x0, int y0, int x1, int y1, int r, int g, int b, int a) {
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    const GLfixed xy[8] = {x0 << 8, y0 << 8, x1 << 8, y0 << 8, x1 << 8, y1 << 8, x0 << 8, y1 << 8};
    const GLfixed uv[8] = {};
    const GLubyte c[4] = {static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b),
                          static_cast<GLubyte>(a)};
    GLubyte colours[16];
    for (int i = 0; i < 4; ++i) std::memcpy(colours + i * 4, c, 4);
    GLES_RenderQUAD(xy, uv, colours);
}

}  // namespace

void DrawTexturedTriangles_AbsoluteUV(IRenderHost*, IDibBitmap* dst, IDibBitmap* src, const QuorvanVertex* triangles,
                                      int n, bool ignoreColours) {
    if (!src) return;
    auto* data = static_cast<QuorvanTextureData*>(src->GetHWResource());
    if (data) data->BltTriangles_AbsoluteUV_Fast(dst, triangles, n, ignoreColours);
}

void Bitmap_StretchDrawF16_Transparent(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 dx,
                                       FIXED_FLOAT_16 dy, FIXED_FLOAT_16 dw, FIXED_FLOAT_16 dh, FIXED_FLOAT_16 sx,
                                       FIXED_FLOAT_16 sy, FIXED_FLOAT_16 sw, FIXED_FLOAT_16 sh, int alphaOffset,
                                       int blendMode) {
    if (!dst || !src || 255 + alphaOffset <= 0) return;
    const std::uint8_t alpha = static_cast<std::uint8_t>(std::min(255 + alphaOffset, 255));
    auto set = [alpha](QuorvanVertex& v, int x, int y, int u, int w) {
        v.x = x;
        v.y = y;
        v.z = 0;
        v.u = u;
        v.v = w;
        v.r = v.g = v.b = 255;
        v.a = alpha;
    };
    QuorvanVertex* t = g_globalQuorvanVertex_2_3;
    set(t[0], dx, dy, sx, sy);
    set(t[1], dx + dw, dy, sx + sw, sy);
    set(t[2], dx + dw, dy + dh, sx + sw, sy + sh);
    set(t[3], dx, dy, sx, sy);
    set(t[4], dx + dw, dy + dh, sx + sw, sy + sh);
    set(t[5], dx, dy + dh, sx, sy + sh);
    Renderer_SetBlendMode(blendMode, src);
    DrawTexturedTriangles_AbsoluteUV(game, dst, src, t, 2, false);
}

void Bitmap_StretchDrawF16(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy,
                           FIXED_FLOAT_16 dw, FIXED_FLOAT_16 dh, FIXED_FLOAT_16 sx, FIXED_FLOAT_16 sy,
                           FIXED_FLOAT_16 sw, FIXED_FLOAT_16 sh, int blendMode) {
    Bitmap_StretchDrawF16_Transparent(game, dst, src, dx, dy, dw, dh, sx, sy, sw, sh, 0, blendMode);
}

void Bitmap_StretchDrawF_Transparent(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT dx,
                                     FIXED_FLOAT dy, FIXED_FLOAT dw, FIXED_FLOAT dh, FIXED_FLOAT sx, FIXED_FLOAT sy,
                                     FIXED_FLOAT sw, FIXED_FLOAT sh, int alphaOffset, int blendMode) {
    Bitmap_StretchDrawF16_Transparent(game, dst, src, dx << 8, dy << 8, dw << 8, dh << 8, sx << 8, sy << 8, sw << 8,
                                      sh << 8, alphaOffset, blendMode);
}

void Bitmap_StretchDrawF(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT dx, FIXED_FLOAT dy,
                         FIXED_FLOAT dw, FIXED_FLOAT dh, FIXED_FLOAT sx, FIXED_FLOAT sy, FIXED_FLOAT sw, FIXED_FLOAT sh,
                         int blendMode) {
    Bitmap_StretchDrawF_Transparent(game, dst, src, dx, dy, dw, dh, sx, sy, sw, sh, 0, blendMode);
}

void FillRectangle_Transparent(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, int r, int g, int b,
                               int a) {
    if (!dst) return;
    if (a == 255) {
        dst->FillRectangle(x, y, w, h, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                           static_cast<unsigned char>(b));
        return;
    }
    if (!dst->GetBits()) return;
    int x0, y0, x1, y1;
    if (!FillSpan(dst, x, y, w, h, x0, y0, x1, y1)) return;
    if (IsGlesRenderer(game) && dst == ScreenOf(game).m_pDrawTarget) {
        Renderer_SetBlendMode(Renderer_BlendMode_Normal, dst);
        UntexturedQuad(x0, y0, x1, y1, r, g, b, a);
        return;
    }
    unsigned char* pixels = DrawablePixels(dst);
    if (!pixels || !Is16Bit(dst)) return;
    const int stride = dst->m_Width;
    const int kr = (r & 255) >> 3, kg = (g & 255) >> 2, kb = (b & 255) >> 3;
    for (int yy = y0; yy < y1; ++yy) {
        for (int xx = x0; xx < x1; ++xx) {
            std::uint16_t p;
            std::memcpy(&p, pixels + (static_cast<std::size_t>(yy) * stride + xx) * 2, 2);
            int cr = p >> 11, cg = (p >> 5) & 63, cb = p & 31;
            cr += (a * (kr - cr)) >> 8;
            cg += (a * (kg - cg)) >> 8;
            cb += (a * (kb - cb)) >> 8;
            p = static_cast<std::uint16_t>(cr << 11 | cg << 5 | cb);
            std::memcpy(pixels + (static_cast<std::size_t>(yy) * stride + xx) * 2, &p, 2);
        }
    }
}

void FillRectangle_Additive(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, int r, int g, int b) {
    if (!dst || !dst->GetBits()) return;
    int x0, y0, x1, y1;
    if (!FillSpan(dst, x, y, w, h, x0, y0, x1, y1)) return;
    if (IsGlesRenderer(game)) {
        Renderer_SetBlendMode(Renderer_BlendMode_Additive, dst);
        UntexturedQuad(x0, y0, x1, y1, r, g, b, 255);
        return;
    }
    unsigned char* pixels = DrawablePixels(dst);
    if (!pixels || !Is16Bit(dst)) return;
    const int stride = dst->m_Width;
    for (int yy = y0; yy < y1; ++yy) {
        for (int xx = x0; xx < x1; ++xx) {
            std::uint16_t p;
            std::memcpy(&p, pixels + (static_cast<std::size_t>(yy) * stride + xx) * 2, 2);
            const int cr = std::min((p >> 11) + ((r & 255) >> 3), 31);
            const int cg = std::min(((p >> 5) & 63) + ((g & 255) >> 2), 63);
            const int cb = std::min((p & 31) + ((b & 255) >> 3), 31);
            p = static_cast<std::uint16_t>(cr << 11 | cg << 5 | cb);
            std::memcpy(pixels + (static_cast<std::size_t>(yy) * stride + xx) * 2, &p, 2);
        }
    }
}

void SetRectAccordingToOrientationMode(IDibBitmap* bitmap, int& x, int& y, int& w, int& h) {
    if (!bitmap) return;
    const int mode = bitmap->GetOrientationMode();
    if (mode != 1 && mode != 2) return;
    CWinDibBitmap* s = Soft(bitmap);
    const int storedHeight = s ? s->GetStoredHeight() : bitmap->m_BufferHeight;
    const int nx = mode == 1 ? y : storedHeight - h - y;
    const int ny = mode == 1 ? bitmap->m_Height - w - x : x;
    x = nx;
    y = ny;
    std::swap(w, h);
}

void Bitmap_StretchDraw(IDibBitmap* dst, IDibBitmap* src, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    if (!dst || !src) return;
    unsigned char* sp = DrawablePixels(src);
    unsigned char* dp = DrawablePixels(dst);
    CWinDibBitmap* ss = Soft(src);
    CWinDibBitmap* ds = Soft(dst);
    if (!sp || !dp || !ss || !ds || ss->GetBytesPerPixel() != 2 || ds->GetBytesPerPixel() != 2) return;
    if (dst->GetOrientationMode() == 1 || dst->GetOrientationMode() == 2) {
        SetRectAccordingToOrientationMode(dst, x, y, w, h);
        SetRectAccordingToOrientationMode(src, sx, sy, sw, sh);
    }
    if (w == 0) w = src->m_Width;
    if (h == 0) h = src->m_Height;
    if (sw == 0) sw = src->m_Width;
    if (sh == 0) sh = src->m_Height;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    const int srcW = ss->GetStoredWidth(), srcH = ss->GetStoredHeight();
    const int dstW = ds->GetStoredWidth(), dstH = ds->GetStoredHeight();
    // The source rectangle must lie inside the source: reads never leave the plane.
    sx = std::clamp(sx, 0, srcW);
    sy = std::clamp(sy, 0, srcH);
    sw = std::min(sw, srcW - sx);
    sh = std::min(sh, srcH - sy);
    if (sw <= 0 || sh <= 0) return;
    // The exact mapping of the bitmap's own stretch: a 16.16 step cut short never reaches the last
    // source column of a stretch close to one to one.
    const int x0 = std::max(x, 0), x1 = std::min(x + w, dstW);
    const int y0 = std::max(y, 0), y1 = std::min(y + h, dstH);
    if (x0 >= x1 || y0 >= y1) return;
    unsigned char* alpha = DrawableAlpha(src);
    for (int yy = y0; yy < y1; ++yy) {
        const int ty = sy + render_detail::StretchSourceIndex(yy - y, sh, h);
        for (int xx = x0; xx < x1; ++xx) {
            const int tx = sx + render_detail::StretchSourceIndex(xx - x, sw, w);
            const std::size_t si = static_cast<std::size_t>(ty) * srcW + tx;
            std::uint16_t s, d;
            std::memcpy(&s, sp + si * 2, 2);
            unsigned char* out = dp + (static_cast<std::size_t>(yy) * dstW + xx) * 2;
            if (alpha) {
                const int a = alpha[si];
                if (a == 0) continue;
                if (a < 255) {
                    std::memcpy(&d, out, 2);
                    const int r = (d >> 11) + ((a * ((s >> 11) - (d >> 11))) >> 8);
                    const int g = ((d >> 5) & 63) + ((a * (((s >> 5) & 63) - ((d >> 5) & 63))) >> 8);
                    const int b = (d & 31) + ((a * ((s & 31) - (d & 31))) >> 8);
                    s = static_cast<std::uint16_t>(r << 11 | g << 5 | b);
                }
            }
            std::memcpy(out, &s, 2);
        }
    }
}

void Bitmap_StretchDraw_Transparent(IDibBitmap*, IDibBitmap*, int, int, int, int, int, int, int, int, int) {}

void BitBlt_Texture1RGB_Texture2A(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, IDibBitmap* colour,
                                  int cx, int cy, IDibBitmap* alpha, int ax, int ay, int) {
    if (!colour || !alpha || w <= 0 || h <= 0) return;
    if (!IsGlesRenderer(game) || dst != ScreenOf(game).m_pDrawTarget) return;
    auto* ct = static_cast<QuorvanTextureData*>(colour->GetHWResource());
    auto* at = static_cast<QuorvanTextureData*>(alpha->GetHWResource());
    if (!ct || !at || ct->TileCount() == 0 || at->TileCount() == 0) return;
    GLES_FlushBuffer();
    GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GLfixed xy[12], uv0[8], uv1[8];
    static const GLubyte kIndices[6] = {0, 1, 2, 0, 2, 3};
    // A rectangle reaching past either texture stops at the first empty piece; the GL state is
    // restored below in every case, since the arrays point at this function's locals.
    bool done = false;
    for (int py = 0; py < h && !done;) {
        int pieceH = h - py;
        for (int px = 0; px < w;) {
            int cw = w - px, ch = h - py, aw = w - px, ah = h - py;
            int cuL, cvT, cuR, cvB, auL, avT, auR, avB;
            const GLuint cName =
                ct->GetTexture(cx + ct->ViewXLogical() + px, cy + ct->ViewYLogical() + py, cw, ch, cuL, cvT, cuR, cvB);
            const GLuint aName =
                at->GetTexture(ax + at->ViewXLogical() + px, ay + at->ViewYLogical() + py, aw, ah, auL, avT, auR, avB);
            const int pw = std::min(cw, aw), ph = std::min(ch, ah);
            if (pw <= 0 || ph <= 0) {
                done = true;
                break;
            }
            // Both pieces cut to the common size: recompute the coordinates for it.
            ct->GetTexture(cx + ct->ViewXLogical() + px, cy + ct->ViewYLogical() + py, cw = pw, ch = ph, cuL, cvT, cuR,
                           cvB);
            at->GetTexture(ax + at->ViewXLogical() + px, ay + at->ViewYLogical() + py, aw = pw, ah = ph, auL, avT, auR,
                           avB);
            const int X0 = (x + px) << 8, Y0 = (y + py) << 8, X1 = (x + px + pw) << 8, Y1 = (y + py + ph) << 8;
            const GLfixed q[12] = {X0, Y0, 0, X1, Y0, 0, X1, Y1, 0, X0, Y1, 0};
            const GLfixed c[8] = {cuL, cvT, cuR, cvT, cuR, cvB, cuL, cvB};
            const GLfixed a[8] = {auL, avT, auR, avT, auR, avB, auL, avB};
            std::memcpy(xy, q, sizeof q);
            std::memcpy(uv0, c, sizeof c);
            std::memcpy(uv1, a, sizeof a);
            g_Gl.DisableClientState(GL_COLOR_ARRAY);
            g_Gl.VertexPointer(3, GL_FIXED, 0, xy);
            g_Gl.ActiveTexture(GL_TEXTURE0);
            g_Gl.ClientActiveTexture(GL_TEXTURE0);
            g_Gl.Enable(GL_TEXTURE_2D);
            g_Gl.BindTexture(GL_TEXTURE_2D, cName);
            g_Gl.TexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            g_Gl.TexCoordPointer(2, GL_FIXED, 0, uv0);
            g_Gl.ActiveTexture(GL_TEXTURE1);
            g_Gl.ClientActiveTexture(GL_TEXTURE1);
            g_Gl.Enable(GL_TEXTURE_2D);
            g_Gl.BindTexture(GL_TEXTURE_2D, aName);
            g_Gl.TexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            g_Gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
            g_Gl.TexCoordPointer(2, GL_FIXED, 0, uv1);
            g_Gl.DrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, kIndices);
            px += pw;
            pieceH = ph;
        }
        py += pieceH;
    }
    // Unit 1 is switched off by name: when no piece was drawn unit 0 is still the active one, and
    // its coordinate array must stay on for the batch.
    g_Gl.ActiveTexture(GL_TEXTURE1);
    g_Gl.ClientActiveTexture(GL_TEXTURE1);
    g_Gl.Disable(GL_TEXTURE_2D);
    g_Gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
    g_Gl.ActiveTexture(GL_TEXTURE0);
    g_Gl.ClientActiveTexture(GL_TEXTURE0);
    GLES_RestoreCachingSupport();
}
