// The fixed-step update of a particle system and the birth of new particles.
#include "Fixed16.h"
#include "core/QuorvanUtils.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"

using namespace particles;

namespace {

constexpr FIXED_FLOAT_16 kHalfTurn = 180 * kFixed16One;
constexpr FIXED_FLOAT_16 kFullTurn = 360 * kFixed16One;

// Start + r/256 of the range, the range's fraction taken before the multiplication so the
// product stays in 32 bits for any range up to 32768.0.
FIXED_FLOAT_16 Pick(std::int32_t r, FIXED_FLOAT_16 min, FIXED_FLOAT_16 max) {
    return Add(min, IMul(r, Sub(max, min) >> 8));
}

// Unit normal of (dx, dy) for the radial acceleration; a zero or sub-pixel-tiny vector is used
// as it is, since no direction can be had from it.
TVector2D_16 Normalise(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) {
    const FIXED_FLOAT_16 length = ParticleVectorLength(dx, dy);
    if ((length >> 8) == 0) {
        return TVector2D_16{dx, dy};
    }
    return TVector2D_16{Div(dx, length), Div(dy, length)};
}

}  // namespace

void CQuorvanParticleSystem2::RunProcess() { _RunProcessTimed(m_nFrameStep); }

void CQuorvanParticleSystem2::RunMinimalProcess() { _RunProcessTimed(IMul(m_nFrameStep, 5)); }

FIXED_FLOAT_16 CQuorvanParticleSystem2::PerSecond(FIXED_FLOAT_16 num, FIXED_FLOAT_16 den) const {
    // A life (or the rest of it after the middle age) under 1/256 s is over within one step;
    // dividing by the step lets the value reach its end there instead of dividing by zero.
    if ((den >> 8) <= 0) {
        den = m_nFrameStep >= 256 ? m_nFrameStep : 256;
    }
    return Div(num, den);
}

void CQuorvanParticleSystem2::_RunProcessTimed(FIXED_FLOAT_16 dt) {
    if (m_Info.m_pSpriteSet == nullptr) {
        return;
    }
    const CQuorvanParticleSystemInfo2& s = m_Info;
    if (m_nSystemAge >= 0) {
        m_nSystemAge = Add(m_nSystemAge, dt);
        if (m_nSystemAge >= s.m_SystemLifetime) {
            m_nSystemAge = kParticleAgeStopped;
        }
    }

    int i = 0;
    while (i < m_nNumParticles) {
        CQuorvanParticle2& p = m_pParticles[i];
        p.age = Add(p.age, dt);
        if (p.age >= p.life) {
            // Dead: the last live record takes the slot, which is then processed again.
            p = m_pParticles[m_nNumParticles - 1];
            --m_nNumParticles;
            continue;
        }
        if (p.radialAcc != 0) {
            const TVector2D_16 n = Normalise(Sub(p.x, m_CurPos.x), Sub(p.y, m_CurPos.y));
            const FIXED_FLOAT_16 ax = Sub(Mul(n.x, p.radialAcc), Mul(n.y, p.tangAcc));
            const FIXED_FLOAT_16 ay = Add(Mul(n.y, p.radialAcc), Mul(n.x, p.tangAcc));
            p.vx = Add(p.vx, Mul(ax, dt));
            p.vy = Add(p.vy, Mul(ay, dt));
        }
        p.x = Add(p.x, p.vx);
        p.vy = Add(p.vy, Mul(p.gravity, dt));
        p.y = Add(p.y, p.vy);
        p.spin = Add(p.spin, Mul(p.spinDelta, dt));
        p.size = Add(p.size, Mul(p.sizeDelta, dt));
        p.red = Add(p.red, Mul(p.redDelta, dt));
        p.green = Add(p.green, Mul(p.greenDelta, dt));
        p.blue = Add(p.blue, Mul(p.blueDelta, dt));
        if (p.middleAge > 0 && p.age >= p.middleAge && !p.middlePassed) {
            p.alpha = s.m_ColorMiddle_A;
            p.alphaDelta = PerSecond(Sub(s.m_ColorEnd_A, s.m_ColorMiddle_A), Sub(p.life, p.middleAge));
            p.middlePassed = 1;
        }
        p.alpha = Add(p.alpha, Mul(p.alphaDelta, dt));
        if (s.m_AnimateEffect) {
            p.frame = Add(p.frame, s.m_AnimateSpeed);
            if ((p.frame >> 16) >= s.m_ParticleNumSprites) {
                p.frame = s.m_AnimateLooped ? 0 : Shl16(s.m_ParticleNumSprites - 1);
            }
        }
        ++i;
    }

    if (!IsStopped()) {
        const FIXED_FLOAT_16 owed = Mul(Shl16(s.m_EmissionSpeed), dt);
        m_nEmissionAccumulator = Add(m_nEmissionAccumulator, owed);
        const int n = m_nEmissionAccumulator >> 16;
        const bool grid = s.m_GridEffect && s.m_ParticleNumSprites > 1;
        if (!grid) {
            m_nEmissionAccumulator &= 0xFFFF;
            for (int k = 0; k < n && m_nNumParticles < m_nBufferCapacity; ++k) {
                SetupNewParticle(m_pParticles[m_nNumParticles++]);
            }
        } else if (m_nEmissionAccumulator > 0) {
            for (int k = 0; k < s.m_ParticleNumSprites && m_nNumParticles < m_nBufferCapacity; ++k) {
                SetupNewParticle(m_pParticles[m_nNumParticles++]);
            }
            m_nEmissionAccumulator = Add(-Shl16(s.m_ParticleNumSprites), owed);
        }
    }
    m_PrevPos = m_CurPos;
}

