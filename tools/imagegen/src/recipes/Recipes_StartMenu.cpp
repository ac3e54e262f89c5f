// The start menu's pictures and the loader's: the publisher logo, the title banner, the lens
// flare, the sun, the nest of eggs and marbles, the two birds with their hats, the chick and its
// shell, and the birds' shadow.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Recipes.h"
#include "Scenery.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

// The start menu fixes this polygon for the title's sparkles (title-image pixels); the banner
// follows it.
constexpr TVec kTitleOutline[] = {{85, 14},  {90, 28},  {56, 34},  {31, 46},  {59, 84},  {96, 77},  {138, 76},
                                  {164, 73}, {199, 79}, {229, 86}, {244, 56}, {234, 41}, {202, 35}, {191, 41},
                                  {182, 26}, {168, 26}, {171, 14}, {149, 4},  {124, 10}, {108, 6}};

// An egg in the given colour, lit from the upper left.
void Egg(CCanvas& c, float cx, float cy, float rx, float ry, const TRgba& colour, float tilt = 0) {
    CShape egg = Union(Ellipse(cx, cy + ry * 0.12f, rx, ry * 0.88f), Ellipse(cx, cy - ry * 0.2f, rx * 0.8f, ry * 0.8f));
    if (tilt != 0) egg = Rotate(egg, cx, cy, tilt);
    c.Fill(egg, Radial(cx - rx * 0.4f, cy - ry * 0.45f, ry * 1.6f,
                       {{0.0f, kWhite}, {0.35f, colour}, {1.0f, Shade(colour, -0.35f)}}));
    c.Fill(InnerBand(egg, 0.8f), Shade(colour, -0.5f));
}

// A bird's eye: white, a dark pupil looking along dx, a light glint.
void Eye(CCanvas& c, float x, float y, float r, float dx) {
    c.Fill(Circle(x, y, r), kWhite);
    c.Fill(InnerBand(Circle(x, y, r), 0.7f), kInk);
    c.Fill(Circle(x + dx * r * 0.35f, y + r * 0.1f, r * 0.6f), kInk);
    c.Fill(Circle(x + dx * r * 0.35f - r * 0.2f, y - r * 0.2f, r * 0.22f), kWhite);
}

void Feet(CCanvas& c, float x, float bottom, float s, const TRgba& colour) {
    for (float dx : {-s * 0.9f, s * 0.9f}) {
        c.Fill(Capsule({x + dx, bottom - s * 2.4f}, {x + dx, bottom - s * 0.6f}, s * 0.5f), colour);
        for (float toe : {-0.9f, 0.0f, 0.9f})
            c.Fill(Capsule({x + dx, bottom - s * 0.6f}, {x + dx + toe * s * 0.9f, bottom - s * 0.25f}, s * 0.45f),
                   colour);
    }
}

}  // namespace

// The publisher's logo: a lily pad and a drop in teal, and the publisher's name in white.
void Logo(CCanvas& c, const CRecipeContext& ctx) {
    const float h = ctx.Height();
    const std::string name = ctx.Text("name", "HOLLOWFEN");
    const float cx = 38, cy = h / 2 + 6;
    const CShape pad =
        Subtract(Ellipse(cx, cy + 10, 30, 14), Polygon({{cx, cy + 10}, {cx + 34, cy + 2}, {cx + 34, cy + 12}}));
    c.Fill(pad, Vertical(cy - 4, cy + 24, Rgb(0x4DD0B8), Rgb(0x00796B)));
    c.Fill(Shell(Ellipse(cx, cy + 10, 22, 9), 1.2f), WithAlpha(Rgb(0xB2FFF0), 0.45f), {EBlend::Atop});
    c.Fill(InnerBand(pad, 1.2f), Rgb(0x004D40));
    const CShape drop =
        Union(Circle(cx, cy - 8, 11), Polygon({{cx - 9.5f, cy - 13}, {cx, cy - 32}, {cx + 9.5f, cy - 13}}));
    c.Fill(drop, Radial(cx - 4, cy - 14, 20, {{0.0f, Rgb(0xE0FFFA)}, {0.5f, Rgb(0x4DD0E1)}, {1.0f, Rgb(0x00838F)}}));
    c.Fill(Ellipse(cx - 4, cy - 12, 2.5f, 4.5f), WithAlpha(kWhite, 0.9f));
    c.Fill(InnerBand(drop, 1.0f), Rgb(0x006064));
    TLettering text;
    text.fill = Vertical(h / 2 - 12, h / 2 + 10, kWhite, Rgb(0xD8F1FF));
    const float size = FitSize(name, 24, ctx.Width() - 84);
    Letters(c, name, size, 78, h / 2 + 9, EAlign::Left, text);
    c.Fill(Rect(79, h / 2 + 15, ctx.Width() - 84, 1.5f),
           Linear(79, 0, ctx.Width() - 4, 0, {{0.0f, Rgb(0x4DD0B8)}, {1.0f, WithAlpha(Rgb(0x4DD0B8), 0)}}));
}

