// The yard screen's pictures: the four yards' backgrounds and the two suns, the selection
// corners, the quests badge, the photo flare, the dog's eyelids and the birds' emotion icons.
#include <cmath>
#include <string>

#include "Draw.h"
#include "FarmArt.h"
#include "Recipes.h"
#include "Scenery.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;
using namespace farmart;
using namespace scenery;

namespace {

// The yards' skies end at the picture's top in the yard's sky_color_bottom; the ground's far edge
// lies about 45 pixels down, where the game's camera puts the back of the yard.
struct TYardLook {
    TRgba skyBottom, hillFar, hillNear, grassFar, grassNear;
};
const TYardLook kYards[4] = {
    {Rgb(0xBEE1FA), Rgb(0xA9D68E), Rgb(0x86C463), Rgb(0x9ED26E), Rgb(0x4E9A32)},
    {Rgb(0xE1E6D7), Rgb(0xB7D38C), Rgb(0x8FBE5C), Rgb(0xA8D070), Rgb(0x569B33)},
    {Rgb(0xB9E1F0), Rgb(0x9FCF97), Rgb(0x79B86A), Rgb(0x94CC72), Rgb(0x478F35)},
    {Rgb(0xFFD7A0), Rgb(0xD8B46A), Rgb(0xB89A4E), Rgb(0xC8C26A), Rgb(0x7A8E34)},
};
constexpr float kFarEdge = 45;

void Tree(CCanvas& c, float x, float bottom, float s, const TRgba& leaf, std::uint32_t seed) {
    c.Fill(Rect(x - 1.2f * s, bottom - 8 * s, 2.4f * s, 8 * s), Rgb(0x6D4C41));
    Foliage(c, x, bottom - 11 * s, 7 * s, 6 * s, leaf, Shade(leaf, -0.4f), seed);
}

void YardBackground(CCanvas& c, float w, float h, int yard) {
    const TYardLook& look = kYards[yard];
    c.FillAll(Solid(look.skyBottom));
    if (yard == 3) c.Fill(Rect(0, 0, w, 40), Vertical(0, 40, look.skyBottom, Rgb(0xFFC98A)));
    // Hills along the horizon, then the ground from the far edge down.
    c.Fill(Ridge(HillLine(kFarEdge - 16, 7, w * 0.8f, 11 + yard), -2, w + 2, h),
           Vertical(kFarEdge - 26, kFarEdge, look.hillFar, look.hillNear));
    if (yard == 1) {
        // Orchard rows on the hills.
        for (int i = 0; i < 14; ++i) Tree(c, 10 + i * 25.0f, kFarEdge - 10 + (i % 2) * 2, 0.9f, Rgb(0x6FAE48), 70 + i);
    }
    if (yard == 3) Barn(c, w * 0.82f, kFarEdge - 2, 70, 44);
    c.Fill(Ridge(HillLine(kFarEdge - 4, 2, w * 1.3f, 21 + yard), -2, w + 2, h),
           Vertical(kFarEdge - 6, kFarEdge + 4, look.hillNear, look.grassFar));
    const CShape ground = Rect(0, kFarEdge, w, h - kFarEdge);
    Meadow(c, ground, kFarEdge, h, look.grassFar, look.grassNear, 31 + yard);
    if (yard == 0) Fence(c, 8, w - 8, kFarEdge + 2, 10, 18, Rgb(0xD7B98E));
    if (yard == 2) {
        // A pond on the far left with reeds.
        const CShape pond = Ellipse(48, kFarEdge + 20, 60, 16);
        c.Fill(Grow(pond, 2), Rgb(0x8D6E4A));
        c.Fill(pond, Vertical(kFarEdge + 4, kFarEdge + 36, Rgb(0x8FD3F4), Rgb(0x2A88C8)));
        c.Fill(Shell(Ellipse(40, kFarEdge + 17, 30, 6), 0.8f), WithAlpha(kWhite, 0.45f));
        CRandom rng(5);
        for (int i = 0; i < 26; ++i) {
            const float x = rng.Range(70, 120), y = kFarEdge + rng.Range(10, 34);
            c.Fill(Capsule({x, y}, {x + rng.Range(-2, 2), y - rng.Range(6, 14)}, 1.1f), Rgb(0x4E7D2A));
        }
    }
    Flowers(c, 0, kFarEdge + 10, w, h, 140, 40 + yard);
    // Soft darkening at the very bottom grounds the picture.
    c.Fill(Rect(0, h - 60, w, 60), Vertical(h - 60, h, WithAlpha(kBlack, 0.0f), WithAlpha(kBlack, 0.15f)),
           {EBlend::Atop});
}

void Sun(CCanvas& c, float w, float h, bool sunset) {
    const float cx = w / 2, cy = h / 2;
    const int rays = sunset ? 10 : 12;
    std::vector<CShape> beams;
    for (int i = 0; i < rays; ++i) {
        const float len = sunset ? w * 0.42f : w * 0.48f;
        beams.push_back(Rotate(Polygon({{cx - 4, cy}, {cx, cy - len}, {cx + 4, cy}}), cx, cy, 360.0f * i / rays));
    }
    const TRgba ray = sunset ? Rgb(0xFFB74D) : Rgb(0xFFF59D);
    c.Fill(Union(beams), Radial(cx, cy, w / 2, {{0.3f, WithAlpha(ray, 0.95f)}, {1.0f, WithAlpha(ray, 0.0f)}}),
           {EBlend::Over, 1.0f, 1.5f});
    const float r = sunset ? w * 0.3f : w * 0.24f;
    c.Fill(Circle(cx, cy, r + 3), WithAlpha(sunset ? Rgb(0xFF8A65) : Rgb(0xFFF9C4), 0.6f), {EBlend::Over, 1.0f, 3.0f});
    c.Fill(Circle(cx, cy, r),
           Radial(cx - r * 0.3f, cy - r * 0.3f, r * 1.6f,
                  sunset ? TStops{{0.0f, Rgb(0xFFE0B2)}, {0.5f, Rgb(0xFF9800)}, {1.0f, Rgb(0xE65100)}}
                         : TStops{{0.0f, kWhite}, {0.5f, Rgb(0xFFEB3B)}, {1.0f, Rgb(0xFBC02D)}}));
}

}  // namespace

