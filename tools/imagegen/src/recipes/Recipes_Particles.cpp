// Particle strips: white and grey shapes the game tints or adds, one frame per animation step.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;

// shape=dot|spark|star|heart|plus|grass|smoke|feather; frame = animation step.
void Particle(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const int f = ctx.Frame();
    const std::string shape = ctx.Text("shape");
    const TRgba grey = Rgb(0xB0B0B0);
    if (shape == "dot") {
        c.Fill(Circle(cx, cy, r),
               Radial(cx, cy, r, {{0.0f, kWhite}, {0.45f, WithAlpha(kWhite, 0.75f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
    } else if (shape == "spark") {
        const float angle = f * 22.5f;
        c.Fill(Circle(cx, cy, r * 0.5f),
               Radial(cx, cy, r * 0.5f, {{0.0f, WithAlpha(kWhite, 0.8f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
        c.Fill(Rotate(Star(cx, cy, 4, r * 0.95f, r * 0.18f), cx, cy, angle), kWhite, {EBlend::Over, 1.0f, 0.3f});
    } else if (shape == "star") {
        static const float kSizes[] = {1.0f, 0.8f, 0.6f, 0.8f};
        const float s = kSizes[f % 4] * r;
        c.Fill(Circle(cx, cy, s),
               Radial(cx, cy, s, {{0.0f, WithAlpha(kWhite, 0.5f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
        const CShape star = Star(cx, cy + s * 0.05f, 5, s * 0.92f, s * 0.4f);
        c.Fill(star, Radial(cx, cy, s, {{0.0f, kWhite}, {1.0f, Rgb(0xD0D0D0)}}));
    } else if (shape == "heart") {
        const CShape heart = Heart(cx, cy, w - 2);
        c.Fill(heart, Radial(cx - r * 0.3f, cy - r * 0.3f, r * 1.6f, {{0.0f, kWhite}, {1.0f, grey}}));
        c.Fill(Ellipse(cx - r * 0.35f, cy - r * 0.3f, r * 0.18f, r * 0.12f), kWhite);
    } else if (shape == "plus") {
        const CShape plus = picto::Plus(cx, cy, w - 3, w * 0.34f);
        c.Fill(plus, Radial(cx - 2, cy - 2, r * 1.4f, {{0.0f, kWhite}, {1.0f, Rgb(0xC8C8C8)}}));
    } else if (shape == "grass") {
        // Four blade tufts: one, two, a bent one and a forked one.
        const float b = h - 0.5f;
        std::vector<CShape> blades;
        if (f == 0) blades = {Capsule({cx, b}, {cx + 0.8f, 1}, 1.6f)};
        if (f == 1)
            blades = {Capsule({cx - 1, b}, {cx - 2.2f, 1.5f}, 1.3f), Capsule({cx + 1, b}, {cx + 2.5f, 2.5f}, 1.3f)};
        if (f == 2) blades = {Polyline(QuadraticCurve({cx - 1, b}, {cx, 2}, {cx + 3, 1}, 6), 1.5f)};
        if (f >= 3)
            blades = {Capsule({cx, b}, {cx, 4}, 1.4f), Capsule({cx, 4}, {cx - 2.5f, 0.8f}, 1.1f),
                      Capsule({cx, 4}, {cx + 2.5f, 1.2f}, 1.1f)};
        c.Fill(Union(blades), Vertical(0, h, kWhite, grey));
    } else if (shape == "smoke") {
        const CValueNoise puff(29);
        c.Fill(Circle(cx, cy, r - 1), [&](float x, float y) {
            const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (r - 1);
            const float n = puff.Fbm(x * 0.18f, y * 0.18f, 3);
            const float a = std::clamp((1.0f - d) * 1.6f, 0.0f, 1.0f) * (0.55f + 0.45f * n);
            return WithAlpha(Mix(kWhite, Rgb(0xD8D8D8), d), a);
        });
    } else if (shape == "feather") {
        const float angle = f == 0 ? -35.0f : 25.0f;
        const CShape vane = Rotate(Ellipse(cx, cy - 0.5f, r * 0.38f, r * 0.85f), cx, cy, angle);
        const CShape quill = Rotate(Capsule({cx, cy - r * 0.7f}, {cx, cy + r * 0.95f}, 0.7f), cx, cy, angle);
        c.Fill(vane, Radial(cx - 2, cy - 2, r * 1.4f, {{0.0f, kWhite}, {1.0f, Rgb(0xD6D6D6)}}));
        c.Fill(quill, Rgb(0x9A9A9A));
    } else {
        ctx.Fail("unknown particle shape '" + shape + "'");
    }
}

}  // namespace imagegen::recipes
