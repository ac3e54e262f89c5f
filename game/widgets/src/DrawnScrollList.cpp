// The self-drawn scrolling list: set-up, input, motion and the shared drawing.
#include "game/widgets/DrawnScrollList.h"

#include <algorithm>

#include "app/GameBase.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingUtils.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

constexpr int kTemplateScreenHeight = 480;
constexpr int kShadeAlpha = 64;
constexpr int kEdgeLineAlpha = 128;

}  // namespace

CXDrawnScrollList::CXDrawnScrollList(CXElement* parent, TTemplate* templ, TWidget* record,
                                     const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

CXDrawnScrollList::~CXDrawnScrollList() {
    if (m_pEdgeSet != nullptr) m_pEdgeSet->ReleaseReference();
}

bool CXDrawnScrollList::InitList() {
    if (!XDialog::OnInitWidget()) return false;
    m_nModalKind = kModalChildren;
    SetModal(false);
    auto* game = dynamic_cast<CGameBase*>(GetGamePtr());
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* edge = sets != nullptr ? sets->GetSpriteSetNamed("ScrollerEdge") : nullptr;
    if (edge == nullptr || !edge->AddReference()) return false;
    m_pEdgeSet = edge;
    m_pBarTop = edge->GetNumFrames() > 1 ? edge->GetFrame(0) : nullptr;
    m_pBarBottom = edge->GetNumFrames() > 1 ? edge->GetFrame(1) : nullptr;
    if (m_pBarTop == nullptr || m_pBarBottom == nullptr) return false;
    if (const IDibBitmap* back = GetBackBuffer()) {
        m_Rect.width = back->m_Width;
        m_Rect.height += back->m_Height - kTemplateScreenHeight;
    }
    m_Visible = m_Rect;
    // The template's children are only placeholders: the list draws its rows itself.
    m_pBackground = nullptr;
    m_pActiveChild = nullptr;
    while (GetChildCount() > 0) {
        CXElement* child = GetChildPtrAt(0);
        SAFE_FREE_XELEMENT(child);
    }
    return true;
}

void CXDrawnScrollList::SetLimits(FIXED_FLOAT minimum, int contentHeight) {
    m_nMinimum = minimum;
    m_nMaximum = std::max(minimum, (contentHeight - m_Visible.height) * 256);
}

bool CXDrawnScrollList::Contains(int x, int y) {
    return m_Visible.x <= x && x <= m_Visible.x + m_Visible.width && m_Visible.y <= y &&
           y <= m_Visible.y + m_Visible.height;
}

void CXDrawnScrollList::ClearPoints() { m_nPressX = m_nPressY = m_nLastX = m_nLastY = -1; }

int CXDrawnScrollList::NotifyPointerEvent(int x, int y, int type) {
    IElementHost* game = GetGamePtr();
    if (type == XPOINTER_PRESS) {
        if (!AcceptsPress()) return 1;
        if (game != nullptr) game->XSetCapture(this);
        // A finger stops an overshoot where the limits are.
        m_nOffset = std::clamp(m_nOffset, m_nMinimum, m_nMaximum);
        m_nPressX = m_nLastX = x;
        m_nPressY = m_nLastY = y;
        m_bDragging = false;
        m_nLastMove = 0;
        m_pActiveChild = FindPointerTaker(x, y);
        if (m_pActiveChild != nullptr) m_pActiveChild->NotifyPointerEvent(x, y, type);
        return 1;
    }
    if (type == XPOINTER_MOVE) {
        if (!FingerDown()) return 1;
        if (!m_bDragging) {
            const int dx = x - m_nPressX;
            const int dy = y - m_nPressY;
            if (dx * dx + dy * dy >= m_nDragThreshold) {
                m_bDragging = true;
                if (m_pActiveChild != nullptr) m_pActiveChild->CancelActiveState();
                m_pActiveChild = nullptr;
            }
            m_nLastX = x;
            m_nLastY = y;
            return 1;
        }
        const int dy = DampedDragStep(y - m_nLastY, m_nOffset, m_nMinimum, m_nMaximum);
        m_nOffset -= dy * 256;
        m_nLastMove = dy;
        m_nLastX = x;
        m_nLastY = y;
        return 1;
    }
    if (type == XPOINTER_RELEASE) {
        if (game != nullptr && game->XGetCapture() == this) game->XReleaseCapture();
        const bool dragged = m_bDragging;
        m_nSpeed = dragged ? -m_nLastMove * 256 : 0;
        m_bDragging = false;
        m_nLastMove = 0;
        ClearPoints();
        if (dragged) return 1;
        // A tap: the child under the finger now gets the release.
        if (CXElement* taker = FindPointerTaker(x, y)) taker->NotifyPointerEvent(x, y, type);
    }
    return 1;
}

void CXDrawnScrollList::StepMotion() { StepScrollMotion(m_nOffset, m_nSpeed, m_nMinimum, m_nMaximum); }

bool CXDrawnScrollList::IsScrollBarWanted() const {
    return m_bDragging || m_nOffset < m_nMinimum || m_nOffset > m_nMaximum || m_nSpeed != 0;
}

TCoordRect2D CXDrawnScrollList::Intersect(int x, int y, int w, int h, const TCoordRect2D& clip) {
    const int left = std::max(x, clip.x);
    const int top = std::max(y, clip.y);
    const int right = std::min(x + w, clip.x + clip.width);
    const int bottom = std::min(y + h, clip.y + clip.height);
    return {left, top, right - left, bottom - top};
}

void CXDrawnScrollList::DrawShade(IDibBitmap* back) {
    const TCoordRect2D shade = Intersect(m_Visible.x, m_Visible.y, m_Visible.width + 1, m_Visible.height,
                                         TCoordRect2D{0, 0, back->m_Width, back->m_Height});
    if (shade.width > 0 && shade.height > 0)
        FillRectangle_Transparent(GetGamePtr(), back, shade.x, shade.y, shade.width, shade.height, 0, 0, 0,
                                  kShadeAlpha);
}

void CXDrawnScrollList::DrawEdgeLines() {
    IElementHost* game = GetGamePtr();
    const int left = m_Visible.x;
    const int right = m_Visible.x + m_Visible.width + 1;
    const int bottom = m_Visible.y + m_Visible.height;
    DrawLine_AA(game, left, bottom, right, bottom, 0, 0, 0, kEdgeLineAlpha, kEdgeLineAlpha);
    DrawLine_AA(game, left, m_Visible.y, right, m_Visible.y, 0, 0, 0, kEdgeLineAlpha, kEdgeLineAlpha);
}

void CXDrawnScrollList::DrawBar() {
    m_Bar.Draw(GetGamePtr(), GetBackBuffer(), m_pBarTop, m_pBarBottom, m_Visible.x, m_Visible.y);
}