// yard=1..4: the yard's background (opaque): sky, hills and the ground with its own scenery.
void YardBackground(CCanvas& c, const CRecipeContext& ctx) {
    const int yard = ctx.Int("yard", 1);
    if (yard < 1 || yard > 4) {
        ctx.Fail("yard=" + std::to_string(yard) + ": there are yards 1 to 4");
        return;
    }
    YardBackground(c, ctx.Width(), ctx.Height(), yard - 1);
}

// look=day|sunset: the yard's turning sun.
void YardSun(CCanvas& c, const CRecipeContext& ctx) {
    const std::string look = ctx.Text("look", "day");
    if (look != "day" && look != "sunset") ctx.Fail("look=" + look + " is neither day nor sunset");
    Sun(c, ctx.Width(), ctx.Height(), look == "sunset");
}

// The four corners round a selected object, frame by frame: top-left, top-right, bottom-left,
// bottom-right; each a yellow L with a dark edge meeting at the frame's centre.
void SelectionCorners(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const int frame = ctx.Frame();
    const float sx = frame % 2 == 0 ? 1.0f : -1.0f, sy = frame < 2 ? 1.0f : -1.0f;
    const float cx = w / 2, cy = h / 2, len = w / 2 - 1.5f;
    const CShape corner =
        Union(Capsule({cx, cy}, {cx + sx * len, cy}, 3.0f), Capsule({cx, cy}, {cx, cy + sy * len}, 3.0f));
    c.Fill(Grow(corner, 1.0f), Rgb(0x5D4000));
    c.Fill(corner, Vertical(0, h, Rgb(0xFFF176), Rgb(0xFFC107)));
}

