// Upload of a bitmap's RAM planes into the texture grid, through one shared staging buffer.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "render/GlesApi.h"
#include "render/RenderHost.h"
#include "render/TextureData.h"
#include "render/WinDibBitmap.h"

namespace {

std::uint8_t* g_pTextureDataBuffer = nullptr;

std::uint8_t* StagingBuffer() {
    if (!g_pTextureDataBuffer) g_pTextureDataBuffer = static_cast<std::uint8_t*>(std::malloc(g_nTextureDataBufferSize));
    return g_pTextureDataBuffer;
}

int Log2Up(int v) {
    int s = 0;
    while ((1 << s) < v) ++s;
    return s;
}

std::uint16_t Read16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

void Write16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }

}  // namespace

void OGLES_FreeTextureStagingBuffer() {
    std::free(g_pTextureDataBuffer);
    g_pTextureDataBuffer = nullptr;
}

GLuint QuorvanTextureData::GLES_CreateTextureSurface(int /*w*/, int /*h*/, bool /*alpha*/) {
    GLuint name = 0;
    g_Gl.GenTextures(1, &name);
    if (name == 0) return 0;
    g_Gl.Enable(GL_TEXTURE_2D);
    g_Gl.BindTexture(GL_TEXTURE_2D, name);
    g_Current_texName = name;
    g_Gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, g_prefer_GL_LINEAR);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, g_prefer_GL_LINEAR);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    g_Gl.TexParameterx(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}

int QuorvanTextureData::GLES_CopyImageToTexture(QuorvanTextureData* data, IRenderHost* game, GLuint name,
                                                const TTextureSource& src, int x, int y, int tw, int th, bool hasAlpha,
                                                bool alphaOnly) {
    const bool usePixels = src.pixels && !alphaOnly;
    // 24-bit pixels have no 16-bit layout to copy; they always go up as 8888.
    const bool rgba = RenderSwitchesOf(game).m_bForce8888Textures || src.depth == TexelDepth::kForce8888 ||
                      (usePixels && src.bytesPerPixel == 3);
    GLenum type = hasAlpha ? GL_UNSIGNED_SHORT_4_4_4_4 : GL_UNSIGNED_SHORT_5_6_5;
    int texelBytes = 2;
    if (rgba) {
        type = GL_UNSIGNED_BYTE;
        texelBytes = 4;
    }
    if (data) data->m_TexelType = static_cast<int>(type);
    const long long size = static_cast<long long>(texelBytes) * tw * th;
    if (size <= 0 || size > g_nTextureDataBufferSize) return 0;
    std::uint8_t* staging = StagingBuffer();
    if (!staging) return 0;
    std::memset(staging, 0, static_cast<std::size_t>(size));

    const int W = src.width, H = src.height;
    const bool alphaOnlyTexels = !usePixels;
    const int rows = std::min(th, std::max(0, std::min(H - y, th) + 2));
    for (int row = 0; row < rows; ++row) {
        const int sy = std::min(y + row, H - 1);  // rows below the image repeat its last row
        if (sy < 0) break;
        std::uint8_t* out = staging + static_cast<std::size_t>(row) * tw * texelBytes;
        const int dataColumns = std::max(0, std::min(W - x, tw));
        if (dataColumns == 0) break;
        const std::size_t rowBase = static_cast<std::size_t>(sy) * W;
        if (rgba) {
            for (int col = 0; col < tw; ++col) {
                const std::size_t si = rowBase + std::min(x + col, W - 1);
                std::uint8_t* t = out + col * 4;
                const std::uint8_t al = src.alpha ? src.alpha[si] : 255;
                if (alphaOnlyTexels) {
                    t[0] = t[1] = t[2] = 255;
                } else if (src.bytesPerPixel == 3) {
                    std::memcpy(t, src.pixels + si * 3, 3);
                } else {
                    const std::uint16_t p = Read16(src.pixels + si * 2);
                    t[0] = static_cast<std::uint8_t>(((p >> 11) & 31) << 3);
                    t[1] = static_cast<std::uint8_t>(((p >> 5) & 63) << 2);
                    t[2] = static_cast<std::uint8_t>((p & 31) << 3);
                }
                t[3] = al;
            }
            continue;
        }
        // 16-bit layouts: the edge texel is repeated for at most two more columns, so linear
        // filtering at the image's edge does not pull in black.
        const int columns = std::min(tw, dataColumns + 2);
        for (int col = 0; col < columns; ++col) {
            const std::size_t si = rowBase + std::min(x + col, W - 1);
            std::uint16_t texel;
            if (!hasAlpha) {
                texel = Read16(src.pixels + si * 2);
            } else if (alphaOnlyTexels) {
                texel = static_cast<std::uint16_t>(0xFFF0 | (src.alpha[si] >> 4));
            } else {
                const std::uint16_t p = Read16(src.pixels + si * 2);
                const int r4 = ((p >> 11) & 31) >> 1, g4 = ((p >> 5) & 63) >> 2, b4 = (p & 31) >> 1;
                texel = static_cast<std::uint16_t>((r4 << 12) | (g4 << 8) | (b4 << 4) | (src.alpha[si] >> 4));
            }
            Write16(out + col * 2, texel);
        }
    }

    GLES_SelectTexture(name, g_prefer_GL_LINEAR);
    g_Gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Widened in place in the staging buffer, from the last texel back; a texture too large for
    // the buffer at 4 bytes a texel stays in 4444.
    if (type == GL_UNSIGNED_SHORT_4_4_4_4 && RenderSwitchesOf(game).m_bWiden4444Uploads &&
        4LL * tw * th <= g_nTextureDataBufferSize) {
        for (long long i = static_cast<long long>(tw) * th - 1; i >= 0; --i) {
            const std::uint16_t t = Read16(staging + i * 2);
            std::uint8_t* wide = staging + i * 4;
            wide[0] = static_cast<std::uint8_t>((t >> 12) * 17);
            wide[1] = static_cast<std::uint8_t>(((t >> 8) & 15) * 17);
            wide[2] = static_cast<std::uint8_t>(((t >> 4) & 15) * 17);
            wide[3] = static_cast<std::uint8_t>((t & 15) * 17);
        }
        type = GL_UNSIGNED_BYTE;
    }
    const GLenum format = (type == GL_UNSIGNED_SHORT_5_6_5) ? GL_RGB : GL_RGBA;
    g_Gl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), tw, th, 0, format, type, staging);
    return 1;
}

