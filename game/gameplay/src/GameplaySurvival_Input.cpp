// The road of a touch on the round screen: an open dialog takes it first, then a head-up display
// button, then the field. On the field a press picks the marble under the finger, a move lays the
// points of its path and a release hands it the smoothed path. After game over a press opens the
// round's statistics once the game-over texts have had their time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "game/widgets/GameplayMath.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/MarblePowerup.h"

namespace {

// A press opens the statistics once the game-over clock reaches 4.0: 30 frames after the end.
constexpr FIXED_FLOAT_16 kStatsPressClock = 4 * 65536;
// A press reaches a marble whose centre lies closer than 40 pixels (squared).
constexpr std::int64_t kPickRadiusSq = 40 * 40;
// A move lays a point once the finger is 40 pixels from the last one (squared).
constexpr std::int64_t kPointSpacingSq = 40 * 40;
// A release lays a last point, and a lone stroke becomes a straight segment, beyond 10 pixels.
constexpr std::int64_t kReleaseSlackSq = 10 * 10;
// The control points stand this share of the shorter leg (in 256ths) from the point they pass.
constexpr int kControlShare = 102;
// A bisector shorter than this is a straight run whose legs cancel up to rounding.
constexpr double kStraightBisector = 1e-9;

TVector2D PixelsToFixed(int x, int y) { return TVector2D{x * 256, y * 256}; }

// A 16.16 position cut to whole pixels, as FIXED_FLOAT.
TVector2D CentreOf(const CMarble* marble) {
    return TVector2D{(marble->m_Position.x >> 16) * 256, (marble->m_Position.y >> 16) * 256};
}

// Squared distance in whole pixels between two FIXED_FLOAT points.
std::int64_t DistanceSqPx(TVector2D a, TVector2D b) {
    const std::int64_t dx = (static_cast<std::int64_t>(a.x) >> 8) - (b.x >> 8);
    const std::int64_t dy = (static_cast<std::int64_t>(a.y) >> 8) - (b.y >> 8);
    return dx * dx + dy * dy;
}

// Squared distance in FIXED_FLOAT units.
std::int64_t DistanceSqFixed(TVector2D a, TVector2D b) {
    const std::int64_t dx = static_cast<std::int64_t>(a.x) - b.x, dy = static_cast<std::int64_t>(a.y) - b.y;
    return dx * dx + dy * dy;
}

// Length of a FIXED_FLOAT vector in FIXED_FLOAT units; beyond 181 pixels in |dx| + |dy| the
// components are divided by 128 first so that their squares keep to 32 bits.
double FixedLength(std::int64_t dx, std::int64_t dy) {
    if (std::llabs(dx) + std::llabs(dy) > 46336) {
        const double sx = static_cast<double>(dx / 128), sy = static_cast<double>(dy / 128);
        return std::sqrt(sx * sx + sy * sy) * 128.0;
    }
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

struct TUnit {
    double x = 0, y = 0;
};

TUnit UnitOf(std::int64_t dx, std::int64_t dy) {
    const double length = FixedLength(dx, dy);
    if (length == 0) return TUnit{static_cast<double>(dx), static_cast<double>(dy)};
    return TUnit{dx / length, dy / length};
}

}  // namespace

int CXGameplaySurvival::NotifyPointerEvent(int x, int y, int type) {
    if (m_nTutorialInput == 0) {
        if (FindModalChild() != nullptr) {
            (void)XGameRoot::NotifyPointerEvent(x, y, type);
            return 1;
        }
        // A head-up display button; the root itself, which holds the whole screen, is the field.
        if (m_pDraggedMarble == nullptr && CXElement::NotifyPointerEvent(x, y, type)) return 1;
    }
    if (m_bGameOver) {
        if (type == XPOINTER_PRESS && m_nGameOverClock >= kStatsPressClock && m_pRoundStatsDialog == nullptr)
            OpenRoundStats();
        return 1;
    }
    // During the pause after a lost life the field takes no touch.
    if (m_nPauseCounter != -1) return 1;
    switch (type) {
        case XPOINTER_PRESS:
            OnFieldPress(x, y);
            break;
        case XPOINTER_MOVE:
            OnFieldMove(x, y);
            break;
        case XPOINTER_RELEASE:
            OnFieldRelease(x, y);
            break;
        default:
            return 0;
    }
    return 1;
}

void CXGameplaySurvival::OnFieldPress(int x, int y) {
    const TVector2D touch = PixelsToFixed(x, y);
    m_FingerPos = touch;
    m_pDraggedMarble = nullptr;
    CMarble* chosen = nullptr;
    std::int64_t chosenSq = 0;
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        // A marble already flagged removed goes with the next delete pass: setting a power-up
        // off twice would double its effect.
        if (marble->m_bRemoved) continue;
        const std::int64_t sq = DistanceSqPx(CentreOf(marble), touch);
        if (sq >= kPickRadiusSq) continue;
        if (marble->IsPowerUp() && static_cast<CMarblePowerup*>(marble)->m_bSetOffByFinger) {
            marble->Activate();
            continue;
        }
        if (chosen == nullptr || sq < chosenSq) {
            chosen = marble;
            chosenSq = sq;
        }
    }
    if (chosen == nullptr) return;

