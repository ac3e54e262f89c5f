// A yard object for the farm manager's suites: a plain CFarmObject whose kind, definition and
// screen rectangle the test sets, standing in for the decor and bird classes.
#pragma once

#include "game/farm/FarmDefs.h"
#include "game/farm/FarmObject.h"

class CTestFarmObject : public CFarmObject {
public:
    CTestFarmObject(CGameBase* game, int kind, FIXED_FLOAT x, FIXED_FLOAT y) : CFarmObject(game, "test") {
        m_nKind = kind;
        m_Position = TVector2D{x, y};
    }
    bool Init(int) override { return true; }
    void Draw(int) override {}
    TRect2D GetObjectRect() override { return m_Rect; }

    // Gives the object a definition with a spot of that type name and `points` spot points.
    void GiveSpots(const char* spot, int points) {
        m_Def.spot = spot;
        for (int i = 0; i < points; ++i) (void)m_Def.spotPoints.Add(TVector2D{i * 256, 0});
        m_pDef = &m_Def;
        m_nSpotType = points > 0 ? SpotTypeFromName(m_Def.spot) : 0;
    }

    TRect2D m_Rect;
    FarmObjectDef m_Def;
};
