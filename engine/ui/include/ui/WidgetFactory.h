#pragma once
// The leaf half of a dialog's widget factory: the live widget of an image, text, button, progress
// bar, tiled background, tuner, multi-line text, check box or information text record. Dialogs
// make dialogs (and refuse roots) themselves and hand every other kind here.

class CXElement;
class TWidget;
class XWidget;
struct TTemplate;
struct WidgetContext;

// Constructs the widget of the record's kind under parent (which lends it its game) and runs its
// OnInitWidget. Null for a null record, for kinds it does not make (root, dialog, anything outside
// 0..10), and when OnInitWidget fails: that widget is removed from parent and deleted. A tiled
// background takes bgTilesX and bgTilesY as its repeat counts.
XWidget* CreateAndInitLeafWidget(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                                 int bgTilesX, int bgTilesY);
