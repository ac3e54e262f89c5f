// The GL bitmap's texture life cycle, scene start and projections, and the module's bitmap
// factory entry points.
#include <cstdlib>
#include <cstring>
#include <new>

#include "render/ColorConversion.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/GlesApi.h"
#include "render/GlesGlobals.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmapOGLES.h"

namespace {

// A zeroed stand-in of `bytes` bytes for a plane whose real data now lives only in textures.
unsigned char* Placeholder(std::size_t bytes, unsigned char value) {
    auto* p = static_cast<unsigned char*>(std::malloc(bytes));
    if (p) std::memset(p, value, bytes);
    return p;
}

}  // namespace

int CWinDibBitmapOGLES::GLES_UpdateTexture(TexelDepth depth) {
    if (!m_Bits && !m_AlphaBits) return 0;
    GLES_FlushBuffer();
    return m_TextureData.CreateTextureData(this, false, depth) ? 1 : 0;
}

int CWinDibBitmapOGLES::HWUpdateTexture(TexelDepth depth) {
    if (!RenderSwitchesOf(m_pGame).m_bHardwareTextures) return 1;
    // A placeholder plane is not an image: the textures already hold the real one.
    if ((m_Bits && !m_PixelsValid) || (m_AlphaBits && !m_AlphaValid)) return 1;
    if (!GLES_UpdateTexture(depth)) return 0;
    if (RenderSwitchesOf(m_pGame).m_bReleasePixelsAfterUpload) HWReleasePixelDataInRAM();
    return 1;
}

void CWinDibBitmapOGLES::GLES_ReleaseTexture() { m_TextureData.ReleaseTextureData(); }

void CWinDibBitmapOGLES::HWReleaseTexture() { GLES_ReleaseTexture(); }

void CWinDibBitmapOGLES::HWReleasePixelDataInRAM() {
    PlanesMayChange();
    if (m_Bits && !m_BitsExternal && m_Bits != m_AlphaBits) {
        std::free(m_Bits);
        m_Bits = Placeholder(static_cast<std::size_t>(m_BytesPerPixel), 0);
        m_PixelsValid = false;
    }
    // A shared alpha plane (SetExternalAlpha) belongs to its owner and serves bitmaps that may not
    // be uploaded yet; it stays.
    if (m_AlphaBits && !m_AlphaExternal) {
        std::free(m_AlphaBits);
        m_AlphaBits = Placeholder(1, 255);
        m_AlphaValid = false;
    }
}

int CWinDibBitmapOGLES::HWInitFromTextureAtlas(IDibBitmap* atlas, int x, int y, int w, int h) {
    PlanesMayChange();
    auto* atlasBitmap = dynamic_cast<CWinDibBitmap*>(atlas);
    if (RenderSwitchesOf(m_pGame).m_bDoubleResolution && atlasBitmap && atlasBitmap->Is2xImage()) m_Is2xImage = true;
    if (!m_TextureData.SetTextureDataFromAtlas(atlas, x, y, w, h, false)) return 0;
    m_StoredWidth = w;
    m_StoredHeight = h;
    UpdateWidthAndHeight();
    if (atlas->GetBits()) {
        DestroyBits();
        m_Bits = Placeholder(static_cast<std::size_t>(m_BytesPerPixel), 0);
        m_BitsExternal = false;
        m_PixelsValid = false;
    }
    if (atlas->GetAlphaBits()) {
        CWinDibBitmap::DestroyAlpha();
        m_AlphaBits = Placeholder(1, 255);
        m_AlphaValid = false;
    }
    return 1;
}

TGlesProjection CWinDibBitmapOGLES::Projection() const {
    TGlesProjection p;
    p.storedWidth = m_StoredWidth;
    p.storedHeight = m_StoredHeight;
    p.logicalWidth = m_Width;
    p.logicalHeight = m_Height;
    const TRenderSwitches& switches = RenderSwitchesOf(m_pGame);
    const TScreenState& screen = ScreenOf(m_pGame);
    p.turnedScreen = switches.m_bTurnedScreen;
    p.physicalViewport = switches.m_bDoubleResolution || switches.m_bPhysicalViewport;
    p.physicalWidth = screen.m_nDeviceWidth;
    p.physicalHeight = screen.m_nDeviceHeight;
    p.rotationAngle = screen.m_nOrientationAngle;
    return p;
}

void CWinDibBitmapOGLES::Set2DRenderingMode() {
    GLES_ApplyProjection2D(Projection());
    // One projection call done: the rotation counter counts down to 0.
    if (m_pGame && m_pGame->Screen().m_nRotationCounter > 0) --m_pGame->Screen().m_nRotationCounter;
}

void CWinDibBitmapOGLES::Set3DRenderingMode() { GLES_ApplyProjection3D(Projection()); }

