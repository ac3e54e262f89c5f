#include "game/screens/ScreensHost.h"

#include "app/GameBase.h"
#include "ui/XElement.h"

IScreensHost* ScreensHostOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<IScreensHost*>(element->GetGamePtr()) : nullptr;
}

CGameBase* ScreensGameOf(const CXElement* element) {
    return ScreensHostOf(element) != nullptr ? dynamic_cast<CGameBase*>(element->GetGamePtr()) : nullptr;
}
