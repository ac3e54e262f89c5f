// The round's drawing, back to front: the arena's floor, the bombs' range rings, the shadows and
// entry arrows, the paths being drawn and run, the bursts, the danger halos, the marbles, the
// frame with its bar, the animations, the head-up display, the floating texts and the game-over
// texts; the screen's widgets over all of it. Also the head-up display's moving values: the
// rolling score with its text split for centring, and the progress bar's fill.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "core/QuorvanUtils.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/ArenaManager.h"
#include "game/widgets/GameplayMath.h"
#include "game/widgets/JumpString.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"
#include "ui/Dialog.h"

namespace {

// The game's particle effects drawn between the field's layers (indexes in its effect list): the
// score and intro sparkles under the marbles, the path trail and the bomb rings over them; the
// rest goes over the floating texts.
constexpr int kUnderMarbleEffects[] = {1, 8};
constexpr int kOverMarbleEffects[] = {0, 2};

// A burst grows to the middle of its clock and fades after it, turning as it goes.
constexpr FIXED_FLOAT kExplosionMiddle = 128 * 256;
constexpr FIXED_FLOAT kExplosionEnd = 255 * 256;
constexpr FIXED_FLOAT kExplosionTurnPerFrame = 10 * 256;
constexpr FIXED_FLOAT_16 kExplosionScale = 65536;       // the burst at its largest
constexpr FIXED_FLOAT_16 kExplosionCoreScale = 163840;  // the dot under it, 2.5
constexpr FIXED_FLOAT_16 kDragCircleScale = 45875;      // 0.7
constexpr int kOpaque = 255;

// A bomb's range ring: its image is 128 pixels in radius at scale 1; a power-up's shows at 32.
constexpr double kBombRangeImageRadius = 128.0;
constexpr int kBombCircleValue = 32;
// The blast ring's burst sprite: its scale per pixel of ring radius.
constexpr double kRingBurstScalePerPx = 3.0 / 64.0;

// The entry arrows of a marble coming in: 10 pixels apart, shrinking.
constexpr FIXED_FLOAT_16 kEntryArrowScales[] = {16384, 14418, 12452, 10486};
constexpr int kEntryArrowSpacingPx = 10;

// Path dots: every 10 pixels at 0.9; a path being run is faint ahead of its marble.
constexpr FIXED_FLOAT kDotSpacing = 10 * 256;
constexpr FIXED_FLOAT_16 kDotScale = 58982;
constexpr int kPathAheadAlpha = 64;
// The line to the finger starts this far from the curve's end.
constexpr FIXED_FLOAT kFingerLineStart = 20 * 256;

// The frame: pieces overhang the screen by 10 pixels; the tutorial lifts them by 25.
constexpr int kFrameOverhangPx = 10;
constexpr int kTutorialLiftPx = 25;
constexpr int kNailInsetPx = 2;
constexpr int kNailTopY = 50;
constexpr int kNailBottomDropPx = 7;
// The head-up display's slots on the top board.
constexpr int kLivesIconRightPx = 8;
constexpr int kLivesIconY = 5;
constexpr int kCoinsIconX = 55;
constexpr int kCoinsIconY = 1;
constexpr int kBarX = 90;
constexpr int kBarY = 23;
constexpr int kHoldFlashBit = 8;
constexpr int kScoreCentreX = 189;
constexpr int kScoreY = -2;
constexpr int kCoinsCentreX = 78;
constexpr int kCoinsY = 42;
constexpr int kLevelCentreX = 189;
constexpr int kLevelY = 45;
constexpr unsigned char kLevelRgb[3] = {245, 223, 153};
constexpr int kLivesFromRightPx = 32;
constexpr int kLivesY = 42;

// The game-over texts: shown after clock 4.0, fully from 5.5, pulsing.
constexpr FIXED_FLOAT_16 kGameOverTextClock = 4 * 65536;
constexpr double kGameOverFadePerUnit = 170.0;
constexpr int kGameOverY = 240;
constexpr int kGameOverLinePx = 40;
constexpr int kGameOverMarginPx = 6;
constexpr unsigned char kGameOverRgb[3] = {255, 50, 50};

// The score display rolls by an eighth of what is left, never by less than 2.
constexpr int kScoreRollShift = 3;
constexpr int kScoreRollMinimum = 2;
// The progress bar: +4 a frame up, -8 down; a level-up holds the full bar 24 frames.
constexpr int kFillUpStep = 4;
constexpr int kFillDownStep = 8;
constexpr int kLevelUpHoldFrames = 24;

FIXED_FLOAT_16 Lerp16(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b, double t) {
    return gameplay::RoundToInt32(static_cast<double>(a) + (static_cast<double>(b) - a) * t);
}

// Half of v, rounded toward minus infinity.
int FloorHalf(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

int TextWidth(const CBitmapFontText* font, const char* text) {
    return font != nullptr && text != nullptr ? font->Length2(text) : 0;
}

void DrawText(CBitmapFontText* font, IDibBitmap* dst, int x, int y, const char* text, const unsigned char rgb[3]) {
    if (font != nullptr && text != nullptr && *text != '\0')
        font->TextOut(dst, x, y, text, rgb[0], rgb[1], rgb[2], 0, kOpaque, nullptr);
}

constexpr unsigned char kWhite[3] = {255, 255, 255};

// The range ring image, added in yellow, centred on a FIXED_FLOAT point.
void DrawBombRange(CQuorvanImageRotatorScaler* rotator, IDibBitmap* ring, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                   int value, double radiusPx) {
    if (ring == nullptr || value < 1) return;
    const FIXED_FLOAT_16 scale = gameplay::TruncToInt32(radiusPx / kBombRangeImageRadius * 65536.0);
    rotator->DrawRotatedBitmapAdditive(ring, dst, x, y, 0, scale, 255, 255, 0, value - kOpaque, 0);
}

}  // namespace

// ---- The head-up display's values ------------------------------------------------------------

int CXGameplaySurvival::CalcNumberOfDigits(int value) {
    char text[16];
    return std::snprintf(text, sizeof text, "%d", value);
}

void CXGameplaySurvival::ProcessScore() {
    if (m_bTutorial) return;
    if (m_nDisplayedScore != m_nScore) {
        if (m_nDisplayedScore == -1) {
            m_nDisplayedScore = m_nScore;
        } else {
            const std::int64_t difference = static_cast<std::int64_t>(m_nScore) - m_nDisplayedScore;
            if (m_nScoreRollStep == 0 || (m_nScoreRollStep > 0) != (difference > 0)) {
                std::int64_t step = difference >> kScoreRollShift;
                // At least 2 either way: a falling score rolls down.
                if (difference > 0) step = std::max<std::int64_t>(step, kScoreRollMinimum);
                if (difference < 0) step = std::min<std::int64_t>(step, -kScoreRollMinimum);
                m_nScoreRollStep = gameplay::Clamp32(step);
            }
            const std::int64_t magnitude = difference < 0 ? -difference : difference;
            const std::int64_t stepMagnitude =
                m_nScoreRollStep < 0 ? -static_cast<std::int64_t>(m_nScoreRollStep) : m_nScoreRollStep;
            if (magnitude > stepMagnitude) {
                m_nDisplayedScore = gameplay::WrapAdd(m_nDisplayedScore, m_nScoreRollStep);
            } else {
                m_nDisplayedScore = m_nScore;
                m_nScoreRollStep = 0;
            }
        }
    }
    char text[kCommasTextSize];
    const int length = FormatWithCommasInto(m_nDisplayedScore, text);
    if (length > 3) {
        m_ScoreTail = CommonString(text + length - 3);
        text[length - 3] = '\0';
        m_ScoreHead = CommonString(text);
    } else {
        m_ScoreTail = CommonString(text);
        m_ScoreHead = CommonString();
    }
    const CBitmapFontText* font = GameFont(kGameFontScores);
    const int w9 = TextWidth(font, "9"), wc = TextWidth(font, ",");
    const int n = CalcNumberOfDigits(m_nDisplayedScore);
    const int separators = static_cast<int>(std::count(text, text + std::strlen(text), ','));
    if (n > 3) {
        const int head = (n - 3) * w9 + separators * wc;
        m_nScoreTailX = kScoreCentreX + head - FloorHalf(head + 3 * w9);
    } else {
        m_nScoreTailX = kScoreCentreX - FloorHalf(n * w9);
    }
}

void CXGameplaySurvival::ProcessVisibleLevelProgress() {
    if (m_bLevelUpFill) {
        if (m_bLevelUpHold) {
            if (--m_nHoldCounter <= 0) {
                m_bLevelUpHold = m_bLevelUpFill = false;
                m_nTargetFill =
                    m_nLevelTarget > 0
                        ? static_cast<int>(static_cast<double>(m_nFullFillWidth) * m_nCleared / m_nLevelTarget)
                        : 0;
            }
        } else {
            m_nShownFill = std::min(m_nShownFill + kFillUpStep, std::max(m_nTargetFill, m_nShownFill));
            if (m_nShownFill >= m_nTargetFill) {
                m_bLevelUpHold = true;
                m_nHoldCounter = kLevelUpHoldFrames;
            }
        }
        return;
    }
    if (m_nShownFill < m_nTargetFill)
        m_nShownFill = std::min(m_nShownFill + kFillUpStep, m_nTargetFill);
    else if (m_nShownFill > m_nTargetFill)
        m_nShownFill = std::max(m_nShownFill - kFillDownStep, m_nTargetFill);
}

// ---- The field -----------------------------------------------------------------------------------

void CXGameplaySurvival::Draw() {
    CGameBase* game = GameBase();
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    // The statistics cover the screen once they are fully shown: only the widgets are drawn.
    if (m_pRoundStatsDialog != nullptr && FindModalChild() == m_pRoundStatsDialog &&
        m_pRoundStatsDialog->GetOpacity() >= kOpaque * 256) {
        XGameRoot::Draw();
        return;
    }

    DrawLevelBg();
    DrawPowerupsBottomLayer();
    for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->DrawMarbleShadow();
    DrawEntryArrows();
    DrawCurrentPath();
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        if (marble != m_pDraggedMarble && marble->m_Path.GetNumSegments() > 0) DrawPath(&marble->m_Path, marble);
    }
    DrawExplosions();
    for (int i = 0; i < m_Marbles.count; ++i)
        if (!m_Marbles.data[i]->IsPowerUp()) m_Marbles.data[i]->DrawDanger();
    IGameplayHost* host = Host();
    CQuorvanParticleSystemManager2* particles = host != nullptr ? host->GetParticleManager() : nullptr;
    if (particles != nullptr)
        for (int effect : kUnderMarbleEffects) particles->DrawAndMark(back, host->GetParticleEffectIndex(effect));
    DrawMarbles();
    if (particles != nullptr)
        for (int effect : kOverMarbleEffects) particles->DrawAndMark(back, host->GetParticleEffectIndex(effect));
    DrawLevelBgBorders();
    DrawAnimations();
    if (!m_bTutorial) DrawHud(back);
    if (m_pJumpStrings != nullptr) m_pJumpStrings->Draw(back, 0, 0);
    if (particles != nullptr) particles->DrawTheRest(back);
    DrawGameOverTexts(back);
    XGameRoot::Draw();
}

