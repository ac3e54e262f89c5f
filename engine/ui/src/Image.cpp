// The image widget.
#include "ui/Image.h"

#include "render/DibBitmap.h"

XImage::XImage(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XWidget(parent, templ, record, context) {}

int XImage::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TImage*>(m_pRecord);
    if (record == nullptr) return 0;
    return LoadSpriteSetFromImageData(GetGamePtr(), &m_Image, &record->image);
}

TElementSize XImage::GetSize() {
    TElementSize size{m_Rect.width, m_Rect.height};
    const TElementSize frame = m_Image.Size(m_Image.frame);
    if (size.width < 2) size.width = frame.width;
    if (size.height < 2) size.height = frame.height;
    return size;
}

void XImage::Draw() {
    IDibBitmap* bitmap = m_Image.CurrentBitmap();
    IDibBitmap* target = GetBackBuffer();
    if (GetOpacity() <= 0 || bitmap == nullptr || target == nullptr) return;
    bitmap->Draw(target, m_Rect.x, m_Rect.y, bitmap->m_Width, bitmap->m_Height, 0, OpacityToAlphaOffset(GetOpacity()));
}
