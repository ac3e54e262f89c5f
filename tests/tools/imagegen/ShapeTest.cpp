// Distance functions against the geometry they stand for: distances worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "imagegen/Shape.h"

using namespace imagegen;

namespace {

struct TDistanceCase {
    const char* why;
    CShape shape;
    float x, y;
    float expected;
};

}  // namespace

TEST(Shape, PrimitivesGiveTheEuclideanDistanceToTheirOutline) {
    const TDistanceCase cases[] = {
        {"circle: outside along an axis", Circle(10, 10, 5), 20, 10, 5},
        {"circle: at the centre, the radius inside", Circle(10, 10, 5), 10, 10, -5},
        {"circle: on a diagonal", Circle(0, 0, 5), 6, 8, 5},
        {"rectangle: beside an edge", Rect(0, 0, 10, 4), 13, 2, 3},
        {"rectangle: off a corner", Rect(0, 0, 10, 4), 13, 8, 5},
        {"rectangle: inside, nearest the short side", Rect(0, 0, 10, 4), 5, 1, -1},
        {"rounded corner: distance to the corner circle", RoundRect(0, 0, 10, 10, 4), 0, 0, std::sqrt(32.0f) - 4},
        {"capsule: beside the middle", Capsule({0, 0}, {10, 0}, 2), 5, 3, 2},
        {"capsule: past an end", Capsule({0, 0}, {10, 0}, 2), 13, 4, 4},
        {"polygon: triangle, below its base", Polygon({{0, 0}, {10, 0}, {0, 10}}), 2, -3, 3},
        {"ellipse: on the long axis", Ellipse(0, 0, 10, 4), 12, 0, 2},
        {"ellipse: on the short axis", Ellipse(0, 0, 10, 4), 0, -7, 3},
    };
    for (const TDistanceCase& c : cases) EXPECT_NEAR(c.shape.Distance(c.x, c.y), c.expected, 1e-3f) << c.why;
}

TEST(Shape, ContoursFollowTheNonZeroWindingRule) {
    // A square with a square hole wound the other way, and a second square wound the same way
    // overlapping the first: the hole is outside, the overlap inside.
    const std::vector<TVec> outer = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
    const std::vector<TVec> hole = {{5, 5}, {5, 15}, {15, 15}, {15, 5}};
    const std::vector<TVec> same = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
    const CShape ring = Contours({outer, hole});
    EXPECT_LT(ring.Distance(2, 10), 0) << "in the frame of the ring";
    EXPECT_NEAR(ring.Distance(10, 10), 5, 1e-4f) << "the hole is outside, 5 from its edges";
    const CShape both = Contours({outer, same});
    EXPECT_LT(both.Distance(15, 15), 0) << "an overlap of two like-wound contours stays filled";
}

TEST(Shape, CombinatorsKeepTheirSetMeaning) {
    const CShape a = Circle(0, 0, 10), b = Circle(12, 0, 10);
    EXPECT_LT(Union(a, b).Distance(20, 0), 0);
    EXPECT_GT(Intersect(a, b).Distance(-5, 0), 0);
    EXPECT_LT(Intersect(a, b).Distance(6, 0), 0);
    EXPECT_GT(Subtract(a, b).Distance(6, 0), 0);
    EXPECT_LT(Subtract(a, b).Distance(-5, 0), 0);
    EXPECT_NEAR(Grow(a, 3).Distance(15, 0), 2, 1e-4f);
    EXPECT_NEAR(Shell(a, 2).Distance(10, 0), -1, 1e-4f) << "a band centred on the outline";
    EXPECT_GT(InnerBand(a, 2).Distance(0, 0), 0) << "the band leaves the middle out";
    EXPECT_LT(InnerBand(a, 2).Distance(9, 0), 0);
}

TEST(Shape, UnionAnswersTheDeepestPartInsideOverlappingBoxes) {
    // The point lies inside both circles' boxes, just inside the small circle's edge but deep in
    // the large one: the union must report the large circle's depth, not stop at the first part
    // whose box holds the point (a shortcut that drew stray outlines inside merged shapes).
    const CShape small = Circle(0, 0, 4), large = Circle(6, 0, 10);
    EXPECT_NEAR(Union(small, large).Distance(3.5f, 0), -7.5f, 1e-4f);
    EXPECT_NEAR(Union(large, small).Distance(3.5f, 0), -7.5f, 1e-4f);
}

TEST(Shape, TransformsMoveTheOutline) {
    const CShape bar = Rect(0, 0, 10, 2);
    EXPECT_NEAR(Translate(bar, 5, 5).Distance(5, 4), 1, 1e-4f);
    // Turned a quarter clockwise about its left end, the bar hangs down from (0, 1).
    const CShape turned = Rotate(bar, 0, 1, 90);
    EXPECT_LT(turned.Distance(0, 8), 0);
    EXPECT_GT(turned.Distance(8, 1), 0);
    EXPECT_NEAR(Scale(Circle(0, 0, 5), 0, 0, 2, 2).Distance(13, 0), 3, 1e-4f);
    EXPECT_LT(MirrorX(Rect(0, 0, 4, 4), 10).Distance(18, 2), 0) << "mirrored about x = 10";
    const TBox box = Rotate(bar, 0, 1, 90).Bounds();
    EXPECT_NEAR(box.y1, 11, 1e-3f);
}

TEST(Shape, StarsAndRegularPolygonsHaveTheirRadii) {
    const CShape star = Star(0, 0, 5, 10, 4);
    EXPECT_NEAR(star.Distance(0, -10), 0, 1e-3f) << "first point straight up";
    // From the centre the inner points are nearest: each edge's closest point to the centre lies
    // past its inner end, as the angle at an inner point is obtuse.
    EXPECT_NEAR(star.Distance(0, 0), -4, 1e-3f);
    const CShape hexagon = RegularPolygon(0, 0, 6, 10);
    // The inradius of a regular hexagon is r cos 30.
    EXPECT_NEAR(hexagon.Distance(0, 0), -10 * std::cos(3.14159265f / 6), 1e-3f);
}

TEST(Shape, CurvesEndAtTheirEndPoints) {
    const std::vector<TVec> q = QuadraticCurve({0, 0}, {5, 10}, {10, 0}, 8);
    ASSERT_EQ(q.size(), 9u);
    EXPECT_FLOAT_EQ(q.back().x, 10);
    // The middle of a quadratic Bezier is (p0 + 2 p1 + p2) / 4.
    EXPECT_NEAR(q[4].y, 5, 1e-5f);
    const std::vector<TVec> arc = Arc(0, 0, 10, 0, 90, 4);
    EXPECT_NEAR(arc.back().y, 10, 1e-4f) << "angles turn clockwise on screen, towards +y";
}
