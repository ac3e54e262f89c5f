#include "game/widgets/FocusedTutorial.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "app/GameBase.h"
#include "game/progress/ProgressHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "text/TextFormatDraw.h"

void ProcessCyclicValue(double min, double& value, double& speed, double max) {
    value += speed;
    if (value >= max) {
        value = max;
        speed = -speed;
    } else if (value <= min) {
        value = min;
        speed = -speed;
    }
}

CFocusedTutorial::CFocusedTutorial(CGameBase* game, int kind, int x, int y, const char* text, XWidget* focus)
    : m_pGame(game), m_nKind(kind), m_nTargetX(x), m_nTargetY(y), m_pFocus(focus), m_Text(text) {}

CFocusedTutorial::~CFocusedTutorial() = default;

int CFocusedTutorial::PostConstruct() {
    m_pArrowImage = SpriteFrame("tutorial_arrow");
    m_pCloseImage = SpriteFrame("tutorial_close");
    if (m_pArrowImage == nullptr || m_pCloseImage == nullptr || !LayOut()) return 0;
    m_bShown = true;
    m_bFading = false;
    return 1;
}

bool CFocusedTutorial::LayOut() { return true; }

void CFocusedTutorial::RunProcess() {
    if (m_bFading) {
        m_dAlpha -= kTutorialFadeOutStep;
        if (m_dAlpha <= 0) {
            m_dAlpha = 0;
            m_bFinished = true;
        }
    } else {
        m_dAlpha = std::min(m_dAlpha + kTutorialFadeInStep, kTutorialMaxAlpha);
    }
}

void CFocusedTutorial::Draw(IDibBitmap*) {}

bool CFocusedTutorial::HitTestCloseButton(int, int) { return false; }

void CFocusedTutorial::FadeOut() {
    m_bShown = false;
    m_bFading = true;
}

bool CFocusedTutorial::IsWithinCloseReach(int x, int y) const {
    return m_pCloseImage != nullptr && std::abs(x - m_dCloseX) <= kTutorialCloseReachPx &&
           std::abs(y - m_dCloseY) <= kTutorialCloseReachPx;
}

bool CFocusedTutorial::FormatTextBox(int width) {
    IProgressHost* host = ProgressHostOf(m_pGame);
    m_pFont = host != nullptr ? host->GetGameFont(kGameFontSmall) : nullptr;
    if (m_pFont == nullptr || width <= 0) return false;
    m_pTextFormat = std::make_unique<CQuorvanTextFormat>();
    m_pTextFormat->m_nAlignment = 1;
    m_pTextFormat->m_nWidth = width;
    if (!m_pTextFormat->FormatText(width, m_pFont, m_Text.GetDataConst())) return false;
    m_TextW = width << 8;
    m_TextH = m_pTextFormat->CalcFormatHeight(m_pFont, 0) << 8;
    return true;
}

void CFocusedTutorial::DrawText(IDibBitmap* dst, double dx, double dy, int alpha) {
    if (m_pTextFormat == nullptr || alpha <= 0) return;
    const auto to16 = [](double pixels) { return static_cast<FIXED_FLOAT_16>(std::lround(pixels * 65536.0)); };
    TextOutF(dst, m_pTextFormat.get(), m_pFont, to16(m_TextX / 256.0 + dx), to16(m_TextY / 256.0 + dy), 65536, 65536,
             255, 255, 255, kTextEffectNone, std::min(alpha, 255), nullptr);
}

IDibBitmap* CFocusedTutorial::SpriteFrame(const char* set, int frame) const {
    CSpriteSetManager* sets = m_pGame != nullptr ? m_pGame->GetSpriteSetManager() : nullptr;
    CSpriteSet* found = sets != nullptr ? sets->GetSpriteSetNamed(set) : nullptr;
    return found != nullptr ? found->GetFrame(frame) : nullptr;
}

void CFocusedTutorial::DrawArrowFrom(IDibBitmap* dst, IDibBitmap* arrow, double along, int alphaOffset) {
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (arrow == nullptr || rotator == nullptr) return;
    // The arrow's foot stands on its point and the image reaches out from there the way it
    // points, so that it never covers the text it stands beside.
    const double radians = m_ArrowAngle / 256.0 * std::numbers::pi / 180.0;
    const double reach = arrow->m_Height / 2.0 + along;
    rotator->DrawRotatedBitmapTransparent(arrow, dst, ToFixed(m_dArrowX + reach * std::sin(radians)),
                                          ToFixed(m_dArrowY - reach * std::cos(radians)), m_ArrowAngle, 65536,
                                          alphaOffset, 0);
}

int CFocusedTutorial::LineHeight() const { return m_pFont != nullptr ? m_pFont->GetCharHeight() : 0; }

FIXED_FLOAT CFocusedTutorial::ToFixed(double pixels) { return static_cast<FIXED_FLOAT>(std::lround(pixels * 256.0)); }

FIXED_FLOAT CFocusedTutorial::AngleTowards(double fromX, double fromY, double toX, double toY) {
    // atan2 counts from the right; the images point up, a quarter turn before it.
    constexpr FIXED_FLOAT kFullTurn = 360 * 256;
    const FIXED_FLOAT angle =
        static_cast<FIXED_FLOAT>(std::lround((atan2_degree_360(toY - fromY, toX - fromX) + 90.0) * 256.0));
    return angle >= kFullTurn ? angle - kFullTurn : angle;
}
