#include "game/screens/LoaderHost.h"

#include "app/GameBase.h"
#include "ui/XElement.h"

ILoaderHost* LoaderHostOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<ILoaderHost*>(element->GetGamePtr()) : nullptr;
}
