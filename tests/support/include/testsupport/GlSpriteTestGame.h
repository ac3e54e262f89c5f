#pragma once
// A sprite host with the GL test screen, for the GL tests and benchmarks of the areas that take a
// sprite host (particles): bitmaps stored as seen, MakeScreen as in CGlTestGame.

#include "testsupport/FakeSpriteHost.h"
#include "testsupport/GlTestGame.h"

class CGlSpriteTestGame : public CFakeSpriteHost {
public:
    CGlSpriteTestGame() { m_Screen.m_nOrientationMode = 0; }

    CWinDibBitmapOGLES* MakeScreen(int w, int h) { return MakeGlTestScreen(this, w, h); }
};
