// The slider.
#include "ui/Tuner.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "render/DibBitmap.h"
#include "ui/ElementHost.h"

XTuner::XTuner(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XWidget(parent, templ, record, context) {}

int XTuner::LoadTunerBg(ContainedSpriteSet& holder, const CommonString& name, int frame) {
    return LoadNamedSpriteSet(GetGamePtr(), holder, name, frame);
}

int XTuner::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TTuner*>(m_pRecord);
    if (record == nullptr || (record->tunerId.Length() == 0 && record->fullId.Length() == 0)) return 0;
    if (record->tunerId.Length() > 0 && !LoadTunerBg(m_Background, record->tunerId, record->tunerFrame)) return 0;
    if (record->fullId.Length() > 0 && !LoadTunerBg(m_Full, record->fullId, record->fullFrame)) return 0;
    if (record->handleId.Length() > 0 && !LoadTunerBg(m_Handle, record->handleId, 0)) return 0;
    // Both divide the value arithmetic: a template's 0 or negative step or maximum would divide by 0.
    m_nStep = std::max<int>(record->step, 1);
    m_nMax = std::max<int>(record->max, 1);
    m_nValue = std::min(m_nValue, m_nMax);
    m_nOffsetLeft = record->offsetLeft;
    m_nOffsetRight = record->offsetRight;
    m_bVertical = record->vertical;
    InitTunerSize();
    return 1;
}

void XTuner::InitTunerSize() {
    TElementSize size = m_Background.Size(m_Background.frame);
    const TElementSize full = m_Full.Size(m_Full.frame);
    if (size.width == 0) size.width = full.width;
    if (size.height == 0) size.height = full.height;
    m_nThickness = size.height;
    m_nLength = size.width;
    SetPosition(m_Rect.x, m_Rect.y, m_Rect.width < 2 ? size.width : m_Rect.width,
                m_Rect.height < 2 ? size.height : m_Rect.height);
    if (m_bVertical) std::swap(m_nLength, m_nThickness);
    RecalcCurrentHandlePos();
}

TElementSize XTuner::GetSize() {
    return m_bVertical ? TElementSize{m_nThickness, m_nLength} : TElementSize{m_nLength, m_nThickness};
}

void XTuner::SetCurrent(int value) {
    m_nValue = std::clamp(value, 0, m_nMax);
    RecalcCurrentHandlePos();
}

void XTuner::SetMax(int maximum) {
    m_nMax = std::max(maximum, 1);
    if (m_nValue > m_nMax) m_nValue = m_nMax;
    RecalcCurrentHandlePos();
}

int XTuner::GetTotalSlidingWidth() const { return m_nLength - m_nOffsetLeft - m_nOffsetRight; }

void XTuner::RecalcCurrentHandlePos() {
    m_nHandlePos = static_cast<int>(static_cast<std::int64_t>(m_nValue) * GetTotalSlidingWidth() / m_nMax);
}

void XTuner::AdjustToClosestValue(int p) {
    const int d = p - m_nOffsetLeft;
    const int w = GetTotalSlidingWidth();
    if (d <= 0) {
        m_nValue = 0;
        m_nHandlePos = 0;
        return;
    }
    if (d >= w) {
        m_nValue = m_nMax;
        m_nHandlePos = w;
        return;
    }
    const auto positionOf = [this, w](int value) {
        return static_cast<int>(static_cast<std::int64_t>(value) * w / m_nMax);
    };
    const int low = m_nStep * static_cast<int>((static_cast<std::int64_t>(m_nMax) * d / w) / m_nStep);
    const int high = std::min(low + m_nStep, m_nMax);
    const int lowPos = positionOf(low);
    const int highPos = positionOf(high);
    m_nValue = d - lowPos < highPos - d ? low : high;
    m_nHandlePos = m_nValue == low ? lowPos : highPos;
}

void XTuner::FollowPointer(int x, int y, int code) {
    AdjustToClosestValue(m_bVertical ? y - m_Rect.y : x - m_Rect.x);
    SendMessage(m_pParent, code, Id2WParam(), m_nValue, false);
}

