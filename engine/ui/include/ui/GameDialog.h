#pragma once
// The game dialog: a dialog that draws the game's way and makes the game's widget classes.
//
// Drawing: a dialog with a translucent background (an image with an alpha plane, or any other
// background widget) dims the whole screen behind it with black at alpha 192, in proportion while
// it fades. A dialog with an opaque background image that fades alone (no sibling fading with it)
// fades through black: the first half of the fade darkens the screen, the second reveals the
// dialog.
//
// Children: the game's rows (IElementHost::GameDialogWidgetMakers) first, then the framework's
// rows (rectangle-hit buttons of the player rows, stretched full-screen images, game buttons and
// game dialogs), then the plain dialog's factory.
//
// Depends on: ui (dialog, game button, stretched image); the back buffer through IElementHost.
// Main thread only.

#include <span>

#include "ui/Dialog.h"

struct TWidgetMakerRow;

class XGameDialog : public XDialog {
public:
    XGameDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    void Draw() override;
    // The game's widget class for the record (see above); null when it cannot be made or
    // initialised.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // The framework's rows of the game dialog's factory.
    static std::span<const TWidgetMakerRow> FrameworkRows();

protected:
    // Another widget child of the parent fades in or out now.
    bool SiblingFades();
    // Black over the whole back buffer at alpha (nothing below 1).
    void DimScreen(int alpha);
    // A dialog with a translucent background dims what lies behind it, in proportion to its
    // opacity: true when it did. For dialogs that draw their children their own way.
    bool DimBehindTranslucent();
};
