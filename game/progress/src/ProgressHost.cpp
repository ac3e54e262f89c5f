#include "game/progress/ProgressHost.h"

#include "app/GameBase.h"

IProgressHost* ProgressHostOf(CGameBase* game) { return dynamic_cast<IProgressHost*>(game); }

CBitmapFontText* GameFontOf(CGameBase* game, EGameFont font) {
    IProgressHost* host = ProgressHostOf(game);
    return host != nullptr ? host->GetGameFont(font) : nullptr;
}
