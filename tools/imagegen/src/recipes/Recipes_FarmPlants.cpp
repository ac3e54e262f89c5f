// The yard's plants: flower patches, bushes, hedges, reeds, lilies, vegetables and four fruit and
// blossom trees. Each stands on its picture's bottom edge (two pixels of room), where the game
// puts the object's position.
#include <cmath>
#include <string>

#include "Draw.h"
#include "FarmArt.h"
#include "Figure.h"
#include "Recipes.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

using namespace draw;
using namespace farmart;
using figure::Taper;

namespace {

const TRgba kLeaf = Rgb(0x6DBE45), kLeafDark = Rgb(0x2E6B1F), kSoil = Rgb(0x7B5035);

void Daisy(CCanvas& c, float x, float y, float r, const TRgba& petal, const TRgba& centre) {
    for (int k = 0; k < 7; ++k) {
        const float a = k * 0.8976f;
        c.Fill(Rotate(Ellipse(x + std::cos(a) * r * 0.75f, y + std::sin(a) * r * 0.75f, r * 0.55f, r * 0.3f),
                      x + std::cos(a) * r * 0.75f, y + std::sin(a) * r * 0.75f, a * 57.2958f),
               petal);
    }
    c.Fill(Circle(x, y, r * 0.45f), centre);
    c.Fill(Circle(x - r * 0.12f, y - r * 0.12f, r * 0.18f), WithAlpha(kWhite, 0.5f));
}

// A clump of grass blades rising from a line.
void Tuft(CCanvas& c, float cx, float bottom, float w, float h, std::uint32_t seed) {
    CRandom rng(seed);
    for (int i = 0; i < static_cast<int>(w * 0.9f); ++i) {
        const float x = cx + rng.Range(-w / 2, w / 2), len = h * rng.Range(0.5f, 1.0f), lean = rng.Range(-3, 3);
        const TRgba colour = Mix(kLeafDark, kLeaf, rng.Range(0, 1));
        c.Fill(Capsule({x, bottom}, {x + lean, bottom - len}, 1.3f), colour);
    }
}

// A fruit tree: trunk, canopy, and round fruit dotted over the front of the canopy.
void FruitTree(CCanvas& c, float w, float h, const TRgba& leaf, const TRgba& leafDark, const TRgba& fruit, bool pears,
               std::uint32_t seed) {
    const float cx = w / 2, bottom = h - 2;
    ContactShadow(c, cx, bottom, w * 0.22f, 3.5f);
    Trunk(c, cx, bottom, h * 0.5f, w * 0.13f);
    const CShape canopy = Foliage(c, cx, h * 0.38f, w * 0.46f, h * 0.33f, leaf, leafDark, seed);
    CRandom rng(seed + 1);
    for (int i = 0; i < 11; ++i) {
        const float x = cx + rng.Range(-w * 0.36f, w * 0.36f), y = h * 0.38f + rng.Range(-h * 0.22f, h * 0.26f);
        if (canopy.Distance(x, y) > -3) continue;
        const CShape f = pears ? Union(Circle(x, y + 1.5f, 3.6f), Circle(x, y - 1.5f, 2.4f)) : Circle(x, y, 3.6f);
        Outlined(
            c, f,
            Radial(x - 1.2f, y - 1.2f, 5, {{0.0f, Shade(fruit, 0.45f)}, {0.5f, fruit}, {1.0f, Shade(fruit, -0.35f)}}),
            0.8f);
        c.Fill(Capsule({x, y - (pears ? 4.0f : 3.0f)}, {x + 1, y - (pears ? 6.0f : 5.0f)}, 0.8f), Rgb(0x5D4037));
    }
}

void DaisyPatch(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.42f, 3);
    Tuft(c, w / 2, h - 2, w * 0.85f, h * 0.45f, 3);
    const float xs[] = {8, 16, 24, 33, 40, 13, 28, 20, 36};
    const float ys[] = {18, 12, 17, 13, 19, 23, 22, 8, 25};
    for (int i = 0; i < 9; ++i) {
        c.Fill(Capsule({xs[i], ys[i]}, {xs[i] + 0.5f, h - 3}, 1.0f), kLeafDark);
        Daisy(c, xs[i], ys[i], 4.2f, kWhite, Rgb(0xFFC107));
    }
}

