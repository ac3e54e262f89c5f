// Button skins: pills, wooden icon discs, close discs, badges, key caps, check boxes, tabs,
// plates. Frame 0 is the normal look and frame 1 the pressed one.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;

// colour=<name> [colour1=<name>: frame 1 in that colour instead of pressed] [radius=px]
void PillButton(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float radius = ctx.Number("radius", (h - 4) / 2);
    const std::string second = ctx.Text("colour1");
    if (ctx.Frame() == 1 && !second.empty()) {
        Pill(c, 0, 0, w, h, radius, ButtonColoursArg(ctx, "colour1", "grey"), false);
        return;
    }
    Pill(c, 0, 0, w, h, radius, ButtonColoursArg(ctx, "colour", "green"), ctx.Frame() == 1);
}

// icon=<pictogram name>: a wooden disc with a cream pictogram.
void IconButton(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float r = std::min(w, h) / 2 - 1.5f;
    const float cx = w / 2 - 0.8f, cy = h / 2 - 1.0f;
    const bool pressed = ctx.Frame() == 1;
    WoodDisc(c, cx, cy, r, pressed);
    const std::string name = ctx.Text("icon");
    const float dy = pressed ? 1.0f : 0.0f;
    const CShape icon = picto::ByName(name, cx, cy + dy, r * 1.1f);
    if (icon.IsEmpty()) {
        ctx.Fail("unknown icon '" + name + "'");
        return;
    }
    Pictogram(c, icon, pressed ? Shade(kCream, -0.12f) : kCream, WithAlpha(Rgb(0x2E1E17), 0.85f), 1.2f);
}

// A red glossy disc with a white cross; ring=1 adds a thin white ring around it.
void CloseDisc(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const bool ring = ctx.Int("ring", 0) != 0;
    const bool pressed = ctx.Frame() == 1;
    const float cx = w / 2 - 0.5f, cy = h / 2 - 0.5f;
    const float r = std::min(w, h) / 2 - 2.0f;
    if (ring) c.Fill(Shell(Circle(cx, cy, r + 0.2f), 1.6f), kWhite);
    const float ri = ring ? r - 1.5f : r;
    GlossDisc(c, cx, cy, ri, pressed ? Rgb(0xB3261E) : Rgb(0xE53935), 0);
    Pictogram(c, picto::Cross(cx, cy + (pressed ? 0.5f : 0.0f), ri * 0.85f, ri * 0.3f), kWhite,
              WithAlpha(Rgb(0x6B1510), 0.8f), 0.8f);
}

// colour=#RRGGBB rim=<px>: a glossy disc, as notification badges.
void Badge(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float r = std::min(w, h) / 2 - 1.2f;
    GlossDisc(c, w / 2 - 0.4f, h / 2 - 0.6f, r, ctx.Colour("colour", Rgb(0xE53935)), ctx.Number("rim", 2.0f));
}

// state=off|on: a cream check box, with a green tick when on.
void CheckBox(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const std::string state = ctx.Text("state", "off");
    if (state != "off" && state != "on") ctx.Fail("state must be off or on");
    const CShape box = RoundRect(1, 1, w - 3, h - 3, 4);
    c.Fill(Translate(box, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.6f});
    c.Fill(box, Vertical(1, h - 2, Rgb(0xFFFBF0), Rgb(0xE8D5B0)));
    // Sunken: a shade inside the top edge.
    c.Fill(Subtract(box, Translate(box, 0, 2)), WithAlpha(Rgb(0x6D4C33), 0.35f), {EBlend::Atop});
    c.Fill(InnerBand(box, 1.3f), Rgb(0x6D4C33));
    if (state == "on") {
        const CShape tick = picto::Tick(w / 2 - 0.5f, h / 2 - 1, w * 0.62f, w * 0.16f);
        c.Fill(Grow(tick, 1.2f), Rgb(0x1B5E20));
        c.Fill(tick, Vertical(2, h - 4, Rgb(0x8BE36A), Rgb(0x3E8E2E)));
    }
}

// A tab rounded at the top: frame 0 inactive (dark blue), frame 1 active (bright blue with a
// gold top line).
void Tab(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const bool active = ctx.Frame() == 1;
    const float top = active ? 1.0f : 4.0f;
    const CShape body = Union(RoundRect(1, top, w - 2, h - top, 9), Rect(1, top + 10, w - 2, h - top - 10));
    TButtonColours colours;
    ButtonColoursByName(active ? "blue" : "darkblue", colours);
    c.Fill(body, Vertical(top, h, colours.top, colours.bottom));
    c.Fill(Intersect(Grow(body, -2), Rect(0, top, w, (h - top) * 0.45f)),
           Vertical(top, top + (h - top) * 0.45f, WithAlpha(kWhite, active ? 0.35f : 0.15f), WithAlpha(kWhite, 0.02f)),
           {EBlend::Atop});
    c.Fill(Subtract(InnerBand(body, 1.3f), Rect(0, h - 1.3f, w, 2)), colours.outline);
    if (active) c.Fill(Intersect(InnerBand(body, 2.5f), Rect(0, 0, w, top + 4)), kTitle, {EBlend::Atop});
}

// A translucent dark plate with round ends; the pressed one is lighter.
void Plate(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const bool pressed = ctx.Frame() == 1;
    const CShape plate = RoundRect(1, 1, w - 2, h - 2, (h - 2) / 2);
    c.Fill(plate, Vertical(1, h - 1, pressed ? Rgb(0x3A4A52, 150 / 255.0f) : Rgb(0x101418, 150 / 255.0f),
                           pressed ? Rgb(0x26343A, 170 / 255.0f) : Rgb(0x000000, 150 / 255.0f)));
    c.Fill(InnerBand(plate, 1.0f), WithAlpha(kWhite, pressed ? 0.45f : 0.25f));
}

// The coin-shop buy button: a green pill with a coin in its left 32 pixels.
void AddCoinsButton(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const bool pressed = ctx.Frame() == 1;
    TButtonColours green;
    ButtonColoursByName("green", green);
    Pill(c, 0, 0, w, h, (h - 4) / 2, green, pressed);
    Coin(c, 17, h / 2 - 1 + (pressed ? 1 : 0), 11.5f);
}

}  // namespace imagegen::recipes
