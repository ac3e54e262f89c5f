#include "FarmArt.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Draw.h"
#include "imagegen/Noise.h"

namespace imagegen::farmart {

using namespace draw;

void Outlined(CCanvas& c, const CShape& shape, const TPaint& paint, float width, const TRgba& ink) {
    c.Fill(Grow(shape, width), ink);
    c.Fill(shape, paint);
}

TPaint Wood(const TRgba& base, bool horizontal, std::uint32_t seed) {
    const CValueNoise grain(seed);
    return [=](float x, float y) {
        const float along = horizontal ? x : y, across = horizontal ? y : x;
        const float g = grain.Fbm(along * 0.05f, across * 0.6f, 3);
        const float ring = std::sin(across * 1.3f + g * 6.0f) * 0.5f + 0.5f;
        return Shade(base, (g - 0.5f) * 0.25f - ring * 0.08f);
    };
}

TPaint Stone(const TRgba& base, std::uint32_t seed) {
    const CValueNoise mottle(seed);
    return [=](float x, float y) { return Shade(base, (mottle.Fbm(x * 0.15f, y * 0.15f, 3) - 0.5f) * 0.35f); };
}

void ContactShadow(CCanvas& c, float cx, float bottom, float rx, float ry) {
    c.Fill(Ellipse(cx, bottom - ry * 0.6f, rx, ry), WithAlpha(kBlack, 0.22f), {EBlend::Over, 1.0f, ry * 0.8f});
}

CShape Foliage(CCanvas& c, float cx, float cy, float rx, float ry, const TRgba& light, const TRgba& dark,
               std::uint32_t seed) {
    CRandom rng(seed);
    std::vector<CShape> puffs = {Ellipse(cx, cy, rx * 0.78f, ry * 0.78f)};
    const int n = 9;
    for (int i = 0; i < n; ++i) {
        const float a = 6.2831853f * (i + rng.Range(-0.2f, 0.2f)) / n;
        const float r = std::min(rx, ry) * rng.Range(0.32f, 0.42f);
        puffs.push_back(Circle(cx + std::cos(a) * (rx - r * 0.9f), cy + std::sin(a) * (ry - r * 0.9f), r));
    }
    const CShape mass = Union(puffs);
    c.Fill(Grow(mass, 1.1f), kFarmInk);
    c.Fill(mass, Radial(cx - rx * 0.35f, cy - ry * 0.45f, std::max(rx, ry) * 1.6f,
                        {{0.0f, Shade(light, 0.2f)}, {0.5f, light}, {1.0f, dark}}));
    // Leaf clumps: darker undersides, lighter tops.
    for (int i = 0; i < static_cast<int>(rx * ry / 40); ++i) {
        const float x = rng.Range(cx - rx, cx + rx), y = rng.Range(cy - ry, cy + ry);
        const float r = rng.Range(1.2f, 2.6f);
        const bool top = y < cy - ry * 0.1f;
        c.Fill(Intersect(mass, Ellipse(x, y, r * 1.3f, r)),
               WithAlpha(top ? Shade(light, 0.3f) : Shade(dark, -0.25f), top ? 0.55f : 0.45f));
    }
    return mass;
}

void Trunk(CCanvas& c, float cx, float bottom, float top, float width) {
    const CShape trunk = Polygon({{cx - width * 0.7f, bottom},
                                  {cx - width * 0.35f, top},
                                  {cx + width * 0.35f, top},
                                  {cx + width * 0.7f, bottom}});
    const CShape roots = Union(Ellipse(cx - width * 0.6f, bottom - 1.5f, width * 0.45f, 2.0f),
                               Ellipse(cx + width * 0.6f, bottom - 1.5f, width * 0.45f, 2.0f));
    Outlined(c, Union(trunk, roots), Wood(Rgb(0x7A5234), false, 41));
    c.Fill(Intersect(trunk, Rect(cx + width * 0.1f, top, width, bottom - top)), WithAlpha(kBlack, 0.18f));
}

void Balloon(CCanvas& c, float cx, float knotY, float r, const TRgba& colour) {
    const float cy = knotY - r * 1.1f;
    const CShape body = Union(Ellipse(cx, cy, r, r * 1.15f),
                              Polygon({{cx - 2.5f, knotY - 3}, {cx + 2.5f, knotY - 3}, {cx, knotY - r * 0.6f}}));
    Outlined(c, body,
             Radial(cx - r * 0.35f, cy - r * 0.45f, r * 2.0f,
                    {{0.0f, Shade(colour, 0.45f)}, {0.35f, colour}, {1.0f, Shade(colour, -0.45f)}}));
    c.Fill(Polygon({{cx - 2.8f, knotY + 1.5f}, {cx + 2.8f, knotY + 1.5f}, {cx, knotY - 2}}), Shade(colour, -0.3f));
    c.Fill(Rotate(Ellipse(cx - r * 0.4f, cy - r * 0.45f, r * 0.22f, r * 0.38f), cx - r * 0.4f, cy - r * 0.45f, 25),
           WithAlpha(kWhite, 0.75f), {EBlend::Over, 1.0f, 0.8f});
}

void BalloonString(CCanvas& c, float fromX, float fromY, float pegX, float bottom, float sway) {
    const float mid = (fromY + bottom) / 2;
    c.Fill(
        Polyline(CubicCurve({fromX, fromY}, {fromX + sway, mid - 10}, {pegX - sway, mid + 10}, {pegX, bottom - 6}, 16),
                 0.9f),
        Rgb(0x5D5D5D));
    const CShape peg =
        Polygon({{pegX - 2.5f, bottom - 8}, {pegX + 2.5f, bottom - 8}, {pegX + 1, bottom}, {pegX - 1, bottom}});
    Outlined(c, peg, Wood(Rgb(0xA1754A), false, 7), 0.8f);
}

}  // namespace imagegen::farmart
