// The marble's drawing: its rolling sprite with trail and glow, its shadow and its danger halo.
#include "game/widgets/GameplayMath.h"
#include "game/gameplay/Marble.h"
#include "game/gameplay/PlayField.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"

namespace {

constexpr FIXED_FLOAT_16 kSpriteScale = 58982;  // 0.9: the sprite is drawn a little inside its scale
constexpr int kTrailFramesBehind = 3;
constexpr int kTrailAlpha = -128;
constexpr FIXED_FLOAT_16 kGlowScale = 32768;  // 0.5
constexpr int kGlowAlpha = -64;
constexpr FIXED_FLOAT kGlowTurnPerDraw = 5 * 256;  // degrees
constexpr FIXED_FLOAT kShadowOffset = 3 * 256;     // pixels down and right
constexpr int kShadowAlpha = -128;
constexpr FIXED_FLOAT_16 kDangerScale = 49152;  // 0.75

FIXED_FLOAT ToFixed(FIXED_FLOAT_16 v) { return v >> 8; }

}  // namespace

void CMarble::Draw() {
    if (m_pSprite == nullptr) return;
    IDibBitmap* dst = BackBuffer();
    CQuorvanImageRotatorScaler* rotator = Rotator();
    const int frame = GetAnimationFrame();
    if (dst == nullptr || rotator == nullptr || frame < 0) return;
    const FIXED_FLOAT angle = GetDrawAngle();
    const FIXED_FLOAT_16 scale = gameplay::Mul16(m_nScale, kSpriteScale);
    const FIXED_FLOAT x = ToFixed(m_Position.x), y = ToFixed(m_Position.y);
    if (IDibBitmap* image = m_pSprite->GetFrame(frame))
        rotator->DrawRotatedBitmapTransparent(image, dst, x, y, angle, scale, 0, 0);
    if (m_bOnPath) {
        const int frames = GetAnimationFrameCount();
        const int trail = ((frame - kTrailFramesBehind) % frames + frames) % frames;
        if (IDibBitmap* image = m_pSprite->GetFrame(trail))
            rotator->DrawRotatedBitmapTransparent(image, dst, ToFixed(m_PrevPosition.x), ToFixed(m_PrevPosition.y),
                                                  angle, scale, kTrailAlpha, 0);
    }
    if (m_nCollected > 0) {
        if (IDibBitmap* glow = m_pField != nullptr ? m_pField->GetGlowImage() : nullptr)
            rotator->DrawRotatedBitmapAdditive(glow, dst, x, y, m_nGlowAngle, kGlowScale, 255, 255, 255, kGlowAlpha, 0);
        m_nGlowAngle = gameplay::WrapDegrees(static_cast<std::int64_t>(m_nGlowAngle) + kGlowTurnPerDraw);
    }
}

void CMarble::DrawMarbleShadow() {
    if (m_pShadowSprite == nullptr) return;
    IDibBitmap* dst = BackBuffer();
    CQuorvanImageRotatorScaler* rotator = Rotator();
    IDibBitmap* image = m_pShadowSprite->GetFrame(0);
    if (dst == nullptr || rotator == nullptr || image == nullptr) return;
    rotator->DrawRotatedBitmapMultiply(image, dst, gameplay::WrapAdd(ToFixed(m_Position.x), kShadowOffset),
                                       gameplay::WrapAdd(ToFixed(m_Position.y), kShadowOffset), GetDrawAngle(),
                                       m_nScale, 0, 0, 0, kShadowAlpha, 0);
}

void CMarble::DrawDanger() {
    if (m_pSprite == nullptr || m_nDanger <= 0 || m_pField == nullptr) return;
    IDibBitmap* dst = BackBuffer();
    CQuorvanImageRotatorScaler* rotator = Rotator();
    IDibBitmap* halo = m_pField->GetDangerImage();
    if (dst == nullptr || rotator == nullptr || halo == nullptr) return;
    rotator->DrawRotatedBitmapMultiply(halo, dst, ToFixed(m_Position.x), ToFixed(m_Position.y), 0, kDangerScale, 255, 0,
                                       0, m_nDanger - 255, 0);
}
