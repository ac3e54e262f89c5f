// Pictogram outlines.
#include "Pictograms.h"

#include "Draw.h"

#include <cmath>
#include <numbers>

namespace imagegen::picto {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// An arrow head (triangle) at `tip` pointing along the angle (degrees, 0 = +x).
CShape Head(TVec tip, float angleDeg, float length, float width) {
    const float a = angleDeg * kPi / 180.0f;
    const float dx = std::cos(a), dy = std::sin(a);
    const TVec back{tip.x - dx * length, tip.y - dy * length};
    return Polygon(
        {tip, {back.x - dy * width / 2, back.y + dx * width / 2}, {back.x + dy * width / 2, back.y - dx * width / 2}});
}

}  // namespace

CShape ArrowLeft(float cx, float cy, float s) {
    const float head = s * 0.5f;
    return Grow(Union(Head({cx - s * 0.45f, cy}, 180, head, s * 0.78f),
                      Rect(cx - s * 0.45f + head * 0.9f, cy - s * 0.14f, s * 0.9f - head * 0.9f, s * 0.28f)),
                s * 0.03f);
}

CShape ArrowRight(float cx, float cy, float s) { return MirrorX(ArrowLeft(cx, cy, s), cx); }

CShape ArrowUp(float cx, float cy, float w, float h) {
    const float headH = h * 0.5f;
    const float top = cy - h / 2;
    return Union(Polygon({{cx, top}, {cx + w / 2, top + headH}, {cx - w / 2, top + headH}}),
                 RoundRect(cx - w * 0.2f, top + headH - 1, w * 0.4f, h - headH + 1, w * 0.08f));
}

CShape Gear(float cx, float cy, float s) {
    const float r = s * 0.33f;
    std::vector<CShape> parts{Circle(cx, cy, r)};
    for (int i = 0; i < 8; ++i) {
        parts.push_back(
            Rotate(RoundRect(cx - s * 0.09f, cy - s * 0.5f, s * 0.18f, s * 0.3f, s * 0.04f), cx, cy, 45.0f * i));
    }
    return Subtract(Union(parts), Circle(cx, cy, s * 0.14f));
}

CShape Door(float cx, float cy, float s) {
    const float w = s * 0.5f, h = s * 0.86f;
    const float x = cx - s * 0.42f, y = cy - h / 2;
    const CShape frame = Subtract(RoundRect(x, y, w, h, s * 0.05f),
                                  RoundRect(x + s * 0.1f, y + s * 0.1f, w - s * 0.2f, h - s * 0.1f, s * 0.02f));
    const CShape arrow = Union(Rect(cx - s * 0.1f, cy - s * 0.08f, s * 0.38f, s * 0.16f),
                               Head({cx + s * 0.5f, cy}, 0, s * 0.26f, s * 0.46f));
    return Union(frame, arrow);
}

CShape Pause(float cx, float cy, float s) {
    return Union(RoundRect(cx - s * 0.3f, cy - s * 0.38f, s * 0.22f, s * 0.76f, s * 0.05f),
                 RoundRect(cx + s * 0.08f, cy - s * 0.38f, s * 0.22f, s * 0.76f, s * 0.05f));
}

CShape CoinBag(float cx, float cy, float s) {
    const CShape sack =
        Union(Ellipse(cx, cy + s * 0.12f, s * 0.36f, s * 0.34f), Polygon({{cx - s * 0.14f, cy - s * 0.22f},
                                                                          {cx + s * 0.14f, cy - s * 0.22f},
                                                                          {cx + s * 0.26f, cy},
                                                                          {cx - s * 0.26f, cy}}));
    const CShape top = Polygon({{cx - s * 0.2f, cy - s * 0.46f},
                                {cx + s * 0.2f, cy - s * 0.46f},
                                {cx + s * 0.08f, cy - s * 0.28f},
                                {cx - s * 0.08f, cy - s * 0.28f}});
    const CShape tie = Rect(cx - s * 0.16f, cy - s * 0.3f, s * 0.32f, s * 0.07f);
    const CShape mark = Shell(Circle(cx, cy + s * 0.14f, s * 0.14f), s * 0.07f);
    return Subtract(Union({sack, top, tie}), mark);
}

