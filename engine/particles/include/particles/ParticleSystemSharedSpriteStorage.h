#pragma once
// The particle systems' shared sprite storage: one sprite-set manager of its own, so that every
// effect naming the same strip with the same frame counts shares one loaded set. Sets are cut as
// views of one texture when the engine's atlas mode is on. Main thread only.

#include "particles/ParticleSystem.h"

class ISpriteHost;
class CSpriteSetManager;

class CQuorvanParticleSystemSharedSpriteStorage2 : public IQuorvanParticleSystemSharedSpriteStorage2 {
public:
    explicit CQuorvanParticleSystemSharedSpriteStorage2(ISpriteHost* game);
    CQuorvanParticleSystemSharedSpriteStorage2(const CQuorvanParticleSystemSharedSpriteStorage2&) = delete;
    CQuorvanParticleSystemSharedSpriteStorage2& operator=(const CQuorvanParticleSystemSharedSpriteStorage2&) = delete;
    // Deletes the manager and every set in it.
    ~CQuorvanParticleSystemSharedSpriteStorage2() override;

    // The first Single set with this file, alpha file and frame counts; else a new one named
    // "set_<count>" with force_atlas set. Null when it cannot be added. Takes no reference.
    CSpriteSet* GetSpriteSet(CommonString& file, CommonString& alphaFile, int numSprites, int perRow) override;

    // Null when it could not be made at construction.
    CSpriteSetManager* GetManager() const { return m_pManager; }

private:
    CSpriteSetManager* m_pManager = nullptr;
};
