// Looks the yard's objects share: an ink outline under a fill, wood and stone, leafy canopies,
// a soft contact shadow, a balloon and its string. All in logical pixels of the canvas.
#pragma once

#include <cstdint>

#include "imagegen/Canvas.h"

namespace imagegen::farmart {

// The outline colour of the yard's objects: a warm dark brown.
inline constexpr TRgba kFarmInk = {0.20f, 0.13f, 0.08f, 1.0f};

// The shape in the paint over its outline of `width` pixels.
void Outlined(CCanvas& c, const CShape& shape, const TPaint& paint, float width = 1.0f, const TRgba& ink = kFarmInk);
// Wood: a base colour with grain running along x (horizontal) or y.
TPaint Wood(const TRgba& base, bool horizontal, std::uint32_t seed);
// Grey stone with mottling.
TPaint Stone(const TRgba& base, std::uint32_t seed);
// A soft dark ellipse on the ground under an object.
void ContactShadow(CCanvas& c, float cx, float bottom, float rx, float ry = 3.0f);
// A bumpy leafy mass filling about rx x ry around (cx, cy): outlined, lit from the upper left,
// with leaf speckles; returns its shape.
CShape Foliage(CCanvas& c, float cx, float cy, float rx, float ry, const TRgba& light, const TRgba& dark,
               std::uint32_t seed);
// A tree trunk from the ground up to the canopy: tapered, with bark lines.
void Trunk(CCanvas& c, float cx, float bottom, float top, float width);
// A balloon of radius r with its knot at (cx, knotY) and a string hanging down to a peg on the
// ground at (pegX, bottom).
void Balloon(CCanvas& c, float cx, float knotY, float r, const TRgba& colour);
void BalloonString(CCanvas& c, float fromX, float fromY, float pegX, float bottom, float sway);

}  // namespace imagegen::farmart
