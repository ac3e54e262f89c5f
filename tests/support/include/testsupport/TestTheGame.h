#pragma once
// The game object for the game's own suites: a real CTheGame with the start-up hooks that are not
// written yet answered plainly, so a suite can build the managers and screens it tests on the
// real game object. A suite mounts its own pak (mediatest::SetCommonPak) and save folder.
//
// When the game object gets its own body for one of these hooks, its override here goes: the
// fixture must never hide the game's real behaviour.

#include "game/app/TheGame.h"

class CTestTheGame : public CTheGame {
public:
    // The logical screen size alone, for suites that need the size but none of the start-up.
    void SetGameSize(int w, int h) {
        m_nGameWidth = w;
        m_nGameHeight = h;
    }
};
