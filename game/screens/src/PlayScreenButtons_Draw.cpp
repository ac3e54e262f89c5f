// The play screen's arena and yard buttons on screen: thumbnail, locked plate, padlock, captions
// and a yard's stars.
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/screens/PlayScreenButtons.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

constexpr FIXED_FLOAT_16 kScaleOne = 65536;
constexpr FIXED_FLOAT_16 kPressedScale = 62259;  // 0.95
// The yard's stars: their pitch is this many 256ths of a star's width, and the empty star's scale,
// pressed and not.
constexpr int kStarPitchPressed = 217;
constexpr int kStarPitch = 230;
constexpr FIXED_FLOAT_16 kEmptyStarScalePressed = 44564;  // 0.68
constexpr FIXED_FLOAT_16 kEmptyStarScale = 47185;         // 0.72
// A full star is drawn at 0.95 of the empty one.
constexpr double kFullStarShrink = 0.95;
// The number is drawn white with a dark border ("border2").
constexpr int kNumberEffect = 5;

}  // namespace

void CXPlayScreenButtonBase::DrawCentre(FIXED_FLOAT& x, FIXED_FLOAT& y) {
    const TCoord2D centre = CalcCenter();
    x = (centre.x << 8) + 128;
    y = (centre.y << 8) + 128;
}

void CXPlayScreenButtonBase::DrawThumbnailAndLock(FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT_16 scale, int a,
                                                  bool animating, IDibBitmap* instead) {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    if (rotator == nullptr || back == nullptr || m_pImage == nullptr) return;
    rotator->DrawRotatedBitmapTransparent(m_pImage, back, x, y, 0, scale, a, 0);
    if (!m_bLocked && !animating) return;
    const int lockAlpha = a + (animating ? m_Unlock.fade : 0);
    if (lockAlpha < -254) return;
    if (m_pLockedImage != nullptr)
        rotator->DrawRotatedBitmapTransparent(m_pLockedImage, back, x, y, 0, scale, lockAlpha, 0);
    // The padlock stands on whole pixels.
    const TCoord2D centre = CalcCenter();
    IDibBitmap* padlock = instead;
    if (padlock == nullptr && m_pLockSet != nullptr)
        padlock = m_pLockSet->GetFrame(animating ? static_cast<int>(m_Unlock.lockFrame) : 0);
    if (padlock != nullptr)
        rotator->DrawRotatedBitmapTransparent(padlock, back, centre.x << 8, centre.y << 8, 0, scale, lockAlpha, 0);
}

void CXPlayScreenArenaButton::Draw() {
    if (GetOpacity() <= 0) return;
    FIXED_FLOAT x = 0, y = 0;
    DrawCentre(x, y);
    const FIXED_FLOAT_16 scale = m_bPressed ? kPressedScale : kScaleOne;
    DrawThumbnailAndLock(x, y, scale, OpacityToAlphaOffset(GetOpacity()), m_bUnlocking, nullptr);
    if (m_pCaptionFont == nullptr || GetBackBuffer() == nullptr) return;
    m_pCaptionFont->TextOutF(GetBackBuffer(), m_Caption.GetData(), (x + m_nCaptionOffsetX) << 8,
                             (y + m_nCaptionOffsetY) << 8, m_nCaptionScale, m_nCaptionScale, 0, 255, 255, 255, 0, 255,
                             nullptr);
}

void CXPlayScreenYardButton::Draw() {
    if (GetOpacity() <= 0 || m_pImage == nullptr) return;
    FIXED_FLOAT x = 0, y = 0;
    DrawCentre(x, y);
    const FIXED_FLOAT_16 scale = m_bPressed && m_bVisible ? kPressedScale : kScaleOne;
    const int a = OpacityToAlphaOffset(GetOpacity());
    DrawThumbnailAndLock(x, y, scale, a, m_bJustUnlocked, m_bVisible ? nullptr : m_pQuestionImage);
    if (m_pNumberFont != nullptr && GetBackBuffer() != nullptr)
        m_pNumberFont->TextOutF(GetBackBuffer(), m_Number.GetData(), (x + m_nNumberOffsetX) << 8,
                                (y + m_nNumberOffsetY) << 8, m_nNumberScale, m_nNumberScale, 0, 255, 255, 255,
                                kNumberEffect, 255, nullptr);
    if (m_bLocked) return;
    // Half the image's height at the drawing scale, 8.8.
    const FIXED_FLOAT halfHeight =
        static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(m_pImage->m_Height) * 128 * scale) >> 16);
    DrawStars(x, y + halfHeight, a);
}

void CXPlayScreenYardButton::DrawStars(FIXED_FLOAT x, FIXED_FLOAT y, int a) {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* empty = m_pStarSet != nullptr ? m_pStarSet->GetFrame(0) : nullptr;
    if (rotator == nullptr || back == nullptr || empty == nullptr) return;
    IDibBitmap* full = m_pStarSet->GetNumFrames() > 1 ? m_pStarSet->GetFrame(1) : nullptr;
    const FIXED_FLOAT pitch = empty->m_Width * (m_bPressed ? kStarPitchPressed : kStarPitch);
    const FIXED_FLOAT_16 emptyScale = m_bPressed ? kEmptyStarScalePressed : kEmptyStarScale;
    const auto fullScale = static_cast<FIXED_FLOAT_16>(std::lround(emptyScale * kFullStarShrink));
    for (int i = 0; i < kYardStarCount; ++i) {
        int alpha = a;
        if (m_bJustUnlocked) {
            // The stars appear one by one once the lock has gone.
            if (m_Unlock.state != kUnlockStars || i > m_nStarIndex) continue;
            if (i == m_nStarIndex) alpha = m_nStarAlpha;
        }
        if (alpha < -254) continue;
        const FIXED_FLOAT starX = x - pitch + i * pitch;
        rotator->DrawRotatedBitmapTransparent(empty, back, starX, y, 0, emptyScale, alpha, 0);
        if (i < m_nStars && full != nullptr)
            rotator->DrawRotatedBitmapTransparent(full, back, starX, y, 0, fullScale, alpha, 0);
    }
}
