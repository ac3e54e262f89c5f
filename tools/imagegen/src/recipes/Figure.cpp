#include "Figure.h"

#include <cmath>
#include <string>

#include "Draw.h"

namespace imagegen::figure {

bool ViewOfName(const std::string& name, EView& out) {
    struct TNamed {
        const char* name;
        EView view;
    };
    static const TNamed kNames[] = {
        {"L", EView::Left},
        {"T", EView::Back},
        {"B", EView::Front},
        {"LT", EView::LeftBack},
        {"LB", EView::LeftFront},
        {"left", EView::Left},
        {"up", EView::Back},
        {"down", EView::Front},
        {"left_up", EView::LeftBack},
        {"left_down", EView::LeftFront},
        {"right_up", EView::RightBack},
        {"right_down", EView::RightFront},
    };
    for (const TNamed& n : kNames)
        if (name == n.name) {
            out = n.view;
            return true;
        }
    return false;
}

TPose::TPose(EView view, float originX, float groundY, float scale) : cx(originX), ground(groundY), k(scale) {
    constexpr float d = 0.70710678f;
    switch (view) {
        case EView::Left:
            fx = -1, fz = 0;
            break;
        case EView::Front:
            fx = 0, fz = 1;
            break;
        case EView::Back:
            fx = 0, fz = -1;
            break;
        case EView::LeftFront:
            fx = -d, fz = d;
            break;
        case EView::LeftBack:
            fx = -d, fz = -d;
            break;
        case EView::RightFront:
            fx = d, fz = d;
            break;
        case EView::RightBack:
            fx = d, fz = -d;
            break;
    }
    // The right hand is the forward direction turned a quarter clockwise seen from above.
    sx = fz;
    sz = -fx;
}

float TPose::HalfWidth(float alongForward, float across) const {
    return std::sqrt(alongForward * alongForward * fx * fx + across * across * sx * sx);
}

CShape Taper(TVec a, TVec b, float wa, float wb) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len = std::max(0.001f, std::sqrt(dx * dx + dy * dy));
    const float nx = -dy / len, ny = dx / len;
    return Union(Circle(a.x, a.y, wa / 2), Polygon({{a.x + nx * wa / 2, a.y + ny * wa / 2},
                                                    {b.x + nx * wb / 2, b.y + ny * wb / 2},
                                                    {b.x - nx * wb / 2, b.y - ny * wb / 2},
                                                    {a.x - nx * wa / 2, a.y - ny * wa / 2}}));
}

void CartoonEye(CCanvas& c, float x, float y, float r, float dx, float open, const TRgba& iris) {
    const float rx = r * std::clamp(open, 0.35f, 1.0f);
    const CShape white = Ellipse(x, y, rx, r);
    c.Fill(white, draw::kWhite);
    const float px = x + dx * rx * 0.35f, py = y + r * 0.12f;
    if (iris.a > 0) c.Fill(Intersect(Ellipse(px, py, rx * 0.72f, r * 0.72f), white), iris);
    c.Fill(Intersect(Ellipse(px, py, rx * 0.5f, r * 0.55f), white), draw::kInk);
    c.Fill(Circle(px - rx * 0.25f, py - r * 0.25f, r * 0.22f), draw::kWhite);
    c.Fill(InnerBand(white, std::min(0.7f, r * 0.25f)), WithAlpha(draw::kInk, 0.85f));
}

}  // namespace imagegen::figure
