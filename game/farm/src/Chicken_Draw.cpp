// Drawing a creature: its shadow, its body (bobbing, swaying, squashing, jumping), the emotion
// icon over a bird that enjoys a visit, and the selection marker under it.
#include <cstdint>

#include "ChickenTuning.h"
#include "app/GameBase.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmYard.h"
#include "game/farm/YardCamera.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "sprites/SpriteSet.h"

namespace {

constexpr int kShadowAlphaOffset = -190;
// A jumping bird's shadow drops this many pixels at the top of the jump (it rises kJumpRaise).
constexpr std::int64_t kJumpShadowDrop = 30;
// The idle bob's height factors, 16.16: base plus range times the eased phase.
constexpr std::int64_t kBobBase = 64225, kBobRange = 2621;       // 0.98 + 0.04
constexpr std::int64_t kTapBase = 64225, kTapRange = 22282;      // 0.98 + 0.34
constexpr std::int64_t kEnjoyBase = 60293, kEnjoyRange = 10486;  // 0.92 + 0.16
constexpr std::int64_t kIconPulseHigh = 70779;                   // 1.08
constexpr FIXED_FLOAT_16 kIconScale = 91750;                     // 1.4
// A swaying bird's top corners move between -5 and +5 pixels with the bob.
constexpr std::int64_t kSwayWidth = 10, kSwayHalf = 5;
// The selection marker's point that goes on the feet: half its width, 102/256 of its height.
constexpr int kMarkerPointY = 102;

std::int64_t S(FIXED_FLOAT_16 t) { return SCurve16(t, nullptr); }

std::int64_t Mul16(std::int64_t a, std::int64_t b) { return (a * b) >> 16; }

}  // namespace

void CChicken::Draw(int passes) {
    IDibBitmap* frame = GetCurrentFrame();
    if (frame == nullptr) return;
    const TVector2D screen = ScreenPosition();
    const FIXED_FLOAT_16 k = static_cast<FIXED_FLOAT_16>(Mul16(WorldToScreenScale(m_Position), m_DrawScale));
    // The stretched draws blend as GL is set; whatever was drawn before may have left it additive.
    if (IsGlesRenderer(m_pGame)) Renderer_SetBlendMode(Renderer_BlendMode_Normal, BackBuffer());
    if ((passes & kDrawShadow) != 0) DrawShadowPass(frame, screen, k);
    if ((passes & kDrawBody) != 0) DrawBodyPass(frame, screen, k);
    if ((passes & kDrawSelection) != 0) DrawSelectionPass(screen, k);
}

void CChicken::DrawShadowPass(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k) {
    const TVector2D_16 offset = m_DrawOffsets[m_nDirectionSet];
    const FIXED_FLOAT_16 originX = (frame->m_Width << 15) + (m_bMirrored ? offset.x : -offset.x);
    // Turned upside down about the feet: the feet row lands on the position, the body hangs below.
    const FIXED_FLOAT_16 originY = m_AnchorHeight + offset.y;
    FIXED_FLOAT_16 y = screen.y << 8;
    if (m_bJumping) y += static_cast<FIXED_FLOAT_16>(kJumpShadowDrop * S(m_BouncePhase));
    const FIXED_FLOAT_16 ky = static_cast<FIXED_FLOAT_16>((static_cast<std::int64_t>(k) * m_ShadowHeight) >> 8);
    const int flags = 2 | (m_bMirrored ? 1 : 0);
    // Black through the picture's alpha: a silhouette.
    DrawStretched(m_pGame, BackBuffer(), frame, screen.x << 8, y, originX, originY, k, ky, flags,
                  255 + kShadowAlphaOffset, 0, 0, 0, 0, 0, 0, 0);
}

