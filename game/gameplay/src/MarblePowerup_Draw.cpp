// The power-up's drawing: fading in, blinking out, its shadow on the ground while it hops, its
// glow, and the bomb's range ring.
#include <algorithm>

#include "game/widgets/GameplayMath.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/gameplay/PlayField.h"
#include "game/progress/UpgradeManager.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"

namespace {

// The first frames of life fade in: at life 990 fully clear, opaque from 974 on.
constexpr int kFadeInEndLife = 974;
constexpr int kFadeInStep = 4080;  // alpha offset per frame of fade, 24.8
constexpr FIXED_FLOAT kShadowOffset = 3 * 256;
constexpr int kShadowAlpha = -128;
constexpr FIXED_FLOAT_16 kSmallKindScale = 58982;  // 0.9 for the colour bomb and the 8-way bomb
constexpr FIXED_FLOAT_16 kGlowScale = 19661;       // 0.3
constexpr int kGlowAlpha = -64;
constexpr int kInvisible = -254;        // an alpha offset at or below this draws nothing
constexpr int kBombCircleRadius = 128;  // pixels of the range image at scale 1

}  // namespace

int CMarblePowerup::DrawAlphaOffset() const {
    if (m_nLife > kFadeInEndLife) {
        const long long offset = -(static_cast<long long>(m_nLife) - kFadeInEndLife) * kFadeInStep / 256;
        return static_cast<int>(std::clamp<long long>(offset, -255, 0));
    }
    return m_nBlinkAlpha;
}

void CMarblePowerup::Draw() {
    if (m_pSprite == nullptr || m_nBlinkAlpha < kInvisible) return;
    IDibBitmap* dst = BackBuffer();
    CQuorvanImageRotatorScaler* rotator = Rotator();
    const int count = m_pSprite->GetNumFrames();
    if (dst == nullptr || rotator == nullptr || count < 1) return;
    const int alpha = DrawAlphaOffset();

    int shown = 0;
    if (m_nFrameStep != 0) {
        const std::int64_t period = static_cast<std::int64_t>(count) * 256;
        std::int64_t frame = (static_cast<std::int64_t>(m_nFrame) + m_nFrameStep) % period;
        if (frame < 0) frame += period;
        m_nFrame = static_cast<FIXED_FLOAT>(frame);
        shown = m_nFrame >> 8;
    } else {
        shown = RollFrame(static_cast<double>(m_fRollDistance) * 1.7, count);
    }
    FIXED_FLOAT angle = 0;
    if (GetKind() == kPowerUpEightWay) {
        // The disc shows as many rays as the round's ray boost fires.
        const int level = m_pField != nullptr ? m_pField->GetBoostLevel(kUpgradeRay) : 0;
        shown = std::clamp(level, 0, count - 1);
        angle = gameplay::WrapDegrees(-static_cast<std::int64_t>(m_nRayAngle));
    } else if (GetKind() == kPowerUpColorBomb) {
        angle = m_nGlowAngle;
    }
    FIXED_FLOAT_16 scale = m_nScale;
    if (m_bHopping && m_nHopHeight != 0)
        scale = gameplay::TruncToInt32(m_nScale * (1.0 + 0.5 * static_cast<double>(m_nHopLift) / m_nHopHeight));
    IDibBitmap* image = m_pSprite->GetFrame(shown);
    if (image == nullptr) return;
    const FIXED_FLOAT x = m_Position.x >> 8, y = m_Position.y >> 8;

    if (m_bShadow) {
        // The shadow stays on the ground line while the power-up hops above it.
        const FIXED_FLOAT sx = m_bHopping ? (m_HopPoint.x >> 16) * 256 : x;
        const FIXED_FLOAT sy = m_bHopping ? (m_HopPoint.y >> 16) * 256 : y;
        rotator->DrawRotatedBitmapMultiply(image, dst, gameplay::WrapAdd(sx, kShadowOffset),
                                           gameplay::WrapAdd(sy, kShadowOffset), angle, scale, 0, 0, 0,
                                           alpha + kShadowAlpha, 0);
    }
    const bool small = GetKind() == kPowerUpColorBomb || GetKind() == kPowerUpEightWay;
    rotator->DrawRotatedBitmapTransparent(image, dst, x, y, angle,
                                          small ? gameplay::Mul16(scale, kSmallKindScale) : scale, alpha, 0);
    if (m_bSpins && alpha + kGlowAlpha >= kInvisible) {
        if (IDibBitmap* glow = m_pField != nullptr ? m_pField->GetGlowImage() : nullptr)
            rotator->DrawRotatedBitmapAdditive(glow, dst, x, y, m_nGlowAngle, kGlowScale, 255, 255, 255,
                                               alpha + kGlowAlpha, 0);
    }
}

void CMarblePowerup::DrawBombCircle(int alpha, float radius) {
    IDibBitmap* dst = BackBuffer();
    CQuorvanImageRotatorScaler* rotator = Rotator();
    IDibBitmap* ring = m_pField != nullptr ? m_pField->GetBombRangeImage() : nullptr;
    if (dst == nullptr || rotator == nullptr || ring == nullptr) return;
    if (m_nBlinkAlpha < 0) alpha = (m_nBlinkAlpha + 255) * alpha / 255;
    if (alpha < 1) return;
    const FIXED_FLOAT_16 scale = gameplay::TruncToInt32(static_cast<double>(radius) / kBombCircleRadius * 65536.0);
    rotator->DrawRotatedBitmapAdditive(ring, dst, m_Position.x >> 8, m_Position.y >> 8, 0, scale, 255, 255, 0,
                                       alpha - 255, 0);
}
