// What the game object serves the widgets: the news engine, its sound manager, its rotator and the game's own
// widget classes for game dialogs.
#include "game/app/TheGame.h"
#include "game/screens/GameDialogWidgets.h"

CHollowfenNewsManager* CTheGame::GetNewsManager() { return m_pNewsManager; }

CSoundManager* CTheGame::GetSoundManager() { return m_pSoundManager; }

CQuorvanImageRotatorScaler* CTheGame::GetRotatorScaler() { return m_pRotatorScaler; }

std::span<const TWidgetMakerRow> CTheGame::GameDialogWidgetMakers() { return GameDialogGameRows(); }
