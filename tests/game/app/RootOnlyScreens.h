#pragma once
// The start menu, the play screen, the credits, the achievements, the leaderboards, the boosts
// screen, the round (with the tutorial), the yard, the farm shop and the quests screen built from
// their root records alone, for suites about screen switching, the back key, purchases and the
// game in progress: the real screens also load their scene images, effects, fonts, lists, sprites
// and the farm, which those suites' small template paks do not hold.

#include "core/CommonString.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/screens/AboutScreen.h"
#include "game/screens/AchScreen.h"
#include "game/screens/FarmShopScreen.h"
#include "game/screens/LeadersScreen.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/QuestsScreen.h"
#include "game/screens/StartMenu.h"
#include "game/screens/UpgradesScreen.h"

class CRootOnlyStartMenu : public CXStartMenu2 {
public:
    using CXStartMenu2::CXStartMenu2;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_START_MENU"); }
    // The scene is not loaded: only the widgets draw.
    void Draw() override { XGameRoot::Draw(); }
    void RunProcess() override { XGameRoot::RunProcess(); }
};

// Without its buttons, its plus image and its turning sun.
class CRootOnlyPlay : public CXPlayScreen {
public:
    explicit CRootOnlyPlay(CXElement* parent) : CXPlayScreen(parent) { m_bLivePostEffect = false; }
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_play"); }
};

class CRootOnlyAbout : public CXAboutScreen {
public:
    using CXAboutScreen::CXAboutScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_about"); }
};

class CRootOnlyAch : public CXAchScreen {
public:
    using CXAchScreen::CXAchScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_ach"); }
};

class CRootOnlyLeaders : public CXLeadersScreen {
public:
    using CXLeadersScreen::CXLeadersScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_leaders"); }
};

class CRootOnlyUpgrades : public CXUpgradesScreen {
public:
    using CXUpgradesScreen::CXUpgradesScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_upgrades"); }
};

class CRootOnlyFarmShop : public CXFarmShopScreen {
public:
    using CXFarmShopScreen::CXFarmShopScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_buy"); }
};

class CRootOnlyQuests : public CXQuestsScreen {
public:
    using CXQuestsScreen::CXQuestsScreen;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_quests"); }
};

// The yard's widgets only: no yard, objects, images or clouds.
class CRootOnlyYard : public CXFarmWindow {
public:
    using CXFarmWindow::CXFarmWindow;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_yard"); }
};

// The round and the tutorial without their arena, images and sprites; nothing of the round runs.
class CRootOnlyRound : public CXGameplaySurvival {
public:
    using CXGameplaySurvival::CXGameplaySurvival;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_GAMEPLAY_NoAds"); }
    void RunProcess() override { XGameRoot::RunProcess(); }
    void Draw() override { XGameRoot::Draw(); }
};

class CRootOnlyTutorial : public CXGameplayTutorial {
public:
    using CXGameplayTutorial::CXGameplayTutorial;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_tutorial_NoAds"); }
    void RunProcess() override { XGameRoot::RunProcess(); }
    void Draw() override { XGameRoot::Draw(); }
};
