// Boost icons and the coin-shop pictures: pouches, sacks, a chest and heaps of coins and gems.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

// A coin lying on the ground, seen at an angle (an ellipse with a rim).
void LyingCoin(CCanvas& c, float cx, float cy, float r) {
    const CShape edge = Ellipse(cx, cy + r * 0.18f, r, r * 0.5f);
    const CShape face = Ellipse(cx, cy, r, r * 0.5f);
    c.Fill(edge, kGoldDark);
    c.Fill(face,
           Linear(cx - r, cy - r * 0.5f, cx + r, cy + r * 0.5f, {{0.0f, kGoldShine}, {0.5f, kGold}, {1.0f, kGoldRim}}));
    c.Fill(Shell(Ellipse(cx, cy, r * 0.7f, r * 0.35f), 0.8f), WithAlpha(kGoldDark, 0.55f));
    c.Fill(InnerBand(Union(edge, face), 0.7f), kGoldDark);
}

// A heap of coins in a rounded mound between x0 and x1 with its base at y.
void CoinHeap(CCanvas& c, float x0, float x1, float y, float height, float r, std::uint64_t seed) {
    CRandom rng(seed);
    const float cx = (x0 + x1) / 2, half = (x1 - x0) / 2;
    const CShape mound = Intersect(Ellipse(cx, y, half, height), Rect(x0, y - height, x1 - x0, height));
    c.Fill(Translate(mound, 1.5f, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
    c.Fill(mound, Vertical(y - height, y, kGold, kGoldDark));
    // Coins scattered over the mound, back to front.
    for (int row = 0; row < 7; ++row) {
        const float ty = static_cast<float>(row) / 6.0f;
        const float yy = y - height * 0.85f + ty * height * 0.8f;
        const float spread = half * std::sqrt(std::max(0.05f, 1.0f - (1 - ty) * (1 - ty))) * 0.9f;
        const int n = 2 + row;
        for (int i = 0; i < n; ++i) {
            const float xx = cx - spread + (2 * spread) * (i + rng.Range(0.2f, 0.8f)) / n;
            LyingCoin(c, xx, yy + rng.Range(-1.5f, 1.5f), r * rng.Range(0.85f, 1.1f));
        }
    }
}

// A cloth sack: body and gathered neck in the given cloth colours.
CShape SackShape(float cx, float bottom, float w, float h) {
    const CShape body = Ellipse(cx, bottom - h * 0.38f, w / 2, h * 0.4f);
    const CShape neck = Polygon({{cx - w * 0.22f, bottom - h * 0.8f},
                                 {cx + w * 0.22f, bottom - h * 0.8f},
                                 {cx + w * 0.42f, bottom - h * 0.45f},
                                 {cx - w * 0.42f, bottom - h * 0.45f}});
    const CShape mouth = Ellipse(cx, bottom - h * 0.86f, w * 0.3f, h * 0.1f);
    return Union({body, neck, mouth});
}

void Sack(CCanvas& c, float cx, float bottom, float w, float h, const TRgba& cloth, bool burlap, std::uint32_t seed) {
    const CShape sack = SackShape(cx, bottom, w, h);
    c.Fill(Translate(sack, 2, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
    const CValueNoise weave(seed);
    c.Fill(sack, [&](float x, float y) {
        TRgba col = Mix(Shade(cloth, 0.25f), Shade(cloth, -0.35f),
                        std::clamp((x - (cx - w / 2)) / w * 0.8f + (y - bottom + h) / h * 0.4f, 0.0f, 1.0f));
        if (burlap) {
            const bool thread = std::fmod(x + 100, 3.0f) < 1.0f || std::fmod(y + 100, 3.0f) < 1.0f;
            col = Shade(col, thread ? -0.08f : 0.04f);
        }
        return Shade(col, (weave.Fbm(x * 0.2f, y * 0.2f, 2) - 0.5f) * 0.15f);
    });
    c.Fill(InnerBand(sack, 1.3f), Shade(cloth, -0.6f));
    // The cord around the neck.
    c.Fill(Capsule({cx - w * 0.25f, bottom - h * 0.72f}, {cx + w * 0.25f, bottom - h * 0.72f}, h * 0.06f),
           Rgb(0xB3261E));
}

}  // namespace

// kind=combo|life|coin1|xray|color_bomb|bomb glow=#RRGGBB: frame 0 the boost's icon, frame 1 a
// soft glow drawn behind it.
void BoostIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2 - 0.5f, cy = h / 2 - 0.5f;
    const std::string kind = ctx.Text("kind");
    const TRgba glow = ctx.Colour("glow", kGold);
    if (ctx.Frame() == 1) {
        c.Fill(
            Circle(cx, cy, w / 2 - 1),
            Radial(cx, cy, w / 2 - 1,
                   {{0.0f, WithAlpha(glow, 0.85f)}, {0.55f, WithAlpha(glow, 0.45f)}, {1.0f, WithAlpha(glow, 0.0f)}}));
        return;
    }
    if (kind == "combo") {
        Marble(c, cx - 9, cy + 6, 8, MarbleColours(0));
        Marble(c, cx + 9, cy + 6, 8, MarbleColours(2));
        Marble(c, cx, cy - 6, 8, MarbleColours(1));
        const CShape badge = RoundRect(cx + 1, cy - 19, 20, 14, 5);
        c.Fill(Translate(badge, 0.8f, 1.2f), kShadow, {EBlend::Over, 1.0f, 0.6f});
        c.Fill(badge, Vertical(cy - 19, cy - 5, Rgb(0xFFB74D), Rgb(0xE65100)));
        c.Fill(InnerBand(badge, 1.0f), kWhite);
        TLettering text;
        text.border = Rgb(0x6B2A00);
        text.borderWidth = 0.8f;
        Letters(c, "x2", 10.5f, cx + 11, cy - 8, EAlign::Centre, text);
    } else if (kind == "life") {
        const CShape heart = Heart(cx, cy + 1, 32);
        c.Fill(Translate(heart, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
        c.Fill(heart,
               Radial(cx - 7, cy - 7, 26, {{0.0f, Rgb(0xFF8A80)}, {0.55f, Rgb(0xE53935)}, {1.0f, Rgb(0x8E1B1B)}}));
        c.Fill(Ellipse(cx - 7, cy - 6, 4, 2.6f), WithAlpha(kWhite, 0.85f));
        c.Fill(InnerBand(heart, 1.2f), Rgb(0x6B1510));
    } else if (kind == "coin1") {
        Coin(c, cx + 5, cy + 4, 12);
        Coin(c, cx - 5, cy - 4, 12);
    } else if (kind == "xray") {
        std::vector<CShape> rays;
        for (int i = 0; i < 8; ++i)
            rays.push_back(
                Rotate(Polygon({{cx, cy - 21}, {cx + 2.5f, cy - 8}, {cx - 2.5f, cy - 8}}), cx, cy, 22.5f + 45.0f * i));
        c.Fill(Union(rays),
               Radial(cx, cy, 21, {{0.3f, WithAlpha(Rgb(0xB3E5FC), 1.0f)}, {1.0f, WithAlpha(Rgb(0x4FC3F7), 0.2f)}}));
        const CShape star = Star(cx, cy, 4, 19, 6);
        c.Fill(Grow(star, 1.0f), Rgb(0x0D3C78));
        c.Fill(star, Radial(cx, cy, 19, {{0.0f, kWhite}, {0.5f, Rgb(0xE1F5FE)}, {1.0f, Rgb(0x4FC3F7)}}));
    } else if (kind == "color_bomb") {
        const float r = 15;
        c.Fill(Circle(cx + 1, cy + 2, r), kShadow, {EBlend::Over, 1.0f, 1.0f});
        const TMarbleColours a = MarbleColours(0), b = MarbleColours(2);
        TSphere s{cx, cy, r, a.base, a.light, a.dark};
        TSphere t{cx, cy, r, b.base, b.light, b.dark};
        const CShape ball = Circle(cx, cy, r);
        // Split along an S-curve, like the two halves of a yin-yang.
        const CShape half =
            Union(Subtract(Rect(cx - r - 1, cy - r - 1, r + 1, 2 * r + 2), Circle(cx, cy + r / 2, r / 2)),
                  Circle(cx, cy - r / 2, r / 2));
        c.Fill(ball, SpherePaint(t));
        c.Fill(Intersect(ball, half), SpherePaint(s));
        c.Fill(InnerBand(ball, 1.0f), Rgb(0x2A1040));
        c.Fill(Sparkle(cx + 8, cy - 9, 6), kWhite);
    } else if (kind == "bomb") {
        const float r = 13;
        std::vector<CShape> flames;
        for (int i = 0; i < 5; ++i) {
            const float a = -30.0f + 15.0f * i;
            flames.push_back(
                Rotate(Polygon({{cx - 6, cy}, {cx + 6, cy}, {cx + 1.5f, cy - 21 - (i % 2) * 4.0f}}), cx, cy, a));
        }
        c.Fill(Union(flames), Vertical(cy - 22, cy, Rgb(0xFFE082), Rgb(0xFF6D00)));
        TSphere s{cx, cy + 3, r, Rgb(0xFF7043), Rgb(0xFFE0B2), Rgb(0xBF360C)};
        c.Fill(Circle(cx + 1, cy + 5, r), kShadow, {EBlend::Over, 1.0f, 1.0f});
        c.Fill(Circle(cx, cy + 3, r), SpherePaint(s));
        c.Fill(Circle(cx + 2, cy + 6, r * 0.45f),
               Radial(cx + 2, cy + 6, r * 0.45f, {{0.0f, Rgb(0xFFF59D)}, {1.0f, WithAlpha(Rgb(0xFFB74D), 0)}}));
        c.Fill(InnerBand(Circle(cx, cy + 3, r), 1.0f), Rgb(0x7F1D00));
    } else {
        ctx.Fail("unknown boost '" + kind + "'");
    }
}

// A straw nest.
void Nest(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, top = h * 0.38f;
    const CShape bowl =
        Union(Intersect(Ellipse(cx, top, w / 2 - 2, h - top - 3), Rect(0, top, w, h)), Ellipse(cx, top, w / 2 - 2, 7));
    c.Fill(Translate(bowl, 1.5f, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
    c.Fill(bowl, Vertical(top - 7, h, Rgb(0xC9A227), Rgb(0x7A5A14)));
    c.Fill(Ellipse(cx, top, w / 2 - 7, 4.5f), Vertical(top - 5, top + 5, Rgb(0x3E2A10), Rgb(0x6B4A1A)));
    CRandom rng(31);
    for (int i = 0; i < 60; ++i) {
        const float x0 = rng.Range(3, w - 3), y0 = rng.Range(top - 4, h - 6);
        const float len = rng.Range(8, 16), bend = rng.Range(-3, 3);
        const TRgba straw = Mix(Rgb(0xFFE082), Rgb(0x9C7A1E), rng.Range(0, 1));
        c.Fill(Polyline(QuadraticCurve({x0 - len / 2, y0}, {x0, y0 + bend}, {x0 + len / 2, y0 + rng.Range(-2, 2)}, 6),
                        0.9f),
               straw, {EBlend::Atop});
    }
    c.Fill(InnerBand(bowl, 1.0f), Rgb(0x5A3E0E));
}

// amount=1..4: a pouch, a sack, a chest or a heap of coins.
void IapCoins(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2;
    switch (ctx.Int("amount", 1)) {
        case 1:
            Sack(c, cx, h - 12, 50, 56, Rgb(0x8D5A2B), false, 3);
            LyingCoin(c, cx - 20, h - 12, 9);
            LyingCoin(c, cx + 18, h - 10, 9);
            Coin(c, cx + 4, h - 24, 11);
            break;
        case 2:
            Sack(c, cx - 4, h - 10, 66, 74, Rgb(0xC8A165), true, 4);
            CoinHeap(c, cx - 36, cx + 28, h - 64, 10, 6, 7);
            LyingCoin(c, cx + 28, h - 10, 9);
            LyingCoin(c, cx + 38, h - 16, 8);
            Coin(c, cx + 24, h - 26, 10);
            break;
        case 3: {
            const float x0 = 12, x1 = w - 12, lidTop = 16, boxTop = 44, bottom = h - 10;
            const CShape lid = Union(RoundRect(x0 + 4, lidTop, x1 - x0 - 8, boxTop - lidTop + 4, 10),
                                     Rect(x0 + 4, lidTop + 14, x1 - x0 - 8, boxTop - lidTop - 10));
            const CShape box = RoundRect(x0, boxTop, x1 - x0, bottom - boxTop, 4);
            c.Fill(Translate(Union(lid, box), 2, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
            c.Fill(lid, Vertical(lidTop, boxTop, Rgb(0xA1663A), Rgb(0x6E3F1F)));
            c.Fill(InnerBand(lid, 1.3f), kWoodDark);
            CoinHeap(c, x0 + 4, x1 - 4, boxTop + 4, 14, 7, 9);
            c.Fill(box, Vertical(boxTop, bottom, Rgb(0x9A5B30), Rgb(0x5A3218)));
            for (float bx : {x0 + 10, x1 - 14})
                c.Fill(Rect(bx, boxTop, 4, bottom - boxTop), Vertical(boxTop, bottom, kGoldShine, kGoldDark));
            c.Fill(Rect(x0, boxTop, x1 - x0, 4), Vertical(boxTop, boxTop + 4, kGoldShine, kGoldDark));
            c.Fill(InnerBand(box, 1.3f), kWoodDark);
            const CShape clasp = RoundRect(cx - 6, boxTop + 2, 12, 14, 3);
            c.Fill(clasp, Vertical(boxTop, boxTop + 16, kGoldShine, kGoldRim));
            c.Fill(InnerBand(clasp, 1.0f), kGoldDark);
            c.Fill(Circle(cx, boxTop + 9, 2), kWoodDark);
            Gem(c, x1 - 22, boxTop - 6, 7, kRuby, kRubyLight, Rgb(0x7A0E35));
            break;
        }
        case 4:
            CoinHeap(c, 6, w - 6, h - 10, 54, 9, 11);
            Gem(c, cx - 18, h - 40, 8, kRuby, kRubyLight, Rgb(0x7A0E35));
            Gem(c, cx + 16, h - 34, 8, Rgb(0x1E88E5), Rgb(0x9BE7FF), Rgb(0x0D3C78));
            Gem(c, cx + 2, h - 60, 7, Rgb(0x43A047), Rgb(0xB9F6CA), Rgb(0x1B5E20));
            Coin(c, cx - 4, h - 36, 12);
            break;
        default:
            ctx.Fail("amount must be 1..4");
    }
}

// A cluster of blue gems.
void IapGems(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const TRgba base = Rgb(0x1E88E5), light = Rgb(0x9BE7FF), dark = Rgb(0x0D3C78);
    const float px[] = {-22, 20, -8, 10, -26, 26, 0};
    const float py[] = {8, 10, 18, 20, -10, -8, -2};
    const float pr[] = {12, 12, 13, 13, 10, 10, 18};
    for (int i = 0; i < 7; ++i) Gem(c, w / 2 + px[i], h / 2 + py[i], pr[i], base, light, dark);
    c.Fill(Sparkle(w - 18, 16, 7), kWhite);
    c.Fill(Sparkle(18, h - 24, 5), kWhite);
}

}  // namespace imagegen::recipes
