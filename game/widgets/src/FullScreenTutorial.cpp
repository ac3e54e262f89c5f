#include "game/widgets/FullScreenTutorial.h"

#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/ImageRotatorScaler.h"

namespace {

// Frames the spot takes to glide from its start onto the target.
constexpr double kGlideFrames = 24.0;
// The text's own fade-in, after a wait: it starts this far below visible and rises per frame.
constexpr double kTextAlphaStart = -255.0;
constexpr double kTextAlphaStep = 10.0;
// The close button sits this far left of the text box's right edge.
constexpr int kCloseInsetPx = 20;
// The bobbing's periods: a speed of 2 x amplitude / period.
constexpr double kBobPeriod[2] = {9.9, 9.428571};

}  // namespace

CFullScreenTutorial::CFullScreenTutorial(CGameBase* game, int kind, int x, int y, const char* text, XWidget* focus)
    : CFocusedTutorial(game, kind, x, y, text, focus) {}

bool CFullScreenTutorial::LayOut() {
    m_pFocusImage = SpriteFrame("tutorial_focus");
    IDibBitmap* back = m_pGame->Screen().m_pBackBuffer;
    if (m_pFocusImage == nullptr || back == nullptr) return false;
    const int w = back->m_Width, h = back->m_Height;

    // Kind 0 starts in the middle, 1 at the lower right, 2 low and left of the middle.
    switch (m_nKind) {
        case 1:
            m_dSpotStartX = w - w / 4;
            m_dSpotStartY = h - h / 4;
            break;
        case 2:
            m_dSpotStartX = 2 * w / 5;
            m_dSpotStartY = 3 * h / 4;
            break;
        default:
            m_dSpotStartX = w / 2;
            m_dSpotStartY = h / 2;
            break;
    }
    m_dSpotX = m_dSpotStartX;
    m_dSpotY = m_dSpotShownY = m_dSpotStartY;
    m_dSpotStepX = (m_nTargetX - m_dSpotStartX) / kGlideFrames;
    m_dSpotStepY = (m_nTargetY - m_dSpotStartY) / kGlideFrames;

    const int textW = 3 * w / 4;
    if (!FormatTextBox(textW)) return false;
    const double textX = (w - textW) / 2.0;
    const double textH = m_TextH / 256.0;
    // A target in the lower half gets the text above it, with the arrow under the text; one in
    // the upper half the text below, the arrow over it.
    const bool targetBelow = m_nTargetY > h / 2;
    const double textY =
        targetBelow ? 0.75 * m_nTargetY - 1.5 * textH : m_nTargetY + (h - m_nTargetY) / 4.0 - textH / 2;
    m_TextX = ToFixed(textX);
    m_TextY = ToFixed(textY);
    m_dArrowX = textX + textW / 2.0;
    m_dArrowY = targetBelow ? textY + textH + LineHeight() / 2.0 : textY - LineHeight() / 2.0;
    m_ArrowAngle = AngleTowards(m_dArrowX, m_dArrowY, m_nTargetX, m_nTargetY);
    m_dCloseX = textX + textW - kCloseInsetPx;
    m_dCloseY = textY - m_pCloseImage->m_Width / 2.0;
    m_dTextAlpha = kTextAlphaStart;

    m_dBobAmplitude[0] = m_nKind == 2 ? 0.1 : 3.0;
    m_dBobAmplitude[1] = m_nKind == 2 ? 3.0 : 2.0;
    for (int i = 0; i < 2; ++i) {
        m_dBob[i] = m_dBobShown[i] = 0;
        m_dBobSpeed[i] = 2 * m_dBobAmplitude[i] / kBobPeriod[i];
    }
    if (m_nKind == 1) m_dBobSpeed[1] = -m_dBobSpeed[1];
    return true;
}

void CFullScreenTutorial::Glide(double& value, double step, double target) {
    if (std::abs(target - value) <= std::abs(step))
        value = target;
    else
        value += step;
}

void CFullScreenTutorial::RunProcess() {
    CFocusedTutorial::RunProcess();
    Glide(m_dSpotX, m_dSpotStepX, m_nTargetX);
    Glide(m_dSpotY, m_dSpotStepY, m_nTargetY);
    m_dSpotShownY = GetSCurvedValue(m_pGame, m_dSpotStartY, m_dSpotY, m_nTargetY);
    m_dTextAlpha = std::min(m_dTextAlpha + kTextAlphaStep, 255.0);
    for (int i = 0; i < 2; ++i) {
        const double a = m_dBobAmplitude[i];
        ProcessCyclicValue(-a, m_dBob[i], m_dBobSpeed[i], a);
        m_dBobShown[i] = GetSCurvedValue(m_pGame, -a, m_dBob[i], a);
    }
}

void CFullScreenTutorial::Draw(IDibBitmap* dst) {
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (m_bFinished || dst == nullptr || rotator == nullptr || m_pFocusImage == nullptr) return;
    const int alpha = static_cast<int>(m_dAlpha);

    // The spot on whole pixels, so that the darkness around it meets its edges exactly.
    const int fw = m_pFocusImage->m_Width, fh = m_pFocusImage->m_Height;
    const int fx = static_cast<int>(std::lround(m_dSpotX - fw / 2.0));
    const int fy = static_cast<int>(std::lround(m_dSpotShownY - fh / 2.0));
    rotator->DrawRotatedBitmapTransparent(m_pFocusImage, dst, (2 * fx + fw) << 7, (2 * fy + fh) << 7, 0, 65536,
                                          alpha - 255, 0);
    const int w = dst->m_Width, h = dst->m_Height;
    const auto darken = [&](int x, int y, int rw, int rh) {
        if (rw > 0 && rh > 0) FillRectangle_Transparent(m_pGame, dst, x, y, rw, rh, 0, 0, 0, alpha);
    };
    darken(0, 0, w, fy);
    darken(0, fy + fh, w, h - fy - fh);
    darken(0, fy, fx, fh);
    darken(fx + fw, fy, w - fx - fw, fh);

    double textAlpha = m_dTextAlpha;
    if (m_bFading) textAlpha *= m_dAlpha / 255.0;
    if (textAlpha <= 0) return;
    const int t = static_cast<int>(textAlpha);
    DrawText(dst, m_dBobShown[0], m_dBobShown[1], t);
    DrawArrowFrom(dst, m_pArrowImage, m_dBobShown[1], t - 255);
    const double bx = m_nKind == 0 ? m_dBobShown[1] : m_dBobShown[0];
    const double by = m_nKind == 0 ? m_dBobShown[0] : m_dBobShown[1];
    rotator->DrawRotatedBitmapTransparent(m_pCloseImage, dst, ToFixed(m_dCloseX + 1.1 * bx),
                                          ToFixed(m_dCloseY + 0.4 * by), 0,
                                          m_bFading ? kTutorialFadingCloseScale : 65536, t - 255, 0);
}

bool CFullScreenTutorial::HitTestCloseButton(int x, int y) { return IsWithinCloseReach(x, y); }
