// The dialog: building, drawing, input, focus and the per-frame removal of faded-out children.
#include "ui/Dialog.h"

#include "render/DibBitmap.h"
#include "ui/ElementHost.h"
#include "ui/WidgetFactory.h"
#include "ui/WidgetMakers.h"

XDialog::XDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XWidget(parent, templ, record, placement) {}

XDialog::~XDialog() {
    *m_pAlive = false;
    m_pBackground = nullptr;
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        CXElement* child = GetChildPtrAt(i);
        SAFE_FREE_XELEMENT(child);
    }
}

int XDialog::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    if (const TDialog* record = DialogRecord()) {
        m_nBgTilesX = record->bgCenterTilesX;
        m_nBgTilesY = record->bgCenterTilesY;
        m_nSizeMethod = record->size_method;
    }
    if (!CreateAndInitChildren()) return 0;
    const TElementSize size = GetSize();
    SetPosition(m_Rect.x, m_Rect.y, size.width, size.height);
    InitDefaultBackground();
    m_pActiveChild = nullptr;
    const TDialog* record = DialogRecord();
    m_nModalKind = record != nullptr ? record->modal : static_cast<unsigned char>(kModalDefault);
    if (m_nModalKind == kModalDefault) SetModal(true);
    if (CXElement* modal = FindModalChild())
        m_pActiveChild = modal;
    else
        SetNextActiveObject(XKEY_NEXT2);
    SendMessage(m_pParent, XMSG_DIALOG_INIT, Id2WParam(), 0, false);
    return 1;
}

int XDialog::CreateAndInitChildren() {
    TDialog* record = DialogRecord();
    if (record == nullptr) return 0;
    if (record->background.Length() > 0 && m_pTemplate != nullptr) {
        if (TWidget* background = m_pTemplate->GetWidget(record->background.GetData())) {
            m_pBackground = CreateAndInitChild(background, nullptr);
            if (m_pBackground == nullptr) return 0;
        }
    }
    const CQuorvanObjPtrArray<WidgetContext*>& placements = record->group.children;
    for (int i = 0; i < placements.count; ++i) {
        const WidgetContext* placement = placements.data[i];
        TWidget* child = m_pTemplate != nullptr ? m_pTemplate->GetWidget(placement->name.GetData()) : nullptr;
        if (child == nullptr) continue;
        if (CreateAndInitChild(child, placement) == nullptr) return 0;
    }
    // A root aligns the whole tree once it exists; a dialog built later is aligned by its creator.
    if (IsRoot())
        ApplyAlignType();
    else
        ApplyOpacity(m_nOwnOpacity);
    return 1;
}

XWidget* XDialog::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record == nullptr) return nullptr;
    if (record->kind == kWidgetDialog)
        return MakeAndInitWidget(MakeWidget<XDialog>, this, m_pTemplate, record, placement);
    return CreateAndInitLeafWidget(this, m_pTemplate, record, placement, m_nBgTilesX, m_nBgTilesY);
}

TWidget* XDialog::GetTWidgetPtr(const CommonString& name) {
    return m_pTemplate != nullptr ? m_pTemplate->GetWidget(name.GetData()) : nullptr;
}

void XDialog::StoreBackAction(TAction* /*action*/, CQuorvanObjPtrArray<WidgetContext*>& /*savedContexts*/) {}

TElementSize XDialog::GetSize() {
    TElementSize size{m_Rect.width, m_Rect.height};
    if (size.width >= 2 && size.height >= 2) return size;
    TElementSize fill{size.width, size.height};
    if (m_pBackground != nullptr && m_nSizeMethod == 1) {
        fill = m_pBackground->GetSize();
    } else if (IDibBitmap* back = GetBackBuffer()) {
        fill = {back->m_Width, back->m_Height};
    }
    if (size.width < 2) size.width = fill.width;
    if (size.height < 2) size.height = fill.height;
    return size;
}

void XDialog::OffsetWidgetPosition(int dx, int dy) {
    XWidget::OffsetWidgetPosition(dx, dy);
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsWidget()) static_cast<XWidget*>(child)->OffsetWidgetPosition(dx, dy);
    }
}

void XDialog::DeleteAllChildWidgets() {
    m_pBackground = nullptr;
    XWidget::DeleteAllChildWidgets();
}

void XDialog::InitDefaultBackground() {
    const TDialog* record = DialogRecord();
    if (record == nullptr) return;
    m_bHasColor = record->hasColor;
    m_Color = record->color;
}

