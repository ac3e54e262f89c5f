#pragma once
// The rotator's OpenGL ES path: a rotated, scaled draw onto the GL screen target becomes two
// textured triangles through DrawTexturedTriangles_AbsoluteUV. The game installs one next to its
// rotator (rotator.SetHardwarePath(&path)); the path reads the rotator's x 65536 tables.

#include "render/ImageRotatorScaler.h"

class CGlesRotatorPath : public IRotatorHardwarePath {
public:
    CGlesRotatorPath(IRenderHost* game, const CQuorvanImageRotatorScaler* rotator)
        : m_pGame(game), m_Rotator(rotator) {}
    // Takes the draw (true) when the renderer is GL ES and dst is its draw target.
    bool Draw(const TRotatedDraw& draw) override;

private:
    IRenderHost* m_pGame;
    const CQuorvanImageRotatorScaler* m_Rotator;
};