// The title: chunky lettering on a wooden banner shaped by the sparkle polygon.
void Title(CCanvas& c, const CRecipeContext& ctx) {
    const std::string text = ctx.Text("text", "Cobblebrooks");
    const std::vector<TVec> outline(std::begin(kTitleOutline), std::end(kTitleOutline));
    // Closing and opening soften the polygon's corners, concave and convex.
    const CShape banner = Grow(Grow(Grow(Polygon(outline), 4.0f), -6.0f), 2.0f);
    c.Fill(Translate(banner, 2, 3), kShadow, {EBlend::Over, 1.0f, 1.5f});
    const CValueNoise grain(19);
    c.Fill(banner, [&](float x, float y) {
        const float g = grain.Fbm(x * 0.04f, y * 0.35f, 3);
        return Mix(Rgb(0x8D5A2B), Rgb(0xB97A45), std::clamp((g - 0.3f) * 1.7f, 0.0f, 1.0f));
    });
    c.Fill(banner, Vertical(4, 86, WithAlpha(kWhite, 0.18f), WithAlpha(kBlack, 0.25f)), {EBlend::Atop});
    c.Fill(InnerBand(banner, 3.0f), Vertical(4, 86, kGoldShine, kGoldRim));
    c.Fill(InnerBand(banner, 1.2f), kWoodDark);
    c.Fill(Shell(Grow(banner, -3.2f), 0.8f), WithAlpha(kWoodDark, 0.8f));
    TLettering style;
    style.fill = Vertical(34, 62, Rgb(0xFFF6C8), Rgb(0xFFC107));
    style.border = Rgb(0x3E1F0A);
    style.borderWidth = 2.6f;
    style.shadowDx = 1.5f;
    style.shadowDy = 2.5f;
    style.shadow = WithAlpha(kBlack, 0.55f);
    style.grow = 0.9f;
    // Four marbles set into the raised middle of the board.
    for (int i = 0; i < 4; ++i)
        Marble(c, 106.0f + 21.0f * i, 24.0f - (i == 1 || i == 2 ? 4.0f : 0.0f), 7.5f, MarbleColours(i));
    const float size = FitSize(text, 34, 192);
    const CFont* font = BoldFont();
    const float cap = font != nullptr ? font->CapHeight(size) : size * 0.73f;
    const float baseline = 61 + cap / 2;
    const CShape letters = Letters(c, text, size, 138, baseline, EAlign::Centre, style);
    // A gloss over the upper half of the letters.
    c.Fill(Intersect(letters, Rect(0, baseline - cap - 3, 276, cap * 0.5f + 3)), WithAlpha(kWhite, 0.45f),
           {EBlend::Atop});
    for (auto [x, y, r] : {std::tuple{40.0f, 44.0f, 5.0f}, {232.0f, 50.0f, 6.0f}, {150.0f, 12.0f, 4.0f}})
        c.Fill(Sparkle(x, y, r), kWhite);
}

