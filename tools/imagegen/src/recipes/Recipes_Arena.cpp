// The round screen's frame and floors: the wooden board at the top with its slots for the
// counters, the beam at the bottom, the posts at the sides, brass nails, the level bar, the soft
// shadows the frame casts on the field, and the three arenas' floors (clover, sandstone, cave).
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Recipes.h"
#include "Scenery.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

constexpr float kPi = 3.14159265f;

// Planks of wood along x (horizontal) or y: grain from stretched noise, darker seams between
// boards of `board` pixels.
TPaint Wood(bool horizontal, float board, std::uint32_t seed) {
    const CValueNoise grain(seed);
    return [=](float x, float y) {
        const float along = horizontal ? x : y, across = horizontal ? y : x;
        const float g = grain.Fbm(along * 0.03f, across * 0.45f, 3);
        TRgba c = Mix(kWoodMid, kWoodLight, std::clamp((g - 0.3f) * 1.4f, 0.0f, 1.0f));
        const float seam = std::fmod(across + 1000.0f * board, board);
        if (seam < 1.0f) c = Mix(c, kWoodDark, 0.7f);
        if (seam > board - 1.0f) c = Mix(c, kWoodLight, 0.3f);
        return c;
    };
}

// A recessed dark plate in the board, for a counter the game draws.
void Slot(CCanvas& c, float x, float y, float w, float h) {
    const CShape plate = RoundRect(x, y, w, h, 7);
    c.Fill(plate, Vertical(y, y + h, Rgb(0x2A1B12), Rgb(0x3E2A1E)));
    c.Fill(InnerBand(plate, 1.5f), WithAlpha(kBlack, 0.55f));
    c.Fill(Subtract(Grow(plate, 1.2f), Translate(plate, 0, -1.2f)), WithAlpha(kWoodLight, 0.8f));
}

// A brass rivet.
void Rivet(CCanvas& c, float cx, float cy, float r) {
    c.Fill(Translate(Circle(cx, cy, r), 0.6f, 0.8f), kShadow);
    TSphere s = MakeSphere(cx, cy, r, kGoldRim, kGoldShine, kGoldDark);
    s.specular = 0.8f;
    c.Fill(Circle(cx, cy, r), SpherePaint(s));
    c.Fill(InnerBand(Circle(cx, cy, r), 0.6f), kGoldDark);
}

// The rounded bar of the level's progress: caps of half its height at both ends. The round draws
// the bar's image at x 90 of the board and counts its fill from image x 10, full at w - 10; the
// board's centre plate starts at x 104, so the body starts 16 pixels in, clear of the coin box,
// and ends where a full fill ends, inside the plate.
constexpr float kBarBodyLeft = 16;
constexpr float kBarBodyRightInset = 10;
CShape Bar(float w, float h) {
    return RoundRect(kBarBodyLeft + 0.5f, 0.5f, w - kBarBodyLeft - kBarBodyRightInset - 1, h - 1, (h - 1) / 2);
}

void Top(CCanvas& c, float w, float h) {
    const float beam = 8;
    c.Fill(Rect(0, 0, w, h - beam), Wood(true, 14, 31));
    // The beam over the field's top edge, lit from above.
    c.Fill(Rect(0, h - beam, w, beam), Vertical(h - beam, h, kWoodLight, kWoodDark));
    c.Fill(Rect(0, h - beam, w, 1), WithAlpha(kGoldShine, 0.5f));
    c.Fill(Rect(0, h - 1, w, 1), kInk);
    // Slots: pause, coins, the centre plate (score, bar and level), lives.
    Slot(c, 2, 6, 48, 48);
    Slot(c, 53, 3, 48, 56);
    Slot(c, 104, 3, 166, 56);
    Slot(c, 273, 3, 45, 56);
    for (float x : {8.0f, w - 8})
        for (float y : {4.0f, h - beam - 5})
            if (x > 60 || y > 20) Rivet(c, x, y, 2.2f);
}

void Beam(CCanvas& c, float w, float h) {
    c.Fill(Rect(0, 0, w, h), Wood(true, 12, 37));
    c.Fill(Rect(0, 0, w, 2), Vertical(0, 2, kGoldShine, kWoodLight));
    c.Fill(Rect(0, h - 1, w, 1), kInk);
    for (float x = 20; x < w; x += 70) Rivet(c, x, h / 2 + 1, 2.2f);
}

void Post(CCanvas& c, float w, float h, bool left) {
    c.Fill(Rect(0, 0, w, h), Wood(false, w, left ? 41 : 43));
    // Rounded by light from the left, its inner edge catching it.
    c.Fill(
        Rect(0, 0, w, h),
        Linear(0, 0, w, 0,
               {{0.0f, WithAlpha(kBlack, 0.35f)}, {0.45f, WithAlpha(kWhite, 0.12f)}, {1.0f, WithAlpha(kBlack, 0.3f)}}),
        {EBlend::Atop});
    c.Fill(Rect(left ? w - 1 : 0, 0, 1, h), kInk);
}

}  // namespace

