// Widget images: panel tiles, rules, bars, troughs, frames, the list paper and the tutorial's
// focus mask.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;

// The dark wood of the panels: boards as high as a frame run across, each with a groove along its
// top edge, a shade that rounds it, and a few fine grain lines along it that wave a little.
// Everything repeats at the frame's size in both directions, so any number of middle tiles meet
// without a seam; the grain runs along the boards, so the repeat reads as boards, not as a weave.
TRgba PanelWood(float x, float y, float fw, float fh) {
    constexpr float kTau = 6.2831853f;
    // Where the grain lines lie across a board (in frame heights), and how dark each is.
    struct TLine {
        float at, dark;
    };
    constexpr TLine kGrain[] = {{0.24f, 0.5f}, {0.41f, 0.3f}, {0.58f, 0.6f}, {0.71f, 0.28f}, {0.86f, 0.42f}};
    const float down = (y - fh * std::floor(y / fh)) / fh;  // 0 .. 1 across the board
    const float wave = 0.025f * std::sin(kTau * x / fw) + 0.012f * std::sin(2.0f * kTau * x / fw + 1.3f);
    const TRgba light = WithAlpha(Rgb(0x4F3626), kPanel.a), dark = WithAlpha(Rgb(0x24170F), kPanel.a);
    // Lit from above: lighter near the board's top, darker towards its foot.
    TRgba wood = Mix(light, kPanel, std::clamp(down * 1.6f, 0.0f, 1.0f));
    wood = Mix(wood, dark, std::clamp((down - 0.7f) * 1.2f, 0.0f, 0.3f));
    for (const TLine& line : kGrain) {
        const float d = std::fabs(down - line.at - wave) * fh;  // pixels from the line's middle
        wood = Mix(wood, dark, line.dark * std::clamp(1.0f - d / 0.7f, 0.0f, 1.0f));
    }
    if (down * fh < 1.0f) return Mix(wood, WithAlpha(Rgb(0x140C07), kPanel.a), 0.85f);  // the groove
    if (down * fh < 2.0f) return Mix(wood, WithAlpha(Rgb(0x6B4C37), kPanel.a), 0.5f);   // its lit lip
    return wood;
}

// style=panel|hint: a 3 x 3 nine-patch cut from one panel of three frames by three.
void NinePatch(CCanvas& c, const CRecipeContext& ctx) {
    const float fw = ctx.Width(), fh = ctx.Height();
    const int col = ctx.Frame() % 3, row = ctx.Frame() / 3;
    c.SetOrigin(col * fw, row * fh);
    const float w = fw * 3, h = fh * 3;
    const std::string style = ctx.Text("style", "panel");
    const CShape body = RoundRect(0, 0, w - 2, h - 2, 6);
    c.Fill(Translate(body, 2, 2), kShadow, {EBlend::Over, 1.0f, 0.8f});
    if (style == "panel") {
        c.Fill(body, [&](float x, float y) { return PanelWood(x, y, fw, fh); });
        c.Fill(InnerBand(body, 2.0f), kPanelBorder);
        c.Fill(Shell(Grow(body, -2.5f), 0.8f), WithAlpha(Rgb(0x000000), 0.35f));
    } else if (style == "hint") {
        c.Fill(body, Rgb(0x0F2A30, 225.0f / 255.0f));
        c.Fill(InnerBand(body, 1.5f), WithAlpha(kWhite, 0.85f));
    } else {
        ctx.Fail("style must be panel or hint");
    }
}

// A gold rule fading out at both ends.
void HzLine(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const TStops fade = {{0.0f, WithAlpha(kGold, 0)}, {0.2f, kGold}, {0.8f, kGold}, {1.0f, WithAlpha(kGold, 0)}};
    c.Fill(Rect(0, h / 2 - 1, w, 2), Linear(0, 0, w, 0, fade));
    c.Fill(
        Rect(0, h / 2 - 1, w, 0.8f),
        Linear(0, 0, w, 0, {{0.0f, WithAlpha(kGoldShine, 0)}, {0.5f, kGoldShine}, {1.0f, WithAlpha(kGoldShine, 0)}}));
    c.Fill(Rect(0, h / 2 + 1, w, 1),
           Linear(0, 0, w, 0,
                  {{0.0f, WithAlpha(kBlack, 0)}, {0.5f, WithAlpha(kBlack, 0.35f)}, {1.0f, WithAlpha(kBlack, 0)}}));
}