// A horizontal lens streak: a white core with blue-violet fringes, for additive drawing.
void LensFlare(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2;
    c.Fill(Ellipse(cx, cy, w / 2 - 2, h / 2 - 2),
           Radial(cx, cy, h / 2, {{0.0f, Rgb(0x9A8CFF, 0.55f)}, {1.0f, Rgb(0x5C6BC0, 0.0f)}}),
           {EBlend::Over, 1.0f, 3.0f});
    const TStops fade = {
        {0.0f, WithAlpha(Rgb(0x7986CB), 0)}, {0.5f, Rgb(0xC5CAE9)}, {1.0f, WithAlpha(Rgb(0x7986CB), 0)}};
    c.Fill(Ellipse(cx, cy - 5, w / 2 - 10, 1.2f), Linear(0, 0, w, 0, fade), {EBlend::Over, 0.6f, 0.8f});
    c.Fill(Ellipse(cx, cy + 5, w / 2 - 10, 1.2f), Linear(0, 0, w, 0, fade), {EBlend::Over, 0.6f, 0.8f});
    c.Fill(Ellipse(cx, cy, w / 2 - 1, 2.6f),
           Linear(0, 0, w, 0, {{0.0f, WithAlpha(kWhite, 0)}, {0.5f, kWhite}, {1.0f, WithAlpha(kWhite, 0)}}),
           {EBlend::Over, 1.0f, 1.0f});
    c.Fill(Circle(cx, cy, 7), Radial(cx, cy, 12, {{0.0f, kWhite}, {1.0f, WithAlpha(Rgb(0xD1C4E9), 0)}}),
           {EBlend::Over, 1.0f, 5.0f});
}

