#include "game/screens/PendingScreens.h"

XPlainScreen::XPlainScreen(CXElement* parent, const char* rootName) : XGameRoot(parent), m_pRootName(rootName) {}

int XPlainScreen::OnInitElement() { return InitRoot(CommonString("ui_main.txt"), m_pRootName); }

