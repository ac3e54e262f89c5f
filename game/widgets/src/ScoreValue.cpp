#include "game/widgets/ScoreValue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/progress/ProgressHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

// Pixels at scale 1 (the sign's at the sign's own scale), by size and by whether the icon shows.
struct TScoreLayout {
    EGameFont font;
    int captionGap;  // the caption's right end to x
    int valueGap;    // x to the number's left end
    int signGap;     // x to the sign's left end
    int textRise;    // y to the top of the caption and the number
    int signRise;    // y to the top of the sign
};
constexpr TScoreLayout kLargeWithIcon = {kGameFontButton, 25, 41, 31, 20, 23};
constexpr TScoreLayout kSmallWithIcon = {kGameFontSmall, 21, 27, 21, 10, 10};
// Without the icon the caption and the number sit one and two gaps from x.
constexpr TScoreLayout kLargeBare = {kGameFontButton, 5, 10, 5, 20, 0};
constexpr TScoreLayout kSmallBare = {kGameFontSmall, 2, 4, 2, 10, 0};
// The sign is drawn a little smaller than the texts around it.
constexpr double kSignScale = 0.8;

FIXED_FLOAT_16 ToFixed16(double value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0)); }

unsigned char Channel(int value) { return static_cast<unsigned char>(std::clamp(value, 0, 255)); }

const TScoreLayout& LayoutOf(bool showIcon, bool small) {
    return showIcon ? (small ? kSmallWithIcon : kLargeWithIcon) : (small ? kSmallBare : kLargeBare);
}

CBitmapFontText* FontOf(CGameBase* game, const TScoreLayout& layout) {
    IProgressHost* host = ProgressHostOf(game);
    return host != nullptr ? host->GetGameFont(layout.font) : nullptr;
}

}  // namespace

CommonStringRS<50> FormatWithCommasFast(int value) {
    char text[kCommasTextSize];
    FormatWithCommasInto(value, text);
    return CommonStringRS<50>(text);
}

FIXED_FLOAT_16 DrawScoreValue(CGameBase* game, CSpriteSet* icon, bool showIcon, float x, float y, float scale,
                              const CommonString& caption, int value, int alpha, int r, int g, int b, bool small,
                              bool rightAlign) {
    const TScoreLayout& layout = LayoutOf(showIcon, small);
    CBitmapFontText* font = FontOf(game, layout);
    IDibBitmap* back = game != nullptr ? game->Screen().m_pBackBuffer : nullptr;
    if (font == nullptr || back == nullptr) return 0;

    const FIXED_FLOAT_16 s = ToFixed16(scale);
    const unsigned char a = Channel(alpha), red = Channel(r), green = Channel(g), blue = Channel(b);
    const CommonStringRS<50> digits = FormatWithCommasFast(value);
    double left = x;
    if (rightAlign) left -= (static_cast<double>(font->Length2(digits.GetData())) + layout.valueGap) * scale;

    IDibBitmap* sprite = showIcon && icon != nullptr ? icon->GetFrame(0) : nullptr;
    if (sprite != nullptr) {
        Renderer_SetBlendMode(Renderer_BlendMode_Normal, sprite);
        DrawStretched(game, back, sprite, ToFixed16(left), ToFixed16(y), sprite->m_BufferWidth << 15,
                      sprite->m_BufferHeight << 15, s, s, 0, a, 0, 0, 0, 0, 255, 255, 255);
    }
    const char* captionText = caption.GetDataConst();
    const double textTop = y - layout.textRise * scale;
    font->TextOutF(back, captionText, ToFixed16(left - (layout.captionGap + font->Length2(captionText)) * scale),
                   ToFixed16(textTop), s, s, 0, red, green, blue, kTextEffectNone, a, nullptr);

    FIXED_FLOAT_16 signMiddle = 0;
    if (showIcon) {
        const double signScale = scale * kSignScale;
        const FIXED_FLOAT_16 sign = ToFixed16(signScale);
        const FIXED_FLOAT_16 signX = ToFixed16(left + layout.signGap * signScale);
        font->TextOutF(back, "x", signX, ToFixed16(y - layout.signRise * signScale), sign, sign, 0, red, green, blue,
                       kTextEffectNone, a, nullptr);
        signMiddle = static_cast<FIXED_FLOAT_16>(signX + static_cast<std::int64_t>(font->Length2("x")) * sign / 2);
    }
    font->TextOutF(back, digits.GetData(), ToFixed16(left + layout.valueGap * scale), ToFixed16(textTop), s, s, 0, red,
                   green, blue, kTextEffectNone, a, nullptr);
    return signMiddle;
}

TScoreValueExtent MeasureScoreValue(CGameBase* game, CSpriteSet* icon, bool showIcon, float scale, int value,
                                    bool small) {
    const TScoreLayout& layout = LayoutOf(showIcon, small);
    CBitmapFontText* font = FontOf(game, layout);
    if (font == nullptr) return {};
    IDibBitmap* sprite = showIcon && icon != nullptr ? icon->GetFrame(0) : nullptr;
    TScoreValueExtent extent;
    extent.right = (layout.valueGap + font->Length2(FormatWithCommasFast(value).GetData())) * scale;
    extent.left = sprite != nullptr ? -sprite->m_BufferWidth * scale / 2 : layout.valueGap * scale;
    return extent;
}