void RoundBush(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.4f, 3.5f);
    const CShape bush = Foliage(c, w / 2, h * 0.55f, w * 0.45f, h * 0.42f, Rgb(0x5FB042), Rgb(0x2F6E22), 12);
    CRandom rng(9);
    for (int i = 0; i < 7; ++i) {
        const float x = rng.Range(8, w - 8), y = rng.Range(h * 0.25f, h * 0.8f);
        if (bush.Distance(x, y) < -2) Daisy(c, x, y, 2.4f, Rgb(0xF8BBD0), Rgb(0xFFEB3B));
    }
}

void Sunflower(CCanvas& c, float w, float h) {
    const float cx = w / 2;
    ContactShadow(c, cx, h - 2, 9, 2.5f);
    Outlined(c, Polyline(QuadraticCurve({cx, h - 2}, {cx - 3, h * 0.55f}, {cx, h * 0.28f}, 10), 3.0f),
             Solid(Rgb(0x4C9A2A)), 0.8f);
    for (float side : {-1.0f, 1.0f}) {
        const float y = side < 0 ? h * 0.62f : h * 0.48f;
        const CShape leaf = Rotate(Ellipse(cx + side * 8, y, 8, 3.5f), cx + side * 8, y, side * -25);
        Outlined(c, leaf, Vertical(y - 4, y + 4, kLeaf, kLeafDark), 0.8f);
    }
    const float fy = h * 0.25f;
    std::vector<CShape> petals;
    for (int k = 0; k < 14; ++k) {
        const float a = k * 0.4488f;
        petals.push_back(Rotate(Ellipse(cx + std::cos(a) * 10, fy + std::sin(a) * 10, 5.5f, 2.3f),
                                cx + std::cos(a) * 10, fy + std::sin(a) * 10, a * 57.2958f));
    }
    Outlined(c, Union(petals), Radial(cx, fy, 16, {{0.3f, Rgb(0xFFEB3B)}, {1.0f, Rgb(0xF9A825)}}), 0.8f);
    Outlined(c, Circle(cx, fy, 6.5f), Radial(cx - 2, fy - 2, 8, {{0.0f, Rgb(0x8D6E63)}, {1.0f, Rgb(0x4E342E)}}), 0.8f);
    for (int i = 0; i < 10; ++i)
        c.Fill(Circle(cx + std::cos(i * 2.4f) * (i % 3 + 1.5f), fy + std::sin(i * 2.4f) * (i % 3 + 1.5f), 0.7f),
               WithAlpha(Rgb(0x3E2723), 0.7f));
}

void TulipBed(CCanvas& c, float w, float h) {
    const CShape bed = Ellipse(w / 2, h - 8, w / 2 - 2, 6);
    Outlined(c, bed, Stone(kSoil, 5));
    const TRgba colours[] = {Rgb(0xE53935), Rgb(0xFFEB3B), Rgb(0xF06292), Rgb(0xFF7043)};
    for (int i = 0; i < 8; ++i) {
        const float x = 8 + i * (w - 16) / 7.0f, top = (i % 2 ? 9.0f : 5.0f);
        c.Fill(Capsule({x, h - 9}, {x, top + 5}, 1.4f), Rgb(0x388E3C));
        c.Fill(Rotate(Ellipse(x + 2.5f, h - 13, 1.6f, 4.5f), x + 2.5f, h - 13, 25), kLeaf);
        const CShape cup = Union(
            Ellipse(x, top + 3, 3.4f, 3.6f),
            Polygon(
                {{x - 3.4f, top + 2}, {x - 2, top - 1.5f}, {x, top + 1}, {x + 2, top - 1.5f}, {x + 3.4f, top + 2}}));
        Outlined(c, cup, Vertical(top - 2, top + 7, Shade(colours[i % 4], 0.25f), Shade(colours[i % 4], -0.2f)), 0.7f);
    }
}

void Hedge(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.48f, 3);
    const CShape hedge = RoundRect(3, 6, w - 6, h - 9, 10);
    Outlined(c, hedge, Vertical(6, h - 3, Rgb(0x5AA63A), Rgb(0x2D6A1F)));
    CRandom rng(17);
    for (int i = 0; i < 110; ++i) {
        const float x = rng.Range(4, w - 4), y = rng.Range(7, h - 4);
        c.Fill(Intersect(hedge, Ellipse(x, y, 2.2f, 1.6f)), WithAlpha(y < h / 2 ? Rgb(0x8BD46A) : Rgb(0x1F4F15), 0.5f));
    }
    c.Fill(Intersect(hedge, Rect(0, 6, w, 3)), WithAlpha(Rgb(0xB5E58F), 0.6f));
}

