// The demo program: the shell with the demo game object. Settings come from the environment
// (README.md, "Platform settings").
#include "DemoGame.h"
#include "shell/Program.h"

CGameBase* CreateGameObject() { return new CDemoGame(); }

int main() { return RunProgram(); }
