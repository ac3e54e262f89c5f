#pragma once
// A parsed UI template: the widget records of one template file (ui/TemplateRecords.h) and its
// named actions with their steps. The template owns
// its records and actions; live widgets keep pointers into it, so it lives as long as any widget
// built from it. Templates are read by CTemplateReader (ui/TemplateReader.h).
//
// Depends on: core (strings, arrays). Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "ui/TemplateRecords.h"

// The name of the back action: a binding may name it; it is built at run time, never looked up.
extern const char* const gc_strBackActionId;

// ActionStep::type values.
enum : int { kStepCreate = 0, kStepDestroy = 1 };

// One step of an action: create a widget from a record, or destroy a widget by id.
class ActionStep {
public:
    ActionStep() = default;
    ActionStep(const ActionStep&) = default;
    ActionStep& operator=(const ActionStep&) = default;
    virtual ~ActionStep() = default;

    int type = kStepCreate;
    CommonString name;      // create: the record to build; destroy: the widget id to remove
    WidgetContext context;  // position, alignments and fades of the step (its own name unused)
};

// A named list of steps, run in order.
struct TAction {
    TAction();
    TAction(const TAction& other);
    TAction& operator=(const TAction&) = delete;

    // Appends a new step of that type; 1, or 0 when the list cannot grow.
    int AddStep(int type);

    CommonString name;
    CQuorvanObjPtrArray<ActionStep*> steps;  // growth step 1
};

struct TTemplate {
    TTemplate();
    TTemplate(const TTemplate&) = delete;
    TTemplate& operator=(const TTemplate&) = delete;

    // A new record of that kind with its defaults (kind not stored: the caller does), owned by the
    // caller; null outside 0..10.
    static TWidget* CreateWidget(int kind);
    // A deep copy of the record; null for a null record or a kind outside 0..10.
    static TWidget* CopyWidget(const TWidget* record);

    // Appends a new record of that kind; 1, or 0 for an invalid kind or a full list.
    int AddWidget(int kind);
    // Deletes the record at index and closes the gap; out of range does nothing.
    void RemoveWidget(int index);
    // The first record whose name equals name byte for byte; null for null or none.
    TWidget* GetWidget(const char* name);
    // The first root record, or null.
    TWidget* GetFirstRootWidget();
    // Appends a new empty action; 1, or 0 when the list cannot grow.
    int AddAction();
    // Deletes the action at index and closes the gap; out of range does nothing.
    void RemoveAction(int index);
    // The first action of that name; an empty name matches nothing.
    TAction* GetAction(const CommonString& name);
    // A rough memory estimate: 40, plus 32 per record and per action.
    int GetTotalBytes() const;

    // The last record or action, or null when there is none.
    TWidget* LastWidget() const { return widgets.count > 0 ? widgets.data[widgets.count - 1] : nullptr; }
    TAction* LastAction() const { return actions.count > 0 ? actions.data[actions.count - 1] : nullptr; }

    CQuorvanObjPtrArray<TWidget*> widgets;  // growth step 5, file order
    CQuorvanObjPtrArray<TAction*> actions;  // growth step 5, file order
};