void PumpkinPatch(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.45f, 3);
    c.Fill(Polyline(QuadraticCurve({4, h - 6}, {w / 2, h - 16}, {w - 4, h - 7}, 12), 1.3f), Rgb(0x4C8A2A));
    for (auto [x, y, r] : {std::tuple{18.0f, h - 12.0f, 10.0f}, {50.0f, h - 11.0f, 11.0f}, {34.0f, h - 9.0f, 8.0f}}) {
        std::vector<CShape> ribs;
        for (int k = -2; k <= 2; ++k) ribs.push_back(Ellipse(x + k * r * 0.36f, y, r * 0.42f, r * 0.8f));
        const CShape pumpkin = Union(ribs);
        Outlined(c, pumpkin,
                 Radial(x - r * 0.35f, y - r * 0.4f, r * 1.8f,
                        {{0.0f, Rgb(0xFFB74D)}, {0.5f, Rgb(0xF57C00)}, {1.0f, Rgb(0xB34700)}}));
        for (int k = -1; k <= 1; k += 2)
            c.Fill(
                Intersect(pumpkin, Capsule({x + k * r * 0.36f, y - r * 0.7f}, {x + k * r * 0.36f, y + r * 0.7f}, 0.8f)),
                WithAlpha(Rgb(0x8A3A00), 0.6f));
        Outlined(c, Capsule({x, y - r * 0.75f}, {x + 1.5f, y - r - 2}, 2.2f), Solid(Rgb(0x6D4C2B)), 0.6f);
    }
    for (auto [x, y] : {std::pair{30.0f, h - 22.0f}, {62.0f, h - 20.0f}, {8.0f, h - 21.0f}})
        Outlined(c, Rotate(Ellipse(x, y, 6, 4), x, y, 20), Vertical(y - 4, y + 4, kLeaf, kLeafDark), 0.7f);
}

void Reeds(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.4f, 2.5f);
    CRandom rng(23);
    for (int i = 0; i < 13; ++i) {
        const float x = 6 + rng.Range(0, w - 12), top = rng.Range(6, h * 0.45f), lean = rng.Range(-6, 6);
        const CShape blade = Taper({x, h - 2}, {x + lean, top}, 3.0f, 0.6f);
        Outlined(c, blade, Vertical(top, h, Rgb(0x9CCC65), Rgb(0x33691E)), 0.6f);
    }
    for (auto [x, top] : {std::pair{16.0f, 10.0f}, {28.0f, 4.0f}, {36.0f, 14.0f}}) {
        c.Fill(Capsule({x, h - 2}, {x, top + 10}, 1.4f), Rgb(0x558B2F));
        Outlined(c, Capsule({x, top + 2}, {x, top + 10}, 4.2f), Vertical(top, top + 12, Rgb(0x8D6E63), Rgb(0x4E342E)),
                 0.7f);
        c.Fill(Capsule({x, top - 2}, {x, top + 2}, 0.8f), Rgb(0x6D4C41));
    }
}

void WaterLilies(CCanvas& c, float w, float h) {
    const CShape water = Ellipse(w / 2, h / 2, w / 2 - 2, h / 2 - 2);
    c.Fill(water,
           Radial(w / 2, h / 2, w / 2,
                  {{0.0f, Rgb(0x4FC3F7)}, {0.8f, Rgb(0x0288D1)}, {1.0f, WithAlpha(Rgb(0x01579B), 0.6f)}}),
           {EBlend::Over, 1.0f, 1.5f});
    c.Fill(Shell(Ellipse(w / 2, h / 2, w / 2 - 6, h / 2 - 5), 0.8f), WithAlpha(kWhite, 0.35f));
    for (auto [x, y, r] :
         {std::tuple{20.0f, 11.0f, 7.0f}, {46.0f, 9.0f, 6.0f}, {52.0f, 18.0f, 7.5f}, {30.0f, 19.0f, 5.5f}}) {
        const CShape pad =
            Subtract(Ellipse(x, y, r, r * 0.55f), Polygon({{x, y}, {x + r, y - r * 0.25f}, {x + r, y + r * 0.1f}}));
        Outlined(c, pad, Vertical(y - r, y + r, Rgb(0x8BC34A), Rgb(0x33691E)), 0.7f);
    }
    for (int k = 0; k < 6; ++k) {
        const float a = k * 1.047f;
        c.Fill(Rotate(Ellipse(47 + std::cos(a) * 2.2f, 8 + std::sin(a) * 1.2f, 2.4f, 1.2f), 47, 8, a * 57.3f),
               Rgb(0xF8BBD0));
    }
    c.Fill(Circle(47, 8, 1.2f), Rgb(0xFFEB3B));
}

