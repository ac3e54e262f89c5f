// Small icons: coins, gems, ticks, arrows, stars, the padlock animation, marbles, the award
// banner's icons.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

const TRgba kBlueGem = Rgb(0x1E88E5), kBlueGemLight = Rgb(0x9BE7FF), kBlueGemDark = Rgb(0x0D3C78);

void BlueGem(CCanvas& c, float cx, float cy, float r) { Gem(c, cx, cy, r, kBlueGem, kBlueGemLight, kBlueGemDark); }

// A gold padlock whose shackle is open by 0..1, turned by tilt degrees about its centre.
void Padlock(CCanvas& c, float cx, float cy, float s, float open, float tilt) {
    const auto turn = [&](const CShape& shape) { return tilt == 0 ? shape : Rotate(shape, cx, cy, tilt); };
    const CShape shackle = turn(picto::LockShackle(cx, cy, s, open));
    const CShape body = turn(picto::LockBody(cx, cy, s));
    const CShape all = Union(shackle, body);
    c.Fill(Translate(all, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(Grow(shackle, 0.9f), Rgb(0x3A3A3A));
    c.Fill(shackle, Linear(cx - s / 2, cy - s / 2, cx + s / 2, cy, {{0.0f, Rgb(0xF2F2F2)}, {1.0f, Rgb(0x8C8C8C)}}));
    c.Fill(Grow(body, 0.9f), kGoldDark);
    c.Fill(body, Vertical(cy - s * 0.1f, cy + s * 0.5f, kGoldShine, kGoldRim));
    c.Fill(Intersect(Grow(body, -1.5f), turn(Rect(cx - s, cy - s * 0.1f, 2 * s, s * 0.2f))), WithAlpha(kWhite, 0.45f),
           {EBlend::Atop});
}

// A lying coin stack of n coins, the top one showing its face.
void CoinStack(CCanvas& c, float cx, float bottom, float r, int n) {
    const float t = r * 0.32f;
    for (int i = 0; i < n; ++i) {
        const float y = bottom - r * 0.4f - i * t;
        const CShape edge = Union(Ellipse(cx, y, r, r * 0.4f), Rect(cx - r, y - t, 2 * r, t));
        const CShape top = Ellipse(cx, y - t, r, r * 0.4f);
        if (i == 0) c.Fill(Translate(Ellipse(cx, y, r, r * 0.4f), 1.5f, 1.5f), kShadow, {EBlend::Over, 1.0f, 1.0f});
        c.Fill(edge, Linear(cx - r, 0, cx + r, 0, {{0.0f, kGoldRim}, {0.35f, kGold}, {1.0f, kGoldDark}}));
        for (float gx = -r + 2; gx < r - 1; gx += 2.5f)
            c.Fill(Rect(cx + gx, y - t, 0.8f, t), WithAlpha(kGoldDark, 0.45f), {EBlend::Atop});
        c.Fill(InnerBand(edge, 0.7f), kGoldDark);
        c.Fill(top, Linear(cx - r, y - t - r * 0.4f, cx + r, y - t + r * 0.4f, {{0.0f, kGoldShine}, {1.0f, kGold}}));
        c.Fill(Shell(Ellipse(cx, y - t, r * 0.72f, r * 0.29f), 0.8f), WithAlpha(kGoldDark, 0.6f));
        c.Fill(InnerBand(top, 0.7f), kGoldDark);
    }
}

// A glossy heart.
void GlossHeart(CCanvas& c, float cx, float cy, float size, const TRgba& colour) {
    const CShape heart = Heart(cx, cy, size);
    c.Fill(Translate(heart, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(heart, Radial(cx - size * 0.2f, cy - size * 0.25f, size * 0.8f,
                         {{0.0f, Shade(colour, 0.45f)}, {0.55f, colour}, {1.0f, Shade(colour, -0.45f)}}));
    c.Fill(Ellipse(cx - size * 0.2f, cy - size * 0.2f, size * 0.12f, size * 0.08f), WithAlpha(kWhite, 0.85f));
    c.Fill(InnerBand(heart, std::max(0.8f, size * 0.04f)), Shade(colour, -0.55f));
}

}  // namespace

// A glossy red heart filling the frame (the round's lives).
void HeartIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    GlossHeart(c, w / 2 - 0.5f, h / 2, std::min(w, h) - 5, Rgb(0xE53935));
}

// Two stacks of gold coins side by side, the taller behind (the round's coins).
void CoinPile(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float r = w * 0.21f;
    CoinStack(c, w * 0.38f, h - 5, r, 5);
    CoinStack(c, w * 0.64f, h - 2, r, 3);
}

// A gold coin centred in the frame.
void CoinIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    Coin(c, w / 2 - 0.5f, h / 2 - 0.5f, std::min(w, h) / 2 - 1.5f, std::min(w, h) >= 20);
}

// A blue faceted gem with a white star.
void GemStar(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float r = std::min(w, h) / 2 - 1.5f;
    BlueGem(c, w / 2 - 0.5f, h / 2 - 0.5f, r);
    c.Fill(Star(w / 2 - 0.5f, h / 2 - r * 0.15f, 5, r * 0.42f, r * 0.18f), kWhite);
}

// A green check mark with a white outline.
void TickIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape tick = picto::Tick(w / 2, h / 2, w * 0.72f, w * 0.2f);
    c.Fill(Translate(Grow(tick, 1.6f), 0.6f, 1.0f), kShadow, {EBlend::Over, 1.0f, 0.6f});
    c.Fill(Grow(tick, 1.6f), kWhite);
    c.Fill(tick, Vertical(0, h, Rgb(0x8BE36A), Rgb(0x2E7D32)));
}

