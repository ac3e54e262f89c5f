// The yard's comfort equipment and ornaments: feeders and troughs, a basket, a hay bale, carved
// animals, fences, signs, balloons, lamps, a radio and a gramophone, a birdhouse, a toy windmill,
// two photo boards with face holes, kennels, a gnome, a swing, a trampoline, a fountain, a
// campfire, a lantern and a weathervane; and the recipe that draws any yard object by name.
#include <cmath>
#include <string>

#include "Draw.h"
#include "FarmArt.h"
#include "Figure.h"
#include "Recipes.h"
#include "imagegen/Noise.h"

namespace imagegen::recipes {

bool DrawFarmPlant(CCanvas& c, const std::string& name, float w, float h);

using namespace draw;
using namespace farmart;
using figure::Taper;

namespace {

const TRgba kPlank = Rgb(0xB07A47), kPlankDark = Rgb(0x7A4E2A), kCarve = Rgb(0xC89B68);

void Trough(CCanvas& c, float w, float h, const TPaint& body, const TRgba& fillTop, const TRgba& fillBottom,
            bool grain) {
    const float top = h * 0.35f, bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3);
    for (float x : {8.0f, w - 8}) Outlined(c, Rect(x - 3, bottom - 8, 6, 8), Wood(kPlankDark, false, 3), 0.8f);
    const CShape box = Polygon({{3, top}, {w - 3, top}, {w - 7, bottom - 5}, {7, bottom - 5}});
    Outlined(c, box, body);
    const CShape inside = Ellipse(w / 2, top + 1, w / 2 - 6, 3.5f);
    c.Fill(inside, Vertical(top - 3, top + 4, fillTop, fillBottom));
    if (grain) {
        CRandom rng(4);
        for (int i = 0; i < 60; ++i)
            c.Fill(Intersect(inside, Circle(rng.Range(8, w - 8), top + rng.Range(-2.5f, 3.5f), 0.8f)),
                   i % 2 ? Rgb(0xFFE082) : Rgb(0xC49A2C));
    } else {
        c.Fill(Ellipse(w / 2 - 8, top, 6, 1.0f), WithAlpha(kWhite, 0.7f));
    }
    c.Fill(Shell(inside, 0.8f), kFarmInk);
}

void GrainFeeder(CCanvas& c, float w, float h) {
    Trough(c, w, h, Wood(kPlank, true, 11), Rgb(0xFFD54F), Rgb(0xC9A227), true);
}
void WaterTrough(CCanvas& c, float w, float h) {
    Trough(c, w, h, Stone(Rgb(0xA7A9AC), 12), Rgb(0x81D4FA), Rgb(0x0277BD), false);
}

void Egg(CCanvas& c, float x, float y, float r, const TRgba& colour) {
    Outlined(
        c, Ellipse(x, y, r * 0.8f, r),
        Radial(x - r * 0.3f, y - r * 0.4f, r * 1.6f, {{0.0f, kWhite}, {0.5f, colour}, {1.0f, Shade(colour, -0.3f)}}),
        0.7f);
}

void EggBasket(CCanvas& c, float w, float h) {
    const float bottom = h - 2, rim = h * 0.45f;
    ContactShadow(c, w / 2, bottom, w * 0.42f, 3);
    for (auto [x, col] : {std::pair{16.0f, Rgb(0xFFF3E0)}, {26.0f, Rgb(0xB3E5FC)}, {36.0f, Rgb(0xF8BBD0)}})
        Egg(c, x, rim - 3, 6, col);
    Egg(c, 21, rim - 6, 5.5f, Rgb(0xFFF59D));
    Egg(c, 31, rim - 7, 5.5f, Rgb(0xDCEDC8));
    const CShape basket = Union(Polygon({{4, rim}, {w - 4, rim}, {w - 10, bottom - 1}, {10, bottom - 1}}),
                                Ellipse(w / 2, rim, w / 2 - 4, 3));
    Outlined(c, basket, [&](float x, float y) {
        const bool weave = std::fmod(std::floor(x / 4) + std::floor((y - rim) / 3), 2.0f) == 0;
        return Shade(Rgb(0xC9963E), weave ? 0.12f : -0.12f);
    });
    c.Fill(Shell(Ellipse(w / 2, rim, w / 2 - 4, 3), 1.2f), Rgb(0x8A5A1E));
    c.Fill(Polyline(Arc(w / 2, rim, w / 2 - 8, 180, 360, 16), 2.4f), Rgb(0x8A5A1E));
}

void HayBale(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cy = h * 0.52f;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3.5f);
    const CShape side = RoundRect(8, cy - h * 0.42f, w - 16, h * 0.84f, 6);
    Outlined(c, side, Vertical(cy - h * 0.4f, cy + h * 0.4f, Rgb(0xFFE082), Rgb(0xC9962C)));
    const CShape face = Ellipse(12, cy, 9, h * 0.42f);
    Outlined(c, face, Radial(12, cy, h * 0.42f, {{0.0f, Rgb(0xE6B84C)}, {1.0f, Rgb(0xFFD97A)}}));
    c.Fill(Polyline(
               [&] {
                   std::vector<TVec> spiral;
                   for (int i = 0; i < 40; ++i)
                       spiral.push_back({12 + std::cos(i * 0.45f) * i * 0.2f, cy + std::sin(i * 0.45f) * i * 0.42f});
                   return spiral;
               }(),
               0.8f),
           WithAlpha(Rgb(0x9C6B16), 0.8f));
    CRandom rng(13);
    for (int i = 0; i < 50; ++i) {
        const float x = rng.Range(20, w - 10), y = rng.Range(cy - h * 0.38f, cy + h * 0.38f);
        c.Fill(Intersect(side, Capsule({x, y}, {x + rng.Range(3, 6), y + rng.Range(-1, 1)}, 0.6f)),
               WithAlpha(Rgb(0xA8741B), 0.5f));
    }
    for (float x : {w * 0.45f, w * 0.72f}) c.Fill(Intersect(side, Rect(x, 0, 2.2f, h)), Rgb(0xB23A2E));
}