void CWinDibBitmapOGLES::HWBeginScene() {
    if (m_SceneSetUp) {
        // Frames are not cleared: every frame draws the whole screen, except while it turns.
        if (ScreenOf(m_pGame).IsRotationInProcess()) {
            GLES_FlushBuffer();
            g_Gl.ClearColorx(0, 0, 0, 0);
            g_Gl.Clear(GL_COLOR_BUFFER_BIT);
            Set2DRenderingMode();
        }
        return;
    }
    Set2DRenderingMode();
    const GLenum off[] = {GL_FOG,         GL_LIGHTING,   GL_ALPHA_TEST,  GL_DITHER,
                          GL_MULTISAMPLE, GL_DEPTH_TEST, GL_STENCIL_TEST};
    for (GLenum cap : off) g_Gl.Disable(cap);
    g_Gl.ShadeModel(GL_FLAT);
    g_Gl.Enable(GL_TEXTURE_2D);
    g_Gl.Enable(GL_CULL_FACE);
    g_Gl.FrontFace(GL_CCW);
    g_Gl.CullFace(GL_FRONT);
    g_Gl.DepthMask(GL_FALSE);
    g_Gl.StencilMask(0);
    // GL_TEXTURE_2D is on now while the cache says no texture: make the cache agree.
    g_Current_texName = 1;
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    g_GLES_BlendModeEnabled = 1;
    GLES_BlendMode(0, 0, 0);
    GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    g_Gl.Hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    g_Gl.ClearColorx(0, 0, 0, 0);
    g_Gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    g_GLES_TextEnvironmentMode = GL_BLEND;
    GLES_SetTextEnvironmentMode(GL_MODULATE);
    g_Gl.EnableClientState(GL_VERTEX_ARRAY);
    g_Gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    GLES_SetupXY_UV_Pointers();
    m_SceneSetUp = true;
}

void CWinDibBitmapOGLES::AdjustHSL(short dh, short ds, short dl) {
    PlanesMayChange();
    if (!m_Bits || !m_PixelsValid) return;
    const std::size_t count = static_cast<std::size_t>(m_StoredWidth) * m_StoredHeight;
    for (std::size_t i = 0; i < count; ++i) {
        rgbcolor c{};
        if (m_BytesPerPixel == 3) {
            unsigned char* p = m_Bits + i * 3;
            c = {p[2], p[1], p[0]};
            hslcolor h = rgb2hsl(c);
            h.h += dh;
            h.s += ds;
            h.l += dl;
            c = hsl2rgb(h);
            p[2] = static_cast<unsigned char>(c.r);
            p[1] = static_cast<unsigned char>(c.g);
            p[0] = static_cast<unsigned char>(c.b);
            continue;
        }
        std::uint16_t p;
        std::memcpy(&p, m_Bits + i * 2, 2);
        switch (m_PixelFormat) {
            case kPixelFormat565:
                c = {(p >> 11) << 3, (p >> 3) & 0xFC, (p & 0x1F) << 3};
                break;
            case kPixelFormat555:
                c = {(p >> 7) & 0xF8, (p >> 2) & 0xF8, (p & 0x1F) << 3};
                break;
            case kPixelFormat444:
                c = {(p >> 4) & 0xF0, p & 0xF0, (p & 0xF) << 4};
                break;
            default:
                return;
        }
        hslcolor h = rgb2hsl(c);
        h.h += dh;
        h.s += ds;
        h.l += dl;
        c = hsl2rgb(h);
        switch (m_PixelFormat) {
            case kPixelFormat565:
                p = static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3);
                break;
            case kPixelFormat555:
                p = static_cast<std::uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
                break;
            default:
                p = static_cast<std::uint16_t>((c.r >> 4) << 8 | (c.g & 0xF0) | c.b >> 4);
                break;
        }
        std::memcpy(m_Bits + i * 2, &p, 2);
    }
}

// ---- Module entry points ------------------------------------------------------------------

void GLES_Set2DRenderingMode(IRenderHost* game, IDibBitmap* bitmap) {
    if (!IsGlesRenderer(game) || !bitmap) return;
    if (auto* gl = dynamic_cast<CWinDibBitmapOGLES*>(bitmap)) gl->Set2DRenderingMode();
}

void GLES_Set3DRenderingMode(IRenderHost* game, IDibBitmap* bitmap) {
    if (!IsGlesRenderer(game) || !bitmap) return;
    if (auto* gl = dynamic_cast<CWinDibBitmapOGLES*>(bitmap)) gl->Set3DRenderingMode();
}

IDibBitmap* OGLES_InitAndCreateRenderTarget(IRenderHost* game) {
    if (game) game->RenderSwitches().m_nRendererKind = kRendererGLES;
    // Lines on the GL renderer are GL lines.
    SetDrawLineHardwarePath(GLES_DrawLine_AA);
    return new (std::nothrow) CWinDibBitmapOGLES(game);
}

IDibBitmap* OGLES_CreateScreenTarget(IRenderHost* game, int w, int h) {
    IDibBitmap* screen = OGLES_InitAndCreateRenderTarget(game);
    if (!screen) return nullptr;
    if (!screen->Create(w, h)) {
        delete screen;
        return nullptr;
    }
    // The screen is drawn only through GL: no alpha, and its RAM pixels become a placeholder.
    screen->DestroyAlpha();
    screen->HWReleasePixelDataInRAM();
    if (game) {
        game->Screen().m_pBackBuffer = screen;
        game->Screen().m_pDrawTarget = screen;
    }
    return screen;
}

IDibBitmap* OGLES_CreateBitmap(IRenderHost* game) { return new (std::nothrow) CWinDibBitmapOGLES(game); }

void OGLES_RemoveBitmapFromList(IDibBitmap*) {}

void Renderer_SetTextureMapMode(int modeS, int modeT, IDibBitmap* bitmap) {
    if (!bitmap) return;
    auto* data = static_cast<QuorvanTextureData*>(bitmap->GetHWResource());
    if (!data || data->TileCount() != 1) return;
    data->SetTextureMapMode(modeS, modeT);
    GLES_SelectTexture(data->Tiles()[0].name, g_prefer_GL_LINEAR);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                       modeS == Renderer_TextureMapMode_Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                       modeT == Renderer_TextureMapMode_Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}
