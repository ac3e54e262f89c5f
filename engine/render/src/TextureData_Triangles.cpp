// Textured triangles with absolute texel coordinates, clipped against the texture grid.
#include <cmath>

#include "render/TextureData.h"
#include "render/WinDibBitmap.h"

namespace {

// Culling of triangles wholly off the destination, in 16.16 pixels; only with the 2-D projection.
bool OffScreen(const QuorvanVertex* v, IDibBitmap* dst) {
    if (!g_bRenderingMode2D) return false;
    if (v[0].x < 0 && v[1].x < 0 && v[2].x < 0) return true;
    if (v[0].y < 0 && v[1].y < 0 && v[2].y < 0) return true;
    if (!dst) return false;
    auto* bmp = dynamic_cast<CWinDibBitmap*>(dst);
    const std::int64_t w = static_cast<std::int64_t>(bmp ? bmp->GetStoredWidth() : dst->m_BufferWidth) << 16;
    const std::int64_t h = static_cast<std::int64_t>(bmp ? bmp->GetStoredHeight() : dst->m_BufferHeight) << 16;
    if (v[0].x >= w && v[1].x >= w && v[2].x >= w) return true;
    if (v[0].y >= h && v[1].y >= h && v[2].y >= h) return true;
    return false;
}

void Emit(const QuorvanVertex* v, const GLfixed* uv, bool ignoreColours) {
    const GLfixed xyz[9] = {v[0].x >> 8, v[0].y >> 8, v[0].z >> 8, v[1].x >> 8, v[1].y >> 8,
                            v[1].z >> 8, v[2].x >> 8, v[2].y >> 8, v[2].z >> 8};
    GLubyte colours[12];
    for (int i = 0; i < 3; ++i) {
        colours[i * 4 + 0] = ignoreColours ? 255 : v[i].r;
        colours[i * 4 + 1] = ignoreColours ? 255 : v[i].g;
        colours[i * 4 + 2] = ignoreColours ? 255 : v[i].b;
        colours[i * 4 + 3] = ignoreColours ? 255 : v[i].a;
    }
    GLES_RenderTRIANGLE_3D(xyz, uv, colours);
}

std::int32_t Lerp(std::int32_t a, std::int32_t b, double t) {
    return static_cast<std::int32_t>(std::lround(a + (static_cast<double>(b) - a) * t));
}

// Keeps the part of the polygon below `limit` (keepBelow) or at and above it. u and v here are
// grid units in 16.16 (65536 = one tile).
template <typename Get>
void ClipAgainst(const FastStackVertexList& in, FastStackVertexList& out, Get get, std::int32_t limit, bool keepBelow) {
    out.Clear();
    const int n = in.Count();
    auto inside = [&](const QuorvanVertex& v) { return keepBelow ? get(v) < limit : get(v) >= limit; };
    for (int i = 0; i < n; ++i) {
        const QuorvanVertex& a = in[i];
        const QuorvanVertex& b = in[(i + 1) % n];
        const bool ina = inside(a), inb = inside(b);
        if (ina) out.Add(a);
        if (ina != inb) {
            const double da = get(a) - static_cast<double>(limit);
            const double db = get(b) - static_cast<double>(limit);
            const double t = da / (da - db);
            QuorvanVertex c = a;  // the cut vertex keeps the colour of the edge's first vertex
            c.x = Lerp(a.x, b.x, t);
            c.y = Lerp(a.y, b.y, t);
            c.z = Lerp(a.z, b.z, t);
            c.u = Lerp(a.u, b.u, t);
            c.v = Lerp(a.v, b.v, t);
            out.Add(c);
        }
    }
}

}  // namespace

