#include "render/WinDibBitmapOGLES.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "TargetRect.h"
#include "render/GlesApi.h"
#include "render/GlesGlobals.h"
#include "render/RenderHost.h"

using namespace render_detail;

CWinDibBitmapOGLES::CWinDibBitmapOGLES(IRenderHost* game) : CWinDibBitmap(game), m_TextureData(game) {}

CWinDibBitmapOGLES::~CWinDibBitmapOGLES() {
    if (ScreenOf(m_pGame).m_pDrawTarget == this) OGLES_FreeTextureStagingBuffer();
    OGLES_RemoveBitmapFromList(this);
    m_TextureData.ReleaseTextureData();
}

bool CWinDibBitmapOGLES::IsDrawTarget(IDibBitmap* dst) const {
    return dst != nullptr && dst == ScreenOf(m_pGame).m_pDrawTarget;
}

namespace {

// With hardware textures and immediate upload, a plane just given goes to the texture at once.
// When that fails the bitmap lets go of the plane again (the caller still owns it): 0.
int KeepIfUploaded(IRenderHost* game, CWinDibBitmapOGLES& bitmap, unsigned char*& plane) {
    const TRenderSwitches& switches = RenderSwitchesOf(game);
    if (switches.m_bHardwareTextures && switches.m_bImmediateUpload && !bitmap.HWUpdateTexture()) {
        plane = nullptr;
        return 0;
    }
    return 1;
}

}  // namespace

int CWinDibBitmapOGLES::SetBits(unsigned char* pixels, int w, int h) {
    CWinDibBitmap::SetBits(pixels, w, h);
    m_PixelsValid = true;
    return KeepIfUploaded(m_pGame, *this, m_Bits);
}

int CWinDibBitmapOGLES::SetAlphaBits(unsigned char* alpha, int w, int h) {
    CWinDibBitmap::SetAlphaBits(alpha, w, h);
    m_AlphaValid = true;
    return KeepIfUploaded(m_pGame, *this, m_AlphaBits);
}

void CWinDibBitmapOGLES::ClearBitmap(unsigned char r, unsigned char g, unsigned char b) {
    FillRectangle(0, 0, m_StoredWidth, m_StoredHeight, r, g, b);
}

int CWinDibBitmapOGLES::Destroy() {
    CWinDibBitmap::Destroy();
    m_TextureData.ReleaseTextureData();
    return 1;
}

int CWinDibBitmapOGLES::DestroyAlpha() { return CWinDibBitmap::DestroyAlpha(); }

int CWinDibBitmapOGLES::DestroyBits() { return CWinDibBitmap::DestroyBits(); }

void CWinDibBitmapOGLES::GlBlit(int blendMode, int x, int y, int w, int h, int sx, int sy, int r, int g, int b,
                                int alphaOffset) {
    const int alpha = std::clamp(255 + alphaOffset, 0, 255);
    if (w == 0) w = m_Width;
    if (h == 0) h = m_Height;
    Renderer_SetBlendMode(blendMode, this);
    m_TextureData.Blt(ScreenOf(m_pGame).m_pDrawTarget, x, y, w, h, sx, sy, r, g, b, alpha);
}

void CWinDibBitmapOGLES::Draw(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset) {
    if (!IsDrawTarget(dst)) {
        CWinDibBitmap::Draw(dst, x, y, w, h, flags, alphaOffset);
        return;
    }
    auto* target = dynamic_cast<CWinDibBitmap*>(dst);
    const int dstStoredHeight = target ? target->GetStoredHeight() : dst->m_BufferHeight;
    if (m_OrientationMode == kOrientationTurned1) {
        const int nx = y, ny = dst->m_Height - m_StoredWidth - x;
        x = nx;
        y = ny;
    } else if (m_OrientationMode == kOrientationTurned2) {
        const int nx = dstStoredHeight - m_StoredHeight - y, ny = x;
        x = nx;
        y = ny;
    }
    if (w == 0) w = m_Width;
    if (h == 0) h = m_Height;
    if (std::min(y + h, dst->m_Height) < std::max(y, 0) || std::min(x + w, dst->m_Width) < std::max(x, 0)) return;
    const bool blend = GetAlphaBits() != nullptr || alphaOffset < 0;
    GlBlit(blend ? Renderer_BlendMode_Normal : Renderer_BlendMode_Opaque, x, y, w, h, 0, 0, 255, 255, 255, alphaOffset);
}

void CWinDibBitmapOGLES::DrawOpaque(IDibBitmap* dst, int x, int y, int w, int h, int flags) {
    Draw(dst, x, y, w, h, flags, 0);
}

void CWinDibBitmapOGLES::FastDraw(IDibBitmap*, int, int) {}

void CWinDibBitmapOGLES::FastCopy(IDibBitmap* dst, int from, int to, int n) {
    if (!dst || !m_Bits || !dst->GetBits() || n <= 0) return;
    const std::size_t bytes = static_cast<std::size_t>(m_BytesPerPixel);
    std::memmove(dst->GetBits() + static_cast<std::size_t>(to) * bytes, m_Bits + static_cast<std::size_t>(from) * bytes,
                 static_cast<std::size_t>(n) * bytes);
}