// rays=n: a white sun, a bright disc with soft rays, for tinting and additive drawing.
void SunRays(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const int rays = ctx.Int("rays", 16);
    std::vector<CShape> beams;
    for (int i = 0; i < rays; ++i) {
        const float len = r * (i % 2 == 0 ? 0.97f : 0.78f);
        beams.push_back(
            Rotate(Polygon({{cx - r * 0.09f, cy}, {cx, cy - len}, {cx + r * 0.09f, cy}}), cx, cy, 360.0f * i / rays));
    }
    c.Fill(Union(beams), Radial(cx, cy, r, {{0.2f, WithAlpha(kWhite, 0.9f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}),
           {EBlend::Over, 1.0f, 2.0f});
    c.Fill(
        Circle(cx, cy, r * 0.42f),
        Radial(cx, cy, r * 0.42f, {{0.0f, kWhite}, {0.7f, WithAlpha(kWhite, 0.95f)}, {1.0f, WithAlpha(kWhite, 0.4f)}}),
        {EBlend::Over, 1.0f, 3.0f});
}

// A straw nest heaped with coloured marbles and eggs, resting on a little cloud; its top centre
// is where the chick's shell sits.
void EggPile(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2;
    scenery::Cloud(c, cx, h - 16, w - 6, 34, 4);
    const float rim = h - 30;
    const CShape nest = Union(Intersect(Ellipse(cx, rim, 56, 22), Rect(0, rim, w, h)), Ellipse(cx, rim, 56, 8));
    c.Fill(Translate(nest, 1, 2), WithAlpha(Rgb(0x5B7A99), 0.45f), {EBlend::Over, 1.0f, 2.0f});
    // The heap: eggs behind, marbles in front, rising to a peak at the top edge in the middle,
    // where the chick's shell sits.
    const TRgba eggColours[] = {Rgb(0xFFF3E0), Rgb(0xB3E5FC), Rgb(0xF8BBD0), Rgb(0xDCEDC8), Rgb(0xFFF59D)};
    const float ex[] = {-36, -22, 22, 36, -10, 11};
    const float ey[] = {-2, -12, -12, -2, -24, -23};
    for (int i = 0; i < 6; ++i) Egg(c, cx + ex[i], rim + ey[i], 8.5f, 11, eggColours[i % 5], ex[i] * 0.6f);
    const float mx[] = {-42, -27, -12, 3, 18, 33, 44, -20, -5, 10, 25, -12, 3, 18, 3};
    const float my[] = {0, -2, -3, -5, -3, -2, 1, -14, -16, -15, -12, -27, -29, -26, -41};
    for (int i = 0; i < 15; ++i) Marble(c, cx + mx[i], rim + my[i], 7.5f, MarbleColours(i % 4), false);
    c.Fill(nest, Vertical(rim - 8, h, Rgb(0xD9B44A), Rgb(0x8A6420)));
    CRandom rng(37);
    for (int i = 0; i < 70; ++i) {
        const float x = rng.Range(cx - 54, cx + 54), y = rng.Range(rim - 5, h - 10);
        const float len = rng.Range(8, 14);
        const TRgba straw = Mix(Rgb(0xFFE082), Rgb(0x8A6420), rng.Range(0, 1));
        c.Fill(Polyline(
                   QuadraticCurve({x - len / 2, y}, {x, y + rng.Range(-3, 3)}, {x + len / 2, y + rng.Range(-2, 2)}, 6),
                   1.0f),
               straw, {EBlend::Atop});
    }
    c.Fill(InnerBand(nest, 1.1f), Rgb(0x5A3E0E));
}

// The left bird: a plump white hen, head at the upper left looking towards the right.
void Hen(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    Feet(c, 44, h, 3.2f, Rgb(0xF9A825));
    // Tail plumes fanning up behind the body.
    std::vector<CShape> plumes;
    for (int i = 0; i < 4; ++i) {
        const float a = -22.0f + 16.0f * i;
        plumes.push_back(Rotate(Polygon({{72, 60}, {67, 44}, {72, 28}, {77, 44}}), 72, 60, a));
    }
    const CShape tail = Union(plumes);
    const CShape body = Ellipse(48, 64, 36, 29);
    const CShape head = Circle(36, 22, 15);
    const CShape neck = Polygon({{24, 28}, {50, 28}, {60, 52}, {22, 56}});
    const CShape bird = Union({tail, body, head, neck});
    c.Fill(Grow(bird, 1.3f), Rgb(0x6D5A4A));
    c.Fill(bird, Radial(34, 24, 80, {{0.0f, kWhite}, {0.6f, Rgb(0xF2EEE6)}, {1.0f, Rgb(0xC9BFB0)}}));
    c.Fill(Subtract(body, Translate(body, -3, -5)), WithAlpha(Rgb(0xA89A88), 0.45f), {EBlend::Atop, 1.0f, 2.0f});
    const CShape wing = Rotate(Ellipse(58, 62, 17, 11), 58, 62, -18);
    c.Fill(wing, Vertical(50, 75, Rgb(0xFFFFFF), Rgb(0xDDD5C8)));
    c.Fill(Shell(wing, 1.0f), Rgb(0x9E9080));
    for (int i = 0; i < 3; ++i)
        c.Fill(Polyline(Arc(56.0f + i * 5, 67, 6, 20, 160, 6), 0.8f), WithAlpha(Rgb(0x9E9080), 0.8f));
    // Comb, beak, wattle.
    c.Fill(Union({Circle(40, 9, 4), Circle(45, 11, 3.5f)}), Rgb(0xE53935));
    c.Fill(Polygon({{48, 18}, {58, 23}, {48, 27}}), Vertical(18, 27, Rgb(0xFFCA28), Rgb(0xF57F17)));
    c.Fill(Ellipse(47, 31, 3.5f, 5), Rgb(0xE53935));
    Eye(c, 42, 18, 4.2f, 1.0f);
    c.Fill(Circle(34, 27, 3.2f), WithAlpha(Rgb(0xFF8A80), 0.5f));
    (void)w;
}

// The right bird: a white duck, head at the upper right, bill pointing left.
void Duck(CCanvas& c, const CRecipeContext& ctx) {
    const float h = ctx.Height();
    Feet(c, 42, h, 3.4f, Rgb(0xFF8F00));
    const CShape tail = Polygon({{14, 56}, {2, 40}, {22, 50}});
    const CShape body = Ellipse(42, 68, 33, 27);
    const CShape neck = Polygon({{58, 26}, {78, 26}, {70, 62}, {48, 62}});
    const CShape head = Circle(70, 18, 14);
    const CShape bird = Union({tail, body, neck, head});
    c.Fill(Grow(bird, 1.3f), Rgb(0x5A6B78));
    c.Fill(bird, Radial(62, 20, 80, {{0.0f, kWhite}, {0.6f, Rgb(0xF1F4F7)}, {1.0f, Rgb(0xBCC8D2)}}));
    c.Fill(Subtract(body, Translate(body, 3, -5)), WithAlpha(Rgb(0x90A4AE), 0.45f), {EBlend::Atop, 1.0f, 2.0f});
    const CShape wing = Rotate(Ellipse(36, 64, 18, 10), 36, 64, 14);
    c.Fill(wing, Vertical(54, 75, kWhite, Rgb(0xD5DEE5)));
    c.Fill(Shell(wing, 1.0f), Rgb(0x8FA1AE));
    const CShape bill = Union(Ellipse(52, 23, 10, 4.5f), Ellipse(54, 27, 8, 3));
    c.Fill(Grow(bill, 0.8f), Rgb(0xB34700));
    c.Fill(bill, Vertical(18, 30, Rgb(0xFFB74D), Rgb(0xF57C00)));
    c.Fill(Capsule({46, 25.5f}, {58, 25.5f}, 0.7f), WithAlpha(Rgb(0xB34700), 0.8f));
    Eye(c, 64, 14, 4.2f, -1.0f);
    c.Fill(Circle(72, 24, 3.2f), WithAlpha(Rgb(0xFF8A80), 0.5f));
}

// A straw hat whose brim rests on the bottom edge.
void StrawHat(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2;
    const CShape brim = Ellipse(cx, h - 9, w / 2 - 1, 7.5f);
    const CShape crown = Union(RoundRect(cx - 14, h - 31, 28, 24, 10), Ellipse(cx, h - 12, 14, 4));
    const auto straw = [&](float x, float y) {
        const bool weave = std::fmod(x * 0.7f + y * 1.3f + 100, 3.0f) < 1.4f;
        return Shade(Mix(Rgb(0xFFE9A8), Rgb(0xD9A441), (y - (h - 32)) / 32), weave ? 0.06f : -0.06f);
    };
    c.Fill(Translate(brim, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 1.0f});
    c.Fill(brim, straw);
    c.Fill(InnerBand(brim, 1.0f), Rgb(0x8A6420));
    c.Fill(crown, straw);
    c.Fill(Rect(cx - 14, h - 17, 28, 5), Vertical(h - 17, h - 12, Rgb(0xEF5350), Rgb(0xB71C1C)));
    c.Fill(Union(Circle(cx + 10, h - 16, 3), Circle(cx + 14, h - 13, 2.5f)), Rgb(0xFFF176));
    c.Fill(InnerBand(crown, 1.0f), Rgb(0x8A6420));
}

// A lilac bonnet with flowers and a ribbon, its brim on the bottom edge.
void Bonnet(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2;
    const CShape bonnet = Union(Intersect(Ellipse(cx, h - 6, 22, 28), Rect(0, 0, w, h - 6)), Ellipse(cx, h - 7, 24, 5));
    c.Fill(Translate(bonnet, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 1.0f});
    c.Fill(bonnet, Radial(cx - 6, h - 26, 34, {{0.0f, Rgb(0xF3E5F5)}, {0.6f, Rgb(0xCE93D8)}, {1.0f, Rgb(0x8E24AA)}}));
    c.Fill(Shell(Ellipse(cx, h - 6, 17, 21), 1.0f), WithAlpha(Rgb(0x6A1B9A), 0.5f), {EBlend::Atop});
    c.Fill(InnerBand(bonnet, 1.0f), Rgb(0x5E1780));
    const float fx[] = {cx - 11, cx - 3, cx + 6, cx + 13};
    const float fy[] = {h - 22, h - 27, h - 25, h - 19};
    const TRgba petals[] = {Rgb(0xFFF176), kWhite, Rgb(0xF48FB1), Rgb(0xFFF176)};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 5; ++k) {
            const float a = k * 1.2566f;
            c.Fill(Circle(fx[i] + std::cos(a) * 2.6f, fy[i] + std::sin(a) * 2.6f, 2.1f), petals[i]);
        }
        c.Fill(Circle(fx[i], fy[i], 1.6f), Rgb(0xFF8F00));
    }
    c.Fill(Union(Rotate(Ellipse(cx + 20, h - 6, 6, 3), cx + 20, h - 6, 30),
                 Rotate(Ellipse(cx + 22, h - 2, 5, 2.5f), cx + 22, h - 2, -20)),
           Rgb(0xAB47BC));
}

