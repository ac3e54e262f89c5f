// What the sprites area asks of its owner, besides what bitmaps need (IRenderHost): the sprite-set
// manager that atlas subsets and group unloading look names up in, and the switches of sprite-set
// loading. The application object implements it; tests use a small fake. A null host means "no
// game": sets stay undefined and nothing loads.
//
// Threads: main thread only.
#pragma once

#include "render/RenderHost.h"

class CSpriteSetManager;

// How sprite sets load their images. Set by the host at start-up; nothing changes them.
struct TSpriteSwitches {
    bool m_bTextureAtlasMode = true;   // subsets of an atlas take their frames from its texture
    bool m_bGlobalRemoveRGBA = false;  // every GL set drops its RAM planes after upload
};

class ISpriteHost : public virtual IRenderHost {
public:
    // The game's registry of sprite sets; null while the game has none.
    virtual CSpriteSetManager* GetSpriteSetManager() = 0;
    virtual TSpriteSwitches& SpriteSwitches() = 0;

protected:
    ~ISpriteHost() = default;
};
