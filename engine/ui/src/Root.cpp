// The screen root: building a screen from its template and the back-action stack.
#include "ui/Root.h"

#include <new>

#include "ui/TemplateReader.h"

XRoot::XRoot(CXElement* parent) : XDialog(parent, nullptr, nullptr, nullptr) {}

XRoot::~XRoot() {
    ClearRoot();
    // The children point into the template: they go first.
    DeleteAllChildWidgets();
    delete m_pTemplate;
    m_pTemplate = nullptr;
}

void XRoot::ClearRoot() {
    while (m_BackActions.count > 0) delete m_BackActions.Pop();
}

void XRoot::PopLastBackAction() { delete m_BackActions.Pop(); }

TAction* XRoot::GetLastBackAction() const {
    return m_BackActions.count > 0 ? m_BackActions.data[m_BackActions.count - 1] : nullptr;
}

namespace {

TWidget* RootRecordOf(TTemplate* templ, const char* rootName) {
    if (templ == nullptr) return nullptr;
    return rootName != nullptr ? templ->GetWidget(rootName) : templ->GetFirstRootWidget();
}

}  // namespace

int XRoot::InitRoot(const CommonString& file, const char* rootName) {
    ClearRoot();
    DeleteAllChildWidgets();
    if (file == m_TemplateFile) {
        TWidget* record = RootRecordOf(m_pTemplate, rootName);
        if (record == nullptr) return 0;
        m_pRecord = record;
    } else {
        delete m_pTemplate;
        m_pTemplate = nullptr;
        m_pRecord = nullptr;
        m_TemplateFile = CommonString();
        CTemplateReader reader;
        TTemplate* templ = reader.ReadTemplate(GetGamePtr(), file);
        if (templ == nullptr) return 0;
        TWidget* record = RootRecordOf(templ, rootName);
        if (record == nullptr) {
            delete templ;
            return 0;
        }
        m_pTemplate = templ;
        m_pRecord = record;
        m_TemplateFile = file;
    }
    return OnInitWidget();
}

int XRoot::OnInitWidget() {
    if (m_pTemplate == nullptr || m_pRecord == nullptr) return 0;
    if (!XDialog::OnInitWidget()) return 0;
    InitBackground();
    return 1;
}

void XRoot::InitBackground() {
    if (m_pBackground == nullptr) return;
    const auto* record = dynamic_cast<const TRoot*>(m_pRecord);
    if (record == nullptr) return;
    const TElementSize background = m_pBackground->GetSize();
    const int dw = m_Rect.width - background.width;
    const int dh = m_Rect.height - background.height;
    const int dx = record->alignBg == 1 ? dw >> 1 : record->alignBg == 2 ? dw : 0;
    const int dy = record->alignBgV == 1 ? dh >> 1 : record->alignBgV == 2 ? dh : 0;
    m_pBackground->OffsetWidgetPosition(dx, dy);
}

void XRoot::RunProcess() { RunProcessChildren(); }

bool XRoot::ActionCanBeRaisedByChlid(const CommonString& actionName, XWidget* child) {
    const TDialog* record = DialogRecord();
    if (child == nullptr || actionName.Length() == 0 || record == nullptr) return false;
    const CQuorvanObjPtrArray<ChildAction*>& bindings = record->group.actions;
    for (int i = 0; i < bindings.count; ++i) {
        const ChildAction* binding = bindings.data[i];
        if (binding->action == actionName && child->FindChildWithWidgetId(binding->widgetId.GetData()) != nullptr)
            return true;
    }
    return false;
}

namespace {

// The last saved placement of that widget name, or null.
const WidgetContext* LastSavedContext(const CQuorvanObjPtrArray<WidgetContext*>& saved, const CommonString& name) {
    for (int i = saved.count - 1; i >= 0; --i)
        if (saved.data[i] != nullptr && saved.data[i]->name == name) return saved.data[i];
    return nullptr;
}

}  // namespace

void XRoot::StoreBackAction(TAction* action, CQuorvanObjPtrArray<WidgetContext*>& savedContexts) {
    if (action == nullptr || action->steps.count == 0 || action->name == gc_strBackActionId) return;
    const CommonString back(gc_strBackActionId);
    bool opensClosable = false;
    for (int i = action->steps.count - 1; i >= 0 && !opensClosable; --i) {
        const ActionStep* step = action->steps.data[i];
        if (step->type != kStepCreate) continue;
        opensClosable = ActionCanBeRaisedByChlid(back, FindChildWithWidgetId(step->name.GetData()));
    }
    if (!opensClosable) return;
    auto* reverse = new (std::nothrow) TAction();
    if (reverse == nullptr) return;
    reverse->name = back;
    for (int i = 0; i < action->steps.count; ++i) {
        const ActionStep* step = action->steps.data[i];
        const WidgetContext* context = &step->context;
        int type = kStepDestroy;
        if (step->type == kStepDestroy) {
            context = LastSavedContext(savedContexts, step->name);
            if (context == nullptr) continue;
            type = kStepCreate;
        } else if (step->type != kStepCreate) {
            continue;
        }
        if (!reverse->AddStep(type)) {
            delete reverse;
            return;
        }
        ActionStep* added = reverse->steps.data[reverse->steps.count - 1];
        added->name = step->name;
        added->context = *context;
    }
    if (!m_BackActions.Push(reverse)) delete reverse;
}

void XRoot::DoBackAction() {
    if (m_BackActions.count == 0) return;
    TAction* action = m_BackActions.Pop();
    DoAction(action);
    delete action;
}

XRoot* XRoot::FindRoot(CXElement* game) {
    if (game == nullptr) return nullptr;
    for (int i = 0; i < game->GetChildCount(); ++i) {
        CXElement* child = game->GetChildPtrAt(i);
        if (child != nullptr && child->IsWidget() && static_cast<XWidget*>(child)->IsRoot())
            return static_cast<XRoot*>(child);
    }
    return nullptr;
}
