// The record tables and the deep copies of dialog groups.
#include "ui/TemplateRecords.h"

#include "TemplateLists.h"

const char* const g_WidgetTypeNamesForFile[kWidgetKindCount] = {
    "root", "image", "text", "button", "dialog", "progress", "tiledBG", "tuner", "text_multi", "checkBox", "textInfo"};
const char* const g_WidgetTypeNames[kWidgetKindCount] = {"Root",      "Image",       "Text",    "Button",
                                                         "Dialog",    "ProgressBar", "TiledBG", "Tuner",
                                                         "TextMulti", "CheckBox",    "TextInfo"};
const char* const g_TileKeys[kTileCount] = {"left_top", "top",         "right_top", "left",        "center",
                                            "right",    "left_bottom", "bottom",    "right_bottom"};

const char* WidgetTypeName(int kind) {
    return kind >= 0 && kind < kWidgetKindCount ? g_WidgetTypeNames[kind] : nullptr;
}

const char* WidgetTypeNameForFile(int kind) {
    return kind >= 0 && kind < kWidgetKindCount ? g_WidgetTypeNamesForFile[kind] : nullptr;
}

TDialog* AsDialogRecord(TWidget* record) {
    if (record == nullptr || (record->kind != kWidgetDialog && record->kind != kWidgetRoot)) return nullptr;
    // The kind is set by whoever made the record; the class must agree before it is used as one.
    return dynamic_cast<TDialog*>(record);
}

Group::Group() {
    children.growBy = 1;
    actions.growBy = 1;
}

Group::Group(const Group& other) : Group() { *this = other; }

Group& Group::operator=(const Group& other) {
    if (this == &other) return *this;
    for (int i = 0; i < other.children.count; ++i) (void)AddToTemplateList(children, new WidgetContext(*other.children.data[i]), 1);
    for (int i = 0; i < other.actions.count; ++i) (void)AddToTemplateList(actions, new ChildAction(*other.actions.data[i]), 1);
    return *this;
}

WidgetContext* Group::GetWidgetContext(const CommonString& name) {
    for (int i = 0; i < children.count; ++i)
        if (children.data[i]->name == name) return children.data[i];
    return nullptr;
}

ChildAction* Group::GetChildAction(const CommonString& widgetId, short event) {
    for (int i = 0; i < actions.count; ++i) {
        ChildAction* binding = actions.data[i];
        if (binding->widgetId == widgetId && binding->event == event) return binding;
    }
    return nullptr;
}
