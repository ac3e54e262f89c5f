// Backgrounds and scenes: the menu meadow, the dialog backdrop, the start menu's foreground
// meadow, clouds, bushes, the arena and yard thumbnails and the group loader's emblem.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Recipes.h"
#include "Scenery.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;
using namespace scenery;

namespace {

void Sky(CCanvas& c, float w, float skyBottom) {
    c.Fill(Rect(0, 0, w, skyBottom + 2), Vertical(0, skyBottom, Rgb(0x8FD3F4), Rgb(0xD8F1FF)));
}

// Three layers of hills from the horizon down, farthest palest.
void Hills(CCanvas& c, float w, float horizon, float bottom, std::uint32_t seed) {
    const TRgba far = Rgb(0xB5DDA0), mid = Rgb(0x93C86A), near = Rgb(0x7DB356);
    c.Fill(Ridge(HillLine(horizon + 6, 10, w * 0.9f, seed), -2, w + 2, bottom),
           Vertical(horizon - 10, horizon + 40, far, mid));
    c.Fill(Ridge(HillLine(horizon + 22, 12, w * 1.1f, seed + 1), -2, w + 2, bottom),
           Vertical(horizon, horizon + 60, mid, near));
}

// A framed rounded thumbnail: the scene is drawn by `scene` and clipped to the frame.
template <typename F>
void Thumbnail(CCanvas& c, float w, float h, F&& scene) {
    const CShape frame = RoundRect(2, 2, w - 5, h - 5, 12);
    // The scene is painted into the frame's shape; whatever reaches past it is erased, and the
    // shadow goes in behind last.
    c.Fill(frame, Rgb(0x8FD3F4));
    scene();
    c.Fill(Subtract(Rect(-1, -1, w + 2, h + 2), frame), kBlack, {EBlend::Erase});
    c.Fill(Translate(frame, 1.5f, 2), kShadow, {EBlend::Behind, 1.0f, 1.0f});
    c.Fill(Intersect(Grow(frame, -2), Rect(0, 0, w, h * 0.4f)),
           Vertical(0, h * 0.4f, WithAlpha(kWhite, 0.35f), WithAlpha(kWhite, 0.0f)), {EBlend::Atop});
    c.Fill(InnerBand(frame, 3.0f), Vertical(0, h, kGoldShine, kGoldRim));
    c.Fill(InnerBand(frame, 0.9f), kGoldDark);
    c.Fill(Shell(Grow(frame, -3), 0.8f), WithAlpha(kGoldDark, 0.7f));
}

}  // namespace

// The menu background: sky, soft hills, a meadow with flowers, darker at the edges.
void MenuBackground(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float horizon = h * 0.4f;
    Sky(c, w, horizon + 30);
    Cloud(c, w * 0.2f, h * 0.1f, 90, 40, 1, 0.9f);
    Cloud(c, w * 0.78f, h * 0.17f, 110, 48, 3, 0.85f);
    Cloud(c, w * 0.55f, h * 0.05f, 70, 30, 5, 0.7f);
    Hills(c, w, horizon, h, 3);
    const float meadowTop = horizon + 44;
    Meadow(c, Ridge(HillLine(meadowTop, 8, w * 1.4f, 9), -2, w + 2, h + 2), meadowTop, h, Rgb(0x93C86A), Rgb(0x5E9A3C),
           17);
    Flowers(c, 0, meadowTop + 10, w, h - 4, 160, 21);
    Vignette(c, w, h, 0.45f);
}

// The full-screen dialog backdrop: teal, faint diagonal stripes, a pool of light at the top.
void DialogBackground(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    c.FillAll(Vertical(0, h, Rgb(0x1E4A52), Rgb(0x0F2A30)));
    c.FillAll([&](float x, float y) {
        const bool stripe = std::fmod(x + y + 1000.0f, 24.0f) < 12.0f;
        return WithAlpha(kWhite, stripe ? 12.0f / 255.0f : 0.0f);
    });
    c.Fill(
        Ellipse(w / 2, 0, w * 0.7f, h * 0.3f),
        Radial(w / 2, 0, w * 0.7f, {{0.0f, WithAlpha(Rgb(0x9EE6E0), 0.22f)}, {1.0f, WithAlpha(Rgb(0x9EE6E0), 0.0f)}}));
    Vignette(c, w, h, 0.4f);
}

