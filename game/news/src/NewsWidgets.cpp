#include "game/news/NewsWidgets.h"

#include "core/SafeFormat.h"
#include "game/app/TheGameOf.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"

namespace {

constexpr FIXED_FLOAT_16 kBadgeScale = 58982;  // 0.9
constexpr int kBlinkBit = 32;

}  // namespace

CXNewsButton::~CXNewsButton() {
    if (m_pBadgeSet != nullptr) m_pBadgeSet->ReleaseReference();
}

int CXNewsButton::OnInitWidget() {
    if (!XRectButton::OnInitWidget()) return 0;
    CTheGame* game = TheGameOf(this);
    CSpriteSet* set = game != nullptr && game->m_pSpriteSetManager != nullptr
                          ? game->m_pSpriteSetManager->GetSpriteSetNamed("news_alert")
                          : nullptr;
    if (set != nullptr && set->AddReference()) {
        m_pBadgeSet = set;
        if (set->GetNumFrames() > 0) m_pBadge = set->GetFrame(0);
    }
    m_nFreshCount = 0;
    return 1;
}

void CXNewsButton::RunProcess() {
    XRectButton::RunProcess();
    ++m_nBlink;
}

void CXNewsButton::Draw() {
    CBitmapFontText* font = m_Look.font;
    IDibBitmap* back = GetBackBuffer();
    const int opacity = GetOpacity() >> 8;
    if (opacity <= 0 || m_Caption.Length() == 0 || font == nullptr || back == nullptr) return;
    const TCoord2D centre = CalcCenter();
    const int left = centre.x - font->Length2(m_Caption.GetData()) / 2;
    const int top = centre.y - font->GetCharHeight() / 2;
    const bool pressed = m_bPressed && !IsFadingThisOrParentNow();
    const int shift = pressed ? 1 : 0;
    const int dim = pressed ? 1 : 0;
    font->TextOut(back, left + shift, top + shift, m_Caption.GetData(), m_Look.red >> dim, m_Look.green >> dim,
                  m_Look.blue >> dim, m_Look.effect, static_cast<unsigned char>(opacity), nullptr);

    CTheGame* game = TheGameOf(this);
    if (m_nFreshCount <= 0 || m_pBadge == nullptr || game == nullptr || game->m_pRotatorScaler == nullptr) return;
    const int badgeX = left - 2 - m_pBadge->m_Width / 2;
    game->m_pRotatorScaler->DrawRotatedBitmapTransparent(m_pBadge, back, badgeX << 8, centre.y << 8, 0, kBadgeScale,
                                                         OpacityToAlphaOffset(GetOpacity()), 0);
    const bool numberShown = (m_nBlink & kBlinkBit) != 0;
    ++m_nBlink;
    CBitmapFontText* small = game->m_Fonts[kGameFontSmall];
    if (!numberShown || small == nullptr) return;
    const CommonString number = SafeFormat("%d", {m_nFreshCount});
    small->TextOut(back, badgeX - small->Length2(number.GetData()) / 2, centre.y - small->GetCharHeight() / 2,
                   number.GetData(), 255, 255, 224, 0, static_cast<unsigned char>(opacity), nullptr);
}
