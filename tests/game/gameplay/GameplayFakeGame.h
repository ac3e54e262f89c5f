#pragma once
// The gameplay objects' suites on the stand-in game object of testsupport/FakeGameplayGame.h,
// which links nothing of the game above gameplay.

#include "GameplayFixture.h"
#include "testsupport/FakeGameplayGame.h"

namespace gameplaytest {

using CGameplayTestGame = CScriptedRandomGame<CFakeGameplayGame>;
using GameplayTest = GameplayTestOn<CGameplayTestGame>;

}  // namespace gameplaytest
