// The one-line text and the information text.
#include "ui/Text.h"

#include "text/BitmapFont.h"
#include "ui/ElementHost.h"

XText::XText(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XWidget(parent, templ, record, context) {
    m_Look.red = m_Look.green = m_Look.blue = 255;
}

XText::~XText() { m_Look.font = nullptr; }

int XText::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TWText*>(m_pRecord);
    if (record == nullptr) return 0;
    m_Caption = record->text.caption;
    GetLocalizedCaption(m_Caption);
    IElementHost* game = GetGamePtr();
    m_Look.Choose(game != nullptr ? game->UILayout() : nullptr, record->text);
    return 1;
}

TElementSize XText::GetSize() {
    TElementSize size{m_Rect.width, m_Rect.height};
    if (size.width < 2 && m_Look.font != nullptr && m_Caption.Length() > 0)
        size.width = m_Look.font->Length2(m_Caption.GetData());
    if (size.height < 2 && m_Look.font != nullptr) size.height = m_Look.font->GetCharHeight();
    return size;
}

void XText::Draw() {
    if (GetOpacity() <= 0) return;
    m_Look.Draw(GetBackBuffer(), m_Rect.x, m_Rect.y, m_Caption, static_cast<unsigned char>(GetOpacity() >> 8));
}

XTextInfo::XTextInfo(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XText(parent, templ, record, context) {}

int XTextInfo::OnInitWidget() {
    if (!XText::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TTextInfo*>(m_pRecord);
    if (record == nullptr) return 0;
    m_nInfoType = record->infoType;
    if (m_nInfoType >= 5) return 0;
    EInfoText which = EInfoText::Version;
    if (m_nInfoType == kInfoBuildDate) which = EInfoText::BuildDate;
    if (m_nInfoType == kInfoShopLink) which = EInfoText::ShopLink;
    if (m_nInfoType == kInfoShopLink2) which = EInfoText::ShopLink2;
    if (IElementHost* game = GetGamePtr()) m_Caption = game->GetInfoText(which);
    return 1;
}
