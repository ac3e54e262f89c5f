// The dialog's command side: clicks bound to template actions, the action steps, and widgets
// shown from template files.
//
// Every send below may end with this dialog deleted (a screen that switches at once on 605), so
// each one is the last thing its function does with the dialog.
#include <memory>

#include "ui/Dialog.h"
#include "ui/TemplateReader.h"

namespace {

// "name" in double quotes, as single-record and single-action reads match the opening line.
CommonString Quoted(const char* name) { return CommonString("\"") + CommonString(name) + CommonString("\""); }

}  // namespace

WidgetContext DisplayPlacement(int x, int y, int alignX, int alignY, int alignXInParent, int alignYInParent,
                               bool inEffect, FIXED_FLOAT inDelay, FIXED_FLOAT inDuration, bool outEffect,
                               FIXED_FLOAT outDelay, FIXED_FLOAT outDuration) {
    WidgetContext placement;
    placement.x = static_cast<short>(x);
    placement.y = static_cast<short>(y);
    placement.alignX = static_cast<unsigned char>(alignX);
    placement.alignY = static_cast<unsigned char>(alignY);
    placement.alignXInParent = static_cast<unsigned char>(alignXInParent);
    placement.alignYInParent = static_cast<unsigned char>(alignYInParent);
    placement.inEffect = inEffect;
    placement.inDelay = inDelay;
    placement.inDuration = inDuration;
    placement.outEffect = outEffect;
    placement.outDelay = outDelay;
    placement.outDuration = outDuration;
    return placement;
}

int XDialog::OnMessage(CXElement* /*sender*/, int code, XWPARAM wparam, int lparam) {
    if (code != XMSG_CLICK) return SendMessage(m_pParent, code, wparam, lparam, false);
    TDialog* record = DialogRecord();
    const char* id = XIdText(wparam);
    const ChildAction* binding = record != nullptr && id != nullptr
                                     ? record->group.GetChildAction(CommonString(id), kBindingEventClick)
                                     : nullptr;
    if (binding == nullptr) {
        // The nearest enclosing record that binds the id wins, up to the screen root.
        SendMessage(m_pParent, code, wparam, lparam, false);
        return 1;
    }
    if (binding->action == gc_strBackActionId) {
        DoBackAction();
        SendMessage(this, XMSG_ACTION_DONE, XIdParam(gc_strBackActionId), 0, false);
        return 1;
    }
    TAction* action = m_pTemplate != nullptr ? m_pTemplate->GetAction(binding->action) : nullptr;
    if (action != nullptr) {
        DoAction(action);
        SendMessage(this, XMSG_ACTION_DONE, XIdParam(action->name.GetData()), 0, false);
    }
    return 1;
}

int XDialog::DoAction(TAction* action) {
    if (action == nullptr) return 0;
    if (action->name == gc_strBackActionId) {
        for (int i = 0; i < action->steps.count; ++i) DoActionStep(action->steps.data[i]);
        return 1;
    }
    // Where the widgets an action destroys stood, so that its back action can put them back.
    CQuorvanObjPtrArray<WidgetContext*> savedContexts;
    savedContexts.growBy = 10;
    for (int i = 0; i < action->steps.count; ++i) {
        ActionStep* step = action->steps.data[i];
        if (step != nullptr && step->type == kStepDestroy) {
            WidgetContext context;
            if (GetChildWidgetContext(step->name, &context)) (void)savedContexts.AddOwned(new WidgetContext(context));
        }
        DoActionStep(step);
    }
    StoreBackAction(action, savedContexts);
    return 1;
}

int XDialog::DoAction(const CommonString& name) {
    TAction* action = m_pTemplate != nullptr ? m_pTemplate->GetAction(name) : nullptr;
    if (action == nullptr) return 0;
    const int result = DoAction(action);
    SendMessage(this, XMSG_ACTION_DONE, XIdParam(action->name.GetData()), 0, false);
    return result;
}