void RoseBush(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.4f, 3);
    const CShape bush = Foliage(c, w / 2, h * 0.55f, w * 0.44f, h * 0.42f, Rgb(0x4E9A34), Rgb(0x1F5A16), 31);
    CRandom rng(5);
    for (int i = 0; i < 9; ++i) {
        const float x = rng.Range(10, w - 10), y = rng.Range(h * 0.25f, h * 0.8f);
        if (bush.Distance(x, y) > -3) continue;
        Outlined(c, Circle(x, y, 3.2f), Radial(x - 1, y - 1, 4, {{0.0f, Rgb(0xFF8A80)}, {1.0f, Rgb(0xC62828)}}), 0.7f);
        c.Fill(Shell(Circle(x, y, 1.5f), 0.6f), WithAlpha(Rgb(0x7F0000), 0.7f));
    }
}

void WillowTree(CCanvas& c, float w, float h) {
    const float cx = w / 2, bottom = h - 2;
    ContactShadow(c, cx, bottom, w * 0.25f, 3.5f);
    Trunk(c, cx, bottom, h * 0.4f, w * 0.12f);
    Foliage(c, cx, h * 0.3f, w * 0.4f, h * 0.22f, Rgb(0x9CCC65), Rgb(0x558B2F), 44);
    // Hanging strands.
    CRandom rng(45);
    for (int i = 0; i < 34; ++i) {
        const float x = cx + rng.Range(-w * 0.46f, w * 0.46f), top = h * 0.2f + rng.Range(0, h * 0.15f);
        const float len = h * rng.Range(0.35f, 0.55f) * (1 - std::fabs(x - cx) / w);
        const CShape strand = Polyline(
            QuadraticCurve({x, top}, {x + (x - cx) * 0.08f, top + len * 0.5f}, {x + (x - cx) * 0.05f, top + len}, 6),
            2.2f);
        c.Fill(Grow(strand, 0.5f), WithAlpha(kFarmInk, 0.25f));
        c.Fill(strand, Vertical(top, top + len, Rgb(0xAED581), Rgb(0x558B2F)));
    }
}

void MushroomRing(CCanvas& c, float w, float h) {
    c.Fill(Shell(Ellipse(w / 2, h / 2, w / 2 - 6, h / 2 - 5), 5.0f), WithAlpha(Rgb(0x2E7D32), 0.45f),
           {EBlend::Over, 1.0f, 1.5f});
    for (int i = 0; i < 9; ++i) {
        const float a = i * 0.698f + 0.3f;
        const float x = w / 2 + std::cos(a) * (w / 2 - 7), y = h / 2 + std::sin(a) * (h / 2 - 6) + 1;
        const float r = 3.2f + (i % 3) * 0.6f;
        Outlined(c, Capsule({x, y}, {x, y - r * 0.6f}, r * 0.8f), Solid(Rgb(0xFFF8E1)), 0.6f);
        const CShape cap =
            Intersect(Ellipse(x, y - r * 0.6f, r * 1.2f, r * 0.9f), Rect(x - r * 2, y - r * 2.5f, r * 4, r * 1.9f));
        Outlined(c, cap, Radial(x - 1, y - r, r * 1.6f, {{0.0f, Rgb(0xFF7961)}, {1.0f, Rgb(0xC62828)}}), 0.6f);
        c.Fill(Circle(x - r * 0.4f, y - r * 1.0f, 0.7f), kWhite);
        c.Fill(Circle(x + r * 0.4f, y - r * 0.8f, 0.6f), kWhite);
    }
}

