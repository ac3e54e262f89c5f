#pragma once
// Factory tables: rows that choose the widget class of a template record by its kind and its id
// (the record's name). The game dialog keeps such a table for the framework's classes and asks the
// game (IElementHost::GameDialogWidgetMakers) for rows of the game's own classes first; screen
// roots keep theirs the same way. Adding a class to a table is one row.

#include <new>
#include <span>

class CXElement;
class TWidget;
class XWidget;
struct TTemplate;
struct WidgetContext;

// Constructs a widget (not yet initialised) linked into parent; null when memory runs out.
using TWidgetMaker = XWidget* (*)(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

struct TWidgetMakerRow {
    int kind;        // kWidget*
    const char* id;  // the record name this row is for; null: any record of the kind
    TWidgetMaker make;
};

// The maker of class T, for table rows.
template <class T>
XWidget* MakeWidget(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) T(parent, templ, record, placement);
}

// The maker of the first row whose kind is the record's and whose id is the record's name or
// null; null for a null record or when no row matches.
TWidgetMaker FindWidgetMaker(std::span<const TWidgetMakerRow> rows, const TWidget* record);

// Makes the widget with make under parent (which lends it its game) and initialises it: the
// widget, or null when it cannot be made or its OnInitWidget fails (then it is removed from parent
// and deleted).
XWidget* MakeAndInitWidget(TWidgetMaker make, CXElement* parent, TTemplate* templ, TWidget* record,
                           const WidgetContext* placement);

// Runs OnInitWidget of a widget just constructed under its parent: the widget, or null after
// removing it from its parent and deleting it when the initialisation fails. Null stays null.
XWidget* InitOrFreeWidget(XWidget* widget);
