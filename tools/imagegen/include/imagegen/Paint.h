// Paints: the colour a fill gives each point, as a function of the point in logical pixels.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "imagegen/Colour.h"

namespace imagegen {

using TPaint = std::function<TRgba(float x, float y)>;
// Gradient stops: positions 0..1 in increasing order, each with its colour.
using TStops = std::vector<std::pair<float, TRgba>>;

TPaint Solid(const TRgba& c);
// Colour at position t along the stops (clamped at both ends).
TRgba SampleStops(const TStops& stops, float t);
// Along the line from (x0, y0) to (x1, y1); points are projected onto it.
TPaint Linear(float x0, float y0, float x1, float y1, TStops stops);
// Top-to-bottom between y0 and y1 from `top` to `bottom`.
TPaint Vertical(float y0, float y1, const TRgba& top, const TRgba& bottom);
// Outward from (cx, cy): t = distance / radius.
TPaint Radial(float cx, float cy, float radius, TStops stops);

// A lit ball: Lambert shading and a specular spot from a light at the upper left, a faint rim
// of reflected light at the lower right. Outside the ball the colour of its edge is given.
struct TSphere {
    float cx = 0, cy = 0, r = 1;
    TRgba base, light, dark;
    float specular = 0.9f;  // strength of the white highlight, 0..1
    float shininess = 28;   // Blinn-Phong exponent: larger is a smaller spot
    float rim = 0.25f;      // strength of the reflected rim light, 0..1
    TRgba rimColour = {1, 1, 1, 1};
};
// A sphere of centre (cx, cy) and radius r in the three colours, other settings at their defaults.
TSphere MakeSphere(float cx, float cy, float r, const TRgba& base, const TRgba& light, const TRgba& dark);
TPaint SpherePaint(const TSphere& sphere);
// The shading terms of the sphere at a point inside it: the diffuse factor (0..1) and the
// specular factor (0..1).
void SphereTerms(const TSphere& sphere, float x, float y, float& diffuse, float& specular);

}  // namespace imagegen
