#include "DemoGame.h"

#include <EGL/egl.h>
#include <GLES/gl.h>

#include "shell/BbUtil.h"
#include "shell/Program.h"

bool CDemoGame::Init(int w, int h) {
  m_nGameWidth = w;
  m_nGameHeight = h;
  SetIPhoneOrientation(0, true);
  SetFpsControl(30, false, true);
  return true;
}

void CDemoGame::RunProcess() {
  CGameBase::RunProcess();
  ++m_nUpdates;
}

int CDemoGame::NotifyPointerEvent(int x, int y, int type) {
  if (type == XPOINTER_PRESS || type == XPOINTER_MOVE) {
    m_bTouching = true;
    m_nTouchX = x;
    m_nTouchY = y;
  } else if (type == XPOINTER_RELEASE) {
    m_bTouching = false;
  }
  return CGameBase::NotifyPointerEvent(x, y, type);
}

void CDemoGame::Draw() {
  EGLint w = 0, h = 0;
  EGLDisplay display = eglGetCurrentDisplay();
  EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
  eglQuerySurface(display, surface, EGL_WIDTH, &w);
  eglQuerySurface(display, surface, EGL_HEIGHT, &h);
  glViewport(0, 0, w, h);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(static_cast<float>((m_nUpdates * 5) % 256) / 255.0f,
               static_cast<float>((m_nUpdates * 3) % 256) / 255.0f, 200.0f / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (m_bTouching && g_PixelScale > 0.0f) {
    // Back to physical pixels; GL's rows count from the bottom.
    const int px = static_cast<int>(static_cast<float>(m_nTouchX) / g_PixelScale);
    const int py = static_cast<int>(static_cast<float>(m_nTouchY) / g_PixelScale);
    glEnable(GL_SCISSOR_TEST);
    glScissor(px - kMarkSidePx / 2, h - 1 - py - kMarkSidePx / 2, kMarkSidePx, kMarkSidePx);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
  }
  // No back buffer in the demo: it presents the frame itself.
  bbutil_swap();
}