    m_PathPoints.count = 0;
    m_DrawingCurve.Reset();
    if (chosen->m_bOnPath) chosen->m_nCollected = 0;
    LeavePath(chosen);
    m_DragStartPos = touch;
    const TVector2D centre = CentreOf(chosen);
    (void)m_PathPoints.Add(centre);
    m_LastPathPoint = m_FingerPos = centre;
    m_pDraggedMarble = chosen;
    chosen->m_nPathDistance = 0;
    chosen->m_Path.Reset();
    chosen->m_bEntered = true;
}

void CXGameplaySurvival::OnFieldMove(int x, int y) {
    if (m_pDraggedMarble == nullptr) return;
    m_FingerPos = PixelsToFixed(x, y);
    if (m_PathPoints.count == 0 || DistanceSqPx(m_FingerPos, m_LastPathPoint) >= kPointSpacingSq)
        LayPathPoint(m_FingerPos);
}

void CXGameplaySurvival::OnFieldRelease(int x, int y) {
    CMarble* marble = m_pDraggedMarble;
    if (marble == nullptr) return;
    // Where the finger left the glass counts as its last position, moved to or not.
    m_FingerPos = PixelsToFixed(x, y);
    if (DistanceSqPx(m_FingerPos, m_LastPathPoint) > kReleaseSlackSq) LayPathPoint(m_FingerPos);
    // A stroke too short for a second point to smooth from: one straight segment.
    if (m_PathPoints.count == 2 && m_DrawingCurve.GetNumSegments() == 0 &&
        DistanceSqPx(m_FingerPos, m_DragStartPos) > kReleaseSlackSq) {
        const TVector2D a = m_PathPoints.data[0], b = m_PathPoints.data[1];
        (void)m_DrawingCurve.AddSpline(a, a, b, b);
    }
    marble->m_Path.Reset();
    for (int i = 0; i < m_DrawingCurve.GetNumSegments(); ++i) {
        const BezierCurveElement* s = m_DrawingCurve.GetSegment(i);
        (void)marble->m_Path.AddSpline(s->m_Points[0], s->m_Points[1], s->m_Points[2], s->m_Points[3]);
    }
    if (marble->m_Path.GetNumSegments() == 0) {
        marble->m_nSpeed = Difficulty_GetBasicEnemySpeedOnCurrentLevel();
    } else {
        marble->m_bOnPath = true;
        RollingSoundCounterInc();
    }
    m_pDraggedMarble = nullptr;
}

void CXGameplaySurvival::LayPathPoint(TVector2D point) {
    if (!m_PathPoints.Add(point)) return;
    m_LastPathPoint = point;
    SmoothLastSegment();
}

void CXGameplaySurvival::SmoothLastSegment() {
    const int n = m_PathPoints.count;
    if (n < 3) return;
    const TVector2D p0 = m_PathPoints.data[n - 3], p1 = m_PathPoints.data[n - 2], p2 = m_PathPoints.data[n - 1];
    if (n == 3) {
        if (m_DrawingCurve.GetNumSegments() == 0)
            (void)m_DrawingCurve.AddSpline(p0, p1, p2, p2);
        else
            (void)m_DrawingCurve.AddSpline(p1, p1, p2, p2);
        return;
    }
    const std::int64_t ax = static_cast<std::int64_t>(p1.x) - p0.x, ay = static_cast<std::int64_t>(p1.y) - p0.y;
    const std::int64_t bx = static_cast<std::int64_t>(p1.x) - p2.x, by = static_cast<std::int64_t>(p1.y) - p2.y;
    const TUnit u1 = UnitOf(ax, ay), u2 = UnitOf(bx, by);
    double sx = u1.x + u2.x, sy = u1.y + u2.y;
    const double bisector = std::sqrt(sx * sx + sy * sy);
    if (bisector < kStraightBisector) {
        // A straight run: the legs cancel but for rounding, whose direction means nothing.
        sx = sy = 0;
    } else {
        sx /= bisector;
        sy /= bisector;
    }
    const double k = std::min(FixedLength(ax, ay), FixedLength(bx, by)) * kControlShare / 256.0;
    const TVector2D a{gameplay::WrapAdd(p1.x, gameplay::TruncToInt32(k * sy)),
                      gameplay::WrapAdd(p1.y, gameplay::TruncToInt32(-k * sx))};
    const TVector2D b{gameplay::WrapAdd(p1.x, gameplay::TruncToInt32(-k * sy)),
                      gameplay::WrapAdd(p1.y, gameplay::TruncToInt32(k * sx))};
    const bool aNearer = DistanceSqFixed(a, p0) <= DistanceSqFixed(b, p0);
    const TVector2D towardP0 = aNearer ? a : b, towardP2 = aNearer ? b : a;

    const int segments = m_DrawingCurve.GetNumSegments();
    if (segments == 0) {
        (void)m_DrawingCurve.AddSpline(p0, towardP2, p2, p2);
        return;
    }
    BezierCurveElement* last = m_DrawingCurve.GetSegment(segments - 1);
    last->m_Points[2] = towardP0;
    last->CalculateLength();
    (void)m_DrawingCurve.AddSpline(p1, towardP2, p2, p2);
}
