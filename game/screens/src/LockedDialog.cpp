// The locked dialog: the condition's two lines, its icons and the pulse of the stars to earn.
#include "game/screens/LockedDialog.h"

#include <cmath>

#include "app/GameBase.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ArenaManager.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"

namespace {

constexpr int kIconCount = 3;
// The outer icons of "all previous Yards" fan out: 15 pixels in from a whole icon's width beside
// the middle one, 10 pixels higher, turned 5 degrees outwards.
constexpr int kFanInset = 15;
constexpr int kFanLift = 10;
constexpr FIXED_FLOAT kFanLeftAngle = 5 * 256;
constexpr FIXED_FLOAT kFanRightAngle = 355 * 256;
constexpr FIXED_FLOAT_16 kScaleOne = 65536;
constexpr FIXED_FLOAT_16 kEmptyStarScale = 52429;  // 0.8
constexpr FIXED_FLOAT_16 kFullStarScale = 49807;   // 0.76

CSpriteSet* NamedSet(CGameBase* game, const char* name) {
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    return sets != nullptr ? sets->GetSpriteSetNamed(name) : nullptr;
}

}  // namespace

CXLockedDialog::CXLockedDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

int CXLockedDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    m_pAnchor = FindChildWithWidgetId("img_unlock_dummy");
    if (m_pAnchor != nullptr) m_pAnchor->Hide();
    CGameBase* game = ScreensGameOf(this);
    m_pStarSet = NamedSet(game, "yard_star");
    const CSpriteSet* lock = NamedSet(game, "level_lock");
    m_pPadlock = lock != nullptr ? lock->GetFrame(0) : nullptr;
    m_nPulse = 0;
    m_nPulseStep = kLockedPulseStep;
    return m_pStarSet != nullptr && m_pStarSet->GetFrame(0) != nullptr && m_pPadlock != nullptr ? 1 : 0;
}

void CXLockedDialog::SetupUnlockCondition(Arena* arena) {
    if (arena == nullptr) return;
    SetupUnlockConditionText(arena->unlockBy, 1);
    SetupUnlockConditionIcons(arena->unlockBy);
}

void CXLockedDialog::SetupUnlockCondition(YardDef* yard) {
    if (yard == nullptr) return;
    SetupUnlockConditionText(yard->unlockAfter, yard->unlockStars);
    SetupUnlockConditionIcons(yard->unlockAfter);
}

void CXLockedDialog::SetupUnlockConditionText(const CommonString& id, int stars) {
    CommonString yardText;
    m_bAllPrevious = id == kUnlockAfterAllPrevious;
    if (m_bAllPrevious) {
        yardText = CommonString("all previous Yards");
    } else {
        CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
        const YardDef* yard = farm != nullptr ? farm->GetYardDef(id) : nullptr;
        if (yard != nullptr) yardText = yard->name;
    }
    const CommonString starsText = stars == 1 ? CommonString("a Star") : SafeFormat("%d Stars", {stars});
    FillLine("txt_unlock_line2", starsText);
    FillLine("txt_unlock_line3", yardText);
    m_nStarsNeeded = stars;
}

void CXLockedDialog::FillLine(const char* id, const CommonString& value) {
    auto* text = dynamic_cast<XText*>(FindChildWithWidgetId(id));
    if (text == nullptr) return;
    // The template's text, never the caption shown: the dialog may be set up more than once. It
    // is data, so it is only filled in, never trusted as a printf format.
    CommonString format;
    if (const auto* record = dynamic_cast<const TWText*>(text->GetRecord())) format = record->text.caption;
    text->GetLocalizedCaption(format);
    text->SetCaption(SafeFormat(format.GetData(), {value}));
    text->ReInitWidgetPosition();
}