void XDialog::DrawBackground() {
    IDibBitmap* back = GetBackBuffer();
    if (!m_bHasColor || back == nullptr) return;
    const int w = m_Rect.width < 2 ? back->m_Width - m_Rect.x : m_Rect.width;
    const int h = m_Rect.height < 2 ? back->m_Height - m_Rect.y : m_Rect.height;
    if (m_Rect.x == 0 && m_Rect.y == 0 && w == back->m_Width && h == back->m_Height)
        back->ClearBitmap(m_Color.r, m_Color.g, m_Color.b);
    else
        back->FillRectangle(m_Rect.x, m_Rect.y, w, h, m_Color.r, m_Color.g, m_Color.b);
}

bool XDialog::DrawChildren(int first, CXElement* stop) {
    bool postDrawn = false;
    for (int i = first; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child == stop) return postDrawn;
        // Modal dialogs stay above whatever the screen draws itself.
        if (child->IsModal() && !postDrawn) {
            PostDraw();
            postDrawn = true;
        }
        if (child->IsVisible()) child->Draw();
        if (child == m_pBackground) PreDraw();
    }
    if (!postDrawn) PostDraw();
    return true;
}

void XDialog::Draw() {
    DrawBackground();
    if (!IsVisible()) return;
    DrawChildren(0, nullptr);
}

void XDialog::DrawZOrder(CXElement* from, CXElement* to) {
    if (!IsVisible()) return;
    if (GetChildCount() == 0) {
        PostDraw();
        return;
    }
    int first = 0;
    if (from != nullptr) {
        while (first < GetChildCount() && GetChildPtrAt(first) != from) ++first;
    }
    DrawChildren(first, to);
}

CXElement* XDialog::GetNextChildWidgetAfter(CXElement* e) {
    if (e == nullptr) return GetChildPtrAt(0);
    for (int i = 0; i < GetChildCount(); ++i)
        if (GetChildPtrAt(i) == e) return GetChildPtrAt(i + 1);
    return nullptr;
}

XWidget* XDialog::ChildDialogShown() {
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (!child->IsWidget() || !child->IsVisible()) continue;
        auto* widget = static_cast<XWidget*>(child);
        if (widget->GetRecord() != nullptr && widget->GetRecord()->kind == kWidgetDialog) return widget;
    }
    return nullptr;
}

void XDialog::RemoveWidget(const CommonString& id) {
    XWidget* widget = FindChildWithWidgetId(id.GetData());
    if (widget != nullptr && widget != this) RemoveChild(widget);
}

void XDialog::RemoveAllWidgets() {
    const TDialog* record = DialogRecord();
    if (record == nullptr) return;
    for (int i = 0; i < record->group.children.count; ++i) RemoveWidget(record->group.children.data[i]->name);
}

void XDialog::CancelPressedState(CXElement* element) {
    if (element != nullptr) element->CancelActiveState();
}

bool XDialog::Contains(int x, int y) {
    if (m_nModalKind == kModalDefault) return true;
    if (m_nModalKind == kModalPosition && m_Rect.x <= x && x < m_Rect.x + m_Rect.width && m_Rect.y <= y &&
        y < m_Rect.y + m_Rect.height)
        return true;
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsVisible() && child->Contains(x, y)) return true;
    }
    return false;
}

CXElement* XDialog::FindPointerTaker(int x, int y) {
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        CXElement* child = GetChildPtrAt(i);
        if (!child->IsVisible() || !(child->Contains(x, y) || child->IsModal())) continue;
        // A widget fading in or out (or waiting to) lets the event through to what lies below.
        if (child->IsWidget() && static_cast<XWidget*>(child)->IsFadingThisOrParentNow()) continue;
        return child;
    }
    return nullptr;
}

bool XDialog::PassToModalChild(int x, int y, int type) {
    CXElement* modal = FindModalChild();
    if (modal == nullptr) return false;
    m_pActiveChild = modal;
    modal->NotifyPointerEvent(x, y, type);
    return true;
}

int XDialog::NotifyPointerEvent(int x, int y, int type) { return NotifyPointerEventWidgetHelper(x, y, type); }

int XDialog::NotifyPointerEventWidgetHelper(int x, int y, int type) {
    if (!IsVisible()) return 0;
    if (PassToModalChild(x, y, type)) return 1;
    if (CXElement* taker = FindPointerTaker(x, y)) {
        m_pActiveChild = taker;
        return taker->NotifyPointerEvent(x, y, type);
    }
    return Contains(x, y) ? 1 : (IsModal() ? 1 : 0);
}

int XDialog::NotifyKeyEvent(int key, int type) { return NotifyKeyEventWidgetHelper(key, type); }

