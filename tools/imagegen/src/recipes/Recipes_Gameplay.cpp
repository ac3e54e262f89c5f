// The round's sprites: rolling glass marbles, the power-ups (bomb, 8-way bomb, colour bombs),
// the arenas' spinning coins, and the white shapes the game tints (path dots, bursts, the glow
// ring, the danger halo, the drag ring, the entry arrow and the bomb's range ring).
#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "Draw.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

constexpr float kPi = 3.14159265f;

float SmoothStep(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A point of the unit sphere seen from the front at an offset (nx, ny) from its centre, in
// radii; outside the disc the rim's point.
struct TSpherePoint {
    float x, y, z;
};
TSpherePoint OnSphere(float nx, float ny) {
    const float rr = nx * nx + ny * ny;
    if (rr > 1.0f) {
        const float k = 1.0f / std::sqrt(rr);
        return {nx * k, ny * k, 0.0f};
    }
    return {nx, ny, std::sqrt(1.0f - rr)};
}

// The three twisted ribbons of a glass marble at a point of its surface, turned about the
// vertical axis by `turn` radians: each ribbon a broad tinted band around a bright thread.
struct TRibbon {
    float band, thread;
};
TRibbon Ribbon(const TSpherePoint& p, float turn) {
    // Body coordinates: as the turn grows the surface at the front moves towards -x, the way the
    // game rolls its marbles at rotation 0.
    const float bx = p.x * std::cos(turn) + p.z * std::sin(turn);
    const float bz = -p.x * std::sin(turn) + p.z * std::cos(turn);
    const float longitude = std::atan2(bz, bx) + 1.6f * p.y;
    const float v = std::cos(3.0f * longitude);
    // Ribbons thin out towards the poles, where the meridians meet.
    const float pole = 1.0f - SmoothStep(0.8f, 0.99f, std::abs(p.y));
    return {SmoothStep(0.25f, 0.6f, v) * pole, SmoothStep(0.86f, 0.97f, v) * pole};
}

// A white highlight spot from the upper left: the fixed light of every ball of the art.
void Glint(CCanvas& c, float cx, float cy, float r, float strength) {
    c.Fill(Ellipse(cx - r * 0.38f, cy - r * 0.44f, r * 0.34f, r * 0.22f),
           Radial(cx - r * 0.38f, cy - r * 0.44f, r * 0.34f,
                  {{0.0f, WithAlpha(kWhite, strength)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
    c.Fill(Circle(cx - r * 0.42f, cy - r * 0.47f, r * 0.1f), WithAlpha(kWhite, strength));
}

// The four marble colours by bit of a colour mask.
TMarbleColours MaskColour(int bit) { return MarbleColours(bit); }

}  // namespace

// colour=0..3 period=N: a glass marble with three twisted ribbons, frame f turned by f / N of a
// third of a turn, so that a strip of N frames loops and rolls about as fast as the game moves
// the marble (two frames a pixel).
void GlassMarble(CCanvas& c, const CRecipeContext& ctx) {
    const int type = ctx.Int("colour", 0);
    const int period = std::max(1, ctx.Int("period", 32));
    if (type < 0 || type > 3) ctx.Fail("colour must be 0 .. 3");
    const TMarbleColours m = MarbleColours(std::clamp(type, 0, 3));
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2 - 1.0f;
    const float turn = (2.0f * kPi / 3.0f) * static_cast<float>(ctx.Frame() % period) / static_cast<float>(period);
    // A light band reads on red, green and blue; on yellow an amber one does.
    const TRgba band = type == 3 ? Mix(m.base, Rgb(0xF57C00), 0.55f) : Mix(m.base, m.light, 0.55f);
    const TRgba thread = Mix(m.light, kWhite, 0.7f);
    const CShape ball = Circle(cx, cy, r);
    c.Fill(ball, [=](float x, float y) {
        const TSpherePoint p = OnSphere((x - cx) / r, (y - cy) / r);
        // Glass: deep colour at the rim, the colour itself inside, lit through from the light.
        const float facing = p.z;
        TRgba col = Mix(m.dark, m.base, SmoothStep(0.0f, 0.55f, facing));
        // The ribbons on the far side show dimly through the glass, those in front clearly.
        const TRibbon back = Ribbon(TSpherePoint{p.x, p.y, -p.z}, turn);
        col = Mix(col, m.dark, 0.45f * back.band * facing);
        const TRibbon front = Ribbon(p, turn);
        col = Mix(col, band, 0.6f * front.band * (0.3f + 0.7f * facing));
        col = Mix(col, thread, 0.9f * front.thread * (0.35f + 0.65f * facing));
        const float lit = std::max(0.0f, -0.45f * p.x - 0.55f * p.y + 0.7f * p.z);
        col = Mix(col, m.light, 0.35f * std::pow(lit, 4.0f));
        // Light caught at the lower right edge of the glass.
        const float rim = std::pow(1.0f - facing, 3.0f) * std::clamp(0.5f + 0.6f * (p.x + p.y), 0.0f, 1.0f);
        col = Mix(col, m.light, 0.6f * rim);
        col.a = 1.0f;
        return col;
    });
    c.Fill(InnerBand(ball, 0.9f), WithAlpha(Shade(m.dark, -0.35f), 0.85f));
    Glint(c, cx, cy, r, 0.95f);
}

// A black round bomb with a brass cap and a fuse whose spark flickers over the frames.
void BombPowerup(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w * 0.46f, cy = h * 0.56f, r = std::min(w, h) * 0.34f;
    const int f = ctx.Frame();
    const CShape body = Circle(cx, cy, r);
    TSphere s = MakeSphere(cx, cy, r, Rgb(0x2E3440), Rgb(0x6B7688), Rgb(0x0B0D12));
    s.specular = 0.85f;
    s.shininess = 40;
    s.rim = 0.4f;
    s.rimColour = Rgb(0x8FA3BF);
    c.Fill(body, SpherePaint(s));
    c.Fill(InnerBand(body, 0.9f), Rgb(0x05060A));
    // The cap on the upper right and the fuse bending up out of it.
    const float capX = cx + r * 0.55f, capY = cy - r * 0.62f;
    const CShape cap = Rotate(RoundRect(capX - 4.5f, capY - 3.5f, 9, 7, 2), capX, capY, 40);
    c.Fill(cap, Vertical(capY - 4, capY + 4, Rgb(0xF3D27A), Rgb(0x9C6B12)));
    c.Fill(InnerBand(cap, 0.8f), Rgb(0x5A3C08));
    const TVec fuseEnd{w - 6.5f, 6.5f};
    const std::vector<TVec> fuse =
        CubicCurve({capX + 1.5f, capY - 2}, {capX + 3, capY - 8}, {fuseEnd.x - 5, fuseEnd.y + 2}, fuseEnd, 12);
    c.Fill(Polyline(fuse, 2.2f), Rgb(0x6D4C33));
    c.Fill(Polyline(fuse, 0.8f), WithAlpha(Rgb(0xC9A27E), 0.8f));
    // The spark: a glow and a star whose size and turn change from frame to frame.
    static constexpr float kSpark[8] = {1.0f, 0.7f, 0.9f, 0.6f, 1.0f, 0.75f, 0.65f, 0.95f};
    const float k = kSpark[f % 8];
    c.Fill(Circle(fuseEnd.x, fuseEnd.y, 6.5f * k), Radial(fuseEnd.x, fuseEnd.y, 6.5f * k,
                                                          {{0.0f, WithAlpha(Rgb(0xFFF3B0), 1.0f)},
                                                           {0.5f, WithAlpha(Rgb(0xFFA000), 0.7f)},
                                                           {1.0f, WithAlpha(Rgb(0xFF5722), 0.0f)}}));
    c.Fill(Star(fuseEnd.x, fuseEnd.y, 8, 6.0f * k, 1.6f, f * 17.0f), Rgb(0xFFF8E1));
    Glint(c, cx, cy, r, 0.55f);
}

// A white-gold disc with 4, 6, 8, 10 or 12 rays (frame 0 .. 4): the 8-way bomb at each level of
// the ray boost.
void EightWayPowerup(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, outer = std::min(w, h) / 2 - 1.0f;
    const int rays = 4 + 2 * std::clamp(ctx.Frame(), 0, 4);
    std::vector<CShape> spikes;
    for (int i = 0; i < rays; ++i) {
        const float a = 360.0f * i / rays;
        spikes.push_back(Rotate(
            Polygon({{cx, cy - outer}, {cx + 3.2f, cy - outer * 0.35f}, {cx - 3.2f, cy - outer * 0.35f}}), cx, cy, a));
    }
    const CShape fan = Union(spikes);
    c.Fill(Circle(cx, cy, outer), Radial(cx, cy, outer,
                                         {{0.0f, WithAlpha(Rgb(0xFFF3C4), 0.55f)},
                                          {0.6f, WithAlpha(kGold, 0.2f)},
                                          {1.0f, WithAlpha(kGold, 0.0f)}}));
    c.Fill(Grow(fan, 0.8f), kGoldDark);
    c.Fill(fan, Radial(cx, cy, outer, {{0.3f, kWhite}, {0.7f, kGoldShine}, {1.0f, kGold}}));
    const float disc = outer * 0.5f;
    const CShape core = Circle(cx, cy, disc);
    TSphere s = MakeSphere(cx, cy, disc, kGold, kGoldShine, kGoldDark);
    s.specular = 0.7f;
    c.Fill(core, SpherePaint(s));
    c.Fill(InnerBand(core, 1.0f), kGoldDark);
    c.Fill(Star(cx, cy, 4, disc * 0.8f, disc * 0.22f), WithAlpha(kWhite, 0.95f));
    c.Fill(Star(cx, cy, 4, disc * 0.45f, disc * 0.15f, 45), WithAlpha(kWhite, 0.8f));
}

// mask=1..15: a glowing orb of the mask's colours (one colour whole, two split like a yin-yang),
// with a white sparkle circling it over the frames.
void ColorBombPowerup(CCanvas& c, const CRecipeContext& ctx) {
    const int mask = ctx.Int("mask", 1);
    std::vector<int> colours;
    for (int bit = 0; bit < 4; ++bit)
        if (mask & (1 << bit)) colours.push_back(bit);
    if (colours.empty() || colours.size() > 2) ctx.Fail("mask must name one or two colours");
    if (colours.empty()) colours.push_back(0);
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2 - 4.0f;
    const TMarbleColours a = MaskColour(colours[0]);
    const TMarbleColours b = MaskColour(colours.back());
    // The halo: both colours glowing out of the orb.
    c.Fill(Circle(cx, cy, r + 3.5f), Radial(cx, cy, r + 3.5f,
                                            {{0.6f, WithAlpha(Mix(a.light, b.light, 0.5f), 0.9f)},
                                             {1.0f, WithAlpha(Mix(a.base, b.base, 0.5f), 0.0f)}}));
    const CShape orb = Circle(cx, cy, r);
    // The first colour's half: the left side with the upper small disc, less the lower one.
    const CShape half = Subtract(Union(Rect(cx - r - 1, cy - r - 1, r + 1, 2 * r + 2), Circle(cx, cy - r / 2, r / 2)),
                                 Circle(cx, cy + r / 2, r / 2));
    const auto glow = [&](const TMarbleColours& m) {
        return [=](float x, float y) {
            const TSpherePoint p = OnSphere((x - cx) / r, (y - cy) / r);
            // Bright at the heart, the colour's own shade towards the edge: a lit orb.
            TRgba col = Mix(m.base, Mix(m.light, kWhite, 0.5f), std::pow(p.z, 2.5f));
            col = Mix(Shade(m.dark, 0.1f), col, SmoothStep(0.0f, 0.35f, p.z));
            col.a = 1.0f;
            return col;
        };
    };
    c.Fill(orb, glow(b));
    if (colours.size() == 2) {
        c.Fill(Intersect(orb, half), glow(a));
        // A seam of light between the two halves.
        c.Fill(Intersect(orb, Shell(half, 1.2f)), WithAlpha(kWhite, 0.8f));
        c.Fill(Circle(cx, cy - r / 2, r * 0.14f), glow(b));
        c.Fill(Circle(cx, cy + r / 2, r * 0.14f), glow(a));
    }
    c.Fill(InnerBand(orb, 0.9f), WithAlpha(Shade(Mix(a.dark, b.dark, 0.5f), -0.3f), 0.9f));
    Glint(c, cx, cy, r, 0.9f);
    // The sparkle circles the orb once over the strip.
    const int frames = std::max(1, ctx.Spec().layout.frames);
    const float angle = 2.0f * kPi * ctx.Frame() / frames - kPi / 2;
    const float sx = cx + std::cos(angle) * r * 0.72f, sy = cy + std::sin(angle) * r * 0.72f;
    c.Fill(Circle(sx, sy, 4.0f),
           Radial(sx, sy, 4.0f, {{0.0f, WithAlpha(kWhite, 0.9f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
    c.Fill(Sparkle(sx, sy, 4.5f), kWhite);
}

// metal=gold|ruby|diamond: the arena's coin turning once over the frames.
void SpinningCoin(CCanvas& c, const CRecipeContext& ctx) {
    const std::string metal = ctx.Text("metal", "gold");
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2 - 2.0f;
    const int frames = std::max(1, ctx.Spec().layout.frames);
    const float turn = 2.0f * kPi * ctx.Frame() / frames;
    // The face is drawn once, then squeezed across by the turn.
    CCanvas face(static_cast<int>(w), static_cast<int>(h));
    TRgba edge = kGoldRim, edgeDark = kGoldDark;
    if (metal == "gold") {
        Coin(face, cx, cy, r, false);
    } else if (metal == "ruby") {
        Gem(face, cx, cy + 1, r, kRuby, kRubyLight, Rgb(0x7A0C33));
        edge = Rgb(0xAD1457);
        edgeDark = Rgb(0x560027);
    } else if (metal == "diamond") {
        Gem(face, cx, cy + 1, r, kDiamond, kWhite, Rgb(0x4A90B8));
        edge = Rgb(0x81D4FA);
        edgeDark = Rgb(0x2F6F94);
    } else {
        ctx.Fail("metal must be gold, ruby or diamond");
    }
    const CImage picture = face.Resolve();
    // A coin turns edge-on; a gem never shows less than its narrow side.
    const bool gem = metal != "gold";
    const float squeeze = gem ? 0.45f + 0.55f * std::abs(std::cos(turn)) : std::max(0.08f, std::abs(std::cos(turn)));
    const bool mirrored = std::cos(turn) < 0;
    if (!gem) {
        // The coin's milled edge shows beside the face while it turns.
        const float thick = 2.2f * std::abs(std::sin(turn));
        const float side = std::sin(turn) >= 0 ? 1.0f : -1.0f;
        c.Fill(Ellipse(cx + side * thick * 0.5f, cy, r * squeeze + thick * 0.5f, r),
               Vertical(cy - r, cy + r, edge, edgeDark));
    }
    const auto sample = [&picture](float x, float y) {
        const int ix = std::clamp(static_cast<int>(std::floor(x)), 0, picture.Width() - 1);
        const int iy = std::clamp(static_cast<int>(std::floor(y)), 0, picture.Height() - 1);
        const std::uint8_t* p = picture.At(ix, iy);
        return TRgba{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
    };
    c.Fill(Rect(0, 0, w, h), [=](float x, float y) {
        float u = (x - cx) / squeeze;
        if (mirrored) u = -u;
        // Bilinear: the four texels around the sample point, weighted.
        const float sx = cx + u - 0.5f, sy = y - 0.5f;
        const float fx = sx - std::floor(sx), fy = sy - std::floor(sy);
        const TRgba t00 = sample(std::floor(sx), std::floor(sy)), t10 = sample(std::floor(sx) + 1, std::floor(sy));
        const TRgba t01 = sample(std::floor(sx), std::floor(sy) + 1),
                    t11 = sample(std::floor(sx) + 1, std::floor(sy) + 1);
        const auto lerp = [](const TRgba& p, const TRgba& q, float t) {
            const float a = p.a + (q.a - p.a) * t;
            if (a <= 0) return TRgba{0, 0, 0, 0};
            return TRgba{(p.r * p.a + (q.r * q.a - p.r * p.a) * t) / a, (p.g * p.a + (q.g * q.a - p.g * p.a) * t) / a,
                         (p.b * p.a + (q.b * q.a - p.b * p.a) * t) / a, a};
        };
        TRgba col = lerp(lerp(t00, t10, fx), lerp(t01, t11, fx), fy);
        // The face darkens as it turns away from the light.
        col = Shade(col, -0.35f * (1.0f - squeeze));
        return col;
    });
    // A glint flashes when a face comes round to the front.
    const float flash = std::pow(std::max(0.0f, std::cos(turn)), 8.0f);
    if (flash > 0.05f) c.Fill(Sparkle(cx + r * 0.4f, cy - r * 0.45f, r * 0.45f * flash), WithAlpha(kWhite, flash));
}

// shape=dot|burst|flare|halo|ring|chevron|range: the white shapes the round tints and adds.
void RoundShape(CCanvas& c, const CRecipeContext& ctx) {
    const std::string shape = ctx.Text("shape");
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const auto fade = [](float a0, float a1) {
        return TStops{{0.0f, WithAlpha(kWhite, a0)}, {1.0f, WithAlpha(kWhite, a1)}};
    };
    if (shape == "dot") {
        c.Fill(Circle(cx, cy, r),
               Radial(cx, cy, r, {{0.0f, kWhite}, {0.5f, WithAlpha(kWhite, 0.85f)}, {1.0f, WithAlpha(kWhite, 0.0f)}}));
    } else if (shape == "burst") {
        // Twelve long soft rays and twelve short ones around a bright core.
        c.Fill(Circle(cx, cy, r), Radial(cx, cy, r,
                                         {{0.0f, WithAlpha(kWhite, 0.7f)},
                                          {0.5f, WithAlpha(kWhite, 0.2f)},
                                          {1.0f, WithAlpha(kWhite, 0.0f)}}));
        c.Fill(Star(cx, cy, 12, r * 0.95f, r * 0.22f), Radial(cx, cy, r * 0.95f, fade(1.0f, 0.0f)),
               {EBlend::Over, 1.0f, 1.5f});
        c.Fill(Star(cx, cy, 12, r * 0.6f, r * 0.2f, 15), Radial(cx, cy, r * 0.6f, fade(1.0f, 0.1f)),
               {EBlend::Over, 1.0f, 1.0f});
        c.Fill(Circle(cx, cy, r * 0.22f), Radial(cx, cy, r * 0.22f, fade(1.0f, 0.6f)), {EBlend::Over, 1.0f, 2.0f});
    } else if (shape == "flare") {
        // A faint ring with four brighter arcs, so that its turning shows.
        const float ring = r * 0.8f;
        c.Fill(Shell(Circle(cx, cy, ring), r * 0.06f), WithAlpha(kWhite, 0.45f), {EBlend::Over, 1.0f, r * 0.05f});
        for (int i = 0; i < 4; ++i) {
            const float a0 = i * 90.0f - 22.0f;
            c.Fill(Polyline(Arc(cx, cy, ring, a0, a0 + 44.0f, 16), r * 0.1f), kWhite, {EBlend::Over, 1.0f, r * 0.05f});
        }
        c.Fill(Circle(cx, cy, ring * 1.15f), Radial(cx, cy, ring * 1.15f,
                                                    {{0.6f, WithAlpha(kWhite, 0.0f)},
                                                     {0.85f, WithAlpha(kWhite, 0.18f)},
                                                     {1.0f, WithAlpha(kWhite, 0.0f)}}));
    } else if (shape == "halo") {
        c.Fill(Circle(cx, cy, r - 1), Radial(cx, cy, r - 1,
                                             {{0.0f, WithAlpha(kWhite, 0.25f)},
                                              {0.75f, WithAlpha(kWhite, 0.6f)},
                                              {0.9f, WithAlpha(kWhite, 0.95f)},
                                              {1.0f, WithAlpha(kWhite, 0.0f)}}));
    } else if (shape == "ring") {
        c.Fill(Shell(Circle(cx, cy, r - 5), 4.0f), kWhite, {EBlend::Over, 1.0f, 1.2f});
    } else if (shape == "chevron") {
        const CShape arrow = Polygon({{w - 4, cy}, {w * 0.3f, 5}, {w * 0.3f + 9, cy}, {w * 0.3f, h - 5}});
        c.Fill(Grow(arrow, 1.5f), Rgb(0x9E9E9E), {EBlend::Over, 1.0f, 1.0f});
        c.Fill(arrow, kWhite);
    } else if (shape == "range") {
        // A ring of radius 124 pixels at scale 1 (the game scales it by radius / 128), 6 wide.
        c.Fill(Shell(Circle(cx, cy, 124.0f), 6.0f), kWhite, {EBlend::Over, 1.0f, 1.5f});
        c.Fill(Circle(cx, cy, 122.0f),
               Radial(cx, cy, 122.0f, {{0.7f, WithAlpha(kWhite, 0.0f)}, {1.0f, WithAlpha(kWhite, 0.3f)}}));
    } else {
        ctx.Fail("unknown round shape '" + shape + "'");
    }
}

// A cartoon hand with its index finger up, seen from the back, fading out at the wrist. The
// tutorial presses with it: the finger's pad centre, where the press lands, is pixel (30, 20)
// of a 64 x 72 frame (the code puts that pixel on the touched point). The raised hand casts the
// same frame, darkened, as its shadow 30 pixels lower: the wrist fades out over the frame's last
// rows, with no cuff, so the shadow ends in a soft hand-shaped fade under the hand, not in a
// hard-edged block that reaches far below it.
void TutorialHand(CCanvas& c, const CRecipeContext& ctx) {
    const float sx = ctx.Width() / 64.0f, sy = ctx.Height() / 72.0f;
    const auto P = [&](float x, float y) { return TVec{x * sx, y * sy}; };
    const TRgba outline = Rgb(0x5D3A1A);
    const CShape finger = Capsule(P(30.5f, 19.5f), P(30.5f, 46), 13 * sx);
    const CShape palm = RoundRect(20 * sx, 38 * sy, 33 * sx, 30 * sy, 9 * sx);
    const CShape curled = Union({Capsule(P(37, 44), P(50, 44), 10 * sx), Capsule(P(37, 53), P(51, 53), 10 * sx),
                                 Capsule(P(37, 62), P(49.5f, 62), 10 * sx)});
    const CShape thumb = Capsule(P(23, 60), P(14.5f, 47), 11 * sx);
    const CShape wrist = RoundRect(24 * sx, 58 * sy, 24 * sx, 16 * sy, 4 * sx);
    const CShape hand = Union({finger, palm, curled, thumb, wrist});

    c.Fill(Grow(hand, 1.6f * sx), outline);
    c.Fill(hand, Vertical(10 * sy, 72 * sy, Rgb(0xFFE0C2), Rgb(0xF0B48A)));
    // The curled fingers and the thumb parted by thin lines; the nail on the raised finger.
    for (float y : {48.5f, 57.5f}) c.Fill(Polyline({P(38, y), P(50, y)}, 1.2f * sx), WithAlpha(outline, 0.8f));
    c.Fill(Polyline({P(35.5f, 40), P(35.5f, 64)}, 1.1f * sx), WithAlpha(outline, 0.55f));
    c.Fill(Polyline({P(22, 52), P(26, 62)}, 1.1f * sx), WithAlpha(outline, 0.5f));
    c.Fill(RoundRect(26.5f * sx, 12 * sy, 8 * sx, 7 * sy, 3 * sx), Rgb(0xFFF3E6, 0.9f));
    // Light from the upper left along the finger.
    c.Fill(Capsule(P(27, 22), P(27, 40), 2.4f * sx), Rgb(0xFFFFFF, 0.35f), {EBlend::Atop, 1.0f, 1.0f});
    // The wrist fades out: whole down to row 48, gone by row 70.
    c.FillAll(Vertical(48 * sy, 70 * sy, Rgb(0x000000, 0.0f), Rgb(0x000000, 1.0f)), {EBlend::Erase, 1.0f, 0.0f});
}

// The press of the tutorial's hand: a white ring with a soft glow inside and out.
void TouchRing(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    c.Fill(Circle(cx, cy, r - 0.5f), Radial(cx, cy, r - 0.5f,
                                            {{0.0f, WithAlpha(kWhite, 0.25f)},
                                             {0.55f, WithAlpha(kWhite, 0.35f)},
                                             {0.7f, WithAlpha(kWhite, 0.8f)},
                                             {1.0f, WithAlpha(kWhite, 0.0f)}}));
    c.Fill(Shell(Circle(cx, cy, r * 0.62f), r * 0.07f), kWhite, {EBlend::Over, 1.0f, 0.8f});
}

}  // namespace imagegen::recipes
