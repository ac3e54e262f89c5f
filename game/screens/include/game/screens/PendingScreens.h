#pragma once
// The game's screens whose own classes are written by later parts of the game. Until then each
// stands as a plain screen root built from its root record of "ui_main.txt", with the operations
// the game object calls on it answered as a screen with nothing of its own would: a round that
// never starts and keeps nothing. The part of the game that writes a screen moves its class out of
// this file into a file pair of its own.
//
// Depends on: the screen root, the game object. Main thread only.

#include "core/CommonString.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/screens/AboutScreen.h"
#include "game/screens/AchScreen.h"
#include "game/screens/FarmShopScreen.h"
#include "game/screens/GameRoot.h"
#include "game/screens/LeadersScreen.h"
#include "game/screens/QuestsScreen.h"
#include "game/screens/StartMenu.h"

class IFile;
class XDialog;

// A screen root built from one root record of "ui_main.txt" and nothing more.
class XPlainScreen : public XGameRoot {
public:
    // rootName must outlive the screen (a literal).
    XPlainScreen(CXElement* parent, const char* rootName);
    // Builds the screen from its root record: 1, or 0 when the template or the record is missing.
    int OnInitElement() override;

private:
    const char* m_pRootName;
};
