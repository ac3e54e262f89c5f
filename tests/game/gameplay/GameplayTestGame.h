#pragma once
// The gameplay objects' suites on the real game object (CTheGame), for the suites that need what
// only it does: the round screen's messages and saves, the statistics, the floating texts' screen.

#include "GameplayFixture.h"
#include "testsupport/TestTheGame.h"

namespace gameplaytest {

using CGameplayTestGame = CScriptedRandomGame<CTestTheGame>;
using GameplayTest = GameplayTestOn<CGameplayTestGame>;

}  // namespace gameplaytest
