#include "game/gameplay/GameplayHost.h"

#include "app/GameBase.h"

IGameplayHost* GameplayHostOf(CGameBase* game) { return dynamic_cast<IGameplayHost*>(game); }

CUpgradeManager* UpgradeManagerOf(CGameBase* game) {
    IGameplayHost* host = GameplayHostOf(game);
    return host != nullptr ? host->GetUpgradeManager() : nullptr;
}
