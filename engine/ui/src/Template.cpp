// The template's record and action lists.
#include "ui/Template.h"

#include <new>

#include "TemplateLists.h"

namespace {
// The growth steps the lists start from.
constexpr int kStepGrowth = 1;
constexpr int kRecordGrowth = 5;
}  // namespace

const char* const gc_strBackActionId = "actionBack";

TAction::TAction() { steps.growBy = kStepGrowth; }

TAction::TAction(const TAction& other) : TAction() {
    name = other.name;
    for (int i = 0; i < other.steps.count; ++i) (void)AddToTemplateList(steps, new ActionStep(*other.steps.data[i]), kStepGrowth);
}

int TAction::AddStep(int type) {
    ActionStep* step = new (std::nothrow) ActionStep();
    if (step != nullptr) step->type = type;
    return AddToTemplateList(steps, step, kStepGrowth);
}

TTemplate::TTemplate() {
    widgets.growBy = kRecordGrowth;
    actions.growBy = kRecordGrowth;
}

TWidget* TTemplate::CreateWidget(int kind) {
    switch (kind) {
        case kWidgetRoot:
            return new (std::nothrow) TRoot();
        case kWidgetImage:
            return new (std::nothrow) TImage();
        case kWidgetText:
            return new (std::nothrow) TWText();
        case kWidgetButton:
            return new (std::nothrow) TButton();
        case kWidgetDialog:
            return new (std::nothrow) TDialog();
        case kWidgetProgress:
            return new (std::nothrow) TProgress();
        case kWidgetTiledBG:
            return new (std::nothrow) TTiledBG();
        case kWidgetTuner:
            return new (std::nothrow) TTuner();
        case kWidgetTextMulti:
            return new (std::nothrow) TTextMulti();
        case kWidgetCheckBox:
            return new (std::nothrow) TCheckBox();
        case kWidgetTextInfo:
            return new (std::nothrow) TTextInfo();
        default:
            return nullptr;
    }
}

TWidget* TTemplate::CopyWidget(const TWidget* record) {
    if (record == nullptr || record->kind < 0 || record->kind >= kWidgetKindCount) return nullptr;
    return record->Clone();
}

int TTemplate::AddWidget(int kind) { return AddToTemplateList(widgets, CreateWidget(kind), kRecordGrowth); }

void TTemplate::RemoveWidget(int index) {
    if (index < 0 || index >= widgets.count) return;
    TWidget* record = widgets.data[index];
    widgets.RemoveAt(index);
    delete record;
}

TWidget* TTemplate::GetWidget(const char* name) {
    if (name == nullptr) return nullptr;
    for (int i = 0; i < widgets.count; ++i)
        if (widgets.data[i]->name == name) return widgets.data[i];
    return nullptr;
}

TWidget* TTemplate::GetFirstRootWidget() {
    for (int i = 0; i < widgets.count; ++i)
        if (widgets.data[i]->kind == kWidgetRoot) return widgets.data[i];
    return nullptr;
}

int TTemplate::AddAction() { return AddToTemplateList(actions, new (std::nothrow) TAction(), kRecordGrowth); }

void TTemplate::RemoveAction(int index) {
    if (index < 0 || index >= actions.count) return;
    TAction* action = actions.data[index];
    actions.RemoveAt(index);
    delete action;
}

TAction* TTemplate::GetAction(const CommonString& name) {
    if (name.Length() == 0) return nullptr;
    for (int i = 0; i < actions.count; ++i)
        if (actions.data[i]->name == name) return actions.data[i];
    return nullptr;
}

int TTemplate::GetTotalBytes() const { return 40 + 32 * widgets.count + 32 * actions.count; }