// A carved figure: the shape in light wood with darker carving lines and a stump or plinth.
void Carved(CCanvas& c, const CShape& figure, float w, float h, float plinthTop) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.42f, 3);
    Outlined(c, RoundRect(w * 0.1f, plinthTop, w * 0.8f, bottom - plinthTop, 3), Wood(kPlankDark, true, 21));
    Outlined(c, figure,
             [&](float x, float y) { return Shade(Wood(kCarve, false, 22)(x, y), (y - h * 0.3f) / h * -0.3f); });
}

void WoodenFrog(CCanvas& c, float w, float h) {
    const float plinth = h - 12;
    const CShape frog = Union({Ellipse(w / 2, plinth - 10, 15, 10), Circle(w / 2 - 8, plinth - 20, 5.5f),
                               Circle(w / 2 + 8, plinth - 20, 5.5f), Ellipse(w / 2 - 14, plinth - 3, 6, 3),
                               Ellipse(w / 2 + 14, plinth - 3, 6, 3)});
    Carved(c, frog, w, h, plinth);
    for (float s : {-1.0f, 1.0f}) {
        c.Fill(Circle(w / 2 + s * 8, plinth - 20, 2.6f), Rgb(0x3E2723));
        c.Fill(Circle(w / 2 + s * 8 - 0.8f, plinth - 21, 0.8f), Rgb(0xFFF3E0));
    }
    c.Fill(Polyline(Arc(w / 2, plinth - 14, 7, 20, 160, 10), 1.0f), Rgb(0x5D3A1A));
}

void CatShape(std::vector<CShape>& parts, float x, float base, float s) {
    parts.push_back(Ellipse(x, base - 9 * s, 8 * s, 9 * s));
    parts.push_back(Circle(x, base - 21 * s, 6.5f * s));
    parts.push_back(Polygon({{x - 6 * s, base - 24 * s}, {x - 5 * s, base - 31 * s}, {x - 1 * s, base - 26 * s}}));
    parts.push_back(Polygon({{x + 6 * s, base - 24 * s}, {x + 5 * s, base - 31 * s}, {x + 1 * s, base - 26 * s}}));
}

void WoodenKittens(CCanvas& c, float w, float h) {
    const float plinth = h - 10;
    std::vector<CShape> parts;
    CatShape(parts, w * 0.34f, plinth, 1.0f);
    CatShape(parts, w * 0.68f, plinth, 0.82f);
    parts.push_back(Polyline(
        QuadraticCurve({w * 0.34f + 7, plinth - 3}, {w * 0.5f, plinth - 2}, {w * 0.5f, plinth - 12}, 8), 2.5f));
    Carved(c, Union(parts), w, h, plinth);
    for (auto [x, y, s] : {std::tuple{w * 0.34f, plinth - 21, 1.0f}, {w * 0.68f, plinth - 17.2f, 0.82f}}) {
        for (float d : {-1.0f, 1.0f})
            c.Fill(Capsule({x + d * 2.6f * s, y - 0.5f}, {x + d * 1.4f * s, y - 0.5f}, 1.0f), Rgb(0x4E2C12));
        c.Fill(Polygon({{x - 1, y + 2 * s}, {x + 1, y + 2 * s}, {x, y + 3 * s}}), Rgb(0x4E2C12));
    }
}

void WoodenDogs(CCanvas& c, float w, float h) {
    const float plinth = h - 10;
    std::vector<CShape> parts;
    for (auto [x, s] : {std::pair{w * 0.32f, 1.0f}, {w * 0.7f, 0.85f}}) {
        parts.push_back(Ellipse(x, plinth - 9 * s, 9 * s, 8 * s));
        parts.push_back(Circle(x - 2 * s, plinth - 21 * s, 7 * s));
        parts.push_back(Ellipse(x - 8 * s, plinth - 19 * s, 4.5f * s, 3 * s));
        parts.push_back(Rotate(Ellipse(x + 4 * s, plinth - 19 * s, 2.5f * s, 5 * s), x + 4 * s, plinth - 19 * s, -20));
    }
    Carved(c, Union(parts), w, h, plinth);
    for (auto [x, s] : {std::pair{w * 0.32f, 1.0f}, {w * 0.7f, 0.85f}}) {
        c.Fill(Circle(x - 3 * s, plinth - 23 * s, 1.2f), Rgb(0x3E2723));
        c.Fill(Circle(x - 12 * s, plinth - 19.5f * s, 1.4f * s), Rgb(0x3E2723));
    }
}

