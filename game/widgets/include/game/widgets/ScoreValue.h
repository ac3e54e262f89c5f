#pragma once
// Score values: every counter of the game that pairs a caption, a small icon, an "x" sign and a
// number with thousands commas (the rows of the round statistics, the experience badge, the coin
// and boost-point counters at the top of the screens, the boost rows, the statistics dialog)
// draws through DrawScoreValue. Both functions keep no state.
//
// Depends on: render (stretched sprites, blend modes, comma grouping), text (scaled text), the
// game's fonts "FontButtonNormal" and "FontSmall" (IProgressHost::GetGameFont). The icon and the texts go through the
// GL ES paths (DrawStretched, TextOutF), as every screen of the game draws. Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"

class CGameBase;
class CSpriteSet;

// value as "%d" with a comma between every group of three digits, the sign in front of them:
// 0, 999, 1,000, 1,234,567, -1,234.
CommonStringRS<50> FormatWithCommasFast(int value);

// Draws on the back buffer the group "caption, icon, x, number" anchored at (x, y) (pixels), all
// sizes multiplied by scale. The icon (frame 0 of the set; centred on (x, y)) and the "x" sign
// only when showIcon. small selects "FontSmall" and the tighter spacing, else
// "FontButtonNormal"; rightAlign moves the whole group left so that the number ends at x. The
// caption and the number are drawn in (r, g, b) with alpha, the icon untinted with alpha
// (each 0..255, clamped). Returns the x of the middle of the "x" sign (16.16) when the icon is
// drawn, else 0; nothing is drawn and 0 returned without the game's font or back buffer.
FIXED_FLOAT_16 DrawScoreValue(CGameBase* game, CSpriteSet* icon, bool showIcon, float x, float y, float scale,
                              const CommonString& caption, int value, int alpha, int r, int g, int b, bool small,
                              bool rightAlign);

// Where the group DrawScoreValue draws for these arguments, without a caption, lies around its
// x, in pixels: from left (the icon's left edge, or the number's start without the icon) to
// right (the number's end, its trailing letter spacing included). Both 0 without the font.
struct TScoreValueExtent {
    float left = 0;
    float right = 0;
};
TScoreValueExtent MeasureScoreValue(CGameBase* game, CSpriteSet* icon, bool showIcon, float scale, int value,
                                    bool small);
