// Effect files and the set-up of a particle system from them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Fixed16.h"
#include "core/File.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"
#include "particles/ParticlesConfig.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"

using namespace particles;

namespace {

using Info = CQuorvanParticleSystemInfo2;

enum class EKeyKind {
    Flag,          // AToI(value) > 0
    Int,           // AToI
    IntShift16,    // AToI << 16: a whole number stored as 16.16
    F16,           // AToF16
    AnimateSpeed,  // AToF16, stored three-fold
    Sprites,       // text
    MaxParticles,  // a field of the system, clamped
};

struct TEffectKey {
    const char* name;
    EKeyKind kind;
    std::uint8_t Info::*byteField;
    std::int32_t Info::*intField;
};

constexpr TEffectKey B(const char* name, std::uint8_t Info::*f) { return {name, EKeyKind::Flag, f, nullptr}; }
constexpr TEffectKey K(const char* name, EKeyKind kind, std::int32_t Info::*f) { return {name, kind, nullptr, f}; }

constexpr EKeyKind kFlag = EKeyKind::Flag;
constexpr EKeyKind kInt = EKeyKind::Int;
constexpr EKeyKind kInt16 = EKeyKind::IntShift16;
constexpr EKeyKind kF16 = EKeyKind::F16;

const TEffectKey kEffectKeys[] = {
    B("AdditiveBlend", &Info::m_AdditiveBlend),
    B("FastDraw", &Info::m_FastDraw),
    K("EmissionSpeed", kInt, &Info::m_EmissionSpeed),
    K("SystemLifetime", kF16, &Info::m_SystemLifetime),
    K("ParticleLifeMin", kF16, &Info::m_ParticleLifeMin),
    K("ParticleLifeMax", kF16, &Info::m_ParticleLifeMax),
    K("Direction", kF16, &Info::m_Direction),
    K("Spread", kF16, &Info::m_Spread),
    K("DirectionIsRelative", kFlag, &Info::m_DirectionIsRelative),
    K("ParticleSpeedMin", kF16, &Info::m_ParticleSpeedMin),
    K("ParticleSpeedMax", kF16, &Info::m_ParticleSpeedMax),
    K("ParticleGravityMin", kF16, &Info::m_ParticleGravityMin),
    K("ParticleGravityMax", kF16, &Info::m_ParticleGravityMax),
    K("ParticleRadialAccMin", kF16, &Info::m_ParticleRadialAccMin),
    K("ParticleRadialAccMax", kF16, &Info::m_ParticleRadialAccMax),
    K("ParticleTangAccMin", kF16, &Info::m_ParticleTangAccMin),
    K("ParticleTangAccMax", kF16, &Info::m_ParticleTangAccMax),
    K("ParticleSizeStart", kF16, &Info::m_ParticleSizeStart),
    K("ParticleSizeEnd", kF16, &Info::m_ParticleSizeEnd),
    K("ParticleSizeVar", kF16, &Info::m_ParticleSizeVar),
    K("ParticleSpinStart", kF16, &Info::m_ParticleSpinStart),
    K("ParticleSpinEnd", kF16, &Info::m_ParticleSpinEnd),
    K("ParticleSpinVar", kF16, &Info::m_ParticleSpinVar),
    K("ColorStart_A", kInt16, &Info::m_ColorStart_A),
    K("ColorStart_R", kInt16, &Info::m_ColorStart_R),
    K("ColorStart_G", kInt16, &Info::m_ColorStart_G),
    K("ColorStart_B", kInt16, &Info::m_ColorStart_B),
    K("ColorEnd_A", kInt16, &Info::m_ColorEnd_A),
    K("ColorEnd_R", kInt16, &Info::m_ColorEnd_R),
    K("ColorEnd_G", kInt16, &Info::m_ColorEnd_G),
    K("ColorEnd_B", kInt16, &Info::m_ColorEnd_B),
    K("ParticleColorVar", kF16, &Info::m_ParticleColorVar),
    K("ParticleAlphaVar", kF16, &Info::m_ParticleAlphaVar),
    {"ParticleSprites", EKeyKind::Sprites, nullptr, nullptr},
    K("ParticleNumSprites", kInt, &Info::m_ParticleNumSprites),
    K("ParticleNumSpritesPerRow", kInt, &Info::m_ParticleNumSpritesPerRow),
    B("GridEffect", &Info::m_GridEffect),
    B("AnimateEffect", &Info::m_AnimateEffect),
    B("AnimateLooped", &Info::m_AnimateLooped),
    B("AnimateRandom", &Info::m_AnimateRandom),
    K("AnimateSpeed", EKeyKind::AnimateSpeed, &Info::m_AnimateSpeed),
    K("DirectionalParticles", kFlag, &Info::m_DirectionalParticles),
    K("ColorMiddle_A", kInt16, &Info::m_ColorMiddle_A),
    K("ColorMiddleAge", kF16, &Info::m_ColorMiddleAge),
    K("RandomPos", kInt, &Info::m_RandomPos),
    {"MaxParticles", EKeyKind::MaxParticles, nullptr, nullptr},
};

std::int32_t IntValue(EKeyKind kind, const char* value) {
    switch (kind) {
        case EKeyKind::Flag:
            return Parser::AToI(value) > 0 ? 1 : 0;
        case EKeyKind::Int:
            return Parser::AToI(value);
        case EKeyKind::IntShift16:
            return Shl16(Parser::AToI(value));
        case EKeyKind::F16:
            return Parser::AToF16(value);
        case EKeyKind::AnimateSpeed:
            return IMul(Parser::AToF16(value), 3);
        default:
            return 0;
    }
}

}  // namespace

