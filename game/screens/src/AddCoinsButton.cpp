#include "game/screens/AddCoinsButton.h"

#include <cmath>

#include "game/progress/ProgressHost.h"
#include "game/screens/ScreensHost.h"
#include "text/BitmapFont.h"

namespace {

// The "x" starts this far right of the button's left edge, clear of the coin picture.
constexpr float kSignX = 36.0f;
constexpr float kPressedScale = 0.9f;
// A tenth of the distance to the centre: what a 0.9 shrink about the centre moves a point by.
constexpr float kPressedPull = 0.1f;

FIXED_FLOAT_16 To16(float pixels) { return static_cast<FIXED_FLOAT_16>(std::lround(pixels * 65536.0f)); }

}  // namespace

CXAddCoinsButton::CXAddCoinsButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {}

CXAddCoinsButton::~CXAddCoinsButton() = default;

int CXAddCoinsButton::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CBitmapFontText* font = GameFontOf(ScreensGameOf(this), kGameFontSmall);
    m_Look.font = font;
    m_Look.red = m_Look.green = m_Look.blue = 255;
    m_Look.effect = 0;

    const TCoordRect2D rect = GetDrawingRect();
    const float halfWidth = static_cast<float>(rect.width) / 2.0f;
    const float signWidth = font != nullptr ? static_cast<float>(font->Length2("x")) : 0.0f;
    const float charHeight = font != nullptr ? static_cast<float>(font->GetCharHeight()) : 0.0f;
    m_Layout.signX = kSignX;
    m_Layout.textY = (static_cast<float>(rect.height) - charHeight) / 2.0f;
    m_Layout.signY = m_Layout.textY - 2.0f;
    m_Layout.numberX = signWidth + 40.0f;
    m_Layout.pressedSignDx = (halfWidth - kSignX) * kPressedPull;
    m_Layout.pressedNumberDx = (halfWidth - m_Layout.numberX) * kPressedPull;
    m_Layout.pressedDy = m_Layout.textY * kPressedPull;
    m_Layout.pressedScale = kPressedScale;
    return 1;
}

void CXAddCoinsButton::Draw() {
    if (GetOpacity() < 1) return;
    DrawButtonBackground2States();
    DrawButtonAddCoinsText();
}

void CXAddCoinsButton::DrawButtonAddCoinsText() {
    CBitmapFontText* font = m_Look.font;
    IDibBitmap* back = GetBackBuffer();
    if (m_Caption.Length() == 0 || font == nullptr || back == nullptr) return;
    const TCoordRect2D rect = GetDrawingRect();
    const auto x = static_cast<float>(rect.x);
    const auto y = static_cast<float>(rect.y);
    const auto alpha = static_cast<unsigned char>(GetOpacity() >> 8);
    const TAddCoinsTextLayout& l = m_Layout;
    if (!m_bPressed || IsFadingThisOrParentNow()) {
        font->TextOut(back, static_cast<int>(x + l.signX), static_cast<int>(y + l.signY), "x", m_Look.red, m_Look.green,
                      m_Look.blue, m_Look.effect, alpha, nullptr);
        font->TextOut(back, static_cast<int>(x + l.numberX), static_cast<int>(y + l.textY), m_Caption.GetData(),
                      m_Look.red, m_Look.green, m_Look.blue, m_Look.effect, alpha, nullptr);
        return;
    }
    const FIXED_FLOAT_16 scale = To16(l.pressedScale);
    font->TextOutF(back, "x", To16(x + l.signX + l.pressedSignDx), To16(y + l.signY + l.pressedDy), scale, scale, 0,
                   m_Look.red, m_Look.green, m_Look.blue, m_Look.effect, alpha, nullptr);
    font->TextOutF(back, m_Caption.GetData(), To16(x + l.numberX + l.pressedNumberDx), To16(y + l.textY + l.pressedDy),
                   scale, scale, 0, m_Look.red, m_Look.green, m_Look.blue, m_Look.effect, alpha, nullptr);
}
