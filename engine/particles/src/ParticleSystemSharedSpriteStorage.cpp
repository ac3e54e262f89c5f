#include "particles/ParticleSystemSharedSpriteStorage.h"

#include <new>

#include "particles/ParticlesConfig.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

CQuorvanParticleSystemSharedSpriteStorage2::CQuorvanParticleSystemSharedSpriteStorage2(ISpriteHost* game)
    : m_pManager(new (std::nothrow) CSpriteSetManager(game, kParticleSpriteStorageGrowBy)) {}

CQuorvanParticleSystemSharedSpriteStorage2::~CQuorvanParticleSystemSharedSpriteStorage2() { delete m_pManager; }

CSpriteSet* CQuorvanParticleSystemSharedSpriteStorage2::GetSpriteSet(CommonString& file, CommonString& alphaFile,
                                                                     int numSprites, int perRow) {
    if (m_pManager == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < m_pManager->GetNumSpriteSets(); ++i) {
        CSpriteSet* set = m_pManager->GetSpriteSetAt(i);
        if (set != nullptr && set->m_nKind == kSpriteSetSingle && set->m_File == file && set->m_AFile == alphaFile &&
            set->m_a == numSprites && set->m_b == perRow) {
            return set;
        }
    }
    CommonString name;
    name.Format("set_%d", m_pManager->GetNumSpriteSets());
    if (m_pManager->AddSpriteSetSingle(name, file, alphaFile, numSprites, perRow, false, false) == 0) {
        return nullptr;
    }
    CSpriteSet* set = m_pManager->GetLastSpriteSet();
    if (set != nullptr) {
        // Particle strips are cut as views of one texture when the engine's atlas mode is on.
        set->m_force_atlas = 1;
    }
    return set;
}
