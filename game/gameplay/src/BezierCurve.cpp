#include "game/gameplay/BezierCurve.h"

#include "game/widgets/RecordReading.h"
#include "core/Serializer.h"
#include "game/widgets/GameplayMath.h"

using gameplay::Clamp32;
using gameplay::WrapAdd;

namespace {

// A segment point on the saved record: x and y.
constexpr int kStoredSegmentBytes = 4 * 8;
// Below this many 1/256 pixels a distance asks for the segment's start.
constexpr FIXED_FLOAT kStartDistance = 1;
// A piece shorter than this (1/16 pixel) has no room to place a point on: its start is taken.
constexpr FIXED_FLOAT kShortestPiece = 16;

}  // namespace

// ---- BezierCurveElement ------------------------------------------------------------------------

void BezierCurveElement::SetPoints(const TVector2D& p0, const TVector2D& p1, const TVector2D& p2, const TVector2D& p3) {
    m_Points[0] = p0;
    m_Points[1] = p1;
    m_Points[2] = p2;
    m_Points[3] = p3;
    CalculateLength();
}

void BezierCurveElement::Reset() {
    for (auto& piece : m_Pieces)
        for (FIXED_FLOAT& v : piece) v = 0;
    for (FIXED_FLOAT& l : m_PieceLengths) l = 0;
    m_nLength = 0;
    m_bHasPieces = false;
}

TVector2D BezierCurveElement::PointAt(double t) const {
    const double u = 1.0 - t;
    const double w0 = u * u * u, w1 = 3.0 * t * u * u, w2 = 3.0 * t * t * u, w3 = t * t * t;
    // The curve is evaluated on whole pixels: the control points are cut down first.
    const auto axis = [&](FIXED_FLOAT TVector2D::*c) {
        const double v = w0 * (m_Points[0].*c >> 8) + w1 * (m_Points[1].*c >> 8) + w2 * (m_Points[2].*c >> 8) +
                         w3 * (m_Points[3].*c >> 8);
        return gameplay::TruncToInt32(v * 256.0 + 0.5);
    };
    return TVector2D{axis(&TVector2D::x), axis(&TVector2D::y)};
}

void BezierCurveElement::CalculateLength() {
    Reset();
    std::int64_t total = 0;
    TVector2D previous = PointAt(0.0);
    for (int i = 1; i <= kPieceCount; ++i) {
        const TVector2D next = PointAt(static_cast<double>(i) / kPieceCount);
        const double px = gameplay::PathLengthPx(static_cast<std::int64_t>(next.x) - previous.x,
                                                 static_cast<std::int64_t>(next.y) - previous.y);
        const FIXED_FLOAT length = gameplay::RoundToInt32(px * 256.0);
        FIXED_FLOAT* piece = m_Pieces[i - 1];
        piece[0] = previous.x;
        piece[1] = previous.y;
        piece[2] = next.x;
        piece[3] = next.y;
        m_PieceLengths[i - 1] = length;
        total += length;
        previous = next;
    }
    m_nLength = Clamp32(total);
    m_bHasPieces = true;
}

TVector2D BezierCurveElement::GetPos(FIXED_FLOAT distance) const {
    if (distance < kStartDistance) return m_Points[0];
    if (distance < m_nLength && m_bHasPieces) {
        std::int64_t before = 0;
        for (int i = 0; i < kPieceCount; ++i) {
            const FIXED_FLOAT length = m_PieceLengths[i];
            if (distance > before + length) {
                before += length;
                continue;
            }
            const FIXED_FLOAT* piece = m_Pieces[i];
            const TVector2D start{piece[0], piece[1]};
            if (length < kShortestPiece) return start;
            // The fraction into the piece in 24.8, from integer divisions as the game measures it.
            const std::int64_t fraction = ((distance - before) * 16) / (length / 16);
            const auto along = [&](FIXED_FLOAT from, FIXED_FLOAT to) {
                return Clamp32(from + (((static_cast<std::int64_t>(to) - from) * fraction) >> 8));
            };
            return TVector2D{along(piece[0], piece[2]), along(piece[1], piece[3])};
        }
    }
    return m_Points[3];
}

void BezierCurveElement::Offset(FIXED_FLOAT dx, FIXED_FLOAT dy) {
    for (TVector2D& p : m_Points) {
        p.x = WrapAdd(p.x, dx);
        p.y = WrapAdd(p.y, dy);
    }
    for (auto& piece : m_Pieces) {
        piece[0] = WrapAdd(piece[0], dx);
        piece[1] = WrapAdd(piece[1], dy);
        piece[2] = WrapAdd(piece[2], dx);
        piece[3] = WrapAdd(piece[3], dy);
    }
}

int BezierCurveElement::Serialize(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    for (TVector2D& p : m_Points) h.Serialize(p);
    if (!writing && h.Succeeded()) CalculateLength();
    return h.Succeeded();
}

// ---- BezierCurve -------------------------------------------------------------------------------

BezierCurve::BezierCurve() {
    m_Elements.growBy = kGrowBy;
    Reset();
}

void BezierCurve::Reset() {
    for (int i = 0; i < m_nUsed && i < m_Elements.count; ++i) m_Elements.data[i].Reset();
    m_nUsed = 0;
    m_Elements.count = 0;
}

int BezierCurve::AddSpline(const TVector2D& p0, const TVector2D& p1, const TVector2D& p2, const TVector2D& p3) {
    BezierCurveElement element;
    element.m_pGame = m_pGame;
    if (!m_Elements.Add(element)) return 0;
    m_Elements.data[m_Elements.count - 1].SetPoints(p0, p1, p2, p3);
    m_nUsed = m_Elements.count;
    return 1;
}

FIXED_FLOAT BezierCurve::Length() const {
    std::int64_t total = 0;
    for (int i = 0; i < m_nUsed; ++i) total += m_Elements.data[i].GetLength();
    return Clamp32(total);
}

TVector2D BezierCurve::GetPos(FIXED_FLOAT distance, int* segment) const {
    std::int64_t before = 0;
    for (int i = 0; i < m_nUsed; ++i) {
        const BezierCurveElement& element = m_Elements.data[i];
        if (distance > before + element.GetLength()) {
            before += element.GetLength();
            continue;
        }
        if (segment != nullptr) *segment = i;
        return element.GetPos(Clamp32(distance - before));
    }
    if (segment != nullptr) *segment = -1;
    return TVector2D{kOffPath, kOffPath};
}

void BezierCurve::Offset(FIXED_FLOAT dx, FIXED_FLOAT dy) {
    for (int i = 0; i < m_nUsed; ++i) m_Elements.data[i].Offset(dx, dy);
}

BezierCurveElement* BezierCurve::GetSegment(int i) { return i >= 0 && i < m_nUsed ? &m_Elements.data[i] : nullptr; }

const BezierCurveElement* BezierCurve::GetSegment(int i) const {
    return i >= 0 && i < m_nUsed ? &m_Elements.data[i] : nullptr;
}

int BezierCurve::Serialize(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    int used = m_nUsed;
    if (!writing) Reset();
    if (!gameplay::SerializeCount(h, used, kStoredSegmentBytes)) return 0;
    for (int i = 0; i < used; ++i) {
        if (!writing) {
            BezierCurveElement element;
            element.m_pGame = m_pGame;
            if (!m_Elements.Add(element)) return 0;
            m_nUsed = m_Elements.count;
        }
        if (!m_Elements.data[i].Serialize(file, writing)) return 0;
    }
    return h.Succeeded();
}
