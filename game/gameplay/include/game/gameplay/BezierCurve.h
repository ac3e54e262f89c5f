// Drawn paths: the chain of cubic Bezier segments a finger draws for a marble. A segment is
// measured once over ten straight pieces and answers the point at a distance along it; the curve
// appends segments, answers the point at a distance from its start, moves with the play area and
// saves its control points (the lengths are measured again when it is read).
//
// Every marble embeds one curve and the gameplay screen keeps one for the path being drawn.
// Units: FIXED_FLOAT (24.8 pixels) throughout. Main thread only.
#pragma once

#include "core/Common.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IFile;

// One cubic segment. A plain record: the curve keeps its segments by value in a growable array,
// so the measured pieces live inside the record rather than in blocks of their own.
class BezierCurveElement {
public:
    // The straight pieces a segment is measured over.
    static constexpr int kPieceCount = 10;

    // Stores the four points (start, first control, second control, end) and measures.
    void SetPoints(const TVector2D& p0, const TVector2D& p1, const TVector2D& p2, const TVector2D& p3);
    // Measures the segment again over its pieces from the current points.
    void CalculateLength();
    // Forgets the pieces and the length; the points stay.
    void Reset();
    // The point of the curve at parameter t (0 at the start, 1 at the end), from the points cut
    // to whole pixels, in double precision.
    TVector2D PointAt(double t) const;
    // The point at a distance from the start: the start below 1/256 pixel, the end at or beyond
    // the length (or without pieces), else the point on the piece the distance falls in.
    TVector2D GetPos(FIXED_FLOAT distance) const;
    // Moves the points and both ends of every piece; the lengths stay.
    void Offset(FIXED_FLOAT dx, FIXED_FLOAT dy);
    // The four points, x then y each: 1, or 0 when a value did not move whole. Reading measures
    // the segment again.
    int Serialize(IFile* file, bool writing);

    FIXED_FLOAT GetLength() const { return m_nLength; }
    bool HasPieces() const { return m_bHasPieces; }

    // ==== State ============================================================================
    TVector2D m_Points[4] = {};  // start, first control, second control, end
    FIXED_FLOAT m_nLength = 0;   // the sum of the piece lengths (held to the 32-bit range)
    // Per piece its start x, start y, end x, end y, and its length.
    FIXED_FLOAT m_Pieces[kPieceCount][4] = {};
    FIXED_FLOAT m_PieceLengths[kPieceCount] = {};
    bool m_bHasPieces = false;
    CGameBase* m_pGame = nullptr;  // handed on by the curve
};

class BezierCurve {
public:
    // Segments appended at a time when the storage is full.
    static constexpr int kGrowBy = 100;
    // The point of an empty path or of a distance beyond its end: (-40.0, -40.0). The gameplay
    // screen takes a negative coordinate as the end of the path.
    static constexpr FIXED_FLOAT kOffPath = -40 * 256;

    BezierCurve();
    BezierCurve(const BezierCurve&) = delete;
    BezierCurve& operator=(const BezierCurve&) = delete;
    virtual ~BezierCurve() = default;

    // Empties the path; the storage stays for the next segments.
    void Reset();
    // Appends a measured segment: 1, or 0 (nothing added) when the storage cannot grow.
    int AddSpline(const TVector2D& p0, const TVector2D& p1, const TVector2D& p2, const TVector2D& p3);
    // The sum of the segment lengths (0 for an empty path).
    FIXED_FLOAT Length() const;
    // The point at that distance from the start; segment, when not null, receives the index of
    // the segment used, or -1 with (-40.0, -40.0) for an empty path or a distance past the end.
    TVector2D GetPos(FIXED_FLOAT distance, int* segment) const;
    // Moves every segment.
    void Offset(FIXED_FLOAT dx, FIXED_FLOAT dy);
    // The game pointer handed to the segments appended from now on.
    void SetGamePtr(CGameBase* game) { m_pGame = game; }
    int GetNumSegments() const { return m_nUsed; }
    // Segment i, or null outside 0 .. count - 1.
    BezierCurveElement* GetSegment(int i);
    const BezierCurveElement* GetSegment(int i) const;
    // The saved record: the segment count, then each segment's four points. Reading empties the
    // path first and fails, before anything is appended, when the count is negative or more than
    // the bytes left in the file could hold; 1 on success, 0 on failure.
    int Serialize(IFile* file, bool writing);

    // ==== State ============================================================================
    CQuorvanArray<BezierCurveElement> m_Elements;  // the first m_nUsed are the path
    int m_nUsed = 0;                               // always equal to m_Elements.count
    CGameBase* m_pGame = nullptr;
};
