// What a power-up does when it is set off: the records it appends to the play field's effect
// lists, by kind.
#include <cmath>

#include "game/widgets/EffectRecords.h"
#include "game/widgets/GameplayMath.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/gameplay/PlayField.h"
#include "game/progress/UpgradeManager.h"

namespace {

constexpr FIXED_FLOAT kBombRingFrames = 15 * 256;
constexpr int kBombFrames = 15;
constexpr FIXED_FLOAT kCoinFlightFrames = 33 * 256;
constexpr FIXED_FLOAT kCoinRise = 140 * 256;  // pixels above the coin its flight ends
constexpr FIXED_FLOAT_16 kCoinEndScale = 3 * 65536;
constexpr FIXED_FLOAT_16 kOpaque16 = 255 * 65536;

// The 8-way bomb's rays by its boost level: how many, and how far apart in degrees.
struct TRayFan {
    int rays;
    int spacingDegrees;
};
constexpr TRayFan kRayFans[5] = {{4, 90}, {6, 60}, {8, 45}, {10, 36}, {12, 30}};

TVector2D ToFixed(TVector2D_16 p) { return TVector2D{p.x >> 8, p.y >> 8}; }

}  // namespace

void CMarblePowerup::Activate() {
    m_bRemoved = true;
    if (m_pField == nullptr) return;
    switch (GetKind()) {
        case kPowerUpBomb:
            ActivateBomb();
            break;
        case kPowerUpColorBomb:
            ActivateColorBomb();
            break;
        case kPowerUpCoin:
            ActivateCoin();
            break;
        case kPowerUpEightWay:
            ActivateEightWay();
            break;
        default:
            break;
    }
}

void CMarblePowerup::ActivateBomb() {
    const float radius = GetRadius();
    CAnimation ring;
    ring.image = m_pField->GetBombRangeImage();
    ring.duration = kBombRingFrames;
    ring.start = ring.end = ToFixed(m_Position);
    ring.startScale = 0;
    ring.endScale = 65536;
    ring.startAlpha = ring.endAlpha = kOpaque16;
    ring.kind = kAnimationRing;
    ring.ringRadius = radius;
    (void)m_pField->Animations().Add(ring);

    CBomb bomb;
    bomb.centre = m_Position;
    bomb.counter = 0;
    bomb.duration = kBombFrames;
    bomb.radius = gameplay::TruncToInt32(std::floor(static_cast<double>(radius) * 256.0 + 0.5));
    (void)m_pField->Bombs().Add(bomb);
    PlaySound("SFX_POWERUP_BOMB");
}

void CMarblePowerup::ActivateColorBomb() {
    CExplosion burst;
    burst.position = ToFixed(m_Position);
    burst.clock = 0;
    GetRGBColorBasedOnType(m_nFirstColor, burst.red, burst.green, burst.blue);
    burst.angle = m_nGlowAngle;
    (void)m_pField->Explosions().Add(burst);

    CQuorvanObjPtrArray<CMarble*>& marbles = m_pField->Marbles();
    for (int i = 0; i < marbles.count; ++i) {
        CMarble* marble = marbles.data[i];
        if (marble == nullptr || marble == this || marble->m_bRemoved) continue;
        // Power-ups have types of 100 and above, so no colour ever matches one.
        const int type = marble->m_nColorType;
        if (type != m_nFirstColor && !(m_bTwoColors && type == m_nSecondColor)) continue;
        if (!m_pField->IsMarbleArrowInPlayRect(marble)) continue;
        marble->m_nScoreFactor = 2;
        marble->m_bRemoved = true;
    }
    PlaySound("SFX_POWERUP_COLORBOMB");
}

void CMarblePowerup::ActivateCoin() {
    CAnimation flight;
    flight.spriteSet = m_pSprite;
    flight.frame = m_nFrame;
    flight.frameStep = gameplay::Clamp32(2LL * m_nFrameStep);
    flight.duration = kCoinFlightFrames;
    flight.start = ToFixed(m_Position);
    flight.end = TVector2D{flight.start.x, gameplay::WrapSub(flight.start.y, kCoinRise)};
    flight.startScale = m_nScale;
    flight.endScale = kCoinEndScale;
    flight.startAlpha = flight.endAlpha = kOpaque16;
    flight.kind = kAnimationPlain;
    (void)m_pField->Animations().Add(flight);
    PlaySound("SFX_POWERUP_COIN");
}

void CMarblePowerup::ActivateEightWay() {
    const int level = m_pField->GetBoostLevel(kUpgradeRay);
    const TRayFan fan = level >= 1 && level <= 4 ? kRayFans[level] : kRayFans[0];
    for (int i = 0; i < fan.rays; ++i) {
        const float degrees = static_cast<float>(m_nRayAngle) / 256.0f + static_cast<float>(i * fan.spacingDegrees);
        const float radians = degrees * 3.14159265f / 180.0f;
        CRay ray;
        ray.position = m_Position;
        ray.step = TVector2D_16{gameplay::RoundToInt32(static_cast<double>(std::sin(radians)) * 65536.0),
                                gameplay::RoundToInt32(static_cast<double>(std::cos(radians)) * 65536.0)};
        (void)m_pField->Rays().Add(ray);
    }
    PlaySound("SFX_8_WAY_BOMB");
}
