// The garden robot (CRobot): a creature on the birds' state machine that walks about for good
// and heals the birds it meets: it stops next to the nearest bird within 50 units on both axes,
// both face each other for a while, green crosses rise, and it rests 165 frames before it heals
// again (unless a bird is dropped). Its seven views are drawn for real, none mirrored but the
// plain side view. Made by the farm manager's factory for "robot". Main thread only.
#pragma once

#include "game/farm/Chicken.h"

class CRobot : public CChicken {
public:
    // Kind 4, selection marker 1.4 times a bird's.
    CRobot(CGameBase* game, const char* id);

    // The "robot_*" sets, bird number 101, no walk animation, the draw offsets of its views.
    [[nodiscard]] bool Init(int argument) override;
    // The bird's frame, then the healing.
    void RunProcess() override;
    // Walks again with its healing countdown and pause cleared.
    void OnEndDragging() override;
    void AdjustSpriteSetFromDir() override;

    // Clears the healing pause of every robot in the farm manager's yard (a bird was dropped).
    static void ResetAllRobotsHealingPause(CFarmManager* farm);

protected:
    bool IsHealing() const override { return m_nHealingCountdown > 0; }

public:
    // ==== State =================================================================================
    int m_nHealingPause = 0;      // frames before it may heal again
    int m_nHealingCountdown = 0;  // frames left of the present healing
};
