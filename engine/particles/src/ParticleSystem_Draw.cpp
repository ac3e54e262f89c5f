// Drawing the live particles of a system through the image rotator-scaler.
#include <algorithm>
#include <cmath>

#include "Fixed16.h"
#include "core/QuorvanUtils.h"
#include "particles/ParticleSystem.h"
#include "render/DibBitmap.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"

using namespace particles;

namespace {

// Half the diagonal of a w x h frame, 16.16 pixels.
FIXED_FLOAT_16 HalfDiagonal(int w, int h) {
    const double half = std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h) / 2.0;
    return static_cast<FIXED_FLOAT_16>(std::llround(half * 65536.0));
}

// Whether the circle (cx, cy, r), all 16.16, touches the rectangle (16.16 corners).
bool CircleTouchesRect(std::int64_t cx, std::int64_t cy, std::int64_t r, std::int64_t left, std::int64_t top,
                       std::int64_t right, std::int64_t bottom) {
    const std::int64_t nearestX = std::clamp(cx, left, right);
    const std::int64_t nearestY = std::clamp(cy, top, bottom);
    // Compared in whole pixels squared to stay far inside 64 bits.
    const double dx = static_cast<double>(cx - nearestX) / 65536.0;
    const double dy = static_cast<double>(cy - nearestY) / 65536.0;
    const double radius = static_cast<double>(r) / 65536.0;
    return dx * dx + dy * dy <= radius * radius;
}

// centre + (v - centre) x scale, all 16.16, without the 32-bit wrap of the particle arithmetic.
std::int64_t ZoomAbout(std::int64_t v, FIXED_FLOAT_16 centre, FIXED_FLOAT_16 scale) {
    return centre + (((v - centre) * scale) >> 16);
}

int Channel(FIXED_FLOAT_16 value) { return std::clamp(value >> 16, 0, 255); }

}  // namespace

void CQuorvanParticleSystem2::DrawRotatedScaledBitmapWithAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT_16 x,
                                                               FIXED_FLOAT_16 y, FIXED_FLOAT_16 angle,
                                                               FIXED_FLOAT_16 scale, int r, int g, int b,
                                                               int alphaOffset) {
    if (alphaOffset < -254 || src == nullptr || dst == nullptr || m_pRotator == nullptr) {
        return;
    }
    // Particle angles count the other way round from the rotator's clockwise ones.
    const FIXED_FLOAT turn = WrapDegrees(Sub(0, angle)) >> 8;
    alphaOffset = std::min(alphaOffset, 0);
    if (m_Info.m_AdditiveBlend) {
        m_pRotator->DrawRotatedBitmapAdditive(src, dst, x >> 8, y >> 8, turn, scale, r, g, b, alphaOffset, 0);
    } else {
        m_pRotator->DrawRotatedBitmapMultiply(src, dst, x >> 8, y >> 8, turn, scale, r, g, b, alphaOffset, 0);
    }
}

void CQuorvanParticleSystem2::Draw(IDibBitmap* dst) {
    CSpriteSet* set = m_Info.m_pSpriteSet;
    if (m_nNumParticles == 0 || set == nullptr || set->GetNumFrames() <= 0 || dst == nullptr) {
        return;
    }
    IDibBitmap* frame0 = set->GetFrame(0);
    if (frame0 == nullptr || (m_bZoom && m_nZoomScale <= 0)) {
        return;
    }
    // The blend mode is GL state; the software rotator blends by itself.
    if (IsGlesRenderer(m_pGame)) {
        Renderer_SetBlendMode(m_Info.m_AdditiveBlend ? Renderer_BlendMode_Additive : Renderer_BlendMode_Normal, dst);
    }
    const FIXED_FLOAT_16 halfDiagonal = HalfDiagonal(frame0->m_Width, frame0->m_Height);
    for (int i = 0; i < m_nNumParticles; ++i) {
        const CQuorvanParticle2& p = m_pParticles[i];
        const int alpha = p.alpha >> 16;
        if (alpha <= 0) {
            continue;
        }
        FIXED_FLOAT_16 x = p.x;
        FIXED_FLOAT_16 y = p.y;
        FIXED_FLOAT_16 size = p.size;
        if (m_bZoom) {
            x = Add(m_ZoomCenter.x, Mul(Sub(x, m_ZoomCenter.x), m_nZoomScale));
            y = Add(m_ZoomCenter.y, Mul(Sub(y, m_ZoomCenter.y), m_nZoomScale));
            size = Mul(size, m_nZoomScale);
        }
        if (m_bClip) {
            // The clip rectangle belongs to the effect's picture: moved back by the drawing
            // offset and, with the zoom on, zoomed about its centre like the particles, so a zoom
            // shows the same particles clipped as without it. The particle is tested zoomed.
            const std::int64_t radius = std::llabs(static_cast<std::int64_t>(Mul(size, halfDiagonal)));
            std::int64_t left = static_cast<std::int64_t>(m_ClipRect.x) * 65536 - m_DrawOffset.x;
            std::int64_t top = static_cast<std::int64_t>(m_ClipRect.y) * 65536 - m_DrawOffset.y;
            std::int64_t right = left + static_cast<std::int64_t>(m_ClipRect.width) * 65536;
            std::int64_t bottom = top + static_cast<std::int64_t>(m_ClipRect.height) * 65536;
            if (m_bZoom) {
                left = ZoomAbout(left, m_ZoomCenter.x, m_nZoomScale);
                right = ZoomAbout(right, m_ZoomCenter.x, m_nZoomScale);
                top = ZoomAbout(top, m_ZoomCenter.y, m_nZoomScale);
                bottom = ZoomAbout(bottom, m_ZoomCenter.y, m_nZoomScale);
            }
            if (!CircleTouchesRect(x, y, radius, left, top, right, bottom)) {
                continue;
            }
        }
        FIXED_FLOAT_16 angle;
        if (m_Info.m_DirectionalParticles) {
            angle = WrapDegrees(Shl16(270 - fast_atan2(p.vx, p.vy)));
        } else {
            angle = Mul(p.spin, p.age);
        }
        IDibBitmap* frame = set->GetFrame(p.frame >> 16);
        DrawRotatedScaledBitmapWithAlpha(frame, dst, Add(x, m_DrawOffset.x), Add(y, m_DrawOffset.y), angle, size,
                                         Channel(p.red), Channel(p.green), Channel(p.blue), alpha - 255);
    }
}
