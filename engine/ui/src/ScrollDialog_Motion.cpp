// Scroll lists: the per-tick motion, pointer input, the scroll bar and drawing.
#include <algorithm>

#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingUtils.h"
#include "ui/ElementHost.h"
#include "ui/ScrollDialog.h"

namespace {

constexpr FIXED_FLOAT kPixel = 256;
constexpr FIXED_FLOAT kMaxSpringSpeed = 15 * kPixel;

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
            m_nBarAlpha = 0;
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

void CXScrollDialogBase::ProcessMotion() {
    FIXED_FLOAT p = m_nPosition;
    FIXED_FLOAT v = m_nSpeed;
    const FIXED_FLOAT top = m_nTopLimit;
    const FIXED_FLOAT bottom = m_nBottomLimit;
    if (p < top) {
        if (v >= 0) {
            v = std::clamp((top - p) / 6, kPixel, kMaxSpringSpeed);
        } else {
            // Still moving outwards: the speed halves until it is gone.
            v = v < -kPixel ? v >> 1 : 0;
        }
        p += v;
        if (p >= top) {
            p = top;
            v = 0;
        }
    } else if (p > bottom) {
        if (v > 0) {
            v = v > kPixel ? v >> 1 : 0;
        } else {
            v = (bottom - p) / 6;
            if (v >= -(kPixel - 1)) v = -kPixel;
            if (v < -kMaxSpringSpeed) v = -kMaxSpringSpeed;
        }
        p += v;
        if (p <= bottom) {
            p = bottom;
            v = 0;
        }
    } else {
        p += v;
        // Fling speeds are whole pixels, so this reaches 0 exactly.
        if (v > 0)
            v -= kPixel;
        else if (v < 0)
            v += kPixel;
    }
    m_nPosition = p;
    m_nSpeed = v;
}

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
        int dy = y - m_nLastY;
        // Past an end the content follows the finger at half its speed.
        if ((m_nPosition < m_nTopLimit && dy > 0) || (m_nPosition > m_nBottomLimit && dy < 0)) dy >>= 1;
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
    const int range = (m_nBottomLimit - m_nTopLimit) >> 8;
    const int areaHeight = m_Area.height;
    m_nBarX = m_Area.width - 8;
    m_nBarWidth = 6;
    if (range > 0) {
        const double ratio = std::clamp(static_cast<double>(areaHeight) / range, 0.05, 0.8);
        m_nBarHeight = static_cast<int>(areaHeight * ratio);
        m_nBarY = static_cast<int>((m_nPosition / 256.0 - m_nTopLimit / 256.0) * (areaHeight - m_nBarHeight) / range);
    } else {
        m_nBarY = 0;
        m_nBarHeight = areaHeight;
    }
    // Past an end the bar shrinks by half the overshoot and sticks to that end.
    if (m_nPosition < m_nTopLimit) {
        m_nBarHeight = std::max(1, m_nBarHeight - (m_nTopLimit - m_nPosition) / 512);
        m_nBarY = 0;
    } else if (m_nPosition > m_nBottomLimit) {
        m_nBarHeight = std::max(1, m_nBarHeight - (m_nPosition - m_nBottomLimit) / 512);
        m_nBarY = areaHeight - m_nBarHeight;
    }
    m_nBarAlpha = ShouldDrawScrollBar() ? 255 : std::max(0, m_nBarAlpha - 32);
}

void CXScrollDialogBase::DrawScrollBar() {
    IDibBitmap* back = GetBackBuffer();
    if (m_nBarAlpha <= 0 || m_pBarTop == nullptr || m_pBarBottom == nullptr || back == nullptr) return;
    const double a = m_nBarAlpha / 255.0 * 95;
    if (a < 1 || m_nBarHeight <= 1) return;
    const int x = m_Area.x + m_nBarX - 1;
    const int yTop = m_Area.y + m_nBarY;
    const int yBottom = yTop + m_nBarHeight;
    const int alpha = static_cast<int>(a);
    const int alphaOffset = alpha - 255;
    const int bottomHeight = m_pBarBottom->m_Height;
    if (m_nBarHeight >= 6) {
        m_pBarTop->Draw(back, x, yTop - 1, m_pBarTop->m_Width, m_pBarTop->m_Height, 0, alphaOffset);
        m_pBarBottom->Draw(back, x, yBottom + 1 - bottomHeight, m_pBarBottom->m_Width, bottomHeight, 0, alphaOffset);
        if (m_nBarHeight > 6)
            FillRectangle_Transparent(GetGamePtr(), back, m_Area.x + m_nBarX, yTop + 3, m_nBarWidth, m_nBarHeight - 6,
                                      0, 0, 0, alpha);
        return;
    }
    // Too short for both caps: the top half of one and the bottom half of the other.
    const int topRows = (m_nBarHeight >> 1) + 1;
    const int bottomRows = m_nBarHeight + 2 - topRows;
    m_pBarTop->BitBlt(back, x, yTop - 1, m_pBarTop->m_Width, topRows, 0, 0, alphaOffset);
    m_pBarBottom->BitBlt(back, x, yBottom + 1 - bottomRows, m_pBarBottom->m_Width, bottomRows, 0,
                         bottomHeight - bottomRows, alphaOffset);
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
