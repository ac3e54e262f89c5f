// The game object behind a widget of the game's own screens and dialogs. The UI framework hands
// its elements only the element host; the game's widget classes know that host is the game
// object and reach its managers, fonts and player data through it. Main thread only.
#pragma once

#include "game/app/TheGame.h"
#include "ui/XElement.h"

// The element's game as the game object; null for a null element or another kind of host (a
// test host, say).
inline CTheGame* TheGameOf(const CXElement* element) {
    return element != nullptr ? dynamic_cast<CTheGame*>(element->GetGamePtr()) : nullptr;
}
