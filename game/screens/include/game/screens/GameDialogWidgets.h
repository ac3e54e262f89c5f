#pragma once
// The game's own widget classes among the children of game dialogs, by record kind and id: the
// game's half of the game dialog's factory (the framework's half is XGameDialog::FrameworkRows).
// The game object hands these rows to the widgets through IElementHost::GameDialogWidgetMakers.

#include <span>

#include "ui/WidgetMakers.h"

std::span<const TWidgetMakerRow> GameDialogGameRows();