void CXGameplaySurvival::DrawLevelBg() {
    IDibBitmap* back = GetBackBuffer();
    if (m_pBackground == nullptr || back == nullptr) return;
    const int w = m_pBackground->m_Width, h = m_pBackground->m_Height;
    if (h == back->m_Height || h <= 0) {
        m_pBackground->BitBlt(back, (back->m_Width - w) / 2, 0, w, h, 0, 0, 0);
    } else {
        // Stretched to the screen's height, keeping its proportions, still centred. The GL
        // bitmap has no stretched blit of its own: it draws as a textured quad.
        const int dw = w * back->m_Height / h;
        const int x = (back->m_Width - dw) / 2;
        CGameBase* game = GameBase();
        if (game != nullptr && IsGlesRenderer(game))
            Bitmap_StretchDrawF16_Transparent(game, back, m_pBackground, x * 65536, 0, dw * 65536,
                                              back->m_Height * 65536, 0, 0, w * 65536, h * 65536, 0,
                                              Renderer_BlendMode_Opaque);
        else
            m_pBackground->StretchDraw(back, x, 0, dw, back->m_Height, 0, 0, w, h, 0, 0);
    }
}

void CXGameplaySurvival::DrawPowerupsBottomLayer() {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr || back == nullptr) return;
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        if (marble->m_nColorType != kPowerUpTypeBase + kPowerUpBomb) continue;
        auto* bomb = static_cast<CMarblePowerup*>(marble);
        bomb->DrawBombCircle(kBombCircleValue, bomb->GetRadius());
    }
    for (int i = 0; i < m_Animations.count; ++i) {
        const CAnimation& a = m_Animations.data[i];
        if (a.kind != kAnimationRing || a.duration <= 0 || a.clock < 256 || a.clock > a.duration) continue;
        const double t = static_cast<double>(a.clock) / a.duration;
        const FIXED_FLOAT x = gameplay::RoundToInt32(a.start.x + (static_cast<double>(a.end.x) - a.start.x) * t);
        const FIXED_FLOAT y = gameplay::RoundToInt32(a.start.y + (static_cast<double>(a.end.y) - a.start.y) * t);
        DrawBombRange(rotator, m_pBombRangeSprite, back, x, y, static_cast<int>((1.0 - t) * kBombCircleValue),
                      a.ringRadius);
        if (m_pExplosionSprite != nullptr) {
            const FIXED_FLOAT_16 scale = gameplay::TruncToInt32(t * a.ringRadius * kRingBurstScalePerPx * 65536.0);
            const int alpha = static_cast<int>(128.0 - 128.0 * t);
            rotator->DrawRotatedBitmapAdditive(m_pExplosionSprite, back, x, y, 0, scale, 255, 255, 0, alpha - kOpaque,
                                               0);
        }
    }
}

