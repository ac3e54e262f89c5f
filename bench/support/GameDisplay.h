#pragma once
// The game sized for a display as the program sizes it (shell/src/Program.cpp): the logical
// resolution the game picks for the display, double-resolution images, the device size the GL
// viewport covers, linear filtering and the 4444 uploads widened when llvmpipe draws. Call it
// before the game's Init with a GL context of the display's size current; Init takes the logical
// size returned.
#include <utility>

#include "app/GameBase.h"
#include "platform/EglSurface.h"
#include "render/GlesGlobals.h"

namespace bench {

// The program's default display, and so the size its frames are drawn at.
constexpr int kDisplayW = 768, kDisplayH = 1280;

inline std::pair<int, int> SizeForDisplay(CGameBase& game, int displayW, int displayH) {
    int w = 0, h = 0;
    game.SelectAndroidInGameResolution(displayW, displayH, w, h);
    game.m_RenderSwitches.m_bDoubleResolution = true;
    game.m_Screen.m_nDeviceWidth = displayW;
    game.m_Screen.m_nDeviceHeight = displayH;
    g_prefer_GL_NEAREST = GL_LINEAR;
    game.m_RenderSwitches.m_bWiden4444Uploads = platform::GlDrawsOnCpu();
    return {w, h};
}

}  // namespace bench
