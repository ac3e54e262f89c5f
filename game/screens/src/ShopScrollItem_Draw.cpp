// A farm tab's row of the farm shop, drawn: the icon in its frame, the owned count, the name, the
// buy button, the price and the bar with its preview, all clipped to the list under the tabs.
#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/QuestRowParts.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/ShopScrollItem.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

struct TColour {
    unsigned char r, g, b;
};
constexpr TColour kWhite{255, 255, 255};
constexpr TColour kShortColour{255, 128, 128};  // texts of a row the player cannot afford
constexpr TColour kTotalColour{255, 255, 128};  // the percentage the purchase brings
constexpr TColour kFullColour{128, 255, 128};   // ... when it reaches the star
constexpr TColour kOwnedColour{220, 220, 220};
constexpr int kFrameFade = 96;         // the icon's frame is fainter than the row
constexpr int kShortButtonFade = 200;  // a button the player cannot afford is dimmed
constexpr int kSeparatorAlpha = 128;
constexpr int kCursorAlpha = 112;    // the dark mark at the bar's current end
constexpr int kHighlightFade = 383;  // the preview's additive glow: alpha a - 128
constexpr int kHighlightFrom = 127;  // ... drawn only in the upper half of a fade
constexpr int kBarCap = 6;           // the fill's right cap, pixels
constexpr int kBarTextGap = 2;
constexpr double kBarTextRise = 1.5;
constexpr float kOwnedScale = 0.8f;
constexpr int kOwnedAlpha = 220, kNoneOwnedAlpha = 160;
constexpr int kOwnedInset = 8;  // the count stands in the frame's lower right corner
constexpr int kOwnedBottom = 110;
constexpr int kNameTop = 2;
constexpr int kIconTop = 2;
constexpr float kPressedTextScale = 0.9f;
constexpr int kButtonTextEffect = 2;  // a dark border round the letters

FIXED_FLOAT_16 To16(double value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0)); }

unsigned char Alpha(int a) { return static_cast<unsigned char>(std::clamp(a, 0, 255)); }

}  // namespace

void CXShopScrollItem::Draw() {
    TShopRowCanvas canvas;
    if (!GetShopRowCanvas(*this, canvas)) return;
    const TCoordRect2D& area = canvas.area;
    const int x = m_Rect.x, y = m_Rect.y;
    if (y > canvas.back->m_Height || y + m_Rect.height < area.y) return;
    TCoordRect2D clip{0, area.y, canvas.back->m_Width, canvas.back->m_Height - area.y};

    if (canvas.alpha > kFrameFade)
        BitBlt_Clipped(canvas.back, m_pIconFrame, x, y + kIconTop, m_pIconFrame->m_Width, m_pIconFrame->m_Height, 0, 0,
                       canvas.alpha - kFrameFade - 255, clip, 0);
    if (m_pIcon != nullptr)
        DrawCentredClipped(canvas.game, canvas.back, m_pIcon, x + m_pIconFrame->m_Width / 2,
                           y + kIconTop + m_pIconFrame->m_Height / 2, m_IconFit.scale, canvas.alpha - 255, clip);
    if (CBitmapFontText* small = GameFontOf(canvas.game, kGameFontSmall)) {
        // The count of this object bought for the yard, in the frame's lower right corner.
        const float width = static_cast<float>(small->Length2(m_OwnedText.GetDataConst())) * kOwnedScale;
        const float height = static_cast<float>(small->GetCharHeight()) * kOwnedScale;
        const int ownedAlpha = std::min(canvas.alpha, m_nOwned > 0 ? kOwnedAlpha : kNoneOwnedAlpha);
        small->TextOutF(canvas.back, m_OwnedText.GetDataConst(), To16(x + m_pIconFrame->m_Width - kOwnedInset - width),
                        To16(y + kOwnedBottom - height), To16(kOwnedScale), To16(kOwnedScale), 0, kOwnedColour.r,
                        kOwnedColour.g, kOwnedColour.b, 0, Alpha(ownedAlpha), &clip);
    }
    if (y >= area.y && y <= area.y + area.height)
        DrawLine_AA(canvas.game, area.x, y, area.x + area.width, y, 255, 255, 255, kSeparatorAlpha * canvas.alpha / 255,
                    kSeparatorAlpha * canvas.alpha / 255);
    DrawTexts(x, y, canvas.alpha, clip);
    DrawButton(x, y, canvas.alpha, clip);
}

void CXShopScrollItem::DrawTexts(int x, int y, int alpha, TCoordRect2D& clip) {
    CGameBase* game = ScreensGameOf(this);
    CBitmapFontText* titleFont = GameFontOf(game, kGameFontButton);
    CBitmapFontText* small = GameFontOf(game, kGameFontSmall);
    IDibBitmap* back = GetBackBuffer();
    if (titleFont == nullptr || small == nullptr) return;
    const int left = x + m_nButtonX;

    // The name, squeezed to end before the row's right edge when it would not.
    if (m_Name.Length() > 0) {
        const TSqueeze squeeze = SqueezeToColumn(left, x + m_Rect.width, titleFont->Length2(m_Name.GetDataConst()));
        titleFont->TextOutF(back, m_Name.GetDataConst(), left << 16, (y + kNameTop) << 16, squeeze.scaleX,
                            squeeze.scaleY, 0, kWhite.r, kWhite.g, kWhite.b, 0, Alpha(alpha), &clip);
    }

    // The price just above the button, the coin icon standing on the blanks after "Price: ".
    const TColour colour = m_bAffordable ? kWhite : kShortColour;
    const int line = small->GetCharHeight();
    const int priceTop = y + m_nButtonY - 1 - line;
    small->TextOut(back, left, priceTop, m_PriceText.GetDataConst(), colour.r, colour.g, colour.b, 0, Alpha(alpha),
                   &clip);
    const int iconX = left + small->Length2(m_PriceLabel.GetDataConst());
    BitBlt_Clipped(back, m_pCoinIcon, iconX, priceTop + (line - m_pCoinIcon->m_Height) / 2, m_pCoinIcon->m_Width,
                   m_pCoinIcon->m_Height, 0, 0, alpha - 255, clip, 0);
    if (m_pBarBackground != nullptr) DrawProgressBar(left, priceTop - m_pBarBackground->m_Height, clip);
}

