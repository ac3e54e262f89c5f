// Factory table look-up and the shared make-and-initialise step.
#include "ui/WidgetMakers.h"

#include "ui/ElementHost.h"
#include "ui/Widget.h"

TWidgetMaker FindWidgetMaker(std::span<const TWidgetMakerRow> rows, const TWidget* record) {
    if (record == nullptr) return nullptr;
    for (const TWidgetMakerRow& row : rows) {
        if (row.kind != record->kind || row.make == nullptr) continue;
        if (row.id == nullptr || record->name == row.id) return row.make;
    }
    return nullptr;
}

XWidget* MakeAndInitWidget(TWidgetMaker make, CXElement* parent, TTemplate* templ, TWidget* record,
                           const WidgetContext* placement) {
    if (make == nullptr || record == nullptr) return nullptr;
    return InitOrFreeWidget(make(parent, templ, record, placement));
}

XWidget* InitOrFreeWidget(XWidget* widget) {
    if (widget == nullptr) return nullptr;
    if (!widget->OnInitWidget()) {
        if (IElementHost* host = widget->GetGamePtr())
            host->NoteWidgetInitFailed(widget->GetRecord() != nullptr ? widget->GetRecord()->name : CommonString());
        SAFE_FREE_XELEMENT(widget);
        return nullptr;
    }
    return widget;
}
