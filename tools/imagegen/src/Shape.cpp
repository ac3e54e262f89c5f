// Signed distance functions and their combinators.
#include "imagegen/Shape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace imagegen {

namespace {

constexpr float kFar = std::numeric_limits<float>::max();
constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

// Squared distance from p to the segment a-b.
float SegmentDistance2(TVec p, TVec a, TVec b) {
    const float ex = b.x - a.x, ey = b.y - a.y;
    const float wx = p.x - a.x, wy = p.y - a.y;
    const float ee = ex * ex + ey * ey;
    const float t = ee > 0 ? std::clamp((wx * ex + wy * ey) / ee, 0.0f, 1.0f) : 0.0f;
    const float dx = wx - ex * t, dy = wy - ey * t;
    return dx * dx + dy * dy;
}

TBox BoxOfPoints(const std::vector<TVec>& points) {
    TBox box;
    if (points.empty()) return box;
    box = {points[0].x, points[0].y, points[0].x, points[0].y};
    for (const TVec& p : points) {
        box.x0 = std::min(box.x0, p.x);
        box.y0 = std::min(box.y0, p.y);
        box.x1 = std::max(box.x1, p.x);
        box.y1 = std::max(box.y1, p.y);
    }
    return box;
}

}  // namespace

TBox TBox::Grown(float r) const {
    if (IsEmpty()) return *this;
    TBox b{x0 - r, y0 - r, x1 + r, y1 + r};
    return b;
}

float TBox::DistanceTo(float x, float y) const {
    const float dx = std::max({x0 - x, 0.0f, x - x1});
    const float dy = std::max({y0 - y, 0.0f, y - y1});
    return Length(dx, dy);
}

