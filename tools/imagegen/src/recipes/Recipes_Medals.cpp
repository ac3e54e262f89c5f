// Achievement icons: medals in four metals with an arena emblem and ribbon, and round plaques
// with the pictures of the other achievements.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Pictograms.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;

namespace {

struct TMetal {
    TRgba base, light, dark;
};

bool MetalByName(const std::string& name, TMetal& out) {
    struct TNamed {
        const char* name;
        TMetal value;
    };
    static const TNamed kMetals[] = {
        {"bronze", {Rgb(0xCD7F32), Rgb(0xF6C28B), Rgb(0x6E3F14)}},
        {"silver", {Rgb(0xC4CCD2), Rgb(0xFFFFFF), Rgb(0x69737A)}},
        {"gold", {kGold, kGoldShine, kGoldDark}},
        {"platinum", {Rgb(0xDDE8EE), Rgb(0xFFFFFF), Rgb(0x6F8A99)}},
        {"locked", {Rgb(0x8C8C8C), Rgb(0xB5B5B5), Rgb(0x4A4A4A)}},
    };
    return FindNamed(kMetals, name, out);
}

// A four-leaf clover centred on (cx, cy).
void Clover(CCanvas& c, float cx, float cy, float s, const TRgba& colour) {
    std::vector<CShape> leaves;
    for (int i = 0; i < 4; ++i)
        leaves.push_back(Rotate(Heart(cx, cy - s * 0.27f, s * 0.5f), cx, cy, 45.0f + 90.0f * i));
    const CShape stem = Polyline(
        QuadraticCurve({cx, cy}, {cx + s * 0.1f, cy + s * 0.3f}, {cx + s * 0.3f, cy + s * 0.45f}, 8), s * 0.08f);
    const CShape clover = Union(Union(leaves), stem);
    c.Fill(Grow(clover, 0.8f), Shade(colour, -0.5f));
    c.Fill(clover, Radial(cx - s * 0.15f, cy - s * 0.15f, s * 0.6f, {{0.0f, Shade(colour, 0.35f)}, {1.0f, colour}}));
    for (int i = 0; i < 4; ++i) {
        const float a = (45.0f + 90.0f * i) * 3.14159265f / 180.0f;
        c.Fill(Capsule({cx, cy}, {cx + std::sin(a) * s * 0.3f, cy - std::cos(a) * s * 0.3f}, s * 0.035f),
               WithAlpha(Shade(colour, -0.4f), 0.7f));
    }
}

// The medal's ribbon: two bands from the top edge down behind the medal.
void Ribbon(CCanvas& c, float w, float cx, float cy, const TRgba& colour) {
    const CShape left = Polygon({{cx - 17, 0}, {cx - 5, 0}, {cx + 4, cy}, {cx - 8, cy}});
    const CShape right = Polygon({{cx + 5, 0}, {cx + 17, 0}, {cx + 8, cy}, {cx - 4, cy}});
    c.Fill(Translate(Union(left, right), 1, 1), kShadow, {EBlend::Over, 1.0f, 0.8f});
    c.Fill(left, Shade(colour, -0.25f));
    c.Fill(right, colour);
    for (const CShape& band : {left, right}) {
        c.Fill(Intersect(band, Rect(cx - 2.5f - 20, 0, 200, cy)), WithAlpha(kWhite, 0.0f));
        c.Fill(InnerBand(band, 0.9f), Shade(colour, -0.55f));
    }
    (void)w;
    // A white stripe down the middle of each band.
    c.Fill(Polyline({{cx - 11, 0}, {cx - 2, cy - 2}}, 2.2f), WithAlpha(kWhite, 0.75f), {EBlend::Atop});
    c.Fill(Polyline({{cx + 11, 0}, {cx + 2, cy - 2}}, 2.2f), WithAlpha(kWhite, 0.75f), {EBlend::Atop});
}

// A metal disc with a raised rim and a face for the emblem.
void MedalDisc(CCanvas& c, float cx, float cy, float r, const TMetal& m) {
    c.Fill(Circle(cx + 1.2f, cy + 1.8f, r), kShadow, {EBlend::Over, 1.0f, 1.0f});
    TSphere s = MakeSphere(cx, cy, r, m.base, m.light, m.dark);
    s.specular = 0.7f;
    c.Fill(Circle(cx, cy, r), SpherePaint(s));
    const float fr = r * 0.74f;
    c.Fill(Circle(cx, cy, fr),
           Linear(cx - fr, cy - fr, cx + fr, cy + fr, {{0.0f, m.light}, {0.5f, m.base}, {1.0f, m.dark}}));
    c.Fill(Shell(Circle(cx, cy, fr), 1.0f), WithAlpha(m.dark, 0.8f));
    // Notches around the rim.
    for (int i = 0; i < 24; ++i) {
        const float a = i * 15.0f * 3.14159265f / 180.0f;
        c.Fill(Circle(cx + std::cos(a) * r * 0.87f, cy + std::sin(a) * r * 0.87f, 0.8f), WithAlpha(m.dark, 0.45f));
    }
    c.Fill(InnerBand(Circle(cx, cy, r), 1.0f), Shade(m.dark, -0.2f));
}

// The round plaque behind the non-medal achievements.
void Plaque(CCanvas& c, float cx, float cy, float r) {
    c.Fill(Circle(cx + 1.2f, cy + 1.8f, r), kShadow, {EBlend::Over, 1.0f, 1.0f});
    c.Fill(Circle(cx, cy, r),
           Linear(cx - r, cy - r, cx + r, cy + r, {{0.0f, kGoldShine}, {0.5f, kGold}, {1.0f, kGoldDark}}));
    c.Fill(Circle(cx, cy, r - 3), Radial(cx - 6, cy - 8, r * 1.2f, {{0.0f, Rgb(0x7FD3F7)}, {1.0f, Rgb(0x1F6FB8)}}));
    c.Fill(Shell(Circle(cx, cy, r - 3), 0.8f), WithAlpha(kGoldDark, 0.9f));
    c.Fill(InnerBand(Circle(cx, cy, r), 0.9f), kGoldDark);
}

// Fills a shape in gold with a light edge at the top.
void GoldShape(CCanvas& c, const CShape& shape) {
    const TBox b = shape.Bounds();
    c.Fill(Grow(shape, 1.0f), kGoldDark);
    c.Fill(shape, Linear(b.x0, b.y0, b.x1, b.y1, {{0.0f, kGoldShine}, {0.45f, kGold}, {1.0f, kGoldRim}}));
}

// A wooden carving: fills the shape in carved wood.
void WoodShape(CCanvas& c, const CShape& shape) {
    const TBox b = shape.Bounds();
    c.Fill(Grow(shape, 1.0f), kWoodDark);
    c.Fill(shape, Linear(b.x0, b.y0, b.x1, b.y1, {{0.0f, Rgb(0xD7A86E)}, {1.0f, Rgb(0x8D5A2B)}}));
}

void Plinth(CCanvas& c, float cx, float y, float w) {
    const CShape top = RoundRect(cx - w / 2, y, w, 5, 1.5f);
    const CShape base = RoundRect(cx - w / 2 + 3, y + 4, w - 6, 6, 1.5f);
    for (const CShape& s : {base, top}) {
        c.Fill(Grow(s, 0.8f), Rgb(0x3E3E3E));
        c.Fill(s, Vertical(y, y + 10, Rgb(0xE0E0E0), Rgb(0x9E9E9E)));
    }
}

// A sitting animal silhouette (frog, cat or dog) centred at cx with its base at y.
CShape Critter(const std::string& kind, float cx, float y, float s) {
    if (kind == "frog") {
        const CShape body = Ellipse(cx, y - s * 0.35f, s * 0.5f, s * 0.35f);
        const CShape eyes =
            Union(Circle(cx - s * 0.25f, y - s * 0.68f, s * 0.15f), Circle(cx + s * 0.25f, y - s * 0.68f, s * 0.15f));
        const CShape legs = Union(Ellipse(cx - s * 0.45f, y - s * 0.1f, s * 0.2f, s * 0.1f),
                                  Ellipse(cx + s * 0.45f, y - s * 0.1f, s * 0.2f, s * 0.1f));
        return Union({body, eyes, legs});
    }
    const bool cat = kind == "cat";
    const CShape body = Ellipse(cx, y - s * 0.33f, s * 0.32f, s * 0.34f);
    const CShape head = Circle(cx, y - s * 0.78f, s * 0.25f);
    CShape ears;
    if (cat) {
        ears = Union(
            Polygon({{cx - s * 0.24f, y - s * 0.86f}, {cx - s * 0.2f, y - s * 1.12f}, {cx - s * 0.04f, y - s * 0.98f}}),
            Polygon(
                {{cx + s * 0.24f, y - s * 0.86f}, {cx + s * 0.2f, y - s * 1.12f}, {cx + s * 0.04f, y - s * 0.98f}}));
    } else {
        ears = Union(Ellipse(cx - s * 0.27f, y - s * 0.76f, s * 0.09f, s * 0.2f),
                     Ellipse(cx + s * 0.27f, y - s * 0.76f, s * 0.09f, s * 0.2f));
    }
    const CShape tail = cat ? Polyline(QuadraticCurve({cx + s * 0.25f, y - s * 0.1f}, {cx + s * 0.6f, y - s * 0.1f},
                                                      {cx + s * 0.5f, y - s * 0.5f}, 8),
                                       s * 0.1f)
                            : Polyline({{cx + s * 0.28f, y - s * 0.25f}, {cx + s * 0.48f, y - s * 0.45f}}, s * 0.12f);
    return Union({body, head, ears, tail});
}

void CritterFace(CCanvas& c, const std::string& kind, float cx, float y, float s) {
    const float eyeY = kind == "frog" ? y - s * 0.68f : y - s * 0.8f;
    const float dx = kind == "frog" ? s * 0.25f : s * 0.1f;
    for (float sx : {-1.0f, 1.0f}) c.Fill(Circle(cx + sx * dx, eyeY, s * 0.055f), kWoodDark);
    if (kind == "frog") {
        c.Fill(Polyline(Arc(cx, y - s * 0.5f, s * 0.2f, 30, 150, 8), s * 0.04f), kWoodDark);
    } else {
        c.Fill(Circle(cx, y - s * 0.72f, s * 0.045f), kWoodDark);
    }
}

void AchPicture(CCanvas& c, const std::string& kind, float w, float h, const CRecipeContext& ctx) {
    const float cx = w / 2 - 0.5f, cy = h / 2 - 0.5f;
    if (kind == "hat") {
        GoldShape(c, Union(Ellipse(cx, cy + 9, 19, 5.5f), RoundRect(cx - 10, cy - 13, 20, 22, 3)));
        c.Fill(Rect(cx - 10, cy + 1, 20, 4.5f), Rgb(0xB3261E));
        c.Fill(Ellipse(cx - 5, cy - 6, 2.5f, 6), WithAlpha(kWhite, 0.5f));
    } else if (kind == "helm") {
        const CShape dome =
            Union(Intersect(Circle(cx, cy + 2, 15), Rect(cx - 16, cy - 14, 32, 26)), Rect(cx - 15, cy + 1, 30, 11));
        const CShape visor = Union(Rect(cx - 11, cy, 22, 2.6f), Rect(cx - 1.3f, cy, 2.6f, 10));
        GoldShape(c, Subtract(dome, visor));
        c.Fill(visor, Rgb(0x3E2A1E));
        GoldShape(c, Polygon({{cx - 2.5f, cy - 13}, {cx + 2.5f, cy - 13}, {cx + 1.5f, cy - 21}, {cx - 1.5f, cy - 21}}));
        c.Fill(Ellipse(cx - 6, cy - 6, 3, 5), WithAlpha(kWhite, 0.5f));
    } else if (kind == "crown") {
        const CShape crown = Polygon({{cx - 17, cy + 10},
                                      {cx - 19, cy - 10},
                                      {cx - 9, cy - 1},
                                      {cx, cy - 16},
                                      {cx + 9, cy - 1},
                                      {cx + 19, cy - 10},
                                      {cx + 17, cy + 10}});
        GoldShape(c, crown);
        for (float px : {-19.0f, 0.0f, 19.0f}) GoldShape(c, Circle(cx + px, cy + (px == 0 ? -17.0f : -11.0f), 2.6f));
        c.Fill(Circle(cx, cy + 3, 3.5f), Rgb(0xD81B60));
        c.Fill(Circle(cx - 10, cy + 5, 2.5f), Rgb(0x1E88E5));
        c.Fill(Circle(cx + 10, cy + 5, 2.5f), Rgb(0x43A047));
        c.Fill(Rect(cx - 17, cy + 6, 34, 1.2f), WithAlpha(kGoldDark, 0.8f));
    } else if (kind == "clean") {
        for (auto [x, y, r] : {std::tuple{cx - 12, cy - 9, 4.0f},
                               {cx + 13, cy - 3, 3.0f},
                               {cx - 4, cy + 12, 3.5f},
                               {cx + 8, cy - 14, 2.5f}})
            c.Fill(Sparkle(x, y, r), kWhite);
        const CShape handle = Capsule({cx + 12, cy - 16}, {cx - 2, cy + 4}, 3.2f);
        const CShape brush = Polygon({{cx - 4, cy + 1}, {cx + 2, cy + 6}, {cx - 6, cy + 18}, {cx - 16, cy + 10}});
        c.Fill(Translate(Union(handle, brush), 1, 1.5f), kShadow, {EBlend::Over, 1.0f, 0.8f});
        WoodShape(c, handle);
        c.Fill(Grow(brush, 0.8f), Rgb(0x8A6A20));
        c.Fill(brush, Vertical(cy, cy + 18, Rgb(0xFFE082), Rgb(0xC9A227)));
        for (int i = 0; i < 4; ++i)
            c.Fill(Capsule({cx - 3.0f - i * 2.5f, cy + 3.0f + i * 0.5f}, {cx - 7.0f - i * 2.5f, cy + 13.0f + i * 0.6f},
                           0.7f),
                   WithAlpha(Rgb(0x8A6A20), 0.8f), {EBlend::Atop});
    } else if (kind == "lucky") {
        Marble(c, cx - 13, cy + 8, 7, MarbleColours(0));
        Marble(c, cx + 13, cy + 8, 7, MarbleColours(1));
        Clover(c, cx, cy - 3, 24, Rgb(0x43A047));
    } else if (kind == "boost") {
        Gem(c, cx, cy + 4, 13, Rgb(0x1E88E5), Rgb(0x9BE7FF), Rgb(0x0D3C78));
        for (float px : {-14.0f, 14.0f}) {
            const CShape up = picto::ArrowUp(cx + px, cy - 6, 9, 14);
            c.Fill(Grow(up, 1.2f), Rgb(0x1B5E20));
            c.Fill(up, Vertical(cy - 13, cy + 1, Rgb(0xB9F6CA), Rgb(0x43A047)));
        }
    } else if (kind == "frog" || kind == "cats" || kind == "dogs") {
        Plinth(c, cx, cy + 10, 36);
        if (kind == "frog") {
            const CShape frog = Critter("frog", cx, cy + 10, 26);
            WoodShape(c, frog);
            CritterFace(c, "frog", cx, cy + 10, 26);
        } else {
            const std::string one = kind == "cats" ? "cat" : "dog";
            for (float px : {-8.0f, 8.0f}) {
                const float s = px < 0 ? 22.0f : 19.0f;
                WoodShape(c, Critter(one, cx + px, cy + 10, s));
                CritterFace(c, one, cx + px, cy + 10, s);
            }
        }
    } else if (kind == "eggs") {
        const CShape basket =
            Union(Intersect(Ellipse(cx, cy + 2, 19, 16), Rect(cx - 20, cy + 2, 40, 20)), Rect(cx - 19, cy, 38, 4));
        const CShape handle = Shell(Intersect(Ellipse(cx, cy + 2, 15, 19), Rect(cx - 20, cy - 20, 40, 22)), 2.5f);
        WoodShape(c, handle);
        static const TRgba kEggs[] = {Rgb(0xFFF8E7), Rgb(0xF6D7B0), Rgb(0xB9E4F5), Rgb(0xFFE0EC)};
        const float ex[] = {-11, -3.5f, 4, 11}, ey[] = {-1, -4, -3, 0};
        for (int i = 0; i < 4; ++i) {
            const CShape egg = Ellipse(cx + ex[i], cy + ey[i], 4.6f, 6.2f);
            c.Fill(Grow(egg, 0.8f), Rgb(0x8D6E63));
            c.Fill(egg, Radial(cx + ex[i] - 1.5f, cy + ey[i] - 2.5f, 7, {{0.0f, kWhite}, {1.0f, kEggs[i]}}));
        }
        WoodShape(c, basket);
        for (int i = 0; i < 3; ++i)
            c.Fill(Rect(cx - 19, cy + 4.5f + i * 4.5f, 38, 1), WithAlpha(kWoodDark, 0.6f), {EBlend::Atop});
        for (int i = -3; i <= 3; ++i)
            c.Fill(Rect(cx + i * 5.5f, cy + 2, 1, 18), WithAlpha(kWoodDark, 0.35f), {EBlend::Atop});
    } else if (kind == "shiva") {
        for (int i = 0; i < 3; ++i) {
            const float yy = cy - 11 + i * 11;
            const float bend = i == 1 ? 8.0f : -8.0f;
            const std::vector<TVec> path =
                QuadraticCurve({cx - 20, yy + bend * 0.4f}, {cx, yy - bend}, {cx + 20, yy + bend * 0.4f}, 20);
            for (std::size_t k = 0; k < path.size(); k += 2)
                c.Fill(Circle(path[k].x, path[k].y, 1.0f), WithAlpha(kWhite, 0.9f));
            const TVec at = path[static_cast<std::size_t>(4 + 6 * i)];
            Marble(c, at.x, at.y, 5.5f, MarbleColours(i == 0 ? 0 : i == 1 ? 2 : 3), false);
        }
    } else {
        ctx.Fail("unknown achievement picture '" + kind + "'");
    }
}

}  // namespace

