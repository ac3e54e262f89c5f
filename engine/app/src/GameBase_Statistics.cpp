// The rate statistics line of the draw cycle: white, bordered, at (2, 30) of the back buffer.
#include "app/GameBase.h"
#include "render/GlesGlobals.h"
#include "text/BitmapFont.h"

void CGameBase::DrawStatistics(CBitmapFontText* font) {
    if (font == nullptr || m_Screen.m_pBackBuffer == nullptr) {
        return;
    }
    if (m_RenderSwitches.m_nRendererKind == kRendererGLES) {
        GLES_Set2DRenderingMode(this, m_Screen.m_pBackBuffer);
    }
    font->TextOut(m_Screen.m_pBackBuffer, 2, 30, m_StatisticsText.GetDataConst(), 255, 255, 255, kTextEffectBorder, 255,
                  nullptr);
}