void PicketFence(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.48f, 2.5f);
    for (float y : {h * 0.38f, h * 0.72f})
        Outlined(c, Rect(3, y, w - 6, 3.5f), Vertical(y, y + 3.5f, Rgb(0xF5F5F5), Rgb(0xBDBDBD)), 0.8f);
    for (float x = 6; x < w - 4; x += 9.5f) {
        const CShape picket = Polygon({{x - 3, bottom}, {x - 3, 8}, {x, 3}, {x + 3, 8}, {x + 3, bottom}});
        Outlined(c, picket, Vertical(3, bottom, kWhite, Rgb(0xCFD8DC)), 0.8f);
    }
}

void Signpost(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, 9, 2.5f);
    Outlined(c, Rect(w / 2 - 2.5f, 18, 5, bottom - 18), Wood(kPlankDark, false, 5));
    const CShape board = Polygon({{3, 8}, {w - 9, 8}, {w - 2, 18}, {w - 9, 28}, {3, 28}});
    Outlined(c, board, Wood(kPlank, true, 6), 1.2f);
    TLettering style;
    style.fill = Solid(Rgb(0xFFF3E0));
    style.border = Rgb(0x3E2723);
    style.borderWidth = 1.2f;
    Letters(c, "?", 16, w / 2 - 3, 25, EAlign::Centre, style);
}

void HeatLamp(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, 12, 2.5f);
    Outlined(c, Ellipse(cx, bottom - 3, 11, 3), Solid(Rgb(0x455A64)));
    Outlined(c, Rect(cx - 1.5f, 22, 3, bottom - 25), Vertical(22, bottom, Rgb(0x90A4AE), Rgb(0x455A64)));
    c.Fill(Circle(cx, 26, 12),
           Radial(cx, 26, 13, {{0.0f, WithAlpha(Rgb(0xFF8A65), 0.7f)}, {1.0f, WithAlpha(Rgb(0xFF5722), 0.0f)}}));
    const CShape shade = Polygon({{cx - 9, 22}, {cx + 9, 22}, {cx + 5, 8}, {cx - 5, 8}});
    Outlined(c, shade, Vertical(8, 22, Rgb(0xB0BEC5), Rgb(0x607D8B)));
    Outlined(c, Ellipse(cx, 24, 5, 4),
             Radial(cx - 1, 23, 6, {{0.0f, Rgb(0xFFCCBC)}, {0.6f, Rgb(0xFF5722)}, {1.0f, Rgb(0xBF360C)}}), 0.7f);
}

void Radio(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.44f, 2.5f);
    Outlined(c, Rect(4, bottom - 10, w - 8, 10), Wood(kPlankDark, true, 8));
    const CShape box = Union(RoundRect(6, 6, w - 12, bottom - 16, 8), Rect(6, 14, w - 12, bottom - 24));
    Outlined(c, box, Wood(Rgb(0x8D5A32), true, 9));
    Outlined(c, Circle(w / 2 - 5, 17, 7), Solid(Rgb(0xE0C9A6)), 0.8f);
    for (int i = -2; i <= 2; ++i)
        c.Fill(Intersect(Circle(w / 2 - 5, 17, 6), Rect(w / 2 - 12, 16.5f + i * 2.5f, 14, 0.8f)), Rgb(0x6D4C41));
    for (float y : {12.0f, 21.0f}) Outlined(c, Circle(w / 2 + 10, y, 2.4f), Solid(Rgb(0xFFD54F)), 0.6f);
    c.Fill(Capsule({w / 2 + 8, 6}, {w / 2 + 14, -2}, 1.0f), Rgb(0x616161));
}

void Birdhouse(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, 8, 2.5f);
    Outlined(c, Rect(cx - 2.5f, 36, 5, bottom - 36), Wood(kPlankDark, false, 15));
    const CShape house = Polygon({{cx - 13, 40}, {cx - 13, 20}, {cx, 10}, {cx + 13, 20}, {cx + 13, 40}});
    Outlined(c, house, Wood(Rgb(0x64B5F6), false, 16));
    const CShape roof = Union(Taper({cx, 6}, {cx - 18, 22}, 5, 5), Taper({cx, 6}, {cx + 18, 22}, 5, 5));
    Outlined(c, roof, Vertical(4, 24, Rgb(0xEF5350), Rgb(0xB71C1C)));
    Outlined(c, Circle(cx, 27, 4.5f), Solid(Rgb(0x263238)), 0.8f);
    Outlined(c, Rect(cx - 5, 34, 10, 2), Wood(kPlankDark, true, 17), 0.6f);
}

