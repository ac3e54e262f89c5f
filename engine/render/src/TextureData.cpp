#include "render/TextureData.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "render/GlesApi.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

namespace {

int NextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p <<= 1;
    return p;
}

// log2 rounded up; 0 for 1 or less.
int Log2Up(int v) {
    int s = 0;
    while ((1 << s) < v) ++s;
    return s;
}

// w / tileW in 16.16, rounded to nearest; exactly 65536 when equal.
int Scale16(int size, int tile) {
    if (tile <= 0) return 65536;
    if (size == tile) return 65536;
    return static_cast<int>(((static_cast<std::int64_t>(size) << 16) + tile / 2) / tile);
}

}  // namespace

FastStackVertexList::~FastStackVertexList() { std::free(m_Heap); }

void FastStackVertexList::Add(const QuorvanVertex& v) {
    if (m_Count == m_Capacity) {
        const int newCapacity = m_Capacity * 2;
        auto* block = static_cast<QuorvanVertex*>(std::malloc(sizeof(QuorvanVertex) * newCapacity));
        if (!block) return;  // the polygon loses a vertex rather than the process
        std::memcpy(block, m_Data, sizeof(QuorvanVertex) * m_Count);
        std::free(m_Heap);  // the inline room is never freed
        m_Heap = block;
        m_Data = block;
        m_Capacity = newCapacity;
    }
    m_Data[m_Count++] = v;
}

QuorvanTextureData::QuorvanTextureData(IRenderHost* game) : m_pGame(game) {}

QuorvanTextureData::~QuorvanTextureData() { ReleaseTextureData(); }

void QuorvanTextureData::GetBestTextureDimensions(int w, int h, int& outW, int& outH) {
    outW = w >= gMaxTextureWidth ? gMaxTextureWidth : (w <= 1 ? 1 : NextPowerOfTwo(w));
    outH = h >= gMaxTextureHeight ? gMaxTextureHeight : (h <= 1 ? 1 : NextPowerOfTwo(h));
    outW = std::max(outW, gMinTextureWidth);
    outH = std::max(outH, gMinTextureHeight);
    while (outW > gMaxTextureAspectRatio * outH) outH <<= 1;
    while (outH > gMaxTextureAspectRatio * outW) outW <<= 1;
}

void QuorvanTextureData::ResetToEmpty() {
    m_TileCount = 0;
    m_TilesAcross = m_TilesDown = 0;
    m_Width = m_Height = 0;
    m_LogicalWidth = m_LogicalHeight = 0;
    m_TileWidth = m_TileHeight = 64;
    m_TileXMask = m_TileYMask = 63;
    m_TileXShift = m_TileYShift = 6;
    m_XScale = m_YScale = 65536;
    m_ViewX = m_ViewY = m_ViewX16 = m_ViewY16 = 0;
    m_ViewWidth = m_ViewHeight = 0;
    m_AtlasView = 0;
    m_SourceBitmap = nullptr;
}

void QuorvanTextureData::ReleaseTextureData() {
    if (!m_AtlasView && m_Tiles) {
        for (int i = 0; i < m_TileCount; ++i) {
            GLuint& name = m_Tiles[i].name;
            if (name == 0) continue;
            g_Gl.DeleteTextures(1, &name);
            // GL falls back to texture 0 when a bound texture is deleted; the cache must follow.
            if (g_Current_texName == name) g_Current_texName = 0;
            name = 0;
        }
    }
    delete[] m_Tiles;
    m_Tiles = nullptr;
    ResetToEmpty();
}

