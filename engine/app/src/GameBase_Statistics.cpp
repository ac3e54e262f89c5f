// The rate statistics line of the draw cycle. Drawing it needs the bitmap font's text output; until
// that is wired here the line is kept up to date in m_StatisticsText but not drawn. The wiring:
// on GL ES first GLES_Set2DRenderingMode(this, m_pBackBuffer), then the font's TextOut into the
// back buffer at x 2, y 30 with m_StatisticsText, colour 255, 255, 255, effect 2 (border),
// alpha 255 and no clip rectangle.
#include "app/GameBase.h"

void CGameBase::DrawStatistics(CBitmapFontText* /*font*/) {}
