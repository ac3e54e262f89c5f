#pragma once
// A render host for GL renderer tests: renderer kind GL ES, a w x h screen bitmap made through
// OGLES_CreateScreenTarget as back buffer and draw target (deleted with the host), and a scene
// started.

#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/FakeRenderHost.h"

// The physical screen of a test: as large as the logical one unless the test chose a size. In 2x
// mode the viewport takes the physical size, so a device left at 0 x 0 would draw nothing.
inline void GiveTestDeviceTheScreenSize(IRenderHost* host, int w, int h) {
    TScreenState& screen = host->Screen();
    if (screen.m_nDeviceWidth == 0 && screen.m_nDeviceHeight == 0) {
        screen.m_nDeviceWidth = w;
        screen.m_nDeviceHeight = h;
    }
}

// Makes the host's screen bitmap as the engine does for its double buffer: sized, no alpha, RAM
// pixels released, scene started. Null when it cannot be made.
inline CWinDibBitmapOGLES* MakeGlTestScreen(IRenderHost* host, int w, int h) {
    GiveTestDeviceTheScreenSize(host, w, h);
    GLES_ResetStateCache();
    IDibBitmap* screen = OGLES_CreateScreenTarget(host, w, h);
    if (screen) screen->HWBeginScene();
    return static_cast<CWinDibBitmapOGLES*>(screen);
}

class CGlTestGame : public CFakeRenderHost {
public:
    // Bitmaps stored as seen unless a test turns them.
    CGlTestGame() { m_Screen.m_nOrientationMode = 0; }

    CWinDibBitmapOGLES* MakeScreen(int w, int h) { return MakeGlTestScreen(this, w, h); }
};