// A yellow chick peeking up, centred in a w x h box; its lower half is hidden by the shell drawn
// over it.
void DrawChick(CCanvas& c, float w, float h) {
    const float cx = w / 2, cy = h / 2 + 6;
    const CShape body =
        Union(Circle(cx, cy, 21),
              Union({Circle(cx - 3, cy - 21, 3), Circle(cx + 1, cy - 23, 3.5f), Circle(cx + 4, cy - 20, 2.5f)}));
    c.Fill(Grow(body, 1.2f), Rgb(0xB88A00));
    c.Fill(body, Radial(cx - 7, cy - 10, 34, {{0.0f, Rgb(0xFFFDE7)}, {0.4f, Rgb(0xFFEB3B)}, {1.0f, Rgb(0xF9A825)}}));
    for (float side : {-1.0f, 1.0f}) {
        const CShape wing = Rotate(Ellipse(cx + side * 19, cy + 6, 5, 9), cx + side * 19, cy + 6, side * 25);
        c.Fill(wing, Vertical(cy - 4, cy + 15, Rgb(0xFFEE58), Rgb(0xF9A825)));
        c.Fill(Shell(wing, 0.8f), Rgb(0xC79100));
    }
    Eye(c, cx - 7, cy - 5, 3.6f, 0.3f);
    Eye(c, cx + 7, cy - 5, 3.6f, 0.3f);
    c.Fill(Polygon({{cx - 4, cy + 1}, {cx + 4, cy + 1}, {cx, cy + 6}}), Rgb(0xFF8F00));
    c.Fill(Circle(cx - 13, cy + 3, 3), WithAlpha(Rgb(0xFF8A80), 0.6f));
    c.Fill(Circle(cx + 13, cy + 3, 3), WithAlpha(Rgb(0xFF8A80), 0.6f));
}