void CXShopScrollItem::DrawButton(int x, int y, int alpha, TCoordRect2D& clip) {
    IDibBitmap* back = GetBackBuffer();
    const int frameIndex = m_bPressed && m_pButtons->GetNumFrames() > 1 ? 1 : 0;
    const int fade = m_bAffordable ? 0 : kShortButtonFade;
    if (IDibBitmap* frame = m_pButtons->GetFrame(frameIndex); frame != nullptr && alpha > fade)
        BitBlt_Clipped(back, frame, x + m_nButtonX, y + m_nButtonY, frame->m_Width, frame->m_Height, 0, 0,
                       alpha - fade - 255, clip, 0);
    CBitmapFontText* font = GameFontOf(ScreensGameOf(this), kGameFontButton);
    if (font == nullptr) return;
    const char* text = m_bAffordable ? "Buy" : "Can't afford";
    const TColour colour = m_bAffordable ? kWhite : kShortColour;
    const double width = font->Length2(text);
    const double height = font->GetCharHeight();
    const double cx = x + m_nButtonX + m_nButtonWidth / 2.0;
    const double cy = y + m_nButtonY + m_nButtonHeight / 2.0;
    // Pressed, the text shrinks to 0.9 about its centre.
    const double scale = m_bPressed ? kPressedTextScale : 1.0;
    font->TextOutF(back, text, To16(cx - width * scale / 2), To16(cy - height * scale / 2), To16(scale), To16(scale), 0,
                   colour.r, colour.g, colour.b, kButtonTextEffect, Alpha(alpha), &clip);
}

void CXShopScrollItem::DrawProgressBar(int x, int y, TCoordRect2D& clip) {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    const int a = GetOpacity() >> 8;
    if (a <= 0 || game == nullptr || back == nullptr || m_pBarBackground == nullptr) return;
    const int offset = a - 255;
    const int barH = m_pBarBackground->m_Height;
    BitBlt_Clipped(back, m_pBarBackground, x, y, m_pBarBackground->m_Width, barH, 0, 0, offset, clip, 0);
    if (m_pBarFill != nullptr) {
        const int current = static_cast<int>(m_Preview.currentEnd);
        const int potential = static_cast<int>(m_Preview.potentialEnd);
        if (current > 0) BitBlt_Clipped(back, m_pBarFill, x, y, current, m_pBarFill->m_Height, 0, 0, offset, clip, 0);
        DrawLine_AA(game, x + current, y, x + current, y + barH - 2, 0, 0, 0, kCursorAlpha * a / 255,
                    kCursorAlpha * a / 255);
        const bool preview = potential > current;
        const auto glowing = [&](int from, int width, int sourceX) {
            BitBlt_Clipped(back, m_pBarFill, x + from, y, width, m_pBarFill->m_Height, sourceX, 0, offset, clip, 0);
            if (a > kHighlightFrom)
                BitBlt_Clipped(back, m_pBarFill, x + from, y, width, m_pBarFill->m_Height, sourceX, 0,
                               a - kHighlightFade, clip, 1);
        };
        if (preview) glowing(current, potential - current, current);
        // The right cap closes the fill where the purchase would bring it.
        const int capX = m_pBarFill->m_Width - kBarCap;
        if (preview)
            glowing(potential, kBarCap, capX);
        else
            BitBlt_Clipped(back, m_pBarFill, x + potential, y, kBarCap, m_pBarFill->m_Height, capX, 0, offset, clip, 0);
    }

    // "+15% " in white, then "(60%)" in yellow, or green once the star is reached; both squeezed
    // by one factor when together they would pass the clip's right edge.
    CBitmapFontText* font = GameFontOf(game, kGameFontVerySmall);
    if (font == nullptr) return;
    const int textX = x + m_pBarBackground->m_Width + kBarTextGap;
    const double textY = y + (barH - font->GetCharHeight()) / 2.0 - kBarTextRise;
    const int gainWidth = font->Length2(m_Preview.gainText.GetDataConst());
    const int totalWidth = font->Length2(m_Preview.totalText.GetDataConst());
    const int room = clip.x + clip.width - textX;
    const double squeeze = gainWidth + totalWidth > room && gainWidth + totalWidth > 0
                               ? std::max(room, 0) / static_cast<double>(gainWidth + totalWidth)
                               : 1.0;
    const TColour total = m_Preview.full ? kFullColour : kTotalColour;
    font->TextOutF(back, m_Preview.gainText.GetDataConst(), To16(textX), To16(textY), To16(squeeze), kFixed16One, 0,
                   kWhite.r, kWhite.g, kWhite.b, 0, Alpha(a), &clip);
    font->TextOutF(back, m_Preview.totalText.GetDataConst(), To16(textX + gainWidth * squeeze), To16(textY),
                   To16(squeeze), kFixed16One, 0, total.r, total.g, total.b, 0, Alpha(a), &clip);
}
