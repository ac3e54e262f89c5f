#include "game/news/NewsHost.h"

#include "ui/ElementHost.h"

INewsHost* NewsHostOf(IElementHost* host) { return dynamic_cast<INewsHost*>(host); }