// metal=bronze|silver|gold|platinum|locked emblem=clover|ruby|diamond|lock ribbon=#RRGGBB
void Medal(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    TMetal metal;
    const std::string metalName = ctx.Text("metal", "gold");
    if (!MetalByName(metalName, metal)) ctx.Fail("unknown metal '" + metalName + "'");
    const float cx = w / 2 - 0.5f, cy = h * 0.6f, r = h * 0.36f;
    Ribbon(c, w, cx, cy - r * 0.5f, ctx.Colour("ribbon", Rgb(0x43A047)));
    MedalDisc(c, cx, cy, r, metal);
    const std::string emblem = ctx.Text("emblem", "clover");
    if (emblem == "clover") {
        Clover(c, cx, cy - 1, r * 1.05f, Rgb(0x43A047));
    } else if (emblem == "ruby") {
        Gem(c, cx, cy, r * 0.55f, kRuby, kRubyLight, Rgb(0x7A0E35));
    } else if (emblem == "diamond") {
        Gem(c, cx, cy, r * 0.55f, kDiamond, kWhite, Rgb(0x4F8FB0));
    } else if (emblem == "lock") {
        const CShape lock = Union(picto::LockBody(cx, cy + 2, r * 0.9f), picto::LockShackle(cx, cy + 2, r * 0.9f, 0));
        c.Fill(Translate(lock, 0, 1), WithAlpha(Rgb(0x2E2E2E), 0.8f));
        c.Fill(lock, Vertical(cy - r, cy + r, Rgb(0xE0E0E0), Rgb(0x757575)));
    } else {
        ctx.Fail("unknown emblem '" + emblem + "'");
    }
}

// picture=hat|helm|crown|clean|lucky|boost|frog|cats|dogs|eggs|shiva on a round gold plaque.
void AchievementPlaque(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    Plaque(c, w / 2 - 0.8f, h / 2 - 0.8f, std::min(w, h) / 2 - 2.5f);
    AchPicture(c, ctx.Text("picture"), w, h, ctx);
}

}  // namespace imagegen::recipes