// The start menu's meadow: a hazy horizon at the top edge (it meets the white end of the sky
// gradient), a fence line, flowers, and deeper green at the bottom.
void MenuMeadow(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    c.FillAll(Vertical(0, 10, Rgb(0xFFFFFF), Rgb(0xE8F5D8)));
    // Far hills fading into the haze, then the field the birds stand on (their feet rest 7 to 13
    // pixels below the top edge).
    c.Fill(Ridge(HillLine(5, 2.5f, w * 0.7f, 41), -2, w + 2, h), Vertical(2, 16, Rgb(0xDDEFCB), Rgb(0xB8DC98)));
    const auto fieldTop = HillLine(9, 1.5f, w * 1.3f, 43);
    Meadow(c, Ridge(fieldTop, -2, w + 2, h + 2), 8, h, Rgb(0xA8D67A), Rgb(0x4E8A30), 45);
    // Morning light from the upper middle.
    c.Fill(
        Rect(0, 0, w, h),
        Radial(w / 2, 0, w * 0.8f, {{0.0f, WithAlpha(Rgb(0xFFF3C4), 0.35f)}, {1.0f, WithAlpha(Rgb(0xFFF3C4), 0.0f)}}),
        {EBlend::Atop});
    Fence(c, -4, w + 4, 58, 22, 26, Rgb(0xB08A60));
    Flowers(c, 0, 62, w, h - 4, 130, 47);
    Vignette(c, w, h * 1.4f, 0.35f);
}

// variant=1..6: a soft white cumulus filling the frame.
void CloudImage(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    Cloud(c, w / 2, h / 2 + 2, w - 6, h - 6, ctx.Int("variant", 1));
}

// variant=1|2: a round bush with flowers, its base on the bottom edge.
void BushImage(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int v = ctx.Int("variant", 1);
    Bush(c, w / 2, h - 3, w - 8, h - 6, v == 1 ? Rgb(0xF8BBD0) : Rgb(0xFFFFFF), static_cast<std::uint64_t>(v) * 13u);
}

// The arena buttons, frame = arena: a clover field with a red marble, a canyon with a ruby, a
// cave with a diamond.
void ArenaThumbs(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int arena = ctx.Frame();
    Thumbnail(c, w, h, [&] {
        const TFill atop{EBlend::Atop};
        if (arena == 0) {
            c.Fill(Rect(0, 0, w, h), Vertical(0, h * 0.45f, Rgb(0x8FD3F4), Rgb(0xD8F1FF)), atop);
            const CShape field = Ridge(HillLine(h * 0.42f, 3, w, 51), 0, w, h);
            c.Fill(field, Vertical(h * 0.4f, h, Rgb(0x7DB356), Rgb(0x3E7A2A)), atop);
            CRandom rng(53);
            for (int i = 0; i < 18; ++i) {
                const float x = rng.Range(6, w - 6), y = rng.Range(h * 0.5f, h - 8);
                for (int k = 0; k < 3; ++k) {
                    const float a = k * 2.094f;
                    c.Fill(Circle(x + std::cos(a) * 1.4f, y + std::sin(a) * 1.4f, 1.3f), Rgb(0xA5D66F), atop);
                }
            }
            Marble(c, w * 0.52f, h * 0.62f, 12, MarbleColours(0));
        } else if (arena == 1) {
            c.Fill(Rect(0, 0, w, h), Vertical(0, h * 0.5f, Rgb(0xF6B26B), Rgb(0xFFE0B2)), atop);
            c.Fill(Ridge(HillLine(h * 0.35f, 8, w * 0.6f, 61), 0, w, h),
                   Vertical(h * 0.2f, h, Rgb(0xC1583A), Rgb(0x7A2E1C)), atop);
            c.Fill(Ridge(HillLine(h * 0.58f, 4, w * 0.8f, 63), 0, w, h),
                   Vertical(h * 0.5f, h, Rgb(0xD9774F), Rgb(0x9A3C22)), atop);
            for (int i = 0; i < 3; ++i)
                c.Fill(Rect(0, h * (0.66f + 0.09f * i), w, 1), WithAlpha(Rgb(0x6B2515), 0.5f), atop);
            Gem(c, w * 0.52f, h * 0.6f, 13, kRuby, kRubyLight, Rgb(0x7A0E35));
        } else {
            c.Fill(Rect(0, 0, w, h), Radial(w / 2, h * 0.55f, w * 0.7f, {{0.0f, Rgb(0x5C4B99)}, {1.0f, Rgb(0x1A1440)}}),
                   atop);
            const CShape arch = Subtract(Rect(0, 0, w, h), Ellipse(w / 2, h * 0.75f, w * 0.42f, h * 0.55f));
            c.Fill(arch, Vertical(0, h, Rgb(0x2C2352), Rgb(0x140F2E)), atop);
            for (auto [x, y, s] : {std::tuple{14.0f, 60.0f, 8.0f}, {62.0f, 58.0f, 7.0f}, {20.0f, 16.0f, 6.0f}}) {
                c.Fill(Polygon({{x - s / 2, y}, {x, y - s * 1.8f}, {x + s / 2, y}}),
                       Vertical(y - s * 1.8f, y, Rgb(0xB3E5FC), Rgb(0x4F6FB0)), atop);
            }
            Gem(c, w * 0.5f, h * 0.58f, 13, kDiamond, kWhite, Rgb(0x4F8FB0));
        }
    });
}

