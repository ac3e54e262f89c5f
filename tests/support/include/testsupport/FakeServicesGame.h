#pragma once
// The progression stand-in (FakeProgressGame.h) with the engine services a round or a yard draws
// and sounds with: the sprite-set manager, the rotator, the sound manager and the particle
// manager, owned and let go in the game object's order, and the images folder the game object
// names inside its pak. The gameplay and farm stand-ins add their area's host on top of it.

#include "audio/SoundManager.h"
#include "particles/ParticleSystemManager.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakeProgressGame.h"

class CFakeServicesGame : public CFakeProgressGame {
public:
    CFakeServicesGame() { m_ImagesDir = "i_vga\\"; }
    // The game object's order: the rotator before the particles, the sets and the sounds.
    ~CFakeServicesGame() override {
        delete m_pRotatorScaler;
        delete m_pParticleManager;
        delete m_pSpriteSetManager;
        delete m_pSoundManager;
    }
    // The logical screen size alone, for suites that need the size but none of the start-up.
    void SetGameSize(int w, int h) {
        m_nGameWidth = w;
        m_nGameHeight = h;
    }

    CSpriteSetManager* GetSpriteSetManager() override { return m_pSpriteSetManager; }
    CQuorvanImageRotatorScaler* GetRotatorScaler() override { return m_pRotatorScaler; }
    CSoundManager* GetSoundManager() override { return m_pSoundManager; }

    CSpriteSetManager* m_pSpriteSetManager = nullptr;              // owned
    CQuorvanImageRotatorScaler* m_pRotatorScaler = nullptr;        // owned
    CSoundManager* m_pSoundManager = nullptr;                      // owned
    CQuorvanParticleSystemManager2* m_pParticleManager = nullptr;  // owned
};
