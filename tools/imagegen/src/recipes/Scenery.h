// Scenery pieces shared by the backgrounds and thumbnails: rolling hills, meadow grass with
// flowers, clouds, bushes, fences and the little barn.
#pragma once

#include <cstdint>
#include <functional>

#include "imagegen/Canvas.h"

namespace imagegen::scenery {

// The region below a curve y = top(x) between x0 and x1, down to bottom.
CShape Ridge(const std::function<float(float)>& top, float x0, float x1, float bottom, float step = 2.0f);
// A smooth hill line: base level plus a sum of soft bumps seeded by `seed`.
std::function<float(float)> HillLine(float base, float amplitude, float wavelength, std::uint32_t seed);

// Meadow grass: a vertical green gradient with noise and blades, filling the shape.
void Meadow(CCanvas& c, const CShape& area, float top, float bottom, const TRgba& light, const TRgba& dark,
            std::uint32_t seed);
// Small flowers scattered over a box, denser and larger towards the bottom.
void Flowers(CCanvas& c, float x0, float y0, float x1, float y1, int count, std::uint64_t seed);
// A cumulus cloud filling about w x h around its centre; variant picks one of six outlines.
void Cloud(CCanvas& c, float cx, float cy, float w, float h, int variant, float opacity = 1.0f);
// A round leafy bush with flowers.
void Bush(CCanvas& c, float cx, float bottom, float w, float h, const TRgba& flower, std::uint64_t seed);
// A wooden fence along a line from x0 to x1, posts every spacing pixels.
void Fence(CCanvas& c, float x0, float x1, float bottomY, float height, float spacing, const TRgba& wood);
// A red barn with a white-trimmed door, its base centred at (cx, bottom).
void Barn(CCanvas& c, float cx, float bottom, float w, float h);
// A darkening towards the edges of the canvas, strength 0..1.
void Vignette(CCanvas& c, float w, float h, float strength);

}  // namespace imagegen::scenery
