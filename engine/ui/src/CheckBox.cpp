// The check box.
#include "ui/CheckBox.h"

#include <algorithm>

#include "render/DibBitmap.h"
#include "text/BitmapFont.h"

XCheckBox::XCheckBox(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XButton(parent, templ, record, context) {}

int XCheckBox::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TCheckBox*>(m_pRecord);
    if (record == nullptr) return 0;
    if (!LoadSpriteSetFromImageData(GetGamePtr(), &m_CheckedImage, &record->checkedImage)) return 0;
    m_nTextAlign = record->textAlign;
    m_nTextOffset = record->textOffset;
    m_bImageShift = true;
    return 1;
}

int XCheckBox::CalcTextOffset() {
    if (m_nTextOffset != kNoTextOffset) return m_nTextOffset;
    if (m_nTextAlign == 1 && m_Look.font != nullptr) return m_Look.font->Length2(" ");
    return 0;
}

TElementSize XCheckBox::GetSize() {
    TElementSize size{m_Rect.width, m_Rect.height};
    if (size.width > 1 && size.height > 1) return size;
    const TElementSize box = m_Image.Size(0);
    const TElementSize ticked = m_CheckedImage.Size(0);
    const int textWidth = m_Look.font != nullptr ? m_Look.font->Length2(m_Caption.GetData()) + CalcTextOffset() : 1;
    const int textHeight = m_Look.font != nullptr ? m_Look.font->GetCharHeight() : 1;
    const int imageWidth = std::max(box.width, ticked.width);
    if (size.height < 2) size.height = std::max({box.height, ticked.height, textHeight});
    if (size.width < 2) size.width = m_nTextAlign == 1 ? textWidth + imageWidth : std::max(textWidth, imageWidth);
    return size;
}

bool XCheckBox::Contains(int x, int y) {
    const TElementSize size = GetSize();
    return m_Rect.x <= x && x <= m_Rect.x + size.width && m_Rect.y <= y && y <= m_Rect.y + size.height;
}

void XCheckBox::Draw() {
    IDibBitmap* target = GetBackBuffer();
    const bool fading = IsFadingThisOrParentNow();
    const bool shifted = m_bPressed && !fading;
    const int alphaOffset = OpacityToAlphaOffset(GetOpacity());
    const TCoord2D center = CalcCenter();
    const ContainedSpriteSet& image = m_bChecked ? m_CheckedImage : m_Image;
    int drawnWidth = 0;
    const int count = image.LoadedFrameCount();
    if (count > 0 && target != nullptr) {
        int frame = CalcCurrentSprite();
        if (frame >= count) frame = count - 1;
        if (fading && frame > 0) frame = 0;
        if (IDibBitmap* bitmap = image.FrameBitmap(frame)) {
            int x = m_nTextAlign == 1 ? m_Rect.x : center.x - (bitmap->m_Width >> 1);
            int y = m_nTextAlign == 1 ? m_Rect.y : center.y - (bitmap->m_Height >> 1);
            // The image always moves with the press (the check box sets the image-shift flag).
            if (shifted) {
                ++x;
                ++y;
            }
            bitmap->Draw(target, x, y, bitmap->m_Width, bitmap->m_Height, 0, alphaOffset);
            drawnWidth = bitmap->m_Width;
        }
    }
    if (m_Caption.Length() == 0 || m_Look.font == nullptr) return;
    int x = m_nTextAlign == 1 ? m_Rect.x + drawnWidth : center.x - (m_Look.font->Length2(m_Caption.GetData()) >> 1);
    int y = center.y - (m_Look.font->GetCharHeight() >> 1);
    x += CalcTextOffset();
    if (shifted && !m_bTextStays) {
        ++x;
        ++y;
    }
    m_Look.Draw(target, x, y, m_Caption, static_cast<unsigned char>(GetOpacity() >> 8));
}

void XCheckBox::OnReleasedInside() {
    m_bChecked = !m_bChecked;
    SendMessage(m_pParent, XMSG_CHECK_TOGGLED, Id2WParam(), m_bChecked ? 1 : 0, false);
}
