#include "game/progress/ProgressHost.h"

#include "app/GameBase.h"

IProgressHost* ProgressHostOf(CGameBase* game) { return dynamic_cast<IProgressHost*>(game); }
