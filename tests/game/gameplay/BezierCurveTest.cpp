// Drawn paths: where a distance along the path lands, how segments are measured (also past the
// 181-pixel limit of the game's arithmetic), storage reuse, moving, and the saved record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "RecordBytes.h"
#include "game/gameplay/BezierCurve.h"
#include "game/widgets/GameplayMath.h"

namespace {

using gameplaytest::Bytes;
using gameplaytest::ReadFrom;
using gameplaytest::WrittenBy;

TVector2D Px(int x, int y) { return TVector2D{x * 256, y * 256}; }

::testing::AssertionResult SamePoint(TVector2D a, TVector2D b, int tolerance = 0) {
    if (std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ") vs (" << b.x << ", " << b.y << ")";
}

// The cubic's point at t from the control points in whole pixels, written out from the
// Bernstein form: the reference the measured pieces must end on.
TVector2D Bernstein(const TVector2D p[4], double t) {
    const double u = 1 - t;
    const auto axis = [&](int a, int b, int c, int d) {
        const double v =
            u * u * u * (a >> 8) + 3 * t * u * u * (b >> 8) + 3 * t * t * u * (c >> 8) + t * t * t * (d >> 8);
        return static_cast<int>(v * 256 + 0.5);
    };
    return TVector2D{axis(p[0].x, p[1].x, p[2].x, p[3].x), axis(p[0].y, p[1].y, p[2].y, p[3].y)};
}

// A straight segment whose controls stand at its thirds (all whole pixels).
void AddStraight(BezierCurve& curve, int x0, int y0, int x3, int y3) {
    const int dx = (x3 - x0) / 3, dy = (y3 - y0) / 3;
    ASSERT_EQ(curve.AddSpline(Px(x0, y0), Px(x0 + dx, y0 + dy), Px(x0 + 2 * dx, y0 + 2 * dy), Px(x3, y3)), 1);
}

TEST(BezierCurve, DistancesFromTheStartToOneUnitPastTheEnd) {
    BezierCurve curve;
    int segment = 99;
    EXPECT_TRUE(SamePoint(curve.GetPos(0, &segment), TVector2D{-10240, -10240})) << "an empty path";
    EXPECT_EQ(segment, -1);
    EXPECT_EQ(curve.Length(), 0);

    AddStraight(curve, 10, 20, 70, 20);  // 60 px to the right
    AddStraight(curve, 70, 20, 70, 80);  // 60 px down
    const FIXED_FLOAT first = curve.GetSegment(0)->GetLength();
    const FIXED_FLOAT total = curve.Length();
    ASSERT_EQ(total, first + curve.GetSegment(1)->GetLength());

    struct TCase {
        FIXED_FLOAT distance;
        TVector2D point;
        int segment;
        int tolerance;
        const char* why;
    } cases[] = {
        {0, Px(10, 20), 0, 0, "the first control point at 0"},
        {-500, Px(10, 20), 0, 0, "a distance before the start is the start"},
        {first, Px(70, 20), 0, 0, "exactly the first segment's length is its end"},
        {first + 30 * 256, Px(70, 50), 1, 8, "half way down the second segment"},
        {total, Px(70, 80), 1, 0, "the whole length is the last end point"},
        {total + 1, TVector2D{-10240, -10240}, -1, 0, "one unit beyond the end is off the path"},
        {total + 99999, TVector2D{-10240, -10240}, -1, 0, "far beyond as well"},
    };
    for (const TCase& c : cases) {
        segment = 99;
        EXPECT_TRUE(SamePoint(curve.GetPos(c.distance, &segment), c.point, c.tolerance)) << c.why;
        EXPECT_EQ(segment, c.segment) << c.why;
    }
    EXPECT_TRUE(SamePoint(curve.GetPos(total, nullptr), Px(70, 80))) << "the segment index is optional";
}

TEST(BezierCurve, BelowOneUnitTheStartIsTheFirstControlPointItself) {
    // Control points off the whole pixels: the measured pieces start on the truncated point
    // (10, 20), the segment itself on (10.5, 20.25).
    BezierCurve curve;
    const TVector2D p0{10 * 256 + 128, 20 * 256 + 64};
    ASSERT_EQ(curve.AddSpline(p0, TVector2D{40 * 256 + 200, 20 * 256 + 64}, TVector2D{70 * 256 + 99, 20 * 256 + 64},
                              TVector2D{100 * 256 + 128, 20 * 256 + 64}),
              1);
    const BezierCurveElement* element = curve.GetSegment(0);
    struct TCase {
        FIXED_FLOAT distance;
        TVector2D point;
    };
    const TCase cases[] = {{-5, p0}, {0, p0}, {1, Px(10, 20)}, {2, Px(10, 20)}};
    for (const TCase& c : cases) {
        EXPECT_TRUE(SamePoint(element->GetPos(c.distance), c.point)) << c.distance;
        EXPECT_TRUE(SamePoint(curve.GetPos(c.distance, nullptr), c.point)) << c.distance;
    }
}

TEST(BezierCurve, FourEqualPointsMeasureNothingAndGiveTheirEnd) {
    BezierCurve curve;
    ASSERT_EQ(curve.AddSpline(Px(50, 60), Px(50, 60), Px(50, 60), Px(50, 60)), 1);
    const BezierCurveElement* element = curve.GetSegment(0);
    EXPECT_EQ(element->GetLength(), 0);
    EXPECT_EQ(curve.Length(), 0);
    for (FIXED_FLOAT d : {1, 2, 256, 100000}) EXPECT_TRUE(SamePoint(element->GetPos(d), Px(50, 60))) << d;
    int segment = 99;
    EXPECT_TRUE(SamePoint(curve.GetPos(0, &segment), Px(50, 60)));
    EXPECT_EQ(segment, 0);
    EXPECT_TRUE(SamePoint(curve.GetPos(1, &segment), TVector2D{-10240, -10240}));
    EXPECT_EQ(segment, -1);
}

TEST(BezierCurve, AStraightSegmentMeasuresItsLength) {
    struct TCase {
        int x0, y0, x3, y3;
        const char* why;
    } cases[] = {
        {0, 0, 99, 0, "horizontal"},
        {40, 300, 40, 240, "vertical, upwards"},
        {0, 0, 60, 81, "diagonal"},
        {200, 100, 203, 94, "a few pixels"},
        {300, 450, 0, 0, "long diagonal backwards, pieces below 181 pixels"},
    };
    for (const TCase& c : cases) {
        BezierCurve curve;
        AddStraight(curve, c.x0, c.y0, c.x3, c.y3);
        const double exact = std::hypot(c.x3 - c.x0, c.y3 - c.y0) * 256;
        // Ten pieces, each end rounded to 1/256 pixel and each length rounded once.
        EXPECT_NEAR(curve.Length(), exact, 12) << c.why;
    }
}

TEST(BezierCurve, PiecesOverTheLimitAreMeasuredOnCoordinatesDividedBy128) {
    BezierCurve curve;
    AddStraight(curve, 0, 0, 2001, 0);  // ten pieces of 200.1 pixels
    const TVector2D p[4] = {Px(0, 0), Px(667, 0), Px(1334, 0), Px(2001, 0)};
    // The reference in double: each piece's 24.8 length, its components divided by 128 towards
    // zero because |dx| + |dy| passes 46336, squared with the game's shifts, multiplied back.
    long long expected = 0;
    for (int i = 1; i <= 10; ++i) {
        const TVector2D a = Bernstein(p, (i - 1) / 10.0), b = Bernstein(p, i / 10.0);
        long long dx = b.x - a.x, dy = b.y - a.y;
        ASSERT_GE(std::llabs(dx) + std::llabs(dy), 46337);
        dx /= 128;
        dy /= 128;
        const double px = std::sqrt((((dx * dx) >> 8) + ((dy * dy) >> 8)) / 256.0) * 128;
        expected += std::llround(px * 256);
    }
    EXPECT_EQ(curve.Length(), expected);
    EXPECT_LT(curve.Length(), 2001 * 256 - 200) << "the coarse branch loses about a pixel over this path";

    BezierCurve near;
    AddStraight(near, 0, 0, 1800, 0);  // pieces of 180 pixels stay in the fine branch
    EXPECT_EQ(near.Length(), 1800 * 256);
}

TEST(BezierCurve, TheCoarseBranchStartsAtASumOf46337) {
    // Worked by hand: 46336 is 181 pixels exactly, so its square in the fine branch is whole;
    // one unit more goes to 46337 / 128 = 362 (towards zero), 362 x 362 >> 8 = 511, and the
    // root of 511 / 256 is taken and multiplied by 128. The length drops there by about 0.16
    // pixel: the step the game's paths have always had.
    struct TCase {
        std::int64_t dx, dy;
        double px;
        const char* why;
    } cases[] = {
        {46336, 0, 181.0, "the last sum of the fine branch"},
        {46337, 0, 128 * std::sqrt(511 / 256.0), "the first sum of the coarse branch"},
        {-46337, 0, 128 * std::sqrt(511 / 256.0), "negative components divide towards zero"},
        {0, -46337, 128 * std::sqrt(511 / 256.0), "the sum counts either axis"},
        // 23168 is 90.5 pixels: 23168 x 23168 >> 8 = 2096704 twice, over 256.
        {23168, 23168, std::sqrt(2 * 2096704 / 256.0), "split over both axes, still fine"},
        // 23169 / 128 and 23168 / 128 are both 181; 181 x 181 >> 8 = 127 twice.
        {23169, 23168, 128 * std::sqrt(254 / 256.0), "split over both axes, just coarse"},
    };
    for (const TCase& c : cases) EXPECT_DOUBLE_EQ(gameplay::PathLengthPx(c.dx, c.dy), c.px) << c.why;
}

TEST(BezierCurve, PieceEndsLieOnTheCurveAndPointsBetweenOnTheirPiece) {
    BezierCurve curve;
    const TVector2D p[4] = {Px(20, 400), Px(60, 100), Px(260, 120), Px(300, 380)};
    ASSERT_EQ(curve.AddSpline(p[0], p[1], p[2], p[3]), 1);
    const BezierCurveElement& e = *curve.GetSegment(0);
    FIXED_FLOAT before = 0;
    for (int i = 0; i < BezierCurveElement::kPieceCount; ++i) {
        const FIXED_FLOAT length = e.m_PieceLengths[i];
        const TVector2D a = Bernstein(p, i / 10.0), b = Bernstein(p, (i + 1) / 10.0);
        EXPECT_NEAR(length, std::hypot(b.x - a.x, b.y - a.y), 1.0) << "piece " << i;
        EXPECT_TRUE(SamePoint(curve.GetPos(before + length, nullptr), b)) << "end of piece " << i;
        // Half way into the piece: half way between its ends.
        const TVector2D mid = curve.GetPos(before + length / 2, nullptr);
        EXPECT_TRUE(SamePoint(mid, TVector2D{(a.x + b.x) / 2, (a.y + b.y) / 2}, 2)) << "inside piece " << i;
        before += length;
    }
    EXPECT_EQ(before, curve.Length());
}

TEST(BezierCurve, ResetKeepsTheStorageForTheNextSegments) {
    BezierCurve curve;
    for (int i = 0; i < 3; ++i) AddStraight(curve, 0, 0, 30 * (i + 1), 0);
    const BezierCurveElement* block = curve.m_Elements.data;
    ASSERT_EQ(curve.m_Elements.capacity, BezierCurve::kGrowBy);
    curve.Reset();
    EXPECT_EQ(curve.GetNumSegments(), 0);
    EXPECT_EQ(curve.m_Elements.count, 0);
    EXPECT_EQ(curve.Length(), 0);
    EXPECT_EQ(curve.GetPos(0, nullptr).x, -10240);
    AddStraight(curve, 5, 5, 35, 5);
    EXPECT_EQ(curve.m_Elements.data, block) << "no new block after a reset";
    EXPECT_EQ(curve.GetNumSegments(), 1);
    EXPECT_NEAR(curve.Length(), 30 * 256, 4);
}

TEST(BezierCurve, StorageGrowsByAHundredSegmentsKeepingThem) {
    BezierCurve curve;
    for (int i = 0; i < 101; ++i) AddStraight(curve, i, 0, i, 30);
    EXPECT_EQ(curve.m_Elements.capacity, 200);
    EXPECT_EQ(curve.GetNumSegments(), 101);
    for (int i : {0, 57, 99, 100}) {
        EXPECT_TRUE(SamePoint(curve.GetSegment(i)->m_Points[0], Px(i, 0))) << i;
        EXPECT_NEAR(curve.GetSegment(i)->GetLength(), 30 * 256, 4) << i;
    }
    EXPECT_EQ(curve.GetSegment(101), nullptr);
    EXPECT_EQ(curve.GetSegment(-1), nullptr);
}

TEST(BezierCurve, OffsetMovesEveryPointAndKeepsTheLengths) {
    BezierCurve curve;
    const TVector2D p[4] = {Px(20, 100), Px(80, 20), Px(150, 200), Px(220, 90)};
    ASSERT_EQ(curve.AddSpline(p[0], p[1], p[2], p[3]), 1);
    AddStraight(curve, 220, 90, 220, 150);
    const FIXED_FLOAT length = curve.Length();
    const FIXED_FLOAT probes[] = {0, 1000, length / 3, length - 700, length};
    TVector2D before[5];
    for (int i = 0; i < 5; ++i) before[i] = curve.GetPos(probes[i], nullptr);
    curve.Offset(5 * 256 + 17, -3 * 256);
    EXPECT_EQ(curve.Length(), length);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(SamePoint(curve.GetPos(probes[i], nullptr),
                              TVector2D{before[i].x + 5 * 256 + 17, before[i].y - 3 * 256}, 1))
            << probes[i];
    EXPECT_TRUE(SamePoint(curve.GetSegment(0)->m_Points[2], TVector2D{150 * 256 + 5 * 256 + 17, 197 * 256}));
}

// Three segments as the record stores them: the count, then four points per segment.
Bytes ThreeSegmentRecord() {
    CByteBuilder b;
    b.Int(3);
    const int points[3][8] = {{0, 0, 8448, 0, 16896, 0, 25344, 0},  // 0 .. 99 px straight
                              {25344, 0, 30000, 12000, 40000, -5000, 51200, 25600},
                              {51200, 25600, 51200, 25600, 60000, 40000, 70000, 51200}};
    for (const auto& segment : points)
        for (int v : segment) b.Int(v);
    return b.bytes;
}

TEST(BezierCurve, AThreeSegmentRecordReadsMeasuresAndWritesBackAsItWas) {
    const Bytes golden = ThreeSegmentRecord();
    BezierCurve curve;
    AddStraight(curve, 1, 1, 31, 1);  // whatever was there goes first
    int consumed = 0;
    ASSERT_EQ(ReadFrom(
                  golden, [&](IFile* f) { return curve.Serialize(f, false); }, &consumed),
              1);
    EXPECT_EQ(consumed, static_cast<int>(golden.size()));
    ASSERT_EQ(curve.GetNumSegments(), 3);
    EXPECT_TRUE(SamePoint(curve.GetSegment(1)->m_Points[2], TVector2D{40000, -5000}));
    EXPECT_TRUE(SamePoint(curve.GetSegment(2)->m_Points[3], TVector2D{70000, 51200}));
    EXPECT_NEAR(curve.GetSegment(0)->GetLength(), 99 * 256, 4) << "lengths are measured again";
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(curve.GetSegment(i)->HasPieces()) << i;
    EXPECT_TRUE(SamePoint(curve.GetPos(curve.Length(), nullptr), TVector2D{70000, 51200}));

    // The same path appended by hand answers every distance the same way.
    BezierCurve built;
    for (int i = 0; i < 3; ++i) {
        const TVector2D* q = curve.GetSegment(i)->m_Points;
        ASSERT_EQ(built.AddSpline(q[0], q[1], q[2], q[3]), 1);
    }
    for (FIXED_FLOAT d = 0; d <= curve.Length(); d += 1111)
        EXPECT_TRUE(SamePoint(curve.GetPos(d, nullptr), built.GetPos(d, nullptr))) << d;

    EXPECT_EQ(WrittenBy([&](IFile* f) { return curve.Serialize(f, true); }), golden);
}

TEST(BezierCurve, DamagedRecordsFailBeforeAnythingIsMade) {
    const Bytes golden = ThreeSegmentRecord();
    struct TCase {
        Bytes bytes;
        const char* why;
    } cases[] = {
        {CByteBuilder().Int(-1).bytes, "a negative count"},
        {CByteBuilder().Int(100000).Zeros(64).bytes, "more segments than the bytes left could hold"},
        {CByteBuilder().Int(2).Raw(Bytes(golden.begin() + 4, golden.begin() + 36)).bytes,
         "the second segment is missing"},
        {CByteBuilder().Int(1).Zeros(20).bytes, "a segment cut short"},
        {Bytes{1, 0}, "a count cut short"},
    };
    for (const TCase& c : cases) {
        BezierCurve curve;
        EXPECT_EQ(ReadFrom(c.bytes, [&](IFile* f) { return curve.Serialize(f, false); }), 0) << c.why;
        EXPECT_LE(curve.m_Elements.capacity, BezierCurve::kGrowBy) << c.why;
    }
    BezierCurve huge;
    ASSERT_EQ(ReadFrom(cases[1].bytes, [&](IFile* f) { return huge.Serialize(f, false); }), 0);
    EXPECT_EQ(huge.m_Elements.data, nullptr) << "no storage for a count the file cannot hold";

    BezierCurve empty;
    AddStraight(empty, 0, 0, 30, 0);
    EXPECT_EQ(ReadFrom(CByteBuilder().Int(0).bytes, [&](IFile* f) { return empty.Serialize(f, false); }), 1);
    EXPECT_EQ(empty.GetNumSegments(), 0) << "an empty record gives an empty path";
}

}  // namespace
