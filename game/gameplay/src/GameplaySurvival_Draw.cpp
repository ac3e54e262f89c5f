// The round's drawing: the arena's floor, the marbles with their shadows and danger halos, the
// bursts, animations and particles of the effects, the floating texts and the screen's widgets.
#include <algorithm>
#include <cstring>

#include "game/app/TheGame.h"
#include "game/gameplay/GameplayMath.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/JumpString.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "ui/Dialog.h"

namespace {

// The game's particle effects drawn between the field's layers (indexes in its effect list):
// the power-ups' sparkles under the marbles, the trail and the bomb rings over them.
constexpr int kUnderMarbleEffects[] = {4, 3};
constexpr int kOverMarbleEffects[] = {0, 2};

// A burst grows to the middle of its clock and fades after it, turning as it goes.
constexpr FIXED_FLOAT kExplosionMiddle = 128 * 256;
constexpr FIXED_FLOAT kExplosionEnd = 255 * 256;
constexpr FIXED_FLOAT kExplosionTurnPerFrame = 10 * 256;
constexpr FIXED_FLOAT_16 kExplosionScale = 65536;       // the burst at its largest
constexpr FIXED_FLOAT_16 kExplosionCoreScale = 163840;  // the dot under it, 2.5
constexpr FIXED_FLOAT_16 kDragCircleScale = 45875;      // 0.7
constexpr int kOpaque = 255;

FIXED_FLOAT_16 Lerp16(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b, double t) {
    return gameplay::RoundToInt32(static_cast<double>(a) + (static_cast<double>(b) - a) * t);
}

}  // namespace

void CXGameplaySurvival::Draw() {
    CTheGame* game = TheGame();
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    // The statistics cover the screen once they are fully shown: only the widgets are drawn.
    if (m_pRoundStatsDialog != nullptr && FindModalChild() == m_pRoundStatsDialog &&
        m_pRoundStatsDialog->GetOpacity() >= kOpaque * 256) {
        XGameRoot::Draw();
        return;
    }

    if (m_pBackground != nullptr) {
        const int w = m_pBackground->m_Width, h = m_pBackground->m_Height;
        if (h == back->m_Height || h <= 0) {
            m_pBackground->BitBlt(back, (back->m_Width - w) / 2, 0, w, h, 0, 0, 0);
        } else {
            // Stretched to the screen's height, keeping its proportions, still centred. The GL
            // bitmap's own StretchDraw draws nothing: the stretch goes through textured triangles.
            const int dw = w * back->m_Height / h;
            Bitmap_StretchDrawF16(game, back, m_pBackground, ((back->m_Width - dw) / 2) * 65536, 0, dw * 65536,
                                  back->m_Height * 65536, 0, 0, w * 65536, h * 65536, Renderer_BlendMode_Opaque);
        }
    }
    for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->DrawMarbleShadow();
    DrawExplosions();
    for (int i = 0; i < m_Marbles.count; ++i)
        if (!m_Marbles.data[i]->IsPowerUp()) m_Marbles.data[i]->DrawDanger();
    CQuorvanParticleSystemManager2* particles = game->m_pParticleManager;
    if (particles != nullptr)
        for (int effect : kUnderMarbleEffects) particles->DrawAndMark(back, game->m_ParticleEffectIndex[effect]);
    DrawMarbles();
    if (particles != nullptr)
        for (int effect : kOverMarbleEffects) particles->DrawAndMark(back, game->m_ParticleEffectIndex[effect]);
    DrawAnimations();
    if (m_pJumpStrings != nullptr) m_pJumpStrings->Draw(back, 0, 0);
    if (particles != nullptr) particles->DrawTheRest(back);
    XGameRoot::Draw();
}

void CXGameplaySurvival::DrawMarbles() {
    CTheGame* game = TheGame();
    CQuorvanImageRotatorScaler* rotator = game->m_pRotatorScaler;
    IDibBitmap* back = GetBackBuffer();
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        if (marble == m_pDraggedMarble && rotator != nullptr && m_pDragCircleSprite != nullptr) {
            int r = 0, g = 0, b = 0;
            GetRGBColorBasedOnType(marble->m_nColorType, r, g, b);
            rotator->DrawRotatedBitmapMultiply(m_pDragCircleSprite, back, marble->m_Position.x >> 8,
                                               marble->m_Position.y >> 8, 0, kDragCircleScale, r, g, b,
                                               m_nDragHighlightAlpha - kOpaque, 0);
        }
        marble->Draw();
    }
}

void CXGameplaySurvival::DrawExplosions() {
    CTheGame* game = TheGame();
    CQuorvanImageRotatorScaler* rotator = game->m_pRotatorScaler;
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr) return;
    for (int i = 0; i < m_Explosions.count; ++i) {
        CExplosion& e = m_Explosions.data[i];
        if (e.clock < 0 || e.clock > kExplosionEnd) continue;
        const double grow = std::min(static_cast<double>(e.clock) / kExplosionMiddle, 1.0);
        const int fade = e.clock <= kExplosionMiddle
                             ? 0
                             : -static_cast<int>(static_cast<long long>(e.clock - kExplosionMiddle) * kOpaque /
                                                 (kExplosionEnd - kExplosionMiddle));
        if (m_pDotSprite != nullptr)
            rotator->DrawRotatedBitmapAdditive(m_pDotSprite, back, e.position.x, e.position.y, 0,
                                               Lerp16(0, kExplosionCoreScale, grow), e.red, e.green, e.blue, fade, 0);
        if (m_pExplosionSprite != nullptr)
            rotator->DrawRotatedBitmapAdditive(m_pExplosionSprite, back, e.position.x, e.position.y, e.angle,
                                               Lerp16(0, kExplosionScale, grow), e.red, e.green, e.blue, fade, 0);
        e.angle = gameplay::WrapDegrees(static_cast<std::int64_t>(e.angle) + kExplosionTurnPerFrame);
    }
}

void CXGameplaySurvival::DrawAnimations() {
    CTheGame* game = TheGame();
    CQuorvanImageRotatorScaler* rotator = game->m_pRotatorScaler;
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr) return;
    for (int i = 0; i < m_Animations.count; ++i) {
        const CAnimation& a = m_Animations.data[i];
        if (a.kind == kAnimationRing || a.clock < 0 || a.hold > 0 || a.duration <= 0) continue;
        IDibBitmap* image = a.image;
        if (a.spriteSet != nullptr) {
            const int frame = a.frame >> 8;
            image = frame >= 0 && frame < a.spriteSet->GetNumFrames() ? a.spriteSet->GetFrame(frame) : nullptr;
        }
        if (image == nullptr) continue;
        const double t = std::min(static_cast<double>(a.clock) / a.duration, 1.0);
        const FIXED_FLOAT x = gameplay::RoundToInt32(a.start.x + (static_cast<double>(a.end.x) - a.start.x) * t);
        const FIXED_FLOAT y = gameplay::RoundToInt32(a.start.y + (static_cast<double>(a.end.y) - a.start.y) * t);
        const int alpha = Lerp16(a.startAlpha, a.endAlpha, t) >> 16;
        rotator->DrawRotatedBitmapTransparent(image, back, x, y, 0, Lerp16(a.startScale, a.endScale, t),
                                              std::clamp(alpha, 0, kOpaque) - kOpaque, 0);
    }
}