void CXGameplaySurvival::DrawEntryArrows() {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr || back == nullptr || m_pDangerOffScreenSprite == nullptr) return;
    for (int i = 0; i < m_Marbles.count; ++i) {
        const CMarble* marble = m_Marbles.data[i];
        if (marble->IsPowerUp() || marble->m_bOnPath || marble->m_nEntryIndicator <= 0) continue;
        int r = 0, g = 0, b = 0;
        GetRGBColorBasedOnType(marble->m_nColorType, r, g, b);
        const FIXED_FLOAT angle = gameplay::WrapDegrees(
            static_cast<std::int64_t>(fast_atan2(marble->m_Direction.x, marble->m_Direction.y)) * 256);
        const int alpha = std::min(marble->m_nEntryIndicator >> 8, kOpaque);
        for (int k = 0; k < static_cast<int>(std::size(kEntryArrowScales)); ++k) {
            const std::int64_t along = static_cast<std::int64_t>(k) * kEntryArrowSpacingPx;
            const FIXED_FLOAT x = gameplay::Clamp32((marble->m_Position.x + along * marble->m_Direction.x) >> 8);
            const FIXED_FLOAT y = gameplay::Clamp32((marble->m_Position.y + along * marble->m_Direction.y) >> 8);
            rotator->DrawRotatedBitmapMultiply(m_pDangerOffScreenSprite, back, x, y, angle, kEntryArrowScales[k], r, g,
                                               b, alpha - kOpaque, 0);
        }
    }
}

