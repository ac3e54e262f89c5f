#include "render/GlesRotatorPath.h"

#include <algorithm>
#include <utility>

#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/RenderHost.h"

bool CGlesRotatorPath::Draw(const TRotatedDraw& draw) {
    if (!IsGlesRenderer(m_pGame) || !draw.dst || draw.dst != ScreenOf(m_pGame).m_pDrawTarget) return false;
    if (!draw.src) return true;
    int a = 255;
    int mode = Renderer_BlendMode_Normal;
    switch (draw.kind) {
        case TRotatedDraw::kPlain:
            if (!draw.src->GetAlphaBits()) mode = Renderer_BlendMode_Opaque;
            break;
        case TRotatedDraw::kTransparent:
            a = std::min(255 + draw.alphaOffset, 255);
            break;
        case TRotatedDraw::kAdditive:
            a = std::min(255 + draw.alphaOffset, 255);
            mode = Renderer_BlendMode_Additive;
            break;
        case TRotatedDraw::kMultiply:
            a = std::min(255 + draw.alphaOffset, 255);
            break;
        case TRotatedDraw::kAlphaChannel:
            // The alpha-shape fill draws even when fully faded out.
            a = std::clamp(255 + draw.alphaOffset, 0, 255);
            mode = Renderer_BlendMode_TexEnvBlend;
            break;
    }
    if (draw.kind != TRotatedDraw::kAlphaChannel && a < 1) return true;
    const bool tinted = draw.kind == TRotatedDraw::kAdditive || draw.kind == TRotatedDraw::kMultiply ||
                        draw.kind == TRotatedDraw::kAlphaChannel;

    // Texture coordinates count the texels of the layout, as the corners do: the texture data of
    // a 2x image maps them onto its twice as many stored texels itself.
    const int bw = draw.src->m_BufferWidth, bh = draw.src->m_BufferHeight;
    const std::int64_t hw = (static_cast<std::int64_t>(bw) << 16) / 2, hh = (static_cast<std::int64_t>(bh) << 16) / 2;
    std::int64_t cx[4] = {-hw, hw, hw, -hw};
    std::int64_t cy[4] = {-hh, -hh, hh, hh};
    if (draw.angle != 0 && m_Rotator && m_Rotator->GetSin65536()) {
        const int index = m_Rotator->GetLookupIndex(draw.angle);
        const std::int64_t s = m_Rotator->GetSin65536()[index], c = m_Rotator->GetCos65536()[index];
        for (int i = 0; i < 4; ++i) {
            const std::int64_t x = cx[i], y = cy[i];
            cx[i] = ((x * c) >> 16) - ((y * s) >> 16);
            cy[i] = ((x * s) >> 16) + ((y * c) >> 16);
        }
    }
    if (draw.scale != 0x10000) {
        for (int i = 0; i < 4; ++i) {
            cx[i] = (cx[i] * draw.scale) >> 16;
            cy[i] = (cy[i] * draw.scale) >> 16;
        }
    }
    const std::int64_t centreX = static_cast<std::int64_t>(draw.x) << 8, centreY = static_cast<std::int64_t>(draw.y)
                                                                                   << 8;
    int uL = 0, uR = bw << 16, vT = 0, vB = bh << 16;
    if (draw.flags & 1) std::swap(uL, uR);
    if (draw.flags & 2) std::swap(vT, vB);
    const int u[4] = {uL, uR, uR, uL};
    const int v[4] = {vT, vT, vB, vB};
    static const int kOrder[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        QuorvanVertex& q = g_globalQuorvanVertex_2_3[i];
        const int k = kOrder[i];
        q.x = static_cast<std::int32_t>(centreX + cx[k]);
        q.y = static_cast<std::int32_t>(centreY + cy[k]);
        q.z = 0;
        q.u = u[k];
        q.v = v[k];
        q.r = static_cast<std::uint8_t>(tinted ? draw.r : 255);
        q.g = static_cast<std::uint8_t>(tinted ? draw.g : 255);
        q.b = static_cast<std::uint8_t>(tinted ? draw.b : 255);
        q.a = static_cast<std::uint8_t>(a);
    }
    Renderer_SetBlendMode(mode, draw.src);
    DrawTexturedTriangles_AbsoluteUV(m_pGame, draw.dst, draw.src, g_globalQuorvanVertex_2_3, 2, false);
    return true;
}