void QuorvanTextureData::CreateTextureTiles(int width, int height) {
    delete[] m_Tiles;
    m_Tiles = nullptr;
    int tw = 0, th = 0;
    GetBestTextureDimensions(width, height, tw, th);
    m_TileWidth = tw;
    m_TileHeight = th;
    m_TileXMask = tw - 1;
    m_TileYMask = th - 1;
    m_TileXShift = Log2Up(tw);
    m_TileYShift = Log2Up(th);

    int rightW = tw, rightH = th, bottomW = tw, bottomH = th;
    if (width % tw > 0) GetBestTextureDimensions(width % tw, th, rightW, rightH);
    if (height % th > 0) GetBestTextureDimensions(tw, height % th, bottomW, bottomH);
    int cornerW = 0, cornerH = 0;
    GetBestTextureDimensions(rightW, bottomH, cornerW, cornerH);

    m_TilesAcross = (width + tw - 1) / tw;
    m_TilesDown = (height + th - 1) / th;
    m_TileCount = m_TilesAcross * m_TilesDown;
    m_Tiles = m_TileCount > 0 ? new (std::nothrow) TTextureTile[m_TileCount] : nullptr;
    if (!m_Tiles) {
        m_TileCount = m_TilesAcross = m_TilesDown = 0;
        return;
    }
    auto setSize = [](TTextureTile& t, int w, int h) {
        t.texWidth = t.logicalWidth = w;
        t.texHeight = t.logicalHeight = h;
        t.xShift = Log2Up(w);
        t.yShift = Log2Up(h);
        t.name = 0;
    };
    for (int i = 0; i < m_TileCount; ++i) setSize(m_Tiles[i], tw, th);
    if (width % tw > 0)
        for (int r = 0; r < m_TilesDown; ++r) setSize(m_Tiles[r * m_TilesAcross + m_TilesAcross - 1], rightW, rightH);
    if (height % th > 0)
        for (int c = 0; c < m_TilesAcross; ++c)
            setSize(m_Tiles[(m_TilesDown - 1) * m_TilesAcross + c], bottomW, bottomH);
    if (width % tw > 0 && height % th > 0) setSize(m_Tiles[m_TileCount - 1], cornerW, cornerH);
    m_XScale = Scale16(width, tw);
    m_YScale = Scale16(height, th);
}

void QuorvanTextureData::SetTileLogicalSizes(bool half) {
    for (int i = 0; i < m_TileCount; ++i) {
        TTextureTile& t = m_Tiles[i];
        t.logicalWidth = half ? t.texWidth / 2 : t.texWidth;
        t.logicalHeight = half ? t.texHeight / 2 : t.texHeight;
        t.xShift = Log2Up(t.logicalWidth);
        t.yShift = Log2Up(t.logicalHeight);
    }
}

void QuorvanTextureData::HalveForDoubleResolution() {
    m_LogicalWidth = m_Width / 2;
    m_LogicalHeight = m_Height / 2;
    m_TileXMask = m_TileWidth / 2 - 1;
    m_TileYMask = m_TileHeight / 2 - 1;
    m_TileXShift = Log2Up(m_TileWidth / 2);
    m_TileYShift = Log2Up(m_TileHeight / 2);
    SetTileLogicalSizes(true);
}

int QuorvanTextureData::SetTextureDataFromAtlas(IDibBitmap* atlas, int x, int y, int w, int h, bool second) {
    ReleaseTextureData();
    if (!atlas) return 0;
    auto* other = static_cast<QuorvanTextureData*>(second ? atlas->GetHWResource2() : atlas->GetHWResource());
    if (!other || other == this || other->m_TileCount == 0 || !other->m_Tiles) return 0;
    m_Tiles = new (std::nothrow) TTextureTile[other->m_TileCount];
    if (!m_Tiles) return 0;
    std::copy(other->m_Tiles, other->m_Tiles + other->m_TileCount, m_Tiles);
    m_TileCount = other->m_TileCount;
    m_TilesAcross = other->m_TilesAcross;
    m_TilesDown = other->m_TilesDown;
    m_TileWidth = other->m_TileWidth;
    m_TileHeight = other->m_TileHeight;
    m_TileXMask = m_TileWidth - 1;
    m_TileYMask = m_TileHeight - 1;
    m_TileXShift = Log2Up(m_TileWidth);
    m_TileYShift = Log2Up(m_TileHeight);
    m_XScale = other->m_XScale;
    m_YScale = other->m_YScale;
    m_FormatKind = other->m_FormatKind;
    m_TexelType = other->m_TexelType;
    m_Pvr = other->m_Pvr;
    m_PvrAlpha = other->m_PvrAlpha;
    m_PvrBorder = other->m_PvrBorder;
    m_PvrScale = other->m_PvrScale;
    m_Width = other->m_Width;
    m_Height = other->m_Height;
    m_LogicalWidth = m_Width;
    m_LogicalHeight = m_Height;
    m_AtlasView = 1;
    m_SourceBitmap = atlas;
    m_ViewX = x;
    m_ViewY = y;
    m_ViewX16 = x << 16;
    m_ViewY16 = y << 16;
    m_ViewWidth = w;
    m_ViewHeight = h;
    auto* atlasBitmap = dynamic_cast<CWinDibBitmap*>(atlas);
    m_Is2x = atlasBitmap && atlasBitmap->Is2xImage() ? 1 : 0;
    SetTileLogicalSizes(false);
    if (m_Is2x) {
        HalveForDoubleResolution();
        m_ViewX16 = (x << 16) / 2;
        m_ViewY16 = (y << 16) / 2;
    }
    return 1;
}

