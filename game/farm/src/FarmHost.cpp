#include "game/farm/FarmHost.h"

#include "app/GameBase.h"
#include "ui/XElement.h"

IFarmHost* FarmHostOf(CGameBase* game) { return dynamic_cast<IFarmHost*>(game); }

CFarmManager* FarmManagerOf(CGameBase* game) {
    IFarmHost* host = FarmHostOf(game);
    return host != nullptr ? host->GetFarmManager() : nullptr;
}

CArenaManager* ArenaManagerOf(CGameBase* game) {
    IFarmHost* host = FarmHostOf(game);
    return host != nullptr ? host->GetArenaManager() : nullptr;
}

CGameBase* GameBaseOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<CGameBase*>(element->GetGamePtr()) : nullptr;
}