void CXLockedDialog::SetupUnlockConditionIcons(const CommonString& id) {
    CGameBase* game = ScreensGameOf(this);
    const CSpriteSet* yards = NamedSet(game, "btn_play_yards");
    const CSpriteSet* locked = NamedSet(game, "btn_play_arena_locked");
    if (yards == nullptr || locked == nullptr || yards->GetFrame(0) == nullptr || locked->GetFrame(0) == nullptr)
        return;
    CFarmManager* farm = FarmManagerOf(game);
    // The yard's thumbnail once it is open; else the locked plate under a padlock.
    const auto place = [&](int slot, YardDef* yard) {
        m_Icons[slot] = locked->GetFrame(0);
        m_IconLocked[slot] = true;
        if (yard == nullptr || farm == nullptr || !farm->IsYardUnlocked(yard)) return;
        if (IDibBitmap* thumbnail = yards->GetFrame(farm->GetYardIndex(yard->id))) {
            m_Icons[slot] = thumbnail;
            m_IconLocked[slot] = false;
        }
    };
    for (int i = 0; i < kIconCount; ++i) {
        m_Icons[i] = nullptr;
        m_IconLocked[i] = false;
    }
    if (!m_bAllPrevious) {
        place(0, farm != nullptr ? farm->GetYardDef(id) : nullptr);
        return;
    }
    for (int i = 0; i < kIconCount; ++i) place(i, farm != nullptr ? farm->GetYardDef(i) : nullptr);
}

void CXLockedDialog::RunProcess() {
    const auto alive = LifeToken();
    XDialog::RunProcess();
    if (!*alive) return;
    m_nPulse += m_nPulseStep;
    if (m_nPulse > 254) {
        m_nPulse = 255;
        m_nPulseStep = -m_nPulseStep;
        m_nGlow = kLockedGlowFull;
    } else if (m_nPulse < 1) {
        m_nPulse = 0;
        m_nPulseStep = -m_nPulseStep;
        m_nGlow = 0;
    } else {
        CGameBase* game = ScreensGameOf(this);
        // The ease takes its input in 256ths (0..256) and gives 256ths.
        const auto t = static_cast<FIXED_FLOAT>(std::lround(m_nPulse * 256.0 / 255.0));
        m_nGlow = 255 * SCurve(t, game != nullptr ? game->GetRotatorScaler() : nullptr);
    }
}

TVector2D CXLockedDialog::IconCentre() {
    const TCoordRect2D r = m_pAnchor != nullptr ? m_pAnchor->GetDrawingRect() : GetDrawingRect();
    const int x = m_pAnchor != nullptr ? r.x + r.width / 2 : r.x;
    const int y = m_pAnchor != nullptr ? r.y + r.height / 2 : r.y;
    return TVector2D{(x << 8) + 128, (y << 8) + 128};
}

int CXLockedDialog::FullStarAlphaOffset() { return (GetOpacity() / 256) * (m_nGlow / 256) / 255 - 255; }

void CXLockedDialog::Draw() {
    XGameDialog::Draw();
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    if (GetOpacity() <= 0 || m_Icons[0] == nullptr || rotator == nullptr || back == nullptr) return;
    const TVector2D c = IconCentre();
    const int a = OpacityToAlphaOffset(GetOpacity());
    const auto icon = [&](int i, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle) {
        if (m_Icons[i] == nullptr) return;
        rotator->DrawRotatedBitmapTransparent(m_Icons[i], back, x, y, angle, kScaleOne, a, 0);
        if (m_IconLocked[i]) rotator->DrawRotatedBitmapTransparent(m_pPadlock, back, x, y, angle, kScaleOne, a, 0);
    };
    if (m_bAllPrevious) {
        const FIXED_FLOAT w = m_Icons[0]->m_Width << 8;
        icon(1, c.x + (kFanInset << 8) - w, c.y - (kFanLift << 8), kFanLeftAngle);
        icon(2, c.x - (kFanInset << 8) + w, c.y - (kFanLift << 8), kFanRightAngle);
    }
    icon(0, c.x, c.y, 0);

    IDibBitmap* empty = m_pStarSet->GetFrame(0);
    if (a < -254 || empty == nullptr) return;
    IDibBitmap* full = m_pStarSet->GetNumFrames() > 1 ? m_pStarSet->GetFrame(1) : nullptr;
    const FIXED_FLOAT s = empty->m_Width << 8;
    const FIXED_FLOAT y = c.y + (m_Icons[0]->m_Height << 7);
    const int fullAlpha = FullStarAlphaOffset();
    for (int i = 0; i < kIconCount; ++i) {
        const FIXED_FLOAT x = c.x - s + i * s;
        rotator->DrawRotatedBitmapTransparent(empty, back, x, y, 0, kEmptyStarScale, a, 0);
        if (i < m_nStarsNeeded && full != nullptr && fullAlpha >= -254)
            rotator->DrawRotatedBitmapTransparent(full, back, x, y, 0, kFullStarScale, fullAlpha, 0);
    }
}