// colour=orange|green|blue|purple: a bar of the yard's four categories; frame 0 the dark trough
// with rounded ends, frame 1 the fill with a light top line. The code draws the fill from x 5 and
// the last 6 pixels (the rounded end) after it, so both ends stay round at any fill.
void FarmBar(CCanvas& c, const CRecipeContext& ctx) {
    struct TBarColour {
        const char* name;
        TRgba light, dark;
    };
    static constexpr TBarColour kColours[] = {
        {"orange", Rgb(0xFFB74D), Rgb(0xEF6C00)},
        {"green", Rgb(0xAED581), Rgb(0x43A047)},
        {"blue", Rgb(0x81D4FA), Rgb(0x1E88E5)},
        {"purple", Rgb(0xCE93D8), Rgb(0x8E24AA)},
    };
    const std::string name = ctx.Text("colour", "orange");
    const TBarColour* colour = nullptr;
    for (const TBarColour& entry : kColours)
        if (name == entry.name) colour = &entry;
    if (colour == nullptr) {
        ctx.Fail("colour=" + name + ": orange, green, blue or purple");
        return;
    }
    const float w = ctx.Width(), h = ctx.Height();
    const CShape bar = RoundRect(0.5f, 0.5f, w - 1, h - 1, (h - 1) / 2);
    if (ctx.Frame() == 0) {
        c.Fill(bar, Vertical(0, h, Rgb(0x3E2A1E, 0.85f), Rgb(0x5D4037, 0.85f)));
        c.Fill(InnerBand(bar, 1.0f), WithAlpha(kBlack, 0.45f));
        return;
    }
    c.Fill(bar, Vertical(0, h, colour->light, colour->dark));
    c.Fill(Intersect(Grow(bar, -1.5f), Rect(0, 0, w, h * 0.42f)), WithAlpha(kWhite, 0.55f), {EBlend::Atop});
    c.Fill(InnerBand(bar, 0.8f), WithAlpha(Shade(colour->dark, -0.35f), 0.9f));
}

// The board under the yard's four bars: a cream plaque with a wooden rim, half see-through, so
// the captions read over any sky.
void YardBoard(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const CShape board = RoundRect(1, 1, w - 2, h - 2, 9);
    c.Fill(Translate(board, 0, 1.5f), WithAlpha(kBlack, 0.25f), {EBlend::Over, 1.0f, 2.0f});
    c.Fill(board, Vertical(0, h, WithAlpha(kCream, 0.82f), WithAlpha(Rgb(0xF1DDB0), 0.82f)));
    c.Fill(InnerBand(board, 2.0f), WithAlpha(kWoodMid, 0.9f));
    c.Fill(Intersect(InnerBand(Grow(board, -2.0f), 1.0f), Rect(0, 0, w, h / 2)), WithAlpha(kWhite, 0.6f));
}

// The ring under a selected bird's feet, seen in perspective: a yellow ellipse with a dark rim
// whose point (w / 2, 0.4 h) goes on the feet.
void SelectionRing(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const float cx = w / 2, cy = h * 0.4f, rx = w / 2 - 3, ry = h * 0.4f - 2;
    const CShape ring = Shell(Ellipse(cx, cy, rx, ry), 3.0f);
    c.Fill(Ellipse(cx, cy, rx, ry), WithAlpha(Rgb(0xFFF59D), 0.25f));
    c.Fill(Translate(ring, 0, 1.5f), WithAlpha(Rgb(0x5D4000), 0.6f), {EBlend::Over, 1.0f, 1.0f});
    c.Fill(ring, Vertical(cy - ry, cy + ry, Rgb(0xFFF176), Rgb(0xFFB300)));
}

// The ring a tap leaves on the ground, drawn added: soft white, brightest on its rim.
void TapRing(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), r = w / 2;
    c.Fill(Circle(r, r, r - 1), Radial(r, r, r - 1,
                                       {{0.0f, WithAlpha(kWhite, 0.0f)},
                                        {0.55f, WithAlpha(kWhite, 0.05f)},
                                        {0.8f, WithAlpha(kWhite, 0.85f)},
                                        {0.9f, WithAlpha(kWhite, 0.6f)},
                                        {1.0f, WithAlpha(kWhite, 0.0f)}}));
}

