// The shared looks: buttons, discs, balls, coins, gems and lettering.
#include "Draw.h"

#include <algorithm>
#include <cmath>

#include "imagegen/Noise.h"
#include "imagegen/Text.h"

namespace imagegen::draw {

TMarbleColours MarbleColours(int type) {
    switch (type) {
        case 0:
            return {Rgb(0xE53935), Rgb(0xFF8A80), Rgb(0x8E1B1B)};
        case 1:
            return {Rgb(0x43A047), Rgb(0xB9F6CA), Rgb(0x1B5E20)};
        case 2:
            // The light side is cyan: the game's glow colour for blue marbles is (0, 255, 255).
            return {Rgb(0x1E88E5), Rgb(0x9BE7FF), Rgb(0x0D3C78)};
        default:
            return {Rgb(0xFDD835), Rgb(0xFFF9C4), Rgb(0x9E7C00)};
    }
}

bool ButtonColoursByName(std::string_view name, TButtonColours& out) {
    struct TNamed {
        const char* name;
        TButtonColours value;
    };
    static const TNamed kButtons[] = {
        {"green", {Rgb(0x7CCB5B), Rgb(0x3E8E2E), Rgb(0x24561A)}},
        {"blue", {Rgb(0x5AB2F2), Rgb(0x1F6FB8), Rgb(0x123F6B)}},
        {"red", {Rgb(0xF0645A), Rgb(0xB3261E), Rgb(0x6B1510)}},
        {"teal", {Rgb(0x2E7D86), Rgb(0x15474F), Rgb(0x0A2529)}},
        {"grey", {Rgb(0xB9B9B9), Rgb(0x7A7A7A), Rgb(0x454545)}},
        {"orange", {Rgb(0xFFB74D), Rgb(0xE67E22), Rgb(0x8A4500)}},
        {"cream", {Rgb(0xFFF8E7), Rgb(0xE8D5B0), Rgb(0x6D4C33)}},
        {"purple", {Rgb(0xB388FF), Rgb(0x6A3FC0), Rgb(0x3A1F72)}},
        {"darkblue", {Rgb(0x35608F), Rgb(0x1C3A5E), Rgb(0x0E2036)}},
    };
    return FindNamed(kButtons, name, out);
}

TButtonColours ButtonColoursArg(const CRecipeContext& ctx, const std::string& key, const std::string& fallback) {
    TButtonColours colours;
    const std::string name = ctx.Text(key, fallback);
    if (!ButtonColoursByName(name, colours)) {
        ctx.Fail("unknown button colour '" + name + "'");
        ButtonColoursByName(fallback, colours);
    }
    return colours;
}

void GlossyBody(CCanvas& c, const CShape& body, float top, float bottom, const TButtonColours& colours, bool pressed) {
    const float darken = pressed ? -0.16f : 0.0f;
    const TRgba t = Shade(colours.top, darken), b = Shade(colours.bottom, darken);
    c.Fill(body, Vertical(top, bottom, t, b));
    const float h = bottom - top;
    // A darker lip along the bottom edge gives the button its thickness.
    c.Fill(Subtract(body, Translate(body, 0, -std::max(2.0f, h * 0.08f))), WithAlpha(colours.outline, 0.45f),
           {EBlend::Atop});
    // Gloss over the upper part; the pressed button's gloss is fainter and lower.
    const float glossTop = top + (pressed ? h * 0.18f : 2.0f);
    const CShape gloss =
        Intersect(Grow(body, -2.0f), Rect(body.Bounds().x0, glossTop, body.Bounds().x1 - body.Bounds().x0, h * 0.42f));
    const float glossAlpha = pressed ? 0.18f : 0.42f;
    c.Fill(gloss, Vertical(glossTop, glossTop + h * 0.42f, WithAlpha(kWhite, glossAlpha), WithAlpha(kWhite, 0.04f)),
           {EBlend::Atop});
    c.Fill(InnerBand(body, 1.4f), colours.outline);
}

void Pill(CCanvas& c, float x, float y, float w, float h, float radius, const TButtonColours& colours, bool pressed) {
    // Room for the shadow at the right and bottom; a pressed button sits one pixel lower.
    const float dy = pressed ? 1.0f : 0.0f;
    const CShape body = RoundRect(x + 1, y + 1 + dy, w - 3, h - 4, radius);
    c.Fill(Translate(body, pressed ? 0.5f : 1.2f, pressed ? 1.0f : 2.0f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    GlossyBody(c, body, y + 1 + dy, y + h - 3 + dy, colours, pressed);
}

void WoodDisc(CCanvas& c, float cx, float cy, float r, bool pressed) {
    const CShape disc = Circle(cx, cy, r);
    c.Fill(Translate(disc, 1.2f, pressed ? 1.0f : 2.0f), kShadow, {EBlend::Over, 1.0f, 1.0f});
    const CValueNoise grain(7);
    const float darken = pressed ? -0.18f : 0.0f;
    c.Fill(disc, [&](float x, float y) {
        // Grain runs across the disc: noise stretched along x.
        const float g = grain.Fbm(x * 0.09f, y * 0.55f, 3);
        TRgba wood = Mix(kWoodMid, kWoodLight, std::clamp((g - 0.3f) * 1.6f, 0.0f, 1.0f));
        const float dx = (x - (cx - r * 0.35f)) / (r * 1.7f), dy = (y - (cy - r * 0.45f)) / (r * 1.7f);
        wood = Shade(wood, -0.55f * std::clamp(std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f));
        return Shade(wood, darken);
    });
    // Bevel: a light rim at the top, a dark one at the bottom, then the outline.
    c.Fill(InnerBand(disc, 2.6f), Vertical(cy - r, cy + r, WithAlpha(Rgb(0xD7B899), 0.9f), WithAlpha(kWoodDark, 0.9f)),
           {EBlend::Atop});
    c.Fill(InnerBand(disc, 1.1f), Rgb(0x2E1E17));
}

void GlossDisc(CCanvas& c, float cx, float cy, float r, const TRgba& colour, float rimWidth) {
    const CShape outer = Circle(cx, cy, r);
    c.Fill(Translate(outer, 0.8f, 1.3f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    if (rimWidth > 0) c.Fill(outer, kWhite);
    const float ri = r - rimWidth;
    TSphere s = MakeSphere(cx, cy, ri, colour, Shade(colour, 0.35f), Shade(colour, -0.45f));
    s.specular = 0.5f;
    c.Fill(Circle(cx, cy, ri), SpherePaint(s));
    c.Fill(Ellipse(cx, cy - ri * 0.45f, ri * 0.62f, ri * 0.36f),
           Vertical(cy - ri * 0.8f, cy - ri * 0.1f, WithAlpha(kWhite, 0.7f), WithAlpha(kWhite, 0.0f)));
    if (rimWidth <= 0) c.Fill(InnerBand(outer, 1.0f), Shade(colour, -0.55f));
}

void Pictogram(CCanvas& c, const CShape& shape, const TRgba& colour, const TRgba& shadow, float shadowDy) {
    if (shadowDy != 0) c.Fill(Translate(shape, 0, shadowDy), shadow);
    c.Fill(shape, colour);
}

void Marble(CCanvas& c, float cx, float cy, float r, const TMarbleColours& colours, bool shadow) {
    if (shadow) {
        c.Fill(Ellipse(cx + r * 0.15f, cy + r * 0.85f, r * 0.8f, r * 0.25f), WithAlpha(kBlack, 0.3f),
               {EBlend::Behind, 1.0f, r * 0.2f});
    }
    TSphere s = MakeSphere(cx, cy, r, colours.base, colours.light, colours.dark);
    s.rim = 0.35f;
    s.rimColour = colours.light;
    const CShape ball = Circle(cx, cy, r);
    c.Fill(ball, SpherePaint(s));
    c.Fill(InnerBand(ball, std::max(0.7f, r * 0.06f)), WithAlpha(colours.dark, 0.8f));
}

void Coin(CCanvas& c, float cx, float cy, float r, bool letter) {
    const CShape rim = Circle(cx, cy, r);
    c.Fill(Translate(rim, r * 0.06f, r * 0.1f), kShadow, {EBlend::Behind, 1.0f, std::max(0.6f, r * 0.08f)});
    TSphere s = MakeSphere(cx, cy, r, kGoldRim, kGoldShine, kGoldDark);
    s.specular = 0.6f;
    c.Fill(rim, SpherePaint(s));
    const float fr = r * 0.76f;
    const CShape face = Circle(cx, cy, fr);
    c.Fill(face, Linear(cx - fr, cy - fr, cx + fr, cy + fr, {{0.0f, kGoldShine}, {0.45f, kGold}, {1.0f, kGoldRim}}));
    // The face sits a little lower than the rim: a dark line above it, a light one below.
    c.Fill(Subtract(face, Translate(face, 0, std::max(0.5f, r * 0.06f))), WithAlpha(kGoldDark, 0.7f), {EBlend::Atop});
    c.Fill(InnerBand(rim, std::max(0.6f, r * 0.05f)), kGoldDark);
    if (letter && r >= 9) {
        const CFont* font = BoldFont();
        if (font != nullptr) {
            const float size = fr * 1.55f;
            const float base = cy + font->CapHeight(size) / 2;
            const CShape glyph = font->Shape("C", size, cx, base, EAlign::Centre);
            c.Fill(Translate(glyph, 0.5f, 0.6f), WithAlpha(kGoldShine, 0.9f));
            c.Fill(glyph, kGoldDark);
        }
    } else {
        c.Fill(Star(cx, cy, 5, fr * 0.55f, fr * 0.24f), WithAlpha(kGoldDark, 0.85f));
    }
    c.Fill(Sparkle(cx - r * 0.45f, cy - r * 0.45f, r * 0.32f), WithAlpha(kWhite, 0.85f));
}

void Gem(CCanvas& c, float cx, float cy, float r, const TRgba& base, const TRgba& light, const TRgba& dark) {
    const TVec left{cx - r, cy - r * 0.2f}, right{cx + r, cy - r * 0.2f};
    const TVec tl{cx - r * 0.55f, cy - r * 0.75f}, tr{cx + r * 0.55f, cy - r * 0.75f};
    const TVec bottom{cx, cy + r * 0.95f};
    const TVec il{cx - r * 0.3f, cy - r * 0.2f}, ir{cx + r * 0.3f, cy - r * 0.2f};
    const CShape outline = Polygon({left, tl, tr, right, bottom});
    c.Fill(Translate(outline, r * 0.08f, r * 0.12f), kShadow, {EBlend::Behind, 1.0f, std::max(0.6f, r * 0.1f)});
    c.Fill(outline, base);
    // Facets: the table and crown lit from the upper left, the pavilion in alternating shades.
    c.Fill(Polygon({tl, tr, ir, il}), Mix(base, light, 0.55f));
    c.Fill(Polygon({left, tl, il}), light);
    c.Fill(Polygon({tr, right, ir}), Mix(base, dark, 0.25f));
    c.Fill(Polygon({left, il, bottom}), Mix(base, light, 0.25f));
    c.Fill(Polygon({il, ir, bottom}), base);
    c.Fill(Polygon({ir, right, bottom}), dark);
    c.Fill(Shell(Polyline({left, right}, 0.1f), std::max(0.5f, r * 0.05f)), WithAlpha(kWhite, 0.35f));
    c.Fill(InnerBand(outline, std::max(0.7f, r * 0.07f)), Shade(dark, -0.3f));
    c.Fill(Sparkle(cx - r * 0.35f, cy - r * 0.45f, r * 0.35f), WithAlpha(kWhite, 0.95f));
}

CShape Letters(CCanvas& c, std::string_view text, float pixelSize, float x, float baseline, EAlign align,
               const TLettering& style) {
    const CFont* font = BoldFont();
    if (font == nullptr) return {};
    CShape shape = font->Shape(text, pixelSize, x, baseline, align);
    if (style.grow != 0) shape = Grow(shape, style.grow);
    const CShape bordered = style.borderWidth > 0 ? Grow(shape, style.borderWidth) : shape;
    if (style.shadowDx != 0 || style.shadowDy != 0) {
        c.Fill(Translate(bordered, style.shadowDx, style.shadowDy), style.shadow, {EBlend::Over, 1.0f, 0.6f});
    }
    if (style.borderWidth > 0) c.Fill(bordered, style.border);
    c.Fill(shape, style.fill);
    return shape;
}

float FitSize(std::string_view text, float pixelSize, float maxWidth) {
    const CFont* font = BoldFont();
    if (font == nullptr) return pixelSize;
    const float w = font->Measure(text, pixelSize);
    return w > maxWidth && w > 0 ? pixelSize * maxWidth / w : pixelSize;
}

CShape Sparkle(float cx, float cy, float r) {
    return Union(Star(cx, cy, 4, r, r * 0.2f), Star(cx, cy, 4, r * 0.5f, r * 0.15f, 45));
}

}  // namespace imagegen::draw
