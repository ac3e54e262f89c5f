#pragma once
// A game object for GL renderer tests: renderer kind GL ES, a w x h screen bitmap made through
// OGLES_InitAndCreateRenderTarget as back buffer and draw target, and a scene started.

#include "app/GameBase.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"

class CGlTestGame : public CGameBase {
public:
  // Bitmaps stored as seen unless a test turns them.
  CGlTestGame() { m_nOrientationMode = 0; }
  bool Init(int w, int h) override {
    m_nGameWidth = w;
    m_nGameHeight = h;
    return true;
  }
  void Pause() override {}
  bool CreateApplicationData() override { return false; }
  bool ReLoadFonts() override { return true; }
  CommonString GetImagesDirectory() override { return CommonString(m_ImagesDir); }
  CommonString GetSoundsDirectory() override { return CommonString("Sound_BB\\"); }
  CommonString GetSaveDirectory() override { return CommonString("data/"); }
  CommonString GetCommonGamePackName() override { return CommonString("_game_bb.pak"); }
  CommonString GetResolutionSpecificGamePackName() override { return CommonString("_game.pak"); }

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

  const char* m_ImagesDir = "Images\\";
};
