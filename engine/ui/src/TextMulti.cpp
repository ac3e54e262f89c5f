// The multi-line text.
#include "ui/TextMulti.h"

#include <new>

#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"

XTextMulti::XTextMulti(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XText(parent, templ, record, context) {}

XTextMulti::~XTextMulti() { SafeDelete(m_pTextFormat); }

int XTextMulti::OnInitWidget() {
    if (!XText::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TTextMulti*>(m_pRecord);
    if (record == nullptr) return 0;
    m_nAlignment = record->mt_align;
    m_nWidth = record->width == 0 ? 100 : record->width;
    m_nRowSpacing = record->row_add_dy;
    return FormatText();
}

int XTextMulti::FormatText() {
    SafeDelete(m_pTextFormat);
    m_pTextFormat = new (std::nothrow) CQuorvanTextFormat();
    if (m_pTextFormat == nullptr) return 0;
    m_pTextFormat->m_nAlignment = m_nAlignment;
    m_pTextFormat->m_nWidth = m_nWidth;
    if (m_Look.font == nullptr) return 0;
    if (m_Caption.Length() == 0) return 1;
    return m_pTextFormat->FormatText(m_nWidth, m_Look.font, m_Caption.GetData());
}

int XTextMulti::GetLineCount() const { return m_pTextFormat != nullptr ? m_pTextFormat->GetNumStrings() : 0; }

TElementSize XTextMulti::GetSize() {
    if (m_Caption.Length() == 0 || m_Look.font == nullptr || m_pTextFormat == nullptr) return {5, 5};
    return {m_nWidth, m_pTextFormat->GetNumStrings() * (m_Look.font->GetCharHeight() + m_nRowSpacing)};
}

void XTextMulti::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (GetOpacity() <= 0 || m_Caption.Length() == 0 || m_Look.font == nullptr || m_pTextFormat == nullptr ||
        target == nullptr)
        return;
    m_pTextFormat->TextOut(target, m_Rect.x, m_Rect.y, m_Look.font, m_Look.red, m_Look.green, m_Look.blue,
                           m_Look.effect, static_cast<unsigned char>(GetOpacity() >> 8), m_nRowSpacing, nullptr);
}

void XTextMulti::ReInitWidgetPosition() {
    XWidget::ReInitWidgetPosition();
    FormatText();
}
