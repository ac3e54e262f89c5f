// The yard's camera: a strip of ground seen from the front in perspective. World positions are
// 24.8 fixed point, x from 0 to 640.0 across the yard (centre 320.0), y the depth from 0 (far,
// high on the screen, drawn at half size) to 329.0 (near, full size). The screen side uses the
// back buffer's size, so the yard's far edge sits 314 pixels above the screen's bottom edge.
// Main thread; pure functions of their arguments and the back buffer's size.
#pragma once

#include "core/Common.h"

class CGameBase;

// The drawing scale at a world position (16.16): 0.5 at depth 0, 1.0 at depth 329.0.
[[nodiscard]] FIXED_FLOAT_16 WorldToScreenScale(TVector2D position);
// The screen position (24.8 pixels) of a world position, for the game's back buffer.
[[nodiscard]] TVector2D WorldToScreen(CGameBase* game, TVector2D world);
// The inverse of WorldToScreen, exact up to the last fraction bit. Points above the far edge's
// row map onto the far edge (depth 0).
[[nodiscard]] TVector2D ScreenToWorld(CGameBase* game, TVector2D screen);
// The depth order for qsort over an array of CFarmObject pointers: the farther object (smaller
// world y) first; equal depths compare equal.
int CompareFunc(const void* a, const void* b);
