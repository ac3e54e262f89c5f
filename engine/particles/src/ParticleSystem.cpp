#include "particles/ParticleSystem.h"

#include <cstdlib>

#include "Fixed16.h"
#include "particles/ParticleSystemShape.h"
#include "particles/ParticlesConfig.h"
#include "sprites/SpriteSet.h"

using namespace particles;

CQuorvanParticleSystem2::CQuorvanParticleSystem2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator)
    : m_pRotator(rotator), m_pGame(game), m_nMaxParticles(kParticleDefaultMaxParticles) {}

CQuorvanParticleSystem2::~CQuorvanParticleSystem2() {
    std::free(m_pParticles);
    m_pParticles = nullptr;
    GiveUpSprites();
    if (!m_Info.m_bShapeIsExternal) {
        delete m_Info.m_pEmitShape;
    }
    m_Info.m_pEmitShape = nullptr;
}

void CQuorvanParticleSystem2::GiveUpSprites() {
    CSpriteSet* set = m_Info.m_pSpriteSet;
    m_Info.m_pSpriteSet = nullptr;
    if (set == nullptr) {
        return;
    }
    // A storage keeps its sets for other effects; a private set is ours alone.
    if (m_Info.m_pSpriteStorage != nullptr) {
        set->ReleaseReference();
    } else {
        delete set;
    }
}

void CQuorvanParticleSystem2::Start() {
    m_nEmissionAccumulator = 0;
    m_nSystemAge = m_Info.m_SystemLifetime < 0 ? kParticleAgeEndless : 0;
}

void CQuorvanParticleSystem2::Stop(bool clear) {
    m_nSystemAge = kParticleAgeStopped;
    if (clear) {
        m_nNumParticles = 0;
    }
}

void CQuorvanParticleSystem2::StartAt(FIXED_FLOAT_16 x, FIXED_FLOAT_16 y) {
    Stop(false);
    SetPosition(x, y, false);
    Start();
}

void CQuorvanParticleSystem2::SetPosition(FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, bool moveParticles) {
    if (moveParticles) {
        const TVector2D_16 delta{Sub(x, m_CurPos.x), Sub(y, m_CurPos.y)};
        OffsetPosition(delta);
        m_PrevPos.x = Add(m_PrevPos.x, delta.x);
        m_PrevPos.y = Add(m_PrevPos.y, delta.y);
    } else if (IsStopped()) {
        // A stopped emitter jumps: the next start must not trail births from the old place.
        m_PrevPos = TVector2D_16{x, y};
    } else {
        m_PrevPos = m_CurPos;
    }
    m_CurPos = TVector2D_16{x, y};
}

void CQuorvanParticleSystem2::OffsetPosition(TVector2D_16 offset) {
    for (int i = 0; i < m_nNumParticles; ++i) {
        m_pParticles[i].x = Add(m_pParticles[i].x, offset.x);
        m_pParticles[i].y = Add(m_pParticles[i].y, offset.y);
    }
}

int CQuorvanParticleSystem2::SetEmitShape(CQuorvanParticleSystemShape2* shape) {
    if (!m_Info.m_bShapeIsExternal && m_Info.m_pEmitShape != shape) {
        delete m_Info.m_pEmitShape;
    }
    m_Info.m_pEmitShape = shape;
    m_Info.m_bShapeIsExternal = 1;
    return 1;
}

int CQuorvanParticleSystem2::SetEmitFunc(IQuorvanParticleSystemEmitFunc2* func) {
    m_Info.m_pEmitFunc = func;
    return 1;
}

void CQuorvanParticleSystem2::SetFPS(FIXED_FLOAT_16 fps) {
    const int whole256 = fps >> 8;
    if (whole256 <= 0) {
        return;
    }
    m_nFrameRate = fps;
    m_nFrameStep = (1048576 / whole256) * 16;
}