GLuint QuorvanTextureData::GetTexture(int x, int y, int& w, int& h, int& uL, int& vT, int& uR, int& vB) const {
    const int column = x >> m_TileXShift;
    const int row = y >> m_TileYShift;
    if (!m_Tiles || column < 0 || row < 0 || column >= m_TilesAcross || row >= m_TilesDown) {
        w = h = 0;
        return 0;
    }
    const TTextureTile& tile = m_Tiles[column + m_TilesAcross * row];
    const int lx = x & m_TileXMask;
    const int ly = y & m_TileYMask;
    w = std::min(w, tile.logicalWidth - lx);
    h = std::min(h, tile.logicalHeight - ly);
    uL = (lx << 16) >> tile.xShift;
    vT = (ly << 16) >> tile.yShift;
    uR = ((lx + w) << 16) >> tile.xShift;
    vB = ((ly + h) << 16) >> tile.yShift;
    return tile.name;
}

void QuorvanTextureData::Blt(IDibBitmap* /*dst*/, int x, int y, int w, int h, int sx, int sy, int r, int g, int b,
                             int a) {
    if (g_GLES_TextEnvironmentMode == GL_BLEND) GLES_SetTextEnvironmentColor(r << 8, g << 8, b << 8, a << 8);
    int width = std::min(sx + w, m_LogicalWidth) - std::max(sx, 0);
    if (sx < 0) {
        x -= sx;
        sx = 0;
    }
    if (width <= 0) return;
    int height = std::min(sy + h, m_LogicalHeight) - std::max(sy, 0);
    if (sy < 0) {
        y -= sy;
        sy = 0;
    }
    if (height <= 0) return;
    // The view origin in logical pixels: halved, like everything else, for a 2x atlas.
    sx += m_ViewX16 >> 16;
    sy += m_ViewY16 >> 16;

    const GLubyte colour[16] = {
        static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b), static_cast<GLubyte>(a),
        static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b), static_cast<GLubyte>(a),
        static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b), static_cast<GLubyte>(a),
        static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b), static_cast<GLubyte>(a)};
    int py = y, srcY = sy, leftY = height;
    while (leftY > 0) {
        int px = x, srcX = sx, leftX = width, pieceH = leftY;
        while (leftX > 0) {
            int pw = leftX, ph = leftY, uL = 0, vT = 0, uR = 0, vB = 0;
            const GLuint name = GetTexture(srcX, srcY, pw, ph, uL, vT, uR, vB);
            if (pw <= 0 || ph <= 0) return;  // outside the grid: the view lies beyond its atlas
            const GLfixed xy[8] = {px << 8,        py << 8,        (px + pw) << 8, py << 8,
                                   (px + pw) << 8, (py + ph) << 8, px << 8,        (py + ph) << 8};
            const GLfixed uv[8] = {uL, vT, uR, vT, uR, vB, uL, vB};
            GLES_SelectTexture(name, g_prefer_GL_LINEAR);
            GLES_RenderQUAD(xy, uv, colour);
            px += pw;
            srcX += pw;
            leftX -= pw;
            pieceH = ph;
        }
        py += pieceH;
        srcY += pieceH;
        leftY -= pieceH;
    }
}