void CXGameplaySurvival::DrawCurrentPath() {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (m_pDraggedMarble == nullptr || rotator == nullptr || back == nullptr || m_pDotSprite == nullptr) return;
    int r = 0, g = 0, b = 0;
    GetRGBColorBasedOnType(m_pDraggedMarble->m_nColorType, r, g, b);
    const FIXED_FLOAT length = m_DrawingCurve.Length();
    for (FIXED_FLOAT d = 0; d <= length && m_DrawingCurve.GetNumSegments() > 0; d += kDotSpacing) {
        const TVector2D p = m_DrawingCurve.GetPos(d, nullptr);
        rotator->DrawRotatedBitmapMultiply(m_pDotSprite, back, p.x, p.y, 0, kDotScale, r, g, b, 0, 0);
    }
    // The stretch the finger has drawn since the last segment, as a straight line of dots.
    TVector2D end = m_PathPoints.count > 0 ? m_PathPoints.data[0] : m_FingerPos;
    if (m_DrawingCurve.GetNumSegments() > 0)
        end = m_DrawingCurve.GetSegment(m_DrawingCurve.GetNumSegments() - 1)->m_Points[3];
    const std::int64_t dx = static_cast<std::int64_t>(m_FingerPos.x) - end.x;
    const std::int64_t dy = static_cast<std::int64_t>(m_FingerPos.y) - end.y;
    const double left = gameplay::PathLengthPx(dx, dy) * 256.0;
    for (double d = kFingerLineStart; left - d > kDotSpacing; d += kDotSpacing) {
        const FIXED_FLOAT x = gameplay::RoundToInt32(end.x + dx * d / left);
        const FIXED_FLOAT y = gameplay::RoundToInt32(end.y + dy * d / left);
        rotator->DrawRotatedBitmapMultiply(m_pDotSprite, back, x, y, 0, kDotScale, r, g, b, 0, 0);
    }
}