void Lavender(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.38f, 3);
    Tuft(c, w / 2, h - 2, w * 0.6f, h * 0.45f, 8);
    CRandom rng(27);
    for (int i = 0; i < 11; ++i) {
        const float x = w / 2 + rng.Range(-w * 0.36f, w * 0.36f), top = rng.Range(4, h * 0.3f);
        c.Fill(Capsule({x + (x - w / 2) * 0.1f, h - 6}, {x, top + 8}, 1.0f), Rgb(0x7CB342));
        for (int k = 0; k < 5; ++k)
            Outlined(c, Ellipse(x + (k % 2 ? 1.0f : -1.0f), top + k * 2.2f, 1.9f, 1.5f),
                     Solid(Mix(Rgb(0xB39DDB), Rgb(0x7E57C2), k / 4.0f)), 0.4f);
    }
}

void CornStalks(CCanvas& c, float w, float h) {
    ContactShadow(c, w / 2, h - 2, w * 0.38f, 3);
    for (float x : {14.0f, 28.0f, 42.0f}) {
        const float top = x == 28 ? 4.0f : 12.0f;
        Outlined(c, Taper({x, h - 2}, {x + 1, top}, 3.2f, 1.4f), Vertical(top, h, Rgb(0x9CCC65), Rgb(0x558B2F)), 0.6f);
        for (int k = 0; k < 3; ++k) {
            const float y = h * (0.35f + 0.18f * k), side = k % 2 ? 1.0f : -1.0f;
            const CShape leaf =
                Polyline(QuadraticCurve({x, y}, {x + side * 9, y - 8}, {x + side * 14, y + 2}, 8), 2.2f);
            Outlined(c, leaf, Solid(k % 2 ? Rgb(0x7CB342) : Rgb(0x689F38)), 0.5f);
        }
        const float cy = h * 0.45f;
        Outlined(c, Rotate(Ellipse(x + 3, cy, 2.6f, 6), x + 3, cy, 15),
                 Vertical(cy - 6, cy + 6, Rgb(0xFFEE58), Rgb(0xF9A825)), 0.6f);
        c.Fill(Rotate(Ellipse(x + 4.5f, cy + 2, 2, 5.5f), x + 4.5f, cy + 2, 25), Rgb(0x9CCC65));
    }
}

struct TPlant {
    const char* name;
    void (*draw)(CCanvas& c, float w, float h);
};

void AppleTree(CCanvas& c, float w, float h) {
    FruitTree(c, w, h, Rgb(0x66BB46), Rgb(0x2C6B1E), Rgb(0xE53935), false, 51);
}
void PearTree(CCanvas& c, float w, float h) {
    FruitTree(c, w, h, Rgb(0x73C050), Rgb(0x326E22), Rgb(0xD4E157), true, 52);
}
void CherryTree(CCanvas& c, float w, float h) {
    const float cx = w / 2, bottom = h - 2;
    ContactShadow(c, cx, bottom, w * 0.22f, 3.5f);
    Trunk(c, cx, bottom, h * 0.5f, w * 0.12f);
    const CShape canopy = Foliage(c, cx, h * 0.38f, w * 0.46f, h * 0.33f, Rgb(0xF8BBD0), Rgb(0xC2618B), 53);
    CRandom rng(54);
    for (int i = 0; i < 60; ++i) {
        const float x = cx + rng.Range(-w * 0.44f, w * 0.44f), y = h * 0.38f + rng.Range(-h * 0.3f, h * 0.3f);
        if (canopy.Distance(x, y) > -1) continue;
        c.Fill(Circle(x, y, rng.Range(0.8f, 1.6f)), WithAlpha(i % 3 ? kWhite : Rgb(0xFF80AB), 0.9f));
    }
}

const TPlant kPlants[] = {
    {"daisy_patch", DaisyPatch},     {"round_bush", RoundBush}, {"sunflower", Sunflower},
    {"apple_tree", AppleTree},       {"tulip_bed", TulipBed},   {"hedge", Hedge},
    {"pumpkin_patch", PumpkinPatch}, {"pear_tree", PearTree},   {"reeds", Reeds},
    {"water_lilies", WaterLilies},   {"rose_bush", RoseBush},   {"willow_tree", WillowTree},
    {"mushroom_ring", MushroomRing}, {"lavender", Lavender},    {"corn_stalks", CornStalks},
    {"cherry_tree", CherryTree},
};

}  // namespace

bool DrawFarmPlant(CCanvas& c, const std::string& name, float w, float h) {
    for (const TPlant& p : kPlants)
        if (name == p.name) {
            p.draw(c, w, h);
            return true;
        }
    return false;
}

}  // namespace imagegen::recipes