int CQuorvanParticleSystem2::DefineFile(const char* file) {
    m_FileName = CommonString(file);
    return 1;
}

void CQuorvanParticleSystem2::SetEffectProperty(const char* name, const char* value) {
    if (name == nullptr) {
        return;
    }
    for (const TEffectKey& key : kEffectKeys) {
        if (std::strcmp(key.name, name) != 0) {
            continue;
        }
        switch (key.kind) {
            case EKeyKind::Sprites: {
                const CommonStringRS<50> unquoted = Parser::ExtractName(CommonStringRS<50>(value));
                m_Info.m_ParticleSprites = CommonString(unquoted.GetData());
                break;
            }
            case EKeyKind::MaxParticles:
                m_nMaxParticles = std::clamp(Parser::AToI(value), 0, kParticleMaxParticlesLimit);
                break;
            default:
                if (key.byteField != nullptr) {
                    m_Info.*key.byteField = Parser::AToI(value) > 0 ? 1 : 0;
                } else {
                    m_Info.*key.intField = IntValue(key.kind, value);
                }
                break;
        }
        return;
    }
}

void CQuorvanParticleSystem2::ApplyEffectLine(const CommonStringRS<50>& line) {
    CommonStringRS<50> name;
    CommonStringRS<50> value;
    if (Parser::ReadPropertyFromString(line, name, value) == 0 || name.Length() == 0) {
        return;
    }
    SetEffectProperty(name.GetData(), value.GetData());
}

void CQuorvanParticleSystem2::ReadEffectSettings(const char* bytes, int size, const char* name) {
    const std::size_t length = bytes != nullptr && size > 0 ? static_cast<std::size_t>(size) : 0;
    TParseInput input = ParseInputOf({bytes, length}, name);
    CommonStringRS<50> line;
    while (Parser::GetNextLine(input, line) != 0) {
        ApplyEffectLine(line);
    }
}

int CQuorvanParticleSystem2::Init(IFile* file, CSpriteSet* spriteSet, FIXED_FLOAT_16 fps) {
    if (fps != 0) {
        SetFPS(fps);
    }
    m_Info.m_GridEffect = 0;
    if (file != nullptr) {
        CommonStringRS<50> line;
        while (Parser::GetNextLine(file, line) != 0) {
            ApplyEffectLine(line);
        }
        file->Close();
    }
    if (spriteSet == nullptr) {
        if (OnSpritesChanged() == 0) {
            return 0;
        }
    } else if (spriteSet != m_Info.m_pSpriteSet) {
        GiveUpSprites();
        m_Info.m_pSpriteSet = spriteSet;
    }
    return OnSettingsChanged();
}

