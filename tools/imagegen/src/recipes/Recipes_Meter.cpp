// The round statistics' experience meter: a shield badge with "LEVEL" on a ribbon, a round field
// where the code writes the rank, and a sunken slot for the bar; and the bar that fills the slot.
#include <algorithm>

#include "Draw.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;

// slot_x, slot_y, slot_w, slot_h: the bar's slot (pixels); the code lays the bar there.
void XpShield(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float sx = ctx.Number("slot_x", 23.75f), sy = ctx.Number("slot_y", 84);
    const float sw = ctx.Number("slot_w", 52.25f), sh = ctx.Number("slot_h", 10);
    const float cx = w / 2;
    // A heater shield: straight shoulders, sides curving in to a point at the bottom.
    const CShape shield = Polygon({{4, 10},
                                   {cx, 3},
                                   {w - 4, 10},
                                   {w - 4, h * 0.55f},
                                   {w - 10, h * 0.74f},
                                   {cx + 12, h - 10},
                                   {cx, h - 3},
                                   {cx - 12, h - 10},
                                   {10, h * 0.74f},
                                   {4, h * 0.55f}});
    const CShape body = Grow(shield, 1.5f);
    c.Fill(Translate(body, 1, 2), kShadow, {EBlend::Over, 1.0f, 1.5f});
    c.Fill(body, Vertical(0, h, Rgb(0x2F6DB5), Rgb(0x173A66)));
    c.Fill(InnerBand(body, 3.0f), Vertical(0, h, kGoldShine, kGoldRim));
    c.Fill(InnerBand(Grow(body, -3.0f), 1.0f), WithAlpha(kGoldDark, 0.9f));
    // A soft gloss over the upper half.
    c.Fill(Intersect(Grow(body, -5), Rect(0, 0, w, h * 0.42f)),
           Vertical(0, h * 0.42f, WithAlpha(kWhite, 0.28f), WithAlpha(kWhite, 0.04f)));

    // The rank's field: a dark round plate centred about 9 pixels above the middle.
    const float fy = h / 2 - 9;
    const CShape field = Circle(cx, fy, 20);
    c.Fill(Grow(field, 2.5f), Vertical(fy - 22, fy + 22, kGoldShine, kGoldRim));
    c.Fill(field, Radial(cx, fy - 6, 26, {{0.0f, Rgb(0x24507F)}, {1.0f, Rgb(0x0C1E36)}}));

    // The ribbon across the top with "LEVEL" on it.
    const float ribbonY = 12, ribbonH = 14;
    const CShape ribbon = Polygon({{2, ribbonY},
                                   {w - 2, ribbonY},
                                   {w - 6, ribbonY + ribbonH / 2},
                                   {w - 2, ribbonY + ribbonH},
                                   {2, ribbonY + ribbonH},
                                   {6, ribbonY + ribbonH / 2}});
    c.Fill(Translate(ribbon, 0, 1), kShadow);
    c.Fill(ribbon, Vertical(ribbonY, ribbonY + ribbonH, Rgb(0xE53935), Rgb(0x9C1F1B)));
    c.Fill(InnerBand(ribbon, 1.0f), Rgb(0x6A1410));
    TLettering label;
    label.fill = Solid(kCream);
    label.border = Rgb(0x4A0F0B);
    label.borderWidth = 1.0f;
    Letters(c, "LEVEL", FitSize("LEVEL", 11, w - 24), cx, ribbonY + ribbonH - 3.5f, EAlign::Centre, label);

    // The sunken slot the bar fills.
    const CShape slot = RoundRect(sx - 1.5f, sy - 1.5f, sw + 3, sh + 3, (sh + 3) / 2);
    c.Fill(slot, Rgb(0x0A1526));
    c.Fill(Subtract(slot, Translate(slot, 0, 2)), WithAlpha(kBlack, 0.6f), {EBlend::Atop});
    c.Fill(Shell(slot, 1.0f), WithAlpha(kGoldShine, 0.7f));
}

// Blue to cyan with a rounded left end and a bright top edge; the code draws its left part.
void XpBar(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = Union(RoundRect(0.5f, 0.5f, h, h - 1, (h - 1) / 2), Rect(h / 2, 0.5f, w - h / 2, h - 1));
    c.Fill(bar, Linear(0, 0, w, 0, {{0.0f, Rgb(0x1E5BD8)}, {1.0f, Rgb(0x34E0F2)}}));
    c.Fill(Intersect(bar, Rect(0, 0, w, h * 0.45f)), WithAlpha(kWhite, 0.45f), {EBlend::Atop});
    c.Fill(Intersect(bar, Rect(0, h * 0.75f, w, h)), WithAlpha(Rgb(0x0A2A6A), 0.45f), {EBlend::Atop});
}

}  // namespace imagegen::recipes
