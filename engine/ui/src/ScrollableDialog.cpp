// The scrollable dialog: pages of buttons swiped sideways, and its wandering button.
#include "ui/ScrollableDialog.h"

#include <algorithm>

#include "render/DibBitmap.h"
#include "ui/ElementHost.h"

CXScrollableDialog::CXScrollableDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                       const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

int CXScrollableDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    m_nModalKind = kModalChildren;
    SetModal(false);
    return 1;
}

bool CXScrollableDialog::Contains(int x, int y) {
    return m_PageArea.x <= x && x <= m_PageArea.x + m_PageArea.width && m_PageArea.y <= y &&
           y <= m_PageArea.y + m_PageArea.height;
}

namespace {

// How one page lays out k items: the cells of its two rows and the cell width in pixels.
struct TPageLayout {
    int firstRow;
    int secondRow;
    int cellWidth;
};

TPageLayout LayoutOf(int k, int columns) {
    if (k <= columns) return {columns, 0, 200 / columns};
    if (k == 4) return {2, 2, 100};
    if (k == 6) return {3, 3, 66};
    return {3, 2, 66};
}

}  // namespace

bool CXScrollableDialog::ArrangeChildren(int columns, int rows) {
    if (columns < 1 || columns > 3 || rows < 1 || rows > 2) return false;
    m_nColumns = columns;
    m_nRows = rows;
    if (m_PageArea.width == 0 && m_PageArea.height == 0) m_PageArea = m_Rect;
    const int n = GetChildCount();
    if (n == 0) return false;
    m_nItemsPerPage = columns * rows;
    m_nPageCount = (n + m_nItemsPerPage - 1) / m_nItemsPerPage;
    for (int page = 0; page < m_nPageCount; ++page) {
        const int first = page * m_nItemsPerPage;
        const int k = std::min(n - first, m_nItemsPerPage);
        const TPageLayout layout = LayoutOf(k, columns);
        const int rowsUsed = layout.secondRow > 0 ? 2 : 1;
        const int rowHeight = m_Rect.height / rowsUsed;
        for (int item = 0; item < k; ++item) {
            const int row = item < layout.firstRow ? 0 : 1;
            const int cell = row == 0 ? item : item - layout.firstRow;
            // A shorter second row is centred under the first.
            const int shift = row == 1 ? (layout.firstRow - layout.secondRow) * layout.cellWidth / 2 : 0;
            const int cx = m_Rect.x + page * 200 + cell * layout.cellWidth + layout.cellWidth / 2 + shift;
            const int cy = m_Rect.y + row * rowHeight + rowHeight / 2;
            CXElement* child = GetChildPtrAt(first + item);
            if (!child->IsWidget()) continue;
            auto* widget = static_cast<XWidget*>(child);
            const TElementSize size = widget->GetSize();
            const TCoordRect2D at = widget->GetPosition();
            widget->OffsetWidgetPosition(cx - size.width / 2 - at.x, cy - size.height / 2 - at.y);
        }
    }
    if (IDibBitmap* back = GetBackBuffer()) m_Rect.width = back->m_Width * m_nPageCount;
    RecalcCurrentOffsetX();
    return true;
}

void CXScrollableDialog::RecalcCurrentOffsetX() {
    m_nOffsetX = GetPageOffsetX(m_nCurrentPage) - m_nDragOffset;
    const int dx = -(m_nOffsetX >> 8) - m_Rect.x;
    if (dx != 0) OffsetWidgetPosition(dx, 0);
}

bool CXScrollableDialog::SwitchToPage(int page) {
    if (page < 0 || page >= m_nPageCount) return false;
    m_nCurrentPage = page;
    return true;
}

bool CXScrollableDialog::ScrollToNextPage() {
    if (m_nCurrentPage + 1 < m_nPageCount) {
        ++m_nCurrentPage;
        m_nDragOffset += kPageWidth;
    }
    return true;
}

bool CXScrollableDialog::ScrollToPrevPage() {
    if (m_nCurrentPage > 0) {
        --m_nCurrentPage;
        m_nDragOffset -= kPageWidth;
    }
    return true;
}

void CXScrollableDialog::ClampToEdgePages() {
    if (m_nCurrentPage == 0 && m_nDragOffset > kEdgeLimit) {
        m_nDragOffset = kEdgeLimit;
        if (m_nDragSpeed > 0) m_nDragSpeed = 0;
    }
    if (m_nCurrentPage == m_nPageCount - 1 && m_nDragOffset < -kEdgeLimit) {
        m_nDragOffset = -kEdgeLimit;
        if (m_nDragSpeed < 0) m_nDragSpeed = 0;
    }
}