void CQuorvanParticleSystem2::EmitNewParticles(int n) {
    // Without sprites the system is inert, as in the frame update: nothing would ever age the
    // particles out, and a grid batch needs the strip's frame size.
    if (IsStopped() || n < 1 || m_Info.m_pSpriteSet == nullptr) {
        return;
    }
    const CQuorvanParticleSystemInfo2& s = m_Info;
    if (s.m_GridEffect && s.m_ParticleNumSprites > 1) {
        n = s.m_ParticleNumSprites;
        m_nEmissionAccumulator = -s.m_ParticleNumSprites;
    }
    for (int k = 0; k < n && m_nNumParticles < m_nBufferCapacity; ++k) {
        SetupNewParticle(m_pParticles[m_nNumParticles++]);
    }
}

FIXED_FLOAT_16 CQuorvanParticleSystem2::RandomDirection() {
    const std::int32_t r = NextParticleRandom();
    return Add(Sub(IMul(r, m_Info.m_Spread >> 8), m_Info.m_Spread >> 1), m_Info.m_Direction);
}

FIXED_FLOAT_16 CQuorvanParticleSystem2::BlendDirection(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) {
    if (dx == 0 && dy == 0) {
        return RandomDirection();
    }
    const FIXED_FLOAT_16 away = Shl16(fast_atan2(dx >> 16, dy >> 16));
    FIXED_FLOAT_16 d = WrapDegrees(Sub(away, m_Info.m_Direction));
    if (d > kHalfTurn) {
        d -= kFullTurn;
    }
    // Spread / 360: 1 sends particles straight away from the emitter, 0 along Direction.
    const FIXED_FLOAT_16 k = Wrap32((static_cast<std::int64_t>(m_Info.m_Spread) * 16 / 92160) * 16);
    return Add(m_Info.m_Direction, Mul(k, d));
}

