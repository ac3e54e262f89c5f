#pragma once
// What the game-level drawing suites give a test game object in place of its start-up: images
// as the game runs them (double resolution, an unturned portrait screen), a sprite-set manager,
// and a rotator whose draws go to a path the test chooses, often one that only records them.

#include <vector>

#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSetManager.h"

// Keeps every rotated draw and takes it, so nothing reaches a bitmap.
class CRecordingRotatorPath : public IRotatorHardwarePath {
public:
    bool Draw(const TRotatedDraw& draw) override {
        draws.push_back(draw);
        return true;
    }
    std::vector<TRotatedDraw> draws;
};

// Fills the game's sprite-set manager and rotator slots (the game deletes them) and sends the
// rotator's draws to path. False when the rotator's tables cannot be made.
template <class Game>
bool GiveDrawingServices(Game& game, IRotatorHardwarePath* path) {
    game.m_RenderSwitches.m_bDoubleResolution = true;
    game.m_Screen.m_nOrientationMode = 0;
    game.m_Screen.m_nOrientationAngle = 0;
    game.m_pSpriteSetManager = new CSpriteSetManager(&game, 40);
    game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 36000);
    if (game.m_pRotatorScaler->Initialize() != 1) return false;
    game.m_pRotatorScaler->SetHardwarePath(path);
    return true;
}