void WindmillToy(CCanvas& c, float w, float h, int frame) {
    const float bottom = h - 2, cx = w / 2, hub = 30;
    ContactShadow(c, cx, bottom, 8, 2.5f);
    Outlined(c, Polygon({{cx - 5, bottom}, {cx - 2, hub}, {cx + 2, hub}, {cx + 5, bottom}}),
             Wood(Rgb(0xFFF3E0), false, 18));
    // Four sails; 90 degrees bring the same picture back, so each frame turns them an eighth of it.
    const float turn = frame * 11.25f;
    const TRgba colours[] = {Rgb(0xE53935), Rgb(0xFDD835), Rgb(0x1E88E5), Rgb(0x43A047)};
    for (int k = 0; k < 4; ++k) {
        const float a = (turn + k * 90) * 0.0174533f;
        const TVec tip = {cx + std::cos(a) * 24, hub + std::sin(a) * 24};
        const TVec side = {cx + std::cos(a + 0.35f) * 20, hub + std::sin(a + 0.35f) * 20};
        const CShape sail = Polygon({{cx, hub}, tip, side});
        Outlined(c, sail, Solid(colours[k]), 0.8f);
        c.Fill(Capsule({cx, hub}, tip, 1.2f), Rgb(0x6D4C41));
    }
    Outlined(c, Circle(cx, hub, 3), Solid(Rgb(0xFFD54F)), 0.8f);
}

// A painted board on two legs with a round face hole; `paint` draws the picture around the hole.
template <typename F>
void PhotoBoard(CCanvas& c, float w, float h, float holeX, float holeY, const TRgba& backdrop, F&& paint) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.4f, 3);
    for (float x : {w * 0.22f, w * 0.78f})
        Outlined(c, Rect(x - 2.5f, h * 0.75f, 5, bottom - h * 0.75f), Wood(kPlankDark, false, 19));
    const CShape board = RoundRect(4, 4, w - 8, h * 0.8f, 6);
    Outlined(c, board, Vertical(4, h * 0.8f, Shade(backdrop, 0.2f), backdrop), 1.4f);
    paint();
    c.Fill(InnerBand(board, 2.5f), Wood(Rgb(0xA1754A), true, 20));
    const CShape hole = Circle(holeX, holeY, 10);
    c.Fill(Grow(hole, 1.2f), kFarmInk);
    c.Fill(hole, kBlack, {EBlend::Erase});
}

void Strongman(CCanvas& c, float w, float h) {
    const float hx = 28, hy = 60;
    PhotoBoard(c, w, h, hx, hy, Rgb(0x81D4FA), [&] {
        // A strongman in a striped suit lifting a barbell.
        const CShape body = Union({Ellipse(hx + 2, hy + 22, 17, 14), Circle(hx, hy, 12),
                                   Ellipse(hx - 16, hy + 12, 7, 5), Ellipse(hx + 20, hy + 12, 7, 5)});
        Outlined(c, body, [&](float x, float y) {
            return std::fmod(std::floor((y - hy) / 4), 2.0f) == 0 ? Rgb(0xE53935) : Rgb(0xFFF3E0);
        });
        c.Fill(Ellipse(hx, hy, 12, 12), Rgb(0xF2C7A5));
        Outlined(c, Capsule({hx - 26, hy - 16}, {hx + 46, hy - 16}, 3), Solid(Rgb(0x455A64)), 0.8f);
        for (float x : {hx - 24, hx + 44}) Outlined(c, Circle(x, hy - 16, 8), Solid(Rgb(0x263238)), 0.8f);
        for (float s : {-1.0f, 1.0f})
            Outlined(c, Capsule({hx + 2 + s * 14, hy + 8}, {hx + 2 + s * 14, hy - 14}, 6), Solid(Rgb(0xF2C7A5)), 0.8f);
        c.Fill(Polyline(Arc(hx + 12, hy - 6, 5, 200, 340, 8), 2.0f), Rgb(0x5D4037));
        TLettering style;
        style.fill = Solid(Rgb(0xFFD54F));
        style.border = Rgb(0x3E2723);
        style.borderWidth = 1.2f;
        Letters(c, "STRONG", 13, w / 2, 18, EAlign::Centre, style);
    });
}

void Ballerina(CCanvas& c, float w, float h) {
    const float hx = 68, hy = 59;
    PhotoBoard(c, w, h, hx, hy, Rgb(0xF8BBD0), [&] {
        const CShape tutu = Ellipse(hx, hy + 26, 24, 7);
        const CShape body = Union({Ellipse(hx, hy + 16, 8, 12), Circle(hx, hy, 11)});
        for (float s : {-1.0f, 1.0f})
            Outlined(
                c,
                Polyline(QuadraticCurve({hx + s * 6, hy + 10}, {hx + s * 20, hy - 2}, {hx + s * 16, hy - 18}, 8), 3.2f),
                Solid(Rgb(0xF2C7A5)), 0.8f);
        Outlined(c, Capsule({hx - 4, hy + 30}, {hx - 10, hy + 50}, 3.2f), Solid(Rgb(0xF2C7A5)), 0.8f);
        Outlined(c, Capsule({hx + 4, hy + 30}, {hx + 16, hy + 44}, 3.2f), Solid(Rgb(0xF2C7A5)), 0.8f);
        Outlined(c, body, Solid(Rgb(0xEC407A)));
        Outlined(c, tutu, Radial(hx, hy + 24, 26, {{0.0f, Rgb(0xFFFFFF)}, {1.0f, Rgb(0xF48FB1)}}));
        c.Fill(Circle(hx, hy, 11), Rgb(0xF2C7A5));
        for (int i = 0; i < 8; ++i)
            c.Fill(Sparkle(14 + (i * 23) % 40, 14 + (i * 37) % 80, 2.5f), WithAlpha(kWhite, 0.8f));
        TLettering style;
        style.fill = Solid(Rgb(0xFFFFFF));
        style.border = Rgb(0x880E4F);
        style.borderWidth = 1.2f;
        Letters(c, "BALLET", 13, w / 2 - 8, 18, EAlign::Centre, style);
    });
}