// part=top|bottom|left|right|nails|progress_empty|progress_full|side_shadows|top_shadow|
// left_shadow: one piece of the round's frame.
void GameFrame(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const std::string part = ctx.Text("part");
    if (part == "top") {
        Top(c, w, h);
    } else if (part == "bottom") {
        Beam(c, w, h);
    } else if (part == "left" || part == "right") {
        Post(c, w, h, part == "left");
    } else if (part == "nails") {
        Rivet(c, w / 2 - 0.5f, h / 2 - 0.5f, std::min(w, h) / 2 - 1.2f);
    } else if (part == "progress_empty") {
        const CShape bar = Bar(w, h);
        c.Fill(bar, Vertical(0, h, Rgb(0x1E130C), Rgb(0x3E2A1E)));
        c.Fill(InnerBand(bar, 1.2f), kGoldDark);
        c.Fill(Rect(kBarBodyLeft + h / 2, h - 3, w - kBarBodyLeft - kBarBodyRightInset - h, 1),
               WithAlpha(kWhite, 0.12f), {EBlend::Atop});
    } else if (part == "progress_full") {
        const CShape bar = Grow(Bar(w, h), -1.5f);
        c.Fill(bar, Linear(kBarBodyLeft, 0, w - kBarBodyRightInset, 0,
                           {{0.0f, Rgb(0x7CB342)}, {0.6f, Rgb(0xC0CA33)}, {1.0f, kGold}}));
        c.Fill(Intersect(bar, Rect(0, 0, w, h * 0.45f)), WithAlpha(kWhite, 0.35f), {EBlend::Atop});
        c.Fill(Intersect(bar, Rect(0, h * 0.75f, w, h)), WithAlpha(kBlack, 0.2f), {EBlend::Atop});
    } else if (part == "side_shadows") {
        // Dark in the middle: the left copy shows its right half, the right copy its left half,
        // both darkest at the screen's edge.
        c.FillAll([=](float x, float) {
            return WithAlpha(kBlack, 0.55f * std::max(0.0f, 1.0f - std::abs(x - w / 2) / (w / 2)));
        });
    } else if (part == "top_shadow") {
        c.FillAll(Vertical(0, h, WithAlpha(kBlack, 0.5f), WithAlpha(kBlack, 0.0f)));
    } else if (part == "left_shadow") {
        c.FillAll(Linear(0, 0, w, 0, {{0.0f, WithAlpha(kBlack, 0.5f)}, {1.0f, WithAlpha(kBlack, 0.0f)}}));
    } else {
        ctx.Fail("part is not a piece of the frame");
    }
}

// arena=1|2|3: the floor a round rolls on: a clover field, red sandstone, a cave of blue-violet
// stone. Mid to dark, so the marbles and the white texts read on it; darker at the edges.
void ArenaFloor(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int arena = ctx.Int("arena", 1);
    if (arena < 1 || arena > 3) ctx.Fail("arena must be 1, 2 or 3");
    CRandom rng(static_cast<std::uint64_t>(arena) * 977u);
    if (arena == 1) {
        scenery::Meadow(c, Rect(-2, -2, w + 4, h + 4), 0, h, Rgb(0x4F8F2F), Rgb(0x2F6B1F), 71);
        // Clover: three round leaves around a point, scattered in small patches.
        for (int i = 0; i < 90; ++i) {
            const float x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(2.0f, 3.6f);
            const float turn = rng.Range(0, 2 * kPi);
            const TRgba leaf = Mix(Rgb(0x66BB6A), Rgb(0x2E7D32), rng.Range(0, 1));
            for (int k = 0; k < 3; ++k) {
                const float a = turn + k * 2 * kPi / 3;
                c.Fill(Circle(x + std::cos(a) * r, y + std::sin(a) * r, r), WithAlpha(leaf, 0.8f));
            }
            if (rng.Range(0, 1) < 0.15f) c.Fill(Circle(x, y, 1.6f), WithAlpha(kWhite, 0.75f));
        }
    } else if (arena == 2) {
        const CValueNoise noise(83);
        c.FillAll([&](float x, float y) {
            // Wind-cut layers that wander across the stone.
            const float layers = std::sin((y + 18.0f * noise.Fbm(x * 0.01f, y * 0.01f, 3)) * 0.09f) * 0.5f + 0.5f;
            const float grain = noise.At(x * 0.6f, y * 0.6f);
            TRgba col = Mix(Rgb(0x8E3B2B), Rgb(0xB5563C), layers);
            return Shade(col, (grain - 0.5f) * 0.16f + (noise.Fbm(x * 0.03f, y * 0.03f, 2) - 0.5f) * 0.2f);
        });
        for (int i = 0; i < 9; ++i) {
            std::vector<TVec> crack{{rng.Range(0, w), rng.Range(0, h)}};
            for (int k = 0; k < 6; ++k)
                crack.push_back({crack.back().x + rng.Range(-14, 14), crack.back().y + rng.Range(4, 16)});
            c.Fill(Polyline(crack, 1.1f), WithAlpha(Rgb(0x4A1A12), 0.7f));
        }
        for (int i = 0; i < 60; ++i) {
            const float x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(1.5f, 4.0f);
            c.Fill(Translate(Ellipse(x, y, r, r * 0.7f), 0.8f, 1.0f), WithAlpha(kBlack, 0.3f));
            c.Fill(Ellipse(x, y, r, r * 0.7f), Mix(Rgb(0xD7886A), Rgb(0x7A3324), rng.Range(0, 1)));
        }
    } else {
        const CValueNoise noise(97);
        c.FillAll([&](float x, float y) {
            const float n = noise.Fbm(x * 0.02f, y * 0.02f, 4);
            const float fine = noise.At(x * 0.5f, y * 0.5f);
            return Shade(Mix(Rgb(0x1E1B3A), Rgb(0x3A3170), n), (fine - 0.5f) * 0.12f);
        });
        // Faint crystal glints.
        for (int i = 0; i < 40; ++i) {
            const float x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(1.5f, 4.5f);
            c.Fill(Sparkle(x, y, r), WithAlpha(Mix(Rgb(0xB3E5FC), Rgb(0xCE93D8), rng.Range(0, 1)), 0.5f));
        }
    }
    scenery::Vignette(c, w, h, 0.5f);
}

}  // namespace imagegen::recipes
