#include "game/gameplay/GameplayHost.h"

#include "app/GameBase.h"

IGameplayHost* GameplayHostOf(CGameBase* game) { return dynamic_cast<IGameplayHost*>(game); }