TPaint Lit2(const TRgba& colour, float x, float y) {
    return Radial(x - 4, y - 5, 22, {{0.0f, Shade(colour, 0.3f)}, {0.6f, colour}, {1.0f, Shade(colour, -0.35f)}});
}

// A kennel with a dog looking out; its eyes (open, the lids come from the eyelid sets) at eyeX,
// eyeY and eyeX + 18, eyeY, each of radius 5.
void Kennel(CCanvas& c, float w, float h, float left, float right, float doorX, float doorW, float eyeX, float eyeY,
            const TRgba& wall, const TRgba& fur, bool dogOutside) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3.5f);
    const float wallTop = h * 0.42f, mid = (left + right) / 2, eave = (right - left) * 0.08f;
    const CShape body = Rect(left, wallTop, right - left, bottom - wallTop);
    Outlined(c, body, Wood(wall, true, 25), 1.2f);
    for (float y = wallTop + 6; y < bottom; y += 7)
        c.Fill(Intersect(body, Rect(0, y, w, 0.8f)), WithAlpha(kFarmInk, 0.35f));
    const CShape roof = Union(Taper({mid, h * 0.12f}, {left - eave, wallTop + 4}, 8, 8),
                              Taper({mid, h * 0.12f}, {right + eave, wallTop + 4}, 8, 8));
    Outlined(c, roof, Vertical(h * 0.1f, wallTop + 6, Rgb(0xE57373), Rgb(0x8E2A22)), 1.2f);
    const float doorTop = eyeY - 12;
    const CShape door = Union(Rect(doorX - doorW / 2, doorTop + doorW / 2, doorW, bottom - doorTop - doorW / 2),
                              Circle(doorX, doorTop + doorW / 2, doorW / 2));
    if (!dogOutside) Outlined(c, door, Solid(Rgb(0x2B1B12)), 1.0f);
    // The dog: head with floppy ears, a muzzle and a nose below the eyes.
    const float hx = eyeX + 9, hy = eyeY + 3;
    const CShape head =
        Union({Ellipse(hx, hy, 15, 13), Ellipse(hx - 14, hy + 2, 5, 10), Ellipse(hx + 14, hy + 2, 5, 10)});
    if (dogOutside) {
        // Sitting beside its kennel: a round body and two front legs.
        Outlined(c, Ellipse(hx + 4, bottom - 13, 14, 13), Lit2(fur, hx, bottom - 18));
        for (float s : {-1.0f, 1.0f}) {
            Outlined(c, Capsule({hx + s * 5, hy + 10}, {hx + s * 5, bottom - 3}, 6), Lit2(fur, hx, bottom - 10), 0.8f);
            Outlined(c, Ellipse(hx + s * 5, bottom - 3, 4.5f, 2.5f), Solid(Shade(fur, 0.3f)), 0.7f);
        }
    }
    Outlined(c, head, Radial(hx - 4, hy - 6, 22, {{0.0f, Shade(fur, 0.3f)}, {0.6f, fur}, {1.0f, Shade(fur, -0.35f)}}),
             1.0f);
    for (float s : {-1.0f, 1.0f}) c.Fill(Ellipse(hx + s * 14, hy + 3, 4, 8.5f), Shade(fur, -0.35f));
    c.Fill(Ellipse(hx, hy + 7, 7, 5), Shade(fur, 0.35f));
    Outlined(c, Ellipse(hx, hy + 4, 3, 2.2f), Solid(Rgb(0x212121)), 0.5f);
    c.Fill(Polyline(Arc(hx, hy + 7, 3, 20, 160, 8), 0.8f), Rgb(0x3E2723));
    for (float x : {eyeX, eyeX + 18}) {
        c.Fill(Circle(x, eyeY, 5), kWhite);
        c.Fill(Circle(x + 0.5f, eyeY + 0.5f, 3.1f), Rgb(0x3E2723));
        c.Fill(Circle(x - 0.8f, eyeY - 1, 1.1f), kWhite);
        c.Fill(Shell(Circle(x, eyeY, 5), 0.7f), WithAlpha(kFarmInk, 0.8f));
    }
}

