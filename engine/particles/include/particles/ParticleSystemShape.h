#pragma once
// Emission shapes: polylines or circles of segments that a particle system emits from instead of
// its emitter point. Each new particle is offset by a random point of the shape, or, with the
// flow switch on, by the next point of a walk along the shape one emit delta further on. Points
// are 16.16 pixel offsets from the emitter. The game builds and owns the shapes; a system only
// uses one (CQuorvanParticleSystem2::SetEmitShape). Main thread only.

#include <cstdint>

#include "core/Common.h"
#include "core/QuorvanArray.h"

class ISpriteHost;
class CQuorvanImageRotatorScaler;

// Length of (dx, dy) in 16.16, rounded half away from zero. Offsets over 181 pixels are scaled
// down by 128 while squaring so the squares stay inside 32 bits, as the simulation expects.
[[nodiscard]] FIXED_FLOAT_16 ParticleVectorLength(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy);

class CQuorvanParticleSystemShape2 {
public:
    // No segments, emit delta 1 pixel, flow at the start, flow switch off. The rotator gives
    // the circle's sine and cosine; neither pointer is owned.
    CQuorvanParticleSystemShape2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator);
    CQuorvanParticleSystemShape2(const CQuorvanParticleSystemShape2&) = delete;
    CQuorvanParticleSystemShape2& operator=(const CQuorvanParticleSystemShape2&) = delete;
    virtual ~CQuorvanParticleSystemShape2() = default;

    // Appends a segment; 1, or 0 when memory runs out (then nothing is appended).
    [[nodiscard]] int AddSegment(TVector2D_16 start, TVector2D_16 end);
    // n points on a circle of that radius around (cx, cy), joined into n segments, the last
    // closing the loop. n below 1 adds nothing.
    void AddCircle(FIXED_FLOAT_16 radius, int n, FIXED_FLOAT_16 cx, FIXED_FLOAT_16 cy);
    // Replace or remove segment i (later ones move down); an invalid i does nothing.
    void SetSegment(int i, TVector2D_16 start, TVector2D_16 end);
    void RemoveSegment(int i);
    int GetNumSegments() const { return m_Starts.count; }
    // Segment i's points; i must be valid.
    TVector2D_16 GetSegmentStart(int i) const { return m_Starts[i]; }
    TVector2D_16 GetSegmentEnd(int i) const { return m_Ends[i]; }
    FIXED_FLOAT_16 GetSegmentLength(int i) const { return m_Lengths[i]; }
    FIXED_FLOAT_16 GetTotalLength() const { return m_nTotalLength; }

    // Flow distance per particle.
    void SetEmitDelta(FIXED_FLOAT_16 d) { m_nEmitDelta = d; }
    // The flow restarts on segment 0 at that distance.
    void ResetEmitPoint(FIXED_FLOAT_16 position);
    // The next emission offset. A shape shorter than one pixel in total (or with no length at
    // all) gives the start of its first segment, and (0, 0) without segments.
    TVector2D_16 GetNextEmitPointRandom();
    TVector2D_16 GetNextEmitPointFlow();

    ISpriteHost* m_pGame;
    CQuorvanImageRotatorScaler* m_pRotator;
    std::uint8_t m_bFlow = 0;  // 1: flow points, 0: random points

private:
    // The point at distance d into segment i.
    TVector2D_16 PointOnSegment(int i, FIXED_FLOAT_16 d) const;
    // Whether a walk along the segments can find a point at all.
    bool HasWalkableLength() const;

    CQuorvanArray<TVector2D_16> m_Starts;
    CQuorvanArray<TVector2D_16> m_Ends;
    CQuorvanArray<FIXED_FLOAT_16> m_Lengths;
    FIXED_FLOAT_16 m_nTotalLength = 0;
    FIXED_FLOAT_16 m_nEmitDelta = kFixed16One;
    int m_nFlowSegment = 0;
    FIXED_FLOAT_16 m_nFlowPosition = 0;
};