CShape Rotate(float cx, float cy, float s) {
    const float r = s * 0.32f;
    const CShape upper = Polyline(Arc(cx, cy, r, 200, 320, 16), s * 0.13f);
    const CShape lower = Polyline(Arc(cx, cy, r, 20, 140, 16), s * 0.13f);
    const float a1 = 320 * kPi / 180, a2 = 140 * kPi / 180;
    const CShape h1 =
        Head({cx + r * std::cos(a1) + s * 0.1f, cy + r * std::sin(a1) + s * 0.1f}, 45, s * 0.24f, s * 0.3f);
    const CShape h2 =
        Head({cx + r * std::cos(a2) - s * 0.1f, cy + r * std::sin(a2) - s * 0.1f}, 225, s * 0.24f, s * 0.3f);
    return Union({upper, lower, h1, h2});
}

CShape Chevron(float cx, float cy, float s, bool right) {
    const float d = right ? 1.0f : -1.0f;
    return Polyline(
        {{cx - d * s * 0.16f, cy - s * 0.34f}, {cx + d * s * 0.18f, cy}, {cx - d * s * 0.16f, cy + s * 0.34f}},
        s * 0.2f);
}

CShape Globe(float cx, float cy, float s) {
    const float r = s * 0.42f, t = s * 0.08f;
    const CShape outer = Shell(Circle(cx, cy, r), t);
    const CShape meridian = Shell(Ellipse(cx, cy, r * 0.45f, r), t * 0.8f);
    const CShape axis = Rect(cx - t * 0.4f, cy - r, t * 0.8f, 2 * r);
    const CShape equator = Rect(cx - r, cy - t * 0.4f, 2 * r, t * 0.8f);
    const CShape north =
        Intersect(Shell(Ellipse(cx, cy - r * 0.92f, r * 0.95f, r * 0.5f), t * 0.7f), Circle(cx, cy, r));
    const CShape south =
        Intersect(Shell(Ellipse(cx, cy + r * 0.92f, r * 0.95f, r * 0.5f), t * 0.7f), Circle(cx, cy, r));
    return Union({outer, meridian, axis, equator, north, south});
}

CShape Speech(float cx, float cy, float s) {
    const CShape bubble = Union(
        RoundRect(cx - s * 0.45f, cy - s * 0.36f, s * 0.9f, s * 0.58f, s * 0.2f),
        Polygon({{cx - s * 0.22f, cy + s * 0.15f}, {cx - s * 0.02f, cy + s * 0.18f}, {cx - s * 0.3f, cy + s * 0.42f}}));
    const CShape dots = Union({Circle(cx - s * 0.22f, cy - s * 0.07f, s * 0.07f), Circle(cx, cy - s * 0.07f, s * 0.07f),
                               Circle(cx + s * 0.22f, cy - s * 0.07f, s * 0.07f)});
    return Subtract(bubble, dots);
}

CShape StarShape(float cx, float cy, float s) {
    return Grow(Star(cx, cy + s * 0.04f, 5, s * 0.46f, s * 0.2f), s * 0.03f);
}

CShape Scroll(float cx, float cy, float s) {
    const float w = s * 0.62f, h = s * 0.72f;
    const CShape sheet = Rect(cx - w / 2, cy - h / 2 + s * 0.06f, w, h - s * 0.12f);
    const CShape rollTop = RoundRect(cx - w / 2 - s * 0.08f, cy - h / 2, w + s * 0.16f, s * 0.14f, s * 0.07f);
    const CShape rollBottom =
        RoundRect(cx - w / 2 - s * 0.08f, cy + h / 2 - s * 0.14f, w + s * 0.16f, s * 0.14f, s * 0.07f);
    CShape lines;
    for (int i = 0; i < 3; ++i) {
        lines =
            Union(lines, Rect(cx - w * 0.32f, cy - s * 0.14f + i * s * 0.13f, w * (i == 2 ? 0.4f : 0.64f), s * 0.05f));
    }
    return Union({Subtract(sheet, lines), rollTop, rollBottom});
}

CShape Pencil(float cx, float cy, float s) {
    const float len = s * 0.95f, w = s * 0.24f;
    const CShape body = Union(
        {Rect(cx - len / 2 + s * 0.22f, cy - w / 2, len - s * 0.34f, w),
         RoundRect(cx + len / 2 - s * 0.2f, cy - w / 2, s * 0.2f, w, s * 0.05f),
         Polygon(
             {{cx - len / 2, cy}, {cx - len / 2 + s * 0.24f, cy - w / 2}, {cx - len / 2 + s * 0.24f, cy + w / 2}})});
    const CShape band = Rect(cx + len / 2 - s * 0.28f, cy - w / 2 - 0.5f, s * 0.05f, w + 1);
    return Rotate(Subtract(body, band), cx, cy, -45);
}

