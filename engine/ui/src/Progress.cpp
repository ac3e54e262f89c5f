// The progress bar.
#include "ui/Progress.h"

#include <algorithm>

#include "render/DibBitmap.h"

XProgress::XProgress(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XWidget(parent, templ, record, context) {}

int XProgress::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TProgress*>(m_pRecord);
    if (record == nullptr) return 0;
    if (!LoadSpriteSetFromImageData(GetGamePtr(), &m_Empty, &record->emptyImage)) return 0;
    if (!LoadSpriteSetFromImageData(GetGamePtr(), &m_Full, &record->fullImage)) return 0;
    m_nFullOffsetX = record->fullOffsetX;
    m_nFullOffsetY = record->fullOffsetY;
    m_bCut = record->clipEmpty >= 1;
    return 1;
}

TElementSize XProgress::GetSize() {
    TElementSize size{m_Rect.width, m_Rect.height};
    const TElementSize empty = m_Empty.Size(m_Empty.frame);
    const TElementSize full = m_Full.Size(m_Full.frame);
    if (size.width < 2) size.width = empty.width >= 2 ? empty.width : full.width;
    if (size.height < 2) size.height = empty.height >= 2 ? empty.height : full.height;
    return size;
}

void XProgress::SetProgress(int p) {
    p = std::clamp(p, 0, 256);
    IDibBitmap* full = m_Full.CurrentBitmap();
    if (p == m_nProgress || full == nullptr) return;
    m_nProgress = p;
    m_nFillWidth = (full->m_Width * p) >> 8;
}

void XProgress::SetPercent(int percent) { SetProgress(percent * 256 / 100); }

void XProgress::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (GetOpacity() <= 0 || target == nullptr) return;
    const int alphaOffset = OpacityToAlphaOffset(GetOpacity());
    if (IDibBitmap* empty = m_Empty.CurrentBitmap()) {
        const int s = m_bCut ? m_nFullOffsetX + m_nFillWidth : 0;
        if (empty->m_Width - s > 0)
            empty->BitBlt(target, m_Rect.x + s, m_Rect.y, empty->m_Width - s, empty->m_Height, s, 0, alphaOffset);
    }
    IDibBitmap* full = m_Full.CurrentBitmap();
    if (m_nFillWidth > 0 && full != nullptr)
        full->BitBlt(target, m_Rect.x + m_nFullOffsetX, m_Rect.y + m_nFullOffsetY, m_nFillWidth, full->m_Height, 0, 0,
                     alphaOffset);
}