void CXGameplaySurvival::DrawPath(BezierCurve* path, CMarble* marble) {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (path == nullptr || marble == nullptr || rotator == nullptr || back == nullptr || m_pDotSprite == nullptr)
        return;
    int r = 0, g = 0, b = 0;
    GetRGBColorBasedOnType(marble->m_nColorType, r, g, b);
    const FIXED_FLOAT length = path->Length();
    // The path distance runs in 16.16; the dots in FIXED_FLOAT.
    const std::int64_t travelled = marble->m_nPathDistance >> 8;
    for (FIXED_FLOAT d = 0; d <= length; d += kDotSpacing) {
        if (d < travelled) continue;
        const TVector2D p = path->GetPos(d, nullptr);
        rotator->DrawRotatedBitmapMultiply(m_pDotSprite, back, p.x, p.y, 0, kDotScale, r, g, b,
                                           kPathAheadAlpha - kOpaque, 0);
    }
}

void CXGameplaySurvival::DrawMarbles() {
    CQuorvanImageRotatorScaler* rotator = GameBase()->GetRotatorScaler();
    IDibBitmap* back = GetBackBuffer();
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        if (marble == m_pDraggedMarble && rotator != nullptr && m_pDragCircleSprite != nullptr) {
            int r = 0, g = 0, b = 0;
            GetRGBColorBasedOnType(marble->m_nColorType, r, g, b);
            rotator->DrawRotatedBitmapMultiply(m_pDragCircleSprite, back, marble->m_Position.x >> 8,
                                               marble->m_Position.y >> 8, 0, kDragCircleScale, r, g, b,
                                               m_nDragHighlightAlpha - kOpaque, 0);
        }
        marble->Draw();
    }
}

void CXGameplaySurvival::DrawExplosions() {
    CQuorvanImageRotatorScaler* rotator = GameBase()->GetRotatorScaler();
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr) return;
    for (int i = 0; i < m_Explosions.count; ++i) {
        CExplosion& e = m_Explosions.data[i];
        if (e.clock < 0 || e.clock > kExplosionEnd) continue;
        const double grow = std::min(static_cast<double>(e.clock) / kExplosionMiddle, 1.0);
        const int fade = e.clock <= kExplosionMiddle
                             ? 0
                             : -static_cast<int>(static_cast<long long>(e.clock - kExplosionMiddle) * kOpaque /
                                                 (kExplosionEnd - kExplosionMiddle));
        if (m_pDotSprite != nullptr)
            rotator->DrawRotatedBitmapAdditive(m_pDotSprite, back, e.position.x, e.position.y, 0,
                                               Lerp16(0, kExplosionCoreScale, grow), e.red, e.green, e.blue, fade, 0);
        if (m_pExplosionSprite != nullptr)
            rotator->DrawRotatedBitmapAdditive(m_pExplosionSprite, back, e.position.x, e.position.y, e.angle,
                                               Lerp16(0, kExplosionScale, grow), e.red, e.green, e.blue, fade, 0);
        e.angle = gameplay::WrapDegrees(static_cast<std::int64_t>(e.angle) + kExplosionTurnPerFrame);
    }
}