int XTuner::NotifyPointerEvent(int x, int y, int type) {
    IElementHost* game = GetGamePtr();
    const bool captured = game != nullptr && game->XGetCapture() == this;
    if (type == XPOINTER_PRESS) {
        if (game != nullptr) game->XSetCapture(this);
        m_bDragging = true;
        FollowPointer(x, y, XMSG_TUNER_CHANGING);
    } else if (type == XPOINTER_MOVE && captured) {
        FollowPointer(x, y, XMSG_TUNER_CHANGING);
    } else if (type == XPOINTER_RELEASE && captured) {
        game->XReleaseCapture();
        m_bDragging = false;
        FollowPointer(x, y, XMSG_TUNER_SET);
    }
    return 1;
}

void XTuner::StepBy(int delta) {
    SetCurrent(m_nValue + delta);
    SendMessage(m_pParent, XMSG_TUNER_SET, Id2WParam(), m_nValue, false);
}

int XTuner::SetPrevActiveObject(int key) {
    if (key != (m_bVertical ? XKEY_PREV2 : XKEY_PREV)) return 0;
    StepBy(-m_nStep);
    return 1;
}

int XTuner::SetNextActiveObject(int key) {
    if (key != (m_bVertical ? XKEY_NEXT2 : XKEY_NEXT)) return 0;
    StepBy(m_nStep);
    return 1;
}

int XTuner::CalcCurrentHandleSprite() {
    const int n = m_Handle.LoadedFrameCount();
    if (n < 1) return 0;
    int frame;
    if (m_bDragging)
        frame = n >= 3 ? 2 : n == 2 ? 1 : 0;
    else
        frame = IsActiveChild() && n >= 2 ? 1 : 0;
    if (m_bDisabled && n >= 4) frame = 3;
    return frame;
}

void XTuner::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (target == nullptr) return;
    const int alpha = GetOpacity() >> 8;
    const int alphaOffset = alpha - 255;
    const int p = m_nHandlePos + m_nOffsetLeft;
    const int x = m_Rect.x;
    const int y = m_Rect.y;
    int handleFrame = CalcCurrentHandleSprite();
    if (alpha < 255 && handleFrame > 0) handleFrame = 0;
    m_Handle.frame = static_cast<short>(handleFrame);

    IDibBitmap* background = m_Background.CurrentBitmap();
    IDibBitmap* full = m_Full.CurrentBitmap();
    if (background != nullptr) {
        if (full == nullptr) {
            background->BitBlt(target, x, y, background->m_Width, background->m_Height, 0, 0, alphaOffset);
        } else if (!m_bVertical && background->m_Width - p > 0) {
            background->BitBlt(target, x + p, y, background->m_Width - p, background->m_Height, p, 0, alphaOffset);
        } else if (m_bVertical && background->m_Height - p > 0) {
            background->BitBlt(target, x, y + p, background->m_Width, background->m_Height - p, 0, p, alphaOffset);
        }
    }
    if (full != nullptr && p > 0) {
        // Across the axis the fill takes the track's extent; without a track, its own.
        IDibBitmap* across = background != nullptr ? background : full;
        if (m_bVertical)
            full->BitBlt(target, x, y, across->m_Width, p, 0, 0, alphaOffset);
        else
            full->BitBlt(target, x, y, p, across->m_Height, 0, 0, alphaOffset);
    }
    if (IDibBitmap* handle = m_Handle.CurrentBitmap()) {
        int hx = m_bVertical ? x + (m_nThickness >> 1) : x + p;
        int hy = m_bVertical ? y + p : y + (m_nThickness >> 1);
        hx -= handle->m_Width >> 1;
        hy -= handle->m_Height >> 1;
        if (m_bDragging) {
            ++hx;
            ++hy;
        }
        handle->Draw(target, hx, hy, handle->m_Width, handle->m_Height, 0, alphaOffset);
    }
}