// One spoke of the wait dialog's spinner: a white rounded bar with a soft grey rim. The code
// turns twelve of them about a point below the image, so the spoke's top is its outer end.
void Spoke(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = RoundRect(0.5f, 0.5f, w - 1, h - 1, (w - 1) / 2);
    c.Fill(bar, WithAlpha(Rgb(0xB0B0B0), 0.9f));
    c.Fill(Grow(bar, -1.0f), kWhite);
}

// The ends of a scroll list: frame 0 the top half of a black rounded cap, frame 1 the bottom.
void ScrollerEdge(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    c.SetOrigin(0, ctx.Frame() == 0 ? 0 : h);
    c.Fill(RoundRect(0, 0, w, h * 2, w / 2), WithAlpha(kBlack, 0.7f));
}

// style=trough|fill: the slider's dark trough, or its gold fill in the same shape.
void Track(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const std::string style = ctx.Text("style", "trough");
    const CShape shape = RoundRect(0.5f, 0.5f, w - 1, h - 1, (h - 1) / 2);
    if (style == "trough") {
        c.Fill(shape, Vertical(0, h, Rgb(0x1A110C, 0.9f), Rgb(0x3E2A1E, 0.9f)));
        c.Fill(Subtract(shape, Translate(shape, 0, 2)), WithAlpha(kBlack, 0.5f), {EBlend::Atop});
        c.Fill(InnerBand(shape, 1.0f), WithAlpha(kPanelBorder, 0.8f));
    } else if (style == "fill") {
        c.Fill(shape, Vertical(0, h, kGoldShine, kGoldRim));
        c.Fill(Intersect(Grow(shape, -1.5f), Rect(0, 0, w, h * 0.45f)), WithAlpha(kWhite, 0.5f), {EBlend::Atop});
        c.Fill(InnerBand(shape, 1.0f), kGoldDark);
    } else {
        ctx.Fail("style must be trough or fill");
    }
}

// The slider knob: cream, frame 1 (dragged) a little darker.
void Knob(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const bool pressed = ctx.Frame() == 1;
    const float cx = w / 2 - 0.5f, cy = h / 2 - 0.8f, r = std::min(w, h) / 2 - 2;
    c.Fill(Circle(cx + 0.8f, cy + 1.4f, r), kShadow, {EBlend::Over, 1.0f, 0.8f});
    TSphere s =
        MakeSphere(cx, cy, r, pressed ? Rgb(0xE0C9A0) : Rgb(0xF5E6C8), kWhite, pressed ? Rgb(0x8A6A48) : Rgb(0xA88B63));
    c.Fill(Circle(cx, cy, r), SpherePaint(s));
    c.Fill(InnerBand(Circle(cx, cy, r), 1.2f), Rgb(0x6D4C33));
    c.Fill(Circle(cx, cy, r * 0.35f), WithAlpha(Rgb(0x6D4C33), 0.35f));
}

// The loading bar: frame 0 the trough, frame 1 the green and gold striped fill.
void LoadBar(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = RoundRect(0.5f, 0.5f, w - 1, h - 1, (h - 1) / 2);
    if (ctx.Frame() == 0) {
        c.Fill(bar, Vertical(0, h, Rgb(0x102226, 0.9f), Rgb(0x1E3A40, 0.9f)));
        c.Fill(Subtract(bar, Translate(bar, 0, 2)), WithAlpha(kBlack, 0.5f), {EBlend::Atop});
        c.Fill(InnerBand(bar, 1.0f), WithAlpha(kPanelBorder, 0.9f));
        return;
    }
    c.Fill(bar, [&](float x, float y) {
        const float stripe = std::fmod(x + y + 200.0f, 12.0f) < 6.0f ? 1.0f : 0.0f;
        const TRgba green = Mix(Rgb(0x9BE15D), Rgb(0x3E8E2E), y / h);
        const TRgba gold = Mix(kGoldShine, kGold, y / h);
        return Mix(green, gold, stripe * 0.85f);
    });
    c.Fill(Intersect(Grow(bar, -1.5f), Rect(0, 0, w, h * 0.45f)), WithAlpha(kWhite, 0.45f), {EBlend::Atop});
    c.Fill(InnerBand(bar, 1.0f), Rgb(0x24561A));
}