void CXGameplaySurvival::DrawAnimations() {
    CQuorvanImageRotatorScaler* rotator = GameBase()->GetRotatorScaler();
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr) return;
    for (int i = 0; i < m_Animations.count; ++i) {
        const CAnimation& a = m_Animations.data[i];
        if (a.kind == kAnimationRing || a.clock < 0 || a.hold > 0 || a.duration <= 0) continue;
        IDibBitmap* image = a.image;
        if (a.spriteSet != nullptr) {
            const int frame = a.frame >> 8;
            image = frame >= 0 && frame < a.spriteSet->GetNumFrames() ? a.spriteSet->GetFrame(frame) : nullptr;
        }
        if (image == nullptr) continue;
        const double t = std::min(static_cast<double>(a.clock) / a.duration, 1.0);
        const FIXED_FLOAT x = gameplay::RoundToInt32(a.start.x + (static_cast<double>(a.end.x) - a.start.x) * t);
        const FIXED_FLOAT y = gameplay::RoundToInt32(a.start.y + (static_cast<double>(a.end.y) - a.start.y) * t);
        const int alpha = Lerp16(a.startAlpha, a.endAlpha, t) >> 16;
        rotator->DrawRotatedBitmapTransparent(image, back, x, y, 0, Lerp16(a.startScale, a.endScale, t),
                                              std::clamp(alpha, 0, kOpaque) - kOpaque, 0);
    }
}

void CXGameplaySurvival::DrawLevelBgBorders() {
    IDibBitmap* back = GetBackBuffer();
    if (back == nullptr) return;
    const int w = back->m_Width, h = back->m_Height;
    const int lift = m_bTutorial ? kTutorialLiftPx : 0;
    const auto blit = [back](IDibBitmap* image, int x, int y) {
        if (image != nullptr) image->BitBlt(back, x, y, image->m_Width, image->m_Height, 0, 0, 0);
    };
    IDibBitmap* left = m_Images[kImageLeft];
    IDibBitmap* right = m_Images[kImageRight];
    IDibBitmap* top = m_Images[kImageTop];
    IDibBitmap* bottom = m_Images[kImageBottom];
    IDibBitmap* shadows = m_Images[kImageSideShadows];
    IDibBitmap* nails = m_Images[kImageNails];
    if (left != nullptr) blit(left, -kFrameOverhangPx, h - kFrameOverhangPx - left->m_Height - lift);
    if (right != nullptr && left != nullptr)
        blit(right, w + kFrameOverhangPx - right->m_Width, h - kFrameOverhangPx - left->m_Height - lift);
    else if (right != nullptr)
        blit(right, w + kFrameOverhangPx - right->m_Width, h - kFrameOverhangPx - right->m_Height - lift);
    blit(top, 0, -lift);
    if (bottom != nullptr) {
        const int y = h + kFrameOverhangPx - bottom->m_Height;
        blit(bottom, 0, y);
        if (m_bTutorial) {
            blit(bottom, 0, y - bottom->m_Height);
            blit(bottom, 0, y - 2 * bottom->m_Height);
        }
    }
    if (shadows != nullptr) {
        const int belowTop = top != nullptr ? top->m_Height - lift : 0;
        const int aboveBottom = (bottom != nullptr ? h + kFrameOverhangPx - bottom->m_Height : h) - shadows->m_Height;
        for (int y : {belowTop, aboveBottom}) {
            blit(shadows, -kFrameOverhangPx, y);
            blit(shadows, w + kFrameOverhangPx - shadows->m_Width, y);
        }
    }
    if (nails != nullptr) {
        const int nailTop = m_bTutorial ? kNailTopY - kTutorialLiftPx : kNailTopY;
        const int nailBottom = h + kNailBottomDropPx - nails->m_Height;
        for (int y : {nailTop, nailBottom}) {
            blit(nails, kNailInsetPx, y);
            blit(nails, w - kNailInsetPx - nails->m_Width, y);
        }
    }
    if (m_bTutorial) return;
    if (IDibBitmap* lives = m_Images[kImageLives]) blit(lives, w - kLivesIconRightPx - lives->m_Width, kLivesIconY);
    blit(m_Images[kImageCoins], kCoinsIconX, kCoinsIconY);
    blit(m_Images[kImageProgressEmpty], kBarX, kBarY);
    IDibBitmap* full = m_Images[kImageProgressFull];
    const int cut = std::min(m_nShownFill + m_nFillLeftOffset, full != nullptr ? full->m_Width : 0);
    if (full != nullptr && m_nShownFill > 0 && cut > 0) {
        full->BitBlt(back, kBarX, kBarY, cut, full->m_Height, 0, 0, 0);
        if (m_bLevelUpHold && (m_nHoldCounter & kHoldFlashBit) == 0)
            full->BitBltAdditive(back, kBarX, kBarY, cut, full->m_Height, 0, 0, 0);
    }
}

