// The start-up loader's picture: "PRESENTS" under its mask, the logo and its glow, the flare that
// flashes as the percent text fades in, the two flares of the sweep, the stars and the percent.
#include <cmath>

#include "app/GameBase.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/LoaderScreen.h"
#include "game/screens/ScreensHost.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "text/BitmapFont.h"

namespace {

constexpr int kTextFadeFull = 65280;
constexpr FIXED_FLOAT_16 kHalf = 32768;
constexpr FIXED_FLOAT_16 kPresentsScaleY = 45875;    // 0.7
constexpr FIXED_FLOAT_16 kSweepMirrorScale = 85197;  // 1.3
constexpr FIXED_FLOAT kFullTurn = 360 << 8;

// A 16.16 value nearest to v.
FIXED_FLOAT_16 To16(double v) { return static_cast<FIXED_FLOAT_16>(std::lround(v * 65536.0)); }

}  // namespace

void CXLoaderScreen::FlarePosition(int& x1, int& y1) const {
    CGameBase* game = ScreensGameOf(this);
    const IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) {
        x1 = y1 = 0;
        return;
    }
    const int w = back->m_Width;
    const int h = back->m_Height;
    const int fw = m_pFlare != nullptr ? m_pFlare->m_Width : 0;
    const FIXED_FLOAT p = m_nSweepProgress;
    const FIXED_FLOAT s = SCurve(2 * p, game->GetRotatorScaler());
    // The first flare rises and falls by 60 pixels as it crosses from the right edge to the left.
    y1 = ((h / 2) << 8) - 60 * s;
    x1 = ((w + fw) << 8) - (2 * fw + w) * p;
}

void CXLoaderScreen::Draw() {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    CBitmapFontText* font = ProgressHostOf(game)->GetGameFont(kGameFontButton);
    const int w = back->m_Width;
    const int h = back->m_Height;
    back->ClearBitmap(0, 0, 0);

    if (font != nullptr) {
        const char* word = "PRESENTS";
        font->TextOutF(back, word, ((w - font->Length2(word)) / 2) << 16, (h / 2 + 45) << 16, kFixed16One,
                       kPresentsScaleY, 0, 255, 130, 20, 0, 255, nullptr);
    }
    // The word is uncovered from the left as the second flare passes over it.
    if (m_nPercent < 1) back->FillRectangle(m_nMaskX >> 8, h / 2 + 45, 2 * w, 100, 0, 0, 0);

    const double t = (m_nPulse / 256 + 255) / 255.0;  // 0 at rest, 1 at the glow's peak
    if (rotator != nullptr && m_pLogo != nullptr) {
        const int fadeIn = m_nPulseStep > 0 ? m_nPulse / 256 : 0;
        rotator->DrawRotatedBitmapMultiply(m_pLogo, back, (w / 2) << 8, (h / 2) << 8, 0, To16(1.0 + 0.1 * t), 255, 255,
                                           255, fadeIn, 0);
    }
    if (rotator != nullptr && m_pFlare != nullptr && m_nTextFade > 0 && m_nTextFade < kTextFadeFull) {
        const FIXED_FLOAT s = SCurve(2 * m_nTextFade / 255, rotator);
        rotator->DrawRotatedBitmapAdditive(m_pFlare, back, (w / 2 + 115) << 8, (h / 2 - 25) << 8, m_nTextFade, kHalf,
                                           255, 255, 255, s * 255 / 256 - 255, 0);
    }
    if (rotator != nullptr && m_pLogo != nullptr) {
        // The glow keeps growing while it fades.
        const double scale = m_nPulseStep >= 0 ? 1.0 + 0.2 * t : 1.2 + 0.2 * (1.0 - t);
        for (int i = 0; i < 2; ++i)
            rotator->DrawRotatedBitmapAdditive(m_pLogo, back, (w / 2) << 8, (h / 2) << 8, 0, To16(scale), 255, 255, 255,
                                               m_nPulse / 256, 0);
    }
    if (rotator != nullptr && m_pFlare != nullptr && m_bSweepRunning) {
        int x1 = 0;
        int y1 = 0;
        FlarePosition(x1, y1);
        const FIXED_FLOAT a1 = m_nSweepProgress * 255;  // p x 255 / 256 degrees, in 24.8
        FIXED_FLOAT a2 = 2 * a1;
        if (a2 >= kFullTurn) a2 -= kFullTurn;
        const int x2 = (w << 8) - x1;
        const int y2 = (h << 8) - y1;
        rotator->DrawRotatedBitmapAdditive(m_pFlare, back, x1, y1, a1, kHalf, 255, 255, 255, -196, 0);
        rotator->DrawRotatedBitmapAdditive(m_pFlare, back, x2, y2, a2, kSweepMirrorScale, 255, 255, 155, -128, 0);
        rotator->DrawRotatedBitmapAdditive(m_pFlare, back, x2, y2, kFullTurn - a2, kSweepMirrorScale, 255, 255, 155,
                                           -128, 0);
        if (x2 > 0) m_nMaskX = x2;
    }
    if (CQuorvanParticleSystemManager2* particles = GameplayHostOf(game)->GetParticleManager())
        particles->DrawTheRest(back);
    if (font != nullptr && !m_bIntroRunning && m_nTextFade > 0) {
        font->TextOutF(back, m_PercentText.GetDataConst(), m_nTextX << 16, (h - 20) << 16, m_nTextScaleX, m_nTextScaleY,
                       0, 255, 255, 255, 0, static_cast<unsigned char>(m_nTextFade / 256), nullptr);
    }
}
