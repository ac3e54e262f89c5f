#pragma once
// The finger-driven vertical scrolling that every scrolling list of the game shares: the drag past
// an end at half rate, the fling that slows by a pixel per tick, the spring back onto a limit, and
// the scroll bar (its geometry, its fade and its drawing with the "ScrollerEdge" caps).
//
// Units: positions, limits and speeds are FIXED_FLOAT (1/256 pixel; speeds per tick). A larger
// position shows content further down. The bar's geometry is in whole pixels inside the list's
// area.
//
// Depends on: render (drawing) through IElementHost. Main thread only.

#include "core/Common.h"

class IDibBitmap;
class IElementHost;

// The pixel step a drag applies for a finger that moved dy pixels: halved (towards zero) while the
// list is pulled further out past an end (below the minimum moving down, above the maximum moving
// up).
int DampedDragStep(int dy, FIXED_FLOAT position, FIXED_FLOAT minimum, FIXED_FLOAT maximum);

// One tick of the motion with no finger down. Inside the limits the position moves by the speed and
// the speed then moves a pixel towards 0. Past an end a speed still running outwards halves until
// it is under a pixel (then 0); otherwise the list springs back by a sixth of the distance a tick,
// 1 to 15 pixels, stopping exactly on the limit with speed 0.
void StepScrollMotion(FIXED_FLOAT& position, FIXED_FLOAT& speed, FIXED_FLOAT minimum, FIXED_FLOAT maximum);

// The scroll bar beside a list.
struct TScrollBar {
    int x = 0;       // left edge inside the area: the area's width less 8
    int y = 0;       // top inside the area
    int width = 0;   // 6
    int height = 0;  // at least 1
    int alpha = 0;   // 0..255

    // Geometry for the position: the bar is areaHeight x (areaHeight / range) long, the ratio held
    // within [minRatio, maxRatio], and slides over the range. Without a range (the content fits)
    // it spans the whole area at its top, and nothing is divided. Past an end it shrinks by half
    // the overshoot (at least 1 pixel left) and sticks to that end. The alpha is 255 while shown,
    // else it falls by 32 a tick to 0.
    void Update(FIXED_FLOAT position, FIXED_FLOAT minimum, FIXED_FLOAT maximum, int areaWidth, int areaHeight,
                bool shown, double minRatio, double maxRatio);
    // The two caps (frames 0 and 1 of "ScrollerEdge") and the black between them at alpha / 255 x
    // 95, with the area's top-left at (areaX, areaY); a bar under 6 pixels shows half of each cap.
    // Nothing for a bar of 1 pixel or an alpha that comes to under 1.
    void Draw(IElementHost* game, IDibBitmap* target, IDibBitmap* topCap, IDibBitmap* bottomCap, int areaX,
              int areaY) const;
};
