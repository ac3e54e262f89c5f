#pragma once
// A game object for GL renderer tests: renderer kind GL ES, a w x h screen bitmap made through
// OGLES_InitAndCreateRenderTarget as back buffer and draw target, and a scene started.

#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/StubGame.h"

class CGlTestGame : public CStubGame {
public:
    // Bitmaps stored as seen unless a test turns them.
    CGlTestGame() { m_nOrientationMode = 0; }

    // Makes the screen bitmap as the engine does for its double buffer: sized, no alpha, RAM
    // pixels released.
    CWinDibBitmapOGLES* MakeScreen(int w, int h) {
        GLES_ResetStateCache();
        IDibBitmap* screen = OGLES_CreateScreenTarget(this, w, h);
        if (screen) screen->HWBeginScene();
        return static_cast<CWinDibBitmapOGLES*>(screen);
    }
    ~CGlTestGame() override {
        delete m_pBackBuffer;
        m_pBackBuffer = m_pDrawTarget = nullptr;
    }
};