// The game places the eyelids 16.5 and 44 pixels left of the anchor, 39 and 50.5 above it: the
// dog's eyes are 9 pixels either side of that point.
void Doghouse(CCanvas& c, float w, float h) {
    Kennel(c, w, h, w * 0.1f, w * 0.9f, 23.5f + 9, 30, w / 2 - 16.5f - 9, h - 39, Rgb(0xC98B4E), Rgb(0xD7A86E), false);
}
void Doghouse2(CCanvas& c, float w, float h) {
    Kennel(c, w, h, w * 0.36f, w * 0.96f, w * 0.68f, 30, w / 2 - 44 - 9, h - 50.5f, Rgb(0x7E9CB8), Rgb(0xA1887F), true);
}

void GardenGnome(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, 10, 2.5f);
    Outlined(c, Ellipse(cx, bottom - 12, 10, 11), Vertical(bottom - 22, bottom, Rgb(0x42A5F5), Rgb(0x1565C0)));
    for (float s : {-1.0f, 1.0f}) Outlined(c, Ellipse(cx + s * 5, bottom - 2, 4, 2.2f), Solid(Rgb(0x5D4037)), 0.6f);
    const CShape beard = Polygon({{cx - 8, 22}, {cx + 8, 22}, {cx, 40}});
    Outlined(c, Circle(cx, 21, 7), Solid(Rgb(0xF2C7A5)));
    Outlined(c, Union(beard, Ellipse(cx, 26, 8, 5)), Vertical(20, 40, kWhite, Rgb(0xE0E0E0)));
    Outlined(c, Polygon({{cx - 9, 18}, {cx + 9, 18}, {cx + 3, 2}, {cx - 1, 1}}),
             Vertical(1, 18, Rgb(0xEF5350), Rgb(0xB71C1C)));
    c.Fill(Circle(cx, 23.5f, 2.2f), Rgb(0xE57373));
    for (float s : {-1.0f, 1.0f}) c.Fill(Circle(cx + s * 3, 20.5f, 1.0f), Rgb(0x263238));
}

void Swing(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3);
    for (float x : {8.0f, w - 8}) {
        Outlined(c, Taper({x - 5, bottom}, {x, 8}, 4, 4), Wood(kPlank, false, 26));
        Outlined(c, Taper({x + 5, bottom}, {x, 8}, 4, 4), Wood(kPlank, false, 27));
    }
    Outlined(c, Rect(4, 5, w - 8, 6), Wood(kPlankDark, true, 28));
    for (float x : {w / 2 - 12, w / 2 + 12}) c.Fill(Capsule({x, 10}, {x, h - 22}, 1.2f), Rgb(0xA1887F));
    Outlined(c, RoundRect(w / 2 - 16, h - 24, 32, 5, 2), Wood(Rgb(0xE57373), true, 29));
}

void Trampoline(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3);
    for (float x : {10.0f, w / 2 - 8, w / 2 + 8, w - 10})
        Outlined(c, Rect(x - 1.5f, h * 0.45f, 3, bottom - h * 0.45f), Solid(Rgb(0x546E7A)), 0.7f);
    const CShape frame = Ellipse(w / 2, h * 0.4f, w / 2 - 3, h * 0.3f);
    Outlined(c, frame, Solid(Rgb(0x1E88E5)));
    const CShape mat = Ellipse(w / 2, h * 0.4f, w / 2 - 9, h * 0.2f);
    c.Fill(mat, Radial(w / 2, h * 0.4f, w / 2, {{0.0f, Rgb(0x424242)}, {1.0f, Rgb(0x212121)}}));
    c.Fill(Shell(Ellipse(w / 2, h * 0.4f, w / 2 - 5.5f, h * 0.25f), 0.8f), WithAlpha(kWhite, 0.5f));
}

void DrinkingFountain(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, w * 0.4f, 3);
    Outlined(c, Ellipse(cx, bottom - 4, w / 2 - 4, 5), Stone(Rgb(0x9E9E9E), 31));
    Outlined(c, Polygon({{cx - 7, bottom - 6}, {cx - 5, 34}, {cx + 5, 34}, {cx + 7, bottom - 6}}),
             Stone(Rgb(0xBDBDBD), 32));
    const CShape basin =
        Union(Ellipse(cx, 30, w / 2 - 6, 6), Intersect(Ellipse(cx, 30, w / 2 - 6, 14), Rect(0, 30, w, 14)));
    Outlined(c, basin, Stone(Rgb(0xB0B0B0), 33));
    c.Fill(Ellipse(cx, 30, w / 2 - 10, 3.5f), Vertical(27, 33, Rgb(0x81D4FA), Rgb(0x0288D1)));
    Outlined(c, Capsule({cx, 29}, {cx, 14}, 4.5f), Stone(Rgb(0xBDBDBD), 34));
    Outlined(c, Capsule({cx, 14}, {cx + 2, 12}, 3.0f), Solid(Rgb(0xB0BEC5)), 0.7f);
}

