// Tabs and the tab control.
#include "ui/TabControl.h"

#include <new>

#include "render/DibBitmap.h"
#include "ui/ElementHost.h"
#include "ui/WidgetMakers.h"

CXTabBase::CXTabBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {}

int CXTabBase::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    const TCoordRect2D rect = GetDrawingRect();
    SetPosition(rect.x, rect.y, rect.width, rect.height);
    return 1;
}

void CXTabBase::OnPointerPressed() {
    m_bActive = true;
    SendMessage(m_pParent, XMSG_TAB_PRESSED, Id2WParam(), 0, false);
}

void CXTabBase::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (GetOpacity() <= 0 || target == nullptr) return;
    if (m_Image.set != nullptr) {
        if (IDibBitmap* bitmap = m_Image.FrameBitmap(m_bActive ? 1 : 0)) {
            const TCoord2D center = CalcCenter();
            bitmap->Draw(target, center.x - bitmap->m_Width / 2, center.y - bitmap->m_Height / 2, bitmap->m_Width,
                         bitmap->m_Height, 0, OpacityToAlphaOffset(GetOpacity()));
        }
    }
    DrawButtonText2();
}

CXTabControlBase::CXTabControlBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

int CXTabControlBase::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    SetModal(false);
    m_nModalKind = kModalPosition;
    return 1;
}

CXTabBase* CXTabControlBase::CreateTab(TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) CXTabBase(this, m_pTemplate, record, placement);
}

XWidget* CXTabControlBase::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetButton) {
        if (CXTabBase* tab = CreateTab(record, placement)) return InitOrFreeWidget(tab);
    }
    return XGameDialog::CreateAndInitChild(record, placement);
}

CXTabBase* CXTabControlBase::GetTab(int index) { return dynamic_cast<CXTabBase*>(GetChildPtrAt(index)); }

bool CXTabControlBase::ActivateTab(int index) {
    for (int i = 0; i < GetChildCount(); ++i)
        if (CXTabBase* tab = GetTab(i)) tab->SetActive(i == index);
    return true;
}

int CXTabControlBase::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code != XMSG_TAB_PRESSED) return XDialog::OnMessage(sender, code, wparam, lparam);
    const char* id = XIdText(wparam);
    int matched = -1;
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        CXTabBase* tab = GetTab(i);
        if (tab == nullptr) continue;
        const bool same = id != nullptr && tab->GetRecord() != nullptr && tab->GetRecord()->name == id;
        tab->SetActive(same);
        if (same) matched = i;
    }
    if (matched < 0) return 1;
    // The game object sends it: the parent sees the game as the sender, as with its own messages.
    CXElement* top = this;
    while (top->GetParent() != nullptr) top = top->GetParent();
    top->SendMessage(m_pParent, XMSG_TAB_ACTIVATED, matched, 0, false);
    return 1;
}