// The quests badge: a glossy red disc with a white rim.
void RedCircle(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width();
    GlossDisc(c, w / 2, w / 2, w / 2 - 1.5f, Rgb(0xE53935), 1.5f);
}

// The flare that blinks on a photo board: a white star with a soft glow, for additive drawing.
void PhotoFlare(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), cx = w / 2;
    c.Fill(Circle(cx, cx, cx - 2), Radial(cx, cx, cx,
                                          {{0.0f, WithAlpha(kWhite, 0.9f)},
                                           {0.35f, WithAlpha(Rgb(0xFFF3C4), 0.35f)},
                                           {1.0f, WithAlpha(kWhite, 0.0f)}}));
    c.Fill(Sparkle(cx, cx, cx - 3), Radial(cx, cx, cx, {{0.0f, kWhite}, {1.0f, WithAlpha(kWhite, 0.2f)}}));
    c.Fill(Rotate(Sparkle(cx, cx, cx * 0.55f), cx, cx, 45), WithAlpha(kWhite, 0.8f));
}

// variant=1|2 eye=left|right: eyelids over one of the dog's eyes, frames open (nothing) to
// shut. The left eye sits in the frame's left half, the right eye in its right half, both five
// pixels round as the kennel's picture draws them.
void DogEyelid(CCanvas& c, const CRecipeContext& ctx) {
    const int variant = ctx.Int("variant", 1);
    const std::string eye = ctx.Text("eye", "left");
    if (variant != 1 && variant != 2) ctx.Fail("variant must be 1 or 2");
    if (eye != "left" && eye != "right") ctx.Fail("eye must be left or right");
    const float w = ctx.Width(), h = ctx.Height();
    const float x = eye == "left" ? w / 4 : w * 3 / 4, y = h / 2;
    const float closed = ctx.Frame() / static_cast<float>(ctx.Spec().layout.frames - 1);
    if (closed <= 0) return;
    const TRgba fur = variant == 1 ? Rgb(0xD7A86E) : Rgb(0xA1887F);
    const float r = 5.6f;
    const float lidY = y - r + 2 * r * closed;
    const CShape lid = Intersect(Circle(x, y, r), Rect(x - r - 1, y - r - 1, 2 * r + 2, lidY - (y - r - 1)));
    c.Fill(lid, Vertical(y - r, lidY, Shade(fur, 0.2f), Shade(fur, -0.15f)));
    c.Fill(Intersect(Circle(x, y, r + 0.2f), Rect(x - r - 1, lidY - 0.6f, 2 * r + 2, 1.3f)), kFarmInk);
    c.Fill(Intersect(Shell(Circle(x, y, r), 0.7f), Rect(x - r - 1, y - r - 1, 2 * r + 2, lidY - (y - r - 1))),
           WithAlpha(kFarmInk, 0.8f));
}

