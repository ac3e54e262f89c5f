#pragma once
// The sprite host of the sprite, font and particle tests: the render fake plus a sprite-set
// manager the test installs (not owned) and the sprite switches.

#include "sprites/SpriteHost.h"
#include "testsupport/FakeRenderHost.h"

class CFakeSpriteHost : public virtual ISpriteHost, public virtual CFakeRenderHost {
public:
    CSpriteSetManager* GetSpriteSetManager() override { return m_pSpriteSetManager; }
    TSpriteSwitches& SpriteSwitches() override { return m_SpriteSwitches; }

    CSpriteSetManager* m_pSpriteSetManager = nullptr;
    TSpriteSwitches m_SpriteSwitches;
};
