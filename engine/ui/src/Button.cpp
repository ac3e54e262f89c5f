// The push button.
#include "ui/Button.h"

#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"
#include "ui/ElementHost.h"

XButton::XButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : XImage(parent, templ, record, context) {}

XButton::~XButton() { m_Look.font = nullptr; }

int XButton::OnInitWidget() {
    if (!XImage::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TButton*>(m_pRecord);
    if (record == nullptr) return 0;
    m_nSoftKeyId = static_cast<signed char>(record->shoulder);
    m_nFrameCount =
        static_cast<signed char>(m_Image.set != nullptr ? m_Image.set->GetNumFrames() : record->image.frameCount);
    m_Caption = record->text.caption;
    GetLocalizedCaption(m_Caption);
    IElementHost* game = GetGamePtr();
    m_Look.Choose(game != nullptr ? game->UILayout() : nullptr, record->text);
    return 1;
}

bool XButton::AcceptsInput() { return m_bEnabled && IsVisible() && !IsFadingThisOrParentNow(); }

int XButton::CalcCurrentSprite() {
    int frame;
    if (m_bPressed)
        frame = m_nFrameCount > 2 ? 2 : m_nFrameCount == 2 ? 1 : 0;
    else
        frame = IsActiveChild() && m_nFrameCount >= 2 ? 1 : 0;
    if (!m_bEnabled && m_nFrameCount > 3) frame = 3;
    return frame;
}

IDibBitmap* XButton::StateBitmap() { return m_Image.FrameBitmap(CalcCurrentSprite()); }

TCoord2D XButton::CalcCenter() {
    const TElementSize size = GetSize();
    return {m_Rect.x + (size.width >> 1), m_Rect.y + (size.height >> 1)};
}

TElementSize XButton::GetSize() {
    if (m_Rect.width > 1 && m_Rect.height > 1) return {m_Rect.width, m_Rect.height};
    if (IDibBitmap* bitmap = StateBitmap()) return {bitmap->m_Width, bitmap->m_Height};
    return {m_Rect.width, m_Rect.height};
}

bool XButton::Contains(int x, int y) {
    int halfWidth;
    int halfHeight;
    if (m_Image.set != nullptr) {
        IDibBitmap* bitmap = StateBitmap();
        if (bitmap == nullptr) return false;
        halfWidth = bitmap->m_Width >> 1;
        halfHeight = bitmap->m_Height >> 1;
    } else {
        if (m_Look.font == nullptr || m_Caption.Length() == 0) return false;
        halfWidth = m_Look.font->Length2(m_Caption.GetData()) >> 1;
        halfHeight = m_Look.font->GetCharHeight() >> 1;
    }
    const TCoord2D center = CalcCenter();
    return center.x - halfWidth <= x && x < center.x + halfWidth && center.y - halfHeight <= y &&
           y < center.y + halfHeight;
}

void XButton::Draw() {
    if (GetOpacity() < 1) return;
    DrawButtonBackground();
    DrawButtonText();
}

void XButton::DrawButtonBackground() {
    IDibBitmap* target = GetBackBuffer();
    if (m_Image.set == nullptr || target == nullptr) return;
    const bool fading = IsFadingThisOrParentNow();
    int frame = m_bPressed ? 2 : IsActiveChild() ? 1 : 0;
    if (frame >= m_Image.LoadedFrameCount()) frame = 0;
    if (fading && frame > 0) frame = 0;
    IDibBitmap* bitmap = m_Image.FrameBitmap(frame);
    if (bitmap == nullptr) return;
    const TCoord2D center = CalcCenter();
    int x = center.x - (bitmap->m_Width >> 1);
    int y = center.y - (bitmap->m_Height >> 1);
    if (m_bPressed && m_bImageShift && !fading) {
        ++x;
        ++y;
    }
    bitmap->Draw(target, x, y, bitmap->m_Width, bitmap->m_Height, 0, OpacityToAlphaOffset(GetOpacity()));
}

void XButton::DrawButtonText() {
    if (m_Caption.Length() == 0 || m_Look.font == nullptr) return;
    const TCoord2D center = CalcCenter();
    int x = center.x - (m_Look.font->Length2(m_Caption.GetData()) >> 1);
    int y = center.y - (m_Look.font->GetCharHeight() >> 1);
    if (m_bPressed && !m_bTextStays && !IsFadingThisOrParentNow()) {
        ++x;
        ++y;
    }
    m_Look.Draw(GetBackBuffer(), x, y, m_Caption, static_cast<unsigned char>(GetOpacity() >> 8));
}

void XButton::OnPointerPressed() { SendMessage(m_pParent, XMSG_PRESSED, Id2WParam(), 0, false); }

void XButton::OnReleasedInside() { SendMessage(m_pParent, XMSG_CLICK, Id2WParam(), 0, false); }

int XButton::NotifyPointerEvent(int x, int y, int type) {
    if (!AcceptsInput()) return 0;
    IElementHost* game = GetGamePtr();
    const bool captured = game != nullptr && game->XGetCapture() == this;
    if (type == XPOINTER_PRESS) {
        m_bPressed = true;
        if (game != nullptr) game->XSetCapture(this);
        OnPointerPressed();
    } else if (type == XPOINTER_MOVE && captured) {
        m_bPressed = Contains(x, y);
    } else if (type == XPOINTER_RELEASE && captured) {
        game->XReleaseCapture();
        m_bPressed = false;
        if (Contains(x, y)) OnReleasedInside();
    }
    return 1;
}

int XButton::NotifyKeyEvent(int key, int type) {
    if (!AcceptsInput()) return 0;
    if (key != XKEY_SELECT) return 1;
    if (type == 1) {
        m_bPressed = true;
        SendMessage(m_pParent, XMSG_PRESSED, Id2WParam(), 0, false);
    } else if (type == 0 && (m_bPressed || !KeyUpNeedsPress())) {
        m_bPressed = false;
        OnReleasedInside();
    }
    return 1;
}
