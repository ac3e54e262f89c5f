#include "game/screens/PlayScreenUpgradesButton.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/GameBase.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"

namespace {

// The pulse runs between these bounds, one step a frame.
constexpr float kPulseMin = 0.95f;
constexpr float kPulseMax = 1.05f;
constexpr float kPulseStep = 0.005f;
// A pressed button is drawn at 230/256 of its size; the badge follows it.
constexpr float kPressedShrink = 230.0f / 256.0f;
constexpr int kPressedInset = 256 - 230;
constexpr float kBadgeScale = 0.9f;
constexpr float kTextScale = 0.8f;
constexpr FIXED_FLOAT kFullTurn = 360 * 256;

// Rounded half away from zero.
int Round(float value) { return static_cast<int>(std::lround(value)); }

}  // namespace

CXPlayScreenUpgradesButton::CXPlayScreenUpgradesButton(CXElement* parent, TTemplate* templ, TWidget* record,
                                                       const WidgetContext* placement)
    : XGameButton(parent, templ, record, placement) {}

CXPlayScreenUpgradesButton::~CXPlayScreenUpgradesButton() = default;

int CXPlayScreenUpgradesButton::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    const CSpriteSet* set = sets != nullptr ? sets->GetSpriteSetNamed("green_gem_notify") : nullptr;
    m_pBadge = set != nullptr ? set->GetFrame(0) : nullptr;
    if (m_pBadge == nullptr) return 0;
    m_BadgePulse.Start(kPulseMin, kPulseMax, kPulseStep, 1.0f);
    return 1;
}

void CXPlayScreenUpgradesButton::RunProcess() {
    XWidget::RunProcess();
    m_BadgePulse.RunProcess();
}

void CXPlayScreenUpgradesButton::Draw() {
    XGameButton::Draw();
    DrawNotification();
}

TBadgePlacement CXPlayScreenUpgradesButton::BadgePlacement() {
    TBadgePlacement badge;
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (m_pBadge == nullptr || back == nullptr || profile == nullptr || profile->m_nBoostPoints <= 0) return badge;
    badge.shown = true;
    badge.points = profile->m_nBoostPoints;

    // The badge fades out as a dialog fades in over the screen.
    CXElement* modal = m_pParent != nullptr ? m_pParent->FindModalChild() : nullptr;
    if (modal != nullptr && modal->IsWidget()) badge.alpha = 255 - (static_cast<XWidget*>(modal)->GetOpacity() / 256);

    // Over the button's top-right corner, but never more than half outside the screen.
    const TCoordRect2D rect = GetDrawingRect();
    const FIXED_FLOAT insideScreen = Round((static_cast<float>(back->m_Width) - m_pBadge->m_Width / 2.0f) * 256.0f);
    badge.x = std::min(insideScreen, (rect.x + rect.width - 2) * 256);
    badge.y = (rect.y + 2) * 256;
    float shrink = 1.0f;
    if (m_bPressed) {
        // Half of the pressed button's shrink on each side, in 24.8.
        badge.x -= rect.width * kPressedInset / 2;
        badge.y += rect.height * kPressedInset / 2;
        shrink = kPressedShrink;
    }

    const float pulse = m_BadgePulse.GetCurValueSineWaved();
    // A wobble of up to 3 degrees either way, in time with the pulse.
    badge.angle = Round((pulse - 1.0f) * 360.0f / 6.0f * 256.0f);
    if (badge.angle < 0) badge.angle += kFullTurn;
    const float scale = shrink * pulse * kBadgeScale;
    badge.scale = scale > 0.0f ? Round(scale * 65536.0f) : 0;
    badge.textScale = shrink * pulse * kTextScale;
    return badge;
}

void CXPlayScreenUpgradesButton::DrawNotification() {
    const TBadgePlacement badge = BadgePlacement();
    CGameBase* game = ScreensGameOf(this);
    if (!badge.shown || game == nullptr) return;
    IDibBitmap* back = GetBackBuffer();
    if (badge.scale > 0 && game->GetRotatorScaler() != nullptr)
        game->GetRotatorScaler()->DrawRotatedBitmapTransparent(m_pBadge, back, badge.x, badge.y, badge.angle,
                                                               badge.scale, badge.alpha - 255, 0);
    CBitmapFontText* font = ProgressHostOf(game)->GetGameFont(kGameFontSmall);
    const float t = badge.textScale;
    if (t <= 0.0f || font == nullptr) return;
    const std::string count = std::to_string(badge.points);
    const float x = badge.x / 256.0f - static_cast<float>(font->Length2(count.c_str())) * t / 2.0f + 1.0f;
    const float y = badge.y / 256.0f - static_cast<float>(font->GetCharHeight()) * t / 2.0f;
    const FIXED_FLOAT_16 scale = Round(t * 65536.0f);
    font->TextOutF(back, count.c_str(), Round(x * 65536.0f), Round(y * 65536.0f), scale, scale, 0, 255, 255, 255, 0,
                   static_cast<unsigned char>(badge.alpha), nullptr);
}
