// Hills, grass, flowers, clouds, bushes, fences and the barn.
#include "Scenery.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Draw.h"
#include "imagegen/Noise.h"

namespace imagegen::scenery {

using namespace draw;

CShape Ridge(const std::function<float(float)>& top, float x0, float x1, float bottom, float step) {
    std::vector<TVec> points;
    for (float x = x0; x < x1 + step; x += step) points.push_back({std::min(x, x1), top(std::min(x, x1))});
    points.push_back({x1, bottom});
    points.push_back({x0, bottom});
    return Polygon(points);
}

std::function<float(float)> HillLine(float base, float amplitude, float wavelength, std::uint32_t seed) {
    CRandom rng(seed);
    const float p1 = rng.Range(0, 6.28f), p2 = rng.Range(0, 6.28f), k2 = rng.Range(1.7f, 2.4f);
    return [=](float x) {
        const float t = x / wavelength * 6.2831853f;
        return base - amplitude * (0.65f * std::sin(t + p1) + 0.35f * std::sin(t * k2 + p2));
    };
}

void Meadow(CCanvas& c, const CShape& area, float top, float bottom, const TRgba& light, const TRgba& dark,
            std::uint32_t seed) {
    const CValueNoise noise(seed);
    c.Fill(area, [=, &noise](float x, float y) {
        const float t = std::clamp((y - top) / std::max(1.0f, bottom - top), 0.0f, 1.0f);
        const TRgba base = Mix(light, dark, t);
        // Coarse patches and fine grain, squashed vertically for a receding field.
        const float patches = noise.Fbm(x * 0.02f, y * 0.045f, 3);
        const float grain = noise.At(x * 0.35f + 50, y * 0.9f);
        return Shade(base, (patches - 0.5f) * 0.22f + (grain - 0.5f) * 0.08f);
    });
    // Blades: short dark and light strokes, more of them and longer lower down.
    CRandom rng(seed * 7u + 3u);
    const TBox box = area.Bounds();
    const int count = static_cast<int>((box.x1 - box.x0) * (box.y1 - box.y0) / 90.0f);
    for (int i = 0; i < count; ++i) {
        const float x = rng.Range(box.x0, box.x1), y = rng.Range(std::max(box.y0, top), box.y1);
        const float t = std::clamp((y - top) / std::max(1.0f, bottom - top), 0.0f, 1.0f);
        const float len = 1.5f + 4.0f * t, lean = rng.Range(-1.2f, 1.2f);
        const bool lightBlade = rng.Range(0, 1) < 0.45f;
        const TRgba colour = lightBlade ? WithAlpha(Shade(light, 0.25f), 0.55f) : WithAlpha(Shade(dark, -0.3f), 0.45f);
        c.Fill(Capsule({x, y}, {x + lean, y - len}, 0.35f + 0.5f * t), colour, {EBlend::Atop});
    }
}

void Flowers(CCanvas& c, float x0, float y0, float x1, float y1, int count, std::uint64_t seed) {
    static const TRgba kPetals[] = {Rgb(0xFFFFFF), Rgb(0xFFF176), Rgb(0xF8BBD0), Rgb(0xE1BEE7), Rgb(0xFFCC80)};
    CRandom rng(seed);
    for (int i = 0; i < count; ++i) {
        const float t = rng.Range(0, 1);
        const float y = y0 + (y1 - y0) * std::sqrt(t);
        const float x = rng.Range(x0, x1);
        const float s = 0.5f + 1.6f * (y - y0) / std::max(1.0f, y1 - y0);
        const TRgba petal = kPetals[rng.Int(0, 4)];
        if (s < 1.0f) {
            c.Fill(Circle(x, y, s), petal);
            continue;
        }
        for (int k = 0; k < 5; ++k) {
            const float a = k * 1.2566f + t * 3;
            c.Fill(Circle(x + std::cos(a) * s * 0.8f, y + std::sin(a) * s * 0.8f, s * 0.6f), petal);
        }
        c.Fill(Circle(x, y, s * 0.45f), Rgb(0xFFB300));
    }
}

void Cloud(CCanvas& c, float cx, float cy, float w, float h, int variant, float opacity) {
    CRandom rng(static_cast<std::uint64_t>(variant) * 977u + 5u);
    const int puffs = 4 + variant % 3;
    std::vector<CShape> parts;
    const float base = cy + h * 0.3f;
    // A flattened bottom and a row of puffs that rise towards the middle, all inside w x h.
    parts.push_back(Ellipse(cx, base - h * 0.14f, w * 0.46f, h * 0.15f));
    for (int i = 0; i < puffs; ++i) {
        const float t = (i + 0.5f) / puffs;
        const float x = cx - w * 0.34f + w * 0.68f * t + rng.Range(-w * 0.03f, w * 0.03f);
        const float bump = std::sin(t * 3.14159f);
        const float r = h * (0.17f + 0.17f * bump) * rng.Range(0.9f, 1.08f);
        parts.push_back(Circle(x, base - r * 0.75f - h * 0.09f * bump, r));
    }
    const CShape cloud = Union(parts);
    c.Fill(cloud, Vertical(cy - h / 2, base, WithAlpha(kWhite, opacity), WithAlpha(Rgb(0xD3E2EE), opacity)),
           {EBlend::Over, 1.0f, 0.7f});
    // Light along the upper left of every puff, a soft shade along the underside.
    c.Fill(Subtract(cloud, Translate(cloud, w * 0.03f, h * 0.09f)), WithAlpha(kWhite, 0.9f),
           {EBlend::Atop, 1.0f, 1.5f});
    c.Fill(Subtract(cloud, Translate(cloud, 0, -h * 0.12f)), WithAlpha(Rgb(0xA9BED0), 0.55f),
           {EBlend::Atop, 1.0f, 2.0f});
}

void Bush(CCanvas& c, float cx, float bottom, float w, float h, const TRgba& flower, std::uint64_t seed) {
    CRandom rng(seed);
    std::vector<CShape> lobes;
    for (int i = 0; i < 7; ++i) {
        const float t = i / 6.0f;
        const float x = cx - w * 0.36f + w * 0.72f * t;
        const float bump = std::sin(t * 3.14159f);
        const float r = h * (0.22f + 0.16f * bump) * rng.Range(0.9f, 1.1f);
        lobes.push_back(Circle(x, bottom - r - h * 0.28f * bump, r));
    }
    lobes.push_back(RoundRect(cx - w * 0.44f, bottom - h * 0.35f, w * 0.88f, h * 0.35f, h * 0.17f));
    const CShape bush = Union(lobes);
    c.Fill(Ellipse(cx + 3, bottom - 1, w * 0.45f, h * 0.08f), WithAlpha(kBlack, 0.25f), {EBlend::Over, 1.0f, 2.0f});
    const CValueNoise leaves(static_cast<std::uint32_t>(seed));
    c.Fill(bush, [&](float x, float y) {
        const float n = leaves.Fbm(x * 0.25f, y * 0.25f, 3);
        const TRgba base = Mix(Rgb(0x8BC34A), Rgb(0x2E6B1E), std::clamp((y - (bottom - h)) / h, 0.0f, 1.0f));
        return Shade(base, (n - 0.5f) * 0.5f);
    });
    // Leaf clumps: each lobe shaded along its lower edge and lit at its upper left.
    for (std::size_t i = 0; i + 1 < lobes.size(); ++i) {
        const TBox b = lobes[i].Bounds();
        const float r = (b.x1 - b.x0) / 2;
        c.Fill(Subtract(lobes[i], Translate(lobes[i], -r * 0.12f, -r * 0.22f)), WithAlpha(Rgb(0x1B4D12), 0.35f),
               {EBlend::Atop, 1.0f, 1.2f});
        c.Fill(Circle(b.x0 + r * 0.8f, b.y0 + r * 0.75f, r * 0.5f), WithAlpha(Rgb(0xC5E1A5), 0.3f),
               {EBlend::Atop, 1.0f, r * 0.3f});
    }
    c.Fill(InnerBand(bush, 1.2f), Rgb(0x1B4D12));
    for (int i = 0; i < 12; ++i) {
        const float x = rng.Range(cx - w * 0.35f, cx + w * 0.35f), y = rng.Range(bottom - h * 0.85f, bottom - h * 0.2f);
        if (bush.Distance(x, y) > -3) continue;
        for (int k = 0; k < 5; ++k) {
            const float a = k * 1.2566f;
            c.Fill(Circle(x + std::cos(a) * 1.8f, y + std::sin(a) * 1.8f, 1.5f), flower);
        }
        c.Fill(Circle(x, y, 1.2f), Rgb(0xFFD54F));
    }
}

void Fence(CCanvas& c, float x0, float x1, float bottomY, float height, float spacing, const TRgba& wood) {
    const float postW = std::max(2.0f, height * 0.18f);
    for (float y : {bottomY - height * 0.78f, bottomY - height * 0.42f}) {
        const CShape rail = Rect(x0, y, x1 - x0, std::max(1.5f, height * 0.13f));
        c.Fill(rail, Vertical(y, y + height * 0.13f, Shade(wood, 0.2f), Shade(wood, -0.2f)));
        c.Fill(InnerBand(rail, 0.6f), WithAlpha(Shade(wood, -0.5f), 0.8f));
    }
    for (float x = x0 + spacing / 2; x < x1; x += spacing) {
        const CShape post = Union(Rect(x - postW / 2, bottomY - height * 0.9f, postW, height * 0.9f),
                                  Polygon({{x - postW / 2, bottomY - height * 0.9f},
                                           {x + postW / 2, bottomY - height * 0.9f},
                                           {x, bottomY - height}}));
        c.Fill(post,
               Linear(x - postW / 2, 0, x + postW / 2, 0, {{0.0f, Shade(wood, 0.25f)}, {1.0f, Shade(wood, -0.25f)}}));
        c.Fill(InnerBand(post, 0.6f), WithAlpha(Shade(wood, -0.5f), 0.8f));
    }
}

void Barn(CCanvas& c, float cx, float bottom, float w, float h) {
    const float wallTop = bottom - h * 0.58f;
    const CShape walls = Rect(cx - w / 2, wallTop, w, bottom - wallTop);
    const CShape roof = Polygon({{cx - w * 0.58f, wallTop + 2},
                                 {cx - w * 0.32f, bottom - h * 0.86f},
                                 {cx, bottom - h},
                                 {cx + w * 0.32f, bottom - h * 0.86f},
                                 {cx + w * 0.58f, wallTop + 2}});
    c.Fill(Translate(Union(walls, roof), 2, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
    c.Fill(walls, Vertical(wallTop, bottom, Rgb(0xD64541), Rgb(0x96281B)));
    for (float x = cx - w / 2 + 4; x < cx + w / 2; x += 5)
        c.Fill(Rect(x, wallTop, 0.8f, bottom - wallTop), WithAlpha(Rgb(0x6B1510), 0.5f), {EBlend::Atop});
    c.Fill(roof, Vertical(bottom - h, wallTop, Rgb(0x8D6E63), Rgb(0x4E342E)));
    c.Fill(InnerBand(roof, 1.2f), Rgb(0x2E1E17));
    const float dw = w * 0.34f, dh = h * 0.42f;
    const CShape door = Rect(cx - dw / 2, bottom - dh, dw, dh);
    c.Fill(door, Rgb(0x7B1E14));
    c.Fill(Shell(door, 1.6f), kWhite);
    c.Fill(Polyline({{cx - dw / 2, bottom - dh}, {cx + dw / 2, bottom}}, 1.4f), kWhite);
    c.Fill(Polyline({{cx + dw / 2, bottom - dh}, {cx - dw / 2, bottom}}, 1.4f), kWhite);
    const CShape loft = Rect(cx - w * 0.1f, bottom - h * 0.8f, w * 0.2f, h * 0.14f);
    c.Fill(loft, Rgb(0x3E2A1E));
    c.Fill(Shell(loft, 1.2f), kWhite);
    c.Fill(InnerBand(walls, 1.0f), Rgb(0x5A1510));
}

void Vignette(CCanvas& c, float w, float h, float strength) {
    const float r = std::sqrt(w * w + h * h) / 2;
    c.FillAll(Radial(w / 2, h * 0.45f, r, {{0.55f, WithAlpha(kBlack, 0.0f)}, {1.0f, WithAlpha(kBlack, strength)}}),
              {EBlend::Atop});
}

}  // namespace imagegen::scenery
