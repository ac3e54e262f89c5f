// Shapes of the image generator as signed distance functions: the distance in logical pixels
// from a point to the shape's outline, negative inside. A shape also carries a bounding box so
// fills only visit the samples that can be covered. Shapes are cheap to copy (shared).
#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace imagegen {

struct TVec {
    float x = 0, y = 0;
};

// An axis-aligned box; x0 > x1 means empty.
struct TBox {
    float x0 = 1, y0 = 1, x1 = 0, y1 = 0;
    bool IsEmpty() const { return x0 > x1 || y0 > y1; }
    TBox Grown(float r) const;
    // Distance from a point to the box, 0 inside. No point of a shape inside the box lies
    // closer, so it bounds the shape's distance from below.
    float DistanceTo(float x, float y) const;
};
TBox Union(const TBox& a, const TBox& b);
TBox Intersect(const TBox& a, const TBox& b);

class CShape {
public:
    using TFn = std::function<float(float, float)>;
    // The empty shape: everything is outside.
    CShape() = default;
    CShape(TFn fn, const TBox& bounds);

    float Distance(float x, float y) const;
    const TBox& Bounds() const { return m_bounds; }
    bool IsEmpty() const { return m_fn == nullptr || m_bounds.IsEmpty(); }

private:
    std::shared_ptr<const TFn> m_fn;
    TBox m_bounds;
};

// Primitives.
CShape Circle(float cx, float cy, float r);
// Approximate distance away from the outline, exact on it: good for anti-aliasing and for
// small grow amounts.
CShape Ellipse(float cx, float cy, float rx, float ry);
// Radius is clamped to half the smaller side.
CShape RoundRect(float x, float y, float w, float h, float radius);
CShape Rect(float x, float y, float w, float h);
// A line of the given width with round ends.
CShape Capsule(TVec a, TVec b, float width);
// A connected line of round-joined segments.
CShape Polyline(const std::vector<TVec>& points, float width);
// One closed contour, or several filled by the non-zero winding rule (holes wind the other way).
CShape Polygon(const std::vector<TVec>& points);
CShape Contours(const std::vector<std::vector<TVec>>& contours);
// Star of n points; rotation in degrees, 0 puts the first point straight up.
CShape Star(float cx, float cy, int points, float outer, float inner, float rotationDeg = 0);
CShape RegularPolygon(float cx, float cy, int sides, float r, float rotationDeg = 0);
// A cartoon heart filling roughly size x size around its centre.
CShape Heart(float cx, float cy, float size);

// Outline points of curves, for polygons and polylines; steps >= 1 segments.
std::vector<TVec> QuadraticCurve(TVec p0, TVec p1, TVec p2, int steps);
std::vector<TVec> CubicCurve(TVec p0, TVec p1, TVec p2, TVec p3, int steps);
// Points of a circular arc, angles in degrees clockwise from +x (y grows downwards).
std::vector<TVec> Arc(float cx, float cy, float r, float fromDeg, float toDeg, int steps);

// Combinators.
CShape Union(const CShape& a, const CShape& b);
CShape Union(const std::vector<CShape>& shapes);
CShape Intersect(const CShape& a, const CShape& b);
CShape Subtract(const CShape& a, const CShape& b);
// Grows the shape by r pixels (shrinks for r < 0); corners round off.
CShape Grow(const CShape& a, float r);
// The band of the given width centred on the outline.
CShape Shell(const CShape& a, float width);
// The band of the given width just inside the outline.
CShape InnerBand(const CShape& a, float width);
CShape Translate(const CShape& a, float dx, float dy);
// Rotation in degrees, clockwise on screen, about (cx, cy).
CShape Rotate(const CShape& a, float cx, float cy, float degrees);
CShape Scale(const CShape& a, float cx, float cy, float sx, float sy);
CShape MirrorX(const CShape& a, float axisX);

}  // namespace imagegen