int XDialog::DoAction(const CommonString& file, const CommonString& name) {
    if (file.Length() == 0) return 0;
    CTemplateReader reader;
    std::unique_ptr<TAction> action(reader.ReadAction(GetGamePtr(), file, Quoted(name.GetData()).GetData()));
    if (action == nullptr) return 0;
    const int result = DoAction(action.get());
    SendMessage(this, XMSG_ACTION_DONE, XIdParam(action->name.GetData()), 0, false);
    return result;
}

void XDialog::DoActionStep(ActionStep* step) {
    if (step == nullptr) return;
    if (step->type == kStepCreate)
        DoActionStepCreate(step);
    else if (step->type == kStepDestroy)
        DoActionStepDestroy(step);
}

void XDialog::DoActionStepCreate(ActionStep* step) {
    TWidget* record = GetTWidgetPtr(step->name);
    if (record == nullptr) return;
    WidgetContext placement = step->context;
    // The step's out-effect is for the destroy step that later closes the widget, not a timer.
    placement.outDelay = -256;
    XWidget* widget = CreateAndInitChild(record, &placement);
    if (widget == nullptr) return;
    widget->ApplyAlignType();
    if (placement.inEffect) widget->SheduleCreateWithEffect(placement.inDelay, placement.inDuration);
}

void XDialog::DoActionStepDestroy(ActionStep* step) {
    XWidget* widget = FindChildWithWidgetId(step->name.GetData());
    if (widget == nullptr) return;
    if (step->context.outEffect)
        widget->SheduleDestroyWithEffect(0, step->context.outDuration);
    else
        widget->SheduleDestroyWithEffect(0, 0);
}

int XDialog::GetChildWidgetContext(const CommonString& id, WidgetContext* out) {
    if (out == nullptr) return 0;
    XWidget* widget = FindChildWithWidgetId(id.GetData());
    if (widget == nullptr) return 0;
    *out = widget->GetContext();
    return 1;
}

XWidget* XDialog::DisplayWidgetWithParams(TWidget* record, const WidgetContext* placement) {
    XWidget* widget = CreateAndInitChild(record, placement);
    if (widget == nullptr) return nullptr;
    widget->ApplyAlignType();
    if (placement->inEffect) widget->SheduleCreateWithEffect(placement->inDelay, placement->inDuration);
    if (placement->outEffect) widget->SheduleDestroyWithEffect(placement->outDelay, placement->outDuration);
    return widget;
}

XWidget* XDialog::DisplayWidget(const char* file, const char* name, int x, int y, int alignX, int alignY,
                                int alignXInParent, int alignYInParent, bool inEffect, FIXED_FLOAT inDelay,
                                FIXED_FLOAT inDuration, bool outEffect, FIXED_FLOAT outDelay, FIXED_FLOAT outDuration) {
    if (file == nullptr || name == nullptr) return nullptr;
    CTemplateReader reader;
    TWidget* record = reader.ReadWidget(GetGamePtr(), file, Quoted(name).GetData());
    if (record == nullptr) return nullptr;
    const WidgetContext placement = DisplayPlacement(x, y, alignX, alignY, alignXInParent, alignYInParent, inEffect,
                                                     inDelay, inDuration, outEffect, outDelay, outDuration);
    XWidget* widget = DisplayWidgetWithParams(record, &placement);
    if (widget == nullptr) {
        delete record;
        return nullptr;
    }
    widget->SetOwnsRecord(true);
    return widget;
}

XWidget* XDialog::DisplayWidgetInCurrentTemplate(const CommonString& name, int x, int y, int alignX, bool inEffect,
                                                 FIXED_FLOAT inDelay, FIXED_FLOAT inDuration, bool outEffect,
                                                 FIXED_FLOAT outDelay, FIXED_FLOAT outDuration) {
    TWidget* record = m_pTemplate != nullptr ? m_pTemplate->GetWidget(name.GetData()) : nullptr;
    if (record == nullptr) return nullptr;
    const WidgetContext placement =
        DisplayPlacement(x, y, alignX, 0, 0, 0, inEffect, inDelay, inDuration, outEffect, outDelay, outDuration);
    return DisplayWidgetWithParams(record, &placement);
}
