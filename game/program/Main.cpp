// The game program: the shell's start-up, event loop and shut-down around the game object.
// Settings come from the environment (README.md, "Platform settings").
#include <new>

#include "game/app/TheGame.h"
#include "shell/Program.h"

CGameBase* CreateGameObject() { return new (std::nothrow) CTheGame(); }

int main() {
    // A desktop keyboard types into the name entry (README.md, "The window").
    SetTypedKeyHandler([](int character) {
        if (auto* game = dynamic_cast<CTheGame*>(g_pGame)) (void)game->OnTypedKey(character);
    });
    return RunProgram();
}
