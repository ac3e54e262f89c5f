#include "game/screens/ScreensHost.h"

#include "ui/ElementHost.h"
#include "ui/XElement.h"

IScreensHost* ScreensHostOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<IScreensHost*>(element->GetGamePtr()) : nullptr;
}