int XDialog::NotifyKeyEventWidgetHelper(int key, int type) {
    if (CXElement* modal = FindModalChild()) return modal->NotifyKeyEvent(key, type);
    if (type == 1) {
        const bool forward = key == XKEY_NEXT || key == XKEY_NEXT2;
        const bool backward = key == XKEY_PREV || key == XKEY_PREV2;
        if (forward || backward) {
            if (IsFadingOut() || IsFadingIn()) return 1;
            CancelPressedState(m_pActiveChild);
            if (forward ? SetNextActiveObject(key) : SetPrevActiveObject(key)) return 1;
        }
    }
    IElementHost* game = GetGamePtr();
    if (game != nullptr) {
        const bool yes = game->LastKeyCodeIsSmartphoneYes();
        const bool no = !yes && game->LastKeyCodeIsSmartphoneNo();
        XWidget* shoulder = yes ? GetShoulderButton(1) : no ? GetShoulderButton(2) : nullptr;
        if (shoulder != nullptr) {
            if (game->IsKeyLocked(XKEY_SELECT)) {
                if (type != 1) game->UnLockKeys();
                return 1;
            }
            if (!shoulder->IsFadingThisOrParentNow()) {
                SetFocus(shoulder);
                return shoulder->NotifyKeyEvent(XKEY_SELECT, type) ? 1 : 0;
            }
        }
    }
    return CXElement::NotifyKeyEvent(key, type);
}

int XDialog::SetNextActiveObject(int key) { return MoveDialogFocus(key, +1); }
int XDialog::SetPrevActiveObject(int key) { return MoveDialogFocus(key, -1); }

namespace {

bool IsInteractiveAndVisible(CXElement* element) {
    return element != nullptr && element->IsWidget() && static_cast<XWidget*>(element)->IsInteractive() &&
           element->IsVisible();
}

}  // namespace

int XDialog::MoveDialogFocus(int key, int step) {
    const int n = GetChildCount();
    if (m_pActiveChild == nullptr) {
        if (n == 0) return 1;
        // Starting from the far end, the first step lands on the near end.
        SetFocus(GetChildPtrAt(step > 0 ? n - 1 : 0));
    }
    if ((step > 0 ? m_pActiveChild->SetNextActiveObject(key) : m_pActiveChild->SetPrevActiveObject(key)) != 0) return 1;
    int interactive = 0;
    for (int i = 0; i < n; ++i)
        if (IsInteractiveAndVisible(GetChildPtrAt(i))) ++interactive;
    if (interactive == 1 && IsInteractiveAndVisible(m_pActiveChild)) return 1;
    int index = -1;
    for (int i = 0; i < n; ++i)
        if (GetChildPtrAt(i) == m_pActiveChild) index = i;
    if (index < 0) return 0;
    const int start = index;
    for (;;) {
        index = (index + step + n) % n;
        CXElement* next = GetChildPtrAt(index);
        SetFocus(next);
        if (index == start) return 0;
        if (IsInteractiveAndVisible(next)) return 1;
    }
}

void XDialog::RemoveChildAt(int index) {
    CXElement::RemoveChildAt(index);
    const int n = GetChildCount();
    if (m_pActiveChild != nullptr || n == 0) return;
    int at = n - 1;
    SetFocus(GetChildPtrAt(at));
    for (int tries = 0; tries < n; ++tries) {
        at = (at + 1) % n;
        CXElement* next = GetChildPtrAt(at);
        SetFocus(next);
        if (at == n - 1 || IsInteractiveAndVisible(next)) return;
    }
}

void XDialog::RunProcess() {
    XWidget::RunProcess();
    RunProcessChildren();
}

bool XDialog::RunProcessChildren() {
    const std::shared_ptr<const bool> alive = m_pAlive;
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        // A child's update or a 606 handler may have taken children away.
        if (i >= GetChildCount()) continue;
        CXElement* child = GetChildPtrAt(i);
        child->RunProcess();
        if (!*alive) return false;
        if (i >= GetChildCount() || GetChildPtrAt(i) != child || !child->IsWidget()) continue;
        auto* widget = static_cast<XWidget*>(child);
        if (!widget->IsDestroyPending()) continue;
        // The id may live in a record the widget owns: keep a copy for the message.
        const CommonString id(XIdText(widget->Id2WParam()));
        if (widget == m_pBackground) m_pBackground = nullptr;
        SAFE_FREE_XELEMENT(widget);
        SendMessage(this, XMSG_CHILD_REMOVED, XIdParam(id.GetData()), 0, false);
        if (!*alive) return false;
    }
    return true;
}
