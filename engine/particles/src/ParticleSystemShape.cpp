#include "particles/ParticleSystemShape.h"

#include <cmath>
#include <cstdlib>

#include "Fixed16.h"
#include "particles/ParticlesConfig.h"
#include "particles/RandomTables.h"
#include "render/ImageRotatorScaler.h"

using namespace particles;

FIXED_FLOAT_16 ParticleVectorLength(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) {
    std::int64_t x = dx;
    std::int64_t y = dy;
    const bool scaled = std::llabs(x) + std::llabs(y) > 181LL * 65536;
    if (scaled) {
        x /= 128;
        y /= 128;
    }
    const std::int64_t squares = ((x * x) >> 16) + ((y * y) >> 16);
    const double root = std::sqrt(static_cast<double>(squares) / 65536.0);
    std::int64_t length = std::llround(root * 65536.0);
    if (scaled) {
        length *= 128;
    }
    return Wrap32(length);
}

CQuorvanParticleSystemShape2::CQuorvanParticleSystemShape2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator)
    : m_pGame(game), m_pRotator(rotator) {
    m_Starts.growBy = kParticleShapeGrowBy;
    m_Ends.growBy = kParticleShapeGrowBy;
    m_Lengths.growBy = kParticleShapeGrowBy;
}

int CQuorvanParticleSystemShape2::AddSegment(TVector2D_16 start, TVector2D_16 end) {
    const FIXED_FLOAT_16 length = ParticleVectorLength(Sub(end.x, start.x), Sub(end.y, start.y));
    // All three lists or none, so index i always names one segment.
    if (m_Starts.Add(start) == 0) {
        return 0;
    }
    if (m_Ends.Add(end) == 0) {
        m_Starts.RemoveAt(m_Starts.count - 1);
        return 0;
    }
    if (m_Lengths.Add(length) == 0) {
        m_Starts.RemoveAt(m_Starts.count - 1);
        m_Ends.RemoveAt(m_Ends.count - 1);
        return 0;
    }
    m_nTotalLength = Add(m_nTotalLength, length);
    return 1;
}

void CQuorvanParticleSystemShape2::AddCircle(FIXED_FLOAT_16 radius, int n, FIXED_FLOAT_16 cx, FIXED_FLOAT_16 cy) {
    if (n < 1 || m_pRotator == nullptr || m_pRotator->GetCos256() == nullptr) {
        return;
    }
    const int stepDegrees = 360 / n;
    auto point = [&](int i) {
        const int index = m_pRotator->GetLookupIndex(i * stepDegrees * 256);
        const FIXED_FLOAT_16 c = m_pRotator->GetCos256()[index] << 8;
        const FIXED_FLOAT_16 s = m_pRotator->GetSin256()[index] << 8;
        return TVector2D_16{Add(cx, Mul(c, radius)), Add(cy, Mul(s, radius))};
    };
    TVector2D_16 previous = point(0);
    const TVector2D_16 first = previous;
    for (int i = 1; i < n; ++i) {
        const TVector2D_16 current = point(i);
        (void)AddSegment(previous, current);
        previous = current;
    }
    (void)AddSegment(previous, first);
}

void CQuorvanParticleSystemShape2::SetSegment(int i, TVector2D_16 start, TVector2D_16 end) {
    if (i < 0 || i >= m_Starts.count) {
        return;
    }
    const FIXED_FLOAT_16 length = ParticleVectorLength(Sub(end.x, start.x), Sub(end.y, start.y));
    m_nTotalLength = Add(m_nTotalLength, Sub(length, m_Lengths[i]));
    m_Starts[i] = start;
    m_Ends[i] = end;
    m_Lengths[i] = length;
}

void CQuorvanParticleSystemShape2::RemoveSegment(int i) {
    if (i < 0 || i >= m_Starts.count) {
        return;
    }
    m_nTotalLength = Sub(m_nTotalLength, m_Lengths[i]);
    m_Starts.RemoveAt(i);
    m_Ends.RemoveAt(i);
    m_Lengths.RemoveAt(i);
    if (m_nFlowSegment >= m_Starts.count) {
        m_nFlowSegment = 0;
    }
}

void CQuorvanParticleSystemShape2::ResetEmitPoint(FIXED_FLOAT_16 position) {
    m_nFlowSegment = 0;
    m_nFlowPosition = position;
}

TVector2D_16 CQuorvanParticleSystemShape2::PointOnSegment(int i, FIXED_FLOAT_16 d) const {
    const TVector2D_16 start = m_Starts[i];
    const FIXED_FLOAT_16 length = m_Lengths[i];
    if ((length >> 8) == 0) {
        return start;
    }
    const FIXED_FLOAT_16 f = Div(d, length);
    const TVector2D_16 end = m_Ends[i];
    return TVector2D_16{Add(start.x, Mul(Sub(end.x, start.x), f)), Add(start.y, Mul(Sub(end.y, start.y), f))};
}

bool CQuorvanParticleSystemShape2::HasWalkableLength() const {
    // Under one whole pixel the random pick has no range, and a shape of empty segments gives
    // the walk no segment to stop on.
    return m_Starts.count > 0 && m_nTotalLength >= kFixed16One;
}

TVector2D_16 CQuorvanParticleSystemShape2::GetNextEmitPointRandom() {
    m_nFlowPosition = Add(m_nFlowPosition, m_nEmitDelta);
    if (!HasWalkableLength()) {
        return m_Starts.count > 0 ? m_Starts[0] : TVector2D_16{};
    }
    FIXED_FLOAT_16 d = (NextGameRandom() % (m_nTotalLength >> 16)) << 16;
    int segment = 0;
    // d is below the total, so one round over the segments always finds the point.
    for (int steps = 0; m_Lengths[segment] <= d && steps < m_Lengths.count; ++steps) {
        d = Sub(d, m_Lengths[segment]);
        segment = segment + 1 < m_Lengths.count ? segment + 1 : 0;
    }
    return PointOnSegment(segment, d);
}

TVector2D_16 CQuorvanParticleSystemShape2::GetNextEmitPointFlow() {
    if (!HasWalkableLength()) {
        m_nFlowPosition = Add(m_nFlowPosition, m_nEmitDelta);
        return m_Starts.count > 0 ? m_Starts[0] : TVector2D_16{};
    }
    if (m_nFlowSegment < 0 || m_nFlowSegment >= m_Lengths.count) {
        m_nFlowSegment = 0;
    }
    // Whole rounds of the shape lead back to the same segment: drop them before walking.
    if (m_nFlowPosition >= m_nTotalLength) {
        m_nFlowPosition %= m_nTotalLength;
    }
    // The position is now below the total, so one round finds the segment; the bound only
    // guards against lengths that wrapped on absurd coordinates.
    for (int steps = 0; m_Lengths[m_nFlowSegment] <= m_nFlowPosition; ++steps) {
        if (steps > m_Lengths.count) {
            m_nFlowSegment = 0;
            m_nFlowPosition = 0;
            break;
        }
        m_nFlowPosition = Sub(m_nFlowPosition, m_Lengths[m_nFlowSegment]);
        m_nFlowSegment = m_nFlowSegment + 1 < m_Lengths.count ? m_nFlowSegment + 1 : 0;
    }
    const TVector2D_16 point = PointOnSegment(m_nFlowSegment, m_nFlowPosition);
    m_nFlowPosition = Add(m_nFlowPosition, m_nEmitDelta);
    return point;
}
