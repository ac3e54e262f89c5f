// The game's buttons.
#include "ui/GameButton.h"

#include <cmath>

#include "audio/SoundManager.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"
#include "ui/ElementHost.h"

namespace {

constexpr FIXED_FLOAT_16 kPressedScale = 58982;  // 0.9 in 16.16

// A pixel position as 16.16, rounded half away from zero.
FIXED_FLOAT_16 To16(double pixels) { return static_cast<FIXED_FLOAT_16>(std::lround(pixels * 65536.0)); }

}  // namespace

XGameButton::XGameButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XButton(parent, templ, record, placement) {}

bool XGameButton::Contains(int x, int y) { return m_bRectHit ? CXElement::Contains(x, y) : XButton::Contains(x, y); }

int XGameButton::SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) {
    if (code == XMSG_PRESSED && m_bPressSound) {
        IElementHost* game = GetGamePtr();
        if (CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr)
            sounds->PlaySoundFX("SFX_BUTTON_PRESSED", false);
    }
    return CXElement::SendMessage(target, code, wparam, lparam, deferred);
}

void XGameButton::Draw() {
    if (GetOpacity() < 1) return;
    if (m_bOneState)
        DrawButtonBackground1State();
    else
        DrawButtonBackground2States();
    DrawButtonText2();
}

void XGameButton::DrawButtonBackground2States() {
    IDibBitmap* target = GetBackBuffer();
    if (m_Image.set == nullptr || target == nullptr) return;
    const int frames = m_Image.set->GetNumFrames();
    const int frame = !m_bPressed ? 0 : frames > 2 ? 2 : frames == 2 ? 1 : 0;
    IDibBitmap* bitmap = m_Image.FrameBitmap(frame);
    if (bitmap == nullptr) return;
    const TCoord2D center = CalcCenter();
    bitmap->Draw(target, center.x - bitmap->m_Width / 2, center.y - bitmap->m_Height / 2, bitmap->m_Width,
                 bitmap->m_Height, 0, OpacityToAlphaOffset(GetOpacity()));
}

void XGameButton::DrawButtonBackground1State() {
    IElementHost* game = GetGamePtr();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* bitmap = m_Image.FrameBitmap(0);
    IDibBitmap* target = GetBackBuffer();
    if (rotator == nullptr || bitmap == nullptr || target == nullptr) return;
    const TCoord2D center = CalcCenter();
    rotator->DrawRotatedBitmapTransparent(bitmap, target, center.x * 256, center.y * 256, 0,
                                          m_bPressed ? kPressedScale : kFixed16One, OpacityToAlphaOffset(GetOpacity()),
                                          0);
}

void XGameButton::DrawButtonText2() {
    CBitmapFontText* font = m_Look.font;
    if (m_Caption.Length() == 0 || font == nullptr) return;
    const int w = font->Length2(m_Caption.GetData());
    const int h = font->GetCharHeight();
    const TCoord2D center = CalcCenter();
    const int left = center.x - w / 2;
    const int top = center.y - h / 2;
    const auto alpha = static_cast<unsigned char>(GetOpacity() >> 8);
    if (m_bPressed && !IsFadingThisOrParentNow()) {
        // Scaled by 0.9 from a corner moved in by 5 % of the size: it shrinks about its own centre.
        font->TextOutF(GetBackBuffer(), m_Caption.GetData(), To16(left + 0.05 * w), To16(top + 0.05 * h), kPressedScale,
                       kPressedScale, 0, m_Look.red, m_Look.green, m_Look.blue, m_Look.effect, alpha, nullptr);
        return;
    }
    m_Look.Draw(GetBackBuffer(), left, top, m_Caption, alpha);
}

int XGameButton::NotifyPointerEventAsRow(int x, int y, int type) {
    if (!AcceptsInput()) return 0;
    if (type == XPOINTER_PRESS) {
        m_bPressed = true;
        SendMessage(m_pParent, XMSG_PRESSED, Id2WParam(), 0, false);
    } else if (type == XPOINTER_MOVE) {
        m_bPressed = Contains(x, y);
    } else if (type == XPOINTER_RELEASE) {
        m_bPressed = false;
        SendMessage(m_pParent, XMSG_CLICK, Id2WParam(), 0, false);
    }
    return 1;
}