void QuorvanTextureData::BltTriangles_AbsoluteUV_Fast(IDibBitmap* dst, const QuorvanVertex* triangles, int n,
                                                      bool ignoreColours) {
    if (!triangles || n <= 0 || !m_Tiles || m_TileCount == 0) return;
    if (g_GLES_TextEnvironmentMode == GL_BLEND)
        GLES_SetTextEnvironmentColor(triangles[0].r << 8, triangles[0].g << 8, triangles[0].b << 8,
                                     triangles[0].a << 8);

    if (m_TileCount == 1 && !m_Pvr) {
        const TTextureTile& tile = m_Tiles[0];
        GLES_SelectTexture(tile.name, g_prefer_GL_LINEAR);
        for (int t = 0; t < n; ++t) {
            const QuorvanVertex* v = triangles + t * 3;
            if (OffScreen(v, dst)) continue;
            GLfixed uv[6];
            for (int i = 0; i < 3; ++i) {
                uv[i * 2] = (m_ViewX16 + v[i].u) >> tile.xShift;
                uv[i * 2 + 1] = (m_ViewY16 + v[i].v) >> tile.yShift;
            }
            Emit(v, uv, ignoreColours);
        }
        return;
    }
    for (int t = 0; t < n; ++t) EmitClippedTriangle(dst, triangles + t * 3, ignoreColours);
}

void QuorvanTextureData::EmitClippedTriangle(IDibBitmap* dst, const QuorvanVertex* tri, bool ignoreColours) {
    if (m_LogicalWidth <= 0 || m_LogicalHeight <= 0) return;
    // u, v to grid units in 16.16: 65536 = one tile of the first row or column.
    QuorvanVertex grid[3];
    for (int i = 0; i < 3; ++i) {
        grid[i] = tri[i];
        grid[i].u = static_cast<std::int32_t>(
            (static_cast<std::int64_t>(tri[i].u) + m_ViewX16) * m_XScale / m_LogicalWidth >> 16);
        grid[i].v = static_cast<std::int32_t>(
            (static_cast<std::int64_t>(tri[i].v) + m_ViewY16) * m_YScale / m_LogicalHeight >> 16);
    }
    const int firstW = m_Tiles[0].logicalWidth, firstH = m_Tiles[0].logicalHeight;
    FastStackVertexList a, b;
    for (int r = 0; r < m_TilesDown; ++r) {
        for (int c = 0; c < m_TilesAcross; ++c) {
            const TTextureTile& tile = m_Tiles[r * m_TilesAcross + c];
            a.Clear();
            for (int i = 0; i < 3; ++i) {
                QuorvanVertex v = grid[i];
                std::int64_t u = static_cast<std::int64_t>(v.u) - (static_cast<std::int64_t>(c) << 16);
                std::int64_t w = static_cast<std::int64_t>(v.v) - (static_cast<std::int64_t>(r) << 16);
                // A smaller last tile spans less than one grid unit of image; rescale to its texture.
                if (c == m_TilesAcross - 1 && tile.logicalWidth > 0) u = u * firstW / tile.logicalWidth;
                if (r == m_TilesDown - 1 && tile.logicalHeight > 0) w = w * firstH / tile.logicalHeight;
                v.u = static_cast<std::int32_t>(u);
                v.v = static_cast<std::int32_t>(w);
                a.Add(v);
            }
            ClipAgainst(
                a, b, [](const QuorvanVertex& q) { return q.u; }, 0, false);
            ClipAgainst(
                b, a, [](const QuorvanVertex& q) { return q.v; }, 0, false);
            ClipAgainst(
                a, b, [](const QuorvanVertex& q) { return q.u; }, 65536, true);
            ClipAgainst(
                b, a, [](const QuorvanVertex& q) { return q.v; }, 65536, true);
            if (a.Count() <= 2) continue;
            bool selected = false;
            for (int i = 1; i + 1 < a.Count(); ++i) {
                const QuorvanVertex fan[3] = {a[0], a[i], a[i + 1]};
                if (OffScreen(fan, dst)) continue;
                if (!selected) {
                    GLES_SelectTexture(tile.name, g_prefer_GL_LINEAR);
                    selected = true;
                }
                GLfixed uv[6];
                for (int k = 0; k < 3; ++k) {
                    if (m_Pvr) {
                        uv[k * 2] = static_cast<GLfixed>(
                            std::lround((m_PvrBorder + m_PvrScale * (fan[k].u / 65536.0)) * 65536.0));
                        uv[k * 2 + 1] = static_cast<GLfixed>(
                            std::lround((m_PvrBorder + m_PvrScale * (fan[k].v / 65536.0)) * 65536.0));
                    } else {
                        uv[k * 2] = fan[k].u;
                        uv[k * 2 + 1] = fan[k].v;
                    }
                }
                Emit(fan, uv, ignoreColours);
            }
        }
    }
}