// The boosts row bar, one frame per row: 0 trough, 1 blue fill with 8-pixel caps, 2 white
// highlight, 3 gold glow.
void UpgradeBar(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = RoundRect(0.5f, 0.5f, w - 1, h - 1, 7);
    switch (ctx.Frame()) {
        case 0:
            c.Fill(bar, Vertical(0, h, Rgb(0x0E2036, 0.95f), Rgb(0x1C3A5E, 0.95f)));
            c.Fill(Subtract(bar, Translate(bar, 0, 2)), WithAlpha(kBlack, 0.5f), {EBlend::Atop});
            c.Fill(InnerBand(bar, 1.0f), Rgb(0x5AB2F2, 0.6f));
            break;
        case 1:
            c.Fill(bar, Vertical(0, h, Rgb(0x7CC8FF), Rgb(0x1F6FB8)));
            c.Fill(InnerBand(bar, 1.0f), Rgb(0x123F6B));
            break;
        case 2:
            c.Fill(Intersect(Grow(bar, -2), Rect(0, 0, w, h * 0.5f)),
                   Vertical(1, h * 0.5f, WithAlpha(kWhite, 0.8f), WithAlpha(kWhite, 0.1f)));
            break;
        default:
            c.Fill(Grow(bar, -1), Vertical(0, h, WithAlpha(kGoldShine, 0.9f), WithAlpha(kGold, 0.6f)),
                   {EBlend::Over, 1.0f, 2.0f});
            break;
    }
}

// A translucent yellow selection bar.
void ListSel(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = RoundRect(0.5f, 0.5f, w - 1, h - 1, 5);
    c.Fill(bar, Vertical(0, h, Rgb(0xFFE082, 0.55f), Rgb(0xFFC107, 0.45f)));
    c.Fill(InnerBand(bar, 1.0f), Rgb(0xFFD640, 0.8f));
}

// Parchment with a brown frame and ruled lines at 34-pixel pitch.
void ListParchment(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CValueNoise fibre(23);
    const CShape paper = RoundRect(0, 0, w, h, 3);
    c.Fill(paper, [&](float x, float y) {
        const float n = fibre.Fbm(x * 0.05f, y * 0.05f, 4);
        TRgba p = Shade(kParchment, (n - 0.5f) * 0.18f);
        // Darker towards the edges, as old paper.
        const float ex = std::min(x, w - x) / 30.0f, ey = std::min(y, h - y) / 30.0f;
        return Shade(p, -0.12f * (1.0f - std::clamp(std::min(ex, ey), 0.0f, 1.0f)));
    });
    for (int i = 1; i <= 5; ++i) {
        c.Fill(Rect(8, 34.0f * i, w - 16, 1), kParchmentLine);
    }
    c.Fill(InnerBand(paper, 1.0f), Rgb(0x6D4C33));
}

// A rounded frame with a light border and a dark translucent inside.
void IconFrame(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape frame = RoundRect(1, 1, w - 2, h - 2, 12);
    c.Fill(frame, Vertical(0, h, Rgb(0x0F2A30, 0.55f), Rgb(0x000000, 0.65f)));
    c.Fill(InnerBand(frame, 2.0f), Vertical(0, h, Rgb(0xFFF3D6), Rgb(0xC8A165)));
    c.Fill(Shell(Grow(frame, -3), 1.0f), WithAlpha(kBlack, 0.4f));
}

// Fully transparent.
void Clear(CCanvas&, const CRecipeContext&) {}

// Opaque black with a soft-edged transparent hole: radius=px feather=px.
void FocusHole(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float radius = ctx.Number("radius", 60), feather = ctx.Number("feather", 6);
    c.FillAll(Solid(kBlack));
    c.Fill(Circle(w / 2, h / 2, radius - feather), kBlack, {EBlend::Erase, 1.0f, feather});
}

// A grey translucent rounded square with a darker rim, laid over locked buttons.
void LockedOverlay(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape square = RoundRect(1, 1, w - 2, h - 2, 12);
    c.Fill(square, Rgb(0x3A3A3A, 170.0f / 255.0f));
    c.Fill(InnerBand(square, 2.0f), Rgb(0x1E1E1E, 200.0f / 255.0f));
}