void CQuorvanParticleSystem2::SetupNewParticle(CQuorvanParticle2& p) {
    const CQuorvanParticleSystemInfo2& s = m_Info;
    p = CQuorvanParticle2{};
    p.life = Pick(NextParticleRandom(), s.m_ParticleLifeMin, s.m_ParticleLifeMax);
    p.middleAge = Mul(s.m_ColorMiddleAge, p.life);

    // Births of one step spread along the emitter's path since the last step.
    const std::int32_t along = NextParticleRandom() << 8;
    p.x = Add(m_PrevPos.x, Mul(Sub(m_CurPos.x, m_PrevPos.x), along));
    p.y = Add(m_PrevPos.y, Mul(Sub(m_CurPos.y, m_PrevPos.y), along));
    if (s.m_pEmitShape != nullptr) {
        const TVector2D_16 offset =
            s.m_pEmitShape->m_bFlow ? s.m_pEmitShape->GetNextEmitPointFlow() : s.m_pEmitShape->GetNextEmitPointRandom();
        p.x = Add(p.x, offset.x);
        p.y = Add(p.y, offset.y);
    } else if (s.m_pEmitFunc != nullptr) {
        const TVector2D_16 offset = s.m_pEmitFunc->GetNextEmitPoint();
        p.x = Add(p.x, offset.x);
        p.y = Add(p.y, offset.y);
    }

    FIXED_FLOAT_16 angle = 0;
    if (!(s.m_GridEffect && s.m_ParticleNumSprites > 1)) {
        if (s.m_RandomPos > 0) {
            const std::int32_t half = Shl16((-s.m_RandomPos) >> 1);
            p.x = Add(p.x, Add(IMul(NextParticleRandom(), IMul(s.m_RandomPos, 256)), half));
            p.y = Add(p.y, Add(IMul(NextParticleRandom(), IMul(s.m_RandomPos, 256)), half));
        }
        if (s.m_AnimateEffect && s.m_AnimateRandom && s.m_ParticleNumSprites > 0) {
            p.frame = Shl16(NextGameRandom() % s.m_ParticleNumSprites);
        }
        angle =
            s.m_DirectionalParticles ? BlendDirection(Sub(p.x, m_CurPos.x), Sub(p.y, m_CurPos.y)) : RandomDirection();
    } else {
        // One batch lays the strip's cells out as in its picture; they then fly apart.
        if (++m_nGridCounter >= s.m_ParticleNumSprites) {
            m_nGridCounter = 0;
        }
        const int perRow = s.m_ParticleNumSpritesPerRow > 0 ? s.m_ParticleNumSpritesPerRow : 1;
        const int cell = m_nGridCounter;
        const int column = cell % perRow;
        const int row = cell / perRow;
        const int rows = s.m_ParticleNumSprites / perRow;
        IDibBitmap* frame0 = s.m_pSpriteSet->GetFrame(0);
        const int frameW = frame0 != nullptr ? frame0->m_Width : 0;
        const int frameH = frame0 != nullptr ? frame0->m_Height : 0;
        const FIXED_FLOAT_16 w = Mul(s.m_ParticleSizeStart, Shl16(frameW));
        const FIXED_FLOAT_16 h = Mul(s.m_ParticleSizeStart, Shl16(frameH));
        p.x = Add(p.x,
                  Add(Sub(IMul(column, w), Wrap32(static_cast<std::int64_t>(w) * perRow / 2)), Shl16((w / 2) >> 16)));
        p.y = Add(p.y, Add(Sub(IMul(row, h), Wrap32(static_cast<std::int64_t>(h) * rows / 2)), Shl16((h / 2) >> 16)));
        p.frame = Shl16(cell);
        angle = BlendDirection(Sub(p.x, m_CurPos.x), Sub(p.y, m_CurPos.y));
    }
    angle = WrapDegrees(angle);
    if (s.m_DirectionIsRelative) {
        const int moved = fast_atan2(Sub(m_PrevPos.x, m_CurPos.x) >> 16, Sub(m_PrevPos.y, m_CurPos.y) >> 16);
        angle = WrapDegrees(Add(angle, Shl16(moved)));
    }

    FIXED_FLOAT_16 unitX = kFixed16One;
    FIXED_FLOAT_16 unitY = 0;
    if (m_pRotator != nullptr && m_pRotator->GetCos256() != nullptr) {
        const int index = m_pRotator->GetLookupIndex(angle >> 8);
        unitX = m_pRotator->GetCos256()[index] * 256;
        unitY = m_pRotator->GetSin256()[index] * 256;
    }
    const FIXED_FLOAT_16 speed = Pick(NextParticleRandom(), s.m_ParticleSpeedMin, s.m_ParticleSpeedMax);
    p.vx = Mul(Mul(unitX, speed), m_nFrameStep);
    p.vy = Mul(Mul(unitY, speed), m_nFrameStep);
    {
        const std::int32_t r = NextParticleRandom();
        const std::int64_t range = static_cast<std::int64_t>(s.m_ParticleGravityMax) - s.m_ParticleGravityMin;
        p.gravity = IMul(Wrap32(s.m_ParticleGravityMin + r * range / 256), 3);
    }
    p.radialAcc = Mul(Pick(NextParticleRandom(), s.m_ParticleRadialAccMin, s.m_ParticleRadialAccMax), m_nFrameStep);
    p.tangAcc = Mul(Pick(NextParticleRandom(), s.m_ParticleTangAccMin, s.m_ParticleTangAccMax), m_nFrameStep);

    auto varied = [](std::int32_t r, FIXED_FLOAT_16 start, FIXED_FLOAT_16 end, FIXED_FLOAT_16 var) {
        return Add(start, IMul(r, Mul(var, Sub(end, start)) >> 8));
    };
    p.size = varied(NextParticleRandom(), s.m_ParticleSizeStart, s.m_ParticleSizeEnd, s.m_ParticleSizeVar);
    p.spin = varied(NextParticleRandom(), s.m_ParticleSpinStart, s.m_ParticleSpinEnd, s.m_ParticleSpinVar);
    p.red = varied(NextParticleRandom(), s.m_ColorStart_R, s.m_ColorEnd_R, s.m_ParticleColorVar);
    p.green = varied(NextParticleRandom(), s.m_ColorStart_G, s.m_ColorEnd_G, s.m_ParticleColorVar);
    p.blue = varied(NextParticleRandom(), s.m_ColorStart_B, s.m_ColorEnd_B, s.m_ParticleColorVar);
    const bool hasMiddle = p.middleAge > 0;
    const FIXED_FLOAT_16 alphaTarget = hasMiddle ? s.m_ColorMiddle_A : s.m_ColorEnd_A;
    p.alpha = varied(NextParticleRandom(), s.m_ColorStart_A, alphaTarget, s.m_ParticleAlphaVar);

    p.sizeDelta = PerSecond(Sub(s.m_ParticleSizeEnd, p.size), p.life);
    p.spinDelta = PerSecond(Sub(s.m_ParticleSpinEnd, p.spin), p.life);
    p.redDelta = PerSecond(Sub(s.m_ColorEnd_R, p.red), p.life);
    p.greenDelta = PerSecond(Sub(s.m_ColorEnd_G, p.green), p.life);
    p.blueDelta = PerSecond(Sub(s.m_ColorEnd_B, p.blue), p.life);
    p.alphaDelta = PerSecond(Sub(alphaTarget, p.alpha), hasMiddle ? p.middleAge : p.life);
    p.middlePassed = 0;
}
