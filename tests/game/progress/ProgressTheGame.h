#pragma once
// The progression suites' game over the real game object, for what the game object itself does
// with progression (saving the player data, the banner's start-up, purchases).

#include "ProgressTestGame.h"
#include "testsupport/TestTheGame.h"

using CProgressTestGame = TProgressTestGame<CTestTheGame>;
