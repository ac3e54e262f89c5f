#pragma once
// The progression suites' game over the stand-in game object: what links only progression.

#include "ProgressTestGame.h"
#include "testsupport/FakeProgressGame.h"

using CProgressTestGame = TProgressTestGame<CFakeProgressGame>;