CShape Bin(float cx, float cy, float s) {
    const float top = cy - s * 0.28f;
    const CShape body = Polygon({{cx - s * 0.3f, top},
                                 {cx + s * 0.3f, top},
                                 {cx + s * 0.24f, cy + s * 0.46f},
                                 {cx - s * 0.24f, cy + s * 0.46f}});
    CShape slots;
    for (int i = -1; i <= 1; ++i)
        slots =
            Union(slots, RoundRect(cx + i * s * 0.15f - s * 0.035f, top + s * 0.12f, s * 0.07f, s * 0.5f, s * 0.03f));
    const CShape lid = RoundRect(cx - s * 0.4f, top - s * 0.16f, s * 0.8f, s * 0.11f, s * 0.04f);
    const CShape handle = RoundRect(cx - s * 0.12f, top - s * 0.26f, s * 0.24f, s * 0.12f, s * 0.04f);
    return Union({Subtract(body, slots), lid, handle});
}

CShape Cross(float cx, float cy, float s, float thickness) {
    const float h = s / 2;
    return Union(Capsule({cx - h, cy - h}, {cx + h, cy + h}, thickness),
                 Capsule({cx - h, cy + h}, {cx + h, cy - h}, thickness));
}

CShape Tick(float cx, float cy, float s, float thickness) {
    return Polyline(
        {{cx - s * 0.42f, cy + s * 0.02f}, {cx - s * 0.12f, cy + s * 0.32f}, {cx + s * 0.44f, cy - s * 0.32f}},
        thickness);
}

CShape Plus(float cx, float cy, float s, float thickness) {
    return Union(RoundRect(cx - s / 2, cy - thickness / 2, s, thickness, thickness * 0.3f),
                 RoundRect(cx - thickness / 2, cy - s / 2, thickness, s, thickness * 0.3f));
}

CShape LockBody(float cx, float cy, float s) {
    const CShape body = RoundRect(cx - s * 0.4f, cy - s * 0.08f, s * 0.8f, s * 0.58f, s * 0.1f);
    const CShape hole = Union(Circle(cx, cy + s * 0.14f, s * 0.08f), Polygon({{cx - s * 0.04f, cy + s * 0.16f},
                                                                              {cx + s * 0.04f, cy + s * 0.16f},
                                                                              {cx + s * 0.06f, cy + s * 0.34f},
                                                                              {cx - s * 0.06f, cy + s * 0.34f}}));
    return Subtract(body, hole);
}

CShape LockShackle(float cx, float cy, float s, float open) {
    const float r = s * 0.26f, t = s * 0.13f;
    const float lift = std::min(open, 0.5f) * 2 * s * 0.16f;
    const float baseY = cy - s * 0.08f - lift;
    std::vector<TVec> path = {{cx - r, baseY + s * 0.06f}, {cx - r, baseY - s * 0.16f}};
    const std::vector<TVec> arc = Arc(cx, baseY - s * 0.16f, r, 180, 360, 18);
    path.insert(path.end(), arc.begin(), arc.end());
    path.push_back({cx + r, baseY + s * 0.06f});
    CShape shackle = Polyline(path, t);
    // Past half-open the free (left) leg swings out about the right one.
    if (open > 0.5f) shackle = Rotate(shackle, cx + r, baseY, -70.0f * (open - 0.5f) * 2);
    return shackle;
}

CShape ByName(std::string_view name, float cx, float cy, float s) {
    using TMaker = CShape (*)(float, float, float);
    struct TNamed {
        const char* name;
        TMaker value;
    };
    static const TNamed kPictograms[] = {
        {"back", ArrowLeft},
        {"gear", Gear},
        {"exit", Door},
        {"pause", Pause},
        {"sell", CoinBag},
        {"rotate", Rotate},
        {"prev", [](float x, float y, float size) { return Chevron(x, y, size, false); }},
        {"next", [](float x, float y, float size) { return Chevron(x, y, size, true); }},
        {"globe", Globe},
        {"chat", Speech},
        {"star", StarShape},
        {"scroll", Scroll},
        {"pencil", Pencil},
        {"bin", Bin},
    };
    TMaker make = nullptr;
    return draw::FindNamed(kPictograms, name, make) ? make(cx, cy, s) : CShape();
}

}  // namespace imagegen::picto
