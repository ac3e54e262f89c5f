#include "game/widgets/WidgetsHost.h"

#include "ui/ElementHost.h"

IWidgetsHost* WidgetsHostOf(IElementHost* host) { return dynamic_cast<IWidgetsHost*>(host); }
