// A row of the quests screen, drawn: separators, the completed band, the number, the three frames
// with the objects and their ticks, and a completed quest's reward, all clipped to the list.
#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/QuestsScrollItem.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

// Centres in the row (pixels from its left and top): the first object, the second, the result.
constexpr int kFirstX = 53, kSecondX = 133, kResultX = 238, kCentreY = 36;
constexpr int kPlusX = 93, kEqualsX = 173;
constexpr int kTickInset = 4, kTickBottom = 70;
constexpr int kNumberX = 6;
constexpr int kRewardLine1 = 22, kRewardLine2 = 42, kRewardLine3 = 62;
constexpr int kCoinGap = 3;
constexpr int kSeparatorAlpha = 128;
constexpr int kFaintFrame = -128, kFrame = -64;
constexpr float kScoreScale = 0.8f;
constexpr float kArenaScale = 0.75f;
constexpr int kArenaEffect = 1;  // shadow
constexpr int kRewardEffect = 2;  // a dark border: white on the gold frame
struct TColour {
    unsigned char r, g, b;
};
constexpr TColour kBand{255, 255, 160};
constexpr TColour kArenaColour{255, 212, 64};

FIXED_FLOAT_16 To16(double value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0)); }

void Blit(IDibBitmap* back, IDibBitmap* image, int x, int y, int alphaOffset, const TCoordRect2D& clip) {
    if (image != nullptr) BitBlt_Clipped(back, image, x, y, image->m_Width, image->m_Height, 0, 0, alphaOffset, clip, 0);
}

// White text centred on (cx, cy), clipped.
void CentredText(CBitmapFontText& font, IDibBitmap* back, const char* text, int cx, int cy, TCoordRect2D& clip,
                 int effect = 0) {
    font.TextOut(back, cx - font.Length2(text) / 2, cy - font.GetCharHeight() / 2, text, 255, 255, 255, effect, 255,
                 &clip);
}

}  // namespace

void CXQuestsScrollItem::Draw() {
    const auto* list = dynamic_cast<CXScrollDialogBase*>(m_pParent);
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    CBitmapFontText* font = GameFontOf(game, kGameFontSmall);
    if (list == nullptr || back == nullptr || font == nullptr) return;
    const TCoordRect2D& area = list->GetListArea();
    const int x = m_Rect.x, y = m_Rect.y, bottom = m_Rect.y + m_Rect.height;
    const int areaBottom = area.y + area.height;
    if (bottom < area.y || y > areaBottom) return;
    TCoordRect2D clip{x, area.y, m_Rect.width, area.height};
    const int visibleTop = std::max(y, area.y);

    const int lineRight = area.x + area.width;
    if (y >= area.y && y <= areaBottom)
        DrawLine_AA(game, 0, y, lineRight, y, 255, 255, 255, kSeparatorAlpha, kSeparatorAlpha);
    const int count = m_pParent->GetChildCount();
    if (count > 0 && m_pParent->GetChildPtrAt(count - 1) == this && bottom >= area.y && bottom <= areaBottom)
        DrawLine_AA(game, 0, bottom, lineRight, bottom, 255, 255, 255, kSeparatorAlpha, kSeparatorAlpha);
    if (m_nState == kQuestCompleted) {
        const int bandBottom = std::min(bottom + m_nRowGap, areaBottom);
        if (bandBottom > visibleTop)
            FillRectangle_Transparent(game, back, x, visibleTop, back->m_Width, bandBottom - visibleTop, kBand.r,
                                      kBand.g, kBand.b, m_nHighlightAlpha);
    }
    font->TextOut(back, x + kNumberX, y + kCentreY - font->GetCharHeight() / 2, m_RowNumber.GetDataConst(), 255, 255,
                  255, 0, 255, &clip);
    if (!m_bGraphicsLoaded) return;
    DrawObjects(clip);
    CentredText(*font, back, "+", x + kPlusX, y + kCentreY, clip);
    CentredText(*font, back, "=", x + kEqualsX, y + kCentreY, clip);
    DrawFrame(true, false, clip);
    if (m_nState == kQuestCompleted) DrawReward(clip);
}

void CXQuestsScrollItem::DrawObjects(TCoordRect2D& clip) {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    const int x = m_Rect.x, y = m_Rect.y;
    const bool bought[2] = {m_bFirstBought, m_bSecondBought};
    const int centres[2] = {kFirstX, kSecondX};
    for (int k = 0; k < 2; ++k) {
        DrawFrame(false, k == 1, clip);
        if (m_nState == kQuestLocked) continue;
        const TQuestObjectPicture& picture = m_Pictures[k];
        DrawCentredClipped(game, back, picture.image, x + centres[k], y + kCentreY, picture.scale, 0, clip);
        if (bought[k] && m_pTick != nullptr)
            Blit(back, m_pTick, x + centres[k] + kTickInset + m_pTick->m_Width / 4, y + kTickBottom - m_pTick->m_Height,
                 0, clip);
    }
}

