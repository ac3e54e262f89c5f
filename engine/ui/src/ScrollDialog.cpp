// Scroll lists: initialisation, rows, layout and categories.
#include "ui/ScrollDialog.h"

#include <new>

#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/ElementHost.h"
#include "ui/TabControl.h"
#include "ui/WidgetMakers.h"

IScrollDialogContainer::~IScrollDialogContainer() {
    m_pTabControl = nullptr;
    m_pScrollDialog = nullptr;
}

int IScrollDialogContainer::GetNumTabs() { return m_pTabControl != nullptr ? m_pTabControl->GetChildCount() : 1; }

CXScrollItemBase::CXScrollItemBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {
    SetOwnsRecord(true);
}

int CXScrollItemBase::NotifyPointerEvent(int x, int y, int type) { return NotifyPointerEventAsRow(x, y, type); }

CXScrollDialogBase::CXScrollDialogBase(CXElement* parent, TTemplate* templ, TWidget* record,
                                       const WidgetContext* placement, IScrollDialogContainer* container)
    : XGameDialog(parent, templ, record, placement), m_pContainer(container) {}

int CXScrollDialogBase::GetScrollItemWidth() {
    IDibBitmap* back = GetBackBuffer();
    return (back != nullptr ? back->m_Width : 0) - GetScrollItemBorderSize();
}

int CXScrollDialogBase::GetScrollItemHeight(int /*category*/) { return 1; }

CXScrollItemBase* CXScrollDialogBase::CreateScrollItemObject(CXElement* /*parent*/, TTemplate* /*templ*/,
                                                             TWidget* /*record*/, const WidgetContext* /*placement*/,
                                                             void* /*data*/) {
    return nullptr;
}

int CXScrollDialogBase::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    m_nModalKind = kModalChildren;
    SetModal(false);
    IElementHost* game = GetGamePtr();
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* edge = sets != nullptr ? sets->GetSpriteSetNamed("ScrollerEdge") : nullptr;
    if (edge == nullptr || edge->GetNumFrames() < 2) return 0;
    m_pBarTop = edge->GetFrame(0);
    m_pBarBottom = edge->GetFrame(1);
    if (m_pBarTop == nullptr || m_pBarBottom == nullptr) return 0;
    IDibBitmap* back = GetBackBuffer();
    if (back != nullptr) {
        if (m_bFillWidth) m_Rect.width = back->m_Width;
        const int height = back->m_Height - m_nBottomMargin - m_Rect.y;
        if (m_bFillHeight && height > 0) m_Rect.height = height;
    }
    m_Area = m_Rect;
    for (int category = 0; category < kRememberedCategories; ++category) {
        // The edge room may differ by category, through the row height.
        m_nCurrentCategory = category;
        if (!m_RememberedPositions.Add((-m_Area.y - GetVerticalEdgesOffset()) * 256)) return 0;
    }
    m_nCurrentCategory = -1;
    return 1;
}

bool CXScrollDialogBase::AddScrollItem(const CommonString& id, void* data) {
    auto* record = new (std::nothrow) TButton();
    if (record == nullptr) return false;
    record->kind = kWidgetButton;
    record->name = id;
    record->width = static_cast<short>(GetScrollItemWidth());
    record->height = static_cast<short>(GetScrollItemHeight());
    WidgetContext placement;
    placement.name = id;
    placement.alignX = 1;
    placement.alignY = 1;
    CXScrollItemBase* row = CreateScrollItemObject(this, m_pTemplate, record, &placement, data);
    if (row == nullptr) {
        delete record;
        return false;
    }
    // From here the row owns the record, and frees it with itself when it fails.
    return InitOrFreeWidget(row) != nullptr;
}

bool CXScrollDialogBase::ArrangeScrollItems() {
    const int n = GetChildCount();
    if (n == 0) return false;
    m_Rect = m_Area;
    const int gap = GetScrollItemBorderSize();
    const int w = GetScrollItemWidth();
    const int h = GetScrollItemHeight();
    for (int i = 0; i < n; ++i) GetChildPtrAt(i)->SetPosition(m_Area.x, m_Area.y + i * (h + gap), w, h);
    const int contentHeight = n * h + (n - 1) * gap;
    m_Rect.height = contentHeight;
    const int edges = GetVerticalEdgesOffset();
    m_nTopLimit = (-m_Area.y - edges) * 256;
    const FIXED_FLOAT end = (contentHeight + edges - m_Area.y - m_Area.height) * 256;
    m_nBottomLimit = end > m_nTopLimit ? end : m_nTopLimit;
    m_nPosition = m_nTopLimit;
    if (m_nCurrentCategory >= 0 && m_nCurrentCategory < GetNumCategories() &&
        m_nCurrentCategory < kRememberedCategories && m_nCurrentCategory < m_RememberedPositions.count)
        m_nPosition = m_RememberedPositions.data[m_nCurrentCategory];
    if (m_nPendingRequest == 1) m_nPosition = m_nBottomLimit;
    if (m_nPendingRequest == 2) m_nPosition = m_nBottomLimit - 26 * 256 - 2 * h * 256;
    m_nPendingRequest = 0;
    RecalcCurrentOffsetY();
    return true;
}

void CXScrollDialogBase::RecalcCurrentOffsetY() {
    const int dy = -(m_nPosition >> 8) - m_Rect.y;
    if (dy != 0) OffsetWidgetPosition(0, dy);
}

int CXScrollDialogBase::GetNumCategories() {
    if (m_pContainer == nullptr || m_pContainer->m_pTabControl == nullptr) return 1;
    return m_pContainer->m_pTabControl->GetChildCount();
}

bool CXScrollDialogBase::SetCurrentCategory(int category) {
    if (m_nCurrentCategory >= 0 && m_nCurrentCategory < GetNumCategories() &&
        m_nCurrentCategory < kRememberedCategories && m_nCurrentCategory < m_RememberedPositions.count)
        m_RememberedPositions.data[m_nCurrentCategory] = m_nPosition;
    m_nCurrentCategory = category;
    while (GetChildCount() > 0) {
        CXElement* row = GetChildPtrAt(0);
        SAFE_FREE_XELEMENT(row);
    }
    m_pBackground = nullptr;
    m_nSpeed = 0;
    m_nPosition = m_nTopLimit;
    if (category < 0 || category >= GetNumCategories()) return false;
    if (!CreateScrollItems()) return false;
    return ArrangeScrollItems();
}

void CXScrollDialogBase::FadeToCategory(int category) {
    m_nFadeTarget = category;
    m_nFadeStep = kFadeStep;
    if (!m_bFadeRunning) {
        m_nFadeAlpha = 0;
        m_bFadeRunning = true;
    }
}

bool CXScrollDialogBase::Contains(int x, int y) {
    return m_Area.x <= x && x <= m_Area.x + m_Area.width && m_Area.y <= y && y <= m_Area.y + m_Area.height;
}