void Campfire(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    c.Fill(Ellipse(cx, 30, 16, 10),
           Radial(cx, 30, 18, {{0.0f, WithAlpha(Rgb(0xFFAB40), 0.55f)}, {1.0f, WithAlpha(Rgb(0xFF6D00), 0.0f)}}));
    for (float a : {-28.0f, 28.0f})
        Outlined(c, Rotate(Capsule({cx - 15, 36}, {cx + 15, 36}, 6), cx, 36, a), Wood(Rgb(0x8D5A32), true, 35));
    c.Fill(Ellipse(cx, 35, 9, 3),
           Radial(cx, 35, 9, {{0.0f, Rgb(0xFFEB3B)}, {0.6f, Rgb(0xFF6D00)}, {1.0f, WithAlpha(Rgb(0xBF360C), 0)}}));
    CRandom rng(36);
    for (int i = 0; i < 10; ++i) {
        const float a = i * 0.628f;
        const float x = cx + std::cos(a) * 22, y = bottom - 8 + std::sin(a) * 6;
        Outlined(c, Ellipse(x, y, rng.Range(4, 5.5f), rng.Range(3, 4)), Stone(Rgb(0x9E9E9E), 37 + i), 0.8f);
    }
}

void Gramophone(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, w * 0.42f, 2.5f);
    Outlined(c, Rect(6, bottom - 16, w - 12, 16), Wood(Rgb(0x8D5A32), true, 38));
    Outlined(c, Ellipse(cx - 4, bottom - 17, 15, 3), Solid(Rgb(0x212121)), 0.8f);
    c.Fill(Capsule({cx + 8, bottom - 17}, {cx + 6, 34}, 2.0f), Rgb(0xC9A23A));
    const CShape horn = Polygon({{cx + 6, 36}, {cx + 3, 31}, {cx - 18, 4}, {cx + 24, 6}});
    Outlined(c, Union(horn, Ellipse(cx + 3, 5, 21, 6)),
             Radial(cx, 8, 30, {{0.0f, Rgb(0xFFF176)}, {0.5f, Rgb(0xF9A825)}, {1.0f, Rgb(0x9E6B00)}}));
    c.Fill(Ellipse(cx + 3, 5, 18, 4.2f), Radial(cx + 3, 5, 18, {{0.0f, Rgb(0x3E2723)}, {1.0f, Rgb(0x8D6E00)}}));
}

void LanternPost(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, 9, 2.5f);
    c.Fill(Circle(cx, 14, 16),
           Radial(cx, 14, 17, {{0.0f, WithAlpha(Rgb(0xFFE082), 0.6f)}, {1.0f, WithAlpha(Rgb(0xFFB300), 0.0f)}}));
    Outlined(c, Polygon({{cx - 4, bottom}, {cx - 2, 22}, {cx + 2, 22}, {cx + 4, bottom}}),
             Vertical(22, bottom, Rgb(0x546E7A), Rgb(0x263238)));
    Outlined(c, RoundRect(cx - 7, 8, 14, 14, 2),
             Radial(cx, 15, 9, {{0.0f, Rgb(0xFFFDE7)}, {0.5f, Rgb(0xFFD54F)}, {1.0f, Rgb(0xF57F17)}}));
    for (float x : {cx - 7, cx + 7}) c.Fill(Rect(x - 0.8f, 8, 1.6f, 14), Rgb(0x263238));
    Outlined(c, Polygon({{cx - 9, 9}, {cx + 9, 9}, {cx, 2}}), Solid(Rgb(0x37474F)));
}

void Weathervane(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, 8, 2.5f);
    Outlined(c, Rect(cx - 1.5f, 16, 3, bottom - 16), Vertical(16, bottom, Rgb(0x78909C), Rgb(0x37474F)));
    Outlined(c, Capsule({cx - 14, 40}, {cx + 14, 40}, 1.6f), Solid(Rgb(0x37474F)), 0.6f);
    TLettering style;
    style.fill = Solid(Rgb(0x37474F));
    Letters(c, "W", 8, cx - 19, 43, EAlign::Centre, style);
    Letters(c, "E", 8, cx + 19, 43, EAlign::Centre, style);
    // The rooster on top, in copper.
    const CShape rooster =
        Union({Ellipse(cx + 2, 12, 9, 5), Circle(cx - 7, 7, 3.5f), Polygon({{cx + 8, 10}, {cx + 16, 1}, {cx + 13, 12}}),
               Polygon({{cx - 10, 7}, {cx - 14, 8}, {cx - 10, 9}}),
               Union(Circle(cx - 8, 3, 1.8f), Circle(cx - 6, 2.5f, 1.8f))});
    Outlined(c, rooster, Vertical(0, 18, Rgb(0xE0A96D), Rgb(0x8D5524)));
    Outlined(c, Polygon({{cx - 18, 22}, {cx + 14, 22}, {cx + 18, 24}, {cx + 14, 26}, {cx - 18, 26}}),
             Solid(Rgb(0x37474F)), 0.6f);
}