void CChicken::DrawBodyPass(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k) {
    const TVector2D_16 offset = m_DrawOffsets[m_nDirectionSet];
    const FIXED_FLOAT_16 originX = (frame->m_Width << 15) + (m_bMirrored ? offset.x : -offset.x);
    const FIXED_FLOAT_16 originY = (frame->m_Height << 16) - m_AnchorHeight - offset.y;
    const FIXED_FLOAT raise = m_bJumping ? static_cast<FIXED_FLOAT>((creature::kJumpRaise * S(m_BouncePhase)) >> 8) : 0;
    const FIXED_FLOAT_16 x = screen.x << 8, y = (screen.y - raise) << 8;
    const int mirror = m_bMirrored ? 1 : 0;
    IDibBitmap* dst = BackBuffer();
    const bool idle = m_nState == kChickenIdle;
    if (IsMachine() || (idle && m_nIdleLook == 0)) {
        std::int64_t f;
        if (m_bTapBounce)
            f = kTapBase + Mul16(kTapRange, S(m_BouncePhase));
        else if (m_nPreviousState == kChickenVisit)
            f = kEnjoyBase + Mul16(kEnjoyRange, S(4 * m_BouncePhase));
        else
            f = kBobBase + Mul16(kBobRange, S(m_BouncePhase));
        DrawStretched(m_pGame, dst, frame, x, y, originX, originY, k, static_cast<FIXED_FLOAT_16>(Mul16(k, f)), mirror,
                      255, 0, 0, 0, 0, 255, 255, 255);
        if (m_nPreviousState == kChickenVisit && m_pEmotionSet != nullptr) DrawEmotion(frame, screen, k);
        return;
    }
    if (idle) {
        const FIXED_FLOAT_16 sway = static_cast<FIXED_FLOAT_16>(kSwayWidth * S(m_BouncePhase) - (kSwayHalf << 16));
        DrawStretched(m_pGame, dst, frame, x, y, originX, originY, k, k, mirror, 255, sway, sway, 0, 0, 255, 255, 255);
        return;
    }
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (rotator != nullptr)
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(frame, dst, screen.x, screen.y - raise, 0, originX >> 8,
                                                                originY >> 8, k, 0, 0, 255, 255, 255, mirror);
}

void CChicken::DrawEmotion(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k) {
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    const int count = m_pEmotionSet->GetNumFrames();
    const int current = m_EmotionFrame >> 8;
    IDibBitmap* icon = m_pEmotionSet->GetFrame(current);
    if (rotator == nullptr || icon == nullptr || count < 1) return;
    const std::int64_t pulse = m_bEmotionPulseInPhase ? kEnjoyBase + Mul16(kEnjoyRange, S(4 * m_BouncePhase))
                                                      : kIconPulseHigh - Mul16(kEnjoyRange, S(4 * m_BouncePhase));
    const std::int64_t scale = Mul16(kIconScale, k);
    // The icon's centre over the head, bobbing with or against the bird.
    const std::int64_t above = (static_cast<std::int64_t>(frame->m_Height) << 16) + (2 << 16) - m_AnchorHeight;
    const FIXED_FLOAT lift = static_cast<FIXED_FLOAT>(Mul16(Mul16(above, scale), pulse) >> 8);
    const FIXED_FLOAT y = screen.y - lift;
    if (m_bEmotionTrail) {
        IDibBitmap* previous = m_pEmotionSet->GetFrame(current > 0 ? current - 1 : count - 1);
        if (previous != nullptr)
            rotator->DrawRotatedBitmapTransparent(previous, BackBuffer(), screen.x, y, 0,
                                                  static_cast<FIXED_FLOAT_16>(scale), m_nEmotionAlpha / 3 - 255, 0);
    }
    rotator->DrawRotatedBitmapTransparent(icon, BackBuffer(), screen.x, y, 0, static_cast<FIXED_FLOAT_16>(scale),
                                          m_nEmotionAlpha - 255, 0);
}

void CChicken::DrawSelectionPass(TVector2D screen, FIXED_FLOAT_16 k) {
    IFarmYard* yard = GetYard();
    IDibBitmap* marker = yard != nullptr ? yard->GetSelectionImage() : nullptr;
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (marker == nullptr || rotator == nullptr) return;
    const FIXED_FLOAT_16 scale = static_cast<FIXED_FLOAT_16>(Mul16(m_SelectionScale, k));
    rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(marker, BackBuffer(), screen.x, screen.y, 0,
                                                            marker->m_Width * 128, marker->m_Height * kMarkerPointY,
                                                            scale, 0, 0, 255, 255, 255, 0);
}