IDibBitmap* CXQuestsScrollItem::FrameImage(bool result, bool second, int& alphaOffset) const {
    alphaOffset = kFaintFrame;
    if (result) {
        if (m_nState == kQuestCompleted && m_pResultFrames != nullptr) {
            alphaOffset = kFrame;
            return m_pResultFrames->GetFrame(0);
        }
        return m_pFrames != nullptr ? m_pFrames->GetFrame(0) : nullptr;
    }
    if (m_pFrames == nullptr) return nullptr;
    if (m_nState == kQuestLocked) return m_pFrames->GetFrame(0);
    alphaOffset = kFrame;
    return m_pFrames->GetFrame((second ? m_bSecondBought : m_bFirstBought) ? 2 : 1);
}

void CXQuestsScrollItem::DrawFrame(bool result, bool second, TCoordRect2D& clip) {
    int offset = 0;
    IDibBitmap* frame = FrameImage(result, second, offset);
    if (frame == nullptr) return;
    const int cx = m_Rect.x + (result ? kResultX : second ? kSecondX : kFirstX);
    const int cy = m_Rect.y + kCentreY;
    Blit(GetBackBuffer(), frame, cx - frame->m_Width / 2, cy - frame->m_Height / 2, offset, clip);
}

void CXQuestsScrollItem::DrawReward(TCoordRect2D& clip) {
    IDibBitmap* back = GetBackBuffer();
    CBitmapFontText& font = *GameFontOf(ScreensGameOf(this), kGameFontSmall);
    const int cx = m_Rect.x + kResultX;
    const int y = m_Rect.y;
    const int ch = font.GetCharHeight();
    if (!IsCoinQuest()) {
        if (m_pColourBall != nullptr) {
            const int w = font.Length2(m_ScoreReward.GetDataConst());
            const int x0 = cx - (w + m_pColourBall->m_Width) / 2;
            Blit(back, m_pColourBall, x0, y + kRewardLine2 - m_pColourBall->m_Height + ch / 2, 0, clip);
            font.TextOutF(back, m_ScoreReward.GetDataConst(), (x0 + m_pColourBall->m_Width) << 16,
                          (y + kRewardLine1 - ch / 2) << 16, To16(kScoreScale), To16(kScoreScale), 0, 255, 255, 255,
                          kRewardEffect, 255, &clip);
        }
    } else {
        const int w = font.Length2(m_CoinReward.GetDataConst());
        const int coinWidth = m_pCoinIcon != nullptr ? m_pCoinIcon->m_Width : 0;
        const int x0 = cx - (coinWidth + kCoinGap + w) / 2;
        font.TextOut(back, x0, y + kRewardLine1 - ch / 2, m_CoinReward.GetDataConst(), 255, 255, 255, kRewardEffect, 255,
                     &clip);
        if (m_pCoinIcon != nullptr)
            Blit(back, m_pCoinIcon, x0 + w + kCoinGap, y + kRewardLine1 - m_pCoinIcon->m_Height / 2, 0, clip);
        CentredText(font, back, m_CoinRewardCaption.GetDataConst(), cx, y + kRewardLine2, clip, kRewardEffect);
    }
    if (m_ArenaCaption.Length() > 0) {
        const long width = std::lround(font.Length2(m_ArenaCaption.GetDataConst()) * kArenaScale);
        font.TextOutF(back, m_ArenaCaption.GetDataConst(), (cx - static_cast<int>(width) / 2) << 16,
                      (y + kRewardLine3 - ch / 2) << 16, To16(kArenaScale), To16(kArenaScale), 0, kArenaColour.r,
                      kArenaColour.g, kArenaColour.b, kArenaEffect, 255, &clip);
    }
    if (m_pMedal != nullptr) {
        IDibBitmap* result = m_pResultFrames != nullptr ? m_pResultFrames->GetFrame(0) : nullptr;
        const int medalX = result != nullptr ? cx + result->m_Width / 2 - m_pMedal->m_Width / 2
                                             : m_Rect.x + m_Rect.width + 5 - m_pMedal->m_Width / 2;
        Blit(back, m_pMedal, medalX, m_Rect.y + m_Rect.height - m_pMedal->m_Height, 0, clip);
    }
}
