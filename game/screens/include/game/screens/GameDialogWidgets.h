#pragma once
// The game's own widget classes among the children of game dialogs, by record kind and id: the
// game's half of the game dialog's factory (the framework's half is XGameDialog::FrameworkRows).
// The game object hands these rows to the widgets through IElementHost::GameDialogWidgetMakers,
// and those of the screen roots through IWidgetsHost::ScreenWidgetMakers.

#include <span>

#include "ui/WidgetMakers.h"

std::span<const TWidgetMakerRow> GameDialogGameRows();

// The game's classes for children made directly under a screen root, by record kind and id: the
// rows the game object hands the screen roots through IWidgetsHost::ScreenWidgetMakers.
std::span<const TWidgetMakerRow> ScreenGameRows();