void Chick(CCanvas& c, const CRecipeContext& ctx) { DrawChick(c, ctx.Width(), ctx.Height()); }

// The lower half of a cracked egg shell filling a w x h box.
void DrawEggShell(CCanvas& c, float w, float h) {
    const float cx = w / 2;
    std::vector<TVec> crack;
    for (int i = 0; i <= 10; ++i) crack.push_back({2 + (w - 4) * i / 10.0f, (i % 2 == 0) ? 9.0f : 2.0f});
    crack.push_back({w + 2, h + 2});
    crack.push_back({-2, h + 2});
    const CShape egg = Ellipse(cx, 4, w / 2 - 2, h - 6);
    const CShape shell = Intersect(egg, Polygon(crack));
    c.Fill(Translate(shell, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 1.0f});
    c.Fill(shell, Radial(cx - 12, 6, w * 0.75f, {{0.0f, kWhite}, {0.5f, Rgb(0xFFF8E7)}, {1.0f, Rgb(0xD7C4A3)}}));
    // The broken edge shows the shell's thickness.
    c.Fill(Subtract(shell, Translate(shell, 0, 2.2f)), Rgb(0xE8DCC4), {EBlend::Atop});
    c.Fill(InnerBand(shell, 1.0f), Rgb(0x8D7A5C));
    c.Fill(Union(Circle(cx + 14, h - 16, 2.2f), Circle(cx - 18, h - 20, 1.6f)), WithAlpha(Rgb(0xC8B48F), 0.8f));
}

void EggShell(CCanvas& c, const CRecipeContext& ctx) { DrawEggShell(c, ctx.Width(), ctx.Height()); }

// The program's window icon, 96 x 96: the start menu's chick peeking from its shell over a patch
// of meadow, on a rounded tile of sky.
void AppIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    if (w != 96 || h != 96) ctx.Fail("the icon is 96 x 96");
    const CShape tile = RoundRect(2, 2, w - 4, h - 4, 18);
    c.Fill(Translate(tile, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 1.5f});
    c.Fill(tile, Vertical(2, h - 2, Rgb(0x5BB8EC), Rgb(0xD8F1FF)));
    c.Fill(Intersect(tile, Ellipse(w / 2, h + 10, w * 0.8f, h * 0.4f)),
           Vertical(h * 0.62f, h, Rgb(0x93C86A), Rgb(0x5E9A3C)));
    // The chick's 64 x 64 box and its 72 x 40 shell as the start menu stacks them.
    c.SetOrigin(-16, -10);
    DrawChick(c, 64, 64);
    c.SetOrigin(-12, -47);
    DrawEggShell(c, 72, 40);
    c.SetOrigin(0, 0);
    c.Fill(InnerBand(tile, 1.5f), Rgb(0x2F6E9A));
}

// A soft black ellipse fading out to its edge.
void ShadowEllipse(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    c.Fill(Ellipse(w / 2, h / 2, w / 2 - 1, h / 2 - 1),
           Radial(w / 2, h / 2, w / 2, {{0.0f, WithAlpha(kBlack, 0.8f)}, {1.0f, WithAlpha(kBlack, 0.0f)}}),
           {EBlend::Over, 1.0f, 3.0f});
}

}  // namespace imagegen::recipes
