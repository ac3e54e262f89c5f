// Solid colours, gradients and the sphere shader.
#include "imagegen/Paint.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

namespace {

// Light from the upper left and towards the viewer (y grows downwards on screen).
constexpr float kLightX = -0.5f, kLightY = -0.62f, kLightZ = 0.6f;

}  // namespace

TPaint Solid(const TRgba& c) {
    return [c](float, float) { return c; };
}

TRgba SampleStops(const TStops& stops, float t) {
    if (stops.empty()) return {};
    if (t <= stops.front().first) return stops.front().second;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            const float u = span > 0 ? (t - stops[i - 1].first) / span : 1.0f;
            return Mix(stops[i - 1].second, stops[i].second, u);
        }
    }
    return stops.back().second;
}

TPaint Linear(float x0, float y0, float x1, float y1, TStops stops) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    return [=](float x, float y) {
        const float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0f;
        return SampleStops(stops, t);
    };
}

TPaint Vertical(float y0, float y1, const TRgba& top, const TRgba& bottom) {
    return Linear(0, y0, 0, y1, {{0.0f, top}, {1.0f, bottom}});
}

TPaint Radial(float cx, float cy, float radius, TStops stops) {
    return [=](float x, float y) {
        const float t = radius > 0 ? std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / radius : 0.0f;
        return SampleStops(stops, t);
    };
}

void SphereTerms(const TSphere& s, float x, float y, float& diffuse, float& specular) {
    float nx = (x - s.cx) / s.r, ny = (y - s.cy) / s.r;
    const float rr = nx * nx + ny * ny;
    if (rr > 1.0f) {
        // Past the edge the edge's normal stands, so anti-aliased border samples get its colour.
        const float k = 1.0f / std::sqrt(rr);
        nx *= k;
        ny *= k;
    }
    const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    const float ll = std::sqrt(kLightX * kLightX + kLightY * kLightY + kLightZ * kLightZ);
    const float lx = kLightX / ll, ly = kLightY / ll, lz = kLightZ / ll;
    diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    // Blinn-Phong: the half vector between the light and the viewer (0, 0, 1).
    float hx = lx, hy = ly, hz = lz + 1.0f;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hl;
    hy /= hl;
    hz /= hl;
    specular = std::pow(std::max(0.0f, nx * hx + ny * hy + nz * hz), s.shininess);
}

TSphere MakeSphere(float cx, float cy, float r, const TRgba& base, const TRgba& light, const TRgba& dark) {
    TSphere s;
    s.cx = cx;
    s.cy = cy;
    s.r = r;
    s.base = base;
    s.light = light;
    s.dark = dark;
    return s;
}

TPaint SpherePaint(const TSphere& s) {
    return [s](float x, float y) {
        float diffuse = 0, specular = 0;
        SphereTerms(s, x, y, diffuse, specular);
        // Dark in the shadow, the base colour in the lit half, the light colour near the light.
        TRgba c = diffuse < 0.6f ? Mix(s.dark, s.base, diffuse / 0.6f) : Mix(s.base, s.light, (diffuse - 0.6f) / 0.4f);
        // Reflected light along the lower-right edge.
        const float nx = (x - s.cx) / s.r, ny = (y - s.cy) / s.r;
        const float edge = std::clamp(std::sqrt(nx * nx + ny * ny), 0.0f, 1.0f);
        const float facing = std::clamp((nx + ny) * 0.7071f, 0.0f, 1.0f);
        c = Mix(c, s.rimColour, s.rim * std::pow(edge, 6.0f) * facing);
        c = Mix(c, TRgba{1, 1, 1, c.a}, s.specular * specular);
        c.a = 1.0f;
        return c;
    };
}

}  // namespace imagegen