int CQuorvanParticleSystem2::Init(const CQuorvanParticleSystemInfo2* info, FIXED_FLOAT_16 fps) {
    if (info == nullptr) {
        return 0;
    }
    if (fps != 0) {
        SetFPS(fps);
    }
    GiveUpSprites();
    if (!m_Info.m_bShapeIsExternal && m_Info.m_pEmitShape != info->m_pEmitShape) {
        delete m_Info.m_pEmitShape;
    }
    m_Info = *info;
    if (m_Info.m_pSpriteSet == nullptr) {
        if (OnSpritesChanged() == 0) {
            return 0;
        }
    } else if (m_Info.m_pSpriteSet->AddReference() == 0) {
        // The set stays its owner's: we hold no reference to give back.
        m_Info.m_pSpriteSet = nullptr;
        return 0;
    }
    return OnSettingsChanged();
}

int CQuorvanParticleSystem2::InitFromFile() {
    if (m_pGame == nullptr || m_FileName.Length() == 0) {
        return 0;
    }
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (file == nullptr) {
        return 0;
    }
    const CommonString path = m_pGame->GetModuleDirectory() + m_FileName;
    if (file->Open(m_pGame, path.GetDataConst(), FileMode::Read) == 0) {
        std::fprintf(stderr, "particles: %s: cannot open\n", path.GetDataConst());
        delete file;
        return 0;
    }
    const int result = Init(file, nullptr, 0);
    delete file;
    if (result == 0) {
        std::fprintf(
            stderr, "particles: %s: no sprites for \"%s\" (or no memory for %d particles)\n", path.GetDataConst(),
            m_Info.m_ParticleSprites.Length() > 0 ? m_Info.m_ParticleSprites.GetDataConst() : "", m_nMaxParticles);
        return 0;
    }
    m_nSystemAge = kParticleAgeStopped;
    return 1;
}

void CQuorvanParticleSystem2::UseSpriteSetStorage(IQuorvanParticleSystemSharedSpriteStorage2* storage) {
    GiveUpSprites();
    m_Info.m_pSpriteStorage = storage;
}

CQuorvanParticle2* CQuorvanParticleSystem2::AllocateParticles(int count) {
    return static_cast<CQuorvanParticle2*>(std::calloc(static_cast<std::size_t>(count), sizeof(CQuorvanParticle2)));
}

int CQuorvanParticleSystem2::ResizeBuffer(int capacity) {
    CQuorvanParticle2* block = nullptr;
    if (capacity > 0) {
        block = AllocateParticles(capacity);
        if (block == nullptr) {
            return 0;
        }
        const int keep = std::min(capacity, m_nBufferCapacity);
        if (keep > 0) {
            std::memcpy(block, m_pParticles, static_cast<std::size_t>(keep) * sizeof(CQuorvanParticle2));
        }
    }
    std::free(m_pParticles);
    m_pParticles = block;
    m_nBufferCapacity = capacity;
    m_nNumParticles = std::min(m_nNumParticles, capacity);
    return 1;
}

int CQuorvanParticleSystem2::OnSettingsChanged() {
    if (m_nMaxParticles != m_nBufferCapacity && ResizeBuffer(m_nMaxParticles) == 0) {
        return 0;
    }
    m_nSystemAge = m_Info.m_SystemLifetime < 0 ? kParticleAgeEndless : kParticleAgeStopped;
    return 1;
}

int CQuorvanParticleSystem2::OnSpritesChanged() {
    GiveUpSprites();
    const Info& s = m_Info;
    if (s.m_ParticleSprites.Length() == 0 || s.m_ParticleNumSprites <= 0 || s.m_ParticleNumSpritesPerRow <= 0) {
        return 0;
    }
    CommonString file = s.m_ParticleSprites;
    CommonString alphaFile = s.m_ParticleSprites;
    if (s.m_pSpriteStorage != nullptr) {
        CSpriteSet* set =
            s.m_pSpriteStorage->GetSpriteSet(file, alphaFile, s.m_ParticleNumSprites, s.m_ParticleNumSpritesPerRow);
        if (set == nullptr || set->AddReference() == 0) {
            return 0;
        }
        m_Info.m_pSpriteSet = set;
        return 1;
    }
    CSpriteSet* set = new (std::nothrow) CSpriteSet();
    if (set == nullptr) {
        return 0;
    }
    set->DefineSpriteSetSingle(m_pGame, file, alphaFile, s.m_ParticleNumSprites, s.m_ParticleNumSpritesPerRow);
    if (set->AddReference() == 0) {
        delete set;
        return 0;
    }
    m_Info.m_pSpriteSet = set;
    return 1;
}