void CXGameplaySurvival::DrawScore(IDibBitmap* dst) {
    CBitmapFontText* font = GameFont(kGameFontScores);
    if (font == nullptr || dst == nullptr) return;
    const char* head = m_ScoreHead.GetDataConst();
    if (head != nullptr && *head != '\0')
        DrawText(font, dst, m_nScoreTailX - TextWidth(font, head), kScoreY, head, kWhite);
    DrawText(font, dst, m_nScoreTailX, kScoreY, m_ScoreTail.GetDataConst(), kWhite);
}

void CXGameplaySurvival::DrawHud(IDibBitmap* dst) {
    IGameplayHost* host = Host();
    if (host == nullptr || dst == nullptr) return;
    DrawScore(dst);
    const auto centred = [dst](CBitmapFontText* font, int centreX, int y, const CommonString& text,
                               const unsigned char rgb[3]) {
        DrawText(font, dst, centreX - FloorHalf(TextWidth(font, text.GetDataConst())), y, text.GetDataConst(), rgb);
    };
    centred(GameFont(kGameFontCoins), kCoinsCentreX, kCoinsY, SafeFormat("%d", {m_nCoinsPickedUp}), kWhite);
    const int arenaNumber = (host->GetArenaManager() != nullptr && m_pArena != nullptr
                                 ? host->GetArenaManager()->GetIndexOfArena(m_pArena->id)
                                 : m_nArenaIndex) +
                            1;
    centred(GameFont(kGameFontSmall), kLevelCentreX, kLevelY,
            SafeFormat("Level %d - %d", {arenaNumber, ShownLevelNumber()}), kLevelRgb);
    const CommonString lives = SafeFormat("%d", {m_nLives});
    DrawText(GameFont(kGameFontLifes), dst, dst->m_Width - kLivesFromRightPx, kLivesY, lives.GetDataConst(), kWhite);
}

void CXGameplaySurvival::DrawGameOverTexts(IDibBitmap* dst) {
    CGameBase* game = GameBase();
    if (!m_bGameOver || m_nGameOverClock <= kGameOverTextClock || game == nullptr || dst == nullptr) return;
    CBitmapFontText* font = GameFont(kGameFontBig);
    CLocManager2* loc = game->GetLocManager();
    if (font == nullptr || loc == nullptr) return;
    const double clock = m_nGameOverClock / 65536.0;
    const int alpha = std::clamp(static_cast<int>((clock - 4.0) * kGameOverFadePerUnit), 0, kOpaque);
    const double pulse = SCurve16(m_nGameOverClock / 2, nullptr) / 65536.0;
    const double scaleX = 1.0 + 0.3 * pulse, scaleY = 1.0 + 0.1 * pulse;
    const CommonString lines[2] = {loc->LoadString("ID_GameOver"), loc->LoadString("ID_TouchToContinue")};
    const double ys[2] = {static_cast<double>(kGameOverY), kGameOverY + kGameOverLinePx * (1.0 + 0.1 * pulse)};
    for (int i = 0; i < 2; ++i) {
        const char* text = lines[i].GetDataConst();
        if (text == nullptr || *text == '\0') continue;
        const int width = font->Length2(text);
        if (IsGlesRenderer(game)) {
            // A line that would outgrow the screen at the height of its pulse is held inside it.
            const double fit = width > 0 ? static_cast<double>(dst->m_Width - 2 * kGameOverMarginPx) / width : scaleX;
            const double sx = std::max(std::min(scaleX, fit), 0.0);
            const FIXED_FLOAT_16 left = gameplay::RoundToInt32((dst->m_Width - width * sx) / 2.0 * 65536.0);
            font->TextOutF(dst, text, left, gameplay::RoundToInt32(ys[i] * 65536.0),
                           gameplay::RoundToInt32(sx * 65536.0), gameplay::RoundToInt32(scaleY * 65536.0), 0,
                           kGameOverRgb[0], kGameOverRgb[1], kGameOverRgb[2], 0, static_cast<unsigned char>(alpha),
                           nullptr);
        } else {
            // The software target draws text at its own size.
            font->TextOut(dst, FloorHalf(dst->m_Width - width), static_cast<int>(ys[i]), text, kGameOverRgb[0],
                          kGameOverRgb[1], kGameOverRgb[2], 0, static_cast<unsigned char>(alpha), nullptr);
        }
    }
}