TBox Union(const TBox& a, const TBox& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

TBox Intersect(const TBox& a, const TBox& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

CShape::CShape(TFn fn, const TBox& bounds) : m_fn(std::make_shared<const TFn>(std::move(fn))), m_bounds(bounds) {}

float CShape::Distance(float x, float y) const {
    if (m_fn == nullptr) return kFar;
    return (*m_fn)(x, y);
}

CShape Circle(float cx, float cy, float r) {
    return CShape([=](float x, float y) { return Length(x - cx, y - cy) - r; }, {cx - r, cy - r, cx + r, cy + r});
}

CShape Ellipse(float cx, float cy, float rx, float ry) {
    if (std::fabs(rx - ry) < 1e-4f) return Circle(cx, cy, rx);
    return CShape(
        [=](float x, float y) {
            const float px = x - cx, py = y - cy;
            const float k0 = Length(px / rx, py / ry);
            const float k1 = Length(px / (rx * rx), py / (ry * ry));
            if (k1 < 1e-6f) return -std::min(rx, ry);
            return k0 * (k0 - 1.0f) / k1;
        },
        {cx - rx, cy - ry, cx + rx, cy + ry});
}

CShape RoundRect(float x, float y, float w, float h, float radius) {
    const float hw = w / 2, hh = h / 2;
    const float r = std::clamp(radius, 0.0f, std::min(hw, hh));
    const float cx = x + hw, cy = y + hh;
    return CShape(
        [=](float px, float py) {
            const float qx = std::fabs(px - cx) - (hw - r);
            const float qy = std::fabs(py - cy) - (hh - r);
            return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
        },
        {x, y, x + w, y + h});
}

CShape Rect(float x, float y, float w, float h) { return RoundRect(x, y, w, h, 0); }

CShape Capsule(TVec a, TVec b, float width) { return Polyline({a, b}, width); }

CShape Polyline(const std::vector<TVec>& points, float width) {
    const float half = width / 2;
    if (points.empty()) return {};
    return CShape(
        [=](float x, float y) {
            float best = kFar;
            if (points.size() == 1) return Length(x - points[0].x, y - points[0].y) - half;
            for (std::size_t i = 1; i < points.size(); ++i) {
                best = std::min(best, SegmentDistance2({x, y}, points[i - 1], points[i]));
            }
            return std::sqrt(best) - half;
        },
        BoxOfPoints(points).Grown(half));
}

CShape Polygon(const std::vector<TVec>& points) { return Contours({points}); }

CShape Contours(const std::vector<std::vector<TVec>>& contours) {
    TBox box;
    for (const auto& c : contours) box = Union(box, BoxOfPoints(c));
    return CShape(
        [=](float x, float y) {
            float best = kFar;
            int winding = 0;
            for (const auto& c : contours) {
                const std::size_t n = c.size();
                for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
                    const TVec a = c[j], b = c[i];
                    best = std::min(best, SegmentDistance2({x, y}, a, b));
                    // Non-zero winding: upward crossings to the right count +1, downward -1.
                    const float cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
                    if (a.y <= y && b.y > y && cross > 0) ++winding;
                    if (b.y <= y && a.y > y && cross < 0) --winding;
                }
            }
            const float d = std::sqrt(best);
            return winding != 0 ? -d : d;
        },
        box);
}

CShape Star(float cx, float cy, int points, float outer, float inner, float rotationDeg) {
    std::vector<TVec> outline;
    for (int i = 0; i < points * 2; ++i) {
        const float angle = (rotationDeg - 90.0f) * kDegree +
                            std::numbers::pi_v<float> * static_cast<float>(i) / static_cast<float>(points);
        const float r = (i % 2 == 0) ? outer : inner;
        outline.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return Polygon(outline);
}

CShape RegularPolygon(float cx, float cy, int sides, float r, float rotationDeg) {
    std::vector<TVec> outline;
    for (int i = 0; i < sides; ++i) {
        const float angle = (rotationDeg - 90.0f) * kDegree +
                            2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / static_cast<float>(sides);
        outline.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return Polygon(outline);
}

CShape Heart(float cx, float cy, float size) {
    // The classic parametric heart, scaled to fit size x size and centred on its box.
    std::vector<TVec> outline;
    constexpr int kSteps = 96;
    for (int i = 0; i < kSteps; ++i) {
        const float t = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / kSteps;
        const float s = std::sin(t);
        const float x = 16.0f * s * s * s;
        const float y = -(13.0f * std::cos(t) - 5.0f * std::cos(2 * t) - 2.0f * std::cos(3 * t) - std::cos(4 * t));
        // x spans -16..16, y spans about -12..17.
        outline.push_back({cx + x * size / 34.0f, cy + (y - 2.5f) * size / 31.0f});
    }
    return Polygon(outline);
}

std::vector<TVec> QuadraticCurve(TVec p0, TVec p1, TVec p2, int steps) {
    std::vector<TVec> out;
    steps = std::max(steps, 1);
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps), u = 1 - t;
        out.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    return out;
}

std::vector<TVec> CubicCurve(TVec p0, TVec p1, TVec p2, TVec p3, int steps) {
    std::vector<TVec> out;
    steps = std::max(steps, 1);
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps), u = 1 - t;
        const float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return out;
}

std::vector<TVec> Arc(float cx, float cy, float r, float fromDeg, float toDeg, int steps) {
    std::vector<TVec> out;
    steps = std::max(steps, 1);
    for (int i = 0; i <= steps; ++i) {
        const float a = (fromDeg + (toDeg - fromDeg) * static_cast<float>(i) / static_cast<float>(steps)) * kDegree;
        out.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return out;
}

CShape Union(const CShape& a, const CShape& b) { return Union(std::vector<CShape>{a, b}); }

CShape Union(const std::vector<CShape>& shapes) {
    std::vector<CShape> parts;
    TBox box;
    for (const CShape& s : shapes) {
        if (s.IsEmpty()) continue;
        parts.push_back(s);
        box = Union(box, s.Bounds());
    }
    if (parts.empty()) return {};
    if (parts.size() == 1) return parts[0];
    return CShape(
        [parts](float x, float y) {
            float best = kFar;
            for (const CShape& s : parts) {
                // A part whose box lies outside and farther than the best distance so far
                // cannot be nearer; a box holding the point must be asked, its part may reach
                // deeper inside.
                const float boxDistance = s.Bounds().DistanceTo(x, y);
                if (boxDistance > 0 && boxDistance >= best) continue;
                best = std::min(best, s.Distance(x, y));
            }
            return best;
        },
        box);
}

CShape Intersect(const CShape& a, const CShape& b) {
    const TBox box = Intersect(a.Bounds(), b.Bounds());
    if (a.IsEmpty() || b.IsEmpty() || box.IsEmpty()) return {};
    return CShape([a, b](float x, float y) { return std::max(a.Distance(x, y), b.Distance(x, y)); }, box);
}

CShape Subtract(const CShape& a, const CShape& b) {
    if (a.IsEmpty()) return {};
    if (b.IsEmpty()) return a;
    return CShape([a, b](float x, float y) { return std::max(a.Distance(x, y), -b.Distance(x, y)); }, a.Bounds());
}

CShape Grow(const CShape& a, float r) {
    if (a.IsEmpty()) return {};
    return CShape([a, r](float x, float y) { return a.Distance(x, y) - r; }, a.Bounds().Grown(std::max(r, 0.0f)));
}

CShape Shell(const CShape& a, float width) {
    if (a.IsEmpty()) return {};
    const float half = width / 2;
    return CShape([a, half](float x, float y) { return std::fabs(a.Distance(x, y)) - half; }, a.Bounds().Grown(half));
}

CShape InnerBand(const CShape& a, float width) {
    if (a.IsEmpty()) return {};
    return CShape(
        [a, width](float x, float y) {
            const float d = a.Distance(x, y);
            return std::max(d, -d - width);
        },
        a.Bounds());
}

CShape Translate(const CShape& a, float dx, float dy) {
    if (a.IsEmpty()) return {};
    const TBox b = a.Bounds();
    return CShape([a, dx, dy](float x, float y) { return a.Distance(x - dx, y - dy); },
                  {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy});
}

CShape Rotate(const CShape& a, float cx, float cy, float degrees) {
    if (a.IsEmpty()) return {};
    const float c = std::cos(degrees * kDegree), s = std::sin(degrees * kDegree);
    const TBox b = a.Bounds();
    std::vector<TVec> corners;
    for (TVec p : {TVec{b.x0, b.y0}, TVec{b.x1, b.y0}, TVec{b.x0, b.y1}, TVec{b.x1, b.y1}}) {
        const float px = p.x - cx, py = p.y - cy;
        corners.push_back({cx + px * c - py * s, cy + px * s + py * c});
    }
    return CShape(
        [a, cx, cy, c, s](float x, float y) {
            // The inverse rotation takes the point back into the shape's own frame.
            const float px = x - cx, py = y - cy;
            return a.Distance(cx + px * c + py * s, cy - px * s + py * c);
        },
        BoxOfPoints(corners));
}

CShape Scale(const CShape& a, float cx, float cy, float sx, float sy) {
    if (a.IsEmpty() || sx == 0 || sy == 0) return {};
    const TBox b = a.Bounds();
    const float x0 = cx + (b.x0 - cx) * sx, x1 = cx + (b.x1 - cx) * sx;
    const float y0 = cy + (b.y0 - cy) * sy, y1 = cy + (b.y1 - cy) * sy;
    const float k = std::min(std::fabs(sx), std::fabs(sy));
    return CShape(
        [a, cx, cy, sx, sy, k](float x, float y) { return a.Distance(cx + (x - cx) / sx, cy + (y - cy) / sy) * k; },
        {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
}

CShape MirrorX(const CShape& a, float axisX) { return Scale(a, axisX, 0, -1, 1); }

}  // namespace imagegen