// fill=#RRGGBB outline=#RRGGBB: an arrow pointing up.
void ArrowIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const TRgba fill = ctx.Colour("fill", kWhite), outline = ctx.Colour("outline", kInk);
    const CShape arrow = Grow(picto::ArrowUp(w / 2, h / 2 - 0.5f, w - 9, h - 7), 1.0f);
    c.Fill(Translate(Grow(arrow, 1.8f), 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(Grow(arrow, 1.8f), outline);
    c.Fill(arrow, Vertical(0, h, fill, Mix(fill, outline, 0.15f)));
}

// A small white arrow pointing right.
void RightArrow(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape arrow =
        Union(Polygon({{w - 1, h / 2}, {w - 7, 0.8f}, {w - 7, h - 0.8f}}), Rect(1, h / 2 - 1.6f, w - 7, 3.2f));
    c.Fill(Translate(arrow, 0.5f, 1), WithAlpha(kBlack, 0.5f));
    c.Fill(arrow, kWhite);
}

// Frame 0 an empty star (dark outline, faint fill), frame 1 a gold glossy star.
void YardStar(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2 - 0.5f, cy = h / 2;
    const CShape star = Grow(Star(cx, cy, 5, w * 0.45f, w * 0.2f), 0.8f);
    if (ctx.Frame() == 0) {
        c.Fill(star, WithAlpha(kBlack, 0.28f));
        c.Fill(InnerBand(star, 1.5f), Rgb(0x5D4037, 0.9f));
        return;
    }
    c.Fill(Translate(star, 0.8f, 1.3f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(star,
           Radial(cx - w * 0.15f, cy - h * 0.2f, w * 0.6f, {{0.0f, kGoldShine}, {0.5f, kGold}, {1.0f, kGoldRim}}));
    c.Fill(Intersect(Grow(star, -2), Rect(0, 0, w, cy)), WithAlpha(kWhite, 0.35f), {EBlend::Atop});
    c.Fill(InnerBand(star, 1.1f), kGoldDark);
}

// The padlock opening over the frames; the last frame open and tilted.
void PadlockAnim(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int last = ctx.Spec().layout.frames - 1;
    const float open = last > 0 ? static_cast<float>(ctx.Frame()) / last : 0.0f;
    Padlock(c, w / 2 - 0.5f, h * 0.5f + 1, std::min(w, h) * 0.8f, open, ctx.Frame() == last ? -14.0f : 0.0f);
}

// colour=#RRGGBB rim=W: a glossy disc with a white plus, the coin counter's "get more coins".
void PlusDisc(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2 - 0.4f, cy = h / 2 - 0.6f, r = std::min(w, h) / 2 - 1.2f;
    const TRgba colour = ctx.Colour("colour", Rgb(0x43A047));
    GlossDisc(c, cx, cy, r, colour, ctx.Number("rim", 1.5f));
    const CShape plus = picto::Plus(cx, cy, r * 1.15f, r * 0.38f);
    c.Fill(Translate(plus, 0, 0.8f), WithAlpha(Shade(colour, -0.6f), 0.8f));
    c.Fill(plus, kWhite);
}

// A chunky white question mark with a dark border and a soft shadow: a yard not found yet.
void QuestionMark(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    TLettering text;
    text.fill = Vertical(0, h, kWhite, Rgb(0xDCE6EE));
    text.border = Rgb(0x263238);
    text.borderWidth = 1.6f;
    text.shadowDx = 1.2f;
    text.shadowDy = 2.0f;
    text.grow = 0.8f;
    Letters(c, "?", h * 0.92f, w / 2 - 1, h * 0.82f, EAlign::Centre, text);
}

// A gold medal on a blue ribbon.
void SmallMedal(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2 - 0.5f, r = w / 2 - 2.5f, cy = h - r - 2.5f;
    const CShape left = Polygon({{cx - r, 0}, {cx - 1, 0}, {cx + 2, cy}, {cx - 3, cy}});
    const CShape right = Polygon({{cx + 1, 0}, {cx + r, 0}, {cx + 3, cy}, {cx - 2, cy}});
    c.Fill(left, Rgb(0x1F6FB8));
    c.Fill(right, Rgb(0x5AB2F2));
    c.Fill(Rect(cx - 1, 0, 2, cy), WithAlpha(kWhite, 0.6f));
    Coin(c, cx, cy, r, false);
}

// One marble per frame, in colour type = frame.
void MarbleIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    Marble(c, w / 2 - 0.5f, h / 2 - 1, std::min(w, h) / 2 - 1.8f, MarbleColours(ctx.Frame() % 4), false);
}

// The award banner's icon per message type (frame = type); types 0, 1, 6 and 8 stay empty.
// The frames are wider than the pictures: the banner keeps its texts half a frame's width right
// of the icon's centre, so the empty sides keep the first letter clear of the medallion. The
// pictures take their size from the height.
void AwardIcons(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2;
    switch (ctx.Frame()) {
        case 2: {  // a scroll with a tick
            const CShape scroll = picto::Scroll(cx - 2, cy, h * 0.8f);
            c.Fill(Translate(scroll, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
            c.Fill(Grow(scroll, 1), Rgb(0x6D4C33));
            c.Fill(scroll, Vertical(0, h, kParchment, Rgb(0xD9C39A)));
            const CShape tick = picto::Tick(cx + 6, cy + 6, h * 0.45f, 3.5f);
            c.Fill(Grow(tick, 1.5f), kWhite);
            c.Fill(tick, Rgb(0x2E9E3A));
            break;
        }
        case 3: {  // two arrows in a circle: restored
            const CShape arrows = picto::Rotate(cx, cy, h * 0.85f);
            c.Fill(Grow(arrows, 1.6f), kWhite);
            c.Fill(arrows, Vertical(0, h, Rgb(0x5AB2F2), Rgb(0x1F6FB8)));
            break;
        }
        case 4:  // a stack of coins
            CoinStack(c, cx, h - 4, 11, 4);
            break;
        case 5:  // a coin with a heart
            Coin(c, cx - 3, cy - 2, 12);
            GlossHeart(c, cx + 8, cy + 8, 15, Rgb(0xE53935));
            break;
        case 7:  // an open padlock
            Padlock(c, cx, cy + 1, h * 0.7f, 1.0f, -14.0f);
            break;
        case 9: {  // a red warning triangle
            const CShape triangle = Grow(RegularPolygon(cx, cy + 3, 3, h * 0.42f), 2.0f);
            c.Fill(Translate(triangle, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
            c.Fill(triangle, Vertical(0, h, Rgb(0xF0645A), Rgb(0xB3261E)));
            c.Fill(InnerBand(triangle, 1.5f), kWhite);
            c.Fill(Union(RoundRect(cx - 2, cy - 6, 4, 11, 1.5f), Circle(cx, cy + 9, 2.2f)), kWhite);
            break;
        }
        case 10: {  // a blue gem with a plus
            BlueGem(c, cx - 2, cy - 1, 13);
            const CShape plus = picto::Plus(cx + 9, cy + 9, 12, 4.5f);
            c.Fill(Grow(plus, 1.5f), kWhite);
            c.Fill(plus, Rgb(0x2E9E3A));
            break;
        }
        default:
            break;
    }
}

}  // namespace imagegen::recipes
