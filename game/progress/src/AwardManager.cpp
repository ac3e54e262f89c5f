#include "game/progress/AwardManager.h"

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/RunningRound.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"

namespace {

// Banner layout, in pixels of the banner image: the icon's centre and its largest height, the
// centres of the title and text lines, and the text scale.
constexpr int kIconCentreX = 45;
constexpr int kIconCentreY = 19;
constexpr int kIconMaxHeight = 38;
constexpr float kTitleCentreY = 9.5f;
constexpr float kTextCentreY = 28.5f;
constexpr float kTextScale = 0.9f;

CSpriteSet* FindSet(CGameBase* game, const char* name) {
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    return sets != nullptr ? sets->GetSpriteSetNamed(name) : nullptr;
}

FIXED_FLOAT_16 ToFixed16(float value) { return static_cast<FIXED_FLOAT_16>(value * 65536.0f + 0.5f); }

}  // namespace

CAwardManager::CAwardManager(CGameBase* game) : m_pGame(game), m_pHost(ProgressHostOf(game)) {}

int CAwardManager::PostConstruct() {
    m_pBackground = FindSet(m_pGame, "AchAwardedBg");
    m_pIcons = FindSet(m_pGame, "AchAwarded");
    return m_pBackground != nullptr && m_pIcons != nullptr ? 1 : 0;
}

void CAwardManager::ShowAwardMsg(int type, const CommonString& title, const CommonString& text) {
    m_pIcon = nullptr;
    const CAchievementsManager* achievements = m_pHost != nullptr ? m_pHost->GetAchievementsManager() : nullptr;
    if (type >= kAwardAchievement && achievements != nullptr) {
        if (const TAchievementInfo* info = achievements->GetInfo(type - kAwardAchievement)) {
            const CSpriteSet* set = FindSet(m_pGame, info->icon.GetDataConst());
            if (set != nullptr && set->GetNumFrames() > 0) m_pIcon = set->GetFrame(0);
        }
    }
    m_nType = type;
    m_Title = title;
    m_Text = text;
    m_bActive = true;
    m_nHold = kAwardBannerHoldFrames;
    m_nAlpha = 0;
}

void CAwardManager::RunProcess() {
    if (m_nHold >= 1) {
        --m_nHold;
        m_nAlpha += kAwardBannerFadeStep;
        if (m_nAlpha > 255) m_nAlpha = 255;
    } else if (m_nAlpha > 0) {
        m_nAlpha -= kAwardBannerFadeStep;
        if (m_nAlpha <= 0) {
            m_nAlpha = 0;
            m_bActive = false;
            m_pIcon = nullptr;
        }
    }
}

int CAwardManager::GetRestingTop() const {
    IRunningRound* round = m_pHost != nullptr ? m_pHost->GetRunningRound() : nullptr;
    if (round == nullptr || !round->IsAdStripShown()) return 0;
    CXElement* screen = round->GetRoundScreen();
    return screen != nullptr && screen->FindModalChild() != nullptr ? 0 : GC.m_nAdBannerHeight;
}

IDibBitmap* CAwardManager::CurrentIcon() const {
    if (m_pIcon != nullptr) return m_pIcon;
    if (m_pIcons == nullptr || m_nType < 0 || m_nType >= m_pIcons->GetNumFrames()) return nullptr;
    return m_pIcons->GetFrame(m_nType);
}

void CAwardManager::Draw(IDibBitmap* target) {
    IDibBitmap* background = m_pBackground != nullptr ? m_pBackground->GetFrame(0) : nullptr;
    if (target == nullptr || m_nAlpha <= 0 || background == nullptr) return;
    const int width = background->m_Width;
    const int height = background->m_Height;
    const int top = GetRestingTop();
    const int x = (target->m_Width - width) >> 1;
    // Slides from just above the screen to its resting top as it fades in, and back as it fades out.
    const int y = m_nAlpha == 255
                      ? top
                      : static_cast<int>(static_cast<float>(-height) +
                                         static_cast<float>(top + height) * static_cast<float>(m_nAlpha) / 255.0f);
    background->Draw(target, x, y, 0, 0, 0, 0);

    int leftLimit = x;
    IDibBitmap* icon = CurrentIcon();
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (icon != nullptr && rotator != nullptr) {
        const FIXED_FLOAT_16 scale =
            icon->m_Height > kIconMaxHeight ? ToFixed16(static_cast<float>(kIconMaxHeight) / icon->m_Height) : 65536;
        rotator->DrawRotatedBitmapTransparent(icon, target, (x + kIconCentreX) << 8, (y + kIconCentreY) << 8, 0, scale,
                                              0, 0);
        leftLimit = x + kIconCentreX + icon->m_Width / 2;
    }

    CBitmapFontText* font = m_pHost != nullptr ? m_pHost->GetGameFont(kGameFontSmall) : nullptr;
    if (font == nullptr) return;
    const float lineHeight = static_cast<float>(font->GetCharHeight()) * kTextScale;
    // Each line is centred on the banner, but never left of the icon.
    auto lineX = [&](const CommonString& line) {
        const int left =
            x + static_cast<int>(static_cast<float>(font->Length2(line.GetDataConst())) * -0.5f * kTextScale +
                                 static_cast<float>(width) * 0.5f);
        return left < leftLimit ? leftLimit : left;
    };
    auto drawLine = [&](const CommonString& line, int lineY) {
        font->TextOutF(target, line.GetDataConst(), lineX(line) << 16, lineY << 16, ToFixed16(kTextScale),
                       ToFixed16(kTextScale), 0, 255, 200, 0, 0, 255, nullptr);
    };
    const bool hasText = m_Text.Length() > 0;
    if (m_Title.Length() > 0) {
        const float centre = hasText ? kTitleCentreY : static_cast<float>(kIconMaxHeight) * 0.5f;
        drawLine(m_Title, y + static_cast<int>(centre - lineHeight * 0.5f));
    }
    if (hasText) drawLine(m_Text, y + static_cast<int>(kTextCentreY - lineHeight * 0.5f));
}