// The yard buttons, frame = yard: a meadow with a fence, an apple orchard, a pond with a
// willow, a barn at sunset.
void YardThumbs(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int yard = ctx.Frame();
    Thumbnail(c, w, h, [&] {
        const TFill atop{EBlend::Atop};
        const bool sunset = yard == 3;
        c.Fill(Rect(0, 0, w, h),
               sunset ? Vertical(0, h * 0.5f, Rgb(0xF57C00), Rgb(0xFFE082))
                      : Vertical(0, h * 0.5f, Rgb(0x8FD3F4), Rgb(0xD8F1FF)),
               atop);
        if (sunset) c.Fill(Circle(w * 0.3f, h * 0.42f, 9), Rgb(0xFFF3C4), atop);
        c.Fill(Ridge(HillLine(h * 0.45f, 4, w * 0.9f, 70 + yard), 0, w, h),
               Vertical(h * 0.4f, h, sunset ? Rgb(0xB5A24A) : Rgb(0x93C86A), sunset ? Rgb(0x6B5A1E) : Rgb(0x4E8A30)),
               atop);
        if (yard == 0) {
            Fence(c, 0, w, h * 0.62f, 12, 14, Rgb(0xB08A60));
            c.Fill(Ellipse(w * 0.6f, h * 0.78f, 7, 5.5f), kWhite, atop);
            c.Fill(Circle(w * 0.6f + 6, h * 0.72f, 3.5f), kWhite, atop);
            c.Fill(Polygon({{w * 0.6f + 9, h * 0.71f}, {w * 0.6f + 12.5f, h * 0.72f}, {w * 0.6f + 9, h * 0.735f}}),
                   Rgb(0xFF9800), atop);
            c.Fill(Circle(w * 0.6f + 6, h * 0.68f, 1.5f), Rgb(0xE53935), atop);
        } else if (yard == 1) {
            for (auto [x, y, s] : {std::tuple{18.0f, 40.0f, 1.0f}, {56.0f, 38.0f, 1.0f}, {38.0f, 52.0f, 1.2f}}) {
                c.Fill(Rect(x - 1.5f * s, y, 3 * s, 12 * s), Rgb(0x6D4C33), atop);
                const CShape crown = Union({Circle(x, y - 2 * s, 9 * s), Circle(x - 6 * s, y + 1 * s, 6 * s),
                                            Circle(x + 6 * s, y + 1 * s, 6 * s)});
                c.Fill(crown, Vertical(y - 11 * s, y + 7 * s, Rgb(0x7CB342), Rgb(0x33691E)), atop);
                CRandom rng(static_cast<std::uint64_t>(x));
                for (int i = 0; i < 5; ++i)
                    c.Fill(Circle(x + rng.Range(-7, 7) * s, y + rng.Range(-6, 4) * s, 1.6f * s), Rgb(0xE53935), atop);
            }
        } else if (yard == 2) {
            c.Fill(Ellipse(w * 0.45f, h * 0.72f, w * 0.32f, h * 0.12f),
                   Vertical(h * 0.6f, h * 0.84f, Rgb(0x81D4FA), Rgb(0x0288D1)), atop);
            c.Fill(Ellipse(w * 0.4f, h * 0.69f, w * 0.12f, 1.2f), WithAlpha(kWhite, 0.7f), atop);
            c.Fill(Rect(w * 0.78f - 2, h * 0.3f, 4, h * 0.35f), Rgb(0x5D4037), atop);
            for (int i = 0; i < 9; ++i) {
                const float x = w * 0.78f + (i - 4) * 3.2f;
                c.Fill(Polyline(QuadraticCurve({w * 0.78f, h * 0.28f}, {x + (i - 4) * 2.0f, h * 0.25f},
                                               {x + (i - 4) * 1.5f, h * 0.62f}, 8),
                                2.2f),
                       Mix(Rgb(0x9CCC65), Rgb(0x558B2F), i / 8.0f), atop);
            }
        } else {
            Barn(c, w * 0.62f, h * 0.7f, 34, 30);
        }
    });
}

// The group loader's emblem: a red barn with four marbles rolling before it.
void BarnEmblem(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape ground = Ellipse(w / 2, h - 22, w / 2 - 4, 20);
    c.Fill(Translate(ground, 2, 2), kShadow, {EBlend::Over, 1.0f, 2.0f});
    c.Fill(ground, Vertical(h - 42, h - 2, Rgb(0x9CCC65), Rgb(0x4E8A30)));
    c.Fill(InnerBand(ground, 1.2f), Rgb(0x2E5A1C));
    Barn(c, w / 2, h - 30, 78, 76);
    Fence(c, 10, 44, h - 28, 16, 12, Rgb(0xF5F5F5));
    Fence(c, w - 44, w - 10, h - 28, 16, 12, Rgb(0xF5F5F5));
    const float xs[] = {w / 2 - 42, w / 2 - 14, w / 2 + 14, w / 2 + 42};
    for (int i = 0; i < 4; ++i) Marble(c, xs[i], h - 16 + (i % 2 == 0 ? 0.0f : -3.0f), 9, MarbleColours(i));
}

}  // namespace imagegen::recipes
