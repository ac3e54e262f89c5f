// Scroll lists: the per-tick motion, pointer input, the scroll bar and drawing.
#include <algorithm>

#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingUtils.h"
#include "ui/ElementHost.h"
#include "ui/ScrollDialog.h"

namespace {

constexpr FIXED_FLOAT kPixel = 256;

}  // namespace

void CXScrollDialogBase::RunProcess() {
    XWidget::RunProcess();
    if (!RunProcessChildren()) return;
    if (m_bFadeRunning) {
        // The fade owns the list until it ends: no motion and no scroll bar.
        m_nFadeAlpha += m_nFadeStep;
        if (m_nFadeAlpha > 254) {
            m_nFadeAlpha = 255;
            SetCurrentCategory(m_nFadeTarget);
            m_Bar.alpha = 0;
            m_nFadeStep = -m_nFadeStep;
        } else if (m_nFadeAlpha <= 0) {
            m_nFadeAlpha = 0;
            m_bFadeRunning = false;
        }
        return;
    }
    if (!FingerDown()) ProcessMotion();
    RecalcCurrentOffsetY();
    ProcessScrollBar();
}

void CXScrollDialogBase::ProcessMotion() { StepScrollMotion(m_nPosition, m_nSpeed, m_nTopLimit, m_nBottomLimit); }

int CXScrollDialogBase::NotifyPointerEvent(int x, int y, int type) {
    if (!IsVisible()) return 0;
    if (m_bFadeRunning) return 1;
    IElementHost* game = GetGamePtr();
    if (type == XPOINTER_PRESS) {
        // A finger stops an overshoot where the limits are.
        m_nPosition = std::clamp(m_nPosition, m_nTopLimit, m_nBottomLimit);
        m_nPressX = m_nLastX = x;
        m_nPressY = m_nLastY = y;
        m_nLastMove = 0;
        m_bDragging = false;
        CXElement* row = RowAt(x, y);
        if (row == nullptr) return 1;
        m_pActiveChild = row;
        row->NotifyPointerEvent(x, y, type);
        if (game != nullptr) game->XSetCapture(this);
        return 1;
    }
    if (type == XPOINTER_MOVE) {
        // A move with no finger down on the list (it went down elsewhere) starts nothing.
        if (!FingerDown()) return 1;
        if (!m_bDragging) {
            const int dx = x - m_nPressX;
            const int dy = y - m_nPressY;
            if (dx * dx + dy * dy >= m_nDragThreshold) {
                if (m_bDragAllowed) m_bDragging = true;
                CXElement* active = m_pActiveChild;
                if (active != nullptr && active->IsWidget()) {
                    const TWidget* record = static_cast<XWidget*>(active)->GetRecord();
                    if (record != nullptr && record->kind == kWidgetButton) {
                        active->CancelActiveState();
                        m_pActiveChild = nullptr;
                    }
                }
                if (game != nullptr) game->XSetCapture(this);
            }
            m_nLastX = x;
            m_nLastY = y;
            return 1;
        }
        // Past an end the content follows the finger at half its speed.
        const int dy = DampedDragStep(y - m_nLastY, m_nPosition, m_nTopLimit, m_nBottomLimit);
        m_nLastY = y;
        m_nLastMove = dy;
        m_nPosition -= dy * kPixel;
        m_nLastX = x;
        return 1;
    }
    if (type == XPOINTER_RELEASE) {
        if (game != nullptr && game->XGetCapture() == this) game->XReleaseCapture();
        const bool dragged = m_bDragging;
        m_nSpeed = dragged ? -m_nLastMove * kPixel : 0;
        m_bDragging = false;
        m_nPressX = m_nPressY = m_nLastX = m_nLastY = -1;
        m_nLastMove = 0;
        if (dragged) return 1;
        // A tap: the row under the finger now gets the release, which may close the screen.
        CXElement* row = RowAt(x, y);
        if (row == nullptr) return 1;
        m_pActiveChild = row;
        row->NotifyPointerEvent(x, y, type);
    }
    return 1;
}

bool CXScrollDialogBase::ShouldDrawScrollBar() {
    if (m_bDragging || m_nPosition < m_nTopLimit || m_nPosition > m_nBottomLimit) return true;
    if (m_bFadeRunning) return false;
    return m_nSpeed != 0;
}

void CXScrollDialogBase::ProcessScrollBar() {
    m_Bar.Update(m_nPosition, m_nTopLimit, m_nBottomLimit, m_Area.width, m_Area.height, ShouldDrawScrollBar(), 0.05,
                 0.8);
}

void CXScrollDialogBase::DrawScrollBar() {
    m_Bar.Draw(GetGamePtr(), GetBackBuffer(), m_pBarTop, m_pBarBottom, m_Area.x, m_Area.y);
}

void CXScrollDialogBase::Draw() {
    const FIXED_FLOAT opacity = GetOpacity();
    IDibBitmap* back = GetBackBuffer();
    if (opacity <= 0 || back == nullptr) return;
    IElementHost* game = GetGamePtr();
    const int shade = opacity >= kOpacityFull ? 64 : (opacity * 64 / 255) >> 8;
    FillRectangle_Transparent(game, back, m_Area.x, m_Area.y, m_Area.width + 1, m_Area.height, 0, 0, 0, shade);
    XGameDialog::Draw();
    const int bottom = m_Area.y + m_Area.height;
    DrawLine_AA(game, m_Area.x, bottom, m_Area.x + m_Area.width + 1, bottom, 0, 0, 0, 128, 128);
    DrawLine_AA(game, m_Area.x, m_Area.y, m_Area.x + m_Area.width + 1, m_Area.y, 0, 0, 0, 128, 128);
    DrawScrollBar();
    if (m_bFadeRunning)
        FillRectangle_Transparent(game, back, m_Area.x, m_Area.y, m_Area.width, m_Area.height, 0, 0, 0, m_nFadeAlpha);
}