int QuorvanTextureData::CreateTextureData(IDibBitmap* bitmap, bool alphaOnly, TexelDepth depth) {
    if (m_AtlasView && m_SourceBitmap)
        return SetTextureDataFromAtlas(m_SourceBitmap, m_ViewX, m_ViewY, m_ViewWidth, m_ViewHeight, false);
    auto* bmp = dynamic_cast<CWinDibBitmap*>(bitmap);
    if (!bmp) return 0;
    TTextureSource src;
    src.pixels = bmp->GetBits();
    src.alpha = bmp->GetAlphaBits();
    src.width = bmp->GetStoredWidth();
    src.height = bmp->GetStoredHeight();
    src.bytesPerPixel = bmp->GetBytesPerPixel();
    src.is2x = bmp->Is2xImage();
    src.depth = depth;
    return CreateTextureDataFrom(src, alphaOnly);
}

int QuorvanTextureData::CreateTextureDataFrom(const TTextureSource& src, bool alphaOnly) {
    if (src.width <= 0 || src.height <= 0 || (!src.pixels && !src.alpha)) return 0;
    const int kind = src.alpha ? 2 : 1;
    const bool reuse =
        m_Tiles && !m_AtlasView && !m_Pvr && m_Width == src.width && m_Height == src.height && m_FormatKind == kind;
    if (!reuse) {
        ReleaseTextureData();
        m_Pvr = 0;
        CreateTextureTiles(src.width, src.height);
        if (!m_Tiles) return 0;
    }
    int index = 0;
    for (int ty = 0; ty < m_TilesDown; ++ty) {
        for (int tx = 0; tx < m_TilesAcross; ++tx, ++index) {
            TTextureTile& tile = m_Tiles[index];
            if (tile.name == 0) {
                tile.name = GLES_CreateTextureSurface(tile.texWidth, tile.texHeight, src.alpha != nullptr);
                if (tile.name == 0) return 0;
            }
            if (!GLES_CopyImageToTexture(this, m_pGame, tile.name, src, tx * m_TileWidth, ty * m_TileHeight,
                                         tile.texWidth, tile.texHeight, src.alpha != nullptr, alphaOnly))
                return 0;
        }
    }
    m_FormatKind = kind;
    m_Width = m_LogicalWidth = m_ViewWidth = src.width;
    m_Height = m_LogicalHeight = m_ViewHeight = src.height;
    m_ViewX = m_ViewY = m_ViewX16 = m_ViewY16 = 0;
    m_TileXMask = m_TileWidth - 1;
    m_TileYMask = m_TileHeight - 1;
    m_TileXShift = Log2Up(m_TileWidth);
    m_TileYShift = Log2Up(m_TileHeight);
    m_Is2x = src.is2x ? 1 : 0;
    SetTileLogicalSizes(false);
    if (src.is2x) HalveForDoubleResolution();
    return 1;
}