// Quest frames: 0 neutral grey, 1 amber, 2 green.
void QuestFrames(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    static const TRgba kTop[] = {Rgb(0xD6D6D6), Rgb(0xFFD180), Rgb(0xA5E38A)};
    static const TRgba kBottom[] = {Rgb(0x8C8C8C), Rgb(0xE09A2D), Rgb(0x4C9A34)};
    static const TRgba kEdge[] = {Rgb(0x4A4A4A), Rgb(0x8A4500), Rgb(0x24561A)};
    const int i = std::clamp(ctx.Frame(), 0, 2);
    const CShape outer = RoundRect(1, 1, w - 3, h - 3, 10);
    c.Fill(Translate(outer, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(outer, Vertical(1, h - 2, kTop[i], kBottom[i]));
    const CShape inner = RoundRect(5, 5, w - 11, h - 11, 7);
    c.Fill(inner, Vertical(5, h - 6, Rgb(0x000000, 0.35f), Rgb(0x000000, 0.2f)), {EBlend::Atop});
    c.Fill(Shell(inner, 1.0f), WithAlpha(kEdge[i], 0.8f));
    c.Fill(InnerBand(outer, 1.3f), kEdge[i]);
}

// The quest result frame: gold with a soft glow around it.
void QuestFrameResult(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape outer = RoundRect(4, 4, w - 8, h - 8, 9);
    c.Fill(outer, WithAlpha(kGoldShine, 0.8f), {EBlend::Over, 1.0f, 3.0f});
    c.Fill(outer, Vertical(4, h - 4, kGoldShine, kGoldRim));
    const CShape inner = RoundRect(8, 8, w - 16, h - 16, 6);
    c.Fill(inner, Vertical(8, h - 8, Rgb(0x5A3A10, 0.55f), Rgb(0x2A1A05, 0.4f)), {EBlend::Atop});
    c.Fill(InnerBand(outer, 1.2f), kGoldDark);
    c.Fill(Sparkle(w - 12, 12, 5), kWhite);
}

// The award banner: a parchment ribbon with a gold border and a round gold-rimmed slot for the
// icon at slot_x, slot_y.
void AwardBanner(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float sx = ctx.Number("slot_x", 45), sy = ctx.Number("slot_y", 19);
    // Ribbon tails at both ends, folded behind the band.
    const float bandTop = 7, bandBottom = h - 9;
    const CShape leftTail = Polygon({{1, bandTop + 8},
                                     {22, bandTop + 8},
                                     {22, bandBottom + 6},
                                     {1, bandBottom + 6},
                                     {8, (bandTop + bandBottom) / 2 + 7}});
    const CShape rightTail = MirrorX(leftTail, w / 2);
    for (const CShape& tail : {leftTail, rightTail}) {
        c.Fill(Translate(tail, 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
        c.Fill(tail, Vertical(bandTop, bandBottom, Rgb(0xC9A46A), Rgb(0x9C7A45)));
        c.Fill(InnerBand(tail, 1.0f), Rgb(0x6D4C33));
    }
    // The band rests over the top of every screen, where the back button and the coin counter
    // stand: it is dark and translucent, so they show through it and its yellow texts read well.
    const CShape band = RoundRect(12, bandTop, w - 24, bandBottom - bandTop, 7);
    const CValueNoise fibre(5);
    c.Fill(band, [&](float x, float y) {
        const float n = fibre.Fbm(x * 0.15f, y * 0.15f, 3);
        const TRgba wood =
            Shade(Mix(Rgb(0x4A3322), Rgb(0x2B1B12), (y - bandTop) / (bandBottom - bandTop)), (n - 0.5f) * 0.08f);
        return WithAlpha(wood, 0.72f);
    });
    c.Fill(InnerBand(band, 2.0f), Vertical(bandTop, bandBottom, kGoldShine, kGoldRim));
    c.Fill(Shell(Grow(band, -2.3f), 0.6f), WithAlpha(kGoldDark, 0.6f));
    // The slot: a gold medallion ring with a sunken face for the award icon.
    const float r = std::min(sy, 19.0f);
    c.Fill(Circle(sx + 1, sy + 1.5f, r), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(Circle(sx, sy, r),
           Linear(sx - r, sy - r, sx + r, sy + r, {{0.0f, kGoldShine}, {0.5f, kGold}, {1.0f, kGoldDark}}));
    c.Fill(Circle(sx, sy, r - 2.5f), Vertical(sy - r, sy + r, Rgb(0x8A6A48), Rgb(0xF3E5C8)));
    c.Fill(InnerBand(Circle(sx, sy, r), 0.8f), kGoldDark);
}

}  // namespace imagegen::recipes