void CXScrollableDialog::RunProcess() {
    XWidget::RunProcess();
    if (!RunProcessChildren()) return;
    if (m_nPressX == -1) {
        // The content drifts back to its page, its speed turning towards it by a pixel a tick.
        if (m_nDragOffset > 0) {
            m_nDragOffset += m_nDragSpeed;
            m_nDragSpeed = std::max(m_nDragSpeed - 256, -5120);
            if (m_nDragOffset < 0) m_nDragOffset = 0;
        } else if (m_nDragOffset < 0) {
            m_nDragOffset += m_nDragSpeed;
            m_nDragSpeed = std::min(m_nDragSpeed + 256, 5120);
            if (m_nDragOffset > 0) m_nDragOffset = 0;
        }
        ClampToEdgePages();
    }
    RecalcCurrentOffsetX();
}

int CXScrollableDialog::NotifyPointerEvent(int x, int y, int type) {
    if (!IsVisible()) return 0;
    if (PassToModalChild(x, y, type)) return 1;
    IElementHost* game = GetGamePtr();
    if (type == XPOINTER_PRESS) {
        if (game != nullptr) game->XSetCapture(this);
        m_nLastMove = 0;
        m_bDragging = false;
        m_nPressX = m_nLastX = x;
        m_nPressY = m_nLastY = y;
        m_nDragSpeed = 0;
        if (CXElement* child = FindPointerTaker(x, y)) {
            m_pActiveChild = child;
            child->NotifyPointerEvent(x, y, type);
            OnScrollableDialogButtonActivated();
        }
        return 1;
    }
    if (type == XPOINTER_MOVE) {
        if (!m_bDragging) {
            const int dx = x - m_nPressX;
            const int dy = y - m_nPressY;
            if (dx * dx + dy * dy >= m_nDragThreshold) {
                m_bDragging = true;
                CXElement* active = m_pActiveChild;
                if (active != nullptr && active->IsWidget() && static_cast<XWidget*>(active)->GetRecord() != nullptr &&
                    static_cast<XWidget*>(active)->GetRecord()->kind == kWidgetButton) {
                    active->CancelActiveState();
                    m_pActiveChild = nullptr;
                    OnScrollableDialogButtonActiveCancelled();
                }
            }
        } else {
            const int d = x - m_nLastX;
            m_nDragOffset = std::clamp(m_nDragOffset + d * 256, -kDragLimit, kDragLimit);
            ClampToEdgePages();
            m_nLastMove = d;
        }
        m_nLastX = x;
        m_nLastY = y;
        m_nDragSpeed = 0;
        return 1;
    }
    if (type == XPOINTER_RELEASE) {
        if (game != nullptr && game->XGetCapture() == this) game->XReleaseCapture();
        const bool dragged = m_bDragging;
        const int d = m_nLastMove;
        m_bDragging = false;
        m_nPressX = m_nPressY = m_nLastX = m_nLastY = -1;
        m_nLastMove = 0;
        if (dragged) {
            if (d > 0 && m_nCurrentPage > 0) {
                --m_nCurrentPage;
                m_nDragOffset -= kPageWidth;
            } else if (d < 0 && m_nCurrentPage < m_nPageCount - 1) {
                ++m_nCurrentPage;
                m_nDragOffset += kPageWidth;
            }
            if (d != 0) m_nDragSpeed = d * 256;
            return 1;
        }
        if (CXElement* child = FindPointerTaker(x, y)) {
            m_pActiveChild = child;
            child->NotifyPointerEvent(x, y, type);
        }
    }
    return 1;
}

CXScrollableDialogButton::CXScrollableDialogButton(CXElement* parent, TTemplate* templ, TWidget* record,
                                                   const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {}

int CXScrollableDialogButton::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    m_nSpeedX = 10;
    m_nSpeedY = -18;
    IElementHost* game = GetGamePtr();
    m_nFloatX = (game != nullptr ? game->RandomValue(2 * kAmplitudeX) : 0) - kAmplitudeX;
    m_nFloatY = (game != nullptr ? game->RandomValue(2 * kAmplitudeY) : 0) - kAmplitudeY;
    return 1;
}

namespace {

// One step of a coordinate that bounces between -amplitude and +amplitude.
void Wander(FIXED_FLOAT& value, FIXED_FLOAT& speed, FIXED_FLOAT amplitude) {
    value += speed;
    if (value >= amplitude || value <= -amplitude) speed = -speed;
}

}  // namespace

void CXScrollableDialogButton::RunProcess() {
    XWidget::RunProcess();
    if (m_bPressed) return;
    Wander(m_nFloatX, m_nSpeedX, kAmplitudeX);
    Wander(m_nFloatY, m_nSpeedY, kAmplitudeY);
}