void BalloonRed(CCanvas& c, float w, float h) {
    BalloonString(c, w / 2, 33, w / 2 + 3, h - 2, 5);
    Balloon(c, w / 2, 33, 14, Rgb(0xE53935));
}
void BalloonBlue(CCanvas& c, float w, float h) {
    BalloonString(c, w / 2, 33, w / 2 - 3, h - 2, -5);
    Balloon(c, w / 2, 33, 14, Rgb(0x1E88E5));
}
void BalloonBunch(CCanvas& c, float w, float h) {
    const float peg = w / 2;
    for (auto [x, y, sway] : {std::tuple{w / 2 - 14, 30.0f, -4.0f}, {w / 2 + 14, 33.0f, 4.0f}, {w / 2, 40.0f, 2.0f}})
        BalloonString(c, x, y, peg, h - 2, sway);
    Balloon(c, w / 2 - 14, 30, 12, Rgb(0xFDD835));
    Balloon(c, w / 2 + 14, 33, 12, Rgb(0x43A047));
    Balloon(c, w / 2, 40, 13, Rgb(0xE53935));
}

void BigFeeder(CCanvas& c, float w, float h) {
    const float bottom = h - 2;
    ContactShadow(c, w / 2, bottom, w * 0.46f, 3);
    for (float x : {10.0f, w - 10}) Outlined(c, Rect(x - 2.5f, 20, 5, bottom - 20), Wood(kPlankDark, false, 39));
    Trough(c, w, 36, Wood(kPlank, true, 40), Rgb(0xFFD54F), Rgb(0xC9A227), true);
    const CShape roof = Polygon({{2, 12}, {w / 2, 2}, {w - 2, 12}, {w - 6, 15}, {6, 15}});
    Outlined(c, roof, Vertical(2, 15, Rgb(0x8D6E63), Rgb(0x4E342E)));
}

void CornFeeder(CCanvas& c, float w, float h) {
    const float bottom = h - 2, cx = w / 2;
    ContactShadow(c, cx, bottom, w * 0.42f, 3);
    for (auto [x, a] : {std::pair{cx - 10, -20.0f}, {cx + 9, 15.0f}, {cx, 0.0f}}) {
        const CShape cob = Rotate(Ellipse(x, 12, 4, 10), x, 18, a);
        Outlined(
            c, cob,
            [&](float px, float py) {
                return std::fmod(std::floor(px / 2) + std::floor(py / 2), 2.0f) ? Rgb(0xFFEB3B) : Rgb(0xF9A825);
            },
            0.7f);
        c.Fill(Rotate(Polygon({{x - 4, 20}, {x + 4, 20}, {x + 6, 8}}), x, 18, a), Rgb(0x9CCC65));
    }
    const CShape barrel = Union(Rect(cx - 18, 18, 36, bottom - 20), Ellipse(cx, 18, 18, 4));
    Outlined(c, barrel, [&](float x, float y) {
        const float bulge = 1 - std::pow((x - cx) / 18, 2.0f);
        return Shade(Wood(Rgb(0xA0693A), false, 41)(x, y), bulge * 0.15f - 0.05f);
    });
    for (float y : {24.0f, bottom - 8}) c.Fill(Intersect(barrel, Rect(0, y, w, 2.5f)), Rgb(0x616161));
    c.Fill(Ellipse(cx, 18, 15, 3), Rgb(0xF9A825));
}

struct TThing {
    const char* name;
    void (*draw)(CCanvas& c, float w, float h);
};

const TThing kThings[] = {
    {"grain_feeder", GrainFeeder},
    {"water_trough", WaterTrough},
    {"new_basket2", EggBasket},
    {"hay_bale", HayBale},
    {"wooden_frog", WoodenFrog},
    {"picket_fence", PicketFence},
    {"signpost", Signpost},
    {"balloon_red", BalloonRed},
    {"corn_feeder", CornFeeder},
    {"heat_lamp", HeatLamp},
    {"radio", Radio},
    {"wooden_kittens", WoodenKittens},
    {"birdhouse", Birdhouse},
    {"photostand01", Strongman},
    {"drinking_fountain", DrinkingFountain},
    {"swing", Swing},
    {"trampoline", Trampoline},
    {"wooden_dogs", WoodenDogs},
    {"doghouse", Doghouse},
    {"garden_gnome", GardenGnome},
    {"balloon_blue", BalloonBlue},
    {"big_feeder", BigFeeder},
    {"campfire", Campfire},
    {"gramophone", Gramophone},
    {"doghouse2", Doghouse2},
    {"photostand02", Ballerina},
    {"lantern_post", LanternPost},
    {"weathervane", Weathervane},
    {"balloon_bunch", BalloonBunch},
};

}  // namespace

// object=<yard object id>: the object's picture, standing on the bottom edge. The toy windmill
// turns its sails over its frames.
void FarmObject(CCanvas& c, const CRecipeContext& ctx) {
    const std::string name = ctx.Text("object");
    const float w = ctx.Width(), h = ctx.Height();
    if (name == "windmill_toy") {
        WindmillToy(c, w, h, ctx.Frame());
        return;
    }
    if (DrawFarmPlant(c, name, w, h)) return;
    for (const TThing& t : kThings)
        if (name == t.name) {
            t.draw(c, w, h);
            return;
        }
    ctx.Fail("object=" + name + " has no picture");
}

}  // namespace imagegen::recipes
