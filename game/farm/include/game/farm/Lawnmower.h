// The lawn mower (CLawnmower): a creature on the birds' state machine that walks about for good,
// its wheels turning, and leaves a trail of grass cuttings behind it while it walks, drawn in
// front of it when it heads towards the viewer and behind it otherwise. Made by the farm
// manager's factory for "lawn_mower". Main thread only.
#pragma once

#include "game/farm/Chicken.h"

class CQuorvanParticleSystem2;

class CLawnmower : public CChicken {
public:
    // Kind 3, drawn at 0.8, selection marker 1.4 times a bird's.
    CLawnmower(CGameBase* game, const char* id);
    // Deletes its particle system from the game's particle manager first.
    ~CLawnmower() override;

    // The "lawnmower_*" sets, bird number 100, a quarter walk frame per step, and its own grass
    // system "LawnMower" from "Effects\lawnmower.pfd" (false when it cannot be made or loaded).
    [[nodiscard]] bool Init(int argument) override;
    // The grass before the body when it heads towards the viewer, after it otherwise.
    void Draw(int passes) override;
    // The bird's frame, then three cuttings behind it while it walks.
    void RunProcess() override;
    // Stops the trail.
    void OnBeginDragging() override;

    // ==== State =================================================================================
    CQuorvanParticleSystem2* m_pParticles = nullptr;  // held by the game's particle manager

private:
    void DrawTrail();
};
