// The local ads: banners for the two fictional games the ads engine advertises, each a little
// scene at the left, the game's name and a "Play free" button at the right.
#include <cmath>
#include <string>

#include "Draw.h"
#include "Recipes.h"
#include "Scenery.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

// A kite with a ribbon tail over reeds at the water's edge: Marshkite.
void KiteScene(CCanvas& c, float h) {
    c.Fill(Rect(0, 0, 64, h), Vertical(0, h, Rgb(0xFFE0B2), Rgb(0xFFB74D)));
    c.Fill(Rect(0, h * 0.72f, 64, h * 0.28f), Vertical(h * 0.72f, h, Rgb(0x4FC3F7), Rgb(0x0277BD)));
    for (int i = 0; i < 7; ++i) {
        const float x = 4.0f + 9.0f * i;
        c.Fill(Capsule({x, h}, {x + (i % 2 == 0 ? 2.0f : -2.0f), h * (0.45f + 0.05f * (i % 3))}, 1.1f), Rgb(0x33691E));
    }
    const CShape kite = Polygon({{36, 6}, {47, 16}, {36, 31}, {26, 16}});
    c.Fill(Translate(kite, 1.5f, 2), kShadow, {EBlend::Over, 1.0f, 1.0f});
    c.Fill(kite, Linear(26, 6, 47, 31, {{0.0f, Rgb(0xFF5252)}, {0.5f, Rgb(0xFFD740)}, {1.0f, Rgb(0x7C4DFF)}}));
    c.Fill(Capsule({36, 6}, {36, 31}, 0.5f), WithAlpha(kInk, 0.7f));
    c.Fill(Capsule({26, 16}, {47, 16}, 0.5f), WithAlpha(kInk, 0.7f));
    c.Fill(InnerBand(kite, 0.8f), kInk);
    std::vector<TVec> tail;
    for (int i = 0; i <= 12; ++i) tail.push_back({36.0f - 2.2f * i, 31.0f + 1.4f * i + 2.0f * std::sin(i * 1.1f)});
    c.Fill(Polyline(tail, 0.9f), Rgb(0xD81B60));
}

// Smooth pebbles stacked beside a little stream: Pebbler.
void PebbleScene(CCanvas& c, float h) {
    c.Fill(Rect(0, 0, 64, h), Vertical(0, h, Rgb(0xC5E1A5), Rgb(0x7CB342)));
    c.Fill(Polygon({{0, h * 0.8f}, {64, h * 0.62f}, {64, h}, {0, h}}),
           Vertical(h * 0.6f, h, Rgb(0x81D4FA), Rgb(0x0288D1)));
    const struct {
        float cx, cy, rx, ry;
        std::uint32_t colour;
    } pebbles[] = {{32, 40, 15, 6.5f, 0x8D6E63},
                   {31, 29, 11, 5.5f, 0xB0BEC5},
                   {33, 19.5f, 8, 4.5f, 0xE57373},
                   {32, 12, 5.5f, 3.5f, 0xFFD54F}};
    for (const auto& p : pebbles) {
        const CShape stone = Ellipse(p.cx, p.cy, p.rx, p.ry);
        c.Fill(
            stone,
            Radial(p.cx - p.rx * 0.4f, p.cy - p.ry * 0.5f, p.rx * 1.6f,
                   {{0.0f, Shade(Rgb(p.colour), 0.45f)}, {0.5f, Rgb(p.colour)}, {1.0f, Shade(Rgb(p.colour), -0.4f)}}));
        c.Fill(InnerBand(stone, 0.8f), Shade(Rgb(p.colour), -0.55f));
    }
}

}  // namespace

// game=marshkite|pebbler: a banner the width of the screen for that game.
void AdBanner(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const std::string game = ctx.Text("game", "marshkite");
    const bool kite = game == "marshkite";
    if (!kite && game != "pebbler") ctx.Fail("game must be marshkite or pebbler");
    const TRgba top = kite ? Rgb(0x1A237E) : Rgb(0x1B5E20);
    const TRgba bottom = kite ? Rgb(0x4A148C) : Rgb(0x004D40);
    c.Fill(Rect(0, 0, w, h), Vertical(0, h, top, bottom));
    c.Fill(Rect(0, 0, w, h * 0.45f), WithAlpha(kWhite, 0.08f));
    if (kite)
        KiteScene(c, h);
    else
        PebbleScene(c, h);
    c.Fill(Rect(64, 0, 2, h), WithAlpha(kBlack, 0.35f));

    TLettering title;
    title.fill = Vertical(8, 30, kWhite, kite ? Rgb(0xFFE082) : Rgb(0xC8E6C9));
    title.border = WithAlpha(kBlack, 0.8f);
    title.borderWidth = 1.6f;
    title.shadowDx = 1.0f;
    title.shadowDy = 1.5f;
    const std::string name = kite ? "Marshkite" : "Pebbler";
    const float buttonW = 76;
    Letters(c, name, FitSize(name, 22, w - 84 - buttonW), 74, 26, EAlign::Left, title);
    TLettering tagline;
    tagline.fill = Solid(WithAlpha(kWhite, 0.85f));
    const std::string line = kite ? "Fly through the wetlands" : "Stack, skip and splash";
    Letters(c, line, FitSize(line, 11, w - 84 - buttonW), 74, 42, EAlign::Left, tagline);

    TButtonColours colours;
    (void)ButtonColoursByName(kite ? "orange" : "green", colours);
    const float bx = w - buttonW - 6;
    Pill(c, bx, 9, buttonW, h - 18, (h - 18) / 2, colours, false);
    TLettering label;
    label.fill = Solid(kWhite);
    label.border = WithAlpha(kBlack, 0.6f);
    label.borderWidth = 1.2f;
    Letters(c, "Play free", FitSize("Play free", 13, buttonW - 12), bx + buttonW / 2, h / 2 + 4.5f, EAlign::Centre,
            label);
    c.Fill(Shell(Rect(0.5f, 0.5f, w - 1, h - 1), 1.0f), WithAlpha(kBlack, 0.6f));
}

}  // namespace imagegen::recipes