// icon=eat|drink|heat|smile|music|question: the emotion over a bird that enjoys a spot, one
// frame of its little animation.
void EmotionIcon(CCanvas& c, const CRecipeContext& ctx) {
    const std::string icon = ctx.Text("icon", "smile");
    const float w = ctx.Width(), cx = w / 2;
    const int frame = ctx.Frame(), frames = ctx.Spec().layout.frames;
    const float t = frames > 1 ? static_cast<float>(frame) / frames : 0;
    TLettering ink;
    if (icon == "eat") {
        // A bowl of grain with a curl of steam rising.
        const CShape bowl = Intersect(Ellipse(cx, 18, 11, 9), Rect(0, 18, w, 20));
        c.Fill(Ellipse(cx, 18, 11, 3), Rgb(0xFFD54F));
        Outlined(c, bowl, Vertical(18, 27, Rgb(0xFF8A65), Rgb(0xD84315)));
        for (int i = 0; i < 7; ++i) c.Fill(Circle(cx - 6 + i * 2, 17.5f - (i % 2) * 0.8f, 0.9f), Rgb(0xC49A2C));
        const float rise = t * 6;
        std::vector<TVec> curl;
        for (int i = 0; i <= 10; ++i)
            curl.push_back({cx + std::sin(i * 0.6f + t * 6.28f) * 2.5f, 14 - i * 0.9f - rise * 0.3f});
        c.Fill(Polyline(curl, 1.6f), WithAlpha(kWhite, 0.9f - t * 0.4f));
    } else if (icon == "drink") {
        // A drop falling from a tap into a ripple.
        const float y = 6 + t * 14;
        const CShape drop =
            Union(Circle(cx, y + 4, 4.5f), Polygon({{cx - 3.8f, y + 2.5f}, {cx, y - 4}, {cx + 3.8f, y + 2.5f}}));
        Outlined(c, drop,
                 Radial(cx - 1.5f, y + 2, 7, {{0.0f, Rgb(0xE1F5FE)}, {0.5f, Rgb(0x4FC3F7)}, {1.0f, Rgb(0x0277BD)}}));
        c.Fill(Shell(Ellipse(cx, 27, 6 + t * 6, 2 + t), 0.9f), WithAlpha(Rgb(0x4FC3F7), 0.9f - t * 0.6f));
    } else if (icon == "heat") {
        // A flame flickering: its tips sway with the frame.
        const float sway = std::sin(t * 6.2832f) * 2.5f;
        const CShape outer =
            Union(Circle(cx, 21, 8), Polygon({{cx - 8, 20}, {cx + sway, 2 + std::fabs(sway)}, {cx + 8, 20}}));
        Outlined(c, outer, Vertical(2, 29, Rgb(0xFFD54F), Rgb(0xE64A19)));
        const CShape inner = Union(Circle(cx, 23, 4.2f), Polygon({{cx - 4, 22}, {cx - sway * 0.6f, 11}, {cx + 4, 22}}));
        c.Fill(inner, Vertical(11, 27, Rgb(0xFFFDE7), Rgb(0xFFCA28)));
    } else if (icon == "smile") {
        Outlined(c, Circle(cx, cx, 12),
                 Radial(cx - 4, cx - 4, 18, {{0.0f, Rgb(0xFFF59D)}, {0.6f, Rgb(0xFFEB3B)}, {1.0f, Rgb(0xF9A825)}}));
        for (float s : {-1.0f, 1.0f}) c.Fill(Ellipse(cx + s * 4, cx - 3, 1.6f, 2.4f), kFarmInk);
        c.Fill(Polyline(Arc(cx, cx + 1, 6, 20, 160, 12), 1.6f), kFarmInk);
        for (float s : {-1.0f, 1.0f}) c.Fill(Circle(cx + s * 8, cx + 3, 2), WithAlpha(Rgb(0xFF8A80), 0.7f));
    } else if (icon == "music") {
        for (auto [x, y] : {std::pair{10.0f, 24.0f}, {22.0f, 21.0f}}) {
            Outlined(c, Rotate(Ellipse(x, y, 4, 3), x, y, -20), Solid(Rgb(0x7E57C2)), 0.9f);
            c.Fill(Rect(x + 2.6f, y - 15, 1.8f, 15), Rgb(0x4527A0));
        }
        Outlined(c, Polygon({{12.6f, 8}, {24.6f, 5}, {24.6f, 9}, {12.6f, 12}}), Solid(Rgb(0x4527A0)), 0.6f);
    } else if (icon == "question") {
        ink.fill = Vertical(4, 28, Rgb(0xFFFFFF), Rgb(0xFFE082));
        ink.border = kFarmInk;
        ink.borderWidth = 1.6f;
        const CShape mark = Letters(c, "?", 26, cx + std::sin(t * 6.2832f) * 2.0f, 27, EAlign::Centre, ink);
        (void)mark;
    } else {
        ctx.Fail("icon=" + icon + " is no emotion");
    }
}

}  // namespace imagegen::recipes
