// The tutorial's skip button and its pulse.
#include <cmath>
#include <numbers>

#include "game/gameplay/GameplayTutorial.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"
#include "ui/ElementHost.h"

namespace {

constexpr double kPressedCaptionScale = 0.9;
// Below this span the pulse is taken as it stands.
constexpr float kFlatSpan = 0.001f;

}  // namespace

CXGameplayTutorialPlayButton::CXGameplayTutorialPlayButton(CXElement* parent, TTemplate* templ, TWidget* record,
                                                           const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {}

int CXGameplayTutorialPlayButton::OnInitWidget() {
    if (!XGameButton::OnInitWidget()) return 0;
    if (m_bPulsateOnInit) StartPulsating();
    return 1;
}

void CXGameplayTutorialPlayButton::StartPulsating() {
    m_fStep = m_fStepSize = kStep;
    m_fMinimum = kMinimum;
    m_fMaximum = kMaximum;
    m_fScale = 1.0f;
    m_bActive = true;
    m_bPulsating = true;
}

void CXGameplayTutorialPlayButton::RunProcess() {
    XGameButton::RunProcess();
    if (!m_bPulsating) return;
    m_fScale += m_fStep;
    if (m_fScale > m_fMaximum && m_fStep > 0) {
        m_fScale = m_fMaximum;
        m_fStep = -m_fStepSize;
    } else if (m_fScale < m_fMinimum && m_fStep < 0) {
        m_fScale = m_fMinimum;
        m_fStep = m_fStepSize;
    }
}

float CXGameplayTutorialPlayButton::EasedScale() const {
    const float span = m_fMaximum - m_fMinimum;
    if (span < kFlatSpan) return m_fScale;
    const double turn = std::sin(std::numbers::pi * (m_fScale - m_fMinimum) / span - std::numbers::pi / 2);
    return static_cast<float>(m_fMinimum + span * (turn + 1.0) / 2.0);
}

void CXGameplayTutorialPlayButton::Draw() {
    if (!m_bPulsating) {
        XGameButton::Draw();
        return;
    }
    if (GetOpacity() < 1) return;
    IElementHost* game = GetGamePtr();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* target = GetBackBuffer();
    if (rotator == nullptr || target == nullptr) return;
    const TCoord2D centre = CalcCenter();
    const int widgetAlpha = GetOpacity() >> 8;
    const float eased = EasedScale();

    const int frames = m_Image.set != nullptr ? m_Image.set->GetNumFrames() : 0;
    if (IDibBitmap* frame = m_Image.FrameBitmap(m_bPressed && frames > 2 ? 2 : 0)) {
        rotator->DrawRotatedBitmapTransparent(frame, target, centre.x * 256, centre.y * 256, 0, kFixed16One,
                                              widgetAlpha - 255, 0);
        // The glow: nothing at the small end of the pulse, the whole frame once more at the top.
        const int glow = static_cast<int>(widgetAlpha * ((eased - kMinimum) * 5.0 * 255.0) / 255.0) - 255;
        rotator->DrawRotatedBitmapAdditive(frame, target, centre.x * 256, centre.y * 256, 0, kFixed16One, 255, 255, 255,
                                           glow, 0);
    }

    CBitmapFontText* font = m_Look.font;
    if (m_Caption.Length() == 0 || font == nullptr) return;
    const double scale = eased * (m_bPressed ? kPressedCaptionScale : 1.0);
    const double w = font->Length2(m_Caption.GetData()) * scale;
    const double h = font->GetCharHeight() * scale;
    if (!IsGlesRenderer(dynamic_cast<IRenderHost*>(game))) {
        // Only the GL renderer scales text: in software the caption stands at its own size.
        const int left = centre.x - font->Length2(m_Caption.GetData()) / 2;
        m_Look.Draw(target, left, centre.y - font->GetCharHeight() / 2, m_Caption,
                    static_cast<unsigned char>(widgetAlpha));
        return;
    }
    const auto to16 = [](double px) { return static_cast<FIXED_FLOAT_16>(std::lround(px * 65536.0)); };
    font->TextOutF(target, m_Caption.GetData(), to16(centre.x - w / 2), to16(centre.y - h / 2), to16(scale),
                   to16(scale), 0, m_Look.red, m_Look.green, m_Look.blue, m_Look.effect,
                   static_cast<unsigned char>(widgetAlpha), nullptr);
}