void CWinDibBitmapOGLES::StretchDraw(IDibBitmap*, int, int, int, int, int, int, int, int, int, int) {}

void CWinDibBitmapOGLES::FillAlphaNoStretch(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x,
                                            int y, int w, int h, int flags, int alphaOffset) {
    if (!IsDrawTarget(dst)) {
        CWinDibBitmap::FillAlphaNoStretch(dst, r, g, b, x, y, w, h, flags, alphaOffset);
        return;
    }
    const bool shape = GetAlphaBits() != nullptr || alphaOffset < 0;
    GlBlit(shape ? Renderer_BlendMode_TexEnvBlend : Renderer_BlendMode_Opaque, x, y, w, h, 0, 0, r, g, b, alphaOffset);
}

void CWinDibBitmapOGLES::FillAlphaNoStretchAdditive(IDibBitmap*, unsigned char r, unsigned char g, unsigned char b,
                                                    int x, int y, int w, int h, int, int alphaOffset) {
    GlBlit(Renderer_BlendMode_Additive, x, y, w, h, 0, 0, r, g, b, alphaOffset);
}

void CWinDibBitmapOGLES::BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    if (!IsDrawTarget(dst)) {
        CWinDibBitmap::BitBlt(dst, x, y, w, h, sx, sy, alphaOffset);
        return;
    }
    const bool opaque = GetAlphaBits() == nullptr && alphaOffset >= 0;
    GlBlit(opaque ? Renderer_BlendMode_Opaque : Renderer_BlendMode_Normal, x, y, w, h, sx, sy, 255, 255, 255,
           alphaOffset);
}

void CWinDibBitmapOGLES::BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    if (!IsDrawTarget(dst)) {
        CWinDibBitmap::BitBltAdditive(dst, x, y, w, h, sx, sy, alphaOffset);
        return;
    }
    GlBlit(Renderer_BlendMode_Additive, x, y, w, h, sx, sy, 255, 255, 255, alphaOffset);
}

void CWinDibBitmapOGLES::BitBltMultiply(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx,
                                        int sy, int alphaOffset) {
    if (!IsDrawTarget(dst)) {
        CWinDibBitmap::BitBltMultiply(dst, r, g, b, x, y, w, h, sx, sy, alphaOffset);
        return;
    }
    const bool opaque = GetAlphaBits() == nullptr && alphaOffset >= 0;
    GlBlit(opaque ? Renderer_BlendMode_Opaque : Renderer_BlendMode_Normal, x, y, w, h, sx, sy, r, g, b, alphaOffset);
}

void CWinDibBitmapOGLES::BitBltMultiplyAdditive(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h,
                                                int sx, int sy, int alphaOffset) {
    if (!IsDrawTarget(dst)) return;
    GlBlit(Renderer_BlendMode_Additive, x, y, w, h, sx, sy, r, g, b, alphaOffset);
}

void CWinDibBitmapOGLES::DrawToDeviceScreen() {
    GLES_FlushBuffer();
    GLES_RenderToScreenOrSwapBuffers();
}

void CWinDibBitmapOGLES::DrawToDeviceScreen(int, int) {}

void CWinDibBitmapOGLES::SetBitsPerPixel(int bits) {
    m_BitsPerPixel = bits;
    m_BytesPerPixel = bits < 24 ? 2 : 3;
}

int CWinDibBitmapOGLES::GetBitsPerPixel() { return m_BitsPerPixel; }

void CWinDibBitmapOGLES::DrawLineV(int, int, int, unsigned char, unsigned char, unsigned char, unsigned char) {}

void CWinDibBitmapOGLES::DrawLineH(int, int, int, unsigned char, unsigned char, unsigned char, unsigned char) {}

void CWinDibBitmapOGLES::DrawRectangle(int, int, int, int, unsigned char, unsigned char, unsigned char) {}

void CWinDibBitmapOGLES::ReplaceAlphaWithTransparentColor() {}

void CWinDibBitmapOGLES::FillRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    if (!IsDrawTarget(this) || !m_Bits) {
        CWinDibBitmap::FillRectangle(x, y, w, h, r, g, b);
        return;
    }
    TTargetRect rect = ToTargetRect(m_OrientationMode, m_Width, m_Height, x, y, w, h);
    if (!ClipTargetRect(rect, m_Width, m_Height)) return;
    Renderer_SetBlendMode(Renderer_BlendMode_Opaque, this);
    const GLubyte c[16] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    RenderTargetRect(rect, c);
}

void CWinDibBitmapOGLES::AddBrightness(short delta) {
    if (!m_Bits) return;
    if (ScreenOf(m_pGame).m_pBackBuffer != this) {
        CWinDibBitmap::AddBrightness(delta);
        return;
    }
    Renderer_SetBlendMode(Renderer_BlendMode_Additive, this);
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    const GLfixed xy[8] = {
        0, 0, m_StoredWidth << 8, 0, m_StoredWidth << 8, m_StoredHeight << 8, 0, m_StoredHeight << 8};
    const GLfixed uv[8] = {};
    const GLubyte a = static_cast<GLubyte>(delta & 0xFF);
    const GLubyte c[16] = {255, 255, 255, a, 255, 255, 255, a, 255, 255, 255, a, 255, 255, 255, a};
    GLES_RenderQUAD(xy, uv, c);
}
