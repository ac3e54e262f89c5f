#include "game/farm/FarmHost.h"

#include "app/GameBase.h"
#include "ui/XElement.h"

IFarmHost* FarmHostOf(CGameBase* game) { return dynamic_cast<IFarmHost*>(game); }

CGameBase* GameBaseOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<CGameBase*>(element->GetGamePtr()) : nullptr;
}
